// Test input: window-system events sent to our windows' widgets.
#include "platform/gui/testinput.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <deque>

#include "platform/gui/windowing.h"
#include "platform/gui/windowsystem_internal.h"

namespace {

Qt::MouseButtons GHeld;

std::deque<std::function<void()>> GModalSteps;
bool GModalStepsUsed = false;  // the program drives its modal loops by steps

QWidget* WidgetOf(HWND Wnd) { return static_cast<QWidget*>(NativeWidgetOf(Wnd)); }

Qt::KeyboardModifiers Mods(Cardinal Modifiers) {
  Qt::KeyboardModifiers m;
  if (Modifiers & tkShift) m |= Qt::ShiftModifier;
  if (Modifiers & tkCtrl) m |= Qt::ControlModifier;
  if (Modifiers & tkAlt) m |= Qt::AltModifier;
  return m;
}

Qt::MouseButton Button(Integer B) {
  return B == tbRight ? Qt::RightButton : B == tbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

// The point in widget (window) coordinates and on the screen.
bool Locate(HWND Wnd, const TPoint& ClientPos, QPointF& Local, QPointF& Global) {
  if (!WidgetOf(Wnd)) return false;
  TRect area = GetClientArea(Wnd);
  TPoint screen = ClientPos;
  ClientToScreen(Wnd, screen);
  Local = QPointF(ClientPos.X + area.Left, ClientPos.Y + area.Top);
  Global = QPointF(screen.X, screen.Y);
  return true;
}

void SendMouse(HWND Wnd, QEvent::Type Type, const TPoint& Pos, Qt::MouseButton B, Cardinal Modifiers) {
  QPointF local, global;
  if (!Locate(Wnd, Pos, local, global)) return;
  if (Type == QEvent::MouseButtonPress || Type == QEvent::MouseButtonDblClick) GHeld |= B;
  if (Type == QEvent::MouseButtonRelease) GHeld &= ~Qt::MouseButtons(B);
  QMouseEvent e(Type, local, global, B, GHeld, Mods(Modifiers));
  QCoreApplication::sendEvent(WidgetOf(Wnd), &e);
}

QWidget* KeyTarget() {
  HWND h = GetFocus();
  if (!h) h = GetActiveWindow();
  return WidgetOf(h);
}

int QtKey(Word Vk) {
  if ((Vk >= 'A' && Vk <= 'Z') || (Vk >= '0' && Vk <= '9')) return Vk;
  if (Vk >= VK_F1 && Vk <= VK_F12) return Qt::Key_F1 + (Vk - VK_F1);
  switch (Vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_SHIFT: return Qt::Key_Shift;
    case VK_CONTROL: return Qt::Key_Control;
    case VK_MENU: return Qt::Key_Alt;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_APPS: return Qt::Key_Menu;
    case VK_OEM_PERIOD: return Qt::Key_Period;
    case VK_OEM_COMMA: return Qt::Key_Comma;
    case VK_OEM_MINUS: return Qt::Key_Minus;
    case VK_OEM_PLUS: return Qt::Key_Equal;
    default: return 0;
  }
}

void SendKey(QEvent::Type Type, Word Vk, const String& Text, Cardinal Modifiers) {
  QWidget* w = KeyTarget();
  if (!w) return;
  QString text = QString::fromUtf16(Text.data(), static_cast<qsizetype>(Text.size()));
  int key = QtKey(Vk);
  if (!key && text.size() == 1) key = text.at(0).toUpper().unicode();
  QKeyEvent e(Type, key, Mods(Modifiers), text);
  QCoreApplication::sendEvent(w, &e);
}

}  // namespace

void TestMousePress(HWND Wnd, const TPoint& Pos, Integer B, Cardinal Modifiers) {
  SendMouse(Wnd, QEvent::MouseButtonPress, Pos, Button(B), Modifiers);
}

void TestMouseRelease(HWND Wnd, const TPoint& Pos, Integer B, Cardinal Modifiers) {
  SendMouse(Wnd, QEvent::MouseButtonRelease, Pos, Button(B), Modifiers);
}

void TestMouseDoublePress(HWND Wnd, const TPoint& Pos, Integer B, Cardinal Modifiers) {
  SendMouse(Wnd, QEvent::MouseButtonDblClick, Pos, Button(B), Modifiers);
}

void TestMouseMove(HWND Wnd, const TPoint& Pos, Cardinal Modifiers) {
  SendMouse(Wnd, QEvent::MouseMove, Pos, Qt::NoButton, Modifiers);
}

void TestClick(HWND Wnd, const TPoint& Pos, Integer B, Cardinal Modifiers) {
  TestMousePress(Wnd, Pos, B, Modifiers);
  TestMouseRelease(Wnd, Pos, B, Modifiers);
}

void TestDoubleClick(HWND Wnd, const TPoint& Pos, Integer B, Cardinal Modifiers) {
  TestClick(Wnd, Pos, B, Modifiers);
  TestMouseDoublePress(Wnd, Pos, B, Modifiers);
  TestMouseRelease(Wnd, Pos, B, Modifiers);
}

void TestWheel(HWND Wnd, const TPoint& Pos, Integer Notches, Cardinal Modifiers) {
  QPointF local, global;
  if (!Locate(Wnd, Pos, local, global)) return;
  QWheelEvent e(local, global, QPoint(), QPoint(0, Notches * WHEEL_DELTA), GHeld, Mods(Modifiers), Qt::NoScrollPhase,
                false);
  QCoreApplication::sendEvent(WidgetOf(Wnd), &e);
}

void TestMouseLeave(HWND Wnd) {
  if (QWidget* w = WidgetOf(Wnd)) {
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
  }
}

void TestKeyPress(Word VirtualKey, const String& Text, Cardinal Modifiers) {
  SendKey(QEvent::KeyPress, VirtualKey, Text, Modifiers);
}

void TestKeyRelease(Word VirtualKey, const String& Text, Cardinal Modifiers) {
  SendKey(QEvent::KeyRelease, VirtualKey, Text, Modifiers);
}

void TestKey(Word VirtualKey, const String& Text, Cardinal Modifiers) {
  TestKeyPress(VirtualKey, Text, Modifiers);
  TestKeyRelease(VirtualKey, Text, Modifiers);
}

void TestTypeText(const String& Text) {
  for (size_t i = 0; i < Text.size(); ++i) {
    const Char c = Text[i];
    Word vk = (c >= u'a' && c <= u'z') ? Word(c - u'a' + u'A') : (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') ? Word(c) : Word(0);
    Cardinal mods = (c >= u'A' && c <= u'Z') ? Cardinal(tkShift) : 0u;
    String s(1, c);
    // No key of the keyboard types it (Chinese, for one): it arrives as the
    // input method commits it, a surrogate pair in one piece.
    if (!vk && c >= 0x80) {
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Text.size()) s += Text[++i];
      TestInputMethodCommit(s);
      continue;
    }
    QWidget* w = KeyTarget();
    if (!w) return;
    QString text = QString::fromUtf16(s.data(), 1);
    int key = vk ? QtKey(vk) : text.toUpper().at(0).unicode();
    QKeyEvent press(QEvent::KeyPress, key, Mods(mods), text);
    QCoreApplication::sendEvent(w, &press);
    if (!(w = KeyTarget())) return;
    QKeyEvent release(QEvent::KeyRelease, key, Mods(mods), text);
    QCoreApplication::sendEvent(w, &release);
  }
}

void TestInputMethodPreedit(const String& Text) {
  QWidget* w = KeyTarget();
  if (!w) return;
  QInputMethodEvent e(QString::fromUtf16(Text.data(), static_cast<qsizetype>(Text.size())), {});
  QCoreApplication::sendEvent(w, &e);
}

void TestInputMethodCommit(const String& Text) {
  QWidget* w = KeyTarget();
  if (!w) return;
  QInputMethodEvent e;
  e.setCommitString(QString::fromUtf16(Text.data(), static_cast<qsizetype>(Text.size())));
  QCoreApplication::sendEvent(w, &e);
}

void TestSetApplicationActive(bool Active) { SetApplicationActive(Active); }

void TestSystemSettingsChange() {
  if (!qApp) return;
  QEvent e(QEvent::LocaleChange);
  QCoreApplication::sendEvent(qApp, &e);
}

void TestQueueModalStep(std::function<void()> Step) {
  GModalStepsUsed = true;
  GModalSteps.push_back(std::move(Step));
}

Integer TestPendingModalSteps() { return static_cast<Integer>(GModalSteps.size()); }

void TestClearModalSteps() { GModalSteps.clear(); }

TModalTestStep RunModalTestStep() {
  if (GModalSteps.empty()) {
    const bool headless = qApp && QGuiApplication::platformName() == QLatin1String("offscreen");
    return GModalStepsUsed || headless ? mtNoInputCanCome : mtNoStep;
  }
  std::function<void()> step = std::move(GModalSteps.front());
  GModalSteps.pop_front();
  TImmediateInputScope immediate;
  step();
  return mtStepRun;
}
