#include "foundation/cxLookAndFeelPainters.h"

#include <algorithm>
#include <cstdint>

#include "foundation/cxPainterImages.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/imagelist.h"

namespace {

// a * b / c rounded half away from zero.
Integer MulDivRound(Integer a, Integer b, Integer c) {
  const int64_t n = static_cast<int64_t>(a) * b;
  const int64_t q = (n >= 0 ? n + c / 2 : n - c / 2) / c;
  return static_cast<Integer>(q);
}

Integer MakeOdd(Integer AValue) { return AValue % 2 == 0 ? AValue + 1 : AValue; }

TRect Deflated(const TRect& R, Integer D) { return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D); }

TRect Offset(const TRect& R, Integer DX, Integer DY) { return Rect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY); }

void SetPen(TcxCanvas* ACanvas, TColor AColor) {
  ACanvas->GetPen()->SetStyle(psSolid);
  ACanvas->GetPen()->SetWidth(1);
  ACanvas->GetPen()->SetColor(AColor);
}

// A one-pixel line from (X1, Y1) to (X2, Y2), both ends included.
void Line(TcxCanvas* ACanvas, Integer X1, Integer Y1, Integer X2, Integer Y2, TColor AColor) {
  SetPen(ACanvas, AColor);
  ACanvas->MovePenTo(X1, Y1);
  ACanvas->DrawLineTo(X2, Y2);
  ACanvas->SetPixel(X2, Y2, AColor);
}

void SetFontAndColor(TcxCanvas* ACanvas, TFont* AFont, TColor ATextColor) {
  if (AFont) ACanvas->GetFont()->Assign(AFont);
  if (ATextColor != clDefault && ATextColor != clNone) ACanvas->GetFont()->SetColor(ATextColor);
}

}  // namespace

// ---------------------------------------------------------------------------
// Free routines

bool TcxDrawBackgroundEvent::Assigned() const {
  return reinterpret_cast<uintptr_t>(Code) >= 0x10000;
}

TcxTextFlags cxHeaderTextFlags(TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                               bool AShowEndEllipsis) {
  static const TcxTextFlags horz[] = {cxAlignLeft, cxAlignRight, cxAlignHCenter};
  static const TcxTextFlags vert[] = {cxAlignTop, cxAlignBottom, cxAlignVCenter};
  const auto h = static_cast<size_t>(std::clamp<Integer>(AAlignmentHorz, 0, 2));
  const auto v = static_cast<size_t>(std::clamp<Integer>(AAlignmentVert, 0, 2));
  return static_cast<TcxTextFlags>(horz[h] | vert[v] | (AMultiLine ? cxWordBreak : cxSingleLine) |
                                   (AShowEndEllipsis ? cxShowEndEllipsis : 0));
}

TcxLookAndFeelKind LookAndFeelStyleToKind(Byte AStyle) {
  switch (AStyle) {
    case 0: return lfFlat;
    case 2: return lfUltraFlat;
    case 4: return lfOffice11;
    default: return lfStandard;
  }
}

const TcxCustomLookAndFeelPainter* PainterOf(TcxCustomLookAndFeelPainterClass APainterClass) {
  return APainterClass ? APainterClass->Painter() : nullptr;
}

TcxCustomLookAndFeelPainterClass PainterClassOfKind(TcxLookAndFeelKind AKind) {
  TcxCustomLookAndFeelPainterClass result = LookAndFeelPainterOfKind(AKind);
  return result ? result : TcxCustomLookAndFeelPainter::StaticClass();
}

// ---------------------------------------------------------------------------
// Shared drawing routines

void TcxCustomLookAndFeelPainter::FillRectColor(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor) {
  if (AColor == clNone || IsRectEmpty(ARect)) return;
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->GetBrush()->SetColor(AColor);
  ACanvas->Canvas()->FillRect(ARect);
}

void TcxCustomLookAndFeelPainter::FrameRectColor(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor) {
  if (AColor == clNone || IsRectEmpty(ARect)) return;
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->GetBrush()->SetColor(AColor);
  ACanvas->Canvas()->FrameRect(ARect);
}

void TcxCustomLookAndFeelPainter::DrawTriangle(TcxCanvas* ACanvas, const TcxArrowPoints& APoints, TColor AColor) {
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->GetBrush()->SetColor(AColor);
  SetPen(ACanvas, AColor);
  ACanvas->DrawPolygon({APoints[0], APoints[1], APoints[2]});
}

