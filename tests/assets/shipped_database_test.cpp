// Checks over the database the program ships: the schema, the element
// template and the code lists, loaded from their SQL text into memory.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kSqlFiles = {"schema.sql", "codelists.sql", "templet.sql"};

// The code lists by editor tag, with the name of the inner XML element that
// carries a code of that list.
const std::map<int, std::pair<std::string, std::string>> kCodeLists = {
    {10, {"MD_language", "languageCode"}},
    {11, {"MD_characterSet", "CharSetCd"}},
    {12, {"CI_DateTypeCode", "DateTypCd"}},
    {13, {"CI_RoleCode", "RoleCd"}},
    {14, {"CI_PresentationFormCode", "PresFormCd"}},
    {15, {"MD_ProGressCode", "ProgCd"}},
    {16, {"MD_SpatialRepresentationTypeCode", "SpatRepTypCd"}},
    {17, {"MD_TopicCategoryCode", "TopicCatCd"}},
    {18, {"CH_DataCategoryCode", "DataCatCd"}},
    {19, {"CH_VerticalDatumCode", "VertDatumCd"}},
    {20, {"CH_StandardTimeCode", "StdTimeCd"}},
    {21, {"MD_MaintenanceFrequencyCode", "MaintFreqCd"}},
    {22, {"MD_KeywordTypeCode", "KeyTypCd"}},
    {23, {"MD_RestrictionCode", "RestrictCd"}},
    {24, {"CH_PlatformTypeCode", "PlatTypCd"}},
    {25, {"MD_AssociationTypeCode", "AscTypeCd"}},
    {26, {"MD_ScopeCode", "ScopeCd"}},
    {27, {"CH_CoordinateSystemCode", "CoordSysCd"}},
    {28, {"CH_EllipsoidCode", "EllipsoidCd"}},
    {29, {"CI_OnLineFunctionCode", "OnFunctCd"}},
    {30, {"MD_MediumNameCode", "MedNameCd"}},
};

const char* const kSections[] = {"dataIdInfo", "dqInfo", "refSysInfo", "contInfo", "distInfo"};

using Text = std::optional<std::string>;
using Rows = std::vector<std::vector<Text>>;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Rows Query(sqlite3* db, const std::string& sql) {
  Rows rows;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
    return rows;
  }
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::vector<Text> row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* value = sqlite3_column_text(stmt, i);
      row.push_back(value ? Text(reinterpret_cast<const char*>(value)) : std::nullopt);
    }
    rows.push_back(std::move(row));
  }
  sqlite3_finalize(stmt);
  return rows;
}

std::string Scalar(sqlite3* db, const std::string& sql) {
  Rows rows = Query(db, sql);
  return rows.empty() || rows[0].empty() || !rows[0][0] ? "" : *rows[0][0];
}

bool Exec(sqlite3* db, const std::string& sql) {
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsXmlName(const std::string& s) {
  if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
  for (char c : s) {
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.')) return false;
  }
  return Lower(s.substr(0, 3)) != "xml";
}

struct Element {
  int id = 0;
  std::string code;
  int parent_id = 0;
  Text parent_code;
  std::string cname, ename;
  int max_times = 0, isEnd = 0, tag = 0, is_core = 0;
  std::string choice;
  Text chb_name, choice_desc, descr;
};

class ShippedDatabase : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    sqlite3_open(":memory:", &db_);
    for (const std::string& name : kSqlFiles) {
      std::string path = std::string(KORVANE_SOURCE_DIR) + "/assets/db/" + name;
      char* error = nullptr;
      if (sqlite3_exec(db_, ReadFile(path).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        load_error_ += path + ": " + (error ? error : "?") + "\n";
      }
      sqlite3_free(error);
    }
    try {
      LoadElements();
    } catch (const std::exception& e) {
      load_error_ += std::string("templet: a number column holds something else: ") + e.what();
    }
  }
  static void LoadElements() {
    for (const auto& r : Query(db_,
             "select id, code, parent_id, parent_code, cname, ename, max_times, isEnd, tag, is_core,"
             " choice, chb_name, choice_desc, descr from templet order by code")) {
      Element e;
      e.id = std::stoi(r[0].value_or("0"));
      e.code = r[1].value_or("");
      e.parent_id = std::stoi(r[2].value_or("-1"));
      e.parent_code = r[3];
      e.cname = r[4].value_or("");
      e.ename = r[5].value_or("");
      e.max_times = std::stoi(r[6].value_or("0"));
      e.isEnd = std::stoi(r[7].value_or("-1"));
      e.tag = std::stoi(r[8].value_or("0"));
      e.is_core = std::stoi(r[9].value_or("-1"));
      e.choice = r[10].value_or("");
      e.chb_name = r[11];
      e.choice_desc = r[12];
      e.descr = r[13];
      by_code_[e.code] = elements_.size();
      elements_.push_back(e);
    }
  }
  static void TearDownTestSuite() {
    sqlite3_close(db_);
    db_ = nullptr;
    elements_.clear();
    by_code_.clear();
  }
  void SetUp() override { ASSERT_EQ(load_error_, ""); }

  static const Element* Find(const std::string& code) {
    auto it = by_code_.find(code);
    return it == by_code_.end() ? nullptr : &elements_[it->second];
  }
  static std::vector<const Element*> ChildrenOf(const Element& parent) {
    std::vector<const Element*> children;
    for (const Element& e : elements_) {
      if (e.parent_code && *e.parent_code == parent.code && !parent.code.empty()) children.push_back(&e);
    }
    return children;
  }

  static sqlite3* db_;
  static std::string load_error_;
  static std::vector<Element> elements_;
  static std::map<std::string, size_t> by_code_;
};

