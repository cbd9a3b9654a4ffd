#include "foundation/cxNativePainter.h"

#include <algorithm>

#include "foundation/cxLookAndFeels.h"
#include "foundation/cxPainterImages.h"
#include "foundation/qzThemeManager.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/regions.h"

namespace {

// Parts of the theme classes.
enum : Integer {
  kButtonPush = 1, kButtonRadio = 2, kButtonCheck = 3,
  kComboDropDown = 1, kComboBorder = 1,
  kExplorerPin = 3, kExplorerCollapse = 6, kExplorerExpand = 7,
  kHeaderItem = 1,
  kListViewBorder = 5,
  kScrollArrow = 1, kScrollThumbHorz = 2, kScrollThumbVert = 3, kScrollLowerHorz = 4, kScrollUpperHorz = 5,
  kScrollLowerVert = 6, kScrollUpperVert = 7, kScrollGripperHorz = 8, kScrollGripperVert = 9,
  kTabItem = 1, kTabPane = 9,
  kTrackBarTrack = 1,
  kTreeGlyph = 2,
  kWindowSmallClose = 19,
};
// Theme properties.
enum : Integer { kFillColorProp = 204, kBorderColorProp = 3801, kTextColorProp = 3803 };

// The open theme of a class, or 0 (then the standard painter draws).
HTHEME Theme(TqzThemeClass AClass) { return ThemeClassAvailable(AClass) ? OpenThemeClass(AClass) : 0; }
bool VisualStyles() { return ThemeClassesAvailable(0); }

TRect Deflated(const TRect& R, Integer D) { return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D); }

// The margins between a probe rect and its theme content rect.
TRect ContentMargins(HTHEME ATheme, Integer APart, Integer AState) {
  const TRect probe = Rect(0, 0, 100, 100);
  TRect content = probe;
  if (FAILED(GetThemeBackgroundContentRect(ATheme, nullptr, APart, AState, probe, content))) return Rect(0, 0, 0, 0);
  return Rect(content.Left - probe.Left, content.Top - probe.Top, probe.Right - content.Right,
              probe.Bottom - content.Bottom);
}

TPoint PartSize(HTHEME ATheme, Integer APart, Integer AState) {
  TSize size{};
  if (FAILED(GetThemePartSize(ATheme, nullptr, APart, AState, TS_TRUE, size))) return Point(0, 0);
  return Point(size.cx, size.cy);
}

TColor ThemeColor(HTHEME ATheme, Integer APart, Integer AState, Integer AProp, TColor AFallback) {
  TColor color = AFallback;
  return SUCCEEDED(GetThemeColor(ATheme, APart, AState, AProp, color)) ? color : AFallback;
}

void DrawPart(TcxCanvas* ACanvas, HTHEME ATheme, Integer APart, Integer AState, const TRect& ARect) {
  DrawThemeBackground(ATheme, ACanvas->GetHandle(), APart, AState, ARect, nullptr);
}

struct TPainterRegistration {
  TPainterRegistration() { cxNativePainterRegister(); }
};
const TPainterRegistration Registration;

}  // namespace

// ---------------------------------------------------------------------------
// Free routines

Cardinal cxThemedTextFlags(TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                           bool AShowEndEllipsis) {
  static const Cardinal horz[] = {0, 2, 1};
  static const Cardinal vert[] = {0, 8, 4};
  const auto h = static_cast<size_t>(std::clamp<Integer>(AAlignmentHorz, 0, 2));
  const auto v = static_cast<size_t>(std::clamp<Integer>(AAlignmentVert, 0, 2));
  return horz[h] | vert[v] | (AMultiLine ? 16u : 32u) | (AShowEndEllipsis ? 32768u : 0u) | 0x2800u;
}

namespace {
Integer ByState(TcxButtonState AState, std::initializer_list<Integer> AValues) {
  const auto i = static_cast<size_t>(std::clamp<Integer>(AState, cxbsDefault, cxbsDisabled));
  return *(AValues.begin() + i);
}
}  // namespace

