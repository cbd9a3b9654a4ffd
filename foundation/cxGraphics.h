#pragma once
// The library's drawing object and its small drawing helpers.
//
// TcxCanvas wraps a platform canvas (not owned) and gives painters, controls
// and editors the few operations they draw with: framed and banded fills,
// 3-D edge rings, tiled bitmaps, inversion, glyph bitmaps, text in a
// rectangle by the library's text flags, and clipping that is saved and
// restored as TcxRegion objects. TcxRegion owns one region handle.
// TcxScreenCanvas measures text without a window.
//
// Beside them: rectangle and point arithmetic, blending one bitmap over
// another with constant opacity, the drop-position arrows, the halftone fill,
// the shared screen canvas, the system-colour brushes and a brush cache
// whose deletions can be deferred while it is locked.
#include <memory>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/graphics.h"
#include "platform/gui/regions.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

// ---------------------------------------------------------------------------
// Borders, grid lines

enum TcxBorder : Integer { bLeft, bTop, bRight, bBottom };
// A set of TcxBorder values: bit (1 << border).
using TcxBorders = Cardinal;
constexpr TcxBorders BorderBit(TcxBorder ABorder) { return 1u << static_cast<Cardinal>(ABorder); }
inline constexpr TcxBorders cxAllBorders = 0xF;

enum TcxGridLines : Integer { glBoth, glNone, glVertical, glHorizontal };

// ---------------------------------------------------------------------------
// Text flags: the 16-bit word every text call of the library takes.

using TcxTextFlags = Word;
enum : TcxTextFlags {
  cxAlignLeft = 0x0001,     // the absence of cxAlignRight and cxAlignHCenter means the same
  cxAlignRight = 0x0002,
  cxAlignHCenter = 0x0004,
  cxAlignTop = 0x0008,      // the absence of cxAlignBottom and cxAlignVCenter means the same
  cxAlignBottom = 0x0010,
  cxAlignVCenter = 0x0020,
  cxSingleLine = 0x0040,
  cxDontClip = 0x0080,
  cxExpandTabs = 0x0100,
  cxShowPrefix = 0x0200,    // '&' marks the accelerator
  cxWordBreak = 0x0400,
  cxShowEndEllipsis = 0x0800,
  cxCalcRect = 0x1000,
  cxShowPathEllipsis = 0x2000,
};

// The DrawText format of a text-flags word: DT_NOPREFIX plus one format bit
// per flag (show-prefix removes DT_NOPREFIX; word break also adds
// DT_EDITCONTROL).
Cardinal TextFlagsToDrawTextFormat(TcxTextFlags AFlags);

// ---------------------------------------------------------------------------
// Derived colours

// The nearest colour the screen shows (RGB).
TColor GetNearestScreenColor(TColor AColor);
// Blends of the button face, highlight and window colours, used for the
// selected and hot faces of the ultra-flat look. A black or white button
// face gives the highlight colour.
TColor MixedHighlightColor();
TColor MixedLightHighlightColor();

// ---------------------------------------------------------------------------
// TcxRegion: owns one region handle.

// How CombineWith and ApplyClipRegion merge a region into another.
enum TcxRegionOperation : Integer { roCopy = 0, roUnion = 1, roSubtract = 2, roIntersect = 3 };

class TcxRegion : public TObject {
  KORVANE_CLASS(TcxRegion, TObject)
  // Adopts the handle (it is deleted with the region).
  explicit TcxRegion(HRGN AHandle);
  explicit TcxRegion(const TRect& ARect);
  TcxRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
  // The empty rectangle 0, 0, 0, 0.
  TcxRegion();
  ~TcxRegion() override;
  TcxRegion(const TcxRegion&) = delete;
  TcxRegion& operator=(const TcxRegion&) = delete;

  // The named constructors; each answers a new region owned by the caller.
  static TcxRegion* CreateFromHandle(HRGN AHandle) { return new TcxRegion(AHandle); }
  static TcxRegion* CreateFromRect(const TRect& ARect) { return new TcxRegion(ARect); }
  static TcxRegion* CreateFromBounds(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) {
    return new TcxRegion(ALeft, ATop, ARight, ABottom);
  }
  static TcxRegion* CreateEmpty() { return new TcxRegion(); }

