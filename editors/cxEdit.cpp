#include "editors/cxEdit.h"

#include <algorithm>

#include "data/cxVariants.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

// Modifier bits of a shortcut (a key code in the low byte).
constexpr Word scShift = 0x2000;
constexpr Word scCtrl = 0x4000;
constexpr Word scAlt = 0x8000;

TShortCut cxShortCut(Word Key, TShiftState Shift) {
  TShortCut result = Key & 0xFF;
  if (Shift & ssShift) result |= scShift;
  if (Shift & ssCtrl) result |= scCtrl;
  if (Shift & ssAlt) result |= scAlt;
  return result;
}

bool IsNavigationKey(Word Key) { return Key >= VK_PRIOR && Key <= VK_DOWN; }

Char UpperAscii(Char C) { return (C >= u'a' && C <= u'z') ? Char(C - u'a' + u'A') : C; }

// The caption marks AChar as its accelerator ("&x"; "&&" is a literal "&").
bool IsAccelerator(Char AChar, const String& ACaption) {
  for (size_t i = 0; i + 1 < ACaption.size(); ++i) {
    if (ACaption[i] != u'&') continue;
    if (ACaption[i + 1] == u'&') {
      ++i;
      continue;
    }
    return UpperAscii(ACaption[i + 1]) == UpperAscii(AChar);
  }
  return false;
}

// Restores a flag or counter when the scope ends (also on an exception).
template <class T>
class TRestoreOnExit {
public:
  TRestoreOnExit(T& AValue, T ANew) : FValue(AValue), FSaved(AValue) { FValue = ANew; }
  ~TRestoreOnExit() { FValue = FSaved; }
  TRestoreOnExit(const TRestoreOnExit&) = delete;
  TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

private:
  T& FValue;
  T FSaved;
};

// Raises a counter for the scope.
class TCounterScope {
public:
  explicit TCounterScope(Integer& ACounter) : FCounter(ACounter) { ++FCounter; }
  ~TCounterScope() { FCounter = std::max(0, FCounter - 1); }
  TCounterScope(const TCounterScope&) = delete;
  TCounterScope& operator=(const TCounterScope&) = delete;

private:
  Integer& FCounter;
};

// A change of the value as a user sees it: another type, or another
// content (text compared exactly, so a change of letter case counts).
bool EditValuesDiffer(const Variant& A, const Variant& B) {
  if (VarType(A) != VarType(B)) return true;
  if (VarIsStr(A)) return VarToStr(A) != VarToStr(B);
  return !VariantsEqual(A, B);
}

// The mouse-wheel cursor's picture: a wheel (a rounded slot with a notch)
// between an up and a down arrow, drawn in black on a transparent 32 x 32
// image; the hot spot is the wheel's centre.
constexpr Integer cxEditCursorSize = 32;
constexpr TPoint cxEditMouseWheelHotSpot{16, 16};

void DrawMouseWheelCursor(TCanvas* C) {
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clBlack);
  C->Polygon({TPoint{16, 2}, TPoint{11, 8}, TPoint{21, 8}});
  C->Polygon({TPoint{16, 30}, TPoint{11, 24}, TPoint{21, 24}});
  C->Brush()->SetStyle(bsClear);
  C->RoundRect(12, 10, 21, 23, 6, 6);
  C->MoveTo(16, 13);
  C->LineTo(16, 18);
}

bool GEditCursorsRegistered = false;

}  // namespace

void cxEditRegisterCursors() {
  if (GEditCursorsRegistered) return;
  EnsureGuiRuntime();
  if (!Screen) return;
  GEditCursorsRegistered = true;
  TBitmap image(cxEditCursorSize, cxEditCursorSize);
  image.Canvas()->Brush()->SetColor(clWhite);
  image.Canvas()->FillRect(Rect(0, 0, cxEditCursorSize, cxEditCursorSize));
  DrawMouseWheelCursor(image.Canvas());
  image.SetTransparentColor(clWhite);
  Screen->SetCursors(crcxEditMouseWheel,
                     CreateCursorFromBitmap(&image, nullptr, cxEditMouseWheelHotSpot.X, cxEditMouseWheelHotSpot.Y));
}

// ---- TcxCustomEditMetaClass --------------------------------------------------------------

TcxCustomEdit* TcxCustomEditMetaClass::CreateInplace() const {
  if (!FCreateInplace) CannotCreate();
  return FCreateInplace(nullptr, true);
}

TcxCustomEdit* CreateInplaceEditor(TcxCustomEditClass AEditorClass, TcxCustomEditProperties* AProperties) {
  if (!AEditorClass) throw EInvalidOperation(u"The property set names no editor class");
  TcxCustomEdit* edit = AEditorClass->CreateInplace();
  if (AProperties && !AProperties->InheritsFrom(edit->PropertiesClass())) {
    edit->Free();
    throw EInvalidOperation(u"The property set does not fit the editor class");
  }
  return edit;
}

// ---- TcxEditChangeEventsCatcher ----------------------------------------------------------

void TcxEditChangeEventsCatcher::Lock(bool ALock, bool AFire) {
  if (ALock) {
    if (FLockCount == 0) FOnChangePending = FOnEditValueChangedPending = false;
    ++FLockCount;
    return;
  }
  if (FLockCount == 0) return;
  if (--FLockCount > 0 || !AFire) return;
  if (FEdit->IsLoading() || FEdit->IsDestroying()) return;
  if (std::exchange(FOnChangePending, false)) FEdit->FireChange();
  if (std::exchange(FOnEditValueChangedPending, false)) FEdit->FireEditValueChanged();
}

bool TcxEditChangeEventsCatcher::CatchChange() {
  if (FLockCount > 0) FOnChangePending = true;
  return FLockCount > 0;
}

bool TcxEditChangeEventsCatcher::CatchEditValueChanged() {
  if (FLockCount > 0) FOnEditValueChangedPending = true;
  return FLockCount > 0;
}

// ---- TcxEditDataBinding ------------------------------------------------------------------

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* AEdit) : FEdit(AEdit) {}

TcxEditDataBinding::~TcxEditDataBinding() = default;

