#include "platform/rtl/format.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

// Keeps a runaway width or precision from allocating without bound.
constexpr Int64 kMaxWidth = Int64(1) << 20;

class Formatter {
public:
  Formatter(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings)
      : FFmt(fmt), FArgs(args), FSettings(settings) {}

  String Run() {
    while (FPos < FFmt.size()) {
      const Char c = FFmt[FPos++];
      if (c != u'%') {
        FOut += c;
      } else if (FPos < FFmt.size() && FFmt[FPos] == u'%') {
        FOut += u'%';
        ++FPos;
      } else {
        Specifier();
      }
    }
    return FOut;
  }

private:
  [[noreturn]] void Invalid() const {
    throw EConvertError(u"Format '" + FFmt + u"' invalid or incompatible with argument");
  }

  const TVarRec& NextArg() {
    if (FArg >= FArgs.size()) throw EConvertError(u"No argument for format '" + FFmt + u"'");
    return FArgs.begin()[FArg++];
  }

  static bool IsInteger(const TVarRec& a) {
    return a.Kind == TVarRec::vtInteger || a.Kind == TVarRec::vtInt64 || a.Kind == TVarRec::vtUInt64;
  }

  // Digits or "*"; false when neither stands here.
  bool ReadNumber(Int64& value) {
    if (FPos < FFmt.size() && FFmt[FPos] == u'*') {
      ++FPos;
      const TVarRec& a = NextArg();
      if (!IsInteger(a)) Invalid();
      value = a.Kind == TVarRec::vtUInt64 && a.VInt64 < 0 ? kMaxWidth : std::clamp(a.VInt64, -kMaxWidth, kMaxWidth);
      return true;
    }
    if (FPos >= FFmt.size() || FFmt[FPos] < u'0' || FFmt[FPos] > u'9') return false;
    value = 0;
    while (FPos < FFmt.size() && FFmt[FPos] >= u'0' && FFmt[FPos] <= u'9') {
      value = std::min<Int64>(value * 10 + (FFmt[FPos] - u'0'), kMaxWidth);
      ++FPos;
    }
    return true;
  }

  void Specifier() {
    bool left = false;
    Int64 width = -1, precision = -1, number;
    if (ReadNumber(number)) {
      if (FPos < FFmt.size() && FFmt[FPos] == u':') {
        ++FPos;
        if (number < 0) Invalid();
        FArg = static_cast<size_t>(number);
      } else {
        width = number;
      }
    }
    if (width < 0) {
      if (FPos < FFmt.size() && FFmt[FPos] == u'-') {
        left = true;
        ++FPos;
      }
      if (ReadNumber(number)) width = number;
    }
    if (width < -1) {  // a negative "*" width justifies left
      left = true;
      width = -width;
    }
    width = std::min(width, kMaxWidth);
    if (FPos < FFmt.size() && FFmt[FPos] == u'.') {
      ++FPos;
      if (!ReadNumber(precision)) precision = 0;
      if (precision < 0) precision = -1;
      precision = std::min(precision, kMaxWidth);
    }
    if (FPos >= FFmt.size()) Invalid();
    const Char type = FFmt[FPos++];
    String text = Convert(type, NextArg(), precision);
    if (width > static_cast<Int64>(text.size())) {
      const String pad(static_cast<size_t>(width) - text.size(), u' ');
      text = left ? text + pad : pad + text;
    }
    FOut += text;
  }

  String Convert(Char type, const TVarRec& a, Int64 precision) {
    switch (type | 0x20) {  // either case
      case u'd': return Decimal(a, precision, false);
      case u'u': return Decimal(a, precision, true);
      case u'x': return Hex(a, precision);
      case u's': return Text(a, precision);
      case u'p':
        if (a.Kind != TVarRec::vtPointer && a.Kind != TVarRec::vtPChar) Invalid();
        return IntToHex(static_cast<Int64>(reinterpret_cast<std::uintptr_t>(a.VPointer)), 16);
      case u'f': return Float(a, ffFixed, precision, 2);
      case u'n': return Float(a, ffNumber, precision, 2);
      case u'm': return Float(a, ffCurrency, precision, FSettings.CurrencyDecimals);
      case u'e': return Float(a, ffExponent, precision, 15);
      case u'g': return Float(a, ffGeneral, precision, 15);
      default: Invalid();
    }
  }

  static String Ascii(const std::string& s) { return String(s.begin(), s.end()); }

  static String ZeroPad(String digits, Int64 precision) {
    if (precision > static_cast<Int64>(digits.size())) digits.insert(0, static_cast<size_t>(precision) - digits.size(), u'0');
    return digits;
  }

  String Decimal(const TVarRec& a, Int64 precision, bool asUnsigned) {
    if (!IsInteger(a)) Invalid();
    UInt64 magnitude;
    bool negative = false;
    if (a.Kind == TVarRec::vtUInt64) {
      magnitude = static_cast<UInt64>(a.VInt64);
    } else if (asUnsigned) {
      magnitude = a.Kind == TVarRec::vtInteger ? static_cast<Cardinal>(a.VInt64) : static_cast<UInt64>(a.VInt64);
    } else {
      negative = a.VInt64 < 0;
      magnitude = negative ? 0ull - static_cast<UInt64>(a.VInt64) : static_cast<UInt64>(a.VInt64);
    }
    const String digits = ZeroPad(Ascii(std::to_string(magnitude)), precision);
    return negative ? u"-" + digits : digits;
  }

  String Hex(const TVarRec& a, Int64 precision) {
    if (!IsInteger(a)) Invalid();
    const String digits = a.Kind == TVarRec::vtInteger ? IntToHex(static_cast<Integer>(a.VInt64), 1)
                                                       : IntToHex(a.VInt64, 1);
    return ZeroPad(digits, precision);
  }

  String Text(const TVarRec& a, Int64 precision) {
    String s;
    switch (a.Kind) {
      case TVarRec::vtString: s = *a.VString; break;
      case TVarRec::vtPChar: if (a.VPChar) s = a.VPChar; break;
      case TVarRec::vtWideChar: s = String(1, a.VWideChar); break;
      default: Invalid();
    }
    if (precision >= 0 && precision < static_cast<Int64>(s.size())) s.resize(static_cast<size_t>(precision));
    return s;
  }

  // Fixed forms round at 15 significant digits (what a double holds) unless
  // the number is too large to show its integer digits that way.
  String Float(const TVarRec& a, TFloatFormat format, Int64 precision, Integer defaultPrecision) {
    if (a.Kind != TVarRec::vtExtended) Invalid();
    const double v = a.VExtended;
    const Integer p = precision < 0 ? defaultPrecision : static_cast<Integer>(std::min<Int64>(precision, 18));
    switch (format) {
      case ffExponent:
      case ffGeneral: return FloatToStrF(v, format, std::max(p, 1), format == ffExponent ? 3 : 0, FSettings);
      default: return FloatToStrF(v, format, std::fabs(v) < 1e15 ? 15 : 18, p, FSettings);
    }
  }

  const String& FFmt;
  std::initializer_list<TVarRec> FArgs;
  const TFormatSettings& FSettings;
  size_t FPos = 0;
  size_t FArg = 0;
  String FOut;
};

}  // namespace

String Format(const String& fmt, std::initializer_list<TVarRec> args) {
  return Format(fmt, args, FormatSettings());
}

String Format(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings) {
  return Formatter(fmt, args, settings).Run();
}
