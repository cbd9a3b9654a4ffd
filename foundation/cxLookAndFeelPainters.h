#pragma once
// Painters: the shared drawing of buttons, arrows, check boxes, expand
// boxes, headers, footers, indicator cells, scroll-bar parts, borders and
// tabs.
//
// A painter holds no state. Its class is what a look-and-feel answers
// (TcxCustomLookAndFeelPainterClass, a metaclass) and what code draws with.
// The class-level operations are the virtual member functions of one shared,
// immutable instance per painter class, which the metaclass hands out:
//
//   TcxCustomLookAndFeelPainterClass painter = LookAndFeel->Painter();
//   painter->Painter()->PaintButton(Canvas, R, cxbsHot);
//
// Because the operations are ordinary virtual functions, an operation of the
// base that calls another one (PaintButton calls ButtonFaceColor and
// PaintButtonFrame) reaches the most derived painter's version, as a class
// method called through the class does. A concrete painter derives from
// TcxCustomLookAndFeelPainter (or from another painter), names itself with
// KORVANE_CLASS and overrides what it draws differently; it never adds
// fields. Its shared instance is built on first use.
//
// Colours are TColor values; clDefault passed as a colour means the
// painter's own colour for that place. Rectangles passed in are never
// changed; operations that answer a rectangle return it.
#include <array>

#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/gui/graphics.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TBitmap;

// ---------------------------------------------------------------------------
// Arguments

// The state of a drawn element (0 to 4).
enum TcxButtonState : Integer { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };

enum TcxArrowDirection : Integer { adUp, adDown, adLeft, adRight };
using TcxArrowPoints = std::array<TPoint, 3>;

// A set of arrows for PaintArrows: 1 up, 2 down, 3 both.
using TcxArrowDirections = Cardinal;
enum : Cardinal { cxArrowUp = 1, cxArrowDown = 2 };

enum TcxAlignmentVert : Integer { vaTop, vaBottom, vaCenter };

// Which sides of a header touch another header: bit 1 left, 2 top, 4 right,
// 8 bottom (the same bits as TcxBorders).
using TcxNeighbors = Cardinal;
enum : Cardinal { nLeft = 1, nTop = 2, nRight = 4, nBottom = 8 };

// Row indicator images (0 draws nothing).
using TcxIndicatorKind = Integer;
enum : Integer { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow };

// Scroll-bar parts: arrow buttons 1 and 2, the thumb 3, the tracks 4 and 5.
enum TcxScrollBarPart : Integer { sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown };

enum TcxTabPosition : Integer { tpTop, tpBottom, tpLeft, tpRight };

// Pin-button images.
enum : Integer { cxPinAutoHideOn = 0, cxPinAutoHideOff = 1 };

// A background drawn by the caller: Code(Data, Canvas, Bounds) answers
// whether it drew. A code address below 0x10000 counts as absent.
using TcxDrawBackgroundProc = bool (*)(void* AData, TcxCanvas* ACanvas, const TRect& ABounds);
struct TcxDrawBackgroundEvent {
  TcxDrawBackgroundProc Code = nullptr;
  void* Data = nullptr;
  bool Assigned() const;
};

// The text flags of the four layout arguments: horizontal left 1, right 2,
// centre 4; vertical top 8, bottom 16, centre 32; single line 64 or word
// break 1024; end ellipsis 2048.
TcxTextFlags cxHeaderTextFlags(TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                               bool AShowEndEllipsis);

// The kind of a style code: 0 flat, 2 ultra-flat, 4 Office 11, any other
// value (the standard 1 and the native theme's 3) standard.
TcxLookAndFeelKind LookAndFeelStyleToKind(Byte AStyle);