TcxArrowPoints TcxCustomLookAndFeelPainter::ArrowGeometry(const TRect& ARect, bool AMakeSquare,
                                                          TcxArrowDirection ADirection) {
  TRect r = ARect;
  if (AMakeSquare) {
    const Integer d = r.Width() - r.Height();
    if (d > 0) {
      r.Left += d / 2;
      r.Right -= d / 2;
    } else if (d < 0) {
      r.Top += -d / 2;
      r.Bottom -= -d / 2;
    }
  }
  const bool horizontal = ADirection == adLeft || ADirection == adRight;
  const Integer size = MakeOdd(((horizontal ? r.Height() : r.Width()) - 1) / 2);
  const Integer depth = size / 2 + 1;
  if (horizontal) {
    const Integer top = MulDivRound(r.Top + r.Bottom - size, 1, 2);
    const Integer left = (r.Left + r.Right - depth) / 2;
    const Integer base = ADirection == adRight ? left : left + depth - 1;
    const Integer tip = ADirection == adRight ? left + depth - 1 : left;
    return {Point(base, top), Point(base, top + size - 1), Point(tip, top + size / 2)};
  }
  const Integer left = MulDivRound(r.Left + r.Right - size, 1, 2);
  const Integer top = (r.Top + r.Bottom - depth) / 2;
  const Integer base = ADirection == adDown ? top : top + depth - 1;
  const Integer tip = ADirection == adDown ? top + depth - 1 : top;
  return {Point(left, base), Point(left + size - 1, base), Point(left + size / 2, tip)};
}

void TcxCustomLookAndFeelPainter::PaintArrows(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                              TcxArrowDirections AArrows) const {
  TRect r = ARect;
  r.Top += BorderThickness() + 1;
  r.Bottom -= 1;
  if (r.Height() <= 0 || (AArrows & (cxArrowUp | cxArrowDown)) == 0) return;
  const Integer width = MakeOdd(r.Height() / 2);
  const Integer height = width / 2 + 1;
  const Integer left = (r.Left + r.Right - width) / 2;
  const bool both = (AArrows & cxArrowUp) && (AArrows & cxArrowDown);
  auto arrow = [&](TRect area, bool up) {
    const Integer top = (area.Top + area.Bottom - height) / 2;
    const Integer base = up ? top + height - 1 : top;
    const Integer tip = up ? top : top + height - 1;
    DrawTriangle(ACanvas, {Point(left, base), Point(left + width - 1, base), Point(left + width / 2, tip)}, AColor);
  };
  const Integer middle = (r.Top + r.Bottom) / 2;
  if (AArrows & cxArrowUp) arrow(both ? Rect(r.Left, r.Top, r.Right, middle) : r, true);
  if (AArrows & cxArrowDown) arrow(both ? Rect(r.Left, middle, r.Right, r.Bottom) : r, false);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& ARect,
                                                     TcxIndicatorKind AKind) {
  if (AKind == ikNone) return;
  TImageList* images = cxIndicatorImages();
  const Integer x = ARect.Left + (ARect.Width() - images->Width()) / 2;
  const Integer y = ARect.Top + (ARect.Height() - images->Height()) / 2;
  images->Draw(ACanvas->Canvas(), x, y, (AKind & 127) - 1);
}

void TcxCustomLookAndFeelPainter::DrawCloseCross(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                                 TcxButtonState AState) {
  const Integer side = MakeOdd(ARect.Width() / 2);
  TRect r = CenteredRect(ARect, side, side);
  if (AState == cxbsPressed) r = Offset(r, 1, 1);
  const Integer last = side - 1;
  for (Integer i = 0; i < 2; ++i) {
    Line(ACanvas, r.Left + i, r.Top, r.Left + last + i, r.Top + last, AColor);
    Line(ACanvas, r.Left + last - 1 + i, r.Top, r.Left - 1 + i, r.Top + last, AColor);
  }
}

void TcxCustomLookAndFeelPainter::DrawChevrons(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                               bool AExpanded) {
  // Each chevron: 7 columns, 4 rows of the two-pixel stroke; the second
  // starts 4 rows below the first; together 9 rows.
  constexpr Integer size = 3, rows = 4 + size + 2;
  const Integer cx = ARect.Left + (ARect.Width() - 1) / 2;
  const Integer top = ARect.Top + (ARect.Height() - rows) / 2;
  for (Integer c = 0; c < 2; ++c)
    for (Integer t = 0; t < 2; ++t) {
      const Integer y0 = top + c * 4 + t;
      // Expanded chevrons point up (the apex on top), collapsed ones down.
      const Integer apex = AExpanded ? y0 : y0 + size;
      const Integer ends = AExpanded ? y0 + size : y0;
      Line(ACanvas, cx - size, ends, cx, apex, AColor);
      Line(ACanvas, cx, apex, cx + size, ends, AColor);
    }
}

