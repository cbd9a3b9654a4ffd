#include "editors/cxLookupGrid.h"

#include <algorithm>

#include "editors/cxEditDataRegisteredRepositoryItems.h"
#include "foundation/cxClasses.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "platform/gui/messages.h"

namespace {

// A cell's text keeps one pixel off its grid lines on every side.
constexpr Integer CellContentInset = 1;
// The plain text editor's content height above its text: one pixel of
// margin above and below the text.
constexpr Integer EditorTextMargins = 2;
// The row adds this to the largest editor content height.
constexpr Integer RowHeightExtra = 2;
// The colour of the grid lines.
constexpr TColor GridLineColor = clBtnFace;

Integer Clamp(Integer AValue, Integer AMin, Integer AMax) { return std::max(AMin, std::min(AValue, AMax)); }

}  // namespace

// ---------------------------------------------------------------------------
// TcxLookupGridOptions

TPersistent* TcxLookupGridOptions::GetOwner() const { return FGrid; }

void TcxLookupGridOptions::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TcxLookupGridOptions*>(ASource);
  if (!source) {
    TPersistent::Assign(ASource);
    return;
  }
  FGrid->BeginUpdate();
  SetAnsiSort(source->AnsiSort());
  SetCaseInsensitive(source->CaseInsensitive());
  SetColumnSorting(source->ColumnSorting());
  SetGridLines(source->GridLines());
  SetRowSelect(source->RowSelect());
  SetShowHeader(source->ShowHeader());
  FGrid->EndUpdate();
}

bool TcxLookupGridOptions::AnsiSort() const { return FGrid->DataController()->HasOption(dcoCompareLocaleAware); }
void TcxLookupGridOptions::SetAnsiSort(bool Value) { SetCompareOption(dcoCompareLocaleAware, Value); }
bool TcxLookupGridOptions::CaseInsensitive() const { return FGrid->DataController()->HasOption(dcoCompareIgnoreCase); }
void TcxLookupGridOptions::SetCaseInsensitive(bool Value) { SetCompareOption(dcoCompareIgnoreCase, Value); }

void TcxLookupGridOptions::SetCompareOption(Word AOption, bool Value) {
  TcxCustomDataController* controller = FGrid->DataController();
  if (controller->HasOption(AOption) == Value) return;
  controller->SetOptions(Value ? (controller->GetOptions() | AOption) : (controller->GetOptions() & ~AOption));
  Changed();
}

void TcxLookupGridOptions::SetColumnSorting(bool Value) {
  if (FColumnSorting == Value) return;
  FColumnSorting = Value;
  Changed();
}

void TcxLookupGridOptions::SetGridLines(TcxGridLines Value) {
  if (FGridLines == Value) return;
  FGridLines = Value;
  Changed();
}

void TcxLookupGridOptions::SetRowSelect(bool Value) {
  if (FRowSelect == Value) return;
  FRowSelect = Value;
  if (Value) FGrid->SetFocusedColumn(nullptr);
  Changed();
}

void TcxLookupGridOptions::SetShowHeader(bool Value) {
  if (FShowHeader == Value) return;
  FShowHeader = Value;
  Changed();
}

void TcxLookupGridOptions::Changed() {
  FGrid->Changed(lgcLayout);
  OnChanged(this);
}

// ---------------------------------------------------------------------------
// TcxLookupGridColumn

TcxLookupGridColumn::TcxLookupGridColumn(TCollection* ACollection) : TCollectionItem(ACollection) {}

TcxLookupGridColumn::~TcxLookupGridColumn() {
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  // Leaves the columns while still a column: the grid is told of the
  // removal with this object whole.
  SetCollection(nullptr);
}

TcxCustomLookupGrid* TcxLookupGridColumn::Grid() const {
  auto* columns = static_cast<TcxLookupGridColumns*>(Collection());
  return columns ? columns->Grid() : nullptr;
}

void TcxLookupGridColumn::Assign(TPersistent* ASource) {
  auto* source = dynamic_cast<TcxLookupGridColumn*>(ASource);
  if (!source) {
    TCollectionItem::Assign(ASource);
    return;
  }
  TCollection* columns = Collection();
  if (columns) columns->BeginUpdate();
  RestoreDefaults();
  if (source->IsCaptionStored()) SetCaption(source->Caption());
  SetHeaderAlignment(source->HeaderAlignment());
  SetMinWidth(source->MinWidth());
  SetFixed(source->Fixed());
  SetSorting(source->Sorting());
  SetSortOrder(source->SortOrder());
  SetRepositoryItem(source->RepositoryItem());
  if (source->IsWidthStored()) SetWidth(source->Width());
  if (columns) columns->EndUpdate();
}

void TcxLookupGridColumn::SetCaption(const String& Value) {
  FCaption = Value;
  FCaptionAssigned = true;
  Changed();
}

void TcxLookupGridColumn::SetFixed(bool Value) {
  if (FFixed == Value) return;
  FFixed = Value;
  Changed();
}

void TcxLookupGridColumn::SetHeaderAlignment(TAlignment Value) {
  if (FHeaderAlignment == Value) return;
  FHeaderAlignment = Value;
  Changed();
}

