#include "treelist/cxTLPainter.h"

#include "foundation/cxGraphics.h"
#include "platform/gui/imagelist.h"
#include "treelist/cxTLBands.h"
#include "treelist/cxTLControl.h"
#include "treelist/cxTLViewInfo.h"

namespace {

// An image sits this far left of its indent's right edge.
constexpr Integer ImageRightMargin = 3;

}  // namespace

TcxTreeListControlPainter::TcxTreeListControlPainter(TcxCustomTreeListControl* ATreeList)
    : TcxCustomControlPainter(ATreeList), FTreeList(ATreeList) {}

TcxTreeListViewInfo* TcxTreeListControlPainter::ViewInfo() const { return FTreeList->TreeListViewInfo(); }

void TcxTreeListControlPainter::PaintContent() {
  TcxRegion* Saved = Canvas()->CopyClipRegion();
  PaintBackground(FTreeList->ContentBounds());
  PaintHeaders();
  PaintRows();
  PaintFooter();
  Canvas()->ApplyClipRegion(Saved, roCopy, true);
}

void TcxTreeListControlPainter::PaintBackground(const TRect& ARect) {
  if (IsRectEmpty(ARect)) return;
  const TcxViewParams& Params = ViewInfo()->BackgroundParams();
  Canvas()->SetBrushColor(Params.Color);
  Canvas()->FillRectOrTileBitmap(ARect, Params.Bitmap);
}

void TcxTreeListControlPainter::PaintBorderLines(const TRect& ARect, TcxBorders ABorders, TColor AColor) {
  Canvas()->DrawFramedFill(ARect, nullptr, AColor, 1, ViewInfo()->GridLineColor(), ABorders);
}

// ---- Headers and footer -------------------------------------------------------------------------

void TcxTreeListControlPainter::PaintHeaders() {
  TcxTreeListViewInfo* VI = ViewInfo();
  if (IsRectEmpty(VI->HeaderAreaRect())) return;
  const TcxCustomLookAndFeelPainter* Painter = VI->LookAndFeelPainter();
  if (TcxTreeListIndicatorViewInfo* Corner = VI->HeaderIndicatorCell(); Corner->Visible())
    Painter->PaintHeader(Canvas(), Corner->DisplayRect(), Corner->DisplayRect(), 0, cxAllBorders, cxbsNormal,
                         taLeftJustify, vaCenter, false, false, String(), FTreeList->Font(),
                         Painter->HeaderTextColor(), Painter->HeaderColor(), TcxDrawBackgroundEvent());
  for (const auto& [Band, Rect] : VI->BandRects()) {
    Canvas()->SetBrushColor(Painter->BandBackgroundColor());
    TRect R;
    if (IntersectRect(R, Rect, VI->HeaderAreaRect())) Canvas()->FillRectOrTileBitmap(R, nullptr);
  }
  for (const auto& Header : VI->BandHeaders()) PaintHeader(Header.get());
  for (const auto& Header : VI->ColumnHeaders()) PaintHeader(Header.get());
}

TRect TcxTreeListControlPainter::PlaceCaptionGlyph(TcxTreeListCaption* ACaption, TRect& ATextArea) {
  TBitmap* Glyph = ACaption->Glyph();
  const Integer W = std::min<Integer>(Glyph->Width(), ATextArea.Width());
  const Integer H = std::min<Integer>(Glyph->Height(), ATextArea.Height());
  TRect R{0, 0, W, H};
  switch (ACaption->GlyphAlignHorz()) {
    case taLeftJustify: R.Left = ATextArea.Left; break;
    case taRightJustify: R.Left = ATextArea.Right - W; break;
    default: R.Left = (ATextArea.Left + ATextArea.Right - W) / 2; break;
  }
  switch (ACaption->GlyphAlignVert()) {
    case vaTop: R.Top = ATextArea.Top; break;
    case vaBottom: R.Top = ATextArea.Bottom - H; break;
    default: R.Top = (ATextArea.Top + ATextArea.Bottom - H) / 2; break;
  }
  R.Right = R.Left + W;
  R.Bottom = R.Top + H;
  // Beside the text the glyph takes its room and a gap from it.
  constexpr Integer GlyphGap = 2;
  if (ACaption->GlyphAlignHorz() == taLeftJustify) ATextArea.Left = R.Right + GlyphGap;
  else if (ACaption->GlyphAlignHorz() == taRightJustify) ATextArea.Right = R.Left - GlyphGap;
  return R;
}

