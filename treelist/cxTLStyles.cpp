#include "treelist/cxTLStyles.h"

#include "foundation/cxLookAndFeelPainters.h"
#include "platform/rtl/colors.h"
#include "treelist/cxTLControl.h"

namespace {

// Style sheets of tree list styles are created by name when read back.
struct TcxTreeListStylesUnit {
  TcxTreeListStylesUnit() { RegisterClass(TcxTreeListStyleSheet::StaticClass()); }
  ~TcxTreeListStylesUnit() { UnRegisterClass(TcxTreeListStyleSheet::StaticClass()); }
} TreeListStylesUnit;

}  // namespace

TcxStyleValues cxMergeStyle(TcxViewParams& AParams, TcxStyle* AStyle, TcxStyleValues AExcept) {
  if (!AStyle) return 0;
  const TcxStyleValues Values = AStyle->AssignedValues() & ~AExcept;
  if (Values & svBitmap) AParams.Bitmap = AStyle->Bitmap();
  if (Values & svColor) AParams.Color = AStyle->Color();
  if (Values & svFont) AParams.Font = AStyle->Font();
  if (Values & svTextColor) AParams.TextColor = AStyle->TextColor();
  return Values;
}

// ---- TcxTreeListColumnStyles ------------------------------------------------------------------

void TcxTreeListColumnStyles::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxTreeListColumnStyles*>(ASource)) {
    SetHeader(Source->Header());
    SetFooter(Source->Footer());
  }
  inherited::Assign(ASource);
}

// ---- TcxTreeListStyles ------------------------------------------------------------------------

TcxTreeListStyles::TcxTreeListStyles(TPersistent* AOwner) : TcxCustomControlStyles(AOwner) {}

TcxCustomTreeListControl* TcxTreeListStyles::TreeList() const {
  return dynamic_cast<TcxCustomTreeListControl*>(Control());
}

void TcxTreeListStyles::Assign(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxTreeListStyles*>(ASource)) {
    // HotTrack is copied with the others: an assigned copy keeps every look.
    for (Integer I = BandBackgroundIndex; I <= HotTrackIndex; ++I) SetIndexedStyle(I, Source->GetIndexedStyle(I));
  }
  inherited::Assign(ASource);
}

void TcxTreeListStyles::ItemChanged(Integer AIndex) {
  FCacheValid = false;
  TcxCustomControlStyles::ItemChanged(AIndex);
}

void TcxTreeListStyles::GetDefaultStyleParams(Integer AIndex, void* AData, TcxStyleParams& AParams) {
  TcxCustomControlStyles::GetDefaultStyleParams(AIndex, AData, AParams);
  const TcxCustomLookAndFeelPainter* Painter =
      Control() ? PainterOf(Control()->LookAndFeel()->Painter()) : nullptr;
  if (!Painter) Painter = PainterOf(cxCustomLookAndFeelPainter());
  switch (AIndex) {
    case ContentEvenIndex:
    case ContentOddIndex:
    case PreviewIndex:
      AParams.Color = Painter->ContentColor();
      AParams.TextColor = Painter->ContentTextColor();
      break;
    case BandBackgroundIndex:
      AParams.Color = Painter->BandBackgroundColor();
      AParams.TextColor = Painter->BandBackgroundTextColor();
      break;
    case BandHeaderIndex:
    case ColumnHeaderIndex:
    case IndicatorIndex:
      AParams.Color = Painter->HeaderColor();
      AParams.TextColor = Painter->HeaderTextColor();
      break;
    case ColumnFooterIndex:
    case FooterIndex:
      AParams.Color = Painter->FooterColor();
      AParams.TextColor = Painter->FooterTextColor();
      break;
    case IncSearchIndex:
      AParams.Color = clHighlight;
      AParams.TextColor = clHighlightText;
      break;
    default: break;
  }
}

TcxViewParams TcxTreeListStyles::Resolve(Integer AIndex, TcxStyle* AOverride) {
  TcxViewParams Result;
  ResolveStyleParams(AIndex, nullptr, Result, AOverride);
  return Result;
}

void TcxTreeListStyles::CacheParams() {
  if (FCacheValid) return;
  // Each parity slot over Content: the parity style's values first.
  auto Parity = [&](Integer AIndex) {
    TcxViewParams Result = Resolve(ContentIndex);
    cxMergeStyle(Result, static_cast<TcxStyle*>(ResolveStyle(AIndex)));
    return Result;
  };
  FContentEvenParams = Parity(ContentEvenIndex);
  FContentOddParams = Parity(ContentOddIndex);
  FCacheValid = true;
}

TcxViewParams TcxTreeListStyles::GetContentEvenParams() {
  CacheParams();
  return FContentEvenParams;
}

TcxViewParams TcxTreeListStyles::GetContentOddParams() {
  CacheParams();
  return FContentOddParams;
}

TcxViewParams TcxTreeListStyles::RowParams(TcxTreeListNode* ANode) {
  return ANode && ANode->VisibleIndex() % 2 != 0 ? GetContentOddParams() : GetContentEvenParams();
}

TcxStyle* TcxTreeListStyles::AskContentStyle(const TcxtlOnGetContentStyleEvent& AEvent, TObject* AItem,
                                             TcxTreeListNode* ANode) {
  TcxStyle* Result = nullptr;
  if (TcxCustomTreeListControl* C = TreeList()) AEvent(C, AItem, ANode, Result);
  return Result;
}

