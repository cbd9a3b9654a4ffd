#include "editors/cxDateEdit.h"

#include <cmath>

#include "editors/cxDateUtils.h"
#include "editors/cxEditRegisteredRepositoryItems.h"
#include "editors/cxFormats.h"
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
    : TcxCustomDropDownEditProperties(AOwner) {
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
  if (!source) return TcxCustomDropDownEditProperties::Assign(Source);
  BeginUpdate();
  TcxCustomDropDownEditProperties::Assign(Source);
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
  TcxCustomDropDownEditProperties::NotifyChanged();
}

void TcxCustomDateEditProperties::FormatsChanged() {
  UpdateEditMask();
  TcxCustomDropDownEditProperties::FormatsChanged();
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
  if (InputKind() != ikStandard) return TcxCustomDropDownEditProperties::IsDisplayValueAcceptable(AText);
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

TcxCustomDateEdit::TcxCustomDateEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomDropDownEdit(AOwner, AIsInplace) {}

TcxCustomDateEdit::~TcxCustomDateEdit() = default;

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
  if (Focused() && ModifiedAfterEnter()) return DisplayTextToDate(Text());
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
    text = properties->DateEditValueToText(EditValue(), Focused());
  } catch (const EConvertError&) {
    text = VarToStr(EditValue());  // shown as it is rather than lost
  }
  if (Focused())
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
  TcxCustomDropDownEdit::InternalSetEditValue(Value, AValidateFirst);
}

void TcxCustomDateEdit::InternalSetDisplayValue(const Variant& Value) {
  const TDateTime date = DisplayTextToDate(VarToStr(Value));
  ApplyEditValue(date == NullDate ? Null() : VarFromDateTime(date));
}

void cxDateEditInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxDateEditProperties::StaticClass(), LoadResourceText(cxSEditDateEditKind));
}

void cxDateEditFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxDateEditProperties::StaticClass()); }
