// Popup windows of the containers: opening and closing by message, the
// nested loop of focus-taking popups, closing through the thread hooks
// (clicks, a hidden owner, the program losing the activation), the Alt-key
// filter and the owner's caption.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "foundation/cxContainerPopup.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

// A control that notes the messages it is sent.
class TProbeControl : public TCustomControl {
public:
  explicit TProbeControl(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  std::vector<UINT> Messages;
  bool Saw(UINT AMsg) const { return std::find(Messages.begin(), Messages.end(), AMsg) != Messages.end(); }
  void WndProc(TMessage& M) override {
    Messages.push_back(M.Msg);
    TCustomControl::WndProc(M);
  }
};

class TOwnerForm : public TForm {
public:
  using TForm::TForm;
  std::vector<WPARAM> NCActivates;
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_NCACTIVATE) NCActivates.push_back(M.WParam);
    TForm::WndProc(M);
  }
};

class TTestPopup : public TcxCustomPopupWindow {
public:
  using TcxCustomPopupWindow::TcxCustomPopupWindow;
  bool Limit = false;
  bool LimitToWorkArea() override { return Limit; }
};

struct TPopupFixture {
  TPopupFixture() {
    EnsureGuiRuntime();
    Application->ResetTerminated();
    TestSetApplicationActive(true);
    Owner = new TOwnerForm(nullptr);
    Owner->SetBounds(100, 100, 400, 300);
    Edit = new TProbeControl(Owner);
    Edit->SetBounds(20, 30, 120, 21);
    Edit->SetParent(Owner);
    Other = new TProbeControl(Owner);
    Other->SetBounds(20, 200, 120, 21);
    Other->SetParent(Owner);
    Owner->Show();
    Application->ProcessMessages();
    Edit->SetFocus();
    Application->ProcessMessages();
    Popup = MakePopup(Edit);
    Child = static_cast<TProbeControl*>(Popup->Controls(0));
  }
  ~TPopupFixture() {
    for (TcxCustomPopupWindow* p : Popups) p->Free();
    Owner->Free();
    TestSetApplicationActive(true);
    Application->ProcessMessages();
  }
  TTestPopup* MakePopup(TWinControl* AOwner) {
    auto* p = new TTestPopup(AOwner);
    p->SetOwnerParent(AOwner);
    p->SetOwnerBounds(AOwner->ClientRect());
    auto* child = new TProbeControl(p);
    child->SetBounds(0, 0, 100, 60);
    child->SetParent(p);
    p->OnAfterShow = TNotifyEvent(this, &TPopupFixture::AfterShow);
    p->OnAfterClose = TNotifyEvent(this, &TPopupFixture::AfterClose);
    p->OnCloseQuery = TCloseQueryEvent(this, &TPopupFixture::CloseQuery);
    Popups.push_back(p);
    return p;
  }
  void AfterShow(TObject*) {
    ++ShowCount;
    FocusWhenShown = GetFocus();
    ShownWhenShown = Popup->IsShown();
  }
  void AfterClose(TObject*) { ++CloseCount; }
  void CloseQuery(TObject*, bool& CanClose) {
    ++QueryCount;
    CanClose = QueryCount > RefuseQueries;
  }
  TPoint OwnerPoint(TControl* AControl, TPoint P) const { return AControl->ClientToParent(P, Owner); }

  TOwnerForm* Owner;
  TProbeControl* Edit;
  TProbeControl* Other;
  TTestPopup* Popup;
  TProbeControl* Child;
  std::vector<TcxCustomPopupWindow*> Popups;
  Integer ShowCount = 0;
  Integer CloseCount = 0;
  Integer QueryCount = 0;
  Integer RefuseQueries = 0;
  HWND FocusWhenShown = 0;
  bool ShownWhenShown = false;
};

TEST(cxCustomPopupWindow, StartsHiddenTakingFocusWithItsOwnLoopAndTheHooksInstalled) {
  TPopupFixture f;
  EXPECT_FALSE(f.Popup->Visible());
  EXPECT_TRUE(f.Popup->TakesFocus());
  EXPECT_TRUE(f.Popup->OwnLoop());
  EXPECT_FALSE(f.Popup->OwnerTopmost());
  EXPECT_TRUE(f.Popup->KeyPreview());
  EXPECT_EQ(f.Popup->OwnerControl(), f.Edit);
  EXPECT_TRUE(cxContainerPopupHooksInstalled());
  EXPECT_FALSE(IsPopupShown(f.Popup));
}