void TcxCustomLookAndFeelPainter::DrawExpandSign(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                                 bool AExpanded) {
  const Integer half = (ARect.Width() - 4) / 2;
  if (half < 0) return;
  const Integer cx = (ARect.Left + ARect.Right - 1) / 2, cy = (ARect.Top + ARect.Bottom - 1) / 2;
  Line(ACanvas, cx - half, cy, cx + half, cy, AColor);
  if (!AExpanded) Line(ACanvas, cx, cy - half, cx, cy + half, AColor);
}

void TcxCustomLookAndFeelPainter::DrawCheckMark(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor) {
  const Integer w = ARect.Width() - 2, h = ARect.Height() - 4;
  if (w < 3 || h < 3) return;
  const Integer x0 = ARect.Left + 1, top = ARect.Top + 2;
  const Integer xb = x0 + (w - 1) / 3;
  for (Integer i = 0; i < 3; ++i) {
    const Integer yb = top + h - 3 + i;
    SetPen(ACanvas, AColor);
    ACanvas->MovePenTo(x0, std::max(top + i, yb - (xb - x0)));
    ACanvas->DrawLineTo(xb, yb);
    ACanvas->DrawLineTo(x0 + w - 1, top + i);
    ACanvas->SetPixel(x0 + w - 1, top + i, AColor);
  }
}

// ---------------------------------------------------------------------------
// The operations

void TcxCustomLookAndFeelPainter::PaintDownArrowGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor) const {
  const Integer width = MakeOdd(ARect.Width() / 2);
  const Integer height = width / 2 + 1;
  const Integer left = (ARect.Left + ARect.Right - width) / 2;
  const Integer top = MulDivRound(ARect.Top + ARect.Bottom - height, 1, 2);
  DrawTriangle(ACanvas, {Point(left, top), Point(left + width - 1, top), Point(left + width / 2, top + height - 1)},
               AColor);
}

void TcxCustomLookAndFeelPainter::PaintHeaderContent(TcxCanvas* ACanvas, const TRect& ABounds,
                                                     const TRect& ATextAreaBounds, TcxButtonState,
                                                     TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                     bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                                     TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                     const TcxDrawBackgroundEvent& AOnDrawBackground, bool) const {
  const bool drawn = AOnDrawBackground.Assigned() && AOnDrawBackground.Code(AOnDrawBackground.Data, ACanvas, ABounds);
  if (!drawn) FillRectColor(ACanvas, ABounds, ABkColor);
  if (AText.empty()) return;
  ACanvas->GetBrush()->SetStyle(bsClear);
  SetFontAndColor(ACanvas, AFont, ATextColor);
  ACanvas->DrawTextWithFlags(AText, ATextAreaBounds, true,
                             cxHeaderTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis));
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

TRect TcxCustomLookAndFeelPainter::FooterCellContentRect(const TRect& ARect) const {
  return Deflated(ARect, FooterCellFrameWidth());
}

TRect TcxCustomLookAndFeelPainter::FooterCellTextRect(const TRect& ARect) const {
  return Deflated(FooterCellContentRect(ARect), 2);
}

Byte TcxCustomLookAndFeelPainter::StyleCode() const { return 1; }

TColor TcxCustomLookAndFeelPainter::PainterColor(TcxPainterColor AColor) const {
  static const TColor colors[cxPainterColorCount] = {
      // after StyleCode
      0xF0FBFF, clWindowText, 0xF0FBFF, clWindowText, clBtnShadow, clWindowText,
      // after CrossGlyphColor
      clWindowText, clWindow, clWindow, clWindow, clWindowText,
      // after ContentTextColor
      clBtnShadow, clBtnHighlight, clBtnText,
      // after FooterTextColor
      clBtnShadow, clBtnFace, clBtnText, clBtnShadow, clBtnFace,
      // after InactiveTextColor (the second is the first after FooterTextColor, below)
      0xFF0000, clDefault, clBtnFace, clHighlight, clHighlightText, clWindow, clWindowText,
      // after ThinBorderColor
      clBtnFace, 0xD5FFFF, clWindowText,
      // after SelectionTextColor
      clBtnFace, clBtnFace, clBtnText, clBtnFace};
  if (AColor == pcAfterInactiveText2) return PainterColor(pcAfterFooterText1);
  if (AColor < 0 || AColor >= cxPainterColorCount) return clDefault;
  return colors[AColor];
}

TColor TcxCustomLookAndFeelPainter::CrossGlyphColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::ContentColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::ContentTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::FooterColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::FooterTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::HeaderColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::HeaderTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::BandBackgroundColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::BandBackgroundTextColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::InactiveColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::InactiveTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::ThinBorderColor() const { return 0x0000FF; }
TColor TcxCustomLookAndFeelPainter::SelectionColor() const { return clHighlight; }
TColor TcxCustomLookAndFeelPainter::SelectionTextColor() const { return clHighlightText; }

