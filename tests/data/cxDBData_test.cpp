// The dataset data controller on temporary SQLite databases.
#include "data/cxDBData.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/cxDataControllerSearch.h"
#include "data/cxDataFilterBinding.h"
#include "platform/db/adodb.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "tests/data/datacontroller_test_double.h"

namespace {

// A database file in a fresh temporary folder, removed with the folder.
class TTempDatabase {
public:
  explicit TTempDatabase(const std::string& ASchema) {
    char Pattern[] = "/tmp/korvane-dbdata-XXXXXX";
    if (!mkdtemp(Pattern)) throw std::runtime_error("mkdtemp failed");
    Folder = Pattern;
    Path = Folder / "test.db";
    sqlite3* Db = nullptr;
    sqlite3_open_v2(Path.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* Error = nullptr;
    const int Rc = sqlite3_exec(Db, ASchema.c_str(), nullptr, nullptr, &Error);
    std::string Message = Error ? Error : "";
    sqlite3_free(Error);
    sqlite3_close(Db);
    if (Rc != SQLITE_OK) throw std::runtime_error(Message);
  }
  ~TTempDatabase() {
    std::error_code Ec;
    std::filesystem::remove_all(Folder, Ec);
  }
  String FileName() const { return UTF8ToString(Path.string()); }
  // The first column of the first row of a select ("NULL" for null, "<none>" for no row).
  std::string Value(const std::string& ASql) const {
    sqlite3* Db = nullptr;
    sqlite3_open_v2(Path.c_str(), &Db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* Stmt = nullptr;
    std::string Result = "<none>";
    if (sqlite3_prepare_v2(Db, ASql.c_str(), -1, &Stmt, nullptr) == SQLITE_OK && sqlite3_step(Stmt) == SQLITE_ROW) {
      auto Text = reinterpret_cast<const char*>(sqlite3_column_text(Stmt, 0));
      Result = Text ? Text : "NULL";
    }
    sqlite3_finalize(Stmt);
    sqlite3_close(Db);
    return Result;
  }
  std::filesystem::path Folder;
  std::filesystem::path Path;
};

const char* const Schema =
    "CREATE TABLE item (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, qty INTEGER, grp INTEGER);"
    "INSERT INTO item (name, qty, grp) VALUES ('alpha', 10, 1), ('beta', 20, 1), ('gamma', 30, 2),"
    " ('delta', 40, 2), ('epsilon', 50, 3);"
    "CREATE TABLE pair (a INTEGER, b TEXT, label TEXT);"
    "INSERT INTO pair VALUES (1, 'x', 'one-x'), (1, 'y', 'one-y'), (2, 'x', 'two-x');"
    "CREATE TABLE grp (gid INTEGER PRIMARY KEY, title TEXT);"
    "INSERT INTO grp VALUES (1, 'first'), (2, 'second'), (3, 'third');";

class TItem : public TObject {
  KORVANE_CLASS(TItem, TObject)
};

// A query, its data source and a dataset controller with one item per name.
struct TBound {
  TBound(TTempDatabase& ADb, const String& ASql, const std::vector<String>& AFieldNames, TComponent* AOwner)
      : Connection(new TADOConnection(AOwner)), Query(new TADOQuery(AOwner)), Source(new TDataSource(AOwner)) {
    Connection->SetConnectionString(u"Provider=SQLite;Data Source=" + ADb.FileName());
    Query->SetConnection(Connection);
    Query->SQL()->SetText(ASql);
    Source->SetDataSet(Query);
    Controller = std::make_unique<TcxDBDataController>(nullptr);
    for (size_t I = 0; I < AFieldNames.size(); ++I) {
      Items.push_back(std::make_unique<TItem>());
      Controller->AddItemField(Items.back().get());
      Controller->SetItemFieldName(Integer(I), AFieldNames[I]);
    }
    Controller->SetDataSource(Source);
  }
  ~TBound() {
    Controller.reset();
  }
  std::string Text(Integer ARecord, Integer AItem) { return StringToUTF8(VarToStr(Controller->GetValue(ARecord, AItem))); }
  std::string FocusedText(Integer AItem) { return Text(Controller->GetFocusedRecordIndex(), AItem); }
  std::string Current(const String& AField) { return StringToUTF8(Query->FieldByName(AField)->AsString()); }

  TADOConnection* Connection;
  TADOQuery* Query;
  TDataSource* Source;
  std::vector<std::unique_ptr<TItem>> Items;
  std::unique_ptr<TcxDBDataController> Controller;
};

class DBDataTest : public ::testing::Test {
protected:
  DBDataTest() : Db(Schema), Owner(new TComponent(nullptr)) {}
  ~DBDataTest() override {
    Bound.reset();
    delete Owner;
  }
  TBound& Bind(const String& ASql, const std::vector<String>& AFieldNames) {
    Bound = std::make_unique<TBound>(Db, ASql, AFieldNames, Owner);
    return *Bound;
  }
  TTempDatabase Db;
  TComponent* Owner;
  std::unique_ptr<TBound> Bound;
};

const String ItemSql = u"SELECT id, name, qty, grp FROM item ORDER BY id";

}  // namespace

// ---- Loading and binding ----------------------------------------------------------------

TEST_F(DBDataTest, OpeningTheDataSetLoadsEveryRecordWithFieldTypes) {
  auto& B = Bind(ItemSql, {u"id", u"name", u"qty"});
  EXPECT_EQ(B.Controller->GetRecordCount(), 0);
  B.Query->Open();
  ASSERT_EQ(B.Controller->GetRecordCount(), 5);
  EXPECT_EQ(B.Text(0, 1), "alpha");
  EXPECT_EQ(B.Text(4, 1), "epsilon");
  EXPECT_EQ(B.Controller->GetValue(2, 2).AsInteger(), 30);
  EXPECT_NE(B.Controller->GetItemField(1), nullptr);
  EXPECT_EQ(B.Controller->GetItemField(1)->FieldName(), u"name");
  EXPECT_EQ(B.Controller->GetItemValueTypeClass(2), TcxIntegerValueType::StaticClass());
  EXPECT_EQ(B.Controller->GetFocusedRecordIndex(), 0);
  B.Query->Close();
  EXPECT_EQ(B.Controller->GetRecordCount(), 0);
  EXPECT_EQ(B.Controller->GetItemField(1), nullptr);
}

TEST_F(DBDataTest, SeveralFieldNamesGiveSubFieldsAndAnArrayValue) {
  auto& B = Bind(u"SELECT a, b, label FROM pair ORDER BY a, b", {u"a;b", u"label"});
  B.Query->Open();
  TcxDBDataField* F = B.Controller->GetItemDBField(0);
  ASSERT_EQ(F->FieldCount(), 2);
  EXPECT_EQ(F->Fields(0)->GetField()->FieldName(), u"a");
  EXPECT_EQ(F->Fields(1)->GetField()->FieldName(), u"b");
  const Variant V = B.Controller->GetValue(1, 0);
  ASSERT_TRUE(VarIsArray(V));
  EXPECT_EQ(VarArrayGet(V, {0}).AsInteger(), 1);
  EXPECT_EQ(VarToStr(VarArrayGet(V, {1})), u"y");
  EXPECT_EQ(B.Controller->GetFilterItemCaption(0), u"a;b");
}

TEST_F(DBDataTest, TwoItemsOnOneFieldShareItAndSurviveEachOther) {
  auto& B = Bind(ItemSql, {u"name", u"NAME"});
  B.Query->Open();
  EXPECT_EQ(B.Controller->GetItemField(0), B.Controller->GetItemField(1));
  B.Controller->RemoveItem(B.Items[0].get());
  ASSERT_EQ(B.Controller->GetItemCount(), 1);
  EXPECT_EQ(B.Controller->GetItemField(0)->FieldName(), u"name");
  EXPECT_EQ(B.Text(3, 0), "delta");
}

TEST_F(DBDataTest, UnknownFieldNameLeavesTheItemUnboundAndKeyFieldRaises) {
  auto& B = Bind(ItemSql, {u"nosuch", u"name"});
  B.Query->Open();
  EXPECT_EQ(B.Controller->GetItemField(0), nullptr);
  EXPECT_EQ(B.Text(0, 1), "alpha");
  B.Controller->SetKeyFieldNames(u"missing");
  try {
    B.Controller->GetDataSetKeyValue();
    FAIL() << "no exception";
  } catch (EcxInvalidDataControllerOperation& E) {
    EXPECT_EQ(E.Message, u"Key Field not found");
  }
}

// ---- Keys ---------------------------------------------------------------------------

TEST_F(DBDataTest, FindRecordByKeyOfOneAndOfSeveralFields) {
  auto& B = Bind(u"SELECT a, b, label FROM pair ORDER BY a, b", {u"label"});
  B.Query->Open();
  B.Controller->SetKeyFieldNames(u"a;b");
  struct {
    Variant Key;
    Integer Record;
  } Cases[] = {
      {VarArrayOf({Variant(1), Variant(String(u"y"))}), 1},
      {VarArrayOf({Variant(2), Variant(String(u"x"))}), 2},
      {VarArrayOf({Variant(2), Variant(String(u"y"))}), -1},
      {Variant(1), -1},  // a plain value for a key of two fields
      {VarArrayOf({Variant(1)}), -1},
  };
  for (auto& C : Cases) EXPECT_EQ(B.Controller->FindRecordIndexByKey(C.Key), C.Record);
  const Variant Key = B.Controller->GetKeyValue(2);
  EXPECT_EQ(VarArrayGet(Key, {0}).AsInteger(), 2);

  B.Controller->SetKeyFieldNames(u"label");
  EXPECT_EQ(B.Controller->FindRecordIndexByKey(Variant(String(u"one-y"))), 1);
}

TEST_F(DBDataTest, LocateByKeyFocusesTheRecordOrClearsTheFocus) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->SetKeyFieldNames(u"id");
  EXPECT_TRUE(B.Controller->LocateByKey(Variant(4)));
  EXPECT_EQ(B.FocusedText(1), "delta");
  EXPECT_EQ(B.Current(u"name"), "delta");
  EXPECT_FALSE(B.Controller->LocateByKey(Variant(99)));
  EXPECT_EQ(B.Controller->GetFocusedRowIndex(), -1);
}

// ---- Focus and cursor ------------------------------------------------------------------

TEST_F(DBDataTest, FocusingARecordMovesTheDataSetAndBack) {
  for (bool Keyed : {false, true}) {
    SCOPED_TRACE(Keyed ? "with keys" : "without keys");
    auto& B = Bind(ItemSql, {u"id", u"name"});
    B.Query->Open();
    if (Keyed) B.Controller->SetKeyFieldNames(u"id");
    B.Controller->FocusRecord(3);
    EXPECT_EQ(B.Current(u"name"), "delta");
    B.Controller->FocusRecord(1);
    EXPECT_EQ(B.Current(u"name"), "beta");
    B.Query->Next();
    EXPECT_EQ(B.FocusedText(1), "gamma");
    B.Query->Last();
    EXPECT_EQ(B.FocusedText(1), "epsilon");
    B.Query->Locate(u"name", Variant(String(u"alpha")), {});
    EXPECT_EQ(B.FocusedText(1), "alpha");
  }
}

TEST_F(DBDataTest, SortedControllerStillMovesTheDataSetToTheFocusedRecord) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->SetItemSortOrder(1, soDescending);  // gamma, epsilon, delta, beta, alpha
  B.Controller->FocusRow(1);
  EXPECT_EQ(B.FocusedText(1), "epsilon");
  EXPECT_EQ(B.Current(u"name"), "epsilon");
  B.Query->First();
  EXPECT_EQ(B.FocusedText(1), "alpha");
  EXPECT_EQ(B.Controller->GetFocusedRowIndex(), 4);
}

