#include "platform/gui/graphics.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gui/bitmap.h"
#include "platform/gui/sysmetrics.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/gui/guitestutil.h"

// The font library keeps a few bytes it never frees; not ours to report.
// Weak, so that another test file of this program may say the same.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {

class GraphicsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { EnsureGuiRuntime(); }

  // A white 32-bit image of the size.
  static std::unique_ptr<TBitmap> White(Integer w, Integer h) {
    auto bmp = std::make_unique<TBitmap>(w, h, pf32bit);
    bmp->Canvas()->Brush()->SetColor(clWhite);
    bmp->Canvas()->FillRect({0, 0, w, h});
    return bmp;
  }

  // The bounding box of pixels that differ from white.
  static TRect Ink(TBitmap* bmp) {
    TRect box{bmp->Width(), bmp->Height(), -1, -1};
    for (Integer y = 0; y < bmp->Height(); ++y)
      for (Integer x = 0; x < bmp->Width(); ++x)
        if (bmp->PixelColor(x, y) != clWhite) {
          box.Left = std::min(box.Left, x), box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1), box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box.Right < 0 ? TRect{} : box;
  }
};

TEST_F(GraphicsTest, FontNamesMapToInstalledFamilies) {
  struct {
    String Name, Family;
  } cases[] = {
      {u"宋体", u"WenQuanYi Micro Hei"}, {u"黑体", u"WenQuanYi Micro Hei"}, {u"MS Sans Serif", u"DejaVu Sans"},
      {u"tahoma", u"DejaVu Sans"},       {u"Courier New", u"DejaVu Sans Mono"}, {u"Unknown Face", u"Unknown Face"},
  };
  for (const auto& c : cases) EXPECT_EQ(MapFontName(c.Name), c.Family);
}

TEST_F(GraphicsTest, FontSizeAndHeightAreTwoViewsOfOneValue) {
  TFont font;
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -12);
  EXPECT_EQ(font.Size(), 9);
  int changes = 0;
  font.OnChange = TNotifyEvent(&changes, [&changes](TObject*) { ++changes; });
  font.SetHeight(-12);  // unchanged: no notice
  font.SetStyle(fsBold);
  EXPECT_EQ(changes, 1);
}

TEST_F(GraphicsTest, ClippingToARegionDifferenceLeavesTheHoleUntouched) {
  auto bmp = White(40, 40);
  TCanvas* c = bmp->Canvas();
  HRGN outer = CreateRectRgn(0, 0, 40, 40), hole = CreateRectRgn(10, 10, 30, 30);
  CombineRgn(outer, outer, hole, RGN_DIFF);
  EXPECT_EQ(SelectClipRgn(c, outer), COMPLEXREGION);
  c->Brush()->SetColor(clRed);
  c->FillRect({0, 0, 40, 40});
  EXPECT_EQ(c->Pixels(5, 5), clRed);
  EXPECT_EQ(bmp->PixelColor(20, 20), clWhite);
  EXPECT_EQ(bmp->PixelColor(29, 29), clWhite);
  EXPECT_EQ(bmp->PixelColor(30, 30), clRed);
  EXPECT_FALSE(RectVisible(c, {12, 12, 28, 28}));
  EXPECT_TRUE(RectVisible(c, {25, 25, 35, 35}));
  SavePicture(bmp.get(), "clip_difference.png");

  // The clip region reads back equal to what was selected.
  HRGN back = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(c, back), 1);
  EXPECT_TRUE(EqualRgn(back, outer));
  SelectClipRgn(c, nullptr);
  EXPECT_EQ(GetClipRgn(c, back), 0);
  DeleteObject(back);
  DeleteObject(outer);
  DeleteObject(hole);
}

