// The window system over Qt widgets: one widget per window, the queue, the
// dispatcher, focus, capture, activation, painting into back buffers.
#include "platform/gui/windowing.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QStyleHints>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <deque>
#include <map>
#include <memory>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/hooks.h"
#include "platform/gui/keymap.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowmanager.h"
#include "platform/gui/windowsystem_internal.h"

namespace {

class TWindowWidget;

struct TWindowRec {
  HWND Handle = 0;
  TWndMethod Proc;
  QPointer<TWindowWidget> Widget;
  HWND Parent = 0;  // child windows
  HWND Owner = 0;   // top-level windows
  Cardinal Style = 0;
  Cardinal ExStyle = 0;
  Cardinal ClassStyle = 0;
  String Text;
  String Title;      // top-level: the title shown instead of Text (empty: Text)
  TRect Rect;        // parent client coordinates (screen for top-level)
  TRect ClientArea;  // window coordinates
  bool Visible = false;
  bool Enabled = true;
  bool Destroying = false;
  bool RedrawOff = false;
  bool FrameInvalid = true;
  bool ClientInvalid = true;
  TRect UpdateRect;  // client coordinates, valid while ClientInvalid
  std::unique_ptr<TBitmap> Buffer;
  HRGN WindowRgn = nullptr;
  std::vector<HWND> Children;  // z-order, topmost first
  HCURSOR Cursor = 0;
  std::vector<TSystemCommand> SystemMenu;  // top-level: the window manager's menu of the window
};

std::map<HWND, std::unique_ptr<TWindowRec>> GWindows;
std::vector<HWND> GTopLevels;  // z-order, front first
HWND GNextHandle = 0x10000;
std::deque<TMsg> GQueue;
Integer GQueueScopes = 0;
bool GWakePending = false;
bool GDraining = false;
HWND GFocus = 0;
HWND GCapture = 0;
HWND GActive = 0;
HWND GSettingFocus = 0;
bool GAppActive = true;
bool GComposing = false;
TPoint GCursorPos;
bool GCursorPosKnown = false;
Integer GBeeps = 0;
std::map<HDC, HWND> GWindowDCs;
SmallInt GKeyState[256] = {};

// A new top-level window's system menu, from the top.
const std::vector<TSystemCommand> DefaultSystemMenu = {SC_RESTORE,  SC_MOVE,      SC_SIZE, SC_MINIMIZE,
                                                       SC_MAXIMIZE, SC_SEPARATOR, SC_CLOSE};

TWindowRec* Find(HWND Wnd) {
  if (!Wnd) return nullptr;
  auto it = GWindows.find(Wnd);
  return it == GWindows.end() ? nullptr : it->second.get();
}

TRect ClientRectOf(const TWindowRec& R) {
  return TRect{0, 0, R.ClientArea.Right - R.ClientArea.Left, R.ClientArea.Bottom - R.ClientArea.Top};
}

Integer WidthOf(const TRect& R) { return R.Right - R.Left; }
Integer HeightOf(const TRect& R) { return R.Bottom - R.Top; }

// Screen position of a window's top-left corner.
TPoint WindowOrigin(const TWindowRec& R) {
  if (!R.Parent) return TPoint{R.Rect.Left, R.Rect.Top};
  TWindowRec* p = Find(R.Parent);
  if (!p) return TPoint{R.Rect.Left, R.Rect.Top};
  TPoint o = WindowOrigin(*p);
  return TPoint{o.X + p->ClientArea.Left + R.Rect.Left, o.Y + p->ClientArea.Top + R.Rect.Top};
}

TPoint ClientOriginOf(const TWindowRec& R) {
  TPoint o = WindowOrigin(R);
  return TPoint{o.X + R.ClientArea.Left, o.Y + R.ClientArea.Top};
}

bool IsInside(HWND Parent, HWND Wnd) {
  for (TWindowRec* r = Find(Wnd); r; r = Find(r->Parent))
    if (r->Handle == Parent) return true;
  return false;
}


// The headless platform has no stacking order and no grabs.
bool Headless() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }
TPoint FromQ(const QPoint& P) { return TPoint{P.x(), P.y()}; }

void RememberCursorPos(const TPoint& P) {
  GCursorPos = P;
  GCursorPosKnown = true;
}

// ---- Keys --------------------------------------------------------------------------------

void SetKeyDown(Integer Vk, bool Down) {
  if (Vk <= 0 || Vk > 255) return;
  SmallInt& k = GKeyState[Vk];
  if (Down) {
    if (!(k & 0x8000)) k = static_cast<SmallInt>(k ^ 1);  // toggles on each press
    k = static_cast<SmallInt>(k | static_cast<SmallInt>(0x8000));
  } else {
    k = static_cast<SmallInt>(k & 1);
  }
}

void SyncModifiers(Qt::KeyboardModifiers Mods) {
  SetKeyDown(VK_SHIFT, (Mods & Qt::ShiftModifier) != 0);
  SetKeyDown(VK_CONTROL, (Mods & Qt::ControlModifier) != 0);
  SetKeyDown(VK_MENU, (Mods & Qt::AltModifier) != 0);
}

void SyncButtons(Qt::MouseButtons Buttons) {
  SetKeyDown(VK_LBUTTON, (Buttons & Qt::LeftButton) != 0);
  SetKeyDown(VK_RBUTTON, (Buttons & Qt::RightButton) != 0);
  SetKeyDown(VK_MBUTTON, (Buttons & Qt::MiddleButton) != 0);
}

WPARAM KeysOf(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Mods) {
  WPARAM k = 0;
  if (Buttons & Qt::LeftButton) k |= MK_LBUTTON;
  if (Buttons & Qt::RightButton) k |= MK_RBUTTON;
  if (Buttons & Qt::MiddleButton) k |= MK_MBUTTON;
  if (Mods & Qt::ShiftModifier) k |= MK_SHIFT;
  if (Mods & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

// ---- Queue -------------------------------------------------------------------------------

class TWakeObject : public QObject {
public:
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    GWakePending = false;
    DrainQueueIfIdle();
    return true;
  }
};

TWakeObject* WakeObject() {
  static TWakeObject* obj = nullptr;
  if (!obj) obj = new TWakeObject;  // lives as long as the process
  return obj;
}

void Wake() {
  if (GWakePending || !QCoreApplication::instance()) return;
  GWakePending = true;
  QCoreApplication::postEvent(WakeObject(), new QEvent(QEvent::User));
}

void Enqueue(TMsg Msg) {
  Msg.time = GetTickCount();
  if (Msg.pt.X == 0 && Msg.pt.Y == 0) GetCursorPos(Msg.pt);
  GQueue.push_back(std::move(Msg));
}

// Input from the window system: queued, then handled unless a loop collects it.
void QueueInput(TMsg Msg) {
  Enqueue(std::move(Msg));
  DrainQueueIfIdle();
}

bool Matches(const TMsg& M, HWND Wnd, UINT Min, UINT Max) {
  if (Wnd && M.hwnd != Wnd && !IsInside(Wnd, M.hwnd)) return false;
  if (Min == 0 && Max == 0) return true;
  return M.message >= Min && M.message <= Max;
}

bool IsMouseMessage(UINT M) {
  return (M >= WM_MOUSEFIRST && M <= WM_MOUSELAST) || (M >= WM_NCMOUSEMOVE && M <= WM_NCMBUTTONDBLCLK);
}

// Takes the first matching message out of the queue, running the
// get-message and mouse hooks; messages to dead windows and swallowed ones
// are skipped.
bool TakeMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max, bool SkipQuit) {
  for (;;) {
    auto it = std::find_if(GQueue.begin(), GQueue.end(), [&](const TMsg& m) {
      return Matches(m, Wnd, Min, Max) && !(SkipQuit && m.message == WM_QUIT);
    });
    if (it == GQueue.end()) return false;
    Msg = std::move(*it);
    GQueue.erase(it);
    if (Msg.hwnd && !Find(Msg.hwnd)) continue;  // its window died meanwhile
    if (HasHooks(WH_GETMESSAGE)) {
      if (CallHookChain(WH_GETMESSAGE, HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&Msg)) != 0) continue;
      if (Msg.message == WM_NULL) continue;
    }
    if (IsMouseMessage(Msg.message) && HasHooks(WH_MOUSE)) {
      TMouseHookStruct mh;
      mh.pt = Msg.pt;
      mh.hwnd = Msg.hwnd;
      mh.wHitTestCode = Msg.message >= WM_MOUSEFIRST ? static_cast<UINT>(HTCLIENT) : static_cast<UINT>(Msg.wParam);
      if (CallHookChain(WH_MOUSE, HC_ACTION, Msg.message, reinterpret_cast<LPARAM>(&mh)) != 0) continue;
    }
    return true;
  }
}

bool IsKeyMessage(UINT M) { return M >= WM_KEYFIRST && M <= WM_KEYLAST; }