TEST_F(DBDataTest, SyncModeOffLeavesTheDataSetAlone) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Controller->DataModeController()->SetSyncMode(false);
  B.Query->Open();
  B.Controller->FocusRecord(3);
  EXPECT_EQ(B.Current(u"name"), "alpha");
}

// ---- Editing -------------------------------------------------------------------------

TEST_F(DBDataTest, EditWritesTheFieldAndPostStoresIt) {
  auto& B = Bind(ItemSql, {u"id", u"name", u"qty"});
  B.Query->Open();
  B.Controller->FocusRecord(2);
  B.Controller->Edit();
  EXPECT_EQ(B.Query->State(), dsEdit);
  EXPECT_TRUE(B.Controller->SetItemEditValue(1, Variant(String(u"GAMMA"))));
  EXPECT_TRUE(B.Controller->SetItemEditValue(2, Variant(String(u"33")), evsText));
  EXPECT_EQ(B.Current(u"name"), "GAMMA");
  B.Controller->PostRecord();
  EXPECT_EQ(B.Query->State(), dsBrowse);
  EXPECT_EQ(Db.Value("SELECT name FROM item WHERE id = 3"), "GAMMA");
  EXPECT_EQ(Db.Value("SELECT qty FROM item WHERE id = 3"), "33");
  EXPECT_EQ(B.Text(2, 1), "GAMMA");
  EXPECT_EQ(B.FocusedText(1), "GAMMA");
}

TEST_F(DBDataTest, CancelRestoresTheRecordAndTheDatabase) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->FocusRecord(1);
  B.Controller->Edit();
  B.Controller->SetItemEditValue(1, Variant(String(u"changed")));
  EXPECT_EQ(B.Text(1, 1), "changed");
  B.Controller->CancelRecord();
  EXPECT_EQ(B.Query->State(), dsBrowse);
  EXPECT_EQ(B.Text(1, 1), "beta");
  EXPECT_EQ(B.Current(u"name"), "beta");
  EXPECT_EQ(Db.Value("SELECT name FROM item WHERE id = 2"), "beta");
}

