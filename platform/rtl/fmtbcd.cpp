#include "platform/rtl/fmtbcd.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/variant.h"

namespace {

// A decimal number in working form: value = digits * 10^-scale.
// `digits` holds ASCII digits without leading zeros ("" is zero).
struct Decimal {
  bool Negative = false;
  std::string Digits;
  Integer Scale = 0;

  bool IsZero() const { return Digits.empty(); }
};

void StripLeadingZeros(std::string& digits) {
  const auto first = digits.find_first_not_of('0');
  digits.erase(0, first == std::string::npos ? digits.size() : first);
}

// Drops zeros after the decimal point, as far as the scale allows.
void StripTrailingFractionZeros(Decimal& d) {
  while (d.Scale > 0 && !d.Digits.empty() && d.Digits.back() == '0') {
    d.Digits.pop_back();
    --d.Scale;
  }
  if (d.Digits.empty()) d.Scale = 0;
}

Integer PrecisionOf(const Decimal& d) {
  return std::max<Integer>({Integer(d.Digits.size()), d.Scale, 1});
}

enum class Rounding { HalfEven, HalfAwayFromZero };

// Rounds to `decimals` places after the point (no effect when the scale is
// already that small).
Decimal RoundTo(Decimal d, Integer decimals, Rounding mode) {
  if (d.Scale <= decimals) return d;
  const Integer drop = d.Scale - decimals;
  std::string kept;
  std::string dropped;
  if (Integer(d.Digits.size()) > drop) {
    kept = d.Digits.substr(0, d.Digits.size() - drop);
    dropped = d.Digits.substr(d.Digits.size() - drop);
  } else {
    dropped = std::string(drop - d.Digits.size(), '0') + d.Digits;
  }
  bool up = false;
  if (!dropped.empty() && dropped[0] > '5') {
    up = true;
  } else if (!dropped.empty() && dropped[0] == '5') {
    const bool exactHalf = dropped.find_first_not_of('0', 1) == std::string::npos;
    if (!exactHalf || mode == Rounding::HalfAwayFromZero) {
      up = true;
    } else {
      const char last = kept.empty() ? '0' : kept.back();
      up = (last - '0') % 2 == 1;
    }
  }
  if (up) {
    Integer i = Integer(kept.size()) - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i >= 0) {
      ++kept[i];
    } else {
      kept.insert(kept.begin(), '1');
    }
  }
  StripLeadingZeros(kept);
  d.Digits = kept;
  d.Scale = decimals;
  if (d.Digits.empty()) d.Negative = false;
  return d;
}

