// The dataset-bound tree list over a temporary SQLite table: loading,
// editing, deleting, moving and copying.
#include "treelist/cxDBTL.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/db/dbtestutil.h"
#include "tests/treelist/dbtreelist_fixture.h"

namespace {

const char* const Expected = "other(o1),root(a(a1(a11),a2),b)";

TEST(DBTreeList, BuildsTheTreeFromRowsInCodeOrder) {
  TBoundTree B;
  EXPECT_EQ(B.TreeShape(), Expected);
  EXPECT_EQ(B.TreeShape(), B.TableShape());
  // Children in the dataset's order (by code), though they come before their parent.
  EXPECT_EQ(ChildNames(B.Node(1)), (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(ChildNames(B.Tree->Nodes()->Root()), (std::vector<std::string>{"other", "root"}));
  EXPECT_EQ(VarToStr(B.Node(4)->ParentValue()), u"2");
  // Closing the dataset empties the tree and deletes no row.
  B.Fixture.Query->Close();
  EXPECT_EQ(B.Tree->AbsoluteNodeCount(), 0);
  EXPECT_EQ(B.Tree->DataController()->GetRecordCount(), 0);
  EXPECT_EQ(B.Sql("SELECT count(*) FROM node"), "8");
}

TEST(DBTreeList, ExpandedKeysSurviveAReloadOfTheDataset) {
  TBoundTree B;
  B.Node(1)->Expand(false);
  B.Node(2)->Expand(false);
  B.Exec("INSERT INTO node VALUES (9, 2, 'a9', 'a0')");
  B.Fixture.Query->Close();
  B.Fixture.Query->Open();
  EXPECT_TRUE(B.Node(1)->Expanded());
  EXPECT_TRUE(B.Node(2)->Expanded());
  EXPECT_FALSE(B.Node(4)->Expanded());
  EXPECT_EQ(ChildNames(B.Node(2)), (std::vector<std::string>{"a0", "a1", "a2"}));
}

TEST(DBTreeList, AnEditedValuePostsToItsRow) {
  TBoundTree B;
  B.Node(5)->SetValues(NameItem, Variant(u"renamed"));
  EXPECT_EQ(B.Sql("SELECT name FROM node WHERE id = 5"), "renamed");
  EXPECT_EQ(B.Sql("SELECT count(*) FROM node"), "8");
  EXPECT_EQ(StringToUTF8(VarToStr(B.Node(5)->Values(NameItem))), "renamed");
  // A row posted through the dataset by someone else shows in the tree.
  TDataSet* D = B.Fixture.Query;
  ASSERT_TRUE(D->Locate(u"id", Variant(6), TLocateOptions{}));
  D->Edit();
  D->FieldByName(u"name")->SetValue(Variant(u"from elsewhere"));
  D->FieldByName(u"parent_id")->SetValue(Variant(3));
  D->Post();
  EXPECT_EQ(StringToUTF8(VarToStr(B.Node(6)->Values(NameItem))), "from elsewhere");
  EXPECT_EQ(B.Node(6)->Parent(), B.Node(3));
}

TEST(DBTreeList, ACellStoredThroughTheEditBufferPostsAndARefusalRestoresTheTree) {
  TBoundTree B;
  B.Node(1)->Expand(false);
  TcxControlDataController* DC = B.Tree->DataController();
  // What the in-place editor does when it stores: edit, set the item's edit value, post.
  auto Store = [&](Integer AKey, const String& AText) {
    B.Tree->SetFocusedNode(B.Node(AKey));
    DC->Edit();
    ASSERT_TRUE(DC->SetItemEditValue(NameItem, Variant(AText)));
    DC->PostRecord();
  };
  Store(3, u"typed");
  EXPECT_EQ(B.Sql("SELECT name FROM node WHERE id = 3"), "typed");
  B.Exec("CREATE TRIGGER refuse BEFORE UPDATE ON node BEGIN SELECT RAISE(ABORT, 'read only'); END;");
  EXPECT_ANY_THROW(Store(3, u"again"));
  EXPECT_EQ(B.Sql("SELECT name FROM node WHERE id = 3"), "typed");
  EXPECT_EQ(StringToUTF8(VarToStr(B.Node(3)->Values(NameItem))), "typed") << "the tree shows the table";
  EXPECT_EQ(B.TreeShape(), B.TableShape());
}

TEST(DBTreeList, DeletingANodeDeletesItsSubtreeRows) {
  TBoundTree B;
  B.Tree->DeleteNodes({B.Node(2)});
  EXPECT_EQ(B.Sql("SELECT group_concat(id) FROM (SELECT id FROM node ORDER BY id)"), "1,3,7,8");
  EXPECT_EQ(B.TreeShape(), "other(o1),root(b)");
  EXPECT_EQ(B.TreeShape(), B.TableShape());
  // A node together with its own child: each row goes once.
  B.Tree->DeleteNodes({B.Node(8), B.Node(7)});
  EXPECT_EQ(B.Sql("SELECT group_concat(id) FROM (SELECT id FROM node ORDER BY id)"), "1,3");
}

TEST(DBTreeList, MovesAndCopiesChangeTheTable) {
  struct TCase {
    const char* Name;
    std::vector<Integer> Nodes;
    Integer Target;
    TcxTreeListNodeAttachMode Mode;
    bool Copy;
    const char* Table;
  };
  const TCase Cases[] = {
      {"move as child", {4}, 7, tlamAddChild, false, "other(a1(a11),o1),root(a(a2),b)"},
      {"move as sibling", {8}, 3, tlamAdd, false, "other,root(a(a1(a11),a2),b,o1)"},
      {"copy a branch", {2}, 7, tlamAddChild, true, "other(a(a1(a11),a2),o1),root(a(a1(a11),a2),b)"},
      {"copy a branch with its child copies it once", {4, 6}, 3, tlamAddChild, true,
       "other(o1),root(a(a1(a11),a2),b(a1(a11)))"},
      {"copy a child before its ancestor copies the branch once", {6, 2}, 7, tlamAddChild, true,
       "other(a(a1(a11),a2),o1),root(a(a1(a11),a2),b)"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBoundTree B;
    std::vector<TcxTreeListNode*> List;
    for (Integer K : C.Nodes) List.push_back(B.Node(K));
    B.Tree->MoveNodes(B.Node(C.Target), C.Mode, C.Copy, List);
    EXPECT_EQ(B.TableShape(), C.Table);
    EXPECT_EQ(B.TreeShape(), C.Table);
  }
}

TEST(DBTreeList, AFailedMoveLeavesTreeAndTableEqual) {
  TBoundTree B;
  B.Node(1)->Expand(false);
  B.Exec("CREATE TRIGGER refuse BEFORE UPDATE ON node WHEN NEW.id = 8"
         " BEGIN SELECT RAISE(ABORT, 'moving refused'); END;");
  EXPECT_ANY_THROW(B.Tree->MoveNodes(B.Node(3), tlamAddChild, false, {B.Node(5), B.Node(8)}));
  // Node 5's row was written first: the transaction takes it back.
  EXPECT_EQ(B.Sql("SELECT parent_id FROM node WHERE id = 5"), "2");
  EXPECT_EQ(B.TableShape(), Expected);
  EXPECT_EQ(B.TreeShape(), Expected);
  EXPECT_EQ(B.Tree->LockCount(), 0) << "the update bracket is closed";
  EXPECT_FALSE(B.Fixture.Query->ControlsDisabled());
  EXPECT_TRUE(B.Node(1)->Expanded());
  // The tree works on afterwards.
  B.Exec("DROP TRIGGER refuse");
  B.Tree->MoveNodes(B.Node(3), tlamAddChild, false, {B.Node(5), B.Node(8)});
  EXPECT_EQ(B.TableShape(), "other,root(a(a1(a11)),b(a2,o1))");
  EXPECT_EQ(B.TreeShape(), B.TableShape());
}

TEST(DBTreeList, AFailedCopyAddsNoRow) {
  TBoundTree B;
  B.Exec("CREATE TRIGGER refuse BEFORE INSERT ON node WHEN NEW.name = 'a11'"
         " BEGIN SELECT RAISE(ABORT, 'copying refused'); END;");
  EXPECT_ANY_THROW(B.Tree->MoveNodes(B.Node(7), tlamAddChild, true, {B.Node(2)}));
  EXPECT_EQ(B.Sql("SELECT count(*) FROM node"), "8");
  EXPECT_EQ(B.TreeShape(), Expected);
  EXPECT_EQ(B.Tree->LockCount(), 0);
  EXPECT_FALSE(B.Fixture.Query->ControlsDisabled());
}

TEST(DBTreeList, RowsInAnyCodeOrderBuildTheSameTree) {
  std::string Rows;
  std::mt19937 Random(20261210);
  for (int Id = 1; Id <= 60; ++Id) {
    const int Parent = Id <= 4 ? -1 : int(1 + Random() % unsigned(Id - 1));
    Rows += std::string(Rows.empty() ? "" : ",") + "(" + std::to_string(Id) + "," + std::to_string(Parent) + ",'c','n" +
            std::to_string(Id) + "')";
  }
  TBoundTree B("CREATE TABLE node (id INTEGER PRIMARY KEY, parent_id INTEGER, code TEXT, name TEXT);"
               "INSERT INTO node VALUES " + Rows + ";");
  const std::string Shape = B.TreeShape();
  EXPECT_EQ(Shape, B.TableShape());
  std::vector<int> Codes(60);
  for (int I = 0; I < 60; ++I) Codes[size_t(I)] = I;
  std::set<std::vector<std::string>> Orders;
  for (int Round = 0; Round < 10; ++Round) {
    std::shuffle(Codes.begin(), Codes.end(), Random);
    std::string Update = "UPDATE node SET code = CASE id";
    for (int Id = 1; Id <= 60; ++Id)
      Update += " WHEN " + std::to_string(Id) + " THEN '" + std::to_string(1000 + Codes[size_t(Id - 1)]) + "'";
    B.Exec(Update + " END");
    B.Fixture.Query->Refresh();
    ASSERT_EQ(B.TreeShape(), Shape) << "round " << Round;
    Orders.insert(ChildNames(B.Tree->Nodes()->Root()));
  }
  EXPECT_GT(Orders.size(), 1u) << "the rows did come in other orders";
}

TEST(DBTreeList, CyclesAndDuplicateKeysNeitherHangNorLoseRows) {
  TBoundTree B("CREATE TABLE node (id INTEGER, parent_id INTEGER, code TEXT, name TEXT);"
               "INSERT INTO node VALUES (1, 2, 'a', 'p'), (2, 1, 'b', 'q'), (3, 3, 'c', 'self'),"
               " (4, -1, 'd', 'r'), (4, -1, 'e', 'r2'), (5, 4, 'f', 's');");
  EXPECT_EQ(B.Tree->AbsoluteNodeCount(), 6);
  EXPECT_EQ(B.TreeShape(), "p(q),r(s),r2,self");
  // Copying and deleting a branch whose rows form a cycle visit each row once.
  B.Tree->DBOptionsData()->SetAutoCalcKeyValue(true);
  B.Tree->MoveNodes(B.Node(4), tlamAddChild, true, {B.Node(1)});
  EXPECT_EQ(B.Sql("SELECT count(*) FROM node"), "8");
  B.Tree->DeleteNodes({B.Node(1)});
  EXPECT_EQ(B.TreeShape(), "r(p(q),s),r2,self");
  EXPECT_EQ(B.Sql("SELECT group_concat(id || ':' || parent_id) FROM (SELECT * FROM node ORDER BY id, code)"),
            "3:3,4:-1,4:-1,5:4,6:4,7:6");
}

TEST(DBTreeList, UniqueKeysComeFromNumericKeysOnly) {
  {
    TBoundTree B("CREATE TABLE node (id INTEGER, parent_id INTEGER, code TEXT, name TEXT);"
                 "INSERT INTO node VALUES (3, -1, 'a', 'x'), (7, -1, 'b', 'y'), (5, 7, 'c', 'z');");
    Variant Key;
    B.Tree->GetUniqueKeyValue(0, Key);
    EXPECT_EQ(VarToStr(Key), u"8");
    B.Tree->GetUniqueKeyValue(2, Key);
    EXPECT_EQ(VarToStr(Key), u"10");
    B.Tree->OnGetUniqueKeyValue = TcxDBTreeListGetUniqueKeyValueEvent(
        nullptr, [](TcxCustomDBTreeList*, Variant& AKey) { AKey = Variant(100); });
    B.Tree->GetUniqueKeyValue(0, Key);
    EXPECT_EQ(VarToStr(Key), u"100");
  }
  {
    TBoundTree B("CREATE TABLE node (id INTEGER, parent_id INTEGER, code TEXT, name TEXT);");
    Variant Key = Variant(5);
    B.Tree->GetUniqueKeyValue(0, Key);
    EXPECT_TRUE(VarIsEmpty(Key)) << "no records: no key";
  }
  {
    // Text keys: every new record would get 0; the key is left to the dataset.
    TBoundTree B("CREATE TABLE node (id TEXT, parent_id TEXT, code TEXT, name TEXT);"
                 "INSERT INTO node VALUES ('k1', '-1', 'a', 'x'), ('k2', 'k1', 'b', 'y');");
    EXPECT_EQ(B.TreeShape(), "x(y)");
    Variant Key;
    B.Tree->GetUniqueKeyValue(0, Key);
    EXPECT_TRUE(VarIsEmpty(Key));
  }
}

TEST(DBTreeList, CopiesWithCalculatedKeysTakeConsecutiveKeys) {
  TBoundTree B("CREATE TABLE node (id INTEGER, parent_id INTEGER, code TEXT, name TEXT);"
               "INSERT INTO node VALUES (3, -1, 'a', 'x'), (7, -1, 'b', 'y'), (5, 3, 'c', 'z');");
  B.Tree->DBOptionsData()->SetAutoCalcKeyValue(true);
  B.Tree->MoveNodes(B.Node(7), tlamAddChild, true, {B.Node(3), B.Node(5)});
  EXPECT_EQ(B.Sql("SELECT group_concat(id || ':' || parent_id) FROM (SELECT * FROM node WHERE id > 7 ORDER BY id)"),
            "8:7,9:8");
  EXPECT_EQ(B.TreeShape(), "x(z),y(x(z))");
}

TEST(DBTreeList, InsertedRowsTakeACalculatedKeyOrTheDatasetsOwn) {
  {
    TBoundTree B;
    B.Tree->DBOptionsData()->SetAutoCalcKeyValue(true);
    B.Node(1)->Expand(false);
    B.Tree->SetFocusedNode(B.Node(3));
    ASSERT_TRUE(B.Tree->InsertNode(false));
    EXPECT_EQ(B.Sql("SELECT parent_id FROM node WHERE id = 9"), "3");
    ASSERT_NE(B.Tree->FocusedNode(), nullptr);
    EXPECT_EQ(VarToStr(static_cast<TcxTreeListDataNode*>(B.Tree->FocusedNode())->KeyValue()), u"9");
    EXPECT_EQ(B.TreeShape(), B.TableShape());
  }
  {
    // A text key with the table's own default: two new rows, two keys (never 0).
    TBoundTree B("CREATE TABLE node (id TEXT, parent_id TEXT, code TEXT, name TEXT);"
                 "CREATE TRIGGER name_row AFTER INSERT ON node WHEN NEW.id IS NULL"
                 " BEGIN UPDATE node SET id = 'k' || NEW.rowid WHERE rowid = NEW.rowid; END;"
                 "INSERT INTO node VALUES ('top', '-1', 'a', 'x');");
    B.Tree->DBOptionsData()->SetAutoCalcKeyValue(true);
    B.Tree->SetFocusedNode(B.Tree->Nodes()->Root()->GetFirstChild());
    ASSERT_TRUE(B.Tree->InsertNode(false));
    B.Tree->SetFocusedNode(B.Tree->Nodes()->Root()->GetFirstChild());
    ASSERT_TRUE(B.Tree->InsertNode(false));
    EXPECT_EQ(B.Sql("SELECT group_concat(id || ':' || parent_id) FROM (SELECT * FROM node ORDER BY id)"),
              "k2:top,k3:top,top:-1");
    EXPECT_EQ(B.TreeShape(), "x(,)");
  }
}

TEST(DBTreeList, SmartLoadReadsChildrenOnDemandInAnyRowOrder) {
  TBoundTree B;
  B.Tree->DBOptionsData()->SetSmartLoad(true);
  // The top level, and the path down to the current row (b, the first by code).
  EXPECT_EQ(B.TreeShape(), "other,root(a,b)");
  EXPECT_EQ(B.Tree->FocusedNode(), B.Node(3));
  EXPECT_TRUE(B.Node(1)->HasChildren());
  B.Node(1)->Expand(false);
  EXPECT_EQ(ChildNames(B.Node(1)), (std::vector<std::string>{"b", "a"}));
  EXPECT_FALSE(B.Node(3)->HasChildren()) << "no row names it as parent";
  B.Node(2)->Expand(false);
  EXPECT_EQ(ChildNames(B.Node(2)), (std::vector<std::string>{"a1", "a2"}));
  // Deleting a branch deletes the rows never loaded as nodes too.
  B.Tree->DeleteNodes({B.Node(2)});
  EXPECT_EQ(B.Sql("SELECT group_concat(id) FROM (SELECT id FROM node ORDER BY id)"), "1,3,7,8");
  EXPECT_TRUE(B.Node(1)->Expanded());
}

TEST(DBTreeList, SmartLoadLoadsThePathToTheCurrentRowAndTheFocusFollowsIt) {
  TBoundTree B(std::string(Schema) +
               "INSERT INTO node VALUES (20, 20, 'e20', 'self'), (21, 99, 'e21', 'lost'),"
               " (22, 23, 'e22', 'ring1'), (23, 22, 'e23', 'ring2');");
  TDataSet* D = B.Fixture.Query;
  ASSERT_TRUE(D->Locate(u"id", Variant(6), TLocateOptions{}));
  B.Tree->DBOptionsData()->SetSmartLoad(true);
  ASSERT_NE(B.Node(6), nullptr) << "the rows above the current one are loaded";
  EXPECT_EQ(B.Tree->FocusedNode(), B.Node(6));
  EXPECT_EQ(B.Node(8), nullptr) << "other branches stay unloaded";
  EXPECT_NE(B.Node(5), nullptr);
  // Moving the dataset's cursor loads what is missing and moves the focus.
  ASSERT_TRUE(D->Locate(u"id", Variant(8), TLocateOptions{}));
  ASSERT_NE(B.Node(8), nullptr);
  EXPECT_EQ(B.Tree->FocusedNode(), B.Node(8));
  EXPECT_TRUE(B.Node(7)->Expanded());
  // Rows whose chain does not reach the root get no path (and no hang).
  for (Integer Key : {20, 21, 22}) {
    ASSERT_TRUE(D->Locate(u"id", Variant(Key), TLocateOptions{}));
    EXPECT_EQ(B.Node(Key), nullptr) << Key;
    EXPECT_NE(B.Node(8), nullptr) << Key;
  }
  // Without SyncMode the focus does not follow.
  B.Tree->DBOptionsData()->SetSyncMode(false);
  ASSERT_TRUE(D->Locate(u"id", Variant(1), TLocateOptions{}));
  EXPECT_NE(B.Tree->FocusedNode(), B.Node(1));
}

TEST(DBTreeList, SmartRefreshRereadsOnlyAPostedRowThatKeepsItsPlace) {
  struct TCase {
    bool SmartRefresh;
    bool MoveRow;
    bool SameNode;
  };
  const TCase Cases[] = {
      {true, false, true},    // only the values are read again
      {true, true, false},    // the row moves: all is read
      {false, false, false},  // without smart refresh every post reloads
  };
  for (const TCase& C : Cases) {
    TBoundTree B;
    B.Tree->DBOptionsData()->SetSmartRefresh(C.SmartRefresh);
    TDataSet* D = B.Fixture.Query;
    ASSERT_TRUE(D->Locate(u"id", Variant(6), TLocateOptions{}));
    TcxTreeListDataNode* Before = B.Node(6);
    D->Edit();
    D->FieldByName(u"name")->SetValue(Variant(u"fresh"));
    if (C.MoveRow) D->FieldByName(u"parent_id")->SetValue(Variant(3));
    D->Post();
    const std::string Label = std::string(C.MoveRow ? "move" : "rename") + (C.SmartRefresh ? " smart" : "");
    EXPECT_EQ(B.Node(6) == Before, C.SameNode) << Label;
    EXPECT_EQ(B.TreeShape(), B.TableShape()) << Label;
    EXPECT_EQ(StringToUTF8(VarToStr(B.Node(6)->Values(NameItem))), "fresh") << Label;
  }
}

}  // namespace
