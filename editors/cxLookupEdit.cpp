#include "editors/cxLookupEdit.h"

#include <algorithm>

#include "data/cxDataGuards.h"
#include "data/cxVariants.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/sysutils.h"

namespace {
// The width a lookup editor starts with.
constexpr Integer cxLookupEditDefaultWidth = 145;
constexpr Char cxKeyBackspace = 8;
bool IsSurrogate(Char C) { return C >= 0xD800 && C <= 0xDFFF; }
}  // namespace

// ---------------------------------------------------------------------------
// TcxCustomLookupEditProperties

TcxCustomLookupEditProperties::TcxCustomLookupEditProperties(TPersistent* AOwner)
    : TcxCustomComboBoxProperties(AOwner) {
  TcxUpdateScope update(this);
  SetDropDownListStyle(lsEditFixedList);
  SetFixedListSelectMode(true);
  SetPopupSizeable(false);
}

TcxCustomLookupEditProperties::~TcxCustomLookupEditProperties() = default;

TcxCustomEditClass TcxCustomLookupEditProperties::GetEditorClass() { return TcxCustomLookupEdit::StaticClass(); }

void TcxCustomLookupEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomLookupEditProperties*>(Source);
  TcxUpdateScope update(this);
  TcxCustomComboBoxProperties::Assign(Source);
  if (source && source != this) {
    if (!IsDefinedByLookupField()) FListFieldIndex = source->FListFieldIndex;
    FIncrementalFiltering = source->FIncrementalFiltering;
    NotifyChanged();
  }
}

Integer TcxCustomLookupEditProperties::GetListFieldIndex() {
  const Integer count = GetListColumnCount();
  const Integer stored = GetStoredListFieldIndex();
  return stored >= 0 && stored < count ? stored : count - 1;
}

void TcxCustomLookupEditProperties::SetListFieldIndex(Integer Value) {
  Value = std::max(std::min(Value, GetListColumnCount() - 1), 0);
  SetValue(FListFieldIndex, Value);
}

Integer TcxCustomLookupEditProperties::Locate(Integer AListIndex, const String& AText, bool APartial) {
  TcxCustomDataController* list = GetListDataController();
  if (!list || AListIndex < 0 || AListIndex >= GetListColumnCount()) return -1;
  return list->FindRecordIndexByText(0, AListIndex, AText, APartial, true, false);
}

bool TcxCustomLookupEditProperties::IsTextInList(const String& AText) {
  const Integer index = GetListFieldIndex();
  return index >= 0 && GetListDataController() && Locate(index, AText, false) >= 0;
}

bool TcxCustomLookupEditProperties::IsListChangeHandlingLocked() {
  TcxCustomDataController* list = GetListDataController();
  return list && list->IsChangeHandlingLocked();
}

void TcxCustomLookupEditProperties::BeginListLocate() {
  if (TcxCustomDataController* list = GetListDataController()) list->LockChangeHandling();
}

void TcxCustomLookupEditProperties::EndListLocate() {
  if (TcxCustomDataController* list = GetListDataController()) list->UnlockChangeHandling();
}

void TcxCustomLookupEditProperties::AddListDataListener() {
  if (TcxCustomDataController* list = GetListDataController())
    list->AddDataChangedListener(this, TNotifyEvent(this, &TcxCustomLookupEditProperties::ListDataChanged));
}

void TcxCustomLookupEditProperties::RemoveListDataListener() {
  if (TcxCustomDataController* list = GetListDataController())
    list->RemoveDataChangedListener(this, TNotifyEvent(this, &TcxCustomLookupEditProperties::ListDataChanged));
}

void TcxCustomLookupEditProperties::ListDataChanged(TObject*) {
  if (FNotifying || IsLocked() || IsListChangeHandlingLocked()) return;
  TcxFlagGuard notifying(FNotifying, true);
  NotifyChanged();
}

bool TcxCustomLookupEditProperties::IsListNavigationKey(Word Key, TShiftState Shift) const {
  switch (Key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: return !(Shift & ssAlt);
    case VK_HOME:
    case VK_END: return (Shift & ssCtrl) != 0;
    default: return false;
  }
}

