#pragma once
// Parameters of a query: named values bound into its statement. A query
// keeps one TParams (its Parameters), refreshed from the ":name" marks of
// its SQL text; values of names that stay are kept.
#include <memory>
#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/rtl/variant.h"

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

class TParams;

class TParam : public TObject {
  KORVANE_CLASS(TParam, TObject)
  TParam() = default;
  explicit TParam(TParams* AParams) : FParams(AParams) {}

  const String& Name() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  TFieldType DataType() const { return FDataType; }
  void SetDataType(TFieldType Value) { FDataType = Value; }
  TParamType ParamType() const { return FParamType; }
  void SetParamType(TParamType Value) { FParamType = Value; }
  Integer Size() const { return FSize; }
  void SetSize(Integer Value) { FSize = Value; }
  // Whether Null may be bound (kept for callers; Null is always bound).
  bool Nullable() const { return FNullable; }
  void SetNullable(bool Value) { FNullable = Value; }

  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& V);
  bool IsNull() const { return VarIsNull(FValue) || VarIsEmpty(FValue); }
  void Clear() { FValue = Null(); }
  String AsString() const { return IsNull() ? String() : VarToStr(FValue); }
  void SetAsString(const String& V) { SetValue(Variant(V)); }
  Integer AsInteger() const { return IsNull() ? 0 : FValue.AsInteger(); }
  void SetAsInteger(Integer V) { SetValue(Variant(V)); }
  double AsFloat() const { return IsNull() ? 0 : FValue.AsDouble(); }
  void SetAsFloat(double V) { SetValue(Variant(V)); }
  bool AsBoolean() const { return !IsNull() && FValue.AsBoolean(); }
  void SetAsBoolean(bool V) { SetValue(Variant(V)); }
  TDateTime AsDateTime() const { return IsNull() ? 0 : FValue.AsDateTime(); }
  void SetAsDateTime(TDateTime V) { SetValue(VarFromDateTime(V)); }
  // Takes the value and data type of a field.
  void AssignField(TField* Field);

private:
  TParams* FParams = nullptr;
  String FName;
  TFieldType FDataType = ftUnknown;
  TParamType FParamType = ptInput;
  Integer FSize = 0;
  bool FNullable = true;
  Variant FValue = Null();
};

using TParameter = TParam;

class TParams : public TObject {
  KORVANE_CLASS(TParams, TObject)
  TParams() = default;
  ~TParams() override;

  Integer Count() const { return Integer(FItems.size()); }
  // Raises EListError outside 0..Count-1.
  TParam* Items(Integer Index) const;
  TParam* operator[](Integer Index) const { return Items(Index); }
  TParam* FindParam(const String& Name) const;  // case-insensitive
  // Raises EDatabaseError "Parameter 'x' not found".
  TParam* ParamByName(const String& Name) const;
  TParam* CreateParam(TFieldType DataType, const String& Name, TParamType ParamType = ptInput);
  TParam* AddParameter() { return CreateParam(ftUnknown, String()); }
  void Clear();
  void Delete(Integer Index);
  // One value, or a variant array for several ";"-separated names.
  Variant ParamValues(const String& Names) const;
  void SetParamValues(const String& Names, const Variant& Value);
  // Makes the list hold the ":name" marks of the SQL text, in order and
  // once per name; values of names already present are kept. Answers the
  // names found.
  std::vector<String> ParseSQL(const String& SQL, bool DoCreate);

private:
  std::vector<std::unique_ptr<TParam>> FItems;
};

using TParameters = TParams;

// The ":name" marks of an SQL text (quotes and comments skipped), in order,
// each name once.
std::vector<String> ExtractParamNames(const String& SQL);
