#include "editors/cxTextEdit.h"

#include <algorithm>
#include <cmath>

#include "editors/cxStandardMask.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/windowing.h"
#include "platform/gui/messages.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsHighSurrogate(Char C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(Char C) { return C >= 0xDC00 && C <= 0xDFFF; }

// Character codes the keyboard sends for editing keys.
constexpr Char cxKeyBackspace = 8;
constexpr Char cxKeyEscape = 27;

bool IsBlank(Char C) { return C == u' ' || C == u'\t'; }

// Number of characters (a surrogate pair counting once).
Integer CharCount(const String& S) {
  Integer count = 0;
  for (size_t i = 0; i < S.size(); ++i)
    if (!(IsLowSurrogate(S[i]) && i > 0 && IsHighSurrogate(S[i - 1]))) ++count;
  return count;
}

// S without every occurrence of C.
String Without(String S, Char C) {
  S.erase(std::remove(S.begin(), S.end(), C), S.end());
  return S;
}

bool TryNumberOf(const Variant& AValue, const TFormatSettings& ALocale, double& ANumber) {
  if (VarIsNumeric(AValue)) {
    ANumber = AValue.AsDouble();
    return true;
  }
  if (!VarIsStr(AValue)) return false;
  String text = Trim(Without(VarToStr(AValue), ALocale.ThousandSeparator));
  return TryStrToFloat(text, ANumber, ALocale);
}

}  // namespace

bool cxIsTextInputChar(Char AChar) { return cxIsPrintableChar(AChar); }

// ---------------------------------------------------------------------------
// TcxCustomTextEditProperties

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* AOwner)
    : TcxCustomEditProperties(AOwner), FLookupItems(std::make_unique<TStringList>()) {
  FLookupItems->OnChange = TNotifyEvent(this, &TcxCustomTextEditProperties::LookupItemsChanged);
  GetFormatController()->AddListener(this);
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties() {
  GetFormatController()->RemoveListener(this);
  FLookupItems->OnChange = nullptr;
}

void TcxCustomTextEditProperties::LookupItemsChanged(TObject*) { NotifyChanged(); }

void TcxCustomTextEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomTextEditProperties*>(Source);
  if (!source || source == this) return TcxCustomEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TcxCustomEditProperties::Assign(Source);
    FCharCase = source->FCharCase;
    FEchoMode = source->FEchoMode;
    FPasswordChar = source->FPasswordChar;
    FHideSelection = source->FHideSelection;
    FHideCursor = source->FHideCursor;
    FUseDisplayFormatWhenEditing = source->FUseDisplayFormatWhenEditing;
    FExactLookupMatch = source->FExactLookupMatch;
    FFixedListSelectMode = source->FFixedListSelectMode;
    FUpdateTextWhileListShown = source->FUpdateTextWhileListShown;
    FImeMode = source->FImeMode;
    FImeName = source->FImeName;
    FOEMConvert = source->FOEMConvert;
    FMaxLength = source->FMaxLength;
    FDisplayFormat = source->FDisplayFormat;
    FEditFormat = source->FEditFormat;
    FMinValue = source->FMinValue;
    FMaxValue = source->FMaxValue;
    TextAssignedValues()->Assign(source->TextAssignedValues());
    OnNewLookupDisplayText = source->OnNewLookupDisplayText;
    FLocale = source->FLocale;
    // The order rule goes first: a sorted copy of unsorted items would lose
    // their order.
    FLookupItems->SetSorted(source->FLookupItems->Sorted());
    FLookupItems->Assign(source->FLookupItems.get());
  } catch (...) {
    EndUpdate(true);
    throw;
  }
  EndUpdate(true);
}

void TcxCustomTextEditProperties::SetCharCase(TEditCharCase Value) { SetValue(FCharCase, Value); }

Integer TcxCustomTextEditProperties::MaxLength() const {
  if (IsMaxLengthAssigned()) return FMaxLength;
  return DefaultValuesProvider() ? std::max(0, DefaultValuesProvider()->ProvideMaxLength()) : 0;
}

void TcxCustomTextEditProperties::SetMaxLength(Integer Value) {
  TcxUpdateScope update(this);
  FMaxLength = std::max(0, Value);
  TextAssignedValues()->SetMaxLength(true);
  NotifyChanged();
}

String TcxCustomTextEditProperties::DisplayFormat() const {
  if (TextAssignedValues()->DisplayFormat()) return FDisplayFormat;
  if (DefaultValuesProvider()) return DefaultValuesProvider()->ProvideDisplayFormat();
  return DefaultDisplayFormat();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const String& Value) {
  if (TextAssignedValues()->DisplayFormat() && FDisplayFormat == Value) return;
  TcxUpdateScope update(this);
  FDisplayFormat = Value;
  TextAssignedValues()->SetDisplayFormat(true);
  NotifyChanged();
}

void TcxCustomTextEditProperties::SetEditFormat(const String& Value) {
  if (TextAssignedValues()->EditFormat() && FEditFormat == Value) return;
  TcxUpdateScope update(this);
  FEditFormat = Value;
  TextAssignedValues()->SetEditFormat(true);
  NotifyChanged();
}

double TcxCustomTextEditProperties::MinValue() const {
  if (IsMinValueAssigned()) return FMinValue;
  return DefaultValuesProvider() ? DefaultValuesProvider()->ProvideMinValue() : 0.0;
}

double TcxCustomTextEditProperties::MaxValue() const {
  if (IsMaxValueAssigned()) return FMaxValue;
  return DefaultValuesProvider() ? DefaultValuesProvider()->ProvideMaxValue() : 0.0;
}

void TcxCustomTextEditProperties::SetMinValue(double Value) {
  TcxUpdateScope update(this);
  FMinValue = IsMaxValueAssigned() ? std::min(Value, FMaxValue) : Value;
  TextAssignedValues()->SetMinValue(true);
  NotifyChanged();
}

void TcxCustomTextEditProperties::SetMaxValue(double Value) {
  TcxUpdateScope update(this);
  FMaxValue = IsMinValueAssigned() ? std::max(Value, FMinValue) : Value;
  TextAssignedValues()->SetMaxValue(true);
  NotifyChanged();
}

void TcxCustomTextEditProperties::RestoreAssignedValues() {
  TcxUpdateScope update(this);
  TcxTextEditPropertiesValues* values = TextAssignedValues();
  values->SetMaxLength(false);
  values->SetDisplayFormat(false);
  values->SetEditFormat(false);
  values->SetMinValue(false);
  values->SetMaxValue(false);
  NotifyChanged();
}

TcxTextEditPropertiesValues* TcxCustomTextEditProperties::TextAssignedValues() const {
  if (auto* values = dynamic_cast<TcxTextEditPropertiesValues*>(AssignedValues())) return values;
  if (!FTextValuesCompanion)
    FTextValuesCompanion =
        std::make_unique<TcxTextEditPropertiesValues>(const_cast<TcxCustomTextEditProperties*>(this));
  return FTextValuesCompanion.get();
}

TcxCustomEditPropertiesValuesClass TcxCustomTextEditProperties::GetAssignedValuesClass() const {
  return TcxTextEditPropertiesValues::StaticClass();
}

// ---------------------------------------------------------------------------
// TcxTextEditPropertiesValues

