#include "treelist/cxTLPainter.h"

#include <algorithm>

#include "editors/cxEditViewInfo.h"
#include "foundation/cxGraphics.h"
#include "platform/gui/imagelist.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLControl.h"
#include "treelist/cxTLViewInfo.h"

namespace {

// An image sits this far left of its indent's right edge.
constexpr Integer ImageRightMargin = 3;

// The content callback of the look-and-feel painter: the header's bitmap tiled over its bounds.
bool TileBitmap(void* AData, TcxCanvas* ACanvas, const TRect& ABounds) {
  auto* Bitmap = static_cast<TBitmap*>(AData);
  if (!Bitmap || Bitmap->Empty()) return false;
  ACanvas->FillRectOrTileBitmap(ABounds, Bitmap);
  return true;
}

TcxDrawBackgroundEvent BitmapBackground(TBitmap* ABitmap) {
  TcxDrawBackgroundEvent Result;
  if (ABitmap && !ABitmap->Empty()) {
    Result.Code = &TileBitmap;
    Result.Data = ABitmap;
  }
  return Result;
}

// The clip region of a canvas, saved on entry and put back on exit.
class TClipScope {
public:
  explicit TClipScope(TcxCanvas* ACanvas) : FCanvas(ACanvas), FSaved(ACanvas->CopyClipRegion()) {}
  ~TClipScope() { FCanvas->ApplyClipRegion(FSaved, roCopy, true); }
  TClipScope(const TClipScope&) = delete;
  TClipScope& operator=(const TClipScope&) = delete;

private:
  TcxCanvas* FCanvas;
  TcxRegion* FSaved;
};

}  // namespace

TcxTreeListControlPainter::TcxTreeListControlPainter(TcxCustomTreeListControl* ATreeList)
    : TcxCustomControlPainter(ATreeList), FTreeList(ATreeList) {}

TcxTreeListViewInfo* TcxTreeListControlPainter::ViewInfo() const { return FTreeList->TreeListViewInfo(); }

void TcxTreeListControlPainter::PaintContent() {
  TClipScope Scope(Canvas());
  PaintBackground(FTreeList->ContentBounds());
  const TcxTreeListBandSettings Bands = FTreeList->BandSettings();
  if (Bands.Bands || Bands.Headers) PaintHeaders();
  PaintRows();
  PaintFooter();
}

void TcxTreeListControlPainter::FillRect(const TRect& ARect, TColor AColor, TBitmap* ABitmap) {
  if (IsRectEmpty(ARect)) return;
  Canvas()->SetBrushColor(AColor);
  Canvas()->FillRectOrTileBitmap(ARect, ABitmap && !ABitmap->Empty() ? ABitmap : nullptr);
}

void TcxTreeListControlPainter::PaintBackground(const TRect& ARect) {
  if (IsRectEmpty(ARect) || !Canvas()->IsRectVisible(ARect)) return;
  const TcxViewParams& Params = ViewInfo()->BackgroundParams();
  bool Done = false;
  FTreeList->OnCustomDrawBackground(FTreeList, Canvas(), ARect, Params, Done);
  if (!Done) FillRect(ARect, Params.Color, Params.Bitmap);
}

void TcxTreeListControlPainter::PaintBorderLines(const TRect& ARect, TcxBorders ABorders, TColor AColor) {
  Canvas()->DrawFramedFill(ARect, nullptr, AColor, 1, ViewInfo()->GridLineColor(), ABorders);
}

void TcxTreeListControlPainter::PaintSeparators(const TRect& ALeft, const TRect& ARight) {
  for (const TRect& R : {ALeft, ARight}) {
    if (IsRectEmpty(R)) continue;
    FillRect(R, ViewInfo()->FixedSeparatorColor(), nullptr);
    Canvas()->ClipOutRect(R);
  }
}

// ---- Headers ------------------------------------------------------------------------------------

