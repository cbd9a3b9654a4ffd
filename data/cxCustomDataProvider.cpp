#include "data/cxCustomDataProvider.h"

#include <algorithm>
#include <exception>

#include "data/cxCustomDataController.h"

// ---- Record source -------------------------------------------------------------------

TcxCustomDataSource::~TcxCustomDataSource() {
  while (!FProviders.empty()) FProviders.back()->SetCustomDataSource(nullptr);
}

String TcxCustomDataSource::GetDisplayText(TcxCustomDataProvider* AProvider, Integer ARecordIndex,
                                           TcxCustomDataField* AField) {
  return VarToStr(GetValue(AProvider, ARecordIndex, AField));
}

// ---- Provider --------------------------------------------------------------------------

namespace {

// Sets a flag for the lifetime of the guard and restores it on the way out.
class TFlagGuard {
public:
  TFlagGuard(bool& AFlag, bool AValue) : FFlag(AFlag), FOld(AFlag) { FFlag = AValue; }
  ~TFlagGuard() { FFlag = FOld; }

private:
  bool& FFlag;
  bool FOld;
};

// BeginUpdate / EndUpdate of a controller, also when an exception passes.
class TUpdateBracket {
public:
  explicit TUpdateBracket(TcxCustomDataController* AController) : FController(AController) {
    FController->BeginUpdate();
  }
  // While an exception passes, a failure of the closing EndUpdate is
  // dropped so that the first exception reaches the caller.
  ~TUpdateBracket() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FController->EndUpdate();
      } catch (...) {
      }
    } else {
      FController->EndUpdate();
    }
  }

private:
  TcxCustomDataController* FController;
  int FExceptions = std::uncaught_exceptions();
};

}  // namespace

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
    FCustomSource->DataChanged(this);
  }
}

Integer TcxCustomDataProvider::SourceRecordCount() {
  return FCustomSource ? FCustomSource->GetRecordCount(this) : 0;
}
Variant TcxCustomDataProvider::SourceValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  return FCustomSource ? FCustomSource->GetValue(this, ARecordIndex, AField) : Null();
}
void TcxCustomDataProvider::SourceSetValue(Integer ARecordIndex, TcxCustomDataField* AField,
                                           const Variant& AValue) {
  if (FCustomSource) FCustomSource->SetValue(this, ARecordIndex, AField, AValue);
}
String TcxCustomDataProvider::SourceDisplayText(Integer ARecordIndex, TcxCustomDataField* AField) {
  return FCustomSource ? FCustomSource->GetDisplayText(this, ARecordIndex, AField) : String();
}
Integer TcxCustomDataProvider::SourceAppend() { return FCustomSource ? FCustomSource->AppendRecord(this) : -1; }
void TcxCustomDataProvider::SourceDelete(Integer ARecordIndex) {
  if (FCustomSource) FCustomSource->DeleteRecord(this, ARecordIndex);
}
Integer TcxCustomDataProvider::SourceInsert(Integer ARecordIndex) {
  return FCustomSource ? FCustomSource->InsertRecord(this, ARecordIndex) : -1;
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
    TUpdateBracket Bracket(FOwner);
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
      // A record typed into the new item row becomes a real record now.
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
    TUpdateBracket Bracket(FOwner);
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
  TFlagGuard Guard(FInUpdate, true);
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
  if (!IsNotifyLocked()) FOwner->DataChanged(AKind, AItemIndex, ARecordIndex);
  if (FDataChangedLocked)
    ResetChanging();
  else if (IsEditing()) {
    // A change from the source while a record is edited: keep the edit.
    if (FChanging) FlushEdits();
    Post();
  }
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
  FOwner->DeleteRecord(Record);
  Refocus();
  FOwner->DoAfterDelete();
}

void TcxCustomDataProvider::DeleteRecords(const std::vector<Integer>& AList) {
  {
    TUpdateBracket Bracket(FOwner);
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
