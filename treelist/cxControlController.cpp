#include "treelist/cxControlController.h"

#include <algorithm>
#include <utility>

#include "data/cxDataControllerSearch.h"
#include "data/cxDataGuards.h"
#include "platform/gui/windowing.h"
#include "treelist/cxEditingControl.h"

namespace {

// No modifier, or Shift alone.
bool ShiftAloneOrNone(TShiftState Shift) { return (Shift & (ssCtrl | ssAlt)) == 0; }

}  // namespace

TcxCustomControlController::TcxCustomControlController(TcxEditingControl* AControl) : FControl(AControl) {}

TcxCustomControlController::~TcxCustomControlController() {
  FNavigator.reset();
  FHotTrackController.reset();
  FHitTestController.reset();
  FEditingController.reset();
}

void TcxCustomControlController::CreateSubobjects() {
  FEditingController = CreateEditingController();
  FHitTestController = CreateHitTestController();
  FHotTrackController = CreateHotTrackController();
  FNavigator = CreateCellNavigator();
}

std::unique_ptr<TcxEditingController> TcxCustomControlController::CreateEditingController() {
  return std::make_unique<TcxEditingController>(this);
}

std::unique_ptr<TcxCustomHitTestController> TcxCustomControlController::CreateHitTestController() {
  return std::make_unique<TcxCustomHitTestController>(this);
}

std::unique_ptr<TcxHotTrackController> TcxCustomControlController::CreateHotTrackController() {
  return std::make_unique<TcxHotTrackController>(FControl);
}

std::unique_ptr<TcxCustomCellNavigator> TcxCustomControlController::CreateCellNavigator() { return nullptr; }

// ---- Options ------------------------------------------------------------------------------

bool TcxCustomControlController::GetAlwaysShowEditor() const { return FControl->OptionsBehavior()->AlwaysShowEditor; }
bool TcxCustomControlController::GetGoToNextCellOnEnter() const {
  return FControl->OptionsBehavior()->GoToNextCellOnEnter;
}
bool TcxCustomControlController::GetGoToNextCellOnTab() const {
  return FControl->OptionsBehavior()->GoToNextCellOnTab();
}
bool TcxCustomControlController::GetFocusCellOnCycle() const { return FControl->OptionsBehavior()->FocusCellOnCycle; }

bool TcxCustomControlController::OpensEditorOnMouseDown() const {
  return (FControl->OptionsBehavior()->ImmediateEditor || GetAlwaysShowEditor()) && FControl->DragMode() == dmManual;
}

bool TcxCustomControlController::CancelOnExitApplies() const {
  return FControl->OptionsData()->CancelOnExit &&
         (FControl->DataController()->GetEditState() & (dceInsert | dceEdit | dceModified)) == dceInsert;
}

Integer TcxCustomControlController::GetFocusedRecordIndex() const {
  return FControl->DataController()->GetFocusedRecordIndex();
}

TcxEditCellViewInfo* TcxCustomControlController::GetEditingCellViewInfo() {
  TcxCustomInplaceEditContainer* Item = FEditingController->EditingItem();
  return Item ? GetFocusedCellViewInfo(Item) : nullptr;
}

bool TcxCustomControlController::EditorHasFocus() const {
  TcxCustomEdit* Edit = FEditingController->Edit();
  return Edit && Edit->Focused();
}

// ---- Mouse --------------------------------------------------------------------------------

void TcxCustomControlController::BeforeMouseDown(TMouseButton, TShiftState, Integer, Integer) {
  FEditingAtMouseDown = IsEditing();
}