Integer TcxCustomLookupEditProperties::GetValueKind(bool) const {
  return const_cast<TcxCustomLookupEditProperties*>(this)->IsKeyFieldListField() ? cxEditValueKindText
                                                                                  : cxEditValueKindValue;
}

TcxEditEditorFeatures TcxCustomLookupEditProperties::GetEditorFeatures() const {
  // 256: the editor keeps a value (a key) that is not its text.
  constexpr TcxEditEditorFeatures cKeyValueFeature = 256;
  TcxEditEditorFeatures features = TcxCustomComboBoxProperties::GetEditorFeatures();
  if (GetValueKind(false) == cxEditValueKindValue) features |= cKeyValueFeature;
  return features;
}

bool TcxCustomLookupEditProperties::AreEditValuesEqual(const Variant& A, const Variant& B) const {
  if (VarIsArray(A) || VarIsArray(B)) return CompareVariantArrays(A, B) == 0;
  return VarIsNull(A) == VarIsNull(B) && VariantsEqual(A, B);
}

String TcxCustomLookupEditProperties::GetDisplayTextOfValue(const Variant& AValue) const {
  Variant text;
  NormalizeEditValue(AValue, text, false);
  return VarToStr(text);
}

void TcxCustomLookupEditProperties::NormalizeEditValue(const Variant& AValue, Variant& ANormalized,
                                                       bool AIsEditing) const {
  auto* self = const_cast<TcxCustomLookupEditProperties*>(this);
  if (self->IsKeyFieldListField() || (self->IsBoundToLookupField() && !AIsEditing))
    return TcxCustomComboBoxProperties::NormalizeEditValue(AValue, ANormalized, AIsEditing);
  ANormalized = Variant(self->GetDisplayTextByKey(AValue));
}

bool TcxCustomLookupEditProperties::IsDisplayValueAcceptable(String& AText) const {
  const TcxEditEditingStyle style = EditingStyle();
  if (AText.empty() || (style != esEditList && style != esFixedList)) return true;
  auto* self = const_cast<TcxCustomLookupEditProperties*>(this);
  const Integer index = self->GetListFieldIndex();
  TcxCustomDataController* list = self->GetListDataController();
  if (index < 0 || !list) return false;
  TcxListLocateScope locate(self);
  const Integer record = self->Locate(index, AText, false);
  if (record < 0) return false;
  AText = list->GetDisplayText(record, index);
  return true;
}

// ---------------------------------------------------------------------------
// TcxCustomLookupEditLookupData

TcxCustomLookupEditLookupData::~TcxCustomLookupEditLookupData() = default;

TcxCustomLookupEditProperties* TcxCustomLookupEditLookupData::Properties() const {
  return FOwner->ActiveLookupProperties();
}

void TcxCustomLookupEditLookupData::AssignCurrentKey(const Variant& AKey) {
  FCurrentKey = AKey;
  SyncListToKey();
  Properties()->MakeFocusedRowVisible();
}

bool TcxCustomLookupEditLookupData::IsEmpty() {
  TcxCustomDataController* list = ListDataController();
  return Properties()->GetListFieldIndex() < 0 || !list || list->GetRecordCount() == 0;
}

TSize TcxCustomLookupEditLookupData::GetPreferredSize() {
  TcxCustomLookupEditProperties* p = Properties();
  TcxCustomDataController* list = ListDataController();
  Integer rows = p->DropDownRows();
  if (list) rows = std::min(rows, list->GetRowCount());
  rows = std::max(rows, 1);
  return {p->GetListPreferredWidth(), p->GetListHeightForRows(rows)};
}

Integer TcxCustomLookupEditLookupData::AdjustHeight(Integer AHeight) {
  TcxCustomLookupEditProperties* p = Properties();
  return p->SnapsPopupHeightToRows() ? p->SnapHeightToRows(AHeight) : AHeight;
}

bool TcxCustomLookupEditLookupData::IsMouseOverListRow(const TPoint& P) {
  TWinControl* list = Properties()->GetListControl();
  return list && Properties()->IsPointOverListRow(list->ScreenToClient(P));
}

