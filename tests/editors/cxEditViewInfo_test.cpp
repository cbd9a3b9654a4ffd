#include "editors/cxEditViewInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "platform/gui/graphics.h"
#include "platform/gui/sysmetrics.h"
#include "platform/rtl/encoding.h"
#include "tests/foundation/foundation_test.h"

namespace {

constexpr TPoint kNowhere{-100, -100};

using namespace cxTest;

class EditViewInfoTest : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGuiRuntime();
    Style.SetTransparentBorder(false);
    Style.SetBorderStyle(ebsSingle);
    Style.LookAndFeel()->SetKind(lfStandard);
    Arrow = GetSystemMetrics(SM_CXHSCROLL);
  }

  TcxEditButton* AddButton(TcxEditButtonKind AKind, Integer AWidth = 0, bool ALeft = false) {
    TcxEditButton* button = Properties.Buttons()->Add();
    button->SetKind(AKind);
    button->SetWidth(AWidth);
    button->SetLeftAlignment(ALeft);
    return button;
  }

  std::unique_ptr<TcxCustomEditViewInfo> Compute(TcxCustomEditViewData& AData, const TRect& ABounds,
                                                 const TPoint& P = kNowhere, TcxMouseButton AButton = cxmbNone,
                                                 TShiftState AShift = 0, bool AMouseEvent = false) {
    auto vi = std::make_unique<TcxCustomEditViewInfo>();
    AData.ComputeViewInfo(&Canvas, ABounds, P, AButton, AShift, vi.get(), AMouseEvent);
    return vi;
  }

  TcxCustomEditProperties Properties{nullptr};
  TcxEditStyle Style{nullptr, false};
  TcxScreenCanvas Canvas;
  Integer Arrow = 16;
};

struct TButtonSetup {
  TcxEditButtonKind Kind;
  Integer Width;
  bool Left;
  bool Visible;
};

// ---- Layout ---------------------------------------------------------------------------

