#pragma once
// What every dataset-bound part of the data layer shares: the values of one
// or several fields as one variant, lists of field names separated by ";",
// the field name written into a dataset filter text, tests on what a field
// can do, and a registry of adapter objects per dataset class.
#include <vector>

#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

// ---- Field values -------------------------------------------------------------------------

// Null for no field, the value of one, a variant array (0 .. count - 1) for several.
Variant GetFieldValues(TDataSet* ADataSet, const std::vector<TField*>& AFields);
// One field takes AValue; with several, field i takes element i of the array.
void SetFieldValues(TDataSet* ADataSet, const std::vector<TField*>& AFields, const Variant& AValue);
// Null when the field is null; otherwise its variant value (a text as a wide string).
Variant GetFieldVariant(TField* AField);
// A date-time field given a double takes it as a date-time; everything
// else goes through the field's variant setter.
void WriteFieldVariant(TField* AField, const Variant& AValue);

// ---- Field names --------------------------------------------------------------------------

bool HasSeveralFieldNames(const String& AFieldNames);
Integer GetFieldNameCount(const String& AFieldNames);
// Every name of a ";" list, trimmed.
void SplitFieldNames(const String& AFieldNames, std::vector<String>& ANames);
// Wraps the name in "[" "]" (a "]" inside doubled) when it is not a plain identifier.
void QuoteFieldName(String& AFieldName);
// The name of a field in a filter text: its Origin unless AIgnoreOrigin,
// else its quoted FieldName; "" for no field.
String GetFilterFieldName(TField* AField, bool AIgnoreOrigin);
// Equal after locale upper-casing.
bool SameFieldName(const String& A, const String& B);

// ---- Field tests --------------------------------------------------------------------------

// The lookup field's KeyFields name at least one field of its dataset and
// every one of them can be modified.
bool LookupKeyFieldsModifiable(TField* AField);
bool FieldCanBeEdited(TField* AField, bool AAnyType);
// Whether the display text of the field differs from its plain value text.
bool FieldHasTextFormatting(TField* AField, bool ARawTypesResult);
// The binary and blob-like data types.
bool IsRawFieldType(TFieldType AType);

// ---- Adapter registry ---------------------------------------------------------------------

// One registration: the dataset class an adapter serves.
class TcxDBAdapterItem : public TObject {
  KORVANE_CLASS(TcxDBAdapterItem, TObject)
  TcxDBAdapterItem() = default;
  TClass DataSetClass() const { return FDataSetClass; }
  void SetDataSetClass(TClass AValue) { FDataSetClass = AValue; }

private:
  TClass FDataSetClass = nullptr;
};
using TcxDBAdapterItemClass = TClass;

// Owns its items, kept so that a class comes after every class it derives from.
class TcxDBAdapterList : public TObject {
  KORVANE_CLASS(TcxDBAdapterList, TObject)
  TcxDBAdapterList() = default;
  ~TcxDBAdapterList() override;

  // The last item whose class ADataSetClass inherits from; when none, the
  // index of the most general item that inherits from ADataSetClass.
  bool Find(TClass ADataSetClass, Integer& AIndex) const;
  // AAdapterClass must describe a TcxDBAdapterItem with a default constructor.
  TcxDBAdapterItem* Register(TClass ADataSetClass, TcxDBAdapterItemClass AAdapterClass);
  void Unregister(TClass ADataSetClass, TcxDBAdapterItemClass AAdapterClass);
  void Clear();
  Integer Count() const { return Integer(FItems.size()); }
  // Raises EListError outside the list.
  TcxDBAdapterItem* Items(Integer AIndex) const;

private:
  std::vector<TcxDBAdapterItem*> FItems;
};
