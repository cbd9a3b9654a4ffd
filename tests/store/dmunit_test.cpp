#include "store/dmunit.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "store/pubfunc.h"

namespace store_test {  // support.cpp
std::string MakeTempFolder(const std::string& Name);
std::string ReadText(const std::string& Path);
void ExecSql(const std::string& DatabasePath, const std::string& Sql);
std::vector<std::vector<std::string>> Select(const std::string& DatabasePath, const std::string& Sql);
std::string SelectOne(const std::string& DatabasePath, const std::string& Sql);
void MakeShippedDatabase(const std::string& Path);
void MakeFixtureDatabase(const std::string& Path);
}  // namespace store_test

namespace fs = std::filesystem;
using namespace store_test;

namespace {

std::string U8(const String& S) { return StringToUTF8(S); }
String U16(const std::string& S) { return UTF8ToString(S); }

using Rows = std::vector<std::vector<std::string>>;

TDateTime FixedTime() { return EncodeDateTime(2024, 3, 5, 7, 8, 9, 500); }

// A record module over a fresh database in a program folder of its own.
class StoreTest : public ::testing::Test {
protected:
  void Open(bool Shipped) {
    Folder = MakeTempFolder("store");
    DbPath = Folder + "/DataIdentification.mdb";
    if (Shipped)
      MakeShippedDatabase(DbPath);
    else
      MakeFixtureDatabase(DbPath);
    SetProgramFolder(U16(Folder));
    SetClockForTesting(FixedTime);
    Module = std::make_unique<Tdm>(nullptr);
    dm = Module.get();
  }
  void TearDown() override {
    Module.reset();
    ResetClockForTesting();
    SetProgramFolder(u"");
    fs::remove_all(Folder);
  }

  std::string One(const std::string& Sql) { return SelectOne(DbPath, Sql); }
  Rows All(const std::string& Sql) { return Select(DbPath, Sql); }
  std::string Key() { return U8(Module->CurrentMetaId); }
  TADOQuery* Record() { return Module->aq_metadata; }
  void GoToCode(const String& Code) { ASSERT_TRUE(Record()->Locate(u"code", Variant(Code), {})) << U8(Code); }
  std::string ParentOf(Integer Id) {
    return One("select parent_id from t_metadata where meta_id = '" + Key() + "' and id = " + std::to_string(Id));
  }

