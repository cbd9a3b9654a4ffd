#pragma once
// The default editor registry: which repository item edits a value of a
// given kind.
//
// A key (a class reference such as a value-type class, or a field-type
// code, stored pointer-sized) and a sub-key map to a repository item; keys
// that nothing was registered for get the default item. Both lists stay
// sorted in descending order of key, then of sub-key, and are searched by
// a binary search that compares by three-way comparison (keys are
// addresses: a difference of two could overflow).
//
// The registry listens to every item it holds an entry for, so an item that
// is destroyed elsewhere drops all its entries; it stops listening whenever
// an entry goes.
#include <vector>

#include "editors/cxEditRepository.h"
#include "foundation/cxClasses.h"
#include "platform/rtl/types.h"

// A key: a class reference or a type code, pointer-sized.
using TcxEditRegisteredKey = std::intptr_t;

// The key a class reference registers under.
inline TcxEditRegisteredKey cxEditRegisteredKeyOf(const void* AClass) {
  return reinterpret_cast<TcxEditRegisteredKey>(AClass);
}

// A searched sub-key that matches every sub-key of the key (GetItem).
inline constexpr Integer cxEditAnySubKey = 2147483647;

struct TcxEditRegisteredEntry {
  TcxEditRegisteredKey Key = 0;
  Integer SubKey = 0;
  TcxEditRepositoryItem* Item = nullptr;
};
using TcxEditRegisteredEntries = std::vector<TcxEditRegisteredEntry>;

class TcxEditRegisteredRepositoryItems : public TcxInterfacedPersistent, public IcxEditRepositoryItemListener {
  KORVANE_CLASS(TcxEditRegisteredRepositoryItems, TcxInterfacedPersistent)
  explicit TcxEditRegisteredRepositoryItems(TPersistent* AOwner = nullptr);
  // Stops listening to every item it holds.
  ~TcxEditRegisteredRepositoryItems() override;

  // Every entry of AItem goes from both lists.
  virtual void UnregisterRepositoryItem(TcxEditRepositoryItem* AItem);
  // An item's properties changed: Changed.
  virtual void ItemPropertiesChanged(TcxEditRepositoryItem* AItem);
  // The item of the default entry with the highest sub-key; nullptr when none.
  virtual TcxEditRepositoryItem* GetDefaultItem() const;
  // The item registered for AKey under any sub-key, else the default item.
  // Key 0 always answers the default item.
  virtual TcxEditRepositoryItem* GetItem(TcxEditRegisteredKey AKey) const;
  // Answer the index of the entry; a pair already present keeps its first
  // item. A nullptr item is not registered (answers -1).
  virtual Integer RegisterDefaultItem(Integer ASubKey, TcxEditRepositoryItem* AItem);
  virtual Integer RegisterItem(TcxEditRegisteredKey AKey, Integer ASubKey, TcxEditRepositoryItem* AItem);
  // Nothing when the pair is absent.
  virtual void UnregisterDefaultItem(Integer ASubKey);
  virtual void UnregisterItem(TcxEditRegisteredKey AKey, Integer ASubKey);
  // Removes every entry, the default entries first.
  void Clear();

  const TcxEditRegisteredEntries& DefaultItems() const { return FDefaultItems; }
  const TcxEditRegisteredEntries& Items() const { return FItems; }

  // ---- IcxEditRepositoryItemListener ----
  void ItemRemoved(TcxEditRepositoryItem* Sender) override { UnregisterRepositoryItem(Sender); }
  void PropertiesChanged(TcxEditRepositoryItem* Sender) override { ItemPropertiesChanged(Sender); }

protected:
  // Adds {AKey, ASubKey, AItem} at its place unless the pair is present;
  // answers its index.
  virtual Integer AddEntry(TcxEditRegisteredEntries& AList, TcxEditRegisteredKey AKey, TcxEditRepositoryItem* AItem,
                           Integer ASubKey);
  // A hook told after every change of the entries and of an item's properties.
  virtual void Changed() {}
  // Binary search for the pair (ASubKey cxEditAnySubKey: any sub-key of
  // AKey); AIndex is the match or the place that keeps the order.
  static bool Find(const TcxEditRegisteredEntries& AList, TcxEditRegisteredKey AKey, Integer ASubKey,
                   Integer& AIndex);
  // Deletes the entry; the registry stops listening to its item once no
  // entry of any list holds the item (HoldsItem); then Changed.
  void RemoveEntry(TcxEditRegisteredEntries& AList, Integer AIndex);
  // Removes every entry of AItem from AList, walked from its end.
  void RemoveEntriesOf(TcxEditRegisteredEntries& AList, TcxEditRepositoryItem* AItem);
  // Whether an entry of any list names AItem (descendants with lists of
  // their own add them).
  virtual bool HoldsItem(const TcxEditRepositoryItem* AItem) const;
  // A descendant that empties lists of its own in its destructor calls it
  // first: no Changed from a registry being destroyed.
  void SetDestroyingRegistry() { FIsDestroying = true; }

private:

  TcxEditRegisteredEntries FDefaultItems;
  TcxEditRegisteredEntries FItems;
  bool FIsDestroying = false;
};
