#include "platform/rtl/sysutils.h"

#include <QChar>
#include <QString>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <vector>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

#include "platform/rtl/exceptions.h"

namespace {

String FromQString(const QString& q) {
  return String(reinterpret_cast<const char16_t*>(q.utf16()), static_cast<size_t>(q.size()));
}

QString ToQString(const String& s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

String Ascii(const std::string& s) { return String(s.begin(), s.end()); }

Char AsciiLower(Char c) { return (c >= u'A' && c <= u'Z') ? Char(c + 32) : c; }
Char AsciiUpper(Char c) { return (c >= u'a' && c <= u'z') ? Char(c - 32) : c; }

bool IsHighSurrogate(Char c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(Char c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Simple (one-to-one) Unicode case folding, code point by code point. A
// folding that would change the number of UTF-16 units keeps the character,
// so positions in the folded text are positions in the given one.
String FoldCase(const String& s) {
  String out = s;
  for (size_t i = 0; i < out.size(); ++i) {
    Char c = out[i];
    if (IsHighSurrogate(c) && i + 1 < out.size() && IsLowSurrogate(out[i + 1])) {
      char32_t cp = QChar::surrogateToUcs4(c, out[i + 1]);
      char32_t f = QChar::toCaseFolded(cp);
      if (QChar::requiresSurrogates(f)) {
        out[i] = QChar::highSurrogate(f);
        out[i + 1] = QChar::lowSurrogate(f);
      }
      ++i;
    } else if (!IsHighSurrogate(c) && !IsLowSurrogate(c)) {
      char32_t f = QChar::toCaseFolded(static_cast<char32_t>(c));
      if (!QChar::requiresSurrogates(f)) out[i] = static_cast<Char>(f);
    }
  }
  return out;
}

String AsciiFold(const String& s) {
  String out = s;
  for (Char& c : out) c = AsciiLower(c);
  return out;
}

Integer Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

bool IsBlank(Char c) { return c == u' ' || c == u'\t'; }

[[noreturn]] void RaiseConvert(const String& text, const char16_t* what) {
  throw EConvertError(u"'" + text + u"' is not a valid " + what);
}

// Parses an integer; hexMask is the largest hex bit pattern accepted (hex
// text fills the type's bits, so "$FFFFFFFF" is -1 as an Integer).
bool ParseInteger(const String& s, Int64 minValue, Int64 maxValue, UInt64 hexMask, Int64& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
  bool hex = false;
  if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  UInt64 magnitude = 0;
  const UInt64 limit = hex ? hexMask
                           : (negative ? UInt64(-(minValue + 1)) + 1 : UInt64(maxValue));
  const unsigned base = hex ? 16 : 10;
  for (; i < s.size(); ++i) {
    Char c = s[i];
    unsigned digit;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return false;
    if (magnitude > (limit - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  UInt64 bits = negative ? 0ull - magnitude : magnitude;
  // Hex text is a bit pattern of the target width; decimal text was range-checked.
  if (hex && hexMask == 0xFFFFFFFFull) bits = static_cast<UInt64>(Int64(static_cast<Integer>(static_cast<Cardinal>(bits))));
  out = static_cast<Int64>(bits);
  return true;
}

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}


// ---- Decimal form of a double ---------------------------------------------------

// value = 0.d1d2d3... * 10^exponent; digits carry no trailing zeros and are
// empty for zero.
struct Decimal {
  bool negative = false;
  int exponent = 0;
  std::string digits;
};

void StripZeros(Decimal& d) {
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) d.exponent = 0;
}

// Keeps `keep` leading digits, rounding half away from zero.
void RoundToCount(Decimal& d, int keep) {
  if (d.digits.empty() || keep >= static_cast<int>(d.digits.size())) return;
  if (keep < 0) {
    d.digits.clear();
    d.exponent = 0;
    return;
  }
  const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    while (!d.digits.empty() && d.digits.back() == '9') d.digits.pop_back();
    if (d.digits.empty()) {
      d.digits.push_back('1');
      ++d.exponent;
    } else {
      ++d.digits.back();
    }
  }
  StripZeros(d);
}

void RoundAtDecimals(Decimal& d, int decimals) {
  if (!d.digits.empty()) RoundToCount(d, d.exponent + decimals);
}

// `significant` digits (1..18). Up to 15 digits the value is first taken to
// 15 digits, the precision a double holds, so that 2.675 rounds to 2.68 as
// the user wrote it rather than by its binary neighbour 2.67499999...
Decimal ToDecimal(double value, int significant) {
  Decimal d;
  d.negative = std::signbit(value) && value != 0;
  if (value == 0) return d;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
  const char* e = std::strchr(buf, 'e');
  if (e == nullptr) return d;
  d.digits.push_back(buf[0]);
  d.digits.append(buf + 2, static_cast<size_t>(e - (buf + 2)));
  d.exponent = std::atoi(e + 1) + 1;
  StripZeros(d);
  if (significant <= 15) RoundToCount(d, 15);
  RoundToCount(d, significant);
  return d;
}

std::string IntegerDigits(const Decimal& d) {
  if (d.exponent <= 0) return std::string();
  std::string s = d.digits.substr(0, static_cast<size_t>(d.exponent));
  s.resize(static_cast<size_t>(d.exponent), '0');
  return s;
}

std::string FractionDigits(const Decimal& d, int count) {
  std::string s;
  for (int p = 0; p < count; ++p) {
    const int at = d.exponent + p;
    s += (at >= 0 && at < static_cast<int>(d.digits.size())) ? d.digits[static_cast<size_t>(at)] : '0';
  }
  return s;
}

String Group(const std::string& digits, Char separator) {
  String out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0 && separator != 0) out += separator;
    out += static_cast<Char>(digits[i]);
  }
  return out;
}

String ExponentText(int e, bool alwaysSign, int minDigits) {
  String out = e < 0 ? u"-" : (alwaysSign ? u"+" : u"");
  String n = Ascii(std::to_string(e < 0 ? -e : e));
  if (static_cast<int>(n.size()) < minDigits) n.insert(0, static_cast<size_t>(minDigits) - n.size(), u'0');
  return out + n;
}

String SpecialText(double value) {
  if (std::isnan(value)) return u"NAN";
  return value < 0 ? u"-INF" : u"INF";
}

String CurrencyText(const String& number, bool negative, const TFormatSettings& s) {
  const String& c = s.CurrencyString;
  if (!negative) {
    switch (s.CurrencyFormat) {
      case 1: return number + c;
      case 2: return c + u" " + number;
      case 3: return number + u" " + c;
      default: return c + number;
    }
  }
  switch (s.NegCurrFormat) {
    case 1: return u"-" + c + number;
    case 2: return c + u"-" + number;
    case 3: return c + number + u"-";
    case 4: return u"(" + number + c + u")";
    case 5: return u"-" + number + c;
    case 6: return number + u"-" + c;
    case 7: return number + c + u"-";
    case 8: return u"-" + number + u" " + c;
    case 9: return u"-" + c + u" " + number;
    case 10: return number + u" " + c + u"-";
    case 11: return c + u" " + number + u"-";
    case 12: return c + u" -" + number;
    case 13: return number + u"- " + c;
    case 14: return u"(" + c + u" " + number + u")";
    case 15: return u"(" + number + u" " + c + u")";
    default: return u"(" + c + number + u")";
  }
}

String GeneralText(double value, int precision, int expDigits, const TFormatSettings& s) {
  Decimal d = ToDecimal(value, precision);
  if (d.digits.empty()) return u"0";
  String out = d.negative ? u"-" : u"";
  const int size = static_cast<int>(d.digits.size());
  if (d.exponent > precision || d.exponent < -3) {
    out += static_cast<Char>(d.digits[0]);
    if (size > 1) out += s.DecimalSeparator + Ascii(d.digits.substr(1));
    return out + u"E" + ExponentText(d.exponent - 1, false, expDigits);
  }
  const std::string whole = IntegerDigits(d);
  out += whole.empty() ? u"0" : Ascii(whole);
  if (size > d.exponent) out += s.DecimalSeparator + Ascii(FractionDigits(d, size - d.exponent));
  return out;
}

String ExponentFormText(double value, int precision, int expDigits, const TFormatSettings& s) {
  Decimal d = ToDecimal(value, precision);
  std::string m = d.digits;
  m.resize(static_cast<size_t>(precision), '0');
  String out = d.negative ? u"-" : u"";
  out += static_cast<Char>(m[0]);
  if (precision > 1) out += s.DecimalSeparator + Ascii(m.substr(1));
  return out + u"E" + ExponentText(d.digits.empty() ? 0 : d.exponent - 1, true, expDigits);
}

String FixedText(double value, TFloatFormat format, int precision, int decimals, const TFormatSettings& s) {
  Decimal d = ToDecimal(value, precision);
  if (d.exponent > precision) return GeneralText(value, precision, 0, s);
  RoundAtDecimals(d, decimals);
  const std::string whole = IntegerDigits(d);
  String number = format == ffFixed ? Ascii(whole.empty() ? "0" : whole)
                                    : Group(whole.empty() ? "0" : whole, s.ThousandSeparator);
  if (decimals > 0) number += s.DecimalSeparator + Ascii(FractionDigits(d, decimals));
  const bool negative = d.negative && !d.digits.empty();
  if (format == ffCurrency) return CurrencyText(number, negative, s);
  return negative ? u"-" + number : number;
}

String FloatToText(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& s) {
  if (!std::isfinite(value)) return SpecialText(value);
  precision = std::clamp(precision, 1, 18);
  switch (format) {
    case ffGeneral: return GeneralText(value, precision, std::clamp(digits, 0, 4), s);
    case ffExponent: return ExponentFormText(value, precision, std::clamp(digits, 0, 4), s);
    default: return FixedText(value, format, precision, std::clamp(digits, 0, 18), s);
  }
}

// ---- Format patterns ----------------------------------------------------------------

bool IsQuote(Char c) { return c == u'\'' || c == u'"'; }

// Index just past the quoted literal starting at i.
size_t SkipQuoted(const String& f, size_t i) {
  const size_t close = f.find(f[i], i + 1);
  return close == String::npos ? f.size() : close + 1;
}

// The text of the quoted literal starting at i (an unclosed one runs to the end).
String QuotedText(const String& f, size_t i) {
  const size_t close = f.find(f[i], i + 1);
  return f.substr(i + 1, close == String::npos ? String::npos : close - i - 1);
}

bool IsExponentAt(const String& f, size_t i) {
  return (f[i] == u'E' || f[i] == u'e') && i + 1 < f.size() && (f[i + 1] == u'+' || f[i + 1] == u'-');
}

std::vector<String> SplitSections(const String& f) {
  std::vector<String> sections(1);
  for (size_t i = 0; i < f.size();) {
    if (IsQuote(f[i])) {
      const size_t end = SkipQuoted(f, i);
      sections.back() += f.substr(i, end - i);
      i = end;
    } else if (f[i] == u';' && sections.size() < 3) {
      sections.emplace_back();
      ++i;
    } else {
      sections.back() += f[i++];
    }
  }
  return sections;
}

// What a section asks for: placeholders before and after the point, where the
// required digits start and end, grouping and exponent.
struct Layout {
  int intPlaces = 0;
  int firstIntZero = -1;  // index of the first '0' among the integer places
  int fracPlaces = 0;
  int lastFracZero = 0;   // 1-based position of the last '0' after the point
  bool thousands = false;
  bool scientific = false;
  int expDigits = 0;
};

Layout Analyze(const String& f) {
  Layout l;
  bool afterPoint = false;
  for (size_t i = 0; i < f.size();) {
    const Char c = f[i];
    if (IsQuote(c)) {
      i = SkipQuoted(f, i);
      continue;
    }
    if (l.scientific) {
      ++i;
      continue;
    }
    if (c == u'0' || c == u'#') {
      if (afterPoint) {
        ++l.fracPlaces;
        if (c == u'0') l.lastFracZero = l.fracPlaces;
      } else {
        if (c == u'0' && l.firstIntZero < 0) l.firstIntZero = l.intPlaces;
        ++l.intPlaces;
      }
    } else if (c == u'.') {
      afterPoint = true;
    } else if (c == u',') {
      l.thousands = true;
    } else if (IsExponentAt(f, i)) {
      l.scientific = true;
      i += 2;
      while (i < f.size() && f[i] == u'0') ++l.expDigits, ++i;
      continue;
    }
    ++i;
  }
  return l;
}

// The digits a section shows: integer part, fraction part and exponent.
struct Shown {
  std::string whole;
  std::string fraction;
  int exponent = 0;
  bool zero = true;
};

void TrimFraction(std::string& fraction, int keep) {
  while (static_cast<int>(fraction.size()) > keep && fraction.back() == '0') fraction.pop_back();
}

bool ShownFixed(double a, const Layout& l, Shown& out) {
  Decimal d = ToDecimal(a, 15);
  if (d.exponent > 18) return false;  // too large for positional digits
  RoundAtDecimals(d, l.fracPlaces);
  out.zero = d.digits.empty();
  out.whole = IntegerDigits(d);
  const int minWhole = l.firstIntZero < 0 ? 0 : l.intPlaces - l.firstIntZero;
  if (static_cast<int>(out.whole.size()) < minWhole)
    out.whole.insert(0, static_cast<size_t>(minWhole) - out.whole.size(), '0');
  out.fraction = FractionDigits(d, l.fracPlaces);
  TrimFraction(out.fraction, l.lastFracZero);
  return true;
}

void ShownScientific(double a, const Layout& l, Shown& out) {
  const int significant = std::clamp(l.intPlaces + l.fracPlaces, 1, 15);
  Decimal d = ToDecimal(a, significant);
  out.zero = d.digits.empty();
  std::string all = d.digits;
  all.resize(static_cast<size_t>(l.intPlaces + l.fracPlaces), '0');
  out.whole = all.substr(0, static_cast<size_t>(l.intPlaces));
  out.fraction = all.substr(static_cast<size_t>(l.intPlaces));
  TrimFraction(out.fraction, l.lastFracZero);
  out.exponent = out.zero ? 0 : d.exponent - l.intPlaces;
}

// Writes the section with the shown digits in its placeholders.
String RenderLayout(const String& f, const Layout& l, const Shown& shown, const TFormatSettings& s) {
  String out;
  const int n = l.intPlaces;
  const int len = static_cast<int>(shown.whole.size());
  int intSeen = 0, fracSeen = 0;
  bool afterPoint = false, wholeWritten = n > 0 ? false : len == 0;
  auto putWholeDigit = [&](int index) {  // index into shown.whole
    out += static_cast<Char>(shown.whole[static_cast<size_t>(index)]);
    const int fromRight = len - 1 - index;
    if (l.thousands && !l.scientific && fromRight > 0 && fromRight % 3 == 0 && s.ThousandSeparator != 0)
      out += s.ThousandSeparator;
  };
  auto flushWhole = [&] {  // integer digits without a place of their own
    if (!wholeWritten) for (int k = 0; k < len; ++k) putWholeDigit(k);
    wholeWritten = true;
  };
  for (size_t i = 0; i < f.size();) {
    const Char c = f[i];
    if (IsQuote(c)) {
      out += QuotedText(f, i);
      i = SkipQuoted(f, i);
    } else if ((c == u'0' || c == u'#') && !afterPoint) {
      if (intSeen == 0) for (int k = 0; k < len - n; ++k) putWholeDigit(k);
      const int fromRight = n - 1 - intSeen;
      if (fromRight < len) putWholeDigit(len - 1 - fromRight);
      if (++intSeen == n) wholeWritten = true;
      ++i;
    } else if (c == u'0' || c == u'#') {
      if (fracSeen < static_cast<int>(shown.fraction.size())) out += static_cast<Char>(shown.fraction[static_cast<size_t>(fracSeen)]);
      ++fracSeen;
      ++i;
    } else if (c == u'.') {
      if (!afterPoint) {
        flushWhole();
        if (!shown.fraction.empty()) out += s.DecimalSeparator;
      }
      afterPoint = true;
      ++i;
    } else if (c == u',') {
      ++i;
    } else if (IsExponentAt(f, i)) {
      flushWhole();
      out += c;
      out += ExponentText(shown.exponent, f[i + 1] == u'+', l.expDigits);
      i += 2;
      while (i < f.size() && (f[i] == u'0' || f[i] == u'#')) ++i;
      // The exponent ends the number: the rest is literal text.
      for (; i < f.size(); ++i) {
        if (IsQuote(f[i])) {
          out += QuotedText(f, i);
          i = SkipQuoted(f, i) - 1;
        } else if (f[i] != u',' && f[i] != u'0' && f[i] != u'#') {
          out += f[i];
        }
      }
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

String RenderSection(const String& f, double a, const TFormatSettings& s, bool& zero) {
  const Layout l = Analyze(f);
  Shown shown;
  if (l.scientific) {
    ShownScientific(a, l, shown);
  } else if (!ShownFixed(a, l, shown)) {
    zero = false;
    return GeneralText(a, 15, 0, s);
  }
  zero = shown.zero;
  return RenderLayout(f, l, shown, s);
}

String FormatFloatPattern(const String& format, double value, const TFormatSettings& s) {
  if (!std::isfinite(value)) return SpecialText(value);
  const std::vector<String> sections = SplitSections(format);
  auto has = [&](size_t k) { return sections.size() > k && !sections[k].empty(); };
  size_t k = 0;
  if (value < 0 && has(1)) k = 1;
  if (value == 0 && has(2)) k = 2;
  if (!has(k)) return GeneralText(value, 15, 0, s);
  bool zero = false;
  String text = RenderSection(sections[k], std::fabs(value), s, zero);
  if (zero && k != 2 && has(2)) return RenderSection(sections[2], 0.0, s, zero);
  return (k == 0 && value < 0 && !zero) ? u"-" + text : text;
}

}  // namespace

// ---- Trimming and case -------------------------------------------------------

String Trim(const String& s) { return TrimLeft(TrimRight(s)); }

String TrimLeft(const String& s) {
  size_t i = 0;
  while (i < s.size() && s[i] <= u' ') ++i;
  return s.substr(i);
}

String TrimRight(const String& s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] <= u' ') --n;
  return s.substr(0, n);
}

String UpperCase(const String& s) {
  String out = s;
  for (Char& c : out) c = AsciiUpper(c);
  return out;
}

String LowerCase(const String& s) { return AsciiFold(s); }

String AnsiUpperCase(const String& s) { return FromQString(ToQString(s).toUpper()); }
String AnsiLowerCase(const String& s) { return FromQString(ToQString(s).toLower()); }

// ---- Comparison -------------------------------------------------------------------

Integer CompareStr(const String& a, const String& b) { return Sign(a.compare(b)); }
Integer CompareText(const String& a, const String& b) { return CompareStr(AsciiFold(a), AsciiFold(b)); }
bool SameStr(const String& a, const String& b) { return a == b; }
bool SameText(const String& a, const String& b) { return CompareText(a, b) == 0; }

Integer AnsiCompareStr(const String& a, const String& b) { return CompareStr(a, b); }
Integer AnsiCompareText(const String& a, const String& b) { return CompareStr(FoldCase(a), FoldCase(b)); }
bool AnsiSameStr(const String& a, const String& b) { return a == b; }
bool AnsiSameText(const String& a, const String& b) { return AnsiCompareText(a, b) == 0; }

// ---- Searching and slicing --------------------------------------------------------

Integer Pos(const String& sub, const String& s) { return PosEx(sub, s, 1); }

Integer PosEx(const String& sub, const String& s, Integer offset) {
  if (sub.empty() || offset < 1 || static_cast<size_t>(offset) > s.size()) return 0;
  size_t at = s.find(sub, static_cast<size_t>(offset - 1));
  return at == String::npos ? 0 : static_cast<Integer>(at + 1);
}

String Copy(const String& s, Integer index, Integer count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<size_t>(index) > s.size()) return String();
  return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

String Copy(const String& s, Integer index) {
  return Copy(s, index, std::numeric_limits<Integer>::max());
}

String StringReplace(const String& s, const String& oldPattern, const String& newPattern,
                     const TReplaceFlags& flags) {
  if (oldPattern.empty()) return s;
  const bool all = flags.count(rfReplaceAll) != 0;
  const bool ignoreCase = flags.count(rfIgnoreCase) != 0;
  const String hay = ignoreCase ? FoldCase(s) : s;
  const String needle = ignoreCase ? FoldCase(oldPattern) : oldPattern;
  String out;
  size_t from = 0;
  for (;;) {
    size_t at = hay.find(needle, from);
    if (at == String::npos) break;
    out.append(s, from, at - from);
    out += newPattern;
    from = at + needle.size();
    if (!all) break;
  }
  out.append(s, from, String::npos);
  return out;
}

String QuotedStr(const String& s) { return AnsiQuotedStr(s, u'\''); }

String AnsiQuotedStr(const String& s, Char quote) {
  String out(1, quote);
  for (Char c : s) {
    out += c;
    if (c == quote) out += c;
  }
  out += quote;
  return out;
}

String AnsiDequotedStr(const String& s, Char quote) {
  if (s.empty() || s[0] != quote) return s;
  String out;
  size_t i = 1;
  while (i < s.size()) {
    if (s[i] == quote) {
      if (i + 1 < s.size() && s[i + 1] == quote) {
        out += quote;
        i += 2;
        continue;
      }
      break;  // closing quote
    }
    out += s[i++];
  }
  return out;
}

String StringOfChar(Char ch, Integer count) {
  return count > 0 ? String(static_cast<size_t>(count), ch) : String();
}

String IntToHex(Integer value, Integer digits) { return IntToHex(static_cast<UInt64>(static_cast<Cardinal>(value)), digits); }
String IntToHex(Int64 value, Integer digits) { return IntToHex(static_cast<UInt64>(value), digits); }
String IntToHex(Cardinal value, Integer digits) { return IntToHex(static_cast<UInt64>(value), digits); }

String IntToHex(UInt64 value, Integer digits) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  UInt64 v = value;
  String out;
  do {
    out.insert(out.begin(), kHex[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  if (digits > 32) digits = 32;
  if (static_cast<Integer>(out.size()) < digits) out.insert(0, static_cast<size_t>(digits) - out.size(), u'0');
  return out;
}

// ---- Integers -----------------------------------------------------------------------

String IntToStr(Integer value) { return Ascii(std::to_string(value)); }
String IntToStr(Int64 value) { return Ascii(std::to_string(value)); }
String IntToStr(Cardinal value) { return Ascii(std::to_string(value)); }
String IntToStr(UInt64 value) { return Ascii(std::to_string(value)); }

bool TryStrToInt(const String& s, Integer& value) {
  Int64 v;
  if (!ParseInteger(s, std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(),
                    0xFFFFFFFFull, v))
    return false;
  value = static_cast<Integer>(v);
  return true;
}

Integer StrToInt(const String& s) {
  Integer v;
  if (!TryStrToInt(s, v)) RaiseConvert(s, u"integer value");
  return v;
}

Integer StrToIntDef(const String& s, Integer defaultValue) {
  Integer v;
  return TryStrToInt(s, v) ? v : defaultValue;
}

bool TryStrToInt64(const String& s, Int64& value) {
  return ParseInteger(s, std::numeric_limits<Int64>::min(), std::numeric_limits<Int64>::max(),
                      ~0ull, value);
}

Int64 StrToInt64(const String& s) {
  Int64 v;
  if (!TryStrToInt64(s, v)) RaiseConvert(s, u"integer value");
  return v;
}

Int64 StrToInt64Def(const String& s, Int64 defaultValue) {
  Int64 v;
  return TryStrToInt64(s, v) ? v : defaultValue;
}

Integer MulDiv(Integer a, Integer b, Integer c) {
  if (c == 0) return -1;
  const Int64 num = static_cast<Int64>(a) * b;
  Int64 q = num / c;
  const Int64 r = num % c;
  // Round half away from zero: |2r| >= |c| moves one step away from zero.
  if (r != 0 && 2 * (r < 0 ? -r : r) >= (c < 0 ? -Int64(c) : Int64(c))) q += ((num < 0) != (c < 0)) ? -1 : 1;
  if (q < std::numeric_limits<Integer>::min() || q > std::numeric_limits<Integer>::max()) return -1;
  return static_cast<Integer>(q);
}

// ---- Floating point -------------------------------------------------------------------

String FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }
String FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings());
}

String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& settings) {
  return FloatToText(value, format, precision, digits, settings);
}

