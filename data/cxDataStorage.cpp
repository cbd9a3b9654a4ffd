#include "data/cxDataStorage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

#include "data/cxVariants.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"

namespace {

template <class T>
T LoadValue(const void* AArea) {
  T Value;
  std::memcpy(&Value, AArea, sizeof(T));
  return Value;
}

template <class T>
void StoreValue(void* AArea, const T& AValue) {
  std::memcpy(AArea, &AValue, sizeof(T));
}

template <class T>
T* LoadPointer(const void* AArea) {
  return LoadValue<T*>(AArea);
}

template <class T>
Integer Order(const T& A, const T& B) {
  return A < B ? -1 : (B < A ? 1 : 0);
}

// Nil holders first, two nil holders equal.
template <class T>
bool CompareHolders(const void* P, const void* Q, Integer& AResult) {
  if (P && Q) return false;
  AResult = P ? 1 : (Q ? -1 : 0);
  return true;
}

constexpr Integer PointerSize = Integer(sizeof(void*));

}  // namespace

// ---- TcxStoredWideText ---------------------------------------------------------------------

namespace {

// A block's length is kept in four bytes of the area.
constexpr size_t MaxBlockLength = std::numeric_limits<Cardinal>::max();

}  // namespace

std::u16string_view TcxStoredWideText::View() const {
  if (FMark != BlockMark) return std::u16string_view(FUnits, FMark);
  const Char* Chars;
  Cardinal Length;
  std::memcpy(&Chars, FUnits, sizeof Chars);
  std::memcpy(&Length, FUnits + 4, sizeof Length);
  return std::u16string_view(Chars, Length);
}

void TcxStoredWideText::Assign(std::u16string_view AText) {
  if (AText.size() <= InlineLength) {
    std::copy(AText.begin(), AText.end(), FUnits);
    std::fill(FUnits + AText.size(), FUnits + InlineLength, Char(0));
    FMark = Word(AText.size());
    return;
  }
  if (AText.size() > MaxBlockLength) throw std::length_error("wide text too long for the storage");
  Char* Chars = new Char[AText.size()];
  std::copy(AText.begin(), AText.end(), Chars);
  const Cardinal Length = Cardinal(AText.size());
  std::fill(FUnits, FUnits + InlineLength, Char(0));
  std::memcpy(FUnits, &Chars, sizeof Chars);
  std::memcpy(FUnits + 4, &Length, sizeof Length);
  FMark = BlockMark;
}

void TcxStoredWideText::Release() {
  if (FMark == BlockMark) {
    Char* Chars;
    std::memcpy(&Chars, FUnits, sizeof Chars);
    delete[] Chars;
  }
  *this = TcxStoredWideText();
}

// ---- TcxValueTypeMetaClass --------------------------------------------------------------

Integer TcxValueTypeMetaClass::CompareDataAreas(const void* A, const void* B) const {
  return Operations().CompareDataAreas(A, B);
}
void TcxValueTypeMetaClass::ReleaseData(void* AArea) const { Operations().ReleaseData(AArea); }
void TcxValueTypeMetaClass::ReleaseTextHolder(void* AArea) const { Operations().ReleaseTextHolder(AArea); }
Integer TcxValueTypeMetaClass::DataAreaSize() const { return Operations().DataAreaSize(); }
Variant TcxValueTypeMetaClass::DataToVariant(const void* AArea) const { return Operations().DataToVariant(AArea); }
String TcxValueTypeMetaClass::DataToText(const void* AArea) const { return Operations().DataToText(AArea); }
String TcxValueTypeMetaClass::HolderToText(const void* AArea) const { return Operations().HolderToText(AArea); }
void TcxValueTypeMetaClass::LoadData(void* AArea, TStream* AStream) const { Operations().LoadData(AArea, AStream); }
void TcxValueTypeMetaClass::LoadText(void* AArea, TStream* AStream) const { Operations().LoadText(AArea, AStream); }
void TcxValueTypeMetaClass::VariantToData(void* AArea, const Variant& AValue) const {
  Operations().VariantToData(AArea, AValue);
}
void TcxValueTypeMetaClass::TextToHolder(void* AArea, const String& AText) const {
  Operations().TextToHolder(AArea, AText);
}
void TcxValueTypeMetaClass::SaveData(const void* AArea, TStream* AStream) const {
  Operations().SaveData(AArea, AStream);
}
void TcxValueTypeMetaClass::SaveText(const void* AArea, TStream* AStream) const {
  Operations().SaveText(AArea, AStream);
}
String TcxValueTypeMetaClass::TypeCaption() const { return Operations().TypeCaption(); }
Integer TcxValueTypeMetaClass::CompareValuePointers(const void* P, const void* Q) const {
  return Operations().CompareValuePointers(P, Q);
}
Variant TcxValueTypeMetaClass::ValuePointerToVariant(const void* P) const {
  return Operations().ValuePointerToVariant(P);
}
TVarType TcxValueTypeMetaClass::VariantType() const { return Operations().VariantType(); }
bool TcxValueTypeMetaClass::AcceptsVariant(Variant& AValue) const { return Operations().AcceptsVariant(AValue); }
bool TcxValueTypeMetaClass::IsTextType() const { return Operations().IsTextType(); }
const void* TcxValueTypeMetaClass::AreaToValuePointer(const void* AArea) const {
  return Operations().AreaToValuePointer(AArea);
}

// ---- TcxValueType ---------------------------------------------------------------------------

Integer TcxValueType::CompareDataAreas(const void* A, const void* B) const {
  return CompareValuePointers(AreaToValuePointer(A), AreaToValuePointer(B));
}

void TcxValueType::ReleaseData(void*) const {}

void TcxValueType::ReleaseTextHolder(void* AArea) const {
  delete LoadPointer<String>(AArea);
  StoreValue<String*>(AArea, nullptr);
}

Integer TcxValueType::DataAreaSize() const { return 0; }

Variant TcxValueType::DataToVariant(const void*) const { return Null(); }

String TcxValueType::DataToText(const void* AArea) const {
  try {
    return VarToStr(DataToVariant(AArea));
  } catch (const EVariantError&) {
    return String();
  }
}

String TcxValueType::HolderToText(const void* AArea) const {
  const String* Holder = LoadPointer<String>(AArea);
  return Holder ? *Holder : String();
}

void TcxValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, ReadTaggedVariant(AStream));
}

void TcxValueType::LoadText(void* AArea, TStream* AStream) const {
  TextToHolder(AArea, ReadStreamUTF8String(AStream));
}

void TcxValueType::VariantToData(void*, const Variant&) const {}

void TcxValueType::TextToHolder(void* AArea, const String& AText) const {
  String* Holder = LoadPointer<String>(AArea);
  if (Holder) {
    *Holder = AText;
    return;
  }
  StoreValue(AArea, new String(AText));
}

void TcxValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteTaggedVariant(AStream, DataToVariant(AArea));
}

void TcxValueType::SaveText(const void* AArea, TStream* AStream) const {
  WriteStreamUTF8String(AStream, HolderToText(AArea));
}