// The control's own look at a key before it is translated and dispatched
// (dialog keys, shortcuts, dialog characters): a non-zero answer eats it.
bool PreTranslate(const TMsg& Msg) {
  if (!IsKeyMessage(Msg.message) || !Msg.hwnd) return false;
  if (Msg.message != WM_KEYDOWN && Msg.message != WM_KEYUP && Msg.message != WM_CHAR &&
      Msg.message != WM_SYSKEYDOWN && Msg.message != WM_SYSCHAR && Msg.message != WM_SYSKEYUP)
    return false;
  return SendMessage(Msg.hwnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

// ---- Painting ----------------------------------------------------------------------------

TBitmap* EnsureBuffer(TWindowRec& R) {
  Integer w = std::max<Integer>(1, WidthOf(R.Rect)), h = std::max<Integer>(1, HeightOf(R.Rect));
  if (!R.Buffer) {
    R.Buffer = std::make_unique<TBitmap>(w, h, pf32bit);
  } else if (R.Buffer->Width() != w || R.Buffer->Height() != h) {
    R.Buffer->SetSize(w, h);
  }
  return R.Buffer.get();
}

void ShowBuffer(TWindowRec& R);

// Paints what is invalid into the buffer (no showing).
void PaintInvalid(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r || r->RedrawOff || r->Destroying) return;
  if (!r->FrameInvalid && !r->ClientInvalid) return;
  TBitmap* buf = EnsureBuffer(*r);
  if (r->FrameInvalid) {
    r->FrameInvalid = false;
    if (r->ClientArea.Left > 0 || r->ClientArea.Top > 0 || r->ClientArea.Right < WidthOf(r->Rect) ||
        r->ClientArea.Bottom < HeightOf(r->Rect)) {
      TCanvas dc(buf);
      SendMessage(Wnd, WM_NCPAINT, reinterpret_cast<WPARAM>(&dc), 0);
      if (!(r = Find(Wnd))) return;
    }
  }
  if (r->ClientInvalid) {
    TRect upd = r->UpdateRect;
    r->ClientInvalid = false;
    TRect cr = ClientRectOf(*r);
    IntersectRect(upd, upd, cr);
    if (!IsRectEmpty(upd)) {
      TCanvas dc(buf);
      SetViewportOrgEx(&dc, r->ClientArea.Left, r->ClientArea.Top, nullptr);
      IntersectClipRect(&dc, upd.Left, upd.Top, upd.Right, upd.Bottom);
      SendMessage(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0);
      if (!Find(Wnd)) return;
      SendMessage(Wnd, WM_PAINT, reinterpret_cast<WPARAM>(&dc), 0);
    }
  }
}

// ---- The widget --------------------------------------------------------------------------

class TWindowWidget : public QWidget {
public:
  TWindowWidget(HWND AHandle, QWidget* AParent, Qt::WindowFlags Flags) : QWidget(AParent, Flags), FHandle(AHandle) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAttribute(Qt::WA_NoSystemBackground, true);
  }
  HWND Handle() const { return FHandle; }

protected:
  bool event(QEvent* e) override {
    try {
      return HandleEvent(e);
    } catch (...) {
      HandleBoundaryException();
      return true;
    }
  }
  QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override {
    if (Query == Qt::ImEnabled) return true;
    return QWidget::inputMethodQuery(Query);
  }

private:
  bool HandleEvent(QEvent* e);
  void Mouse(QMouseEvent* e, bool Double);
  void Wheel(QWheelEvent* e);
  void Key(QKeyEvent* e, bool Down);
  // Each UTF-16 unit of Text as a character message to Target (control
  // characters left out when PrintableOnly).
  void QueueChars(HWND Target, const QString& Text, bool PrintableOnly);
  void QueueTypedText(const QString& Text, Qt::KeyboardModifiers Modifiers);
  void InputMethod(QInputMethodEvent* e);
  void Paint();
  void GeometryChanged();

  HWND FHandle;
};

void ShowBuffer(TWindowRec& R) {
  if (R.Widget) R.Widget->update();
}

UINT ButtonMessage(Qt::MouseButton B, QEvent::Type T, bool DoubleClicks) {
  Integer base = B == Qt::RightButton ? WM_RBUTTONDOWN : B == Qt::MiddleButton ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
  if (T == QEvent::MouseButtonRelease) return static_cast<UINT>(base + 1);
  if (T == QEvent::MouseButtonDblClick && DoubleClicks) return static_cast<UINT>(base + 2);
  return static_cast<UINT>(base);
}

bool TWindowWidget::HandleEvent(QEvent* e) {
  TWindowRec* r = Find(FHandle);
  if (!r) return QWidget::event(e);
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
      Mouse(static_cast<QMouseEvent*>(e), false);
      return true;
    case QEvent::MouseButtonDblClick:
      Mouse(static_cast<QMouseEvent*>(e), true);
      return true;
    case QEvent::Wheel:
      Wheel(static_cast<QWheelEvent*>(e));
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      Key(static_cast<QKeyEvent*>(e), e->type() == QEvent::KeyPress);
      return true;
    case QEvent::ShortcutOverride:
      e->accept();
      return true;
    case QEvent::InputMethod:
      InputMethod(static_cast<QInputMethodEvent*>(e));
      return true;
    case QEvent::Paint:
      Paint();
      return true;
    case QEvent::Leave: {
      TMsg m;
      m.hwnd = FHandle;
      m.message = WM_MOUSELEAVE;
      QueueInput(m);
      return true;
    }
    case QEvent::Close:
      e->ignore();
      if (!r->Parent) PostMessage(FHandle, WM_CLOSE, 0, 0);
      return true;
    case QEvent::WindowActivate:
      if (r->Parent || !GAppActive || (r->ExStyle & WS_EX_NOACTIVATE) || !r->Visible || GActive == FHandle) return true;
      if (!r->Enabled) {
        // A disabled window (the owner of a modal form) does not take activation.
        if (TWindowRec* a = Find(GActive); a && a->Widget && !Headless()) a->Widget->activateWindow();
        return true;
      }
      SetActiveWindow(FHandle);
      return true;
    case QEvent::Resize:
    case QEvent::Move:
      if (!r->Parent && isWindow()) GeometryChanged();
      return true;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      return true;  // the program keeps its own focus
    default:
      return QWidget::event(e);
  }
}

void TWindowWidget::Mouse(QMouseEvent* e, bool Double) {
  SyncModifiers(e->modifiers());
  SyncButtons(e->buttons());
  TPoint screen = FromQ(e->globalPosition().toPoint());
  RememberCursorPos(screen);
  TWindowRec* r = Find(FHandle);
  if (!r) return;
  TMsg m;
  m.pt = screen;
  WPARAM keys = KeysOf(e->buttons(), e->modifiers());
  HWND target = FHandle;
  bool isMove = e->type() == QEvent::MouseMove;
  bool isDown = e->type() == QEvent::MouseButtonPress || Double;
  if (GCapture && Find(GCapture)) {
    target = GCapture;
    TWindowRec* c = Find(GCapture);
    TPoint co = ClientOriginOf(*c);
    m.hwnd = target;
    m.message = isMove ? WM_MOUSEMOVE : ButtonMessage(e->button(), e->type(), (c->ClassStyle & CS_DBLCLKS) != 0);
    m.wParam = keys;
    m.lParam = MAKELPARAM(screen.X - co.X, screen.Y - co.Y);
    QueueInput(m);
    return;
  }
  if (!IsWindowEnabled(target)) {
    if (isDown) MessageBeep();
    return;
  }
  LRESULT ht = SendMessage(target, WM_NCHITTEST, 0, PointToLParam(screen));
  if (!(r = Find(target))) return;
  UINT cm = isMove ? WM_MOUSEMOVE : ButtonMessage(e->button(), e->type(), (r->ClassStyle & CS_DBLCLKS) != 0);
  if (isMove || isDown) {
    SetCursorWindow(target);
    SendMessage(target, WM_SETCURSOR, target, MAKELPARAM(static_cast<Integer>(ht), static_cast<Integer>(cm)));
    if (!(r = Find(target))) return;
  }
  m.hwnd = target;
  if (ht == HTCLIENT || ht == HTNOWHERE || ht == HTTRANSPARENT) {
    TPoint co = ClientOriginOf(*r);
    m.message = cm;
    m.wParam = keys;
    m.lParam = MAKELPARAM(screen.X - co.X, screen.Y - co.Y);
  } else {
    m.message = cm - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
    m.wParam = static_cast<WPARAM>(ht);
    m.lParam = PointToLParam(screen);
  }
  QueueInput(m);
}

void TWindowWidget::Wheel(QWheelEvent* e) {
  SyncModifiers(e->modifiers());
  TPoint screen = FromQ(e->globalPosition().toPoint());
  RememberCursorPos(screen);
  Integer delta = e->angleDelta().y();
  if (delta == 0) delta = e->angleDelta().x();
  if (delta == 0) return;
  TMsg m;
  m.hwnd = (GFocus && Find(GFocus)) ? GFocus : FHandle;
  m.message = WM_MOUSEWHEEL;
  m.wParam = MAKEWPARAM(static_cast<Integer>(KeysOf(e->buttons(), e->modifiers())), delta);
  m.lParam = PointToLParam(screen);
  m.pt = screen;
  QueueInput(m);
}

