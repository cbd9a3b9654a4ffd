#pragma once
// The lookup grid: the flat list a lookup editor shows in its drop-down, and
// a stand-alone list control.
//
// One row per data-controller row, one column per TcxLookupGridColumn, an
// optional header with captions and sort marks, grid lines, a vertical
// scroll bar, row selection by keys and mouse, sorting by header clicks and
// auto-scroll while a pressed row is dragged past the rows. Inside a popup
// (IsPopupList) it has no border and the mouse selects the row under it;
// stand-alone it has the painter's border and a focus rectangle while it
// has the focus.
//
// Painting reads only the view info: the layout pass copies the display
// text of every visible cell into it. Painting therefore never asks the
// data controller for data, so it cannot move a dataset's cursor, and
// repeated paints cost no data access.
//
// Auto-scroll moves exactly one row per tick: above the rows the row just
// above the top row is focused, below them the row just below the last
// fully visible row.
#include <memory>
#include <vector>

#include "data/cxData.h"
#include "editors/cxEditProperties.h"
#include "editors/cxEditRepository.h"
#include "foundation/cxControls.h"
#include "platform/gui/timers.h"
#include "platform/rtl/collection.h"

class TcxCustomLookupGrid;
class TcxLookupGridColumns;

// Pending changes of the grid; any of the three bits recomputes the layout.
using TcxLookupGridChanges = Cardinal;
enum : Cardinal { lgcLayout = 0x1, lgcData = 0x2, lgcSize = 0x4 };

// Auto-scroll directions (0: none).
enum TcxLookupGridScrollMode : Integer { lgsmNone = 0, lgsmUp = 1, lgsmDown = 2 };

// Hit codes of a grid point.
enum TcxLookupGridHitKind : Integer { lghtNone, lghtHeader, lghtRow };

// Milliseconds between two auto-scroll steps.
inline constexpr Cardinal cxLookupGridAutoScrollInterval = 50;
// Width of a grid line in pixels.
inline constexpr Integer cxLookupGridLineWidth = 1;
// A column's width when nothing else gives one.
inline constexpr Integer cxLookupGridDefaultColumnWidth = 64;
// A column's default minimum width.
inline constexpr Integer cxLookupGridDefaultMinWidth = 20;

// ---------------------------------------------------------------------------
// Options

class TcxLookupGridOptions : public TPersistent {
  KORVANE_CLASS(TcxLookupGridOptions, TPersistent)
  explicit TcxLookupGridOptions(TcxCustomLookupGrid* AGrid) : FGrid(AGrid) {}
  TPersistent* GetOwner() const override;
  // Copies the six values inside the grid's update bracket.
  void Assign(TPersistent* ASource) override;

  // Bits of the data controller's compare options.
  bool AnsiSort() const;
  void SetAnsiSort(bool Value);
  bool CaseInsensitive() const;
  void SetCaseInsensitive(bool Value);
  bool ColumnSorting() const { return FColumnSorting; }
  void SetColumnSorting(bool Value);
  TcxGridLines GridLines() const { return FGridLines; }
  void SetGridLines(TcxGridLines Value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool ShowHeader() const { return FShowHeader; }
  void SetShowHeader(bool Value);

  // The owner's change callback (a lookup editor's properties report their
  // own change through it).
  TNotifyEvent OnChanged;

private:
  void SetCompareOption(Word AOption, bool Value);
  void Changed();

  TcxCustomLookupGrid* FGrid;
  bool FColumnSorting = true;
  TcxGridLines FGridLines = glBoth;
  bool FRowSelect = true;
  bool FShowHeader = true;
};

// ---------------------------------------------------------------------------
// Columns

class TcxLookupGridColumn : public TCollectionItem, public IcxEditRepositoryItemListener {
  KORVANE_CLASS(TcxLookupGridColumn, TCollectionItem)
  explicit TcxLookupGridColumn(TCollection* ACollection);
  ~TcxLookupGridColumn() override;
  // Restores the defaults, then copies what another lookup grid column has.
  void Assign(TPersistent* ASource) override;

