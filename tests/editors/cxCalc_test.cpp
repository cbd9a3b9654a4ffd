// The calculator control: key sequences to the display (arithmetic,
// percent, square root, reciprocal, memory, division by zero, overflow,
// precision), held keys, the mouse, a resize that keeps the memory, and a
// picture of the calculator.
#include "editors/cxCalc.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/sysutils.h"

namespace {

TPoint Centre(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

// The owner's display: a text the calculator reads and writes.
class TTestCalculator : public TcxCustomCalculator {
  KORVANE_CLASS(TTestCalculator, TcxCustomCalculator)
  using TcxCustomCalculator::TcxCustomCalculator;
  String Display = u"0";

protected:
  String GetDisplay() const override { return Display; }
  void SetDisplay(const String& Value) override { Display = Value; }
};

struct TCalcFixture : TTestForm {
  TCalcFixture() : TTestForm(260, 190) {
    Calc = Place<TTestCalculator>(10, 10, cxCalcDesignWidth, cxCalcDesignHeight);
    Calc->OnResult = TNotifyEvent(this, [this](TObject*) { ++Results; });
    ShowForm(Calc);
  }
  // Space-separated tokens: digits and operator characters are typed;
  // words name the other keys; "paste:<text>" pastes that text.
  void Run(const std::string& Keys) {
    std::istringstream in(Keys);
    for (std::string t; in >> t;) {
      if (t.rfind("paste:", 0) == 0) {
        Clipboard()->SetAsText(String(t.begin() + 6, t.end()));
        TestKey('V', String(1, Char(22)), tkCtrl);
      } else if (t == "MS") {
        TestKey('M', u"\r", tkCtrl);
      } else if (t == "MR") {
        TestKey('R', String(1, Char(18)), tkCtrl);
      } else if (t == "MC") {
        TestKey('L', String(1, Char(12)), tkCtrl);
      } else if (t == "M+") {
        TestKey('P', String(1, Char(16)), tkCtrl);
      } else if (t == "C") {
        TestKey('C', u"c");
      } else if (t == "CE") {
        TestKey(VK_DELETE);
      } else if (t == "Back") {
        TestKey(VK_BACK);
      } else if (t == "+/-") {
        TestKey(VK_F9);
      } else if (t == "1/x") {
        TestKey('R', u"r");
      } else if (t == "sqrt") {
        TestKey('2', u"@", tkShift);
      } else if (t == "%") {
        TestKey('5', u"%", tkShift);
      } else if (t == "enter") {
        TestKey(VK_RETURN);
      } else {
        for (char c : t) TestKey(0, String(1, Char(c)));
      }
      Application->ProcessMessages();
    }
  }
  TTestCalculator* Calc;

  Integer Results = 0;
};

TEST(cxCalculator, KeySequencesToTheDisplay) {
  const std::string squaring = "999999999999999 MS * MR = MS * MR = MS * MR = MS * MR =";
  const std::string overflowing = squaring + " MS * MR =";
  struct TCase {
    const char* Keys;
    Integer Precision;
    const char* Display;
    Integer Beeps;
    Integer Results;
    bool MemoryButtons;  // MC and MR enabled afterwards
  };
  const TCase cases[] = {
      {"2 + 3 =", 15, "5", 0, 1, false},
      {"2 + 3 = =", 15, "5", 0, 2, false},  // a pending "=" repeats nothing
      {"2 + 3 enter", 15, "5", 0, 1, false},
      {"7 - 9 * 3 =", 15, "-6", 0, 1, false},
      {"50 + 10 %", 15, "55", 0, 1, false},
      {"50 * 10 %", 15, "5", 0, 1, false},
      {"50 / 10 % =", 15, "500", 0, 2, false},
      {"1 / 0 =", 15, "Error", 1, 0, false},
      {"1 / 0 = 7 +", 15, "Error", 3, 0, false},
      {"1 / 0 = C", 15, "0", 1, 0, false},
      {"1 / 0 = CE 4", 15, "4", 1, 0, false},
      {"9 sqrt", 15, "3", 0, 0, false},
      {"2 +/- sqrt", 15, "Error", 1, 0, false},
      {"2 + 9 sqrt =", 15, "5", 0, 1, false},
      {"4 1/x", 15, "0.25", 0, 0, false},
      {"0 1/x", 15, "Error", 1, 0, false},
      {"12 Back", 15, "1", 0, 0, false},
      {"1 +/- Back", 15, "0", 0, 0, false},
      {"1 . 5 . 2", 15, "1.52", 0, 0, false},
      {"5 MS C MR", 15, "5", 0, 0, true},
      {"5 MS C 3 M+ MR", 15, "8", 0, 0, true},
      {"5 MS MC MR", 15, "0", 0, 0, false},
      {"5 MS 2 / 0 = M+", 15, "Error", 2, 0, true},  // nothing but C and CE in the error status
      {"1.2345", 4, "1.23", 2, 0, false},           // the separator counts
      {"123 +/- 4 5", 4, "-1234", 1, 0, false},       // a leading minus does not
      {"2 / 3 =", 4, "0.6667", 0, 1, false},
      {"paste:$12.5 + 1 =", 15, "13.5", 0, 1, false},
      {"paste:abc", 15, "0", 0, 0, false},
      {"paste:1.7e308 MS M+", 15, "Error", 1, 0, true},  // the memory sum overflows
      {squaring.c_str(), 15, "9.99999999999984E239", 0, 4, true},
      {overflowing.c_str(), 15, "Error", 1, 4, true},  // 1E480 overflows
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Keys);
    TCalcFixture f;
    f.Calc->SetPrecision(c.Precision);
    const Integer beeps = BeepCount();
    f.Run(c.Keys);
    EXPECT_EQ(f.Calc->Display, String(c.Display, c.Display + std::string(c.Display).size()));
    EXPECT_EQ(BeepCount() - beeps, c.Beeps);
    EXPECT_EQ(f.Results, c.Results);
    EXPECT_EQ(!f.Calc->Button(cbMC).Grayed, c.MemoryButtons);
    EXPECT_EQ(!f.Calc->Button(cbMR).Grayed, c.MemoryButtons);
  }
}

TEST(cxCalculator, OverflowKeepsTheMemoryAndCopyGivesTheDisplay) {
  TCalcFixture f;
  f.Run("paste:1.7e308 MS M+");
  EXPECT_EQ(f.Calc->Memory(), static_cast<long double>(1.7e308));
  f.Run("C 42 . 5");
  TestKey('C', String(1, Char(3)), tkCtrl);
  Application->ProcessMessages();
  EXPECT_EQ(Clipboard()->AsText(), u"42.5");
  EXPECT_EQ(f.Calc->Display, u"42.5");  // Ctrl+C is no "C"
}

TEST(cxCalculator, HeldKeysActOnceExceptBackspace) {
  TCalcFixture f;
  TestKeyPress('5', u"5");
  TestKeyPress('5', u"5");
  Application->ProcessMessages();
  EXPECT_TRUE(f.Calc->Button(cbNum5).Down);
  TestKeyRelease('5', u"5");
  Application->ProcessMessages();
  EXPECT_EQ(f.Calc->Display, u"5");
  EXPECT_FALSE(f.Calc->Button(cbNum5).Down);
  f.Run("1234");
  TestKeyPress(VK_BACK);
  TestKeyPress(VK_BACK);
  TestKeyRelease(VK_BACK);
  Application->ProcessMessages();
  EXPECT_EQ(f.Calc->Display, u"512");

  // A key whose release went to another control acts again next time.
  auto* other = new TTestCalculator(f.Form);
  other->SetParent(f.Form);
  TestKeyPress('7', u"7");
  other->SetFocus();
  TestKeyRelease('7', u"7");
  f.Calc->SetFocus();
  Application->ProcessMessages();
  f.Run("7");
  EXPECT_EQ(f.Calc->Display, u"51277");
  EXPECT_FALSE(f.Calc->Button(cbNum7).Down);
}

TEST(cxCalculator, MouseActsOnReleaseOverTheSameButton) {
  TCalcFixture f;
  auto centre = [&](TcxCalcButtonKind K) { return Centre(f.Calc->Button(K).BtnRect); };
  TestClick(f.Calc->Handle(), centre(cbNum7));
  // Pressed on 8, released over 9: nothing.
  TestMousePress(f.Calc->Handle(), centre(cbNum8));
  TestMouseMove(f.Calc->Handle(), centre(cbNum9));
  TestMouseRelease(f.Calc->Handle(), centre(cbNum9));
  // A disabled button does nothing.
  TestClick(f.Calc->Handle(), centre(cbMR));
  Application->ProcessMessages();
  EXPECT_EQ(f.Calc->Display, u"7");
}

TEST(cxCalculator, LayoutFollowsTheSizeAndKeepsTheMemory) {
  TCalcFixture f;
  f.Run("5 MS");
  struct TCase {
    Integer Width, Height, ButtonHeight;
  };
  const TCase cases[] = {{198, 131, 23}, {400, 400, 46}, {100, 60, 22}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Width);
    f.Calc->SetBounds(10, 10, c.Width, c.Height);
    Application->ProcessMessages();
    EXPECT_EQ(f.Calc->ButtonHeight(), c.ButtonHeight);
    const Integer gap = MulDiv(c.ButtonHeight, 3, 22);
    EXPECT_EQ(f.Calc->ClientHeight(), 5 * c.ButtonHeight + 6 * gap);
    // Every button inside the control, none overlapping "C".
    const TRect client = f.Calc->ClientRect();
    for (TcxCalcButtonKind k = 0; k < cxCalcButtonCount; ++k) {
      TRect inside;
      EXPECT_TRUE(IntersectRect(inside, f.Calc->Button(k).BtnRect, client) &&
                  inside == f.Calc->Button(k).BtnRect)
          << k;
      if (k != cbClear) {
        EXPECT_FALSE(IntersectRect(inside, f.Calc->Button(k).BtnRect, f.Calc->Button(cbClear).BtnRect)) << k;
      }
    }
    EXPECT_EQ(f.Calc->Button(cbClear).BtnRect.Right, f.Calc->Button(cbEqual).BtnRect.Right);
    EXPECT_EQ(f.Calc->Memory(), 5);
    EXPECT_FALSE(f.Calc->Button(cbMR).Grayed);
  }
}