void TcxLookupGridColumn::SetMinWidth(Integer Value) {
  Value = std::max(Value, 0);
  if (FMinWidth == Value) return;
  FMinWidth = Value;
  if (FWidthAssigned && FWidth < FMinWidth) FWidth = FMinWidth;
  Changed();
}

void TcxLookupGridColumn::SetSorting(bool Value) {
  if (FSorting == Value) return;
  FSorting = Value;
  Changed();
}

TcxDataSortOrder TcxLookupGridColumn::SortOrder() const {
  TcxCustomLookupGrid* grid = Grid();
  if (!grid || !grid->DataController() || ItemIndex() >= grid->DataController()->GetItemCount()) return soNone;
  return grid->DataController()->GetItemSortOrder(ItemIndex());
}

void TcxLookupGridColumn::SetSortOrder(TcxDataSortOrder Value) {
  TcxCustomLookupGrid* grid = Grid();
  if (!grid || SortOrder() == Value) return;
  grid->DataController()->SetItemSortOrder(ItemIndex(), Value);
  Changed();
}

void TcxLookupGridColumn::SetRepositoryItem(TcxEditRepositoryItem* Value) {
  if (FRepositoryItem == Value) return;
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  FRepositoryItem = Value;
  if (FRepositoryItem) FRepositoryItem->AddListener(this);
  Changed();
}

Integer TcxLookupGridColumn::Width() const {
  return std::max(FWidthAssigned ? FWidth : DefaultWidth(), FMinWidth);
}

void TcxLookupGridColumn::SetWidth(Integer Value) {
  Value = std::max(Value, FMinWidth);
  if (FWidthAssigned && FWidth == Value) return;
  FWidth = Value;
  FWidthAssigned = true;
  Changed();
}

void TcxLookupGridColumn::RestoreDefaults() {
  FCaption.clear();
  FCaptionAssigned = false;
  FWidth = 0;
  FWidthAssigned = false;
  FHeaderAlignment = taLeftJustify;
  FMinWidth = cxLookupGridDefaultMinWidth;
  FFixed = false;
  FSorting = true;
  Changed();
}

void TcxLookupGridColumn::SetIndex(Integer Value) {
  const Integer old = Index();
  TCollectionItem::SetIndex(Value);
  const Integer now = Index();
  TcxCustomLookupGrid* grid = Grid();
  if (old == now || !grid || !grid->DataController()) return;
  grid->DataController()->Fields()->Move(old, now);
  grid->DataController()->UpdateItemIndexes();
}

TcxEditRepositoryItem* TcxLookupGridColumn::DefaultRepositoryItem() const {
  TcxCustomLookupGrid* grid = Grid();
  if (!grid || ItemIndex() >= grid->DataController()->GetItemCount()) return nullptr;
  return GetEditDataRegisteredRepositoryItems()->GetItemByValueType(
      grid->DataController()->GetItemValueTypeClass(ItemIndex()));
}

TcxEditRepositoryItem* TcxLookupGridColumn::GetRepositoryItem() {
  if (FRepositoryItem) return FRepositoryItem;
  if (TcxEditRepositoryItem* item = DefaultRepositoryItem()) return item;
  if (!FInternalItem) FInternalItem = std::make_unique<TcxEditRepositoryItem>(nullptr);
  return FInternalItem.get();
}

void TcxLookupGridColumn::ItemRemoved(TcxEditRepositoryItem* Sender) {
  if (Sender != FRepositoryItem) return;
  FRepositoryItem = nullptr;
  Changed();
}

void TcxLookupGridColumn::PropertiesChanged(TcxEditRepositoryItem*) { Changed(); }

void TcxLookupGridColumn::Changed() { TCollectionItem::Changed(false); }

// ---------------------------------------------------------------------------
// TcxLookupGridColumns

TPersistent* TcxLookupGridColumns::GetOwner() const { return FGrid; }

TcxLookupGridColumn* TcxLookupGridColumns::Add() {
  FGrid->BeginUpdate();
  auto* column = static_cast<TcxLookupGridColumn*>(TCollection::Add());
  FGrid->EndUpdate();
  return column;
}

void TcxLookupGridColumns::BeginUpdate() {
  TCollection::BeginUpdate();
  FGrid->BeginUpdate();
}

void TcxLookupGridColumns::EndUpdate() {
  TCollection::EndUpdate();
  FGrid->EndUpdate();
}

void TcxLookupGridColumns::Update(TCollectionItem*) {
  if (!FGrid->IsLoading()) FGrid->Changed(lgcLayout);
}

void TcxLookupGridColumns::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TCollection::Notify(Item, Action);
  auto* column = static_cast<TcxLookupGridColumn*>(Item);
  if (Action == cnAdded)
    FGrid->ColumnAdded(column);
  else
    FGrid->ColumnRemoved(column);
}

// ---------------------------------------------------------------------------
// TcxLookupGridViewInfo

bool TcxLookupGridViewInfo::HasHorzLines() const {
  const TcxGridLines lines = FGrid->Options()->GridLines();
  return lines == glBoth || lines == glHorizontal;
}

