#include "data/cxCustomData.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "foundation/cxClasses.h"
#include "platform/rtl/lists.h"

namespace {

template <class T>
void CheckListIndex(const std::vector<T>& AItems, Integer AIndex) {
  if (AIndex < 0 || AIndex >= Integer(AItems.size())) TList::Error(AIndex);
}

template <class T>
Integer IndexIn(const std::vector<T*>& AItems, const T* AItem) {
  for (size_t I = 0; I < AItems.size(); ++I)
    if (AItems[I] == AItem) return Integer(I);
  return -1;
}

template <class T>
void MoveItem(std::vector<T>& AItems, Integer ACurIndex, Integer ANewIndex) {
  if (ACurIndex == ANewIndex) return;
  CheckListIndex(AItems, ACurIndex);
  CheckListIndex(AItems, ANewIndex);
  T Item = AItems[size_t(ACurIndex)];
  AItems.erase(AItems.begin() + ACurIndex);
  AItems.insert(AItems.begin() + ANewIndex, Item);
}

}  // namespace

// ---- Data fields -----------------------------------------------------------------------------

TcxCustomDataField* TcxCustomDataFieldMetaClass::Create(TcxCustomDataFieldList* AFieldList) const {
  if (!FCreateIn) CannotCreate();
  return FCreateIn(AFieldList);
}

TcxCustomDataField::~TcxCustomDataField() {
  if (FFieldList) FFieldList->Remove(this);
  if (!FReferenceField) DropValueDef();
}

IcxCustomDataController* TcxCustomDataField::DataController() const {
  return FFieldList ? FFieldList->DataController() : nullptr;
}

void TcxCustomDataField::Reassign(TcxCustomDataField* ASource) {
  FReferenceField = nullptr;
  DropValueDef();
  FValueDef = ASource->FValueDef;
  FValueTypeClass = ASource->FValueTypeClass;
  FTextStored = ASource->FTextStored;
  if (FValueDef) FValueDef->SetLinkObject(this);
  ASource->FValueDef = nullptr;
  ASource->FValueTypeClass = nullptr;
}

void TcxCustomDataField::RemoveNotification(TComponent*) {}

bool TcxCustomDataField::HasValues() {
  if (ValueDef()) return true;
  IcxCustomDataController* Controller = DataController();
  return Controller && Controller->OwnsRecords();
}

bool TcxCustomDataField::IsSpecial() { return false; }

bool TcxCustomDataField::IsInternal() { return FInternal; }

Integer TcxCustomDataField::Index() const { return FFieldList ? FFieldList->IndexOf(this) : -1; }

void TcxCustomDataField::SetIndex(Integer AValue) {
  if (FFieldList) FFieldList->Move(Index(), AValue);
}

TcxValueDef* TcxCustomDataField::ValueDef() const {
  return FReferenceField ? FReferenceField->ValueDef() : FValueDef;
}

TcxValueTypeClass TcxCustomDataField::ValueTypeClass() const {
  return FReferenceField ? FReferenceField->ValueTypeClass() : FValueTypeClass;
}

bool TcxCustomDataField::TextStored() const {
  return FReferenceField ? FReferenceField->TextStored() : FTextStored;
}

void TcxCustomDataField::SetValueTypeClass(TcxValueTypeClass AValue) {
  if (FReferenceField || FValueTypeClass == AValue) return;
  BeginRecreate();
  FValueTypeClass = AValue;
  EndRecreate();
}

void TcxCustomDataField::SetTextStored(bool AValue) {
  if (FReferenceField || FTextStored == AValue) return;
  BeginRecreate();
  FTextStored = AValue;
  EndRecreate();
}

void TcxCustomDataField::SetInternal(bool AValue) {
  if (FInternal == AValue) return;
  FInternal = AValue;
  if (FFieldList) FFieldList->RecountInternal();
}

void TcxCustomDataField::SetReferenceField(TcxCustomDataField* AValue) {
  if (FReferenceField == AValue) return;
  TcxCustomDataField* End = AValue;
  while (End && End->FReferenceField) End = End->FReferenceField;
  if (End == this) return;
  if (!FReferenceField) SetValueTypeClass(nullptr);
  FReferenceField = End;
}

void TcxCustomDataField::DropValueDef() {
  TcxValueDef* Def = FValueDef;
  FValueDef = nullptr;
  delete Def;
}

void TcxCustomDataField::BeginRecreate() {
  if (FRecreateLock == 0 && !FReferenceField) DropValueDef();
  ++FRecreateLock;
}

void TcxCustomDataField::EndRecreate() {
  if (FRecreateLock > 0) --FRecreateLock;
  if (FRecreateLock > 0 || FReferenceField || !FValueTypeClass) return;
  IcxCustomDataController* Controller = DataController();
  TcxDataStorage* Storage = Controller ? Controller->GetDataStorage() : nullptr;
  if (!Storage) return;
  DropValueDef();
  FValueDef = Storage->ValueDefs()->Add(FValueTypeClass, FInternal, this, FTextStored);
}

