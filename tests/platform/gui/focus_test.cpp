// Focus, capture and activation.
#include <gtest/gtest.h>

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
