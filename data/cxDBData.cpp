#include "data/cxDBData.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>

#include "data/cxDataControllerInfo.h"
#include "data/cxDataUtils.h"
#include "data/cxVariants.h"
#include "data/cxDataGuards.h"
#include "platform/db/adodb.h"
#include "platform/db/params.h"
#include "platform/rtl/sysutils.h"

namespace {

// Counts a guard up for its lifetime.
class TCountGuard {
public:
  explicit TCountGuard(Integer& ACount) : FCount(ACount) { ++FCount; }
  ~TCountGuard() { --FCount; }

private:
  Integer& FCount;
};

// The controller's focus notices held for the lifetime of the guard; the
// one pair for them goes out when it ends (not while an error unwinds).
class TFocusNoticeHold {
public:
  explicit TFocusNoticeHold(TcxDBDataController* AController) : FController(AController) { FController->HoldFocusNotices(); }
  ~TFocusNoticeHold() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FController->ReleaseFocusNotices();
      } catch (...) {
      }
    } else {
      FController->ReleaseFocusNotices();
    }
  }
  TFocusNoticeHold(const TFocusNoticeHold&) = delete;
  TFocusNoticeHold& operator=(const TFocusNoticeHold&) = delete;

private:
  TcxDBDataController* FController;
  int FExceptions = std::uncaught_exceptions();
};

// DisableControls for the lifetime of the guard.
class TControlsGuard {
public:
  explicit TControlsGuard(TDataSet* ADataSet) : FDataSet(ADataSet) {
    if (FDataSet) FDataSet->DisableControls();
  }
  ~TControlsGuard() noexcept(false) {
    if (!FDataSet) return;
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FDataSet->EnableControls();
      } catch (...) {
      }
    } else {
      FDataSet->EnableControls();
    }
  }

private:
  TDataSet* FDataSet;
  int FExceptions = std::uncaught_exceptions();
};

bool IsEditState(TDataSetState AState) { return AState == dsEdit || AState == dsInsert || AState == dsSetKey; }

std::vector<TcxDBDataProvider*>*& ProviderList() {
  static std::vector<TcxDBDataProvider*>* List = nullptr;
  return List;
}

Variant ArrayElement(const Variant& AValue, Integer AIndex) {
  return VarArrayGet(AValue, {VarArrayLowBound(AValue) + AIndex});
}

Integer ArrayCount(const Variant& AValue) {
  return VarIsArray(AValue) ? VarArrayHighBound(AValue) - VarArrayLowBound(AValue) + 1 : 0;
}

}  // namespace

// ---- Value type of a field -------------------------------------------------------------------

TcxValueTypeClass ValueTypeClassOfField(TField* AField) {
  if (!AField) return TcxStringValueType::StaticClass();
  switch (AField->DataType()) {
    case ftString: case ftFixedChar: return TcxStringValueType::StaticClass();
    case ftSmallint: return TcxSmallintValueType::StaticClass();
    case ftInteger: case ftAutoInc: return TcxIntegerValueType::StaticClass();
    case ftWord: return TcxWordValueType::StaticClass();
    case ftBoolean: return TcxBooleanValueType::StaticClass();
    case ftFloat: return TcxFloatValueType::StaticClass();
    case ftCurrency: case ftBCD: return TcxCurrencyValueType::StaticClass();
    case ftDate: case ftTime: case ftDateTime: return TcxDateTimeValueType::StaticClass();
    case ftWideString: return TcxWideStringValueType::StaticClass();
    case ftLargeint: return TcxLargeIntValueType::StaticClass();
    case ftFMTBcd: return TcxFMTBcdValueType::StaticClass();
    default: return TcxVariantValueType::StaticClass();
  }
}

// ---- Mode options -----------------------------------------------------------------------

void TcxDBDataModeController::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxDBDataModeController*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  SetSyncMode(Source->FSyncMode);
  SetGridModeBufferCount(Source->FGridModeBufferCount);
  SetGridMode(Source->FGridMode);
  SetSmartRefresh(Source->FSmartRefresh);
  FInsertInSync = Source->FInsertInSync;
  FDetailSyncToMaster = Source->FDetailSyncToMaster;
  FDetailInSQLMode = Source->FDetailInSQLMode;
  OnDetailFirst = Source->OnDetailFirst;
  OnDetailIsCurrentQuery = Source->OnDetailIsCurrentQuery;
}

void TcxDBDataModeController::SetSyncMode(bool AValue) {
  if (FSyncMode == AValue) return;
  FSyncMode = AValue;
  TDataSet* DS = FDataController->GetDataSet();
  if (DS && DS->Active() && !DS->ControlsDisabled()) FDataController->GetDBProvider()->FocusMoved(0);
}

void TcxDBDataModeController::SetGridMode(bool AValue) {
  if (FGridMode == AValue) return;
  const bool Old = FDataController->IsGridMode();
  FGridMode = AValue;
  if (Old != FDataController->IsGridMode()) FDataController->GetDBProvider()->ReloadData();
}

void TcxDBDataModeController::SetGridModeBufferCount(Integer AValue) {
  AValue = std::max(AValue, 0);
  if (FGridModeBufferCount == AValue) return;
  FGridModeBufferCount = AValue;
  if (FDataController->IsGridMode()) FDataController->GetDBProvider()->ReloadData();
}

void TcxDBDataModeController::SetSmartRefresh(bool AValue) {
  if (FSmartRefresh == AValue) return;
  FSmartRefresh = AValue;
  if (!FDataController->IsGridMode()) FDataController->GetDBProvider()->FocusMoved(0);
}

// ---- Data link ----------------------------------------------------------------------------

TcxDBDataLink::TcxDBDataLink(TcxDBDataProvider* AProvider) : FProvider(AProvider) { SetVisualControl(true); }

void TcxDBDataLink::DataEvent(TDataEvent Event, NativeInt Info) {
  inherited::DataEvent(Event, Info);
  if (Event == deDisabledStateChange && Info == 0) FLayoutChanged = true;
}

void TcxDBDataLink::ActiveChanged() { FProvider->ActiveChanged(Active()); }

void TcxDBDataLink::DataSetChanged() {
  if (FLayoutChanged) {
    LayoutChanged();
    return;
  }
  FProvider->DoDataSetChanged();
}

void TcxDBDataLink::DataSetScrolled(Integer Distance) { FProvider->FocusMoved(Distance); }

void TcxDBDataLink::EditingChanged() { FProvider->EditingChanged(); }

void TcxDBDataLink::FocusControl(TFieldRef Field) {
  if (!Field || !*Field) return;
  TcxDBDataController* C = FProvider->DBDataController();
  const Integer Item = C->GetItemIndexByField(*Field);
  if (Item >= 0 && C->FocusItem(Item)) *Field = nullptr;
}

void TcxDBDataLink::LayoutChanged() {
  FLayoutChanged = false;
  TDataSet* DS = DataSet();
  if (DS && DS->State() == dsInsert) {
    FProvider->DoDataSetChanged();
    return;
  }
  FProvider->DBDataController()->RecreateFields();
  FProvider->ReloadData();
}

void TcxDBDataLink::RecordChanged(TField* Field) { FProvider->RecordChangedFromDataSet(Field); }

void TcxDBDataLink::UpdateData() {
  FProvider->UpdateData();
  if (FProvider->IsSmartRefresh()) RecordChanged(nullptr);
  FProvider->ResetChanging();
}

// ---- Provider ------------------------------------------------------------------------------

TcxDBDataProvider::TcxDBDataProvider(TcxCustomDataController* AOwner) : TcxCustomDataProvider(AOwner) {
  FDataLink = std::make_unique<TcxDBDataLink>(this);
  if (!ProviderList()) ProviderList() = new std::vector<TcxDBDataProvider*>();
  ProviderList()->push_back(this);
}

TcxDBDataProvider::~TcxDBDataProvider() {
  FDataLink->SetDataSource(nullptr);
  FDataLink.reset();
  auto& L = *ProviderList();
  L.erase(std::remove(L.begin(), L.end(), this), L.end());
  for (TcxDBDataProvider* P : L) P->FWaiting.erase(std::remove(P->FWaiting.begin(), P->FWaiting.end(), this), P->FWaiting.end());
  if (L.empty()) {
    delete ProviderList();
    ProviderList() = nullptr;
  }
}

const std::vector<TcxDBDataProvider*>& TcxDBDataProvider::Providers() {
  static const std::vector<TcxDBDataProvider*> Empty;
  return ProviderList() ? *ProviderList() : Empty;
}

TcxDBDataController* TcxDBDataProvider::DBDataController() const { return static_cast<TcxDBDataController*>(FOwner); }

std::vector<TcxDBDataProvider*> TcxDBDataProvider::ProvidersOnSameDataSet() {
  std::vector<TcxDBDataProvider*> Result;
  TDataSet* DS = DataSet();
  if (!DS) return Result;
  for (TcxDBDataProvider* P : Providers())
    if (P != this && P->DataSet() == DS) Result.push_back(P);
  return Result;
}

bool TcxDBDataProvider::IsGridMode() {
  TDataSet* DS = DataSet();
  return DBDataController()->DataModeController()->GridMode() && DS != nullptr;
}

bool TcxDBDataProvider::IsSourceActive() { return DataSet() && DataSet()->State() != dsInactive; }

bool TcxDBDataProvider::IsOtherInserting() {
  for (TcxDBDataProvider* P : ProvidersOnSameDataSet())
    if (P->TcxCustomDataProvider::IsInserting()) return true;
  return false;
}

bool TcxDBDataProvider::IsSyncMode() {
  TDataSet* DS = DataSet();
  if (!DS || !DS->Active()) return false;
  TcxDBDataModeController* M = DBDataController()->DataModeController();
  if (!M->GridMode() && !M->SyncMode()) return false;
  if (DBDataController()->IsDetailMode()) {
    if (!M->DetailSyncToMaster()) return false;
    if (M->DetailInSQLMode()) return DBDataController()->IsDetailCurrentQuery();
  }
  return true;
}

