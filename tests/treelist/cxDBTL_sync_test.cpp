// The dataset-bound tree list and its table kept equal when either side
// changes: key and parent values edited in the tree or elsewhere, rows
// added and deleted elsewhere, and the dataset's cursor moved elsewhere.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/treelist/dbtreelist_fixture.h"
#include "treelist/cxDBTL.h"

namespace {

// Items of the columns the tests add after name and code.
enum { ParentItem = 2, KeyItem = 3 };

// The tree with its key and parent columns too, nodes 1, 2 and 7 expanded.
struct TEditableTree : TBoundTree {
  TEditableTree() {
    Tree->CreateDBColumn(u"parent_id");
    Tree->CreateDBColumn(u"id");
    for (Integer Key : {1, 2, 7}) Node(Key)->Expand(false);
  }
  // What the in-place editor does when it stores a cell of ANode: focus,
  // edit, set the item's edit value, post.
  static void StoreCell(TcxDBTreeList* ATree, TcxTreeListNode* ANode, Integer AItem, const Variant& AValue) {
    ATree->SetFocusedNode(ANode);
    TcxControlDataController* DC = ATree->DataController();
    DC->Edit();
    ASSERT_TRUE(DC->SetItemEditValue(AItem, AValue));
    DC->PostRecord();
  }
  void StoreCell(TcxTreeListNode* ANode, Integer AItem, const Variant& AValue) {
    StoreCell(Tree.get(), ANode, AItem, AValue);
  }
  // Another tree with the key and parent columns.
  std::unique_ptr<TcxDBTreeList> NewEditableTree() {
    std::unique_ptr<TcxDBTreeList> Result = NewTree();
    Result->CreateDBColumn(u"parent_id");
    Result->CreateDBColumn(u"id");
    Result->ExpandAllNodes();
    return Result;
  }
  bool ExpandedWhereTheyHaveChildren() const {
    for (Integer Key : {1, 2, 7})
      if (TcxTreeListDataNode* N = Node(Key); N && N->Count() > 0 && !N->Expanded()) return false;
    return true;
  }
  Integer CurrentKey() const { return Fixture.Query->FieldByName(u"id")->Value().AsInteger(); }
  // The shape a tree freshly loaded from the table has.
  std::string FreshShape() { return ShapeOf(NewTree().get()); }
  Integer FocusedKey() const {
    auto* Node = dynamic_cast<TcxTreeListDataNode*>(Tree->FocusedNode());
    return Node ? Node->KeyValue().AsInteger() : -1;
  }
};

// The key of every node mapped to the node object.
std::map<Integer, TcxTreeListNode*> NodesByKey(TcxCustomTreeListControl* ATree) {
  std::map<Integer, TcxTreeListNode*> Result;
  for (TcxTreeListNode* N = ATree->Nodes()->Root()->GetFirstChild(); N; N = N->GetNext())
    Result[static_cast<TcxTreeListDataNode*>(N)->KeyValue().AsInteger()] = N;
  return Result;
}

struct TReplaceCase {
  const char* Name;
  Integer Key;     // the node whose cell is edited
  Integer Item;    // ParentItem or KeyItem
  Integer Value;   // the new parent or key
  Integer NewKey;  // the key the node has afterwards
  const char* Shape;
};

// Cases over the fixture's tree other(o1),root(a(a1(a11),a2),b).
const TReplaceCase ReplaceCases[] = {
    {"a1 goes under b", 4, ParentItem, 3, 4, "other(o1),root(a(a2),b(a1(a11)))"},
    {"b goes under other", 3, ParentItem, 7, 3, "other(b,o1),root(a(a1(a11),a2))"},
    {"o1 goes to the top", 8, ParentItem, -1, 8, "o1,other,root(a(a1(a11),a2),b)"},
    {"o1 names no row as parent", 8, ParentItem, 99, 8, "o1,other,root(a(a1(a11),a2),b)"},
    {"a1 goes into its own branch", 4, ParentItem, 6, 4, "a11(a1),other(o1),root(a(a2),b)"},
    {"a takes another key", 2, KeyItem, 20, 20, "a1(a11),a2,other(o1),root(a,b)"},
    {"other takes another key", 7, KeyItem, 70, 70, "o1,other,root(a(a1(a11),a2),b)"},
};

TEST(DBTreeListSync, AKeyOrParentStoredInTheTreeReplacesTheNode) {
  for (const TReplaceCase& C : ReplaceCases) {
    SCOPED_TRACE(C.Name);
    TEditableTree B;
    B.StoreCell(B.Node(C.Key), C.Item, Variant(C.Value));
    const std::string Column = C.Item == ParentItem ? "parent_id" : "id";
    EXPECT_EQ(B.Sql("SELECT " + Column + " FROM node WHERE id = " + std::to_string(C.NewKey)), std::to_string(C.Value));
    EXPECT_EQ(B.TreeShape(), C.Shape);
    EXPECT_EQ(B.TreeShape(), B.FreshShape());
    ASSERT_NE(B.Node(C.NewKey), nullptr);
    EXPECT_EQ(VarToStr(B.Node(C.NewKey)->Values(C.Item)), IntToStr(C.Value)) << "the cell shows the table";
    EXPECT_EQ(B.FocusedKey(), C.NewKey) << "the focus stays on the edited row";
    EXPECT_TRUE(B.ExpandedWhereTheyHaveChildren());
    EXPECT_EQ(B.Sql("SELECT count(*) FROM node"), "8");
  }
}

TEST(DBTreeListSync, AKeyTheTableRefusesLeavesTreeAndTableAsTheyWere) {
  TEditableTree B;
  const std::string Shape = B.TreeShape();
  // Key 3 is taken: the table's primary key refuses the post.
  EXPECT_ANY_THROW(B.StoreCell(B.Node(2), KeyItem, Variant(3)));
  EXPECT_EQ(B.Sql("SELECT group_concat(id) FROM (SELECT id FROM node ORDER BY id)"), "1,2,3,4,5,6,7,8");
  EXPECT_EQ(B.TreeShape(), Shape);
  EXPECT_EQ(B.TreeShape(), B.FreshShape());
  ASSERT_NE(B.Node(2), nullptr);
  EXPECT_EQ(VarToStr(B.Node(2)->Values(KeyItem)), u"2");
  EXPECT_EQ(B.FocusedKey(), 2);
  EXPECT_TRUE(B.ExpandedWhereTheyHaveChildren());
  EXPECT_EQ(B.Tree->LockCount(), 0);
  EXPECT_FALSE(B.Fixture.Query->ControlsDisabled());
  // A free key is taken afterwards.
  B.StoreCell(B.Node(2), KeyItem, Variant(20));
  EXPECT_EQ(B.FocusedKey(), 20);
  EXPECT_EQ(B.TreeShape(), B.FreshShape());
}

// Who changes a row besides the tree: the dataset directly, or another
// tree bound to the same data source storing a cell.
enum TEditor { edDataSet, edOtherTree };

void EditElsewhere(TEditableTree& B, TEditor AEditor, Integer AKey, Integer AItem, Integer AValue) {
  if (AEditor == edOtherTree) {
    std::unique_ptr<TcxDBTreeList> Other = B.NewEditableTree();
    TEditableTree::StoreCell(Other.get(), Other->FindNodeByKeyValue(AKey), AItem, Variant(AValue));
    EXPECT_EQ(TBoundTree::ShapeOf(Other.get()), B.FreshShape()) << "the other tree follows its own edit";
    return;
  }
  TDataSet* D = B.Fixture.Query;
  ASSERT_TRUE(D->Locate(u"id", Variant(AKey), TLocateOptions{}));
  D->Edit();
  D->FieldByName(AItem == ParentItem ? u"parent_id" : u"id")->SetValue(Variant(AValue));
  D->Post();
}

TEST(DBTreeListSync, AKeyOrParentChangedElsewhereReplacesTheNode) {
  for (bool SyncMode : {true, false})
    for (TEditor Editor : {edDataSet, edOtherTree})
      for (const TReplaceCase& C : ReplaceCases) {
        SCOPED_TRACE(std::string(C.Name) + (Editor == edDataSet ? " (dataset)" : " (other tree)") +
                     (SyncMode ? "" : " (no sync)"));
        TEditableTree B;
        B.Tree->DBOptionsData()->SetSyncMode(SyncMode);
        B.Tree->SetFocusedNode(B.Node(5));
        EditElsewhere(B, Editor, C.Key, C.Item, C.Value);
        EXPECT_EQ(B.Sql("SELECT count(*) FROM node"), "8");
        EXPECT_EQ(B.TreeShape(), C.Shape);
        EXPECT_EQ(B.TreeShape(), B.FreshShape());
        EXPECT_TRUE(B.ExpandedWhereTheyHaveChildren());
        // The focus follows the dataset to the edited row, or without
        // SyncMode stays where it was.
        EXPECT_EQ(B.FocusedKey(), SyncMode ? C.NewKey : 5);
        if (SyncMode) {
          EXPECT_EQ(B.CurrentKey(), C.NewKey);
        }
      }
}

// Moves of the dataset's cursor made by someone other than the tree.
struct TCursorMove {
  const char* Name;
  void (*Move)(TEditableTree& B);
};

const TCursorMove CursorMoves[] = {
    {"Locate", [](TEditableTree& B) { ASSERT_TRUE(B.Fixture.Query->Locate(u"id", Variant(6), TLocateOptions{})); }},
    {"Next", [](TEditableTree& B) { B.Fixture.Query->Next(); }},
    {"RecNo", [](TEditableTree& B) { B.Fixture.Query->SetRecNo(6); }},
    {"Last", [](TEditableTree& B) { B.Fixture.Query->Last(); }},
    {"another tree moves to its node's row",
     [](TEditableTree& B) {
       std::unique_ptr<TcxDBTreeList> Other = B.NewTree();
       ASSERT_TRUE(Other->LocateNodeRecord(Other->FindNodeByKeyValue(8)));
     }},
};

TEST(DBTreeListSync, ACursorMovedElsewhereMovesTheFocusWithoutAReload) {
  for (bool SmartLoad : {false, true})
    for (const TCursorMove& M : CursorMoves) {
      SCOPED_TRACE(std::string(M.Name) + (SmartLoad ? " (smart load)" : ""));
      TEditableTree B;
      B.Tree->DBOptionsData()->SetSmartLoad(SmartLoad);
      ASSERT_EQ(B.FocusedKey(), B.CurrentKey());
      const std::map<Integer, TcxTreeListNode*> Before = NodesByKey(B.Tree.get());
      Integer Reloads = 0;
      B.Tree->OnDataChanged = TcxTreeListControlNotifyEvent(nullptr, [&](TcxCustomTreeListControl*) { ++Reloads; });
      M.Move(B);
      const Integer Key = B.CurrentKey();
      ASSERT_NE(B.Node(Key), nullptr) << "the path down to the row is loaded";
      EXPECT_EQ(B.FocusedKey(), Key);
      EXPECT_TRUE(B.Node(Key)->IsVisible());
      // Nodes there before are the same objects; with on-demand loading the
      // path down to the row may have been added (its records telling the
      // control that data changed).
      const std::map<Integer, TcxTreeListNode*> After = NodesByKey(B.Tree.get());
      for (const auto& [K, N] : Before) EXPECT_EQ(After.at(K), N) << K;
      if (!SmartLoad) {
        EXPECT_EQ(Reloads, 0);
        EXPECT_EQ(After.size(), Before.size());
      }
    }
}

// Writes of the tree itself, and one it only read again; none leaves the
// tree behind the data, so the dataset's next jump of the cursor (which it
// announces as a change) finds nothing new.
struct TOwnWrite {
  const char* Name;
  void (*Write)(TEditableTree& B);
};

const TOwnWrite OwnWrites[] = {
    {"a value stored in the tree", [](TEditableTree& B) { B.StoreCell(B.Node(5), NameItem, Variant(u"a2x")); }},
    {"a value set on a node", [](TEditableTree& B) { B.Node(8)->SetValues(NameItem, Variant(u"o1x")); }},
    {"nodes moved in the tree",
     [](TEditableTree& B) { B.Tree->MoveNodes(B.Node(3), tlamAddChild, false, {B.Node(5), B.Node(8)}); }},
    {"a row posted elsewhere and re-read with SmartRefresh",
     [](TEditableTree& B) {
       B.Tree->DBOptionsData()->SetSmartRefresh(true);
       TDataSet* D = B.Fixture.Query;
       ASSERT_TRUE(D->Locate(u"id", Variant(4), TLocateOptions{}));
       D->Edit();
       D->FieldByName(u"name")->SetValue(Variant(u"a1x"));
       D->Post();
     }},
};

TEST(DBTreeListSync, AfterTheTreesOwnWritesACursorJumpDoesNotReload) {
  for (const TOwnWrite& W : OwnWrites) {
    SCOPED_TRACE(W.Name);
    TEditableTree B;
    W.Write(B);
    const std::map<Integer, TcxTreeListNode*> Before = NodesByKey(B.Tree.get());
    Integer Reloads = 0;
    B.Tree->OnDataChanged = TcxTreeListControlNotifyEvent(nullptr, [&](TcxCustomTreeListControl*) { ++Reloads; });
    ASSERT_TRUE(B.Fixture.Query->Locate(u"id", Variant(6), TLocateOptions{}));
    B.Fixture.Query->First();
    EXPECT_EQ(Reloads, 0);
    EXPECT_EQ(NodesByKey(B.Tree.get()), Before);
    EXPECT_EQ(B.FocusedKey(), B.CurrentKey());
    EXPECT_EQ(B.TreeShape(), B.TableShape());
  }
}

// Rows added and deleted by someone other than the tree.
struct TRowChange {
  const char* Name;
  void (*Change)(TEditableTree& B);
  const char* Table;  // the ids left, in order
  const char* Shape;
  // With SmartLoad: rows whose parent is no row are not shown, and a node
  // that was never opened has no children loaded.
  const char* SmartShape;
};

const TRowChange RowChanges[] = {
    {"append under a",
     [](TEditableTree& B) {
       TDataSet* D = B.Fixture.Query;
       D->Append();
       D->FieldByName(u"id")->SetValue(Variant(9));
       D->FieldByName(u"parent_id")->SetValue(Variant(2));
       D->FieldByName(u"code")->SetValue(Variant(u"c9"));
       D->FieldByName(u"name")->SetValue(Variant(u"a3"));
       D->Post();
     },
     "1,2,3,4,5,6,7,8,9", "other(o1),root(a(a1(a11),a2,a3),b)", "other(o1),root(a(a1,a2,a3),b)"},
    {"another tree inserts under o1",
     [](TEditableTree& B) {
       std::unique_ptr<TcxDBTreeList> Other = B.NewEditableTree();
       Other->DBOptionsData()->SetAutoCalcKeyValue(true);
       Other->SetFocusedNode(Other->FindNodeByKeyValue(8));
       ASSERT_TRUE(Other->InsertNode(false));
     },
     "1,2,3,4,5,6,7,8,9", "other(o1()),root(a(a1(a11),a2),b)", "other(o1()),root(a(a1,a2),b)"},
    {"delete a leaf",
     [](TEditableTree& B) {
       ASSERT_TRUE(B.Fixture.Query->Locate(u"id", Variant(5), TLocateOptions{}));
       B.Fixture.Query->Delete();
     },
     "1,2,3,4,6,7,8", "other(o1),root(a(a1(a11)),b)", "other(o1),root(a(a1),b)"},
    {"delete a branch's row: the rows below stay",
     [](TEditableTree& B) {
       ASSERT_TRUE(B.Fixture.Query->Locate(u"id", Variant(2), TLocateOptions{}));
       B.Fixture.Query->Delete();
     },
     "1,3,4,5,6,7,8", "a1(a11),a2,other(o1),root(b)", "other(o1),root(b)"},
    {"delete by SQL and refresh",
     [](TEditableTree& B) {
       B.Exec("DELETE FROM node WHERE id = 7");
       B.Fixture.Query->Refresh();
     },
     "1,2,3,4,5,6,8", "o1,root(a(a1(a11),a2),b)", "root(a(a1,a2),b)"},
};

TEST(DBTreeListSync, RowsAddedOrDeletedElsewhereShowInTheTree) {
  for (bool SmartLoad : {false, true})
    for (const TRowChange& C : RowChanges) {
      SCOPED_TRACE(std::string(C.Name) + (SmartLoad ? " (smart load)" : ""));
      TEditableTree B;
      B.Tree->DBOptionsData()->SetSmartLoad(SmartLoad);
      for (Integer Key : {1, 2, 7, 8}) B.Node(Key)->Expand(false);
      C.Change(B);
      EXPECT_EQ(B.Sql("SELECT group_concat(id) FROM (SELECT id FROM node ORDER BY id)"), C.Table);
      EXPECT_EQ(B.TreeShape(), SmartLoad ? C.SmartShape : C.Shape);
      if (!SmartLoad) {
        EXPECT_EQ(B.TreeShape(), B.TableShape());
      }
      // What was expanded and is still there shows its children.
      EXPECT_TRUE(B.ExpandedWhereTheyHaveChildren());
    }
}

}  // namespace
