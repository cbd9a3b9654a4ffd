#pragma once
// Fields of a dataset: TField with its metadata and text conversions, the
// typed descendants, the list of a dataset's fields and the definitions of
// the columns a dataset reads.
//
// A field is a component. Persistent fields are made in code before the
// dataset opens (new TWideStringField(owner); SetFieldName; SetDataSet);
// without any, opening makes one default field per column, owned by the
// dataset. A field's value lives in the dataset's current record; writing
// it needs the dataset in edit or insert state (calculated fields: while
// the dataset calculates).
#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/rtl/variant.h"

class TFields;

class TField : public TComponent {
  KORVANE_CLASS(TField, TComponent)
  explicit TField(TComponent* AOwner);
  ~TField() override;

  // ---- Identity and metadata ----
  TDataSet* DataSet() const { return FDataSet; }
  // Adds the field to the dataset's fields (the dataset must be closed).
  void SetDataSet(TDataSet* Value);
  const String& FieldName() const { return FFieldName; }
  void SetFieldName(const String& Value);
  // The field name when no label was given.
  String DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  void SetDisplayLabel(const String& Value);
  String DisplayName() const { return DisplayLabel(); }
  Integer DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : DefaultWidth(); }
  void SetDisplayWidth(Integer Value);
  // Position among the dataset's fields (-1 without a dataset).
  Integer Index() const;
  void SetIndex(Integer Value);
  // 1-based number of the column the field reads; 0 for fields of no column.
  Integer FieldNo() const { return FFieldNo; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  Integer Size() const { return FSize; }
  void SetSize(Integer Value);
  TFieldType DataType() const { return FDataType; }
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value);
  bool Calculated() const { return FFieldKind == fkCalculated; }
  bool Lookup() const { return FFieldKind == fkLookup; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  const String& EditMask() const { return FEditMask; }
  void SetEditMask(const String& Value);
  // Where the value comes from ("table.column"), as the query found it.
  const String& Origin() const { return FOrigin; }
  void SetOrigin(const String& Value) { FOrigin = Value; }
  virtual bool IsBlob() const { return false; }
  // The field can take a value: not read-only, the dataset can be modified,
  // and a lookup's key fields can be modified.
  virtual bool CanModify() const;

  // ---- Lookup settings ----
  const String& KeyFields() const { return FKeyFields; }
  void SetKeyFields(const String& Value);
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  const String& LookupKeyFields() const { return FLookupKeyFields; }
  void SetLookupKeyFields(const String& Value);
  const String& LookupResultField() const { return FLookupResultField; }
  void SetLookupResultField(const String& Value);

  // ---- Value ----
  bool IsNull() const;
  Variant Value() const { return GetAsVariant(); }
  void SetValue(const Variant& V) { SetAsVariant(V); }
  Variant AsVariant() const { return GetAsVariant(); }
  void SetAsVariant(const Variant& V);
  String AsString() const { return GetAsString(); }
  void SetAsString(const String& V) { SetFromString(V); }
  Integer AsInteger() const;
  void SetAsInteger(Integer V) { SetAsVariant(Variant(V)); }
  Int64 AsLargeInt() const;
  void SetAsLargeInt(Int64 V) { SetAsVariant(Variant(V)); }
  double AsFloat() const;
  void SetAsFloat(double V) { SetAsVariant(Variant(V)); }
  Currency AsCurrency() const;
  void SetAsCurrency(Currency V) { SetAsVariant(Variant(V)); }
  bool AsBoolean() const;
  void SetAsBoolean(bool V) { SetAsVariant(Variant(V)); }
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime V) { SetAsVariant(VarFromDateTime(V)); }
  void Clear() { SetAsVariant(Null()); }
  // The value the current record had before this edit.
  Variant OldValue() const;

  // ---- Text ----
  // The edit text and the display text, through OnGetText when assigned.
  String Text() const;
  void SetText(const String& Value);
  String DisplayText() const;
  // Whether typing the character can make sense in this field.
  virtual bool IsValidChar(Char C) const;

  // Asks the controls bound to the dataset to focus this field.
  void FocusControl();
  // Runs OnValidate for a value about to be stored.
  void Validate();

  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;
  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;

  // Converts a value read from storage to the field's own kind; a value
  // that does not convert is kept as it is.
  Variant ReadStoredValue(const Variant& Raw) const;

  // ---- For the dataset ----
  void Bind(Integer FieldNo, Integer Slot) {
    FFieldNo = FieldNo;
    FSlot = Slot;
  }
  Integer Slot() const { return FSlot; }
  bool DefaultField() const { return FDefaultField; }
  void SetDefaultField(bool Value) { FDefaultField = Value; }
  void DataSetDestroying() { FDataSet = nullptr; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void SetDataType(TFieldType Value) { FDataType = Value; }
  virtual Integer DefaultWidth() const { return 10; }
  // The value in the field's own variant kind; raises for values that do
  // not fit.
  virtual Variant ConvertValue(const Variant& V) const { return V; }
  virtual Variant GetAsVariant() const;
  virtual String GetAsString() const;
  virtual void SetFromString(const String& V);
  virtual void GetText(String& Text, bool DisplayText) const;
  virtual void SetTextValue(const String& V) { SetFromString(V); }
  void PropertyChanged(bool LayoutAffected);
  [[noreturn]] void AccessError(const char16_t* TypeName) const;
  // The value converted by Convert; a blank value gives Blank, a failed
  // conversion raises the access error for TypeName.
  template <class T, class Convert>
  T ConvertedValue(T Blank, const char16_t* TypeName, Convert ConvertFn) const;
  [[noreturn]] void RangeError(const String& Value, const String& Min, const String& Max) const;
  // The raw value of the current record (Null without an active dataset).
  Variant RawValue() const;

private:
  Variant LookupValue() const;
  void SetLookupValue(const Variant& V);

  TDataSet* FDataSet = nullptr;
  String FFieldName;
  String FDisplayLabel;
  Integer FDisplayWidth = 0;
  Integer FFieldNo = 0;
  Integer FSlot = -1;
  bool FVisible = true;
  bool FReadOnly = false;
  bool FRequired = false;
  bool FDefaultField = false;
  Integer FSize = 0;
  TFieldType FDataType = ftUnknown;
  TFieldKind FFieldKind = fkData;
  TAlignment FAlignment = taLeftJustify;
  String FEditMask;
  String FOrigin;
  String FKeyFields;
  TDataSet* FLookupDataSet = nullptr;
  String FLookupKeyFields;
  String FLookupResultField;
};