void TcxTreeListControlPainter::PaintHeader(TcxTreeListHeaderViewInfo* AHeader) {
  if (!AHeader->Visible() || !Canvas()->IsRectVisible(AHeader->ClipRect())) return;
  const TcxCustomLookAndFeelPainter* Painter = ViewInfo()->LookAndFeelPainter();
  TcxRegion* Saved = Canvas()->CopyClipRegion();
  Canvas()->ClipToRect(AHeader->ClipRect());
  auto* Column = dynamic_cast<TcxTreeListColumnHeaderViewInfo*>(AHeader);
  const TcxNeighbors Neighbors = Column ? Column->Neighbors : 0;
  // The caption's own alignment, wrapping and ellipsis; its glyph beside the text.
  TcxTreeListCaption* Caption = AHeader->Column ? AHeader->Column->CaptionSettings()
                                : AHeader->Band  ? AHeader->Band->CaptionSettings()
                                                 : nullptr;
  TRect TextArea = AHeader->TextArea;
  TRect GlyphRect{};
  if (Caption && Caption->HasGlyph()) GlyphRect = PlaceCaptionGlyph(Caption, TextArea);
  const TAlignment AlignHorz = Caption ? Caption->AlignHorz() : taLeftJustify;
  const TcxAlignmentVert AlignVert = Caption ? Caption->AlignVert() : vaCenter;
  const bool MultiLine = Caption && Caption->MultiLine();
  const bool Ellipsis = !Caption || Caption->ShowEndEllipsis();
  if (FTreeList->ViewSettings().ExtPaintStyle)
    Painter->PaintHeaderPlain(Canvas(), AHeader->DisplayRect(), TextArea, Neighbors, cxAllBorders,
                              AHeader->ButtonState, AlignHorz, AlignVert, MultiLine, Ellipsis, AHeader->Text,
                              FTreeList->Font(), Painter->HeaderTextColor(), Painter->HeaderColor(),
                              TcxDrawBackgroundEvent());
  else
    Painter->PaintHeader(Canvas(), AHeader->DisplayRect(), TextArea, Neighbors, cxAllBorders, AHeader->ButtonState,
                         AlignHorz, AlignVert, MultiLine, Ellipsis, AHeader->Text, FTreeList->Font(),
                         Painter->HeaderTextColor(), Painter->HeaderColor(), TcxDrawBackgroundEvent());
  if (!IsRectEmpty(GlyphRect)) Canvas()->Canvas()->Draw(GlyphRect.Left, GlyphRect.Top, Caption->Glyph());
  if (!IsRectEmpty(AHeader->SortMarkArea) && AHeader->Column)
    Painter->PaintSortMark(Canvas(), AHeader->SortMarkArea, AHeader->Column->SortOrder() == soAscending);
  if (AHeader->ButtonState == cxbsPressed) Painter->InvertHeaderArea(Canvas(), AHeader->DisplayRect());
  Canvas()->ApplyClipRegion(Saved, roCopy, true);
}

