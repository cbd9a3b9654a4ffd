#include "foundation/qzThemeManager.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "platform/gui/windowing.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr std::array<const Char*, qzThemeClassCount> kDefaultClassNames = {
    u"Button", u"Clock",   u"ComboBox", u"Edit",     u"ExplorerBar", u"Header",     u"ListView", u"Menu",
    u"Page",   u"Progress", u"Rebar",   u"ScrollBar", u"Spin",       u"StartPanel", u"Status",   u"Tab",
    u"TaskBand", u"TaskBar", u"ToolBar", u"ToolTip", u"TrackBar",    u"TrayNotify", u"TreeView", u"Window",
};

using TNotificatorList = std::vector<TqzThemeChangedNotificator*>;

struct TManagerState {
  bool Started = false;
  bool VisualStylesActive = false;
  std::array<TqzThemeData, qzThemeClassCount> Table;
  std::unique_ptr<TqzThemeChangedEventReceiver> Receiver;
  std::unique_ptr<TNotificatorList> Notificators;  // exists while the library is loaded
};

// Kept for the whole run: notificators destroyed at exit may still leave it.
TManagerState& State() {
  static TManagerState* s = new TManagerState;
  return *s;
}

TManagerState& Manager() {
  if (!State().Started) qzThemeManagerInitialize();
  return State();
}

bool ValidIndex(Integer AIndex) { return AIndex >= 0 && AIndex < qzThemeClassCount; }

void CloseAllEntries() {
  for (TqzThemeData& entry : State().Table) {
    if (!entry.Theme) continue;
    const HTHEME theme = entry.Theme;
    entry.Theme = 0;
    CloseThemeData(theme);
  }
}

bool Listed(TqzThemeChangedNotificator* ANotificator) {
  const TNotificatorList* list = State().Notificators.get();
  return list && std::find(list->begin(), list->end(), ANotificator) != list->end();
}

// First to last; a notificator destroyed by an earlier one's handler is
// skipped, one created meanwhile waits for the next notice.
void CallNotificators() {
  if (!State().Notificators) return;
  const TNotificatorList snapshot = *State().Notificators;
  for (TqzThemeChangedNotificator* notificator : snapshot) {
    if (!Listed(notificator)) continue;
    // A copy: the handler may destroy the notificator that holds the event.
    const TqzThemeChangedEvent event = notificator->OnThemeChanged;
    if (event) event();
  }
}

}  // namespace

String ThemeClassDefaultName(Integer AIndex) {
  return ValidIndex(AIndex) ? String(kDefaultClassNames[static_cast<size_t>(AIndex)]) : String();
}

void qzThemeManagerInitialize() {
  qzThemeManagerFinalize();
  TManagerState& s = State();
  s.Started = true;
  if (!IsThemeLibraryLoaded()) return;
  s.VisualStylesActive = IsThemeActive();
  s.Receiver = std::make_unique<TqzThemeChangedEventReceiver>();
  s.Notificators = std::make_unique<TNotificatorList>();
}

void qzThemeManagerFinalize() {
  TManagerState& s = State();
  s.Receiver.reset();
  CloseAllEntries();
  s.Notificators.reset();
  for (TqzThemeData& entry : s.Table) entry.ClassName.clear();
  s.VisualStylesActive = false;
  s.Started = false;
}

bool ThemeClassesAvailable(TqzThemeClasses AMask) {
  if (!Manager().VisualStylesActive || !IsThemeLibraryLoaded()) return false;
  for (Integer i = 0; i < qzThemeClassCount; ++i)
    if ((AMask & ThemeClassBit(i)) && OpenThemeClass(i) == 0) return false;
  return true;
}

bool ThemeClassAvailable(Integer AIndex) {
  return Manager().VisualStylesActive && IsThemeLibraryLoaded() && OpenThemeClass(AIndex) != 0;
}

HTHEME OpenThemeClass(Integer AIndex, const Char* AClassName) {
  if (!ThemeClassesAvailable(0) || !ValidIndex(AIndex)) return 0;
  TqzThemeData& entry = State().Table[static_cast<size_t>(AIndex)];
  if (entry.Theme) {
    if (!AClassName || AnsiUpperCase(AClassName) == AnsiUpperCase(entry.ClassName)) return entry.Theme;
    CloseThemeClass(AIndex);
  }
  String name = AClassName              ? String(AClassName)
                : !entry.ClassName.empty() ? entry.ClassName
                                           : ThemeClassDefaultName(AIndex);
  const HTHEME theme = OpenThemeData(0, name.c_str());
  if (theme) {
    entry.Theme = theme;
    entry.ClassName = std::move(name);
  } else {
    entry.ClassName.clear();
  }
  return theme;
}

HRESULT CloseThemeClass(Integer AIndex) {
  if (!ThemeClassesAvailable(0)) return S_FALSE;
  if (!ValidIndex(AIndex)) return E_INVALIDARG;
  TqzThemeData& entry = State().Table[static_cast<size_t>(AIndex)];
  const HTHEME theme = entry.Theme;
  entry.Theme = 0;
  entry.ClassName.clear();
  return theme ? CloseThemeData(theme) : S_OK;
}

void CloseAllThemeClasses() {
  Manager();
  CloseAllEntries();
}

// ---- Notificators and the receiver -------------------------------------------------------

TqzThemeChangedNotificator::TqzThemeChangedNotificator() {
  if (TNotificatorList* list = Manager().Notificators.get()) list->push_back(this);
}

TqzThemeChangedNotificator::~TqzThemeChangedNotificator() {
  TNotificatorList* list = State().Notificators.get();
  if (!list) return;
  list->erase(std::remove(list->begin(), list->end(), this), list->end());
}

// Allocated in the body: messages sent while the window is being created
// already reach WndProc, which must then read a null FWindow.
TqzThemeChangedEventReceiver::TqzThemeChangedEventReceiver() {
  FWindow = AllocateHWnd(MakeEvent(this, &TqzThemeChangedEventReceiver::WndProc));
}

TqzThemeChangedEventReceiver::~TqzThemeChangedEventReceiver() {
  State().VisualStylesActive = false;
  if (FWindow) DeallocateHWnd(FWindow);
}

void TqzThemeChangedEventReceiver::WndProc(TMessage& Message) {
  if (Message.Msg != WM_THEMECHANGED) {
    DefWindowProc(FWindow, Message);
    return;
  }
  try {
    CloseAllEntries();
    DefWindowProc(FWindow, Message);
    State().VisualStylesActive = IsThemeActive();
    Message.Result = 0;
    CallNotificators();
  } catch (...) {
    HandleBoundaryException();
  }
}

TqzThemeChangedEventReceiver* ThemeChangedEventReceiver() { return Manager().Receiver.get(); }

void NotifyThemeChanged() {
  TqzThemeChangedEventReceiver* receiver = ThemeChangedEventReceiver();
  if (!receiver) return;
  if (receiver->Handle()) {
    SendMessage(receiver->Handle(), WM_THEMECHANGED, 0, 0);
    return;
  }
  TMessage message;
  message.Msg = WM_THEMECHANGED;
  receiver->WndProc(message);
}
