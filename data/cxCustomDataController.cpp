#include "data/cxCustomDataController.h"

#include <algorithm>
#include <exception>

#include "data/cxDataControllerSearch.h"
#include "data/cxDataFilterBinding.h"
#include "data/cxDataSummary.h"
#include "data/cxDataUtils.h"
#include "data/cxVariants.h"
#include "data/cxDataGuards.h"
#include "platform/rtl/sysutils.h"

// ---- Notices ----------------------------------------------------------------------------

TcxSelectionChangedInfo::TcxSelectionChangedInfo(Integer ARow1, Integer ARow2) {
  if (ARow1 != -1) FRowIndexes.push_back(ARow1);
  if (ARow2 != -1 && ARow2 != ARow1) FRowIndexes.push_back(ARow2);
}

// ---- Creation ----------------------------------------------------------------------------

TcxCustomDataController::TcxCustomDataController(TComponent* AOwner) : FOwner(AOwner) {
  FDataStorage = std::make_unique<TcxDataStorage>();
  FDataStorage->OnClearInternalRecords = TNotifyEvent(this, &TcxCustomDataController::StorageReset);
  FGroups = std::make_unique<TcxDataControllerGroups>(this);
  FFields = std::make_unique<TcxCustomDataFieldList>(static_cast<IcxCustomDataController*>(this));
  FFilterList = std::make_unique<TcxDataFilterList>();
  FFilter = std::make_unique<TcxDataFilterCriteria>(this);
  FSearch = std::make_unique<TcxDataControllerSearch>(this);
  FSummary = std::make_unique<TcxDataSummary>(this);
  FProvider = std::make_unique<TcxCustomDataProvider>(this);
  FInfo = std::make_unique<TcxCustomDataControllerInfo>(this);
  SettleRecordIDs();
}

TcxCustomDataController::~TcxCustomDataController() {
  FDestroying = true;
  FSaveObject.reset();
  // A pattern leaves its relation; a clone's relation may be gone already
  // (its master frees it before the detail objects that hold the clone).
  if (FMasterRelation && FMasterRecordIndex < 0 && FMasterRelation->DetailDataController() == this)
    FMasterRelation->SetDetailDataController(nullptr);
  FMasterRelation = nullptr;
  FRelations.reset();
  FInfo.reset();
  FSummary.reset();
  FFilter.reset();
  FFilterList.reset();
  FProvider.reset();
  FDataStorage->Reset(false);
  FFields.reset();
  FDataStorage.reset();
  FSearch.reset();
  FGroups.reset();
}

void TcxCustomDataController::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxCustomDataController*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  TcxUpdateBracket Bracket(this);
  SetOptions(Source->FOptions);
  FFilter->Assign(Source->Filter());
  FSummary->Assign(Source->Summary());
  OnAfterCancel = Source->OnAfterCancel;
  OnAfterDelete = Source->OnAfterDelete;
  OnAfterInsert = Source->OnAfterInsert;
  OnAfterPost = Source->OnAfterPost;
  OnBeforeCancel = Source->OnBeforeCancel;
  OnBeforeDelete = Source->OnBeforeDelete;
  OnBeforeInsert = Source->OnBeforeInsert;
  OnBeforePost = Source->OnBeforePost;
  OnFilterRecord = Source->OnFilterRecord;
  OnNewRecord = Source->OnNewRecord;
  OnCompare = Source->OnCompare;
  OnDataChanged = Source->OnDataChanged;
  OnRecordChanged = Source->OnRecordChanged;
  OnGroupingChanged = Source->OnGroupingChanged;
  OnSortingChanged = Source->OnSortingChanged;
  OnDetailExpanding = Source->OnDetailExpanding;
  OnDetailExpanded = Source->OnDetailExpanded;
  OnDetailCollapsing = Source->OnDetailCollapsing;
  OnDetailCollapsed = Source->OnDetailCollapsed;
}

TClass TcxCustomDataController::SummaryClass() const { return TcxDataSummary::StaticClass(); }

void TcxCustomDataController::RecreateProvider() {
  FProvider.reset(ProviderClass()->Create(this));
}

void TcxCustomDataController::RecreateSummary() {
  auto* Meta = dynamic_cast<TcxDataSummaryClass>(SummaryClass());
  if (!Meta) throw EInvalidOperation(u"Not a summary class");
  FSummary.reset(Meta->Create(this));
}

TcxDataFilterCriteria* TcxCustomDataController::CreateFilter() {
  auto* Result = new TcxDataFilterCriteria(this);
  Result->SetExtra(true);
  FFilterList->Add(Result);
  return Result;
}

void TcxCustomDataController::RemoveExtraFilter(TcxDataFilterCriteria* ACriteria) {
  if (FFilterList) FFilterList->Remove(ACriteria);
}

void TcxCustomDataController::StorageReset(TObject*) {
  if (FProvider) FProvider->ClearSavedRecordIndex();
  FNewItemRecordIndex = 0;
}

void TcxCustomDataController::SetOptions(TcxDataControllerOptions AValue) {
  if (AValue == FOptions) return;
  FOptions = AValue;
  RefreshRows();
}

void TcxCustomDataController::SetMultiSelect(bool AValue) {
  if (AValue == FMultiSelect) return;
  BeginUpdate();
  FInfo->ClearSelection();
  FMultiSelect = AValue;
  Change(dccSelection);
  EndUpdate();
}

// ---- State -------------------------------------------------------------------------------

bool TcxCustomDataController::IsOwnerLoading() const { return FOwner && FOwner->IsLoading(); }
bool TcxCustomDataController::IsOwnerReading() const {
  return FOwner && (FOwner->ComponentState() & csReading) != 0;
}
bool TcxCustomDataController::IsOwnerDestroying() const { return FDestroying || (FOwner && FOwner->IsDestroying()); }

void TcxCustomDataController::Loaded() {
  if (FDataChangedPending) DoDataChanged();
  FSummary->FireAfterSummaryIfPending();
}

void TcxCustomDataController::ClearReorderFlags() {
  FGroupingChanged = false;
  FSortingChanged = false;
  FLoadedStorage = false;
  FFilterChanged = false;
}

// ---- Update brackets and notices ---------------------------------------------------------

void TcxCustomDataController::BeginUpdate() { FInfo->Lock(); }

void TcxCustomDataController::EndUpdate() {
  FInfo->Unlock();
  NotifyIfUnlocked();
}

bool TcxCustomDataController::IsUpdating() const { return FInfo->LockCount() > 0; }

void TcxCustomDataController::Change(Word AFlags) {
  FChanges |= AFlags;
  NotifyIfUnlocked();
}

void TcxCustomDataController::NotifyIfUnlocked() {
  if (!FInfo || FInfo->LockCount() > 0 || FDestroying) return;
  // Storage work deferred while locked runs before the notices.
  if (FStructureReloadPending) {
    FStructureReloadPending = false;
    ReloadData();
  }
  if (FChanges == 0 || FInfo->LockCount() > 0) return;
  DeliverChanges();
}

void TcxCustomDataController::InfoUpdated(Word AMask) {
  Word Flags = 0;
  if (AMask & (dciSorting | dciField)) Flags |= dccLayout;
  if (AMask & (dciRecordList | dciGrouping | dciExpanding)) Flags |= dccData;
  if (AMask & (dciFocusedRow | dciSyncFocus | dciFocusedRecord)) Flags |= dccFocus;
  if (AMask & dciSelection) Flags |= dccSelection;
  if (AMask & dciSummary) Flags |= dccSummary;
  if (FGroupingChanged) Flags |= dccGroupingChanged;
  if (FSortingChanged) Flags |= dccSortingChanged;
  ClearReorderFlags();
  if (AMask & (dciSorting | dciExpanding)) UpdateSelectionBookkeeping();
  FChanges |= Flags;
}

namespace {
TcxSelectedCount SelectedCountOf(Integer ACount) {
  return ACount == 0 ? TcxSelectedCount::None : ACount == 1 ? TcxSelectedCount::One : TcxSelectedCount::Several;
}
}  // namespace

void TcxCustomDataController::UpdateSelectionBookkeeping() {
  if (FPrevSelectedCount != TcxSelectedCount::One) return;
  const Integer Count = GetSelectedCount();
  FPrevSelectedCount = SelectedCountOf(Count);
  FPrevSelectedRow = Count == 1 ? GetSelectedRowIndex(0) : -1;
}

void TcxCustomDataController::SendNotice(TcxUpdateControlInfo* AInfo) {
  std::unique_ptr<TcxUpdateControlInfo> Holder(AInfo);
  TcxFlagGuard Guard(FInNotify, true);
  NotifyControl(AInfo);
}

void TcxCustomDataController::NotifyControl(TcxUpdateControlInfo* AUpdateControlInfo) {
  OnUpdateControl(AUpdateControlInfo);
}