void TcxTreeListControlPainter::PaintHeaders() {
  TcxTreeListViewInfo* VI = ViewInfo();
  if (IsRectEmpty(VI->HeaderAreaRect())) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(VI->HeaderAreaRect());
  PaintIndicator(VI->HeaderIndicatorCell());
  TRect Left, Right;
  if (!IntersectRect(Left, VI->LeftSeparatorRect(), VI->HeaderAreaRect())) Left = TRect{};
  if (!IntersectRect(Right, VI->RightSeparatorRect(), VI->HeaderAreaRect())) Right = TRect{};
  PaintSeparators(Left, Right);
  TcxTreeListBandViewInfo* Last = VI->RightFixedBand();
  for (const auto& Band : VI->BandViewInfos()) {
    PaintBandHeaders(Band.get());
    if (!VI->RightFixedBand() && !Band->IsFixed()) Last = Band.get();
  }
  // The header area ends with a line where the last band's columns leave
  // its background showing (its own column headers end in their frames).
  if (Last && !Last->Complete && Last->Visible()) {
    const TRect R = Last->ClipRect();
    const Integer Top = Last->Header ? std::max(R.Top, Last->Header->DisplayRect().Bottom) : R.Top;
    FillRect(TRect{R.Right - 1, Top, R.Right, R.Bottom}, clBtnShadow, nullptr);
  }
}

void TcxTreeListControlPainter::PaintBandHeaders(TcxTreeListBandViewInfo* ABand) {
  if (!ABand->Visible() || !Canvas()->IsRectVisible(ABand->ClipRect())) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(ABand->ClipRect());
  bool Done = false;
  FTreeList->OnCustomDrawBandHeader(FTreeList, Canvas(), ABand, Done);
  if (Done) return;
  PaintBandBackground(ABand);
  if (ABand->Header) PaintHeader(ABand->Header);
  if (!FTreeList->BandSettings().Headers) return;
  for (const auto& Column : ABand->Columns)
    if (Column->Header) PaintHeader(Column->Header);
}

void TcxTreeListControlPainter::PaintBandBackground(TcxTreeListBandViewInfo* ABand) {
  const TRect R = ABand->DisplayRect();
  FillRect(R, ABand->ViewParams.Color, ABand->ViewParams.Bitmap);
  // The bottom line under the columns that do not fill the band's lines.
  if (!ABand->Complete) FillRect(TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, clBtnShadow, nullptr);
}

void TcxTreeListControlPainter::PaintHeader(TcxTreeListHeaderViewInfo* AHeader) {
  auto* Column = dynamic_cast<TcxTreeListColumnHeaderViewInfo*>(AHeader);
  const TRect Bounds = Column ? Column->PaintRect() : AHeader->DisplayRect();
  const TRect Clip = Column ? Column->PaintClipRect() : AHeader->ClipRect();
  if (!AHeader->Visible() || !Canvas()->IsRectVisible(Clip)) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(Clip);
  bool Done = false;
  if (AHeader->Column)
    FTreeList->OnCustomDrawHeaderCell(FTreeList, Canvas(), AHeader, Done);
  else
    FTreeList->OnCustomDrawHeader(FTreeList, Canvas(), AHeader, Done);
  if (Done) return;
  const TcxCustomLookAndFeelPainter* Painter = ViewInfo()->LookAndFeelPainter();
  const TcxNeighbors Neighbors = Column ? Column->Neighbors : 0;
  const TcxViewParams& Params = AHeader->ViewParams;
  TFont* Font = Params.Font ? Params.Font : FTreeList->Font();
  // The caption's own alignment, wrapping and ellipsis; its glyph beside the text.
  TcxTreeListCaption* Caption = AHeader->Column ? AHeader->Column->CaptionSettings()
                                : AHeader->Band  ? AHeader->Band->CaptionSettings()
                                                 : nullptr;
  const TRect& TextArea = AHeader->TextArea;
  const TAlignment AlignHorz = Caption ? Caption->AlignHorz() : AHeader->AlignHorz;
  const TcxAlignmentVert AlignVert = Caption ? Caption->AlignVert() : AHeader->AlignVert;
  const bool MultiLine = Caption ? Caption->MultiLine() : AHeader->MultiLine;
  const bool Ellipsis = !Caption || Caption->ShowEndEllipsis();
  if (FTreeList->ViewSettings().ExtPaintStyle)
    Painter->PaintHeaderPlain(Canvas(), Bounds, TextArea, Neighbors, cxAllBorders,
                              AHeader->ButtonState, AlignHorz, AlignVert, MultiLine, Ellipsis, AHeader->Text, Font,
                              Params.TextColor, Params.Color, BitmapBackground(Params.Bitmap));
  else
    Painter->PaintHeader(Canvas(), Bounds, TextArea, Neighbors, cxAllBorders, AHeader->ButtonState,
                         AlignHorz, AlignVert, MultiLine, Ellipsis, AHeader->Text, Font, Params.TextColor,
                         Params.Color, BitmapBackground(Params.Bitmap));
  // The glyph at its whole size; one that does not fit is cut at the
  // header's clip rectangle, which this scope clips to.
  if (Caption && Caption->HasGlyph() && !IsRectEmpty(AHeader->GlyphRect))
    Canvas()->Canvas()->Draw(AHeader->GlyphRect.Left, AHeader->GlyphRect.Top, Caption->Glyph());
  if (!IsRectEmpty(AHeader->SortMarkArea) && AHeader->Column)
    Painter->PaintSortMark(Canvas(), AHeader->SortMarkArea, AHeader->Column->SortOrder() == soAscending);
  if (AHeader->ButtonState == cxbsPressed) Painter->InvertHeaderArea(Canvas(), Bounds);
}

