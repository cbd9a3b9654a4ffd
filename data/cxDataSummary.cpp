#include "data/cxDataSummary.h"

#include <cstring>
#include <vector>

#include "data/cxCustomDataController.h"
#include "data/cxDataUtils.h"
#include "data/cxVariants.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/sysutils.h"

// ---- Items ------------------------------------------------------------------------------------

TcxCustomDataController* TcxCustomDataSummaryItem::GetDataController() const {
  auto* Items = dynamic_cast<TcxDataSummaryItems*>(Collection());
  return Items ? Items->Summary()->DataController() : nullptr;
}

void TcxCustomDataSummaryItem::SetField(TcxCustomDataField* AField) {
  if (AField == FField) return;
  TCollection* C = Collection();
  if (C) C->BeginUpdate();
  try {
    LinkChanging(AField);
    FField = AField;
  } catch (...) {
    if (C) C->EndUpdate();
    throw;
  }
  if (C) C->EndUpdate();
}

void TcxCustomDataSummaryItem::SetItemLink(TObject* AItemLink) {
  TcxCustomDataController* C = GetDataController();
  auto* Field = dynamic_cast<TcxCustomDataField*>(AItemLink);
  if (!Field && AItemLink && C) Field = C->Fields()->FindByItem(AItemLink);
  SetField(Field);
}

TObject* TcxCustomDataSummaryItem::ItemLink() const { return FField ? FField->Item() : nullptr; }

TcxDataSummaryItem::~TcxDataSummaryItem() {
  TcxDataSummaryItems* Items = dynamic_cast<TcxDataSummaryItems*>(Collection());
  TcxCustomDataController* C = Items && Items->Summary() ? Items->Summary()->DataController() : nullptr;
  if (C && !C->IsDestroying() && C->SortBySummaryItem() == this) C->SetSortBySummary(nullptr, soNone);
}

TcxDataSummaryItems* TcxDataSummaryItem::SummaryItems() const {
  // Summary items live only in summary item collections.
  return static_cast<TcxDataSummaryItems*>(Collection());
}

TcxSummaryPosition TcxDataSummaryItem::Position() const {
  TcxDataSummaryItems* Items = SummaryItems();
  return Items ? Items->GetItemPosition(this) : FPosition;
}

void TcxDataSummaryItem::SetFormat(const String& AValue) {
  if (AValue == FFormat) return;
  FFormat = AValue;
  Changed(false);
}

void TcxDataSummaryItem::SetKind(TcxSummaryKind AValue) {
  if (AValue == FKind) return;
  FKind = AValue;
  Changed(true);
}

void TcxDataSummaryItem::SetPosition(TcxSummaryPosition AValue) {
  if (AValue == FPosition) return;
  FPosition = AValue;
  Changed(false);
}

void TcxDataSummaryItem::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxDataSummaryItem*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  SetItemLink(Source->ItemLink());
  SetFormat(Source->FFormat);
  SetKind(Source->FKind);
  SetPosition(Source->FPosition);
  OnGetText = Source->OnGetText;
}

bool TcxDataSummaryItem::IsCalculable() const { return FField || (FKind == skCount && Position() == spGroup); }

// Non-numeric values (texts, Booleans, other kinds) are shown as text after
// the prefix of the kind; a number format is never applied to them.
static bool IsFormattableNumber(const Variant& AValue) { return IsNumericVariant(AValue) && !VarIsStr(AValue); }