IcxEditDefaultValuesProvider* TcxEditDataBinding::DefaultValuesProvider() const {
  if (!FDefaultValuesProvider) {
    auto* provider = GetDefaultValuesProviderClass()->Create(nullptr);
    FDefaultValuesProvider.reset(static_cast<TcxCustomEditDefaultValuesProvider*>(provider));
  }
  return FDefaultValuesProvider.get();
}

bool TcxEditDataBinding::IsEditing() const { return FEdit->IsModified(); }

Variant TcxEditDataBinding::GetDisplayValue() const { return Variant(FEdit->GetCurrentDisplayText()); }

Variant TcxEditDataBinding::GetStoredValue() const { return FEdit->EditValue(); }

void TcxEditDataBinding::Reset() { FEdit->Reset(); }

void TcxEditDataBinding::SetDisplayValue(const Variant& Value) { FEdit->SetDisplayValue(Value); }

void TcxEditDataBinding::UpdateDisplayValue() { FEdit->UpdateDisplayValue(); }

void TcxEditDataBinding::RefreshProperties() {
  if (TcxEditRepositoryItem* item = FEdit->RepositoryItem()) {
    item->Properties()->BeginUpdate();
    item->Properties()->EndUpdate(false);
    FEdit->PropertiesChanged(item->Properties());
  } else {
    FEdit->Properties()->NotifyChanged();
  }
}

TcxCustomEditDefaultValuesProviderClass TcxEditDataBinding::GetDefaultValuesProviderClass() const {
  return TcxCustomEditDefaultValuesProvider::StaticClass();
}

// ---- TcxCustomEditData -------------------------------------------------------------------

TcxCustomEditData::TcxCustomEditData(TcxCustomEdit* AEdit)
    : FEdit(AEdit), FFreeNotificator(std::make_unique<TcxFreeNotificator>(nullptr)) {
  FFreeNotificator->OnComponentRemoved = TcxComponentRemovedEvent(this, &TcxCustomEditData::EditRemoved);
  FFreeNotificator->AddSender(AEdit);
  if (AEdit) AEdit->FlushEditData(this);
}

TcxCustomEditData::~TcxCustomEditData() {
  if (FEdit && FEdit->FEditData == this) FEdit->FEditData = nullptr;
  if (FEdit) FFreeNotificator->RemoveSender(FEdit);
}

void TcxCustomEditData::EditRemoved(TObject*, TComponent* AComponent) {
  if (AComponent == FEdit) FEdit = nullptr;
}

// ---- TcxEditRepositoryItemListenerEditHelper --------------------------------------------

void TcxEditRepositoryItemListenerEditHelper::ItemRemoved(TcxEditRepositoryItem* Sender) {
  if (FEdit->RepositoryItem() == Sender) FEdit->RepositoryItemRemoved();
}

void TcxEditRepositoryItemListenerEditHelper::PropertiesChanged(TcxEditRepositoryItem* Sender) {
  if (FEdit->IsLoading() || FEdit->IsDestroying()) return;
  FEdit->PropertiesChanged(Sender->Properties());
}

// ---- TcxCustomEdit: construction ---------------------------------------------------------

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AIsInplace)
    : TcxContainer(AOwner), FIsInplace(AIsInplace), FAutoSize(!AIsInplace) {
  cxEditRegisterCursors();
  RecreateStylesAndViewInfo();
  FChangeEventsCatcher = std::make_unique<TcxEditChangeEventsCatcher>(this);
  SetControlStyle(ControlStyle() | csCaptureMouse | csSetCaption);
  SetTabStop(true);
  // The base has no inner edit: in place it takes Tab too.
  if (FIsInplace) SetKeys(Keys() | dkAll | dkArrows | dkTab);
  FListenerHelper = std::make_unique<TcxEditRepositoryItemListenerEditHelper>(this);
  FDblClickTimer = std::make_unique<TTimer>(nullptr);
  FDblClickTimer->SetEnabled(false);
  FDblClickTimer->SetInterval(GetDoubleClickTime());
  FDblClickTimer->SetOnTimer(TNotifyEvent(this, &TcxCustomEdit::DblClickTimerFired));
}

TcxCustomEdit::~TcxCustomEdit() {
  if (FRepositoryItem) FRepositoryItem->RemoveListener(FListenerHelper.get());
  FRepositoryItem = nullptr;
  if (FEditData && FEditData->FEdit == this) FEditData->FEdit = nullptr;
  if (FProperties) FProperties->OnPropertiesChanged = nullptr;
}

void TcxCustomEdit::BeforeDestruction() {
  if (FRepositoryItem) FRepositoryItem->RemoveListener(FListenerHelper.get());
  FRepositoryItem = nullptr;
  TcxContainer::BeforeDestruction();
}

void TcxCustomEdit::EnsureCreated() {
  if (FCreated) return;
  FCreated = true;
  FProperties.reset(PropertiesClass()->Create(this));
  FDataBinding.reset(GetDataBindingClass()->Create(this));
  if (FIsInplace) {
    FProperties->OnPropertiesChanged = TNotifyEvent(this, &TcxCustomEdit::PropertiesChanged);
    return;
  }
  FProperties->SetDefaultValuesProvider(FDataBinding->DefaultValuesProvider());
  if (!IsLoading()) FProperties->OnPropertiesChanged = TNotifyEvent(this, &TcxCustomEdit::PropertiesChanged);
  FDataBinding->Refresh();
  PropertiesChanged(FProperties.get());
}

TcxCustomEditPropertiesClass TcxCustomEdit::PropertiesClass() const {
  return static_cast<TcxCustomEditClass>(ClassType())->GetPropertiesClass();
}

TcxCustomEditProperties* TcxCustomEdit::Properties() {
  EnsureCreated();
  return FProperties.get();
}

TcxEditDataBinding* TcxCustomEdit::DataBinding() {
  EnsureCreated();
  return FDataBinding.get();
}

