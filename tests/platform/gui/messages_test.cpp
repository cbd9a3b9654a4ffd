// Input translation and the dispatcher: what a control receives, in which
// order, and what hooks, posting and the catch boundary do on the way.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gui/hooks.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

TEST(Messages, ClickDoubleClickWheelAndCharArriveInPlatformOrder) {
  TFormFixture f;
  f.First->SetFocus();
  f.First->Log.clear();
  HWND h = f.First->Handle();
  TestClick(h, {5, 5});
  TestDoubleClick(h, {5, 5});
  TestWheel(h, {5, 5}, 1);
  TestTypeText(u"a");
  std::vector<UINT> expected{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                             WM_LBUTTONUP,   WM_MOUSEWHEEL, WM_KEYDOWN,    WM_CHAR,      WM_KEYUP};
  auto input = f.First->Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEWHEEL, WM_KEYDOWN, WM_CHAR,
                              WM_KEYUP});
  EXPECT_EQ(input, expected);
  // Each left press captured the mouse and its release let it go again.
  EXPECT_EQ(f.First->Only({WM_CAPTURECHANGED}).size(), 3u);
  EXPECT_TRUE(f.Second->Log.empty());
}

TEST(Messages, MouseAndKeyEventsCarryPositionShiftAndCharacter) {
  TFormFixture f;
  f.First->SetFocus();
  std::vector<std::tuple<TMouseButton, TShiftState, Integer, Integer>> downs;
  f.First->OnMouseDown = TMouseEvent(&f, [&](TObject*, TMouseButton b, TShiftState s, Integer x, Integer y) {
    downs.emplace_back(b, s, x, y);
  });
  Integer wheel = 0;
  f.First->OnMouseWheel = TMouseWheelEvent(&f, [&](TObject*, TShiftState, Integer d, TPoint, bool& handled) {
    wheel += d;
    handled = true;
  });
  String typed;
  f.First->OnKeyPress = TKeyPressEvent(&f, [&](TObject*, Char& c) { typed += c; });
  Integer clicks = 0, doubles = 0;
  f.First->OnClick = TNotifyEvent(&f, [&](TObject*) { ++clicks; });
  f.First->OnDblClick = TNotifyEvent(&f, [&](TObject*) { ++doubles; });

  HWND h = f.First->Handle();
  TestClick(h, {7, 9}, tbRight, tkShift);
  TestDoubleClick(h, {3, 4});
  TestWheel(h, {1, 1}, -2);
  TestTypeText(u"Zz");
  TestKey(VK_RETURN);
  TestKey('C', u"", tkCtrl);  // a control character made from the key

  ASSERT_EQ(downs.size(), 3u);
  EXPECT_EQ(downs[0], std::make_tuple(mbRight, TShiftState(ssShift | ssRight), 7, 9));
  EXPECT_EQ(std::get<1>(downs[2]) & ssDouble, ssDouble);
  EXPECT_EQ(clicks, 1);  // a right click is no Click; the double click's first click is
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(wheel, -240);
  EXPECT_EQ(typed, String(u"Zz\r\x03"));
}

TEST(Messages, SwallowedKeyDownDropsItsCharacter) {
  TFormFixture f;
  f.First->SetFocus();
  f.Form->OnShortCut = TShortCutEvent(&f, [](TMessage& m, bool& handled) { handled = m.WParam == 'Q'; });
  f.First->Log.clear();
  TestTypeText(u"q");
  TestTypeText(u"w");
  EXPECT_EQ(f.First->Only({WM_KEYDOWN, WM_CHAR}), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));
  EXPECT_EQ(f.First->Log.back(), UINT(WM_KEYUP));
}

TEST(Messages, KeyDownHandlerCanTakeItsPendingCharacterOutOfTheQueue) {
  TFormFixture f;
  f.First->SetFocus();
  f.First->OnKeyDown = TKeyEvent(&f, [](TObject*, Word& key, TShiftState) {
    TMsg m;
    if (key == VK_RETURN) {
      EXPECT_TRUE(PeekMessage(m, GetFocus(), WM_CHAR, WM_CHAR, PM_REMOVE));
    }
  });
  String typed;
  f.First->OnKeyPress = TKeyPressEvent(&f, [&](TObject*, Char& c) { typed += c; });
  TestKey(VK_RETURN, u"\r");
  TestTypeText(u"b");
  EXPECT_EQ(typed, u"b");
}