bool TcxLookupGridViewInfo::HasVertLines() const {
  const TcxGridLines lines = FGrid->Options()->GridLines();
  return lines == glBoth || lines == glVertical;
}

void TcxLookupGridViewInfo::Calculate() {
  BorderSize = FGrid->BorderThickness();
  ClientBounds = FGrid->ContentBounds();
  CalculateHeaders();
  CalculateRowHeight();
  RowsBounds = Rect(ClientBounds.Left, HeadersBounds.Bottom, ClientBounds.Right, ClientBounds.Bottom);
  CalculateRows(FGrid->TopRowIndex());
}

void TcxLookupGridViewInfo::CalculateHeaders() {
  Columns.clear();
  HeadersBounds = Rect(ClientBounds.Left, ClientBounds.Top, ClientBounds.Right, ClientBounds.Top);
  const Integer count = FGrid->ColumnCount();
  if (count == 0) return;
  const TcxCustomLookAndFeelPainter* painter = FGrid->LookAndFeelPainter();
  if (FGrid->Options()->ShowHeader()) {
    TcxScreenCanvas canvas;
    canvas.SetFont(FGrid->Font());
    HeadersBounds.Bottom += painter->HeaderHeightForText(canvas.GetTextHeight(u"Wg"));
  }
  TcxAutoWidthObject widths(count);
  for (Integer i = 0; i < count; ++i) {
    TcxLookupGridColumn* column = FGrid->Column(i);
    TcxAutoWidthItem* item = widths.NewItem();
    item->Width = column->Width();
    item->MinWidth = column->MinWidth();
    item->Fixed = column->Fixed();
  }
  widths.AvailableWidth = ClientBounds.Right - ClientBounds.Left;
  widths.DistributeWidth();
  Integer left = ClientBounds.Left;
  for (Integer i = 0; i < count; ++i) {
    TcxLookupGridColumn* column = FGrid->Column(i);
    TcxLookupGridColumnViewInfo info;
    info.ColumnIndex = i;
    info.Bounds = Rect(left, HeadersBounds.Top, left + widths.ItemAt(i)->AutoWidth, HeadersBounds.Bottom);
    left = info.Bounds.Right;
    info.Alignment = column->HeaderAlignment();
    info.Neighbors = (i > 0 ? TcxNeighbors(nLeft) : 0u) | (i < count - 1 ? TcxNeighbors(nRight) : 0u);
    info.Borders = painter->HeaderVisibleBorders(info.Neighbors);
    info.ContentBounds = painter->HeaderContentRect(info.Bounds, info.Borders);
    info.SortOrder = column->SortOrder();
    info.Text = column->Caption();
    Columns.push_back(info);
  }
}

void TcxLookupGridViewInfo::CalculateRowHeight() {
  TcxScreenCanvas canvas;
  canvas.SetFont(FGrid->Font());
  RowHeight = canvas.GetTextHeight(u"Wg") + EditorTextMargins + RowHeightExtra;
  RowStep = RowHeight + (HasHorzLines() ? cxLookupGridLineWidth : 0);
}

void TcxLookupGridViewInfo::FillRow(TcxLookupGridRowViewInfo& ARow) {
  TcxCustomDataController* controller = FGrid->DataController();
  ARow.RecordIndex = controller->GetRowInfo(ARow.RowIndex).RecordIndex;
  ARow.Focused = ARow.RowIndex == controller->GetFocusedRowIndex();
  ARow.Selected = controller->IsRowSelected(ARow.RowIndex);
  for (auto& cell : ARow.Cells) {
    cell.Focused = ARow.Focused && !FGrid->Options()->RowSelect() && FGrid->FocusedColumn() &&
                   FGrid->FocusedColumn()->Index() == cell.ColumnIndex;
    cell.Text = ARow.RecordIndex >= 0 ? controller->GetDisplayText(ARow.RecordIndex, cell.ColumnIndex) : String();
  }
}

