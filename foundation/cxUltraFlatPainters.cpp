#include "foundation/cxUltraFlatPainters.h"

#include "foundation/cxLookAndFeels.h"
#include "foundation/cxNativePainter.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/qzOffice11.h"
#include "foundation/qzThemeManager.h"
#include "platform/gui/bitmap.h"

namespace {

constexpr TcxBorders kLeft = BorderBit(bLeft), kTop = BorderBit(bTop), kRight = BorderBit(bRight),
                     kBottom = BorderBit(bBottom);
constexpr TColor kActiveFilterColor = 0xFF0000;

TRect Deflated(const TRect& R, Integer D) { return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D); }

void Fill(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, R, AColor);
}

void Frame(TcxCanvas* ACanvas, const TRect& R, TColor AColor) {
  TcxCustomLookAndFeelPainter::FrameRectColor(ACanvas, R, AColor);
}

// A vertical run of pixels in column X from row Y1 to row Y2 (both
// included); nothing when Y2 < Y1.
void Column(TcxCanvas* ACanvas, Integer X, Integer Y1, Integer Y2, TColor AColor) {
  Fill(ACanvas, Rect(X, Y1, X + 1, Y2 + 1), AColor);
}

void Pixel(TcxCanvas* ACanvas, Integer X, Integer Y, TColor AColor) { ACanvas->SetPixel(X, Y, AColor); }

// A background event that answers "drawn": lets the base draw the text only.
bool BackgroundAlreadyDrawn(void*, TcxCanvas*, const TRect&) { return true; }

// Keeps the Office 11 scheme's brushes and bitmaps alive while drawing.
class TOffice11SchemeReference {
public:
  TOffice11SchemeReference() { Office11SchemeAddRef(); }
  ~TOffice11SchemeReference() { Office11SchemeRelease(); }
  TOffice11SchemeReference(const TOffice11SchemeReference&) = delete;
  TOffice11SchemeReference& operator=(const TOffice11SchemeReference&) = delete;
};

// The canvas pixel, or AFallback where the canvas has none (outside the
// image or the clip region).
TColor CanvasPixel(TcxCanvas* ACanvas, Integer X, Integer Y, TColor AFallback) {
  const TColor color = ACanvas->Canvas()->Pixels(X, Y);
  return color == -1 ? AFallback : color;
}

struct TPainterRegistration {
  TPainterRegistration() { cxUltraFlatPaintersRegister(); }
};
const TPainterRegistration Registration;

}  // namespace

void cxUltraFlatPaintersRegister() {
  RegisterLookAndFeelPainter(lfUltraFlat, cxUltraFlatLookAndFeelPainter());
  RegisterLookAndFeelPainter(lfOffice11, cxOffice11LookAndFeelPainter());
}

// ---------------------------------------------------------------------------
// TcxUltraFlatLookAndFeelPainter

Byte TcxUltraFlatLookAndFeelPainter::StyleCode() const { return 2; }
TColor TcxUltraFlatLookAndFeelPainter::CrossGlyphColor() const { return clNavy; }
TColor TcxUltraFlatLookAndFeelPainter::ThinBorderColor() const { return clBtnShadow; }
Integer TcxUltraFlatLookAndFeelPainter::BorderThickness() const { return 1; }

