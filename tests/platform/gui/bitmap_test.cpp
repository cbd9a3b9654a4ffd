#include "platform/gui/bitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <filesystem>

#include "platform/rtl/encoding.h"
#include "platform/rtl/streams.h"

namespace {

class BitmapTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { EnsureGuiRuntime(); }
  static String TempName(const char* name) {
    std::filesystem::path dir = std::filesystem::path(KORVANE_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(dir);
    return UTF8ToString((dir / name).string());
  }
};

TEST_F(BitmapTest, ScanLinesFollowThePixelFormat) {
  struct {
    TPixelFormat Format;
    Integer BytesPerLine;  // for 5 pixels
    std::vector<Byte> FirstBytes;  // row 0 after pixel 0 red, pixel 1 white, rest black
  } cases[] = {
      {pf1bit, 4, {0x40}},  // red is nearer black: 0; white: 1
      {pf8bit, 8, {0xE0, 0xFF}},  // 3-3-2 palette: red 111 000 00
      {pf24bit, 16, {0, 0, 255, 255, 255, 255}},
      {pf32bit, 20, {0, 0, 255}},
  };
  for (const auto& c : cases) {
    TBitmap bmp(5, 2, c.Format);
    EXPECT_EQ(bmp.PixelFormat(), c.Format);
    bmp.Canvas()->Brush()->SetColor(clBlack);
    bmp.Canvas()->FillRect({0, 0, 5, 2});
    bmp.Canvas()->SetPixels(0, 0, clRed);
    bmp.Canvas()->SetPixels(1, 0, clWhite);
    EXPECT_EQ(bmp.BytesPerScanLine(), c.BytesPerLine);
    const Byte* row = bmp.ScanLine(0);
    Byte used = c.Format == pf1bit ? 0xF8 : 0xFF;  // five pixels of the first byte
    for (size_t i = 0; i < c.FirstBytes.size(); ++i)
      EXPECT_EQ(row[i] & used, c.FirstBytes[i]) << c.Format << " byte " << i;
  }
}

TEST_F(BitmapTest, ScanLineWritesAreSeenByTheCanvas) {
  TBitmap bmp(4, 3, pf24bit);
  Byte* row = bmp.ScanLine(2);
  row[3] = 0x11, row[4] = 0x22, row[5] = 0x33;  // pixel 1: blue, green, red
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 2), RGB(0x33, 0x22, 0x11));
  bmp.Canvas()->SetPixels(0, 0, clBlue);
  EXPECT_EQ(bmp.ScanLine(0)[0], 0xFF);
  EXPECT_THROW(bmp.ScanLine(3), EInvalidGraphic);
  EXPECT_THROW(bmp.ScanLine(-1), EInvalidGraphic);
}

