#include "editors/cxTimeEdit.h"

#include <cmath>

#include "editors/cxEditRegisteredRepositoryItems.h"
#include "platform/gui/messages.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"

namespace {

constexpr double cxSecondsPerDay = 86400.0;
// 1-based character positions of the time parts' digits.
constexpr Integer cxHourPos = 1, cxMinPos = 4, cxSecPos = 7;

bool IsDigit(Char C) { return C >= u'0' && C <= u'9'; }

// The two-digit number at the 0-based index AIndex; -1 when not two digits.
Integer TwoDigitsAt(const String& AText, size_t AIndex) {
  if (AText.size() < AIndex + 2 || !IsDigit(AText[AIndex]) || !IsDigit(AText[AIndex + 1])) return -1;
  return (AText[AIndex] - u'0') * 10 + (AText[AIndex + 1] - u'0');
}

String TrimRightBlanks(String AText) {
  while (!AText.empty() && AText.back() == u' ') AText.pop_back();
  return AText;
}

}  // namespace

Integer cxTimeEditTimeLength(TcxTimeEditTimeFormat ATimeFormat) {
  return ATimeFormat == tfHourMinSec ? 8 : ATimeFormat == tfHourMin ? 5 : 2;
}

String cxTimeEditDisplayFormat(TcxTimeEditTimeFormat ATimeFormat, bool AUse24Hour) {
  static const char16_t* const formats[3] = {u"hh:nn:ss", u"hh:nn", u"hh"};
  return String(formats[ATimeFormat]) + (AUse24Hour ? u"" : u" ampm");
}

String cxTimeEditMask(TcxTimeEditTimeFormat ATimeFormat, bool AUse24Hour, const TFormatSettings& ALocale) {
  static const char16_t* const digits[3] = {u"00:00:00", u"00:00", u"00"};
  String mask = digits[ATimeFormat];
  if (!AUse24Hour) {
    String suffix = u" ";
    for (Char c : ALocale.TimePMString) suffix += c == u' ' ? u' ' : u'c';
    mask += TrimRightBlanks(suffix);
  }
  return mask + u";1;0";
}

// ---------------------------------------------------------------------------
// TcxCustomTimeEditProperties

TcxCustomTimeEditProperties::TcxCustomTimeEditProperties(TPersistent* AOwner) : TcxCustomSpinEditProperties(AOwner) {
  BeginUpdate();
  SetValueType(vtFloat);
  SetIgnoreMaskBlank(true);
  SetAlwaysShowBlanksAndLiterals(true);
  SetMinValue(0);
  SetMaxValue(cxTimeEditMaxSeconds);
  UpdateMask();
  EndUpdate();
}

void TcxCustomTimeEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomTimeEditProperties*>(Source);
  BeginUpdate();
  TcxCustomSpinEditProperties::Assign(Source);
  if (source) {
    FShowDate = source->FShowDate;
    FTimeFormat = source->FTimeFormat;
    FUse24HourFormat = source->FUse24HourFormat;
    FUseTimeFormatWhenUnfocused = source->FUseTimeFormatWhenUnfocused;
    UpdateMask();
  }
  EndUpdate();
}

void TcxCustomTimeEditProperties::FormatsChanged() {
  UpdateMask();
  TcxCustomSpinEditProperties::FormatsChanged();
}

void TcxCustomTimeEditProperties::SetTimeFormat(TcxTimeEditTimeFormat Value) {
  FTimeFormat = Value;
  UpdateMask();
}

void TcxCustomTimeEditProperties::SetUse24HourFormat(bool Value) {
  FUse24HourFormat = Value;
  UpdateMask();
}

void TcxCustomTimeEditProperties::UpdateMask() {
  SetMaskKind(emkStandard);
  SetEditMask(cxTimeEditMask(FTimeFormat, FUse24HourFormat, Locale()));
  NotifyChanged();
}

TcxCustomEditClass TcxCustomTimeEditProperties::GetEditorClass() { return TcxTimeEdit::StaticClass(); }

String TcxCustomTimeEditProperties::ValueText(const Variant& AValue) const {
  return TextOfSeconds(static_cast<Integer>(ToValueType(AValue).AsDouble()));
}