TEST_F(DBDataTest, AppendPostsANewRowWithItsAutoIncrementKey) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->SetKeyFieldNames(u"id");
  B.Controller->DataModeController()->SetSmartRefresh(true);
  B.Controller->Append();
  EXPECT_EQ(B.Query->State(), dsInsert);
  B.Controller->SetItemEditValue(1, Variant(String(u"zeta")));
  B.Controller->PostRecord();
  EXPECT_EQ(Db.Value("SELECT COUNT(*) FROM item"), "6");
  ASSERT_EQ(B.Controller->GetRecordCount(), 6);
  EXPECT_EQ(B.FocusedText(1), "zeta");
  EXPECT_EQ(B.FocusedText(0), Db.Value("SELECT id FROM item WHERE name = 'zeta'"));
}

TEST_F(DBDataTest, CancellingAnAppendDropsTheNewRecord) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->Append();
  B.Controller->SetItemEditValue(1, Variant(String(u"zeta")));
  B.Controller->CancelRecord();
  EXPECT_EQ(B.Controller->GetRecordCount(), 5);
  EXPECT_EQ(Db.Value("SELECT COUNT(*) FROM item"), "5");
}

TEST_F(DBDataTest, DeleteFocusedRemovesTheRowFromDataSetAndDatabase) {
  for (bool Keyed : {false, true}) {
    SCOPED_TRACE(Keyed ? "with keys" : "without keys");
    TTempDatabase Local(Schema);
    TComponent LocalOwner(nullptr);
    TBound B(Local, ItemSql, {u"id", u"name"}, &LocalOwner);
    B.Query->Open();
    if (Keyed) B.Controller->SetKeyFieldNames(u"id");
    B.Controller->FocusRecord(2);
    B.Controller->DeleteFocused();
    EXPECT_EQ(B.Controller->GetRecordCount(), 4);
    EXPECT_EQ(Local.Value("SELECT COUNT(*) FROM item WHERE name = 'gamma'"), "0");
    EXPECT_EQ(B.FocusedText(1), B.Current(u"name"));
  }
}

TEST_F(DBDataTest, DeleteSelectionDeletesEachSelectedRecord) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->SetKeyFieldNames(u"id");
  B.Controller->SetMultiSelect(true);
  B.Controller->ChangeRowSelection(1, true);
  B.Controller->ChangeRowSelection(3, true);
  B.Controller->DeleteSelection();
  EXPECT_EQ(Db.Value("SELECT group_concat(name) FROM (SELECT name FROM item ORDER BY id)"), "alpha,gamma,epsilon");
  EXPECT_EQ(B.Controller->GetRecordCount(), 3);
}

TEST_F(DBDataTest, ChangesMadeThroughTheDataSetReachTheController) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Query->Locate(u"id", Variant(2), {});
  B.Query->Edit();
  B.Query->FieldByName(u"name")->SetAsString(u"BETA");
  EXPECT_EQ(B.Text(1, 1), "BETA");  // reread while editing
  B.Query->Post();
  EXPECT_EQ(B.Text(1, 1), "BETA");
  B.Query->Append();
  B.Query->FieldByName(u"name")->SetAsString(u"omega");
  B.Query->Post();
  EXPECT_EQ(B.Controller->GetRecordCount(), 6);
  EXPECT_EQ(B.FocusedText(1), "omega");
}

// ---- Smart refresh and positions ------------------------------------------------------------

TEST_F(DBDataTest, SmartRefreshRereadsOnlyThePostedRecord) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->SetKeyFieldNames(u"id");
  B.Controller->DataModeController()->SetSmartRefresh(true);
  TNoticeRecorder Notices;
  B.Controller->OnUpdateControl = TcxUpdateControlEvent(&Notices, &TNoticeRecorder::Handle);
  const std::string Total = "data(" + std::to_string(dcTotal) + ",";
  B.Controller->FocusRecord(3);
  B.Controller->Edit();
  B.Controller->SetItemEditValue(1, Variant(String(u"DELTA")));
  B.Controller->PostRecord();
  EXPECT_EQ(Notices.Only(Total).size(), 0u);
  EXPECT_EQ(B.Text(3, 1), "DELTA");
  EXPECT_EQ(B.Controller->GetFocusedRecordIndex(), 3);
  EXPECT_EQ(Db.Value("SELECT name FROM item WHERE id = 4"), "DELTA");

  // Without smart refresh the post reloads everything.
  B.Controller->DataModeController()->SetSmartRefresh(false);
  B.Controller->Edit();
  B.Controller->SetItemEditValue(1, Variant(String(u"delta")));
  B.Controller->PostRecord();
  EXPECT_GE(Notices.Only(Total).size(), 1u);
  EXPECT_EQ(B.Text(3, 1), "delta");
  B.Controller->OnUpdateControl = {};
}

TEST_F(DBDataTest, PositionIsKeptAcrossRefresh) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->SetKeyFieldNames(u"id");
  B.Controller->FocusRecord(3);
  B.Controller->RefreshSource();
  EXPECT_EQ(B.Current(u"name"), "delta");
  EXPECT_EQ(B.FocusedText(1), "delta");
}

TEST_F(DBDataTest, RestorePositionPutsTheRowBackAtItsPlaceOfTheWindow) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Controller->DataModeController()->SetGridModeBufferCount(3);
  B.Controller->DataModeController()->SetGridMode(true);
  B.Query->Open();
  TcxDBDataProvider* P = B.Controller->GetDBProvider();
  B.Query->First();
  B.Query->MoveBy(3);  // window beta..delta, delta at row 2
  ASSERT_EQ(P->DataLink()->ActiveRecord(), 2);
  P->SavePosition();
  B.Query->First();
  P->RestorePosition();
  EXPECT_EQ(B.Current(u"name"), "delta");
  EXPECT_EQ(P->DataLink()->ActiveRecord(), 2);

  // A saved row that was deleted is not restored.
  P->SavePosition();
  B.Query->Delete();
  const std::string After = B.Current(u"name");
  P->RestorePosition();
  EXPECT_EQ(B.Current(u"name"), After);
}

// ---- Grid mode ---------------------------------------------------------------------

TEST_F(DBDataTest, GridModeHoldsTheLinkWindow) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Controller->DataModeController()->SetGridModeBufferCount(-5);
  EXPECT_EQ(B.Controller->DataModeController()->GridModeBufferCount(), 0);
  EXPECT_EQ(B.Controller->GridModeBufferCount(), 100);
  B.Controller->DataModeController()->SetGridModeBufferCount(3);
  B.Controller->DataModeController()->SetGridMode(true);
  B.Query->Open();
  ASSERT_TRUE(B.Controller->IsGridMode());
  EXPECT_EQ(B.Controller->GetRecordCount(), 3);
  EXPECT_EQ(B.Text(0, 1), "alpha");
  B.Query->Last();
  EXPECT_EQ(B.Controller->GetRecordCount(), 3);
  EXPECT_EQ(B.Text(2, 1), "epsilon");
  EXPECT_EQ(B.FocusedText(1), "epsilon");
  B.Controller->FocusRecord(0);
  EXPECT_EQ(B.Current(u"name"), "gamma");
}

