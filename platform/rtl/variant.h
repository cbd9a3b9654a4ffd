#pragma once
// Variant: one value of any of the program's scalar kinds, Null, Empty, or a
// variant array. Copies are deep (an array copy owns its own elements).
//
// Conversion rules:
// - Empty converts to 0, 0.0, False, "" and the date 0. Null raises
//   EVariantTypeCastError ("Could not convert variant of type (Null) into type
//   (Integer)"), except VarToStr and VarToStrDef, which give "" / the default.
// - Numbers to text: integers in decimal, doubles by FloatToStr, singles with
//   7 significant digits, currency by CurrToStr, BCD by BcdToStr, all with the
//   locale decimal separator; Booleans give "True" / "False"; dates and time
//   stamps give DateTimeToStr.
// - Text to numbers uses the locale decimal separator (TryStrToInt64 first for
//   integer targets, then TryStrToFloat rounded half to even); text to Boolean
//   accepts "True"/"False" in any case and any number (non-zero is True);
//   text to date uses TryStrToDateTime, then a plain number of days.
// - Booleans convert to the integers -1 / 0; numbers to Booleans: non-zero is True.
// - Byte strings (varString) hold UTF-8 text when converted to or from String.
// - A value that does not fit the target raises EVariantOverflowError; any
//   other failure raises EVariantTypeCastError.
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/rtl/currency.h"
#include "platform/rtl/fmtbcd.h"
#include "platform/rtl/sqltimst.h"
#include "platform/rtl/types.h"

using TVarType = Word;

inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;   // wide string: a String
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;  // element type of arrays of variants
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varString = 0x0100;   // byte string: a RawByteString
inline constexpr TVarType varUString = varOleStr;  // String is the wide string here
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;

// The custom types of the BCD and the SQL time-stamp values (fixed codes).
inline constexpr TVarType varFMTBcdCode = 0x0110;
inline constexpr TVarType varSQLTimeStampCode = 0x0111;
inline TVarType VarFMTBcd() { return varFMTBcdCode; }
inline TVarType VarSQLTimeStamp() { return varSQLTimeStampCode; }

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

struct TVarArrayBound {
  Integer LowBound = 0;
  Integer ElementCount = 0;
};