bool TcxCustomTimeEditProperties::ReadSeconds(const String& AText, Integer& ASeconds) const {
  const Integer hour = TwoDigitsAt(AText, cxHourPos - 1);
  const Integer minute = FTimeFormat == tfHour ? 0 : TwoDigitsAt(AText, cxMinPos - 1);
  const Integer second = FTimeFormat == tfHourMinSec ? TwoDigitsAt(AText, cxSecPos - 1) : 0;
  if (hour < 0 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
  Integer seconds = minute * 60 + second;
  if (FUse24HourFormat) {
    if (hour > 23) return false;
    return ASeconds = seconds + hour * 3600, true;
  }
  if (hour < 1 || hour > 12) return false;
  const String designator = Trim(AText.substr(std::min<size_t>(AText.size(), cxTimeEditTimeLength(FTimeFormat))));
  if (designator.empty()) return false;  // a blank designator is neither half of the day
  if (AnsiSameText(designator, Locale().TimePMString))
    seconds += cxTimeEditHalfDay;
  else if (!AnsiSameText(designator, Locale().TimeAMString))
    return false;
  ASeconds = seconds + (hour % 12) * 3600;
  return true;
}

String TcxCustomTimeEditProperties::TextOfSeconds(Integer ASeconds) const {
  const Integer seconds = std::clamp<Integer>(ASeconds, 0, cxTimeEditMaxSeconds);
  return TrimRightBlanks(
      FormatDateTime(cxTimeEditDisplayFormat(FTimeFormat, FUse24HourFormat), seconds / cxSecondsPerDay, Locale()));
}

String TcxCustomTimeEditProperties::EditValueToText(const Variant& AValue, bool AIsEditing) const {
  if (VarIsNullOrEmpty(AValue)) return AIsEditing ? TextOfSeconds(0) : String();
  TDateTime value = 0;
  if (VarIsStr(AValue)) {
    if (!TryStrToDateTime(AValue.AsString(), value, Locale())) return String();
  } else if (VarIsNumeric(AValue) || VarIsType(AValue, varDate)) {
    value = AValue.AsDouble();
  } else {
    return String();
  }
  if (!std::isfinite(value)) return String();
  const double days = std::trunc(value);
  const bool hasDay = FShowDate && days != 0;
  if (AIsEditing || (FUseTimeFormatWhenUnfocused && !hasDay)) {
    const double seconds = std::round(std::fabs(value - days) * cxSecondsPerDay);
    return TextOfSeconds(static_cast<Integer>(std::min(seconds, double(cxTimeEditMaxSeconds))));
  }
  return hasDay ? DateTimeToStr(value, Locale()) : TimeToStr(value, Locale());
}

TcxTimePart TcxCustomTimeEditProperties::PartAt(Integer ASelStart) const {
  Integer position = ASelStart + 1;
  if (IsMaxLengthAssigned() && MaxLength() > 0) position = std::min(position, MaxLength());
  if (!FUse24HourFormat && position > cxTimeEditTimeLength(FTimeFormat)) return tpAMPM;
  const String format = UpperCase(cxTimeEditDisplayFormat(FTimeFormat, true));
  for (size_t i = static_cast<size_t>(std::max(position, 1)) - 1; i < format.size(); ++i) {
    if (format[i] == u'H') return tpHour;
    if (format[i] == u'N') return tpMin;
    if (format[i] == u'S') return tpSec;
  }
  return static_cast<TcxTimePart>(FTimeFormat == tfHourMinSec ? tpSec : FTimeFormat == tfHourMin ? tpMin : tpHour);
}

double TcxCustomTimeEditProperties::PartStep(TcxTimePart APart, Integer AKind, Integer ASeconds) const {
  const bool up = AKind == skUp || AKind == skFastUp;
  const bool fast = AKind == skFastDown || AKind == skFastUp;
  // Towards the other half of the day, in the key's direction: an up step
  // after noon and a down step before noon go back (and, unless circular,
  // stop at the day's ends).
  if (APart == tpAMPM) return up == (ASeconds >= cxTimeEditHalfDay) ? -cxTimeEditHalfDay : cxTimeEditHalfDay;
  double step = APart == tpHour ? 3600 : APart == tpMin ? 60 : 1;
  if (fast && APart != tpHour) step *= 10;
  return up ? step : -step;
}

void TcxCustomTimeEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                    IcxCustomEdit* AEdit) {
  Integer seconds = 0;
  if (!ReadSeconds(VarToStr(ADisplayValue), seconds)) {
    AError = true;
    if (AErrorText.empty()) AErrorText = LoadResourceText(cxSEditTimeConvertError);
  }
  TcxCustomEditProperties::CheckDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

// ---------------------------------------------------------------------------
// TcxTimeEditModel

TcxCustomTimeEditProperties* TcxTimeEditModel::TimeProperties() const {
  return static_cast<TcxCustomTimeEditProperties*>(Properties());
}

void TcxTimeEditModel::ShowSeconds(Integer ASeconds, TcxTimePart APart) {
  TcxCustomTimeEditProperties* properties = TimeProperties();
  const String text = properties->TextOfSeconds(ASeconds);
  const Integer timeLength = cxTimeEditTimeLength(properties->TimeFormat());
  if (APart == tpAMPM)
    ShowUserText(text, std::min<Integer>(timeLength + 1, static_cast<Integer>(text.size())),
                 std::max<Integer>(0, static_cast<Integer>(text.size()) - timeLength - 1));
  else
    ShowUserText(text, APart * 3 + 1, 1);
}

void TcxTimeEditModel::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_DELETE && TimeProperties()->PartAt(SelStart()) == tpAMPM) {
    Key = 0;
    return;
  }
  TcxSpinEditModel::KeyDown(Key, Shift);
}