void TcxTextEditPropertiesValues::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxTextEditPropertiesValues*>(Source);
  if (!source) return TcxCustomEditPropertiesValues::Assign(Source);
  BeginUpdate();
  try {
    TcxCustomEditPropertiesValues::Assign(Source);
    SetDisplayFormat(source->FDisplayFormat);
    SetEditFormat(source->FEditFormat);
    SetMaxLength(source->FMaxLength);
    SetMaxValue(source->FMaxValue);
    SetMinValue(source->FMinValue);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxTextEditPropertiesValues::RestoreDefaults() {
  BeginUpdate();
  try {
    TcxCustomEditPropertiesValues::RestoreDefaults();
    SetDisplayFormat(false);
    SetEditFormat(false);
    SetMaxLength(false);
    SetMaxValue(false);
    SetMinValue(false);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TcxTextEditPropertiesValues::SetFlag(bool& AFlag, bool Value) {
  if (AFlag == Value) return;
  AFlag = Value;
  Changed();
}

void TcxCustomTextEditProperties::SetViewStyle(TcxTextEditViewStyle Value) {
  static constexpr TcxEditButtonsViewStyle cButtons[] = {cxbvsNormal, cxbvsNormal, cxbvsButtonsOnly,
                                                         cxbvsButtonsAutoWidth};
  BeginUpdate();
  SetButtonsViewStyle(cButtons[Value]);
  SetHideCursor(Value != vsNormal);
  EndUpdate(true);
}

TcxTextEditViewStyle TcxCustomTextEditProperties::ViewStyle() const {
  if (ButtonsViewStyle() == cxbvsButtonsOnly) return vsButtonsOnly;
  if (ButtonsViewStyle() == cxbvsButtonsAutoWidth) return vsButtonsAutoWidth;
  return FHideCursor ? vsHideCursor : vsNormal;
}

String TcxCustomTextEditProperties::ApplyEchoAndCase(const String& AText) const {
  if (FEchoMode == eemPassword) return String(CharCount(AText), FPasswordChar ? FPasswordChar : cxDefaultPasswordChar);
  if (FCharCase == ecUpperCase) return AnsiUpperCase(AText);
  if (FCharCase == ecLowerCase) return AnsiLowerCase(AText);
  return AText;
}

String TcxCustomTextEditProperties::GetEditFormatInfo() const {
  if (!FUseDisplayFormatWhenEditing) return String();
  if (TextAssignedValues()->EditFormat()) return FEditFormat;
  if (DefaultValuesProvider() && !DefaultValuesProvider()->ProvideEditFormat().empty())
    return DefaultValuesProvider()->ProvideEditFormat();
  return DisplayFormat();
}

String TcxCustomTextEditProperties::FormatEditValue(const Variant& AValue, bool AIsEditing) const {
  if (!IsNumeric()) return VarToStr(AValue);
  if (VarIsNullOrEmpty(AValue) || (VarIsStr(AValue) && Trim(VarToStr(AValue)).empty())) return String();
  double number = 0;
  if (!TryNumberOf(AValue, Locale(), number)) throw EConvertError(LoadResourceText(cxSEditNumericValueConvertError));
  if (!AIsEditing) {
    String format = DisplayFormat();
    return format.empty() ? FloatToStr(number, Locale()) : FormatFloat(format, number, Locale());
  }
  String format = GetEditFormatInfo();
  if (!format.empty()) return FormatFloat(format, number, Locale());
  Integer precision = DefaultValuesProvider() ? DefaultValuesProvider()->ProvidePrecision() : cxTextEditDefaultPrecision;
  String text = FloatToStrF(number, ffGeneral, precision, 0, Locale());
  if (UsesThousandSeparators()) cxRegroupThousands(text, Locale());
  return text;
}

String TcxCustomTextEditProperties::GetDisplayTextOfValue(const Variant& AValue) const {
  try {
    return ApplyEchoAndCase(ValueToDisplayText(AValue));
  } catch (const EConvertError&) {
    return String();
  }
}

void TcxCustomTextEditProperties::NormalizeEditValue(const Variant& AValue, Variant& ANormalized,
                                                     bool AIsEditing) const {
  ANormalized = Variant(FormatEditValue(AValue, AIsEditing));
}

Variant TcxCustomTextEditProperties::ClampToValueRange(const Variant& AValue) const {
  if (!VarIsNumeric(AValue) || !(MaxValue() > MinValue())) return AValue;
  return Variant(std::clamp(AValue.AsDouble(), MinValue(), MaxValue()));
}

void TcxCustomTextEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                    IcxCustomEdit* AEdit) {
  double number = 0;
  if (IsNumeric() && MaxValue() > MinValue() && TryNumberOf(ADisplayValue, Locale(), number) &&
      (number < MinValue() || number > MaxValue())) {
    AError = true;
    AErrorText = LoadResourceText(cxSEditValueOutOfBounds);
  }
  // In the list styles only an item is a value: a text edited into no item
  // ("Apple" with its last letter deleted) is refused, not kept beside a
  // value it does not show.
  String text = VarToStr(ADisplayValue);
  if (!AError && EditingStyle() == esEditList && RefusesTextOutsideItems() && !IsDisplayValueAcceptable(text))
    AError = true;
  TcxCustomEditProperties::CheckDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

bool TcxCustomTextEditProperties::IsLookupItem(const String& AText) const {
  for (Integer i = 0; i < FLookupItems->Count(); ++i)
    if (AnsiSameText(FLookupItems->Strings(i), AText)) return true;
  return false;
}

bool TcxCustomTextEditProperties::IsDisplayValueAcceptable(String& AText) const {
  TcxEditEditingStyle style = EditingStyle();
  if (AText.empty() || (style != esEditList && style != esFixedList) || !HasLookupData() || FLookupItems->Count() == 0)
    return true;
  for (Integer i = 0; i < FLookupItems->Count(); ++i)
    if (AnsiSameText(FLookupItems->Strings(i), AText)) {
      AText = FLookupItems->Strings(i);
      if (FCharCase == ecUpperCase) AText = AnsiUpperCase(AText);
      if (FCharCase == ecLowerCase) AText = AnsiLowerCase(AText);
      return true;
    }
  return false;
}

bool TcxCustomTextEditProperties::AreEditValuesEqual(const Variant& A, const Variant& B) const {
  return VarToStr(A) == VarToStr(B) && VarIsNull(A) == VarIsNull(B);
}

TcxEditEditorFeatures TcxCustomTextEditProperties::GetEditorFeatures() const {
  // 174: the text editor's features; 190 adds the has-buttons feature.
  constexpr TcxEditEditorFeatures cTextFeatures = 174;
  return cTextFeatures | TcxCustomEditProperties::GetEditorFeatures();
}

// ---------------------------------------------------------------------------
// Thousand regrouping

bool cxRegroupThousands(String& AText, const TFormatSettings& ALocale) {
  size_t begin = 0, end = AText.size();
  while (begin < end && IsBlank(AText[begin])) ++begin;
  while (end > begin && IsBlank(AText[end - 1])) --end;
  String body = Without(AText.substr(begin, end - begin), ALocale.ThousandSeparator);
  String exponent;
  if (size_t e = body.find_first_of(u"Ee"); e != String::npos) {
    exponent = body.substr(e);
    body.erase(e);
  }
  size_t signLength = !body.empty() && (body[0] == u'-' || body[0] == u'+') ? 1 : 0;
  size_t intEnd = std::min(body.find(ALocale.DecimalSeparator), body.size());
  String plain = body + exponent;
  double number = 0;
  if (plain.empty() || !TryStrToFloat(plain, number, ALocale)) return false;
  String integral = body.substr(signLength, intEnd - signLength);
  String grouped;
  for (size_t i = 0; i < integral.size(); ++i) {
    if (i > 0 && (integral.size() - i) % 3 == 0) grouped += ALocale.ThousandSeparator;
    grouped += integral[i];
  }
  AText = AText.substr(0, begin) + body.substr(0, signLength) + grouped + body.substr(intEnd) + exponent +
          AText.substr(end);
  return true;
}

// ---------------------------------------------------------------------------
// TcxCustomTextEditLookupData

Integer TcxCustomTextEditLookupData::GetItemCount() const { return FProperties->LookupItems()->Count(); }

String TcxCustomTextEditLookupData::GetItemText(Integer AIndex) const {
  return AIndex >= 0 && AIndex < GetItemCount() ? FProperties->LookupItems()->Strings(AIndex) : String();
}

void TcxCustomTextEditLookupData::SetCurrentIndex(Integer AIndex) {
  if (AIndex == FCurrentIndex) return;
  FCurrentIndex = AIndex;
  if (FChangeCount == 0 && OnCurrentKeyChanged) OnCurrentKeyChanged(this);
}

void TcxCustomTextEditLookupData::BeginChange() {
  if (FChangeCount++ == 0) FIndexAtChangeStart = FCurrentIndex;
}

void TcxCustomTextEditLookupData::EndChange() {
  if (--FChangeCount == 0 && FCurrentIndex != FIndexAtChangeStart && OnCurrentKeyChanged) OnCurrentKeyChanged(this);
}

void TcxCustomTextEditLookupData::SelectItemIndex(Integer AIndex) {
  if (AIndex >= -1 && AIndex < GetItemCount()) SetCurrentIndex(AIndex);
}

void TcxCustomTextEditLookupData::SelectItem(Integer AIndex) {
  if (AIndex < 0 || AIndex >= GetItemCount()) return;
  SetCurrentIndex(AIndex);
  if (OnSelectItem) OnSelectItem(this);
}

bool TcxCustomTextEditLookupData::Locate(const String& AText) {
  for (Integer i = 0; i < GetItemCount(); ++i)
    if (AnsiSameText(GetItemText(i), AText)) {
      SetCurrentIndex(i);
      return true;
    }
  return false;
}

bool TcxCustomTextEditLookupData::FindTextItem(String& AText, String& ATail, bool AExact, bool AFromCurrent) {
  ATail.clear();
  if (GetItemCount() == 0) {
    SetCurrentIndex(-1);
    return false;
  }
  if (AExact && FProperties->ExactLookupMatch()) {
    if (Locate(AText)) return true;
    SetCurrentIndex(-1);
    return false;
  }
  if (!AText.empty())
    for (Integer i = AFromCurrent ? FCurrentIndex + 1 : 0; i < GetItemCount(); ++i) {
      String item = GetItemText(i);
      if (item.size() >= AText.size() && AnsiSameText(item.substr(0, AText.size()), AText)) {
        AText = item.substr(0, AText.size());
        ATail = item.substr(AText.size());
        SetCurrentIndex(i);
        return true;
      }
    }
  switch (FProperties->EditingStyle()) {
    case esEditing:
    case esNoEdit:
      SetCurrentIndex(-1);
      break;
    case esEditList:
      if (AExact || (AText.empty() && !Locate(AText))) SetCurrentIndex(-1);
      break;
    case esFixedList:
      if (AExact) SetCurrentIndex(-1);
      break;
  }
  return false;
}

bool TcxCustomTextEditLookupData::StepLookupItem(TcxLookupStep AStep, bool AWrap) {
  const Integer count = GetItemCount();
  if (count == 0) return false;
  const Integer last = count - 1, page = FProperties->LookupPageSize(), current = FCurrentIndex;
  Integer next = current;
  switch (AStep) {
    case lsFirst: next = 0; break;
    case lsLast: next = last; break;
    case lsNext: next = AWrap && current == last ? 0 : std::min(current + 1, last); break;
    case lsPrevious: next = AWrap && current == 0 ? last : std::max(current - 1, 0); break;
    case lsPageBack: next = AWrap && current == 0 ? last : std::max(current - page + 1, 0); break;
    case lsPageForward:
      next = AWrap && current == last ? 0 : std::min(current < 0 ? page - 1 : current + page - 1, last);
      break;
  }
  if (next == current) return false;
  SetCurrentIndex(next);
  return true;
}

// ---------------------------------------------------------------------------
// TcxTextEditModel

TcxTextEditModel::TcxTextEditModel(TcxCustomTextEditProperties* AProperties) : FProperties(AProperties) {
  if (TcxCustomTextEditLookupDataClass lookupClass = AProperties->GetLookupDataClass())
    FLookupData.reset(lookupClass->Create(AProperties));
}

TcxTextEditModel::~TcxTextEditModel() = default;

void TcxTextEditModel::SetText(const String& AText) {
  FText = AText;
  FSelStart = Length();
  FSelLength = 0;
  FLookupPending = false;
  FSelectMode = false;
}

Integer TcxTextEditModel::PrevCharPos(Integer APos) const {
  if (APos <= 0) return 0;
  --APos;
  if (APos > 0 && IsLowSurrogate(FText[APos]) && IsHighSurrogate(FText[APos - 1])) --APos;
  return APos;
}

Integer TcxTextEditModel::NextCharPos(Integer APos) const {
  if (APos >= Length()) return Length();
  ++APos;
  if (APos < Length() && IsLowSurrogate(FText[APos]) && IsHighSurrogate(FText[APos - 1])) ++APos;
  return APos;
}

void TcxTextEditModel::SetSelection(Integer AStart, Integer ALength) {
  Integer start = std::clamp(AStart, 0, Length());
  Integer end = std::clamp(start + std::max(ALength, 0), start, Length());
  if (start > 0 && start < Length() && IsLowSurrogate(FText[start])) --start;
  if (end > 0 && end < Length() && IsLowSurrogate(FText[end])) ++end;
  FSelStart = start;
  FSelLength = end - start;
}

void TcxTextEditModel::Beep() {
  if (!FProperties->BeepOnError()) return;
  ++FBeepCount;
  OnBeep(nullptr);
}

String TcxTextEditModel::ConvertCase(const String& AText) const {
  if (FProperties->CharCase() == ecUpperCase) return AnsiUpperCase(AText);
  if (FProperties->CharCase() == ecLowerCase) return AnsiLowerCase(AText);
  return AText;
}

void TcxTextEditModel::ChangeText(const String& AText, Integer ACaret, Integer ASelLength) {
  FText = AText;
  SetSelection(ACaret, ASelLength);
  TextChanged();
}

void TcxTextEditModel::TextChanged() {
  if (FFocused && FProperties->IsNumeric() && FProperties->UsesThousandSeparators()) {
    const Char separator = FProperties->Locale().ThousandSeparator;
    String regrouped = FText;
    if (cxRegroupThousands(regrouped, FProperties->Locale()) && regrouped != FText) {
      Integer kept = static_cast<Integer>(std::count_if(FText.begin(), FText.begin() + FSelStart + FSelLength,
                                                        [separator](Char C) { return C != separator; }));
      FText = regrouped;
      Integer caret = 0;
      for (Integer seen = 0; caret < Length() && seen < kept; ++caret)
        if (FText[caret] != separator) ++seen;
      SetSelection(caret, 0);
    }
  }
  OnChange(nullptr);
}

bool TcxTextEditModel::InsertChecked(const String& AText) {
  if (FReadOnly || FProperties->EditingStyle() == esNoEdit) return false;
  String inserted = ConvertCase(AText);
  String before = FText.substr(0, FSelStart), after = FText.substr(FSelStart + FSelLength);
  if (FProperties->EditingStyle() == esFixedList) before.clear(), after.clear();
  const Integer maxLength = FProperties->MaxLength();
  if (maxLength > 0) {
    Integer room = maxLength - static_cast<Integer>(before.size() + after.size());
    if (room < static_cast<Integer>(inserted.size())) {
      if (room < 0) room = 0;
      // Never keep half of a surrogate pair.
      if (room > 0 && IsHighSurrogate(inserted[room - 1])) --room;
      inserted.resize(room);
      if (inserted.empty() && !AText.empty()) return false;
    }
  }
  String text = before + inserted + after;
  if (!FProperties->IsDisplayValueAcceptable(text)) return false;
  ChangeText(text, static_cast<Integer>(before.size() + inserted.size()));
  return true;
}

void TcxTextEditModel::DeleteSelection() {
  if (FSelLength == 0 || FReadOnly) return;
  ChangeText(FText.substr(0, FSelStart) + FText.substr(FSelStart + FSelLength), FSelStart);
}

void TcxTextEditModel::Backspace() {
  if (FReadOnly) return;
  if (FSelLength > 0) return DeleteSelection();
  if (FSelStart == 0) return;
  Integer from = PrevCharPos(FSelStart);
  ChangeText(FText.substr(0, from) + FText.substr(FSelStart), from);
}

void TcxTextEditModel::DeleteForward() {
  if (FReadOnly) return;
  if (FSelLength > 0) return DeleteSelection();
  if (FSelStart >= Length()) return;
  ChangeText(FText.substr(0, FSelStart) + FText.substr(NextCharPos(FSelStart)), FSelStart);
}

bool TcxTextEditModel::TypeLookupChar(Char AChar) {
  const TcxEditEditingStyle style = FProperties->EditingStyle();
  const bool listStyle = style == esEditList || style == esFixedList;
  if (!listStyle && !FLookupPending && FSelLength == 0 && FSelStart != Length()) return false;
  String candidate;
  if (FSelLength > 0)
    candidate = FText.substr(0, FSelStart) + AChar;
  else if (style == esFixedList && !FLookupPending)
    candidate = String(1, AChar);
  else
    candidate = FText.substr(0, FSelStart) + AChar + FText.substr(FSelStart);
  String tail;
  bool found = FLookupData->FindTextItem(candidate, tail, false, false);
  if (!found && style == esFixedList && !FProperties->FixedListSelectMode()) {
    candidate = String(1, AChar);
    found = FLookupData->FindTextItem(candidate, tail, false, false);
  }
  if (!found) {
    FLookupPending = false;
    return listStyle;  // the list styles swallow a character that starts no item
  }
  FLookupPending = true;
  ChangeText(candidate + tail, static_cast<Integer>(candidate.size()), static_cast<Integer>(tail.size()));
  return true;
}

bool TcxTextEditModel::LookupBackspace() {
  const TcxEditEditingStyle style = FProperties->EditingStyle();
  if (style == esFixedList) return FProperties->FixedListSelectMode();
  if (style == esEditList && !FLookupPending && FSelLength > 0 && FSelStart + FSelLength == Length())
    SetSelection(PrevCharPos(FSelStart), Length());
  if (!FLookupPending) return false;
  String typed = FText.substr(0, PrevCharPos(FSelStart)), tail;
  if (FLookupData->FindTextItem(typed, tail, false, false)) {
    ChangeText(typed + tail, static_cast<Integer>(typed.size()), static_cast<Integer>(tail.size()));
  } else {
    FLookupPending = false;
    ChangeText(typed, static_cast<Integer>(typed.size()));
  }
  return true;
}

void TcxTextEditModel::BaseKeyPress(Char& Key) {
  if (Key == cxKeyBackspace) {
    if (!(LookupItemCount() > 0 && LookupBackspace())) Backspace();
    Key = 0;
  } else if (Key == cxKeyEscape) {
    FLookupPending = false;
  } else if (cxIsTextInputChar(Key) && !IsHighSurrogate(Key) && !IsLowSurrogate(Key)) {
    if (!(LookupItemCount() > 0 && TypeLookupChar(Key))) {
      FLookupPending = false;
      if (!InsertChecked(String(1, Key))) Beep();
    }
    Key = 0;
  }
}

void TcxTextEditModel::KeyPress(Char& Key) {
  const String text = FText;
  const Integer start = FSelStart, length = FSelLength;
  BaseKeyPress(Key);
  // A keystroke that changed anything ends the fixed list's select mode.
  if (FText != text || FSelStart != start || FSelLength != length) FSelectMode = false;
}

void TcxTextEditModel::CommitText(const String& AText) {
  for (size_t i = 0; i < AText.size(); ++i) {
    if (IsHighSurrogate(AText[i]) && i + 1 < AText.size() && IsLowSurrogate(AText[i + 1])) {
      TypePair(AText.substr(i, 2));
      ++i;
      continue;
    }
    Char key = AText[i];
    KeyPress(key);
  }
}

void TcxTextEditModel::TypePair(const String& APair) {
  FLookupPending = false;
  if (!InsertChecked(APair)) Beep();
}

void TcxTextEditModel::StepLookup(TcxLookupStep AStep) {
  if (!FLookupData || !FLookupData->StepLookupItem(AStep)) return;
  FLookupPending = false;
  String text = FLookupData->GetItemText(FLookupData->CurrentIndex());
  if (text != FText) ChangeText(text, 0, Length());
  SetSelection(0, static_cast<Integer>(FText.size()));
  FSelectMode = FProperties->EditingStyle() == esFixedList;
}

void TcxTextEditModel::BaseKeyDown(Word& Key, TShiftState Shift) {
  const bool shift = Shift & ssShift;
  const Integer caret = FSelStart + FSelLength;
  if (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DELETE) FSelectMode = false;
  switch (Key) {
    case VK_LEFT:
      // Shift grows the selection at its start, Shift+Right at its end.
      if (shift) SetSelection(PrevCharPos(FSelStart), caret - PrevCharPos(FSelStart));
      else SetSelection(FSelLength > 0 ? FSelStart : PrevCharPos(FSelStart), 0);
      break;
    case VK_RIGHT:
      if (shift) SetSelection(FSelStart, NextCharPos(caret) - FSelStart);
      else SetSelection(FSelLength > 0 ? caret : NextCharPos(caret), 0);
      break;
    case VK_HOME: shift ? SetSelection(0, caret) : SetSelection(0, 0); break;
    case VK_END: shift ? SetSelection(FSelStart, Length() - FSelStart) : SetSelection(Length(), 0); break;
    case VK_DELETE:
      // In the edit-list style Delete deletes nothing (the key is taken
      // after its OnKeyDown).
      if (FProperties->EditingStyle() != esEditList) DeleteForward();
      break;
    default: return;
  }
  Key = 0;
}

void TcxTextEditModel::KeyDown(Word& Key, TShiftState Shift) {
  // Enter takes the stepped item whole (the key goes on).
  if (Key == VK_RETURN && FSelectMode && FProperties->EditingStyle() == esFixedList) SelectAll();
  if (FAllowsLookupStepping && LookupItemCount() > 0 && !(Shift & ssAlt)) {
    const bool ctrl = Shift & ssCtrl;
    const bool fixed = FProperties->EditingStyle() == esFixedList;
    TcxLookupStep step;
    switch (Key) {
      case VK_PRIOR: step = ctrl ? lsFirst : lsPageBack; break;
      case VK_NEXT: step = ctrl ? lsLast : lsPageForward; break;
      case VK_UP: step = lsPrevious; break;
      case VK_DOWN: step = lsNext; break;
      case VK_HOME: if (!fixed) return BaseKeyDown(Key, Shift); step = lsFirst; break;
      case VK_END: if (!fixed) return BaseKeyDown(Key, Shift); step = lsLast; break;
      default: return BaseKeyDown(Key, Shift);
    }
    StepLookup(step);
    Key = 0;
    return;
  }
  BaseKeyDown(Key, Shift);
}

String TcxTextEditModel::CopyText() const {
  return FProperties->EchoMode() == eemPassword ? String() : SelText();
}

String TcxTextEditModel::CutText() {
  if (FProperties->EchoMode() == eemPassword || FSelLength == 0 || FReadOnly) return String();
  String text = SelText();
  DeleteSelection();
  return text;
}

void TcxTextEditModel::PasteText(const String& AText) {
  if (AText.empty()) return;
  if (!InsertChecked(AText)) Beep();
}

// ---------------------------------------------------------------------------
// The text editor control

namespace {

// The editor's default size.
constexpr Integer cxTextEditDefaultWidth = 121;
constexpr Integer cxTextEditDefaultHeight = 21;
// Control characters of the clipboard shortcuts.
constexpr Char cxKeyCopy = 3;
constexpr Char cxKeyPaste = 22;
constexpr Char cxKeyCut = 24;

}  // namespace

TcxCustomEditClass TcxCustomTextEditProperties::GetEditorClass() { return TcxTextEdit::StaticClass(); }

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TcxCustomTextEdit* AEdit) : TCustomEdit(AEdit), FEdit(AEdit) {
  SetBorderStyle(bsNone);
  SetTabStop(false);
  SetMargins(0, 1);
}

TcxContainer* TcxCustomInnerTextEdit::GetControlContainer() { return FEdit; }

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomTextEdit(AOwner, AIsInplace, [](TcxCustomTextEdit* AEdit) -> TCustomEdit* {
        return new TcxCustomInnerTextEdit(AEdit);
      }) {}

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* AOwner, bool AIsInplace, TInnerEditFactory ACreateInner)
    : TcxCustomEdit(AOwner, AIsInplace) {
  SetBounds(Left(), Top(), cxTextEditDefaultWidth, cxTextEditDefaultHeight);
  FInnerEdit = ACreateInner(this);
  FInnerEdit->SetParent(this);
  SetInnerControl(FInnerEdit);
}

TcxCustomTextEdit::~TcxCustomTextEdit() {
  if (FModel) FModel->OnChange = nullptr;
}

TcxCustomTextEditProperties* TcxCustomTextEdit::ActiveTextProperties() {
  return static_cast<TcxCustomTextEditProperties*>(ActiveProperties());
}

std::unique_ptr<TcxTextEditModel> TcxCustomTextEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  return std::make_unique<TcxTextEditModel>(AProperties);
}

