#include "foundation/cxPainterImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/qzOffice11.h"
#include "platform/rtl/encoding.h"
#include "tests/foundation/foundation_test.h"

namespace {

using namespace cxTest;

constexpr TcxButtonState DrawnStates[] = {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};

// The first cell of a code in the pattern (-1, -1 when absent).
TPoint FindCode(const TcxRadioButtonImageList& AList, Byte ACode) {
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  for (Integer y = 0; y < g.Height; ++y)
    for (Integer x = 0; x < g.Width; ++x)
      if (AList.PatternCode(x, y) == ACode) return Point(x, y);
  return Point(-1, -1);
}

}  // namespace

// The shared images (and their palette notifier) are freed after each test,
// so that no notifier outlives the tests that made it.
class cxPainterImages : public ::testing::Test {
protected:
  void TearDown() override { cxPainterImagesFinalize(); }
};

TEST_F(cxPainterImages, GlyphGeometryAndPattern) {
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  ASSERT_GT(g.Width, 8);
  ASSERT_GT(g.Height, 8);
  EXPECT_GE(g.CircleLeft, 0);
  EXPECT_LE(g.CircleLeft + g.CircleWidth, g.Width);
  // The dot lies well inside the circle.
  EXPECT_GT(g.Dot.Left, g.CircleLeft + 1);
  EXPECT_LT(g.Dot.Right, g.CircleLeft + g.CircleWidth - 1);
  EXPECT_FALSE(IsRectEmpty(g.Dot));

  TcxRadioButtonImageList* list = SharedRadioButtonImages();
  // Corners are outside; the outer ring is split along the anti-diagonal;
  // the body surrounds the dot at the centre.
  EXPECT_EQ(list->PatternCode(0, 0), rbcOutside);
  EXPECT_EQ(list->PatternCode(g.Width - 1, g.Height - 1), rbcOutside);
  EXPECT_EQ(list->PatternCode(g.Width / 2, 0), rbcOuterUpperLeft);
  EXPECT_EQ(list->PatternCode(g.Width / 2, g.Height - 1), rbcOuterLowerRight);
  EXPECT_EQ(list->PatternCode(0, g.Height / 2), rbcOuterUpperLeft);
  EXPECT_EQ(list->PatternCode(g.Width - 1, g.Height / 2), rbcOuterLowerRight);
  EXPECT_EQ(list->PatternCode(g.Width / 2, 1), rbcInnerUpperLeft);
  EXPECT_EQ(list->PatternCode(g.Width / 2, g.Height - 2), rbcInnerLowerRight);
  EXPECT_EQ(list->PatternCode(g.Dot.Left + g.Dot.Width() / 2, g.Dot.Top + g.Dot.Height() / 2), rbcDot);
  for (Byte code = rbcOuterUpperLeft; code <= rbcDot; ++code) EXPECT_NE(FindCode(*list, code), Point(-1, -1)) << int(code);
  // The ring is closed: every row between the first and last cell codes
  // meets the outline before the edge.
  for (Integer y = 1; y < g.Height - 1; ++y) {
    EXPECT_NE(list->PatternCode(g.Width / 2, y), rbcOutside) << y;
    Integer x = g.Width / 2;
    while (x < g.Width && list->PatternCode(x, y) >= rbcInnerUpperLeft) ++x;
    ASSERT_LT(x, g.Width) << y;
    EXPECT_TRUE(list->PatternCode(x, y) == rbcOuterUpperLeft || list->PatternCode(x, y) == rbcOuterLowerRight) << y;
  }
}