TEST_F(GraphicsTest, ClipRectanglesAreLogicalAndSaveRestoreBringsThemBack) {
  auto bmp = White(40, 40);
  TCanvas* c = bmp->Canvas();
  Integer saved = SaveDC(c);
  TPoint old;
  SetWindowOrgEx(c, -10, -10, &old);  // logical (0,0) is device (10,10)
  EXPECT_EQ(old, Point(0, 0));
  IntersectClipRect(c, 0, 0, 10, 10);
  ExcludeClipRect(c, 0, 0, 5, 5);
  EXPECT_EQ(c->ClipRect(), Rect(0, 0, 10, 10));
  c->Brush()->SetColor(clBlue);
  c->FillRect({-10, -10, 30, 30});
  EXPECT_EQ(bmp->PixelColor(17, 17), clBlue);
  EXPECT_EQ(bmp->PixelColor(12, 12), clWhite);  // excluded corner
  EXPECT_EQ(bmp->PixelColor(25, 25), clWhite);  // outside the clip
  EXPECT_TRUE(RestoreDC(c, saved));
  TPoint org;
  GetWindowOrgEx(c, org);
  EXPECT_EQ(org, Point(0, 0));
  c->FillRect({0, 0, 40, 40});
  EXPECT_EQ(bmp->PixelColor(25, 25), clBlue);
  EXPECT_FALSE(RestoreDC(c, saved));  // already restored
}

TEST_F(GraphicsTest, XorFocusRectangleDrawnTwiceRestoresTheImage) {
  auto bmp = White(30, 20);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(RGB(10, 120, 200));
  c->FillRect({5, 5, 25, 15});
  std::vector<Cardinal> before = bmp->Pixels32();
  c->DrawFocusRect({3, 3, 27, 17});
  std::vector<Cardinal> once = bmp->Pixels32();
  EXPECT_NE(once, before);
  EXPECT_NE(bmp->PixelColor(4, 3), bmp->PixelColor(5, 3)) << "the outline is dotted";
  SavePicture(bmp.get(), "focus_rect.png");
  c->DrawFocusRect({3, 3, 27, 17});
  EXPECT_EQ(bmp->Pixels32(), before);
}

TEST_F(GraphicsTest, XorPenAndInvertUndoThemselves) {
  auto bmp = White(20, 20);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clGreen);
  c->FillRect({0, 0, 10, 20});
  std::vector<Cardinal> before = bmp->Pixels32();
  c->Pen()->SetMode(pmXor);
  c->Pen()->SetColor(clWhite);
  for (int pass = 0; pass < 2; ++pass) {
    c->MoveTo(0, 5);
    c->LineTo(19, 5);
    c->Polyline({{2, 0}, {2, 19}, {17, 19}});
    if (pass == 0) {
      EXPECT_NE(bmp->Pixels32(), before);
    }
  }
  EXPECT_EQ(bmp->Pixels32(), before);
  InvertRect(c, {3, 3, 15, 15});
  EXPECT_EQ(bmp->PixelColor(12, 12), clBlack);
  InvertRect(c, {3, 3, 15, 15});
  EXPECT_EQ(bmp->Pixels32(), before);
  // The copy-mode idiom: a rectangle copied onto itself with DSTINVERT.
  c->SetCopyMode(cmDstInvert);
  c->CopyRect({0, 0, 4, 4}, c, {0, 0, 4, 4});
  EXPECT_EQ(bmp->PixelColor(1, 1), RGB(255, 127, 255));
  c->CopyRect({0, 0, 4, 4}, c, {0, 0, 4, 4});
  c->SetCopyMode(cmSrcCopy);
  EXPECT_EQ(bmp->Pixels32(), before);
}

TEST_F(GraphicsTest, LinesLeaveOutTheirEndPointAndRectanglesFillInside) {
  auto bmp = White(20, 20);
  TCanvas* c = bmp->Canvas();
  c->MoveTo(2, 2);
  c->LineTo(10, 2);
  EXPECT_EQ(bmp->PixelColor(2, 2), clBlack);
  EXPECT_EQ(bmp->PixelColor(9, 2), clBlack);
  EXPECT_EQ(bmp->PixelColor(10, 2), clWhite);
  EXPECT_EQ(c->PenPos(), Point(10, 2));

  c->Pen()->SetColor(clRed);
  c->Brush()->SetColor(clYellow);
  c->Rectangle(5, 5, 15, 15);
  EXPECT_EQ(bmp->PixelColor(5, 5), clRed);
  EXPECT_EQ(bmp->PixelColor(14, 14), clRed);
  EXPECT_EQ(bmp->PixelColor(15, 15), clWhite);
  EXPECT_EQ(bmp->PixelColor(10, 10), clYellow);
  c->Brush()->SetStyle(bsClear);
  c->Pen()->SetColor(clBlue);
  c->Rectangle(6, 6, 14, 14);
  EXPECT_EQ(bmp->PixelColor(6, 6), clBlue);
  EXPECT_EQ(bmp->PixelColor(10, 10), clYellow) << "a clear brush leaves the inside";
}

