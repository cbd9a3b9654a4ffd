// XML output of the editing window: the file's form, the round trip through
// the import, and the preview built on it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <unistd.h>

#include <fstream>

#include "app/main.h"
#include "platform/xml/xmldoc.h"
#include "tests/app/recordtestutil.h"

namespace {

using namespace app_test;
using F = TRecordFixture;

std::string ReadAll(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

size_t Occurrences(const std::string& Text, const std::string& Part) {
  size_t n = 0;
  for (size_t at = Text.find(Part); at != std::string::npos; at = Text.find(Part, at + 1)) ++n;
  return n;
}

// Each element of a record as "code|parent's code|content", in code order:
// equal for equal records whatever their ids.
std::vector<std::string> Elements(const F& Fixture, const std::string& Key) {
  return SelectAll(Fixture.DbPath,
                   "select a.code || '|' || ifnull(p.code, '') || '|' || ifnull(a.content, '') from t_metadata a"
                   " left join t_metadata p on p.meta_id = a.meta_id and p.id = a.parent_id"
                   " where a.meta_id = '" + Key + "' order by 1");
}

// Every leaf filled with Chinese text, a character GB2312 has not got and
// one outside the basic plane; code-list elements with a code.
std::vector<std::string> FillEverything() {
  return {F::FillLeaves(),
          "update t_metadata set content = '地质 ' || code || ' €😀' where meta_id = KEY and content = code"
          " and (tag < 10 or tag > 30)"};
}

std::string WriteRecord(F& Fixture, const std::string& Name) {
  const std::string path = (Fixture.Folder / Name).string();
  EXPECT_TRUE(frm_meta_edit->WriteXml(U16(path)));
  return path;
}

TEST(XmlOutput, AFullRecordReadsBackThroughTheImportAsTheSameRecord) {
  TRecordFixture f;
  f.Change(FillEverything());
  const std::string path = WriteRecord(f, "full.xml");
  EXPECT_TRUE(f.Script.Boxes.empty());  // the check passed
  EXPECT_EQ(frm_meta_edit->Caption(), U16(path));
  const std::vector<std::string> written = Elements(f, f.RecordKey);

  const std::string bytes = ReadAll(path);
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"GB2312\"?>", 0), 0u) << bytes.substr(0, 60);
  EXPECT_NE(bytes.find("xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""), std::string::npos);
  EXPECT_NE(bytes.find("xsi:noNamespaceSchemaLocation=\"mgsd.xsd\""), std::string::npos);
  // Chinese in GB2312 bytes; what GB2312 cannot hold as character references.
  EXPECT_NE(bytes.find(StringToGB2312(u"地质")), std::string::npos);
  EXPECT_NE(bytes.find("&#8364;&#128512;"), std::string::npos);
  // The record information has no element of its own.
  EXPECT_EQ(Occurrences(bytes, "<metadata"), 1u);
  EXPECT_NE(bytes.find("<idStatus>\n      <ProgCd value=\"0105\"/>"), std::string::npos);

  TUserScript user;
  user.Kind(false);
  f.Script.OpenNames = {U16(path)};
  f.Run([&] { f.Main->N21->Click(); });
  ASSERT_NE(f.Key(), f.RecordKey);
  EXPECT_TRUE(f.Script.Boxes.empty()) << U8(f.Script.Boxes.front().Text);
  const std::vector<std::string> read = Elements(f, f.Key());
  EXPECT_EQ(read.size(), written.size());
  EXPECT_EQ(read, written);
  EXPECT_GT(written.size(), 300u);
}

// Only present elements are written; an element that is left out takes
// only its own subtree with it.
TEST(XmlOutput, LeavesOutExactlyTheElementsThatAreNotPresent) {
  TRecordFixture f;
  f.Change({F::FillLeaves(), F::Clear("0103"),
            // A second credit, filled, after the first one left empty.
            "update t_metadata set content = null where meta_id = KEY and code = '0104'",
            "insert into t_metadata (meta_id, id, code, cname, ename, content, parent_id, parent_code, max_times, tag)"
            " select meta_id, 100000, code, cname, ename, 'second credit', parent_id, parent_code, max_times, tag"
            " from t_metadata where meta_id = KEY and code = '0104'",
            // An element without a code, which the template cannot place.
            "update t_metadata set code = '' where meta_id = KEY and code = '0120'"});
  const std::string bytes = ReadAll(WriteRecord(f, "some.xml"));
  EXPECT_TRUE(f.Script.Boxes.empty()) << U8(f.Script.Boxes.front().Text);
  EXPECT_EQ(bytes.find("<idPurp"), std::string::npos);
  EXPECT_EQ(Occurrences(bytes, "<idCredit"), 1u);
  EXPECT_NE(bytes.find("<idCredit>second credit</idCredit>"), std::string::npos);
  EXPECT_EQ(bytes.find("<envirDesc"), std::string::npos);
  // Everything after them is still written.
  for (const char* later : {"<resMaint>", "<geoBox>", "<dqInfo>", "<mdFileID>0601</mdFileID>", "<mdExtInfo>"})
    EXPECT_NE(bytes.find(later), std::string::npos) << later;
}

TEST(XmlOutput, ACoreRecordIsWrittenWhole) {
  TRecordFixture f(true);
  const std::string path = WriteRecord(f, "core.xml");
  EXPECT_TRUE(f.Script.Boxes.empty());
  TXMLDocument document(nullptr);
  document.LoadFromFile(U16(path));
  Integer elements = 0;
  std::function<void(TXMLNode*)> count = [&](TXMLNode* Node) {
    for (TXMLNode* child = Node->ChildNodes()->First(); child; child = child->NextSibling())
      if (child->NodeType() == ntElement) {
        elements += !child->HasAttribute(u"value");  // a code list's inner element
        count(child);
      }
  };
  count(document.DocumentElement());
  // Every row but the record information's own.
  EXPECT_EQ(std::to_string(elements), f.Count("t_metadata", "meta_id = '" + f.RecordKey + "' and code <> '06'"));
  EXPECT_NE(ReadAll(path).find("<mdFileID/>"), std::string::npos);
}

// A failed check asks; Yes writes every filled element with its ancestors
// (the faulty section too), No writes nothing.
TEST(XmlOutput, AfterAFailedCheckOnlyYesWrites) {
  for (Integer answer : {IDYES, IDNO}) {
    TRecordFixture f;
    f.Change({F::FillLeaves(), F::Clear("0102")});
    f.Script.Answers = {answer};
    const std::string path = (f.Folder / "asked.xml").string();
    EXPECT_EQ(frm_meta_edit->WriteXml(U16(path)), answer == IDYES);
    ASSERT_EQ(f.Script.Boxes.size(), 1u);
    EXPECT_EQ(U8(f.Script.Boxes[0].Text), "异常信息：元数据必选项不能空缺：0102摘要，是否继续?");
    EXPECT_EQ(f.Script.Boxes[0].Caption, u"确认");
    EXPECT_EQ(fs::exists(path), answer == IDYES);
    if (answer == IDYES) {
      const std::string bytes = ReadAll(path);
      EXPECT_NE(bytes.find("<dataIdInfo>\n    <idCitation>\n      <resTitle>010101</resTitle>"), std::string::npos);
      EXPECT_EQ(bytes.find("<idAbs"), std::string::npos);
      EXPECT_NE(bytes.find("<mdFileID>0601</mdFileID>"), std::string::npos);
    }
  }
}

// A file that cannot be written raises; the file there before stays whole.
TEST(XmlOutput, AFailedWriteLeavesTheOldFile) {
  TRecordFixture f;
  f.Change({F::FillLeaves()});
  const std::string path = f.WriteFile("old.xml", "old record");
  fs::permissions(f.Folder, fs::perms::owner_write, fs::perm_options::remove);
  const bool writable = access(f.Folder.c_str(), W_OK) == 0;  // root writes anyway
  if (!writable) {
    EXPECT_THROW(frm_meta_edit->WriteXml(U16(path)), Exception);
  }
  fs::permissions(f.Folder, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadAll(path), "old record");
  EXPECT_THROW(frm_meta_edit->WriteXml(U16((f.Folder / "no-such-folder" / "x.xml").string())), Exception);
  EXPECT_EQ(frm_meta_edit->Caption(), u"未命名");
}

// ---- Preview -------------------------------------------------------------------

struct TTempFolder {
  TTempFolder() {
    const char* old = getenv("TMPDIR");
    Old = old ? old : "";
    std::string pattern = (fs::temp_directory_path() / "korvane-tmp-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    Path = pattern;
    setenv("TMPDIR", Path.c_str(), 1);
  }
  ~TTempFolder() {
    if (Old.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", Old.c_str(), 1);
    fs::remove_all(Path);
  }
  fs::path Path;
  std::string Old;
};

// The preview writes the record to the scratch file and opens the page the
// record kind's style sheet makes of it; the record keeps its name.
TEST(Preview, ShowsTheRecordWithItsKindsStyleSheet) {
  for (bool core : {false, true}) {
    SCOPED_TRACE(core ? "core" : "full");
    TRecordFixture f(core);
    TTempFolder temp;
    f.Change({F::FillLeaves(), "update t_metadata set content = '青藏高原冻土图' where meta_id = KEY and code = '010101'"});
    f.Run([&] { f.Main->spb_preview->Click(); });
    EXPECT_TRUE(f.Script.Boxes.empty()) << U8(f.Script.Boxes.front().Text);
    ASSERT_EQ(f.Shell.Opened.size(), 1u);
    const std::string page = U8(f.Shell.Opened[0]);
    EXPECT_EQ(fs::path(page).parent_path(), temp.Path);
    const std::string html = ReadAll(page);
    EXPECT_NE(html.find("<html"), std::string::npos);
    EXPECT_NE(html.find("青藏高原冻土图"), std::string::npos);
    EXPECT_TRUE(fs::exists(f.Folder / "temp.xml"));
    EXPECT_EQ(frm_meta_edit->Caption(), u"未命名");
  }
}

// A program folder that cannot take the scratch file leaves it to the
// temporary folder, from which it goes once the page is made.
TEST(Preview, TheScratchFileGoesToTheTemporaryFolderWhenTheProgramFolderRefusesIt) {
  TRecordFixture f;
  TTempFolder temp;
  f.Change({F::FillLeaves(), "update t_metadata set content = '青藏高原冻土图' where meta_id = KEY and code = '010101'"});
  // A name the program cannot write, as in a folder it may not write to
  // (a folder of that name: the test may run with every permission).
  fs::create_directory(f.Folder / "temp.xml");
  f.Run([&] { f.Main->spb_preview->Click(); });
  EXPECT_TRUE(f.Script.Boxes.empty()) << U8(f.Script.Boxes.front().Text);
  ASSERT_EQ(f.Shell.Opened.size(), 1u);
  EXPECT_NE(ReadAll(U8(f.Shell.Opened[0])).find("青藏高原冻土图"), std::string::npos);
  EXPECT_TRUE(fs::is_directory(f.Folder / "temp.xml"));
  size_t scratch = 0;
  for (auto& entry : fs::directory_iterator(temp.Path)) scratch += entry.path().extension() == ".xml";
  EXPECT_EQ(scratch, 0u);
  EXPECT_EQ(frm_meta_edit->Caption(), u"未命名");
}

// The output command tells how it ended: written, written with only the
// filled elements after a failed check, or nothing to write.
TEST(XmlOutput, TheCommandTellsWhatWasWritten) {
  struct {
    const char* Name;
    std::vector<std::string> Change;
    const char* Message;
    bool Written;
  } cases[] = {
      {"in order", {F::FillLeaves()}, "XML文件输出完毕!", true},
      {"failed check, filled elements", {F::FillLeaves(), F::Clear("0102")},
       "XML文件输出完毕!\n元数据没有通过结构检查，文件中只有已填写内容的元素。", true},
      {"nothing filled", {}, "元数据中没有已填写内容的元素，XML文件没有输出", false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecordFixture f;
    f.Change(c.Change);
    const std::string path = (f.Folder / "told.xml").string();
    frm_meta_edit->SetFileName(U16(path));
    f.Script.Answers = {IDYES};
    f.Run([&] { f.Main->N3->Click(); });
    ASSERT_FALSE(f.Script.Boxes.empty());
    EXPECT_EQ(U8(f.Script.Boxes.back().Text), c.Message);
    EXPECT_EQ(f.Script.Boxes.back().Flags, Cardinal(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(fs::exists(path), c.Written);
  }
}

// Content that XML 1.0 cannot carry stops the output before anything is
// written, naming the element.
TEST(XmlOutput, ACharacterXmlCannotCarryStopsTheOutputNamingTheElement) {
  struct {
    const char* Sql;
    const char* Code;
  } cases[] = {
      {"'first' || char(12) || 'second'", "000C"},
      {"char(1)", "0001"},
      {"'end' || char(65535)", "FFFF"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Code);
    TRecordFixture f;
    f.Change({F::FillLeaves(), std::string("update t_metadata set content = ") + c.Sql +
                                   " where meta_id = KEY and code = '0102'"});
    const std::string path = f.WriteFile("old.xml", "old record");
    frm_meta_edit->SetFileName(U16(path));
    f.Run([&] { f.Main->N3->Click(); });
    ASSERT_EQ(f.Script.Boxes.size(), 1u);
    EXPECT_EQ(U8(f.Script.Boxes[0].Text),
              std::string("元素“摘要”（0102）的内容含有XML文件不能保存的字符 U+") + c.Code + "，请修改后再输出");
    EXPECT_EQ(f.Script.Boxes[0].Flags, Cardinal(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(ReadAll(path), "old record");
  }
}

// Elements are written as the template spells them, whatever letters an
// older record holds.
TEST(XmlOutput, ElementsAreWrittenAsTheTemplateSpellsThem) {
  TRecordFixture f;
  f.Change({F::FillLeaves(), "update t_metadata set ename = upper(ename) where meta_id = KEY",
            "update t_metadata set ename = 'DISTINFO' where meta_id = KEY and code = '05'"});
  const std::string bytes = ReadAll(WriteRecord(f, "spelled.xml"));
  EXPECT_NE(bytes.find("<resTitle>010101</resTitle>"), std::string::npos);
  EXPECT_NE(bytes.find("<distInfo>"), std::string::npos);
  EXPECT_EQ(bytes.find("RESTITLE"), std::string::npos);
  EXPECT_EQ(bytes.find("DISTINFO"), std::string::npos);
}

// The page of a full record as a browser shows it: the title and the first
// section's coloured band stand at the top. Saved as
// /tmp/korvane_preview.png for looking at.
TEST(Preview, APageRendersInABrowser) {
  const char* browser = "/usr/bin/chromium";
  if (access(browser, X_OK) != 0) GTEST_SKIP() << "no headless browser here";
  TRecordFixture f;
  TTempFolder temp;
  f.Change({F::FillLeaves(), "update t_metadata set content = '青藏高原冻土图' where meta_id = KEY and code = '010101'"});
  f.Run([&] { f.Main->spb_preview->Click(); });
  ASSERT_EQ(f.Shell.Opened.size(), 1u);
  const std::string picture = "/tmp/korvane_preview.png";
  fs::remove(picture);
  const std::string command = std::string(browser) +
                              " --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,700"
                              " --screenshot=" + picture + " 'file://" + U8(f.Shell.Opened[0]) + "' >/dev/null 2>&1";
  ASSERT_EQ(system(command.c_str()), 0);
  TBitmap shot;
  shot.LoadFromFile(U16(picture));
  ASSERT_EQ(shot.Width(), 1000);
  // Dark title text in the top band, the section's blue bar below it.
  EXPECT_GT(CountNot(shot, TRect{0, 0, 400, 60}, clWhite), 200);
  EXPECT_GT(CountBluish(shot, TRect{0, 80, 1000, 130}), 5000);
}

}  // namespace
