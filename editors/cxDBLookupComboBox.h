#pragma once
// The lookup combo box (unit cxDBLookupComboBox): the dataset lookup edit
// (cxDBLookupEdit.h) with a dataset lookup grid (cxLookupDBGrid.h) as its
// drop-down list. The properties own the grid; whichever editor opens its
// drop-down shows it in its popup.
//
// In the program this is the code-list drop-down: KeyFieldNames "code",
// list columns "code" and "cname", ListFieldIndex 1: the editor stores the
// code and shows the Chinese name.
#include <memory>

#include "editors/cxDBLookupEdit.h"
#include "editors/cxEditRepository.h"
#include "editors/cxLookupDBGrid.h"

class TcxLookupComboBoxProperties : public TcxCustomDBLookupEditProperties {
  KORVANE_CLASS(TcxLookupComboBoxProperties, TcxCustomDBLookupEditProperties)
  // Makes the grid (a popup list) and listens to its data and options.
  explicit TcxLookupComboBoxProperties(TPersistent* AOwner);
  ~TcxLookupComboBoxProperties() override;
  // GridMode, ListOptions, ListSource and ListColumns, then the dataset
  // lookup settings, in one change.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  TcxLookupDBGrid* Grid() const { return FGrid.get(); }
  // Nothing while a lookup field defines the list.
  TDataSource* ListSource();
  // Raises "Property already defined by lookup field" for a lookup field,
  // "Circular datalinks are not allowed" for a source that reads the edited
  // dataset or one of its masters.
  void SetListSource(TDataSource* Value);
  // Columns of TcxLookupDBGridColumn.
  TcxLookupGridColumns* ListColumns() const { return FGrid->Columns(); }
  // Copies the columns; a list field index past them is lowered.
  void SetListColumns(TcxLookupGridColumns* Value);
  TcxLookupGridOptions* ListOptions() const { return FGrid->Options(); }
  // The list's sorting changed (a header click).
  TNotifyEvent& OnSortingChanged() { return FGrid->DataController()->OnSortingChanged; }
  void SetListOptions(TcxLookupGridOptions* Value) { FGrid->SetOptions(Value); }

  // ---- List hooks on the grid ----
  TWinControl* GetListControl() override { return FGrid.get(); }
  Integer GetListColumnCount() override { return FGrid->ColumnCount(); }
  Integer GetListPreferredWidth() override { return FGrid->GetPreferredWidth(); }
  Integer SnapHeightToRows(Integer AHeight) override { return FGrid->SnapHeightToRows(AHeight); }
  Integer GetListHeightForRows(Integer ARows) override { return FGrid->GetHeightForRows(ARows); }
  bool IsPointOverListRow(const TPoint& P) override;
  void SetListEvents(TNotifyEvent AClick, TcxLookupListCloseUpEvent ACloseUp) override;
  void SetListAppearance(TcxLookAndFeel* ALookAndFeel, TColor AColor, TFont* AFont) override;
  void LockListMouseMove() override { FGrid->LockPopupMouseMove(); }
  void UnlockListMouse() override;
  void MakeFocusedRowVisible() override { FGrid->MakeFocusedRowVisible(); }

  void BeginListColumnsUpdate() override { FGrid->BeginUpdate(); }
  void EndListColumnsUpdate() override { FGrid->EndUpdate(); }
  void SetListColumnsFromFieldNames(const String& ANames) override { FGrid->SetColumnsFromFieldNames(ANames); }
  void EnsureListColumn(const String& AFieldName) override;
  TField* GetListColumnField(Integer AIndex) override;
  String GetListColumnFieldName(Integer AIndex) override;
  Integer IndexOfListColumnField(const String& AName) override;
  TcxDBDataController* GetListDBDataController() override { return FGrid->DBDataController(); }

private:
  void OptionsChanged(TObject*) { NotifyChanged(); }

  std::unique_ptr<TcxLookupDBGrid> FGrid;
};

class TcxCustomLookupComboBox : public TcxCustomDBLookupEdit {
public:
  KORVANE_CLASS(TcxCustomLookupComboBox, TcxCustomDBLookupEdit)
  explicit TcxCustomLookupComboBox(TComponent* AOwner) : TcxCustomLookupComboBox(AOwner, false) {}
  TcxCustomLookupComboBox(TComponent* AOwner, bool AIsInplace) : TcxCustomDBLookupEdit(AOwner, AIsInplace) {}
  // The grid leaves this editor's popup before the popup goes.
  ~TcxCustomLookupComboBox() override;
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxLookupComboBoxProperties::StaticClass(); }
  TcxLookupComboBoxProperties* ActiveComboBoxProperties() {
    return static_cast<TcxLookupComboBoxProperties*>(ActiveProperties());
  }
};

class TcxLookupComboBox : public TcxCustomLookupComboBox {
  KORVANE_CLASS(TcxLookupComboBox, TcxCustomLookupComboBox)
  using TcxCustomLookupComboBox::TcxCustomLookupComboBox;
  // The editor's own properties.
  TcxLookupComboBoxProperties* LookupProperties() { return static_cast<TcxLookupComboBoxProperties*>(Properties()); }
};

// The repository item of the lookup combo box.
class TcxEditRepositoryLookupComboBoxItem : public TcxEditRepositoryItem {
  KORVANE_CLASS(TcxEditRepositoryLookupComboBoxItem, TcxEditRepositoryItem)
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TcxCustomEditPropertiesClass GetPropertiesClass() const override {
    return TcxLookupComboBoxProperties::StaticClass();
  }
};

// Registers the lookup combo box kind in the editor kind registry
// (GetEditPropertiesRegistry); repeated calls do nothing. Finalize removes it.
void cxDBLookupComboBoxInitialize();
void cxDBLookupComboBoxFinalize();
