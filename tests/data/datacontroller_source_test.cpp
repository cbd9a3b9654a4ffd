// Loading from an outside record source: records known by handles, values
// read and written through the source, reloads deferred under a lock, and
// selection kept by key across a full update.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/data/datacontroller_test_double.h"

namespace {

// Rows of (key, text); a row's handle is its id, its identity the key.
class TTestSource : public TcxCustomDataSource {
public:
  struct TRow {
    Integer Id;
    Variant Key;
    Variant Text;
  };

  void Add(Integer AKey, const String& AText) { Rows.push_back({NextId++, Variant(AKey), Variant(AText)}); }
  Integer PosOf(Integer AHandle) const {
    for (size_t I = 0; I < Rows.size(); ++I)
      if (Rows[I].Id == AHandle) return Integer(I);
    return -1;
  }
  // Tells every linked provider that everything changed.
  void Changed(TcxCustomDataProvider* AProvider) { AProvider->DataChanged(dcTotal, -1, cxNoRecordIndex); }

  Integer GetRecordCount(TcxCustomDataProvider*) override { return Integer(Rows.size()); }
  Integer GetRecordHandle(TcxCustomDataProvider*, Integer APosition) override { return Rows[size_t(APosition)].Id; }
  bool GetFlag(TcxCustomDataProvider*) override { return KeepsSelection; }
  Integer AppendRecord(TcxCustomDataProvider*) override {
    Rows.push_back({NextId, Null(), Null()});
    return NextId++;
  }
  Integer InsertRecord(TcxCustomDataProvider*, Integer AHandle) override {
    Rows.insert(Rows.begin() + std::max(PosOf(AHandle), 0), {NextId, Null(), Null()});
    return NextId++;
  }
  void DeleteRecord(TcxCustomDataProvider*, Integer AHandle) override {
    const Integer P = PosOf(AHandle);
    if (P >= 0) Rows.erase(Rows.begin() + P);
  }
  Variant GetValue(TcxCustomDataProvider* AProvider, Integer AHandle, TcxCustomDataField* AField) override {
    const Integer P = PosOf(AHandle);
    if (P < 0) return Null();
    return AProvider->DataController()->GetItemIndexOfField(AField) == 0 ? Rows[size_t(P)].Key : Rows[size_t(P)].Text;
  }
  void SetValue(TcxCustomDataProvider* AProvider, Integer AHandle, TcxCustomDataField* AField,
                const Variant& AValue) override {
    const Integer P = PosOf(AHandle);
    if (P < 0) return;
    (AProvider->DataController()->GetItemIndexOfField(AField) == 0 ? Rows[size_t(P)].Key : Rows[size_t(P)].Text) = AValue;
  }
  Variant GetRecordId(TcxCustomDataProvider*, Integer AHandle) override {
    const Integer P = PosOf(AHandle);
    return P < 0 ? Null() : Rows[size_t(P)].Key;
  }

  std::vector<TRow> Rows;
  Integer NextId = 100;
  bool KeepsSelection = true;
};

class SourceTest : public ::testing::Test {
protected:
  SourceTest() : C({TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass()}) {
    for (Integer K : {3, 1, 2}) Source.Add(K, u"r" + IntToStr(K));
    C.SetRecordSource(&Source);
  }
  std::vector<Integer> Keys() {
    std::vector<Integer> Result;
    for (Integer R = 0; R < C.GetRecordCount(); ++R) Result.push_back(C.GetValue(R, 0).AsInteger());
    return Result;
  }