void TcxCustomDataField::RequestReload() {
  IcxCustomDataController* Controller = DataController();
  if (Controller && !Controller->IsProviderNotifyLocked()) Controller->ProviderRequestReload(true);
}

// Field list ---------------------------------------------------------------------------------------

TcxCustomDataFieldList::~TcxCustomDataFieldList() {
  FDestroying = true;
  while (!FItems.empty()) delete FItems.back();
}

TcxCustomDataField* TcxCustomDataFieldList::FindByItem(TObject* AItem) const {
  for (TcxCustomDataField* Field : FItems)
    if (Field->Item() == AItem) return Field;
  return nullptr;
}

void TcxCustomDataFieldList::Add(TcxCustomDataField* AField) {
  if (!AField || IndexOf(AField) >= 0) return;
  AField->FFieldList = this;
  if (AField->Internal())
    FItems.push_back(AField);
  else
    FItems.insert(FItems.begin() + ExternalCount(), AField);
  RecountInternal();
}

void TcxCustomDataFieldList::Remove(TcxCustomDataField* AField) {
  const Integer Index = IndexOf(AField);
  if (Index < 0) return;
  if (!FDestroying) {
    FFieldDestroyed = true;
    if (FController) FController->FieldRemoved(AField);
    // The first field that shared the storage takes it over; the others
    // refer to that one from now on.
    TcxCustomDataField* Heir = nullptr;
    for (TcxCustomDataField* Field : FItems) {
      if (Field == AField || Field->FReferenceField != AField) continue;
      if (!Heir) {
        Heir = Field;
        Heir->Reassign(AField);
      } else {
        Field->FReferenceField = Heir;
      }
    }
  }
  FItems.erase(FItems.begin() + IndexOf(AField));
  AField->FFieldList = nullptr;
  RecountInternal();
}

void TcxCustomDataFieldList::BroadcastComponentRemoved(TComponent* AComponent) {
  const std::vector<TcxCustomDataField*> Fields = FItems;
  for (TcxCustomDataField* Field : Fields) Field->RemoveNotification(AComponent);
}

TcxCustomDataField* TcxCustomDataFieldList::Items(Integer AIndex) const {
  CheckListIndex(FItems, AIndex);
  return FItems[size_t(AIndex)];
}

Integer TcxCustomDataFieldList::IndexOf(const TcxCustomDataField* AField) const { return IndexIn(FItems, AField); }

void TcxCustomDataFieldList::Move(Integer ACurIndex, Integer ANewIndex) { MoveItem(FItems, ACurIndex, ANewIndex); }

void TcxCustomDataFieldList::RecountInternal() {
  FInternalCount = 0;
  for (TcxCustomDataField* Field : FItems)
    if (Field->Internal()) ++FInternalCount;
}

// ---- Details and relations ----------------------------------------------------------------

TcxDetailInfoObject::~TcxDetailInfoObject() { delete FLinkObject; }

void TcxDetailInfoObject::SetLinkObject(TObject* AValue) {
  if (FLinkObject == AValue) return;
  delete FLinkObject;
  FLinkObject = AValue;
}

TcxDetailObject::~TcxDetailObject() { ClearInfos(); }

void TcxDetailObject::ClearInfos() {
  for (TcxDetailInfoObject* Info : FInfos) delete Info;
  FInfos.clear();
}

bool TcxDetailObject::TakeChanges() {
  bool Result = false;
  for (TcxDetailInfoObject* Info : FInfos)
    if (Info && Info->HasChanges()) {
      Result = true;
      Info->SetChanged(false);
    }
  return Result;
}

void TcxDetailObject::FreeInfo(Integer AIndex) {
  if (AIndex < 0 || AIndex >= InfoCount()) return;
  delete FInfos[size_t(AIndex)];
  FInfos[size_t(AIndex)] = nullptr;
}

void TcxDetailObject::SetInfoCount(Integer ACount) {
  if (ACount > InfoCount()) FInfos.resize(size_t(ACount), nullptr);
  if (FInfos.empty())
    FActiveRelationIndex = -1;
  else
    FActiveRelationIndex = std::clamp(FActiveRelationIndex, 0, std::max(0, ACount - 1));
}

TcxDetailInfoObject* TcxDetailObject::InfoAt(Integer AIndex) const {
  return AIndex >= 0 && AIndex < InfoCount() ? FInfos[size_t(AIndex)] : nullptr;
}

TObject* TcxDetailObject::LinkObjectAt(Integer AIndex) const {
  TcxDetailInfoObject* Info = InfoAt(AIndex);
  return Info ? Info->LinkObject() : nullptr;
}

bool TcxDetailObject::HasNoLinks() const {
  for (TcxDetailInfoObject* Info : FInfos)
    if (Info && Info->LinkObject()) return false;
  return true;
}

