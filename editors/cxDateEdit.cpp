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
  TcxUpdateScope update(this);
  FDateButtons = source->FDateButtons;
  FInputKind = source->FInputKind;
}

void TcxDateEditPropertiesValues::RestoreDefaults() {
  TcxCustomEditPropertiesValues::RestoreDefaults();
  TcxUpdateScope update(this);
  FDateButtons = false;
  FInputKind = false;
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
  TcxUpdateScope update(this);
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
}

TDateButtons TcxCustomDateEditProperties::DateButtons() const {
  if (DateAssignedValues()->DateButtons()) return FDateButtons;
  return DateButtonBit(btnClear) | DateButtonBit(FKind == ckDate ? btnToday : btnNow);
}

void TcxCustomDateEditProperties::SetDateButtons(TDateButtons Value) {
  if (DateAssignedValues()->DateButtons() && Value == FDateButtons) return;
  FDateButtons = Value;
  TcxUpdateScope update(this);  // one notice, also when the flag was set
  DateAssignedValues()->SetDateButtons(true);
}

TcxInputKind TcxCustomDateEditProperties::InputKind() const {
  if (DateAssignedValues()->InputKind()) return FInputKind;
  return FKind == ckDate ? ikRegExpr : ikMask;
}

void TcxCustomDateEditProperties::SetInputKind(TcxInputKind Value) {
  if (DateAssignedValues()->InputKind() && Value == FInputKind) return;
  FInputKind = Value;
  TcxUpdateScope update(this);  // one notice, also when the flag was set
  DateAssignedValues()->SetInputKind(true);
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
  // The rebuild does not report itself: an update bracket closed without a
  // notice (whatever happens).
  struct TMaskRebuild {
    TcxCustomDateEditProperties* Properties;
    ~TMaskRebuild() {
      Properties->EndUpdate(false);
      Properties->FUpdatingMask = false;
    }
  } rebuild{this};
  FUpdatingMask = true;
  BeginUpdate();
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
}

// ---- Text and dates ------------------------------------------------------------------------

String TcxCustomDateEditProperties::EmptyText() const {
  if (!IsMasked()) return String();
  auto* self = const_cast<TcxCustomDateEditProperties*>(this);
  std::unique_ptr<TcxMaskEditCustomMode> mode = self->CreateMode(nullptr);
  return mode ? mode->EmptyText() : String();
}

bool TcxCustomDateEditProperties::IsDateTextAcceptable(const String& AText) const {
  if (InputKind() != ikStandard || Trim(AText).empty() || IsEmptyText(AText)) return true;
  TDateTime date = NullDate;
  return ParseDateText(AText, date) && date != NullDate;
}

bool TcxCustomDateEditProperties::IsEmptyText(const String& AText) const {
  return AText == EmptyText() || (UsesMaskedTimeEntry() && AText == DateEditValueToText(Null(), true));
}

