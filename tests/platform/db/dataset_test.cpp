#include <gtest/gtest.h>

#include "tests/platform/db/dbtestutil.h"

namespace {

const char* Schema = R"(
CREATE TABLE t (id integer, code text(10), name text(20), parent_id integer);
INSERT INTO t VALUES (1, '02', 'Beta', 0), (2, '01', 'alpha', 0), (3, '0101', 'Alphabet', 2),
  (4, '03', 'gamma', 0), (5, '0102', NULL, 2);
)";

struct TDataSetTest : ::testing::Test {
  TDataSetTest() : Fx(Schema) {
    Fx.Open(u"select id, code, name, parent_id from t");
    Q = Fx.Query;
  }
  Integer Id() { return Q->FieldByName(u"id")->AsInteger(); }
  std::vector<Integer> Order() {
    std::vector<Integer> ids;
    for (Q->First(); !Q->Eof(); Q->Next()) ids.push_back(Id());
    return ids;
  }
  TQueryFixture Fx;
  TADOQuery* Q;
};

TEST_F(TDataSetTest, BookmarksNameRecordsAcrossSortsAndRefresh) {
  Q->SetRecNo(3);
  String mark = Q->Bookmark();
  EXPECT_TRUE(Q->BookmarkValid(mark));
  Q->First();
  String first = Q->Bookmark();
  EXPECT_EQ(Q->CompareBookmarks(first, mark), -1);
  EXPECT_EQ(Q->CompareBookmarks(mark, first), 1);
  EXPECT_EQ(Q->CompareBookmarks(mark, mark), 0);
  EXPECT_EQ(Q->CompareBookmarks(u"", mark), -1);
  Q->GotoBookmark(mark);
  EXPECT_EQ(Id(), 3);
  Q->SetSort(u"code");  // record 3 now comes before record 1
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(Q->CompareBookmarks(first, mark), 1);
  Q->Refresh();
  EXPECT_TRUE(Q->BookmarkValid(mark));
  Q->GotoBookmark(first);
  EXPECT_EQ(Id(), 1);
  Q->GotoBookmark(mark);
  Q->Delete();
  EXPECT_FALSE(Q->BookmarkValid(mark));
  EXPECT_THROW(Q->GotoBookmark(mark), EDatabaseError);
  EXPECT_FALSE(Q->BookmarkValid(u"garbage"));
}

TEST_F(TDataSetTest, LocateWithOptionsAndSeveralFields) {
  struct {
    const char16_t* Fields;
    Variant Values;
    TLocateOptions Options;
    Integer Id;  // 0: not found
  } cases[] = {
      {u"id", Variant(4), {}, 4},
      {u"id", Variant(u"4"), {}, 4},
      {u"code", Variant(u"0101"), {}, 3},
      {u"name", Variant(u"ALPHA"), {}, 0},
      {u"name", Variant(u"ALPHA"), {loCaseInsensitive}, 2},
      {u"name", Variant(u"alph"), {loPartialKey}, 2},
      {u"name", Variant(u"ALPHAB"), {loCaseInsensitive, loPartialKey}, 3},
      {u"name", Null(), {}, 5},
      {u"parent_id;code", VarArrayOf({Variant(2), Variant(u"0102")}), {}, 5},
      {u" parent_id ; name ", VarArrayOf({Variant(0), Variant(u"gamma")}), {}, 4},
      {u"parent_id;code", VarArrayOf({Variant(0), Variant(u"0102")}), {}, 0},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Fields));
    Q->First();
    bool found = Q->Locate(c.Fields, c.Values, c.Options);
    EXPECT_EQ(found, c.Id != 0);
    EXPECT_EQ(Id(), c.Id != 0 ? c.Id : 1);  // a failed locate does not move
  }
  EXPECT_THROW(Q->Locate(u"nothing", Variant(1), {}), EDatabaseError);
  Q->First();
  EXPECT_EQ(Q->Lookup(u"code", Variant(u"03"), u"name").AsString(), u"gamma");
  Variant both = Q->Lookup(u"id", Variant(3), u"code;name");
  EXPECT_EQ(both[0].AsString(), u"0101");
  EXPECT_EQ(both[1].AsString(), u"Alphabet");
  EXPECT_TRUE(VarIsNull(Q->Lookup(u"id", Variant(99), u"name")));
  EXPECT_EQ(Id(), 1);  // Lookup does not move
}