Integer TcxUltraFlatLookAndFeelPainter::ButtonFrameWidth(TcxButtonState AState) const {
  return AState == cxbsDefault ? 2 : 1;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonFaceColor(TcxButtonState AState) const {
  switch (AState) {
    case cxbsHot: return MixedLightHighlightColor();
    case cxbsPressed: return MixedHighlightColor();
    default: return clBtnFace;
  }
}

TRect TcxUltraFlatLookAndFeelPainter::FocusRectOfButton(const TRect& ARect) const {
  const TRect r = Deflated(ARect, 3);
  return IsRectEmpty(r) ? ARect : r;
}

TRect TcxUltraFlatLookAndFeelPainter::ButtonGroupMargins(Integer AButtonCount, Integer AButtonIndex) const {
  TRect margins = Rect(1, 2, 1, 2);
  if (AButtonIndex == 0) ++margins.Left;
  if (AButtonIndex == AButtonCount - 1) ++margins.Right;
  return margins;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonGlyphColor(TcxButtonState AState) const {
  return AState == cxbsPressed ? clHighlightText : inherited::ButtonGlyphColor(AState);
}

TcxButtonState TcxUltraFlatLookAndFeelPainter::ButtonGlyphState(TcxButtonState) const { return cxbsNormal; }
Integer TcxUltraFlatLookAndFeelPainter::ButtonContentMargin() const { return 2; }
Integer TcxUltraFlatLookAndFeelPainter::PressedContentShift() const { return 0; }
Integer TcxUltraFlatLookAndFeelPainter::ExpandGlyphSize() const { return 11; }
bool TcxUltraFlatLookAndFeelPainter::HotTracksButtons() const { return true; }

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderVisibleBorders(TcxNeighbors ANeighbors) const {
  TcxBorders result = cxAllBorders;
  if (ANeighbors & nLeft) result &= ~kLeft;
  if (ANeighbors & nTop) result &= ~kTop;
  return result;
}

Integer TcxUltraFlatLookAndFeelPainter::HeaderFrameWidth() const { return 1; }
TPoint TcxUltraFlatLookAndFeelPainter::SortMarkSize() const { return Point(7, 8); }
TcxBorders TcxUltraFlatLookAndFeelPainter::FooterVisibleBorders() const { return kRight | kBottom; }
Integer TcxUltraFlatLookAndFeelPainter::FooterFrameWidth() const { return 1; }
Integer TcxUltraFlatLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
Integer TcxUltraFlatLookAndFeelPainter::FooterCellSpacing() const { return 2; }

TPoint TcxUltraFlatLookAndFeelPainter::SmallBoxSize() const {
  const TPoint size = inherited::SmallBoxSize();
  return Point(size.X - 1, size.Y - 1);
}

TPoint TcxUltraFlatLookAndFeelPainter::CloseButtonSize() const {
  const TPoint size = inherited::CloseButtonSize();
  return Point(size.X, size.Y + 1);
}

Integer TcxUltraFlatLookAndFeelPainter::TabFrameWidth() const { return 1; }

void TcxUltraFlatLookAndFeelPainter::PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const {
  Frame(ACanvas, ARect, clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                      TcxButtonState AState) const {
  switch (AState) {
    case cxbsDefault:
      Frame(ACanvas, ARect, clWindowFrame);
      Frame(ACanvas, Deflated(ARect, 1), clWindowFrame);
      return;
    case cxbsNormal: Frame(ACanvas, ARect, clBtnText); return;
    case cxbsDisabled: Frame(ACanvas, ARect, clBtnShadow); return;
    case cxbsHot:
    case cxbsPressed: Frame(ACanvas, ARect, clHighlight); return;
  }
}

void TcxUltraFlatLookAndFeelPainter::PaintPlainButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                                      TColor AFrameColor, Integer AButtonIndex,
                                                      Integer AButtonCount) const {
  const bool first = AButtonIndex == 0, last = AButtonIndex == AButtonCount - 1;
  TRect r = Rect(ARect.Left + (first ? 1 : 0), ARect.Top + 1, ARect.Right - (last ? 1 : 0), ARect.Bottom - 1);
  if (IsRectEmpty(r)) return;
  if (AState == cxbsHot || AState == cxbsPressed) {
    if (!first) {
      Column(ACanvas, r.Left, r.Top, r.Bottom - 1, HighlightFrameColor());
      ++r.Left;
    }
    if (!last) {
      Column(ACanvas, r.Right - 1, r.Top, r.Bottom - 1, HighlightFrameColor());
      --r.Right;
    }
  } else {
    Frame(ACanvas, r, AFrameColor == clDefault ? HotFrameColor(cxbsNormal) : AFrameColor);
    r = Deflated(r, 1);
  }
  Fill(ACanvas, r, ButtonFaceColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::PaintFlatFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                                    bool ASelected) const {
  TColor color = clBtnShadow;
  if (ASelected)
    color = clBtnText;
  else if (AState == cxbsHot)
    color = HighlightFrameColor();
  Frame(ACanvas, ARect, color);
}

void TcxUltraFlatLookAndFeelPainter::PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                                      bool AExpanded) const {
  if (IsRectEmpty(ARect)) return;
  Frame(ACanvas, ARect, clBtnShadow);
  Fill(ACanvas, Deflated(ARect, 1), AColor == clDefault ? clBtnFace : AColor);
  DrawExpandSign(ACanvas, ARect, clBtnText, AExpanded);
  ACanvas->ClipOutRect(ARect);
}

void TcxUltraFlatLookAndFeelPainter::PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                     TcxButtonState AState) const {
  Frame(ACanvas, ARect, clBtnText);
  Frame(ACanvas, Deflated(ARect, 1), CheckFaceColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderPlain(TcxCanvas* ACanvas, const TRect& ABounds,
                                                      const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                                      TcxBorders ABorders, TcxButtonState AState,
                                                      TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                      bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                                      TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                      const TcxDrawBackgroundEvent& AOnDrawBackground) const {
  const TRect bounds = Deflated(ABounds, 1);
  PaintHeaderContent(ACanvas, bounds, Deflated(ATextAreaBounds, 1), AState, AAlignmentHorz, AAlignmentVert,
                     AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor, AOnDrawBackground);
  PaintHeaderFrame(ACanvas, bounds, ANeighbors, ABorders);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors,
                                                      TcxBorders ABorders) const {
  ACanvas->DrawBorderBands(ARect, clBtnText, (ABorders & (kLeft | kTop)) | kRight | kBottom, 1);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                             TcxButtonState AState, TcxBorders ABorders) const {
  const TColor color = AState == cxbsDisabled ? clBtnShadow : clBlack;
  ACanvas->DrawTwoColorBorders(ARect, color, 1, ABorders, color);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderSectionContent(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                                               const String& AText, TFont* AFont, TColor ATextColor,
                                                               TAlignment AAlignmentHorz,
                                                               TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                               bool AShowEndEllipsis, TcxButtonState AState) const {
  const TColor color = AState > cxbsNormal ? ButtonFaceColor(AState) : AColor;
  inherited::PaintHeaderSectionContent(ACanvas, ARect, color, AText, AFont, ATextColor, AAlignmentHorz,
                                       AAlignmentVert, AMultiLine, AShowEndEllipsis, AState);
}

void TcxUltraFlatLookAndFeelPainter::PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const {
  const TPoint size = SortMarkSize();
  // An isosceles triangle of the mark's width, as tall as half the width.
  const Integer w = size.X % 2 == 0 ? size.X - 1 : size.X;
  const Integer h = w / 2 + 1;
  const Integer left = ARect.Left + (ARect.Width() - w) / 2;
  const Integer top = ARect.Top + (ARect.Height() - h) / 2;
  const Integer base = AAscending ? top + h - 1 : top;
  const Integer tip = AAscending ? top : top + h - 1;
  DrawTriangle(ACanvas, {Point(left, base), Point(left + w - 1, base), Point(left + w / 2, tip)}, clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const {
  ACanvas->DrawBorderBands(ARect, FooterSeparatorColor(), kRight | kBottom, 1);
}

void TcxUltraFlatLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* ACanvas, const TRect& ARect) const {
  Frame(ACanvas, ARect, FooterSeparatorColor());
}

void TcxUltraFlatLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect,
                                                               TcxButtonState AState, bool AActive) const {
  Frame(ACanvas, ARect, HotFrameColor(AState));
  const TRect inner = Deflated(ARect, 1);
  Fill(ACanvas, inner, ButtonFaceColor(AState));
  PaintDownArrowGlyph(ACanvas, inner, AActive ? kActiveFilterColor : ButtonGlyphColor(AState));
}

void TcxUltraFlatLookAndFeelPainter::PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                                                   TcxBorders, bool ASelected) const {
  TRect r = ARect;
  if (!ASelected && APosition == tpTop) r.Bottom -= TabFrameWidth();
  Fill(ACanvas, r, ASelected ? SelectedTabColor() : TabAreaColor());
}

void TcxUltraFlatLookAndFeelPainter::PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect,
                                                   TcxBorders ABorders) const {
  ACanvas->DrawTwoColorBorders(ARect, TabAreaColor(), TabFrameWidth(), ABorders, TabAreaColor());
}

void TcxUltraFlatLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect,
                                                        TcxScrollBarPart APart, TcxButtonState AState,
                                                        bool AHorizontal) const {
  cxPaintFlatScrollBarPart(this, ACanvas, ARect, APart, AState, AHorizontal);
}

void TcxUltraFlatLookAndFeelPainter::PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect,
                                                         bool AHorizontal) const {
  if (IsRectEmpty(ARect)) return;
  // The splitter's own brush, before the lines change it.
  TBrush brush;
  brush.Assign(ACanvas->GetBrush());
  const TcxBorders sides = AHorizontal ? kTop | kBottom : kLeft | kRight;
  ACanvas->DrawBorderBands(ARect, ThinBorderColor(), sides, 1);
  ACanvas->GetBrush()->Assign(&brush);
  const TRect rest = AHorizontal ? Rect(ARect.Left, ARect.Top + 1, ARect.Right, ARect.Bottom - 1)
                                 : Rect(ARect.Left + 1, ARect.Top, ARect.Right - 1, ARect.Bottom);
  if (!IsRectEmpty(rest)) ACanvas->Canvas()->FillRect(rest);
}