TEST_F(cxPainterImages, IndexMapCoversAll128Images) {
  const struct {
    TcxLookAndFeelKind Kind;
    TcxButtonState State;
    bool Checked, A, B;
    Integer Index;
  } cases[] = {
      {lfFlat, cxbsNormal, false, false, false, 0},      {lfFlat, cxbsDisabled, false, false, false, 3},
      {lfFlat, cxbsNormal, true, false, false, 4},       {lfStandard, cxbsNormal, false, false, false, 8},
      {lfOffice11, cxbsDisabled, true, false, false, 31}, {lfFlat, cxbsNormal, false, false, true, 32},
      {lfFlat, cxbsNormal, false, true, false, 64},      {lfOffice11, cxbsDisabled, true, true, true, 127},
      // The default state draws as normal (its slot would be another image's).
      {lfStandard, cxbsDefault, false, false, false, 8},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TcxRadioButtonImageList::MapIndex(c.Kind, c.State, c.Checked, c.A, c.B), c.Index) << c.Index;

  TcxRadioButtonImageList* list = SharedRadioButtonImages();
  list->Build();
  EXPECT_EQ(list->Images()->Count(), TcxRadioButtonImageList::ImageCount);
  std::vector<bool> seen(128, false);
  for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
    for (TcxButtonState s : DrawnStates)
      for (Integer bits = 0; bits < 8; ++bits) {
        const Integer index =
            list->ImageIndex(static_cast<TcxLookAndFeelKind>(kind), s, bits & 1, (bits & 2) != 0, (bits & 4) != 0);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 128);
        EXPECT_FALSE(seen[static_cast<size_t>(index)]);
        seen[static_cast<size_t>(index)] = true;
      }
}

TEST_F(cxPainterImages, CodeColoursByKindAndState) {
  using L = TcxRadioButtonImageList;
  const struct {
    Byte Code;
    TcxLookAndFeelKind Kind;
    TcxButtonState State;
    bool Checked, A, B;
    TColor Color;
  } cases[] = {
      {rbcOuterUpperLeft, lfStandard, cxbsNormal, false, false, false, clBtnShadow},
      {rbcOuterLowerRight, lfFlat, cxbsNormal, false, false, false, clBtnHighlight},
      {rbcInnerUpperLeft, lfStandard, cxbsNormal, false, false, false, cl3DDkShadow},
      {rbcInnerUpperLeft, lfFlat, cxbsNormal, false, false, false, cl3DLight},
      {rbcInnerLowerRight, lfStandard, cxbsNormal, false, false, false, cl3DLight},
      {rbcBody, lfStandard, cxbsPressed, false, false, false, clBtnFace},
      {rbcBody, lfFlat, cxbsHot, false, false, false, clWindow},
      {rbcBody, lfUltraFlat, cxbsDisabled, false, false, false, clBtnFace},
      {rbcBody, lfUltraFlat, cxbsHot, false, false, false, MixedLightHighlightColor()},
      {rbcBody, lfUltraFlat, cxbsPressed, false, false, false, MixedHighlightColor()},
      {rbcInnerLowerRight, lfUltraFlat, cxbsPressed, false, false, false, MixedHighlightColor()},
      {rbcOuterUpperLeft, lfUltraFlat, cxbsNormal, false, false, false, clBtnShadow},
      {rbcOuterUpperLeft, lfUltraFlat, cxbsNormal, false, true, false, clHighlight},
      {rbcOuterLowerRight, lfUltraFlat, cxbsNormal, false, false, true, clHighlight},
      // Flag B does not emphasise a disabled ring; flag A does.
      {rbcOuterUpperLeft, lfUltraFlat, cxbsDisabled, false, false, true, clBtnShadow},
      {rbcOuterUpperLeft, lfUltraFlat, cxbsDisabled, false, true, false, clHighlight},
      {rbcOuterUpperLeft, lfOffice11, cxbsNormal, false, false, false, clBtnText},
      {rbcOuterUpperLeft, lfOffice11, cxbsHot, false, false, false, Office11Color(o11Highlight)},
      {rbcOuterUpperLeft, lfOffice11, cxbsDisabled, false, true, true, Office11Color(o11DisabledGlyph)},
      {rbcBody, lfOffice11, cxbsNormal, false, false, false, clWindow},
      {rbcDot, lfStandard, cxbsNormal, true, false, false, clBtnText},
      {rbcDot, lfStandard, cxbsDisabled, true, false, false, clBtnShadow},
      {rbcDot, lfOffice11, cxbsDisabled, true, false, false, Office11Color(o11DisabledGlyph)},
      {rbcDot, lfStandard, cxbsPressed, false, false, false, clBtnFace},  // unchecked: the body
      {rbcOutside, lfStandard, cxbsNormal, false, false, false, clBlack},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    EXPECT_EQ(L::CodeColor(c.Code, c.Kind, c.State, c.Checked, c.A, c.B), c.Color) << i;
  }
}

