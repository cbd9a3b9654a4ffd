// Focus, capture and activation.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

TEST(Focus, MovingFocusSendsKillThenSetAndRunsExitAndEnter) {
  TFormFixture f;
  std::vector<String> events;
  f.First->OnEnter = TNotifyEvent(&f, [&](TObject*) { events.push_back(u"enter first"); });
  f.First->OnExit = TNotifyEvent(&f, [&](TObject*) { events.push_back(u"exit first"); });
  f.Second->OnEnter = TNotifyEvent(&f, [&](TObject*) { events.push_back(u"enter second"); });
  f.First->SetFocus();
  EXPECT_TRUE(f.First->Focused());
  EXPECT_EQ(f.Form->ActiveControl(), f.First);
  f.First->Log.clear();
  f.Second->Log.clear();
  f.Second->SetFocus();
  EXPECT_TRUE(f.Second->Focused());
  EXPECT_FALSE(f.First->Focused());
  EXPECT_EQ(f.First->Only({WM_KILLFOCUS, WM_SETFOCUS}), std::vector<UINT>{WM_KILLFOCUS});
  EXPECT_EQ(f.Second->Only({WM_KILLFOCUS, WM_SETFOCUS}), std::vector<UINT>{WM_SETFOCUS});
  EXPECT_EQ(events, (std::vector<String>{u"enter first", u"exit first", u"enter second"}));
  EXPECT_EQ(Screen->ActiveControl(), f.Second);
  EXPECT_EQ(Screen->ActiveForm(), f.Form);
}

TEST(Focus, HiddenOrDisabledControlCannotTakeFocus) {
  TFormFixture f;
  f.Second->SetEnabled(false);
  EXPECT_FALSE(f.Second->CanFocus());
  EXPECT_THROW(f.Second->SetFocus(), EInvalidOperation);
  f.Second->SetEnabled(true);
  f.Second->SetVisible(false);
  EXPECT_THROW(f.Second->SetFocus(), EInvalidOperation);
}

TEST(Focus, HidingTheFocusedControlTakesItsFocusAway) {
  TFormFixture f;
  f.First->SetFocus();
  f.First->Log.clear();
  f.First->SetVisible(false);
  EXPECT_EQ(f.First->Only({WM_KILLFOCUS}).size(), 1u);
  EXPECT_EQ(GetFocus(), 0u);
}

TEST(Focus, TabMovesThroughTabStopsUnlessTheControlWantsTab) {
  TFormFixture f;
  f.First->SetTabStop(true);
  f.Second->SetTabStop(true);
  f.First->SetFocus();
  TestKey(VK_TAB, u"\t");
  EXPECT_TRUE(f.Second->Focused());
  TestKey(VK_TAB, u"\t", tkShift);
  EXPECT_TRUE(f.First->Focused());

  // A control that asks for Tab through WM_GETDLGCODE keeps it as a key.
  f.First->DlgCode = DLGC_WANTTAB | DLGC_WANTCHARS;
  f.First->Log.clear();
  TestKey(VK_TAB, u"\t");
  EXPECT_TRUE(f.First->Focused());
  EXPECT_EQ(f.First->Only({WM_KEYDOWN, WM_CHAR}), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));
}

// A control that, while visible, stands for its parent in the tab order,
// as an open in-place editor stands for the control it edits in.
class TStandIn : public TRecorder {
public:
  using TRecorder::TRecorder;
  void AdjustTabOrderList(std::vector<TWinControl*>& List) const override {
    if (Visible()) List.erase(std::remove(List.begin(), List.end(), Parent()), List.end());
  }
};

