#pragma once
// The window system the controls stand on: windows named by handles, one
// message queue, one dispatcher, focus, capture, cursors and the keyboard
// state. Controls (controls.h) create their windows here; other code may
// create plain windows with a window procedure of its own (AllocateHWnd).
//
// Every message that reaches a window procedure goes through the dispatcher:
// the thread hooks (hooks.h) first, then the window's procedure. Input and
// posted messages wait in the queue; SendMessage calls at once. Exceptions
// thrown by a window procedure called from the event loop are handed to
// Application->HandleException (controls catch them in their MainWndProc
// also under SendMessage, so a handler's error never unwinds into the
// sender).
#include <vector>

#include "platform/gui/graphics.h"
#include "platform/gui/messages.h"
#include "platform/gui/regions.h"
#include "platform/rtl/events.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

class TBitmap;

using TWndMethod = TEvent<void(TMessage& Message)>;

// ---- Styles ------------------------------------------------------------------------------

enum : Cardinal {
  WS_OVERLAPPED = 0x00000000, WS_MAXIMIZEBOX = 0x00010000, WS_MINIMIZEBOX = 0x00020000,
  WS_TABSTOP = 0x00010000, WS_GROUP = 0x00020000, WS_THICKFRAME = 0x00040000, WS_SYSMENU = 0x00080000,
  WS_HSCROLL = 0x00100000, WS_VSCROLL = 0x00200000, WS_DLGFRAME = 0x00400000, WS_BORDER = 0x00800000,
  WS_CAPTION = 0x00C00000, WS_MAXIMIZE = 0x01000000, WS_CLIPCHILDREN = 0x02000000,
  WS_CLIPSIBLINGS = 0x04000000, WS_DISABLED = 0x08000000, WS_VISIBLE = 0x10000000,
  WS_MINIMIZE = 0x20000000, WS_CHILD = 0x40000000, WS_POPUP = 0x80000000,
  WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
};
enum : Cardinal {
  WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_TOPMOST = 0x00000008, WS_EX_TRANSPARENT = 0x00000020,
  WS_EX_MDICHILD = 0x00000040, WS_EX_TOOLWINDOW = 0x00000080, WS_EX_WINDOWEDGE = 0x00000100,
  WS_EX_CLIENTEDGE = 0x00000200, WS_EX_STATICEDGE = 0x00020000, WS_EX_APPWINDOW = 0x00040000,
  WS_EX_LAYERED = 0x00080000, WS_EX_NOACTIVATE = 0x08000000,
};
// Window-class styles.
enum : Cardinal { CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8, CS_SAVEBITS = 0x800 };

// What a window is made from.
struct TCreateParams {
  String Caption;
  Cardinal Style = 0;
  Cardinal ExStyle = 0;
  Integer X = 0, Y = 0, Width = 0, Height = 0;  // parent client coordinates (screen for top-level)
  HWND WndParent = 0;  // the parent (child windows) or the owner (top-level windows)
  Cardinal ClassStyle = CS_DBLCLKS;
  String WinClassName;
};

// ---- Windows -----------------------------------------------------------------------------

// Creates a window whose messages go to Proc. A child window (WS_CHILD)
// lives inside WndParent's client area; others are top-level. It starts
// hidden unless the style has WS_VISIBLE. Sends WM_NCCALCSIZE and WM_CREATE.
// Created (when given) receives the handle before the first message is sent.
HWND CreateWindowHandle(const TCreateParams& Params, TWndMethod Proc, HWND* Created = nullptr);
// Sends WM_DESTROY to the window and its children (children first), then
// frees them. False for a handle that names no window.
bool DestroyWindow(HWND Wnd);
bool IsWindow(HWND Wnd);
// A hidden top-level window that hands every message to Method.
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);
// Replaces the window procedure; answers the old one.
TWndMethod SetWindowProc(HWND Wnd, TWndMethod Proc);
TWndMethod GetWindowProc(HWND Wnd);

// The default handling of a message no window procedure took (frame,
// hit-testing, cursor, context menu and wheel passed to the parent, ...).
LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
void DefWindowProc(HWND Wnd, TMessage& Message);

