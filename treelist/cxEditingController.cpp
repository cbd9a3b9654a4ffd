#include "treelist/cxEditingController.h"

#include <utility>

#include "data/cxDataGuards.h"
#include "editors/cxDropDownEdit.h"
#include "foundation/cxGraphics.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/cursors.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"
#include "treelist/cxEditingControl.h"

namespace {

// Left of an editor kept off screen while its cell is not visible.
constexpr Integer cxEditorOffScreenLeft = 1073741823;

}  // namespace

TcxEditingController::TcxEditingController(TcxCustomControlController* AController)
    : FController(AController), FEditList(std::make_unique<TcxInplaceEditList>()) {}

TcxEditingController::~TcxEditingController() {
  FreeDelayTimer();
  UnhookCellEditor();
  for (Integer I = 0; I < FEditList->Count(); ++I) FEditList->Items(I).Edit->SetParent(nullptr);
}

TcxEditingControl* TcxEditingController::EditingControl() const { return FController->EditingControl(); }

TcxEditCellViewInfo* TcxEditingController::EditingCell() const {
  return FEditingItem ? FController->GetFocusedCellViewInfo(FEditingItem) : nullptr;
}

TcxCustomEditProperties* TcxEditingController::GetCellEditProperties() {
  if (!FEditingItem || EditingControl()->IsDestroying()) return nullptr;
  const Integer Record = FController->GetFocusedRecordIndex();
  return FEditingItem->GetCellEditingProperties(Record, FEditingItem->GetCellProperties(Record));
}

// ---- Switching ----------------------------------------------------------------------------

void TcxEditingController::SwitchEditedItem(TcxCustomInplaceEditContainer* AItem) {
  if (AItem == FEditingItem || FSwitching) return;
  TcxFlagGuard Switching(FSwitching, true);
  if (AItem) {
    bool Allow = AItem->CanEdit();
    if (Allow) EditingControl()->OnEditing(EditingControl(), AItem, Allow);
    if (!Allow) return;
    FController->ChangeFocusedItem(AItem);
  }
  EndCellEdit(false);
  FEditingItem = AItem;
  // Inside BeginCellEdit the editor is being prepared for this item already.
  if (!AItem || FPreparing) return;
  try {
    ActivateCellEditor(AItem);
  } catch (...) {
    FEditingItem = nullptr;
    throw;
  }
  if (!FEdit) FEditingItem = nullptr;
}

bool TcxEditingController::BeginCellEdit(TcxCustomInplaceEditContainer* AItem, bool AByMouse) {
  FController->ClearEditorRefreshPending();
  TcxEditingControl* Control = EditingControl();
  if (FPreparing || FHiding || !AItem || Control->DragAndDropState() != ddsNone) return false;
  if (AItem == FEditingItem && !FSwitching) {
    if (!FEdit) return false;
    return (Control->Focused() && !FEdit->Focused()) || AByMouse;
  }
  TcxFlagGuard Preparing(FPreparing, true);
  // An editor is prepared only in the focused control.
  if (!Control->Focused()) return false;
  FController->UpdateViewInfo();
  TcxEditCellViewInfo* Cell = FController->GetFocusedCellViewInfo(AItem);
  AItem->SetItemFocused(Cell != nullptr);
  if (AItem != FEditingItem || !Cell) return false;
  try {
    TcxCustomEditProperties* Properties = GetCellEditProperties();
    if (!Properties) {
      AItem->SetItemFocused(false);
      return false;
    }
    FEdit = FEditList->GetEdit(Properties);
    FEdit->Hide();
    FEdit->SetParent(Control);
  } catch (...) {
    FEdit = nullptr;
    AItem->SetItemFocused(false);
    throw;
  }
  Cell->Invalidate();
  HookCellEditor();
  return true;
}

