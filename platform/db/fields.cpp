#include "platform/db/fields.h"

#include <cmath>

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"

using namespace dbconsts;

namespace {

bool IsBlank(const Variant& v) { return VarIsNull(v) || VarIsEmpty(v); }

// Bytes of a blob shown one character per byte, and back.
RawByteString NarrowLatin1(const String& s) {
  RawByteString result;
  result.reserve(s.size());
  for (Char c : s) result += c <= 0xFF ? char(c) : '?';
  return result;
}

}  // namespace

// ---- Shared helpers ---------------------------------------------------------------

String FormatDbMessage(const char16_t* message, std::initializer_list<String> args) {
  String result;
  auto arg = args.begin();
  for (const char16_t* p = message; *p; ++p) {
    if (p[0] == u'%' && p[1] == u's') {
      if (arg != args.end()) result += *arg++;
      ++p;
    } else {
      result += *p;
    }
  }
  return result;
}

void DatabaseError(const String& Message, const TComponent* Component) {
  if (Component && !Component->Name().empty()) throw EDatabaseError(Component->Name() + u": " + Message);
  throw EDatabaseError(Message);
}

String ExtractFieldName(const String& Fields, Integer& Pos) {
  Integer i = Pos;
  Integer n = Integer(Fields.size());
  while (i <= n && Fields[i - 1] != u';') ++i;
  String result = Trim(Fields.substr(Pos - 1, i - Pos));
  if (i <= n && Fields[i - 1] == u';') ++i;
  Pos = i;
  return result;
}

std::vector<String> SplitFieldNames(const String& Fields) {
  std::vector<String> names;
  Integer pos = 1;
  while (pos <= Integer(Fields.size())) {
    String name = ExtractFieldName(Fields, pos);
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

// ---- TField ------------------------------------------------------------------------------

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  if (FDataSet) FDataSet->FieldRemoved(this);
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

void TField::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) FDataSet->CheckInactive();
  if (Value) {
    Value->CheckInactive();
    if (Value->FindField(FFieldName))
      DatabaseError(FormatDbMessage(SDuplicateFieldName, {FFieldName}), Value);
  }
  if (FDataSet) FDataSet->FieldRemoved(this);
  FDataSet = Value;
  if (FDataSet) FDataSet->FieldAdded(this);
}

void TField::SetFieldName(const String& Value) {
  if (FDataSet) {
    TField* other = FDataSet->FindField(Value);
    if (other && other != this) DatabaseError(FormatDbMessage(SDuplicateFieldName, {Value}), FDataSet);
  }
  FFieldName = Value;
}

void TField::PropertyChanged(bool LayoutAffected) {
  if (FDataSet && FDataSet->Active())
    FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::SetDisplayLabel(const String& Value) {
  if (Value == FFieldName ? FDisplayLabel.empty() : Value == FDisplayLabel) return;
  FDisplayLabel = Value == FFieldName ? String() : Value;
  PropertyChanged(true);
}

void TField::SetDisplayWidth(Integer Value) {
  if (Value == FDisplayWidth) return;
  FDisplayWidth = Value;
  PropertyChanged(true);
}

Integer TField::Index() const { return FDataSet ? FDataSet->Fields()->IndexOf(this) : -1; }

void TField::SetIndex(Integer Value) {
  if (!FDataSet) return;
  FDataSet->Fields()->SetFieldIndex(this, Value);
  PropertyChanged(true);
}

void TField::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  PropertyChanged(true);
}

void TField::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  PropertyChanged(true);
}

void TField::SetSize(Integer Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FSize = Value;
}

void TField::SetFieldKind(TFieldKind Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FFieldKind = Value;
}

void TField::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  PropertyChanged(false);
}

void TField::SetEditMask(const String& Value) {
  FEditMask = Value;
  PropertyChanged(false);
}

void TField::SetKeyFields(const String& Value) {
  if (FDataSet) FDataSet->CheckInactive();
  FKeyFields = Value;
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (Value == FLookupDataSet) return;
  if (Value && Value == FDataSet) DatabaseError(FormatDbMessage(SCircularDataLink, {}), this);
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  if (FLookupDataSet) FLookupDataSet->FreeNotification(this);
}

void TField::SetLookupKeyFields(const String& Value) { FLookupKeyFields = Value; }

void TField::SetLookupResultField(const String& Value) { FLookupResultField = Value; }

