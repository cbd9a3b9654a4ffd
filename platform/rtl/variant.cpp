#include "platform/rtl/variant.h"

#include <cfloat>
#include <cmath>

#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsStringType(TVarType t) { return t == varOleStr || t == varString; }
bool IsFloatType(TVarType t) { return t == varSingle || t == varDouble; }
bool IsDateType(TVarType t) { return t == varDate || t == varSQLTimeStampCode; }

bool IsScalarType(TVarType t) {
  return IsIntegerType(t) || IsStringType(t) || IsFloatType(t) || t == varCurrency ||
         t == varDate || t == varBoolean || t == varFMTBcdCode || t == varSQLTimeStampCode;
}

[[noreturn]] void RaiseCast(TVarType from, TVarType to) {
  throw EVariantTypeCastError(u"Could not convert variant of type (" + VarTypeAsText(from) +
                              u") into type (" + VarTypeAsText(to) + u")");
}

[[noreturn]] void RaiseOverflow(TVarType from, TVarType to) {
  throw EVariantOverflowError(u"Overflow while converting variant of type (" +
                              VarTypeAsText(from) + u") into type (" + VarTypeAsText(to) + u")");
}

[[noreturn]] void RaiseInvalidOp() {
  throw EVariantInvalidOpError(u"Invalid variant operation");
}

[[noreturn]] void RaiseZeroDivide() {
  throw EZeroDivide(u"Floating point division by zero");
}

struct IntRange {
  Int64 Min;
  Int64 Max;
};

IntRange RangeOf(TVarType t) {
  switch (t) {
    case varShortInt: return {INT8_MIN, INT8_MAX};
    case varByte: return {0, UINT8_MAX};
    case varSmallint: return {INT16_MIN, INT16_MAX};
    case varWord: return {0, UINT16_MAX};
    case varInteger: return {INT32_MIN, INT32_MAX};
    case varLongWord: return {0, UINT32_MAX};
    default: return {INT64_MIN, INT64_MAX};
  }
}

Int64 CheckRange(Int64 value, TVarType from, TVarType to) {
  const IntRange range = RangeOf(to);
  if (value < range.Min || value > range.Max) RaiseOverflow(from, to);
  return value;
}

Int64 RoundToInt64(double value, TVarType from, TVarType to) {
  if (!std::isfinite(value) || value >= 9223372036854775808.0 || value < -9223372036854775808.0) {
    RaiseOverflow(from, to);
  }
  return Int64(std::nearbyint(value));  // the default rounding: ties to even
}

bool ParseBoolean(const String& text, bool& value) {
  const String trimmed = Trim(text);
  if (SameText(trimmed, u"True")) {
    value = true;
    return true;
  }
  if (SameText(trimmed, u"False")) {
    value = false;
    return true;
  }
  double number = 0;
  if (!TryStrToFloat(trimmed, number)) return false;
  value = number != 0;
  return true;
}

// ---- Conversions of a scalar value; `to` names the target in errors ----------

String ToStr(const Variant& v, TVarType to);

Int64 ToInt64(const Variant& v, TVarType to) {
  const TVarType t = v.Type();
  if (IsIntegerType(t)) return v.RawInt();
  switch (t) {
    case varEmpty: return 0;
    case varBoolean: return v.RawInt() ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate: return RoundToInt64(v.RawDouble(), t, to);
    case varCurrency: {
      const Currency c = Currency::FromRaw(v.RawInt());
      return BcdToInt64(CurrToBCD(c));
    }
    case varOleStr:
    case varString: {
      const String text = ToStr(v, varOleStr);
      Int64 i = 0;
      if (TryStrToInt64(Trim(text), i)) return i;
      double d = 0;
      if (TryStrToFloat(text, d)) return RoundToInt64(d, t, to);
      RaiseCast(t, to);
    }
    case varFMTBcdCode:
      try {
        return BcdToInt64(v.RawBcd());
      } catch (const EBcdOverflowException&) {
        RaiseOverflow(t, to);
      }
    case varSQLTimeStampCode:
      return RoundToInt64(SQLTimeStampToDateTime(v.RawTimeStamp()), t, to);
    default: RaiseCast(t, to);
  }
}

double ToDouble(const Variant& v, TVarType to) {
  const TVarType t = v.Type();
  if (IsIntegerType(t)) return double(v.RawInt());
  switch (t) {
    case varEmpty: return 0;
    case varBoolean: return v.RawInt() ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate: return v.RawDouble();
    case varCurrency: return Currency::FromRaw(v.RawInt()).ToDouble();
    case varOleStr:
    case varString: {
      double d = 0;
      if (!TryStrToFloat(ToStr(v, varOleStr), d)) RaiseCast(t, to);
      return d;
    }
    case varFMTBcdCode: return BcdToDouble(v.RawBcd());
    case varSQLTimeStampCode: return SQLTimeStampToDateTime(v.RawTimeStamp());
    default: RaiseCast(t, to);
  }
}