TEST(cxCustomPopupWindow, OpensByMessageRunsItsLoopAndClosesByPostedMessageGivingTheFocusBack) {
  TPopupFixture f;
  // Queued first, handled by the popup's own loop: Popup returns only then.
  PostClosePopup(f.Popup);
  SendMessage(f.Popup->Handle(), CXM_SHOWPOPUP, static_cast<WPARAM>(f.Child->Handle()), 0);

  EXPECT_EQ(f.ShowCount, 1);
  EXPECT_TRUE(f.ShownWhenShown);
  EXPECT_EQ(f.FocusWhenShown, f.Child->Handle());
  EXPECT_EQ(f.CloseCount, 1);
  EXPECT_EQ(f.QueryCount, 0);  // closing by message does not ask
  EXPECT_FALSE(f.Popup->IsShown());
  EXPECT_FALSE(f.Popup->Visible());
  EXPECT_FALSE(f.Popup->ClosingByMessage());
  EXPECT_EQ(GetFocus(), f.Edit->Handle());
  EXPECT_EQ(ShownPopupCount(), 0);
  // Placed below its owner, left edges lined up.
  TPoint below = f.Edit->ClientToScreen(TPoint{0, f.Edit->Height()});
  EXPECT_EQ(f.Popup->Left(), below.X);
  EXPECT_EQ(f.Popup->Top(), below.Y);
}

TEST(cxCustomPopupWindow, AControlFreedBeforeTheShowMessageArrivesIsNotFocused) {
  TPopupFixture f;
  auto* doomed = new TProbeControl(f.Popup);
  doomed->SetBounds(0, 60, 100, 20);
  doomed->SetParent(f.Popup);
  PostShowPopup(f.Popup, doomed);
  PostClosePopup(f.Popup);  // handled by the popup's own loop
  doomed->Free();
  Application->ProcessMessages();
  EXPECT_EQ(f.ShowCount, 1);
  EXPECT_EQ(f.FocusWhenShown, f.Child->Handle());  // as if no control was given
  EXPECT_EQ(f.CloseCount, 1);
  EXPECT_FALSE(f.Popup->IsShown());
}

TEST(cxCustomPopupWindow, TheOwnerGetsTheFocusBackWhenThePopupCloses) {
  {
    SCOPED_TRACE("hidden by someone else while a control inside it had the focus");
    TPopupFixture f;
    f.Popup->ChangeTakesFocus(false);
    f.Popup->Popup(f.Child);
    ASSERT_EQ(GetFocus(), f.Child->Handle());
    f.Popup->Hide();
    EXPECT_FALSE(f.Popup->IsShown());
    EXPECT_EQ(GetFocus(), f.Edit->Handle());  // not left nowhere
  }
  {
    SCOPED_TRACE("closed by message while another control of the form has the focus");
    TPopupFixture f;
    f.Popup->ChangeTakesFocus(false);
    f.Popup->Popup(nullptr);
    ASSERT_TRUE(f.Popup->IsShown());
    f.Other->SetFocus();
    ASSERT_EQ(GetFocus(), f.Other->Handle());
    PostClosePopup(f.Popup);
    Application->ProcessMessages();
    EXPECT_FALSE(f.Popup->IsShown());
    EXPECT_EQ(GetFocus(), f.Edit->Handle());
  }
}