TEST_F(TDataSetTest, LocateIndexFollowsEdits) {
  ASSERT_TRUE(Q->Locate(u"id", Variant(3), {}));
  Q->Edit();
  Q->FieldByName(u"id")->SetAsInteger(30);
  Q->Post();
  EXPECT_FALSE(Q->Locate(u"id", Variant(3), {}));
  EXPECT_TRUE(Q->Locate(u"id", Variant(30), {}));
  Q->Append();
  Q->FieldByName(u"id")->SetAsInteger(3);
  Q->Post();
  Q->First();
  EXPECT_TRUE(Q->Locate(u"id", Variant(3), {}));
  EXPECT_EQ(Q->RecNo(), 6);
}

TEST_F(TDataSetTest, SortIsKeptAfterPosts) {
  Q->SetSort(u"code");
  EXPECT_EQ(Order(), (std::vector<Integer>{2, 3, 5, 1, 4}));
  ASSERT_TRUE(Q->Locate(u"id", Variant(4), {}));
  Q->Edit();
  Q->FieldByName(u"code")->SetAsString(u"00");
  Q->Post();
  EXPECT_EQ(Id(), 4);
  EXPECT_EQ(Q->RecNo(), 1);
  Q->Append();
  Q->FieldByName(u"id")->SetAsInteger(6);
  Q->FieldByName(u"code")->SetAsString(u"0101");
  Q->Post();
  EXPECT_EQ(Q->RecNo(), 4);
  EXPECT_EQ(Order(), (std::vector<Integer>{4, 2, 3, 6, 5, 1}));
  Q->SetSort(u"parent_id DESC, [name] ASC");
  EXPECT_EQ(Order(), (std::vector<Integer>{5, 3, 1, 2, 4, 6}));
  EXPECT_THROW(Q->SetSort(u"nothing"), EDatabaseError);
  EXPECT_EQ(Q->Sort(), u"parent_id DESC, [name] ASC");
  Q->SetSort(u"");
  EXPECT_EQ(Order(), (std::vector<Integer>{1, 2, 3, 4, 5, 6}));
}

TEST_F(TDataSetTest, EventsOfEditingRunInOrder) {
  std::vector<std::string> log;
  auto hook = [&](TDataSetNotifyEvent& e, const char* name) {
    e = TDataSetNotifyEvent(&log, [&log, name](TDataSet*) { log.push_back(name); }, size_t(name));
  };
  hook(Q->BeforeEdit, "beforeEdit");
  hook(Q->AfterEdit, "afterEdit");
  hook(Q->BeforePost, "beforePost");
  hook(Q->AfterPost, "afterPost");
  hook(Q->BeforeInsert, "beforeInsert");
  hook(Q->AfterInsert, "afterInsert");
  hook(Q->OnNewRecord, "newRecord");
  hook(Q->BeforeCancel, "beforeCancel");
  hook(Q->AfterCancel, "afterCancel");
  hook(Q->BeforeDelete, "beforeDelete");
  hook(Q->AfterDelete, "afterDelete");
  hook(Q->BeforeScroll, "beforeScroll");
  hook(Q->AfterScroll, "afterScroll");
  Q->Edit();
  Q->FieldByName(u"name")->SetAsString(u"x");
  Q->Next();
  Q->Insert();
  Q->Cancel();
  Q->Delete();
  EXPECT_EQ(log, (std::vector<std::string>{"beforeEdit", "afterEdit", "beforePost", "afterPost", "beforeScroll",
                                           "afterScroll", "beforeInsert", "beforeScroll", "newRecord",
                                           "afterInsert", "afterScroll", "beforeCancel", "afterCancel",
                                           "beforeDelete", "beforeScroll", "afterDelete", "afterScroll"}));
}

