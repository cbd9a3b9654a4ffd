#include "editors/cxEditTextUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/formatsettings.h"
#include "tests/foundation/foundation_test.h"

// The font library keeps a few bytes it never frees; not ours to report.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kBlack = 0x000000;
constexpr TColor kSelBk = 0x00C08000;    // a blue no font pixel has
constexpr TColor kSelText = 0x0000FFFF;  // yellow

// A white image whose canvas draws in black Latin or Chinese text.
class TextLayoutTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { EnsureGuiRuntime(); }

  // The layout answers the same on every machine: not far-east unless a
  // test says so.
  void SetUp() override {
    FSavedFarEast = std::exchange(SysLocaleFarEast(), false);
    Reset(240, 120);
  }
  void TearDown() override { SysLocaleFarEast() = FSavedFarEast; }

  void Reset(Integer AWidth, Integer AHeight, const String& AFont = u"Tahoma") {
    FBitmap = std::make_unique<TBitmap>(AWidth, AHeight, pf32bit);
    Canvas()->Font()->SetName(AFont);
    Canvas()->Font()->SetHeight(-12);
    Canvas()->Font()->SetColor(kBlack);
    Clear();
  }
  void UseChineseFont() { Canvas()->Font()->SetName(u"宋体"); }

  void Clear() {
    Canvas()->Brush()->SetColor(kWhite);
    Canvas()->FillRect({0, 0, FBitmap->Width(), FBitmap->Height()});
    Canvas()->Realize();
  }

  TCanvas* Canvas() { return FBitmap->Canvas(); }
  HDC DC() { return Canvas()->Handle(); }
  Integer W(const String& AText) { return cxGetTextExtent(DC(), AText, false).cx; }
  TextLayoutParams Params(TcxTextLayoutFlags AFlags) {
    TextLayoutParams p;
    cxPrepareTextLayoutParams(DC(), AFlags, p);
    return p;
  }

  // The texts of the rows made for a rectangle AWidth wide.
  std::vector<String> RowTexts(const String& AText, Integer AWidth, TcxTextLayoutFlags AFlags,
                               Integer AHeight = 10000, Integer AMaxRows = 0) {
    TcxTextRows rows;
    Integer count = 0;
    cxMakeTextRows(DC(), AText, Rect(0, 0, AWidth, AHeight), AMaxRows, count, rows, Params(AFlags));
    std::vector<String> result;
    for (Integer i = 0; i < count; ++i) result.push_back(AText.substr(rows[i].Start, rows[i].Length));
    return result;
  }

  // The bounding box of the pixels that are not white (all zero when none).
  TRect Ink(TRect AArea = {0, 0, 0x7FFF, 0x7FFF}) const {
    TRect box{0x7FFF, 0x7FFF, -1, -1};
    AArea.Right = std::min(AArea.Right, FBitmap->Width());
    AArea.Bottom = std::min(AArea.Bottom, FBitmap->Height());
    for (Integer y = std::max(AArea.Top, 0); y < AArea.Bottom; ++y)
      for (Integer x = std::max(AArea.Left, 0); x < AArea.Right; ++x)
        if (FBitmap->PixelColor(x, y) != kWhite)
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
    return box.Right < 0 ? TRect{} : box;
  }
  Integer CountColor(TColor AColor, TRect AArea = {0, 0, 0x7FFF, 0x7FFF}) const {
    Integer n = 0;
    for (Integer y = std::max(AArea.Top, 0); y < std::min(AArea.Bottom, FBitmap->Height()); ++y)
      for (Integer x = std::max(AArea.Left, 0); x < std::min(AArea.Right, FBitmap->Width()); ++x)
        if (FBitmap->PixelColor(x, y) == AColor) ++n;
    return n;
  }

  void Save(const std::string& AName) { cxTest::SavePicture(*FBitmap, "cxEditTextUtils_" + AName, 3); }

  std::unique_ptr<TBitmap> FBitmap;
  bool FSavedFarEast = false;
};

// ---- Flags and parameters ------------------------------------------------------------------