  std::string Folder, DbPath;
  std::unique_ptr<Tdm> Module;
  String Err;
};

class ShippedTest : public StoreTest {
protected:
  void SetUp() override { Open(true); }
};

class FixtureTest : public StoreTest {
protected:
  void SetUp() override { Open(false); }
};

// ---- Connection --------------------------------------------------------------------

TEST(RecordModule, ConnectsToTheDatabaseInTheProgramFolder) {
  std::string folder = MakeTempFolder("connect");
  MakeFixtureDatabase(folder + "/DataIdentification.mdb");
  for (const std::string& given : {folder, folder + "/"}) {
    SetProgramFolder(U16(given));
    Tdm module(nullptr);
    EXPECT_EQ(U8(module.ADOConnection1->Property(u"Data Source")), folder + "/DataIdentification.mdb");
    EXPECT_TRUE(module.ADOConnection1->Connected());
    EXPECT_TRUE(module.aq_fileList->Active());
    EXPECT_FALSE(module.aq_metadata->Active());
  }
  SetProgramFolder(u"");
  fs::remove_all(folder);
}

TEST(RecordModule, AMissingDatabaseIsAnErrorAndIsNotCreated) {
  std::string folder = MakeTempFolder("missing");
  SetProgramFolder(U16(folder));
  EXPECT_THROW(Tdm module(nullptr), EDatabaseError);
  EXPECT_FALSE(fs::exists(folder + "/DataIdentification.mdb"));
  SetProgramFolder(u"");
  fs::remove_all(folder);
}

// ---- Creating records --------------------------------------------------------------

TEST_F(ShippedTest, CreatesFullAndCoreRecordsFromTheTemplate) {
  const std::string templet = One("select count(*) from templet");
  const std::string core = One("select count(*) from templet where is_core <> 0");

  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  const std::string full = Key();
  EXPECT_EQ(full, "20240305070809");
  EXPECT_EQ(One("select count(*) from t_metadata where meta_id = '" + full + "'"), templet);
  // The first record keeps the template's ids (the table was empty).
  EXPECT_EQ(One("select count(*) from t_metadata d join templet t on d.id = t.id and d.parent_id = t.parent_id"
                " and d.code = t.code and d.ename = t.ename and d.tag = t.tag where d.meta_id = '" + full + "'"),
            templet);
  EXPECT_EQ(std::to_string(Record()->RecordCount()), templet);
  const Integer offset = Module->MaxId;
  EXPECT_EQ(std::to_string(offset), One("select max(id) from templet"));

  // Created in the same second: the key moves on by one second.
  ASSERT_TRUE(Module->CreateRecord(Err, true)) << U8(Err);
  const std::string coreKey = Key();
  EXPECT_EQ(coreKey, "20240305070810");
  EXPECT_EQ(One("select count(*) from t_metadata where meta_id = '" + coreKey + "'"), core);
  EXPECT_EQ(One("select count(*) from t_metadata d join templet t on d.id = t.id + " + std::to_string(offset) +
                " and d.parent_id = t.parent_id + " + std::to_string(offset) +
                " and d.code = t.code and t.is_core <> 0 where d.meta_id = '" + coreKey + "'"),
            core);
  // The core subset is closed under parents: below the top, every row's
  // parent is in the record.
  EXPECT_EQ(One("select count(*) from t_metadata d where d.meta_id = '" + coreKey +
                "' and d.parent_code <> '' and not exists (select 1 from t_metadata p"
                " where p.meta_id = d.meta_id and p.id = d.parent_id and p.code = d.parent_code)"),
            "0");

  EXPECT_EQ(All("select meta_id, kind_name, coalesce(meta_name, '') from t_metakind order by meta_id"),
            (Rows{{full, "元数据", ""}, {coreKey, "核心元数据", ""}}));
}

TEST_F(FixtureTest, ACreateThatFailsHalfWayLeavesNothingBehind) {
  ExecSql(DbPath, "CREATE TRIGGER refuse BEFORE INSERT ON t_metakind BEGIN SELECT RAISE(ABORT, 'no more records'); END;");
  EXPECT_FALSE(Module->CreateRecord(Err, false));
  EXPECT_EQ(U8(Err).rfind("插入标题失败,", 0), 0u) << U8(Err);
  EXPECT_NE(U8(Err).find("no more records"), std::string::npos) << U8(Err);
  EXPECT_EQ(One("select count(*) from t_metadata"), "0");
  EXPECT_EQ(One("select count(*) from t_metakind"), "0");
}

// ---- Opening, deleting, clearing ---------------------------------------------------

TEST_F(FixtureTest, LoadingARecordFollowsTheTemplateOfTheFocusedElement) {
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  const String key = Module->CurrentMetaId;
  ASSERT_TRUE(Module->LoadRecord(Err, key)) << U8(Err);
  EXPECT_EQ(Record()->RecordCount(), 13);
  EXPECT_EQ(U8(Record()->Sort()), "code");
  Record()->First();
  EXPECT_EQ(U8(Module->aq_metadatacode->AsString()), "01");

  struct Case {
    String Code;
    std::string ChbName, Descr, ChoiceName;
  } cases[] = {
      {u"0102", "languageCode", "language", "必选"},
      {u"010101", "", "title", "必选"},
      {u"010102", "", "alternate title", ""},
      {u"0103", "", "person", ""},
  };
  for (const Case& c : cases) {
    GoToCode(c.Code);
    EXPECT_EQ(U8(Module->CodeElementName()), c.ChbName) << U8(c.Code);
    EXPECT_EQ(U8(Module->aq_moreINfo->FieldByName(u"descr")->AsString()), c.Descr) << U8(c.Code);
    EXPECT_EQ(U8(Module->aq_metadatachoice_name->AsString()), c.ChoiceName) << U8(c.Code);
  }
}

TEST_F(FixtureTest, AFailedLoadReportsItAndKeepsTheKey) {
  ExecSql(DbPath, "ALTER TABLE t_metadata RENAME TO t_elements;");
  EXPECT_FALSE(Module->LoadRecord(Err, u"20240101000000"));
  EXPECT_EQ(U8(Err).rfind("打开数据集失败,", 0), 0u) << U8(Err);
  EXPECT_GT(Err.size(), String(u"打开数据集失败,").size());
  EXPECT_EQ(Key(), "20240101000000");
}

TEST_F(FixtureTest, DeletingAndClearingRecords) {
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  const std::string first = Key();
  ASSERT_TRUE(Module->CreateRecord(Err, true)) << U8(Err);
  const std::string second = Key();

  ASSERT_TRUE(Module->DeleteRecord(Err, U16(first))) << U8(Err);
  EXPECT_EQ(One("select count(*) from t_metadata where meta_id = '" + first + "'"), "0");
  EXPECT_EQ(One("select count(*) from t_metadata where meta_id = '" + second + "'"), "6");
  EXPECT_EQ(One("select count(*) from t_metakind"), "2");  // the record list deletes its own row

  ASSERT_TRUE(Module->ClearDatabase(Err)) << U8(Err);
  EXPECT_EQ(One("select count(*) from t_metadata"), "0");
  EXPECT_EQ(One("select count(*) from t_metakind"), "0");

  // An empty element table leaves the record list alone.
  ExecSql(DbPath, "insert into t_metakind (meta_id, kind_name) values ('20200101000000', '元数据');");
  ASSERT_TRUE(Module->ClearDatabase(Err)) << U8(Err);
  EXPECT_EQ(One("select count(*) from t_metakind"), "1");
}

TEST_F(FixtureTest, OpenRecordListShowsTheRecords) {
  ASSERT_TRUE(Module->CreateRecord(Err, true)) << U8(Err);
  ASSERT_TRUE(Module->OpenRecordList(Err)) << U8(Err);
  ASSERT_EQ(Module->aq_fileList->RecordCount(), 1);
  EXPECT_EQ(U8(Module->aq_fileList->FieldByName(u"kind_name")->AsString()), "核心元数据");
}

// ---- Posting -----------------------------------------------------------------------

TEST_F(FixtureTest, PostingTheTitleRenamesTheRecordAndTogglesTheRefreshFlag) {
  std::vector<bool> flags;
  Module->SetDescriptionRefresh = [&](bool Value) { flags.push_back(Value); };
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  const std::string name = "select coalesce(meta_name, '<empty>') from t_metakind where meta_id = '" + Key() + "'";

  GoToCode(u"0102");
  Record()->Edit();
  Module->aq_metadatacontent->SetText(u"chi");
  Record()->Post();
  EXPECT_EQ(One(name), "<empty>");
  EXPECT_EQ(flags, (std::vector<bool>{false, true}));

  const String title = u"名称 'quoted'\r\n第二行";
  GoToCode(u"010101");
  Record()->Edit();
  Module->aq_metadatacontent->SetText(title);
  Record()->Post();
  EXPECT_EQ(One(name), U8(title));
  EXPECT_EQ(U8(Module->aq_metadatacontent->Text()), U8(title));
  EXPECT_EQ(U8(Module->aq_metadatacontent->DisplayText()), U8(title));
  EXPECT_EQ(flags.size(), 4u);

  GoToCode(u"0105");
  EXPECT_EQ(U8(Module->aq_metadatacontent->DisplayText()), "");
}

TEST_F(FixtureTest, ARefusedPostShowsItsReasonAndStaysInEditState) {
  std::vector<std::string> shown;
  std::vector<bool> flags;
  Module->ShowPostError = [&](const String& Text) { shown.push_back(U8(Text)); };
  Module->SetDescriptionRefresh = [&](bool Value) { flags.push_back(Value); };
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  ExecSql(DbPath,
          "CREATE TRIGGER refuse BEFORE UPDATE ON t_metadata WHEN NEW.content = 'refuse'"
          " BEGIN SELECT RAISE(ABORT, 'content refused'); END;");

  GoToCode(u"0105");
  Record()->Edit();
  Module->aq_metadatacontent->SetText(u"refuse");
  EXPECT_THROW(Record()->Post(), EDatabaseError);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("content refused"), std::string::npos);
  EXPECT_EQ(Record()->State(), dsEdit);
  EXPECT_EQ(U8(Module->aq_metadatacontent->Text()), "refuse");
  EXPECT_EQ(flags, (std::vector<bool>{false, true}));  // the pane is not left frozen
  Record()->Cancel();
  EXPECT_EQ(One("select count(*) from t_metadata where content is not null"), "0");
}