String FormatFloat(const String& format, double value) {
  return FormatFloat(format, value, FormatSettings());
}

String FormatFloat(const String& format, double value, const TFormatSettings& settings) {
  return FormatFloatPattern(format, value, settings);
}

bool TryStrToFloat(const String& s, double& value) { return TryStrToFloat(s, value, FormatSettings()); }

bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings) {
  size_t i = 0, n = s.size();
  while (i < n && IsBlank(s[i])) ++i;
  while (n > i && IsBlank(s[n - 1])) --n;
  const String body = s.substr(i, n - i);
  const String upper = UpperCase(body);
  if (upper == u"INF" || upper == u"+INF" || upper == u"-INF" || upper == u"NAN") {
    value = upper == u"NAN" ? std::numeric_limits<double>::quiet_NaN()
                            : (upper[0] == u'-' ? -1.0 : 1.0) * std::numeric_limits<double>::infinity();
    return true;
  }
  std::string text;
  size_t j = 0;
  if (j < body.size() && (body[j] == u'+' || body[j] == u'-')) text += static_cast<char>(body[j++]);
  int mantissaDigits = 0;
  bool point = false;
  for (; j < body.size(); ++j) {
    Char c = body[j];
    if (c >= u'0' && c <= u'9') {
      text += static_cast<char>(c);
      ++mantissaDigits;
    } else if (c == settings.DecimalSeparator && !point) {
      text += '.';
      point = true;
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return false;
  if (j < body.size() && (body[j] == u'e' || body[j] == u'E')) {
    text += 'e';
    ++j;
    if (j < body.size() && (body[j] == u'+' || body[j] == u'-')) text += static_cast<char>(body[j++]);
    int expDigits = 0;
    for (; j < body.size() && body[j] >= u'0' && body[j] <= u'9'; ++j, ++expDigits) text += static_cast<char>(body[j]);
    if (expDigits == 0) return false;
  }
  if (j != body.size()) return false;
  const double v = strtod_l(text.c_str(), nullptr, CLocale());
  if (std::isinf(v)) return false;  // overflow
  value = v;
  return true;
}

double StrToFloat(const String& s) { return StrToFloat(s, FormatSettings()); }

double StrToFloat(const String& s, const TFormatSettings& settings) {
  double v;
  if (!TryStrToFloat(s, v, settings)) RaiseConvert(s, u"floating point value");
  return v;
}

double StrToFloatDef(const String& s, double defaultValue) {
  return StrToFloatDef(s, defaultValue, FormatSettings());
}

double StrToFloatDef(const String& s, double defaultValue, const TFormatSettings& settings) {
  double v;
  return TryStrToFloat(s, v, settings) ? v : defaultValue;
}