Integer cxPushButtonThemeState(TcxButtonState AState) { return ByState(AState, {5, 1, 2, 3, 4}); }
Integer cxCheckBoxThemeState(TcxButtonState AState, bool AChecked) {
  return ByState(AState, {1, 1, 2, 3, 4}) + (AChecked ? 4 : 0);
}
Integer cxHeaderItemThemeState(TcxButtonState AState) { return ByState(AState, {1, 1, 2, 3, 1}); }
Integer cxSmallButtonThemeState(TcxButtonState AState) { return ByState(AState, {1, 1, 2, 3, 4}); }
Integer cxPinButtonThemeState(TcxButtonState AState) { return ByState(AState, {1, 1, 2, 3, 1}); }
Integer cxArrowButtonThemeState(TcxArrowDirection ADirection, TcxButtonState AState) {
  return std::clamp<Integer>(ADirection, adUp, adRight) * 4 + ByState(AState, {1, 1, 2, 3, 4});
}

void cxNativePainterRegister() { RegisterNativeLookAndFeelPainter(cxWinXPLookAndFeelPainter()); }

// ---------------------------------------------------------------------------
// TcxWinXPLookAndFeelPainter

Byte TcxWinXPLookAndFeelPainter::StyleCode() const { return 3; }

TColor TcxWinXPLookAndFeelPainter::CrossGlyphColor() const {
  return VisualStyles() ? clNavy : inherited::CrossGlyphColor();
}

TColor TcxWinXPLookAndFeelPainter::ThinBorderColor() const {
  if (HTHEME theme = Theme(thcComboBox))
    return ThemeColor(theme, kComboBorder, 1, kBorderColorProp, inherited::ThinBorderColor());
  return inherited::ThinBorderColor();
}

TColor TcxWinXPLookAndFeelPainter::PainterColor(TcxPainterColor AColor) const {
  if (AColor == pcAfterThinBorder2 && VisualStyles()) return 0xD5FFFF;
  return inherited::PainterColor(AColor);
}

void TcxWinXPLookAndFeelPainter::PaintArrowButton(TcxCanvas* ACanvas, const TRect& ARect, bool ADrawButton,
                                                  TcxArrowDirection ADirection, TcxButtonState AState) const {
  if (HTHEME theme = Theme(thcScrollBar))
    DrawPart(ACanvas, theme, kScrollArrow, cxArrowButtonThemeState(ADirection, AState), ARect);
  else
    inherited::PaintArrowButton(ACanvas, ARect, ADrawButton, ADirection, AState);
}

void TcxWinXPLookAndFeelPainter::PaintButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const {
  if (HTHEME theme = Theme(thcButton))
    DrawPart(ACanvas, theme, kButtonPush, cxPushButtonThemeState(AState), ARect);
  else
    inherited::PaintButton(ACanvas, ARect, AState);
}

Integer TcxWinXPLookAndFeelPainter::BorderThickness() const {
  return Theme(thcListView) ? 1 : inherited::BorderThickness();
}

void TcxWinXPLookAndFeelPainter::PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const {
  HTHEME theme = Theme(thcListView);
  if (!theme) return inherited::PaintBorder(ACanvas, ARect);
  const HDC dc = ACanvas->GetHandle();
  const Integer saved = SaveDC(dc);
  const TRect inner = Deflated(ARect, 1);
  ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
  DrawPart(ACanvas, theme, kListViewBorder, 1, ARect);
  RestoreDC(dc, saved);
}

Integer TcxWinXPLookAndFeelPainter::ButtonFrameWidth(TcxButtonState AState) const {
  if (HTHEME theme = Theme(thcButton)) return ContentMargins(theme, kButtonPush, cxPushButtonThemeState(AState)).Left;
  return inherited::ButtonFrameWidth(AState);
}

TColor TcxWinXPLookAndFeelPainter::ButtonFaceColor(TcxButtonState AState) const {
  if (HTHEME theme = Theme(thcButton))
    return ThemeColor(theme, kButtonPush, cxPushButtonThemeState(AState), kFillColorProp,
                      inherited::ButtonFaceColor(AState));
  return inherited::ButtonFaceColor(AState);
}

TRect TcxWinXPLookAndFeelPainter::FocusRectOfButton(const TRect& ARect) const {
  if (HTHEME theme = Theme(thcButton)) {
    TRect content = ARect;
    if (SUCCEEDED(GetThemeBackgroundContentRect(theme, nullptr, kButtonPush, 1, ARect, content)) &&
        !IsRectEmpty(content))
      return content;
  }
  return inherited::FocusRectOfButton(ARect);
}