void TWindowWidget::Key(QKeyEvent* e, bool Down) {
  Word vk = VirtualKeyOfToolkitKey(e->key(), (e->modifiers() & Qt::KeypadModifier) != 0);
  if (!vk) {
    // A key of a layout with no key code of its own (Greek, Cyrillic typed
    // without an input method) still types its text.
    if (Down) QueueTypedText(e->text(), e->modifiers());
    return;
  }
  SyncModifiers(e->modifiers());
  SetKeyDown(vk, Down);  // after: a modifier key's own event reports its state flipped
  bool alt = (e->modifiers() & Qt::AltModifier) != 0;
  bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
  TMsg m;
  m.hwnd = (GFocus && Find(GFocus)) ? GFocus : (GActive && Find(GActive)) ? GActive : FHandle;
  bool sys = (alt && !ctrl) || vk == VK_F10;
  m.message = Down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  m.wParam = vk;
  LPARAM lp = 1;
  if (alt) lp |= KF_ALTDOWN_LPARAM;
  if (e->isAutoRepeat() || !Down) lp |= 0x40000000;
  if (!Down) lp |= static_cast<LPARAM>(0x80000000u);
  m.lParam = lp;
  if (Down) {
    QString t = e->text();
    m.Chars = CharactersOfKey(vk, String(reinterpret_cast<const Char*>(t.utf16()), static_cast<size_t>(t.size())), ctrl);
  }
  QueueInput(m);
}

void TWindowWidget::QueueChars(HWND Target, const QString& Text, bool PrintableOnly) {
  for (QChar c : Text) {
    if (PrintableOnly && (c.unicode() < 0x20 || c.unicode() == 0x7F)) continue;
    TMsg m;
    m.hwnd = Target;
    m.message = WM_CHAR;
    m.wParam = c.unicode();
    m.lParam = 1;
    QueueInput(m);
  }
}

void TWindowWidget::QueueTypedText(const QString& Text, Qt::KeyboardModifiers Modifiers) {
  if ((Modifiers & Qt::ControlModifier) || (Modifiers & Qt::AltModifier)) return;
  QueueChars((GFocus && Find(GFocus)) ? GFocus : (GActive && Find(GActive)) ? GActive : FHandle, Text, true);
}

void TWindowWidget::InputMethod(QInputMethodEvent* e) {
  HWND target = (GFocus && Find(GFocus)) ? GFocus : FHandle;
  if (!e->preeditString().isEmpty() && !GComposing) {
    GComposing = true;
    TMsg m;
    m.hwnd = target;
    m.message = WM_IME_STARTCOMPOSITION;
    QueueInput(m);
  }
  QueueChars(target, e->commitString(), false);
  if (e->preeditString().isEmpty() && GComposing) {
    GComposing = false;
    TMsg m;
    m.hwnd = target;
    m.message = WM_IME_ENDCOMPOSITION;
    QueueInput(m);
  }
}

void TWindowWidget::Paint() {
  PaintInvalid(FHandle);
  TWindowRec* r = Find(FHandle);
  if (!r || !r->Buffer) return;
  Integer stride = 0;
  const Cardinal* px = r->Buffer->PixelData(stride);
  if (!px) return;
  QImage img(reinterpret_cast<const uchar*>(px), r->Buffer->Width(), r->Buffer->Height(), stride,
             QImage::Format_RGB32);
  QPainter p(this);
  p.drawImage(0, 0, img);
}

void TWindowWidget::GeometryChanged() {
  TWindowRec* r = Find(FHandle);
  if (!r) return;
  QRect g = geometry();
  TRect nr{g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
  if (nr == r->Rect) return;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (nr.Left == r->Rect.Left && nr.Top == r->Rect.Top) flags |= SWP_NOMOVE;
  if (WidthOf(nr) == WidthOf(r->Rect) && HeightOf(nr) == HeightOf(r->Rect)) flags |= SWP_NOSIZE;
  SetWindowPos(FHandle, 0, nr.Left, nr.Top, WidthOf(nr), HeightOf(nr), flags);
}

// ---- Geometry and creation helpers -------------------------------------------------------

void ApplyGeometry(TWindowRec& R) {
  if (!R.Widget) return;
  if (!R.Parent) {
    const int w = std::max(1, WidthOf(R.Rect)), h = std::max(1, HeightOf(R.Rect));
    // A title bar without a sizing frame: the window manager offers
    // neither sizing nor maximising.
    if ((R.Style & WS_CAPTION) == WS_CAPTION && !(R.Style & WS_THICKFRAME)) R.Widget->setFixedSize(w, h);
    R.Widget->setGeometry(R.Rect.Left, R.Rect.Top, w, h);
    return;
  }
  TWindowRec* p = Find(R.Parent);
  TPoint o = p ? TPoint{p->ClientArea.Left, p->ClientArea.Top} : TPoint{};
  R.Widget->setGeometry(o.X + R.Rect.Left, o.Y + R.Rect.Top, std::max(0, WidthOf(R.Rect)),
                        std::max(0, HeightOf(R.Rect)));
}

void ApplyChildrenGeometry(TWindowRec& R) {
  for (HWND c : R.Children)
    if (TWindowRec* cr = Find(c)) ApplyGeometry(*cr);
}

void ApplyMask(TWindowRec& R) {
  if (!R.Widget) return;
  if (!R.WindowRgn) {
    R.Widget->clearMask();
    return;
  }
  QRegion q;
  for (const TRect& t : GetRegionRects(R.WindowRgn)) q += QRect(t.Left, t.Top, WidthOf(t), HeightOf(t));
  R.Widget->setMask(q);
}

// Sends WM_NCCALCSIZE and takes the client area it answers.
void RecalcClientArea(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r) return;
  TNCCalcSizeParams p;
  p.Rgrc[0] = r->Rect;
  SendMessage(Wnd, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&p));
  if (!(r = Find(Wnd))) return;
  TRect c = p.Rgrc[0];
  r->ClientArea = TRect{c.Left - r->Rect.Left, c.Top - r->Rect.Top, c.Right - r->Rect.Left, c.Bottom - r->Rect.Top};
  if (r->ClientArea.Right < r->ClientArea.Left) r->ClientArea.Right = r->ClientArea.Left;
  if (r->ClientArea.Bottom < r->ClientArea.Top) r->ClientArea.Bottom = r->ClientArea.Top;
  ApplyChildrenGeometry(*r);
}

void InvalidateAll(TWindowRec& R) {
  R.FrameInvalid = true;
  R.ClientInvalid = true;
  R.UpdateRect = ClientRectOf(R);
  ShowBuffer(R);
}

QString ShownTitle(const TWindowRec& R) {
  const String& t = R.Title.empty() ? R.Text : R.Title;
  return QString::fromUtf16(t.data(), static_cast<qsizetype>(t.size()));
}

bool HasCommand(const std::vector<TSystemCommand>& Menu, TSystemCommand Command) {
  return std::find(Menu.begin(), Menu.end(), Command) != Menu.end();
}

// What the window manager may do with a window of this style whose system
// menu holds these items.
TWindowActions ActionsOf(Cardinal Style, Cardinal ExStyle, const std::vector<TSystemCommand>& Menu) {
  if ((Style & WS_CAPTION) != WS_CAPTION) return 0;  // no title bar: nothing is offered
  TWindowActions actions = 0;
  if (HasCommand(Menu, SC_MOVE)) actions |= waMove;
  if ((Style & WS_THICKFRAME) && HasCommand(Menu, SC_SIZE)) actions |= waSize;
  if (!(Style & WS_SYSMENU)) return actions;  // the box bits mean something else without a system menu
  if (HasCommand(Menu, SC_CLOSE)) actions |= waClose;
  // A tool window and a dialog frame are neither minimised nor maximised.
  if (ExStyle & (WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME)) return actions;
  if ((Style & WS_MINIMIZEBOX) && HasCommand(Menu, SC_MINIMIZE)) actions |= waMinimize;
  if ((Style & WS_MAXIMIZEBOX) && HasCommand(Menu, SC_MAXIMIZE)) actions |= waMaximize;
  if ((actions & (waMinimize | waMaximize)) && HasCommand(Menu, SC_RESTORE)) actions |= waRestore;
  return actions;
}

Qt::WindowFlags QtFlagsOf(const TWindowManagerHints& H) {
  Qt::WindowFlags f = Qt::Window;
  if (H.Kind == wkTool) f = Qt::Tool;
  else if (H.Kind == wkDialog) f = Qt::Dialog;
  if (H.Frameless) {
    f |= Qt::FramelessWindowHint;
  } else {
    // Exactly the buttons asked for: without the customise hint the toolkit
    // would add the ones it thinks the window kind should have.
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (H.SystemMenu) f |= Qt::WindowSystemMenuHint;
    if (H.CloseBox) f |= Qt::WindowCloseButtonHint;
    if (H.MinimizeBox) f |= Qt::WindowMinimizeButtonHint;
    if (H.MaximizeBox) f |= Qt::WindowMaximizeButtonHint;
  }
  if (H.StaysOnTop) f |= Qt::WindowStaysOnTopHint;
  if (H.NoActivate) f |= Qt::WindowDoesNotAcceptFocus;
  return f;
}

