#include "editors/cxEditRepositoryItems.h"

#include "editors/cxEditDBRegisteredRepositoryItems.h"
#include "editors/cxEditDataRegisteredRepositoryItems.h"

namespace {

// The sub-key of every default registration.
constexpr Integer DefaultSubKey = -1;

// Value types whose default is an item of their own; the rest get the
// default text item.
struct TValueTypeDefault {
  TcxValueTypeClass ValueType;
  TcxEditRepositoryItemClass ItemClass;
};

const std::vector<TValueTypeDefault>& ValueTypeDefaults() {
  static const std::vector<TValueTypeDefault> defaults = {
      {TcxBooleanValueType::StaticClass(), TcxEditRepositoryCheckBoxItem::StaticClass()},
      {TcxCurrencyValueType::StaticClass(), TcxEditRepositoryCurrencyItem::StaticClass()},
      {TcxDateTimeValueType::StaticClass(), TcxEditRepositoryDateItem::StaticClass()},
      {TcxFMTBcdValueType::StaticClass(), TcxEditRepositoryCurrencyItem::StaticClass()},
      {TcxSQLTimeStampValueType::StaticClass(), TcxEditRepositoryDateItem::StaticClass()},
  };
  return defaults;
}

bool& DataItemsRegistered() {
  static bool s = false;
  return s;
}

bool& DBItemsRegistered() {
  static bool s = false;
  return s;
}

bool& ItemClassesRegistered() {
  static bool s = false;
  return s;
}

TcxEditRepositoryItem* NewDefaultItem(TcxEditRepositoryItemClass AItemClass) {
  return GetDefaultEditRepository()->CreateItem(AItemClass);
}

// A lookup field's editor: a fixed list without grid lines or header.
TcxEditRepositoryItem* NewLookupItem() {
  TcxEditRepositoryItem* item = NewDefaultItem(TcxEditRepositoryLookupComboBoxItem::StaticClass());
  auto* properties = static_cast<TcxLookupComboBoxProperties*>(item->Properties());
  properties->ListOptions()->SetGridLines(glNone);
  properties->SetDropDownListStyle(lsEditFixedList);
  properties->ListOptions()->SetShowHeader(false);
  return item;
}

}  // namespace

const std::vector<TComponentClass>& cxEditRepositoryItemClasses() {
  static const std::vector<TComponentClass> classes = {
      TcxEditRepositoryItem::StaticClass(),
      TcxEditRepositoryTextItem::StaticClass(),
      TcxEditRepositoryButtonItem::StaticClass(),
      TcxEditRepositoryImageItem::StaticClass(),
      TcxEditRepositoryComboBoxItem::StaticClass(),
      TcxEditRepositoryMaskItem::StaticClass(),
      TcxEditRepositoryPopupItem::StaticClass(),
      TcxEditRepositoryCalcItem::StaticClass(),
      TcxEditRepositoryDateItem::StaticClass(),
      TcxEditRepositoryCurrencyItem::StaticClass(),
      TcxEditRepositorySpinItem::StaticClass(),
      TcxEditRepositoryMemoItem::StaticClass(),
      TcxEditRepositoryImageComboBoxItem::StaticClass(),
      TcxEditRepositoryBlobItem::StaticClass(),
      TcxEditRepositoryCheckBoxItem::StaticClass(),
      TcxEditRepositoryTimeItem::StaticClass(),
      TcxEditRepositoryMRUItem::StaticClass(),
      TcxEditRepositoryHyperLinkItem::StaticClass(),
      TcxEditRepositoryRadioGroupItem::StaticClass(),
      TcxEditRepositoryLookupComboBoxItem::StaticClass(),
  };
  return classes;
}

