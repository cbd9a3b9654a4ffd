#include "platform/gui/regions.h"

#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"

namespace {

// Two overlapping squares: A = (0,0)-(20,20), B = (10,10)-(30,30).
struct Probe {
  Integer X, Y;
};
constexpr Probe kOnlyA{5, 5}, kBoth{15, 15}, kOnlyB{25, 25}, kNeither{25, 5};

TEST(Regions, CombinationTable) {
  struct {
    Integer Mode;
    bool OnlyA, Both, OnlyB, Neither;
    Integer Kind;
  } cases[] = {
      {RGN_AND, false, true, false, false, SIMPLEREGION},
      {RGN_OR, true, true, true, false, COMPLEXREGION},
      {RGN_XOR, true, false, true, false, COMPLEXREGION},
      {RGN_DIFF, true, false, false, false, COMPLEXREGION},
      {RGN_COPY, true, true, false, false, SIMPLEREGION},
  };
  for (const auto& c : cases) {
    HRGN a = CreateRectRgn(0, 0, 20, 20), b = CreateRectRgn(10, 10, 30, 30), d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, c.Mode), c.Kind) << c.Mode;
    EXPECT_EQ(PtInRegion(d, kOnlyA.X, kOnlyA.Y), c.OnlyA) << c.Mode;
    EXPECT_EQ(PtInRegion(d, kBoth.X, kBoth.Y), c.Both) << c.Mode;
    EXPECT_EQ(PtInRegion(d, kOnlyB.X, kOnlyB.Y), c.OnlyB) << c.Mode;
    EXPECT_EQ(PtInRegion(d, kNeither.X, kNeither.Y), c.Neither) << c.Mode;
    // The destination may be one of the sources.
    EXPECT_EQ(CombineRgn(a, a, b, c.Mode), c.Kind);
    EXPECT_TRUE(EqualRgn(a, d)) << c.Mode;
    DeleteObject(a), DeleteObject(b), DeleteObject(d);
  }
}

TEST(Regions, EdgesBoxesAndOffsets) {
  HRGN r = CreateRectRgn(10, 10, 20, 20);
  EXPECT_TRUE(PtInRegion(r, 10, 10));
  EXPECT_FALSE(PtInRegion(r, 20, 20)) << "right and bottom edges are outside";
  EXPECT_TRUE(RectInRegion(r, {19, 19, 40, 40}));
  EXPECT_FALSE(RectInRegion(r, {20, 0, 40, 40}));
  EXPECT_FALSE(RectInRegion(r, {12, 12, 12, 15})) << "an empty rectangle touches nothing";
  EXPECT_EQ(OffsetRgn(r, 5, -10), SIMPLEREGION);
  TRect box;
  EXPECT_EQ(GetRgnBox(r, box), SIMPLEREGION);
  EXPECT_EQ(box, Rect(15, 0, 25, 10));
  EXPECT_TRUE(SetRectRgn(r, 0, 0, 0, 0));
  EXPECT_EQ(GetRgnBox(r, box), NULLREGION);
  EXPECT_EQ(box, TRect{});
  EXPECT_EQ(RegionKind(r), NULLREGION);
  DeleteObject(r);
}

TEST(Regions, EllipsesAndPolygons) {
  HRGN e = CreateEllipticRgn(0, 0, 20, 10);
  EXPECT_TRUE(PtInRegion(e, 10, 5));
  EXPECT_FALSE(PtInRegion(e, 0, 0)) << "corners are outside the ellipse";
  EXPECT_FALSE(PtInRegion(e, 19, 9));
  EXPECT_EQ(RegionKind(e), COMPLEXREGION);

  std::vector<TPoint> triangle{{0, 0}, {20, 0}, {0, 20}};
  HRGN t = CreatePolygonRgn(triangle, ALTERNATE);
  EXPECT_TRUE(PtInRegion(t, 2, 2));
  EXPECT_FALSE(PtInRegion(t, 15, 15));
  // A self-overlapping star differs between the fill modes in its centre.
  std::vector<TPoint> star{{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};
  HRGN alt = CreatePolygonRgn(star, ALTERNATE), wind = CreatePolygonRgn(star, WINDING);
  EXPECT_FALSE(PtInRegion(alt, 10, 10));
  EXPECT_TRUE(PtInRegion(wind, 10, 10));
  HRGN degenerate = CreatePolygonRgn(star.data(), 2, ALTERNATE);
  EXPECT_EQ(RegionKind(degenerate), NULLREGION);
  for (HRGN h : {e, t, alt, wind, degenerate}) DeleteObject(h);
}

TEST(Regions, RectanglesRoundTripAndNullHandlesAreHarmless) {
  HRGN a = CreateRegionFromRects({{0, 0, 10, 10}, {10, 0, 20, 10}, {5, 20, 6, 21}});
  std::vector<TRect> rects = GetRegionRects(a);
  HRGN b = CreateRegionFromRects(rects);
  EXPECT_TRUE(EqualRgn(a, b));
  EXPECT_EQ(rects.front(), Rect(0, 0, 20, 10)) << "adjacent rectangles merge";
  DeleteObject(a), DeleteObject(b);

  HRGN none = nullptr;
  EXPECT_EQ(CombineRgn(none, none, none, RGN_OR), RGN_ERROR);
  EXPECT_EQ(OffsetRgn(none, 1, 1), RGN_ERROR);
  EXPECT_FALSE(PtInRegion(none, 0, 0));
  EXPECT_FALSE(EqualRgn(none, none));
  EXPECT_FALSE(DeleteObject(none));
  HRGN d = CreateRectRgn(0, 0, 1, 1);
  EXPECT_EQ(CombineRgn(d, d, nullptr, RGN_AND), RGN_ERROR) << "a second source is needed";
  EXPECT_EQ(CombineRgn(d, d, d, 99), RGN_ERROR);
  DeleteObject(d);
}

TEST(Regions, FillFrameAndInvertOnACanvas) {
  EnsureGuiRuntime();
  TBitmap bmp(20, 20, pf32bit);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect({0, 0, 20, 20});
  HRGN r = CreateRectRgn(2, 2, 18, 18);
  HBRUSH red = CreateSolidBrush(clRed);
  EXPECT_TRUE(FrameRgn(c, r, red, 2, 1));
  EXPECT_EQ(bmp.PixelColor(3, 10), clRed);   // left band two wide
  EXPECT_EQ(bmp.PixelColor(4, 10), clWhite);
  EXPECT_EQ(bmp.PixelColor(10, 2), clRed);   // top band one high
  EXPECT_EQ(bmp.PixelColor(10, 3), clWhite);
  EXPECT_EQ(bmp.PixelColor(1, 1), clWhite);
  HRGN inner = CreateRectRgn(6, 6, 10, 10);
  EXPECT_TRUE(FillRgn(c, inner, red));
  EXPECT_TRUE(InvertRgn(c, inner));
  EXPECT_EQ(bmp.PixelColor(7, 7), clAqua);
  DeleteObject(red);
  DeleteObject(r);
  DeleteObject(inner);
}

}  // namespace
