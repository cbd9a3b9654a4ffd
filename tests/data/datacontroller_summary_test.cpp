// Footer and group summaries and their texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>

#include "data/cxDataSummary.h"
#include "tests/data/datacontroller_test_double.h"

namespace {

// Items: 0 group text, 1 float value, 2 text value.
class SummaryTest : public ::testing::Test {
protected:
  SummaryTest()
      : C({TcxWideStringValueType::StaticClass(), TcxFloatValueType::StaticClass(),
           TcxWideStringValueType::StaticClass()}) {
    C.BeginUpdate();
    C.AddRecord({Variant(String(u"a")), Variant(2.0), Variant(String(u"pear"))});
    C.AddRecord({Variant(String(u"a")), Variant(8.0), Variant(String(u"apple"))});
    C.AddRecord({Variant(String(u"b")), Null(), Variant(String(u"fig"))});
    C.AddRecord({Variant(String(u"b")), Variant(5.0), Null()});
    C.EndUpdate();
  }
  TcxDataSummary* S() { return C.Summary(); }
  Variant Footer(TcxSummaryKind AKind, Integer AItem = 1) {
    S()->FooterSummaryItems()->Clear();
    S()->FooterSummaryItems()->Add(C.GetItem(AItem), spFooter, AKind);
    return S()->FooterSummaryValues(0);
  }