void TcxTreeListControlPainter::PaintIndicator(TcxTreeListIndicatorViewInfo* AIndicator) {
  if (!AIndicator->Visible() || !Canvas()->IsRectVisible(AIndicator->ClipRect())) return;
  bool Done = false;
  FTreeList->OnCustomDrawIndicatorCell(FTreeList, Canvas(), AIndicator, Done);
  if (!Done) {
    TClipScope Scope(Canvas());
    Canvas()->ClipToRect(AIndicator->ClipRect());
    const TcxCustomLookAndFeelPainter* Painter = ViewInfo()->LookAndFeelPainter();
    const TcxViewParams& Params = AIndicator->ViewParams;
    const TRect R = AIndicator->DisplayRect();
    TFont* Font = Params.Font ? Params.Font : FTreeList->Font();
    // The plain paint style draws indicators, like headers, in the painter's plain variants.
    const bool Plain = FTreeList->ViewSettings().ExtPaintStyle;
    if (AIndicator->Node && Plain)
      Painter->PaintIndicatorHeader(Canvas(), R, Params.Color, AIndicator->Kind);
    else if (AIndicator->Node)
      Painter->PaintIndicatorCell(Canvas(), R, Params.Color, AIndicator->Kind);
    else if (Plain)
      Painter->PaintHeaderPlain(Canvas(), R, R, 0, cxAllBorders, cxbsNormal, taLeftJustify, vaCenter, false, false,
                                String(), Font, Params.TextColor, Params.Color, BitmapBackground(Params.Bitmap));
    else
      Painter->PaintHeader(Canvas(), R, R, 0, cxAllBorders, cxbsNormal, taLeftJustify, vaCenter, false, false,
                           String(), Font, Params.TextColor, Params.Color, BitmapBackground(Params.Bitmap));
  }
  Canvas()->ClipOutRect(AIndicator->ClipRect());
}

// ---- Footer ---------------------------------------------------------------------------------------