// Text to a decimal; blanks around, optional sign, digits, `separator`,
// digits, optional exponent. No other characters.
bool ParseDecimal(const String& text, Char separator, Decimal& out) {
  size_t i = 0;
  size_t end = text.size();
  while (i < end && text[i] <= u' ') ++i;
  while (end > i && text[end - 1] <= u' ') --end;
  Decimal d;
  if (i < end && (text[i] == u'+' || text[i] == u'-')) d.Negative = text[i++] == u'-';
  std::string digits;
  Integer fractionDigits = 0;
  bool any = false;
  while (i < end && text[i] >= u'0' && text[i] <= u'9') {
    digits += char(text[i++]);
    any = true;
  }
  if (i < end && text[i] == separator) {
    ++i;
    while (i < end && text[i] >= u'0' && text[i] <= u'9') {
      digits += char(text[i++]);
      ++fractionDigits;
      any = true;
    }
  }
  if (!any) return false;
  Integer exponent = 0;
  if (i < end && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) negativeExponent = text[i++] == u'-';
    if (i == end) return false;
    while (i < end && text[i] >= u'0' && text[i] <= u'9') {
      exponent = exponent * 10 + (text[i++] - u'0');
      if (exponent > 10000) return false;
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (i != end) return false;
  d.Scale = fractionDigits - exponent;
  if (d.Scale < 0) {
    digits.append(size_t(-d.Scale), '0');
    d.Scale = 0;
  }
  StripLeadingZeros(digits);
  d.Digits = digits;
  if (d.Digits.empty()) {
    d.Negative = false;
  }
  out = d;
  return true;
}

// The scale shares its byte with the sign: six bits, so at most 63 decimals.
constexpr Integer MaxBcdScale = 63;

bool Fits(const Decimal& d) {
  return PrecisionOf(d) <= MaxFMTBcdFractionSize && d.Scale <= MaxBcdScale;
}

// Makes the number fit 64 digits: trailing fraction zeros go first, then
// fraction digits are rounded away. False when the whole part is too long.
bool FitPrecision(Decimal& d) {
  if (Fits(d)) return true;
  StripTrailingFractionZeros(d);
  while (!Fits(d)) {
    const Integer wholeDigits = std::max<Integer>(0, Integer(d.Digits.size()) - d.Scale);
    if (wholeDigits > MaxFMTBcdFractionSize || d.Scale == 0) return false;
    const Integer decimals = std::min({MaxBcdScale, MaxFMTBcdFractionSize - wholeDigits, d.Scale - 1});
    d = RoundTo(d, std::max<Integer>(decimals, 0), Rounding::HalfAwayFromZero);
  }
  return true;
}

TBcd ToBcd(const Decimal& d, Integer minPrecision = 1) {
  TBcd result;
  const Integer precision = std::max(PrecisionOf(d), minPrecision);
  result.Precision = Byte(precision);
  result.SignSpecialPlaces = Byte((d.Negative && !d.IsZero() ? 0x80 : 0) | (d.Scale & 0x3F));
  const std::string padded = std::string(precision - d.Digits.size(), '0') + d.Digits;
  for (Integer i = 0; i < precision; ++i) {
    const Byte digit = Byte(padded[i] - '0');
    result.Fraction[i / 2] |= (i % 2 == 0) ? Byte(digit << 4) : digit;
  }
  return result;
}

TBcd ToBcdChecked(Decimal d) {
  if (!FitPrecision(d)) throw EBcdOverflowException(u"BCD overflow: more than 64 digits");
  return ToBcd(d);
}

Decimal FromBcd(const TBcd& value) {
  if (value.Precision < 1 || value.Precision > MaxFMTBcdFractionSize ||
      value.Scale() > value.Precision || value.Scale() > MaxBcdScale) {
    throw EBcdException(u"Invalid BCD value");
  }
  Decimal d;
  d.Negative = value.IsNegative();
  d.Scale = value.Scale();
  for (Integer i = 0; i < value.Precision; ++i) {
    const Byte digit = value.Digit(i);
    if (digit > 9) throw EBcdException(u"Invalid BCD value");
    d.Digits += char('0' + digit);
  }
  StripLeadingZeros(d.Digits);
  if (d.IsZero()) d.Negative = false;
  return d;
}

// Both numbers brought to the larger scale (digit strings of equal meaning).
void Align(Decimal& a, Decimal& b) {
  const Integer scale = std::max(a.Scale, b.Scale);
  if (!a.IsZero()) a.Digits.append(size_t(scale - a.Scale), '0');
  if (!b.IsZero()) b.Digits.append(size_t(scale - b.Scale), '0');
  a.Scale = b.Scale = scale;
}

Integer CompareMagnitude(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string AddMagnitudes(const std::string& a, const std::string& b) {
  std::string result;
  Integer carry = 0;
  for (size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
    Integer sum = carry;
    if (i < a.size()) sum += a[a.size() - 1 - i] - '0';
    if (i < b.size()) sum += b[b.size() - 1 - i] - '0';
    result += char('0' + sum % 10);
    carry = sum / 10;
  }
  std::reverse(result.begin(), result.end());
  StripLeadingZeros(result);
  return result;
}

// a - b for a >= b.
std::string SubtractMagnitudes(const std::string& a, const std::string& b) {
  std::string result;
  Integer borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    Integer diff = (a[a.size() - 1 - i] - '0') - borrow;
    if (i < b.size()) diff -= b[b.size() - 1 - i] - '0';
    borrow = diff < 0 ? 1 : 0;
    result += char('0' + (diff + 10) % 10);
  }
  std::reverse(result.begin(), result.end());
  StripLeadingZeros(result);
  return result;
}

Decimal Add(Decimal a, Decimal b) {
  Align(a, b);
  Decimal r;
  r.Scale = a.Scale;
  if (a.Negative == b.Negative) {
    r.Negative = a.Negative;
    r.Digits = AddMagnitudes(a.Digits, b.Digits);
  } else if (CompareMagnitude(a.Digits, b.Digits) >= 0) {
    r.Negative = a.Negative;
    r.Digits = SubtractMagnitudes(a.Digits, b.Digits);
  } else {
    r.Negative = b.Negative;
    r.Digits = SubtractMagnitudes(b.Digits, a.Digits);
  }
  if (r.IsZero()) r.Negative = false;
  return r;
}

Decimal Multiply(const Decimal& a, const Decimal& b) {
  Decimal r;
  if (a.IsZero() || b.IsZero()) return r;
  std::vector<Integer> acc(a.Digits.size() + b.Digits.size(), 0);
  for (size_t i = 0; i < a.Digits.size(); ++i) {
    for (size_t j = 0; j < b.Digits.size(); ++j) {
      acc[i + j + 1] += (a.Digits[i] - '0') * (b.Digits[j] - '0');
    }
  }
  for (size_t k = acc.size() - 1; k > 0; --k) {
    acc[k - 1] += acc[k] / 10;
    acc[k] %= 10;
  }
  for (Integer digit : acc) r.Digits += char('0' + digit);
  StripLeadingZeros(r.Digits);
  r.Scale = a.Scale + b.Scale;
  r.Negative = a.Negative != b.Negative;
  return r;
}

Integer Compare(Decimal a, Decimal b) {
  if (a.Negative != b.Negative) return a.Negative ? -1 : 1;
  Align(a, b);
  const Integer magnitude = CompareMagnitude(a.Digits, b.Digits);
  return a.Negative ? -magnitude : magnitude;
}

// The digits before and after the decimal point (the whole part at least "0").
void SplitDigits(const Decimal& d, std::string& whole, std::string& fraction) {
  std::string padded = d.Digits;
  if (Integer(padded.size()) <= d.Scale) padded.insert(0, size_t(d.Scale + 1 - padded.size()), '0');
  whole = padded.substr(0, padded.size() - d.Scale);
  fraction = padded.substr(padded.size() - d.Scale);
}

String Widen(const std::string& ascii) { return String(ascii.begin(), ascii.end()); }

String GroupThousands(const std::string& whole, Char separator) {
  String result;
  const size_t n = whole.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0 && separator != 0) result += separator;
    result += Char(whole[i]);
  }
  return result;
}