void TcxEditingController::HookCellEditor() {
  TcxCustomEditProperties* Properties = FEdit->ActiveProperties();
  FPrevOnChange = std::exchange(Properties->OnChange, TNotifyEvent());
  FPrevOnEditValueChanged = std::exchange(Properties->OnEditValueChanged, TNotifyEvent());
  PlaceEditor();
  LoadEditorValue();
  Properties->OnChange = TNotifyEvent(this, [this](TObject* S) { EditChange(S); });
  Properties->OnEditValueChanged = TNotifyEvent(this, [this](TObject* S) { EditValueChanged(S); });
  FEdit->OnPostEditValue = TNotifyEvent(this, [this](TObject* S) { EditorPostValue(S); });
  FEdit->OnAfterKeyDown =
      TKeyEvent(this, [this](TObject* S, Word& K, TShiftState Sh) { EditAfterKeyDown(S, K, Sh); });
  FEdit->OnEditing = TcxEditEditingEvent(this, [this](TObject*, bool& CanEdit) {
    CanEdit = FEditingItem && FEditingItem->CanInitEditing();
  });
  FEdit->OnFocusChanged = TNotifyEvent(this, [this](TObject* S) { EditFocusChanged(S); });
  FEdit->OnEnter = TNotifyEvent(this, [this](TObject* S) { EditorEnter(S); });
  FEdit->OnExit = TNotifyEvent(this, [this](TObject* S) { EditorExit(S); });
  FEdit->OnDblClick = TNotifyEvent(this, [this](TObject* S) { EditDblClick(S); });
  FEdit->OnKeyDown = TKeyEvent(this, [this](TObject* S, Word& K, TShiftState Sh) { EditorKeyDown(S, K, Sh); });
  FEdit->OnKeyPress = TKeyPressEvent(this, [this](TObject* S, Char& K) { EditorKeyPress(S, K); });
  FEdit->OnKeyUp = TKeyEvent(this, [this](TObject* S, Word& K, TShiftState Sh) { EditorKeyUp(S, K, Sh); });
  EditingControl()->OnInitEdit(EditingControl(), FEditingItem, FEdit);
}

void TcxEditingController::UnhookCellEditor() {
  if (!FEdit) return;
  if (TcxCustomEditProperties* Properties = FEdit->ActiveProperties()) {
    Properties->OnChange = std::exchange(FPrevOnChange, TNotifyEvent());
    Properties->OnEditValueChanged = std::exchange(FPrevOnEditValueChanged, TNotifyEvent());
  }
  FEdit->OnPostEditValue = TNotifyEvent();
  FEdit->OnAfterKeyDown = TKeyEvent();
  FEdit->OnEditing = TcxEditEditingEvent();
  FEdit->OnFocusChanged = TNotifyEvent();
  FEdit->OnEnter = TNotifyEvent();
  FEdit->OnExit = TNotifyEvent();
  FEdit->OnDblClick = TNotifyEvent();
  FEdit->OnKeyDown = TKeyEvent();
  FEdit->OnKeyPress = TKeyPressEvent();
  FEdit->OnKeyUp = TKeyEvent();
}

// ---- Activation ---------------------------------------------------------------------------

TcxCustomEditData* TcxEditingController::ItemEditData(const TcxCustomInplaceEditContainer* AItem) const {
  auto It = FEditData.find(AItem);
  return It == FEditData.end() ? nullptr : It->second.get();
}

void TcxEditingController::FreeEditData(const TcxCustomInplaceEditContainer* AItem) {
  auto It = FEditData.find(AItem);
  if (It == FEditData.end()) return;
  std::unique_ptr<TcxCustomEditData> Data = std::move(It->second);
  FEditData.erase(It);
  DropEditData(std::move(Data));
}

void TcxEditingController::DropEditData(std::unique_ptr<TcxCustomEditData> AData) {
  if (AData) FEditList->ForgetEditData(AData.get());
}

void TcxEditingController::KeepEditData(TcxCustomInplaceEditContainer* AItem, TcxCustomEditData* AData) {
  std::unique_ptr<TcxCustomEditData> Made(AData != ItemEditData(AItem) ? AData : nullptr);
  if (!Made) return;
  // Kept for the item, unless it went during the activation.
  TcxEditingControl* Control = EditingControl();
  for (Integer I = 0; Control && I < Control->ItemCount(); ++I)
    if (Control->GetControlItem(I) == AItem) {
      DropEditData(std::exchange(FEditData[AItem], std::move(Made)));
      return;
    }
  DropEditData(std::move(Made));
}

void TcxEditingController::ActivateCellEditor(TcxCustomInplaceEditContainer* AItem) {
  if (!AItem) AItem = FController->FocusedItem();
  if (!BeginCellEdit(AItem, false)) return;
  TcxCustomEditData* Data = ItemEditData(AItem);
  FEdit->ActivateInplace(Data);
  KeepEditData(AItem, Data);
}

