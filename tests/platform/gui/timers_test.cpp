// Timers under the test clock.
#include <gtest/gtest.h>

#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

Integer GProcCalls = 0;
void CountProc(HWND, UINT, WPARAM, DWORD) { ++GProcCalls; }

TEST(Timers, WindowTimerFiresAsTheTestClockAdvances) {
  TFormFixture f;
  TTestClock clock;
  HWND h = f.First->Handle();
  f.First->Log.clear();
  EXPECT_EQ(SetTimer(h, 7, 100), 7u);
  clock.Advance(99);
  EXPECT_TRUE(f.First->Only({WM_TIMER}).empty());
  clock.Advance(1);
  EXPECT_EQ(f.First->Only({WM_TIMER}).size(), 1u);
  clock.Advance(350);  // due at 200, 300 and 400
  EXPECT_EQ(f.First->Only({WM_TIMER}).size(), 4u);
  EXPECT_TRUE(KillTimer(h, 7));
  EXPECT_FALSE(KillTimer(h, 7));
  clock.Advance(1000);
  EXPECT_EQ(f.First->Only({WM_TIMER}).size(), 4u);
}

TEST(Timers, ZeroIntervalDisablesAndDeadWindowsStopTheirTimers) {
  TFormFixture f;
  TTestClock clock;
  HWND h = f.Second->Handle();
  EXPECT_EQ(SetTimer(h, 1, 0), 0u);
  SetTimer(h, 2, 10);
  Integer before = ActiveTimerCount();
  f.Second->Free();
  f.Second = nullptr;
  clock.Advance(100);  // nothing to deliver, nothing crashes
  EXPECT_EQ(ActiveTimerCount(), before - 1);
  EXPECT_EQ(SetTimer(h, 3, 10), 0u);
}

TEST(Timers, ThreadTimerCallsItsProcedure) {
  TTestClock clock;
  GProcCalls = 0;
  WPARAM id = SetTimer(0, 0, 20, CountProc);
  ASSERT_NE(id, 0u);
  clock.Advance(60);
  EXPECT_EQ(GProcCalls, 3);
  KillTimer(0, id);
  EXPECT_EQ(GetTickCount(), clock.Now());
}

TEST(Timers, TTimerFiresOnTimerOnlyWhenEnabledWithInterval) {
  EnsureGuiRuntime();
  TTestClock clock;
  TTimer timer(nullptr);
  Integer ticks = 0;
  timer.SetInterval(50);
  timer.SetOnTimer(TNotifyEvent(&ticks, [&](TObject*) { ++ticks; }));
  clock.Advance(120);
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(false);
  clock.Advance(200);
  EXPECT_EQ(ticks, 2);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  clock.Advance(200);
  EXPECT_EQ(ticks, 2);
}

TEST(Timers, ExceptionInOnTimerGoesToTheApplication) {
  EnsureGuiRuntime();
  TTestClock clock;
  TTimer timer(nullptr);
  std::vector<String> errors;
  Application->OnException = TExceptionEvent(&errors, [&](TObject*, Exception* e) { errors.push_back(e->Message); });
  timer.SetInterval(10);
  timer.SetOnTimer(TNotifyEvent(&errors, [](TObject*) { throw Exception(u"tick failed"); }));
  clock.Advance(25);
  Application->OnException = nullptr;
  EXPECT_EQ(errors.size(), 2u);
}

}  // namespace
