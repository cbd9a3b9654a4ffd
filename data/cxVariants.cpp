#include "data/cxVariants.h"

#include <cmath>
#include <cstring>

#include "foundation/cxClasses.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

// ---- Comparison ------------------------------------------------------------

namespace {

Integer Sign(Int64 AValue) { return AValue < 0 ? -1 : (AValue > 0 ? 1 : 0); }

bool IsNaNVariant(const Variant& AValue) {
  const TVarType T = VarType(AValue);
  return (T == varSingle || T == varDouble || T == varDate) && std::isnan(AValue.RawDouble());
}

// The rank of a value's kind for values that cannot be compared as values.
Integer KindRank(const Variant& AValue) {
  const TVarType T = VarType(AValue);
  switch (T) {
    case varEmpty:
      return 0;
    case varBoolean:
      return 1;
    case varDate:
      return 3;
    case varOleStr:
    case varString:
      return 4;
    default:
      break;
  }
  if (T == VarSQLTimeStamp()) return 3;
  if (VarIsNumeric(AValue) || T == VarFMTBcd()) return 2;
  return 5;
}

String TextForOrder(const Variant& AValue) {
  try {
    return VarToStr(AValue);
  } catch (const Exception&) {
    return String();
  }
}

// Two values that have no order of their own.
Integer CompareByKind(const Variant& A, const Variant& B) {
  const Integer RankA = KindRank(A), RankB = KindRank(B);
  if (RankA != RankB) return RankA < RankB ? -1 : 1;
  return Sign(TextForOrder(A).compare(TextForOrder(B)));
}

Integer ArrayElementCount(const Variant& A, Integer ADim) {
  return VarArrayHighBound(A, ADim) - VarArrayLowBound(A, ADim) + 1;
}

// Compares the elements of two arrays of equal shape in index order.
Integer CompareArrayElements(const Variant& A, const Variant& B, Integer ADims) {
  std::vector<Integer> IA(ADims), IB(ADims);
  for (Integer D = 0; D < ADims; ++D) {
    if (ArrayElementCount(A, D + 1) == 0) return 0;
    IA[D] = VarArrayLowBound(A, D + 1);
    IB[D] = VarArrayLowBound(B, D + 1);
  }
  for (;;) {
    const Integer R = ADims == 1 ? CompareVariantValues(A.GetElement(IA[0]), B.GetElement(IB[0]))
                                 : CompareVariantValues(VarArrayGet(A, IA), VarArrayGet(B, IB));
    if (R != 0) return R;
    // Next index, the last dimension running fastest.
    Integer D = ADims - 1;
    for (; D >= 0; --D) {
      ++IA[D];
      ++IB[D];
      if (IA[D] <= VarArrayHighBound(A, D + 1)) break;
      IA[D] = VarArrayLowBound(A, D + 1);
      IB[D] = VarArrayLowBound(B, D + 1);
    }
    if (D < 0) return 0;
  }
}

}  // namespace

Integer CompareVariantValues(const Variant& A, const Variant& B) {
  if (VarIsArray(A) || VarIsArray(B)) return CompareVariantArrays(A, B);
  const bool NullA = VarIsNull(A), NullB = VarIsNull(B);
  if (NullA || NullB) return NullA == NullB ? 0 : (NullA ? -1 : 1);
  // A NaN comes right after Null, before every other value.
  const bool NaNA = IsNaNVariant(A), NaNB = IsNaNVariant(B);
  if (NaNA || NaNB) return NaNA == NaNB ? 0 : (NaNA ? -1 : 1);
  try {
    switch (VarCompareValue(A, B)) {
      case vrEqual:
        return 0;
      case vrLessThan:
        return -1;
      case vrGreaterThan:
        return 1;
      case vrNotEqual:
        break;
    }
  } catch (const EVariantError&) {
  } catch (const EConvertError&) {
  } catch (const EBcdException&) {
  } catch (const ESQLTimeStampException&) {
  }
  return CompareByKind(A, B);
}

