#pragma once
// Binary-coded decimal numbers: up to 64 significant digits with a decimal scale.
#include "platform/rtl/currency.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/types.h"

class Variant;

inline constexpr Integer MaxFMTBcdFractionSize = 64;

// A decimal number: `Precision` digits (1..64), of which the last `Scale`
// (0..Precision, at most 63) lie after the decimal point. Digits are kept two to a byte,
// most significant first, in `Fraction`. `SignSpecialPlaces` holds the sign in
// bit 7 (set for negative) and the scale in its low six bits.
struct TBcd {
  Byte Precision = 1;
  Byte SignSpecialPlaces = 0;
  Byte Fraction[MaxFMTBcdFractionSize / 2] = {};

  bool IsNegative() const { return (SignSpecialPlaces & 0x80) != 0; }
  Byte Scale() const { return SignSpecialPlaces & 0x3F; }
  // Digit i (0-based, most significant first) of the Precision digits.
  Byte Digit(Integer i) const;
};

// Text: optional blanks and sign, digits with the locale decimal separator,
// optional exponent ("1.5E3"). The value is kept with as many digits as the
// text gives (leading zeros dropped). More than 64 significant digits, or more
// than 63 decimals after the exponent (surplus trailing zeros aside), fail. StrToBcd raises EBcdException.
bool TryStrToBcd(const String& text, TBcd& value);
bool TryStrToBcd(const String& text, TBcd& value, const TFormatSettings& settings);
TBcd StrToBcd(const String& text);
TBcd StrToBcd(const String& text, const TFormatSettings& settings);
// Plain text of every stored digit's value: no exponent, no thousands separator,
// trailing zeros of the decimals dropped, "0" for zero, "-" for negatives.
String BcdToStr(const TBcd& value);
String BcdToStr(const TBcd& value, const TFormatSettings& settings);
// Formatted as the floating-point formats (ffGeneral with precision 0 is the
// same as BcdToStr; ffFixed/ffNumber round to `digits` decimals, ties away from zero).
String BcdToStrF(const TBcd& value, TFloatFormat format, Integer precision, Integer digits);
String BcdToStrF(const TBcd& value, TFloatFormat format, Integer precision, Integer digits,
                 const TFormatSettings& settings);

double BcdToDouble(const TBcd& value);
// The double's shortest round-trip decimal text; raises EBcdException for
// infinities and NaN.
TBcd DoubleToBcd(double value);
TBcd IntegerToBcd(Integer value);
TBcd Int64ToBcd(Int64 value);
// Raises EBcdOverflowException when the whole part does not fit.
Int64 BcdToInt64(const TBcd& value);
TBcd CurrToBCD(Currency value);
// Rounds to four decimals, ties to even; answers false when out of range.
bool BCDToCurr(const TBcd& value, Currency& result);
Currency BcdToCurrency(const TBcd& value);  // raises EBcdOverflowException

// The value with the given precision and scale: decimals beyond `scale` are
// rounded half away from zero; raises EBcdOverflowException when the whole
// part needs more than precision - scale digits.
TBcd NormalizeBcd(const TBcd& value, Word precision, Word scale);

// -1, 0 or 1 by numeric value (so 1.50 equals 1.5 and -0 equals 0).
Integer BcdCompare(const TBcd& a, const TBcd& b);
bool IsBcdZero(const TBcd& value);
// Exact arithmetic while the result fits 64 digits and 63 decimals; beyond
// that the last decimals are rounded half away from zero. Raises
// EBcdOverflowException when the whole part needs more than 64 digits.
TBcd BcdAdd(const TBcd& a, const TBcd& b);
TBcd BcdSubtract(const TBcd& a, const TBcd& b);
TBcd BcdMultiply(const TBcd& a, const TBcd& b);
TBcd BcdNegate(const TBcd& value);

// The variant holding a BCD number, of type VarFMTBcd(). Conversions from it
// to string, numbers, currency and booleans go through the number above.
Variant VarFMTBcdCreate(const TBcd& value);
Variant VarFMTBcdCreate(const String& text, Word precision, Word scale);
Variant VarFMTBcdCreate(double value, Word precision = 18, Word scale = 4);
bool VarIsFMTBcd(const Variant& value);
// A BCD variant gives its number; any other variant is converted through its
// text (numbers, currency, strings). Raises EVariantTypeCastError on failure.
TBcd VarToBcd(const Variant& value);

#include "platform/rtl/variant.h"
