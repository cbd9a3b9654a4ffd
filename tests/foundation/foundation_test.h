#pragma once
// Shared by the foundation tests (and the editors tests, which draw with the
// same canvas): an image with pixel queries whose checks print the colour
// found, ink boxes and colour counts, distinct system colours, and enlarged
// pictures saved as PNG files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation/cxGraphics.h"
#include "platform/gui/bitmap.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/encoding.h"

namespace cxTest {

// The RGB value a colour (system colours included) is drawn with.
inline TColor RGBOf(TColor AColor) { return ColorToRGB(AColor) & 0xFFFFFF; }

// "r,g,b" of a colour, for failure messages.
inline std::string ColourText(TColor AColor) {
  const TColor c = RGBOf(AColor);
  char text[32];
  std::snprintf(text, sizeof text, "%u,%u,%u", unsigned(GetRValue(c)), unsigned(GetGValue(c)),
                unsigned(GetBValue(c)));
  return text;
}

// Whether the pixel has the colour; either way the message tells the colour
// found there.
inline testing::AssertionResult PixelIs(const TBitmap& ABitmap, Integer X, Integer Y, TColor AColor) {
  const TColor found = ABitmap.PixelColor(X, Y);
  testing::AssertionResult result =
      found == RGBOf(AColor) ? testing::AssertionSuccess() : testing::AssertionFailure();
  return result << "pixel (" << X << ", " << Y << ") is " << ColourText(found) << ", looked for "
                << ColourText(AColor);
}

// The bounding box of the pixels that differ from ABackground (all zero when none).
inline TRect InkBox(const TBitmap& ABitmap, TColor ABackground) {
  TRect box{0x7FFFFFFF, 0x7FFFFFFF, -1, -1};
  bool any = false;
  for (Integer y = 0; y < ABitmap.Height(); ++y)
    for (Integer x = 0; x < ABitmap.Width(); ++x)
      if (ABitmap.PixelColor(x, y) != RGBOf(ABackground)) {
        any = true;
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
      }
  return any ? box : TRect{};
}

inline Integer CountColor(const TBitmap& ABitmap, TColor AColor) {
  Integer n = 0;
  for (Integer y = 0; y < ABitmap.Height(); ++y)
    for (Integer x = 0; x < ABitmap.Width(); ++x)
      if (ABitmap.PixelColor(x, y) == RGBOf(AColor)) ++n;
  return n;
}

// A bitmap filled with one colour and a TcxCanvas over it.
struct TImage {
  TBitmap Bitmap;
  TcxCanvas Canvas;
  TImage(Integer AWidth, Integer AHeight, TColor AColor = clWhite)
      : Bitmap(AWidth, AHeight, pf32bit), Canvas(Bitmap.Canvas()) {
    Fill(AColor);
  }
  void Fill(TColor AColor) {
    Canvas.SetBrushColor(AColor);
    Bitmap.Canvas()->FillRect(Rect(0, 0, Bitmap.Width(), Bitmap.Height()));
  }
  TColor At(Integer X, Integer Y) const { return Bitmap.PixelColor(X, Y); }
  testing::AssertionResult Is(Integer X, Integer Y, TColor AColor) const { return PixelIs(Bitmap, X, Y, AColor); }
  Integer Count(const TRect& R, TColor AColor) const {
    Integer n = 0;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) n += At(x, y) == RGBOf(AColor) ? 1 : 0;
    return n;
  }
  // The bounding box of the pixels of AColor inside R (all zero when none).
  TRect Box(const TRect& R, TColor AColor) const {
    TRect box{0x7FFFFFFF, 0x7FFFFFFF, -1, -1};
    bool any = false;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x)
        if (At(x, y) == RGBOf(AColor)) {
          any = true;
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
        }
    return any ? box : TRect{};
  }
  bool SameAs(const TImage& AOther) const { return Bitmap.Pixels32() == AOther.Bitmap.Pixels32(); }
  // The pixels X0..X1-1 of row Y as '#' (AColor) and '.' (anything else).
  std::string Row(Integer Y, Integer X0, Integer X1, TColor AColor) const {
    std::string s;
    for (Integer x = X0; x < X1; ++x) s += At(x, Y) == RGBOf(AColor) ? '#' : '.';
    return s;
  }
};

// System colours that all differ, so that every edge and band can be told apart.
inline TSysColorTable DistinctColors() {
  TSysColorTable table = DefaultSysColorTable();
  table[COLOR_BTNFACE] = RGB(200, 200, 200);
  table[COLOR_BTNSHADOW] = RGB(128, 128, 128);
  table[COLOR_BTNHIGHLIGHT] = RGB(255, 255, 255);
  table[COLOR_3DDKSHADOW] = RGB(64, 64, 64);
  table[COLOR_3DLIGHT] = RGB(224, 224, 160);
  table[COLOR_BTNTEXT] = RGB(0, 0, 96);
  table[COLOR_WINDOW] = RGB(250, 250, 230);
  table[COLOR_WINDOWFRAME] = RGB(0, 0, 120);
  table[COLOR_WINDOWTEXT] = RGB(10, 10, 10);
  table[COLOR_GRAYTEXT] = RGB(150, 100, 100);
  table[COLOR_HIGHLIGHT] = RGB(10, 36, 106);
  table[COLOR_HIGHLIGHTTEXT] = RGB(240, 255, 240);
  return table;
}

// Saves the picture enlarged AScale times (each pixel a square, so that
// single pixels can be seen) as pictures/AName.png in the build folder.
inline void SavePicture(TBitmap& ABitmap, const std::string& AName, Integer AScale = 3) {
  std::filesystem::path dir = std::filesystem::path(KORVANE_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(dir);
  TBitmap large(ABitmap.Width() * AScale, ABitmap.Height() * AScale, pf24bit);
  large.Canvas()->StretchDraw(Rect(0, 0, large.Width(), large.Height()), &ABitmap);
  large.SaveToFile(UTF8ToString((dir / (AName + ".png")).string()));
}

}  // namespace cxTest