TcxTextEditModel* TcxCustomTextEdit::Model() {
  TcxCustomTextEditProperties* properties = ActiveTextProperties();
  if (!FModel || FModel->Properties() != properties) {
    String text = FModel ? FModel->Text() : String();
    FModel = CreateModel(properties);
    FModel->SetText(text);
    FModel->OnChange = TNotifyEvent(this, &TcxCustomTextEdit::ModelChanged);
    FModel->OnBeep = TNotifyEvent(this, [](TObject*) { MessageBeep(); });
  }
  return FModel.get();
}

void TcxCustomTextEdit::SyncInnerEdit() {
  if (!FInnerEdit || FSyncing) return;
  struct TSyncScope {
    bool& Flag;
    ~TSyncScope() { Flag = false; }
  } syncing{FSyncing = true};
  TcxCustomTextEditProperties* properties = ActiveTextProperties();
  TcxTextEditModel* model = Model();
  model->SetReadOnly(properties->ReadOnly());
  FInnerEdit->SetPasswordChar(properties->EchoMode() == eemPassword
                                  ? (properties->PasswordChar() ? properties->PasswordChar() : cxDefaultPasswordChar)
                                  : Char(0));
  FInnerEdit->SetHideSelection(properties->HideSelection());
  // The native edit selects its whole text on entering only when the
  // editor does; else it would take the next key as a replacement of a
  // text the editor shows unselected.
  FInnerEdit->SetAutoSelect(properties->AutoSelect());
  const String innerText = InnerTextOf(model->Text());
  if (FInnerEdit->Text() != innerText) FInnerEdit->SetText(innerText);
  const Integer start = InnerPosOf(model->SelStart());
  FInnerEdit->SetSelStart(start);
  FInnerEdit->SetSelLength(InnerPosOf(model->SelStart() + model->SelLength()) - start);
}