void TcxEditingController::ActivateCellEditorByKey(TcxCustomInplaceEditContainer* AItem, Char AKey) {
  if (!AItem) AItem = FController->FocusedItem();
  if (!BeginCellEdit(AItem, false)) return;
  TcxCustomEditData* Data = ItemEditData(AItem);
  FEdit->ActivateByKey(AKey, Data);
  KeepEditData(AItem, Data);
}

void TcxEditingController::ActivateCellEditorByMouse(TcxCustomInplaceEditContainer* AItem, TShiftState AShift,
                                                     const TPoint& P) {
  if (!AItem) AItem = FController->FocusedItem();
  if (!BeginCellEdit(AItem, true)) return;
  TcxCustomEditData* Data = ItemEditData(AItem);
  FEdit->ActivateByMouse(AShift, P.X, P.Y, Data);
  KeepEditData(AItem, Data);
}

void TcxEditingController::CellEditDelayTimer(TcxCustomInplaceEditContainer* AItem) {
  FreeDelayTimer();
  FDelayItem = AItem;
  FDelayTimer = std::make_unique<TTimer>(nullptr);
  FDelayTimer->SetInterval(GetDoubleClickTime());
  FDelayTimer->SetOnTimer(TNotifyEvent(this, [this](TObject* S) { DelayTimerTick(S); }));
}

void TcxEditingController::DelayTimerTick(TObject*) {
  TcxCustomInplaceEditContainer* Item = FDelayItem;
  FreeDelayTimer();
  if (Item) Item->SetItemFocused(true);
}

void TcxEditingController::FreeDelayTimer() {
  FDelayTimer.reset();
  FDelayItem = nullptr;
}

// ---- Placing, loading, storing ------------------------------------------------------------

void TcxEditingController::PlaceEditor() {
  if (!FEdit || !EditingCell()) return;
  if (FPreparing)
    PlaceCellEditor();
  else
    FUpdateNeeded = true;
  FPlaced = true;
}

void TcxEditingController::PlaceCellEditor() {
  FUpdateNeeded = false;
  if (!FEdit) return;
  FController->UpdateViewInfo();
  TcxEditCellViewInfo* Cell = EditingCell();
  if (Cell && Cell->Visible() && !IsRectEmpty(Cell->EditRect())) {
    if (FPreparing) {
      Cell->RefreshViewParams();
      ApplyCellStyle(Cell);
    }
    FEdit->SetBoundsRect(Cell->EditRect());
    FEdit->Show();
  } else {
    FEdit->SetLeft(cxEditorOffScreenLeft);
  }
}

void TcxEditingController::ApplyCellStyle(TcxEditCellViewInfo* ACell) {
  // The editor is shared by every cell of its properties: it takes the
  // look of the cell it opens on each time. (The cells' shared edit style
  // is left alone: each cell hands its own look to its view.)
  const TcxViewParams& Params = ACell->ViewParams();
  TFont* Font = Params.Font ? Params.Font : EditingControl()->Font();
  TcxCustomEditStyle* Style = FEdit->Style();
  Style->BeginUpdate();
  try {
    Style->SetFont(Font);
    Style->SetColor(Params.Color);
    Style->SetTextColor(Params.TextColor);
  } catch (...) {
    Style->EndUpdate();
    throw;
  }
  Style->EndUpdate();
}

void TcxEditingController::MoveEditorOffScreen() {
  if (!FEdit || !IsEditing()) return;
  TcxEditCellViewInfo* Cell = EditingCell();
  if (FPlaced && !(Cell && Cell->Visible())) return;
  FUpdateNeeded = false;
  FEdit->SetLeft(cxEditorOffScreenLeft);
}

void TcxEditingController::UpdateEditorIfNeeded() {
  if (FUpdateNeeded) PlaceCellEditor();
}

void TcxEditingController::LoadEditorValue() {
  if (!FEdit || !FEditingItem || FHiding || FEdit->IsPosting()) return;
  FEdit->SetEditValue(FEditingItem->ReadEditValue());
  FEdit->SelectAllText();
}

bool TcxEditingController::StoreEditorValue() {
  if (!FEdit || !FEditingItem || !FEdit->ModifiedAfterEnter()) return true;
  return FEdit->PostEditValue(false);
}

