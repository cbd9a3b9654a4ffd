#include "data/cxDataFilterBinding.h"

#include <algorithm>

#include "data/cxCustomDataController.h"
#include "data/cxFilterConsts.h"

// ---- Criteria item ----------------------------------------------------------------------

TcxCustomDataField* TcxDataFilterCriteriaItem::Field() const {
  TObject* Link = ItemLink();
  if (Link != FCachedLink) {
    FCachedLink = Link;
    FCachedField = dynamic_cast<TcxCustomDataField*>(Link);
  }
  return FCachedField;
}

TcxCustomDataController* TcxDataFilterCriteriaItem::DataController() const {
  if (!FCachedController) {
    auto* Criteria = dynamic_cast<TcxDataFilterCriteria*>(GetCriteria());
    FCachedController = Criteria ? Criteria->DataController() : nullptr;
  }
  return FCachedController;
}

Variant TcxDataFilterCriteriaItem::GetDataValue(Integer ARecordIndex) {
  TcxCustomDataField* F = Field();
  TcxCustomDataController* C = DataController();
  return F && C ? C->GetFilterItemValue(ARecordIndex, F) : Null();
}

std::optional<std::u16string_view> TcxDataFilterCriteriaItem::GetDataTextView(Integer ARecordIndex) {
  TcxCustomDataField* F = Field();
  TcxCustomDataController* C = DataController();
  return F && C ? C->GetFilterItemTextView(ARecordIndex, F) : std::nullopt;
}

String TcxDataFilterCriteriaItem::GetFieldCaption() {
  TcxCustomDataField* F = Field();
  TcxCustomDataController* C = DataController();
  if (!F || !C) return String();
  const Integer Item = C->GetItemIndexOfField(F);
  return Item >= 0 ? C->GetFilterItemCaption(Item) : String();
}

// ---- Criteria ---------------------------------------------------------------------------

TcxDataFilterCriteria::TcxDataFilterCriteria(TcxCustomDataController* ADataController)
    : FDataController(ADataController) {}

TcxDataFilterCriteria::~TcxDataFilterCriteria() {
  FDestroying = true;
  if (FExtra && FDataController) FDataController->RemoveExtraFilter(this);
}