// The colours that only painters ask for, by their place among the colour
// answers of the interface (the named neighbour they follow, then the
// position after it). TcxCustomLookAndFeelPainter::PainterColor answers
// them; painters override that one operation.
enum TcxPainterColor : Integer {
  // after StyleCode
  pcAfterStyleCode1, pcAfterStyleCode2, pcAfterStyleCode3, pcAfterStyleCode4, pcAfterStyleCode5, pcAfterStyleCode6,
  // after CrossGlyphColor
  pcAfterCrossGlyph1, pcAfterCrossGlyph2, pcAfterCrossGlyph3, pcAfterCrossGlyph4, pcAfterCrossGlyph5,
  // after ContentTextColor
  pcAfterContentText1, pcAfterContentText2, pcAfterContentText3,
  // after FooterTextColor
  pcAfterFooterText1, pcAfterFooterText2, pcAfterFooterText3, pcAfterFooterText4, pcAfterFooterText5,
  // after InactiveTextColor
  pcAfterInactiveText1, pcAfterInactiveText2, pcAfterInactiveText3, pcAfterInactiveText4, pcAfterInactiveText5,
  pcAfterInactiveText6, pcAfterInactiveText7,
  // after ThinBorderColor
  pcAfterThinBorder1, pcAfterThinBorder2, pcAfterThinBorder3,
  // after SelectionTextColor
  pcAfterSelectionText1, pcAfterSelectionText2, pcAfterSelectionText3, pcAfterSelectionText4,
};
inline constexpr Integer cxPainterColorCount = pcAfterSelectionText4 + 1;

// ---------------------------------------------------------------------------
// The painter metaclass: a painter class reference hands out the class's
// shared instance, whose virtual functions are the class operations.

class TcxCustomLookAndFeelPainterMetaClass : public TMetaClass {
public:
  template <class Self>
  TcxCustomLookAndFeelPainterMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName,
                                       TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent), FPainter(&SharedPainter<Self>) {}

  // The shared instance of the class (built on first use, never freed
  // before the program ends; it holds nothing).
  const TcxCustomLookAndFeelPainter* Painter() const { return FPainter(); }
  const TcxCustomLookAndFeelPainter* operator->() const { return Painter(); }

private:
  template <class Self>
  static const TcxCustomLookAndFeelPainter* SharedPainter() {
    static const Self instance{};
    return &instance;
  }
  const TcxCustomLookAndFeelPainter* (*FPainter)();
};

// The shared instance of a painter class (nullptr for nullptr).
const TcxCustomLookAndFeelPainter* PainterOf(TcxCustomLookAndFeelPainterClass APainterClass);

// ---------------------------------------------------------------------------
// TcxCustomLookAndFeelPainter: the interface and what the base draws.

class TcxCustomLookAndFeelPainter : public TObject {
public:
  using MetaClass = TcxCustomLookAndFeelPainterMetaClass;
  KORVANE_CLASS(TcxCustomLookAndFeelPainter, TObject)

  TcxCustomLookAndFeelPainter() = default;

  // This painter's class reference.
  TcxCustomLookAndFeelPainterClass PainterClass() const {
    return static_cast<TcxCustomLookAndFeelPainterClass>(ClassType());
  }
  // LookAndFeelStyleToKind(StyleCode()).
  TcxLookAndFeelKind Kind() const { return LookAndFeelStyleToKind(StyleCode()); }

  // ---- The operations, in the order of the interface ----

