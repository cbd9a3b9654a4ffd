#pragma once
// Text and number routines on String. Positions are 1-based: the first
// character of a string is at index 1, and 0 means "not found".
#include <cstdint>
#include <set>

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/types.h"

// ---- Trimming and case -------------------------------------------------------

// Remove leading and/or trailing characters <= U+0020 (blanks and controls).
String Trim(const String& s);
String TrimLeft(const String& s);
String TrimRight(const String& s);

// ASCII letters only; every other character is left as it is.
String UpperCase(const String& s);
String LowerCase(const String& s);

// Full Unicode case mapping.
String AnsiUpperCase(const String& s);
String AnsiLowerCase(const String& s);

// ---- Comparison (result < 0, 0 or > 0) ----------------------------------------

// Ordinal comparison by UTF-16 code unit.
Integer CompareStr(const String& a, const String& b);
// As CompareStr after folding ASCII letters to lower case.
Integer CompareText(const String& a, const String& b);
bool SameStr(const String& a, const String& b);
bool SameText(const String& a, const String& b);

// The "Ansi" forms do not depend on the machine's locale: AnsiCompareStr is
// ordinal by UTF-16 code unit, AnsiCompareText orders ordinally after simple
// Unicode case folding (each character to one character: "Ä" = "ä", but
// "ß" <> "SS"). The same strings thus sort the same on every machine, and the
// order is total.
Integer AnsiCompareStr(const String& a, const String& b);
Integer AnsiCompareText(const String& a, const String& b);
bool AnsiSameStr(const String& a, const String& b);
bool AnsiSameText(const String& a, const String& b);

// ---- Searching and slicing -----------------------------------------------------

// 1-based index of the first occurrence of sub in s, 0 when absent or sub empty.
Integer Pos(const String& sub, const String& s);
// As Pos, starting the search at 1-based offset; 0 when offset < 1 or past the end.
Integer PosEx(const String& sub, const String& s, Integer offset = 1);
// count characters from 1-based index. index < 1 counts as 1; a count running
// past the end is clamped; count <= 0 or index past the end gives "".
String Copy(const String& s, Integer index, Integer count);
// From 1-based index to the end.
String Copy(const String& s, Integer index);

enum class TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = std::set<TReplaceFlag>;
inline constexpr TReplaceFlag rfReplaceAll = TReplaceFlag::rfReplaceAll;
inline constexpr TReplaceFlag rfIgnoreCase = TReplaceFlag::rfIgnoreCase;

// Replaces the first (or with rfReplaceAll every) occurrence of oldPattern.
// rfIgnoreCase matches as AnsiSameText does. The replacement text is not
// searched again. An empty oldPattern leaves s unchanged.
String StringReplace(const String& s, const String& oldPattern, const String& newPattern,
                     const TReplaceFlags& flags);

// 'text' with inner quotes doubled.
String QuotedStr(const String& s);
// quote + s with quote doubled + quote.
String AnsiQuotedStr(const String& s, Char quote);
// Reverse of AnsiQuotedStr. When s does not begin with quote it is returned
// unchanged; a missing closing quote takes the rest of the text.
String AnsiDequotedStr(const String& s, Char quote);

String StringOfChar(Char ch, Integer count);

// Upper-case hex, zero-padded to at least digits characters. Negative values
// show their two's complement (8 digits for Integer, 16 for Int64).
String IntToHex(Integer value, Integer digits);
String IntToHex(Int64 value, Integer digits);
String IntToHex(Cardinal value, Integer digits);
String IntToHex(UInt64 value, Integer digits);

// ---- Integers ---------------------------------------------------------------------

String IntToStr(Integer value);
String IntToStr(Int64 value);
String IntToStr(Cardinal value);
String IntToStr(UInt64 value);

// Accepts optional leading blanks, a sign, then decimal digits or hex after
// "$", "0x" or "0X". Trailing characters of any kind, overflow or an empty
// number fail. StrToInt raises EConvertError with the text in its message.
bool TryStrToInt(const String& s, Integer& value);
Integer StrToInt(const String& s);
Integer StrToIntDef(const String& s, Integer defaultValue);
bool TryStrToInt64(const String& s, Int64& value);
Int64 StrToInt64(const String& s);
Int64 StrToInt64Def(const String& s, Int64 defaultValue);

// (a * b) / c computed in 64 bits and rounded half away from zero.
// c == 0, or a result outside Integer, answers -1.
Integer MulDiv(Integer a, Integer b, Integer c);

// ---- Floating point ----------------------------------------------------------------

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format with 15 significant digits: "0.1", "1E15", "-1E-5",
// "1.23456789012346E17". Infinities and NaN give "INF", "-INF", "NAN".
String FloatToStr(double value);
String FloatToStr(double value, const TFormatSettings& settings);

// precision = significant digits (max 18); digits = exponent digits for
// ffGeneral/ffExponent, decimals for ffFixed/ffNumber/ffCurrency.
String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits);
String FloatToStrF(double value, TFloatFormat format, Integer precision, Integer digits,
                   const TFormatSettings& settings);

// Pattern language: 0 (digit), # (optional digit), . (decimal separator),
// , (thousands separators on), E+ E- e+ e- (exponent), 'x' "x" (literal),
// ';' separating positive;negative;zero sections. An empty pattern gives
// the general format.
String FormatFloat(const String& format, double value);
String FormatFloat(const String& format, double value, const TFormatSettings& settings);

// Accepts blanks around the number, a sign, digits with the settings'
// DecimalSeparator, and an exponent ("1,5E3" in a ',' locale). "INF", "-INF"
// and "NAN" are read back as well.
bool TryStrToFloat(const String& s, double& value);
bool TryStrToFloat(const String& s, double& value, const TFormatSettings& settings);
double StrToFloat(const String& s);
double StrToFloat(const String& s, const TFormatSettings& settings);
double StrToFloatDef(const String& s, double defaultValue);
double StrToFloatDef(const String& s, double defaultValue, const TFormatSettings& settings);
