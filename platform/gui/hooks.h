#pragma once
// Thread hooks: functions that see messages before their windows do.
//
// Hooks of one kind form a chain, the last installed first. A hook receives
// the action code (HC_ACTION), the two parameters of its kind and passes the
// call on with CallNextHookEx. A non-zero answer from the chain swallows the
// message: the window never sees it (a swallowed sent message answers that
// value). A get-message hook may also rewrite the message; a message turned
// into WM_NULL is dropped.
//
//   WH_MOUSE:       WParam the mouse message, LParam a TMouseHookStruct*;
//                   for every mouse message taken from the queue.
//   WH_GETMESSAGE:  WParam PM_REMOVE, LParam a TMsg*; for every message
//                   taken from the queue.
//   WH_CALLWNDPROC: WParam 1 when sent by this program, LParam a TCWPStruct*;
//                   for every message handed to a window procedure.
#include <cstdint>

#include "platform/gui/messages.h"

enum : Integer { WH_GETMESSAGE = 3, WH_CALLWNDPROC = 4, WH_MOUSE = 7 };
enum : Integer { HC_ACTION = 0 };

using HHOOK = std::uintptr_t;
using THookProc = LRESULT (*)(Integer Code, WPARAM WParam, LPARAM LParam);

struct TMouseHookStruct {
  TPoint pt;  // screen coordinates
  HWND hwnd = 0;
  UINT wHitTestCode = 0;
  std::uintptr_t dwExtraInfo = 0;
};

struct TCWPStruct {
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = 0;
};

// Installs a hook at the head of its chain; 0 for an unknown kind or no proc.
HHOOK SetWindowsHookEx(Integer IdHook, THookProc Proc);
// Removes an installed hook (also while the chain is running); false for a
// handle that names none.
bool UnhookWindowsHookEx(HHOOK Hook);
// Calls the next hook after Hook in its chain; 0 at the end of the chain.
LRESULT CallNextHookEx(HHOOK Hook, Integer Code, WPARAM WParam, LPARAM LParam);
// Runs the chain of one kind from its head (the dispatcher does this).
LRESULT CallHookChain(Integer IdHook, Integer Code, WPARAM WParam, LPARAM LParam);
bool HasHooks(Integer IdHook);