TEST_F(TextLayoutTest, FlagWordDecodesIntoParameters) {
  TextLayoutParams plain = Params(0);
  EXPECT_EQ(plain.HorzAlignment, cxthLeft);
  EXPECT_EQ(plain.VertAlignment, cxtvTop);
  EXPECT_GT(plain.RowHeight, 0);
  EXPECT_EQ(plain.RowHeight, plain.Metrics.tmHeight);
  EXPECT_EQ(plain.EllipsisWidth, 0);
  EXPECT_EQ(plain.BreakChar, u' ');
  EXPECT_GT(plain.MaxCharWidth, 0);

  struct {
    TcxTextLayoutFlags Flags;
    Integer Horz, Vert;
    bool TextLayoutParams::*Field;
  } cases[] = {
      {cxtlAlignHCenter, cxthCenter, cxtvTop, nullptr},
      {cxtlAlignRight | cxtlAlignBottom, cxthRight, cxtvBottom, nullptr},
      {cxtlJustify | cxtlAlignVCenter, cxthJustify, cxtvCenter, nullptr},
      {cxtlJustifyAll | cxtlDistribute, cxthJustifyAll, cxtvDistribute, nullptr},
      {0x5, cxthLeft, cxtvTop, nullptr},  // no such alignment: left
      {cxtlKeepLeft, 0, 0, &TextLayoutParams::KeepLeft},
      {cxtlKeepTop, 0, 0, &TextLayoutParams::KeepTop},
      {cxtlWordBreak, 0, 0, &TextLayoutParams::WordBreak},
      {cxtlSingleLine, 0, 0, &TextLayoutParams::SingleLine},
      {cxtlExpandTabs, 0, 0, &TextLayoutParams::ExpandTabs},
      {cxtlEndEllipsis, 0, 0, &TextLayoutParams::EndEllipsis},
      {cxtlExternalLeading, 0, 0, &TextLayoutParams::UseExternalLeading},
      {cxtlWholeRows, 0, 0, &TextLayoutParams::WholeRows},
      {cxtlNoClip, 0, 0, &TextLayoutParams::NoClip},
      {cxtlReserved, 0, 0, &TextLayoutParams::Reserved},
      {cxtlBreakLongWords, 0, 0, &TextLayoutParams::BreakLongWords},
      {cxtlCalcRect, 0, 0, &TextLayoutParams::CalcRectOnly},
      {cxtlReturnRowCount, 0, 0, &TextLayoutParams::ReturnRowCount},
  };
  const std::vector<bool TextLayoutParams::*> all = {
      &TextLayoutParams::KeepLeft,   &TextLayoutParams::KeepTop,    &TextLayoutParams::WordBreak,
      &TextLayoutParams::SingleLine, &TextLayoutParams::ExpandTabs, &TextLayoutParams::EndEllipsis,
      &TextLayoutParams::UseExternalLeading, &TextLayoutParams::WholeRows, &TextLayoutParams::NoClip,
      &TextLayoutParams::Reserved, &TextLayoutParams::BreakLongWords, &TextLayoutParams::CalcRectOnly,
      &TextLayoutParams::ReturnRowCount};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Flags);
    TextLayoutParams p = Params(c.Flags);
    EXPECT_EQ(p.Flags, c.Flags);
    EXPECT_EQ(p.HorzAlignment, c.Horz);
    EXPECT_EQ(p.VertAlignment, c.Vert);
    for (auto field : all) EXPECT_EQ(p.*field, field == c.Field);
  }

  TextLayoutParams ellipsis = Params(cxtlEndEllipsis);
  EXPECT_EQ(ellipsis.EllipsisWidth, W(u"..."));
  TextLayoutParams leading = Params(cxtlExternalLeading);
  EXPECT_EQ(leading.ExternalLeading, leading.Metrics.tmExternalLeading);
  EXPECT_EQ(leading.RowHeight, leading.Metrics.tmHeight + leading.Metrics.tmExternalLeading);
}

TEST_F(TextLayoutTest, TextExtentExpandsTabsOnlyWhenAsked) {
  TSize plain = cxGetTextExtent(DC(), u"ab", false);
  EXPECT_EQ(plain.cy, Params(0).Metrics.tmHeight);
  TSize tabbed = cxGetTextExtent(DC(), u"a\tb", true);
  Integer stop = 8 * Params(0).Metrics.tmAveCharWidth;  // the platform's default tab stops
  EXPECT_EQ(tabbed.cx, stop + W(u"b"));
  EXPECT_EQ(tabbed.cy, plain.cy);
  EXPECT_EQ(cxGetTextExtent(DC(), u"", true), TSize{});
  EXPECT_EQ(cxGetTextExtent(DC(), u"a\tb", 1, true).cx, W(u"a"));
}

// ---- Breaking into rows --------------------------------------------------------------------

TEST_F(TextLayoutTest, LatinTextBreaksAtBlanksAndLineBreaks) {
  const TcxTextLayoutFlags wb = cxtlWordBreak;
  struct {
    const char16_t* Text;
    const char16_t* WidthOf;  // the rectangle is as wide as this text
    TcxTextLayoutFlags Flags;
    std::vector<String> Rows;
  } cases[] = {
      {u"abc def", u"abc", wb, {u"abc", u"def"}},
      {u"abc def", u"abc", 0, {u"abc def"}},
      {u"abc def", u"abc", cxtlBreakLongWords, {u"abc def"}},  // long words break only with word break
      {u"abc def", u"abc d", wb, {u"abc", u"def"}},
      {u"abc   def", u"abc ", wb, {u"abc", u"def"}},  // the blanks at the break belong to no row
      {u"abcdef", u"abc", wb, {u"abcdef"}},          // no blank: the row runs on
      {u"abcdef", u"abc", wb | cxtlBreakLongWords, {u"abc", u"def"}},
      {u"abc defghij kl", u"abc de", wb, {u"abc", u"defghij", u"kl"}},
      {u"  abc def", u"  abc de", wb, {u"  abc", u"def"}},  // indentation stays
      {u"ab\r\ncd\n\nef", u"abcdefgh", wb, {u"ab", u"cd", u"", u"ef"}},
      {u"ab\r\ncd", u"abcdefgh", 0, {u"ab", u"cd"}},
      {u"abc \r\ndef", u"abc", wb, {u"abc", u"def"}},  // a break before a line end makes no empty row
      {u"ab\r\ncd", u"a", cxtlSingleLine | wb, {u"ab\r\ncd"}},
      {u"a&b &&c", u"a&b &", wb, {u"a&b", u"&&c"}},  // ampersands are plain characters
      {u"", u"abc", wb, {}},
      {u"abc", u"", wb | cxtlBreakLongWords, {u"a", u"b", u"c"}},  // no room: one character a row
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Text));
    EXPECT_EQ(RowTexts(c.Text, W(c.WidthOf), c.Flags), c.Rows);
  }
}

