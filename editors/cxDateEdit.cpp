#include "editors/cxDateEdit.h"

#include <cmath>

#include "editors/cxDateUtils.h"
#include "editors/cxEditRegisteredRepositoryItems.h"
#include "editors/cxFormats.h"
#include "platform/gui/messages.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsBlankValue(const Variant& AValue) {
  return VarIsNullOrEmpty(AValue) || (VarIsStr(AValue) && AValue.AsString().empty());
}

// ADay's whole day plus ATime (a fraction of a day) in ADay's sign.
TDateTime WithTime(TDateTime ADay, TDateTime ATime) { return ADay < 0 ? ADay - ATime : ADay + ATime; }

TDateTime Today(TcxCalendarKind AKind) { return AKind == ckDateTime ? Now() : Date(); }

}  // namespace

// ---------------------------------------------------------------------------
// TcxDateEditPropertiesValues

void TcxDateEditPropertiesValues::Assign(TPersistent* Source) {
  TcxCustomEditPropertiesValues::Assign(Source);
  auto* source = dynamic_cast<TcxDateEditPropertiesValues*>(Source);
  if (!source) return;
  BeginUpdate();
  FDateButtons = source->FDateButtons;
  FInputKind = source->FInputKind;
  EndUpdate();
}

void TcxDateEditPropertiesValues::RestoreDefaults() {
  TcxCustomEditPropertiesValues::RestoreDefaults();
  BeginUpdate();
  FDateButtons = false;
  FInputKind = false;
  EndUpdate();
}

void TcxDateEditPropertiesValues::SetDateButtons(bool Value) {
  if (Value == FDateButtons) return;
  FDateButtons = Value;
  Changed();
}

void TcxDateEditPropertiesValues::SetInputKind(bool Value) {
  if (Value == FInputKind) return;
  FInputKind = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// TcxCustomDateEditProperties

TcxCustomDateEditProperties::TcxCustomDateEditProperties(TPersistent* AOwner)
    : TcxCustomPopupEditProperties(AOwner) {
  SetChangeLock(true);
  SetCaseInsensitive(true);
  SetImmediateDropDown(false);
  SetPopupSizeable(false);
  SetChangeLock(false);
  UpdateEditMask();
}

TcxCustomEditClass TcxCustomDateEditProperties::GetEditorClass() { return TcxDateEdit::StaticClass(); }

TcxCustomEditPropertiesValuesClass TcxCustomDateEditProperties::GetAssignedValuesClass() const {
  return TcxDateEditPropertiesValues::StaticClass();
}

TcxDateEditPropertiesValues* TcxCustomDateEditProperties::DateAssignedValues() const {
  return static_cast<TcxDateEditPropertiesValues*>(AssignedValues());
}

void TcxCustomDateEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomDateEditProperties*>(Source);
  if (!source) return TcxCustomPopupEditProperties::Assign(Source);
  BeginUpdate();
  TcxCustomPopupEditProperties::Assign(Source);
  FArrowsForYear = source->FArrowsForYear;
  DateAssignedValues()->SetDateButtons(false);
  if (source->DateAssignedValues()->DateButtons()) SetDateButtons(source->FDateButtons);
  FDateOnError = source->FDateOnError;
  DateAssignedValues()->SetInputKind(false);
  if (source->DateAssignedValues()->InputKind()) SetInputKind(source->FInputKind);
  FKind = source->FKind;
  FSaveTime = source->FSaveTime;
  FShowTime = source->FShowTime;
  FYearsInMonthList = source->FYearsInMonthList;
  EndUpdate();
}

TDateButtons TcxCustomDateEditProperties::DateButtons() const {
  if (DateAssignedValues()->DateButtons()) return FDateButtons;
  return DateButtonBit(btnClear) | DateButtonBit(FKind == ckDate ? btnToday : btnNow);
}

void TcxCustomDateEditProperties::SetDateButtons(TDateButtons Value) {
  if (DateAssignedValues()->DateButtons() && Value == FDateButtons) return;
  FDateButtons = Value;
  BeginUpdate();
  DateAssignedValues()->SetDateButtons(true);
  EndUpdate();
}

TcxInputKind TcxCustomDateEditProperties::InputKind() const {
  if (DateAssignedValues()->InputKind()) return FInputKind;
  return FKind == ckDate ? ikRegExpr : ikMask;
}

