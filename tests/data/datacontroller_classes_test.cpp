// Provider and summary classes chosen by a subclass, the grid-mode paths
// that hand cursor moves and searches to the provider, leaving a record
// while an outside source is active, OnRecordChanged, and sorting an item
// by its display text.
#include <gtest/gtest.h>

#include "data/cxDataControllerSearch.h"
#include "data/cxDataFilterBinding.h"
#include "data/cxDataSummary.h"
#include "tests/data/datacontroller_test_double.h"

namespace {

using Texts = std::vector<std::string>;

// Records the cursor moves a grid-mode controller asks of it.
class TCursorProvider : public TcxCustomDataProvider {
  KORVANE_CLASS(TCursorProvider, TcxCustomDataProvider)
  explicit TCursorProvider(TcxCustomDataController* AOwner) : TcxCustomDataProvider(AOwner) {}
  bool IsGridMode() override { return Grid; }
  bool IsSourceActive() override { return SourceActive; }
  bool IsSyncMode() override { return SyncMode; }
  Integer CurrentRecordIndex() override { return Current; }
  void First() override { Calls.push_back("first"); }
  void Prior() override { Calls.push_back("prior"); }
  void Next() override { Calls.push_back("next"); }
  void Last() override { Calls.push_back("last"); }
  void MoveBy(Integer ADistance) override { Calls.push_back("moveby " + std::to_string(ADistance)); }
  void Scroll(Integer ADistance) override { Calls.push_back("scroll " + std::to_string(ADistance)); }
  bool IsBOF() override { return Bof; }
  bool IsEOF() override { return Eof; }

