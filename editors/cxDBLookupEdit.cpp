#include "editors/cxDBLookupEdit.h"

#include "data/cxDBData.h"
#include "data/cxDataGuards.h"
#include "editors/cxDBEdit.h"
#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/dataset.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"


// ---------------------------------------------------------------------------
// TcxCustomDBLookupEditProperties

TcxCustomDBLookupEditProperties::TcxCustomDBLookupEditProperties(TPersistent* AOwner)
    : TcxCustomLookupEditProperties(AOwner) {}

TcxCustomDBLookupEditProperties::~TcxCustomDBLookupEditProperties() = default;

TcxCustomEditClass TcxCustomDBLookupEditProperties::GetEditorClass() { return TcxCustomDBLookupEdit::StaticClass(); }

void TcxCustomDBLookupEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomDBLookupEditProperties*>(Source);
  TcxUpdateScope update(this);
  if (source && source != this) {
    SetGridMode(source->GridMode());
    if (!IsDefinedByLookupField()) SetKeyFieldNames(source->KeyFieldNames());
  }
  TcxCustomLookupEditProperties::Assign(Source);
}

String TcxCustomDBLookupEditProperties::KeyFieldNames() {
  TcxDBDataController* list = GetListDBDataController();
  return list ? list->KeyFieldNames() : String();
}

void TcxCustomDBLookupEditProperties::SetKeyFieldNames(const String& Value) {
  CheckNotDefinedByLookupField();
  TcxDBDataController* list = GetListDBDataController();
  if (!list || list->KeyFieldNames() == Value) return;
  list->SetKeyFieldNames(Value);
  NotifyChanged();
}

void TcxCustomDBLookupEditProperties::SetListFieldIndex(Integer Value) {
  CheckNotDefinedByLookupField();
  TcxCustomLookupEditProperties::SetListFieldIndex(Value);
}

Integer TcxCustomDBLookupEditProperties::GetStoredListFieldIndex() {
  if (TField* field = GetBoundLookupField()) return IndexOfListColumnField(field->LookupResultField());
  return TcxCustomLookupEditProperties::GetStoredListFieldIndex();
}

void TcxCustomDBLookupEditProperties::CheckNotDefinedByLookupField() {
  if (!FBinding && IsDefinedByLookupField()) DatabaseError(LoadResourceText(cxSEditPropertyDefinedByLookupField));
}

TField* TcxCustomDBLookupEditProperties::GetBoundLookupField() {
  IcxEditDefaultValuesProvider* provider = DefaultValuesProvider();
  auto* dataProvider = provider ? dynamic_cast<TcxCustomDBEditDefaultValuesProvider*>(provider->GetInstance()) : nullptr;
  TField* field = dataProvider ? dataProvider->Field() : nullptr;
  return field && field->Lookup() ? field : nullptr;
}

Integer TcxCustomDBLookupEditProperties::GetValueKind(bool AIsEditing) const {
  // 2: the value kind of an editor that edits a lookup field's key.
  constexpr Integer cLookupFieldEditingValueKind = 2;
  if (const_cast<TcxCustomDBLookupEditProperties*>(this)->IsBoundToLookupField())
    return AIsEditing ? cLookupFieldEditingValueKind : cxEditValueKindText;
  return TcxCustomLookupEditProperties::GetValueKind(AIsEditing);
}

void TcxCustomDBLookupEditProperties::BindLookupField() {
  TField* field = GetBoundLookupField();
  if (field != FLookupField) {
    FLookupField = field;
    if (!field) {
      if (TcxDBDataController* list = GetListDBDataController(); list && list->DataSource() == FLookupSource.get())
        list->SetDataSource(nullptr);
      FLookupSource.reset();
    } else {
      if (!FLookupSource) FLookupSource = std::make_unique<TDataSource>(nullptr);
      FLookupSource->SetDataSet(field->LookupDataSet());
      if (TcxDBDataController* list = GetListDBDataController()) {
        TcxFlagGuard binding(FBinding, true);
        list->SetDataSource(FLookupSource.get());
        if (IndexOfListColumnField(field->LookupResultField()) < 0) SetListFieldNames(field->LookupResultField());
        SetKeyFieldNames(field->LookupKeyFields());
        SetListFieldIndex(0);
      }
    }
  }
  if (TcxDBDataController* list = GetListDBDataController(); FLookupField && list && list->DataSource())
    CheckCircularLink(list->DataSource());
}

