// The tree list's shown rows seen from the control: how many rows show
// whole, which node shows last, putting a chosen node on top, the vertical
// scroll bar, and the top row and the node to show across an update.
#include <gtest/gtest.h>

#include <string>

#include "treelist_view_fixture.h"

namespace {

// The fixture's tree followed by 100 more top-level nodes, more than one page.
struct TLongTree : TTreeViewFixture {
  TLongTree() {
    Tree->BeginUpdate();
    for (Integer I = 0; I < 100; ++I) Make(nullptr, "n" + std::to_string(I));
    Tree->EndUpdate();
  }
  TcxTreeListNode* Shown(Integer AVisibleIndex) { return Tree->Nodes()->GetNodeByVisibleIndex(AVisibleIndex); }
  TcxTreeListNode* FirstDisplayed() { return Layout()->Rows(0)->Node; }
};

}  // namespace

TEST(TreeListScrolling, VisibleRowCountIsUnknownWithoutAWindow) {
  EnsureGuiRuntime();
  TcxCustomTreeListControl Loose;
  Loose.CreateColumn();
  Loose.AddNode(nullptr, nullptr, tlamAddChild);
  EXPECT_EQ(Loose.VisibleRowCount(), -1);
  EXPECT_EQ(Loose.GetLastDisplayedNode(), nullptr);
}

TEST(TreeListScrolling, TheLastDisplayedNodeEndsTheWholeRows) {
  TLongTree F;
  const Integer Rows = F.Tree->VisibleRowCount();
  ASSERT_GT(Rows, 2);
  EXPECT_EQ(Rows, F.Layout()->FullRowCount());
  EXPECT_EQ(F.Tree->GetLastDisplayedNode(), F.Shown(Rows - 1));
  // A collapsed parent's children are skipped: the rows show the next nodes.
  F.A->Collapse(false);
  EXPECT_EQ(F.Tree->GetLastDisplayedNode(), F.Shown(Rows - 1));
  EXPECT_EQ(F.Tree->GetLastDisplayedNode()->VisibleIndex(), Rows - 1);
  // Scrolled to the end the last node shows last.
  F.Tree->SetTopVisibleIndex(10000);
  EXPECT_EQ(F.Tree->GetLastDisplayedNode(), F.Tree->Nodes()->Root()->GetLastChild());
}

TEST(TreeListScrolling, FewerNodesThanRowsEndWithTheLastNode) {
  TTreeViewFixture F;
  EXPECT_EQ(F.Tree->VisibleRowCount(), 6);  // only rows that hold a node count
  EXPECT_EQ(F.Tree->GetLastDisplayedNode(), F.C);
}

TEST(TreeListScrolling, SetShownTopNodePutsAShownNodeOnTop) {
  TLongTree F;
  const Integer Rows = F.Tree->VisibleRowCount();
  TcxTreeListNode* Middle = F.Shown(40);
  F.Tree->SetShownTopNode(Middle);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), 40);
  EXPECT_EQ(F.FirstDisplayed(), Middle);
  EXPECT_EQ(F.Tree->GetLastDisplayedNode(), F.Shown(40 + Rows - 1));
  // A hidden node or none leaves the rows as they are.
  F.Tree->SetShownTopNode(nullptr);
  EXPECT_EQ(F.FirstDisplayed(), Middle);
  F.A2->Collapse(false);
  TcxTreeListNode* Top = F.FirstDisplayed();
  F.Tree->SetShownTopNode(F.A21);
  EXPECT_EQ(F.FirstDisplayed(), Top);
  // A node near the end: the last page stays full.
  TcxTreeListNode* Last = F.Tree->Nodes()->Root()->GetLastChild();
  F.Tree->SetShownTopNode(Last->GetPrevSibling());
  EXPECT_EQ(F.Tree->GetLastDisplayedNode(), Last);
  EXPECT_EQ(F.Tree->TopVisibleIndex(), Last->VisibleIndex() - Rows + 1);
}

TEST(TreeListScrolling, TheVerticalBarPagesByWholeRowsOnlyWhileSomeNodesHide) {
  TLongTree F;
  auto Bar = [&] {
    F.Layout();
    return F.Tree->VScrollBar();
  };
  const Integer Count = F.Tree->Nodes()->ShownNodeCount();
  EXPECT_TRUE(Bar()->Visible() && Bar()->Enabled());
  EXPECT_EQ(Bar()->Min(), 0);
  EXPECT_EQ(Bar()->Max(), Count - 1);
  EXPECT_EQ(Bar()->PageSize(), F.Tree->VisibleRowCount());
  F.Tree->SetTopVisibleIndex(30);
  EXPECT_EQ(Bar()->Position(), 30);
  // Taller rows (a preview under each) make a shorter page than plain rows would.
  const Integer PlainRows = F.Tree->VisibleRowCount();
  F.Tree->Preview()->SetColumn(F.Column(1));
  F.Tree->Preview()->SetVisible(true);
  const Integer PreviewRows = F.Tree->VisibleRowCount();
  ASSERT_LT(PreviewRows, PlainRows);
  EXPECT_EQ(Bar()->PageSize(), PreviewRows);
  F.Tree->Preview()->SetVisible(false);
  // No use without rows on screen (no column shows) or with every node on screen.
  F.Column(0)->SetVisible(false);
  F.Column(1)->SetVisible(false);
  EXPECT_FALSE(Bar()->Visible() && Bar()->Enabled());
  F.Column(0)->SetVisible(true);
  EXPECT_TRUE(Bar()->Visible() && Bar()->Enabled());
  TTreeViewFixture Short;
  Short.Layout();
  EXPECT_FALSE(Short.Tree->VScrollBar()->Visible() && Short.Tree->VScrollBar()->Enabled());
}