TRect TcxWinXPLookAndFeelPainter::ButtonGroupMargins(Integer AButtonCount, Integer AButtonIndex) const {
  HTHEME theme = Theme(thcButton);
  if (!theme) return inherited::ButtonGroupMargins(AButtonCount, AButtonIndex);
  TRect margins = ContentMargins(theme, kButtonPush, 1);
  if (IsThemeBackgroundPartiallyTransparent(theme, kButtonPush, 1))
    margins = Rect(margins.Left + 1, margins.Top + 1, margins.Right + 1, margins.Bottom + 1);
  return margins;
}

Integer TcxWinXPLookAndFeelPainter::ButtonContentMargin() const {
  return VisualStyles() ? 2 : inherited::ButtonContentMargin();
}

Integer TcxWinXPLookAndFeelPainter::PressedContentShift() const {
  return VisualStyles() ? 0 : inherited::PressedContentShift();
}

TColor TcxWinXPLookAndFeelPainter::ButtonGlyphColor(TcxButtonState AState) const {
  if (HTHEME theme = Theme(thcButton))
    return ThemeColor(theme, kButtonPush, cxPushButtonThemeState(AState), kTextColorProp,
                      inherited::ButtonGlyphColor(AState));
  return inherited::ButtonGlyphColor(AState);
}

void TcxWinXPLookAndFeelPainter::PaintCaptionButton(TcxCanvas* ACanvas, const TRect& ARect, TColor ATextColor,
                                                    TColor AFaceColor, bool ADrawFrame, TcxButtonState AState,
                                                    const String& ACaption) const {
  HTHEME theme = Theme(thcButton);
  if (!theme) return inherited::PaintCaptionButton(ACanvas, ARect, ATextColor, AFaceColor, ADrawFrame, AState, ACaption);
  const Integer state = cxPushButtonThemeState(AState);
  DrawPart(ACanvas, theme, kButtonPush, state, ARect);
  if (!ACaption.empty())
    DrawThemeText(theme, ACanvas->GetHandle(), kButtonPush, state, ACaption.c_str(),
                  static_cast<Integer>(ACaption.size()), 37, 0, ARect);
}

void TcxWinXPLookAndFeelPainter::PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                                  bool AExpanded) const {
  if (HTHEME theme = Theme(thcTreeView))
    DrawPart(ACanvas, theme, kTreeGlyph, AExpanded ? 2 : 1, ARect);
  else
    inherited::PaintExpandGlyph(ACanvas, ARect, AColor, AExpanded);
}

bool TcxWinXPLookAndFeelPainter::ExpandGlyphPaintedFirst() const {
  return VisualStyles() ? false : inherited::ExpandGlyphPaintedFirst();
}

void TcxWinXPLookAndFeelPainter::PaintGroupExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                                       bool AExpanded) const {
  if (HTHEME theme = Theme(thcExplorerBar))
    DrawPart(ACanvas, theme, AExpanded ? kExplorerCollapse : kExplorerExpand, cxSmallButtonThemeState(AState), ARect);
  else
    inherited::PaintGroupExpandGlyph(ACanvas, ARect, AState, AExpanded);
}

void TcxWinXPLookAndFeelPainter::PaintExpandBox(TcxCanvas* ACanvas, const TRect& ARect, TColor, TColor AFrameColor,
                                                bool AExpanded) const {
  if (Theme(thcTreeView))
    PaintExpandGlyph(ACanvas, ARect, clDefault, AExpanded);
  else
    inherited::PaintExpandBox(ACanvas, ARect, clDefault, AFrameColor, AExpanded);
}

Integer TcxWinXPLookAndFeelPainter::ExpandGlyphSize() const {
  if (HTHEME theme = Theme(thcTreeView)) return PartSize(theme, kTreeGlyph, 1).X;
  return inherited::ExpandGlyphSize();
}

Integer TcxWinXPLookAndFeelPainter::GroupExpandGlyphSize() const {
  if (HTHEME theme = Theme(thcExplorerBar)) return PartSize(theme, kExplorerExpand, 1).X;
  return inherited::GroupExpandGlyphSize();
}

bool TcxWinXPLookAndFeelPainter::HotTracksButtons() const {
  return VisualStyles() ? true : inherited::HotTracksButtons();
}

bool TcxWinXPLookAndFeelPainter::PointInGroupExpandGlyph(const TRect& ARect, const TPoint& APoint) const {
  HTHEME theme = Theme(thcExplorerBar);
  if (!theme) return inherited::PointInGroupExpandGlyph(ARect, APoint);
  HRGN region = nullptr;
  if (FAILED(GetThemeBackgroundRegion(theme, nullptr, kExplorerExpand, 1, ARect, region)) || !region)
    return inherited::PointInGroupExpandGlyph(ARect, APoint);
  const bool inside = PtInRegion(region, APoint.X, APoint.Y);
  DeleteObject(region);
  return inside;
}