bool TcxTimeEditModel::IsDigitAcceptable(Char AChar) const {
  TcxCustomTimeEditProperties* properties = TimeProperties();
  const Integer position = SelStart() + 1;
  if (properties->PartAt(SelStart()) == tpHour) {
    if (!IsDigit(AChar) || Length() < 2) return IsDigit(AChar);
    String hourText = Text().substr(0, 2);
    hourText[position - 1] = AChar;
    const Integer hour = TwoDigitsAt(hourText, 0);
    return properties->Use24HourFormat() ? hour <= 23 : hour >= 1 && hour <= 12;
  }
  if (position == cxMinPos || position == cxSecPos) return AChar >= u'0' && AChar <= u'5';
  return true;
}

bool TcxTimeEditModel::TypeDesignatorChar(Char& AChar) {
  TcxCustomTimeEditProperties* properties = TimeProperties();
  const Integer start = cxTimeEditTimeLength(properties->TimeFormat()) + 1;
  if (SelStart() < start) return false;
  const String typed = AnsiUpperCase(Text().substr(start, SelStart() - start) + String(1, AChar));
  auto begins = [&typed](const String& ADesignator) {
    return AnsiUpperCase(ADesignator).compare(0, typed.size(), typed) == 0;
  };
  Integer seconds = 0;
  const bool read = properties->ReadSeconds(Text(), seconds);
  const bool isPM = read && seconds >= cxTimeEditHalfDay;
  const String& current = isPM ? properties->Locale().TimePMString : properties->Locale().TimeAMString;
  const String& other = isPM ? properties->Locale().TimeAMString : properties->Locale().TimePMString;
  if (begins(current) || (!read && begins(other))) {
    // The designator's own character; a blank designator may become either.
    AChar = (begins(current) ? current : other)[typed.size() - 1];
    return true;
  }
  if (begins(other)) ShowSeconds((seconds + cxTimeEditHalfDay) % (2 * cxTimeEditHalfDay), tpAMPM);
  return false;
}

void TcxTimeEditModel::KeyPress(Char& Key) {
  TcxCustomTimeEditProperties* properties = TimeProperties();
  const bool inDesignator = properties->PartAt(SelStart()) == tpAMPM;
  if (Key == 8 && inDesignator) {
    const Integer designatorStart = cxTimeEditTimeLength(properties->TimeFormat()) + 1;
    if (SelStart() + SelLength() != designatorStart) {
      Word left = VK_LEFT;
      TcxMaskEditModel::KeyDown(left, 0);
      Key = 0;
      return;
    }
  }
  const bool accepted = Key < 32 || Key == 8 || Key == u'.' ||
                        (inDesignator ? TypeDesignatorChar(Key) : IsDigitAcceptable(Key));
  if (!accepted) {
    Key = 0;
    Beep();
    return;
  }
  TcxMaskEditModel::KeyPress(Key);
}