sqlite3* ShippedDatabase::db_ = nullptr;
std::string ShippedDatabase::load_error_;
std::vector<Element> ShippedDatabase::elements_;
std::map<std::string, size_t> ShippedDatabase::by_code_;

// --- Schema -----------------------------------------------------------------

TEST_F(ShippedDatabase, TablesHaveTheColumnsTheProgramUses) {
  std::map<std::string, std::set<std::string>> expected = {
      {"t_metadata", {"meta_id", "id", "code", "cname", "ename", "content", "parent_id", "parent_code",
                      "max_times", "isEnd", "tag", "choice_state", "record_type", "table_name"}},
      {"templet", {"id", "code", "cname", "ename", "parent_id", "parent_code", "max_times", "isEnd",
                   "record_type", "table_name", "tag", "is_core", "choice", "choice_desc", "descr", "chb_name"}},
      {"t_metakind", {"meta_id", "meta_name", "kind_name"}},
      {"t_combobox", {"code", "tableName", "isactive"}},
  };
  for (const auto& [tag, list] : kCodeLists) expected[list.first] = {"code", "ename", "cname"};
  EXPECT_EQ(Scalar(db_, "select count(*) from sqlite_master where type = 'table'"), std::to_string(expected.size()));
  for (const auto& [table, columns] : expected) {
    std::set<std::string> actual;
    for (const auto& r : Query(db_, "select name from pragma_table_info('" + table + "')")) actual.insert(*r[0]);
    EXPECT_EQ(actual, columns) << table;
  }
}

TEST_F(ShippedDatabase, TextColumnsCompareWithoutCaseAndIntegersAreIntegers) {
  for (const auto& t : Query(db_, "select name from sqlite_master where type = 'table'")) {
    const std::string table = *t[0];
    for (const auto& c : Query(db_, "select name, type from pragma_table_info('" + table + "')")) {
      const std::string type = *c[1];
      const char* declared = nullptr;
      const char* collation = nullptr;
      ASSERT_EQ(sqlite3_table_column_metadata(db_, nullptr, table.c_str(), c[0]->c_str(), &declared, &collation,
                                              nullptr, nullptr, nullptr),
                SQLITE_OK);
      if (type.find("CHAR") != std::string::npos || type == "TEXT") {
        EXPECT_STRCASEEQ(collation, "NOCASE") << table << "." << *c[0];
      } else {
        EXPECT_TRUE(type == "INTEGER" || type == "SMALLINT") << table << "." << *c[0] << " " << type;
      }
    }
  }
  EXPECT_EQ(Scalar(db_, "select count(*) from templet where ename = 'DATAIDINFO' and choice = 'm'"), "1");
}