bool TField::CanModify() const {
  if (FReadOnly || !FDataSet || FFieldKind != fkData) return false;
  return FDataSet->CanModify();
}

// ---- Values ----

Variant TField::RawValue() const {
  if (!FDataSet || !FDataSet->Active() || !FDataSet->HasActiveRecord()) return Null();
  return FDataSet->GetSlotValue(this);
}

Variant TField::GetAsVariant() const {
  if (FFieldKind == fkLookup) return LookupValue();
  return RawValue();
}

bool TField::IsNull() const { return IsBlank(GetAsVariant()); }

Variant TField::OldValue() const {
  if (!FDataSet || !FDataSet->Active() || FSlot < 0) return Null();
  return FDataSet->GetOldSlotValue(this);
}

Variant TField::ReadStoredValue(const Variant& Raw) const {
  if (IsBlank(Raw)) return Null();
  try {
    return ConvertValue(Raw);
  } catch (const Exception&) {
    return Raw;
  }
}

void TField::SetAsVariant(const Variant& V) {
  if (!FDataSet) DatabaseError(FormatDbMessage(SFieldReadOnly, {FFieldName}), this);
  if (FFieldKind == fkLookup) {
    SetLookupValue(V);
    return;
  }
  TDataSetState state = FDataSet->State();
  bool calculating = state == dsCalcFields || state == dsInternalCalc;
  if (!calculating) {
    if (state != dsEdit && state != dsInsert && state != dsSetKey) DatabaseError(SNotEditing, FDataSet);
    if (FReadOnly || FFieldKind != fkData) DatabaseError(FormatDbMessage(SFieldReadOnly, {DisplayName()}), FDataSet);
  }
  Variant value;
  try {
    value = IsBlank(V) ? Null() : ConvertValue(V);
  } catch (const EDatabaseError&) {
    throw;
  } catch (const Exception&) {
    DatabaseError(FormatDbMessage(SInvalidValue, {DisplayName()}), FDataSet);
  }
  if (!calculating && OnValidate) {
    // OnValidate sees the new value; a raise keeps the old one.
    Variant old = FDataSet->GetSlotValue(this);
    FDataSet->SetSlotValue(this, value);
    try {
      OnValidate(this);
    } catch (...) {
      FDataSet->SetSlotValue(this, old);
      throw;
    }
  }
  FDataSet->SetSlotValue(this, value);
  if (!calculating) {
    FDataSet->DataEvent(deFieldChange, reinterpret_cast<NativeInt>(this));
    if (OnChange) OnChange(this);
  }
}

void TField::Validate() {
  if (OnValidate) OnValidate(this);
}

Variant TField::LookupValue() const {
  if (!FDataSet || !FLookupDataSet || !FLookupDataSet->Active() || FKeyFields.empty() ||
      FLookupKeyFields.empty() || FLookupResultField.empty())
    return Null();
  if (!FDataSet->Active() || !FDataSet->HasActiveRecord()) return Null();
  Variant keys = FDataSet->FieldValues(FKeyFields);
  if (IsBlank(keys)) return Null();
  return FLookupDataSet->Lookup(FLookupKeyFields, keys, FLookupResultField);
}

void TField::SetLookupValue(const Variant& V) {
  if (!FLookupDataSet || FKeyFields.empty() || FLookupKeyFields.empty() || FLookupResultField.empty())
    DatabaseError(FormatDbMessage(SLookupInfoError, {DisplayName()}), FDataSet);
  Variant keys = IsBlank(V) ? Null() : FLookupDataSet->Lookup(FLookupResultField, V, FLookupKeyFields);
  if (IsBlank(keys) && SplitFieldNames(FKeyFields).size() > 1) {
    std::vector<Variant> nulls(SplitFieldNames(FKeyFields).size(), Null());
    keys = VarArrayOf(nulls);
  }
  FDataSet->SetFieldValues(FKeyFields, keys);
}

String TField::GetAsString() const {
  Variant v = GetAsVariant();
  return IsBlank(v) ? String() : VarToStr(v);
}

void TField::SetFromString(const String& V) {
  if (Trim(V).empty())
    Clear();
  else
    SetAsVariant(Variant(V));
}

void TField::AccessError(const char16_t* TypeName) const {
  DatabaseError(FormatDbMessage(SFieldAccessError, {DisplayName(), TypeName}), FDataSet);
}

