#include "treelist/cxEditingControl.h"

#include <algorithm>

#include "platform/gui/dialogs.h"
#include "platform/rtl/exceptions.h"

// ---- View info items ----------------------------------------------------------------------

void TcxCustomViewInfoItem::SetBounds(const TRect& ARect, const TRect& AClip) {
  FDisplayRect = ARect;
  FVisible = IntersectRect(FClipRect, ARect, AClip);
}

void TcxCustomViewInfoItem::SetBoundsInClient(const TRect& ARect) { SetBounds(ARect, FOwner->ClientRect()); }

TcxEditingControl* TcxCustomViewInfoItem::GetControl() const { return FOwner->Control(); }

void TcxCustomViewInfoItem::Invalidate(bool ARecalculate) {
  if (ARecalculate) Calculate();
  if (FVisible) GetControl()->InvalidateArea(FClipRect, false);
}

// ---- Edit cells ---------------------------------------------------------------------------

TcxEditCellViewInfo::TcxEditCellViewInfo(TcxCustomControlViewInfo* AOwner, TcxCustomInplaceEditContainer* AItem)
    : TcxCustomViewInfoItem(AOwner), FItem(AItem) {}

TcxEditCellViewInfo::~TcxEditCellViewInfo() {
  if (TcxEditingControl* Control = GetControl()) {
    if (Control->Controller() && Control->Controller()->HitTestController())
      Control->Controller()->HitTestController()->CellRemoved(this);
  }
}

void TcxEditCellViewInfo::SetBounds(const TRect& ARect, const TRect& AClip) {
  TcxCustomViewInfoItem::SetBounds(ARect, AClip);
  FContentRect = ARect;
  if (FBorders & BorderBit(bLeft)) ++FContentRect.Left;
  if (FBorders & BorderBit(bTop)) ++FContentRect.Top;
  if (FBorders & BorderBit(bRight)) --FContentRect.Right;
  if (FBorders & BorderBit(bBottom)) --FContentRect.Bottom;
  if (FBorders) {
    if (!IntersectRect(FEditRect, FClipRect, FContentRect)) return;
  } else {
    FEditRect = FClipRect;
  }
  const TRect Offset = GetContentOffset();
  FEditRect.Left += Offset.Left;
  FEditRect.Top += Offset.Top;
  FEditRect.Right -= Offset.Right;
  FEditRect.Bottom -= Offset.Bottom;
}

bool TcxEditCellViewInfo::IsFocusedCell() const {
  TcxCustomControlController* Controller = GetControl()->Controller();
  return Controller->FocusedItem() == FItem && Controller->GetFocusedRecordIndex() == GetRecordIndex();
}

Variant TcxEditCellViewInfo::GetDisplayValue() const {
  const Integer Record = GetRecordIndex();
  if (Record < 0 || Record >= FItem->CountRecords()) return Null();
  return FItem->GetCellValue(FProperties, Record);
}

TcxEditButtonTransparency TcxEditCellViewInfo::GetButtonTransparency() const {
  switch (FItem->Options()->ShowEditButtons()) {
    case eisbAlways: return ebtNone;
    case eisbNever: return ebtHideInactive;
    default: break;
  }
  switch (GetControl()->OptionsView()->ShowEditButtons()) {
    case ecsbAlways: return ebtNone;
    case ecsbFocused: return IsFocusedCell() ? ebtNone : ebtHideInactive;
    default: return ebtHideInactive;
  }
}

void TcxEditCellViewInfo::InitProperties() {
  TcxCustomEditProperties* Properties = FItem->GetCellProperties(GetRecordIndex());
  const bool Changed = Properties != FProperties || !FViewData;
  FProperties = Properties;
  FValue = FProperties ? GetDisplayValue() : Null();
  if (!Changed || !FProperties) return;
  FEditViewInfo.reset();
  FViewData.reset(FProperties->CreateViewData(GetControl()->EditStyle(), true));
  FEditViewInfo.reset(dynamic_cast<TcxCustomEditViewInfo*>(FProperties->GetViewInfoClass()->Create()));
}

