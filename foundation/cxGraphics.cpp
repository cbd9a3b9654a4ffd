#include "foundation/cxGraphics.h"

#include <algorithm>

#include "foundation/cxStyles.h"
#include "platform/gui/imagelist.h"
#include "platform/rtl/sysutils.h"

namespace {

// The clip rectangle that stands for "not clipped".
constexpr Integer kUnclippedExtent = 107374182;

// Floor division (tiles left of or above the origin have negative indexes).
Integer FloorDiv(Integer A, Integer B) {
  Integer q = A / B;
  return (A % B != 0 && (A < 0) != (B < 0)) ? q - 1 : q;
}

bool HasBorder(TcxBorders ABorders, TcxBorder ABorder) { return (ABorders & BorderBit(ABorder)) != 0; }

}  // namespace

// ---------------------------------------------------------------------------
// Text flags

Cardinal TextFlagsToDrawTextFormat(TcxTextFlags AFlags) {
  struct TMap {
    TcxTextFlags Flag;
    Cardinal Format;
  };
  static constexpr TMap kMap[] = {
      {cxAlignRight, DT_RIGHT},         {cxAlignHCenter, DT_CENTER},
      {cxAlignBottom, DT_BOTTOM},       {cxAlignVCenter, DT_VCENTER},
      {cxSingleLine, DT_SINGLELINE},    {cxDontClip, DT_NOCLIP},
      {cxExpandTabs, DT_EXPANDTABS},    {cxWordBreak, DT_WORDBREAK | DT_EDITCONTROL},
      {cxShowEndEllipsis, DT_END_ELLIPSIS}, {cxCalcRect, DT_CALCRECT},
      {cxShowPathEllipsis, DT_PATH_ELLIPSIS},
  };
  Cardinal format = DT_NOPREFIX;
  for (const TMap& m : kMap)
    if (AFlags & m.Flag) format |= m.Format;
  if (AFlags & cxShowPrefix) format &= ~Cardinal(DT_NOPREFIX);
  return format;
}

// ---------------------------------------------------------------------------
// Derived colours

TColor GetNearestScreenColor(TColor AColor) {
  HDC dc = GetScreenDC();
  TColor result = GetNearestColor(dc, AColor);
  ReleaseScreenDC(dc);
  return result;
}

namespace {

// Weighted sum (percentages, each term rounded) of the button face,
// highlight and window colours, channel by channel.
TColor MixSystemColors(Integer AFaceWeight, Integer AHighlightWeight, Integer AWindowWeight) {
  TColor face = ColorToRGB(clBtnFace) & 0xFFFFFF;
  TColor highlight = ColorToRGB(clHighlight) & 0xFFFFFF;
  TColor window = ColorToRGB(clWindow) & 0xFFFFFF;
  if (face == 0 || face == 0xFFFFFF) return highlight;
  auto channel = [&](Integer shift) {
    auto part = [shift](TColor c) { return static_cast<Integer>((static_cast<Cardinal>(c) >> shift) & 0xFF); };
    Integer v = MulDiv(part(face), AFaceWeight, 100) + MulDiv(part(highlight), AHighlightWeight, 100) +
                MulDiv(part(window), AWindowWeight, 100);
    return static_cast<Byte>(std::clamp<Integer>(v, 0, 255));
  };
  return GetNearestScreenColor(RGB(channel(0), channel(8), channel(16)));
}

}  // namespace

TColor MixedHighlightColor() { return MixSystemColors(14, 44, 40); }

TColor MixedLightHighlightColor() { return MixSystemColors(-2, 30, 72); }

// ---------------------------------------------------------------------------
// TcxRegion

TcxRegion::TcxRegion(HRGN AHandle) : FHandle(AHandle) {}

TcxRegion::TcxRegion(const TRect& ARect) : FHandle(CreateRectRgnIndirect(ARect)) {}

TcxRegion::TcxRegion(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom)
    : FHandle(CreateRectRgn(ALeft, ATop, ARight, ABottom)) {}

TcxRegion::TcxRegion() : TcxRegion(0, 0, 0, 0) {}

TcxRegion::~TcxRegion() { DestroyHandle(); }

void TcxRegion::Offset(Integer DX, Integer DY) { OffsetRgn(FHandle, DX, DY); }

void TcxRegion::CombineWith(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion) {
  if (!ARegion) return;
  switch (AOperation) {
    case roCopy: CombineRgn(FHandle, ARegion->FHandle, nullptr, RGN_COPY); break;
    case roUnion: CombineRgn(FHandle, FHandle, ARegion->FHandle, RGN_OR); break;
    case roSubtract: CombineRgn(FHandle, FHandle, ARegion->FHandle, RGN_DIFF); break;
    case roIntersect: CombineRgn(FHandle, FHandle, ARegion->FHandle, RGN_AND); break;
  }
  if (ADestroyRegion && ARegion != this) delete ARegion;
}

