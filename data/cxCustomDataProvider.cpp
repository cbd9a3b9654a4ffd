#include "data/cxCustomDataProvider.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "data/cxCustomDataController.h"
#include "data/cxDataControllerInfo.h"
#include "data/cxVariants.h"
#include "data/cxDataGuards.h"

// ---- Record source -------------------------------------------------------------------

TcxCustomDataSource::~TcxCustomDataSource() {
  while (!FProviders.empty()) FProviders.back()->SetCustomDataSource(nullptr);
}

Integer TcxCustomDataSource::Compare(TcxCustomDataProvider* AProvider, Integer AHandle1, Integer AHandle2,
                                     TcxCustomDataField* AField) {
  return CompareVariantValues(GetValue(AProvider, AHandle1, AField), GetValue(AProvider, AHandle2, AField));
}

String TcxCustomDataSource::GetDisplayText(TcxCustomDataProvider* AProvider, Integer ARecordIndex,
                                           TcxCustomDataField* AField) {
  return VarToStr(GetValue(AProvider, ARecordIndex, AField));
}

// ---- Provider --------------------------------------------------------------------------


TcxCustomDataProvider::TcxCustomDataProvider(TcxCustomDataController* AOwner) : FOwner(AOwner) {}

TcxCustomDataProvider::~TcxCustomDataProvider() {
  ReleaseSavedRecord();
  SetCustomDataSource(nullptr);
}

bool TcxCustomDataProvider::CanDelete() { return FOwner->GetRecordCount() > 0; }

void TcxCustomDataProvider::SetCustomDataSource(TcxCustomDataSource* AValue) {
  if (AValue == FCustomSource) return;
  if (AValue && !CanUseRecordSource()) return;
  if (FCustomSource) {
    auto& L = FCustomSource->FProviders;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
  }
  FCustomSource = AValue;
  if (FCustomSource) {
    FCustomSource->FProviders.push_back(this);
    NotifySourceChanged();
  }
  if (FOwner && !FOwner->IsDestroying()) FOwner->RecreateStorage();
}

Integer TcxCustomDataProvider::CurrentRecordIndex() { return FOwner->GetFocusedRecordIndex(); }

void TcxCustomDataProvider::NotifySourceChanged() {
  if (FCustomSource) FCustomSource->DataChanged(this);
}

bool TcxCustomDataProvider::SourceQuery(Integer A, Integer B) { return FCustomSource && FCustomSource->Query(this, A, B); }

void TcxCustomDataProvider::SourceNotify(Integer A) {
  if (FCustomSource) FCustomSource->Notify(this, A);
}

Variant TcxCustomDataProvider::SourceRecordId(Integer ARecordIndex) {
  return FCustomSource ? FCustomSource->GetRecordId(this, GetRecordHandle(ARecordIndex)) : Null();
}

Integer TcxCustomDataProvider::SourceCompare(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField) {
  if (!FCustomSource) return 0;
  return FCustomSource->Compare(this, GetRecordHandle(ARecordIndex1), GetRecordHandle(ARecordIndex2), AField);
}

Integer TcxCustomDataProvider::CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField) {
  TcxDataStorage* S = FOwner->DataStorage();
  TcxValueDef* Def = AField->ValueDef();
  if (ARecordIndex1 < 0 && ARecordIndex2 < 0) return Def ? S->CompareRecordValues(ARecordIndex1, ARecordIndex2, Def) : 0;
  if (FCustomSource && ARecordIndex1 >= 0 && ARecordIndex2 >= 0) return SourceCompare(ARecordIndex1, ARecordIndex2, AField);
  // Each side from where it lives: an internal record in the storage, a
  // source record through the source.
  auto ValueOfSide = [&](Integer ARecordIndex) {
    if (ARecordIndex < 0 || !FCustomSource) return Def ? S->ReadValue(ARecordIndex, Def) : Null();
    return SourceValue(ARecordIndex, AField);
  };
  return CompareVariantValues(ValueOfSide(ARecordIndex1), ValueOfSide(ARecordIndex2));
}

// ---- Record handles ----

