#include "foundation/cxGraphics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "foundation/cxStyles.h"
#include "platform/rtl/encoding.h"
#include "tests/foundation/foundation_test.h"

namespace {

using namespace cxTest;

// ---- Helpers ------------------------------------------------------------------------------

using TLegend = std::vector<std::pair<TColor, char>>;

// The pixels of Rect as rows of characters: each colour of the legend becomes
// its character, any other colour '?'.
std::vector<std::string> Picture(const TBitmap& ABitmap, const TRect& ARect, const TLegend& ALegend) {
  std::vector<std::string> rows;
  for (Integer y = ARect.Top; y < ARect.Bottom; ++y) {
    std::string row;
    for (Integer x = ARect.Left; x < ARect.Right; ++x) {
      char c = '?';
      for (const auto& [color, ch] : ALegend)
        if (ABitmap.PixelColor(x, y) == (ColorToRGB(color) & 0xFFFFFF)) c = ch;
      row += c;
    }
    rows.push_back(row);
  }
  return rows;
}

// The current clip region of a canvas (device coordinates), or nullptr when unclipped.
struct TClip {
  HRGN Region = CreateRectRgn(0, 0, 0, 0);
  bool Has = false;
  explicit TClip(TcxCanvas& ACanvas) { Has = GetClipRgn(ACanvas.GetHandle(), Region) == 1; }
  ~TClip() { DeleteObject(Region); }
  bool Equals(const std::vector<TRect>& ARects) const {
    HRGN expected = CreateRegionFromRects(ARects);
    bool same = EqualRgn(Region, expected);
    DeleteObject(expected);
    return same;
  }
};

// A region that counts its destructions.
class TCountedRegion : public TcxRegion {
public:
  using TcxRegion::TcxRegion;
  ~TCountedRegion() override { ++Destroyed; }
  static inline int Destroyed = 0;
};

bool RegionIs(HRGN ARegion, const std::vector<TRect>& ARects) {
  HRGN expected = CreateRegionFromRects(ARects);
  bool same = EqualRgn(ARegion, expected);
  DeleteObject(expected);
  return same;
}

// ---- Text flags -----------------------------------------------------------------------------

TEST(cxGraphicsTextFlags, EachFlagBecomesItsDrawTextFormat) {
  const struct {
    TcxTextFlags Flags;
    Cardinal Format;
  } cases[] = {
      {0, DT_NOPREFIX},
      {cxAlignLeft | cxAlignTop, DT_NOPREFIX},
      {cxAlignRight, DT_NOPREFIX | DT_RIGHT},
      {cxAlignHCenter, DT_NOPREFIX | DT_CENTER},
      {cxAlignBottom, DT_NOPREFIX | DT_BOTTOM},
      {cxAlignVCenter, DT_NOPREFIX | DT_VCENTER},
      {cxSingleLine, DT_NOPREFIX | DT_SINGLELINE},
      {cxDontClip, DT_NOPREFIX | DT_NOCLIP},
      {cxExpandTabs, DT_NOPREFIX | DT_EXPANDTABS},
      {cxShowPrefix, 0},
      {cxWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {cxShowEndEllipsis, DT_NOPREFIX | DT_END_ELLIPSIS},
      {cxCalcRect, DT_NOPREFIX | DT_CALCRECT},
      {cxShowPathEllipsis, DT_NOPREFIX | DT_PATH_ELLIPSIS},
      // The caption-button flags of the painters: centred, single line, show prefix.
      {612, DT_CENTER | DT_VCENTER | DT_SINGLELINE},
  };
  for (const auto& c : cases) EXPECT_EQ(TextFlagsToDrawTextFormat(c.Flags), c.Format) << "flags " << c.Flags;
}

// ---- Regions --------------------------------------------------------------------------------

TEST(cxGraphicsRegion, ConstructorsOffsetAndDestroyHandle) {
  std::unique_ptr<TcxRegion> fromRect(TcxRegion::CreateFromRect(Rect(1, 2, 5, 6)));
  EXPECT_TRUE(RegionIs(fromRect->Handle(), {Rect(1, 2, 5, 6)}));
  std::unique_ptr<TcxRegion> fromBounds(TcxRegion::CreateFromBounds(1, 2, 5, 6));
  EXPECT_TRUE(EqualRgn(fromRect->Handle(), fromBounds->Handle()));
  std::unique_ptr<TcxRegion> empty(TcxRegion::CreateEmpty());
  EXPECT_EQ(RegionKind(empty->Handle()), NULLREGION);
  HRGN handle = CreateRectRgn(0, 0, 3, 3);
  std::unique_ptr<TcxRegion> adopted(TcxRegion::CreateFromHandle(handle));
  EXPECT_EQ(adopted->Handle(), handle);

  fromRect->Offset(10, -2);
  EXPECT_TRUE(RegionIs(fromRect->Handle(), {Rect(11, 0, 15, 4)}));

  adopted->DestroyHandle();
  EXPECT_EQ(adopted->Handle(), nullptr);
  adopted->Offset(1, 1);  // harmless on a region without handle
  adopted->DestroyHandle();
}

TEST(cxGraphicsRegion, CombineWithEachOperation) {
  const TRect a = Rect(0, 0, 10, 10), b = Rect(5, 5, 15, 15);
  const struct {
    TcxRegionOperation Operation;
    std::vector<TRect> Expected;
  } cases[] = {
      {roCopy, {b}},
      {roUnion, {a, b}},
      {roSubtract, {Rect(0, 0, 10, 5), Rect(0, 5, 5, 10)}},
      {roIntersect, {Rect(5, 5, 10, 10)}},
  };
  for (const auto& c : cases) {
    TcxRegion region(a);
    TcxRegion other(b);
    region.CombineWith(&other, c.Operation, false);
    EXPECT_TRUE(RegionIs(region.Handle(), c.Expected)) << "operation " << c.Operation;
    EXPECT_TRUE(RegionIs(other.Handle(), {b}));  // the argument is left alone
  }
}

TEST(cxGraphicsRegion, CombineWithFreesTheArgumentOnlyWhenAsked) {
  TCountedRegion::Destroyed = 0;
  TcxRegion region(Rect(0, 0, 4, 4));
  region.CombineWith(new TCountedRegion(Rect(2, 0, 6, 4)), roUnion, true);
  EXPECT_EQ(TCountedRegion::Destroyed, 1);
  EXPECT_TRUE(RegionIs(region.Handle(), {Rect(0, 0, 6, 4)}));

  TCountedRegion kept(Rect(0, 0, 1, 1));
  region.CombineWith(&kept, roSubtract, false);
  EXPECT_EQ(TCountedRegion::Destroyed, 1);

  // Combining a region with itself never frees it; a null argument changes nothing.
  region.CombineWith(&region, roUnion, true);
  region.CombineWith(nullptr, roCopy, true);
  EXPECT_TRUE(RegionIs(region.Handle(), {Rect(1, 0, 6, 4), Rect(0, 1, 1, 4)}));
}

// ---- Bands, borders, fills ------------------------------------------------------------------

const TLegend kLegend = {{clWhite, '.'}, {clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'}, {clBlack, 'K'}};

TEST(cxGraphicsCanvas, DrawBorderBandsByBordersAndWidth) {
  const TRect r = Rect(1, 1, 7, 6);
  const struct {
    TcxBorders Borders;
    Integer Width;
    std::vector<std::string> Expected;
  } cases[] = {
      {BorderBit(bLeft) | BorderBit(bTop), 1,
       {"........", ".RRRRRR.", ".R......", ".R......", ".R......", ".R......", "........"}},
      {cxAllBorders, 2,
       {"........", ".RRRRRR.", ".RRRRRR.", ".RR..RR.", ".RRRRRR.", ".RRRRRR.", "........"}},
      {BorderBit(bBottom), 1,
       {"........", "........", "........", "........", "........", ".RRRRRR.", "........"}},
      // A band wider than the rectangle covers it and no more.
      {BorderBit(bRight), 10,
       {"........", ".RRRRRR.", ".RRRRRR.", ".RRRRRR.", ".RRRRRR.", ".RRRRRR.", "........"}},
      {cxAllBorders, 0,
       {"........", "........", "........", "........", "........", "........", "........"}},
  };
  for (const auto& c : cases) {
    TImage image(8, 7);
    image.Canvas.DrawBorderBands(r, clRed, c.Borders, c.Width);
    EXPECT_EQ(Picture(image.Bitmap, Rect(0, 0, 8, 7), kLegend), c.Expected) << "borders " << c.Borders;
  }
}

TEST(cxGraphicsCanvas, DrawBorderBandsColourChoices) {
  TImage image(4, 3);
  image.Canvas.SetBrushColor(clBlue);
  image.Canvas.DrawBorderBands(Rect(0, 0, 4, 3), clDefault, BorderBit(bLeft), 1);  // the current brush
  image.Canvas.DrawBorderBands(Rect(0, 0, 4, 3), clNone, cxAllBorders, 1);         // paints nothing
  image.Canvas.DrawBorderBands(Rect(3, 0, 3, 3), clRed, cxAllBorders, 1);          // empty: nothing
  EXPECT_EQ(Picture(image.Bitmap, Rect(0, 0, 4, 3), kLegend), (std::vector<std::string>{"B...", "B...", "B..."}));
}

TEST(cxGraphicsCanvas, DrawTwoColorBordersGivesSharedCornersToTheSecondColour) {
  TImage image(8, 7);
  image.Canvas.DrawTwoColorBorders(Rect(1, 1, 7, 6), clRed, 2, cxAllBorders, clBlue);
  EXPECT_EQ(Picture(image.Bitmap, Rect(0, 0, 8, 7), kLegend),
            (std::vector<std::string>{"........", ".RRRRBB.", ".RRRRBB.", ".RR..BB.", ".BBBBBB.", ".BBBBBB.",
                                      "........"}));
}

TEST(cxGraphicsCanvas, DrawEdgeRingColours) {
  const struct {
    bool Sunken, Outer;
    TColor LeftTop, RightBottom;
  } cases[] = {
      {false, true, cl3DLight, cl3DDkShadow},
      {false, false, clBtnHighlight, clBtnShadow},
      {true, true, clBtnShadow, clBtnHighlight},
      {true, false, cl3DDkShadow, cl3DLight},
  };
  for (const auto& c : cases) {
    TImage image(6, 6, clLime);
    image.Canvas.DrawEdgeRing(Rect(1, 1, 5, 5), c.Sunken, c.Outer, cxAllBorders);
    SCOPED_TRACE(testing::Message() << "sunken " << c.Sunken << " outer " << c.Outer);
    EXPECT_EQ(image.At(1, 1), RGBOf(c.LeftTop));
    EXPECT_EQ(image.At(1, 3), RGBOf(c.LeftTop));
    EXPECT_EQ(image.At(4, 1), RGBOf(c.RightBottom));  // top-right corner
    EXPECT_EQ(image.At(1, 4), RGBOf(c.RightBottom));  // bottom-left corner
    EXPECT_EQ(image.At(4, 4), RGBOf(c.RightBottom));
    EXPECT_EQ(image.At(2, 2), RGBOf(clLime));  // one pixel wide
  }
  TImage partial(6, 6, clLime);
  partial.Canvas.DrawEdgeRing(Rect(1, 1, 5, 5), true, true, BorderBit(bTop));
  EXPECT_EQ(partial.At(1, 2), RGBOf(clLime));
  EXPECT_EQ(partial.At(4, 1), RGBOf(clBtnShadow));
}

// A 3 x 2 tile whose pixels are all different.
std::unique_ptr<TBitmap> MakeTile() {
  auto tile = std::make_unique<TBitmap>(3, 2, pf24bit);
  for (Integer y = 0; y < 2; ++y)
    for (Integer x = 0; x < 3; ++x) tile->Canvas()->SetPixels(x, y, RGB(Byte(40 + 50 * x), Byte(60 + 100 * y), 7));
  return tile;
}

TEST(cxGraphicsCanvas, FillRectOrTileBitmapAnchorsTilesAtTheOrigin) {
  std::unique_ptr<TBitmap> tile = MakeTile();
  TImage whole(12, 7), patched(12, 7);
  // Logical coordinates start at -5, -3 in the top-left pixel.
  for (TImage* image : {&whole, &patched}) SetWindowOrgEx(image->Canvas.GetHandle(), -5, -3, nullptr);
  whole.Canvas.FillRectOrTileBitmap(Rect(-5, -3, 5, 3), tile.get());
  patched.Canvas.FillRectOrTileBitmap(Rect(-5, -3, -1, 3), tile.get());
  patched.Canvas.FillRectOrTileBitmap(Rect(-1, -3, 5, 1), tile.get());
  patched.Canvas.FillRectOrTileBitmap(Rect(-1, 1, 5, 3), tile.get());
  for (Integer y = 0; y < 7; ++y)
    for (Integer x = 0; x < 12; ++x) {
      TColor expected = clWhite;
      if (x < 10 && y < 6) {
        Integer lx = x - 5, ly = y - 3;
        expected = tile->PixelColor(((lx % 3) + 3) % 3, ((ly % 2) + 2) % 2);
      }
      ASSERT_EQ(whole.At(x, y), expected) << x << "," << y;
      ASSERT_EQ(patched.At(x, y), expected) << x << "," << y;
    }
}

TEST(cxGraphicsCanvas, FillRectOrTileBitmapWithoutBitmapUsesTheBrush) {
  TImage image(4, 2);
  TBitmap emptyBitmap;
  image.Canvas.SetBrushColor(clRed);
  image.Canvas.FillRectOrTileBitmap(Rect(0, 0, 2, 2), nullptr);
  image.Canvas.FillRectOrTileBitmap(Rect(2, 0, 3, 2), &emptyBitmap);
  image.Canvas.FillRectOrTileBitmap(Rect(3, 0, 3, 2), nullptr);  // empty rectangle
  EXPECT_EQ(Picture(image.Bitmap, Rect(0, 0, 4, 2), kLegend), (std::vector<std::string>{"RRR.", "RRR."}));
}

TEST(cxGraphicsCanvas, DrawFramedFillFramesChosenSidesAndFillsTheInside) {
  TImage image(7, 5);
  image.Canvas.DrawFramedFill(Rect(0, 0, 7, 5), nullptr, clBlue, 1, clRed, BorderBit(bLeft) | BorderBit(bTop));
  EXPECT_EQ(Picture(image.Bitmap, Rect(0, 0, 7, 5), kLegend),
            (std::vector<std::string>{"RRRRRRR", "RBBBBBB", "RBBBBBB", "RBBBBBB", "RBBBBBB"}));

  std::unique_ptr<TBitmap> tile = MakeTile();
  image.Fill(clWhite);
  image.Canvas.DrawFramedFill(Rect(0, 0, 7, 5), tile.get(), clBlue, 2, clRed, cxAllBorders);
  EXPECT_EQ(image.At(1, 1), RGBOf(clRed));
  EXPECT_EQ(image.At(2, 2), tile->PixelColor(2, 0));  // the grid is the canvas's, not the inside's
  EXPECT_EQ(image.At(4, 2), tile->PixelColor(1, 0));
  EXPECT_EQ(image.At(5, 3), RGBOf(clRed));

  image.Fill(clLime);
  image.Canvas.DrawFramedFill(Rect(0, 0, 7, 5), nullptr, clNone, 1, clRed, cxAllBorders);
  EXPECT_EQ(image.At(3, 2), RGBOf(clLime));  // clNone leaves the inside
}

// ---- Inversion and focus ------------------------------------------------------------------------

TEST(cxGraphicsCanvas, InvertFrameInvertsEachPixelOnce) {
  TImage image(10, 8);
  image.Canvas.Canvas()->SetCopyMode(cmSrcCopy);
  image.Canvas.InvertFrame(Rect(1, 1, 9, 7), 2);
  EXPECT_EQ(Picture(image.Bitmap, Rect(0, 0, 10, 8), kLegend),
            (std::vector<std::string>{"..........", ".KKKKKKKK.", ".KKKKKKKK.", ".KK....KK.", ".KK....KK.",
                                      ".KKKKKKKK.", ".KKKKKKKK.", ".........."}));
  EXPECT_EQ(image.Canvas.Canvas()->CopyMode(), cmSrcCopy);

  // Bands wider than half the rectangle meet and never overlap.
  image.Fill(clWhite);
  image.Canvas.InvertFrame(Rect(1, 1, 6, 4), 3);
  EXPECT_EQ(Picture(image.Bitmap, Rect(0, 0, 7, 5), kLegend),
            (std::vector<std::string>{".......", ".KKKKK.", ".KKKKK.", ".KKKKK.", "......."}));

  image.Canvas.InvertArea(Rect(1, 1, 6, 4));
  EXPECT_EQ(CountColor(image.Bitmap, clWhite), 80);
}

TEST(cxGraphicsCanvas, DrawFocusFrameIsDottedAndUndoesItself) {
  TImage image(12, 8);
  image.Canvas.DrawFocusFrame(Rect(1, 1, 11, 7));
  EXPECT_GT(CountColor(image.Bitmap, clBlack), 10);
  EXPECT_EQ(image.At(5, 4), RGBOf(clWhite));  // the inside is left alone
  EXPECT_NE(image.At(1, 1), image.At(2, 1));  // dots
  image.Canvas.DrawFocusFrame(Rect(1, 1, 11, 7));
  EXPECT_EQ(CountColor(image.Bitmap, clWhite), 96);
}

// ---- Glyphs and rotation --------------------------------------------------------------------

// A 4 x 4 glyph: a magenta border (its transparent colour) around a blue 2 x 2 centre.
std::unique_ptr<TBitmap> MakeGlyph() {
  auto glyph = std::make_unique<TBitmap>(4, 4, pf24bit);
  glyph->Canvas()->Brush()->SetColor(clFuchsia);
  glyph->Canvas()->FillRect(Rect(0, 0, 4, 4));
  glyph->Canvas()->Brush()->SetColor(clBlue);
  glyph->Canvas()->FillRect(Rect(1, 1, 3, 3));
  return glyph;
}

TEST(cxGraphicsCanvas, DrawGlyphBitmapEnabledReplacesTheTransparentColour) {
  std::unique_ptr<TBitmap> glyph = MakeGlyph();
  TImage image(8, 8, clYellow);
  image.Canvas.GetBrush()->SetStyle(bsClear);
  image.Canvas.DrawGlyphBitmap(2, 2, clLime, true, glyph.get());
  EXPECT_EQ(image.At(2, 2), RGBOf(clLime));
  EXPECT_EQ(image.At(3, 3), RGBOf(clBlue));
  EXPECT_EQ(image.At(1, 1), RGBOf(clYellow));
  EXPECT_EQ(image.Canvas.GetBrush()->Style(), bsClear);  // restored

  image.Fill(clYellow);
  image.Canvas.DrawGlyphBitmap(2, 2, clNone, true, glyph.get());
  EXPECT_EQ(image.At(2, 2), RGBOf(clYellow));
  EXPECT_EQ(image.At(4, 4), RGBOf(clBlue));
  EXPECT_EQ(image.Canvas.GetBrush()->Style(), bsSolid);

  image.Canvas.DrawGlyphBitmap(0, 0, clLime, true, nullptr);  // nothing
}

TEST(cxGraphicsCanvas, DrawGlyphBitmapDisabledIsEmbossed) {
  std::unique_ptr<TBitmap> glyph = MakeGlyph();
  glyph->SetTransparentColor(clFuchsia);  // fixed mode
  for (TColor background : {clLime, clNone}) {
    SCOPED_TRACE(background == clNone ? "clNone" : "lime");
    TImage image(8, 8, clYellow);
    image.Canvas.DrawGlyphBitmap(2, 2, background, false, glyph.get());
    TColor left = background == clNone ? clYellow : clLime;
    EXPECT_EQ(image.At(2, 2), RGBOf(left));
    EXPECT_EQ(image.At(3, 3), RGBOf(clBtnShadow));
    EXPECT_EQ(image.At(4, 4), RGBOf(clBtnShadow));
    EXPECT_EQ(image.At(5, 5), RGBOf(clBtnHighlight));  // the highlight one pixel down and right
    EXPECT_EQ(image.At(5, 2), RGBOf(left));
    EXPECT_EQ(image.At(6, 6), RGBOf(clYellow));
  }
}

TEST(cxGraphicsCanvas, RotateBitmapMovesEveryPixel) {
  const Integer w = 3, h = 2;
  auto colorOf = [](Integer x, Integer y) { return RGB(Byte(10 + 40 * x), Byte(20 + 100 * y), 3); };
  // Where the pixel (x, y) lands.
  const struct {
    Integer Operation;
    bool Mirror;
    TPoint (*Target)(Integer x, Integer y);
  } cases[] = {
      {0, false, [](Integer x, Integer y) { return TPoint{x, y}; }},
      {0, true, [](Integer x, Integer y) { return TPoint{x, 1 - y}; }},
      {1, false, [](Integer x, Integer y) { return TPoint{y, 2 - x}; }},
      {1, true, [](Integer x, Integer y) { return TPoint{y, x}; }},
      {2, false, [](Integer x, Integer y) { return TPoint{1 - y, x}; }},
      {2, true, [](Integer x, Integer y) { return TPoint{1 - y, 2 - x}; }},
      {3, false, [](Integer x, Integer y) { return TPoint{2 - x, 1 - y}; }},
      {3, true, [](Integer x, Integer y) { return TPoint{2 - x, y}; }},
      {7, true, [](Integer x, Integer y) { return TPoint{x, y}; }},  // unknown: nothing
  };
  for (const auto& c : cases) {
    TBitmap bitmap(w, h, pf24bit);
    for (Integer y = 0; y < h; ++y)
      for (Integer x = 0; x < w; ++x) bitmap.Canvas()->SetPixels(x, y, colorOf(x, y));
    TcxCanvas canvas(bitmap.Canvas());
    canvas.RotateBitmap(&bitmap, c.Operation, c.Mirror);
    SCOPED_TRACE(testing::Message() << "operation " << c.Operation << " mirror " << c.Mirror);
    bool turned = c.Operation == 1 || c.Operation == 2;
    EXPECT_EQ(bitmap.Width(), turned ? h : w);
    EXPECT_EQ(bitmap.Height(), turned ? w : h);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    for (Integer y = 0; y < h; ++y)
      for (Integer x = 0; x < w; ++x) {
        TPoint p = c.Target(x, y);
        EXPECT_EQ(bitmap.PixelColor(p.X, p.Y), colorOf(x, y)) << x << "," << y;
      }
  }
}

// ---- Text -----------------------------------------------------------------------------------

// Draws AText into a yellow 120 x 60 image in ARect with a clear brush.
std::unique_ptr<TImage> RenderText(const String& AText, const TRect& ARect, bool AEnabled, TcxTextFlags AFlags) {
  auto image = std::make_unique<TImage>(120, 60, clYellow);
  image->Canvas.GetBrush()->SetStyle(bsClear);
  image->Canvas.DrawTextWithFlags(AText, ARect, AEnabled, AFlags);
  return image;
}

TEST(cxGraphicsText, SingleLineAlignment) {
  const TRect r = Rect(10, 10, 110, 50);
  const TcxTextFlags single = cxSingleLine;
  TImage probe(1, 1);
  const TSize size = probe.Canvas.GetTextSize(u"Hello");
  ASSERT_GT(size.cx, 10);

  TRect box = InkBox(RenderText(u"Hello", r, true, single | cxAlignLeft | cxAlignTop)->Bitmap, clYellow);
  EXPECT_GE(box.Left, 10);
  EXPECT_LE(box.Left, 12);
  EXPECT_GE(box.Top, 10);
  EXPECT_LT(box.Bottom, 10 + size.cy);

  box = InkBox(RenderText(u"Hello", r, true, single | cxAlignRight | cxAlignBottom)->Bitmap, clYellow);
  EXPECT_LE(box.Right, 110);
  EXPECT_GE(box.Right, 107);
  EXPECT_LE(box.Bottom, 50);
  EXPECT_GT(box.Top, 50 - size.cy);

  box = InkBox(RenderText(u"Hello", r, true, single | cxAlignHCenter | cxAlignVCenter)->Bitmap, clYellow);
  EXPECT_NEAR((box.Left + box.Right) / 2.0, 60, 3);
  EXPECT_NEAR((box.Top + box.Bottom) / 2.0, 30, size.cy / 2.0);

  EXPECT_EQ(InkBox(RenderText(u"", r, true, single)->Bitmap, clYellow), TRect{});
}

TEST(cxGraphicsText, TextThatDoesNotFitIsClipped) {
  const String text = u"A rather long line of text";
  const TRect narrow = Rect(10, 10, 40, 40);
  for (TcxTextFlags flags : {TcxTextFlags(cxSingleLine), TcxTextFlags(cxSingleLine | cxShowEndEllipsis)}) {
    TRect box = InkBox(RenderText(text, narrow, true, flags)->Bitmap, clYellow);
    EXPECT_GE(box.Left, narrow.Left);
    EXPECT_LE(box.Right, narrow.Right);
    EXPECT_GT(box.Right, narrow.Right - 8);
  }
  // Three lines without word break in a one-line cell: every line counts.
  const TRect cell = Rect(10, 10, 110, 26);
  for (TcxTextFlags flags : {TcxTextFlags(cxAlignTop), TcxTextFlags(cxAlignBottom), TcxTextFlags(cxAlignVCenter)}) {
    TRect box = InkBox(RenderText(u"first\nsecond\nthird", cell, true, flags)->Bitmap, clYellow);
    EXPECT_FALSE(RectIsEmpty(box)) << "flags " << flags;
    EXPECT_GE(box.Top, cell.Top) << "flags " << flags;
    EXPECT_LE(box.Bottom, cell.Bottom) << "flags " << flags;
  }
  // A text that fits is drawn whole, as TextOut draws it.
  std::unique_ptr<TImage> fitted = RenderText(u"Hi", Rect(10, 10, 100, 40), true, cxSingleLine);
  TImage plain(120, 60, clYellow);
  plain.Canvas.GetBrush()->SetStyle(bsClear);
  plain.Canvas.Canvas()->TextOut(10, 10, u"Hi");
  EXPECT_EQ(fitted->Bitmap.Pixels32(), plain.Bitmap.Pixels32());
}

TEST(cxGraphicsText, DisabledTextKeepsRoomForItsShadow) {
  const TRect r = Rect(10, 10, 110, 50);
  const struct {
    const char* Name;
    TcxTextFlags Flags;
  } cases[] = {
      {"single line", cxSingleLine | cxAlignRight | cxAlignBottom},
      {"single line through DrawText", cxSingleLine | cxShowPrefix | cxAlignRight | cxAlignBottom},
      {"multi-line", cxAlignRight | cxAlignBottom},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    // "HH": no ink past the advance width.
    std::unique_ptr<TImage> enabled = RenderText(u"HH", r, true, c.Flags);
    std::unique_ptr<TImage> disabled = RenderText(u"HH", r, false, c.Flags);
    TRect e = InkBox(enabled->Bitmap, clYellow), d = InkBox(disabled->Bitmap, clYellow);
    ASSERT_FALSE(RectIsEmpty(e));
    // The shadow lies where enabled text would be; the text one pixel up and left.
    EXPECT_EQ(d, Rect(e.Left - 1, e.Top - 1, e.Right, e.Bottom));
    EXPECT_LE(d.Right, r.Right);
    EXPECT_LE(d.Bottom, r.Bottom);
    EXPECT_GT(CountColor(disabled->Bitmap, clBtnShadow), 0);
    EXPECT_GT(CountColor(disabled->Bitmap, clBtnHighlight), 0);
    // Brush style and font colour are as before.
    EXPECT_EQ(disabled->Canvas.GetBrush()->Style(), bsClear);
    EXPECT_EQ(disabled->Canvas.GetFont()->Color(), clWindowText);
  }
}

TEST(cxGraphicsText, MultiLineTextAlignedToTheBottomOrCentre) {
  TImage probe(1, 1);
  const Integer lineHeight = probe.Canvas.GetTextHeight(u"Wg");
  const Integer wordWidth = probe.Canvas.GetTextWidth(u"alpha");
  const TRect r = Rect(10, 2, 10 + wordWidth + 6, 58);
  std::unique_ptr<TImage> image = RenderText(u"alpha beta", r, true, cxWordBreak | cxAlignBottom);
  TRect box = InkBox(image->Bitmap, clYellow);
  EXPECT_GT(HeightOfRect(box), lineHeight);  // two lines
  EXPECT_LE(box.Bottom, 58);
  EXPECT_GT(box.Top, 58 - 2 * lineHeight - 1);
  SavePicture(image->Bitmap, "cxGraphics_text_multiline_bottom", 4);

  box = InkBox(RenderText(u"alpha beta", r, true, cxWordBreak | cxAlignVCenter)->Bitmap, clYellow);
  EXPECT_GT(HeightOfRect(box), lineHeight);
  EXPECT_NEAR((box.Top + box.Bottom) / 2.0, 30, lineHeight / 2.0);
}

TEST(cxGraphicsText, MeasureTextRectPlacesTheNeededRectangle) {
  TImage image(1, 1);
  const TSize size = image.Canvas.GetTextSize(u"Hello");
  const struct {
    TcxTextFlags Flags;
    TRect Expected;
  } cases[] = {
      {cxSingleLine, Rect(10, 10, 10 + size.cx, 10 + size.cy)},
      {cxSingleLine | cxAlignRight | cxAlignBottom, Rect(110 - size.cx, 40 - size.cy, 110, 40)},
      {cxSingleLine | cxAlignHCenter | cxAlignVCenter,
       Bounds(10 + (100 - size.cx) / 2, 10 + (30 - size.cy) / 2, size.cx, size.cy)},
  };
  for (const auto& c : cases) {
    TRect r = Rect(10, 10, 110, 40);
    image.Canvas.MeasureTextRect(u"Hello", r, c.Flags);
    EXPECT_EQ(r, c.Expected) << "flags " << c.Flags;
  }
  // Word break measures the lines the text needs.
  TRect r = Rect(0, 0, image.Canvas.GetTextWidth(u"alpha") + 4, 100);
  image.Canvas.MeasureTextRect(u"alpha beta alpha", r, cxWordBreak);
  EXPECT_EQ(HeightOfRect(r), 3 * size.cy);
}

TEST(cxGraphicsText, TextSizeAndFontHeight) {
  TImage image(1, 1);
  EXPECT_EQ(image.Canvas.GetTextSize(u""), TSize{});
  EXPECT_EQ(image.Canvas.GetTextWidth(u"Hello"), image.Canvas.Canvas()->TextWidth(u"Hello"));
  TFont big;
  big.SetHeight(-24);
  const Integer small = image.Canvas.GetTextHeight(u"Qq");
  const Integer large = image.Canvas.MeasureFontHeight(&big);
  EXPECT_GT(large, small);
  EXPECT_EQ(image.Canvas.GetFont()->Height(), -24);  // the font is now the canvas's
  EXPECT_EQ(large, image.Canvas.GetTextHeight(u"Qq"));
}

TEST(cxGraphicsText, ScreenCanvasesMeasureLikeABitmapCanvas) {
  TImage image(1, 1);
  TcxScreenCanvas screen;
  EXPECT_EQ(screen.GetTextWidth(u"Measure"), image.Canvas.GetTextWidth(u"Measure"));
  EXPECT_EQ(SharedScreenCanvas(), SharedScreenCanvas());
  TFont big;
  big.SetHeight(-30);
  EXPECT_GT(TextWidthInFont(&big, u"Wide"), image.Canvas.GetTextWidth(u"Wide"));
  EXPECT_GT(TextHeightInFont(&big, u"Wide"), image.Canvas.GetTextHeight(u"Wide"));
  EXPECT_EQ(TextWidthInFont(&big, u""), 0);

  // Drawing on it is harmless, even over the unclipped extent.
  std::unique_ptr<TBitmap> tile = MakeTile();
  screen.FillRectOrTileBitmap(Rect(0, 0, 107374182, 107374182), tile.get());
  screen.DrawBorderBands(Rect(0, 0, 10, 10), clRed, cxAllBorders, 2);
  screen.DrawTextWithFlags(u"x", Rect(0, 0, 10, 10), false, cxSingleLine);
}

// ---- Clipping -------------------------------------------------------------------------------

TEST(cxGraphicsClip, CopyClipRegionWithoutClippingIsTheHugeRectangle) {
  TImage image(10, 10);
  std::unique_ptr<TcxRegion> saved(image.Canvas.CopyClipRegion());
  EXPECT_TRUE(RegionIs(saved->Handle(), {Rect(0, 0, 107374182, 107374182)}));

  image.Canvas.ClipToRect(Rect(2, 2, 4, 4));
  image.Canvas.ApplyClipRegion(saved.release(), roCopy, true);
  image.Fill(clRed);
  EXPECT_EQ(CountColor(image.Bitmap, clRed), 100);  // effectively unclipped
}

TEST(cxGraphicsClip, NestedSaveAndRestore) {
  TImage image(20, 20);
  TcxCanvas& canvas = image.Canvas;
  TcxRegion* outer = canvas.CopyClipRegion();
  canvas.ClipToRect(Rect(2, 2, 18, 18));
  TcxRegion* inner = canvas.CopyClipRegion();
  canvas.ClipOutRect(Rect(6, 6, 14, 14));
  EXPECT_FALSE(canvas.IsRectVisible(Rect(7, 7, 9, 9)));
  EXPECT_TRUE(canvas.IsRectVisible(Rect(0, 0, 3, 3)));
  image.Fill(clRed);

  canvas.ApplyClipRegion(inner, roCopy, true);
  EXPECT_TRUE(canvas.IsRectVisible(Rect(7, 7, 9, 9)));
  EXPECT_FALSE(canvas.IsRectVisible(Rect(0, 0, 2, 2)));
  canvas.SetBrushColor(clBlue);
  canvas.Canvas()->FillRect(Rect(4, 4, 16, 16));
  canvas.SetBrushColor(clBlack);
  canvas.Canvas()->FillRect(Rect(0, 0, 3, 20));  // only its column 2 is inside

  canvas.ApplyClipRegion(outer, roCopy, true);
  canvas.SetBrushColor(clLime);
  canvas.Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(image.At(0, 0), RGBOf(clLime));
  EXPECT_EQ(image.At(1, 1), RGBOf(clWhite));
  EXPECT_EQ(image.At(2, 10), RGBOf(clBlack));
  EXPECT_EQ(image.At(3, 3), RGBOf(clRed));
  EXPECT_EQ(image.At(10, 10), RGBOf(clBlue));
  EXPECT_EQ(image.At(19, 19), RGBOf(clWhite));
  SavePicture(image.Bitmap, "cxGraphics_clip_nested", 10);
}

TEST(cxGraphicsClip, ApplyClipRegionEachOperationInLogicalCoordinates) {
  // The window origin puts logical (5, 0) at device (0, 0); the clip starts
  // as device (0, 0, 10, 10).
  const TRect logical = Rect(13, 5, 20, 15);  // device (8, 5, 15, 15)
  const struct {
    TcxRegionOperation Operation;
    std::vector<TRect> Expected;  // device coordinates
  } cases[] = {
      {roCopy, {Rect(13, 5, 20, 15)}},  // the region is device coordinates as it stands
      {roUnion, {Rect(0, 0, 10, 10), Rect(8, 5, 15, 15)}},
      {roSubtract, {Rect(0, 0, 10, 5), Rect(0, 5, 8, 10)}},
      {roIntersect, {Rect(8, 5, 10, 10)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "operation " << c.Operation);
    TImage image(30, 20);
    SetWindowOrgEx(image.Canvas.GetHandle(), 5, 0, nullptr);
    image.Canvas.ClipToRect(Rect(5, 0, 15, 10));
    TcxRegion region(logical);
    image.Canvas.ApplyClipRegion(&region, c.Operation, false);
    TClip clip(image.Canvas);
    EXPECT_TRUE(clip.Has);
    EXPECT_TRUE(clip.Equals(c.Expected));
    EXPECT_TRUE(RegionIs(region.Handle(), {logical}));  // not destroyed: left as it was
  }
}

TEST(cxGraphicsClip, ApplyClipRegionFreesTheRegionWhenAsked) {
  TCountedRegion::Destroyed = 0;
  TImage image(10, 10);
  image.Canvas.ApplyClipRegion(new TCountedRegion(Rect(0, 0, 5, 5)), roIntersect, true);
  image.Canvas.ApplyClipRegion(new TCountedRegion(Rect(0, 0, 2, 2)), roCopy, true);
  EXPECT_EQ(TCountedRegion::Destroyed, 2);
  image.Canvas.ApplyClipRegion(nullptr, roCopy, true);  // nothing
  image.Fill(clRed);
  EXPECT_EQ(CountColor(image.Bitmap, clRed), 4);
}

// ---- Derived colours ------------------------------------------------------------------------

class cxGraphicsColors : public testing::Test {
protected:
  void TearDown() override { SetSysColorTable(DefaultSysColorTable()); }
  static void SetFace(TColor AFace) {
    TSysColorTable table = DefaultSysColorTable();
    table[COLOR_BTNFACE] = AFace;
    SetSysColorTable(table);
  }
};

TEST_F(cxGraphicsColors, MixedHighlightColoursBlendFaceHighlightAndWindow) {
  // Face (212, 208, 200), highlight (10, 36, 106), window white; each term rounded.
  EXPECT_EQ(MixedHighlightColor(), RGB(30 + 4 + 102, 29 + 16 + 102, 28 + 47 + 102));
  EXPECT_EQ(MixedLightHighlightColor(), RGB(-4 + 3 + 184, -4 + 11 + 184, -4 + 32 + 184));
  EXPECT_EQ(GetNearestScreenColor(clBtnFace), RGB(212, 208, 200));

  for (TColor face : {clBlack, clWhite}) {
    SetFace(face);
    EXPECT_EQ(MixedHighlightColor(), RGBOf(clHighlight));
    EXPECT_EQ(MixedLightHighlightColor(), RGBOf(clHighlight));
  }
  // The negative weight can take a channel below 0: it is clamped.
  TSysColorTable table = DefaultSysColorTable();
  table[COLOR_BTNFACE] = RGB(255, 255, 254);
  table[COLOR_HIGHLIGHT] = clBlack;
  table[COLOR_WINDOW] = clBlack;
  SetSysColorTable(table);
  EXPECT_EQ(MixedLightHighlightColor(), clBlack);
  EXPECT_EQ(MixedHighlightColor(), RGB(36, 36, 36));
}

// ---- Rectangle and point routines -----------------------------------------------------------

TEST(cxGraphicsGeometry, RectangleRoutines) {
  const TRect r = Rect(10, 20, 50, 80);
  EXPECT_EQ(HeightOfRect(r), 60);
  EXPECT_EQ(WidthOfRect(r), 40);
  EXPECT_EQ(SizeOfRect(r), (TPoint{40, 60}));
  EXPECT_EQ(GrowRect(r, 2, 3), Rect(8, 17, 52, 83));
  EXPECT_EQ(GrowRectSides(r, 1, 2, 3, 4), Rect(9, 18, 53, 84));
  EXPECT_EQ(DeflateRectBy2(r), Rect(12, 22, 48, 78));
  EXPECT_EQ(ShiftRect(r, -10, 5), Rect(0, 25, 40, 85));
  EXPECT_EQ(ShiftRectByPoint(r, {1, 2}), Rect(11, 22, 51, 82));
  EXPECT_EQ(ShiftRectByPointSum(r, {{1, 2}, {3, 4}, {-1, 0}}), Rect(13, 26, 53, 86));
  EXPECT_EQ(MakeRect(1, 2, 3, 4), Rect(1, 2, 3, 4));
  EXPECT_EQ(RectWithHeight(r, 5), Rect(10, 20, 50, 25));
  EXPECT_EQ(RectWithWidth(r, 5), Rect(10, 20, 15, 80));
  EXPECT_EQ(RectWithSize(r, 5, 6), Rect(10, 20, 15, 26));
  EXPECT_EQ(RectWithTop(r, 0), Rect(10, 0, 50, 60));
  EXPECT_EQ(RectWithTopAndHeight(r, 1, 2), Rect(10, 1, 50, 3));
  EXPECT_EQ(RectWithLeftAndWidth(r, 1, 2), Rect(1, 20, 3, 80));
  EXPECT_EQ(RectWithHorzSpan(r, 1, 2), Rect(1, 20, 3, 80));
  EXPECT_EQ(CenterOfRect(r), (TPoint{30, 50}));
  EXPECT_EQ(CenterOfRect(Rect(-5, -5, 0, 0)), (TPoint{-2, -2}));  // toward zero
  EXPECT_EQ(CenteredRect(r, 10, 11), Rect(25, 44, 35, 55));
  EXPECT_EQ(CenteredRect(Rect(0, 0, 5, 5), 8, 8), Rect(-1, -1, 7, 7));
  EXPECT_TRUE(RectsEqual(r, Rect(10, 20, 50, 80)));
  EXPECT_FALSE(RectsEqual(r, Rect(10, 20, 50, 81)));
}

TEST(cxGraphicsGeometry, EmptinessIntersectionAndContainment) {
  const struct {
    TRect R;
    bool Empty;
  } empties[] = {{Rect(0, 0, 1, 1), false}, {Rect(0, 0, 0, 5), true}, {Rect(0, 5, 5, 5), true}, {Rect(3, 0, 1, 5), true}};
  for (const auto& c : empties) EXPECT_EQ(RectIsEmpty(c.R), c.Empty);

  TRect out{1, 1, 1, 1};
  EXPECT_TRUE(IntersectRectsInto(out, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
  EXPECT_EQ(out, Rect(5, 5, 10, 10));
  EXPECT_FALSE(IntersectRectsInto(out, Rect(0, 0, 10, 10), Rect(20, 20, 30, 30)));
  EXPECT_EQ(out, TRect{});
  EXPECT_TRUE(RectsIntersect(Rect(0, 0, 10, 10), Rect(9, 9, 11, 11)));
  EXPECT_FALSE(RectsIntersect(Rect(0, 0, 10, 10), Rect(10, 0, 11, 10)));  // touching edges

  const TRect r = Rect(0, 0, 10, 10);
  EXPECT_TRUE(PointInRect(r, {0, 0}));
  EXPECT_TRUE(PointInRect(r, {9, 9}));
  EXPECT_FALSE(PointInRect(r, {10, 5}));  // the right edge is outside
  EXPECT_FALSE(PointInRect(r, {5, 10}));  // and the bottom edge
}

TEST(cxGraphicsGeometry, VerticalExtentAndPoints) {
  TcxVerticalExtent extent{1, 2};
  ResetVerticalExtent(extent);
  EXPECT_EQ(extent.Top, 0x7FFFFFFF);
  EXPECT_EQ(extent.Bottom, -1);
  IncludeInVerticalExtent(extent, Rect(0, 10, 5, 20));
  IncludeInVerticalExtent(extent, Rect(0, 4, 5, 12));
  EXPECT_EQ(extent.Top, 4);
  EXPECT_EQ(extent.Bottom, 20);

  EXPECT_EQ(MakePoint(1, 2), (TPoint{1, 2}));
  EXPECT_EQ(MakeSizePoint(3, 4), (TPoint{3, 4}));
  EXPECT_EQ(AddPoints({1, 2}, {3, 4}), (TPoint{4, 6}));
  EXPECT_EQ(NegatePoint({1, -2}), (TPoint{-1, 2}));
  EXPECT_EQ(ShiftPoint({1, 2}, 3, 4), (TPoint{4, 6}));
  EXPECT_EQ(ShiftPointByPointSum({1, 2}, {{1, 1}, {2, 2}}), (TPoint{4, 5}));
  EXPECT_EQ(ShiftPointByPointSum({1, 2}, {}), (TPoint{1, 2}));
}

// ---- Bitmaps --------------------------------------------------------------------------------

class cxGraphicsBlend : public testing::Test {
protected:
  void TearDown() override { SetBoundAlphaBlend(&::AlphaBlend); }
};

TEST_F(cxGraphicsBlend, DrawBitmapBlendedWithAndWithoutAlphaBlend) {
  const TColor back = RGB(200, 40, 0), over = RGB(0, 100, 255);
  for (bool bound : {true, false}) {
    SetBoundAlphaBlend(bound ? &::AlphaBlend : nullptr);
    for (Byte alpha : {Byte(0), Byte(255), Byte(128), Byte(51)}) {
      SCOPED_TRACE(testing::Message() << (bound ? "bound" : "own blend") << " alpha " << int(alpha));
      TBitmap background(6, 4, pf24bit), overlay(6, 4, pf24bit), dest(6, 4, pf24bit);
      background.Canvas()->Brush()->SetColor(back);
      background.Canvas()->FillRect(Rect(0, 0, 6, 4));
      overlay.Canvas()->Brush()->SetColor(over);
      overlay.Canvas()->FillRect(Rect(0, 0, 6, 4));
      DrawBitmapBlended(&dest, &background, &overlay, alpha);
      if (alpha == 0) {
        EXPECT_EQ(dest.PixelColor(3, 2), back);
      }
      if (alpha == 255) {
        EXPECT_EQ(dest.PixelColor(3, 2), over);
      }
      const double a = alpha / 255.0;
      TColor got = dest.PixelColor(5, 3);
      EXPECT_NEAR(GetRValue(got), a * 0 + (1 - a) * 200, 1);
      EXPECT_NEAR(GetGValue(got), a * 100 + (1 - a) * 40, 1);
      EXPECT_NEAR(GetBValue(got), a * 255 + (1 - a) * 0, 1);
    }
  }
}

TEST_F(cxGraphicsBlend, OwnBlendStaysInsideTheSharedArea) {
  SetBoundAlphaBlend(nullptr);
  TBitmap background(8, 8, pf24bit), overlay(3, 2, pf24bit), dest(8, 8, pf24bit);
  overlay.Canvas()->Brush()->SetColor(clBlack);
  overlay.Canvas()->FillRect(Rect(0, 0, 3, 2));
  DrawBitmapBlended(&dest, &background, &overlay, 255);
  EXPECT_EQ(dest.PixelColor(2, 1), clBlack);
  EXPECT_EQ(dest.PixelColor(3, 1), clWhite);
  EXPECT_EQ(dest.PixelColor(2, 2), clWhite);
  DrawBitmapBlended(nullptr, &background, &overlay, 255);  // nothing
}

TEST(cxGraphicsBitmaps, CreateBitmapOfSizeAndCopyBitmapArea) {
  std::unique_ptr<TBitmap> bitmap = CreateBitmapOfSize(MakeSizePoint(7, 5), pf24bit);
  EXPECT_EQ(bitmap->Width(), 7);
  EXPECT_EQ(bitmap->Height(), 5);
  EXPECT_EQ(bitmap->PixelFormat(), pf24bit);

  std::unique_ptr<TBitmap> tile = MakeTile();
  TBitmap dest(6, 6, pf24bit);
  // Rect (0, 0, 2, 1) of the tile, shifted by (1, 1), lands at (3, 4).
  CopyBitmapArea(tile.get(), &dest, {1, 1}, Rect(0, 0, 2, 1), {3, 4});
  EXPECT_EQ(dest.PixelColor(3, 4), tile->PixelColor(1, 1));
  EXPECT_EQ(dest.PixelColor(4, 4), tile->PixelColor(2, 1));
  EXPECT_EQ(dest.PixelColor(5, 4), clWhite);
  EXPECT_EQ(dest.PixelColor(3, 5), clWhite);
}

// ---- Arrows, halftone, view parameters ------------------------------------------------------

TEST(cxGraphicsDrawing, DrawArrowsPointAtEachOtherAcrossTheChosenEdge) {
  const TRect r = Rect(15, 15, 35, 35);
  // Per kind: the two anchors; each arrow's tip, and a point inside it (offsets from the anchor).
  const struct {
    Integer Kind;
    TPoint Anchor1, Anchor2;
  } cases[] = {
      {0, {15, 15}, {15, 35}},
      {1, {15, 15}, {35, 15}},
      {2, {35, 15}, {35, 35}},
      {3, {15, 35}, {35, 35}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.Kind);
    const bool vertical = c.Kind % 2 == 0;
    const TPoint tip1 = vertical ? TPoint{0, -1} : TPoint{-1, 0}, inside1 = vertical ? TPoint{0, -4} : TPoint{-4, 0};
    const TPoint inside2 = vertical ? TPoint{0, 3} : TPoint{3, 0}, stem2 = vertical ? TPoint{0, 7} : TPoint{7, 0};
    TImage image(50, 50);
    DrawArrows(&image.Canvas, r, c.Kind, clRed, clBlue);
    TPoint p = AddPoints(c.Anchor1, tip1);
    EXPECT_EQ(image.At(p.X, p.Y), RGBOf(clRed));
    p = AddPoints(c.Anchor1, inside1);
    EXPECT_EQ(image.At(p.X, p.Y), RGBOf(clBlue));
    EXPECT_EQ(image.At(c.Anchor2.X, c.Anchor2.Y), RGBOf(clRed));
    p = AddPoints(c.Anchor2, inside2);
    EXPECT_EQ(image.At(p.X, p.Y), RGBOf(clBlue));
    p = AddPoints(c.Anchor2, stem2);
    EXPECT_EQ(image.At(p.X, p.Y), RGBOf(clBlue));
    EXPECT_EQ(image.At(25, 25), RGBOf(clWhite));
  }
  // clDefault outlines in the inverse of the fill colour.
  TImage image(50, 50);
  DrawArrows(&image.Canvas, r, 0, clDefault, clBlue);
  EXPECT_EQ(image.At(15, 14), RGBOf(clYellow));
  EXPECT_EQ(image.At(15, 11), RGBOf(clBlue));
  DrawArrows(&image.Canvas, r, 4, clRed, clRed);  // no such kind: nothing
  EXPECT_EQ(CountColor(image.Bitmap, clRed), 0);
}

TEST(cxGraphicsDrawing, FillHalftoneRectIsACheckerboardAndKeepsTheContextColours) {
  TImage image(10, 10);
  HDC dc = image.Canvas.GetHandle();
  SetTextColor(dc, clMaroon);
  SetBkColor(dc, clTeal);
  FillHalftoneRect(&image.Canvas, Rect(1, 1, 9, 9), clBtnFace, clBlue);
  for (Integer y = 1; y < 9; ++y)
    for (Integer x = 1; x < 9; ++x)
      ASSERT_EQ(image.At(x, y), (x + y) % 2 == 0 ? RGBOf(clBtnFace) : RGBOf(clBlue)) << x << "," << y;
  EXPECT_EQ(image.At(0, 0), RGBOf(clWhite));
  EXPECT_EQ(GetTextColor(dc), clMaroon);
  EXPECT_EQ(GetBkColor(dc), clTeal);
}

TEST(cxGraphicsDrawing, ViewParamsAndWindowOrigin) {
  TImage image(4, 4);
  TFont font;
  font.SetHeight(-20);
  ApplyViewParams(&image.Canvas, {nullptr, clRed, &font, clBlue});
  EXPECT_EQ(image.Canvas.GetFont()->Height(), -20);
  EXPECT_EQ(image.Canvas.GetFont()->Color(), clBlue);
  EXPECT_EQ(image.Canvas.GetBrush()->Color(), clRed);
  ApplyViewParams(&image.Canvas, {nullptr, clLime, nullptr, clBlack});  // no font: the font is kept
  EXPECT_EQ(image.Canvas.GetFont()->Height(), -20);
  EXPECT_EQ(image.Canvas.GetFont()->Color(), clBlack);

  TPoint origin{3, 4};
  SetCanvasWindowOrigin(&image.Canvas, origin);
  EXPECT_EQ(origin, (TPoint{0, 0}));
  EXPECT_EQ(image.Canvas.GetWindowOrigin(), (TPoint{3, 4}));
  SetCanvasWindowOrigin(&image.Canvas, origin);
  EXPECT_EQ(origin, (TPoint{3, 4}));
}

TEST(cxGraphicsDrawing, SystemAndHalftoneBrushes) {
  for (Integer i = 0; i < 31; ++i) {
    ASSERT_NE(SystemColorBrush(i), nullptr);
    EXPECT_EQ(SystemColorBrush(i)->Color(), SysColor(i));
  }
  EXPECT_EQ(SystemColorBrush(31), nullptr);
  EXPECT_EQ(SystemColorBrush(-1), nullptr);
  const TBrushPattern& pattern = HalftoneBrush()->Pattern();
  ASSERT_EQ(pattern.Width, 8);
  ASSERT_EQ(pattern.Height, 8);
  EXPECT_TRUE(pattern.Mono);
  EXPECT_EQ(pattern.Pixels[0], 1u);
  EXPECT_EQ(pattern.Pixels[1], 0u);
  EXPECT_EQ(pattern.Pixels[8], 0u);
}

// ---- Brush cache ------------------------------------------------------------------------------

TEST(cxGraphicsBrushCache, UseCountsAndImmediateDeletion) {
  TcxBrushCache cache;
  TBrush* red = cache.AddColor(clRed);
  EXPECT_EQ(red->Color(), clRed);
  EXPECT_EQ(cache.AddColor(clRed), red);
  cache.AddColor(clLime);
  cache.AddColor(clBlue);
  EXPECT_EQ(cache.UseCount(clRed), 2);
  EXPECT_EQ(cache.Count(), 3);

  cache.ReleaseColor(clRed);
  EXPECT_EQ(cache.UseCount(clRed), 1);
  EXPECT_EQ(cache.Brushes(clRed), red);
  cache.ReleaseColor(clRed);
  EXPECT_EQ(cache.Brushes(clRed), nullptr);
  EXPECT_EQ(cache.UseCount(clRed), 0);
  ASSERT_EQ(cache.Count(), 2);  // the following entries moved down
  EXPECT_EQ(cache.ColorAt(0), clLime);
  EXPECT_EQ(cache.ColorAt(1), clBlue);

  cache.ReleaseColor(clRed);  // unknown colours are ignored
  cache.Unlock();             // so is an Unlock without Lock
  EXPECT_EQ(cache.LockCount(), 0);
  EXPECT_EQ(cache.Count(), 2);
}

TEST(cxGraphicsBrushCache, DeletionWhileLockedWaitsForTheLastUnlock) {
  TcxBrushCache cache;
  for (TColor c : {clRed, clLime, clBlue, clYellow}) cache.AddColor(c);
  cache.Lock();
  cache.Lock();
  cache.ReleaseColor(clRed);
  cache.ReleaseColor(clBlue);
  EXPECT_EQ(cache.Count(), 4);
  EXPECT_EQ(cache.UseCount(clRed), -1);
  EXPECT_NE(cache.Brushes(clRed), nullptr);  // still usable while locked
  EXPECT_EQ(cache.DeferredCount(), 2);
  cache.ReleaseColor(clRed);  // already marked: no second deletion
  EXPECT_EQ(cache.DeferredCount(), 2);

  // A marked colour taken back into use is kept.
  cache.ReleaseColor(clYellow);
  EXPECT_EQ(cache.DeferredCount(), 3);
  EXPECT_EQ(cache.AddColor(clYellow)->Color(), clYellow);
  EXPECT_EQ(cache.UseCount(clYellow), 1);
  EXPECT_EQ(cache.DeferredCount(), 2);

  cache.Unlock();
  EXPECT_EQ(cache.Count(), 4);
  cache.Unlock();
  EXPECT_EQ(cache.DeferredCount(), 0);
  ASSERT_EQ(cache.Count(), 2);
  EXPECT_EQ(cache.ColorAt(0), clLime);
  EXPECT_EQ(cache.ColorAt(1), clYellow);
}

// ---- Pictures -------------------------------------------------------------------------------

// One picture of the drawing operations together, for a person to look at.
TEST(cxGraphicsPictures, Gallery) {
  TImage image(200, 120, clBtnFace);
  TcxCanvas& c = image.Canvas;
  c.DrawEdgeRing(Rect(10, 10, 60, 40), false, true, cxAllBorders);
  c.DrawEdgeRing(Rect(11, 11, 59, 39), false, false, cxAllBorders);
  c.DrawEdgeRing(Rect(70, 10, 120, 40), true, true, cxAllBorders);
  c.DrawEdgeRing(Rect(71, 11, 119, 39), true, false, cxAllBorders);
  c.DrawFramedFill(Rect(130, 10, 190, 40), nullptr, clWindow, 2, clNavy, cxAllBorders);
  c.DrawFocusFrame(Rect(133, 13, 187, 37));
  FillHalftoneRect(&c, Rect(10, 50, 60, 80), clBtnFace, clBtnHighlight);
  c.DrawBorderBands(Rect(78, 58, 103, 82), clBtnShadow, cxAllBorders, 1);
  DrawArrows(&c, Rect(78, 58, 103, 82), 0, clDefault, clRed);  // across the left edge
  DrawArrows(&c, Rect(78, 58, 103, 82), 2, clBlack, clLime);    // across the right edge
  c.GetBrush()->SetStyle(bsClear);
  c.DrawTextWithFlags(u"启用 Enabled", Rect(120, 50, 195, 70), true, cxSingleLine | cxAlignHCenter | cxAlignVCenter);
  c.DrawTextWithFlags(u"禁用 Disabled", Rect(120, 70, 195, 90), false, cxSingleLine | cxAlignHCenter | cxAlignVCenter);
  c.DrawTextWithFlags(u"An end ellipsis cuts this", Rect(10, 95, 120, 115), true,
                      cxSingleLine | cxShowEndEllipsis | cxAlignVCenter);
  c.InvertFrame(Rect(125, 92, 195, 117), 2);
  SavePicture(image.Bitmap, "cxGraphics_gallery", 4);
  EXPECT_TRUE(image.Is(10, 10, cl3DLight));
  // Every figure drew inside its own area.
  const TRect enabledText = Rect(120, 50, 195, 70), disabledText = Rect(120, 70, 195, 90);
  for (const TRect& area : {Rect(10, 10, 60, 40), Rect(70, 10, 120, 40), Rect(130, 10, 190, 40), Rect(10, 50, 60, 80),
                            Rect(70, 50, 111, 90), enabledText, disabledText, Rect(10, 95, 120, 115),
                            Rect(125, 92, 195, 117)})
    EXPECT_LT(image.Count(area, clBtnFace), area.Width() * area.Height())
        << "nothing drawn in " << area.Left << "," << area.Top;
  // Only the disabled text is embossed with a highlight.
  EXPECT_GT(image.Count(disabledText, clBtnHighlight), 0);
  EXPECT_EQ(image.Count(enabledText, clBtnHighlight), 0);
}

}  // namespace