TEST_F(DBDataTest, GridModeLocatesKeysThatAreNotLoaded) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Controller->DataModeController()->SetGridModeBufferCount(2);
  B.Controller->DataModeController()->SetGridMode(true);
  B.Controller->SetKeyFieldNames(u"id");
  B.Query->Open();
  EXPECT_TRUE(B.Controller->LocateByKey(Variant(5)));
  EXPECT_EQ(B.Current(u"name"), "epsilon");
  EXPECT_EQ(B.FocusedText(1), "epsilon");
  EXPECT_FALSE(B.Controller->LocateByKey(Variant(77)));
}

TEST_F(DBDataTest, GridModeSelectionKeepsBookmarksSorted) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Controller->DataModeController()->SetGridMode(true);
  B.Query->Open();
  TcxDBDataSelection* S = B.Controller->DBSelection();
  for (Integer Row : {3, 0, 4, 1}) S->Select(S->GetRowBookmark(Row), true);
  ASSERT_EQ(S->Count(), 4);
  for (Integer I = 1; I < S->Count(); ++I)
    EXPECT_LT(B.Query->CompareBookmarks(S->Bookmarks(I - 1), S->Bookmarks(I)), 0);
  EXPECT_EQ(B.Controller->GetSelectedBookmark(0), S->GetRowBookmark(0));

  // A range from the anchor over a deleted row skips it.
  S->Clear();
  S->SetAnchor(S->GetRowBookmark(0));
  const String Last = S->GetRowBookmark(3);
  B.Query->Locate(u"id", Variant(2), {});
  B.Query->Delete();
  S->SelectFromAnchor(Last, false);
  EXPECT_EQ(S->Count(), 3);  // alpha, gamma, delta

  S->SelectAll();
  EXPECT_EQ(S->Count(), 4);
  B.Query->First();
  B.Query->Delete();
  S->ClearStale();
  EXPECT_EQ(S->Count(), 3);
}

TEST_F(DBDataTest, BookmarkOperationsOutsideGridModeRaise) {
  auto& B = Bind(ItemSql, {u"id"});
  B.Query->Open();
  try {
    B.Controller->GetAnchorBookmark();
    FAIL() << "no exception";
  } catch (EcxInvalidDataControllerOperation& E) {
    EXPECT_EQ(E.Message, u"DataController not in GridMode");
  }
  EXPECT_THROW(B.Controller->GetSelectedBookmark(0), EcxInvalidDataControllerOperation);
}

// ---- Master and detail ------------------------------------------------------------------

TEST_F(DBDataTest, DetailFollowsItsMasterRecord) {
  auto& Master = Bind(u"SELECT gid, title FROM grp ORDER BY gid", {u"gid", u"title"});
  Master.Query->Open();
  TBound Detail(Db, ItemSql, {u"id", u"name", u"grp"}, Owner);
  Detail.Controller->SetMasterFieldNames(u"gid");
  Detail.Controller->SetDetailKeyFieldNames(u"grp");
  Detail.Query->Open();
  Detail.Controller->SetMasterRecord(Master.Controller.get(), 1);
  EXPECT_EQ(Detail.Current(u"grp"), "2");
  EXPECT_EQ(Detail.FocusedText(1), "gamma");
  Detail.Controller->SetMasterRecord(Master.Controller.get(), 2);
  EXPECT_EQ(Detail.FocusedText(1), "epsilon");
}

TEST_F(DBDataTest, DetailInSQLModeRequeriesWithTheMasterKey) {
  auto& Master = Bind(u"SELECT gid, title FROM grp ORDER BY gid", {u"gid", u"title"});
  Master.Query->Open();
  TBound Detail(Db, u"SELECT id, name, grp FROM item WHERE grp = :grp ORDER BY id", {u"id", u"name"}, Owner);
  Detail.Controller->SetMasterFieldNames(u"gid");
  Detail.Controller->SetDetailKeyFieldNames(u"grp");
  Detail.Controller->DataModeController()->SetDetailInSQLMode(true);
  Detail.Controller->SetMasterRecord(Master.Controller.get(), 0);
  ASSERT_TRUE(Detail.Query->Active());
  EXPECT_EQ(Detail.Controller->GetRecordCount(), 2);
  EXPECT_EQ(Detail.Text(1, 1), "beta");
  EXPECT_TRUE(Detail.Controller->IsDetailCurrentQuery());
  Detail.Controller->SetMasterRecord(Master.Controller.get(), 2);
  EXPECT_EQ(Detail.Controller->GetRecordCount(), 1);
  EXPECT_EQ(Detail.Text(0, 1), "epsilon");
}

TEST_F(DBDataTest, DetailFilterAdapterMissingForADataSetClassRaises) {
  auto& B = Bind(ItemSql, {u"id"});
  cxDetailFilterControllers()->Unregister(TDataSet::StaticClass(), TcxDBProviderDetailFilterAdapter::StaticClass());
  try {
    B.Controller->GetDetailFilterAdapter();
    ADD_FAILURE() << "no exception";
  } catch (EcxInvalidDataControllerOperation& E) {
    EXPECT_EQ(E.Message, u"DetailFilterController not found");
  }
  cxDetailFilterControllers()->Register(TDataSet::StaticClass(), TcxDBProviderDetailFilterAdapter::StaticClass());
}

// ---- Dataset filter ---------------------------------------------------------------------

namespace {
struct TFilterWrites : public TObject {
  Integer Count = 0;
  void Handle(TcxFilterCriteria*, TDataSet*, const String&) { ++Count; }
};
}  // namespace

TEST_F(DBDataTest, AutoDataSetFilterWritesTheFilterTextWithQuotesDoubled) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Query->Edit();
  B.Query->FieldByName(u"name")->SetAsString(u"o'brien");
  B.Query->Post();
  TcxDBDataFilterCriteria* F = B.Controller->DBFilter();
  F->SetAutoDataSetFilter(true);
  F->BeginUpdate();
  F->AddItem(nullptr, B.Controller->Fields()->Items(1), foEqual, Variant(String(u"o'brien")), u"o'brien");
  F->SetActive(true);
  F->EndUpdate();
  EXPECT_EQ(B.Query->Filter(), u"(name = 'o''brien')");
  EXPECT_TRUE(B.Query->Filtered());
  EXPECT_EQ(B.Query->RecordCount(), 1);
  EXPECT_EQ(B.Controller->GetRecordCount(), 1);
  EXPECT_EQ(B.Text(0, 1), "o'brien");

  F->SetActive(false);
  EXPECT_FALSE(B.Query->Filtered());
  EXPECT_EQ(B.Controller->GetRecordCount(), 5);
}