// The locale's currency layouts; '$' marks the currency string, '1' the number.
String ApplyCurrencyFormat(const String& number, bool negative, const TFormatSettings& fs) {
  static const char* const positive[] = {"$1", "1$", "$ 1", "1 $"};
  static const char* const negativeFormats[] = {
      "($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
      "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  const char* layout = negative ? negativeFormats[fs.NegCurrFormat % 16] : positive[fs.CurrencyFormat % 4];
  String result;
  for (const char* p = layout; *p; ++p) {
    if (*p == '$') {
      result += fs.CurrencyString;
    } else if (*p == '1') {
      result += number;
    } else {
      result += Char(*p);
    }
  }
  return result;
}

String PlainText(Decimal d, const TFormatSettings& fs) {
  StripTrailingFractionZeros(d);
  if (d.IsZero()) return u"0";
  std::string whole;
  std::string fraction;
  SplitDigits(d, whole, fraction);
  String result = d.Negative ? u"-" : u"";
  result += Widen(whole);
  if (!fraction.empty()) result += fs.DecimalSeparator + Widen(fraction);
  return result;
}

std::string DoubleToShortestText(double value) {
  char buffer[64];
  const auto res = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, res.ptr);
}

Decimal DoubleToDecimal(double value) {
  if (!std::isfinite(value)) throw EBcdException(u"Invalid floating-point value for BCD");
  const std::string text = DoubleToShortestText(value);
  Decimal d;
  ParseDecimal(Widen(text), u'.', d);
  return d;
}

