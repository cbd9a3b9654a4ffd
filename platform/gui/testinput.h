#pragma once
// Input for tests: events made as the window system would make them for a
// user's mouse, keyboard and input method, delivered to our windows (they
// then travel the same way as real input: queue, hooks, dispatch).
#include <functional>

#include "platform/gui/messages.h"
#include "platform/rtl/types.h"

enum : Integer { tbLeft = 0, tbRight = 1, tbMiddle = 2 };
// Modifier keys held during the event.
enum : Cardinal { tkShift = 0x1, tkCtrl = 0x2, tkAlt = 0x4 };

// Mouse at a point in Wnd's client coordinates (the point may lie in the
// window's frame when negative or beyond the client area).
void TestMousePress(HWND Wnd, const TPoint& Pos, Integer Button = tbLeft, Cardinal Modifiers = 0);
void TestMouseRelease(HWND Wnd, const TPoint& Pos, Integer Button = tbLeft, Cardinal Modifiers = 0);
// The second press of a double click (send after a press and a release).
void TestMouseDoublePress(HWND Wnd, const TPoint& Pos, Integer Button = tbLeft, Cardinal Modifiers = 0);
void TestMouseMove(HWND Wnd, const TPoint& Pos, Cardinal Modifiers = 0);
void TestClick(HWND Wnd, const TPoint& Pos, Integer Button = tbLeft, Cardinal Modifiers = 0);
// Press, release, second press, release.
void TestDoubleClick(HWND Wnd, const TPoint& Pos, Integer Button = tbLeft, Cardinal Modifiers = 0);
// Wheel notches (positive: away from the user) over Wnd.
void TestWheel(HWND Wnd, const TPoint& Pos, Integer Notches, Cardinal Modifiers = 0);
void TestMouseLeave(HWND Wnd);

// Keys go to the window with the focus. Text: what the key types ("" for
// none; control characters are made from the key when Text is empty).
void TestKeyPress(Word VirtualKey, const String& Text = u"", Cardinal Modifiers = 0);
void TestKeyRelease(Word VirtualKey, const String& Text = u"", Cardinal Modifiers = 0);
void TestKey(Word VirtualKey, const String& Text = u"", Cardinal Modifiers = 0);
// Each character as a key press and release; a character beyond ASCII that
// no key types (Chinese) as text committed by the input method.
void TestTypeText(const String& Text);
// Input method: the start of a composition (pre-edit text appears), then
// committed text.
void TestInputMethodPreedit(const String& Text);
void TestInputMethodCommit(const String& Text);

// Another program becomes active (false) or this one again (true).
void TestSetApplicationActive(bool Active);

// The window system reports that the system's regional settings changed.
void TestSystemSettingsChange();

// Modal loops. A popup menu holds its caller until it closes, so the
// user's part is queued before the call that opens it: each step runs
// once, in order, when a modal loop (TApplication::RunModalLoop) has run out
// of messages, inside that loop. A step that leaves its menu open lets the
// loop go on to the next step. A modal loop that runs out of messages and
// of steps where no user can answer it (in a program that has queued steps,
// or on the offscreen platform) ends as though dismissed, so that a test
// whose script falls short fails its checks instead of hanging.
void TestQueueModalStep(std::function<void()> Step);
// Steps queued and not run yet.
Integer TestPendingModalSteps();
// Drops the steps not run yet (a test's clean-up).
void TestClearModalSteps();

// For RunModalLoop: runs the next queued step, if any.
enum TModalTestStep : Integer {
  mtStepRun,         // a step ran
  mtNoStep,          // none queued: wait for the user
  mtNoInputCanCome,  // none queued and no user can answer: end the loop
};
TModalTestStep RunModalTestStep();