HWND GetParent(HWND Wnd);
// Moves a child window into another parent (0 makes it top-level).
HWND SetParent(HWND Wnd, HWND NewParent);
bool IsChild(HWND Parent, HWND Wnd);  // Wnd lies (at any depth) inside Parent
// The top-level window that holds Wnd (Wnd itself when top-level).
HWND GetAncestorRoot(HWND Wnd);
Cardinal GetWindowStyle(HWND Wnd);
Cardinal GetWindowExStyle(HWND Wnd);
void SetWindowStyle(HWND Wnd, Cardinal Style);
void SetWindowExStyle(HWND Wnd, Cardinal ExStyle);
// Child windows in z-order, the topmost first.
std::vector<HWND> GetChildWindows(HWND Parent);

enum : Integer { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_SHOWNOACTIVATE = 4,
                 SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWNA = 8, SW_RESTORE = 9 };
// Sends WM_SHOWWINDOW and WM_WINDOWPOSCHANGED on a change; answers whether
// the window was visible before. SW_SHOWMAXIMIZED has a top-level window
// maximised by the window manager (its title bar stays on the screen); the
// size the window manager gives comes back as a move and a WM_SIZE.
bool ShowWindow(HWND Wnd, Integer Cmd);
// The window and all its parents are shown.
bool IsWindowVisible(HWND Wnd);
bool EnableWindow(HWND Wnd, bool Enable);  // sends WM_ENABLE; answers whether it was disabled
bool IsWindowEnabled(HWND Wnd);

enum : UINT {
  SWP_NOSIZE = 0x1, SWP_NOMOVE = 0x2, SWP_NOZORDER = 0x4, SWP_NOREDRAW = 0x8, SWP_NOACTIVATE = 0x10,
  SWP_FRAMECHANGED = 0x20, SWP_SHOWWINDOW = 0x40, SWP_HIDEWINDOW = 0x80, SWP_NOOWNERZORDER = 0x200,
};
inline constexpr HWND HWND_TOP = 0;
inline constexpr HWND HWND_BOTTOM = 1;
inline constexpr HWND HWND_TOPMOST = static_cast<HWND>(-1);
inline constexpr HWND HWND_NOTOPMOST = static_cast<HWND>(-2);
// Moves, sizes, reorders, shows or hides. Sends WM_WINDOWPOSCHANGING,
// WM_NCCALCSIZE (size or frame changes), WM_WINDOWPOSCHANGED, WM_MOVE and
// WM_SIZE as they apply.
bool SetWindowPos(HWND Wnd, HWND InsertAfter, Integer X, Integer Y, Integer CX, Integer CY, UINT Flags);
bool MoveWindow(HWND Wnd, Integer X, Integer Y, Integer Width, Integer Height, bool Repaint = true);
bool BringWindowToTop(HWND Wnd);

// Window rectangle in screen coordinates.
bool GetWindowRect(HWND Wnd, TRect& Rect);
// The client area as (0, 0, width, height).
bool GetClientRect(HWND Wnd, TRect& Rect);
// The client area inside the window rectangle (window coordinates).
TRect GetClientArea(HWND Wnd);
bool ClientToScreen(HWND Wnd, TPoint& Point);
bool ScreenToClient(HWND Wnd, TPoint& Point);
// Maps points from one window's client coordinates to another's (0: screen).
void MapWindowPoints(HWND From, HWND To, TPoint* Points, Integer Count);
// The deepest visible, enabled-or-not window under a screen point (0: none).
HWND WindowFromPoint(const TPoint& ScreenPoint);

bool SetWindowText(HWND Wnd, const String& Text);
String GetWindowText(HWND Wnd);
// A region clips the window's shape (ownership passes to the window); 0 removes it.
bool SetWindowRgn(HWND Wnd, HRGN Rgn, bool Redraw);

// The title the window manager shows for a top-level window when it is not
// the window's text (a frame's title naming its maximised child); empty
// shows the text again. GetWindowText still answers the text.
void SetWindowTitle(HWND Wnd, const String& Title);

// What the window system was asked to show of a window; tests compare it
// with the window's own state (a hidden window must not be shown, a
// caption's buttons follow the style).
struct TNativeWindowState {
  bool Shown = false;       // the toolkit shows it (with its parents)
  bool Maximized = false;   // top-level: maximised by the window manager
  bool Frameless = false;   // top-level: no title bar
  bool CloseBox = false;    // top-level: the title bar buttons the window
  bool MinimizeBox = false; // manager is asked for (windowmanager.h)
  bool MaximizeBox = false;
  String Title;             // top-level: the title shown
};
TNativeWindowState GetNativeWindowState(HWND Wnd);