Qt::WindowFlags TopLevelFlags(const TWindowRec& R) {
  return QtFlagsOf(WindowManagerHintsOf(R.Style, R.ExStyle, ActionsOf(R.Style, R.ExStyle, R.SystemMenu)));
}

// The window manager reads the hints when the flags are set; the toolkit
// hides a window whose flags change, so a shown one is shown again.
void ApplyTopLevelFlags(TWindowRec& R) {
  if (R.Parent || !R.Widget) return;
  const Qt::WindowFlags f = TopLevelFlags(R);
  if (R.Widget->windowFlags() == f) return;
  const bool vis = R.Widget->isVisible();
  R.Widget->setWindowFlags(f);
  if (vis) R.Widget->show();
}

void MakeWidget(TWindowRec& R) {
  EnsureGuiRuntime();
  QWidget* parentWidget = nullptr;
  if (R.Parent)
    if (TWindowRec* p = Find(R.Parent)) parentWidget = p->Widget;
  auto* w = new TWindowWidget(R.Handle, parentWidget, R.Parent ? Qt::Widget : TopLevelFlags(R));
  if (!R.Parent && (R.ExStyle & WS_EX_NOACTIVATE)) w->setAttribute(Qt::WA_ShowWithoutActivating, true);
  if (!R.Parent) w->setWindowTitle(ShownTitle(R));
  // Hidden until ShowWindow says otherwise: a child widget the toolkit has
  // not been told to hide is shown together with its parent.
  w->hide();
  R.Widget = w;
}

void RaiseTop(HWND Wnd) {
  auto it = std::find(GTopLevels.begin(), GTopLevels.end(), Wnd);
  if (it != GTopLevels.end()) GTopLevels.erase(it);
  GTopLevels.insert(GTopLevels.begin(), Wnd);
}

void LoseFocusAndCaptureIn(HWND Wnd) {
  if (GFocus && (GFocus == Wnd || IsInside(Wnd, GFocus))) {
    HWND old = GFocus;
    GFocus = 0;
    SendMessage(old, WM_KILLFOCUS, 0, 0);
  }
  if (GCapture && (GCapture == Wnd || IsInside(Wnd, GCapture))) ReleaseCapture();
}

void DestroyTree(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r) return;
  SendMessage(Wnd, WM_DESTROY, 0, 0);
  if (!(r = Find(Wnd))) return;
  std::vector<HWND> children = r->Children;
  for (HWND c : children) {
    if (TWindowRec* cr = Find(c); cr && !cr->Destroying) {
      cr->Destroying = true;
      DestroyTree(c);
    }
  }
  SendMessage(Wnd, WM_NCDESTROY, 0, 0);
}

void Forget(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r) return;
  for (HWND c : std::vector<HWND>(r->Children)) Forget(c);
  if (TWindowRec* p = Find(r->Parent)) {
    auto& ch = p->Children;
    ch.erase(std::remove(ch.begin(), ch.end(), Wnd), ch.end());
  }
  GTopLevels.erase(std::remove(GTopLevels.begin(), GTopLevels.end(), Wnd), GTopLevels.end());
  if (GActive == Wnd) GActive = 0;
  ForgetCursorWindow(Wnd);
  if (r->WindowRgn) DeleteObject(r->WindowRgn);
  if (r->Widget) {
    QWidget* w = r->Widget;
    w->hide();
    if (!r->Parent) w->deleteLater();
    else {
      w->setParent(nullptr);
      w->deleteLater();
    }
  }
  GWindows.erase(Wnd);
}

void ConnectApplicationState() {
  static bool connected = false;
  if (connected || !qApp) return;
  connected = true;
  QGuiApplication::styleHints()->setMouseDoubleClickInterval(static_cast<int>(GetDoubleClickTime()));
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, WakeObject(), [](Qt::ApplicationState s) {
    try {
      if (s == Qt::ApplicationActive) SetApplicationActive(true);
      else if (s == Qt::ApplicationInactive) SetApplicationActive(false);
    } catch (...) {
      HandleBoundaryException();
    }
  });
}

TRect DefaultNCClient(const TWindowRec& R, TRect W) {
  if (R.Parent) {
    if (R.Style & WS_BORDER) InflateRect(W, -1, -1);
    if (R.ExStyle & WS_EX_CLIENTEDGE) InflateRect(W, -2, -2);
    else if (R.ExStyle & WS_EX_STATICEDGE) InflateRect(W, -1, -1);
  }
  return W;
}

void DefaultNCPaint(HWND Wnd, const TWindowRec& R, HDC DC) {
  if (!R.Parent || !DC) return;
  TRect w{0, 0, WidthOf(R.Rect), HeightOf(R.Rect)};
  if (R.Style & WS_BORDER) {
    HBRUSH b = CreateSolidBrush(clWindowFrame);
    FrameRect(DC, w, b);
    DeleteObject(b);
    InflateRect(w, -1, -1);
  }
  if (R.ExStyle & WS_EX_CLIENTEDGE) DrawEdge(DC, w, EDGE_SUNKEN, BF_RECT);
  else if (R.ExStyle & WS_EX_STATICEDGE) DrawEdge(DC, w, BDR_SUNKENOUTER, BF_RECT);
  (void)Wnd;
}

}  // namespace

// ---- Internal ------------------------------------------------------------------------------

void* NativeWidgetOf(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r ? static_cast<QWidget*>(r->Widget.data()) : nullptr;
}

void DrainQueueIfIdle() {
  if (GQueueScopes > 0 || GDraining) return;
  GDraining = true;
  struct TReset {
    ~TReset() { GDraining = false; }
  } reset;
  TMsg m;
  while (TakeMessage(m, 0, 0, 0, true)) {
    try {
      bool handled = false;
      if (Application && Application->OnMessage) Application->OnMessage(m, handled);
      if (!handled && !PreTranslate(m)) {
        TranslateMessage(m);
        DispatchMessage(m);
      }
    } catch (...) {
      HandleBoundaryException();
    }
  }
}

void RemoveQueuedTimer(HWND Wnd, WPARAM IdEvent) {
  GQueue.erase(std::remove_if(GQueue.begin(), GQueue.end(),
                              [&](const TMsg& m) { return m.message == WM_TIMER && m.hwnd == Wnd && m.wParam == IdEvent; }),
               GQueue.end());
}

void HandleBoundaryException() {
  if (Application) {
    Application->HandleException(nullptr);
    return;
  }
  try {
    throw;
  } catch (...) {
  }
}

// ---- Windows -------------------------------------------------------------------------------

HWND CreateWindowHandle(const TCreateParams& Params, TWndMethod Proc, HWND* Created) {
  EnsureGuiRuntime();
  ConnectApplicationState();
  bool child = (Params.Style & WS_CHILD) != 0;
  if (child && !Find(Params.WndParent)) return 0;
  auto rec = std::make_unique<TWindowRec>();
  HWND h = GNextHandle++;
  rec->Handle = h;
  rec->Proc = Proc;
  rec->Style = Params.Style & ~WS_VISIBLE;
  rec->ExStyle = Params.ExStyle;
  rec->ClassStyle = Params.ClassStyle;
  rec->Text = Params.Caption;
  rec->Enabled = (Params.Style & WS_DISABLED) == 0;
  rec->Rect = TRect{Params.X, Params.Y, Params.X + std::max(0, Params.Width), Params.Y + std::max(0, Params.Height)};
  rec->ClientArea = TRect{0, 0, WidthOf(rec->Rect), HeightOf(rec->Rect)};
  if (child) rec->Parent = Params.WndParent;
  else rec->Owner = Find(Params.WndParent) ? Params.WndParent : 0;
  if (!child) rec->SystemMenu = DefaultSystemMenu;
  TWindowRec& r = *rec;
  GWindows[h] = std::move(rec);
  if (Created) *Created = h;
  if (child) Find(r.Parent)->Children.insert(Find(r.Parent)->Children.begin(), h);
  else GTopLevels.insert(GTopLevels.begin(), h);
  MakeWidget(r);
  SendMessage(h, WM_NCCREATE, 0, 0);
  RecalcClientArea(h);
  TWindowRec* p = Find(h);
  if (!p) return 0;
  ApplyGeometry(*p);
  SendMessage(h, WM_CREATE, 0, 0);
  if (!(p = Find(h))) return 0;
  if (Params.Style & WS_VISIBLE) ShowWindow(h, SW_SHOWNA);
  return h;
}

