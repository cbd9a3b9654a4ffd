// The base control driven offscreen: scroll-bar layout, wheel, focus on a
// click, keys and menus, mouse tracking, the destroy guard and system metric
// changes; and a picture of a control with its bars.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/cxControls.h"
#include "foundation/cxControlsDragDrop.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/hooks.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"
#include "tests/foundation/control_fixture.h"
#include "tests/foundation/foundation_test.h"
#include "tests/platform/gui/guitestutil.h"

using namespace cxTest;

namespace {

// A control with a content of a given size that it scrolls by pixels.
class TGrid : public TcxControl {
public:
  explicit TGrid(TComponent* AOwner) : TcxControl(AOwner) {}
  Integer ContentWidth = 0, ContentHeight = 0;
  Integer LeftPos = 0, TopPos = 0;
  bool AllowHide = true;
  bool Reclaim = false;
  // Sizes pages from the bars as they show now, not from the pending
  // calculation (a descendant that does so makes bars depend on each other).
  bool StaleVisibility = false;
  Integer ComputeCount = 0;
  std::vector<TScrollCall> Scrolls;
  std::function<void()> OnScrollContent;

  void SetContent(Integer W, Integer H) {
    ContentWidth = W;
    ContentHeight = H;
    RecalcScrollBars();
  }
  void ComputeScrollBarParams() override {
    ++ComputeCount;
    TRect c = ContentBounds();
    if (StaleVisibility) {
      c = DrawingBounds();
      if (HScrollBar()->Visible()) c.Bottom -= HScrollBar()->Height();
      if (VScrollBar()->Visible()) c.Right -= VScrollBar()->Width();
    }
    SetScrollBarParams(sbHorizontal, 0, ContentWidth - 1, LeftPos, c.Width(), 1, true, AllowHide);
    SetScrollBarParams(sbVertical, 0, ContentHeight - 1, TopPos, c.Height(), 1, true, AllowHide);
  }
  bool CanReclaimScrollBarSpace(TScrollBarKind) override { return Reclaim; }
  void ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& APos) override {
    Scrolls.push_back({AKind, ACode});
    if (OnScrollContent) OnScrollContent();
    (void)APos;
  }
  void Paint() override {
    TcxControl::Paint();
    TCanvas* c = Canvas();
    c->Brush()->SetColor(clWindow);
    c->FillRect(ContentBounds());
    c->Pen()->SetColor(clSilver);
    for (Integer y = 0; y < ContentBounds().Bottom; y += 18) {
      c->MoveTo(0, y);
      c->LineTo(ContentBounds().Right, y);
    }
    c->Font()->SetColor(clWindowText);
    c->TextOut(8, 4, u"Korvane 控件");
  }
};

// A menu of the library's own kind.
class TTestMenu : public TComponent, public IcxPopupMenu {
public:
  explicit TTestMenu(TComponent* AOwner) : TComponent(AOwner) {}
  std::vector<TPoint> Shown;
  Integer ShortCutsTaken = 0;
  void Popup(Integer X, Integer Y) override { Shown.push_back({X, Y}); }
  bool IsShortCutKey(TMessage& M) override {
    bool taken = M.WParam == 'M' && (GetKeyState(VK_CONTROL) & 0x8000);
    if (taken) ++ShortCutsTaken;
    return taken;
  }
};

// A shown form with two grids: A at (10, 10) and B at (10, 200), 200 x 150.
struct TGridFixture : TTestForm {
  TGridFixture() : TTestForm(400, 400, {50, 50}) {
    A = Place<TGrid>(10, 10, 200, 150);
    B = Place<TGrid>(10, 200, 200, 150);
    Form->Show();
  }
  TGrid* A;

  TGrid* B;
};

TEST(cxControl, CreatesWithItsDefaults) {
  TGridFixture f;
  EXPECT_TRUE(f.A->FocusOnClick());
  EXPECT_EQ(f.A->ScrollBars(), ssBoth);
  EXPECT_EQ(f.A->BorderStyle(), cxcbsNone);
  EXPECT_TRUE(f.A->TabStop());
  ASSERT_NE(f.A->HScrollBar(), nullptr);
  EXPECT_EQ(f.A->HScrollBar()->Kind(), sbHorizontal);
  EXPECT_EQ(f.A->VScrollBar()->Kind(), sbVertical);
  EXPECT_FALSE(f.A->HScrollBar()->Visible());
  EXPECT_EQ(f.A->HScrollBar()->Parent(), f.A);
  EXPECT_EQ(f.A->VScrollBar()->LookAndFeel()->Master(), f.A->LookAndFeel());
  EXPECT_TRUE(f.A->IsOwnScrollControl(f.A->SizeGrip()));
  EXPECT_FALSE(f.A->IsOwnScrollControl(f.B));
  HWND h = f.A->Handle();
  EXPECT_NE(GetWindowStyle(h) & WS_CLIPCHILDREN, 0u);
  // The library's cursors are registered.
  for (TCursor id = crcxDragCopy; id <= crcxDrag; ++id) EXPECT_NE(Screen->Cursors(id), Screen->Cursors(crDefault)) << id;
}

