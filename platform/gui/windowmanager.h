#pragma once
// What the window manager is told about a top-level window: the buttons of
// its title bar and the actions it may take (move, size, minimise,
// maximise, restore, close), and the window's system menu, from which a
// form deletes the actions it does not want.
#include <vector>

#include "platform/gui/messages.h"

// ---- The system menu ----------------------------------------------------------------------
// A top-level window's system menu is what the window manager offers to do
// with the window. A new window's menu holds, from the top: restore, move,
// size, minimise, maximise, a separator and close. Deleting an item takes
// its action from the window manager: a window whose menu lacks maximise
// cannot be maximised and shows no maximise button. The style still decides
// which actions the window has at all (a dialog frame is never minimised).
// The menu belongs to the window: a window made anew has the whole menu.
enum TSystemCommand : Cardinal {
  SC_SEPARATOR = 0,  // the line between the window's actions and close
  SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060,
  SC_RESTORE = 0xF120,
};
// Deletes the item at Position (0 is the top); false when there is none.
bool DeleteSystemMenuPosition(HWND Wnd, Integer Position);
// Deletes the item of Command; false when the menu holds none.
bool DeleteSystemMenuCommand(HWND Wnd, TSystemCommand Command);
// The menu's items from the top (empty for a window that is not top-level).
std::vector<TSystemCommand> GetSystemMenuItems(HWND Wnd);

// The actions the window manager is allowed for a top-level window, from
// its style and its system menu (none for a child window).
enum TWindowAction : Cardinal {
  waMove = 0x1, waSize = 0x2, waMinimize = 0x4, waMaximize = 0x8, waRestore = 0x10, waClose = 0x20,
};
using TWindowActions = Cardinal;
TWindowActions GetWindowActions(HWND Wnd);

// What a top-level window asks of the window manager: its kind, whether it
// has a title bar, and exactly the title bar's buttons its style and
// actions name (no button the window manager would add by itself).
enum TWindowKind { wkNormal, wkDialog, wkTool };
struct TWindowManagerHints {
  TWindowKind Kind = wkNormal;
  bool Frameless = false;
  bool SystemMenu = false;
  bool CloseBox = false;
  bool MinimizeBox = false;
  bool MaximizeBox = false;
  bool StaysOnTop = false;
  bool NoActivate = false;
};
TWindowManagerHints WindowManagerHintsOf(Cardinal Style, Cardinal ExStyle, TWindowActions Actions);
