#pragma once
// The dataset lookup grid: the lookup grid over a dataset through a
// TDataSource, with columns bound to dataset fields by name.
//
// Its data controller neither follows nor moves the dataset's current
// record by itself (sync mode off), so the list can be browsed while a
// bound control elsewhere keeps its record. In grid mode over a sequenced
// dataset the scroll bar shows the whole dataset rather than the loaded
// window.
#include <memory>

#include "data/cxDBData.h"
#include "editors/cxDBEdit.h"
#include "editors/cxLookupGrid.h"

class TcxCustomLookupDBGrid;

// Sync mode and insert synchronisation off; its items are the columns.
class TcxLookupGridDBDataController : public TcxDBDataController {
  KORVANE_CLASS(TcxLookupGridDBDataController, TcxDBDataController)
  explicit TcxLookupGridDBDataController(TComponent* AOwner);
};

class TcxLookupDBGridColumn : public TcxLookupGridColumn {
  KORVANE_CLASS(TcxLookupDBGridColumn, TcxLookupGridColumn)
  explicit TcxLookupDBGridColumn(TCollection* ACollection);
  // Copies FieldName from a dataset column, then the lookup column settings.
  void Assign(TPersistent* ASource) override;

  TcxCustomLookupDBGrid* DBGrid() const;
  // Kept by the data controller item of the column's index.
  String FieldName() const;
  void SetFieldName(const String& Value);
  // The dataset field (nullptr: no name, or no such field).
  TField* Field() const;
  // Answers from the column's field; bound again on every data change.
  TcxCustomDBEditDefaultValuesProvider* DefaultValuesProvider() const { return FDefaultValuesProvider.get(); }
  void BindDefaultValuesProvider() { FDefaultValuesProvider->SetField(Field()); }

  // The field's DisplayName, else FieldName.
  String DefaultCaption() const override;
  // With a field: "0" in the grid font times DisplayWidth plus the text
  // margins, widened to the header caption; else the plain default.
  Integer DefaultWidth() const override;
  // The dataset registry's item for the field (the default item without).
  TcxEditRepositoryItem* DefaultRepositoryItem() const override;

private:
  std::unique_ptr<TcxCustomDBEditDefaultValuesProvider> FDefaultValuesProvider;
};

class TcxLookupDBGridColumns : public TcxLookupGridColumns {
  KORVANE_CLASS(TcxLookupDBGridColumns, TcxLookupGridColumns)
  using TcxLookupGridColumns::TcxLookupGridColumns;
};

class TcxCustomLookupDBGrid : public TcxCustomLookupGrid {
  KORVANE_CLASS(TcxCustomLookupDBGrid, TcxCustomLookupGrid)
  explicit TcxCustomLookupDBGrid(TComponent* AOwner);

  TcxLookupGridDBDataController* DBDataController() const {
    return static_cast<TcxLookupGridDBDataController*>(DataController());
  }
  TDataSource* DataSource() const { return DBDataController()->DataSource(); }
  void SetDataSource(TDataSource* Value) { DBDataController()->SetDataSource(Value); }
  String KeyFieldNames() const { return DBDataController()->KeyFieldNames(); }
  void SetKeyFieldNames(const String& Value) { DBDataController()->SetKeyFieldNames(Value); }
  TcxLookupDBGridColumn* Column(Integer AIndex) const {
    return static_cast<TcxLookupDBGridColumn*>(TcxCustomLookupGrid::Column(AIndex));
  }
  TcxLookupDBGridColumn* CreateColumn() { return static_cast<TcxLookupDBGridColumn*>(Columns()->Add()); }

  // Replaces the columns by one per ";"-separated name, in order.
  void SetColumnsFromFieldNames(const String& AFieldNames);
  // The first column whose FieldName equals the name, ignoring case.
  TcxLookupDBGridColumn* GetColumnByFieldName(const String& AFieldName) const;

  void DataChanged() override;
  void ComputeScrollBarParams() override;
  void ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) override;

protected:
  std::unique_ptr<TcxCustomDataController> CreateDataController() override;

private:
  // Grid mode over a dataset that reports and takes record numbers.
  bool ScrollsByRecordNumber() const;
};

// The grid published as a component.
class TcxLookupDBGrid : public TcxCustomLookupDBGrid {
  KORVANE_CLASS(TcxLookupDBGrid, TcxCustomLookupDBGrid)
  using TcxCustomLookupDBGrid::TcxCustomLookupDBGrid;
};