void TcxLookupGridViewInfo::CalculateRows(Integer AFirstRow) {
  Rows.clear();
  VisibleRowCount = 0;
  PartVisibleRowCount = 0;
  const Integer rowCount = FGrid->RowCount();
  const Integer right = Columns.empty() ? RowsBounds.Left : Columns.back().Bounds.Right;
  Integer top = RowsBounds.Top;
  for (Integer row = std::max(AFirstRow, 0); row < rowCount && top < RowsBounds.Bottom; ++row) {
    TcxLookupGridRowViewInfo info;
    info.RowIndex = row;
    const bool lastOfData = row == rowCount - 1;
    const bool bottomLine =
        HasHorzLines() || (FGrid->Options()->GridLines() == glVertical && lastOfData &&
                           top + RowHeight != RowsBounds.Bottom);
    info.Bounds = Rect(RowsBounds.Left, top, right, top + RowHeight + (bottomLine ? cxLookupGridLineWidth : 0));
    info.Borders = bottomLine ? BorderBit(bBottom) : 0;
    info.ContentBounds = info.Bounds;
    if (bottomLine) info.ContentBounds.Bottom -= cxLookupGridLineWidth;
    for (const auto& column : Columns) {
      TcxLookupGridCellViewInfo cell;
      cell.ColumnIndex = column.ColumnIndex;
      cell.Bounds = Rect(column.Bounds.Left, info.Bounds.Top, column.Bounds.Right, info.Bounds.Bottom);
      const bool lastCell = column.ColumnIndex == Integer(Columns.size()) - 1;
      const bool rightLine = HasVertLines() || (FGrid->Options()->GridLines() == glHorizontal && lastCell);
      cell.Borders = info.Borders | (rightLine ? BorderBit(bRight) : 0);
      cell.ContentBounds = cell.Bounds;
      if (rightLine) cell.ContentBounds.Right -= cxLookupGridLineWidth;
      if (bottomLine) cell.ContentBounds.Bottom -= cxLookupGridLineWidth;
      InflateRect(cell.ContentBounds, -CellContentInset, -CellContentInset);
      info.Cells.push_back(cell);
    }
    FillRow(info);
    if (info.Bounds.Bottom <= RowsBounds.Bottom)
      ++VisibleRowCount;
    else
      ++PartVisibleRowCount;
    top = info.Bounds.Bottom;
    Rows.push_back(std::move(info));
  }
  if (VisibleRowCount == 0 && PartVisibleRowCount > 0) VisibleRowCount = 1;
  VisibleRowsBounds = Rect(RowsBounds.Left, RowsBounds.Top, RowsBounds.Right, std::min(top, RowsBounds.Bottom));
  EmptyRight = Rect(right, HeadersBounds.Top, ClientBounds.Right, ClientBounds.Bottom);
  EmptyBottom = Rect(RowsBounds.Left, std::min(top, RowsBounds.Bottom), right, RowsBounds.Bottom);
}

Integer TcxLookupGridViewInfo::FirstRowForLastRow(Integer ALastRow) {
  const Integer height = RowsBounds.Bottom - RowsBounds.Top;
  Integer first = ALastRow;
  Integer used = RowStep;
  while (first > 0 && used + RowStep <= height) {
    --first;
    used += RowStep;
  }
  return std::max(first, 0);
}

void TcxLookupGridViewInfo::RecalculateRow(Integer ARowIndex) {
  if (TcxLookupGridRowViewInfo* row = FindRow(ARowIndex)) FillRow(*row);
}

TcxLookupGridRowViewInfo* TcxLookupGridViewInfo::FindRow(Integer ARowIndex) {
  for (auto& row : Rows)
    if (row.RowIndex == ARowIndex) return &row;
  return nullptr;
}

TcxLookupGridHitKind TcxLookupGridViewInfo::HitTest(const TPoint& P, Integer& ARowIndex,
                                                    Integer& AColumnIndex) const {
  ARowIndex = -1;
  AColumnIndex = -1;
  for (const auto& column : Columns)
    if (P.X >= column.Bounds.Left && P.X < column.Bounds.Right) AColumnIndex = column.ColumnIndex;
  if (PtInRect(HeadersBounds, P)) return AColumnIndex >= 0 ? lghtHeader : lghtNone;
  for (const auto& row : Rows)
    if (PtInRect(row.Bounds, P) && P.Y < RowsBounds.Bottom) {
      ARowIndex = row.RowIndex;
      return lghtRow;
    }
  return lghtNone;
}

// ---------------------------------------------------------------------------
// TcxLookupGridPainter

void TcxLookupGridPainter::Paint(TcxCanvas* ACanvas) {
  TcxLookupGridViewInfo* info = FGrid->ViewInfo();
  ACanvas->GetFont()->Assign(FGrid->Font());
  for (const auto& column : info->Columns) PaintHeader(ACanvas, column);
  ACanvas->SetBrushColor(FGrid->Color());
  ACanvas->FillRectOrTileBitmap(info->EmptyRight, nullptr);
  ACanvas->FillRectOrTileBitmap(info->EmptyBottom, nullptr);
  for (const auto& row : info->Rows) PaintRow(ACanvas, row);
}

void TcxLookupGridPainter::PaintHeader(TcxCanvas* ACanvas, const TcxLookupGridColumnViewInfo& AColumn) {
  const TcxCustomLookAndFeelPainter* painter = FGrid->LookAndFeelPainter();
  TRect textArea = AColumn.ContentBounds;
  TRect markArea{};
  if (AColumn.SortOrder != soNone) {
    const TPoint size = painter->SortMarkAreaSize();
    markArea = Rect(textArea.Right - size.X, textArea.Top, textArea.Right, textArea.Bottom);
    textArea.Right = markArea.Left;
  }
  painter->PaintHeader(ACanvas, AColumn.Bounds, textArea, AColumn.Neighbors, AColumn.Borders, cxbsNormal,
                       AColumn.Alignment, vaCenter, false, true, AColumn.Text, FGrid->Font(),
                       painter->HeaderTextColor(), painter->HeaderColor(), TcxDrawBackgroundEvent{});
  if (AColumn.SortOrder != soNone) painter->PaintSortMark(ACanvas, markArea, AColumn.SortOrder == soAscending);
}

