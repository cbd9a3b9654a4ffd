#pragma once
// Inside the platform's window system only (its .cpp files): the native
// widget behind a window handle, as an untyped pointer so this header stays
// free of the toolkit's headers.
#include "platform/gui/messages.h"

// The widget of the window (nullptr when Wnd names none).
void* NativeWidgetOf(HWND Wnd);
// Input arriving from the window system is queued, then (unless a loop
// collects it) handled at once.
void DrainQueueIfIdle();
// Drops a queued WM_TIMER of one timer.
void RemoveQueuedTimer(HWND Wnd, WPARAM IdEvent);
// The window the mouse is over (its cursor shape is the one SetCursor sets).
void SetCursorWindow(HWND Wnd);
void ForgetCursorWindow(HWND Wnd);
// While alive, input arriving from the window system is handled at once
// again, even inside a loop that collects it (the scripted input of a test
// run by a modal loop arrives as a user's would outside any loop).
class TImmediateInputScope {
public:
  TImmediateInputScope();
  ~TImmediateInputScope();
  TImmediateInputScope(const TImmediateInputScope&) = delete;
  TImmediateInputScope& operator=(const TImmediateInputScope&) = delete;

private:
  Integer FQueueScopes;
  bool FDraining;
};
