#include <gtest/gtest.h>

#include "tests/platform/db/dbtestutil.h"

#include "platform/rtl/datetime.h"

namespace {

const char* RecordSchema = R"(
CREATE TABLE t_metadata (meta_id text(50), id integer, code text(50), cname text(50), ename text(50),
  content memo, parent_id integer, parent_code text(50), max_times integer, isEnd smallint,
  tag integer, choice_state integer, record_type text(50));
INSERT INTO t_metadata (meta_id, id, code, cname, ename, content, parent_id, max_times)
  VALUES ('m1', 1, '01', '标识信息', 'idInfo', NULL, -1, 1),
         ('m1', 2, '0101', '引用', 'citation', NULL, 1, 1),
         ('m1', 3, '010101', '标题', 'title', 'Old title', 2, 1),
         ('m1', 4, '010102', '日期', 'date', '2020-01-01', 2, 5),
         ('m2', 5, '01', '标识信息', 'idInfo', 'other record', -1, 1);
CREATE TABLE templet (id integer, code text(50), choice text(10), descr memo);
INSERT INTO templet VALUES (1, '01', 'M', 'identification'), (2, '0101', 'O', 'citation'),
  (3, '010101', 'M', 'the title'), (4, '010102', 'O', 'a date');
)";

const char16_t* RecordSelect =
    u"select meta_id,id,code,cname,ename,content,parent_id,parent_code,max_times,isEnd,tag,choice_state "
    u"from t_metadata where meta_id='m1' order by  code,id";

std::vector<Integer> Ids(TDataSet* ds) {
  std::vector<Integer> ids;
  ds->First();
  while (!ds->Eof()) {
    ids.push_back(ds->FieldByName(u"id")->AsInteger());
    ds->Next();
  }
  return ids;
}

TEST(ADOQuery, OpensTheWholeResultWithFieldsFromDeclaredTypes) {
  TQueryFixture fx(RecordSchema);
  fx.Open(RecordSelect);
  TADOQuery* q = fx.Query;
  EXPECT_EQ(q->RecordCount(), 4);
  EXPECT_TRUE(q->Updatable());
  struct {
    const char16_t* name;
    TFieldType type;
    Integer size;
  } expected[] = {{u"meta_id", ftWideString, 50}, {u"id", ftInteger, 0}, {u"content", ftMemo, 0},
                  {u"isEnd", ftSmallint, 0}, {u"max_times", ftInteger, 0}};
  for (auto& e : expected) {
    TField* f = q->FieldByName(e.name);
    EXPECT_EQ(f->DataType(), e.type) << StringToUTF8(e.name);
    EXPECT_EQ(f->Size(), e.size) << StringToUTF8(e.name);
  }
  EXPECT_EQ(q->FieldCount(), 12);
  EXPECT_TRUE(dynamic_cast<TMemoField*>(q->FieldByName(u"CONTENT")) != nullptr);
  EXPECT_EQ(q->FieldByName(u"cname")->AsString(), u"标识信息");
  EXPECT_TRUE(q->FieldByName(u"content")->IsNull());
  EXPECT_EQ(q->FieldByName(u"content")->DisplayText(), u"(memo)");
  try {
    q->FieldByName(u"nope");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message.find(u"Field 'nope' not found"), String::npos);
  }
}