// Turning AutoDataSetFilter off takes the criteria's filter off the dataset,
// or later conditions would only see the rows the old one let through; a
// filter the dataset had from elsewhere stays.
TEST_F(DBDataTest, AutoDataSetFilterOffTakesItsFilterOffTheDataSet) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  TcxDBDataFilterCriteria* F = B.Controller->DBFilter();
  F->SetAutoDataSetFilter(true);
  F->BeginUpdate();
  TcxFilterCriteriaItem* Item =
      F->AddItem(nullptr, B.Controller->Fields()->Items(1), foEqual, Variant(String(u"beta")), u"beta");
  F->SetActive(true);
  F->EndUpdate();
  ASSERT_TRUE(B.Query->Filtered());
  ASSERT_EQ(B.Controller->GetRecordCount(), 1);

  F->SetAutoDataSetFilter(false);
  EXPECT_FALSE(B.Query->Filtered());
  EXPECT_EQ(B.Query->Filter(), u"");
  EXPECT_EQ(B.Controller->GetRowCount(), 1);
  Item->SetValue(Variant(String(u"alpha")));
  ASSERT_EQ(B.Controller->GetRowCount(), 1);
  EXPECT_EQ(B.Text(B.Controller->GetRowInfo(0).RecordIndex, 1), "alpha");

  F->SetActive(false);
  B.Query->SetFilter(u"id > 2");
  B.Query->SetFiltered(true);
  Item->SetValue(Variant(String(u"beta")));
  EXPECT_EQ(B.Query->Filter(), u"id > 2");
  EXPECT_TRUE(B.Query->Filtered());
}

TEST_F(DBDataTest, NullConditionOnAQueryWritesIsNull) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  TcxDBDataFilterCriteria* F = B.Controller->DBFilter();
  F->SetAutoDataSetFilter(true);
  F->BeginUpdate();
  F->AddItem(nullptr, B.Controller->Fields()->Items(1), foNotEqual, Null(), u"");
  F->SetActive(true);
  F->EndUpdate();
  EXPECT_EQ(B.Query->Filter(), u"(name IS NOT NULL)");
  EXPECT_EQ(B.Controller->GetRecordCount(), 5);
}

TEST_F(DBDataTest, SmartRefreshKeepsTheFilterInMemory) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->SetKeyFieldNames(u"id");
  B.Controller->DataModeController()->SetSmartRefresh(true);
  TcxDBDataFilterCriteria* F = B.Controller->DBFilter();
  F->SetAutoDataSetFilter(true);
  EXPECT_FALSE(F->IsDataSetFilterUsed());
  F->BeginUpdate();
  F->AddItem(nullptr, B.Controller->Fields()->Items(1), foEqual, Variant(String(u"beta")), u"beta");
  F->SetActive(true);
  F->EndUpdate();
  EXPECT_EQ(B.Query->Filter(), u"");
  EXPECT_FALSE(B.Query->Filtered());
  EXPECT_EQ(B.Controller->GetRowCount(), 1);
}

TEST_F(DBDataTest, AppendInADetailCopiesTheMasterKey) {
  auto& Master = Bind(u"SELECT gid, title FROM grp ORDER BY gid", {u"gid", u"title"});
  Master.Query->Open();
  TBound Detail(Db, ItemSql, {u"id", u"name", u"grp"}, Owner);
  Detail.Controller->SetMasterFieldNames(u"gid");
  Detail.Controller->SetDetailKeyFieldNames(u"grp");
  Detail.Controller->SetOptions(Detail.Controller->GetOptions() | dcoCopyMasterKeysToNewRecord);
  Detail.Query->Open();
  Detail.Controller->SetMasterRecord(Master.Controller.get(), 2);
  Detail.Controller->Append();
  EXPECT_EQ(Detail.Current(u"grp"), "3");
  EXPECT_EQ(Detail.FocusedText(2), "3");  // the new record shows the copied key
  Detail.Controller->SetItemEditValue(1, Variant(String(u"eta")));
  Detail.Controller->PostRecord();
  EXPECT_EQ(Db.Value("SELECT grp FROM item WHERE name = 'eta'"), "3");
}

TEST_F(DBDataTest, ProvidersOnOneDataSetWaitForTheOneThatLocks) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  TcxDBDataController Second(nullptr);
  TItem Column;
  Second.AddItemField(&Column);
  Second.SetItemFieldName(0, u"name");
  Second.SetDataSource(B.Source);
  ASSERT_EQ(Second.GetRecordCount(), 5);

  TcxDBDataProvider* P = B.Controller->GetDBProvider();
  P->LockNotify();
  B.Query->Append();
  B.Query->FieldByName(u"name")->SetAsString(u"theta");
  B.Query->Post();
  EXPECT_EQ(Second.GetRecordCount(), 5);  // waits on the lock
  P->UnlockNotify();
  EXPECT_EQ(Second.GetRecordCount(), 6);
  EXPECT_EQ(B.Controller->GetRecordCount(), 6);
  Second.SetDataSource(nullptr);
}

TEST_F(DBDataTest, GridModeIncrementalSearchWalksTheDataSet) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Controller->DataModeController()->SetGridModeBufferCount(2);
  B.Controller->DataModeController()->SetGridMode(true);
  B.Query->Open();
  TcxDataControllerSearch* S = B.Controller->Search();
  EXPECT_TRUE(S->Locate(1, u"DEL"));  // beyond the window, any case
  EXPECT_EQ(B.Current(u"name"), "delta");
  EXPECT_EQ(B.FocusedText(1), "delta");
  EXPECT_FALSE(S->Locate(1, u"zz"));
  EXPECT_EQ(B.Current(u"name"), "delta");  // the position is restored
  EXPECT_TRUE(S->Locate(1, u"a"));
  EXPECT_EQ(B.Current(u"name"), "alpha");
}

TEST_F(DBDataTest, SummaryItemBindsItsFieldByName) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  TcxDataFooterSummaryItems Items(B.Controller->Summary(), TcxDBDataSummaryItem::StaticClass());
  auto* Item = static_cast<TcxDBDataSummaryItem*>(Items.Add());
  Item->SetFieldName(u"qty");
  auto* F = dynamic_cast<TcxDBDataField*>(Item->SourceField());
  ASSERT_NE(F, nullptr);
  ASSERT_NE(F->GetField(), nullptr);
  EXPECT_EQ(F->GetField()->FieldName(), u"qty");
  EXPECT_EQ(B.Controller->GetRecordValue(4, F).AsInteger(), 50);
  Item->SetFieldName(u"");
  EXPECT_EQ(Item->SourceField(), nullptr);
}

TEST_F(DBDataTest, InsertInTheDataSetShowsTheNewRecordAtOnce) {
  for (bool InSync : {true, false}) {
    SCOPED_TRACE(InSync ? "insert in sync" : "insert after post");
    TTempDatabase Local(Schema);
    TComponent LocalOwner(nullptr);
    TBound B(Local, ItemSql, {u"id", u"name"}, &LocalOwner);
    B.Controller->DataModeController()->SetInsertInSync(InSync);
    B.Query->Open();
    B.Query->Append();
    EXPECT_EQ(B.Controller->GetRecordCount(), InSync ? 6 : 5);
    B.Query->FieldByName(u"name")->SetAsString(u"iota");
    if (InSync) {
      EXPECT_EQ(B.FocusedText(1), "iota");
    }
    B.Query->Cancel();
    EXPECT_EQ(B.Controller->GetRecordCount(), 5);
    B.Query->Append();
    B.Query->FieldByName(u"name")->SetAsString(u"kappa");
    B.Query->Post();
    EXPECT_EQ(B.Controller->GetRecordCount(), 6);
    EXPECT_EQ(B.FocusedText(1), "kappa");
  }
}

