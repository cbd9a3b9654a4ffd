#include "editors/cxEditPaintUtils.h"

#include <gtest/gtest.h>

#include "editors/cxEditViewInfo.h"
#include "platform/gui/graphics.h"
#include "platform/gui/messages.h"
#include "platform/gui/sysmetrics.h"
#include "tests/foundation/foundation_test.h"

namespace {

using namespace cxTest;

class EditPaintUtilsTest : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiRuntime(); }
};

// ---- Brush cache ----------------------------------------------------------------------

TEST_F(EditPaintUtilsTest, CacheCountsUsesAndKeepsColoursSorted) {
  TcxSolidBrushCache cache(128, false);
  HBRUSH red = cache.GetBrush(clRed);
  HBRUSH blue = cache.GetBrush(clBlue);
  ASSERT_NE(red, nullptr);
  ASSERT_NE(red, blue);
  EXPECT_EQ(cache.GetBrush(clRed), red);
  EXPECT_EQ(cache.GetBrush(clRed), red);
  ASSERT_EQ(cache.Depth(), 2);
  // Ascending colours: clRed 0x0000FF before clBlue 0xFF0000.
  EXPECT_EQ(cache.ColorAt(0), clRed);
  EXPECT_EQ(cache.ColorAt(1), clBlue);
  EXPECT_EQ(cache.UseCountAt(0), 2);  // a new entry starts at 0
  EXPECT_EQ(cache.UseCountAt(1), 0);
  EXPECT_EQ(red->Color, clRed);
}

TEST_F(EditPaintUtilsTest, SystemColoursUseTheSystemBrushesAndNeverEnterTheCache) {
  TcxSolidBrushCache cache(128, false);
  for (Integer index : {Integer(0), Integer(COLOR_WINDOW), Integer(COLOR_BTNFACE), Integer(30)}) {
    SCOPED_TRACE(index);
    HBRUSH brush = cache.GetBrush(SysColor(index));
    EXPECT_EQ(brush, GetSysColorBrush(index));
    EXPECT_EQ(brush, SystemColorBrushOf(index));
  }
  EXPECT_EQ(cache.Depth(), 0);
  EXPECT_EQ(SystemColorBrushOf(31), nullptr);
  EXPECT_EQ(SystemColorBrushOf(-1), nullptr);
}

TEST_F(EditPaintUtilsTest, FullCacheDropsTheLeastUsedEntry) {
  TcxSolidBrushCache cache(128, false);
  for (Integer i = 0; i < 128; ++i) cache.GetBrush(RGB(0, 0, 0) + i * 2);  // even colours 0..254
  ASSERT_EQ(cache.Depth(), 128);
  // One more use for every colour but 10 (index 5) and 20 (index 10): both
  // stay at 0 and the lower index goes first.
  for (Integer i = 0; i < 128; ++i)
    if (i != 5 && i != 10) cache.GetBrush(i * 2);
  // Colour 11 lies behind index 5: the insert position moves back by one.
  HBRUSH added = cache.GetBrush(11);
  EXPECT_EQ(cache.Depth(), 128);
  EXPECT_EQ(cache.IndexOf(10), -1);  // the lowest index among the least used
  EXPECT_NE(cache.IndexOf(20), -1);
  const Integer at = cache.IndexOf(11);
  ASSERT_GE(at, 0);
  EXPECT_EQ(cache.BrushAt(at), added);
  for (Integer i = 1; i < cache.Depth(); ++i) EXPECT_LT(cache.ColorAt(i - 1), cache.ColorAt(i));
}

TEST_F(EditPaintUtilsTest, PaletteChangeClearsTheCache) {
  TcxSolidBrushCache cache;
  ASSERT_NE(cache.PaletteNotifier(), nullptr);
  cache.GetBrush(clRed);
  cache.GetBrush(clLime);
  cache.PaletteNotifier()->DoChanged();
  EXPECT_EQ(cache.Depth(), 0);
  EXPECT_NE(cache.GetBrush(clRed), nullptr);
  EXPECT_EQ(cache.Depth(), 1);
}

TEST_F(EditPaintUtilsTest, GlobalCacheServesTheRoutines) {
  HBRUSH brush = GetCachedSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(GetCachedSolidBrushForCanvas(nullptr, RGB(1, 2, 3)), brush);
  EXPECT_GE(SolidBrushCache()->IndexOf(RGB(1, 2, 3)), 0);
  cxEditPaintUtilsFinalize();
  EXPECT_EQ(SolidBrushCache()->Depth(), 0);  // a new cache after finalisation
}