// ---- Painting ----------------------------------------------------------------------------
// Each window paints into its own back buffer (as large as the window), then
// the buffer is shown. WM_PAINT's WParam is a canvas (HDC) on the buffer,
// origin at the client area's top-left, clipped to the part being painted.
// WM_NCPAINT's WParam is a canvas on the whole buffer.

bool InvalidateRect(HWND Wnd, const TRect* Rect, bool Erase);  // client coordinates; nullptr: all
bool InvalidateRgn(HWND Wnd, HRGN Rgn, bool Erase);
bool ValidateRect(HWND Wnd, const TRect* Rect);
// The part still to be painted (client coordinates); false when none.
bool GetUpdateRect(HWND Wnd, TRect& Rect);
// Paints the invalid part now (WM_NCPAINT when the frame is invalid, then
// WM_ERASEBKGND and WM_PAINT), then shows the buffer.
bool UpdateWindow(HWND Wnd);
// Marks the frame invalid and repaints (RedrawWindow with the frame flag).
bool RedrawFrame(HWND Wnd);
// Whether painting of the window is turned off (WM_SETREDRAW 0).
bool IsRedrawLocked(HWND Wnd);
// A canvas on the window's buffer for drawing outside WM_PAINT (client
// origin); ReleaseDC shows what was drawn.
HDC GetDC(HWND Wnd);
HDC GetWindowDC(HWND Wnd);  // window origin (frame included)
Integer ReleaseDC(HWND Wnd, HDC DC);
// The window's back buffer (tests read pixels from it); nullptr before the
// first painting.
TBitmap* GetWindowBuffer(HWND Wnd);

// ---- The queue ---------------------------------------------------------------------------

enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1, PM_NOYIELD = 2 };

// Queues a message for the window; false when Wnd names no window (Wnd 0:
// a message of the thread, seen only by loops that ask for it). A message
// whose window is destroyed before it is taken out is dropped.
bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
bool PostThreadMessage(UINT Msg, WPARAM WParam, LPARAM LParam);
void PostQuitMessage(Integer ExitCode);
// Calls the window's procedure now (hooks first) and answers its Result;
// 0 for a handle that names no window.
LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// All windows live on one thread here: the same as SendMessage (answer
// ignored); false for a handle that names no window.
bool SendNotifyMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Sends a message to every top-level window (hidden ones included), as the
// system does with WM_SYSCOLORCHANGE and WM_SETTINGCHANGE; code that
// replaces the system colour or metrics table calls it to tell the windows.
void SendToTopLevelWindows(UINT Msg, WPARAM WParam, LPARAM LParam);
// Looks for a queued message of Wnd (0: any) in [Min, Max] (both 0: any),
// after handling pending window-system events; PM_REMOVE takes it out.
bool PeekMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max, UINT Remove);
// Waits for a message as PeekMessage with PM_REMOVE; false for WM_QUIT.
bool GetMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max);
// Turns a key-down into its characters (queued as WM_CHAR / WM_SYSCHAR).
bool TranslateMessage(const TMsg& Msg);
// Hands a queued message to its window (through the hooks).
LRESULT DispatchMessage(const TMsg& Msg);
// Takes every queued message of one number (for one window, or any when
// Wnd is 0) out of the queue; answers how many.
Integer RemoveMessages(HWND Wnd, UINT Msg);
// Number of queued messages (tests).
Integer QueuedMessageCount();
// Handles pending window-system events without waiting (the queue fills).
void PumpWindowSystemEvents();
// Handles window-system events, waiting up to TimeoutMs (or until something
// arrives when negative).
void WaitWindowSystemEvents(Integer TimeoutMs);

// While at least one scope is alive, input is only queued; otherwise input
// arriving from the window system is dispatched at once (the default loop).
class TQueueInputScope {
public:
  TQueueInputScope();
  ~TQueueInputScope();
  TQueueInputScope(const TQueueInputScope&) = delete;
  TQueueInputScope& operator=(const TQueueInputScope&) = delete;
};