void TcxCustomLookAndFeelPainter::PaintArrow(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                             TcxArrowDirection ADirection) const {
  DrawTriangle(ACanvas, ArrowGeometry(ARect, true, ADirection), AColor);
}

void TcxCustomLookAndFeelPainter::PaintArrowButton(TcxCanvas* ACanvas, const TRect& ARect, bool ADrawButton,
                                                   TcxArrowDirection ADirection, TcxButtonState AState) const {
  const TcxArrowPoints points = ArrowGeometry(ARect, false, ADirection);
  if (ADrawButton)
    PaintButton(ACanvas, ARect, AState);
  else
    FillRectColor(ACanvas, ARect, ButtonFaceColor(AState));
  DrawTriangle(ACanvas, points, ButtonGlyphColor(AState));
}

void TcxCustomLookAndFeelPainter::PaintButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const {
  FillRectColor(ACanvas, ARect, ButtonFaceColor(AState));
  PaintButtonFrame(ACanvas, ARect, AState);
}

void TcxCustomLookAndFeelPainter::PaintButtonArrow(TcxCanvas* ACanvas, const TRect& ARect,
                                                   TcxArrowDirection ADirection, TcxButtonState AState) const {
  TRect r = ARect;
  if (AState == cxbsPressed) r = Offset(r, PressedContentShift(), PressedContentShift());
  TcxArrowPoints points = ArrowGeometry(r, true, ADirection);
  if (AState == cxbsDisabled) {
    TcxArrowPoints shadow = points;
    for (TPoint& p : shadow) p = Point(p.X + 1, p.Y + 1);
    DrawTriangle(ACanvas, shadow, clBtnHighlight);
    DrawTriangle(ACanvas, points, clBtnShadow);
  } else {
    DrawTriangle(ACanvas, points, ButtonGlyphColor(AState));
  }
}

Integer TcxCustomLookAndFeelPainter::BorderThickness() const { return 0; }
void TcxCustomLookAndFeelPainter::PaintBorder(TcxCanvas*, const TRect&) const {}
Integer TcxCustomLookAndFeelPainter::ButtonFrameWidth(TcxButtonState) const { return 0; }
TColor TcxCustomLookAndFeelPainter::ButtonFaceColor(TcxButtonState) const { return clBtnFace; }

TRect TcxCustomLookAndFeelPainter::FocusRectOfButton(const TRect& ARect) const {
  const TRect r = Deflated(ARect, 4);
  return IsRectEmpty(r) ? ARect : r;
}

TRect TcxCustomLookAndFeelPainter::ButtonGroupMargins(Integer, Integer) const {
  const Integer w = ButtonFrameWidth(cxbsNormal);
  return Rect(w, w, w, w);
}

Integer TcxCustomLookAndFeelPainter::ButtonContentMargin() const { return 0; }
Integer TcxCustomLookAndFeelPainter::PressedContentShift() const { return 0; }

TColor TcxCustomLookAndFeelPainter::ButtonGlyphColor(TcxButtonState AState) const {
  return AState == cxbsDisabled ? clBtnShadow : clBtnText;
}

TcxButtonState TcxCustomLookAndFeelPainter::ButtonGlyphState(TcxButtonState AState) const { return AState; }

void TcxCustomLookAndFeelPainter::PaintCaptionButton(TcxCanvas* ACanvas, const TRect& ARect, TColor ATextColor,
                                                     TColor AFaceColor, bool ADrawFrame, TcxButtonState AState,
                                                     const String& ACaption) const {
  TRect r = ARect;
  if (ADrawFrame) {
    PaintButtonFrame(ACanvas, r, AState);
    r = Deflated(r, ButtonFrameWidth(AState));
  }
  FillRectColor(ACanvas, r, AFaceColor == clDefault ? ButtonFaceColor(AState) : AFaceColor);
  if (ACaption.empty()) return;
  TRect textRect = r;
  if (textRect.Height() % 2 != 0) --textRect.Bottom;
  if (textRect.Height() < 18) --textRect.Top;
  if (AState == cxbsPressed) textRect = Offset(textRect, PressedContentShift(), PressedContentShift());
  ACanvas->GetBrush()->SetStyle(bsClear);
  ACanvas->GetFont()->SetColor(ATextColor == clDefault ? ButtonGlyphColor(AState) : ATextColor);
  ACanvas->DrawTextWithFlags(ACaption, textRect, AState != cxbsDisabled,
                             static_cast<TcxTextFlags>(cxAlignHCenter | cxAlignVCenter | cxSingleLine | cxShowPrefix));
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::PaintPlainButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                                   TColor, Integer, Integer) const {
  PaintCaptionButton(ACanvas, ARect, clDefault, clDefault, true, AState, String());
}

