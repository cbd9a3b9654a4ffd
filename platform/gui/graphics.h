#pragma once
// Drawing: pens, brushes, fonts, the canvas and the device-context functions
// that work on a canvas through its handle.
//
// A TCanvas draws on the pixels of a TBitmap (a control's back buffer or a
// free image); a canvas without a bitmap only measures text. The canvas's
// handle (HDC) is the canvas itself, so code written against device contexts
// keeps a handle and calls the free functions below with it. Coordinates
// given to drawing calls are logical: device = logical - window origin +
// viewport origin. The clip region is held in device coordinates.
//
// Colours are TColor values (0x00BBGGRR or a system colour); clNone paints
// nothing where a call takes a background colour.
#include <memory>
#include <vector>

#include "platform/gui/regions.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TBitmap;
class TCanvas;
class TStream;
using HDC = TCanvas*;

// Creates the process's GUI application object once when none exists yet, so
// fonts and painters work (also headless). Safe to call any number of times.
void EnsureGuiRuntime();

// ---- Pens, brushes, fonts -------------------------------------------------------------

enum TPenStyle : Integer { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// How a pen (or a brush fill) combines with the pixels below it.
enum TPenMode : Integer {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle : Integer { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

using TFontStyles = Cardinal;
enum : Cardinal { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
enum TFontPitch : Integer { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;
enum : Byte { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, GB2312_CHARSET = 134 };

// Base of pens, brushes and fonts: OnChange fires after every change.
class TGraphicsObject : public TPersistent {
  KORVANE_CLASS(TGraphicsObject, TPersistent)
  TNotifyEvent OnChange;

protected:
  virtual void Changed();
};

class TPen : public TGraphicsObject {
  KORVANE_CLASS(TPen, TGraphicsObject)
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  void Assign(TPersistent* Source) override;

private:
  TColor FColor = clBlack;
  Integer FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

// A brush's pattern: pixels as 0x00BBGGRR, row by row. A monochrome pattern
// holds 0 and 1; it paints its 0 pixels in the device context's text colour
// and its 1 pixels in its background colour.
struct TBrushPattern {
  Integer Width = 0;
  Integer Height = 0;
  bool Mono = false;
  std::vector<Cardinal> Pixels;
  bool Empty() const { return Width <= 0 || Height <= 0; }
  friend bool operator==(const TBrushPattern&, const TBrushPattern&) = default;
};

// A brush by handle (CreateSolidBrush, CreatePatternBrush, GetSysColorBrush).
struct TBrushObject {
  TBrushStyle Style = bsSolid;
  TColor Color = clWhite;
  TBrushPattern Pattern;
  bool SystemOwned = false;  // DeleteObject leaves it alone
};
using HBRUSH = TBrushObject*;

HBRUSH CreateSolidBrush(TColor Color);
// A brush tiled with the bitmap (a monochrome bitmap gives a mono pattern).
HBRUSH CreatePatternBrush(TBitmap* Bitmap);
// The brush of system colour Index (0..30); owned by the system.
HBRUSH GetSysColorBrush(Integer Index);
bool DeleteObject(HBRUSH Brush);

class TBrush : public TGraphicsObject {
  KORVANE_CLASS(TBrush, TGraphicsObject)
  TBrush();
  ~TBrush() override;
  TColor Color() const { return FData.Color; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FData.Style; }
  void SetStyle(TBrushStyle Value);
  // A pattern bitmap: its pixels are copied when assigned (later changes to
  // the bitmap need another SetBitmap). nullptr removes the pattern.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);
  const TBrushPattern& Pattern() const { return FData.Pattern; }
  // The brush as a handle, valid until the brush changes or is destroyed.
  HBRUSH Handle();
  // Takes over the description of the brush behind the handle.
  void SetHandle(HBRUSH Value);
  void Assign(TPersistent* Source) override;

private:
  TBrushObject FData;
  TBitmap* FBitmap = nullptr;
  std::unique_ptr<TBrushObject> FHandle;
};

// Maps a font name the program uses ("宋体", "黑体", "MS Sans Serif",
// "Tahoma", ...) to the installed family that stands in for it.
String MapFontName(const String& Name);

class TFont : public TGraphicsObject {
  KORVANE_CLASS(TFont, TGraphicsObject)
  static constexpr Integer PixelsPerInch = 96;
  String Name() const { return FName; }
  void SetName(const String& Value);
  // Negative: the character height in pixels; positive: the cell height.
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value);
  // Points at 96 pixels per inch.
  Integer Size() const;
  void SetSize(Integer Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  // Angle of the text line in tenths of a degree, counter-clockwise.
  Integer Orientation() const { return FOrientation; }
  void SetOrientation(Integer Value);
  void Assign(TPersistent* Source) override;
  // The same look (colour included).
  bool SameAs(const TFont& Other) const;

private:
  String FName = u"MS Sans Serif";
  Integer FHeight = -11;
  TFontStyles FStyle = 0;
  TColor FColor = clWindowText;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  Integer FOrientation = 0;
};

// ---- Pictures ----------------------------------------------------------------------------

// A picture that can draw itself on a canvas.
class TGraphic : public TPersistent {
  KORVANE_CLASS(TGraphic, TPersistent)
  virtual bool Empty() const = 0;
  virtual Integer Width() const = 0;
  virtual Integer Height() const = 0;
  virtual void SetWidth(Integer Value) = 0;
  virtual void SetHeight(Integer Value) = 0;
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  // Raise EInvalidGraphic (or a stream/file error) for data they cannot read.
  virtual void LoadFromFile(const String& FileName);
  virtual void SaveToFile(const String& FileName);
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  // Draws the picture stretched into Rect (logical coordinates).
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  TNotifyEvent OnChange;

protected:
  virtual void Changed();

private:
  bool FTransparent = false;
};

class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};

// ---- Raster operations -------------------------------------------------------------------
// Ternary raster operations of BitBlt/StretchBlt/PatBlt and the canvas's
// copy mode: bits 16..23 are the truth table of pattern, source, destination.
enum : Cardinal {
  SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
  SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA,
  MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
  DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062,
};
using TCopyMode = Cardinal;
inline constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                           cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                           cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT,
                           cmSrcAnd = SRCAND, cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE,
                           cmSrcInvert = SRCINVERT, cmSrcPaint = SRCPAINT, cmWhiteness = WHITENESS;

// ---- Text --------------------------------------------------------------------------------

struct TTextMetric {
  Integer tmHeight = 0;
  Integer tmAscent = 0;
  Integer tmDescent = 0;
  Integer tmInternalLeading = 0;
  Integer tmExternalLeading = 0;
  Integer tmAveCharWidth = 0;
  Integer tmMaxCharWidth = 0;
  Integer tmWeight = 400;
  Integer tmOverhang = 0;
  Char tmFirstChar = 0x20;
  Char tmLastChar = 0xFFFD;
  Char tmDefaultChar = u'?';
  Char tmBreakChar = u' ';
  Byte tmItalic = 0;
  Byte tmUnderlined = 0;
  Byte tmStruckOut = 0;
  Byte tmPitchAndFamily = 0;
  Byte tmCharSet = DEFAULT_CHARSET;
};

// DrawText formats.
enum : Cardinal {
  DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80,
  DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
  DT_INTERNAL = 0x1000, DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000,
  DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000,
  DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000,
};

// ExtTextOut options.
enum : Cardinal { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4 };
// Background modes.
enum : Integer { TRANSPARENT = 1, OPAQUE = 2 };
// Text alignment (SetTextAlign).
enum : Cardinal {
  TA_LEFT = 0, TA_TOP = 0, TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6,
  TA_BOTTOM = 8, TA_BASELINE = 24,
};

// ---- Edges and glyphs --------------------------------------------------------------------

enum : Cardinal {
  BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
  BDR_OUTER = 0x3, BDR_INNER = 0xC,
  EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
  EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};
enum : Cardinal {
  BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8,
  BF_TOPLEFT = BF_TOP | BF_LEFT, BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
  BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
  BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000,
};

// Our own glyphs for check boxes, radio buttons and scroll arrows.
enum TGlyphKind : Integer {
  gkCheckBox, gkRadioButton, gkScrollUp, gkScrollDown, gkScrollLeft, gkScrollRight,
  gkArrowUp, gkArrowDown, gkArrowLeft, gkArrowRight  // the bare arrow, no button
};
enum : Cardinal {
  gsChecked = 0x1,   // check mark / radio dot
  gsGrayed = 0x2,    // third state of a check box (mark in gray)
  gsPushed = 0x4,    // pressed look
  gsInactive = 0x8,  // disabled look
  gsFlat = 0x10,     // one-pixel frame instead of 3-D edges
  gsMono = 0x20,     // black and white only
  gsHot = 0x40,
};

// ---- Alpha blending ----------------------------------------------------------------------

struct BLENDFUNCTION {
  Byte BlendOp = 0;  // AC_SRC_OVER
  Byte BlendFlags = 0;
  Byte SourceConstantAlpha = 255;
  Byte AlphaFormat = 0;  // 0: constant alpha only
};
enum : Byte { AC_SRC_OVER = 0, AC_SRC_ALPHA = 1 };

// ---- Canvas ------------------------------------------------------------------------------

struct TCanvasAccess;
class TCanvasState;

class TCanvas : public TPersistent {
  KORVANE_CLASS(TCanvas, TPersistent)
  // A measuring canvas: it measures text and draws nothing.
  TCanvas();
  // A canvas over the bitmap (not owned; it must outlive the canvas or be
  // replaced with SetTarget first).
  explicit TCanvas(TBitmap* ATarget);
  ~TCanvas() override;