class Variant {
public:
  Variant() noexcept;  // Empty (unassigned)
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  Variant(bool value);
  // Integers take the type of their C++ type: int8 varShortInt, uint8 varByte,
  // int16 varSmallint, uint16 varWord, int32 varInteger, uint32 varLongWord,
  // int64 varInt64; uint64 becomes varInt64 (EVariantOverflowError above its range).
  template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> &&
             !std::is_same_v<T, char> && !std::is_same_v<T, char8_t> &&
             !std::is_same_v<T, char16_t> && !std::is_same_v<T, char32_t> &&
             !std::is_same_v<T, wchar_t>)
  Variant(T value) {
    if constexpr (std::is_signed_v<T>) {
      constexpr TVarType code = sizeof(T) == 1   ? varShortInt
                                : sizeof(T) == 2 ? varSmallint
                                : sizeof(T) == 4 ? varInteger
                                                 : varInt64;
      SetInt(code, Int64(value));
    } else if constexpr (sizeof(T) <= 4) {
      constexpr TVarType code = sizeof(T) == 1 ? varByte : sizeof(T) == 2 ? varWord : varLongWord;
      SetInt(code, Int64(value));
    } else {
      SetUInt64(std::uint64_t(value));
    }
  }
  Variant(float value);        // varSingle
  Variant(double value);       // varDouble (dates: VarFromDateTime)
  Variant(long double value);  // varDouble
  Variant(Currency value);     // varCurrency
  Variant(const String& value);  // varOleStr
  Variant(String&& value);
  Variant(const char16_t* value);
  Variant(const char*) = delete;  // byte strings: VarFromRawByteString

  // The type code, with varArray set for arrays.
  TVarType Type() const { return FType; }

  // Conversions by the rules above.
  Integer AsInteger() const;
  Int64 AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  bool AsBoolean() const;
  String AsString() const;
  RawByteString AsRawByteString() const;
  TDateTime AsDateTime() const;

  // Array element at `index` (1-dimensional arrays). EVariantBadIndexError
  // outside the bounds; EVariantInvalidArgError when not a 1-dimensional array.
  // Writing converts the value to the array's element type (none for varVariant).
  Variant GetElement(Integer index) const;
  void PutElement(Integer index, const Variant& value);
  // Element by one index per dimension (as VarArrayPut).
  void PutElementAt(const std::vector<Integer>& indices, const Variant& value);
  // Direct access to an element of a 1-dimensional array; the reference is
  // valid until the array changes. Writes through it store the value as given
  // (PutElement converts to the element type).
  const Variant& operator[](Integer index) const;
  Variant& operator[](Integer index);

  // Arithmetic, see the operator notes below.
  Variant& operator+=(const Variant& other);
  Variant& operator-=(const Variant& other);
  Variant& operator*=(const Variant& other);
  Variant& operator/=(const Variant& other);

  // Low-level view used by the conversion code.
  struct ArrayData;
  const ArrayData* Array() const;  // nullptr when not an array
  Int64 RawInt() const { return FInt; }
  double RawDouble() const { return FDouble; }
  const String& RawString() const { return FString; }
  // The payloads of the rarer kinds; an empty value when of another type.
  const RawByteString& RawBytes() const;
  const TBcd& RawBcd() const;
  const TSQLTimeStamp& RawTimeStamp() const;

  // Builders used by the factories below.
  static Variant MakeInt(TVarType type, Int64 value);
  static Variant MakeDouble(TVarType type, double value);
  static Variant MakeBytes(RawByteString value);
  static Variant MakeBcd(const TBcd& value);
  static Variant MakeTimeStamp(const TSQLTimeStamp& value);
  static Variant MakeArray(std::vector<TVarArrayBound> bounds, TVarType elementType);
  static Variant MakeNull();

private:
  void SetInt(TVarType type, Int64 value);
  void SetUInt64(std::uint64_t value);
  ArrayData& MutableArray();

  TVarType FType = varEmpty;
  Int64 FInt = 0;          // integers, Boolean (0/1), currency (raw)
  double FDouble = 0;      // single, double, date
  String FString;          // varOleStr
  // Byte strings, BCD numbers, time stamps and arrays live on the heap, so
  // that the common kinds keep a variant small.
  struct Extra;
  struct ExtraDeleter {
    void operator()(Extra* extra) const noexcept;
  };
  std::unique_ptr<Extra, ExtraDeleter> FExtra;
  Extra& MakeExtra();
};

// Storage of a variant array: the bounds of each dimension and the elements,
// the last dimension's index running fastest.
struct Variant::ArrayData {
  std::vector<TVarArrayBound> Bounds;
  TVarType ElementType = varVariant;
  std::vector<Variant> Elements;
};

// ---- Factories -------------------------------------------------------------

Variant Null();
Variant Unassigned();
Variant VarFromDateTime(TDateTime value);                 // varDate
Variant VarFromRawByteString(const RawByteString& value);  // varString

// ---- Tests -----------------------------------------------------------------

