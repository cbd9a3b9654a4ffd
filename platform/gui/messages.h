#pragma once
// Window messages: the record every window event travels in, the message
// numbers, and typed views that read a record's parameters by meaning.
//
// A window handle (HWND) is a number that names a window while it exists;
// 0 names none. Numbers are never reused, so a handle kept after its window
// died simply stops naming anything (IsWindow answers false, messages to it
// are dropped).
#include <cstdint>

#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT = Cardinal;
using DWORD = Cardinal;
using HWND = std::uintptr_t;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// A message as the queue holds it.
struct TMsg {
  HWND hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  TPoint pt;  // cursor position (screen) when the message was queued
  // Key-down messages from the keyboard: the characters the key types
  // (TranslateMessage queues them as WM_CHAR / WM_SYSCHAR).
  String Chars;
};

// ---- Packing helpers ----------------------------------------------------------------------

inline constexpr Word LOWORD(std::uintptr_t V) { return static_cast<Word>(V & 0xFFFF); }
inline constexpr Word HIWORD(std::uintptr_t V) { return static_cast<Word>((V >> 16) & 0xFFFF); }
inline constexpr LPARAM MAKELPARAM(Integer Lo, Integer Hi) {
  return static_cast<LPARAM>(static_cast<std::int32_t>((static_cast<Cardinal>(Lo) & 0xFFFF) |
                                                       ((static_cast<Cardinal>(Hi) & 0xFFFF) << 16)));
}
inline constexpr WPARAM MAKEWPARAM(Integer Lo, Integer Hi) {
  return static_cast<WPARAM>((static_cast<Cardinal>(Lo) & 0xFFFF) | ((static_cast<Cardinal>(Hi) & 0xFFFF) << 16));
}
// Signed coordinates packed into a parameter.
inline constexpr Integer GET_X_LPARAM(LPARAM V) { return static_cast<SmallInt>(V & 0xFFFF); }
inline constexpr Integer GET_Y_LPARAM(LPARAM V) { return static_cast<SmallInt>((V >> 16) & 0xFFFF); }
inline constexpr LPARAM PointToLParam(const TPoint& P) { return MAKELPARAM(P.X, P.Y); }
inline constexpr TPoint LParamToPoint(LPARAM V) { return TPoint{GET_X_LPARAM(V), GET_Y_LPARAM(V)}; }

// ---- Window messages ---------------------------------------------------------------------

enum : UINT {
  WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A,
  WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
  WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014, WM_SYSCOLORCHANGE = 0x0015,
  WM_SHOWWINDOW = 0x0018, WM_WININICHANGE = 0x001A, WM_SETTINGCHANGE = 0x001A, WM_ACTIVATEAPP = 0x001C,
  WM_TIMECHANGE = 0x001E, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020, WM_MOUSEACTIVATE = 0x0021,
  WM_GETMINMAXINFO = 0x0024, WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_WINDOWPOSCHANGING = 0x0046,
  WM_WINDOWPOSCHANGED = 0x0047, WM_CONTEXTMENU = 0x007B, WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082,
  WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086,
  WM_GETDLGCODE = 0x0087, WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2,
  WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5, WM_NCRBUTTONDBLCLK = 0x00A6,
  WM_NCMBUTTONDOWN = 0x00A7, WM_NCMBUTTONUP = 0x00A8, WM_NCMBUTTONDBLCLK = 0x00A9,
  WM_KEYFIRST = 0x0100, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_DEADCHAR = 0x0103,
  WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_KEYLAST = 0x0108,
  WM_IME_STARTCOMPOSITION = 0x010D, WM_IME_ENDCOMPOSITION = 0x010E, WM_IME_COMPOSITION = 0x010F,
  WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113,
  WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115, WM_INITMENUPOPUP = 0x0117,
  WM_CTLCOLORSCROLLBAR = 0x0137,
  WM_MOUSEFIRST = 0x0200, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206,
  WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A,
  WM_MOUSELAST = 0x020A, WM_PARENTNOTIFY = 0x0210, WM_ENTERMENULOOP = 0x0211, WM_EXITMENULOOP = 0x0212,
  WM_CAPTURECHANGED = 0x0215, WM_MDIACTIVATE = 0x0222,
  WM_IME_SETCONTEXT = 0x0281, WM_IME_NOTIFY = 0x0282, WM_IME_CHAR = 0x0286,
  WM_MOUSEHOVER = 0x02A1, WM_MOUSELEAVE = 0x02A3,
  WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304,
  WM_THEMECHANGED = 0x031A, WM_PRINT = 0x0317, WM_PRINTCLIENT = 0x0318,
  WM_USER = 0x0400, WM_APP = 0x8000,
};

