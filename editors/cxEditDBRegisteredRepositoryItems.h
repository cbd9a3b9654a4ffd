#pragma once
// The default editors of dataset fields: which repository item edits a
// field that no column chose an editor for.
//
// Items are registered by field type (the type's ordinal masked to seven
// bits), plus one list for currency fields and one for lookup fields (key
// 0 each). Every registration uses the sub-key -1. The registry refers to
// its items and never owns them; an item that is destroyed leaves every
// list, and the registry listens to an item exactly while a list holds it.
#include "editors/cxEditRegisteredRepositoryItems.h"
#include "platform/db/fields.h"

class TcxEditDBRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
  KORVANE_CLASS(TcxEditDBRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems)
  using TcxEditRegisteredRepositoryItems::TcxEditRegisteredRepositoryItems;
  // Empties every list (stops listening to every item).
  ~TcxEditDBRegisteredRepositoryItems() override;

  // First match: no field, the default item; a lookup field, the lookup
  // item; a numeric field shown as currency, the currency item; else the
  // item of its data type.
  TcxEditRepositoryItem* GetItemByField(TField* AField) const;
  // ftUnknown always answers the default item.
  TcxEditRepositoryItem* GetItemByFieldType(TFieldType AFieldType) const;
  void RegisterItemByFieldType(TFieldType AFieldType, Integer ASubKey, TcxEditRepositoryItem* AItem);
  void UnregisterItemByFieldType(TFieldType AFieldType, Integer ASubKey);
  // A pair already present keeps its first item.
  void RegisterCurrencyItem(Integer ASubKey, TcxEditRepositoryItem* AItem);
  void RegisterLookupItem(Integer ASubKey, TcxEditRepositoryItem* AItem);
  // The first entry's item; an empty list answers the default item.
  TcxEditRepositoryItem* GetCurrencyItem() const;
  TcxEditRepositoryItem* GetLookupItem() const;
  // A numeric field whose currency setting is on.
  static bool IsCurrencyField(TField* AField);

  // The base lists, then the lookup list, then the currency list.
  void UnregisterRepositoryItem(TcxEditRepositoryItem* AItem) override;

  const TcxEditRegisteredEntries& CurrencyItems() const { return FCurrencyItems; }
  const TcxEditRegisteredEntries& LookupItems() const { return FLookupItems; }

protected:
  bool HoldsItem(const TcxEditRepositoryItem* AItem) const override;

private:
  TcxEditRepositoryItem* FirstOrDefault(const TcxEditRegisteredEntries& AList) const;

  TcxEditRegisteredEntries FCurrencyItems;
  TcxEditRegisteredEntries FLookupItems;
};

// Seven bits hold every field type.
inline constexpr Integer cxEditFieldTypeKeyMask = 0x7F;
// The key of a field type: its ordinal masked to seven bits.
inline TcxEditRegisteredKey cxEditFieldTypeKey(TFieldType AFieldType) {
  return static_cast<Integer>(AFieldType) & cxEditFieldTypeKeyMask;
}

// The global registry, created without owner on first request;
// cxEditDBRegisteredRepositoryItemsFinalize frees it.
TcxEditDBRegisteredRepositoryItems* GetEditDBRegisteredRepositoryItems();
void cxEditDBRegisteredRepositoryItemsFinalize();