void TcxDetailObject::SetLinkObject(Integer AIndex, TObject* AValue) {
  if (AIndex < 0) return;
  if (AIndex >= InfoCount()) FInfos.resize(size_t(AIndex) + 1, nullptr);
  if (!FInfos[size_t(AIndex)]) FInfos[size_t(AIndex)] = new TcxDetailInfoObject;
  FInfos[size_t(AIndex)]->SetLinkObject(AValue);
}

// Relations ----------------------------------------------------------------------------------------

TcxCustomDataRelation::TcxCustomDataRelation(TcxCustomDataRelationList* ARelationList, TObject* AItem)
    : FItem(AItem), FRelationList(ARelationList) {}

TcxCustomDataRelation::~TcxCustomDataRelation() {
  if (FRelationList && FDetailDataController && FRelationList->DataController())
    FRelationList->DataController()->UnlinkDetail(this);
  if (FRelationList) FRelationList->Remove(this);
}

void TcxCustomDataRelation::RemoveDataField(TcxCustomDataField*) {}

Integer TcxCustomDataRelation::Index() const { return FRelationList ? FRelationList->IndexOf(this) : -1; }

void TcxCustomDataRelation::Changed() {
  if (FRelationList) FRelationList->Changed(this);
}

TcxCustomDataRelationList::~TcxCustomDataRelationList() {
  FDestroying = true;
  while (!FItems.empty()) delete FItems.back();
}

void TcxCustomDataRelationList::BeginUpdate() { ++FLockCount; }

void TcxCustomDataRelationList::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  if (FLockCount == 0) Changed(nullptr);
}

void TcxCustomDataRelationList::Clear() {
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();
  EndUpdate();
}

TcxCustomDataRelation* TcxCustomDataRelationList::FindByItem(TObject* AItem) const {
  for (TcxCustomDataRelation* Relation : FItems)
    if (Relation->Item() == AItem) return Relation;
  return nullptr;
}

void TcxCustomDataRelationList::Add(TcxCustomDataRelation* ARelation) {
  if (!ARelation || IndexOf(ARelation) >= 0) return;
  if (ARelation->FRelationList && ARelation->FRelationList != this) ARelation->FRelationList->Remove(ARelation);
  FItems.push_back(ARelation);
  ARelation->FRelationList = this;
  Changed(ARelation);
}

void TcxCustomDataRelationList::Remove(TcxCustomDataRelation* ARelation) {
  const Integer Index = IndexOf(ARelation);
  if (Index < 0) return;
  if (FController && !FDestroying) FController->ClearRelationDetails(ARelation);
  FItems.erase(FItems.begin() + Index);
  ARelation->FRelationList = nullptr;
  Changed(ARelation);
}

TcxCustomDataRelation* TcxCustomDataRelationList::Items(Integer AIndex) const {
  CheckListIndex(FItems, AIndex);
  return FItems[size_t(AIndex)];
}

Integer TcxCustomDataRelationList::IndexOf(const TcxCustomDataRelation* ARelation) const {
  return IndexIn(FItems, ARelation);
}

void TcxCustomDataRelationList::Changed(TcxCustomDataRelation* ARelation) {
  if (FLockCount > 0 || FDestroying || !FController) return;
  FController->BeginUpdate();
  try {
    if (FItems.empty()) {
      TcxCustomDataField* Field = FDetailField;
      FDetailField = nullptr;
      delete Field;
    } else if (FDetailField) {
      FController->DetailsChanged();
    } else {
      FDetailField = FController->CreateInternalField();
      if (FDetailField) FDetailField->SetValueTypeClass(TcxObjectValueType::StaticClass());
    }
    FController->RelationChanged(ARelation);
  } catch (...) {
    FController->EndUpdate();
    throw;
  }
  FController->EndUpdate();
}

TcxDetailObject* TcxCustomDataRelationList::DetailObjectOf(Integer ARecordIndex) {
  if (!FDetailField || !FDetailField->ValueDef() || !FController) return nullptr;
  const Variant Value = FController->GetDataStorage()->ReadValue(ARecordIndex, FDetailField->ValueDef());
  if (VarIsNull(Value)) return nullptr;
  return reinterpret_cast<TcxDetailObject*>(std::intptr_t(Value.AsInt64()));
}

void TcxCustomDataRelationList::StoreDetailObject(Integer ARecordIndex, TcxDetailObject* AObject) {
  FController->GetDataStorage()->WriteValue(ARecordIndex, FDetailField->ValueDef(),
                                            Variant(Int64(reinterpret_cast<std::intptr_t>(AObject))));
}

namespace {

bool HasLinkedDetailController(IcxCustomDataController* AController) {
  TcxCustomDataRelationList* Relations = AController ? AController->GetRelationsIfAny() : nullptr;
  if (!Relations) return false;
  for (Integer I = 0; I < Relations->Count(); ++I)
    if (Relations->Items(I)->DetailDataController()) return true;
  return false;
}

}  // namespace

