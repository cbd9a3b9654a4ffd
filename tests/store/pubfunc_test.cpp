#include "store/pubfunc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/variant.h"
#include "store/dmunit.h"

namespace store_test {  // support.cpp
std::string MakeTempFolder(const std::string& Name);
std::string ReadText(const std::string& Path);
}  // namespace store_test

namespace fs = std::filesystem;
using namespace store_test;

namespace {

std::string U8(const String& S) { return StringToUTF8(S); }

TEST(PubFuncPaths, EnsureTrailingBackslash) {
  struct Case {
    String In, Out;
  } cases[] = {
      {u"/opt/korvane", u"/opt/korvane/"},
      {u"/opt/korvane/", u"/opt/korvane/"},
      {u"  /opt/korvane \t", u"/opt/korvane/"},
      {u"\n /opt/korvane/ ", u"/opt/korvane/"},
      {u"", u""},
      {u"   ", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(U8(EnsureTrailingBackslash(c.In)), U8(c.Out)) << U8(c.In);
}

TEST(PubFuncPaths, ProgramFolderIsTheRunningProgramsUnlessSet) {
  SetProgramFolder(u"");
  String folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), PathDelim);
  EXPECT_TRUE(fs::exists(fs::path(U8(folder)) / "test_store"));

  SetProgramFolder(u"/srv/app");
  EXPECT_EQ(U8(ProgramFolder()), "/srv/app/");
  EXPECT_EQ(U8(LogFolder()), "/srv/app/log/");
  SetProgramFolder(u"");
  EXPECT_EQ(ProgramFolder(), folder);
}

TEST(PubFuncPaths, TempDirectoryEndsInTheSeparator) {
  String temp = GetTempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), PathDelim);
  EXPECT_TRUE(fs::is_directory(U8(temp)));
}

TEST(PubFuncStrings, RightChars) {
  struct Case {
    String Text;
    Integer N;
    String Out;
  } cases[] = {
      {u"abc", 4, u"abc"}, {u"abc", 3, u"abc"}, {u"abc", 2, u"bc"},
      {u"元数据", 1, u"据"}, {u"abc", 0, u""},  {u"abc", -1, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(U8(RightChars(c.Text, c.N)), U8(c.Out)) << U8(c.Text) << " " << c.N;
}

TEST(PubFuncStrings, ForceFileExtension) {
  struct Case {
    String Name, Out;
  } cases[] = {
      {u"record.xml", u"record.xml"},
      {u"RECORD.XML", u"RECORD.XML"},
      {u"record", u"record.xml"},
      {u"record.txt", u"record.txt.xml"},
      {u"", u".xml"},
  };
  for (const Case& c : cases) EXPECT_EQ(U8(ForceFileExtension(c.Name, u".xml")), U8(c.Out)) << U8(c.Name);
}

TEST(PubFuncConversions, ParseIntOrDefault) {
  struct Case {
    String Text;
    Integer Out;
  } cases[] = {
      {u"42", 42}, {u"-7", -7}, {u"", -1}, {u"4x", -1}, {u"99999999999", -1}, {u"3.5", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseIntOrDefault(c.Text, -1), c.Out) << U8(c.Text);
}

TEST(PubFuncConversions, VariantToTextFallsBackToEmpty) {
  EXPECT_EQ(U8(VariantToText(Variant(12))), "12");
  EXPECT_EQ(U8(VariantToText(Variant(String(u"文本")))), "文本");
  EXPECT_EQ(U8(VariantToText(Null())), "");
  EXPECT_EQ(U8(VariantToText(VarArrayOf({Variant(1), Variant(2)}))), "");
}

// The log without an open record, and the viewer.
class LogTest : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = MakeTempFolder("log with blanks");
    SetProgramFolder(UTF8ToString(Folder));
    SetClockForTesting([] { return EncodeDateTime(2024, 3, 5, 7, 8, 9, 0); });
    SetOpenDocumentProc([this](const String& Path) {
      Opened.push_back(U8(Path));
      return true;
    });
  }
  void TearDown() override {
    SetOpenDocumentProc(nullptr);
    ResetClockForTesting();
    SetProgramFolder(u"");
    fs::remove_all(Folder);
  }
  std::string Folder;
  std::vector<std::string> Opened;
};

TEST_F(LogTest, EntriesGoToTheDefaultFileWithAnEmptyKeyHeader) {
  ASSERT_EQ(dm, nullptr);
  WriteLogLine(u"未知错误:第一条");
  WriteLogLine(u"second");
  std::string file = Folder + "/log/Korvane.log";
  EXPECT_EQ(U8(LogFileName()), file);
  EXPECT_EQ(ReadText(file),
            "数据集编码:\n"
            "2024-03-05 07:08:09   未知错误:第一条\n"
            "2024-03-05 07:08:09   second\n");
}

TEST_F(LogTest, AnEntryThatCannotBeWrittenIsLost) {
  SetProgramFolder(UTF8ToString(Folder + "/missing/deeper"));
  EXPECT_NO_THROW(WriteLogLine(u"lost"));
  EXPECT_FALSE(fs::exists(Folder + "/missing"));
}

TEST_F(LogTest, ShowLogFileOpensAnExistingLogAndReportsAMissingOne) {
  String message = u"unchanged";
  ShowLogFile(message);
  EXPECT_EQ(U8(message), "目前没有错误");
  EXPECT_TRUE(Opened.empty());

  WriteLogLine(u"entry");
  message = u"unchanged";
  ShowLogFile(message);
  EXPECT_EQ(U8(message), "unchanged");
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_EQ(Opened[0], Folder + "/log/Korvane.log");  // the folder has blanks in its name
}

}  // namespace
