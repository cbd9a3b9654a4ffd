#include "foundation/cxStandardPainters.h"

#include "foundation/cxLookAndFeels.h"
#include "foundation/cxPainterImages.h"
#include "platform/gui/bitmap.h"

namespace {

constexpr TcxBorders kLeft = BorderBit(bLeft), kTop = BorderBit(bTop), kRight = BorderBit(bRight),
                     kBottom = BorderBit(bBottom);

TRect Deflated(const TRect& R, Integer D) { return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D); }

// The rect less D on each side in ABorders.
TRect DeflatedSides(const TRect& R, TcxBorders ABorders, Integer D) {
  TRect r = R;
  if (ABorders & kLeft) r.Left += D;
  if (ABorders & kTop) r.Top += D;
  if (ABorders & kRight) r.Right -= D;
  if (ABorders & kBottom) r.Bottom -= D;
  return r;
}

void Fill(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, R, AColor);
}

void Frame(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  TcxCustomLookAndFeelPainter::FrameRectColor(ACanvas, R, AColor);
}

// One-pixel borders on the sides: left and top in ALeftTop, right and bottom
// in ARightBottom.
void TwoColors(TcxCanvas* ACanvas, const TRect& R, TColor ALeftTop, TColor ARightBottom,
               TcxBorders ABorders = cxAllBorders) {
  ACanvas->DrawTwoColorBorders(R, ALeftTop, 1, ABorders, ARightBottom);
}

// The raised inner ring with its corners softened: shared by both painters.
void PaintClassicHeaderFrame(TcxCanvas* ACanvas, const TRect& R, TcxBorders ABorders) {
  if (IsRectEmpty(R)) return;
  ACanvas->DrawEdgeRing(R, false, false, cxAllBorders);
  if (ABorders & kLeft) {
    ACanvas->SetPixel(R.Left, R.Top + 1, clBtnFace);
    ACanvas->SetPixel(R.Left, R.Bottom - 2, clBtnFace);
  }
  if (ABorders & kRight) {
    ACanvas->SetPixel(R.Right - 1, R.Top, clBtnHighlight);
    ACanvas->SetPixel(R.Right - 1, R.Top + 1, clBtnFace);
    ACanvas->SetPixel(R.Right - 1, R.Bottom - 2, clBtnFace);
  }
}

void PaintClassicFilterDropDownButton(const TcxCustomLookAndFeelPainter* APainter, TcxCanvas* ACanvas,
                                      const TRect& R, TcxButtonState AState, bool AActive) {
  if (AState == cxbsPressed)
    ACanvas->DrawEdgeRing(R, true, true, cxAllBorders);
  else
    ACanvas->DrawEdgeRing(R, false, false, cxAllBorders);
  const TRect inner = Deflated(R, 1);
  Fill(ACanvas, inner, clBtnFace);
  APainter->PaintDownArrowGlyph(ACanvas, inner, AActive ? TColor(0xFF0000) : clBtnText);
}

// The glyph of the base painter one pixel smaller at the right and bottom,
// moved by (1, 1) when pressed.
TRect ClassicCrossGlyphRect(const TRect& R, TcxButtonState AState) {
  TRect r = Rect(R.Left, R.Top, R.Right - 1, R.Bottom - 1);
  if (AState == cxbsPressed) r = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
  return r;
}

// Tab edges of both painters: the edge of a top tab reaches one pixel (two
// when its top side is chosen) higher and stops one pixel (two) short of
// the bottom, with its two upper left pixels lit; side tabs start one pixel
// further right when their left side is chosen. Top and left edges are lit,
// bottom and right edges shaded.
void PaintClassicTabFrame(TcxCanvas* ACanvas, const TRect& R, TcxTabPosition APosition, TcxBorders ABorders) {
  TRect r = R;
  switch (APosition) {
    case tpTop:
      r.Top -= (ABorders & kTop) ? 2 : 1;
      r.Bottom -= (ABorders & kBottom) ? 2 : 1;
      break;
    case tpLeft:
    case tpRight:
      if (ABorders & kLeft) ++r.Left;
      break;
    case tpBottom: break;
  }
  const TColor color = APosition == tpTop || APosition == tpLeft ? clBtnHighlight : clBtnShadow;
  Fill(ACanvas, r, color);
  if (APosition == tpTop && !IsRectEmpty(r)) {
    ACanvas->SetPixel(r.Left, r.Top, clBtnHighlight);
    ACanvas->SetPixel(r.Left, r.Top + 1, clBtnHighlight);
  }
}

