// The data controller over 1,000,000 records of three columns (integer,
// Chinese text, double): sorting by the text, sorting by two columns,
// filtering with a LIKE condition, grouping by the text with a sum, and
// focusing a row after each rebuild. Each figure is printed beside a plain
// counterpart written independently of the project's code (std::sort, a
// plain loop, SQLite over the same values) and as the ratio of the two, with
// the target of each line; the controller's heap against the bytes of its
// values, and the peak memory, are printed too. A text given on the command
// line runs only the lines whose names hold it (for timing one case on a busy
// machine), and a number after it sets the record count (for a profiler):
// datacontroller_bench group 200000
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include <sqlite3.h>
#include <sys/resource.h>

#include "data/cxData.h"
#include "data/cxDataFilterBinding.h"
#include "data/cxDataSummary.h"
#include "platform/rtl/encoding.h"

namespace {

// 1,000,000 unless the command line says otherwise.
Integer RecordCount = 1000000;

class TBenchColumn : public TObject {
  KORVANE_CLASS(TBenchColumn, TObject)
};

double Seconds(const std::function<void()>& AWork) {
  const auto Start = std::chrono::steady_clock::now();
  AWork();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// A piece of work and what runs untimed before it.
struct TRun {
  std::function<void()> Prepare, Work;
};

// The best of five runs of each, the two taking turns so that a change in
// the machine's load falls on both.
std::pair<double, double> BestOfBoth(const TRun& A, const TRun& B) {
  std::pair<double, double> Result{1e30, 1e30};
  for (int I = 0; I < 5; ++I) {
    A.Prepare();
    Result.first = std::min(Result.first, Seconds(A.Work));
    B.Prepare();
    Result.second = std::min(Result.second, Seconds(B.Work));
  }
  return Result;
}

int Failures = 0;

// Runs only the lines whose names hold this text (nullptr: every line).
const char* OnlyLinesWith = nullptr;

bool Wanted(const char* AName) { return !OnlyLinesWith || std::strstr(AName, OnlyLinesWith); }

// ATarget: the ratio the line should stay within.
void Report(const char* AName, const TRun& AControllerRun, const TRun& APlainRun, double ATarget = 2,
            const char* APlainName = "plain") {
  if (!Wanted(AName)) return;
  const auto [AController, APlain] = BestOfBoth(AControllerRun, APlainRun);
  const double Ratio = AController / APlain;
  std::printf("%-34s controller %9.3f ms   %-6s %9.3f ms   ratio %5.2f (target %.1f)%s\n", AName,
              AController * 1000, APlainName, APlain * 1000, Ratio, ATarget,
              Ratio <= ATarget ? "" : "  ABOVE");
  if (Ratio > ATarget) ++Failures;
}

double PeakMegabytes() {
  rusage Usage{};
  getrusage(RUSAGE_SELF, &Usage);
  return double(Usage.ru_maxrss) / 1024;
}

// Heap bytes in use (not the resident size, which keeps freed memory).
size_t HeapBytes() {
  const struct mallinfo2 Info = mallinfo2();
  return Info.uordblks + Info.hblkhd;
}

// The controller's memory may be at most this many times the bytes of the
// values it holds.
constexpr double ControllerMemoryTarget = 2.5;

// The bytes of the values themselves: a 4-byte integer, the text's UTF-16
// units and an 8-byte double per record.
size_t RawBytes(const std::vector<String>& ATexts) {
  size_t Result = 0;
  for (const String& T : ATexts) Result += sizeof(Integer) + T.size() * sizeof(Char) + sizeof(double);
  return Result;
}

// The texts in an in-memory SQLite table, for the database's own LIKE.
class TSqliteTexts {
public:
  explicit TSqliteTexts(const std::vector<String>& ATexts) {
    sqlite3_open(":memory:", &FDb);
    sqlite3_exec(FDb, "CREATE TABLE t(s TEXT); BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* Insert = nullptr;
    sqlite3_prepare_v2(FDb, "INSERT INTO t VALUES (?)", -1, &Insert, nullptr);
    for (const String& T : ATexts) {
      sqlite3_bind_text16(Insert, 1, T.data(), int(T.size() * sizeof(Char)), SQLITE_TRANSIENT);
      sqlite3_step(Insert);
      sqlite3_reset(Insert);
    }
    sqlite3_finalize(Insert);
    sqlite3_exec(FDb, "COMMIT;", nullptr, nullptr, nullptr);
  }
  ~TSqliteTexts() { sqlite3_close(FDb); }
  Integer CountLike(const String& APattern) {
    sqlite3_stmt* Query = nullptr;
    sqlite3_prepare_v2(FDb, "SELECT count(*) FROM t WHERE s LIKE ?", -1, &Query, nullptr);
    sqlite3_bind_text16(Query, 1, APattern.data(), int(APattern.size() * sizeof(Char)), SQLITE_TRANSIENT);
    sqlite3_step(Query);
    const Integer Result = sqlite3_column_int(Query, 0);
    sqlite3_finalize(Query);
    return Result;
  }

private:
  sqlite3* FDb = nullptr;
};

// Sorting one text column of 1,000,000 records against std::sort of the
// same strings, for one shape of texts.
void ReportTextSort(const char* AName, const std::vector<String>& ATexts) {
  if (!Wanted(AName)) return;
  TBenchColumn Column;
  TcxDataController C(nullptr);
  C.AddItemField(&Column);
  C.SetItemValueTypeClass(0, TcxWideStringValueType::StaticClass());
  C.BeginUpdate();
  C.SetRecordCount(Integer(ATexts.size()));
  for (Integer R = 0; R < Integer(ATexts.size()); ++R) C.SetValue(R, 0, Variant(ATexts[size_t(R)]));
  C.EndUpdate();
  std::vector<Integer> Indexes(ATexts.size());
  Report(AName, TRun{[&] { C.ClearSorting(false); }, [&] { C.SetItemSortOrder(0, soAscending); }},
         TRun{[&] { std::iota(Indexes.begin(), Indexes.end(), 0); },
              [&] {
                std::sort(Indexes.begin(), Indexes.end(), [&](Integer A, Integer B) {
                  const int R = ATexts[size_t(A)].compare(ATexts[size_t(B)]);
                  return R != 0 ? R < 0 : A < B;
                });
              }},
         1.2, "sort");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && argv[1][0] != 0) OnlyLinesWith = argv[1];
  if (argc > 2 && std::atoi(argv[2]) > 0) RecordCount = std::atoi(argv[2]);
  // ---- Values ----
  const char16_t Syllables[] = u"山水云天地人中国东西南北高明长安金木火土风花雪月春秋江河湖海";
  const Integer SyllableCount = Integer(sizeof(Syllables) / sizeof(Syllables[0])) - 1;
  std::vector<Integer> Ints(RecordCount);
  std::vector<String> Texts(RecordCount);
  std::vector<double> Doubles(RecordCount);
  UInt64 Seed = 12345;
  auto Next = [&Seed]() {
    Seed = Seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return UInt64(Seed >> 33);
  };
  for (Integer I = 0; I < RecordCount; ++I) {
    Ints[size_t(I)] = Integer(Next() % 100000);
    String T;
    const Integer Length = 2 + Integer(Next() % 3);
    for (Integer K = 0; K < Length; ++K) T += Syllables[Next() % UInt64(SyllableCount)];
    Texts[size_t(I)] = T;
    Doubles[size_t(I)] = double(Next() % 100000) / 100;
  }

  // ---- Controller ----
  TBenchColumn IntColumn, TextColumn, DoubleColumn;
  const size_t HeapBefore = HeapBytes();
  TcxDataController C(nullptr);
  C.AddItemField(&IntColumn);
  C.AddItemField(&TextColumn);
  C.AddItemField(&DoubleColumn);
  C.SetItemValueTypeClass(0, TcxIntegerValueType::StaticClass());
  C.SetItemValueTypeClass(1, TcxWideStringValueType::StaticClass());
  C.SetItemValueTypeClass(2, TcxFloatValueType::StaticClass());
  const double Load = Seconds([&] {
    C.BeginUpdate();
    C.SetRecordCount(RecordCount);
    for (Integer R = 0; R < RecordCount; ++R) {
      C.SetValue(R, 0, Variant(Ints[size_t(R)]));
      C.SetValue(R, 1, Variant(Texts[size_t(R)]));
      C.SetValue(R, 2, Variant(Doubles[size_t(R)]));
    }
    C.EndUpdate();
  });
  const double Megabyte = 1024.0 * 1024.0;
  const double Held = double(HeapBytes() - HeapBefore), Raw = double(RawBytes(Texts));
  const double MemoryRatio = Held / Raw;
  std::printf("loaded %d records in %.3f s, peak memory %.0f MB\n", RecordCount, Load, PeakMegabytes());
  std::printf("%-34s controller %9.1f MB   values %9.1f MB   ratio %5.2f (target %.1f)%s\n\n", "memory", Held / Megabyte,
              Raw / Megabyte, MemoryRatio, ControllerMemoryTarget, MemoryRatio <= ControllerMemoryTarget ? "" : "  ABOVE");
  if (MemoryRatio > ControllerMemoryTarget) ++Failures;

  std::vector<Integer> Indexes(RecordCount);
  auto ResetIndexes = [&] { std::iota(Indexes.begin(), Indexes.end(), 0); };
  auto Unsort = [&] {
    C.ClearSorting(false);
    C.ClearGrouping();
  };
  const Integer Target = RecordCount / 2 + 7;
  auto FocusTarget = [&] { C.FocusRecord(Target); };
  auto PlainFocus = [&] {
    volatile auto Position = std::find(Indexes.begin(), Indexes.end(), Target) - Indexes.begin();
    (void)Position;
  };

  // ---- Sort by the text ----
  Report("sort by text",
         TRun{Unsort, [&] { C.SetItemSortOrder(1, soAscending); }},
         TRun{ResetIndexes, [&] {
           std::sort(Indexes.begin(), Indexes.end(), [&](Integer A, Integer B) {
             const int R = Texts[size_t(A)].compare(Texts[size_t(B)]);
             return R != 0 ? R < 0 : A < B;
           });
         }},
         1.2, "sort");
  Report("focus after sorting", TRun{[] {}, FocusTarget}, TRun{[] {}, PlainFocus});

  // ---- Sort by two columns ----
  Report("sort by text, then integer desc",
         TRun{Unsort,
              [&] {
                C.BeginUpdate();
                C.SetItemSortOrder(1, soAscending);
                C.SetItemSortOrder(0, soDescending);
                C.EndUpdate();
              }},
         TRun{ResetIndexes, [&] {
           std::sort(Indexes.begin(), Indexes.end(), [&](Integer A, Integer B) {
             const Integer R = Texts[size_t(A)].compare(Texts[size_t(B)]);
             if (R != 0) return R < 0;
             if (Ints[size_t(A)] != Ints[size_t(B)]) return Ints[size_t(A)] > Ints[size_t(B)];
             return A < B;
           });
         }},
         1.2, "sort");
  Report("focus after two-column sorting", TRun{[] {}, FocusTarget}, TRun{[] {}, PlainFocus});

  // ---- Filter with LIKE ----
  const String Pattern = u"%山%";
  C.Filter()->AddItem(nullptr, &TextColumn, foLike, Variant(Pattern), Pattern);
  std::vector<Integer> Passing;
  auto FilterOn = [&] { C.Filter()->SetActive(true); };
  auto FilterOff = [&] {
    Unsort();
    C.Filter()->SetActive(false);
  };
  Report("filter text LIKE '%山%'", TRun{FilterOff, FilterOn},
         TRun{[&] { Passing.clear(); },
              [&] {
                for (Integer R = 0; R < RecordCount; ++R)
                  if (Texts[size_t(R)].find(u'山') != String::npos) Passing.push_back(R);
              }},
         3, "loop");
  std::unique_ptr<TSqliteTexts> Sqlite;
  if (Wanted("filter text LIKE")) Sqlite = std::make_unique<TSqliteTexts>(Texts);
  Integer SqlitePassing = 0;
  Report("filter text LIKE '%山%'", TRun{FilterOff, FilterOn},
         TRun{[] {}, [&] { SqlitePassing = Sqlite->CountLike(Pattern); }}, 1, "sqlite");
  std::printf("%-34s %d of %d records pass (loop: %d, sqlite: %d)\n", "", C.GetFilteredRecordCount(),
              RecordCount, Integer(Passing.size()), SqlitePassing);
  C.Filter()->SetActive(false);

  // ---- Group by the text with a sum ----
  C.Summary()->DefaultGroupSummaryItems()->Add(&DoubleColumn, spGroup, skSum);
  std::vector<double> Sums;
  Report("group by text with a sum",
         TRun{Unsort, [&] { C.SetItemGroupIndex(1, 0); }},
         TRun{
             [&] {
               ResetIndexes();
               Sums.clear();
             },
             [&] {
               std::sort(Indexes.begin(), Indexes.end(), [&](Integer A, Integer B) {
                 const int R = Texts[size_t(A)].compare(Texts[size_t(B)]);
                 return R != 0 ? R < 0 : A < B;
               });
               for (size_t P = 0; P < Indexes.size(); ++P) {
                 if (P == 0 || Texts[size_t(Indexes[P])] != Texts[size_t(Indexes[P - 1])]) Sums.push_back(0);
                 Sums.back() += Doubles[size_t(Indexes[P])];
               }
             }},
         1.5, "sweep");
  std::printf("%-34s %d groups\n", "", C.Groups()->GetChildCount(-1));
  Report("focus after grouping", TRun{[&] { C.FullCollapse(); }, FocusTarget}, TRun{[] {}, PlainFocus});

  // ---- Sort by texts of other shapes ----
  {
    std::vector<String> Shaped(RecordCount);
    for (String& T : Shaped) {
      T = u"DZ-2024-";
      for (Integer K = 0; K < 20; ++K) T += Char(u'0' + Next() % 10);
    }
    ReportTextSort("sort, long shared beginning", Shaped);
    for (String& T : Shaped) {
      T.clear();
      for (UInt64 K = 1 + Next() % 20; K > 0; --K) T += Char(u'a' + Next() % 26);
    }
    ReportTextSort("sort, random 1-20 characters", Shaped);
  }

  std::printf("\npeak memory %.0f MB\n", PeakMegabytes());
  std::printf("%s\n", Failures == 0 ? "every ratio is within its target" : "some ratios are above their target");
  return 0;
}
