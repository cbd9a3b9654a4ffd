#include "platform/rtl/sysutils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

std::string U8(const String& s) { return StringToUTF8(s); }

TFormatSettings Dot() { return TFormatSettings::Invariant(); }

// A locale with a decimal comma and a dot between thousands.
TFormatSettings Comma() {
  TFormatSettings s = TFormatSettings::Invariant();
  s.DecimalSeparator = u',';
  s.ThousandSeparator = u'.';
  return s;
}

}  // namespace

// ---- Trimming, case, comparison -------------------------------------------------

TEST(SysUtilsText, TrimRemovesBlanksAndControls) {
  struct Case { String in, both, left, right; };
  const Case cases[] = {
      {u"", u"", u"", u""},
      {u"  \t\r\n", u"", u"", u""},
      {u"  abc  ", u"abc", u"abc  ", u"  abc"},
      {u"\x01中文 元数据\x1F", u"中文 元数据", u"中文 元数据\x1F", u"\x01中文 元数据"},
      {u"\u3000全角\u3000", u"\u3000全角\u3000", u"\u3000全角\u3000", u"\u3000全角\u3000"},  // ideographic space stays
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Trim(c.in), c.both) << U8(c.in);
    EXPECT_EQ(TrimLeft(c.in), c.left) << U8(c.in);
    EXPECT_EQ(TrimRight(c.in), c.right) << U8(c.in);
  }
}

TEST(SysUtilsText, CaseMappingAsciiAndUnicode) {
  EXPECT_EQ(UpperCase(u"abc Äö 中文 xyz"), u"ABC Äö 中文 XYZ");
  EXPECT_EQ(LowerCase(u"ABC ÄÖ 中文"), u"abc ÄÖ 中文");
  EXPECT_EQ(AnsiUpperCase(u"abc äöü ω 中文"), u"ABC ÄÖÜ Ω 中文");
  EXPECT_EQ(AnsiLowerCase(u"ABC ÄÖÜ Ω 中文"), u"abc äöü ω 中文");
}

TEST(SysUtilsText, Comparisons) {
  auto sign = [](Integer v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
  struct Case { String a, b; int str, text, ansiText; };
  const Case cases[] = {
      {u"abc", u"abc", 0, 0, 0},
      {u"abc", u"ABC", 1, 0, 0},
      {u"abc", u"abd", -1, -1, -1},
      {u"ab", u"abc", -1, -1, -1},
      {u"", u"", 0, 0, 0},
      {u"äb", u"ÄB", 1, 1, 0},             // only the Unicode form folds ä
      {u"中文", u"中文", 0, 0, 0},
      {u"中", u"文", -1, -1, -1},           // U+4E2D < U+6587
      {u"Z", u"a", -1, 1, 1},               // case-insensitive: z > a
      {u"数据A", u"数据a", -1, 0, 0},
      {u"\U00010400", u"\U00010428", -1, -1, 0},  // a case pair outside the BMP
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.a) + " vs " + U8(c.b));
    EXPECT_EQ(sign(CompareStr(c.a, c.b)), c.str);
    EXPECT_EQ(sign(AnsiCompareStr(c.a, c.b)), c.str);
    EXPECT_EQ(sign(CompareText(c.a, c.b)), c.text);
    EXPECT_EQ(sign(AnsiCompareText(c.a, c.b)), c.ansiText);
    EXPECT_EQ(SameStr(c.a, c.b), c.str == 0);
    EXPECT_EQ(AnsiSameStr(c.a, c.b), c.str == 0);
    EXPECT_EQ(SameText(c.a, c.b), c.text == 0);
    EXPECT_EQ(AnsiSameText(c.a, c.b), c.ansiText == 0);
    // Antisymmetric, so sorts with these comparers are consistent.
    EXPECT_EQ(sign(AnsiCompareText(c.b, c.a)), -c.ansiText);
  }
}

// ---- Searching and slicing -------------------------------------------------------