void TcxCustomControlController::HandleMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  const Integer PrevRecord = GetFocusedRecordIndex();
  TcxCustomInplaceEditContainer* PrevItem = FFocusedItem;
  FDblClick = (Shift & ssDouble) != 0;
  FClickedFocusedCell = false;
  FEditingController->FreeDelayTimer();
  // A press on an editor button of the cell under the mouse is replayed
  // into the editor it opens.
  TcxEditCellViewInfo* ButtonCell = FHitTestController->HitEditCell();
  TcxCustomEditViewInfo* EditView = ButtonCell ? ButtonCell->EditViewInfo() : nullptr;
  if (!EditView || FControl->DragMode() != dmManual ||
      !EditView->IsPointOverButton(TPoint{X - EditView->Left, Y - EditView->Top}))
    ButtonCell = nullptr;
  FHitTestController->HitTestAtPoint(X, Y, Shift);
  TcxEditCellViewInfo* Cell = FHitTestController->HitEditCell();
  if (Button == mbMiddle || !Cell) return;
  FocusRecordAndItem(Cell->GetRecordIndex(), Cell->GetItem());
  FHitTestController->HitTestAtPoint(X, Y, Shift);
  Cell = FHitTestController->HitEditCell();
  if (!Cell) return;
  if ((OpensEditorOnMouseDown() || Cell == ButtonCell) && Button == mbLeft) {
    if (Cell == ButtonCell)
      FEditingController->ActivateCellEditorByMouse(Cell->GetItem(), Shift, TPoint{X, Y});
    else
      FEditingController->ActivateCellEditorByMouse(Cell->GetItem(), 0, TPoint{-1, -1});
    return;
  }
  FClickedFocusedCell = PrevRecord == GetFocusedRecordIndex() && PrevItem == FFocusedItem && FFocusedItem;
  if (!FClickedFocusedCell && FFocusedItem) CancelIncSearch();
}

void TcxCustomControlController::HandleMouseMove(TShiftState Shift, Integer X, Integer Y) {
  FHitTestController->HitTestAtPoint(X, Y, Shift);
}

void TcxCustomControlController::HandleMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxEditCellViewInfo* Cell = FHitTestController->HitEditCell();
  if (FClickedFocusedCell && !IsEditing() && !FDblClick && Cell && Button == mbLeft)
    FEditingController->CellEditDelayTimer(Cell->GetItem());
  FHitTestController->HitTestAtPoint(X, Y, Shift);
  Cell = FHitTestController->HitEditCell();
  if (!IsEditing() && !FDblClick && Cell && FControl->OptionsBehavior()->ImmediateEditor) {
    FEditingController->FreeDelayTimer();
    if (Button == mbLeft) FEditingController->ActivateCellEditor(Cell->GetItem());
  }
  if (!IsEditing() && (FControl->OptionsBehavior()->ImmediateEditor || GetAlwaysShowEditor()) &&
      FControl->DragAndDropState() == ddsNone && FHitTestController->HitEditCell())
    FEditorRefreshPending = true;
}

void TcxCustomControlController::MouseLeave() {
  HideHint();
  FHitTestController->Reset();
  FHotTrackController->HotTrack(nullptr, TPoint{-1, -1});
}

void TcxCustomControlController::RecalcHitTest() { FHitTestController->RecalcHitTest(); }

void TcxCustomControlController::HideHint() { FHotTrackController->HideHint(); }

void TcxCustomControlController::ResetMouseState() {
  FHitTestController->Reset();
  FHotTrackController->Reset();
}

void TcxCustomControlController::BeforePaint() { FEditingController->UpdateEditorIfNeeded(); }

void TcxCustomControlController::AfterPaint() {
  if (FEditorRefreshPending) RefreshEditor();
}

// ---- Keyboard -----------------------------------------------------------------------------

bool TcxCustomControlController::IsNavigationKey(Word Key, TShiftState) const {
  switch (Key) {
    case VK_TAB: return GetGoToNextCellOnTab();
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT: return true;
    default: return false;
  }
}

void TcxCustomControlController::KeyDownFromEditor(Word& Key, TShiftState Shift) {
  TcxFlagGuard FromEditor(FKeyFromEditor, true);
  KeyDown(Key, Shift);
}

void TcxCustomControlController::KeyDown(Word& Key, TShiftState Shift) {
  if (!FKeyFromEditor) {
    if (IsIncSearching() && ProcessIncSearchKey(Key, Shift)) {
      Key = 0;
      return;
    }
    if (FNavigator) FNavigator->KeyDown(Key, Shift);
    if (Key == 0) return;
  }
  switch (Key) {
    case VK_TAB:
      if (GetGoToNextCellOnTab() && ShiftAloneOrNone(Shift) && FNavigator) {
        FNavigator->SelectNextCell(!(Shift & ssShift), FNavigator->TabMovesByRow, Shift);
        Key = 0;
      }
      break;
    case VK_RETURN:
      if (GetGoToNextCellOnEnter() && ShiftAloneOrNone(Shift) && FNavigator)
        FNavigator->SelectNextCell(!(Shift & ssShift), FNavigator->EnterMovesByRow, Shift);
      break;
    case VK_ESCAPE: FControl->DataController()->CancelRecord(); break;
    case VK_PRIOR:
    case VK_NEXT: ScrollPage(Key == VK_NEXT, Shift); break;
    default: break;
  }
}

