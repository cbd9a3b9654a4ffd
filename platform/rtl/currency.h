#pragma once
// Currency: a fixed-point amount held as a 64-bit integer of ten-thousandths.
#include <compare>
#include <cstdint>

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/types.h"

struct Currency {
  static constexpr Int64 Scale = 10000;

  constexpr Currency() = default;
  // Whole amounts convert exactly.
  constexpr Currency(Integer value) : FRaw(Int64(value) * Scale) {}

  // The amount given as ten-thousandths (the stored integer).
  static constexpr Currency FromRaw(Int64 raw) {
    Currency c;
    c.FRaw = raw;
    return c;
  }
  constexpr Int64 Raw() const { return FRaw; }

  // Rounds to the nearest ten-thousandth, ties to even (1.00005 -> 1.0000,
  // 1.00015 -> 1.0002), as amounts read from floating-point data are rounded
  // everywhere in the program. Raises EOverflow when out of range or not a number.
  static Currency FromDouble(double value);
  double ToDouble() const { return double(FRaw) / Scale; }

  // Arithmetic raises EOverflow on overflow and EZeroDivide on a zero divisor.
  // Products and quotients round ties to even at the fourth decimal.
  Currency operator+(Currency other) const;
  Currency operator-(Currency other) const;
  Currency operator-() const;
  Currency operator*(Currency other) const;
  Currency operator/(Currency other) const;
  Currency& operator+=(Currency other) { return *this = *this + other; }
  Currency& operator-=(Currency other) { return *this = *this - other; }
  Currency& operator*=(Currency other) { return *this = *this * other; }
  Currency& operator/=(Currency other) { return *this = *this / other; }

  constexpr bool operator==(const Currency&) const = default;
  constexpr auto operator<=>(const Currency&) const = default;

private:
  Int64 FRaw = 0;
};

inline constexpr Int64 MaxCurrencyRaw = INT64_MAX;  // 922337203685477.5807
inline constexpr Int64 MinCurrencyRaw = INT64_MIN;  // -922337203685477.5808

// Shortest text: no thousands separator, trailing zeros dropped ("12.5", "-3", "0.0001").
String CurrToStr(Currency value);
String CurrToStr(Currency value, const TFormatSettings& settings);

// Formatted text: ffGeneral as CurrToStr; ffExponent as FloatToStrF; ffFixed
// with `digits` decimals (rounded half away from zero); ffNumber adds thousands
// separators; ffCurrency also places the locale's currency string by its
// CurrencyFormat / NegCurrFormat.
String CurrToStrF(Currency value, TFloatFormat format, Integer digits);
String CurrToStrF(Currency value, TFloatFormat format, Integer digits,
                  const TFormatSettings& settings);

// Parses blanks, an optional sign, digits, the locale decimal separator, any
// number of decimals (rounded ties to even at the fourth) and an optional
// exponent, exactly (no detour through floating point). StrToCurr raises
// EConvertError; a value out of range fails as well.
bool TryStrToCurr(const String& text, Currency& value);
bool TryStrToCurr(const String& text, Currency& value, const TFormatSettings& settings);
Currency StrToCurr(const String& text);
Currency StrToCurr(const String& text, const TFormatSettings& settings);