Integer TcxCustomDataProvider::GetRecordHandle(Integer ARecordIndex) {
  TcxCustomDataField* Field = FOwner->RecordHandleField();
  if (!Field || !Field->ValueDef() || ARecordIndex < 0) return ARecordIndex;
  const Variant V = FOwner->DataStorage()->ReadValue(ARecordIndex, Field->ValueDef());
  return VarIsNull(V) ? -1 : Integer(V.AsInt64());
}

Integer TcxCustomDataProvider::GetRecordIndexByHandle(Integer AHandle) {
  for (Integer R = 0; R < FOwner->GetRecordCount(); ++R)
    if (GetRecordHandle(R) == AHandle) return R;
  return -1;
}

Integer TcxCustomDataProvider::AddHandleRecord(Integer AIndex, Integer AHandle) {
  TcxDataStorage* S = FOwner->DataStorage();
  Integer Record = AIndex;
  if (AIndex < 0 || AIndex >= S->RecordCount())
    Record = S->AddRecord();
  else
    S->InsertRecordAt(AIndex);
  TcxCustomDataField* Field = FOwner->RecordHandleField();
  if (Field && Field->ValueDef()) S->WriteValue(Record, Field->ValueDef(), Variant(AHandle));
  return Record;
}

void TcxCustomDataProvider::LoadRecordHandles() {
  if (!FCustomSource) return;
  const Integer Count = FCustomSource->GetRecordCount(this);
  for (Integer P = 0; P < Count; ++P) AddHandleRecord(-1, FCustomSource->GetRecordHandle(this, P));
}

Integer TcxCustomDataProvider::ReaderAppend(TcxValueDefReader* AReader) {
  const Integer Record = SourceAppend();
  if (Record >= 0 && AReader) {
    for (Integer I = 0; I < FOwner->GetItemCount(); ++I) {
      TcxCustomDataField* Field = FOwner->GetItemField(I);
      if (Field->ValueDef()) SourceSetValue(Record, Field, AReader->GetValue(Field->ValueDef()));
    }
  }
  return Record;
}

// ---- Notices from the source ----

void TcxCustomDataProvider::ActiveChanged(bool AActive) {
  FOwner->SetActive(AActive);
  ResetChanging();
}

void TcxCustomDataProvider::FocusMoved() {
  FOwner->SyncFocusedRecord();
  ResetChanging();
}

void TcxCustomDataProvider::RequestReload(bool) { FOwner->ReloadData(); }

void TcxCustomDataProvider::StoreValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue) {
  const Integer Item = FOwner->GetItemIndexOfField(AField);
  if (Item >= 0) FOwner->SetValue(ARecordIndex, Item, AValue);
}

void TcxCustomDataProvider::ClearNearestRecord() { FOwner->SetNearestRecordIndex(-1); }

Integer TcxCustomDataProvider::SourceRecordCount() {
  return FCustomSource ? FCustomSource->GetRecordCount(this) : 0;
}
Variant TcxCustomDataProvider::SourceValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  return FCustomSource ? FCustomSource->GetValue(this, GetRecordHandle(ARecordIndex), AField) : Null();
}
void TcxCustomDataProvider::SourceSetValue(Integer ARecordIndex, TcxCustomDataField* AField,
                                           const Variant& AValue) {
  if (FCustomSource) FCustomSource->SetValue(this, GetRecordHandle(ARecordIndex), AField, AValue);
}
String TcxCustomDataProvider::SourceDisplayText(Integer ARecordIndex, TcxCustomDataField* AField) {
  return FCustomSource ? FCustomSource->GetDisplayText(this, GetRecordHandle(ARecordIndex), AField) : String();
}
// The storage mirrors the source: every record the source adds or drops
// is added or dropped in the storage too, with its handle.
Integer TcxCustomDataProvider::SourceAppend() {
  if (!FCustomSource) return -1;
  return AddHandleRecord(-1, FCustomSource->AppendRecord(this));
}
void TcxCustomDataProvider::SourceDelete(Integer ARecordIndex) {
  if (!FCustomSource) return;
  FCustomSource->DeleteRecord(this, GetRecordHandle(ARecordIndex));
  if (ARecordIndex >= 0 && ARecordIndex < FOwner->GetRecordCount()) FOwner->DataStorage()->DeleteRecordAt(ARecordIndex);
}
Integer TcxCustomDataProvider::SourceInsert(Integer ARecordIndex) {
  if (!FCustomSource) return -1;
  const Integer Handle = FCustomSource->InsertRecord(this, GetRecordHandle(ARecordIndex));
  return AddHandleRecord(ARecordIndex, Handle);
}
bool TcxCustomDataProvider::SourceFlag() { return FCustomSource && FCustomSource->GetFlag(this); }