// The splitter's long sides: for each pair the first colour on the top (or
// left) line and the second on the bottom (or right) line; every next pair
// one pixel further in and one pixel longer at both ends. The rest is filled
// with the canvas brush.
void PaintSplitterLines(TcxCanvas* ACanvas, const TRect& R, bool AHorizontal,
                        std::initializer_list<std::pair<TColor, TColor>> APairs) {
  if (IsRectEmpty(R)) return;
  // The splitter's own brush, before the lines change it.
  TBrush brush;
  brush.Assign(ACanvas->GetBrush());
  TRect r = R;
  bool first = true;
  for (const auto& [lead, trail] : APairs) {
    if (!first) r = AHorizontal ? Rect(r.Left - 1, r.Top + 1, r.Right + 1, r.Bottom - 1)
                                : Rect(r.Left + 1, r.Top - 1, r.Right - 1, r.Bottom + 1);
    first = false;
    if (IsRectEmpty(r)) return;
    if (AHorizontal) {
      Fill(ACanvas, Rect(r.Left, r.Top, r.Right, r.Top + 1), lead);
      Fill(ACanvas, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), trail);
    } else {
      Fill(ACanvas, Rect(r.Left, r.Top, r.Left + 1, r.Bottom), lead);
      Fill(ACanvas, Rect(r.Right - 1, r.Top, r.Right, r.Bottom), trail);
    }
  }
  const TRect rest = AHorizontal ? Rect(R.Left, r.Top + 1, R.Right, r.Bottom - 1)
                                 : Rect(r.Left + 1, R.Top, r.Right - 1, R.Bottom);
  ACanvas->GetBrush()->Assign(&brush);
  if (!IsRectEmpty(rest)) ACanvas->Canvas()->FillRect(rest);
}

// The direction of a scroll bar's arrow button.
TcxArrowDirection ScrollBarArrowDirection(TcxScrollBarPart APart, bool AHorizontal) {
  if (AHorizontal) return APart == sbpLineUp ? adLeft : adRight;
  return APart == sbpLineUp ? adUp : adDown;
}

TGlyphKind ScrollBarGlyph(TcxScrollBarPart APart, bool AHorizontal) {
  switch (ScrollBarArrowDirection(APart, AHorizontal)) {
    case adUp: return gkScrollUp;
    case adDown: return gkScrollDown;
    case adLeft: return gkScrollLeft;
    case adRight: break;
  }
  return gkScrollRight;
}

// The 2-pixel border of a standard scroll-bar button or thumb.
void PaintScrollBarButtonBorder(TcxCanvas* ACanvas, const TRect& R, TcxButtonState AState) {
  if (AState == cxbsPressed) {
    TwoColors(ACanvas, R, clBtnShadow, clBtnShadow);
    // The system colour just before the button shadow (the button face).
    TwoColors(ACanvas, Deflated(R, 1), TColor(clBtnShadow - 1), clBtnFace);
  } else {
    TwoColors(ACanvas, R, clBtnFace, cl3DDkShadow);
    TwoColors(ACanvas, Deflated(R, 1), cl3DLight, clBtnShadow);
  }
}

bool ScrollBarPartPainted(const TRect& R, TcxScrollBarPart APart, TcxButtonState AState) {
  return !IsRectEmpty(R) && APart != sbpNone && !(APart == sbpThumbnail && AState == cxbsDisabled);
}

struct TPainterRegistration {
  TPainterRegistration() { cxStandardPaintersRegister(); }
};
const TPainterRegistration Registration;

}  // namespace

