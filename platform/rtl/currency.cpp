#include "platform/rtl/currency.h"

#include <cmath>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/fmtbcd.h"

namespace {

[[noreturn]] void RaiseOverflow() { throw EOverflow(u"Currency overflow"); }

Int64 Checked(__int128 value) {
  if (value > INT64_MAX || value < INT64_MIN) RaiseOverflow();
  return Int64(value);
}

// numerator / denominator rounded to the nearest integer, ties to even.
__int128 DivideRoundingHalfEven(__int128 numerator, __int128 denominator) {
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  __int128 quotient = numerator / denominator;
  __int128 remainder = numerator % denominator;
  const bool negative = remainder < 0;
  if (negative) remainder = -remainder;
  const __int128 twice = remainder * 2;
  if (twice > denominator || (twice == denominator && quotient % 2 != 0)) {
    quotient += negative ? -1 : 1;
  }
  return quotient;
}

}  // namespace

Currency Currency::FromDouble(double value) {
  if (!std::isfinite(value) || std::fabs(value) > 1e15) RaiseOverflow();
  Currency result;
  if (!BCDToCurr(DoubleToBcd(value), result)) RaiseOverflow();
  return result;
}

Currency Currency::operator+(Currency other) const {
  return FromRaw(Checked(__int128(FRaw) + other.FRaw));
}

Currency Currency::operator-(Currency other) const {
  return FromRaw(Checked(__int128(FRaw) - other.FRaw));
}

Currency Currency::operator-() const { return FromRaw(Checked(-__int128(FRaw))); }

Currency Currency::operator*(Currency other) const {
  return FromRaw(Checked(DivideRoundingHalfEven(__int128(FRaw) * other.FRaw, Scale)));
}

Currency Currency::operator/(Currency other) const {
  if (other.FRaw == 0) throw EZeroDivide(u"Floating point division by zero");
  return FromRaw(Checked(DivideRoundingHalfEven(__int128(FRaw) * Scale, other.FRaw)));
}

String CurrToStr(Currency value) { return CurrToStr(value, FormatSettings()); }

String CurrToStr(Currency value, const TFormatSettings& settings) {
  return BcdToStr(CurrToBCD(value), settings);
}

String CurrToStrF(Currency value, TFloatFormat format, Integer digits) {
  return CurrToStrF(value, format, digits, FormatSettings());
}

String CurrToStrF(Currency value, TFloatFormat format, Integer digits,
                  const TFormatSettings& settings) {
  if (format == ffGeneral) return CurrToStr(value, settings);
  return BcdToStrF(CurrToBCD(value), format, 15, digits, settings);
}

bool TryStrToCurr(const String& text, Currency& value) {
  return TryStrToCurr(text, value, FormatSettings());
}

bool TryStrToCurr(const String& text, Currency& value, const TFormatSettings& settings) {
  TBcd bcd;
  return TryStrToBcd(text, bcd, settings) && BCDToCurr(bcd, value);
}

Currency StrToCurr(const String& text) { return StrToCurr(text, FormatSettings()); }

Currency StrToCurr(const String& text, const TFormatSettings& settings) {
  Currency result;
  if (!TryStrToCurr(text, result, settings)) {
    throw EConvertError(u"'" + text + u"' is not a valid floating point value");
  }
  return result;
}