TcxViewParams TcxTreeListStyles::GetContentParams(TcxTreeListNode* ANode, TcxTreeListColumn* AColumn) {
  TcxCustomTreeListControl* C = TreeList();
  TcxViewParams Result = RowParams(ANode);
  const bool IsPreview = C && AColumn && C->Preview()->Column() == AColumn;
  if (AColumn && !IsPreview) cxMergeStyle(Result, AColumn->Styles()->Content());
  cxMergeStyle(Result, AskContentStyle(OnGetContentStyle, AColumn, ANode));
  if (C && ANode && ANode == C->HotTrackNode()) {
    const TcxStyleValues Asked = cxMergeStyle(Result, AskContentStyle(OnGetHotTrackStyle, AColumn, ANode));
    const TcxStyleValues Slot = cxMergeStyle(Result, static_cast<TcxStyle*>(ResolveStyle(HotTrackIndex)), Asked);
    if (!((Asked | Slot) & svTextColor)) Result.TextColor = clHighlightText;
  }
  return Result;
}

TcxViewParams TcxTreeListStyles::GetNodeIndentParams(TcxTreeListNode* ANode, Integer APosition) {
  TcxCustomTreeListControl* C = TreeList();
  TcxStyle* IndentStyle = nullptr;
  if (C) OnGetNodeIndentStyle(C, ANode, APosition, IndentStyle);
  TcxTreeListOptionsView* View = C ? C->OptionsView() : nullptr;
  // Steps from the node's own level to the indent position (0 or less: at or past the node).
  const Integer Steps = ANode->Level() + (View && View->ShowRoot() ? 1 : 0) - APosition;
  TcxTreeListNode* Node = ANode;
  if (View && View->PaintStyle() == tlpsCategorized)
    for (Integer I = 1; I < Steps && Node->Parent(); ++I) Node = Node->Parent();
  TcxStyle* ContentStyle = Node->Parent() ? AskContentStyle(OnGetContentStyle, nullptr, Node) : nullptr;
  TcxViewParams Result;
  if ((View && View->UseNodeColorForIndent()) || Steps <= 0) {
    Result = RowParams(Node);
    cxMergeStyle(Result, ContentStyle);
  } else {
    Result = Resolve(ContentIndex, ContentStyle);
  }
  cxMergeStyle(Result, IndentStyle);
  return Result;
}

TcxViewParams TcxTreeListStyles::ResolveItem(Integer AIndex, const TcxtlOnGetItemStyleEvent& AEvent, TObject* AItem,
                                             TcxStyle* AItemStyle) {
  TcxStyle* Asked = nullptr;
  if (TcxCustomTreeListControl* C = TreeList()) AEvent(C, AItem, Asked);
  TcxViewParams Result = Resolve(AIndex, AItemStyle);
  cxMergeStyle(Result, Asked);
  return Result;
}

TcxViewParams TcxTreeListStyles::GetColumnHeaderParams(TcxTreeListColumn* AColumn) {
  return ResolveItem(ColumnHeaderIndex, OnGetColumnHeaderStyle, AColumn, AColumn->Styles()->Header());
}

TcxViewParams TcxTreeListStyles::GetColumnFooterParams(TcxTreeListColumn* AColumn) {
  TcxStyle* Asked = nullptr;
  if (TcxCustomTreeListControl* C = TreeList()) OnGetColumnFooterStyle(C, AColumn, Asked);
  // Last link first: Footer, ColumnFooter, the column's footer, the event's style.
  TcxViewParams Result = Resolve(FooterIndex);
  cxMergeStyle(Result, static_cast<TcxStyle*>(ResolveStyle(ColumnFooterIndex)));
  cxMergeStyle(Result, AColumn->Styles()->Footer());
  cxMergeStyle(Result, Asked);
  return Result;
}

TcxViewParams TcxTreeListStyles::GetPreviewParams(TcxTreeListNode* ANode) {
  TcxCustomTreeListControl* C = TreeList();
  TcxTreeListColumn* Column = C ? C->Preview()->Column() : nullptr;
  TcxViewParams Result = GetContentParams(ANode, Column);
  TcxStyle* Asked = nullptr;
  if (C) OnGetPreviewStyle(C, Column, Asked);
  const TcxStyleValues Done = cxMergeStyle(Result, Asked);
  cxMergeStyle(Result, static_cast<TcxStyle*>(ResolveStyle(PreviewIndex)), Done);
  return Result;
}

TcxViewParams TcxTreeListStyles::GetBandBackgroundParams(TObject* ABand, TcxStyle* ABandStyle) {
  return ResolveItem(BandBackgroundIndex, OnGetBandBackgroundStyle, ABand, ABandStyle);
}

TcxViewParams TcxTreeListStyles::GetBandHeaderParams(TObject* ABand, TcxStyle* ABandStyle) {
  return ResolveItem(BandHeaderIndex, OnGetBandHeaderStyle, ABand, ABandStyle);
}

TcxViewParams TcxTreeListStyles::GetBandFooterParams(TObject* ABand, TcxStyle* ABandStyle) {
  return ResolveItem(FooterIndex, OnGetBandFooterStyle, ABand, ABandStyle);
}

TcxViewParams TcxTreeListStyles::GetBandContentParams(TObject* ABand, TcxStyle* ABandStyle, TcxTreeListNode* ANode) {
  TcxViewParams Result = RowParams(ANode);
  cxMergeStyle(Result, ABandStyle);
  const TcxStyleValues Done = cxMergeStyle(Result, AskContentStyle(OnGetBandContentStyle, ABand, ANode));
  cxMergeStyle(Result, static_cast<TcxStyle*>(ResolveStyle(BandContentIndex)), Done);
  return Result;
}
