#include "data/cxCustomData.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <vector>

namespace {

// A data controller as far as the fields, relations and selection need one.
class FakeController : public IcxCustomDataController {
public:
  TcxDataStorage Storage;
  std::unique_ptr<TcxCustomDataFieldList> Fields;
  std::unique_ptr<TcxCustomDataRelationList> Relations;
  bool NotifyLocked = false, OwnRecords = true;
  Integer Reloads = 0, Updates = 0, RelationChanges = 0, DetailLayouts = 0, MasterResets = 0, Unlinks = 0;
  std::vector<TcxCustomDataField*> Removed;
  std::set<Integer> Listed;
  IcxCustomDataController* DetailOfLink = nullptr;

  FakeController() {
    Fields = std::make_unique<TcxCustomDataFieldList>(this);
    Relations = std::make_unique<TcxCustomDataRelationList>(this);
  }
  ~FakeController() override {
    Relations.reset();
    Fields.reset();
  }
  TcxDataStorage* GetDataStorage() override { return &Storage; }
  bool OwnsRecords() override { return OwnRecords; }
  bool IsProviderNotifyLocked() override { return NotifyLocked; }
  void ProviderRequestReload(bool) override { ++Reloads; }
  void FieldRemoved(TcxCustomDataField* AField) override {
    Removed.push_back(AField);
    if (Relations) Relations->RemoveDataField(AField);
  }
  TcxCustomDataField* CreateInternalField() override {
    auto* Field = new TcxCustomDataField(Fields.get());
    Field->SetInternal(true);
    Fields->Add(Field);
    return Field;
  }
  void BeginUpdate() override { ++Updates; }
  void EndUpdate() override {}
  void CheckRecordIndex(Integer ARecordIndex) override {
    if (ARecordIndex < 0 || ARecordIndex >= Storage.RecordCount())
      throw EcxInvalidDataControllerOperation(u"RecordIndex out of range");
  }
  IcxCustomDataController* GetDetailReferenceController() override { return this; }
  TcxCustomDataRelationList* GetRelationsIfAny() override { return Relations.get(); }
  Integer GetDefaultActiveRelationIndex() override { return 0; }
  IcxCustomDataController* GetDetailDataController(TObject*) override { return DetailOfLink; }
  void ResetMasterLink() override { ++MasterResets; }
  void DetailsChanged() override { ++DetailLayouts; }
  void RelationChanged(TcxCustomDataRelation*) override { ++RelationChanges; }
  void ClearRelationDetails(TcxCustomDataRelation*) override {}
  void UnlinkDetail(TcxCustomDataRelation*) override { ++Unlinks; }
  bool IsRecordInRowList(Integer ARecordIndex) override { return Listed.count(ARecordIndex) != 0; }