String TcxValueType::TypeCaption() const {
  String Result = ClassName();
  if (Result.compare(0, 3, u"Tcx") == 0) Result.erase(0, 3);
  const size_t At = Result.find(u"ValueType");
  if (At != String::npos) Result.erase(At, 9);
  return Result;
}

Integer TcxValueType::CompareValuePointers(const void* P, const void* Q) const {
  return CompareVariantValues(ValuePointerToVariant(P), ValuePointerToVariant(Q));
}

Variant TcxValueType::ValuePointerToVariant(const void* P) const { return DataToVariant(P); }

TVarType TcxValueType::VariantType() const { return varVariant; }

bool TcxValueType::AcceptsVariant(Variant& AValue) const {
  const TVarType Type = VariantType();
  if (VarIsNull(AValue) || Type == varVariant) return true;
  try {
    if (Type == VarFMTBcd())
      AValue = VarFMTBcdCreate(VarToBcd(AValue));
    else if (Type == VarSQLTimeStamp())
      AValue = VarSQLTimeStampCreate(VarToSQLTimeStamp(AValue));
    else
      AValue = VarAsType(AValue, Type);
    return true;
  } catch (const EVariantError&) {
    return false;
  }
}

bool TcxValueType::IsTextType() const { return false; }

const void* TcxValueType::AreaToValuePointer(const void* AArea) const { return AArea; }

// ---- Fixed-size types -----------------------------------------------------------------------
// Each fixed-size type holds a plain value of type T in its area.

#define KORVANE_FIXED_TYPE_COMMON(Name, T)                                                     \
  void Name::ReleaseData(void*) const {}                                                      \
  Integer Name::DataAreaSize() const { return Integer(sizeof(T)); }                           \
  Variant Name::ValuePointerToVariant(const void* P) const { return DataToVariant(P); }       \
  bool Name::IsTextType() const { return false; }                                             \
  const void* Name::AreaToValuePointer(const void* AArea) const { return AArea; }             \
  Integer Name::CompareValuePointers(const void* P, const void* Q) const {                    \
    return Order(LoadValue<T>(P), LoadValue<T>(Q));                                           \
  }

KORVANE_FIXED_TYPE_COMMON(TcxSmallintValueType, SmallInt)
Variant TcxSmallintValueType::DataToVariant(const void* AArea) const { return Variant(LoadValue<SmallInt>(AArea)); }
String TcxSmallintValueType::DataToText(const void* AArea) const { return TcxValueType::DataToText(AArea); }
void TcxSmallintValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, Variant(ReadStreamSmallInt(AStream)));
}
void TcxSmallintValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, SmallInt(AValue.AsInteger()));
}
void TcxSmallintValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamSmallInt(AStream, LoadValue<SmallInt>(AArea));
}
TVarType TcxSmallintValueType::VariantType() const { return varSmallint; }

KORVANE_FIXED_TYPE_COMMON(TcxIntegerValueType, Integer)
Variant TcxIntegerValueType::DataToVariant(const void* AArea) const { return Variant(LoadValue<Integer>(AArea)); }
String TcxIntegerValueType::DataToText(const void* AArea) const { return TcxValueType::DataToText(AArea); }
void TcxIntegerValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, Variant(ReadStreamInt32(AStream)));
}
void TcxIntegerValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, AValue.AsInteger());
}
void TcxIntegerValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamInt32(AStream, LoadValue<Integer>(AArea));
}
TVarType TcxIntegerValueType::VariantType() const { return varInteger; }

KORVANE_FIXED_TYPE_COMMON(TcxWordValueType, Word)
Variant TcxWordValueType::DataToVariant(const void* AArea) const { return Variant(LoadValue<Word>(AArea)); }
String TcxWordValueType::DataToText(const void* AArea) const { return TcxValueType::DataToText(AArea); }
void TcxWordValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, Variant(ReadStreamWord(AStream)));
}
void TcxWordValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, Word(AValue.AsInteger()));
}
void TcxWordValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamWord(AStream, LoadValue<Word>(AArea));
}
TVarType TcxWordValueType::VariantType() const { return varWord; }

KORVANE_FIXED_TYPE_COMMON(TcxBooleanValueType, Byte)
Variant TcxBooleanValueType::DataToVariant(const void* AArea) const { return Variant(LoadValue<Byte>(AArea) != 0); }
String TcxBooleanValueType::DataToText(const void* AArea) const {
  return LoadValue<Byte>(AArea) != 0 ? String(u"True") : String(u"False");
}
void TcxBooleanValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, Variant(ReadStreamBoolean(AStream)));
}
void TcxBooleanValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue<Byte>(AArea, AValue.AsBoolean() ? 1 : 0);
}
void TcxBooleanValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamBoolean(AStream, LoadValue<Byte>(AArea) != 0);
}
TVarType TcxBooleanValueType::VariantType() const { return varBoolean; }

KORVANE_FIXED_TYPE_COMMON(TcxFloatValueType, double)
Variant TcxFloatValueType::DataToVariant(const void* AArea) const { return Variant(LoadValue<double>(AArea)); }
String TcxFloatValueType::DataToText(const void* AArea) const { return TcxValueType::DataToText(AArea); }
void TcxFloatValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, Variant(ReadStreamExtended(AStream)));
}
void TcxFloatValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, AValue.AsDouble());
}
void TcxFloatValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamExtended(AStream, LoadValue<double>(AArea));
}
TVarType TcxFloatValueType::VariantType() const { return varDouble; }

KORVANE_FIXED_TYPE_COMMON(TcxCurrencyValueType, Int64)
Variant TcxCurrencyValueType::DataToVariant(const void* AArea) const {
  return Variant(Currency::FromRaw(LoadValue<Int64>(AArea)));
}
String TcxCurrencyValueType::DataToText(const void* AArea) const { return TcxValueType::DataToText(AArea); }
void TcxCurrencyValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, Variant(ReadStreamCurrency(AStream)));
}
void TcxCurrencyValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, AValue.AsCurrency().Raw());
}
void TcxCurrencyValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamInt64(AStream, LoadValue<Int64>(AArea));
}
TVarType TcxCurrencyValueType::VariantType() const { return varCurrency; }

KORVANE_FIXED_TYPE_COMMON(TcxDateTimeValueType, double)
Variant TcxDateTimeValueType::DataToVariant(const void* AArea) const {
  return VarFromDateTime(LoadValue<double>(AArea));
}
String TcxDateTimeValueType::DataToText(const void* AArea) const {
  const double Value = LoadValue<double>(AArea);
  try {
    return VarToStr(VarFromDateTime(Value));
  } catch (const EVariantError&) {
    return DateTimeToStr(Value);
  }
}
void TcxDateTimeValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, VarFromDateTime(ReadStreamDateTime(AStream)));
}
void TcxDateTimeValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, AValue.AsDateTime());
}
void TcxDateTimeValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamDateTime(AStream, LoadValue<double>(AArea));
}
TVarType TcxDateTimeValueType::VariantType() const { return varDate; }