  bool Grid = false, SourceActive = false, SyncMode = false, Bof = false, Eof = false;
  Integer Current = -1;
  Texts Calls;
};

class TOwnSummary : public TcxDataSummary {
  KORVANE_CLASS(TOwnSummary, TcxDataSummary)
  using TcxDataSummary::TcxDataSummary;
};

// A provider that only a controller of another class can make.
class TPickyProvider : public TcxCustomDataProvider {
  KORVANE_CLASS(TPickyProvider, TcxCustomDataProvider)
  explicit TPickyProvider(TTestControlDataController* AOwner) : TcxCustomDataProvider(AOwner) {}
};

class TClassController : public TTestControlDataController {
public:
  explicit TClassController(const std::vector<TcxValueTypeClass>& ATypes) : TTestControlDataController(ATypes) {
    RecreateProvider();
    RecreateSummary();
  }
  TcxCustomDataProviderClass ProviderClass() const override { return TCursorProvider::StaticClass(); }
  TClass SummaryClass() const override { return TOwnSummary::StaticClass(); }
  bool GridModeLocateByText(const String& AText, bool AForward, bool ANext) override {
    Cursor()->Calls.push_back("locate " + StringToUTF8(AText) + (AForward ? " fwd" : " back") + (ANext ? " next" : ""));
    return true;
  }
  TCursorProvider* Cursor() const { return static_cast<TCursorProvider*>(Provider()); }
  bool CanFocusRecord(Integer ARecordIndex) override { return ARecordIndex != Unfocusable; }
  Integer Unfocusable = -2;
};

class ClassesTest : public ::testing::Test {
protected:
  ClassesTest() : C({TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass()}) {
    for (Integer K : {10, 9, 100}) C.AddRecord({Variant(K), Variant(u"t" + IntToStr(K))});
  }
  TClassController C;
};

TEST_F(ClassesTest, TheSubclassChoosesItsProviderAndSummaryClasses) {
  EXPECT_EQ(C.Provider()->ClassType(), TCursorProvider::StaticClass());
  EXPECT_EQ(C.Summary()->ClassType(), TOwnSummary::StaticClass());
  auto* Item = static_cast<TcxDataSummaryItem*>(C.Summary()->FooterSummaryItems()->Add());
  Item->SetItemLink(C.GetItem(0));
  Item->SetKind(skSum);
  EXPECT_EQ(C.Summary()->FooterSummaryValues(0).AsInteger(), 119);
  EXPECT_THROW(TPickyProvider::StaticClass()->Create(&C), EInvalidOperation);
}

TEST_F(ClassesTest, GridModeHandsCursorMovesAndSearchesToTheProvider) {
  C.FocusRow(0);
  C.ScrollGridModeBuffer(2);  // not in grid mode: nothing
  C.FocusNextRow();
  EXPECT_EQ(C.GetFocusedRowIndex(), 1);
  EXPECT_TRUE(C.Cursor()->Calls.empty());

  C.Cursor()->Grid = true;
  struct {
    void (*Act)(TClassController&);
    const char* Call;
  } const Cases[] = {
      {[](TClassController& X) { X.FocusFirstRow(); }, "first"},
      {[](TClassController& X) { X.FocusLastRow(); }, "last"},
      {[](TClassController& X) { X.FocusNextRow(); }, "next"},
      {[](TClassController& X) { X.FocusPriorRow(); }, "prior"},
      {[](TClassController& X) { X.MoveFocusBy(3); }, "moveby 3"},
      {[](TClassController& X) { X.ScrollGridModeBuffer(-2); }, "scroll -2"},
      {[](TClassController& X) { X.Search()->Locate(1, u"t1"); }, "locate t1 fwd"},
      {[](TClassController& X) { X.Search()->LocateNext(false); }, "locate t1 back next"},
  };
  for (const auto& Case : Cases) {
    C.Cursor()->Calls.clear();
    Case.Act(C);
    EXPECT_EQ(C.Cursor()->Calls, Texts{Case.Call}) << Case.Call;
  }
  EXPECT_EQ(C.GetFocusedRowIndex(), 1);  // the row list itself did not move
  EXPECT_TRUE(C.Search()->GetSearching());

  C.Cursor()->Bof = true;
  EXPECT_TRUE(C.IsFirstRowFocused());
  EXPECT_FALSE(C.IsLastRowFocused());
  C.Cursor()->Eof = true;
  EXPECT_TRUE(C.IsLastRowFocused());
}

TEST_F(ClassesTest, LeavingARecordPostsOnlyWithoutAnActiveOutsideSource) {
  for (bool Active : {false, true}) {
    C.Cursor()->SourceActive = Active;
    C.FocusRow(0);
    ASSERT_TRUE(C.SetItemEditValue(1, Variant(String(u"x"))));
    C.FocusRow(1);
    EXPECT_EQ(C.GetEditState() != 0, Active) << Active;
    C.CancelRecord();
  }
}

TEST_F(ClassesTest, AProviderInStepWithItsSourceMovesAndHoldsTheFocus) {
  C.Cursor()->SourceActive = C.Cursor()->SyncMode = true;
  C.Cursor()->Current = 2;
  C.Provider()->FocusMoved();  // the source moved to record 2
  EXPECT_EQ(C.GetFocusedRecordIndex(), 2);
  C.Unfocusable = 0;
  EXPECT_FALSE(C.FocusRow(C.GetRowIndexByRecordIndex(0, false)));
  EXPECT_EQ(C.GetFocusedRecordIndex(), 2);
  EXPECT_TRUE(C.FocusRow(C.GetRowIndexByRecordIndex(1, false)));
  EXPECT_EQ(C.GetFocusedRecordIndex(), 1);
}

TEST_F(ClassesTest, SortingByDisplayText) {
  C.SetItemSortOrder(0, soAscending);
  EXPECT_EQ(C.RowTexts(0), (Texts{"9", "10", "100"}));
  EXPECT_FALSE(C.IsItemDisplayTextSorted(0, false));
  C.Notices.clear();
  C.SetItemSortByDisplayText(0, true);
  EXPECT_TRUE(C.GetItemSortByDisplayText(0));
  EXPECT_TRUE(C.IsItemDisplayTextSorted(0, false));
  EXPECT_EQ(C.RowTexts(0), (Texts{"10", "100", "9"}));
  EXPECT_EQ(C.Notices, Texts{"layout"});
  C.Notices.clear();
  C.SetItemSortByDisplayText(0, true);  // unchanged
  EXPECT_TRUE(C.Notices.empty());
}

TEST(RecordChanged, FiresForOneRecordOnly) {
  TTestControlDataController C({TcxIntegerValueType::StaticClass(), TcxIntegerValueType::StaticClass()});
  for (Integer K = 0; K < 3; ++K) C.AddRecord({Variant(K), Variant(K)});
  Texts Calls;
  TObject Owner;
  C.OnRecordChanged = TcxDataRecordChangedEvent(&Owner, [&](TcxCustomDataController*, Integer R, Integer I) {
    Calls.push_back(std::to_string(R) + "," + std::to_string(I));
  });
  struct {
    void (*Act)(TTestControlDataController&);
    Texts Expected;
  } const Cases[] = {
      {[](TTestControlDataController& X) { X.SetValue(1, 0, Variant(Integer(7))); }, {"1,0"}},
      {[](TTestControlDataController& X) {
         X.BeginUpdate();
         X.SetValue(2, 0, Variant(Integer(7)));
         X.SetValue(2, 1, Variant(Integer(7)));
         X.EndUpdate();
       },
       {"2,-1"}},
      {[](TTestControlDataController& X) {
         X.BeginUpdate();
         X.SetValue(0, 0, Variant(Integer(7)));
         X.SetValue(1, 0, Variant(Integer(8)));
         X.EndUpdate();
       },
       {}},
      {[](TTestControlDataController& X) { X.AppendRecord(); }, {}},
  };
  for (size_t I = 0; I < std::size(Cases); ++I) {
    Calls.clear();
    Cases[I].Act(C);
    EXPECT_EQ(Calls, Cases[I].Expected) << I;
  }
}

}  // namespace

namespace {

TEST(ExtraFilters, TheFilterListOwnsTheCriteriaMadeByCreateFilter) {
  TTestControlDataController C({TcxIntegerValueType::StaticClass()});
  for (Integer K = 0; K < 3; ++K) C.AddRecord({Variant(K)});
  TcxDataFilterCriteria* A = C.CreateFilter();
  TcxDataFilterCriteria* B = C.CreateFilter();
  ASSERT_EQ(C.FilterList()->Count(), 2);
  EXPECT_EQ(C.FilterList()->Items(1), B);
  EXPECT_THROW(C.FilterList()->Items(2), EListError);
  delete A;  // a freed criteria leaves the list
  ASSERT_EQ(C.FilterList()->Count(), 1);
  EXPECT_EQ(C.FilterList()->Items(0), B);

  // Conditions on an item that goes away are dropped.
  B->AddItem(nullptr, C.GetItem(0), foEqual, Variant(Integer(1)), u"1");
  EXPECT_FALSE(B->IsEmpty());
  C.FilterList()->RemoveComponent(C.GetItemField(0));
  EXPECT_TRUE(B->IsEmpty());
  C.FilterList()->Clear();
  EXPECT_EQ(C.FilterList()->Count(), 0);
}

}  // namespace