void TcxCustomLookupEditLookupData::MarkFocusedRow(bool ASelected) {
  TcxCustomDataController* list = ListDataController();
  if (list && list->GetFocusedRowIndex() >= 0) list->SetFocusedSelected(ASelected);
}

bool TcxCustomLookupEditLookupData::HasChosenRow() {
  TcxCustomDataController* list = ListDataController();
  if (!list) return false;
  const Integer row = list->GetFocusedRowIndex();
  return row >= 0 && list->IsRowSelected(row);
}

String TcxCustomLookupEditLookupData::FocusedRowText() {
  TcxCustomDataController* list = ListDataController();
  const Integer record = list ? list->GetFocusedRecordIndex() : -1;
  const Integer index = Properties()->GetListFieldIndex();
  return record >= 0 && index >= 0 ? list->GetDisplayText(record, index) : String();
}

void TcxCustomLookupEditLookupData::SetCurrentKeyByRecord(Integer ARecordIndex) {
  FCurrentKey = ARecordIndex < 0 ? Null() : Variant(ARecordIndex);
}

void TcxCustomLookupEditLookupData::SyncListToKey() {
  TcxCustomDataController* list = ListDataController();
  if (!list) return;
  if (VarIsNull(FCurrentKey) || !VarIsOrdinal(FCurrentKey)) {
    list->FocusRow(-1);
    return;
  }
  const Integer record = FCurrentKey.AsInteger();
  if (record >= 0 && record < list->GetRecordCount())
    list->FocusRecord(record);
  else
    list->FocusRow(-1);
}

void TcxCustomLookupEditLookupData::ResetListFilter() {
  if (TcxCustomDataController* list = ListDataController()) list->ResetIncrementalFilter();
}

bool TcxCustomLookupEditLookupData::FindCompletion(String& AText, String& ATail) {
  TcxCustomLookupEditProperties* p = Properties();
  TcxCustomDataController* list = ListDataController();
  const Integer index = p->GetListFieldIndex();
  ATail.clear();
  if (!list || index < 0) return false;
  TcxLookupPropertiesLock lock(p);
  Integer record = -1;
  if (FVisible && p->IsIncrementalFilteringActive()) {
    if (!AText.empty()) {
      const String previous = list->GetIncrementalFilterText();
      record = list->ApplyIncrementalFilter(index, AText);
      if (record < 0 && p->DropDownListStyle() != lsEditList) {
        if (previous.empty())
          list->ResetIncrementalFilter();
        else
          list->ApplyIncrementalFilter(index, previous);
      }
    } else {
      list->ResetIncrementalFilter();
      record = p->Locate(index, AText, true);
    }
    FitPopupToRows();
  } else {
    record = p->Locate(index, AText, true);
  }
  if (record < 0) {
    MarkFocusedRow(false);
    return false;
  }
  list->FocusRecord(record);
  SetCurrentKeyByRecord(record);
  const String text = list->GetDisplayText(record, index);
  AText = text.substr(0, AText.size());
  ATail = text.substr(AText.size());
  MarkFocusedRow(true);
  Properties()->MakeFocusedRowVisible();
  return true;
}

void TcxCustomLookupEditLookupData::MoveInList(TcxLookupStep ADirection, bool AWrap) {
  TcxCustomLookupEditProperties* p = Properties();
  TcxCustomDataController* list = ListDataController();
  if (!list || list->GetRecordCount() == 0) return;
  TcxLookupPropertiesLock lock(p);
  {
    TcxListLocateScope locate(p);
    list->ResetIncrementalFilter();
    FitPopupToRows();
    switch (ADirection) {
      case lsFirst: list->FocusFirstRow(); break;
      case lsLast: list->FocusLastRow(); break;
      default: {
        SyncListToKey();
        const bool forward = ADirection == lsNext || ADirection == lsPageForward;
        const bool page = ADirection == lsPageBack || ADirection == lsPageForward;
        if (list->GetFocusedRowIndex() < 0)
          forward ? list->FocusFirstRow() : list->FocusLastRow();  // no row yet: the move starts at an end
        else if (AWrap && forward && list->IsLastRowFocused())
          list->FocusFirstRow();
        else if (AWrap && !forward && list->IsFirstRowFocused())
          list->FocusLastRow();
        else if (page)
          list->MoveFocusBy(forward ? p->DropDownRows() : -p->DropDownRows());
        else
          forward ? list->FocusNextRow() : list->FocusPriorRow();
      }
    }
  }
  SetCurrentKeyByRecord(list->GetFocusedRecordIndex());
  MarkFocusedRow(list->GetFocusedRecordIndex() >= 0);
  p->MakeFocusedRowVisible();
  if (OnItemSelected) OnItemSelected(this);
}