void TcxRegion::DestroyHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
}

// ---------------------------------------------------------------------------
// TcxCanvas: forwarders and fills

TcxCanvas::TcxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}

void TcxCanvas::DrawPolyline(const std::vector<TPoint>& APoints, TColor AColor) {
  GetPen()->SetColor(AColor);
  DrawPolyline(APoints);
}

TPoint TcxCanvas::GetWindowOrigin() const {
  TPoint origin;
  GetWindowOrgEx(GetHandle(), origin);
  return origin;
}

void TcxCanvas::SetBrushColor(TColor AColor) {
  if (GetBrush()->Color() != AColor) GetBrush()->SetColor(AColor);
}

void TcxCanvas::FillBand(const TRect& ARect, TColor AColor) {
  if (AColor == clNone || RectIsEmpty(ARect)) return;
  SetBrushColor(AColor);
  FCanvas->FillRect(ARect);
}

void TcxCanvas::FillRectOrTileBitmap(const TRect& ARect, TBitmap* ABitmap) {
  if (RectIsEmpty(ARect)) return;
  if (!ABitmap || ABitmap->Empty()) {
    FCanvas->FillRect(ARect);
    return;
  }
  // Only the tiles that can be seen: the rectangle may be as large as the
  // unclipped extent. A canvas without pixels shows none.
  TRect area;
  if (!FCanvas->Target() || !IntersectRectsInto(area, ARect, FCanvas->ClipRect())) return;
  const Integer w = ABitmap->Width(), h = ABitmap->Height();
  for (Integer j = FloorDiv(area.Top, h); j <= FloorDiv(area.Bottom - 1, h); ++j)
    for (Integer i = FloorDiv(area.Left, w); i <= FloorDiv(area.Right - 1, w); ++i) {
      TRect visible;
      if (!IntersectRectsInto(visible, Bounds(i * w, j * h, w, h), area)) continue;
      FCanvas->CopyRect(visible, ABitmap->Canvas(), ShiftRect(visible, -i * w, -j * h));
    }
}

void TcxCanvas::DrawFramedFill(const TRect& ARect, TBitmap* ABitmap, TColor AColor, Integer AWidth,
                               TColor AFrameColor, TcxBorders ABorders) {
  DrawBorderBands(ARect, AFrameColor, ABorders, AWidth);
  TRect inside = ARect;
  if (HasBorder(ABorders, bLeft)) inside.Left += AWidth;
  if (HasBorder(ABorders, bTop)) inside.Top += AWidth;
  if (HasBorder(ABorders, bRight)) inside.Right -= AWidth;
  if (HasBorder(ABorders, bBottom)) inside.Bottom -= AWidth;
  if (ABitmap && !ABitmap->Empty()) {
    FillRectOrTileBitmap(inside, ABitmap);
  } else if (AColor != clNone) {
    SetBrushColor(AColor);
    FillRectOrTileBitmap(inside, nullptr);
  }
}

void TcxCanvas::DrawBorderBands(const TRect& ARect, TColor AColor, TcxBorders ABorders, Integer AWidth) {
  if (RectIsEmpty(ARect) || AColor == clNone) return;
  if (AColor != clDefault) SetBrushColor(AColor);
  const TRect& r = ARect;
  if (HasBorder(ABorders, bLeft)) FCanvas->FillRect({r.Left, r.Top, std::min(r.Left + AWidth, r.Right), r.Bottom});
  if (HasBorder(ABorders, bRight)) FCanvas->FillRect({std::max(r.Right - AWidth, r.Left), r.Top, r.Right, r.Bottom});
  if (HasBorder(ABorders, bTop)) FCanvas->FillRect({r.Left, r.Top, r.Right, std::min(r.Top + AWidth, r.Bottom)});
  if (HasBorder(ABorders, bBottom))
    FCanvas->FillRect({r.Left, std::max(r.Bottom - AWidth, r.Top), r.Right, r.Bottom});
}

void TcxCanvas::DrawTwoColorBorders(const TRect& ARect, TColor ALeftTopColor, Integer AWidth, TcxBorders ABorders,
                                    TColor ARightBottomColor) {
  if (RectIsEmpty(ARect)) return;
  const TRect& r = ARect;
  if (HasBorder(ABorders, bLeft)) FillBand({r.Left, r.Top, r.Left + AWidth, r.Bottom}, ALeftTopColor);
  if (HasBorder(ABorders, bTop)) FillBand({r.Left, r.Top, r.Right, r.Top + AWidth}, ALeftTopColor);
  if (HasBorder(ABorders, bRight)) FillBand({r.Right - AWidth, r.Top, r.Right, r.Bottom}, ARightBottomColor);
  if (HasBorder(ABorders, bBottom)) FillBand({r.Left, r.Bottom - AWidth, r.Right, r.Bottom}, ARightBottomColor);
}