void TcxCustomDateEditProperties::SetInputKind(TcxInputKind Value) {
  if (DateAssignedValues()->InputKind() && Value == FInputKind) return;
  FInputKind = Value;
  BeginUpdate();
  DateAssignedValues()->SetInputKind(true);
  EndUpdate();
}

void TcxCustomDateEditProperties::NotifyChanged() {
  if (!IsChangeLocked()) UpdateEditMask();
  TcxCustomPopupEditProperties::NotifyChanged();
}

void TcxCustomDateEditProperties::FormatsChanged() {
  UpdateEditMask();
  TcxCustomPopupEditProperties::FormatsChanged();
}

void TcxCustomDateEditProperties::UpdateEditMask() {
  if (FUpdatingMask) return;
  FUpdatingMask = true;
  const bool locked = IsChangeLocked();
  SetChangeLock(true);
  const TcxFormatController* controller = GetFormatController();
  const bool dateTime = FKind == ckDateTime;
  switch (InputKind()) {
    case ikMask:
      SetMaskKind(emkStandard);
      SetEditMask(dateTime ? controller->StandardDateTimeMask : controller->StandardDateMask);
      break;
    case ikRegExpr:
      SetMaskKind(emkRegExprEx);
      SetEditMask(dateTime ? controller->RegExprDateTimeMask : controller->RegExprDateMask);
      break;
    case ikStandard:
      SetEditMask(String());
      break;
  }
  SetChangeLock(locked);
  FUpdatingMask = false;
}

// ---- Text and dates ------------------------------------------------------------------------

String TcxCustomDateEditProperties::EmptyText() const {
  if (!IsMasked()) return String();
  auto* self = const_cast<TcxCustomDateEditProperties*>(this);
  std::unique_ptr<TcxMaskEditCustomMode> mode = self->CreateMode(nullptr);
  return mode ? mode->EmptyText() : String();
}

bool TcxCustomDateEditProperties::TextToDate(const String& AText, TDateTime& ADate) const {
  ADate = NullDate;
  if (AText == EmptyText()) return false;
  TDateTime date = NullDate;
  if (ParseDateText(AText, date) && date != NullDate) {
    ADate = date;
    return true;
  }
  if (FDateOnError != deToday) return false;
  ADate = Today(FKind);
  return true;
}

bool TcxCustomDateEditProperties::ShowsTime(TDateTime AValue, bool AIsEditing) const {
  const bool hasTime = RemoveDatePart(AValue) != 0;
  if (!AIsEditing) return !(FKind == ckDate && !FShowTime);
  if (FKind == ckDateTime) return hasTime || InputKind() == ikMask;
  return FShowTime && hasTime && InputKind() == ikStandard;
}

String TcxCustomDateEditProperties::DateEditValueToText(const Variant& AValue, bool AIsEditing) const {
  const bool masked = AIsEditing && InputKind() == ikMask;
  if (IsBlankValue(AValue)) {
    String text = EmptyText();
    if (masked && FKind == ckDateTime && !text.empty()) {
      // The empty date-time picture shows a zero time.
      const TcxFormatController* controller = GetFormatController();
      const size_t timeLength = size_t(controller->GetDateTimeFormatTextLength(controller->TimeFormatInfo));
      String zero;
      FormatDateValueText(true, true, zero, 0);
      if (timeLength <= text.size() && timeLength <= zero.size())
        text.replace(text.size() - timeLength, timeLength, zero.substr(zero.size() - timeLength));
    }
    return text;
  }
  TDateTime value = NullDate;
  if (VarIsStr(AValue)) {
    if (!TextToDate(AValue.AsString(), value)) throw EConvertError(LoadResourceText(cxSEditDateConvertError));
  } else if (VarIsNumeric(AValue) || VarIsType(AValue, varDate)) {
    value = AValue.AsDouble();
  } else {
    throw EConvertError(LoadResourceText(cxSEditDateConvertError));
  }
  if (value == NullDate || !std::isfinite(value)) throw EConvertError(LoadResourceText(cxSEditDateConvertError));
  const bool withTime = ShowsTime(value, AIsEditing);
  if (!withTime) value = TruncDateTimeToDay(value);
  String text;
  FormatDateValueText(masked, masked ? FKind == ckDateTime : withTime, text, value);
  return TrimRight(text);
}

bool TcxCustomDateEditProperties::AcceptsEditValue(Variant& AValue, bool) const {
  if (VarIsStr(AValue)) {
    try {
      TDateTime date = NullDate;
      return TextToDate(AValue.AsString(), date) && date != NullDate;
    } catch (const Exception&) {
      return false;
    }
  }
  return IsBlankValue(AValue) || VarIsNumeric(AValue) || VarIsType(AValue, varDate);
}