TColor TcxUltraFlatLookAndFeelPainter::HotFrameColor(TcxButtonState AState) const {
  return AState == cxbsNormal ? clBtnShadow : clHighlight;
}
TColor TcxUltraFlatLookAndFeelPainter::TabAreaColor() const { return clBtnShadow; }
TColor TcxUltraFlatLookAndFeelPainter::SelectedTabColor() const { return clBtnText; }
TColor TcxUltraFlatLookAndFeelPainter::HighlightFrameColor() const { return clHighlight; }

// ---------------------------------------------------------------------------
// TcxOffice11LookAndFeelPainter

Byte TcxOffice11LookAndFeelPainter::StyleCode() const { return 4; }

TColor TcxOffice11LookAndFeelPainter::PainterColor(TcxPainterColor AColor) const {
  switch (AColor) {
    case pcAfterStyleCode5:
    case pcAfterFooterText4: return Office11DerivedColor(o11dSecondGroup1);
    case pcAfterContentText1: return Office11Color(17);
    case pcAfterContentText2: return Office11SchemeThemed() ? clWhite : clBtnHighlight;
    case pcAfterFooterText2: return Office11Color(33);
    case pcAfterFooterText5: return Office11Color(o11MiddleFace);
    case pcAfterInactiveText3: return Office11Color(o11BaseFace);
    case pcAfterInactiveText4: return Office11Color(34);
    case pcAfterInactiveText5: return clWindowText;
    case pcAfterThinBorder1: return Office11Color(35);
    case pcAfterSelectionText2:
    case pcAfterSelectionText4: return Office11Color(o11LightFace);
    default: return inherited::PainterColor(AColor);
  }
}