Integer CompareVariantArrays(const Variant& A, const Variant& B) {
  const bool ArrayA = VarIsArray(A), ArrayB = VarIsArray(B);
  if (!ArrayA && !ArrayB) return CompareVariantValues(A, B);
  if (!ArrayB) return 1;
  if (!ArrayA) return -1;
  const Integer Dims = VarArrayDimCount(A);
  if (Dims != VarArrayDimCount(B)) return Sign(Int64(Dims) - VarArrayDimCount(B));
  for (Integer D = 1; D <= Dims; ++D) {
    const Integer Diff = ArrayElementCount(A, D) - ArrayElementCount(B, D);
    if (Diff != 0) return Sign(Diff);
  }
  return CompareArrayElements(A, B, Dims);
}

bool VariantsEqual(const Variant& A, const Variant& B) { return CompareVariantValues(A, B) == 0; }

bool SameVariantValues(const Variant& A, const Variant& B) {
  if (!VarIsNull(A) && !VarIsNull(B) && (VarType(A) == varBoolean || VarType(B) == varBoolean)) {
    try {
      return VarToStr(A) == VarToStr(B);
    } catch (const EVariantError&) {
      return false;
    }
  }
  return VariantsEqual(A, B);
}

// ---- Tests -------------------------------------------------------------------

bool IsDateTimeVarType(TVarType AVarType) {
  return AVarType == varDate || AVarType == VarSQLTimeStamp();
}

bool IsDateTimeVariant(const Variant& AValue) { return IsDateTimeVarType(VarType(AValue)); }

bool IsNumericVariant(const Variant& AValue) {
  return VarIsNumeric(AValue) || VarType(AValue) == VarFMTBcd();
}

bool IsBlankVariant(const Variant& AValue) {
  switch (VarType(AValue)) {
    case varNull:
      return true;
    case varOleStr:
      return AValue.RawString().empty();
    case varString:
      return AValue.RawBytes().empty();
    default:
      return false;
  }
}

// ---- Builders ----------------------------------------------------------------

Variant MakeVariantPair(const Variant& A, const Variant& B) { return VarArrayOf({A, B}); }

Variant MakeSingleVariantArray(const Variant& A) { return VarArrayOf({A}); }

void AppendVariantArrayItem(Variant& AArray, const Variant& AValue) {
  std::vector<Variant> Items;
  if (VarIsArray(AArray) && VarArrayDimCount(AArray) == 1) {
    const Integer Low = VarArrayLowBound(AArray), High = VarArrayHighBound(AArray);
    Items.reserve(size_t(High - Low + 2));
    for (Integer I = Low; I <= High; ++I) Items.push_back(AArray.GetElement(I));
  }
  Items.push_back(AValue);
  AArray = VarArrayOf(Items);
}

// ---- Binary primitives -----------------------------------------------------------

namespace {

template <class T>
T ReadRaw(TStream* AStream) {
  unsigned char Bytes[sizeof(T)];
  AStream->ReadBuffer(Bytes, Integer(sizeof(T)));
  T Value;
  std::memcpy(&Value, Bytes, sizeof(T));
  return Value;
}

template <class T>
void WriteRaw(TStream* AStream, T AValue) {
  unsigned char Bytes[sizeof(T)];
  std::memcpy(Bytes, &AValue, sizeof(T));
  AStream->WriteBuffer(Bytes, Integer(sizeof(T)));
}

[[noreturn]] void DamagedStream(const TResourceString& AText) { throw EReadError(LoadResourceText(AText)); }

// Checks a length or count read from the stream: not negative, and not more
// items of AItemSize bytes than the stream still holds.
void CheckLength(TStream* AStream, Int64 ALength, Int64 AItemSize, const TResourceString& AText) {
  if (ALength < 0) DamagedStream(AText);
  const Int64 Left = AStream->Size() - AStream->Position();
  if (Left >= 0 && ALength * AItemSize > Left) DamagedStream(AText);
}

}  // namespace