TEST(Messages, KeyDownHandlerClearingKeyStillGetsCharacterAsThePlatformDoes) {
  TFormFixture f;
  f.First->SetFocus();
  f.First->OnKeyDown = TKeyEvent(&f, [](TObject*, Word& key, TShiftState) { key = 0; });
  String typed;
  f.First->OnKeyPress = TKeyPressEvent(&f, [&](TObject*, Char& c) { typed += c; });
  TestTypeText(u"x");
  EXPECT_EQ(typed, u"x");
}

LRESULT SwallowLeftDown(Integer Code, WPARAM WParam, LPARAM LParam);
HHOOK GMouseHook = 0;
Integer GHookCalls = 0;
LRESULT SwallowLeftDown(Integer Code, WPARAM WParam, LPARAM LParam) {
  ++GHookCalls;
  if (Code == HC_ACTION && (WParam == WM_LBUTTONDOWN || WParam == WM_LBUTTONUP)) return 1;
  return CallNextHookEx(GMouseHook, Code, WParam, LParam);
}

HHOOK GMsgHook = 0;
LRESULT DropChars(Integer Code, WPARAM WParam, LPARAM LParam) {
  auto* m = reinterpret_cast<TMsg*>(LParam);
  if (Code == HC_ACTION && m->message == WM_CHAR) m->message = WM_NULL;
  return CallNextHookEx(GMsgHook, Code, WParam, LParam);
}

TEST(Messages, HooksSwallowClicksAndRewriteMessagesUntilRemoved) {
  TFormFixture f;
  f.First->SetFocus();
  f.First->Log.clear();
  GMouseHook = SetWindowsHookEx(WH_MOUSE, SwallowLeftDown);
  GMsgHook = SetWindowsHookEx(WH_GETMESSAGE, DropChars);
  ASSERT_NE(GMouseHook, 0u);
  TestClick(f.First->Handle(), {5, 5});
  TestClick(f.First->Handle(), {5, 5}, tbRight);
  TestTypeText(u"a");
  EXPECT_EQ(f.First->Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_KEYDOWN, WM_CHAR}),
            (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_KEYDOWN}));
  EXPECT_GE(GHookCalls, 4);
  EXPECT_TRUE(UnhookWindowsHookEx(GMouseHook));
  EXPECT_TRUE(UnhookWindowsHookEx(GMsgHook));
  EXPECT_FALSE(UnhookWindowsHookEx(GMsgHook));
  f.First->Log.clear();
  TestClick(f.First->Handle(), {5, 5});
  EXPECT_EQ(f.First->Only({WM_LBUTTONDOWN}), std::vector<UINT>{WM_LBUTTONDOWN});
}

std::vector<int> GChainOrder;
HHOOK GHookA = 0, GHookB = 0;
LRESULT HookA(Integer Code, WPARAM W, LPARAM L) {
  GChainOrder.push_back(1);
  return CallNextHookEx(GHookA, Code, W, L);
}
LRESULT HookB(Integer Code, WPARAM W, LPARAM L) {
  GChainOrder.push_back(2);
  UnhookWindowsHookEx(GHookB);  // removing itself while running
  return CallNextHookEx(GHookB, Code, W, L);
}

TEST(Messages, HookChainRunsLastInstalledFirstAndSurvivesSelfRemoval) {
  TFormFixture f;
  GHookA = SetWindowsHookEx(WH_CALLWNDPROC, HookA);
  GHookB = SetWindowsHookEx(WH_CALLWNDPROC, HookB);
  GChainOrder.clear();
  SendMessage(f.First->Handle(), WM_USER + 1, 0, 0);
  SendMessage(f.First->Handle(), WM_USER + 1, 0, 0);
  UnhookWindowsHookEx(GHookA);
  EXPECT_EQ(GChainOrder, (std::vector<int>{2, 1, 1}));
  EXPECT_EQ(f.First->Only({WM_USER + 1}).size(), 2u);
  EXPECT_FALSE(HasHooks(WH_CALLWNDPROC));
}