void TcxLookupGridPainter::PaintRow(TcxCanvas* ACanvas, const TcxLookupGridRowViewInfo& ARow) {
  const TcxCustomLookAndFeelPainter* painter = FGrid->LookAndFeelPainter();
  for (const auto& cell : ARow.Cells) {
    const bool highlighted = ARow.Selected && ARow.Focused && !cell.Focused;
    const TColor color = highlighted ? painter->SelectionColor() : FGrid->Color();
    const TColor textColor = highlighted ? painter->SelectionTextColor() : FGrid->Font()->Color();
    TRect inner = cell.Bounds;
    if (cell.Borders & BorderBit(bRight)) inner.Right -= cxLookupGridLineWidth;
    if (cell.Borders & BorderBit(bBottom)) inner.Bottom -= cxLookupGridLineWidth;
    ACanvas->SetBrushColor(color);
    ACanvas->FillRectOrTileBitmap(inner, nullptr);
    ACanvas->DrawBorderBands(cell.Bounds, GridLineColor, cell.Borders, cxLookupGridLineWidth);
    ACanvas->GetBrush()->SetColor(color);
    ACanvas->GetFont()->SetColor(textColor);
    ACanvas->DrawTextWithFlags(cell.Text, cell.ContentBounds, true,
                               cxAlignLeft | cxAlignVCenter | cxSingleLine | cxShowEndEllipsis);
  }
  if (ARow.Focused && (FGrid->IsPopupList() || FGrid->HasFocus())) ACanvas->DrawFocusFrame(ARow.ContentBounds);
}

// ---------------------------------------------------------------------------
// TcxCustomLookupGrid

TcxCustomLookupGrid::TcxCustomLookupGrid(TComponent* AOwner) : TcxCustomLookupGrid(AOwner, nullptr) {}

TcxCustomLookupGrid::TcxCustomLookupGrid(TComponent* AOwner, TCollectionItemClass AColumnClass)
    : TcxControl(AOwner) {
  FOptions = std::make_unique<TcxLookupGridOptions>(this);
  FViewInfo = std::make_unique<TcxLookupGridViewInfo>(this);
  FPainter = std::make_unique<TcxLookupGridPainter>(this);
  FColumns = std::make_unique<TcxLookupGridColumns>(
      this, AColumnClass ? AColumnClass : TcxLookupGridColumn::StaticClass());
  FDataController = CreateDataController();
  HookDataController();
  SetParentColor(false);
  SetColor(clWindow);
  SetBorderStyle(cxcbsDefault);
  SetScrollBars(ssVertical);
  SetBounds(Left(), Top(), 250, 200);
  SetKeys(dkArrows);
}

TcxCustomLookupGrid::~TcxCustomLookupGrid() {
  FScrollTimer.reset();
  FDataController->OnUpdateControl = TcxUpdateControlEvent();
  ++FLockCount;
  // The columns go while the data controller and the column collection are
  // whole: each one leaves them as a removed column does.
  FColumns->Clear();
  FColumns.reset();
  FDataController.reset();
}

std::unique_ptr<TcxCustomDataController> TcxCustomLookupGrid::CreateDataController() {
  return std::make_unique<TcxLookupGridDataController>(this);
}

void TcxCustomLookupGrid::RecreateDataController() {
  FDataController = CreateDataController();
  HookDataController();
}

void TcxCustomLookupGrid::HookDataController() {
  FDataController->OnUpdateControl = MakeEvent(this, &TcxCustomLookupGrid::DataControllerChanged);
}

const TcxCustomLookAndFeelPainter* TcxCustomLookupGrid::LookAndFeelPainter() const {
  const TcxCustomLookAndFeelPainter* painter = PainterOf(PainterClass());
  return painter ? painter : PainterOf(cxCustomLookAndFeelPainter());
}

void TcxCustomLookupGrid::SetFocusedRowIndex(Integer Value) {
  if (RowCount() == 0) return;
  FDataController->FocusRow(Clamp(Value, 0, RowCount() - 1));
}

void TcxCustomLookupGrid::SetFocusedColumn(TcxLookupGridColumn* Value) {
  if (FOptions->RowSelect()) Value = nullptr;
  if (FFocusedColumn == Value) return;
  FFocusedColumn = Value;
  InvalidateFocusedRow();
}

void TcxCustomLookupGrid::SetTopRowIndex(Integer Value) {
  Value = CheckGridModeTopRow(Value);
  Value = Clamp(Value, 0, std::max(RowCount() - 1, 0));
  const Integer previous = FTopRowIndex;
  FTopRowIndex = Value;
  FViewInfo->Calculate();
  const bool gapBelow = FViewInfo->EmptyBottom.Bottom - FViewInfo->EmptyBottom.Top >= FViewInfo->RowStep;
  if (gapBelow && FTopRowIndex > 0) {
    const Integer last = std::min(FTopRowIndex + std::max(FViewInfo->VisibleRowCount, 1) - 1, RowCount() - 1);
    FTopRowIndex = FViewInfo->FirstRowForLastRow(last);
    FViewInfo->Calculate();
  }
  if (FTopRowIndex != previous && FIsPopupList) FPopupMouseMoveLock = true;
  UpdateLayout();
}