// ---- Small routines -------------------------------------------------------------------

TEST_F(EditPaintUtilsTest, VariantsEqualSameTypeRequiresTheSameType) {
  struct Case {
    Variant A, B;
    bool Equal;
  } cases[] = {
      {Variant(1), Variant(1), true},
      {Variant(1), Variant(2), false},
      {Variant(1), Variant(1.0), false},
      {Variant(String(u"a")), Variant(String(u"a")), true},
      {Variant(String(u"1")), Variant(1), false},
      {Variant(), Variant(), true},
  };
  for (const Case& c : cases) EXPECT_EQ(VariantsEqualSameType(c.A, c.B), c.Equal);
}

TEST_F(EditPaintUtilsTest, CheckBoxFlagsRemapAndBack) {
  struct Case {
    Byte From;
    Word To;
  } cases[] = {{0x04, 0x0001}, {0x02, 0x0002}, {0x20, 0x0010}, {0x10, 0x0020}, {0x40, 0x0200},
               {0x76, 0x0233}, {0x00, 0x0000}};
  for (const Case& c : cases) {
    EXPECT_EQ(RemapCheckBoxFlags(c.From), c.To) << int(c.From);
    EXPECT_EQ(UnmapCheckBoxFlags(c.To), c.From) << int(c.From);
  }
}

TEST_F(EditPaintUtilsTest, MouseFlags) {
  EXPECT_EQ(MouseButtonToShiftFlag(mbLeft), ssLeft);
  EXPECT_EQ(MouseButtonToShiftFlag(mbRight), ssRight);
  EXPECT_EQ(MouseButtonToShiftFlag(mbMiddle), ssMiddle);
  EXPECT_EQ(ShiftStateToMouseKeyFlags(ssLeft | ssShift | ssCtrl | ssDouble),
            WPARAM(MK_LBUTTON | MK_SHIFT | MK_CONTROL));
  EXPECT_EQ(ShiftStateToMouseKeyFlags(ssRight | ssMiddle | ssAlt), WPARAM(MK_RBUTTON | MK_MBUTTON));
}

TEST_F(EditPaintUtilsTest, HotkeyPrefixesAndRegions) {
  EXPECT_EQ(RemoveHotkeyPrefixes(u"&Open && Save&"), u"Open & Save_");
  EXPECT_TRUE(IsRegionEmpty(nullptr));
  TcxRegion a(0, 0, 5, 5), b(10, 0, 15, 5), empty;
  EXPECT_TRUE(IsRegionEmpty(empty.Handle()));
  CombineRegionsUnion(&a, &b);
  TRect box{};
  GetRgnBox(a.Handle(), box);
  EXPECT_EQ(box, (TRect{0, 0, 15, 5}));
  EXPECT_EQ(MaxSize(TSize{3, 9}, TSize{5, 2}), (TSize{5, 9}));
}

// ---- Drawing --------------------------------------------------------------------------

TEST_F(EditPaintUtilsTest, ArrowExtent) {
  struct Case {
    TRect R;
    TcxArrowDirection Direction;
    TSize Expected;
  } cases[] = {
      {TRect{0, 0, 16, 16}, adDown, TSize{7, 4}},   // (16 - 1) / 2 = 7
      {TRect{0, 0, 16, 16}, adRight, TSize{4, 7}},  // swapped
      {TRect{0, 0, 20, 11}, adUp, TSize{5, 3}},     // (11 - 1) / 2 = 5
      {TRect{0, 0, 18, 30}, adLeft, TSize{4, 7}},   // 8 made odd: 7
      {TRect{0, 0, 2, 2}, adDown, TSize{1, 1}},     // never below one pixel
  };
  for (const Case& c : cases) EXPECT_EQ(CalcArrowExtent(c.R, c.Direction), c.Expected);
}