TcxDetailObject* TcxCustomDataRelationList::GetDetailObject(Integer ARecordIndex) {
  if (!FController) return nullptr;
  FController->CheckRecordIndex(ARecordIndex);
  if (!FDetailField || !FDetailField->ValueDef()) return nullptr;
  TcxDetailObject* Object = DetailObjectOf(ARecordIndex);
  if (HasLinkedDetailController(FController->GetDetailReferenceController())) {
    if (!Object) {
      Object = new TcxDetailObject;
      Object->SetActiveRelationIndex(FController->GetDefaultActiveRelationIndex());
      StoreDetailObject(ARecordIndex, Object);
    }
    Object->SetInfoCount(Count());
    return Object;
  }
  if (Object) {
    for (Integer I = 0; I < Object->InfoCount(); ++I)
      if (TObject* Link = Object->LinkObjectAt(I))
        if (IcxCustomDataController* Detail = FController->GetDetailDataController(Link)) Detail->ResetMasterLink();
    StoreDetailObject(ARecordIndex, nullptr);
    delete Object;
  }
  return nullptr;
}

bool TcxCustomDataRelationList::IsDetailLinked(Integer ARecordIndex, Integer ARelationIndex) {
  TcxDetailObject* Object = DetailObjectOf(ARecordIndex);
  if (!Object) return false;
  return ARelationIndex == -1 ? !Object->HasNoLinks() : Object->LinkObjectAt(ARelationIndex) != nullptr;
}

bool TcxCustomDataRelationList::ClearDetails(Integer ARecordIndex, Integer ARelationIndex) {
  TcxDetailObject* Object = DetailObjectOf(ARecordIndex);
  if (!Object) return false;
  if (ARelationIndex == -1)
    Object->ClearInfos();
  else
    Object->FreeInfo(ARelationIndex);
  return true;
}

void TcxCustomDataRelationList::RemoveDataField(TcxCustomDataField* AField) {
  if (AField == FDetailField) FDetailField = nullptr;
  const std::vector<TcxCustomDataRelation*> Relations = FItems;
  for (TcxCustomDataRelation* Relation : Relations) Relation->RemoveDataField(AField);
}

// ---- Sorting and grouping lists -------------------------------------------------------------

TcxSortingFieldList::~TcxSortingFieldList() {
  for (TcxDataSortInfo* Info : FItems) delete Info;
}

void TcxSortingFieldList::Changed() {
  if (OnChanged) OnChanged();
}

void TcxSortingFieldList::ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  const Integer Index = Find(AField);
  if (Index >= 0) {
    if (ASortOrder == soNone)
      Delete(Index);
    else
      SetOrder(Index, ASortOrder);
  } else if (ASortOrder != soNone) {
    Add(AField, ASortOrder);
  }
}

void TcxSortingFieldList::AddMissing(const TcxSortingFieldList* AList) {
  for (Integer I = 0; I < AList->Count(); ++I)
    if (Find(AList->Items(I).Field) < 0) Add(AList->Items(I).Field, AList->Items(I).SortOrder);
}

void TcxSortingFieldList::CheckField(TcxCustomDataField* AField) {
  if (Find(AField) >= 0) Changed();
}

void TcxSortingFieldList::Clear() {
  while (Count() > 0) Delete(0);
}

Integer TcxSortingFieldList::Find(const TcxCustomDataField* AField) const {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I]->Field == AField) return Integer(I);
  return -1;
}

TcxDataSortOrder TcxSortingFieldList::OrderOf(const TcxCustomDataField* AField) const {
  const Integer Index = Find(AField);
  return Index < 0 ? soNone : FItems[size_t(Index)]->SortOrder;
}

void TcxSortingFieldList::Add(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  InsertAt(Count(), AField, ASortOrder);
}

void TcxSortingFieldList::InsertAt(Integer AIndex, TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  if (AIndex < 0 || AIndex > Count()) TList::Error(AIndex);
  FItems.insert(FItems.begin() + AIndex, new TcxDataSortInfo{AField, ASortOrder});
  Changed();
}

void TcxSortingFieldList::Delete(Integer AIndex) {
  CheckListIndex(FItems, AIndex);
  delete FItems[size_t(AIndex)];
  FItems.erase(FItems.begin() + AIndex);
  Changed();
}

void TcxSortingFieldList::Move(Integer ACurIndex, Integer ANewIndex) {
  if (ACurIndex == ANewIndex) return;
  MoveItem(FItems, ACurIndex, ANewIndex);
  Changed();
}

void TcxSortingFieldList::Remove(TcxCustomDataField* AField) {
  const Integer Index = Find(AField);
  if (Index >= 0) Delete(Index);
}

void TcxSortingFieldList::SetOrder(Integer AIndex, TcxDataSortOrder ASortOrder) {
  CheckListIndex(FItems, AIndex);
  if (FItems[size_t(AIndex)]->SortOrder == ASortOrder) return;
  FItems[size_t(AIndex)]->SortOrder = ASortOrder;
  Changed();
}