TEST(ADOQuery, NavigationBofEofRecNoAndMoveBy) {
  TQueryFixture fx(RecordSchema);
  fx.Open(RecordSelect);
  TADOQuery* q = fx.Query;
  EXPECT_TRUE(q->Bof());
  EXPECT_FALSE(q->Eof());
  EXPECT_EQ(q->RecNo(), 1);
  EXPECT_EQ(q->MoveBy(2), 2);
  EXPECT_EQ(q->FieldByName(u"code")->AsString(), u"010101");
  EXPECT_EQ(q->MoveBy(10), 1);
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->RecNo(), 4);
  EXPECT_EQ(q->MoveBy(1), 0);
  EXPECT_EQ(q->MoveBy(-10), -3);
  EXPECT_TRUE(q->Bof());
  q->SetRecNo(3);
  EXPECT_EQ(q->FieldByName(u"id")->AsInteger(), 3);
  q->Last();
  EXPECT_TRUE(q->Eof());
  q->Prior();
  EXPECT_FALSE(q->Eof());
  EXPECT_EQ(q->RecNo(), 3);
  EXPECT_EQ(Ids(q), (std::vector<Integer>{1, 2, 3, 4}));

  fx.Open(u"select * from t_metadata where 1 = 0");
  EXPECT_TRUE(q->IsEmpty());
  EXPECT_TRUE(q->Bof() && q->Eof());
  EXPECT_EQ(q->RecNo(), -1);
  EXPECT_EQ(q->MoveBy(1), 0);
  q->Close();
  EXPECT_THROW(q->Next(), EDatabaseError);
  EXPECT_THROW(q->Edit(), EDatabaseError);
}

TEST(ADOQuery, EditInsertAppendDeleteAreWrittenBack) {
  TQueryFixture fx(RecordSchema);
  fx.Open(RecordSelect);
  TADOQuery* q = fx.Query;
  ASSERT_TRUE(q->Locate(u"code", Variant(u"010101"), {}));
  q->Edit();
  q->FieldByName(u"content")->SetAsString(u"O'Brien's \"title\"; drop table t_metadata; --");
  q->Post();
  q->Insert();
  q->FieldByName(u"meta_id")->SetAsString(u"m1");
  q->FieldByName(u"id")->SetAsInteger(10);
  q->FieldByName(u"code")->SetAsString(u"010103");
  q->Post();
  q->Append();
  q->FieldByName(u"meta_id")->SetAsString(u"m1");
  q->FieldByName(u"id")->SetAsInteger(11);
  q->Post();
  ASSERT_TRUE(q->Locate(u"id", Variant(2), {}));
  q->Delete();
  EXPECT_EQ(q->RecordCount(), 5);

  EXPECT_EQ(fx.Db.Value("select content from t_metadata where id = 3"),
            "O'Brien's \"title\"; drop table t_metadata; --");
  EXPECT_EQ(fx.Db.Column("select id from t_metadata where meta_id = 'm1' order by id"),
            (std::vector<std::string>{"1", "3", "4", "10", "11"}));
  EXPECT_EQ(fx.Db.Value("select code from t_metadata where id = 10"), "010103");
  // Reopened, the query reads the same rows back.
  q->Close();
  q->Open();
  EXPECT_EQ(Ids(q), (std::vector<Integer>{11, 1, 3, 4, 10}));
}

TEST(ADOQuery, CancelDiscardsAndEmptyInsertIsDropped) {
  TQueryFixture fx(RecordSchema);
  fx.Open(RecordSelect);
  TADOQuery* q = fx.Query;
  q->Edit();
  q->FieldByName(u"cname")->SetAsString(u"changed");
  q->Cancel();
  EXPECT_EQ(q->FieldByName(u"cname")->AsString(), u"标识信息");
  q->Insert();
  EXPECT_EQ(q->RecordCount(), 4);
  // Moving away from an insert with no change cancels it.
  q->Next();
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(q->RecordCount(), 4);
  EXPECT_EQ(fx.Db.Value("select count(*) from t_metadata"), "5");
}

TEST(ADOQuery, RowsAreIdentifiedByRowidNotByTheirKey) {
  TQueryFixture fx(
      "CREATE TABLE t(id integer, name text(20));"
      "INSERT INTO t VALUES (7, 'first'), (7, 'second'), (8, 'third');");
  fx.Open(u"select id, name from t");
  TADOQuery* q = fx.Query;
  q->Next();
  q->Edit();
  q->FieldByName(u"name")->SetAsString(u"changed");
  q->Post();
  q->First();
  q->Delete();
  EXPECT_EQ(fx.Db.Column("select name from t order by rowid"), (std::vector<std::string>{"changed", "third"}));
}

