#pragma once
// Timers and the program's clock.
//
// Window timers (SetTimer) put WM_TIMER to their window, or call their
// procedure, every Interval milliseconds; a timer without a window is named
// by the id SetTimer answers. TTimer is the component over them. An
// interval of 0 means disabled.
//
// The clock can be put under a test's control (TTestClock): time then
// stands still until the test advances it, and advancing fires every timer
// that falls due, in time order, without waiting.
#include "platform/gui/messages.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"

using TTimerProc = void (*)(HWND Wnd, UINT Msg, WPARAM IdEvent, DWORD Time);

// Milliseconds since an arbitrary start (the test clock while one is active).
DWORD GetTickCount();

// Starts or restarts timer IdEvent of the window; answers the id (for
// Wnd 0 a new id when IdEvent names no timer of the thread). 0 on failure
// (a handle that names no window, or an interval of 0).
WPARAM SetTimer(HWND Wnd, WPARAM IdEvent, UINT Interval, TTimerProc Proc = nullptr);
bool KillTimer(HWND Wnd, WPARAM IdEvent);
// Timers of destroyed windows stop by themselves.
Integer ActiveTimerCount();

// While alive, the clock and all timers follow this object instead of real
// time. Only one may exist at a time.
class TTestClock {
public:
  TTestClock();
  ~TTestClock();
  TTestClock(const TTestClock&) = delete;
  TTestClock& operator=(const TTestClock&) = delete;
  // Moves time forward, firing each timer as often as it falls due.
  void Advance(DWORD Milliseconds);
  DWORD Now() const;
};

class TTimer : public TComponent {
  KORVANE_CLASS(TTimer, TComponent)
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal Interval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  TNotifyEvent OnTimer() const { return FOnTimer; }
  void SetOnTimer(const TNotifyEvent& Value);

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  void WndProc(TMessage& Message);

  HWND FWindow = 0;
  bool FEnabled = true;
  Cardinal FInterval = 1000;
  TNotifyEvent FOnTimer;
};