String TcxDataSummaryItem::FormatValue(const Variant& AValue, bool AIsFooter) {
  String Result;
  if (VarIsNull(AValue) || VarIsEmpty(AValue)) {
    Result.clear();
  } else if (FKind == skNone) {
    Result = VarToStr(AValue);
  } else {
    TcxDataSummaryItems* Items = SummaryItems();
    const bool IsDate = IsDateTimeVariant(AValue) && FKind != skCount;
    const bool IsNumber = !IsDate && (FKind == skCount || IsFormattableNumber(AValue));
    String Format = FFormat;
    if (Format.empty() && Items) {
      const TVarType Type = IsNumber ? VarType(AValue) : varDate;
      Format = Items->DefaultFormatText(Type, FKind, AIsFooter);
    }
    try {
      if (IsNumber) {
        Result = FormatFloat(Format, AValue.AsDouble());
      } else if (IsDate) {
        const TDateTime D = VarToDateTime(AValue);
        const TDateTime Time = D - Integer(D);
        String Text = Time != 0 ? (Integer(D) != 0 ? DateTimeToStr(D) : TimeToStr(D)) : DateToStr(D);
        Result = Format + Text;
      } else {
        // Text kept after the prefix the kind shows for dates ("MIN=").
        const String Prefix = FFormat.empty() && Items ? Format : String();
        Result = Prefix + VarToStr(AValue);
      }
    } catch (const Exception&) {
      Result = VarToStr(AValue);
    }
  }
  OnGetText(this, AValue, AIsFooter, Result);
  return Result;
}

// ---- Item collections ---------------------------------------------------------------------------

TcxDataSummaryItems::TcxDataSummaryItems(TcxDataSummary* ASummary, TCollectionItemClass AItemClass)
    : TCollection(AItemClass), FSummary(ASummary) {}

TcxDataSummaryItem* TcxDataSummaryItems::Add(TObject* AItemLink, TcxSummaryPosition APosition, TcxSummaryKind AKind,
                                             const String& AFormat) {
  BeginUpdate();
  TcxDataSummaryItem* Item = Add();
  Item->SetItemLink(AItemLink);
  Item->SetPosition(APosition);
  Item->SetKind(AKind);
  Item->SetFormat(AFormat);
  EndUpdate();
  return Item;
}

TcxSummaryPosition TcxDataSummaryItems::GetItemPosition(const TcxDataSummaryItem* AItem) const {
  return AItem->StoredPosition();
}

void TcxDataSummaryItems::Update(TCollectionItem* AItem) {
  // One item changed: only its look (layout); the collection: recalculate.
  if (FSummary) FSummary->SummaryChanged(AItem != nullptr);
}

String TcxDataSummaryItems::DefaultFormatText(TVarType AVarType, TcxSummaryKind AKind, bool AIsFooter) const {
  const bool Currency = AVarType == varCurrency;
  const bool Date = AVarType == varDate;
  String Text;
  switch (AKind) {
    case skNone:
      return String();
    case skCount:
      return AIsFooter ? String(u"0") : String(u"COUNT=0");
    case skSum:
      if (Currency) return AIsFooter ? String(u"%s;-%s") : String(u"SUM=%s;SUM=-%s");
      if (Date) return AIsFooter ? String() : String(u"SUM=");
      return AIsFooter ? String(u"0.00;-0.00") : String(u"SUM=0.00;SUM=-0.00");
    case skMin:
      Text = u"MIN";
      break;
    case skMax:
      Text = u"MAX";
      break;
    case skAverage:
      Text = u"AVG";
      break;
  }
  if (Currency) {
    const String F = GetCurrencyDisplayFormat();
    return Text + u"=" + F + u";" + Text + u"=-" + F;
  }
  if (Date) return Text + u"=";
  return Text + u"=0.00;" + Text + u"=-0.00";
}

Integer TcxDataSummaryItems::IndexOfItemLink(TObject* AItemLink) const {
  for (Integer I = 0; I < Count(); ++I)
    if (Items(I)->ItemLink() == AItemLink || Items(I)->Field() == AItemLink) return I;
  return -1;
}

Integer TcxDataSummaryItems::IndexOfItem(const TcxDataSummaryItem* AItem) const {
  for (Integer I = 0; I < Count(); ++I)
    if (Items(I) == AItem) return I;
  return -1;
}

TcxDataSummaryItem* TcxDataSummaryItems::ItemOfField(TcxCustomDataField* AField) const {
  for (Integer I = 0; I < Count(); ++I)
    if (Items(I)->Field() == AField) return Items(I);
  return nullptr;
}

