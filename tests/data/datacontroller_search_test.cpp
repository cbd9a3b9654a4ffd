// Incremental search and record location.
#include <gtest/gtest.h>

#include "data/cxDataControllerSearch.h"
#include "data/cxDataFilterBinding.h"
#include "tests/data/datacontroller_test_double.h"

namespace {

class SearchTest : public ::testing::Test {
protected:
  SearchTest() : C({TcxWideStringValueType::StaticClass(), TcxIntegerValueType::StaticClass()}) {
    C.BeginUpdate();
    Integer K = 0;
    for (const char16_t* T : {u"Apple", u"banana", u"Abacus", u"cherry", u"avocado"})
      C.AddRecord({Variant(String(T)), Variant(K++)});
    C.EndUpdate();
  }
  TcxDataControllerSearch* S() { return C.Search(); }
  TTestControlDataController C;
};

TEST_F(SearchTest, LocateFindsFromTheFocusedRecordAndWrapsOnce) {
  C.FocusRecord(2);  // "Abacus" starts with "ab"
  EXPECT_TRUE(S()->Locate(0, u"ab"));
  EXPECT_EQ(C.GetFocusedRecordIndex(), 2);
  EXPECT_TRUE(S()->GetSearching());
  EXPECT_EQ(S()->GetSearchText(), u"ab");
  EXPECT_EQ(S()->GetItemIndex(), 0);
  C.FocusRecord(3);
  EXPECT_FALSE(S()->GetSearching());  // a focus change of its own cancels the search
  EXPECT_TRUE(S()->Locate(0, u"a"));
  EXPECT_EQ(C.GetFocusedRecordIndex(), 4);
  EXPECT_TRUE(S()->Locate(0, u"APP"));  // wraps to the top
  EXPECT_EQ(C.GetFocusedRecordIndex(), 0);
}

TEST_F(SearchTest, LocateWithoutMatchOrTextChangesNothing) {
  C.FocusRecord(1);
  ASSERT_TRUE(S()->Locate(0, u"b"));
  EXPECT_FALSE(S()->Locate(0, u"zz"));
  EXPECT_TRUE(S()->GetSearching());
  EXPECT_EQ(S()->GetSearchText(), u"b");
  EXPECT_EQ(C.GetFocusedRecordIndex(), 1);
  EXPECT_FALSE(S()->Locate(0, u""));
  EXPECT_THROW(S()->Locate(5, u"a"), EcxInvalidDataControllerOperation);
}

TEST_F(SearchTest, LocateNextForwardAndBackwardWithoutWrapping) {
  C.FocusRecord(0);
  ASSERT_TRUE(S()->Locate(0, u"a"));
  EXPECT_TRUE(S()->LocateNext(true));
  EXPECT_EQ(C.GetFocusedRecordIndex(), 2);
  EXPECT_TRUE(S()->LocateNext(true));
  EXPECT_EQ(C.GetFocusedRecordIndex(), 4);
  EXPECT_FALSE(S()->LocateNext(true));  // no wrap past the last
  EXPECT_EQ(C.GetFocusedRecordIndex(), 4);
  EXPECT_TRUE(S()->LocateNext(false));
  EXPECT_TRUE(S()->LocateNext(false));
  EXPECT_EQ(C.GetFocusedRecordIndex(), 0);
  EXPECT_FALSE(S()->LocateNext(false));  // no wrap from the first to the last
  EXPECT_EQ(C.GetFocusedRecordIndex(), 0);
  EXPECT_TRUE(S()->GetSearching());
}

TEST_F(SearchTest, SearchNoticesAndCancel) {
  C.Notices.clear();
  ASSERT_TRUE(S()->Locate(0, u"c"));
  EXPECT_EQ(C.Notices.back(), "search");
  C.Notices.clear();
  S()->Cancel();
  EXPECT_EQ(C.Notices, (std::vector<std::string>{"search"}));
  EXPECT_FALSE(S()->LocateNext(true));
  // Removing the search item ends the search.
  ASSERT_TRUE(S()->Locate(0, u"c"));
  C.RemoveItem(C.GetItem(0));
  EXPECT_FALSE(S()->GetSearching());
  EXPECT_EQ(S()->GetItemIndex(), -1);
}

TEST_F(SearchTest, FindRecordIndexByText) {
  C.SetItemSortOrder(0, soAscending);  // Abacus, Apple, avocado, banana, cherry
  struct Case {
    Integer Start;
    const char16_t* Text;
    bool Partial, Forward, Wrap;
    Integer Expected;
  };
  const Case Cases[] = {
      {0, u"a", true, true, false, 2},       {1, u"ab", true, true, false, -1},
      {1, u"ab", true, true, true, 2},       {0, u"ab", true, true, true, 2},
      {4, u"a", true, false, false, 4},      {4, u"banana", false, false, false, 1},
      {0, u"banana", false, false, true, 1}, {0, u"ban", false, true, false, -1},
      {0, u"ab", true, false, true, 2},      {-1, u"a", true, true, true, -1},
      {5, u"a", true, true, true, -1},       {2, u"cherry", true, false, true, 3},
  };
  for (const auto& K : Cases)
    EXPECT_EQ(C.FindRecordIndexByText(K.Start, 0, K.Text, K.Partial, K.Forward, K.Wrap), K.Expected)
        << "start " << K.Start << " forward " << K.Forward << " wrap " << K.Wrap;
  EXPECT_THROW(C.FindRecordIndexByText(0, 9, u"a", true, true, false), EcxInvalidDataControllerOperation);
}

TEST_F(SearchTest, FindRecordByFieldsAndKeyLocate) {
  TcxDataControllerKeyLocateObject Locate(&C);
  Locate.Fields() = {C.GetItemField(0), C.GetItemField(1)};
  Locate.SetValue(C.GetItemField(0), Variant(String(u"cherry")));
  Locate.SetValue(C.GetItemField(1), Variant(Integer(3)));
  EXPECT_EQ(Locate.FindRecordIndex(), 3);
  Locate.SetValue(C.GetItemField(1), Variant(Integer(4)));
  EXPECT_EQ(Locate.FindRecordIndex(), -1);
  EXPECT_EQ(C.FindRecordByFields(Locate.RecordIndex(), {}), -1);
  EXPECT_EQ(C.FindRecordByFields(Locate.RecordIndex(), {C.GetItemField(0)}), 3);
}

TEST_F(SearchTest, GroupLocateFindsTheRecordOfAGroup) {
  C.SetItemGroupIndex(1, 0);
  TcxDataControllerGroupLocateObject Locate(&C);
  Locate.SetLevel(0);
  Locate.SetValue(C.GetItemField(1), Variant(Integer(4)));
  EXPECT_EQ(Locate.FindRecordIndex(), 4);
  Locate.SetValue(C.GetItemField(1), Variant(Integer(9)));
  EXPECT_EQ(Locate.FindRecordIndex(), -1);
}

TEST_F(SearchTest, ReadersLoadARecordFromAnotherRecordOrFromHeldValues) {
  TcxValueDef* Text = C.GetItemField(0)->ValueDef();
  TcxValueDef* Key = C.GetItemField(1)->ValueDef();
  const Integer Copy = C.AppendRecord();
  TcxValueDefRecordReader FromRecord(&C, 3);
  C.DataStorage()->LoadRecord(Copy, &FromRecord, false);
  EXPECT_EQ(VarToStr(C.GetValue(Copy, 0)), u"cherry");
  EXPECT_EQ(C.GetValue(Copy, 1).AsInteger(), 3);

  TcxValueDefUnboundReader Held;
  Held.SetValue(Key, Variant(Integer(42)));
  Held.SetValue(Text, Variant(String(u"kiwi")));
  EXPECT_TRUE(VarIsNull(Held.GetValue(nullptr)));
  Held.Truncate(1);
  EXPECT_TRUE(VarIsNull(Held.GetValue(Text)));
  EXPECT_EQ(Held.GetValue(Key).AsInteger(), 42);
}

TEST_F(SearchTest, FilterValueList) {
  C.SetValue(1, 0, Null());
  TcxDataFilterValueList List(C.Filter());
  List.Load(0);
  EXPECT_EQ(List.Items(0).Kind, fviAll);
  EXPECT_EQ(List.Items(1).Kind, fviCustom);
  EXPECT_NE(List.IndexOfKind(fviBlanks), -1);
  EXPECT_NE(List.IndexOfKind(fviNonBlanks), -1);
  C.SetValue(1, 0, Variant(String(u"banana")));
  List.Load(0);
  EXPECT_EQ(List.IndexOfKind(fviBlanks), -1);
  EXPECT_EQ(List.Count(), 2 + 5);
}

}  // namespace