Currency ToCurrency(const Variant& v, TVarType to) {
  const TVarType t = v.Type();
  if (IsIntegerType(t) || t == varBoolean || t == varEmpty) {
    const Int64 i = ToInt64(v, to);
    if (i > MaxCurrencyRaw / Currency::Scale || i < MinCurrencyRaw / Currency::Scale) {
      RaiseOverflow(t, to);
    }
    return Currency::FromRaw(i * Currency::Scale);
  }
  switch (t) {
    case varCurrency: return Currency::FromRaw(v.RawInt());
    case varOleStr:
    case varString: {
      Currency c;
      const String text = ToStr(v, varOleStr);
      if (TryStrToCurr(text, c)) return c;
      double d = 0;
      if (TryStrToFloat(text, d)) RaiseOverflow(t, to);
      RaiseCast(t, to);
    }
    case varFMTBcdCode: {
      Currency c;
      if (!BCDToCurr(v.RawBcd(), c)) RaiseOverflow(t, to);
      return c;
    }
    default:
      try {
        return Currency::FromDouble(ToDouble(v, to));
      } catch (const EOverflow&) {
        RaiseOverflow(t, to);
      }
  }
}

bool ToBoolean(const Variant& v, TVarType to) {
  const TVarType t = v.Type();
  switch (t) {
    case varBoolean: return v.RawInt() != 0;
    case varOleStr:
    case varString: {
      bool b = false;
      if (!ParseBoolean(ToStr(v, varOleStr), b)) RaiseCast(t, to);
      return b;
    }
    case varFMTBcdCode: return !IsBcdZero(v.RawBcd());
    case varCurrency: return v.RawInt() != 0;
    default:
      if (IsIntegerType(t)) return v.RawInt() != 0;
      return ToDouble(v, to) != 0;
  }
}

String ToStr(const Variant& v, TVarType to) {
  const TVarType t = v.Type();
  if (IsIntegerType(t)) return IntToStr(v.RawInt());
  switch (t) {
    case varEmpty: return String();
    case varBoolean: return v.RawInt() ? u"True" : u"False";
    case varSingle: return FloatToStrF(v.RawDouble(), ffGeneral, 7, 0);
    case varDouble: return FloatToStr(v.RawDouble());
    case varCurrency: return CurrToStr(Currency::FromRaw(v.RawInt()));
    case varDate: return DateTimeToStr(v.RawDouble());
    case varOleStr: return v.RawString();
    case varString: return UTF8ToString(v.RawBytes());
    case varFMTBcdCode: return BcdToStr(v.RawBcd());
    case varSQLTimeStampCode: return SQLTimeStampToStr(String(), v.RawTimeStamp());
    default: RaiseCast(t, to);
  }
}

TDateTime ToDate(const Variant& v, TVarType to) {
  const TVarType t = v.Type();
  if (IsStringType(t)) {
    const String text = ToStr(v, varOleStr);
    TDateTime d = 0;
    if (TryStrToDateTime(text, d) || TryStrToFloat(text, d)) return d;
    RaiseCast(t, to);
  }
  return ToDouble(v, to);
}

TBcd ToBcdValue(const Variant& v, TVarType to) {
  const TVarType t = v.Type();
  if (IsIntegerType(t) || t == varBoolean || t == varEmpty) return Int64ToBcd(ToInt64(v, to));
  switch (t) {
    case varFMTBcdCode: return v.RawBcd();
    case varCurrency: return CurrToBCD(Currency::FromRaw(v.RawInt()));
    case varOleStr:
    case varString: {
      TBcd b;
      if (!TryStrToBcd(ToStr(v, varOleStr), b)) RaiseCast(t, to);
      return b;
    }
    default:
      try {
        return DoubleToBcd(ToDouble(v, to));
      } catch (const EBcdException&) {
        RaiseOverflow(t, to);
      }
  }
}

// ---- Comparison ----------------------------------------------------------------

enum class Kind { Empty, Null, Number, Boolean, Date, String, Array };

Kind KindOf(const Variant& v) {
  const TVarType t = v.Type();
  if (t & varArray) return Kind::Array;
  if (t == varEmpty) return Kind::Empty;
  if (t == varNull) return Kind::Null;
  if (t == varBoolean) return Kind::Boolean;
  if (IsDateType(t)) return Kind::Date;
  if (IsStringType(t)) return Kind::String;
  return Kind::Number;
}