  // A filled down-pointing triangle: width half the rect's width made odd,
  // height width / 2 + 1, centred.
  virtual void PaintDownArrowGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor) const;
  // The background (by AOnDrawBackground, or filled with ABkColor when it is
  // absent or did not draw), then a non-empty text with a clear brush in the
  // font and text colour by the layout flags in ATextAreaBounds. The base
  // does not use AState and APlainFill.
  virtual void PaintHeaderContent(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                  TcxButtonState AState, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                  bool AMultiLine, bool AShowEndEllipsis, const String& AText, TFont* AFont,
                                  TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                                  bool APlainFill = false) const;
  virtual TRect FooterCellContentRect(const TRect& ARect) const;
  virtual TRect FooterCellTextRect(const TRect& ARect) const;
  // Flat 0, standard 1, ultra-flat 2, native theme 3, Office 11 4.
  virtual Byte StyleCode() const;
  // The unnamed colour answers (see TcxPainterColor).
  virtual TColor PainterColor(TcxPainterColor AColor) const;
  virtual TColor CrossGlyphColor() const;
  virtual TColor ContentColor() const;
  virtual TColor ContentTextColor() const;
  virtual TColor FooterColor() const;
  virtual TColor FooterTextColor() const;
  virtual TColor HeaderColor() const;
  virtual TColor HeaderTextColor() const;
  virtual TColor BandBackgroundColor() const;
  virtual TColor BandBackgroundTextColor() const;
  // The selection in an unfocused control.
  virtual TColor InactiveColor() const;
  virtual TColor InactiveTextColor() const;
  virtual TColor ThinBorderColor() const;
  virtual TColor SelectionColor() const;
  virtual TColor SelectionTextColor() const;

  // Arrows and buttons.
  virtual void PaintArrow(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, TcxArrowDirection ADirection) const;
  virtual void PaintArrowButton(TcxCanvas* ACanvas, const TRect& ARect, bool ADrawButton,
                                TcxArrowDirection ADirection, TcxButtonState AState) const;
  virtual void PaintButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const;
  virtual void PaintButtonArrow(TcxCanvas* ACanvas, const TRect& ARect, TcxArrowDirection ADirection,
                                TcxButtonState AState) const;
  virtual Integer BorderThickness() const;
  virtual void PaintBorder(TcxCanvas* ACanvas, const TRect& ARect) const;
  virtual Integer ButtonFrameWidth(TcxButtonState AState) const;
  virtual TColor ButtonFaceColor(TcxButtonState AState) const;
  // The rect deflated by 4; the whole rect when that is empty.
  virtual TRect FocusRectOfButton(const TRect& ARect) const;
  // The four margins of a button among ACount buttons (AIndex from 0); the
  // base answers ButtonFrameWidth(cxbsNormal) on each side.
  virtual TRect ButtonGroupMargins(Integer AButtonCount = 1, Integer AButtonIndex = 0) const;
  virtual Integer ButtonContentMargin() const;
  virtual Integer PressedContentShift() const;
  virtual TColor ButtonGlyphColor(TcxButtonState AState) const;
  virtual TcxButtonState ButtonGlyphState(TcxButtonState AState) const;
  // The frame (when ADrawFrame), the face (clDefault: ButtonFaceColor) and a
  // non-empty caption centred in one line in the canvas font (clDefault:
  // ButtonGlyphColor), embossed when disabled.
  virtual void PaintCaptionButton(TcxCanvas* ACanvas, const TRect& ARect, TColor ATextColor, TColor AFaceColor,
                                  bool ADrawFrame, TcxButtonState AState, const String& ACaption) const;
  // A button of a row of ACount buttons (AIndex from 0) whose frame is
  // AFrameColor; the base ignores the last three and draws a framed button.
  virtual void PaintPlainButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                TColor AFrameColor = clDefault, Integer AButtonIndex = 0,
                                Integer AButtonCount = 1) const;
  virtual void PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const;
  // The frame of a flat element: hot when AState is cxbsHot.
  virtual void PaintFlatFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                              bool ASelected = false) const;

  // Expand glyphs and boxes.
  virtual void PaintExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, bool AExpanded) const;
  virtual bool ExpandGlyphPaintedFirst() const;
  virtual void PaintGroupExpandGlyph(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                     bool AExpanded) const;
  virtual void PaintExpandBox(TcxCanvas* ACanvas, const TRect& ARect, TColor AFillColor, TColor AFrameColor,
                              bool AExpanded) const;
  virtual Integer ExpandGlyphSize() const;
  virtual Integer GroupExpandGlyphSize() const;
  virtual bool HotTracksButtons() const;
  virtual bool PointInGroupExpandGlyph(const TRect& ARect, const TPoint& APoint) const;
  virtual Integer ExpandBoxSize() const;

  // Check boxes and radio buttons.
  virtual Integer CheckFrameWidth() const;
  virtual TColor CheckFaceColor(TcxButtonState AState) const;
  virtual void PaintCheckFace(TcxCanvas* ACanvas, const TRect& ARect, TColor AMarkColor, bool AChecked,
                              TcxButtonState AState) const;
  virtual void PaintCheckFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const;
  virtual void PaintCheckBox(TcxCanvas* ACanvas, const TRect& ARect, bool AChecked, TcxButtonState AState) const;
  // The shared radio-button image of this painter's kind at (ALeft, ATop);
  // on a square of ABkColor unless that is clDefault. AFocused and
  // ASelected draw the ring emphasised where the kind has such a look.
  virtual void PaintRadioButton(TcxCanvas* ACanvas, Integer ALeft, Integer ATop, TcxButtonState AState,
                                bool AChecked, bool AFocused, bool ASelected, TColor ABkColor) const;

  // Headers.
  virtual void PaintHeader(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                           TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                           TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                           bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                           TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground,
                           bool AIsLast = false) const;
  virtual void PaintHeaderPlain(TcxCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                bool AShowEndEllipsis, const String& AText, TFont* AFont, TColor ATextColor,
                                TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground) const;
  virtual void PaintHeaderFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors,
                                TcxBorders ABorders) const;
  virtual void InvertHeaderArea(TcxCanvas* ACanvas, const TRect& ARect) const;
  // A section of a header control.
  virtual void PaintHeaderSection(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState, TColor AColor,
                                  const String& AText, TFont* AFont, TColor ATextColor, TAlignment AAlignmentHorz,
                                  TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis) const;
  virtual void PaintHeaderSectionFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                       TcxBorders ABorders = cxAllBorders) const;
  virtual void PaintHeaderSectionContent(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor,
                                         const String& AText, TFont* AFont, TColor ATextColor,
                                         TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                         bool AMultiLine, bool AShowEndEllipsis, TcxButtonState AState) const;
  virtual void PaintHeaderSectionText(TcxCanvas* ACanvas, const TRect& ARect, TColor ATextColor,
                                      const String& AText, TFont* AFont, TAlignment AAlignmentHorz,
                                      TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                                      TcxButtonState AState) const;
  virtual void PaintSortMark(TcxCanvas* ACanvas, const TRect& ARect, bool AAscending) const;
  virtual TcxBorders HeaderVisibleBorders(TcxNeighbors ANeighbors) const;
  virtual Integer HeaderFrameWidth() const;
  virtual TRect HeaderOuterRect(const TRect& ARect, TcxNeighbors ANeighbors, TcxBorders ABorders) const;
  virtual TRect HeaderContentRect(const TRect& ARect, TcxBorders ABorders) const;
  // Whether the caller fills the item background before painting a header.
  virtual bool HeaderBackgroundFillFirst() const;
  virtual Integer HeaderHeightForText(Integer ATextHeight) const;
  virtual Integer HeaderSectionFrameWidth(TcxButtonState AState) const;
  virtual TRect HeaderSectionTextRect(const TRect& ARect, TcxButtonState AState) const;
  virtual TRect HeaderSectionContentRect(const TRect& ARect, TcxButtonState AState) const;
  virtual Integer HeaderWidthForText(TcxCanvas* ACanvas, TcxBorders ABorders, TFont* AFont,
                                     const String& AText) const;
  // Whether headers are drawn hot under the mouse.
  virtual bool HotTracksHeaders() const;
  virtual TPoint SortMarkAreaSize() const;
  virtual TPoint SortMarkSize() const;

  // Footers.
  virtual void PaintFooterCell(TcxCanvas* ACanvas, const TRect& ARect, TAlignment AAlignmentHorz,
                               TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                               const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor) const;
  virtual TcxBorders FooterVisibleBorders() const;
  virtual Integer FooterFrameWidth() const;
  virtual Integer FooterCellFrameWidth() const;
  virtual Integer FooterCellSpacing() const;
  // False: the caller paints the band background behind a footer cell first.
  virtual bool FooterCellFillsBackground() const;
  virtual TColor FooterSeparatorColor() const;
  virtual Integer FooterSeparatorWidth() const;
  virtual void PaintFooterFrame(TcxCanvas* ACanvas, const TRect& ARect) const;
  virtual void PaintFooterCellFrame(TcxCanvas* ACanvas, const TRect& ARect) const;
  virtual void PaintFooterSeparator(TcxCanvas* ACanvas, const TRect& ARect) const;

  // Filter, close, glyph and pin buttons.
  virtual void PaintFilterCheckBox(TcxCanvas* ACanvas, const TRect& ARect, bool AChecked,
                                   TcxButtonState AState) const;
  virtual void PaintCloseButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const;
  // AActive: a filter is set (the arrow is drawn in blue by the painters).
  virtual void PaintFilterDropDownButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState,
                                         bool AActive = false) const;
  virtual TPoint FilterCheckBoxSize() const;
  virtual TPoint CloseButtonSize() const;
  // Fixed width; the height (0) follows the row.
  virtual TPoint FilterDropDownSize() const;
  // The boolean answer after FilterDropDownSize (true).
  virtual bool FilterDropDownFlag() const;
  // The two size answers after it ((16, 14) each).
  virtual TPoint SmallButtonSize() const;
  virtual TPoint SmallGlyphButtonSize() const;
  // The box-size answer after them ((13, 13)).
  virtual TPoint SmallBoxSize() const;
  virtual TPoint PinButtonSize() const;
  // The size answer after PinButtonSize ((16, 14)).
  virtual TPoint PinAreaButtonSize() const;
  virtual void PaintGlyphButton(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const;
  virtual void PaintCrossGlyph(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState AState) const;
  virtual void PaintPinButton(TcxCanvas* ACanvas, const TRect& ARect, Integer APinIndex,
                              TcxButtonState AState) const;

  // Tabs.
  virtual void PaintTab(TcxCanvas* ACanvas, const TRect& ARect, const String& AText, TFont* AFont,
                        TColor ATextColor, TcxButtonState AState, bool ASelected) const;
  virtual void PaintTabFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxTabPosition APosition,
                             TcxBorders ABorders = cxAllBorders, bool ASelected = false) const;
  virtual void PaintTabsArea(TcxCanvas* ACanvas, const TRect& ARect, TcxBorders ABorders = cxAllBorders) const;
  // The two integer answers after PaintTabsArea (0 each).
  virtual Integer TabsAreaMargin() const;
  virtual Integer TabSpacing() const;
  virtual Integer TabFrameWidth() const;

  // Indicators.
  virtual void PaintIndicatorCell(TcxCanvas* ACanvas, const TRect& ARect, TColor ABkColor,
                                  TcxIndicatorKind AKind) const;
  virtual void PaintIndicatorHeader(TcxCanvas* ACanvas, const TRect& ARect, TColor ABkColor,
                                    TcxIndicatorKind AKind) const;
  // The boolean answer after PaintIndicatorHeader (true).
  virtual bool IndicatorFlag() const;

  // Scroll bars, arrow headers, thin and splitter borders.
  virtual void PaintScrollBarPart(TcxCanvas* ACanvas, const TRect& ARect, TcxScrollBarPart APart,
                                  TcxButtonState AState, bool AHorizontal) const;
  virtual void PaintArrowsHeader(TcxCanvas* ACanvas, const TRect& ARect, TcxNeighbors ANeighbors,
                                 const String& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                                 const TcxDrawBackgroundEvent& AOnDrawBackground, TcxBorders ABorders,
                                 TcxArrowDirections AArrows) const;
  virtual void PaintThinBorder(TcxCanvas* ACanvas, const TRect& ARect) const;
  virtual void PaintSplitterBorder(TcxCanvas* ACanvas, const TRect& ARect, bool AHorizontal) const;

  // ---- Routines shared by the painters ----

  // The triangle of an arrow in ARect: with AMakeSquare the longer side is
  // first shortened equally at both ends. Points: the two base corners, then
  // the tip.
  static TcxArrowPoints ArrowGeometry(const TRect& ARect, bool AMakeSquare, TcxArrowDirection ADirection);
  // Up and/or down arrows stacked in ARect (its top moved down by
  // BorderThickness, then 1 pixel off at top and bottom).
  void PaintArrows(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, TcxArrowDirections AArrows) const;
  // Indicator image (AKind and 127) - 1 centred in ARect; 0 draws nothing.
  static void DrawIndicatorImage(TcxCanvas* ACanvas, const TRect& ARect, TcxIndicatorKind AKind);
  // A two-pixel diagonal cross centred in ARect (moved by (1, 1) when
  // pressed).
  static void DrawCloseCross(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, TcxButtonState AState);
  // Two two-pixel chevrons 4 rows apart centred in ARect: pointing up when
  // AExpanded, else down.
  static void DrawChevrons(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, bool AExpanded);
  // The minus (expanded) or plus sign of an expand box.
  static void DrawExpandSign(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor, bool AExpanded);
  // Three parallel strokes of a check mark in ARect.
  static void DrawCheckMark(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor);
  // A filled and outlined triangle in one colour.
  static void DrawTriangle(TcxCanvas* ACanvas, const TcxArrowPoints& APoints, TColor AColor);
  // Fills ARect with a solid brush in AColor.
  static void FillRectColor(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor);
  // A one-pixel frame in AColor.
  static void FrameRectColor(TcxCanvas* ACanvas, const TRect& ARect, TColor AColor);
};

// The base painter's class reference.
inline TcxCustomLookAndFeelPainterClass cxCustomLookAndFeelPainter() {
  return TcxCustomLookAndFeelPainter::StaticClass();
}

// The painter of a kind from the look-and-feel's registry, or the base
// painter while none is registered for it.
TcxCustomLookAndFeelPainterClass PainterClassOfKind(TcxLookAndFeelKind AKind);