bool DestroyWindow(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r || r->Destroying) return false;
  r->Destroying = true;
  std::vector<HWND> owned;
  for (auto& [h, w] : GWindows)
    if (w->Owner == Wnd) owned.push_back(h);
  for (HWND o : owned) DestroyWindow(o);
  LoseFocusAndCaptureIn(Wnd);
  if (GActive == Wnd) GActive = 0;
  DestroyTree(Wnd);
  Forget(Wnd);
  return true;
}

bool IsWindow(HWND Wnd) { return Find(Wnd) != nullptr; }

HWND AllocateHWnd(TWndMethod Method) {
  TCreateParams p;
  p.Style = WS_POPUP;
  p.WinClassName = u"TPUtilWindow";
  HWND h = CreateWindowHandle(p, Method);
  return h;
}

void DeallocateHWnd(HWND Wnd) { DestroyWindow(Wnd); }

TWndMethod SetWindowProc(HWND Wnd, TWndMethod Proc) {
  TWindowRec* r = Find(Wnd);
  if (!r) return nullptr;
  TWndMethod old = r->Proc;
  r->Proc = Proc;
  return old;
}

TWndMethod GetWindowProc(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r ? r->Proc : TWndMethod();
}

LRESULT DefWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  DefWindowProc(Wnd, m);
  return m.Result;
}

void DefWindowProc(HWND Wnd, TMessage& M) {
  TWindowRec* r = Find(Wnd);
  if (!r) return;
  switch (M.Msg) {
    case WM_NCCALCSIZE: {
      auto* p = reinterpret_cast<TNCCalcSizeParams*>(M.LParam);
      if (p) p->Rgrc[0] = DefaultNCClient(*r, p->Rgrc[0]);
      M.Result = 0;
      break;
    }
    case WM_NCPAINT:
      DefaultNCPaint(Wnd, *r, reinterpret_cast<HDC>(M.WParam));
      break;
    case WM_NCHITTEST: {
      TPoint p = LParamToPoint(M.LParam);
      TRect wr;
      GetWindowRect(Wnd, wr);
      if (!PtInRect(wr, p)) {
        M.Result = HTNOWHERE;
        break;
      }
      TPoint co = ClientOriginOf(*r);
      TRect cr = ClientRectOf(*r);
      OffsetRect(cr, co.X, co.Y);
      M.Result = PtInRect(cr, p) ? HTCLIENT : HTBORDER;
      break;
    }
    case WM_SETCURSOR: {
      if (r->Parent && SendMessage(r->Parent, WM_SETCURSOR, M.WParam, M.LParam) != 0) {
        M.Result = 1;
        break;
      }
      if (static_cast<SmallInt>(LOWORD(M.LParam)) == HTCLIENT) SetCursor(LoadCursor(IDC_ARROW));
      M.Result = 0;
      break;
    }
    case WM_CONTEXTMENU:
      if (r->Parent) M.Result = SendMessage(r->Parent, WM_CONTEXTMENU, M.WParam, M.LParam);
      break;
    case WM_RBUTTONUP: {
      TPoint p = LParamToPoint(M.LParam);
      ClientToScreen(Wnd, p);
      SendMessage(Wnd, WM_CONTEXTMENU, Wnd, PointToLParam(p));
      break;
    }
    case WM_KEYUP:
      if (M.WParam == VK_APPS) SendMessage(Wnd, WM_CONTEXTMENU, Wnd, MAKELPARAM(-1, -1));
      break;
    case WM_SYSKEYDOWN:
      if (M.WParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000))
        SendMessage(Wnd, WM_CONTEXTMENU, Wnd, MAKELPARAM(-1, -1));
      else if (M.WParam == VK_F4 && (M.LParam & KF_ALTDOWN_LPARAM))
        SendMessage(GetAncestorRoot(Wnd), WM_CLOSE, 0, 0);
      break;
    case WM_MOUSEWHEEL:
      if (r->Parent) M.Result = SendMessage(r->Parent, WM_MOUSEWHEEL, M.WParam, M.LParam);
      break;
    case WM_CANCELMODE:
      if (GCapture == Wnd) ReleaseCapture();
      break;
    case WM_CLOSE:
      DestroyWindow(Wnd);
      break;
    case WM_ACTIVATE:
      if (LOWORD(M.WParam) != WA_INACTIVE && GSettingFocus == 0 && !(GFocus == Wnd || IsInside(Wnd, GFocus)))
        SetFocus(Wnd);
      break;
    case WM_SETTEXT:
      r->Text = M.LParam ? String(reinterpret_cast<const Char*>(M.LParam)) : String();
      if (!r->Parent && r->Widget) r->Widget->setWindowTitle(ShownTitle(*r));
      M.Result = 1;
      break;
    case WM_GETTEXTLENGTH:
      M.Result = static_cast<LRESULT>(r->Text.size());
      break;
    case WM_GETTEXT: {
      auto* buf = reinterpret_cast<Char*>(M.LParam);
      size_t n = M.WParam > 0 ? std::min<size_t>(M.WParam - 1, r->Text.size()) : 0;
      if (buf && M.WParam > 0) {
        std::copy_n(r->Text.data(), n, buf);
        buf[n] = 0;
      }
      M.Result = static_cast<LRESULT>(n);
      break;
    }
    case WM_SETREDRAW:
      r->RedrawOff = M.WParam == 0;
      break;
    case WM_MOUSEACTIVATE:
      M.Result = MA_ACTIVATE;
      break;
    default:
      break;
  }
}

HWND GetParent(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r ? (r->Parent ? r->Parent : r->Owner) : 0;
}

HWND SetParent(HWND Wnd, HWND NewParent) {
  TWindowRec* r = Find(Wnd);
  if (!r) return 0;
  if (NewParent && (NewParent == Wnd || IsInside(Wnd, NewParent) || !Find(NewParent))) return 0;
  HWND old = r->Parent;
  if (TWindowRec* p = Find(old)) p->Children.erase(std::remove(p->Children.begin(), p->Children.end(), Wnd), p->Children.end());
  GTopLevels.erase(std::remove(GTopLevels.begin(), GTopLevels.end(), Wnd), GTopLevels.end());
  r->Parent = NewParent;
  if (NewParent) {
    r->Style = (r->Style | WS_CHILD) & ~WS_POPUP;
    TWindowRec* p = Find(NewParent);
    p->Children.insert(p->Children.begin(), Wnd);
    if (r->Widget) {
      r->Widget->setParent(p->Widget, Qt::Widget);
      r->Widget->setVisible(r->Visible);
    }
  } else {
    r->Style &= ~WS_CHILD;
    GTopLevels.insert(GTopLevels.begin(), Wnd);
    if (r->Widget) {
      r->Widget->setParent(nullptr, TopLevelFlags(*r));
      r->Widget->setVisible(r->Visible);
    }
  }
  ApplyGeometry(*r);
  return old;
}

bool IsChild(HWND Parent, HWND Wnd) { return Parent && Wnd != Parent && IsInside(Parent, Wnd); }

HWND GetAncestorRoot(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  while (r && r->Parent) r = Find(r->Parent);
  return r ? r->Handle : 0;
}

Cardinal GetWindowStyle(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r) return 0;
  return r->Style | (r->Visible ? WS_VISIBLE : 0u) | (r->Enabled ? 0u : WS_DISABLED);
}

Cardinal GetWindowExStyle(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r ? r->ExStyle : 0;
}

void SetWindowStyle(HWND Wnd, Cardinal Style) {
  if (TWindowRec* r = Find(Wnd)) r->Style = Style & ~(WS_VISIBLE | WS_DISABLED);
}

void SetWindowExStyle(HWND Wnd, Cardinal ExStyle) {
  TWindowRec* r = Find(Wnd);
  if (!r) return;
  r->ExStyle = ExStyle;
  ApplyTopLevelFlags(*r);
}

std::vector<HWND> GetChildWindows(HWND Parent) {
  TWindowRec* r = Find(Parent);
  return r ? r->Children : std::vector<HWND>();
}