  TcxCustomLookupGrid* Grid() const;
  // The assigned caption, else DefaultCaption.
  String Caption() const { return FCaptionAssigned ? FCaption : DefaultCaption(); }
  void SetCaption(const String& Value);
  bool IsCaptionStored() const { return FCaptionAssigned; }
  bool Fixed() const { return FFixed; }
  void SetFixed(bool Value);
  TAlignment HeaderAlignment() const { return FHeaderAlignment; }
  void SetHeaderAlignment(TAlignment Value);
  Integer MinWidth() const { return FMinWidth; }
  // Negative values become 0; the width follows a larger minimum.
  void SetMinWidth(Integer Value);
  bool Sorting() const { return FSorting; }
  void SetSorting(bool Value);
  // Kept by the data controller (soNone while the column has no item).
  TcxDataSortOrder SortOrder() const;
  void SetSortOrder(TcxDataSortOrder Value);
  TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  // The assigned width, else DefaultWidth; never below MinWidth.
  Integer Width() const;
  void SetWidth(Integer Value);
  bool IsWidthStored() const { return FWidthAssigned; }
  // Clears the assigned caption and width, resets the other settings.
  void RestoreDefaults();
  // Moves the column; the data controller renumbers its items.
  void SetIndex(Integer Value) override;

  // The editor of the column: RepositoryItem, else DefaultRepositoryItem,
  // else an internal item owned by the column.
  TcxEditRepositoryItem* GetRepositoryItem();
  TcxCustomEditProperties* GetProperties() { return GetRepositoryItem()->Properties(); }

  virtual String DefaultCaption() const { return String(); }
  virtual Integer DefaultWidth() const { return cxLookupGridDefaultColumnWidth; }
  // The value-type registry's item for the column's data.
  virtual TcxEditRepositoryItem* DefaultRepositoryItem() const;

  // IcxEditRepositoryItemListener
  void ItemRemoved(TcxEditRepositoryItem* Sender) override;
  void PropertiesChanged(TcxEditRepositoryItem* Sender) override;

protected:
  void Changed();
  Integer ItemIndex() const { return Index(); }

private:
  String FCaption;
  bool FCaptionAssigned = false;
  bool FFixed = false;
  TAlignment FHeaderAlignment = taLeftJustify;
  Integer FMinWidth = cxLookupGridDefaultMinWidth;
  bool FSorting = true;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  Integer FWidth = 0;
  bool FWidthAssigned = false;
  std::unique_ptr<TcxEditRepositoryItem> FInternalItem;
};

class TcxLookupGridColumns : public TCollection {
  KORVANE_CLASS(TcxLookupGridColumns, TCollection)
  TcxLookupGridColumns(TcxCustomLookupGrid* AGrid, TCollectionItemClass AItemClass)
      : TCollection(AItemClass), FGrid(AGrid) {}
  TPersistent* GetOwner() const override;
  TcxCustomLookupGrid* Grid() const { return FGrid; }
  // A new column, made inside the grid's update bracket.
  TcxLookupGridColumn* Add();
  TcxLookupGridColumn* Items(Integer Index) const { return static_cast<TcxLookupGridColumn*>(TCollection::Items(Index)); }
  // The grid is locked as well.
  void BeginUpdate() override;
  void EndUpdate() override;

protected:
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
  TcxCustomLookupGrid* FGrid;
};

// Its items are the grid's columns.
class TcxLookupGridDataController : public TcxDataController {
  KORVANE_CLASS(TcxLookupGridDataController, TcxDataController)
  using TcxDataController::TcxDataController;
};

// ---------------------------------------------------------------------------
// View info: the layout and everything painting needs.

struct TcxLookupGridColumnViewInfo {
  Integer ColumnIndex = -1;
  TRect Bounds{};
  TRect ContentBounds{};
  TAlignment Alignment = taLeftJustify;
  TcxNeighbors Neighbors = 0;
  TcxBorders Borders = 0;
  TcxDataSortOrder SortOrder = soNone;
  String Text;
};

struct TcxLookupGridCellViewInfo {
  Integer ColumnIndex = -1;
  TRect Bounds{};
  TRect ContentBounds{};
  bool Focused = false;
  // Borders drawn as grid lines (right and bottom).
  TcxBorders Borders = 0;
  // The display text, taken during layout.
  String Text;
};

struct TcxLookupGridRowViewInfo {
  Integer RowIndex = -1;
  Integer RecordIndex = -1;
  bool Focused = false;
  bool Selected = false;
  TRect Bounds{};
  TRect ContentBounds{};
  TcxBorders Borders = 0;
  std::vector<TcxLookupGridCellViewInfo> Cells;
};

class TcxLookupGridViewInfo : public TObject {
  KORVANE_CLASS(TcxLookupGridViewInfo, TObject)
  explicit TcxLookupGridViewInfo(TcxCustomLookupGrid* AGrid) : FGrid(AGrid) {}
  TcxCustomLookupGrid* Grid() const { return FGrid; }

  // Border, headers, rows from the top row down, empty areas.
  void Calculate();
  // The rows laid out upwards so that ALastRow ends at the bottom; answers
  // the first row that fits.
  Integer FirstRowForLastRow(Integer ALastRow);
  // Re-reads focus, selection and texts of one laid-out row.
  void RecalculateRow(Integer ARowIndex);