Integer TcxWinXPLookAndFeelPainter::ExpandBoxSize() const {
  return Theme(thcTreeView) ? ExpandGlyphSize() : inherited::ExpandBoxSize();
}

Integer TcxWinXPLookAndFeelPainter::CheckFrameWidth() const {
  return Theme(thcButton) ? 0 : inherited::CheckFrameWidth();
}

void TcxWinXPLookAndFeelPainter::PaintCheckFace(TcxCanvas* ACanvas, const TRect& ARect, TColor AMarkColor,
                                                bool AChecked, TcxButtonState AState) const {
  if (HTHEME theme = Theme(thcButton))
    DrawPart(ACanvas, theme, kButtonCheck, cxCheckBoxThemeState(AState, AChecked), ARect);
  else
    inherited::PaintCheckFace(ACanvas, ARect, AMarkColor, AChecked, AState);
}

void TcxWinXPLookAndFeelPainter::PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect,
                                                 TcxButtonState AState) const {
  if (!Theme(thcButton)) inherited::PaintCheckFrame(ACanvas, ARect, AState);
}

void TcxWinXPLookAndFeelPainter::PaintRadioButton(TcxCanvas* ACanvas, Integer ALeft, Integer ATop,
                                                  TcxButtonState AState, bool AChecked, bool AFocused,
                                                  bool ASelected, TColor ABkColor) const {
  HTHEME theme = Theme(thcButton);
  if (!theme) return inherited::PaintRadioButton(ACanvas, ALeft, ATop, AState, AChecked, AFocused, ASelected, ABkColor);
  const Integer state = cxCheckBoxThemeState(AState, AChecked);
  const TPoint size = PartSize(theme, kButtonRadio, state);
  DrawPart(ACanvas, theme, kButtonRadio, state, Rect(ALeft, ATop, ALeft + size.X, ATop + size.Y));
}

void TcxWinXPLookAndFeelPainter::PaintHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                             TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                             TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                             bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                                             TFont* AFont, TColor ATextColor, TColor ABkColor,
                                             const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast) const {
  HTHEME theme = Theme(thcHeader);
  if (!theme)
    return inherited::PaintHeader(ACanvas, ABounds, ATextAreaBounds, ANeighbors, ABorders, AState, AAlignmentHorz,
                                  AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, ABkColor,
                                  AOnDrawBackground, AIsLast);
  const Integer state = cxHeaderItemThemeState(AState);
  DrawPart(ACanvas, theme, kHeaderItem, state, ABounds);
  TRect text = ATextAreaBounds;
  if (AState == cxbsPressed) text = Rect(text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1);
  PaintThemedText(ACanvas, theme, kHeaderItem, state, ATextColor, AFont, AText, text, AAlignmentHorz,
                  AAlignmentVert, AMultiLine, AShowEndEllipsis);
}

void TcxWinXPLookAndFeelPainter::InvertHeaderArea(TcxCanvas* ACanvas, const TRect& ARect) const {
  if (!Theme(thcHeader)) inherited::InvertHeaderArea(ACanvas, ARect);
}

void TcxWinXPLookAndFeelPainter::PaintHeaderSection(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                                    TColor AColor, const String& AText, TFont* AFont,
                                                    TColor ATextColor, TAlignment AAlignmentHorz,
                                                    TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                    bool AShowEndEllipsis) const {
  if (!Theme(thcHeader))
    return inherited::PaintHeaderSection(ACanvas, ARect, AState, AColor, AText, AFont, ATextColor, AAlignmentHorz,
                                         AAlignmentVert, AMultiLine, AShowEndEllipsis);
  FillRectColor(ACanvas, ARect, clBtnFace);
  PaintHeader(ACanvas, ARect, HeaderSectionContentRect(ARect, AState), 0, cxAllBorders, AState, AAlignmentHorz,
              AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, AColor,
              TcxDrawBackgroundEvent());
}

Integer TcxWinXPLookAndFeelPainter::HeaderFrameWidth() const {
  if (HTHEME theme = Theme(thcHeader)) return ContentMargins(theme, kHeaderItem, 1).Left;
  return inherited::HeaderFrameWidth();
}