void TcxCanvas::DrawEdgeRing(const TRect& ARect, bool ASunken, bool AOuter, TcxBorders ABorders) {
  struct TRing {
    TColor LeftTop, RightBottom;
  };
  // [sunken][outer]
  static constexpr TRing kRings[2][2] = {
      {{clBtnHighlight, clBtnShadow}, {cl3DLight, cl3DDkShadow}},
      {{cl3DDkShadow, cl3DLight}, {clBtnShadow, clBtnHighlight}},
  };
  const TRing& ring = kRings[ASunken ? 1 : 0][AOuter ? 1 : 0];
  DrawTwoColorBorders(ARect, ring.LeftTop, 1, ABorders, ring.RightBottom);
}

void TcxCanvas::DrawFocusFrame(const TRect& ARect) {
  SetBrushColor(clWhite);
  GetFont()->SetColor(clBlack);
  Realize();
  FCanvas->DrawFocusRect(ARect);
}

void TcxCanvas::InvertArea(const TRect& ARect) {
  if (RectIsEmpty(ARect)) return;
  FCanvas->SetCopyMode(cmDstInvert);
  FCanvas->CopyRect(ARect, FCanvas, ARect);
  FCanvas->SetCopyMode(cmSrcCopy);
}

void TcxCanvas::InvertFrame(const TRect& ARect, Integer AWidth) {
  if (RectIsEmpty(ARect) || AWidth <= 0) return;
  const TRect& r = ARect;
  // Bands that meet in the middle of a narrow rectangle stop there.
  Integer left = std::min(r.Left + AWidth, r.Right), right = std::max(r.Right - AWidth, left);
  Integer top = std::min(r.Top + AWidth, r.Bottom), bottom = std::max(r.Bottom - AWidth, top);
  InvertArea({r.Left, r.Top, left, r.Bottom});
  InvertArea({right, r.Top, r.Right, r.Bottom});
  InvertArea({left, r.Top, right, top});
  InvertArea({left, bottom, right, r.Bottom});
}

// ---------------------------------------------------------------------------
// TcxCanvas: bitmaps

void TcxCanvas::DrawGlyphBitmap(Integer X, Integer Y, TColor ABackgroundColor, bool AEnabled, TBitmap* ABitmap) {
  if (!ABitmap || ABitmap->Empty()) return;
  const Integer w = ABitmap->Width(), h = ABitmap->Height();
  if (AEnabled) {
    TBrushStyle savedStyle = GetBrush()->Style();
    if (ABackgroundColor == clNone) {
      GetBrush()->SetStyle(bsClear);
    } else {
      GetBrush()->SetColor(ABackgroundColor);
      GetBrush()->SetStyle(bsSolid);
    }
    FCanvas->BrushCopy(Bounds(X, Y, w, h), ABitmap, Rect(0, 0, w, h), ABitmap->TransparentColor());
    GetBrush()->SetStyle(savedStyle);
    return;
  }
  std::unique_ptr<TImageList> images = TImageList::CreateSize(w, h);
  images->AddMasked(ABitmap, ABitmap->TransparentMode() == tmFixed ? ABitmap->TransparentColor() : clDefault);
  if (ABackgroundColor == clNone) {
    images->Draw(FCanvas, X, Y, 0, false);
    return;
  }
  TBitmap back(w, h, pf32bit);
  back.Canvas()->Brush()->SetColor(ABackgroundColor);
  back.Canvas()->FillRect(Rect(0, 0, w, h));
  images->Draw(back.Canvas(), 0, 0, 0, false);
  FCanvas->Draw(X, Y, &back);
}

void TcxCanvas::RotateBitmap(TBitmap* ABitmap, Integer AOperation, bool AMirror) {
  if (!ABitmap || ABitmap->Empty() || AOperation < 0 || AOperation > 3) return;
  if (AOperation == 0 && !AMirror) return;
  const Integer w = ABitmap->Width(), h = ABitmap->Height();
  std::vector<Cardinal> source(static_cast<size_t>(w) * static_cast<size_t>(h));
  Integer stride = 0;
  const Cardinal* bits = ABitmap->PixelData(stride);
  for (Integer y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const Cardinal*>(reinterpret_cast<const Byte*>(bits) + y * stride);
    std::copy_n(row, w, source.begin() + static_cast<std::ptrdiff_t>(y) * w);
  }
  const bool swap = AOperation == 1 || AOperation == 2;
  const Integer nw = swap ? h : w, nh = swap ? w : h;
  std::vector<Cardinal> target(source.size());
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      TPoint p;
      switch (AOperation) {
        case 0: p = {x, h - 1 - y}; break;
        case 1: p = AMirror ? TPoint{y, x} : TPoint{y, w - 1 - x}; break;
        case 2: p = AMirror ? TPoint{h - 1 - y, w - 1 - x} : TPoint{h - 1 - y, x}; break;
        default: p = AMirror ? TPoint{w - 1 - x, y} : TPoint{w - 1 - x, h - 1 - y}; break;
      }
      target[static_cast<size_t>(p.Y) * static_cast<size_t>(nw) + static_cast<size_t>(p.X)] =
          source[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
    }
  if (swap) ABitmap->SetSize(nw, nh);
  Cardinal* out = ABitmap->BeginDraw(stride);
  if (!out) return;
  for (Integer y = 0; y < nh; ++y)
    std::copy_n(target.begin() + static_cast<std::ptrdiff_t>(y) * nw, nw,
                reinterpret_cast<Cardinal*>(reinterpret_cast<Byte*>(out) + y * stride));
  ABitmap->EndDraw();
}