void TcxCustomDBLookupEditProperties::EnsureLookupResultColumn() {
  if (TField* field = GetBoundLookupField()) {
    TcxFlagGuard binding(FBinding, true);
    EnsureListColumn(field->LookupResultField());
  }
}

void TcxCustomDBLookupEditProperties::CheckCircularLink(TDataSource* ASource) {
  TField* field = GetBoundLookupField();
  TDataSet* listDataSet = ASource ? ASource->DataSet() : nullptr;
  if (!field || !listDataSet) return;
  for (TDataSet* dataSet = field->DataSet(); dataSet;) {
    if (dataSet == listDataSet) DatabaseError(dbconsts::SCircularDataLink);
    TDataSource* master = dataSet->MasterSource();
    dataSet = master ? master->DataSet() : nullptr;
  }
}

String TcxCustomDBLookupEditProperties::ListFieldNames() {
  String names;
  for (Integer i = 0; i < GetListColumnCount(); ++i) {
    if (i > 0) names += u';';
    names += GetListColumnFieldName(i);
  }
  return names;
}

void TcxCustomDBLookupEditProperties::SetListFieldNames(const String& Value) {
  const String before = ListFieldNames();
  BeginListColumnsUpdate();
  try {
    SetListColumnsFromFieldNames(Value);
    if ((IsBinding() || !IsDefinedByLookupField()) && GetStoredListFieldIndex() >= GetListColumnCount())
      SetListFieldIndex(GetListColumnCount() - 1);
    if (ListFieldNames() != before) NotifyChanged();
  } catch (...) {
    EndListColumnsUpdate();
    throw;
  }
  EndListColumnsUpdate();
}

void TcxCustomDBLookupEditProperties::SetGridMode(bool Value) {
  if (Value == FGridMode) return;
  FGridMode = Value;
  if (FGridMode)
    FLookupCache = std::make_unique<TcxLookupList>();
  else
    FLookupCache.reset();
  NotifyChanged();
}

void TcxCustomDBLookupEditProperties::NotifyChanged() {
  if (!IsChangeLocked() && !FBinding) {
    if (FLookupCache) FLookupCache->Clear();
    if (TcxDBDataController* list = GetListDBDataController(); list && list->DataModeController()->GridMode() != FGridMode)
      list->DataModeController()->SetGridMode(FGridMode);
    BindLookupField();
    EnsureLookupResultColumn();
  }
  TcxCustomLookupEditProperties::NotifyChanged();
}

TDataSet* TcxCustomDBLookupEditProperties::GetListDataSet() {
  TcxDBDataController* list = GetListDBDataController();
  return list ? list->GetDataSet() : nullptr;
}

TField* TcxCustomDBLookupEditProperties::GetListField() {
  const Integer index = GetListFieldIndex();
  return index >= 0 ? GetListColumnField(index) : nullptr;
}

bool TcxCustomDBLookupEditProperties::IsIncrementalFilteringActive() const {
  return !FGridMode && TcxCustomLookupEditProperties::IsIncrementalFilteringActive();
}

bool TcxCustomDBLookupEditProperties::IsKeyFieldListField() {
  const std::vector<String> keys = SplitFieldNames(KeyFieldNames());
  TDataSet* dataSet = GetListDataSet();
  TField* listField = GetListField();
  if (keys.size() != 1 || !dataSet || !listField) return false;
  return dataSet->FindField(keys[0]) == listField;
}

Variant TcxCustomDBLookupEditProperties::GetNullKey() {
  const std::vector<String> keys = SplitFieldNames(KeyFieldNames());
  if (keys.size() <= 1) return Null();
  return VarArrayOf(std::vector<Variant>(keys.size(), Null()));
}

void TcxCustomDBLookupEditProperties::BeginListLocate() {
  TcxCustomLookupEditProperties::BeginListLocate();
  TcxDBDataController* list = GetListDBDataController();
  const bool open = list && list->IsGridMode();
  if (open) {
    list->BeginLocate();
  }
  FLocateOpened.push_back(open);
}