void TcxTreeListControlPainter::PaintFooter() {
  TcxTreeListViewInfo* VI = ViewInfo();
  if (IsRectEmpty(VI->FooterRect())) return;
  const TcxCustomLookAndFeelPainter* Painter = VI->LookAndFeelPainter();
  const TcxViewParams Params = FTreeList->Styles()->GetFooterParams();
  TRect Frame = VI->FooterRect();
  InflateRect(Frame, Painter->FooterFrameWidth(), Painter->FooterFrameWidth());
  {
    TClipScope Scope(Canvas());
    PaintIndicator(VI->FooterIndicatorCell());
    FillRect(Frame, Params.Color, Params.Bitmap);
    const TRect Strip{Frame.Left, Frame.Top, Frame.Right, Frame.Bottom};
    TRect Left, Right;
    if (!IntersectRect(Left, VI->LeftSeparatorRect(), Strip)) Left = TRect{};
    if (!IntersectRect(Right, VI->RightSeparatorRect(), Strip)) Right = TRect{};
    PaintSeparators(Left, Right);
    for (const auto& Band : VI->BandViewInfos()) PaintBandFooter(Band.get());
  }
  Painter->PaintFooterSeparator(Canvas(),
                                TRect{Frame.Left, Frame.Top, Frame.Right, Frame.Top + Painter->FooterFrameWidth()});
  Painter->PaintFooterFrame(Canvas(), Frame);
}

void TcxTreeListControlPainter::PaintBandFooter(TcxTreeListBandViewInfo* ABand) {
  if (IsRectEmpty(ABand->FooterRect) || !Canvas()->IsRectVisible(ABand->FooterRect)) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(ABand->FooterRect);
  bool Done = false;
  FTreeList->OnCustomDrawFooter(FTreeList, Canvas(), ABand, Done);
  if (Done) return;
  FillRect(ABand->FooterRect, ABand->FooterParams.Color, ABand->FooterParams.Bitmap);
  for (const auto& Column : ABand->Columns)
    if (Column->Footer) PaintFooterItem(Column->Footer);
}

void TcxTreeListControlPainter::PaintFooterItem(TcxTreeListFooterItemViewInfo* AItem) {
  if (!AItem->Visible() || !Canvas()->IsRectVisible(AItem->ClipRect())) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(AItem->ClipRect());
  bool Done = false;
  FTreeList->OnCustomDrawFooterCell(FTreeList, Canvas(), AItem, Done);
  if (Done) return;
  const TcxViewParams& Params = AItem->ViewParams;
  ViewInfo()->LookAndFeelPainter()->PaintFooterCell(Canvas(), AItem->DisplayRect(), AItem->AlignHorz,
                                                    AItem->AlignVert, AItem->MultiLine, true, AItem->Text,
                                                    Params.Font ? Params.Font : FTreeList->Font(), Params.TextColor,
                                                    Params.Color);
}

// ---- Rows -------------------------------------------------------------------------------------

void TcxTreeListControlPainter::PaintRows() {
  TcxTreeListViewInfo* VI = ViewInfo();
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(VI->NodesAreaRect());
  for (Integer I = 0; I < VI->RowCount(); ++I) PaintNodeRow(VI->Rows(I));
}

void TcxTreeListControlPainter::PaintNodeRow(TcxTreeListNodeViewInfo* ARow) {
  if (!Canvas()->IsRectVisible(ARow->RowRect)) return;
  TClipScope Scope(Canvas());
  PaintIndicator(ARow->Indicator.get());
  for (const auto& Group : ARow->CellsGroups) PaintCellsGroup(Group.get());
  for (auto It = ARow->Indents.rbegin(); It != ARow->Indents.rend(); ++It) PaintIndent(It->get());
  PaintSeparators(ARow->LeftSeparatorPiece, ARow->RightSeparatorPiece);
  if (ARow->PreviewShown && ARow->PreviewCell) PaintPreview(ARow->PreviewCell.get());
  if (ARow->GroupRow)
    PaintGroupCell(ARow);
  else
    for (const auto& Cell : ARow->Cells) PaintCell(Cell.get());
  PaintFocusRect(ARow);
}

void TcxTreeListControlPainter::PaintCellsGroup(TcxTreeListCellsGroupViewInfo* AGroup) {
  if (!AGroup->Visible() || !Canvas()->IsRectVisible(AGroup->ClipRect())) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(AGroup->ClipRect());
  bool Done = false;
  FTreeList->OnCustomDrawCellsGroup(FTreeList, Canvas(), AGroup, Done);
  if (Done) return;
  if (AGroup->SelectedLook()) {
    const TcxViewParams Selection = FTreeList->Styles()->GetSelectionParams();
    Canvas()->DrawFramedFill(AGroup->DisplayRect(), nullptr, Selection.Color, 1, ViewInfo()->GridLineColor(),
                             AGroup->Borders);
  } else {
    Canvas()->DrawFramedFill(AGroup->DisplayRect(), AGroup->ViewParams.Bitmap, AGroup->Color, 1,
                             ViewInfo()->GridLineColor(), AGroup->Borders);
  }
}