// The datasets see a VARCHAR(n) column as a text field of n characters.
TEST_F(ShippedDatabase, ValuesFitTheSizesTheirColumnsDeclare) {
  int checked = 0;
  for (const auto& t : Query(db_, "select name from sqlite_master where type = 'table'")) {
    for (const auto& c : Query(db_, "select name, type from pragma_table_info('" + *t[0] + "')")) {
      const std::string& type = *c[1];
      if (type.rfind("VARCHAR(", 0) != 0) continue;
      const int size = std::stoi(type.substr(8));
      const std::string longest = Scalar(db_, "select coalesce(max(length(" + *c[0] + ")), 0) from " + *t[0]);
      EXPECT_LE(std::stoi(longest), size) << *t[0] << "." << *c[0];
      ++checked;
    }
  }
  EXPECT_GT(checked, 60);
}

TEST_F(ShippedDatabase, KeysRefuseDuplicatesButLetAnImportReuseIds) {
  ASSERT_TRUE(Exec(db_, "savepoint keys"));
  struct Case {
    const char* sql;
    bool accepted;
  } cases[] = {
      {"insert into t_metadata (meta_id, id) values ('20250101000000', 1)", true},
      {"insert into t_metadata (meta_id, id) values ('20250101000001', 1)", true},  // another record
      {"insert into t_metadata (meta_id, id) values ('20250101000000', 1)", false},
      {"insert into t_metakind (meta_id, kind_name) values ('20250101000000', '元数据')", true},
      {"insert into t_metakind (meta_id, kind_name) values ('20250101000000', '核心元数据')", false},
      {"insert into templet (id, code) values (100000, '010101')", false},
      {"insert into MD_ScopeCode (code, ename, cname) values ('005', 'x', 'x')", false},
  };
  for (const Case& c : cases) EXPECT_EQ(Exec(db_, c.sql), c.accepted) << c.sql;
  ASSERT_TRUE(Exec(db_, "rollback to keys"));
  ASSERT_TRUE(Exec(db_, "release keys"));
}

// --- The element template -----------------------------------------------------

TEST_F(ShippedDatabase, CodesFormATreeOfTwoDigitLevels) {
  ASSERT_GT(elements_.size(), 300u);
  EXPECT_EQ(Scalar(db_, "select count(*) from templet"), std::to_string(elements_.size()));  // codes unique
  std::set<int> ids;
  std::map<int, std::string> code_of_id;
  for (const Element& e : elements_) {
    code_of_id[e.id] = e.code;
    EXPECT_TRUE(e.id > 0 && ids.insert(e.id).second) << "id " << e.id;
  }
  for (const Element& e : elements_) {
    SCOPED_TRACE(e.code);
    // At most twelve levels: the import match follows eleven levels below the top.
    EXPECT_TRUE(e.code.size() >= 2 && e.code.size() <= 24 && e.code.size() % 2 == 0);
    EXPECT_EQ(e.code.find_first_not_of("0123456789"), std::string::npos);
    const std::string parent = e.code.substr(0, e.code.size() - 2);
    ASSERT_TRUE(e.parent_code.has_value());
    EXPECT_EQ(*e.parent_code, parent);
    if (parent.empty()) {
      EXPECT_EQ(e.parent_id, 0);
    } else {
      EXPECT_NE(Find(parent), nullptr);
      EXPECT_EQ(code_of_id[e.parent_id], parent);
    }
  }
}

TEST_F(ShippedDatabase, TopLevelIsTheFiveSectionsAndTheMetadataBranch) {
  std::vector<std::pair<std::string, std::string>> top;
  for (const Element& e : elements_) {
    if (e.parent_id == 0) top.emplace_back(e.code, e.ename);
  }
  std::vector<std::pair<std::string, std::string>> expected = {
      {"01", "dataIdInfo"}, {"02", "dqInfo"}, {"03", "refSysInfo"}, {"04", "contInfo"}, {"05", "distInfo"},
      {"06", "metadata"}};
  EXPECT_EQ(top, expected);

  const Element* title = Find("010101");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->ename, "resTitle");
  EXPECT_EQ(Find("0101")->ename, "idCitation");
  EXPECT_EQ(title->isEnd, 1);
  EXPECT_EQ(title->tag, 2);
  EXPECT_EQ(title->choice, "M");
  EXPECT_EQ(title->is_core, 1);
  EXPECT_EQ(title->max_times, 1);
}