bool TcxCustomDateEditProperties::TextToDate(const String& AText, TDateTime& ADate) const {
  ADate = NullDate;
  if (IsEmptyText(AText)) return false;
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
    // Only the text being edited shows the mask's blank picture.
    if (!AIsEditing) return String();
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

void TcxCustomDateEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                    IcxCustomEdit* AEdit) {
  auto* edit = dynamic_cast<TcxCustomDateEdit*>(AEdit);
  AErrorText = LoadResourceText(cxSDateError);
  AError = false;
  const String empty = EmptyText();
  const bool handler = AEdit && AEdit->HasValidateHandler();
  bool settled = false;
  TDateTime date = NullDate;
  bool isEmpty = IsEmptyText(VarToStr(ADisplayValue));
  try {
    if (!isEmpty && !ParseDateText(VarToStr(ADisplayValue), date)) AError = true;
    if (handler) {
      if (!isEmpty && !AError) ADisplayValue = Variant(DateEditValueToText(VarFromDateTime(date), true));
      AEdit->RunValidateHandlers(ADisplayValue, AErrorText, AError);
      settled = !AError;
      if (!AError) {
        isEmpty = IsEmptyText(VarToStr(ADisplayValue));
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

// ---- Masked date-time entry ----------------------------------------------------------------

bool TcxCustomDateEditProperties::UsesMaskedTimeEntry() const {
  return FKind == ckDateTime && InputKind() == ikMask && IsMasked() &&
         EditMask() == GetFormatController()->StandardDateTimeMask;
}

TcxDateEditTimePart TcxCustomDateEditProperties::TimePartAt(Integer APos) const {
  TcxDateEditTimePart part;
  if (!UsesMaskedTimeEntry()) return part;
  TcxDateTimeFormatItemKind kind = fikLiteral;
  Integer start = 0, length = 0;
  TcxAmPmStyle style = apsAP;
  if (!FindDateTimeFormatItemAt(GetFormatController()->DateTimeFormatInfo, APos + 1, kind, start, length, style))
    return part;
  if (kind != fikHour && kind != fikMinute && kind != fikSecond && kind != fikAmPm) return part;
  part.Kind = kind;
  part.Start = start - 1;
  part.Length = length;
  part.AmPmStyle = style;
  return part;
}

namespace {

bool IsTwelveHourClock() {
  for (const TcxDateTimeFormatItem& item : GetFormatController()->DateTimeFormatInfo.Items)
    if (item.Kind == fikHour) return item.Text.rfind(u"12", 0) == 0;
  return false;
}

void DesignatorsOf(TcxAmPmStyle AStyle, String& AAm, String& APm) {
  switch (AStyle) {
    case apsAP:
      AAm = u"A";
      APm = u"P";
      break;
    case apsAMPM:
      AAm = u"AM";
      APm = u"PM";
      break;
    case apsLocale:
      AAm = GetFormatController()->TimeAMString;
      APm = GetFormatController()->TimePMString;
      break;
  }
}

Char Upper(Char C) { return UpperCase(String(1, C))[0]; }

}  // namespace

TcxCustomDateEditProperties* TcxDateEditModel::DateProperties() const {
  return static_cast<TcxCustomDateEditProperties*>(MaskProperties());
}

void TcxDateEditModel::KeyPress(Char& Key) {
  if (Key >= u' ' && Mode() && !ReadOnly()) {
    const TcxDateEditTimePart part = DateProperties()->TimePartAt(SelStart());
    if (part.IsNumeric() && Key >= u'0' && Key <= u'9' && !TypeTimeDigit(Key, part)) return;
    if (part.Kind == fikAmPm && !TypeDesignatorLetter(Key, part)) return;
  }
  TcxMaskEditModel::KeyPress(Key);
  ZeroTimeBlanks();  // a Backspace leaves 0 in a time part
}

void TcxDateEditModel::KeyDown(Word& Key, TShiftState Shift) {
  TcxMaskEditModel::KeyDown(Key, Shift);
  ZeroTimeBlanks();
}

String TcxDateEditModel::CutText() {
  String text = TcxMaskEditModel::CutText();
  ZeroTimeBlanks();
  return text;
}

void TcxDateEditModel::ZeroTimeBlanks() {
  TcxCustomDateEditProperties* properties = DateProperties();
  if (!Mode() || !properties->UsesMaskedTimeEntry()) return;
  String text = Text();
  bool changed = false;
  for (Integer i = 0; i < Integer(text.size()); ++i)
    if (text[size_t(i)] == u' ' && properties->TimePartAt(i).IsNumeric()) {
      text[size_t(i)] = u'0';
      changed = true;
    }
  if (changed) ShowUserText(text, SelStart(), SelLength());
}

void TcxDateEditModel::Rewrite(Integer AStart, const String& AText, Integer ACaret) {
  String text = Text();
  if (AStart < 0 || AStart + Integer(AText.size()) > Integer(text.size())) return;
  text.replace(size_t(AStart), AText.size(), AText);
  ShowUserText(text, ACaret);
  SelectionMovedByUser(ACaret, 0);
}

void TcxDateEditModel::Refuse(Char& Key) {
  Key = 0;
  Beep();
}

bool TcxDateEditModel::TypeTimeDigit(Char& Key, const TcxDateEditTimePart& APart) {
  const String text = Text();
  const Integer pos = SelStart(), offset = pos - APart.Start;
  if (APart.Start + APart.Length > Integer(text.size()) || offset < 0 || offset >= APart.Length) return true;
  String candidate = text.substr(size_t(APart.Start), size_t(APart.Length));
  candidate[size_t(offset)] = Key;
  Integer value = 0;
  for (const Char c : candidate) {
    if (c < u'0' || c > u'9') return true;  // a blank part: the mask decides
    value = value * 10 + (c - u'0');
  }
  const bool twelve = APart.Kind == fikHour && IsTwelveHourClock();
  const Integer lowest = twelve ? 1 : 0;
  const Integer highest = APart.Kind == fikHour ? (twelve ? 12 : 23) : 59;
  if (value >= lowest && value <= highest) return true;
  if (offset > 0) {
    if (Key == u'0') {
      Refuse(Key);
      return false;
    }
    Rewrite(pos - 1, u"0", pos);  // the digit still fits after a leading 0
    return true;
  }
  const String first = text.substr(size_t(APart.Start), 1);
  if (Key == u'0') {
    Rewrite(APart.Start, u"0" + first, pos + 1);
  } else if (Key > IntToStr(highest)[0]) {
    Rewrite(pos, u"0", pos + 1);  // 5 into the first hour digit gives 05
    return true;
  } else {
    Rewrite(APart.Start, String(1, Key) + u"0", pos + 1);
  }
  Key = 0;
  return false;
}

bool TcxDateEditModel::TypeDesignatorLetter(Char& Key, const TcxDateEditTimePart& APart) {
  String am, pm;
  DesignatorsOf(APart.AmPmStyle, am, pm);
  const String text = Text();
  const Integer offset = SelStart() - APart.Start;
  size_t differ = 0;
  while (differ < am.size() && differ < pm.size() && Upper(am[differ]) == Upper(pm[differ])) ++differ;
  const Char key = Upper(Key);
  const size_t at = size_t(offset);
  if (at < differ) {
    if (key == Upper(am[at])) return true;
  } else if (at > differ) {
    if (at < text.size() - size_t(APart.Start) && key == Upper(text[size_t(APart.Start) + at])) return true;
  } else {
    const String* designator = at < am.size() && key == Upper(am[at])   ? &am
                               : at < pm.size() && key == Upper(pm[at]) ? &pm
                                                                        : nullptr;
    if (designator) {
      String written = *designator;
      written.resize(size_t(APart.Length), u' ');
      Rewrite(APart.Start, written, APart.Start + APart.Length);
      Key = 0;
      return false;
    }
  }
  Refuse(Key);
  return false;
}

// ---------------------------------------------------------------------------
// TcxDateEditPopupWindow

TcxDateEditPopupWindow::TcxDateEditPopupWindow(TcxCustomDropDownEdit* AEdit)
    : TcxPopupEditPopupWindow(AEdit, AEdit), FEdit(AEdit) {
  // The popup takes the focus but runs no loop of its own.
  SetOwnLoop(false);
}

TcxCustomDateEdit* TcxDateEditPopupWindow::Edit() const { return static_cast<TcxCustomDateEdit*>(FEdit); }

bool TcxDateEditPopupWindow::PassesToCalendar(Word Key, TShiftState Shift) const {
  TcxPopupCalendar* calendar = Edit()->Calendar();
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
  TcxCustomDateEdit* edit = Edit();
  if (Key == VK_TAB && (Shift & (ssAlt | ssCtrl)) == 0 && edit->ActiveDateProperties()->Kind() == ckDate &&
      edit->ActiveDateProperties()->PostPopupValueOnTab()) {
    // The calendar takes the selected day; the focus moves on from the editor.
    edit->Calendar()->KeyDown(Key, Shift);
    edit->ClosePopup(false);
    if (TWinControl* parent = edit->Parent()) parent->SelectNext(edit, (Shift & ssShift) == 0, true);
    Key = 0;
    return;
  }
  if (PassesToCalendar(Key, Shift)) {
    Edit()->Calendar()->KeyDown(Key, Shift);
    Key = 0;
    return;
  }
  TcxPopupEditPopupWindow::KeyDown(Key, Shift);
}

// ---------------------------------------------------------------------------
// TcxCustomDateEdit

namespace {

TcxCustomEditPopupWindow* CreateDateEditPopupWindow(TcxCustomDropDownEdit* AEdit) {
  return new TcxDateEditPopupWindow(AEdit);
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

void TcxCustomDateEdit::CheckEditorValueBounds() {
  TcxCustomDateEditProperties* properties = ActiveDateProperties();
  if (properties->MaxDate() <= properties->MinDate()) return;
  const TDateTime date = Date();
  if (date == NullDate) return;
  TDateTime bound;
  if (date < properties->MinDate())
    bound = properties->MinDate();
  else if (date > properties->MaxDate())
    bound = properties->MaxDate();
  else
    return;
  PushModifiedState();
  try {
    SetEditValue(VarFromDateTime(bound));
    if (IsEditingText()) UpdateDisplayValue();
  } catch (...) {
    PopModifiedState();
    throw;
  }
  PopModifiedState();
}

void TcxCustomDateEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomPopupEdit::PropertiesChanged(Sender);
  if (!IsDestroying() && IsModified() && !IsDataAware()) CheckEditorValueBounds();
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

std::unique_ptr<TcxTextEditModel> TcxCustomDateEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  return std::make_unique<TcxDateEditModel>(static_cast<TcxCustomDateEditProperties*>(AProperties));
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
  if (!ActiveDateProperties()->IsDateTextAcceptable(VarToStr(Value))) return;
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
  TcxLookAndFeel* look = Style()->LookAndFeel();
  c->SetFlat(look->Kind() != lfStandard);
  for (TcxButton* b : {c->TodayButton(), c->NowButton(), c->ClearButton(), c->OKButton()}) b->LookAndFeel()->Assign(look);
  c->TimeEdit()->Style()->LookAndFeel()->Assign(look);
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