TEST(Messages, PostMessageToDestroyedControlIsDroppedSafely) {
  TFormFixture f;
  HWND h = f.Second->Handle();
  EXPECT_TRUE(PostMessage(h, WM_USER + 7, 1, 2));
  f.Second->Free();
  f.Second = nullptr;
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(PostMessage(h, WM_USER + 7, 1, 2));
  EXPECT_EQ(SendMessage(h, WM_USER + 7, 1, 2), 0);
  Application->ProcessMessages();  // the queued one meets no window
  EXPECT_EQ(QueuedMessageCount(), 0);
}

TEST(Messages, PostedMessagesArriveInOrderAndOneNumberCanBeRemoved) {
  TFormFixture f;
  HWND h = f.First->Handle();
  f.First->Log.clear();
  {
    TQueueInputScope hold;  // nothing is handled while queued
    PostMessage(h, WM_USER + 1, 0, 0);
    PostMessage(h, WM_USER + 2, 0, 0);
    PostMessage(h, WM_USER + 1, 0, 0);
    PostMessage(h, WM_USER + 3, 0, 0);
    EXPECT_EQ(RemoveMessages(h, WM_USER + 1), 2);
    TMsg m;
    EXPECT_TRUE(PeekMessage(m, h, WM_USER + 3, WM_USER + 3, PM_NOREMOVE));
  }
  Application->ProcessMessages();
  EXPECT_EQ(f.First->Log, (std::vector<UINT>{WM_USER + 2, WM_USER + 3}));
}

TEST(Messages, WindowProcCanBeReplacedToSubclassAnotherControl) {
  TFormFixture f;
  TWndMethod saved = f.First->WindowProc;
  std::vector<UINT> seen;
  f.First->WindowProc = TWndMethod(&f, [&](TMessage& m) {
    if (m.Msg == WM_USER + 5) {
      seen.push_back(m.Msg);
      m.Result = 42;
      return;  // taken here, the control never sees it
    }
    saved(m);
  });
  EXPECT_EQ(SendMessage(f.First->Handle(), WM_USER + 5, 0, 0), 42);
  EXPECT_EQ(f.First->Perform(WM_USER + 6), 0);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(f.First->Only({WM_USER + 5, WM_USER + 6}), std::vector<UINT>{WM_USER + 6});
  f.First->WindowProc = saved;
}

TEST(Messages, ExceptionInHandlerReachesOnExceptionAndProgramGoesOn) {
  TFormFixture f;
  std::vector<String> errors;
  Application->OnException = TExceptionEvent(&f, [&](TObject*, Exception* e) { errors.push_back(e->Message); });
  f.First->OnMouseDown = TMouseEvent(&f, [](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    throw EConvertError(u"bad value");
  });
  f.First->OnKeyPress = TKeyPressEvent(&f, [](TObject*, Char&) { Abort(); });
  f.First->SetFocus();
  TestClick(f.First->Handle(), {5, 5});             // through the queue
  SendMessage(f.First->Handle(), WM_LBUTTONDOWN, 0, 0);  // sent: the control's boundary catches it
  TestTypeText(u"k");                                // EAbort is silent
  f.First->OnMouseDown = nullptr;
  f.First->Log.clear();
  TestClick(f.First->Handle(), {5, 5});
  Application->OnException = nullptr;
  EXPECT_EQ(errors, (std::vector<String>{u"bad value", u"bad value"}));
  EXPECT_EQ(f.First->Only({WM_LBUTTONDOWN}).size(), 1u);  // still alive and handling input
}

TEST(Messages, DisabledControlGetsNoMouseInput) {
  TFormFixture f;
  f.First->SetEnabled(false);
  f.First->Log.clear();
  Integer beeps = BeepCount();
  TestClick(f.First->Handle(), {5, 5});
  EXPECT_TRUE(f.First->Only({WM_LBUTTONDOWN, WM_LBUTTONUP}).empty());
  EXPECT_EQ(BeepCount(), beeps + 1);
}