TEST_F(ShippedDatabase, EnglishNamesAreXmlNamesUniqueAmongSiblings) {
  std::set<std::string> sections(std::begin(kSections), std::end(kSections));
  sections.insert("metadata");
  std::set<std::pair<std::string, std::string>> seen;
  for (const Element& e : elements_) {
    SCOPED_TRACE(e.code);
    EXPECT_TRUE(IsXmlName(e.ename)) << e.ename;
    // The import matches by English name under the parent's code; letter case is not compared.
    EXPECT_TRUE(seen.insert({*e.parent_code, Lower(e.ename)}).second) << e.ename;
    // The children of "06" are written into the root element; a section name there
    // would be taken for a section when the file is read back.
    if (e.parent_code == "06") { EXPECT_EQ(sections.count(e.ename), 0u) << e.ename; }
    EXPECT_FALSE(e.cname.empty());
    EXPECT_TRUE(e.descr && !e.descr->empty());
    EXPECT_TRUE(e.choice_desc && !e.choice_desc->empty());
  }
}

TEST_F(ShippedDatabase, LeavesAndBranchesHaveTheirEditors) {
  for (const Element& e : elements_) {
    SCOPED_TRACE(e.code);
    const bool branch = !ChildrenOf(e).empty();
    EXPECT_EQ(e.isEnd, branch ? 0 : 1);
    if (branch) { EXPECT_EQ(e.tag, 1) << "a branch's content is never written, so it is read-only"; }
    EXPECT_TRUE(e.tag >= 1 && e.tag <= 30) << e.tag;
    EXPECT_GE(e.max_times, 1);
  }
}

// The whole-number and decimal editors take no minus sign and at most four
// decimals; values that may be negative must be typed as text.
TEST_F(ShippedDatabase, SignedValuesAreNotOnTheUnsignedNumberEditors) {
  const char* signed_values[] = {"westBL",    "eastBL",     "southBL",   "northBL",    "vertMinVal", "vertMaxVal",
                                 "stanParal", "longCntMer", "latProjOri", "falEastng", "falNorthng", "illElevAng"};
  for (const char* ename : signed_values) {
    int found = 0;
    for (const Element& e : elements_) {
      if (e.ename != ename) continue;
      ++found;
      EXPECT_NE(e.tag, 4) << e.code << " " << ename;
      EXPECT_NE(e.tag, 6) << e.code << " " << ename;
    }
    EXPECT_GT(found, 0) << ename;
  }
}

TEST_F(ShippedDatabase, CodeListElementsNameTheirListAndEveryListIsUsed) {
  std::set<int> used;
  for (const Element& e : elements_) {
    SCOPED_TRACE(e.code);
    const bool code_list = e.tag >= 10 && e.tag <= 30;
    EXPECT_EQ(e.chb_name.has_value() && !e.chb_name->empty(), code_list);
    if (!code_list) continue;
    used.insert(e.tag);
    EXPECT_EQ(e.chb_name.value_or(""), kCodeLists.at(e.tag).second) << "tag " << e.tag;
    EXPECT_TRUE(IsXmlName(e.chb_name.value_or("")));
  }
  for (const auto& [tag, list] : kCodeLists) EXPECT_EQ(used.count(tag), 1u) << list.first << " is used by no element";
}

TEST_F(ShippedDatabase, ChoicesAreMandatoryOptionalOrGroupsOfSiblings) {
  std::map<std::string, std::vector<const Element*>> groups;
  for (const Element& e : elements_) {
    SCOPED_TRACE(e.code);
    if (e.choice == "M" || e.choice == "O") continue;
    EXPECT_GE(e.choice.size(), 2u) << "'" << e.choice << "'";
    EXPECT_EQ(Find(e.choice), nullptr) << "a group id must not read as a code";
    groups[e.choice].push_back(&e);
  }
  EXPECT_FALSE(groups.empty());
  for (const auto& [group, members] : groups) {
    SCOPED_TRACE(group);
    EXPECT_GE(members.size(), 2u);
    for (const Element* m : members) EXPECT_EQ(m->parent_code, members[0]->parent_code) << m->code;
  }
}

