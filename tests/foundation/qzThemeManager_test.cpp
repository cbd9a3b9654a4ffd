#include "foundation/qzThemeManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

// ---- A themed library that counts opens and closes -----------------------------------------

struct TFakeTheme {
  bool Active = true;
  std::set<std::string> Unknown;  // class names that do not open
  std::vector<std::string> Opened;
  std::vector<HTHEME> Closed;
  HTHEME Next = 100;
} GFake;

HTHEME FakeOpen(HWND, const Char* ClassList) {
  const std::string name = StringToUTF8(ClassList);
  if (GFake.Unknown.count(name)) return 0;
  GFake.Opened.push_back(name);
  return GFake.Next++;
}
HRESULT FakeClose(HTHEME Theme) {
  GFake.Closed.push_back(Theme);
  return 5;  // a recognisable success code
}
bool FakeActive() { return GFake.Active; }

std::unique_ptr<TqzThemeLibrary> FakeLibrary() {
  auto library = std::make_unique<TqzThemeLibrary>();
  library->AddProc("OpenThemeData", &FakeOpen);
  library->AddProc("CloseThemeData", &FakeClose);
  library->AddProc("IsThemeActive", &FakeActive);
  return library;
}

class qzThemeManagerTest : public ::testing::Test {
protected:
  void SetUp() override { GFake = TFakeTheme{}; }
  void TearDown() override {
    qzThemeManagerFinalize();
    qzUxThemeFinalize();
  }
  // Both units start again, on a system of the given version with the fake.
  static void Start(Integer AMajor = 5, Integer AMinor = 1) {
    qzThemeManagerFinalize();
    qzUxThemeInitialize(AMajor, AMinor, FakeLibrary());
    qzThemeManagerInitialize();
  }
  static void StartWithPlatformService() {
    qzThemeManagerFinalize();
    qzUxThemeInitialize();
    qzThemeManagerInitialize();
  }
};

// A notificator that logs its calls under a name.
struct TLoggingNotificator {
  explicit TLoggingNotificator(std::vector<std::string>& ALog, std::string AName)
      : Notificator(std::make_unique<TqzThemeChangedNotificator>()) {
    Notificator->OnThemeChanged = TqzThemeChangedEvent(this, [&ALog, AName] { ALog.push_back(AName); });
  }
  std::unique_ptr<TqzThemeChangedNotificator> Notificator;
};

