#include "platform/rtl/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

class VariantTest : public ::testing::Test {
protected:
  void SetUp() override {
    FSaved = FormatSettings();
    FormatSettings() = TFormatSettings::Invariant();
  }
  void TearDown() override { FormatSettings() = FSaved; }

private:
  TFormatSettings FSaved;
};

Variant Bcd(const char16_t* text) { return VarFMTBcdCreate(StrToBcd(text)); }

const TDateTime kMarch5 = EncodeDate(2024, 3, 5) + EncodeTime(13, 4, 5, 0);

TEST_F(VariantTest, ConstructorsGiveTheTypeOfTheirValue) {
  const struct {
    Variant Value;
    TVarType Type;
  } cases[] = {
      {Unassigned(), varEmpty},
      {Null(), varNull},
      {Variant(true), varBoolean},
      {Variant(ShortInt(-3)), varShortInt},
      {Variant(Byte(3)), varByte},
      {Variant(SmallInt(-3)), varSmallint},
      {Variant(Word(3)), varWord},
      {Variant(-3), varInteger},
      {Variant(3u), varLongWord},
      {Variant(Int64(-3)), varInt64},
      {Variant(3ull), varInt64},
      {Variant(1.5f), varSingle},
      {Variant(1.5), varDouble},
      {Variant(Currency(2)), varCurrency},
      {VarFromDateTime(1.0), varDate},
      {Variant(u"text"), varOleStr},
      {Variant(String(u"text")), varOleStr},
      {VarFromRawByteString("bytes"), varString},
      {Bcd(u"1.5"), VarFMTBcd()},
      {VarSQLTimeStampCreate(kMarch5), VarSQLTimeStamp()},
      {VarArrayOf({1, 2}), TVarType(varArray | varVariant)},
      {VarArrayCreate(0, 1, varInteger), TVarType(varArray | varInteger)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VarType(c.Value), c.Type) << VarTypeAsText(c.Type).size();
  }
  EXPECT_GT(VarFMTBcd(), 0x10F);
  EXPECT_GT(VarSQLTimeStamp(), 0x10F);
  EXPECT_NE(VarFMTBcd(), VarSQLTimeStamp());
  EXPECT_THROW(Variant(~0ull), EVariantOverflowError);
}

