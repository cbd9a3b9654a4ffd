#pragma once
// The native-theme painter: draws through the platform's visual-style
// interface (qzUxTheme.h, qzThemeManager.h) when a control asks for native
// style and the theme class an element needs is open. Every operation asks
// the theme manager for its class first; without an open theme it does
// exactly what the standard painter does. On this platform no theme is ever
// open, so it draws as the standard painter unless a theme library is
// installed (as tests do).
//
// The unit registers it as the look-and-feel's native painter when the
// program starts; cxNativePainterRegister does it again.
#include "foundation/cxStandardPainters.h"
#include "foundation/qzUxTheme.h"

class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
public:
  KORVANE_CLASS(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter)
  TcxWinXPLookAndFeelPainter() = default;

  // Answers that do not ask a theme class count as themed only while visual
  // styles are available; StyleCode (3) and SmallBoxSize (15 x 15) always.
  Byte StyleCode() const override;
  TColor CrossGlyphColor() const override;
  TColor ThinBorderColor() const override;
  TColor PainterColor(TcxPainterColor AColor) const override;
  void PaintArrowButton(TcxCanvas* ACanvas, const TRect& ARect, bool ADrawButton, TcxArrowDirection ADirection,
                        TcxButtonState AState) const override;
  void PaintButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  Integer BorderThickness() const override;
  void PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const override;
  Integer ButtonFrameWidth(TcxButtonState AState) const override;
  TColor ButtonFaceColor(TcxButtonState AState) const override;
  TRect FocusRectOfButton(const TRect& ARect) const override;
  TRect ButtonGroupMargins(Integer AButtonCount = 1, Integer AButtonIndex = 0) const override;
  Integer ButtonContentMargin() const override;
  Integer PressedContentShift() const override;
  TColor ButtonGlyphColor(TcxButtonState AState) const override;
  void PaintCaptionButton(TcxCanvas* ACanvas, const TRect& ARect, TColor ATextColor, TColor AFaceColor,
                          bool ADrawFrame, TcxButtonState AState, const String& ACaption) const override;
  void PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, bool AExpanded) const override;
  bool ExpandGlyphPaintedFirst() const override;
  void PaintGroupExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                             bool AExpanded) const override;
  void PaintExpandBox(TcxCanvas* ACanvas, const TRect& ARect, TColor AFillColor, TColor AFrameColor,
                      bool AExpanded) const override;
  Integer ExpandGlyphSize() const override;
  Integer GroupExpandGlyphSize() const override;
  bool HotTracksButtons() const override;
  bool PointInGroupExpandGlyph(const TRect& ARect, const TPoint& APoint) const override;
  Integer ExpandBoxSize() const override;
  Integer CheckFrameWidth() const override;
  void PaintCheckFace(TcxCanvas* ACanvas, const TRect& ARect, TColor AMarkColor, bool AChecked,
                      TcxButtonState AState) const override;
  void PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  void PaintRadioButton(TcxCanvas* ACanvas, Integer ALeft, Integer ATop, TcxButtonState AState, bool AChecked,
                        bool AFocused, bool ASelected, TColor ABkColor) const override;
  void PaintHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds, TcxNeighbors ANeighbors,
                   TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                   TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                   TFont* AFont, TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                   bool AIsLast = false) const override;
  void InvertHeaderArea(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintHeaderSection(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState, TColor AColor,
                          const String& AText, TFont* AFont, TColor ATextColor, TAlignment AAlignmentHorz,
                          TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis) const override;
  Integer HeaderFrameWidth() const override;
  Integer HeaderSectionFrameWidth(TcxButtonState AState) const override;
  TRect HeaderSectionContentRect(const TRect& ARect, TcxButtonState AState) const override;
  bool HeaderBackgroundFillFirst() const override;
  bool HotTracksHeaders() const override;
  void PaintFooterCell(TcxCanvas* ACanvas, const TRect& ARect, TAlignment AAlignmentHorz,
                       TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                       TFont* AFont, TColor ATextColor, TColor ABkColor) const override;
  Integer FooterFrameWidth() const override;
  Integer FooterCellFrameWidth() const override;
  Integer FooterCellSpacing() const override;
  bool FooterCellFillsBackground() const override;
  void PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintCloseButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  void PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                 bool AActive = false) const override;
  TPoint FilterCheckBoxSize() const override;
  TPoint CloseButtonSize() const override;
  TPoint SmallBoxSize() const override;
  TPoint PinButtonSize() const override;
  void PaintGlyphButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  void PaintPinButton(TcxCanvas* ACanvas, const TRect& ARect, Integer APinIndex,
                      TcxButtonState AState) const override;
  void PaintTab(TcxCanvas* ACanvas, const TRect& ARect, const String& AText, TFont* AFont, TColor ATextColor,
                TcxButtonState AState, bool ASelected) const override;
  void PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                     TcxBorders ABorders = cxAllBorders, bool ASelected = false) const override;
  void PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect, TcxBorders ABorders = cxAllBorders) const override;
  Integer TabsAreaMargin() const override;
  Integer TabSpacing() const override;
  Integer TabFrameWidth() const override;
  void PaintIndicatorCell(TcxCanvas* ACanvas, const TRect& ARect, TColor ABkColor,
                          TcxIndicatorKind AKind) const override;
  void PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart, TcxButtonState AState,
                          bool AHorizontal) const override;
  void PaintArrowsHeader(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors, const String& AText,
                         TFont* AFont, TColor ATextColor, TColor ABkColor,
                         const TcxDrawBackgroundEvent& AOnDrawBackground, TcxBorders ABorders,
                         TcxArrowDirections AArrows) const override;
  void PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect, bool AHorizontal) const override;

  // ---- Added by this painter ----
  // Text drawn by the theme in the font and text colour, laid out by the
  // four layout arguments (theme text flags).
  virtual void PaintThemedText(TcxCanvas* ACanvas, HTHEME ATheme, Integer APart, Integer AState, TColor ATextColor,
                               TFont* AFont, const String& AText, const TRect& ATextRect, TAlignment AAlignmentHorz,
                               TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis) const;
};

// The theme text flags of the four layout arguments: horizontal left 0,
// right 2, centre 1; vertical top 0, bottom 8, centre 4; single line 32 or
// word break 16; end ellipsis 32768; always 0x2800 (no prefix, edit-control
// line breaking).
Cardinal cxThemedTextFlags(TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                           bool AShowEndEllipsis);

// Theme states by TcxButtonState (default, normal, hot, pressed, disabled).
Integer cxPushButtonThemeState(TcxButtonState AState);
Integer cxCheckBoxThemeState(TcxButtonState AState, bool AChecked);
Integer cxHeaderItemThemeState(TcxButtonState AState);
// Close button, drop-down button and tab item.
Integer cxSmallButtonThemeState(TcxButtonState AState);
Integer cxPinButtonThemeState(TcxButtonState AState);
// Arrow buttons: 1 to 4 up, 5 to 8 down, 9 to 12 left, 13 to 16 right;
// cxbsDefault counts as normal.
Integer cxArrowButtonThemeState(TcxArrowDirection ADirection, TcxButtonState AState);

inline TcxCustomLookAndFeelPainterClass cxWinXPLookAndFeelPainter() {
  return TcxWinXPLookAndFeelPainter::StaticClass();
}

// Registers the painter as the look-and-feel's native painter.
void cxNativePainterRegister();
