// The import of XML record files and the preview page.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "app/main.h"
#include "tests/app/recordtestutil.h"

namespace {

using namespace app_test;

// A record file as another program writes it: indented, with comments and
// a processing instruction, elements the template does not know (inside a
// section, with children, and at the top), a code-list element whose code
// sits after a comment, and the record's own information at the top.
const char* const kThirdPartyFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- exported by a field survey tool -->
<metadata xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="mgsd.xsd">
  <?survey-tool version="3"?>
  <dataIdInfo>
    <idCitation>
      <resTitle><!-- the sheet's title -->青藏高原 1:25万 地质图</resTitle>
      <resRefDate>
        <refDate>2023-06-01</refDate>
        <refDateType><DateTypCd value="002"/></refDateType>
      </resRefDate>
      <surveyNote>not in the template</surveyNote>
    </idCitation>
    <idAbs>区域地质调查成果 &amp; 说明</idAbs>
    <idStatus>
      <!-- progress -->
      <ProgCd value="001"/>
    </idStatus>
    <vendorBlock><inner>x</inner></vendorBlock>
  </dataIdInfo>
  <mdFileID>GEO-2023-17</mdFileID>
  <mdLang><languageCode value="zh"/></mdLang>
  <fieldCrew>a foreign element at the top</fieldCrew>
</metadata>
)";

// Imports the file through the menu, as the user does.
void ImportThroughMenu(TMainFixture& F, const std::string& Path, bool Core) {
  TUserScript user;
  user.Kind(Core);
  F.Script.OpenNames = {U16(Path)};
  F.Run([&] { F.Main->N21->Click(); });
}

std::string Row(TMainFixture& F, const std::string& Key, const std::string& Name, const std::string& Column) {
  return F.One("select " + Column + " from t_metadata where meta_id = '" + Key + "' and ename = '" + Name + "'");
}

// The file in GB2312, as record files are usually written.
std::string InGB2312(const std::string& Utf8File) {
  std::string text = Utf8File;
  text.replace(text.find("UTF-8"), 5, "GB2312");
  bool lossless = false;
  std::string bytes = StringToGB2312(U16(text), &lossless);
  EXPECT_TRUE(lossless);
  return bytes;
}