Decimal Int64ToDecimal(Int64 value) {
  Decimal d;
  d.Negative = value < 0;
  const std::uint64_t magnitude = value < 0 ? 0 - std::uint64_t(value) : std::uint64_t(value);
  d.Digits = std::to_string(magnitude);
  StripLeadingZeros(d.Digits);
  return d;
}

// The digits as a whole number with the sign applied; false outside Int64.
bool DigitsToInt64(const Decimal& d, Int64& result) {
  if (d.Digits.size() > 19) return false;
  unsigned __int128 magnitude = 0;
  for (char c : d.Digits) magnitude = magnitude * 10 + unsigned(c - '0');
  const unsigned __int128 limit = d.Negative ? (unsigned __int128)(1) << 63 : ((unsigned __int128)(1) << 63) - 1;
  if (magnitude > limit) return false;
  result = d.Negative ? Int64(0 - std::uint64_t(magnitude)) : Int64(std::uint64_t(magnitude));
  return true;
}

}  // namespace

Byte TBcd::Digit(Integer i) const {
  const Byte pair = Fraction[i / 2];
  return (i % 2 == 0) ? Byte(pair >> 4) : Byte(pair & 0x0F);
}

bool TryStrToBcd(const String& text, TBcd& value) {
  return TryStrToBcd(text, value, FormatSettings());
}

bool TryStrToBcd(const String& text, TBcd& value, const TFormatSettings& settings) {
  Decimal d;
  if (!ParseDecimal(text, settings.DecimalSeparator, d)) return false;
  if (!Fits(d)) StripTrailingFractionZeros(d);
  if (!Fits(d)) return false;
  value = ToBcd(d);
  return true;
}

TBcd StrToBcd(const String& text) { return StrToBcd(text, FormatSettings()); }

TBcd StrToBcd(const String& text, const TFormatSettings& settings) {
  TBcd result;
  if (!TryStrToBcd(text, result, settings)) {
    throw EBcdException(u"'" + text + u"' is not a valid BCD value");
  }
  return result;
}

String BcdToStr(const TBcd& value) { return BcdToStr(value, FormatSettings()); }

String BcdToStr(const TBcd& value, const TFormatSettings& settings) {
  return PlainText(FromBcd(value), settings);
}

String BcdToStrF(const TBcd& value, TFloatFormat format, Integer precision, Integer digits) {
  return BcdToStrF(value, format, precision, digits, FormatSettings());
}

String BcdToStrF(const TBcd& value, TFloatFormat format, Integer precision, Integer digits,
                 const TFormatSettings& settings) {
  Decimal d = FromBcd(value);
  if (format == ffExponent ||
      (format == ffGeneral && precision > 0 && Integer(d.Digits.size()) > precision)) {
    return FloatToStrF(BcdToDouble(value), format, precision, digits, settings);
  }
  if (format == ffGeneral) return PlainText(d, settings);
  const Integer decimals = std::clamp<Integer>(digits, 0, MaxFMTBcdFractionSize);
  d = RoundTo(d, decimals, Rounding::HalfAwayFromZero);
  if (!d.IsZero()) d.Digits.append(size_t(decimals - d.Scale), '0');
  d.Scale = decimals;
  std::string whole;
  std::string fraction;
  SplitDigits(d, whole, fraction);
  String number = format == ffFixed ? Widen(whole) : GroupThousands(whole, settings.ThousandSeparator);
  if (!fraction.empty()) number += settings.DecimalSeparator + Widen(fraction);
  if (format == ffCurrency) return ApplyCurrencyFormat(number, d.Negative, settings);
  return d.Negative ? u"-" + number : number;
}

double BcdToDouble(const TBcd& value) {
  const Decimal d = FromBcd(value);
  if (d.IsZero()) return 0.0;
  std::string text = (d.Negative ? "-" : "") + d.Digits + "e-" + std::to_string(d.Scale);
  double result = 0;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return result;
}

