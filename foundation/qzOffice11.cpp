#include "foundation/qzOffice11.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <vector>

#include "foundation/cxGraphics.h"
#include "foundation/qzThemeManager.h"
#include "foundation/qzUxTheme.h"
#include "platform/rtl/sysutils.h"

namespace {

using TColorSet = std::array<TColor, Office11ColorCount + 1>;  // [0] unused
using TSchemeColors = std::array<TColor, Office11ColorCount>;
constexpr Integer kDerivedCount = o11dBorder + 1;

// The fixed sets of the three colour variants, entries 1 to 37.
constexpr TSchemeColors kBlue = {
    RGB(221, 236, 254), RGB(129, 169, 226), RGB(158, 190, 245), RGB(195, 218, 249), RGB(0, 53, 145),
    RGB(117, 166, 241), RGB(255, 193, 118), RGB(255, 248, 211), RGB(255, 221, 152), RGB(254, 149, 82),
    RGB(59, 97, 156),   RGB(123, 164, 224), RGB(39, 65, 118),   RGB(255, 255, 255), RGB(106, 140, 203),
    RGB(241, 249, 255), RGB(42, 102, 201),  RGB(196, 219, 249), RGB(0, 45, 150),    RGB(246, 246, 246),
    RGB(255, 238, 194), RGB(0, 0, 128),     RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 211, 142),
    RGB(254, 145, 78),  RGB(203, 225, 252), RGB(255, 192, 111), RGB(254, 128, 62),  RGB(169, 199, 240),
    RGB(0, 0, 0),       RGB(141, 141, 141), RGB(190, 218, 251), RGB(251, 230, 148), RGB(196, 218, 250),
    RGB(0, 45, 150),    RGB(55, 104, 185),
};
constexpr TSchemeColors kOlive = {
    RGB(244, 247, 222), RGB(183, 198, 145), RGB(217, 217, 167), RGB(242, 240, 228), RGB(96, 119, 107),
    RGB(176, 194, 140), RGB(255, 193, 118), RGB(255, 248, 211), RGB(255, 221, 152), RGB(254, 149, 82),
    RGB(96, 128, 88),   RGB(181, 196, 143), RGB(81, 94, 51),    RGB(255, 255, 255), RGB(96, 128, 88),
    RGB(244, 247, 222), RGB(116, 134, 94),  RGB(225, 222, 173), RGB(117, 141, 94),  RGB(244, 244, 238),
    RGB(255, 238, 194), RGB(63, 93, 56),    RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 211, 142),
    RGB(254, 145, 78),  RGB(216, 227, 182), RGB(255, 192, 111), RGB(254, 128, 62),  RGB(197, 212, 159),
    RGB(0, 0, 0),       RGB(141, 141, 141), RGB(175, 186, 145), RGB(251, 230, 148), RGB(242, 241, 228),
    RGB(96, 128, 88),   RGB(115, 137, 84),
};
constexpr TSchemeColors kSilver = {
    RGB(243, 244, 250), RGB(153, 151, 181), RGB(215, 215, 229), RGB(243, 243, 247), RGB(118, 116, 146),
    RGB(179, 178, 200), RGB(255, 193, 118), RGB(255, 248, 211), RGB(255, 221, 152), RGB(254, 149, 82),
    RGB(124, 124, 148), RGB(147, 145, 176), RGB(84, 84, 117),   RGB(255, 255, 255), RGB(110, 109, 143),
    RGB(255, 255, 255), RGB(122, 121, 153), RGB(219, 218, 228), RGB(124, 124, 148), RGB(253, 250, 255),
    RGB(255, 238, 194), RGB(75, 75, 111),   RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 211, 142),
    RGB(254, 145, 78),  RGB(214, 211, 231), RGB(255, 192, 111), RGB(254, 128, 62),  RGB(192, 192, 211),
    RGB(0, 0, 0),       RGB(141, 141, 141), RGB(229, 229, 235), RGB(251, 230, 148), RGB(243, 243, 247),
    RGB(124, 124, 148), RGB(112, 111, 145),
};