bool TcxDBDataProvider::IsActive() { return DataSet() && DataSet()->Active() && !DataSet()->ControlsDisabled(); }

bool TcxDBDataProvider::HasStructure() {
  TDataSet* DS = DataSet();
  return DS && DS->FieldCount() > 0 && (DS->Active() || !DS->DefaultFields());
}

bool TcxDBDataProvider::IsDataSetEditing() const {
  TDataSet* DS = FDataLink->DataSet();
  return DS && IsEditState(DS->State());
}


bool TcxDBDataProvider::IsModified() {
  TDataSet* DS = DataSet();
  return TcxCustomDataProvider::IsModified() || (DS && DS->Modified());
}

bool TcxDBDataProvider::CanModify() {
  TDataSet* DS = DataSet();
  return DS && DS->Active() && DS->CanModify() && IsSyncMode();
}

bool TcxDBDataProvider::CanDelete() { return CanModify() && !DataSet()->IsEmpty(); }

bool TcxDBDataProvider::IsKeysInUse() {
  TcxDBDataField* Key = DBDataController()->KeyField();
  return Key && Key->IsBound() && !IsGridMode();
}

bool TcxDBDataProvider::IsSmartRefresh() {
  return DBDataController()->DataModeController()->SmartRefresh() && IsKeysInUse();
}

Integer TcxDBDataProvider::CurrentRecordIndex() {
  TDataSet* DS = DataSet();
  if (!DS || !DS->Active()) return -1;
  if (IsGridMode()) return FDataLink->ActiveRecord();
  const Integer View = DS->CurrentView();
  TcxDBDataController* C = DBDataController();
  if (!IsKeysInUse() || FLoading || View < 0 || View >= C->GetRecordCount()) return View;
  const Variant Key = C->GetDataSetKeyValue();
  if (VariantsEqual(C->GetKeyValue(View), Key)) return View;
  return C->FindRecordIndexByKey(Key);
}

// ---- Loading ----

void TcxDBDataProvider::ReloadData() {
  if (FLoading) return;
  // A reload that changed the record count reports the old focus on its own;
  // with the refocus below, the view hears of the focus once.
  TFocusNoticeHold Hold(DBDataController());
  {
    TcxFlagGuard Guard(FLoading, true);
    TcxDBDataController* C = DBDataController();
    C->BeginFullUpdate();
    try {
      LoadRecords();
    } catch (...) {
      C->EndFullUpdate();
      throw;
    }
    C->EndFullUpdate();
  }
  FocusMoved(0);
}

void TcxDBDataProvider::LoadRecords() {
  TcxDBDataController* C = DBDataController();
  TDataSet* DS = DataSet();
  TcxUpdateBracket Bracket(C);
  const bool Grid = IsGridMode();
  FDataLink->SetBufferCount(Grid ? C->GridModeBufferCount() : 1);
  if (!DS || !DS->Active()) {
    C->SetRecordCount(0);
    C->DataChanged(dcTotal, -1, cxNoRecordIndex);
    return;
  }
  TcxValueDefDBReader Reader;
  TcxDataStorage* Storage = C->DataStorage();
  if (Grid) {
    // A window of the same size is read over (its focus stays where it is
    // until the refocus below); another size is loaded anew.
    const Integer Count = FDataLink->RecordCount();
    if (Count != C->GetRecordCount()) C->SetRecordCount(0);
    C->SetRecordCount(Count);
    try {
      for (Integer I = 0; I < Count; ++I) {
        FDataLink->SetActiveRecord(I);
        Storage->LoadRecord(I, &Reader, true);
      }
    } catch (...) {
      DS->SetActiveView(-1);
      throw;
    }
    DS->SetActiveView(-1);
  } else {
    // The records are read over the old ones, so that the selection (kept
    // by key) and the focus bookkeeping see the same indexes.
    const Integer Count = DS->ViewCount();
    C->SetRecordCount(Count);
    try {
      for (Integer I = 0; I < Count; ++I) {
        DS->SetActiveView(I);
        Storage->LoadRecord(I, &Reader, true);
      }
    } catch (...) {
      DS->SetActiveView(-1);
      throw;
    }
    DS->SetActiveView(-1);
  }
  FUpdatingRecordIndex = cxNoRecordIndex;
  C->DataChanged(dcTotal, -1, cxNoRecordIndex);
}

void TcxDBDataProvider::FocusMoved(Integer ADistance) {
  TcxDBDataController* C = DBDataController();
  if (FSyncingFocus || FOwnChange > 0) return;
  if (IsGridMode() && ADistance != 0 && !FLoading) {
    ReloadData();
    return;
  }
  if (!IsSyncMode() || TcxCustomDataProvider::IsInserting()) return;
  const Integer Record = IsKeysInUse() ? C->GetRecordIndexByDataSetCurrent() : CurrentRecordIndex();
  if (Record < 0 || Record >= C->GetRecordCount()) return;
  if (C->GetFocusedRecordIndex() == Record) return;
  TcxFlagGuard Guard(FSyncingFocus, true);
  C->FocusRecord(Record);
}

void TcxDBDataProvider::ActiveChanged(bool AActive) {
  TcxDBDataController* C = DBDataController();
  TcxFlagGuard Guard(FDataChangedLocked, true);
  if (C->IsDestroying()) return;
  FOwner->SetActive(AActive);
  if (TcxCustomDataProvider::IsEditing()) EndEditing();
  C->RecreateFields();
  ReloadData();
  FWasInserting = DataSet() && DataSet()->State() == dsInsert;
}

void TcxDBDataProvider::DoDataSetChanged() {
  TcxDBDataController* C = DBDataController();
  if (C->IsDestroying() || FLoading) return;
  if (FOwnChange > 0) {
    FPendingChange = true;
    return;
  }
  for (TcxDBDataProvider* P : ProvidersOnSameDataSet()) {
    if (P->IsNotifyLocked() || (P->IsKeysInUse() && P->LocateCount() > 0)) {
      if (std::find(P->FWaiting.begin(), P->FWaiting.end(), this) == P->FWaiting.end()) P->FWaiting.push_back(this);
      return;
    }
  }
  if (IsNotifyLocked()) {
    FPendingChange = true;
    return;
  }
  if (IsDataSetEditing()) {
    // The dataset began an insert or an edit of its own: the record shows it.
    if (DataSet()->State() == dsEdit || DataSet()->State() == dsInsert) FocusMoved(0);
    return;
  }
  if (TcxCustomDataProvider::IsEditing()) EndEditing();
  if (!(IsSmartRefresh() && RefreshUpdatingRecord())) ReloadData();
  FUpdatingRecordIndex = cxNoRecordIndex;
}

void TcxDBDataProvider::RunDeferred() {
  if (FPendingChange) {
    FPendingChange = false;
    DoDataSetChanged();
  }
  std::vector<TcxDBDataProvider*> Waiting;
  Waiting.swap(FWaiting);
  for (auto It = Waiting.rbegin(); It != Waiting.rend(); ++It) (*It)->DoDataSetChanged();
}

bool TcxDBDataProvider::RefreshUpdatingRecord() {
  TcxDBDataController* C = DBDataController();
  Integer Record = FUpdatingRecordIndex;
  if (Record == cxNoRecordIndex || Record < 0 || Record >= C->GetRecordCount()) return false;
  const Variant Stored = C->GetKeyValue(Record);
  const Variant Current = C->GetDataSetKeyValue();
  if (!VariantsEqual(Stored, Current)) {
    bool Take = FUpdatingInserting && VarIsNull(Stored);
    if (Take) {
      // A record that got its key (an auto-increment value) at the post.
      Integer Other = C->FindRecordIndexByKey(Current);
      Take = Other < 0;
    }
    if (!Take) return false;
  }
  TcxUpdateBracket Bracket(C);
  C->ReloadRecord(Record);
  C->DataChanged(dcRecord, -1, Record);
  {
    TcxFlagGuard Guard(FSyncingFocus, true);
    C->FocusRecord(Record);
  }
  return true;
}

void TcxDBDataProvider::RecordChangedFromDataSet(TField*) {
  TcxDBDataController* C = DBDataController();
  if (FLoading || !IsDataSetEditing()) return;
  Integer Record = TcxCustomDataProvider::IsEditing() ? EditingRecordIndex() : C->GetFocusedRecordIndex();
  if (Record == cxNoRecordIndex || Record >= C->GetRecordCount()) return;
  FUpdatingRecordIndex = Record;
  FUpdatingInserting = DataSet()->State() == dsInsert;
  C->ReloadRecord(Record);
  ResetChanging();
}

void TcxDBDataProvider::EditingChanged() {
  TDataSet* DS = DataSet();
  const bool Inserting = DS && DS->State() == dsInsert;
  if (DS && DS->State() == dsEdit && FOwnChange == 0 && !TcxCustomDataProvider::IsEditing()) {
    // The dataset began an edit of its own: the focused record is edited.
    FocusMoved(0);
    if (DBDataController()->GetFocusedRecordIndex() >= 0) {
      TcxCustomDataProvider::Edit();
      FUpdatingRecordIndex = EditingRecordIndex();
      FUpdatingInserting = false;
    }
  }
  if (Inserting && !FWasInserting && FOwnChange == 0 && !TcxCustomDataProvider::IsEditing() &&
      DBDataController()->DataModeController()->InsertInSync() && IsSyncMode() && !IsGridMode()) {
    // The dataset began an insert of its own: the controller shows the new record at once.
    TCountGuard Guard(FOwnChange);
    if (DS->Eof())
      TcxCustomDataProvider::Append();
    else
      TcxCustomDataProvider::Insert();
    FPendingChange = false;
  }
  FWasInserting = Inserting;
}