// ---- Saved record ----

void TcxCustomDataProvider::SaveRecord(Integer ARecordIndex) {
  TcxDataStorage* S = FOwner->DataStorage();
  if (FSavedRecordIndex == 0) FSavedRecordIndex = S->AcquireInternalRecord();
  FOwner->CopyRecordValues(ARecordIndex, FSavedRecordIndex);
}

void TcxCustomDataProvider::ReleaseSavedRecord() {
  if (FSavedRecordIndex == 0) return;
  TcxDataStorage* S = FOwner->DataStorage();
  if (S && !S->Destroying() && -FSavedRecordIndex <= S->InternalRecordCount())
    S->DeleteRecordAt(FSavedRecordIndex);
  FSavedRecordIndex = 0;
}

void TcxCustomDataProvider::RestoreSavedRecord(Integer ARecordIndex) {
  if (FSavedRecordIndex != 0) FOwner->CopyRecordValues(FSavedRecordIndex, ARecordIndex);
}

// ---- Editing ----

bool TcxCustomDataProvider::Edit() {
  if (!IsEditing()) BeginEditing();
  if (IsEditing()) SetChanging();
  return true;
}

bool TcxCustomDataProvider::UsesNewItemRow() const {
  return FOwner->NewItemRowInUse() && FOwner->NewItemRowFocused();
}

void TcxCustomDataProvider::PrepareEditing() {
  if (UsesNewItemRow() && !FInserting) {
    Insert();
    return;
  }
  FEditingRecordIndex = FOwner->GetEditingRecordIndex();
  if (FEditingRecordIndex == cxNoRecordIndex) return;
  FOwner->CheckRecordRange(FEditingRecordIndex);
  TcxCustomDataControllerInfo* Info = FOwner->DataControllerInfo();
  const Integer Row = Info->GetFocusedRowIndex();
  FEditingPrevRecordIndex = cxNoRecordIndex;
  FEditingNextRecordIndex = cxNoRecordIndex;
  if (Row >= 0 && Row < Info->GetRowCount()) {
    const Integer Near = Row + 1 < Info->GetRowCount() ? Row + 1 : std::max(Row - 1, 0);
    const Integer NearRecord = Info->GetRowInfo(Near).RecordIndex;
    if (Near > Row)
      FEditingNextRecordIndex = NearRecord;
    else
      FEditingPrevRecordIndex = NearRecord;
  }
  if (!FInserting) SaveRecord(FEditingRecordIndex);
  FOwner->Change(dccUpdateRecord);
}

void TcxCustomDataProvider::Append() { InsertRecordAt(true); }
void TcxCustomDataProvider::Insert() { InsertRecordAt(false); }

