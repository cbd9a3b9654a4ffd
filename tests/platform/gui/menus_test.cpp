// Menus: popup menus rebuilt when shown, shortcuts, the menu bar, items
// freed while their menu is open.
#include <gtest/gtest.h>

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
  ~TMenuFixture() { CloseMenus(); }
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
  f.Popup->Popup(150, 150);
  EXPECT_EQ(OpenCaptions(), (std::vector<String>{u"新建", u"-", u"删除 1"}));
  ClickOpenItem(f.Popup->Items()->Items(1));  // a separator chooses nothing
  EXPECT_TRUE(clicked.empty());
  ClickOpenItem(f.Popup->Items()->Items(2));
  EXPECT_EQ(clicked, std::vector<String>{u"删除 1"});
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  // Shown again: rebuilt again.
  f.Popup->Popup(150, 150);
  EXPECT_EQ(OpenCaptions().back(), u"删除 2");
  // A click outside closes the menu without choosing.
  TestClick(OpenMenuWindow()->Handle(), TPoint{-50, -50});
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  EXPECT_EQ(clicked.size(), 1u);
}

TEST(Menus, RightClickShowsTheControlsPopupMenu) {
  TMenuFixture f;
  f.Popup->Items()->Add(NewItem(f.Form, u"Copy"));
  f.First->SetPopupMenu(f.Popup);
  TestClick(f.First->Handle(), TPoint{20, 20}, tbRight);
  ASSERT_NE(OpenMenuWindow(), nullptr);
  EXPECT_EQ(f.Popup->PopupComponent(), f.First);
  EXPECT_EQ(f.Popup->PopupPoint(), f.First->ClientToScreen(TPoint{20, 20}));
  CloseMenus();
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
  f.Popup->Popup(150, 150);
  TWinControl* w = OpenMenuWindow();
  TRect where = MenuWindowItemRect(w, a);
  a->Free();
  EXPECT_EQ(OpenCaptions(), (std::vector<String>{u"b", u"sub"}));
  TestMouseMove(w->Handle(), TPoint{where.Left + 5, where.Top + 5});
  Application->ProcessMessages();
  TestClick(w->Handle(), TPoint{where.Left + 5, where.Top + 5});  // now "b" stands there
  EXPECT_EQ(clicks, 1);
  // A sub-menu whose item goes away closes; freeing the whole menu closes all.
  f.Popup->Popup(150, 150);
  TRect s = MenuWindowItemRect(OpenMenuWindow(), sub);
  TestMouseMove(OpenMenuWindow()->Handle(), TPoint{s.Left + 5, s.Top + 5});
  ASSERT_EQ(OpenCaptions(), std::vector<String>{u"inner"});
  sub->Free();
  EXPECT_EQ(OpenCaptions(), std::vector<String>{u"b"});
  f.Popup->Free();
  EXPECT_EQ(OpenMenuWindow(), nullptr);
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
  f.Popup->Popup(150, 150);
  TestKey(VK_ESCAPE);  // closes the menu only
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  f.Popup->Popup(150, 150);
  TestKey(VK_DOWN);
  TestKey(VK_DOWN);  // skips the separator
  TestKey(VK_RETURN, u"\r");
  EXPECT_EQ(clicked, std::vector<String>{u"b"});
  f.Popup->Popup(150, 150);
  TestKey(VK_UP);  // from nothing: the last item, which has a sub-menu
  TestKey(VK_RIGHT);
  EXPECT_EQ(OpenCaptions(), std::vector<String>{u"inner"});
  TestKey(VK_LEFT);
  EXPECT_EQ(OpenCaptions().size(), 4u);
  TestKey(VK_RETURN, u"\r");
  TestKey(VK_RETURN, u"\r");
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
  f.Popup->Popup(150, 150);
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

}  // namespace
