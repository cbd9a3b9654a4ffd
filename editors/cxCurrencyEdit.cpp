#include "editors/cxCurrencyEdit.h"

#include <cmath>

#include "editors/cxEditRegisteredRepositoryItems.h"
#include "editors/cxFormats.h"
#include "platform/rtl/sysutils.h"

namespace {

// Magnitudes a currency value may have: the smallest positive double and a
// little under the largest one.
constexpr double cxCurrencyMinMagnitude = 5e-324;
constexpr double cxCurrencyMaxMagnitude = 1.7e308;

String WithoutChar(const String& AText, Char AChar) {
  String result;
  for (Char c : AText)
    if (c != AChar) result += c;
  return result;
}

}  // namespace

TcxCustomCurrencyEditProperties::TcxCustomCurrencyEditProperties(TPersistent* AOwner)
    : TcxCustomTextEditProperties(AOwner) {
  SetValidateOnEnter(true);
}

void TcxCustomCurrencyEditProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TcxCustomCurrencyEditProperties*>(Source);
  if (!source) return TcxCustomTextEditProperties::Assign(Source);
  BeginUpdate();
  TcxCustomTextEditProperties::Assign(Source);
  SetDecimalPlaces(source->FDecimalPlaces);
  SetNullable(source->FNullable);
  SetNullString(source->FNullString);
  SetUseThousandSeparator(source->FUseThousandSeparator);
  EndUpdate();
}

String TcxCustomCurrencyEditProperties::DefaultDisplayFormat() const {
  return GetFormatController()->CurrencyFormatText;
}

TcxCustomEditClass TcxCustomCurrencyEditProperties::GetEditorClass() { return TcxCurrencyEdit::StaticClass(); }

bool TcxCustomCurrencyEditProperties::ReadNumber(const String& AText, double& ANumber) const {
  double number = 0;
  const String text = WithoutChar(AText, Locale().ThousandSeparator);
  if (!TryStrToFloat(text, number, Locale()) || std::isnan(number)) return false;
  const double magnitude = std::fabs(number);
  if (number != 0 && (magnitude < cxCurrencyMinMagnitude || magnitude > cxCurrencyMaxMagnitude)) return false;
  ANumber = number;
  return true;
}

bool TcxCustomCurrencyEditProperties::HasEditFormat() const {
  if (!EditFormat().empty()) return true;
  return DefaultValuesProvider() && !DefaultValuesProvider()->ProvideEditFormat().empty();
}

Integer TcxCustomCurrencyEditProperties::DecimalDigits(const String& AText) const {
  const size_t point = AText.find(Locale().DecimalSeparator);
  if (point == String::npos) return 0;
  Integer digits = 0;
  for (size_t i = point + 1; i < AText.size() && AText[i] != u'E' && AText[i] != u'e'; ++i)
    if (AText[i] >= u'0' && AText[i] <= u'9') ++digits;
  return digits;
}

bool TcxCustomCurrencyEditProperties::IsCharAcceptable(const String& AText, Integer ASelStart, Integer ASelLength,
                                                       Char AChar) const {
  if (HasEditFormat()) return true;
  const bool allowed = (AChar >= u'0' && AChar <= u'9') || AChar == u'+' || AChar == u'-' || AChar == u'E' ||
                       AChar == u'e' || AChar == Locale().DecimalSeparator ||
                       (FUseThousandSeparator && AChar == Locale().ThousandSeparator);
  if (!allowed) return false;
  const String text = AText.substr(0, ASelStart) + String(1, AChar) + AText.substr(ASelStart + ASelLength);
  if (text == u"-") return true;
  if (DecimalDigits(text) > FDecimalPlaces) return false;
  double number = 0;
  return ReadNumber(text, number);
}

Variant TcxCustomCurrencyEditProperties::DisplayToEditValue(const String& AText) const {
  double number = 0;
  if (!AText.empty() && AText != FNullString && ReadNumber(AText, number)) return Variant(number);
  return FNullable ? Null() : Variant(0.0);
}

String TcxCustomCurrencyEditProperties::EditValueToText(const Variant& AValue, bool AIsEditing) const {
  const bool blank = VarIsNullOrEmpty(AValue) || (VarIsStr(AValue) && VarToStr(AValue).empty());
  if (blank) {
    if (AIsEditing) return String();
    return FNullable ? FNullString : FormatEditValue(Variant(0.0), false);
  }
  try {
    return FormatEditValue(AValue, AIsEditing);
  } catch (const EConvertError&) {
    return AIsEditing ? String() : VarToStr(AValue);
  }
}

void TcxCustomCurrencyEditProperties::CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                        IcxCustomEdit* AEdit) {
  AError = false;
  const String text = Trim(VarToStr(ADisplayValue));
  double number = 0;
  if (!text.empty() && text != FNullString && !HasEditFormat() && !ReadNumber(text, number)) {
    AError = true;
    AErrorText = LoadResourceText(cxSEditNumericValueConvertError);
  }
  TcxCustomTextEditProperties::CheckDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

// ---------------------------------------------------------------------------
// TcxCurrencyEditModel

TcxCustomCurrencyEditProperties* TcxCurrencyEditModel::CurrencyProperties() const {
  return static_cast<TcxCustomCurrencyEditProperties*>(Properties());
}

void TcxCurrencyEditModel::KeyPress(Char& Key) {
  TcxCustomCurrencyEditProperties* properties = CurrencyProperties();
  const TFormatSettings& locale = properties->Locale();
  const bool isThousand = properties->UseThousandSeparator() && Key == locale.ThousandSeparator;
  if ((Key == u',' || Key == u'.') && !isThousand) Key = locale.DecimalSeparator;
  if (Key >= 32 && !properties->IsCharAcceptable(Text(), SelStart(), SelLength(), Key)) {
    Key = 0;
    Beep();
    return;
  }
  TcxTextEditModel::KeyPress(Key);
}

// ---------------------------------------------------------------------------
// TcxCustomCurrencyEdit

TcxCustomCurrencyEditProperties* TcxCustomCurrencyEdit::ActiveCurrencyProperties() {
  return static_cast<TcxCustomCurrencyEditProperties*>(ActiveProperties());
}

std::unique_ptr<TcxTextEditModel> TcxCustomCurrencyEdit::CreateModel(TcxCustomTextEditProperties* AProperties) {
  return std::make_unique<TcxCurrencyEditModel>(static_cast<TcxCustomCurrencyEditProperties*>(AProperties));
}

void TcxCustomCurrencyEdit::UpdateDisplayValue() {
  Model()->SetText(ActiveCurrencyProperties()->EditValueToText(EditValue(), Focused()));
  SyncInnerEdit();
}

void TcxCustomCurrencyEdit::PasteFromClipboard() {
  if (CanModifyValue()) TcxCustomTextEdit::PasteFromClipboard();
}

void TcxCustomCurrencyEdit::InternalSetDisplayValue(const Variant& Value) {
  ApplyEditValue(ActiveCurrencyProperties()->DisplayToEditValue(Trim(VarToStr(Value))));
}

void cxCurrencyEditInitialize() {
  GetEditPropertiesRegistry()->AddClass(TcxCurrencyEditProperties::StaticClass(),
                                        LoadResourceText(cxSEditCurrencyEditKind));
}

void cxCurrencyEditFinalize() { GetEditPropertiesRegistry()->RemoveClass(TcxCurrencyEditProperties::StaticClass()); }