void TcxTreeListControlPainter::PaintIndent(TcxTreeListIndentViewInfo* AIndent) {
  if (!AIndent->Visible() || !Canvas()->IsRectVisible(AIndent->ClipRect())) return;
  bool Done = false;
  FTreeList->OnCustomDrawIndentCell(FTreeList, Canvas(), AIndent, Done);
  if (Done) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(AIndent->ClipRect());
  PaintBorderLines(AIndent->DisplayRect(), AIndent->Borders, AIndent->Color);
  if (AIndent->IndentKind == TcxTreeListIndentViewInfo::ikLevel) {
    PaintTreeLines(AIndent);
    if (AIndent->HasButton) PaintExpandButton(AIndent->ButtonRect, AIndent->Node->Expanded(), AIndent->Color);
    return;
  }
  if (!AIndent->ImageValid) return;
  const TRect R = AIndent->DisplayRect();
  TImageList* Images = AIndent->Images;
  const Integer X = R.Left + (R.Width() - ImageRightMargin - Images->Width()) / 2;
  const Integer Y = R.Top + (R.Height() - Images->Height()) / 2;
  Images->Draw(Canvas()->Canvas(), X, Y, AIndent->ImageIndex);
}

void TcxTreeListControlPainter::PaintTreeLines(TcxTreeListIndentViewInfo* AIndent) {
  const TColor LineColor = ViewInfo()->TreeLineColor();
  const bool Solid = FTreeList->ViewSettings().SolidTreeLines;
  for (const TRect& Line : {AIndent->VertLine, AIndent->HorzLine}) {
    if (IsRectEmpty(Line)) continue;
    if (Solid)
      FillRect(Line, LineColor, nullptr);
    else
      FillHalftoneRect(Canvas(), Line, AIndent->Color, LineColor);
  }
}

void TcxTreeListControlPainter::PaintExpandButton(const TRect& ARect, bool AExpanded, TColor AColor) {
  ViewInfo()->LookAndFeelPainter()->PaintExpandBox(Canvas(), ARect, AColor, ViewInfo()->TreeLineColor(), AExpanded);
}

void TcxTreeListControlPainter::PaintCell(TcxTreeListEditCellViewInfo* ACell) {
  if (!ACell->Visible() || !Canvas()->IsRectVisible(ACell->ClipRect())) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(ACell->ClipRect());
  const TcxViewParams& Params = ACell->ViewParams();
  PaintBorderLines(ACell->DisplayRect(), ACell->Borders(), Params.Color);
  // The handler finds the cell's colours and font on the canvas; what it
  // leaves there, when it does not draw the cell itself, is the cell's look.
  Canvas()->SetBrushColor(Params.Color);
  Canvas()->SetFont(Params.Font ? Params.Font : FTreeList->Font());
  Canvas()->GetFont()->SetColor(Params.TextColor);
  bool Done = false;
  if (FTreeList->OnCustomDrawCell) FTreeList->OnCustomDrawCell(FTreeList, Canvas(), ACell, Done);
  TcxCustomEditViewInfo* View = ACell->EditViewInfo();
  if (Done || !View) return;
  FCellFont = std::make_unique<TFont>();
  FCellFont->Assign(Canvas()->GetFont());
  FCellColor = Canvas()->GetBrush()->Color();
  View->BackgroundColor = FCellColor;
  View->TextColor = FCellFont->Color();
  // The view keeps its own font; the handler's is gone after this cell, even when painting fails.
  struct TCellLookScope {
    TcxTreeListControlPainter* Painter;
    TcxCustomEditViewInfo* View;
    TFont* OwnFont;
    ~TCellLookScope() {
      View->Font = OwnFont;
      Painter->FCellFont.reset();
    }
  } LookScope{this, View, View->Font};
  View->Font = FCellFont.get();
  if (Params.Bitmap && !Params.Bitmap->Empty() && !ACell->IsSelectedLook())
    Canvas()->FillRectOrTileBitmap(ACell->ContentRect(), Params.Bitmap);
  PaintViewInfoAtOrigin(View, Canvas());
  if (!View->PaintsOwnContent) PaintCellText(ACell);
}

