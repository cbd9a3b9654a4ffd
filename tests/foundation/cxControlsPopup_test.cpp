// The popup window base: placement beside the owner with flipping and
// clamping, sizing around the children, the frame by pixels, activation.
#include <gtest/gtest.h>

#include <vector>

#include "foundation/cxControlsPopup.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/foundation/foundation_test.h"

namespace {

using namespace cxTest;

const TRect kWorkArea{0, 0, 1024, 740};

TRect WorkArea(const TPoint&) { return kWorkArea; }

struct TPlacementCase {
  const char* Name;
  TRect Owner;
  TcxPopupAlignHorz AlignHorz;
  TcxPopupAlignVert AlignVert;
  TcxPopupDirection Direction;
  TPoint Expected;  // popup of 150 x 80
};

TEST(cxPopupPlacement, PlacesFlipsAndClampsInsideTheWorkArea) {
  const TPlacementCase cases[] = {
      {"below, left edges lined up", {100, 100, 200, 120}, pahLeft, pavBottom, pdVertical, {100, 120}},
      {"below, right edges lined up", {100, 100, 200, 120}, pahRight, pavBottom, pdVertical, {50, 120}},
      {"below, centred", {100, 100, 200, 120}, pahCenter, pavBottom, pdVertical, {75, 120}},
      {"above", {100, 100, 200, 120}, pahLeft, pavTop, pdVertical, {100, 20}},
      {"below flips above when there is more room", {100, 700, 200, 720}, pahLeft, pavBottom, pdVertical,
       {100, 620}},
      {"above flips below when there is not more room above", {100, 30, 200, 50}, pahLeft, pavTop, pdVertical,
       {100, 50}},
      {"past the right edge is pulled back", {950, 100, 1000, 120}, pahLeft, pavBottom, pdVertical, {874, 120}},
      {"past the left edge is pulled back", {10, 100, 60, 120}, pahRight, pavBottom, pdVertical, {0, 120}},
      {"right of the owner, tops lined up", {100, 100, 200, 120}, pahRight, pavTop, pdHorizontal, {200, 100}},
      {"right of the owner, bottoms lined up", {100, 100, 200, 120}, pahRight, pavBottom, pdHorizontal, {200, 40}},
      {"left of the owner flips right", {100, 100, 200, 120}, pahLeft, pavTop, pdHorizontal, {200, 100}},
      {"right of the owner flips left", {900, 100, 1000, 120}, pahRight, pavTop, pdHorizontal, {750, 100}},
      {"beside the owner, kept above the bottom", {100, 700, 200, 720}, pahRight, pavTop, pdHorizontal,
       {200, 660}},
      {"centred vertically, kept below the top", {100, 10, 200, 30}, pahLeft, pavCenter, pdVertical, {100, 0}},
  };
  for (const TPlacementCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(cxCalculatePopupPosition(c.Owner, 150, 80, c.AlignHorz, c.AlignVert, c.Direction, WorkArea),
              c.Expected);
  }
}

TEST(cxPopupPlacement, WithoutRoomOnEitherSideMovesInsideTheWorkArea) {
  const struct {
    const char* Name;
    TRect Work, Owner;
    Integer Height;
    TcxPopupDirection Direction;
    TPoint Expected;
  } cases[] = {
      // 300 above, 448 below: it stays below and is moved up over the owner
      // to end at the work area's bottom, not at 920.
      {"600 pixels below an owner near the bottom", {0, 0, 1024, 768}, {100, 300, 200, 320}, 600, pdVertical,
       {100, 168}},
      {"more room below, moved up", {0, 0, 1024, 100}, {100, 30, 200, 50}, 80, pdVertical, {100, 20}},
      {"more room above, moved down", {0, 0, 1024, 100}, {100, 60, 200, 80}, 80, pdVertical, {100, 0}},
      {"taller than the work area starts at its top", {0, 0, 1024, 100}, {100, 30, 200, 50}, 150, pdVertical,
       {100, 0}},
      {"beside the owner, wider than the room on either side", {0, 0, 260, 768}, {100, 100, 200, 120}, 80,
       pdHorizontal, {0, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    auto work = [&](const TPoint&) { return c.Work; };
    const TPoint p = cxCalculatePopupPosition(c.Owner, 150, c.Height, pahRight, pavBottom, c.Direction, work);
    if (c.Direction == pdVertical) {
      EXPECT_EQ(p.Y, c.Expected.Y);
    } else {
      EXPECT_EQ(p.X, c.Expected.X);
    }
    EXPECT_GE(p.Y, c.Work.Top);
    EXPECT_LE(p.Y + std::min(c.Height, c.Work.Height()), c.Work.Bottom);
  }
}

TEST(cxPopupPlacement, TakesTheMonitorOfTheAlignedCorner) {
  // Two monitors side by side; the owner lies across their border.
  std::vector<TPoint> asked;
  auto monitors = [&](const TPoint& P) {
    asked.push_back(P);
    return P.X < 1024 ? TRect{0, 0, 1024, 768} : TRect{1024, 0, 2048, 768};
  };
  const TRect owner{1000, 100, 1100, 120};
  EXPECT_EQ(cxCalculatePopupPosition(owner, 150, 80, pahLeft, pavBottom, pdVertical, monitors), (TPoint{874, 120}));
  EXPECT_EQ(cxCalculatePopupPosition(owner, 150, 80, pahRight, pavBottom, pdVertical, monitors),
            (TPoint{1024, 120}));
  EXPECT_EQ(cxCalculatePopupPosition(owner, 150, 80, pahCenter, pavTop, pdVertical, monitors), (TPoint{1024, 20}));
  EXPECT_EQ(asked, (std::vector<TPoint>{{1000, 120}, {1100, 120}, {1050, 100}}));
}

TEST(cxPopupPlacement, CentringRoundsTowardZero) {
  auto wide = [](const TPoint&) { return TRect{-2000, -2000, 2000, 2000}; };
  // (-10 + -5 - 4) / 2 = -9.5: toward zero -9, not -10.
  EXPECT_EQ(cxCalculatePopupPosition({-10, -10, -5, -5}, 4, 4, pahCenter, pavCenter, pdVertical, wide),
            (TPoint{-9, -9}));
}

// ---- The window ----------------------------------------------------------------------------

// A form that writes down the WM_NCACTIVATE it receives.
class TOwnerForm : public TForm {
public:
  using TForm::TForm;
  std::vector<WPARAM> NCActivates;
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_NCACTIVATE) NCActivates.push_back(M.WParam);
    TForm::WndProc(M);
  }
};

struct TPopupFixture {
  TPopupFixture() {
    EnsureGuiRuntime();
    Application->ResetTerminated();
    TestSetApplicationActive(true);
    Owner = new TOwnerForm(nullptr);
    Owner->SetBounds(100, 100, 300, 200);
    Edit = new TCustomControl(Owner);
    Edit->SetBounds(20, 30, 120, 21);
    Edit->SetParent(Owner);
    Owner->Show();
    Popup = new TcxPopupWindow(nullptr);
    Popup->SetOwnerParent(Edit);
    Popup->SetOwnerBounds(Edit->ClientRect());
  }
  ~TPopupFixture() {
    Popup->Free();
    Owner->Free();
    TestSetApplicationActive(true);
    Application->ProcessMessages();
  }
  TControl* AddChild(const TRect& R) {
    auto* c = new TCustomControl(Popup);
    c->SetBoundsRect(R);
    c->SetParent(Popup);
    return c;
  }
  TOwnerForm* Owner;
  TCustomControl* Edit;
  TcxPopupWindow* Popup;
};

TEST(cxPopupWindow, CreatesAsABorderlessStayOnTopForm) {
  TPopupFixture f;
  EXPECT_EQ(f.Popup->BorderStyle(), bsNone);
  EXPECT_EQ(f.Popup->FormStyle(), fsStayOnTop);
  EXPECT_EQ(f.Popup->DefaultMonitor(), dmDesktop);
  EXPECT_NE(GetWindowExStyle(f.Popup->Handle()) & WS_EX_TOPMOST, 0u);
  EXPECT_EQ(GetWindowStyle(f.Popup->Handle()) & WS_CAPTION, 0u);
  EXPECT_TRUE(f.Popup->Adjustable());
  EXPECT_EQ(f.Popup->AlignHorz(), pahLeft);
  EXPECT_EQ(f.Popup->AlignVert(), pavBottom);
  EXPECT_EQ(f.Popup->Direction(), pdVertical);
  EXPECT_EQ(f.Popup->FrameStyle(), pfsNone);
  EXPECT_EQ(f.Popup->FrameColor(), clWindowText);
  EXPECT_EQ(f.Popup->BorderSpace(), 0);
  EXPECT_FALSE(f.Popup->Visible());
}

TEST(cxPopupWindow, FrameSizesByStyle) {
  TPopupFixture f;
  const struct {
    TcxPopupFrameStyle Style;
    Integer Line;
  } cases[] = {{pfsNone, 0}, {pfsFlat, 1}, {pfsSingle, 1}, {pfsDouble, 2}};
  f.Popup->SetBorderSpace(3);
  for (auto c : cases) {
    f.Popup->SetFrameStyle(c.Style);
    EXPECT_EQ(f.Popup->FrameLineWidth(), c.Line);
    for (Integer side = cxPopupSideLeft; side <= cxPopupSideBottom; ++side)
      EXPECT_EQ(f.Popup->SideFrameSize(side), c.Line + 3);
  }
}

TEST(cxPopupWindow, SizesItselfAroundItsChildrenWithoutDrifting) {
  TPopupFixture f;
  TControl* a = f.AddChild({0, 0, 50, 20});
  TControl* b = f.AddChild({10, 30, 90, 90});
  f.Popup->SetFrameStyle(pfsDouble);
  f.Popup->SetBorderSpace(1);
  f.Popup->FitToChildren();
  EXPECT_EQ(a->BoundsRect(), (TRect{3, 3, 53, 23}));
  EXPECT_EQ(b->BoundsRect(), (TRect{13, 33, 93, 93}));
  EXPECT_EQ(f.Popup->Width(), 3 + 90 + 3);
  EXPECT_EQ(f.Popup->Height(), 3 + 90 + 3);
  // Every show fits again: the children keep their place.
  f.Popup->ShowPopup();
  f.Popup->ClosePopup();
  f.Popup->ShowPopup();
  EXPECT_EQ(a->BoundsRect(), (TRect{3, 3, 53, 23}));
  EXPECT_EQ(f.Popup->Width(), 96);
  // A new frame moves them out; the next fit puts them inside it.
  f.Popup->SetFrameStyle(pfsFlat);
  EXPECT_EQ(a->BoundsRect(), (TRect{0, 0, 50, 20}));
  f.Popup->FitToChildren();
  EXPECT_EQ(b->BoundsRect(), (TRect{12, 32, 92, 92}));
  EXPECT_EQ(f.Popup->Width(), 2 + 90 + 2);
  // A child moved back to its own place between shows is fitted from there.
  a->SetBounds(0, 0, 50, 20);
  for (int show = 0; show < 2; ++show) {
    f.Popup->ShowPopup();
    f.Popup->ClosePopup();
    EXPECT_EQ(a->BoundsRect(), (TRect{2, 2, 52, 22}));
    EXPECT_EQ(b->BoundsRect(), (TRect{12, 32, 92, 92}));
    EXPECT_EQ(f.Popup->Width(), 2 + 90 + 2);
  }
}

TEST(cxPopupWindow, FitLeavesANotAdjustableOrEmptyPopupAlone) {
  TPopupFixture f;
  f.Popup->SetBounds(0, 0, 77, 55);
  f.Popup->SetFrameStyle(pfsDouble);
  f.Popup->FitToChildren();  // no children
  EXPECT_EQ(f.Popup->Width(), 77);
  TControl* a = f.AddChild({5, 5, 25, 25});
  f.Popup->SetAdjustable(false);
  f.Popup->FitToChildren();
  EXPECT_EQ(a->BoundsRect(), (TRect{5, 5, 25, 25}));
  EXPECT_EQ(f.Popup->Height(), 55);
}

TEST(cxPopupWindow, ShowsBelowItsOwnerWithTheOwnersFont) {
  TPopupFixture f;
  f.AddChild({0, 0, 100, 60});
  f.Edit->Font()->SetSize(14);
  f.Popup->ShowPopup();
  EXPECT_TRUE(f.Popup->Visible());
  TPoint below = f.Edit->ClientToScreen(TPoint{0, f.Edit->Height()});
  TRect work = MonitorWorkAreaAt(below);
  ASSERT_LT(below.Y + 60, work.Bottom);  // the screen leaves room below
  EXPECT_EQ(f.Popup->Left(), below.X);
  EXPECT_EQ(f.Popup->Top(), below.Y);
  EXPECT_EQ(f.Popup->Font()->Size(), 14);
  f.Popup->ClosePopup();
  EXPECT_FALSE(f.Popup->Visible());
}

TEST(cxPopupWindow, APopupLargerThanTheWorkAreaIsShrunkToIt) {
  TPopupFixture f;
  f.AddChild({0, 0, 100, 5000});
  f.Popup->ShowPopup();
  const TRect work = MonitorWorkAreaAt(TPoint{f.Popup->Left(), f.Popup->Top()});
  EXPECT_EQ(f.Popup->Top(), work.Top);
  EXPECT_EQ(f.Popup->Height(), work.Height());
  EXPECT_EQ(f.Popup->Width(), 100);
}

TEST(cxPopupWindow, ForgetsAFreedOwnerParent) {
  TPopupFixture f;
  f.Popup->SetOwnerBounds({10, 10, 60, 30});
  f.Edit->Free();
  EXPECT_EQ(f.Popup->OwnerParent(), nullptr);
  // The owner rectangle is then taken as screen coordinates.
  f.AddChild({0, 0, 40, 40});
  f.Popup->ShowPopup();
  EXPECT_EQ(f.Popup->Left(), std::max<Integer>(10, MonitorWorkAreaAt({10, 30}).Left));
}

// Whether a point of the painted popup has the colour.
testing::AssertionResult FramePixel(TcxPopupWindow* APopup, Integer X, Integer Y, TColor AColor) {
  UpdateWindow(APopup->Handle());
  TBitmap* buffer = GetWindowBuffer(APopup->Handle());
  if (!buffer) return testing::AssertionFailure() << "the popup has no window buffer";
  return PixelIs(*buffer, X, Y, AColor);
}

TEST(cxPopupWindow, PaintsItsFrameByStyle) {
  TPopupFixture f;
  f.Popup->SetAdjustable(false);
  f.Popup->SetColor(clWindow);
  f.Popup->SetBounds(300, 300, 40, 30);
  f.Popup->SetFrameColor(clRed);
  struct TPixel {
    Integer X, Y;
    TColor Color;
  };
  const struct {
    TcxPopupFrameStyle Style;
    std::vector<TPixel> Pixels;
  } cases[] = {
      {pfsNone, {{0, 0, clWindow}, {39, 29, clWindow}}},
      {pfsFlat, {{0, 0, clRed}, {39, 15, clRed}, {20, 29, clRed}, {1, 1, clWindow}}},
      {pfsSingle, {{0, 10, clBtnHighlight}, {10, 0, clBtnHighlight}, {39, 10, clBtnShadow}, {10, 29, clBtnShadow},
                   {1, 1, clWindow}}},
      {pfsDouble, {{0, 10, cl3DLight}, {39, 10, cl3DDkShadow}, {1, 10, clBtnHighlight}, {10, 28, clBtnShadow},
                   {2, 2, clWindow}}},
  };
  f.Popup->Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Style);
    f.Popup->SetFrameStyle(c.Style);
    f.Popup->Invalidate();
    for (const TPixel& p : c.Pixels) EXPECT_TRUE(FramePixel(f.Popup, p.X, p.Y, p.Color));
  }
}