// ---------------------------------------------------------------------------
// Shared routines

void cxPaintSortMark3D(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending, const TPoint& ASize,
                       TColor ALightColor, TColor ADarkColor) {
  const Integer w = ASize.X, h = ASize.Y;
  if (w < 2 || h < 2) return;
  const Integer left = ARect.Left + (ARect.Width() - w) / 2;
  const Integer top = ARect.Top + (ARect.Height() - h) / 2;
  const Integer right = left + w - 1, bottom = top + h - 1;
  const Integer middle = left + (w - 1) / 2;
  auto line = [&](Integer x1, Integer y1, Integer x2, Integer y2, TColor color) {
    TPen* pen = ACanvas->GetPen();
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    pen->SetColor(color);
    ACanvas->MovePenTo(x1, y1);
    ACanvas->DrawLineTo(x2, y2);
    ACanvas->SetPixel(x2, y2, color);
  };
  if (AAscending) {
    // Apex on top: the left slope in shade, the right slope and the base lit.
    line(left, bottom, right, bottom, ALightColor);
    line(middle + 1, top, right, bottom, ALightColor);
    line(middle, top, left, bottom, ADarkColor);
  } else {
    // Apex below: the base and the left slope in shade, the right slope lit.
    line(middle + 1, bottom, right, top, ALightColor);
    line(left, top, right, top, ADarkColor);
    line(left, top, middle, bottom, ADarkColor);
  }
}

void cxPaintScrollBarTrack(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) {
  if (IsRectEmpty(ARect)) return;
  TBitmap* checker = cxCheckerBitmap(AState == cxbsPressed ? 1 : 0);
  if (checker)
    ACanvas->FillRectOrTileBitmap(ARect, checker);
  else
    Fill(ACanvas, ARect, clBtnFace);
}

void cxPaintFlatScrollBarPart(const TcxCustomLookAndFeelPainter* APainter, TcxCanvas* ACanvas, const TRect& ARect,
                              TcxScrollBarPart APart, TcxButtonState AState, bool AHorizontal) {
  if (!ScrollBarPartPainted(ARect, APart, AState)) return;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown:
    case sbpThumbnail: {
      APainter->PaintCaptionButton(ACanvas, ARect, clDefault, clDefault, true, AState, String());
      if (APart == sbpThumbnail) return;
      const TRect inner = Deflated(ARect, APainter->ButtonFrameWidth(cxbsNormal));
      APainter->PaintButtonArrow(ACanvas, inner, ScrollBarArrowDirection(APart, AHorizontal), AState);
      return;
    }
    case sbpPageUp:
    case sbpPageDown: cxPaintScrollBarTrack(ACanvas, ARect, AState); return;
    case sbpNone: return;
  }
}

void cxStandardPaintersRegister() {
  RegisterLookAndFeelPainter(lfStandard, cxStandardLookAndFeelPainter());
  RegisterLookAndFeelPainter(lfFlat, cxFlatLookAndFeelPainter());
}

// ---------------------------------------------------------------------------
// TcxStandardLookAndFeelPainter

Byte TcxStandardLookAndFeelPainter::StyleCode() const { return 1; }

TColor TcxStandardLookAndFeelPainter::PainterColor(TcxPainterColor AColor) const {
  return AColor == pcAfterThinBorder2 ? clWindow : inherited::PainterColor(AColor);
}

