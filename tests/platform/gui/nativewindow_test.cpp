// What the window system is asked to show of our windows: the toolkit's
// own view must agree with the windows' state (offscreen pictures are
// drawn from our buffers and would not see a disagreement).
#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowmanager.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

TEST(NativeWindows, AHiddenChildStaysHiddenWhenItsFormShows) {
  // A child window made before its form shows, and left hidden (a cached
  // in-place editor, say), must not appear as a blank box over its parent.
  TTestForm f(300, 200);
  TPanel* panel = f.Place<TPanel>(0, 0, 300, 200);
  auto* hidden = new TEdit(f.Form);
  hidden->SetVisible(false);
  hidden->SetParent(panel);
  hidden->HandleNeeded();
  TEdit* shown = f.Place<TEdit>(10, 50, 100, 20);
  shown->SetParent(panel);
  f.ShowForm();
  EXPECT_FALSE(GetNativeWindowState(hidden->Handle()).Shown);
  EXPECT_TRUE(GetNativeWindowState(shown->Handle()).Shown);
  hidden->Show();
  EXPECT_TRUE(GetNativeWindowState(hidden->Handle()).Shown);
  hidden->Hide();
  EXPECT_FALSE(GetNativeWindowState(hidden->Handle()).Shown);
}

TEST(NativeWindows, TheTitleBarCarriesTheButtonsTheFormAsksFor) {
  struct TCase {
    TBorderStyle Border;
    TBorderIcons Icons;
    bool Close, Minimize, Maximize, Frameless;
  } const cases[] = {
      {bsSizeable, biSystemMenu | biMinimize | biMaximize, true, true, true, false},
      {bsSizeable, biSystemMenu, true, false, false, false},
      {bsSizeable, biMinimize | biMaximize, false, false, false, false},  // no system menu: no buttons
      {bsSingle, biSystemMenu | biMinimize, true, true, false, false},
      {bsDialog, biSystemMenu | biMinimize | biMaximize, true, false, false, false},
      {bsToolWindow, biSystemMenu | biMaximize, true, false, false, false},
      {bsNone, biSystemMenu, false, false, false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "border " << c.Border << " icons " << c.Icons);
    TForm form(nullptr);
    form.SetBorderStyle(c.Border);
    form.SetBorderIcons(c.Icons);
    form.SetCaption(u"元数据类型");
    form.HandleNeeded();
    const TNativeWindowState st = GetNativeWindowState(form.Handle());
    EXPECT_EQ(st.Frameless, c.Frameless);
    if (c.Frameless) continue;
    EXPECT_EQ(st.CloseBox, c.Close);
    EXPECT_EQ(st.MinimizeBox, c.Minimize);
    EXPECT_EQ(st.MaximizeBox, c.Maximize);
    EXPECT_EQ(st.Title, u"元数据类型");
  }
}