TEST_F(ShippedDatabase, CoreSubsetIsClosedUnderParentsAndMandatoryChildren) {
  for (const Element& e : elements_) {
    SCOPED_TRACE(e.code);
    EXPECT_TRUE(e.is_core == 0 || e.is_core == 1);
    if (e.is_core != 1) continue;
    if (e.parent_id != 0) { EXPECT_EQ(Find(*e.parent_code)->is_core, 1) << "parent of a core element"; }
    std::map<std::string, bool> group_has_core;
    for (const Element* child : ChildrenOf(e)) {
      if (child->choice == "M") { EXPECT_EQ(child->is_core, 1) << "mandatory child " << child->code; }
      if (child->choice.size() >= 2) group_has_core[child->choice] |= child->is_core == 1;
    }
    for (const auto& [group, has_core] : group_has_core) EXPECT_TRUE(has_core) << "group " << group;
  }
  EXPECT_EQ(Find("01")->is_core, 1);
  EXPECT_EQ(Find("06")->is_core, 1);
}

// Elements whose obligation or repetition the template once had wrong: the
// element named by its path of English names, its choice and max_times.
TEST_F(ShippedDatabase, ObligationsAndRepetitionsFollowTheStandardWhereTheyWereWrong) {
  std::map<std::string, const Element*> by_path;
  for (const Element& e : elements_) {
    std::string path = e.ename;
    for (const Element* p = e.parent_code ? Find(*e.parent_code) : nullptr; p;
         p = p->parent_code ? Find(*p->parent_code) : nullptr)
      path = p->ename + "/" + path;
    by_path[path] = &e;
  }
  const std::string result = "dqInfo/dqReport/measResult/";
  const struct {
    std::string path, choice;
    int max_times;
  } cases[] = {
      {"dataIdInfo/dataExt/vertEle/vertDatum", "M", 1},
      // A result is one of two kinds, each with its own mandatory elements.
      {result + "QuanResult", "G020207", 1},
      {result + "QuanResult/quanVal", "M", 99},
      {result + "QuanResult/quanValUnit", "M", 1},
      {result + "ConResult", "G020207", 1},
      {result + "ConResult/conSpec", "M", 1},
      {result + "ConResult/conSpec/resTitle", "M", 1},
      {result + "ConResult/conSpec/resRefDate/refDateType", "M", 1},
      {result + "ConResult/conExpl", "M", 1},
      {result + "ConResult/conPass", "M", 1},
      // An image description is a coverage description.
      {"contInfo/ImgDesc/attDesc", "M", 1},
      {"contInfo/ImgDesc/contentTyp", "M", 1},
      {"metadata/porCatInfo/portCatCit", "M", 99},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    auto it = by_path.find(c.path);
    ASSERT_NE(it, by_path.end());
    EXPECT_EQ(it->second->choice, c.choice);
    EXPECT_EQ(it->second->max_times, c.max_times);
  }
  // The leaves of the results moved below their kind with their ids.
  for (const auto& [id, path] : std::map<int, std::string>{{165, result + "QuanResult/quanVal"},
                                                           {166, result + "QuanResult/quanValUnit"},
                                                           {167, result + "ConResult/conExpl"},
                                                           {168, result + "ConResult/conPass"}})
    EXPECT_EQ(by_path[path]->id, id) << path;
  for (const std::string& old : {result + "quanVal", result + "quanValUnit", result + "conExpl", result + "conPass"})
    EXPECT_EQ(by_path.count(old), 0u) << old;
}

// --- Code lists ------------------------------------------------------------------

TEST_F(ShippedDatabase, CodeListsHoldUniqueTextCodesWithBothNames) {
  for (const auto& [tag, list] : kCodeLists) {
    const std::string& table = list.first;
    SCOPED_TRACE(table);
    Rows rows = Query(db_, "select code, ename, cname, typeof(code) from " + table);
    EXPECT_FALSE(rows.empty());
    std::set<std::string> codes;
    for (const auto& r : rows) {
      ASSERT_TRUE(r[0] && r[1] && r[2]);
      EXPECT_FALSE(r[0]->empty());
      EXPECT_EQ(*r[3], "text") << *r[0] << ": codes keep their leading zeros";
      EXPECT_TRUE(codes.insert(Lower(*r[0])).second) << *r[0];
      EXPECT_FALSE(r[1]->empty());
      EXPECT_FALSE(r[2]->empty());
    }
  }
}

}  // namespace
