// The dataset's filter against the in-memory filter: random tables and
// random criteria, each applied once in memory and once as the dataset's
// filter text, must select the same rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "data/cxDBData.h"
#include "data/cxVariants.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"
#include "tests/platform/db/dbtestutil.h"

namespace {

class TItem : public TObject {
  KORVANE_CLASS(TItem, TObject)
};

enum TColumn { colI, colD, colS, colT, colB, ColumnCount };
const char16_t* const ColumnNames[ColumnCount] = {u"i", u"d", u"s", u"t", u"b"};

// The values of the tables and of the conditions, per column.
struct TPools {
  std::vector<Variant> Values[ColumnCount];
  std::vector<String> Sql[ColumnCount];  // the same values as SQL literals
  std::vector<Variant> Patterns[ColumnCount];  // LIKE patterns
  TPools() {
    for (Integer I = -2; I <= 3; ++I) Add(colI, Variant(I), IntToStr(I));
    for (double D : {0.1, 0.3, 0.1 + 0.2, -1.5, 2.5, 1e20, 0.0}) {
      char Text[40];
      std::snprintf(Text, sizeof Text, "%.17g", D);
      Add(colD, Variant(D), UTF8ToString(Text));
    }
    for (const char16_t* S : {u"", u"a", u"A", u"ab", u"aB", u"b%", u"_x", u"ab*", u"地质", u"10", u"9", u"O'Brien"})
      Add(colS, Variant(String(S)), AnsiQuotedStr(S, u'\''));
    const TDateTime Days[] = {EncodeDate(2024, 3, 5), EncodeDate(2024, 3, 5) + EncodeTime(10, 20, 30, 0),
                              EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 0), EncodeDate(2030, 1, 1),
                              EncodeDate(2024, 3, 5) + EncodeTime(10, 20, 30, 250)};
    for (TDateTime Day : Days)
      Add(colT, VarFromDateTime(Day), u"'" + FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz", Day) + u"'");
    Add(colB, Variant(true), u"1");
    Add(colB, Variant(false), u"0");
    for (const char16_t* P : {u"%", u"", u"a%", u"%b", u"_", u"A_", u"%%", u"a%b%", u"地%", u"%'", u"_x"})
      Patterns[colS].push_back(Variant(String(P)));
    for (const char16_t* P : {u"1%", u"-%", u"%", u"_"}) {
      Patterns[colI].push_back(Variant(String(P)));
      Patterns[colD].push_back(Variant(String(P)));
    }
  }
  void Add(TColumn C, const Variant& V, const String& S) {
    Values[C].push_back(V);
    Sql[C].push_back(S);
  }
};

class TRandomCase {
public:
  TRandomCase(std::mt19937& ARandom, const TPools& APools) : FRandom(ARandom), FPools(APools) {}

  Integer Below(Integer N) { return Integer(FRandom() % unsigned(N)); }
  bool Chance(Integer APercent) { return Below(100) < APercent; }

  // A table of about a dozen rows; about one value in five is Null.
  std::string Table() {
    std::string Sql = "CREATE TABLE r (id INTEGER, i INTEGER, d DOUBLE, s TEXT, t DATETIME, b BOOLEAN);";
    for (Integer Row = 0; Row < 14; ++Row) {
      std::string Values = std::to_string(Row);
      for (Integer C = 0; C < ColumnCount; ++C) {
        const auto& Pool = FPools.Sql[C];
        Values += "," + (Chance(20) ? std::string("NULL") : StringToUTF8(Pool[size_t(Below(Integer(Pool.size())))]));
      }
      Sql += "INSERT INTO r VALUES (" + Values + ");";
    }
    return Sql;
  }

  Variant Value(TColumn C, Integer ANullPercent = 15) {
    if (Chance(ANullPercent)) return Null();
    const auto& Pool = FPools.Values[C];
    return Pool[size_t(Below(Integer(Pool.size())))];
  }