void TcxCustomLookAndFeelPainter::PaintButtonFrame(TcxCanvas*, const TRect&, TcxButtonState) const {}
void TcxCustomLookAndFeelPainter::PaintFlatFrame(TcxCanvas*, const TRect&, TcxButtonState, bool) const {}
void TcxCustomLookAndFeelPainter::PaintExpandGlyph(TcxCanvas*, const TRect&, TColor, bool) const {}
bool TcxCustomLookAndFeelPainter::ExpandGlyphPaintedFirst() const { return true; }

void TcxCustomLookAndFeelPainter::PaintGroupExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect,
                                                        TcxButtonState AState, bool AExpanded) const {
  PaintCaptionButton(ACanvas, ARect, clDefault, clDefault, true, AState, String());
  DrawChevrons(ACanvas, ARect, ButtonGlyphColor(AState), AExpanded);
}

void TcxCustomLookAndFeelPainter::PaintExpandBox(TcxCanvas* ACanvas, const TRect& ARect, TColor AFillColor,
                                                 TColor AFrameColor, bool AExpanded) const {
  FrameRectColor(ACanvas, ARect, AFrameColor);
  if (AFillColor != clDefault) FillRectColor(ACanvas, Deflated(ARect, 1), AFillColor);
  DrawExpandSign(ACanvas, ARect, clBtnText, AExpanded);
}

Integer TcxCustomLookAndFeelPainter::ExpandGlyphSize() const { return 0; }
Integer TcxCustomLookAndFeelPainter::GroupExpandGlyphSize() const { return 15; }
bool TcxCustomLookAndFeelPainter::HotTracksButtons() const { return false; }

bool TcxCustomLookAndFeelPainter::PointInGroupExpandGlyph(const TRect& ARect, const TPoint& APoint) const {
  return PtInRect(ARect, APoint);
}

Integer TcxCustomLookAndFeelPainter::ExpandBoxSize() const { return 9; }
Integer TcxCustomLookAndFeelPainter::CheckFrameWidth() const { return 2; }

TColor TcxCustomLookAndFeelPainter::CheckFaceColor(TcxButtonState AState) const {
  return AState == cxbsPressed || AState == cxbsDisabled ? clBtnFace : clWindow;
}

void TcxCustomLookAndFeelPainter::PaintCheckFace(TcxCanvas* ACanvas, const TRect& ARect, TColor AMarkColor,
                                                 bool AChecked, TcxButtonState AState) const {
  FillRectColor(ACanvas, ARect, CheckFaceColor(AState));
  if (AChecked) DrawCheckMark(ACanvas, ARect, AMarkColor);
}

void TcxCustomLookAndFeelPainter::PaintCheckFrame(TcxCanvas*, const TRect&, TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::PaintCheckBox(TcxCanvas* ACanvas, const TRect& ARect, bool AChecked,
                                                TcxButtonState AState) const {
  PaintCheckFrame(ACanvas, ARect, AState);
  PaintCheckFace(ACanvas, Deflated(ARect, CheckFrameWidth()), AState == cxbsDisabled ? clGrayText : clBtnText,
                 AChecked, AState);
}

void TcxCustomLookAndFeelPainter::PaintRadioButton(TcxCanvas* ACanvas, Integer ALeft, Integer ATop,
                                                   TcxButtonState AState, bool AChecked, bool AFocused,
                                                   bool ASelected, TColor ABkColor) const {
  SharedRadioButtonImages()->Draw(ACanvas, ALeft, ATop, Kind(), AState, AChecked, AFocused, ASelected, ABkColor);
}

void TcxCustomLookAndFeelPainter::PaintHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                              TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                              TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                              bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                              TFont* AFont, TColor ATextColor, TColor ABkColor,
                                              const TcxDrawBackgroundEvent& AOnDrawBackground, bool) const {
  PaintHeaderFrame(ACanvas, ABounds, ANeighbors, ABorders);
  PaintHeaderContent(ACanvas, HeaderContentRect(ABounds, ABorders), ATextAreaBounds, AState, AAlignmentHorz,
                     AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                     AOnDrawBackground);
}

void TcxCustomLookAndFeelPainter::PaintHeaderPlain(TcxCanvas* ACanvas, const TRect& ABounds,
                                                   const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                                   TcxBorders ABorders, TcxButtonState AState,
                                                   TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                   bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                                   TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                   const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  PaintHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz, AAlignmentVert,
              AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground, false);
}

void TcxCustomLookAndFeelPainter::PaintHeaderFrame(TcxCanvas*, const TRect&, TcxNeighbors, TcxBorders) const {}