template <class T>
Integer Sign3(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// A string read as a number: Int64 when whole, else double.
Variant StringAsNumber(const Variant& s) {
  const String text = ToStr(s, varOleStr);
  Int64 i = 0;
  if (TryStrToInt64(Trim(text), i)) return Variant(i);
  return Variant(ToDouble(s, varDouble));
}

bool IsIntegerLike(TVarType t) { return IsIntegerType(t) || t == varBoolean; }

Integer CompareDoubles(double a, double b) {
  // NaN equals NaN and sorts before every number, so the order stays total.
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) ? (std::isnan(b) ? 0 : -1) : 1;
  return Sign3(a, b);
}

Integer CompareNumbers(const Variant& a, const Variant& b) {
  const TVarType ta = a.Type();
  const TVarType tb = b.Type();
  if (ta == varFMTBcdCode || tb == varFMTBcdCode) {
    if (IsFloatType(ta) || IsFloatType(tb) || IsDateType(ta) || IsDateType(tb)) {
      return CompareDoubles(ToDouble(a, varDouble), ToDouble(b, varDouble));
    }
    return BcdCompare(ToBcdValue(a, VarFMTBcd()), ToBcdValue(b, VarFMTBcd()));
  }
  if (IsIntegerLike(ta) && IsIntegerLike(tb)) return Sign3(ToInt64(a, varInt64), ToInt64(b, varInt64));
  if ((IsIntegerLike(ta) || ta == varCurrency) && (IsIntegerLike(tb) || tb == varCurrency)) {
    const __int128 ra = ta == varCurrency ? __int128(a.RawInt()) : __int128(ToInt64(a, varInt64)) * Currency::Scale;
    const __int128 rb = tb == varCurrency ? __int128(b.RawInt()) : __int128(ToInt64(b, varInt64)) * Currency::Scale;
    return Sign3(ra, rb);
  }
  return CompareDoubles(ToDouble(a, varDouble), ToDouble(b, varDouble));
}

// Three-way order of two values that are neither Null nor arrays.
Integer CompareScalars(const Variant& a, const Variant& b) {
  Kind ka = KindOf(a);
  Kind kb = KindOf(b);
  if (ka == Kind::String && kb == Kind::String) {
    if (a.Type() == varOleStr && b.Type() == varOleStr) return Sign3(a.RawString(), b.RawString());
    return Sign3(ToStr(a, varOleStr), ToStr(b, varOleStr));
  }
  if (ka == Kind::Empty && kb == Kind::Empty) return 0;
  if (ka == Kind::Empty || kb == Kind::Empty) {
    const bool emptyFirst = ka == Kind::Empty;
    const Variant& other = emptyFirst ? b : a;
    const Variant zero = KindOf(other) == Kind::String ? Variant(String()) : Variant(0);
    return emptyFirst ? CompareScalars(zero, other) : CompareScalars(other, zero);
  }
  if (ka == Kind::String || kb == Kind::String) {
    const bool stringFirst = ka == Kind::String;
    const Variant& str = stringFirst ? a : b;
    const Variant& other = stringFirst ? b : a;
    Variant converted;
    switch (KindOf(other)) {
      case Kind::Boolean: converted = Variant(ToBoolean(str, varBoolean)); break;
      case Kind::Date: converted = VarFromDateTime(ToDate(str, varDate)); break;
      default: converted = StringAsNumber(str); break;
    }
    return stringFirst ? CompareScalars(converted, other) : CompareScalars(other, converted);
  }
  if (ka == Kind::Boolean && kb == Kind::Boolean) return Sign3(a.RawInt(), b.RawInt());
  return CompareNumbers(a, b);
}

bool SameBounds(const Variant::ArrayData& a, const Variant::ArrayData& b) {
  if (a.Bounds.size() != b.Bounds.size()) return false;
  for (size_t i = 0; i < a.Bounds.size(); ++i) {
    if (a.Bounds[i].LowBound != b.Bounds[i].LowBound ||
        a.Bounds[i].ElementCount != b.Bounds[i].ElementCount) {
      return false;
    }
  }
  return true;
}

template <class Equal>
bool ArraysEqual(const Variant& a, const Variant& b, Equal equal) {
  if (!VarIsArray(a) || !VarIsArray(b)) return false;
  if (!SameBounds(*a.Array(), *b.Array())) return false;
  const auto& ea = a.Array()->Elements;
  const auto& eb = b.Array()->Elements;
  for (size_t i = 0; i < ea.size(); ++i) {
    if (!equal(ea[i], eb[i])) return false;
  }
  return true;
}