TEST_F(TextLayoutTest, AFarEastLocaleAlwaysBreaksLongWords) {
  SysLocaleFarEast() = true;
  EXPECT_TRUE(Params(cxtlWordBreak).BreakLongWords);
  EXPECT_EQ(Params(cxtlWordBreak).Flags, cxtlWordBreak);  // the caller's flags stay as given
  UseChineseFont();
  Canvas()->Realize();
  // A coordinate system code in a word-wrapped cell narrower than the code.
  const struct {
    const char16_t* Text;
    const char16_t* WidthOf;
    std::vector<String> Rows;
  } cases[] = {
      {u"EPSG:4490", u"EPSG:", {u"EPSG:", u"4490"}},
      {u"http://example.org/a", u"http://exam", {u"http://exam", u"ple.org/a"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Text));
    EXPECT_EQ(RowTexts(c.Text, W(c.WidthOf), cxtlWordBreak), c.Rows);
  }
  // Without word break the row still runs on.
  EXPECT_EQ(RowTexts(u"EPSG:4490", W(u"EPSG:"), 0), std::vector<String>{u"EPSG:4490"});
}

TEST_F(TextLayoutTest, ChineseTextBreaksBetweenCharacters) {
  UseChineseFont();
  Canvas()->Realize();
  const TcxTextLayoutFlags wb = cxtlWordBreak;
  struct {
    const char16_t* Text;
    const char16_t* WidthOf;
    TcxTextLayoutFlags Flags;
    std::vector<String> Rows;
  } cases[] = {
      {u"地理空间元数据标准", u"地理空间", wb, {u"地理空间", u"元数据标", u"准"}},
      {u"地理空间元数据标准", u"地理空间", 0, {u"地理空间元数据标准"}},
      // A closing mark never starts a row, an opening one never ends it.
      {u"中文，文本", u"中文", wb, {u"中", u"文，", u"文本"}},
      {u"中《文本》", u"中《", wb, {u"中", u"《文", u"本》"}},
      // Latin words inside Chinese text stay whole; the boundary may break.
      {u"元数据Korvane编辑器", u"元数据Korv", wb, {u"元数据", u"Korvane编", u"辑器"}},
      {u"名称 地理空间数据", u"名称 地理", wb, {u"名称 地理", u"空间数据"}},
      {u"标题\r\n摘要说明", u"地理空间", wb, {u"标题", u"摘要说明"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Text));
    EXPECT_EQ(RowTexts(c.Text, W(c.WidthOf), c.Flags), c.Rows);
  }

  // Characters beyond the basic plane are taken whole.
  String pairs = u"𠀀𠀁𠀂";
  TcxTextRows rows;
  Integer count = 0;
  cxMakeTextRows(DC(), pairs, Rect(0, 0, W(u"𠀀") + 1, 1000), 0, count, rows, Params(wb));
  ASSERT_EQ(count, 3);
  for (Integer i = 0; i < count; ++i) {
    EXPECT_EQ(rows[i].Start, 2 * i);
    EXPECT_EQ(rows[i].Length, 2);
  }
}

TEST_F(TextLayoutTest, RowRecordsHoldOffsetsWidthsAndGaps) {
  String text = u"one two three four";
  TcxTextRows rows;
  Integer count = 0;
  ASSERT_TRUE(cxMakeTextRows(DC(), text, Rect(0, 0, W(u"one two th"), 1000), 0, count, rows, Params(cxtlWordBreak)));
  ASSERT_EQ(count, 2);
  EXPECT_EQ(rows.size() % 4, 0u);  // the array grows in steps of 4 rows
  EXPECT_EQ(rows[0].Start, 0);
  EXPECT_EQ(rows[0].Length, 7);
  EXPECT_EQ(rows[0].Width, W(u"one two"));
  EXPECT_EQ(rows[0].BreakCount, 1);
  EXPECT_EQ(rows[0].Height, Params(0).RowHeight);
  EXPECT_EQ(rows[1].Start, 8);
  EXPECT_EQ(rows[1].Width, W(u"three four"));
  EXPECT_EQ(cxMaxRowWidth(rows, count), W(u"three four"));
  EXPECT_EQ(cxMaxRowWidth(rows, 1), W(u"one two"));
  EXPECT_EQ(cxMaxRowWidth(rows, 0), 0);

  // Justifying: the last row of a paragraph keeps its gaps only when every
  // row is justified; trailing blanks leave the row.
  String para = u"aa bb cc  \r\ndd ee";
  for (auto [mode, lastGaps] : {std::pair{cxtlJustify, 0}, std::pair{cxtlJustifyAll, 2}}) {
    ASSERT_TRUE(cxMakeTextRows(DC(), para, Rect(0, 0, 1000, 1000), 0, count, rows, Params(mode)));
    ASSERT_EQ(count, 2);
    EXPECT_EQ(rows[0].Length, 8);
    EXPECT_EQ(rows[0].BreakCount, lastGaps);
  }
  ASSERT_TRUE(cxMakeTextRows(DC(), u"aa bb cc dd", Rect(0, 0, W(u"aa bb c"), 1000), 0, count, rows,
                             Params(cxtlJustify)));
  ASSERT_EQ(count, 2);
  EXPECT_EQ(rows[0].BreakCount, 1);  // "aa bb": justified
  EXPECT_EQ(rows[1].BreakCount, 0);  // "cc dd": the last row
}

