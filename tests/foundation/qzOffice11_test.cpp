#include "foundation/qzOffice11.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxPainterImages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "foundation/cxGraphics.h"
#include "foundation/qzThemeManager.h"
#include "foundation/qzUxTheme.h"

namespace {

// ---- A library that reports a current theme -------------------------------------------------

struct TFakeTheme {
  bool Active = true;
  bool NameFails = false;
  std::u16string File = u"C:\\Themes\\Standard\\Luna.msstyles";
  std::u16string Color = u"NormalColor";
} GTheme;

void CopyName(const std::u16string& AText, Char* ABuffer, Integer AMax) {
  const size_t n = std::min(AText.size(), size_t(AMax - 1));
  AText.copy(ABuffer, n);
  ABuffer[n] = 0;
}
HRESULT FakeThemeName(Char* File, Integer MaxFile, Char* Color, Integer MaxColor, Char* Size, Integer MaxSize) {
  if (GTheme.NameFails) return E_FAIL;
  CopyName(GTheme.File, File, MaxFile);
  CopyName(GTheme.Color, Color, MaxColor);
  CopyName(u"NormalSize", Size, MaxSize);
  return S_OK;
}
bool FakeActive() { return GTheme.Active; }

std::unique_ptr<TqzThemeLibrary> ThemedLibrary() {
  auto library = std::make_unique<TqzThemeLibrary>();
  library->AddProc("GetCurrentThemeName", &FakeThemeName);
  library->AddProc("IsThemeActive", &FakeActive);
  return library;
}

std::string Rgb(TColor C) {
  return std::to_string(GetRValue(C)) + "," + std::to_string(GetGValue(C)) + "," + std::to_string(GetBValue(C));
}

class qzOffice11Test : public ::testing::Test {
protected:
  void SetUp() override {
    // Units built on the scheme keep a reference while they live; these
    // tests count references from zero.
    cxPainterImagesFinalize();
    cxLookAndFeelsFinalize();
    GTheme = TFakeTheme{};
    SetSysColorTable(DefaultSysColorTable());
    Office11SchemeRefresh();
  }
  void TearDown() override {
    SetSysColorTable(DefaultSysColorTable());
    qzThemeManagerFinalize();
    qzUxThemeFinalize();
    Office11SchemeRefresh();  // back to the platform's colours
  }
  // The theme units start again with the fake library; the scheme follows.
  static void UseThemedLibrary() {
    qzThemeManagerFinalize();
    qzUxThemeInitialize(5, 1, ThemedLibrary());
    qzThemeManagerInitialize();
    Office11SchemeRefresh();
  }
  static TSysColorTable TableWith(TColor Face, TColor Window) {
    TSysColorTable table = DefaultSysColorTable();
    table[COLOR_BTNFACE] = Face;
    table[COLOR_WINDOW] = Window;
    return table;
  }
};

// RAII reference on the scheme.
struct TSchemeReference {
  TSchemeReference() { Office11SchemeAddRef(); }
  ~TSchemeReference() { Office11SchemeRelease(); }
};

TEST_F(qzOffice11Test, ClassicColoursAreDerivedFromTheSystemColours) {
  // Button face 212,208,200, window white, shadow 128 grey, highlight 10,36,106.
  EXPECT_EQ(Office11Scheme(), o11sNone);
  EXPECT_FALSE(Office11SchemeThemed());
  struct TCase {
    Integer Entry;
    const char* Expected;
  };
  for (const TCase& c : {TCase{o11MiddleFace, "246,245,243"}, TCase{o11PaleFace, "214,210,202"},
                         TCase{o11BaseFace, "212,208,200"}, TCase{18, "214,210,202"},
                         TCase{o11HotFace, "183,191,212"}, TCase{24, "183,191,212"},
                         TCase{o11PressedFace, "136,147,177"}, TCase{26, "136,147,177"},
                         TCase{28, "210,211,216"}, TCase{34, "210,211,216"}, TCase{o11Highlight, "10,36,106"},
                         TCase{o11WhiteEdge, "255,255,255"}, TCase{o11DisabledGlyph, "128,128,128"},
                         TCase{36, "128,128,128"}}) {
    SCOPED_TRACE(c.Entry);
    EXPECT_EQ(Rgb(Office11Color(c.Entry)), c.Expected);
  }
  // The hot and pressed faces are the library's own highlight blends.
  EXPECT_EQ(Office11Color(o11HotFace), MixedLightHighlightColor());
  EXPECT_EQ(Office11Color(o11PressedFace), MixedHighlightColor());
  EXPECT_EQ(Rgb(Office11DerivedColor(o11dFirstGroup1)), "192,192,192");
  EXPECT_EQ(Rgb(Office11DerivedColor(o11dDarkerTone1)), "226,225,224");
  EXPECT_EQ(Rgb(Office11DerivedColor(o11dExtra)), "212,208,200");
  EXPECT_EQ(Rgb(Office11DerivedColor(o11dBorder)), "128,128,128");
  EXPECT_EQ(Office11Color(0), clNone);
  EXPECT_EQ(Office11Color(Office11ColorCount + 1), clNone);
}

TEST_F(qzOffice11Test, RefreshFollowsChangedSystemColours) {
  SetSysColorTable(TableWith(RGB(100, 120, 140), clWhite));
  EXPECT_EQ(Rgb(Office11Color(o11BaseFace)), "212,208,200");  // nothing recomputed yet
  Office11SchemeRefresh();
  EXPECT_EQ(Rgb(Office11Color(o11BaseFace)), "100,120,140");

  // A black or white button face makes every blended colour the highlight.
  for (TColor face : {clBlack, clWhite}) {
    SetSysColorTable(TableWith(face, clWhite));
    Office11SchemeRefresh();
    for (Integer entry : {Integer(7), Integer(9), Integer(o11HotFace), Integer(28), Integer(o11PressedFace)})
      EXPECT_EQ(Rgb(Office11Color(entry)), "10,36,106");
  }
}

TEST_F(qzOffice11Test, TheStandardThemeSelectsItsColourVariant) {
  struct TCase {
    const char* Name;
    bool Active, NameFails;
    std::u16string File, Color;
    TqzOffice11Scheme Scheme;
    const char* MiddleFace;
  };
  const std::u16string luna = u"C:\\Themes\\Standard\\Luna.msstyles";
  const TCase cases[] = {
      {"blue", true, false, luna, u"NormalColor", o11sBlue, "221,236,254"},
      {"olive, other case and separator", true, false, u"d:/themes/luna.MSSTYLES", u"homestead", o11sOlive,
       "244,247,222"},
      {"silver", true, false, luna, u"Metallic", o11sSilver, "243,244,250"},
      {"unknown variant", true, false, luna, u"Autumn", o11sNone, "246,245,243"},
      {"another theme file", true, false, u"C:\\Themes\\Other.msstyles", u"NormalColor", o11sNone, "246,245,243"},
      {"name not available", true, true, luna, u"NormalColor", o11sNone, "246,245,243"},
      {"themes switched off", false, false, luna, u"NormalColor", o11sNone, "246,245,243"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    GTheme = TFakeTheme{c.Active, c.NameFails, c.File, c.Color};
    UseThemedLibrary();
    EXPECT_EQ(Office11Scheme(), c.Scheme);
    EXPECT_EQ(Office11SchemeThemed(), c.Scheme != o11sNone);
    EXPECT_EQ(Rgb(Office11Color(o11MiddleFace)), c.MiddleFace);
    EXPECT_EQ(Rgb(Office11DerivedColor(o11dExtra)), c.Scheme != o11sNone ? "253,238,201" : "212,208,200");
  }
}

TEST_F(qzOffice11Test, ThemedDerivedColours) {
  UseThemedLibrary();  // blue
  EXPECT_EQ(Rgb(Office11DerivedColor(o11dFirstGroup1)), "127,173,242");  // Mix(entry 6, entry 1, 90)
  EXPECT_EQ(Rgb(Office11DerivedColor(o11dSecondGroup1)), "62,109,185");  // Mix(entry 5, entry 12, 50)
  EXPECT_EQ(Office11DerivedColor(o11dBorder), Office11Color(12));
  EXPECT_EQ(Rgb(Office11Color(36)), "0,45,150");
}

TEST_F(qzOffice11Test, BrushesAndBitmapsLiveWhileReferenced) {
  EXPECT_EQ(Office11Brush(o11Highlight), nullptr);
  EXPECT_EQ(Office11ExpandButtonBitmap(true), nullptr);
  {
    TSchemeReference outer;
    HBRUSH highlight = Office11Brush(o11Highlight);
    ASSERT_NE(highlight, nullptr);
    {
      TSchemeReference inner;
      EXPECT_EQ(Office11Brush(o11Highlight), highlight);  // counted, not created again
    }
    EXPECT_EQ(Office11Brush(o11Highlight), highlight);
    EXPECT_EQ(Office11Brush(o11MiddleFace), nullptr);  // an entry without a brush
    for (Integer entry : {13, 14, 15, 16, 19, 20, 21, 22, 27, 28, 29, 30})
      EXPECT_EQ(Office11Brush(entry)->Color, Office11Color(entry));
    EXPECT_EQ(Office11SecondGroupBrush()->Color, Office11DerivedColor(o11dSecondGroup1));
    ASSERT_NE(Office11SubMenuExpandBitmap(), nullptr);
  }
  EXPECT_EQ(Office11Brush(o11Highlight), nullptr);
  EXPECT_EQ(Office11SubMenuExpandBitmap(), nullptr);
  Office11SchemeRelease();  // one release too many does nothing
  TSchemeReference again;
  EXPECT_NE(Office11Brush(o11Highlight), nullptr);
}

TEST_F(qzOffice11Test, SwitchingTheVariantRebuildsBrushesWithItsColours) {
  GTheme.Color = u"HomeStead";
  UseThemedLibrary();
  TSchemeReference reference;
  HBRUSH highlight = Office11Brush(o11Highlight);
  EXPECT_EQ(Rgb(highlight->Color), "63,93,56");

  GTheme.Color = u"Metallic";
  Office11SchemeRefresh();  // what the system colour change does
  EXPECT_EQ(Office11Scheme(), o11sSilver);
  EXPECT_EQ(Office11Brush(o11Highlight), highlight);  // the same handle, kept valid
  EXPECT_EQ(Rgb(highlight->Color), "75,75,111");
  EXPECT_EQ(Office11SecondGroupBrush()->Color, Office11DerivedColor(o11dSecondGroup1));
}

// Pixel colours of a bitmap as a set.
std::set<TColor> ColoursOf(const TBitmap& B) {
  std::set<TColor> colours;
  for (Integer y = 0; y < B.Height(); ++y)
    for (Integer x = 0; x < B.Width(); ++x) colours.insert(B.PixelColor(x, y));
  return colours;
}

TEST_F(qzOffice11Test, SubMenuArrowTakesTheSchemeColours) {
  struct TCase {
    const char* Name;
    TColor Face, Window;
    TColor Darkest;  // clDefault: entry 2
  };
  for (const TCase& c : {TCase{"classic", RGB(212, 208, 200), clWhite, clDefault},
                         TCase{"equal colours give black", RGB(90, 90, 90), RGB(90, 90, 90), clBlack},
                         TCase{"equal black gives white", clBlack, clBlack, clWhite}}) {
    SCOPED_TRACE(c.Name);
    SetSysColorTable(TableWith(c.Face, c.Window));
    Office11SchemeRefresh();
    TSchemeReference reference;
    TBitmap* arrow = Office11SubMenuExpandBitmap();
    const TColor key = arrow->PixelColor(0, 0);
    EXPECT_EQ(arrow->TransparentColor(), key);
    EXPECT_EQ(arrow->PixelColor(1, 1), Office11Color(o11MiddleFace));  // the lightest shade
    EXPECT_EQ(arrow->PixelColor(4, 4), c.Darkest == clDefault ? Office11Color(o11PaleFace) : c.Darkest);
    EXPECT_EQ(arrow->PixelColor(4, 0), key);  // outside the arrow
  }
}

TEST_F(qzOffice11Test, RecolourKeepsKeyAndBlackAndCopesWithOneShade) {
  TBitmap bitmap(3, 1);
  bitmap.Canvas()->SetPixels(0, 0, clRed);  // the key
  bitmap.Canvas()->SetPixels(1, 0, clBlack);
  bitmap.Canvas()->SetPixels(2, 0, RGB(150, 150, 150));
  Office11RecolorBitmap(&bitmap, RGB(200, 0, 0), RGB(0, 0, 200));
  EXPECT_EQ(bitmap.PixelColor(0, 0), clRed);
  EXPECT_EQ(bitmap.PixelColor(1, 0), clBlack);
  EXPECT_EQ(bitmap.PixelColor(2, 0), RGB(0, 0, 200));  // a single shade is the darkest one
  Office11RecolorBitmap(nullptr, clRed, clBlue);       // nothing to do
}

TEST_F(qzOffice11Test, ExpandButtonsShowMinusAndPlus) {
  TSchemeReference reference;
  TBitmap* minus = Office11ExpandButtonBitmap(true);
  TBitmap* plus = Office11ExpandButtonBitmap(false);
  for (TBitmap* b : {minus, plus}) {
    EXPECT_EQ(b->Width(), Office11ExpandButtonSize);
    EXPECT_EQ(b->Height(), Office11ExpandButtonSize);
    EXPECT_EQ(b->PixelColor(5, 5), clBlack);
    EXPECT_EQ(b->PixelColor(0, 0), Office11ExpandButtonCornerColor1);
    EXPECT_EQ(b->PixelColor(10, 10), Office11ExpandButtonCornerColor2);
  }
  EXPECT_EQ(plus->PixelColor(5, 3), clBlack);
  EXPECT_NE(minus->PixelColor(5, 3), clBlack);
}

TEST_F(qzOffice11Test, GradientFillBands) {
  struct TCase {
    const char* Name;
    Integer Width, Height;
    bool Horizontal;
    size_t Colours;
  };
  for (const TCase& c : {TCase{"wide", 300, 2, true, 256}, TCase{"narrow", 10, 3, true, 10},
                         TCase{"tall", 3, 40, false, 40}, TCase{"one pixel", 1, 1, true, 1}}) {
    SCOPED_TRACE(c.Name);
    TBitmap bitmap(c.Width, c.Height);
    Office11GradientFill(bitmap.Canvas()->Handle(), TRect{0, 0, c.Width, c.Height}, clBlack, clWhite,
                         c.Horizontal);
    EXPECT_EQ(ColoursOf(bitmap).size(), c.Colours);
    EXPECT_EQ(bitmap.PixelColor(0, 0), clBlack);
    if (c.Colours > 1) {
      EXPECT_EQ(bitmap.PixelColor(c.Width - 1, c.Height - 1), clWhite);
    }
    // Each band runs across the whole rectangle, and the bands brighten.
    const Integer extent = c.Horizontal ? c.Width : c.Height;
    for (Integer i = 1; i < extent; ++i) {
      const TColor here = c.Horizontal ? bitmap.PixelColor(i, c.Height - 1) : bitmap.PixelColor(c.Width - 1, i);
      const TColor before = c.Horizontal ? bitmap.PixelColor(i - 1, 0) : bitmap.PixelColor(0, i - 1);
      EXPECT_GE(GetRValue(here), GetRValue(before));
    }
  }
  // A one-pixel band takes the first colour exactly, whatever the second.
  for (TColor to : {clWhite, clBlack}) {
    TBitmap dot(1, 1);
    Office11GradientFill(dot.Canvas()->Handle(), TRect{0, 0, 1, 1}, RGB(10, 100, 200), to, true);
    EXPECT_EQ(Rgb(dot.PixelColor(0, 0)), "10,100,200");
  }
  TBitmap narrow(10, 1);
  Office11GradientFill(narrow.Canvas()->Handle(), TRect{0, 0, 10, 1}, clBlack, clWhite, true);
  EXPECT_EQ(Rgb(narrow.PixelColor(4, 0)), "113,113,113");  // MulDiv(4, 255, 9)
}

TEST_F(qzOffice11Test, GradientFillPlainAndEmpty) {
  TBitmap bitmap(20, 20);
  Office11GradientFill(bitmap.Canvas()->Handle(), TRect{0, 0, 20, 20}, clBtnFace, RGB(212, 208, 200), false);
  EXPECT_EQ(ColoursOf(bitmap), std::set<TColor>{RGB(212, 208, 200)});  // equal colours: one plain fill

  TBitmap untouched(5, 5);
  const auto before = ColoursOf(untouched);
  Office11GradientFill(untouched.Canvas()->Handle(), TRect{4, 4, 2, 2}, clBlack, clWhite, true);
  Office11GradientFill(untouched.Canvas()->Handle(), TRect{0, 0, 5, 0}, clBlack, clWhite, true);
  EXPECT_EQ(ColoursOf(untouched), before);
}

}  // namespace
