#pragma once
// The painting routines every editor shares, and a cache of solid brushes.
//
// Editors fill many small rectangles in solid colours; TcxSolidBrushCache
// keeps one brush per colour (sorted by colour, with use counts) so that no
// brush is created inside the paint loop. System colours 0 to 30 are served
// by the system's own brushes and never enter the cache. When the cache is
// full the least used entry makes room; a system colour change clears it.
//
// Beside it: the background, border and button drawing of editor view
// infos, arrows, dots, glyphs, poly-lines, button widths and small helpers.
#include <memory>
#include <vector>

#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "editors/cxEditStyles.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/gui/graphics.h"
#include "platform/gui/imagelist.h"
#include "platform/gui/regions.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/object.h"
#include "platform/rtl/variant.h"

class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxEditButtonViewInfo;

// ---------------------------------------------------------------------------
// TcxSolidBrushCache

inline constexpr Integer cxSolidBrushCacheDefaultDepth = 128;
// The number of system colours with a system brush.
inline constexpr Integer cxSystemBrushCount = 31;

class TcxSolidBrushCache : public TObject {
  KORVANE_CLASS(TcxSolidBrushCache, TObject)
  // AMaxDepth below 1 counts as 1. With AListenToPalette the cache clears
  // itself on every system colour change.
  explicit TcxSolidBrushCache(Integer AMaxDepth = cxSolidBrushCacheDefaultDepth, bool AListenToPalette = true);
  ~TcxSolidBrushCache() override;
  TcxSolidBrushCache(const TcxSolidBrushCache&) = delete;
  TcxSolidBrushCache& operator=(const TcxSolidBrushCache&) = delete;

  // The brush of the colour (owned by the cache or by the system; valid
  // until the cache drops it). A hit counts one use.
  HBRUSH GetBrush(TColor AColor);
  // Destroys every cached brush.
  void Clear();

  // Inspection.
  Integer Depth() const { return static_cast<Integer>(FColors.size()); }
  Integer MaxDepth() const { return FMaxDepth; }
  TColor ColorAt(Integer AIndex) const { return FColors.at(static_cast<size_t>(AIndex)); }
  HBRUSH BrushAt(Integer AIndex) const { return FBrushes.at(static_cast<size_t>(AIndex)); }
  Integer UseCountAt(Integer AIndex) const { return FUseCounts.at(static_cast<size_t>(AIndex)); }
  // The index of a cached colour, -1 when absent.
  Integer IndexOf(TColor AColor) const;
  // nullptr when the cache does not listen to palette changes.
  TcxSystemPaletteChangedNotifier* PaletteNotifier() const { return FNotifier.get(); }

private:
  // Binary search: true and the index on a hit, else false and the
  // insertion point that keeps the colours ascending.
  bool Find(TColor AColor, Integer& AIndex) const;
  void DeleteLeastUsed(Integer& AInsertIndex);
  void PaletteChanged() { Clear(); }

  Integer FMaxDepth;
  std::vector<TColor> FColors;
  std::vector<HBRUSH> FBrushes;
  std::vector<Integer> FUseCounts;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FNotifier;
};

// The program's cache (created on first use; cxEditPaintUtilsFinalize
// frees it).
TcxSolidBrushCache* SolidBrushCache();
// The system brush of a system colour index 0..30 (nullptr outside); taken
// from the system once, never deleted.
HBRUSH SystemColorBrushOf(Integer AIndex);
void cxEditPaintUtilsInitialize();
void cxEditPaintUtilsFinalize();

HBRUSH GetCachedSolidBrush(TColor AColor);
HBRUSH GetCachedSolidBrushForCanvas(TcxCanvas* ACanvas, TColor AColor);

// ---------------------------------------------------------------------------
// Small routines

// True only when both have the same variant type and compare equal.
bool VariantsEqualSameType(const Variant& A, const Variant& B);
// ARegion := ARegion united with AOther (nothing with a null region).
void CombineRegionsUnion(TcxRegion* ARegion, TcxRegion* AOther);
void FillRectByBrushHandle(HDC DC, const TRect& R, HBRUSH ABrush);
// Per dimension the larger.
TSize MaxSize(const TSize& A, const TSize& B);
// True for a null handle or a region without area.
bool IsRegionEmpty(HRGN ARegion);
// Sends WM_KEYDOWN (key, shift as key data) or WM_CHAR to the control's
// window (nothing for nullptr).
void SendKeyDown(TWinControl* AControl, Word AKey, TShiftState AShift);
void SendKeyPress(TWinControl* AControl, Char AChar);
// mbLeft -> ssLeft, mbRight -> ssRight, mbMiddle -> ssMiddle.
TShiftState MouseButtonToShiftFlag(TMouseButton AButton);
// MK_ flags of the mouse buttons and Shift/Ctrl of the shift state.
WPARAM ShiftStateToMouseKeyFlags(TShiftState AShift);
// Bit 2 -> bit 0, bit 1 stays, bit 5 -> bit 4, bit 4 -> bit 5, bit 6 ->
// 0x200; UnmapCheckBoxFlags is the reverse.
Word RemapCheckBoxFlags(Byte AFlags);
Byte UnmapCheckBoxFlags(Word AFlags);
// "&&" gives "&", a lone "&" is dropped, a trailing "&" gives "_".
String RemoveHotkeyPrefixes(const String& ACaption);