Integer TcxStandardLookAndFeelPainter::BorderThickness() const { return 2; }
Integer TcxStandardLookAndFeelPainter::ButtonFrameWidth(TcxButtonState AState) const {
  return AState == cxbsDefault ? 3 : 2;
}
Integer TcxStandardLookAndFeelPainter::ButtonContentMargin() const { return 1; }
Integer TcxStandardLookAndFeelPainter::PressedContentShift() const { return 1; }
Integer TcxStandardLookAndFeelPainter::ExpandGlyphSize() const { return 12; }
Integer TcxStandardLookAndFeelPainter::HeaderFrameWidth() const { return 1; }
Integer TcxStandardLookAndFeelPainter::HeaderSectionFrameWidth(TcxButtonState AState) const {
  return AState == cxbsPressed ? 1 : 2;
}
TPoint TcxStandardLookAndFeelPainter::SortMarkSize() const { return Point(8, 7); }
Integer TcxStandardLookAndFeelPainter::FooterFrameWidth() const { return 1; }
Integer TcxStandardLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
Integer TcxStandardLookAndFeelPainter::FooterCellSpacing() const { return 1; }
Integer TcxStandardLookAndFeelPainter::TabFrameWidth() const { return 1; }

void TcxStandardLookAndFeelPainter::PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const {
  TwoColors(ACanvas, ARect, clBtnShadow, clBtnHighlight);
  TwoColors(ACanvas, Deflated(ARect, 1), cl3DDkShadow, cl3DLight);
}

void TcxStandardLookAndFeelPainter::PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                     TcxButtonState AState) const {
  TRect r = ARect;
  if (AState == cxbsPressed) {
    Frame(ACanvas, r, clBlack);
    TwoColors(ACanvas, Deflated(r, 1), clBtnShadow, clBtnShadow);
    return;
  }
  if (AState == cxbsDefault) {
    Frame(ACanvas, r, clBlack);
    r = Deflated(r, 1);
  }
  TwoColors(ACanvas, r, clBtnHighlight, cl3DDkShadow);
  TwoColors(ACanvas, Deflated(r, 1), cl3DLight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                                     bool AExpanded) const {
  if (IsRectEmpty(ARect)) return;
  ACanvas->DrawEdgeRing(ARect, false, true, kLeft | kTop);
  ACanvas->DrawEdgeRing(ARect, false, true, kRight | kBottom);
  TRect inner = Deflated(ARect, 1);
  ACanvas->DrawEdgeRing(inner, false, false, kRight | kBottom);
  --inner.Right;
  --inner.Bottom;
  Fill(ACanvas, inner, AColor == clDefault ? clBtnFace : AColor);
  // The sign is centred on the face with its lit ring.
  DrawExpandSign(ACanvas, Rect(ARect.Left, ARect.Top, inner.Right + 1, inner.Bottom + 1), clBtnText, AExpanded);
  ACanvas->ClipOutRect(ARect);
}

void TcxStandardLookAndFeelPainter::PaintGroupExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect,
                                                          TcxButtonState AState, bool AExpanded) const {
  PainterOf(cxFlatLookAndFeelPainter())->PaintGroupExpandGlyph(ACanvas, ARect, AState, AExpanded);
}

void TcxStandardLookAndFeelPainter::PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState) const {
  ACanvas->DrawEdgeRing(ARect, true, false, cxAllBorders);
  ACanvas->DrawEdgeRing(Deflated(ARect, 1), true, true, cxAllBorders);
}

void TcxStandardLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors,
                                                     TcxBorders ABorders) const {
  PaintClassicHeaderFrame(ACanvas, ARect, ABorders);
}

void TcxStandardLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                            TcxButtonState AState, TcxBorders ABorders) const {
  if (AState == cxbsPressed) {
    TwoColors(ACanvas, ARect, clBtnShadow, clBtnShadow, ABorders);
    return;
  }
  TwoColors(ACanvas, ARect, clBtnHighlight, cl3DDkShadow, ABorders);
  TwoColors(ACanvas, DeflatedSides(ARect, ABorders, 1), cl3DLight, clBtnShadow, ABorders);
}

void TcxStandardLookAndFeelPainter::PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const {
  cxPaintSortMark3D(ACanvas, ARect, AAscending, SortMarkSize(), clBtnHighlight, clBtnShadow);
}

void TcxStandardLookAndFeelPainter::PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const {
  ACanvas->DrawEdgeRing(ARect, false, false, cxAllBorders);
}

void TcxStandardLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* ACanvas, const TRect& ARect) const {
  ACanvas->DrawEdgeRing(ARect, true, true, cxAllBorders);
}

void TcxStandardLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect,
                                                              TcxButtonState AState, bool AActive) const {
  PaintClassicFilterDropDownButton(this, ACanvas, ARect, AState, AActive);
}

void TcxStandardLookAndFeelPainter::PaintCrossGlyph(TcxCanvas* ACanvas, const TRect& ARect,
                                                    TcxButtonState AState) const {
  inherited::PaintCrossGlyph(ACanvas, ClassicCrossGlyphRect(ARect, AState), AState);
}

void TcxStandardLookAndFeelPainter::PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                                                  TcxBorders ABorders, bool) const {
  PaintClassicTabFrame(ACanvas, ARect, APosition, ABorders);
}

void TcxStandardLookAndFeelPainter::PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect,
                                                  TcxBorders ABorders) const {
  ACanvas->DrawEdgeRing(ARect, false, false, ABorders);
}

void TcxStandardLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect,
                                                       TcxScrollBarPart APart, TcxButtonState AState,
                                                       bool AHorizontal) const {
  if (!ScrollBarPartPainted(ARect, APart, AState)) return;
  if (AState == cxbsHot) AState = cxbsNormal;
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown: {
      Cardinal flags = 0;
      if (AState == cxbsPressed) flags |= gsFlat | gsPushed;
      if (AState == cxbsDisabled) flags |= gsInactive;
      DrawGlyph(ACanvas->GetHandle(), ARect, ScrollBarGlyph(APart, AHorizontal), flags);
      PaintScrollBarButtonBorder(ACanvas, ARect, AState);
      return;
    }
    case sbpThumbnail:
      PaintScrollBarButtonBorder(ACanvas, ARect, AState);
      Fill(ACanvas, Deflated(ARect, ButtonFrameWidth(cxbsNormal)), clBtnFace);
      return;
    case sbpPageUp:
    case sbpPageDown: cxPaintScrollBarTrack(ACanvas, ARect, AState); return;
    case sbpNone: return;
  }
}

void TcxStandardLookAndFeelPainter::PaintArrowsHeader(TcxCanvas* ACanvas, const TRect& ARect,
                                                      TcxNeighbors ANeighbors, const String& AText, TFont* AFont,
                                                      TColor ATextColor, TColor ABkColor,
                                                      const TcxDrawBackgroundEvent& AOnDrawBackground, TcxBorders,
                                                      TcxArrowDirections AArrows) const {
  TcxBorders sides = kTop | kBottom;
  if (!(ANeighbors & nLeft)) sides |= kLeft;
  if (!(ANeighbors & nRight)) sides |= kRight;
  ACanvas->DrawBorderBands(ARect, clBlack, sides, 1);
  const TRect content = DeflatedSides(ARect, sides, 1);
  PaintHeaderContent(ACanvas, content, content, cxbsNormal, taCenter, vaCenter, false, false, AText, AFont,
                     ATextColor, ABkColor, AOnDrawBackground);
  PaintArrows(ACanvas, ARect, clWindowText, AArrows);
}

void TcxStandardLookAndFeelPainter::PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect,
                                                        bool AHorizontal) const {
  PaintSplitterLines(ACanvas, ARect, AHorizontal, {{clBtnFace, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}});
}

// ---------------------------------------------------------------------------
// TcxFlatLookAndFeelPainter

Byte TcxFlatLookAndFeelPainter::StyleCode() const { return 0; }
Integer TcxFlatLookAndFeelPainter::BorderThickness() const { return 1; }
Integer TcxFlatLookAndFeelPainter::ButtonFrameWidth(TcxButtonState AState) const {
  return AState == cxbsDefault ? 2 : 1;
}
Integer TcxFlatLookAndFeelPainter::ButtonContentMargin() const { return 1; }
Integer TcxFlatLookAndFeelPainter::PressedContentShift() const { return 1; }
Integer TcxFlatLookAndFeelPainter::ExpandGlyphSize() const { return 11; }
Integer TcxFlatLookAndFeelPainter::HeaderFrameWidth() const { return 1; }
TPoint TcxFlatLookAndFeelPainter::SortMarkSize() const { return Point(8, 7); }
Integer TcxFlatLookAndFeelPainter::FooterFrameWidth() const { return 1; }
Integer TcxFlatLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
Integer TcxFlatLookAndFeelPainter::FooterCellSpacing() const { return 1; }
Integer TcxFlatLookAndFeelPainter::TabFrameWidth() const { return 1; }

