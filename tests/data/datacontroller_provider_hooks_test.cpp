// What the provider asks of the controller and the controller of its
// provider around an outside source: the data-changed lock while records are
// added or deleted through a record source, fields recreated when the
// provider asks, and detail controllers focused with their master record.
#include <gtest/gtest.h>

#include <string>

#include "tests/data/datacontroller_test_double.h"

namespace {

using Flags = std::vector<bool>;

// A record source that notes, for every append and delete, whether the
// provider held its data-changed lock meanwhile.
class TLockWatchingSource : public TcxCustomDataSource {
public:
  Integer GetRecordCount(TcxCustomDataProvider*) override { return Integer(Keys.size()); }
  Integer GetRecordHandle(TcxCustomDataProvider*, Integer APosition) override { return Handles[size_t(APosition)]; }
  Integer AppendRecord(TcxCustomDataProvider* AProvider) override {
    Appends.push_back(AProvider->IsDataChangedLocked());
    Keys.push_back(Null());
    Handles.push_back(NextHandle);
    return NextHandle++;
  }
  void DeleteRecord(TcxCustomDataProvider* AProvider, Integer AHandle) override {
    Deletes.push_back(AProvider->IsDataChangedLocked());
    const Integer P = PosOf(AHandle);
    if (P < 0) return;
    Keys.erase(Keys.begin() + P);
    Handles.erase(Handles.begin() + P);
  }
  Variant GetValue(TcxCustomDataProvider*, Integer AHandle, TcxCustomDataField*) override {
    const Integer P = PosOf(AHandle);
    return P < 0 ? Null() : Keys[size_t(P)];
  }
  void SetValue(TcxCustomDataProvider*, Integer AHandle, TcxCustomDataField*, const Variant& AValue) override {
    const Integer P = PosOf(AHandle);
    if (P >= 0) Keys[size_t(P)] = AValue;
  }
  Integer PosOf(Integer AHandle) const {
    for (size_t I = 0; I < Handles.size(); ++I)
      if (Handles[I] == AHandle) return Integer(I);
    return -1;
  }
  void Add(Integer AKey) {
    Keys.push_back(Variant(AKey));
    Handles.push_back(NextHandle++);
  }
  std::vector<Integer> IntKeys() const {
    std::vector<Integer> Result;
    for (const Variant& V : Keys) Result.push_back(VarIsNull(V) ? -1 : V.AsInteger());
    return Result;
  }