void TcxCustomLookupEditLookupData::TextChanged() {
  TcxCustomLookupEditProperties* p = Properties();
  TcxCustomDataController* list = ListDataController();
  const Integer index = p->GetListFieldIndex();
  if (!list || index < 0) return;
  TcxLookupPropertiesLock lock(p);
  const String text = FOwner->Text();
  // A completed tail is selected up to the end: the list stays filtered by
  // what the user typed, not by the row it completed to.
  TcxTextEditModel* model = FOwner->Model();
  const bool tailSelected = model->SelLength() > 0 && model->SelStart() + model->SelLength() == model->Length();
  const String typed = tailSelected ? text.substr(0, model->SelStart()) : text;
  if (FVisible && p->IsIncrementalFilteringActive() && list->IsIncrementalFilterActive() &&
      list->GetIncrementalFilterText() != typed) {
    if (typed.empty())
      list->ResetIncrementalFilter();
    else
      list->SetIncrementalFilterText(typed);
    FitPopupToRows();
  }
  bool found = FVisible && list->GetFocusedRecordIndex() >= 0 && AnsiSameText(FocusedRowText(), text);
  if (!found) {
    const Integer record = p->Locate(index, text, false);
    found = record >= 0;
    if (found) {
      list->FocusRecord(record);
      SetCurrentKeyByRecord(record);
    }
  }
  MarkFocusedRow(found);
}

bool TcxCustomLookupEditLookupData::LocateText(const String& AText) {
  TcxCustomLookupEditProperties* p = Properties();
  TcxCustomDataController* list = ListDataController();
  const Integer index = p->GetListFieldIndex();
  if (!list || index < 0) return false;
  const Integer record = p->Locate(index, AText, false);
  if (record < 0) {
    MarkFocusedRow(false);
    return false;
  }
  list->FocusRecord(record);
  SetCurrentKeyByRecord(record);
  MarkFocusedRow(true);
  return true;
}

void TcxCustomLookupEditLookupData::SelectFocusedRow() {
  TcxCustomDataController* list = ListDataController();
  if (!list || list->GetSelectedCount() != 1 || !list->IsRowSelected(list->GetFocusedRowIndex())) return;
  SetCurrentKeyByRecord(list->GetFocusedRecordIndex());
  if (OnItemSelected) OnItemSelected(this);
}

void TcxCustomLookupEditLookupData::FitPopupToRows() {
  TcxCustomDataController* list = ListDataController();
  TWinControl* control = Properties()->GetListControl();
  if (!FVisible || !list || !control || !FOwner->HandleAllocated()) return;
  const Integer rows = std::max(std::min(list->GetRowCount(), Properties()->DropDownRows()), 1);
  if (control->ClientHeight() != Properties()->GetListHeightForRows(rows)) FOwner->ResetPopupHeight();
}

void TcxCustomLookupEditLookupData::ListClick(TObject*) { SelectFocusedRow(); }

void TcxCustomLookupEditLookupData::ListCloseUp(TObject*, bool AAccept) {
  // A release over a row is a choice of that row.
  if (AAccept) MarkFocusedRow(true);
  FOwner->ClosePopup(AAccept);
}