KORVANE_FIXED_TYPE_COMMON(TcxLargeIntValueType, Int64)
Variant TcxLargeIntValueType::DataToVariant(const void* AArea) const { return Variant(LoadValue<Int64>(AArea)); }
String TcxLargeIntValueType::DataToText(const void* AArea) const { return TcxValueType::DataToText(AArea); }
void TcxLargeIntValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, Variant(ReadStreamInt64(AStream)));
}
void TcxLargeIntValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, AValue.AsInt64());
}
void TcxLargeIntValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamInt64(AStream, LoadValue<Int64>(AArea));
}
TVarType TcxLargeIntValueType::VariantType() const { return varInt64; }

void TcxFMTBcdValueType::ReleaseData(void*) const {}
Integer TcxFMTBcdValueType::DataAreaSize() const { return Integer(sizeof(TBcd)); }
Variant TcxFMTBcdValueType::ValuePointerToVariant(const void* P) const { return DataToVariant(P); }
bool TcxFMTBcdValueType::IsTextType() const { return false; }
const void* TcxFMTBcdValueType::AreaToValuePointer(const void* AArea) const { return AArea; }
Integer TcxFMTBcdValueType::CompareValuePointers(const void* P, const void* Q) const {
  return BcdCompare(LoadValue<TBcd>(P), LoadValue<TBcd>(Q));
}
Variant TcxFMTBcdValueType::DataToVariant(const void* AArea) const {
  return Variant(BcdToDouble(LoadValue<TBcd>(AArea)));
}
String TcxFMTBcdValueType::DataToText(const void* AArea) const {
  return BcdToStrF(LoadValue<TBcd>(AArea), ffGeneral, 0, 0);
}
void TcxFMTBcdValueType::LoadData(void* AArea, TStream* AStream) const { TcxValueType::LoadData(AArea, AStream); }
void TcxFMTBcdValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, VarToBcd(AValue));
}
void TcxFMTBcdValueType::SaveData(const void* AArea, TStream* AStream) const {
  TcxValueType::SaveData(AArea, AStream);
}
TVarType TcxFMTBcdValueType::VariantType() const { return VarFMTBcd(); }

void TcxSQLTimeStampValueType::ReleaseData(void*) const {}
Integer TcxSQLTimeStampValueType::DataAreaSize() const { return Integer(sizeof(TSQLTimeStamp)); }
Variant TcxSQLTimeStampValueType::ValuePointerToVariant(const void* P) const { return DataToVariant(P); }
bool TcxSQLTimeStampValueType::IsTextType() const { return false; }
const void* TcxSQLTimeStampValueType::AreaToValuePointer(const void* AArea) const { return AArea; }
Integer TcxSQLTimeStampValueType::CompareValuePointers(const void* P, const void* Q) const {
  return SQLTimeStampCompare(LoadValue<TSQLTimeStamp>(P), LoadValue<TSQLTimeStamp>(Q));
}
Variant TcxSQLTimeStampValueType::DataToVariant(const void* AArea) const {
  return VarFromDateTime(SQLTimeStampToDateTime(LoadValue<TSQLTimeStamp>(AArea)));
}
String TcxSQLTimeStampValueType::DataToText(const void* AArea) const {
  try {
    return TcxValueType::DataToText(AArea);
  } catch (const ESQLTimeStampException&) {
    return String();
  }
}
void TcxSQLTimeStampValueType::LoadData(void* AArea, TStream* AStream) const {
  TcxValueType::LoadData(AArea, AStream);
}
void TcxSQLTimeStampValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, VarToSQLTimeStamp(AValue));
}
void TcxSQLTimeStampValueType::SaveData(const void* AArea, TStream* AStream) const {
  TcxValueType::SaveData(AArea, AStream);
}
TVarType TcxSQLTimeStampValueType::VariantType() const { return VarSQLTimeStamp(); }

// An object reference as a pointer-sized integer.
void TcxObjectValueType::ReleaseData(void* AArea) const {
  TObject* Object = LoadPointer<TObject>(AArea);
  StoreValue<TObject*>(AArea, nullptr);
  if (Object) Object->Free();
}
Integer TcxObjectValueType::DataAreaSize() const { return PointerSize; }
Variant TcxObjectValueType::ValuePointerToVariant(const void* P) const { return DataToVariant(P); }
bool TcxObjectValueType::IsTextType() const { return false; }
const void* TcxObjectValueType::AreaToValuePointer(const void* AArea) const { return AArea; }
Integer TcxObjectValueType::CompareValuePointers(const void* P, const void* Q) const {
  return Order(LoadValue<std::uintptr_t>(P), LoadValue<std::uintptr_t>(Q));
}
Variant TcxObjectValueType::DataToVariant(const void* AArea) const {
  return Variant(Int64(LoadValue<std::intptr_t>(AArea)));
}
String TcxObjectValueType::DataToText(const void* AArea) const { return TcxValueType::DataToText(AArea); }
void TcxObjectValueType::LoadData(void*, TStream*) const {}
void TcxObjectValueType::VariantToData(void* AArea, const Variant& AValue) const {
  StoreValue(AArea, std::intptr_t(AValue.AsInt64()));
}
void TcxObjectValueType::SaveData(const void*, TStream*) const {}
TVarType TcxObjectValueType::VariantType() const { return varInt64; }

#undef KORVANE_FIXED_TYPE_COMMON

// ---- Pointer-held types ---------------------------------------------------------------------

void TcxStringValueType::ReleaseData(void* AArea) const {
  delete LoadPointer<RawByteString>(AArea);
  StoreValue<RawByteString*>(AArea, nullptr);
}
Integer TcxStringValueType::DataAreaSize() const { return PointerSize; }
Variant TcxStringValueType::DataToVariant(const void* AArea) const {
  return ValuePointerToVariant(AreaToValuePointer(AArea));
}
String TcxStringValueType::DataToText(const void* AArea) const {
  const RawByteString* Holder = LoadPointer<RawByteString>(AArea);
  return Holder ? UTF8ToString(*Holder) : String();
}
void TcxStringValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, VarFromRawByteString(ReadStreamAnsiString(AStream)));
}
void TcxStringValueType::VariantToData(void* AArea, const Variant& AValue) const {
  RawByteString Bytes = AValue.AsRawByteString();
  if (RawByteString* Holder = LoadPointer<RawByteString>(AArea))
    *Holder = std::move(Bytes);
  else
    StoreValue(AArea, new RawByteString(std::move(Bytes)));
}
void TcxStringValueType::SaveData(const void* AArea, TStream* AStream) const {
  const RawByteString* Holder = LoadPointer<RawByteString>(AArea);
  WriteStreamAnsiString(AStream, Holder ? *Holder : RawByteString());
}
Integer TcxStringValueType::CompareValuePointers(const void* P, const void* Q) const {
  Integer Result;
  if (CompareHolders<RawByteString>(P, Q, Result)) return Result;
  const Integer R = static_cast<const RawByteString*>(P)->compare(*static_cast<const RawByteString*>(Q));
  return R < 0 ? -1 : (R > 0 ? 1 : 0);
}
Variant TcxStringValueType::ValuePointerToVariant(const void* P) const {
  return P ? VarFromRawByteString(*static_cast<const RawByteString*>(P)) : Null();
}
TVarType TcxStringValueType::VariantType() const { return varString; }
bool TcxStringValueType::IsTextType() const { return true; }
const void* TcxStringValueType::AreaToValuePointer(const void* AArea) const {
  return LoadPointer<RawByteString>(AArea);
}