TColor TcxOffice11LookAndFeelPainter::ThinBorderColor() const { return Office11Color(36); }
TColor TcxOffice11LookAndFeelPainter::FooterColor() const { return HeaderColor(); }
TColor TcxOffice11LookAndFeelPainter::FooterTextColor() const { return HeaderTextColor(); }
TColor TcxOffice11LookAndFeelPainter::HeaderColor() const { return Office11Color(o11BaseFace); }
TColor TcxOffice11LookAndFeelPainter::BandBackgroundColor() const { return PainterColor(pcAfterFooterText4); }

TColor TcxOffice11LookAndFeelPainter::ButtonFaceColor(TcxButtonState AState) const {
  switch (AState) {
    case cxbsHot: return Office11Color(23);
    case cxbsPressed: return Office11Color(25);
    case cxbsDisabled: return clBtnFace;
    default: return Office11Color(o11BaseFace);
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonGlyphColor(TcxButtonState AState) const {
  if (AState == cxbsPressed && !Office11SchemeThemed()) return clHighlightText;
  return Office11Color(AState == cxbsDisabled ? o11DisabledGlyph : o11Glyph);
}

bool TcxOffice11LookAndFeelPainter::ExpandGlyphPaintedFirst() const { return false; }
Integer TcxOffice11LookAndFeelPainter::ExpandBoxSize() const { return ExpandGlyphSize(); }

TColor TcxOffice11LookAndFeelPainter::CheckFaceColor(TcxButtonState AState) const {
  if (AState == cxbsHot || AState == cxbsPressed || AState == cxbsDisabled) return ButtonFaceColor(AState);
  return inherited::CheckFaceColor(AState);
}

TcxBorders TcxOffice11LookAndFeelPainter::HeaderVisibleBorders(TcxNeighbors) const { return cxAllBorders; }
bool TcxOffice11LookAndFeelPainter::HotTracksHeaders() const { return true; }
TColor TcxOffice11LookAndFeelPainter::FooterSeparatorColor() const { return HeaderDarkColor(); }

void TcxOffice11LookAndFeelPainter::PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const {
  Frame(ACanvas, ARect, Office11Color(19));
}

void TcxOffice11LookAndFeelPainter::PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                     TcxButtonState AState) const {
  switch (AState) {
    case cxbsNormal: Frame(ACanvas, ARect, clBtnText); return;
    case cxbsDisabled: Frame(ACanvas, ARect, Office11Color(o11DisabledGlyph)); return;
    case cxbsHot:
    case cxbsPressed: Frame(ACanvas, ARect, Office11Color(o11Highlight)); return;
    case cxbsDefault: inherited::PaintButtonFrame(ACanvas, ARect, AState); return;
  }
}

void TcxOffice11LookAndFeelPainter::PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor,
                                                     bool AExpanded) const {
  TOffice11SchemeReference scheme;
  TBitmap* source = Office11ExpandButtonBitmap(AExpanded);
  if (!source) return;
  // A copy: the shared bitmap keeps its own corners.
  TBitmap glyph;
  glyph.Assign(source);
  glyph.SetTransparent(false);
  constexpr Integer last = Office11ExpandButtonSize - 1;
  const Integer x = ARect.Left, y = ARect.Top;
  const TColor topLeft = CanvasPixel(ACanvas, x, y, Office11ExpandButtonCornerColor1);
  const TColor bottomRight = CanvasPixel(ACanvas, x + last, y + last, Office11ExpandButtonCornerColor2);
  TCanvas* canvas = glyph.Canvas();
  canvas->SetPixels(0, 0, Office11MixColors(Office11ExpandButtonCornerColor1, topLeft, 25));
  const TColor other = Office11MixColors(Office11ExpandButtonCornerColor2, bottomRight, 25);
  canvas->SetPixels(last, 0, other);
  canvas->SetPixels(0, last, other);
  canvas->SetPixels(last, last, other);
  ACanvas->DrawGraphic(x, y, &glyph);
}