void TcxCustomLookupEditLookupData::Open() {
  TcxCustomLookupEditProperties* p = Properties();
  TcxLookupPropertiesLock lock(p);
  p->BeginListLocate();
  p->ListPopupOpening();
  p->SetListEvents(TNotifyEvent(this, &TcxCustomLookupEditLookupData::ListClick),
                   TcxLookupListCloseUpEvent(this, &TcxCustomLookupEditLookupData::ListCloseUp));
  TcxCustomContainerStyle* style = FOwner->GetCurrentStyle();
  p->SetListAppearance(FOwner->Style()->LookAndFeel(), style->Color(), style->GetVisibleFont());
  p->LockListMouseMove();
  FVisible = true;
  SyncListToKey();
  p->MakeFocusedRowVisible();
  TextChanged();
}

void TcxCustomLookupEditLookupData::Close() {
  if (!FVisible) return;
  TcxCustomLookupEditProperties* p = Properties();
  TcxLookupPropertiesLock lock(p);
  ResetListFilter();
  FVisible = false;
  p->SetListEvents(nullptr, nullptr);
  p->UnlockListMouse();
  p->ListPopupClosed();
  p->EndListLocate();
}

// ---------------------------------------------------------------------------
// TcxCustomLookupEdit

TcxCustomLookupEdit::TcxCustomLookupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomComboBox(AOwner, AIsInplace) {
  SetWidth(cxLookupEditDefaultWidth);
  // The list control takes the list box's place in the popup.
  ListBox()->SetVisible(false);
}

TcxCustomLookupEdit::~TcxCustomLookupEdit() {
  if (FLookupData && FLookupData->Visible()) FLookupData->Close();
}

TcxCustomLookupEditProperties* TcxCustomLookupEdit::ActiveLookupProperties() {
  return static_cast<TcxCustomLookupEditProperties*>(ActiveProperties());
}

TcxCustomLookupEditLookupData* TcxCustomLookupEdit::LookupData() {
  if (!FLookupData) FLookupData = CreateLookupData();
  return FLookupData.get();
}

std::unique_ptr<TcxCustomLookupEditLookupData> TcxCustomLookupEdit::CreateLookupData() {
  return std::make_unique<TcxCustomLookupEditLookupData>(this);
}

std::unique_ptr<TcxTextEditModel> TcxCustomLookupEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  auto model = std::make_unique<TcxLookupEditModel>(static_cast<TcxCustomMaskEditProperties*>(AProperties), this);
  // As every drop-down: in place the keys step only in the open list (the
  // container moves on with them while it is closed).
  model->SetAllowsLookupStepping(!IsInplace());
  return model;
}

Variant TcxCustomLookupEdit::DisplayValueToEditValue(const Variant& ADisplayValue) {
  TcxCustomLookupEditProperties* p = ActiveLookupProperties();
  if (p->IsKeyFieldListField()) return ADisplayValue;
  const String text = VarToStr(ADisplayValue);
  TcxCustomLookupEditLookupData* lookup = LookupData();
  if (lookup->GetDisplayText(lookup->CurrentKey()) == text) return lookup->CurrentKey();
  {
    TcxListLocateScope locate(p);
    if (lookup->LocateText(text)) return lookup->CurrentKey();
  }
  return p->GetNullKey();
}

void TcxCustomLookupEdit::InternalSetDisplayValue(const Variant& Value) {
  String text = VarToStr(Value);
  TcxCustomLookupEditProperties* p = ActiveLookupProperties();
  if (!p->IsKeyFieldListField() && !p->IsDisplayValueAcceptable(text)) {
    // The list styles take only a row's text: the value stays, and so
    // does its text.
    UpdateDisplayValue();
    return;
  }
  ApplyEditValue(DisplayValueToEditValue(Variant(text)));
}

void TcxCustomLookupEdit::UpdateDisplayValue() {
  TcxCustomLookupEditLookupData* lookup = LookupData();
  if (lookup->Visible())
    lookup->AssignCurrentKey(EditValue());
  else
    lookup->SetCurrentKey(EditValue());
  TcxCustomLookupEditProperties* p = ActiveLookupProperties();
  const String text = p->IsKeyFieldListField() ? VarToStr(EditValue()) : lookup->GetDisplayText(EditValue());
  Model()->SetText(text);
  SyncInnerEdit();
}