// ---------------------------------------------------------------------------
// TcxCustomTimeEdit

TcxCustomTimeEdit::TcxCustomTimeEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomSpinEdit(AOwner, AIsInplace) {}

TcxCustomTimeEditProperties* TcxCustomTimeEdit::ActiveTimeProperties() {
  return static_cast<TcxCustomTimeEditProperties*>(ActiveProperties());
}

std::unique_ptr<TcxTextEditModel> TcxCustomTimeEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  return std::make_unique<TcxTimeEditModel>(static_cast<TcxCustomTimeEditProperties*>(AProperties));
}

double TcxCustomTimeEdit::DatePart() const {
  const Variant& value = EditValue();
  TDateTime dateTime = 0;
  if (VarIsNumeric(value) || VarIsType(value, varDate))
    dateTime = value.AsDouble();
  else if (VarIsStr(value) && !TryStrToDateTime(value.AsString(), dateTime))
    dateTime = 0;
  return std::isfinite(dateTime) ? std::trunc(dateTime) : 0;
}

Variant TcxCustomTimeEdit::GetValue() {
  TcxCustomTimeEditProperties* properties = ActiveTimeProperties();
  const String text = Focused() ? Text() : properties->EditValueToText(EditValue(), true);
  Integer seconds = 0;
  if (!properties->ReadSeconds(text, seconds)) return Null();
  return Variant(double(seconds));
}

double TcxCustomTimeEdit::GetIncrement(Integer AKind) {
  const Variant value = GetValue();
  const Integer seconds = VarIsNull(value) ? 0 : static_cast<Integer>(value.AsDouble());
  return ActiveTimeProperties()->PartStep(ActiveTimeProperties()->PartAt(SelStart()), AKind, seconds);
}

bool TcxCustomTimeEdit::DoStep(Integer AKind) {
  if (VarIsNull(GetValue())) {
    TimeModel()->SetSelection(SelStart(), SelLength());
    return false;
  }
  const TcxTimePart part = ActiveTimeProperties()->PartAt(SelStart());
  const bool changed = TcxCustomSpinEdit::DoStep(AKind);
  const Variant value = GetValue();
  if (changed && !VarIsNull(value)) {
    TimeModel()->ShowSeconds(static_cast<Integer>(value.AsDouble()), part);
    SyncInnerEdit();
  }
  return changed;
}

void TcxCustomTimeEdit::UpdateDisplayValue() {
  const String text = ActiveTimeProperties()->EditValueToText(EditValue(), Focused());
  if (Focused())
    TimeModel()->SetText(text);
  else
    TimeModel()->ShowUnformatted(text);
  SyncInnerEdit();
}

void TcxCustomTimeEdit::InternalSetDisplayValue(const Variant& Value) {
  Integer seconds = 0;
  if (!ActiveTimeProperties()->ReadSeconds(VarToStr(Value), seconds)) return;  // validation refuses such a text
  const double date = DatePart();
  const double result = date + (date < 0 ? -1 : 1) * seconds / 86400.0;
  ApplyEditValue(result != 0 ? VarFromDateTime(result) : Variant(0.0));
}

Variant TcxCustomTimeEdit::Time() {
  const Variant value = GetValue();
  if (VarIsNull(value)) return Null();
  return Variant(value.AsDouble() / 86400.0);
}

void TcxCustomTimeEdit::SetTime(TDateTime AValue) {
  const double date = DatePart();
  const double time = std::fabs(AValue - std::trunc(AValue));
  SetEditValue(VarFromDateTime(date + (date < 0 ? -time : time)));
}

void cxTimeEditInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxTimeEditProperties::StaticClass(), LoadResourceText(cxSEditTimeEditKind));
}

void cxTimeEditFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxTimeEditProperties::StaticClass()); }