TEST(ADOQuery, SelectsThatCannotBeWrittenBackAreReadOnly) {
  TQueryFixture fx(RecordSchema);
  const char16_t* readOnly[] = {
      u"select m.id, t.descr from t_metadata m, templet t where m.code = t.code",
      u"select code, iif(choice = 'M','必选','') as choice_name from templet",
      u"select distinct meta_id from t_metadata",
      u"select code from t_metadata union select code from templet",
      u"select count(meta_id) from t_metadata",
  };
  for (const char16_t* sql : readOnly) {
    SCOPED_TRACE(StringToUTF8(sql));
    fx.Open(sql);
    EXPECT_FALSE(fx.Query->CanModify());
    EXPECT_THROW(fx.Query->Edit(), EDatabaseError);
  }
  fx.Open(u"select count(meta_id) from t_metadata");
  EXPECT_EQ(fx.Query->Fields()->Fields(0)->AsInteger(), 5);
  EXPECT_EQ(fx.Query->Fields()->Fields(0)->DataType(), ftInteger);
  // A subquery in the condition keeps a plain select writable.
  fx.Open(u"select code, cname from t_metadata where code not in (select code from templet group by code)");
  EXPECT_TRUE(fx.Query->CanModify());
}

TEST(ADOQuery, FailedPostKeepsTheEditAndRunsOnPostError) {
  TQueryFixture fx(
      "CREATE TABLE t(id integer, name text(20) NOT NULL);"
      "INSERT INTO t VALUES (1, 'a');");
  fx.Open(u"select id, name from t");
  TADOQuery* q = fx.Query;
  std::vector<TDataAction> actions;
  String seen;
  q->OnPostError = TDataSetErrorEvent(&actions, [&](TDataSet*, EDatabaseError* e, TDataAction& action) {
    seen = e->Message;
    action = actions.front();
    actions.erase(actions.begin());
    if (action == daRetry) q->FieldByName(u"name")->SetAsString(u"fixed");
  });

  actions = {daFail};
  q->Edit();
  q->FieldByName(u"id")->SetAsInteger(2);
  q->FieldByName(u"name")->Clear();
  EXPECT_THROW(q->Post(), EDatabaseError);
  EXPECT_NE(seen.find(u"NOT NULL"), String::npos);
  EXPECT_EQ(q->State(), dsEdit);
  EXPECT_EQ(q->FieldByName(u"id")->AsInteger(), 2);

  actions = {daAbort};
  EXPECT_THROW(q->Post(), EAbort);
  EXPECT_EQ(q->State(), dsEdit);

  actions = {daRetry};
  q->Post();
  EXPECT_EQ(q->State(), dsBrowse);
  EXPECT_EQ(fx.Db.Value("select id || name from t"), "2fixed");
}

TEST(ADOQuery, MovingPostsAModifiedRecord) {
  TQueryFixture fx(RecordSchema);
  fx.Open(RecordSelect);
  TADOQuery* q = fx.Query;
  for (auto move : std::vector<std::function<void()>>{
           [&] { q->Next(); }, [&] { q->Locate(u"id", Variant(1), {}); }, [&] { q->FindFirst(); },
           [&] { q->Last(); }, [&] { q->SetRecNo(2); }}) {
    q->Edit();
    q->FieldByName(u"tag")->SetAsInteger(q->FieldByName(u"tag")->AsInteger() + 1);
    move();
    EXPECT_EQ(q->State(), dsBrowse);
  }
  EXPECT_EQ(fx.Db.Value("select sum(tag) from t_metadata"), "5");
}