void TcxCustomTextEdit::ModelChanged(TObject*) {
  SyncInnerEdit();
  HandleInnerEditChange();
}

Integer TcxCustomTextEdit::SelStart() {
  const TcxEditEditingStyle style = ActiveTextProperties()->EditingStyle();
  if (style == esNoEdit || (style == esFixedList && !Model()->SelectMode())) return 0;
  return Model()->SelStart();
}

Integer TcxCustomTextEdit::SelLength() {
  const TcxEditEditingStyle style = ActiveTextProperties()->EditingStyle();
  if (style == esNoEdit || (style == esFixedList && !Model()->SelectMode())) return 0;
  return Model()->SelLength();
}

void TcxCustomTextEdit::SetSelection(Integer AStart, Integer ALength) {
  Model()->SetSelection(AStart, ALength);
  SyncInnerEdit();
}

void TcxCustomTextEdit::UpdateDisplayValue() {
  String text;
  try {
    text = ActiveTextProperties()->FormatEditValue(EditValue(), Focused());
  } catch (const EConvertError&) {
    text = VarToStr(EditValue());  // shown as it is rather than lost
  }
  Model()->SetText(text);
  SyncInnerEdit();
}

void TcxCustomTextEdit::SetDisplayValue(const Variant& Value) {
  Model()->SetText(VarToStr(Value));
  SyncInnerEdit();
}