Integer TcxWinXPLookAndFeelPainter::HeaderSectionFrameWidth(TcxButtonState AState) const {
  if (HTHEME theme = Theme(thcHeader))
    return ContentMargins(theme, kHeaderItem, cxHeaderItemThemeState(AState)).Left;
  return inherited::HeaderSectionFrameWidth(AState);
}

TRect TcxWinXPLookAndFeelPainter::HeaderSectionContentRect(const TRect& ARect, TcxButtonState AState) const {
  HTHEME theme = Theme(thcHeader);
  if (!theme) return inherited::HeaderSectionContentRect(ARect, AState);
  TRect content = ARect;
  if (FAILED(GetThemeBackgroundContentRect(theme, nullptr, kHeaderItem, cxHeaderItemThemeState(AState), ARect,
                                           content)))
    return inherited::HeaderSectionContentRect(ARect, AState);
  return content;
}

bool TcxWinXPLookAndFeelPainter::HeaderBackgroundFillFirst() const {
  return VisualStyles() ? false : inherited::HeaderBackgroundFillFirst();
}

bool TcxWinXPLookAndFeelPainter::HotTracksHeaders() const {
  return VisualStyles() ? true : inherited::HotTracksHeaders();
}

void TcxWinXPLookAndFeelPainter::PaintFooterCell(TcxCanvas* ACanvas, const TRect& ARect, TAlignment AAlignmentHorz,
                                                 TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                 bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                                 TColor ATextColor, TColor ABkColor) const {
  HTHEME theme = Theme(thcTrackBar);
  if (!theme)
    return inherited::PaintFooterCell(ACanvas, ARect, AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis,
                                      AText, AFont, ATextColor, ABkColor);
  DrawPart(ACanvas, theme, kTrackBarTrack, 1, ARect);
  PaintHeaderContent(ACanvas, FooterCellContentRect(ARect), FooterCellTextRect(ARect), cxbsNormal, AAlignmentHorz,
                     AAlignmentVert, AMultiLine, AShowEndEllipsis, AText, AFont, ATextColor, clNone,
                     TcxDrawBackgroundEvent());
}

Integer TcxWinXPLookAndFeelPainter::FooterFrameWidth() const {
  return Theme(thcEdit) ? 1 : inherited::FooterFrameWidth();
}

Integer TcxWinXPLookAndFeelPainter::FooterCellFrameWidth() const {
  if (HTHEME theme = Theme(thcTrackBar)) return ContentMargins(theme, kTrackBarTrack, 1).Left;
  return inherited::FooterCellFrameWidth();
}

Integer TcxWinXPLookAndFeelPainter::FooterCellSpacing() const {
  return Theme(thcTrackBar) ? 1 : inherited::FooterCellSpacing();
}

bool TcxWinXPLookAndFeelPainter::FooterCellFillsBackground() const {
  return VisualStyles() ? false : inherited::FooterCellFillsBackground();
}