TEST(cxCustomPopupWindow, EscInsideTheLoopClosesAskingAndARefusalKeepsItOpen) {
  TPopupFixture f;
  f.RefuseQueries = 1;
  HWND child = f.Child->Handle();
  PostMessage(child, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessage(child, WM_KEYDOWN, VK_ESCAPE, 0);
  PostClosePopup(f.Popup);  // a safety net should the keys not close it
  f.Popup->Popup(f.Child);
  EXPECT_EQ(f.QueryCount, 2);  // the first Esc was refused, the second closed
  EXPECT_EQ(f.CloseCount, 1);
  EXPECT_FALSE(f.Popup->IsShown());
  EXPECT_EQ(f.Popup->ModalResult(), mrCancel);
  Application->ProcessMessages();  // the safety net finds a closed popup
  EXPECT_EQ(f.CloseCount, 1);
}

TEST(cxCustomPopupWindow, PopupOnAShownPopupDoesNothingAndClosingTwiceClosesOnce) {
  TPopupFixture f;
  f.Popup->SetOwnLoop(false);
  f.Popup->Popup(nullptr);
  f.Popup->Popup(nullptr);
  EXPECT_EQ(f.ShowCount, 1);
  EXPECT_EQ(ShownPopupCount(), 1);
  f.Popup->ClosePopup(false);
  f.Popup->ClosePopup(false);
  EXPECT_EQ(f.CloseCount, 1);
}

TEST(cxCustomPopupWindow, AClickOutsideThePopupClosesItAndMarksClicksOnTheOwner) {
  struct TCase {
    const char* Name;
    bool TakesFocus;
    bool OnOwner;
  };
  const TCase cases[] = {
      {"focus-taking popup, click elsewhere in the form", true, false},
      {"focus-taking popup, click on the owner", true, true},
      {"popup without focus, click elsewhere in the form", false, false},
      {"popup without focus, click on the owner", false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPopupFixture f;
    f.Popup->ChangeTakesFocus(c.TakesFocus);
    f.Popup->SetOwnLoop(false);
    f.Popup->Popup(nullptr);
    ASSERT_TRUE(f.Popup->IsShown());
    // A click inside the popup leaves it open.
    TestClick(f.Child->Handle(), TPoint{5, 5});
    EXPECT_TRUE(f.Popup->IsShown());

    TProbeControl* target = c.OnOwner ? f.Edit : f.Other;
    target->Messages.clear();
    TestClick(target->Handle(), TPoint{5, 5});
    Application->ProcessMessages();
    EXPECT_FALSE(f.Popup->IsShown());
    EXPECT_EQ(f.Popup->ClosedByOwnerClick(), c.OnOwner);
    EXPECT_FALSE(f.Popup->ClosingByMessage());
    // The click still reaches the window clicked.
    EXPECT_TRUE(f.Popup->Visible() == false);
    EXPECT_TRUE(target->Saw(WM_LBUTTONDOWN));
  }
}

TEST(cxCustomPopupWindow, HidingTheOwnerClosesItsPopupAndThoseOpenedAfterIt) {
  TPopupFixture f;
  TTestPopup* second = f.MakePopup(f.Other);
  TTestPopup* unrelatedFirst = f.MakePopup(f.Other);
  for (TcxCustomPopupWindow* p : {static_cast<TcxCustomPopupWindow*>(unrelatedFirst),
                                  static_cast<TcxCustomPopupWindow*>(f.Popup),
                                  static_cast<TcxCustomPopupWindow*>(second)}) {
    p->ChangeTakesFocus(false);
    p->Popup(nullptr);
  }
  ASSERT_EQ(ShownPopupCount(), 3);
  f.Edit->Hide();
  EXPECT_FALSE(f.Popup->IsShown());
  EXPECT_FALSE(second->IsShown());
  EXPECT_TRUE(unrelatedFirst->IsShown());  // opened before the hidden owner's popup
  EXPECT_EQ(ShownPopupCount(), 1);
}

TEST(cxCustomPopupWindow, LosingTheActivationClosesEveryPopupAndTheOwnerLooksInactive) {
  TPopupFixture f;
  TTestPopup* second = f.MakePopup(f.Other);
  second->ChangeTakesFocus(false);
  f.Popup->SetOwnLoop(false);
  f.Popup->Popup(nullptr);
  second->Popup(nullptr);
  f.Owner->NCActivates.clear();
  TestSetApplicationActive(false);
  Application->ProcessMessages();
  EXPECT_FALSE(f.Popup->IsShown());
  EXPECT_FALSE(second->IsShown());
  ASSERT_FALSE(f.Owner->NCActivates.empty());
  EXPECT_EQ(f.Owner->NCActivates.back(), 0u);
}

TEST(cxCustomPopupWindow, TheOwnersFormKeepsItsActiveCaptionWhileAPopupIsOpen) {
  TPopupFixture f;
  f.Popup->SetOwnLoop(false);
  f.Popup->Popup(nullptr);
  f.Owner->NCActivates.clear();
  EXPECT_EQ(SendMessage(f.Owner->Handle(), WM_NCACTIVATE, 0, 0), 1);
  EXPECT_TRUE(f.Owner->NCActivates.empty());
  f.Popup->ClosePopup(false);
  f.Owner->NCActivates.clear();
  SendMessage(f.Owner->Handle(), WM_NCACTIVATE, 0, 0);
  ASSERT_FALSE(f.Owner->NCActivates.empty());
  EXPECT_EQ(f.Owner->NCActivates.front(), 0u);
}

TEST(cxCustomPopupWindow, AltKeysAreDroppedWhileAPopupWithoutItsOwnLoopIsShown) {
  struct TCase {
    const char* Name;
    Word Key;
    bool Passes;
  };
  const TCase cases[] = {
      {"Alt+letter", 'A', false},
      {"Alt+Down", VK_DOWN, true},
      {"Alt+F4", VK_F4, true},
      {"Alt+Home", VK_HOME, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPopupFixture f;
    f.Popup->ChangeTakesFocus(false);
    f.Popup->Popup(nullptr);
    f.Edit->SetFocus();
    f.Edit->Messages.clear();
    TestKeyPress(c.Key, u"", tkAlt);
    TestKeyRelease(c.Key, u"", tkAlt);
    Application->ProcessMessages();
    EXPECT_EQ(f.Edit->Saw(WM_SYSKEYDOWN), c.Passes);
    f.Popup->ClosePopup(false);
    if (c.Passes) continue;
    // Without a shown popup the key passes.
    f.Edit->Messages.clear();
    TestKeyPress(c.Key, u"", tkAlt);
    TestKeyRelease(c.Key, u"", tkAlt);
    Application->ProcessMessages();
    EXPECT_TRUE(f.Edit->Saw(WM_SYSKEYDOWN));
  }
}

TEST(cxCustomPopupWindow, ClosingWindowsClosesThePopups) {
  {
    SCOPED_TRACE("closing the owner's form closes a popup without focus");
    TPopupFixture f;
    f.Popup->ChangeTakesFocus(false);
    f.Popup->Popup(nullptr);
    SendMessage(f.Owner->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(f.Popup->IsShown());
  }
  {
    SCOPED_TRACE("closing a focus-taking popup closes the owner's form as well");
    TPopupFixture f;
    f.Popup->SetOwnLoop(false);
    f.Popup->Popup(nullptr);
    SendMessage(f.Popup->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(f.Popup->IsShown());
    EXPECT_FALSE(f.Owner->Visible());
  }
  {
    SCOPED_TRACE("destroying the popup's window closes it");
    TPopupFixture f;
    f.Popup->ChangeTakesFocus(false);
    f.Popup->Popup(nullptr);
    f.Popup->Free();
    f.Popups.erase(std::find(f.Popups.begin(), f.Popups.end(), f.Popup));
    EXPECT_EQ(ShownPopupCount(), 0);
  }
}

TEST(cxCustomPopupWindow, AFreedOwnerTakesItsShownPopupAlong) {
  TPopupFixture f;
  f.Popup->ChangeTakesFocus(false);
  f.Popup->Popup(nullptr);
  // The owner control owns its popup.
  f.Popups.erase(std::find(f.Popups.begin(), f.Popups.end(), f.Popup));
  f.Edit->Free();
  EXPECT_EQ(ShownPopupCount(), 0);
  Application->ProcessMessages();
}

TEST(cxCustomPopupWindow, LimitedToTheWorkAreaThePopupComesInsideAndShrinks) {
  TPopupFixture f;
  f.Popup->Limit = true;
  TRect work = MonitorWorkAreaAt(TPoint{0, 0});
  struct TCase {
    const char* Name;
    TRect Bounds;
    TRect Expected;
  };
  const TCase cases[] = {
      {"inside stays", {10, 10, 110, 70}, {10, 10, 110, 70}},
      {"left of the area comes in", {work.Left - 30, 10, work.Left + 70, 70}, {work.Left, 10, work.Left + 100, 70}},
      {"too tall shrinks", {10, work.Bottom - 50, 110, work.Bottom + 50}, {10, work.Bottom - 50, 110, work.Bottom}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TRect r = c.Bounds;
    f.Popup->AdjustToWorkArea(r);
    EXPECT_EQ(r, c.Expected);
  }
  f.Popup->Limit = false;
  TRect r{-30, -30, 70, 70};
  f.Popup->AdjustToWorkArea(r);
  EXPECT_EQ(r, (TRect{-30, -30, 70, 70}));
}

}  // namespace