TEST_F(TextLayoutTest, RowLimitsByCountAndHeight) {
  const Integer h = Params(0).RowHeight;
  const String text = u"a b c d e f";
  const Integer narrow = W(u"a");
  struct {
    TcxTextLayoutFlags Flags;
    Integer Height, MaxRows;
    Integer Rows;
    bool Complete;
  } cases[] = {
      {cxtlWordBreak, 10000, 0, 6, true},
      {cxtlWordBreak, 10000, 2, 2, false},  // the maximum reached with text left over
      {cxtlWordBreak, 10000, 6, 6, true},
      {cxtlWordBreak | cxtlCalcRect, 10000, 2, 2, true},
      {cxtlWordBreak | cxtlSingleLine, 10000, 2, 1, true},
      {cxtlWordBreak, h * 2 + h / 2, 0, 3, true},  // a row whose top lies inside
      {cxtlWordBreak | cxtlWholeRows, h * 2 + h / 2, 0, 2, true},
      {cxtlWordBreak | cxtlAlignBottom, h * 2, 0, 6, true},  // other alignments go on
      {cxtlWordBreak | cxtlCalcRect, h, 0, 6, true},
      {cxtlWordBreak, 0, 0, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Flags << " height " << c.Height << " max " << c.MaxRows);
    TcxTextRows rows;
    Integer count = -1;
    EXPECT_EQ(cxMakeTextRows(DC(), text, Rect(0, 0, narrow, c.Height), c.MaxRows, count, rows, Params(c.Flags)),
              c.Complete);
    EXPECT_EQ(count, c.Rows);
  }
}

// ---- Placing -------------------------------------------------------------------------------

TEST_F(TextLayoutTest, RowsArePlacedByAlignment) {
  const TRect r = Rect(10, 20, 110, 120);
  const Integer h = Params(0).RowHeight;
  const Integer fontHeight = Params(0).Metrics.tmHeight;
  auto place = [&](TcxTextLayoutFlags AFlags, std::vector<Integer> AWidths) {
    TcxTextRows rows(AWidths.size());
    for (size_t i = 0; i < AWidths.size(); ++i) rows[i].Width = AWidths[i];
    cxPlaceTextRows(DC(), r, Params(AFlags), static_cast<Integer>(rows.size()), rows);
    return rows;
  };
  struct {
    TcxTextLayoutFlags Flags;
    Integer Width, Left;
  } horz[] = {
      {cxtlAlignLeft, 40, 10},     {cxtlAlignHCenter, 41, 39},  // integer halves
      {cxtlAlignRight, 40, 70},    {cxtlJustify, 40, 10},
      {cxtlAlignRight, 150, -40},  {cxtlAlignRight | cxtlKeepLeft, 150, 10},
      {cxtlAlignHCenter | cxtlKeepLeft, 150, 10},
  };
  for (const auto& c : horz) {
    SCOPED_TRACE(c.Flags);
    EXPECT_EQ(place(c.Flags, {c.Width})[0].Left, c.Left);
  }

  struct {
    TcxTextLayoutFlags Flags;
    Integer Rows;
    std::vector<Integer> Tops;
  } vert[] = {
      {cxtlAlignTop, 2, {20, 20 + h}},
      {cxtlAlignVCenter, 2, {20 + (100 - 2 * h) / 2, 20 + (100 - 2 * h) / 2 + h}},
      {cxtlAlignBottom, 2, {120 - 2 * h, 120 - h}},
      {cxtlAlignBottom, 20, {120 - 20 * h}},
      {cxtlAlignBottom | cxtlKeepTop, 20, {20, 20 + h}},
      {cxtlAlignVCenter | cxtlKeepTop, 20, {20}},
      {cxtlDistribute, 1, {20}},
  };
  for (const auto& c : vert) {
    SCOPED_TRACE(testing::Message() << c.Flags << " rows " << c.Rows);
    TcxTextRows rows = place(c.Flags, std::vector<Integer>(c.Rows, 10));
    for (size_t i = 0; i < c.Tops.size(); ++i) EXPECT_EQ(rows[i].Top, c.Tops[i]);
  }

  // Spreading: the step is (height - font height) div (rows - 1), the
  // remainder one pixel per row over the first rows.
  TcxTextRows spread = place(cxtlDistribute, {10, 10, 10, 10});
  Integer step = (100 - fontHeight) / 3, rest = (100 - fontHeight) % 3;
  ASSERT_GT(step, fontHeight);
  for (Integer i = 0; i < 4; ++i) EXPECT_EQ(spread[i].Top, 20 + i * step + std::min(i, rest));
  EXPECT_LE(spread[3].Top + fontHeight, 120);
  // Too many rows to spread: they stack from the top.
  TcxTextRows packed = place(cxtlDistribute, std::vector<Integer>(8, 10));
  EXPECT_EQ(packed[1].Top - packed[0].Top, h);
}

// ---- Drawing -------------------------------------------------------------------------------