TEST_F(EditViewInfoTest, LayoutTable) {
  struct Case {
    const char* Name;
    TRect Bounds;
    TcxEditBorderStyle Border;
    std::vector<TButtonSetup> Buttons;
    std::vector<TRect> ButtonBounds;   // per view info (visible order)
    std::vector<TRect> VisibleBounds;  // empty: same as the bounds
    TRect Client;
  } cases[] = {
      {"no buttons", TRect{0, 0, 100, 20}, ebsSingle, {}, {}, {}, TRect{1, 1, 99, 19}},
      {"3-D border, right and left button",
       TRect{0, 0, 100, 20},
       ebs3D,
       {{bkEllipsis, 20, false, true}, {bkDown, 0, true, true}},
       {TRect{78, 2, 98, 18}, TRect{2, 2, 2 + Arrow, 18}},
       {},
       TRect{2 + Arrow, 2, 78, 18}},
      {"invisible buttons take no room",
       TRect{10, 10, 110, 30},
       ebsThick,
       {{bkDown, 0, false, false}, {bkGlyph, 0, false, true}},
       {TRect{108 - Arrow, 12, 108, 28}},
       {},
       TRect{12, 12, 108 - Arrow, 28}},
      {"single border: the hot-flat button widens toward the text",
       TRect{0, 0, 100, 20},
       ebsSingle,
       {{bkDown, 0, false, true}},
       {TRect{99 - Arrow - 1, 1, 99, 19}},
       {TRect{99 - Arrow - 1, 1, 99, 19}},
       TRect{1, 1, 99 - Arrow - 1, 19}},
      {"too narrow: bounds stick out, visible parts are cut, the rest is empty",
       TRect{0, 0, 30, 20},
       ebsNone,
       {{bkDown, 20, false, true}, {bkDown, 20, false, true}, {bkDown, 20, false, true}},
       {TRect{}, TRect{-10, 0, 10, 20}, TRect{10, 0, 30, 20}},
       {TRect{}, TRect{0, 0, 10, 20}, TRect{10, 0, 30, 20}},
       TRect{0, 0, 0, 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Properties.Buttons()->Clear();
    Style.SetBorderStyle(c.Border);
    for (const TButtonSetup& b : c.Buttons) AddButton(b.Kind, b.Width, b.Left)->SetVisible(b.Visible);
    TcxCustomEditViewData data(&Properties, &Style, false);
    auto vi = Compute(data, c.Bounds);
    ASSERT_EQ(vi->ButtonCount(), static_cast<Integer>(c.ButtonBounds.size()));
    for (Integer i = 0; i < vi->ButtonCount(); ++i) {
      EXPECT_EQ(vi->Button(i)->Bounds, c.ButtonBounds[static_cast<size_t>(i)]) << i;
      const TRect visible = c.VisibleBounds.empty() ? c.ButtonBounds[static_cast<size_t>(i)]
                                                    : c.VisibleBounds[static_cast<size_t>(i)];
      EXPECT_EQ(vi->Button(i)->VisibleBounds, visible) << i;
    }
    EXPECT_EQ(vi->ClientRect, c.Client);
    EXPECT_EQ(vi->Bounds, c.Bounds);
  }
}

TEST_F(EditViewInfoTest, ButtonViewInfoCopiesTheButton) {
  TcxEditButton* hidden = AddButton(bkDown);
  hidden->SetVisible(false);
  TcxEditButton* text = AddButton(bkText, 0, true);
  text->SetCaption(u"&Go");
  text->SetTextColor(clRed);
  text->SetEnabled(false);
  text->SetStretchable(false);
  TcxCustomEditViewData data(&Properties, &Style, true);
  auto vi = Compute(data, TRect{0, 0, 100, 20});
  ASSERT_EQ(vi->ButtonCount(), 1);
  const TcxEditButtonViewInfo* b = vi->Button(0);
  EXPECT_EQ(b->ButtonIndex, 1);
  EXPECT_EQ(b->Data.Caption, u"&Go");
  EXPECT_EQ(b->Data.VisibleCaption, u"Go");
  EXPECT_EQ(b->Data.TextColor, clRed);
  EXPECT_EQ(b->Data.Kind, bkText);
  EXPECT_TRUE(b->Data.IsInplace);
  EXPECT_TRUE(b->Data.LeftAlignment);
  EXPECT_FALSE(b->Data.Stretchable);
  EXPECT_EQ(b->Data.State, ebsDisabled);
  EXPECT_FALSE(b->Data.IsSingleDownButton);
  // The caption is measured without its ampersand.
  Canvas.SetFont(vi->Font);
  const Integer expected = std::max(EditButtonFrameExtent(b->ButtonStyle) + Canvas.GetTextWidth(u"Go") + 3, Arrow);
  EXPECT_EQ(WidthOfRect(b->Bounds), expected);
}

TEST_F(EditViewInfoTest, SingleDownButtonAndInPlaceBorder) {
  AddButton(bkDown);
  TcxCustomEditViewData data(&Properties, &Style, true);
  auto vi = Compute(data, TRect{0, 0, 80, 18});
  ASSERT_EQ(vi->ButtonCount(), 1);
  EXPECT_TRUE(vi->Button(0)->Data.IsSingleDownButton);
  EXPECT_EQ(vi->EditBorderStyle, ebsNone);  // in place: no border
  EXPECT_EQ(vi->Button(0)->Bounds, (TRect{80 - Arrow, 0, 80, 18}));
  data.ContentOffset = TRect{1, 2, 3, 4};
  vi = Compute(data, TRect{0, 0, 80, 18});
  EXPECT_EQ(vi->Button(0)->Bounds, (TRect{77 - Arrow, 2, 77, 14}));
  EXPECT_TRUE(vi->HasContentOffsets);
}

TEST_F(EditViewInfoTest, BorderExtent) {
  TcxCustomEditViewData data(&Properties, &Style, false);
  struct Case {
    TcxEditBorderStyle Border;
    bool Transparent;
    bool Shadow;
    TcxBorders Edges;
    TRect Expected;
  } cases[] = {
      {ebsNone, false, false, cxAllBorders, TRect{0, 0, 0, 0}},
      {ebsSingle, false, false, cxAllBorders, TRect{1, 1, 1, 1}},
      {ebsUltraFlat, false, false, cxAllBorders, TRect{1, 1, 1, 1}},
      {ebs3D, false, false, cxAllBorders, TRect{2, 2, 2, 2}},
      {ebsFlat, false, true, cxAllBorders, TRect{2, 2, 5, 5}},
      {ebsThick, false, false, BorderBit(bLeft) | BorderBit(bBottom), TRect{2, 0, 0, 2}},
      {ebsSingle, true, false, cxAllBorders, TRect{2, 2, 2, 2}},
  };
  for (const Case& c : cases) {
    Style.SetBorderStyle(c.Border);
    Style.SetTransparentBorder(c.Transparent);
    Style.SetShadow(c.Shadow);
    Style.SetEdges(c.Edges);
    EXPECT_EQ(data.CalcBorderExtent(), c.Expected) << int(c.Border);
  }
  TcxCustomEditViewData inplace(&Properties, &Style, true);
  inplace.ContentOffset = TRect{1, 1, 2, 2};
  EXPECT_EQ(inplace.CalcBorderExtent(), (TRect{1, 1, 2, 2}));
}

TEST_F(EditViewInfoTest, ButtonStyleAndPopupBorderStyleInForce) {
  struct Case {
    bool Inplace;
    TcxLookAndFeelKind Kind;
    TcxEditBorderStyle Border;
    TcxEditButtonStyle Button;
    TcxEditPopupBorderStyle Popup;
  } cases[] = {
      {false, lfStandard, ebsNone, btsSimple, epbsFlat},
      {false, lfStandard, ebsSingle, btsHotFlat, epbsSingle},
      {false, lfStandard, ebsThick, bts3D, epbsSingle},
      {false, lfStandard, ebsFlat, btsFlat, epbsFlat},
      {false, lfStandard, ebs3D, bts3D, epbsSingle},
      {false, lfStandard, ebsUltraFlat, btsUltraFlat, epbsSingle},
      {false, lfStandard, ebsOffice11, btsOffice11, epbsSingle},
      {true, lfFlat, ebsSingle, btsFlat, epbsFlat},
      {true, lfStandard, ebsSingle, bts3D, epbsFrame3D},
      {true, lfUltraFlat, ebsSingle, btsUltraFlat, epbsSingle},
      {true, lfOffice11, ebsSingle, btsOffice11, epbsSingle},
  };
  AddButton(bkDown);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Inplace << " " << int(c.Kind) << " " << int(c.Border));
    Style.LookAndFeel()->SetKind(c.Kind);
    Style.SetBorderStyle(c.Border);
    TcxCustomEditViewData data(&Properties, &Style, c.Inplace);
    auto vi = Compute(data, TRect{0, 0, 100, 20});
    EXPECT_EQ(vi->Button(0)->ButtonStyle, c.Button);
    EXPECT_EQ(vi->PopupBorderStyle, c.Popup);
    // Ultra-flat and Office 11 borders are drawn single.
    if (!c.Inplace && (c.Border == ebsUltraFlat || c.Border == ebsOffice11)) {
      EXPECT_EQ(vi->EditBorderStyle, ebsSingle);
      EXPECT_EQ(vi->StyleBorderStyle, c.Border);
    }
  }
  // An assigned button style wins.
  Style.SetButtonStyle(btsFlat);
  TcxCustomEditViewData data(&Properties, &Style, false);
  EXPECT_EQ(Compute(data, TRect{0, 0, 100, 20})->Button(0)->ButtonStyle, btsFlat);
}