TEST(ADOQuery, ParametersAreBoundByNameAndPosition) {
  TQueryFixture fx(RecordSchema);
  TADOQuery* q = fx.Query;
  q->SQL()->SetText(u"select id from t_metadata where meta_id = :meta and code like :pattern order by id");
  ASSERT_EQ(q->Parameters()->Count(), 2);
  q->Parameters()->ParamByName(u"META")->SetValue(Variant(u"m1"));
  q->Parameters()->ParamByName(u"pattern")->SetValue(Variant(u"0101%"));
  q->Open();
  EXPECT_EQ(Ids(q), (std::vector<Integer>{2, 3, 4}));
  EXPECT_THROW(q->Parameters()->ParamByName(u"x"), EDatabaseError);

  q->SQL()->SetText(u"update t_metadata set tag = ? where meta_id = ?");
  q->Parameters()->CreateParam(ftInteger, u"")->SetValue(Variant(9));
  q->Parameters()->CreateParam(ftWideString, u"")->SetValue(Variant(u"m1"));
  EXPECT_EQ(q->ExecSQL(), 4);
  EXPECT_EQ(fx.Db.Value("select count(*) from t_metadata where tag = 9"), "4");

  // A quote in a value never breaks the statement.
  q->SQL()->SetText(u"update t_metadata set cname = :v where id = 1");
  q->Parameters()->ParamByName(u"v")->SetValue(Variant(u"it's"));
  EXPECT_EQ(q->ExecSQL(), 1);
  EXPECT_EQ(fx.Db.Value("select cname from t_metadata where id = 1"), "it's");
}