void TcxCustomDataController::DeliverChanges() {
  const Word Flags = FChanges;
  FChanges = 0;
  if (Flags & dccData) {
    TcxDataChangeKind Kind = FDataChangePending ? FPendingKind : dcTotal;
    Integer Item = FDataChangePending ? FPendingItem : -1;
    Integer Record = FDataChangePending ? FPendingRecord : cxNoRecordIndex;
    if (Kind == dcValue && Item == -1) Kind = dcRecord;
    if (Kind < dcAdded && Record == cxNoRecordIndex) Kind = dcTotal;
    if (Kind == dcTotal) {
      Item = -1;
      Record = cxNoRecordIndex;
    }
    FDataChangePending = false;
    FPendingKind = dcTotal;
    FPendingItem = -1;
    FPendingRecord = cxNoRecordIndex;
    FDeliveredKind = Kind;
    FDeliveredItem = Item;
    FDeliveredRecord = Record;
    SendNotice(new TcxDataChangedInfo(Kind, Item, Record));
    DoDataChanged();
  } else if (Flags & (dccLayout | dccDetailLayout | dccSummary)) {
    SendNotice(new TcxLayoutChangedInfo());
  } else if (Flags & dccUpdateRecord) {
    SendNotice(new TcxUpdateRecordInfo(GetFocusedRecordIndex()));
  }
  if (Flags & dccFocus) {
    const Integer PrevRow = FInfo->PrevFocusingInfo()->RowIndex();
    const Integer Row = FInfo->GetFocusedRowIndex();
    const Integer PrevRecord = FInfo->PrevFocusingInfo()->RecordIndex();
    const Integer Record = FInfo->GetFocusedRecordIndex();
    const bool PrevChanged = FInfo->FocusingInfo()->Changed();
    if (PrevRow != Row) SendNotice(new TcxFocusedRowChangedInfo(PrevRow, Row));
    if (PrevRecord >= 0 || Record >= 0 || PrevChanged) {
      SendNotice(new TcxFocusedRecordChangedInfo(PrevRecord, Record, PrevRow, Row, PrevChanged));
      FSearch->Cancel();
    }
    FInfo->TakeFocusAsPrevious();
  }
  if (Flags & dccSelection) {
    const Integer Count = GetSelectedCount();
    const Integer Row = Count == 1 ? GetSelectedRowIndex(0) : -1;
    if (Count <= 1 && FPrevSelectedCount != TcxSelectedCount::Several)
      SendNotice(new TcxSelectionChangedInfo(FPrevSelectedCount == TcxSelectedCount::One ? FPrevSelectedRow : -1, Row));
    else
      SendNotice(new TcxSelectionChangedInfo());
    FPrevSelectedCount = SelectedCountOf(Count);
    FPrevSelectedRow = Row;
  }
  if (Flags & dccSearch) SendNotice(new TcxSearchChangedInfo());
  if (Flags & dccBookmark) SendNotice(new TcxBookmarkChangedInfo());
  if ((Flags & dccGroupingChanged) && !IsOwnerReading()) OnGroupingChanged(this);
  if ((Flags & dccSortingChanged) && !IsOwnerReading() && !FInSortingChangedEvent) {
    TcxFlagGuard Guard(FInSortingChangedEvent, true);
    OnSortingChanged(this);
  }
  if ((Flags & dccStructure) && DetailMode() == TcxDetailMode::Clone)
    if (auto* Pattern = dynamic_cast<TcxCustomDataController*>(GetDetailReferenceController()))
      if (Pattern != this) Pattern->RefreshFocusFromSource();
}

// Merges a change into the pending one so that no change is lost: values of
// one record give a record change, changes of several records (or of no
// named record) a full change, and a record added stays "added" when its
// values change afterwards.
void TcxCustomDataController::DataChanged(Integer AKind, Integer AItemIndex, Integer ARecordIndex) {
  TcxDataChangeKind Kind = TcxDataChangeKind(std::clamp<Integer>(AKind, dcValue, dcTotal));
  if (Kind == dcValue && AItemIndex == -1) Kind = dcRecord;
  if (!FDataChangePending) {
    FDataChangePending = true;
    FPendingKind = Kind;
    FPendingItem = Kind == dcValue ? AItemIndex : -1;
    FPendingRecord = ARecordIndex;
  } else if (Kind == dcTotal || FPendingKind == dcTotal || ARecordIndex != FPendingRecord ||
             ARecordIndex == cxNoRecordIndex) {
    FPendingKind = dcTotal;
    FPendingItem = -1;
    FPendingRecord = cxNoRecordIndex;
  } else if (Kind == dcValue && FPendingKind == dcValue && AItemIndex == FPendingItem) {
    // the same value again
  } else if (Kind <= dcRecord && FPendingKind <= dcRecord) {
    FPendingKind = dcRecord;
    FPendingItem = -1;
  } else if (Kind <= dcRecord && FPendingKind == dcAdded) {
    // an added record keeps its kind
  } else {
    FPendingKind = dcTotal;
    FPendingItem = -1;
    FPendingRecord = cxNoRecordIndex;
  }
  if (Kind == dcTotal) {
    RefreshData(false);
  } else {
    if (Kind == dcAdded || Kind == dcDeleted) FInfo->FocusedRecordChanged(false);
    FInfo->DataChanged();
  }
  // A detail that is not being edited has its master take the changes of
  // its detail objects.
  if (FMasterRelation && (GetEditState() & (dceInsert | dceEdit)) == 0)
    if (TcxCustomDataController* Master = GetMasterDataController()) Master->DetailDataChanged();
}

void TcxCustomDataController::DoDataChanged() {
  if (IsOwnerDestroying()) return;
  if (!OnDataChanged && !OnRecordChanged && FListeners.empty()) return;
  if (IsOwnerLoading()) {
    FDataChangedPending = true;
    return;
  }
  FDataChangedPending = false;
  if (!IsPattern()) {
    if (FDeliveredKind < dcAdded && FDeliveredRecord != cxNoRecordIndex)
      DoRecordChanged(FDeliveredRecord, FDeliveredItem);
    OnDataChanged(this);
  }
  if (IsGridMode() && FProvider->LocateCount() > 0) return;
  const std::vector<TListener> Listeners = FListeners;
  for (const auto& L : Listeners) {
    bool Present = false;
    for (const auto& Now : FListeners) Present = Present || (Now.Owner == L.Owner && Now.Handler == L.Handler);
    if (Present) L.Handler(this);
  }
}

void TcxCustomDataController::AddDataChangedListener(TObject* AOwner, TNotifyEvent AHandler) {
  FListeners.push_back({AOwner, AHandler});
}

void TcxCustomDataController::RemoveDataChangedListener(TObject* AOwner, TNotifyEvent AHandler) {
  for (auto It = FListeners.begin(); It != FListeners.end(); ++It)
    if (It->Owner == AOwner && It->Handler == AHandler) {
      FListeners.erase(It);
      return;
    }
}

void TcxCustomDataController::BeginLocate() {
  ++FLocateCount;
  FProvider->BeginLocate();
}

void TcxCustomDataController::EndLocate() {
  --FLocateCount;
  FProvider->EndLocate();
}

// ---- Items -------------------------------------------------------------------------------

Integer TcxCustomDataController::GetItemCount() const {
  Integer Count = 0;
  for (Integer I = 0; I < FFields->Count(); ++I)
    if (!FFields->Items(I)->IsInternal()) ++Count;
  return Count;
}

Integer TcxCustomDataController::GetItemID(TObject*) const { return -1; }

Integer TcxCustomDataController::FindItemByID(Integer AID) const {
  for (Integer I = 0; I < GetItemCount(); ++I)
    if (GetItemID(GetItem(I)) == AID) return I;
  return -1;
}

void TcxCustomDataController::CheckItemRange(Integer AItemIndex) const {
  if (AItemIndex < 0 || AItemIndex >= GetItemCount()) cxDataControllerError(cxSDataItemIndexError);
}

TcxCustomDataField* TcxCustomDataController::CreateField() { return new TcxCustomDataField(FFields.get()); }

TcxCustomDataField* TcxCustomDataController::AddItemField(TObject* AItem) {
  if (FFields->FindByItem(AItem)) cxDataControllerError(cxSDataItemExistError);
  TcxCustomDataField* Field = CreateField();
  Field->SetItem(AItem);
  FFields->Add(Field);
  return Field;
}

void TcxCustomDataController::RemoveItem(TObject* AItem) {
  TcxCustomDataField* Field = FFields->FindByItem(AItem);
  if (!Field) return;
  TcxUpdateBracket Bracket(this);
  delete Field;  // the field list reports it through FieldRemoved
  Change(dccLayout);
}

void TcxCustomDataController::FieldRemoved(TcxCustomDataField* AField) {
  if (FDestroying) return;
  FInfo->ForgetField(AField);
  FSummary->FieldRemoved(AField);
  FFilter->RemoveItemByItemLink(AField);
  if (FSearchField == AField) {
    FSearch->Cancel();
    FSearchField = nullptr;
  }
  if (FIncrementalFilterField == AField) FIncrementalFilterField = nullptr;
}

TcxCustomDataField* TcxCustomDataController::CreateInternalField() {
  TcxCustomDataField* Field = CreateField();
  Field->SetInternal(true);
  FFields->Add(Field);
  return Field;
}

bool TcxCustomDataController::IsRecordInRowList(Integer ARecordIndex) {
  return FInfo->GetRecordListPosition(ARecordIndex) >= 0;
}

void TcxCustomDataController::UpdateItemIndexes() { Change(dccLayout); }

TcxCustomDataField* TcxCustomDataController::GetItemField(Integer AItemIndex) const {
  CheckItemRange(AItemIndex);
  return FFields->Items(AItemIndex);
}

Integer TcxCustomDataController::GetItemIndexOfField(TcxCustomDataField* AField) const {
  if (!AField || AField->IsInternal()) return -1;
  return AField->Index();
}

Integer TcxCustomDataController::GetItemIndexOf(TObject* AItem) const {
  TcxCustomDataField* Field = FFields->FindByItem(AItem);
  return Field ? GetItemIndexOfField(Field) : -1;
}

TcxValueTypeClass TcxCustomDataController::GetItemValueTypeClass(Integer AItemIndex) const {
  return GetItemField(AItemIndex)->ValueTypeClass();
}

void TcxCustomDataController::SetItemValueTypeClass(Integer AItemIndex, TcxValueTypeClass AValue) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  if (Field->ValueTypeClass() == AValue) return;
  Field->SetValueTypeClass(AValue);
  FInfo->FieldChanged(Field);
  if (HasRecordSource()) {
    RecreateStorage();
    ValueTypeChanged(AItemIndex);
  }
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

bool TcxCustomDataController::GetItemSortByDisplayText(Integer AItemIndex) const {
  return GetItemField(AItemIndex)->SortByDisplayText();
}

void TcxCustomDataController::SetItemSortByDisplayText(Integer AItemIndex, bool AValue) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  if (Field->SortByDisplayText() == AValue) return;
  Field->SetSortByDisplayText(AValue);
  FInfo->FieldChanged(Field);
  NotifyIfUnlocked();
}

bool TcxCustomDataController::IsItemDisplayTextSorted(Integer AItemIndex, bool) const {
  return GetItemSortByDisplayText(AItemIndex);
}