  TBitmap* Target() const;
  // Draws from now on into another bitmap (nullptr: measuring only). The
  // clip region, origins and saved states are reset.
  void SetTarget(TBitmap* ATarget);

  HDC Handle() { return this; }
  bool HandleAllocated() const { return true; }

  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value);
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value);
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value);
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(const TPoint& Value) { FPenPos = Value; }

  // Pixel colour at a logical point as 0x00BBGGRR; -1 outside the image or
  // the clip region.
  TColor Pixels(Integer X, Integer Y) const;
  void SetPixels(Integer X, Integer Y, TColor Color);
  // The clip box in logical coordinates (the whole image when not clipped).
  TRect ClipRect() const;

  // Shapes. Outlines use the pen, insides the brush.
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);  // one pixel in the brush colour
  void Rectangle(const TRect& Rect);
  void Rectangle(Integer X1, Integer Y1, Integer X2, Integer Y2) { Rectangle(TRect{X1, Y1, X2, Y2}); }
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
  void Ellipse(const TRect& Rect);
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) { Ellipse(TRect{X1, Y1, X2, Y2}); }
  void Polygon(const std::vector<TPoint>& Points);
  void Polyline(const std::vector<TPoint>& Points);  // the last point is left out, as LineTo does
  void MoveTo(Integer X, Integer Y);
  void LineTo(Integer X, Integer Y);  // up to but not including (X, Y)
  // Inverts every other pixel of the rectangle's outline (device-aligned
  // dots); drawing the same rectangle twice restores the image.
  void DrawFocusRect(const TRect& Rect);