void TcxSortingFieldList::MoveField(TcxCustomDataField* AField, Integer AIndex) {
  const Integer Index = Find(AField);
  if (AIndex < 0) {
    if (Index >= 0) Delete(Index);
  } else if (Index < 0) {
    InsertAt(std::min(AIndex, Count()), AField, soAscending);
  } else {
    Move(Index, std::min(AIndex, Count() - 1));
  }
}

const TcxDataSortInfo& TcxSortingFieldList::Items(Integer AIndex) const {
  CheckListIndex(FItems, AIndex);
  return *FItems[size_t(AIndex)];
}

void TcxGroupingFieldList::ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) {
  TcxSortingFieldList::ChangeSorting(AField, ASortOrder == soNone ? soAscending : ASortOrder);
}

void TcxGroupingFieldList::SyncOrders(const TcxSortingFieldList* ASortingList) {
  for (Integer I = 0; I < Count(); ++I) {
    const TcxDataSortOrder Order = ASortingList->OrderOf(Items(I).Field);
    SetOrder(I, Order == soNone ? soAscending : Order);
  }
}

// ---- Group tree ---------------------------------------------------------------------------

TcxDataGroups::~TcxDataGroups() { Clear(); }

void TcxDataGroups::AddField(TcxCustomDataField* AField) { FFields.push_back(AField); }

TcxDataGroupInfo* TcxDataGroups::AddGroup() {
  FGroups.push_back(&FGroupStore.emplace_back());
  return FGroups.back();
}

void TcxDataGroups::Clear() {
  FGroups.clear();
  FGroupStore.clear();
  FFields.clear();
  FSummaryTable.clear();
}

Variant TcxDataGroups::SummaryValuesOf(const TcxDataGroupInfo* AGroup) const {
  if (AGroup->SummaryCount <= 0) return AGroup->SummaryValues;
  const auto First = FSummaryTable.begin() + AGroup->SummaryOffset;
  return VarArrayOf(std::vector<Variant>(First, First + AGroup->SummaryCount));
}

Variant TcxDataGroups::SummaryValueOf(const TcxDataGroupInfo* AGroup, Integer AIndex) const {
  if (AGroup->SummaryCount > 0)
    return AIndex >= 0 && AIndex < AGroup->SummaryCount ? FSummaryTable[size_t(AGroup->SummaryOffset + AIndex)]
                                                        : Null();
  const Variant& Values = AGroup->SummaryValues;
  if (!VarIsArray(Values) || AIndex < VarArrayLowBound(Values) || AIndex > VarArrayHighBound(Values)) return Null();
  return Values.GetElement(AIndex);
}

TcxDataGroupInfo* TcxDataGroups::Items(Integer AIndex) const {
  CheckListIndex(FGroups, AIndex);
  return FGroups[size_t(AIndex)];
}

TcxCustomDataField* TcxDataGroups::Fields(Integer ALevel) const {
  CheckListIndex(FFields, ALevel);
  return FFields[size_t(ALevel)];
}

void TcxDataGroups::SetAllExpanded(bool AValue) {
  for (TcxDataGroupInfo* Group : FGroups) Group->Expanded = AValue;
  Renumber();
}

Integer TcxDataGroups::ChildCount(Integer AGroup) const {
  if (AGroup == -1) return Level0Count();
  if (!IsValid(AGroup)) return 0;
  const TcxDataGroupInfo* Group = FGroups[size_t(AGroup)];
  if (IsDeepest(AGroup)) return Group->LastIndex - Group->FirstIndex + 1;
  Integer Result = 0;
  for (Integer I = Group->FirstIndex; I <= Group->LastIndex && I < Count(); ++I)
    if (FGroups[size_t(I)]->Level == Group->Level + 1) ++Result;
  return Result;
}

Integer TcxDataGroups::ChildGroup(Integer AGroup, Integer AIndex) const {
  if (AGroup == -1) return Level0Group(AIndex);
  if (!IsValid(AGroup) || IsDeepest(AGroup) || AIndex < 0) return -1;
  const TcxDataGroupInfo* Group = FGroups[size_t(AGroup)];
  if (AIndex > Group->LastIndex - Group->FirstIndex) return -1;
  for (Integer I = Group->FirstIndex; I <= Group->LastIndex && I < Count(); ++I)
    if (FGroups[size_t(I)]->Level == Group->Level + 1 && AIndex-- == 0) return I;
  return -1;
}

Integer TcxDataGroups::ChildRecordPosition(Integer AGroup, Integer AIndex) const {
  if (!IsValid(AGroup) || !IsDeepest(AGroup)) return -1;
  const TcxDataGroupInfo* Group = FGroups[size_t(AGroup)];
  return AIndex >= 0 && AIndex <= Group->LastIndex - Group->FirstIndex ? Group->FirstIndex + AIndex : -1;
}