// ---------------------------------------------------------------------------
// TcxCanvas: text

void TcxCanvas::OutputText(const String& AText, TRect ARect, TcxTextFlags AFlags, bool ADrawTextPath) {
  Realize();
  if (ADrawTextPath)
    DrawText(GetHandle(), AText, ARect, TextFlagsToDrawTextFormat(AFlags));
  else
    ExtTextOut(GetHandle(), ARect.Left, ARect.Top, (AFlags & cxDontClip) ? 0u : Cardinal(ETO_CLIPPED), &ARect, AText);
}

void TcxCanvas::DrawTextWithFlags(const String& AText, const TRect& ARect, bool AEnabled, TcxTextFlags AFlags) {
  if (AText.empty()) return;
  const bool multiLine = !(AFlags & cxSingleLine);
  const bool drawTextPath = multiLine || (AFlags & (cxShowPrefix | cxShowEndEllipsis | cxShowPathEllipsis));
  const TSize size = multiLine ? MeasuredTextSize(AText, ARect, AFlags) : GetTextSize(AText);
  if (size.cx < WidthOfRect(ARect) && size.cy < HeightOfRect(ARect)) AFlags |= cxDontClip;
  const Integer shift = AEnabled ? 0 : 1;
  TRect r = ARect;
  if (drawTextPath) {
    // Disabled text keeps its last column and row for the shadow.
    r.Right -= shift;
    if (multiLine && (AFlags & (cxAlignBottom | cxAlignVCenter))) {
      TRect needed = r;
      MeasureTextRect(AText, needed, AFlags);
      const Integer height = HeightOfRect(needed);
      if (AFlags & cxAlignBottom)
        r.Top = ARect.Bottom - height - shift;
      else
        r.Top = (ARect.Top + ARect.Bottom - height) / 2;
    } else {
      r.Bottom -= shift;
    }
  } else {
    if (size.cx < WidthOfRect(r)) {
      if ((AFlags & (cxAlignLeft | cxAlignRight | cxAlignHCenter)) == cxAlignRight)
        r.Left = r.Right - size.cx - shift;
      else if (AFlags & cxAlignHCenter)
        r.Left = (r.Left + r.Right - size.cx) / 2;
    }
    if (size.cy < HeightOfRect(r)) {
      if ((AFlags & (cxAlignTop | cxAlignBottom | cxAlignVCenter)) == cxAlignBottom)
        r.Top = r.Bottom - size.cy - shift;
      else if (AFlags & cxAlignVCenter)
        r.Top = (r.Top + r.Bottom - size.cy) / 2;
    }
  }
  TBrush* brush = GetBrush();
  TFont* font = GetFont();
  const TBrushStyle savedStyle = brush->Style();
  const TColor savedColor = font->Color();
  // Lines placed above the rectangle by the alignment are cut at its top.
  std::unique_ptr<TcxRegion> savedClip;
  if (!(AFlags & cxDontClip) && r.Top < ARect.Top) {
    savedClip.reset(CopyClipRegion());
    ClipToRect(ARect);
  }
  if (AEnabled) {
    OutputText(AText, r, AFlags, drawTextPath);
  } else {
    brush->SetStyle(bsClear);
    font->SetColor(clBtnHighlight);
    TRect shadow;
    // The shadow stays inside the rectangle.
    if (IntersectRectsInto(shadow, ShiftRect(r, 1, 1), ARect)) OutputText(AText, shadow, AFlags, drawTextPath);
    font->SetColor(clBtnShadow);
    OutputText(AText, r, AFlags, drawTextPath);
  }
  if (savedClip) ApplyClipRegion(savedClip.release(), roCopy, true);
  if (brush->Style() != savedStyle) brush->SetStyle(savedStyle);
  font->SetColor(savedColor);
}