  HRGN Handle() const { return FHandle; }
  void Offset(Integer DX, Integer DY);
  // roCopy: this region becomes a copy of ARegion; roUnion, roSubtract,
  // roIntersect: this region := this <op> ARegion. With ADestroyRegion the
  // given region is freed afterwards (never this region itself). A null
  // ARegion changes nothing.
  void CombineWith(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion);
  // Deletes the handle; the region is a null handle afterwards.
  void DestroyHandle();

private:
  HRGN FHandle = nullptr;
};

// ---------------------------------------------------------------------------
// TcxCanvas

class TcxCanvas : public TObject {
  KORVANE_CLASS(TcxCanvas, TObject)
  // Wraps ACanvas, which must outlive this object.
  explicit TcxCanvas(TCanvas* ACanvas);

  TCanvas* Canvas() const { return FCanvas; }

  // Forwarders to the wrapped canvas.
  TBrush* GetBrush() const { return FCanvas->Brush(); }
  TFont* GetFont() const { return FCanvas->Font(); }
  TPen* GetPen() const { return FCanvas->Pen(); }
  HDC GetHandle() const { return FCanvas->Handle(); }
  void SetBrush(TBrush* Value) { FCanvas->SetBrush(Value); }
  void SetFont(TFont* Value) { FCanvas->SetFont(Value); }
  void SetPixel(Integer X, Integer Y, TColor AColor) { FCanvas->SetPixels(X, Y, AColor); }
  // Copies ASource of ASourceCanvas to ADest with the canvas's copy mode.
  void CopyRectFrom(const TRect& ADest, TCanvas* ASourceCanvas, const TRect& ASource) {
    FCanvas->CopyRect(ADest, ASourceCanvas, ASource);
  }
  void DrawGraphic(Integer X, Integer Y, TGraphic* AGraphic) { FCanvas->Draw(X, Y, AGraphic); }
  void MovePenTo(Integer X, Integer Y) { FCanvas->MoveTo(X, Y); }
  void DrawLineTo(Integer X, Integer Y) { FCanvas->LineTo(X, Y); }
  void DrawPolygon(const std::vector<TPoint>& APoints) { FCanvas->Polygon(APoints); }
  void DrawPolyline(const std::vector<TPoint>& APoints) { FCanvas->Polyline(APoints); }
  // The polyline with the pen in AColor.
  void DrawPolyline(const std::vector<TPoint>& APoints, TColor AColor);
  TPoint GetWindowOrigin() const;
  // Assigns the brush colour only when it differs from the current one.
  void SetBrushColor(TColor AColor);

  // Drawing. Empty rectangles draw nothing; clNone as a colour paints nothing.