// Order with Null first; raises for arrays.
Integer OrderOf(const Variant& a, const Variant& b) {
  if (VarIsArray(a) || VarIsArray(b)) RaiseInvalidOp();
  const bool nullA = VarIsNull(a);
  const bool nullB = VarIsNull(b);
  if (nullA || nullB) return nullA == nullB ? 0 : (nullA ? -1 : 1);
  return CompareScalars(a, b);
}

// ---- Arithmetic -------------------------------------------------------------------

enum class Op { Add, Subtract, Multiply, Divide };

// Strings become numbers, Empty and Booleans integers, time stamps dates.
Variant AsOperand(const Variant& v) {
  const TVarType t = v.Type();
  if (IsStringType(t)) return StringAsNumber(v);
  if (t == varEmpty) return Variant(0);
  if (t == varBoolean) return Variant(Integer(v.RawInt() ? -1 : 0));
  if (t == varSQLTimeStampCode) return VarFromDateTime(SQLTimeStampToDateTime(v.RawTimeStamp()));
  return v;
}

double ApplyDouble(double a, double b, Op op) {
  switch (op) {
    case Op::Add: return a + b;
    case Op::Subtract: return a - b;
    case Op::Multiply: return a * b;
    case Op::Divide:
      if (b == 0) RaiseZeroDivide();
      return a / b;
  }
  return 0;
}

Variant ApplyInteger(const Variant& a, const Variant& b, Op op) {
  const Int64 x = a.RawInt();
  const Int64 y = b.RawInt();
  if (op == Op::Divide) return Variant(ApplyDouble(double(x), double(y), op));
  __int128 r = 0;
  switch (op) {
    case Op::Add: r = __int128(x) + y; break;
    case Op::Subtract: r = __int128(x) - y; break;
    default: r = __int128(x) * y; break;
  }
  if (r > INT64_MAX || r < INT64_MIN) RaiseOverflow(varInt64, varInt64);
  const auto fits32 = [](TVarType t) { return RangeOf(t).Min >= INT32_MIN && RangeOf(t).Max <= INT32_MAX; };
  const bool narrow = fits32(a.Type()) && fits32(b.Type());
  if (narrow && r >= INT32_MIN && r <= INT32_MAX) return Variant(Integer(r));
  return Variant(Int64(r));
}

Variant ApplyCurrency(const Variant& a, const Variant& b, Op op) {
  const Currency x = ToCurrency(a, varCurrency);
  const Currency y = ToCurrency(b, varCurrency);
  try {
    switch (op) {
      case Op::Add: return Variant(x + y);
      case Op::Subtract: return Variant(x - y);
      case Op::Multiply: return Variant(x * y);
      case Op::Divide: return Variant(x / y);
    }
  } catch (const EOverflow&) {
    RaiseOverflow(varCurrency, varCurrency);
  }
  return Variant();
}

Variant ApplyBcd(const Variant& a, const Variant& b, Op op) {
  const TBcd x = ToBcdValue(a, VarFMTBcd());
  const TBcd y = ToBcdValue(b, VarFMTBcd());
  try {
    switch (op) {
      case Op::Add: return VarFMTBcdCreate(BcdAdd(x, y));
      case Op::Subtract: return VarFMTBcdCreate(BcdSubtract(x, y));
      case Op::Multiply: return VarFMTBcdCreate(BcdMultiply(x, y));
      case Op::Divide: return Variant(ApplyDouble(BcdToDouble(x), BcdToDouble(y), op));
    }
  } catch (const EBcdOverflowException&) {
    RaiseOverflow(VarFMTBcd(), VarFMTBcd());
  }
  return Variant();
}

Variant Concatenate(const Variant& a, const Variant& b) {
  if (a.Type() == varOleStr || b.Type() == varOleStr) {
    return Variant(ToStr(a, varOleStr) + ToStr(b, varOleStr));
  }
  return VarFromRawByteString(a.RawBytes() + b.RawBytes());
}