Integer TcxDataGroups::Level0Count() const {
  Integer Result = 0;
  for (const TcxDataGroupInfo* Group : FGroups)
    if (Group->Level == 0) ++Result;
  return Result;
}

Integer TcxDataGroups::Level0Group(Integer AIndex) const {
  if (AIndex < 0) return -1;
  for (Integer I = 0; I < Count(); ++I)
    if (FGroups[size_t(I)]->Level == 0 && AIndex-- == 0) return I;
  return -1;
}

Integer TcxDataGroups::LevelOf(Integer AGroup) const { return IsValid(AGroup) ? FGroups[size_t(AGroup)]->Level : -1; }

Integer TcxDataGroups::ParentOf(Integer AGroup) const {
  const Integer Level = FGroups[size_t(AGroup)]->Level;
  if (Level == 0) return -1;
  for (Integer I = AGroup - 1; I >= 0; --I)
    if (FGroups[size_t(I)]->Level < Level) return I;
  return -1;
}

Integer TcxDataGroups::FindRowOwner(Integer ARowIndex) const {
  Integer Low = 0, High = Count() - 1, Found = -1;
  while (Low <= High) {
    const Integer Middle = (Low + High) / 2;
    const Integer Row = FGroups[size_t(Middle)]->RowIndex;
    if (Row == ARowIndex) {
      Found = Middle;
      break;
    }
    if (Row < ARowIndex)
      Low = Middle + 1;
    else
      High = Middle - 1;
  }
  if (Found < 0) {
    // A data row: the group row before it owns it.
    if (Low == 0) return -1;
    return FindRowOwner(FGroups[size_t(Low - 1)]->RowIndex);
  }
  // Records sharing the row: the shallowest collapsed one owns it.
  Integer Result = Found;
  for (Integer I = Found; I >= 0 && FGroups[size_t(I)]->RowIndex == ARowIndex; --I)
    if (!FGroups[size_t(I)]->Expanded && FGroups[size_t(I)]->Level < FGroups[size_t(Result)]->Level) Result = I;
  return Result;
}

Integer TcxDataGroups::GroupOfRow(Integer ARowIndex, Integer ALevel) const {
  Integer Group = FindRowOwner(ARowIndex);
  if (Group < 0 || ALevel < 0) return Group;
  while (Group < Count() - 1 && FGroups[size_t(Group)]->Level < ALevel) ++Group;
  while (Group > 0 && FGroups[size_t(Group)]->Level > ALevel) --Group;
  return Group;
}

bool TcxDataGroups::IsRowOwner(Integer AGroup) const {
  return IsValid(AGroup) && FindRowOwner(FGroups[size_t(AGroup)]->RowIndex) == AGroup;
}

bool TcxDataGroups::MakeVisible(Integer AGroup, bool AExpandSelf) {
  if (!IsValid(AGroup)) return false;
  // The first group that changes is visible (every ancestor of it stays
  // expanded) and keeps its row; rows before it do not move.
  Integer FirstChanged = -1;
  if (AExpandSelf && !FGroups[size_t(AGroup)]->Expanded) {
    FGroups[size_t(AGroup)]->Expanded = true;
    FirstChanged = AGroup;
  }
  for (Integer Parent = ParentOf(AGroup); Parent >= 0; Parent = ParentOf(Parent))
    if (!FGroups[size_t(Parent)]->Expanded) {
      FGroups[size_t(Parent)]->Expanded = true;
      FirstChanged = Parent;
    }
  if (FirstChanged < 0) return false;
  RenumberExpanded(FirstChanged);
  return true;
}

Integer TcxDataGroups::RowCount() const {
  if (FGroups.empty()) return 0;
  const Integer Owner = FindRowOwner(FGroups.back()->RowIndex);
  const TcxDataGroupInfo* Group = FGroups[size_t(Owner < 0 ? Count() - 1 : Owner)];
  if (Group->Expanded && Group->Level == FieldCount() - 1)
    return Group->RowIndex + (Group->LastIndex - Group->FirstIndex) + 2;
  return Group->RowIndex + 1;
}

void TcxDataGroups::RowInfo(Integer ARowIndex, bool& AExpanded, Integer& ALevel, Integer& ARecordPosition) const {
  AExpanded = false;
  ALevel = -1;
  ARecordPosition = -1;
  const Integer Owner = FindRowOwner(ARowIndex);
  if (Owner < 0) return;
  const TcxDataGroupInfo* Group = FGroups[size_t(Owner)];
  if (Group->RowIndex == ARowIndex) {
    AExpanded = Group->Expanded;
    ALevel = Group->Level;
    Integer First = Owner;
    while (!IsDeepest(First) && FGroups[size_t(First)]->FirstIndex > First &&
           FGroups[size_t(First)]->FirstIndex < Count())
      First = FGroups[size_t(First)]->FirstIndex;
    ARecordPosition = FGroups[size_t(First)]->FirstIndex;
    return;
  }
  ALevel = FieldCount();
  ARecordPosition = Group->FirstIndex + (ARowIndex - Group->RowIndex - 1);
}

