// The library's scroll bar driven offscreen: layout and hit test, the
// auto-repeat under the test clock, thumb tracking with its band, ranges.
#include <gtest/gtest.h>

#include <vector>

#include "foundation/cxScrollBar.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

struct TScrollRecord {
  TScrollCode Code;
  Integer Pos;
  friend bool operator==(const TScrollRecord&, const TScrollRecord&) = default;
};

// A shown form with one bar at (10, 10), 200 x 16.
struct TBarFixture : TTestForm {
  TBarFixture() : TTestForm(320, 240) {
    Bar = Place<TcxScrollBar>(10, 10, 200, 16);
    Bar->OnScroll = TScrollEvent(this, [this](TObject*, TScrollCode c, Integer& p) { Scrolls.push_back({c, p}); });
    Bar->OnChange = TNotifyEvent(this, [this](TObject*) { ++Changes; });
    Form->Show();
  }
  std::vector<TScrollCode> Codes() const {
    std::vector<TScrollCode> r;
    for (auto& s : Scrolls) r.push_back(s.Code);
    return r;
  }
  TcxScrollBar* Bar;

  std::vector<TScrollRecord> Scrolls;
  Integer Changes = 0;
};

TEST(cxScrollBar, CreatesWithItsDefaults) {
  EnsureGuiRuntime();
  TcxScrollBar bar(nullptr);
  EXPECT_EQ(bar.Width(), 121);
  EXPECT_EQ(bar.Height(), GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(bar.Kind(), sbHorizontal);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.PageSize(), 0);
  EXPECT_EQ(bar.SmallChange(), 1);
  EXPECT_EQ(bar.LargeChange(), 1);
  EXPECT_FALSE(bar.RepeatTimerEnabled());
  EXPECT_EQ(bar.RepeatTimerInterval(), 400u);
  EXPECT_EQ(bar.MinThumbLength(), 8);
}