void TField::RangeError(const String& Value, const String& Min, const String& Max) const {
  DatabaseError(FormatDbMessage(SFieldRangeError, {Value, DisplayName(), Min, Max}), FDataSet);
}

template <class T, class Convert>
T TField::ConvertedValue(T Blank, const char16_t* TypeName, Convert ConvertFn) const {
  Variant v = GetAsVariant();
  if (IsBlank(v)) return Blank;
  try {
    return ConvertFn(v);
  } catch (const Exception&) {
    AccessError(TypeName);
  }
}

Integer TField::AsInteger() const {
  return ConvertedValue<Integer>(0, u"Integer", [](const Variant& V) { return V.AsInteger(); });
}

Int64 TField::AsLargeInt() const {
  return ConvertedValue<Int64>(0, u"Largeint", [](const Variant& V) { return V.AsInt64(); });
}

double TField::AsFloat() const {
  return ConvertedValue<double>(0, u"Float", [](const Variant& V) { return V.AsDouble(); });
}

Currency TField::AsCurrency() const {
  return ConvertedValue<Currency>(Currency(), u"Currency", [](const Variant& V) { return V.AsCurrency(); });
}

bool TField::AsBoolean() const {
  return ConvertedValue<bool>(false, u"Boolean", [](const Variant& V) { return V.AsBoolean(); });
}

TDateTime TField::AsDateTime() const {
  Variant v = GetAsVariant();
  if (IsBlank(v)) return 0;
  if (VarIsStr(v)) {
    TDateTime d;
    if (TryParseDateText(v.AsString(), d)) return d;
    AccessError(u"DateTime");
  }
  try {
    return v.AsDateTime();
  } catch (const Exception&) {
    AccessError(u"DateTime");
  }
}

// ---- Text ----

void TField::GetText(String& Text, bool) const { Text = GetAsString(); }

String TField::Text() const {
  String text;
  if (OnGetText)
    OnGetText(const_cast<TField*>(this), text, false);
  else
    GetText(text, false);
  return text;
}

String TField::DisplayText() const {
  String text;
  if (OnGetText)
    OnGetText(const_cast<TField*>(this), text, true);
  else
    GetText(text, true);
  return text;
}

void TField::SetText(const String& Value) {
  if (OnSetText)
    OnSetText(this, Value);
  else
    SetTextValue(Value);
}

bool TField::IsValidChar(Char) const { return true; }

void TField::FocusControl() {
  if (!FDataSet || !FDataSet->Active()) return;
  TField* field = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<NativeInt>(&field));
}

// ---- TStringField ----------------------------------------------------------------------

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftString);
  SetSize(20);
}

Variant TStringField::ConvertValue(const Variant& V) const {
  if (VarType(V) == varOleStr) return V;
  return Variant(VarToStr(V));
}

TWideStringField::TWideStringField(TComponent* AOwner) : TStringField(AOwner) { SetDataType(ftWideString); }

// ---- Numeric fields -------------------------------------------------------------------

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { SetAlignment(taRightJustify); }

void TNumericField::SetDisplayFormat(const String& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  PropertyChanged(false);
}

void TNumericField::SetEditFormat(const String& Value) {
  if (Value == FEditFormat) return;
  FEditFormat = Value;
  PropertyChanged(false);
}

bool TNumericField::IsValidChar(Char C) const { return (C >= u'0' && C <= u'9') || C == u'+' || C == u'-'; }

String TNumericField::FormatNumber(double V, bool DisplayText) const {
  const String& format = DisplayText ? FDisplayFormat : FEditFormat;
  return format.empty() ? String() : FormatFloat(format, V);
}

TIntegerField::TIntegerField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftInteger); }

Int64 TIntegerField::CheckedInteger(const Variant& V) const {
  Int64 value;
  if (VarIsStr(V)) {
    String text = Trim(V.AsString());
    if (!TryStrToInt64(text, value))
      DatabaseError(FormatDbMessage(SInvalidIntegerValue, {text, DisplayName()}), DataSet());
  } else {
    try {
      value = V.AsInt64();
    } catch (const Exception&) {
      DatabaseError(FormatDbMessage(SInvalidIntegerValue, {VarToStr(V), DisplayName()}), DataSet());
    }
  }
  return value;
}