TEST_F(BitmapTest, ResizeKeepsPixelsAndFillsNewAreaWhite) {
  TBitmap bmp(4, 4, pf32bit);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect({0, 0, 4, 4});
  int changes = 0;
  bmp.OnChange = TNotifyEvent(&changes, [&changes](TObject*) { ++changes; });
  bmp.SetSize(6, 2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(bmp.PixelColor(3, 1), clRed);
  EXPECT_EQ(bmp.PixelColor(5, 1), clWhite);
  EXPECT_EQ(bmp.PixelColor(0, 2), -1);
  bmp.SetWidth(0);
  EXPECT_TRUE(bmp.Empty());
  bmp.Canvas()->FillRect({0, 0, 10, 10});  // drawing on an empty bitmap does nothing
}

TEST_F(BitmapTest, PixelFormatChangesConvert) {
  TBitmap bmp(2, 1, pf24bit);
  bmp.Canvas()->SetPixels(0, 0, RGB(200, 200, 200));
  bmp.Canvas()->SetPixels(1, 0, RGB(40, 40, 40));
  bmp.SetMonochrome(true);
  EXPECT_EQ(bmp.PixelColor(0, 0), clWhite);
  EXPECT_EQ(bmp.PixelColor(1, 0), clBlack);
  // Drawing on a monochrome bitmap gives black and white pixels only.
  bmp.Canvas()->SetPixels(0, 0, RGB(30, 0, 0));
  EXPECT_EQ(bmp.PixelColor(0, 0), clBlack);
  bmp.SetPixelFormat(pfDevice);
  EXPECT_EQ(bmp.PixelFormat(), pf32bit);
}

TEST_F(BitmapTest, TransparentColourAndMasks) {
  TBitmap bmp(3, 3, pf24bit);
  bmp.Canvas()->Brush()->SetColor(clFuchsia);
  bmp.Canvas()->FillRect({0, 0, 3, 3});
  bmp.Canvas()->SetPixels(1, 1, clNavy);
  EXPECT_EQ(bmp.TransparentMode(), tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), clFuchsia) << "the bottom-left pixel";
  bmp.SetTransparentColor(clNavy);
  EXPECT_EQ(bmp.TransparentMode(), tmFixed);
  EXPECT_EQ(bmp.TransparentColor(), clNavy);
  bmp.SetTransparentMode(tmAuto);
  EXPECT_EQ(bmp.TransparentColor(), clFuchsia);

  std::unique_ptr<TBitmap> mask = bmp.CreateMask(clFuchsia);
  EXPECT_TRUE(mask->Monochrome());
  EXPECT_EQ(mask->PixelColor(0, 0), clWhite);
  EXPECT_EQ(mask->PixelColor(1, 1), clBlack);

  // A transparent bitmap leaves out its transparent pixels when drawn.
  TBitmap dest(5, 5, pf32bit);
  dest.Canvas()->Brush()->SetColor(clYellow);
  dest.Canvas()->FillRect({0, 0, 5, 5});
  bmp.SetTransparent(true);
  dest.Canvas()->Draw(1, 1, &bmp);
  EXPECT_EQ(dest.PixelColor(1, 1), clYellow);
  EXPECT_EQ(dest.PixelColor(2, 2), clNavy);
  bmp.SetTransparent(false);
  dest.Canvas()->Draw(1, 1, &bmp);
  EXPECT_EQ(dest.PixelColor(1, 1), clFuchsia);

  bmp.Mask(clNavy);
  EXPECT_TRUE(bmp.Monochrome());
  EXPECT_EQ(bmp.PixelColor(1, 1), clWhite);
  EXPECT_EQ(bmp.PixelColor(0, 0), clBlack);
}

TEST_F(BitmapTest, BrushCopyReplacesOneColourWithTheBrush) {
  TBitmap glyph(2, 1, pf24bit);
  glyph.Canvas()->SetPixels(0, 0, clFuchsia);
  glyph.Canvas()->SetPixels(1, 0, clBlack);
  TBitmap dest(2, 1, pf32bit);
  dest.Canvas()->Brush()->SetColor(clGreen);
  dest.Canvas()->FillRect({0, 0, 2, 1});
  dest.Canvas()->Brush()->SetColor(clSilver);
  dest.Canvas()->BrushCopy({0, 0, 2, 1}, &glyph, {0, 0, 2, 1}, clFuchsia);
  EXPECT_EQ(dest.PixelColor(0, 0), clSilver);
  EXPECT_EQ(dest.PixelColor(1, 0), clBlack);
  dest.Canvas()->Brush()->SetColor(clGreen);
  dest.Canvas()->FillRect({0, 0, 2, 1});
  dest.Canvas()->Brush()->SetStyle(bsClear);
  dest.Canvas()->BrushCopy({0, 0, 2, 1}, &glyph, {0, 0, 2, 1}, clFuchsia);
  EXPECT_EQ(dest.PixelColor(0, 0), clGreen) << "a clear brush leaves the background";
}