void TcxCustomDataController::BroadcastComponentRemoved(TComponent* AComponent) {
  FFields->BroadcastComponentRemoved(AComponent);
  FFilter->RemoveItemByItemLink(AComponent);
  FFilterList->RemoveComponent(AComponent);
}

bool TcxCustomDataController::CanEditItem(Integer) const { return true; }

// ---- Records and values ------------------------------------------------------------------

Integer TcxCustomDataController::GetRecordCount() const { return FDataStorage->RecordCount(); }

Integer TcxCustomDataController::NewItemRecordIndex() {
  if (FNewItemRecordIndex == 0) FNewItemRecordIndex = FDataStorage->AcquireInternalRecord();
  return FNewItemRecordIndex;
}

void TcxCustomDataController::CheckRecordRange(Integer ARecordIndex) {
  if (ARecordIndex >= 0 && ARecordIndex < GetRecordCount()) return;
  if (ARecordIndex < 0 && ARecordIndex != cxNoRecordIndex && ARecordIndex == NewItemRecordIndex()) return;
  cxDataControllerError(cxSDataRecordIndexError);
}

Integer TcxCustomDataController::AppendRecord() {
  if (IsAppendThroughSource()) return LoadRecordFromSource();
  const Integer Result = HasRecordSource() ? FProvider->SourceAppend() : FDataStorage->AddRecord();
  DataChanged(dcAdded, -1, Result);
  return Result;
}

Integer TcxCustomDataController::LoadRecordFromSource() {
  const Integer Result = FProvider->SourceAppend();
  if (Result >= 0) DataChanged(dcAdded, -1, Result);
  return Result;
}

void TcxCustomDataController::DeleteRecordInSource(Integer ARecordIndex) { FProvider->SourceDelete(ARecordIndex); }

Integer TcxCustomDataController::InsertRecord(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex > GetRecordCount()) cxDataControllerError(cxSDataRecordIndexError);
  if (HasRecordSource())
    ARecordIndex = FProvider->SourceInsert(ARecordIndex);
  else
    FDataStorage->InsertRecordAt(ARecordIndex);
  DetailsRecordInserted(ARecordIndex);
  FInfo->RecordsShifted(ARecordIndex, 1);
  if (FNearestRecordIndex >= ARecordIndex) ++FNearestRecordIndex;
  if (FBookmarkRecordIndex >= ARecordIndex) ++FBookmarkRecordIndex;
  DataChanged(dcAdded, -1, ARecordIndex);
  return ARecordIndex;
}

void TcxCustomDataController::DeleteRecord(Integer ARecordIndex) {
  CheckRecordRange(ARecordIndex);
  if (FProvider->EditingRecordIndex() == ARecordIndex) FProvider->ForgetEditingRecord();
  if (ARecordIndex >= 0 && HasRecordSource())
    DeleteRecordInSource(ARecordIndex);
  else
    FDataStorage->DeleteRecordAt(ARecordIndex);
  if (ARecordIndex < 0) {
    if (ARecordIndex == FNewItemRecordIndex) FNewItemRecordIndex = 0;
    return;
  }
  DetailsRecordDeleted(ARecordIndex);
  if (FBookmarkRecordIndex == ARecordIndex)
    ClearBookmark();
  else if (FBookmarkRecordIndex > ARecordIndex)
    --FBookmarkRecordIndex;
  FInfo->RecordsShifted(ARecordIndex, -1);
  DataChanged(dcDeleted, -1, ARecordIndex);
}

void TcxCustomDataController::SetRecordCount(Integer AValue) {
  AValue = std::max(AValue, 0);
  const Integer Old = GetRecordCount();
  if (AValue == Old) return;
  TcxUpdateBracket Bracket(this);
  if (FProvider->IsEditing() && FProvider->EditingRecordIndex() >= AValue) FProvider->ForgetEditingRecord();
  if (HasRecordSource()) {
    // The source adds or drops records (from the end) until the count fits.
    while (GetRecordCount() < AValue && FProvider->SourceAppend() >= 0) {
    }
    while (GetRecordCount() > AValue) FProvider->SourceDelete(GetRecordCount() - 1);
  } else {
    FDataStorage->SetRecordCount(AValue);
  }
  FInfo->CheckSelection();
  if (FBookmarkRecordIndex >= AValue) ClearBookmark();
  DataChanged(AValue < Old ? dcDeleted : dcAdded, -1, cxNoRecordIndex);
}

bool TcxCustomDataController::IsSourceField(TcxCustomDataField* AField) const {
  if (!AField) return false;
  return !AField->IsInternal() || (AField->ReferenceField() && !AField->ReferenceField()->IsInternal());
}

Variant TcxCustomDataController::GetRecordValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (!AField) return Null();
  if (ARecordIndex >= 0 && FProvider->CustomDataSource() && IsSourceField(AField))
    return FProvider->SourceValue(ARecordIndex, AField);
  if (!AField->ValueDef()) return Null();
  return FDataStorage->ReadValue(ARecordIndex, AField->ValueDef());
}

String TcxCustomDataController::GetRecordDisplayText(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (!AField) return String();
  if (ARecordIndex >= 0 && FProvider->CustomDataSource() && IsSourceField(AField))
    return FProvider->SourceDisplayText(ARecordIndex, AField);
  TcxValueDef* Def = AField->ValueDef();
  if (!Def) return String();
  if (Def->KeepsText()) return FDataStorage->ReadText(ARecordIndex, Def);
  return VarToStr(FDataStorage->ReadValue(ARecordIndex, Def));
}

Variant TcxCustomDataController::GetValue(Integer ARecordIndex, Integer AItemIndex) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  CheckRecordRange(ARecordIndex);
  return GetRecordValue(ARecordIndex, Field);
}

String TcxCustomDataController::GetDisplayText(Integer ARecordIndex, Integer AItemIndex) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  CheckRecordRange(ARecordIndex);
  return GetRecordDisplayText(ARecordIndex, Field);
}

void TcxCustomDataController::SetValue(Integer ARecordIndex, Integer AItemIndex, const Variant& AValue) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  CheckRecordRange(ARecordIndex);
  if (ARecordIndex >= 0 && FProvider->CustomDataSource() && IsSourceField(Field))
    FProvider->SourceSetValue(ARecordIndex, Field, AValue);
  else if (Field->ValueDef())
    FDataStorage->WriteValue(ARecordIndex, Field->ValueDef(), AValue);
  DataChanged(dcValue, AItemIndex, ARecordIndex);
}

void TcxCustomDataController::SetDisplayText(Integer ARecordIndex, Integer AItemIndex, const String& AText) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  CheckRecordRange(ARecordIndex);
  TcxValueDef* Def = Field->ValueDef();
  if (Def && Def->KeepsText()) FDataStorage->WriteText(ARecordIndex, Def, AText);
  DataChanged(dcValue, AItemIndex, ARecordIndex);
}

Variant TcxCustomDataController::GetRecordValues(Integer ARecordIndex,
                                                 const std::vector<TcxCustomDataField*>& AFields) {
  // Without key fields the record source's identity of the record is its key.
  if (AFields.empty()) return ARecordIndex >= 0 ? FProvider->SourceRecordId(ARecordIndex) : Null();
  if (AFields.size() == 1) return GetRecordValue(ARecordIndex, AFields[0]);
  std::vector<Variant> Values;
  for (auto* F : AFields) Values.push_back(GetRecordValue(ARecordIndex, F));
  return VarArrayOf(Values);
}

std::vector<Variant> TcxCustomDataController::GetGroupingValues(Integer ARecordIndex) {
  std::vector<Variant> Result;
  const bool Valid = ARecordIndex >= 0 && ARecordIndex < GetRecordCount();
  for (Integer L = 0; L < FInfo->GroupingFields()->Count(); ++L)
    Result.push_back(Valid ? GetRecordValue(ARecordIndex, FInfo->GroupingFields()->Items(L).Field) : Null());
  return Result;
}

void TcxCustomDataController::CopyRecordValues(Integer AFromRecordIndex, Integer AToRecordIndex) {
  // A record of the source keeps its values in the source: they are read
  // from it and written to it, not to the storage's shadow of the record.
  const bool FromSource = AFromRecordIndex >= 0 && HasRecordSource();
  const bool ToSource = AToRecordIndex >= 0 && HasRecordSource();
  for (Integer I = 0; I < FFields->Count(); ++I) {
    TcxCustomDataField* Field = FFields->Items(I);
    TcxValueDef* Def = Field->ValueDef();
    if ((FromSource || ToSource) && IsSourceField(Field)) {
      const Variant Value = GetRecordValue(AFromRecordIndex, Field);
      if (ToSource)
        FProvider->SourceSetValue(AToRecordIndex, Field, Value);
      else if (Def)
        FDataStorage->WriteValue(AToRecordIndex, Def, Value);
      continue;
    }
    if (!Def) continue;
    FDataStorage->WriteValue(AToRecordIndex, Def, FDataStorage->ReadValue(AFromRecordIndex, Def));
    if (Def->KeepsText()) FDataStorage->WriteText(AToRecordIndex, Def, FDataStorage->ReadText(AFromRecordIndex, Def));
  }
}

// ---- Rows and focus ----------------------------------------------------------------------

Integer TcxCustomDataController::GetRowCount() const { return FInfo->GetRowCount(); }
TcxRowInfo TcxCustomDataController::GetRowInfo(Integer ARowIndex) const { return FInfo->GetRowInfo(ARowIndex); }
Integer TcxCustomDataController::GetFilteredRecordCount() const { return FInfo->GetRecordListCount(); }

Integer TcxCustomDataController::GetFilteredRecordIndex(Integer APosition) const {
  if (APosition < 0 || APosition >= FInfo->GetRecordListCount()) return -1;
  return FInfo->GetRecordListItem(APosition);
}

Integer TcxCustomDataController::GetFilteredIndexByRecordIndex(Integer ARecordIndex) const {
  return FInfo->GetRecordListPosition(ARecordIndex);
}

Integer TcxCustomDataController::GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible) {
  return FInfo->GetRowIndexByRecordIndex(ARecordIndex, AMakeVisible);
}