bool ShowWindow(HWND Wnd, Integer Cmd) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  bool was = r->Visible;
  bool show = Cmd != SW_HIDE && Cmd != SW_MINIMIZE;
  if (was == show) {
    if (show && !r->Parent && Cmd == SW_SHOWMAXIMIZED && r->Widget) r->Widget->setWindowState(Qt::WindowMaximized);
    if (show && !r->Parent && Cmd != SW_SHOWNA && Cmd != SW_SHOWNOACTIVATE && !(r->ExStyle & WS_EX_NOACTIVATE))
      SetActiveWindow(Wnd);
    return was;
  }
  SendMessage(Wnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
  if (!(r = Find(Wnd))) return was;
  if (!show) LoseFocusAndCaptureIn(Wnd);
  if (!(r = Find(Wnd))) return was;
  r->Visible = show;
  if (r->Widget) {
    if (show) {
      InvalidateAll(*r);
      if (!r->Parent && Cmd == SW_SHOWMAXIMIZED) r->Widget->showMaximized();
      else r->Widget->show();
      if (!r->Parent) RaiseTop(Wnd);
    } else {
      r->Widget->hide();
    }
  }
  TWindowPos wp;
  wp.hwnd = Wnd;
  wp.x = r->Rect.Left;
  wp.y = r->Rect.Top;
  wp.cx = WidthOf(r->Rect);
  wp.cy = HeightOf(r->Rect);
  wp.flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  SendMessage(Wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (!(r = Find(Wnd))) return was;
  if (!show && GActive == Wnd) {
    GActive = 0;
    SendMessage(Wnd, WM_NCACTIVATE, 0, 0);
    SendMessage(Wnd, WM_ACTIVATE, WA_INACTIVE, 0);
    if (TWindowRec* o = Find(r ? r->Owner : 0); o && o->Visible) SetActiveWindow(o->Handle);
  }
  if (show && (r = Find(Wnd)) && !r->Parent && Cmd != SW_SHOWNA && Cmd != SW_SHOWNOACTIVATE &&
      !(r->ExStyle & WS_EX_NOACTIVATE))
    SetActiveWindow(Wnd);
  return was;
}

bool IsWindowVisible(HWND Wnd) {
  for (TWindowRec* r = Find(Wnd); r; r = Find(r->Parent)) {
    if (!r->Visible) return false;
    if (!r->Parent) return true;
  }
  return false;
}

bool EnableWindow(HWND Wnd, bool Enable) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  bool wasDisabled = !r->Enabled;
  if (r->Enabled == Enable) return wasDisabled;
  r->Enabled = Enable;
  if (!Enable) LoseFocusAndCaptureIn(Wnd);
  SendMessage(Wnd, WM_ENABLE, Enable ? 1 : 0, 0);
  return wasDisabled;
}

bool IsWindowEnabled(HWND Wnd) {
  for (TWindowRec* r = Find(Wnd); r; r = Find(r->Parent))
    if (!r->Enabled) return false;
  return Find(Wnd) != nullptr;
}

bool SetWindowPos(HWND Wnd, HWND InsertAfter, Integer X, Integer Y, Integer CX, Integer CY, UINT Flags) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  TWindowPos wp{Wnd, InsertAfter, X, Y, std::max(0, CX), std::max(0, CY), Flags};
  if (Flags & SWP_NOMOVE) wp.x = r->Rect.Left, wp.y = r->Rect.Top;
  if (Flags & SWP_NOSIZE) wp.cx = WidthOf(r->Rect), wp.cy = HeightOf(r->Rect);
  SendMessage(Wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
  if (!(r = Find(Wnd))) return false;
  TRect nr{wp.x, wp.y, wp.x + std::max(0, wp.cx), wp.y + std::max(0, wp.cy)};
  bool moved = nr.Left != r->Rect.Left || nr.Top != r->Rect.Top;
  bool sized = WidthOf(nr) != WidthOf(r->Rect) || HeightOf(nr) != HeightOf(r->Rect);
  r->Rect = nr;
  if (sized || (Flags & SWP_FRAMECHANGED)) {
    RecalcClientArea(Wnd);
    if (!(r = Find(Wnd))) return false;
  }
  ApplyGeometry(*r);
  if (!(Flags & SWP_NOZORDER)) {
    std::vector<HWND>& list = r->Parent ? Find(r->Parent)->Children : GTopLevels;
    list.erase(std::remove(list.begin(), list.end(), Wnd), list.end());
    if (InsertAfter == HWND_BOTTOM) list.push_back(Wnd);
    else list.insert(list.begin(), Wnd);
    if (r->Widget && !Headless()) {
      if (InsertAfter == HWND_BOTTOM) r->Widget->lower();
      else r->Widget->raise();
    }
    if (!r->Parent && (InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST)) {
      Cardinal ex = InsertAfter == HWND_TOPMOST ? (r->ExStyle | WS_EX_TOPMOST) : (r->ExStyle & ~WS_EX_TOPMOST);
      if (ex != r->ExStyle) SetWindowExStyle(Wnd, ex);
    }
  }
  if (sized || (Flags & SWP_FRAMECHANGED)) InvalidateAll(*r);
  if (Flags & SWP_SHOWWINDOW) ShowWindow(Wnd, (Flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (Flags & SWP_HIDEWINDOW) ShowWindow(Wnd, SW_HIDE);
  if (!(r = Find(Wnd))) return true;
  if (moved || sized || !(Flags & SWP_NOZORDER) || (Flags & SWP_FRAMECHANGED)) {
    wp.x = r->Rect.Left, wp.y = r->Rect.Top, wp.cx = WidthOf(r->Rect), wp.cy = HeightOf(r->Rect);
    SendMessage(Wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    if (!(r = Find(Wnd))) return true;
    if (moved) SendMessage(Wnd, WM_MOVE, 0, MAKELPARAM(r->Rect.Left + r->ClientArea.Left, r->Rect.Top + r->ClientArea.Top));
    if (!(r = Find(Wnd))) return true;
    if (sized) {
      TRect cr = ClientRectOf(*r);
      SendMessage(Wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cr.Right, cr.Bottom));
    }
  }
  return true;
}

bool MoveWindow(HWND Wnd, Integer X, Integer Y, Integer Width, Integer Height, bool Repaint) {
  (void)Repaint;
  return SetWindowPos(Wnd, 0, X, Y, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool BringWindowToTop(HWND Wnd) { return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

bool GetWindowRect(HWND Wnd, TRect& Rect) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  TPoint o = WindowOrigin(*r);
  Rect = TRect{o.X, o.Y, o.X + WidthOf(r->Rect), o.Y + HeightOf(r->Rect)};
  return true;
}

bool GetClientRect(HWND Wnd, TRect& Rect) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  Rect = ClientRectOf(*r);
  return true;
}

TRect GetClientArea(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r ? r->ClientArea : TRect{};
}

bool ClientToScreen(HWND Wnd, TPoint& Point) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  TPoint o = ClientOriginOf(*r);
  Point.X += o.X;
  Point.Y += o.Y;
  return true;
}

bool ScreenToClient(HWND Wnd, TPoint& Point) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  TPoint o = ClientOriginOf(*r);
  Point.X -= o.X;
  Point.Y -= o.Y;
  return true;
}

void MapWindowPoints(HWND From, HWND To, TPoint* Points, Integer Count) {
  for (Integer i = 0; i < Count; ++i) {
    if (From) ClientToScreen(From, Points[i]);
    if (To) ScreenToClient(To, Points[i]);
  }
}

namespace {
HWND DeepestAt(HWND Wnd, const TPoint& P) {
  TWindowRec* r = Find(Wnd);
  if (!r || !r->Visible) return 0;
  TRect wr;
  GetWindowRect(Wnd, wr);
  if (!PtInRect(wr, P)) return 0;
  if (r->WindowRgn) {
    TPoint o = WindowOrigin(*r);
    if (!PtInRegion(r->WindowRgn, P.X - o.X, P.Y - o.Y)) return 0;
  }
  for (HWND c : r->Children)
    if (HWND d = DeepestAt(c, P)) return d;
  return Wnd;
}
}  // namespace

HWND WindowFromPoint(const TPoint& ScreenPoint) {
  // Stay-on-top windows first, then the others, front to back.
  for (int pass = 0; pass < 2; ++pass)
    for (HWND t : GTopLevels) {
      TWindowRec* r = Find(t);
      if (!r || ((r->ExStyle & WS_EX_TOPMOST) != 0) != (pass == 0)) continue;
      if (r->ExStyle & WS_EX_TRANSPARENT) continue;
      if (HWND d = DeepestAt(t, ScreenPoint)) return d;
    }
  return 0;
}

bool SetWindowText(HWND Wnd, const String& Text) {
  return Find(Wnd) && SendMessage(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str())) != 0;
}

String GetWindowText(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r ? r->Text : String();
}

void SetWindowTitle(HWND Wnd, const String& Title) {
  TWindowRec* r = Find(Wnd);
  if (!r) return;
  r->Title = Title;
  if (!r->Parent && r->Widget) r->Widget->setWindowTitle(ShownTitle(*r));
}

TNativeWindowState GetNativeWindowState(HWND Wnd) {
  TNativeWindowState st;
  TWindowRec* r = Find(Wnd);
  if (!r || !r->Widget) return st;
  QWidget* w = r->Widget;
  st.Shown = w->isVisible();
  if (r->Parent) return st;
  const Qt::WindowFlags f = w->windowFlags();
  st.Maximized = (w->windowState() & Qt::WindowMaximized) != 0;
  st.Frameless = (f & Qt::FramelessWindowHint) != 0;
  // Without the customise hint the window manager chooses the buttons: all of them.
  const bool custom = (f & Qt::CustomizeWindowHint) != 0;
  st.CloseBox = !st.Frameless && (!custom || (f & Qt::WindowCloseButtonHint));
  st.MinimizeBox = !st.Frameless && (!custom || (f & Qt::WindowMinimizeButtonHint));
  st.MaximizeBox = !st.Frameless && (!custom || (f & Qt::WindowMaximizeButtonHint));
  const QString t = w->windowTitle();
  st.Title = String(reinterpret_cast<const Char*>(t.utf16()), static_cast<size_t>(t.size()));
  return st;
}