// Entries that have a brush of their own.
constexpr std::array<Integer, 12> kBrushEntries = {13, 14, 15, 16, 19, 20, 21, 22, 27, 28, 29, 30};

struct TSchemeState {
  bool Computed = false;
  Integer References = 0;
  TqzOffice11Scheme Scheme = o11sNone;
  TColorSet Colors{};
  std::array<TColor, kDerivedCount> Derived{};
  std::map<Integer, HBRUSH> Brushes;  // by entry
  HBRUSH SecondGroupBrush = nullptr;
  std::unique_ptr<TBitmap> SubMenuExpand;
  std::unique_ptr<TBitmap> ExpandMinus;
  std::unique_ptr<TBitmap> ExpandPlus;
};

TSchemeState& State() {
  static TSchemeState* s = new TSchemeState;
  return *s;
}

Byte ClampChannel(Integer AValue) { return static_cast<Byte>(std::clamp(AValue, 0, 255)); }

// clBtnFace, clHighlight and clWindow weighed by signed percentages; a black
// or white button face gives the highlight colour.
TColor BlendSystemColors(Integer AFace, Integer AHighlight, Integer AWindow) {
  const TColor face = ColorToRGB(clBtnFace);
  const TColor highlight = ColorToRGB(clHighlight);
  const TColor window = ColorToRGB(clWindow);
  if (face == 0 || face == 0xFFFFFF) return highlight;
  auto channel = [&](Byte (*Get)(TColor)) {
    return ClampChannel(MulDiv(Get(face), AFace, 100) + MulDiv(Get(highlight), AHighlight, 100) +
                        MulDiv(Get(window), AWindow, 100));
  };
  return RGB(channel(GetRValue), channel(GetGValue), channel(GetBValue));
}

TqzOffice11Scheme SchemeOfColorName(const String& AColorName) {
  const String name = AnsiUpperCase(AColorName);
  if (name == u"NORMALCOLOR") return o11sBlue;
  if (name == u"HOMESTEAD") return o11sOlive;
  if (name == u"METALLIC") return o11sSilver;
  return o11sNone;
}

TqzOffice11Scheme DetectScheme() {
  if (!ThemeClassesAvailable(0)) return o11sNone;
  constexpr Integer kBufferChars = 1024;
  std::vector<Char> file(kBufferChars, 0), color(kBufferChars, 0), size(kBufferChars, 0);
  if (FAILED(GetCurrentThemeName(file.data(), kBufferChars, color.data(), kBufferChars, size.data(), kBufferChars)))
    return o11sNone;
  file.back() = color.back() = 0;  // a library that filled a buffer to the end
  const String path(file.data());
  const size_t slash = path.find_last_of(u"\\/");
  const String fileName = slash == String::npos ? path : path.substr(slash + 1);
  if (AnsiUpperCase(fileName) != u"LUNA.MSSTYLES") return o11sNone;
  return SchemeOfColorName(String(color.data()));
}

void ComputeClassicColors(TColorSet& C) {
  const TColor face = ColorToRGB(clBtnFace);
  const TColor window = ColorToRGB(clWindow);
  const TColor shadow = ColorToRGB(clBtnShadow);
  C[1] = Office11MixColors(face, window, 22);
  C[2] = Office11MixColors(face, window, 96);
  C[3] = face;
  C[4] = Office11MixColors(face, window, 20);
  C[5] = shadow;
  C[6] = Office11MixColors(shadow, window, 74);
  C[7] = C[8] = GetNearestScreenColor(BlendSystemColors(-15, 29, 86));
  C[9] = C[10] = GetNearestScreenColor(BlendSystemColors(42, 11, 47));
  C[11] = Office11MixColors(face, window, 85);
  C[12] = face;
  C[13] = Office11MixColors(shadow, window, 76);
  C[14] = window;
  C[15] = Office11MixColors(shadow, window, 70);
  C[16] = clWhite;
  C[17] = shadow;
  C[18] = C[2];
  C[19] = shadow;
  C[20] = window;
  C[21] = C[23] = C[24] = GetNearestScreenColor(BlendSystemColors(-2, 30, 72));
  C[22] = ColorToRGB(clHighlight);
  C[29] = C[25] = C[26] = GetNearestScreenColor(BlendSystemColors(14, 44, 40));
  C[27] = C[2];
  C[28] = BlendSystemColors(41, 11, 48);
  C[30] = C[2];
  C[31] = ColorToRGB(clBtnText);
  C[32] = ColorToRGB(clGrayText);
  C[33] = face;
  C[34] = C[28];
  C[35] = C[3];
  C[36] = C[19];
  C[37] = shadow;
}