TEST(TreeListScrolling, AnUpdateKeepsTheTopRowAndShowsTheNodeMadeVisibleInside) {
  TLongTree F;
  const Integer Rows = F.Tree->VisibleRowCount();
  ASSERT_GT(Rows, 4);
  const Integer Top = 40;
  struct TCase {
    const char* Name;
    Integer Shown;  // visible index of the node made visible inside (-1: none)
    Integer AskedTop;  // top index set inside (-1: none)
    Integer ExpectedTop;
  };
  const TCase Cases[] = {
      {"only positions read inside", -1, -1, Top},
      {"a top row asked for inside", -1, 25, 25},
      {"a node on the page", Top + 2, -1, Top},
      {"a node below the page", 80, -1, 80 - Rows + 1},
      {"a node above the page", 10, -1, 10},
      {"a top row asked for after a node", 80, 25, 25},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    F.Tree->SetTopVisibleIndex(Top);
    ASSERT_EQ(F.Tree->TopVisibleIndex(), Top);
    TcxTreeListNode* Node = Case.Shown >= 0 ? F.Shown(Case.Shown) : nullptr;
    F.Tree->BeginUpdate();
    // Reading positions inside an update numbers nothing and keeps no top row.
    EXPECT_EQ(F.Tree->Nodes()->ShownNodeCount(), -1);
    F.C->VisibleIndex();
    if (Node) Node->MakeVisible();
    if (Case.AskedTop >= 0) F.Tree->SetTopVisibleIndex(Case.AskedTop);
    F.Tree->EndUpdate();
    EXPECT_EQ(F.Tree->TopVisibleIndex(), Case.ExpectedTop);
    EXPECT_EQ(F.FirstDisplayed(), F.Shown(Case.ExpectedTop));
  }
}

TEST(TreeListScrolling, NodesAddedOrFocusedInsideAnUpdateShowAfterIt) {
  TLongTree F;
  F.Tree->SetTopVisibleIndex(20);
  F.Tree->SetFocusedNode(F.Shown(25));
  // A node made visible and then freed inside the update is forgotten: the top row stays.
  TcxTreeListNode* Gone = F.Shown(90);
  F.Tree->BeginUpdate();
  Gone->MakeVisible();
  Gone->Delete();
  F.Tree->EndUpdate();
  EXPECT_EQ(F.Tree->TopVisibleIndex(), 20);
  F.Tree->BeginUpdate();
  TcxTreeListNode* Added = F.Make(nullptr, "added");
  Added->MakeVisible();
  F.Tree->EndUpdate();
  EXPECT_EQ(F.Tree->GetLastDisplayedNode(), Added);
  // The focus moved far down inside an update.
  TcxTreeListNode* Far = F.Shown(90);
  F.Tree->SetTopVisibleIndex(0);
  F.Tree->BeginUpdate();
  F.Tree->SetFocusedNode(Far);
  F.Tree->EndUpdate();
  EXPECT_EQ(F.Tree->FocusedNode(), Far);
  EXPECT_EQ(F.Tree->GetLastDisplayedNode(), Far);
}

TEST(TreeListScrolling, SortingScrollsTheFocusedNodeIntoView) {
  TLongTree F;
  F.Tree->SetFocusedNode(F.B);
  ASSERT_EQ(F.Tree->TopVisibleIndex(), 0);
  // The top level reversed: b goes near the end.
  F.Tree->Nodes()->Root()->SortByCompare(
      [](TcxTreeListNode* A, TcxTreeListNode* B) { return B->RecordIndex() - A->RecordIndex(); }, false);
  ASSERT_GT(F.B->VisibleIndex(), F.Tree->VisibleRowCount());
  EXPECT_EQ(F.Tree->FocusedNode(), F.B);
  EXPECT_NE(F.Row(F.B), nullptr);
}

TEST(TreeListScrolling, FreeingNodesOnScreenFocusesNoNodeWhenNoneWasFocused) {
  for (bool InsideAnUpdate : {false, true}) {
    SCOPED_TRACE(InsideAnUpdate ? "inside an update" : "outside");
    TLongTree F;
    ASSERT_EQ(F.Tree->FocusedNode(), nullptr);
    if (InsideAnUpdate) F.Tree->BeginUpdate();
    F.Make(nullptr, "gone")->Delete();
    if (InsideAnUpdate) F.Tree->EndUpdate();
    EXPECT_EQ(F.Tree->FocusedNode(), nullptr);
    if (InsideAnUpdate) F.Tree->BeginUpdate();
    F.C->Delete();
    if (InsideAnUpdate) F.Tree->EndUpdate();
    EXPECT_EQ(F.Tree->FocusedNode(), nullptr);
  }
}