Variant Arithmetic(const Variant& left, const Variant& right, Op op) {
  if (VarIsArray(left) || VarIsArray(right)) RaiseInvalidOp();
  if (VarIsNull(left) || VarIsNull(right)) return Null();
  const bool stringOrEmptyL = VarIsStr(left) || VarIsEmpty(left);
  const bool stringOrEmptyR = VarIsStr(right) || VarIsEmpty(right);
  if (op == Op::Add && stringOrEmptyL && stringOrEmptyR && (VarIsStr(left) || VarIsStr(right))) {
    return Concatenate(left, right);
  }
  const Variant a = AsOperand(left);
  const Variant b = AsOperand(right);
  const TVarType ta = a.Type();
  const TVarType tb = b.Type();
  if (ta == varDate || tb == varDate) {
    const double r = ApplyDouble(ToDouble(a, varDate), ToDouble(b, varDate), op);
    const bool dateResult = (op == Op::Add) || (op == Op::Subtract && !(ta == varDate && tb == varDate));
    return dateResult ? VarFromDateTime(r) : Variant(r);
  }
  if ((ta == varFMTBcdCode || tb == varFMTBcdCode) && !IsFloatType(ta) && !IsFloatType(tb)) {
    return ApplyBcd(a, b, op);
  }
  if (IsFloatType(ta) || IsFloatType(tb) || ta == varFMTBcdCode || tb == varFMTBcdCode) {
    return Variant(ApplyDouble(ToDouble(a, varDouble), ToDouble(b, varDouble), op));
  }
  if (ta == varCurrency || tb == varCurrency) return ApplyCurrency(a, b, op);
  if (IsIntegerType(ta) && IsIntegerType(tb)) return ApplyInteger(a, b, op);
  RaiseInvalidOp();
}

// ---- Arrays --------------------------------------------------------------------

[[noreturn]] void RaiseBadIndex() { throw EVariantBadIndexError(u"Variant or safe array index out of bounds"); }

[[noreturn]] void RaiseNotArray() { throw EVariantInvalidArgError(u"Invalid argument: not a variant array"); }

const Variant::ArrayData& ArrayOf(const Variant& v) {
  if (!VarIsArray(v)) RaiseNotArray();
  return *v.Array();
}

size_t FlatIndex(const Variant::ArrayData& data, const std::vector<Integer>& indices) {
  if (indices.size() != data.Bounds.size()) RaiseBadIndex();
  size_t offset = 0;
  for (size_t i = 0; i < indices.size(); ++i) {
    const Int64 relative = Int64(indices[i]) - data.Bounds[i].LowBound;
    if (relative < 0 || relative >= data.Bounds[i].ElementCount) RaiseBadIndex();
    offset = offset * size_t(data.Bounds[i].ElementCount) + size_t(relative);
  }
  return offset;
}

Variant ConvertForElement(const Variant& value, TVarType elementType) {
  return elementType == varVariant ? value : VarAsType(value, elementType);
}

}  // namespace

// ---- Variant ---------------------------------------------------------------------

struct Variant::Extra {
  RawByteString Bytes;
  TBcd Bcd;
  TSQLTimeStamp TimeStamp;
  ArrayData Array;
};

void Variant::ExtraDeleter::operator()(Extra* extra) const noexcept { delete extra; }

Variant::Extra& Variant::MakeExtra() {
  if (!FExtra) FExtra.reset(new Extra());
  return *FExtra;
}

const Variant::ArrayData* Variant::Array() const {
  return (FType & varArray) && FExtra ? &FExtra->Array : nullptr;
}

const RawByteString& Variant::RawBytes() const {
  static const RawByteString none;
  return FType == varString && FExtra ? FExtra->Bytes : none;
}

const TBcd& Variant::RawBcd() const {
  static const TBcd none;
  return FType == varFMTBcdCode && FExtra ? FExtra->Bcd : none;
}

const TSQLTimeStamp& Variant::RawTimeStamp() const {
  static const TSQLTimeStamp none;
  return FType == varSQLTimeStampCode && FExtra ? FExtra->TimeStamp : none;
}

Variant::Variant() noexcept = default;
Variant::~Variant() = default;

Variant::Variant(const Variant& other)
    : FType(other.FType),
      FInt(other.FInt),
      FDouble(other.FDouble),
      FString(other.FString),
      FExtra(other.FExtra ? new Extra(*other.FExtra) : nullptr) {}

Variant::Variant(Variant&& other) noexcept
    : FType(other.FType),
      FInt(other.FInt),
      FDouble(other.FDouble),
      FString(std::move(other.FString)),
      FExtra(std::move(other.FExtra)) {
  other.FType = varEmpty;
}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) {
    FType = other.FType;
    FInt = other.FInt;
    FDouble = other.FDouble;
    FString = std::move(other.FString);
    FExtra = std::move(other.FExtra);
    other.FType = varEmpty;
  }
  return *this;
}

Variant::Variant(bool value) : FType(varBoolean), FInt(value ? 1 : 0) {}
Variant::Variant(float value) : FType(varSingle), FDouble(value) {}
Variant::Variant(double value) : FType(varDouble), FDouble(value) {}
Variant::Variant(long double value) : FType(varDouble), FDouble(double(value)) {}
Variant::Variant(Currency value) : FType(varCurrency), FInt(value.Raw()) {}
Variant::Variant(const String& value) : FType(varOleStr), FString(value) {}
Variant::Variant(String&& value) : FType(varOleStr), FString(std::move(value)) {}
Variant::Variant(const char16_t* value) : FType(varOleStr), FString(value ? value : u"") {}