// A wide text lies in its area (see TcxStoredWideText); reading one copies
// the area first, as areas may be unaligned.
void TcxWideStringValueType::ReleaseData(void* AArea) const {
  TcxStoredWideText Text = TcxStoredWideText::Load(AArea);
  Text.Release();
  std::memcpy(AArea, &Text, sizeof Text);
}
Integer TcxWideStringValueType::DataAreaSize() const { return Integer(sizeof(TcxStoredWideText)); }
Variant TcxWideStringValueType::DataToVariant(const void* AArea) const {
  return ValuePointerToVariant(AreaToValuePointer(AArea));
}
String TcxWideStringValueType::DataToText(const void* AArea) const {
  return String(TcxStoredWideText::Load(AArea).View());
}
void TcxWideStringValueType::LoadData(void* AArea, TStream* AStream) const {
  VariantToData(AArea, Variant(ReadStreamWideString(AStream)));
}
// The new text is made before the old one goes: a failure leaves the area.
void TcxWideStringValueType::VariantToData(void* AArea, const Variant& AValue) const {
  const String Text = AValue.AsString();
  TcxStoredWideText Made;
  Made.Assign(Text);
  TcxStoredWideText Old = TcxStoredWideText::Load(AArea);
  Old.Release();
  std::memcpy(AArea, &Made, sizeof Made);
}
void TcxWideStringValueType::SaveData(const void* AArea, TStream* AStream) const {
  WriteStreamWideString(AStream, DataToText(AArea));
}
Integer TcxWideStringValueType::CompareValuePointers(const void* P, const void* Q) const {
  Integer Result;
  if (CompareHolders<TcxStoredWideText>(P, Q, Result)) return Result;
  const TcxStoredWideText A = TcxStoredWideText::Load(P), B = TcxStoredWideText::Load(Q);
  const Integer R = A.View().compare(B.View());
  return R < 0 ? -1 : (R > 0 ? 1 : 0);
}
Variant TcxWideStringValueType::ValuePointerToVariant(const void* P) const {
  return P ? Variant(String(TcxStoredWideText::Load(P).View())) : Null();
}
TVarType TcxWideStringValueType::VariantType() const { return varOleStr; }
bool TcxWideStringValueType::IsTextType() const { return true; }
const void* TcxWideStringValueType::AreaToValuePointer(const void* AArea) const { return AArea; }

void TcxVariantValueType::ReleaseData(void* AArea) const {
  delete LoadPointer<Variant>(AArea);
  StoreValue<Variant*>(AArea, nullptr);
}
Integer TcxVariantValueType::DataAreaSize() const { return PointerSize; }
Variant TcxVariantValueType::DataToVariant(const void* AArea) const {
  return ValuePointerToVariant(AreaToValuePointer(AArea));
}
String TcxVariantValueType::DataToText(const void* AArea) const { return TcxValueType::DataToText(AArea); }
void TcxVariantValueType::LoadData(void* AArea, TStream* AStream) const { TcxValueType::LoadData(AArea, AStream); }
void TcxVariantValueType::VariantToData(void* AArea, const Variant& AValue) const {
  if (Variant* Holder = LoadPointer<Variant>(AArea))
    *Holder = AValue;
  else
    StoreValue(AArea, new Variant(AValue));
}
void TcxVariantValueType::SaveData(const void* AArea, TStream* AStream) const {
  TcxValueType::SaveData(AArea, AStream);
}
Integer TcxVariantValueType::CompareValuePointers(const void* P, const void* Q) const {
  Integer Result;
  if (CompareHolders<Variant>(P, Q, Result)) return Result;
  return CompareVariantValues(*static_cast<const Variant*>(P), *static_cast<const Variant*>(Q));
}
Variant TcxVariantValueType::ValuePointerToVariant(const void* P) const {
  return P ? *static_cast<const Variant*>(P) : Null();
}
TVarType TcxVariantValueType::VariantType() const { return varVariant; }
bool TcxVariantValueType::IsTextType() const { return false; }
const void* TcxVariantValueType::AreaToValuePointer(const void* AArea) const { return LoadPointer<Variant>(AArea); }

// ---- TcxValueDef ----------------------------------------------------------------------------

TcxValueDef::TcxValueDef(TcxValueDefs* AOwner, TcxValueTypeClass AValueTypeClass)
    : FValueDefs(AOwner),
      FValueTypeClass(AValueTypeClass),
      FDataSize(AValueTypeClass ? AValueTypeClass->DataAreaSize() : 0) {}

TcxValueDef::~TcxValueDef() {
  if (FValueDefs) FValueDefs->Remove(this);
  ReleaseColumn();
}

TObject* TcxValueDef::GetLinkObject() const { return FLinkObject; }

bool TcxValueDef::IsStored() const {
  return FStored || !FValueDefs || !FValueDefs->DataStorage() || !FValueDefs->DataStorage()->StoredValuesOnly();
}

void TcxValueDef::SetLinkObject(TObject* AValue) { FLinkObject = AValue; }

void TcxValueDef::Assign(TcxValueDef* ASource) {
  if (!ASource) return;
  SetStored(ASource->Stored());
  SetTextStored(ASource->TextStored());
}

bool TcxValueDef::KeepsText() const { return IsStored() && FTextStored; }

Integer TcxValueDef::Index() const { return FValueDefs ? FValueDefs->IndexOf(this) : -1; }

void TcxValueDef::SetStored(bool AValue) {
  if (FStored == AValue) return;
  TcxDataStorage* Storage = FValueDefs ? FValueDefs->DataStorage() : nullptr;
  const bool WasStored = IsStored(), KeptText = KeepsText();
  FStored = AValue;
  if (Storage && (WasStored != IsStored() || KeptText != KeepsText())) Storage->ValueDefLayoutChanged(FValueDefs);
  if (FValueDefs) FValueDefs->Changed(this, false);
}

void TcxValueDef::SetTextStored(bool AValue) {
  if (FTextStored == AValue) return;
  TcxDataStorage* Storage = FValueDefs ? FValueDefs->DataStorage() : nullptr;
  const bool KeptText = KeepsText();
  FTextStored = AValue;
  if (Storage && KeptText != KeepsText()) Storage->ValueDefLayoutChanged(FValueDefs);
  // The twin in the internal records keeps the same text.
  if (Storage && FValueDefs == Storage->ValueDefs())
    if (TcxValueDef* Twin = Storage->InternalValueDefs()->FindByLinkObject(this)) Twin->SetTextStored(AValue);
  if (FValueDefs) FValueDefs->Changed(this, true);
}