TEST(cxCalculator, PictureOfTheCalculator) {
  TCalcFixture f;
  f.Run("5 MS");
  TestMousePress(f.Calc->Handle(), Centre(f.Calc->Button(cbNum8).BtnRect));
  Application->ProcessMessages();
  TBitmap shot(f.Form->ClientWidth(), f.Form->ClientHeight(), pf32bit);
  f.Form->PaintTo(shot.Canvas()->Handle(), 0, 0);
  TestMouseRelease(f.Calc->Handle(), TPoint{-50, -50});
  shot.SaveToFile(u"/tmp/korvane_cxCalc.png");
  const TPoint origin = f.Calc->BoundsRect().TopLeft();
  // Some pixel of each caption has the caption's colour (text edges are smoothed).
  auto Near = [](TColor A, TColor B) {
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(static_cast<int>((A >> shift) & 0xFF) - static_cast<int>((B >> shift) & 0xFF)) > 24) return false;
    return true;
  };
  auto hasColour = [&](TcxCalcButtonKind K, TColor AColour) {
    const TRect r = f.Calc->Button(K).BtnRect;
    for (Integer y = r.Top + 2; y < r.Bottom - 2; ++y)
      for (Integer x = r.Left + 2; x < r.Right - 2; ++x)
        if (Near(shot.PixelColor(origin.X + x, origin.Y + y), AColour)) return true;
    return false;
  };
  EXPECT_TRUE(hasColour(cbClear, clMaroon));
  EXPECT_TRUE(hasColour(cbMR, clRed));
  EXPECT_TRUE(hasColour(cbNum7, clBlue));
  EXPECT_TRUE(hasColour(cbSqrt, clNavy));
  EXPECT_FALSE(hasColour(cbNum7, clRed));
}

}  // namespace