void TcxTreeListControlPainter::PaintFooter() {
  TcxTreeListViewInfo* VI = ViewInfo();
  if (IsRectEmpty(VI->FooterRect())) return;
  const TcxCustomLookAndFeelPainter* Painter = VI->LookAndFeelPainter();
  if (TcxTreeListIndicatorViewInfo* Corner = VI->FooterIndicatorCell(); Corner->Visible())
    Painter->PaintHeader(Canvas(), Corner->DisplayRect(), Corner->DisplayRect(), 0, cxAllBorders, cxbsNormal,
                         taLeftJustify, vaCenter, false, false, String(), FTreeList->Font(),
                         Painter->HeaderTextColor(), Painter->HeaderColor(), TcxDrawBackgroundEvent());
  TRect Frame = VI->FooterRect();
  InflateRect(Frame, Painter->FooterFrameWidth(), Painter->FooterFrameWidth());
  Canvas()->SetBrushColor(Painter->FooterColor());
  Canvas()->FillRectOrTileBitmap(Frame, nullptr);
  for (const auto& Item : VI->FooterItems()) {
    if (!Item->Visible()) continue;
    TcxRegion* Saved = Canvas()->CopyClipRegion();
    Canvas()->ClipToRect(Item->ClipRect());
    Painter->PaintFooterCell(Canvas(), Item->DisplayRect(), taLeftJustify, vaCenter, false, true, String(),
                             FTreeList->Font(), Painter->FooterTextColor(), Painter->FooterColor());
    Canvas()->ApplyClipRegion(Saved, roCopy, true);
  }
  Painter->PaintFooterSeparator(Canvas(),
                                TRect{Frame.Left, Frame.Top, Frame.Right, Frame.Top + Painter->FooterFrameWidth()});
  Painter->PaintFooterFrame(Canvas(), Frame);
}

// ---- Rows -------------------------------------------------------------------------------------

void TcxTreeListControlPainter::PaintRows() {
  TcxTreeListViewInfo* VI = ViewInfo();
  TcxRegion* Saved = Canvas()->CopyClipRegion();
  Canvas()->ClipToRect(VI->NodesAreaRect());
  for (Integer I = 0; I < VI->RowCount(); ++I) PaintNodeRow(VI->Rows(I));
  Canvas()->ApplyClipRegion(Saved, roCopy, true);
}

void TcxTreeListControlPainter::PaintNodeRow(TcxTreeListNodeViewInfo* ARow) {
  if (!Canvas()->IsRectVisible(ARow->RowRect)) return;
  if (ARow->Indicator->Visible()) {
    const TcxCustomLookAndFeelPainter* Painter = ViewInfo()->LookAndFeelPainter();
    Painter->PaintIndicatorCell(Canvas(), ARow->Indicator->DisplayRect(), Painter->HeaderColor(),
                                ARow->Indicator->Kind);
  }
  for (auto It = ARow->Indents.rbegin(); It != ARow->Indents.rend(); ++It) PaintIndent(It->get());
  for (const auto& Cell : ARow->Cells) PaintCell(Cell.get());
  PaintFocusRect(ARow);
}

void TcxTreeListControlPainter::PaintIndent(TcxTreeListIndentViewInfo* AIndent) {
  if (!AIndent->Visible()) return;
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
    if (Solid) {
      Canvas()->SetBrushColor(LineColor);
      Canvas()->FillRectOrTileBitmap(Line, nullptr);
    } else {
      FillHalftoneRect(Canvas(), Line, AIndent->Color, LineColor);
    }
  }
}

void TcxTreeListControlPainter::PaintExpandButton(const TRect& ARect, bool AExpanded, TColor AColor) {
  ViewInfo()->LookAndFeelPainter()->PaintExpandBox(Canvas(), ARect, AColor, ViewInfo()->TreeLineColor(), AExpanded);
}

void TcxTreeListControlPainter::PaintCell(TcxTreeListEditCellViewInfo* ACell) {
  if (!ACell->Visible() || !Canvas()->IsRectVisible(ACell->ClipRect())) return;
  TcxRegion* Saved = Canvas()->CopyClipRegion();
  Canvas()->ClipToRect(ACell->ClipRect());
  PaintBorderLines(ACell->DisplayRect(), ACell->Borders(), ACell->ViewParams().Color);
  PaintEditCell(ACell, false);
  Canvas()->ApplyClipRegion(Saved, roCopy, true);
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