namespace {


// Grows AVector to ASize new elements zeroed; when its capacity runs out,
// reserves ARoom elements at once, or half as many again as ASize when that
// is more, so that growing slot by slot stays cheap.
template <class T>
void GrowTo(std::vector<T>& AVector, size_t ASize, size_t ARoom) {
  if (ASize <= AVector.size()) return;
  if (ASize > AVector.capacity()) AVector.reserve(std::max(ARoom, ASize + ASize / 2));
  AVector.resize(ASize);
}

template <class T>
void FreeMemory(std::vector<T>& AVector) {
  std::vector<T>().swap(AVector);
}

}  // namespace

void TcxValueDef::LayOut(size_t ASlotCount, size_t ARoom) {
  const bool Stored = IsStored(), Texts = KeepsText();
  if (!Stored) {
    ReleaseColumn();
  } else if (FLaidOutKeepsText && !Texts) {
    for (String*& Holder : FTexts) FValueTypeClass->ReleaseTextHolder(&Holder);
    FreeMemory(FTexts);
  }
  FLaidOutStored = Stored;
  FLaidOutKeepsText = Texts;
  GrowColumn(ASlotCount, ARoom);
}

void TcxValueDef::GrowColumn(size_t ASlotCount, size_t ARoom) {
  if (!FLaidOutStored) return;
  if (ASlotCount > FSlotCount) {
    FSlotCount = ASlotCount;
    GrowTo(FAreas, ASlotCount * size_t(FDataSize), ARoom * size_t(FDataSize));
    auto WordsFor = [](size_t ASlots) { return (ASlots + BitsPerWord - 1) / BitsPerWord; };
    GrowTo(FValueBits, WordsFor(ASlotCount), WordsFor(ARoom));
  }
  if (FLaidOutKeepsText) GrowTo(FTexts, FSlotCount, ARoom);
}

void TcxValueDef::SetHasValue(Integer ASlot, bool AValue) {
  UInt64& Bits = FValueBits[size_t(ASlot) / BitsPerWord];
  const UInt64 Bit = UInt64(1) << (size_t(ASlot) % BitsPerWord);
  Bits = AValue ? Bits | Bit : Bits & ~Bit;
}

void TcxValueDef::ReleaseSlot(Integer ASlot) {
  if (!FLaidOutStored || size_t(ASlot) >= FSlotCount) return;
  if (HasValue(ASlot)) FValueTypeClass->ReleaseData(Area(ASlot));
  std::memset(Area(ASlot), 0, size_t(FDataSize));
  SetHasValue(ASlot, false);
  if (FLaidOutKeepsText) FValueTypeClass->ReleaseTextHolder(TextHolder(ASlot));
}

void TcxValueDef::ReleaseColumn() {
  for (size_t Slot = 0; Slot < FSlotCount; ++Slot)
    if (HasValue(Integer(Slot))) FValueTypeClass->ReleaseData(Area(Integer(Slot)));
  for (String*& Holder : FTexts) FValueTypeClass->ReleaseTextHolder(&Holder);
  FreeMemory(FAreas);
  FreeMemory(FValueBits);
  FreeMemory(FTexts);
  FSlotCount = 0;
}

Integer TcxValueDef::CompareWithNullFlags(bool ANull1, bool ANull2, const void* P1, const void* P2) const {
  if (ANull1 || ANull2) return ANull1 == ANull2 ? 0 : (ANull1 ? -1 : 1);
  return FValueTypeClass->CompareValuePointers(P1, P2);
}

// ---- TcxValueDefs ---------------------------------------------------------------------------

TcxValueDefs::TcxValueDefs(TcxDataStorage* AStorage) : FDataStorage(AStorage) {}

TcxValueDefs::~TcxValueDefs() {
  FDestroying = true;
  while (!FItems.empty()) delete FItems.back();
}

void TcxValueDefs::Changed(TcxValueDef* AValueDef, bool AResyncNeeded) {
  if (FDataStorage) FDataStorage->ValueDefsChanged(AValueDef, AResyncNeeded);
}

TcxValueDef* TcxValueDefs::CreateItem(TcxValueTypeClass AValueTypeClass) {
  return new TcxValueDef(this, AValueTypeClass);
}

namespace {

Integer ColumnBytes(const TcxValueDef* ADef) {
  return ADef->IsStored() ? 1 + ADef->DataSize() + (ADef->KeepsText() ? PointerSize : 0) : 0;
}

}  // namespace

void TcxValueDefs::Prepare(Integer AStartOffset) {
  const size_t Slots = FDataStorage ? FDataStorage->SlotCountOf(this) : 0;
  FRecordOffset = AStartOffset;
  Integer Offset = AStartOffset;
  for (TcxValueDef* Def : FItems) {
    Def->FOffset = Offset;
    Def->FBufferSize = ColumnBytes(Def);
    Def->LayOut(Slots, Slots);
    Offset += Def->FBufferSize;
  }
  FRecordSize = Offset;
}

TcxValueDef* TcxValueDefs::Add(TcxValueTypeClass AValueTypeClass, bool AStored, TObject* ALinkObject,
                               bool ATextStored) {
  TcxValueDef* Def = CreateItem(AValueTypeClass);
  Def->FLinkObject = ALinkObject;
  Def->FStored = AStored;
  Def->FTextStored = ATextStored;
  Def->FOffset = FRecordSize;
  Def->FBufferSize = ColumnBytes(Def);
  if (FDataStorage) FDataStorage->ValueDefAdded(this, Def);
  FItems.push_back(Def);
  if (FDataStorage)
    FDataStorage->PrepareValueDefs(this);
  else
    Prepare(TcxDataStorage::RecordHeaderSize);
  return Def;
}

void TcxValueDefs::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

Integer TcxValueDefs::Count() const {
  if (!FInternal && FDataStorage && FDataStorage->SubstituteValueDefs())
    return Integer(FDataStorage->SubstituteValueDefs()->size());
  return Integer(FItems.size());
}

TcxValueDef* TcxValueDefs::Items(Integer AIndex) const {
  const std::vector<TcxValueDef*>& List =
      !FInternal && FDataStorage && FDataStorage->SubstituteValueDefs() ? *FDataStorage->SubstituteValueDefs()
                                                                        : FItems;
  if (AIndex < 0 || AIndex >= Integer(List.size())) TList::Error(AIndex);
  return List[size_t(AIndex)];
}

Integer TcxValueDefs::IndexOf(const TcxValueDef* AValueDef) const {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I] == AValueDef) return Integer(I);
  return -1;
}

Integer TcxValueDefs::StoredCount() const {
  Integer Result = 0;
  for (const TcxValueDef* Def : FItems)
    if (Def->IsStored()) ++Result;
  return Result;
}

void TcxValueDefs::Remove(TcxValueDef* AValueDef) {
  const Integer Index = IndexOf(AValueDef);
  if (Index < 0) return;
  if (!FDestroying && FDataStorage && !FDataStorage->Destroying()) FDataStorage->ValueDefRemoving(this, AValueDef);
  FItems.erase(FItems.begin() + Index);
  AValueDef->FValueDefs = nullptr;
  if (FDataStorage)
    FDataStorage->PrepareValueDefs(this);
  else
    Prepare(TcxDataStorage::RecordHeaderSize);
}

