#include "platform/gui/application.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <filesystem>
#include <system_error>

#include "platform/gui/dialogs.h"
#include "platform/gui/hints.h"
#include "platform/gui/testinput.h"
#include "platform/rtl/encoding.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
TMouse* Mouse = nullptr;

namespace {

// The three program-wide objects exist from start-up to the end of the
// process (forms still alive at exit are left to the process's end).
struct TGlobals {
  TGlobals() {
    Application = new TApplication(nullptr);
    Screen = new TScreen(nullptr);
    Mouse = new TMouse;
  }
} GGlobals;

// The toolkit's news that the system's regional settings changed becomes the
// settings-change message (section "intl") of every top-level window, where
// the format controller and the other listeners of the system's settings
// take it.
class TSettingsWatcher : public QObject {
public:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Watched == QCoreApplication::instance() && Event->type() == QEvent::LocaleChange) {
      static const Char Intl[] = u"intl";
      SendToTopLevelWindows(WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(Intl));
    }
    return false;
  }
};

// Installs the watcher once the toolkit runs (it lives as long as the toolkit).
void WatchSystemSettings() {
  static bool watching = false;
  QCoreApplication* app = QCoreApplication::instance();
  if (watching || !app) return;
  watching = true;
  auto* watcher = new TSettingsWatcher;
  watcher->setParent(app);
  app->installEventFilter(watcher);
}

String ExePath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? String() : UTF8ToString(p.string());
}

}  // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  String exe = ExePath();
  auto slash = exe.find_last_of(u'/');
  String base = slash == String::npos ? exe : exe.substr(slash + 1);
  auto dot = base.find_last_of(u'.');
  FTitle = dot == String::npos || dot == 0 ? base : base.substr(0, dot);
}

TApplication::~TApplication() = default;

THintHandler* TApplication::Hints() {
  if (!FHints) FHints = std::make_unique<THintHandler>();
  return FHints.get();
}

void TApplication::CancelHint() {
  if (FHints) FHints->CancelHint();
}

void TApplication::HintMouseMessage(TControl* Control, const TMessage& Message) {
  if (FShowHint || FHints) Hints()->HintMouseMessage(Control, Message);
}

void TApplication::Initialize() {
  if (FInitialized) return;
  FInitialized = true;
  EnsureGuiRuntime();
  WatchSystemSettings();
}

void TApplication::Run() {
  Initialize();
  if (FMainForm && FShowMainForm) FMainForm->Show();
  while (!FTerminated) HandleMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::NoteQuit(Integer Code) {
  FExitCode = Code;
  FTerminated = true;
}

void TApplication::ProcessMessages() {
  WatchSystemSettings();
  PumpWindowSystemEvents();
  TQueueInputScope scope;
  TMsg m;
  while (ProcessOneMessage(m)) {
    if (m.message == WM_QUIT) {
      NoteQuit(static_cast<Integer>(m.wParam));
      break;
    }
  }
}

void TApplication::HandleMessage() {
  WatchSystemSettings();
  TQueueInputScope scope;
  TMsg m;
  if (ProcessOneMessage(m)) {
    if (m.message == WM_QUIT) NoteQuit(static_cast<Integer>(m.wParam));
    return;
  }
  Idle();
  if (!FTerminated && QueuedMessageCount() == 0) WaitWindowSystemEvents(-1);
}

bool TApplication::RunLoopUntil(const std::function<bool()>& Condition) {
  for (;;) {
    if (Condition()) return true;
    if (FTerminated) return false;
    TQueueInputScope scope;
    TMsg m;
    if (ProcessOneMessage(m)) {
      if (m.message == WM_QUIT) {
        PostQuitMessage(static_cast<Integer>(m.wParam));
        return false;
      }
      continue;
    }
    Idle();
    if (Condition()) return true;
    if (QueuedMessageCount() == 0) WaitWindowSystemEvents(-1);
  }
}

bool TApplication::RunModalLoop(const std::function<bool()>& Done) {
  for (;;) {
    if (Done()) return true;
    if (FTerminated) return false;
    TMsg m;
    bool handled = false;
    {
      TQueueInputScope scope;
      handled = ProcessOneMessage(m);
    }
    if (handled) {
      if (m.message == WM_QUIT) {
        PostQuitMessage(static_cast<Integer>(m.wParam));
        return false;
      }
      continue;
    }
    // Out of messages: what the window system holds back comes first, so
    // the idle handlers and the test's steps see everything settled. A
    // step's input is handled as it arrives, as it is outside any loop.
    PumpWindowSystemEvents();
    if (QueuedMessageCount() > 0) continue;
    Idle();
    if (Done()) return true;
    if (QueuedMessageCount() > 0) continue;
    switch (RunModalTestStep()) {
      case mtStepRun: continue;
      case mtNoInputCanCome: return Done();
      case mtNoStep: break;
    }
    WaitWindowSystemEvents(-1);
  }
}

void TApplication::Idle() {
  bool done = true;
  try {
    if (OnIdle) OnIdle(this, done);
  } catch (...) {
    HandleException(this);
  }
}

namespace {

// Inside a catch block: hands the caught error, as an Exception, to Report;
// EAbort is silent, and an error of Report itself ends here.
void ReportCaughtException(const std::function<void(Exception*)>& Report) {
  auto report = [&](Exception* E) {
    try {
      Report(E);
    } catch (...) {
    }
  };
  try {
    throw;
  } catch (EAbort&) {
  } catch (Exception& e) {
    report(&e);
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    report(&wrapped);
  } catch (...) {
    Exception wrapped(u"Unknown error");
    report(&wrapped);
  }
}

}  // namespace

void TApplication::HandleException(TObject* Sender) {
  ReportCaughtException([&](Exception* E) {
    if (OnException) OnException(Sender, E);
    else ShowException(E);
  });
}

void TApplication::ShowCaughtException() {
  ReportCaughtException([this](Exception* E) { ShowException(E); });
}

void TApplication::ShowException(Exception* E) {
  if (!E) return;
  String text = E->Message;
  if (!text.empty() && text.back() > u'.') text += u'.';
  MessageBox(text, FTitle, MB_OK | MB_ICONSTOP);
}

void TApplication::SetTitle(const String& Value) { FTitle = Value; }

String TApplication::ExeName() const { return ExePath(); }

String TApplication::ExeFolder() const {
  String exe = ExePath();
  auto slash = exe.find_last_of(u'/');
  return slash == String::npos ? String(u"./") : exe.substr(0, slash + 1);
}

bool TApplication::Active() const { return IsApplicationActive(); }

Integer TApplication::MessageBox(const String& Text, const String& Caption, Cardinal Flags) {
  HWND owner = GetActiveWindow();
  return ::MessageBox(owner, Text, Caption.empty() ? FTitle : Caption, Flags);
}