TcxCustomEditProperties* TcxCustomEdit::ActiveProperties() {
  EnsureCreated();
  if (!FRepositoryItem) return FProperties.get();
  TcxCustomEditProperties* properties = FRepositoryItem->Properties();
  properties->SetDefaultValuesProvider(FDataBinding->DefaultValuesProvider());
  return properties;
}

void TcxCustomEdit::HookOwnProperties() {
  FProperties->OnPropertiesChanged = TNotifyEvent(this, &TcxCustomEdit::PropertiesChanged);
  FProperties->SetDefaultValuesProvider(FDataBinding->DefaultValuesProvider());
}

void TcxCustomEdit::UnhookOwnProperties() {
  FProperties->OnPropertiesChanged = nullptr;
  FProperties->SetDefaultValuesProvider(nullptr);
}

void TcxCustomEdit::CreateWnd() {
  EnsureCreated();
  TcxContainer::CreateWnd();
}

void TcxCustomEdit::Loaded() {
  TcxContainer::Loaded();
  LockChangeEvents(true);
  try {
    if (!FRepositoryItem) HookOwnProperties();
    PropertiesChanged(ActiveProperties());
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

bool TcxCustomEdit::IsDataAware() { return DataBinding()->IsDataAware(); }

TcxEditDataBindingClass TcxCustomEdit::GetDataBindingClass() const { return TcxEditDataBinding::StaticClass(); }

void TcxCustomEdit::SetAutoSize(bool Value) {
  if (FIsInplace || FAutoSize == Value) return;
  FAutoSize = Value;
  if (!Value) return;
  AdjustInnerEditBounds();
  RefreshViewStateAtCursor();
}

bool TcxCustomEdit::HasAutoWidth() {
  return FAutoSize && !FIsInplace && ActiveProperties()->ButtonsViewStyle() == cxbvsButtonsAutoWidth;
}

std::unique_ptr<TcxCustomEditViewData> TcxCustomEdit::CreateViewData() {
  std::unique_ptr<TcxCustomEditViewData> viewData(
      ActiveProperties()->CreateViewData(static_cast<TcxCustomEditStyle*>(GetActiveStyle()), FIsInplace));
  if (viewData) PrepareViewData(viewData.get());
  return viewData;
}

void TcxCustomEdit::PrepareViewData(TcxCustomEditViewData* AViewData) {
  AViewData->Enabled = Enabled();
  AViewData->Focused = Focused();
  AViewData->Edit = this;
  AViewData->WindowHandle = HandleAllocated() ? Handle() : 0;
  AViewData->InnerEdit = InnerControl();
}

void TcxCustomEdit::AdjustInnerEditBounds() {
  if (!FCreated || IsDestroying() || !HandleAllocated() || !FAutoSize || !HasContentToShow() || FAdjustingBounds)
    return;
  std::unique_ptr<TcxCustomEditViewData> viewData = CreateViewData();
  if (!viewData) return;
  TRestoreOnExit<bool> adjusting(FAdjustingBounds, true);
  // A kind whose view measures no content (a check box, a picture) keeps
  // the size it was given.
  if (viewData->CalcTextExtent(cxCanvas(), FEditValue).cy <= 0) return;
  TSize size{0, 0};
  viewData->CalcEditorSize(cxCanvas(), FEditValue, TcxEditSizeProperties{}, nullptr, size);
  const TAlign align = Align();
  Integer width = Width(), height = Height();
  if (HasAutoWidth() && (FIsInplace || (align != alTop && align != alBottom && align != alClient && align != alCustom)))
    width = size.cx;
  if (FIsInplace || (align != alLeft && align != alRight && align != alClient && align != alCustom))
    height = size.cy;
  if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
}

void TcxCustomEdit::PaintThroughViewData(TcxCanvas* ACanvas) {
  std::unique_ptr<TcxCustomEditViewData> viewData = CreateViewData();
  TcxCustomEditViewInfoClass infoClass = ActiveProperties()->GetViewInfoClass();
  if (!viewData || !infoClass) return;
  std::unique_ptr<TcxCustomEditViewInfo> viewInfo(dynamic_cast<TcxCustomEditViewInfo*>(infoClass->Create()));
  if (!viewInfo) return;
  // The view draws the value itself: no inner edit stands for it.
  viewData->InnerEdit = nullptr;
  viewData->ComputeViewInfo(ACanvas, ClientRect(), TPoint{-1, -1}, cxmbNone, 0, viewInfo.get(), false);
  viewInfo->Render(ACanvas);
}

bool TcxCustomEdit::PaintsOwnViewData() { return IsDataAware() && (ControlState() & csPaintCopy) != 0; }

TcxEditStyleValues TcxCustomEdit::GetIgnoredStyleValues() {
  return StyleValueBit(svButtonStyle) | StyleValueBit(svButtonTransparency) | StyleValueBit(svPopupBorderStyle);
}

// ---- Repository item ---------------------------------------------------------------------

bool TcxCustomEdit::CanUseRepositoryItem(TcxEditRepositoryItem* AItem) const {
  return !AItem || AItem->Properties()->InheritsFrom(PropertiesClass());
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* Value) {
  if (FRepositoryItem == Value) return;
  if (!CanUseRepositoryItem(Value)) throw Exception(LoadResString(cxSEditRepositoryItemNotAcceptable));
  EnsureCreated();
  BeforeRepositoryItemChange();
  if (FRepositoryItem) FRepositoryItem->RemoveListener(FListenerHelper.get());
  FRepositoryItem = Value;
  if (FRepositoryItem) {
    FRepositoryItem->AddListener(FListenerHelper.get());
    UnhookOwnProperties();
    PropertiesChanged(ActiveProperties());
  } else if (!IsLoading() && !IsDestroying()) {
    HookOwnProperties();
    PropertiesChanged(FProperties.get());
  }
  RepositoryItemChanged();
}

void TcxCustomEdit::RepositoryItemRemoved() {
  FRepositoryItem = nullptr;
  if (IsDestroying() || !FCreated) return;
  // As setting the item to nothing: later changes of the own set and the
  // binding's answers (a field's read-only flag) reach the editor again.
  HookOwnProperties();
  PropertiesChanged(FProperties.get());
  RepositoryItemChanged();
}

void TcxCustomEdit::PropertiesChanged(TObject*) {
  FValidated = false;
  RefreshViewStateAtCursor();
}

// ---- Value and modified state ------------------------------------------------------------

void TcxCustomEdit::SetEditValue(const Variant& Value) {
  if (FEditingCheckCount > 0) return;
  TCounterScope settingValue(FValueSettingCount);
  InternalSetEditValue(Value, true);
  // A value the program gives a focused editor is what Esc goes back to.
  if (Focused() && !FModified && ActiveProperties()->CanRevertEditValue()) FValueAtFocusIn = FEditValue;
}

void TcxCustomEdit::ApplyEditValue(const Variant& Value) {
  if (FEditingCheckCount > 0) return;
  InternalSetEditValue(Value, true);
}

void TcxCustomEdit::InternalSetEditValue(const Variant& Value, bool) {
  if (FEditingRequired && !DoEditing()) return;
  TcxCustomEditProperties* properties = ActiveProperties();
  const bool changed = properties->DetectsValueChangeByCompare() && EditValuesDiffer(Value, FEditValue);
  FEditValue = Value;
  UpdateDisplayValue();
  if (FEditingRequired)
    SetModified(true);
  else
    SetModifiedAfterEnter(false);
  if (!changed) return;
  DoEditValueChangedNotice();
  if (!properties->SuppressesChangeEvent()) DoChangeNotice();
}

void TcxCustomEdit::SetModified(bool Value) {
  FModified = Value;
  if (!Value) return;
  FValidated = false;
  FModifiedAfterEnter = true;
}

void TcxCustomEdit::SetModifiedAfterEnter(bool Value) {
  FModifiedAfterEnter = Value;
  if (!Value) FModified = false;
}

void TcxCustomEdit::PushModifiedState() { FModifiedStack.emplace_back(FModifiedAfterEnter, FModified); }

void TcxCustomEdit::PopModifiedState() {
  if (FModifiedStack.empty()) return;
  std::tie(FModifiedAfterEnter, FModified) = FModifiedStack.back();
  FModifiedStack.pop_back();
}

void TcxCustomEdit::HandleInnerEditChange() {
  if (!Focused()) return;
  SetModified(true);
  DoChangeNotice();
}

bool TcxCustomEdit::DoEditing() {
  if (!AllowsTextEditing()) return false;
  if (DataBinding()->IsEditing()) return true;
  TCounterScope checking(FEditingCheckCount);
  bool canEdit = CanModifyValue();
  if (canEdit && OnEditing) OnEditing(this, canEdit);
  if (canEdit && !FIsInplace) canEdit = DataBinding()->ExecuteEditRequest();
  return canEdit;
}

bool TcxCustomEdit::CanModifyValue() {
  TcxCustomEditProperties* properties = ActiveProperties();
  if (FIsInplace) return properties->IsEditable();
  if (properties->AssignedValues()->ReadOnly()) return !properties->ReadOnly();
  IcxEditDefaultValuesProvider* provider = properties->DefaultValuesProvider();
  return (!provider || provider->ProvideCanModify()) && DataBinding()->CanModify();
}

bool TcxCustomEdit::IsModifiedForPost() { return DataBinding()->IsEditing(); }

// ---- Change notices ----------------------------------------------------------------------

void TcxCustomEdit::LockChangeEvents(bool ALock, bool AFireOnUnlock) {
  FChangeEventsCatcher->Lock(ALock, AFireOnUnlock);
}

void TcxCustomEdit::FireChange() {
  Properties()->OnChange(this);
  if (FRepositoryItem) FRepositoryItem->Properties()->OnChange(this);
}

void TcxCustomEdit::FireEditValueChanged() {
  Properties()->OnEditValueChanged(this);
  if (FRepositoryItem) FRepositoryItem->Properties()->OnEditValueChanged(this);
}

void TcxCustomEdit::DoFireChange() {
  if (!FIsInplace) return FireChange();
  // In place the handler sees the editor modified (the container asks).
  PushModifiedState();
  FModified = FModifiedAfterEnter = true;
  try {
    FireChange();
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

void TcxCustomEdit::DoFireEditValueChanged() {
  if (!FIsInplace) return FireEditValueChanged();
  PushModifiedState();
  FModified = FModifiedAfterEnter = true;
  try {
    FireEditValueChanged();
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

void TcxCustomEdit::DoChangeNotice() {
  if (IsLoading() || IsDestroying()) return;
  const bool hasHandler = Properties()->OnChange || (FRepositoryItem && FRepositoryItem->Properties()->OnChange);
  if (hasHandler && !FChangeEventsCatcher->CatchChange()) DoFireChange();
  TcxCustomEditProperties* properties = ActiveProperties();
  if (!properties->SuppressesChangeEvent() && !properties->DetectsValueChangeByCompare()) DoEditValueChangedNotice();
}

void TcxCustomEdit::DoEditValueChangedNotice() {
  if (IsLoading() || IsDestroying()) return;
  const bool hasHandler =
      Properties()->OnEditValueChanged || (FRepositoryItem && FRepositoryItem->Properties()->OnEditValueChanged);
  if (hasHandler && !FChangeEventsCatcher->CatchEditValueChanged()) DoFireEditValueChanged();
}

// ---- Validation, posting, reset ----------------------------------------------------------

bool TcxCustomEdit::HasValidateHandler() {
  return Properties()->OnValidate || (FRepositoryItem && FRepositoryItem->Properties()->OnValidate);
}

void TcxCustomEdit::RunValidateHandlers(Variant& ADisplayValue, TCaption& AErrorText, bool& AError) {
  Properties()->OnValidate(this, ADisplayValue, AErrorText, AError);
  if (FRepositoryItem) FRepositoryItem->Properties()->OnValidate(this, ADisplayValue, AErrorText, AError);
}

bool TcxCustomEdit::ValidateEdit(bool ARaiseOnError) {
  if (!FModified || FValidated) return true;
  Variant displayValue(GetCurrentDisplayText());
  TCaption errorText;
  bool error = false;
  TcxCustomEditProperties* properties = ActiveProperties();
  if (properties->CanValidateDisplayValue()) properties->CheckDisplayValue(displayValue, errorText, error, this);
  if (error) {
    // The editor shows what the handlers left (the user's text, or a text
    // a handler proposed), whether the error is raised or not.
    auto showDisplayValue = [&] {
      if (GetCurrentDisplayText() == VarToStr(displayValue)) return;
      SetDisplayValue(displayValue);
      if (!Visible()) return;
      SelectAllText();
      UpdateDrawValue();
    };
    try {
      if (ARaiseOnError) RaiseEditError(errorText);
    } catch (...) {
      showDisplayValue();
      throw;
    }
    showDisplayValue();
    return false;
  }
  if (FEditingRequired && !DoEditing()) return true;
  SetDisplayValuePreservingModified(displayValue);
  if (!FIsInplace && !Focused()) SetModified(false);
  FValidated = true;
  return true;
}

bool TcxCustomEdit::ValidateAndMark() {
  if (!ValidateEdit(true)) return false;
  UpdateDisplayValue();
  FValidated = true;
  return true;
}

void TcxCustomEdit::SetDisplayValuePreservingModified(const Variant& Value) {
  PushModifiedState();
  try {
    InternalSetDisplayValue(Value);
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

void TcxCustomEdit::RaiseEditError(const String& AText) {
  if (Visible() && !Focused() && CanFocus()) {
    TRestoreOnExit<bool> refocusing(FRefocusing, true);
    SetFocus();
  }
  if (Visible()) SelectAllText();
  if (ActiveProperties()->BeepOnError()) MessageBeep();
  if (!AText.empty()) throw Exception(AText);
}

bool TcxCustomEdit::PostEditValue(bool AValidateFirst) {
  if (AValidateFirst) {
    TRestoreOnExit<bool> notRequired(FEditingRequired, false);
    if (!ValidateEdit(true)) return false;
  }
  EnterPostState();
  struct TLeave {
    TcxCustomEdit* Edit;
    ~TLeave() { Edit->LeavePostState(); }
  } leave{this};
  if (!FIsInplace) {
    try {
      DataBinding()->StoreValue();
    } catch (...) {
      RaiseEditError(String());
      throw;
    }
    // What was stored is what Esc goes back to from now on.
    FModified = false;
    FValueAtFocusIn = FEditValue;
    return true;
  }
  try {
    OnPostEditValue(this);
  } catch (...) {
    // The container could not store the value: the editor stays as the
    // user left it and the user is told why, in a message box whatever the
    // application's error hook does.
    ShowStoreError();
    RaiseEditError(String());
    return false;
  }
  SetModifiedAfterEnter(false);
  return true;
}

void cxShowEditError() {
  if (Application) Application->ShowCaughtException();
}

void TcxCustomEdit::ShowStoreError() { cxShowEditError(); }

void TcxCustomEdit::Reset() {
  TcxCustomEditProperties* properties = ActiveProperties();
  if (!FModified || !properties->CanRevertEditValue()) return;
  LockChangeEvents(true);
  try {
    FModified = false;
    if (IsDataAware())
      DataBinding()->Reset();
    else
      ApplyEditValue(FValueAtFocusIn);
    FModifiedAfterEnter = true;
    SelectAllText();
    if (properties->ImmediatePost() && DataBinding()->IsEditing()) PostEditValue(false);
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

// ---- Keys --------------------------------------------------------------------------------

bool TcxCustomEdit::IsClickKey(Word Key, TShiftState Shift) {
  TcxCustomEditProperties* properties = ActiveProperties();
  return properties->Buttons()->VisibleCount() > 0 && cxShortCut(Key, Shift) == properties->ClickKey();
}

void TcxCustomEdit::ClickDefaultButton() {
  TcxEditButtons* buttons = ActiveProperties()->Buttons();
  for (Integer i = 0; i < buttons->Count(); ++i)
    if (buttons->GetButton(i)->Default()) return DoButtonClick(i);
}

void TcxCustomEdit::DoButtonClick(Integer AButtonIndex) {
  Properties()->OnButtonClick(this, AButtonIndex);
  if (FRepositoryItem) FRepositoryItem->Properties()->OnButtonClick(this, AButtonIndex);
}

bool TcxCustomEdit::IsCharAccepted(Char AChar) {
  IcxEditDefaultValuesProvider* provider = ActiveProperties()->DefaultValuesProvider();
  return !provider || provider->AcceptsChar(AChar);
}

bool TcxCustomEdit::CanProcessKey(Word Key, TShiftState Shift) {
  return DataBinding()->IsEditing() || !IsValueChangingKey(Key, Shift) || DoEditing();
}

void TcxCustomEdit::FilterKeyPress(Char& Key) {
  if (Key < u' ') return;
  if (!IsCharAccepted(Key) || (IsValueChangingChar(Key) && !DoEditing())) Key = 0;
}

void TcxCustomEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (IsClickKey(Key, Shift)) {
    // The character the key would type is taken back first.
    if (HWND focus = GetFocus()) RemoveMessages(focus, WM_CHAR);
    ClickDefaultButton();
    Key = 0;
    return;
  }
  // The container moves the focus on a Tab it wants: the editor has its last
  // word first (a focused inner edit told it already, see HandleInnerMessage).
  const bool innerFocused = InnerControl() && InnerControl()->Focused();
  if (Key == VK_TAB && !(Shift & (ssCtrl | ssAlt)) && Focused() && !KeepsTab() && !innerFocused) {
    TcxDestroyGuard guard(this);
    BeforeTabFocusMove();
    if (!guard.Alive()) return;
  }
  TcxContainer::KeyDown(Key, Shift);
  if (Key != 0) EditKeyDown(Key, Shift);
}

void TcxCustomEdit::EditKeyDown(Word& Key, TShiftState Shift) {
  if (Key == 0) return;
  TcxCustomEditProperties* properties = ActiveProperties();
  if (properties->ClearKey() != 0 && cxShortCut(Key, Shift) == properties->ClearKey()) {
    TRestoreOnExit<bool> required(FEditingRequired, true);
    ApplyEditValue(Null());
    FValidated = true;
    Key = 0;
    return;
  }
  if (!CanProcessKey(Key, Shift)) {
    Key = 0;
    return;
  }
  switch (Key) {
    case VK_TAB:
      if (Focused() && !(Shift & (ssAlt | ssCtrl)) && !properties->WantsTabKey()) {
        TcxDestroyGuard guard(this);
        BeforeTabFocusMove();
        Key = 0;
        if (!guard.Alive()) return;
        if (TCustomForm* form = ParentFormOf()) cxSelectNextControl(form, form->ActiveControl(), !(Shift & ssShift));
        // With nowhere else to go the editor's own window keeps the focus:
        // the inner edit takes it, where typing goes.
        if (guard.Alive() && Focused() && InnerControl() && InnerControl()->CanFocus()) InnerControl()->SetFocus();
      }
      return;
    case VK_RETURN:
      if (!properties->ValidateOnEnter()) return;
      Key = 0;
      LockChangeEvents(true);
      try {
        if (ValidateEdit(true) && DataBinding()->IsEditing()) PostEditValue(false);
      } catch (...) {
        LockChangeEvents(false);
        throw;
      }
      LockChangeEvents(false);
      return;
    case VK_ESCAPE:
      // Esc is eaten only when it reverted something; otherwise it goes on
      // (a dialog's Cancel still hears it).
      if (FModified && properties->CanRevertEditValue()) {
        Reset();
        FEscHandled = true;
        Key = 0;
      }
      return;
    default:
      if (IsNavigationKey(Key) && !KeepsNavigationKeys()) Key = 0;
  }
}

bool TcxCustomEdit::IsEditorKey(Word, TShiftState) { return false; }

void TcxCustomEdit::DoAfterKeyDown(Word& Key, TShiftState Shift) {
  if (Key == 0 || IsDestroying() || !OnAfterKeyDown || IsEditorKey(Key, Shift)) return;
  OnAfterKeyDown(this, Key, Shift);
}

void TcxCustomEdit::KeyPress(Char& Key) {
  if (Key == Char(VK_ESCAPE) && std::exchange(FEscHandled, false)) {
    Key = 0;
    return;
  }
  TcxContainer::KeyPress(Key);
  if (Key != 0) HandleKeyPressed(Key);
}

// ---- Focus -------------------------------------------------------------------------------

TCustomForm* TcxCustomEdit::ParentFormOf() const { return TControl::GetParentForm(); }

bool TcxCustomEdit::IsClosingModalForm() const {
  TCustomForm* form = ParentFormOf();
  return form && !form->Visible() && (form->FormState() & fsModal) && form->ModalResult() != mrNone &&
         form->ModalResult() != mrCancel;
}

void TcxCustomEdit::DoEnter() {
  if (IsDestroying()) return;
  if (!FRefocusing) {
    PushModifiedState();
    try {
      TcxContainer::DoEnter();
      if (RefreshesBindingOnEnter()) DataBinding()->Refresh();
      if (ActiveProperties()->CanRevertEditValue()) FValueAtFocusIn = FEditValue;
      if (RefreshesBindingOnEnter()) UpdateDisplayValue();
    } catch (...) {
      PopModifiedState();
      FModified = false;
      throw;
    }
    PopModifiedState();
    FModified = false;
  }
  RefreshViewStateAtCursor();
}

void TcxCustomEdit::DoExit() {
  TRestoreOnExit<bool> notRequired(FEditingRequired, false);
  PostOnExit(true);
}

void TcxCustomEdit::PostOnExit(bool ARunPlatformExit) {
  if (IsDestroying() || FRefocusing) return;
  PushModifiedState();
  if (FModified) {
    // Asked before validating: validation of an editor that has lost the
    // focus clears its modified flag, which a binding may report.
    const bool post = !FIsInplace && IsModifiedForPost();
    LockChangeEvents(true);
    try {
      if (!ValidateEdit(true)) {
        LockChangeEvents(false);
        PopModifiedState();
        return;
      }
      if (post) PostEditValue(false);
    } catch (...) {
      LockChangeEvents(false);
      PopModifiedState();
      // The value was refused and the focus is back in the editor on the
      // user's text. The user is told why here, whatever the application's
      // error hook does with errors; the focus change stops silently.
      cxShowEditError();
      Abort();
    }
    LockChangeEvents(false);
  }
  if (RefreshesBindingOnEnter()) DataBinding()->Refresh();
  UpdateDrawValue();
  RefreshViewStateAtCursor();
  PopModifiedState();
  if (ARunPlatformExit) {
    try {
      TcxContainer::DoExit();
    } catch (...) {
      FModified = false;
      throw;
    }
  }
  FModified = false;
}

void TcxCustomEdit::HandleFocusChange() {
  TcxContainer::HandleFocusChange();
  if (IsDestroying() || FRefocusing) return;
  const bool focused = Focused();
  if (focused == FFocused) return;
  FFocused = focused;
  Invalidate();
  UpdateDrawValue();
  if (IsClosingModalForm()) ValidateEdit(false);
  OnFocusChanged(this);
}

void TcxCustomEdit::CMCloseQuery(TMessage& Message) {
  // A modal form closed with a result other than Cancel: an invalid value
  // takes the error road and the form stays open with the user's text.
  TCustomForm* form = ParentFormOf();
  Message.Result = 0;
  if (!form || !(form->FormState() & fsModal) || form->ModalResult() == mrCancel) return;
  try {
    if (!ValidateEdit(true)) Message.Result = 1;
  } catch (...) {
    Message.Result = 1;
    if (Application) Application->HandleException(this);
  }
}

// ---- Mouse, in-place activation ----------------------------------------------------------

bool TcxCustomEdit::AcceptsMouseActivation(TShiftState Shift) {
  return !FIsInplace || ActiveProperties()->MouseActivation() || (Shift & ssCtrl);
}

void TcxCustomEdit::ForgetEditData(const TcxCustomEditData* AData) {
  if (AData && FEditData == AData) FEditData = nullptr;
}

void TcxCustomEdit::FlushEditData(TcxCustomEditData* AEditData) {
  if (!AEditData || AEditData != FEditData || !AEditData->FCleared) return;
  StoreEditData(AEditData);
  AEditData->FCleared = false;
}

void TcxCustomEdit::ActivateInplace(TcxCustomEditData*& AEditData) {
  if (!AEditData && GetEditDataClass()) AEditData = GetEditDataClass()->Create(this);
  FEditData = AEditData;
  FlushEditData(AEditData);
  Show();
  if (CanFocus()) {
    SetFocus();
    if (ActiveProperties()->AutoSelect()) SelectAllText();
  }
  UpdateDisplayValue();
  SetModifiedAfterEnter(false);
}

void TcxCustomEdit::ActivateByKey(Char AKey, TcxCustomEditData*& AEditData) {
  ActivateInplace(AEditData);
  // Showing the value placed the caret at its end: the key types over the
  // whole text when AutoSelect asks for it (a click places its own caret).
  if (Focused() && ActiveProperties()->AutoSelect()) SelectAllText();
  if (ForwardsActivationChar(AKey)) SendMessage(Handle(), WM_CHAR, AKey, 0);
}

void TcxCustomEdit::ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData) {
  ActivateInplace(AEditData);
  TPoint p{X, Y};
  if (Parent()) p = ScreenToClient(Parent()->ClientToScreen(p));
  if (Shift & ssLeft) {
    SendMessage(Handle(), WM_LBUTTONDOWN, ShiftStateToKeys(Shift), PointToLParam(p));
    if (HandleAllocated() && GetCapture() == Handle() && !(GetKeyState(VK_LBUTTON) & 0x8000)) ReleaseCapture();
  } else {
    SendMessage(Handle(), WM_LBUTTONUP, ShiftStateToKeys(Shift), PointToLParam(p));
  }
  FDblClickTimer->SetEnabled(true);
}

void TcxCustomEdit::DblClickTimerFired(TObject*) { FDblClickTimer->SetEnabled(false); }

void TcxCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && FDblClickTimer->Enabled()) {
    // The second click of the double click that opened the editor.
    FDblClickTimer->SetEnabled(false);
    if (GetButtonAt(TPoint{X, Y}) < 0) DblClick();
  }
  TcxContainer::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && FEditViewInfo && HasMouseCapture()) FCapturedButtonIndex = FEditViewInfo->PressedButton;
}

void TcxCustomEdit::Click() {
  if (IsDestroying() || FValueSettingCount > 0 || IsLoading()) return;
  TcxContainer::Click();
}

void TcxCustomEdit::DblClick() {
  if (IsDestroying()) return;
  TcxContainer::DblClick();
}

void TcxCustomEdit::ExcludeInplaceFromTabOrder(std::vector<TWinControl*>& AList) const {
  if (!FIsInplace || !Visible() || !Parent()) return;
  AList.erase(std::remove(AList.begin(), AList.end(), Parent()), AList.end());
}

bool TcxCustomEdit::HasMouseCapture() { return HandleAllocated() && GetCapture() == Handle(); }

TRect TcxCustomEdit::VisibleBounds() { return ClientRect(); }

// ---- View state --------------------------------------------------------------------------

Integer TcxCustomEdit::GetButtonAt(const TPoint& P) { return FEditViewInfo ? FEditViewInfo->GetButtonIndexAt(P) : -1; }

void TcxCustomEdit::RefreshViewStateAtCursor() {
  if (!HandleAllocated() || IsDestroying()) return;
  RefreshViewState(ScreenToClient(QueryCursorPos()), CurrentShiftState(), cxmbNone, false);
}

void TcxCustomEdit::HandleStateChange(const TPoint& P, Integer AButton, bool ARefresh, TShiftState AShift) {
  TcxContainer::HandleStateChange(P, AButton, ARefresh, AShift);
  RefreshViewState(P, AShift, AButton, true);
}

void TcxCustomEdit::RefreshViewState(const TPoint& P, TShiftState Shift, TcxMouseButton AButton, bool AKeepOld) {
  if (!HandleAllocated() || IsDestroying() || !FCreated) return;
  if (FCapturedButtonIndex >= 0 && !HasMouseCapture()) FCapturedButtonIndex = -1;
  AdjustInnerEditBounds();
  TcxCustomEditProperties* properties = ActiveProperties();
  std::unique_ptr<TcxCustomEditViewData> viewData = CreateViewData();
  TcxCustomEditViewInfoClass infoClass = properties->GetViewInfoClass();
  if (!viewData || !infoClass) return;
  std::unique_ptr<TcxCustomEditViewInfo> old;
  if (!FEditViewInfo || FEditViewInfo->ClassType() != infoClass) {
    FEditViewInfo.reset(dynamic_cast<TcxCustomEditViewInfo*>(infoClass->Create()));
    if (!FEditViewInfo) return;
  } else if (AKeepOld) {
    old.reset(dynamic_cast<TcxCustomEditViewInfo*>(infoClass->Create()));
    if (old) old->Assign(FEditViewInfo.get());
  }
  viewData->ComputeViewInfo(cxCanvas(), ClientRect(), P, AButton, Shift, FEditViewInfo.get(), AButton != cxmbNone);
  if (!old) return Invalidate();
  FEditViewInfo->InvalidateChanges(this, old.get(), TRect{});
  FireButtonTransitions(old.get());
}

void TcxCustomEdit::FireButtonTransitions(TcxCustomEditViewInfo* AOld) {
  // The view infos count visible buttons; the events name the button by its
  // index in the property set's Buttons (a hidden button before it counts).
  auto buttonIndexOf = [](TcxCustomEditViewInfo* AViewInfo, Integer AVisibleIndex) {
    if (AVisibleIndex < 0 || AVisibleIndex >= AViewInfo->ButtonCount()) return Integer(-1);
    return AViewInfo->Button(AVisibleIndex)->ButtonIndex;
  };
  const Integer wasPressed = AOld->PressedButton;
  const Integer pressed = FEditViewInfo->PressedButton;
  if (wasPressed >= 0 && pressed != wasPressed) {
    const Integer index = buttonIndexOf(AOld, wasPressed);
    TcxDestroyGuard guard(this);
    ButtonUp(index);
    if (!guard.Alive()) return;
    if (FEditViewInfo->HotButton == wasPressed) DoButtonClick(index);
    if (!guard.Alive()) return;
  }
  if (pressed >= 0 && pressed != wasPressed) ButtonDown(buttonIndexOf(FEditViewInfo.get(), pressed));
}

void TcxCustomEdit::Paint() {
  if (PaintsOwnViewData()) return PaintThroughViewData(cxCanvas());
  if (!FEditViewInfo) return TcxContainer::Paint();
  FEditViewInfo->Render(cxCanvas());
}

bool TcxCustomEdit::HandleInnerMessage(TMessage& Message) {
  // Every key the inner edit gets is offered as CM_CHILDKEY before the form
  // may move the focus with it: a Tab the editor does not keep is noticed
  // here, while the editor still has the focus. A stand-alone editor then
  // moves the focus from itself, not from its inner edit (going back from
  // the inner edit would land on the editor, which hands the focus straight
  // back to it).
  if (Message.Msg == CM_CHILDKEY && Message.WParam == VK_TAB && !KeepsTab() &&
      !(GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000)) {
    TcxDestroyGuard guard(this);
    BeforeTabFocusMove();
    if (!guard.Alive()) return true;
    if (FIsInplace || ActiveProperties()->WantsTabKey() || InnerControl()->Perform(CM_WANTSPECIALKEY, VK_TAB) != 0)
      return false;
    TCustomForm* form = ParentFormOf();
    if (!form) return false;
    cxSelectNextControl(form, this, !(GetKeyState(VK_SHIFT) & 0x8000));
    Message.Result = 1;
    return true;
  }
  // The inner edit is the form's active control when it has the focus.
  if (Message.Msg != CM_CLOSEQUERY) return TcxContainer::HandleInnerMessage(Message);
  CMCloseQuery(Message);
  return true;
}

void TcxCustomEdit::WMCutOrPaste(TMessage& Message) {
  const bool canChange = !ActiveProperties()->ReadOnly() && DataBinding()->CanModify();
  if (!canChange) {
    if (Message.Msg == WM_CUT) CopyToClipboard();
    return;
  }
  TRestoreOnExit<bool> required(FEditingRequired, true);
  if (Message.Msg == WM_CUT)
    CutToClipboard();
  else
    PasteFromClipboard();
}

void TcxCustomEdit::CMDialogChar(TMessage& Message) {
  TcxEditButtons* buttons = ActiveProperties()->Buttons();
  const Char c = static_cast<Char>(Message.WParam);
  for (Integer i = 0; i < buttons->Count(); ++i) {
    TcxEditButton* button = buttons->GetButton(i);
    if (!button->Visible() || !button->Enabled() || !IsAccelerator(c, button->Caption())) continue;
    DoButtonClick(i);
    Message.Result = 1;
    return;
  }
  TcxContainer::CMDialogChar(Message);
}

void TcxCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDBLCLK:
      // A double click over a button is its second press (a spin button
      // steps twice), and a click of the editor, not a double click.
      if (GetButtonAt(LParamToPoint(Message.LParam)) >= 0)
        Message.Msg = WM_LBUTTONDOWN;
      return TcxContainer::Dispatch(Message);
    case CM_CLOSEQUERY:
      return CMCloseQuery(Message);
    case WM_COPY:
      return CopyToClipboard();
    case WM_CUT:
    case WM_PASTE:
      return WMCutOrPaste(Message);
    case WM_KEYDOWN: {
      // The platform's key handling leaves the key it did not take in the
      // message.
      TcxDestroyGuard guard(this);
      TcxContainer::Dispatch(Message);
      if (!guard.Alive()) return;
      Word key = static_cast<Word>(Message.WParam);
      DoAfterKeyDown(key, KeyDataToShiftState(Message.LParam));
      return;
    }
    default:
      TcxContainer::Dispatch(Message);
  }
}

// ---- TcxInplaceEditList ------------------------------------------------------------------

TcxInplaceEditList::~TcxInplaceEditList() { Clear(); }

const TcxInplaceEditList::TItem& TcxInplaceEditList::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
  return *FItems[static_cast<size_t>(Index)];
}

TcxCustomEdit* TcxInplaceEditList::CreateEdit(TcxCustomEditProperties* AProperties) {
  return CreateInplaceEditor(AProperties->EditorClass(), AProperties);
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TcxCustomEditProperties* AProperties) {
  auto it = std::find_if(FItems.begin(), FItems.end(),
                         [&](const std::unique_ptr<TItem>& I) { return I->Properties == AProperties; });
  TcxCustomEdit* edit = nullptr;
  if (it != FItems.end()) {
    edit = (*it)->Edit;
  } else {
    edit = CreateEdit(AProperties);
    edit->Hide();
    FItems.push_back(std::make_unique<TItem>(TItem{edit, AProperties}));
  }
  edit->LockChangeEvents(true);
  try {
    edit->Properties()->Assign(AProperties);
  } catch (...) {
    edit->LockChangeEvents(false, false);
    throw;
  }
  edit->LockChangeEvents(false, false);
  return edit;
}

void TcxInplaceEditList::RemoveEdit(TcxCustomEditProperties* AProperties) {
  auto it = std::find_if(FItems.begin(), FItems.end(),
                         [&](const std::unique_ptr<TItem>& I) { return I->Properties == AProperties; });
  if (it == FItems.end()) return;
  TcxCustomEdit* edit = (*it)->Edit;
  FItems.erase(it);
  edit->Free();
}

void TcxInplaceEditList::ForgetEditData(const TcxCustomEditData* AData) {
  for (const std::unique_ptr<TItem>& item : FItems) item->Edit->ForgetEditData(AData);
}

void TcxInplaceEditList::Clear() {
  while (!FItems.empty()) {
    TcxCustomEdit* edit = FItems.back()->Edit;
    FItems.pop_back();
    edit->Free();
  }
}