// ---- Text fields -----------------------------------------------------------------

class TStringField : public TField {
  KORVANE_CLASS(TStringField, TField)
  explicit TStringField(TComponent* AOwner);
  // When set, leading and trailing blanks are kept; otherwise trailing ones
  // are kept too (the text is stored as given).
  bool FixedChar() const { return FFixedChar; }
  void SetFixedChar(bool Value) { FFixedChar = Value; }

protected:
  Integer DefaultWidth() const override { return Size() > 0 ? Size() : 20; }
  Variant ConvertValue(const Variant& V) const override;
  // An empty text is stored as an empty text, not as Null.
  void SetFromString(const String& V) override { SetAsVariant(Variant(V)); }

private:
  bool FFixedChar = false;
};

class TWideStringField : public TStringField {
  KORVANE_CLASS(TWideStringField, TStringField)
  explicit TWideStringField(TComponent* AOwner);
};

// ---- Numeric fields --------------------------------------------------------------

class TNumericField : public TField {
  KORVANE_CLASS(TNumericField, TField)
  explicit TNumericField(TComponent* AOwner);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);
  const String& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const String& Value);
  bool IsValidChar(Char C) const override;

protected:
  String FormatNumber(double V, bool DisplayText) const;

private:
  String FDisplayFormat;
  String FEditFormat;
};

class TIntegerField : public TNumericField {
  KORVANE_CLASS(TIntegerField, TNumericField)
  explicit TIntegerField(TComponent* AOwner);
  // Both 0: no range check beyond the type's own.
  Integer MinValue() const { return FMinValue; }
  void SetMinValue(Integer Value) { FMinValue = Value; }
  Integer MaxValue() const { return FMaxValue; }
  void SetMaxValue(Integer Value) { FMaxValue = Value; }

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;
  virtual Int64 TypeMin() const { return INT32_MIN; }
  virtual Int64 TypeMax() const { return INT32_MAX; }
  virtual Variant MakeValue(Int64 V) const { return Variant(Integer(V)); }
  Int64 CheckedInteger(const Variant& V) const;

private:
  Integer FMinValue = 0;
  Integer FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
  KORVANE_CLASS(TSmallintField, TIntegerField)
  explicit TSmallintField(TComponent* AOwner);

protected:
  Int64 TypeMin() const override { return MinSmallint; }
  Int64 TypeMax() const override { return MaxSmallint; }
  Variant MakeValue(Int64 V) const override { return Variant(SmallInt(V)); }
};

class TWordField : public TIntegerField {
  KORVANE_CLASS(TWordField, TIntegerField)
  explicit TWordField(TComponent* AOwner);

protected:
  Int64 TypeMin() const override { return 0; }
  Int64 TypeMax() const override { return MaxWord; }
  Variant MakeValue(Int64 V) const override { return Variant(Word(V)); }
};