// Edit control messages and notifications.
enum : UINT {
  EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3, EM_SETRECTNP = 0x00B4,
  EM_SCROLL = 0x00B5, EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7, EM_GETMODIFY = 0x00B8,
  EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB, EM_LINELENGTH = 0x00C1,
  EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4, EM_LIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7,
  EM_LINEFROMCHAR = 0x00C9, EM_SETREADONLY = 0x00CF, EM_GETFIRSTVISIBLELINE = 0x00CE,
  EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4, EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7,
};
enum : Word { EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
              EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602 };

// List box messages.
enum : UINT {
  LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182, LB_RESETCONTENT = 0x0184,
  LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186, LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188,
  LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B, LB_GETTOPINDEX = 0x018E,
  LB_GETSELCOUNT = 0x0190, LB_SETTOPINDEX = 0x0197, LB_GETITEMRECT = 0x0198, LB_SETCARETINDEX = 0x019E,
  LB_GETCARETINDEX = 0x019F, LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1,
  LB_SETHORIZONTALEXTENT = 0x0194, LB_GETHORIZONTALEXTENT = 0x0193, LB_ITEMFROMPOINT = 0x01A9,
};

// ---- The class library's component messages --------------------------------------------

enum : UINT {
  CM_BASE = 0xB000,
  CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2, CM_LOSTFOCUS = CM_BASE + 3,
  CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5, CM_DIALOGCHAR = CM_BASE + 6,
  CM_FOCUSCHANGED = CM_BASE + 7, CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
  CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11, CM_ENABLEDCHANGED = CM_BASE + 12,
  CM_COLORCHANGED = CM_BASE + 13, CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
  CM_CTL3DCHANGED = CM_BASE + 16, CM_PARENTCTL3DCHANGED = CM_BASE + 17, CM_TEXTCHANGED = CM_BASE + 18,
  CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20, CM_MENUCHANGED = CM_BASE + 21,
  CM_APPKEYDOWN = CM_BASE + 22, CM_APPSYSCOMMAND = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24,
  CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
  CM_DESIGNHITTEST = CM_BASE + 28, CM_ICONCHANGED = CM_BASE + 29, CM_WANTSPECIALKEY = CM_BASE + 30,
  CM_INVOKEHELP = CM_BASE + 31, CM_WINDOWHOOK = CM_BASE + 32, CM_RELEASE = CM_BASE + 33,
  CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35, CM_SYSCOLORCHANGE = CM_BASE + 36,
  CM_WININICHANGE = CM_BASE + 37, CM_FONTCHANGE = CM_BASE + 38, CM_TIMECHANGE = CM_BASE + 39,
  CM_TABSTOPCHANGED = CM_BASE + 40, CM_UIACTIVATE = CM_BASE + 41, CM_UIDEACTIVATE = CM_BASE + 42,
  CM_DOCWINDOWACTIVATE = CM_BASE + 43, CM_CONTROLLISTCHANGE = CM_BASE + 44, CM_GETDATALINK = CM_BASE + 45,
  CM_CHILDKEY = CM_BASE + 46, CM_DRAG = CM_BASE + 47, CM_HINTSHOW = CM_BASE + 48,
  CM_DIALOGHANDLE = CM_BASE + 49, CM_ISTOOLCONTROL = CM_BASE + 50, CM_RECREATEWND = CM_BASE + 51,
  CM_INVALIDATE = CM_BASE + 52, CM_SYSFONTCHANGED = CM_BASE + 53, CM_CONTROLCHANGE = CM_BASE + 54,
  CM_CHANGED = CM_BASE + 55, CM_DOCKCLIENT = CM_BASE + 56, CM_UNDOCKCLIENT = CM_BASE + 57,
  CM_FLOAT = CM_BASE + 58, CM_BORDERCHANGED = CM_BASE + 59, CM_BIDIMODECHANGED = CM_BASE + 60,
  CM_PARENTBIDIMODECHANGED = CM_BASE + 61, CM_ALLCHILDRENFLIPPED = CM_BASE + 62,
  CM_ACTIONUPDATE = CM_BASE + 63, CM_ACTIONEXECUTE = CM_BASE + 64, CM_HINTSHOWPAUSE = CM_BASE + 65,
  CM_DOCKNOTIFICATION = CM_BASE + 66, CM_MOUSEWHEEL = CM_BASE + 67, CM_ISSHORTCUT = CM_BASE + 68,
  // Sent by a closing form to its active control: a non-zero answer keeps
  // the form open (the control holds input it cannot give up).
  CM_CLOSEQUERY = CM_BASE + 69,
};