TEST(cxPopupWindow, KeepsTheOwnerCaptionActiveAndClosesWithTheApplication) {
  TPopupFixture f;
  SetActiveWindow(f.Owner->Handle());
  f.AddChild({0, 0, 50, 50});
  f.Owner->NCActivates.clear();
  f.Popup->ShowPopup();
  ASSERT_EQ(GetActiveWindow(), f.Popup->Handle());
  EXPECT_EQ(f.Popup->PrevActiveWindow(), f.Owner->Handle());
  ASSERT_FALSE(f.Owner->NCActivates.empty());
  EXPECT_EQ(f.Owner->NCActivates.back(), 1u);  // the system's inactive look is undone
  // Another program takes over: the popup closes, the caption looks inactive.
  TestSetApplicationActive(false);
  EXPECT_FALSE(f.Popup->Visible());
  EXPECT_EQ(f.Owner->NCActivates.back(), 0u);
}

TEST(cxPopupWindow, ClosesWhenAnotherWindowIsActivated) {
  TPopupFixture f;
  f.AddChild({0, 0, 50, 50});
  SetActiveWindow(f.Owner->Handle());
  f.Popup->ShowPopup();
  ASSERT_TRUE(f.Popup->Visible());
  SetActiveWindow(f.Owner->Handle());  // back to the owner
  EXPECT_FALSE(f.Popup->Visible());
  EXPECT_EQ(f.Owner->NCActivates.back(), 1u);

  // A third window takes over: the owner's caption does not stay active.
  TForm* other = new TForm(nullptr);
  other->SetBounds(500, 100, 100, 100);
  other->Show();
  SetActiveWindow(f.Owner->Handle());
  f.Popup->ShowPopup();
  ASSERT_EQ(GetActiveWindow(), f.Popup->Handle());
  SetActiveWindow(other->Handle());
  EXPECT_FALSE(f.Popup->Visible());
  EXPECT_EQ(f.Owner->NCActivates.back(), 0u);
  other->Free();
}

}  // namespace