TEST_F(GraphicsTest, EllipsesPolygonsAndRoundRectsStayInTheirBox) {
  auto bmp = White(40, 40);
  TCanvas* c = bmp->Canvas();
  c->Pen()->SetColor(clNavy);
  c->Brush()->SetColor(clLime);
  c->Ellipse(0, 0, 20, 20);
  EXPECT_EQ(bmp->PixelColor(10, 10), clLime);
  EXPECT_EQ(bmp->PixelColor(1, 1), clWhite) << "corner outside the ellipse";
  EXPECT_EQ(bmp->PixelColor(10, 0), clNavy) << "outline on the top edge";
  EXPECT_EQ(bmp->PixelColor(10, 20), clWhite) << "nothing on the bottom edge";
  c->Polygon({{20, 20}, {39, 20}, {20, 39}});
  EXPECT_EQ(bmp->PixelColor(24, 24), clLime);
  EXPECT_EQ(bmp->PixelColor(36, 36), clWhite);
  c->RoundRect(22, 0, 38, 16, 6, 6);
  EXPECT_EQ(bmp->PixelColor(30, 8), clLime);
  EXPECT_EQ(bmp->PixelColor(22, 0), clWhite) << "rounded corner";
  EXPECT_EQ(bmp->PixelColor(30, 0), clNavy);
  SavePicture(bmp.get(), "shapes.png");

  // Shapes in XOR mode undo themselves too.
  std::vector<Cardinal> before = bmp->Pixels32();
  c->Pen()->SetMode(pmXor);
  c->Brush()->SetColor(clWhite);
  for (int pass = 0; pass < 2; ++pass) {
    c->Ellipse(5, 5, 35, 35);
    c->Polygon({{0, 39}, {20, 0}, {39, 39}});
  }
  EXPECT_EQ(bmp->Pixels32(), before);
}

TEST_F(GraphicsTest, PatternBrushIsAnchoredAtTheDeviceOrigin) {
  TBitmap pattern(8, 8, pf1bit);
  for (Integer y = 0; y < 8; ++y)
    for (Integer x = 0; x < 8; ++x) pattern.Canvas()->SetPixels(x, y, ((x + y) & 1) ? clWhite : clBlack);
  auto bmp = White(24, 24);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetBitmap(&pattern);
  SetTextColor(c, clRed);   // the pattern's 0 pixels
  SetBkColor(c, clYellow);  // and its 1 pixels
  FillRect(c, {0, 0, 24, 12}, c->Brush()->Handle());
  SetWindowOrgEx(c, 3, 0, nullptr);  // moving the origin must not shift the pattern
  FillRect(c, {3, 12, 27, 24}, c->Brush()->Handle());
  for (Integer y = 0; y < 24; ++y)
    for (Integer x = 0; x < 24; ++x)
      ASSERT_EQ(bmp->PixelColor(x, y), ((x + y) & 1) ? clYellow : clRed) << x << "," << y;
  SavePicture(bmp.get(), "pattern_brush.png");

  // A colour pattern paints its own colours; the halftone idiom of the
  // canvas (FillRect on the canvas) takes the brush colour as background.
  TBitmap colours(2, 1, pf24bit);
  colours.Canvas()->SetPixels(0, 0, clNavy);
  colours.Canvas()->SetPixels(1, 0, clLime);
  auto second = White(4, 2);
  second->Canvas()->Brush()->SetBitmap(&colours);
  second->Canvas()->FillRect({0, 0, 4, 2});
  EXPECT_EQ(second->PixelColor(0, 1), clNavy);
  EXPECT_EQ(second->PixelColor(3, 1), clLime);
}

TEST_F(GraphicsTest, HatchBrushOverTransparentBackgroundKeepsTheGaps) {
  auto bmp = White(16, 16);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clBlue);
  c->Brush()->SetStyle(bsHorizontal);
  SetBkMode(c, TRANSPARENT);
  FillRect(c, {0, 0, 16, 16}, c->Brush()->Handle());
  EXPECT_EQ(bmp->PixelColor(5, 0), clBlue);
  EXPECT_EQ(bmp->PixelColor(5, 1), clWhite);
  EXPECT_EQ(bmp->PixelColor(5, 8), clBlue);
}