TEST_F(cxPainterImages, DrawingMaskedOrOnABackground) {
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  TcxRadioButtonImageList* list = SharedRadioButtonImages();
  const TPoint centre = Point(g.Dot.Left + g.Dot.Width() / 2, g.Dot.Top + g.Dot.Height() / 2);
  for (TcxButtonState s : {cxbsDefault, cxbsNormal, cxbsPressed, cxbsDisabled}) {
    TImage masked(g.Width + 4, g.Height + 4, clLime);
    list->Draw(&masked.Canvas, 2, 2, lfStandard, s, true, false, false, clDefault);
    // Outside the circle the canvas shows; the dot and the ring are drawn.
    EXPECT_TRUE(masked.Is(2, 2, clLime)) << s;
    const TcxButtonState drawn = s == cxbsDefault ? cxbsNormal : s;
    EXPECT_TRUE(masked.Is(2 + centre.X, 2 + centre.Y, s == cxbsDisabled ? clBtnShadow : clBtnText)) << s;
    EXPECT_TRUE(masked.Is(2 + g.Width / 2, 2, clBtnShadow)) << s;
    EXPECT_TRUE(masked.Is(2 + g.Width / 2, 3, cl3DDkShadow)) << s;
    EXPECT_TRUE(masked.Is(2 + g.Width / 2, 2 + g.Dot.Top - 1,
                          TcxRadioButtonImageList::CodeColor(rbcBody, lfStandard, drawn, true, false, false)))
        << s;

    TImage opaque(g.Width + 4, g.Height + 4, clLime);
    list->Draw(&opaque.Canvas, 2, 2, lfStandard, s, false, false, false, clAqua);
    // An opaque square: the corners take the background colour.
    EXPECT_TRUE(opaque.Is(2, 2, clAqua)) << s;
    EXPECT_TRUE(opaque.Is(1 + g.Width, 1 + g.Height, clAqua)) << s;
    EXPECT_TRUE(opaque.Is(1, 1, clLime)) << s;
  }
}

TEST_F(cxPainterImages, PainterDrawsTheImageOfItsKind) {
  TImage viaPainter(20, 20, clLime), direct(20, 20, clLime);
  PainterOf(TcxCustomLookAndFeelPainter::StaticClass())
      ->PaintRadioButton(&viaPainter.Canvas, 3, 4, cxbsHot, true, false, false, clDefault);
  SharedRadioButtonImages()->Draw(&direct.Canvas, 3, 4, lfStandard, cxbsHot, true, false, false, clDefault);
  EXPECT_EQ(viaPainter.Bitmap.Pixels32(), direct.Bitmap.Pixels32());
}

TEST_F(cxPainterImages, SystemColourChangeClearsAndRebuilds) {
  TcxRadioButtonImageList* list = SharedRadioButtonImages();
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  list->Build();
  cxCheckerBitmap(0);
  const TSysColorTable saved = DefaultSysColorTable();
  TSysColorTable changed = saved;
  changed[COLOR_BTNTEXT] = clRed;
  changed[COLOR_BTNHIGHLIGHT] = clYellow;
  SetSysColorTable(changed);
  cxPainterImagesSystemPaletteChanged();
  EXPECT_FALSE(list->Built());
  TImage image(g.Width, g.Height, clLime);
  list->Draw(&image.Canvas, 0, 0, lfStandard, cxbsNormal, true, false, false, clDefault);
  EXPECT_TRUE(list->Built());
  EXPECT_TRUE(image.Is(g.Dot.Left + g.Dot.Width() / 2, g.Dot.Top + g.Dot.Height() / 2, clRed));
  EXPECT_EQ(cxCheckerBitmap(0)->PixelColor(1, 0), RGBOf(clYellow));
  SetSysColorTable(saved);
  cxPainterImagesSystemPaletteChanged();
  EXPECT_EQ(cxCheckerBitmap(0)->PixelColor(1, 0), RGBOf(clBtnHighlight));
}