void TcxCustomDateEditProperties::NormalizeEditValue(const Variant& AValue, Variant& ANormalized,
                                                     bool AIsEditing) const {
  String text;
  try {
    text = DateEditValueToText(AValue, AIsEditing);
  } catch (const EConvertError&) {
    text = VarToStr(AValue);  // shown as it is rather than lost
  }
  ANormalized = Variant(text);
}

bool TcxCustomDateEditProperties::IsDisplayValueAcceptable(String& AText) const {
  if (InputKind() != ikStandard) return TcxCustomPopupEditProperties::IsDisplayValueAcceptable(AText);
  TDateTime date = NullDate;
  return ParseDateText(AText, date) && date != NullDate;
}

void TcxCustomDateEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                    IcxCustomEdit* AEdit) {
  auto* edit = dynamic_cast<TcxCustomDateEdit*>(AEdit);
  AErrorText = LoadResourceText(cxSDateError);
  AError = false;
  const String empty = EmptyText();
  const bool handler = AEdit && AEdit->HasValidateHandler();
  bool settled = false;
  TDateTime date = NullDate;
  bool isEmpty = VarToStr(ADisplayValue) == empty;
  try {
    if (!isEmpty && !ParseDateText(VarToStr(ADisplayValue), date)) AError = true;
    if (handler) {
      if (!isEmpty && !AError) ADisplayValue = Variant(DateEditValueToText(VarFromDateTime(date), true));
      AEdit->RunValidateHandlers(ADisplayValue, AErrorText, AError);
      settled = !AError;
      if (!AError) {
        isEmpty = VarToStr(ADisplayValue) == empty;
        date = NullDate;
        if (!isEmpty && !ParseDateText(VarToStr(ADisplayValue), date)) AError = true;
      }
    } else if (AError && FDateOnError != deNoChange) {
      date = FDateOnError == deToday ? Today(FKind) : NullDate;
      isEmpty = false;
      AError = false;
    }
  } catch (const Exception&) {
    AError = true;
  }
  if (!AError && date != NullDate && !isEmpty) AcceptDate(date, ADisplayValue, AErrorText, AError, edit);
  if (!AError && (date == NullDate || isEmpty)) {
    // No date: null, whatever time of day was kept.
    ADisplayValue = Variant(empty);
    if (edit) edit->SetSavedTime(0);
  }
  if (AError && !(handler && settled) && AEdit) ADisplayValue = Variant(AEdit->GetCurrentDisplayText());
}

void TcxCustomDateEditProperties::AcceptDate(TDateTime ADate, Variant& ADisplayValue, TCaption& AErrorText,
                                             bool& AError, TcxCustomDateEdit* AEdit) {
  if (MaxDate() > MinDate() && (ADate < MinDate() || ADate > MaxDate())) {
    AError = true;
    AErrorText = LoadResourceText(cxSEditValueOutOfBounds);
    return;
  }
  if (FKind == ckDate && AEdit) {
    const TDateTime time = RemoveDatePart(ADate);
    if (time != 0)
      AEdit->SetSavedTime(time);
    else if (FSaveTime)
      ADate = WithTime(ADate, AEdit->SavedTime());
    else
      AEdit->SetSavedTime(0);
  }
  ADisplayValue = Variant(DateEditValueToText(VarFromDateTime(ADate), true));
}

// ---------------------------------------------------------------------------
// TcxCustomDateEdit

// ---------------------------------------------------------------------------
// TcxDateEditPopupWindow

TcxDateEditPopupWindow::TcxDateEditPopupWindow(TcxCustomDateEdit* AEdit)
    : TcxPopupEditPopupWindow(AEdit, AEdit), FEdit(AEdit) {
  // The popup takes the focus but runs no loop of its own.
  SetOwnLoop(false);
}

bool TcxDateEditPopupWindow::PassesToCalendar(Word Key, TShiftState Shift) const {
  TcxPopupCalendar* calendar = FEdit->Calendar();
  if ((Key == VK_UP || Key == VK_DOWN) && Shift == ssAlt) return true;
  if (Key == VK_F4 && (Shift & ssAlt) == 0) return true;
  if (Key != VK_ESCAPE) return false;
  TWinControl* focused = TWinControl::FindControl(GetFocus());
  for (TWinControl* c = focused; c; c = c->Parent()) {
    if (c == calendar->TimeEdit()) return !calendar->TimeEdit()->ModifiedAfterEnter();
    if (c == calendar->TodayButton() || c == calendar->NowButton() || c == calendar->ClearButton() ||
        c == calendar->OKButton())
      return true;
  }
  return false;
}