void TcxCustomLookAndFeelPainter::InvertHeaderArea(TcxCanvas* ACanvas, const TRect& ARect) const {
  ACanvas->InvertArea(ARect);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSection(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                                     TColor AColor, const String& AText, TFont* AFont,
                                                     TColor ATextColor, TAlignment AAlignmentHorz,
                                                     TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                     bool AShowEndEllipsis) const {
  PaintHeaderSectionFrame(ACanvas, ARect, AState);
  PaintHeaderSectionContent(ACanvas, HeaderSectionContentRect(ARect, AState), AColor, AText, AFont, ATextColor,
                            AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis, AState);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas*, const TRect&, TcxButtonState,
                                                          TcxBorders) const {}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionContent(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                                            const String& AText, TFont* AFont, TColor ATextColor,
                                                            TAlignment AAlignmentHorz,
                                                            TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                            bool AShowEndEllipsis, TcxButtonState AState) const {
  FillRectColor(ACanvas, ARect, AColor);
  PaintHeaderSectionText(ACanvas, HeaderSectionTextRect(ARect, AState), ATextColor, AText, AFont, AAlignmentHorz,
                         AAlignmentVert, AMultiLine, AShowEndEllipsis, AState);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionText(TcxCanvas* ACanvas, const TRect& ARect, TColor ATextColor,
                                                         const String& AText, TFont* AFont,
                                                         TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                         bool AMultiLine, bool AShowEndEllipsis,
                                                         TcxButtonState AState) const {
  if (AText.empty()) return;
  const TcxTextFlags flags = cxHeaderTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis);
  ACanvas->GetBrush()->SetStyle(bsClear);
  if (AState == cxbsDisabled) {
    SetFontAndColor(ACanvas, AFont, clBtnHighlight);
    ACanvas->DrawTextWithFlags(AText, Offset(ARect, 1, 1), true, flags);
    ACanvas->GetFont()->SetColor(clBtnShadow);
  } else {
    SetFontAndColor(ACanvas, AFont, ATextColor);
  }
  ACanvas->DrawTextWithFlags(AText, ARect, true, flags);
  ACanvas->GetBrush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::PaintSortMark(TcxCanvas*, const TRect&, bool) const {}
TcxBorders TcxCustomLookAndFeelPainter::HeaderVisibleBorders(TcxNeighbors) const { return cxAllBorders; }
Integer TcxCustomLookAndFeelPainter::HeaderFrameWidth() const { return 0; }

TRect TcxCustomLookAndFeelPainter::HeaderOuterRect(const TRect& ARect, TcxNeighbors ANeighbors,
                                                   TcxBorders ABorders) const {
  const TcxBorders grow = ABorders & ~HeaderVisibleBorders(ANeighbors);
  const Integer w = HeaderFrameWidth();
  TRect r = ARect;
  if (grow & BorderBit(bLeft)) r.Left -= w;
  if (grow & BorderBit(bTop)) r.Top -= w;
  if (grow & BorderBit(bRight)) r.Right += w;
  if (grow & BorderBit(bBottom)) r.Bottom += w;
  return r;
}

TRect TcxCustomLookAndFeelPainter::HeaderContentRect(const TRect& ARect, TcxBorders ABorders) const {
  const Integer w = HeaderFrameWidth();
  TRect r = ARect;
  if (ABorders & BorderBit(bLeft)) r.Left += w;
  if (ABorders & BorderBit(bTop)) r.Top += w;
  if (ABorders & BorderBit(bRight)) r.Right -= w;
  if (ABorders & BorderBit(bBottom)) r.Bottom -= w;
  return r;
}

bool TcxCustomLookAndFeelPainter::HeaderBackgroundFillFirst() const { return true; }

Integer TcxCustomLookAndFeelPainter::HeaderHeightForText(Integer ATextHeight) const {
  return ATextHeight + 2 * HeaderFrameWidth() + 4;
}

Integer TcxCustomLookAndFeelPainter::HeaderSectionFrameWidth(TcxButtonState) const { return 1; }

TRect TcxCustomLookAndFeelPainter::HeaderSectionTextRect(const TRect& ARect, TcxButtonState AState) const {
  return AState == cxbsPressed ? Offset(ARect, 1, 1) : ARect;
}

TRect TcxCustomLookAndFeelPainter::HeaderSectionContentRect(const TRect& ARect, TcxButtonState AState) const {
  return Deflated(ARect, HeaderSectionFrameWidth(AState));
}

Integer TcxCustomLookAndFeelPainter::HeaderWidthForText(TcxCanvas* ACanvas, TcxBorders ABorders, TFont* AFont,
                                                        const String& AText) const {
  if (AFont) ACanvas->GetFont()->Assign(AFont);
  // A frame takes room on each side it is drawn on.
  Integer result = ACanvas->GetTextWidth(AText) + 4;
  if (ABorders & BorderBit(bLeft)) result += HeaderFrameWidth();
  if (ABorders & BorderBit(bRight)) result += HeaderFrameWidth();
  return result;
}

bool TcxCustomLookAndFeelPainter::HotTracksHeaders() const { return false; }
TPoint TcxCustomLookAndFeelPainter::SortMarkAreaSize() const { return Point(16, SortMarkSize().Y); }
TPoint TcxCustomLookAndFeelPainter::SortMarkSize() const { return Point(0, 0); }

void TcxCustomLookAndFeelPainter::PaintFooterCell(TcxCanvas* ACanvas, const TRect& ARect, TAlignment AAlignmentHorz,
                                                  TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                  bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                                  TColor ATextColor, TColor ABkColor) const {
  PaintFooterCellFrame(ACanvas, ARect);
  PaintHeaderContent(ACanvas, FooterCellContentRect(ARect), FooterCellTextRect(ARect), cxbsNormal, AAlignmentHorz,
                     AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                     TcxDrawBackgroundEvent());
}

TcxBorders TcxCustomLookAndFeelPainter::FooterVisibleBorders() const { return cxAllBorders; }
Integer TcxCustomLookAndFeelPainter::FooterFrameWidth() const { return 0; }
Integer TcxCustomLookAndFeelPainter::FooterCellFrameWidth() const { return 0; }
Integer TcxCustomLookAndFeelPainter::FooterCellSpacing() const { return 0; }
bool TcxCustomLookAndFeelPainter::FooterCellFillsBackground() const { return true; }
TColor TcxCustomLookAndFeelPainter::FooterSeparatorColor() const { return clBtnShadow; }
Integer TcxCustomLookAndFeelPainter::FooterSeparatorWidth() const { return 1; }
void TcxCustomLookAndFeelPainter::PaintFooterFrame(TcxCanvas*, const TRect&) const {}
void TcxCustomLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas*, const TRect&) const {}

void TcxCustomLookAndFeelPainter::PaintFooterSeparator(TcxCanvas* ACanvas, const TRect& ARect) const {
  FillRectColor(ACanvas, ARect, FooterSeparatorColor());
}

void TcxCustomLookAndFeelPainter::PaintFilterCheckBox(TcxCanvas* ACanvas, const TRect& ARect, bool AChecked,
                                                      TcxButtonState AState) const {
  PaintCheckBox(ACanvas, ARect, AChecked, AState);
}

void TcxCustomLookAndFeelPainter::PaintCloseButton(TcxCanvas* ACanvas, const TRect& ARect,
                                                   TcxButtonState AState) const {
  PaintButtonFrame(ACanvas, ARect, AState);
  const TRect r = Deflated(ARect, ButtonFrameWidth(cxbsNormal));
  FillRectColor(ACanvas, r, ButtonFaceColor(AState));
  DrawCloseCross(ACanvas, r, ButtonGlyphColor(AState), ButtonGlyphState(AState));
}

void TcxCustomLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas*, const TRect&, TcxButtonState, bool) const {}
TPoint TcxCustomLookAndFeelPainter::FilterCheckBoxSize() const { return Point(13, 13); }
TPoint TcxCustomLookAndFeelPainter::CloseButtonSize() const { return Point(16, 14); }
TPoint TcxCustomLookAndFeelPainter::FilterDropDownSize() const { return Point(15, 0); }
bool TcxCustomLookAndFeelPainter::FilterDropDownFlag() const { return true; }
TPoint TcxCustomLookAndFeelPainter::SmallButtonSize() const { return Point(16, 14); }
TPoint TcxCustomLookAndFeelPainter::SmallGlyphButtonSize() const { return Point(16, 14); }
TPoint TcxCustomLookAndFeelPainter::SmallBoxSize() const { return Point(13, 13); }
TPoint TcxCustomLookAndFeelPainter::PinButtonSize() const { return Point(16, 14); }
TPoint TcxCustomLookAndFeelPainter::PinAreaButtonSize() const { return Point(16, 14); }