TEST_F(GraphicsTest, AlphaBlendMixesWithConstantOpacity) {
  struct {
    Byte Alpha;
    TColor Expected;
  } cases[] = {
      {0, clBlue}, {255, clRed}, {128, RGB(128, 0, 127)}, {64, RGB(64, 0, 191)},
  };
  TBitmap overlay(8, 8, pf24bit);
  overlay.Canvas()->Brush()->SetColor(clRed);
  overlay.Canvas()->FillRect({0, 0, 8, 8});
  for (const auto& c : cases) {
    TBitmap dest(8, 8, pf32bit);
    dest.Canvas()->Brush()->SetColor(clBlue);
    dest.Canvas()->FillRect({0, 0, 8, 8});
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = c.Alpha;
    EXPECT_TRUE(AlphaBlend(dest.Canvas(), 2, 2, 4, 4, overlay.Canvas(), 0, 0, 8, 8, blend));
    EXPECT_EQ(dest.PixelColor(3, 3), c.Expected) << int(c.Alpha);
    EXPECT_EQ(dest.PixelColor(0, 0), clBlue) << "outside the target rectangle";
    if (c.Alpha == 128) SavePicture(&dest, "alpha_blend.png");
  }
}

TEST_F(GraphicsTest, RasterOperationsCombineSourcePatternAndDestination) {
  TBitmap src(4, 1, pf32bit), dst(4, 1, pf32bit);
  const TColor s[] = {clBlack, clWhite, RGB(0xF0, 0x0F, 0x55), clRed};
  const TColor d[] = {clWhite, clWhite, RGB(0x0F, 0x0F, 0xFF), clBlue};
  struct {
    Cardinal Rop;
    TColor (*Expected)(TColor, TColor);
  } cases[] = {
      {SRCCOPY, [](TColor a, TColor) { return a; }},
      {SRCINVERT, [](TColor a, TColor b) { return a ^ b; }},
      {SRCAND, [](TColor a, TColor b) { return a & b; }},
      {SRCPAINT, [](TColor a, TColor b) { return a | b; }},
      {NOTSRCCOPY, [](TColor a, TColor) { return ~a & 0xFFFFFF; }},
      {DSTINVERT, [](TColor, TColor b) { return ~b & 0xFFFFFF; }},
      {SRCERASE, [](TColor a, TColor b) { return a & ~b & 0xFFFFFF; }},
      {MERGEPAINT, [](TColor a, TColor b) { return (~a | b) & 0xFFFFFF; }},
  };
  for (int i = 0; i < 4; ++i) src.Canvas()->SetPixels(i, 0, s[i]);
  for (const auto& c : cases) {
    for (int i = 0; i < 4; ++i) dst.Canvas()->SetPixels(i, 0, d[i]);
    BitBlt(dst.Canvas(), 0, 0, 4, 1, src.Canvas(), 0, 0, c.Rop);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(dst.PixelColor(i, 0), c.Expected(s[i], d[i])) << std::hex << c.Rop << " " << i;
  }
}

TEST_F(GraphicsTest, CopyRectStretchesAndCopiesWithinOneImage) {
  auto bmp = White(20, 10);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect({0, 0, 2, 2});
  c->CopyRect({10, 0, 14, 4}, c, {0, 0, 2, 2});
  EXPECT_EQ(bmp->PixelColor(13, 3), clRed);
  EXPECT_EQ(bmp->PixelColor(14, 4), clWhite);
  // Overlapping copy reads the source before it is overwritten.
  c->CopyRect({1, 0, 3, 2}, c, {0, 0, 2, 2});
  EXPECT_EQ(bmp->PixelColor(2, 1), clRed);
}