// ---- Internal definitions --------------------------------------------------------------------

TObject* TcxInternalValueDef::GetLinkObject() const {
  const TcxValueDef* Base = BaseValueDef();
  return Base ? Base->LinkObject() : nullptr;
}

TcxInternalValueDefs::TcxInternalValueDefs(TcxDataStorage* AStorage) : TcxValueDefs(AStorage) {
  FInternal = true;
}

TcxValueDef* TcxInternalValueDefs::CreateItem(TcxValueTypeClass AValueTypeClass) {
  return new TcxInternalValueDef(this, AValueTypeClass);
}

TcxInternalValueDef* TcxInternalValueDefs::FindByLinkObject(const TcxValueDef* ABase) const {
  for (size_t I = FItems.size(); I-- > 0;) {
    auto* Def = static_cast<TcxInternalValueDef*>(FItems[I]);
    if (Def->BaseValueDef() == ABase) return Def;
  }
  return nullptr;
}

void TcxInternalValueDefs::RemoveByLinkObject(const TcxValueDef* ABase) {
  delete FindByLinkObject(ABase);
}

// ---- TcxValueDefReader ------------------------------------------------------------------------

String TcxValueDefReader::GetDisplayText(TcxValueDef*) { return String(); }
Variant TcxValueDefReader::GetValue(TcxValueDef*) { return Null(); }
bool TcxValueDefReader::IsInternal(TcxValueDef*) { return false; }

// ---- TcxDataStorage ---------------------------------------------------------------------------

TcxDataStorage::TcxDataStorage() {
  FValueDefs = new TcxValueDefs(this);
  FInternalValueDefs = new TcxInternalValueDefs(this);
  PrepareValueDefs(FValueDefs);
  PrepareValueDefs(FInternalValueDefs);
}

TcxDataStorage::~TcxDataStorage() {
  FDestroying = true;
  Reset(false);
  delete FValueDefs;
  delete FInternalValueDefs;
}

void TcxDataStorage::PrepareValueDefs(TcxValueDefs* AValueDefs) { AValueDefs->Prepare(RecordHeaderSize); }

void TcxDataStorage::ValueDefsChanged(TcxValueDef*, bool) {}

TcxValueDefs* TcxDataStorage::ValueDefsOf(Integer ARecordIndex) const {
  return ARecordIndex >= 0 ? FValueDefs : FInternalValueDefs;
}

TcxDataStorage::TRecordTable& TcxDataStorage::TableOf(const TcxValueDefs* AList) {
  return AList == FInternalValueDefs ? FInternalRecords : FRecords;
}

size_t TcxDataStorage::SlotCountOf(const TcxValueDefs* AList) const {
  return (AList == FInternalValueDefs ? FInternalRecords : FRecords).SlotCount;
}

void TcxDataStorage::CheckRecordIndex(Integer ARecordIndex) const {
  if (ARecordIndex >= 0 ? ARecordIndex >= RecordCount() : -Int64(ARecordIndex) > InternalRecordCount())
    TList::Error(ARecordIndex);
}

Integer& TcxDataStorage::SlotRef(Integer ARecordIndex) {
  CheckRecordIndex(ARecordIndex);
  return ARecordIndex >= 0 ? FRecords.Slots[size_t(ARecordIndex)]
                           : FInternalRecords.Slots[size_t(-Int64(ARecordIndex) - 1)];
}

Integer TcxDataStorage::SlotOf(Integer ARecordIndex) const {
  CheckRecordIndex(ARecordIndex);
  return ARecordIndex >= 0 ? FRecords.Slots[size_t(ARecordIndex)]
                           : FInternalRecords.Slots[size_t(-Int64(ARecordIndex) - 1)];
}

Integer TcxDataStorage::MakeSlot(Integer ARecordIndex) {
  Integer& Slot = SlotRef(ARecordIndex);
  if (Slot != NoSlot) return Slot;
  const TcxValueDefs* List = ARecordIndex >= 0 ? FValueDefs : FInternalValueDefs;
  TRecordTable& Table = TableOf(List);
  if (!Table.FreeSlots.empty()) {
    Slot = Table.FreeSlots.back();
    Table.FreeSlots.pop_back();
    return Slot;
  }
  // Values are mostly written to every record: the columns take room for
  // all the records at once.
  const size_t Count = Table.SlotCount + 1, Room = std::max(Count, Table.Slots.size());
  for (TcxValueDef* Def : List->FItems) Def->GrowColumn(Count, Room);
  Slot = Integer(Table.SlotCount);
  Table.SlotCount = Count;
  return Slot;
}

Byte TcxDataStorage::FlagsOf(const TRecordTable& ATable, Integer ASlot) const {
  return size_t(ASlot) < ATable.Flags.size() ? ATable.Flags[size_t(ASlot)] : 0;
}

void TcxDataStorage::FreeSlot(const TcxValueDefs* AList, Integer& ASlot) {
  const Integer Slot = ASlot;
  if (Slot == NoSlot) return;
  ASlot = NoSlot;
  for (TcxValueDef* Def : AList->FItems) Def->ReleaseSlot(Slot);
  TRecordTable& Table = TableOf(AList);
  if (size_t(Slot) < Table.Flags.size()) Table.Flags[size_t(Slot)] = 0;
  if (size_t(Slot) < Table.Ids.size()) Table.Ids[size_t(Slot)] = 0;
  Table.FreeSlots.push_back(Slot);
}

void TcxDataStorage::FreeSlots(const TcxValueDefs* AList) {
  for (TcxValueDef* Def : AList->FItems) Def->ReleaseColumn();
  TRecordTable& Table = TableOf(AList);
  std::fill(Table.Slots.begin(), Table.Slots.end(), NoSlot);
  FreeMemory(Table.FreeSlots);
  FreeMemory(Table.Flags);
  FreeMemory(Table.Ids);
  Table.SlotCount = 0;
}

TcxValueDef* TcxDataStorage::ColumnOf(Integer ARecordIndex, TcxValueDef* AValueDef) const {
  if (!AValueDef) return nullptr;
  TcxValueDef* Def = AValueDef;
  if (ARecordIndex >= 0) {
    if (Def->FValueDefs == FInternalValueDefs) Def = static_cast<TcxInternalValueDef*>(Def)->BaseValueDef();
    if (!Def || Def->FValueDefs != FValueDefs) return nullptr;
  } else if (Def->FValueDefs != FInternalValueDefs) {
    Def = Def->FValueDefs == FValueDefs ? FInternalValueDefs->FindByLinkObject(Def) : nullptr;
  }
  return Def && Def->FLaidOutStored ? Def : nullptr;
}

void TcxDataStorage::SetRecordCount(Integer AValue) {
  if (AValue < 0) AValue = 0;
  if (AValue > RecordCount()) FRecords.Slots.reserve(size_t(AValue));
  while (RecordCount() < AValue) AddRecord();
  while (RecordCount() > AValue) DeleteRecordAt(RecordCount() - 1);
}