TEST_F(VariantTest, TypeTests) {
  struct Case {
    Variant Value;
    bool Numeric, Ordinal, Float, Str, Clear;
  };
  const Case cases[] = {
      {Unassigned(), false, false, false, false, true},
      {Null(), false, false, false, false, false},
      {Variant(7), true, true, false, false, false},
      {Variant(true), true, true, false, false, false},
      {Variant(1.5), true, false, true, false, false},
      {Variant(Currency(1)), true, false, true, false, false},
      {VarFromDateTime(1), false, false, false, false, false},
      {Variant(u"1"), false, false, false, true, false},
      {VarFromRawByteString("1"), false, false, false, true, false},
      {VarArrayOf({}), false, false, false, false, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(VarIsNumeric(c.Value), c.Numeric) << i;
    EXPECT_EQ(VarIsOrdinal(c.Value), c.Ordinal) << i;
    EXPECT_EQ(VarIsFloat(c.Value), c.Float) << i;
    EXPECT_EQ(VarIsStr(c.Value), c.Str) << i;
    EXPECT_EQ(VarIsClear(c.Value), c.Clear) << i;
  }
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_FALSE(VarIsNull(Unassigned()));
  EXPECT_TRUE(VarIsEmpty(Unassigned()));
  EXPECT_TRUE(VarIsArray(VarArrayOf({1})));
  EXPECT_FALSE(VarIsArray(Variant(1)));
}

TEST_F(VariantTest, ToText) {
  const struct {
    Variant Value;
    String Text;
  } cases[] = {
      {Unassigned(), u""},
      {Null(), u""},
      {Variant(true), u"True"},
      {Variant(false), u"False"},
      {Variant(-42), u"-42"},
      {Variant(Int64(-9223372036854775807LL - 1)), u"-9223372036854775808"},
      {Variant(4294967295u), u"4294967295"},
      {Variant(1.5), u"1.5"},
      {Variant(0.1f), u"0.1"},
      {Variant(Currency::FromRaw(125000)), u"12.5"},
      {VarFromDateTime(kMarch5), u"3/5/2024 1:04:05 PM"},
      {VarFromDateTime(EncodeDate(2024, 3, 5)), u"3/5/2024"},
      {Variant(u"中文"), u"中文"},
      {VarFromRawByteString(StringToUTF8(u"中文")), u"中文"},
      {Bcd(u"-123.450"), u"-123.45"},
      {VarSQLTimeStampCreate(kMarch5), u"3/5/2024 1:04:05 PM"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VarToStr(c.Value), c.Text);
    EXPECT_EQ(VarToWideStr(c.Value), c.Text);
  }
  EXPECT_EQ(VarToStrDef(Null(), u"none"), u"none");
  EXPECT_EQ(VarToStrDef(Variant(5), u"none"), u"5");
  EXPECT_THROW(Null().AsString(), EVariantTypeCastError);
  EXPECT_THROW(VarToStr(VarArrayOf({1})), EVariantTypeCastError);
}

TEST_F(VariantTest, ToNumbers) {
  const struct {
    Variant Value;
    Int64 Integer;
    double Double;
  } cases[] = {
      {Unassigned(), 0, 0},
      {Variant(true), -1, -1},
      {Variant(false), 0, 0},
      {Variant(Byte(200)), 200, 200},
      {Variant(2.5), 2, 2.5},  // ties to even
      {Variant(3.5), 4, 3.5},
      {Variant(-2.5), -2, -2.5},
      {Variant(Currency::FromRaw(15000)), 2, 1.5},
      {Variant(u" 42 "), 42, 42},
      {Variant(u"-7.5"), -8, -7.5},
      {Variant(u"1e3"), 1000, 1000},
      {VarFromRawByteString("12"), 12, 12},
      {Bcd(u"7.5"), 8, 7.5},
      {VarFromDateTime(2.75), 3, 2.75},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Value.AsInt64(), c.Integer) << VarToStr(c.Value).size();
    EXPECT_EQ(c.Value.AsDouble(), c.Double);
  }
  EXPECT_EQ(Variant(u"9223372036854775807").AsInt64(), INT64_MAX);
  EXPECT_EQ(Variant(u"0.1").AsCurrency().Raw(), 1000);
  EXPECT_EQ(Variant(7).AsCurrency().Raw(), 70000);
  EXPECT_EQ(Variant(0.00005).AsCurrency().Raw(), 0);
  EXPECT_EQ(Variant(0.00015).AsCurrency().Raw(), 2);
}

TEST_F(VariantTest, BooleanConversions) {
  const struct {
    Variant Value;
    bool Expected;
  } cases[] = {
      {Variant(u"True"), true},   {Variant(u"true"), true},  {Variant(u"FALSE"), false},
      {Variant(u" false "), false}, {Variant(u"0"), false},    {Variant(u"2"), true},
      {Variant(u"-1"), true},     {Variant(0), false},       {Variant(-1), true},
      {Variant(0.5), true},       {Variant(Currency()), false}, {Unassigned(), false},
      {Bcd(u"0.00"), false},      {Bcd(u"0.01"), true},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Value.AsBoolean(), c.Expected) << VarToStr(c.Value).size();
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(VarAsType(Variant(true), varString).AsString(), u"True");
  EXPECT_THROW(Variant(u"maybe").AsBoolean(), EVariantTypeCastError);
}

