#pragma once
// The ultra-flat painter (one-pixel frames, highlight-coloured hot and
// pressed states; the painter of the editing form's tree list) and the
// Office 11 painter, which derives from it and takes its colours from the
// Office 11 colour scheme, with gradient header backgrounds.
//
// The unit registers them as the painters of lfUltraFlat and lfOffice11
// when the program starts; cxUltraFlatPaintersRegister does it again.
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

// ---------------------------------------------------------------------------
// TcxUltraFlatLookAndFeelPainter

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  KORVANE_CLASS(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  TcxUltraFlatLookAndFeelPainter() = default;

  // Metrics and colours.
  Byte StyleCode() const override;  // 2
  TColor CrossGlyphColor() const override;  // navy
  TColor ThinBorderColor() const override;  // clBtnShadow
  Integer BorderThickness() const override;  // 1
  Integer ButtonFrameWidth(TcxButtonState AState) const override;  // 2 for cxbsDefault, else 1
  // Hot: MixedLightHighlightColor; pressed: MixedHighlightColor; else
  // clBtnFace.
  TColor ButtonFaceColor(TcxButtonState AState) const override;
  TRect FocusRectOfButton(const TRect& ARect) const override;  // deflated by 3
  // (1, 2, 1, 2); the first and the last button one more on the outer side.
  TRect ButtonGroupMargins(Integer AButtonCount = 1, Integer AButtonIndex = 0) const override;
  TColor ButtonGlyphColor(TcxButtonState AState) const override;  // pressed: clHighlightText
  TcxButtonState ButtonGlyphState(TcxButtonState AState) const override;  // always cxbsNormal
  Integer ButtonContentMargin() const override;  // 2
  Integer PressedContentShift() const override;  // 0
  Integer ExpandGlyphSize() const override;  // 11
  bool HotTracksButtons() const override;  // true
  // All sides less the left one beside a left neighbour and the top one
  // below a top neighbour.
  TcxBorders HeaderVisibleBorders(TcxNeighbors ANeighbors) const override;
  Integer HeaderFrameWidth() const override;  // 1
  TPoint SortMarkSize() const override;  // 7 x 8
  TcxBorders FooterVisibleBorders() const override;  // right and bottom
  Integer FooterFrameWidth() const override;  // 1
  Integer FooterCellFrameWidth() const override;  // 1
  Integer FooterCellSpacing() const override;  // 2
  TPoint SmallBoxSize() const override;  // 12 x 12
  TPoint CloseButtonSize() const override;  // 16 x 15
  Integer TabFrameWidth() const override;  // 1

  // Drawing.
  void PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  // One button of a row: framed in AFrameColor (clDefault:
  // HotFrameColor(cxbsNormal)) when normal or disabled, with separators
  // towards its neighbours when hot or pressed; then its face.
  void PaintPlainButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                        TColor AFrameColor = clDefault, Integer AButtonIndex = 0,
                        Integer AButtonCount = 1) const override;
  void PaintFlatFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                      bool ASelected = false) const override;
  // A framed box filled with AColor (clBtnFace for clDefault) with the sign;
  // the box is then excluded from the canvas's clip region.
  void PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, bool AExpanded) const override;
  void PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  // The content (in the text rect less one pixel) and the frame, both on
  // the rect less one pixel.
  void PaintHeaderPlain(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                        TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                        TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                        bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                        TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) const override;
  void PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void PaintHeaderSectionFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                               TcxBorders ABorders = cxAllBorders) const override;
  // Hot, pressed and disabled sections are filled with ButtonFaceColor.
  void PaintHeaderSectionContent(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, const String& AText,
                                 TFont* AFont, TColor ATextColor, TAlignment AAlignmentHorz,
                                 TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                                 TcxButtonState AState) const override;
  void PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const override;
  void PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintFooterCellFrame(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                 bool AActive = false) const override;
  void PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                     TcxBorders ABorders = cxAllBorders, bool ASelected = false) const override;
  void PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect, TcxBorders ABorders = cxAllBorders) const override;
  void PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart, TcxButtonState AState,
                          bool AHorizontal) const override;
  void PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect, bool AHorizontal) const override;

  // ---- Added by this painter ----
  // The frame of a hot-tracked element: clBtnShadow when normal, else
  // clHighlight.
  virtual TColor HotFrameColor(TcxButtonState AState) const;
  virtual TColor TabAreaColor() const;  // clBtnShadow
  virtual TColor SelectedTabColor() const;  // clBtnText
  virtual TColor HighlightFrameColor() const;  // clHighlight
};