void Variant::SetInt(TVarType type, Int64 value) {
  FType = type;
  FInt = value;
}

void Variant::SetUInt64(std::uint64_t value) {
  if (value > std::uint64_t(INT64_MAX)) RaiseOverflow(varInt64, varInt64);
  SetInt(varInt64, Int64(value));
}

Integer Variant::AsInteger() const { return Integer(CheckRange(ToInt64(*this, varInteger), FType, varInteger)); }
Int64 Variant::AsInt64() const { return ToInt64(*this, varInt64); }
double Variant::AsDouble() const { return ToDouble(*this, varDouble); }
Currency Variant::AsCurrency() const { return ToCurrency(*this, varCurrency); }
bool Variant::AsBoolean() const { return ToBoolean(*this, varBoolean); }
String Variant::AsString() const { return ToStr(*this, varOleStr); }
TDateTime Variant::AsDateTime() const { return ToDate(*this, varDate); }

RawByteString Variant::AsRawByteString() const {
  if (FType == varString) return RawBytes();
  return StringToUTF8(ToStr(*this, varString));
}

Variant::ArrayData& Variant::MutableArray() {
  if (!VarIsArray(*this)) RaiseNotArray();
  return FExtra->Array;
}

Variant Variant::GetElement(Integer index) const { return (*this)[index]; }

void Variant::PutElement(Integer index, const Variant& value) {
  if (VarArrayDimCount(*this) != 1) RaiseNotArray();
  PutElementAt({index}, value);
}

void Variant::PutElementAt(const std::vector<Integer>& indices, const Variant& value) {
  ArrayData& data = MutableArray();
  const size_t index = FlatIndex(data, indices);
  data.Elements[index] = ConvertForElement(value, data.ElementType);
}

const Variant& Variant::operator[](Integer index) const {
  const ArrayData& data = ArrayOf(*this);
  if (data.Bounds.size() != 1) RaiseNotArray();
  return data.Elements[FlatIndex(data, {index})];
}

Variant& Variant::operator[](Integer index) {
  ArrayData& data = MutableArray();
  if (data.Bounds.size() != 1) RaiseNotArray();
  return data.Elements[FlatIndex(data, {index})];
}

Variant& Variant::operator+=(const Variant& other) { return *this = *this + other; }
Variant& Variant::operator-=(const Variant& other) { return *this = *this - other; }
Variant& Variant::operator*=(const Variant& other) { return *this = *this * other; }
Variant& Variant::operator/=(const Variant& other) { return *this = *this / other; }

Variant Variant::MakeInt(TVarType type, Int64 value) {
  Variant v;
  v.SetInt(type, value);
  return v;
}

Variant Variant::MakeDouble(TVarType type, double value) {
  Variant v;
  v.FType = type;
  v.FDouble = type == varSingle ? double(float(value)) : value;
  return v;
}

Variant Variant::MakeBytes(RawByteString value) {
  Variant v;
  v.FType = varString;
  v.MakeExtra().Bytes = std::move(value);
  return v;
}

Variant Variant::MakeBcd(const TBcd& value) {
  Variant v;
  v.FType = varFMTBcdCode;
  v.MakeExtra().Bcd = value;
  return v;
}

Variant Variant::MakeTimeStamp(const TSQLTimeStamp& value) {
  Variant v;
  v.FType = varSQLTimeStampCode;
  v.MakeExtra().TimeStamp = value;
  return v;
}

Variant Variant::MakeArray(std::vector<TVarArrayBound> bounds, TVarType elementType) {
  Variant v;
  v.FType = TVarType(varArray | elementType);
  ArrayData& data = v.MakeExtra().Array;
  size_t count = 1;
  for (const TVarArrayBound& b : bounds) count *= size_t(b.ElementCount);
  const Variant initial = elementType == varVariant ? Variant() : VarAsType(Variant(), elementType);
  data.Bounds = std::move(bounds);
  data.ElementType = elementType;
  data.Elements.assign(count, initial);
  return v;
}

Variant Variant::MakeNull() {
  Variant v;
  v.FType = varNull;
  return v;
}

// ---- Factories and tests ------------------------------------------------------------

Variant Null() { return Variant::MakeNull(); }
Variant Unassigned() { return Variant(); }
Variant VarFromDateTime(TDateTime value) { return Variant::MakeDouble(varDate, value); }
Variant VarFromRawByteString(const RawByteString& value) { return Variant::MakeBytes(value); }