void TcxCustomDataProvider::InsertRecordAt(bool AAppend) {
  if (IsInserting() && !FChanging && !FModified) return;
  if (IsEditing() && (FChanging || FModified)) {
    if (FChanging) FlushEdits();
    Post();
  } else if (IsEditing()) {
    EndEditing();
  }
  FOwner->DoBeforeInsert();
  Integer NewRecord;
  {
    TcxUpdateBracket Bracket(FOwner);
    TcxCustomDataControllerInfo* Info = FOwner->DataControllerInfo();
    if (!AAppend) Info->CheckUpdate();
    Integer Reference = -1;
    Integer Row = Info->GetFocusedRowIndex();
    if (UsesNewItemRow()) {
      // The new record stays in the new item row's internal record.
      Reference = FOwner->GetFocusedRecordIndex();
      if (Reference < 0 && Info->GetRowCount() > 0) Reference = Info->GetRowInfo(0).RecordIndex;
      NewRecord = FOwner->NewItemRecordIndex();
      FEditingPrevRecordIndex = cxNoRecordIndex;
      FEditingNextRecordIndex = cxNoRecordIndex;
    } else if (AAppend) {
      const Integer Rows = Info->GetRowCount();
      if (Rows > 0) Reference = Info->GetRowInfo(Rows - 1).RecordIndex;
      NewRecord = FOwner->AppendRecord();
      FEditingPrevRecordIndex = Reference == -1 ? cxNoRecordIndex : Reference;
      FEditingNextRecordIndex = cxNoRecordIndex;
      if (FEditingPrevRecordIndex == cxNoRecordIndex) FEditingPrevRecordIndex = NewRecord;
    } else {
      const Integer At = Row >= 0 ? Info->GetRowInfo(Row).RecordIndex : 0;
      NewRecord = FOwner->InsertRecord(std::max(At, 0));
      // The records from At on moved up by one.
      Reference = Row >= 0 ? NewRecord + 1 : -1;
      FEditingPrevRecordIndex = cxNoRecordIndex;
      FEditingNextRecordIndex = NewRecord + 1 < FOwner->GetRecordCount() ? NewRecord + 1 : cxNoRecordIndex;
      if (FEditingNextRecordIndex == cxNoRecordIndex) FEditingPrevRecordIndex = NewRecord;
    }
    FInsertAppends = AAppend;
    std::vector<Variant> GroupValues;
    if (Reference >= 0 && Reference < FOwner->GetRecordCount()) GroupValues = FOwner->GetGroupingValues(Reference);
    FEditingRecordIndex = NewRecord;
    InitInsertedRecord(NewRecord, GroupValues);
    FChanging = false;
    FInserting = true;
    FOwner->Change(dccUpdateRecord);
  }
  if (NewRecord >= 0) FOwner->FocusRecord(NewRecord);
  FOwner->DoAfterInsert();
}

void TcxCustomDataProvider::InitInsertedRecord(Integer ARecordIndex, const std::vector<Variant>& AGroupValues) {
  TcxCustomDataControllerInfo* Info = FOwner->DataControllerInfo();
  if (Info->IsGrouped() && FOwner->HasOption(dcoCopyGroupValuesToNewRecord)) {
    TcxGroupingFieldList* Levels = Info->GroupingFields();
    for (Integer L = 0; L < Levels->Count() && L < Integer(AGroupValues.size()); ++L) {
      const Integer Item = FOwner->GetItemIndexOfField(Levels->Items(L).Field);
      if (Item >= 0) FOwner->SetValue(ARecordIndex, Item, AGroupValues[L]);
    }
  }
  FOwner->DoNewRecord(ARecordIndex);
}

void TcxCustomDataProvider::Post() {
  UpdateData();
  if (!IsEditing()) return;
  const bool Inserting = IsInserting();
  Integer Record = FEditingRecordIndex;
  bool Posted = false;
  if (!Inserting || FModified) {
    FOwner->DoBeforePost();
    if (Inserting && Record < 0) {
      // A record typed into the new item row becomes a real record now; the
      // source's notice of the new record must not end this edit.
      TcxFlagGuard Lock(FDataChangedLocked, FDataChangedLocked || FCustomSource);
      const Integer Added = FOwner->AppendRecord();
      FOwner->CopyRecordValues(Record, Added);
      Record = Added;
    }
    FInsertedRecordIndex = Inserting ? Record : cxNoRecordIndex;
    EndEditing();
    Posted = true;
  } else {
    Cancel();
    Record = cxNoRecordIndex;
  }
  FOwner->DataChanged(dcRecord, -1, Record);
  if (Posted) FOwner->DoAfterPost();
}