class TAutoIncField : public TIntegerField {
  KORVANE_CLASS(TAutoIncField, TIntegerField)
  explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TNumericField {
  KORVANE_CLASS(TLargeintField, TNumericField)
  explicit TLargeintField(TComponent* AOwner);
  Int64 MinValue() const { return FMinValue; }
  void SetMinValue(Int64 Value) { FMinValue = Value; }
  Int64 MaxValue() const { return FMaxValue; }
  void SetMaxValue(Int64 Value) { FMaxValue = Value; }

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;
  Integer DefaultWidth() const override { return 15; }

private:
  Int64 FMinValue = 0;
  Int64 FMaxValue = 0;
};

class TFloatField : public TNumericField {
  KORVANE_CLASS(TFloatField, TNumericField)
  explicit TFloatField(TComponent* AOwner);
  bool IsValidChar(Char C) const override;
  // Shown with the locale's currency format when set.
  bool currency() const { return FCurrency; }
  void SetCurrency(bool Value);
  // Significant digits of the general format (2..15; default 15).
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value);
  // Both 0: no range check.
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value) { FMinValue = Value; }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { FMaxValue = Value; }

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;
  Integer DefaultWidth() const override { return 10; }

private:
  bool FCurrency = false;
  Integer FPrecision = 15;
  double FMinValue = 0;
  double FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
  KORVANE_CLASS(TCurrencyField, TFloatField)
  explicit TCurrencyField(TComponent* AOwner);
};

// A fixed-point number held as Currency; Size is the number of decimals.
class TBCDField : public TNumericField {
  KORVANE_CLASS(TBCDField, TNumericField)
  explicit TBCDField(TComponent* AOwner);
  bool IsValidChar(Char C) const override;
  bool currency() const { return FCurrency; }
  void SetCurrency(bool Value);
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value);
  Currency MinValue() const { return FMinValue; }
  void SetMinValue(Currency Value) { FMinValue = Value; }
  Currency MaxValue() const { return FMaxValue; }
  void SetMaxValue(Currency Value) { FMaxValue = Value; }

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;

private:
  bool FCurrency = false;
  Integer FPrecision = 0;
  Currency FMinValue;
  Currency FMaxValue;
};

// A decimal number of up to 64 digits held as a BCD variant.
class TFMTBCDField : public TNumericField {
  KORVANE_CLASS(TFMTBCDField, TNumericField)
  explicit TFMTBCDField(TComponent* AOwner);
  bool IsValidChar(Char C) const override;
  bool currency() const { return FCurrency; }
  void SetCurrency(bool Value);
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value);
  const String& MinValue() const { return FMinValue; }
  void SetMinValue(const String& Value) { FMinValue = Value; }
  const String& MaxValue() const { return FMaxValue; }
  void SetMaxValue(const String& Value) { FMaxValue = Value; }

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;

private:
  bool FCurrency = false;
  Integer FPrecision = 15;
  String FMinValue;
  String FMaxValue;
};

// ---- Boolean -------------------------------------------------------------------------

class TBooleanField : public TField {
  KORVANE_CLASS(TBooleanField, TField)
  explicit TBooleanField(TComponent* AOwner);
  // "True;False" by default: the texts shown for true and false.
  const String& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const String& Value);

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;
  void SetFromString(const String& V) override;
  Integer DefaultWidth() const override { return 5; }

private:
  String FDisplayValues = u"True;False";
  String FTrueText = u"True";
  String FFalseText = u"False";
};

// ---- Dates and times ------------------------------------------------------------------

class TDateTimeField : public TField {
  KORVANE_CLASS(TDateTimeField, TField)
  explicit TDateTimeField(TComponent* AOwner);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value);

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;
  void SetFromString(const String& V) override;
  Integer DefaultWidth() const override { return 18; }
  // The pattern used when no display format is set.
  virtual String DefaultFormat() const { return u"c"; }

private:
  String FDisplayFormat;
};

class TDateField : public TDateTimeField {
  KORVANE_CLASS(TDateField, TDateTimeField)
  explicit TDateField(TComponent* AOwner);

protected:
  Variant ConvertValue(const Variant& V) const override;
  String DefaultFormat() const override;
  Integer DefaultWidth() const override { return 10; }
};

class TTimeField : public TDateTimeField {
  KORVANE_CLASS(TTimeField, TDateTimeField)
  explicit TTimeField(TComponent* AOwner);

protected:
  Variant ConvertValue(const Variant& V) const override;
  String DefaultFormat() const override;
  Integer DefaultWidth() const override { return 10; }
};

// A time stamp; its value is a date-time.
class TSQLTimeStampField : public TDateTimeField {
  KORVANE_CLASS(TSQLTimeStampField, TDateTimeField)
  explicit TSQLTimeStampField(TComponent* AOwner);
};

// ---- Binary and memo ----------------------------------------------------------------

