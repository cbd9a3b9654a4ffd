#include "platform/rtl/format.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

std::string U8(const String& s) { return StringToUTF8(s); }

TFormatSettings Dot() { return TFormatSettings::Invariant(); }

String F(const String& fmt, std::initializer_list<TVarRec> args) { return Format(fmt, args, Dot()); }

}  // namespace

TEST(Format, IntegersAndStrings) {
  const String name = u"元数据";
  struct Case { String got, want; };
  const Case cases[] = {
      {F(u"%d", {42}), u"42"},
      {F(u"%d", {-42}), u"-42"},
      {F(u"%5d|", {42}), u"   42|"},
      {F(u"%-5d|", {42}), u"42   |"},
      {F(u"%.4d", {42}), u"0042"},
      {F(u"%.4d", {-42}), u"-0042"},
      {F(u"%6.3d", {7}), u"   007"},
      {F(u"%D", {1}), u"1"},
      {F(u"%d", {Int64(-5000000000)}), u"-5000000000"},
      {F(u"%d", {std::numeric_limits<Integer>::min()}), u"-2147483648"},
      {F(u"%u", {-1}), u"4294967295"},
      {F(u"%u", {Int64(-1)}), u"18446744073709551615"},
      {F(u"%u", {4000000000u}), u"4000000000"},
      {F(u"%d", {std::numeric_limits<unsigned long long>::max()}), u"18446744073709551615"},
      {F(u"%x", {255}), u"FF"},
      {F(u"%.4x", {255}), u"00FF"},
      {F(u"%x", {-1}), u"FFFFFFFF"},
      {F(u"%x", {Int64(-1)}), u"FFFFFFFFFFFFFFFF"},
      {F(u"%s", {name}), u"元数据"},
      {F(u"%s", {u"literal"}), u"literal"},
      {F(u"%s", {static_cast<const char16_t*>(nullptr)}), u""},
      {F(u"%s", {Char(u'中')}), u"中"},
      {F(u"[%6s]", {u"ab"}), u"[    ab]"},
      {F(u"[%-6s]", {u"ab"}), u"[ab    ]"},
      {F(u"[%.2s]", {u"abcdef"}), u"[ab]"},
      {F(u"[%1s]", {u"abc"}), u"[abc]"},                      // width never truncates
      {F(u"Index %d out of bounds", {3}), u"Index 3 out of bounds"},
      {F(u"100%% %s", {u"done"}), u"100% done"},
      {F(u"no specifiers", {}), u"no specifiers"},
      {F(u"%s=%d", {u"a", 1}), u"a=1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << U8(c.want);
}

TEST(Format, IndexAndStar) {
  EXPECT_EQ(F(u"%1:s %0:s", {u"a", u"b"}), u"b a");
  EXPECT_EQ(F(u"%0:s-%s-%0:s-%s", {u"a", u"b"}), u"a-b-a-b");  // unindexed ones continue after the index
  EXPECT_EQ(F(u"%1:s%s", {u"a", u"b", u"c"}), u"bc");
  EXPECT_EQ(F(u"[%*d]", {5, 42}), u"[   42]");
  EXPECT_EQ(F(u"[%-*d]", {5, 42}), u"[42   ]");
  EXPECT_EQ(F(u"[%*d]", {-5, 42}), u"[42   ]");                  // negative width: left
  EXPECT_EQ(F(u"[%.*f]", {3, 3.14159}), u"[3.142]");
  EXPECT_EQ(F(u"[%*.*f]", {8, 1, 3.14159}), u"[     3.1]");
  EXPECT_EQ(F(u"%0:-4s|", {u"x"}), u"x   |");
  // A runaway width is limited instead of exhausting memory.
  EXPECT_EQ(F(u"%*d", {std::numeric_limits<Int64>::min(), 1}).size(), size_t(1) << 20);
  EXPECT_EQ(F(u"%99999999999d", {1}).size(), size_t(1) << 20);
}

TEST(Format, Floats) {
  struct Case { String got, want; };
  const Case cases[] = {
      {F(u"%f", {3.14159}), u"3.14"},
      {F(u"%.0f", {2.5}), u"3"},
      {F(u"%.3f", {-0.0005}), u"-0.001"},
      {F(u"%.2f", {2.675}), u"2.68"},
      {F(u"%.2f", {-0.001}), u"0.00"},
      {F(u"%.2f", {1e17}), u"100000000000000000.00"},        // large values stay in fixed form
      {F(u"%8.2f|", {3.14159}), u"    3.14|"},
      {F(u"%n", {1234567.891}), u"1,234,567.89"},
      {F(u"%.0n", {1234567.5}), u"1,234,568"},
      {F(u"%m", {1234.5}), u"$1,234.50"},
      {F(u"%m", {-1234.5}), u"-$1,234.50"},
      {F(u"%.0m", {12.0}), u"$12"},
      {F(u"%e", {1234.5}), u"1.23450000000000E+003"},
      {F(u"%.3e", {1234.5}), u"1.23E+003"},
      {F(u"%.3e", {-0.000123}), u"-1.23E-004"},
      {F(u"%g", {1234.5}), u"1234.5"},
      {F(u"%g", {1e20}), u"1E20"},
      {F(u"%.3g", {1234.5}), u"1.23E3"},
      {F(u"%g", {0.1 + 0.2}), u"0.3"},
      {F(u"%f", {std::numeric_limits<double>::infinity()}), u"INF"},
      {F(u"%g", {std::numeric_limits<double>::quiet_NaN()}), u"NAN"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << U8(c.want);
}

TEST(Format, LocaleSettings) {
  TFormatSettings s = Dot();
  s.DecimalSeparator = u',';
  s.ThousandSeparator = u' ';
  s.CurrencyString = String(u"元");
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  s.CurrencyDecimals = 1;
  EXPECT_EQ(Format(u"%f", {1.5}, s), u"1,50");
  EXPECT_EQ(Format(u"%n", {1234.5}, s), u"1 234,50");
  EXPECT_EQ(Format(u"%m", {1234.5}, s), u"1 234,5 元");
  EXPECT_EQ(Format(u"%m", {-2.0}, s), u"-2,0 元");

  TFormatSettings& process = FormatSettings();
  const TFormatSettings saved = process;
  process = s;
  EXPECT_EQ(Format(u"%.1f", {2.25}), u"2,3");
  process = saved;
}

TEST(Format, Pointer) {
  int x = 0;
  const String text = F(u"%p", {static_cast<const void*>(&x)});
  EXPECT_EQ(text.size(), 16u);
  EXPECT_EQ(F(u"%p", {nullptr}), u"0000000000000000");
}

TEST(Format, ErrorsRaiseConvertError) {
  struct Case { String fmt; std::initializer_list<TVarRec> args; const char16_t* message; };
  const Case cases[] = {
      {u"%d", {1.5}, u"Format '%d' invalid or incompatible with argument"},
      {u"%d", {u"12"}, u"Format '%d' invalid or incompatible with argument"},
      {u"%s", {12}, u"Format '%s' invalid or incompatible with argument"},
      {u"%f", {12}, u"Format '%f' invalid or incompatible with argument"},
      {u"%x", {2.0}, u"Format '%x' invalid or incompatible with argument"},
      {u"%p", {12}, u"Format '%p' invalid or incompatible with argument"},
      {u"%*d", {u"5", 1}, u"Format '%*d' invalid or incompatible with argument"},
      {u"%k", {1}, u"Format '%k' invalid or incompatible with argument"},
      {u"abc %", {1}, u"Format 'abc %' invalid or incompatible with argument"},
      {u"%5", {1}, u"Format '%5' invalid or incompatible with argument"},
      {u"%d %d", {1}, u"No argument for format '%d %d'"},
      {u"%s", {}, u"No argument for format '%s'"},
      {u"%2:s", {u"a", u"b"}, u"No argument for format '%2:s'"},
      {u"%*d", {5}, u"No argument for format '%*d'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.fmt));
    try {
      Format(c.fmt, c.args, Dot());
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(U8(e.Message), U8(c.message));
    }
  }
}