TEST_F(EditViewInfoTest, UltraFlatBorderColourFollowsFocusAndHotTracking) {
  Style.SetBorderStyle(ebsUltraFlat);
  Style.SetBorderColor(clRed);
  TcxCustomEditViewData data(&Properties, &Style, false);
  EXPECT_EQ(Compute(data, TRect{0, 0, 50, 20})->BorderColor, clBtnShadow);
  EXPECT_EQ(Compute(data, TRect{0, 0, 50, 20}, TPoint{5, 5})->BorderColor, clHighlight);
  data.Focused = true;
  EXPECT_EQ(Compute(data, TRect{0, 0, 50, 20})->BorderColor, clHighlight);
  Style.SetBorderStyle(ebsSingle);
  EXPECT_EQ(Compute(data, TRect{0, 0, 50, 20})->BorderColor, clRed);
}

TEST_F(EditViewInfoTest, ButtonsOnlyLayoutStretchesButtons) {
  Properties.SetButtonsViewStyle(cxbvsButtonsOnly);
  AddButton(bkDown, 10);
  AddButton(bkDown, 30, true);
  TcxCustomEditViewData data(&Properties, &Style, true);
  auto vi = Compute(data, TRect{0, 0, 100, 20});
  ASSERT_TRUE(data.ButtonsOnlyStyle);
  ASSERT_EQ(vi->ButtonCount(), 2);
  // 60 free pixels shared 1 : 3.
  EXPECT_EQ(vi->Button(0)->Bounds, (TRect{75, 0, 100, 20}));
  EXPECT_EQ(vi->Button(1)->Bounds, (TRect{0, 0, 75, 20}));
  EXPECT_FALSE(vi->Button(1)->Data.LeftAlignment);  // cleared in buttons-only views
  EXPECT_TRUE(IsRectEmpty(vi->ClientRect));

  // Only the stretchable one grows.
  Properties.Buttons()->GetButton(1)->SetStretchable(false);
  vi = Compute(data, TRect{0, 0, 100, 20});
  EXPECT_EQ(vi->Button(0)->Bounds, (TRect{30, 0, 100, 20}));
  EXPECT_EQ(vi->Button(1)->Bounds, (TRect{0, 0, 30, 20}));

  // An unbounded rectangle gives no buttons-only layout in place.
  vi = Compute(data, TRect{0, 0, cxMaxRectSize, 20});
  EXPECT_FALSE(data.ButtonsOnlyStyle);
  // Stand-alone, only view style 1 counts.
  Properties.SetButtonsViewStyle(cxbvsButtonsAutoWidth);
  TcxCustomEditViewData standAlone(&Properties, &Style, false);
  Compute(standAlone, TRect{0, 0, 100, 20});
  EXPECT_FALSE(standAlone.ButtonsOnlyStyle);
}

TEST_F(EditViewInfoTest, TransparencyHidesOrShowsButtons) {
  AddButton(bkEllipsis);
  struct Case {
    TcxEditButtonTransparency Transparency;
    bool Focused;
    TPoint Mouse;
    Integer Count;
    bool Transparent;
  } cases[] = {
      {ebtNone, false, kNowhere, 1, false},
      {ebtHideInactive, false, kNowhere, 0, false},
      {ebtHideInactive, false, TPoint{5, 5}, 0, false},
      {ebtHideInactive, true, kNowhere, 1, false},
      {ebtHideUnselected, false, kNowhere, 0, false},
      {ebtHideUnselected, false, TPoint{5, 5}, 1, false},
      {ebtInactive, false, kNowhere, 1, true},
      {ebtInactive, true, kNowhere, 1, false},
      {ebtAlways, true, kNowhere, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Transparency));
    Style.SetButtonTransparency(c.Transparency);
    TcxCustomEditViewData data(&Properties, &Style, false);
    data.Focused = c.Focused;
    auto vi = Compute(data, TRect{0, 0, 100, 20}, c.Mouse);
    ASSERT_EQ(vi->ButtonCount(), c.Count);
    if (c.Count) {
      EXPECT_EQ(vi->Button(0)->Data.Transparent, c.Transparent);
    }
  }
}