void TcxDBDataProvider::RequestReload(bool) {
  if (!FLoading) ReloadData();
}

void TcxDBDataProvider::InitInsertedRecord(Integer ARecordIndex, const std::vector<Variant>& AGroupValues) {
  TcxCustomDataProvider::InitInsertedRecord(ARecordIndex, AGroupValues);
  TcxDBDataController* C = DBDataController();
  TDataSet* DS = DataSet();
  if (!DS || DS->State() != dsInsert) return;
  TCountGuard Guard(FOwnChange);
  if (C->HasOption(dcoCopyMasterKeysToNewRecord) && C->IsDetailMode()) {
    std::vector<TField*> Keys;
    DS->GetFieldList(Keys, C->DetailKeyFieldNames());
    SetFieldValues(DS, Keys, C->MasterKeyValues());
  }
  C->InitInsertedRecordFromDataSet(ARecordIndex);
  FUpdatingRecordIndex = ARecordIndex;
  FUpdatingInserting = true;
  C->ReloadRecord(ARecordIndex);
}

void TcxDBDataProvider::StoreValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue) {
  auto* F = dynamic_cast<TcxDBDataField*>(AField);
  if (F && F->GetField() && IsDataSetEditing()) {
    WriteFieldValue(ARecordIndex, AField, false, AValue);
    return;
  }
  TcxCustomDataProvider::StoreValue(ARecordIndex, AField, AValue);
}

// ---- Cursor ----

void TcxDBDataProvider::First() {
  TcxCustomDataProvider::First();
  TcxFlagGuard Guard(FInFirst, true);
  if (TDataSet* DS = DataSet()) DS->First();
}

void TcxDBDataProvider::FieldUnbound() {
  if (FInFirst && DataSet() && DataSet()->Active()) SetFieldsRecreated(true);
}

void TcxDBDataProvider::Prior() {
  if (TDataSet* DS = DataSet()) DS->Prior();
}

void TcxDBDataProvider::Next() {
  if (TDataSet* DS = DataSet()) DS->Next();
}

void TcxDBDataProvider::Last() {
  if (TDataSet* DS = DataSet()) DS->Last();
}

void TcxDBDataProvider::MoveBy(Integer ADistance) {
  if (TDataSet* DS = DataSet()) DS->MoveBy(ADistance);
}

void TcxDBDataProvider::Scroll(Integer ADistance) {
  TDataSet* DS = DataSet();
  if (!IsGridMode() || ADistance == 0 || !DS || !DS->Active()) return;
  const Integer Active = FDataLink->ActiveRecord();
  if (ADistance > 0)
    DS->MoveBy(FDataLink->RecordCount() - Active + ADistance - 1);
  else
    DS->MoveBy(ADistance - Active);
}

bool TcxDBDataProvider::IsSourceInSync() {
  TcxDBDataController* C = DBDataController();
  if (!C->IsDetailMode() || IsGridMode()) return !FDataLink->Active() || DataSet()->Eof();
  TDataSet* DS = DataSet();
  if (!DS || !DS->Active() || DS->Eof()) return true;
  if (IsDataSetEditing()) return false;
  return VariantsEqual(DS->FieldValues(C->DetailKeyFieldNames()), C->MasterKeyValues());
}

void TcxDBDataProvider::ClearNearestRecord() {
  TcxDBDataController* C = DBDataController();
  const Integer Nearest = C->NearestRecordIndex();
  if (Nearest >= 0 && Nearest < C->GetRecordCount()) C->FocusRecord(Nearest);
  TcxCustomDataProvider::ClearNearestRecord();
}

TClass TcxDBDataProvider::ReaderClass() { return TcxValueDefDBReader::StaticClass(); }

bool TcxDBDataProvider::IsBOF() { return !DataSet() || DataSet()->Bof(); }
bool TcxDBDataProvider::IsEOF() { return !DataSet() || DataSet()->Eof(); }
bool TcxDBDataProvider::IsSourceIdle() { return !FDataLink->Active() || DataSet()->Bof(); }

// ---- Position ----

void TcxDBDataProvider::SavePosition() {
  TDataSet* DS = DataSet();
  FSavedBookmark = DS && DS->Active() && DS->BookmarkAvailable() ? DS->Bookmark() : String();
  FSavedActiveRecord = FDataLink->ActiveRecord();
  FSavedBof = DS && DS->Bof();
  FSavedEof = DS && DS->Eof();
}

void TcxDBDataProvider::RestorePosition() {
  TDataSet* DS = DataSet();
  if (!DS || FSavedBookmark.empty() || !DS->BookmarkValid(FSavedBookmark)) return;
  try {
    DS->SetBookmark(FSavedBookmark);
    const Integer S = FSavedActiveRecord;
    const Integer B = FDataLink->BufferCount();
    const Integer A = FDataLink->ActiveRecord();
    if (S < A) {
      DS->MoveBy(B - S - 1);
      DS->MoveBy(S - B + 1);
    } else if (S > A) {
      DS->MoveBy(-S);
      DS->MoveBy(S);
    }
    if (FSavedBof && !DS->Bof()) DS->Prior();
    if (FSavedEof && !DS->Eof()) DS->Next();
    // A move cut short at an end of the data makes its way back overshoot:
    // the saved record wins over its place in the window.
    if (DS->CompareBookmarks(DS->Bookmark(), FSavedBookmark) != 0) DS->SetBookmark(FSavedBookmark);
  } catch (EDatabaseError&) {
  }
}

// ---- Editing ----

bool TcxDBDataProvider::MoveToFocusedRecord() {
  TcxDBDataController* C = DBDataController();
  const Integer Record = C->GetFocusedRecordIndex();
  if (Record < 0) return true;
  TCountGuard Guard(FOwnChange);
  return C->MoveDataSetToRecord(Record);
}

bool TcxDBDataProvider::Edit() {
  if (!CanModify()) return TcxCustomDataProvider::Edit();
  if (TcxCustomDataProvider::IsEditing()) return TcxCustomDataProvider::Edit();
  if (UsesNewItemRow() && !IsInserting()) {
    Insert();
    return true;
  }
  if (!IsDataSetEditing() && !MoveToFocusedRecord()) return false;
  TcxCustomDataProvider::Edit();
  if (!TcxCustomDataProvider::IsEditing()) return false;
  if (!IsDataSetEditing()) {
    try {
      TCountGuard Guard(FOwnChange);
      DataSet()->Edit();
    } catch (...) {
      EndEditing();
      throw;
    }
  }
  FUpdatingRecordIndex = EditingRecordIndex();
  FUpdatingInserting = false;
  return true;
}

void TcxDBDataProvider::Append() {
  TDataSet* DS = DataSet();
  if (!DS || !CanModify()) return;
  {
    TCountGuard Guard(FOwnChange);
    if (IsDataSetEditing()) DS->CheckBrowseMode();
    DS->Append();
  }
  FPendingChange = false;
  TcxCustomDataProvider::Append();
  FUpdatingRecordIndex = EditingRecordIndex();
  FUpdatingInserting = true;
}

void TcxDBDataProvider::Insert() {
  TDataSet* DS = DataSet();
  if (!DS || !CanModify()) return;
  {
    TCountGuard Guard(FOwnChange);
    if (IsDataSetEditing()) DS->CheckBrowseMode();
    MoveToFocusedRecord();
    DS->Insert();
  }
  FPendingChange = false;
  TcxCustomDataProvider::Insert();
  FUpdatingRecordIndex = EditingRecordIndex();
  FUpdatingInserting = true;
}

void TcxDBDataProvider::Post() {
  TDataSet* DS = DataSet();
  if (!DS || !CanModify()) {
    TcxCustomDataProvider::Post();
    return;
  }
  UpdateData();
  if (!IsDataSetEditing()) {
    if (TcxCustomDataProvider::IsEditing()) EndEditing();
    return;
  }
  FOwner->DoBeforePost();
  const Integer Record = TcxCustomDataProvider::IsEditing() ? EditingRecordIndex() : FUpdatingRecordIndex;
  FUpdatingRecordIndex = Record;
  if (FOwner->GetRecordCount() > 0 && Record >= 0) FUpdatingInserting = DS->State() == dsInsert;
  {
    TCountGuard Guard(FOwnChange);
    DS->Post();
  }
  FPendingChange = false;
  if (TcxCustomDataProvider::IsEditing()) EndEditing();
  if (!(IsSmartRefresh() && RefreshUpdatingRecord())) ReloadData();
  FUpdatingRecordIndex = cxNoRecordIndex;
  FOwner->DoAfterPost();
}

void TcxDBDataProvider::Cancel() {
  TDataSet* DS = DataSet();
  if (!DS || !CanModify() || !IsDataSetEditing()) {
    TcxCustomDataProvider::Cancel();
    return;
  }
  const bool WasInserting = DS->State() == dsInsert;
  {
    TCountGuard Guard(FOwnChange);
    DS->Cancel();
  }
  FPendingChange = false;
  TcxCustomDataProvider::Cancel();
  FUpdatingRecordIndex = cxNoRecordIndex;
  if (WasInserting) {
    ReloadData();
  } else {
    FocusMoved(0);
  }
}

void TcxDBDataProvider::FlushEdits() {
  TcxCustomDataProvider::FlushEdits();
}

void TcxDBDataProvider::DeleteFocused() {
  TcxDBDataController* C = DBDataController();
  const Integer Record = C->GetFocusedRecordIndex();
  TDataSet* DS = DataSet();
  if (Record < 0 || !DS) return;
  FOwner->DoBeforeDelete(Record);
  if (TcxCustomDataProvider::IsEditing()) EndEditing();
  {
    TCountGuard Guard(FOwnChange);
    if (IsDataSetEditing()) DS->Cancel();
    if (!C->MoveDataSetToRecord(Record)) return;
    TControlsGuard Controls(DS);
    DS->Delete();
  }
  FPendingChange = false;
  ReloadData();
  FOwner->DoAfterDelete();
}