// Raw bytes held as a byte-string variant. Text shows a placeholder:
// "(BLOB)" with data, "(blob)" without.
class TBlobField : public TField {
  KORVANE_CLASS(TBlobField, TField)
  explicit TBlobField(TComponent* AOwner);
  bool IsBlob() const override { return true; }
  TFieldType BlobType() const { return DataType(); }
  void SetBlobType(TFieldType Value);

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;
  String GetAsString() const override;
  void SetFromString(const String& V) override;
};

// Text of any length; its placeholder text is "(MEMO)" / "(memo)".
class TMemoField : public TBlobField {
  KORVANE_CLASS(TMemoField, TBlobField)
  explicit TMemoField(TComponent* AOwner);

protected:
  Variant ConvertValue(const Variant& V) const override;
  String GetAsString() const override;
  void SetFromString(const String& V) override;
};

class TWideMemoField : public TMemoField {
  KORVANE_CLASS(TWideMemoField, TMemoField)
  explicit TWideMemoField(TComponent* AOwner);
};

class TGraphicField : public TBlobField {
  KORVANE_CLASS(TGraphicField, TBlobField)
  explicit TGraphicField(TComponent* AOwner);
};

class TBytesField : public TField {
  KORVANE_CLASS(TBytesField, TField)
  explicit TBytesField(TComponent* AOwner);

protected:
  Variant ConvertValue(const Variant& V) const override;
  void GetText(String& Text, bool DisplayText) const override;
};

class TVarBytesField : public TBytesField {
  KORVANE_CLASS(TVarBytesField, TBytesField)
  explicit TVarBytesField(TComponent* AOwner);
};

// A field whose value is computed over several records; the dataset layer
// keeps only its settings.
class TAggregateField : public TField {
  KORVANE_CLASS(TAggregateField, TField)
  explicit TAggregateField(TComponent* AOwner);
  const String& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const String& Value) { FDisplayFormat = Value; }
  bool currency() const { return FCurrency; }
  void SetCurrency(bool Value) { FCurrency = Value; }
  Integer Precision() const { return FPrecision; }
  void SetPrecision(Integer Value) { FPrecision = Value; }

private:
  String FDisplayFormat;
  bool FCurrency = false;
  Integer FPrecision = 15;
};

// The field class the platform uses for a data type (TWideStringField for
// ftWideString ...); nullptr for types without one.
TComponentClass DefaultFieldClass(TFieldType DataType);
// "String", "Integer", "Memo" ...
String FieldTypeName(TFieldType DataType);

// ---- Field lists and definitions --------------------------------------------------------

// The fields of a dataset in order; it does not own them.
class TFields : public TObject {
  KORVANE_CLASS(TFields, TObject)
  explicit TFields(TDataSet* ADataSet) : FDataSet(ADataSet) {}
  TFields() = default;
  Integer Count() const { return Integer(FList.size()); }
  // Raises EDatabaseError "Field index out of range".
  TField* Fields(Integer Index) const;
  TField* operator[](Integer Index) const { return Fields(Index); }
  TField* FindField(const String& FieldName) const;  // case-insensitive
  TField* FieldByName(const String& FieldName) const;
  TField* FieldByNumber(Integer FieldNo) const;
  Integer IndexOf(const TField* Field) const;
  TDataSet* DataSet() const { return FDataSet; }
  void Add(TField* Field);
  void Remove(TField* Field);
  void Clear() { FList.clear(); }
  void SetFieldIndex(TField* Field, Integer Value);
  std::vector<TField*>::const_iterator begin() const { return FList.begin(); }
  std::vector<TField*>::const_iterator end() const { return FList.end(); }

private:
  TDataSet* FDataSet = nullptr;
  std::vector<TField*> FList;
};

struct TFieldDef {
  String Name;
  TFieldType DataType = ftUnknown;
  Integer Size = 0;
  Integer Precision = 0;
  bool Required = false;
  bool ReadOnly = false;
  Integer FieldNo = 0;  // 1-based
  String Origin;        // "table.column" or empty
};

class TFieldDefs : public TObject {
  KORVANE_CLASS(TFieldDefs, TObject)
  Integer Count() const { return Integer(FItems.size()); }
  const TFieldDef& Items(Integer Index) const { return FItems.at(Index); }
  TFieldDef& Items(Integer Index) { return FItems.at(Index); }
  const TFieldDef& operator[](Integer Index) const { return Items(Index); }
  // -1 when absent (case-insensitive).
  Integer IndexOf(const String& Name) const;
  const TFieldDef* Find(const String& Name) const;
  TFieldDef& Add(const String& Name, TFieldType DataType, Integer Size = 0, bool Required = false);
  void Clear() { FItems.clear(); }
  std::vector<TFieldDef>::const_iterator begin() const { return FItems.begin(); }
  std::vector<TFieldDef>::const_iterator end() const { return FItems.end(); }

private:
  std::vector<TFieldDef> FItems;
};