TEST_F(FixtureTest, TheTitleAndTheRecordListChangeTogetherOrNotAtAll) {
  std::vector<std::string> shown;
  std::vector<bool> flags;
  Module->ShowPostError = [&](const String& Text) { shown.push_back(U8(Text)); };
  Module->SetDescriptionRefresh = [&](bool Value) { flags.push_back(Value); };
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  const std::string both = "select (select coalesce(meta_name, '<empty>') from t_metakind where meta_id = '" + Key() +
                           "') || '/' || (select coalesce(content, '<empty>') from t_metadata where code = '010101')";
  const struct {
    const char* Name;
    const char* Trigger;
    const char* Reason;
  } refusals[] = {
      {"record list refuses", "BEFORE UPDATE ON t_metakind", "list refused"},
      {"title element refuses", "BEFORE UPDATE OF content ON t_metadata", "title refused"},
  };
  for (const auto& refusal : refusals) {
    SCOPED_TRACE(refusal.Name);
    shown.clear();
    flags.clear();
    ExecSql(DbPath, std::string("CREATE TRIGGER refuse ") + refusal.Trigger + " BEGIN SELECT RAISE(ABORT, '" +
                        refusal.Reason + "'); END;");
    GoToCode(u"010101");
    Record()->Edit();
    Module->aq_metadatacontent->SetText(u"新名称");
    EXPECT_THROW(Record()->Post(), EDatabaseError);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find(refusal.Reason), std::string::npos) << shown[0];
    EXPECT_EQ(flags, (std::vector<bool>{false, true}));
    EXPECT_EQ(Record()->State(), dsEdit);
    EXPECT_EQ(One(both), "<empty>/<empty>");
    EXPECT_FALSE(Module->ADOConnection1->InTransaction());
    // Cancelling the refused post raises nothing and shows nothing more.
    EXPECT_NO_THROW(Record()->Cancel());
    EXPECT_EQ(shown.size(), 1u);
    ExecSql(DbPath, "DROP TRIGGER refuse");
  }
  GoToCode(u"010101");
  Record()->Edit();
  Module->aq_metadatacontent->SetText(u"新名称");
  Record()->Post();
  EXPECT_EQ(One(both), "新名称/新名称");
  EXPECT_FALSE(Module->ADOConnection1->InTransaction());
}

TEST_F(FixtureTest, TextThatCannotBeStoredAsItIsIsRefused) {
  std::vector<std::string> shown;
  Module->ShowPostError = [&](const String& Text) { shown.push_back(U8(Text)); };
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  GoToCode(u"0105");
  Record()->Edit();
  Module->aq_metadatacontent->SetText(String(u"摘要") + Char(0xD835));  // half a pair, cut off
  EXPECT_THROW(Record()->Post(), EDatabaseError);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("unpaired UTF-16 surrogate"), std::string::npos) << shown[0];
  EXPECT_EQ(Record()->State(), dsEdit);
  EXPECT_EQ(One("select count(*) from t_metadata where content is not null"), "0");
}

// ---- Template queries --------------------------------------------------------------