void TcxDBDataProvider::DeleteRecords(const std::vector<Integer>& AList) {
  TcxDBDataController* C = DBDataController();
  TDataSet* DS = DataSet();
  if (!DS) return;
  // A pending edit of a record that stays is posted first (the dataset's
  // cancel below would lose it); an edit of a record being deleted is dropped.
  if (IsEditing() && std::find(AList.begin(), AList.end(), EditingRecordIndex()) == AList.end()) FOwner->PostRecord();
  // Keys of the records first: deleting moves the others.
  std::vector<Variant> Keys;
  std::vector<String> Bookmarks;
  const bool Keyed = IsKeysInUse();
  for (Integer R : AList) {
    if (R < 0 || R >= C->GetRecordCount()) continue;
    if (Keyed) {
      Keys.push_back(C->GetKeyValue(R));
    } else {
      TCountGuard Guard(FOwnChange);
      if (C->MoveDataSetToRecord(R)) Bookmarks.push_back(DS->Bookmark());
    }
  }
  if (TcxCustomDataProvider::IsEditing()) EndEditing();
  {
    TCountGuard Guard(FOwnChange);
    TControlsGuard Controls(DS);
    if (IsDataSetEditing()) DS->Cancel();
    for (auto It = Keys.rbegin(); It != Keys.rend(); ++It)
      if (DS->Locate(C->KeyFieldNames(), *It, {})) DS->Delete();
    for (auto It = Bookmarks.rbegin(); It != Bookmarks.rend(); ++It)
      if (DS->BookmarkValid(*It)) {
        DS->GotoBookmark(*It);
        DS->Delete();
      }
  }
  FPendingChange = false;
  ReloadData();
}

void TcxDBDataProvider::DeleteSelection() {
  TcxDBDataController* C = DBDataController();
  if (IsGridMode()) {
    TDataSet* DS = DataSet();
    TcxDBDataSelection* Sel = C->DBSelection();
    {
      TCountGuard Guard(FOwnChange);
      TControlsGuard Controls(DS);
      for (Integer I = Sel->Count() - 1; I >= 0; --I)
        if (DS->BookmarkValid(Sel->Bookmarks(I))) {
          DS->GotoBookmark(Sel->Bookmarks(I));
          DS->Delete();
        }
    }
    Sel->Clear();
    FPendingChange = false;
    ReloadData();
    return;
  }
  std::vector<Integer> Records;
  for (Integer I = 0; I < C->GetSelectedCount(); ++I) {
    const Integer Row = C->GetSelectedRowIndex(I);
    const TcxRowInfo Info = C->GetRowInfo(Row);
    if (Info.RecordIndex >= 0) Records.push_back(Info.RecordIndex);
  }
  std::sort(Records.begin(), Records.end());
  DeleteRecords(Records);
}

Variant TcxDBDataProvider::ReadFieldValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  auto* F = dynamic_cast<TcxDBDataField*>(AField);
  if (F && F->GetField() && IsDataSetEditing() && ARecordIndex == EditingRecordIndex()) return F->DataSetValue();
  return TcxCustomDataProvider::ReadFieldValue(ARecordIndex, AField);
}

bool TcxDBDataProvider::WriteFieldValue(Integer ARecordIndex, TcxCustomDataField* AField, bool AIsText,
                                        const Variant& AValue) {
  auto* F = dynamic_cast<TcxDBDataField*>(AField);
  TField* Field = F ? F->GetField() : nullptr;
  if (!Field || !IsDataSetEditing()) return TcxCustomDataProvider::WriteFieldValue(ARecordIndex, AField, AIsText, AValue);
  {
    TCountGuard Guard(FOwnChange);
    if (F->FieldCount() > 0) {
      std::vector<TField*> Fields;
      for (Integer I = 0; I < F->FieldCount(); ++I) Fields.push_back(F->Fields(I)->GetField());
      SetFieldValues(DataSet(), Fields, AValue);
    } else if (AIsText || Field->OnSetText) {
      Field->SetText(VarToStr(AValue));
    } else {
      WriteFieldVariant(Field, AValue);
    }
  }
  // The record shows what the field took.
  TcxCustomDataProvider::WriteFieldValue(ARecordIndex, AField, false, F->DataSetValue());
  FPendingChange = false;
  return true;
}

void TcxDBDataProvider::LockNotify() {
  TcxCustomDataProvider::LockNotify();
  if (DataSet()) DataSet()->DisableControls();
}

void TcxDBDataProvider::UnlockNotify() {
  // The deferred reload and the refocus make one focus notice.
  TFocusNoticeHold Hold(DBDataController());
  if (DataSet()) {
    TCountGuard Guard(FOwnChange);
    DataSet()->EnableControls();
  }
  TcxCustomDataProvider::UnlockNotify();
  if (IsNotifyLocked()) return;
  RunDeferred();
  // The dataset may have moved while its controls were off: the focus follows.
  FocusMoved(0);
}

// ---- Data field -----------------------------------------------------------------------

TcxDBDataField::~TcxDBDataField() {
  ClearFields();
  if (FParentField) {
    auto& L = FParentField->FFields;
    L.erase(std::remove(L.begin(), L.end(), this), L.end());
  }
}

void TcxDBDataField::RemoveNotification(TComponent* AComponent) {
  inherited::RemoveNotification(AComponent);
  if (AComponent == FField) {
    FField = nullptr;
    UpdateValueType();
    auto* C = dynamic_cast<TcxDBDataController*>(DataController());
    if (C && C->GetDBProvider()) C->GetDBProvider()->FieldUnbound();
  }
  for (TcxDBDataField* F : FFields) F->RemoveNotification(AComponent);
}

bool TcxDBDataField::HasValues() { return inherited::HasValues(); }

TField* TcxDBDataField::GetField() const {
  if (FField) return FField;
  if (!FFields.empty()) return FFields[0]->GetField();
  return nullptr;
}

bool TcxDBDataField::IsBound() const {
  if (FFields.size() > 1) {
    for (TcxDBDataField* F : FFields)
      if (!F->GetField()) return false;
    return true;
  }
  return GetField() != nullptr;
}

bool TcxDBDataField::IsLookup() const { return FField && FField->Lookup(); }

void TcxDBDataField::SetField(TField* AField) {
  if (FField == AField) return;
  FField = AField;
  UpdateValueType();
}

void TcxDBDataField::UpdateValueType() {
  TcxValueTypeClass Type =
      FFields.size() > 1 ? TcxVariantValueType::StaticClass() : ValueTypeClassOfField(GetField());
  const bool Text = FFields.size() <= 1 && FieldHasTextFormatting(GetField(), false);
  BeginRecreate();
  SetValueTypeClass(Type);
  SetTextStored(Text);
  EndRecreate();
}

void TcxDBDataField::AddField(TcxDBDataField* ADataField) {
  if (ADataField->FParentField) throw EcxInvalidDataControllerOperation(u"ADataField.FParentField <> nil");
  ADataField->FParentField = this;
  FFields.push_back(ADataField);
}

void TcxDBDataField::ClearFields() {
  while (!FFields.empty()) {
    TcxDBDataField* F = FFields.back();
    FFields.pop_back();
    F->FParentField = nullptr;
    delete F;
  }
}

bool TcxDBDataField::CanModify(TcxDataEditValueSource AKind) const {
  if (IsLookup()) {
    if (AKind != evsKey) return false;
    for (TcxDBDataField* F : FFields)
      if (!F->CanModify(evsValue)) return false;
    return LookupKeyFieldsModifiable(FField);
  }
  if (!FFields.empty()) {
    for (TcxDBDataField* F : FFields)
      if (!F->CanModify(AKind)) return false;
    return true;
  }
  return FieldCanBeEdited(GetField(), AKind == evsValue);
}

Variant TcxDBDataField::DataSetValue() const {
  if (FFields.size() > 1 || (IsLookup() && !FFields.empty())) {
    std::vector<TField*> Fields;
    for (TcxDBDataField* F : FFields) Fields.push_back(F->GetField());
    return GetFieldValues(nullptr, Fields);
  }
  return GetFieldVariant(GetField());
}

// ---- Reader --------------------------------------------------------------------------------

namespace {
TcxDBDataField* DBFieldOf(TcxValueDef* AValueDef) { return dynamic_cast<TcxDBDataField*>(AValueDef->LinkObject()); }
}  // namespace

Variant TcxValueDefDBReader::GetValue(TcxValueDef* AValueDef) {
  TcxDBDataField* F = DBFieldOf(AValueDef);
  return F && F->GetField() ? F->DataSetValue() : Null();
}

String TcxValueDefDBReader::GetDisplayText(TcxValueDef* AValueDef) {
  TcxDBDataField* F = DBFieldOf(AValueDef);
  return F && F->GetField() && F->FieldCount() <= 1 ? F->GetField()->DisplayText() : String();
}

bool TcxValueDefDBReader::IsInternal(TcxValueDef* AValueDef) {
  TcxDBDataField* F = DBFieldOf(AValueDef);
  return !F || !F->GetField();
}

// ---- Filter -------------------------------------------------------------------------------

String TcxDBDataFilterCriteriaItem::GetFieldName() {
  TcxCustomDataField* F = Field();
  auto* C = dynamic_cast<TcxDBDataController*>(DataController());
  if (!F || !C) return String();
  const Integer Item = C->GetItemIndexOfField(F);
  return Item >= 0 ? C->GetFilterItemCaption(Item) : String();
}

TcxFilterOperatorClass TcxDBDataFilterCriteriaItem::GetFilterOperatorClass() {
  TcxFilterOperatorClass Result = inherited::GetFilterOperatorClass();
  auto* C = dynamic_cast<TcxDBDataController*>(DataController());
  TDataSet* DS = C ? C->GetDataSet() : nullptr;
  if (TcxDBFilterOperatorAdapter* A = GetDBFilterOperatorAdapter(DS)) A->PrepareOperatorClass(DS, Result);
  return Result;
}