TEST_F(GraphicsTest, DrawTextAlignsInTheRectangle) {
  struct {
    Cardinal Format;
    const char* Name;
  } cases[] = {
      {DT_LEFT | DT_TOP, "left top"},
      {DT_CENTER | DT_VCENTER, "center"},
      {DT_RIGHT | DT_BOTTOM, "right bottom"},
  };
  const TRect area{10, 10, 190, 50};
  for (const auto& tc : cases) {
    auto bmp = White(200, 60);
    TCanvas* c = bmp->Canvas();
    c->Font()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Realize();
    TRect r = area;
    DrawText(c, u"Hello", r, tc.Format | DT_SINGLELINE);
    TRect ink = Ink(bmp.get());
    ASSERT_FALSE(IsRectEmpty(ink)) << tc.Name;
    EXPECT_GE(ink.Left, area.Left) << tc.Name;
    EXPECT_LE(ink.Right, area.Right) << tc.Name;
    Integer width = c->TextWidth(u"Hello"), height = c->TextHeight(u"Hello");
    if (tc.Format & DT_CENTER) {
      EXPECT_NEAR((ink.Left + ink.Right) / 2, (area.Left + area.Right) / 2, 3) << tc.Name;
      EXPECT_NEAR((ink.Top + ink.Bottom) / 2, (area.Top + area.Bottom) / 2, 4) << tc.Name;
    } else if (tc.Format & DT_RIGHT) {
      EXPECT_GE(ink.Right, area.Right - 3) << tc.Name;
      EXPECT_GE(ink.Top, area.Bottom - height) << tc.Name;
    } else {
      EXPECT_LE(ink.Left, area.Left + 2) << tc.Name;
      EXPECT_LE(ink.Right, area.Left + width + 1) << tc.Name;
      EXPECT_LE(ink.Bottom, area.Top + height) << tc.Name;
    }
    if (tc.Format & DT_CENTER) SavePicture(bmp.get(), "drawtext_center.png");
  }
}