TEST(cxScrollBar, LayoutOfThePartsFollowsRangePageAndPosition) {
  EnsureGuiRuntime();
  ASSERT_EQ(GetSystemMetrics(SM_CYHSCROLL), 16);
  ASSERT_EQ(GetSystemMetrics(SM_CXHTHUMB), 16);
  struct TCase {
    const char* Name;
    TScrollBarKind Kind;
    Integer Length, Min, Max, Page, Pos;
    bool Enabled;
    TRect Thumb;  // along the bar: (start, 0, end, 16) for horizontal bars
  };
  const TCase cases[] = {
      {"fixed thumb at the start", sbHorizontal, 200, 0, 100, 0, 0, true, {16, 0, 32, 16}},
      {"fixed thumb in the middle", sbHorizontal, 200, 0, 100, 0, 50, true, {92, 0, 108, 16}},
      {"fixed thumb at the end", sbHorizontal, 200, 0, 100, 0, 100, true, {168, 0, 184, 16}},
      {"proportional at the start", sbHorizontal, 200, 0, 99, 10, 0, true, {16, 0, 33, 16}},
      {"proportional at the last page", sbHorizontal, 200, 0, 99, 10, 90, true, {167, 0, 184, 16}},
      {"proportional, raised to the minimum", sbHorizontal, 200, 0, 9999, 1, 0, true, {16, 0, 24, 16}},
      {"vertical proportional", sbVertical, 200, 0, 99, 50, 50, true, {0, 100, 16, 184}},
      {"empty range shows no thumb", sbHorizontal, 200, 5, 5, 0, 5, true, {}},
      {"empty range, proportional", sbHorizontal, 200, 5, 5, 1, 5, true, {}},
      {"disabled bar shows no thumb", sbHorizontal, 200, 0, 100, 0, 50, false, {}},
      {"no room between the arrows", sbHorizontal, 20, 0, 100, 0, 0, true, {}},
      {"track shorter than the minimum thumb", sbHorizontal, 38, 0, 100, 5, 0, true, {}},
      {"page as large as the whole range", sbHorizontal, 200, 5, 10, 6, 7, true, {16, 0, 184, 16}},
      {"page beyond the range above a positive minimum", sbHorizontal, 200, 5, 10, 10, 7, true, {16, 0, 184, 16}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxScrollBar bar(nullptr);
    bar.SetKind(c.Kind);
    if (c.Kind == sbHorizontal) bar.SetBounds(0, 0, c.Length, 16);
    else bar.SetBounds(0, 0, 16, c.Length);
    bar.SetScrollValues(c.Min, c.Max, false, c.Page, c.Pos);
    bar.SetEnabled(c.Enabled);
    EXPECT_EQ(bar.PartBounds(sbpThumbnail), c.Thumb);
    // The arrows take the system thickness (at most half the bar) and the
    // page areas fill the rest of the track beside the thumb.
    Integer arrow = std::min(16, c.Length / 2);
    TRect first = c.Kind == sbHorizontal ? TRect{0, 0, arrow, 16} : TRect{0, 0, 16, arrow};
    EXPECT_EQ(bar.PartBounds(sbpLineUp), first);
    if (IsRectEmpty(c.Thumb)) {
      EXPECT_TRUE(IsRectEmpty(bar.PartBounds(sbpPageUp)));
      EXPECT_TRUE(IsRectEmpty(bar.PartBounds(sbpPageDown)));
    } else if (c.Kind == sbHorizontal) {
      EXPECT_EQ(bar.PartBounds(sbpPageUp), (TRect{arrow, 0, c.Thumb.Left, 16}));
      EXPECT_EQ(bar.PartBounds(sbpPageDown), (TRect{c.Thumb.Right, 0, c.Length - arrow, 16}));
    }
  }
}

TEST(cxScrollBar, HitTestFindsEachPart) {
  EnsureGuiRuntime();
  TcxScrollBar bar(nullptr);
  bar.SetBounds(0, 0, 200, 16);
  bar.SetScrollValues(0, 100, false, 0, 50);  // thumb 92..108
  const std::pair<TPoint, TcxScrollBarPart> cases[] = {
      {{5, 8}, sbpLineUp},      {{195, 8}, sbpLineDown}, {{100, 8}, sbpThumbnail}, {{50, 8}, sbpPageUp},
      {{150, 8}, sbpPageDown},  {{-1, 8}, sbpNone},      {{100, 16}, sbpNone},     {{200, 8}, sbpNone},
  };
  for (auto& [p, part] : cases) EXPECT_EQ(bar.HitTest(p), part) << p.X << "," << p.Y;
  bar.SetScrollValues(0, 0, false, 0, 0);  // no thumb: the track answers nothing
  EXPECT_EQ(bar.HitTest({100, 8}), sbpNone);
  EXPECT_EQ(bar.HitTest({5, 8}), sbpLineUp);
}

TEST(cxScrollBar, InvalidRangeRaisesAndKeepsTheValues) {
  EnsureGuiRuntime();
  TcxScrollBar bar(nullptr);
  bar.SetScrollValues(0, 50, false, 10, 20);
  EXPECT_THROW(bar.SetMax(5), EInvalidOperation);       // below the page size
  EXPECT_THROW(bar.SetMin(60), EInvalidOperation);      // above the maximum
  try {
    bar.SetScrollValues(10, 5, false, 0, 0);
    ADD_FAILURE();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message, String(u"Scrollbar property out of range"));
  }
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Max(), 50);
  EXPECT_EQ(bar.PageSize(), 10);
  EXPECT_EQ(bar.Position(), 20);
  bar.SetPosition(500);  // clamped
  EXPECT_EQ(bar.Position(), 50);
}

TEST(cxScrollBar, ScrollByAppliesCodesAndTheHandlersChoice) {
  TBarFixture f;
  f.Bar->SetSmallChange(2);
  f.Bar->SetLargeChange(10);
  f.Bar->SetPosition(50);
  f.Changes = 0;
  const std::pair<TScrollCode, Integer> steps[] = {{scLineDown, 52}, {scLineUp, 50}, {scPageDown, 60},
                                                   {scPageUp, 50},   {scBottom, 100}, {scPageDown, 100},
                                                   {scTop, 0},       {scLineUp, 0},    {scPosition, 0}};
  for (auto& [code, expected] : steps) {
    f.Bar->ScrollBy(code);
    EXPECT_EQ(f.Bar->Position(), expected) << code;
  }
  EXPECT_EQ(f.Changes, 6);  // only real moves report a change
  // The scroll handler may move the position elsewhere; it is clamped.
  f.Bar->OnScroll = TScrollEvent(&f, [](TObject*, TScrollCode, Integer& p) { p = 1000; });
  f.Bar->ScrollBy(scLineDown);
  EXPECT_EQ(f.Bar->Position(), 100);
  // Reflected scroll messages scroll too.
  f.Bar->OnScroll = nullptr;
  f.Bar->Perform(CN_HSCROLL, SB_TOP, 0);
  EXPECT_EQ(f.Bar->Position(), 0);
}