bool ReadStreamBoolean(TStream* AStream) { return ReadRaw<Byte>(AStream) != 0; }
void WriteStreamBoolean(TStream* AStream, bool AValue) { WriteRaw<Byte>(AStream, AValue ? 1 : 0); }
Byte ReadStreamByte(TStream* AStream) { return ReadRaw<Byte>(AStream); }
void WriteStreamByte(TStream* AStream, Byte AValue) { WriteRaw(AStream, AValue); }
SmallInt ReadStreamSmallInt(TStream* AStream) { return ReadRaw<SmallInt>(AStream); }
void WriteStreamSmallInt(TStream* AStream, SmallInt AValue) { WriteRaw(AStream, AValue); }
Word ReadStreamWord(TStream* AStream) { return ReadRaw<Word>(AStream); }
void WriteStreamWord(TStream* AStream, Word AValue) { WriteRaw(AStream, AValue); }
Integer ReadStreamInt32(TStream* AStream) { return ReadRaw<Integer>(AStream); }
void WriteStreamInt32(TStream* AStream, Integer AValue) { WriteRaw(AStream, AValue); }
LongWord ReadStreamLongWord(TStream* AStream) { return ReadRaw<LongWord>(AStream); }
void WriteStreamLongWord(TStream* AStream, LongWord AValue) { WriteRaw(AStream, AValue); }
Int64 ReadStreamInt64(TStream* AStream) { return ReadRaw<Int64>(AStream); }
void WriteStreamInt64(TStream* AStream, Int64 AValue) { WriteRaw(AStream, AValue); }
float ReadStreamSingle(TStream* AStream) { return ReadRaw<float>(AStream); }
void WriteStreamSingle(TStream* AStream, float AValue) { WriteRaw(AStream, AValue); }
double ReadStreamDouble(TStream* AStream) { return ReadRaw<double>(AStream); }
void WriteStreamDouble(TStream* AStream, double AValue) { WriteRaw(AStream, AValue); }
Currency ReadStreamCurrency(TStream* AStream) { return Currency::FromRaw(ReadRaw<Int64>(AStream)); }
void WriteStreamCurrency(TStream* AStream, Currency AValue) { WriteRaw<Int64>(AStream, AValue.Raw()); }
TDateTime ReadStreamDateTime(TStream* AStream) { return ReadRaw<double>(AStream); }
void WriteStreamDateTime(TStream* AStream, TDateTime AValue) { WriteRaw<double>(AStream, AValue); }

void DoubleToExtended(double AValue, Byte AExtended[10]) {
  UInt64 Bits;
  std::memcpy(&Bits, &AValue, 8);
  const bool Negative = (Bits >> 63) != 0;
  const Integer Exponent = Integer((Bits >> 52) & 0x7FF);
  const UInt64 Mantissa = Bits & ((UInt64(1) << 52) - 1);
  UInt64 ExtMantissa = 0;
  Integer ExtExponent = 0;
  if (Exponent == 0x7FF) {
    ExtExponent = 0x7FFF;
    ExtMantissa = (UInt64(1) << 63) | (Mantissa << 11) | (Mantissa ? (UInt64(1) << 62) : 0);
  } else if (Exponent != 0) {
    ExtExponent = Exponent - 1023 + 16383;
    ExtMantissa = (UInt64(1) << 63) | (Mantissa << 11);
  } else if (Mantissa != 0) {
    // A subnormal double is a normal extended number.
    Integer Top = 51;
    while (!(Mantissa >> Top)) --Top;
    ExtMantissa = Mantissa << (63 - Top);
    ExtExponent = Top - 1074 + 16383;
  }
  std::memcpy(AExtended, &ExtMantissa, 8);
  const Word SignExponent = Word((Negative ? 0x8000 : 0) | ExtExponent);
  std::memcpy(AExtended + 8, &SignExponent, 2);
}

double ExtendedToDouble(const Byte AExtended[10]) {
  UInt64 Mantissa;
  Word SignExponent;
  std::memcpy(&Mantissa, AExtended, 8);
  std::memcpy(&SignExponent, AExtended + 8, 2);
  const bool Negative = (SignExponent & 0x8000) != 0;
  const Integer Exponent = SignExponent & 0x7FFF;
  double Result;
  if (Exponent == 0x7FFF)
    Result = (Mantissa << 1) == 0 ? INFINITY : NAN;
  else if (Mantissa == 0)
    Result = 0.0;
  else
    Result = std::ldexp(double(Mantissa), (Exponent == 0 ? 1 : Exponent) - 16383 - 63);
  return Negative ? -Result : Result;
}

double ReadStreamExtended(TStream* AStream) {
  Byte Bytes[10];
  AStream->ReadBuffer(Bytes, 10);
  return ExtendedToDouble(Bytes);
}