void TcxCustomControlController::KeyPress(Char& Key) {
  if (std::exchange(FEatKeyPress, false)) return;
  if (Key == Char(VK_BACK) || Key > Char(31)) {
    TcxCustomInplaceEditContainer* Item = SearchItem();
    const Integer State = FControl->DataController()->GetEditState();
    if (Item && Item->CanIncSearch() && !(State & (dceInsert | dceEdit))) {
      if (Key != Char(VK_BACK)) IncSearch(FIncSearchText + Key);
      Key = 0;
      return;
    }
  }
  if (FNavigator) FNavigator->KeyPress(Key);
}

bool TcxCustomControlController::HandleMessage(TMessage& Message) {
  if (Message.Msg != WM_IME_STARTCOMPOSITION || IsEditing() || !FFocusedItem) return false;
  // The editor opens and takes the focus, so the composed text that follows
  // reaches it.
  FEditingController->ActivateCellEditor(FFocusedItem);
  return false;
}

// ---- Focus --------------------------------------------------------------------------------

void TcxCustomControlController::FocusRecordAndItem(Integer ARecordIndex, TcxCustomInplaceEditContainer* AItem) {
  if (!FEditingController->EndCellEdit(true)) return;
  {
    TcxFlagGuard NoRefresh(FAllowEditorRefresh, false);
    TcxFlagGuard SameCell(FSameCell, ARecordIndex == GetFocusedRecordIndex());
    ChangeFocusedRecord(ARecordIndex);
    FSameCell = FSameCell && AItem == FFocusedItem;
    ChangeFocusedItem(AItem);
  }
  RefreshEditor();
}

bool TcxCustomControlController::ChangeFocusedRecord(Integer ARecordIndex) {
  TcxControlDataController* DC = FControl->DataController();
  if (ARecordIndex < 0 || ARecordIndex >= DC->GetRecordCount()) return false;
  if (!CanFocusRecord(ARecordIndex)) return false;
  DC->FocusRecord(ARecordIndex);
  if (ARecordIndex != GetFocusedRecordIndex()) return false;
  return MakeFocusedRecordVisible();
}

void TcxCustomControlController::ChangeFocusedItem(TcxCustomInplaceEditContainer* AItem) {
  if (!FEditingController->EndCellEdit(true)) return;
  if (AItem && !AItem->CanFocus()) return;
  if (AItem == FFocusedItem) {
    MakeFocusedCellVisible();
  } else {
    TcxCustomInplaceEditContainer* Prev = FFocusedItem;
    FFocusedItem = AItem;
    FocusedItemChanged(Prev);
  }
  RefreshEditor();
}

void TcxCustomControlController::FocusedItemChanged(TcxCustomInplaceEditContainer* APrevItem) {
  if (FControl->IsDestroying()) return;
  CancelIncSearch();
  MakeFocusedCellVisible();
  if (!FSameCell) {
    RefreshFocusedCell(APrevItem);
    RefreshFocusedCell(FFocusedItem);
  }
  if (FNavigator) FNavigator->Refresh();
}

void TcxCustomControlController::FocusedRecordChanged() {
  if (FEditingController->MustCloseEditorOnRecordChange() && !FEditingController->EndCellEdit(true)) return;
  RefreshEditor();
  FEditingController->LoadEditorValue();
}

void TcxCustomControlController::RefreshFocusedCell(TcxCustomInplaceEditContainer* AItem) {
  if (!AItem) return;
  if (TcxEditCellViewInfo* Cell = GetFocusedCellViewInfo(AItem)) Cell->Invalidate(true);
}

