#pragma once
// The dataset lookup edit (unit cxDBLookupEdit): the lookup edit core
// (cxLookupEdit.h) over a list dataset. The key of a row is the value of
// the field or fields named by KeyFieldNames; the text shown is the
// display text of the list column chosen by ListFieldIndex.
//
// Key to text never moves the list dataset's cursor: loaded rows are
// searched in the data controller, and in grid mode (only a window of the
// dataset is loaded) the dataset is asked without moving (Lookup) and the
// answer, an empty one included, is kept in a key-to-text cache, so a key
// is looked up at most once until the properties change. Showing and
// painting an editor therefore never scroll the list dataset under a
// control bound to it.
//
// An editor of a lookup field (fkLookup) takes its list from the field:
// the list reads the field's LookupDataSet, its key is LookupKeyFields and
// the field's LookupResultField is the column shown. Those settings are
// then the field's: writing KeyFieldNames, ListFieldIndex or the list
// source raises EDatabaseError "Property already defined by lookup field",
// and a list that would read the edited dataset or one of its masters
// raises "Circular datalinks are not allowed".
//
// The list control and its columns come from a descendant (the lookup
// combo box, cxDBLookupComboBox.h) through the list-column hooks.
#include <memory>

#include "data/cxDBData.h"
#include "data/cxDataStorage.h"
#include "editors/cxLookupEdit.h"
#include "platform/rtl/resstr.h"

class TDataSource;

inline constexpr TResourceString cxSEditPropertyDefinedByLookupField{65336,
                                                                     u"Property already defined by lookup field"};

class TcxCustomDBLookupEditProperties : public TcxCustomLookupEditProperties {
  KORVANE_CLASS(TcxCustomDBLookupEditProperties, TcxCustomLookupEditProperties)
  explicit TcxCustomDBLookupEditProperties(TPersistent* AOwner);
  ~TcxCustomDBLookupEditProperties() override;
  // GridMode, KeyFieldNames, then the core's settings, in one change.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  // ";"-separated key fields of the list dataset (empty without a list).
  String KeyFieldNames();
  // Raises "Property already defined by lookup field" for a lookup field.
  void SetKeyFieldNames(const String& Value);
  void SetListFieldIndex(Integer Value) override;
  // While bound to a lookup field: the column of its result field.
  Integer GetStoredListFieldIndex() override;
  // The list's field names joined by ";" in column order.
  String ListFieldNames();
  // One column per name; a list field index past the columns is lowered.
  void SetListFieldNames(const String& Value);
  bool GridMode() const { return FGridMode; }
  // True makes the key-to-text cache, false frees it.
  void SetGridMode(bool Value);
  // The key-to-text cache (nullptr outside grid mode).
  TcxLookupList* LookupCache() const { return FLookupCache.get(); }

  // ---- List columns (a descendant supplies them) ----
  virtual void BeginListColumnsUpdate() {}
  virtual void EndListColumnsUpdate() {}
  virtual void SetListColumnsFromFieldNames(const String&) {}
  virtual TField* GetListColumnField(Integer) { return nullptr; }
  virtual String GetListColumnFieldName(Integer) { return String(); }
  // The first column with the field name (ignoring case), else -1.
  virtual Integer IndexOfListColumnField(const String&) { return -1; }
  virtual TcxDBDataController* GetListDBDataController() { return nullptr; }
  // Adds a column for the field at position 0 unless one has it.
  virtual void EnsureListColumn(const String&) {}
  TDataSet* GetListDataSet();
  // The field of the list column (nullptr: none).
  TField* GetListField();

  TcxCustomDataController* GetListDataController() override { return GetListDBDataController(); }
  Integer Locate(Integer AListIndex, const String& AText, bool APartial) override;
  String GetDisplayTextByKey(const Variant& AKey) override;
  // Off in grid mode (the list holds only a window of the rows).
  bool IsIncrementalFilteringActive() const override;
  bool IsKeyFieldListField() override;
  // One Null per key field for several key fields.
  Variant GetNullKey() override;
  // In grid mode also a locate of the list's data controller.
  void BeginListLocate() override;
  void EndListLocate() override;
  // The list field's alignment.
  TAlignment GetDefaultHorzAlignment() const override;
  // Clears the cache, passes the grid mode to the list and binds a lookup
  // field first.
  void NotifyChanged() override;

  // ---- Lookup fields ----
  // The edited field when the editor's data is a lookup field.
  TField* GetBoundLookupField();
  bool IsBoundToLookupField() override { return GetBoundLookupField() != nullptr; }
  // While bound to a lookup field: 2 when editing, else 1.
  Integer GetValueKind(bool AIsEditing) const override;
  // Takes the list settings from the bound lookup field (once per field).
  void BindLookupField();
  // The bound field's result field has a column.
  void EnsureLookupResultColumn();
  // Raises "Circular datalinks are not allowed" when ASource would read the
  // bound field's dataset or one of its masters.
  void CheckCircularLink(TDataSource* ASource);
  // Raises "Property already defined by lookup field" outside the binding.
  void CheckNotDefinedByLookupField();
  bool IsBinding() const { return FBinding; }

private:
  String GridModeDisplayText(const Variant& AKey);

  bool FGridMode = false;
  std::unique_ptr<TcxLookupList> FLookupCache;
  // Locates of the list data controller opened by BeginListLocate.
  std::vector<bool> FLocateOpened;
  // The lookup field the settings came from (compared only).
  TField* FLookupField = nullptr;
  // The list source of a bound lookup field.
  std::unique_ptr<TDataSource> FLookupSource;
  bool FBinding = false;
};

class TcxCustomDBLookupEditLookupData : public TcxCustomLookupEditLookupData {
  KORVANE_CLASS(TcxCustomDBLookupEditLookupData, TcxCustomLookupEditLookupData)
  using TcxCustomLookupEditLookupData::TcxCustomLookupEditLookupData;
  TcxCustomDBLookupEditProperties* DBProperties() const {
    return static_cast<TcxCustomDBLookupEditProperties*>(Properties());
  }
  // The record's key (a variant array for several key fields); Null for -1.
  void SetCurrentKeyByRecord(Integer ARecordIndex) override;
  // Locates the current key's row; a key that no row has focuses no row.
  void SyncListToKey() override;
};

class TcxCustomDBLookupEdit : public TcxCustomLookupEdit {
public:
  KORVANE_CLASS(TcxCustomDBLookupEdit, TcxCustomLookupEdit)
  explicit TcxCustomDBLookupEdit(TComponent* AOwner) : TcxCustomDBLookupEdit(AOwner, false) {}
  TcxCustomDBLookupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomLookupEdit(AOwner, AIsInplace) {}
  static TcxCustomEditPropertiesClass GetPropertiesClass() {
    return TcxCustomDBLookupEditProperties::StaticClass();
  }
  // Only characters the list field accepts.
  bool IsCharAccepted(Char AChar) override;

protected:
  std::unique_ptr<TcxCustomLookupEditLookupData> CreateLookupData() override;
};