TVarType VarType(const Variant& v) { return v.Type(); }
bool VarIsNull(const Variant& v) { return v.Type() == varNull; }
bool VarIsEmpty(const Variant& v) { return v.Type() == varEmpty; }
bool VarIsClear(const Variant& v) { return v.Type() == varEmpty; }
bool VarIsNullOrEmpty(const Variant& v) { return VarIsNull(v) || VarIsEmpty(v); }
bool VarIsOrdinal(const Variant& v) { return IsIntegerLike(v.Type()); }
bool VarIsFloat(const Variant& v) { return IsFloatType(v.Type()) || v.Type() == varCurrency; }
bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v); }
bool VarIsStr(const Variant& v) { return IsStringType(v.Type()); }
bool VarIsArray(const Variant& v) { return (v.Type() & varArray) != 0; }
bool VarIsType(const Variant& v, TVarType type) { return v.Type() == type; }

String VarTypeAsText(TVarType type) {
  if (type & varArray) return u"Array " + VarTypeAsText(type & varTypeMask);
  switch (type) {
    case varEmpty: return u"Empty";
    case varNull: return u"Null";
    case varSmallint: return u"Smallint";
    case varInteger: return u"Integer";
    case varSingle: return u"Single";
    case varDouble: return u"Double";
    case varCurrency: return u"Currency";
    case varDate: return u"Date";
    case varOleStr: return u"String";
    case varBoolean: return u"Boolean";
    case varVariant: return u"Variant";
    case varShortInt: return u"ShortInt";
    case varByte: return u"Byte";
    case varWord: return u"Word";
    case varLongWord: return u"LongWord";
    case varInt64: return u"Int64";
    case varString: return u"AnsiString";
    case varFMTBcdCode: return u"FMTBcd";
    case varSQLTimeStampCode: return u"SQLTimeStamp";
    default: return u"Unknown";
  }
}

// ---- Conversions ------------------------------------------------------------------------

Variant VarAsType(const Variant& v, TVarType type) {
  const TVarType from = v.Type();
  if (type == varVariant || type == from) return v;
  if (type == varEmpty) return Variant();
  if (type == varNull) return Null();
  if (VarIsArray(v) || !IsScalarType(type)) RaiseCast(from, type);
  if (from == varNull) RaiseCast(from, type);
  if (IsIntegerType(type)) return Variant::MakeInt(type, CheckRange(ToInt64(v, type), from, type));
  switch (type) {
    case varSingle: {
      const double d = ToDouble(v, type);
      if (std::isfinite(d) && std::fabs(d) > FLT_MAX) RaiseOverflow(from, type);
      return Variant::MakeDouble(varSingle, d);
    }
    case varDouble: return Variant(ToDouble(v, type));
    case varCurrency: return Variant(ToCurrency(v, type));
    case varDate: return VarFromDateTime(ToDate(v, type));
    case varOleStr: return Variant(ToStr(v, type));
    case varString: return VarFromRawByteString(v.AsRawByteString());
    case varBoolean: return Variant(ToBoolean(v, type));
    case varFMTBcdCode: return Variant::MakeBcd(ToBcdValue(v, type));
    case varSQLTimeStampCode: {
      // A date the stamp cannot hold (NaN and infinities included) is an
      // overflow of the conversion.
      try {
        return Variant::MakeTimeStamp(DateTimeToSQLTimeStamp(ToDate(v, type)));
      } catch (const ESQLTimeStampException&) {
        RaiseOverflow(from, type);
      }
    }
    default: RaiseCast(from, type);
  }
}

String VarToStr(const Variant& v) { return VarToStrDef(v, String()); }

String VarToStrDef(const Variant& v, const String& defaultValue) {
  return VarIsNull(v) ? defaultValue : ToStr(v, varOleStr);
}

String VarToWideStr(const Variant& v) { return VarToStr(v); }

TDateTime VarToDateTime(const Variant& v) { return ToDate(v, varDate); }

// ---- Comparison ----------------------------------------------------------------------------

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  const bool nullA = VarIsNull(a);
  const bool nullB = VarIsNull(b);
  if (nullA || nullB) return nullA == nullB ? vrEqual : vrNotEqual;
  if (VarIsArray(a) || VarIsArray(b)) return a == b ? vrEqual : vrNotEqual;
  const Integer order = CompareScalars(a, b);
  return order == 0 ? vrEqual : (order < 0 ? vrLessThan : vrGreaterThan);
}