bool TcxCustomDataController::FocusRow(Integer ARowIndex) {
  // A provider in step with an outside source may refuse to leave its record.
  if (FProvider->IsSyncMode() && !FProvider->IsInserting() && ARowIndex != GetFocusedRowIndex()) {
    const Integer Row = std::clamp(ARowIndex, -1, GetRowCount() - 1);
    const Integer Record = Row == -1 ? -1 : GetRowInfo(Row).RecordIndex;
    if (!CanFocusRecord(Record)) return false;
  }
  FInfo->ChangeFocusedRow(ARowIndex, false);
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
  if (FProvider->IsSyncMode() && FocusDetailsOnFocus()) {
    const Integer Record = GetFocusedRecordIndex();
    if (Record >= 0) FocusDetails(Record);
  }
  return true;
}

void TcxCustomDataController::FocusDetails(Integer ARecordIndex) {
  if (FInFocusDetails) return;
  TcxDetailObject* Object = DetailObjectOf(ARecordIndex);
  if (!Object) return;
  TcxFlagGuard Guard(FInFocusDetails, true);
  // Only details already made for the record: focusing makes none.
  for (Integer I = 0; I < Object->InfoCount(); ++I)
    if (TcxCustomDataController* Detail = GetDetailDataController(Object->LinkObjectAt(I)))
      Detail->SyncFocusedRecord();
}

void TcxCustomDataController::FocusRecord(Integer ARecordIndex) {
  CheckRecordRange(ARecordIndex);
  if (ARecordIndex < 0) return;
  FInfo->CheckUpdate();
  FocusRow(GetRowIndexByRecordIndex(ARecordIndex, true));
}

Integer TcxCustomDataController::GetFocusedRowIndex() const { return FInfo->GetFocusedRowIndex(); }
Integer TcxCustomDataController::GetFocusedRecordIndex() const { return FInfo->GetFocusedRecordIndex(); }
// In grid mode the provider moves its cursor; the focus follows it.
void TcxCustomDataController::FocusFirstRow() {
  if (IsGridMode())
    FProvider->First();
  else
    FocusRow(0);
}
void TcxCustomDataController::FocusLastRow() {
  if (IsGridMode())
    FProvider->Last();
  else
    FocusRow(GetRowCount() - 1);
}
void TcxCustomDataController::FocusNextRow() {
  if (IsGridMode())
    FProvider->Next();
  else
    FocusRow(GetFocusedRowIndex() + 1);
}
void TcxCustomDataController::FocusPriorRow() {
  if (IsGridMode())
    FProvider->Prior();
  else
    FocusRow(std::max(GetFocusedRowIndex() - 1, 0));
}
void TcxCustomDataController::MoveFocusBy(Integer ADistance) {
  if (IsGridMode())
    FProvider->MoveBy(ADistance);
  else
    FocusRow(std::max(GetFocusedRowIndex() + ADistance, 0));
}
bool TcxCustomDataController::IsFirstRowFocused() const {
  if (IsGridMode()) return FProvider->IsBOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == 0;
}
bool TcxCustomDataController::IsLastRowFocused() const {
  if (IsGridMode()) return FProvider->IsEOF();
  return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}
void TcxCustomDataController::ScrollGridModeBuffer(Integer ADistance) {
  if (IsGridMode()) FProvider->Scroll(ADistance);
}

void TcxCustomDataController::CheckFocusAfterClear() {
  if (GetFocusedRowIndex() == -1 && !FNewItemRowFocused) FocusRow(0);
}

bool TcxCustomDataController::LeaveRecord(Integer ARecordIndex) {
  if (!FProvider->IsSourceActive() && FProvider->IsEditing() && FProvider->EditingRecordIndex() != ARecordIndex)
    PostRecord();
  return true;
}

void TcxCustomDataController::ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive) {
  FInfo->ChangeExpanding(ARowIndex, AExpanded, ARecursive);
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

void TcxCustomDataController::FullExpand() {
  FInfo->FullExpand();
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

void TcxCustomDataController::FullCollapse() {
  FInfo->FullCollapse();
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

// ---- Sorting and grouping ----------------------------------------------------------------

void TcxCustomDataController::PostPendingEdit() {
  if ((GetEditState() & (dceInsert | dceEdit)) != 0 && FProvider->IsEditing()) PostRecord();
}

void TcxCustomDataController::SetItemSortOrder(Integer AItemIndex, TcxDataSortOrder AOrder) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  if (FInfo->SortingFields()->OrderOf(Field) == AOrder) return;
  PostPendingEdit();
  FSortingChanged = true;
  FInfo->ChangeSorting(Field, AOrder);
  NotifyIfUnlocked();
}

TcxDataSortOrder TcxCustomDataController::GetItemSortOrder(Integer AItemIndex) const {
  return FInfo->SortOrderOf(GetItemField(AItemIndex));
}

void TcxCustomDataController::ClearSorting(bool AKeepGrouping) {
  const Integer Before = FInfo->SortingFields()->Count();
  Integer After = 0;
  if (AKeepGrouping)
    for (Integer I = 0; I < Before; ++I)
      if (FInfo->GroupIndexOf(FInfo->SortingFields()->Items(I).Field) >= 0) ++After;
  if (After == Before) return;
  PostPendingEdit();
  FSortingChanged = true;
  FInfo->ClearSorting(AKeepGrouping);
  NotifyIfUnlocked();
}

void TcxCustomDataController::SetItemGroupIndex(Integer AItemIndex, Integer AGroupIndex) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  const Integer Current = FInfo->GroupIndexOf(Field);
  if (Current == AGroupIndex || (Current < 0 && AGroupIndex < 0)) return;
  PostPendingEdit();
  FGroupingChanged = true;
  FInfo->ChangeGrouping(Field, AGroupIndex);
  NotifyIfUnlocked();
}

Integer TcxCustomDataController::GetItemGroupIndex(Integer AItemIndex) const {
  return FInfo->GroupIndexOf(GetItemField(AItemIndex));
}

void TcxCustomDataController::ClearGrouping() {
  if (FInfo->GroupingFields()->Count() == 0) return;
  TcxUpdateBracket Bracket(this);
  while (FInfo->GroupingFields()->Count() > 0)
    SetItemGroupIndex(GetItemIndexOfField(FInfo->GroupingFields()->Items(FInfo->GroupingFields()->Count() - 1).Field), -1);
}

void TcxCustomDataController::CheckItemResort(Integer AItemIndex) {
  if (AItemIndex == -1 || GetItemSortOrder(AItemIndex) != soNone) RefreshRows();
}

void TcxCustomDataController::RefreshRows() {
  FInfo->DataChanged();
  NotifyIfUnlocked();
}

bool TcxCustomDataController::IsGrouped() const { return FInfo->IsGrouped(); }

// ---- Comparison ---------------------------------------------------------------------------

TcxCompareMode TcxCustomDataController::CompareModeOf(TcxCustomDataField* AField) const {
  for (const auto& M : FCompareModes)
    if (M.first == AField) return M.second;
  return TcxCompareMode::NotPrepared;
}

void TcxCustomDataController::PrepareCompare(const std::vector<TcxDataSortInfo>& AEntries) {
  FCompareModes.clear();
  std::vector<std::pair<TcxCustomDataField*, TcxCompareMode>> Modes;
  for (const auto& E : AEntries) {
    TcxCompareMode Mode = TcxCompareMode::StoredData;
    if (NeedsValueCompare(E.Field))
      Mode = ComparesDisplayText(E.Field) ? TcxCompareMode::DisplayTexts : TcxCompareMode::Values;
    Modes.emplace_back(E.Field, Mode);
  }
  FCompareModes = std::move(Modes);
}

void TcxCustomDataController::UnprepareCompare() { FCompareModes.clear(); }

bool TcxCustomDataController::StringCompareApplies(TcxCustomDataField* AField) const {
  return (FOptions & (dcoCompareLocaleAware | dcoCompareIgnoreCase)) != 0 && AField->ValueDef() &&
         AField->ValueDef()->IsText();
}

bool TcxCustomDataController::ComparesDisplayText(TcxCustomDataField* AField) const {
  if (FInternalFind || AField->IsInternal()) return false;
  const Integer Item = GetItemIndexOfField(AField);
  return Item >= 0 && IsItemDisplayTextSorted(Item, HasOption(dcoCompareDisplayTexts));
}

bool TcxCustomDataController::NeedsValueCompare(TcxCustomDataField* AField) const {
  const TcxCompareMode Mode = CompareModeOf(AField);
  if (Mode != TcxCompareMode::NotPrepared) return Mode != TcxCompareMode::StoredData;
  return StringCompareApplies(AField) || ComparesDisplayText(AField);
}

Variant TcxCustomDataController::GetGroupValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  if (CompareModeOf(AField) == TcxCompareMode::DisplayTexts) return Variant(GetRecordDisplayText(ARecordIndex, AField));
  return GetRecordValue(ARecordIndex, AField);
}

Integer TcxCustomDataController::CompareRecordsByField(Integer ARecordIndex1, Integer ARecordIndex2,
                                                       TcxCustomDataField* AField) {
  if ((OnCompare && !AField->IsInternal()) || NeedsValueCompare(AField)) {
    const Variant V1 = GetGroupValue(ARecordIndex1, AField);
    const Variant V2 = GetGroupValue(ARecordIndex2, AField);
    if (OnCompare) {
      Integer Result = 0;
      OnCompare(this, ARecordIndex1, ARecordIndex2, GetItemIndexOfField(AField), V1, V2, Result);
      return Result;
    }
    if (VarIsStr(V1) && VarIsStr(V2)) {
      const String A = VarToStr(V1), B = VarToStr(V2);
      const bool Locale = HasOption(dcoCompareLocaleAware), IgnoreCase = HasOption(dcoCompareIgnoreCase);
      if (Locale && IgnoreCase) return AnsiCompareText(A, B);
      if (Locale) return AnsiCompareStr(A, B);
      if (IgnoreCase) return CompareStr(AnsiUpperCase(A), AnsiUpperCase(B));
    }
    return CompareVariantValues(V1, V2);
  }
  // Values of the record source are compared by the source (the provider
  // takes internal records from the storage).
  if (HasRecordSource() && IsSourceField(AField)) return FProvider->CompareRecords(ARecordIndex1, ARecordIndex2, AField);
  if (!AField->ValueDef()) return 0;
  return FDataStorage->CompareRecordValues(ARecordIndex1, ARecordIndex2, AField->ValueDef());
}

