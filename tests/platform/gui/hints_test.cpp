// Hints: when the application shows a control's hint, where, and what
// takes it away again.
#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/buttons.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/hints.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

// Two tool buttons with hints on a panel, and a panel without one.
struct THintFixture : TTestForm {
  THintFixture() : TTestForm(400, 300) {
    Bar = Place<TPanel>(0, 0, 400, 40);
    New = AddButton(2, u"新建");
    Save = AddButton(40, u"输出XML");
    Plain = Place<TPanel>(0, 100, 400, 100);
    ShowForm();
  }
  ~THintFixture() {
    Application->CancelHint();
    FreeForm();
  }
  TSpeedButton* AddButton(Integer Left, const String& Hint) {
    auto* b = new TSpeedButton(Form);
    b->SetParent(Bar);
    b->SetBounds(Left, 2, 25, 25);
    b->SetHint(Hint);
    b->SetShowHint(true);
    return b;
  }
  // The mouse over a point of a control (client coordinates of its window).
  void MoveTo(TControl* Control, TPoint P) {
    TWinControl* holder = dynamic_cast<TWinControl*>(Control);
    if (!holder) {
      P = TPoint{P.X + Control->Left(), P.Y + Control->Top()};
      holder = Control->Parent();
    }
    TestMouseMove(holder->Handle(), P);
    Application->ProcessMessages();
  }
  void Wait(DWORD Ms) {
    Clock.Advance(Ms);
    Application->ProcessMessages();
  }
  THintHandler* Hints() const { return Application->Hints(); }
  bool Shown() const { return Hints()->HintShowing(); }
  String Text() const { return Hints()->HintWindow() ? Hints()->HintWindow()->Caption() : String(); }

  TTestClock Clock;
  TPanel* Bar;
  TPanel* Plain;
  TSpeedButton* New;
  TSpeedButton* Save;
};

TEST(Hints, RestingOnAButtonShowsItsHintBelowTheMouseUntilTheHidePause) {
  THintFixture f;
  f.MoveTo(f.New, {10, 10});
  f.Wait(Application->HintPause() - 10);
  EXPECT_FALSE(f.Shown()) << "before the pause";
  f.Wait(20);
  ASSERT_TRUE(f.Shown());
  EXPECT_EQ(f.Text(), u"新建");
  const TPoint mouse = f.Bar->ClientToScreen(TPoint{f.New->Left() + 10, f.New->Top() + 10});
  const TRect r = f.Hints()->HintWindow()->BoundsRect();
  EXPECT_EQ(r.Left, mouse.X);
  EXPECT_EQ(r.Top, mouse.Y + HintCursorHeight);
  EXPECT_GT(r.Right - r.Left, 20);
  // The window paints the text on the hint colour.
  TBitmap picture(r.Right - r.Left, r.Bottom - r.Top, pf24bit);
  f.Hints()->HintWindow()->PaintTo(picture.Canvas(), 0, 0);
  EXPECT_EQ(picture.PixelColor(2, 2), ColorToRGB(clInfoBk));
  Integer ink = 0;
  for (Integer x = 0; x < picture.Width(); ++x)
    for (Integer y = 3; y < picture.Height() - 3; ++y) ink += picture.PixelColor(x, y) != ColorToRGB(clInfoBk);
  EXPECT_GT(ink, 20) << "no text";

  // Moving within the button keeps it; the hide pause takes it away for good.
  f.MoveTo(f.New, {12, 11});
  EXPECT_TRUE(f.Shown());
  f.Wait(Application->HintHidePause() + 10);
  EXPECT_FALSE(f.Shown());
  f.MoveTo(f.New, {14, 12});
  f.Wait(Application->HintPause() + 10);
  EXPECT_FALSE(f.Shown()) << "came back without the mouse leaving";

  // The next button shows its own after the short pause (a hint was just seen).
  f.MoveTo(f.Save, {10, 10});
  f.Wait(Application->HintShortPause() + 10);
  EXPECT_TRUE(f.Shown());
  EXPECT_EQ(f.Text(), u"输出XML");
}