TObject* TcxDataFilterCriteria::FieldOfLink(TObject* AItemLink) const {
  if (!AItemLink || dynamic_cast<TcxCustomDataField*>(AItemLink)) return AItemLink;
  TcxCustomDataField* F = FDataController->Fields()->FindByItem(AItemLink);
  return F ? static_cast<TObject*>(F) : AItemLink;
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::AddItem(TcxFilterCriteriaItemList* AList, TObject* AItemLink,
                                                      TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                                      const String& ADisplayValue) {
  return inherited::AddItem(AList, FieldOfLink(AItemLink), AOperatorKind, AValue, ADisplayValue);
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::FindItemByItemLink(TObject* AItemLink) {
  return inherited::FindItemByItemLink(FieldOfLink(AItemLink));
}

TcxFilterCriteriaItemClass TcxDataFilterCriteria::ItemClass() { return TcxDataFilterCriteriaItem::StaticClass(); }
TcxFilterValueListClass TcxDataFilterCriteria::ValueListClass() { return TcxDataFilterValueList::StaticClass(); }

Integer TcxDataFilterCriteria::IdOfItemLink(TObject* AItemLink) {
  auto* F = dynamic_cast<TcxCustomDataField*>(AItemLink);
  if (!F) return -1;
  const Integer Item = FDataController->GetItemIndexOfField(F);
  return Item >= 0 ? FDataController->GetItemID(FDataController->GetItem(Item)) : -1;
}

TObject* TcxDataFilterCriteria::ItemLinkOfId(Integer AId) {
  const Integer Item = FDataController->FindItemByID(AId);
  return Item >= 0 ? FDataController->GetItemField(Item) : nullptr;
}

bool TcxDataFilterCriteria::IsFiltering() { return FActive && !IsEmpty() && !FDataController->IsGridMode(); }

void TcxDataFilterCriteria::NotifyChanged() {
  if (!FExtra && !FDestroying && !FDataController->IsDestroying() && !FDataController->IsOwnerLoading())
    FDataController->FilterChanged();
  inherited::NotifyChanged();
}

void TcxDataFilterCriteria::SetActive(bool AValue) {
  if (AValue == FActive) return;
  FActive = AValue;
  Changed();
}

void TcxDataFilterCriteria::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxDataFilterCriteria*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  BeginUpdate();
  try {
    inherited::Assign(ASource);
    SetActive(Source->FActive);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxDataFilterCriteria::AssignEvents(TPersistent* ASource) {
  inherited::AssignEvents(ASource);
  if (auto* Source = dynamic_cast<TcxDataFilterCriteria*>(ASource)) OnGetValueList = Source->OnGetValueList;
}

// ---- Value list --------------------------------------------------------------------------

void TcxDataFilterValueList::Load(Integer AItemIndex) {
  auto* Criteria = dynamic_cast<TcxDataFilterCriteria*>(this->Criteria());
  if (!Criteria) return;
  TcxCustomDataController* C = Criteria->DataController();
  TcxCustomDataField* Field = C->GetItemField(AItemIndex);
  Clear();
  SetSortByDisplayText(C->IsItemDisplayTextSorted(AItemIndex, C->HasOption(dcoCompareDisplayTexts)));
  AddItem(fviAll, Null(), false, cxGetFilterText(cxSFilterBoxAllCaption));
  AddItem(fviCustom, Null(), false, cxGetFilterText(cxSFilterBoxCustomCaption));
  bool Blanks = C->IsGridMode();
  if (!C->IsGridMode())
    for (Integer R = 0; R < C->GetRecordCount(); ++R) {
      const Variant V = C->GetFilterItemValue(R, Field);
      if (Criteria->IsNullValue(V))
        Blanks = true;
      else
        AddItem(fviValue, V, false, C->GetFilterDisplayText(R, AItemIndex));
    }
  if (Blanks) {
    AddItem(fviBlanks, Null(), false, cxGetFilterText(cxSFilterBoxBlanksCaption));
    AddItem(fviNonBlanks, Null(), false, cxGetFilterText(cxSFilterBoxNonBlanksCaption));
  }
  Criteria->OnGetValueList(Criteria, AItemIndex, this);
}

// ---- Locate objects --------------------------------------------------------------------------

TcxDataControllerLocateObject::~TcxDataControllerLocateObject() { ReleaseInternalRecord(); }

Integer TcxDataControllerLocateObject::RecordIndex() {
  if (FRecordIndex == 0) FRecordIndex = FDataController->DataStorage()->AcquireInternalRecord();
  return FRecordIndex;
}

void TcxDataControllerLocateObject::SetValue(TcxCustomDataField* AField, const Variant& AValue) {
  if (AField && AField->ValueDef()) FDataController->DataStorage()->WriteValue(RecordIndex(), AField->ValueDef(), AValue);
}

void TcxDataControllerLocateObject::ReleaseInternalRecord() {
  if (FRecordIndex == 0) return;
  TcxDataStorage* S = FDataController->DataStorage();
  if (S && -FRecordIndex <= S->InternalRecordCount()) S->DeleteRecordAt(FRecordIndex);
  FRecordIndex = 0;
}

Integer TcxDataControllerKeyLocateObject::FindRecordIndex() {
  return FDataController->FindRecordByFields(RecordIndex(), FFields);
}

Integer TcxDataControllerGroupLocateObject::FindRecordIndex() {
  TcxGroupingFieldList* Levels = FDataController->DataControllerInfo()->GroupingFields();
  if (FLevel < 0 || FLevel >= Levels->Count()) return -1;
  bool ByText = false;
  for (Integer L = 0; L <= FLevel; ++L) ByText = ByText || FDataController->ComparesDisplayText(Levels->Items(L).Field);
  if (!ByText) return FDataController->FindGroupRecord(RecordIndex(), FLevel + 1);
  std::vector<TcxCustomDataField*> Fields;
  for (Integer L = 0; L <= FLevel; ++L) Fields.push_back(Levels->Items(L).Field);
  const bool Old = FDataController->InternalFind();
  FDataController->SetInternalFind(true);
  const Integer Result = FDataController->FindRecordByFields(RecordIndex(), Fields);
  FDataController->SetInternalFind(Old);
  return Result;
}

// ---- Readers ----------------------------------------------------------------------------------

TcxValueDefUnboundReader::~TcxValueDefUnboundReader() { Clear(); }

Integer TcxValueDefUnboundReader::IndexOf(TcxValueDef* AValueDef) const {
  if (auto* Internal = dynamic_cast<TcxInternalValueDef*>(AValueDef)) AValueDef = Internal->BaseValueDef();
  for (size_t I = 0; I < FValueDefs.size(); ++I)
    if (FValueDefs[I] == AValueDef) return Integer(I);
  return -1;
}

Variant TcxValueDefUnboundReader::GetValue(TcxValueDef* AValueDef) {
  const Integer I = IndexOf(AValueDef);
  return I < 0 ? Null() : *FValues[size_t(I)];
}

void TcxValueDefUnboundReader::SetValue(TcxValueDef* AValueDef, const Variant& AValue) {
  const Integer I = IndexOf(AValueDef);
  if (I >= 0) {
    *FValues[size_t(I)] = AValue;
    return;
  }
  FValueDefs.push_back(AValueDef);
  FValues.push_back(new Variant(AValue));
}

void TcxValueDefUnboundReader::Truncate(Integer ACount) {
  while (Integer(FValues.size()) > std::max(ACount, 0)) {
    delete FValues.back();
    FValues.pop_back();
    FValueDefs.pop_back();
  }
}

TcxCustomDataField* TcxValueDefRecordReader::FieldOf(TcxValueDef* AValueDef) const {
  return AValueDef ? dynamic_cast<TcxCustomDataField*>(AValueDef->LinkObject()) : nullptr;
}

Variant TcxValueDefRecordReader::GetValue(TcxValueDef* AValueDef) {
  TcxCustomDataField* Field = FieldOf(AValueDef);
  return Field ? FDataController->GetRecordValue(FRecordIndex, Field) : Null();
}

String TcxValueDefRecordReader::GetDisplayText(TcxValueDef* AValueDef) {
  TcxCustomDataField* Field = FieldOf(AValueDef);
  if (!Field || Field->IsInternal()) return String();
  return FDataController->GetRecordDisplayText(FRecordIndex, Field);
}

// ---- Extra criteria -------------------------------------------------------------------------

void TcxDataFilterList::Add(TcxDataFilterCriteria* ACriteria) {
  if (ACriteria && std::find(FItems.begin(), FItems.end(), ACriteria) == FItems.end()) FItems.push_back(ACriteria);
}

void TcxDataFilterList::Remove(TcxDataFilterCriteria* ACriteria) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), ACriteria), FItems.end());
}

void TcxDataFilterList::Clear() {
  while (!FItems.empty()) {
    TcxDataFilterCriteria* Criteria = FItems.back();
    FItems.pop_back();
    delete Criteria;
  }
}

void TcxDataFilterList::RemoveComponent(TObject* AComponent) {
  const std::vector<TcxDataFilterCriteria*> Items = FItems;
  for (TcxDataFilterCriteria* Criteria : Items) Criteria->RemoveItemByItemLink(AComponent);
}

TcxDataFilterCriteria* TcxDataFilterList::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(AIndex) + u")");
  return FItems[size_t(AIndex)];
}