void ComputeColors(TSchemeState& S) {
  S.Scheme = DetectScheme();
  const bool themed = S.Scheme != o11sNone;
  TColorSet& C = S.Colors;
  if (themed) {
    const TSchemeColors& fixed = S.Scheme == o11sBlue ? kBlue : S.Scheme == o11sOlive ? kOlive : kSilver;
    std::copy(fixed.begin(), fixed.end(), C.begin() + 1);
  } else {
    ComputeClassicColors(C);
  }
  auto& D = S.Derived;
  const TColor window = ColorToRGB(clWindow);
  D[o11dFirstGroup1] = themed ? Office11MixColors(C[6], C[1], 90) : Office11MixColors(C[5], window, 50);
  D[o11dFirstGroup2] = themed ? Office11MixColors(C[8], C[1], 90) : Office11MixColors(C[7], window, 50);
  D[o11dFirstGroup3] = themed ? Office11MixColors(C[10], C[1], 90) : Office11MixColors(C[9], window, 50);
  D[o11dSecondGroup1] = Office11MixColors(C[5], C[12], 50);
  D[o11dSecondGroup2] = Office11MixColors(C[7], C[12], 50);
  D[o11dSecondGroup3] = Office11MixColors(C[9], C[12], 50);
  D[o11dDarkerTone1] = Office11MixColors(C[1], clBlack, 92);
  D[o11dDarkerTone2] = Office11MixColors(C[2], clBlack, 92);
  D[o11dExtra] = themed ? RGB(253, 238, 201) : ColorToRGB(clBtnFace);
  D[o11dBorder] = themed ? C[12] : ColorToRGB(clBtnShadow);
  S.Computed = true;
}

TSchemeState& Computed() {
  TSchemeState& s = State();
  if (!s.Computed) ComputeColors(s);
  return s;
}

// ---- Bitmaps, drawn in code --------------------------------------------------------------

Cardinal ToPixel(TColor AColor) {
  const TColor c = ColorToRGB(AColor);
  return 0xFF000000u | (Cardinal(GetRValue(c)) << 16) | (Cardinal(GetGValue(c)) << 8) | GetBValue(c);
}

TColor FromPixel(Cardinal APixel) {
  return RGB(static_cast<Byte>(APixel >> 16), static_cast<Byte>(APixel >> 8), static_cast<Byte>(APixel));
}

// Calls APaint(X, Y) -> colour for every pixel of the bitmap.
template <class F>
void PaintPixels(TBitmap* ABitmap, F APaint) {
  Integer stride = 0;
  Cardinal* bits = ABitmap->BeginDraw(stride);
  if (!bits) return;
  for (Integer y = 0; y < ABitmap->Height(); ++y) {
    Cardinal* row = reinterpret_cast<Cardinal*>(reinterpret_cast<Byte*>(bits) + y * stride);
    for (Integer x = 0; x < ABitmap->Width(); ++x) row[x] = ToPixel(APaint(x, y, FromPixel(row[x])));
  }
  ABitmap->EndDraw();
}

constexpr TColor kSubMenuKey = RGB(255, 0, 255);

// A grey arrow pointing right on the key colour: columns 1 to 4 narrow
// towards the tip at (4, 4), each column one shade darker.
void DrawSubMenuArrow(TBitmap* ABitmap) {
  constexpr std::array<Byte, 5> kShades = {0, 224, 176, 128, 80};
  PaintPixels(ABitmap, [&](Integer X, Integer Y, TColor) {
    const bool inArrow = X >= 1 && X <= 4 && Y >= X && Y <= 8 - X;
    return inArrow ? RGB(kShades[size_t(X)], kShades[size_t(X)], kShades[size_t(X)]) : kSubMenuKey;
  });
}