Variant TIntegerField::ConvertValue(const Variant& V) const {
  Int64 value = CheckedInteger(V);
  Int64 lo = TypeMin(), hi = TypeMax();
  if (FMinValue != 0 || FMaxValue != 0) {
    lo = std::max<Int64>(lo, FMinValue);
    hi = std::min<Int64>(hi, FMaxValue);
  }
  if (value < lo || value > hi) RangeError(IntToStr(value), IntToStr(lo), IntToStr(hi));
  return MakeValue(value);
}

void TIntegerField::GetText(String& Text, bool DisplayText) const {
  Variant v = GetAsVariant();
  if (VarIsNull(v) || VarIsEmpty(v)) {
    Text.clear();
    return;
  }
  Text = FormatNumber(v.AsDouble(), DisplayText);
  if (Text.empty()) Text = VarToStr(v);
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftSmallint); }

TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftWord); }

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) { SetDataType(ftAutoInc); }

TLargeintField::TLargeintField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftLargeint); }

Variant TLargeintField::ConvertValue(const Variant& V) const {
  Int64 value;
  if (VarIsStr(V)) {
    String text = Trim(V.AsString());
    if (!TryStrToInt64(text, value))
      DatabaseError(FormatDbMessage(SInvalidIntegerValue, {text, DisplayName()}), DataSet());
  } else {
    try {
      value = V.AsInt64();
    } catch (const Exception&) {
      DatabaseError(FormatDbMessage(SInvalidIntegerValue, {VarToStr(V), DisplayName()}), DataSet());
    }
  }
  if ((FMinValue != 0 || FMaxValue != 0) && (value < FMinValue || value > FMaxValue))
    RangeError(IntToStr(value), IntToStr(FMinValue), IntToStr(FMaxValue));
  return Variant(value);
}

void TLargeintField::GetText(String& Text, bool DisplayText) const {
  Variant v = GetAsVariant();
  if (VarIsNull(v) || VarIsEmpty(v)) {
    Text.clear();
    return;
  }
  Text = FormatNumber(v.AsDouble(), DisplayText);
  if (Text.empty()) Text = IntToStr(v.AsInt64());
}

// ---- Floating and fixed point ----

namespace {

double CheckedFloat(const TField* field, const Variant& V) {
  double value = 0;
  bool ok = true;
  if (VarIsStr(V)) {
    ok = TryStrToFloat(Trim(V.AsString()), value);
  } else {
    try {
      value = V.AsDouble();
    } catch (const Exception&) {
      ok = false;
    }
  }
  if (!ok || !std::isfinite(value))
    DatabaseError(FormatDbMessage(SInvalidFloatValue, {VarToStr(V), field->DisplayName()}), field->DataSet());
  return value;
}

bool IsFloatChar(Char C) {
  return (C >= u'0' && C <= u'9') || C == u'+' || C == u'-' || C == u'E' || C == u'e' ||
         C == FormatSettings().DecimalSeparator;
}

}  // namespace

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { SetDataType(ftFloat); }

bool TFloatField::IsValidChar(Char C) const { return IsFloatChar(C); }

bool TBCDField::IsValidChar(Char C) const { return IsFloatChar(C); }

bool TFMTBCDField::IsValidChar(Char C) const { return IsFloatChar(C); }

void TFloatField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged(false);
}

void TFloatField::SetPrecision(Integer Value) {
  if (Value < 2) Value = 2;
  if (Value > 15) Value = 15;
  if (Value == FPrecision) return;
  FPrecision = Value;
  PropertyChanged(false);
}

Variant TFloatField::ConvertValue(const Variant& V) const {
  double value = CheckedFloat(this, V);
  if ((FMinValue != 0 || FMaxValue != 0) && (value < FMinValue || value > FMaxValue))
    RangeError(FloatToStr(value), FloatToStr(FMinValue), FloatToStr(FMaxValue));
  return Variant(value);
}

void TFloatField::GetText(String& Text, bool DisplayText) const {
  Variant v = GetAsVariant();
  if (VarIsNull(v) || VarIsEmpty(v)) {
    Text.clear();
    return;
  }
  double value = v.AsDouble();
  Text = FormatNumber(value, DisplayText);
  if (!Text.empty()) return;
  if (FCurrency)
    Text = FloatToStrF(value, DisplayText ? ffCurrency : ffFixed, FPrecision, FormatSettings().CurrencyDecimals);
  else
    Text = FloatToStrF(value, ffGeneral, FPrecision, 0);
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftBCD);
  SetSize(4);
}

void TBCDField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged(false);
}