// ---------------------------------------------------------------------------
// TcxOffice11LookAndFeelPainter

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
public:
  KORVANE_CLASS(TcxOffice11LookAndFeelPainter, TcxUltraFlatLookAndFeelPainter)
  TcxOffice11LookAndFeelPainter() = default;

  // Metrics and colours (scheme colours unless said).
  Byte StyleCode() const override;  // 4
  TColor PainterColor(TcxPainterColor AColor) const override;
  TColor ThinBorderColor() const override;
  TColor FooterColor() const override;  // HeaderColor
  TColor FooterTextColor() const override;  // HeaderTextColor
  TColor HeaderColor() const override;  // the base face
  TColor BandBackgroundColor() const override;
  TColor ButtonFaceColor(TcxButtonState AState) const override;
  TColor ButtonGlyphColor(TcxButtonState AState) const override;
  bool ExpandGlyphPaintedFirst() const override;  // false
  Integer ExpandBoxSize() const override;  // ExpandGlyphSize
  TColor CheckFaceColor(TcxButtonState AState) const override;
  TcxBorders HeaderVisibleBorders(TcxNeighbors ANeighbors) const override;  // all
  bool HotTracksHeaders() const override;  // true
  TColor FooterSeparatorColor() const override;  // HeaderDarkColor

  // Drawing.
  void PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  // The scheme's expand button with its corners blended into what the
  // canvas already shows there (paint it after the background).
  void PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, bool AExpanded) const override;
  void PaintExpandBox(TcxCanvas* ACanvas, const TRect& ARect, TColor AFillColor, TColor AFrameColor,
                      bool AExpanded) const override;
  // As the base, without the caller's background event.
  void PaintHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                   TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                   TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const String& AText,
                   TFont* AFont, TColor ATextColor, TColor ABkColor,
                   const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsLast = false) const override;
  void PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  // A gradient background (plain with APlainFill), the text, and a hot
  // header's bright line along the bottom.
  void PaintHeaderContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                          TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                          bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
                          TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                          bool APlainFill = false) const override;
  // Drawn as a header; a pressed section is then inverted.
  void PaintHeaderSection(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState, TColor AColor,
                          const String& AText, TFont* AFont, TColor ATextColor, TAlignment AAlignmentHorz,
                          TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis) const override;
  void PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const override;
  // The native-theme painter's when the scroll-bar theme is available, else
  // the standard painter's.
  void PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart, TcxButtonState AState,
                          bool AHorizontal) const override;
  void PaintArrowsHeader(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors, const String& AText,
                         TFont* AFont, TColor ATextColor, TColor ABkColor,
                         const TcxDrawBackgroundEvent& AOnDrawBackground, TcxBorders ABorders,
                         TcxArrowDirections AArrows) const override;
  void PaintThinBorder(TcxCanvas* ACanvas, const TRect& ARect) const override;

  // The operations the ultra-flat painter added.
  TColor HotFrameColor(TcxButtonState AState) const override;
  TColor TabAreaColor() const override;
  TColor SelectedTabColor() const override;
  TColor HighlightFrameColor() const override;

  // ---- Added by this painter ----
  virtual TColor HeaderLightColor() const;  // the pale face
  virtual TColor HeaderDarkColor() const;  // the dark edge
  virtual TColor HeaderEdgeColor() const;  // the white edge
  virtual TColor HeaderMiddleColor() const;  // halfway between the middle and the pale face
};

// The class references.
inline TcxCustomLookAndFeelPainterClass cxUltraFlatLookAndFeelPainter() {
  return TcxUltraFlatLookAndFeelPainter::StaticClass();
}
inline TcxCustomLookAndFeelPainterClass cxOffice11LookAndFeelPainter() {
  return TcxOffice11LookAndFeelPainter::StaticClass();
}

// Registers the ultra-flat and Office 11 painters for lfUltraFlat and
// lfOffice11.
void cxUltraFlatPaintersRegister();