// An 11 x 11 box: a frame shading from the first corner colour (top left)
// to the second (bottom right), a white to light grey face and a black sign.
void DrawExpandButton(TBitmap* ABitmap, bool AExpanded) {
  constexpr Integer last = Office11ExpandButtonSize - 1;
  PaintPixels(ABitmap, [&](Integer X, Integer Y, TColor) {
    if (X == 0 || Y == 0 || X == last || Y == last)
      return Office11MixColors(Office11ExpandButtonCornerColor2, Office11ExpandButtonCornerColor1,
                               MulDiv(X + Y, 100, 2 * last));
    const bool minus = Y == 5 && X >= 3 && X <= 7;
    const bool bar = X == 5 && Y >= 3 && Y <= 7;
    if (minus || (!AExpanded && bar)) return clBlack;
    return Office11MixColors(RGB(198, 212, 223), clWhite, MulDiv(Y - 1, 100, last - 2));
  });
}

void DrawBitmaps(TSchemeState& S) {
  DrawSubMenuArrow(S.SubMenuExpand.get());
  Office11RecolorBitmap(S.SubMenuExpand.get(), S.Colors[o11MiddleFace], S.Colors[o11PaleFace]);
  DrawExpandButton(S.ExpandMinus.get(), true);
  DrawExpandButton(S.ExpandPlus.get(), false);
}

void CreateResources(TSchemeState& S) {
  for (Integer entry : kBrushEntries) S.Brushes[entry] = CreateSolidBrush(S.Colors[size_t(entry)]);
  S.SecondGroupBrush = CreateSolidBrush(S.Derived[o11dSecondGroup1]);
  S.SubMenuExpand = std::make_unique<TBitmap>(5, 9, pf24bit);
  S.SubMenuExpand->SetTransparentColor(kSubMenuKey);
  S.SubMenuExpand->SetTransparent(true);
  S.ExpandMinus = std::make_unique<TBitmap>(Office11ExpandButtonSize, Office11ExpandButtonSize, pf24bit);
  S.ExpandPlus = std::make_unique<TBitmap>(Office11ExpandButtonSize, Office11ExpandButtonSize, pf24bit);
  DrawBitmaps(S);
}

// Brushes and bitmaps take the current colours; the objects stay the same.
void UpdateResources(TSchemeState& S) {
  for (auto& [entry, brush] : S.Brushes) brush->Color = S.Colors[size_t(entry)];
  S.SecondGroupBrush->Color = S.Derived[o11dSecondGroup1];
  DrawBitmaps(S);
}

void DestroyResources(TSchemeState& S) {
  for (auto& [entry, brush] : S.Brushes) DeleteObject(brush);
  S.Brushes.clear();
  DeleteObject(S.SecondGroupBrush);
  S.SecondGroupBrush = nullptr;
  S.SubMenuExpand.reset();
  S.ExpandMinus.reset();
  S.ExpandPlus.reset();
}

}  // namespace

void Office11SchemeAddRef() {
  TSchemeState& s = State();
  if (s.References++ > 0) return;
  ComputeColors(s);
  CreateResources(s);
}

void Office11SchemeRelease() {
  TSchemeState& s = State();
  if (s.References == 0) return;
  if (--s.References == 0) DestroyResources(s);
}

void Office11SchemeRefresh() {
  TSchemeState& s = State();
  ComputeColors(s);
  if (s.References > 0) UpdateResources(s);
}

TqzOffice11Scheme Office11Scheme() { return Computed().Scheme; }

// A scheme is detected only while visual styles are available.
bool Office11SchemeThemed() { return Office11Scheme() != o11sNone; }

TColor Office11Color(Integer AEntry) {
  if (AEntry < 1 || AEntry > Office11ColorCount) return clNone;
  return Computed().Colors[size_t(AEntry)];
}

TColor Office11DerivedColor(TqzOffice11DerivedColor AColor) {
  if (AColor < 0 || AColor >= kDerivedCount) return clNone;
  return Computed().Derived[size_t(AColor)];
}

