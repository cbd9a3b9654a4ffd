// Helpers of the store tests: temporary folders and database files made from
// the shipped SQL text (or from its schema with a fixture template), and
// plain reads through a second connection.
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace store_test {

std::string MakeTempFolder(const std::string& Name) {
  std::string pattern = (fs::temp_directory_path() / ("korvane-" + Name + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

std::string ReadText(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + Path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void ExecSql(const std::string& DatabasePath, const std::string& Sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open(DatabasePath.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot open " + DatabasePath);
  char* error = nullptr;
  int rc = sqlite3_exec(db, Sql.c_str(), nullptr, nullptr, &error);
  std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  if (rc != SQLITE_OK) throw std::runtime_error("SQL failed: " + message + "\n" + Sql);
}

// The rows of a select, every value as text ("<null>" for Null).
std::vector<std::vector<std::string>> Select(const std::string& DatabasePath, const std::string& Sql) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(DatabasePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    throw std::runtime_error("cannot open " + DatabasePath);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, Sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error("select failed: " + message + "\n" + Sql);
  }
  std::vector<std::vector<std::string>> rows;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::vector<std::string> row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row.push_back(text ? reinterpret_cast<const char*>(text) : "<null>");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

std::string SelectOne(const std::string& DatabasePath, const std::string& Sql) {
  auto rows = Select(DatabasePath, Sql);
  return rows.empty() || rows[0].empty() ? std::string("<none>") : rows[0][0];
}

std::string AssetPath(const std::string& Name) { return std::string(KORVANE_SOURCE_DIR) + "/assets/db/" + Name; }

// The shipped database: schema, code lists and template.
void MakeShippedDatabase(const std::string& Path) {
  ExecSql(Path, ReadText(AssetPath("schema.sql")) + ReadText(AssetPath("codelists.sql")) +
                    ReadText(AssetPath("templet.sql")));
}

// The shipped schema and code lists with a small template of three levels:
// every editor kind, mandatory and optional elements, a choice group, a
// repeatable element, a code-list element and the branch "06".
void MakeFixtureDatabase(const std::string& Path) {
  ExecSql(Path, ReadText(AssetPath("schema.sql")) + ReadText(AssetPath("codelists.sql")) + R"(
INSERT INTO templet (id, code, parent_id, parent_code, cname, ename, max_times, isEnd, tag, choice, is_core, chb_name, choice_desc, descr) VALUES
  (1, '01', 0, '', '标识信息', 'dataIdInfo', 99, 0, 1, 'M', 1, NULL, '必选', 'identification'),
  (2, '0101', 1, '01', '引用', 'idCitation', 1, 0, 1, 'M', 1, NULL, '必选', 'citation'),
  (3, '010101', 2, '0101', '名称', 'resTitle', 1, 1, 2, 'M', 1, NULL, '必选', 'title'),
  (4, '010102', 2, '0101', '别名', 'resAltTitle', 99, 1, 2, 'O', 0, NULL, '可选', 'alternate title'),
  (5, '010103', 2, '0101', '日期', 'refDate', 1, 1, 8, 'M', 1, NULL, '必选', 'date'),
  (6, '0102', 1, '01', '语种', 'dataLang', 99, 1, 10, 'M', 1, 'languageCode', '必选', 'language'),
  (7, '0103', 1, '01', '负责人', 'rpIndName', 1, 1, 2, 'G01', 0, NULL, '条件必选', 'person'),
  (8, '0104', 1, '01', '单位', 'rpOrgName', 1, 1, 2, 'G01', 0, NULL, '条件必选', 'organisation'),
  (9, '0105', 1, '01', '摘要', 'idAbs', 1, 1, 9, 'O', 0, NULL, '可选', 'abstract'),
  (10, '06', 0, '', '元数据', 'metadata', 1, 0, 1, 'M', 1, NULL, '必选', 'metadata'),
  (11, '0601', 10, '06', '大小', 'mdSize', 1, 1, 4, 'O', 0, NULL, '可选', 'size'),
  (12, '0602', 10, '06', '比例', 'mdScale', 1, 1, 6, 'O', 0, NULL, '可选', 'scale'),
  (13, '0603', 10, '06', '备注', 'mdNote', 1, 1, 7, 'O', 0, NULL, '可选', 'note');
)");
}

}  // namespace store_test