Integer TcxCustomDataController::CompareRecordsBySortEntry(Integer ARecordIndex1, Integer ARecordIndex2,
                                                           const TcxDataSortInfo& AEntry) {
  const Integer R = CompareRecordsByField(ARecordIndex1, ARecordIndex2, AEntry.Field);
  return AEntry.SortOrder == soDescending ? -R : R;
}

Integer TcxCustomDataController::CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2) {
  if (ARecordIndex1 == ARecordIndex2) return 0;
  const Integer Editing = FProvider->EditingRecordIndex();
  // The record being edited or inserted keeps its place beside the
  // neighbour taken when editing began, until it is posted.
  if (Editing != cxNoRecordIndex && (ARecordIndex1 == Editing || ARecordIndex2 == Editing)) {
    const Integer Sign = ARecordIndex1 == Editing ? 1 : -1;
    const Integer Other = ARecordIndex1 == Editing ? ARecordIndex2 : ARecordIndex1;
    if (FProvider->EditingPrevRecordIndex() != cxNoRecordIndex) return Sign;
    const Integer Next = FProvider->EditingNextRecordIndex();
    if (Next != cxNoRecordIndex) {
      if (Other == Next) return -Sign;
      const Integer R = CompareRecords(Next, Other);
      return Sign * (R == 0 ? -1 : R);
    }
  }
  TcxSortingFieldList* Total = FInfo->TotalSortingFields();
  for (Integer I = 0; I < Total->Count(); ++I) {
    const Integer R = CompareRecordsBySortEntry(ARecordIndex1, ARecordIndex2, Total->Items(I));
    if (R != 0) return R;
  }
  return CompareRecordIndexes(ARecordIndex1, ARecordIndex2);
}

// ---- Selection -----------------------------------------------------------------------------

Integer TcxCustomDataController::GetSelectedCount() const {
  if (IsFocusedRowOnlySelection()) return FFocusedSelected && GetFocusedRowIndex() != -1 ? 1 : 0;
  return FInfo->SelectedCount();
}

Integer TcxCustomDataController::GetSelectedRowIndex(Integer AIndex) const {
  if (IsFocusedRowOnlySelection()) return AIndex == 0 && GetSelectedCount() == 1 ? GetFocusedRowIndex() : -1;
  if (AIndex < 0 || AIndex >= FInfo->SelectedCount()) return -1;
  return FInfo->SelectedRowIndex(AIndex);
}

bool TcxCustomDataController::IsRowSelected(Integer ARowIndex) const {
  if (IsFocusedRowOnlySelection()) return FFocusedSelected && ARowIndex != -1 && ARowIndex == GetFocusedRowIndex();
  return FInfo->IsRowSelected(ARowIndex);
}

void TcxCustomDataController::SetFocusedSelected(bool AValue) {
  if (AValue == FFocusedSelected) return;
  FFocusedSelected = AValue;
  if (GetFocusedRowIndex() != -1) {
    FPrevSelectedCount = TcxSelectedCount::One;
    FPrevSelectedRow = GetFocusedRowIndex();
    Change(dccSelection);
  }
}