  Integer BorderSize = 0;
  TRect ClientBounds{};
  TRect HeadersBounds{};
  TRect RowsBounds{};
  TRect VisibleRowsBounds{};
  TRect EmptyRight{};
  TRect EmptyBottom{};
  Integer RowHeight = 0;
  Integer RowStep = 0;
  Integer VisibleRowCount = 0;
  Integer PartVisibleRowCount = 0;
  std::vector<TcxLookupGridColumnViewInfo> Columns;
  std::vector<TcxLookupGridRowViewInfo> Rows;

  // The laid-out row of a row index (nullptr: not laid out).
  TcxLookupGridRowViewInfo* FindRow(Integer ARowIndex);
  // Hit test: header (with column), row (with row and column) or none.
  TcxLookupGridHitKind HitTest(const TPoint& P, Integer& ARowIndex, Integer& AColumnIndex) const;

private:
  void CalculateHeaders();
  void CalculateRowHeight();
  void CalculateRows(Integer AFirstRow);
  void FillRow(TcxLookupGridRowViewInfo& ARow);
  bool HasHorzLines() const;
  bool HasVertLines() const;

  TcxCustomLookupGrid* FGrid;
};

class TcxLookupGridPainter : public TObject {
  KORVANE_CLASS(TcxLookupGridPainter, TObject)
  explicit TcxLookupGridPainter(TcxCustomLookupGrid* AGrid) : FGrid(AGrid) {}
  virtual void Paint(TcxCanvas* ACanvas);

protected:
  virtual void PaintHeader(TcxCanvas* ACanvas, const TcxLookupGridColumnViewInfo& AColumn);
  virtual void PaintRow(TcxCanvas* ACanvas, const TcxLookupGridRowViewInfo& ARow);

private:
  TcxCustomLookupGrid* FGrid;
};

// ---------------------------------------------------------------------------
// TcxCustomLookupGrid

using TcxLookupGridCloseUpEvent = TEvent<void(TObject* Sender, bool AAccept)>;

class TcxCustomLookupGrid : public TcxControl {
  KORVANE_CLASS(TcxCustomLookupGrid, TcxControl)
  // clWindow, 250 x 200, wants the arrow keys.
  explicit TcxCustomLookupGrid(TComponent* AOwner);
  ~TcxCustomLookupGrid() override;

  TcxCustomDataController* DataController() const { return FDataController.get(); }
  TcxLookupGridColumns* Columns() const { return FColumns.get(); }
  TcxLookupGridOptions* Options() const { return FOptions.get(); }
  void SetOptions(TcxLookupGridOptions* Value) { FOptions->Assign(Value); }
  TcxLookupGridViewInfo* ViewInfo() const { return FViewInfo.get(); }
  TcxLookupGridPainter* Painter() const { return FPainter.get(); }
  const TcxCustomLookAndFeelPainter* LookAndFeelPainter() const;

  TcxLookupGridColumn* CreateColumn() { return FColumns->Add(); }
  Integer ColumnCount() const { return FColumns->Count(); }
  TcxLookupGridColumn* Column(Integer AIndex) const { return FColumns->Items(AIndex); }

  // ---- Rows and focus ----
  Integer RowCount() const { return FDataController->GetRowCount(); }
  Integer FocusedRowIndex() const { return FDataController->GetFocusedRowIndex(); }
  void SetFocusedRowIndex(Integer Value);
  TcxLookupGridColumn* FocusedColumn() const { return FFocusedColumn; }
  // With RowSelect no column is focused.
  void SetFocusedColumn(TcxLookupGridColumn* Value);
  Integer TopRowIndex() const { return FTopRowIndex; }
  // Lays out from the row; a gap below the last row pulls the rows down.
  virtual void SetTopRowIndex(Integer Value);
  void MakeFocusedRowVisible();

  // ---- Update bracket ----
  void BeginUpdate();
  void EndUpdate();
  bool IsLocked() const { return FLockCount > 0; }
  virtual void Changed(TcxLookupGridChanges AChanges);

  // ---- Popup ----
  bool IsPopupList() const { return FIsPopupList; }
  void SetIsPopupList(bool Value);
  bool PopupMouseMoveLocked() const { return FPopupMouseMoveLock; }
  void LockPopupMouseMove() { FPopupMouseMoveLock = true; }
  TcxLookupGridScrollMode ScrollMode() const { return FScrollMode; }
  bool IsAutoScrolling() const { return FScrollTimer != nullptr; }

  // ---- Sizing for a drop-down ----
  // n rows with the header and the top border above them.
  Integer GetHeightForRows(Integer ARowCount);
  // The height of the whole rows that fit (1 to the row count).
  Integer SnapHeightToRows(Integer AHeight);
  Integer GetPreferredWidth();
  Integer RowStep() const { return FViewInfo->RowStep; }

