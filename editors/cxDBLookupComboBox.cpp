#include "editors/cxDBLookupComboBox.h"

#include "foundation/cxLookAndFeels.h"
#include "platform/gui/windowing.h"

// ---------------------------------------------------------------------------
// TcxLookupComboBoxProperties

TcxLookupComboBoxProperties::TcxLookupComboBoxProperties(TPersistent* AOwner)
    : TcxCustomDBLookupEditProperties(AOwner), FGrid(std::make_unique<TcxLookupDBGrid>(nullptr)) {
  FGrid->SetIsPopupList(true);
  FGrid->SetVisible(false);
  FGrid->Options()->OnChanged = TNotifyEvent(this, &TcxLookupComboBoxProperties::OptionsChanged);
  AddListDataListener();
}

TcxLookupComboBoxProperties::~TcxLookupComboBoxProperties() {
  RemoveListDataListener();
  FGrid->Options()->OnChanged = nullptr;
}

TcxCustomEditClass TcxLookupComboBoxProperties::GetEditorClass() { return TcxLookupComboBox::StaticClass(); }

void TcxLookupComboBoxProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxLookupComboBoxProperties*>(Source);
  TcxUpdateScope update(this);
  const bool defined = IsDefinedByLookupField();
  if (source && source != this) {
    SetGridMode(source->GridMode());
    SetListOptions(source->ListOptions());
    if (!defined) {
      SetListSource(source->ListSource());
      SetListColumns(source->ListColumns());
    }
    OnSortingChanged() = source->FGrid->DataController()->OnSortingChanged;
  }
  TcxCustomDBLookupEditProperties::Assign(Source);
  if (source && source != this && defined) SetListColumns(source->ListColumns());
}

TDataSource* TcxLookupComboBoxProperties::ListSource() {
  return IsDefinedByLookupField() ? nullptr : FGrid->DataSource();
}

void TcxLookupComboBoxProperties::SetListSource(TDataSource* Value) {
  CheckNotDefinedByLookupField();
  if (Value == FGrid->DataSource()) return;
  if (Value) CheckCircularLink(Value);
  FGrid->SetDataSource(Value);
  NotifyChanged();
}

void TcxLookupComboBoxProperties::EnsureListColumn(const String& AFieldName) {
  if (AFieldName.empty() || FGrid->GetColumnByFieldName(AFieldName)) return;
  TcxLookupDBGridColumn* column = FGrid->CreateColumn();
  column->SetFieldName(AFieldName);
  column->SetIndex(0);
}

void TcxLookupComboBoxProperties::SetListColumns(TcxLookupGridColumns* Value) {
  TcxUpdateScope update(this);
  FGrid->Columns()->Assign(Value);
  EnsureLookupResultColumn();
  if (!IsDefinedByLookupField() && GetStoredListFieldIndex() >= GetListColumnCount())
    SetListFieldIndex(GetListColumnCount() - 1);
  NotifyChanged();
}

bool TcxLookupComboBoxProperties::IsPointOverListRow(const TPoint& P) {
  Integer row = -1, column = -1;
  return FGrid->ViewInfo()->HitTest(P, row, column) == lghtRow;
}

void TcxLookupComboBoxProperties::SetListEvents(TNotifyEvent AClick, TcxLookupListCloseUpEvent ACloseUp) {
  FGrid->OnClick = AClick;
  FGrid->OnCloseUp = ACloseUp;
}

void TcxLookupComboBoxProperties::SetListAppearance(TcxLookAndFeel* ALookAndFeel, TColor AColor, TFont* AFont) {
  if (ALookAndFeel) FGrid->LookAndFeel()->SetMaster(ALookAndFeel);
  FGrid->SetColor(AColor);
  if (AFont) FGrid->SetFont(AFont);
}

void TcxLookupComboBoxProperties::UnlockListMouse() {
  if (FGrid->MouseCapture()) FGrid->SetMouseCapture(false);
}

TField* TcxLookupComboBoxProperties::GetListColumnField(Integer AIndex) {
  return AIndex >= 0 && AIndex < FGrid->ColumnCount() ? FGrid->Column(AIndex)->Field() : nullptr;
}

String TcxLookupComboBoxProperties::GetListColumnFieldName(Integer AIndex) {
  return AIndex >= 0 && AIndex < FGrid->ColumnCount() ? FGrid->Column(AIndex)->FieldName() : String();
}

Integer TcxLookupComboBoxProperties::IndexOfListColumnField(const String& AName) {
  TcxLookupDBGridColumn* column = FGrid->GetColumnByFieldName(AName);
  return column ? column->Index() : -1;
}

// ---------------------------------------------------------------------------
// TcxCustomLookupComboBox

TcxCustomLookupComboBox::~TcxCustomLookupComboBox() {
  // Child controls die with their parent: the properties' grid must not go
  // with this editor's popup.
  if (PopupWindow()) {
    for (Integer i = PopupWindow()->ControlCount() - 1; i >= 0; --i)
      if (auto* grid = dynamic_cast<TcxLookupDBGrid*>(PopupWindow()->Controls(i))) grid->SetParent(nullptr);
  }
}

void cxDBLookupComboBoxInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxLookupComboBoxProperties::StaticClass(),
                                        LoadResourceText(cxSEditLookupComboBoxKind));
}

void cxDBLookupComboBoxFinalize() {
  GetEditPropertiesRegistry()->RemoveClass(TcxLookupComboBoxProperties::StaticClass());
}