TEST(NativeWindows, TheWindowManagerIsAskedForExactlyTheButtonsOfTheStyle) {
  // Nothing may be left to the window manager's taste: it would add a
  // minimise and a maximise button to a dialog.
  constexpr Cardinal Caption = WS_CAPTION | WS_SYSMENU;
  constexpr TWindowActions All = waMove | waSize | waMinimize | waMaximize | waRestore | waClose;
  struct TCase {
    const char* Name;
    Cardinal Style, ExStyle;
    TWindowActions Actions;
    TWindowKind Kind;
    bool Frameless, SystemMenu, Close, Minimize, Maximize;
  } const cases[] = {
      {"sizeable window", Caption | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 0, All, wkNormal, false, true,
       true, true, true},
      {"dialog", Caption, WS_EX_DLGMODALFRAME, waMove | waClose, wkDialog, false, true, true, false, false},
      {"tool window", Caption | WS_THICKFRAME, WS_EX_TOOLWINDOW, waMove | waSize | waClose, wkTool, false, true, true,
       false, false},
      {"close taken from the menu", Caption, 0, waMove, wkNormal, false, true, false, false, false},
      {"no system menu", WS_CAPTION, 0, waMove, wkNormal, false, false, false, false, false},
      {"borderless popup", WS_POPUP, WS_EX_TOPMOST, All, wkNormal, true, false, false, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TWindowManagerHints h = WindowManagerHintsOf(c.Style, c.ExStyle, c.Actions);
    EXPECT_EQ(h.Kind, c.Kind);
    EXPECT_EQ(h.Frameless, c.Frameless);
    EXPECT_EQ(h.SystemMenu, c.SystemMenu);
    EXPECT_EQ(h.CloseBox, c.Close);
    EXPECT_EQ(h.MinimizeBox, c.Minimize);
    EXPECT_EQ(h.MaximizeBox, c.Maximize);
  }
  EXPECT_TRUE(WindowManagerHintsOf(WS_POPUP, WS_EX_TOPMOST, 0).StaysOnTop);
}

TEST(NativeWindows, DeletingSystemMenuItemsTakesTheirActionsFromTheWindowManager) {
  TForm form(nullptr);
  form.SetCaption(u"元数据类型");
  form.HandleNeeded();
  const HWND wnd = form.Handle();
  EXPECT_EQ(GetSystemMenuItems(wnd), (std::vector<TSystemCommand>{SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE,
                                                                   SC_MAXIMIZE, SC_SEPARATOR, SC_CLOSE}));
  EXPECT_EQ(GetWindowActions(wnd), waMove | waSize | waMinimize | waMaximize | waRestore | waClose);

  struct TStep {
    const char* Name;
    bool ByPosition;
    Integer Position;
    TSystemCommand Command;
    bool Deleted;
    TWindowActions Lost;  // what the window may no longer do afterwards
  } const steps[] = {
      {"past the end", true, 7, SC_SEPARATOR, false, 0},
      {"the separator", true, 5, SC_SEPARATOR, true, 0},
      {"maximise", false, 0, SC_MAXIMIZE, true, waMaximize},
      {"maximise again", false, 0, SC_MAXIMIZE, false, waMaximize},
      {"minimise, by position", true, 3, SC_SEPARATOR, true, waMaximize | waMinimize | waRestore},
      {"size", false, 0, SC_SIZE, true, waMaximize | waMinimize | waRestore | waSize},
      {"a negative position", true, -1, SC_SEPARATOR, false, waMaximize | waMinimize | waRestore | waSize},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Name);
    EXPECT_EQ(s.ByPosition ? DeleteSystemMenuPosition(wnd, s.Position) : DeleteSystemMenuCommand(wnd, s.Command),
              s.Deleted);
    EXPECT_EQ(GetWindowActions(wnd), (waMove | waSize | waMinimize | waMaximize | waRestore | waClose) & ~s.Lost);
    const TNativeWindowState st = GetNativeWindowState(wnd);
    EXPECT_EQ(st.MaximizeBox, !(s.Lost & waMaximize));
    EXPECT_EQ(st.MinimizeBox, !(s.Lost & waMinimize));
    EXPECT_TRUE(st.CloseBox);
  }
  EXPECT_EQ(GetSystemMenuItems(wnd), (std::vector<TSystemCommand>{SC_RESTORE, SC_MOVE, SC_CLOSE}));

  // A shown window keeps showing when its buttons change.
  form.Show();
  Application->ProcessMessages();
  EXPECT_TRUE(DeleteSystemMenuCommand(wnd, SC_CLOSE));
  const TNativeWindowState st = GetNativeWindowState(wnd);
  EXPECT_TRUE(st.Shown);
  EXPECT_FALSE(st.CloseBox);
  EXPECT_EQ(GetWindowActions(wnd), waMove);
}

TEST(NativeWindows, AMaximisedFormIsMaximisedByTheWindowManager) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  form.SetWindowState(wsMaximized);
  form.Show();
  Application->ProcessMessages();
  EXPECT_TRUE(GetNativeWindowState(form.Handle()).Maximized);
  TForm plain(nullptr);
  plain.Show();
  EXPECT_FALSE(GetNativeWindowState(plain.Handle()).Maximized);
}