TEST_F(BitmapTest, FilesRoundTripAndBadDataIsRefused) {
  TBitmap bmp(7, 5, pf24bit);
  for (Integer y = 0; y < 5; ++y)
    for (Integer x = 0; x < 7; ++x) bmp.Canvas()->SetPixels(x, y, RGB(x * 30, y * 50, 99));
  for (const char* name : {"roundtrip.bmp", "roundtrip.png"}) {
    String file = TempName(name);
    bmp.SaveToFile(file);
    TBitmap back;
    back.LoadFromFile(file);
    EXPECT_EQ(back.Width(), 7);
    EXPECT_EQ(back.Height(), 5);
    EXPECT_EQ(back.Pixels32(), bmp.Pixels32()) << name;
  }
  TMemoryStream stream;
  bmp.SaveToStream(&stream);
  stream.SetPosition(0);
  char magic[2];
  stream.ReadBuffer(magic, 2);
  EXPECT_EQ(std::memcmp(magic, "BM", 2), 0);

  TBitmap bad;
  bad.SetSize(2, 2);
  TStringStream junk("definitely not a picture");
  EXPECT_THROW(bad.LoadFromStream(&junk), EInvalidGraphic);
  EXPECT_EQ(bad.Width(), 2) << "a failed load keeps the picture";
  EXPECT_THROW(bad.LoadFromFile(TempName("missing-file.bmp")), EStreamError);
}

// A BMP file written field by field: the file header, a 40-byte info header
// and the given number of pixel bytes (all white).
std::string BmpFile(std::int32_t Width, std::int32_t Height, int Bits, std::size_t PixelBytes, std::uint32_t OffBits = 54) {
  std::string f;
  auto put = [&f](std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) f.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  f += "BM";
  put(54 + PixelBytes, 4);
  put(0, 4);
  put(OffBits, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(Width), 4);
  put(static_cast<std::uint32_t>(Height), 4);
  put(1, 2);  // planes
  put(static_cast<std::uint32_t>(Bits), 2);
  put(0, 4);  // uncompressed
  put(PixelBytes, 4);
  put(2835, 4);
  put(2835, 4);
  put(0, 4);
  put(0, 4);
  f.append(PixelBytes, '\xFF');
  return f;
}

TEST_F(BitmapTest, BmpHeadersAreCheckedAgainstTheBytesTheFileHas) {
  struct TCase {
    const char* Name;
    std::string Data;
    bool Loads;
  } cases[] = {
      {"2x2, 24 bits, complete", BmpFile(2, 2, 24, 16), true},
      {"2x2 stored top down", BmpFile(2, -2, 24, 16), true},
      {"last row cut short", BmpFile(2, 2, 24, 12), false},
      {"pixels start past the end", BmpFile(2, 2, 24, 16, 4096), false},
      {"no width", BmpFile(0, 2, 24, 16), false},
      {"negative width", BmpFile(-2, 2, 24, 16), false},
      {"no height", BmpFile(2, 0, 24, 16), false},
      {"height INT32_MIN", BmpFile(2, INT32_MIN, 24, 16), false},
      {"depth of 7 bits", BmpFile(2, 2, 7, 16), false},
      {"depth of 0 bits", BmpFile(2, 2, 0, 16), false},
      // Rows times row size beyond 64 bits: must not wrap round to a small size.
      {"widest and tallest", BmpFile(INT32_MAX, INT32_MAX, 32, 16), false},
      {"wide, tall top down", BmpFile(0x7FFFFFF0, -0x7FFFFFF0, 32, 16), false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TBitmap bmp;
    bmp.SetSize(3, 3);
    TStringStream stream(c.Data);
    if (c.Loads) {
      EXPECT_NO_THROW(bmp.LoadFromStream(&stream));
      EXPECT_EQ(bmp.Width(), 2);
      EXPECT_EQ(bmp.Height(), 2);
      EXPECT_EQ(bmp.PixelColor(1, 1), clWhite);
    } else {
      EXPECT_THROW(bmp.LoadFromStream(&stream), EInvalidGraphic);
      EXPECT_EQ(bmp.Width(), 3) << "a refused file leaves the picture as it was";
    }
  }
}

TEST_F(BitmapTest, AssignCopiesPixelsAndSettings) {
  TBitmap a(3, 2, pf8bit);
  a.Canvas()->SetPixels(2, 1, clRed);
  a.SetTransparentColor(clRed);
  TBitmap b;
  b.Assign(&a);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.PixelColor(2, 1), clRed);
  EXPECT_EQ(b.TransparentColor(), clRed);
  a.Canvas()->SetPixels(2, 1, clBlue);
  EXPECT_EQ(b.PixelColor(2, 1), clRed) << "a copy, not a share";
}

}  // namespace