TEST(Hints, WhatShowsNothingAndWhatTakesTheHintAway) {
  THintFixture f;
  struct TCase {
    const char* What;
    std::function<void()> Before;   // set-up before the mouse rests
    std::function<void()> After;    // done while the hint shows
    bool ShowsFirst;
  };
  const TCase cases[] = {
      {"a disabled button still tells what it is", [&] { f.New->SetEnabled(false); }, nullptr, true},
      {"no hint text", [&] { f.New->SetHint(u""); }, nullptr, false},
      {"the button does not show hints", [&] { f.New->SetShowHint(false); }, nullptr, false},
      {"the application shows none", [&] { Application->SetShowHint(false); }, nullptr, false},
      {"a key press", nullptr, [&] { f.Key(VK_SPACE); }, true},
      {"a mouse press", nullptr,
       [&] {
         TestMousePress(f.Bar->Handle(), {f.New->Left() + 10, f.New->Top() + 10});
         TestMouseRelease(f.Bar->Handle(), {f.New->Left() + 10, f.New->Top() + 10});
         Application->ProcessMessages();
       },
       true},
      {"the mouse on a control without hints", nullptr, [&] { f.MoveTo(f.Plain, {50, 50}); }, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    f.MoveTo(f.Plain, {10, 10});
    f.Wait(Application->HintHidePause() * 2);
    if (c.Before) c.Before();
    f.MoveTo(f.New, {10, 10});
    f.Wait(Application->HintPause() + 10);
    EXPECT_EQ(f.Shown(), c.ShowsFirst);
    if (c.After) {
      c.After();
      EXPECT_FALSE(f.Shown());
    }
    f.New->SetEnabled(true);
    f.New->SetHint(u"新建");
    f.New->SetShowHint(true);
    Application->SetShowHint(true);
  }
}

// A control that rewrites its hint, or refuses it, when asked.
class TAskedControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  bool Refuse = false;
  void WndProc(TMessage& M) override {
    if (M.Msg == CM_HINTSHOW) {
      auto* info = reinterpret_cast<THintInfo*>(M.LParam);
      info->HintStr = u"第" + IntToStr(info->CursorPos.X / 50 + 1) + u"格";
      info->CursorRect = TRect{info->CursorPos.X / 50 * 50, 0, info->CursorPos.X / 50 * 50 + 50, Height()};
      M.Result = Refuse ? 1 : 0;
      return;
    }
    TCustomControl::WndProc(M);
  }
};

TEST(Hints, TheControlMayRewriteItsHintPerPartOrRefuseIt) {
  THintFixture f;
  auto* grid = f.Place<TAskedControl>(0, 220, 200, 30);
  grid->SetHint(u"x");
  grid->SetShowHint(true);
  f.MoveTo(grid, {10, 10});
  f.Wait(Application->HintPause() + 10);
  ASSERT_TRUE(f.Shown());
  EXPECT_EQ(f.Text(), u"第1格");
  // Leaving the part the control named starts a new hint there.
  f.MoveTo(grid, {120, 10});
  f.Wait(Application->HintShortPause() + 10);
  EXPECT_EQ(f.Text(), u"第3格");
  f.MoveTo(f.Plain, {10, 10});
  grid->Refuse = true;
  f.Wait(Application->HintHidePause() * 2);
  f.MoveTo(grid, {10, 10});
  f.Wait(Application->HintPause() + 10);
  EXPECT_FALSE(f.Shown());
}

TEST(Hints, AFreedHintControlIsForgotten) {
  THintFixture f;
  f.MoveTo(f.New, {10, 10});
  f.Wait(Application->HintPause() + 10);
  ASSERT_TRUE(f.Shown());
  f.New->Free();
  EXPECT_EQ(f.Hints()->HintControl(), nullptr);
  EXPECT_FALSE(f.Shown());
  f.Wait(Application->HintHidePause() + 10);
}

}  // namespace