TcxDataSummaryItem* TcxDataSummaryItems::FindItemForPosition(Integer AItemIndex, TcxSummaryPosition APosition) const {
  TcxCustomDataController* C = FSummary->DataController();
  C->CheckItemRange(AItemIndex);
  TcxCustomDataField* Field = C->GetItemField(AItemIndex);
  for (Integer I = 0; I < Count(); ++I)
    if (Items(I)->Field() == Field && Items(I)->Position() == APosition) return Items(I);
  return nullptr;
}

bool TcxDataSummaryItems::AcceptsRecord(const TcxSummaryOptions& AOptions, bool AIsNull, bool ANotSelected) const {
  if (AOptions.count(soNullIgnore) && AIsNull) return false;
  if (AOptions.count(soSelectedRecords) && ANotSelected) return false;
  return true;
}

String TcxDataGroupSummaryItems::GetGroupText(const Variant& AValues) {
  String Result;
  if (!VarIsArray(AValues)) return Result;
  const Integer Low = VarArrayLowBound(AValues), High = VarArrayHighBound(AValues);
  for (Integer I = 0; I < Count(); ++I) {
    TcxDataSummaryItem* Item = Items(I);
    if (Item->Position() != spGroup || Low + I > High) continue;
    const String Text = Item->FormatValue(VarArrayGet(AValues, {Low + I}), false);
    if (Text.empty()) continue;
    Result = Result.empty() ? Text : Result + FSeparator + u" " + Text;
  }
  if (!Result.empty()) Result = FBeginText + Result + FEndText;
  return Result;
}

void TcxDataGroupSummaryItems::TextChanged() {
  if (Count() > 0) Summary()->SummaryChanged(true);
}

void TcxDataGroupSummaryItems::SetBeginText(const String& AValue) {
  if (AValue != FBeginText) FBeginText = AValue, TextChanged();
}
void TcxDataGroupSummaryItems::SetEndText(const String& AValue) {
  if (AValue != FEndText) FEndText = AValue, TextChanged();
}
void TcxDataGroupSummaryItems::SetSeparator(const String& AValue) {
  if (AValue != FSeparator) FSeparator = AValue, TextChanged();
}

// ---- Summary groups -------------------------------------------------------------------------------

TcxCustomDataController* TcxDataSummaryGroupItemLink::GetDataController() const {
  auto* Links = dynamic_cast<TcxDataSummaryGroupItemLinks*>(Collection());
  return Links ? Links->SummaryGroup()->Summary()->DataController() : nullptr;
}

void TcxDataSummaryGroupItemLink::LinkChanging(TcxCustomDataField* AField) {
  // A grouping item belongs to at most one summary group.
  auto* Links = dynamic_cast<TcxDataSummaryGroupItemLinks*>(Collection());
  if (!Links || !AField) return;
  TcxDataSummaryGroups* Groups = Links->SummaryGroup()->Summary()->SummaryGroups();
  for (Integer G = 0; G < Groups->Count(); ++G) {
    TcxDataSummaryGroupItemLinks* L = Groups->Items(G)->Links();
    for (Integer I = 0; I < L->Count(); ++I)
      if (L->Items(I) != this && L->Items(I)->Field() == AField) L->Items(I)->FField = nullptr;
  }
}

void TcxDataSummaryGroupItemLinks::Update(TCollectionItem*) { FGroup->Summary()->SummaryChanged(false); }

TcxDataSummaryGroup::TcxDataSummaryGroup(TCollection* ACollection) : TCollectionItem(ACollection) {
  FLinks = new TcxDataSummaryGroupItemLinks(this, TcxDataSummaryGroupItemLink::StaticClass());
  FSummaryItems = new TcxDataGroupSummaryItems(Summary(), TcxDataSummaryItem::StaticClass());
}

TcxDataSummaryGroup::~TcxDataSummaryGroup() {
  delete FSummaryItems;
  delete FLinks;
}

TcxDataSummary* TcxDataSummaryGroup::Summary() const {
  return static_cast<TcxDataSummaryGroups*>(Collection())->Summary();
}