TEST_F(VariantTest, DateConversions) {
  EXPECT_EQ(VarToDateTime(Variant(u"3/5/2024 1:04:05 PM")), kMarch5);
  EXPECT_EQ(VarToDateTime(Variant(u"3/5/2024")), EncodeDate(2024, 3, 5));
  EXPECT_EQ(VarToDateTime(Variant(u"45000.5")), 45000.5);  // a plain number of days
  EXPECT_EQ(VarToDateTime(Variant(45000)), 45000.0);
  EXPECT_EQ(VarToDateTime(Unassigned()), 0.0);
  const Variant text = VarFromDateTime(kMarch5).AsString();
  EXPECT_EQ(VarAsType(text, varDate).AsDateTime(), kMarch5);
  EXPECT_EQ(VarType(VarAsType(text, varDate)), varDate);
  EXPECT_THROW(VarToDateTime(Variant(u"not a date")), EVariantTypeCastError);
  EXPECT_THROW(VarToDateTime(Null()), EVariantTypeCastError);
}

TEST_F(VariantTest, TextUsesTheLocaleDecimalSeparator) {
  FormatSettings().DecimalSeparator = u',';
  FormatSettings().ThousandSeparator = u'.';
  EXPECT_EQ(Variant(u"1,5").AsDouble(), 1.5);
  EXPECT_EQ(Variant(1.5).AsString(), u"1,5");
  EXPECT_EQ(Variant(Currency::FromRaw(25000)).AsString(), u"2,5");
  EXPECT_EQ(Variant(u"0,25").AsCurrency().Raw(), 2500);
  EXPECT_EQ(Bcd(u"-3,75").AsString(), u"-3,75");
  EXPECT_TRUE(Variant(u"10,0") == Variant(10));
}

TEST_F(VariantTest, ConversionFailures) {
  using Conversion = std::function<void()>;
  const struct {
    const char* Name;
    Conversion Convert;
    bool Overflow;
  } cases[] = {
      {"Null to Integer", [] { (void)Null().AsInteger(); }, false},
      {"Null to Double", [] { (void)Null().AsDouble(); }, false},
      {"Null to Boolean", [] { (void)Null().AsBoolean(); }, false},
      {"Null cast", [] { (void)VarAsType(Null(), varInteger); }, false},
      {"text to Integer", [] { (void)Variant(u"abc").AsInteger(); }, false},
      {"text to Double", [] { (void)Variant(u"1.2.3").AsDouble(); }, false},
      {"text to Currency", [] { (void)Variant(u"abc").AsCurrency(); }, false},
      {"empty text to Integer", [] { (void)Variant(u"").AsInteger(); }, false},
      {"text to BCD", [] { (void)VarToBcd(Variant(u"x")); }, false},
      {"array to Integer", [] { (void)VarArrayOf({1}).AsInteger(); }, false},
      {"Int64 to Integer", [] { (void)Variant(Int64(3000000000LL)).AsInteger(); }, true},
      {"LongWord to Integer", [] { (void)Variant(4294967295u).AsInteger(); }, true},
      {"Double to Int64", [] { (void)Variant(1e20).AsInt64(); }, true},
      {"NaN to Int64", [] { (void)Variant(std::nan("")).AsInt64(); }, true},
      {"300 to Byte", [] { (void)VarAsType(Variant(300), varByte); }, true},
      {"-1 to Word", [] { (void)VarAsType(Variant(-1), varWord); }, true},
      {"-129 to ShortInt", [] { (void)VarAsType(Variant(-129), varShortInt); }, true},
      {"1e300 to Single", [] { (void)VarAsType(Variant(1e300), varSingle); }, true},
      {"1e16 to Currency", [] { (void)Variant(1e16).AsCurrency(); }, true},
      {"text 1e30 to Currency", [] { (void)Variant(u"1e30").AsCurrency(); }, true},
      {"Int64 to Currency", [] { (void)Variant(INT64_MAX).AsCurrency(); }, true},
      {"big BCD to Int64", [] { (void)Bcd(u"1e30").AsInt64(); }, true},
  };
  for (const auto& c : cases) {
    if (c.Overflow) {
      EXPECT_THROW(c.Convert(), EVariantOverflowError) << c.Name;
    } else {
      EXPECT_THROW(c.Convert(), EVariantTypeCastError) << c.Name;
    }
  }
  try {
    (void)Null().AsInteger();
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message, u"Could not convert variant of type (Null) into type (Integer)");
  }
  try {
    (void)Variant(u"abc").AsDouble();
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message, u"Could not convert variant of type (String) into type (Double)");
  }
}