void TcxCustomTextEdit::InternalSetDisplayValue(const Variant& Value) {
  TcxCustomTextEditProperties* properties = ActiveTextProperties();
  String text = VarToStr(Value);
  if (!properties->IsDisplayValueAcceptable(text)) return;
  const bool newText = properties->EditingStyle() == esEditing && properties->LookupItems()->Count() > 0 &&
                       !text.empty() && !properties->IsLookupItem(text);
  ApplyEditValue(Variant(text));
  if (!newText) return;
  TcxDestroyGuard guard(this);
  auto* own = static_cast<TcxCustomTextEditProperties*>(Properties());
  if (own->OnNewLookupDisplayText) own->OnNewLookupDisplayText(this, text);
  if (!guard.Alive() || !RepositoryItem()) return;
  if (auto* item = dynamic_cast<TcxCustomTextEditProperties*>(RepositoryItem()->Properties()))
    if (item->OnNewLookupDisplayText) item->OnNewLookupDisplayText(this, text);
}

void TcxCustomTextEdit::DoExit() {
  TcxCustomTextEditProperties* properties = ActiveTextProperties();
  const TcxEditEditingStyle style = properties->EditingStyle();
  String text = Model()->Text();
  if (!IsInplace() && !IsDataAware() && IsModified() && (style == esEditList || style == esFixedList) &&
      properties->RefusesTextOutsideItems() && !properties->IsDisplayValueAcceptable(text)) {
    Model()->SetText(String());
    SyncInnerEdit();
  }
  TcxCustomEdit::DoExit();
}

void TcxCustomTextEdit::LocateTextItem() {
  TcxCustomTextEditLookupData* lookup = Model()->LookupData();
  if (!lookup) return;
  const Integer current = lookup->CurrentIndex();
  if (current >= 0 && lookup->GetItemText(current) == Text()) return;
  lookup->ChangeAtOnce([&] {
    lookup->SelectItemIndex(-1);
    lookup->Locate(Text());
  });
}

