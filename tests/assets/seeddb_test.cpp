// The tool that makes the shipped database file: it creates a valid file,
// never overwrites one, and leaves nothing behind when it fails.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RunResult {
  int exit_code = -1;
  std::string output;  // stdout and stderr
};

std::string Quote(const std::string& s) {
  std::string quoted = "'";
  for (char c : s) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

RunResult RunSeeddb(const std::vector<std::string>& args) {
  std::string command = Quote(std::string(KORVANE_BINARY_DIR) + "/tools/seeddb");
  for (const std::string& a : args) command += " " + Quote(a);
  command += " 2>&1";
  RunResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[512];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string SqlFile(const char* name) { return std::string(KORVANE_SOURCE_DIR) + "/assets/db/" + name; }

std::vector<std::string> ShippedSqlFiles() {
  return {SqlFile("schema.sql"), SqlFile("codelists.sql"), SqlFile("templet.sql")};
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::set<std::string> FilesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
  return names;
}

std::string Scalar(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  std::string value = "<error>";
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(stmt, 0);
    value = text ? reinterpret_cast<const char*>(text) : "";
  }
  sqlite3_finalize(stmt);
  return value;
}

class Seeddb : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/korvane-seeddb-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(Seeddb, CreatesAValidDatabaseFromTheShippedSql) {
  const fs::path out = dir_ / "DataIdentification.mdb";
  std::vector<std::string> args = {out.string()};
  for (const std::string& f : ShippedSqlFiles()) args.push_back(f);
  RunResult run = RunSeeddb(args);
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(FilesIn(dir_), std::set<std::string>{"DataIdentification.mdb"});

  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(out.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  EXPECT_EQ(Scalar(db, "pragma integrity_check"), "ok");
  EXPECT_EQ(Scalar(db, "select ename from templet where code = '010101'"), "resTitle");
  EXPECT_EQ(Scalar(db, "select count(*) > 300 from templet"), "1");
  EXPECT_EQ(Scalar(db, "select cname from CI_DateTypeCode where code = '001'"), "创建");
  EXPECT_EQ(Scalar(db, "select count(*) from t_metadata"), "0");
  EXPECT_EQ(Scalar(db, "select count(*) from t_metakind"), "0");
  sqlite3_close(db);
}

TEST_F(Seeddb, LeavesAnExistingFileAsItIs) {
  const fs::path out = dir_ / "DataIdentification.mdb";
  WriteFile(out, "the user's records");
  std::vector<std::string> args = {out.string()};
  for (const std::string& f : ShippedSqlFiles()) args.push_back(f);
  RunResult run = RunSeeddb(args);
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("exists, left as it is"), std::string::npos) << run.output;
  EXPECT_EQ(ReadFile(out), "the user's records");
  EXPECT_EQ(FilesIn(dir_), std::set<std::string>{"DataIdentification.mdb"});
}

TEST_F(Seeddb, AFailureNamesTheFileAndLeavesNothingBehind) {
  WriteFile(dir_ / "good.sql", "CREATE TABLE a (x INTEGER);\nINSERT INTO a VALUES (1);\n");
  WriteFile(dir_ / "bad.sql", "-- comment\nINSERT INTO a VALUES (2);\n\nINSERT INTO nowhere VALUES (3);\n");
  const std::string out = (dir_ / "out.db").string();
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::vector<std::string> expected_in_output;
  } cases[] = {
      {"a statement fails after others succeeded",
       {out, (dir_ / "good.sql").string(), (dir_ / "bad.sql").string()},
       {"bad.sql:4:", "no such table: nowhere"}},
      {"an SQL file is missing", {out, (dir_ / "good.sql").string(), (dir_ / "missing.sql").string()},
       {"missing.sql", "cannot be read"}},
      {"the folder of the database does not exist",
       {(dir_ / "no-folder" / "out.db").string(), (dir_ / "good.sql").string()},
       {"no-folder"}},
      {"no SQL file given", {out}, {"usage"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunResult run = RunSeeddb(c.args);
    EXPECT_NE(run.exit_code, 0) << run.output;
    for (const std::string& text : c.expected_in_output) {
      EXPECT_NE(run.output.find(text), std::string::npos) << run.output;
    }
    EXPECT_EQ(FilesIn(dir_), (std::set<std::string>{"good.sql", "bad.sql"}));
  }
}

}  // namespace
