#pragma once
// Hints: the small window that names the control under the mouse, and the
// application's handling that decides when it shows.
//
// THintWindow is a stay-on-top popup that never takes activation: it draws
// its caption (the hint text, "\n" or "\r\n" break lines) on clInfoBk in
// Screen->HintFont inside a one-pixel frame. Other code (a tree list's cell
// hints, say) may make its own and drive it with CalcHintRect and
// ActivateHint; ReleaseHandle hides it again.
//
// THintHandler is the application's part (TApplication owns one and hands
// every control's mouse messages to it through HintMouseMessage):
//   - The hint control is the control under the mouse, or the nearest of
//     its parents, whose ShowHint is set; disabled controls count (a greyed
//     tool button still tells what it is). A control without hint text, or
//     Application->ShowHint() false, shows nothing.
//   - The mouse resting HintPause ms on a new hint control shows its hint
//     (HintShortPause ms while a hint was shown a moment ago), at the mouse
//     point and HintCursorHeight pixels below it, kept on the screen.
//   - The hint hides after HintHidePause ms, when the mouse leaves the
//     control, on a mouse button, a key, a wheel turn or when the program
//     is left; it does not come back until the mouse enters the control anew.
//   - CM_HINTSHOW goes to the control first (LParam a THintInfo*): it may
//     change the text, the place or the rectangle the mouse may move in, or
//     answer non-zero to show nothing.
// Timing follows the program's clock (TTestClock in tests).
#include <memory>

#include "platform/gui/controls.h"

// What CM_HINTSHOW offers the hint control (LParam).
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint CursorPos;      // in the hint control's client coordinates
  TRect CursorRect;      // the mouse may move here (client coordinates) without a new hint
  TPoint HintPos;        // screen point of the hint window's top-left
  Integer HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  String HintStr;
};

class THintWindow : public TCustomControl {
  KORVANE_CLASS(THintWindow, TCustomControl)
  explicit THintWindow(TComponent* AOwner);
  ~THintWindow() override;

  // The bounds (at 0, 0) that show AHint broken to at most MaxWidth pixels.
  virtual TRect CalcHintRect(Integer MaxWidth, const String& AHint);
  // Shows AHint in Rect (screen coordinates; moved back onto the screen
  // when it would stand past its edge) without activating.
  virtual void ActivateHint(TRect Rect, const String& AHint);
  // Hides the window (its handle stays for the next hint).
  void ReleaseHandle();
  // Shown now.
  bool Showing() const;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
};

// The pixels between the mouse point and the top of a hint below it: the
// height of the arrow cursor, which the hint must not cover.
inline constexpr Integer HintCursorHeight = 20;
// The widest a hint grows before its text breaks into lines.
inline constexpr Integer HintMaxWidthDefault = 300;

class TTimer;

class THintHandler {
public:
  THintHandler();
  ~THintHandler();
  THintHandler(const THintHandler&) = delete;
  THintHandler& operator=(const THintHandler&) = delete;

  // A mouse message of Control (client coordinates in LParam).
  void HintMouseMessage(TControl* Control, const TMessage& Message);
  // Hides the hint and forgets the hint control: the next hint waits for
  // the mouse to enter a control again.
  void CancelHint();
  // The control whose hint is pending or shown (nullptr: none).
  TControl* HintControl() const { return FHintControl; }
  // The window that shows the hints (nullptr before the first one).
  THintWindow* HintWindow() const { return FHintWindow.get(); }
  bool HintShowing() const;

private:
  class TWatcher;
  enum class TTimerMode { None, Show, Hide };
  void StartTimer(Integer Interval, TTimerMode Mode);
  void TimerFired(TObject* Sender);
  void ActivateHint();
  void HideHint();
  void SetHintControl(TControl* Control);
  static LRESULT GetMessageHook(Integer Code, WPARAM WParam, LPARAM LParam);

  std::unique_ptr<TWatcher> FWatcher;  // forgets a hint control that is freed
  std::unique_ptr<TTimer> FTimer;
  std::unique_ptr<THintWindow> FHintWindow;
  TControl* FHintControl = nullptr;
  TRect FCursorRect;          // screen coordinates
  bool FHintDone = false;     // the hint of FHintControl was shown and went: not again until re-entered
  DWORD FLastHintTime = 0;    // when a hint was last shown or hidden (the short pause)
  TTimerMode FTimerMode = TTimerMode::None;
  std::uintptr_t FHook = 0;   // the get-message hook while a hint shows
};