TColor Office11MixColors(TColor A, TColor B, Integer APercent) {
  const TColor a = ColorToRGB(A);
  const TColor b = ColorToRGB(B);
  auto channel = [&](Byte (*Get)(TColor)) {
    return ClampChannel(MulDiv(Get(a), APercent, 100) + MulDiv(Get(b), 100 - APercent, 100));
  };
  return GetNearestScreenColor(RGB(channel(GetRValue), channel(GetGValue), channel(GetBValue)));
}

HBRUSH Office11Brush(Integer AEntry) {
  const auto& brushes = State().Brushes;
  const auto it = brushes.find(AEntry);
  return it == brushes.end() ? nullptr : it->second;
}

HBRUSH Office11SecondGroupBrush() { return State().SecondGroupBrush; }

TBitmap* Office11SubMenuExpandBitmap() { return State().SubMenuExpand.get(); }

TBitmap* Office11ExpandButtonBitmap(bool AExpanded) {
  return AExpanded ? State().ExpandMinus.get() : State().ExpandPlus.get();
}

void Office11FillRect(HDC DC, const TRect& Rect, TColor Color) {
  HBRUSH brush = CreateSolidBrush(Color);
  FillRect(DC, Rect, brush);
  DeleteObject(brush);
}

void Office11GradientFill(HDC DC, const TRect& Rect, TColor Color1, TColor Color2, bool Horizontal) {
  const TColor from = ColorToRGB(Color1);
  const TColor to = ColorToRGB(Color2);
  if (from == to) {
    Office11FillRect(DC, Rect, from);
    return;
  }
  const Integer start = Horizontal ? Rect.Left : Rect.Top;
  const Integer extent = Horizontal ? Rect.Width() : Rect.Height();
  if (extent <= 0) return;
  const Integer steps = std::min(extent, 256);
  auto channel = [&](Byte (*Get)(TColor), Integer AStep) {
    // One band only (a one-pixel extent) takes the first colour.
    const Integer delta = steps > 1 ? MulDiv(AStep, Get(to) - Get(from), steps - 1) : 0;
    return ClampChannel(Get(from) + delta);
  };
  Integer bandStart = start;
  for (Integer i = 0; i < steps; ++i) {
    const Integer bandEnd = start + MulDiv(i + 1, extent, steps);
    if (bandEnd > bandStart) {
      TRect band = Rect;
      if (Horizontal) {
        band.Left = bandStart;
        band.Right = bandEnd;
      } else {
        band.Top = bandStart;
        band.Bottom = bandEnd;
      }
      Office11FillRect(DC, band, RGB(channel(GetRValue, i), channel(GetGValue, i), channel(GetBValue, i)));
      bandStart = bandEnd;
    }
    if (bandEnd >= start + extent) break;
  }
}

void Office11RecolorBitmap(TBitmap* ABitmap, TColor AColor1, TColor AColor2) {
  if (!ABitmap || ABitmap->Empty()) return;
  const TColor c1 = ColorToRGB(AColor1);
  TColor c2 = ColorToRGB(AColor2);
  if (c1 == c2) c2 = c1 == clBlack ? clWhite : clBlack;
  const TColor key = ABitmap->PixelColor(0, 0);
  auto recoloured = [&](TColor APixel) { return APixel != key && APixel != clBlack; };
  Integer smallest = 255, largest = 1;
  for (Integer y = 0; y < ABitmap->Height(); ++y)
    for (Integer x = 0; x < ABitmap->Width(); ++x) {
      const TColor pixel = ABitmap->PixelColor(x, y);
      if (!recoloured(pixel)) continue;
      smallest = std::min<Integer>(smallest, GetRValue(pixel));
      largest = std::max<Integer>(largest, GetRValue(pixel));
    }
  PaintPixels(ABitmap, [&](Integer, Integer, TColor APixel) {
    if (!recoloured(APixel)) return APixel;
    const Integer percent = largest > smallest ? MulDiv(GetRValue(APixel) - smallest, 100, largest - smallest) : 0;
    return Office11MixColors(c1, c2, percent);
  });
}