void TcxFlatLookAndFeelPainter::PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const {
  ACanvas->DrawEdgeRing(ARect, true, true, cxAllBorders);
}

void TcxFlatLookAndFeelPainter::PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                 TcxButtonState AState) const {
  if (AState == cxbsPressed) {
    TwoColors(ACanvas, ARect, clBtnShadow, clBtnHighlight);
    return;
  }
  TRect r = ARect;
  if (AState == cxbsDefault) {
    Frame(ACanvas, r, clBlack);
    r = Deflated(r, 1);
  }
  TwoColors(ACanvas, r, clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                                 bool AExpanded) const {
  if (IsRectEmpty(ARect)) return;
  PaintCaptionButton(ACanvas, ARect, clDefault, AColor, true, cxbsNormal, String());
  DrawExpandSign(ACanvas, Deflated(ARect, 1), clBtnText, AExpanded);
  ACanvas->ClipOutRect(ARect);
}

void TcxFlatLookAndFeelPainter::PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                TcxButtonState AState) const {
  ACanvas->DrawEdgeRing(ARect, true, true, cxAllBorders);
  Frame(ACanvas, Deflated(ARect, 1), CheckFaceColor(AState));
}

void TcxFlatLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors,
                                                 TcxBorders ABorders) const {
  PaintClassicHeaderFrame(ACanvas, ARect, ABorders);
}

void TcxFlatLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                        TcxButtonState AState, TcxBorders ABorders) const {
  if (AState == cxbsPressed)
    TwoColors(ACanvas, ARect, clBtnShadow, clBtnHighlight, ABorders);
  else
    TwoColors(ACanvas, ARect, clBtnHighlight, clBtnShadow, ABorders);
}

void TcxFlatLookAndFeelPainter::PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const {
  cxPaintSortMark3D(ACanvas, ARect, AAscending, SortMarkSize(), clBtnHighlight, clBtnShadow);
}

void TcxFlatLookAndFeelPainter::PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const {
  ACanvas->DrawEdgeRing(ARect, false, false, cxAllBorders);
}

void TcxFlatLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* ACanvas, const TRect& ARect) const {
  ACanvas->DrawEdgeRing(ARect, true, true, cxAllBorders);
}

void TcxFlatLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect,
                                                          TcxButtonState AState, bool AActive) const {
  PaintClassicFilterDropDownButton(this, ACanvas, ARect, AState, AActive);
}

void TcxFlatLookAndFeelPainter::PaintCrossGlyph(TcxCanvas* ACanvas, const TRect& ARect,
                                                TcxButtonState AState) const {
  inherited::PaintCrossGlyph(ACanvas, ClassicCrossGlyphRect(ARect, AState), AState);
}

void TcxFlatLookAndFeelPainter::PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                                              TcxBorders ABorders, bool) const {
  PaintClassicTabFrame(ACanvas, ARect, APosition, ABorders);
}

void TcxFlatLookAndFeelPainter::PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect, TcxBorders ABorders) const {
  ACanvas->DrawEdgeRing(ARect, false, false, ABorders);
}

void TcxFlatLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart,
                                                   TcxButtonState AState, bool AHorizontal) const {
  cxPaintFlatScrollBarPart(this, ACanvas, ARect, APart, AState, AHorizontal);
}

void TcxFlatLookAndFeelPainter::PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect,
                                                    bool AHorizontal) const {
  PaintSplitterLines(ACanvas, ARect, AHorizontal, {{clBtnHighlight, clBtnShadow}});
}