TEST_F(EditViewInfoTest, ContainerStateAndHotTrackMode) {
  struct Case {
    bool Enabled, Designing, Focused, Inplace, HotTrack;
    TPoint Mouse;
    TShiftState Shift;
    TcxContainerState State;
    Integer HotMode;
  } cases[] = {
      {true, false, false, false, true, kNowhere, 0, csNormal, cxEditHotTrackNormal},
      {true, false, true, false, true, kNowhere, 0, csActive, cxEditHotTrackSelected},
      {true, false, false, false, true, TPoint{5, 5}, 0, csNormal | csHotTrack, cxEditHotTrackSelected},
      // A mouse button held down elsewhere keeps the editor from hot tracking.
      {true, false, false, false, true, TPoint{5, 5}, ssLeft, csNormal, cxEditHotTrackNormal},
      {false, false, true, false, true, kNowhere, 0, csDisabled, cxEditHotTrackNormal},
      {true, true, true, false, true, kNowhere, 0, csNormal, cxEditHotTrackOff},
      {true, false, true, true, true, kNowhere, 0, csActive, cxEditHotTrackOff},
      {true, false, true, false, false, kNowhere, 0, csActive, cxEditHotTrackOff},
  };
  for (const Case& c : cases) {
    Style.SetHotTrack(c.HotTrack);
    TcxCustomEditViewData data(&Properties, &Style, c.Inplace);
    data.Enabled = c.Enabled;
    data.IsDesigning = c.Designing;
    data.Focused = c.Focused;
    auto vi = Compute(data, TRect{0, 0, 60, 20}, c.Mouse, cxmbNone, c.Shift);
    EXPECT_EQ(vi->ContainerState, c.State) << &c - cases;
    EXPECT_EQ(vi->HotState, c.HotMode) << &c - cases;
  }
}

// ---- Button states and hit test -------------------------------------------------------

class THeldViewData : public TcxCustomEditViewData {
public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  Integer Held = -1;
  bool IsButtonHeldPressed(TcxCustomEditViewInfo*, Integer AIndex) override { return AIndex == Held; }
};

TEST_F(EditViewInfoTest, ButtonStatesFollowTheMouse) {
  Style.SetBorderStyle(ebs3D);
  AddButton(bkEllipsis);
  AddButton(bkDown);
  THeldViewData data(&Properties, &Style, false);
  const TRect bounds{0, 0, 100, 20};
  auto vi = Compute(data, bounds);
  const TPoint overDown = CenterOfRect(vi->Button(1)->Bounds);
  const TPoint overEllipsis = CenterOfRect(vi->Button(0)->Bounds);

  // Hit test.
  EXPECT_EQ(vi->GetButtonIndexAt(overDown), 1);
  EXPECT_EQ(vi->GetButtonIndexAt(overEllipsis), 0);
  EXPECT_EQ(vi->GetButtonIndexAt(TPoint{10, 10}), -1);
  EXPECT_TRUE(vi->IsPointOverButton(overDown));
  EXPECT_FALSE(vi->IsPointOverButton(TPoint{98, 10}));  // in the border

  // Hover: hot.
  data.ComputeViewInfo(&Canvas, bounds, overDown, cxmbNone, 0, vi.get(), true);
  EXPECT_EQ(vi->Button(1)->Data.State, ebsSelected);
  EXPECT_EQ(vi->Button(0)->Data.State, ebsNormal);
  EXPECT_EQ(vi->HotButton, 1);
  EXPECT_TRUE(vi->HasHotButton());
  EXPECT_EQ(vi->PressedButton, -1);

  // Left press: pressed.
  data.ComputeViewInfo(&Canvas, bounds, overDown, cxmbLeft, ssLeft, vi.get(), true);
  EXPECT_EQ(vi->Button(1)->Data.State, ebsPressed);
  EXPECT_EQ(vi->PressedButton, 1);
  EXPECT_TRUE(vi->IsButtonReallyPressed);
  EXPECT_FALSE(vi->HasHotButton());

  // Moving with the left button still down keeps it pressed; leaving it
  // shows it normal.
  data.ComputeViewInfo(&Canvas, bounds, overDown, cxmbNone, ssLeft, vi.get(), true);
  EXPECT_EQ(vi->Button(1)->Data.State, ebsPressed);
  data.ComputeViewInfo(&Canvas, bounds, TPoint{10, 10}, cxmbNone, ssLeft, vi.get(), true);
  EXPECT_EQ(vi->Button(1)->Data.State, ebsNormal);
  EXPECT_FALSE(vi->IsButtonReallyPressed);

  // A right press over a button neither presses nor hot-tracks it.
  data.ComputeViewInfo(&Canvas, bounds, overDown, 2, ssRight, vi.get(), true);
  EXPECT_EQ(vi->Button(1)->Data.State, ebsNormal);

  // Held pressed wins everywhere.
  data.Held = 0;
  data.ComputeViewInfo(&Canvas, bounds, kNowhere, cxmbNone, 0, vi.get(), false);
  EXPECT_EQ(vi->Button(0)->Data.State, ebsPressed);
  EXPECT_TRUE(vi->IsButtonReallyPressed);
  data.Held = -1;

  // A designed editor ignores the mouse; disabled buttons stay disabled.
  data.IsDesigning = true;
  data.ComputeViewInfo(&Canvas, bounds, overDown, cxmbNone, 0, vi.get(), false);
  EXPECT_EQ(vi->Button(1)->Data.State, ebsNormal);
  data.IsDesigning = false;
  Properties.Buttons()->GetButton(1)->SetEnabled(false);
  data.ComputeViewInfo(&Canvas, bounds, overDown, cxmbLeft, ssLeft, vi.get(), true);
  EXPECT_EQ(vi->Button(1)->Data.State, ebsDisabled);
  data.Enabled = false;
  data.ComputeViewInfo(&Canvas, bounds, overEllipsis, cxmbNone, 0, vi.get(), false);
  EXPECT_EQ(vi->Button(0)->Data.State, ebsDisabled);
}