void TcxCanvas::MeasureTextRect(const String& AText, TRect& ARect, TcxTextFlags AFlags) {
  const Integer width = WidthOfRect(ARect), height = HeightOfRect(ARect);
  const Cardinal format = TextFlagsToDrawTextFormat(AFlags);
  DrawText(GetHandle(), AText, ARect, (format & ~Cardinal(DT_VCENTER)) | DT_CALCRECT);
  if (format & DT_CENTER)
    OffsetRect(ARect, (width - WidthOfRect(ARect)) / 2, 0);
  else if (format & DT_RIGHT)
    OffsetRect(ARect, width - WidthOfRect(ARect), 0);
  if (format & DT_VCENTER)
    OffsetRect(ARect, 0, (height - HeightOfRect(ARect)) / 2);
  else if (format & DT_BOTTOM)
    OffsetRect(ARect, 0, height - HeightOfRect(ARect));
}

TSize TcxCanvas::MeasuredTextSize(const String& AText, const TRect& ARect, TcxTextFlags AFlags) {
  TRect needed = ARect;
  MeasureTextRect(AText, needed, AFlags);
  return TSize{WidthOfRect(needed), HeightOfRect(needed)};
}

TSize TcxCanvas::GetTextSize(const String& AText) {
  TSize size;
  if (!AText.empty()) GetTextExtentPoint32(GetHandle(), AText, size);
  return size;
}

Integer TcxCanvas::MeasureFontHeight(TFont* AFont) {
  if (AFont) SetFont(AFont);
  return GetTextHeight(u"Qq");
}

// ---------------------------------------------------------------------------
// TcxCanvas: clipping

void TcxCanvas::ClipOutRect(const TRect& ARect) {
  ExcludeClipRect(GetHandle(), ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
}

void TcxCanvas::ClipToRect(const TRect& ARect) {
  IntersectClipRect(GetHandle(), ARect.Left, ARect.Top, ARect.Right, ARect.Bottom);
}

bool TcxCanvas::IsRectVisible(const TRect& ARect) { return RectVisible(GetHandle(), ARect); }

TcxRegion* TcxCanvas::CopyClipRegion() {
  auto* region = new TcxRegion();
  if (GetClipRgn(GetHandle(), region->Handle()) != 1)
    SetRectRgn(region->Handle(), 0, 0, kUnclippedExtent, kUnclippedExtent);
  return region;
}

void TcxCanvas::ApplyClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion) {
  if (!ARegion) return;
  if (AOperation == roCopy) {
    SelectClipRgn(GetHandle(), ARegion->Handle());
  } else if (AOperation == roUnion || AOperation == roSubtract || AOperation == roIntersect) {
    // Logical to device coordinates: minus the window origin, plus the viewport origin.
    TPoint window = GetWindowOrigin(), viewport;
    GetViewportOrgEx(GetHandle(), viewport);
    const Integer dx = viewport.X - window.X, dy = viewport.Y - window.Y;
    std::unique_ptr<TcxRegion> clip(CopyClipRegion());
    ARegion->Offset(dx, dy);
    clip->CombineWith(ARegion, AOperation, false);
    ARegion->Offset(-dx, -dy);
    SelectClipRgn(GetHandle(), clip->Handle());
  }
  if (ADestroyRegion) delete ARegion;
}

// ---------------------------------------------------------------------------
// TcxScreenCanvas

TcxScreenCanvas::TcxScreenCanvas()
    : TcxCanvas(new TScreenCanvas()), FScreenCanvas(static_cast<TScreenCanvas*>(Canvas())) {}

TcxScreenCanvas::~TcxScreenCanvas() = default;

// ---------------------------------------------------------------------------
// Rectangle and point routines

Integer HeightOfRect(const TRect& R) { return R.Bottom - R.Top; }
Integer WidthOfRect(const TRect& R) { return R.Right - R.Left; }
TPoint SizeOfRect(const TRect& R) { return {WidthOfRect(R), HeightOfRect(R)}; }
bool RectsIntersect(const TRect& A, const TRect& B) {
  TRect r;
  return IntersectRectsInto(r, A, B);
}
bool IntersectRectsInto(TRect& R, const TRect& A, const TRect& B) { return IntersectRect(R, A, B); }
TRect GrowRect(const TRect& R, Integer DX, Integer DY) { return GrowRectSides(R, DX, DY, DX, DY); }
TRect GrowRectSides(const TRect& R, Integer DL, Integer DT, Integer DR, Integer DB) {
  return {R.Left - DL, R.Top - DT, R.Right + DR, R.Bottom + DB};
}
TRect DeflateRectBy2(const TRect& R) { return GrowRect(R, -2, -2); }
bool RectIsEmpty(const TRect& R) { return R.Left >= R.Right || R.Top >= R.Bottom; }
bool RectsEqual(const TRect& A, const TRect& B) { return A == B; }

void ResetVerticalExtent(TcxVerticalExtent& AExtent) { AExtent = TcxVerticalExtent{}; }
void IncludeInVerticalExtent(TcxVerticalExtent& AExtent, const TRect& R) {
  AExtent.Top = std::min(AExtent.Top, R.Top);
  AExtent.Bottom = std::max(AExtent.Bottom, R.Bottom);
}