Integer TcxCustomLookupGrid::CheckGridModeTopRow(Integer ARowIndex) {
  if (!FDataController->IsGridMode()) return ARowIndex;
  Integer distance = 0;
  if (ARowIndex < 0)
    distance = ARowIndex;
  else if (ARowIndex > RowCount() - 1)
    distance = ARowIndex - (RowCount() - 1);
  if (distance == 0) return ARowIndex;
  FDataController->ScrollGridModeBuffer(distance);
  return ARowIndex - distance;
}

void TcxCustomLookupGrid::MakeFocusedRowVisible() {
  const Integer row = FocusedRowIndex();
  if (row < 0) return;
  const Integer visible = std::max(FViewInfo->VisibleRowCount, 1);
  if (row < FTopRowIndex)
    SetTopRowIndex(row);
  else if (row >= FTopRowIndex + visible)
    SetTopRowIndex(row - visible + 1);
}

void TcxCustomLookupGrid::BeginUpdate() {
  ++FLockCount;
  FDataController->BeginUpdate();
}

void TcxCustomLookupGrid::EndUpdate() {
  FDataController->EndUpdate();
  if (--FLockCount == 0) ApplyChanges();
}

void TcxCustomLookupGrid::Changed(TcxLookupGridChanges AChanges) {
  FPendingChanges |= AChanges;
  if (!IsLocked()) ApplyChanges();
}

void TcxCustomLookupGrid::ApplyChanges() {
  const TcxLookupGridChanges changes = FPendingChanges;
  FPendingChanges = 0;
  if (changes & (lgcLayout | lgcData | lgcSize)) Refresh();
}

void TcxCustomLookupGrid::SetIsPopupList(bool Value) {
  if (FIsPopupList == Value) return;
  FIsPopupList = Value;
  SetBorderStyle(Value ? cxcbsNone : cxcbsDefault);
  Changed(lgcLayout);
}

Integer TcxCustomLookupGrid::GetHeightForRows(Integer ARowCount) {
  FViewInfo->Calculate();
  return ARowCount * FViewInfo->RowStep + (FViewInfo->RowsBounds.Top - DrawingBounds().Top);
}

Integer TcxCustomLookupGrid::SnapHeightToRows(Integer AHeight) {
  FViewInfo->Calculate();
  const Integer above = FViewInfo->RowsBounds.Top - DrawingBounds().Top;
  const Integer rows = Clamp((AHeight - above) / std::max(FViewInfo->RowStep, 1), 1, std::max(RowCount(), 1));
  return GetHeightForRows(rows);
}

Integer TcxCustomLookupGrid::GetPreferredWidth() {
  Integer width = 0;
  for (Integer i = 0; i < ColumnCount(); ++i) width += Column(i)->Width();
  return width;
}

void TcxCustomLookupGrid::ColumnAdded(TcxLookupGridColumn* AColumn) {
  FDataController->AddItemField(AColumn);
  Changed(lgcLayout);
}

void TcxCustomLookupGrid::ColumnRemoved(TcxLookupGridColumn* AColumn) {
  if (FFocusedColumn == AColumn) FFocusedColumn = nullptr;
  if (!FDataController) return;
  FDataController->RemoveItem(AColumn);
  Changed(lgcLayout);
}

void TcxCustomLookupGrid::RowClick(Integer ARowIndex, TcxLookupGridColumn* AColumn, TShiftState) {
  if (ARowIndex >= 0) SetFocusedRowIndex(ARowIndex);
  if (AColumn) SetFocusedColumn(AColumn);
}

void TcxCustomLookupGrid::HeaderClick(TcxLookupGridColumn* AColumn, TShiftState AShift) {
  if (!FOptions->ColumnSorting() || !AColumn->Sorting()) return;
  BeginUpdate();
  if (AShift & ssCtrl) {
    AColumn->SetSortOrder(soNone);
  } else {
    const TcxDataSortOrder previous = AColumn->SortOrder();
    if (!(AShift & ssShift)) FDataController->ClearSorting(false);
    AColumn->SetSortOrder(previous == soAscending ? soDescending : soAscending);
  }
  Changed(lgcLayout);
  EndUpdate();
  MakeFocusedRowVisible();
}

Integer TcxCustomLookupGrid::RowsBeforeStart() {
  return FDataController->IsGridMode() && !FDataController->Provider()->IsBOF() ? 1 : 0;
}

Integer TcxCustomLookupGrid::RowsAfterEnd() {
  return FDataController->IsGridMode() && !FDataController->Provider()->IsEOF() ? 1 : 0;
}

void TcxCustomLookupGrid::SetScrollMode(TcxLookupGridScrollMode AMode) {
  if (FScrollMode == AMode) return;
  FScrollMode = AMode;
  FScrollTimer.reset();
  if (AMode == lgsmNone) return;
  FScrollTimer = std::make_unique<TTimer>(nullptr);
  FScrollTimer->SetInterval(cxLookupGridAutoScrollInterval);
  FScrollTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomLookupGrid::AutoScrollTick));
}