void TcxCustomDataController::ChangeRowSelection(Integer ARowIndex, bool ASelect) {
  if (IsFocusedRowOnlySelection()) return;
  FInfo->ChangeRowSelection(ARowIndex, ASelect);
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

void TcxCustomDataController::ClearSelection() {
  FInfo->ClearSelection();
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

void TcxCustomDataController::SelectRows(Integer AFrom, Integer ATo) {
  if (AFrom > ATo) std::swap(AFrom, ATo);
  TcxUpdateBracket Bracket(this);
  for (Integer R = AFrom; R <= ATo; ++R) ChangeRowSelection(R, true);
}

void TcxCustomDataController::SelectAll() {
  if (GetRowCount() > 0) SelectRows(0, GetRowCount() - 1);
}

void TcxCustomDataController::SetSelectionAnchor(Integer ARowIndex) {
  FInfo->CheckRowIndex(ARowIndex);
  FInfo->Selection()->SetAnchorRowIndex(ARowIndex);
}

void TcxCustomDataController::ClearSelectionAnchor() { FInfo->Selection()->SetAnchorRowIndex(-1); }
Integer TcxCustomDataController::GetSelectionAnchorRowIndex() const { return FInfo->Selection()->AnchorRowIndex(); }

void TcxCustomDataController::SelectFromAnchor(Integer ARowIndex, bool AKeepSelection) {
  const Integer Anchor = FInfo->Selection()->AnchorRowIndex();
  if (Anchor == -1) return;
  TcxUpdateBracket Bracket(this);
  if (!AKeepSelection) FInfo->ClearSelection();
  SelectRows(Anchor, ARowIndex);
  FInfo->Selection()->SetAnchorRowIndex(Anchor);
}

void TcxCustomDataController::SyncSelected() {
  if (IsFocusedRowOnlySelection()) return;
  TcxUpdateBracket Bracket(this);
  FInfo->ClearSelection();
  if (GetFocusedRowIndex() != -1) FInfo->ChangeRowSelection(GetFocusedRowIndex(), true);
}

void TcxCustomDataController::SelectFocusedOnly() { SyncSelected(); }

void TcxCustomDataController::ForEachRow(bool ASelectedOnly, const TcxDataControllerEachRowProc& AProc) {
  if (ASelectedOnly) {
    std::vector<Integer> Rows;
    for (Integer I = 0; I < GetSelectedCount(); ++I) Rows.push_back(GetSelectedRowIndex(I));
    for (Integer R : Rows) AProc(R, GetRowInfo(R));
  } else {
    for (Integer R = 0; R < GetRowCount(); ++R) AProc(R, GetRowInfo(R));
  }
}

bool TcxCustomDataController::FocusSelectedRow(Integer ASelectedIndex) {
  const Integer Row = GetSelectedRowIndex(ASelectedIndex);
  FocusRow(Row);
  return Row != -1 && GetFocusedRowIndex() == Row;
}

// ---- Editing ---------------------------------------------------------------------------------

Integer TcxCustomDataController::GetEditState() {
  Integer Result = 0;
  if (FProvider->IsEditing()) {
    Result |= FProvider->IsInserting() ? dceInsert : dceEdit;
    if (FProvider->IsChanging()) Result |= dceChanging;
    if (FProvider->IsModified()) Result |= dceModified;
  }
  return Result;
}

Integer TcxCustomDataController::GetEditOperations() {
  Integer Result = 0;
  if (FProvider->CanAppend()) Result |= dceopAppend;
  if (FProvider->CanDelete()) Result |= dceopDelete;
  if (FProvider->CanModify()) Result |= dceopEdit;
  if (FProvider->CanInsert()) Result |= dceopInsert;
  if (!FProvider->IsSourceActive() || FProvider->IsSyncMode()) Result |= dceopItemsEditable;
  return Result;
}

void TcxCustomDataController::Append() {
  if (FProvider->CanAppend()) FProvider->Append();
}

void TcxCustomDataController::Insert() {
  if (FProvider->CanInsert()) FProvider->Insert();
}

void TcxCustomDataController::Edit() {
  if (FProvider->CanModify()) FProvider->Edit();
}

void TcxCustomDataController::PostRecord() {
  FCheckFocusingAfterFilter = true;
  if (FProvider->IsEditing()) FProvider->Post();
  if (FProvider) FProvider->ClearInsertedRecordIndex();
}

void TcxCustomDataController::CancelRecord() {
  const Integer Row = GetFocusedRowIndex();
  if (FProvider->IsEditing()) FProvider->Cancel();
  FInfo->CheckUpdate();
  if (Row != -1) FocusRow(std::min(Row, GetRowCount() - 1));
}

void TcxCustomDataController::FlushPendingEdits() { FProvider->FlushEdits(); }

void TcxCustomDataController::DeleteFocused() {
  const Integer Row = GetFocusedRowIndex();
  if (Row == -1 || !FProvider->CanDelete()) return;
  {
    TcxUpdateBracket Bracket(this);
    const TcxRowInfo Info = GetRowInfo(Row);
    if (Info.GroupIndex >= 0) {
      std::vector<Integer> List;
      FInfo->GetRecordsOfGroup(Info.GroupIndex, List);
      DeleteRecords(List);
    } else {
      FProvider->FindNearestRecord();
      if (FNearestRecordIndex >= Info.RecordIndex && FNearestRecordIndex > 0) --FNearestRecordIndex;
      FProvider->DeleteFocused();
    }
    FInfo->ClearSelection();
  }
}

void TcxCustomDataController::DeleteSelection() {
  if (GetSelectedCount() == 0 || !FProvider->CanDelete()) return;
  if (IsFocusedRowOnlySelection()) {
    DeleteFocused();
    return;
  }
  TcxFlagGuard Guard(FInDeleteSelection, true);
  FProvider->DeleteSelection();
}

void TcxCustomDataController::DeleteRecords(std::vector<Integer> AList) {
  std::sort(AList.begin(), AList.end());
  AList.erase(std::unique(AList.begin(), AList.end()), AList.end());
  AList.erase(std::remove_if(AList.begin(), AList.end(), [&](Integer R) { return R < 0 || R >= GetRecordCount(); }),
              AList.end());
  if (AList.empty()) return;
  const Integer Nearest = FNearestRecordIndex;
  for (Integer R : AList)
    if (R <= Nearest) --FNearestRecordIndex;
  FProvider->DeleteRecords(AList);
}

Integer TcxCustomDataController::GetEditingRecordIndex() {
  if (FNewItemRowFocused) return NewItemRecordIndex();
  if (GetFocusedRowIndex() == -1) return cxNoRecordIndex;
  const Integer Record = GetFocusedRecordIndex();
  return Record == -1 ? cxNoRecordIndex : Record;
}

Integer TcxCustomDataController::GetEditingRecordIndexOrFocused() {
  if (FProvider->IsEditing()) return FProvider->EditingRecordIndex();
  return GetEditingRecordIndex();
}

bool TcxCustomDataController::BeginRecordEdit(Integer AItemIndex) {
  CheckItemRange(AItemIndex);
  if (!FProvider->CanModify() && !GetCanModifyItem(AItemIndex)) return false;
  if (!CanEditItem(AItemIndex)) return false;
  if (GetEditingRecordIndexOrFocused() == cxNoRecordIndex) return false;
  FProvider->Edit();
  return FProvider->IsEditing();
}

Variant TcxCustomDataController::GetItemEditValue(Integer AItemIndex, TcxDataEditValueSource) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  if (FNewItemRowFocused && !FProvider->IsEditing()) return Null();
  const Integer Record = GetEditingRecordIndexOrFocused();
  if (Record == cxNoRecordIndex) return Null();
  return FProvider->ReadFieldValue(Record, Field);
}

bool TcxCustomDataController::SetItemEditValue(Integer AItemIndex, const Variant& AValue,
                                               TcxDataEditValueSource AKind) {
  if (!BeginRecordEdit(AItemIndex)) return false;
  const bool Done = FProvider->WriteFieldValue(FProvider->EditingRecordIndex(), GetItemField(AItemIndex),
                                               AKind == evsText, AValue);
  if (Done && PostsEachValue()) PostRecord();
  return Done;
}

bool TcxCustomDataController::PostsEachValue() { return HasOption(dcoPostEachValue) || !FProvider->CanModify(); }

void TcxCustomDataController::SetNewItemRowFocused(bool AValue) {
  if (AValue == FNewItemRowFocused) return;
  {
    TcxUpdateBracket Bracket(this);
    if (AValue) {
      FInfo->ChangeFocusedRow(-1, false);
    } else if (!IsOwnerDestroying()) {
      PostRecord();
    }
    FNewItemRowFocused = AValue;
    FInfo->FocusedRecordChanged(true);
  }
  if (HasOption(dcoInsertOnNewRowFocus) && FNewItemRowFocused && !FProvider->IsInserting()) Insert();
}

bool TcxCustomDataController::DoFilterRecord(Integer ARecordIndex) {
  bool Accept = true;
  OnFilterRecord(this, ARecordIndex, Accept);
  return Accept;
}

// ---- Filtering -------------------------------------------------------------------------------

bool TcxCustomDataController::IsFiltering() const { return FFilter->IsFiltering(); }

void TcxCustomDataController::FilterChanged() {
  FCheckFocusingAfterFilter = true;
  // A pending edit is kept: it is posted, never dropped.
  PostRecord();
  RefreshRows();
  UpdateSelectionBookkeeping();
}

bool TcxCustomDataController::RecordPassesFilters(Integer ARecordIndex) {
  if (OnFilterRecord && !IsGridMode() && !DoFilterRecord(ARecordIndex)) return false;
  if (IsIncrementalFilterActive() && !IncrementalFilterAccepts(ARecordIndex)) return false;
  if (FFilter->IsFiltering() && !FFilter->Evaluate(ARecordIndex)) return false;
  return true;
}

bool TcxCustomDataController::IncrementalFilterAccepts(Integer ARecordIndex) {
  return SameTextOrPrefix(GetRecordDisplayText(ARecordIndex, FIncrementalFilterField), FIncrementalFilterText, true);
}

Integer TcxCustomDataController::ApplyIncrementalFilter(Integer AItemIndex, const String& AText) {
  FIncrementalFilterField = GetItemField(AItemIndex);
  FIncrementalFilterText = AText;
  RefreshRows();
  return GetFilteredRecordCount() > 0 ? GetFilteredRecordIndex(0) : -1;
}

bool TcxCustomDataController::SetIncrementalFilterText(const String& AText) {
  if (!FIncrementalFilterField || AText == FIncrementalFilterText) return false;
  ApplyIncrementalFilter(GetItemIndexOfField(FIncrementalFilterField), AText);
  return true;
}

bool TcxCustomDataController::IsIncrementalFilterActive() const {
  return FIncrementalFilterField && !FIncrementalFilterText.empty();
}

void TcxCustomDataController::ResetIncrementalFilter() {
  const bool Was = IsIncrementalFilterActive();
  FIncrementalFilterField = nullptr;
  FIncrementalFilterText.clear();
  if (Was && !IsOwnerDestroying()) RefreshRows();
}

Variant TcxCustomDataController::GetFilterItemValue(Integer ARecordIndex, TcxCustomDataField* AField) {
  return GetRecordValue(ARecordIndex, AField);
}

bool TcxCustomDataController::FilterReadsStoredTexts(TcxCustomDataField* AField, bool ASourceRecord) {
  if (!AField || !AField->ValueDef() || (ASourceRecord && FProvider->CustomDataSource() && IsSourceField(AField)))
    return false;
  return AField->ValueDef()->ValueTypeClass() == TcxWideStringValueType::StaticClass();
}

Integer TcxCustomDataController::FilterByStoredTexts(std::vector<Integer>& ARecords, Integer AKeep) {
  if (OnFilterRecord || IsIncrementalFilterActive() || !FFilter->IsFiltering()) return -1;
  if (FDataStorage->RecordCount() != Integer(ARecords.size())) return -1;
  auto* Item = dynamic_cast<TcxDataFilterCriteriaItem*>(FFilter->SingleTextCondition());
  TcxCustomDataField* Field = Item ? Item->Field() : nullptr;
  if (!Field || Item->DataController() != this || !FilterReadsStoredTexts(Field, true)) return -1;
  TcxFilterOperator* Operator = Item->Operator();
  const Variant& Value = Item->Value();
  size_t Kept = 0;
  // The pattern is prepared once for the pass, not checked per record.
  Operator->BeginTextPass(Value);
  struct TPassEnd {
    TcxFilterOperator* Operator;
    ~TPassEnd() { Operator->EndTextPass(); }
  } PassEnd{Operator};
  const bool Read = FDataStorage->ForEachStoredText(Field->ValueDef(), [&](Integer R, const std::u16string_view* AText) {
    // A record without a stored text (Null) goes the general way.
    if (R == AKeep || (AText ? Operator->CompareText(*AText, Value) : FFilter->Evaluate(R))) ARecords[Kept++] = R;
  });
  return Read ? Integer(Kept) : -1;
}

std::optional<std::u16string_view> TcxCustomDataController::GetFilterItemTextView(Integer ARecordIndex,
                                                                                   TcxCustomDataField* AField) {
  if (!FilterReadsStoredTexts(AField, ARecordIndex >= 0)) return std::nullopt;
  bool IsNull = true;
  const void* Value = nullptr;
  FDataStorage->LocateValue(ARecordIndex, AField->ValueDef(), IsNull, Value);
  if (IsNull || !Value) return std::nullopt;
  return TcxStoredWideText::AtValuePointer(Value);
}

String TcxCustomDataController::GetFilterDisplayText(Integer ARecordIndex, Integer AItemIndex) {
  return GetRecordDisplayText(ARecordIndex, GetItemField(AItemIndex));
}

String TcxCustomDataController::GetSearchDisplayText(Integer ARecordIndex, Integer AItemIndex) {
  return GetRecordDisplayText(ARecordIndex, GetItemField(AItemIndex));
}

// ---- Finding records ---------------------------------------------------------------------------

Integer TcxCustomDataController::FindRecordIndexByText(Integer AStartPosition, Integer AItemIndex,
                                                       const String& AText, bool APartial, bool AForward,
                                                       bool AWrap) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  const Integer Count = GetFilteredRecordCount();
  if (AStartPosition < 0 || AStartPosition >= Count) return -1;
  auto Matches = [&](Integer APos) {
    return SameTextOrPrefix(GetRecordDisplayText(GetFilteredRecordIndex(APos), Field), AText, APartial);
  };
  auto Scan = [&](Integer AFrom, Integer ATo, Integer AStep) -> Integer {
    for (Integer P = AFrom; AStep > 0 ? P <= ATo : P >= ATo; P += AStep)
      if (Matches(P)) return GetFilteredRecordIndex(P);
    return -1;
  };
  Integer Result = AForward ? Scan(AStartPosition, Count - 1, 1) : Scan(AStartPosition, 0, -1);
  // The wrapped scan covers what the first one did not: before the start
  // going forward, after it going backward (also from position 0).
  if (Result == -1 && AWrap) {
    if (AForward && AStartPosition != 0)
      Result = Scan(0, AStartPosition - 1, 1);
    else if (!AForward && AStartPosition != Count - 1)
      Result = Scan(Count - 1, AStartPosition + 1, -1);
  }
  return Result;
}

Integer TcxCustomDataController::FindRecordByFields(Integer AFindRecordIndex,
                                                    const std::vector<TcxCustomDataField*>& AFields) {
  if (AFields.empty()) return -1;
  for (Integer R = 0; R < GetRecordCount(); ++R) {
    bool Equal = true;
    for (auto* F : AFields)
      if (CompareRecordsByField(R, AFindRecordIndex, F) != 0) {
        Equal = false;
        break;
      }
    if (Equal) return R;
  }
  return -1;
}

Integer TcxCustomDataController::FindGroupRecord(Integer AFindRecordIndex, Integer ALevelCount) {
  TcxSortingFieldList* Total = FInfo->TotalSortingFields();
  const Integer Levels = std::min<Integer>(ALevelCount, Total->Count());
  if (Levels <= 0) return -1;
  std::vector<TcxDataSortInfo> Entries;
  for (Integer I = 0; I < Levels; ++I) Entries.push_back(Total->Items(I));
  PrepareCompare(Entries);
  Integer Low = 0, High = FInfo->GetRecordListCount() - 1, Result = -1;
  try {
    while (Low <= High) {
      const Integer Mid = (Low + High) / 2;
      const Integer Record = FInfo->GetRecordListItem(Mid);
      Integer C = 0;
      for (const auto& E : Entries) {
        C = CompareRecordsBySortEntry(Record, AFindRecordIndex, E);
        if (C != 0) break;
      }
      if (C == 0) {
        Result = Record;
        break;
      }
      if (C < 0)
        Low = Mid + 1;
      else
        High = Mid - 1;
    }
  } catch (...) {
    UnprepareCompare();
    throw;
  }
  UnprepareCompare();
  return Result;
}

