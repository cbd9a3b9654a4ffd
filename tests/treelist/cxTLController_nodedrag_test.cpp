// Dragging nodes on a shown tree list, driven by test mouse input: a drag
// starts only on a selected node (not on its indent); dropped on a cell the
// nodes become its last children, dropped elsewhere on a row they go
// before it; Ctrl with AutoDragCopy copies; resting on an expand button
// opens (or closes) the node after WaitForExpandNodeTime on the test clock.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"
#include "tests/treelist/treelist_view_fixture.h"
#include "treelist/cxTLOptions.h"

namespace {

struct TNodeDragFixture : TTreeViewFixture {
  TNodeDragFixture() { Tree->SetDragMode(dmAutomatic); }
  ~TNodeDragFixture() { CancelDrag(); }
  TcxTreeListController* Controller() const { return Tree->TreeListController(); }
  // Presses on the node's cell and leaves the drag threshold (the move the
  // drag detection sees is posted before the press), then moves to ATo.
  void StartDrag(TcxTreeListNode* ANode, const TPoint& ATo) {
    const TPoint From = CellCenter(ANode, 0);
    const HWND Handle = Tree->Handle();
    Tree->OnMouseDown = TMouseEvent(this, [Handle, From](TObject*, TMouseButton, TShiftState, Integer, Integer) {
      PostMessage(Handle, WM_MOUSEMOVE, MK_LBUTTON, PointToLParam(TPoint{From.X + 20, From.Y + 20}));
    });
    TestMousePress(Handle, From);
    Tree->OnMouseDown = TMouseEvent();
    TestMouseMove(Handle, ATo);
  }
  void Drop(const TPoint& AAt, Cardinal AModifiers = 0) {
    TestMouseMove(Tree->Handle(), AAt, AModifiers);
    TestMouseRelease(Tree->Handle(), AAt, tbLeft, AModifiers);
    Application->ProcessMessages();
  }
  TPoint ButtonCenter(TcxTreeListNode* ANode) const {
    for (const auto& Indent : Row(ANode)->Indents)
      if (Indent->HasButton) {
        const TRect R = Indent->ButtonRect;
        return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
      }
    return TPoint{-1, -1};
  }
  TPoint IndentPoint(TcxTreeListNode* ANode) const {
    const TRect R = Row(ANode)->Indents.front()->DisplayRect();
    return TPoint{R.Left + 1, (R.Top + R.Bottom) / 2};
  }
  // The tree as "name(children) ..." depth first.
  static std::string Shape(TcxTreeListNode* AParent) {
    std::string S;
    for (TcxTreeListNode* N = AParent->GetFirstChild(); N; N = N->GetNextSibling()) {
      S += (S.empty() ? "" : " ") + Name(N);
      if (N->GetFirstChild()) S += "(" + Shape(N) + ")";
    }
    return S;
  }
  std::string Shape() const { return Shape(Tree->Nodes()->Root()); }
};

}  // namespace

TEST(TreeListNodeDrag, DropOnACellMovesOrWithCtrlCopiesUnderIt) {
  struct TCase {
    bool AutoDragCopy;
    Cardinal Modifiers;
    const char* Shape;
  };
  const TCase Cases[] = {
      {true, 0, "a(a1 a2(a21)) c(b)"},
      {true, tkCtrl, "a(a1 a2(a21)) b c(b)"},
      // Ctrl alone does not copy without AutoDragCopy.
      {false, tkCtrl, "a(a1 a2(a21)) c(b)"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Shape);
    TNodeDragFixture F;
    F.Tree->OptionsBehavior()->SetAutoDragCopy(Case.AutoDragCopy);
    F.Tree->SetFocusedNode(F.B);
    F.StartDrag(F.B, F.CellCenter(F.C, 0));
    ASSERT_NE(CurrentDragObject(), nullptr) << "a press on the focused node starts a drag";
    EXPECT_EQ(F.Controller()->DragNode(), F.B);
    F.Drop(F.CellCenter(F.C, 0), Case.Modifiers);
    SetKeyState(VK_CONTROL, false);
    EXPECT_EQ(CurrentDragObject(), nullptr);
    EXPECT_EQ(F.Shape(), Case.Shape);
    EXPECT_EQ(F.Controller()->ExpandTimer(), nullptr) << "the drag's objects go at its end";
    EXPECT_EQ(F.Controller()->AutoScrollArea(0), nullptr);
  }
}

TEST(TreeListNodeDrag, DropBesideTheCellsInsertsAndNoNodeGoesUnderItself) {
  TNodeDragFixture F;
  // On the indent of c's row: b goes before c.
  F.Tree->SetFocusedNode(F.C);
  F.StartDrag(F.C, F.IndentPoint(F.B));
  F.Drop(F.IndentPoint(F.B));
  EXPECT_EQ(F.Shape(), "a(a1 a2(a21)) c b");
  // a onto its own grandchild: refused, nothing moves.
  F.Tree->SetFocusedNode(F.A);
  F.StartDrag(F.A, F.CellCenter(F.A21, 0));
  bool Accept = true;
  F.Tree->DragOver(F.Tree, F.CellCenter(F.A21, 0).X, F.CellCenter(F.A21, 0).Y, dsDragMove, Accept);
  EXPECT_FALSE(Accept);
  F.Drop(F.CellCenter(F.A21, 0));
  EXPECT_EQ(F.Shape(), "a(a1 a2(a21)) c b");
}