TEST_F(TDataSetTest, DataLinkSeesEventsInThePlatformsOrder) {
  TDataSource source(nullptr);
  TRecordingLink link;
  link.SetDataSource(&source);
  source.SetDataSet(Q);
  EXPECT_EQ(link.Log, (std::vector<std::string>{"active"}));
  struct {
    std::function<void()> Action;
    std::vector<std::string> Log;
  } steps[] = {
      {[&] { Q->Next(); }, {"checkBrowse", "scrolled 1"}},
      {[&] { Q->Edit(); }, {"editing", "record"}},
      {[&] { Q->FieldByName(u"name")->SetAsString(u"y"); }, {"record name"}},
      {[&] { Q->Post(); }, {"updateData", "checkBrowse", "notEditing", "changed"}},
      {[&] { Q->Last(); }, {"checkBrowse", "changed"}},
      {[&] { Q->Edit(); Q->Cancel(); }, {"editing", "record", "checkBrowse", "notEditing", "changed"}},
      {[&] { Q->Delete(); }, {"checkBrowse", "changed"}},
      {[&] { Q->Locate(u"id", Variant(1), {}); }, {"checkBrowse", "changed"}},
      {[&] { Q->Close(); }, {"inactive"}},
      {[&] { Q->Open(); }, {"active"}},
      {[&] { Q->Append(); }, {"checkBrowse", "editing", "changed"}},
      {[&] { Q->FieldByName(u"id")->SetAsInteger(8); Q->Post(); },
       {"record id", "updateData", "checkBrowse", "notEditing", "changed"}},
  };
  for (auto& s : steps) {
    link.Clear();
    s.Action();
    EXPECT_EQ(link.Log, s.Log);
  }
}

TEST_F(TDataSetTest, UpdateDataWritesPendingValuesBeforeAMove) {
  TDataSource source(nullptr);
  source.SetDataSet(Q);
  TRecordingLink link;
  link.SetDataSource(&source);
  // A control whose pending text is written when the dataset asks.
  link.OnUpdateData = [&] {
    if (Q->State() == dsEdit) Q->FieldByName(u"name")->SetAsString(u"typed");
  };
  ASSERT_TRUE(link.Edit());
  Q->Next();
  EXPECT_EQ(Fx.Db.Value("select name from t where id = 1"), "typed");
}

TEST_F(TDataSetTest, DisabledControlsHearOneChangeAtTheEnd) {
  TDataSource source(nullptr);
  source.SetDataSet(Q);
  TRecordingLink link;
  link.SetDataSource(&source);
  link.Clear();
  Q->DisableControls();
  Q->DisableControls();
  EXPECT_TRUE(Q->ControlsDisabled());
  Q->Next();
  Q->Edit();
  Q->FieldByName(u"name")->SetAsString(u"z");
  Q->Post();
  Q->Last();
  Q->EnableControls();
  EXPECT_TRUE(link.Log.empty());
  Q->EnableControls();
  EXPECT_FALSE(Q->ControlsDisabled());
  EXPECT_EQ(link.Log, (std::vector<std::string>{"changed"}));
  // Links that look at every event see the disabled state change (the
  // event the base link does not dispatch): 1 when disabled, 0 when enabled,
  // and the enabling one comes before the held change.
  struct TEventLink : TDataLink {
    std::vector<std::pair<Integer, NativeInt>> Events;
    void DataEvent(TDataEvent Event, NativeInt Info) override {
      TDataLink::DataEvent(Event, Info);
      Events.emplace_back(Integer(Event), Info);
    }
  } events;
  events.SetDataSource(&source);
  Q->DisableControls();
  Q->Next();
  Q->EnableControls();
  EXPECT_EQ(events.Events, (std::vector<std::pair<Integer, NativeInt>>{{14, 1}, {14, 0}, {2, 0}}));
  events.SetDataSource(nullptr);
  // Opening and closing still reach the links while disabled.
  link.Clear();
  Q->DisableControls();
  Q->Close();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"inactive"}));
  Q->EnableControls();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"inactive"}));
}