void TcxEditingController::EditorPostValue(TObject*) {
  // The editor posts: the value goes into the record. A record that takes
  // no value is an error the user sees; the editor keeps the text.
  if (FEditingItem && !FEditingItem->WriteEditValue(FEdit->EditValue()))
    throw Exception(u"The value could not be stored in the record");
}

// ---- Ending -------------------------------------------------------------------------------

bool TcxEditingController::EndCellEdit(bool AAccept) {
  FController->ClearEditorRefreshPending();
  FUpdateNeeded = false;
  FreeDelayTimer();
  if (FHiding || !FEditingItem) return true;
  TcxCustomInplaceEditContainer* Item = FEditingItem;
  {
    TcxFlagGuard Hiding(FHiding, true);
    if (AAccept && FEdit) {
      // An invalid value raises (the editor shows the error road and stays
      // open); a store that fails was shown by the editor and keeps it open.
      if (!FEdit->ValidateEdit(true)) return false;
      if (!StoreEditorValue()) return false;
      if (FController->PostOnEndEdit()) EditingControl()->DataController()->PostRecord();
      // What the editor added to its copy of the properties (the entries of
      // a most-recently-used list) goes back to the cell's properties.
      TcxEditCellViewInfo* Cell = EditingCell();
      if (Cell && Cell->Properties() && FEdit->ActiveProperties())
        FEdit->ActiveProperties()->CopyExtraDataTo(Cell->Properties());
    }
    if (!EditingControl()->IsDestroying()) EditingControl()->OnEdited(EditingControl(), Item);
    FEditingItem = nullptr;
    FController->EditingItemChanged(Item);
    DetachCellEditor();
  }
  return true;
}

void TcxEditingController::DetachCellEditor() {
  if (!FEdit) return;
  TcxCustomEdit* Edit = FEdit;
  UnhookCellEditor();
  Edit->SetModifiedAfterEnter(false);
  Edit->SetModified(false);
  FEdit = nullptr;
  FController->FocusControlFromEditor();
  Edit->Hide();
  FPlaced = false;
}

void TcxEditingController::PropertiesRemoved(TcxCustomEditProperties* AProperties) {
  if (FEdit && GetCellEditProperties() == AProperties) SwitchEditedItem(nullptr);
  FEditList->RemoveEdit(AProperties);
}

// ---- State --------------------------------------------------------------------------------

bool TcxEditingController::IsEditorUnfocused() const { return !FEdit || !FEdit->Focused() || FHiding; }

bool TcxEditingController::CanEndEditOnExit() const {
  return !FController->GetAlwaysShowEditor() || EditingControl()->Focused();
}

bool TcxEditingController::MustCloseEditorOnRecordChange() const {
  TcxEditingControl* Control = EditingControl();
  return !(FController->GetAlwaysShowEditor() && (!FEditingItem || !FEditingItem->OnGetEditProperties) &&
           !Control->OnEditing && !Control->OnInitEdit);
}

// ---- Editor events ------------------------------------------------------------------------

void TcxEditingController::EditorKeyDown(TObject*, Word& Key, TShiftState Shift) {
  TcxEditingControl* Control = EditingControl();
  Control->OnKeyDown(Control, Key, Shift);
  if (Key == 0) return;
  // Esc in an open popup closes only the popup (the editor does that).
  if (Key == VK_ESCAPE && FEdit && FEdit->HasOpenPopup()) return;
  FController->BeforeEditKeyDown(Key, Shift);
  if (FController->IsNavigationKey(Key, Shift)) FController->MakeFocusedCellVisible();
  // A refused value raises out of ending the edit: the user is told why
  // here, so that it does not end in the application's error hook.
  try {
    switch (Key) {
      case VK_RETURN:
        Key = 0;
        // Enter in an open drop-down first takes the row chosen in it (with
        // the arrows, say), as a click on the row would, then ends the edit.
        if (auto* DropDown = dynamic_cast<TcxCustomDropDownEdit*>(FEdit); DropDown && DropDown->HasOpenPopup()) {
          DropDown->ClosePopup(DropDown->DoEditing());
          if (FEdit != DropDown || DropDown->HasOpenPopup()) return;
        }
        if (!EndCellEdit(true)) return;
        if (FController->GetGoToNextCellOnEnter()) {
          Word Enter = VK_RETURN;
          FController->KeyDownFromEditor(Enter, Shift);
          ActivateCellEditor(nullptr);
        } else {
          FController->RefreshEditor();
        }
        return;
      case VK_ESCAPE: {
        const bool Changed = FEdit && FEdit->ModifiedAfterEnter();
        EndCellEdit(false);
        FController->RefreshEditor();
        // Esc in an unchanged editor goes on to the control (it cancels the
        // record being edited).
        if (Changed)
          Key = 0;
        else
          FController->KeyDownFromEditor(Key, Shift);
        return;
      }
      case VK_DELETE:
        if (Shift == ssCtrl) {
          FController->KeyDownFromEditor(Key, Shift);
          Key = 0;
        }
        return;
      case VK_TAB:
        // Taken before the editor would move the focus out of the control.
        if (FController->IsNavigationKey(Key, Shift)) FController->KeyDownFromEditor(Key, Shift);
        return;
      default:
        // The other navigation keys come back once the editor has had them
        // (EditAfterKeyDown): a key the editor uses is not also the control's.
        return;
    }
  } catch (...) {
    // The key did its work by refusing: the editor does not take it too.
    Key = 0;
    cxShowEditError();  // the editor stays open on the text for the user to mend
  }
}