void TcxCustomLookAndFeelPainter::PaintGlyphButton(TcxCanvas* ACanvas, const TRect& ARect,
                                                   TcxButtonState AState) const {
  PaintButtonFrame(ACanvas, ARect, AState);
  const TRect r = Deflated(ARect, ButtonFrameWidth(cxbsNormal));
  FillRectColor(ACanvas, r, ButtonFaceColor(AState));
  PaintCrossGlyph(ACanvas, r, AState);
}

void TcxCustomLookAndFeelPainter::PaintCrossGlyph(TcxCanvas* ACanvas, const TRect& ARect,
                                                  TcxButtonState AState) const {
  const TRect r = Deflated(ARect, 1);
  if (IsRectEmpty(r)) return;
  const Integer cx = (r.Left + r.Right - 1) / 2, cy = (r.Top + r.Bottom - 1) / 2;
  const bool disabled = AState == cxbsDisabled;
  auto plus = [&](Integer dx, Integer dy, TColor color) {
    Line(ACanvas, r.Left + dx, cy + dy, r.Right - 1 + dx, cy + dy, color);
    Line(ACanvas, cx + dx, r.Top + dy, cx + dx, r.Bottom - 1 + dy, color);
  };
  plus(1, 1, disabled ? clBtnHighlight : CrossGlyphColor());
  plus(0, 0, disabled ? clBtnShadow : CrossGlyphColor());
}