bool VarSameValue(const Variant& a, const Variant& b) {
  if (VarIsEmpty(a) || VarIsEmpty(b)) return VarIsEmpty(a) && VarIsEmpty(b);
  if (VarIsNull(a) || VarIsNull(b)) return VarIsNull(a) && VarIsNull(b);
  if (VarIsArray(a) || VarIsArray(b)) return ArraysEqual(a, b, VarSameValue);
  try {
    return CompareScalars(a, b) == 0;
  } catch (const EVariantError&) {
    return false;
  }
}

bool operator==(const Variant& a, const Variant& b) {
  if (VarIsArray(a) || VarIsArray(b)) {
    return ArraysEqual(a, b, [](const Variant& x, const Variant& y) { return x == y; });
  }
  return OrderOf(a, b) == 0;
}

bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
bool operator<(const Variant& a, const Variant& b) { return OrderOf(a, b) < 0; }
bool operator<=(const Variant& a, const Variant& b) { return OrderOf(a, b) <= 0; }
bool operator>(const Variant& a, const Variant& b) { return OrderOf(a, b) > 0; }
bool operator>=(const Variant& a, const Variant& b) { return OrderOf(a, b) >= 0; }

// ---- Arithmetic ----------------------------------------------------------------------------

Variant operator+(const Variant& a, const Variant& b) { return Arithmetic(a, b, Op::Add); }
Variant operator-(const Variant& a, const Variant& b) { return Arithmetic(a, b, Op::Subtract); }
Variant operator*(const Variant& a, const Variant& b) { return Arithmetic(a, b, Op::Multiply); }
Variant operator/(const Variant& a, const Variant& b) { return Arithmetic(a, b, Op::Divide); }

Variant operator-(const Variant& value) {
  if (VarIsArray(value)) RaiseInvalidOp();
  if (VarIsNull(value)) return Null();
  const Variant v = AsOperand(value);
  const TVarType t = v.Type();
  if (IsIntegerType(t)) return Arithmetic(Variant(0), v, Op::Subtract);
  switch (t) {
    case varSingle:
    case varDouble:
    case varDate: return Variant::MakeDouble(t, -v.RawDouble());
    case varCurrency: return Arithmetic(Variant(Currency()), v, Op::Subtract);
    case varFMTBcdCode: return VarFMTBcdCreate(BcdNegate(v.RawBcd()));
    default: RaiseInvalidOp();
  }
}

// ---- Arrays ----------------------------------------------------------------------------------

Variant VarArrayCreate(Integer low, Integer high, TVarType elementType) {
  return VarArrayCreate(std::vector<Integer>{low, high}, elementType);
}

Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType) {
  if (bounds.empty() || bounds.size() % 2 != 0 ||
      (elementType != varVariant && !IsScalarType(elementType))) {
    throw EVariantArrayCreateError(u"Error creating variant or safe array");
  }
  std::vector<TVarArrayBound> dims;
  Int64 total = 1;
  for (size_t i = 0; i < bounds.size(); i += 2) {
    const Int64 count = Int64(bounds[i + 1]) - bounds[i] + 1;
    total *= count;
    if (count < 0 || total > (Int64(1) << 28)) {
      throw EVariantArrayCreateError(u"Error creating variant or safe array");
    }
    dims.push_back({bounds[i], Integer(count)});
  }
  return Variant::MakeArray(std::move(dims), elementType);
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  return VarArrayOf(std::vector<Variant>(values));
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  Variant result = VarArrayCreate(0, Integer(values.size()) - 1, varVariant);
  for (size_t i = 0; i < values.size(); ++i) result[Integer(i)] = values[i];
  return result;
}

Integer VarArrayDimCount(const Variant& v) {
  return VarIsArray(v) ? Integer(v.Array()->Bounds.size()) : 0;
}

namespace {
const TVarArrayBound& BoundOf(const Variant& v, Integer dim) {
  const Variant::ArrayData& data = ArrayOf(v);
  if (dim < 1 || dim > Integer(data.Bounds.size())) RaiseBadIndex();
  return data.Bounds[size_t(dim - 1)];
}
}  // namespace

Integer VarArrayLowBound(const Variant& v, Integer dim) { return BoundOf(v, dim).LowBound; }

Integer VarArrayHighBound(const Variant& v, Integer dim) {
  const TVarArrayBound& b = BoundOf(v, dim);
  return b.LowBound + b.ElementCount - 1;
}

TVarType VarArrayElementType(const Variant& v) { return ArrayOf(v).ElementType; }

Variant VarArrayGet(const Variant& v, const std::vector<Integer>& indices) {
  const Variant::ArrayData& data = ArrayOf(v);
  return data.Elements[FlatIndex(data, indices)];
}

void VarArrayPut(Variant& v, const Variant& value, const std::vector<Integer>& indices) {
  v.PutElementAt(indices, value);
}