TRect ShiftRect(const TRect& R, Integer DX, Integer DY) { return {R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY}; }
TRect ShiftRectByPoint(const TRect& R, const TPoint& P) { return ShiftRect(R, P.X, P.Y); }
TRect ShiftRectByPointSum(const TRect& R, const std::vector<TPoint>& APoints) {
  return ShiftRectByPoint(R, ShiftPointByPointSum({}, APoints));
}
bool PointInRect(const TRect& R, const TPoint& P) { return PtInRect(R, P); }
TRect MakeRect(Integer ALeft, Integer ATop, Integer ARight, Integer ABottom) { return {ALeft, ATop, ARight, ABottom}; }
TRect RectWithHeight(const TRect& R, Integer H) { return {R.Left, R.Top, R.Right, R.Top + H}; }
TRect RectWithWidth(const TRect& R, Integer W) { return {R.Left, R.Top, R.Left + W, R.Bottom}; }
TRect RectWithSize(const TRect& R, Integer W, Integer H) { return {R.Left, R.Top, R.Left + W, R.Top + H}; }
TRect RectWithTop(const TRect& R, Integer Y) { return ShiftRect(R, 0, Y - R.Top); }
TRect RectWithTopAndHeight(const TRect& R, Integer Y, Integer H) { return {R.Left, Y, R.Right, Y + H}; }
TRect RectWithLeftAndWidth(const TRect& R, Integer X, Integer W) { return {X, R.Top, X + W, R.Bottom}; }
TRect RectWithHorzSpan(const TRect& R, Integer X, Integer W) { return RectWithLeftAndWidth(R, X, W); }
TPoint CenterOfRect(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
TRect CenteredRect(const TRect& R, Integer W, Integer H) {
  return Bounds(R.Left + (WidthOfRect(R) - W) / 2, R.Top + (HeightOfRect(R) - H) / 2, W, H);
}
TPoint MakePoint(Integer X, Integer Y) { return {X, Y}; }
TPoint MakeSizePoint(Integer W, Integer H) { return {W, H}; }
TPoint AddPoints(const TPoint& A, const TPoint& B) { return {A.X + B.X, A.Y + B.Y}; }
TPoint NegatePoint(const TPoint& P) { return {-P.X, -P.Y}; }
TPoint ShiftPoint(const TPoint& P, Integer DX, Integer DY) { return {P.X + DX, P.Y + DY}; }
TPoint ShiftPointByPointSum(const TPoint& P, const std::vector<TPoint>& APoints) {
  TPoint result = P;
  for (const TPoint& d : APoints) result = AddPoints(result, d);
  return result;
}

// ---------------------------------------------------------------------------
// Unit state: the system-colour brushes, the halftone brush, the shared
// screen canvas and the bound blending entry point.

namespace {

class TGraphicsUnit {
public:
  TGraphicsUnit() {
    for (Integer i = 0; i < SysColorCount; ++i) {
      auto brush = std::make_unique<TBrush>();
      brush->SetHandle(GetSysColorBrush(i));
      SystemBrushes.push_back(std::move(brush));
    }
    TBitmap pattern(8, 8, pf1bit);
    for (Integer y = 0; y < 8; ++y) pattern.ScanLine(y)[0] = (y % 2 == 0) ? 0xAA : 0x55;
    HBRUSH handle = CreatePatternBrush(&pattern);
    Halftone.SetHandle(handle);
    DeleteObject(handle);
  }

  std::vector<std::unique_ptr<TBrush>> SystemBrushes;
  TBrush Halftone;
  std::unique_ptr<TcxScreenCanvas> ScreenCanvas;
  TAlphaBlendProc AlphaBlendProc = &::AlphaBlend;
};

TGraphicsUnit& Unit() {
  static TGraphicsUnit unit;
  return unit;
}

// The fallback blend: each channel is round(alpha * overlay) + round((1 -
// alpha) * background), alpha = AAlpha / 255, over the area all three share.
void BlendPixels(TBitmap* ADest, TBitmap* ABackground, TBitmap* AOverlay, Byte AAlpha) {
  const Integer w = std::min({ADest->Width(), ABackground->Width(), AOverlay->Width()});
  const Integer h = std::min({ADest->Height(), ABackground->Height(), AOverlay->Height()});
  if (w <= 0 || h <= 0) return;
  const std::vector<Cardinal> back = ABackground->Pixels32(), over = AOverlay->Pixels32();
  const Integer backWidth = ABackground->Width(), overWidth = AOverlay->Width();
  const Cardinal a = AAlpha;
  Integer stride = 0;
  Cardinal* bits = ADest->BeginDraw(stride);
  if (!bits) return;
  for (Integer y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<Cardinal*>(reinterpret_cast<Byte*>(bits) + y * stride);
    for (Integer x = 0; x < w; ++x) {
      const Cardinal b = back[static_cast<size_t>(y * backWidth + x)];
      const Cardinal o = over[static_cast<size_t>(y * overWidth + x)];
      Cardinal out = 0xFF000000u;
      for (Cardinal shift = 0; shift < 24; shift += 8) {
        const Cardinal oc = (o >> shift) & 0xFF, bc = (b >> shift) & 0xFF;
        const Cardinal v = (2 * a * oc + 255) / 510 + (2 * (255 - a) * bc + 255) / 510;
        out |= std::min<Cardinal>(v, 255) << shift;
      }
      row[x] = out;
    }
  }
  ADest->EndDraw();
}

}  // namespace

TBrush* SystemColorBrush(Integer AIndex) {
  auto& brushes = Unit().SystemBrushes;
  if (AIndex < 0 || AIndex >= static_cast<Integer>(brushes.size())) return nullptr;
  return brushes[static_cast<size_t>(AIndex)].get();
}

TBrush* HalftoneBrush() { return &Unit().Halftone; }

TAlphaBlendProc BoundAlphaBlend() { return Unit().AlphaBlendProc; }

void SetBoundAlphaBlend(TAlphaBlendProc AProc) { Unit().AlphaBlendProc = AProc; }

TcxScreenCanvas* SharedScreenCanvas() {
  auto& canvas = Unit().ScreenCanvas;
  if (!canvas) canvas = std::make_unique<TcxScreenCanvas>();
  return canvas.get();
}

// ---------------------------------------------------------------------------
// Drawing and measuring routines

void DrawBitmapBlended(TBitmap* ADest, TBitmap* ABackground, TBitmap* AOverlay, Byte AAlpha) {
  if (!ADest || !ABackground || !AOverlay) return;
  if (TAlphaBlendProc blend = BoundAlphaBlend()) {
    ADest->Canvas()->Draw(0, 0, ABackground);
    BLENDFUNCTION function;
    function.BlendOp = AC_SRC_OVER;
    function.SourceConstantAlpha = AAlpha;
    if (blend(ADest->Canvas()->Handle(), 0, 0, ADest->Width(), ADest->Height(), AOverlay->Canvas()->Handle(), 0, 0,
              AOverlay->Width(), AOverlay->Height(), function))
      return;
  }
  BlendPixels(ADest, ABackground, AOverlay, AAlpha);
}

std::unique_ptr<TBitmap> CreateBitmapOfSize(const TPoint& ASize, TPixelFormat APixelFormat) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(APixelFormat);
  bitmap->SetSize(std::max<Integer>(ASize.X, 0), std::max<Integer>(ASize.Y, 0));
  return bitmap;
}