  // A pattern written with % and _ in the criteria's own wildcards (the
  // pools hold no other * or ? in patterns).
  static String OwnWildcards(TcxFilterCriteria* ACriteria, String APattern) {
    for (Char& C : APattern) {
      if (C == u'%')
        C = ACriteria->PercentWildcard();
      else if (C == u'_')
        C = ACriteria->UnderscoreWildcard();
    }
    return APattern;
  }

  void Condition(TcxFilterCriteria* ACriteria, TcxFilterCriteriaItemList* AList, TObject* const* ALinks) {
    const TColumn C = TColumn(Below(ColumnCount));
    auto Kind = TcxFilterOperatorKind(Below(foNotInList + 1));
    Variant V;
    if (Kind == foLike || Kind == foNotLike) {
      const auto& Patterns = FPools.Patterns[C];
      if (Patterns.empty() || Chance(10))
        V = Null();
      else
        V = Variant(OwnWildcards(ACriteria, VarToStr(Patterns[size_t(Below(Integer(Patterns.size())))])));
    } else if (Kind == foBetween || Kind == foNotBetween) {
      V = MakeVariantPair(Value(C), Value(C));
    } else if (Kind == foInList || Kind == foNotInList) {
      std::vector<Variant> Items;
      for (Integer N = 1 + Below(3); N > 0; --N) Items.push_back(Value(C));
      V = VarArrayOf(Items);
    } else {
      V = Value(C);
    }
    if (C == colT && Chance(10)) Kind = TcxFilterOperatorKind(foYesterday + Below(12));
    ACriteria->AddItem(AList, ALinks[C], Kind, V, String());
  }

  void Group(TcxFilterCriteria* ACriteria, TcxFilterCriteriaItemList* AList, TObject* const* ALinks,
             Integer ADepth) {
    for (Integer N = Below(4); N > 0; --N) {
      if (ADepth < 3 && Chance(25))
        Group(ACriteria, AList->AddItemList(TcxFilterBoolOperatorKind(Below(4))), ALinks, ADepth + 1);
      else
        Condition(ACriteria, AList, ALinks);
    }
  }

private:
  std::mt19937& FRandom;
  const TPools& FPools;
};

// The ids of the records the controller shows.
std::vector<Integer> ShownIds(TcxDBDataController* AController) {
  std::vector<Integer> Ids;
  for (Integer P = 0; P < AController->GetFilteredRecordCount(); ++P)
    Ids.push_back(AController->GetValue(AController->GetFilteredRecordIndex(P), 0).AsInteger());
  std::sort(Ids.begin(), Ids.end());
  return Ids;
}

std::string IdsText(const std::vector<Integer>& AIds) {
  std::string Result;
  for (Integer Id : AIds) Result += std::to_string(Id) + " ";
  return Result;
}

std::string RowsText(const TTempDatabase& ADb) {
  std::string Result;
  for (const std::string& Row :
       ADb.Column("SELECT id || ' ' || quote(i) || ' ' || quote(d) || ' ' || quote(s) || ' ' || quote(t) || ' ' || "
                  "quote(b) FROM r"))
    Result += "    " + Row + "\n";
  return Result;
}

// A query on a table r and a dataset controller with one item per column
// (item 0 the id); Compare applies the controller's criteria in memory
// and as the dataset's filter and tells how the selections differ.
class TBoundTable {
public:
  explicit TBoundTable(const std::string& ASchema) : Fx(ASchema), Source(new TDataSource(Fx.Owner)) {
    Fx.Query->SQL()->SetText(u"SELECT id, i, d, s, t, b FROM r");
    Source->SetDataSet(Fx.Query);
    Controller = std::make_unique<TcxDBDataController>(nullptr);
    const char16_t* const Names[] = {u"id", u"i", u"d", u"s", u"t", u"b"};
    for (Integer I = 0; I < 6; ++I) {
      Items.push_back(std::make_unique<TItem>());
      Controller->AddItemField(Items.back().get());
      Controller->SetItemFieldName(I, Names[I]);
    }
    Controller->SetDataSource(Source);
    Fx.Query->Open();
    for (Integer C = 0; C < ColumnCount; ++C) Links[C] = Controller->Fields()->Items(C + 1);
  }
  ~TBoundTable() { Controller.reset(); }

