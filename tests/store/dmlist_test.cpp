#include "store/dmlist.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "store/dmunit.h"
#include "store/pubfunc.h"

namespace store_test {  // support.cpp
std::string MakeTempFolder(const std::string& Name);
void ExecSql(const std::string& DatabasePath, const std::string& Sql);
void MakeShippedDatabase(const std::string& Path);
}  // namespace store_test

namespace fs = std::filesystem;
using namespace store_test;

namespace {

std::string U8(const String& S) { return StringToUTF8(S); }

class CodeListTest : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = MakeTempFolder("codelists");
    DbPath = Folder + "/DataIdentification.mdb";
    MakeShippedDatabase(DbPath);
    SetProgramFolder(UTF8ToString(Folder));
    Records = std::make_unique<Tdm>(nullptr);
    dm = Records.get();
    Lists = std::make_unique<Tdm_list>(nullptr);
  }
  void TearDown() override {
    Lists.reset();
    Records.reset();
    SetProgramFolder(u"");
    fs::remove_all(Folder);
  }
  std::string Folder, DbPath;
  std::unique_ptr<Tdm> Records;
  std::unique_ptr<Tdm_list> Lists;
};

TEST_F(CodeListTest, TwentyOneListsOpenOnceOnTheRecordConnection) {
  for (Integer n = 10; n <= 30; ++n) {
    ASSERT_NE(Lists->aq_list(n), nullptr) << n;
    EXPECT_EQ(Lists->aq_list(n)->Connection(), Records->ADOConnection1);
    EXPECT_EQ(Lists->ds_list(n)->DataSet(), Lists->aq_list(n));
    EXPECT_EQ(Lists->FindComponent(u"ds_list" + IntToStr(n)), Lists->ds_list(n));
    EXPECT_FALSE(Lists->aq_list(n)->Active());
  }
  EXPECT_EQ(Lists->aq_list(9), nullptr);
  EXPECT_EQ(Lists->ds_list(31), nullptr);
  EXPECT_EQ(U8(Lists->aq_list(10)->SQL()->Strings(0)), "select  code,ename,cname  from MD_language");
  EXPECT_EQ(U8(Lists->aq_list(14)->SQL()->Strings(0)), "select  code,ename,cname  from CI_PresentationFormCode ");
  EXPECT_EQ(U8(Lists->aq_list(30)->SQL()->Strings(0)), "select  code,ename,cname  from MD_MediumNameCode");

  Lists->OpenCodeLists();
  for (Integer n = 10; n <= 30; ++n) {
    EXPECT_TRUE(Lists->aq_list(n)->Active()) << n;
    EXPECT_GT(Lists->aq_list(n)->RecordCount(), 0) << n;
  }
  EXPECT_EQ(U8(Lists->aq_list(12)->Lookup(u"code", Variant(String(u"001")), u"cname").AsString()), "创建");

  // A second call leaves the open lists as they are: no re-query.
  const Integer languages = Lists->aq_list(10)->RecordCount();
  ExecSql(DbPath, "insert into MD_language (code, ename, cname) values ('xxx', 'Test', '测试');");
  Lists->OpenCodeLists();
  EXPECT_EQ(Lists->aq_list(10)->RecordCount(), languages);
}

TEST_F(CodeListTest, AListThatCannotOpenStopsTheRest) {
  ExecSql(DbPath, "DROP TABLE CH_StandardTimeCode;");  // list 20
  EXPECT_THROW(Lists->OpenCodeLists(), EDatabaseError);
  for (Integer n = 10; n <= 30; ++n) EXPECT_EQ(Lists->aq_list(n)->Active(), n < 20) << n;
}

}  // namespace