void TcxEditingController::EditAfterKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
  if (Sender != FEdit || FHiding || !FController->IsNavigationKey(Key, Shift)) return;
  try {
    FController->KeyDown(Key, Shift);
  } catch (...) {
    // Leaving the row refused the editor's value or the record: the user is
    // told, the editor stays on the text.
    Key = 0;
    cxShowEditError();
  }
}

void TcxEditingController::EditorKeyPress(TObject*, Char& Key) {
  TcxEditingControl* Control = EditingControl();
  Control->OnKeyPress(Control, Key);
  if (Key == Char(VK_ESCAPE)) Key = 0;
  FController->MakeFocusedCellVisible();
}

void TcxEditingController::EditorKeyUp(TObject*, Word& Key, TShiftState Shift) {
  EditingControl()->OnKeyUp(EditingControl(), Key, Shift);
}

void TcxEditingController::EditorEnter(TObject*) {
  if (FController->IsControlFocused()) return;
  FController->SetControlFocused(true);
  FController->FocusStateChanged();
}

void TcxEditingController::EditorExit(TObject*) {
  // Only a focus move inside the program gets here: switching to another
  // application leaves the editor as it is.
  if (CanEndEditOnExit()) {
    try {
      EndCellEdit(!FController->CancelOnExitApplies());
    } catch (...) {
      if (FEdit && FEdit->CanFocus()) FEdit->SetFocus();
      throw;
    }
    // A failed store kept the editor: the focus goes back to it.
    if (FEdit && FEdit->CanFocus()) FEdit->SetFocus();
  }
  FController->FocusChanged();
}

void TcxEditingController::EditDblClick(TObject*) { EditingControl()->OnDblClick(EditingControl()); }

void TcxEditingController::EditChange(TObject* Sender) {
  FPrevOnChange(Sender);
  EditingControl()->OnEditChanged(EditingControl(), FEditingItem);
}

void TcxEditingController::EditValueChanged(TObject* Sender) {
  FPrevOnEditValueChanged(Sender);
  EditingControl()->OnEditValueChanged(EditingControl(), FEditingItem);
}

// ---- Hot tracking and hints ---------------------------------------------------------------

TcxHotTrackController::TcxHotTrackController(TcxEditingControl* AControl)
    : FControl(AControl), FTimer(std::make_unique<TTimer>(nullptr)) {
  FTimer->SetEnabled(false);
  FTimer->SetInterval(cxHintShowPause);
  FTimer->SetOnTimer(TNotifyEvent(this, [this](TObject* S) { TimerShow(S); }));
}

TcxHotTrackController::~TcxHotTrackController() = default;

TPoint TcxHotTrackController::HintPosition(const TPoint& AHintPoint, bool ABelowCursor, bool AIsEditCell) const {
  TPoint At = FControl->ClientToScreen(AHintPoint);
  // Below the cursor the hint leaves every row the cursor draws free.
  if (ABelowCursor) At.Y += CurrentCursorHeightBelowHotSpot();
  // A cell's hint shows its text where the cell's text stands, the hint
  // window's frame around it.
  if (AIsEditCell) {
    --At.X;
    --At.Y;
  }
  return At;
}