TEST(cxScrollBar, HeldArrowRepeatsAfter400ThenEvery60MsWhileOverIt) {
  TBarFixture f;
  TTestClock clock;
  HWND h = f.Bar->Handle();
  TestMousePress(h, {195, 8});
  EXPECT_EQ(f.Bar->Position(), 1);  // once at once
  EXPECT_EQ(f.Bar->PressedPart(), sbpLineDown);
  clock.Advance(399);
  EXPECT_EQ(f.Bar->Position(), 1);
  clock.Advance(1);
  EXPECT_EQ(f.Bar->Position(), 2);
  EXPECT_EQ(f.Bar->RepeatTimerInterval(), 60u);
  clock.Advance(59);
  EXPECT_EQ(f.Bar->Position(), 2);
  clock.Advance(1);
  EXPECT_EQ(f.Bar->Position(), 3);
  clock.Advance(120);
  EXPECT_EQ(f.Bar->Position(), 5);
  // Off the arrow the repeat pauses; back on it, it goes on.
  TestMouseMove(h, {100, 8});
  EXPECT_FALSE(f.Bar->RepeatTimerEnabled());
  clock.Advance(600);
  EXPECT_EQ(f.Bar->Position(), 5);
  TestMouseMove(h, {196, 9});
  clock.Advance(60);
  EXPECT_EQ(f.Bar->Position(), 6);
  TestMouseRelease(h, {196, 9});
  EXPECT_EQ(f.Bar->PressedPart(), sbpNone);
  EXPECT_FALSE(f.Bar->RepeatTimerEnabled());
  clock.Advance(1000);
  EXPECT_EQ(f.Bar->Position(), 6);
  EXPECT_EQ(f.Codes().back(), scEndScroll);
}

TEST(cxScrollBar, HeldPageAreaRepeatsUntilTheThumbReachesTheCursor) {
  TBarFixture f;
  TTestClock clock;
  f.Bar->SetScrollValues(0, 99, false, 10, 0);  // thumb 16..33
  f.Bar->SetLargeChange(10);
  HWND h = f.Bar->Handle();
  TestMousePress(h, {100, 8});
  EXPECT_EQ(f.Bar->Position(), 10);
  clock.Advance(400 + 60 * 10);
  // The thumb covers the cursor from position 50 on: the repeat stopped there.
  EXPECT_FALSE(f.Bar->RepeatTimerEnabled());
  Integer stopped = f.Bar->Position();
  EXPECT_EQ(f.Bar->HitTest({100, 8}), sbpThumbnail);
  clock.Advance(600);
  EXPECT_EQ(f.Bar->Position(), stopped);
  TestMouseRelease(h, {100, 8});
}