TEST_F(FixtureTest, InsertingATemplateBranch) {
  ASSERT_TRUE(Module->CreateRecord(Err, true)) << U8(Err);  // ids 1, 2, 3, 5, 6, 10
  ASSERT_TRUE(Module->InsertTemplateBranch(Err, u"0101", u"1")) << U8(Err);
  EXPECT_EQ(All("select id, parent_id, code, cname, ename, max_times, isEnd, tag from t_metadata"
                " where meta_id = '" + Key() + "' and id > 10 order by id"),
            (Rows{{"12", "1", "0101", "引用", "idCitation", "1", "0", "1"},
                  {"13", "12", "010101", "名称", "resTitle", "1", "1", "2"},
                  {"14", "12", "010102", "别名", "resAltTitle", "99", "1", "2"},
                  {"15", "12", "010103", "日期", "refDate", "1", "1", "8"}}));
  EXPECT_EQ(Module->aq_metadataid->AsInteger(), 12);  // the branch's top row is focused
  EXPECT_EQ(Record()->RecordCount(), 10);

  // A code without template rows inserts nothing.
  ASSERT_TRUE(Module->InsertTemplateBranch(Err, u"09", u"1")) << U8(Err);
  EXPECT_EQ(Record()->RecordCount(), 10);

  // A parent that is not a number fails without leaving a pending row.
  Err.clear();
  EXPECT_FALSE(Module->InsertTemplateBranch(Err, u"06", u"x"));
  EXPECT_FALSE(Err.empty());
  EXPECT_EQ(Record()->State(), dsBrowse);
  EXPECT_EQ(One("select count(*) from t_metadata"), "10");

  // A row refused in the middle of a branch takes the rows before it along.
  ExecSql(DbPath, "CREATE TRIGGER refuse BEFORE INSERT ON t_metadata WHEN NEW.code = '010102'"
                  " BEGIN SELECT RAISE(ABORT, 'no alternate titles'); END;");
  EXPECT_FALSE(Module->InsertTemplateBranch(Err, u"0101", u"1"));
  EXPECT_NE(U8(Err).find("no alternate titles"), std::string::npos) << U8(Err);
  EXPECT_EQ(One("select count(*) from t_metadata"), "10");
  EXPECT_EQ(Record()->RecordCount(), 10);
  EXPECT_EQ(Record()->State(), dsBrowse);
}

TEST_F(FixtureTest, InsertableChildren) {
  ASSERT_TRUE(Module->CreateRecord(Err, true)) << U8(Err);  // under 01: 0101 and 0102
  auto offered = [&](Integer Parent) {
    std::vector<std::string> codes;
    EXPECT_TRUE(Module->OpenInsertableChildren(Err, u"01", Parent)) << U8(Err);
    for (Module->aq_public->First(); !Module->aq_public->Eof(); Module->aq_public->Next())
      codes.push_back(U8(Module->aq_public->FieldByName(u"code")->AsString()));
    std::sort(codes.begin(), codes.end());
    return codes;
  };
  // 0101 is there and may occur once; 0102 is repeatable.
  EXPECT_EQ(offered(1), (std::vector<std::string>{"0102", "0103", "0104", "0105"}));
  EXPECT_EQ(offered(999), (std::vector<std::string>{"0101", "0102", "0103", "0104", "0105"}));
  // A row without a code under the parent hides nothing.
  ExecSql(DbPath, "insert into t_metadata (meta_id, id, code, parent_id) values ('" + Key() + "', 500, NULL, 1);");
  EXPECT_EQ(offered(1), (std::vector<std::string>{"0102", "0103", "0104", "0105"}));
}

TEST_F(FixtureTest, MandatoryChildCodesAndCaptions) {
  struct Case {
    String Code;
    std::vector<std::string> Codes;
  } cases[] = {
      {u"01", {"0101", "0102", "G01"}},
      {u"0101", {"010101", "010103"}},
      {u"06", {}},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TStringList> list = Module->MandatoryChildCodes(Err, c.Code);
    ASSERT_TRUE(list) << U8(Err);
    std::vector<std::string> codes;
    for (Integer i = 0; i < list->Count(); ++i) codes.push_back(U8(list->Strings(i)));
    EXPECT_EQ(codes, c.Codes) << U8(c.Code);
  }
  EXPECT_FALSE(Module->aq_public->Active());

  String caption = u"old";
  Module->TemplateCaption(Err, u"0102", caption);
  EXPECT_EQ(U8(caption), "语种");
  Module->TemplateCaption(Err, u"99", caption);
  EXPECT_TRUE(Err.empty());
  EXPECT_EQ(U8(caption), "");

  ExecSql(DbPath, "ALTER TABLE templet RENAME TO template_rows;");
  caption = u"old";
  Module->TemplateCaption(Err, u"0102", caption);
  EXPECT_FALSE(Err.empty());
  EXPECT_EQ(U8(caption), "old");
  Err.clear();
  EXPECT_EQ(Module->MandatoryChildCodes(Err, u"01"), nullptr);
  EXPECT_FALSE(Err.empty());
}

TEST_F(FixtureTest, ValuesWithQuotesBreakNothing) {
  const String key = u"it's'; delete from templet; --";
  ASSERT_TRUE(Module->LoadRecord(Err, key)) << U8(Err);
  EXPECT_EQ(Record()->RecordCount(), 0);
  EXPECT_TRUE(Module->DeleteRecord(Err, key)) << U8(Err);
  EXPECT_TRUE(Module->OpenInsertableChildren(Err, u"0'1", 1)) << U8(Err);
  String caption = u"old";
  Module->TemplateCaption(Err, u"01' or '1'='1", caption);
  EXPECT_TRUE(Err.empty()) << U8(Err);
  EXPECT_EQ(U8(caption), "");
  auto list = Module->MandatoryChildCodes(Err, u"0'");
  ASSERT_TRUE(list) << U8(Err);
  EXPECT_EQ(list->Count(), 0);
  EXPECT_TRUE(Module->RegisterImportedRecord(Err, key, true)) << U8(Err);
  EXPECT_EQ(One("select kind_name from t_metakind where meta_id = 'it''s''; delete from templet; --'"), "核心元数据");
  EXPECT_EQ(One("select count(*) from templet"), "13");
}

