// Pictures: JPEG, icons, bitmaps and PNG through TPicture, damaged files,
// metafiles, the dialog filter, and pictures on the clipboard.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/gui/clipboard.h"
#include "platform/gui/picture.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/streams.h"

namespace {

std::string TempPath(const char* Name) { return std::string("/tmp/korvane_picture_") + std::to_string(getpid()) + "_" + Name; }
String U(const std::string& S) { return UTF8ToString(S); }

RawByteString ReadFile(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return RawByteString(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const std::string& Path, const RawByteString& Data) {
  std::ofstream(Path, std::ios::binary).write(Data.data(), static_cast<std::streamsize>(Data.size()));
}

// Four coloured quarters, so a decoded picture can be checked roughly.
std::unique_ptr<TBitmap> Quarters(Integer W, Integer H) {
  auto b = std::make_unique<TBitmap>(W, H, pf24bit);
  TCanvas* c = b->Canvas();
  const TColor colours[] = {clRed, clLime, clBlue, clYellow};
  for (int i = 0; i < 4; ++i) {
    c->Brush()->SetColor(colours[i]);
    c->FillRect(TRect{(i % 2) * W / 2, (i / 2) * H / 2, (i % 2 + 1) * W / 2, (i / 2 + 1) * H / 2});
  }
  return b;
}

bool Near(TColor A, TColor B, int Tolerance) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(int((A >> shift) & 0xFF) - int((B >> shift) & 0xFF)) > Tolerance) return false;
  return true;
}

void PutLE(RawByteString& S, unsigned V, int Bytes) {
  for (int i = 0; i < Bytes; ++i) S += static_cast<char>((V >> (8 * i)) & 0xFF);
}

// A 16x16 icon file: one 32-bit image, the top half opaque red, the bottom
// half fully transparent.
RawByteString MakeIcon() {
  constexpr unsigned N = 16;
  RawByteString pixels, mask;
  for (unsigned y = 0; y < N; ++y) {  // rows bottom first
    bool opaque = y >= N / 2;
    for (unsigned x = 0; x < N; ++x) PutLE(pixels, opaque ? 0xFFFF0000u : 0x00000000u, 4);
    PutLE(mask, opaque ? 0u : 0xFFFFFFFFu, 4);  // 16 bits, padded to 4 bytes
  }
  RawByteString header;
  PutLE(header, 40, 4); PutLE(header, N, 4); PutLE(header, N * 2, 4); PutLE(header, 1, 2); PutLE(header, 32, 2);
  PutLE(header, 0, 4); PutLE(header, static_cast<unsigned>(pixels.size() + mask.size()), 4);
  PutLE(header, 0, 4); PutLE(header, 0, 4); PutLE(header, 0, 4); PutLE(header, 0, 4);
  RawByteString image = header + pixels + mask;
  RawByteString file;
  PutLE(file, 0, 2); PutLE(file, 1, 2); PutLE(file, 1, 2);
  file += static_cast<char>(N); file += static_cast<char>(N); file += '\0'; file += '\0';
  PutLE(file, 1, 2); PutLE(file, 32, 2); PutLE(file, static_cast<unsigned>(image.size()), 4); PutLE(file, 22, 4);
  return file + image;
}

TEST(Picture, JpegWrittenAndReadBackKeepsSizeAndApproximatePixels) {
  auto source = Quarters(40, 30);
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(90);
  jpeg.Assign(source.get());
  std::string path = TempPath("q.jpg");
  jpeg.SaveToFile(U(path));

  TPicture picture;
  picture.LoadFromFile(U(path));
  ASSERT_TRUE(dynamic_cast<TJPEGImage*>(picture.Graphic()));
  EXPECT_EQ(picture.Width(), 40);
  EXPECT_EQ(picture.Height(), 30);
  TBitmap back;
  back.Assign(picture.Graphic());
  const TColor colours[] = {clRed, clLime, clBlue, clYellow};
  for (int i = 0; i < 4; ++i) {
    TColor got = back.PixelColor((i % 2) * 20 + 10, (i / 2) * 15 + 7);
    EXPECT_TRUE(Near(got, colours[i], 40)) << i << ": " << std::hex << got;
  }
  // The quality decides the size of what is written.
  TMemoryStream low, high;
  jpeg.SetCompressionQuality(5);
  jpeg.Assign(source.get());
  jpeg.SaveToStream(&low);
  jpeg.SetCompressionQuality(100);
  jpeg.Assign(source.get());
  jpeg.SaveToStream(&high);
  EXPECT_LT(low.Size(), high.Size());
  std::remove(path.c_str());
}

TEST(Picture, BmpPngAndIconLoadByContent) {
  auto source = Quarters(8, 6);
  std::string bmp = TempPath("a.bmp"), png = TempPath("a.png"), ico = TempPath("a.ico"), misnamed = TempPath("b.bmp");
  source->SaveToFile(U(bmp));
  source->SaveToFile(U(png));
  WriteFile(ico, MakeIcon());
  WriteFile(misnamed, ReadFile(png));  // PNG bytes behind a .bmp name
  for (const std::string& name : {bmp, png, misnamed}) {
    TPicture p;
    p.LoadFromFile(U(name));
    ASSERT_TRUE(dynamic_cast<TBitmap*>(p.Graphic())) << name;
    EXPECT_EQ(p.Width(), 8);
    EXPECT_EQ(static_cast<TBitmap*>(p.Graphic())->PixelColor(6, 4), clYellow) << name;
  }
  TPicture p;
  p.LoadFromFile(U(ico));
  auto* icon = dynamic_cast<TIcon*>(p.Graphic());
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Width(), 16);
  // Drawing leaves the transparent half alone.
  TBitmap canvas(16, 16, pf24bit);
  canvas.Canvas()->Brush()->SetColor(clWhite);
  canvas.Canvas()->FillRect(TRect{0, 0, 16, 16});
  canvas.Canvas()->Draw(0, 0, icon);
  EXPECT_EQ(canvas.PixelColor(3, 3), clRed);
  EXPECT_EQ(canvas.PixelColor(3, 12), clWhite);
  for (const std::string& name : {bmp, png, ico, misnamed}) std::remove(name.c_str());
}