void TBCDField::SetPrecision(Integer Value) { FPrecision = Value; }

Variant TBCDField::ConvertValue(const Variant& V) const {
  Currency value;
  bool ok = true;
  if (VarIsStr(V)) {
    ok = TryStrToCurr(Trim(V.AsString()), value);
  } else {
    try {
      value = V.AsCurrency();
    } catch (const Exception&) {
      ok = false;
    }
  }
  if (!ok) DatabaseError(FormatDbMessage(SInvalidFloatValue, {VarToStr(V), DisplayName()}), DataSet());
  if ((FMinValue != Currency() || FMaxValue != Currency()) && (value < FMinValue || value > FMaxValue))
    RangeError(CurrToStr(value), CurrToStr(FMinValue), CurrToStr(FMaxValue));
  return Variant(value);
}

void TBCDField::GetText(String& Text, bool DisplayText) const {
  Variant v = GetAsVariant();
  if (VarIsNull(v) || VarIsEmpty(v)) {
    Text.clear();
    return;
  }
  Text = FormatNumber(v.AsDouble(), DisplayText);
  if (!Text.empty()) return;
  Currency value = v.AsCurrency();
  if (FCurrency)
    Text = CurrToStrF(value, DisplayText ? ffCurrency : ffFixed, FormatSettings().CurrencyDecimals);
  else
    Text = CurrToStr(value);
}

TFMTBCDField::TFMTBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  SetDataType(ftFMTBcd);
  SetSize(8);
}

void TFMTBCDField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged(false);
}

void TFMTBCDField::SetPrecision(Integer Value) { FPrecision = Value; }

Variant TFMTBCDField::ConvertValue(const Variant& V) const {
  try {
    return VarFMTBcdCreate(VarToBcd(V));
  } catch (const Exception&) {
    DatabaseError(FormatDbMessage(SInvalidFloatValue, {VarToStr(V), DisplayName()}), DataSet());
  }
}

void TFMTBCDField::GetText(String& Text, bool DisplayText) const {
  Variant v = GetAsVariant();
  if (VarIsNull(v) || VarIsEmpty(v)) {
    Text.clear();
    return;
  }
  Text = FormatNumber(v.AsDouble(), DisplayText);
  if (!Text.empty()) return;
  TBcd value = VarToBcd(v);
  if (FCurrency)
    Text = BcdToStrF(value, DisplayText ? ffCurrency : ffFixed, FPrecision, FormatSettings().CurrencyDecimals);
  else
    Text = BcdToStr(value);
}

// ---- TBooleanField ----------------------------------------------------------------------

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const String& Value) {
  Integer pos = Pos(u";", Value);
  String t = pos ? Value.substr(0, pos - 1) : Value;
  String f = pos ? Value.substr(pos) : String();
  if (t.empty() && f.empty()) {
    t = u"True";
    f = u"False";
  }
  FDisplayValues = Value;
  FTrueText = t;
  FFalseText = f;
  PropertyChanged(true);
}

Variant TBooleanField::ConvertValue(const Variant& V) const {
  if (VarType(V) == varBoolean) return V;
  if (VarIsStr(V)) {
    String text = Trim(V.AsString());
    if (!FTrueText.empty() && AnsiSameText(text, FTrueText)) return Variant(true);
    if (!FFalseText.empty() && AnsiSameText(text, FFalseText)) return Variant(false);
  }
  try {
    return Variant(V.AsBoolean());
  } catch (const Exception&) {
    DatabaseError(FormatDbMessage(SInvalidBoolValue, {VarToStr(V), DisplayName()}), DataSet());
  }
}

void TBooleanField::SetFromString(const String& V) {
  if (V.empty()) {
    Clear();
    return;
  }
  String text = Trim(V);
  auto startsWith = [&](const String& word) {
    return !word.empty() && !text.empty() && AnsiSameText(word.substr(0, text.size()), text);
  };
  if (startsWith(FTrueText))
    SetAsBoolean(true);
  else if (startsWith(FFalseText))
    SetAsBoolean(false);
  else
    DatabaseError(FormatDbMessage(SInvalidBoolValue, {V, DisplayName()}), DataSet());
}

void TBooleanField::GetText(String& Text, bool) const {
  Variant v = GetAsVariant();
  if (VarIsNull(v) || VarIsEmpty(v))
    Text.clear();
  else
    Text = v.AsBoolean() ? FTrueText : FFalseText;
}