bool TcxCustomTextEdit::StepLookupByUser(TcxLookupStep AStep) {
  TcxCustomTextEditLookupData* lookup = Model()->LookupData();
  if (!lookup) return false;
  Integer before = -1;
  LockChangeEvents(true);
  try {
    // The step starts from the item shown: one change told.
    lookup->ChangeAtOnce([&] {
      LocateTextItem();
      before = lookup->CurrentIndex();
      Model()->StepLookupItem(AStep);
    });
    SyncInnerEdit();
    if (lookup->CurrentIndex() != before) {
      // Typing tells a focused editor's change itself; a step without the
      // focus (the wheel over another window's editor) is told here.
      if (!Focused()) {
        SetModified(true);
        DoChangeNotice();
      }
      if (ActiveProperties()->ImmediatePost() && !IsLoading()) PostEditValue(true);
    }
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
  return lookup->CurrentIndex() != before;
}

bool TcxCustomTextEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) {
  if (TcxCustomEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (WheelDelta == 0 || !LookupWheelAllowed() || HasOpenPopup() || Model()->LookupItemCount() == 0 ||
      !DoEditing())
    return false;
  // Every whole notch of the event steps once; a finer wheel's event steps
  // once too.
  const Integer notches = std::max<Integer>(1, std::abs(WheelDelta) / WHEEL_DELTA);
  TcxDestroyGuard guard(this);
  for (Integer i = 0; i < notches && guard.Alive(); ++i) StepLookupByUser(WheelDelta > 0 ? lsPrevious : lsNext);
  return true;
}

void TcxCustomTextEdit::PropertiesChanged(TObject* Sender) {
  TcxCustomEdit::PropertiesChanged(Sender);
  if (!IsDestroying()) SyncInnerEdit();
}

void TcxCustomTextEdit::PlaceInnerControl() {
  if (!FInnerEdit || !ViewInfo()) return;
  TRect r = ViewInfo()->ClientRect;
  const Integer middle = (r.Left + r.Right) / 2;
  TcxCustomEditViewInfo* viewInfo = GetViewInfo();
  for (Integer i = 0; viewInfo && i < viewInfo->ButtonCount(); ++i) {
    const TRect& button = viewInfo->Button(i)->VisibleBounds;
    if (button.Right <= button.Left) continue;
    if (button.Left >= middle)
      r.Right = std::min(r.Right, button.Left);
    else
      r.Left = std::max(r.Left, button.Right);
  }
  if (r.Right < r.Left) r.Right = r.Left;
  if (!RectsEqual(FInnerEdit->BoundsRect(), r)) FInnerEdit->SetBoundsRect(r);
}

void TcxCustomTextEdit::HandleStateChange(const TPoint& P, Integer AButton, bool ARefresh, TShiftState AShift) {
  TcxCustomEdit::HandleStateChange(P, AButton, ARefresh, AShift);
  PlaceInnerControl();  // the buttons are known once the editor's view is worked out
}

void TcxCustomTextEdit::DoEnter() {
  TcxCustomEdit::DoEnter();
  Model()->SetFocused(true);
  if (ActiveProperties()->AutoSelect())
    SelectWholeText();
  else
    SetSelection(0, 0);
}

void TcxCustomTextEdit::CopyToClipboard() {
  String text = Model()->CopyText();
  if (!text.empty()) Clipboard()->SetAsText(text);
}

void TcxCustomTextEdit::CutToClipboard() {
  if (!DoEditing()) return;
  String text = Model()->CutText();
  if (!text.empty()) Clipboard()->SetAsText(text);
}

void TcxCustomTextEdit::PasteFromClipboard() {
  String text = Clipboard()->AsText();
  if (text.empty() || !DoEditing()) return;
  Model()->PasteText(text);
  SyncInnerEdit();
}

void TcxCustomTextEdit::HandleInnerChar(Char AChar) {
  KeyPress(AChar);  // the editor's filter, Esc and OnKeyPress
  if (AChar == 0) return;
  // The clipboard commands take the editor's road (read-only: a cut copies).
  if (AChar == cxKeyCopy || AChar == cxKeyPaste || AChar == cxKeyCut) {
    Perform(AChar == cxKeyCopy ? WM_COPY : AChar == cxKeyPaste ? WM_PASTE : WM_CUT);
    return SyncInnerEdit();
  }
  // A character outside the basic plane comes as two halves: kept whole.
  if (AChar >= 0xD800 && AChar <= 0xDBFF) {
    FPendingHighSurrogate = AChar;
    return;
  }
  const Char high = std::exchange(FPendingHighSurrogate, Char(0));
  TcxCustomTextEditLookupData* lookup = Model()->LookupData();
  const Integer before = lookup ? lookup->CurrentIndex() : -1;
  if (AChar >= 0xDC00 && AChar <= 0xDFFF) {
    if (high && DoEditing()) Model()->CommitText(String{high, AChar});
  } else if (AChar < u' ' && AChar != 8) {
    return;
  } else if (DoEditing()) {
    Model()->KeyPress(AChar);
  }
  SyncInnerEdit();
  // A typed text completed to another item is a choice: ImmediatePost
  // posts it at once (validated first).
  if (!lookup || Model()->LookupData() != lookup || lookup->CurrentIndex() < 0 || lookup->CurrentIndex() == before ||
      !IsModified() || !ActiveProperties()->ImmediatePost() || IsLoading())
    return;
  // Posting shows the stored text again; the completed tail stays selected
  // so that typing goes on completing.
  const String text = Model()->Text();
  const Integer start = Model()->SelStart(), length = Model()->SelLength();
  TcxDestroyGuard guard(this);
  PostEditValue(true);
  if (guard.Alive() && Model()->LookupData() == lookup && Model()->Text() == text) SetSelection(start, length);
}

void TcxCustomTextEdit::PullInnerSelection() {
  if (!FInnerEdit) return;
  TcxTextEditModel* model = Model();
  const Integer start = ModelPosOf(FInnerEdit->SelStart());
  const Integer length = ModelPosOf(FInnerEdit->SelStart() + FInnerEdit->SelLength()) - start;
  if (start != model->SelStart() || length != model->SelLength()) model->SelectionMovedByUser(start, length);
}

bool TcxCustomTextEdit::PreviewInnerMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN: case WM_CHAR: case WM_COPY: case WM_CUT: case WM_PASTE: case WM_CLEAR:
      PullInnerSelection();
      break;
    default: break;
  }
  switch (Message.Msg) {
    case WM_KEYDOWN: {
      Word key = static_cast<Word>(Message.WParam);
      const TShiftState shift = KeyDataToShiftState(Message.LParam);
      // The first Esc after a completion only ends the completion; the
      // text and the value stay (a second Esc reverts as usual).
      if (key == VK_ESCAPE && shift == 0 && Model()->LookupPending() && !HasOpenPopup()) {
        Model()->CancelLookup();
        return true;
      }
      KeyDown(key, shift);
      if (key == 0) return true;
      // Shift+Delete cuts a selection, Shift+Insert pastes, Ctrl+Insert copies.
      UINT command = 0;
      if (key == VK_DELETE && (shift & ssShift) && Model()->SelLength() > 0) command = WM_CUT;
      if (key == VK_INSERT && (shift & ssShift)) command = WM_PASTE;
      if (key == VK_INSERT && (shift & ssCtrl)) command = WM_COPY;
      if (command) {
        Perform(command);
        SyncInnerEdit();
        return true;
      }
      if (key == VK_DELETE && !DoEditing()) return true;
      Model()->KeyDown(key, shift);
      SyncInnerEdit();
      DoAfterKeyDown(key, shift);
      return true;
    }
    case WM_CHAR: HandleInnerChar(static_cast<Char>(Message.WParam)); return true;
    case WM_COPY:
    case WM_CUT:
    case WM_PASTE:
      Message.Result = Perform(Message.Msg, Message.WParam, Message.LParam);
      SyncInnerEdit();
      return true;
    case WM_CLEAR:
      if (Model()->SelLength() > 0 && !ActiveProperties()->ReadOnly() && DoEditing()) {
        Word key = VK_DELETE;
        Model()->KeyDown(key, 0);
      }
      SyncInnerEdit();
      return true;
    case WM_UNDO:
    case EM_UNDO:
      // The model keeps no undo history; the native one would show a text
      // the editor does not hold.
      Message.Result = 0;
      return true;
    case WM_SETTEXT: {
      String text = Message.LParam ? String(reinterpret_cast<const Char*>(Message.LParam)) : String();
      Message.Result = ActiveTextProperties()->IsDisplayValueAcceptable(text) ? 1 : 0;
      if (Message.Result && !FSyncing) {
        Model()->SetText(text);
        SyncInnerEdit();
        return true;
      }
      return !FSyncing;  // the editor's own writes go to the native edit
    }
    default: return TcxCustomEdit::PreviewInnerMessage(Message);
  }
}

// ---------------------------------------------------------------------------
// The text editor's view

namespace {

// The inverse of a colour (RGB xor white), for a selection colour left unset.
TColor InverseColor(TColor AColor) { return static_cast<TColor>((ColorToRGB(AColor) ^ 0xFFFFFF) & 0xFFFFFF); }

}  // namespace

TcxCustomTextEditLookupDataClass TcxCustomTextEditProperties::GetLookupDataClass() const {
  return TcxCustomTextEditLookupData::StaticClass();
}

TcxCustomEditViewDataClass TcxCustomTextEditProperties::GetViewDataClass() const {
  return TcxCustomTextEditViewData::StaticClass();
}

