#pragma once
// Records of the shipped template shaped by SQL for the structure check and
// XML output tests: the open record's rows changed in the database file,
// then read again into the editing window.
#include <sqlite3.h>

#include <string>
#include <vector>

#include "app/meta_edit.h"
#include "tests/app/maintestutil.h"

namespace app_test {

// Every row of a select, its columns joined by "|".
inline std::vector<std::string> SelectAll(const std::string& DatabasePath, const std::string& Sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  std::vector<std::string> rows;
  if (sqlite3_prepare_v2(db, Sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    std::string message = sqlite3_errmsg(db);
    sqlite3_close(db);
    throw std::runtime_error("select failed: " + message + "\n" + Sql);
  }
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      row += (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "<null>");
    }
    rows.push_back(row);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

// A new record of the kind shown in the editing window.
struct TRecordFixture : TMainFixture {
  explicit TRecordFixture(bool Core = false) {
    NewThroughToolbar(Core);
    RecordKey = Key();
  }
  // Runs statements over the record's rows ("KEY" stands for its key) and
  // reads the record again.
  void Change(const std::vector<std::string>& Statements) {
    for (std::string sql : Statements) {
      for (size_t at; (at = sql.find("KEY")) != std::string::npos;) sql.replace(at, 3, "'" + RecordKey + "'");
      ExecSql(DbPath, sql);
    }
    Reload();
  }
  void Reload() {
    String error;
    if (!dm->LoadRecord(error, U16(RecordKey))) throw std::runtime_error(U8(error));
  }
  // Every leaf (a row without children) gets Content, or its code when
  // Content is empty.
  static std::string FillLeaves(const std::string& Content = "") {
    const std::string value = Content.empty() ? "code" : "'" + Content + "'";
    return "update t_metadata set content = " + value +
           " where meta_id = KEY and not exists (select 1 from t_metadata c where c.meta_id = t_metadata.meta_id"
           " and c.parent_id = t_metadata.id)";
  }
  static std::string Clear(const std::string& CodePrefix) {
    return "update t_metadata set content = null where meta_id = KEY and code like '" + CodePrefix + "%'";
  }
  static std::string Remove(const std::string& CodePrefix) {
    return "delete from t_metadata where meta_id = KEY and code like '" + CodePrefix + "%'";
  }
  std::string Focused() const { return U8(dm->aq_metadata->FieldByName(u"code")->AsString()); }
  std::string State(const std::string& Code) const {
    return One("select group_concat(choice_state) from t_metadata where meta_id = '" + RecordKey + "' and code = '" +
               Code + "'");
  }

  std::string RecordKey;
};

}  // namespace app_test