void TcxOffice11LookAndFeelPainter::PaintExpandBox(TcxCanvas* ACanvas, const TRect& ARect, TColor, TColor,
                                                   bool AExpanded) const {
  PaintExpandGlyph(ACanvas, ARect, clDefault, AExpanded);
}

void TcxOffice11LookAndFeelPainter::PaintHeader(TcxCanvas* ACanvas, const TRect& ABounds,
                                                const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                                                TcxBorders ABorders, TcxButtonState AState,
                                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                                TFont* AFont, TColor ATextColor, TColor ABkColor,
                                                const TcxDrawBackgroundEvent&, bool AIsLast) const {
  inherited::PaintHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
                         AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                         TcxDrawBackgroundEvent(), AIsLast);
}

void TcxOffice11LookAndFeelPainter::PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                     TcxNeighbors ANeighbors, TcxBorders ABorders) const {
  if (IsRectEmpty(ARect)) return;
  const Integer left = ARect.Left, top = ARect.Top, right = ARect.Right - 1, bottom = ARect.Bottom;
  const TColor light = HeaderLightColor(), dark = HeaderDarkColor(), middle = HeaderMiddleColor();
  const TColor edge = HeaderEdgeColor();
  if (ABorders & kTop) Fill(ACanvas, Rect(left, top, ARect.Right, top + 1), middle);
  if (ABorders & kBottom) Fill(ACanvas, Rect(left, bottom - 1, ARect.Right, bottom), dark);
  // A side beside a neighbour: a short line that fades out at both ends.
  auto neighbourSide = [&](Integer x, TColor lineColor) {
    Pixel(ACanvas, x, top + 1, middle);
    Column(ACanvas, x, top + 2, bottom - 4, lineColor);
    Pixel(ACanvas, x, bottom - 3, Office11MixColors(middle, light, 25));
    Pixel(ACanvas, x, bottom - 2, light);
  };
  if (ABorders & kLeft) {
    if (ANeighbors & nLeft) {
      neighbourSide(left, edge);
    } else {
      Column(ACanvas, left, top + 1, bottom - 3, edge);
      Pixel(ACanvas, left, bottom - 2, light);
    }
  }
  if (ABorders & kRight) {
    if (ANeighbors & nRight) {
      neighbourSide(right, dark);
    } else {
      Pixel(ACanvas, right, top, Office11MixColors(middle, dark, 50));
      Column(ACanvas, right, top + 1, bottom - 3, dark);
      Pixel(ACanvas, right, bottom - 2, Office11MixColors(light, dark, 50));
    }
  }
}