void TcxCustomLookupGrid::AutoScrollTick(TObject*) {
  if (RowCount() == 0) return;
  // One row beyond the visible rows, in the direction of the pointer.
  const Integer row = FScrollMode == lgsmUp ? FTopRowIndex - 1 : FTopRowIndex + FViewInfo->VisibleRowCount;
  SetFocusedRowIndex(row);
  MakeFocusedRowVisible();
  SetFocusedSelected(false);
}

void TcxCustomLookupGrid::InvalidateRow(Integer ARowIndex, bool ARecompute) {
  TcxLookupGridRowViewInfo* row = FViewInfo->FindRow(ARowIndex);
  if (!row) return;
  if (ARecompute) FViewInfo->RecalculateRow(ARowIndex);
  if (HandleAllocated()) InvalidateArea(row->Bounds, false);
}

void TcxCustomLookupGrid::UpdateLayout() {
  if (!HandleAllocated()) return;
  FViewInfo->Calculate();
  RecalcScrollBars();
  // A scroll bar that appeared or went away changed the room of the columns.
  if (ContentBounds() != FViewInfo->ClientBounds) FViewInfo->Calculate();
  Invalidate();
}

void TcxCustomLookupGrid::DataChanged() {
  Refresh();
  OnDataChanged(this);
}

void TcxCustomLookupGrid::FocusedRowChanged(Integer APrevRow, Integer ARow) {
  const bool visible = ARow >= FTopRowIndex && ARow < FTopRowIndex + FViewInfo->VisibleRowCount;
  if (visible) {
    InvalidateRow(APrevRow, true);
    InvalidateRow(ARow, true);
  } else {
    Refresh();
    MakeFocusedRowVisible();
  }
  DoFocusedRowChanged();
}

void TcxCustomLookupGrid::Refresh() {
  if (IsDestroying()) return;
  SetTopRowIndex(FTopRowIndex);
}

void TcxCustomLookupGrid::SelectionChanged(TcxSelectionChangedInfo* AInfo) {
  if (AInfo->Count() == 0) {
    for (auto& row : FViewInfo->Rows) InvalidateRow(row.RowIndex, true);
    return;
  }
  for (Integer i = 0; i < AInfo->Count(); ++i) InvalidateRow(AInfo->RowIndexes(i), true);
}

void TcxCustomLookupGrid::DataControllerChanged(TcxUpdateControlInfo* AInfo) {
  if (IsLocked() && !dynamic_cast<TcxFocusedRowChangedInfo*>(AInfo)) {
    Changed(lgcData);
    return;
  }
  if (dynamic_cast<TcxDataChangedInfo*>(AInfo) || dynamic_cast<TcxUpdateRecordInfo*>(AInfo))
    DataChanged();
  else if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo))
    LayoutChanged();
  else if (auto* focus = dynamic_cast<TcxFocusedRowChangedInfo*>(AInfo))
    FocusedRowChanged(focus->PrevFocusedRowIndex, focus->FocusedRowIndex);
  else if (auto* selection = dynamic_cast<TcxSelectionChangedInfo*>(AInfo))
    SelectionChanged(selection);
}

Integer TcxCustomLookupGrid::BorderThickness() { return FIsPopupList ? 0 : TcxControl::BorderThickness(); }

void TcxCustomLookupGrid::ComputeScrollBarParams() {
  const Integer before = RowsBeforeStart();
  SetScrollBarParams(sbHorizontal, 0, 0, 0, 0, 1, false, true);
  SetScrollBarParams(sbVertical, 0, RowCount() - 1 + before + RowsAfterEnd(), FTopRowIndex + before,
                     FViewInfo->VisibleRowCount, 1, true, true);
}

void TcxCustomLookupGrid::ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  if (AKind != sbVertical) return;
  const bool gridMode = FDataController->IsGridMode();
  switch (AScrollCode) {
    case scLineUp: SetTopRowIndex(FTopRowIndex - 1); break;
    case scLineDown: SetTopRowIndex(FTopRowIndex + 1); break;
    case scPageUp: ScrollPage(false); break;
    case scPageDown: ScrollPage(true); break;
    case scPosition:
      if (gridMode) SetTopRowIndex(AScrollPos - RowsBeforeStart());
      break;
    case scTrack:
      if (!gridMode) SetTopRowIndex(AScrollPos);
      break;
    default: break;
  }
  AScrollPos = FTopRowIndex + RowsBeforeStart();
}

void TcxCustomLookupGrid::HandleFontChange() {
  TcxControl::HandleFontChange();
  Refresh();
}

void TcxCustomLookupGrid::HandleFocusChange() {
  TcxControl::HandleFocusChange();
  InvalidateFocusedRow();
}

void TcxCustomLookupGrid::EndMouseOperation() {
  TcxControl::EndMouseOperation();
  SetScrollMode(lgsmNone);
  FRowPressed = false;
}

void TcxCustomLookupGrid::ApplyLookAndFeelChange(TcxLookAndFeel*, TcxLookAndFeelValues) { Changed(lgcLayout); }