void TcxDataStorage::GiveRecordId(Integer ARecordIndex) {
  if (FUseRecordIDs && RecordIdOf(ARecordIndex) == 0) AssignRecordId(ARecordIndex, FRecordIdCounter++);
}

Integer TcxDataStorage::AddRecord() {
  FRecords.Slots.push_back(NoSlot);
  const Integer Index = RecordCount() - 1;
  GiveRecordId(Index);
  return Index;
}

void TcxDataStorage::InsertRecordAt(Integer ARecordIndex) {
  if (ARecordIndex < 0 || ARecordIndex > RecordCount()) TList::Error(ARecordIndex);
  FRecords.Slots.insert(FRecords.Slots.begin() + ARecordIndex, NoSlot);
  GiveRecordId(ARecordIndex);
}

void TcxDataStorage::DeleteRecordAt(Integer ARecordIndex) {
  CheckRecordIndex(ARecordIndex);
  if (ARecordIndex < 0) {
    FreeSlot(FInternalValueDefs, FInternalRecords.Slots[size_t(-Int64(ARecordIndex) - 1)]);
    return;
  }
  FreeSlot(FValueDefs, FRecords.Slots[size_t(ARecordIndex)]);
  FRecords.Slots.erase(FRecords.Slots.begin() + ARecordIndex);
  if (!FRecords.Slots.empty()) return;
  // No record is left: the columns give their memory back.
  FreeSlots(FValueDefs);
  FRecordIdCounter = 1;
}

Integer TcxDataStorage::AcquireInternalRecord() {
  const std::vector<Integer>& Slots = FInternalRecords.Slots;
  size_t Index = 0;
  while (Index < Slots.size() && Slots[Index] != NoSlot &&
         (FlagsOf(FInternalRecords, Slots[Index]) & RecordFlagInternalInUse))
    ++Index;
  if (Index == Slots.size()) FInternalRecords.Slots.push_back(NoSlot);
  const Integer Record = -Integer(Index) - 1;
  const size_t Slot = size_t(MakeSlot(Record));
  if (FInternalRecords.Flags.size() <= Slot) FInternalRecords.Flags.resize(Slot + 1);
  FInternalRecords.Flags[Slot] |= RecordFlagInternalInUse;
  return Record;
}

void TcxDataStorage::ReleaseInternalRecords() {
  FreeSlots(FInternalValueDefs);
  FreeMemory(FInternalRecords.Slots);
}

void TcxDataStorage::Reset(bool AKeepInternal) {
  if (!AKeepInternal) {
    ReleaseInternalRecords();
    if (!FDestroying && OnClearInternalRecords) OnClearInternalRecords(this);
  }
  FreeSlots(FValueDefs);
  FreeMemory(FRecords.Slots);
  FRecordIdCounter = 1;
}

Variant TcxDataStorage::ReadValue(Integer ARecordIndex, TcxValueDef* AValueDef) const {
  const Integer Slot = SlotOf(ARecordIndex);
  const TcxValueDef* Def = ColumnOf(ARecordIndex, AValueDef);
  if (Slot == NoSlot || !Def || !Def->HasValue(Slot)) return Null();
  return Def->FValueTypeClass->DataToVariant(Def->Area(Slot));
}

void TcxDataStorage::WriteValue(Integer ARecordIndex, TcxValueDef* AValueDef, const Variant& AValue) {
  CheckRecordIndex(ARecordIndex);
  TcxValueDef* Def = ColumnOf(ARecordIndex, AValueDef);
  if (!Def) return;
  const Integer Slot = MakeSlot(ARecordIndex);
  if (VarIsNull(AValue)) {
    if (Def->HasValue(Slot)) Def->FValueTypeClass->ReleaseData(Def->Area(Slot));
    std::memset(Def->Area(Slot), 0, size_t(Def->FDataSize));
    Def->SetHasValue(Slot, false);
    return;
  }
  // The value bit is set only once the value is in: a failed conversion
  // leaves a Null column Null.
  Def->FValueTypeClass->VariantToData(Def->Area(Slot), AValue);
  Def->SetHasValue(Slot, true);
}

String TcxDataStorage::ReadText(Integer ARecordIndex, TcxValueDef* AValueDef) const {
  const Integer Slot = SlotOf(ARecordIndex);
  const TcxValueDef* Def = ColumnOf(ARecordIndex, AValueDef);
  if (Slot == NoSlot || !Def) return String();
  if (Def->FLaidOutKeepsText) return Def->FValueTypeClass->HolderToText(Def->TextHolder(Slot));
  return Def->HasValue(Slot) ? Def->FValueTypeClass->DataToText(Def->Area(Slot)) : String();
}

void TcxDataStorage::WriteText(Integer ARecordIndex, TcxValueDef* AValueDef, const String& AText) {
  CheckRecordIndex(ARecordIndex);
  TcxValueDef* Def = ColumnOf(ARecordIndex, AValueDef);
  if (!Def || !Def->FLaidOutKeepsText) return;
  const Integer Slot = MakeSlot(ARecordIndex);
  Def->FValueTypeClass->TextToHolder(Def->TextHolder(Slot), AText);
}

void TcxDataStorage::LocateValue(Integer ARecordIndex, TcxValueDef* AValueDef, bool& AIsNull,
                                 const void*& AValuePointer) const {
  const Integer Slot = SlotOf(ARecordIndex);
  const TcxValueDef* Def = ColumnOf(ARecordIndex, AValueDef);
  AIsNull = true;
  AValuePointer = nullptr;
  if (Slot == NoSlot || !Def) return;
  AIsNull = !Def->HasValue(Slot);
  AValuePointer = Def->FValueTypeClass->AreaToValuePointer(Def->Area(Slot));
}

Integer TcxDataStorage::CompareRecordValues(Integer ARecordIndex1, Integer ARecordIndex2,
                                            TcxValueDef* AValueDef) const {
  const Integer Slot1 = SlotOf(ARecordIndex1), Slot2 = SlotOf(ARecordIndex2);
  if (Slot1 == NoSlot || Slot2 == NoSlot) return Slot1 == Slot2 ? 0 : (Slot1 != NoSlot ? 1 : -1);
  const TcxValueDef* Def1 = ColumnOf(ARecordIndex1, AValueDef);
  const TcxValueDef* Def2 = ColumnOf(ARecordIndex2, AValueDef);
  const bool Null1 = !Def1 || !Def1->HasValue(Slot1), Null2 = !Def2 || !Def2->HasValue(Slot2);
  if (Null1 || Null2) return Null1 == Null2 ? 0 : (Null1 ? -1 : 1);
  return Def1->FValueTypeClass->CompareDataAreas(Def1->Area(Slot1), Def2->Area(Slot2));
}

Integer TcxDataStorage::RecordIdOf(Integer ARecordIndex) const {
  const Integer Slot = SlotOf(ARecordIndex);
  const std::vector<Integer>& Ids = TableOf(ARecordIndex).Ids;
  return Slot != NoSlot && size_t(Slot) < Ids.size() ? Ids[size_t(Slot)] : 0;
}