TVarType VarType(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsClear(const Variant& v);  // Empty (an empty array is not clear)
bool VarIsNullOrEmpty(const Variant& v);
bool VarIsNumeric(const Variant& v);  // ordinal or float kinds, currency
bool VarIsOrdinal(const Variant& v);  // integer kinds and Boolean
bool VarIsFloat(const Variant& v);    // single, double, currency
bool VarIsStr(const Variant& v);      // varOleStr or varString
bool VarIsArray(const Variant& v);
bool VarIsType(const Variant& v, TVarType type);
// The name of a type code as error messages show it: "Integer", "Double",
// "Null", "String" (varOleStr), "AnsiString" (varString), "FMTBcd",
// "SQLTimeStamp", "Array Variant" ...
String VarTypeAsText(TVarType type);

// ---- Conversions -------------------------------------------------------------

// The value converted to `type` (a scalar type code, VarFMTBcd(),
// VarSQLTimeStamp(), or varVariant, which copies). Empty becomes the target's
// zero; Null converts only to varNull, varEmpty and varVariant and raises
// EVariantTypeCastError for every other target.
Variant VarAsType(const Variant& v, TVarType type);
String VarToStr(const Variant& v);                               // Null -> ""
String VarToStrDef(const Variant& v, const String& defaultValue);  // Null -> default
String VarToWideStr(const Variant& v);                           // Null -> ""
TDateTime VarToDateTime(const Variant& v);

// ---- Comparison --------------------------------------------------------------
//
// Values compare by kind: numbers (integers, floats, currency, Booleans as
// -1/0, dates, BCD, time stamps as dates) numerically; two strings ordinally by
// code unit; a string against a number, date or Boolean is first converted to
// that kind (EVariantTypeCastError when it cannot be). Empty equals 0 and "".
// Null equals only Null and orders before every other value. Two Booleans
// order False before True. A NaN equals NaN and orders before every number,
// so that sorting stays consistent.

// vrEqual, vrLessThan or vrGreaterThan; vrNotEqual when exactly one side is
// Null, or for arrays that differ (arrays have no order).
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
// Equal value after the rules above; arrays element by element with the same
// bounds. Never raises: values that cannot be compared are not the same.
bool VarSameValue(const Variant& a, const Variant& b);

// Raise like VarCompareValue; arrays compare only for (in)equality (ordering
// them raises EVariantInvalidOpError).
bool operator==(const Variant& a, const Variant& b);
bool operator!=(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
bool operator<=(const Variant& a, const Variant& b);
bool operator>(const Variant& a, const Variant& b);
bool operator>=(const Variant& a, const Variant& b);

// ---- Arithmetic ----------------------------------------------------------------
//
// Null in an operation gives Null; Empty counts as 0 (or "" with a string).
// Result type, in this order of precedence:
// - string + string concatenates (wide when either is wide); otherwise a
//   string is read as a number (Int64 when it is a whole number, else double);
// - a date (or time stamp) with a number: + and - give a date, date - date
//   gives a double, * and / give a double;
// - BCD with a double gives a double; BCD with another number gives BCD for
//   + - * (exact) and a double for /;
// - a single or double with anything gives a double;
// - currency with an integer or currency gives currency (products and
//   quotients rounded ties to even at the fourth decimal);
// - integers give Integer while both sides are 32-bit kinds and the result
//   fits, else Int64; `/` of integers gives a double.
// Booleans act as the integers -1 / 0. A zero divisor raises EZeroDivide;
// results out of range raise EVariantOverflowError; arrays raise
// EVariantInvalidOpError.
Variant operator+(const Variant& a, const Variant& b);
Variant operator-(const Variant& a, const Variant& b);
Variant operator*(const Variant& a, const Variant& b);
Variant operator/(const Variant& a, const Variant& b);
Variant operator-(const Variant& a);

// ---- Arrays --------------------------------------------------------------------

// One dimension low..high (high = low - 1 gives an empty array) of the given
// element type; elements start as Empty (varVariant) or the type's zero.
// EVariantArrayCreateError when high < low - 1 or the type is not a scalar one.
Variant VarArrayCreate(Integer low, Integer high, TVarType elementType);
// Several dimensions: bounds = {low1, high1, low2, high2, ...}.
Variant VarArrayCreate(const std::vector<Integer>& bounds, TVarType elementType);
// Array 0..n-1 of variants.
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
// 0 for a non-array.
Integer VarArrayDimCount(const Variant& v);
// Bounds of dimension `dim` (1-based); EVariantInvalidArgError when not an
// array, EVariantBadIndexError for a bad dimension.
Integer VarArrayLowBound(const Variant& v, Integer dim = 1);
Integer VarArrayHighBound(const Variant& v, Integer dim = 1);
TVarType VarArrayElementType(const Variant& v);
// Element by one index per dimension; EVariantBadIndexError outside the bounds.
Variant VarArrayGet(const Variant& v, const std::vector<Integer>& indices);
void VarArrayPut(Variant& v, const Variant& value, const std::vector<Integer>& indices);