  TcxDBDataFilterCriteria* Filter() const { return Controller->DBFilter(); }

  // Empty when both select the same rows.
  std::string Compare() {
    TcxDBDataFilterCriteria* F = Filter();
    F->SetActive(true);
    const std::vector<Integer> InMemory = ShownIds(Controller.get());
    std::vector<Integer> InDataSet;
    std::string Error;
    try {
      F->SetAutoDataSetFilter(true);
      InDataSet = ShownIds(Controller.get());
    } catch (const Exception& E) {
      Error = E.what();
    }
    std::string Result;
    if (InMemory != InDataSet)
      Result = std::string(F->HasOption(fcoCaseInsensitive) ? "(any case) " : "") +
               (F->HasOption(fcoSoftNull) ? "(soft null) " : "") + StringToUTF8(F->FilterText()) +
               "\n  in memory: " + IdsText(InMemory) + "\n  dataset:   " + IdsText(InDataSet) + Error +
               "\n  rows:\n" + RowsText(Fx.Db);
    F->SetAutoDataSetFilter(false);
    Fx.Query->SetFiltered(false);
    Fx.Query->SetFilter(String());
    return Result;
  }

  TQueryFixture Fx;
  TDataSource* Source;
  std::vector<std::unique_ptr<TItem>> Items;
  std::unique_ptr<TcxDBDataController> Controller;
  TObject* Links[ColumnCount];
};

}  // namespace

// The cases that disagreed before, each on rows that hold Null, an empty
// text and values on both sides.
TEST(DataSetFilterAgreesWithMemory, NullsNegationsAndEmptyGroups) {
  TBoundTable T(
      "CREATE TABLE r (id INTEGER, i INTEGER, d DOUBLE, s TEXT, t DATETIME, b BOOLEAN);"
      "INSERT INTO r VALUES (0, NULL, NULL, NULL, NULL, NULL), (1, 0, 0.5, '', '2024-03-05 00:00:00', 0),"
      " (2, 7, 2.5, 'ab*', '2024-03-06 10:00:00.250', 1), (3, -1, 0.30000000000000004, 'abc', NULL, 1),"
      " (4, 5, 0.3, 'a', '1999-12-31 00:00:00', 0);");
  TcxDBDataFilterCriteria* F = T.Filter();
  TObject* const* L = T.Links;
  using TBuild = std::function<void()>;
  auto Item = [&](TcxFilterCriteriaItemList* AList, TColumn C, TcxFilterOperatorKind K, const Variant& V) {
    F->AddItem(AList, L[C], K, V, String());
  };
  auto Negated = [&](TcxFilterOperatorKind K, TColumn C, const Variant& V) {
    return [=, &F, &Item] { Item(F->Root()->AddItemList(fboNotAnd), C, K, V); };
  };
  const struct {
    const char* Name;
    TBuild Build;
  } Cases[] = {
      {"NOT (i <= 0)", Negated(foLessEqual, colI, 0)},
      {"i < 5", [&] { Item(nullptr, colI, foLess, 5); }},
      {"NOT (i IN (7, 5))", Negated(foInList, colI, VarArrayOf({7, 5}))},
      {"i NOT IN (7, NULL)", [&] { Item(nullptr, colI, foNotInList, VarArrayOf({7, Null()})); }},
      {"i NOT IN (7, 5)", [&] { Item(nullptr, colI, foNotInList, VarArrayOf({7, 5})); }},
      {"i IN (NULL)", [&] { Item(nullptr, colI, foInList, VarArrayOf({Null()})); }},
      {"i <> 7", [&] { Item(nullptr, colI, foNotEqual, 7); }},
      {"s NOT LIKE 'a%'", [&] { Item(nullptr, colS, foNotLike, u"a%"); }},
      {"s LIKE '%'", [&] { Item(nullptr, colS, foLike, u"%"); }},
      {"s LIKE '%%'", [&] { Item(nullptr, colS, foLike, u"%%"); }},
      {"s = 'ab*'", [&] { Item(nullptr, colS, foEqual, u"ab*"); }},
      {"i NOT BETWEEN 0 AND 5", [&] { Item(nullptr, colI, foNotBetween, MakeVariantPair(0, 5)); }},
      {"i BETWEEN NULL AND 5", [&] { Item(nullptr, colI, foBetween, MakeVariantPair(Null(), 5)); }},
      {"i BETWEEN 0 AND NULL", [&] { Item(nullptr, colI, foBetween, MakeVariantPair(0, Null())); }},
      {"i >= NULL", [&] { Item(nullptr, colI, foGreaterEqual, Null()); }},
      {"i < NULL", [&] { Item(nullptr, colI, foLess, Null()); }},
      {"t = a time with milliseconds",
       [&] { Item(nullptr, colT, foEqual, VarFromDateTime(EncodeDate(2024, 3, 6) + EncodeTime(10, 0, 0, 250))); }},
      {"d = 0.1 + 0.2", [&] { Item(nullptr, colD, foEqual, 0.1 + 0.2); }},
      {"s = '' with soft null",
       [&] {
         F->SetOptions({fcoSoftNull});
         Item(nullptr, colS, foEqual, u"");
       }},
      {"s <> '' with soft null",
       [&] {
         F->SetOptions({fcoSoftNull});
         Item(nullptr, colS, foNotEqual, u"");
       }},
      {"s >= 'A' in any case",
       [&] {
         F->SetOptions({fcoCaseInsensitive});
         Item(nullptr, colS, foGreaterEqual, u"_");
       }},
      {"a negated group holding only an empty group",
       [&] { F->Root()->AddItemList(fboNotAnd)->AddItemList(fboAnd); }},
      {"an empty group and a test",
       [&] {
         F->Root()->AddItemList(fboOr);
         Item(nullptr, colI, foGreater, 0);
       }},
  };
  for (const auto& C : Cases) {
    F->BeginUpdate();
    F->Clear();
    F->SetOptions({});
    C.Build();
    F->EndUpdate();
    EXPECT_EQ(T.Compare(), "") << C.Name;
  }
}