void TcxCustomLookupGrid::Loaded() {
  TcxControl::Loaded();
  Changed(lgcLayout);
}

Integer TcxCustomLookupGrid::PageSize() const { return std::max(FViewInfo->VisibleRowCount - 1, 1); }

void TcxCustomLookupGrid::ScrollPage(bool ADown) { SetTopRowIndex(FTopRowIndex + (ADown ? PageSize() : -PageSize())); }

void TcxCustomLookupGrid::PageUp() {
  MakeFocusedRowVisible();
  if (FocusedRowIndex() == FTopRowIndex) ScrollPage(false);
  SetFocusedRowIndex(FTopRowIndex);
}

void TcxCustomLookupGrid::PageDown() {
  MakeFocusedRowVisible();
  const Integer lastVisible = [&] { return FTopRowIndex + std::max(FViewInfo->VisibleRowCount, 1) - 1; }();
  if (FocusedRowIndex() == lastVisible) ScrollPage(true);
  SetFocusedRowIndex(FTopRowIndex + std::max(FViewInfo->VisibleRowCount, 1) - 1);
}

void TcxCustomLookupGrid::FocusNextRow(bool AForward) {
  if (RowCount() == 0) return;
  const Integer row = FocusedRowIndex();
  const bool atEdge = AForward ? row == RowCount() - 1 : row == 0;
  if (FDataController->IsGridMode() && atEdge) FDataController->ScrollGridModeBuffer(AForward ? 1 : -1);
  const Integer current = FocusedRowIndex();
  SetFocusedRowIndex(current < 0 ? 0 : current + (AForward ? 1 : -1));
}

void TcxCustomLookupGrid::FocusRowAndSelect(Integer ARowIndex) {
  SetFocusedRowIndex(ARowIndex);
  SetFocusedSelected(true);
}

void TcxCustomLookupGrid::Paint() {
  TcxControl::Paint();
  cxCanvas()->Canvas()->Font()->Assign(Font());
  FPainter->Paint(cxCanvas());
}

void TcxCustomLookupGrid::CreateWnd() {
  TcxControl::CreateWnd();
  Changed(lgcLayout);
}

void TcxCustomLookupGrid::Resize() {
  TcxControl::Resize();
  Changed(lgcSize);
}

void TcxCustomLookupGrid::KeyDown(Word& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  const bool wholeRows = (Shift & ssCtrl) || FOptions->RowSelect();
  const Integer focusedColumn = FFocusedColumn ? FFocusedColumn->Index() : 0;
  switch (Key) {
    case VK_RETURN: DoCloseUp(FocusedRowIndex() != -1); break;
    case VK_PRIOR: PageUp(); break;
    case VK_NEXT: PageDown(); break;
    case VK_UP:
    case VK_DOWN:
      FocusNextRow(Key == VK_DOWN);
      SetFocusedSelected(true);
      break;
    case VK_HOME:
    case VK_END:
      if (wholeRows)
        SetFocusedRowIndex(Key == VK_HOME ? 0 : RowCount() - 1);
      else if (ColumnCount() > 0)
        SetFocusedColumn(Column(Key == VK_HOME ? 0 : ColumnCount() - 1));
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (ColumnCount() > 0)
        SetFocusedColumn(Column(Clamp(focusedColumn + (Key == VK_RIGHT ? 1 : -1), 0, ColumnCount() - 1)));
      break;
    default: break;
  }
}

void TcxCustomLookupGrid::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  Integer row, column;
  switch (FViewInfo->HitTest(TPoint{X, Y}, row, column)) {
    case lghtHeader: HeaderClick(Column(column), Shift); break;
    case lghtRow:
      RowClick(row, column >= 0 ? Column(column) : nullptr, Shift);
      FRowPressed = true;
      break;
    default: break;
  }
}

void TcxCustomLookupGrid::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  if (!MouseCapture() && FPopupMouseMoveLock) {
    // The first move after the list opened or scrolled under the mouse.
    FPopupMouseMoveLock = false;
    return;
  }
  if (!MouseCapture() && !FIsPopupList) return;
  const TRect& rows = FViewInfo->VisibleRowsBounds;
  if (FRowPressed && MouseCapture() && Y < rows.Top) {
    SetScrollMode(lgsmUp);
  } else if (FRowPressed && MouseCapture() && Y >= rows.Bottom) {
    SetScrollMode(lgsmDown);
  } else {
    SetScrollMode(lgsmNone);
    Integer row, column;
    if (FViewInfo->HitTest(TPoint{X, Y}, row, column) == lghtRow) FocusRowAndSelect(row);
  }
}

void TcxCustomLookupGrid::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  SetScrollMode(lgsmNone);
  const bool pressed = FRowPressed;
  FRowPressed = false;
  TcxControl::MouseUp(Button, Shift, X, Y);
  if (!pressed) return;
  Integer row, column;
  const bool overRow = FViewInfo->HitTest(TPoint{X, Y}, row, column) == lghtRow;
  if (overRow) FireClick();
  DoCloseUp(overRow);
}