TEST(SysUtilsText, PosAndPosEx) {
  EXPECT_EQ(Pos(u"b", u"abcb"), 2);
  EXPECT_EQ(Pos(u"数据", u"元数据"), 2);
  EXPECT_EQ(Pos(u"x", u"abc"), 0);
  EXPECT_EQ(Pos(u"", u"abc"), 0);
  EXPECT_EQ(Pos(u"abcd", u"abc"), 0);
  EXPECT_EQ(PosEx(u"b", u"abcb", 3), 4);
  EXPECT_EQ(PosEx(u"b", u"abcb", 4), 4);
  EXPECT_EQ(PosEx(u"b", u"abcb", 5), 0);
  EXPECT_EQ(PosEx(u"b", u"abcb", 0), 0);
}

TEST(SysUtilsText, CopyClampsOutOfRangeArguments) {
  struct Case { Integer index, count; String out; };
  const Case cases[] = {
      {1, 3, u"中文a"}, {2, 2, u"文a"}, {0, 2, u"中文"}, {-5, 1, u"中"},
      {4, 100, u"bc"}, {5, 1, u"c"}, {6, 1, u""}, {100, 1, u""},
      {2, 0, u""}, {2, -1, u""},
      {1, std::numeric_limits<Integer>::max(), u"中文abc"},
  };
  for (const Case& c : cases) EXPECT_EQ(Copy(u"中文abc", c.index, c.count), c.out) << c.index << "," << c.count;
  EXPECT_EQ(Copy(u"中文abc", 3), u"abc");
}

TEST(SysUtilsText, StringReplace) {
  struct Case { String s, oldP, newP; TReplaceFlags flags; String out; };
  const Case cases[] = {
      {u"a.b.c", u".", u"::", {}, u"a::b.c"},
      {u"a.b.c", u".", u"::", {rfReplaceAll}, u"a::b::c"},
      {u"aaa", u"aa", u"b", {rfReplaceAll}, u"ba"},           // no overlapping matches
      {u"abc", u"", u"x", {rfReplaceAll}, u"abc"},            // empty pattern: unchanged
      {u"abc", u"x", u"y", {rfReplaceAll}, u"abc"},
      {u"aXbxc", u"x", u"-", {rfReplaceAll}, u"aXb-c"},
      {u"aXbxc", u"x", u"-", {rfReplaceAll, rfIgnoreCase}, u"a-b-c"},
      {u"ÄbäB", u"äb", u"=", {rfReplaceAll, rfIgnoreCase}, u"=="},
      {u"中文中文", u"文", u"国", {rfReplaceAll}, u"中国中国"},
      {u"xx", u"x", u"xx", {rfReplaceAll}, u"xxxx"},          // replacement is not searched again
  };
  for (const Case& c : cases) EXPECT_EQ(StringReplace(c.s, c.oldP, c.newP, c.flags), c.out) << U8(c.s);
}

TEST(SysUtilsText, Quoting) {
  EXPECT_EQ(QuotedStr(u""), u"''");
  EXPECT_EQ(QuotedStr(u"it's"), u"'it''s'");
  EXPECT_EQ(AnsiQuotedStr(u"say \"hi\"", u'"'), u"\"say \"\"hi\"\"\"");
  struct Case { String in, out; };
  const Case dequote[] = {
      {u"'it''s'", u"it's"}, {u"'abc' tail", u"abc"}, {u"'unclosed", u"unclosed"},
      {u"plain", u"plain"}, {u"''", u""}, {u"", u""}, {u"'中''文'", u"中'文"},
  };
  for (const Case& c : dequote) EXPECT_EQ(AnsiDequotedStr(c.in, u'\''), c.out) << U8(c.in);
  EXPECT_EQ(AnsiDequotedStr(AnsiQuotedStr(u"a'b''c", u'\''), u'\''), u"a'b''c");
}