  // FillRect with the brush when ABitmap is nullptr or empty; else ABitmap
  // is tiled over ARect on a grid anchored at the logical origin, so that
  // fills of neighbouring rectangles line up.
  void FillRectOrTileBitmap(const TRect& ARect, TBitmap* ABitmap);
  // DrawBorderBands(ARect, AFrameColor, ABorders, AWidth), then the inside
  // (ARect less AWidth on each chosen side) filled with ABitmap when it has
  // pixels, else with AColor.
  void DrawFramedFill(const TRect& ARect, TBitmap* ABitmap, TColor AColor, Integer AWidth, TColor AFrameColor,
                      TcxBorders ABorders);
  // Bands of AWidth along the chosen sides, each limited to ARect (left,
  // right, top, bottom; they overlap in the corners). clDefault keeps the
  // brush colour.
  void DrawBorderBands(const TRect& ARect, TColor AColor, TcxBorders ABorders, Integer AWidth);
  // Bands of AWidth along the chosen sides in the order left, top, right,
  // bottom: left and top in ALeftTopColor, right and bottom in
  // ARightBottomColor (so those win the corners they share).
  void DrawTwoColorBorders(const TRect& ARect, TColor ALeftTopColor, Integer AWidth, TcxBorders ABorders,
                           TColor ARightBottomColor);
  // A one-pixel raised or sunken ring, outer or inner, in the 3-D colours.
  void DrawEdgeRing(const TRect& ARect, bool ASunken, bool AOuter, TcxBorders ABorders);
  // The dotted focus rectangle (drawing it twice restores the pixels).
  void DrawFocusFrame(const TRect& ARect);
  void InvertArea(const TRect& ARect);
  // Inverts a frame of AWidth inside ARect; no pixel is inverted twice.
  void InvertFrame(const TRect& ARect, Integer AWidth);
  // Draws ABitmap at (X, Y) leaving out its transparent colour; the left-out
  // pixels show ABackgroundColor (clNone: what lies below). Disabled, the
  // glyph is embossed.
  void DrawGlyphBitmap(Integer X, Integer Y, TColor ABackgroundColor, bool AEnabled, TBitmap* ABitmap);
  // Turns or flips the bitmap in place. AOperation 0: with AMirror a flip
  // from top to bottom; 1: a quarter turn counter-clockwise (with AMirror:
  // transposed); 2: a quarter turn clockwise (with AMirror: the other
  // diagonal); 3: a half turn (with AMirror: a flip from left to right).
  void RotateBitmap(TBitmap* ABitmap, Integer AOperation, bool AMirror);

  // Text in the font colour over the brush, laid out in ARect by the text
  // flags; disabled text is embossed (highlight shadow one pixel down and
  // right, then the text in the button shadow colour) and keeps one pixel
  // at the right and bottom for that shadow. The brush style and the font
  // colour are as before afterwards. Text that does not fit in ARect (all
  // its lines, for multi-line text) is clipped to it.
  void DrawTextWithFlags(const String& AText, const TRect& ARect, bool AEnabled, TcxTextFlags AFlags);
  // The rectangle the text needs by the flags, placed inside ARect's size by
  // its alignment.
  void MeasureTextRect(const String& AText, TRect& ARect, TcxTextFlags AFlags);
  // The extent in the current font; (0, 0) for an empty text.
  TSize GetTextSize(const String& AText);
  Integer GetTextWidth(const String& AText) { return GetTextSize(AText).cx; }
  Integer GetTextHeight(const String& AText) { return GetTextSize(AText).cy; }
  // Makes AFont the canvas font and answers the height of "Qq".
  Integer MeasureFontHeight(TFont* AFont);

  // Clipping. Rectangles are logical coordinates.
  void ClipOutRect(const TRect& ARect);
  void ClipToRect(const TRect& ARect);
  // True when some part of the rectangle lies inside the clip region.
  bool IsRectVisible(const TRect& ARect);
  // A new region (owned by the caller) holding the clip region in device
  // coordinates; without one, the rectangle 0, 0, 107374182, 107374182.
  TcxRegion* CopyClipRegion();
  // roCopy: the region (device coordinates, as CopyClipRegion gives it)
  // becomes the clip region. roUnion, roSubtract, roIntersect: the region is
  // taken in logical coordinates and combined into the clip region. With
  // ADestroyRegion the region is freed afterwards; otherwise it is left as
  // it was. The save/restore idiom:
  //   TcxRegion* saved = Canvas->CopyClipRegion();
  //   ... clip and draw ...
  //   Canvas->ApplyClipRegion(saved, roCopy, true);
  void ApplyClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion);

private:
  // Makes the font and brush the device context's text and background
  // colours, as the canvas's own text calls do.
  void Realize() { FCanvas->Realize(); }
  void FillBand(const TRect& ARect, TColor AColor);
  void OutputText(const String& AText, TRect ARect, TcxTextFlags AFlags, bool ADrawTextPath);
  // The size of every line of AText laid out by the flags in ARect's width.
  TSize MeasuredTextSize(const String& AText, const TRect& ARect, TcxTextFlags AFlags);

  TCanvas* FCanvas;
};

// A canvas on the screen: here a canvas without pixels that measures text.
class TScreenCanvas : public TCanvas {
  KORVANE_CLASS(TScreenCanvas, TCanvas)
  TScreenCanvas() = default;
};

