#pragma once
// The currency editor (unit cxCurrencyEdit): a text editor for a monetary
// amount held as a double, with a fixed number of decimal places while
// typing, an optional thousand separator and a text shown for an empty
// value.
//
// Typed characters are checked one by one; pasted text is taken as it is
// and a text that does not read as a number is then refused by validation
// (the editor keeps it and reports the error) rather than stored as null
// or 0.
#include <memory>

#include "editors/cxTextEdit.h"

class TcxCustomCurrencyEditProperties : public TcxCustomTextEditProperties {
  KORVANE_CLASS(TcxCustomCurrencyEditProperties, TcxCustomTextEditProperties)
  explicit TcxCustomCurrencyEditProperties(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;

  Integer DecimalPlaces() const { return FDecimalPlaces; }
  void SetDecimalPlaces(Integer Value) { SetValue(FDecimalPlaces, Value); }
  bool Nullable() const { return FNullable; }
  void SetNullable(bool Value) { SetValue(FNullable, Value); }
  const String& NullString() const { return FNullString; }
  void SetNullString(const String& Value) { SetValue(FNullString, Value); }
  bool UseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool Value) { SetValue(FUseThousandSeparator, Value); }

  bool IsNumeric() const override { return true; }
  bool UsesThousandSeparators() const override { return FUseThousandSeparator; }
  // The format controller's currency format.
  String DefaultDisplayFormat() const override;
  static TcxCustomEditClass GetEditorClass();

  // AText without the locale's thousand separators read as a number; false
  // for anything else and for a magnitude outside the double range.
  bool ReadNumber(const String& AText, double& ANumber) const;
  // Whether an edit format (own or the provider's) is in force: then any
  // character may be typed.
  bool HasEditFormat() const;
  // Whether AChar (already turned into the decimal separator when it was a
  // comma or point) may replace the selection of AText.
  bool IsCharAcceptable(const String& AText, Integer ASelStart, Integer ASelLength, Char AChar) const;
  // The value of a shown text: a number, or null (Nullable) or 0 for an
  // empty text, the null string and a text that is no number.
  Variant DisplayToEditValue(const String& AText) const;
  // The text of a value, while editing (AIsEditing) or for display.
  String EditValueToText(const Variant& AValue, bool AIsEditing) const;
  String ValueToDisplayText(const Variant& AValue) const override { return EditValueToText(AValue, false); }
  // A non-empty text other than the null string that does not read as a
  // number is an error; then the range check and OnValidate.
  void CheckDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError, IcxCustomEdit* AEdit) override;

private:
  // Digits after the decimal separator of AText (up to an exponent).
  Integer DecimalDigits(const String& AText) const;

  Integer FDecimalPlaces = 2;
  bool FNullable = true;
  String FNullString;
  bool FUseThousandSeparator = false;
};

class TcxCurrencyEditProperties : public TcxCustomCurrencyEditProperties {
  KORVANE_CLASS(TcxCurrencyEditProperties, TcxCustomCurrencyEditProperties)
  using TcxCustomCurrencyEditProperties::TcxCustomCurrencyEditProperties;
};

// Typed characters meet the currency rules; a refused one beeps.
class TcxCurrencyEditModel : public TcxTextEditModel {
public:
  explicit TcxCurrencyEditModel(TcxCustomCurrencyEditProperties* AProperties) : TcxTextEditModel(AProperties) {}
  TcxCustomCurrencyEditProperties* CurrencyProperties() const;
  void KeyPress(Char& Key) override;
};

class TcxCustomCurrencyEdit : public TcxCustomTextEdit {
public:
  KORVANE_CLASS(TcxCustomCurrencyEdit, TcxCustomTextEdit)
  explicit TcxCustomCurrencyEdit(TComponent* AOwner) : TcxCustomCurrencyEdit(AOwner, false) {}
  TcxCustomCurrencyEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomTextEdit(AOwner, AIsInplace) {}

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxCurrencyEditProperties::StaticClass(); }
  TcxCustomCurrencyEditProperties* ActiveCurrencyProperties();
  void UpdateDisplayValue() override;
  // Only when the value may be modified.
  void PasteFromClipboard() override;

protected:
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  void InternalSetDisplayValue(const Variant& Value) override;
};

class TcxCurrencyEdit : public TcxCustomCurrencyEdit {
  KORVANE_CLASS(TcxCurrencyEdit, TcxCustomCurrencyEdit)
  using TcxCustomCurrencyEdit::TcxCustomCurrencyEdit;
};

// Registers the currency editor kind (repeated calls do nothing) / removes it.
void cxCurrencyEditInitialize();
void cxCurrencyEditFinalize();