// ---- Dates and times -----------------------------------------------------------------

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftDateTime); }

void TDateTimeField::SetDisplayFormat(const String& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  PropertyChanged(false);
}

Variant TDateTimeField::ConvertValue(const Variant& V) const {
  TDateTime value = 0;
  if (VarIsStr(V)) {
    if (!TryParseDateText(V.AsString(), value))
      DatabaseError(FormatDbMessage(SInvalidDateValue, {V.AsString(), DisplayName()}), DataSet());
  } else {
    try {
      value = V.AsDateTime();
    } catch (const Exception&) {
      DatabaseError(FormatDbMessage(SInvalidDateValue, {VarToStr(V), DisplayName()}), DataSet());
    }
  }
  return VarFromDateTime(value);
}

void TDateTimeField::SetFromString(const String& V) {
  if (Trim(V).empty())
    Clear();
  else
    SetAsVariant(Variant(V));
}

void TDateTimeField::GetText(String& Text, bool DisplayText) const {
  Variant v = GetAsVariant();
  if (VarIsNull(v) || VarIsEmpty(v)) {
    Text.clear();
    return;
  }
  String format = DisplayText && !FDisplayFormat.empty() ? FDisplayFormat : DefaultFormat();
  Text = FormatDateTime(format, v.AsDateTime());
}

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftDate); }

Variant TDateField::ConvertValue(const Variant& V) const {
  return VarFromDateTime(DateOf(TDateTimeField::ConvertValue(V).AsDateTime()));
}

String TDateField::DefaultFormat() const { return FormatSettings().ShortDateFormat; }

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftTime); }

Variant TTimeField::ConvertValue(const Variant& V) const {
  return VarFromDateTime(TimeOf(TDateTimeField::ConvertValue(V).AsDateTime()));
}

String TTimeField::DefaultFormat() const { return FormatSettings().LongTimeFormat; }

TSQLTimeStampField::TSQLTimeStampField(TComponent* AOwner) : TDateTimeField(AOwner) { SetDataType(ftTimeStamp); }

// ---- Binary and memo ------------------------------------------------------------------

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) { SetDataType(ftBlob); }

void TBlobField::SetBlobType(TFieldType Value) { SetDataType(Value); }

Variant TBlobField::ConvertValue(const Variant& V) const {
  if (VarType(V) == varString) return V;
  if (VarType(V) == varOleStr) return VarFromRawByteString(NarrowLatin1(V.RawString()));
  return VarFromRawByteString(NarrowLatin1(VarToStr(V)));
}

String TBlobField::GetAsString() const {
  Variant v = GetAsVariant();
  if (VarIsNull(v) || VarIsEmpty(v)) return String();
  if (VarType(v) == varString) return Latin1ToString(v.RawBytes());
  return VarToStr(v);
}

void TBlobField::SetFromString(const String& V) {
  if (V.empty())
    Clear();
  else
    SetAsVariant(VarFromRawByteString(NarrowLatin1(V)));
}

void TBlobField::GetText(String& Text, bool) const {
  String name = FieldTypeName(DataType());
  Text = u"(" + (IsNull() ? LowerCase(name) : UpperCase(name)) + u")";
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftMemo); }

Variant TMemoField::ConvertValue(const Variant& V) const {
  if (VarType(V) == varOleStr) return V;
  if (VarType(V) == varString) return Variant(UTF8ToString(V.RawBytes()));
  return Variant(VarToStr(V));
}

String TMemoField::GetAsString() const {
  Variant v = GetAsVariant();
  return VarIsNull(v) || VarIsEmpty(v) ? String() : VarToStr(v);
}

void TMemoField::SetFromString(const String& V) { SetAsVariant(Variant(V)); }

TWideMemoField::TWideMemoField(TComponent* AOwner) : TMemoField(AOwner) { SetDataType(ftWideMemo); }

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { SetDataType(ftGraphic); }

TBytesField::TBytesField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftBytes);
  SetSize(16);
}

Variant TBytesField::ConvertValue(const Variant& V) const {
  if (VarType(V) == varString) return V;
  return VarFromRawByteString(NarrowLatin1(VarToStr(V)));
}

void TBytesField::GetText(String& Text, bool) const {
  Variant v = GetAsVariant();
  Text = VarIsNull(v) || VarIsEmpty(v) ? String() : Latin1ToString(v.RawBytes());
}