TEST(SysUtilsText, StringOfCharAndIntToHex) {
  EXPECT_EQ(StringOfChar(u'中', 3), u"中中中");
  EXPECT_EQ(StringOfChar(u'x', 0), u"");
  EXPECT_EQ(StringOfChar(u'x', -2), u"");
  EXPECT_EQ(IntToHex(255, 4), u"00FF");
  EXPECT_EQ(IntToHex(0x1234, 2), u"1234");
  EXPECT_EQ(IntToHex(0, 0), u"0");
  EXPECT_EQ(IntToHex(-1, 2), u"FFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(-1), 2), u"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(Int64(0x123456789A), 12), u"00123456789A");
  EXPECT_EQ(IntToHex(Cardinal(0xFF00000F), 8), u"FF00000F");
}

// ---- Integers ------------------------------------------------------------------------

TEST(SysUtilsNumbers, IntToStr) {
  EXPECT_EQ(IntToStr(0), u"0");
  EXPECT_EQ(IntToStr(-42), u"-42");
  EXPECT_EQ(IntToStr(std::numeric_limits<Integer>::min()), u"-2147483648");
  EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::max()), u"9223372036854775807");
  EXPECT_EQ(IntToStr(Cardinal(4000000000u)), u"4000000000");
  EXPECT_EQ(IntToStr(std::numeric_limits<UInt64>::max()), u"18446744073709551615");
}

TEST(SysUtilsNumbers, ParseInteger) {
  struct Case { String text; bool ok; Integer value; };
  const Case cases[] = {
      {u"0", true, 0}, {u"123", true, 123}, {u"-123", true, -123}, {u"+7", true, 7},
      {u"   42", true, 42},                       // leading blanks allowed
      {u"42 ", false, 0},                         // trailing ones are not
      {u"2147483647", true, 2147483647},
      {u"-2147483648", true, std::numeric_limits<Integer>::min()},
      {u"2147483648", false, 0}, {u"-2147483649", false, 0}, {u"99999999999999999999", false, 0},
      {u"$FF", true, 255}, {u"0x1f", true, 31}, {u"0XA", true, 10}, {u"x10", true, 16}, {u"-$10", true, -16},
      {u"$FFFFFFFF", true, -1},                   // hex fills the 32 bits
      {u"$100000000", false, 0},
      {u"", false, 0}, {u"-", false, 0}, {u"$", false, 0}, {u"0x", false, 0}, {u" ", false, 0},
      {u"12a", false, 0}, {u"1.5", false, 0}, {u"1,000", false, 0}, {u"١٢", false, 0},  // Arabic digits
      {u"$G1", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.text));
    Integer v = -99;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
      EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
      EXPECT_THROW(StrToInt(c.text), EConvertError);
    }
    EXPECT_EQ(StrToIntDef(c.text, -7), c.ok ? c.value : -7);
  }
  try {
    StrToInt(u"abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, u"'abc' is not a valid integer value");
  }
}

TEST(SysUtilsNumbers, ParseInt64) {
  struct Case { String text; bool ok; Int64 value; };
  const Case cases[] = {
      {u"9223372036854775807", true, std::numeric_limits<Int64>::max()},
      {u"-9223372036854775808", true, std::numeric_limits<Int64>::min()},
      {u"9223372036854775808", false, 0},
      {u"  -5000000000", true, -5000000000LL},
      {u"$FFFFFFFFFFFFFFFF", true, -1}, {u"$FFFFFFFF", true, 0xFFFFFFFFLL},
      {u"$1FFFFFFFFFFFFFFFF", false, 0}, {u"5000000000x", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.text));
    Int64 v = 0;
    EXPECT_EQ(TryStrToInt64(c.text, v), c.ok);
    if (c.ok) {
      EXPECT_EQ(StrToInt64(c.text), c.value);
    } else {
      EXPECT_THROW(StrToInt64(c.text), EConvertError);
    }
    EXPECT_EQ(StrToInt64Def(c.text, 3), c.ok ? c.value : 3);
  }
}