TEST_F(VariantTest, VarAsTypeKeepsNullAndZeroesEmpty) {
  EXPECT_TRUE(VarIsNull(VarAsType(Null(), varNull)));
  EXPECT_TRUE(VarIsNull(VarAsType(Null(), varVariant)));
  EXPECT_TRUE(VarIsEmpty(VarAsType(Null(), varEmpty)));
  EXPECT_THROW(VarAsType(Null(), varOleStr), EVariantTypeCastError);
  const struct {
    TVarType Type;
    String Text;
  } zeros[] = {{varSmallint, u"0"}, {varInteger, u"0"}, {varDouble, u"0"}, {varCurrency, u"0"},
               {varBoolean, u"False"}, {varOleStr, u""}, {varString, u""}, {varInt64, u"0"}};
  for (const auto& z : zeros) {
    const Variant v = VarAsType(Unassigned(), z.Type);
    EXPECT_EQ(VarType(v), z.Type);
    EXPECT_EQ(VarToStr(v), z.Text);
  }
  const Variant bytes = VarAsType(Variant(u"中文 text"), varString);
  EXPECT_EQ(bytes.RawBytes(), StringToUTF8(u"中文 text"));
  EXPECT_EQ(VarAsType(bytes, varOleStr).AsString(), u"中文 text");
  EXPECT_EQ(VarType(VarAsType(Variant(u"12"), varWord)), varWord);
  EXPECT_EQ(VarAsType(Variant(1.25), varSingle).AsDouble(), 1.25);
  EXPECT_THROW(VarAsType(Variant(1), varArray), EVariantTypeCastError);
}

TEST_F(VariantTest, Comparison) {
  const struct {
    Variant A, B;
    TVariantRelationship Expected;
  } cases[] = {
      {Variant(1), Variant(2), vrLessThan},
      {Variant(2.5), Variant(2), vrGreaterThan},
      {Variant(u"b"), Variant(u"a"), vrGreaterThan},
      {Variant(u"a"), Variant(u"b"), vrLessThan},
      {Variant(u"B"), Variant(u"a"), vrLessThan},  // ordinal, case matters
      {Variant(u"10"), Variant(9), vrGreaterThan},  // the string is read as a number
      {Variant(u"10"), Variant(u"9"), vrLessThan},
      {VarFromRawByteString("abc"), Variant(u"abc"), vrEqual},
      {Variant(Currency::FromRaw(15000)), Variant(1.5), vrEqual},
      {Variant(Currency::FromRaw(15001)), Variant(1), vrGreaterThan},
      {Variant(INT64_MAX), Variant(INT64_MAX - 1), vrGreaterThan},
      {Variant(true), Variant(-1), vrEqual},
      {Variant(false), Variant(true), vrLessThan},
      {Variant(u"True"), Variant(true), vrEqual},
      {Null(), Null(), vrEqual},
      {Null(), Variant(1), vrNotEqual},
      {Variant(u""), Null(), vrNotEqual},
      {Unassigned(), Variant(0), vrEqual},
      {Unassigned(), Variant(u""), vrEqual},
      {Unassigned(), Unassigned(), vrEqual},
      {Unassigned(), Variant(-1), vrGreaterThan},
      {VarFromDateTime(2), VarFromDateTime(1.5), vrGreaterThan},
      {VarFromDateTime(EncodeDate(2024, 3, 5)), Variant(u"3/5/2024"), vrEqual},
      {Bcd(u"1.50"), Variant(1.5), vrEqual},
      {Bcd(u"0.30"), Bcd(u"0.3"), vrEqual},
      {Bcd(u"-2"), Variant(1), vrLessThan},
      {VarSQLTimeStampCreate(kMarch5), VarFromDateTime(kMarch5), vrEqual},
      {VarArrayOf({1, u"a"}), VarArrayOf({1, u"a"}), vrEqual},
      {VarArrayOf({1, u"a"}), VarArrayOf({1, u"b"}), vrNotEqual},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(VarCompareValue(cases[i].A, cases[i].B), cases[i].Expected) << i;
  }
  EXPECT_THROW(VarCompareValue(Variant(u"abc"), Variant(5)), EVariantTypeCastError);
  EXPECT_THROW((void)(Variant(u"abc") == Variant(5)), EVariantTypeCastError);
}