void TcxCustomDBLookupEditProperties::EndListLocate() {
  const bool opened = !FLocateOpened.empty() && FLocateOpened.back();
  if (!FLocateOpened.empty()) FLocateOpened.pop_back();
  if (opened) {
    if (TcxDBDataController* list = GetListDBDataController()) list->EndLocate();
  }
  TcxCustomLookupEditProperties::EndListLocate();
}

TAlignment TcxCustomDBLookupEditProperties::GetDefaultHorzAlignment() const {
  TField* field = const_cast<TcxCustomDBLookupEditProperties*>(this)->GetListField();
  return field ? field->Alignment() : TcxCustomLookupEditProperties::GetDefaultHorzAlignment();
}

String TcxCustomDBLookupEditProperties::GridModeDisplayText(const Variant& AKey) {
  Integer position = 0;
  if (FLookupCache->Find(AKey, position)) return FLookupCache->GetItem(position).DisplayText;
  String text;
  TDataSet* dataSet = GetListDataSet();
  TField* field = GetListField();
  if (dataSet && dataSet->Active() && field) {
    // Asked without moving: a control bound to the list dataset keeps its
    // record.
    try {
      text = VarToStr(dataSet->Lookup(KeyFieldNames(), AKey, field->FieldName()));
    } catch (const EVariantError&) {
    } catch (const EDatabaseError&) {
    }
  }
  FLookupCache->Insert(position, AKey, text);
  return text;
}

String TcxCustomDBLookupEditProperties::GetDisplayTextByKey(const Variant& AKey) {
  const Integer index = GetListFieldIndex();
  TcxDBDataController* list = GetListDBDataController();
  if (index < 0 || !list) return String();
  if (FGridMode && FLookupCache) return GridModeDisplayText(AKey);
  Integer record = -1;
  try {
    record = list->FindRecordIndexByKey(AKey);
  } catch (const EVariantError&) {
    record = -1;
  }
  return record >= 0 ? list->GetDisplayText(record, index) : String();
}

Integer TcxCustomDBLookupEditProperties::Locate(Integer AListIndex, const String& AText, bool APartial) {
  TcxDBDataController* list = GetListDBDataController();
  if (!FGridMode || !list) return TcxCustomLookupEditProperties::Locate(AListIndex, AText, APartial);
  TcxListLocateScope locate(this);
  TDataSet* dataSet = list->GetDataSet();
  const String fieldName = GetListColumnFieldName(AListIndex);
  if (!dataSet || !dataSet->Active() || fieldName.empty()) return -1;
  TLocateOptions options{loCaseInsensitive};
  if (APartial) options.insert(loPartialKey);
  try {
    if (!dataSet->Locate(fieldName, Variant(AText), options)) return -1;
  } catch (const EVariantError&) {
    return -1;
  } catch (const EDatabaseError&) {
    return -1;
  }
  return list->GetRecordIndexByDataSetCurrent();
}

// ---------------------------------------------------------------------------
// TcxCustomDBLookupEditLookupData

void TcxCustomDBLookupEditLookupData::SetCurrentKeyByRecord(Integer ARecordIndex) {
  TcxDBDataController* list = DBProperties()->GetListDBDataController();
  SetCurrentKey(ARecordIndex < 0 || !list ? Null() : list->GetKeyValue(ARecordIndex));
}

void TcxCustomDBLookupEditLookupData::SyncListToKey() {
  TcxDBDataController* list = DBProperties()->GetListDBDataController();
  if (!list) return;
  TcxListLocateScope locate(DBProperties());
  bool found = false;
  try {
    found = !VarIsNull(CurrentKey()) && list->LocateByKey(CurrentKey());
  } catch (const EVariantError&) {
  } catch (const EDatabaseError&) {
  }
  // No row stands for a key that is not in the list: nothing is chosen.
  if (!found) list->FocusRow(-1);
}

// ---------------------------------------------------------------------------
// TcxCustomDBLookupEdit

bool TcxCustomDBLookupEdit::IsCharAccepted(Char AChar) {
  auto* p = static_cast<TcxCustomDBLookupEditProperties*>(ActiveLookupProperties());
  TField* field = p->GetListField();
  return (!field || field->IsValidChar(AChar)) && TcxCustomLookupEdit::IsCharAccepted(AChar);
}

std::unique_ptr<TcxCustomLookupEditLookupData> TcxCustomDBLookupEdit::CreateLookupData() {
  return std::make_unique<TcxCustomDBLookupEditLookupData>(this);
}
