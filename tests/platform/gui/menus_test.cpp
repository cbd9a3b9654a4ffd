// Menus: popup menus rebuilt when shown, shortcuts, the menu bar, items
// freed while their menu is open.
#include <gtest/gtest.h>

#include <functional>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

TMenuItem* NewItem(TComponent* Owner, const String& Caption, TShortCut Key = 0) {
  auto* i = new TMenuItem(Owner);
  i->SetCaption(Caption);
  i->SetShortCut(Key);
  return i;
}

// Clicks the item in the innermost open menu window.
void ClickOpenItem(TMenuItem* Item) {
  TWinControl* w = OpenMenuWindow();
  ASSERT_NE(w, nullptr);
  TRect r = MenuWindowItemRect(w, Item);
  ASSERT_FALSE(IsRectEmpty(r));
  TestClick(w->Handle(), TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
}

std::vector<String> OpenCaptions() {
  std::vector<String> r;
  for (TMenuItem* i : MenuWindowItems(OpenMenuWindow())) r.push_back(i->Caption());
  return r;
}

struct TMenuFixture : TFormFixture {
  TMenuFixture() { Popup = new TPopupMenu(Form); }
  ~TMenuFixture() {
    CloseMenus();
    TestClearModalSteps();
  }
  TPopupMenu* Popup;
};

TEST(Menus, PopupRebuiltInOnPopupShowsTheNewItemsAndClickRunsOnClick) {
  TMenuFixture f;
  f.Popup->Items()->Add(NewItem(f.Form, u"old"));
  std::vector<String> clicked;
  Integer generation = 0;
  f.Popup->OnPopup = TNotifyEvent(&f, [&](TObject*) {
    f.Popup->Items()->Clear();
    ++generation;
    for (String c : {String(u"新建"), String(u"-"), String(u"删除 ") + String(1, Char(u'0' + generation))}) {
      TMenuItem* i = NewItem(f.Form, c);
      i->OnClick = TNotifyEvent(&f, [&clicked](TObject* Sender) {
        clicked.push_back(static_cast<TMenuItem*>(Sender)->Caption());
      });
      f.Popup->Items()->Add(i);
    }
  });
  TestQueueModalStep([&] {
    EXPECT_EQ(OpenCaptions(), (std::vector<String>{u"新建", u"-", u"删除 1"}));
    ClickOpenItem(f.Popup->Items()->Items(1));  // a separator chooses nothing
    EXPECT_TRUE(clicked.empty());
    ClickOpenItem(f.Popup->Items()->Items(2));
  });
  f.Popup->Popup(150, 150);
  EXPECT_EQ(clicked, std::vector<String>{u"删除 1"});
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  // Shown again: rebuilt again.
  TestQueueModalStep([&] {
    EXPECT_EQ(OpenCaptions().back(), u"删除 2");
    // A click outside closes the menu without choosing.
    TestClick(OpenMenuWindow()->Handle(), TPoint{-50, -50});
    EXPECT_EQ(OpenMenuWindow(), nullptr);
  });
  f.Popup->Popup(150, 150);
  EXPECT_EQ(clicked.size(), 1u);
}

TEST(Menus, PopupHoldsTheCallerUntilTheMenuClosesAndClicksTheChoiceFirst) {
  // What the user does while the menu is open, and what Popup leaves behind.
  struct {
    const char* Name;
    std::function<void(TPopupMenu*)> User;
    std::vector<String> Log;  // in order: the user's part, clicks, Popup's return
  } const Cases[] = {
      {"a click on an item", [](TPopupMenu* M) { ClickOpenItem(M->Items()->Items(1)); },
       {u"user", u"click 删除", u"returned"}},
      {"down twice and Enter", [](TPopupMenu*) {
         TestKey(VK_DOWN);
         TestKey(VK_DOWN);
         TestKey(VK_RETURN, u"\r");
       }, {u"user", u"click 删除", u"returned"}},
      {"the item's accelerator", [](TPopupMenu*) { TestKey('N', u"n"); }, {u"user", u"click 新建(&N)", u"returned"}},
      {"Esc", [](TPopupMenu*) { TestKey(VK_ESCAPE); }, {u"user", u"returned"}},
      {"a click outside", [](TPopupMenu*) { TestClick(OpenMenuWindow()->Handle(), TPoint{-40, -40}); },
       {u"user", u"returned"}},
      {"a right click outside", [](TPopupMenu*) { TestClick(OpenMenuWindow()->Handle(), TPoint{-40, -40}, tbRight); },
       {u"user", u"returned"}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TMenuFixture f;
    std::vector<String> log;
    for (String c : {String(u"新建(&N)"), String(u"删除")}) {
      TMenuItem* i = NewItem(f.Form, c);
      i->OnClick = TNotifyEvent(&f, [&log](TObject* Sender) { log.push_back(u"click " + static_cast<TMenuItem*>(Sender)->Caption()); });
      f.Popup->Items()->Add(i);
    }
    TestQueueModalStep([&] {
      ASSERT_NE(OpenMenuWindow(), nullptr);
      log.push_back(u"user");
      Case.User(f.Popup);
      EXPECT_EQ(OpenMenuWindow(), nullptr) << "the user's part closes the menu";
      EXPECT_EQ(log.back(), u"user") << "the click runs once the menu's loop is over";
    });
    f.Popup->Popup(150, 150);
    log.push_back(u"returned");
    EXPECT_EQ(log, Case.Log);
    EXPECT_EQ(TestPendingModalSteps(), 0);
  }
}

TEST(Menus, AMenuOpenedWhileAnotherIsOpenEndsTheOtherWithoutAChoice) {
  TMenuFixture f;
  auto* other = new TPopupMenu(f.Form);
  std::vector<String> log;
  for (TPopupMenu* m : {f.Popup, other}) {
    TMenuItem* i = NewItem(f.Form, m == f.Popup ? u"first" : u"second");
    i->OnClick = TNotifyEvent(&f, [&log](TObject* Sender) { log.push_back(static_cast<TMenuItem*>(Sender)->Caption()); });
    m->Items()->Add(i);
  }
  TestQueueModalStep([&] {
    other->Popup(200, 100);  // a loop inside the first menu's loop
    log.push_back(u"second returned");
  });
  TestQueueModalStep([&] {
    EXPECT_EQ(OpenCaptions(), std::vector<String>{u"second"});
    ClickOpenItem(other->Items()->Items(0));
  });
  f.Popup->Popup(150, 150);
  log.push_back(u"first returned");
  EXPECT_EQ(log, (std::vector<String>{u"second", u"second returned", u"first returned"}));
  EXPECT_EQ(OpenMenuWindow(), nullptr);
}

TEST(Menus, AClickThatFreesTheMenuItsOwnerAndTheControlIsSafe) {
  TMenuFixture f;
  // A form of its own owns the menu and the control the menu is shown for.
  auto* doomed = new TForm(nullptr);
  doomed->SetBounds(20, 20, 200, 150);
  auto* target = new TRecorder(doomed);
  target->SetParent(doomed);
  target->SetBounds(10, 10, 120, 80);
  auto* menu = new TPopupMenu(doomed);
  TMenuItem* close = NewItem(doomed, u"关闭");
  menu->Items()->Add(close);
  target->SetPopupMenu(menu);
  doomed->Show();
  bool freed = false;
  close->OnClick = TNotifyEvent(&f, [&](TObject*) {
    doomed->Free();
    freed = true;
  });
  TestQueueModalStep([&] { ClickOpenItem(close); });
  TestClick(target->Handle(), TPoint{30, 30}, tbRight);
  EXPECT_TRUE(freed);
  Application->ProcessMessages();
  // The program goes on: another menu still works.
  f.Popup->Items()->Add(NewItem(f.Form, u"ok"));
  TestQueueModalStep([] { TestKey(VK_ESCAPE); });
  f.Popup->Popup(150, 150);
  EXPECT_EQ(TestPendingModalSteps(), 0);
}

TEST(Menus, RightClickShowsTheControlsPopupMenu) {
  TMenuFixture f;
  f.Popup->Items()->Add(NewItem(f.Form, u"Copy"));
  f.First->SetPopupMenu(f.Popup);
  bool shown = false;
  TestQueueModalStep([&] {
    shown = OpenMenuWindow() != nullptr;
    EXPECT_EQ(f.Popup->PopupComponent(), f.First);
    EXPECT_EQ(f.Popup->PopupPoint(), f.First->ClientToScreen(TPoint{20, 20}));
    CloseMenus();
  });
  TestClick(f.First->Handle(), TPoint{20, 20}, tbRight);
  ASSERT_TRUE(shown);
  EXPECT_EQ(TestPendingModalSteps(), 0);
  f.Popup->SetAutoPopup(false);
  TestClick(f.First->Handle(), TPoint{20, 20}, tbRight);
  EXPECT_EQ(OpenMenuWindow(), nullptr);
}

TEST(Menus, ShortcutsFireOnClickOfEnabledVisibleItems) {
  TMenuFixture f;
  auto* main = new TMainMenu(f.Form);
  TMenuItem* file = NewItem(f.Form, u"&File");
  TMenuItem* save = NewItem(f.Form, u"&Save", ShortCut('S', ssCtrl));
  TMenuItem* hidden = NewItem(f.Form, u"Hidden", ShortCut(VK_F5, 0));
  main->Items()->Add(file);
  file->Add(save);
  file->Add(hidden);
  hidden->SetVisible(false);
  TMenuItem* copy = NewItem(f.Form, u"Copy", ShortCut('C', ssCtrl | ssShift));
  f.Popup->Items()->Add(copy);
  f.First->SetPopupMenu(f.Popup);
  f.Form->SetMenu(main);
  Integer saves = 0, hides = 0, copies = 0;
  save->OnClick = TNotifyEvent(&f, [&](TObject*) { ++saves; });
  hidden->OnClick = TNotifyEvent(&f, [&](TObject*) { ++hides; });
  copy->OnClick = TNotifyEvent(&f, [&](TObject*) { ++copies; });
  f.First->SetFocus();
  TestKey('S', u"", tkCtrl);
  TestKey(VK_F5);
  TestKey('C', u"", tkCtrl | tkShift);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(hides, 0);
  EXPECT_EQ(copies, 1);
  save->SetEnabled(false);
  TestKey('S', u"", tkCtrl);
  EXPECT_EQ(saves, 1);
  // The shortcut key never reaches the focused control as a key.
  f.First->Log.clear();
  TestKey('C', u"", tkCtrl | tkShift);
  EXPECT_TRUE(f.First->Only({WM_KEYDOWN, WM_CHAR}).empty());
}

TEST(Menus, ShortcutTextRoundTrips) {
  struct TCase {
    TShortCut Key;
    const char16_t* Text;
  } cases[] = {
      {ShortCut('S', ssCtrl), u"Ctrl+S"},
      {ShortCut(VK_F5, ssShift | ssCtrl), u"Shift+Ctrl+F5"},
      {ShortCut(VK_DELETE, 0), u"Del"},
      {ShortCut(VK_RETURN, ssAlt), u"Alt+Enter"},
      {ShortCut('1', ssCtrl), u"Ctrl+1"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(ShortCutToText(c.Key), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Key);
  }
  EXPECT_EQ(TextToShortCut(u"ctrl+shift+s"), ShortCut('S', ssCtrl | ssShift));
  EXPECT_EQ(TextToShortCut(u"Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut(u"Hyper+Q"), 0);
  EXPECT_EQ(ShortCutToText(0), u"");
  Word key = 0;
  TShiftState shift = 0;
  ShortCutToKey(ShortCut(VK_F2, ssAlt | ssShift), key, shift);
  EXPECT_EQ(key, VK_F2);
  EXPECT_EQ(shift, ssAlt | ssShift);
}

TEST(Menus, ItemFreedWhileItsMenuIsOpenIsForgotten) {
  TMenuFixture f;
  TMenuItem* a = NewItem(f.Form, u"a");
  TMenuItem* b = NewItem(f.Form, u"b");
  TMenuItem* sub = NewItem(f.Form, u"sub");
  f.Popup->Items()->Add(a);
  f.Popup->Items()->Add(b);
  f.Popup->Items()->Add(sub);
  sub->Add(NewItem(f.Form, u"inner"));
  Integer clicks = 0;
  b->OnClick = TNotifyEvent(&f, [&](TObject*) { ++clicks; });
  TestQueueModalStep([&] {
    TWinControl* w = OpenMenuWindow();
    TRect where = MenuWindowItemRect(w, a);
    a->Free();
    EXPECT_EQ(OpenCaptions(), (std::vector<String>{u"b", u"sub"}));
    TestMouseMove(w->Handle(), TPoint{where.Left + 5, where.Top + 5});
    Application->ProcessMessages();
    TestClick(w->Handle(), TPoint{where.Left + 5, where.Top + 5});  // now "b" stands there
  });
  f.Popup->Popup(150, 150);
  EXPECT_EQ(clicks, 1);
  // A sub-menu whose item goes away closes; freeing the whole menu closes
  // all, and Popup returns (without touching the freed menu).
  TestQueueModalStep([&] {
    TRect s = MenuWindowItemRect(OpenMenuWindow(), sub);
    TestMouseMove(OpenMenuWindow()->Handle(), TPoint{s.Left + 5, s.Top + 5});
    ASSERT_EQ(OpenCaptions(), std::vector<String>{u"inner"});
    sub->Free();
    EXPECT_EQ(OpenCaptions(), std::vector<String>{u"b"});
    f.Popup->Free();
    EXPECT_EQ(OpenMenuWindow(), nullptr);
  });
  f.Popup->Popup(150, 150);
  EXPECT_EQ(TestPendingModalSteps(), 0);
  Application->ProcessMessages();
}

TEST(Menus, KeysGoToTheOpenMenuAndNeverToTheFocusedControl) {
  TMenuFixture f;
  std::vector<String> clicked;
  for (String c : {String(u"a"), String(u"-"), String(u"b"), String(u"c")}) {
    TMenuItem* i = NewItem(f.Form, c);
    i->OnClick = TNotifyEvent(&f, [&clicked](TObject* Sender) { clicked.push_back(static_cast<TMenuItem*>(Sender)->Caption()); });
    f.Popup->Items()->Add(i);
  }
  f.Popup->Items()->Items(3)->SetEnabled(false);
  TMenuItem* sub = f.Popup->Items()->Items(3);
  sub->SetEnabled(true);
  sub->Add(NewItem(f.Form, u"inner"));
  sub->Items(0)->OnClick = TNotifyEvent(&f, [&clicked](TObject*) { clicked.push_back(u"inner"); });
  f.First->SetFocus();
  f.First->Log.clear();
  TestQueueModalStep([] {
    TestKey(VK_ESCAPE);  // closes the menu only
    EXPECT_EQ(OpenMenuWindow(), nullptr);
  });
  f.Popup->Popup(150, 150);
  TestQueueModalStep([] {
    TestKey(VK_DOWN);
    TestKey(VK_DOWN);  // skips the separator
    TestKey(VK_RETURN, u"\r");
  });
  f.Popup->Popup(150, 150);
  EXPECT_EQ(clicked, std::vector<String>{u"b"});
  TestQueueModalStep([] {
    TestKey(VK_UP);  // from nothing: the last item, which has a sub-menu
    TestKey(VK_RIGHT);
    EXPECT_EQ(OpenCaptions(), std::vector<String>{u"inner"});
    TestKey(VK_LEFT);
    EXPECT_EQ(OpenCaptions().size(), 4u);
    TestKey(VK_RETURN, u"\r");
    TestKey(VK_RETURN, u"\r");
  });
  f.Popup->Popup(150, 150);
  EXPECT_EQ(clicked.back(), u"inner");
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  EXPECT_TRUE(f.First->Only({WM_KEYDOWN, WM_CHAR}).empty());
}

TEST(Menus, OwnerDrawnItemsMeasureAndDrawThemselves) {
  TMenuFixture f;
  f.Popup->SetOwnerDraw(true);
  TMenuItem* tall = NewItem(f.Form, u"tall");
  TMenuItem* plain = NewItem(f.Form, u"plain");
  f.Popup->Items()->Add(tall);
  f.Popup->Items()->Add(plain);
  std::vector<bool> drawnSelected;
  tall->OnMeasureItem = TMenuMeasureItemEvent(&f, [](TObject*, TCanvas*, Integer& W, Integer& H) {
    W = 200;
    H = 40;
  });
  tall->OnDrawItem = TMenuDrawItemEvent(&f, [&](TObject*, TCanvas* C, const TRect& R, bool Selected) {
    drawnSelected.push_back(Selected);
    C->Brush()->SetColor(clLime);
    C->FillRect(R);
  });
  TestQueueModalStep([&] {
    TWinControl* w = OpenMenuWindow();
    EXPECT_EQ(MenuWindowItemRect(w, tall).Bottom - MenuWindowItemRect(w, tall).Top, 40);
    EXPECT_GE(w->Width(), 200);
    UpdateWindow(w->Handle());
    ASSERT_FALSE(drawnSelected.empty());
    EXPECT_FALSE(drawnSelected.back());
    TRect area = GetClientArea(w->Handle());
    EXPECT_EQ(GetWindowBuffer(w->Handle())->PixelColor(area.Left + 100, area.Top + 20), clLime);
    TestMouseMove(w->Handle(), TPoint{100, 20});
    UpdateWindow(w->Handle());
    EXPECT_TRUE(drawnSelected.back());
    CloseMenus();
  });
  f.Popup->Popup(150, 150);
  EXPECT_EQ(TestPendingModalSteps(), 0);
}

// An item class of the program's own, with fields of its own.
class TTaggedItem : public TMenuItem {
public:
  TTaggedItem(TComponent* AOwner, bool* Freed) : TMenuItem(AOwner), FFreed(Freed) {}
  ~TTaggedItem() override { *FFreed = true; }
  String Path = u"/root/a";

private:
  bool* FFreed;
};

TEST(Menus, SubItemsBelongToTheirParent) {
  TPopupMenu menu(nullptr);
  bool freed1 = false, freed2 = false;
  auto* parent = new TMenuItem(nullptr);
  auto* one = new TTaggedItem(nullptr, &freed1);
  auto* two = new TTaggedItem(nullptr, &freed2);
  menu.Items()->Add(parent);
  parent->Add(one);
  parent->Add(two);
  EXPECT_EQ(parent->GetParentMenu(), &menu);
  EXPECT_EQ(static_cast<TTaggedItem*>(parent->Items(1))->Path, u"/root/a");
  auto* stray = new TMenuItem(nullptr);
  menu.Items()->Add(stray);
  EXPECT_THROW(parent->Add(stray), EMenuError);
  stray->Free();  // leaves its parent
  EXPECT_EQ(menu.Items()->Count(), 1);
  parent->Delete(0);
  EXPECT_TRUE(freed1);
  EXPECT_EQ(parent->Count(), 1);
  menu.Items()->Clear();  // frees parent and, through it, two
  EXPECT_TRUE(freed2);
}

TEST(Menus, MenuBarOpensALevelAndChoosesFromIt) {
  TMenuFixture f;
  auto* main = new TMainMenu(f.Form);
  TMenuItem* file = NewItem(f.Form, u"文件(&F)");
  TMenuItem* quit = NewItem(f.Form, u"退出(&X)");
  main->Items()->Add(file);
  file->Add(quit);
  Integer quits = 0;
  quit->OnClick = TNotifyEvent(&f, [&](TObject*) { ++quits; });
  f.Form->SetMenu(main);
  EXPECT_EQ(f.Form->Menu(), main);
  // The bar takes the top of the client area; the other controls stay below it.
  TCustomControl* bar = nullptr;
  for (Integer i = 0; i < f.Form->ControlCount(); ++i)
    if (MenuBarMenu(dynamic_cast<TCustomControl*>(f.Form->Controls(i))) == main)
      bar = static_cast<TCustomControl*>(f.Form->Controls(i));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->Top(), 0);
  EXPECT_EQ(bar->Width(), f.Form->ClientWidth());
  TRect r = MenuBarItemRect(bar, file);
  TestClick(bar->Handle(), TPoint{r.Left + 4, r.Top + 4});
  EXPECT_EQ(OpenCaptions(), std::vector<String>{u"退出(&X)"});
  ClickOpenItem(quit);
  EXPECT_EQ(quits, 1);
  main->Free();
  EXPECT_EQ(f.Form->Menu(), nullptr);
}


// A form with a menu bar 文件(&F) [新建(&N), 打开(&O)], 编辑(&E) [复制(&C),
// 更多(&M) [全部(&A)]], 帮助(&H) [关于(&A)], worked by keyboard only.
struct TBarFixture : TMenuFixture {
  TBarFixture() {
    Main = new TMainMenu(Form);
    const std::vector<std::pair<String, std::vector<String>>> titles = {
        {u"文件(&F)", {u"新建(&N)", u"打开(&O)"}}, {u"编辑(&E)", {u"复制(&C)", u"更多(&M)"}}, {u"帮助(&H)", {u"关于(&A)"}}};
    for (const auto& [title, items] : titles) {
      TMenuItem* t = NewItem(Form, title);
      Main->Items()->Add(t);
      for (const String& c : items) t->Add(Item(c));
    }
    Main->Items()->Items(1)->Items(1)->Add(Item(u"全部(&A)"));
    Form->SetMenu(Main);
    for (Integer i = 0; i < Form->ControlCount(); ++i)
      if (MenuBarMenu(dynamic_cast<TCustomControl*>(Form->Controls(i))) == Main) Bar = static_cast<TCustomControl*>(Form->Controls(i));
    First->SetFocus();
    First->OnMessage = [this](TMessage& M) {
      const bool key = M.Msg == WM_KEYDOWN || M.Msg == WM_SYSKEYDOWN || M.Msg == WM_CHAR || M.Msg == WM_SYSCHAR;
      if (key && M.WParam != VK_MENU) KeysSeen.push_back(static_cast<Word>(M.WParam));
    };
    Application->ProcessMessages();  // the window system's news of the new form first
  }
  TMenuItem* Item(const String& Caption) {
    TMenuItem* i = NewItem(Form, Caption);
    i->OnClick = TNotifyEvent(Form, [this](TObject* Sender) { Clicked.push_back(static_cast<TMenuItem*>(Sender)->Caption()); });
    return i;
  }
  String Hot() const {
    TMenuItem* i = MenuBarHotItem(Bar);
    return i ? i->Caption() : String(u"-");
  }
  TMainMenu* Main = nullptr;
  TCustomControl* Bar = nullptr;
  std::vector<String> Clicked;
  std::vector<Word> KeysSeen;  // by the focused control, Alt itself left out
};

void AltAlone() {
  TestKeyPress(VK_MENU, u"", tkAlt);
  TestKeyRelease(VK_MENU);
}

void AltLetter(Word Letter) {
  TestKeyPress(VK_MENU, u"", tkAlt);
  TestKey(Letter, String(1, static_cast<Char>(Letter - 'A' + 'a')), tkAlt);
  TestKeyRelease(VK_MENU);
}

TEST(Menus, TheMenuBarIsWorkedByKeyboard) {
  struct {
    const char* Name;
    std::function<void()> Keys;
    String Hot;                      // the highlighted title ("-": the bar is not in use)
    std::vector<String> Open;        // the items of the innermost open menu
    std::vector<String> Clicked;
    std::vector<Word> Seen = {};  // keys (down and character) the focused control has
  } const Cases[] = {
      {"F10 highlights the first title", [] { TestKey(VK_F10); }, u"文件(&F)", {}, {}},
      {"Alt alone does the same", [] { AltAlone(); }, u"文件(&F)", {}, {}},
      {"Alt with another key in between does not", [] {
         TestKeyPress(VK_MENU, u"", tkAlt);
         TestKey('Q', u"q", tkAlt);
         TestKeyRelease(VK_MENU);
       }, u"-", {}, {}, {'Q', 'q'}},
      {"F10 twice leaves the bar", [] { TestKey(VK_F10); TestKey(VK_F10); }, u"-", {}, {}},
      {"Esc leaves the bar", [] { AltAlone(); TestKey(VK_ESCAPE); }, u"-", {}, {}},
      {"right and left go from title to title, wrapping", [] {
         TestKey(VK_F10);
         TestKey(VK_RIGHT);
         TestKey(VK_RIGHT);
         TestKey(VK_RIGHT);
         TestKey(VK_LEFT);
       }, u"帮助(&H)", {}, {}},
      {"down opens the highlighted title's menu", [] { TestKey(VK_F10); TestKey(VK_RIGHT); TestKey(VK_DOWN); },
       u"编辑(&E)", {u"复制(&C)", u"更多(&M)"}, {}},
      {"Alt+letter opens the menu of that accelerator", [] { AltLetter('E'); }, u"编辑(&E)", {u"复制(&C)", u"更多(&M)"}, {}},
      {"Alt+letter of no title opens nothing", [] { AltLetter('Z'); }, u"-", {}, {}, {'Z', 'z'}},
      {"a letter in bar mode opens its menu", [] { TestKey(VK_F10); TestKey('H', u"h"); }, u"帮助(&H)", {u"关于(&A)"}, {}},
      {"right in an open menu goes to the next title's menu", [] { AltLetter('F'); TestKey(VK_RIGHT); },
       u"编辑(&E)", {u"复制(&C)", u"更多(&M)"}, {}},
      {"left from the first title wraps to the last", [] { AltLetter('F'); TestKey(VK_LEFT); }, u"帮助(&H)", {u"关于(&A)"}, {}},
      {"right on an item with a sub-menu opens it", [] {
         AltLetter('E');
         TestKey(VK_DOWN);
         TestKey(VK_RIGHT);
       }, u"编辑(&E)", {u"全部(&A)"}, {}},
      {"Esc closes the menu, the title stays highlighted", [] { AltLetter('E'); TestKey(VK_ESCAPE); }, u"编辑(&E)", {}, {}},
      {"Enter chooses the highlighted item", [] { AltLetter('F'); TestKey(VK_DOWN); TestKey(VK_RETURN, u"\r"); },
       u"-", {}, {u"打开(&O)"}},
      {"a letter in an open menu chooses its item", [] { AltLetter('F'); TestKey('N', u"n"); }, u"-", {}, {u"新建(&N)"}},
      {"through a sub-menu by letters", [] { AltLetter('E'); TestKey('M', u"m"); TestKey('A', u"a"); }, u"-", {}, {u"全部(&A)"}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TBarFixture f;
    Case.Keys();
    EXPECT_EQ(f.Hot(), Case.Hot);
    EXPECT_EQ(OpenCaptions(), Case.Open);
    EXPECT_EQ(f.Clicked, Case.Clicked);
    EXPECT_EQ(f.KeysSeen, Case.Seen) << "the bar's keys never reach the focused control";
  }
}

TEST(Menus, MovingOverAnotherTitleWhileAMenuIsOpenSwitchesToIt) {
  TBarFixture f;
  TRect file = MenuBarItemRect(f.Bar, f.Main->Items()->Items(0)), help = MenuBarItemRect(f.Bar, f.Main->Items()->Items(2));
  TestClick(f.Bar->Handle(), TPoint{file.Left + 4, file.Top + 4});
  ASSERT_EQ(OpenCaptions(), (std::vector<String>{u"新建(&N)", u"打开(&O)"}));
  // The open menu holds the mouse: the move arrives there, over the bar.
  TWinControl* menu = OpenMenuWindow();
  TPoint over = menu->ScreenToClient(f.Bar->ClientToScreen(TPoint{help.Left + 4, help.Top + 4}));
  TestMouseMove(menu->Handle(), over);
  EXPECT_EQ(OpenCaptions(), std::vector<String>{u"关于(&A)"});
  EXPECT_EQ(f.Hot(), u"帮助(&H)");
  TestKey(VK_LEFT);  // the keyboard goes on from there
  EXPECT_EQ(f.Hot(), u"编辑(&E)");
  // A click outside closes the menu and leaves the bar.
  TWinControl* open = OpenMenuWindow();
  TestClick(open->Handle(), open->ScreenToClient(f.Second->ClientToScreen(TPoint{90, 70})));
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  EXPECT_EQ(f.Hot(), u"-");
}

}  // namespace