  TcxCustomDataField* AddField(TcxValueTypeClass AType, bool AInternal = false) {
    auto* Field = new TcxCustomDataField(Fields.get());
    Field->SetInternal(AInternal);
    Fields->Add(Field);
    Field->SetValueTypeClass(AType);
    return Field;
  }
};

// ---- Fields -------------------------------------------------------------------------------

TEST(DataFields, DefinitionsFollowTypeAndTextSettings) {
  FakeController C;
  TcxCustomDataField* Name = C.AddField(TcxWideStringValueType::StaticClass());
  ASSERT_NE(Name->ValueDef(), nullptr);
  EXPECT_EQ(Name->ValueDef()->LinkObject(), Name);
  EXPECT_FALSE(Name->ValueDef()->Stored());
  EXPECT_EQ(C.Storage.ValueDefs()->Count(), 1);
  TcxCustomDataField* Id = C.AddField(TcxIntegerValueType::StaticClass(), true);
  EXPECT_TRUE(Id->ValueDef()->Stored());

  Name->SetTextStored(true);
  EXPECT_TRUE(Name->ValueDef()->TextStored());
  Name->SetValueTypeClass(TcxFloatValueType::StaticClass());
  EXPECT_EQ(Name->ValueDef()->ValueTypeClass(), TcxFloatValueType::StaticClass());
  EXPECT_EQ(C.Storage.ValueDefs()->Count(), 2);

  // One recreation for several changes.
  Name->BeginRecreate();
  EXPECT_EQ(Name->ValueDef(), nullptr);
  Name->SetValueTypeClass(TcxDateTimeValueType::StaticClass());
  Name->SetTextStored(false);
  Name->EndRecreate();
  EXPECT_EQ(Name->ValueDef()->ValueTypeClass(), TcxDateTimeValueType::StaticClass());
  EXPECT_FALSE(Name->ValueDef()->TextStored());

  EXPECT_TRUE(Name->HasValues());
  TcxCustomDataField Bare(C.Fields.get());
  EXPECT_TRUE(Bare.HasValues());
  C.OwnRecords = false;
  EXPECT_FALSE(Bare.HasValues());

  Name->RequestReload();
  C.NotifyLocked = true;
  Name->RequestReload();
  EXPECT_EQ(C.Reloads, 1);
}

TEST(DataFields, ReferencesShareStorage) {
  FakeController C;
  TcxCustomDataField* Owner = C.AddField(TcxIntegerValueType::StaticClass());
  TcxCustomDataField* A = C.AddField(TcxWideStringValueType::StaticClass());
  TcxCustomDataField* B = C.AddField(TcxWideStringValueType::StaticClass());
  C.Storage.SetRecordCount(1);
  C.Storage.WriteValue(0, Owner->ValueDef(), 42);

  A->SetReferenceField(Owner);
  EXPECT_EQ(A->ValueDef(), Owner->ValueDef());
  EXPECT_EQ(A->ValueTypeClass(), TcxIntegerValueType::StaticClass());
  B->SetReferenceField(A);  // the chain is followed to its end
  EXPECT_EQ(B->ReferenceField(), Owner);
  EXPECT_EQ(C.Storage.ValueDefs()->Count(), 1);
  A->SetValueTypeClass(TcxFloatValueType::StaticClass());  // no effect on a referring field
  EXPECT_EQ(A->ValueTypeClass(), TcxIntegerValueType::StaticClass());

  // A chain that would lead back to the field is refused.
  Owner->SetReferenceField(B);
  EXPECT_EQ(Owner->ReferenceField(), nullptr);
  A->SetReferenceField(nullptr);
  TcxCustomDataField* D = C.AddField(TcxIntegerValueType::StaticClass());
  D->SetReferenceField(B);
  B->SetReferenceField(D);
  EXPECT_EQ(B->ReferenceField(), Owner);  // kept its old reference

  // The owner goes: the first referring field takes its storage and values.
  delete Owner;
  ASSERT_EQ(C.Removed.size(), 1u);
  EXPECT_EQ(B->ReferenceField(), nullptr);
  ASSERT_NE(B->ValueDef(), nullptr);
  EXPECT_EQ(B->ValueDef()->LinkObject(), B);
  EXPECT_EQ(C.Storage.ReadValue(0, B->ValueDef()).AsInteger(), 42);
  EXPECT_EQ(D->ReferenceField(), B);
  EXPECT_EQ(D->ValueDef(), B->ValueDef());
  EXPECT_TRUE(C.Fields->FieldDestroyed());
}

TEST(DataFields, ListKeepsInternalFieldsLast) {
  FakeController C;
  TcxCustomDataField* Internal = C.AddField(TcxIntegerValueType::StaticClass(), true);
  TcxCustomDataField* A = C.AddField(TcxIntegerValueType::StaticClass());
  TcxCustomDataField* B = C.AddField(TcxIntegerValueType::StaticClass());
  ASSERT_EQ(C.Fields->Count(), 3);
  EXPECT_EQ(C.Fields->Items(0), A);
  EXPECT_EQ(C.Fields->Items(1), B);
  EXPECT_EQ(C.Fields->Items(2), Internal);
  EXPECT_EQ(C.Fields->InternalCount(), 1);
  EXPECT_EQ(C.Fields->ExternalCount(), 2);
  B->SetIndex(0);
  EXPECT_EQ(A->Index(), 1);
  TObject Item;
  A->SetItem(&Item);
  EXPECT_EQ(C.Fields->FindByItem(&Item), A);
  Internal->SetInternal(false);
  EXPECT_EQ(C.Fields->InternalCount(), 0);
  EXPECT_THROW(C.Fields->Items(3), EListError);

  class Listening : public TcxCustomDataField {
  public:
    using TcxCustomDataField::TcxCustomDataField;
    Integer Heard = 0;
    void RemoveNotification(TComponent*) override { ++Heard; }
  };
  auto* L = new Listening(C.Fields.get());
  C.Fields->Add(L);
  C.Fields->BroadcastComponentRemoved(nullptr);
  EXPECT_EQ(L->Heard, 1);
}

// ---- Details ---------------------------------------------------------------------------------

TEST(DetailObjects, InfosAndLinks) {
  TcxDetailObject Object;
  Object.SetInfoCount(0);
  EXPECT_EQ(Object.ActiveRelationIndex(), -1);
  Object.SetActiveRelationIndex(5);
  Object.SetInfoCount(3);
  EXPECT_EQ(Object.InfoCount(), 3);
  EXPECT_EQ(Object.ActiveRelationIndex(), 2);
  Object.SetInfoCount(2);  // never shrinks, but clamps the active index
  EXPECT_EQ(Object.InfoCount(), 3);
  EXPECT_EQ(Object.ActiveRelationIndex(), 1);

  EXPECT_TRUE(Object.HasNoLinks());
  EXPECT_EQ(Object.InfoAt(7), nullptr);
  EXPECT_EQ(Object.LinkObjectAt(1), nullptr);
  auto* Link = new TObject;
  Object.SetLinkObject(4, Link);
  EXPECT_EQ(Object.InfoCount(), 5);
  EXPECT_EQ(Object.LinkObjectAt(4), Link);
  EXPECT_FALSE(Object.HasNoLinks());
  Object.InfoAt(4)->SetChanged(true);
  EXPECT_TRUE(Object.TakeChanges());
  EXPECT_FALSE(Object.TakeChanges());
  Object.FreeInfo(4);
  EXPECT_EQ(Object.InfoAt(4), nullptr);
  EXPECT_TRUE(Object.HasNoLinks());
}

TEST(DetailRelations, DetailFieldAndObjects) {
  FakeController C;
  C.AddField(TcxIntegerValueType::StaticClass());
  C.Storage.SetRecordCount(2);
  TObject ItemA, ItemB;
  auto* A = new TcxCustomDataRelation(C.Relations.get(), &ItemA);
  C.Relations->Add(A);
  ASSERT_NE(C.Relations->DetailField(), nullptr);
  EXPECT_EQ(C.Relations->DetailField()->ValueTypeClass(), TcxObjectValueType::StaticClass());
  EXPECT_TRUE(C.Relations->DetailField()->Internal());
  EXPECT_EQ(C.RelationChanges, 1);
  auto* B = new TcxCustomDataRelation(C.Relations.get(), &ItemB);
  C.Relations->Add(B);
  EXPECT_EQ(C.DetailLayouts, 1);
  EXPECT_EQ(C.Relations->FindByItem(&ItemB), B);
  EXPECT_EQ(B->Index(), 1);

  // Without a linked detail controller no detail object is kept.
  EXPECT_EQ(C.Relations->GetDetailObject(0), nullptr);
  EXPECT_THROW(C.Relations->GetDetailObject(5), EcxInvalidDataControllerOperation);

  FakeController Detail;
  A->SetDetailDataController(&Detail);
  TcxDetailObject* Object = C.Relations->GetDetailObject(0);
  ASSERT_NE(Object, nullptr);
  EXPECT_EQ(Object->InfoCount(), 2);
  EXPECT_EQ(Object->ActiveRelationIndex(), 0);
  EXPECT_EQ(C.Relations->GetDetailObject(0), Object);
  EXPECT_EQ(C.Relations->DetailObjectOf(1), nullptr);
  EXPECT_FALSE(C.Relations->IsDetailLinked(0, -1));
  Object->SetLinkObject(1, new TObject);
  EXPECT_TRUE(C.Relations->IsDetailLinked(0, -1));
  EXPECT_TRUE(C.Relations->IsDetailLinked(0, 1));
  EXPECT_FALSE(C.Relations->IsDetailLinked(0, 0));
  EXPECT_TRUE(C.Relations->ClearDetails(0, 1));
  EXPECT_FALSE(C.Relations->IsDetailLinked(0, -1));
  EXPECT_FALSE(C.Relations->ClearDetails(1, -1));

  // Once no relation has a detail controller the object goes, and the
  // detail controllers it names forget their master.
  Object->SetLinkObject(0, new TObject);
  C.DetailOfLink = &Detail;
  A->SetDetailDataController(nullptr);
  EXPECT_EQ(C.Relations->GetDetailObject(0), nullptr);
  EXPECT_EQ(Detail.MasterResets, 1);
  EXPECT_EQ(C.Relations->DetailObjectOf(0), nullptr);

  // Objects still stored go with their record.
  A->SetDetailDataController(&Detail);
  C.Relations->GetDetailObject(1);
  C.Storage.DeleteRecordAt(1);

  B->SetDetailDataController(&Detail);
  delete B;
  EXPECT_EQ(C.Unlinks, 1);
  EXPECT_EQ(C.Relations->Count(), 1);
  C.Relations->Clear();
  EXPECT_EQ(C.Relations->DetailField(), nullptr);
  EXPECT_EQ(C.Fields->InternalCount(), 0);
}

// ---- Sorting and grouping lists ------------------------------------------------------------

TEST(SortLists, ChangeSortingAndMoves) {
  FakeController C;
  TcxCustomDataField* F[4];
  for (auto& Field : F) Field = C.AddField(TcxIntegerValueType::StaticClass());
  TcxSortingFieldList Sorting;
  Integer Changes = 0;
  Sorting.OnChanged = TcxDataChangeEvent(&Changes, [&Changes] { ++Changes; });

  Sorting.ChangeSorting(F[0], soAscending);
  Sorting.ChangeSorting(F[1], soDescending);
  Sorting.ChangeSorting(F[2], soNone);  // absent and none: nothing
  EXPECT_EQ(Sorting.Count(), 2);
  EXPECT_EQ(Changes, 2);
  Sorting.ChangeSorting(F[1], soDescending);  // unchanged: no notice
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(Sorting.OrderOf(F[1]), soDescending);
  EXPECT_EQ(Sorting.OrderOf(F[3]), soNone);
  Sorting.ChangeSorting(F[0], soNone);
  EXPECT_EQ(Sorting.Find(F[0]), -1);
  Sorting.CheckField(F[3]);
  Sorting.CheckField(F[1]);
  EXPECT_EQ(Changes, 4);

  Sorting.MoveField(F[2], 9);  // absent: inserted ascending at the end
  EXPECT_EQ(Sorting.Find(F[2]), 1);
  EXPECT_EQ(Sorting.OrderOf(F[2]), soAscending);
  Sorting.MoveField(F[2], 0);
  EXPECT_EQ(Sorting.Items(0).Field, F[2]);
  Sorting.MoveField(F[2], 7);  // clamped to the last place
  EXPECT_EQ(Sorting.Items(1).Field, F[2]);
  Sorting.MoveField(F[2], -1);
  EXPECT_EQ(Sorting.Count(), 1);

  TcxGroupingFieldList Grouping;
  Grouping.ChangeSorting(F[3], soNone);
  EXPECT_EQ(Grouping.OrderOf(F[3]), soAscending);
  Grouping.ChangeSorting(F[1], soAscending);
  Grouping.SyncOrders(&Sorting);
  EXPECT_EQ(Grouping.OrderOf(F[1]), soDescending);
  EXPECT_EQ(Grouping.OrderOf(F[3]), soAscending);

  Sorting.AddMissing(&Grouping);
  EXPECT_EQ(Sorting.Count(), 2);
  EXPECT_EQ(Sorting.Items(1).Field, F[3]);
  Changes = 0;
  Sorting.Clear();
  EXPECT_EQ(Changes, 2);
  EXPECT_THROW(Sorting.Items(0), EListError);
}

// ---- Group tree ---------------------------------------------------------------------------

// Records by country and city: (CN BJ) (CN BJ) (CN SH) (US NY).
void BuildTwoLevels(TcxDataGroups& AGroups) {
  AGroups.AddField(nullptr);
  AGroups.AddField(nullptr);
  const Integer Layout[][3] = {{0, 1, 2}, {1, 0, 1}, {1, 2, 2}, {0, 4, 4}, {1, 3, 3}};
  for (const auto& L : Layout) {
    TcxDataGroupInfo* Group = AGroups.AddGroup();
    Group->Level = L[0];
    Group->FirstIndex = L[1];
    Group->LastIndex = L[2];
  }
  AGroups.Renumber();
}

TEST(GroupTree, RowsFollowExpansion) {
  TcxDataGroups Groups;
  EXPECT_EQ(Groups.RowCount(), 0);
  EXPECT_EQ(Groups.ChildCount(-1), 0);
  BuildTwoLevels(Groups);
  EXPECT_EQ(Groups.RowCount(), 2);
  EXPECT_EQ(Groups.Items(2)->RowIndex, 0);  // hidden under its collapsed parent
  EXPECT_EQ(Groups.GroupOfRow(1), 3);
  EXPECT_FALSE(Groups.IsRowOwner(4));

  Groups.Items(0)->Expanded = true;
  Groups.Items(1)->Expanded = true;
  Groups.Renumber();
  EXPECT_EQ(Groups.RowCount(), 6);
  struct RowCase {
    Integer Row;
    bool Expanded;
    Integer Level, Position, Group;
  };
  const RowCase Rows[] = {
      {0, true, 0, 0, 0},  {1, true, 1, 0, 1},   {2, false, 2, 0, 1},
      {3, false, 2, 1, 1}, {4, false, 1, 2, 2},  {5, false, 0, 3, 3},
  };
  for (const RowCase& R : Rows) {
    bool Expanded;
    Integer Level, Position;
    Groups.RowInfo(R.Row, Expanded, Level, Position);
    EXPECT_EQ(Expanded, R.Expanded) << "row " << R.Row;
    EXPECT_EQ(Level, R.Level) << "row " << R.Row;
    EXPECT_EQ(Position, R.Position) << "row " << R.Row;
    EXPECT_EQ(Groups.GroupOfRow(R.Row), R.Group) << "row " << R.Row;
  }
  EXPECT_EQ(Groups.GroupOfRow(5, 1), 4);
  EXPECT_EQ(Groups.GroupOfRow(3, 0), 0);

  EXPECT_EQ(Groups.ChildCount(-1), 2);
  EXPECT_EQ(Groups.ChildCount(0), 2);
  EXPECT_EQ(Groups.ChildCount(1), 2);
  EXPECT_EQ(Groups.ChildCount(9), 0);
  EXPECT_EQ(Groups.ChildGroup(0, 1), 2);
  EXPECT_EQ(Groups.ChildGroup(0, 2), -1);
  EXPECT_EQ(Groups.ChildGroup(1, 0), -1);
  EXPECT_EQ(Groups.ChildGroup(-1, 1), 3);
  EXPECT_EQ(Groups.ChildRecordPosition(1, 1), 1);
  EXPECT_EQ(Groups.ChildRecordPosition(1, 2), -1);
  EXPECT_EQ(Groups.ChildRecordPosition(0, 0), -1);
  EXPECT_EQ(Groups.LevelOf(4), 1);
  EXPECT_EQ(Groups.LevelOf(5), -1);
  EXPECT_TRUE(Groups.IsRowOwner(3));

  EXPECT_TRUE(Groups.MakeVisible(4, false));
  EXPECT_FALSE(Groups.MakeVisible(4, false));
  EXPECT_EQ(Groups.RowCount(), 7);
  Groups.SetAllExpanded(true);
  EXPECT_EQ(Groups.RowCount(), 9);
  Groups.SetAllExpanded(false);
  EXPECT_EQ(Groups.RowCount(), 2);
}

// Three levels: (A (x 0-1, 2) (y 3-4)) (B (z 5)).
void BuildThreeLevels(TcxDataGroups& AGroups) {
  for (int I = 0; I < 3; ++I) AGroups.AddField(nullptr);
  const Integer Layout[][3] = {{0, 1, 5}, {1, 2, 3}, {2, 0, 1}, {2, 2, 2}, {1, 5, 5},
                               {2, 3, 4}, {0, 7, 8}, {1, 8, 8}, {2, 5, 5}};
  for (const auto& L : Layout) {
    TcxDataGroupInfo* Group = AGroups.AddGroup();
    Group->Level = L[0];
    Group->FirstIndex = L[1];
    Group->LastIndex = L[2];
  }
  AGroups.Renumber();
}

// MakeVisible counts again only the rows of what it expands: the rows must
// equal those of a full renumbering, from every expansion state.
TEST(GroupTree, MakeVisibleNumbersRowsAsAFullRenumbering) {
  for (void (*Build)(TcxDataGroups&) : {BuildTwoLevels, BuildThreeLevels}) {
    TcxDataGroups Probe;
    Build(Probe);
    const Integer Count = Probe.Count();
    for (Integer Mask = 0; Mask < (1 << Count); ++Mask)
      for (Integer Target = 0; Target < Count; ++Target)
        for (bool Self : {false, true}) {
          TcxDataGroups Shown, Expected;
          Build(Shown);
          Build(Expected);
          for (Integer G = 0; G < Count; ++G) Shown.Items(G)->Expanded = (Mask >> G) & 1;
          Shown.Renumber();
          Shown.MakeVisible(Target, Self);
          for (Integer G = 0; G < Count; ++G) Expected.Items(G)->Expanded = Shown.Items(G)->Expanded;
          Expected.Renumber();
          for (Integer G = 0; G < Count; ++G)
            ASSERT_EQ(Shown.Items(G)->RowIndex, Expected.Items(G)->RowIndex)
                << "levels " << Count << " mask " << Mask << " target " << Target << " self " << Self
                << " group " << G;
          ASSERT_EQ(Shown.RowCount(), Expected.RowCount());
        }
  }
}

TEST(GroupTree, SortBySummary) {
  TcxDataGroups Groups;
  Groups.AddField(nullptr);
  const Integer Totals[] = {5, 1, 3};
  for (Integer I = 0; I < 3; ++I) {
    TcxDataGroupInfo* Group = Groups.AddGroup();
    Group->FirstIndex = Group->LastIndex = I;
    Group->SummaryValues = VarArrayOf({Null(), Totals[I]});
  }
  Groups.SetSummarySort(1, soAscending);
  Groups.SortBySummary();
  EXPECT_EQ(Groups.Items(0)->FirstIndex, 1);
  EXPECT_EQ(Groups.Items(2)->FirstIndex, 0);
  EXPECT_EQ(Groups.Items(2)->RowIndex, 2);
  Groups.SetSummarySort(1, soDescending);
  Groups.SortBySummary();
  EXPECT_EQ(Groups.Items(0)->FirstIndex, 0);

  Groups.AddField(nullptr);  // two levels: left alone
  Groups.SetSummarySort(1, soAscending);
  Groups.SortBySummary();
  EXPECT_EQ(Groups.Items(0)->FirstIndex, 0);
}

// ---- Focus, expansion and selection ----------------------------------------------------------

class FakeInfo : public IcxDataControllerInfo {
public:
  bool SortingPending = false;
  Integer SyncRecord = 7;
  bool IsSortingChangePending() override { return SortingPending; }
  Integer GetSyncFocusedRecordIndex() override { return SyncRecord; }
  void GetRowInfo(Integer ARowIndex, bool& AExpanded, Integer& ALevel, Integer& ARecordIndex) override {
    AExpanded = false;
    ALevel = ARowIndex % 2;
    ARecordIndex = ARowIndex * 10;
  }
};

TEST(FocusingInfo, RecordsAndComparisons) {
  FakeInfo Info;
  TcxDataFocusingInfo Focus(&Info), Other(&Info);
  EXPECT_EQ(Focus.RowIndex(), -1);
  EXPECT_EQ(Focus.RecordIndex(), -1);
  Focus.UpdateFromRow(3);
  EXPECT_EQ(Focus.Level(), 1);
  EXPECT_EQ(Focus.RecordIndex(), 30);
  Focus.TakeControllerRecord();
  EXPECT_EQ(Focus.Level(), -1);
  EXPECT_EQ(Focus.RecordIndex(), 7);
  EXPECT_EQ(Focus.PrevRecordIndex(), 30);
  Focus.SetRowIndex(4);
  Focus.SetChanged(true);
  Other.Assign(&Focus);
  EXPECT_EQ(Other.RecordIndex(), 7);
  EXPECT_EQ(Other.RowIndex(), 4);
  EXPECT_FALSE(Other.Changed());
  Other.SetRowIndex(5);
  EXPECT_TRUE(Focus.SameAs(&Other));
  Info.SortingPending = true;
  EXPECT_FALSE(Focus.SameAs(&Other));
  Other.Clear();
  EXPECT_EQ(Other.RecordIndex(), -1);
  EXPECT_EQ(Other.PrevRecordIndex(), 7);
  Focus.UpdateFromRow(-1);
  EXPECT_EQ(Focus.Level(), -1);
  EXPECT_EQ(Focus.RecordIndex(), -1);
}

TEST(ExpandingInfos, FieldsAndItems) {
  FakeController C;
  TcxCustomDataField* A = C.AddField(TcxIntegerValueType::StaticClass());
  TcxCustomDataField* B = C.AddField(TcxIntegerValueType::StaticClass());
  TcxDataExpandingInfos Infos;
  Infos.AddField(A);
  Infos.AddItem(0, 5, 1);
  Infos.SetSaveStates(3);
  try {
    Infos.AddField(A);
    FAIL() << "a field saved twice";
  } catch (const EcxInvalidDataControllerOperation& E) {
    EXPECT_EQ(E.Message, u"Item already exists");
  }
  EXPECT_EQ(Infos.Count(), 1);
  Infos.AddField(B);  // a new level clears the items
  EXPECT_EQ(Infos.Count(), 0);
  EXPECT_EQ(Infos.IndexOfField(B), 1);
  Infos.AddItem(1, u"x", 2);
  Infos.CheckField(nullptr);
  EXPECT_EQ(Infos.Count(), 1);
  Infos.CheckField(A);
  EXPECT_EQ(Infos.FieldCount(), 0);
  EXPECT_EQ(Infos.Count(), 0);
  EXPECT_EQ(Infos.SaveStates(), 0);
}

TEST(Selection, EntriesAnchorAndNotices) {
  FakeController C;
  TcxDataSelection Selection(&C);
  Integer Changes = 0;
  Selection.OnChanged = TcxDataChangeEvent(&Changes, [&Changes] { ++Changes; });
  for (Integer Row : {2, 5, 9}) {
    Integer At;
    ASSERT_FALSE(Selection.FindRow(Row, At));
    Selection.Add(At, Row, 1, Row * 10);
  }
  Integer At;
  EXPECT_TRUE(Selection.FindRow(5, At));
  EXPECT_EQ(At, 1);
  EXPECT_FALSE(Selection.FindRow(6, At));
  EXPECT_EQ(At, 2);
  Selection.Add(-1, 1, -1, 0);  // a group row
  EXPECT_EQ(Changes, 4);
  Selection.SortByRow();
  EXPECT_EQ(Selection.Items(0).Level, -1);
  EXPECT_EQ(Selection.FindGroupEntry(0), 0);
  EXPECT_EQ(Selection.FindRecordEntry(0), -1);
  EXPECT_EQ(Selection.FindRecordEntry(50), 2);
  EXPECT_TRUE(Selection.IsRecordSelected(90));

  Selection.SetAnchorRowIndex(5);
  Selection.DeleteAt(2);
  EXPECT_EQ(Selection.AnchorRowIndex(), -1);
  EXPECT_EQ(Changes, 5);

  C.Listed = {20};
  Selection.DropStaleEntries();  // record 90 is gone; the group entry stays
  EXPECT_EQ(Selection.Count(), 2);
  EXPECT_EQ(Changes, 6);

  Selection.SetInternalCount(4);
  EXPECT_EQ(Selection.Count(), 4);
  EXPECT_EQ(Selection.Items(3).Index, 3);
  EXPECT_EQ(Selection.Items(3).RowIndex, 3);
  Selection.SetInternalCount(1);
  EXPECT_EQ(Selection.Count(), 1);
  EXPECT_EQ(Changes, 6);  // no notice from the internal count

  Selection.SetAnchorRowIndex(1);
  Selection.Clear();
  EXPECT_EQ(Selection.AnchorRowIndex(), 1);
  Selection.ClearAll();
  EXPECT_EQ(Selection.AnchorRowIndex(), -1);
  EXPECT_EQ(Changes, 8);
  EXPECT_THROW(Selection.Items(0), EListError);
}

}  // namespace