void TcxDataGroups::Renumber() { RenumberRange(0, Count(), 0); }

void TcxDataGroups::RenumberExpanded(Integer AGroup) {
  // Only the group's own rows are counted again: every later group, shown or
  // hidden, moves by the number of rows the group gained.
  const TcxDataGroupInfo* Group = FGroups[size_t(AGroup)];
  const Integer End = IsDeepest(AGroup) ? AGroup + 1 : std::min(Group->LastIndex + 1, Count());
  const Integer Next = RenumberRange(AGroup, End, Group->RowIndex);
  if (End >= Count()) return;
  const Integer Delta = Next - FGroups[size_t(End)]->RowIndex;
  if (Delta == 0) return;
  for (auto It = FGroups.begin() + End; It != FGroups.end(); ++It) (*It)->RowIndex += Delta;
}

Integer TcxDataGroups::RenumberRange(Integer AFirst, Integer AEnd, Integer AFirstRow) {
  Integer Counter = AFirstRow;
  Integer HiddenBelow = -1;  // the level of the collapsed group whose descendants are hidden
  Integer HiddenRow = 0;
  const Integer Deepest = FieldCount() - 1;
  for (auto It = FGroups.begin() + AFirst, End = FGroups.begin() + AEnd; It != End; ++It) {
    TcxDataGroupInfo* Group = *It;
    const Integer Level = Group->Level;
    if (HiddenBelow >= 0 && Level > HiddenBelow) {
      Group->RowIndex = HiddenRow;
      continue;
    }
    HiddenBelow = -1;
    Group->RowIndex = Counter++;
    if (!Group->Expanded) {
      HiddenBelow = Level;
      HiddenRow = Group->RowIndex;
    } else if (Level == Deepest) {
      Counter += Group->LastIndex - Group->FirstIndex + 1;
    }
  }
  return Counter;
}

void TcxDataGroups::SetSummarySort(Integer AItemIndex, TcxDataSortOrder ASortOrder) {
  FSummaryItemIndex = AItemIndex;
  FSummarySortOrder = ASortOrder;
}

void TcxDataGroups::SortBySummary() {
  if (FieldCount() != 1 || FGroups.empty()) return;
  const Integer Item = FSummaryItemIndex;
  auto SummaryOf = [this, Item](const TcxDataGroupInfo* AGroup) { return SummaryValueOf(AGroup, Item); };
  const bool Descending = FSummarySortOrder == soDescending;
  std::stable_sort(FGroups.begin(), FGroups.end(), [&](const TcxDataGroupInfo* A, const TcxDataGroupInfo* B) {
    const Integer Result = CompareVariantValues(SummaryOf(A), SummaryOf(B));
    return Descending ? Result > 0 : Result < 0;
  });
  Renumber();
}

// ---- Focus, expansion and selection ----------------------------------------------------------

void TcxDataFocusingInfo::Assign(const TcxDataFocusingInfo* ASource) {
  FLevel = ASource->FLevel;
  FPrevRecordIndex = ASource->FPrevRecordIndex;
  FRecordIndex = ASource->FRecordIndex;
  FRowIndex = ASource->FRowIndex;
  FChanged = false;
  FPrevNewItemRowFocused = false;
}

void TcxDataFocusingInfo::Clear() {
  FLevel = -1;
  SetRecordIndex(-1);
  FRowIndex = -1;
}

bool TcxDataFocusingInfo::SameAs(const TcxDataFocusingInfo* AOther) const {
  if (FRecordIndex != AOther->FRecordIndex || FLevel != AOther->FLevel) return false;
  return !(FInfo && FInfo->IsSortingChangePending()) || FRowIndex == AOther->FRowIndex;
}

void TcxDataFocusingInfo::TakeControllerRecord() {
  FLevel = -1;
  if (FInfo) SetRecordIndex(FInfo->GetSyncFocusedRecordIndex());
}

void TcxDataFocusingInfo::UpdateFromRow(Integer ARowIndex) {
  if (ARowIndex == -1 || !FInfo) {
    FLevel = -1;
    SetRecordIndex(-1);
    return;
  }
  bool Expanded;
  Integer Level, Record;
  FInfo->GetRowInfo(ARowIndex, Expanded, Level, Record);
  FLevel = Level;
  SetRecordIndex(Record);
}

void TcxDataFocusingInfo::SetRecordIndex(Integer AValue) {
  if (FRecordIndex == AValue) return;
  FPrevRecordIndex = FRecordIndex;
  FRecordIndex = AValue;
}

TcxDataExpandingInfos::~TcxDataExpandingInfos() { Clear(); }

void TcxDataExpandingInfos::AddField(TcxCustomDataField* AField) {
  if (IndexOfField(AField) >= 0) cxDataControllerError(cxSDataItemExistError);
  FFields.push_back(AField);
  for (TcxDataExpandingInfo* Item : FItems) delete Item;
  FItems.clear();
}