void TcxOffice11LookAndFeelPainter::PaintHeaderContent(TcxCanvas* ACanvas, const TRect& ABounds,
                                                       const TRect& ATextAreaBounds, TcxButtonState AState,
                                                       TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                                       bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                                       TFont* AFont, TColor ATextColor, TColor,
                                                       const TcxDrawBackgroundEvent& AOnDrawBackground,
                                                       bool APlainFill) const {
  const bool hot = AState == cxbsHot;
  const bool drawn =
      AOnDrawBackground.Assigned() && AOnDrawBackground.Code(AOnDrawBackground.Data, ACanvas, ABounds);
  if (!drawn) {
    const TColor fill = hot ? Office11Color(o11MiddleFace) : HeaderMiddleColor();
    const TColor end = hot ? Office11Color(o11MiddleFace) : HeaderLightColor();
    if (APlainFill) {
      Fill(ACanvas, ABounds, fill);
    } else {
      Fill(ACanvas, Rect(ABounds.Left, ABounds.Top, ABounds.Right, ABounds.Bottom - 3), fill);
      Office11GradientFill(ACanvas->GetHandle(),
                           Rect(ABounds.Left, std::max(ABounds.Top, ABounds.Bottom - 4), ABounds.Right, ABounds.Bottom),
                           fill, end, false);
    }
  }
  TcxDrawBackgroundEvent textOnly;
  textOnly.Code = &BackgroundAlreadyDrawn;
  inherited::PaintHeaderContent(ACanvas, ABounds, ATextAreaBounds, AState, AAlignmentHorz, AAlignmentVert, AMultiLine,
                                AShowEndEllipsis, AText, AFont, ATextColor, clNone, textOnly);
  if (hot)
    Office11GradientFill(ACanvas->GetHandle(),
                         Rect(ABounds.Left - 1, ABounds.Bottom - 2, ABounds.Right, ABounds.Bottom + 1),
                         Office11Color(23), Office11Color(24), false);
}

