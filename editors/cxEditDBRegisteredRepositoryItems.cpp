#include "editors/cxEditDBRegisteredRepositoryItems.h"

#include <algorithm>

#include "editors/cxDBEdit.h"

namespace {

TcxEditDBRegisteredRepositoryItems*& RegistrySlot() {
  static TcxEditDBRegisteredRepositoryItems* s = nullptr;
  return s;
}

}  // namespace

TcxEditDBRegisteredRepositoryItems::~TcxEditDBRegisteredRepositoryItems() {
  SetDestroyingRegistry();
  Clear();
  for (TcxEditRegisteredEntries* list : {&FLookupItems, &FCurrencyItems})
    while (!list->empty()) RemoveEntry(*list, static_cast<Integer>(list->size()) - 1);
}

bool TcxEditDBRegisteredRepositoryItems::IsCurrencyField(TField* AField) {
  return dynamic_cast<TNumericField*>(AField) && FieldCurrency(AField);
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetItemByField(TField* AField) const {
  if (!AField) return GetDefaultItem();
  if (AField->Lookup()) return GetLookupItem();
  if (IsCurrencyField(AField)) return GetCurrencyItem();
  return GetItemByFieldType(AField->DataType());
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetItemByFieldType(TFieldType AFieldType) const {
  return GetItem(cxEditFieldTypeKey(AFieldType));
}

void TcxEditDBRegisteredRepositoryItems::RegisterItemByFieldType(TFieldType AFieldType, Integer ASubKey,
                                                                 TcxEditRepositoryItem* AItem) {
  RegisterItem(cxEditFieldTypeKey(AFieldType), ASubKey, AItem);
}

void TcxEditDBRegisteredRepositoryItems::UnregisterItemByFieldType(TFieldType AFieldType, Integer ASubKey) {
  UnregisterItem(cxEditFieldTypeKey(AFieldType), ASubKey);
}

void TcxEditDBRegisteredRepositoryItems::RegisterCurrencyItem(Integer ASubKey, TcxEditRepositoryItem* AItem) {
  AddEntry(FCurrencyItems, 0, AItem, ASubKey);
}

void TcxEditDBRegisteredRepositoryItems::RegisterLookupItem(Integer ASubKey, TcxEditRepositoryItem* AItem) {
  AddEntry(FLookupItems, 0, AItem, ASubKey);
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::FirstOrDefault(const TcxEditRegisteredEntries& AList) const {
  return AList.empty() ? GetDefaultItem() : AList.front().Item;
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetCurrencyItem() const {
  return FirstOrDefault(FCurrencyItems);
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetLookupItem() const {
  return FirstOrDefault(FLookupItems);
}

void TcxEditDBRegisteredRepositoryItems::UnregisterRepositoryItem(TcxEditRepositoryItem* AItem) {
  TcxEditRegisteredRepositoryItems::UnregisterRepositoryItem(AItem);
  RemoveEntriesOf(FLookupItems, AItem);
  RemoveEntriesOf(FCurrencyItems, AItem);
}

bool TcxEditDBRegisteredRepositoryItems::HoldsItem(const TcxEditRepositoryItem* AItem) const {
  auto holds = [AItem](const TcxEditRegisteredEntry& E) { return E.Item == AItem; };
  return TcxEditRegisteredRepositoryItems::HoldsItem(AItem) ||
         std::any_of(FCurrencyItems.begin(), FCurrencyItems.end(), holds) ||
         std::any_of(FLookupItems.begin(), FLookupItems.end(), holds);
}

TcxEditDBRegisteredRepositoryItems* GetEditDBRegisteredRepositoryItems() {
  TcxEditDBRegisteredRepositoryItems*& slot = RegistrySlot();
  if (!slot) slot = new TcxEditDBRegisteredRepositoryItems(nullptr);
  return slot;
}

void cxEditDBRegisteredRepositoryItemsFinalize() { FreeAndNil(RegistrySlot()); }
