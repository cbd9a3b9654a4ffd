// Notices: what a view receives after the last EndUpdate of a bracket, in
// the fixed order, with pending data changes merged so that none is lost.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/data/datacontroller_test_double.h"

namespace {

using Notices = std::vector<std::string>;

class NotifyTest : public ::testing::Test {
protected:
  NotifyTest() : C({TcxIntegerValueType::StaticClass(), TcxIntegerValueType::StaticClass()}) {
    for (Integer K = 0; K < 4; ++K) C.AddRecord({Variant(K), Variant(K * 10)});
    C.Notices.clear();
  }
  TTestControlDataController C;
};

struct BracketCase {
  const char* Name;
  std::function<void(TTestControlDataController&)> Body;
  Notices Expected;
};

TEST_F(NotifyTest, BracketScenarios) {
  const std::vector<BracketCase> Cases = {
      {"one value", [](auto& C) { C.SetValue(1, 0, Variant(7)); }, {"data(0,0,1)"}},
      {"two items of one record", [](auto& C) {
         C.SetValue(1, 0, Variant(7));
         C.SetValue(1, 1, Variant(8));
       }, {"data(1,-1,1)"}},
      {"same item twice", [](auto& C) {
         C.SetValue(2, 1, Variant(7));
         C.SetValue(2, 1, Variant(8));
       }, {"data(0,1,2)"}},
      {"two records", [](auto& C) {
         C.SetValue(1, 0, Variant(7));
         C.SetValue(2, 0, Variant(7));
       }, {"data(4,-1,none)"}},
      {"record then its value", [](auto& C) {
         C.DataChanged(dcRecord, -1, 1);
         C.SetValue(1, 0, Variant(7));
       }, {"data(1,-1,1)"}},
      {"added then its value", [](auto& C) {
         const Integer R = C.AppendRecord();
         C.SetValue(R, 0, Variant(7));
       }, {"data(2,-1,4)"}},
      {"added then another record", [](auto& C) {
         C.AppendRecord();
         C.SetValue(0, 0, Variant(7));
       }, {"data(4,-1,none)"}},
      {"two records added", [](auto& C) {
         C.AppendRecord();
         C.AppendRecord();
       }, {"data(4,-1,none)"}},
      {"value then delete", [](auto& C) {
         C.SetValue(3, 0, Variant(7));
         C.DeleteRecord(3);
       }, {"data(4,-1,none)"}},
      {"data and layout", [](auto& C) {
         C.SetValue(1, 0, Variant(7));
         C.SetItemSortOrder(1, soDescending);
       }, {"data(0,0,1)"}},
      {"layout only", [](auto& C) { C.SetItemSortOrder(1, soDescending); }, {"layout"}},
      {"nothing", [](auto&) {}, {}},
      {"focus moves twice", [](auto& C) {
         C.FocusRow(1);
         C.FocusRow(3);
       }, {"row(-1->3)", "focus(-1->3)"}},
      {"data then focus", [](auto& C) {
         C.FocusRow(2);
         C.SetValue(2, 1, Variant(1));
       }, {"data(0,1,2)", "row(-1->2)", "focus(-1->2)"}},
  };
  for (const auto& Case : Cases) {
    TTestControlDataController D({TcxIntegerValueType::StaticClass(), TcxIntegerValueType::StaticClass()});
    for (Integer K = 0; K < 4; ++K) D.AddRecord({Variant(K), Variant(K * 10)});
    D.Notices.clear();
    D.BeginUpdate();
    D.BeginUpdate();
    Case.Body(D);
    D.EndUpdate();
    EXPECT_TRUE(D.Notices.empty()) << Case.Name << ": nothing before the last EndUpdate";
    D.EndUpdate();
    EXPECT_EQ(D.Notices, Case.Expected) << Case.Name;
  }
}

TEST_F(NotifyTest, WithoutBracketEachChangeIsDeliveredAtOnce) {
  C.SetValue(0, 0, Variant(5));
  C.FocusRow(1);
  C.FocusRow(1);  // the focused row again: nothing
  EXPECT_EQ(C.Notices, (Notices{"data(0,0,0)", "row(-1->1)", "focus(-1->1)"}));
  C.Notices.clear();
  C.SetRecordCount(4);  // unchanged count
  EXPECT_TRUE(C.Notices.empty());
  C.SetRecordCount(2);
  EXPECT_EQ(C.Notices.front(), "data(3,-1,none)");
  C.Notices.clear();
  C.SetRecordCount(3);
  EXPECT_EQ(C.Notices.front(), "data(2,-1,none)");
}

TEST_F(NotifyTest, SelectionNotices) {
  C.FocusRow(1);
  C.Notices.clear();
  C.SetFocusedSelected(false);
  EXPECT_EQ(C.Notices, (Notices{"selection[1]"}));
  C.SetMultiSelect(true);
  C.Notices.clear();
  C.ChangeRowSelection(2, true);
  EXPECT_EQ(C.Notices, (Notices{"selection[2]"}));
  C.Notices.clear();
  C.ChangeRowSelection(3, true);
  EXPECT_EQ(C.Notices, (Notices{"selection[]"}));
}

TEST_F(NotifyTest, NoticesGoInFixedOrderAndEditStateRepaintsTheRecord) {
  C.FocusRow(0);
  C.Notices.clear();
  C.Edit();
  EXPECT_EQ(C.Notices, (Notices{"record(0)"}));
  C.Notices.clear();
  C.BeginUpdate();
  C.SetMultiSelect(true);
  C.ChangeRowSelection(3, true);
  C.FocusRow(2);  // posts the edit of record 0
  C.EndUpdate();
  EXPECT_EQ(C.Notices, (Notices{"data(1,-1,0)", "row(0->2)", "focus(0->2)", "selection[3]"}));
}

TEST_F(NotifyTest, ListenersAndEventsFollowEachDataNotice) {
  std::vector<std::string> Calls;
  TObject Owner;
  C.OnDataChanged = TNotifyEvent(&Owner, [&](TObject*) { Calls.push_back("event"); });
  C.AddDataChangedListener(&Owner, TNotifyEvent(&Owner, [&](TObject*) { Calls.push_back("listener"); }, 1));
  C.SetValue(0, 0, Variant(1));
  EXPECT_EQ(Calls, (std::vector<std::string>{"event", "listener"}));
  C.RemoveDataChangedListener(&Owner, TNotifyEvent(&Owner, [&](TObject*) {}, 1));
  Calls.clear();
  C.SetValue(0, 0, Variant(2));
  EXPECT_EQ(Calls, (std::vector<std::string>{"event"}));
}

TEST_F(NotifyTest, BookmarkIsSetFollowsItsRecordAndClearsWhenItGoes) {
  C.FocusRow(2);
  C.Notices.clear();
  C.SetBookmarkToFocused();
  EXPECT_EQ(C.Notices, (Notices{"bookmark"}));
  C.InsertRecord(0);
  EXPECT_EQ(C.BookmarkRecordIndex(), 3);
  C.FocusRow(0);
  C.FocusBookmarkedRecord();
  EXPECT_EQ(C.GetFocusedRecordIndex(), 3);
  EXPECT_TRUE(C.IsBookmarkRow(C.GetFocusedRowIndex()));
  C.Notices.clear();
  C.DeleteRecord(3);
  EXPECT_FALSE(C.IsBookmarkAvailable());
  EXPECT_NE(std::find(C.Notices.begin(), C.Notices.end(), "bookmark"), C.Notices.end());
}

TEST_F(NotifyTest, AnInternalRecordIsNeverTakenForNoRecord) {
  // The new item row's record is an internal record (-1 down); a change of
  // it names that record and is not widened to a full change.
  const Integer NewItem = C.NewItemRecordIndex();
  ASSERT_LT(NewItem, 0);
  C.SetValue(NewItem, 1, Variant(5));
  EXPECT_EQ(C.Notices, (Notices{"data(0,1," + std::to_string(NewItem) + ")"}));
  EXPECT_EQ(C.GetValue(NewItem, 1).AsInteger(), 5);
  EXPECT_EQ(C.GetRecordCount(), 4);
  EXPECT_EQ(C.GetEditingRecordIndexOrFocused(), cxNoRecordIndex);
}

TEST_F(NotifyTest, ANoticeCallbackThatRaisesLeavesTheControllerUsable) {
  C.OnUpdateControl = TcxUpdateControlEvent(&C, [](TcxUpdateControlInfo*) { throw Exception(u"view failed"); });
  EXPECT_THROW(C.SetValue(0, 0, Variant(3)), Exception);
  EXPECT_FALSE(C.InNotify());
  C.OnUpdateControl = nullptr;
  C.Notices.clear();
  C.SetValue(1, 0, Variant(3));
  EXPECT_EQ(C.Notices, (Notices{"data(0,0,1)"}));
}

}  // namespace