TWindowManagerHints WindowManagerHintsOf(Cardinal Style, Cardinal ExStyle, TWindowActions Actions) {
  TWindowManagerHints h;
  if (ExStyle & WS_EX_TOOLWINDOW) h.Kind = wkTool;
  else if (ExStyle & WS_EX_DLGMODALFRAME) h.Kind = wkDialog;
  h.Frameless = (Style & WS_CAPTION) != WS_CAPTION;
  h.SystemMenu = !h.Frameless && (Style & WS_SYSMENU);
  h.CloseBox = !h.Frameless && (Actions & waClose);
  h.MinimizeBox = !h.Frameless && (Actions & waMinimize);
  h.MaximizeBox = !h.Frameless && (Actions & waMaximize);
  h.StaysOnTop = ExStyle & WS_EX_TOPMOST;
  h.NoActivate = ExStyle & WS_EX_NOACTIVATE;
  return h;
}

bool DeleteSystemMenuPosition(HWND Wnd, Integer Position) {
  TWindowRec* r = Find(Wnd);
  if (!r || Position < 0 || Position >= static_cast<Integer>(r->SystemMenu.size())) return false;
  r->SystemMenu.erase(r->SystemMenu.begin() + Position);
  ApplyTopLevelFlags(*r);
  return true;
}

bool DeleteSystemMenuCommand(HWND Wnd, TSystemCommand Command) {
  TWindowRec* r = Find(Wnd);
  if (!r || Command == SC_SEPARATOR) return false;
  auto it = std::find(r->SystemMenu.begin(), r->SystemMenu.end(), Command);
  if (it == r->SystemMenu.end()) return false;
  r->SystemMenu.erase(it);
  ApplyTopLevelFlags(*r);
  return true;
}

std::vector<TSystemCommand> GetSystemMenuItems(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r ? r->SystemMenu : std::vector<TSystemCommand>();
}

TWindowActions GetWindowActions(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r && !r->Parent ? ActionsOf(r->Style, r->ExStyle, r->SystemMenu) : 0;
}

bool SetWindowRgn(HWND Wnd, HRGN Rgn, bool Redraw) {
  TWindowRec* r = Find(Wnd);
  if (!r) {
    if (Rgn) DeleteObject(Rgn);
    return false;
  }
  if (r->WindowRgn && r->WindowRgn != Rgn) DeleteObject(r->WindowRgn);
  r->WindowRgn = Rgn;
  ApplyMask(*r);
  if (Redraw) InvalidateAll(*r);
  return true;
}

// ---- Painting ------------------------------------------------------------------------------

bool InvalidateRect(HWND Wnd, const TRect* Rect, bool Erase) {
  (void)Erase;
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  TRect cr = ClientRectOf(*r);
  TRect add = Rect ? *Rect : cr;
  IntersectRect(add, add, cr);
  if (IsRectEmpty(add) && Rect) return true;
  if (r->ClientInvalid) UnionRect(r->UpdateRect, r->UpdateRect, add);
  else r->UpdateRect = add;
  r->ClientInvalid = true;
  ShowBuffer(*r);
  return true;
}

bool InvalidateRgn(HWND Wnd, HRGN Rgn, bool Erase) {
  if (!Rgn) return InvalidateRect(Wnd, nullptr, Erase);
  TRect box;
  GetRgnBox(Rgn, box);
  return InvalidateRect(Wnd, &box, Erase);
}

bool ValidateRect(HWND Wnd, const TRect* Rect) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  if (!Rect) r->ClientInvalid = false;
  else {
    TRect u = r->UpdateRect;
    TRect inter;
    if (IntersectRect(inter, u, *Rect) && inter == u) r->ClientInvalid = false;
  }
  return true;
}

bool GetUpdateRect(HWND Wnd, TRect& Rect) {
  TWindowRec* r = Find(Wnd);
  if (!r || !r->ClientInvalid) {
    Rect = TRect{};
    return false;
  }
  Rect = r->UpdateRect;
  return !IsRectEmpty(Rect);
}

bool UpdateWindow(HWND Wnd) {
  if (!Find(Wnd)) return false;
  PaintInvalid(Wnd);
  if (TWindowRec* r = Find(Wnd)) ShowBuffer(*r);
  return true;
}

bool RedrawFrame(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r) return false;
  r->FrameInvalid = true;
  ShowBuffer(*r);
  return true;
}

bool IsRedrawLocked(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r && r->RedrawOff;
}

HDC GetDC(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r) return nullptr;
  auto* dc = new TCanvas(EnsureBuffer(*r));
  SetViewportOrgEx(dc, r->ClientArea.Left, r->ClientArea.Top, nullptr);
  TRect cr = ClientRectOf(*r);
  IntersectClipRect(dc, cr.Left, cr.Top, cr.Right, cr.Bottom);
  GWindowDCs[dc] = Wnd;
  return dc;
}

HDC GetWindowDC(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  if (!r) return nullptr;
  auto* dc = new TCanvas(EnsureBuffer(*r));
  GWindowDCs[dc] = Wnd;
  return dc;
}

Integer ReleaseDC(HWND Wnd, HDC DC) {
  auto it = GWindowDCs.find(DC);
  if (it == GWindowDCs.end()) return 0;
  GWindowDCs.erase(it);
  delete DC;
  if (TWindowRec* r = Find(Wnd)) ShowBuffer(*r);
  return 1;
}

TBitmap* GetWindowBuffer(HWND Wnd) {
  TWindowRec* r = Find(Wnd);
  return r ? r->Buffer.get() : nullptr;
}

// ---- Queue ---------------------------------------------------------------------------------

bool PostMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Wnd && !Find(Wnd)) return false;
  TMsg m;
  m.hwnd = Wnd;
  m.message = Msg;
  m.wParam = WParam;
  m.lParam = LParam;
  Enqueue(m);
  Wake();
  return true;
}

bool PostThreadMessage(UINT Msg, WPARAM WParam, LPARAM LParam) { return PostMessage(0, Msg, WParam, LParam); }

void PostQuitMessage(Integer ExitCode) { PostMessage(0, WM_QUIT, static_cast<WPARAM>(ExitCode), 0); }

void PostTimerMessage(HWND Wnd, WPARAM IdEvent, LPARAM Proc) {
  if (Wnd && !Find(Wnd)) return;
  for (const TMsg& m : GQueue)
    if (m.message == WM_TIMER && m.hwnd == Wnd && m.wParam == IdEvent) return;
  TMsg m;
  m.hwnd = Wnd;
  m.message = WM_TIMER;
  m.wParam = IdEvent;
  m.lParam = Proc;
  Enqueue(m);
  Wake();
}

LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TWindowRec* r = Find(Wnd);
  if (!r) return 0;
  TMessage m{Msg, WParam, LParam, 0};
  if (HasHooks(WH_CALLWNDPROC)) {
    TCWPStruct cwp{LParam, WParam, Msg, Wnd};
    LRESULT res = CallHookChain(WH_CALLWNDPROC, HC_ACTION, 1, reinterpret_cast<LPARAM>(&cwp));
    if (res != 0) return res;
    if (!(r = Find(Wnd))) return 0;
    m = TMessage{cwp.message, cwp.wParam, cwp.lParam, 0};
  }
  TWndMethod proc = r->Proc;
  if (proc) proc(m);
  else DefWindowProc(Wnd, m);
  return m.Result;
}

bool SendNotifyMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!Find(Wnd)) return false;
  SendMessage(Wnd, Msg, WParam, LParam);
  return true;
}

void SendToTopLevelWindows(UINT Msg, WPARAM WParam, LPARAM LParam) {
  std::vector<HWND> tops = GTopLevels;
  for (HWND t : tops)
    if (Find(t)) SendMessage(t, Msg, WParam, LParam);
}

bool PeekMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max, UINT Remove) {
  PumpWindowSystemEvents();
  if (Remove & PM_REMOVE) return TakeMessage(Msg, Wnd, Min, Max, false);
  for (const TMsg& m : GQueue)
    if (Matches(m, Wnd, Min, Max) && (!m.hwnd || Find(m.hwnd))) {
      Msg = m;
      return true;
    }
  return false;
}

bool GetMessage(TMsg& Msg, HWND Wnd, UINT Min, UINT Max) {
  TQueueInputScope scope;
  for (;;) {
    if (TakeMessage(Msg, Wnd, Min, Max, false)) return Msg.message != WM_QUIT;
    WaitWindowSystemEvents(-1);
  }
}

bool TranslateMessage(const TMsg& Msg) {
  if ((Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) || Msg.Chars.empty()) return false;
  UINT cm = Msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  for (Char c : Msg.Chars) {
    TMsg m;
    m.hwnd = Msg.hwnd;
    m.message = cm;
    m.wParam = c;
    m.lParam = Msg.lParam;
    m.pt = Msg.pt;
    Enqueue(m);
  }
  return true;
}