class TFakeEditor : public IcxEditViewDataEditor {
public:
  bool Focused = false;
  Integer Captured = -1;
  bool Capture = false;
  TRect Visible{0, 0, 1000, 1000};
  bool IsFocusedEditor() override { return Focused; }
  Integer CapturedButtonIndex() override { return Captured; }
  bool HasMouseCapture() override { return Capture; }
  TRect VisibleBounds() override { return Visible; }
};

TEST_F(EditViewInfoTest, LiveEditorFocusCaptureAndVisibleArea) {
  Style.SetBorderStyle(ebs3D);
  AddButton(bkDown);
  TFakeEditor editor;
  TcxCustomEditViewData data(&Properties, &Style, false);
  data.Edit = &editor;
  const TRect bounds{0, 0, 100, 20};
  auto vi = Compute(data, bounds);
  EXPECT_EQ(vi->ContainerState, csNormal);
  editor.Focused = true;
  vi = Compute(data, bounds);
  EXPECT_EQ(vi->ContainerState, csActive);
  EXPECT_TRUE(vi->Focused);

  // Hot tracking only inside the visible part; with the capture even while
  // a mouse button is down.
  editor.Visible = TRect{0, 0, 50, 20};
  EXPECT_EQ(Compute(data, bounds, TPoint{70, 5})->ContainerState, csActive);
  EXPECT_EQ(Compute(data, bounds, TPoint{20, 5}, cxmbNone, ssLeft)->ContainerState, csActive);
  editor.Capture = true;
  EXPECT_EQ(Compute(data, bounds, TPoint{20, 5}, cxmbNone, ssLeft)->ContainerState, csActive | csHotTrack);
  editor.Visible = TRect{0, 0, 1000, 1000};

  // The captured button, left and entered again with the left button down,
  // shows pressed again.
  editor.Captured = 0;
  EXPECT_EQ(data.GetCapturedButtonIndex(), 0);
  const TPoint over = CenterOfRect(vi->Button(0)->Bounds);
  data.ComputeViewInfo(&Canvas, bounds, over, cxmbLeft, ssLeft, vi.get(), true);
  ASSERT_EQ(vi->Button(0)->Data.State, ebsPressed);
  data.ComputeViewInfo(&Canvas, bounds, TPoint{10, 10}, cxmbNone, ssLeft, vi.get(), true);
  ASSERT_EQ(vi->Button(0)->Data.State, ebsNormal);
  data.ComputeViewInfo(&Canvas, bounds, over, cxmbNone, ssLeft, vi.get(), true);
  EXPECT_EQ(vi->Button(0)->Data.State, ebsPressed);
  EXPECT_TRUE(vi->IsButtonReallyPressed);
}

TEST_F(EditViewInfoTest, HotFlatMarksAndSharedLines) {
  AddButton(bkDown, 15, true);
  AddButton(bkEllipsis, 15);
  AddButton(bkDown, 15);
  TcxCustomEditViewData data(&Properties, &Style, false);
  auto vi = Compute(data, TRect{0, 0, 100, 20});
  ASSERT_EQ(vi->Button(0)->ButtonStyle, btsHotFlat);
  // Placed from the last: button 2 at the right edge (outer), button 1 next
  // to the text (inner), button 0 alone on the left (outer and inner).
  struct Expect {
    bool LeftMark, RightMark;
    TRect Bounds, Visible;
  } expected[] = {
      {true, true, TRect{1, 1, 17, 19}, TRect{1, 1, 16, 19}},
      {true, false, TRect{68, 1, 84, 19}, TRect{69, 1, 84, 19}},
      {false, true, TRect{84, 1, 99, 19}, TRect{84, 1, 99, 19}},
  };
  for (Integer i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(vi->Button(i)->LeftEndMark, expected[i].LeftMark);
    EXPECT_EQ(vi->Button(i)->RightEndMark, expected[i].RightMark);
    EXPECT_EQ(vi->Button(i)->Bounds, expected[i].Bounds);
    EXPECT_EQ(vi->Button(i)->VisibleBounds, expected[i].Visible);
  }
  EXPECT_EQ(data.LeftSideLeftmostButtonIndex, 0);
  EXPECT_EQ(data.RightSideRightmostButtonIndex, 2);
  EXPECT_EQ(data.RightSideLeftmostButtonIndex, 1);
}