TcxCustomEditViewInfoClass TcxCustomTextEditProperties::GetViewInfoClass() const {
  return TcxCustomTextEditViewInfo::StaticClass();
}

void TcxCustomTextEditViewInfo::Assign(TObject* Source) {
  TcxCustomEditViewInfo::Assign(Source);
  auto* source = dynamic_cast<TcxCustomTextEditViewInfo*>(Source);
  if (!source) return;
  Text = source->Text;
  TextRect = source->TextRect;
  DrawTextFlags = source->DrawTextFlags;
  SelStart = source->SelStart;
  SelLength = source->SelLength;
  SelTextColor = source->SelTextColor;
  SelBackgroundColor = source->SelBackgroundColor;
  DrawSelectionBar = source->DrawSelectionBar;
  DrawsText = source->DrawsText;
  TextOutPrepared = false;
}

void TcxCustomTextEditViewInfo::OffsetBy(Integer DX, Integer DY) {
  TcxCustomEditViewInfo::OffsetBy(DX, DY);
  OffsetRect(TextRect, DX, DY);
  if (TextOutPrepared) cxOffsetTextOutData(TextOutData, DX, DY);
}

void TcxCustomTextEditViewInfo::Render(TcxCanvas* ACanvas) { DrawTextEditViewInfo(ACanvas, this); }

bool TcxCustomTextEditViewInfo::QueryHintWithRect(const TPoint& P, String& AText, TRect& ARect) {
  ARect = TRect{};
  if (Text.empty() || !PtInRect(TextRect, P) || !Font) return false;
  TBitmap measure(1, 1, pf24bit);
  measure.Canvas()->SetFont(Font);
  const bool singleLine = (DrawTextFlags & cxtlSingleLine) != 0;
  TRect needed{TextRect.Left, TextRect.Top, singleLine ? cxMaxRectSize / 2 : TextRect.Right, cxMaxRectSize / 2};
  TcxTextOutData data;
  const bool complete = cxPrepareTextOutData(measure.Canvas()->Handle(), Text, needed,
                                             (DrawTextFlags & ~(cxtlEndEllipsis | cxtlWholeRows)), 0, data);
  bool truncated = !complete || data.TextCut;
  Integer bottom = TextRect.Top;
  for (Integer i = 0; i < data.RowCount; ++i) {
    const TcxTextRow& row = data.Rows[static_cast<size_t>(i)];
    if (row.Width > WidthOfRect(TextRect)) truncated = true;
    bottom = std::max(bottom, row.Top + row.Height);
  }
  if (bottom > TextRect.Bottom) truncated = true;
  if (!truncated) return false;
  AText = Text;
  ARect = TextRect;
  return true;
}

void DrawTextEditViewInfo(TcxCanvas* ACanvas, TcxCustomTextEditViewInfo* AViewInfo) {
  TcxCustomTextEditViewInfo& vi = *AViewInfo;
  vi.DrawBackground(ACanvas);
  if (!vi.DrawsText) return;
  if (vi.Font) ACanvas->SetFont(vi.Font);
  TRect textRect = vi.TextRect;
  if (vi.DrawSelectionBar) {
    ACanvas->SetBrushColor(clHighlight);
    ACanvas->FillRectOrTileBitmap(vi.ClientRect, nullptr);
    ACanvas->GetFont()->SetColor(clHighlightText);
  } else {
    ACanvas->GetFont()->SetColor(vi.TextColor);
  }
  if (!vi.TextOutPrepared) {
    cxPrepareTextOutData(ACanvas->GetHandle(), vi.Text, textRect, vi.DrawTextFlags, 0, vi.TextOutData);
    vi.TextOutPrepared = true;
  }
  vi.TextOutData.SelStart = vi.SelStart;
  vi.TextOutData.SelLength = vi.SelLength;
  vi.TextOutData.SelTextColor = vi.SelTextColor;
  vi.TextOutData.SelBkColor = vi.SelBackgroundColor;
  // The rows are drawn through the device context, which keeps its own text
  // colour: give it the one chosen above for the time of the drawing.
  const TColor oldTextColor = SetTextColor(ACanvas->GetHandle(), ColorToRGB(ACanvas->GetFont()->Color()));
  cxDrawTextOutData(ACanvas->GetHandle(), vi.Text, vi.TextOutData);
  SetTextColor(ACanvas->GetHandle(), oldTextColor);
  if (vi.Focused && !vi.IsInplace && !vi.IsInnerEditVisible) ACanvas->DrawFocusFrame(vi.ClientRect);
}

void TcxCustomTextEditViewData::EditValueToDisplayText(const Variant& AEditValue, String& AText) {
  AText = TextProperties() ? TextProperties()->GetDisplayTextOfValue(AEditValue) : VarToStr(AEditValue);
}

TcxTextLayoutFlags TcxCustomTextEditViewData::GetDrawTextFlags(bool AMultiLine) const {
  TcxTextLayoutFlags flags = cxtlKeepLeft | cxtlKeepTop;
  switch (HorzAlignment) {
    case taRightJustify: flags |= cxtlAlignRight; break;
    case taCenter: flags |= cxtlAlignHCenter; break;
    default: break;
  }
  switch (VertAlignment) {
    case taBottomJustify: flags |= cxtlAlignBottom; break;
    case taVCenter: flags |= cxtlAlignVCenter; break;
    default: break;
  }
  flags |= AMultiLine ? (cxtlWordBreak | cxtlWholeRows) : cxtlSingleLine;
  if (PaintOptions & cxEditPaintEndEllipsis) flags |= cxtlEndEllipsis;
  return flags;
}

void TcxCustomTextEditViewData::AdjustTextEditTextRect(TRect& ARect) const {
  const TPoint margins = GetEditContentMargins(const_cast<TcxCustomTextEditViewData*>(this));
  ARect.Left += margins.X - 1;
  ARect.Right -= 1;
  if (IsInplace() || !TextProperties()) return;
  const TcxEditEditingStyle style = TextProperties()->EditingStyle();
  if (style != esFixedList && style != esNoEdit) return;
  ++ARect.Left;
  if (VertAlignment == taTopJustify) {
    ++ARect.Top;
    --ARect.Bottom;
  }
}

void TcxCustomTextEditViewData::ComputeSelectionColors(TColor& ATextColor, TColor& ABackgroundColor) const {
  const bool text = SelTextColor != cxEditDefaultSelectionColor;
  const bool background = SelBackgroundColor != cxEditDefaultSelectionColor;
  if (text || background) {
    ATextColor = text ? SelTextColor : InverseColor(SelBackgroundColor);
    ABackgroundColor = background ? SelBackgroundColor : InverseColor(SelTextColor);
    return;
  }
  const bool highlightStyle = Style() && ColorToRGB(Style()->Color()) == ColorToRGB(clHighlight);
  ATextColor = highlightStyle ? clWhite : clHighlightText;
  ABackgroundColor = highlightStyle ? clBlack : clHighlight;
}

void TcxCustomTextEditViewData::ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P,
                                                TcxMouseButton AButton, TShiftState AShift,
                                                TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::ComputeViewInfo(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto* vi = dynamic_cast<TcxCustomTextEditViewInfo*>(AViewInfo);
  if (!vi) return;
  vi->TextRect = vi->ClientRect;
  AdjustTextEditTextRect(vi->TextRect);
  vi->DrawTextFlags = GetDrawTextFlags((PaintOptions & cxEditPaintAutoHeight) != 0);
  DoGetDisplayText(EditValue, vi->Text);
  vi->SelStart = SelLength > 0 ? SelStart : -1;
  vi->SelLength = SelLength;
  ComputeSelectionColors(vi->SelTextColor, vi->SelBackgroundColor);
  vi->DrawSelectionBar = false;
  vi->DrawsText = Edit != nullptr && !vi->IsInnerEditVisible;
  vi->TextOutPrepared = false;
}