TcxDataSummaryGroup* TcxDataSummaryGroups::FindByItemLink(TObject* AItemLink) const {
  for (Integer G = 0; G < Count(); ++G) {
    TcxDataSummaryGroupItemLinks* L = Items(G)->Links();
    for (Integer I = 0; I < L->Count(); ++I)
      if (L->Items(I)->ItemLink() == AItemLink || L->Items(I)->Field() == AItemLink) return Items(G);
  }
  return nullptr;
}

void TcxDataSummaryGroups::Update(TCollectionItem*) { FSummary->SummaryChanged(false); }

// ---- Summary ---------------------------------------------------------------------------------------


TcxDataSummary::TcxDataSummary(TcxCustomDataController* ADataController) : FDataController(ADataController) {
  FDefaultGroupSummaryItems = new TcxDataGroupSummaryItems(this, TcxDataSummaryItem::StaticClass());
  FFooterSummaryItems = new TcxDataFooterSummaryItems(this, TcxDataSummaryItem::StaticClass());
  FSummaryGroups = new TcxDataSummaryGroups(this);
  FFooterSummaryValues = Null();
}

TcxDataSummary::~TcxDataSummary() {
  FDestroying = true;
  delete FDefaultGroupSummaryItems;
  delete FFooterSummaryItems;
  delete FSummaryGroups;
}