TEST_F(TextLayoutTest, EmptyTextDrawsNothingAndAnswersZero) {
  TRect r = Rect(10, 10, 100, 50);
  EXPECT_EQ(cxTextOut(DC(), u"", r, cxtlWordBreak), 0);
  EXPECT_EQ(Ink(), TRect{});
  EXPECT_EQ(r, Rect(10, 10, 100, 50));
  TRect calc = Rect(10, 10, 100, 50);
  EXPECT_EQ(cxTextOut(DC(), u"", calc, cxtlCalcRect, -1, 0, clHighlight, clHighlightText, 0, 3, 4), 0);
  EXPECT_EQ(calc, Rect(10, 10, 17, 10));
}

TEST_F(TextLayoutTest, DrawingAnswersHeightOrRowCountAndCalcRectMeasures) {
  const Integer h = Params(0).RowHeight;
  TRect r = Rect(10, 10, 10 + W(u"abc def"), 110);
  EXPECT_EQ(cxTextOut(DC(), u"abc def ghi", r, cxtlWordBreak), 2 * h);
  EXPECT_EQ(cxTextOut(DC(), u"abc def ghi", r, cxtlWordBreak | cxtlReturnRowCount), 2);
  EXPECT_EQ(cxTextOut(DC(), u"abc def ghi", r, cxtlWordBreak | cxtlAlignBottom), 100);
  EXPECT_EQ(r, Rect(10, 10, 10 + W(u"abc def"), 110));  // drawing leaves the rectangle alone

  TRect calc = r;
  EXPECT_EQ(cxTextOut(DC(), u"abc def ghi", calc, cxtlWordBreak | cxtlCalcRect, -1, 0, clHighlight,
                      clHighlightText, 0, 5, 7),
            3 * h);  // the indents narrow the layout: three rows
  EXPECT_EQ(calc, Rect(10, 10, 10 + 5 + W(u"abc") + 7, 10 + 3 * h));
  TRect single = Rect(0, 0, 5, 5);
  cxTextOut(DC(), u"abc def ghi", single, cxtlSingleLine | cxtlCalcRect);
  EXPECT_EQ(single, Rect(0, 0, W(u"abc def ghi"), h));

  // Calculating draws nothing.
  Clear();
  TRect again = r;
  cxTextOut(DC(), u"abc def ghi", again, cxtlWordBreak | cxtlCalcRect);
  EXPECT_EQ(Ink(), TRect{});
}

TEST_F(TextLayoutTest, AlignmentPlacesInkInTheRectangle) {
  const TRect r = Rect(20, 10, 220, 100);
  const Integer w = W(u"H&ello");
  const Integer h = Params(0).RowHeight;
  struct {
    TcxTextLayoutFlags Flags;
    Integer Left, Top;  // where the row is drawn
  } cases[] = {
      {cxtlAlignLeft, 20, 10},
      {cxtlAlignHCenter | cxtlAlignVCenter, 20 + (200 - w) / 2, 10 + (90 - h) / 2},
      {cxtlAlignRight | cxtlAlignBottom, 220 - w, 100 - h},
  };
  TBitmap reference(FBitmap->Width(), FBitmap->Height(), pf32bit);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Flags);
    Clear();
    TRect rr = r;
    cxTextOut(DC(), u"H&ello", rr, c.Flags);  // no accelerator prefixes
    // The same pixels as the word drawn at the expected place.
    reference.Canvas()->Brush()->SetColor(kWhite);
    reference.Canvas()->FillRect({0, 0, reference.Width(), reference.Height()});
    reference.Canvas()->Font()->Assign(Canvas()->Font());
    reference.Canvas()->Brush()->SetStyle(bsClear);
    reference.Canvas()->TextOut(c.Left, c.Top, u"H&ello");
    reference.Canvas()->Brush()->SetStyle(bsSolid);
    EXPECT_EQ(FBitmap->Pixels32(), reference.Pixels32());
    TRect ink = Ink();
    EXPECT_GE(ink.Left, r.Left);
    EXPECT_LE(ink.Right, r.Right);
  }
}