// ---------------------------------------------------------------------------
// Drawing routines

// Horizontal and vertical segments through APoints: with the pen
// (AUsePen), or pixel-exact as one-pixel-wide fills that include both end
// points.
void DrawOrthogonalPolyline(TcxCanvas* ACanvas, const std::vector<TPoint>& APoints, TColor AColor, bool AUsePen);
// The pixel extent (cx, cy) of an arrow fitting R: across the direction the
// smaller side - 1 halved and made odd (at least 1), along it half of that
// + 1; so left and right arrows are (depth, across), up and down (across,
// depth).
TSize CalcArrowExtent(const TRect& R, TcxArrowDirection ADirection);
// ACount arrows of ASize (as CalcArrowExtent gives) side by side, centred
// in R, shifted by one pixel when pressed.
void DrawArrowGroup(TcxCanvas* ACanvas, const TRect& R, TcxArrowDirection ADirection, Integer ACount,
                    const TSize& ASize, bool APressed, TColor AColor);
// Assigned, not empty, at least 1 x 1.
bool IsGlyphUsable(TBitmap* AGlyph);
// The glyph at R's top-left without its transparent colour (over
// ABackgroundColor unless clNone); disabled, grayed.
void DrawButtonGlyph(TcxCanvas* ACanvas, TBitmap* AGlyph, const TRect& R, bool AEnabled,
                     TColor ABackgroundColor = clNone);
void DrawImageListGlyph(TcxCanvas* ACanvas, TImageList* AImages, Integer AIndex, const TRect& R,
                        TColor ABackgroundColor, bool AEnabled);
// The native painter when native style is on and a theme is open, else the
// painter of the kind.
TcxCustomLookAndFeelPainterClass GetEditPainterClass(bool ANativeStyle, TcxLookAndFeelKind AKind);

// ---------------------------------------------------------------------------
// Colours

// The system hot-light colour (this platform always has it).
TColor GetHotTrackTextColor();
// The Office 11 highlight colour, else clHighlight.
TColor GetHighlightBorderColor(bool AIsOffice11);
// The hot (or pressed) button face of the ultra-flat or Office 11 painter.
TColor GetFlatButtonStateColor(bool APressed, bool AIsOffice11);

// ---------------------------------------------------------------------------
// Editor painting

// The horizontal room a button style takes for its frame.
Integer EditButtonFrameExtent(TcxEditButtonStyle AStyle);
// The width a button takes: its Width when at least 1; a usable glyph plus
// the frame extent; a text button the larger of frame extent + caption
// width + 3 and the system horizontal scroll-arrow height; else that height.
Integer CalcEditButtonWidth(TcxCanvas* ACanvas, TcxEditButtonViewInfo* AViewInfo);
// (3, 4) stand-alone; in place (3, 3) with a native look, else (3, 2).
TPoint GetEditContentMargins(TcxCustomEditViewData* AViewData);
// The background, border and buttons of an editor view info.
void DrawEditBackgroundAndButtons(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);
// The frame of button AIndex in AStyle; ARect receives the content
// rectangle inside it.
void DrawEditButtonFrame(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, Integer AIndex, TRect& ARect,
                         TcxEditButtonStyle AStyle);
// The content of button AIndex by its kind inside AContentRect.
void DrawEditButtonContent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, Integer AIndex,
                           const TRect& AContentRect);
// Three square dots of ADotSize, 2 apart (total width 3 x dot + 4), centred
// in AArea; disabled, embossed (button highlight at (1, 1), then button
// shadow in place).
void DrawEllipsisDots(TcxCanvas* ACanvas, const TRect& AArea, Integer ADotSize, bool AEnabled, bool APressed,
                      TColor AColor);
// 2 for a button wider than 11 pixels, else 1.
Integer EllipsisDotSize(Integer AButtonWidth);
// The free space split in halves; a pressed shift puts the odd pixel on
// the right (or below).
Integer CenteredOffset(Integer AFree, bool APressed);