  // Pictures and copies.
  void Draw(Integer X, Integer Y, TGraphic* Graphic);
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  // Copies Source of another canvas to Dest (stretched) with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies Source of the bitmap to Dest, painting the pixels of Color with
  // the brush instead (left unchanged with a clear brush).
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

  // Text in the font, over the brush unless its style is bsClear.
  void TextOut(Integer X, Integer Y, const String& Text);
  // Text at (X, Y) clipped to Rect; Rect is filled with the brush first
  // unless its style is bsClear.
  void TextRect(const TRect& Rect, Integer X, Integer Y, const String& Text);
  TSize TextExtent(const String& Text);
  Integer TextWidth(const String& Text) { return TextExtent(Text).cx; }
  Integer TextHeight(const String& Text) { return TextExtent(Text).cy; }

  // Makes the font colour the context's text colour when the font changed
  // since, and the brush colour its background colour with the background
  // mode (opaque for a solid brush, else transparent) when the brush changed
  // since, as the canvas's own text and fill calls do first. Calls through
  // the handle use whatever the context holds.
  void Realize();

  // Fired around every drawing call on a canvas with a bitmap.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  void Changing();
  void Changed();

private:
  friend struct TCanvasAccess;
  void FontChanged(TObject* Sender);
  void BrushChanged(TObject* Sender);
  void PenChanged(TObject* Sender);

  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  TPoint FPenPos;
  bool FFontValid = false;
  bool FBrushValid = false;
  std::unique_ptr<TCanvasState> FState;
};