TSize TcxCustomTextEditViewData::MeasureEditText(TcxCanvas* ACanvas, const String& AText, Integer AWidth) {
  if (!ACanvas) return TSize{0, 0};
  if (Style()) ACanvas->SetFont(Style()->GetVisibleFont());
  const TPoint margins = GetEditContentMargins(this);
  if (AText.empty() && (PaintOptions & cxEditPaintZeroHeight)) return TSize{0, 0};
  const Integer rowHeight = ACanvas->GetTextHeight(u"Zg");
  TSize size{0, rowHeight};
  if (!AText.empty()) {
    TRect r{0, 0, AWidth > 0 ? AWidth : cxMaxRectSize / 2, cxMaxRectSize / 2};
    const TcxTextLayoutFlags flags = GetDrawTextFlags(AWidth > 0) | cxtlCalcRect | cxtlReturnRowCount;
    const Integer rows = std::max<Integer>(1, cxTextOut(ACanvas, AText, r, flags));
    size = TSize{WidthOfRect(r), rows * rowHeight};
  }
  const TcxEditEditingStyle style = TextProperties() ? TextProperties()->EditingStyle() : esEditing;
  if (!IsInplace() && (style == esFixedList || style == esNoEdit)) ++size.cy;
  size.cx += margins.X;
  size.cy += margins.Y;
  return size;
}

TSize TcxCustomTextEditViewData::CalcTextExtent(TcxCanvas* ACanvas, const Variant& AEditValue) {
  String text;
  DoGetDisplayText(AEditValue, text);
  return MeasureEditText(ACanvas, text);
}

void TcxCustomTextEdit::PrepareViewData(TcxCustomEditViewData* AViewData) {
  TcxCustomEdit::PrepareViewData(AViewData);
  auto* textData = dynamic_cast<TcxCustomTextEditViewData*>(AViewData);
  if (!textData) return;
  textData->EditValue = Variant(Model()->Text());
  // What the user sees is the model's text already: shown as it stands.
  textData->OnGetDisplayText = TcxEditGetDisplayTextEvent(this, [this](TObject*, String& AText) {
    AText = ActiveTextProperties()->ApplyEchoAndCase(Model()->Text());
  });
  textData->SelStart = Model()->SelStart();
  textData->SelLength = Focused() ? Model()->SelLength() : 0;
}

// ---------------------------------------------------------------------------
// TcxCustomEditListBox

TcxCustomEditListBox::TcxCustomEditListBox(TComponent* AOwner) : TcxCustomInnerListBox(AOwner) {
  SetTabStop(false);
  SetListStyle(lbOwnerDrawVariable);
  SetItemHeight(GetDefaultItemHeight());
}

TcxCustomTextEditLookupData* TcxCustomEditListBox::GetLookupData() const {
  TcxCustomTextEdit* edit = GetEdit();
  return edit && !edit->IsDestroying() ? edit->Model()->LookupData() : nullptr;
}

String TcxCustomEditListBox::GetItemText(Integer AIndex) const {
  TcxCustomTextEditLookupData* lookup = GetLookupData();
  return lookup ? lookup->GetItemText(AIndex) : String();
}

Integer TcxCustomEditListBox::GetDefaultItemHeight() const {
  return std::max(1, TextHeightInFont(Font(), cxEditListBoxSampleText));
}

Integer TcxCustomEditListBox::GetItemHeight(Integer) const { return GetDefaultItemHeight(); }

Integer TcxCustomEditListBox::GetItemWidth(Integer AIndex) const { return TextWidthInFont(Font(), GetItemText(AIndex)); }

void TcxCustomEditListBox::MeasureItem(Integer Index, Integer& AHeight) const {
  AHeight = GetItemHeight(Index);
  TcxCustomInnerListBox::MeasureItem(Index, AHeight);
}

void TcxCustomEditListBox::SyncItemCount() {
  TcxCustomTextEditLookupData* lookup = GetLookupData();
  const Integer count = lookup ? lookup->GetItemCount() : 0;
  TStrings* rows = Items();
  if (rows->Count() == count) return;
  rows->BeginUpdate();
  try {
    while (rows->Count() < count) rows->Add(String());
    while (rows->Count() > count) rows->Delete(rows->Count() - 1);
  } catch (...) {
    rows->EndUpdate();
    throw;
  }
  rows->EndUpdate();
}

void TcxCustomEditListBox::SetItemIndexByCode(Integer AIndex) {
  FSkipHotTrack = true;
  SetItemIndex(AIndex);
}

void TcxCustomEditListBox::SelectItem(Integer AIndex) {
  if (AIndex < 0 || AIndex >= ItemCount()) return;
  SetItemIndex(AIndex);
  if (OnSelectItem) OnSelectItem(this);
}

void TcxCustomEditListBox::ListShown() {
  if (HandleAllocated()) SendMessage(Handle(), WM_SETFOCUS, 0, 0);
}

void TcxCustomEditListBox::WMSetFocus(TMessage& Message) {
  FFocusLook = true;
  TcxCustomInnerListBox::WMSetFocus(Message);
}

void TcxCustomEditListBox::WMKillFocus(TMessage& Message) {
  FFocusLook = false;
  TcxCustomInnerListBox::WMKillFocus(Message);
}

void TcxCustomEditListBox::RecreateWindow() {
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomEditListBox::SetReadingRightToLeft(bool Value) {
  if (FReadingRightToLeft == Value) return;
  FReadingRightToLeft = Value;
  Invalidate();
}

void TcxCustomEditListBox::CMFontChanged(TMessage& Message) {
  TcxCustomInnerListBox::CMFontChanged(Message);
  SetItemHeight(GetDefaultItemHeight());
}

void TcxCustomEditListBox::DrawItemText(Integer AIndex, const TRect& ARect) {
  TRect r = ARect;
  if (FReadingRightToLeft) r.Right -= cxEditListBoxTextIndent;
  else r.Left += cxEditListBoxTextIndent;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  const Cardinal flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (FReadingRightToLeft ? DT_RIGHT : DT_LEFT);
  DrawText(canvas->Handle(), GetItemText(AIndex), r, flags);
  canvas->Brush()->SetStyle(bsSolid);
}

void TcxCustomEditListBox::DrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) {
  TCanvas* canvas = Canvas();
  const bool selected = (AState & odSelected) != 0;
  canvas->Brush()->SetColor(selected ? clHighlight : Color());
  canvas->Font()->SetColor(selected ? clHighlightText : ((AState & odDisabled) ? clGrayText : Font()->Color()));
  canvas->FillRect(ARect);
  if (Index >= 0) DrawItemText(Index, ARect);
}

void TcxCustomEditListBox::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  // Selects without taking the focus from the editor (which would close
  // the popup holding the list).
  if (Button == mbLeft) ListMouseDown(Shift, X, Y);
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TcxCustomEditListBox::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  const bool skip = FSkipHotTrack;
  FSkipHotTrack = false;
  if (!skip && !(Shift & (ssLeft | ssRight | ssMiddle)) && !MouseCapture()) {
    const Integer index = ItemAtPos(TPoint{X, Y}, true);
    if (index >= 0 && index != ItemIndex()) HotTrack(index);
  }
  TcxCustomInnerListBox::MouseMove(Shift, X, Y);
}

void TcxCustomEditListBox::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxCustomInnerListBox::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const Integer index = ItemAtPos(TPoint{X, Y}, true);
  if (index < 0) return;
  ReleaseCapture();
  SelectItem(index);
}

bool TcxCustomEditListBox::DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) {
  if (Container()) return TcxCustomInnerListBox::DoMouseWheel(Shift, WheelDelta, MousePos);
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (WheelDelta == 0 || !HandleAllocated()) return false;
  const Integer lines = Mouse ? Mouse->WheelScrollLines() : 3;
  // A notch moves WheelScrollLines lines; a partial delta moves its share.
  const Integer steps = std::abs(WheelDelta) * lines / WHEEL_DELTA;
  const WPARAM code = WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN;
  for (Integer i = 0; i < steps; ++i) SendMessage(Handle(), WM_VSCROLL, code, 0);
  return true;
}