// A TcxCanvas that creates, wraps and frees its own TScreenCanvas.
class TcxScreenCanvas : public TcxCanvas {
  KORVANE_CLASS(TcxScreenCanvas, TcxCanvas)
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;

private:
  std::unique_ptr<TScreenCanvas> FScreenCanvas;
};

// The resolved look of one element (bitmap, colour, font, text colour),
// defined with the styles in foundation/cxStyles.h.
struct TcxStyleParams;

// ---------------------------------------------------------------------------
// Rectangle and point routines. A "size point" holds a width in X and a
// height in Y. None changes its arguments unless said.

Integer HeightOfRect(const TRect& R);
Integer WidthOfRect(const TRect& R);
TPoint SizeOfRect(const TRect& R);
bool RectsIntersect(const TRect& A, const TRect& B);
// R := the intersection of A and B; false and an all-zero R when empty.
bool IntersectRectsInto(TRect& R, const TRect& A, const TRect& B);
TRect GrowRect(const TRect& R, Integer DX, Integer DY);
TRect GrowRectSides(const TRect& R, Integer DL, Integer DT, Integer DR, Integer DB);
TRect DeflateRectBy2(const TRect& R);
// Left >= Right or Top >= Bottom.
bool RectIsEmpty(const TRect& R);
bool RectsEqual(const TRect& A, const TRect& B);

// A running vertical extent: the least Top and the greatest Bottom of the
// rectangles included since the last reset; a reset one is (MaxInt, -1).
struct TcxVerticalExtent {
  Integer Top = 0x7FFFFFFF;
  Integer Bottom = -1;
};
void ResetVerticalExtent(TcxVerticalExtent& AExtent);
void IncludeInVerticalExtent(TcxVerticalExtent& AExtent, const TRect& R);

TRect ShiftRect(const TRect& R, Integer DX, Integer DY);
TRect ShiftRectByPoint(const TRect& R, const TPoint& P);
TRect ShiftRectByPointSum(const TRect& R, const std::vector<TPoint>& APoints);
// Left <= X < Right and Top <= Y < Bottom.
bool PointInRect(const TRect& R, const TPoint& P);
TRect MakeRect(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom);
TRect RectWithHeight(const TRect& R, Integer H);
TRect RectWithWidth(const TRect& R, Integer W);
TRect RectWithSize(const TRect& R, Integer W, Integer H);
// Moved vertically so that Top = Y; the height is kept.
TRect RectWithTop(const TRect& R, Integer Y);
TRect RectWithTopAndHeight(const TRect& R, Integer Y, Integer H);
TRect RectWithLeftAndWidth(const TRect& R, Integer X, Integer W);
TRect RectWithHorzSpan(const TRect& R, Integer X, Integer W);
// Halves rounded toward zero.
TPoint CenterOfRect(const TRect& R);
// A W x H rectangle centred in R.
TRect CenteredRect(const TRect& R, Integer W, Integer H);
TPoint MakePoint(Integer X, Integer Y);
TPoint MakeSizePoint(Integer W, Integer H);
TPoint AddPoints(const TPoint& A, const TPoint& B);
TPoint NegatePoint(const TPoint& P);
TPoint ShiftPoint(const TPoint& P, Integer DX, Integer DY);
TPoint ShiftPointByPointSum(const TPoint& P, const std::vector<TPoint>& APoints);

// ---------------------------------------------------------------------------
// Drawing and measuring routines

// ADest := AOverlay over ABackground with the opacity AAlpha / 255 (all three
// of one size; only the area they share is blended).
void DrawBitmapBlended(TBitmap* ADest, TBitmap* ABackground, TBitmap* AOverlay, Byte AAlpha);
// A new bitmap of that size (a size point) and pixel format.
std::unique_ptr<TBitmap> CreateBitmapOfSize(const TPoint& ASize, TPixelFormat APixelFormat);
// Copies ARect shifted by ASourceOffset in ASource to ARect shifted by
// ADestOffset in ADest.
void CopyBitmapArea(TBitmap* ASource, TBitmap* ADest, const TPoint& ASourceOffset, const TRect& ARect,
                    const TPoint& ADestOffset);