TEST(DataSetFilterAgreesWithMemory, RandomTablesAndCriteria) {
  // Fixed clock so the date ranges stay put.
  SetClockForTesting([] { return EncodeDate(2024, 3, 5) + 0.5; });
  const TPools Pools;
  std::mt19937 Random(20261210);
  TRandomCase Make(Random, Pools);
  constexpr Integer Tables = 10, CasesPerTable = 300;
  Integer Failures = 0;
  for (Integer N = 0; N < Tables; ++N) {
    TBoundTable T(Make.Table());
    TcxDBDataFilterCriteria* F = T.Filter();
    for (Integer Case = 0; Case < CasesPerTable && Failures < 5; ++Case) {
      F->BeginUpdate();
      F->Clear();
      TcxFilterCriteriaOptions Options;
      if (Make.Chance(40)) Options.insert(fcoCaseInsensitive);
      if (Make.Chance(40)) Options.insert(fcoSoftNull);
      F->SetOptions(Options);
      F->SetTranslateBetween(Make.Chance(30));
      F->SetTranslateIn(Make.Chance(30));
      const bool OwnWildcards = Make.Chance(20);
      F->SetPercentWildcard(OwnWildcards ? u'*' : u'%');
      F->SetUnderscoreWildcard(OwnWildcards ? u'?' : u'_');
      F->Root()->SetBoolOperatorKind(TcxFilterBoolOperatorKind(Make.Below(4)));
      Make.Group(F, F->Root(), T.Links, 0);
      F->EndUpdate();
      const std::string Difference = T.Compare();
      if (!Difference.empty()) {
        ++Failures;
        ADD_FAILURE() << "table " << N << " case " << Case << ": " << Difference;
      }
    }
  }
  ResetClockForTesting();
}
