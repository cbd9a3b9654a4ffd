#pragma once
// Temporary SQLite files for the dataset tests, and a recorder of the
// notices a data link receives.
#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/db/adodb.h"
#include "platform/rtl/encoding.h"

// A database file in a fresh temporary folder, removed with the folder.
class TTempDatabase {
public:
  explicit TTempDatabase(const std::string& schema = std::string()) {
    char pattern[] = "/tmp/korvane-db-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    Folder = pattern;
    Path = Folder / "test.db";
    sqlite3* db = nullptr;
    sqlite3_open_v2(Path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char* error = nullptr;
    if (sqlite3_exec(db, schema.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      std::string message = error ? error : "schema failed";
      sqlite3_free(error);
      sqlite3_close(db);
      throw std::runtime_error(message);
    }
    sqlite3_close(db);
  }
  ~TTempDatabase() {
    std::error_code ec;
    std::filesystem::remove_all(Folder, ec);
  }

  String FileName() const { return UTF8ToString(Path.string()); }

  // The first column of every row of a select, as text ("NULL" for null).
  std::vector<std::string> Column(const std::string& sql) const {
    sqlite3* db = nullptr;
    sqlite3_open_v2(Path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::vector<std::string> rows;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
      while (sqlite3_step(stmt) == SQLITE_ROW) {
        auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        rows.push_back(text ? text : "NULL");
      }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
  }

  std::string Value(const std::string& sql) const {
    auto rows = Column(sql);
    return rows.empty() ? std::string("<none>") : rows[0];
  }

  std::filesystem::path Folder;
  std::filesystem::path Path;
};

// A connection and a query on a temporary database, owned by one owner.
struct TQueryFixture {
  explicit TQueryFixture(const std::string& schema)
      : Db(schema), Owner(new TComponent(nullptr)), Connection(new TADOConnection(Owner)),
        Query(new TADOQuery(Owner)) {
    Connection->SetConnectionString(u"Provider=SQLite;Data Source=" + Db.FileName());
    Query->SetConnection(Connection);
  }
  ~TQueryFixture() { delete Owner; }

  void Open(const String& sql) {
    Query->Close();
    Query->SQL()->SetText(sql);
    Query->Open();
  }

  TTempDatabase Db;
  TComponent* Owner;
  TADOConnection* Connection;
  TADOQuery* Query;
};

// Writes every notice of a data link as a line.
class TRecordingLink : public TDataLink {
public:
  std::vector<std::string> Log;
  void Clear() { Log.clear(); }

protected:
  void ActiveChanged() override { Log.push_back(Active() ? "active" : "inactive"); }
  void CheckBrowseMode() override { Log.push_back("checkBrowse"); }
  void DataSetChanged() override { Log.push_back("changed"); }
  void DataSetScrolled(Integer Distance) override { Log.push_back("scrolled " + std::to_string(Distance)); }
  void EditingChanged() override { Log.push_back(Editing() ? "editing" : "notEditing"); }
  void LayoutChanged() override { Log.push_back("layout"); }
  void RecordChanged(TField* Field) override {
    Log.push_back(Field ? "record " + StringToUTF8(Field->FieldName()) : std::string("record"));
  }
  void UpdateData() override {
    Log.push_back("updateData");
    if (OnUpdateData) OnUpdateData();
  }

public:
  std::function<void()> OnUpdateData;
};