void TcxCustomDataProvider::Cancel() {
  if (!IsEditing()) return;
  FOwner->DoBeforeCancel();
  {
    TcxUpdateBracket Bracket(FOwner);
    const Integer Record = FEditingRecordIndex;
    if (Record >= 0 && Record < FOwner->GetRecordCount()) {
      if (IsInserting()) {
        const Integer Focused = FOwner->GetFocusedRecordIndex();
        FOwner->DeleteRecord(Record);
        FEditingRecordIndex = cxNoRecordIndex;
        if (Focused >= FOwner->GetRecordCount() && FOwner->GetRecordCount() > 0)
          FOwner->FocusRecord(FOwner->GetRecordCount() - 1);
      } else if (FModified) {
        RestoreSavedRecord(Record);
        FOwner->DataChanged(dcRecord, -1, Record);
      }
    }
    EndEditing();
    FOwner->Change(dccUpdateRecord);
  }
  FOwner->DoAfterCancel();
}

void TcxCustomDataProvider::EndEditing() {
  const Integer Record = FEditingRecordIndex;
  FEditingRecordIndex = cxNoRecordIndex;
  // The new item row's internal record is given up; the next one is fresh.
  if (Record < 0 && Record != cxNoRecordIndex && Record == FOwner->NewItemRecordIndexIfAny())
    FOwner->DeleteRecord(Record);
  FEditingPrevRecordIndex = cxNoRecordIndex;
  FEditingNextRecordIndex = cxNoRecordIndex;
  FInserting = false;
  FChanging = false;
  FModified = false;
  ReleaseSavedRecord();
}

void TcxCustomDataProvider::ForgetEditingRecord() { EndEditing(); }

void TcxCustomDataProvider::UpdateData() {
  if (FInUpdate) return;
  TcxFlagGuard Guard(FInUpdate, true);
  if (FChanging) FOwner->UpdateControlData();
}

void TcxCustomDataProvider::FlushEdits() {
  UpdateData();
  ResetChanging();
}

void TcxCustomDataProvider::LockNotify() {
  if (FLockCount == 0 && IsEditing()) {
    if (FChanging) FlushEdits();
    Post();
  }
  ++FLockCount;
}

void TcxCustomDataProvider::UnlockNotify() {
  if (FLockCount > 0) --FLockCount;
}

void TcxCustomDataProvider::DataChanged(Integer AKind, Integer AItemIndex, Integer ARecordIndex) {
  // A change from the source while a record is edited: the edit is posted
  // first, so that a reload of the records cannot drop it.
  if (!FDataChangedLocked && IsEditing()) {
    if (FChanging) FlushEdits();
    Post();
  }
  if (!IsNotifyLocked()) FOwner->DataChanged(AKind, AItemIndex, ARecordIndex);
  if (FDataChangedLocked) ResetChanging();
}

// ---- Values ----

Variant TcxCustomDataProvider::ReadFieldValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (ARecordIndex == cxNoRecordIndex) cxDataControllerError(cxSDataRecordIndexError);
  return FOwner->GetRecordValue(ARecordIndex, AField);
}

bool TcxCustomDataProvider::WriteFieldValue(Integer ARecordIndex, TcxCustomDataField* AField, bool AIsText,
                                            const Variant& AValue) {
  Variant V = AValue;
  if (AIsText && VarToStr(AValue).empty()) V = Null();
  const Integer Item = FOwner->GetItemIndexOfField(AField);
  if (Item >= 0) FOwner->SetValue(ARecordIndex, Item, V);
  SetModified();
  return true;
}

// ---- Deleting ----

void TcxCustomDataProvider::Refocus() {
  const Integer Nearest = FOwner->NearestRecordIndex();
  if (Nearest >= 0 && Nearest < FOwner->GetRecordCount() && FOwner->GetFilteredIndexByRecordIndex(Nearest) >= 0)
    FOwner->FocusRecord(Nearest);
  else if (FOwner->GetFocusedRecordIndex() == -1 && FOwner->GetRowCount() > 0)
    FOwner->FocusRow(FOwner->GetRowCount() - 1);
}

void TcxCustomDataProvider::DeleteFocused() {
  const Integer Record = FOwner->GetFocusedRecordIndex();
  if (Record < 0) return;
  FOwner->DoBeforeDelete(Record);
  {
    // The source's notices of the deletion leave the edit state alone.
    TcxFlagGuard Lock(FDataChangedLocked, FDataChangedLocked || FCustomSource);
    FOwner->DeleteRecord(Record);
  }
  Refocus();
  FOwner->DoAfterDelete();
}