// ---- Exchanging children -----------------------------------------------------------

class SwapTest : public FixtureTest {
protected:
  void SetUp() override {
    FixtureTest::SetUp();
    // A full record keeps the template's ids: 0101 (2) has 3, 4, 5; 0102 (6)
    // has none; 06 (10) has 11, 12, 13.
    ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  }
  std::vector<std::string> Parents() {
    std::vector<std::string> result;
    for (Integer id : {3, 4, 5, 11, 12, 13}) result.push_back(ParentOf(id));
    return result;
  }
  std::vector<Integer> ParentsInMemory() {
    std::vector<Integer> result;
    for (Integer id : {3, 4, 5, 11, 12, 13}) {
      EXPECT_TRUE(Record()->Locate(u"id", Variant(id), {}));
      result.push_back(Module->aq_metadataparent_id->AsInteger());
    }
    return result;
  }
};

TEST_F(SwapTest, ChildrenChangePlaces) {
  ASSERT_TRUE(Module->SwapChildren(Err, 2, 10)) << U8(Err);
  EXPECT_EQ(Parents(), (std::vector<std::string>{"10", "10", "10", "2", "2", "2"}));
  EXPECT_EQ(ParentsInMemory(), (std::vector<Integer>{10, 10, 10, 2, 2, 2}));
  EXPECT_EQ(U8(Record()->Filter()), "");
  EXPECT_EQ(Record()->State(), dsBrowse);

  // An element without children takes the other's and leaves it empty.
  ASSERT_TRUE(Module->SwapChildren(Err, 6, 2)) << U8(Err);
  EXPECT_EQ(Parents(), (std::vector<std::string>{"10", "10", "10", "6", "6", "6"}));

  // With itself nothing moves (and nothing hangs).
  ASSERT_TRUE(Module->SwapChildren(Err, 10, 10)) << U8(Err);
  EXPECT_EQ(Parents(), (std::vector<std::string>{"10", "10", "10", "6", "6", "6"}));
}

TEST_F(SwapTest, AFailedSwapChangesNothing) {
  ExecSql(DbPath,
          "CREATE TRIGGER refuse BEFORE UPDATE OF parent_id ON t_metadata WHEN NEW.id = 12"
          " BEGIN SELECT RAISE(ABORT, 'row locked'); END;");
  EXPECT_FALSE(Module->SwapChildren(Err, 2, 10));
  EXPECT_NE(U8(Err).find("row locked"), std::string::npos) << U8(Err);
  EXPECT_FALSE(Record()->Filter().empty());
  EXPECT_EQ(Parents(), (std::vector<std::string>{"2", "2", "2", "10", "10", "10"}));
  EXPECT_EQ(ParentsInMemory(), (std::vector<Integer>{2, 2, 2, 10, 10, 10}));
}

TEST_F(SwapTest, AFailedSwapKeepsTheRecordShownWhenTheFileCannotBeReadAgain) {
  std::vector<std::string> shown;
  Module->ShowPostError = [&](const String& Text) { shown.push_back(U8(Text)); };
  // Another program takes the element table away while the record is open.
  ExecSql(DbPath, "ALTER TABLE t_metadata RENAME TO t_away");
  EXPECT_FALSE(Module->SwapChildren(Err, 2, 10));
  EXPECT_NE(U8(Err).find("no such table"), std::string::npos) << U8(Err);
  EXPECT_NE(U8(Err).find("重新读取数据集失败"), std::string::npos) << U8(Err);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(Record()->State(), dsBrowse);
  EXPECT_EQ(Record()->RecordCount(), 13);
  EXPECT_EQ(ParentsInMemory(), (std::vector<Integer>{2, 2, 2, 10, 10, 10}));
  // Once the file can be read again, the record reads again.
  ExecSql(DbPath, "ALTER TABLE t_away RENAME TO t_metadata");
  ASSERT_TRUE(Module->SwapChildren(Err, 2, 10)) << U8(Err);
  EXPECT_EQ(Parents(), (std::vector<std::string>{"10", "10", "10", "2", "2", "2"}));
  EXPECT_EQ(shown.size(), 1u);
}

// ---- Imported records --------------------------------------------------------------