// Notifications reflected back to the control that caused them.
enum : UINT {
  CN_BASE = 0xBC00,
  CN_CHARTOITEM = CN_BASE + 0x002F, CN_COMMAND = CN_BASE + WM_COMMAND, CN_CTLCOLORSCROLLBAR = CN_BASE + 0x0137,
  CN_HSCROLL = CN_BASE + WM_HSCROLL, CN_VSCROLL = CN_BASE + WM_VSCROLL, CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
  CN_KEYUP = CN_BASE + WM_KEYUP, CN_CHAR = CN_BASE + WM_CHAR, CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
  CN_SYSCHAR = CN_BASE + WM_SYSCHAR, CN_SYSKEYUP = CN_BASE + WM_SYSKEYUP, CN_NOTIFY = CN_BASE + 0x004E,
};

// The component library's private messages.
enum : UINT {
  CXM_CLOSEPOPUP = 0x8065,          // posted: close a popup and give the focus back to its owner
  CXM_SHOWPOPUP = 0x8066,           // open a popup focusing the control whose window is in WParam
  CXM_DROPDOWN = 0x8067,            // an editor drops its popup down (sent to itself)
  CXM_PANNINGSTATE = 0x8068,
  CXM_EDITCHANGED = 0x806A,
  CXM_POPUPCHAR = 0x806B,           // a typed character forwarded to the popup window
  CXM_CLOSEUPEVENT = 0x806C,        // a lookup editor takes the popup's current item
  CXM_NCSIZECHANGED = 0x8131,       // system metrics changed
};

// ---- Parameter values --------------------------------------------------------------------

// Mouse-key flags (WParam of client mouse messages).
enum : WPARAM { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };

// WM_GETDLGCODE answers.
enum : LRESULT {
  DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_WANTMESSAGE = 0x4,
  DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10, DLGC_UNDEFPUSHBUTTON = 0x20, DLGC_RADIOBUTTON = 0x40,
  DLGC_WANTCHARS = 0x80, DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000,
};

// WM_NCHITTEST answers.
enum : LRESULT {
  HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
  HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8, HTMAXBUTTON = 9,
  HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15,
  HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20, HTHELP = 21,
};

// WM_ACTIVATE states.
enum : Word { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };
// WM_MOUSEACTIVATE answers.
enum : LRESULT { MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4 };
// WM_SIZE kinds.
enum : WPARAM { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };
// Scroll codes (WM_HSCROLL, WM_VSCROLL).
enum : Integer {
  SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
  SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
  SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8,
};
// Scroll-bar kinds.
enum : Integer { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };
// WM_SETTINGCHANGE values used here.
enum : WPARAM { SPI_GETWORKAREA = 48, SPI_SETNONCLIENTMETRICS = 42, SPI_GETWHEELSCROLLLINES = 104 };

// One wheel notch.
inline constexpr Integer WHEEL_DELTA = 120;

// Virtual-key codes.
enum : Word {
  VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08, VK_TAB = 0x09,
  VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13,
  VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
  VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SELECT = 0x29,
  VK_PRINT = 0x2A, VK_EXECUTE = 0x2B, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_HELP = 0x2F,
  VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D,
  VK_NUMPAD0 = 0x60, VK_NUMPAD1, VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD4, VK_NUMPAD5, VK_NUMPAD6, VK_NUMPAD7,
  VK_NUMPAD8, VK_NUMPAD9, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D,
  VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
  VK_F1 = 0x70, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9, VK_F10, VK_F11, VK_F12,
  VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2,
  VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_PROCESSKEY = 0xE5,
  VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE,
  VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
};

// Key-message LParam bits: bit 29 Alt held, bit 30 key was down, bit 31 released.
inline constexpr LPARAM KF_ALTDOWN_LPARAM = 0x20000000;

// ---- Typed views ---------------------------------------------------------------------------
// Each view reads and writes the record it was made from.

