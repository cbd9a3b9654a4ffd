// The tree list's shown rows seen from the control: how many rows show
// whole, which node shows last, and putting a chosen node on top.
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