TEST(cxScrollBar, DraggedThumbTracksSnapsBackOutsideTheBandAndReportsOnRelease) {
  TBarFixture f;
  HWND h = f.Bar->Handle();
  TestMousePress(h, {20, 8});  // thumb 16..32
  EXPECT_EQ(f.Bar->PressedPart(), sbpThumbnail);
  EXPECT_EQ(f.Codes(), std::vector<TScrollCode>{scTrack});
  f.Scrolls.clear();
  f.Changes = 0;
  TestMouseMove(h, {96, 8});  // 76 of 152 pixels: half way
  EXPECT_EQ(f.Bar->Position(), 50);
  EXPECT_EQ(f.Bar->PartBounds(sbpThumbnail), (TRect{92, 0, 108, 16}));
  EXPECT_EQ(f.Scrolls, (std::vector<TScrollRecord>{{scTrack, 50}}));
  // Within the band across the bar the thumb still follows ...
  TestMouseMove(h, {96, 8 + 140});
  EXPECT_EQ(f.Bar->Position(), 50);
  // ... beyond 136 pixels it snaps back to where it was at the press.
  TestMouseMove(h, {96, 16 + 137});
  EXPECT_EQ(f.Bar->Position(), 0);
  EXPECT_EQ(f.Bar->PartBounds(sbpThumbnail), (TRect{16, 0, 32, 16}));
  EXPECT_EQ(f.Scrolls.back().Code, scTrack);
  // Coming back resumes tracking; beyond the end the thumb stops at the track's end.
  TestMouseMove(h, {400, 8});
  EXPECT_EQ(f.Bar->Position(), 0);  // 400 - 210 = 190 pixels right of the bar: outside
  TestMouseMove(h, {220, 8});
  EXPECT_EQ(f.Bar->Position(), 100);
  EXPECT_EQ(f.Bar->PartBounds(sbpThumbnail), (TRect{168, 0, 184, 16}));
  TestMouseMove(h, {96, 8});
  f.Scrolls.clear();
  TestMouseRelease(h, {96, 8});
  EXPECT_EQ(f.Codes(), (std::vector<TScrollCode>{scPosition, scEndScroll}));
  EXPECT_EQ(f.Bar->Position(), 50);
  EXPECT_EQ(f.Bar->PressedPart(), sbpNone);
}

TEST(cxScrollBar, AThumbThatFillsItsTrackDragsWithoutLeavingTheRange) {
  TBarFixture f;
  f.Bar->SetScrollValues(1, 10, false, 10, 1);  // one page holds the whole range
  ASSERT_EQ(f.Bar->PartBounds(sbpThumbnail), (TRect{16, 0, 184, 16}));
  // The handler also notes the position the bar itself holds meanwhile.
  std::vector<Integer> held;
  f.Bar->OnScroll = TScrollEvent(&f, [&](TObject*, TScrollCode c, Integer& p) {
    f.Scrolls.push_back({c, p});
    held.push_back(f.Bar->Position());
  });
  HWND h = f.Bar->Handle();
  TestMousePress(h, {100, 8});
  ASSERT_EQ(f.Bar->PressedPart(), sbpThumbnail);
  for (Integer x : {150, 40, 183}) TestMouseMove(h, {x, 8});
  TestMouseRelease(h, {183, 8});
  EXPECT_EQ(f.Bar->Position(), 1);
  EXPECT_EQ(f.Bar->PartBounds(sbpThumbnail), (TRect{16, 0, 184, 16}));
  for (const TScrollRecord& r : f.Scrolls) EXPECT_EQ(r.Pos, 1) << "code " << r.Code;
  EXPECT_EQ(held, std::vector<Integer>(f.Scrolls.size(), 1));
  EXPECT_EQ(f.Codes().back(), scEndScroll);
}

TEST(cxScrollBar, UnlimitedTrackingIgnoresTheBand) {
  TBarFixture f;
  f.Bar->SetUnlimitedTracking(true);
  HWND h = f.Bar->Handle();
  TestMousePress(h, {20, 8});
  TestMouseMove(h, {96, 500});
  EXPECT_EQ(f.Bar->Position(), 50);
  TestMouseRelease(h, {96, 500});
  EXPECT_EQ(f.Bar->Position(), 50);
}

TEST(cxScrollBar, CancelModeAndDisablingStopTracking) {
  TBarFixture f;
  TTestClock clock;
  HWND h = f.Bar->Handle();
  TestMousePress(h, {195, 8});
  f.Bar->Perform(WM_CANCELMODE);
  EXPECT_EQ(f.Bar->PressedPart(), sbpNone);
  EXPECT_EQ(f.Codes().back(), scEndScroll);
  clock.Advance(1000);
  EXPECT_EQ(f.Bar->Position(), 1);
  ReleaseCapture();
  TestMouseRelease(h, {195, 8});

  TestMousePress(h, {195, 8});
  f.Bar->SetEnabled(false);
  EXPECT_EQ(f.Bar->PressedPart(), sbpNone);
  EXPECT_TRUE(IsRectEmpty(f.Bar->PartBounds(sbpThumbnail)));
  clock.Advance(1000);
  EXPECT_EQ(f.Bar->Position(), 2);
}

}  // namespace
