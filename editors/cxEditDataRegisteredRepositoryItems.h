#pragma once
// The default editors of unbound values: which repository item edits a
// value of a data controller value type (a tree list column that names only
// its value type asks here).
//
// Every registration uses the sub-key -1. The registry refers to its items
// and never owns them; an item that is destroyed leaves it.
#include "data/cxDataStorage.h"
#include "editors/cxEditRegisteredRepositoryItems.h"

class TcxEditDataRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
  KORVANE_CLASS(TcxEditDataRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
  using TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems;

  // The item registered for the class; nullptr or an unregistered class:
  // the default item.
  TcxEditRepositoryItem* GetItemByValueType(TcxValueTypeClass AValueTypeClass) const;
  void RegisterItemByValueType(TcxValueTypeClass AValueTypeClass, Integer ASubKey, TcxEditRepositoryItem* AItem);
  void UnregisterItemByValueType(TcxValueTypeClass AValueTypeClass, Integer ASubKey);
};

// The global registry, created without owner on first request;
// cxEditDataRegisteredRepositoryItemsFinalize frees it.
TcxEditDataRegisteredRepositoryItems* GetEditDataRegisteredRepositoryItems();
void cxEditDataRegisteredRepositoryItemsFinalize();
