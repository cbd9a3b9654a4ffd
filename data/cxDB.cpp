#include "data/cxDB.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

// ---- Field values -------------------------------------------------------------------------

Variant GetFieldValues(TDataSet*, const std::vector<TField*>& AFields) {
  if (AFields.empty()) return Null();
  if (AFields.size() == 1) return GetFieldVariant(AFields[0]);
  std::vector<Variant> Values;
  Values.reserve(AFields.size());
  for (TField* F : AFields) Values.push_back(GetFieldVariant(F));
  return VarArrayOf(Values);
}

void SetFieldValues(TDataSet*, const std::vector<TField*>& AFields, const Variant& AValue) {
  if (AFields.empty()) return;
  if (AFields.size() == 1) {
    WriteFieldVariant(AFields[0], AValue);
    return;
  }
  const Integer Low = VarArrayLowBound(AValue);
  for (size_t I = 0; I < AFields.size(); ++I) WriteFieldVariant(AFields[I], VarArrayGet(AValue, {Low + Integer(I)}));
}

Variant GetFieldVariant(TField* AField) {
  if (!AField) return Null();
  if (AField->FieldKind() == fkAggregate) return AField->Value();
  if (AField->IsNull()) return Null();
  return AField->Value();
}

void WriteFieldVariant(TField* AField, const Variant& AValue) {
  if (dynamic_cast<TDateTimeField*>(AField) && VarType(AValue) == varDouble)
    AField->SetAsDateTime(TDateTime(AValue.AsDouble()));
  else
    AField->SetValue(AValue);
}

// ---- Field names --------------------------------------------------------------------------

void SplitFieldNames(const String& AFieldNames, std::vector<String>& ANames) {
  ANames.clear();
  Integer Pos = 1;
  while (Pos <= Integer(AFieldNames.size())) {
    String Name = ExtractFieldName(AFieldNames, Pos);
    if (!Name.empty()) ANames.push_back(Name);
  }
}

Integer GetFieldNameCount(const String& AFieldNames) {
  std::vector<String> Names;
  SplitFieldNames(AFieldNames, Names);
  return Integer(Names.size());
}

bool HasSeveralFieldNames(const String& AFieldNames) { return GetFieldNameCount(AFieldNames) > 1; }