void TcxWinXPLookAndFeelPainter::PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const {
  HTHEME theme = Theme(thcEdit);
  if (!theme) return inherited::PaintFooterFrame(ACanvas, ARect);
  DrawThemeEdge(theme, ACanvas->GetHandle(), 0, 0, ARect, BDR_RAISEDINNER, BF_RECT, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintCloseButton(TcxCanvas* ACanvas, const TRect& ARect,
                                                  TcxButtonState AState) const {
  if (HTHEME theme = Theme(thcWindow))
    DrawPart(ACanvas, theme, kWindowSmallClose, cxSmallButtonThemeState(AState), ARect);
  else
    inherited::PaintCloseButton(ACanvas, ARect, AState);
}

void TcxWinXPLookAndFeelPainter::PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect,
                                                           TcxButtonState AState, bool AActive) const {
  if (HTHEME theme = Theme(thcComboBox))
    DrawPart(ACanvas, theme, kComboDropDown, cxSmallButtonThemeState(AState), ARect);
  else
    inherited::PaintFilterDropDownButton(ACanvas, ARect, AState, AActive);
}

TPoint TcxWinXPLookAndFeelPainter::FilterCheckBoxSize() const {
  if (HTHEME theme = Theme(thcButton)) return PartSize(theme, kButtonCheck, 1);
  return inherited::FilterCheckBoxSize();
}

TPoint TcxWinXPLookAndFeelPainter::CloseButtonSize() const {
  if (HTHEME theme = Theme(thcWindow)) {
    const TPoint size = PartSize(theme, kWindowSmallClose, 1);
    return Point(size.X + 4, size.Y + 4);
  }
  return inherited::CloseButtonSize();
}

TPoint TcxWinXPLookAndFeelPainter::SmallBoxSize() const {
  const TPoint size = inherited::SmallBoxSize();
  return Point(size.X + 2, size.Y + 2);
}

TPoint TcxWinXPLookAndFeelPainter::PinButtonSize() const {
  if (HTHEME theme = Theme(thcExplorerBar)) return PartSize(theme, kExplorerPin, 1);
  return inherited::PinButtonSize();
}

void TcxWinXPLookAndFeelPainter::PaintGlyphButton(TcxCanvas* ACanvas, const TRect& ARect,
                                                  TcxButtonState AState) const {
  HTHEME theme = Theme(thcButton);
  if (!theme) return inherited::PaintGlyphButton(ACanvas, ARect, AState);
  DrawPart(ACanvas, theme, kButtonPush, cxPushButtonThemeState(AState), ARect);
  TRect r = Deflated(ARect, 2);
  if (AState == cxbsDisabled) r = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
  PaintCrossGlyph(ACanvas, r, AState);
}

void TcxWinXPLookAndFeelPainter::PaintPinButton(TcxCanvas* ACanvas, const TRect& ARect, Integer APinIndex,
                                                TcxButtonState AState) const {
  HTHEME theme = Theme(thcExplorerBar);
  TBitmap* pin = cxPinBitmap(APinIndex);
  if (!theme || !pin) return inherited::PaintPinButton(ACanvas, ARect, APinIndex, AState);
  DrawPart(ACanvas, theme, kExplorerPin, cxPinButtonThemeState(AState), ARect);
  const Integer x = ARect.Left + (ARect.Width() - pin->Width()) / 2;
  const Integer y = ARect.Top + (ARect.Height() - pin->Height()) / 2;
  ACanvas->DrawGlyphBitmap(x, y, clNone, true, pin);
}

void TcxWinXPLookAndFeelPainter::PaintTab(TcxCanvas* ACanvas, const TRect& ARect, const String& AText, TFont* AFont,
                                          TColor ATextColor, TcxButtonState AState, bool ASelected) const {
  HTHEME theme = Theme(thcTab);
  if (!theme) return inherited::PaintTab(ACanvas, ARect, AText, AFont, ATextColor, AState, ASelected);
  const Integer state = ASelected ? 3 : cxSmallButtonThemeState(AState);
  DrawPart(ACanvas, theme, kTabItem, state, ARect);
  PaintThemedText(ACanvas, theme, kTabItem, state, ATextColor, AFont, AText, ARect, taCenter, vaCenter, false, false);
}

void TcxWinXPLookAndFeelPainter::PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                                               TcxBorders ABorders, bool ASelected) const {
  if (HTHEME theme = Theme(thcTab))
    DrawPart(ACanvas, theme, kTabItem, ASelected ? 3 : 1, ARect);
  else
    inherited::PaintTabFrame(ACanvas, ARect, APosition, ABorders, ASelected);
}

void TcxWinXPLookAndFeelPainter::PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect, TcxBorders ABorders) const {
  HTHEME theme = Theme(thcTab);
  if (!theme) return inherited::PaintTabsArea(ACanvas, ARect, ABorders);
  TRect content = ARect;
  GetThemeBackgroundContentRect(theme, ACanvas->GetHandle(), kTabPane, 1, ARect, content);
  DrawThemeBackground(theme, ACanvas->GetHandle(), kTabPane, 1, ARect, &content);
}

Integer TcxWinXPLookAndFeelPainter::TabsAreaMargin() const {
  return Theme(thcTab) ? 1 : inherited::TabsAreaMargin();
}
Integer TcxWinXPLookAndFeelPainter::TabSpacing() const { return Theme(thcTab) ? 1 : inherited::TabSpacing(); }
Integer TcxWinXPLookAndFeelPainter::TabFrameWidth() const { return Theme(thcTab) ? 1 : inherited::TabFrameWidth(); }

void TcxWinXPLookAndFeelPainter::PaintIndicatorCell(TcxCanvas* ACanvas, const TRect& ARect, TColor ABkColor,
                                                    TcxIndicatorKind AKind) const {
  if (VisualStyles())
    PainterOf(cxFlatLookAndFeelPainter())->PaintIndicatorCell(ACanvas, ARect, ABkColor, AKind);
  else
    inherited::PaintIndicatorCell(ACanvas, ARect, ABkColor, AKind);
}

void TcxWinXPLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart,
                                                    TcxButtonState AState, bool AHorizontal) const {
  HTHEME theme = Theme(thcScrollBar);
  if (!theme) return inherited::PaintScrollBarPart(ACanvas, ARect, APart, AState, AHorizontal);
  if (IsRectEmpty(ARect) || APart == sbpNone) return;
  const Integer state = ByState(AState, {1, 1, 2, 3, 4});
  switch (APart) {
    case sbpLineUp:
    case sbpLineDown: {
      const TcxArrowDirection direction =
          AHorizontal ? (APart == sbpLineUp ? adLeft : adRight) : (APart == sbpLineUp ? adUp : adDown);
      PaintArrowButton(ACanvas, ARect, true, direction, AState);
      return;
    }
    case sbpThumbnail:
      DrawPart(ACanvas, theme, AHorizontal ? kScrollThumbHorz : kScrollThumbVert, state, ARect);
      DrawPart(ACanvas, theme, AHorizontal ? kScrollGripperHorz : kScrollGripperVert, state, ARect);
      return;
    case sbpPageUp:
      DrawPart(ACanvas, theme, AHorizontal ? kScrollLowerHorz : kScrollLowerVert, state, ARect);
      return;
    case sbpPageDown:
      DrawPart(ACanvas, theme, AHorizontal ? kScrollUpperHorz : kScrollUpperVert, state, ARect);
      return;
    case sbpNone: return;
  }
}

void TcxWinXPLookAndFeelPainter::PaintArrowsHeader(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors,
                                                   const String& AText, TFont* AFont, TColor ATextColor,
                                                   TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                                                   TcxBorders ABorders, TcxArrowDirections AArrows) const {
  if (!Theme(thcHeader))
    return inherited::PaintArrowsHeader(ACanvas, ARect, ANeighbors, AText, AFont, ATextColor, ABkColor,
                                        AOnDrawBackground, ABorders, AArrows);
  PaintHeader(ACanvas, ARect, ARect, ANeighbors, cxAllBorders, cxbsNormal, taCenter, vaCenter, false, false, AText,
              AFont, ATextColor, ABkColor, AOnDrawBackground);
  PaintArrows(ACanvas, ARect, clWindowText, AArrows);
}

void TcxWinXPLookAndFeelPainter::PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect, bool AHorizontal) const {
  if (!Theme(thcListView) || !Theme(thcComboBox)) return inherited::PaintSplitterBorder(ACanvas, ARect, AHorizontal);
  if (IsRectEmpty(ARect)) return;
  const TColor color = ThinBorderColor();
  TBrush brush;
  brush.Assign(ACanvas->GetBrush());
  const TcxBorders sides = AHorizontal ? BorderBit(bTop) | BorderBit(bBottom) : BorderBit(bLeft) | BorderBit(bRight);
  ACanvas->DrawBorderBands(ARect, color, sides, 1);
  ACanvas->GetBrush()->Assign(&brush);
  const TRect rest = AHorizontal ? Rect(ARect.Left, ARect.Top + 1, ARect.Right, ARect.Bottom - 1)
                                 : Rect(ARect.Left + 1, ARect.Top, ARect.Right - 1, ARect.Bottom);
  if (!IsRectEmpty(rest)) ACanvas->Canvas()->FillRect(rest);
}

void TcxWinXPLookAndFeelPainter::PaintThemedText(TcxCanvas* ACanvas, HTHEME ATheme, Integer APart, Integer AState,
                                                 TColor ATextColor, TFont* AFont, const String& AText,
                                                 const TRect& ATextRect, TAlignment AAlignmentHorz,
                                                 TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                                 bool AShowEndEllipsis) const {
  if (AText.empty()) return;
  if (AFont) ACanvas->GetFont()->Assign(AFont);
  if (ATextColor != clDefault && ATextColor != clNone) ACanvas->GetFont()->SetColor(ATextColor);
  DrawThemeText(ATheme, ACanvas->GetHandle(), APart, AState, AText.c_str(), static_cast<Integer>(AText.size()),
                cxThemedTextFlags(AAlignmentHorz, AAlignmentVert, AMultiLine, AShowEndEllipsis), 0, ATextRect);
}