TEST_F(DBDataTest, DetailBoundThroughARelationTakesTheMasterRecordKey) {
  auto& Master = Bind(u"SELECT gid, title FROM grp ORDER BY gid", {u"title"});  // no item on gid
  Master.Query->Open();
  TBound Detail(Db, u"SELECT id, name, grp FROM item WHERE grp = :grp ORDER BY id", {u"id", u"name"}, Owner);
  Detail.Controller->SetMasterFieldNames(u"gid");
  Detail.Controller->SetDetailKeyFieldNames(u"grp");
  Detail.Controller->DataModeController()->SetDetailInSQLMode(true);
  TItem RelationItem;
  auto* Relation = new TcxDBDataRelation(Master.Controller->Relations(), &RelationItem);
  Master.Controller->Relations()->Add(Relation);
  Detail.Controller->SetMasterRelation(Relation, 1);
  EXPECT_FALSE(Relation->IsLinked());  // a clone: the relation has no detail of its own
  ASSERT_TRUE(Relation->IsLinked(Detail.Controller.get()));
  EXPECT_EQ(Relation->GetMasterKeyValue(1, Detail.Controller.get()).AsInteger(), 2);
  EXPECT_EQ(Detail.Controller->GetRecordCount(), 2);
  EXPECT_EQ(Detail.Text(0, 1), "gamma");
  Detail.Controller->SetMasterRelation(nullptr, -1);
  delete Relation;
}

TEST_F(DBDataTest, SelectionSurvivesAReloadByKey) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Query->Open();
  B.Controller->SetKeyFieldNames(u"id");
  B.Controller->SetMultiSelect(true);
  B.Controller->ChangeRowSelection(1, true);
  B.Controller->ChangeRowSelection(3, true);
  // Another row is deleted in the dataset: the rows move, the selection follows its records.
  B.Query->Locate(u"id", Variant(1), {});
  B.Query->Delete();
  ASSERT_EQ(B.Controller->GetRecordCount(), 4);
  ASSERT_EQ(B.Controller->GetSelectedCount(), 2);
  EXPECT_EQ(B.Text(B.Controller->GetRowInfo(B.Controller->GetSelectedRowIndex(0)).RecordIndex, 1), "beta");
  EXPECT_EQ(B.Text(B.Controller->GetRowInfo(B.Controller->GetSelectedRowIndex(1)).RecordIndex, 1), "delta");
}

TEST_F(DBDataTest, FreeingABoundPersistentFieldUnbindsTheItem) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  auto* Name = new TWideStringField(B.Query);
  Name->SetFieldName(u"name");
  Name->SetDataSet(B.Query);
  auto* Id = new TIntegerField(B.Query);
  Id->SetFieldName(u"id");
  Id->SetDataSet(B.Query);
  B.Controller->RecreateFields();  // persistent fields bind before the dataset opens
  EXPECT_EQ(B.Controller->GetItemField(1), Name);
  B.Query->Open();
  EXPECT_EQ(B.Text(2, 1), "gamma");
  B.Query->Close();
  delete Name;
  EXPECT_EQ(B.Controller->GetItemField(1), nullptr);
  EXPECT_EQ(B.Controller->GetItemField(0), Id);
}

// ---- What the dataset binding answers in place of the generic controller ------------------

TEST_F(DBDataTest, TheInMemoryFilterStepsAsideForTheDataSetFilterAndABeforeChangeHandler) {
  struct {
    const char* Name;
    bool Handler, AutoDataSetFilter, SmartRefresh;
    bool Filtering;
    Integer Rows;
  } const Cases[] = {
      {"in memory", false, false, false, true, 1},
      {"a before-change handler takes the condition", true, false, false, false, 5},
      {"the dataset filters", false, true, false, false, 1},
      {"smart refresh keeps it in memory", false, true, true, true, 1},
  };
  for (const auto& Case : Cases) {
    auto& B = Bind(ItemSql, {u"id", u"name"});
    B.Query->Open();
    if (Case.SmartRefresh) {
      B.Controller->SetKeyFieldNames(u"id");
      B.Controller->DataModeController()->SetSmartRefresh(true);
    }
    TFilterWrites Writes;
    TcxDBDataFilterCriteria* F = B.Controller->DBFilter();
    if (Case.Handler) F->OnBeforeChange = TcxDBDataFilterBeforeChangeEvent(&Writes, &TFilterWrites::Handle);
    F->SetAutoDataSetFilter(Case.AutoDataSetFilter);
    F->BeginUpdate();
    F->AddItem(nullptr, B.Controller->Fields()->Items(1), foEqual, Variant(String(u"beta")), u"beta");
    F->SetActive(true);
    F->EndUpdate();
    EXPECT_EQ(F->IsFiltering(), Case.Filtering) << Case.Name;
    EXPECT_EQ(B.Controller->IsFiltering(), Case.Filtering) << Case.Name;
    EXPECT_EQ(B.Controller->GetRowCount(), Case.Rows) << Case.Name;
    EXPECT_EQ(Writes.Count > 0, Case.Handler) << Case.Name;
  }
}

TEST_F(DBDataTest, RecordIdIsTheKeyValueAndBoundItemsKeepTheTypeOfTheirField) {
  auto& B = Bind(ItemSql, {u"id", u"name", u""});
  B.Query->Open();
  EXPECT_TRUE(VarIsNull(B.Controller->GetRecordId(1)));  // no key fields
  B.Controller->SetKeyFieldNames(u"id");
  EXPECT_EQ(B.Controller->GetRecordId(1).AsInteger(), 2);
  B.Controller->SetKeyFieldNames(u"id;name");
  const Variant Pair = B.Controller->GetRecordId(2);
  ASSERT_TRUE(VarIsArray(Pair));
  EXPECT_EQ(Pair.GetElement(0).AsInteger(), 3);
  EXPECT_EQ(VarToStr(Pair.GetElement(1)), u"gamma");
  EXPECT_THROW(B.Controller->GetRecordId(5), EcxInvalidDataControllerOperation);
  EXPECT_THROW(B.Controller->GetRecordId(cxNoRecordIndex), EcxInvalidDataControllerOperation);

  const TcxValueTypeClass IdType = B.Controller->GetItemValueTypeClass(0);
  B.Controller->SetItemValueTypeClass(0, TcxWideStringValueType::StaticClass());
  EXPECT_EQ(B.Controller->GetItemValueTypeClass(0), IdType);
  EXPECT_EQ(B.Controller->GetValue(0, 0).AsInteger(), 1);
  B.Controller->SetItemValueTypeClass(2, TcxFloatValueType::StaticClass());  // unbound
  EXPECT_EQ(B.Controller->GetItemValueTypeClass(2), TcxFloatValueType::StaticClass());
  EXPECT_THROW(B.Controller->SetItemValueTypeClass(3, TcxFloatValueType::StaticClass()),
               EcxInvalidDataControllerOperation);
}