TEST_F(EditPaintUtilsTest, ArrowGroupIsAStackOfShrinkingLines) {
  TImage image(20, 12);
  DrawArrowGroup(&image.Canvas, TRect{0, 0, 20, 12}, adDown, 2, TSize{5, 3}, false, clBlack);
  // Two down arrows side by side? No: vertical arrows are stacked; 2 x 3 rows
  // centred in 12 rows start at row 3.
  EXPECT_EQ(image.Row(2, 5, 15, clBlack), "..........");
  EXPECT_EQ(image.Row(3, 5, 15, clBlack), "..#####...");
  EXPECT_EQ(image.Row(4, 5, 15, clBlack), "...###....");
  EXPECT_EQ(image.Row(5, 5, 15, clBlack), "....#.....");
  EXPECT_EQ(image.Row(6, 5, 15, clBlack), "..#####...");
  EXPECT_EQ(image.Row(8, 5, 15, clBlack), "....#.....");
  EXPECT_EQ(image.Row(9, 5, 15, clBlack), "..........");

  TImage pressed(20, 12);
  DrawArrowGroup(&pressed.Canvas, TRect{0, 0, 20, 12}, adRight, 1, TSize{3, 5}, true, clBlack);
  // 17 free columns, 7 free rows: odd, so the pressed arrow moves by one.
  EXPECT_EQ(pressed.Row(4, 7, 13, clBlack), "..#...");
  EXPECT_EQ(pressed.Row(6, 7, 13, clBlack), "..###.");
  EXPECT_EQ(pressed.Row(8, 7, 13, clBlack), "..#...");
}

TEST_F(EditPaintUtilsTest, OrthogonalPolylineIncludesBothEnds) {
  TImage image(10, 10);
  DrawOrthogonalPolyline(&image.Canvas, {TPoint{1, 1}, TPoint{6, 1}, TPoint{6, 4}}, clRed, false);
  EXPECT_EQ(image.Row(1, 0, 8, clRed), ".######.");
  EXPECT_EQ(image.Row(4, 0, 8, clRed), "......#.");
  EXPECT_EQ(image.Row(5, 0, 8, clRed), "........");
}

TEST_F(EditPaintUtilsTest, EllipsisDotSizeFollowsTheButtonWidth) {
  EXPECT_EQ(EllipsisDotSize(10), 1);
  EXPECT_EQ(EllipsisDotSize(11), 1);
  EXPECT_EQ(EllipsisDotSize(12), 2);

  TImage small(10, 10);
  DrawEllipsisDots(&small.Canvas, TRect{0, 0, 10, 10}, EllipsisDotSize(10), true, false, clBlack);
  // 7 wide: columns 1, 4, 7 of row 4.
  EXPECT_EQ(small.Row(4, 0, 10, clBlack), ".#..#..#..");
  EXPECT_EQ(small.Row(5, 0, 10, clBlack), "..........");

  TImage large(12, 12);
  DrawEllipsisDots(&large.Canvas, TRect{0, 0, 12, 12}, EllipsisDotSize(12), true, false, clBlack);
  // 10 wide from column 1: ## at 1, 5, 9; rows 5 and 6.
  EXPECT_EQ(large.Row(5, 0, 12, clBlack), ".##..##..##.");
  EXPECT_EQ(large.Row(6, 0, 12, clBlack), ".##..##..##.");

  TImage disabled(10, 10, clLime);
  DrawEllipsisDots(&disabled.Canvas, TRect{0, 0, 10, 10}, 1, false, false, clBlack);
  EXPECT_EQ(disabled.Row(4, 0, 10, clBtnShadow), ".#..#..#..");
  EXPECT_EQ(disabled.Row(5, 0, 10, clBtnHighlight), "..#..#..#.");
}

TEST_F(EditPaintUtilsTest, GlyphLeavesOutItsTransparentColour) {
  TBitmap glyph(4, 4, pf24bit);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect{0, 0, 4, 4});
  glyph.Canvas()->Brush()->SetColor(clNavy);
  glyph.Canvas()->FillRect(TRect{1, 1, 3, 3});
  EXPECT_TRUE(IsGlyphUsable(&glyph));
  TBitmap empty;
  EXPECT_FALSE(IsGlyphUsable(&empty));
  EXPECT_FALSE(IsGlyphUsable(nullptr));

  TImage image(8, 8, clLime);
  DrawButtonGlyph(&image.Canvas, &glyph, TRect{2, 2, 6, 6}, true);
  EXPECT_EQ(image.At(2, 2), clLime);
  EXPECT_EQ(image.At(3, 3), clNavy);
  EXPECT_EQ(image.At(5, 5), clLime);
}