const std::vector<TcxFieldTypeDefault>& cxDBFieldTypeDefaults() {
  static const std::vector<TcxFieldTypeDefault> defaults = {
      {ftBoolean, TcxEditRepositoryCheckBoxItem::StaticClass()},
      {ftDate, TcxEditRepositoryDateItem::StaticClass()},
      {ftTime, TcxEditRepositoryTimeItem::StaticClass()},
      {ftDateTime, TcxEditRepositoryDateItem::StaticClass()},
      {ftBytes, TcxEditRepositoryBlobItem::StaticClass()},
      {ftVarBytes, TcxEditRepositoryBlobItem::StaticClass()},
      {ftBlob, TcxEditRepositoryBlobItem::StaticClass()},
      {ftMemo, TcxEditRepositoryMemoItem::StaticClass()},
      {ftGraphic, TcxEditRepositoryImageItem::StaticClass()},
      {ftFmtMemo, TcxEditRepositoryBlobItem::StaticClass()},
      {ftParadoxOle, TcxEditRepositoryBlobItem::StaticClass()},
      {ftDBaseOle, TcxEditRepositoryBlobItem::StaticClass()},
      {ftTypedBinary, TcxEditRepositoryBlobItem::StaticClass()},
      {ftTimeStamp, TcxEditRepositoryDateItem::StaticClass()},
  };
  return defaults;
}

void RegisterRepositoryItemClasses() {
  if (ItemClassesRegistered()) return;
  ItemClassesRegistered() = true;
  for (TComponentClass itemClass : cxEditRepositoryItemClasses()) RegisterClass(itemClass);
}

void UnregisterRepositoryItemClasses() {
  if (!ItemClassesRegistered()) return;
  ItemClassesRegistered() = false;
  for (TComponentClass itemClass : cxEditRepositoryItemClasses()) UnRegisterClass(itemClass);
}

void RegisterDataRepositoryItems() {
  if (DataItemsRegistered()) return;
  DataItemsRegistered() = true;
  TcxEditDataRegisteredRepositoryItems* registry = GetEditDataRegisteredRepositoryItems();
  registry->RegisterDefaultItem(DefaultSubKey, NewDefaultItem(TcxEditRepositoryTextItem::StaticClass()));
  for (const TValueTypeDefault& entry : ValueTypeDefaults())
    registry->RegisterItemByValueType(entry.ValueType, DefaultSubKey, NewDefaultItem(entry.ItemClass));
}

void UnregisterDataRepositoryItems() {
  if (!DataItemsRegistered()) return;
  DataItemsRegistered() = false;
  TcxEditDataRegisteredRepositoryItems* registry = GetEditDataRegisteredRepositoryItems();
  registry->UnregisterDefaultItem(DefaultSubKey);
  for (const TValueTypeDefault& entry : ValueTypeDefaults())
    registry->UnregisterItemByValueType(entry.ValueType, DefaultSubKey);
  cxEditDataRegisteredRepositoryItemsFinalize();
}

void RegisterDBRepositoryItems() {
  if (DBItemsRegistered()) return;
  DBItemsRegistered() = true;
  TcxEditDBRegisteredRepositoryItems* registry = GetEditDBRegisteredRepositoryItems();
  registry->RegisterDefaultItem(DefaultSubKey, NewDefaultItem(TcxEditRepositoryMaskItem::StaticClass()));
  registry->RegisterCurrencyItem(DefaultSubKey, NewDefaultItem(TcxEditRepositoryCurrencyItem::StaticClass()));
  registry->RegisterLookupItem(DefaultSubKey, NewLookupItem());
  for (const TcxFieldTypeDefault& entry : cxDBFieldTypeDefaults())
    registry->RegisterItemByFieldType(entry.FieldType, DefaultSubKey, NewDefaultItem(entry.ItemClass));
}

void UnregisterDBRepositoryItems() {
  if (!DBItemsRegistered()) return;
  DBItemsRegistered() = false;
  TcxEditDBRegisteredRepositoryItems* registry = GetEditDBRegisteredRepositoryItems();
  registry->UnregisterDefaultItem(DefaultSubKey);
  for (const TcxFieldTypeDefault& entry : cxDBFieldTypeDefaults())
    registry->UnregisterItemByFieldType(entry.FieldType, DefaultSubKey);
  cxEditDBRegisteredRepositoryItemsFinalize();
}