void TcxCustomDataProvider::DeleteRecords(const std::vector<Integer>& AList) {
  {
    TcxFlagGuard Lock(FDataChangedLocked, FDataChangedLocked || FCustomSource);
    TcxUpdateBracket Bracket(FOwner);
    for (auto It = AList.rbegin(); It != AList.rend(); ++It) {
      FOwner->DoBeforeDelete(*It);
      FOwner->DeleteRecord(*It);
      FOwner->DoAfterDelete();
    }
  }
  Refocus();
}

void TcxCustomDataProvider::DeleteSelection() {
  std::vector<Integer> List;
  TcxCustomDataControllerInfo* Info = FOwner->DataControllerInfo();
  TcxDataSelection* Selection = Info->Selection();
  for (Integer I = 0; I < Selection->Count(); ++I) {
    const TcxDataSelectionInfo& E = Selection->Items(I);
    if (E.Level < 0)
      Info->GetRecordsOfGroup(E.Index, List);
    else
      List.push_back(E.Index);
  }
  FOwner->DeleteRecords(List);
  Info->CheckUpdate();
}

void TcxCustomDataProvider::FindNearestRecord() {
  TcxCustomDataControllerInfo* Info = FOwner->DataControllerInfo();
  const Integer Row = Info->GetFocusedRowIndex();
  if (Row < 0) return;
  Integer Target = Row;
  if (FOwner->IsFocusedRowOnlySelection() || Info->IsRowSelected(Row) || Info->SelectedCount() == 0)
    Target = Info->GetNearestRowIndex(Row);
  if (Target != -1) FOwner->SetNearestRecordIndex(Info->GetRowInfo(Target).RecordIndex);
}

// ---- Saving selection and expanded details by key ----------------------------------------

TcxKeys::~TcxKeys() { TcxKeys::Clear(); }

void TcxKeys::Clear() {
  while (!FKeys.empty()) {
    TcxKeyRecord* Key = FKeys.back();
    FKeys.pop_back();
    DisposeKey(Key);
  }
}

void TcxKeys::Delete(Integer AIndex) {
  if (AIndex < 0 || AIndex >= Count()) return;
  TcxKeyRecord* Key = FKeys[size_t(AIndex)];
  FKeys.erase(FKeys.begin() + AIndex);
  DisposeKey(Key);
}

void TcxKeys::TakeKeyFields(TcxCustomDataController* ADataController) {
  FDataController = ADataController;
  FKeyFields.clear();
  if (FDataController) FDataController->GetKeyFields(FKeyFields);
}

Variant TcxKeys::KeyOf(Integer ARecordIndex) { return FDataController->GetRecordValues(ARecordIndex, FKeyFields); }

void TcxKeys::Save(TcxCustomDataController* ADataController) {
  Clear();
  TakeKeyFields(ADataController);
  if (!FDataController) return;
  SaveKeys();
  std::stable_sort(FKeys.begin(), FKeys.end(), [](const TcxKeyRecord* A, const TcxKeyRecord* B) {
    return CompareVariantValues(A->KeyValue, B->KeyValue) < 0;
  });
}

void TcxKeys::Restore(TcxCustomDataController* ADataController) {
  TakeKeyFields(ADataController);
  if (!FDataController || FKeys.empty()) return;
  RestoreKeys();
  Clear();
}

bool TcxKeys::FindRecord(Integer ARecordIndex, Integer& AKeyIndex) {
  AKeyIndex = -1;
  const Variant Key = KeyOf(ARecordIndex);
  // A record without a key (Null) matches nothing.
  if (VarIsNull(Key)) return false;
  for (Integer I = 0; I < Count(); ++I)
    if (SameVariantValues(FKeys[size_t(I)]->KeyValue, Key)) {
      AKeyIndex = I;
      return true;
    }
  return false;
}

namespace {

struct TcxDetailKeyRecord : TcxKeyRecord {
  Integer RelationIndex = -1;
  std::unique_ptr<TcxSaveObject> SaveObject;
};

struct TcxSelectedKeyRecord : TcxKeyRecord {
  Integer Position = -1;
};

}  // namespace

