#include "editors/cxEditDataRegisteredRepositoryItems.h"

namespace {

TcxEditDataRegisteredRepositoryItems*& RegistrySlot() {
  static TcxEditDataRegisteredRepositoryItems* s = nullptr;
  return s;
}

}  // namespace

TcxEditRepositoryItem* TcxEditDataRegisteredRepositoryItems::GetItemByValueType(
    TcxValueTypeClass AValueTypeClass) const {
  return GetItem(cxEditRegisteredKeyOf(AValueTypeClass));
}

void TcxEditDataRegisteredRepositoryItems::RegisterItemByValueType(TcxValueTypeClass AValueTypeClass, Integer ASubKey,
                                                                   TcxEditRepositoryItem* AItem) {
  RegisterItem(cxEditRegisteredKeyOf(AValueTypeClass), ASubKey, AItem);
}

void TcxEditDataRegisteredRepositoryItems::UnregisterItemByValueType(TcxValueTypeClass AValueTypeClass,
                                                                     Integer ASubKey) {
  UnregisterItem(cxEditRegisteredKeyOf(AValueTypeClass), ASubKey);
}

TcxEditDataRegisteredRepositoryItems* GetEditDataRegisteredRepositoryItems() {
  TcxEditDataRegisteredRepositoryItems*& slot = RegistrySlot();
  if (!slot) slot = new TcxEditDataRegisteredRepositoryItems(nullptr);
  return slot;
}

void cxEditDataRegisteredRepositoryItemsFinalize() { FreeAndNil(RegistrySlot()); }