TEST(SysUtilsNumbers, MulDivRoundsHalfAwayFromZero) {
  struct Case { Integer a, b, c, out; };
  const Case cases[] = {
      {10, 3, 2, 15}, {5, 1, 2, 3}, {-5, 1, 2, -3}, {5, -1, 2, -3}, {5, 1, -2, -3}, {-5, -1, 2, 3},
      {7, 1, 3, 2}, {8, 1, 3, 3}, {-7, 1, 3, -2}, {-8, 1, 3, -3},
      {100, 1, 3, 33}, {200, 14, 100, 28}, {212, -2, 100, -4}, {250, -2, 100, -5},
      {0x7FFFFFFF, 2, 2, 0x7FFFFFFF},               // the product needs 64 bits
      {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF},
      {1, 1, 0, -1}, {0, 5, 0, -1},                 // zero divisor
      {0x7FFFFFFF, 4, 1, -1},                       // result outside Integer
      {std::numeric_limits<Integer>::min(), -1, 1, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.out) << c.a << "*" << c.b << "/" << c.c;
}

// ---- Floating point ----------------------------------------------------------------

TEST(SysUtilsFloat, FloatToStrGeneral) {
  struct Case { double v; String out; };
  const Case cases[] = {
      {0, u"0"}, {-0.0, u"0"}, {1, u"1"}, {-1.5, u"-1.5"}, {0.1, u"0.1"}, {0.1 + 0.2, u"0.3"},
      {1.0 / 3, u"0.333333333333333"}, {2.0 / 3, u"0.666666666666667"},
      {100, u"100"}, {123.456, u"123.456"},
      {1e14, u"100000000000000"}, {999999999999999, u"999999999999999"},
      {1e15, u"1E15"}, {1e20, u"1E20"}, {123456789012345678.0, u"1.23456789012346E17"},
      {9999999999999999.0, u"1E16"},                      // rounding carries into the exponent
      {0.0001, u"0.0001"}, {0.00012345, u"0.00012345"}, {0.00001, u"1E-5"}, {-0.00001, u"-1E-5"},
      {1.5e-10, u"1.5E-10"}, {1.7976931348623157e308, u"1.79769313486232E308"}, {5e-324, u"4.94065645841247E-324"},
      {std::numeric_limits<double>::infinity(), u"INF"}, {-std::numeric_limits<double>::infinity(), u"-INF"},
      {std::numeric_limits<double>::quiet_NaN(), u"NAN"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.v, Dot()), c.out) << c.v;
  EXPECT_EQ(FloatToStr(-1234.5, Comma()), u"-1234,5");
  EXPECT_EQ(FloatToStr(1.5e-10, Comma()), u"1,5E-10");
}

TEST(SysUtilsFloat, FloatToStrF) {
  struct Case { double v; TFloatFormat f; Integer precision, digits; String out; };
  const Case cases[] = {
      {1234.5678, ffGeneral, 6, 0, u"1234.57"},
      {1234.5678, ffGeneral, 3, 0, u"1.23E3"},
      {1234.5678, ffGeneral, 3, 2, u"1.23E03"},
      {0.00001234, ffGeneral, 15, 0, u"1.234E-5"},
      {1234.5678, ffExponent, 4, 2, u"1.235E+03"},
      {-0.00123, ffExponent, 3, 0, u"-1.23E-3"},
      {0, ffExponent, 3, 2, u"0.00E+00"},
      {1234.5678, ffFixed, 15, 2, u"1234.57"},
      {1234.5, ffFixed, 15, 0, u"1235"},          // half away from zero
      {-1234.5, ffFixed, 15, 0, u"-1235"},
      {0.125, ffFixed, 15, 2, u"0.13"},
      {2.675, ffFixed, 15, 2, u"2.68"},          // as written, not as stored
      {1.005, ffFixed, 15, 2, u"1.01"},
      {123.456, ffFixed, 4, 2, u"123.50"},        // precision first, then the decimals
      {1, ffFixed, 15, 4, u"1.0000"},
      {-0.001, ffFixed, 15, 2, u"0.00"},          // no "-0.00"
      {0.5, ffFixed, 15, 0, u"1"},
      {0.05, ffFixed, 15, 0, u"0"},
      {1e20, ffFixed, 15, 2, u"1E20"},            // more integer digits than precision
      {1234567.891, ffNumber, 15, 2, u"1,234,567.89"},
      {-999.999, ffNumber, 15, 2, u"-1,000.00"},
      {123, ffNumber, 15, 0, u"123"},
      {1234.5, ffCurrency, 15, 2, u"$1,234.50"},
      {-1234.5, ffCurrency, 15, 2, u"-$1,234.50"},
      {std::numeric_limits<double>::infinity(), ffFixed, 15, 2, u"INF"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStrF(c.v, c.f, c.precision, c.digits, Dot()), c.out) << c.v << " " << c.f;
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2, Comma()), u"1.234.567,89");
}

