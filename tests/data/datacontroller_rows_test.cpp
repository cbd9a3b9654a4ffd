// Row list building through the control data controller's test double:
// sorting, filtering, grouping, focus and selection across rebuilds.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <random>

#include "data/cxDataFilterBinding.h"
#include "data/cxVariants.h"
#include "tests/data/datacontroller_test_double.h"

namespace {

using Records = std::vector<Integer>;

// Items: 0 integer key, 1 text, 2 float.
class RowsTest : public ::testing::Test {
protected:
  RowsTest()
      : C({TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass(),
           TcxFloatValueType::StaticClass()}) {}

  void Load(const std::vector<std::tuple<Integer, const char16_t*, double>>& ARows) {
    C.BeginUpdate();
    for (const auto& [K, T, F] : ARows) C.AddRecord({Variant(K), Variant(String(T)), Variant(F)});
    C.EndUpdate();
  }

  TTestControlDataController C;
};

TEST_F(RowsTest, StableSortInBothDirectionsKeepsTiesInRecordOrder) {
  Load({{2, u"b", 0}, {1, u"a", 0}, {2, u"c", 0}, {1, u"d", 0}, {2, u"e", 0}});
  C.SetItemSortOrder(0, soAscending);
  EXPECT_EQ(C.RowRecords(), (Records{1, 3, 0, 2, 4}));
  C.SetItemSortOrder(0, soDescending);
  EXPECT_EQ(C.RowRecords(), (Records{0, 2, 4, 1, 3}));
  // Two columns: key descending, then text descending.
  C.SetItemSortOrder(1, soDescending);
  EXPECT_EQ(C.RowTexts(1), (std::vector<std::string>{"e", "c", "b", "d", "a"}));
  C.ClearSorting(false);
  EXPECT_EQ(C.RowRecords(), (Records{0, 1, 2, 3, 4}));
}

TEST_F(RowsTest, NullsSortFirstAndTextsByCodeOrderUnlessIgnoringCase) {
  Load({{1, u"b", 0}, {2, u"B", 0}, {3, u"a", 0}});
  C.SetValue(1, 1, Null());
  C.SetItemSortOrder(1, soAscending);
  EXPECT_EQ(C.RowRecords(), (Records{1, 2, 0}));
  C.SetValue(1, 1, Variant(String(u"B")));
  C.SetOptions(C.GetOptions() | dcoCompareIgnoreCase);
  // "a" < "b" = "B": the tie keeps record order.
  EXPECT_EQ(C.RowRecords(), (Records{2, 0, 1}));
}

// Sorting looks first at the code units after the beginning every text
// shares; random texts with and without such a beginning, Nulls, the empty
// text and texts ending where others go on must still come in code order,
// Nulls first, ties in record order.
TEST_F(RowsTest, TextSortAgreesWithCodeOrderOnRandomTexts) {
  std::mt19937 Random(99);
  for (const String& Beginning : {String(), String(u"DZ-2024-"), String(u"a")}) {
    C.BeginUpdate();
    C.SetRecordCount(0);
    std::vector<Variant> Values;
    for (Integer R = 0; R < 500; ++R) {
      String T = Beginning;
      for (size_t K = Random() % 7; K > 0; --K) T += Char(u'a' + Random() % 3);
      Values.push_back(Random() % 25 == 0 ? Null() : Variant(T));
      C.AddRecord({Variant(R), Values.back(), Variant(0.0)});
    }
    C.EndUpdate();
    for (TcxDataSortOrder Order : {soAscending, soDescending}) {
      C.SetItemSortOrder(1, Order);
      Records Expected(Values.size());
      std::iota(Expected.begin(), Expected.end(), 0);
      std::stable_sort(Expected.begin(), Expected.end(), [&](Integer A, Integer B) {
        const Variant &X = Values[size_t(A)], &Y = Values[size_t(B)];
        const Integer R = VarIsNull(X) || VarIsNull(Y) ? Integer(VarIsNull(Y)) - Integer(VarIsNull(X))
                                                       : Integer(X.RawString().compare(Y.RawString()));
        return Order == soAscending ? R < 0 : R > 0;
      });
      EXPECT_EQ(C.RowRecords(), Expected) << StringToUTF8(Beginning) << " order " << Order;
    }
    C.ClearSorting(false);
  }
}

// Sorting by several stored columns takes a quicker road than the general
// comparison a compare handler forces; on random records (Nulls, ties,
// negative numbers, texts sharing a beginning and running past it) both
// roads must give the same rows for every pair of columns and directions.
TEST_F(RowsTest, MultiColumnSortAgreesWithTheGeneralComparison) {
  std::mt19937 Random(7);
  auto MaybeNull = [&](const Variant& V) { return Random() % 20 == 0 ? Null() : V; };
  C.BeginUpdate();
  for (Integer R = 0; R < 600; ++R) {
    String T = Random() % 2 ? String(u"山-") : String();
    for (size_t K = Random() % 8; K > 0; --K) T += Char(u'a' + Random() % 3);
    C.AddRecord({MaybeNull(Variant(Integer(Random() % 15) - 7)), MaybeNull(Variant(T)),
                 MaybeNull(Variant(double(Random() % 9) / 4 - 1))});
  }
  C.EndUpdate();
  const struct {
    Integer First, Second;
  } Pairs[] = {{1, 0}, {0, 1}, {2, 1}, {1, 2}};
  auto SortedRows = [&](Integer AFirst, TcxDataSortOrder AFirstOrder, Integer ASecond, TcxDataSortOrder ASecondOrder) {
    C.ClearSorting(false);
    C.BeginUpdate();
    C.SetItemSortOrder(AFirst, AFirstOrder);
    C.SetItemSortOrder(ASecond, ASecondOrder);
    C.EndUpdate();
    return C.RowRecords();
  };
  const TcxDataControllerCompareEvent General(
      &C, [](TcxCustomDataController*, Integer, Integer, Integer, const Variant& V1, const Variant& V2, Integer& R) {
        R = CompareVariantValues(V1, V2);
      });
  for (const auto& P : Pairs)
    for (TcxDataSortOrder First : {soAscending, soDescending})
      for (TcxDataSortOrder Second : {soAscending, soDescending}) {
        C.OnCompare = {};
        const Records Quick = SortedRows(P.First, First, P.Second, Second);
        C.OnCompare = General;
        EXPECT_EQ(SortedRows(P.First, First, P.Second, Second), Quick)
            << "items " << P.First << ", " << P.Second << " orders " << First << ", " << Second;
      }
}

TEST_F(RowsTest, CompareHandlerDecidesTheOrder) {
  Load({{1, u"a", 0}, {2, u"b", 0}, {3, u"c", 0}});
  // Odd keys first, then even; ties (none here) by record.
  C.OnCompare = TcxDataControllerCompareEvent(
      &C, [](TcxCustomDataController*, Integer, Integer, Integer, const Variant& V1, const Variant& V2, Integer& R) {
        R = (V1.AsInteger() % 2 == 0) - (V2.AsInteger() % 2 == 0);
      });
  C.SetItemSortOrder(0, soAscending);
  EXPECT_EQ(C.RowRecords(), (Records{0, 2, 1}));
}

TEST_F(RowsTest, FilterKeepsTheRecordBeingEditedVisible) {
  Load({{1, u"x", 0}, {2, u"y", 0}, {3, u"x", 0}});
  C.Filter()->AddItem(nullptr, C.GetItem(1), foEqual, Variant(String(u"x")), u"x");
  C.Filter()->SetActive(true);
  EXPECT_EQ(C.RowRecords(), (Records{0, 2}));
  C.FocusRecord(2);
  ASSERT_TRUE(C.SetItemEditValue(1, Variant(String(u"z"))));
  // The edited record no longer passes, but stays while it is edited.
  EXPECT_EQ(C.RowRecords(), (Records{0, 2}));
  EXPECT_EQ(C.GetFocusedRecordIndex(), 2);
  C.PostRecord();
  EXPECT_EQ(C.RowRecords(), (Records{0}));
  EXPECT_EQ(C.GetFocusedRowIndex(), 0);
}

TEST_F(RowsTest, FilterChangePostsThePendingEdit) {
  Load({{1, u"x", 0}, {2, u"y", 0}});
  C.FocusRecord(1);
  ASSERT_TRUE(C.SetItemEditValue(1, Variant(String(u"x"))));
  C.Filter()->AddItem(nullptr, C.GetItem(1), foEqual, Variant(String(u"x")), u"x");
  C.Filter()->SetActive(true);
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(VarToStr(C.GetValue(1, 1)), u"x");
  EXPECT_EQ(C.RowRecords(), (Records{0, 1}));
}

// The filter reads stored texts in place for LIKE; on random texts (Nulls,
// integers and floats in the same items included) it must pass exactly the
// records the condition passes when asked through the record values.
TEST_F(RowsTest, LikeOnStoredTextsAgreesWithTheGeneralWay) {
  const std::vector<String> Parts = {u"a", u"b", u"山", u"\U00020000"};
  std::mt19937 Random(4242);
  auto Text = [&](size_t AMaxLength) {
    String Result;
    for (size_t I = Random() % (AMaxLength + 1); I > 0; --I) Result += Parts[Random() % Parts.size()];
    return Result;
  };
  C.BeginUpdate();
  for (Integer R = 0; R < 300; ++R) {
    const unsigned Kind = Random() % 8;
    C.AddRecord({Variant(R), Kind == 0 ? Null() : Variant(Text(6)), Variant(double(R % 7))});
  }
  C.EndUpdate();
  for (Integer Round = 0; Round < 60; ++Round) {
    const bool OnNumber = Round % 5 == 4;
    String Pattern = Text(3);
    for (size_t I = Random() % 3; I > 0; --I) Pattern.insert(Random() % (Pattern.size() + 1), Random() % 3 ? u"%" : u"_");
    const TcxFilterOperatorKind Kind = Round % 2 ? foLike : foNotLike;
    C.Filter()->Clear();
    TcxFilterCriteriaItem* Item =
        C.Filter()->AddItem(nullptr, C.GetItem(OnNumber ? 2 : 1), Kind, Variant(Pattern), Pattern);
    C.Filter()->SetActive(true);
    Records Expected;
    for (Integer R = 0; R < C.GetRecordCount(); ++R)
      if (Item->Operator()->Compare(Item->GetDataValue(R), Item->Value())) Expected.push_back(R);
    EXPECT_EQ(C.RowRecords(), Expected) << "round " << Round << " pattern " << StringToUTF8(Pattern);
  }
}

// A LIKE filter on stored texts is read in one pass over the records; what
// else shapes the result (the edited record, a filter handler, a negated or
// second condition, case) must count as it does record by record.
TEST(RowsFilterTest, OnePassLikeFilterKeepsWhatElseDecides) {
  struct TCase {
    const char* Name;
    std::function<void(TTestControlDataController&)> Setup;  // before the filter is on
    Records Expected;
    std::function<void(TTestControlDataController&)> After = nullptr;  // with the filter on
  };
  auto Like = [](TTestControlDataController& D, TcxFilterCriteriaItemList* AList, const char16_t* APattern) {
    D.Filter()->AddItem(AList, D.GetItem(1), foLike, Variant(String(APattern)), APattern);
  };
  const TCase Cases[] = {
      {"plain", [&](TTestControlDataController& D) { Like(D, nullptr, u"x%"); }, {0, 2, 4}},
      {"appended record stays while edited",
       [&](TTestControlDataController& D) { Like(D, nullptr, u"x%"); },
       {0, 2, 4, 5},
       [](TTestControlDataController& D) { D.Append(); }},
      {"handler filters too",
       [&](TTestControlDataController& D) {
         Like(D, nullptr, u"x%");
         D.OnFilterRecord = TcxDataFilterRecordEvent(
             &D, [](TcxCustomDataController*, Integer ARecord, bool& Accept) { Accept = ARecord != 2; });
       },
       {0, 4}},
      {"negated", [&](TTestControlDataController& D) { Like(D, D.Filter()->Root()->AddItemList(fboNotAnd), u"x%"); }, {1, 3}},
      {"second condition",
       [&](TTestControlDataController& D) {
         Like(D, nullptr, u"x%");
         D.Filter()->AddItem(nullptr, D.GetItem(0), foGreater, Variant(Integer(1)), u"1");
       },
       {2, 4}},
      {"any case",
       [&](TTestControlDataController& D) {
         Like(D, nullptr, u"X%");
         D.Filter()->SetOptions({fcoCaseInsensitive});
       },
       {0, 2, 4}},
      {"null text as empty", [&](TTestControlDataController& D) { Like(D, nullptr, u"%"); }, {0, 1, 2, 3, 4}},
  };
  for (const TCase& Case : Cases) {
    TTestControlDataController D(
        {TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass(), TcxFloatValueType::StaticClass()});
    D.BeginUpdate();
    const std::pair<Integer, String> Rows[] = {{1, u"x1"}, {2, u"y"}, {3, u"xx"}, {4, u"z"}, {5, u"x"}};
    for (const auto& [Key, Text] : Rows) D.AddRecord({Variant(Key), Variant(Text), Variant(0.0)});
    D.EndUpdate();
    D.SetValue(3, 1, Null());
    D.BeginUpdate();
    Case.Setup(D);
    D.Filter()->SetActive(true);
    D.EndUpdate();
    if (Case.After) Case.After(D);
    EXPECT_EQ(D.RowRecords(), Case.Expected) << Case.Name;
  }
}

TEST_F(RowsTest, FocusClampsAndFollowsItsRecordThroughRebuilds) {
  Load({{3, u"c", 0}, {1, u"a", 0}, {2, u"b", 0}});
  C.FocusRow(5);
  EXPECT_EQ(C.GetFocusedRowIndex(), 2);
  C.FocusRow(-7);
  EXPECT_EQ(C.GetFocusedRowIndex(), -1);
  C.FocusRecord(0);
  C.SetItemSortOrder(0, soAscending);
  EXPECT_EQ(C.GetFocusedRecordIndex(), 0);
  EXPECT_EQ(C.GetFocusedRowIndex(), 2);
  // Deleting the focused record leaves the focus on its row, clamped.
  C.DeleteRecord(0);
  EXPECT_EQ(C.GetRowCount(), 2);
  EXPECT_EQ(C.GetFocusedRowIndex(), 1);
  C.FocusPriorRow();
  C.FocusPriorRow();
  EXPECT_EQ(C.GetFocusedRowIndex(), 0);
  // Records inserted before the focused one shift it; the focus stays on it.
  const Integer Focused = C.GetFocusedRecordIndex();
  C.InsertRecord(0);
  EXPECT_EQ(C.GetFocusedRecordIndex(), Focused + 1);
}

TEST_F(RowsTest, FocusFirstRowAfterReorderFocusesRowZeroAndClearsSelection) {
  Load({{3, u"c", 0}, {1, u"a", 0}, {2, u"b", 0}});
  C.SetMultiSelect(true);
  C.SetOptions(C.GetOptions() | dcoFocusFirstRowAfterReorder);
  C.FocusRow(2);
  C.ChangeRowSelection(1, true);
  C.SetItemSortOrder(0, soAscending);
  EXPECT_EQ(C.GetFocusedRowIndex(), 0);
  EXPECT_EQ(C.GetSelectedCount(), 0);
}

class GroupingTest : public RowsTest {
protected:
  void SetUp() override {
    // Groups by text: a (records 0, 2), b (1, 4), c (3).
    Load({{1, u"a", 1}, {2, u"b", 2}, {3, u"a", 3}, {4, u"c", 4}, {5, u"b", 5}});
    C.SetItemGroupIndex(1, 0);
  }
};

TEST_F(GroupingTest, GroupRowsDataRowsAndExpansion) {
  ASSERT_EQ(C.GetRowCount(), 3);
  EXPECT_EQ(C.RowTexts(1), (std::vector<std::string>{"a", "b", "c"}));
  TcxRowInfo Info = C.GetRowInfo(1);
  EXPECT_EQ(Info.Level, 0);
  EXPECT_FALSE(Info.Expanded);
  EXPECT_EQ(Info.RecordIndex, 1);
  C.ChangeExpanding(1, true, false);
  EXPECT_EQ(C.GetRowCount(), 5);
  EXPECT_EQ(C.RowRecords(), (Records{0, 1, 1, 4, 3}));
  EXPECT_EQ(C.GetRowInfo(2).Level, 1);
  EXPECT_EQ(C.GetRowInfo(3).RecordIndex, 4);
  std::vector<Integer> Records;
  C.Groups()->GetRecordsOfRow(1, Records);
  EXPECT_EQ(Records, (std::vector<Integer>{1, 4}));
  EXPECT_THROW(C.GetRowInfo(5), EcxInvalidDataControllerOperation);
}

TEST_F(GroupingTest, ExpansionAndSelectionSurviveRebuilds) {
  C.SetMultiSelect(true);
  C.ChangeExpanding(1, true, false);  // b
  C.ChangeRowSelection(4, true);      // group c
  C.ChangeRowSelection(2, true);      // record 1 in b
  // A value change regroups: a new group "aa" appears before b.
  C.SetValue(0, 1, Variant(String(u"aa")));
  EXPECT_EQ(C.RowTexts(1), (std::vector<std::string>{"a", "aa", "b", "b", "b", "c"}));
  EXPECT_TRUE(C.GetRowInfo(2).Expanded);
  EXPECT_TRUE(C.IsRowSelected(5));  // group c
  EXPECT_TRUE(C.IsRowSelected(3));  // record 1
  EXPECT_EQ(C.GetSelectedCount(), 2);
}

TEST_F(GroupingTest, WithoutKeepOptionGroupsComeBackCollapsed) {
  C.SetOptions(C.GetOptions() & ~dcoKeepExpansionAndSelection);
  C.ChangeExpanding(1, true, false);
  C.SetValue(0, 1, Variant(String(u"aa")));
  for (Integer R = 0; R < C.GetRowCount(); ++R) EXPECT_FALSE(C.GetRowInfo(R).Expanded);
}

TEST_F(GroupingTest, FocusingARecordExpandsItsGroupAndGroupOrderFollowsSorting) {
  C.FocusRecord(4);
  EXPECT_EQ(C.GetFocusedRecordIndex(), 4);
  EXPECT_EQ(C.GetRowInfo(C.GetFocusedRowIndex()).Level, 1);
  C.SetItemSortOrder(1, soDescending);
  EXPECT_EQ(C.GetRowInfo(0).RecordIndex, 3);  // c first
  EXPECT_EQ(C.GetFocusedRecordIndex(), 4);
  EXPECT_EQ(C.GetItemSortOrder(1), soDescending);
  C.SetItemSortOrder(1, soNone);  // a grouping field stays sorted ascending
  EXPECT_EQ(C.GetItemSortOrder(1), soAscending);
  C.SetItemGroupIndex(1, -1);
  EXPECT_EQ(C.GetRowCount(), 5);
  EXPECT_EQ(C.GetFocusedRecordIndex(), 4);
}

TEST_F(GroupingTest, NewRecordTakesTheGroupValuesOfTheFocusedRecord) {
  C.FocusRecord(3);  // in group c
  C.Insert();
  const Integer New = C.Provider()->EditingRecordIndex();
  EXPECT_EQ(VarToStr(C.GetValue(New, 1)), u"c");
  C.SetItemEditValue(0, Variant(Integer(9)));
  C.PostRecord();
  std::vector<Integer> Records;
  C.Groups()->GetRecordsOfGroup(C.Groups()->GetChildIndex(-1, 2), Records);
  EXPECT_EQ(Records.size(), 2u);
}

}  // namespace