TEST(ImportXml, AThirdPartyFileImportsWithoutTheElementsTheTemplateDoesNotKnow) {
  for (bool gb2312 : {false, true}) {
    SCOPED_TRACE(gb2312 ? "GB2312" : "UTF-8");
    TMainFixture f;
    const std::string path = f.WriteFile("survey.xml", gb2312 ? InGB2312(kThirdPartyFile) : kThirdPartyFile);
    ImportThroughMenu(f, path, true);
    const std::string key = f.Key();
    ASSERT_EQ(key, "20240305070809");
    struct {
      const char* Name;
      const char* Id;
      const char* ParentId;
      const char* Code;
      const char* Content;
    } rows[] = {
        {"dataIdInfo", "1", "0", "01", ""},
        {"idCitation", "2", "1", "0101", ""},
        {"resTitle", "3", "2", "010101", "青藏高原 1:25万 地质图"},
        {"resRefDate", "4", "2", "010103", ""},
        {"refDate", "5", "4", "01010301", "2023-06-01"},
        {"refDateType", "6", "4", "01010302", "002"},
        {"idAbs", "9", "1", "0102", "区域地质调查成果 & 说明"},
        {"idStatus", "10", "1", "0105", "001"},
        {"mdFileID", "14", "18", "0601", "GEO-2023-17"},
        {"mdLang", "15", "18", "0602", "zh"},
        {"metadata", "18", "0", "06", "<null>"},
    };
    // Every element of the file has its id in document order, the inner
    // elements of codes too (their rows go with the match).
    EXPECT_EQ(f.Count("t_metadata", "meta_id = '" + key + "'"), std::to_string(std::size(rows)));
    for (auto& r : rows) {
      SCOPED_TRACE(r.Name);
      EXPECT_EQ(Row(f, key, r.Name, "id"), r.Id);
      EXPECT_EQ(Row(f, key, r.Name, "parent_id"), r.ParentId);
      EXPECT_EQ(Row(f, key, r.Name, "code"), r.Code);
      EXPECT_EQ(Row(f, key, r.Name, "content"), r.Content);
    }
    EXPECT_EQ(f.One("select meta_name || '|' || kind_name from t_metakind where meta_id = '" + key + "'"),
              "青藏高原 1:25万 地质图|核心元数据");
    // The record shows under the file's name; how many elements were left
    // out is shown and logged.
    ASSERT_NE(frm_meta_edit, nullptr);
    EXPECT_EQ(frm_meta_edit->Caption(), U16(path));
    EXPECT_TRUE(frm_meta_edit->IsCore());
    EXPECT_TRUE(f.Main->RecordCommandsEnabled());
    const String leftOut = u"XML文件中有4个元素不属于元数据模板，未导入";
    EXPECT_EQ(f.Script.Texts(), std::vector<String>{leftOut + u"\n未导入的内容已逐项记入日志（查看日志）"});
    // The record's own log names each of them by its path.
    EXPECT_EQ(U8(LogFileName()).find(key + ".log") != std::string::npos, true);
    std::ifstream log(U8(LogFileName()));
    std::string logText((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(logText.find(U8(leftOut)), std::string::npos);
    for (const char* path : {"/metadata/dataIdInfo/idCitation/surveyNote", "/metadata/dataIdInfo/vendorBlock",
                             "/metadata/dataIdInfo/vendorBlock/inner", "/metadata/fieldCrew"})
      EXPECT_NE(logText.find(std::string("未导入的元素：") + path + "\n"), std::string::npos) << path << logText;
  }
}

TEST(ImportXml, TheSameFileTwiceMakesTwoRecords) {
  TMainFixture f;
  const std::string path = f.WriteFile("survey.xml", kThirdPartyFile);
  ImportThroughMenu(f, path, false);
  const std::string first = f.Key();
  ImportThroughMenu(f, path, false);
  EXPECT_NE(f.Key(), first);
  EXPECT_EQ(f.Count("t_metakind", "kind_name = '元数据'"), "2");
  EXPECT_EQ(f.Count("t_metadata"), "22");
}

std::string Repeat(const std::string& Text, size_t Times) {
  std::string all;
  all.reserve(Text.size() * Times);
  for (size_t i = 0; i < Times; ++i) all += Text;
  return all;
}

std::string Nested(size_t Depth) {
  return "<metadata>" + Repeat("<dataIdInfo>", Depth) + "x" + Repeat("</dataIdInfo>", Depth) + "</metadata>";
}

// Files that are not records, or that would make the program read far more
// than the file holds, are refused with the reason; nothing is written and
// the record shown before stays.
TEST(ImportXml, HostileAndBrokenFilesAreRefusedWithNothingWritten) {
  const std::string laughs =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE metadata [\n<!ENTITY a \"aaaaaaaaaa\">\n" +
      std::string("<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n") +
      "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">\n]>\n"
      "<metadata><dataIdInfo><idCitation><resTitle>&e;&e;&e;&e;</resTitle></idCitation></dataIdInfo></metadata>";
  const std::string external =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE metadata [<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>\n"
      "<metadata><dataIdInfo><idAbs>&secret;</idAbs></dataIdInfo></metadata>";
  const std::string huge = "<metadata><dataIdInfo><idAbs>" + std::string(100u << 20, 'a') + "</idAbs></dataIdInfo></metadata>";
  struct {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"entity expansion", laughs},
      {"external entity", external},
      {"100 MB of text", huge},
      {"nested past the import's limit", Nested(MaxImportNesting + 5)},
      {"nested past the parser's limit", Nested(100000)},
      {"more elements than any record",
       "<metadata>" + Repeat("<idAbs/>", size_t(MaxImportElements) + 1) + "</metadata>"},
      {"GB2312 bytes declared as UTF-8",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><metadata><mdFileID>\xB5\xD8\xD6\xCA</mdFileID></metadata>"},
      {"an unknown encoding", "<?xml version=\"1.0\" encoding=\"x-no-such\"?><metadata><mdFileID>a</mdFileID></metadata>"},
      {"a truncated file", "<metadata><dataIdInfo><idAbs>abc</idAbs>"},
      {"no document element", "<?xml version=\"1.0\"?>\n<!-- nothing -->"},
  };
  TMainFixture f;
  f.NewThroughToolbar(false);
  const std::string shown = f.Key();
  const std::string rows = f.Count("t_metadata");
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    f.Script.Boxes.clear();
    const std::string path = f.WriteFile("hostile.xml", c.Bytes);
    ImportThroughMenu(f, path, false);
    ASSERT_EQ(f.Script.Boxes.size(), 1u);
    const std::string text = U8(f.Script.Boxes[0].Text);
    EXPECT_EQ(text.rfind("导入XML文件失败,错误信息:", 0), 0u) << text;
    EXPECT_GT(text.size(), std::string("导入XML文件失败,错误信息:").size() + 5) << text;
    EXPECT_LT(text.size(), 2000u);
    EXPECT_EQ(f.Script.Boxes[0].Flags, Cardinal(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(f.Count("t_metadata"), rows);
    EXPECT_EQ(f.Count("t_metakind"), "1");
    EXPECT_EQ(f.Key(), shown);
    EXPECT_EQ(U8(dm->aq_metadata->FieldByName(u"meta_id")->AsString()), shown);
    EXPECT_EQ(frm_meta_edit->Caption(), u"未命名");
  }
  fs::remove(f.Folder / "hostile.xml");
}

// Rows, match and registration are one transaction: a failure at the end
// takes the rows back, and the reason is shown.
TEST(ImportXml, AFailedRegistrationTakesTheRowsBack) {
  TMainFixture f;
  const std::string path = f.WriteFile("survey.xml", kThirdPartyFile);
  ExecSql(f.DbPath, "CREATE TRIGGER refuse BEFORE INSERT ON t_metakind BEGIN SELECT RAISE(ABORT, 'list is locked'); END;");
  ImportThroughMenu(f, path, false);
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_NE(U8(f.Script.Boxes[0].Text).find("list is locked"), std::string::npos);
  EXPECT_EQ(f.Count("t_metadata"), "0");
  EXPECT_EQ(frm_meta_edit, nullptr);
  EXPECT_FALSE(f.Main->RecordCommandsEnabled());
}

std::string ReadAll(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The record's log as text.
std::string LogText() {
  std::ifstream log(U8(LogFileName()));
  return std::string((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
}

// What the template cannot hold is told line by line in the record's log;
// what it can hold is kept, wherever the file puts it.
TEST(ImportXml, EveryLossIsLoggedByItsPathAndNothingTheTemplateHoldsIsDropped) {
  TMainFixture f;
  const std::string path = f.WriteFile("losses.xml", R"(<metadata xml:lang="zh">
  <dataIdInfo>
    <idCitation>loose text
      <resTitle Sync="TRUE">标题</resTitle>
      <resRefDate>
        <refDate>2020-01-01</refDate>
        <refDateType><DateTypCd value="002" extra="x"><inner/></DateTypCd><note>n</note></refDateType>
      </resRefDate>
      <resAltTitle value="v">别名</resAltTitle>
    </idCitation>
    <idAbs>摘要<b>粗体</b></idAbs>
  </dataIdInfo>
  <dataIdInfo>
    <idCitation><resTitle value="first child with a value">第二</resTitle><resAltTitle>第二别名</resAltTitle></idCitation>
  </dataIdInfo>
</metadata>)");
  ImportThroughMenu(f, path, false);
  const std::string key = f.Key();
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_EQ(U8(f.Script.Boxes[0].Text), "XML文件中有3个元素不属于元数据模板，未导入\n未导入的内容已逐项记入日志（查看日志）");
  // Kept: the title beside loose text, the code with more inside, the
  // text beside an unknown element of a leaf, and the elements after a
  // first child that carries a value.
  EXPECT_EQ(SelectAll(f.DbPath, "select ename || '=' || ifnull(content, '') from t_metadata where meta_id = '" + key +
                                    "' and content <> '' order by id"),
            (std::vector<std::string>{"resTitle=标题", "refDate=2020-01-01", "refDateType=002", "resAltTitle=别名",
                                      "idAbs=摘要", "resTitle=第二", "resAltTitle=第二别名"}));
  const std::string log = LogText();
  for (const char* line : {
           "未导入的属性：/metadata/@xml:lang=\"zh\"",
           "未导入的文字：/metadata/dataIdInfo[1]/idCitation：loose text",
           "未导入的属性：/metadata/dataIdInfo[1]/idCitation/resTitle/@Sync=\"TRUE\"",
           "未导入的属性：/metadata/dataIdInfo[1]/idCitation/resRefDate/refDateType/DateTypCd/@extra=\"x\"",
           "未导入的元素：/metadata/dataIdInfo[1]/idCitation/resRefDate/refDateType/DateTypCd/inner",
           "未导入的元素：/metadata/dataIdInfo[1]/idCitation/resRefDate/refDateType/note",
           "未导入的属性：/metadata/dataIdInfo[1]/idCitation/resAltTitle/@value=\"v\"",
           "未导入的元素：/metadata/dataIdInfo[1]/idAbs/b",
           "未导入的属性：/metadata/dataIdInfo[2]/idCitation/resTitle/@value=\"first child with a value\"",
       })
    EXPECT_NE(log.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << log;
}

// A file of which no element belongs to the template is refused: no record,
// and the user is told why.
TEST(ImportXml, AFileWithNoElementOfTheTemplateIsRefused) {
  struct {
    const char* Name;
    const char* Bytes;
  } cases[] = {
      {"ISO 19139", R"(<gmd:MD_Metadata xmlns:gmd="http://www.isotc211.org/2005/gmd" xmlns:gco="http://www.isotc211.org/2005/gco">
  <gmd:fileIdentifier><gco:CharacterString>abc</gco:CharacterString></gmd:fileIdentifier>
  <gmd:identificationInfo><gmd:MD_DataIdentification><gmd:abstract><gco:CharacterString>x</gco:CharacterString></gmd:abstract></gmd:MD_DataIdentification></gmd:identificationInfo>
</gmd:MD_Metadata>)"},
      {"only other elements", "<metadata><Esri><CreaDate>20031010</CreaDate></Esri><idinfo><citation/></idinfo></metadata>"},
      {"an empty record", "<metadata/>"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TMainFixture f;
    ImportThroughMenu(f, f.WriteFile("other.xml", c.Bytes), false);
    EXPECT_EQ(f.Script.Texts(),
              std::vector<String>{u"导入XML文件失败,错误信息:XML文件中没有一个元素属于元数据模板，不是本系统的元数据文件"});
    EXPECT_EQ(f.Count("t_metadata"), "0");
    EXPECT_EQ(f.Count("t_metakind"), "0");
    EXPECT_EQ(frm_meta_edit, nullptr);
  }
}

// Names match as the template spells them: another standard's "distinfo"
// is no second distribution section, and a name in other letters is left
// out (and told).
TEST(ImportXml, NamesMatchAsTheTemplateSpellsThem) {
  TMainFixture f;
  const std::string path = f.WriteFile("case.xml", R"(<metadata>
  <distInfo><distFormat><formatName>GeoTIFF</formatName><formatVer>1.0</formatVer></distFormat></distInfo>
  <distinfo><distrib>FGDC</distrib></distinfo>
  <dataIdInfo><idCitation><RESTITLE>upper</RESTITLE><resTitle>exact</resTitle></idCitation></dataIdInfo>
</metadata>)");
  ImportThroughMenu(f, path, false);
  const std::string key = f.Key();
  EXPECT_EQ(f.Count("t_metadata", "meta_id = '" + key + "' and code = '05'"), "1");
  EXPECT_EQ(Row(f, key, "distInfo", "ename"), "distInfo");
  EXPECT_EQ(f.One("select group_concat(content) from t_metadata where meta_id = '" + key + "' and code = '010101'"),
            "exact");
  const std::string log = LogText();
  for (const char* line : {"未导入的元素：/metadata/distinfo\n", "未导入的元素：/metadata/distinfo/distrib\n",
                           "未导入的元素：/metadata/dataIdInfo/idCitation/RESTITLE\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
}

// Dates in ISO 8601's basic form are read into the stored form; other
// texts of a date element stay as they are.
TEST(ImportXml, BasicIsoDatesAreStoredInTheRecordsForm) {
  struct {
    const char* InFile;
    const char* Stored;
  } cases[] = {
      {"20251203", "2025-12-03"},
      {"20251203T1015", "2025-12-03T10:15:00"},
      {"20251203T101530", "2025-12-03T10:15:30"},
      {"20251203T000000", "2025-12-03"},
      {"2007-03-12T15:04:23", "2007-03-12T15:04:23"},
      {"20251399", "20251399"},
      {"2025120", "2025120"},
      {"yesterday", "yesterday"},
  };
  std::string file = "<metadata><dataIdInfo><idCitation><resTitle>dates</resTitle>";
  for (auto& c : cases) file += std::string("<resRefDate><refDate>") + c.InFile + "</refDate></resRefDate>";
  file += "</idCitation></dataIdInfo><mdFileID>20251203</mdFileID></metadata>";
  TMainFixture f;
  ImportThroughMenu(f, f.WriteFile("dates.xml", file), false);
  const std::string key = f.Key();
  std::vector<std::string> expected;
  for (auto& c : cases) expected.push_back(c.Stored);
  EXPECT_EQ(SelectAll(f.DbPath, "select content from t_metadata where meta_id = '" + key + "' and code = '01010301' order by id"),
            expected);
  // Only date elements: an identifier of eight digits stays.
  EXPECT_EQ(Row(f, key, "mdFileID", "content"), "20251203");
}

// A file within the program's size limit is read whole, even with one text
// larger than the parser's own limit for a text.
TEST(ImportXml, ALongTextWithinTheFileLimitIsRead) {
  TMainFixture f;
  const size_t length = 10000000 + 4096;  // past the parser's ten million bytes
  ASSERT_LT(length + 200, size_t(MaxXMLFileSize));
  const std::string path = f.WriteFile(
      "long.xml", "<metadata><dataIdInfo><idCitation><resTitle>long</resTitle></idCitation><idAbs>" +
                      std::string(length, 'a') + "</idAbs></dataIdInfo></metadata>");
  String error;
  Integer leftOut = -1;
  ASSERT_TRUE(f.Main->ImportRecord(error, U16(path), false, leftOut)) << U8(error).substr(0, 300);
  EXPECT_EQ(leftOut, 0);
  EXPECT_EQ(f.One("select length(content) from t_metadata where meta_id = '" + U8(f.Main->ImportMetaId) +
                  "' and code = '0102'"),
            std::to_string(length));
}

// The file a record came from is the user's: the first output asks where
// to write, proposing it; choosing it asks before replacing it. Once
// written, the record's file is where it went.
TEST(ImportXml, TheFirstOutputAfterAnImportAsksWhereToWrite) {
  TMainFixture f;
  const std::string source = f.WriteFile("survey.xml", kThirdPartyFile);
  ImportThroughMenu(f, source, false);
  ASSERT_NE(frm_meta_edit, nullptr);
  EXPECT_EQ(frm_meta_edit->Caption(), U16(source));

  // The source chosen, and the replacement declined: nothing is written.
  f.Script.Boxes.clear();
  f.Script.SaveNames = {U16(source)};
  f.Script.Answers = {IDNO};
  f.Run([&] { ClickToolButton(f.Main, f.Main->spb_save); });
  EXPECT_EQ(f.Script.SaveAsked, 1);
  EXPECT_EQ(f.Script.SaveProposed, U16(source));
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_EQ(f.Script.Boxes[0].Text, u"XML文件已存在，是否覆盖？");
  EXPECT_EQ(f.Script.Boxes[0].Caption, u"确认");
  EXPECT_EQ(f.Script.Boxes[0].Flags, Cardinal(MB_YESNO));
  EXPECT_EQ(ReadAll(source), kThirdPartyFile);

  // Cancelling the dialog writes nothing either.
  f.Run([&] { f.Main->N3->Click(); });
  EXPECT_EQ(f.Script.SaveAsked, 2);
  EXPECT_EQ(ReadAll(source), kThirdPartyFile);

  // Another name: written there; the next output goes there unasked.
  const std::string other = (f.Folder / "mine.xml").string();
  f.Script.SaveNames = {U16(other)};
  f.Script.Answers = {IDYES, IDYES, IDYES, IDYES};
  f.Run([&] { f.Main->N3->Click(); });
  EXPECT_EQ(f.Script.SaveAsked, 3);
  EXPECT_TRUE(fs::exists(other));
  EXPECT_EQ(frm_meta_edit->Caption(), U16(other));
  f.Run([&] { f.Main->N3->Click(); });
  EXPECT_EQ(f.Script.SaveAsked, 3);
  EXPECT_EQ(ReadAll(source), kThirdPartyFile);
}

// ---- Preview page ------------------------------------------------------------------

const char* const kRecordFile = R"(<?xml version="1.0" encoding="GB2312"?>
<metadata xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="mgsd.xsd">
  <dataIdInfo>
    <idCitation>
      <resTitle>Qinghai permafrost map</resTitle>
    </idCitation>
    <idAbs>abstract</idAbs>
  </dataIdInfo>
  <mdFileID>GEO-1</mdFileID>
</metadata>
)";

// The temporary folder of the test, emptied and put back at the end.
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
  size_t Pages() const {
    size_t n = 0;
    for (auto& entry : fs::directory_iterator(Path)) n += entry.path().filename().string().rfind("qv", 0) == 0;
    return n;
  }
  fs::path Path;
  std::string Old;
};

TEST(PreviewPage, TakesTheNextFreeNumberAndOpensThePageWithEitherStyleSheet) {
  TMainFixture f;
  TTempFolder temp;
  for (const char* taken : {"qv1.htm", "qv2.htm"}) std::ofstream(temp.Path / taken) << "older page";
  const std::string scratch = f.WriteFile("temp.xml", kRecordFile);
  struct {
    const char* Sheet;
    const char* Page;
  } cases[] = {{"chinese.xsl", "qv3.htm"}, {"core.xsl", "qv4.htm"}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.Sheet);
    const String page = f.Main->ShowPreviewPage(U16(scratch), U16((f.Folder / c.Sheet).string()));
    EXPECT_EQ(U8(page), (temp.Path / c.Page).string());
    const std::string html = ReadAll(U8(page));
    EXPECT_NE(html.find("<html"), std::string::npos);
    EXPECT_NE(html.find("Qinghai permafrost map"), std::string::npos);
    ASSERT_FALSE(f.Shell.Opened.empty());
    EXPECT_EQ(f.Shell.Opened.back(), page);
  }
  EXPECT_EQ(ReadAll((temp.Path / "qv1.htm").string()), "older page");
}

TEST(PreviewPage, AFailedTransformationLeavesNoPage) {
  TMainFixture f;
  TTempFolder temp;
  const std::string scratch = f.WriteFile("temp.xml", kRecordFile);
  struct {
    const char* Name;
    std::string Record, Sheet;
  } cases[] = {
      {"not a style sheet", scratch, f.WriteFile("bad.xsl", "<not-a-sheet/>")},
      {"a broken record", f.WriteFile("broken.xml", "<metadata><dataIdInfo>"), (f.Folder / "chinese.xsl").string()},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_THROW(f.Main->ShowPreviewPage(U16(c.Record), U16(c.Sheet)), Exception);
    EXPECT_EQ(temp.Pages(), 0u);
  }
  EXPECT_TRUE(f.Shell.Opened.empty());
}

}  // namespace