// A frame with a menu and a child form, as the program's main window holds
// its editing window.
struct TFrameFixture {
  TFrameFixture() {
    EnsureGuiRuntime();
    Application->ResetTerminated();
    TestSetApplicationActive(true);
    Frame = new TForm(nullptr);
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetCaption(u"Editor — Korvane");
    Frame->SetBounds(50, 50, 600, 400);
    Menu = new TMainMenu(Frame);
    auto* file = new TMenuItem(Frame);
    file->SetCaption(u"文件(&F)");
    Menu->Items()->Add(file);
    Frame->SetMenu(Menu);
    OldMain = Application->MainForm();
    Application->SetMainForm(Frame);
    Frame->Show();
    Application->ProcessMessages();
  }
  ~TFrameFixture() {
    delete Child;
    Application->SetMainForm(OldMain);
    Frame->Free();
    Application->ProcessMessages();
  }
  void ShowChild(const String& Caption) {
    Child = new TForm(nullptr);
    Child->SetFormStyle(fsMDIChild);
    Child->SetCaption(Caption);
    Edit = new TEdit(Child);
    Edit->SetParent(Child);
    Child->OnClose = TCloseEvent(Child, [this](TObject*, TCloseAction& Action) {
      Action = caHide;
      ++Closed;
    });
    Child->Show();
    Application->ProcessMessages();
  }
  String Title() const { return GetNativeWindowState(Frame->Handle()).Title; }

  TForm* Frame = nullptr;
  TMainMenu* Menu = nullptr;
  TCustomForm* OldMain = nullptr;
  TForm* Child = nullptr;
  TEdit* Edit = nullptr;
  Integer Closed = 0;
};

TEST(NativeWindows, AFrameNamesItsChildInItsTitleAndOffersToCloseIt) {
  TFrameFixture f;
  EXPECT_EQ(f.Title(), u"Editor — Korvane");
  EXPECT_EQ(MDIChildCloseButton(f.Frame), nullptr);

  f.ShowChild(u"未命名");
  EXPECT_EQ(f.Title(), u"Editor — Korvane - [未命名]");
  EXPECT_EQ(f.Frame->Caption(), u"Editor — Korvane") << "the frame's own caption is kept";
  f.Child->SetCaption(u"/tmp/record.xml");
  EXPECT_EQ(f.Title(), u"Editor — Korvane - [/tmp/record.xml]");

  // The close button stands at the right end of the menu bar.
  TControl* button = MDIChildCloseButton(f.Frame);
  ASSERT_NE(button, nullptr);
  TWinControl* bar = button->Parent();
  EXPECT_EQ(bar->Top(), 0);
  EXPECT_GT(button->Left(), bar->Width() - 30);
  EXPECT_LE(button->Left() + button->Width(), bar->Width());
  // The button is drawn (a cross on the face).
  TBitmap picture(bar->Width(), bar->Height(), pf24bit);
  bar->PaintTo(picture.Canvas(), 0, 0);
  Integer dark = 0;
  for (Integer x = button->Left(); x < button->Left() + button->Width(); ++x)
    for (Integer y = button->Top(); y < button->Top() + button->Height(); ++y)
      dark += picture.PixelColor(x, y) == ColorToRGB(clBtnText);
  EXPECT_GT(dark, 10);

  const TPoint mid{button->Left() + button->Width() / 2, button->Top() + button->Height() / 2};
  TestClick(bar->Handle(), mid);
  Application->ProcessMessages();
  EXPECT_EQ(f.Closed, 1);
  EXPECT_FALSE(f.Child->Visible());
  EXPECT_EQ(f.Title(), u"Editor — Korvane");
  EXPECT_EQ(MDIChildCloseButton(f.Frame), nullptr);

  // Ctrl+F4 in the child closes it too.
  f.Child->Show();
  Application->ProcessMessages();
  f.Edit->SetFocus();
  TestKey(VK_F4, u"", tkCtrl);
  Application->ProcessMessages();
  EXPECT_EQ(f.Closed, 2);
  EXPECT_FALSE(f.Child->Visible());
}

}  // namespace