TEST_F(cxPainterImages, IndicatorPinAndCheckerImages) {
  TImageList* indicators = cxIndicatorImages();
  EXPECT_EQ(indicators->Count(), 5);
  for (Integer i = 0; i < 5; ++i) {
    TImage image(indicators->Width(), indicators->Height(), clLime);
    indicators->Draw(image.Bitmap.Canvas(), 0, 0, i);
    // White is left out; each image has black ink.
    EXPECT_TRUE(image.Is(0, 0, clLime) || image.Is(0, 0, clBlack)) << i;
    Integer ink = 0, white = 0;
    for (Integer y = 0; y < indicators->Height(); ++y)
      for (Integer x = 0; x < indicators->Width(); ++x) {
        ink += image.Is(x, y, clBlack) ? 1 : 0;
        white += image.Is(x, y, clWhite) ? 1 : 0;
      }
    EXPECT_GT(ink, 0) << i;
    EXPECT_EQ(white, 0) << i;
  }

  for (Integer i : {cxPinAutoHideOn, cxPinAutoHideOff}) {
    TBitmap* pin = cxPinBitmap(i);
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->Width(), 16);
    EXPECT_EQ(pin->Height(), 16);
    EXPECT_TRUE(pin->Transparent());
    EXPECT_EQ(pin->TransparentColor() & 0xFFFFFF, clWhite);
  }
  EXPECT_NE(cxPinBitmap(0)->Pixels32(), cxPinBitmap(1)->Pixels32());
  EXPECT_EQ(cxPinBitmap(2), nullptr);

  const struct {
    Integer Index;
    TColor Differ, Same;
  } checkers[] = {{0, clBtnHighlight, clBtnFace}, {1, cl3DDkShadow, clBlack}};
  for (const auto& c : checkers) {
    TBitmap* checker = cxCheckerBitmap(c.Index);
    ASSERT_NE(checker, nullptr);
    ASSERT_EQ(checker->Width(), 8);
    ASSERT_EQ(checker->Height(), 8);
    for (Integer y = 0; y < 8; ++y)
      for (Integer x = 0; x < 8; ++x)
        EXPECT_EQ(checker->PixelColor(x, y), RGBOf(x % 2 != y % 2 ? c.Differ : c.Same)) << c.Index << x << y;
  }
  EXPECT_EQ(cxCheckerBitmap(-1), nullptr);
}

TEST_F(cxPainterImages, FinalizeFreesAndFirstUseCreatesAgain) {
  SharedRadioButtonImages()->Build();
  cxIndicatorImages();
  cxPainterImagesFinalize();
  // Everything comes back on first use.
  EXPECT_FALSE(SharedRadioButtonImages()->Built());
  EXPECT_EQ(cxIndicatorImages()->Count(), 5);
  EXPECT_NE(cxCheckerBitmap(1), nullptr);
}

TEST_F(cxPainterImages, Gallery) {
  // Rows: the four kinds; columns: states normal..disabled unchecked, then
  // checked, then with flag A, then with flag B.
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  const Integer cell = g.Width + 3;
  TImage image(cell * 16 + 3, (g.Height + 3) * 4 + 3, clBtnFace);
  for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
    for (Integer column = 0; column < 16; ++column) {
      const auto state = static_cast<TcxButtonState>(cxbsNormal + column % 4);
      const Integer group = column / 4;
      SharedRadioButtonImages()->Draw(&image.Canvas, 3 + column * cell, 3 + kind * (g.Height + 3),
                                      static_cast<TcxLookAndFeelKind>(kind), state, group == 1 || group == 3,
                                      group == 2, group == 3, clDefault);
    }
  SavePicture(image.Bitmap, "cxPainterImages_radio", 5);
  // Every glyph drew; in every kind a checked glyph differs from the
  // unchecked one in each state, and a pressed one from a normal one.
  for (Integer kind = lfFlat; kind <= lfOffice11; ++kind) {
    std::vector<std::vector<TColor>> glyphs;
    for (Integer column = 0; column < 16; ++column) {
      const TRect box = Bounds(3 + column * cell, 3 + kind * (g.Height + 3), g.Width, g.Height);
      EXPECT_LT(image.Count(box, clBtnFace), g.Width * g.Height) << "kind " << kind << ", column " << column;
      std::vector<TColor> pixels;
      for (Integer y = box.Top; y < box.Bottom; ++y)
        for (Integer x = box.Left; x < box.Right; ++x) pixels.push_back(image.At(x, y));
      glyphs.push_back(pixels);
    }
    for (Integer state = 0; state < 4; ++state)
      EXPECT_NE(glyphs[state], glyphs[4 + state]) << "kind " << kind << ", state column " << state;
    constexpr Integer normal = 0, pressed = 2;
    EXPECT_NE(glyphs[normal], glyphs[pressed]) << "kind " << kind;
  }
}