TEST_F(TDataSetTest, LinkWindowFollowsTheCursor) {
  TDataSource source(nullptr);
  source.SetDataSet(Q);
  TRecordingLink link;
  link.SetDataSource(&source);
  link.SetBufferCount(3);
  EXPECT_EQ(link.RecordCount(), 3);
  EXPECT_EQ(link.ActiveRecord(), 0);
  link.Clear();
  Q->MoveBy(3);  // record 4: the window scrolls by one
  EXPECT_EQ(link.Log, (std::vector<std::string>{"checkBrowse", "scrolled 1"}));
  EXPECT_EQ(link.ActiveRecord(), 2);
  Q->Last();
  EXPECT_EQ(link.ActiveRecord(), 2);
  EXPECT_EQ(link.FirstRecord(), 2);
  // Reading another record of the window through the link.
  std::vector<Integer> window;
  Integer saved = link.ActiveRecord();
  for (Integer i = 0; i < link.RecordCount(); ++i) {
    link.SetActiveRecord(i);
    window.push_back(Q->FieldByName(u"id")->AsInteger());
  }
  link.SetActiveRecord(saved);
  EXPECT_EQ(window, (std::vector<Integer>{3, 4, 5}));
  EXPECT_EQ(Id(), 5);
  link.Clear();
  Q->First();
  EXPECT_EQ(link.Log, (std::vector<std::string>{"checkBrowse", "changed"}));
  EXPECT_EQ(link.ActiveRecord(), 0);
  source.SetEnabled(false);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(link.RecordCount(), 0);
}

TEST_F(TDataSetTest, RestoringAPositionPutsTheRecordBackAtItsRowOfTheWindow) {
  // The data controller's way back to a saved position: go to the bookmark,
  // then two moves that leave the record current and scroll the window.
  TDataSource source(nullptr);
  source.SetDataSet(Q);
  TRecordingLink link;
  link.SetDataSource(&source);
  const Integer B = 3;
  link.SetBufferCount(B);
  for (Integer recNo = 1; recNo <= 5; ++recNo) {
    Q->SetRecNo(recNo);
    String mark = Q->Bookmark();
    Integer saved = link.ActiveRecord();
    for (Integer elsewhere : {1, 5}) {
      SCOPED_TRACE(std::to_string(recNo) + " via " + std::to_string(elsewhere));
      Q->SetRecNo(elsewhere);
      Q->GotoBookmark(mark);
      Integer now = link.ActiveRecord();
      if (saved < now) {
        Q->MoveBy(B - saved - 1);
        Q->MoveBy(saved - B + 1);
      } else if (saved > now) {
        Q->MoveBy(-saved);
        Q->MoveBy(saved);
      }
      EXPECT_EQ(Q->RecNo(), recNo);
      EXPECT_EQ(link.ActiveRecord(), saved);
    }
  }
}

TEST_F(TDataSetTest, RefreshReadsChangesAndKeepsTheCurrentRecord) {
  Q->SetRecNo(3);
  Fx.Connection->Execute(u"UPDATE t SET name = 'renamed' WHERE id = 3; DELETE FROM t WHERE id = 1");
  EXPECT_EQ(Q->FieldByName(u"name")->AsString(), u"Alphabet");
  Q->Refresh();
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(Q->FieldByName(u"name")->AsString(), u"renamed");
  EXPECT_EQ(Q->RecordCount(), 4);
  // A post of a row deleted behind the query's back fails and keeps the edit.
  Fx.Connection->Execute(u"DELETE FROM t WHERE id = 3");
  Q->Edit();
  Q->FieldByName(u"name")->SetAsString(u"lost?");
  EXPECT_THROW(Q->Post(), EDatabaseError);
  EXPECT_EQ(Q->State(), dsEdit);
  Q->Cancel();
}