// ---- Summaries ---------------------------------------------------------------------------------

void TcxCustomDataController::RequestSummaryRecalculation(bool AFieldsChanged) {
  if (!FInfo) return;
  FInfo->RequestSummary(AFieldsChanged);
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

void TcxCustomDataController::SetSortBySummary(TcxDataSummaryItem* AItem, TcxDataSortOrder AOrder) {
  if (AItem == FSortBySummaryItem && AOrder == FSortBySummaryOrder) return;
  FSortBySummaryItem = AItem;
  FSortBySummaryOrder = AOrder;
  if (!FInfo || FDestroying) return;
  FInfo->AddChange(dciGrouping | dciSorting | dciSummary);
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

bool TcxCustomDataController::HasSortBySummary() const {
  return FSortBySummaryItem && FInfo->LevelCount() == 1;
}

// ---- Bookmark ------------------------------------------------------------------------------------

void TcxCustomDataController::SetBookmarkToFocused() {
  const Integer Record = GetFocusedRecordIndex();
  if (Record == FBookmarkRecordIndex) return;
  FBookmarkRecordIndex = Record;
  Change(dccBookmark);
}

void TcxCustomDataController::FocusBookmarkedRecord() {
  if (IsBookmarkAvailable()) FocusRecord(FBookmarkRecordIndex);
}

void TcxCustomDataController::ClearBookmark() {
  if (FBookmarkRecordIndex == -1) return;
  FBookmarkRecordIndex = -1;
  Change(dccBookmark);
}

bool TcxCustomDataController::IsBookmarkRow(Integer ARowIndex) const {
  if (!IsBookmarkAvailable() || ARowIndex < 0 || ARowIndex >= GetRowCount()) return false;
  const TcxRowInfo Info = GetRowInfo(ARowIndex);
  return Info.GroupIndex < 0 && Info.RecordIndex == FBookmarkRecordIndex;
}

void TcxCustomDataController::CheckBookmarkValid() {
  if (FBookmarkRecordIndex != -1 && GetFilteredIndexByRecordIndex(FBookmarkRecordIndex) < 0) ClearBookmark();
}

// ---- Whole-state brackets and odds -----------------------------------------------------------

void TcxCustomDataController::BeginFullUpdate() {
  if (FFullUpdateCount++ > 0) return;
  BeginUpdate();
  FSaveObject = std::make_unique<TcxSaveObject>();
  FSaveObject->Save(this);
}

void TcxCustomDataController::EndFullUpdate() {
  if (FFullUpdateCount == 0) return;
  if (--FFullUpdateCount > 0) return;
  const std::unique_ptr<TcxSaveObject> Saved = std::move(FSaveObject);
  // The deferred storage work runs with the last EndUpdate; the saved state
  // is looked up in the records as they are then.
  EndUpdate();
  Saved->Restore(this);
}

Variant TcxCustomDataController::GetRecordId(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex > GetRecordCount()) cxDataControllerError(cxSDataRecordIndexError);
  if (!FDataStorage->UseRecordIDs() || ARecordIndex == GetRecordCount()) return Null();
  return Variant(FDataStorage->RecordIdOf(ARecordIndex));
}

void TcxCustomDataController::SetItemTextStored(Integer AItemIndex, bool AValue) {
  TcxCustomDataField* Field = GetItemField(AItemIndex);
  if (Field->TextStored() == AValue) return;
  Field->SetTextStored(AValue);
  FInfo->FieldChanged(Field);
  NotifyIfUnlocked();
}

// ---- Loading from a record source -------------------------------------------------------------

bool TcxCustomDataController::HasRecordSource() { return FProvider && FProvider->CustomDataSource() != nullptr; }

bool TcxCustomDataController::OwnsRecords() { return !HasRecordSource(); }

bool TcxCustomDataController::NeedsReloadOnActivate() { return HasRecordSource() || FReloadPending; }

bool TcxCustomDataController::SourceKeepsSelection() { return HasRecordSource() && FProvider->SourceFlag(); }

void TcxCustomDataController::GetKeyFields(std::vector<TcxCustomDataField*>&) {}

void TcxCustomDataController::SettleRecordIDs() { FDataStorage->SetUseRecordIDs(RecordIDsSupported()); }

void TcxCustomDataController::SetRecordSource(TcxCustomDataSource* ASource) { FProvider->SetCustomDataSource(ASource); }

void TcxCustomDataController::RefreshData(bool AForce) {
  if (FRefreshing) return;
  if (!AForce && !NeedsReloadOnActivate()) {
    FInfo->DataChanged();
    return;
  }
  // Under a lock the storage work waits for the last EndUpdate.
  if (FInfo->LockCount() > 0) FStructureReloadPending = true;
  Reload(AForce);
}

void TcxCustomDataController::ReloadData() { RefreshData(false); }

void TcxCustomDataController::Reload(bool AForce) {
  TcxFlagGuard Refreshing(FRefreshing, true);
  TcxUpdateBracket Bracket(this);
  CheckRecreateFields(AForce);
  if (!FStructureReloadPending) {
    RestructureStorage();
    FReloadPending = false;
  }
  FInfo->DataChanged();
}

void TcxCustomDataController::CheckRecreateFields(bool AForce) {
  const bool Asked = FProvider->FieldsRecreated();
  if (!AForce && !Asked) return;
  // The provider's ask waits while a record is being inserted: new fields
  // would drop the values typed so far. It stays set for the next reload.
  if (!AForce && FProvider->IsInserting()) return;
  FProvider->SetFieldsRecreated(false);
  if (FGridModeNotifyLock > 0) {
    FFieldsRecreatePending = true;
    return;
  }
  FFieldsRecreatePending = false;
  RecreateFields();
}

void TcxCustomDataController::UnlockGridModeNotify() {
  if (FGridModeNotifyLock > 0) --FGridModeNotifyLock;
  if (FGridModeNotifyLock > 0 || !FFieldsRecreatePending) return;
  FFieldsRecreatePending = false;
  RecreateFields();
}

void TcxCustomDataController::RestructureStorage() {
  TcxUpdateBracket Bracket(this);
  // Records of an outside source are read anew; records the controller
  // keeps itself are never dropped here.
  if (!OwnsRecords() && !IsAppendThroughSource()) {
    if (FProvider->IsEditing()) FProvider->ForgetEditingRecord();
    FDataStorage->Reset(FProvider->IsDataChangedLocked());
  }
  if (FProvider->IsActive() && !IsAppendThroughSource()) {
    if (!IsPattern()) LoadStorage();
    TcxFlagGuard InLoad(FInLoadStorage, true);
    FInfo->CheckSelection();
    if (FBookmarkRecordIndex >= GetRecordCount()) ClearBookmark();
    RefreshFocusFromSource();
  }
  FLoadedStorage = true;
  Change(dccData);
  StructureChanged();
}

void TcxCustomDataController::LoadStorage() {
  if (IsGridMode()) {
    BeginLoadFromSource();
    try {
      FProvider->LoadDataBuffer();
    } catch (...) {
      EndLoadFromSource();
      throw;
    }
    EndLoadFromSource();
    return;
  }
  ProviderBeginLoad();
  try {
    CheckRecreateFields(false);
    BeginLoadFromSource();
    try {
      if (HasRecordSource()) {
        FProvider->LoadRecordHandles();
      } else {
        std::unique_ptr<TObject> Object(FProvider->ReaderClass()->Create());
        auto* Reader = dynamic_cast<TcxValueDefReader*>(Object.get());
        FProvider->First();
        // Fields the source recreated while moving to its first record are
        // bound again before any record is read through them.
        CheckRecreateFields(false);
        while (Reader && !FProvider->IsEOF()) {
          RecordLoaded(AppendFromReader(Reader));
          FProvider->Next();
        }
      }
    } catch (...) {
      EndLoadFromSource();
      throw;
    }
    EndLoadFromSource();
  } catch (...) {
    ProviderEndLoad();
    throw;
  }
  ProviderEndLoad();
}

Integer TcxCustomDataController::AppendFromReader(TcxValueDefReader* AReader) {
  const Integer Record = FDataStorage->AddRecord();
  FDataStorage->LoadRecord(Record, AReader, true);
  return Record;
}

void TcxCustomDataController::RecreateStorage() {
  TcxUpdateBracket Bracket(this);
  FProvider->ResetWindow();
  // Records that came from a source (they carry handles) go with it.
  if (!OwnsRecords() || FRecordHandleField) {
    if (FProvider->IsEditing()) FProvider->ForgetEditingRecord();
    FDataStorage->Reset(false);
  }
  ClearBookmark();
  FInfo->CheckSelection();
  FDataStorage->SetStoredValuesOnly(HasRecordSource());
  SettleRecordIDs();
  if (HasRecordSource() && !FRecordHandleField) {
    FRecordHandleField = CreateInternalField();
    FRecordHandleField->SetValueTypeClass(TcxIntegerValueType::StaticClass());
  } else if (!HasRecordSource() && FRecordHandleField) {
    TcxCustomDataField* Field = FRecordHandleField;
    FRecordHandleField = nullptr;
    delete Field;
  }
  FReloadPending = true;
  ReloadData();
}

void TcxCustomDataController::StructureChanged() {
  AfterStructureChanged();
  if (DetailMode() == TcxDetailMode::Clone) Change(dccStructure);
}

void TcxCustomDataController::RefreshFocusFromSource() {
  if (FProvider->IsSourceActive() && FProvider->IsSyncMode()) FInfo->CheckFocusedRecord();
}

void TcxCustomDataController::SetActive(bool AValue) {
  FActive = AValue;
  if (HasRecordSource()) ReloadData();
  if (TcxCustomDataController* Master = GetMasterDataController()) Master->DetailsChanged();
}

void TcxCustomDataController::SyncFocusedRecord() {
  if (IsLocating() && FInfo->IsFocusing()) return;
  FInfo->CheckFocusedRecord();
  FInfo->CheckUpdate();
  NotifyIfUnlocked();
}

Integer TcxCustomDataController::GetSyncFocusedRecordIndex() {
  if (FProvider->IsSourceActive() && FProvider->IsSyncMode()) return FProvider->CurrentRecordIndex();
  return FInfo->GetFocusedRecordIndex();
}

// ---- Master-detail -------------------------------------------------------------------------------

TcxCustomDataRelationList* TcxCustomDataController::Relations() {
  if (!FRelations) FRelations = std::make_unique<TcxCustomDataRelationList>(this);
  return FRelations.get();
}

TcxCustomDataController* TcxCustomDataController::GetMasterDataController() const {
  if (!FMasterRelation || !FMasterRelation->RelationList()) return nullptr;
  return dynamic_cast<TcxCustomDataController*>(FMasterRelation->RelationList()->DataController());
}

TcxDetailMode TcxCustomDataController::DetailMode() const {
  if (FMasterRelation) return FMasterRecordIndex >= 0 ? TcxDetailMode::Clone : TcxDetailMode::Pattern;
  return FIsPattern ? TcxDetailMode::Pattern : TcxDetailMode::None;
}

IcxCustomDataController* TcxCustomDataController::GetDetailReferenceController() {
  if (FMasterRelation && FMasterRelation->DetailDataController()) return FMasterRelation->DetailDataController();
  return this;
}

void TcxCustomDataController::SetIsPattern(bool AValue) {
  if (AValue && FMasterRelation && FDataChangeRefCount > 0) throw Exception(u"!");
  if (AValue == FIsPattern) return;
  const TcxDetailMode OldMode = DetailMode();
  FIsPattern = AValue;
  if (DetailMode() != OldMode && !IsOwnerDestroying()) RecreateStorage();
}

void TcxCustomDataController::SetMasterRelation(TcxCustomDataRelation* ARelation, Integer ARecordIndex) {
  TcxUpdateBracket Bracket(this);
  if (FMasterRelation && FMasterRecordIndex < 0 && FMasterRelation->DetailDataController() == this)
    FMasterRelation->SetDetailDataController(nullptr);
  FMasterRelation = ARelation;
  FMasterRecordIndex = ARelation ? ARecordIndex : -1;
  // The pattern of a relation is its detail controller; a clone is reached
  // through the link objects of its master record.
  if (FMasterRelation && FMasterRecordIndex < 0) FMasterRelation->SetDetailDataController(this);
  ReloadData();
}

void TcxCustomDataController::ResetMasterLink() {
  if (FMasterRecordIndex >= 0) {
    FMasterRelation = nullptr;
    FMasterRecordIndex = -1;
  }
}

void TcxCustomDataController::UnlinkDetail(TcxCustomDataRelation* ARelation) {
  auto* Detail = dynamic_cast<TcxCustomDataController*>(ARelation->DetailDataController());
  ARelation->SetDetailDataController(nullptr);
  if (Detail && Detail->FMasterRelation == ARelation) {
    Detail->FMasterRelation = nullptr;
    Detail->FMasterRecordIndex = -1;
  }
}

TcxDetailObject* TcxCustomDataController::DetailObjectOf(Integer ARecordIndex) {
  if (!FRelations || ARecordIndex < 0 || ARecordIndex >= GetRecordCount()) return nullptr;
  return FRelations->GetDetailObject(ARecordIndex);
}

void TcxCustomDataController::DetailsChanged() {
  if (!FRelations) return;
  for (Integer R = 0; R < GetRecordCount(); ++R) FRelations->GetDetailObject(R);
  Change(dccDetailLayout);
}

void TcxCustomDataController::RelationChanged(TcxCustomDataRelation* ARelation) {
  if (!ARelation || ARelation->RelationList() == FRelations.get()) {
    ResetDetails();
    return;
  }
  // Another level's relation: the details pass it on.
  for (Integer R = 0; R < GetRecordCount() && FRelations; ++R)
    if (TcxDetailObject* Object = FRelations->DetailObjectOf(R))
      for (Integer I = 0; I < Object->InfoCount(); ++I)
        if (TcxCustomDataController* Detail = GetDetailDataController(Object->LinkObjectAt(I)))
          Detail->RelationChanged(ARelation);
}

void TcxCustomDataController::ClearRelationDetails(TcxCustomDataRelation* ARelation) {
  if (!FRelations) return;
  const Integer Index = FRelations->IndexOf(ARelation);
  for (Integer R = 0; R < GetRecordCount(); ++R) FRelations->ClearDetails(R, Index);
}

void TcxCustomDataController::ResetDetails() {
  if (!FRelations || !FRelations->DetailField() || !FRelations->DetailField()->ValueDef()) return;
  TcxValueDef* Def = FRelations->DetailField()->ValueDef();
  for (Integer R = 0; R < GetRecordCount(); ++R) {
    TcxDetailObject* Object = FRelations->DetailObjectOf(R);
    if (!Object) continue;
    for (Integer I = 0; I < Object->InfoCount(); ++I)
      if (TcxCustomDataController* Detail = GetDetailDataController(Object->LinkObjectAt(I))) Detail->ResetMasterLink();
    FDataStorage->WriteValue(R, Def, Variant(Int64(0)));
    delete Object;
  }
  Change(dccDetailLayout);
}

TObject* TcxCustomDataController::GetDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex) {
  TcxDetailObject* Object = DetailObjectOf(ARecordIndex);
  if (!Object || ARelationIndex < 0 || ARelationIndex >= FRelations->Count()) return nullptr;
  if (TObject* Link = Object->LinkObjectAt(ARelationIndex)) return Link;
  TObject* Link;
  {
    TcxFlagGuard Guard(FCreatingLinkObject, true);
    Link = CreateDetailLinkObject(FRelations->Items(ARelationIndex), ARecordIndex);
  }
  if (Link) Object->SetLinkObject(ARelationIndex, Link);
  return Link;
}