void TcxOffice11LookAndFeelPainter::PaintHeaderSection(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                                       TColor AColor, const String& AText, TFont* AFont,
                                                       TColor ATextColor, TAlignment AAlignmentHorz,
                                                       TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                       bool AShowEndEllipsis) const {
  PaintHeader(ACanvas, ARect, HeaderContentRect(ARect, cxAllBorders), 0, cxAllBorders, AState, AAlignmentHorz,
              AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, AColor,
              TcxDrawBackgroundEvent());
  if (AState == cxbsPressed) InvertHeaderArea(ACanvas, ARect);
}

void TcxOffice11LookAndFeelPainter::PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const {
  cxPaintSortMark3D(ACanvas, ARect, AAscending, SortMarkSize(), HeaderEdgeColor(), HeaderDarkColor());
}

void TcxOffice11LookAndFeelPainter::PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect,
                                                       TcxScrollBarPart APart, TcxButtonState AState,
                                                       bool AHorizontal) const {
  const TcxCustomLookAndFeelPainterClass painter =
      ThemeClassAvailable(thcScrollBar) ? cxWinXPLookAndFeelPainter() : cxStandardLookAndFeelPainter();
  PainterOf(painter)->PaintScrollBarPart(ACanvas, ARect, APart, AState, AHorizontal);
}

void TcxOffice11LookAndFeelPainter::PaintArrowsHeader(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors,
                                                      const String& AText, TFont* AFont, TColor ATextColor,
                                                      TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                                                      TcxBorders, TcxArrowDirections AArrows) const {
  const TRect content = Deflated(ARect, 1);
  const bool drawn =
      AOnDrawBackground.Assigned() && AOnDrawBackground.Code(AOnDrawBackground.Data, ACanvas, content);
  if (!drawn) Fill(ACanvas, content, ABkColor);
  if (!AText.empty()) {
    ACanvas->GetBrush()->SetStyle(bsClear);
    if (AFont) ACanvas->GetFont()->Assign(AFont);
    if (ATextColor != clDefault && ATextColor != clNone) ACanvas->GetFont()->SetColor(ATextColor);
    ACanvas->DrawTextWithFlags(AText, content, true,
                               static_cast<TcxTextFlags>(cxAlignHCenter | cxAlignVCenter | cxSingleLine));
    ACanvas->GetBrush()->SetStyle(bsSolid);
  }
  PaintArrows(ACanvas, ARect, clWindowText, AArrows);
}

void TcxOffice11LookAndFeelPainter::PaintThinBorder(TcxCanvas* ACanvas, const TRect& ARect) const {
  Frame(ACanvas, ARect, ThinBorderColor());
}

TColor TcxOffice11LookAndFeelPainter::HotFrameColor(TcxButtonState AState) const {
  return AState == cxbsNormal ? HeaderDarkColor() : Office11Color(o11Highlight);
}
TColor TcxOffice11LookAndFeelPainter::TabAreaColor() const { return HeaderDarkColor(); }
TColor TcxOffice11LookAndFeelPainter::SelectedTabColor() const { return clBtnText; }
TColor TcxOffice11LookAndFeelPainter::HighlightFrameColor() const { return Office11Color(o11Highlight); }

TColor TcxOffice11LookAndFeelPainter::HeaderLightColor() const { return Office11Color(o11PaleFace); }
TColor TcxOffice11LookAndFeelPainter::HeaderDarkColor() const { return Office11Color(o11DarkEdge); }
TColor TcxOffice11LookAndFeelPainter::HeaderEdgeColor() const { return Office11Color(o11WhiteEdge); }
TColor TcxOffice11LookAndFeelPainter::HeaderMiddleColor() const {
  return Office11MixColors(Office11Color(o11MiddleFace), Office11Color(o11PaleFace), 50);
}