// Mouse messages: WParam key flags, LParam the point.
struct TWMMouse {
  TMessage& M;
  explicit TWMMouse(TMessage& AMessage) : M(AMessage) {}
  WPARAM Keys() const { return M.WParam; }
  Integer XPos() const { return GET_X_LPARAM(M.LParam); }
  Integer YPos() const { return GET_Y_LPARAM(M.LParam); }
  TPoint Pos() const { return LParamToPoint(M.LParam); }
  LRESULT& Result() { return M.Result; }
};
using TWMLButtonDown = TWMMouse;
using TWMMouseMove = TWMMouse;

// WM_MOUSEWHEEL: keys in the low word, delta in the high word of WParam;
// LParam the point in screen coordinates.
struct TWMMouseWheel {
  TMessage& M;
  explicit TWMMouseWheel(TMessage& AMessage) : M(AMessage) {}
  Word Keys() const { return LOWORD(M.WParam); }
  Integer WheelDelta() const { return static_cast<SmallInt>(HIWORD(M.WParam)); }
  Integer XPos() const { return GET_X_LPARAM(M.LParam); }
  Integer YPos() const { return GET_Y_LPARAM(M.LParam); }
  TPoint Pos() const { return LParamToPoint(M.LParam); }
  LRESULT& Result() { return M.Result; }
};