// Two filled arrows that point at each other across one edge of ARect (drop
// marks): AKind 0 the left edge, 1 the top edge, 2 the right edge, 3 the
// bottom edge. A pen colour of clDefault outlines them in the inverse of the
// fill colour.
void DrawArrows(TcxCanvas* ACanvas, const TRect& ARect, Integer AKind, TColor APenColor, TColor ABrushColor);
// Fills ARect with the halftone checkerboard in ABackColor and AForeColor;
// the device context's colours are as before afterwards.
void FillHalftoneRect(TcxCanvas* ACanvas, const TRect& ARect, TColor ABackColor, TColor AForeColor);
// Font := AParams.Font (when set), font colour := AParams.TextColor, brush
// colour := AParams.Color.
void ApplyViewParams(TcxCanvas* ACanvas, const TcxStyleParams& AParams);
// Sets the window origin to P; P receives the previous origin.
void SetCanvasWindowOrigin(TcxCanvas* ACanvas, TPoint& P);
// The extent of the text measured in AFont on the shared screen canvas.
Integer TextWidthInFont(TFont* AFont, const String& AText);
Integer TextHeightInFont(TFont* AFont, const String& AText);
// The shared measuring canvas, created on first use.
TcxScreenCanvas* SharedScreenCanvas();

// The brushes of the system colours 0..30 (nullptr outside), whose handles
// are the system's own brushes, and the halftone brush (an 8 x 8
// checkerboard pattern in the device context's text and background colours).
TBrush* SystemColorBrush(Integer AIndex);
TBrush* HalftoneBrush();

// The blending entry point DrawBitmapBlended uses; nullptr makes it blend the
// pixels itself. Bound to the platform's AlphaBlend at start-up.
using TAlphaBlendProc = bool (*)(HDC, Integer, Integer, Integer, Integer, HDC, Integer, Integer, Integer, Integer,
                                 const BLENDFUNCTION&);
TAlphaBlendProc BoundAlphaBlend();
void SetBoundAlphaBlend(TAlphaBlendProc AProc);

// ---------------------------------------------------------------------------
// TcxBrushCache: solid brushes shared by colour with use counts. Lock and
// Unlock bracket work during which entries whose use ends are only marked
// (negative count) and removed at the last Unlock.

class TcxBrushCache : public TObject {
  KORVANE_CLASS(TcxBrushCache, TObject)
  TcxBrushCache();
  ~TcxBrushCache() override;
  TcxBrushCache(const TcxBrushCache&) = delete;
  TcxBrushCache& operator=(const TcxBrushCache&) = delete;

  // One more use of the colour's brush (a marked entry is taken back into
  // use); answers the brush, owned by the cache.
  TBrush* AddColor(TColor AColor);
  // One use less; at no use left the entry is deleted, or, while locked,
  // marked for deletion at the last Unlock. An unknown colour is ignored.
  void ReleaseColor(TColor AColor);
  // The brush of the colour, nullptr when the cache holds none.
  TBrush* Brushes(TColor AColor) const;

  void Lock();
  void Unlock();

  // Inspection: entries (marked ones included), the use count of a colour
  // (0 when absent, negative when marked), deletions waiting for Unlock.
  Integer Count() const { return static_cast<Integer>(FEntries.size()); }
  TColor ColorAt(Integer AIndex) const { return FEntries.at(static_cast<size_t>(AIndex)).Color; }
  Integer UseCount(TColor AColor) const;
  Integer DeferredCount() const { return FDeferredCount; }
  Integer LockCount() const { return FLockCount; }

private:
  struct TEntry {
    std::unique_ptr<TBrush> Brush;
    TColor Color = clNone;
    Integer RefCount = 0;
  };
  Integer IndexOf(TColor AColor) const;
  void Delete(Integer AIndex);
  void Pack();

  std::vector<TEntry> FEntries;
  Integer FDeferredCount = 0;
  Integer FLockCount = 0;
};