TEST(cxControl, ScrollBarLayoutFollowsTheContent) {
  TGridFixture f;
  struct TCase {
    const char* Name;
    Integer W, H;
    bool HVisible, VVisible;
  };
  const TCase cases[] = {
      {"content fits", 100, 100, false, false},
      {"too wide", 300, 100, true, false},
      {"too tall", 100, 300, false, true},
      {"both", 300, 300, true, true},
      {"fits exactly", 200, 150, false, false},
      {"tall content makes the width too small", 190, 200, true, true},
      {"wide content makes the height too small", 300, 140, true, true},
      {"back to fitting", 50, 50, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    f.A->SetContent(c.W, c.H);
    EXPECT_EQ(f.A->IsHScrollBarVisible(), c.HVisible);
    EXPECT_EQ(f.A->IsVScrollBarVisible(), c.VVisible);
    EXPECT_EQ(f.A->SizeGrip()->Visible(), c.HVisible && c.VVisible);
    TRect content = f.A->ContentBounds();
    EXPECT_EQ(content, (TRect{0, 0, c.VVisible ? 184 : 200, c.HVisible ? 134 : 150}));
    if (c.HVisible) {
      EXPECT_EQ(f.A->HScrollBar()->BoundsRect(), (TRect{0, 134, content.Right, 150}));
      EXPECT_EQ(f.A->HScrollBar()->PageSize(), content.Width());
      EXPECT_EQ(f.A->HScrollBar()->LargeChange(), content.Width());
      EXPECT_EQ(f.A->HScrollBar()->Max(), c.W - 1);
    }
    if (c.VVisible) {
      EXPECT_EQ(f.A->VScrollBar()->BoundsRect(), (TRect{184, 0, 200, content.Bottom}));
    }
    if (c.HVisible && c.VVisible) {
      EXPECT_EQ(f.A->SizeGrip()->BoundsRect(), (TRect{184, 134, 200, 150}));
    }
  }
}

TEST(cxControl, ScrollBarSettingsBorderAndHidingRules) {
  TGridFixture f;
  f.A->SetContent(300, 300);
  f.A->SetScrollBars(ssVertical);
  EXPECT_FALSE(f.A->IsHScrollBarVisible());
  EXPECT_TRUE(f.A->IsVScrollBarVisible());
  f.A->SetScrollBars(ssNone);
  EXPECT_FALSE(f.A->IsVScrollBarVisible());
  f.A->SetScrollBars(ssBoth);
  // A range that fits shows a disabled bar when the caller does not allow hiding.
  f.A->AllowHide = false;
  f.A->SetContent(100, 300);
  EXPECT_TRUE(f.A->IsHScrollBarVisible());
  EXPECT_FALSE(f.A->HScrollBar()->Enabled());
  EXPECT_TRUE(f.A->VScrollBar()->Enabled());
  f.A->AllowHide = true;
  f.A->SetContent(100, 300);
  EXPECT_FALSE(f.A->IsHScrollBarVisible());
  // The border takes the painter's thickness on every side.
  f.A->SetBorderStyle(cxcbsDefault);
  Integer b = f.A->BorderThickness();
  EXPECT_GT(b, 0);
  EXPECT_EQ(f.A->ContentBounds(), (TRect{b, b, 200 - b - 16, 150 - b}));
  EXPECT_EQ(f.A->VScrollBar()->BoundsRect(), (TRect{200 - b - 16, b, 200 - b, 150 - b}));
}

TEST(cxControl, BarsShownOnlyBecauseOfEachOtherAreReclaimed) {
  for (bool reclaim : {false, true}) {
    SCOPED_TRACE(reclaim);
    TGridFixture f;
    f.A->StaleVisibility = true;
    f.A->Reclaim = reclaim;
    f.A->SetContent(300, 300);
    ASSERT_TRUE(f.A->IsHScrollBarVisible() && f.A->IsVScrollBarVisible());
    // 190 x 145 fits without bars, but not beside the bars that show now.
    f.A->SetContent(190, 145);
    EXPECT_EQ(f.A->IsHScrollBarVisible(), !reclaim);
    EXPECT_EQ(f.A->IsVScrollBarVisible(), !reclaim);
  }
}

TEST(cxControl, OscillatingBarsEndShownDisabled) {
  TGridFixture f;
  f.A->StaleVisibility = true;
  f.A->SetContent(300, 100);
  ASSERT_TRUE(f.A->IsHScrollBarVisible());
  ASSERT_FALSE(f.A->IsVScrollBarVisible());
  // With the horizontal bar shown only the vertical one is needed, and with
  // that one shown only the horizontal one: the passes would swap for ever.
  f.A->ComputeCount = 0;
  f.A->SetContent(190, 140);
  EXPECT_LT(f.A->ComputeCount, 20);
  EXPECT_TRUE(f.A->IsHScrollBarVisible());
  EXPECT_TRUE(f.A->IsVScrollBarVisible());
  EXPECT_FALSE(f.A->HScrollBar()->Enabled());
  EXPECT_FALSE(f.A->VScrollBar()->Enabled());
  // The next real change recalculates normally again.
  f.A->SetContent(50, 50);
  EXPECT_FALSE(f.A->IsHScrollBarVisible());
  EXPECT_FALSE(f.A->IsVScrollBarVisible());
}

TEST(cxControl, WheelScrollsWheelScrollLinesThroughScrollContent) {
  TGridFixture f;
  HWND h = f.A->Handle();
  TestWheel(h, {50, 50}, -1);
  EXPECT_TRUE(f.A->Scrolls.empty());  // no vertical bar: nothing to scroll
  f.A->SetContent(300, 300);
  Mouse->SetWheelScrollLines(3);
  TestWheel(h, {50, 50}, -1);
  TestWheel(h, {50, 50}, 1);
  std::vector<TScrollCall> expected(3, {sbVertical, scLineDown});
  expected.insert(expected.end(), 3, {sbVertical, scLineUp});
  EXPECT_EQ(f.A->Scrolls, expected);
  // ScrollOneStep goes the same way for the four directions.
  f.A->Scrolls.clear();
  for (TcxDirection d : {dirLeft, dirRight, dirUp, dirDown}) f.A->ScrollOneStep(d);
  EXPECT_EQ(f.A->Scrolls, (std::vector<TScrollCall>{{sbHorizontal, scLineUp},
                                                    {sbHorizontal, scLineDown},
                                                    {sbVertical, scLineUp},
                                                    {sbVertical, scLineDown}}));
  // The bars' own scrolling arrives there too.
  f.A->Scrolls.clear();
  TestClick(f.A->VScrollBar()->Handle(), {8, 120});
  ASSERT_FALSE(f.A->Scrolls.empty());
  EXPECT_EQ(f.A->Scrolls.front(), (TScrollCall{sbVertical, scLineDown}));
  EXPECT_EQ(f.A->Scrolls.back(), (TScrollCall{sbVertical, scEndScroll}));
}

TEST(cxControl, ClickFocusesTheControlUnlessItRefuses) {
  TGridFixture f;
  Integer downs = 0, focusChanges = 0;
  f.B->OnMouseDown = TMouseEvent(&f, [&](TObject*, TMouseButton, TShiftState, Integer, Integer) { ++downs; });
  f.B->OnFocusChanged = TNotifyEvent(&f, [&](TObject*) { ++focusChanges; });
  f.A->SetFocus();
  TestClick(f.B->Handle(), {20, 20});
  EXPECT_TRUE(f.B->Focused());
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(focusChanges, 1);
  EXPECT_EQ(f.B->MouseDownPos(), (TPoint{20, 20}));

  // Without FocusOnClick the press goes through but the focus stays.
  f.A->SetFocus();
  f.B->SetFocusOnClick(false);
  TestClick(f.B->Handle(), {20, 20});
  EXPECT_TRUE(f.A->Focused());
  EXPECT_EQ(downs, 2);

  // A control that cannot keep the focus drops the press.
  f.B->SetFocusOnClick(true);
  f.B->OnEnter = TNotifyEvent(&f, [&](TObject*) { f.A->SetFocus(); });
  TestClick(f.B->Handle(), {20, 20});
  EXPECT_TRUE(f.A->Focused());
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(GetCapture(), HWND(0));

  // A press on a bar focuses the control that owns it.
  f.B->OnEnter = nullptr;
  f.B->SetContent(100, 300);
  TestClick(f.B->VScrollBar()->Handle(), {8, 5});
  EXPECT_TRUE(f.B->Focused());
}

TEST(cxControl, KeysReachTheControlByItsDialogCodeAndMenusTakeShortcuts) {
  TGridFixture f;
  const std::pair<TcxControlDialogKeys, LRESULT> codes[] = {
      {0, 0}, {dkArrows, DLGC_WANTARROWS}, {dkTab | dkChars, DLGC_WANTTAB | DLGC_WANTCHARS},
      {dkAll | dkArrows | dkChars | dkTab, 0x87}};
  for (auto& [keys, code] : codes) {
    f.A->SetKeys(keys);
    EXPECT_EQ(f.A->Perform(WM_GETDLGCODE), code);
  }
  std::vector<Word> keysDown;
  f.A->OnKeyDown = TKeyEvent(&f, [&](TObject*, Word& k, TShiftState) { keysDown.push_back(k); });
  f.A->SetKeys(dkArrows);
  f.A->SetFocus();
  TestKey(VK_DOWN);
  TestKey('M', u"", tkCtrl);
  EXPECT_EQ(keysDown, (std::vector<Word>{VK_DOWN, 'M'}));

  // A menu of the control or of a TcxControl around it takes its shortcut.
  TTestMenu* menu = new TTestMenu(f.Form);
  f.A->SetPopupMenu(menu);
  EXPECT_EQ(f.A->PopupMenu(), menu);
  keysDown.clear();
  TestKey('M', u"", tkCtrl);
  EXPECT_EQ(menu->ShortCutsTaken, 1);
  EXPECT_TRUE(keysDown.empty());
  // A component that is no menu is refused; a freed menu is forgotten.
  f.B->SetPopupMenu(f.A);
  EXPECT_EQ(f.B->PopupMenu(), nullptr);
  menu->Free();
  EXPECT_EQ(f.A->PopupMenu(), nullptr);
}

TEST(cxControl, ContextMenuShowsThePopupMenuAtTheScreenPoint) {
  TGridFixture f;
  TTestMenu* menu = new TTestMenu(f.Form);
  f.A->SetPopupMenu(menu);
  TestClick(f.A->Handle(), {30, 40}, tbRight);
  ASSERT_EQ(menu->Shown.size(), 1u);
  EXPECT_EQ(menu->Shown[0], f.A->ClientToScreen({30, 40}));
  // From the keyboard: at the client's top-left.
  f.A->Perform(WM_CONTEXTMENU, f.A->Handle(), MAKELPARAM(-1, -1));
  ASSERT_EQ(menu->Shown.size(), 2u);
  EXPECT_EQ(menu->Shown[1], f.A->ClientToScreen({0, 0}));
  // An OnContextPopup that handles the request keeps the menu closed.
  f.A->OnContextPopup = TContextPopupEvent(&f, [](TObject*, TPoint, bool& handled) { handled = true; });
  TestClick(f.A->Handle(), {30, 40}, tbRight);
  EXPECT_EQ(menu->Shown.size(), 2u);
}

// A tracking caller that records its notice.
struct TTracker : IcxMouseTrackingCaller {
  Integer Leaves = 0;
  void MouseLeave() override { ++Leaves; }
};
struct TAreaTracker : TTracker, IcxMouseTrackingAreaCaller {
  TRect Area;
  bool PtInCaller(const TPoint& P) override { return PtInRect(Area, P); }
};

TEST(cxControl, MouseTrackingReportsLeavingTheArea) {
  TGridFixture f;
  TTestClock clock;
  Integer controlLeaves = 0;
  f.A->OnMouseLeave = TNotifyEvent(&f, [&](TObject*) { ++controlLeaves; });
  auto moveTo = [&](TPoint client) {
    TPoint s = f.A->ClientToScreen(client);
    SetCursorPos(s.X, s.Y);
  };
  TTracker t;
  moveTo({10, 10});
  BeginMouseTracking(f.A, Rect(0, 0, 50, 50), &t);
  BeginMouseTracking(f.A, Rect(0, 0, 50, 50), &t);  // once only
  EXPECT_EQ(MouseTrackingCount(), 1);
  clock.Advance(100);
  EXPECT_EQ(t.Leaves, 0);
  // Out of the area but inside the client: the caller hears it, the control not.
  moveTo({60, 10});
  clock.Advance(10);
  EXPECT_EQ(t.Leaves, 1);
  EXPECT_EQ(controlLeaves, 0);
  EXPECT_FALSE(IsMouseTracking(&t));
  // Out of the control: the control gets CM_MOUSELEAVE as well.
  moveTo({10, 10});
  BeginMouseTracking(f.A, Rect(0, 0, 50, 50), &t);
  moveTo({-30, 10});
  clock.Advance(10);
  EXPECT_EQ(t.Leaves, 2);
  EXPECT_EQ(controlLeaves, 1);
  // A caller with its own area test decides itself.
  TAreaTracker a;
  a.Area = Rect(0, 0, 100, 20);
  moveTo({90, 10});
  BeginMouseTracking(f.A, Rect(0, 0, 5, 5), &a);
  clock.Advance(50);
  EXPECT_EQ(a.Leaves, 0);
  moveTo({90, 30});
  clock.Advance(10);
  EXPECT_EQ(a.Leaves, 1);
  // Tracking of a control that is freed ends with it.
  BeginMouseTracking(f.B, Rect(0, 0, 5, 5), &t);
  EXPECT_EQ(MouseTrackingCount(), 1);
  f.B->Free();
  f.B = nullptr;
  EXPECT_EQ(MouseTrackingCount(), 0);
  clock.Advance(50);
}

TEST(cxControl, MouseTrackingEndsWithAFreedCallerAndQuietlyAtShutdown) {
  TGridFixture f;
  TTestClock clock;
  auto moveTo = [&](TPoint client) {
    TPoint s = f.A->ClientToScreen(client);
    SetCursorPos(s.X, s.Y);
  };
  moveTo({10, 10});
  {
    SCOPED_TRACE("a caller freed while tracked");
    auto* t = new TTracker;
    BeginMouseTracking(f.A, Rect(0, 0, 50, 50), t);
    delete t;
    EXPECT_EQ(MouseTrackingCount(), 0);
    moveTo({-30, 10});
    clock.Advance(20);  // no tick reaches the freed caller
    moveTo({10, 10});
  }
  {
    SCOPED_TRACE("a caller freed by the control's own leave notice");
    auto* t = new TTracker;
    f.A->OnMouseLeave = TNotifyEvent(&f, [&](TObject*) { delete std::exchange(t, nullptr); });
    BeginMouseTracking(f.A, Rect(0, 0, 50, 50), t);
    moveTo({-30, 10});
    clock.Advance(10);
    EXPECT_EQ(t, nullptr);  // the notice ran; its MouseLeave was not called on freed memory
    EXPECT_EQ(MouseTrackingCount(), 0);
    f.A->OnMouseLeave = nullptr;
    moveTo({10, 10});
  }
  {
    SCOPED_TRACE("tracking left running at shutdown");
    TTracker t;
    BeginMouseTracking(f.A, Rect(0, 0, 5, 5), &t);
    EXPECT_NO_THROW(cxControlsFinalize());
    EXPECT_EQ(MouseTrackingCount(), 0);
  }
}

TEST(cxControl, ControlFreedInsideItsOwnHandlerIsNotTouchedAfterwards) {
  {
    TGridFixture f;
    f.B->OnMouseDown = TMouseEvent(&f, [&](TObject*, TMouseButton, TShiftState, Integer, Integer) {
      // The handler lives in the control: nothing of it is used after Free.
      TGrid* self = f.B;
      f.B = nullptr;
      self->Free();
    });
    TestClick(f.B->Handle(), {20, 20});
    EXPECT_EQ(f.B, nullptr);
    EXPECT_EQ(f.Form->ControlCount(), 1);
  }
  {
    TGridFixture f;
    f.B->SetContent(300, 300);
    f.B->OnScrollContent = [&] {
      // The handler lives in the control: nothing of it is used after Free.
      TGrid* self = f.B;
      f.B = nullptr;
      self->Free();
    };
    f.B->SetFocus();
    HWND h = f.B->Handle();
    TestWheel(h, {20, 20}, -1);  // the first of three lines frees the control
    EXPECT_EQ(f.B, nullptr);
  }
  {
    TGridFixture f;
    f.A->SetFocus();
    f.A->OnKeyDown = TKeyEvent(&f, [&](TObject*, Word&, TShiftState) {
      // The handler lives in the control: nothing of it is used after Free.
      TGrid* self = f.A;
      f.A = nullptr;
      self->Free();
    });
    TestKey(VK_ESCAPE);
    EXPECT_EQ(f.A, nullptr);
  }
  {
    // Scrolling through a bar frees the control and with it the bar.
    TGridFixture f;
    f.B->SetContent(300, 300);
    f.B->OnScrollContent = [&] {
      TGrid* self = f.B;
      f.B = nullptr;
      self->Free();
    };
    TTestClock clock;
    TestMousePress(f.B->VScrollBar()->Handle(), {8, 120});
    EXPECT_EQ(f.B, nullptr);
    clock.Advance(1000);
  }
  {
    TGridFixture f;
    f.A->OnClick = TNotifyEvent(&f, [&](TObject*) {
      // The handler lives in the control: nothing of it is used after Free.
      TGrid* self = f.A;
      f.A = nullptr;
      self->Free();
    });
    TestClick(f.A->Handle(), {20, 20});
    EXPECT_EQ(f.A, nullptr);
    TestClick(f.B->Handle(), {20, 20});
    EXPECT_TRUE(f.B->Focused());
  }
}

TEST(cxControl, SystemMetricChangeResizesTheBarsAndRelayouts) {
  TGridFixture f;
  f.A->SetContent(300, 300);
  TSysMetricsTable table = DefaultSysMetricsTable();
  table[SM_CYHSCROLL] = 22;
  table[SM_CXVSCROLL] = 20;
  SetSysMetricsTable(table);
  SendToTopLevelWindows(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_EQ(f.A->HScrollBar()->Height(), 22);
  EXPECT_EQ(f.A->VScrollBar()->Width(), 20);
  EXPECT_EQ(f.A->ContentBounds(), (TRect{0, 0, 180, 128}));
  EXPECT_EQ(f.A->HScrollBar()->BoundsRect(), (TRect{0, 128, 180, 150}));
  EXPECT_EQ(f.A->SizeGrip()->BoundsRect(), (TRect{180, 128, 200, 150}));
  EXPECT_EQ(f.A->HScrollBar()->PartBounds(sbpLineUp), (TRect{0, 0, 22, 22}));
  SetSysMetricsTable(DefaultSysMetricsTable());
  // The private message alone does the same (the window's frame sends it).
  f.A->Perform(CXM_NCSIZECHANGED);
  EXPECT_EQ(f.A->HScrollBar()->Height(), 16);
  EXPECT_EQ(f.A->ContentBounds(), (TRect{0, 0, 184, 134}));
}

TEST(cxControl, SettingsControllerListsLiveControlsOnly) {
  TGridFixture f;
  Integer listed = cxSettingsController()->ListenerCount();
  EXPECT_NE(cxSettingsController()->Handle(), HWND(0));
  f.B->Free();
  f.B = nullptr;
  EXPECT_EQ(cxSettingsController()->ListenerCount(), listed - 1);
  SendToTopLevelWindows(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);  // reaches only A
  EXPECT_EQ(f.A->HScrollBar()->Height(), 16);
}

// A font listener that records its notices.
struct TFontListener : IcxFontListener {
  std::vector<TFont*> Fonts;
  void Changed(TObject*, TFont* AFont) override { Fonts.push_back(AFont); }
};

TEST(cxControl, FontListenersAndTheDefaultCursor) {
  TGridFixture f;
  TFontListener listener;
  f.A->AddFontListener(&listener);
  f.A->AddFontListener(&listener);  // once only
  f.A->Font()->SetSize(14);
  ASSERT_EQ(listener.Fonts.size(), 1u);
  EXPECT_EQ(listener.Fonts[0], f.A->Font());
  f.A->RemoveFontListener(&listener);
  f.A->Font()->SetSize(9);
  EXPECT_EQ(listener.Fonts.size(), 1u);
  // Setting Cursor changes the default cursor; the cursor a mouse move
  // takes from CursorAt does not.
  struct TCursorGrid : TGrid {
    using TGrid::TGrid;
    TCursor CursorAt(Integer X, Integer) override { return X < 50 ? crcxHorzSize : DefaultCursor(); }
  };
  auto* g = new TCursorGrid(f.Form);
  g->SetBounds(220, 10, 100, 100);
  g->SetParent(f.Form);
  g->SetCursor(crHandPoint);
  EXPECT_EQ(g->DefaultCursor(), crHandPoint);
  TestMouseMove(g->Handle(), {10, 10});
  EXPECT_EQ(g->Cursor(), crcxHorzSize);
  EXPECT_EQ(g->DefaultCursor(), crHandPoint);
  TestMouseMove(g->Handle(), {80, 10});
  EXPECT_EQ(g->Cursor(), crHandPoint);
}

TEST(cxControl, MouseCaptureObjectIsToldWhenReplaced) {
  TGridFixture f;
  struct TCaptureObject : TObject, IcxMouseCaptureObject {
    Integer Cancels = 0;
    void DoCancelMode() override { ++Cancels; }
  } first, second;
  f.A->SetMouseCaptureObject(&first);
  EXPECT_TRUE(f.A->MouseCapture());
  f.A->SetMouseCaptureObject(&second);
  EXPECT_EQ(first.Cancels, 1);
  f.A->Perform(WM_CANCELMODE);
  EXPECT_EQ(second.Cancels, 1);
  EXPECT_EQ(f.A->MouseCaptureObject(), nullptr);
  EXPECT_FALSE(f.A->MouseCapture());
}

TEST(cxControl, PictureOfAControlWithBorderAndBars) {
  TGridFixture f;
  f.A->SetBorderStyle(cxcbsDefault);
  f.A->SetContent(400, 300);
  f.A->HScrollBar()->SetPosition(0);
  f.Form->SetColor(clBtnFace);
  TBitmap picture(f.Form->ClientWidth(), f.Form->ClientHeight());
  f.Form->PaintTo(picture.Canvas(), 0, 0);
  SavePicture(picture, "cxControl_scrollbars", 1);
  // The bars were painted by the painter: the arrow buttons differ from the
  // window colour of the content.
  TRect h = f.A->HScrollBar()->BoundsRect();
  TPoint arrow{10 + h.Left + 8, 10 + h.Top + 8};
  EXPECT_NE(picture.PixelColor(arrow.X, arrow.Y), ColorToRGB(clWindow));
  EXPECT_EQ(picture.PixelColor(10 + 100, 10 + 50), ColorToRGB(clWindow));
}

// ---- Drag and drop inside the control --------------------------------------------------------

// Writes every step of the operation into the control's log (the object is
// freed when the operation ends, the log outlives it).
class TLoggingDragObject;

class TDragGrid : public TGrid {
public:
  explicit TDragGrid(TComponent* AOwner) : TGrid(AOwner) {}
  std::vector<std::string> Log;
  bool Immediate = false;
  bool FinishAgainOnEnd = false;
  Integer ObjectsAlive = 0;
  std::function<void(TMouseButton)> OnBeforeMouseDown;
  // Library drags.
  bool Images = false;
  bool RefuseStart = false;
  std::vector<TRect> DrawnImages;
  std::vector<bool> ScrollingSeen;  // IsScrollingContent at each scroll

  bool StartsDragAndDropAt(const TPoint& P) override { return P.X < 100; }
  void BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override {
    if (OnBeforeMouseDown) OnBeforeMouseDown(Button);
    TGrid::BeforeMouseDown(Button, Shift, X, Y);
  }
  bool ProvidesDragImages() override { return Images; }
  TSize DragImageSize() override { return TSize{16, 12}; }
  void DrawDragImage(TcxCanvas* ACanvas, const TRect& R) override {
    DrawnImages.push_back(R);
    ACanvas->SetBrushColor(clRed);
    ACanvas->Canvas()->FillRect(R);
  }
  bool AcceptsStartDrag(TDragObject* DragObject) override {
    return !RefuseStart && TGrid::AcceptsStartDrag(DragObject);
  }
  using TcxControl::ControlStyle;
};

class TLoggingDragObject : public TcxDragAndDropObject {
  KORVANE_CLASS(TLoggingDragObject, TcxDragAndDropObject)
  explicit TLoggingDragObject(TcxControl* AControl) : TcxDragAndDropObject(AControl) { ++Grid()->ObjectsAlive; }
  ~TLoggingDragObject() override { --Grid()->ObjectsAlive; }
  TDragGrid* Grid() const { return static_cast<TDragGrid*>(Control()); }
  bool StartsImmediately() override { return Grid()->Immediate; }
  void BeginDragAndDrop() override {
    Grid()->Log.push_back("begin");
    TcxDragAndDropObject::BeginDragAndDrop();
  }
  void DragAndDrop(const TPoint& P, bool& Accepted) override {
    Accepted = true;
    Grid()->Log.push_back("move " + std::to_string(P.X) + "," + std::to_string(P.Y));
    TcxDragAndDropObject::DragAndDrop(P, Accepted);
  }
  void EndDragAndDrop(bool Accepted) override {
    Grid()->Log.push_back(Accepted ? "end accepted" : "end refused");
    // Finishing again from inside the end is ignored.
    if (Grid()->FinishAgainOnEnd) Grid()->FinishDragAndDrop(!Accepted);
  }
};

struct TDragGridFixture {
  TDragGridFixture() {
    EnsureGuiRuntime();
    cxControlsInitialize();
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    Grid = new TDragGrid(Form);
    Grid->SetBounds(10, 10, 200, 150);
    Grid->SetParent(Form);
    Grid->SetDragAndDropObjectClass(TLoggingDragObject::StaticClass());
    Target = new TCustomControl(Form);
    Target->SetBounds(250, 10, 100, 100);
    Target->SetParent(Form);
    Target->OnDragOver = TDragOverEvent(this, [](TObject*, TObject*, Integer, Integer, TDragState, bool& Accept) {
      Accept = true;
    });
    Target->OnDragDrop = TDragDropEvent(this, [this](TObject*, TObject* Src, Integer, Integer) { Dropped = Src; });
    Form->Show();
    Handle = Grid->Handle();
  }
  ~TDragGridFixture() {
    CancelDrag();
    FreeDraggedForm(Form);
  }

  void PutCursor(const TPoint& P) const {
    TPoint s = Grid->ClientToScreen(P);
    SetCursorPos(s.X, s.Y);
  }
  TPoint OverTarget(const TPoint& P) const { return Grid->ScreenToClient(Target->ClientToScreen(P)); }
  TForm* Form;
  TDragGrid* Grid;
  TCustomControl* Target;
  HWND Handle;
  TObject* Dropped = nullptr;
};

TEST(cxControlDragAndDrop, StartsPastTheThresholdFollowsTheMouseAndEndsOnRelease) {
  TDragGridFixture f;
  EXPECT_EQ(f.Grid->DragAndDropObjectClass(), TLoggingDragObject::StaticClass());
  const Integer t = Mouse->DragThreshold();
  f.PutCursor({20, 20});
  TestMousePress(f.Handle, {20, 20});
  EXPECT_EQ(f.Grid->DragAndDropState(), ddsStarting);
  TestMouseMove(f.Handle, {20 + t - 1, 20});  // still within the threshold
  EXPECT_EQ(f.Grid->DragAndDropState(), ddsStarting);
  EXPECT_TRUE(f.Grid->Log.empty());
  Screen->SetCursor(crHourGlass);
  TestMouseMove(f.Handle, {20 + t, 20});
  EXPECT_EQ(f.Grid->DragAndDropState(), ddsInProcess);
  EXPECT_EQ(GetCapture(), f.Handle);
  EXPECT_EQ(Screen->Cursor(), crDrag);  // the object's cursor for an accepted place
  TestMouseMove(f.Handle, {60, 30});
  TestMouseRelease(f.Handle, {60, 30});
  const std::string first = "move " + std::to_string(20 + t) + ",20";
  EXPECT_EQ(f.Grid->Log, (std::vector<std::string>{"begin", first, "move 60,30", "end accepted"}));
  EXPECT_EQ(f.Grid->DragAndDropState(), ddsNone);
  EXPECT_EQ(f.Grid->DragAndDropObject(), nullptr);
  EXPECT_EQ(f.Grid->ObjectsAlive, 0);
  EXPECT_EQ(Screen->Cursor(), crHourGlass);  // the cursor saved at the start is given back
  EXPECT_NE(GetCapture(), f.Handle);
}

TEST(cxControlDragAndDrop, EscCancelModeAndOtherPressesEndItNotAccepted) {
  {
    TDragGridFixture f;  // Esc
    f.Grid->Immediate = true;
    f.Grid->FinishAgainOnEnd = true;
    f.PutCursor({20, 20});
    TestMousePress(f.Handle, {20, 20});
    EXPECT_EQ(f.Grid->DragAndDropState(), ddsInProcess);  // no threshold for this object
    TestMouseMove(f.Handle, {30, 20});
    ASSERT_TRUE(f.Grid->Focused());
    TestKey(VK_ESCAPE);
    EXPECT_EQ(f.Grid->Log, (std::vector<std::string>{"begin", "move 30,20", "end refused"}));
    EXPECT_EQ(f.Grid->DragAndDropState(), ddsNone);
    EXPECT_EQ(f.Grid->ObjectsAlive, 0);
    EXPECT_NE(GetCapture(), f.Handle);
  }
  {
    TDragGridFixture f;  // the capture taken away
    f.Grid->Immediate = true;
    TestMousePress(f.Handle, {20, 20});
    f.Grid->Perform(WM_CANCELMODE);
    EXPECT_EQ(f.Grid->Log, (std::vector<std::string>{"begin", "end refused"}));
    EXPECT_EQ(f.Grid->ObjectsAlive, 0);
  }
  {
    TDragGridFixture f;  // a press where nothing may be dragged, a right press, a double click
    TestMousePress(f.Handle, {150, 20});
    EXPECT_EQ(f.Grid->DragAndDropState(), ddsNone);
    TestMouseRelease(f.Handle, {150, 20});
    TestMousePress(f.Handle, {20, 20}, tbRight);
    EXPECT_EQ(f.Grid->DragAndDropState(), ddsNone);
    TestMouseRelease(f.Handle, {20, 20}, tbRight);
    TestMousePress(f.Handle, {20, 20});
    TestMouseRelease(f.Handle, {20, 20});
    EXPECT_EQ(f.Grid->DragAndDropState(), ddsNone);  // pressed and released without a move
    TestMouseDoublePress(f.Handle, {20, 20});
    EXPECT_EQ(f.Grid->DragAndDropState(), ddsNone);
    TestMouseRelease(f.Handle, {20, 20});
    EXPECT_TRUE(f.Grid->Log.empty());
    EXPECT_EQ(f.Grid->ObjectsAlive, 0);
  }
}

// ---- Middle-button panning -------------------------------------------------------------------

// Advances the test clock by one panning tick whenever the panning loop takes
// a marker thread message (the clock must move while the loop waits, so
// that the tick reaches the loop).
struct TPanTicker {
  static constexpr UINT Marker = WM_USER + 78;
  static TPanTicker*& Current() {
    static TPanTicker* t = nullptr;
    return t;
  }
  TTestClock Clock;
  HHOOK Hook = 0;
  TPanTicker() {
    Current() = this;
    Hook = SetWindowsHookEx(WH_GETMESSAGE, &Proc);
  }
  ~TPanTicker() {
    UnhookWindowsHookEx(Hook);
    Current() = nullptr;
  }
  static LRESULT Proc(Integer Code, WPARAM WParam, LPARAM LParam) {
    auto* msg = reinterpret_cast<TMsg*>(LParam);
    TPanTicker* t = Current();
    if (t && msg->message == Marker && msg->hwnd == 0) t->Clock.Advance(cxPanTimerInterval);
    return CallNextHookEx(t ? t->Hook : 0, Code, WParam, LParam);
  }
};

TEST(cxControlPanning, MiddlePressPansAndClearsTheFlagAfterwardsEvenOnAnError) {
  for (bool fails : {false, true}) {
    SCOPED_TRACE(fails ? "scrolling fails" : "ends with a click");
    TDragGridFixture f;
    f.Grid->SetContent(1000, 1000);
    f.PutCursor({100, 70});
    TPanTicker ticker;
    f.Grid->OnScrollContent = [&] {
      f.Grid->ScrollingSeen.push_back(f.Grid->IsScrollingContent());
      if (fails) throw Exception(u"failed while panning");
      PostMessage(f.Handle, WM_LBUTTONDOWN, 0, PointToLParam({100, 70}));  // a click ends panning
    };
    // Posted while the press is handled: the panning loop takes them.
    f.Grid->OnBeforeMouseDown = [&](TMouseButton Button) {
      if (Button != mbMiddle) return;
      PostMessage(f.Handle, WM_MOUSEMOVE, 0, PointToLParam({100, 170}));  // far below: every tick scrolls
      PostThreadMessage(TPanTicker::Marker, 0, 0);
    };
    if (fails) {
      // Called as the window procedure would be: the error reaches the caller.
      EXPECT_THROW(f.Grid->Perform(WM_MBUTTONDOWN, MK_MBUTTON, PointToLParam({100, 70})), Exception);
    } else {
      TestMousePress(f.Handle, {100, 70}, tbMiddle);
    }
    EXPECT_EQ(f.Grid->ScrollingSeen, std::vector<bool>{true});
    EXPECT_FALSE(f.Grid->IsScrollingContent());
    EXPECT_NE(GetCapture(), f.Handle);
  }
}

// ---- The class library's drags ---------------------------------------------------------------

TEST(cxControlLibraryDrag, AutomaticDragCarriesTheControlsDragImages) {
  TDragGridFixture f;
  f.Grid->SetDragMode(dmAutomatic);
  f.Grid->Images = true;
  f.Grid->RecreateWnd();
  f.Handle = f.Grid->Handle();
  EXPECT_TRUE(f.Grid->ControlStyle() & csDisplayDragImage);
  EXPECT_EQ(f.Grid->DragControlObjectClass(), TcxDragControlObject::StaticClass());
  for (Integer round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    f.Dropped = nullptr;
    // Pressed where the control's own drag and drop does not start.
    f.PutCursor({150, 20});
    // The move the drag detection sees, posted while the press is handled.
    f.Grid->OnBeforeMouseDown = [&](TMouseButton) {
      PostMessage(f.Handle, WM_MOUSEMOVE, MK_LBUTTON, PointToLParam({170, 20}));
    };
    TestMousePress(f.Handle, {150, 20});
    auto* drag = dynamic_cast<TcxDragControlObject*>(CurrentDragObject());
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->Control(), f.Grid);
    ASSERT_NE(drag->DragImages(), nullptr);
    EXPECT_EQ(drag->DragImages(), f.Grid->GetDragImages());
    EXPECT_EQ(drag->DragImages()->Count(), 1);
    // Built once per drag: a new list for the second drag.
    EXPECT_EQ(f.Grid->DrawnImages.size(), static_cast<size_t>(round));
    EXPECT_EQ(f.Grid->DrawnImages.back(), (TRect{0, 0, 16, 12}));
    TestMouseMove(f.Handle, f.OverTarget({30, 30}));
    // Painting hides the image for a moment and shows it again.
    f.Grid->Repaint();
    ASSERT_NE(drag->DragImages()->DragWindow(), nullptr);
    EXPECT_TRUE(drag->DragImages()->DragWindow()->Visible());
    TestMouseRelease(f.Handle, f.OverTarget({30, 30}));
    EXPECT_EQ(f.Dropped, f.Grid);
    EXPECT_EQ(CurrentDragObject(), nullptr);
    EXPECT_FALSE(f.Grid->Dragging());
    EXPECT_FALSE(f.Grid->MouseButtonPressed());
  }
}

TEST(cxControlLibraryDrag, RefusedStartCancelsTheDrag) {
  TDragGridFixture f;
  f.Grid->RefuseStart = true;
  f.Grid->BeginDrag(true);
  EXPECT_EQ(CurrentDragObject(), nullptr);
  EXPECT_FALSE(f.Grid->Dragging());
  EXPECT_NE(GetCapture(), f.Handle);
  // The next drag is not blocked by the refused one.
  f.Grid->RefuseStart = false;
  f.Grid->BeginDrag(true);
  EXPECT_NE(dynamic_cast<TcxDragControlObject*>(CurrentDragObject()), nullptr);
  EXPECT_EQ(static_cast<TcxDragControlObject*>(CurrentDragObject())->DragImages(), nullptr);  // none provided
  CancelDrag();
  EXPECT_EQ(CurrentDragObject(), nullptr);
}

}  // namespace
