// Benchmark of the dataset layer over SQLite: open 100,000 rows shaped like
// the record table, locate by integer key, sort by a text column, post.
// items_per_second is rows per second for the open and the sort, locates
// per second for the locate and posts per second for the posts. First, for
// 1,000,000 rows of mixed columns and for the record table: the open against
// a raw sqlite3_step loop that converts every value to the same types (runs
// taking turns), the memory an open query holds against the size of its
// values, and the peak memory while opening.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/db/adodb.h"
#include "platform/rtl/encoding.h"

namespace {

constexpr int RowCount = 100000;

class TBenchDatabase {
public:
  TBenchDatabase() {
    char pattern[] = "/tmp/korvane-bench-XXXXXX";
    Folder = mkdtemp(pattern);
    Path = Folder + "/bench.db";
    sqlite3* db = nullptr;
    sqlite3_open_v2(Path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE t_metadata (meta_id text(50), id integer, code text(50), cname text(50), "
                 "ename text(50), content memo, parent_id integer, parent_code text(50), max_times integer, "
                 "isEnd smallint, tag integer, choice_state integer, record_type text(50));"
                 "BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO t_metadata VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &stmt, nullptr);
    std::mt19937 rng(7);
    for (int i = 1; i <= RowCount; ++i) {
      std::string code = std::to_string(100000 + rng() % 900000);
      std::string name = "元素名称" + std::to_string(rng() % 100000);
      sqlite3_bind_text(stmt, 1, "20240101120000", -1, SQLITE_STATIC);
      sqlite3_bind_int(stmt, 2, i);
      sqlite3_bind_text(stmt, 3, code.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(stmt, 4, name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(stmt, 5, "elementName", -1, SQLITE_STATIC);
      sqlite3_bind_text(stmt, 6, "some content of the element", -1, SQLITE_STATIC);
      sqlite3_bind_int(stmt, 7, i / 10);
      sqlite3_bind_text(stmt, 8, code.c_str(), 4, SQLITE_TRANSIENT);
      sqlite3_bind_int(stmt, 9, 1);
      sqlite3_bind_int(stmt, 10, i % 2);
      sqlite3_bind_int(stmt, 11, i % 30);
      sqlite3_bind_int(stmt, 12, 0);
      sqlite3_bind_text(stmt, 13, "E", -1, SQLITE_STATIC);
      sqlite3_step(stmt);
      sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~TBenchDatabase() {
    std::error_code ec;
    std::filesystem::remove_all(Folder, ec);
  }
  std::string Folder, Path;
};

TBenchDatabase& Database() {
  static TBenchDatabase db;
  return db;
}

struct TOpenQuery {
  TOpenQuery() : Connection(nullptr), Query(nullptr) {
    Connection.SetProperty(u"Data Source", UTF8ToString(Database().Path));
    Query.SetConnection(&Connection);
    Query.SQL()->SetText(u"select * from t_metadata");
    Query.Open();
  }
  TADOConnection Connection;
  TADOQuery Query;
};

void BM_Open(benchmark::State& state) {
  TADOConnection connection(nullptr);
  connection.SetProperty(u"Data Source", UTF8ToString(Database().Path));
  TADOQuery query(nullptr);
  query.SetConnection(&connection);
  query.SQL()->SetText(u"select * from t_metadata");
  for (auto _ : state) {
    query.Open();
    benchmark::DoNotOptimize(query.RecordCount());
    state.PauseTiming();
    query.Close();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * RowCount);  // rows per second
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_LocateByIntegerKey(benchmark::State& state) {
  TOpenQuery q;
  std::mt19937 rng(3);
  for (auto _ : state) benchmark::DoNotOptimize(q.Query.Locate(u"id", Variant(Integer(1 + rng() % RowCount)), {}));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LocateByIntegerKey)->Unit(benchmark::kMicrosecond);

void BM_SortByTextColumn(benchmark::State& state) {
  TOpenQuery q;
  for (auto _ : state) {
    q.Query.SetSort(u"cname");
    q.Query.SetSort(u"");
  }
  state.SetItemsProcessed(state.iterations() * RowCount);
}
BENCHMARK(BM_SortByTextColumn)->Unit(benchmark::kMillisecond);

void BM_ThousandPosts(benchmark::State& state) {
  TOpenQuery q;
  int round = 0;
  for (auto _ : state) {
    q.Query.First();
    for (int i = 0; i < 1000; ++i) {
      q.Query.Edit();
      q.Query.FieldByName(u"content")->SetAsString(u"value " + IntToStr(round * 1000 + i));
      q.Query.Next();  // posts
    }
    ++round;
  }
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandPosts)->Unit(benchmark::kMillisecond)->Iterations(2);

// ---- Against raw SQLite ----

double Seconds(const std::chrono::steady_clock::time_point& AStart) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - AStart).count();
}

// A table of 1,000,000 rows of six mixed columns: an integer key, a short
// code, a name in Chinese, a number, a date and a note that is often Null.
constexpr int MixedRowCount = 1000000;

std::string MakeMixedTable() {
  std::string path = Database().Folder + "/mixed.db";
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  sqlite3_exec(db,
               "CREATE TABLE t_mixed (id integer, code text(10), name text(50), amount float, created datetime, "
               "note text(100)); BEGIN;",
               nullptr, nullptr, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t_mixed VALUES (?,?,?,?,?,?)", -1, &stmt, nullptr);
  std::mt19937 rng(11);
  char date[32];
  for (int i = 1; i <= MixedRowCount; ++i) {
    std::string code = std::to_string(100000 + rng() % 900000);
    std::string name = "元素名称" + std::to_string(rng() % 100000);
    auto next = [&](unsigned n) { return unsigned(rng() % n); };
    std::snprintf(date, sizeof date, "20%02u-%02u-%02u %02u:%02u:%02u", next(30), 1 + next(12), 1 + next(28), next(24),
                  next(60), next(60));
    std::string note = "note " + std::string(rng() % 30, 'x');
    sqlite3_bind_int(stmt, 1, i);
    sqlite3_bind_text(stmt, 2, code.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 3, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(stmt, 4, double(rng() % 1000000) / 100);
    sqlite3_bind_text(stmt, 5, date, -1, SQLITE_TRANSIENT);
    if (rng() % 4 == 0)
      sqlite3_bind_null(stmt, 6);
    else
      sqlite3_bind_text(stmt, 6, note.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(stmt);
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return path;
}

// What one select reads with sqlite3_step: texts made into String by
// SQLite's own conversion, numbers kept as they are, into vectors reserved
// beforehand. Answers the bytes of the values: 8 for a number, 2 for each
// code unit of a text, nothing for Null; a date counts as the 8 bytes of
// the number it holds.
struct TRawCopy {
  std::vector<String> Texts;
  std::vector<Int64> Integers;
  std::vector<double> Floats;
};

size_t ReadRaw(const std::string& Path, const char* Sql, size_t Cells, TRawCopy& Copy) {
  Copy = TRawCopy();
  Copy.Texts.reserve(Cells);
  Copy.Integers.reserve(Cells);
  Copy.Floats.reserve(Cells);
  sqlite3* db = nullptr;
  sqlite3_open_v2(Path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, Sql, -1, &stmt, nullptr);
  size_t bytes = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c) {
      switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_NULL: break;
        case SQLITE_INTEGER:
          Copy.Integers.push_back(sqlite3_column_int64(stmt, c));
          bytes += sizeof(Int64);
          break;
        case SQLITE_FLOAT:
          Copy.Floats.push_back(sqlite3_column_double(stmt, c));
          bytes += sizeof(double);
          break;
        default: {
          const auto* text = static_cast<const Char*>(sqlite3_column_text16(stmt, c));
          Copy.Texts.emplace_back(text, size_t(sqlite3_column_bytes16(stmt, c)) / sizeof(Char));
          const char* type = sqlite3_column_decltype(stmt, c);
          bool isDate = type && std::string(type) == "datetime";
          bytes += isDate ? sizeof(TDateTime) : Copy.Texts.back().size() * sizeof(Char);
          break;
        }
      }
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  Copy.Texts.shrink_to_fit();
  Copy.Integers.shrink_to_fit();
  Copy.Floats.shrink_to_fit();
  return bytes;
}

// Heap bytes in use (not the resident size, which keeps freed memory).
size_t HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

size_t ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

size_t PeakResidentBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return size_t(usage.ru_maxrss) * 1024;
}

// One table: the memory an open query holds against the raw size of its
// values, and the time of opening against the raw loop (runs taking turns,
// the best of each). Runs in a process of its own, whose peak resident size
// is then this table's.
void CompareInChild(const char* Title, const std::string& Path, const char* Sql, int Rows, int Columns) {
  const double mb = 1024.0 * 1024.0;
  const size_t cells = size_t(Rows) * size_t(Columns);
  TRawCopy copy;
  const size_t residentBefore = ResidentBytes();
  size_t heapBefore = HeapBytes();
  double queryMemory = 0;
  size_t peakGrowth = 0;
  TADOConnection connection(nullptr);
  connection.SetProperty(u"Data Source", UTF8ToString(Path));
  TADOQuery query(nullptr);
  query.SetConnection(&connection);
  query.SQL()->SetText(UTF8ToString(Sql));
  {
    query.Open();
    queryMemory = double(HeapBytes() - heapBefore);
    size_t peak = PeakResidentBytes();
    peakGrowth = peak > residentBefore ? peak - residentBefore : 0;
    query.Close();
  }
  heapBefore = HeapBytes();
  const size_t valueBytes = ReadRaw(Path, Sql, cells, copy);
  const double rawMemory = double(HeapBytes() - heapBefore);
  copy = TRawCopy();
  double open = 1e30, raw = 1e30;
  for (int run = 0; run < 3; ++run) {
    auto start = std::chrono::steady_clock::now();
    query.Open();
    benchmark::DoNotOptimize(query.RecordCount());
    open = std::min(open, Seconds(start));
    query.Close();
    start = std::chrono::steady_clock::now();
    ReadRaw(Path, Sql, cells, copy);
    raw = std::min(raw, Seconds(start));
    copy = TRawCopy();
  }
  std::printf("\n%s, %d rows of %d columns\n", Title, Rows, Columns);
  std::printf("open: query %.1f ms, raw sqlite3_step %.1f ms, ratio %.2f (target 1.3)\n", open * 1000, raw * 1000,
              open / raw);
  std::printf("memory: values %.1f MB; the open query holds %.1f MB (%.2f times, target 3), the raw copy %.1f MB "
              "(%.2f times)\n",
              double(valueBytes) / mb, queryMemory / mb, queryMemory / double(valueBytes), rawMemory / mb,
              rawMemory / double(valueBytes));
  std::printf("peak memory while opening: %.1f MB above the resident size before (%.2f times the values)\n",
              double(peakGrowth) / mb, double(peakGrowth) / double(valueBytes));
}

void Compare(const char* Title, const std::string& Path, const char* Sql, int Rows, int Columns) {
  std::fflush(stdout);
  pid_t child = fork();
  if (child == 0) {
    CompareInChild(Title, Path, Sql, Rows, Columns);
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
}

void ReportAgainstRawSqlite() {
  Compare("mixed columns", MakeMixedTable(), "select * from t_mixed", MixedRowCount, 6);
  Compare("the record table", Database().Path, "select * from t_metadata", RowCount, 13);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ReportAgainstRawSqlite();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
