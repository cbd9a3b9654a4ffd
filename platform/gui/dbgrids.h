#pragma once
// TDBGrid: the records of a dataset as rows, its fields as columns, with a
// title row. The current record is the highlighted row; Up/Down, PgUp/PgDn,
// Ctrl+Home/Ctrl+End move through the dataset, Left/Right/Tab/Home/End
// through the columns, a click selects a cell. Typing, F2 or Enter edits
// the cell in place (unless the grid, the column, the field or the dataset
// is read-only); Enter writes the text into the field and posts the
// record, Esc cancels. A failed write (a text the field refuses) raises and
// leaves the editor open with the user's text. When the focus leaves the
// editor or the grid, the typed text is written and posted as Enter does;
// a refusal there is reported through the application's error handling
// and the focus goes back to the editor, which keeps the text. Without
// columns of its own the grid shows every field of the dataset.
#include <memory>
#include <vector>

#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/gui/controls.h"
#include "platform/rtl/collection.h"

class TDBGrid;

class TColumnTitle : public TPersistent {
  KORVANE_CLASS(TColumnTitle, TPersistent)
  TColumnTitle();
  ~TColumnTitle() override;
  // "" shows the field's display label.
  String Caption() const { return FCaption; }
  void SetCaption(const String& Value) { FCaption = Value; }
  TFont* Font() const { return FFont.get(); }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }

private:
  String FCaption;
  std::unique_ptr<TFont> FFont;
  TColor FColor = clBtnFace;
  TAlignment FAlignment = taLeftJustify;
};

class TColumn : public TCollectionItem {
  KORVANE_CLASS(TColumn, TCollectionItem)
  explicit TColumn(TCollection* ACollection);
  ~TColumn() override;
  String FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  // The dataset's field of that name (nullptr: none, or no open dataset).
  TField* Field() const;
  TColumnTitle* Title() const { return FTitle.get(); }
  // The field's alignment unless set.
  TAlignment Alignment() const;
  void SetAlignment(TAlignment Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TDBGrid* Grid() const;

private:
  String FFieldName;
  std::unique_ptr<TColumnTitle> FTitle;
  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentSet = false;
  Integer FWidth = 64;
  bool FReadOnly = false;
};

class TDBGridColumns : public TCollection {
  KORVANE_CLASS(TDBGridColumns, TCollection)
  explicit TDBGridColumns(TDBGrid* AGrid);
  TColumn* Add() { return static_cast<TColumn*>(TCollection::Add()); }
  TColumn* Items(Integer Index) const { return static_cast<TColumn*>(TCollection::Items(Index)); }
  TDBGrid* Grid() const { return FGrid; }
  TPersistent* GetOwner() const override;

protected:
  void Update(TCollectionItem* Item) override;

private:
  TDBGrid* FGrid;
};

using TDBGridOptions = Cardinal;
enum : Cardinal { dgEditing = 0x1, dgTitles = 0x2, dgColLines = 0x4, dgRowLines = 0x8, dgRowSelect = 0x10,
                  dgAlwaysShowSelection = 0x20 };

class TInplaceEdit;
class TGridDataLink;

class TDBGrid : public TCustomControl {
  KORVANE_CLASS(TDBGrid, TCustomControl)
  explicit TDBGrid(TComponent* AOwner);
  ~TDBGrid() override;

  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* Value);
  TDBGridColumns* Columns() const { return FColumns.get(); }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TDBGridOptions Options() const { return FOptions; }
  void SetOptions(TDBGridOptions Value);
  Integer DefaultRowHeight() const { return FRowHeight; }
  void SetDefaultRowHeight(Integer Value);

  // The selected column (index among the shown columns) and its field.
  Integer SelectedIndex() const { return FCol; }
  void SetSelectedIndex(Integer Value);
  TField* SelectedField() const;
  // The shown rows: a title row (with dgTitles) and the data rows.
  Integer VisibleRowCount() const;
  // The rectangle of a data row's cell (Row 0: the first shown record).
  TRect CellRect(Integer Column, Integer Row) const;
  // The in-place editor is open.
  bool EditorMode() const;
  void SetEditorMode(bool Value);
  // The editor's text while it is open.
  String EditorText() const;
  // Writes the open editor's text into the field and posts, then closes the
  // editor; true when it went in (or no editor is open). A text the field,
  // the record or the table refuses raises and leaves the editor open.
  bool CommitEditor();
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Called by the data link.
  void DataChanged();

protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Resize() override;
  void DoExit() override;

private:
  friend class TInplaceEdit;
  struct TShownColumn {
    String FieldName;
    TColumn* Column;  // nullptr: a field of the dataset shown by default
  };
  std::vector<TShownColumn> ShownColumns() const;
  TField* FieldOf(const TShownColumn& C) const;
  bool CanEditCell() const;
  void ShowEditor(const String* Typed);
  void HideEditor();
  void EditorKey(TObject* Sender, Word& Key, TShiftState Shift);
  // The focus is leaving the open editor: writes its text as Enter does.
  // False when it was refused (reported, and the editor has the focus again).
  bool CommitOnExit();
  void MoveRows(Integer Delta);
  Integer TitleHeight() const;
  void UpdateBufferCount();

  std::unique_ptr<TGridDataLink> FDataLink;
  std::unique_ptr<TDBGridColumns> FColumns;
  TInplaceEdit* FEditor = nullptr;  // a child control (owned by the grid as a component)
  bool FReadOnly = false;
  TDBGridOptions FOptions = dgEditing | dgTitles | dgColLines | dgRowLines;
  Integer FRowHeight = 18;
  Integer FCol = 0;
};