TEST_F(TextLayoutTest, EndEllipsisFollowsTheLastFittingCharacter) {
  const String text = u"Geographic metadata record";
  const Integer room = W(u"Geographic m");
  const TRect r = Rect(10, 10, 10 + room, 60);
  const Integer ellipsis = W(u"...");
  // The longest prefix that leaves room for "...".
  size_t n = 0;
  while (n < text.size() && W(text.substr(0, n + 1)) <= room - ellipsis) ++n;
  ASSERT_GT(n, 0u);
  ASSERT_LT(n, text.size());

  const Integer cutWidth = W(text.substr(0, n)) + ellipsis;
  struct {
    TcxTextLayoutFlags Flags;
    Integer MaxRows;
    Integer Left;  // where the shortened row starts
  } cases[] = {
      {cxtlEndEllipsis, 1, 10},
      {cxtlEndEllipsis | cxtlSingleLine, 0, 10},
      {cxtlEndEllipsis | cxtlWordBreak | cxtlBreakLongWords, 1, 10},
      // A shortened row is placed again by its alignment, so that it stays
      // inside the rectangle instead of starting left of it.
      {cxtlEndEllipsis | cxtlSingleLine | cxtlAlignRight, 0, r.Right - cutWidth},
      {cxtlEndEllipsis | cxtlSingleLine | cxtlAlignHCenter, 0, 10 + (room - cutWidth) / 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Flags);
    Clear();
    TRect rr = r;
    cxTextOut(DC(), text, rr, c.Flags, -1, 0, clHighlight, clHighlightText, c.MaxRows);
    TBitmap expected(FBitmap->Width(), FBitmap->Height(), pf32bit);
    TCanvas* e = expected.Canvas();
    e->Brush()->SetColor(kWhite);
    e->FillRect({0, 0, expected.Width(), expected.Height()});
    e->Font()->Assign(Canvas()->Font());
    e->Brush()->SetStyle(bsClear);
    e->TextOut(c.Left, 10, text.substr(0, n));
    e->TextOut(c.Left + W(text.substr(0, n)), 10, u"...");
    EXPECT_EQ(FBitmap->Pixels32(), expected.Pixels32());
    EXPECT_LE(Ink().Right, r.Right);
  }

  // A text that fits gets no ellipsis; a narrow rectangle keeps at least one character.
  Clear();
  TRect wide = Rect(10, 10, 230, 60);
  cxTextOut(DC(), u"Short", wide, cxtlEndEllipsis | cxtlSingleLine);
  EXPECT_LT(Ink().Right, 10 + W(u"Short") + 2);
  Clear();
  TRect tiny = Rect(10, 10, 12, 60);
  cxTextOut(DC(), u"Wide", tiny, cxtlEndEllipsis | cxtlSingleLine | cxtlNoClip);
  TRect ink = Ink();
  EXPECT_GE(ink.Right, 10 + W(u"W") + ellipsis - 2);
  EXPECT_LT(ink.Right, 10 + W(u"Wi") + ellipsis);
}

TEST_F(TextLayoutTest, EndEllipsisOnTheLastRowThatFitsTheHeight) {
  Reset(160, 80);
  const Integer h = Params(0).RowHeight;
  TRect r = Rect(5, 5, 5 + W(u"alpha beta"), 5 + 2 * h);
  EXPECT_EQ(cxTextOut(DC(), u"alpha beta gamma delta epsilon", r, cxtlWordBreak | cxtlEndEllipsis | cxtlWholeRows),
            2 * h);
  // The second row is cut: "..." ends it inside the rectangle.
  TRect second = Ink(Rect(0, 5 + h, 160, 5 + 2 * h));
  EXPECT_LE(second.Right, r.Right);
  EXPECT_GT(second.Right, r.Right - W(u"a") - W(u"..."));
  EXPECT_EQ(Ink(Rect(0, 5 + 2 * h, 160, 80)), TRect{});
  Save("ellipsis_rows");
}

TEST_F(TextLayoutTest, SelectionIsHighlighted) {
  const TRect r = Rect(10, 10, 230, 40);
  const Integer h = Params(0).RowHeight;
  struct {
    Integer Start, Length;
    const char16_t* Before;    // text before the selection
    const char16_t* Selected;  // empty: no highlight
  } cases[] = {
      {2, 3, u"ab", u"cde"},  {0, 1, u"", u"a"},   {4, 100, u"abcd", u"efgh"},  // cut to the end
      {-1, 3, u"", u""},      {8, 2, u"", u""},    {2, 0, u"", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Start << "+" << c.Length);
    Clear();
    TRect rr = r;
    cxTextOut(DC(), u"abcdefgh", rr, 0, c.Start, c.Length, kSelBk, kSelText);
    Integer x0 = 10 + W(c.Before), x1 = x0 + W(c.Selected);
    TRect cell = Rect(x0, 10, x1, 10 + h);
    if (x1 == x0) {
      EXPECT_EQ(CountColor(kSelBk) + CountColor(kSelText), 0);
      EXPECT_NE(Ink(), TRect{});
      continue;
    }
    // The highlight fills exactly the selected characters' cells, with the
    // glyphs inside in the selection text colour.
    EXPECT_EQ(CountColor(kWhite, cell), 0);
    EXPECT_GT(CountColor(kSelBk, cell), (x1 - x0) * h / 2);
    EXPECT_GT(CountColor(kSelText, cell), 0);
    EXPECT_EQ(CountColor(kSelBk) - CountColor(kSelBk, cell), 0);
    EXPECT_EQ(CountColor(kSelText) - CountColor(kSelText, cell), 0);
    EXPECT_EQ(CountColor(kBlack, cell), 0);
  }
}