void TcxEditCellViewInfo::Calculate() {
  InitProperties();
  if (!FViewData || !FEditViewInfo) return;
  FViewData->ContentOffset = TRect{};
  CalcViewInfoAtOrigin(FViewData.get(), GetControl()->cxCanvas(), FContentRect, TPoint{-1, -1}, cxmbNone, 0,
                       FEditViewInfo.get(), false);
}

bool TcxEditCellViewInfo::NeedShowHint(const TPoint& P, String& AText, bool& AIsHintMultiLine, TRect& ATextRect) {
  AIsHintMultiLine = false;
  if (!Visible() || !FEditViewInfo) return false;
  TPoint At = P;
  At.X -= FEditViewInfo->Left;
  At.Y -= FEditViewInfo->Top;
  if (!FEditViewInfo->QueryHintWithRect(At, AText, ATextRect)) return false;
  TRect Content;
  return IntersectRect(Content, FClipRect, GetControl()->ClientRect());
}

// ---- Control view info --------------------------------------------------------------------

TcxCustomControlViewInfo::TcxCustomControlViewInfo(TcxEditingControl* AControl) : FControl(AControl) {
  FEditCells.reserve(1024);
}

TcxCustomControlViewInfo::~TcxCustomControlViewInfo() = default;

void TcxCustomControlViewInfo::Calculate() {
  if (FStylesChanged) {
    FStylesChanged = false;
    FControl->Invalidate();
  }
  FClientRect = FControl->ClientRect();
  CalculateCells();
  FDirty = false;
}

void TcxCustomControlViewInfo::CalculateCells() {
  for (TcxEditCellViewInfo* Cell : FEditCells)
    if (Cell->Visible()) Cell->Calculate();
}

// ---- The control --------------------------------------------------------------------------

TcxEditingControl::TcxEditingControl(TComponent* AOwner) : TcxControl(AOwner) {
  SetKeys(Keys() | dkArrows | dkChars);
  SetBorderStyle(cxcbsDefault);
}

void TcxEditingControl::CreateSubobjects() {
  FEditStyle = std::make_unique<TcxEditStyle>(nullptr, true);
  FOptionsView = std::make_unique<TcxControlOptionsView>(nullptr, this);
  FOptionsData = std::make_unique<TcxControlOptionsData>(nullptr, this);
  FOptionsBehavior = std::make_unique<TcxControlOptionsBehavior>(nullptr, this);
  FController = CreateController();
  FController->CreateSubobjects();
  FDataController = std::make_unique<TcxControlDataController>(this, this);
  FViewInfo = CreateViewInfo();
}

TcxEditingControl::~TcxEditingControl() {
  FDestroying = true;
  EndDragImage();
  if (FController) FController->EditingController()->EndCellEdit(false);
  // Items outlive the control only detached.
  for (TcxCustomInplaceEditContainer* Item : std::vector<TcxCustomInplaceEditContainer*>(FItems))
    Item->SetEditingControl(nullptr);
  FViewInfo.reset();
  FController.reset();
  FDataController.reset();
}

std::unique_ptr<TcxCustomControlViewInfo> TcxEditingControl::CreateViewInfo() {
  return std::make_unique<TcxCustomControlViewInfo>(this);
}

// ---- Items --------------------------------------------------------------------------------

void TcxEditingControl::AddContainerItem(TcxCustomInplaceEditContainer* AItem) {
  FItems.push_back(AItem);
  AItem->SetItemIndex(ItemCount() - 1);
  FDataController->AddItemField(AItem);
}

