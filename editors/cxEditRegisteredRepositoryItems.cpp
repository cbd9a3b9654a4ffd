#include "editors/cxEditRegisteredRepositoryItems.h"

#include <algorithm>
#include <compare>

namespace {

// Descending order: a pair that sorts before the entry answers "greater".
std::strong_ordering ComparePair(TcxEditRegisteredKey AKey, Integer ASubKey, const TcxEditRegisteredEntry& AEntry) {
  std::strong_ordering order = AKey <=> AEntry.Key;
  if (order == 0 && ASubKey != cxEditAnySubKey) order = ASubKey <=> AEntry.SubKey;
  return order;
}

}  // namespace

TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems(TPersistent* AOwner)
    : TcxInterfacedPersistent(AOwner) {}

TcxEditRegisteredRepositoryItems::~TcxEditRegisteredRepositoryItems() {
  FIsDestroying = true;
  Clear();
}

bool TcxEditRegisteredRepositoryItems::Find(const TcxEditRegisteredEntries& AList, TcxEditRegisteredKey AKey,
                                            Integer ASubKey, Integer& AIndex) {
  Integer low = 0;
  Integer high = static_cast<Integer>(AList.size()) - 1;
  while (low <= high) {
    const Integer mid = low + (high - low) / 2;
    const std::strong_ordering order = ComparePair(AKey, ASubKey, AList[static_cast<size_t>(mid)]);
    if (order == 0) {
      AIndex = mid;
      return true;
    }
    if (order < 0)
      low = mid + 1;
    else
      high = mid - 1;
  }
  AIndex = low;
  return false;
}

Integer TcxEditRegisteredRepositoryItems::AddEntry(TcxEditRegisteredEntries& AList, TcxEditRegisteredKey AKey,
                                                   TcxEditRepositoryItem* AItem, Integer ASubKey) {
  if (!AItem) return -1;
  Integer index = 0;
  if (Find(AList, AKey, ASubKey, index)) return index;
  AList.insert(AList.begin() + index, TcxEditRegisteredEntry{AKey, ASubKey, AItem});
  AItem->AddListener(this);
  Changed();
  return index;
}

void TcxEditRegisteredRepositoryItems::RemoveEntry(TcxEditRegisteredEntries& AList, Integer AIndex) {
  TcxEditRepositoryItem* item = AList[static_cast<size_t>(AIndex)].Item;
  AList.erase(AList.begin() + AIndex);
  // Another entry of the item keeps the registry listening, so that it
  // still hears of the item's destruction.
  if (!HoldsItem(item)) item->RemoveListener(this);
  if (!FIsDestroying) Changed();
}

void TcxEditRegisteredRepositoryItems::RemoveEntriesOf(TcxEditRegisteredEntries& AList, TcxEditRepositoryItem* AItem) {
  for (Integer i = static_cast<Integer>(AList.size()) - 1; i >= 0; --i)
    if (AList[static_cast<size_t>(i)].Item == AItem) RemoveEntry(AList, i);
}

bool TcxEditRegisteredRepositoryItems::HoldsItem(const TcxEditRepositoryItem* AItem) const {
  auto holds = [AItem](const TcxEditRegisteredEntry& E) { return E.Item == AItem; };
  return std::any_of(FDefaultItems.begin(), FDefaultItems.end(), holds) ||
         std::any_of(FItems.begin(), FItems.end(), holds);
}

void TcxEditRegisteredRepositoryItems::UnregisterRepositoryItem(TcxEditRepositoryItem* AItem) {
  RemoveEntriesOf(FDefaultItems, AItem);
  RemoveEntriesOf(FItems, AItem);
}

void TcxEditRegisteredRepositoryItems::ItemPropertiesChanged(TcxEditRepositoryItem*) { Changed(); }

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetDefaultItem() const {
  return FDefaultItems.empty() ? nullptr : FDefaultItems.front().Item;
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetItem(TcxEditRegisteredKey AKey) const {
  Integer index = 0;
  if (AKey != 0 && Find(FItems, AKey, cxEditAnySubKey, index)) return FItems[static_cast<size_t>(index)].Item;
  return GetDefaultItem();
}

Integer TcxEditRegisteredRepositoryItems::RegisterDefaultItem(Integer ASubKey, TcxEditRepositoryItem* AItem) {
  return AddEntry(FDefaultItems, 0, AItem, ASubKey);
}

Integer TcxEditRegisteredRepositoryItems::RegisterItem(TcxEditRegisteredKey AKey, Integer ASubKey,
                                                       TcxEditRepositoryItem* AItem) {
  return AddEntry(FItems, AKey, AItem, ASubKey);
}

void TcxEditRegisteredRepositoryItems::UnregisterDefaultItem(Integer ASubKey) {
  Integer index = 0;
  if (Find(FDefaultItems, 0, ASubKey, index)) RemoveEntry(FDefaultItems, index);
}

void TcxEditRegisteredRepositoryItems::UnregisterItem(TcxEditRegisteredKey AKey, Integer ASubKey) {
  Integer index = 0;
  if (Find(FItems, AKey, ASubKey, index)) RemoveEntry(FItems, index);
}

void TcxEditRegisteredRepositoryItems::Clear() {
  for (TcxEditRegisteredEntries* list : {&FDefaultItems, &FItems})
    while (!list->empty()) RemoveEntry(*list, static_cast<Integer>(list->size()) - 1);
}