TcxDBDataFilterCriteria::TcxDBDataFilterCriteria(TcxDBDataController* ADataController)
    : TcxDataFilterCriteria(ADataController) {}

TcxDBDataController* TcxDBDataFilterCriteria::DBDataController() const {
  return static_cast<TcxDBDataController*>(DataController());
}

TcxFilterCriteriaItemClass TcxDBDataFilterCriteria::ItemClass() { return TcxDBDataFilterCriteriaItem::StaticClass(); }

void TcxDBDataFilterCriteria::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxDBDataFilterCriteria*>(ASource);
  BeginUpdate();
  try {
    inherited::Assign(ASource);
    if (Source) {
      FAutoDataSetFilter = Source->FAutoDataSetFilter;
      FIgnoreOrigin = Source->FIgnoreOrigin;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxDBDataFilterCriteria::AssignEvents(TPersistent* ASource) {
  inherited::AssignEvents(ASource);
  if (auto* Source = dynamic_cast<TcxDBDataFilterCriteria*>(ASource)) {
    OnBeforeChange = Source->OnBeforeChange;
    OnFormatFilterTextValue = Source->OnFormatFilterTextValue;
  }
}

void TcxDBDataFilterCriteria::AdjustValueText(TcxFilterCriteriaItem* AItem, const Variant& AValue, String& AText) {
  inherited::AdjustValueText(AItem, AValue, AText);
  if (OnFormatFilterTextValue) OnFormatFilterTextValue(this, AItem, AValue, AText);
}

void TcxDBDataFilterCriteria::RestoreDefaults() {
  inherited::RestoreDefaults();
  FAutoDataSetFilter = false;
  FIgnoreOrigin = true;
}

void TcxDBDataFilterCriteria::SetAutoDataSetFilter(bool AValue) {
  if (FAutoDataSetFilter == AValue) return;
  FAutoDataSetFilter = AValue;
  Changed();
}

void TcxDBDataFilterCriteria::SetIgnoreOrigin(bool AValue) {
  if (FIgnoreOrigin == AValue) return;
  FIgnoreOrigin = AValue;
  Changed();
}

bool TcxDBDataFilterCriteria::IsDataSetFilterUsed() {
  return FAutoDataSetFilter && !DBDataController()->GetDBProvider()->IsSmartRefresh();
}

bool TcxDBDataFilterCriteria::IsFiltering() {
  return TcxDataFilterCriteria::IsFiltering() && !IsDataSetFilterUsed() && !OnBeforeChange;
}

void TcxDBDataFilterCriteria::ApplyToDataSet() {
  TcxDBDataController* C = DBDataController();
  TDataSet* DS = C->GetDataSet();
  if (!DS) return;
  if (IsEditState(DS->State())) {
    try {
      C->CheckBrowseMode();
    } catch (...) {
      SetActive(false);
      throw;
    }
  }
  const String Text = IsEmpty() ? String() : FilterText();
  if (OnBeforeChange) OnBeforeChange(this, DS, Text);
  if (!IsDataSetFilterUsed()) {
    ReleaseDataSetFilter(DS);
    return;
  }
  // The criteria's "=" never matches by prefix ("= 'ab*'" is the text ab*).
  TFilterOptions Options{foNoPartialCompare};
  if (HasOption(fcoCaseInsensitive)) Options.insert(foCaseInsensitive);
  const bool Filtered = Active() && !Text.empty();
  if (DS->Filter() == Text && DS->FilterOptions() == Options && DS->Filtered() == Filtered) return;
  TControlsGuard Controls(DS);
  DS->SetFilter(Text);
  DS->SetFilterOptions(Options);
  DS->SetFiltered(Filtered);
  FDataSetFilterText = Text;
  FDataSetFilterSet = true;
}

// Once the criteria stop filtering through the dataset, the filter they left
// there would keep hiding records under the in-memory filter: it goes, unless
// something else has replaced it since.
void TcxDBDataFilterCriteria::ReleaseDataSetFilter(TDataSet* ADataSet) {
  if (!FDataSetFilterSet) return;
  FDataSetFilterSet = false;
  if (ADataSet->Filter() != FDataSetFilterText) return;
  TControlsGuard Controls(ADataSet);
  ADataSet->SetFiltered(false);
  ADataSet->SetFilter(String());
}

void TcxDBDataFilterCriteria::NotifyChanged() {
  ApplyToDataSet();
  inherited::NotifyChanged();
  TcxDBDataProvider* P = DBDataController()->GetDBProvider();
  if (P->IsSyncMode()) P->FocusMoved(0);
}

// ---- Relation --------------------------------------------------------------------------------

TcxDBDataRelation::~TcxDBDataRelation() {
  TcxDBDataField* F = FMasterKeyField;
  FMasterKeyField = nullptr;
  TcxDBDataController* Master = MasterController();
  if (F && Master && !Master->IsDestroying()) delete F;
}

TcxDBDataController* TcxDBDataRelation::MasterController() const {
  return RelationList() ? dynamic_cast<TcxDBDataController*>(RelationList()->DataController()) : nullptr;
}

TcxDBDataController* TcxDBDataRelation::DetailController(TcxDBDataController* ADetail) const {
  return ADetail ? ADetail : dynamic_cast<TcxDBDataController*>(DetailDataController());
}

void TcxDBDataRelation::RemoveDataField(TcxCustomDataField* AField) {
  inherited::RemoveDataField(AField);
  if (AField == FMasterKeyField) FMasterKeyField = nullptr;
}

bool TcxDBDataRelation::IsLinked(TcxDBDataController* ADetail) {
  TcxDBDataController* Detail = DetailController(ADetail);
  return Detail && !Detail->MasterFieldNames().empty() && !Detail->DetailKeyFieldNames().empty();
}

Variant TcxDBDataRelation::GetMasterKeyValue(Integer AMasterRecordIndex, TcxDBDataController* ADetail) {
  TcxDBDataController* Master = MasterController();
  if (!Master || !IsLinked(ADetail)) return Null();
  const String Names = DetailController(ADetail)->MasterFieldNames();
  if (!FMasterKeyField || FMasterKeyField->FieldName() != Names) Master->UpdateInternalField(Names, FMasterKeyField);
  if (AMasterRecordIndex < 0 || AMasterRecordIndex >= Master->GetRecordCount()) return Null();
  return Master->GetRecordValue(AMasterRecordIndex, FMasterKeyField);
}

// ---- Summary item -----------------------------------------------------------------------

TcxDBDataSummaryItem::~TcxDBDataSummaryItem() {
  TcxDBDataField* F = FDataField;
  FDataField = nullptr;
  auto* C = dynamic_cast<TcxDBDataController*>(GetDataController());
  if (F && C && !C->IsDestroying()) delete F;
}

void TcxDBDataSummaryItem::Assign(TPersistent* ASource) {
  inherited::Assign(ASource);
  if (auto* Source = dynamic_cast<TcxDBDataSummaryItem*>(ASource)) SetFieldName(Source->FFieldName);
}

TcxCustomDataField* TcxDBDataSummaryItem::SourceField() const {
  if (FDataField && FDataField->IsBound()) return FDataField;
  return inherited::SourceField();
}

void TcxDBDataSummaryItem::SetFieldName(const String& AValue) {
  if (FFieldName == AValue) return;
  FFieldName = AValue;
  auto* C = dynamic_cast<TcxDBDataController*>(GetDataController());
  if (!C) return;
  TcxUpdateBracket Bracket(C);
  C->UpdateInternalField(AValue, FDataField);
  C->RequestSummaryRecalculation(true);
}

// ---- Grid-mode selection --------------------------------------------------------------------

TDataSet* TcxDBDataSelection::DataSet() const { return FDataController->GetDataSet(); }

Integer TcxDBDataSelection::Compare(const String& A, const String& B) const {
  TDataSet* DS = DataSet();
  return DS ? DS->CompareBookmarks(A, B) : (A < B ? -1 : (A == B ? 0 : 1));
}

String TcxDBDataSelection::GetRowBookmark(Integer ARowIndex) {
  TcxDBDataProvider* P = FDataController->GetDBProvider();
  TcxDBDataLink* Link = P->DataLink();
  TDataSet* DS = DataSet();
  if (!DS || !Link->Active() || ARowIndex < 0 || ARowIndex >= Link->RecordCount()) return String();
  const Integer Distance = ARowIndex - Link->ActiveRecord();
  if (Distance == 0) return DS->Bookmark();
  // The dataset names only its current record: step there and back, unseen.
  if (IsEditState(DS->State())) return String();
  TCountGuard Guard(P->FOwnChange);
  TControlsGuard Controls(DS);
  const Integer Moved = DS->MoveBy(Distance);
  String Result = Moved == Distance ? DS->Bookmark() : String();
  DS->MoveBy(-Moved);
  return Result;
}

bool TcxDBDataSelection::Find(const String& ABookmark, Integer& AIndex) const {
  Integer Low = 0, High = Count() - 1;
  while (Low <= High) {
    const Integer Mid = (Low + High) / 2;
    const Integer R = Compare(FBookmarks[size_t(Mid)], ABookmark);
    if (R == 0) {
      AIndex = Mid;
      return true;
    }
    if (R < 0)
      Low = Mid + 1;
    else
      High = Mid - 1;
  }
  AIndex = Low;
  return false;
}

bool TcxDBDataSelection::IsSelected(const String& ABookmark) const {
  Integer I;
  return !ABookmark.empty() && Find(ABookmark, I);
}

void TcxDBDataSelection::Select(const String& ABookmark, bool ASelect) {
  if (ABookmark.empty()) return;
  Integer I;
  const bool Found = Find(ABookmark, I);
  if (ASelect && !Found) FBookmarks.insert(FBookmarks.begin() + I, ABookmark);
  if (!ASelect && Found) {
    FBookmarks.erase(FBookmarks.begin() + I);
    if (FAnchorBookmark == ABookmark) FAnchorBookmark.clear();
  }
}

void TcxDBDataSelection::Clear() { FBookmarks.clear(); }

void TcxDBDataSelection::SelectAll() {
  TDataSet* DS = DataSet();
  if (!DS || !DS->Active()) return;
  TcxDBDataProvider* P = FDataController->GetDBProvider();
  TCountGuard Guard(P->FOwnChange);
  TControlsGuard Controls(DS);
  P->SavePosition();
  try {
    FBookmarks.clear();
    for (DS->First(); !DS->Eof(); DS->Next()) FBookmarks.push_back(DS->Bookmark());
    std::sort(FBookmarks.begin(), FBookmarks.end(),
              [this](const String& A, const String& B) { return Compare(A, B) < 0; });
  } catch (...) {
    FBookmarks.clear();
    P->RestorePosition();
    throw;
  }
  P->RestorePosition();
}

void TcxDBDataSelection::SelectFromAnchor(const String& ABookmark, bool AKeep) {
  TDataSet* DS = DataSet();
  if (!DS || !AnchorSet() || ABookmark.empty() || !DS->BookmarkValid(FAnchorBookmark)) return;
  String From = FAnchorBookmark, To = ABookmark;
  if (Compare(From, To) > 0) std::swap(From, To);
  if (!AKeep) FBookmarks.clear();
  TcxDBDataProvider* P = FDataController->GetDBProvider();
  TCountGuard Guard(P->FOwnChange);
  TControlsGuard Controls(DS);
  P->SavePosition();
  try {
    DS->GotoBookmark(From);
    while (!DS->Eof()) {
      const String B = DS->Bookmark();
      Select(B, true);
      if (Compare(B, To) >= 0) break;
      DS->Next();
    }
  } catch (...) {
    P->RestorePosition();
    throw;
  }
  P->RestorePosition();
}

void TcxDBDataSelection::ClearStale() {
  TDataSet* DS = DataSet();
  for (Integer I = Count() - 1; I >= 0; --I) {
    const String& B = FBookmarks[size_t(I)];
    if (B.empty() || !DS || !DS->BookmarkValid(B)) {
      if (FAnchorBookmark == B) FAnchorBookmark.clear();
      FBookmarks.erase(FBookmarks.begin() + I);
    }
  }
}

// ---- Detail filter adapter -------------------------------------------------------------------

namespace {
TParams* ParamsOf(TDataSet* ADataSet) {
  auto* Query = dynamic_cast<TCustomADODataSet*>(ADataSet);
  return Query ? Query->Parameters() : nullptr;
}
}  // namespace

bool TcxDBProviderDetailFilterAdapter::IsCurrentQuery(TDataSet* ADataSet, const String& AFieldNames,
                                                      const Variant& AValues) {
  TParams* Params = ParamsOf(ADataSet);
  if (!Params) return false;
  std::vector<String> Names;
  SplitFieldNames(AFieldNames, Names);
  for (size_t I = 0; I < Names.size(); ++I) {
    TParam* Param = Params->FindParam(Names[I]);
    if (!Param) return false;
    const Variant Key = Names.size() == 1 ? AValues : ArrayElement(AValues, Integer(I));
    if (!VariantsEqual(Param->Value(), Key)) return false;
  }
  return true;
}

bool TcxDBProviderDetailFilterAdapter::ReopenSQL(TDataSet* ADataSet, const String& AFieldNames, const Variant& AValues) {
  if (ADataSet->Active() && IsCurrentQuery(ADataSet, AFieldNames, AValues)) {
    ADataSet->First();
    return false;
  }
  TParams* Params = ParamsOf(ADataSet);
  if (!Params) return false;
  std::vector<String> Names;
  SplitFieldNames(AFieldNames, Names);
  TControlsGuard Controls(ADataSet);
  ADataSet->Close();
  for (size_t I = 0; I < Names.size(); ++I)
    Params->ParamByName(Names[I])->SetValue(Names.size() == 1 ? AValues : ArrayElement(AValues, Integer(I)));
  ADataSet->Open();
  return true;
}

TcxDBAdapterList* cxDetailFilterControllers() {
  static std::unique_ptr<TcxDBAdapterList> List = [] {
    auto L = std::make_unique<TcxDBAdapterList>();
    L->Register(TDataSet::StaticClass(), TcxDBProviderDetailFilterAdapter::StaticClass());
    return L;
  }();
  return List.get();
}

// ---- Controller ------------------------------------------------------------------------------

void TcxDBFieldNotifier::Notification(TComponent* AComponent, TOperation Operation) {
  inherited::Notification(AComponent, Operation);
  if (Operation == opRemove && FController->Fields()) FController->Fields()->BroadcastComponentRemoved(AComponent);
}

TcxDBDataController::TcxDBDataController(TComponent* AOwner) : TcxCustomDataController(AOwner) {
  FFieldNotifier = std::make_unique<TcxDBFieldNotifier>(this);
  FDataModeController = std::make_unique<TcxDBDataModeController>(this);
  FDBSelection = std::make_unique<TcxDBDataSelection>(this);
  FFilter = std::make_unique<TcxDBDataFilterCriteria>(this);
  RecreateProvider();
}

void TcxDBDataController::ReloadData() { GetDBProvider()->ReloadData(); }

void TcxDBDataController::RecreateStorage() {
  if (!IsGridMode()) GetDBProvider()->DataLink()->SetBufferCount(1);
  inherited::RecreateStorage();
}

TcxDBDataController::~TcxDBDataController() {
  FDestroying = true;
  if (FProvider) GetDBProvider()->DataLink()->SetDataSource(nullptr);
  FDBSelection.reset();
  FDataModeController.reset();
  FFieldNotifier.reset();
}

TcxDBDataFilterCriteria* TcxDBDataController::DBFilter() const { return static_cast<TcxDBDataFilterCriteria*>(FFilter.get()); }

TObject* TcxDBDataController::GetItem(Integer AIndex) const { return inherited::GetItemField(AIndex)->Item(); }

TcxCustomDataField* TcxDBDataController::CreateField() { return new TcxDBDataField(FFields.get()); }

void TcxDBDataController::Assign(TPersistent* ASource) {
  inherited::Assign(ASource);
  auto* Source = dynamic_cast<TcxDBDataController*>(ASource);
  if (!Source) return;
  FDataModeController->Assign(Source->DataModeController());
  SetDataSource(Source->GetDataSource());
  SetKeyFieldNames(Source->FKeyFieldNames);
  SetDetailKeyFieldNames(Source->FDetailKeyFieldNames);
  SetMasterFieldNames(Source->FMasterFieldNames);
  OnDetailHasRows = Source->OnDetailHasRows;
}

TDataSource* TcxDBDataController::GetDataSource() const { return GetDBProvider()->DataLink()->DataSource(); }

void TcxDBDataController::SetDataSource(TDataSource* AValue) {
  if (GetDataSource() == AValue) return;
  GetDBProvider()->DataLink()->SetDataSource(AValue);
  if (!AValue) GetDBProvider()->ReloadData();
  DataSourceChanged();
}

TDataSet* TcxDBDataController::GetDataSet() const {
  TDataSource* S = GetDataSource();
  return S ? S->DataSet() : nullptr;
}


Integer TcxDBDataController::GridModeBufferCount() const {
  const Integer N = FDataModeController->GridModeBufferCount();
  return N > 0 ? N : GetDefaultGridModeBufferCount();
}

void TcxDBDataController::SetKeyFieldNames(const String& AValue) {
  if (FKeyFieldNames == AValue) return;
  FKeyFieldNames = AValue;
  UpdateInternalField(AValue, FKeyField);
}

void TcxDBDataController::SetDetailKeyFieldNames(const String& AValue) { FDetailKeyFieldNames = AValue; }
void TcxDBDataController::SetMasterFieldNames(const String& AValue) { FMasterFieldNames = AValue; }

void TcxDBDataController::UpdateInternalField(const String& AFieldNames, TcxDBDataField*& AField) {
  TcxUpdateBracket Bracket(this);
  if (AFieldNames.empty()) {
    if (AField) {
      TcxDBDataField* F = AField;
      AField = nullptr;
      delete F;
      Change(dccData);
    }
    return;
  }
  if (!AField) AField = static_cast<TcxDBDataField*>(CreateInternalField());
  BindField(AField, AFieldNames);
  GetDBProvider()->ReloadData();
}

void TcxDBDataController::BindField(TcxDBDataField* AField, const String& AFieldNames) {
  AField->SetFieldName(AFieldNames);
  AField->ClearFields();
  TDataSet* DS = GetDataSet();
  std::vector<String> Names;
  SplitFieldNames(AFieldNames, Names);
  if (Names.size() > 1) {
    AField->FField = nullptr;
    for (const String& Name : Names) {
      auto* Sub = static_cast<TcxDBDataField*>(CreateInternalField());
      AField->AddField(Sub);
      BindField(Sub, Name);
    }
    AField->UpdateValueType();
    return;
  }
  TField* Field = nullptr;
  // Fields made by opening go when the dataset closes.
  if (DS && (DS->Active() || !DS->DefaultFields()) && !Names.empty() && !FResettingFields) {
    Field = DS->FindField(Names[0]);
    if (!Field) Field = DS->AggFields()->FindField(Names[0]);
  }
  AField->FField = nullptr;
  AField->SetField(Field);
  if (Field && FFieldNotifier) Field->FreeNotification(FFieldNotifier.get());
  if (Field && Field->Lookup()) {
    std::vector<String> Keys;
    SplitFieldNames(Field->KeyFields(), Keys);
    for (const String& Key : Keys) {
      auto* Sub = static_cast<TcxDBDataField*>(CreateInternalField());
      AField->AddField(Sub);
      BindField(Sub, Key);
    }
  }
}

void TcxDBDataController::RecreateFields() {
  TcxUpdateBracket Bracket(this);
  std::vector<TcxDBDataField*> Roots;
  for (Integer I = 0; I < FFields->Count(); ++I) {
    auto* F = dynamic_cast<TcxDBDataField*>(FFields->Items(I));
    if (F && !F->ParentField()) Roots.push_back(F);
  }
  for (TcxDBDataField* F : Roots) BindField(F, F->FieldName());
}

void TcxDBDataController::SetItemFieldName(Integer AItemIndex, const String& AFieldNames) {
  TcxDBDataField* F = GetItemDBField(AItemIndex);
  if (!F || F->FieldName() == AFieldNames) return;
  TcxUpdateBracket Bracket(this);
  BindField(F, AFieldNames);
  GetDBProvider()->ReloadData();
}

TcxDBDataField* TcxDBDataController::GetItemDBField(Integer AItemIndex) const {
  return dynamic_cast<TcxDBDataField*>(inherited::GetItemField(AItemIndex));
}

TField* TcxDBDataController::GetItemField(Integer AItemIndex) const {
  TcxDBDataField* F = GetItemDBField(AItemIndex);
  return F ? F->GetField() : nullptr;
}

String TcxDBDataController::GetItemFieldName(Integer AItemIndex) const {
  TcxDBDataField* F = GetItemDBField(AItemIndex);
  return F ? F->FieldName() : String();
}

Integer TcxDBDataController::GetItemIndexByField(TField* AField) const {
  if (!AField) return -1;
  for (Integer I = 0; I < GetItemCount(); ++I) {
    TcxDBDataField* F = GetItemDBField(I);
    if (F && !F->Internal() && F->GetField() == AField) return I;
  }
  return -1;
}

Integer TcxDBDataController::GetDataSetRecordCount() const {
  TDataSet* DS = GetDataSet();
  return DS && DS->Active() ? DS->RecordCount() : 0;
}

Integer TcxDBDataController::GetDataSetRecNo() const {
  TDataSet* DS = GetDataSet();
  return DS && DS->Active() ? DS->RecNo() : -1;
}

void TcxDBDataController::SetDataSetRecNo(Integer AValue) {
  TDataSet* DS = GetDataSet();
  if (DS && DS->Active()) DS->SetRecNo(AValue);
}

bool TcxDBDataController::IsDataSetSequenced() const {
  TDataSet* DS = GetDataSet();
  return DS && DS->IsSequenced();
}

void TcxDBDataController::GetKeyFields(std::vector<TcxCustomDataField*>& AList) {
  AList.clear();
  if (!FKeyField) return;
  if (FKeyField->FieldCount() > 1)
    for (Integer I = 0; I < FKeyField->FieldCount(); ++I) AList.push_back(FKeyField->Fields(I));
  else
    AList.push_back(FKeyField);
}

namespace {
void CheckKeyFieldsBound(TcxDBDataField* AKeyField) {
  if (!AKeyField) return;
  if (AKeyField->FieldCount() > 1) {
    for (Integer I = 0; I < AKeyField->FieldCount(); ++I)
      if (!AKeyField->Fields(I)->GetField()) cxDataControllerError(cxSDBKeyFieldNotFound);
  } else if (!AKeyField->GetField()) {
    cxDataControllerError(cxSDBKeyFieldNotFound);
  }
}
}  // namespace

Variant TcxDBDataController::GetRecordId(Integer ARecordIndex) {
  CheckRecordRange(ARecordIndex);
  std::vector<TcxCustomDataField*> Keys;
  GetKeyFields(Keys);
  if (Keys.empty()) return Null();
  return GetRecordValues(ARecordIndex, Keys);
}

void TcxDBDataController::SetItemValueTypeClass(Integer AItemIndex, TcxValueTypeClass AValue) {
  CheckItemRange(AItemIndex);
  if (GetItemField(AItemIndex)) return;
  TcxCustomDataController::SetItemValueTypeClass(AItemIndex, AValue);
}

Variant TcxDBDataController::GetKeyValue(Integer ARecordIndex) {
  std::vector<TcxCustomDataField*> Keys;
  GetKeyFields(Keys);
  if (Keys.empty()) return Null();
  if (GetDataSet() && GetDataSet()->Active()) CheckKeyFieldsBound(FKeyField);
  return GetRecordValues(ARecordIndex, Keys);
}

Variant TcxDBDataController::GetDataSetKeyValue() {
  if (!FKeyField) return Null();
  CheckKeyFieldsBound(FKeyField);
  return FKeyField->DataSetValue();
}

Variant TcxDBDataController::GetRecordValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  auto* F = dynamic_cast<TcxDBDataField*>(AField);
  if (F && F->FieldCount() > 1) {
    std::vector<TcxCustomDataField*> Subs;
    for (Integer I = 0; I < F->FieldCount(); ++I) Subs.push_back(F->Fields(I));
    return GetRecordValues(ARecordIndex, Subs);
  }
  return inherited::GetRecordValue(ARecordIndex, AField);
}

Integer TcxDBDataController::FindRecordIndexByKey(const Variant& AKeyValue) {
  std::vector<TcxCustomDataField*> Keys;
  GetKeyFields(Keys);
  if (Keys.empty()) return -1;
  if (Keys.size() > 1 && ArrayCount(AKeyValue) != Integer(Keys.size())) return -1;
  TcxDataControllerKeyLocateObject Locate(this);
  Locate.Fields() = Keys;
  for (size_t I = 0; I < Keys.size(); ++I)
    Locate.SetValue(Keys[I], Keys.size() == 1 ? AKeyValue : ArrayElement(AKeyValue, Integer(I)));
  return Locate.FindRecordIndex();
}

bool TcxDBDataController::LocateByKey(const Variant& AKeyValue) {
  const Integer Record = FindRecordIndexByKey(AKeyValue);
  if (Record >= 0) {
    FocusRecord(Record);
    return true;
  }
  TDataSet* DS = GetDataSet();
  if (IsGridMode() && DS && !FKeyFieldNames.empty()) {
    if (DS->Locate(FKeyFieldNames, AKeyValue, {})) {
      const Integer Row = GetFocusedRowIndex();
      if (Row >= 0) ChangeRowSelection(Row, true);
      return true;
    }
    return false;
  }
  FocusRow(-1);
  return false;
}

bool TcxDBDataController::MoveDataSetToRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0) return false;
  TDataSet* DS = GetDataSet();
  if (!DS || !DS->Active()) return false;
  TcxDBDataProvider* P = GetDBProvider();
  if (P->IsKeysInUse()) {
    const Variant Key = GetKeyValue(ARecordIndex);
    if (VariantsEqual(Key, GetDataSetKeyValue()) && P->CurrentRecordIndex() == ARecordIndex) return true;
    TCountGuard Guard(P->FOwnChange);
    const bool Found = DS->Locate(FKeyFieldNames, Key, {});
    P->FPendingChange = false;
    return Found;
  }
  // Without keys the record is found by its distance; a move that falls
  // short (rows went while the controls were disabled) reached another row.
  const Integer Distance = ARecordIndex - P->CurrentRecordIndex();
  if (Distance == 0) return true;
  TCountGuard Guard(P->FOwnChange);
  const Integer Moved = DS->MoveBy(Distance);
  P->FPendingChange = false;
  return Moved == Distance;
}