void TcxCustomLookupEdit::PropertiesChanged(TObject* Sender) {
  if (!IsDestroying() && (!Focused() || !IsModified())) UpdateDisplayValue();
  TcxCustomComboBox::PropertiesChanged(Sender);
}

void TcxCustomLookupEdit::EnterPostState() {
  ActiveLookupProperties()->Lock();
  TcxCustomComboBox::EnterPostState();
}

void TcxCustomLookupEdit::LeavePostState() {
  TcxCustomComboBox::LeavePostState();
  ActiveLookupProperties()->Unlock();
}

bool TcxCustomLookupEdit::CanDropDown() const { return !const_cast<TcxCustomLookupEdit*>(this)->LookupData()->IsEmpty(); }

void TcxCustomLookupEdit::SetupPopupWindow() {
  TcxCustomComboBox::SetupPopupWindow();
  TWinControl* list = ActiveLookupProperties()->GetListControl();
  if (list && list->Parent() != PopupWindow()) list->SetParent(PopupWindow());
}

TSize TcxCustomLookupEdit::PopupContentSize() {
  TcxCustomLookupEditProperties* p = ActiveLookupProperties();
  TSize size = LookupData()->GetPreferredSize();
  TcxCustomDataController* list = p->GetListDataController();
  if (list && list->GetRowCount() > p->DropDownRows()) size.cx += GetSystemMetrics(SM_CXVSCROLL);
  size.cx = std::max(size.cx, Width());
  if (p->DropDownWidth() > 0) size.cx = p->DropDownWidth();
  if (p->DropDownHeight() > 0) size.cy = LookupData()->AdjustHeight(p->DropDownHeight());
  return size;
}

void TcxCustomLookupEdit::PopupClientRectChanged(const TRect& AClientRect) {
  TWinControl* list = ActiveLookupProperties()->GetListControl();
  if (!list) return;
  list->SetBoundsRect(AClientRect);
  list->SetVisible(true);
  ActiveLookupProperties()->MakeFocusedRowVisible();
}

bool TcxCustomLookupEdit::AdjustPopupClientSize(TSize& AClientSize, Integer AAvailableHeight) {
  AClientSize.cy = LookupData()->AdjustHeight(std::min(AClientSize.cy, std::max(AAvailableHeight, 1)));
  return true;
}

void TcxCustomLookupEdit::ResetPopupHeight() {
  if (HasOpenPopup()) LayoutPopupWindow();
}

void TcxCustomLookupEdit::ClosePopup(bool AAccept) {
  if (!HasOpenPopup()) return;
  TcxCustomLookupEditLookupData* lookup = LookupData();
  if (AAccept && lookup->HasChosenRow() && DoEditing()) {
    TcxCustomDataController* list = lookup->ListDataController();
    lookup->SetCurrentKeyByRecord(list->GetFocusedRecordIndex());
    const String text = lookup->GetDisplayText(lookup->CurrentKey());
    if (text != Text()) {
      Model()->SetText(text);
      SyncInnerEdit();
      SetModified(true);
    }
    // The text may be the same for another key: the key is what counts.
    if (!ActiveLookupProperties()->AreEditValuesEqual(lookup->CurrentKey(), EditValue())) SetModified(true);
  }
  TcxCustomComboBox::ClosePopup(AAccept);
}

void TcxCustomLookupEdit::HandleInnerEditChange() {
  TcxCustomDropDownEdit::HandleInnerEditChange();
  LookupData()->TextChanged();
}

void TcxCustomLookupEdit::DoPopup() {
  // The popup put the caret at the end: a completion typed meanwhile keeps
  // its tail selected, so the next character goes on completing.
  static_cast<TcxLookupEditModel*>(Model())->RestoreCompletion();
  SyncInnerEdit();
  LookupData()->Open();
  TcxCustomDropDownEdit::DoPopup();
}

void TcxCustomLookupEdit::DoCloseUp() {
  LookupData()->Close();
  TcxCustomDropDownEdit::DoCloseUp();
}