TEST_F(GraphicsTest, DrawTextEndEllipsisStaysInsideAndShowsTheDots) {
  auto bmp = White(120, 20);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetStyle(bsClear);
  c->Realize();
  const String text = u"A rather long caption that cannot fit";
  TRect r{0, 0, 80, 20};
  DrawText(c, text, r, DT_SINGLELINE | DT_END_ELLIPSIS);
  TRect ink = Ink(bmp.get());
  EXPECT_LE(ink.Right, 80);
  EXPECT_GE(ink.Right, 70) << "the dots end near the right edge";
  SavePicture(bmp.get(), "drawtext_ellipsis.png");

  TRect calc{0, 0, 80, 20};
  DrawText(c, text, calc, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(calc.Width(), 80);
  TRect plain{0, 0, 80, 20};
  DrawText(c, text, plain, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(plain.Width(), c->TextWidth(text));

  // Path ellipsis keeps the file name.
  auto path = White(120, 20);
  path->Canvas()->Brush()->SetStyle(bsClear);
  TRect pr{0, 0, 120, 20};
  const String longPath = u"/home/user/documents/metadata/records/2026/december/record.xml";
  TRect pcalc = pr;
  DrawText(path->Canvas(), longPath, pcalc, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_CALCRECT);
  EXPECT_LE(pcalc.Width(), 120);
  EXPECT_GE(pcalc.Width(), path->Canvas()->TextWidth(u".../record.xml"));
}

TEST_F(GraphicsTest, DrawTextBreaksWordsAndMeasures) {
  TCanvas* c = ScreenCanvas();
  c->Font()->SetName(u"Tahoma");
  c->Font()->SetHeight(-11);
  Integer line = c->TextHeight(u"Ag");
  Integer word = c->TextWidth(u"abc def") - 2;  // narrower than both words

  struct {
    String Text;
    Cardinal Format;
    Integer Width, Lines;
  } cases[] = {
      {u"abc def", DT_WORDBREAK, word, 2},
      {u"abc def", 0, word, 1},
      {u"abc\ndef\r\nghi", 0, 500, 3},
      {u"abc\ndef", DT_SINGLELINE, 500, 1},
      {u"abcdefghij", DT_WORDBREAK, 20, 1},                   // a long word runs on
      {u"abcdefghij", DT_WORDBREAK | DT_EDITCONTROL, 20, 0},  // broken inside (0: more than one line)
      {u"abc", DT_WORDBREAK, 1, 1},                           // narrower than a letter: still one line
      {u"花岗岩", DT_WORDBREAK, 1, 3},                         // one character a line, never none
  };
  for (const auto& tc : cases) {
    TRect r{0, 0, tc.Width, 100};
    Integer h = DrawText(c, tc.Text, r, tc.Format | DT_CALCRECT);
    EXPECT_EQ(h, r.Height());
    if (tc.Lines > 0)
      EXPECT_EQ(h, tc.Lines * line) << StringToUTF8(tc.Text);
    else
      EXPECT_GT(h, line) << StringToUTF8(tc.Text);
  }
  TRect empty{5, 5, 50, 50};
  EXPECT_EQ(DrawText(c, u"", empty, DT_CALCRECT), 0);
  EXPECT_EQ(empty, Rect(5, 5, 5, 5));

  // The accelerator mark is not measured; a doubled one is one character.
  TRect accel{0, 0, 500, 100};
  DrawText(c, u"&Save", accel, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(accel.Width(), c->TextWidth(u"Save"));
  TRect amp{0, 0, 500, 100};
  DrawText(c, u"a&&b", amp, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(amp.Width(), c->TextWidth(u"a&b"));
}

TEST_F(GraphicsTest, ChineseTextIsMeasuredAndDrawnWithTheCjkFont) {
  auto bmp = White(160, 60);
  TCanvas* c = bmp->Canvas();
  c->Font()->SetName(u"宋体");
  c->Font()->SetSize(12);
  c->Brush()->SetStyle(bsClear);
  const String text = u"元数据编辑";
  TSize size = c->TextExtent(text);
  EXPECT_GE(size.cx, 5 * 12);  // each ideograph is about one em (16 px) wide
  EXPECT_LE(size.cx, 5 * 20);
  EXPECT_GE(size.cy, 16);
  c->TextOut(4, 4, text);
  TRect ink = Ink(bmp.get());
  EXPECT_FALSE(IsRectEmpty(ink));
  EXPECT_GE(ink.Width(), size.cx - 6);

  // Word break between ideographs keeps lines inside the width.
  TRect r{4, 24, 60, 60};
  DrawText(c, u"中国地质调查局元数据", r, DT_WORDBREAK);
  TRect calc{4, 24, 60, 60};
  DrawText(c, u"中国地质调查局元数据", calc, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_LE(calc.Width(), 56);
  EXPECT_GE(calc.Height(), 2 * size.cy);
  SavePicture(bmp.get(), "chinese_text.png");
}

TEST_F(GraphicsTest, TextMetricsAgreeWithTheExtent) {
  TCanvas c;  // a measuring canvas: no image
  c.Font()->SetHeight(-13);
  TTextMetric tm;
  ASSERT_TRUE(GetTextMetrics(&c, tm));
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmHeight, c.TextHeight(u"Qq"));
  EXPECT_GT(tm.tmAveCharWidth, 0);
  EXPECT_EQ(c.TextExtent(u""), TSize{});
  c.TextOut(0, 0, u"nothing to draw on");  // harmless

  Integer fit = -1;
  Integer dx[4] = {};
  TSize size;
  GetTextExtentExPoint(&c, u"abcd", 4, c.TextWidth(u"ab"), &fit, dx, size);
  EXPECT_EQ(fit, 2);
  EXPECT_EQ(dx[1], c.TextWidth(u"ab"));
  EXPECT_EQ(dx[3], size.cx);

  Cardinal tabbed = GetTabbedTextExtent(&c, u"a\tb", 3, 0, nullptr);
  EXPECT_EQ(tabbed & 0xFFFF, static_cast<Cardinal>(8 * tm.tmAveCharWidth + c.TextWidth(u"b")));
  EXPECT_EQ(tabbed >> 16, static_cast<Cardinal>(tm.tmHeight));
}

TEST_F(GraphicsTest, JustificationTabsAndTabbedOutputWidenTheText) {
  auto bmp = White(200, 20);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetStyle(bsClear);
  c->Realize();
  ExtTextOut(c, 0, 0, 0, nullptr, u"a b");
  Integer plain = Ink(bmp.get()).Right;
  auto wide = White(200, 20);
  TCanvas* w = wide->Canvas();
  w->Brush()->SetStyle(bsClear);
  w->Realize();
  SetTextJustification(w, 10, 1);
  ExtTextOut(w, 0, 0, 0, nullptr, u"a b");
  SetTextJustification(w, 0, 0);
  EXPECT_EQ(Ink(wide.get()).Right, plain + 10);

  TTextMetric tm;
  GetTextMetrics(c, tm);
  TRect r{0, 0, 500, 50};
  DrawText(c, u"a\tb", r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  EXPECT_EQ(r.Width(), 8 * tm.tmAveCharWidth + c->TextWidth(u"b"));
  Integer stops[] = {40};
  Cardinal out = TabbedTextOut(c, 0, 0, u"x\ty", 3, 1, stops, 0);
  EXPECT_EQ(out, GetTabbedTextExtent(c, u"x\ty", 3, 1, stops));
  EXPECT_EQ(out & 0xFFFF, static_cast<Cardinal>(40 + c->TextWidth(u"y")));
}

TEST(SystemMetrics, ClassicTableIsReplaceable) {
  struct {
    Integer Index, Value;
  } cases[] = {{SM_CXVSCROLL, 16}, {SM_CYHSCROLL, 16}, {SM_CXEDGE, 2}, {SM_CXBORDER, 1},
               {SM_CXDRAG, 4},     {SM_CXSCREEN, 1024}, {SM_SWAPBUTTON, 0}, {SM_CYMENU, 19}};
  for (const auto& c : cases) EXPECT_EQ(GetSystemMetrics(c.Index), c.Value) << c.Index;
  EXPECT_EQ(GetSystemMetrics(-1), 0);
  EXPECT_EQ(GetSystemMetrics(SysMetricsCount), 0);
  TSysMetricsTable table = DefaultSysMetricsTable();
  table[SM_CXVSCROLL] = 20;
  SetSysMetricsTable(table);
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 20);
  SetSysMetricsTable(DefaultSysMetricsTable());
  EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  SetDoubleClickTime(300);
  EXPECT_EQ(GetDoubleClickTime(), 300u);
  SetDoubleClickTime(0);  // zero restores the default
  EXPECT_EQ(GetDoubleClickTime(), 500u);
}

TEST_F(GraphicsTest, TextRectFillsWithTheBrushAndClips) {
  auto bmp = White(100, 30);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clYellow);
  c->Font()->SetColor(clBlue);
  c->TextRect({10, 5, 40, 25}, 12, 7, u"WWWWWWWWWWWW");
  EXPECT_EQ(bmp->PixelColor(10, 5), clYellow);
  EXPECT_EQ(bmp->PixelColor(39, 24), clYellow);
  TRect ink = Ink(bmp.get());
  EXPECT_EQ(ink, Rect(10, 5, 40, 25)) << "nothing drawn outside the rectangle";
}

TEST_F(GraphicsTest, DrawEdgeUsesTheClassicColours) {
  struct {
    Cardinal Edge, Flags;
    TColor OuterTopLeft, OuterBottomRight, InnerTopLeft, InnerBottomRight;
  } cases[] = {
      {EDGE_RAISED, BF_RECT, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
      {EDGE_SUNKEN, BF_RECT, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight},
      {EDGE_ETCHED, BF_RECT, clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow},
      {EDGE_BUMP, BF_RECT, cl3DLight, cl3DDkShadow, cl3DDkShadow, cl3DLight},
      {EDGE_RAISED, BF_RECT | BF_FLAT, clBtnShadow, clBtnShadow, clBtnFace, clBtnFace},
      {EDGE_RAISED, BF_RECT | BF_MONO, clWindowFrame, clWindowFrame, clWindow, clWindow},
  };
  for (const auto& tc : cases) {
    auto bmp = White(10, 10);
    TRect r{0, 0, 10, 10};
    DrawEdge(bmp->Canvas(), r, tc.Edge, tc.Flags | BF_ADJUST | BF_MIDDLE);
    EXPECT_EQ(r, Rect(2, 2, 8, 8));
    EXPECT_EQ(bmp->PixelColor(0, 5), ColorToRGB(tc.OuterTopLeft));
    EXPECT_EQ(bmp->PixelColor(5, 0), ColorToRGB(tc.OuterTopLeft));
    EXPECT_EQ(bmp->PixelColor(9, 0), ColorToRGB(tc.OuterBottomRight)) << "right side covers the corner";
    EXPECT_EQ(bmp->PixelColor(0, 9), ColorToRGB(tc.OuterBottomRight));
    EXPECT_EQ(bmp->PixelColor(1, 4), ColorToRGB(tc.InnerTopLeft));
    EXPECT_EQ(bmp->PixelColor(8, 4), ColorToRGB(tc.InnerBottomRight));
    EXPECT_EQ(bmp->PixelColor(5, 5), ColorToRGB((tc.Flags & BF_MONO) ? clWindow : clBtnFace));
  }
  // Only the chosen sides.
  auto bmp = White(10, 10);
  TRect r{0, 0, 10, 10};
  DrawEdge(bmp->Canvas(), r, BDR_SUNKENOUTER, BF_TOP);
  EXPECT_EQ(bmp->PixelColor(5, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(bmp->PixelColor(0, 5), clWhite);
  EXPECT_EQ(r, Rect(0, 0, 10, 10)) << "no BF_ADJUST";
}

TEST_F(GraphicsTest, GlyphsShowTheirState) {
  auto bmp = White(80, 20);
  TCanvas* c = bmp->Canvas();
  auto dark = [&](Integer left) {
    int n = 0;
    for (Integer y = 4; y < 9; ++y)
      for (Integer x = left + 4; x < left + 9; ++x) n += bmp->PixelColor(x, y) == clBlack;
    return n;
  };
  DrawGlyph(c, {0, 0, 13, 13}, gkCheckBox, 0);
  DrawGlyph(c, {20, 0, 33, 13}, gkCheckBox, gsChecked);
  DrawGlyph(c, {40, 0, 53, 13}, gkRadioButton, gsChecked);
  DrawGlyph(c, {60, 0, 76, 16}, gkScrollDown, 0);
  EXPECT_EQ(dark(0), 0);
  EXPECT_GT(dark(20), 3);
  EXPECT_GT(dark(40), 3);
  EXPECT_EQ(bmp->PixelColor(1, 6), ColorToRGB(cl3DDkShadow)) << "sunken box";
  EXPECT_EQ(bmp->PixelColor(6, 6), ColorToRGB(clWindow));
  EXPECT_EQ(bmp->PixelColor(68, 8), ColorToRGB(clBtnText)) << "arrow in the middle";
  EXPECT_EQ(bmp->PixelColor(62, 2), ColorToRGB(clBtnFace));
  SavePicture(bmp.get(), "glyphs.png");
}

TEST_F(GraphicsTest, DeviceContextStateIsKeptPerCanvas) {
  TCanvas c;
  EXPECT_EQ(SetBkMode(&c, TRANSPARENT), OPAQUE);
  EXPECT_EQ(GetBkMode(&c), TRANSPARENT);
  EXPECT_EQ(SetBkMode(&c, 7), 0) << "unknown mode refused";
  EXPECT_EQ(SetTextColor(&c, clRed), clBlack);
  Integer level = SaveDC(&c);
  SetTextColor(&c, clBlue);
  EXPECT_EQ(SaveDC(&c), level + 1);
  SetTextColor(&c, clLime);
  EXPECT_TRUE(RestoreDC(&c, -1));
  EXPECT_EQ(GetTextColor(&c), clBlue);
  EXPECT_TRUE(RestoreDC(&c, level));
  EXPECT_EQ(GetTextColor(&c), clRed);
  EXPECT_FALSE(RestoreDC(&c, -1)) << "nothing left to restore";
  // The canvas's own text calls take the font colour and the brush.
  c.Font()->SetColor(clGreen);
  c.Brush()->SetStyle(bsClear);
  c.Realize();
  EXPECT_EQ(GetTextColor(&c), clGreen);
  EXPECT_EQ(GetBkMode(&c), TRANSPARENT);
  // A mode set through the handle lasts until the brush changes, not the font.
  SetBkMode(&c, OPAQUE);
  c.Font()->SetColor(clMaroon);
  c.Realize();
  EXPECT_EQ(GetBkMode(&c), OPAQUE);
  EXPECT_EQ(GetTextColor(&c), clMaroon);
  c.Brush()->SetColor(clAqua);  // also makes the brush solid again
  c.Realize();
  EXPECT_EQ(GetBkColor(&c), clAqua);
  EXPECT_EQ(GetBkMode(&c), OPAQUE);
  EXPECT_EQ(SetTextColor(nullptr, clRed), clNone) << "a null handle does nothing";
}

}  // namespace