TEST_F(TextLayoutTest, SelectionAcrossRowsAndJustifiedGaps) {
  UseChineseFont();
  Canvas()->Realize();
  const Integer h = Params(0).RowHeight;
  // Two rows of Chinese text; the selection runs from the first into the second.
  String text = u"元数据标准编辑器";
  TRect r = Rect(10, 10, 10 + W(u"元数据标"), 110);
  cxTextOut(DC(), text, r, cxtlWordBreak, 2, 4, kSelBk, kSelText);
  Integer c = W(u"元");
  EXPECT_EQ(CountColor(kWhite, Rect(10 + 2 * c, 10, 10 + 4 * c, 10 + h)), 0);
  EXPECT_GT(CountColor(kSelBk, Rect(10 + 2 * c, 10, 10 + 4 * c, 10 + h)), 0);
  EXPECT_EQ(CountColor(kSelBk, Rect(10, 10, 10 + 2 * c, 10 + h)), 0);
  EXPECT_EQ(CountColor(kWhite, Rect(10, 10 + h, 10 + 2 * c, 10 + 2 * h)), 0);
  EXPECT_EQ(CountColor(kSelBk, Rect(10 + 2 * c, 10 + h, 240, 10 + 2 * h)), 0);
  Save("selection_chinese");

  // On a justified row the highlight follows the widened gaps.
  Reset(240, 60);
  TRect j = Rect(10, 10, 210, 50);
  cxTextOut(DC(), u"aa bb cc", j, cxtlJustifyAll, 6, 2, kSelBk, kSelText);
  TRect sel{0x7FFF, 0, -1, 0};
  for (Integer x = 0; x < 240; ++x)
    if (FBitmap->PixelColor(x, 12) == kSelBk) sel.Left = std::min(sel.Left, x), sel.Right = std::max(sel.Right, x + 1);
  EXPECT_EQ(sel.Right, 210);  // "cc" ends at the right edge
  EXPECT_EQ(sel.Left, 210 - W(u"cc"));
}

TEST_F(TextLayoutTest, JustifiedRowsFillTheWidthButNotTheParagraphsLastRow) {
  Reset(240, 80);
  const Integer h = Params(0).RowHeight;
  TRect r = Rect(10, 5, 10 + W(u"one two three"), 75);
  cxTextOut(DC(), u"one two three four five", r, cxtlJustify);
  TRect first = Ink(Rect(0, 5, 240, 5 + h));
  EXPECT_GE(first.Right, r.Right - 2);
  EXPECT_LE(first.Right, r.Right);
  TRect last = Ink(Rect(0, 5 + h, 240, 5 + 2 * h));
  EXPECT_LE(last.Right, 10 + W(u"four five") + 1);
  Save("justify");
}

TEST_F(TextLayoutTest, ClippingKeepsOverflowInsideUnlessNoClip) {
  TRect r = Rect(20, 20, 20 + W(u"abc"), 40);
  cxTextOut(DC(), u"abcdefghijk", r, cxtlSingleLine);
  TRect ink = Ink();
  EXPECT_LE(ink.Right, r.Right);
  EXPECT_GE(ink.Left, r.Left);
  Clear();
  cxTextOut(DC(), u"abcdefghijk", r, cxtlSingleLine | cxtlNoClip);
  EXPECT_GT(Ink().Right, r.Right + W(u"def"));

  // A clip region the caller set is there afterwards, and is respected.
  Clear();
  IntersectClipRect(DC(), 0, 0, 20 + W(u"a"), 120);
  HRGN before = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(DC(), before), 1);
  TRect wide = Rect(20, 20, 200, 40);
  cxTextOut(DC(), u"abcdefghijk", wide, cxtlSingleLine, 0, 11, kSelBk, kSelText);
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(DC(), after), 1);
  EXPECT_TRUE(EqualRgn(before, after));
  EXPECT_LE(Ink().Right, 20 + W(u"a"));
  DeleteObject(before);
  DeleteObject(after);
  SelectClipRgn(DC(), nullptr);

  // Saving and restoring without a clip region leaves none.
  HRGN saved = cxSaveClipAndIntersect(DC(), Rect(0, 0, 5, 5));
  EXPECT_EQ(saved, nullptr);
  TRect box;
  GetClipBox(DC(), box);
  EXPECT_EQ(box, Rect(0, 0, 5, 5));
  cxRestoreClip(DC(), saved);
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(DC(), none), 0);
  DeleteObject(none);
}

TEST_F(TextLayoutTest, TabsAreExpandedWhenAsked) {
  const Integer stop = 8 * Params(0).Metrics.tmAveCharWidth;
  TRect r = Rect(10, 10, 230, 40);
  cxTextOut(DC(), u"a\tZ", r, cxtlExpandTabs);
  TRect z = Ink(Rect(10 + W(u"a") + 1, 0, 240, 120));
  EXPECT_GE(z.Left, 10 + stop - 1);
  EXPECT_LE(z.Left, 10 + stop + 2);
  TcxTextRows rows;
  Integer count = 0;
  cxMakeTextRows(DC(), u"a\tZ", r, 0, count, rows, Params(cxtlExpandTabs));
  EXPECT_EQ(rows[0].Width, stop + W(u"Z"));
  // With word break a tab is a break opportunity and is skipped after a row.
  EXPECT_EQ(RowTexts(u"abc\tdef", W(u"abc"), cxtlWordBreak | cxtlExpandTabs),
            (std::vector<String>{u"abc", u"def"}));
}

