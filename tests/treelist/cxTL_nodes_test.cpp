// Tree list nodes: attaching, moving, deleting, expanding and numbering.
#include <functional>
#include <random>

#include "treelist_test_control.h"

namespace {

// a(a1,a2), b, c(c1)
struct TTree {
  TTestTreeList List;
  TcxTreeListNode* A = List.Make(nullptr, "a");
  TcxTreeListNode* A1 = List.Make(A, "a1");
  TcxTreeListNode* A2 = List.Make(A, "a2");
  TcxTreeListNode* B = List.Make(nullptr, "b");
  TcxTreeListNode* C = List.Make(nullptr, "c");
  TcxTreeListNode* C1 = List.Make(C, "c1");
  TcxTreeListNode* Root() { return List.Nodes()->Root(); }
};

TEST(TreeListNodes, AttachModesPlaceTheNewNode) {
  struct TCase {
    const char* Name;
    TcxTreeListNodeAttachMode Mode;
    int Relative;  // 0 none, 1 node a, 2 node a2
    const char* Expected;
  };
  // Sibling modes take the parent as their relative, as MoveTo passes it.
  const TCase Cases[] = {
      {"add at top", tlamAdd, 0, "a+(a1,a2),b,c+(c1),n"},
      {"add-first at top", tlamAddFirst, 0, "n,a+(a1,a2),b,c+(c1)"},
      {"add-child", tlamAddChild, 1, "a+(a1,a2,n),b,c+(c1)"},
      {"add-child-first", tlamAddChildFirst, 1, "a+(n,a1,a2),b,c+(c1)"},
      {"insert before a2", tlamInsert, 2, "a+(a1,n,a2),b,c+(c1)"},
      {"insert without relative appends under the root", tlamInsert, 0, "a+(a1,a2),b,c+(c1),n"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTree T;
    TcxTreeListNode* Relative = Case.Relative == 1 ? T.A : Case.Relative == 2 ? T.A2 : nullptr;
    TcxTreeListNode* N = T.List.AddNode(nullptr, Relative, Case.Mode);
    N->SetValues(TTestTreeList::NameItem, Variant(String(u"n")));
    EXPECT_EQ(Shape(T.Root()), Case.Expected);
    ExpectSound(T.List);
  }
}

TEST(TreeListNodes, MovesFollowTheModeAndRefuseTheOwnSubtree) {
  struct TCase {
    const char* Name;
    std::function<void(TTree&)> Move;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"child of another parent", [](TTree& T) { T.A1->MoveTo(T.C, tlamAddChild); }, "a+(a2),b,c+(c1,a1)"},
      {"first child", [](TTree& T) { T.B->MoveTo(T.C, tlamAddChildFirst); }, "a+(a1,a2),c+(b,c1)"},
      {"sibling: last of the target's parent", [](TTree& T) { T.C1->MoveTo(T.A1, tlamAdd); }, "a+(a1,a2,c1),b,c"},
      {"sibling: first of the target's parent", [](TTree& T) { T.C1->MoveTo(T.B, tlamAddFirst); }, "c1,a+(a1,a2),b,c"},
      {"insert before", [](TTree& T) { T.C->MoveTo(T.A2, tlamInsert); }, "a+(a1,c+(c1),a2),b"},
      {"refused: into its own child", [](TTree& T) { T.A->MoveTo(T.A1, tlamAddChild); }, "a+(a1,a2),b,c+(c1)"},
      {"refused: before its own child", [](TTree& T) { T.A->MoveTo(T.A2, tlamInsert); }, "a+(a1,a2),b,c+(c1)"},
      {"refused: onto itself", [](TTree& T) { T.A->MoveTo(T.A, tlamAddChild); }, "a+(a1,a2),b,c+(c1)"},
      {"refused: no target", [](TTree& T) { T.A->MoveTo(nullptr, tlamAddChild); }, "a+(a1,a2),b,c+(c1)"},
      {"refused: add-child to its own parent", [](TTree& T) { T.A1->MoveTo(T.A, tlamAddChild); }, "a+(a1,a2),b,c+(c1)"},
      {"refused: straight through the store into its subtree",
       [](TTree& T) { T.List.Nodes()->AddNode(T.A, T.A2, tlamAddChild); }, "a+(a1,a2),b,c+(c1)"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTree T;
    Case.Move(T);
    EXPECT_EQ(Shape(T.Root()), Case.Expected);
    ExpectSound(T.List);
  }
}

TEST(TreeListNodes, ItemsChecksItsIndex) {
  TTree T;
  EXPECT_EQ(T.A->Items(1), T.A2);
  EXPECT_EQ(T.Root()->Items(2), T.C);
  for (Integer Bad : {-1, 2}) {
    try {
      T.A->Items(Bad);
      ADD_FAILURE() << Bad;
    } catch (const EcxTreeList& E) {
      EXPECT_EQ(E.Message, Bad < 0 ? u"Index -1 out of bounds" : u"Index 2 out of bounds");
    }
  }
}

TEST(TreeListNodes, WalksInBothOrders) {
  TTree T;
  T.A->SetExpanded(true);
  std::string Next, NextVisible, Prev;
  for (TcxTreeListNode* N = T.Root()->GetFirstChild(); N; N = N->GetNext()) Next += TTestTreeList::Name(N) + " ";
  for (TcxTreeListNode* N = T.Root()->GetFirstChild(); N; N = N->GetNextVisible())
    NextVisible += TTestTreeList::Name(N) + " ";
  for (TcxTreeListNode* N = T.C1; N; N = N->GetPrev()) Prev += TTestTreeList::Name(N) + " ";
  EXPECT_EQ(Next, "a a1 a2 b c c1 ");
  EXPECT_EQ(NextVisible, "a a1 a2 b c ");
  EXPECT_EQ(Prev, "c1 c b a2 a1 a ");
  EXPECT_EQ(T.C->GetPrevVisible(), T.B);
  EXPECT_EQ(T.B->GetPrevVisible(), T.A2);
  EXPECT_EQ(T.A->GetPrevVisible(), nullptr);
  EXPECT_TRUE(T.A->IsFirstVisible());
  EXPECT_TRUE(T.C->IsLastVisible());
  EXPECT_FALSE(T.C1->IsVisible());
  EXPECT_EQ(T.C1->Level(), 1);
  EXPECT_TRUE(T.C1->HasAsParent(T.C));
  EXPECT_FALSE(T.C1->HasAsParent(T.A));
}

TEST(TreeListNodes, ExpandAndCollapseKeepTheStateBits) {
  TTree T;
  // New nodes are collapsed.
  EXPECT_TRUE(T.A->State() & tlnsCollapsed);
  EXPECT_FALSE(T.A->Expanded());
  T.A->SetExpanded(true);
  EXPECT_TRUE(T.A->Expanded());
  EXPECT_EQ(T.A->State() & (tlnsCollapsed | tlnsHasChildren), tlnsHasChildren);
  T.A->SetExpanded(false);
  EXPECT_EQ(T.A->State() & (tlnsCollapsed | tlnsHasChildren), tlnsCollapsed | tlnsHasChildren);
  EXPECT_EQ(T.List.Events, (std::vector<std::string>{"expanded a", "collapsed a"}));

  // A leaf does not expand and fires nothing.
  T.List.Events.clear();
  T.B->SetExpanded(true);
  EXPECT_FALSE(T.B->Expanded());
  EXPECT_TRUE(T.List.Events.empty());

  // Marked as having children but without any: the expand clears the mark
  // and the node stays unexpanded.
  T.B->SetHasChildren(true);
  EXPECT_TRUE(T.B->HasChildren());
  T.B->SetExpanded(true);
  EXPECT_FALSE(T.B->HasChildren());
  EXPECT_FALSE(T.B->Expanded());

  // A refusing handler keeps the node collapsed.
  T.List.OnExpanding =
      TcxTreeListNodeAllowEvent(&T, [](TcxTreeListNodesOwner*, TcxTreeListNode*, bool& Allow) { Allow = false; });
  T.C->SetExpanded(true);
  EXPECT_FALSE(T.C->Expanded());
  T.List.OnExpanding = nullptr;

  // Removing the last child collapses the parent and clears its mark.
  T.C->SetExpanded(true);
  T.C1->Delete();
  EXPECT_EQ(T.C->State() & (tlnsCollapsed | tlnsHasChildren), tlnsCollapsed);
  EXPECT_FALSE(T.C->HasChildren());
}

TEST(TreeListNodes, ExpandAndCollapseAllNodesReachEveryLevel) {
  TTree T;
  TcxTreeListNode* Deep = T.List.Make(T.A1, "a11");
  T.List.ExpandAllNodes();
  EXPECT_EQ(Shape(T.Root()), "a(a1(a11),a2),b,c(c1)");
  EXPECT_EQ(Deep->VisibleIndex(), 2);
  EXPECT_EQ(T.List.Nodes()->ShownNodeCount(), 7);
  T.List.CollapseAllNodes();
  EXPECT_EQ(Shape(T.Root()), "a+(a1+(a11),a2),b,c+(c1)");
  EXPECT_EQ(T.List.Nodes()->ShownNodeCount(), 3);
}

// A value written into the focused record while it is edited goes through
// the edit (a cancel takes it back); any other node's value is stored at once.
TEST(TreeListNodes, ValuesOfTheEditedRecordGoThroughTheEdit) {
  TTree T;
  TcxControlDataController* DC = T.List.DataController();
  T.B->SetFocused(true);
  DC->Edit();
  ASSERT_TRUE(DC->GetEditState() & dceEdit);
  T.B->SetValues(TTestTreeList::NameItem, Variant(String(u"typed")));
  T.C->SetValues(TTestTreeList::NameItem, Variant(String(u"stored")));
  DC->CancelRecord();
  EXPECT_EQ(TTestTreeList::Name(T.B), "b");
  EXPECT_EQ(TTestTreeList::Name(T.C), "stored");
}

TEST(TreeListNodes, DeletingFreesTheRecordsAndKeepsTheOthersValues) {
  TTree T;
  T.List.Events.clear();
  T.A->Delete();
  // The parent fires first; its children are freed without unlinking one by one.
  EXPECT_EQ(T.List.Events, (std::vector<std::string>{"deleted a", "deleted a1", "deleted a2"}));
  EXPECT_EQ(Shape(T.Root()), "b,c+(c1)");
  ExpectSound(T.List);
  // The records were compacted: every survivor still reads its own name.
  std::string Names;
  for (TcxTreeListNode* N = T.Root()->GetFirstChild(); N; N = N->GetNext()) Names += TTestTreeList::Name(N);
  EXPECT_EQ(Names, "bcc1");
  EXPECT_EQ(T.C1->RecordIndex(), 2);

  // A record no node owns yet (as while a loader works) keeps its place:
  // the nodes after it still read their own values.
  const Integer Loose = T.List.DataController()->AppendRecord();
  TcxTreeListNode* D = T.List.Make(nullptr, "d");
  T.B->Delete();
  EXPECT_EQ(TTestTreeList::Name(D), "d");
  EXPECT_EQ(D->RecordIndex(), Loose);
  EXPECT_EQ(T.List.GetNodeByRecord(Loose - 1), nullptr);
  EXPECT_EQ(TTestTreeList::Name(T.C1), "c1");

  // Clearing frees the records of the nodes only.
  T.List.Clear();
  EXPECT_EQ(T.Root()->Count(), 0);
  EXPECT_EQ(T.List.DataController()->GetRecordCount(), 1);
}

TEST(TreeListNodes, CopyIntoTheOwnSubtreeCopiesTheSubtreeAsItWas) {
  TTree T;
  TcxTreeListNode* Copy = T.List.CopyNode(T.A, T.A1);
  EXPECT_EQ(TTestTreeList::Name(Copy), "a");
  EXPECT_EQ(Shape(T.A), "a1+(a+(a1,a2)),a2");
  ExpectSound(T.List);
}

TEST(TreeListNodes, MakeVisibleExpandsTheAncestors) {
  TTestTreeList L;
  TcxTreeListNode* A = L.Make(nullptr, "a");
  TcxTreeListNode* B = L.Make(A, "b");
  TcxTreeListNode* C = L.Make(B, "c");
  EXPECT_EQ(C->VisibleIndex(), -1);
  C->MakeVisible();
  EXPECT_TRUE(A->Expanded());
  EXPECT_TRUE(B->Expanded());
  EXPECT_EQ(C->VisibleIndex(), 2);
}

TEST(TreeListNodes, OnlyTheFocusedNodeGivesTheFocusUp) {
  TTree T;
  T.B->SetFocused(true);
  T.A->SetFocused(false);  // not focused: the focus stays on b
  EXPECT_TRUE(T.B->Focused());
  T.B->SetFocused(false);
  EXPECT_FALSE(T.B->Focused());
  EXPECT_EQ(T.List.DataController()->GetFocusedRecordIndex(), -1);
}

TEST(TreeListNodes, SelectionFollowsTheFocusWithoutMultiSelect) {
  TTree T;
  T.B->SetFocused(true);
  EXPECT_TRUE(T.B->Focused());
  T.A->SetSelected(true);
  EXPECT_FALSE(T.A->Selected());
  EXPECT_TRUE(T.B->Selected());

  T.List.SetMultiSelect(true);
  T.List.OnCanSelectNode =
      TcxTreeListNodeAllowEvent(&T, [&](TcxTreeListNodesOwner*, TcxTreeListNode* N, bool& Allow) { Allow = N != T.C; });
  T.A->SetSelected(true);
  T.C->SetSelected(true);
  EXPECT_TRUE(T.A->Selected());
  EXPECT_FALSE(T.C->Selected());
  T.A->Delete();
  EXPECT_TRUE(T.List.SelectionList().empty());
}

// The visible indexes, the visible count and the deepest level against a
// plain walk, on random trees with random expansion.
TEST(TreeListNodes, VisibleNumberingMatchesALinearWalk) {
  std::mt19937 Random(20261210);
  for (int Round = 0; Round < 40; ++Round) {
    SCOPED_TRACE(Round);
    TTestTreeList L;
    std::vector<TcxTreeListNode*> All;
    const int Count = 1 + int(Random() % 200);
    for (int I = 0; I < Count; ++I) {
      TcxTreeListNode* Parent = All.empty() || Random() % 4 == 0 ? nullptr : All[Random() % All.size()];
      All.push_back(L.AddNode(nullptr, Parent, Random() % 2 ? tlamAddChild : tlamAddChildFirst));
    }
    for (TcxTreeListNode* N : All) N->SetExpanded(Random() % 3 != 0);
    // Numbering goes out of date and comes back after a collapse.
    L.Nodes()->ShownNodeCount();
    All[Random() % All.size()]->SetExpanded(false);

    Integer Expected = 0, MaxLevel = -1;
    std::vector<TcxTreeListNode*> Order;
    for (TcxTreeListNode* N = L.Nodes()->Root()->GetFirstChild(); N; N = N->GetNext()) {
      if (!N->IsVisible()) continue;
      Order.push_back(N);
      MaxLevel = std::max(MaxLevel, N->Level());
    }
    ASSERT_EQ(L.Nodes()->ShownNodeCount(), Integer(Order.size()));
    EXPECT_EQ(L.Nodes()->MaxLevel(), MaxLevel);
    for (TcxTreeListNode* N : Order) EXPECT_EQ(N->VisibleIndex(), Expected++);
    for (TcxTreeListNode* N : All) {
      if (!N->IsVisible()) {
        EXPECT_EQ(N->VisibleIndex(), -1);
      }
    }
    // The row lookup from a random top row finds every row.
    L.Nodes()->SetShownTopIndex(Integer(Random() % Order.size()));
    for (Integer I = 0; I < Integer(Order.size()); ++I) {
      Integer Index = I;
      EXPECT_EQ(L.Nodes()->GetNodeByVisibleIndex(Index), Order[size_t(I)]);
      EXPECT_EQ(Index, I);
    }
  }
}

TEST(TreeListNodes, TopIndexBeyondTheRowsComesBackToTheLastRow) {
  TTree T;
  Integer Index = 99;
  EXPECT_EQ(T.List.Nodes()->GetNodeByVisibleIndex(Index), T.C);
  EXPECT_EQ(Index, 2);
  T.List.Nodes()->SetShownTopIndex(2);
  T.B->Delete();
  T.A1->Delete();
  T.A2->Delete();
  EXPECT_EQ(T.List.Nodes()->ShownNodeCount(), 2);
  EXPECT_EQ(T.List.Nodes()->ShownTopIndex(), 1);
  EXPECT_EQ(T.List.Nodes()->ShownTopNode(), T.C);
}

TEST(TreeListNodes, TheTopIndexOutlivesTheNumberingInsideAnUpdate) {
  TTree T;
  TcxTreeListNodes* Nodes = T.List.Nodes();
  T.A->Expand(false);  // a, a1, a2, b, c shown
  Nodes->SetShownTopIndex(3);
  ASSERT_EQ(Nodes->ShownTopNode(), T.B);
  T.List.BeginUpdate();
  // Inside an update nothing is numbered and no top row is kept ...
  EXPECT_EQ(Nodes->ShownNodeCount(), -1);
  EXPECT_EQ(Nodes->ShownTopNode(), nullptr);
  T.List.EndUpdate();
  // ... but the first numbering after it gives the top index back.
  EXPECT_EQ(Nodes->ShownNodeCount(), 5);
  EXPECT_EQ(Nodes->ShownTopIndex(), 3);
  EXPECT_EQ(Nodes->ShownTopNode(), T.B);
  // An index set for after the update wins; past the rows it comes back to the last row.
  T.List.BeginUpdate();
  Nodes->ShownNodeCount();
  Nodes->SetTopIndexAfterUpdate(9);
  T.List.EndUpdate();
  EXPECT_EQ(Nodes->ShownNodeCount(), 5);
  EXPECT_EQ(Nodes->ShownTopNode(), T.C);
  // A tree cleared inside the update starts again at the top.
  Nodes->SetShownTopIndex(2);
  T.List.BeginUpdate();
  Nodes->ShownNodeCount();
  T.List.Clear();
  T.List.Make(nullptr, "x");
  T.List.Make(nullptr, "y");
  T.List.EndUpdate();
  EXPECT_EQ(Nodes->ShownNodeCount(), 2);
  EXPECT_EQ(Nodes->ShownTopIndex(), 0);
}

}  // namespace