TEST_F(TDataSetTest, DataSourceEventsAndFocusControl) {
  TDataSource source(nullptr);
  source.SetDataSet(Q);
  std::vector<std::string> log;
  source.OnDataChange = TDataChangeEvent(&log, [&](TObject*, TField* f) {
    log.push_back(f ? "data " + StringToUTF8(f->FieldName()) : std::string("data"));
  });
  source.OnStateChange = TNotifyEvent(&log, [&](TObject*) { log.push_back("state"); }, 1);
  source.Edit();
  EXPECT_EQ(Q->State(), dsEdit);
  Q->FieldByName(u"code")->SetAsString(u"09");
  Q->Cancel();
  EXPECT_EQ(log, (std::vector<std::string>{"state", "data", "data code", "state", "data"}));

  struct TFocusLink : TDataLink {
    TField* Focused = nullptr;
    void FocusControl(TFieldRef Field) override {
      Focused = *Field;
      *Field = nullptr;
    }
  } first, second;
  first.SetDataSource(&source);
  second.SetDataSource(&source);
  Q->FieldByName(u"name")->FocusControl();
  EXPECT_EQ(first.Focused, Q->FieldByName(u"name"));
  EXPECT_EQ(second.Focused, nullptr);
}

TEST_F(TDataSetTest, RequiredFieldsAndReadOnlyFields) {
  TField* code = Q->FieldByName(u"code");
  code->SetRequired(true);
  Q->Insert();
  Q->FieldByName(u"id")->SetAsInteger(9);
  try {
    Q->Post();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message.find(u"Field 'code' must have a value"), String::npos);
  }
  EXPECT_EQ(Q->State(), dsInsert);
  Q->Cancel();
  code->SetReadOnly(true);
  Q->Edit();
  EXPECT_THROW(code->SetAsString(u"x"), EDatabaseError);
  Q->Cancel();
  EXPECT_THROW(Q->FieldByName(u"name")->SetAsString(u"x"), EDatabaseError);  // not editing
  EXPECT_THROW(Q->Post(), EDatabaseError);
}

TEST_F(TDataSetTest, CalculatedFieldsAndValidation) {
  Q->Close();
  for (const char16_t* name : {u"id", u"code", u"name"}) {
    TField* f = new TWideStringField(Q);
    if (String(name) == u"id") {
      delete f;
      f = new TIntegerField(Q);
    }
    f->SetFieldName(name);
    f->SetDataSet(Q);
  }
  auto* label = new TWideStringField(Q);
  label->SetFieldName(u"label");
  label->SetFieldKind(fkCalculated);
  label->SetDataSet(Q);
  Q->OnCalcFields = TDataSetNotifyEvent(Q, [](TDataSet* ds) {
    ds->FieldByName(u"label")->SetAsString(ds->FieldByName(u"code")->AsString() + u":" +
                                           ds->FieldByName(u"name")->AsString());
  });
  TField* name = Q->FieldByName(u"name");
  name->OnValidate = TFieldNotifyEvent(Q, [](TField* f) {
    if (f->AsString() == u"bad") throw EDatabaseError(u"no bad names");
  });
  Q->Open();
  EXPECT_EQ(label->AsString(), u"02:Beta");
  Q->Edit();
  name->SetAsString(u"Delta");
  EXPECT_EQ(label->AsString(), u"02:Delta");
  EXPECT_THROW(name->SetAsString(u"bad"), EDatabaseError);
  EXPECT_EQ(name->AsString(), u"Delta");
  Q->Post();
  EXPECT_EQ(label->AsString(), u"02:Delta");
  EXPECT_THROW(label->SetAsString(u"x"), EDatabaseError);
}

}  // namespace