TEST_F(TextLayoutTest, MultiLineHeightsAndRowsInPixels) {
  Reset(200, 140);
  UseChineseFont();
  Canvas()->Realize();
  const Integer h = Params(0).RowHeight;
  const String text = u"本标准规定了地理空间数据集的元数据内容，适用于数据的编目、交换与共享。";
  TRect r = Rect(10, 10, 10 + W(u"本标准规定了地理"), 130);
  Integer height = cxTextOut(DC(), text, r, cxtlWordBreak);
  Integer rows = cxTextOut(DC(), text, r, cxtlWordBreak | cxtlReturnRowCount | cxtlCalcRect);
  EXPECT_EQ(height, rows * h);
  EXPECT_GE(rows, 4);
  for (Integer i = 0; i < rows; ++i) {
    TRect band = Ink(Rect(0, 10 + i * h, 200, 10 + (i + 1) * h));
    EXPECT_NE(band, TRect{}) << "row " << i;
    EXPECT_LE(band.Right, r.Right);
  }
  EXPECT_EQ(Ink(Rect(0, 10 + rows * h + 1, 200, 140)), TRect{});
  // A closing mark never starts a row.
  TcxTextRows made;
  Integer count = 0;
  cxMakeTextRows(DC(), text, r, 0, count, made, Params(cxtlWordBreak));
  for (Integer i = 1; i < count; ++i) {
    Char first = text[made[i].Start];
    EXPECT_TRUE(first != u'，' && first != u'、' && first != u'。') << "row " << i;
  }
  Save("chinese_paragraph");
}

TEST_F(TextLayoutTest, FontColourAndCanvasForms) {
  Canvas()->Font()->SetColor(clRed);
  Canvas()->Realize();
  SetTextColor(DC(), clBlue);
  TcxCanvas canvas(Canvas());
  TRect r = Rect(10, 10, 200, 40);
  EXPECT_GT(DrawTextInFontColor(&canvas, u"Red text", r, 0), 0);
  EXPECT_GT(CountColor(clRed), 0);
  EXPECT_EQ(CountColor(clBlue), 0);
  EXPECT_EQ(GetTextColor(DC()), clBlue);  // the context keeps its colour
  EXPECT_EQ(GetBkMode(DC()), OPAQUE);     // and its background mode

  TextLayoutParams fromCanvas;
  cxPrepareTextLayoutParams(&canvas, cxtlWordBreak, fromCanvas);
  EXPECT_EQ(fromCanvas.RowHeight, Params(cxtlWordBreak).RowHeight);
}

TEST_F(TextLayoutTest, PreparedOutputMovesWithItsOwner) {
  String text = u"alpha beta gamma";
  TcxTextOutData data;
  EXPECT_TRUE(cxPrepareTextOutData(DC(), text, Rect(10, 10, 10 + W(u"alpha beta"), 100), cxtlWordBreak, 0, data));
  EXPECT_EQ(data.RowCount, 2);
  EXPECT_FALSE(data.TextCut);
  data.SelStart = 6;
  data.SelLength = 4;
  data.SelBkColor = kSelBk;
  data.SelTextColor = kSelText;
  cxOffsetTextOutData(data, 30, 20);
  EXPECT_EQ(data.TextRect, Rect(40, 30, 40 + W(u"alpha beta"), 120));
  EXPECT_EQ(data.Rows[0].Left, 40);
  EXPECT_EQ(data.Rows[1].Top, 30 + data.Params.RowHeight);
  cxDrawTextOutData(DC(), text, data);
  std::vector<Cardinal> moved = FBitmap->Pixels32();

  Clear();
  TRect r = Rect(40, 30, 40 + W(u"alpha beta"), 120);
  cxTextOut(DC(), text, r, cxtlWordBreak, 6, 4, kSelBk, kSelText);
  EXPECT_EQ(moved, FBitmap->Pixels32());

  // Rows of another (shorter) text are not drawn.
  Clear();
  cxDrawTextOutData(DC(), u"alpha", data);
  EXPECT_EQ(Ink(), TRect{});

  TcxTextOutData cut;
  EXPECT_FALSE(cxPrepareTextOutData(DC(), text, Rect(0, 0, W(u"alpha"), 100), cxtlWordBreak, 1, cut));
  EXPECT_TRUE(cut.TextCut);
}

TEST_F(TextLayoutTest, Showcase) {
  Reset(320, 200);
  UseChineseFont();
  Canvas()->Realize();
  const TcxTextLayoutFlags wb = cxtlWordBreak;
  TRect frames[] = {Rect(5, 5, 155, 95), Rect(165, 5, 315, 95), Rect(5, 105, 155, 195), Rect(165, 105, 315, 195)};
  Canvas()->Brush()->SetColor(0xE0E0E0);
  for (const TRect& f : frames) Canvas()->FrameRect({f.Left - 1, f.Top - 1, f.Right + 1, f.Bottom + 1});
  Canvas()->Realize();
  TRect a = frames[0], b = frames[1], c = frames[2], d = frames[3];
  cxTextOut(DC(), u"地理空间数据集元数据：标题、摘要、关键词与联系方式。", a, wb | cxtlAlignHCenter);
  cxTextOut(DC(), u"Metadata of the geographic data set, with Chinese 中文 words mixed in.", b,
            wb | cxtlAlignRight | cxtlAlignBottom, 9, 8, kSelBk, kSelText);
  cxTextOut(DC(), u"justify every row but the last of the paragraph, as printed text does", c, cxtlJustify);
  cxTextOut(DC(), u"这是一段很长很长的文字，超出了矩形的高度，所以最后一行以省略号结束，后面的文字都看不见。", d,
            wb | cxtlEndEllipsis | cxtlWholeRows | cxtlAlignVCenter, -1, 0, clHighlight, clHighlightText, 3);
  Save("showcase");
  // Every frame holds text, and the selection of b shows.
  for (const TRect& f : frames) EXPECT_NE(Ink(f), TRect{}) << f.Left << "," << f.Top;
  EXPECT_GT(CountColor(kSelBk, b), 0);
}

}  // namespace