void TcxDataSummary::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxDataSummary*>(ASource);
  if (!Source) {
    inherited::Assign(ASource);
    return;
  }
  BeginUpdate();
  try {
    FDefaultGroupSummaryItems->Assign(Source->FDefaultGroupSummaryItems);
    FFooterSummaryItems->Assign(Source->FFooterSummaryItems);
    FSummaryGroups->Assign(Source->FSummaryGroups);
    FOptions = Source->FOptions;
    OnAfterSummary = Source->OnAfterSummary;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxDataSummary::SetOptions(const TcxSummaryOptions& AValue) {
  if (AValue == FOptions) return;
  FOptions = AValue;
  SummaryChanged(false);
}

void TcxDataSummary::BeginUpdate() {
  FDataController->BeginUpdate();
  ++FLockCount;
}

void TcxDataSummary::EndUpdate() {
  --FLockCount;
  SummaryChanged(false);
  FDataController->EndUpdate();
}

void TcxDataSummary::CancelUpdate() {
  FDataController->EndUpdate();
  --FLockCount;
}

void TcxDataSummary::SummaryChanged(bool AFieldsChanged) {
  if (FInAfterSummary || FLockCount > 0 || FDestroying) return;
  FDataController->RequestSummaryRecalculation(AFieldsChanged);
}

void TcxDataSummary::FieldRemoved(TcxCustomDataField* AField) {
  bool Changed = false;
  auto Unlink = [&](TcxDataSummaryItems* AItems) {
    for (Integer I = 0; I < AItems->Count(); ++I)
      if (AItems->Items(I)->Field() == AField) {
        AItems->Items(I)->SetField(nullptr);
        Changed = true;
      }
  };
  ++FLockCount;
  Unlink(FFooterSummaryItems);
  Unlink(FDefaultGroupSummaryItems);
  for (Integer G = 0; G < FSummaryGroups->Count(); ++G) {
    Unlink(FSummaryGroups->Items(G)->SummaryItems());
    TcxDataSummaryGroupItemLinks* L = FSummaryGroups->Items(G)->Links();
    for (Integer I = 0; I < L->Count(); ++I)
      if (L->Items(I)->Field() == AField) {
        L->Items(I)->SetField(nullptr);
        Changed = true;
      }
  }
  --FLockCount;
  if (Changed) SummaryChanged(false);
}

TcxDataGroupSummaryItems* TcxDataSummary::GetGroupSummaryItems(Integer ALevel) const {
  TcxCustomDataControllerInfo* Info = FDataController->DataControllerInfo();
  if (ALevel < 0 || ALevel >= Info->LevelCount()) return nullptr;
  TcxCustomDataField* Field = Info->GroupingFields()->Items(ALevel).Field;
  if (TcxDataSummaryGroup* G = FSummaryGroups->FindByItemLink(Field)) return G->SummaryItems();
  return FDefaultGroupSummaryItems;
}

Variant TcxDataSummary::FooterSummaryValues(Integer AIndex) const {
  if (!VarIsArray(FFooterSummaryValues) || AIndex < VarArrayLowBound(FFooterSummaryValues) ||
      AIndex > VarArrayHighBound(FFooterSummaryValues))
    return Null();
  return VarArrayGet(FFooterSummaryValues, {AIndex});
}

String TcxDataSummary::FooterSummaryTexts(Integer AIndex) {
  if (AIndex < 0 || AIndex >= FFooterSummaryItems->Count()) return String();
  return FFooterSummaryItems->Items(AIndex)->FormatValue(FooterSummaryValues(AIndex), true);
}

Variant TcxDataSummary::GroupSummaryValues(Integer AGroupIndex) const {
  TcxCustomDataControllerInfo* Info = FDataController->DataControllerInfo();
  if (AGroupIndex < 0 || AGroupIndex >= Info->DataGroups()->Count()) return Null();
  return Info->DataGroups()->SummaryValuesOf(Info->DataGroups()->Items(AGroupIndex));
}

String TcxDataSummary::GroupSummaryText(Integer AGroupIndex) {
  TcxCustomDataControllerInfo* Info = FDataController->DataControllerInfo();
  if (AGroupIndex < 0 || AGroupIndex >= Info->DataGroups()->Count()) return String();
  const TcxDataGroupInfo* Group = Info->DataGroups()->Items(AGroupIndex);
  TcxDataGroupSummaryItems* Items = GetGroupSummaryItems(Group->Level);
  return Items ? Items->GetGroupText(Info->DataGroups()->SummaryValuesOf(Group)) : String();
}

// ---- Calculation ---------------------------------------------------------------------------------

void TcxDataSummary::Calculate() {
  FNullIgnore = FOptions.count(soNullIgnore) != 0;
  FSelectedOnly = FOptions.count(soSelectedRecords) != 0;
  CalculateFooterSummary();
  CalculateGroupSummaries();
  FireAfterSummary();
}

void TcxDataSummary::PrepareValueArrays(TcxDataSummaryItems* AItems, TcxDataSummaryCountValues& ACounts,
                                        TcxDataSummaryValues& AValues) {
  const size_t N = AItems ? size_t(AItems->Count()) : 0;
  ACounts.assign(N, 0);
  AValues.assign(N, Unassigned());
}

Integer TcxDataSummary::RecordIndexOfPosition(Integer APosition) {
  const Integer Record = FDataController->GetFilteredRecordIndex(APosition);
  if (!FSelectedOnly) return Record;
  if (FDataController->IsFocusedRowOnlySelection())
    return Record == FDataController->GetFocusedRecordIndex() && FDataController->GetSelectedCount() > 0 ? Record : -1;
  return FDataController->DataControllerInfo()->IsRecordSelected(Record) ? Record : -1;
}

void TcxDataSummary::AccumulateRecords(TcxDataSummaryItems* AItems, Integer AFirstPosition,
                                       TcxDataSummaryValues& AValues, TcxDataSummaryCountValues& ACounts,
                                       Integer ALastPosition) {
  const Integer Count = AItems->Count();
  if (Count == 0) return;
  std::vector<TcxDataSummaryItem*> Items;
  for (Integer I = 0; I < Count; ++I) Items.push_back(AItems->Items(I)->IsCalculable() ? AItems->Items(I) : nullptr);
  for (Integer P = AFirstPosition; P <= ALastPosition; ++P) {
    const Integer Record = RecordIndexOfPosition(P);
    if (Record == -1) continue;
    for (Integer I = 0; I < Count; ++I)
      if (Items[size_t(I)]) AccumulateValue(Items[size_t(I)], Record, ACounts[size_t(I)], AValues[size_t(I)]);
  }
}

void TcxDataSummary::AccumulateValue(TcxDataSummaryItem* AItem, Integer ARecordIndex, Integer& ACount,
                                     Variant& AValue) {
  if (!AItem->IsCalculable()) return;
  TcxCustomDataField* Field = AItem->SourceField();
  Variant Source = Field ? FDataController->GetRecordValue(ARecordIndex, Field) : Null();
  bool Done = false;
  TcxDataSummaryItems* Items = AItem->SummaryItems();
  if (Items && Items->OnSummary) {
    TcxSummaryEventArguments Args{ARecordIndex, AItem};
    TcxSummaryEventOutArguments Out{Source, AValue, ACount, false};
    Items->OnSummary(Items, Args, Out);
    Source = Out.Value;
    AValue = Out.SummaryValue;
    ACount = Out.CountValue;
    Done = Out.Done;
  }
  const TcxSummaryKind Kind = AItem->Kind();
  const bool SourceNull = VarIsNull(Source);
  if (Done || Kind == skNone || (FNullIgnore && SourceNull)) return;
  if (VarIsEmpty(AValue)) {
    if (Kind != skCount && !(SourceNull && (Kind == skMin || Kind == skMax))) {
      AValue = Source;
      // An average counts Nulls as 0: the running sum starts at 0.
      if (VarIsNull(AValue) && (Kind == skSum || Kind == skAverage)) AValue = Variant(Integer(0));
    }
  } else if (!VarIsNull(AValue) && !SourceNull) {
    // Values that cannot be added or compared (texts among numbers) leave
    // the running value as it was.
    try {
      switch (Kind) {
        case skSum:
        case skAverage:
          AValue = AValue + Source;
          break;
        case skMin:
          if (CompareVariantValues(Source, AValue) < 0) AValue = Source;
          break;
        case skMax:
          if (CompareVariantValues(Source, AValue) > 0) AValue = Source;
          break;
        default:
          break;
      }
    } catch (const Exception&) {
    }
  }
  ++ACount;
}

Variant TcxDataSummary::FinishValue(TcxDataSummaryItem* AItem, const Variant& AValue, Integer ACount) {
  if (AItem->Kind() == skCount) return Variant(ACount);
  if (VarIsEmpty(AValue)) return Null();
  if (AItem->Kind() == skAverage && ACount > 0 && !VarIsNull(AValue)) {
    try {
      Variant Result = AValue / Variant(ACount);
      if (IsDateTimeVariant(AValue)) Result = VarFromDateTime(Result.AsDouble());
      return Result;
    } catch (const Exception&) {
      return Null();
    }
  }
  return AValue;
}

Variant TcxDataSummary::FinishAllValues(TcxDataSummaryItems* AItems, const TcxDataSummaryCountValues& ACounts,
                                        const TcxDataSummaryValues& AValues) {
  if (!AItems || AItems->Count() == 0) return Null();
  std::vector<Variant> Result;
  for (Integer I = 0; I < AItems->Count(); ++I)
    Result.push_back(AItems->Items(I)->IsCalculable() ? FinishValue(AItems->Items(I), AValues[I], ACounts[I]) : Null());
  return VarArrayOf(Result);
}

void TcxDataSummary::CalculateFooterSummary() {
  TcxDataSummaryCountValues Counts;
  TcxDataSummaryValues Values;
  PrepareValueArrays(FFooterSummaryItems, Counts, Values);
  if (!FDataController->IsGridMode())
    AccumulateRecords(FFooterSummaryItems, 0, Values, Counts, FDataController->GetFilteredRecordCount() - 1);
  FFooterSummaryValues = FinishAllValues(FFooterSummaryItems, Counts, Values);
}

// A sum, average or count of a stored float column, with no summary handler
// and no record source in between, adds plain numbers: the column's value
// definition; nullptr for every other item.
TcxValueDef* TcxDataSummary::PlainNumberSource(TcxDataSummaryItem* AItem) const {
  if (!AItem || (AItem->Kind() != skSum && AItem->Kind() != skAverage && AItem->Kind() != skCount)) return nullptr;
  TcxCustomDataField* Field = AItem->SourceField();
  if (!Field || !Field->ValueDef() || FDataController->Provider()->CustomDataSource()) return nullptr;
  TcxValueDef* Def = Field->ValueDef();
  return Def->ValueTypeClass() == TcxFloatValueType::StaticClass() ? Def : nullptr;
}

// What AccumulateValue does for such an item, on a double: a Null first
// starts the sum at the integer 0, a number first starts it at the number.
void TcxDataSummary::AccumulatePlainNumber(TcxSummaryKind AKind, TcxValueDef* ADef, Integer ARecordIndex,
                                           TRunning& ASlot) const {
  bool IsNull = true;
  const void* Value = nullptr;
  FDataController->DataStorage()->LocateValue(ARecordIndex, ADef, IsNull, Value);
  IsNull = IsNull || !Value;
  if (FNullIgnore && IsNull) return;
  if (AKind != skCount) {
    if (!IsNull) {
      double Number;
      std::memcpy(&Number, Value, sizeof Number);
      ASlot.Number = ASlot.NumberState == TRunning::nsNone ? Number : ASlot.Number + Number;
      ASlot.NumberState = TRunning::nsNumber;
    } else if (ASlot.NumberState == TRunning::nsNone) {
      ASlot.NumberState = TRunning::nsNullZero;
    }
  }
  ++ASlot.Count;
}

void TcxDataSummary::CalculateGroupSummaries() {
  TcxCustomDataControllerInfo* Info = FDataController->DataControllerInfo();
  TcxDataGroups* Groups = Info->DataGroups();
  const Integer GroupCount = Groups->Count();
  std::vector<Variant>& Table = Groups->SummaryTable();
  Table.clear();
  if (GroupCount == 0) return;
  // Without a summary handler or a selection condition the order in which
  // a group's records are taken does not matter: the records are then read
  // in storage order, which reads the storage front to back.
  bool InStorageOrder = !FSelectedOnly;
  for (Integer L = 0; InStorageOrder && L < Info->LevelCount(); ++L)
    if (TcxDataGroupSummaryItems* Items = GetGroupSummaryItems(L)) InStorageOrder = !Items->OnSummary;
  std::vector<Integer> GroupOfRecord;
  std::vector<Integer> Parents;
  std::vector<Integer> Levels;
  if (InStorageOrder) {
    GroupOfRecord.assign(size_t(FDataController->GetRecordCount()), -1);
    Parents.assign(size_t(GroupCount), -1);
    Levels.assign(size_t(GroupCount), 0);
    std::vector<Integer> Open;
    const Integer Deepest = Info->LevelCount() - 1;
    for (Integer G = 0; G < GroupCount; ++G) {
      const TcxDataGroupInfo* Group = Groups->Items(G);
      Open.resize(size_t(Group->Level));
      Parents[size_t(G)] = Open.empty() ? -1 : Open.back();
      Levels[size_t(G)] = Group->Level;
      Open.push_back(G);
      if (Group->Level == Deepest)
        for (Integer P = Group->FirstIndex; P <= Group->LastIndex; ++P)
          GroupOfRecord[size_t(Info->GetRecordListItem(P))] = G;
    }
  }
  for (Integer L = 0; L < Info->LevelCount(); ++L) {
    TcxDataGroupSummaryItems* Items = GetGroupSummaryItems(L);
    const Integer ItemCount = Items ? Items->Count() : 0;
    if (!InStorageOrder || ItemCount == 0) {
      for (Integer G = 0; G < GroupCount; ++G) {
        TcxDataGroupInfo* Group = Groups->Items(G);
        if (Group->Level != L) continue;
        TcxDataSummaryCountValues Counts;
        TcxDataSummaryValues Values;
        PrepareValueArrays(Items, Counts, Values);
        if (ItemCount > 0) {
          Integer First, Last;
          Info->GroupPositions(G, First, Last);
          AccumulateRecords(Items, First, Values, Counts, Last);
        }
        Group->SummaryValues = FinishAllValues(Items, Counts, Values);
        Group->SummaryCount = 0;
      }
      continue;
    }
    std::vector<TcxDataSummaryItem*> Calculable;
    for (Integer I = 0; I < ItemCount; ++I)
      Calculable.push_back(Items->Items(I)->IsCalculable() ? Items->Items(I) : nullptr);
    std::vector<TcxValueDef*> Plain;
    for (TcxDataSummaryItem* Item : Calculable) Plain.push_back(PlainNumberSource(Item));
    const size_t SlotCount = size_t(GroupCount) * size_t(ItemCount);
    std::vector<TRunning> Running(SlotCount);
    // Running Variants only for the items that are not plain numbers.
    bool AllPlain = true;
    for (Integer I = 0; I < ItemCount; ++I) AllPlain = AllPlain && (Plain[size_t(I)] || !Calculable[size_t(I)]);
    std::vector<Variant> RunningValues(AllPlain ? 0 : SlotCount);
    const bool Deepest = L == Info->LevelCount() - 1;
    for (Integer R = 0; R < Integer(GroupOfRecord.size()); ++R) {
      Integer G = GroupOfRecord[size_t(R)];
      if (!Deepest)
        while (G != -1 && Levels[size_t(G)] > L) G = Parents[size_t(G)];
      if (G == -1) continue;
      const size_t First = size_t(G) * size_t(ItemCount);
      for (Integer I = 0; I < ItemCount; ++I) {
        if (Plain[size_t(I)])
          AccumulatePlainNumber(Calculable[size_t(I)]->Kind(), Plain[size_t(I)], R, Running[First + size_t(I)]);
        else if (Calculable[size_t(I)])
          AccumulateValue(Calculable[size_t(I)], R, Running[First + size_t(I)].Count, RunningValues[First + size_t(I)]);
      }
    }
    // The finished values go to the group list's table, not to an array per group.
    Table.reserve(Table.size() + SlotCount);
    for (Integer G = 0; G < GroupCount; ++G) {
      if (Levels[size_t(G)] != L) continue;
      TcxDataGroupInfo* Group = Groups->Items(G);
      Group->SummaryValues = Variant();
      Group->SummaryOffset = Integer(Table.size());
      Group->SummaryCount = ItemCount;
      const size_t First = size_t(G) * size_t(ItemCount);
      for (Integer I = 0; I < ItemCount; ++I) {
        const TRunning& Slot = Running[First + size_t(I)];
        if (!Calculable[size_t(I)])
          Table.push_back(Null());
        else if (Plain[size_t(I)])
          Table.push_back(FinishValue(Calculable[size_t(I)], PlainNumberValue(Slot), Slot.Count));
        else
          Table.push_back(FinishValue(Calculable[size_t(I)], RunningValues[First + size_t(I)], Slot.Count));
      }
    }
  }
}

// The running value AccumulateValue would have made: Unassigned before the
// first record, the integer 0 when a Null came first and no number after it.
Variant TcxDataSummary::PlainNumberValue(const TRunning& ASlot) {
  switch (ASlot.NumberState) {
    case TRunning::nsNullZero: return Variant(Integer(0));
    case TRunning::nsNumber: return Variant(ASlot.Number);
    case TRunning::nsNone: break;
  }
  return Unassigned();
}

void TcxDataSummary::FireAfterSummary() {
  if (!OnAfterSummary) return;
  if (FDataController->IsOwnerLoading()) {
    FAfterSummaryPending = true;
    return;
  }
  FAfterSummaryPending = false;
  FInAfterSummary = true;
  try {
    OnAfterSummary(this);
  } catch (...) {
    FInAfterSummary = false;
    throw;
  }
  FInAfterSummary = false;
}

void TcxDataSummary::FireAfterSummaryIfPending() {
  if (FAfterSummaryPending) FireAfterSummary();
}
