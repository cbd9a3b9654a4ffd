#pragma once
// The repository items of the editor kinds (unit cxEditRepositoryItems) and
// the default editors the two registries hand out.
//
// Every item class holds a property set of its own kind: Properties reads
// it as that class, SetProperties copies into it (the object itself is
// never replaced). Adding a kind is one entry: a class declared with its
// properties class below (or with its editor), and its place in
// cxEditRepositoryItemClasses.
//
// Start-up (once each; repeated calls do nothing):
// - RegisterRepositoryItemClasses registers the item classes by name, so
//   that they can be found by their class names;
// - RegisterDataRepositoryItems fills the value-type registry: a text item
//   as the default, a check box item for Boolean values, a currency item
//   for currency and for FMTBcd values, a date item for date-time and for
//   SQL time-stamp values (a separate item for each);
// - RegisterDBRepositoryItems fills the field-type registry: a mask item as
//   the default, a currency item for currency fields, a lookup combo box
//   item (a fixed list without grid lines or header) for lookup fields, and
//   one new item per field type of cxDBFieldTypeDefaults.
// Every item is created in the default edit repository, which owns it; the
// finalisers empty the registries and leave the items to the repository.
#include "editors/cxBlobEdit.h"
#include "editors/cxCalc.h"
#include "editors/cxCheckBox.h"
#include "editors/cxCurrencyEdit.h"
#include "editors/cxDateEdit.h"
#include "editors/cxDBLookupComboBox.h"
#include "editors/cxDropDownEdit.h"
#include "editors/cxEditRepository.h"
#include "editors/cxHyperLinkEdit.h"
#include "editors/cxImage.h"
#include "editors/cxImageComboBox.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxMemo.h"
#include "editors/cxMRUEdit.h"
#include "editors/cxRadioGroup.h"
#include "editors/cxSpinEdit.h"
#include "editors/cxTextEdit.h"
#include "editors/cxTimeEdit.h"
#include "platform/db/dbtypes.h"

// The common form of an item class: the typed property set of its kind.
template <class TProperties>
class TcxEditRepositoryItemOf : public TcxEditRepositoryItem {
public:
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TProperties* Properties() const { return static_cast<TProperties*>(TcxEditRepositoryItem::Properties()); }
  void SetProperties(TProperties* Value) { TcxEditRepositoryItem::SetProperties(Value); }
  TcxCustomEditPropertiesClass GetPropertiesClass() const override { return TProperties::StaticClass(); }
};

#define KORVANE_EDIT_REPOSITORY_ITEM(ItemClass, PropertiesClass)   \
  class ItemClass : public TcxEditRepositoryItemOf<PropertiesClass> { \
    KORVANE_CLASS(ItemClass, TcxEditRepositoryItem)                \
    using TcxEditRepositoryItemOf<PropertiesClass>::TcxEditRepositoryItemOf; \
  }

KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryTextItem, TcxTextEditProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryButtonItem, TcxButtonEditProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryImageItem, TcxImageProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryComboBoxItem, TcxComboBoxProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryMaskItem, TcxMaskEditProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryPopupItem, TcxPopupEditProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryCurrencyItem, TcxCurrencyEditProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositorySpinItem, TcxSpinEditProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryMemoItem, TcxMemoProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryBlobItem, TcxBlobEditProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryCheckBoxItem, TcxCheckBoxProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryTimeItem, TcxTimeEditProperties);
KORVANE_EDIT_REPOSITORY_ITEM(TcxEditRepositoryRadioGroupItem, TcxRadioGroupProperties);
// The calculator, date, image combo box, most-recently-used, hyperlink and
// lookup combo box items are declared with their editors (cxCalc.h,
// cxDateEdit.h, cxImageComboBox.h, cxMRUEdit.h, cxHyperLinkEdit.h,
// cxDBLookupComboBox.h); they are registered here with the others.

// The item classes in their registration order, TcxEditRepositoryItem
// first.
const std::vector<TComponentClass>& cxEditRepositoryItemClasses();

// The field types with an item class of their own (every other type gets
// the default mask item), in the order of the types.
struct TcxFieldTypeDefault {
  TFieldType FieldType;
  TcxEditRepositoryItemClass ItemClass;
};
const std::vector<TcxFieldTypeDefault>& cxDBFieldTypeDefaults();

void RegisterRepositoryItemClasses();
void UnregisterRepositoryItemClasses();
void RegisterDataRepositoryItems();
// Unregisters what RegisterDataRepositoryItems registered and frees the
// value-type registry.
void UnregisterDataRepositoryItems();
void RegisterDBRepositoryItems();
// Unregisters what RegisterDBRepositoryItems registered and frees the
// field-type registry (with whatever it still holds).
void UnregisterDBRepositoryItems();