void TcxDetailKeys::SaveKeys() {
  TcxCustomDataController* C = DataController();
  for (Integer R = 0; R < C->GetRecordCount(); ++R) {
    if (!C->IsDetailExpanded(R)) continue;
    auto* Key = new TcxDetailKeyRecord;
    Key->KeyValue = KeyOf(R);
    Key->RelationIndex = C->GetDetailActiveRelationIndex(R);
    TcxCustomDataController* Detail = C->GetDetailDataController(C->GetDetailLinkObject(R, Key->RelationIndex));
    if (Detail && Detail->ClassType() == C->ClassType()) {
      Key->SaveObject = std::make_unique<TcxSaveObject>();
      Key->SaveObject->Save(Detail);
    }
    AddKey(Key);
  }
}

void TcxDetailKeys::RestoreKeys() {
  TcxCustomDataController* C = DataController();
  for (Integer R = 0; R < C->GetRecordCount(); ++R) {
    Integer Index;
    if (!FindRecord(R, Index)) continue;
    auto* Key = static_cast<TcxDetailKeyRecord*>(Items(Index));
    C->ChangeDetailExpanding(R, false);
    C->ChangeActiveRelationIndex(R, Key->RelationIndex);
    C->ChangeDetailExpanding(R, true);
    if (Key->SaveObject && C->GetDetailActiveRelationIndex(R) == Key->RelationIndex)
      if (TcxCustomDataController* Detail = C->GetDetailDataController(C->GetDetailLinkObject(R, Key->RelationIndex)))
        Key->SaveObject->Restore(Detail);
  }
}

void TcxSelectedKeys::SaveKeys() {
  TcxCustomDataController* C = DataController();
  TcxDataSelection* Selection = C->DataControllerInfo()->Selection();
  for (Integer I = 0; I < Selection->Count(); ++I) {
    const TcxDataSelectionInfo& E = Selection->Items(I);
    if (E.Level < 0 || E.Index < 0 || E.Index >= C->GetRecordCount()) continue;
    auto* Key = new TcxSelectedKeyRecord;
    Key->KeyValue = KeyOf(E.Index);
    Key->Position = I;
    AddKey(Key);
  }
}

void TcxSelectedKeys::RestoreKeys() {
  TcxCustomDataController* C = DataController();
  TcxDataSelection* Selection = C->DataControllerInfo()->Selection();
  std::vector<bool> Found(size_t(Count()), false);
  for (Integer R = 0; R < C->GetRecordCount(); ++R) {
    Integer Index;
    if (!FindRecord(R, Index) || Found[size_t(Index)]) continue;
    Found[size_t(Index)] = true;
    const Integer Position = static_cast<TcxSelectedKeyRecord*>(Items(Index))->Position;
    if (Position < Selection->Count()) Selection->Items(Position).Index = R;
  }
  // Entries whose keys are gone leave the selection, the last first.
  std::vector<Integer> Gone;
  for (Integer I = 0; I < Count(); ++I)
    if (!Found[size_t(I)]) Gone.push_back(static_cast<TcxSelectedKeyRecord*>(Items(I))->Position);
  std::sort(Gone.begin(), Gone.end());
  for (auto It = Gone.rbegin(); It != Gone.rend(); ++It)
    if (*It < Selection->Count()) Selection->DeleteEntry(*It);
  C->DataControllerInfo()->SelectionRecordsChanged();
}

bool TcxSaveObject::CanSave(TcxCustomDataController* ADataController) {
  return ADataController && !ADataController->CreatingLinkObject() && !ADataController->IsOwnerDestroying() &&
         ADataController->SourceKeepsSelection();
}

void TcxSaveObject::Save(TcxCustomDataController* ADataController) {
  if (!CanSave(ADataController)) return;
  FDetailKeys.Save(ADataController);
  FSelectedKeys.Save(ADataController);
}

void TcxSaveObject::Restore(TcxCustomDataController* ADataController) {
  if (!ADataController) return;
  if (!CanSave(ADataController)) {
    if (!ADataController->IsOwnerDestroying()) ADataController->CollapseAllDetails();
    return;
  }
  FDetailKeys.Restore(ADataController);
  FSelectedKeys.Restore(ADataController);
}
