// seeddb OUT.db SQLFILE...
//
// Creates the database file OUT.db from SQL files, all of them in one
// transaction. An existing OUT.db is left as it is. The database is built in
// a temporary file beside OUT.db and moved into place only when every
// statement succeeded, so a failed run leaves nothing behind.

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct SqlFile {
  std::string path;
  std::string text;
};

struct Failure {
  std::string message;
};

bool PathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

SqlFile ReadSqlFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure{path + ": cannot be read: " + std::strerror(errno)};
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw Failure{path + ": cannot be read"};
  return {path, text.str()};
}

// Skips blanks and "--" comments, so that a statement's line number is the
// line of its first word.
const char* SkipBlanksAndComments(const char* p) {
  for (;;) {
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
    if (p[0] != '-' || p[1] != '-') return p;
    while (*p && *p != '\n') ++p;
  }
}

int LineOf(const std::string& text, const char* at) {
  int line = 1;
  for (const char* p = text.c_str(); p < at; ++p) {
    if (*p == '\n') ++line;
  }
  return line;
}

void Exec(sqlite3* db, const char* sql, const std::string& where) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    throw Failure{where + ": " + message};
  }
}

// Runs every statement of the file, one by one, naming the file and the line
// of a statement that fails.
void RunSqlFile(sqlite3* db, const SqlFile& file) {
  const char* next = file.text.c_str();
  for (;;) {
    const char* start = SkipBlanksAndComments(next);
    if (*start == '\0') return;
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db, start, -1, &stmt, &tail);
    if (rc == SQLITE_OK && stmt) {
      do {
        rc = sqlite3_step(stmt);
      } while (rc == SQLITE_ROW);
      if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    std::string message = rc == SQLITE_OK ? "" : sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_OK) {
      throw Failure{file.path + ":" + std::to_string(LineOf(file.text, start)) + ": " + message};
    }
    if (tail == nullptr || tail == start) return;
    next = tail;
  }
}

void BuildDatabase(const std::string& path, const std::vector<SqlFile>& files) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw Failure{path + ": " + message};
  }
  try {
    Exec(db, "BEGIN", path);
    for (const SqlFile& file : files) RunSqlFile(db, file);
    Exec(db, "COMMIT", path);
  } catch (...) {
    sqlite3_close(db);  // rolls the open transaction back
    throw;
  }
  if (sqlite3_close(db) != SQLITE_OK) throw Failure{path + ": cannot be closed"};
}

// Moves the finished file into place unless something appeared there in the
// meantime; returns false in that case.
bool MoveIntoPlace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno == EEXIST) return false;
  if (errno != EINVAL && errno != ENOSYS) throw Failure{to + ": cannot be created: " + std::strerror(errno)};
  // A file system without the no-replace rename: a hard link fails just as
  // well when the name is taken.
  if (link(from.c_str(), to.c_str()) != 0) {
    if (errno == EEXIST) return false;
    throw Failure{to + ": cannot be created: " + std::strerror(errno)};
  }
  unlink(from.c_str());
  return true;
}

std::string MakeTemporaryFile(const std::string& out) {
  std::string pattern = out + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) throw Failure{out + ": cannot create a temporary file beside it: " + std::strerror(errno)};
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);  // mkstemp makes it private; a database is an ordinary file
  close(fd);
  return name.data();
}

void RemoveTemporary(const std::string& path) {
  unlink(path.c_str());
  unlink((path + "-journal").c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: seeddb OUT.db SQLFILE...\n");
    return 2;
  }
  const std::string out = argv[1];
  if (PathExists(out)) {
    std::printf("%s: exists, left as it is\n", out.c_str());
    return 0;
  }
  std::string temporary;
  try {
    std::vector<SqlFile> files;
    for (int i = 2; i < argc; ++i) files.push_back(ReadSqlFile(argv[i]));
    temporary = MakeTemporaryFile(out);
    BuildDatabase(temporary, files);
    if (!MoveIntoPlace(temporary, out)) {
      RemoveTemporary(temporary);
      std::printf("%s: exists, left as it is\n", out.c_str());
      return 0;
    }
  } catch (const Failure& failure) {
    if (!temporary.empty()) RemoveTemporary(temporary);
    std::fprintf(stderr, "seeddb: %s\n", failure.message.c_str());
    return 1;
  }
  std::printf("%s: created\n", out.c_str());
  return 0;
}