void CopyBitmapArea(TBitmap* ASource, TBitmap* ADest, const TPoint& ASourceOffset, const TRect& ARect,
                    const TPoint& ADestOffset) {
  if (!ASource || !ADest) return;
  ADest->Canvas()->CopyRect(ShiftRectByPoint(ARect, ADestOffset), ASource->Canvas(),
                            ShiftRectByPoint(ARect, ASourceOffset));
}

void DrawArrows(TcxCanvas* ACanvas, const TRect& ARect, Integer AKind, TColor APenColor, TColor ABrushColor) {
  if (!ACanvas || AKind < 0 || AKind > 3) return;
  using TShape = std::vector<TPoint>;
  static const TShape kDown = {{0, -1}, {-5, -6}, {-2, -6}, {-2, -9}, {2, -9}, {2, -6}, {5, -6}};
  static const TShape kUp = {{0, 0}, {5, 5}, {2, 5}, {2, 8}, {-2, 8}, {-2, 5}, {-5, 5}};
  static const TShape kRight = {{-1, 0}, {-6, -5}, {-6, -2}, {-9, -2}, {-9, 2}, {-6, 2}, {-6, 5}};
  static const TShape kLeft = {{0, 0}, {5, 5}, {5, 2}, {8, 2}, {8, -2}, {5, -2}, {5, -5}};
  const TRect& r = ARect;
  const TPoint anchors[4][2] = {
      {{r.Left, r.Top}, {r.Left, r.Bottom}},
      {{r.Left, r.Top}, {r.Right, r.Top}},
      {{r.Right, r.Top}, {r.Right, r.Bottom}},
      {{r.Left, r.Bottom}, {r.Right, r.Bottom}},
  };
  const bool vertical = AKind == 0 || AKind == 2;
  const TShape& first = vertical ? kDown : kRight;
  const TShape& second = vertical ? kUp : kLeft;
  ACanvas->SetBrushColor(ABrushColor);
  ACanvas->GetBrush()->SetStyle(bsSolid);
  ACanvas->GetPen()->SetColor(APenColor == clDefault ? (ColorToRGB(ABrushColor) ^ 0xFFFFFF) & 0xFFFFFF : APenColor);
  auto place = [](const TShape& shape, const TPoint& anchor) {
    TShape points;
    for (const TPoint& p : shape) points.push_back(AddPoints(p, anchor));
    return points;
  };
  ACanvas->DrawPolygon(place(first, anchors[AKind][0]));
  ACanvas->DrawPolygon(place(second, anchors[AKind][1]));
}