// Key and character messages: WParam the virtual key or character, LParam
// repeat count and flags.
struct TWMKey {
  TMessage& M;
  explicit TWMKey(TMessage& AMessage) : M(AMessage) {}
  Word CharCode() const { return static_cast<Word>(M.WParam); }
  void SetCharCode(Word Value) { M.WParam = Value; }
  LPARAM KeyData() const { return M.LParam; }
  bool AltDown() const { return (M.LParam & KF_ALTDOWN_LPARAM) != 0; }
  LRESULT& Result() { return M.Result; }
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;

// WM_SETFOCUS: WParam the window that lost the focus; WM_KILLFOCUS: the one
// that receives it (0 when none of ours).
struct TWMFocus {
  TMessage& M;
  explicit TWMFocus(TMessage& AMessage) : M(AMessage) {}
  HWND FocusedWnd() const { return static_cast<HWND>(M.WParam); }
};
using TWMSetFocus = TWMFocus;
using TWMKillFocus = TWMFocus;

struct TWMTimer {
  TMessage& M;
  explicit TWMTimer(TMessage& AMessage) : M(AMessage) {}
  WPARAM TimerID() const { return M.WParam; }
};

// WM_CONTEXTMENU: WParam the window, LParam the screen point, (-1, -1) when
// the keyboard asked.
struct TWMContextMenu {
  TMessage& M;
  explicit TWMContextMenu(TMessage& AMessage) : M(AMessage) {}
  HWND hWnd() const { return static_cast<HWND>(M.WParam); }
  TPoint Pos() const { return LParamToPoint(M.LParam); }
  Integer XPos() const { return GET_X_LPARAM(M.LParam); }
  Integer YPos() const { return GET_Y_LPARAM(M.LParam); }
  LRESULT& Result() { return M.Result; }
};

// WM_SETCURSOR: WParam the window under the mouse, LParam hit-test code and
// mouse message. A non-zero Result means the cursor was set.
struct TWMSetCursor {
  TMessage& M;
  explicit TWMSetCursor(TMessage& AMessage) : M(AMessage) {}
  HWND CursorWnd() const { return static_cast<HWND>(M.WParam); }
  SmallInt HitTest() const { return static_cast<SmallInt>(LOWORD(M.LParam)); }
  Word MouseMsg() const { return HIWORD(M.LParam); }
  LRESULT& Result() { return M.Result; }
};

// WM_NCHITTEST: LParam the screen point; Result the HT* code.
struct TWMNCHitTest {
  TMessage& M;
  explicit TWMNCHitTest(TMessage& AMessage) : M(AMessage) {}
  TPoint Pos() const { return LParamToPoint(M.LParam); }
  Integer XPos() const { return GET_X_LPARAM(M.LParam); }
  Integer YPos() const { return GET_Y_LPARAM(M.LParam); }
  LRESULT& Result() { return M.Result; }
};

// WM_NCCALCSIZE: LParam points to a TNCCalcSizeParams whose Rgrc[0] holds
// the window rectangle (parent client coordinates) on entry and the client
// rectangle on return.
struct TNCCalcSizeParams {
  TRect Rgrc[3];
};
struct TWMNCCalcSize {
  TMessage& M;
  explicit TWMNCCalcSize(TMessage& AMessage) : M(AMessage) {}
  bool CalcValidRects() const { return M.WParam != 0; }
  TNCCalcSizeParams* CalcSize_Params() const { return reinterpret_cast<TNCCalcSizeParams*>(M.LParam); }
  LRESULT& Result() { return M.Result; }
};

// WM_NCPAINT: WParam an HRGN to update (0: the whole frame).
// WM_PAINT / WM_ERASEBKGND: WParam a canvas handle (HDC) to draw on.
struct TWMPaint {
  TMessage& M;
  explicit TWMPaint(TMessage& AMessage) : M(AMessage) {}
  WPARAM DC() const { return M.WParam; }
  LRESULT& Result() { return M.Result; }
};
using TWMEraseBkgnd = TWMPaint;

// WM_GETDLGCODE: LParam points to the TMsg being asked about (or 0).
struct TWMGetDlgCode {
  TMessage& M;
  explicit TWMGetDlgCode(TMessage& AMessage) : M(AMessage) {}
  TMsg* Msg() const { return reinterpret_cast<TMsg*>(M.LParam); }
  LRESULT& Result() { return M.Result; }
};

// WM_ACTIVATE: low word of WParam the WA_* state, LParam the other window.
struct TWMActivate {
  TMessage& M;
  explicit TWMActivate(TMessage& AMessage) : M(AMessage) {}
  Word Active() const { return LOWORD(M.WParam); }
  bool Minimized() const { return HIWORD(M.WParam) != 0; }
  HWND ActiveWindow() const { return static_cast<HWND>(M.LParam); }
};
// WM_ACTIVATEAPP: WParam true when the program becomes active.
struct TWMActivateApp {
  TMessage& M;
  explicit TWMActivateApp(TMessage& AMessage) : M(AMessage) {}
  bool Active() const { return M.WParam != 0; }
};
// WM_NCACTIVATE: WParam true to draw the caption active.
using TWMNCActivate = TWMActivateApp;

// WM_CAPTURECHANGED: LParam the window that gains the capture (0: none).
struct TWMCaptureChanged {
  TMessage& M;
  explicit TWMCaptureChanged(TMessage& AMessage) : M(AMessage) {}
  HWND NewCapture() const { return static_cast<HWND>(M.LParam); }
};

// WM_SHOWWINDOW: WParam true when shown.
struct TWMShowWindow {
  TMessage& M;
  explicit TWMShowWindow(TMessage& AMessage) : M(AMessage) {}
  bool Show() const { return M.WParam != 0; }
};

// WM_WINDOWPOSCHANGING / WM_WINDOWPOSCHANGED: LParam points to a TWindowPos.
struct TWindowPos {
  HWND hwnd = 0;
  HWND hwndInsertAfter = 0;
  Integer x = 0, y = 0, cx = 0, cy = 0;
  UINT flags = 0;
};
struct TWMWindowPosMsg {
  TMessage& M;
  explicit TWMWindowPosMsg(TMessage& AMessage) : M(AMessage) {}
  TWindowPos* WindowPos() const { return reinterpret_cast<TWindowPos*>(M.LParam); }
};

// WM_SIZE: WParam the kind, LParam width and height of the client area.
struct TWMSize {
  TMessage& M;
  explicit TWMSize(TMessage& AMessage) : M(AMessage) {}
  WPARAM SizeType() const { return M.WParam; }
  Integer Width() const { return LOWORD(M.LParam); }
  Integer Height() const { return HIWORD(M.LParam); }
};

// WM_HSCROLL / WM_VSCROLL: low word the SB_ code, high word the position;
// LParam the scroll-bar window (0: the window's own bar).
struct TWMScroll {
  TMessage& M;
  explicit TWMScroll(TMessage& AMessage) : M(AMessage) {}
  Integer ScrollCode() const { return static_cast<SmallInt>(LOWORD(M.WParam)); }
  Integer Pos() const { return static_cast<SmallInt>(HIWORD(M.WParam)); }
  HWND ScrollBar() const { return static_cast<HWND>(M.LParam); }
  LRESULT& Result() { return M.Result; }
};

// CM_MOUSEENTER / CM_MOUSELEAVE: LParam the control (TControl*) concerned.
// CM_DIALOGKEY / CM_DIALOGCHAR / CM_CHILDKEY: WParam the key or character.
// CM_ENTER / CM_EXIT, CM_*CHANGED: no parameters.