TBcd DoubleToBcd(double value) { return ToBcdChecked(DoubleToDecimal(value)); }

TBcd IntegerToBcd(Integer value) { return ToBcd(Int64ToDecimal(value)); }

TBcd Int64ToBcd(Int64 value) { return ToBcd(Int64ToDecimal(value)); }

Int64 BcdToInt64(const TBcd& value) {
  const Decimal d = RoundTo(FromBcd(value), 0, Rounding::HalfEven);
  Int64 result = 0;
  if (!DigitsToInt64(d, result)) throw EBcdOverflowException(u"BCD overflow");
  return result;
}

TBcd CurrToBCD(Currency value) {
  Decimal d = Int64ToDecimal(value.Raw());
  d.Scale = 4;
  return ToBcd(d);
}

bool BCDToCurr(const TBcd& value, Currency& result) {
  Decimal d = RoundTo(FromBcd(value), 4, Rounding::HalfEven);
  if (!d.IsZero()) d.Digits.append(size_t(4 - d.Scale), '0');
  Int64 raw = 0;
  if (!DigitsToInt64(d, raw)) return false;
  result = Currency::FromRaw(raw);
  return true;
}

Currency BcdToCurrency(const TBcd& value) {
  Currency result;
  if (!BCDToCurr(value, result)) throw EBcdOverflowException(u"BCD overflow: value out of currency range");
  return result;
}

TBcd NormalizeBcd(const TBcd& value, Word precision, Word scale) {
  if (precision < 1 || precision > MaxFMTBcdFractionSize || scale > precision ||
      scale > MaxBcdScale) {
    throw EBcdException(u"Invalid BCD precision or scale");
  }
  Decimal d = RoundTo(FromBcd(value), scale, Rounding::HalfAwayFromZero);
  if (!d.IsZero()) d.Digits.append(size_t(scale - d.Scale), '0');
  d.Scale = scale;
  if (Integer(d.Digits.size()) - d.Scale > Integer(precision - scale)) {
    throw EBcdOverflowException(u"BCD overflow: value does not fit the precision");
  }
  return ToBcd(d, precision);
}

Integer BcdCompare(const TBcd& a, const TBcd& b) { return Compare(FromBcd(a), FromBcd(b)); }

bool IsBcdZero(const TBcd& value) { return FromBcd(value).IsZero(); }

TBcd BcdAdd(const TBcd& a, const TBcd& b) { return ToBcdChecked(Add(FromBcd(a), FromBcd(b))); }

TBcd BcdSubtract(const TBcd& a, const TBcd& b) {
  Decimal negated = FromBcd(b);
  negated.Negative = !negated.Negative && !negated.IsZero();
  return ToBcdChecked(Add(FromBcd(a), negated));
}

TBcd BcdMultiply(const TBcd& a, const TBcd& b) {
  return ToBcdChecked(Multiply(FromBcd(a), FromBcd(b)));
}

TBcd BcdNegate(const TBcd& value) {
  Decimal d = FromBcd(value);
  d.Negative = !d.Negative && !d.IsZero();
  return ToBcd(d);
}

// ---- The BCD variant ----------------------------------------------------------

Variant VarFMTBcdCreate(const TBcd& value) {
  FromBcd(value);  // validates
  return Variant::MakeBcd(value);
}

Variant VarFMTBcdCreate(const String& text, Word precision, Word scale) {
  return Variant::MakeBcd(NormalizeBcd(StrToBcd(text), precision, scale));
}

Variant VarFMTBcdCreate(double value, Word precision, Word scale) {
  return Variant::MakeBcd(NormalizeBcd(DoubleToBcd(value), precision, scale));
}

bool VarIsFMTBcd(const Variant& value) { return VarType(value) == VarFMTBcd(); }

TBcd VarToBcd(const Variant& value) {
  const TVarType type = VarType(value);
  if (type == VarFMTBcd()) return value.RawBcd();
  return VarAsType(value, VarFMTBcd()).RawBcd();
}