TEST_F(VariantTest, OperatorsOrderNullFirst) {
  EXPECT_TRUE(Null() < Variant(-1000));
  EXPECT_TRUE(Null() < Variant(u""));
  EXPECT_FALSE(Variant(1) < Null());
  EXPECT_TRUE(Null() == Null());
  EXPECT_TRUE(Null() != Variant(0));
  EXPECT_TRUE(Null() <= Null());
  EXPECT_TRUE(Variant(2) > Variant(1.5));
  EXPECT_TRUE(Variant(2) >= Variant(u"2"));
  EXPECT_TRUE(Variant(std::nan("")) == Variant(std::nan("")));
  EXPECT_TRUE(Variant(std::nan("")) < Variant(-1e300));
  EXPECT_THROW((void)(VarArrayOf({1}) < VarArrayOf({2})), EVariantInvalidOpError);
  EXPECT_FALSE(VarArrayOf({1}) == Variant(1));
}

TEST_F(VariantTest, SameValue) {
  const struct {
    Variant A, B;
    bool Same;
  } cases[] = {
      {Variant(1), Variant(u"1"), true},
      {Variant(1), Variant(1.0), true},
      {Variant(1), Variant(u"abc"), false},  // cannot convert: not the same, no error
      {Unassigned(), Unassigned(), true},
      {Unassigned(), Variant(0), false},
      {Null(), Null(), true},
      {Null(), Unassigned(), false},
      {Null(), Variant(u""), false},
      {VarArrayOf({1, Null()}), VarArrayOf({1.0, Null()}), true},
      {VarArrayOf({1, 2}), VarArrayOf({1, 2, 3}), false},
      {VarArrayOf({1, 2}), VarArrayCreate(1, 2, varVariant), false},
      {VarArrayOf({1, u"x"}), VarArrayOf({1, 2}), false},
      {VarArrayOf({1}), Variant(1), false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(VarSameValue(cases[i].A, cases[i].B), cases[i].Same) << i;
  }
}

TEST_F(VariantTest, Arithmetic) {
  const struct {
    const char* Name;
    Variant Result;
    TVarType Type;
    String Text;
  } cases[] = {
      {"int+int", Variant(2) + Variant(3), varInteger, u"5"},
      {"int grows", Variant(INT32_MAX) + Variant(1), varInt64, u"2147483648"},
      {"small*small", Variant(SmallInt(300)) * Variant(SmallInt(300)), varInteger, u"90000"},
      {"int64 stays", Variant(Int64(2)) + Variant(3), varInt64, u"5"},
      {"int+double", Variant(2) + Variant(0.5), varDouble, u"2.5"},
      {"int/int", Variant(7) / Variant(2), varDouble, u"3.5"},
      {"curr+int", Variant(Currency::FromRaw(15000)) + Variant(2), varCurrency, u"3.5"},
      {"curr*curr", Variant(Currency::FromRaw(15000)) * Variant(Currency::FromRaw(15000)), varCurrency, u"2.25"},
      {"curr/int", Variant(Currency(10)) / Variant(3), varCurrency, u"3.3333"},
      {"curr*double", Variant(Currency(2)) * Variant(0.25), varDouble, u"0.5"},
      {"str+str", Variant(u"ab") + Variant(u"cd"), varOleStr, u"abcd"},
      {"bytes+bytes", VarFromRawByteString("ab") + VarFromRawByteString("cd"), varString, u"abcd"},
      {"bytes+wide", VarFromRawByteString("ab") + Variant(u"中"), varOleStr, u"ab中"},
      {"str+empty", Variant(u"ab") + Unassigned(), varOleStr, u"ab"},
      {"str+int", Variant(u"2") + Variant(3), varInt64, u"5"},
      {"str*double", Variant(u"1.5") * Variant(2.0), varDouble, u"3"},
      {"str-str", Variant(u"5") - Variant(u"2"), varInt64, u"3"},
      {"empty+int", Unassigned() + Variant(4), varInteger, u"4"},
      {"bool+int", Variant(true) + Variant(1), varInteger, u"0"},
      {"date+int", VarFromDateTime(EncodeDate(2024, 3, 5)) + Variant(1), varDate, u"3/6/2024"},
      {"date-date", VarFromDateTime(10.5) - VarFromDateTime(2), varDouble, u"8.5"},
      {"date/int", VarFromDateTime(10) / Variant(4), varDouble, u"2.5"},
      {"bcd+bcd", Bcd(u"0.1") + Bcd(u"0.2"), VarFMTBcd(), u"0.3"},
      {"bcd*int", Bcd(u"1.25") * Variant(-4), VarFMTBcd(), u"-5"},
      {"bcd+curr", Bcd(u"0.00001") + Variant(Currency(1)), VarFMTBcd(), u"1.00001"},
      {"bcd+double", Bcd(u"0.5") + Variant(0.25), varDouble, u"0.75"},
      {"bcd/int", Bcd(u"1") / Variant(4), varDouble, u"0.25"},
      {"stamp+int", VarSQLTimeStampCreate(EncodeDate(2024, 3, 5)) + Variant(1), varDate, u"3/6/2024"},
      {"neg int", -Variant(5), varInteger, u"-5"},
      {"neg int min", -Variant(INT32_MIN), varInt64, u"2147483648"},
      {"neg double", -Variant(1.5), varDouble, u"-1.5"},
      {"neg curr", -Variant(Currency(3)), varCurrency, u"-3"},
      {"neg bcd", -Bcd(u"2.5"), VarFMTBcd(), u"-2.5"},
      {"neg str", -Variant(u"2.5"), varDouble, u"-2.5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VarType(c.Result), c.Type) << c.Name;
    EXPECT_EQ(VarToStr(c.Result), c.Text) << c.Name;
  }
  EXPECT_TRUE(VarIsNull(Null() + Variant(1)));
  EXPECT_TRUE(VarIsNull(Variant(u"a") + Null()));
  EXPECT_TRUE(VarIsNull(-Null()));
  EXPECT_THROW(Variant(INT64_MAX) + Variant(1), EVariantOverflowError);
  EXPECT_THROW(-Variant(INT64_MIN), EVariantOverflowError);
  EXPECT_THROW(Variant(Currency::FromRaw(MaxCurrencyRaw)) + Variant(1), EVariantOverflowError);
  EXPECT_THROW(Variant(1) / Variant(0), EZeroDivide);
  EXPECT_THROW(Variant(1.0) / Variant(0.0), EZeroDivide);
  EXPECT_THROW(Variant(u"ab") - Variant(1), EVariantTypeCastError);
  EXPECT_THROW(VarArrayOf({1}) + Variant(1), EVariantInvalidOpError);
}

TEST_F(VariantTest, RunningSumsStayExact) {
  Variant sum = Unassigned();
  for (int i = 0; i < 10; ++i) sum += Bcd(u"0.1");
  EXPECT_EQ(VarToStr(sum), u"1");
  Variant money = Variant(Currency());
  for (int i = 0; i < 10; ++i) money += Variant(Currency::FromRaw(1000));
  EXPECT_EQ(money.AsCurrency().Raw(), 10000);
  Variant total = Variant(0);
  for (int i = 0; i < 3; ++i) total += Variant(INT32_MAX);
  EXPECT_EQ(total.AsInt64(), 3LL * INT32_MAX);
}

TEST_F(VariantTest, ArrayBoundsAndElements) {
  Variant a = VarArrayCreate(1, 3, varInteger);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a), 1);
  EXPECT_EQ(VarArrayHighBound(a), 3);
  EXPECT_EQ(VarArrayElementType(a), varInteger);
  EXPECT_EQ(VarType(a.GetElement(2)), varInteger);
  EXPECT_EQ(a.GetElement(2).AsInteger(), 0);
  a.PutElement(3, Variant(u"42"));  // converted to the element type
  EXPECT_EQ(VarType(a.GetElement(3)), varInteger);
  EXPECT_EQ(a[3].AsInteger(), 42);
  EXPECT_THROW(a.PutElement(1, Variant(u"x")), EVariantTypeCastError);
  for (Integer bad : {0, 4, INT32_MIN, INT32_MAX}) {
    EXPECT_THROW(a.GetElement(bad), EVariantBadIndexError) << bad;
    EXPECT_THROW(a.PutElement(bad, Variant(1)), EVariantBadIndexError) << bad;
  }

  Variant b = VarArrayOf({Variant(1), Variant(u"two"), Null()});
  EXPECT_EQ(VarArrayLowBound(b), 0);
  EXPECT_EQ(VarArrayHighBound(b), 2);
  EXPECT_EQ(VarToStr(b[1]), u"two");
  EXPECT_TRUE(VarIsNull(b[2]));
  Variant copy = b;
  copy[1] = Variant(2);
  EXPECT_EQ(VarToStr(b[1]), u"two");  // copies own their elements
  EXPECT_EQ(copy[1].AsInteger(), 2);

  const Variant none = VarArrayOf({});
  EXPECT_EQ(VarArrayLowBound(none), 0);
  EXPECT_EQ(VarArrayHighBound(none), -1);
  EXPECT_THROW(none.GetElement(0), EVariantBadIndexError);
  EXPECT_EQ(VarArrayDimCount(Variant(1)), 0);
  EXPECT_THROW(VarArrayHighBound(Variant(1)), EVariantInvalidArgError);
  EXPECT_THROW(Variant(1).GetElement(0), EVariantInvalidArgError);
  EXPECT_THROW(VarArrayHighBound(b, 2), EVariantBadIndexError);
  EXPECT_THROW(VarArrayCreate(1, -1, varVariant), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate(0, 1, varNull), EVariantArrayCreateError);
}

