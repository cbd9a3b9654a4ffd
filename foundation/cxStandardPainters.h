#pragma once
// The standard painter (the classic raised and sunken 3-D look) and the flat
// painter (the same elements with one-pixel edges).
//
// Both derive from TcxCustomLookAndFeelPainter and override only what they
// draw differently. The unit registers them with the look-and-feel as the
// painters of lfStandard and lfFlat when the program starts;
// cxStandardPaintersRegister does it again (after a test cleared the
// registry, or for a program that links the unit without naming a class).
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

// ---------------------------------------------------------------------------
// TcxStandardLookAndFeelPainter

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  KORVANE_CLASS(TcxStandardLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  TcxStandardLookAndFeelPainter() = default;

  // Metrics and colours.
  Byte StyleCode() const override;  // 1
  TColor PainterColor(TcxPainterColor AColor) const override;
  Integer BorderThickness() const override;                       // 2
  Integer ButtonFrameWidth(TcxButtonState AState) const override;  // 3 for cxbsDefault, else 2
  Integer ButtonContentMargin() const override;                   // 1
  Integer PressedContentShift() const override;                   // 1
  Integer ExpandGlyphSize() const override;                       // 12
  Integer HeaderFrameWidth() const override;                      // 1
  Integer HeaderSectionFrameWidth(TcxButtonState AState) const override;  // 1 pressed, else 2
  TPoint SortMarkSize() const override;                           // 8 x 7
  Integer FooterFrameWidth() const override;                      // 1
  Integer FooterCellFrameWidth() const override;                  // 1
  Integer FooterCellSpacing() const override;                     // 1
  Integer TabFrameWidth() const override;                         // 1

  // Drawing.
  void PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  // A raised box filled with AColor (clBtnFace for clDefault) with the sign;
  // the box is then excluded from the canvas's clip region.
  void PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, bool AExpanded) const override;
  // Drawn by the flat painter.
  void PaintGroupExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                             bool AExpanded) const override;
  void PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  void PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void PaintHeaderSectionFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                               TcxBorders ABorders = cxAllBorders) const override;
  void PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const override;
  void PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintFooterCellFrame(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                 bool AActive = false) const override;
  void PaintCrossGlyph(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  void PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                     TcxBorders ABorders = cxAllBorders, bool ASelected = false) const override;
  void PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect, TcxBorders ABorders = cxAllBorders) const override;
  // Nothing for an empty rect or a disabled thumb; hot draws as normal.
  void PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart, TcxButtonState AState,
                          bool AHorizontal) const override;
  // A black band on the sides without a left or right neighbour (top and
  // bottom always), the content inside, the arrows in clWindowText.
  void PaintArrowsHeader(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors, const String& AText,
                         TFont* AFont, TColor ATextColor, TColor ABkColor,
                         const TcxDrawBackgroundEvent& AOnDrawBackground, TcxBorders ABorders,
                         TcxArrowDirections AArrows) const override;
  // Two pairs of lines along the splitter's long sides, the rest filled with
  // the canvas brush.
  void PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect, bool AHorizontal) const override;
};

// ---------------------------------------------------------------------------
// TcxFlatLookAndFeelPainter

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  KORVANE_CLASS(TcxFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  TcxFlatLookAndFeelPainter() = default;

  Byte StyleCode() const override;                                 // 0
  Integer BorderThickness() const override;                        // 1
  Integer ButtonFrameWidth(TcxButtonState AState) const override;  // 2 for cxbsDefault, else 1
  Integer ButtonContentMargin() const override;                    // 1
  Integer PressedContentShift() const override;                    // 1
  Integer ExpandGlyphSize() const override;                        // 11
  Integer HeaderFrameWidth() const override;                       // 1
  TPoint SortMarkSize() const override;                            // 8 x 7
  Integer FooterFrameWidth() const override;                       // 1
  Integer FooterCellFrameWidth() const override;                   // 1
  Integer FooterCellSpacing() const override;                      // 1
  Integer TabFrameWidth() const override;                          // 1

  void PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  // This painter's PaintCaptionButton in AColor with the sign one pixel in;
  // the box is then excluded from the canvas's clip region.
  void PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, bool AExpanded) const override;
  void PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  void PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors,
                        TcxBorders ABorders) const override;
  void PaintHeaderSectionFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                               TcxBorders ABorders = cxAllBorders) const override;
  void PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const override;
  void PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintFooterCellFrame(TcxCanvas* ACanvas, const TRect& ARect) const override;
  void PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                 bool AActive = false) const override;
  void PaintCrossGlyph(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const override;
  void PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                     TcxBorders ABorders = cxAllBorders, bool ASelected = false) const override;
  void PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect, TcxBorders ABorders = cxAllBorders) const override;
  // Buttons and thumb as caption buttons with arrows; nothing for an empty
  // rect or a disabled thumb.
  void PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart, TcxButtonState AState,
                          bool AHorizontal) const override;
  void PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect, bool AHorizontal) const override;
};

// ---------------------------------------------------------------------------
// Routines the other painters share

// A 3-D sort mark of ASize (a size point) centred in ARect: pointing up when
// AAscending, else down; lit edges in ALightColor, shaded ones in
// ADarkColor.
void cxPaintSortMark3D(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending, const TPoint& ASize,
                       TColor ALightColor, TColor ADarkColor);
// A scroll-bar part drawn the flat way through APainter's operations:
// arrow buttons and thumb as framed caption buttons (the buttons with
// PaintButtonArrow inside), tracks with the checker brush. Nothing for an
// empty rect or a disabled thumb.
void cxPaintFlatScrollBarPart(const TcxCustomLookAndFeelPainter* APainter, TcxCanvas* ACanvas, const TRect& ARect,
                              TcxScrollBarPart APart, TcxButtonState AState, bool AHorizontal);
// A scroll-bar track filled with the checker bitmap (the dark one when
// pressed), tiled from the canvas origin.
void cxPaintScrollBarTrack(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState);

// The class references.
inline TcxCustomLookAndFeelPainterClass cxStandardLookAndFeelPainter() {
  return TcxStandardLookAndFeelPainter::StaticClass();
}
inline TcxCustomLookAndFeelPainterClass cxFlatLookAndFeelPainter() {
  return TcxFlatLookAndFeelPainter::StaticClass();
}

// Registers the standard and flat painters for lfStandard and lfFlat.
void cxStandardPaintersRegister();