void TcxCustomControlController::FocusChanged() {
  const bool Focused = FControl->Focused() || EditorHasFocus();
  if (Focused) {
    RefreshEditor();
    TcxCustomEdit* Edit = FEditingController->Edit();
    if (Edit && GetAlwaysShowEditor() && !Edit->Focused() && Edit->CanFocus())
      Edit->SetFocus();
    else if (Edit && !Edit->Focused() && !GetAlwaysShowEditor())
      FEditingController->EndCellEdit(true);
    else if (GetAlwaysShowEditor() && !Edit && OpensEditorOnMouseDown())
      FEditingController->ActivateCellEditor(nullptr);
  }
  if (Focused != FControlFocused) {
    FControlFocused = Focused;
    FocusStateChanged();
  }
}

void TcxCustomControlController::FocusStateChanged() {
  if (!FControlFocused && FEditingController->CanEndEditOnExit()) FEditingController->EndCellEdit(true);
  FControl->Invalidate();
}

void TcxCustomControlController::ControlExit() {
  TcxControlDataController* DC = FControl->DataController();
  if (CancelOnExitApplies()) {
    DC->CancelRecord();
    return;
  }
  DC->UpdateControlData();
  if (PostOnEndEdit()) DC->PostRecord();
}

void TcxCustomControlController::FocusControlFromEditor() {
  if (FEditingController->IsEditorUnfocused() || EditorHasFocus()) {
    TControl* Focused = TWinControl::FindControl(GetFocus());
    if (FControl->CanFocus() && Focused && (Focused == FControl || FControl->ContainsControl(Focused)))
      FControl->SetFocus();
  }
  if (FAllowEditorRefresh) FEditorRefreshPending = true;
}

// ---- Editor -------------------------------------------------------------------------------

void TcxCustomControlController::RefreshEditor() {
  FEditorRefreshPending = false;
  if (FAllowEditorRefresh && GetAlwaysShowEditor()) FEditingController->ActivateCellEditor(nullptr);
}

void TcxCustomControlController::EditingItemChanged(TcxCustomInplaceEditContainer* AItem) {
  if (!FSameCell) RefreshFocusedCell(AItem);
}

void TcxCustomControlController::RefreshFocusedCells() {
  if (!FControl->ViewInfo() || FControl->IsDestroying()) return;
  bool HeightChanged = false;
  {
    // Counted as an update, but the layout is computed here only when a
    // height asks for it.
    ++FControl->FLockCount;
    struct TUnlock {
      Integer& Count;
      ~TUnlock() { --Count; }
    } Unlock{FControl->FLockCount};
    for (Integer I = 0; I < FControl->ItemCount(); ++I)
      if (TcxEditCellViewInfo* Cell = GetFocusedCellViewInfo(FControl->Items(I)))
        HeightChanged = Cell->RefreshCellParams(true) || HeightChanged;
  }
  if (!HeightChanged || FControl->IsLocked()) return;
  FControl->ContentChanged();
  FControl->LayoutChanged();
}

void TcxCustomControlController::DragOver() { FEditingController->EndCellEdit(true); }

void TcxCustomControlController::EndDrag(Integer X, Integer Y) {
  FHitTestController->HitTest(TPoint{X, Y});
  if (FEditingAtMouseDown || GetAlwaysShowEditor()) FEditingController->ActivateCellEditor(nullptr);
}

// ---- Incremental search -------------------------------------------------------------------

TcxCustomInplaceEditContainer* TcxCustomControlController::SearchItem() const {
  TcxControlOptionsBehavior* Behavior = FControl->OptionsBehavior();
  if (Behavior->IncSearch() && Behavior->IncSearchItem()) return Behavior->IncSearchItem();
  return FFocusedItem;
}

TcxCustomInplaceEditContainer* TcxCustomControlController::GetIncSearchingItem() const { return FIncSearchItem; }

void TcxCustomControlController::IncSearch(const String& AText) {
  if (AText == FIncSearchText) return;
  TcxCustomInplaceEditContainer* Item = FIncSearchItem ? FIncSearchItem : SearchItem();
  if (!Item) return;
  if (AText.empty()) return CancelIncSearch();
  if (FControl->DataController()->Search()->Locate(Item->ItemIndex(), AText)) {
    FIncSearchItem = Item;
    FIncSearchText = AText;
  }
  RefreshFocusedCell(Item);
}