void FillHalftoneRect(TcxCanvas* ACanvas, const TRect& ARect, TColor ABackColor, TColor AForeColor) {
  if (!ACanvas) return;
  HDC dc = ACanvas->GetHandle();
  const TColor back = SetBkColor(dc, ColorToRGB(ABackColor));
  const TColor fore = SetTextColor(dc, ColorToRGB(AForeColor));
  FillRect(dc, ARect, HalftoneBrush()->Handle());
  SetBkColor(dc, back);
  SetTextColor(dc, fore);
}

void ApplyViewParams(TcxCanvas* ACanvas, const TcxStyleParams& AParams) {
  if (!ACanvas) return;
  if (AParams.Font) ACanvas->SetFont(AParams.Font);
  ACanvas->GetFont()->SetColor(AParams.TextColor);
  ACanvas->GetBrush()->SetColor(AParams.Color);
}

void SetCanvasWindowOrigin(TcxCanvas* ACanvas, TPoint& P) {
  if (!ACanvas) return;
  TPoint previous;
  SetWindowOrgEx(ACanvas->GetHandle(), P.X, P.Y, &previous);
  P = previous;
}

Integer TextWidthInFont(TFont* AFont, const String& AText) {
  TcxScreenCanvas* canvas = SharedScreenCanvas();
  if (AFont) canvas->SetFont(AFont);
  return canvas->GetTextWidth(AText);
}

Integer TextHeightInFont(TFont* AFont, const String& AText) {
  TcxScreenCanvas* canvas = SharedScreenCanvas();
  if (AFont) canvas->SetFont(AFont);
  return canvas->GetTextHeight(AText);
}

// ---------------------------------------------------------------------------
// TcxBrushCache

TcxBrushCache::TcxBrushCache() = default;

TcxBrushCache::~TcxBrushCache() = default;

Integer TcxBrushCache::IndexOf(TColor AColor) const {
  for (size_t i = 0; i < FEntries.size(); ++i)
    if (FEntries[i].Color == AColor) return static_cast<Integer>(i);
  return -1;
}

TBrush* TcxBrushCache::AddColor(TColor AColor) {
  Integer index = IndexOf(AColor);
  if (index >= 0) {
    TEntry& entry = FEntries[static_cast<size_t>(index)];
    if (entry.RefCount < 0) {  // marked while locked: in use again
      entry.RefCount = 1;
      if (FDeferredCount > 0) --FDeferredCount;
    } else {
      ++entry.RefCount;
    }
    return entry.Brush.get();
  }
  TEntry entry;
  entry.Brush = std::make_unique<TBrush>();
  entry.Brush->SetColor(AColor);
  entry.Color = AColor;
  entry.RefCount = 1;
  FEntries.push_back(std::move(entry));
  return FEntries.back().Brush.get();
}

void TcxBrushCache::ReleaseColor(TColor AColor) {
  Integer index = IndexOf(AColor);
  if (index < 0) return;
  TEntry& entry = FEntries[static_cast<size_t>(index)];
  if (entry.RefCount <= 0) return;
  if (--entry.RefCount == 0) Delete(index);
}

TBrush* TcxBrushCache::Brushes(TColor AColor) const {
  Integer index = IndexOf(AColor);
  return index < 0 ? nullptr : FEntries[static_cast<size_t>(index)].Brush.get();
}

Integer TcxBrushCache::UseCount(TColor AColor) const {
  Integer index = IndexOf(AColor);
  return index < 0 ? 0 : FEntries[static_cast<size_t>(index)].RefCount;
}

void TcxBrushCache::Delete(Integer AIndex) {
  if (FLockCount > 0) {
    FEntries[static_cast<size_t>(AIndex)].RefCount = -1;
    ++FDeferredCount;
    return;
  }
  FEntries.erase(FEntries.begin() + AIndex);
}

void TcxBrushCache::Lock() { ++FLockCount; }

void TcxBrushCache::Unlock() {
  if (FLockCount == 0) return;
  if (--FLockCount == 0 && FDeferredCount > 0) Pack();
}

void TcxBrushCache::Pack() {
  struct TResetDeferred {
    Integer& Count;
    ~TResetDeferred() { Count = 0; }
  } reset{FDeferredCount};
  Integer left = FDeferredCount;
  for (Integer i = Count() - 1; i >= 0 && left > 0; --i)
    if (FEntries[static_cast<size_t>(i)].RefCount < 0) {
      FEntries.erase(FEntries.begin() + i);
      --left;
    }
}