// The program's shared measuring canvas (fonts assigned to it are kept).
TCanvas* ScreenCanvas();
// A measuring canvas of its own for the caller, freed with ReleaseScreenDC.
HDC GetScreenDC();
void ReleaseScreenDC(HDC DC);

// ---- Device-context functions ------------------------------------------------------------
// They act on the canvas behind the handle; a null handle does nothing.

TColor SetTextColor(HDC DC, TColor Color);  // answer the previous value
TColor GetTextColor(HDC DC);
TColor SetBkColor(HDC DC, TColor Color);
TColor GetBkColor(HDC DC);
Integer SetBkMode(HDC DC, Integer Mode);
Integer GetBkMode(HDC DC);
Cardinal SetTextAlign(HDC DC, Cardinal Align);
Cardinal GetTextAlign(HDC DC);
// Spreads Extra pixels over the next text output's Count break characters;
// (0, 0) ends it.
bool SetTextJustification(HDC DC, Integer Extra, Integer Count);
TColor GetNearestColor(HDC DC, TColor Color);

enum : Integer { BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24, LOGPIXELSX = 88, LOGPIXELSY = 90, HORZRES = 8, VERTRES = 10 };
Integer GetDeviceCaps(HDC DC, Integer Index);

// Saved states: clip region, origins, text and background colours and modes,
// text alignment. RestoreDC takes a number from SaveDC or -n for the n-th
// last state; states saved after it are dropped.
Integer SaveDC(HDC DC);
bool RestoreDC(HDC DC, Integer SavedDC);

bool SetWindowOrgEx(HDC DC, Integer X, Integer Y, TPoint* Previous);
bool GetWindowOrgEx(HDC DC, TPoint& Origin);
bool OffsetWindowOrgEx(HDC DC, Integer DX, Integer DY, TPoint* Previous);
bool SetViewportOrgEx(HDC DC, Integer X, Integer Y, TPoint* Previous);
bool GetViewportOrgEx(HDC DC, TPoint& Origin);

// Clipping. Rectangles are logical, regions device coordinates.
// GetClipRgn: 1 and a copy in Rgn when there is a clip region, 0 when none,
// -1 on error.
Integer GetClipRgn(HDC DC, HRGN Rgn);
// A copy of Rgn becomes the clip region; nullptr removes clipping.
Integer SelectClipRgn(HDC DC, HRGN Rgn);
Integer ExtSelectClipRgn(HDC DC, HRGN Rgn, Integer Mode);
Integer IntersectClipRect(HDC DC, Integer Left, Integer Top, Integer Right, Integer Bottom);
Integer ExcludeClipRect(HDC DC, Integer Left, Integer Top, Integer Right, Integer Bottom);
Integer OffsetClipRgn(HDC DC, Integer DX, Integer DY);
Integer GetClipBox(HDC DC, TRect& Box);
bool RectVisible(HDC DC, const TRect& Rect);
bool PtVisible(HDC DC, Integer X, Integer Y);