// Rows go in with their values as given (null, number, any text); a row
// the table refuses stops the insertion with the engine's reason.
TEST_F(FixtureTest, InsertRowsWritesEveryRowWithItsValues) {
  const std::vector<String> columns = {u"meta_id", u"id", u"parent_id", u"ename", u"content"};
  std::vector<std::vector<Variant>> rows;
  for (Integer id = 1; id <= 1000; ++id)
    rows.push_back({Variant(String(u"k")), Variant(id), Variant(id - 1), Variant(String(u"e")),
                    id == 2 ? Null() : Variant(String(u"地质 'q' ") + IntToStr(id))});
  ASSERT_TRUE(Module->InsertRows(Err, u"t_metadata", columns, rows)) << U8(Err);
  EXPECT_EQ(One("select count(*) from t_metadata where meta_id = 'k'"), "1000");
  EXPECT_EQ(All("select id, parent_id, ifnull(content, '<null>') from t_metadata where meta_id = 'k' and id <= 3"
                " order by id"),
            (Rows{{"1", "0", "地质 'q' 1"}, {"2", "1", "<null>"}, {"3", "2", "地质 'q' 3"}}));
  // The same key again: refused.
  EXPECT_FALSE(Module->InsertRows(Err, u"t_metadata", columns, {rows.front()}));
  EXPECT_FALSE(Err.empty());
}

TEST_F(FixtureTest, ImportedRowsAreLinkedToTheTemplateLevelByLevel) {
  // A template chain thirteen levels deep: L0 "07", L1 "0701", ...
  std::string sql = "insert into templet (id, code, parent_id, parent_code, cname, ename, tag) values ";
  std::string code = "07", parent;
  for (int level = 0; level <= 12; ++level) {
    sql += (level ? "," : "") + std::string("(") + std::to_string(100 + level) + ", '" + code + "', " +
           (level ? std::to_string(99 + level) : "0") + ", '" + parent + "', '层" + std::to_string(level) +
           "', 'L" + std::to_string(level) + "', 2)";
    parent = code;
    code += "01";
  }
  ExecSql(DbPath, sql + ";");

  // The imported record: rows with English names, contents and ids only.
  const std::string key = "20230101000000";
  std::string rows = "insert into t_metadata (meta_id, id, parent_id, ename, content, code) values "
                     "('" + key + "', 1, 0, 'dataIdInfo', NULL, ''),"
                     "('" + key + "', 2, 1, 'idCitation', NULL, ''),"
                     "('" + key + "', 3, 2, 'resTitle', 'Title ''q''', ''),"
                     "('" + key + "', 4, 2, 'unknownName', 'x', ''),"
                     "('" + key + "', 5, 0, 'L0', NULL, '')";
  for (int level = 1; level <= 12; ++level)
    rows += ",('" + key + "', " + std::to_string(5 + level) + ", " + std::to_string(4 + level) + ", 'L" +
            std::to_string(level) + "', NULL, '')";
  ExecSql(DbPath, rows + ";");

  ASSERT_TRUE(Module->MatchImportToTemplate(Err, U16(key))) << U8(Err);
  EXPECT_EQ(All("select id, code, parent_code, cname, tag, max_times from t_metadata where meta_id = '" + key +
                "' and id <= 4 order by id"),
            (Rows{{"1", "01", "", "标识信息", "1", "99"},
                  {"2", "0101", "01", "引用", "1", "1"},
                  {"3", "010101", "0101", "名称", "2", "1"},
                  {"4", "", "0101", "<null>", "<null>", "<null>"}}));
  // Eleven levels below the top row are matched, the twelfth is not.
  std::string expected = "07";
  for (int level = 0; level <= 11; ++level, expected += "01")
    EXPECT_EQ(One("select code from t_metadata where meta_id = '" + key + "' and ename = 'L" +
                  std::to_string(level) + "'"),
              expected);
  EXPECT_EQ(One("select code from t_metadata where meta_id = '" + key + "' and ename = 'L12'"), "");

  ASSERT_TRUE(Module->RegisterImportedRecord(Err, U16(key), false)) << U8(Err);
  EXPECT_EQ(All("select kind_name, meta_name from t_metakind where meta_id = '" + key + "'"),
            (Rows{{"元数据", "Title 'q'"}}));
  // Registering twice fails and changes nothing.
  EXPECT_FALSE(Module->RegisterImportedRecord(Err, U16(key), true));
  EXPECT_FALSE(Err.empty());
  EXPECT_EQ(One("select count(*) from t_metakind"), "1");
}

// ---- Compaction --------------------------------------------------------------------

std::vector<std::string> CompactLeftovers(const std::string& Folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Folder))
    if (entry.path().filename().string().rfind("~CP", 0) == 0) names.push_back(entry.path().string());
  return names;
}

TEST_F(FixtureTest, CompactionKeepsEveryRowAndReconnects) {
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  const std::string first = Key();
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  ASSERT_TRUE(Module->DeleteRecord(Err, U16(first))) << U8(Err);
  const std::string counts =
      "select (select count(*) from t_metadata) || '/' || (select count(*) from templet) || '/' ||"
      " (select count(*) from t_metakind) || '/' || (select count(*) from MD_language)";
  const std::string before = One(counts);
  const Rows elements = All("select * from t_metadata order by meta_id, id");

  ASSERT_TRUE(Module->CompactDatabase(u""));
  EXPECT_FALSE(Module->ADOConnection1->Connected());
  EXPECT_FALSE(Record()->Active());
  EXPECT_EQ(One(counts), before);
  EXPECT_EQ(All("select * from t_metadata order by meta_id, id"), elements);
  EXPECT_EQ(One("PRAGMA integrity_check"), "ok");
  EXPECT_TRUE(CompactLeftovers(Folder).empty());

  // The next dataset that opens connects again.
  ASSERT_TRUE(Module->OpenRecordList(Err)) << U8(Err);
  EXPECT_TRUE(Module->ADOConnection1->Connected());
  EXPECT_EQ(Module->aq_fileList->RecordCount(), 2);
}

