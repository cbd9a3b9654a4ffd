#include "editors/cxLookupDBGrid.h"

#include <algorithm>

#include "data/cxDB.h"
#include "editors/cxEditDBRegisteredRepositoryItems.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/rtl/sysutils.h"

namespace {

// Room beside the digits of a field's display width.
constexpr Integer FieldWidthMargin = 4;

}  // namespace

// ---------------------------------------------------------------------------
// TcxLookupGridDBDataController

TcxLookupGridDBDataController::TcxLookupGridDBDataController(TComponent* AOwner) : TcxDBDataController(AOwner) {
  DataModeController()->SetSyncMode(false);
  DataModeController()->SetInsertInSync(false);
}

// ---------------------------------------------------------------------------
// TcxLookupDBGridColumn

TcxLookupDBGridColumn::TcxLookupDBGridColumn(TCollection* ACollection)
    : TcxLookupGridColumn(ACollection),
      FDefaultValuesProvider(std::make_unique<TcxCustomDBEditDefaultValuesProvider>(this)) {}

void TcxLookupDBGridColumn::Assign(TPersistent* ASource) {
  if (auto* source = dynamic_cast<TcxLookupDBGridColumn*>(ASource)) SetFieldName(source->FieldName());
  TcxLookupGridColumn::Assign(ASource);
}

TcxCustomLookupDBGrid* TcxLookupDBGridColumn::DBGrid() const { return static_cast<TcxCustomLookupDBGrid*>(Grid()); }

String TcxLookupDBGridColumn::FieldName() const {
  TcxCustomLookupDBGrid* grid = DBGrid();
  if (!grid || Index() >= grid->DataController()->GetItemCount()) return String();
  return grid->DBDataController()->GetItemFieldName(Index());
}

void TcxLookupDBGridColumn::SetFieldName(const String& Value) {
  TcxCustomLookupDBGrid* grid = DBGrid();
  if (!grid || FieldName() == Value) return;
  grid->DBDataController()->SetItemFieldName(Index(), Value);
  BindDefaultValuesProvider();
  Changed();
}

TField* TcxLookupDBGridColumn::Field() const {
  TcxCustomLookupDBGrid* grid = DBGrid();
  if (!grid || Index() >= grid->DataController()->GetItemCount()) return nullptr;
  return grid->DBDataController()->GetItemField(Index());
}

String TcxLookupDBGridColumn::DefaultCaption() const {
  TField* field = Field();
  return field ? field->DisplayName() : FieldName();
}

Integer TcxLookupDBGridColumn::DefaultWidth() const {
  TField* field = Field();
  TcxCustomLookupDBGrid* grid = DBGrid();
  if (!field || !grid) return TcxLookupGridColumn::DefaultWidth();
  TcxScreenCanvas canvas;
  canvas.SetFont(grid->Font());
  Integer width = canvas.GetTextWidth(u"0") * field->DisplayWidth() + FieldWidthMargin;
  if (grid->Options()->ShowHeader())
    width = std::max(width, grid->LookAndFeelPainter()->HeaderWidthForText(&canvas, cxAllBorders, grid->Font(),
                                                                           Caption()));
  return std::max(width, MinWidth());
}

TcxEditRepositoryItem* TcxLookupDBGridColumn::DefaultRepositoryItem() const {
  return GetEditDBRegisteredRepositoryItems()->GetItemByField(Field());
}

// ---------------------------------------------------------------------------
// TcxCustomLookupDBGrid

TcxCustomLookupDBGrid::TcxCustomLookupDBGrid(TComponent* AOwner)
    : TcxCustomLookupGrid(AOwner, TcxLookupDBGridColumn::StaticClass()) {
  RecreateDataController();
}

std::unique_ptr<TcxCustomDataController> TcxCustomLookupDBGrid::CreateDataController() {
  return std::make_unique<TcxLookupGridDBDataController>(this);
}

void TcxCustomLookupDBGrid::SetColumnsFromFieldNames(const String& AFieldNames) {
  std::vector<String> names;
  SplitFieldNames(AFieldNames, names);
  Columns()->BeginUpdate();
  Columns()->Clear();
  for (const String& name : names) CreateColumn()->SetFieldName(name);
  Columns()->EndUpdate();
}

TcxLookupDBGridColumn* TcxCustomLookupDBGrid::GetColumnByFieldName(const String& AFieldName) const {
  for (Integer i = 0; i < ColumnCount(); ++i)
    if (AnsiSameText(Column(i)->FieldName(), AFieldName)) return Column(i);
  return nullptr;
}

void TcxCustomLookupDBGrid::DataChanged() {
  for (Integer i = 0; i < ColumnCount(); ++i) Column(i)->BindDefaultValuesProvider();
  TcxCustomLookupGrid::DataChanged();
}

bool TcxCustomLookupDBGrid::ScrollsByRecordNumber() const {
  return DataController()->IsGridMode() && DBDataController()->IsDataSetSequenced();
}

void TcxCustomLookupDBGrid::ComputeScrollBarParams() {
  if (!ScrollsByRecordNumber()) {
    TcxCustomLookupGrid::ComputeScrollBarParams();
    return;
  }
  const Integer visible = ViewInfo()->VisibleRowCount;
  SetScrollBarParams(sbHorizontal, 0, 0, 0, 0, 1, false, true);
  SetScrollBarParams(sbVertical, 0, DBDataController()->GetDataSetRecordCount() + visible - 2,
                     DBDataController()->GetDataSetRecNo() - 1, visible, 1, true, true);
}

void TcxCustomLookupDBGrid::ScrollContent(TScrollBarKind AKind, TScrollCode AScrollCode, Integer& AScrollPos) {
  if (AKind != sbVertical || !ScrollsByRecordNumber()) {
    TcxCustomLookupGrid::ScrollContent(AKind, AScrollCode, AScrollPos);
    return;
  }
  switch (AScrollCode) {
    case scLineUp:
    case scLineDown: FocusNextRow(AScrollCode == scLineDown); break;
    case scPageUp: PageUp(); break;
    case scPageDown: PageDown(); break;
    case scPosition: DBDataController()->SetDataSetRecNo(AScrollPos + 1); break;
    default: TcxCustomLookupGrid::ScrollContent(AKind, AScrollCode, AScrollPos); break;
  }
  AScrollPos = DBDataController()->GetDataSetRecNo() - 1;
}