void TcxEditingControl::RemoveContainerItem(TcxCustomInplaceEditContainer* AItem) {
  auto It = std::find(FItems.begin(), FItems.end(), AItem);
  if (It == FItems.end()) return;
  if (FController) {
    if (EditingController()->EditingItem() == AItem) EditingController()->EndCellEdit(false);
    if (FController->FocusedItem() == AItem) FController->ChangeFocusedItem(nullptr);
  }
  FItems.erase(It);
  FDataController->RemoveItem(AItem);
  for (Integer I = 0; I < ItemCount(); ++I) FItems[size_t(I)]->SetItemIndex(I);
  if (!FDestroying) LayoutChanged();
}

TcxCustomInplaceEditContainer* TcxEditingControl::EditingItem() const {
  return FController ? EditingController()->EditingItem() : nullptr;
}

void TcxEditingControl::SwitchEditedItem(TcxCustomInplaceEditContainer* AItem) {
  if (FController) EditingController()->SwitchEditedItem(AItem);
}

TcxCustomInplaceEditContainer* TcxEditingControl::IncSearchItem() const {
  return FController ? FController->GetIncSearchingItem() : nullptr;
}

void TcxEditingControl::CancelIncSearch() {
  if (FController) FController->CancelIncSearch();
}

void TcxEditingControl::EditPropertiesRemoved(TcxCustomEditProperties* AProperties) {
  if (FController) EditingController()->PropertiesRemoved(AProperties);
}

void TcxEditingControl::SetWantsTabKey(bool AValue) { SetKeys(AValue ? (Keys() | dkTab) : (Keys() & ~dkTab)); }

// ---- Data ---------------------------------------------------------------------------------

void TcxEditingControl::ApplyDataChange(TcxUpdateControlInfo* AInfo) {
  if (!FController || FDestroying) return;
  if (dynamic_cast<TcxFocusedRecordChangedInfo*>(AInfo) || dynamic_cast<TcxFocusedRowChangedInfo*>(AInfo)) {
    FController->FocusedRecordChanged();
    if (FController->Navigator()) FController->Navigator()->Refresh();
  } else if (dynamic_cast<TcxDataChangedInfo*>(AInfo)) {
    DataChanged();
  } else if (dynamic_cast<TcxLayoutChangedInfo*>(AInfo)) {
    EditingController()->LoadEditorValue();
  }
}