namespace {
bool IsIdentifier(const String& AName) {
  if (AName.empty() || (AName[0] >= u'0' && AName[0] <= u'9')) return false;
  for (Char C : AName)
    if (!((C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || (C >= u'0' && C <= u'9') || C == u'_'))
      return false;
  return true;
}
}  // namespace

void QuoteFieldName(String& AFieldName) {
  if (IsIdentifier(AFieldName)) return;
  // A "]" inside the name is doubled so that the bracket cannot end early.
  String Quoted = u"[";
  for (Char C : AFieldName) {
    Quoted += C;
    if (C == u']') Quoted += C;
  }
  AFieldName = Quoted + u"]";
}

String GetFilterFieldName(TField* AField, bool AIgnoreOrigin) {
  if (!AField) return String();
  if (!AIgnoreOrigin && !AField->Origin().empty()) return AField->Origin();
  String Name = AField->FieldName();
  QuoteFieldName(Name);
  return Name;
}

bool SameFieldName(const String& A, const String& B) { return AnsiUpperCase(A) == AnsiUpperCase(B); }

// ---- Field tests --------------------------------------------------------------------------

bool LookupKeyFieldsModifiable(TField* AField) {
  if (!AField || !AField->DataSet()) return false;
  std::vector<String> Names;
  SplitFieldNames(AField->KeyFields(), Names);
  bool Any = false;
  for (const String& Name : Names) {
    TField* Key = AField->DataSet()->FindField(Name);
    if (!Key) continue;
    Any = true;
    if (!Key->CanModify()) return false;
  }
  return Any;
}

bool IsRawFieldType(TFieldType AType) {
  switch (AType) {
    case ftBytes: case ftVarBytes: case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo:
    case ftParadoxOle: case ftDBaseOle: case ftTypedBinary: case ftCursor: case ftADT: case ftArray:
    case ftReference: case ftDataSet: case ftOraBlob: case ftOraClob: case ftWideMemo:
      return true;
    default:
      return false;
  }
}

bool FieldCanBeEdited(TField* AField, bool AAnyType) {
  if (!AField || !AField->CanModify()) return false;
  if (AAnyType) return true;
  return !IsRawFieldType(AField->DataType()) || bool(AField->OnSetText);
}

bool FieldHasTextFormatting(TField* AField, bool ARawTypesResult) {
  if (!AField) return false;
  if (AField->OnGetText || !AField->EditMask().empty()) return true;
  if (IsRawFieldType(AField->DataType()) || AField->DataType() == ftBoolean) return ARawTypesResult;
  if (auto* Agg = dynamic_cast<TAggregateField*>(AField)) return !Agg->DisplayFormat().empty() || Agg->currency();
  if (auto* Num = dynamic_cast<TNumericField*>(AField)) {
    if (!Num->DisplayFormat().empty() || !Num->EditFormat().empty()) return true;
    if (auto* F = dynamic_cast<TFloatField*>(AField)) return F->currency();
    if (auto* B = dynamic_cast<TBCDField*>(AField)) return B->currency();
    if (auto* M = dynamic_cast<TFMTBCDField*>(AField)) return M->currency();
    return false;
  }
  if (auto* D = dynamic_cast<TDateTimeField*>(AField)) return !D->DisplayFormat().empty();
  return false;
}

// ---- Adapter registry ---------------------------------------------------------------------

TcxDBAdapterList::~TcxDBAdapterList() { Clear(); }

void TcxDBAdapterList::Clear() {
  while (!FItems.empty()) {
    TcxDBAdapterItem* Item = FItems.back();
    FItems.pop_back();
    delete Item;
  }
}

TcxDBAdapterItem* TcxDBAdapterList::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(AIndex) + u")");
  return FItems[size_t(AIndex)];
}

bool TcxDBAdapterList::Find(TClass ADataSetClass, Integer& AIndex) const {
  AIndex = -1;
  if (!ADataSetClass) return false;
  for (Integer I = Count() - 1; I >= 0; --I) {
    TClass ItemClass = FItems[size_t(I)]->DataSetClass();
    if (ADataSetClass->InheritsFrom(ItemClass)) {
      AIndex = I;
      return true;
    }
    if (ItemClass && ItemClass->InheritsFrom(ADataSetClass)) AIndex = I;
  }
  return false;
}

TcxDBAdapterItem* TcxDBAdapterList::Register(TClass ADataSetClass, TcxDBAdapterItemClass AAdapterClass) {
  if (!AAdapterClass || !AAdapterClass->InheritsFrom(TcxDBAdapterItem::StaticClass()))
    throw EInvalidOperation(u"Not an adapter class");
  auto* Item = static_cast<TcxDBAdapterItem*>(AAdapterClass->Create());
  Item->SetDataSetClass(ADataSetClass);
  Integer Index;
  if (Find(ADataSetClass, Index))
    FItems.insert(FItems.begin() + Index + 1, Item);
  else if (Index >= 0)
    FItems.insert(FItems.begin() + Index, Item);
  else
    FItems.push_back(Item);
  return Item;
}

void TcxDBAdapterList::Unregister(TClass ADataSetClass, TcxDBAdapterItemClass AAdapterClass) {
  for (Integer I = Count() - 1; I >= 0; --I) {
    TcxDBAdapterItem* Item = FItems[size_t(I)];
    if (Item->DataSetClass() == ADataSetClass && Item->ClassType() == AAdapterClass) {
      FItems.erase(FItems.begin() + I);
      delete Item;
    }
  }
}