void TcxDataStorage::AssignRecordId(Integer ARecordIndex, Integer AId) {
  const size_t Slot = size_t(MakeSlot(ARecordIndex));
  TRecordTable& Table = ARecordIndex >= 0 ? FRecords : FInternalRecords;
  GrowTo(Table.Ids, Slot + 1, std::max(Slot + 1, Table.Slots.size()));
  Table.Ids[Slot] = AId;
}

void TcxDataStorage::LoadRecord(Integer ARecordIndex, TcxValueDefReader* AReader, bool ASkipInternal) {
  MakeSlot(ARecordIndex);
  const std::vector<TcxValueDef*> Defs = ValueDefsOf(ARecordIndex)->FItems;
  for (TcxValueDef* Def : Defs) {
    if (ASkipInternal && AReader->IsInternal(Def)) continue;
    WriteValue(ARecordIndex, Def, AReader->GetValue(Def));
    if (Def->KeepsText()) WriteText(ARecordIndex, Def, AReader->GetDisplayText(Def));
  }
}

void TcxDataStorage::ForEachDefinition(Integer ARecordIndex, const TcxValueDefProc& AProc,
                                       TcxValueDefReader* AReader, void* AData) {
  const std::vector<TcxValueDef*> Defs = ValueDefsOf(ARecordIndex)->FItems;
  for (TcxValueDef* Def : Defs) AProc(Def, ARecordIndex, AReader, AData);
}

void TcxDataStorage::SetUseRecordIDs(bool AValue) {
  if (FUseRecordIDs == AValue) return;
  FreeSlots(FValueDefs);
  FUseRecordIDs = AValue;
  PrepareValueDefs(FValueDefs);
  for (Integer I = 0; I < RecordCount(); ++I) GiveRecordId(I);
}

void TcxDataStorage::SetStoredValuesOnly(bool AValue) {
  if (FStoredValuesOnly == AValue) return;
  // The values are released with the layout they were made with.
  FreeSlots(FValueDefs);
  FStoredValuesOnly = AValue;
  PrepareValueDefs(FValueDefs);
  for (Integer I = 0; I < RecordCount(); ++I) GiveRecordId(I);
}

void TcxDataStorage::ValueDefAdded(TcxValueDefs* AList, TcxValueDef* AValueDef) {
  // The new column is made when the list is laid out again.
  if (AList == FValueDefs)
    FInternalValueDefs->Add(AValueDef->FValueTypeClass, true, AValueDef, AValueDef->FTextStored);
}

void TcxDataStorage::ValueDefRemoving(TcxValueDefs* AList, TcxValueDef* AValueDef) {
  if (AList == FValueDefs) FInternalValueDefs->RemoveByLinkObject(AValueDef);
  if (!AValueDef->FLaidOutStored) return;
  // Without stored columns the normal records keep no values; internal
  // records keep their slots, which tell whether they are in use.
  if (AList == FValueDefs && AList->StoredCount() == 1) {
    FreeSlots(AList);
    return;
  }
  AValueDef->ReleaseColumn();
}

void TcxDataStorage::ValueDefLayoutChanged(TcxValueDefs* AList) { PrepareValueDefs(AList); }

// ---- TcxLookupList --------------------------------------------------------------------------

TcxLookupList::~TcxLookupList() { Clear(); }

void TcxLookupList::Clear() {
  for (TcxLookupListItem* Item : FItems) delete Item;
  FItems.clear();
}

bool TcxLookupList::Find(const Variant& AValue, Integer& AIndex) const {
  Integer Low = 0, High = Count() - 1;
  while (Low <= High) {
    const Integer Middle = (Low + High) / 2;
    const Integer Compare = CompareVariantValues(FItems[size_t(Middle)]->Value, AValue);
    if (Compare == 0) {
      AIndex = Middle;
      return true;
    }
    if (Compare < 0)
      Low = Middle + 1;
    else
      High = Middle - 1;
  }
  AIndex = Low;
  return false;
}

void TcxLookupList::Insert(Integer AIndex, const Variant& AValue, const String& ADisplayText) {
  if (AIndex < 0 || AIndex > Count()) TList::Error(AIndex);
  FItems.insert(FItems.begin() + AIndex, new TcxLookupListItem{AValue, ADisplayText});
}

const TcxLookupListItem& TcxLookupList::GetItem(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) TList::Error(AIndex);
  return *FItems[size_t(AIndex)];
}

// ---- Registry -------------------------------------------------------------------------------

TcxValueTypeClass TcxValueTypeClassList::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) TList::Error(AIndex);
  return FItems[size_t(AIndex)];
}

TcxValueTypeClass TcxValueTypeClassList::ItemByCaption(const String& ACaption) const {
  for (TcxValueTypeClass Item : FItems)
    if (Item->TypeCaption() == ACaption) return Item;
  return nullptr;
}

void TcxValueTypeClassList::RegisterItem(TcxValueTypeClass AValueTypeClass) {
  for (TcxValueTypeClass Item : FItems)
    if (Item == AValueTypeClass) return;
  FItems.push_back(AValueTypeClass);
}

void TcxValueTypeClassList::UnregisterItem(TcxValueTypeClass AValueTypeClass) {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I] == AValueTypeClass) {
      FItems.erase(FItems.begin() + Integer(I));
      return;
    }
}

namespace {

std::unique_ptr<TcxValueTypeClassList>& ValueTypeClassListInstance() {
  static std::unique_ptr<TcxValueTypeClassList> Instance;
  return Instance;
}

TcxValueTypeClass RegisteredValueTypes[] = {
    TcxStringValueType::StaticClass(),     TcxWideStringValueType::StaticClass(),
    TcxSmallintValueType::StaticClass(),   TcxIntegerValueType::StaticClass(),
    TcxWordValueType::StaticClass(),       TcxBooleanValueType::StaticClass(),
    TcxFloatValueType::StaticClass(),      TcxCurrencyValueType::StaticClass(),
    TcxDateTimeValueType::StaticClass(),   TcxLargeIntValueType::StaticClass(),
    TcxFMTBcdValueType::StaticClass(),     TcxSQLTimeStampValueType::StaticClass(),
    TcxVariantValueType::StaticClass(),    TcxObjectValueType::StaticClass(),
};

// Registers the value types at start-up and withdraws them, last first, at
// the end of the program.
struct TValueTypeRegistration {
  TValueTypeRegistration() {
    for (TcxValueTypeClass Item : RegisteredValueTypes) cxValueTypeClassList()->RegisterItem(Item);
  }
  ~TValueTypeRegistration() {
    for (size_t I = std::size(RegisteredValueTypes); I-- > 0;)
      cxValueTypeClassList()->UnregisterItem(RegisteredValueTypes[I]);
    ValueTypeClassListInstance().reset();
  }
} ValueTypeRegistration;

}  // namespace

TcxValueTypeClassList* cxValueTypeClassList() {
  std::unique_ptr<TcxValueTypeClassList>& Instance = ValueTypeClassListInstance();
  if (!Instance) Instance = std::make_unique<TcxValueTypeClassList>();
  return Instance.get();
}