LRESULT DispatchMessage(const TMsg& Msg) {
  if (Msg.message == WM_NULL || Msg.message == WM_QUIT) return 0;
  if (Msg.message == WM_TIMER && Msg.lParam != 0) {
    auto proc = reinterpret_cast<TTimerProc>(Msg.lParam);
    proc(Msg.hwnd, WM_TIMER, Msg.wParam, GetTickCount());
    return 0;
  }
  if (!Msg.hwnd) return 0;
  return SendMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
}

Integer RemoveMessages(HWND Wnd, UINT Msg) {
  Integer n = 0;
  for (auto it = GQueue.begin(); it != GQueue.end();) {
    if (it->message == Msg && (!Wnd || it->hwnd == Wnd)) {
      it = GQueue.erase(it);
      ++n;
    } else {
      ++it;
    }
  }
  return n;
}

Integer QueuedMessageCount() { return static_cast<Integer>(GQueue.size()); }

void PumpWindowSystemEvents() {
  if (!QCoreApplication::instance()) return;
  TQueueInputScope scope;
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitWindowSystemEvents(Integer TimeoutMs) {
  if (!QCoreApplication::instance()) return;
  TQueueInputScope scope;
  if (TimeoutMs < 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  else QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, TimeoutMs);
}

TImmediateInputScope::TImmediateInputScope() : FQueueScopes(GQueueScopes), FDraining(GDraining) {
  GQueueScopes = 0;
  GDraining = false;
}

TImmediateInputScope::~TImmediateInputScope() {
  GQueueScopes = FQueueScopes;
  GDraining = FDraining;
}

TQueueInputScope::TQueueInputScope() { ++GQueueScopes; }
TQueueInputScope::~TQueueInputScope() {
  if (--GQueueScopes == 0 && !GQueue.empty()) Wake();
}

bool ProcessOneMessage(TMsg& Msg) {
  if (!TakeMessage(Msg, 0, 0, 0, false)) return false;
  if (Msg.message == WM_QUIT) return true;
  try {
    bool handled = false;
    if (Application && Application->OnMessage) Application->OnMessage(Msg, handled);
    if (!handled && !PreTranslate(Msg)) {
      TranslateMessage(Msg);
      DispatchMessage(Msg);
    }
  } catch (...) {
    HandleBoundaryException();
  }
  return true;
}

// ---- Focus, capture, activation ------------------------------------------------------------

HWND SetFocus(HWND Wnd) {
  if (Wnd && !Find(Wnd)) return 0;
  if (Wnd && !IsWindowEnabled(Wnd)) return 0;
  if (Wnd == GFocus) return GFocus;
  if (Wnd) {
    HWND root = GetAncestorRoot(Wnd);
    TWindowRec* rr = Find(root);
    if (root != GActive && rr && !(rr->ExStyle & WS_EX_NOACTIVATE)) {
      HWND saved = GSettingFocus;
      GSettingFocus = Wnd;
      SetActiveWindow(root);
      GSettingFocus = saved;
      if (!Find(Wnd)) return 0;
    }
  }
  HWND old = GFocus;
  GFocus = Wnd;
  if (old && Find(old)) SendMessage(old, WM_KILLFOCUS, Wnd, 0);
  if (Wnd && GFocus == Wnd && Find(Wnd)) {
    if (TWindowRec* r = Find(Wnd); r->Widget) r->Widget->setFocus(Qt::OtherFocusReason);
    SendMessage(Wnd, WM_SETFOCUS, old, 0);
  }
  return old;
}

HWND GetFocus() { return Find(GFocus) ? GFocus : 0; }

HWND PendingFocusWindow() { return GSettingFocus; }

HWND SetCapture(HWND Wnd) {
  HWND old = GetCapture();
  if (!Find(Wnd)) return old;
  GCapture = Wnd;
  TWindowRec* r = Find(Wnd);
  if (r->Widget && r->Widget->isVisible() && !Headless()) r->Widget->grabMouse();
  if (old && old != Wnd) SendMessage(old, WM_CAPTURECHANGED, 0, static_cast<LPARAM>(Wnd));
  return old;
}

bool ReleaseCapture() {
  HWND old = GetCapture();
  GCapture = 0;
  if (!old) return true;
  if (TWindowRec* r = Find(old); r && r->Widget && !Headless()) r->Widget->releaseMouse();
  SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  return true;
}

HWND GetCapture() { return Find(GCapture) ? GCapture : 0; }

HWND GetActiveWindow() { return Find(GActive) ? GActive : 0; }

HWND SetActiveWindow(HWND Wnd) {
  Wnd = GetAncestorRoot(Wnd);
  HWND old = GetActiveWindow();
  if (Wnd == old) return old;
  TWindowRec* r = Find(Wnd);
  if (r && (r->ExStyle & WS_EX_NOACTIVATE)) return old;
  GActive = Wnd;
  if (old) {
    SendMessage(old, WM_NCACTIVATE, 0, 0);
    SendMessage(old, WM_ACTIVATE, WA_INACTIVE, static_cast<LPARAM>(Wnd));
  }
  if (Wnd && GActive == Wnd && (r = Find(Wnd))) {
    RaiseTop(Wnd);
    if (r->Widget && r->Visible && !Headless()) r->Widget->activateWindow();
    SendMessage(Wnd, WM_NCACTIVATE, 1, 0);
    SendMessage(Wnd, WM_ACTIVATE, WA_ACTIVE, static_cast<LPARAM>(old));
  }
  return old;
}

HWND GetForegroundWindow() { return GAppActive ? GetActiveWindow() : 0; }

bool SetForegroundWindow(HWND Wnd) {
  if (!Find(Wnd)) return false;
  SetActiveWindow(Wnd);
  return true;
}

bool IsApplicationActive() { return GAppActive; }

void SetApplicationActive(bool Active) {
  if (GAppActive == Active) return;
  GAppActive = Active;
  if (!Active && GetCapture()) SendMessage(GetCapture(), WM_CANCELMODE, 0, 0);
  std::vector<HWND> tops = GTopLevels;
  for (HWND t : tops)
    if (Find(t)) SendMessage(t, WM_ACTIVATEAPP, Active ? 1 : 0, 0);
  if (HWND a = GetActiveWindow()) SendMessage(a, WM_NCACTIVATE, Active ? 1 : 0, 0);
}

// ---- Keyboard and mouse state --------------------------------------------------------------

SmallInt GetKeyState(Integer VirtualKey) {
  if (VirtualKey <= 0 || VirtualKey > 255) return 0;
  if (VirtualKey == VK_LSHIFT || VirtualKey == VK_RSHIFT) return GKeyState[VK_SHIFT];
  if (VirtualKey == VK_LCONTROL || VirtualKey == VK_RCONTROL) return GKeyState[VK_CONTROL];
  if (VirtualKey == VK_LMENU || VirtualKey == VK_RMENU) return GKeyState[VK_MENU];
  return GKeyState[VirtualKey];
}

SmallInt GetAsyncKeyState(Integer VirtualKey) {
  if (QGuiApplication::instance() && QGuiApplication::platformName() != QLatin1String("offscreen")) {
    Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    auto state = [](bool down) { return static_cast<SmallInt>(down ? 0x8000 : 0); };
    switch (VirtualKey) {
      case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT: return state(mods & Qt::ShiftModifier);
      case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL: return state(mods & Qt::ControlModifier);
      case VK_MENU: case VK_LMENU: case VK_RMENU: return state(mods & Qt::AltModifier);
      case VK_LBUTTON: return state(buttons & Qt::LeftButton);
      case VK_RBUTTON: return state(buttons & Qt::RightButton);
      case VK_MBUTTON: return state(buttons & Qt::MiddleButton);
      default: break;
    }
  }
  return static_cast<SmallInt>(GetKeyState(VirtualKey) & static_cast<SmallInt>(0x8000));
}

void SetKeyState(Integer VirtualKey, bool Down) { SetKeyDown(VirtualKey, Down); }

bool GetCursorPos(TPoint& Point) {
  if (!GCursorPosKnown && QGuiApplication::instance()) RememberCursorPos(FromQ(QCursor::pos()));
  Point = GCursorPos;
  return true;
}

bool SetCursorPos(Integer X, Integer Y) {
  RememberCursorPos(TPoint{X, Y});
  if (QGuiApplication::instance()) QCursor::setPos(X, Y);
  return true;
}

WPARAM CurrentMouseKeys() {
  WPARAM k = 0;
  if (GetKeyState(VK_LBUTTON) & 0x8000) k |= MK_LBUTTON;
  if (GetKeyState(VK_RBUTTON) & 0x8000) k |= MK_RBUTTON;
  if (GetKeyState(VK_MBUTTON) & 0x8000) k |= MK_MBUTTON;
  if (GetKeyState(VK_SHIFT) & 0x8000) k |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) & 0x8000) k |= MK_CONTROL;
  return k;
}

void MessageBeep(Cardinal) {
  ++GBeeps;
  if (QGuiApplication::instance() && QGuiApplication::platformName() != QLatin1String("offscreen"))
    QApplication::beep();
}

Integer BeepCount() { return GBeeps; }