TVarBytesField::TVarBytesField(TComponent* AOwner) : TBytesField(AOwner) { SetDataType(ftVarBytes); }

TAggregateField::TAggregateField(TComponent* AOwner) : TField(AOwner) {
  SetDataType(ftUnknown);
  SetFieldKind(fkAggregate);
}

// ---- Type tables ------------------------------------------------------------------------

TComponentClass DefaultFieldClass(TFieldType DataType) {
  switch (DataType) {
    case ftString: case ftFixedChar: return TStringField::StaticClass();
    case ftWideString: case ftFixedWideChar: return TWideStringField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: return TDateTimeField::StaticClass();
    case ftBytes: return TBytesField::StaticClass();
    case ftVarBytes: return TVarBytesField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftBlob: case ftTypedBinary: case ftOraBlob: return TBlobField::StaticClass();
    case ftMemo: case ftFmtMemo: case ftOraClob: return TMemoField::StaticClass();
    case ftWideMemo: return TWideMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftTimeStamp: return TSQLTimeStampField::StaticClass();
    case ftFMTBcd: return TFMTBCDField::StaticClass();
    default: return nullptr;
  }
}

String FieldTypeName(TFieldType DataType) {
  static const char16_t* names[] = {
      u"Unknown", u"String", u"SmallInt", u"Integer", u"Word", u"Boolean", u"Float", u"Currency",
      u"BCD", u"Date", u"Time", u"DateTime", u"Bytes", u"VarBytes", u"AutoInc", u"Blob", u"Memo",
      u"Graphic", u"FmtMemo", u"ParadoxOle", u"dBaseOle", u"TypedBinary", u"Cursor", u"FixedChar",
      u"WideString", u"Largeint", u"ADT", u"Array", u"Reference", u"DataSet", u"OraBlob",
      u"OraClob", u"Variant", u"Interface", u"IDispatch", u"Guid", u"TimeStamp", u"FMTBcd",
      u"FixedWideChar", u"WideMemo", u"OraTimeStamp", u"OraInterval"};
  size_t i = size_t(DataType);
  return i < std::size(names) ? String(names[i]) : String(u"Unknown");
}

// ---- TFields -----------------------------------------------------------------------------

TField* TFields::Fields(Integer Index) const {
  if (Index < 0 || Index >= Count()) DatabaseError(SFieldIndexError, FDataSet);
  return FList[Index];
}

TField* TFields::FindField(const String& FieldName) const {
  for (TField* f : FList)
    if (AnsiSameText(f->FieldName(), FieldName)) return f;
  return nullptr;
}

TField* TFields::FieldByName(const String& FieldName) const {
  TField* f = FindField(FieldName);
  if (!f) DatabaseError(FormatDbMessage(SFieldNotFound, {FieldName}), FDataSet);
  return f;
}

TField* TFields::FieldByNumber(Integer FieldNo) const {
  for (TField* f : FList)
    if (f->FieldNo() == FieldNo) return f;
  return nullptr;
}

Integer TFields::IndexOf(const TField* Field) const {
  for (size_t i = 0; i < FList.size(); ++i)
    if (FList[i] == Field) return Integer(i);
  return -1;
}

void TFields::Add(TField* Field) { FList.push_back(Field); }

void TFields::Remove(TField* Field) {
  Integer i = IndexOf(Field);
  if (i >= 0) FList.erase(FList.begin() + i);
}

void TFields::SetFieldIndex(TField* Field, Integer Value) {
  Integer cur = IndexOf(Field);
  if (cur < 0) return;
  Value = std::clamp(Value, 0, Count() - 1);
  FList.erase(FList.begin() + cur);
  FList.insert(FList.begin() + Value, Field);
}

// ---- TFieldDefs --------------------------------------------------------------------------

Integer TFieldDefs::IndexOf(const String& Name) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (AnsiSameText(FItems[i].Name, Name)) return Integer(i);
  return -1;
}

const TFieldDef* TFieldDefs::Find(const String& Name) const {
  Integer i = IndexOf(Name);
  return i < 0 ? nullptr : &FItems[i];
}

TFieldDef& TFieldDefs::Add(const String& Name, TFieldType DataType, Integer Size, bool Required) {
  TFieldDef def;
  def.Name = Name;
  def.DataType = DataType;
  def.Size = Size;
  def.Required = Required;
  def.FieldNo = Count() + 1;
  FItems.push_back(def);
  return FItems.back();
}
