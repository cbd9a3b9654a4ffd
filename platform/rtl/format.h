#pragma once
// Format: text with %-specifiers filled from a list of arguments.
#include <cstddef>
#include <initializer_list>

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/types.h"

// One argument of Format. It refers to string arguments without copying them,
// so it lives only as long as the call it is passed to.
struct TVarRec {
  enum TKind { vtInteger, vtInt64, vtUInt64, vtExtended, vtString, vtWideChar, vtPChar, vtPointer };

  TVarRec(int v) : Kind(vtInteger), VInt64(v) {}
  TVarRec(unsigned v) : Kind(vtInt64), VInt64(v) {}
  TVarRec(long v) : Kind(vtInt64), VInt64(v) {}
  TVarRec(long long v) : Kind(vtInt64), VInt64(v) {}
  TVarRec(unsigned long v) : Kind(vtUInt64), VInt64(static_cast<Int64>(v)) {}
  TVarRec(unsigned long long v) : Kind(vtUInt64), VInt64(static_cast<Int64>(v)) {}
  TVarRec(double v) : Kind(vtExtended), VExtended(v) {}
  TVarRec(const String& v) : Kind(vtString), VString(&v) {}
  TVarRec(const char16_t* v) : Kind(vtPChar), VPChar(v) {}
  TVarRec(Char v) : Kind(vtWideChar), VWideChar(v) {}
  TVarRec(const void* v) : Kind(vtPointer), VPointer(v) {}
  TVarRec(std::nullptr_t) : Kind(vtPointer), VPointer(nullptr) {}
  TVarRec(bool) = delete;         // no Boolean argument: pass a text or a number
  TVarRec(const char*) = delete;  // narrow text: write u"..." or convert from UTF-8

  TKind Kind;
  union {
    Int64 VInt64;  // vtInteger, vtInt64, vtUInt64 (the bit pattern)
    double VExtended;
    const String* VString;
    const char16_t* VPChar;  // null-terminated, may be null
    Char VWideChar;
    const void* VPointer;
  };
};

// Specifier: "%" [index ":"] ["-"] [width] ["." precision] type, where index,
// width and precision are digits or "*" (taken from the next argument, which
// must be an integer). After an indexed specifier the following unindexed
// ones continue from that index. "%%" writes "%". Types (either case):
//   d  integer; precision = minimum digits (zero-padded)
//   u  integer shown unsigned (Integer as 32 bits, Int64 as 64 bits)
//   x  integer in upper-case hex; precision = minimum digits
//   s  string or character; precision = maximum characters
//   f  fixed, precision decimals (default 2)
//   n  as f with thousands separators
//   m  money: CurrencyString, CurrencyFormat/NegCurrFormat, precision
//      decimals (default CurrencyDecimals)
//   e  scientific, precision significant digits (default 15), exponent of at
//      least three digits with its sign ("1.50000000000000E+003")
//   g  general as FloatToStr, precision significant digits (default 15)
//   p  pointer as 16 hex digits
// The width pads with blanks on the left (on the right with "-"); widths and
// precisions are limited to 1048576.
// A bad specifier, a missing argument or an argument of the wrong type raises
// EConvertError naming the format.
String Format(const String& fmt, std::initializer_list<TVarRec> args);
String Format(const String& fmt, std::initializer_list<TVarRec> args, const TFormatSettings& settings);