bool TcxCustomDataController::IsDetailExpanded(Integer ARecordIndex) {
  if (!FRelations || ARecordIndex < 0 || ARecordIndex >= GetRecordCount()) return false;
  TcxDetailObject* Object = FRelations->DetailObjectOf(ARecordIndex);
  return Object && Object->Expanded();
}

Integer TcxCustomDataController::GetDetailActiveRelationIndex(Integer ARecordIndex) {
  TcxDetailObject* Object = DetailObjectOf(ARecordIndex);
  return Object ? Object->ActiveRelationIndex() : -1;
}

void TcxCustomDataController::ChangeActiveRelationIndex(Integer ARecordIndex, Integer ARelationIndex) {
  TcxDetailObject* Object = DetailObjectOf(ARecordIndex);
  if (!Object || ARelationIndex < 0 || ARelationIndex >= Object->InfoCount()) return;
  if (Object->ActiveRelationIndex() == ARelationIndex) return;
  Object->SetActiveRelationIndex(ARelationIndex);
  Change(dccDetailLayout);
}

bool TcxCustomDataController::DoDetailExpanding(Integer ARecordIndex) {
  bool Allow = true;
  OnDetailExpanding(this, ARecordIndex, Allow);
  return Allow;
}

bool TcxCustomDataController::DoDetailCollapsing(Integer ARecordIndex) {
  bool Allow = true;
  OnDetailCollapsing(this, ARecordIndex, Allow);
  return Allow;
}

bool TcxCustomDataController::ChangeDetailExpanding(Integer ARecordIndex, bool AExpanded) {
  CheckRecordRange(ARecordIndex);
  TcxDetailObject* Object = DetailObjectOf(ARecordIndex);
  if (!Object) return false;
  if (Object->Expanded() == AExpanded) return true;
  if (!(AExpanded ? DoDetailExpanding(ARecordIndex) : DoDetailCollapsing(ARecordIndex))) return false;
  Object->SetExpanded(AExpanded);
  Change(dccDetailLayout);
  if (AExpanded)
    DoDetailExpanded(ARecordIndex);
  else
    DoDetailCollapsed(ARecordIndex);
  return true;
}

void TcxCustomDataController::CollapseAllDetails() {
  if (!FRelations) return;
  TcxUpdateBracket Bracket(this);
  for (Integer R = 0; R < GetRecordCount(); ++R)
    if (IsDetailExpanded(R)) ChangeDetailExpanding(R, false);
}

void TcxCustomDataController::DetailsRecordInserted(Integer ARecordIndex) {
  // The clones of later records follow their records up by one.
  if (!FRelations) return;
  for (Integer R = ARecordIndex + 1; R < GetRecordCount(); ++R)
    if (TcxDetailObject* Object = FRelations->DetailObjectOf(R))
      for (Integer I = 0; I < Object->InfoCount(); ++I)
        if (TcxCustomDataController* Detail = GetDetailDataController(Object->LinkObjectAt(I)))
          if (Detail->FMasterRecordIndex >= 0) Detail->FMasterRecordIndex = R;
}

void TcxCustomDataController::DetailsRecordDeleted(Integer ARecordIndex) {
  if (!FRelations) return;
  for (Integer R = ARecordIndex; R < GetRecordCount(); ++R)
    if (TcxDetailObject* Object = FRelations->DetailObjectOf(R))
      for (Integer I = 0; I < Object->InfoCount(); ++I)
        if (TcxCustomDataController* Detail = GetDetailDataController(Object->LinkObjectAt(I)))
          if (Detail->FMasterRecordIndex >= 0) Detail->FMasterRecordIndex = R;
}

void TcxCustomDataController::DetailDataChanged() {
  if (!FRelations) return;
  bool Changed = false;
  for (Integer R = 0; R < GetRecordCount(); ++R)
    if (TcxDetailObject* Object = FRelations->DetailObjectOf(R)) Changed = Object->TakeChanges() || Changed;
  if (Changed) Change(dccLayout);
}