void TcxTreeListControlPainter::SaveAndApplyViewParams(TcxEditCellViewInfo* ACell) {
  TcxCustomControlPainter::SaveAndApplyViewParams(ACell);
  if (!FCellFont) return;
  // The cell being painted takes the look its custom-draw handler left.
  Canvas()->GetFont()->Assign(FCellFont.get());
  Canvas()->SetBrushColor(FCellColor);
}

void TcxTreeListControlPainter::PaintGroupCell(TcxTreeListNodeViewInfo* ARow) {
  TcxTreeListGroupNodeEditViewInfo* Cell = ARow->GroupCell.get();
  if (!Cell || !Cell->Visible() || !Canvas()->IsRectVisible(Cell->ClipRect())) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(Cell->ClipRect());
  bool Done = false;
  FTreeList->OnCustomDrawCell(FTreeList, Canvas(), Cell, Done);
  if (Done) return;
  const TcxViewParams Params = Cell->GetViewParams();
  PaintBorderLines(Cell->DisplayRect(), Cell->Borders(), Params.Color);
  TRect Text = Cell->DisplayRect();
  InflateRect(Text, -2, 0);
  Canvas()->SetFont(Params.Font ? Params.Font : FTreeList->Font());
  Canvas()->GetFont()->SetColor(Params.TextColor);
  Canvas()->DrawTextWithFlags(Cell->Text, Text, true, cxAlignLeft | cxAlignVCenter | cxSingleLine | cxShowEndEllipsis);
}

void TcxTreeListControlPainter::PaintPreview(TcxTreeListNodePreviewViewInfo* APreview) {
  if (!APreview->Visible() || !Canvas()->IsRectVisible(APreview->ClipRect())) return;
  TClipScope Scope(Canvas());
  Canvas()->ClipToRect(APreview->ClipRect());
  bool Done = false;
  FTreeList->OnCustomDrawPreview(FTreeList, Canvas(), APreview, Done);
  if (Done) return;
  const TcxViewParams Params = APreview->GetViewParams();
  PaintBorderLines(APreview->DisplayRect(), APreview->Borders(), Params.Color);
  if (Params.Bitmap && !Params.Bitmap->Empty()) Canvas()->FillRectOrTileBitmap(APreview->TextRect, Params.Bitmap);
  Canvas()->SetFont(Params.Font ? Params.Font : FTreeList->Font());
  Canvas()->GetFont()->SetColor(Params.TextColor);
  Canvas()->DrawTextWithFlags(APreview->Text, APreview->TextRect, true, cxAlignLeft | cxAlignTop | cxWordBreak);
}

void TcxTreeListControlPainter::PaintFocusRect(TcxTreeListNodeViewInfo* ARow) {
  if (!ARow->RowFocused) return;
  TRect R;
  if (TcxTreeListEditCellViewInfo* Cell = ARow->FocusCell()) {
    if (FTreeList->Controller()->IsEditing()) return;
    R = Cell->ContentRect();
  } else {
    R = TRect{ARow->CellsArea.Left, ARow->RowRect.Top, ARow->CellsArea.Right, ARow->RowRect.Bottom};
    if (ARow->RowBorders & BorderBit(bBottom)) --R.Bottom;
  }
  if (IsRectEmpty(R)) return;
  if (FTreeList->IsFocused())
    Canvas()->DrawFocusFrame(R);
  else if (!FTreeList->ViewSettings().HideFocusRect)
    Canvas()->InvertFrame(R, 1);
}