TEST(SysUtilsFloat, CurrencyPlacement) {
  TFormatSettings s = Dot();
  s.CurrencyString = String(u"¥");
  const String positive[] = {u"¥1.50", u"1.50¥", u"¥ 1.50", u"1.50 ¥"};
  for (Byte f = 0; f < 4; ++f) {
    s.CurrencyFormat = f;
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2, s), positive[f]);
  }
  const String negative[] = {u"(¥1.50)", u"-¥1.50", u"¥-1.50", u"¥1.50-", u"(1.50¥)", u"-1.50¥",
                             u"1.50-¥", u"1.50¥-", u"-1.50 ¥", u"-¥ 1.50", u"1.50 ¥-", u"¥ 1.50-",
                             u"¥ -1.50", u"1.50- ¥", u"(¥ 1.50)", u"(1.50 ¥)"};
  for (Byte f = 0; f < 16; ++f) {
    s.NegCurrFormat = f;
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, s), negative[f]) << int(f);
  }
}

TEST(SysUtilsFloat, FormatFloatPatterns) {
  struct Case { String format; double v; String out; };
  const Case cases[] = {
      {u"0", 2.5, u"3"}, {u"0", -2.5, u"-3"}, {u"0", 0.4, u"0"}, {u"0", -0.4, u"0"},
      {u"0.00", 1.005, u"1.01"}, {u"0.00", 3, u"3.00"}, {u"0.00", -0.001, u"0.00"},
      {u"#.##", 0.5, u".5"}, {u"#.##", 1, u"1"}, {u"#", 0, u""}, {u"0.##", 1.25, u"1.25"}, {u"0.0#", 1.2, u"1.2"},
      {u"00000", 42, u"00042"}, {u"#,##0", 1234567, u"1,234,567"}, {u"#,##0.00", -1234.5, u"-1,234.50"},
      {u",0.", 1234, u"1,234"}, {u"#,##0", 12, u"12"}, {u"#,##0", 0, u"0"},
      {u"0", 123456, u"123456"},                    // more digits than places go in front
      {u"0-00", 12345, u"123-45"},                  // literals stay between places
      {u"\"$\"#,##0.00", 1234.5, u"$1,234.50"},     // double-quoted literal
      {u"'Total: '0", 7, u"Total: 7"}, {u"0' m²'", 7, u"7 m²"},
      {u"0.00E+00", 1234.5, u"1.23E+03"}, {u"0.00E+00", 0.00012345, u"1.23E-04"},
      {u"0.00E-00", 1234.5, u"1.23E03"}, {u"0.00e-0", 0.00012345, u"1.23e-4"}, {u"0.0E+0", 0, u"0.0E+0"},
      {u"##0.0E+0", 1234.5, u"123.5E+1"}, {u"0.###E+0", 100, u"1E+2"},
      {u"0;(0)", 5, u"5"}, {u"0;(0)", -5, u"(5)"},
      {u"0.0;(0.0);\"zero\"", 0, u"zero"}, {u"0.0;(0.0);\"zero\"", 0.01, u"zero"},  // rounds to zero
      {u"0.0;(0.0);\"zero\"", -0.01, u"zero"}, {u"0.0;(0.0);\"zero\"", -1.25, u"(1.3)"},
      {u"0;;\"none\"", -3, u"-3"},                   // empty negative section: the first one
      {u"0.00;'neg'", -1, u"neg"},
      {u"'a;b' 0", 3, u"a;b 3"},                    // ';' inside quotes
      {u"", 1.5, u"1.5"}, {u"", 1e20, u"1E20"},
      {u"0", 1e20, u"1E20"},                        // too large for places
      {u"0.00", std::numeric_limits<double>::infinity(), u"INF"},
      {u".00", 12.5, u"12.50"},                     // integer digits are never dropped
      {u"中0文", 8, u"中8文"},
      {u"¥,0.00", 1234, u"¥1,234.00"}, {u",0.00 'Fr.'", 1234, u"1,234.00 Fr."},  // currency display formats
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.format, c.v, Dot()), c.out) << U8(c.format) << " " << c.v;
  EXPECT_EQ(FormatFloat(u"#,##0.00", 1234567.891, Comma()), u"1.234.567,89");
}