TEST_F(FixtureTest, AFailedCompactionLeavesTheFileAlone) {
  const std::string broken = Folder + "/broken.mdb";
  { std::ofstream(broken, std::ios::binary) << std::string(4096, 'x'); }
  Module->ADOConnection1->SetProperty(u"Data Source", U16(broken));
  EXPECT_FALSE(Module->CompactDatabase(u""));
  EXPECT_EQ(ReadText(broken), std::string(4096, 'x'));

  Module->ADOConnection1->SetProperty(u"Data Source", U16(Folder + "/absent.mdb"));
  EXPECT_FALSE(Module->CompactDatabase(u""));
  EXPECT_FALSE(fs::exists(Folder + "/absent.mdb"));
  EXPECT_TRUE(CompactLeftovers(Folder).empty());
}

// Free pages for a compaction to drop: a record made and deleted again.
void LeaveFreePages(Tdm& Module, const std::string& DbPath) {
  String err;
  ASSERT_TRUE(Module.CreateRecord(err, false)) << U8(err);
  ExecSql(DbPath, "update t_metadata set content = printf('%.3000c', 'x')");
  ASSERT_TRUE(Module.DeleteRecord(err, Module.CurrentMetaId)) << U8(err);
}

TEST_F(FixtureTest, CompactionThroughALinkKeepsTheLinkPermissionsAndOwner) {
  LeaveFreePages(*Module, DbPath);
  Module->ADOConnection1->Close();
  fs::create_directory(Folder + "/real");
  const std::string target = Folder + "/real/records.db";
  fs::rename(DbPath, target);
  fs::create_symlink("real/records.db", DbPath);
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // Only the super-user can give the file away to check that it stays given.
  const bool canChown = geteuid() == 0 && chown(target.c_str(), 4321, 4321) == 0;
  const auto sizeBefore = fs::file_size(target);

  ASSERT_TRUE(Module->CompactDatabase(u"", &Err)) << U8(Err);
  ASSERT_TRUE(fs::is_symlink(DbPath));
  EXPECT_EQ(fs::read_symlink(DbPath), fs::path("real/records.db"));
  EXPECT_LT(fs::file_size(target), sizeBefore);
  EXPECT_EQ(fs::status(target).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  struct stat info {};
  ASSERT_EQ(stat(target.c_str(), &info), 0);
  if (canChown) {
    EXPECT_EQ(info.st_uid, 4321u);
  }
  EXPECT_EQ(One("PRAGMA integrity_check"), "ok");
  EXPECT_TRUE(CompactLeftovers(Folder).empty());
  EXPECT_TRUE(CompactLeftovers(Folder + "/real").empty());
}

TEST_F(FixtureTest, AReadOnlyDatabaseIsNotCompacted) {
  LeaveFreePages(*Module, DbPath);
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  fs::permissions(DbPath, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::string before = ReadText(DbPath);
  EXPECT_FALSE(Module->CompactDatabase(u"", &Err));
  EXPECT_NE(U8(Err).find("read-only"), std::string::npos) << U8(Err);
  EXPECT_EQ(ReadText(DbPath), before);
  // The record stays shown, read again from the file.
  EXPECT_TRUE(Record()->Active());
  EXPECT_EQ(Record()->RecordCount(), 13);
}

TEST_F(FixtureTest, ADamagedDatabaseIsNotCompactedAndTheEngineSaysWhy) {
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  // Enough rows for several leaf pages; one of them then claims fewer rows
  // than it holds. A copy would keep only the rows the page still shows.
  for (int k = 0; k < 20; ++k)
    ExecSql(DbPath, "insert into t_metadata (meta_id, id, code, content) select meta_id || '" + std::to_string(k) +
                        "', id, code, printf('%.200c', 'y') from t_metadata where meta_id = '" + Key() + "'");
  Module->ADOConnection1->Close();
  const std::string leaf =
      One("select pageno from dbstat where name = 't_metadata' and pagetype = 'leaf' order by pageno limit 1");
  const int pageSize = std::stoi(One("PRAGMA page_size"));
  {
    std::fstream file(DbPath, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(std::streamoff(std::stoi(leaf) - 1) * pageSize + 3);
    const char oneCell[2] = {0, 1};  // the cell count, big-endian
    file.write(oneCell, 2);
  }
  const std::string findings = One("PRAGMA integrity_check");
  ASSERT_NE(findings, "ok");
  const std::string before = ReadText(DbPath);

  EXPECT_FALSE(Module->CompactDatabase(u"", &Err));
  EXPECT_NE(U8(Err).find("damaged"), std::string::npos) << U8(Err);
  EXPECT_NE(U8(Err).find(findings), std::string::npos) << U8(Err);
  EXPECT_EQ(ReadText(DbPath), before);
}

TEST_F(FixtureTest, ACompactionCutShortByAFullDiskLeavesTheFileWhole) {
  LeaveFreePages(*Module, DbPath);
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  const Rows elements = All("select * from t_metadata order by meta_id, id");
  const auto size = fs::file_size(DbPath);
  // No file may grow beyond half the database: the rebuild runs out of room.
  rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = size / 2;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool compacted = Module->CompactDatabase(u"", &Err);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(compacted);
  EXPECT_FALSE(Err.empty());
  EXPECT_EQ(fs::file_size(DbPath), size);
  EXPECT_EQ(All("select * from t_metadata order by meta_id, id"), elements);
  EXPECT_EQ(One("PRAGMA integrity_check"), "ok");
  EXPECT_EQ(Record()->RecordCount(), 13);
}

// A second program on the same file, with its own connection.
class OtherProgram {
public:
  explicit OtherProgram(const std::string& Path) {
    if (sqlite3_open(Path.c_str(), &FDb) != SQLITE_OK) throw std::runtime_error("cannot open " + Path);
    sqlite3_busy_timeout(FDb, 5000);
  }
  ~OtherProgram() { sqlite3_close(FDb); }
  // SQLite's answer to the statements: "ok" or its message.
  std::string Exec(const std::string& Sql) {
    char* error = nullptr;
    int rc = sqlite3_exec(FDb, Sql.c_str(), nullptr, nullptr, &error);
    std::string answer = rc == SQLITE_OK ? "ok" : (error ? error : "failed");
    sqlite3_free(error);
    return answer;
  }

private:
  sqlite3* FDb = nullptr;
};

// While this program works, the other one holds its write open for a while
// and then commits it.
class PendingWrite {
public:
  PendingWrite(OtherProgram& Other, const std::string& Sql) : FOther(Other) {
    EXPECT_EQ(FOther.Exec("BEGIN IMMEDIATE; " + Sql), "ok");
    FCommit = std::thread([this] {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      FCommitted = FOther.Exec("COMMIT");
    });
  }
  // The other program's answer to its commit.
  std::string Finish() {
    FCommit.join();
    return FCommitted;
  }

private:
  OtherProgram& FOther;
  std::thread FCommit;
  std::string FCommitted;
};

TEST_F(FixtureTest, CompactionKeepsTheWritesOfAnotherProgram) {
  LeaveFreePages(*Module, DbPath);
  OtherProgram other(DbPath);
  PendingWrite pending(other, "insert into t_metakind (meta_id, kind_name) values ('pending', 'x')");
  ASSERT_TRUE(Module->CompactDatabase(u"", &Err)) << U8(Err);
  EXPECT_EQ(pending.Finish(), "ok");
  // The other program keeps its connection and writes on.
  EXPECT_EQ(other.Exec("insert into t_metakind (meta_id, kind_name) values ('after', 'x')"), "ok");
  EXPECT_EQ(All("select meta_id from t_metakind where kind_name = 'x' order by meta_id"),
            (Rows{{"after"}, {"pending"}}));
}

TEST_F(FixtureTest, OperationsWaitForAnotherProgramsWrite) {
  ASSERT_TRUE(Module->CreateRecord(Err, false)) << U8(Err);
  OtherProgram other(DbPath);
  const struct {
    const char* Name;
    std::function<bool()> Run;
  } operations[] = {
      {"create", [&] { return Module->CreateRecord(Err, true); }},
      {"swap", [&] { return Module->SwapChildren(Err, 2, 10); }},
      {"insert branch", [&] { return Module->InsertTemplateBranch(Err, u"010102", u"2"); }},
      {"clear", [&] { return Module->ClearDatabase(Err); }},
  };
  int n = 0;
  for (const auto& operation : operations) {
    SCOPED_TRACE(operation.Name);
    PendingWrite pending(other, "insert into t_combobox (code) values ('" + std::to_string(++n) + "')");
    EXPECT_TRUE(operation.Run()) << U8(Err);
    EXPECT_EQ(pending.Finish(), "ok");
  }
  EXPECT_EQ(One("select count(*) from t_combobox"), "4");
  EXPECT_EQ(One("select count(*) from t_metadata"), "0");
}

TEST_F(FixtureTest, LeftoversOfAKilledCompactionAreRemoved) {
  const std::string leftover = Folder + "/~CPa1B2c3";
  const std::string notOurs = Folder + "/~CPnotours.txt";
  auto leave = [&] {
    std::ofstream(leftover, std::ios::binary) << std::string(8192, 'z');
    std::ofstream(notOurs) << "kept";
  };
  leave();
  Module = std::make_unique<Tdm>(nullptr);  // the next start
  dm = Module.get();
  EXPECT_FALSE(fs::exists(leftover));
  leave();
  ASSERT_TRUE(Module->CompactDatabase(u"", &Err)) << U8(Err);
  EXPECT_FALSE(fs::exists(leftover));
  EXPECT_EQ(ReadText(notOurs), "kept");
}

// ---- The log of the open record ----------------------------------------------------

TEST_F(FixtureTest, TheLogIsNamedByTheOpenRecord) {
  ASSERT_TRUE(Module->CreateRecord(Err, true)) << U8(Err);
  WriteLogLine(u"第一条");
  Module->CurrentMetaId = u" " + Module->CurrentMetaId + u" ";  // trimmed for the name
  WriteLogLine(u"second");
  EXPECT_EQ(ReadText(Folder + "/log/20240305070809.log"),
            "数据集编码:20240305070809\n"
            "2024-03-05 07:08:09   第一条\n"
            "2024-03-05 07:08:09   second\n");

  std::vector<std::string> opened;
  SetOpenDocumentProc([&](const String& Path) {
    opened.push_back(U8(Path));
    return true;
  });
  String message;
  ShowLogFile(message);
  SetOpenDocumentProc(nullptr);
  EXPECT_EQ(opened, (std::vector<std::string>{Folder + "/log/20240305070809.log"}));
  EXPECT_TRUE(message.empty());
}

}  // namespace