TEST(ADOQuery, TextWithoutAFaithfulStoredFormIsRefused) {
  TQueryFixture fx(RecordSchema);
  TADOQuery* q = fx.Query;
  const struct {
    const char* Name;
    String Text;
    const char* Position;  // of the lone half, as the message gives it
  } cases[] = {
      {"high half at the end", String(u"ab") + Char(0xD83D), "U+D83D at character 3"},
      {"low half alone", String(u"x") + Char(0xDE00) + u"y", "U+DE00 at character 2"},
      {"high half before a letter", String(1, Char(0xD800)) + u"z", "U+D800 at character 1"},
      {"halves in the wrong order", String(1, Char(0xDC00)) + Char(0xD800), "U+DC00 at character 1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    q->SQL()->SetText(u"update t_metadata set content = :v where id = 3");
    q->Parameters()->ParamByName(u"v")->SetValue(Variant(c.Text));
    try {
      q->ExecSQL();
      ADD_FAILURE() << "stored";
    } catch (const EDatabaseError& E) {
      EXPECT_NE(StringToUTF8(E.Message).find(std::string("unpaired UTF-16 surrogate (") + c.Position),
                std::string::npos)
          << StringToUTF8(E.Message);
    }
    EXPECT_EQ(fx.Db.Value("select content from t_metadata where id = 3"), "Old title");
    // In the statement's own text as well.
    q->SQL()->SetText(u"update t_metadata set content = '" + c.Text + u"' where id = 3");
    EXPECT_THROW(q->ExecSQL(), EDatabaseError);
    EXPECT_EQ(fx.Db.Value("select content from t_metadata where id = 3"), "Old title");
  }
  // A whole pair is one character beyond the basic plane and is kept.
  const String pair = String(u"图") + Char(0xD83D) + Char(0xDE00);
  q->SQL()->SetText(u"update t_metadata set content = :v where id = 3");
  q->Parameters()->ParamByName(u"v")->SetValue(Variant(pair));
  EXPECT_EQ(q->ExecSQL(), 1);
  EXPECT_EQ(fx.Db.Value("select content from t_metadata where id = 3"), "图\xF0\x9F\x98\x80");
}

TEST(ADOQuery, ARefreshThatCannotReadKeepsTheRowsAndThePosition) {
  TQueryFixture fx(RecordSchema);
  fx.Open(RecordSelect);
  ASSERT_TRUE(fx.Query->Locate(u"code", Variant(u"010101"), {}));
  // Another program takes the table away for a moment.
  auto other = [&](const char* Sql) {
    sqlite3* db = nullptr;
    sqlite3_open(fx.Db.Path.c_str(), &db);
    EXPECT_EQ(sqlite3_exec(db, Sql, nullptr, nullptr, nullptr), SQLITE_OK) << Sql;
    sqlite3_close(db);
  };
  other("ALTER TABLE t_metadata RENAME TO t_away");
  EXPECT_THROW(fx.Query->Refresh(), EDatabaseError);
  EXPECT_TRUE(fx.Query->Active());
  EXPECT_EQ(Ids(fx.Query), (std::vector<Integer>{1, 2, 3, 4}));
  ASSERT_TRUE(fx.Query->Locate(u"code", Variant(u"010101"), {}));
  other("ALTER TABLE t_away RENAME TO t_metadata; UPDATE t_metadata SET content = 'New title' WHERE id = 3");
  fx.Query->Refresh();
  EXPECT_EQ(fx.Query->FieldByName(u"content")->AsString(), u"New title");  // the same row, read again
}

TEST(ADOQuery, DetailFollowsTheMastersCurrentRecord) {
  TQueryFixture fx(RecordSchema);
  fx.Open(RecordSelect);
  auto* source = new TDataSource(fx.Owner);
  source->SetDataSet(fx.Query);
  auto* detail = new TADOQuery(fx.Owner);
  detail->SetConnection(fx.Connection);
  detail->SetDataSource(source);
  detail->SQL()->SetText(u"select * from templet where code = :code");
  detail->Open();
  EXPECT_EQ(detail->FieldByName(u"descr")->AsString(), u"identification");
  fx.Query->Next();
  EXPECT_EQ(detail->FieldByName(u"descr")->AsString(), u"citation");
  fx.Query->Locate(u"code", Variant(u"010102"), {});
  EXPECT_EQ(detail->FieldByName(u"descr")->AsString(), u"a date");
  EXPECT_EQ(detail->Parameters()->ParamByName(u"code")->AsString(), u"010102");
  // A master record without a template row leaves the detail empty.
  fx.Query->Append();
  EXPECT_TRUE(detail->IsEmpty());
  fx.Query->Cancel();
  EXPECT_FALSE(detail->IsEmpty());
  EXPECT_THROW(source->SetDataSet(detail), EDatabaseError);
}

TEST(ADOQuery, PersistentAndLookupFields) {
  TQueryFixture fx(RecordSchema);
  auto* choice = new TADOQuery(fx.Owner);
  choice->SetConnection(fx.Connection);
  choice->SQL()->SetText(u"select code, iif(choice = 'M','必选','') as choice_name from templet");
  choice->Open();

  TADOQuery* q = fx.Query;
  auto* code = new TWideStringField(q);
  code->SetFieldName(u"code");
  code->SetSize(50);
  code->SetDataSet(q);
  auto* content = new TMemoField(q);
  content->SetFieldName(u"content");
  content->SetDataSet(q);
  content->OnGetText = TFieldGetTextEvent(content, [](TField* f, String& text, bool) { text = f->AsString(); });
  content->OnSetText = TFieldSetTextEvent(content, [](TField* f, const String& text) { f->SetValue(Variant(text)); });
  auto* name = new TStringField(q);
  name->SetFieldName(u"choice_name");
  name->SetFieldKind(fkLookup);
  name->SetKeyFields(u"code");
  name->SetLookupDataSet(choice);
  name->SetLookupKeyFields(u"code");
  name->SetLookupResultField(u"choice_name");
  name->SetDataSet(q);

  fx.Open(RecordSelect);
  EXPECT_EQ(q->FieldCount(), 3);
  EXPECT_FALSE(q->DefaultFields());
  EXPECT_EQ(q->FindField(u"id"), nullptr);
  EXPECT_EQ(name->AsString(), u"必选");
  q->Next();
  EXPECT_EQ(name->AsString(), u"");
  EXPECT_FALSE(name->CanModify());
  q->Locate(u"code", Variant(u"010101"), {});
  EXPECT_EQ(name->AsString(), u"必选");
  EXPECT_EQ(content->Text(), u"Old title");
  q->Edit();
  content->SetText(u"line 1\r\nline 2");
  q->Post();
  EXPECT_EQ(content->DisplayText(), u"line 1\r\nline 2");
  EXPECT_EQ(fx.Db.Value("select content from t_metadata where id = 3"), "line 1\r\nline 2");
  // Reopening keeps the persistent fields.
  q->Close();
  q->Open();
  EXPECT_EQ(q->FieldCount(), 3);
  EXPECT_EQ(q->FieldByName(u"content"), content);

  // A persistent field the result lacks is an error.
  auto* missing = new TIntegerField(q);
  missing->SetFieldName(u"missing");
  q->Close();
  missing->SetDataSet(q);
  EXPECT_THROW(q->Open(), EDatabaseError);
  EXPECT_FALSE(q->Active());
}

TEST(ADOQuery, ValuesOfEveryKindRoundTrip) {
  TQueryFixture fx(
      "CREATE TABLE v(i integer primary key, b boolean, f double, c currency, d date, dt datetime, "
      "w word, s smallint, big bigint, bin blob, n numeric(10,2));");
  TADOQuery* q = fx.Query;
  fx.Open(u"select * from v");
  EXPECT_EQ(q->FieldByName(u"i")->DataType(), ftAutoInc);
  EXPECT_EQ(q->FieldByName(u"w")->DataType(), ftWord);
  EXPECT_EQ(q->FieldByName(u"n")->DataType(), ftBCD);
  q->Append();
  q->FieldByName(u"b")->SetAsBoolean(true);
  q->FieldByName(u"f")->SetAsFloat(1.25);
  q->FieldByName(u"c")->SetAsString(u"12.5");
  q->FieldByName(u"d")->SetAsDateTime(EncodeDate(2024, 2, 29));
  q->FieldByName(u"dt")->SetAsDateTime(EncodeDateTime(2024, 2, 29, 13, 45, 10, 0));
  q->FieldByName(u"w")->SetAsInteger(65535);
  q->FieldByName(u"s")->SetAsInteger(-5);
  q->FieldByName(u"big")->SetAsLargeInt(INT64_C(9000000000));
  q->FieldByName(u"bin")->SetValue(VarFromRawByteString(std::string("\0\x01\xff", 3)));
  q->FieldByName(u"n")->SetAsString(u"3.14");
  q->Post();
  EXPECT_EQ(q->FieldByName(u"i")->AsInteger(), 1);  // given by the database
  EXPECT_EQ(fx.Db.Value("select d || '|' || dt from v"), "2024-02-29|2024-02-29 13:45:10");
  q->Close();
  q->Open();
  EXPECT_TRUE(q->FieldByName(u"b")->AsBoolean());
  EXPECT_DOUBLE_EQ(q->FieldByName(u"f")->AsFloat(), 1.25);
  EXPECT_EQ(q->FieldByName(u"d")->AsDateTime(), EncodeDate(2024, 2, 29));
  EXPECT_EQ(q->FieldByName(u"dt")->AsDateTime(), EncodeDateTime(2024, 2, 29, 13, 45, 10, 0));
  EXPECT_EQ(q->FieldByName(u"w")->AsInteger(), 65535);
  EXPECT_EQ(q->FieldByName(u"big")->AsLargeInt(), INT64_C(9000000000));
  EXPECT_EQ(q->FieldByName(u"bin")->Value().RawBytes(), std::string("\0\x01\xff", 3));
  EXPECT_EQ(q->FieldByName(u"n")->AsCurrency(), Currency::FromRaw(31400));

  // Values that do not fit their field are refused and leave the old value.
  q->Edit();
  struct {
    const char16_t* field;
    const char16_t* text;
  } bad[] = {{u"w", u"70000"}, {u"s", u"40000"}, {u"f", u"abc"}, {u"dt", u"not a date"}, {u"b", u"maybe"}};
  for (auto& b : bad) {
    SCOPED_TRACE(StringToUTF8(b.field));
    String before = q->FieldByName(b.field)->AsString();
    EXPECT_THROW(q->FieldByName(b.field)->SetAsString(b.text), EDatabaseError);
    EXPECT_EQ(q->FieldByName(b.field)->AsString(), before);
  }
  q->Cancel();
}

}  // namespace