TEST(Picture, DamagedFilesRaiseAndLeaveThePictureAsItWas) {
  auto source = Quarters(32, 32);
  TMemoryStream bmp, png, jpg;
  source->SaveToStream(&bmp);
  std::string pngPath = TempPath("c.png");
  source->SaveToFile(U(pngPath));
  TJPEGImage j;
  j.Assign(source.get());
  j.SaveToStream(&jpg);
  auto bytes = [](TMemoryStream& S) { return RawByteString(static_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size())); };
  struct TCase {
    const char* Name;
    RawByteString Data;
  } cases[] = {
      {"cut.bmp", bytes(bmp).substr(0, 200)},
      {"cut.png", ReadFile(pngPath).substr(0, 60)},
      {"cut.ico", MakeIcon().substr(0, 100)},
      {"cut.jpg", bytes(jpg).substr(0, bytes(jpg).size() / 2)},
      {"header.jpg", bytes(jpg).substr(0, 4)},
      {"noise.jpg", RawByteString("\xFF\xD8\xFF garbage garbage garbage")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPicture p;
    p.Assign(source.get());
    TGraphic* before = p.Graphic();
    Integer changes = 0;
    p.OnChange = TNotifyEvent(&p, [&](TObject*) { ++changes; });
    std::string path = TempPath(c.Name);
    WriteFile(path, c.Data);
    EXPECT_THROW(p.LoadFromFile(U(path)), EInvalidGraphic);
    TStringStream stream(c.Data);
    EXPECT_THROW(p.LoadFromStream(&stream), EInvalidGraphic);
    EXPECT_EQ(p.Graphic(), before);
    EXPECT_EQ(p.Width(), 32);
    EXPECT_EQ(changes, 0);
    std::remove(path.c_str());
  }
  std::remove(pngPath.c_str());
}

TEST(Picture, MetafilesAndUnknownFilesFailWithAClearMessage) {
  std::string wmf = TempPath("m.wmf"), txt = TempPath("t.xyz");
  WriteFile(wmf, RawByteString("\xD7\xCD\xC6\x9A\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 22));
  WriteFile(txt, "plain text");
  TPicture p;
  try {
    p.LoadFromFile(U(wmf));
    FAIL() << "a metafile loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(StringToUTF8(e.Message).find("Metafile"), std::string::npos);
  }
  try {
    p.LoadFromFile(U(txt));
    FAIL() << "text loaded as a picture";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message, u"Unknown picture file extension (.xyz)");
  }
  EXPECT_EQ(p.Graphic(), nullptr);
  std::remove(wmf.c_str());
  std::remove(txt.c_str());
}

TEST(Picture, FilterTextAndKindsByExtension) {
  EXPECT_EQ(GraphicFilter(TIcon::StaticClass()), u"Icons (*.ico)|*.ico");
  EXPECT_EQ(GraphicFilter(TJPEGImage::StaticClass()),
            u"All (*.jpg;*.jpeg)|*.jpg;*.jpeg|JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg");
  String all = GraphicFilter(nullptr);
  EXPECT_EQ(all.rfind(u"All (*.bmp;*.png;*.ico;*.emf;*.wmf;*.jpg;*.jpeg)|", 0), 0u);
  EXPECT_EQ(GraphicClassOfExtension(u".JPG"), TJPEGImage::StaticClass());
  EXPECT_EQ(GraphicClassOfExtension(u"png"), TBitmap::StaticClass());
  EXPECT_EQ(GraphicClassOfExtension(u".txt"), nullptr);
  EXPECT_EQ(GraphicExtension(TIcon::StaticClass()), u"ico");
}

TEST(Picture, AssignCopiesAndTellsOnChange) {
  auto source = Quarters(10, 10);
  TPicture a, b;
  Integer changes = 0;
  b.OnChange = TNotifyEvent(&b, [&](TObject*) { ++changes; });
  a.Assign(source.get());
  b.Assign(&a);
  EXPECT_EQ(changes, 1);
  ASSERT_NE(b.Graphic(), a.Graphic());
  EXPECT_EQ(b.Width(), 10);
  b.Bitmap()->Canvas()->SetPixels(0, 0, clBlack);  // a change of the graphic itself
  EXPECT_GE(changes, 2);
  EXPECT_EQ(static_cast<TBitmap*>(a.Graphic())->PixelColor(0, 0), clRed);
  b.Assign(nullptr);
  EXPECT_EQ(b.Graphic(), nullptr);
}

TEST(Clipboard, PicturesAndTextRoundTrip) {
  EnsureGuiRuntime();
  auto source = Quarters(6, 4);
  TPicture p;
  p.Assign(source.get());
  Clipboard()->Assign(&p);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_METAFILEPICT));
  TPicture back;
  back.Assign(Clipboard());
  ASSERT_TRUE(dynamic_cast<TBitmap*>(back.Graphic()));
  EXPECT_EQ(static_cast<TBitmap*>(back.Graphic())->Pixels32(), source->Pixels32());
  Clipboard()->SetAsText(u"文本");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_EQ(Clipboard()->AsText(), u"文本");
  EXPECT_THROW(back.Assign(Clipboard()), EInvalidGraphic);
  EXPECT_TRUE(dynamic_cast<TBitmap*>(back.Graphic()));  // unchanged
}

}  // namespace
