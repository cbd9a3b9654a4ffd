// Text drawn through the canvas against a plain painter drawing the expected
// lines at the expected places: the two must agree pixel for pixel, so that
// a quicker drawing road cannot move, cut or reshape a line.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/drawbench.h"
#include "platform/gui/graphics.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/gui/guitestutil.h"

extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {

// Every advance of the fixed-pitch face is the same whole number, so the
// expected cut of an ellipsis is plain to see.
const String Family = u"DejaVu Sans Mono";
const String CjkFamily = u"WenQuanYi Micro Hei";
constexpr Integer PixelSize = 13;
constexpr Integer Width = 160, Height = 40;

std::unique_ptr<TBitmap> White() {
  auto Bmp = std::make_unique<TBitmap>(Width, Height, pf32bit);
  Bmp->Canvas()->Brush()->SetColor(clWhite);
  Bmp->Canvas()->FillRect({0, 0, Width, Height});
  TCanvas* C = Bmp->Canvas();
  C->Font()->SetName(Family);
  C->Font()->SetHeight(-PixelSize);
  C->Font()->SetColor(clBlack);
  C->Brush()->SetStyle(bsClear);
  C->Realize();
  return Bmp;
}

// The first pixel where the two bitmaps differ, as text; empty when none.
std::string FirstDifference(TBitmap& A, TBitmap& B) {
  if (A.Width() != B.Width() || A.Height() != B.Height()) return "sizes differ";
  for (Integer Y = 0; Y < A.Height(); ++Y)
    for (Integer X = 0; X < A.Width(); ++X)
      if (A.PixelColor(X, Y) != B.PixelColor(X, Y))
        return "differs at " + std::to_string(X) + ", " + std::to_string(Y);
  return {};
}

TEST(TextDrawTest, CanvasTextMatchesThePlainPainterLineForLine) {
  EnsureGuiRuntime();
  const Integer Char = White()->Canvas()->TextWidth(u"m");
  const Integer Cjk = White()->Canvas()->TextWidth(u"甲乙丙丁");
  struct TCase {
    const char* Name;
    String Text;
    Cardinal Format;  // DrawText format; ~0: TextOut at the rectangle's corner
    TRect Box;
    std::vector<String> Lines;  // expected lines, one line height apart
    bool Centred;
    bool Underline = false;
  };
  const TCase Cases[] = {
      {"latin text out", u"Sample 12.5 m", ~0u, {4, 2, 150, 30}, {u"Sample 12.5 m"}, false},
      {"underlined", u"core 钻孔", ~0u, {4, 2, 150, 30}, {u"core 钻孔"}, false, true},
      {"chinese text out", u"岩石样品 元数据", ~0u, {3, 5, 150, 30}, {u"岩石样品 元数据"}, false},
      {"one line", u"geology 地层 core", DT_SINGLELINE | DT_NOPREFIX, {2, 1, 158, 30}, {u"geology 地层 core"}, false},
      {"centred", u"core 钻孔", DT_SINGLELINE | DT_CENTER, {0, 0, 157, 30}, {u"core 钻孔"}, true},
      {"word break", u"甲乙丙丁 戊己", DT_WORDBREAK, {1, 0, 1 + Cjk + 2, 40}, {u"甲乙丙丁", u"戊己"}, false},
      {"end ellipsis", u"geology survey", DT_SINGLELINE | DT_END_ELLIPSIS, {0, 0, 7 * Char, 30}, {u"geol..."}, false},
  };
  for (const TCase& Case : Cases) {
    auto Drawn = White();
    TCanvas* C = Drawn->Canvas();
    if (Case.Underline) C->Font()->SetStyle(fsUnderline);
    const Integer LineHeight = C->TextHeight(u"Qq");
    TRect Box = Case.Box;
    if (Case.Format == ~0u)
      C->TextOut(Box.Left, Box.Top, Case.Text);
    else
      DrawText(C, Case.Text, Box, Case.Format);
    auto Expected = White();
    const Integer X = Case.Centred ? Box.Left + (Box.Width() - C->TextWidth(Case.Lines[0])) / 2 : Box.Left;
    Integer Stride = 0;
    Cardinal* Bits = Expected->BeginDraw(Stride);
    DrawLinesWithPlainPainter(Bits, Width, Height, Stride, Case.Lines, X, Box.Top, LineHeight, Family, CjkFamily,
                              PixelSize, Case.Underline);
    Expected->EndDraw();
    EXPECT_EQ(FirstDifference(*Drawn, *Expected), "") << Case.Name;
  }
}

// Random lines of Latin, Chinese, digits and spaces (leading, doubled and
// trailing): the canvas measures each as the font metrics do and draws it
// as the plain painter does.
TEST(TextDrawTest, RandomLinesMeasureAndDrawAsThePlainPainter) {
  EnsureGuiRuntime();
  const String Pieces[] = {u"a", u"W", u"i", u"7", u".", u" ", u"  ", u"岩", u"石", u"，", u"元数据", u"ff", u"é"};
  std::mt19937 Random(2026);
  for (int N = 0; N < 40; ++N) {
    String Line;
    for (size_t K = 1 + Random() % 12; K > 0; --K) Line += Pieces[Random() % std::size(Pieces)];
    auto Drawn = White();
    TCanvas* C = Drawn->Canvas();
    EXPECT_EQ(C->TextWidth(Line), PlainLineWidth(Line, Family, CjkFamily, PixelSize)) << StringToUTF8(Line);
    C->TextOut(2, 3, Line);
    auto Expected = White();
    Integer Stride = 0;
    Cardinal* Bits = Expected->BeginDraw(Stride);
    DrawLinesWithPlainPainter(Bits, Width, Height, Stride, {Line}, 2, 3, 0, Family, CjkFamily, PixelSize);
    Expected->EndDraw();
    EXPECT_EQ(FirstDifference(*Drawn, *Expected), "") << StringToUTF8(Line);
  }
}

// The pen moves to the end of the text it has drawn, by the text's width.
TEST(TextDrawTest, TextOutMovesThePenByTheTextWidth) {
  EnsureGuiRuntime();
  auto Bmp = White();
  TCanvas* C = Bmp->Canvas();
  for (const String& Text : {String(u"Sample"), String(u"岩石 core"), String(u"a\tb")}) {
    C->TextOut(5, 3, Text);
    EXPECT_EQ(C->PenPos().X, 5 + C->TextWidth(Text)) << StringToUTF8(Text);
    EXPECT_EQ(C->PenPos().Y, 3);
  }
}


// The canvas keeps its text painter open from one call to the next, and its
// font and last shaped line while only the colour changes. Whatever
// happened between two calls (a clip, an origin, another colour, size or
// weight of the font, pixels that moved or changed size, another target)
// must not reach the next line: it comes out as a canvas that never drew
// before draws it.
TEST(TextDrawTest, ALineDrawsAsOnAFreshCanvasWhateverCameBefore) {
  EnsureGuiRuntime();
  TBitmap Other(Width, Height, pf32bit);
  struct TCase {
    const char* Name;
    std::function<void(TBitmap&, TCanvas&)> Before;  // ends with the canvas drawing into the bitmap
  };
  const TCase Cases[] = {
      {"clipped", [](TBitmap&, TCanvas& C) {
         IntersectClipRect(&C, 0, 0, 30, 8);
         C.TextOut(2, 2, u"clipped 岩石");
         SelectClipRgn(&C, nullptr);
       }},
      {"moved origin", [](TBitmap&, TCanvas& C) {
         SetWindowOrgEx(&C, -20, -9, nullptr);
         C.TextOut(2, 2, u"moved");
         SetWindowOrgEx(&C, 0, 0, nullptr);
       }},
      {"turned font", [](TBitmap&, TCanvas& C) {
         C.Font()->SetOrientation(900);
         C.TextOut(60, 30, u"turned");
         C.Font()->SetOrientation(0);
       }},
      {"recoloured", [](TBitmap&, TCanvas& C) {
         C.Font()->SetColor(clRed);
         C.Realize();
         C.TextOut(2, 2, u"next line 钻孔");
         C.Font()->SetColor(clBlack);
       }},
      {"larger font", [](TBitmap&, TCanvas& C) {
         C.Font()->SetHeight(-20);
         C.TextOut(2, 2, u"next line 钻孔");
         C.Font()->SetHeight(-PixelSize);
       }},
      {"bold font", [](TBitmap&, TCanvas& C) {
         C.Font()->SetStyle(fsBold);
         C.TextOut(2, 2, u"next line 钻孔");
         C.Font()->SetStyle(0);
       }},
      {"clipped by DrawText", [](TBitmap&, TCanvas& C) {
         TRect Box{0, 0, 25, 9};
         DrawText(&C, u"a long clipped line", Box, DT_SINGLELINE);
       }},
      {"resized", [](TBitmap& B, TCanvas& C) {
         C.TextOut(2, 2, u"before");
         B.SetSize(Width + 37, Height + 11);
       }},
      {"narrowed", [](TBitmap& B, TCanvas& C) {
         C.TextOut(2, 2, u"before");
         B.SetSize(Width - 50, Height);
       }},
      {"pixels replaced", [&Other](TBitmap& B, TCanvas& C) {
         C.TextOut(2, 2, u"before");
         B.Assign(&Other);
       }},
      {"other target and back", [&Other](TBitmap& B, TCanvas& C) {
         C.SetTarget(&Other);
         C.TextOut(2, 2, u"elsewhere");
         C.SetTarget(&B);
         C.Font()->SetColor(clBlack);  // a new target starts over
       }},
  };
  auto Prepare = [](TBitmap& B, TCanvas& C) {
    C.Font()->SetName(Family);
    C.Font()->SetHeight(-PixelSize);
    C.Font()->SetColor(clBlack);
    C.Brush()->SetStyle(bsClear);
    C.Realize();
    C.TextOut(1, 1, u"first");
    (void)B;
  };
  for (const TCase& Case : Cases) {
    auto Kept = White();
    auto Fresh = White();
    TCanvas KeptCanvas(Kept.get()), FirstCanvas(Fresh.get());
    Prepare(*Kept, KeptCanvas);
    Prepare(*Fresh, FirstCanvas);
    Case.Before(*Kept, KeptCanvas);
    Case.Before(*Fresh, FirstCanvas);
    TCanvas NewCanvas(Fresh.get());
    NewCanvas.Font()->Assign(KeptCanvas.Font());
    NewCanvas.Brush()->Assign(KeptCanvas.Brush());
    for (TCanvas* C : {&KeptCanvas, &NewCanvas}) {
      C->Realize();
      C->TextOut(3, 14, u"next line 钻孔");
      C->TextOut(C->Target()->Width() - 30, Height - 12, u"edge");
    }
    EXPECT_EQ(FirstDifference(*Kept, *Fresh), "") << Case.Name;
  }
}

}  // namespace