void TcxDateEditPopupWindow::KeyDown(Word& Key, TShiftState Shift) {
  if (PassesToCalendar(Key, Shift)) {
    FEdit->Calendar()->KeyDown(Key, Shift);
    Key = 0;
    return;
  }
  TcxPopupEditPopupWindow::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// TcxCustomDateEdit

namespace {

TcxCustomEditPopupWindow* CreateDateEditPopupWindow(TcxCustomDropDownEdit* AEdit) {
  return new TcxDateEditPopupWindow(static_cast<TcxCustomDateEdit*>(AEdit));
}

TcxTimeEditTimeFormat LocaleTimeFormat(bool& AUse24Hour) {
  const TcxDateTimeFormatInfo& info = GetFormatController()->TimeFormatInfo;
  AUse24Hour = true;
  for (const TcxDateTimeFormatItem& item : info.Items)
    if (item.Kind == fikHour) AUse24Hour = item.Text.rfind(u"24", 0) == 0;
  if (info.Defined[fikSecond]) return tfHourMinSec;
  if (info.Defined[fikMinute]) return tfHourMin;
  if (info.Defined[fikHour]) return tfHour;
  return tfHourMinSec;
}

}  // namespace

TcxCustomDateEdit::TcxCustomDateEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomPopupEdit(AOwner, AIsInplace, CreateDateEditPopupWindow) {
  SetControlStyle(ControlStyle() & ~csSetCaption);
  FCalendar = std::make_unique<TcxPopupCalendar>(nullptr);
  FCalendar->SetParent(PopupWindow());
  FCalendar->OnCloseRequest = TNotifyEvent(this, &TcxCustomDateEdit::CalendarCloseRequest);
}

TcxCustomDateEdit::~TcxCustomDateEdit() {
  // The calendar leaves the popup window before the editor frees that.
  FCalendar.reset();
}

TcxCustomDateEditProperties* TcxCustomDateEdit::ActiveDateProperties() {
  return static_cast<TcxCustomDateEditProperties*>(ActiveProperties());
}

TDateTime TcxCustomDateEdit::DisplayTextToDate(const String& AText) {
  TcxCustomDateEditProperties* properties = ActiveDateProperties();
  TDateTime date = NullDate;
  if (!properties->TextToDate(AText, date)) return NullDate;
  if (properties->Kind() == ckDate && properties->SaveTime()) date = WithTime(TruncDateTimeToDay(date), FSavedTime);
  return date;
}

TDateTime TcxCustomDateEdit::EditValueAsDate() {
  const Variant& value = EditValue();
  if (VarIsNumeric(value) || VarIsType(value, varDate)) return value.AsDouble();
  if (VarIsStr(value)) return DisplayTextToDate(value.AsString());
  return NullDate;
}

TDateTime TcxCustomDateEdit::Date() {
  if (IsEditingText() && ModifiedAfterEnter()) return DisplayTextToDate(Text());
  return EditValueAsDate();
}

void TcxCustomDateEdit::SetDate(TDateTime Value) {
  if (Value == NullDate) return SetEditValue(Null());
  TcxCustomDateEditProperties* properties = ActiveDateProperties();
  if (properties->Kind() == ckDate && RemoveDatePart(Value) == 0)
    Value = WithTime(TruncDateTimeToDay(Value), properties->SaveTime() ? FSavedTime : 0);
  SetEditValue(VarFromDateTime(Value));
}

void TcxCustomDateEdit::UpdateDisplayValue() {
  TcxCustomDateEditProperties* properties = ActiveDateProperties();
  String text;
  try {
    text = properties->DateEditValueToText(EditValue(), IsEditingText());
  } catch (const EConvertError&) {
    text = VarToStr(EditValue());  // shown as it is rather than lost
  }
  if (IsEditingText())
    MaskModel()->SetText(text);
  else
    MaskModel()->ShowUnformatted(text);
  SyncInnerEdit();
}

void TcxCustomDateEdit::InternalSetEditValue(const Variant& Value, bool AValidateFirst) {
  if (IsDestroying()) return;
  TcxCustomDateEditProperties* properties = ActiveDateProperties();
  if (properties->Kind() == ckDate) {
    FSavedTime = 0;
    if (properties->SaveTime()) {
      if (VarIsNumeric(Value) || VarIsType(Value, varDate)) {
        FSavedTime = RemoveDatePart(Value.AsDouble());
      } else if (VarIsStr(Value)) {
        TDateTime date = NullDate;
        if (ParseDateText(Value.AsString(), date) && date != NullDate) FSavedTime = RemoveDatePart(date);
      }
    }
  }
  TcxCustomPopupEdit::InternalSetEditValue(Value, AValidateFirst);
}

void TcxCustomDateEdit::InternalSetDisplayValue(const Variant& Value) {
  const TDateTime date = DisplayTextToDate(VarToStr(Value));
  ApplyEditValue(date == NullDate ? Null() : VarFromDateTime(date));
}

TSize TcxCustomDateEdit::PopupContentSize() { return TSize{FCalendar->Width(), FCalendar->Height()}; }

void TcxCustomDateEdit::PopupClientRectChanged(const TRect& AClientRect) {
  FCalendar->SetBounds(AClientRect.Left, AClientRect.Top, FCalendar->Width(), FCalendar->Height());
}

void TcxCustomDateEdit::SetupPopupWindow() {
  TcxCustomPopupEdit::SetupPopupWindow();
  TcxCustomDateEditProperties* properties = ActiveDateProperties();
  TcxPopupCalendar* c = FCalendar.get();
  c->OnDateChosen = nullptr;
  c->SetColor(Style()->Color());
  c->SetFlat(Style()->LookAndFeel()->Kind() != lfStandard);
  c->SetButtons(properties->DateButtons());
  FDateAtDropDown = Date();
  if (FDateAtDropDown == NullDate) FDateAtDropDown = ::Date();
  if (properties->Kind() == ckDateTime) c->SetTime(RemoveDatePart(FDateAtDropDown));
  const TDateTime day = TruncDateTimeToDay(FDateAtDropDown);
  c->SetFirstDate(day);
  c->SetSelectDate(day);
  c->SetEditorDate(day);
  c->Font()->Assign(Style()->GetVisibleFont());
  c->Font()->SetColor(clBtnText);
  c->OnDateChosen = TNotifyEvent(this, &TcxCustomDateEdit::CalendarDateChosen);
  c->SetArrowsForYear(properties->ArrowsForYear());
  c->SetKind(properties->Kind());
  bool use24Hour = true;
  c->SetTimeFormat(LocaleTimeFormat(use24Hour));
  c->SetUse24HourFormat(use24Hour);
  c->SetYearsInMonthList(properties->YearsInMonthList());
  c->SetPostPopupValueOnTab(properties->PostPopupValueOnTab());
  c->RecalcLayout();
}

void TcxCustomDateEdit::PopupWindowShowed(TObject* Sender) {
  TcxCustomPopupEdit::PopupWindowShowed(Sender);
  FCalendar->RecalcLayout();
  FCalendar->SetEditorPopupOpen(true);
}

void TcxCustomDateEdit::PopupWindowClosed(TObject* Sender) {
  FCalendar->SetEditorPopupOpen(false);
  TcxCustomPopupEdit::PopupWindowClosed(Sender);
}

void TcxCustomDateEdit::CalendarCloseRequest(TObject*) {
  if (HasOpenPopup()) PostClosePopup(PopupWindow());
}

void TcxCustomDateEdit::CalendarDateChosen(TObject*) {
  TcxCustomDateEditProperties* properties = ActiveDateProperties();
  TDateTime date = FCalendar->SelectDate();
  if (date != NullDate) {
    if (properties->Kind() == ckDateTime)
      date = WithTime(TruncDateTimeToDay(date), FCalendar->Time());
    else if (properties->SaveTime())
      date = WithTime(TruncDateTimeToDay(date), RemoveDatePart(FDateAtDropDown));
  }
  const Variant value = date == NullDate ? Null() : VarFromDateTime(date);
  String text;
  try {
    text = properties->DateEditValueToText(value, true);
  } catch (const EConvertError&) {
    return;
  }
  if (date == Date() && text == Text()) return;
  if (!DoEditing()) return;
  // The calendar holds the focus: the value the editor had at focus-in
  // stays what Esc goes back to.
  SetEditValue(value);
  if (date != NullDate) SelectWholeText();
  SetModified(true);
}

void cxDateEditInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxDateEditProperties::StaticClass(), LoadResourceText(cxSEditDateEditKind));
}

void cxDateEditFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxDateEditProperties::StaticClass()); }