// ---- Changes, copies, origin ----------------------------------------------------------

class TQuietViewInfo : public TcxCustomEditViewInfo {
public:
  bool NeedsRepaintOnStateChange() const override { return false; }
};

TEST_F(EditViewInfoTest, ChangedRegionAndAssign) {
  Style.SetBorderStyle(ebs3D);
  AddButton(bkDown);
  TcxCustomEditViewData data(&Properties, &Style, false);
  const TRect bounds{0, 0, 100, 20};
  TQuietViewInfo before, after;
  data.ComputeViewInfo(&Canvas, bounds, kNowhere, cxmbNone, 0, &before, false);
  after.Assign(&before);
  ASSERT_EQ(after.ButtonCount(), 1);
  EXPECT_EQ(after.Button(0)->Bounds, before.Button(0)->Bounds);
  std::unique_ptr<TcxRegion> none(after.GetChangedRegion(&before));
  EXPECT_TRUE(IsRegionEmpty(none->Handle()));

  // Hovering the button changes only the button.
  data.ComputeViewInfo(&Canvas, bounds, CenterOfRect(before.Button(0)->Bounds), cxmbNone, 0, &after, false);
  std::unique_ptr<TcxRegion> button(after.GetChangedRegion(&before));
  TRect box{};
  GetRgnBox(button->Handle(), box);
  EXPECT_EQ(box, before.Button(0)->Bounds);

  // A new background colour repaints everything.
  Style.SetColor(clYellow);
  data.ComputeViewInfo(&Canvas, bounds, kNowhere, cxmbNone, 0, &after, false);
  std::unique_ptr<TcxRegion> all(after.GetChangedRegion(&before));
  GetRgnBox(all->Handle(), box);
  EXPECT_EQ(box, bounds);

  // The default view info repaints on state changes.
  TcxCustomEditViewInfo plain, hot;
  data.ComputeViewInfo(&Canvas, bounds, kNowhere, cxmbNone, 0, &plain, false);
  data.ComputeViewInfo(&Canvas, bounds, TPoint{5, 5}, cxmbNone, 0, &hot, false);
  std::unique_ptr<TcxRegion> state(hot.GetChangedRegion(&plain));
  GetRgnBox(state->Handle(), box);
  EXPECT_EQ(box, bounds);
}

TEST_F(EditViewInfoTest, InvalidateChangesSkipsTheInnerEdit) {
  Style.SetBorderStyle(ebs3D);
  AddButton(bkDown);
  TcxCustomEditViewData data(&Properties, &Style, false);
  const TRect bounds{0, 0, 100, 20};
  TQuietViewInfo before, after;
  data.ComputeViewInfo(&Canvas, bounds, kNowhere, cxmbNone, 0, &before, false);
  data.ComputeViewInfo(&Canvas, bounds, kNowhere, cxmbNone, 0, &after, false);
  EXPECT_FALSE(after.InvalidateChanges(nullptr, &before, TRect{}));
  data.ComputeViewInfo(&Canvas, bounds, CenterOfRect(before.Button(0)->Bounds), cxmbNone, 0, &after, false);
  EXPECT_TRUE(after.InvalidateChanges(nullptr, &before, TRect{}));
  // A change that lies wholly inside the inner edit needs no repaint.
  EXPECT_FALSE(after.InvalidateChanges(nullptr, &before, bounds));
}

TEST_F(EditViewInfoTest, NonTextExtentOfTallButtons) {
  TBitmap glyph(10, 40, pf24bit);
  AddButton(bkGlyph)->Glyph()->Assign(&glyph);
  TcxCustomEditViewData inplace(&Properties, &Style, true);
  auto vi = Compute(inplace, TRect{0, 0, 100, 20});
  Canvas.SetFont(Style.GetVisibleFont());
  const Integer text = Canvas.GetTextHeight(u"Zg") + 2;
  EXPECT_EQ(inplace.CalcNonTextExtent(&Canvas, vi.get()).cy, 40 + EditButtonFrameExtent(bts3D) - text);
  TcxCustomEditViewData standAlone(&Properties, &Style, false);
  EXPECT_EQ(standAlone.CalcNonTextExtent(&Canvas, vi.get()).cy, 0);
}