  TTestSource Source;
  TTestControlDataController C;
};

using Ints = std::vector<Integer>;

TEST_F(SourceTest, AttachingLoadsOneRecordPerSourceRecordAndDetachingDropsThem) {
  EXPECT_EQ(C.RecordSource(), &Source);
  EXPECT_EQ(Source.ProviderCount(), 1);
  ASSERT_NE(C.RecordHandleField(), nullptr);
  EXPECT_TRUE(C.RecordHandleField()->IsInternal());
  EXPECT_EQ(Keys(), (Ints{3, 1, 2}));
  EXPECT_EQ(C.GetDisplayText(2, 1), u"r2");
  EXPECT_EQ(C.Provider()->GetRecordHandle(1), 101);
  EXPECT_EQ(C.Provider()->GetRecordIndexByHandle(102), 2);
  EXPECT_EQ(C.Provider()->GetRecordIndexByHandle(7), -1);
  // Without key fields the source's identity of a record is its key.
  EXPECT_EQ(C.GetRecordValues(1, {}).AsInteger(), 1);

  C.SetItemSortOrder(0, soAscending);
  EXPECT_EQ(C.RowRecords(), (Ints{1, 2, 0}));

  C.SetRecordSource(nullptr);
  EXPECT_EQ(Source.ProviderCount(), 0);
  EXPECT_EQ(C.GetRecordCount(), 0);
  EXPECT_EQ(C.RecordHandleField(), nullptr);
  EXPECT_TRUE(VarIsNull(C.GetRecordValues(0, {})));
}

TEST_F(SourceTest, RecordChangesGoThroughTheSourceAndKeepHandlesInStep) {
  C.SetValue(1, 1, Variant(String(u"changed")));
  EXPECT_EQ(Source.Rows[1].Text.AsString(), u"changed");

  const Integer Appended = C.AppendRecord();
  EXPECT_EQ(Appended, 3);
  EXPECT_EQ(Integer(Source.Rows.size()), 4);
  EXPECT_EQ(C.Provider()->GetRecordHandle(Appended), Source.Rows[3].Id);
  C.SetValue(Appended, 0, Variant(Integer(9)));
  EXPECT_EQ(Source.Rows[3].Key.AsInteger(), 9);

  const Integer Inserted = C.InsertRecord(0);
  EXPECT_EQ(Inserted, 0);
  C.SetValue(Inserted, 0, Variant(Integer(7)));
  EXPECT_EQ(Keys(), (Ints{7, 3, 1, 2, 9}));

  C.DeleteRecord(2);
  EXPECT_EQ(Keys(), (Ints{7, 3, 2, 9}));
  EXPECT_EQ(Integer(Source.Rows.size()), 4);

  C.SetRecordCount(2);
  EXPECT_EQ(Keys(), (Ints{7, 3}));
  EXPECT_EQ(Integer(Source.Rows.size()), 2);
}

TEST_F(SourceTest, AChangeOfTheSourceReloadsAndWaitsForTheLastEndUpdate) {
  Source.Add(5, u"r5");
  Source.Changed(C.Provider());
  EXPECT_EQ(Keys(), (Ints{3, 1, 2, 5}));

  C.Notices.clear();
  C.BeginUpdate();
  Source.Rows.erase(Source.Rows.begin());
  Source.Changed(C.Provider());
  EXPECT_TRUE(C.StructureReloadPending());
  EXPECT_EQ(C.GetRecordCount(), 4);  // the storage work waits
  C.EndUpdate();
  EXPECT_FALSE(C.StructureReloadPending());
  EXPECT_EQ(Keys(), (Ints{1, 2, 5}));
  ASSERT_FALSE(C.Notices.empty());
  EXPECT_EQ(C.Notices.front(), "data(4,-1,none)");
  EXPECT_EQ(std::count(C.Notices.begin(), C.Notices.end(), std::string("data(4,-1,none)")), 1);
}

TEST_F(SourceTest, ANoticeFromTheSourcePostsThePendingEditBeforeReloading) {
  // The value is still in the open editor.
  C.FocusRecord(1);
  C.Edit();
  ASSERT_EQ(C.GetEditState(), dceEdit | dceChanging);
  C.EditorItem = 1;
  C.EditorValue = Variant(String(u"typed"));
  Source.Add(8, u"r8");
  Source.Changed(C.Provider());
  EXPECT_EQ(C.GetEditState(), 0);
  EXPECT_EQ(Source.Rows[1].Text.AsString(), u"typed");
  EXPECT_EQ(C.GetDisplayText(1, 1), u"typed");
  EXPECT_EQ(C.GetRecordCount(), 4);
}

TEST_F(SourceTest, AFullUpdateKeepsTheSelectionByKey) {
  C.SetMultiSelect(true);
  C.ChangeRowSelection(0, true);  // key 3
  C.ChangeRowSelection(2, true);  // key 2
  C.BeginFullUpdate();
  // The source reorders its rows and drops the row with key 2.
  std::reverse(Source.Rows.begin(), Source.Rows.end());
  Source.Rows.erase(Source.Rows.begin());
  Source.Changed(C.Provider());
  C.EndFullUpdate();
  EXPECT_EQ(Keys(), (Ints{1, 3}));
  ASSERT_EQ(C.GetSelectedCount(), 1);
  EXPECT_EQ(C.GetRowInfo(C.GetSelectedRowIndex(0)).RecordIndex, 1);  // key 3 at its new place
}

TEST_F(SourceTest, ASourceThatDoesNotKeepTheSelectionIsNotSaved) {
  Source.KeepsSelection = false;
  EXPECT_FALSE(C.SourceKeepsSelection());
  TcxSaveObject Saved;
  C.SetMultiSelect(true);
  C.ChangeRowSelection(0, true);
  Saved.Save(&C);
  EXPECT_EQ(Saved.SelectedKeys()->Count(), 0);
}

TEST(SourceReload, RecreatingTheStorageOfAnUnboundControllerKeepsItsRecords) {
  TTestControlDataController C({TcxIntegerValueType::StaticClass()});
  C.AddRecord({Variant(Integer(4))});
  C.AddRecord({Variant(Integer(5))});
  C.RecreateStorage();
  ASSERT_EQ(C.GetRecordCount(), 2);
  EXPECT_EQ(C.GetValue(1, 0).AsInteger(), 5);
  EXPECT_EQ(C.RecordHandleField(), nullptr);
}

}  // namespace