TEST_F(qzThemeManagerTest, WithoutVisualStylesNothingIsAvailable) {
  struct TCase {
    const char* Name;
    void (*StartUp)();
    bool NoticesDelivered;
  };
  const TCase cases[] = {
      {"system before 5.1", [] { Start(5, 0); }, false},
      {"themes switched off", [] { GFake.Active = false; Start(); }, true},
      {"platform service", [] { StartWithPlatformService(); }, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    GFake = TFakeTheme{};
    c.StartUp();
    std::vector<std::string> log;
    TLoggingNotificator listener(log, "listener");
    EXPECT_FALSE(ThemeClassesAvailable(0));
    for (Integer i = 0; i < qzThemeClassCount; ++i) {
      EXPECT_FALSE(ThemeClassAvailable(i));
      EXPECT_EQ(OpenThemeClass(i), 0u);
    }
    EXPECT_EQ(CloseThemeClass(thcButton), S_FALSE);
    EXPECT_TRUE(GFake.Opened.empty());
    NotifyThemeChanged();
    EXPECT_EQ(log.size(), c.NoticesDelivered ? 1u : 0u);
    EXPECT_EQ(ThemeChangedEventReceiver() != nullptr, c.NoticesDelivered);
  }
}

TEST_F(qzThemeManagerTest, HandlesOpenOnFirstUseAndStayCached) {
  Start();
  const HTHEME button = OpenThemeClass(thcButton);
  ASSERT_NE(button, 0u);
  EXPECT_EQ(OpenThemeClass(thcButton), button);
  EXPECT_TRUE(ThemeClassAvailable(thcButton));
  EXPECT_EQ(OpenThemeClass(thcButton, u"BUTTON"), button);  // the same name, other case
  EXPECT_EQ(GFake.Opened, std::vector<std::string>{"Button"});

  EXPECT_EQ(OpenThemeClass(thcWindow), button + 1);
  EXPECT_EQ(GFake.Opened.back(), "Window");
  EXPECT_TRUE(ThemeClassesAvailable(ThemeClassBit(thcButton) | ThemeClassBit(thcScrollBar) | 0xFF000000u));
  EXPECT_EQ(GFake.Opened.back(), "ScrollBar");  // bits above the table are ignored

  GFake.Unknown = {"TrayNotify"};
  EXPECT_FALSE(ThemeClassAvailable(thcTrayNotify));
  EXPECT_FALSE(ThemeClassesAvailable(ThemeClassBit(thcButton) | ThemeClassBit(thcTrayNotify)));
  EXPECT_TRUE(ThemeClassesAvailable(0));

  for (Integer bad : {-1, qzThemeClassCount}) {
    EXPECT_EQ(OpenThemeClass(bad), 0u);
    EXPECT_FALSE(ThemeClassAvailable(bad));
    EXPECT_EQ(CloseThemeClass(bad), E_INVALIDARG);
  }
  EXPECT_EQ(StringToUTF8(ThemeClassDefaultName(thcTreeView)), "TreeView");
  EXPECT_EQ(ThemeClassDefaultName(qzThemeClassCount), u"");
}

TEST_F(qzThemeManagerTest, AnotherClassNameReopensAndIsRemembered) {
  Start();
  const HTHEME spin = OpenThemeClass(thcSpin);
  const HTHEME own = OpenThemeClass(thcSpin, u"Calculator::Spin");
  EXPECT_NE(own, spin);
  EXPECT_EQ(GFake.Closed, std::vector<HTHEME>{spin});
  EXPECT_EQ(OpenThemeClass(thcSpin), own);  // no name: the last one stays

  NotifyThemeChanged();  // closes every handle ...
  EXPECT_EQ(GFake.Closed.back(), own);
  const HTHEME reopened = OpenThemeClass(thcSpin);  // ... and the next use reopens under the kept name
  EXPECT_NE(reopened, own);
  EXPECT_EQ(GFake.Opened.back(), "Calculator::Spin");

  // A name that fails to open is forgotten: the default name is used next.
  GFake.Unknown = {"Nowhere"};
  EXPECT_EQ(OpenThemeClass(thcSpin, u"Nowhere"), 0u);
  EXPECT_NE(OpenThemeClass(thcSpin), 0u);
  EXPECT_EQ(GFake.Opened.back(), "Spin");
}

TEST_F(qzThemeManagerTest, CloseThemeClassAnswersTheCloseResult) {
  Start();
  EXPECT_EQ(CloseThemeClass(thcEdit), S_OK);  // nothing open
  EXPECT_TRUE(GFake.Closed.empty());

  const HTHEME edit = OpenThemeClass(thcEdit, u"Custom::Edit");
  EXPECT_EQ(CloseThemeClass(thcEdit), 5);
  EXPECT_EQ(GFake.Closed, std::vector<HTHEME>{edit});
  OpenThemeClass(thcEdit);  // the name went with the handle
  EXPECT_EQ(GFake.Opened.back(), "Edit");

  OpenThemeClass(thcHeader);
  CloseAllThemeClasses();
  EXPECT_EQ(GFake.Closed.size(), 3u);
  OpenThemeClass(thcHeader);
  EXPECT_EQ(GFake.Opened.back(), "Header");
}

TEST_F(qzThemeManagerTest, ThemeChangeClosesHandlesRereadsTheFlagAndTellsListenersInOrder) {
  Start();
  std::vector<std::string> log;
  TLoggingNotificator first(log, "first");
  TqzThemeChangedNotificator silent;  // no event: skipped
  TLoggingNotificator second(log, "second");
  const HTHEME button = OpenThemeClass(thcButton);
  const HTHEME tab = OpenThemeClass(thcTab);

  TMessage other;
  other.Msg = WM_PAINT;
  ThemeChangedEventReceiver()->WndProc(other);  // not a theme change
  EXPECT_TRUE(GFake.Closed.empty());
  EXPECT_TRUE(log.empty());

  GFake.Active = false;
  TMessage change;
  change.Msg = WM_THEMECHANGED;
  change.Result = 99;
  ThemeChangedEventReceiver()->WndProc(change);
  EXPECT_EQ(change.Result, 0);
  EXPECT_EQ(GFake.Closed, (std::vector<HTHEME>{button, tab}));
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
  EXPECT_FALSE(ThemeClassesAvailable(0));
  EXPECT_EQ(OpenThemeClass(thcButton), 0u);

  // The receiver's hidden window hears a change told to every top-level window.
  GFake.Active = true;
  ASSERT_NE(ThemeChangedEventReceiver()->Handle(), 0u);
  SendToTopLevelWindows(WM_THEMECHANGED, 0, 0);
  EXPECT_TRUE(ThemeClassAvailable(thcButton));
  EXPECT_EQ(log.size(), 4u);
}

TEST_F(qzThemeManagerTest, ListenersMayDestroyNotificatorsDuringANotice) {
  Start();
  std::vector<std::string> log;
  auto self = std::make_unique<TqzThemeChangedNotificator>();
  auto next = std::make_unique<TLoggingNotificator>(log, "next");
  auto killer = std::make_unique<TqzThemeChangedNotificator>();
  auto victim = std::make_unique<TLoggingNotificator>(log, "victim");
  auto last = std::make_unique<TLoggingNotificator>(log, "last");
  self->OnThemeChanged = TqzThemeChangedEvent(self.get(), [&] {
    log.push_back("self");
    self.reset();  // destroys the notificator whose event runs
  });
  killer->OnThemeChanged = TqzThemeChangedEvent(killer.get(), [&] {
    log.push_back("killer");
    victim.reset();
  });
  NotifyThemeChanged();
  EXPECT_EQ(log, (std::vector<std::string>{"self", "next", "killer", "last"}));

  log.clear();
  NotifyThemeChanged();
  EXPECT_EQ(log, (std::vector<std::string>{"next", "killer", "last"}));
}

TEST_F(qzThemeManagerTest, AListenerErrorGoesToTheApplicationHandler) {
  Start();
  std::vector<std::string> handled;
  const TExceptionEvent previous = Application->OnException;
  Application->OnException = TExceptionEvent(&handled, [&](TObject*, Exception* E) {
    handled.push_back(StringToUTF8(E->Message));
  });
  const HTHEME button = OpenThemeClass(thcButton);
  TqzThemeChangedNotificator failing;
  failing.OnThemeChanged = TqzThemeChangedEvent(&failing, [] { throw Exception(u"listener failed"); });
  GFake.Active = false;
  EXPECT_NO_THROW(NotifyThemeChanged());
  Application->OnException = previous;
  EXPECT_EQ(handled, std::vector<std::string>{"listener failed"});
  EXPECT_EQ(GFake.Closed, std::vector<HTHEME>{button});  // the work before the listener is done
  EXPECT_FALSE(ThemeClassesAvailable(0));
}

TEST_F(qzThemeManagerTest, FinalisationClosesHandlesAndReleasesLiveNotificators) {
  Start();
  std::vector<std::string> log;
  auto survivor = std::make_unique<TLoggingNotificator>(log, "survivor");
  const HTHEME menu = OpenThemeClass(thcMenu, u"Own::Menu");
  qzThemeManagerFinalize();
  EXPECT_EQ(GFake.Closed, std::vector<HTHEME>{menu});

  Start();  // a new list: the old notificator is not in it, and the name was released
  NotifyThemeChanged();
  EXPECT_TRUE(log.empty());
  OpenThemeClass(thcMenu);
  EXPECT_EQ(GFake.Opened.back(), "Menu");
  survivor.reset();  // leaving a list it is not in
}

}  // namespace
