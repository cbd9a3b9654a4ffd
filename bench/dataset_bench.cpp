// Benchmark of the dataset layer over SQLite: open 100,000 rows shaped like
// the record table, locate by integer key, sort by a text column, post.
// items_per_second is rows per second for the open and the sort, locates
// per second for the locate and posts per second for the posts. Then the
// open against a raw sqlite3_step loop that converts every value to the same
// types (runs taking turns), the memory an open query holds against the size
// of its values, and the peak memory.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>
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

// Every row read with sqlite3_step, texts made into String, integers kept as
// they are; answers the bytes of the values.
size_t ReadRaw(std::vector<String>& ATexts, std::vector<Int64>& AIntegers) {
  ATexts.clear();
  AIntegers.clear();
  sqlite3* db = nullptr;
  sqlite3_open_v2(Database().Path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "select * from t_metadata", -1, &stmt, nullptr);
  size_t Bytes = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c) {
      if (sqlite3_column_type(stmt, c) == SQLITE_INTEGER) {
        AIntegers.push_back(sqlite3_column_int64(stmt, c));
        Bytes += sizeof(Int64);
      } else {
        const auto* text = static_cast<const Char*>(sqlite3_column_text16(stmt, c));
        ATexts.emplace_back(text, size_t(sqlite3_column_bytes16(stmt, c)) / sizeof(Char));
        Bytes += ATexts.back().size() * sizeof(Char);
      }
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return Bytes;
}

// Heap bytes in use (not the resident size, which keeps freed memory).
size_t HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void ReportAgainstRawSqlite() {
  std::vector<String> texts;
  std::vector<Int64> integers;
  size_t before = HeapBytes();
  const size_t valueBytes = ReadRaw(texts, integers);
  const double rawMemory = double(HeapBytes() - before);
  texts = {};
  integers = {};
  before = HeapBytes();
  double queryMemory = 0;
  {
    TOpenQuery q;
    queryMemory = double(HeapBytes() - before);
  }
  double open = 1e30, raw = 1e30;
  TADOConnection connection(nullptr);
  connection.SetProperty(u"Data Source", UTF8ToString(Database().Path));
  TADOQuery query(nullptr);
  query.SetConnection(&connection);
  query.SQL()->SetText(u"select * from t_metadata");
  for (int run = 0; run < 5; ++run) {
    auto start = std::chrono::steady_clock::now();
    query.Open();
    benchmark::DoNotOptimize(query.RecordCount());
    open = std::min(open, Seconds(start));
    query.Close();
    start = std::chrono::steady_clock::now();
    ReadRaw(texts, integers);
    raw = std::min(raw, Seconds(start));
  }
  const double mb = 1024.0 * 1024.0;
  std::printf("\nopen %d rows: query %.1f ms, raw sqlite3_step %.1f ms, ratio %.2f (target 1.3)\n", RowCount,
              open * 1000, raw * 1000, open / raw);
  std::printf("values %.1f MB; an open query holds %.1f MB (%.1f times), the raw copy %.1f MB (%.1f times)\n",
              double(valueBytes) / mb, queryMemory / mb, queryMemory / double(valueBytes), rawMemory / mb,
              rawMemory / double(valueBytes));
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory %.0f MB\n", double(usage.ru_maxrss) / 1024);
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
