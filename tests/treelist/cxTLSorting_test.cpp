// Node sorting: by items with the record order as the last tie-break, by a
// compare function or handler, and never past the children whatever the
// comparison answers.
#include <functional>
#include <map>
#include <random>

#include "treelist/cxTLSorting.h"
#include "treelist_test_control.h"

namespace {

// Names with ties at both levels: top "y","x","y","x" (records 0, 1, 3, 5)
// with children under the first "y" and the second "x".
struct TTree {
  TTestTreeList List;
  TTree() {
    TcxTreeListNode* Y = List.Make(nullptr, "y");
    List.Make(nullptr, "x");
    List.Make(Y, "q");
    List.Make(nullptr, "y");
    List.Make(Y, "p");
    TcxTreeListNode* X = List.Make(nullptr, "x");
    List.Make(X, "q");
    List.Make(X, "q");
    List.OnSorting = TcxTreeListNotifyEvent(this, [this](TcxTreeListNodesOwner*) { List.Log("sorting"); });
    List.OnAfterSorting = TcxTreeListNotifyEvent(this, [this](TcxTreeListNodesOwner*) { List.Log("sorted"); });
    List.OnChange = TcxTreeListNotifyEvent(this, [this](TcxTreeListNodesOwner*) { List.Log("change"); });
  }
  TcxTreeListNode* Root() { return List.Nodes()->Root(); }
  // Each node's name and record, depth first.
  std::string Order() {
    std::string Result;
    for (TcxTreeListNode* N = Root()->GetFirstChild(); N; N = N->GetNext())
      Result += std::string(N->Level(), '.') + TTestTreeList::Name(N) + std::to_string(N->RecordIndex()) + " ";
    return Result;
  }
  // The parent record of every record.
  std::map<Integer, Integer> Parents() {
    std::map<Integer, Integer> Result;
    for (TcxTreeListNode* N = Root()->GetFirstChild(); N; N = N->GetNext())
      Result[N->RecordIndex()] = N->Parent()->RecordIndex();
    return Result;
  }
};

TEST(TreeListSorting, TiesKeepTheRecordOrderInBothDirections) {
  struct TCase {
    TcxDataSortOrder Order;
    const char* Expected;
  };
  const TCase Cases[] = {
      {soAscending, "x1 x5 .q6 .q7 y0 .p4 .q2 y3 "},
      {soDescending, "y0 .q2 .p4 y3 x1 x5 .q6 .q7 "},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Order);
    TTree T;
    const auto Parents = T.Parents();
    T.List.SetItemSortOrder(TTestTreeList::NameItem, Case.Order);
    EXPECT_EQ(T.Order(), Case.Expected);
    EXPECT_EQ(T.Parents(), Parents);
    ExpectSound(T.List);
    EXPECT_EQ(T.List.Events, (std::vector<std::string>{"sorting", "change", "sorted"}));
  }
}

TEST(TreeListSorting, SortedItemsApplyInTheOrderTheyGotASortOrder) {
  TTree T;
  // Key descending alone reverses; adding the name afterwards changes nothing
  // because the key already decides every pair.
  T.List.SetItemSortOrder(TTestTreeList::KeyItem, soDescending);
  T.List.SetItemSortOrder(TTestTreeList::NameItem, soAscending);
  EXPECT_EQ(T.Order(), "x5 .q7 .q6 y3 x1 y0 .p4 .q2 ");
  // Without the key the name decides again; the tree keeps its order when
  // the last sort order goes.
  T.List.SetItemSortOrder(TTestTreeList::KeyItem, soNone);
  EXPECT_EQ(T.Order(), "x1 x5 .q6 .q7 y0 .p4 .q2 y3 ");
  T.List.SetItemSortOrder(TTestTreeList::NameItem, soNone);
  EXPECT_EQ(T.Order(), "x1 x5 .q6 .q7 y0 .p4 .q2 y3 ");
}