TEST(SysUtilsFloat, ParseFloat) {
  struct Case { String text; bool ok; double value; };
  const Case dot[] = {
      {u"1.5", true, 1.5}, {u"-1.5", true, -1.5}, {u"+2", true, 2}, {u"  3.25  ", true, 3.25},
      {u".5", true, 0.5}, {u"5.", true, 5}, {u"1e3", true, 1000}, {u"1.5E-3", true, 0.0015}, {u"2E+2", true, 200},
      {u"0.1", true, 0.1}, {u"1E-400", true, 0},
      {u"", false, 0}, {u" ", false, 0}, {u".", false, 0}, {u"e5", false, 0}, {u"1e", false, 0}, {u"1e+", false, 0},
      {u"1,5", false, 0}, {u"1.2.3", false, 0}, {u"1 000", false, 0}, {u"abc", false, 0}, {u"0x10", false, 0},
      {u"1E400", false, 0},                          // overflow
      {u"INF", true, std::numeric_limits<double>::infinity()},
      {u"-inf", true, -std::numeric_limits<double>::infinity()},
  };
  for (const Case& c : dot) {
    SCOPED_TRACE(U8(c.text));
    double v = -99;
    EXPECT_EQ(TryStrToFloat(c.text, v, Dot()), c.ok);
    if (c.ok) {
      EXPECT_EQ(v, c.value);
      EXPECT_EQ(StrToFloat(c.text, Dot()), c.value);
    } else {
      EXPECT_THROW(StrToFloat(c.text, Dot()), EConvertError);
    }
    EXPECT_EQ(StrToFloatDef(c.text, -7, Dot()), c.ok ? c.value : -7);
  }
  double v = 0;
  EXPECT_TRUE(TryStrToFloat(u"NaN", v, Dot()));
  EXPECT_TRUE(std::isnan(v));

  const Case comma[] = {
      {u"1,5", true, 1.5}, {u"-0,25E2", true, -25}, {u"1.5", false, 0}, {u"1.000,5", false, 0},
  };
  for (const Case& c : comma) {
    double w = 0;
    EXPECT_EQ(TryStrToFloat(c.text, w, Comma()), c.ok) << U8(c.text);
    if (c.ok) {
      EXPECT_EQ(w, c.value) << U8(c.text);
    }
  }
}

TEST(SysUtilsFloat, FloatTextRoundTrips) {
  const double values[] = {0.1, -2.5, 1e15, 123456.789, 1.5e-10, 1e-5, 3.14159265358979, 1e300};
  for (const TFormatSettings& s : {Dot(), Comma()}) {
    for (double v : values) {
      const String text = FloatToStr(v, s);
      EXPECT_EQ(FloatToStr(StrToFloat(text, s), s), text) << U8(text);
    }
  }
}

TEST(SysUtilsFloat, PlainFormsUseTheProcessSettings) {
  TFormatSettings& process = FormatSettings();
  const TFormatSettings saved = process;
  process = Comma();
  EXPECT_EQ(FloatToStr(1.5), u"1,5");
  EXPECT_EQ(StrToFloat(u"2,5"), 2.5);
  EXPECT_EQ(FormatFloat(u"#,##0.0", 1234.5), u"1.234,5");
  EXPECT_EQ(FloatToStrF(1.5, ffFixed, 15, 1), u"1,5");
  EXPECT_EQ(StrToFloatDef(u"x", 1), 1);
  double v;
  EXPECT_TRUE(TryStrToFloat(u"0,5", v));
  process = saved;
}