TEST_F(EditViewInfoTest, OriginCalculationAndOffset) {
  Style.SetBorderStyle(ebs3D);
  AddButton(bkDown);
  TcxCustomEditViewData data(&Properties, &Style, true);
  TcxCustomEditViewInfo vi;
  const TRect cell{50, 30, 150, 50};
  CalcViewInfoAtOrigin(&data, &Canvas, cell, TPoint{145, 40}, cxmbNone, 0, &vi, false);
  EXPECT_EQ(vi.Bounds, (TRect{0, 0, 100, 20}));
  EXPECT_EQ(vi.Left, 50);
  EXPECT_EQ(vi.Top, 30);
  EXPECT_EQ(vi.Button(0)->Data.State, ebsSelected);  // the point made relative

  const TRect button = vi.Button(0)->Bounds;
  const TRect client = vi.ClientRect;
  vi.OffsetBy(5, 7);
  EXPECT_EQ(vi.Bounds, (TRect{5, 7, 105, 27}));
  EXPECT_EQ(vi.Button(0)->Bounds, ShiftRect(button, 5, 7));
  EXPECT_EQ(vi.ClientRect, ShiftRect(client, 5, 7));
}

TEST_F(EditViewInfoTest, EditorSizeAndDisplayText) {
  TcxCustomEditViewData data(&Properties, &Style, false);
  TSize size{0, 0};
  data.CalcEditorSize(&Canvas, Variant(), TcxEditSizeProperties{}, nullptr, size);
  EXPECT_EQ(size, (TSize{2, 2}));  // the single border only
  AddButton(bkDown);
  size = TSize{0, 30};
  data.CalcEditorSize(&Canvas, Variant(), TcxEditSizeProperties{}, nullptr, size);
  EXPECT_EQ(size, (TSize{2 + Arrow + 1, 30}));  // at least what was given

  Properties.SetButtonsViewStyle(cxbvsButtonsOnly);
  size = TSize{0, 0};
  data.CalcEditorSize(&Canvas, Variant(), TcxEditSizeProperties{}, nullptr, size);
  Canvas.SetFont(Style.GetVisibleFont());
  EXPECT_EQ(size.cy, 2 + Canvas.GetTextHeight(u"Zg") + 4);

  // Alignment comes from the properties; selection colours start at the marker.
  Properties.Alignment()->SetHorz(taRightJustify);
  TcxCustomEditViewData aligned(&Properties, &Style, false);
  EXPECT_EQ(aligned.HorzAlignment, taRightJustify);
  EXPECT_EQ(aligned.SelTextColor, clDefault);
  EXPECT_EQ(aligned.SelBackgroundColor, clDefault);
  aligned.ContentOffset = TRect{1, 1, 1, 1};
  aligned.Enabled = false;
  aligned.InitState();
  EXPECT_TRUE(aligned.Enabled);
  EXPECT_EQ(aligned.ContentOffset, TRect{});

  String text = u"x";
  data.DoGetDisplayText(Variant(5), text);
  EXPECT_EQ(text, u"");
  data.OnGetDisplayText = TcxEditGetDisplayTextEvent(+[](TObject*, String& AText) { AText += u"!"; });
  data.DoGetDisplayText(Variant(5), text);
  EXPECT_EQ(text, u"!");
  EXPECT_EQ(data.GetCapturedButtonIndex(), -1);
}

// ---- Painting -------------------------------------------------------------------------

TEST_F(EditViewInfoTest, PaintsBorderBackgroundAndButtons) {
  Style.SetBorderColor(clRed);
  Style.SetColor(clYellow);
  AddButton(bkDown);
  TcxCustomEditViewData data(&Properties, &Style, false);
  TImage image(120, 30, clLime);
  auto vi = Compute(data, TRect{10, 5, 110, 25});
  vi->Render(&image.Canvas);
  const TRect button = vi->Button(0)->Bounds;  // 92 - Arrow .. 109
  EXPECT_EQ(image.At(9, 5), RGBOf(clLime));  // nothing outside the editor
  EXPECT_EQ(image.At(10, 5), RGBOf(clRed));
  EXPECT_EQ(image.At(109, 24), RGBOf(clRed));
  EXPECT_EQ(image.At(30, 15), RGBOf(clYellow));
  // The hot-flat button: a shadow frame around the face, a black arrow in
  // the middle.
  EXPECT_EQ(image.At(button.Left, 15), RGBOf(clBtnShadow));
  EXPECT_EQ(image.At(button.Left + 2, 8), RGBOf(clBtnFace));
  const TRect content = vi->Button(0)->ContentRect;
  Integer arrowPixels = 0;
  for (Integer y = content.Top; y < content.Bottom; ++y)
    for (Integer x = content.Left; x < content.Right; ++x) arrowPixels += image.At(x, y) == RGBOf(clBtnText);
  EXPECT_GT(arrowPixels, 5);

  // A shadow of three pixels at the right and the bottom, outside the border.
  Style.SetShadow(true);
  Properties.Buttons()->Clear();
  TImage shadowed(60, 30, clLime);
  vi = Compute(data, TRect{0, 0, 50, 20});
  vi->Render(&shadowed.Canvas);
  EXPECT_EQ(shadowed.At(46, 16), RGBOf(clRed));
  EXPECT_EQ(shadowed.At(48, 10), RGBOf(clBtnShadow));
  EXPECT_EQ(shadowed.At(10, 18), RGBOf(clBtnShadow));
  EXPECT_EQ(shadowed.At(48, 1), RGBOf(clYellow));  // the corner above the shadow
  Style.SetShadow(false);
  AddButton(bkDown);

  // Painting at the origin moves the picture by the view info's origin.
  TImage moved(120, 30, clLime);
  TcxCustomEditViewInfo cell;
  CalcViewInfoAtOrigin(&data, &moved.Canvas, TRect{10, 5, 110, 25}, kNowhere, cxmbNone, 0, &cell, false);
  PaintViewInfoAtOrigin(&cell, &moved.Canvas);
  EXPECT_EQ(moved.Bitmap.Pixels32(), image.Bitmap.Pixels32());
  EXPECT_EQ(moved.Canvas.GetWindowOrigin(), (TPoint{0, 0}));
}