void WriteStreamExtended(TStream* AStream, double AValue) {
  Byte Bytes[10];
  DoubleToExtended(AValue, Bytes);
  AStream->WriteBuffer(Bytes, 10);
}

RawByteString ReadStreamAnsiString(TStream* AStream) {
  const Integer Length = ReadStreamInt32(AStream);
  CheckLength(AStream, Length, 1, cxSStreamBadLength);
  RawByteString Result(size_t(Length), '\0');
  if (Length > 0) AStream->ReadBuffer(Result.data(), Length);
  return Result;
}

void WriteStreamAnsiString(TStream* AStream, const RawByteString& AValue) {
  WriteStreamInt32(AStream, Integer(AValue.size()));
  if (!AValue.empty()) AStream->WriteBuffer(AValue.data(), Integer(AValue.size()));
}

String ReadStreamUTF8String(TStream* AStream) { return UTF8ToString(ReadStreamAnsiString(AStream)); }

void WriteStreamUTF8String(TStream* AStream, const String& AValue) {
  WriteStreamAnsiString(AStream, StringToUTF8(AValue));
}

String ReadStreamWideString(TStream* AStream) {
  const Integer Count = ReadStreamInt32(AStream);
  CheckLength(AStream, Count, 2, cxSStreamBadLength);
  String Result;
  Result.reserve(size_t(Count));
  for (Integer I = 0; I < Count; ++I) Result.push_back(Char(ReadStreamWord(AStream)));
  return Result;
}

void WriteStreamWideString(TStream* AStream, const String& AValue) {
  WriteStreamInt32(AStream, Integer(AValue.size()));
  for (Char C : AValue) WriteStreamWord(AStream, Word(C));
}

// ---- Tagged variants -----------------------------------------------------------------

namespace {

[[noreturn]] void WriteFailed() { throw EWriteError(LoadResourceText(cxSStreamWriteError)); }

void WriteCompactInteger(TStream* AStream, Int64 AValue) {
  if (AValue >= -128 && AValue <= 127) {
    WriteStreamByte(AStream, cxvtShortInt);
    WriteRaw<ShortInt>(AStream, ShortInt(AValue));
  } else if (AValue >= -32768 && AValue <= 32767) {
    WriteStreamByte(AStream, cxvtSmallInt);
    WriteStreamSmallInt(AStream, SmallInt(AValue));
  } else {
    WriteStreamByte(AStream, cxvtInteger);
    WriteStreamInt32(AStream, Integer(AValue));
  }
}

void WriteByteString(TStream* AStream, const RawByteString& AValue) {
  if (AValue.size() <= 255) {
    WriteStreamByte(AStream, cxvtShortString);
    WriteStreamByte(AStream, Byte(AValue.size()));
    if (!AValue.empty()) AStream->WriteBuffer(AValue.data(), Integer(AValue.size()));
  } else {
    WriteStreamByte(AStream, cxvtLongString);
    WriteStreamAnsiString(AStream, AValue);
  }
}

void WriteArray(TStream* AStream, const Variant& AValue) {
  if (VarArrayDimCount(AValue) != 1) WriteFailed();
  const Integer Low = VarArrayLowBound(AValue), High = VarArrayHighBound(AValue);
  WriteStreamByte(AStream, cxvtArray);
  WriteCompactInteger(AStream, Int64(High) - Low + 1);
  for (Integer I = Low; I <= High; ++I) WriteTaggedVariant(AStream, AValue.GetElement(I));
}

Variant ReadValue(TStream* AStream, Integer ADepth);

Variant ReadArray(TStream* AStream, Integer ADepth) {
  if (ADepth >= cxMaxTaggedVariantDepth) DamagedStream(cxSStreamTooDeep);
  Int64 Count;
  switch (ReadStreamByte(AStream)) {
    case cxvtShortInt:
      Count = ReadRaw<ShortInt>(AStream);
      break;
    case cxvtSmallInt:
      Count = ReadStreamSmallInt(AStream);
      break;
    case cxvtInteger:
      Count = ReadStreamInt32(AStream);
      break;
    default:
      DamagedStream(cxSStreamBadCount);
  }
  // Every element takes at least its tag byte.
  CheckLength(AStream, Count, 1, cxSStreamBadCount);
  std::vector<Variant> Items;
  Items.reserve(size_t(Count));
  for (Int64 I = 0; I < Count; ++I) Items.push_back(ReadValue(AStream, ADepth + 1));
  return VarArrayOf(Items);
}

Variant ReadValue(TStream* AStream, Integer ADepth) {
  switch (ReadStreamByte(AStream)) {
    case cxvtNull:
      return Null();
    case cxvtArray:
      return ReadArray(AStream, ADepth);
    case cxvtShortInt:
      return Variant(ReadRaw<ShortInt>(AStream));
    case cxvtSmallInt:
      return Variant(ReadStreamSmallInt(AStream));
    case cxvtInteger:
      return Variant(ReadStreamInt32(AStream));
    case cxvtExtended:
      return Variant(ReadStreamExtended(AStream));
    case cxvtShortString: {
      const Byte Length = ReadStreamByte(AStream);
      RawByteString Bytes(Length, '\0');
      if (Length > 0) AStream->ReadBuffer(Bytes.data(), Length);
      return VarFromRawByteString(Bytes);
    }
    case cxvtFalse:
      return Variant(false);
    case cxvtTrue:
      return Variant(true);
    case cxvtLongString:
      return VarFromRawByteString(ReadStreamAnsiString(AStream));
    case cxvtEmpty:
      return Unassigned();
    case cxvtSingle:
      return Variant(ReadStreamSingle(AStream));
    case cxvtCurrency:
      return Variant(ReadStreamCurrency(AStream));
    case cxvtDate:
      return VarFromDateTime(ReadStreamDateTime(AStream));
    case cxvtWideString:
      return Variant(ReadStreamWideString(AStream));
    case cxvtWord:
      return Variant(ReadStreamWord(AStream));
    case cxvtLongWord:
      return Variant(ReadStreamLongWord(AStream));
    case cxvtInt64:
      return Variant(ReadStreamInt64(AStream));
    default:
      DamagedStream(cxSStreamReadError);
  }
}

}  // namespace