TEST(Messages, InputMethodCommitArrivesAsCharactersAfterCompositionStart) {
  TFormFixture f;
  f.First->SetFocus();
  String typed;
  f.First->OnKeyPress = TKeyPressEvent(&f, [&](TObject*, Char& c) { typed += c; });
  f.First->Log.clear();
  TestInputMethodPreedit(u"zhong");
  TestInputMethodCommit(u"中文");
  EXPECT_EQ(f.First->Only({WM_IME_STARTCOMPOSITION, WM_CHAR}),
            (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_CHAR, WM_CHAR}));
  EXPECT_EQ(typed, u"中文");
}

TEST(Messages, KeyStateFollowsInput) {
  TFormFixture f;
  f.First->SetFocus();
  TestKeyPress(VK_SHIFT, u"", tkShift);
  EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
  // Without a real keyboard the asynchronous state is the input taken so far.
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && std::string(platform) == "offscreen") {
    EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
  }
  TestKeyRelease(VK_SHIFT);
  EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
  TestMousePress(f.First->Handle(), {2, 2});
  EXPECT_TRUE(GetKeyState(VK_LBUTTON) & 0x8000);
  TestMouseRelease(f.First->Handle(), {2, 2});
  EXPECT_FALSE(GetKeyState(VK_LBUTTON) & 0x8000);
}

TEST(Messages, RightClickAndMenuKeyAskForContextMenu) {
  TFormFixture f;
  f.First->SetFocus();
  std::vector<TPoint> points;
  f.First->OnContextPopup = TContextPopupEvent(&f, [&](TObject*, TPoint p, bool& handled) {
    points.push_back(p);
    handled = true;
  });
  TestClick(f.First->Handle(), {12, 13}, tbRight);
  TestKey(VK_APPS);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0], (TPoint{12, 13}));
  EXPECT_EQ(points[1], (TPoint{-1, -1}));
}

}  // namespace

namespace {

TEST(Messages, SystemColourChangeReachesEveryControlOfEveryWindow) {
  TFormFixture f;
  f.First->Log.clear();
  std::vector<TObject*> told;
  HWND hidden = AllocateHWnd(TWndMethod(&told, [&](TMessage& m) {
    if (m.Msg == WM_SYSCOLORCHANGE) told.push_back(nullptr);
  }));
  f.First->OnMessage = [&](TMessage& m) {
    if (m.Msg == CM_SYSCOLORCHANGE) told.push_back(f.First);
  };
  f.Second->OnMessage = [&](TMessage& m) {
    if (m.Msg == CM_SYSCOLORCHANGE) told.push_back(f.Second);
  };
  SendToTopLevelWindows(WM_SYSCOLORCHANGE, 0, 0);
  DeallocateHWnd(hidden);
  EXPECT_EQ(told.size(), 3u);
  EXPECT_NE(std::find(told.begin(), told.end(), f.First), told.end());
  EXPECT_NE(std::find(told.begin(), told.end(), f.Second), told.end());
}

}  // namespace

namespace {

TEST(Messages, NavigationAndFunctionKeysArriveAsVirtualKeys) {
  TFormFixture f;
  f.First->SetFocus();
  std::vector<Word> keys;
  f.First->OnKeyDown = TKeyEvent(&f, [&](TObject*, Word& k, TShiftState) { keys.push_back(k); });
  // Arrows move the focus between controls that do not ask for them...
  TestKey(VK_RIGHT);
  EXPECT_TRUE(f.Second->Focused());
  EXPECT_TRUE(keys.empty());
  // ...and reach the control that does.
  f.First->DlgCode = DLGC_WANTARROWS;
  f.First->SetFocus();
  const Word sent[] = {VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_DELETE, VK_F4, 'Q'};
  for (Word k : sent) TestKey(k);
  EXPECT_EQ(keys, std::vector<Word>(std::begin(sent), std::end(sent)));
}

TEST(Messages, AltKeysAreSystemKeys) {
  TFormFixture f;
  f.First->SetFocus();
  f.First->Log.clear();
  TestKey('X', u"x", tkAlt);
  EXPECT_EQ(f.First->Only({WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_KEYDOWN, WM_CHAR}),
            (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP}));
}

}  // namespace