  std::vector<Variant> Keys;
  std::vector<Integer> Handles;
  Integer NextHandle = 500;
  Flags Appends, Deletes;
};

TEST(ProviderHooksTest, RecordsAddedOrDeletedThroughASourceHoldTheDataChangedLock) {
  TLockWatchingSource Source;
  for (Integer K : {1, 2, 3, 4}) Source.Add(K);
  TTestControlDataController C({IntType()});
  C.SetRecordSource(&Source);
  C.SetMultiSelect(true);

  C.FocusRecord(0);
  C.DeleteFocused();
  C.FocusRecord(0);
  C.ChangeRowSelection(0, true);
  C.ChangeRowSelection(1, true);
  C.DeleteSelection();
  EXPECT_EQ(Source.IntKeys(), (std::vector<Integer>{4}));
  EXPECT_EQ(Source.Deletes, (Flags{true, true, true}));

  // A record typed into the new item row reaches the source under the lock.
  C.SetNewItemRowInUse(true);
  C.SetNewItemRowFocused(true);
  ASSERT_TRUE(C.SetItemEditValue(0, Variant(Integer(9))));
  C.PostRecord();
  EXPECT_EQ(Source.Appends, (Flags{true}));
  EXPECT_EQ(Source.IntKeys(), (std::vector<Integer>{4, 9}));
  EXPECT_FALSE(C.Provider()->IsDataChangedLocked());
}

TEST(ProviderHooksTest, EditsOfSourceRecordsAreCancelledInTheSource) {
  TLockWatchingSource Source;
  for (Integer K : {1, 2}) Source.Add(K);
  TTestControlDataController C({IntType()});
  C.SetRecordSource(&Source);
  C.FocusRecord(1);
  ASSERT_TRUE(C.SetItemEditValue(0, Variant(Integer(5))));
  EXPECT_EQ(Source.IntKeys(), (std::vector<Integer>{1, 5}));
  C.CancelRecord();
  EXPECT_EQ(Source.IntKeys(), (std::vector<Integer>{1, 2}));
  EXPECT_EQ(C.GetValue(1, 0).AsInteger(), 2);
}

// ---- Fields recreated when the provider asks ----

// An active provider without records; it may recreate its fields while it
// moves to its first record.
class TFieldsProvider : public TcxCustomDataProvider {
  KORVANE_CLASS(TFieldsProvider, TcxCustomDataProvider)
  explicit TFieldsProvider(TcxCustomDataController* AOwner) : TcxCustomDataProvider(AOwner) {}
  bool IsActive() override { return true; }
  void First() override {
    TcxCustomDataProvider::First();
    if (RecreateInFirst) SetFieldsRecreated(true);
  }
  bool RecreateInFirst = false;
};

class TFieldsController : public TTestControlDataController {
public:
  TFieldsController() : TTestControlDataController({IntType()}) { RecreateProvider(); }
  TcxCustomDataProviderClass ProviderClass() const override { return TFieldsProvider::StaticClass(); }
  bool NeedsReloadOnActivate() override { return true; }
  void RecreateFields() override { ++Recreations; }
  TFieldsProvider* Fields() const { return static_cast<TFieldsProvider*>(Provider()); }
  Integer Recreations = 0;
};

TEST(ProviderHooksTest, FieldsAreRecreatedWhenTheProviderAsks) {
  struct {
    const char* Name;
    bool Ask, InFirst, Force, GridLock;
    Integer Expected, AfterUnlock;
  } const Cases[] = {
      {"nobody asks", false, false, false, false, 0, 0},
      {"the provider asks", true, false, false, false, 1, 1},
      {"fields recreated in First", false, true, false, false, 1, 1},
      {"a forced reload", false, false, true, false, 1, 1},
      {"an ask under the grid-mode lock waits", true, false, false, true, 0, 1},
      {"a forced reload under the grid-mode lock waits", false, false, true, true, 0, 1},
  };
  for (const auto& Case : Cases) {
    TFieldsController C;
    C.Fields()->RecreateInFirst = Case.InFirst;
    if (Case.Ask) C.Provider()->SetFieldsRecreated(true);
    if (Case.GridLock) C.LockGridModeNotify();
    C.RefreshData(Case.Force);
    EXPECT_EQ(C.Recreations, Case.Expected) << Case.Name;
    EXPECT_FALSE(C.Provider()->FieldsRecreated()) << Case.Name;
    EXPECT_EQ(C.FieldsRecreatePending(), Case.GridLock && Case.AfterUnlock > 0) << Case.Name;
    if (Case.GridLock) C.UnlockGridModeNotify();
    EXPECT_EQ(C.Recreations, Case.AfterUnlock) << Case.Name;
    EXPECT_FALSE(C.FieldsRecreatePending()) << Case.Name;
    // The ask was answered once: another reload recreates nothing more.
    C.Fields()->RecreateInFirst = false;
    C.RefreshData(false);
    EXPECT_EQ(C.Recreations, Case.AfterUnlock) << Case.Name;
  }
}

TEST(ProviderHooksTest, AnAskWaitsWhileARecordIsBeingInserted) {
  TFieldsController C;
  C.AddRecord({Variant(Integer(1))});
  C.FocusRow(0);
  C.Insert();
  ASSERT_TRUE(C.Provider()->IsInserting());
  C.Provider()->SetFieldsRecreated(true);
  C.RefreshData(false);
  EXPECT_EQ(C.Recreations, 0);
}

// ---- Detail controllers focused with their master record ----

// In step with an outside source whose current record the test sets.
class TSyncProvider : public TcxCustomDataProvider {
  KORVANE_CLASS(TSyncProvider, TcxCustomDataProvider)
  explicit TSyncProvider(TcxCustomDataController* AOwner) : TcxCustomDataProvider(AOwner) {}
  bool IsSourceActive() override { return true; }
  bool IsSyncMode() override { return true; }
  Integer CurrentRecordIndex() override { return Current; }
  Integer Current = -1;
};

class TSyncController : public TTestControlDataController {
public:
  TSyncController() : TTestControlDataController({IntType()}) { RecreateProvider(); }
  TcxCustomDataProviderClass ProviderClass() const override { return TSyncProvider::StaticClass(); }
  TSyncProvider* Sync() const { return static_cast<TSyncProvider*>(Provider()); }
};

class TSyncMaster : public TSyncController {
public:
  TObject* CreateDetailLinkObject(TcxCustomDataRelation* ARelation, Integer ARecordIndex) override {
    auto* Clone = new TSyncController;
    Clone->SetMasterRelation(ARelation, ARecordIndex);
    for (Integer K : {7, 8, 9}) Clone->AddRecord({Variant(K)});
    return new TDetailLink(Clone);
  }
  TcxCustomDataController* GetDetailDataController(TObject* ALink) override { return TDetailLink::DetailOf(ALink); }
  bool FocusDetailsOnFocus() override { return FocusDetailsFlag; }
  bool FocusDetailsFlag = true;
};

class FocusDetailsTest : public ::testing::Test {
protected:
  FocusDetailsTest() {
    for (Integer K : {10, 20, 30}) Master.AddRecord({Variant(K)});
    Relation = new TcxCustomDataRelation(Master.Relations(), &Item);
    Master.Relations()->Add(Relation);
    Pattern.SetMasterRelation(Relation, -1);
  }
  TSyncController* DetailOf(Integer ARecord) {
    return static_cast<TSyncController*>(TDetailLink::DetailOf(Master.GetDetailLinkObject(ARecord, 0)));
  }

  TObject Item;
  TSyncMaster Master;
  TTestControlDataController Pattern{{IntType()}};
  TcxCustomDataRelation* Relation = nullptr;
};

TEST_F(FocusDetailsTest, FocusingAMasterRecordFocusesTheCurrentRecordsOfItsDetails) {
  TSyncController* Detail = DetailOf(1);
  TSyncController* Other = DetailOf(2);
  Detail->Sync()->Current = 2;
  Other->Sync()->Current = 1;
  Master.Sync()->Current = 1;
  ASSERT_TRUE(Master.FocusRow(1));
  EXPECT_EQ(Detail->GetFocusedRecordIndex(), 2);
  EXPECT_EQ(Other->GetFocusedRecordIndex(), -1);  // another record's detail

  // Without the option, or outside sync mode, details keep their focus.
  Detail->Sync()->Current = 0;
  Master.FocusDetailsFlag = false;
  Master.Sync()->Current = 2;
  Master.FocusRow(2);
  Master.Sync()->Current = 1;
  Master.FocusRow(1);
  EXPECT_EQ(Detail->GetFocusedRecordIndex(), 2);
  Master.FocusDetailsFlag = true;
  Master.FocusRow(1);  // the same row again still refocuses the details
  EXPECT_EQ(Detail->GetFocusedRecordIndex(), 0);
}

}  // namespace