TEST_F(EditViewInfoTest, PressedAndHotButtonsChangeTheirFace) {
  Style.SetBorderStyle(ebsUltraFlat);
  AddButton(bkEllipsis);
  TcxCustomEditViewData data(&Properties, &Style, false);
  const TRect bounds{0, 0, 80, 20};
  auto vi = Compute(data, bounds);
  const TPoint over = CenterOfRect(vi->Button(0)->Bounds);
  struct Case {
    TcxMouseButton Button;
    TShiftState Shift;
    TColor Face;
    TColor Frame;
  } cases[] = {
      {cxmbNone, 0, GetFlatButtonStateColor(false, false), clHighlight},
      {cxmbLeft, ssLeft, GetFlatButtonStateColor(true, false), clHighlight},
  };
  for (const Case& c : cases) {
    TImage image(80, 20, clLime);
    data.ComputeViewInfo(&image.Canvas, bounds, over, c.Button, c.Shift, vi.get(), true);
    vi->Render(&image.Canvas);
    const TRect b = vi->Button(0)->Bounds;
    EXPECT_EQ(image.At(b.Left + 2, b.Top + 2), RGBOf(c.Face));
    EXPECT_EQ(image.At(b.Right - 1, b.Top + 3), RGBOf(c.Frame));
  }
}

TEST_F(EditViewInfoTest, Gallery) {
  struct Row {
    TcxEditBorderStyle Border;
    TcxLookAndFeelKind Kind;
    bool Inplace;
    bool Shadow;
  } rows[] = {
      {ebsSingle, lfStandard, false, false}, {ebs3D, lfStandard, false, false},
      {ebsFlat, lfStandard, false, true},    {ebsUltraFlat, lfStandard, false, false},
      {ebsNone, lfStandard, false, false},   {ebsSingle, lfUltraFlat, true, false},
      {ebsSingle, lfFlat, true, false},
  };
  TBitmap glyph(8, 8, pf24bit);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect(TRect{0, 0, 8, 8});
  glyph.Canvas()->Brush()->SetColor(clGreen);
  glyph.Canvas()->Ellipse(TRect{0, 0, 8, 8});
  AddButton(bkGlyph, 0, true)->Glyph()->Assign(&glyph);
  AddButton(bkText)->SetCaption(u"&Go");
  AddButton(bkEllipsis);
  AddButton(bkDown);
  const Integer rowHeight = 26;
  TImage image(4 * 190, rowHeight * static_cast<Integer>(std::size(rows)) + 4, clBtnFace);
  Integer y = 2;
  std::vector<TColor> cells[4];
  for (const Row& r : rows) {
    Style.SetBorderStyle(r.Border);
    Style.SetShadow(r.Shadow);
    Style.SetColor(clWindow);
    Style.LookAndFeel()->SetKind(r.Kind);
    TcxCustomEditViewData data(&Properties, &Style, r.Inplace);
    // Four states side by side: normal, hot over the down button, pressed,
    // disabled.
    for (Integer column = 0; column < 4; ++column) {
      const TRect bounds{column * 190 + 4, y, column * 190 + 184, y + 21};
      data.Enabled = column != 3;
      auto vi = Compute(data, bounds);
      const TPoint over = CenterOfRect(vi->Button(vi->ButtonCount() - 1)->Bounds);
      if (column == 1) data.ComputeViewInfo(&image.Canvas, bounds, over, cxmbNone, 0, vi.get(), true);
      if (column == 2) data.ComputeViewInfo(&image.Canvas, bounds, over, cxmbLeft, ssLeft, vi.get(), true);
      vi->Render(&image.Canvas);
      EXPECT_LT(image.Count(bounds, clBtnFace), bounds.Width() * bounds.Height() / 2)
          << "row " << (y - 2) / rowHeight << ", column " << column;
      cells[column].clear();
      for (Integer py = bounds.Top; py < bounds.Bottom; ++py)
        for (Integer px = bounds.Left; px < bounds.Right; ++px) cells[column].push_back(image.At(px, py));
    }
    // A pressed button and a disabled editor look unlike the normal one.
    EXPECT_NE(cells[0], cells[2]) << "row " << (y - 2) / rowHeight;
    EXPECT_NE(cells[0], cells[3]) << "row " << (y - 2) / rowHeight;
    y += rowHeight;
  }
  SavePicture(image.Bitmap, "edit_view_info_gallery", 2);
  EXPECT_TRUE(image.Is(0, 0, clBtnFace));
}

}  // namespace