  // ---- Virtual operations ----
  virtual void ColumnAdded(TcxLookupGridColumn* AColumn);
  virtual void ColumnRemoved(TcxLookupGridColumn* AColumn);
  virtual void RowClick(Integer ARowIndex, TcxLookupGridColumn* AColumn, TShiftState AShift);
  virtual void HeaderClick(TcxLookupGridColumn* AColumn, TShiftState AShift);
  virtual TCollectionItemClass GetColumnClass() const { return TcxLookupGridColumn::StaticClass(); }
  virtual Integer RowsBeforeStart();
  virtual Integer RowsAfterEnd();
  virtual void SetScrollMode(TcxLookupGridScrollMode AMode);
  void InvalidateFocusedRow() { InvalidateRow(FocusedRowIndex(), true); }
  virtual void InvalidateRow(Integer ARowIndex, bool ARecompute);
  virtual void UpdateLayout();
  virtual void DataChanged();
  virtual void LayoutChanged() { Refresh(); }
  virtual void FireClick() { OnClick(this); }
  virtual void DoCloseUp(bool AAccept) { OnCloseUp(this, AAccept); }
  virtual void DoFocusedRowChanged() { OnFocusedRowChanged(this); }
  virtual void FocusedRowChanged(Integer APrevRow, Integer ARow);
  virtual void Refresh();
  virtual void SelectionChanged(TcxSelectionChangedInfo* AInfo);
  virtual void DataControllerChanged(TcxUpdateControlInfo* AInfo);
  void SetFocusedSelected(bool ASelected) { FDataController->SetFocusedSelected(ASelected); }

  // ---- Events ----
  TNotifyEvent OnClick;
  TcxLookupGridCloseUpEvent OnCloseUp;
  TNotifyEvent OnDataChanged;
  TNotifyEvent OnFocusedRowChanged;

  // ---- Control overrides ----
  Integer BorderThickness() override;
  void ComputeScrollBarParams() override;
  void ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) override;
  void HandleColorChange() override { Refresh(); }
  void HandleFontChange() override;
  void HandleFocusChange() override;
  void EndMouseOperation() override;
  void ApplyLookAndFeelChange(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged) override;
  void Loaded() override;

  // Page moves of the keys (also used by the dataset grid's scroll bar).
  void PageUp();
  void PageDown();
  // Moves the focus by one row; in grid mode the dataset moves at the edge
  // of the loaded rows.
  void FocusNextRow(bool AForward);
  Integer PageSize() const;

protected:
  // A descendant with its own column class.
  TcxCustomLookupGrid(TComponent* AOwner, TCollectionItemClass AColumnClass);
  // The owned data controller, made by CreateDataController; a descendant
  // with another controller calls RecreateDataController in its constructor.
  virtual std::unique_ptr<TcxCustomDataController> CreateDataController();
  void RecreateDataController();
  // The layout waits for the window: it is made once the window exists.
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  // In grid mode: moves the dataset when the top row leaves the loaded rows.
  virtual Integer CheckGridModeTopRow(Integer ARowIndex);

private:
  void AutoScrollTick(TObject* Sender);
  void ApplyChanges();
  void FocusRowAndSelect(Integer ARowIndex);
  void ScrollPage(bool ADown);
  void HookDataController();

  // Owned parts, in reverse order of destruction: the timer, the columns
  // (each leaves the data controller as it goes), the data controller. The
  // destructor frees the columns and the controller in that order itself.
  std::unique_ptr<TcxLookupGridOptions> FOptions;
  std::unique_ptr<TcxLookupGridViewInfo> FViewInfo;
  std::unique_ptr<TcxLookupGridPainter> FPainter;
  std::unique_ptr<TcxCustomDataController> FDataController;
  std::unique_ptr<TcxLookupGridColumns> FColumns;
  std::unique_ptr<TTimer> FScrollTimer;
  TcxLookupGridColumn* FFocusedColumn = nullptr;
  Integer FLockCount = 0;
  TcxLookupGridChanges FPendingChanges = 0;
  bool FIsPopupList = false;
  Integer FTopRowIndex = 0;
  bool FRowPressed = false;
  bool FPopupMouseMoveLock = false;
  TcxLookupGridScrollMode FScrollMode = lgsmNone;
};

// The grid published as a component.
class TcxLookupGrid : public TcxCustomLookupGrid {
  KORVANE_CLASS(TcxLookupGrid, TcxCustomLookupGrid)
  using TcxCustomLookupGrid::TcxCustomLookupGrid;
};