// First, a box holding a stand-in, and Last, all tab stops in that order.
struct TStandInFixture : TTestForm {
  enum TWhich { First, Box, Inside, Last };
  TStandInFixture() : TTestForm(300, 200) {
    Controls[First] = Place<TRecorder>(10, 10, 60, 30);
    Controls[Box] = Place<TRecorder>(10, 50, 200, 80);
    Controls[Inside] = new TStandIn(Form);
    Controls[Inside]->SetBounds(5, 5, 60, 30);
    Controls[Inside]->SetParent(Controls[Box]);
    Controls[Last] = Place<TRecorder>(10, 150, 60, 30);
    for (TWinControl* c : Controls) c->SetTabStop(true);
    ShowForm();
  }
  TWinControl* Controls[4];
};

TEST(Focus, TabMovesLandOnlyWhereTheListedControlsLetThem) {
  using F = TStandInFixture;
  struct TCase {
    const char* Name;
    bool Shown;
    F::TWhich From;
    Cardinal Modifiers;
    F::TWhich To;
  };
  const TCase cases[] = {
      {"hidden: Tab enters the box", false, F::First, 0, F::Box},
      {"hidden: Tab leaves the box", false, F::Box, 0, F::Last},
      {"hidden: Shift+Tab comes back to the box", false, F::Last, tkShift, F::Box},
      {"shown: Tab lands on the stand-in, not the box", true, F::First, 0, F::Inside},
      {"shown: Tab from the stand-in", true, F::Inside, 0, F::Last},
      {"shown: Shift+Tab from the stand-in passes the box", true, F::Inside, tkShift, F::First},
      {"shown: Shift+Tab reaches the stand-in", true, F::Last, tkShift, F::Inside},
      {"shown: the box itself still has its place to start from", true, F::Box, 0, F::Inside},
      {"shown: Shift+Tab goes round the end", true, F::First, tkShift, F::Last},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    F f;
    f.Controls[F::Inside]->SetVisible(c.Shown);
    f.Focus(f.Controls[c.From]);
    ASSERT_TRUE(f.Controls[c.From]->Focused());
    TestKey(VK_TAB, u"\t", c.Modifiers);
    Application->ProcessMessages();
    EXPECT_TRUE(f.Controls[c.To]->Focused());
  }

  // The plain list stays as the children stand; only the adjusted one loses
  // the box.
  F f;
  std::vector<TWinControl*> plain, adjusted;
  f.Form->GetTabOrderList(plain);
  f.Form->GetAdjustedTabOrderList(adjusted);
  const auto [first, box, inside, last] = f.Controls;
  EXPECT_EQ(plain, (std::vector<TWinControl*>{first, box, inside, last}));
  EXPECT_EQ(adjusted, (std::vector<TWinControl*>{first, inside, last}));
}

TEST(Focus, AShownFormStartsOnTheFirstControlItMayLandOn) {
  TTestForm f(300, 200);
  auto* box = f.Place<TRecorder>(10, 10, 200, 80);
  auto* inside = new TStandIn(f.Form);
  inside->SetParent(box);
  auto* last = f.Place<TRecorder>(10, 150, 60, 30);
  for (TWinControl* c : {static_cast<TWinControl*>(box), static_cast<TWinControl*>(inside),
                         static_cast<TWinControl*>(last)})
    c->SetTabStop(true);
  f.ShowForm();
  EXPECT_EQ(f.Form->ActiveControl(), inside);
}

TEST(Focus, SwitchingToAnotherProgramIsNoFocusChange) {
  TFormFixture f;
  f.First->SetFocus();
  f.First->Log.clear();
  TestSetApplicationActive(false);
  EXPECT_FALSE(IsApplicationActive());
  TestSetApplicationActive(true);
  EXPECT_TRUE(f.First->Focused());
  EXPECT_TRUE(f.First->Only({WM_KILLFOCUS, WM_SETFOCUS}).empty());
}

