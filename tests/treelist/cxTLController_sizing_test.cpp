// Sizing by dragging on a shown tree list, driven by test mouse input:
// column and band headers by their right edge, rows by their lower edge,
// with the sizing line or live as OptionsCustomizing.DynamicSizing says;
// Esc cancels; a double click on a header's edge fits it to its content.
#include <gtest/gtest.h>

#include "platform/gui/testinput.h"
#include "tests/treelist/treelist_view_fixture.h"
#include "treelist/cxTLOptions.h"

namespace {

struct TSizingFixture : TTreeViewFixture {
  TRect HeaderRect(Integer AColumn) const { return Layout()->ColumnHeader(Column(AColumn))->DisplayRect(); }
  // On the header's right edge, half way down.
  TPoint RightEdge(const TRect& R) const { return TPoint{R.Right - 1, (R.Top + R.Bottom) / 2}; }
  TcxSizingDragAndDropObject* Sizing() const {
    return dynamic_cast<TcxSizingDragAndDropObject*>(Tree->DragAndDropObject());
  }
  void Press(const TPoint& P) { TestMousePress(Tree->Handle(), P); }
  void Move(const TPoint& P) { TestMouseMove(Tree->Handle(), P); }
  void Release(const TPoint& P) {
    TestMouseRelease(Tree->Handle(), P);
    Application->ProcessMessages();
  }
  static TPoint Shifted(const TPoint& P, Integer DX, Integer DY) { return TPoint{P.X + DX, P.Y + DY}; }
};

}  // namespace

// Dragging the "Name" header's right edge 40 pixels: with the sizing line
// the width changes at the release, live it follows the mouse; a cursor
// for sizing shows on the edge.
TEST(TreeListSizing, DraggingAColumnEdgeBy40PixelsWidensIt) {
  for (bool Dynamic : {false, true}) {
    SCOPED_TRACE(Dynamic);
    TSizingFixture F;
    F.Tree->OptionsCustomizing()->SetDynamicSizing(Dynamic);
    const TPoint Edge = F.RightEdge(F.HeaderRect(0));
    EXPECT_EQ(F.Tree->CursorAt(Edge.X, Edge.Y), crcxHorzSize);
    EXPECT_NE(F.Tree->CursorAt(Edge.X - 20, Edge.Y), crcxHorzSize);
    F.Press(Edge);
    ASSERT_NE(F.Sizing(), nullptr);
    EXPECT_EQ(F.Tree->DragAndDropState(), ddsInProcess);
    F.Move(F.Shifted(Edge, 20, 0));
    F.Move(F.Shifted(Edge, 40, 0));
    EXPECT_EQ(F.Column(0)->Width(), Dynamic ? 140 : 100);
    if (!Dynamic) {
      ASSERT_NE(F.Sizing()->SizingLine(), nullptr);
      EXPECT_TRUE(F.Sizing()->SizingLine()->Visible());
      EXPECT_EQ(F.Sizing()->SizingLine()->BoundsRect().Left, F.Tree->ClientToScreen(F.Shifted(Edge, 39, 0)).X);
    }
    F.Release(F.Shifted(Edge, 40, 0));
    EXPECT_EQ(F.Column(0)->Width(), 140);
    EXPECT_EQ(F.HeaderRect(0).Width(), 140);
    EXPECT_EQ(F.Tree->DragAndDropState(), ddsNone);
    EXPECT_EQ(F.Column(1)->Width(), 80);
  }
}

// The edge keeps the column at its minimum; Esc leaves it as it was; a
// column that may not be sized has no edge, and a band header's edge sizes
// the band.
TEST(TreeListSizing, LimitsCancelAndWhatMayBeSized) {
  TSizingFixture F;
  F.Column(0)->SetMinWidth(60);
  TPoint Edge = F.RightEdge(F.HeaderRect(0));
  F.Press(Edge);
  F.Move(F.Shifted(Edge, -90, 0));
  F.Release(F.Shifted(Edge, -90, 0));
  EXPECT_EQ(F.Column(0)->Width(), 60);

  Edge = F.RightEdge(F.HeaderRect(0));
  F.Press(Edge);
  F.Move(F.Shifted(Edge, 30, 0));
  TestKey(VK_ESCAPE);
  F.Release(F.Shifted(Edge, 30, 0));
  EXPECT_EQ(F.Column(0)->Width(), 60);

  F.Column(0)->Options()->SetSizing(false);
  Edge = F.RightEdge(F.HeaderRect(0));
  EXPECT_FALSE(F.Tree->TreeListController()->PrepareSizing(Edge));
  F.Column(0)->Options()->SetSizing(true);
  F.Tree->OptionsCustomizing()->SetColumnHorzSizing(false);
  EXPECT_FALSE(F.Tree->TreeListController()->PrepareSizing(Edge));
  F.Tree->OptionsCustomizing()->SetColumnHorzSizing(true);

  F.View()->SetBands(true);
  F.Tree->LayoutChanged();
  TcxTreeListBand* Band = F.Tree->Bands()->Items(0);
  TRect BandHeader{};
  for (const auto& H : F.Layout()->BandHeaders())
    if (H->Band == Band) BandHeader = H->DisplayRect();
  const Integer Before = Band->DisplayWidth();
  Edge = F.RightEdge(BandHeader);
  F.Press(Edge);
  F.Move(F.Shifted(Edge, 25, 0));
  F.Release(F.Shifted(Edge, 25, 0));
  // The band shows the tree's leftmost indent (its tree column is at its
  // minimum) on top of its own width.
  ASSERT_GT(F.Tree->Bands()->LeftMostIndent(), 0);
  EXPECT_EQ(Band->Width() + F.Tree->Bands()->LeftMostIndent(), Before + 25);
}

