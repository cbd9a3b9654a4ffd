// The two preview style sheets shipped beside the program: record files
// written as the program writes them (GB2312, the code-list form, the
// children of the metadata entity directly in the root element) become
// Chinese pages that read back, row by row, as the record.

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/xml/xmldoc.h"
#include "tests/platform/xml/xmltestutil.h"

namespace {

const String XsiNamespace = u"http://www.w3.org/2001/XMLSchema-instance";
const char* const EntityBranch = "06";  // writes no element of its own
// A title with a character outside GB2312 (written as a reference) and
// characters that are markup in a page.
const String Title = u"朱镕基路 1:5万 <地质图> & 说明";
const String MemoValue = u"第一行\n  第二行";

std::string ReadText(const std::string& FileName) {
  std::ifstream in(FileName, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string SourceFile(const std::string& Name) { return std::string(KORVANE_SOURCE_DIR) + "/" + Name; }

struct TTemplateRow {
  std::string Code, ParentCode, CName, EName, ChbName;
  int Tag = 0;
  bool IsEnd = false, IsCore = false;
};

struct TCode {
  std::string Code, CName;
};

// The shipped template in code order, and the first code of each list by tag.
struct TTemplate {
  std::vector<TTemplateRow> Rows;
  std::map<int, TCode> FirstCode;

  TTemplate() {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> owner(db, sqlite3_close);
    for (const char* name : {"schema.sql", "codelists.sql", "templet.sql"})
      if (sqlite3_exec(db, ReadText(SourceFile(std::string("assets/db/") + name)).c_str(), nullptr, nullptr,
                       nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("cannot load ") + name + ": " + sqlite3_errmsg(db));
    Query(db,
          "SELECT code, parent_code, cname, ename, ifnull(chb_name, ''), tag, isEnd, is_core FROM templet "
          "ORDER BY code",
          [&](sqlite3_stmt* s) {
            Rows.push_back({Text(s, 0), Text(s, 1), Text(s, 2), Text(s, 3), Text(s, 4), sqlite3_column_int(s, 5),
                            sqlite3_column_int(s, 6) != 0, sqlite3_column_int(s, 7) != 0});
          });
    std::string lists = ReadText(SourceFile("assets/db/codelists.sql"));
    std::regex heading(R"(-- Tag (\d+): (\w+))");
    for (std::sregex_iterator at(lists.begin(), lists.end(), heading), end; at != end; ++at) {
      int tag = std::stoi((*at)[1]);
      Query(db, "SELECT code, cname FROM " + (*at)[2].str() + " ORDER BY code LIMIT 1",
            [&](sqlite3_stmt* s) { FirstCode[tag] = {Text(s, 0), Text(s, 1)}; });
    }
  }

  static std::string Text(sqlite3_stmt* s, int column) {
    const unsigned char* text = sqlite3_column_text(s, column);
    return text ? reinterpret_cast<const char*>(text) : "";
  }
  static void Query(sqlite3* db, const std::string& Sql, const std::function<void(sqlite3_stmt*)>& Row) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, Sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
      throw std::runtime_error("bad query: " + Sql);
    while (sqlite3_step(s) == SQLITE_ROW) Row(s);
    sqlite3_finalize(s);
  }
};

const TTemplate& ShippedTemplate() {
  static const TTemplate shipped;
  return shipped;
}

// One row of a page's tables: the element's name, its value ("code|name" for
// a code-list element), whether it is a branch's heading row.
struct TPageRow {
  std::string Name, Value;
  bool Branch = false;
  bool operator==(const TPageRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TPageRow& Row) {
  return out << (Row.Branch ? "[" : "") << Row.Name << (Row.Branch ? "]" : "") << " = " << Row.Value;
}

// A record file with every element of the template (or of its core subset)
// present once, and the page the sheet should make of it.
struct TRecord {
  TXMLDocument Document{nullptr};
  std::vector<std::string> Headings;
  std::vector<TPageRow> Rows;
  const TTemplate& Template = ShippedTemplate();
  bool Core;

  explicit TRecord(bool ACore) : Core(ACore) {
    Document.SetActive(true);
    Document.SetVersion(u"1.0");
    Document.SetEncoding(u"GB2312");
    TXMLNode* root = Document.AddChild(u"metadata");
    root->SetAttributeNS(u"xsi:noNamespaceSchemaLocation", XsiNamespace, String(u"mgsd.xsd"));
    for (const char* section : {"01", "02", "03", "04", "05", EntityBranch}) {
      const TTemplateRow* row = Find(section);
      if (!row || !Included(*row)) continue;
      Headings.push_back(row->CName);
      if (row->Code == std::string(EntityBranch)) WriteChildren(root, *row);
      else WriteChildren(root->AddChild(UTF8ToString(row->EName)), *row);
    }
  }

  bool Included(const TTemplateRow& Row) const { return Row.IsCore || !Core; }
  const TTemplateRow* Find(const std::string& Code) const {
    for (const TTemplateRow& row : Template.Rows)
      if (row.Code == Code) return &row;
    return nullptr;
  }

  static String ValueOf(const TTemplateRow& Row) {
    if (Row.Code == "010101") return Title;
    if (Row.Tag == 9) return MemoValue;
    return UTF8ToString("值" + Row.Code);
  }

  void WriteChildren(TXMLNode* Parent, const TTemplateRow& Of) {
    for (const TTemplateRow& row : Template.Rows) {
      if (row.ParentCode != Of.Code || !Included(row)) continue;
      TXMLNode* node = Parent->AddChild(UTF8ToString(row.EName));
      if (!row.IsEnd) {
        Rows.push_back({row.CName, "", true});
        WriteChildren(node, row);
      } else if (row.Tag >= 10 && row.Tag <= 30) {
        const TCode& code = Template.FirstCode.at(row.Tag);
        node->AddChild(UTF8ToString(row.ChbName))->SetAttributes(u"value", UTF8ToString(code.Code));
        Rows.push_back({row.CName, code.Code + "|" + code.CName, false});
      } else {
        node->SetText(ValueOf(row));
        Rows.push_back({row.CName, StringToUTF8(ValueOf(row)), false});
      }
    }
  }
};

struct THtmlDocFree {
  void operator()(xmlDoc* Doc) const { xmlFreeDoc(Doc); }
};

// A page parsed by the HTML parser, with XPath over it.
class TPage {
public:
  explicit TPage(const String& Text) : Bytes(StringToUTF8(Text)) {
    htmlParserCtxtPtr context = htmlNewParserCtxt();
    Doc.reset(htmlCtxtReadMemory(context, Bytes.data(), int(Bytes.size()), "page.htm", "UTF-8",
                                 HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING));
    WellFormed = context->wellFormed != 0;
    htmlFreeParserCtxt(context);
  }

  std::string Eval(const std::string& Expression, xmlNode* Context = nullptr) const {
    xmlXPathContextPtr xpath = xmlXPathNewContext(Doc.get());
    xpath->node = Context ? Context : reinterpret_cast<xmlNode*>(Doc.get());
    xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(Expression.c_str()), xpath);
    std::string text;
    if (result) {
      xmlChar* value = xmlXPathCastToString(result);
      text = reinterpret_cast<const char*>(value);
      xmlFree(value);
      xmlXPathFreeObject(result);
    }
    xmlXPathFreeContext(xpath);
    return text;
  }

  std::vector<xmlNode*> Nodes(const std::string& Expression) const {
    xmlXPathContextPtr xpath = xmlXPathNewContext(Doc.get());
    xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(Expression.c_str()), xpath);
    std::vector<xmlNode*> nodes;
    if (result && result->nodesetval)
      for (int i = 0; i < result->nodesetval->nodeNr; ++i) nodes.push_back(result->nodesetval->nodeTab[i]);
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(xpath);
    return nodes;
  }

  std::vector<std::string> Headings() const {
    std::vector<std::string> texts;
    for (xmlNode* h : Nodes("//h2")) texts.push_back(Eval("normalize-space(.)", h));
    return texts;
  }

  std::vector<TPageRow> Rows() const {
    std::vector<TPageRow> rows;
    for (xmlNode* tr : Nodes("//tbody/tr")) {
      TPageRow row{Eval("normalize-space(td[1])", tr), "", Eval("@class", tr) == "branch"};
      std::string cell = Eval("string(td[2])", tr);
      if (row.Branch) {
        row.Value = cell;
      } else if (Eval("count(td[2]/span[@class='code'])", tr) == "1") {
        std::string code = Eval("td[2]/span[@class='code']", tr), name = Eval("td[2]/span[@class='code-name']", tr);
        // The cell keeps its white space as it stands: nothing but the code and its name.
        row.Value = code + "|" + name + (cell == code + name ? "" : " with other text: [" + cell + "]");
      } else {
        row.Value = cell;
      }
      rows.push_back(row);
    }
    return rows;
  }

  std::string Bytes;
  std::unique_ptr<xmlDoc, THtmlDocFree> Doc;
  bool WellFormed = false;
};

// Transforms the record file with a shipped sheet, both loaded from files as
// the preview loads them.
String Preview(const TTempFolder& Folder, const std::string& Sheet) {
  TXMLDocument record(nullptr), sheet(nullptr);
  record.LoadFromFile(Folder("temp.xml"));
  sheet.LoadFromFile(UTF8ToString(SourceFile("assets/xsl/" + Sheet)));
  return record.Node()->TransformNode(sheet.Node());
}

struct TSheetCase {
  const char* Sheet;
  bool Core;
};

class PreviewSheets : public testing::TestWithParam<TSheetCase> {};

TEST_P(PreviewSheets, PageShowsEveryElementOfTheRecordWithItsChineseName) {
  TTempFolder folder;
  TRecord record(GetParam().Core);
  record.Document.SaveToFile(folder("temp.xml"));
  ASSERT_NE(ReadBytes(folder("temp.xml")).find("&#38229;"), std::string::npos) << "the file holds a reference";

  TPage page(Preview(folder, GetParam().Sheet));
  ASSERT_TRUE(page.Doc);
  EXPECT_TRUE(page.WellFormed) << page.Bytes;
  EXPECT_EQ(page.Eval("string(//h1)"), StringToUTF8(Title));
  EXPECT_EQ(page.Eval("string(/html/head/title)"), StringToUTF8(Title));
  EXPECT_EQ(page.Eval("count(//meta[contains(@content, 'charset=UTF-8')])"), "1");
  EXPECT_EQ(page.Headings(), record.Headings);
  EXPECT_EQ(page.Rows(), record.Rows) << "every element, in the record's order, with its Chinese name and value";
  EXPECT_GT(record.Rows.size(), GetParam().Core ? 60u : 350u) << "the record is the whole template";
}

INSTANTIATE_TEST_SUITE_P(Shipped, PreviewSheets,
                         testing::Values(TSheetCase{"chinese.xsl", false}, TSheetCase{"core.xsl", true}),
                         [](const auto& Info) { return Info.param.Core ? "Core" : "Full"; });

// Records that are not as the program writes them still give a page that
// shows what is there.
TEST(PreviewSheets, UnusualRecordsShowWhatTheyHold) {
  struct TCase {
    const char* Sheet;
    const char* Body;  // inside the root element metadata unless it starts with '!'
    const char* Path;  // XPath over the page
    const char* Expected;
  } cases[] = {
      // A code the list does not know: the code alone.
      {"chinese.xsl",
       "<dataIdInfo><idCitation><resRefDate><refDateType><DateTypCd value=\"999\"/></refDateType>"
       "</resRefDate></idCitation></dataIdInfo>",
       "concat(//tr[td[1]='日期类型']/td[2], '/', count(//span[@class='code-name']))", "999/0"},
      // Codes of different lists with the same value keep their own names.
      {"chinese.xsl",
       "<dataIdInfo><idCitation><resRefDate><refDateType><DateTypCd value=\"002\"/></refDateType>"
       "</resRefDate></idCitation><idStatus><ProgCd value=\"002\"/></idStatus></dataIdInfo>",
       "concat(//tr[td[1]='日期类型']//span[@class='code-name'], '/', //tr[td[1]='现状']//span[@class='code-name'])",
       "出版/历史存档"},
      // An element the template does not know keeps its English name and value.
      {"chinese.xsl", "<dataIdInfo><fieldNote>野外记录</fieldNote></dataIdInfo>",
       "concat(//tr/td[1], '=', //tr/td[2])", "fieldNote=野外记录"},
      // The core sheet names only core elements; the full one names them all.
      {"core.xsl", "<dataIdInfo><idCitation><resAltTitle>别称</resAltTitle></idCitation></dataIdInfo>",
       "string(//tr[td[2]='别称']/td[1])", "resAltTitle"},
      {"chinese.xsl", "<dataIdInfo><idCitation><resAltTitle>别称</resAltTitle></idCitation></dataIdInfo>",
       "string(//tr[td[2]='别称']/td[1])", "别名"},
      // The same English name at two places keeps each place's Chinese name.
      {"chinese.xsl",
       "<dataIdInfo><dataExt><vertEle><vertDatum><VertDatumCd value=\"001\"/></vertDatum></vertEle></dataExt>"
       "</dataIdInfo><refSysInfo><vertRefSys><vertDatum><VertDatumCd value=\"001\"/></vertDatum></vertRefSys>"
       "</refSysInfo>",
       "concat((//tr[td[2]/span])[1]/td[1], '/', (//tr[td[2]/span])[2]/td[1])", "垂向基准/高程基准"},
      // The children of the metadata entity stand in the root element.
      {"chinese.xsl", "<mdFileID>ID-1</mdFileID><dataIdInfo/>", "concat(//h2[2], '/', //h2[2]/following::td[1])",
       "元数据实体集信息/元数据文件标识符"},
      // No title: the page says so instead of an empty heading.
      {"chinese.xsl", "<dataIdInfo><idCitation><resTitle>  </resTitle></idCitation></dataIdInfo>",
       "concat(//h1, '/', /html/head/title)", "（未命名）/（未命名）"},
      // An empty section is headed and says it is empty.
      {"chinese.xsl", "<dqInfo/>", "concat(//h2, '/', normalize-space(//tbody))", "数据质量信息/（无内容）"},
      // A file that is no record says what it is.
      {"core.xsl", "!<catalog><item/></catalog>", "normalize-space(//p)",
       "该文件不是元数据记录文件：根元素应为 metadata，实为 catalog。"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Sheet) + ": " + c.Body);
    TTempFolder folder;
    std::string body = c.Body[0] == '!' ? std::string(c.Body + 1) : "<metadata>" + std::string(c.Body) + "</metadata>";
    WriteBytes(folder("temp.xml"),
               "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n" + StringToGB2312(UTF8ToString(body)));
    TPage page(Preview(folder, c.Sheet));
    EXPECT_TRUE(page.WellFormed) << page.Bytes;
    EXPECT_EQ(page.Eval(c.Path), c.Expected) << page.Bytes;
  }
}

}  // namespace