void TcxHotTrackController::HotTrack(TObject* AElement, const TPoint& P) {
  if (FControl->IsLocked()) {
    FPrevElement = nullptr;
    FPrevPoint = TPoint{-1, -1};
  }
  if (AElement != FPrevElement) {
    if (auto* Old = dynamic_cast<IcxHintHotTrackItem*>(FPrevElement)) Old->UpdateHotTrackState(TPoint{-1, -1});
    if (auto* New = dynamic_cast<IcxHintHotTrackItem*>(AElement)) New->UpdateHotTrackState(P);
  } else if (P.X != FPrevPoint.X || P.Y != FPrevPoint.Y) {
    if (auto* Item = dynamic_cast<IcxHintHotTrackItem*>(AElement)) Item->UpdateHotTrackState(P);
  }
  FPrevElement = AElement;
  FPrevPoint = P;
  if (AElement != FHintElement) HideHint();
  if (AElement != FHintElement && NeedHint(AElement)) ShowHint();
}

bool TcxHotTrackController::FormShowsHints() const {
  if (!IsApplicationActive()) return false;
  TCustomForm* Form = GetParentForm(FControl);
  if (!Form || Form->Active() || Form->FormStyle() == fsMDIForm) return true;
  // The frame's active child window counts as active with its frame.
  TCustomForm* Frame = Application ? Application->MainForm() : nullptr;
  return Form->FormStyle() == fsMDIChild && Frame && Frame->FormStyle() == fsMDIForm &&
         Frame->ActiveMDIChild() == Form;
}

bool TcxHotTrackController::NeedHint(TObject* AElement) {
  auto* Item = dynamic_cast<IcxHintHotTrackItem*>(AElement);
  if (!Item || !FHintsEnabled || FControl->MouseButtonPressed() || FControl->DragAndDropState() != ddsNone ||
      FControl->InDesignMode() || !FormShowsHints())
    return false;
  TcxEditingController* Editing = FControl->EditingController();
  if (Editing->IsEditing() && AElement == FControl->Controller()->GetEditingCellViewInfo()) return false;
  bool Below = false;
  TRect TextRect{};
  String Text;
  TcxScreenCanvas Measure;
  Measure.SetFont(FControl->Font());
  if (!Item->NeedShowHint(&Measure, FPrevPoint, Text, Below, TextRect) || Text.empty()) return false;
  FHintText = Text;
  const TPoint At = HintPosition(Item->GetHintPoint(), Below, dynamic_cast<TcxEditCellViewInfo*>(AElement) != nullptr);
  if (!FHintWindow) FHintWindow = std::make_unique<THintWindow>(nullptr);
  FHintWindow->Font()->Assign(Measure.GetFont());
  FHintRect = FHintWindow->CalcHintRect(Screen ? Screen->Width() : HintMaxWidthDefault, Text);
  OffsetRect(FHintRect, At.X, At.Y);
  return true;
}

void TcxHotTrackController::ShowHint() {
  if (FHintVisible || FPrevElement == FHintElement || !FHintWindow) return;
  BeforeShowHint();
  FHintElement = FPrevElement;
  FHintWindow->SetColor(Application ? Application->HintColor() : clInfoBk);
  FHintWindow->ActivateHint(FHintRect, FHintText);
  FHintVisible = true;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(cxHintHidePause);
  FTimer->SetOnTimer(TNotifyEvent(this, [this](TObject* S) { TimerHide(S); }));
  FTimer->SetEnabled(cxHintHidePause > 0);
}

void TcxHotTrackController::HideHint() {
  if (!FHintVisible) return;
  BeforeHideHint();
  if (FHintWindow) FHintWindow->ReleaseHandle();
  FHintVisible = false;
  FHintElement = nullptr;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(cxHintShowPause);
  FTimer->SetOnTimer(TNotifyEvent(this, [this](TObject* S) { TimerShow(S); }));
}

void TcxHotTrackController::ElementRemoved(TObject* AElement) {
  if (AElement != FPrevElement && AElement != FHintElement) return;
  if (AElement == FHintElement) HideHint();
  FPrevElement = nullptr;
  FHintElement = nullptr;
  HotTrack(nullptr, FPrevPoint);
}

void TcxHotTrackController::Reset() {
  HideHint();
  FPrevElement = nullptr;
  FPrevPoint = TPoint{-1, -1};
}