TEST(Capture, GivenLostAndReleasedWithCaptureChanged) {
  TFormFixture f;
  HWND a = f.First->Handle(), b = f.Second->Handle();
  f.First->SetMouseCapture(true);
  EXPECT_EQ(GetCapture(), a);
  EXPECT_TRUE(f.First->MouseCapture());
  f.First->Log.clear();
  SetCapture(b);  // taken by another window
  EXPECT_EQ(f.First->Only({WM_CAPTURECHANGED}).size(), 1u);
  EXPECT_FALSE(f.First->MouseCapture());
  EXPECT_EQ(Mouse->Capture(), f.Second);
  f.Second->Log.clear();
  ReleaseCapture();
  EXPECT_EQ(f.Second->Only({WM_CAPTURECHANGED}).size(), 1u);
  EXPECT_EQ(GetCapture(), 0u);
}

TEST(Capture, CapturedControlGetsTheMouseOutsideItself) {
  TFormFixture f;
  f.First->RecordMoves = true;
  std::vector<TPoint> ups;
  f.First->OnMouseUp = TMouseEvent(&f, [&](TObject*, TMouseButton, TShiftState, Integer x, Integer y) {
    ups.push_back({x, y});
  });
  HWND a = f.First->Handle();
  TestMousePress(a, {5, 5});  // a left press captures (csCaptureMouse)
  EXPECT_EQ(GetCapture(), a);
  f.Second->Log.clear();
  // Release over the second control: the first still gets it, in its coordinates.
  TestMouseRelease(f.Second->Handle(), {10, 10});
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0], (TPoint{150 + 10 - 10, 10}));
  EXPECT_TRUE(f.Second->Only({WM_LBUTTONUP}).empty());
  EXPECT_EQ(GetCapture(), 0u);
}

TEST(Capture, HidingOrCancelModeEndsCapture) {
  TFormFixture f;
  f.First->SetMouseCapture(true);
  f.First->Log.clear();
  f.First->Perform(WM_CANCELMODE);
  EXPECT_EQ(GetCapture(), 0u);
  EXPECT_EQ(f.First->Only({WM_CAPTURECHANGED}).size(), 1u);
  f.Second->SetMouseCapture(true);
  f.Second->SetVisible(false);
  EXPECT_EQ(GetCapture(), 0u);
}

TEST(Activation, ShowingAFormActivatesItAndNoActivatePopupDoesNot) {
  TFormFixture f;
  EXPECT_EQ(GetActiveWindow(), f.Form->Handle());
  EXPECT_TRUE(f.Form->Active());
  TForm* popup = new TForm(nullptr);
  popup->SetBorderStyle(bsNone);
  popup->SetFormStyle(fsStayOnTop);
  popup->SetNoActivate(true);
  popup->SetBounds(120, 120, 50, 50);
  popup->Show();
  EXPECT_TRUE(IsWindowVisible(popup->Handle()));
  EXPECT_EQ(GetActiveWindow(), f.Form->Handle());
  EXPECT_TRUE(GetWindowExStyle(popup->Handle()) & WS_EX_TOPMOST);
  EXPECT_EQ(WindowFromPoint({130, 130}), popup->Handle());
  popup->Free();
  EXPECT_EQ(WindowFromPoint({130 - 100 + 100, 130}), f.First->Handle());
}

}  // namespace

namespace {

TEST(Focus, DialogCharacterGoesToTheControlThatTakesItUnlessTheFocusedOneWantsCharacters) {
  TFormFixture f;
  f.First->SetFocus();
  Integer accelerated = 0;
  f.Second->OnMessage = [&](TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR && m.WParam == u'k') {
      ++accelerated;
      m.Result = 1;
    }
  };
  f.First->Log.clear();
  TestTypeText(u"kj");
  EXPECT_EQ(accelerated, 1);
  EXPECT_EQ(f.First->Only({WM_CHAR}).size(), 1u);  // only the j
  f.First->DlgCode = DLGC_WANTCHARS;
  f.First->Log.clear();
  TestTypeText(u"k");
  EXPECT_EQ(accelerated, 1);
  EXPECT_EQ(f.First->Only({WM_CHAR}).size(), 1u);
}

}  // namespace