Integer TcxDBDataController::GetRecordIndexByDataSetCurrent() {
  TcxDBDataProvider* P = GetDBProvider();
  if (!P->IsKeysInUse()) return P->CurrentRecordIndex();
  TDataSet* DS = GetDataSet();
  if (!DS || !DS->Active() || DS->IsEmpty()) return -1;
  return FindRecordIndexByKey(GetDataSetKeyValue());
}

void TcxDBDataController::ReloadRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex >= GetRecordCount()) return;
  TcxValueDefDBReader Reader;
  FDataStorage->LoadRecord(ARecordIndex, &Reader, true);
  DataChanged(dcRecord, -1, ARecordIndex);
  Change(dccUpdateRecord);
}

void TcxDBDataController::RefreshSource() {
  if (TDataSet* DS = GetDataSet()) DS->Refresh();
}

void TcxDBDataController::CheckBrowseMode() {
  TDataSet* DS = GetDataSet();
  if (!DS || !DS->Active()) return;
  TCountGuard Guard(GetDBProvider()->FOwnChange);
  DS->CheckBrowseMode();
}

void TcxDBDataController::NotifyControl(TcxUpdateControlInfo* AUpdateControlInfo) {
  if (FFocusHold > 0) {
    THeldFocus& H = FHeldFocus;
    if (auto* Row = dynamic_cast<TcxFocusedRowChangedInfo*>(AUpdateControlInfo)) {
      if (!H.RowSeen) H.PrevRow = Row->PrevFocusedRowIndex;
      H.Row = Row->FocusedRowIndex;
      H.RowSeen = true;
      return;
    }
    if (auto* Focus = dynamic_cast<TcxFocusedRecordChangedInfo*>(AUpdateControlInfo)) {
      if (!H.RecordSeen) {
        H.PrevRecord = Focus->PrevFocusedRecordIndex;
        if (!H.RowSeen) H.PrevRow = Focus->PrevFocusedRowIndex;
      }
      H.Record = Focus->FocusedRecordIndex;
      H.Row = Focus->FocusedRowIndex;
      H.NewItemRowChanged = H.NewItemRowChanged || Focus->NewItemRowFocusingChanged;
      H.RecordSeen = true;
      return;
    }
  }
  inherited::NotifyControl(AUpdateControlInfo);
}