TEST(TreeListNodeDrag, OnlyASelectedNodeAwayFromItsIndentStartsADrag) {
  TNodeDragFixture F;
  F.Tree->SetFocusedNode(F.B);
  // The indent of the selected node: no drag.
  EXPECT_FALSE(F.Controller()->IsDraggablePress(F.IndentPoint(F.B)));
  EXPECT_TRUE(F.Controller()->IsDraggablePress(F.CellCenter(F.B, 0)));
  EXPECT_FALSE(F.Controller()->IsDraggablePress(F.CellCenter(F.C, 0))) << "not selected";
  // The drag picture: one text line ("Wg") high and the first column wide, grown by 2.
  const TRect Picture = F.Tree->GetDragImageBounds();
  EXPECT_EQ(Picture.Width(), F.Column(0)->DisplayWidth() + 4);
  EXPECT_EQ(Picture.Height(), TextHeightInFont(F.Tree->Font(), u"Wg") + 4);
}

// Resting a dragged node on a collapsed node's expand button opens it after
// WaitForExpandNodeTime; leaving the button earlier does not; with
// DragCollapse an open node closes the same way.
TEST(TreeListNodeDrag, RestingOnAnExpandButtonOpensTheNodeOnTheTestClock) {
  TNodeDragFixture F;
  TTestClock Clock;
  F.Tree->OptionsBehavior()->SetDragExpand(true);
  F.Tree->OptionsBehavior()->SetDragCollapse(true);
  F.A->SetExpanded(false);
  F.Tree->SetFocusedNode(F.B);
  const TPoint Button = F.ButtonCenter(F.A);
  ASSERT_GE(Button.X, 0);
  F.StartDrag(F.B, Button);
  TestMouseMove(F.Tree->Handle(), Button);
  EXPECT_EQ(F.Controller()->ExpandNode(), F.A);
  Clock.Advance(400);
  EXPECT_FALSE(F.A->Expanded());
  // Off the button before the time is up: the wait starts again.
  TestMouseMove(F.Tree->Handle(), F.CellCenter(F.C, 0));
  EXPECT_EQ(F.Controller()->ExpandNode(), nullptr);
  Clock.Advance(200);
  EXPECT_FALSE(F.A->Expanded());
  TestMouseMove(F.Tree->Handle(), Button);
  Clock.Advance(499);
  EXPECT_FALSE(F.A->Expanded());
  Clock.Advance(1);
  EXPECT_TRUE(F.A->Expanded());
  // Open now: resting again closes it.
  TestMouseMove(F.Tree->Handle(), F.ButtonCenter(F.A));
  Clock.Advance(500);
  EXPECT_FALSE(F.A->Expanded());
  F.Drop(F.CellCenter(F.C, 0));
  EXPECT_EQ(F.Shape(), "a(a1 a2(a21)) c(b)");
}

// With DragDropText the dragged node's picture follows the mouse: a box one
// text line high and the first column wide, framed, with the node's text.
TEST(TreeListNodeDrag, TheDraggedNodesPictureFollowsTheMouse) {
  TNodeDragFixture F;
  F.Tree->OptionsBehavior()->DragDropText = true;
  F.Tree->SetFocusedNode(F.B);
  const TPoint To = F.CellCenter(F.C, 1);
  F.StartDrag(F.B, To);
  TestMouseMove(F.Tree->Handle(), To);
  ASSERT_NE(F.Tree->DragImage(), nullptr);
  ASSERT_NE(F.Tree->DragImage()->Window(), nullptr);
  EXPECT_TRUE(F.Tree->DragImage()->Visible());
  const TRect Bounds = F.Tree->DragImage()->PictureBounds();
  EXPECT_EQ(Bounds.Width(), F.Column(0)->DisplayWidth() + 4);
  // The picture keeps the grab point under the mouse.
  const TRect Window = F.Tree->DragImage()->Window()->BoundsRect();
  const TPoint Press = F.CellCenter(F.B, 0);
  EXPECT_EQ(Window.Left - F.Tree->ClientToScreen(To).X, Bounds.Left - Press.X);
  // The picture itself, drawn as the helper draws it.
  TBitmap Picture(Bounds.Width(), Bounds.Height(), pf32bit);
  SetWindowOrgEx(Picture.Canvas()->Handle(), Bounds.Left, Bounds.Top, nullptr);
  F.Tree->DrawDragPicture(Picture.Canvas());
  SetWindowOrgEx(Picture.Canvas()->Handle(), 0, 0, nullptr);
  if (const char* Dir = std::getenv("KORVANE_PICTURE_DIR"))
    Picture.SaveToFile(UTF8ToString(std::string(Dir) + "/node-drag-picture.bmp"));
  EXPECT_EQ(Picture.PixelColor(0, 0), ColorToRGB(clWindowText)) << "framed";
  EXPECT_EQ(Picture.PixelColor(Bounds.Width() - 1, Bounds.Height() / 2), ColorToRGB(clWindowText));
  Integer Dark = 0;
  for (Integer X = 2; X < Bounds.Width() - 2; ++X)
    for (Integer Y = 2; Y < Bounds.Height() - 2; ++Y) Dark += Picture.PixelColor(X, Y) != Picture.PixelColor(1, 1);
  EXPECT_GT(Dark, 5) << "the node's text";
  F.Drop(To);
  EXPECT_EQ(F.Tree->DragImage(), nullptr);
  EXPECT_EQ(F.Shape(), "a(a1 a2(a21)) c(b)");
}
