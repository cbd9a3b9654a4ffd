// Window timers over one scheduler: a single Qt timer wakes it at the next
// due time, or a test clock drives it.
#include "platform/gui/timers.h"

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <map>

#include "platform/gui/application.h"
#include "platform/gui/windowing.h"
#include "platform/gui/windowsystem_internal.h"

namespace {

struct TTimerRec {
  UINT Interval = 0;
  UInt64 Due = 0;
  TTimerProc Proc = nullptr;
};

using TTimerKey = std::pair<HWND, WPARAM>;
std::map<TTimerKey, TTimerRec> GTimers;
WPARAM GNextThreadTimer = 0x7F00;
TTestClock* GTestClock = nullptr;
UInt64 GTestNow = 0;

UInt64 RealNow() {
  static const auto start = std::chrono::steady_clock::now();
  return static_cast<UInt64>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
}

UInt64 Now() { return GTestClock ? GTestNow : RealNow(); }

void Reschedule();

// Queues WM_TIMER for every timer due at Time; drops timers of dead windows.
void FireDue(UInt64 Time) {
  for (auto it = GTimers.begin(); it != GTimers.end();) {
    if (it->first.first && !IsWindow(it->first.first)) {
      it = GTimers.erase(it);
      continue;
    }
    if (it->second.Due <= Time) {
      it->second.Due = Time + it->second.Interval;
      PostTimerMessage(it->first.first, it->first.second, reinterpret_cast<LPARAM>(it->second.Proc));
    }
    ++it;
  }
}

QTimer* Waker() {
  static QTimer* t = nullptr;
  if (!t) {
    EnsureGuiRuntime();
    t = new QTimer;  // lives as long as the process
    t->setSingleShot(true);
    QObject::connect(t, &QTimer::timeout, [] {
      try {
        FireDue(Now());
        Reschedule();
        DrainQueueIfIdle();
      } catch (...) {
        HandleBoundaryException();
      }
    });
  }
  return t;
}

void Reschedule() {
  if (GTestClock) return;
  if (GTimers.empty()) {
    if (QCoreApplication::instance()) Waker()->stop();
    return;
  }
  UInt64 next = UINT64_MAX;
  for (auto& [k, t] : GTimers) next = std::min(next, t.Due);
  UInt64 now = Now();
  Waker()->start(static_cast<int>(next > now ? std::min<UInt64>(next - now, 0x7FFFFFFF) : 0));
}

}  // namespace

DWORD GetTickCount() { return static_cast<DWORD>(Now()); }

WPARAM SetTimer(HWND Wnd, WPARAM IdEvent, UINT Interval, TTimerProc Proc) {
  if (Wnd && !IsWindow(Wnd)) return 0;
  if (Interval == 0) {
    KillTimer(Wnd, IdEvent);
    return 0;
  }
  if (!Wnd && (IdEvent == 0 || !GTimers.count({0, IdEvent}))) IdEvent = GNextThreadTimer++;
  TTimerRec& t = GTimers[{Wnd, IdEvent}];
  t.Interval = Interval;
  t.Due = Now() + Interval;
  t.Proc = Proc;
  Reschedule();
  return Wnd ? (IdEvent ? IdEvent : 1) : IdEvent;
}

bool KillTimer(HWND Wnd, WPARAM IdEvent) {
  bool found = GTimers.erase({Wnd, IdEvent}) > 0;
  if (found) {
    RemoveQueuedTimer(Wnd, IdEvent);  // a WM_TIMER still queued goes too
    Reschedule();
  }
  return found;
}

Integer ActiveTimerCount() {
  Integer n = 0;
  for (auto& [k, t] : GTimers)
    if (!k.first || IsWindow(k.first)) ++n;
  return n;
}

TTestClock::TTestClock() {
  GTestNow = RealNow();
  GTestClock = this;
  if (QCoreApplication::instance()) Waker()->stop();
}

TTestClock::~TTestClock() {
  if (GTestClock == this) GTestClock = nullptr;
  for (auto& [k, t] : GTimers) t.Due = RealNow() + t.Interval;
  Reschedule();
}

void TTestClock::Advance(DWORD Milliseconds) {
  UInt64 end = GTestNow + Milliseconds;
  for (;;) {
    UInt64 next = UINT64_MAX;
    for (auto& [k, t] : GTimers) next = std::min(next, t.Due);
    if (next > end) break;
    GTestNow = std::max(GTestNow, next);
    FireDue(GTestNow);
    DrainQueueIfIdle();
  }
  GTestNow = end;
}

DWORD TTestClock::Now() const { return static_cast<DWORD>(GTestNow); }

// ---- TTimer --------------------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
  if (FWindow) DeallocateHWnd(FWindow);
}

void TTimer::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (FInterval == Value) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
  FOnTimer = Value;
  UpdateTimer();
}

void TTimer::Timer() {
  if (FOnTimer) FOnTimer(this);
}

void TTimer::UpdateTimer() {
  if (FWindow) KillTimer(FWindow, 1);
  if (!FEnabled || FInterval == 0 || !FOnTimer) return;
  if (!FWindow) FWindow = AllocateHWnd(MakeEvent(this, &TTimer::WndProc));
  SetTimer(FWindow, 1, FInterval);
}

void TTimer::WndProc(TMessage& Message) {
  if (Message.Msg != WM_TIMER) {
    DefWindowProc(FWindow, Message);
    return;
  }
  try {
    Timer();
  } catch (...) {
    HandleBoundaryException();
  }
}