TEST(TreeListSorting, HandlerAndFunctionReplaceTheSortedItems) {
  TTree T;
  T.List.BeginSort();
  T.List.SetItemSortOrder(TTestTreeList::NameItem, soAscending);
  EXPECT_EQ(T.Order(), "y0 .q2 .p4 x1 y3 x5 .q6 .q7 ");  // held back by BeginSort
  T.List.OnCompare = TcxTreeListCompareEvent(&T, [](TcxTreeListNodesOwner*, TcxTreeListNode* A, TcxTreeListNode* B,
                                                    Integer& R) { R = B->RecordIndex() - A->RecordIndex(); });
  T.List.EndSort();
  EXPECT_EQ(T.Order(), "x5 .q7 .q6 y3 x1 y0 .p4 .q2 ");

  // A compare function sorts one parent only unless asked to recurse.
  T.Root()->SortByCompare([](TcxTreeListNode* A, TcxTreeListNode* B) { return A->RecordIndex() - B->RecordIndex(); },
                          false);
  EXPECT_EQ(T.Order(), "y0 .p4 .q2 x1 y3 x5 .q7 .q6 ");
}

TEST(TreeListSorting, ASingleChildCountsAsAChange) {
  TTestTreeList L;
  L.Make(L.Make(nullptr, "a"), "b");
  Integer Changes = 0;
  L.OnChange = TcxTreeListNotifyEvent(&Changes, [&](TcxTreeListNodesOwner*) { ++Changes; });
  L.Nodes()->Root()->GetFirstChild()->AlphaSort(false);
  EXPECT_EQ(Changes, 1);
}

// Comparisons that are no order: a handler that sets nothing (every pair,
// a node with itself included, answers 1), one that answers -1 for all,
// random answers, and one whose answers change while it sorts (a scan
// without bounds runs off the children there). The sort ends, every node keeps its parent, and the links
// stay sound.
TEST(TreeListSorting, ComparisonsThatAreNoOrderCannotBreakTheSort) {
  std::mt19937 Random(7);
  const std::vector<std::pair<const char*, std::function<Integer()>>> Answers{
      {"sets nothing", [] { return 1; }},
      {"always below", [] { return -1; }},
      {"random", [&] { return Integer(Random() % 3) - 1; }},
      {"changes its mind: below for a thousand answers, then above",
       [Calls = 0]() mutable { return ++Calls <= 1000 ? -1 : 1; }},
  };
  for (const auto& [Name, Answer] : Answers) {
    SCOPED_TRACE(Name);
    TTestTreeList L;
    for (int I = 0; I < 300; ++I) L.Make(I % 10 ? L.Nodes()->Root()->GetLastChild() : nullptr, "n");
    std::map<Integer, Integer> Parents;
    for (TcxTreeListNode* N = L.Nodes()->Root()->GetFirstChild(); N; N = N->GetNext())
      Parents[N->RecordIndex()] = N->Parent()->RecordIndex();
    bool AfterSorting = false;
    L.OnAfterSorting = TcxTreeListNotifyEvent(&AfterSorting, [&](TcxTreeListNodesOwner*) { AfterSorting = true; });
    if (std::string(Name) == "sets nothing")
      L.OnCompare =
          TcxTreeListCompareEvent(&L, [](TcxTreeListNodesOwner*, TcxTreeListNode*, TcxTreeListNode*, Integer&) {});
    else
      L.OnCompare = TcxTreeListCompareEvent(
          &L, [&](TcxTreeListNodesOwner*, TcxTreeListNode*, TcxTreeListNode*, Integer& R) { R = Answer(); });
    L.SetItemSortOrder(TTestTreeList::NameItem, soAscending);
    EXPECT_TRUE(AfterSorting);
    for (TcxTreeListNode* N = L.Nodes()->Root()->GetFirstChild(); N; N = N->GetNext())
      EXPECT_EQ(N->Parent()->RecordIndex(), Parents[N->RecordIndex()]);
    ExpectSound(L);
    EXPECT_EQ(SortingManager()->ContextCount(), 0);
  }
}

TEST(TreeListSorting, AnErrorInTheComparisonStillFinishesTheSort) {
  TTree T;
  bool AfterSorting = false;
  T.List.OnAfterSorting = TcxTreeListNotifyEvent(&AfterSorting, [&](TcxTreeListNodesOwner*) { AfterSorting = true; });
  T.List.OnCompare = TcxTreeListCompareEvent(&T, [](TcxTreeListNodesOwner*, TcxTreeListNode*, TcxTreeListNode*,
                                                    Integer&) { throw EcxTreeList("compare failed"); });
  T.List.BeginSort();
  T.List.SetItemSortOrder(TTestTreeList::NameItem, soAscending);
  EXPECT_THROW(T.List.EndSort(), EcxTreeList);
  EXPECT_TRUE(AfterSorting);
  EXPECT_EQ(SortingManager()->ContextCount(), 0);
  ExpectSound(T.List);
}

}  // namespace