void TcxEditingControl::DataChanged() {
  BeginUpdate();
  try {
    for (TcxCustomInplaceEditContainer* Item : FItems) Item->DataChanged();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxEditingControl::StoreCellEditorValue() {
  // A store that failed keeps the editor open; the record is not posted.
  if (FController && !EditingController()->StoreEditorValue()) throw EAbort(u"");
}

// ---- Layout -------------------------------------------------------------------------------

void TcxEditingControl::BeginUpdate() { ++FLockCount; }

void TcxEditingControl::EndUpdate() {
  if (--FLockCount == 0) LayoutChanged();
}

void TcxEditingControl::LayoutChanged() {
  if (!FViewInfo) return;
  FViewInfo->SetDirty();
  if (IsLocked() || FDestroying) return;
  ++FLayoutCount;
  try {
    FController->ResetMouseState();
    FViewInfo->Calculate();
  } catch (...) {
    --FLayoutCount;
    throw;
  }
  if (--FLayoutCount == 0) {
    FController->RecalcHitTest();
    EditingController()->MarkEditorUpdateNeeded();
    AfterLayoutChanged();
    Invalidate();
  }
}

void TcxEditingControl::LayoutChangedWithStyles() {
  if (FViewInfo) FViewInfo->StylesChanged();
  LayoutChanged();
}

void TcxEditingControl::SizeOrBorderChanged() {
  LayoutChanged();
  TcxControl::SizeOrBorderChanged();
}

void TcxEditingControl::ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& APosition) {
  EditingController()->MarkEditorUpdateNeeded();
  FController->ScrollContent(AKind, ACode, APosition);
}

bool TcxEditingControl::ConfirmBox(const String& AText, const String& ACaption) {
  return MessageBox(0, AText, ACaption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

// ---- Painting -----------------------------------------------------------------------------

void TcxEditingControl::Paint() {
  if (FDragImage) FDragImage->Hide();
  FController->BeforePaint();
  TcxControl::Paint();
  PaintCells(cxCanvas());
  FController->AfterPaint();
  if (FDragImage) FDragImage->Show();
}

void TcxEditingControl::PaintCells(TcxCanvas* ACanvas) {
  if (FViewInfo->IsDirty()) FViewInfo->Calculate();
  for (TcxEditCellViewInfo* Cell : FViewInfo->EditCells())
    if (Cell->Visible() && Cell->EditViewInfo()) PaintViewInfoAtOrigin(Cell->EditViewInfo(), ACanvas);
}

// ---- Input --------------------------------------------------------------------------------

void TcxEditingControl::WndProc(TMessage& Message) {
  if (FController && FController->HandleMessage(Message)) return;
  TcxControl::WndProc(Message);
}

void TcxEditingControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  FController->HideHint();
  FController->BeforeMouseDown(Button, Shift, X, Y);
  FDragPos = TPoint{X, Y};
  TcxControl::MouseDown(Button, Shift, X, Y);
  // An editor that kept the focus (its value was refused) keeps the cell.
  if (FocusWhenClicked() && !Focused()) return;
  FController->HandleMouseDown(Button, Shift, X, Y);
}

void TcxEditingControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseMove(Shift, X, Y);
  if (DragAndDropState() == ddsNone) FController->HandleMouseMove(Shift, X, Y);
}

void TcxEditingControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxControl::MouseUp(Button, Shift, X, Y);
  FController->HandleMouseUp(Button, Shift, X, Y);
}

void TcxEditingControl::HandleMouseLeave(TControl* AControl) {
  TcxControl::HandleMouseLeave(AControl);
  if (FController) FController->MouseLeave();
}

void TcxEditingControl::KeyDown(Word& Key, TShiftState Shift) {
  TcxControl::KeyDown(Key, Shift);
  if (Key != 0) FController->KeyDown(Key, Shift);
}

void TcxEditingControl::KeyPress(Char& Key) {
  TcxControl::KeyPress(Key);
  if (Key != 0) FController->KeyPress(Key);
}

void TcxEditingControl::KeyUp(Word& Key, TShiftState Shift) {
  TcxControl::KeyUp(Key, Shift);
  if (Key != 0) FController->KeyUp(Key, Shift);
}

void TcxEditingControl::DblClick() {
  FController->DblClick();
  TcxControl::DblClick();
}

void TcxEditingControl::DoExit() {
  FController->ControlExit();
  TcxControl::DoExit();
}

void TcxEditingControl::HandleFocusChange() {
  TcxControl::HandleFocusChange();
  if (FController && !FDestroying) FController->FocusChanged();
}

bool TcxEditingControl::HasFocus() { return TcxControl::HasFocus() || (FController && FController->EditorHasFocus()); }

// ---- Drag picture -------------------------------------------------------------------------

void TcxEditingControl::BeginDragImage() {
  EndDragImage();
  if (!FOptionsBehavior->DragDropText) return;
  FDragImage = std::make_unique<TcxDragImageHelper>(this, FDragPos);
  InstallDragMouseHook(this);
}

void TcxEditingControl::EndDragImage() {
  if (DragMouseHookControl() == this) RemoveDragMouseHook();
  FDragImage.reset();
}

void TcxEditingControl::DoStartDrag(TDragObject*& DragObject) {
  FController->HitTestController()->HitTest(FDragPos);
  TcxControl::DoStartDrag(DragObject);
  BeginDragImage();
}

void TcxEditingControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  TcxControl::DoEndDrag(Target, X, Y);
  EndDragImage();
  FDragPos = TPoint{-1, -1};
}