void WriteTaggedVariant(TStream* AStream, const Variant& AValue) {
  if (VarIsArray(AValue)) return WriteArray(AStream, AValue);
  switch (VarType(AValue)) {
    case varEmpty:
      return WriteStreamByte(AStream, cxvtEmpty);
    case varNull:
      return WriteStreamByte(AStream, cxvtNull);
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
      return WriteCompactInteger(AStream, AValue.RawInt());
    case varSingle:
      WriteStreamByte(AStream, cxvtSingle);
      return WriteStreamSingle(AStream, float(AValue.RawDouble()));
    case varDouble:
      WriteStreamByte(AStream, cxvtExtended);
      return WriteStreamExtended(AStream, AValue.RawDouble());
    case varCurrency:
      WriteStreamByte(AStream, cxvtCurrency);
      return WriteStreamCurrency(AStream, AValue.AsCurrency());
    case varDate:
      WriteStreamByte(AStream, cxvtDate);
      return WriteStreamDateTime(AStream, AValue.RawDouble());
    case varOleStr:
      WriteStreamByte(AStream, cxvtWideString);
      return WriteStreamWideString(AStream, AValue.RawString());
    case varBoolean:
      return WriteStreamByte(AStream, AValue.AsBoolean() ? cxvtTrue : cxvtFalse);
    case varString:
      return WriteByteString(AStream, AValue.RawBytes());
    case varWord:
      WriteStreamByte(AStream, cxvtWord);
      return WriteStreamWord(AStream, Word(AValue.RawInt()));
    case varLongWord:
      WriteStreamByte(AStream, cxvtLongWord);
      return WriteStreamLongWord(AStream, LongWord(AValue.RawInt()));
    case varInt64:
      WriteStreamByte(AStream, cxvtInt64);
      return WriteStreamInt64(AStream, AValue.RawInt());
    default:
      break;
  }
  RawByteString Text;
  try {
    Text = StringToUTF8(VarToStr(AValue));
  } catch (const Exception&) {
    WriteFailed();
  }
  WriteByteString(AStream, Text);
}

Variant ReadTaggedVariant(TStream* AStream) { return ReadValue(AStream, 0); }