// Queues WM_TIMER for a window timer unless one of that timer is still
// queued (timers use this; Proc is the timer procedure or 0).
void PostTimerMessage(HWND Wnd, WPARAM IdEvent, LPARAM Proc);

// Handles one queued message the way the main loop does: hooks, dialog and
// shortcut keys of the focused control (CN_KEYDOWN ...), translation of
// keys into characters, then dispatch. Answers false when the queue was
// empty. Quit messages are left to the caller (Msg tells them).
bool ProcessOneMessage(TMsg& Msg);

// Hands an exception caught at an entry from the window system to the
// application (Application->HandleException). Call from a catch block.
void HandleBoundaryException();

// ---- Focus, capture, activation -----------------------------------------------------------

// Gives the keyboard focus to the window: WM_KILLFOCUS to the old focus
// window, WM_SETFOCUS to the new one. Answers the previous focus window.
// A hidden or disabled window cannot take the focus (answers 0, nothing changes).
HWND SetFocus(HWND Wnd);
HWND GetFocus();
// The window a SetFocus call in progress is about to focus (0: none); a
// window being activated by it leaves the focus alone.
HWND PendingFocusWindow();
// Mouse input goes to the window until released. The window that loses the
// capture is sent WM_CAPTURECHANGED (LParam the new capture window).
HWND SetCapture(HWND Wnd);
bool ReleaseCapture();
HWND GetCapture();
// The active top-level window of the program (0 when the program is not
// active or no window is).
HWND GetActiveWindow();
HWND SetActiveWindow(HWND Wnd);
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND Wnd);
// Whether the program is the active application.
bool IsApplicationActive();
// The program became active or inactive (another program took over): top
// windows get WM_ACTIVATEAPP; focus and active window are kept.
void SetApplicationActive(bool Active);

// ---- Keyboard and mouse state -------------------------------------------------------------

// Bit 0x8000: down; bit 0x1: toggled (caps lock ...). As of the input
// taken so far.
SmallInt GetKeyState(Integer VirtualKey);
SmallInt GetAsyncKeyState(Integer VirtualKey);
void SetKeyState(Integer VirtualKey, bool Down);  // tests
bool GetCursorPos(TPoint& Point);
bool SetCursorPos(Integer X, Integer Y);
// The key flags of the current keyboard and mouse state (MK_*).
WPARAM CurrentMouseKeys();
void MessageBeep(Cardinal Type = 0);
// How often MessageBeep was called (tests).
Integer BeepCount();

// ---- Cursors -----------------------------------------------------------------------------
// A cursor is named by a handle; 0 is none.

using HCURSOR = std::uintptr_t;
enum : Integer {
  IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515, IDC_UPARROW = 32516,
  IDC_SIZENWSE = 32642, IDC_SIZENESW = 32643, IDC_SIZEWE = 32644, IDC_SIZENS = 32645, IDC_SIZEALL = 32646,
  IDC_NO = 32648, IDC_HAND = 32649, IDC_APPSTARTING = 32650, IDC_HELP = 32651,
  IDC_DRAG = 32700, IDC_NODROP = 32701, IDC_HSPLIT = 32702, IDC_VSPLIT = 32703, IDC_MULTIDRAG = 32704,
  IDC_SQLWAIT = 32705,
};
// A standard cursor (one of the IDC_ values); 0 for an unknown one.
HCURSOR LoadCursor(Integer Id);
// A cursor drawn by the program: pixels of Image whose Mask pixel is white
// (or, without a mask, of the image's transparent colour) are transparent.
HCURSOR CreateCursorFromBitmap(TBitmap* Image, TBitmap* Mask, Integer HotX, Integer HotY);
bool DestroyCursor(HCURSOR Cursor);
// Sets the shape of the mouse pointer over the window the mouse is in (or
// that holds the capture); answers the previous shape.
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
// The standard cursor id behind a handle (0 for drawn cursors; tests).
Integer CursorId(HCURSOR Cursor);

// ---- Monitors ----------------------------------------------------------------------------

// The screen rectangle and work area of the monitor nearest the point.
TRect MonitorRectAt(const TPoint& Point);
TRect MonitorWorkAreaAt(const TPoint& Point);
TRect DesktopWorkArea();