void TcxCustomControlController::CancelIncSearch() {
  if (!FIncSearchItem) return;
  TcxCustomInplaceEditContainer* Item = std::exchange(FIncSearchItem, nullptr);
  FIncSearchText.clear();
  FControl->DataController()->Search()->Cancel();
  RefreshFocusedCell(Item);
}

bool TcxCustomControlController::ProcessIncSearchKey(Word Key, TShiftState Shift) {
  if (!FIncSearchItem) return false;
  switch (Key) {
    case VK_BACK:
      IncSearch(FIncSearchText.substr(0, FIncSearchText.empty() ? 0 : FIncSearchText.size() - 1));
      return true;
    case VK_ESCAPE: CancelIncSearch(); return true;
    case VK_UP:
    case VK_DOWN:
      if (Shift != ssCtrl) return false;
      FControl->DataController()->Search()->LocateNext(Key == VK_DOWN);
      return true;
    default: return false;
  }
}

// ---- Cell navigator -----------------------------------------------------------------------

void TcxCustomCellNavigator::KeyDown(Word& Key, TShiftState Shift) {
  switch (Key) {
    case VK_TAB: SelectNextCell(!(Shift & ssShift), TabMovesByRow, Shift); break;
    case VK_RETURN:
    case VK_F2: {
      if (Shift != 0) return;
      TcxCustomInplaceEditContainer* Item = FController->FocusedItem();
      if (Item) Item->SetItemFocused(true);
      if (!FController->IsEditing()) return;
      break;
    }
    case VK_LEFT:
    case VK_RIGHT: SelectNextCell(Key == VK_RIGHT, false, Shift); break;
    case VK_UP:
    case VK_DOWN: SelectNextCell(Key == VK_DOWN, true, Shift); break;
    default: return;
  }
  Key = 0;
}

void TcxCustomCellNavigator::KeyPress(Char& Key) {
  if (std::exchange(EatKeyPress, false)) return;
  OpenEditorByChar(Key);
  Key = 0;
}

void TcxCustomCellNavigator::OpenEditorByChar(Char AKey) {
  const bool Opens = AKey == Char(VK_BACK) || AKey == Char(22) || AKey == Char(24) || (AKey >= Char(32));
  if (!Opens || !FController->FocusedItem()) return;
  FController->EditingController()->ActivateCellEditorByKey(FController->FocusedItem(), AKey);
}

void TcxCustomCellNavigator::SelectNextCell(bool AForward, bool AByRow, TShiftState AShift) {
  Integer Row = -1, Cell = -1;
  GetFocusedCell(Row, Cell);
  if (Row < 0) return;
  Integer NewRow = Row, NewCell = Cell;
  if (!FindFocusableCell(NewRow, NewCell, AForward ? 1 : -1, AByRow)) return;
  if (NewRow != Row || NewCell != Cell) SetFocusedCell(NewRow, NewCell, AShift);
}

bool TcxCustomCellNavigator::FindFocusableCell(Integer& ARowIndex, Integer& ACellIndex, Integer ADirection,
                                               bool AByRow) {
  if (AByRow) {
    const Integer Row = ARowIndex + ADirection;
    if (Row < 0 || Row >= RowCount()) return false;
    ARowIndex = Row;
    ACellIndex = std::min(ACellIndex, GetCellCount(Row) - 1);
    return ACellIndex >= 0 || AllowsEmptyRow();
  }
  Integer Row = ARowIndex, Cell = ACellIndex;
  for (;;) {
    Cell += ADirection;
    if (Cell < 0 || Cell >= GetCellCount(Row)) {
      if (!FController->GetFocusCellOnCycle()) return false;
      Row += ADirection;
      if (Row < 0 || Row >= RowCount()) return false;
      Cell = ADirection > 0 ? 0 : GetCellCount(Row) - 1;
      if (Cell < 0) return false;
    }
    TcxCustomInplaceEditContainer* Item = GetCellItem(Row, Cell);
    if (Item && Item->CanFocus() && Item->CanTabStop()) {
      ARowIndex = Row;
      ACellIndex = Cell;
      return true;
    }
  }
}