void TcxDBDataController::ReleaseFocusNotices() {
  if (FFocusHold == 0 || --FFocusHold > 0) return;
  const THeldFocus H = std::exchange(FHeldFocus, THeldFocus{});
  if (H.RowSeen && H.PrevRow != H.Row) SendNotice(new TcxFocusedRowChangedInfo(H.PrevRow, H.Row));
  if (H.RecordSeen) SendNotice(new TcxFocusedRecordChangedInfo(H.PrevRecord, H.Record, H.PrevRow, H.Row, H.NewItemRowChanged));
}

Integer TcxDBDataController::GetFocusedRecordIndex() const {
  return inherited::GetFocusedRecordIndex();
}

String TcxDBDataController::GetSelectedBookmark(Integer AIndex) const {
  if (!IsGridMode()) cxDataControllerError(cxSDBNotInGridMode);
  return FDBSelection->Bookmarks(AIndex);
}

String TcxDBDataController::GetAnchorBookmark() const {
  if (!IsGridMode()) cxDataControllerError(cxSDBNotInGridMode);
  return FDBSelection->AnchorBookmark();
}

void TcxDBDataController::GridModeScroll(Integer ADistance) { GetDBProvider()->Scroll(ADistance); }

bool TcxDBDataController::LeaveRecord(Integer ARecordIndex) {
  TcxDBDataProvider* P = GetDBProvider();
  if (P->FSyncingFocus || P->FLoading) return inherited::LeaveRecord(ARecordIndex);
  if (P->TcxCustomDataProvider::IsInserting() && ARecordIndex == P->EditingRecordIndex()) return true;
  if (NewItemRowFocused() && ARecordIndex < 0) {
    if (!P->TcxCustomDataProvider::IsInserting()) PostRecord();
    return true;
  }
  if (P->IsEditing() && P->EditingRecordIndex() != ARecordIndex) PostRecord();
  if (ARecordIndex < 0 || !P->IsSyncMode()) return true;
  if (IsGridMode()) {
    TCountGuard Guard(P->FOwnChange);
    const Integer Distance = ARecordIndex - P->DataLink()->ActiveRecord();
    if (Distance != 0) GetDataSet()->MoveBy(Distance);
    P->FPendingChange = false;
    return true;
  }
  return MoveDataSetToRecord(ARecordIndex);
}