void TcxCustomLookAndFeelPainter::PaintPinButton(TcxCanvas* ACanvas, const TRect& ARect, Integer APinIndex,
                                                 TcxButtonState AState) const {
  PaintButtonFrame(ACanvas, ARect, AState);
  const TRect r = Deflated(ARect, ButtonFrameWidth(cxbsNormal));
  FillRectColor(ACanvas, r, ButtonFaceColor(AState));
  TBitmap* pin = cxPinBitmap(APinIndex);
  if (!pin) return;
  Integer x = r.Left + (r.Width() - pin->Width()) / 2, y = r.Top + (r.Height() - pin->Height()) / 2;
  if (AState == cxbsPressed) {
    ++x;
    ++y;
  }
  ACanvas->DrawGlyphBitmap(x, y, clNone, true, pin);
}

void TcxCustomLookAndFeelPainter::PaintTab(TcxCanvas*, const TRect&, const String&, TFont*, TColor, TcxButtonState,
                                           bool) const {}
void TcxCustomLookAndFeelPainter::PaintTabFrame(TcxCanvas*, const TRect&, TcxTabPosition, TcxBorders, bool) const {}
void TcxCustomLookAndFeelPainter::PaintTabsArea(TcxCanvas*, const TRect&, TcxBorders) const {}
Integer TcxCustomLookAndFeelPainter::TabsAreaMargin() const { return 0; }
Integer TcxCustomLookAndFeelPainter::TabSpacing() const { return 0; }
Integer TcxCustomLookAndFeelPainter::TabFrameWidth() const { return 0; }

void TcxCustomLookAndFeelPainter::PaintIndicatorCell(TcxCanvas* ACanvas, const TRect& ARect, TColor ABkColor,
                                                     TcxIndicatorKind AKind) const {
  const TcxNeighbors neighbors = nTop | nBottom;
  PaintHeader(ACanvas, ARect, ARect, neighbors, HeaderVisibleBorders(neighbors), cxbsNormal, taLeftJustify, vaTop,
              false, false, String(), nullptr, clNone, ABkColor, TcxDrawBackgroundEvent());
  DrawIndicatorImage(ACanvas, ARect, AKind);
}

void TcxCustomLookAndFeelPainter::PaintIndicatorHeader(TcxCanvas* ACanvas, const TRect& ARect, TColor ABkColor,
                                                       TcxIndicatorKind AKind) const {
  PaintHeaderPlain(ACanvas, ARect, ARect, 0, cxAllBorders, cxbsNormal, taLeftJustify, vaTop, false, false, String(),
                   nullptr, clNone, ABkColor, TcxDrawBackgroundEvent());
  DrawIndicatorImage(ACanvas, ARect, AKind);
}

bool TcxCustomLookAndFeelPainter::IndicatorFlag() const { return true; }

void TcxCustomLookAndFeelPainter::PaintScrollBarPart(TcxCanvas*, const TRect&, TcxScrollBarPart, TcxButtonState,
                                                     bool) const {}

void TcxCustomLookAndFeelPainter::PaintArrowsHeader(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors,
                                                    const String& AText, TFont* AFont, TColor ATextColor,
                                                    TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                                                    TcxBorders ABorders, TcxArrowDirections AArrows) const {
  PaintHeader(ACanvas, ARect, ARect, ANeighbors, ABorders, cxbsNormal, taCenter, vaCenter, false, false, AText, AFont,
              ATextColor, ABkColor, AOnDrawBackground);
  PaintArrows(ACanvas, ARect, clWindowText, AArrows);
}

void TcxCustomLookAndFeelPainter::PaintThinBorder(TcxCanvas* ACanvas, const TRect& ARect) const {
  PaintBorder(ACanvas, ARect);
}

void TcxCustomLookAndFeelPainter::PaintSplitterBorder(TcxCanvas*, const TRect&, bool) const {}