void TcxCustomLookupEdit::EditKeyDown(Word& Key, TShiftState Shift) {
  if (HasOpenPopup() && ActiveLookupProperties()->IsListNavigationKey(Key, Shift)) {
    // The list's row only; the text follows when the popup accepts.
    const bool ctrl = Shift & ssCtrl;
    TcxLookupStep step = lsNext;
    switch (Key) {
      case VK_UP: step = lsPrevious; break;
      case VK_DOWN: step = lsNext; break;
      case VK_PRIOR: step = ctrl ? lsFirst : lsPageBack; break;
      case VK_NEXT: step = ctrl ? lsLast : lsPageForward; break;
      case VK_HOME: step = lsFirst; break;
      case VK_END: step = lsLast; break;
      default: break;
    }
    LookupData()->MoveInList(step);
    Key = 0;
    return;
  }
  TcxCustomDropDownEdit::EditKeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// TcxLookupEditModel

void TcxLookupEditModel::ShowCompletion(const String& ATyped, const String& ATail) {
  FCompleted = !ATail.empty();
  FTypedLength = static_cast<Integer>(ATyped.size());
  ChangeText(ATyped + ATail, static_cast<Integer>(ATyped.size()), static_cast<Integer>(ATail.size()));
}

bool TcxLookupEditModel::TypeChar(Char AChar) {
  // Completion works on the text before the caret; typing inside the text
  // without a selection to its end is plain typing.
  if (SelStart() + SelLength() != Length() && SelLength() == 0) return false;
  String typed = Text().substr(0, SelStart()) + AChar;
  String tail;
  if (FEdit->LookupData()->FindCompletion(typed, tail)) {
    ShowCompletion(typed, tail);
    return true;
  }
  FCompleted = false;
  const TcxEditEditingStyle style = Properties()->EditingStyle();
  if (style == esEditList || style == esFixedList) {
    Beep();  // the list styles take only texts that start a row
    return true;
  }
  return false;
}

bool TcxLookupEditModel::BackspaceCompletion() {
  if (!FCompleted || SelLength() == 0 || SelStart() + SelLength() != Length() || SelStart() == 0) return false;
  String typed = Text().substr(0, PrevCharPos(SelStart()));
  String tail;
  if (!typed.empty() && FEdit->LookupData()->FindCompletion(typed, tail))
    ShowCompletion(typed, tail);
  else {
    FCompleted = false;
    ChangeText(typed, static_cast<Integer>(typed.size()));
  }
  return true;
}

void TcxLookupEditModel::RestoreCompletion() {
  if (FCompleted && FTypedLength < Length()) SetSelection(FTypedLength, Length() - FTypedLength);
}

void TcxLookupEditModel::KeyPress(Char& Key) {
  if (ReadOnly() || Mode()) return TcxMaskEditModel::KeyPress(Key);
  if (Key == cxKeyBackspace) {
    if (BackspaceCompletion()) Key = 0;
  } else if (cxIsTextInputChar(Key) && !IsSurrogate(Key)) {
    if (TypeChar(Key)) Key = 0;
  }
  if (Key != 0) {
    FCompleted = false;
    TcxMaskEditModel::KeyPress(Key);
  }
}

void TcxLookupEditModel::KeyDown(Word& Key, TShiftState Shift) {
  TcxCustomLookupEditProperties* p = FEdit->ActiveLookupProperties();
  if (ReadOnly() || !AllowsLookupStepping() || !p->IsListNavigationKey(Key, Shift))
    return TcxMaskEditModel::KeyDown(Key, Shift);
  // Closed list: the key steps to the neighbouring row at once.
  TcxLookupStep step = lsNext;
  switch (Key) {
    case VK_UP: step = lsPrevious; break;
    case VK_PRIOR: step = lsPageBack; break;
    case VK_NEXT: step = lsPageForward; break;
    case VK_HOME: step = lsFirst; break;
    case VK_END: step = lsLast; break;
    default: break;
  }
  TcxCustomLookupEditLookupData* lookup = FEdit->LookupData();
  Key = 0;
  if (lookup->IsEmpty()) return;
  lookup->MoveInList(step);
  FCompleted = false;
  const String text = lookup->GetDisplayText(lookup->CurrentKey());
  if (text != Text()) ChangeText(text, 0, Length());
  SetSelection(0, Length());
}