Variant TcxDBDataController::GetFilterItemValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  auto* F = dynamic_cast<TcxDBDataField*>(AField);
  if (F && F->FieldCount() > 1) return GetRecordValue(ARecordIndex, F);
  return inherited::GetFilterItemValue(ARecordIndex, AField);
}

bool TcxDBDataController::FilterReadsStoredTexts(TcxCustomDataField* AField, bool ASourceRecord) {
  auto* F = dynamic_cast<TcxDBDataField*>(AField);
  if (F && F->FieldCount() > 1) return false;
  return inherited::FilterReadsStoredTexts(AField, ASourceRecord);
}

String TcxDBDataController::GetFilterItemCaption(Integer AItemIndex) {
  TcxDBDataField* F = GetItemDBField(AItemIndex);
  if (!F) return String();
  const bool Ignore = DBFilter()->IgnoreOrigin();
  if (F->FieldCount() > 1) {
    String Result;
    for (Integer I = 0; I < F->FieldCount(); ++I) {
      if (I > 0) Result += u";";
      Result += GetFilterFieldName(F->Fields(I)->GetField(), Ignore);
    }
    return Result;
  }
  if (F->GetField()) return GetFilterFieldName(F->GetField(), Ignore);
  String Name = F->FieldName();
  QuoteFieldName(Name);
  return Name;
}

bool TcxDBDataController::ExecuteAction(TObject* AAction) { return inherited::ExecuteAction(AAction); }
bool TcxDBDataController::UpdateAction(TObject* AAction) { return inherited::UpdateAction(AAction); }

bool TcxDBDataController::SourceKeepsSelection() { return GetDBProvider()->IsKeysInUse(); }

void TcxDBDataController::DetailsRecordDeleted(Integer ARecordIndex) {
  inherited::DetailsRecordDeleted(ARecordIndex);
  TcxDBDataProvider* P = GetDBProvider();
  if (P->FUpdatingRecordIndex == ARecordIndex) P->FUpdatingRecordIndex = cxNoRecordIndex;
  if (P->FNewRecordIndex == ARecordIndex) P->FNewRecordIndex = -1;
}

bool TcxDBDataController::GetCanModifyItem(Integer AItemIndex) {
  TcxDBDataField* F = GetItemDBField(AItemIndex);
  return F && F->GetField() && F->CanModify(evsValue);
}

bool TcxDBDataController::GridModeLocateByText(const String& AText, bool AForward, bool ANext) {
  TDataSet* DS = GetDataSet();
  TcxDBDataProvider* P = GetDBProvider();
  auto* Field = dynamic_cast<TcxDBDataField*>(IncrementalSearchField());
  if (!DS || !DS->Active() || DS->IsEmpty() || P->IsDataSetEditing() || !Field || !Field->GetField()) return false;
  auto Matches = [&] { return SameTextOrPrefix(Field->GetField()->DisplayText(), AText, true); };
  if (!ANext && Matches()) return true;
  bool Found = false;
  P->SavePosition();
  {
    TCountGuard Guard(P->FOwnChange);
    TControlsGuard Controls(DS);
    const String Start = DS->Bookmark();
    bool Wrapped = false;
    for (;;) {
      if (AForward) DS->Next(); else DS->Prior();
      if (AForward ? DS->Eof() : DS->Bof()) {
        if (Wrapped) break;
        Wrapped = true;
        if (AForward) DS->First(); else DS->Last();
      }
      if (DS->Bookmark() == Start) break;
      if (Matches()) {
        Found = true;
        break;
      }
    }
    if (!Found) P->RestorePosition();
  }
  P->FPendingChange = false;
  if (Found) P->ReloadData();
  return Found;
}

// ---- Master-detail ----

TcxDBProviderDetailFilterAdapter* TcxDBDataController::GetDetailFilterAdapter() {
  TDataSet* DS = GetDataSet();
  Integer Index;
  if (!DS || !cxDetailFilterControllers()->Find(DS->ClassType(), Index))
    cxDataControllerError(cxSDBDetailFilterControllerNotFound);
  auto* Adapter = dynamic_cast<TcxDBProviderDetailFilterAdapter*>(cxDetailFilterControllers()->Items(Index));
  if (!Adapter) cxDataControllerError(cxSDBDetailFilterControllerNotFound);
  return Adapter;
}

bool TcxDBDataController::IsDetailCurrentQuery() {
  TDataSet* DS = GetDataSet();
  if (!DS || VarIsNullOrEmpty(FMasterKeyValues)) return true;
  bool Result = false;
  if (FDataModeController->OnDetailIsCurrentQuery)
    FDataModeController->OnDetailIsCurrentQuery(this, DS, FDetailKeyFieldNames, FMasterKeyValues, Result);
  else
    Result = GetDetailFilterAdapter()->IsCurrentQuery(DS, FDetailKeyFieldNames, FMasterKeyValues);
  return Result;
}

void TcxDBDataController::SetMasterRelation(TcxCustomDataRelation* ARelation, Integer ARecordIndex) {
  TcxUpdateBracket Bracket(this);
  inherited::SetMasterRelation(ARelation, ARecordIndex);
  auto* Master = dynamic_cast<TcxDBDataController*>(GetMasterDataController());
  if (dynamic_cast<TcxDBDataRelation*>(ARelation) && Master && ARecordIndex >= 0) SetMasterRecord(Master, ARecordIndex);
}

void TcxDBDataController::SetMasterRecord(TcxDBDataController* AMaster, Integer ARecordIndex) {
  TcxUpdateBracket Bracket(this);
  Variant Key = Null();
  auto* Relation = dynamic_cast<TcxDBDataRelation*>(GetMasterRelation());
  if (Relation && AMaster && GetMasterDataController() == AMaster) {
    Key = Relation->GetMasterKeyValue(ARecordIndex, this);
  } else if (AMaster && ARecordIndex >= 0 && ARecordIndex < AMaster->GetRecordCount() && !FMasterFieldNames.empty()) {
    std::vector<String> Names;
    SplitFieldNames(FMasterFieldNames, Names);
    std::vector<Variant> Values;
    for (const String& Name : Names) {
      Variant V = Null();
      for (Integer I = 0; I < AMaster->FFields->Count(); ++I) {
        auto* F = dynamic_cast<TcxDBDataField*>(AMaster->FFields->Items(I));
        if (F && F->FieldCount() <= 1 && SameFieldName(F->FieldName(), Name) && F->ValueDef()) {
          V = AMaster->GetRecordValue(ARecordIndex, F);
          break;
        }
      }
      Values.push_back(V);
    }
    Key = Values.size() == 1 ? Values[0] : VarArrayOf(Values);
  }
  FMasterKeyValues = Key;
  TDataSet* DS = GetDataSet();
  if (!DS || VarIsNull(Key) || FDetailKeyFieldNames.empty()) {
    GetDBProvider()->ReloadData();
    return;
  }
  TcxDBDataProvider* P = GetDBProvider();
  if (FDataModeController->DetailInSQLMode()) {
    bool Reopened = false;
    TCountGuard Guard(P->FOwnChange);
    if (FDataModeController->OnDetailFirst)
      FDataModeController->OnDetailFirst(this, DS, FDetailKeyFieldNames, Key, Reopened);
    else
      Reopened = GetDetailFilterAdapter()->ReopenSQL(DS, FDetailKeyFieldNames, Key);
    P->FPendingChange = false;
    if (Reopened) RecreateFields();
  } else if (FDataModeController->DetailSyncToMaster() && DS->Active()) {
    TCountGuard Guard(P->FOwnChange);
    if (!VariantsEqual(DS->FieldValues(FDetailKeyFieldNames), Key)) DS->Locate(FDetailKeyFieldNames, Key, {});
    P->FPendingChange = false;
  }
  P->ReloadData();
}