// Filling with brushes and raster operations.
Integer FillRect(HDC DC, const TRect& Rect, HBRUSH Brush);
Integer FrameRect(HDC DC, const TRect& Rect, HBRUSH Brush);
bool InvertRect(HDC DC, const TRect& Rect);
bool DrawFocusRect(HDC DC, const TRect& Rect);
bool FillRgn(HDC DC, HRGN Rgn, HBRUSH Brush);
// Paints a Width x Height pen around the inside of each edge of the region.
bool FrameRgn(HDC DC, HRGN Rgn, HBRUSH Brush, Integer Width, Integer Height);
bool InvertRgn(HDC DC, HRGN Rgn);
// Raster operation of the canvas brush (pattern) with the destination.
bool PatBlt(HDC DC, Integer X, Integer Y, Integer Width, Integer Height, Cardinal Rop);
bool BitBlt(HDC Dest, Integer X, Integer Y, Integer Width, Integer Height, HDC Src, Integer XSrc, Integer YSrc,
            Cardinal Rop);
bool StretchBlt(HDC Dest, Integer X, Integer Y, Integer Width, Integer Height, HDC Src, Integer XSrc,
                Integer YSrc, Integer WidthSrc, Integer HeightSrc, Cardinal Rop);
// Source over destination with constant opacity SourceConstantAlpha / 255;
// each channel is (alpha * src + (255 - alpha) * dst) / 255, rounded.
bool AlphaBlend(HDC Dest, Integer X, Integer Y, Integer Width, Integer Height, HDC Src, Integer XSrc,
                Integer YSrc, Integer WidthSrc, Integer HeightSrc, const BLENDFUNCTION& Blend);
TColor SetPixel(HDC DC, Integer X, Integer Y, TColor Color);
TColor GetPixel(HDC DC, Integer X, Integer Y);

// Text output with the canvas font and the context's text colour, background
// colour and mode.
bool TextOut(HDC DC, Integer X, Integer Y, const String& Text);
// Dx: optional advance of each character.
bool ExtTextOut(HDC DC, Integer X, Integer Y, Cardinal Options, const TRect* Rect, const Char* Text,
                Integer Count, const Integer* Dx = nullptr);
bool ExtTextOut(HDC DC, Integer X, Integer Y, Cardinal Options, const TRect* Rect, const String& Text);
// Tabs at the given positions (relative to TabOrigin); none: every 8 average
// character widths. Answers (height << 16) | width.
Cardinal TabbedTextOut(HDC DC, Integer X, Integer Y, const Char* Text, Integer Count, Integer TabCount,
                       const Integer* Tabs, Integer TabOrigin);
Cardinal GetTabbedTextExtent(HDC DC, const Char* Text, Integer Count, Integer TabCount, const Integer* Tabs);
bool GetTextExtentPoint32(HDC DC, const Char* Text, Integer Count, TSize& Size);
bool GetTextExtentPoint32(HDC DC, const String& Text, TSize& Size);
// Fit: how many characters fit into MaxExtent (when given); Dx: the extent
// of every prefix (Count entries, when given).
bool GetTextExtentExPoint(HDC DC, const Char* Text, Integer Count, Integer MaxExtent, Integer* Fit, Integer* Dx,
                          TSize& Size);
bool GetTextMetrics(HDC DC, TTextMetric& Metrics);
// Lays out and draws text in Rect by the DT_ flags; with DT_CALCRECT only
// measures and sets Rect's right and bottom. Answers the text height (0 when
// empty).
Integer DrawText(HDC DC, const String& Text, TRect& Rect, Cardinal Format);

// Draws the edges of BDR_/EDGE_ kinds on the BF_ sides; with BF_ADJUST Rect
// shrinks to the inside.
bool DrawEdge(HDC DC, TRect& Rect, Cardinal Edge, Cardinal Flags);
// Draws a check box, radio button or scroll arrow glyph filling Rect.
void DrawGlyph(HDC DC, const TRect& Rect, TGlyphKind Kind, Cardinal State);
