// Currency, BCD numbers and SQL time stamps.
#include "platform/rtl/currency.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fmtbcd.h"
#include "platform/rtl/sqltimst.h"
#include "platform/rtl/variant.h"

namespace {

class DecimalTest : public ::testing::Test {
protected:
  void SetUp() override {
    FSaved = FormatSettings();
    FormatSettings() = TFormatSettings::Invariant();
    FormatSettings().CurrencyString = u"$";
    FormatSettings().CurrencyFormat = 0;  // $1
    FormatSettings().NegCurrFormat = 1;   // -$1
  }
  void TearDown() override { FormatSettings() = FSaved; }

private:
  TFormatSettings FSaved;
};

using CurrencyTest = DecimalTest;
using BcdTest = DecimalTest;
using SQLTimeStampTest = DecimalTest;

// ---- Currency ----------------------------------------------------------------

TEST_F(CurrencyTest, FromDoubleRoundsTiesToEven) {
  const struct {
    double Value;
    Int64 Raw;
  } cases[] = {
      {0, 0},
      {0.1, 1000},
      {1.00005, 10000},   // tie: down to the even digit
      {1.00015, 10002},   // tie: up to the even digit
      {1.000051, 10001},  // above the tie
      {-1.00005, -10000},
      {-1.00015, -10002},
      {-2.5, -25000},
      {123456789.1234, 1234567891234},
      {922337203685477.0, 922337203685477 * 10000LL},
  };
  for (const auto& c : cases) EXPECT_EQ(Currency::FromDouble(c.Value).Raw(), c.Raw) << c.Value;
  for (double bad : {1e16, -1e16, double(INFINITY), double(NAN)}) {
    EXPECT_THROW(Currency::FromDouble(bad), EOverflow) << bad;
  }
  EXPECT_EQ(Currency::FromRaw(15000).ToDouble(), 1.5);
}

TEST_F(CurrencyTest, Arithmetic) {
  const Currency a = Currency::FromRaw(15000);  // 1.5
  const Currency b = Currency::FromRaw(3);      // 0.0003
  EXPECT_EQ((a + b).Raw(), 15003);
  EXPECT_EQ((a - b).Raw(), 14997);
  EXPECT_EQ((-a).Raw(), -15000);
  EXPECT_EQ((a * a).Raw(), 22500);
  EXPECT_EQ((Currency::FromRaw(5) * Currency::FromRaw(5000)).Raw(), 2);   // 0.00025 -> 0.0002
  EXPECT_EQ((Currency::FromRaw(15) * Currency::FromRaw(5000)).Raw(), 8);  // 0.00075 -> 0.0008
  EXPECT_EQ((Currency(10) / Currency(3)).Raw(), 33333);
  EXPECT_EQ((Currency(-10) / Currency(3)).Raw(), -33333);
  EXPECT_EQ((Currency(2) / Currency(3)).Raw(), 6667);
  EXPECT_TRUE(b < a);
  EXPECT_TRUE(Currency(2) == Currency::FromRaw(20000));
  EXPECT_THROW(a / Currency(), EZeroDivide);
  EXPECT_THROW(Currency::FromRaw(MaxCurrencyRaw) + b, EOverflow);
  EXPECT_THROW(-Currency::FromRaw(MinCurrencyRaw), EOverflow);
  EXPECT_THROW(Currency::FromRaw(MaxCurrencyRaw) * Currency(2), EOverflow);
}

TEST_F(CurrencyTest, Text) {
  const struct {
    Int64 Raw;
    String Text;
  } cases[] = {
      {0, u"0"},
      {125000, u"12.5"},
      {-1, u"-0.0001"},
      {10000, u"1"},
      {MaxCurrencyRaw, u"922337203685477.5807"},
      {MinCurrencyRaw, u"-922337203685477.5808"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CurrToStr(Currency::FromRaw(c.Raw)), c.Text);
    EXPECT_EQ(StrToCurr(c.Text).Raw(), c.Raw);
  }
  TFormatSettings comma = TFormatSettings::Invariant();
  comma.DecimalSeparator = u',';
  EXPECT_EQ(CurrToStr(Currency::FromRaw(125000), comma), u"12,5");
  EXPECT_EQ(StrToCurr(u"12,5", comma).Raw(), 125000);
}

TEST_F(CurrencyTest, FormattedText) {
  const Currency big = Currency::FromRaw(12345678910);  // 1234567.891
  const struct {
    Currency Value;
    TFloatFormat Format;
    Integer Digits;
    String Text;
  } cases[] = {
      {big, ffGeneral, 2, u"1234567.891"},
      {big, ffFixed, 2, u"1234567.89"},
      {big, ffFixed, 0, u"1234568"},
      {big, ffNumber, 2, u"1,234,567.89"},
      {big, ffCurrency, 2, u"$1,234,567.89"},
      {-big, ffCurrency, 2, u"-$1,234,567.89"},
      {Currency::FromRaw(50), ffFixed, 2, u"0.01"},  // half away from zero
      {Currency::FromRaw(-40), ffFixed, 2, u"0.00"},  // no negative zero
      {Currency::FromRaw(-50), ffFixed, 2, u"-0.01"},
      {Currency(12), ffFixed, 4, u"12.0000"},
      {Currency(999), ffNumber, 0, u"999"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CurrToStrF(c.Value, c.Format, c.Digits), c.Text);
  }
  TFormatSettings yuan = TFormatSettings::Invariant();
  yuan.CurrencyString = u"¥";
  yuan.CurrencyFormat = 3;
  yuan.NegCurrFormat = 0;
  EXPECT_EQ(CurrToStrF(Currency(5), ffCurrency, 2, yuan), u"5.00 ¥");
  EXPECT_EQ(CurrToStrF(Currency(-5), ffCurrency, 2, yuan), u"(¥5.00)");
}

TEST_F(CurrencyTest, Parsing) {
  const struct {
    String Text;
    bool Ok;
    Int64 Raw;
  } cases[] = {
      {u"12.3456", true, 123456},
      {u" -0.00005 ", true, 0},  // tie to even
      {u"0.00015", true, 2},
      {u"0.000151", true, 2},
      {u"+1e3", true, 10000000},
      {u"1.5E-2", true, 150},
      {u".5", true, 5000},
      {u"5.", true, 50000},
      {u"922337203685477.5807", true, MaxCurrencyRaw},
      {u"922337203685477.5808", false, 0},
      {u"-922337203685477.5809", false, 0},
      {u"", false, 0},
      {u"abc", false, 0},
      {u"1.2.3", false, 0},
      {u"1,5", false, 0},
      {u"--1", false, 0},
      {u"1e", false, 0},
      {u"1e99999", false, 0},
  };
  for (const auto& c : cases) {
    Currency value = Currency::FromRaw(-99);
    EXPECT_EQ(TryStrToCurr(c.Text, value), c.Ok) << std::string(c.Text.begin(), c.Text.end());
    if (c.Ok) {
      EXPECT_EQ(value.Raw(), c.Raw);
    }
  }
  EXPECT_THROW(StrToCurr(u"abc"), EConvertError);
}

// ---- BCD -------------------------------------------------------------------------

TEST_F(BcdTest, TextRoundTrips) {
  const String sixtyFour = u"1234567890123456789012345678901234567890123456789012345678901234";
  const String manyDecimals = u"-0.000000000000000000000000000000000000000000000000000000000000001";
  const struct {
    String Text;
    String Back;
    Integer Precision;
    Integer Scale;
    bool Negative;
  } cases[] = {
      {u"0", u"0", 1, 0, false},
      {u"-0", u"0", 1, 0, false},
      {u"7", u"7", 1, 0, false},
      {u"-123.45", u"-123.45", 5, 2, true},
      {u"1.50", u"1.5", 3, 2, false},
      {u"0.05", u"0.05", 2, 2, false},
      {u"000123", u"123", 3, 0, false},
      {u"1e3", u"1000", 4, 0, false},
      {u"1.5e-3", u"0.0015", 4, 4, false},
      {u" +42 ", u"42", 2, 0, false},
      {sixtyFour, sixtyFour, 64, 0, false},
      {u"-" + sixtyFour.substr(0, 30) + u"." + sixtyFour.substr(30), u"-" + sixtyFour.substr(0, 30) + u"." + sixtyFour.substr(30), 64, 34, true},
      {manyDecimals, manyDecimals, 63, 63, true},
      {u"1." + String(70, u'0'), u"1", 1, 0, false},  // surplus zeros dropped
  };
  for (const auto& c : cases) {
    const TBcd bcd = StrToBcd(c.Text);
    EXPECT_EQ(BcdToStr(bcd), c.Back) << std::string(c.Text.begin(), c.Text.end());
    EXPECT_EQ(bcd.Precision, c.Precision) << std::string(c.Text.begin(), c.Text.end());
    EXPECT_EQ(bcd.Scale(), c.Scale) << std::string(c.Text.begin(), c.Text.end());
    EXPECT_EQ(bcd.IsNegative(), c.Negative) << std::string(c.Text.begin(), c.Text.end());
  }
  TFormatSettings comma = TFormatSettings::Invariant();
  comma.DecimalSeparator = u',';
  EXPECT_EQ(BcdToStr(StrToBcd(u"-1,25", comma), comma), u"-1,25");
}

TEST_F(BcdTest, InvalidText) {
  for (const String& text : {String(u""), String(u" "), String(u"abc"), String(u"1.2.3"),
                             String(u"--1"), String(u"1e"), String(u"1 2"), String(u"."),
                             String(65, u'9'), String(u"1e650"),
                             u"0." + String(63, u'0') + u"1"}) {
    TBcd value;
    EXPECT_FALSE(TryStrToBcd(text, value)) << std::string(text.begin(), text.end());
    EXPECT_THROW(StrToBcd(text), EBcdException);
  }
  TBcd corrupt;
  corrupt.Precision = 2;
  corrupt.Fraction[0] = 0xAB;
  EXPECT_THROW(BcdToStr(corrupt), EBcdException);
  corrupt.Precision = 0;
  EXPECT_THROW(BcdToDouble(corrupt), EBcdException);
}

TEST_F(BcdTest, NumberConversions) {
  const struct {
    double Value;
    String Text;
  } cases[] = {
      {0.1, u"0.1"},
      {-2.5e-7, u"-0.00000025"},
      {1e20, u"100000000000000000000"},
      {123.456, u"123.456"},
      {-0.0, u"0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BcdToStr(DoubleToBcd(c.Value)), c.Text);
    EXPECT_EQ(BcdToDouble(StrToBcd(c.Text)), c.Value);
  }
  EXPECT_THROW(DoubleToBcd(double(NAN)), EBcdException);
  EXPECT_THROW(DoubleToBcd(double(INFINITY)), EBcdException);
  EXPECT_EQ(BcdToStr(Int64ToBcd(INT64_MIN)), u"-9223372036854775808");
  EXPECT_EQ(BcdToStr(IntegerToBcd(-5)), u"-5");
  EXPECT_EQ(BcdToInt64(StrToBcd(u"-9223372036854775808")), INT64_MIN);
  EXPECT_EQ(BcdToInt64(StrToBcd(u"2.5")), 2);
  EXPECT_THROW(BcdToInt64(StrToBcd(u"9223372036854775808")), EBcdOverflowException);

  const Currency money = Currency::FromRaw(-123456789);
  Currency back;
  ASSERT_TRUE(BCDToCurr(CurrToBCD(money), back));
  EXPECT_EQ(back, money);
  ASSERT_TRUE(BCDToCurr(StrToBcd(u"0.00005"), back));
  EXPECT_EQ(back.Raw(), 0);
  ASSERT_TRUE(BCDToCurr(StrToBcd(u"0.00025000001"), back));
  EXPECT_EQ(back.Raw(), 3);
  EXPECT_FALSE(BCDToCurr(StrToBcd(u"1e20"), back));
  EXPECT_THROW(BcdToCurrency(StrToBcd(u"1e20")), EBcdOverflowException);
}

TEST_F(BcdTest, CompareAndArithmetic) {
  const struct {
    String A, B;
    Integer Order;
  } orders[] = {
      {u"1.5", u"1.50", 0},   {u"-1", u"1", -1},     {u"0", u"-0.000", 0},
      {u"10", u"9", 1},       {u"-10", u"-9", -1},   {u"0.001", u"0.0001", 1},
      {u"-0.5", u"0", -1},    {u"123456789012345678901234567890", u"123456789012345678901234567891", -1},
  };
  for (const auto& o : orders) {
    EXPECT_EQ(BcdCompare(StrToBcd(o.A), StrToBcd(o.B)), o.Order);
    EXPECT_EQ(BcdCompare(StrToBcd(o.B), StrToBcd(o.A)), -o.Order);
  }
  const struct {
    String A, B, Sum, Difference, Product;
  } sums[] = {
      {u"0.1", u"0.2", u"0.3", u"-0.1", u"0.02"},
      {u"1.5", u"-2", u"-0.5", u"3.5", u"-3"},
      {u"-0.25", u"-0.75", u"-1", u"0.5", u"0.1875"},
      {u"99999999999999999999", u"1", u"100000000000000000000", u"99999999999999999998", u"99999999999999999999"},
  };
  for (const auto& s : sums) {
    const TBcd a = StrToBcd(s.A);
    const TBcd b = StrToBcd(s.B);
    EXPECT_EQ(BcdToStr(BcdAdd(a, b)), s.Sum);
    EXPECT_EQ(BcdToStr(BcdSubtract(a, b)), s.Difference);
    EXPECT_EQ(BcdToStr(BcdMultiply(a, b)), s.Product);
  }
  EXPECT_EQ(BcdToStr(BcdNegate(StrToBcd(u"2.5"))), u"-2.5");
  EXPECT_TRUE(IsBcdZero(BcdNegate(StrToBcd(u"0"))));
  const TBcd nines = StrToBcd(String(64, u'9'));
  EXPECT_THROW(BcdAdd(nines, StrToBcd(u"1")), EBcdOverflowException);
  // A product with too many decimals keeps 63 of them, the last one rounded.
  const TBcd third = StrToBcd(u"0." + String(63, u'3'));
  const TBcd ninth = BcdMultiply(third, third);
  EXPECT_EQ(ninth.Scale(), 63);
  EXPECT_EQ(BcdToStr(ninth), u"0." + String(62, u'1') + u"1");
  const TBcd twoThirds = StrToBcd(u"6." + String(63, u'6'));
  // 73.33...326 has 65 digits: the last decimal goes, rounding ...26 up to ...3.
  EXPECT_EQ(BcdToStr(BcdMultiply(twoThirds, StrToBcd(u"11"))), u"73." + String(62, u'3'));
}

TEST_F(BcdTest, FormattingAndNormalising) {
  const TBcd value = StrToBcd(u"-12345.675");
  EXPECT_EQ(BcdToStrF(value, ffGeneral, 0, 0), u"-12345.675");
  EXPECT_EQ(BcdToStrF(value, ffFixed, 0, 2), u"-12345.68");
  EXPECT_EQ(BcdToStrF(value, ffNumber, 0, 1), u"-12,345.7");
  EXPECT_EQ(BcdToStrF(value, ffCurrency, 0, 2), u"-$12,345.68");
  EXPECT_EQ(BcdToStrF(StrToBcd(u"1.50"), ffGeneral, 0, 0), u"1.5");
  EXPECT_EQ(BcdToStrF(StrToBcd(u"2"), ffFixed, 0, 3), u"2.000");

  const TBcd normal = NormalizeBcd(StrToBcd(u"123.456"), 5, 2);
  EXPECT_EQ(BcdToStr(normal), u"123.46");
  EXPECT_EQ(normal.Precision, 5);
  EXPECT_EQ(normal.Scale(), 2);
  EXPECT_EQ(NormalizeBcd(StrToBcd(u"1.5"), 10, 4).Precision, 10);
  EXPECT_EQ(BcdToStr(NormalizeBcd(StrToBcd(u"1.5"), 10, 4)), u"1.5");
  EXPECT_THROW(NormalizeBcd(StrToBcd(u"1234.5"), 5, 2), EBcdOverflowException);
  EXPECT_THROW(NormalizeBcd(StrToBcd(u"1"), 2, 3), EBcdException);
}

TEST_F(BcdTest, Variant) {
  const Variant v = VarFMTBcdCreate(StrToBcd(u"12.34"));
  EXPECT_TRUE(VarIsFMTBcd(v));
  EXPECT_EQ(VarType(v), VarFMTBcd());
  EXPECT_EQ(v.AsString(), u"12.34");
  EXPECT_EQ(v.AsDouble(), 12.34);
  EXPECT_EQ(v.AsCurrency().Raw(), 123400);
  EXPECT_EQ(v.AsInteger(), 12);
  EXPECT_EQ(VarTypeAsText(VarType(v)), u"FMTBcd");
  EXPECT_EQ(BcdToStr(VarToBcd(v)), u"12.34");

  const struct {
    Variant Value;
    String Text;
  } sources[] = {
      {Variant(u"1.5"), u"1.5"},
      {Variant(-7), u"-7"},
      {Variant(Currency::FromRaw(1)), u"0.0001"},
      {Variant(0.1), u"0.1"},
      {Variant(true), u"-1"},
      {Unassigned(), u"0"},
  };
  for (const auto& s : sources) {
    EXPECT_EQ(BcdToStr(VarToBcd(s.Value)), s.Text);
    EXPECT_EQ(VarType(VarAsType(s.Value, VarFMTBcd())), VarFMTBcd());
  }
  EXPECT_THROW(VarToBcd(Null()), EVariantTypeCastError);
  EXPECT_THROW(VarToBcd(Variant(u"x")), EVariantTypeCastError);
  EXPECT_EQ(VarToStr(VarFMTBcdCreate(u"3.14159", 10, 2)), u"3.14");
  EXPECT_EQ(VarToStr(VarFMTBcdCreate(2.5)), u"2.5");
  EXPECT_THROW(VarFMTBcdCreate(u"123", 3, 2), EBcdOverflowException);
  EXPECT_THROW(VarFMTBcdCreate(StrToBcd(u"1e30")).AsCurrency(), EVariantOverflowError);
}

// ---- SQL time stamps -----------------------------------------------------------------

TEST_F(SQLTimeStampTest, DateTimeRoundTrips) {
  const struct {
    TSQLTimeStamp Stamp;
  } cases[] = {
      {{2024, 2, 29, 23, 59, 59, 999}},
      {{2024, 3, 5, 13, 4, 5, 0}},
      {{1899, 12, 30, 0, 0, 0, 0}},
      {{1899, 12, 29, 6, 0, 0, 0}},  // before the epoch the day counts backwards
      {{1800, 1, 1, 12, 30, 0, 250}},
      {{1, 1, 1, 0, 0, 0, 0}},
      {{9999, 12, 31, 23, 59, 59, 999}},
  };
  for (const auto& c : cases) {
    const TDateTime dt = SQLTimeStampToDateTime(c.Stamp);
    EXPECT_EQ(DateTimeToSQLTimeStamp(dt), c.Stamp) << c.Stamp.Year << "-" << c.Stamp.Month;
  }
  EXPECT_EQ(SQLTimeStampToDateTime({1899, 12, 29, 6, 0, 0, 0}), -1.25);
  EXPECT_EQ(SQLTimeStampToDateTime({2024, 3, 5, 12, 0, 0, 0}), EncodeDate(2024, 3, 5) + 0.5);
  EXPECT_EQ(SQLTimeStampToDateTime(NullSQLTimeStamp), 0.0);
  // Out of range is an error, not a silent zero stamp.
  // 10000-01-01, at midnight or later that day, is past the last stamp.
  const TDateTime year10000 = EncodeDate(9999, 12, 31) + 1;
  for (double bad : {MinDateTime - 1, MaxDateTime + 1, year10000, year10000 + 0.5, 1e12, double(NAN)}) {
    EXPECT_THROW(DateTimeToSQLTimeStamp(bad), ESQLTimeStampException) << bad;
    // Converting such a date to a stamp variant is a variant error.
    EXPECT_THROW(VarToSQLTimeStamp(VarFromDateTime(bad)), EVariantOverflowError) << bad;
  }
}

TEST_F(SQLTimeStampTest, InvalidStamps) {
  const TSQLTimeStamp bad[] = {
      {2024, 13, 1, 0, 0, 0, 0}, {2023, 2, 29, 0, 0, 0, 0}, {2024, 4, 31, 0, 0, 0, 0},
      {2024, 1, 1, 24, 0, 0, 0}, {2024, 1, 1, 0, 60, 0, 0}, {2024, 1, 1, 0, 0, 60, 0},
      {2024, 1, 1, 0, 0, 0, 1000}, {0, 1, 1, 0, 0, 0, 0},  {-5, 1, 1, 0, 0, 0, 0},
      {2024, 0, 1, 0, 0, 0, 0},
  };
  for (const auto& s : bad) {
    EXPECT_FALSE(IsSQLTimeStampValid(s));
    EXPECT_THROW(SQLTimeStampToDateTime(s), ESQLTimeStampException);
    EXPECT_THROW(VarSQLTimeStampCreate(s), ESQLTimeStampException);
  }
  EXPECT_TRUE(IsSQLTimeStampValid(NullSQLTimeStamp));
}

TEST_F(SQLTimeStampTest, Text) {
  const TSQLTimeStamp stamp{2024, 3, 5, 13, 4, 5, 67};
  EXPECT_EQ(SQLTimeStampToStr(u"yyyy-mm-dd hh:nn:ss.zzz", stamp), u"2024-03-05 13:04:05.067");
  EXPECT_EQ(SQLTimeStampToStr(u"", stamp), u"3/5/2024 1:04:05 PM");
  EXPECT_EQ(StrToSQLTimeStamp(u"3/5/2024 1:04:05 PM"), (TSQLTimeStamp{2024, 3, 5, 13, 4, 5, 0}));
  EXPECT_EQ(StrToSQLTimeStamp(u"3/5/2024"), (TSQLTimeStamp{2024, 3, 5, 0, 0, 0, 0}));
  for (const String& text : {String(u""), String(u"abc"), String(u"13/45/2024"), String(u"2/30/2023")}) {
    TSQLTimeStamp value;
    EXPECT_FALSE(TryStrToSQLTimeStamp(text, value));
    EXPECT_THROW(StrToSQLTimeStamp(text), ESQLTimeStampException);
  }
  EXPECT_EQ(SQLTimeStampCompare(stamp, stamp), 0);
  EXPECT_EQ(SQLTimeStampCompare({2024, 3, 5, 0, 0, 0, 0}, {2023, 12, 31, 0, 0, 0, 0}), 1);
  EXPECT_EQ(SQLTimeStampCompare({2024, 3, 5, 0, 0, 0, 1}, {2024, 3, 5, 0, 0, 1, 0}), -1);
}

TEST_F(SQLTimeStampTest, Variant) {
  const TDateTime when = EncodeDate(2024, 3, 5) + EncodeTime(13, 4, 5, 0);
  const Variant v = VarSQLTimeStampCreate(when);
  EXPECT_TRUE(VarIsSQLTimeStamp(v));
  EXPECT_EQ(VarTypeAsText(VarType(v)), u"SQLTimeStamp");
  EXPECT_EQ(v.AsDateTime(), when);
  EXPECT_EQ(v.AsString(), u"3/5/2024 1:04:05 PM");
  EXPECT_EQ(VarType(VarAsType(v, varDate)), varDate);
  EXPECT_TRUE(v == VarFromDateTime(when));
  EXPECT_TRUE(v < VarFromDateTime(when + 1));
  EXPECT_EQ(VarToSQLTimeStamp(Variant(u"3/5/2024")), (TSQLTimeStamp{2024, 3, 5, 0, 0, 0, 0}));
  EXPECT_EQ(VarToSQLTimeStamp(VarFromDateTime(when)), (TSQLTimeStamp{2024, 3, 5, 13, 4, 5, 0}));
  EXPECT_EQ(VarToSQLTimeStamp(VarSQLTimeStampCreate(u"3/5/2024")), (TSQLTimeStamp{2024, 3, 5, 0, 0, 0, 0}));
  EXPECT_THROW(VarToSQLTimeStamp(Null()), EVariantTypeCastError);
  EXPECT_THROW(VarToSQLTimeStamp(Variant(u"soon")), EVariantTypeCastError);
  EXPECT_THROW(VarToSQLTimeStamp(Variant(1e12)), EVariantOverflowError);
  EXPECT_THROW(VarSQLTimeStampCreate(u"soon"), ESQLTimeStampException);
}

}  // namespace