TEST_F(EditPaintUtilsTest, Colours) {
  EXPECT_EQ(GetHotTrackTextColor(), clHotLight);
  EXPECT_EQ(GetHighlightBorderColor(false), clHighlight);
  EXPECT_NE(GetHighlightBorderColor(true), clHighlight);
  EXPECT_NE(GetFlatButtonStateColor(false, false), GetFlatButtonStateColor(true, false));
}

TEST_F(EditPaintUtilsTest, ButtonWidth) {
  TImage image(10, 10);
  TBitmap glyph(9, 5, pf24bit);
  const Integer arrow = GetSystemMetrics(SM_CXHSCROLL);
  image.Canvas.GetFont()->SetName(u"MS Sans Serif");
  const Integer captionWidth = image.Canvas.GetTextWidth(u"Open");
  struct Case {
    TcxEditButtonKind Kind;
    Integer Width;
    TcxEditButtonStyle Style;
    bool WithGlyph;
    String Caption;
    Integer Expected;
  } cases[] = {
      {bkEllipsis, 0, btsHotFlat, false, u"", arrow},
      {bkDown, 25, bts3D, false, u"", 25},
      {bkDown, -4, bts3D, false, u"", arrow},  // below 1 is automatic
      {bkGlyph, 0, bts3D, true, u"", 9 + 4},
      {bkGlyph, 0, btsFlat, true, u"", 9 + 3},
      {bkGlyph, 0, btsFlat, false, u"", arrow},  // no usable glyph
      {bkText, 0, btsHotFlat, false, u"Open", std::max(2 + captionWidth + 3, arrow)},
      {bkText, 0, btsSimple, false, u"", arrow},
  };
  for (const Case& c : cases) {
    TcxEditButtonViewInfo vi;
    vi.Data.Kind = c.Kind;
    vi.Data.Width = c.Width;
    vi.ButtonStyle = c.Style;
    vi.Data.Glyph = c.WithGlyph ? &glyph : nullptr;
    vi.Data.VisibleCaption = c.Caption;
    EXPECT_EQ(CalcEditButtonWidth(&image.Canvas, &vi), c.Expected) << int(c.Kind) << " " << c.Width;
  }
}

TEST_F(EditPaintUtilsTest, PainterClassFollowsTheKind) {
  // No theme opens here: native style falls back to the kind's painter.
  for (TcxLookAndFeelKind kind : {lfFlat, lfStandard, lfUltraFlat, lfOffice11}) {
    EXPECT_EQ(GetEditPainterClass(false, kind), PainterClassOfKind(kind));
    EXPECT_EQ(GetEditPainterClass(true, kind), PainterClassOfKind(kind));
  }
}

TEST_F(EditPaintUtilsTest, ImageListGlyphOverItsBackground) {
  std::unique_ptr<TImageList> images = TImageList::CreateSize(4, 4);
  TBitmap glyph(4, 4, pf24bit);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect{0, 0, 4, 4});
  glyph.Canvas()->Brush()->SetColor(clNavy);
  glyph.Canvas()->FillRect(TRect{1, 1, 3, 3});
  images->AddMasked(&glyph, clFuchsia);
  TImage image(8, 8, clLime);
  DrawImageListGlyph(&image.Canvas, images.get(), 0, TRect{2, 2, 6, 6}, clRed, true);
  EXPECT_EQ(image.At(2, 2), clRed);
  EXPECT_EQ(image.At(3, 3), clNavy);
  EXPECT_EQ(image.At(6, 6), clLime);
  DrawImageListGlyph(&image.Canvas, images.get(), 5, TRect{0, 0, 8, 8}, clRed, true);  // bad index: nothing
  EXPECT_EQ(image.At(0, 0), clLime);
}

TEST_F(EditPaintUtilsTest, ContentMargins) {
  TcxCustomEditProperties properties(nullptr);
  TcxCustomEditViewData standAlone(&properties, nullptr, false);
  TcxCustomEditViewData inplace(&properties, nullptr, true);
  EXPECT_EQ(GetEditContentMargins(&standAlone), (TPoint{3, 4}));
  EXPECT_EQ(GetEditContentMargins(&inplace), (TPoint{3, 2}));
  inplace.NativeStyle = true;
  EXPECT_EQ(GetEditContentMargins(&inplace), (TPoint{3, 3}));
}

}  // namespace