  TTestControlDataController C;
};

TEST_F(SummaryTest, FooterKindsAndNullHandling) {
  EXPECT_DOUBLE_EQ(Footer(skSum).AsDouble(), 15.0);
  EXPECT_DOUBLE_EQ(Footer(skMin).AsDouble(), 2.0);  // a Null never starts a minimum
  EXPECT_DOUBLE_EQ(Footer(skMax).AsDouble(), 8.0);
  EXPECT_EQ(Footer(skCount).AsInteger(), 4);
  EXPECT_DOUBLE_EQ(Footer(skAverage).AsDouble(), 15.0 / 4);  // the Null counts as 0
  S()->SetOptions({soNullIgnore});
  EXPECT_EQ(Footer(skCount).AsInteger(), 3);
  EXPECT_DOUBLE_EQ(Footer(skAverage).AsDouble(), 5.0);
  EXPECT_TRUE(VarIsNull(Footer(skNone)));
}

TEST_F(SummaryTest, AveragesOfOnlyNulls) {
  for (Integer R = 0; R < 4; ++R) C.SetValue(R, 1, Null());
  EXPECT_EQ(Footer(skAverage).AsInteger(), 0);
  S()->SetOptions({soNullIgnore});
  EXPECT_TRUE(VarIsNull(Footer(skAverage)));
}

TEST_F(SummaryTest, FooterFollowsDataChangesAndFilters) {
  Footer(skSum);
  C.SetValue(0, 1, Variant(12.0));
  EXPECT_DOUBLE_EQ(S()->FooterSummaryValues(0).AsDouble(), 25.0);
  C.ApplyIncrementalFilter(0, u"b");
  EXPECT_DOUBLE_EQ(S()->FooterSummaryValues(0).AsDouble(), 5.0);
  EXPECT_TRUE(VarIsNull(S()->FooterSummaryValues(1)));
}

TEST_F(SummaryTest, GroupTexts) {
  S()->DefaultGroupSummaryItems()->Add(C.GetItem(1), spGroup, skSum);
  S()->DefaultGroupSummaryItems()->Add(C.GetItem(1), spGroup, skMin);
  C.SetItemGroupIndex(0, 0);
  C.SetValue(2, 1, Variant(5.0));
  ASSERT_EQ(C.Groups()->GetChildCount(-1), 2);
  EXPECT_EQ(S()->GroupSummaryText(0), u"(SUM=10.00, MIN=2.00)");
  EXPECT_EQ(S()->GroupSummaryText(1), u"(SUM=10.00, MIN=5.00)");
  S()->DefaultGroupSummaryItems()->SetSeparator(u";");
  S()->DefaultGroupSummaryItems()->Items(1)->SetFormat(u"least 0");
  EXPECT_EQ(S()->GroupSummaryText(0), u"(SUM=10.00; least 2)");
  EXPECT_EQ(S()->FooterSummaryTexts(0), u"");
}

TEST_F(SummaryTest, GroupsOrderedBySummary) {
  TcxDataSummaryItem* Sum = S()->DefaultGroupSummaryItems()->Add(C.GetItem(1), spGroup, skSum);
  C.SetItemGroupIndex(0, 0);  // a: 10, b: 5
  C.FocusRecord(3);
  C.SetSortBySummary(Sum, soAscending);
  EXPECT_EQ(C.RowTexts(0).front(), "b");
  EXPECT_EQ(C.GetFocusedRecordIndex(), 3);
  EXPECT_EQ(C.RowTexts(0)[size_t(C.GetFocusedRowIndex())], "b");
  C.SetSortBySummary(Sum, soDescending);
  EXPECT_EQ(C.RowTexts(0).front(), "a");
  S()->DefaultGroupSummaryItems()->Clear();  // freeing the item ends the ordering
  EXPECT_EQ(C.SortBySummaryItem(), nullptr);
}

// Group summaries taken in storage order into the group list's table, on
// random records over two levels, must equal the ones taken group by group
// (the way a summary handler forces), Nulls counted or ignored; the groups
// of key 4 hold only Nulls.
TEST(GroupSummaries, StorageOrderAgreesWithGroupByGroup) {
  TTestControlDataController D({TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass(),
                                 TcxFloatValueType::StaticClass()});
  std::mt19937 Random(777);
  D.BeginUpdate();
  for (Integer R = 0; R < 400; ++R) {
    const unsigned Key = Random() % 6, Text = Random() % 4, Value = Random() % 10;
    D.AddRecord({Key == 5 ? Null() : Variant(Integer(Key)), Text == 3 ? Null() : Variant(String(1, Char(u'a' + Text))),
                 Value == 0 || Key == 4 ? Null() : Variant(double(Random() % 2000) / 8 - 100)});
  }
  D.EndUpdate();
  TcxDataGroupSummaryItems* Items = D.Summary()->DefaultGroupSummaryItems();
  for (TcxSummaryKind Kind : {skSum, skMin, skMax, skAverage, skCount}) Items->Add(D.GetItem(2), spGroup, Kind);
  auto Summaries = [&] {
    D.ClearGrouping();
    D.SetItemGroupIndex(0, 0);
    D.SetItemGroupIndex(1, 1);
    std::vector<std::string> Result;
    TcxDataGroups* Groups = D.DataControllerInfo()->DataGroups();
    for (Integer G = 0; G < Groups->Count(); ++G) {
      const Variant Values = D.Summary()->GroupSummaryValues(G);
      std::string Line = std::to_string(Groups->Items(G)->Level) + ":";
      for (Integer I = 0; I < Items->Count(); ++I) {
        const Variant V = VarArrayGet(Values, {I});
        Line += " " + std::to_string(VarType(V)) + "=" + StringToUTF8(VarToStr(V));
      }
      Result.push_back(Line);
    }
    return Result;
  };
  for (bool NullIgnore : {false, true}) {
    D.Summary()->SetOptions(NullIgnore ? TcxSummaryOptions{soNullIgnore} : TcxSummaryOptions{});
    Items->OnSummary = nullptr;
    const std::vector<std::string> InStorageOrder = Summaries();
    Items->OnSummary = TcxSummaryEvent(&D, [](TcxDataSummaryItems*, const TcxSummaryEventArguments&,
                                              TcxSummaryEventOutArguments&) {});
    const std::vector<std::string> GroupByGroup = Summaries();
    ASSERT_GT(InStorageOrder.size(), 20u);
    EXPECT_EQ(InStorageOrder, GroupByGroup) << "null ignore " << NullIgnore;
  }
  Items->OnSummary = nullptr;
}

// Group summaries of integer and float columns, on random records over two
// levels with Nulls, must equal the ones a plain loop takes over the raw
// values of each group's records: a Null counts (as 0 in sums and averages)
// unless Nulls are ignored, never sets a minimum or maximum, and a group of
// only Nulls sums to 0, or to Null when they are ignored.
TEST(GroupSummaries, AgreeWithAPlainLoopOverTheRawValues) {
  TTestControlDataController D({TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass(),
                                 TcxIntegerValueType::StaticClass(), TcxFloatValueType::StaticClass()});
  std::mt19937 Random(2026);
  constexpr Integer Records = 600;
  std::vector<std::optional<double>> Raw[2];  // the integer and the float column
  D.BeginUpdate();
  for (Integer R = 0; R < Records; ++R) {
    const unsigned Key = Random() % 7, Text = Random() % 5;
    // Key 6 holds only Nulls; elsewhere one value in five is Null.
    const bool IntNull = Key == 6 || Random() % 5 == 0, FloatNull = Key == 6 || Random() % 5 == 0;
    const Integer Int = Integer(Random() % 2001) - 1000;
    const double Float = double(Random() % 100000) / 64 - 700;
    Raw[0].push_back(IntNull ? std::nullopt : std::optional<double>(Int));
    Raw[1].push_back(FloatNull ? std::nullopt : std::optional<double>(Float));
    D.AddRecord({Variant(Integer(Key)), Text == 4 ? Null() : Variant(String(1, Char(u'a' + Text))),
                 IntNull ? Null() : Variant(Int), FloatNull ? Null() : Variant(Float)});
  }
  D.EndUpdate();
  const TcxSummaryKind Kinds[] = {skSum, skMin, skMax, skCount, skAverage};
  TcxDataGroupSummaryItems* Items = D.Summary()->DefaultGroupSummaryItems();
  for (Integer Column : {2, 3})
    for (TcxSummaryKind Kind : Kinds) Items->Add(D.GetItem(Column), spGroup, Kind);
  D.SetItemGroupIndex(0, 0);
  D.SetItemGroupIndex(1, 1);
  // Null when the plain loop finds no value.
  auto Expected = [&](const std::vector<Integer>& ARecords, Integer AColumn, TcxSummaryKind AKind,
                      bool ANullIgnore) -> std::optional<double> {
    double Sum = 0, Min = 1e300, Max = -1e300;
    Integer Count = 0, Values = 0;
    for (Integer R : ARecords) {
      const std::optional<double>& V = Raw[AColumn][size_t(R)];
      if (!V && ANullIgnore) continue;
      ++Count;
      if (!V) continue;
      ++Values;
      Sum += *V;
      Min = std::min(Min, *V);
      Max = std::max(Max, *V);
    }
    switch (AKind) {
      case skCount: return double(Count);
      case skSum: return Count > 0 ? std::optional<double>(Sum) : std::nullopt;
      case skAverage: return Count > 0 ? std::optional<double>(Sum / Count) : std::nullopt;
      case skMin: return Values > 0 ? std::optional<double>(Min) : std::nullopt;
      case skMax: return Values > 0 ? std::optional<double>(Max) : std::nullopt;
      default: return std::nullopt;
    }
  };
  TcxDataGroups* Groups = D.DataControllerInfo()->DataGroups();
  for (bool NullIgnore : {false, true}) {
    D.Summary()->SetOptions(NullIgnore ? TcxSummaryOptions{soNullIgnore} : TcxSummaryOptions{});
    ASSERT_GT(Groups->Count(), 30);
    Integer OnlyNullGroups = 0;
    for (Integer G = 0; G < Groups->Count(); ++G) {
      std::vector<Integer> Records;
      D.DataControllerInfo()->GetRecordsOfGroup(G, Records);
      ASSERT_FALSE(Records.empty());
      if (std::none_of(Records.begin(), Records.end(), [&](Integer R) { return Raw[0][size_t(R)].has_value(); }))
        ++OnlyNullGroups;
      const Variant Values = D.Summary()->GroupSummaryValues(G);
      for (Integer Column : {0, 1})
        for (size_t K = 0; K < std::size(Kinds); ++K) {
          const Variant Got = VarArrayGet(Values, {Column * Integer(std::size(Kinds)) + Integer(K)});
          const std::optional<double> Want = Expected(Records, Column, Kinds[K], NullIgnore);
          SCOPED_TRACE("group " + std::to_string(G) + " column " + std::to_string(Column) + " kind " +
                       std::to_string(Kinds[K]) + " null ignore " + std::to_string(NullIgnore));
          ASSERT_EQ(VarIsNull(Got), !Want.has_value()) << StringToUTF8(VarToStr(Got));
          if (Want) EXPECT_NEAR(Got.AsDouble(), *Want, 1e-9 * (1 + std::abs(*Want)));
        }
    }
    EXPECT_GT(OnlyNullGroups, 0);
  }
}

TEST_F(SummaryTest, TextValuesAreShownAsTextAndNeverRaise) {
  // Minimum and maximum of texts, and sums over texts among numbers.
  S()->FooterSummaryItems()->Add(C.GetItem(2), spFooter, skMin);
  S()->FooterSummaryItems()->Add(C.GetItem(2), spFooter, skMax);
  S()->FooterSummaryItems()->Add(C.GetItem(2), spFooter, skSum);
  S()->DefaultGroupSummaryItems()->Add(C.GetItem(2), spGroup, skMax);
  EXPECT_NO_THROW(C.SetItemGroupIndex(0, 0));
  EXPECT_EQ(S()->FooterSummaryTexts(0), u"MIN=apple");
  EXPECT_EQ(S()->FooterSummaryTexts(1), u"MAX=pear");
  EXPECT_NO_THROW(S()->FooterSummaryTexts(2));
  EXPECT_EQ(S()->GroupSummaryText(0), u"(MAX=pear)");
  C.BeginUpdate();
  C.SetValue(3, 2, Variant(7.5));
  EXPECT_NO_THROW(C.EndUpdate());
}

TEST_F(SummaryTest, ChangingOnlyTheFormatRepaintsWithoutRecalculating) {
  Footer(skSum);
  Integer Calculations = 0;
  S()->OnAfterSummary = TcxAfterSummaryEvent(&C, [&](TcxDataSummary*) { ++Calculations; });
  C.Notices.clear();
  S()->FooterSummaryItems()->Items(0)->SetFormat(u"0");
  EXPECT_EQ(Calculations, 0);
  EXPECT_EQ(C.Notices, (std::vector<std::string>{"layout"}));
  S()->FooterSummaryItems()->Items(0)->SetKind(skMax);
  EXPECT_EQ(Calculations, 1);
  EXPECT_EQ(S()->FooterSummaryTexts(0), u"8");
}

TEST_F(SummaryTest, AFailingSummaryHandlerStillLetsTheNoticesThrough) {
  Footer(skSum);
  S()->OnAfterSummary = TcxAfterSummaryEvent(&C, [](TcxDataSummary*) { throw Exception(u"handler failed"); });
  C.Notices.clear();
  EXPECT_THROW(C.SetValue(0, 1, Variant(1.0)), Exception);
  EXPECT_EQ(C.Notices, (std::vector<std::string>{"data(0,1,0)"}));
  S()->OnAfterSummary = nullptr;
  C.SetValue(1, 1, Variant(1.0));
  EXPECT_DOUBLE_EQ(S()->FooterSummaryValues(0).AsDouble(), 7.0);
}

TEST_F(SummaryTest, RemovingAnItemUnlinksItsSummaries) {
  Footer(skSum);
  C.RemoveItem(C.GetItem(1));
  EXPECT_EQ(S()->FooterSummaryItems()->Items(0)->Field(), nullptr);
  EXPECT_TRUE(VarIsNull(S()->FooterSummaryValues(0)));
}

}  // namespace