TEST_F(VariantTest, TwoDimensionalArrays) {
  Variant grid = VarArrayCreate({0, 1, 5, 7}, varVariant);
  EXPECT_EQ(VarArrayDimCount(grid), 2);
  EXPECT_EQ(VarArrayLowBound(grid, 2), 5);
  EXPECT_EQ(VarArrayHighBound(grid, 2), 7);
  VarArrayPut(grid, Variant(u"x"), {1, 6});
  EXPECT_EQ(VarToStr(VarArrayGet(grid, {1, 6})), u"x");
  EXPECT_TRUE(VarIsEmpty(VarArrayGet(grid, {0, 6})));
  EXPECT_THROW(VarArrayGet(grid, {1, 8}), EVariantBadIndexError);
  EXPECT_THROW(VarArrayGet(grid, {1}), EVariantBadIndexError);
  EXPECT_THROW(grid.GetElement(0), EVariantInvalidArgError);
}

TEST_F(VariantTest, CopyAndMove) {
  Variant a(u"text");
  Variant b = a;
  Variant c = std::move(a);
  EXPECT_TRUE(VarIsEmpty(a));  // NOLINT(bugprone-use-after-move): moved-from is Empty
  EXPECT_EQ(VarToStr(b), u"text");
  EXPECT_EQ(VarToStr(c), u"text");
  b = VarArrayOf({1, 2});
  c = b;
  b = Variant(3);
  EXPECT_EQ(VarArrayHighBound(c), 1);
  c = c;  // self-assignment keeps the value
  EXPECT_EQ(VarArrayHighBound(c), 1);
}

}  // namespace