// ---- Pending edits, deletes and the controls bracket ------------------------------------------

namespace {
enum class TMode { Plain, Keys, SmartRefresh, Grid };

const char* ModeName(TMode AMode) {
  switch (AMode) {
    case TMode::Plain: return "without keys";
    case TMode::Keys: return "with keys";
    case TMode::SmartRefresh: return "smart refresh";
    case TMode::Grid: return "grid mode";
  }
  return "?";
}

void SetMode(TBound& AB, TMode AMode) {
  if (AMode == TMode::Keys || AMode == TMode::SmartRefresh) AB.Controller->SetKeyFieldNames(u"id");
  if (AMode == TMode::SmartRefresh) AB.Controller->DataModeController()->SetSmartRefresh(true);
  if (AMode == TMode::Grid) {
    AB.Controller->DataModeController()->SetGridModeBufferCount(3);
    AB.Controller->DataModeController()->SetGridMode(true);
  }
}

const char* const NamesInDatabase = "SELECT group_concat(name) FROM (SELECT name FROM item ORDER BY id)";
}  // namespace

TEST_F(DBDataTest, DeletingASelectionPostsThePendingEditOfAnotherRow) {
  struct {
    TMode Mode;
    std::vector<Integer> Selected;
    const char* Names;
  } const Cases[] = {
      {TMode::Plain, {2, 3}, "ALPHA,beta,epsilon"},
      {TMode::Keys, {2, 3}, "ALPHA,beta,epsilon"},
      {TMode::SmartRefresh, {2, 3}, "ALPHA,beta,epsilon"},
      // The edited row is deleted with the others: its edit goes with it.
      {TMode::Keys, {0, 2}, "beta,delta,epsilon"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(ModeName(Case.Mode));
    TTempDatabase Local(Schema);
    TComponent LocalOwner(nullptr);
    TBound B(Local, ItemSql, {u"id", u"name"}, &LocalOwner);
    B.Query->Open();
    SetMode(B, Case.Mode);
    B.Controller->SetMultiSelect(true);
    B.Controller->FocusRecord(0);
    B.Controller->Edit();
    ASSERT_TRUE(B.Controller->SetItemEditValue(1, Variant(String(u"ALPHA"))));
    for (Integer Row : Case.Selected) B.Controller->ChangeRowSelection(Row, true);
    B.Controller->DeleteSelection();
    EXPECT_EQ(Local.Value(NamesInDatabase), Case.Names);
    EXPECT_EQ(B.Query->State(), dsBrowse);
    EXPECT_EQ(B.Controller->GetRecordCount(), 3);
  }
}

TEST_F(DBDataTest, ARowThatWentUnseenIsNeitherEditedNorDeletedInItsNeighbour) {
  // The last row goes while the dataset's controls are off: the controller
  // still shows it, and moving there without keys falls short by one row.
  struct {
    const char* Name;
    std::function<void(TcxDBDataController&)> Act;
  } const Cases[] = {
      {"edit",
       [](TcxDBDataController& C) {
         C.Edit();
         EXPECT_FALSE(C.SetItemEditValue(1, Variant(String(u"changed"))));
         C.PostRecord();
       }},
      {"delete", [](TcxDBDataController& C) { C.DeleteFocused(); }},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTempDatabase Local(Schema);
    TComponent LocalOwner(nullptr);
    TBound B(Local, ItemSql, {u"id", u"name"}, &LocalOwner);
    B.Query->Open();
    B.Controller->FocusRecord(4);
    B.Query->DisableControls();
    B.Query->Delete();
    Case.Act(*B.Controller);
    EXPECT_EQ(B.Query->State(), dsBrowse);
    B.Query->EnableControls();
    EXPECT_EQ(Local.Value(NamesInDatabase), "alpha,beta,gamma,delta");
    EXPECT_EQ(B.Controller->GetRecordCount(), 4);
  }
}

TEST_F(DBDataTest, RestoringAPositionAfterDeletesInGridModeLandsOnTheSavedRecord) {
  auto& B = Bind(ItemSql, {u"id", u"name"});
  B.Controller->DataModeController()->SetGridModeBufferCount(3);
  B.Controller->DataModeController()->SetGridMode(true);
  B.Query->Open();
  TcxDBDataProvider* P = B.Controller->GetDBProvider();
  B.Query->Last();
  B.Query->MoveBy(-2);  // gamma at the top of the window gamma..epsilon
  ASSERT_EQ(P->DataLink()->ActiveRecord(), 0);
  P->SavePosition();
  for (int I = 0; I < 2; ++I) {  // gamma becomes the last row
    B.Query->Last();
    B.Query->Delete();
  }
  B.Query->First();
  P->RestorePosition();
  EXPECT_EQ(B.Current(u"name"), "gamma");

  // Selecting all rows walks the dataset and comes back to the same record.
  B.Controller->DBSelection()->SelectAll();
  EXPECT_EQ(B.Controller->DBSelection()->Count(), 3);
  EXPECT_EQ(B.Current(u"name"), "gamma");
}

TEST_F(DBDataTest, TheControlsBracketEndsWithOneFocusNotice) {
  enum class TBracket { Controls, NotifyLock };
  for (TBracket Bracket : {TBracket::Controls, TBracket::NotifyLock})
    for (TMode Mode : {TMode::Plain, TMode::Keys, TMode::SmartRefresh, TMode::Grid}) {
      SCOPED_TRACE(std::string(ModeName(Mode)) + (Bracket == TBracket::Controls ? ", controls" : ", notify lock"));
      TTempDatabase Local(Schema);
      TComponent LocalOwner(nullptr);
      TBound B(Local, ItemSql, {u"id", u"name"}, &LocalOwner);
      SetMode(B, Mode);
      B.Query->Open();
      TNoticeRecorder Notices;
      B.Controller->OnUpdateControl = TcxUpdateControlEvent(&Notices, &TNoticeRecorder::Handle);
      TcxDBDataProvider* P = B.Controller->GetDBProvider();
      if (Bracket == TBracket::Controls) B.Query->DisableControls(); else P->LockNotify();
      B.Query->Next();
      B.Query->Next();
      if (Bracket == TBracket::Controls) B.Query->EnableControls(); else P->UnlockNotify();
      EXPECT_EQ(Notices.Only("focus("), std::vector<std::string>{"focus(0->2)"});
      EXPECT_EQ(B.FocusedText(1), "gamma");

      // An edit posted inside the bracket: the focus follows the dataset once.
      Notices.Seen.clear();
      B.Query->DisableControls();
      B.Query->First();
      B.Query->Edit();
      B.Query->FieldByName(u"name")->SetAsString(u"ALPHA");
      B.Query->Post();
      B.Query->EnableControls();
      EXPECT_EQ(Notices.Only("focus("), std::vector<std::string>{"focus(2->0)"});
      EXPECT_EQ(B.FocusedText(1), "ALPHA");
      B.Controller->OnUpdateControl = {};
    }
}

TEST_F(DBDataTest, ABracketThatChangesTheRowCountEndsWithOneFocusNotice) {
  // Rows appended or deleted while the controls are off: the view hears of
  // the focus once, from the row it showed to the row the dataset is on (no
  // empty notice from a reload in between).
  struct {
    const char* Name;
    std::function<void(TDataSet&)> Body;
    const char* FocusedName;
    bool BothBrackets;  // also under the provider's notify lock
  } const Cases[] = {
      {"a row appended",
       [](TDataSet& Q) {
         Q.Append();
         Q.FieldByName(u"name")->SetAsString(u"zeta");
         Q.Post();
       },
       "zeta", true},
      {"the focused row deleted", [](TDataSet& Q) { Q.Delete(); }, "gamma", false},
      {"appended, then back to the first",
       [](TDataSet& Q) {
         Q.Append();
         Q.FieldByName(u"name")->SetAsString(u"zeta");
         Q.Post();
         Q.First();
       },
       "alpha", false},
  };
  enum class TBracket { Controls, NotifyLock };
  for (TBracket Bracket : {TBracket::Controls, TBracket::NotifyLock})
  for (TMode Mode : {TMode::Plain, TMode::Keys, TMode::SmartRefresh, TMode::Grid})
    for (const auto& Case : Cases) {
      if (Bracket == TBracket::NotifyLock && !Case.BothBrackets) continue;
      SCOPED_TRACE(std::string(ModeName(Mode)) + ", " + Case.Name + (Bracket == TBracket::Controls ? ", controls" : ", notify lock"));
      TTempDatabase Local(Schema);
      TComponent LocalOwner(nullptr);
      TBound B(Local, ItemSql, {u"id", u"name"}, &LocalOwner);
      SetMode(B, Mode);
      B.Query->Open();
      B.Query->Next();  // beta
      TNoticeRecorder Notices;
      B.Controller->OnUpdateControl = TcxUpdateControlEvent(&Notices, &TNoticeRecorder::Handle);
      TcxDBDataProvider* P = B.Controller->GetDBProvider();
      if (Bracket == TBracket::Controls) B.Query->DisableControls(); else P->LockNotify();
      Case.Body(*B.Query);
      if (Bracket == TBracket::Controls) B.Query->EnableControls(); else P->UnlockNotify();
      const std::vector<std::string> Focus = Notices.Only("focus(");
      const Integer Now = B.Controller->GetFocusedRecordIndex();
      // A grid window read over may keep the focus at its place in the window.
      if (Now == 1) EXPECT_LE(Focus.size(), 1u) << ::testing::PrintToString(Notices.Seen);
      else EXPECT_EQ(Focus, std::vector<std::string>{"focus(1->" + std::to_string(Now) + ")"}) << ::testing::PrintToString(Notices.Seen);
      EXPECT_EQ(B.FocusedText(1), Case.FocusedName);
      EXPECT_EQ(B.Current(u"name"), Case.FocusedName);
      B.Controller->OnUpdateControl = {};
    }
}

TEST_F(DBDataTest, AnEditFollowedByAFocusChangePostsTheRow) {
  for (TMode Mode : {TMode::Plain, TMode::Keys, TMode::SmartRefresh, TMode::Grid}) {
    SCOPED_TRACE(ModeName(Mode));
    TTempDatabase Local(Schema);
    TComponent LocalOwner(nullptr);
    TBound B(Local, ItemSql, {u"id", u"name"}, &LocalOwner);
    SetMode(B, Mode);
    B.Query->Open();
    B.Controller->FocusRecord(1);
    B.Controller->Edit();
    ASSERT_TRUE(B.Controller->SetItemEditValue(1, Variant(String(u"BETA"))));
    B.Controller->FocusRecord(2);
    EXPECT_EQ(B.Query->State(), dsBrowse);
    EXPECT_EQ(Local.Value("SELECT name FROM item WHERE id = 2"), "BETA");
    EXPECT_EQ(B.Current(u"name"), "gamma");
    EXPECT_EQ(B.FocusedText(1), "gamma");
    EXPECT_EQ(B.Text(1, 1), "BETA");
  }
}

namespace {
// The text handlers of the program's metadata content field.
class TContentText : public TObject {
public:
  void GetText(TField* Sender, String& Text, bool) { Text = Sender->AsString(); }
  void SetText(TField* Sender, const String& Text) { Sender->SetValue(Variant(Text)); }
};
}  // namespace

TEST_F(DBDataTest, AContentFieldEditsThroughItsTextHandlers) {
  TTempDatabase Local("CREATE TABLE note (id INTEGER PRIMARY KEY, content MEMO);"
                      "INSERT INTO note VALUES (1, '<a>first</a>'), (2, NULL);");
  TComponent LocalOwner(nullptr);
  TBound B(Local, u"SELECT id, content FROM note ORDER BY id", {u"id", u"content"}, &LocalOwner);
  TContentText Handlers;
  auto* Id = new TIntegerField(B.Query);
  Id->SetFieldName(u"id");
  Id->SetDataSet(B.Query);
  auto* Content = new TMemoField(B.Query);
  Content->SetFieldName(u"content");
  Content->SetDataSet(B.Query);
  Content->OnGetText = TFieldGetTextEvent(&Handlers, &TContentText::GetText);
  Content->OnSetText = TFieldSetTextEvent(&Handlers, &TContentText::SetText);
  B.Controller->RecreateFields();
  B.Query->Open();
  EXPECT_TRUE(B.Controller->GetItemTextStored(1));
  EXPECT_EQ(StringToUTF8(B.Controller->GetDisplayText(0, 1)), "<a>first</a>");
  EXPECT_TRUE(B.Controller->GetCanModifyItem(1));

  const String Chinese = UTF8ToString("<a>地质 数据</a>");
  for (auto Kind : {evsValue, evsText}) {
    SCOPED_TRACE(Kind == evsValue ? "value" : "text");
    B.Controller->FocusRecord(1);
    B.Controller->Edit();
    ASSERT_TRUE(B.Controller->SetItemEditValue(1, Variant(Chinese), Kind));
    EXPECT_EQ(B.Controller->GetItemEditValue(1, evsText), Variant(Chinese));
    B.Controller->FocusRecord(0);  // posts
    EXPECT_EQ(Local.Value("SELECT content FROM note WHERE id = 2"), "<a>地质 数据</a>");
    EXPECT_EQ(B.Controller->GetDisplayText(1, 1), Chinese);
    B.Query->Locate(u"id", Variant(2), {});
    B.Query->Edit();
    B.Query->FieldByName(u"content")->Clear();
    B.Query->Post();
  }
}