// With RowSizing a row's lower edge (on its indicator) sets the height of
// every row; near a row's top the edge is the row above's.
TEST(TreeListSizing, ARowsLowerEdgeSetsTheRowHeight) {
  TSizingFixture F;
  F.View()->SetIndicator(true);
  F.Tree->LayoutChanged();
  const TRect Indicator = F.Row(F.A1)->Indicator->DisplayRect();
  const TPoint Edge{(Indicator.Left + Indicator.Right) / 2, Indicator.Bottom - 2};
  EXPECT_FALSE(F.Tree->TreeListController()->PrepareSizing(Edge)) << "RowSizing is off";
  F.Tree->OptionsCustomizing()->SetRowSizing(true);
  ASSERT_TRUE(F.Tree->TreeListController()->PrepareSizing(Edge));
  EXPECT_EQ(F.Tree->HitTest()->EdgeNode(), F.A1);
  EXPECT_TRUE(F.Tree->TreeListController()->PrepareSizing(TPoint{Edge.X, Indicator.Bottom + 1}));
  EXPECT_EQ(F.Tree->HitTest()->EdgeNode(), F.A1) << "just below: the row above's edge";
  EXPECT_EQ(F.Tree->CursorAt(Edge.X, Edge.Y), crcxVertSize);
  const Integer Height = F.Tree->DefaultRowHeight();
  F.Press(Edge);
  F.Move(F.Shifted(Edge, 0, 12));
  F.Release(F.Shifted(Edge, 0, 12));
  EXPECT_EQ(F.Tree->DefaultRowHeight(), Height + 12);
  EXPECT_EQ(F.Row(F.B)->RowHeight, Height + 12);
}

// A double click on a header's right edge fits the column to its widest
// shown content; in the middle of the header it does not.
TEST(TreeListSizing, DoubleClickOnAnEdgeFitsTheColumn) {
  TSizingFixture F;
  F.B->SetValues(TTreeViewFixture::NameItem, Variant(String(u"a rather long name that needs room")));
  const TRect Header = F.HeaderRect(0);
  TestDoubleClick(F.Tree->Handle(), TPoint{(Header.Left + Header.Right) / 2, Header.Top + 3});
  Application->ProcessMessages();
  EXPECT_EQ(F.Column(0)->Width(), 100);
  TestDoubleClick(F.Tree->Handle(), F.RightEdge(Header));
  Application->ProcessMessages();
  const Integer Fitted = F.Column(0)->Width();
  EXPECT_GT(Fitted, 150);
  const TRect Cell = F.Row(F.B)->CellOfColumn(F.Column(0))->DisplayRect();
  EXPECT_GE(Cell.Width(), TextWidthInFont(F.Tree->Font(), u"a rather long name that needs room"));
  // A second fit changes nothing.
  TestDoubleClick(F.Tree->Handle(), F.RightEdge(F.HeaderRect(0)));
  Application->ProcessMessages();
  EXPECT_EQ(F.Column(0)->Width(), Fitted);
  EXPECT_EQ(F.Tree->DragAndDropState(), ddsNone);
}

// A column out of sight at the right scrolls into view, and back at the left.
TEST(TreeListColumnView, MakeVisibleScrollsTheHeaderIntoView) {
  TSizingFixture F;
  F.Column(0)->SetWidth(400);
  F.Tree->LayoutChanged();
  ASSERT_GT(F.HeaderRect(1).Right, F.Tree->ContentBounds().Right);
  F.Column(1)->MakeVisible();
  EXPECT_LE(F.HeaderRect(1).Right, F.Tree->ContentBounds().Right);
  EXPECT_GE(F.HeaderRect(1).Left, F.Tree->ContentBounds().Left);
  F.Column(0)->MakeVisible();
  EXPECT_EQ(F.HeaderRect(0).Left, F.Tree->ContentBounds().Left);
}