void TcxDataExpandingInfos::AddItem(Integer ALevel, const Variant& AValue, Integer AState) {
  FItems.push_back(new TcxDataExpandingInfo{ALevel, AValue, AState});
}

void TcxDataExpandingInfos::CheckField(TcxCustomDataField* AField) {
  if (IndexOfField(AField) >= 0) Clear();
}

void TcxDataExpandingInfos::Clear() {
  FFields.clear();
  for (TcxDataExpandingInfo* Item : FItems) delete Item;
  FItems.clear();
  FSaveStates = 0;
}

Integer TcxDataExpandingInfos::IndexOfField(const TcxCustomDataField* AField) const { return IndexIn(FFields, AField); }

TcxCustomDataField* TcxDataExpandingInfos::Fields(Integer AIndex) const {
  CheckListIndex(FFields, AIndex);
  return FFields[size_t(AIndex)];
}

const TcxDataExpandingInfo& TcxDataExpandingInfos::Items(Integer AIndex) const {
  CheckListIndex(FItems, AIndex);
  return *FItems[size_t(AIndex)];
}


TcxDataSelection::~TcxDataSelection() {
  for (TcxDataSelectionInfo* Item : FItems) delete Item;
}

void TcxDataSelection::Changed() {
  if (OnChanged) OnChanged();
}

void TcxDataSelection::ClearAnchor() { FAnchorRowIndex = -1; }

void TcxDataSelection::InsertEntry(Integer APosition, Integer ARowIndex, Integer ALevel, Integer ARecordIndex) {
  if (APosition < 0 || APosition > Count()) APosition = Count();
  FItems.insert(FItems.begin() + APosition, new TcxDataSelectionInfo{ALevel, ARecordIndex, ARowIndex});
}

void TcxDataSelection::ClearEntries() {
  for (TcxDataSelectionInfo* Item : FItems) delete Item;
  FItems.clear();
}

void TcxDataSelection::DeleteEntry(Integer AIndex) {
  CheckListIndex(FItems, AIndex);
  if (FItems[size_t(AIndex)]->RowIndex == FAnchorRowIndex) ClearAnchor();
  delete FItems[size_t(AIndex)];
  FItems.erase(FItems.begin() + AIndex);
}

void TcxDataSelection::SetInternalCount(Integer ACount) {
  if (ACount < 0) ACount = 0;
  while (Count() > ACount) DeleteEntry(Count() - 1);
  for (Integer I = Count(); I < ACount; ++I) InsertEntry(-1, I, 0, I);
}

void TcxDataSelection::Add(Integer APosition, Integer ARowIndex, Integer ALevel, Integer ARecordIndex) {
  InsertEntry(APosition, ARowIndex, ALevel, ARecordIndex);
  Changed();
}

bool TcxDataSelection::FindRow(Integer ARowIndex, Integer& AIndex) const {
  Integer Low = 0, High = Count() - 1;
  while (Low <= High) {
    const Integer Middle = (Low + High) / 2;
    const Integer Row = FItems[size_t(Middle)]->RowIndex;
    if (Row == ARowIndex) {
      AIndex = Middle;
      return true;
    }
    if (Row < ARowIndex)
      Low = Middle + 1;
    else
      High = Middle - 1;
  }
  AIndex = Low;
  return false;
}

void TcxDataSelection::DeleteAt(Integer AIndex) {
  DeleteEntry(AIndex);
  Changed();
}

void TcxDataSelection::Clear() {
  ClearEntries();
  FFields.clear();
  Changed();
}

void TcxDataSelection::ClearAll() {
  ClearEntries();
  FFields.clear();
  ClearAnchor();
  Changed();
}

void TcxDataSelection::SortByRow() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const TcxDataSelectionInfo* A, const TcxDataSelectionInfo* B) { return A->RowIndex < B->RowIndex; });
}

Integer TcxDataSelection::FindGroupEntry(Integer AGroupIndex) const {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I]->Level == -1 && FItems[I]->Index == AGroupIndex) return Integer(I);
  return -1;
}

Integer TcxDataSelection::FindRecordEntry(Integer ARecordIndex) const {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I]->Level >= 0 && FItems[I]->Index == ARecordIndex) return Integer(I);
  return -1;
}

void TcxDataSelection::DropStaleEntries() {
  bool Dropped = false;
  for (Integer I = Count() - 1; I >= 0; --I) {
    const TcxDataSelectionInfo* Item = FItems[size_t(I)];
    if (Item->Level >= 0 && FController && !FController->IsRecordInRowList(Item->Index)) {
      DeleteEntry(I);
      Dropped = true;
    }
  }
  if (Dropped) Changed();
}

TcxDataSelectionInfo& TcxDataSelection::Items(Integer AIndex) const {
  CheckListIndex(FItems, AIndex);
  return *FItems[size_t(AIndex)];
}
