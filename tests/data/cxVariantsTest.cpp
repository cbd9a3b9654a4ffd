#include "data/cxVariants.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "tests/data/datacontroller_test_double.h"

namespace {

Integer Sign(Integer V) { return V < 0 ? -1 : (V > 0 ? 1 : 0); }

TEST(VariantComparison, EdgeCases) {
  struct Case {
    Variant A, B;
    Integer Expected;
  };
  const Case Cases[] = {
      {Null(), Null(), 0},
      {Null(), Variant(5), -1},
      {Variant(5), Null(), 1},
      {Variant(2), Variant(10), -1},
      {Variant(u"b"), Variant(u"a"), 1},
      {Variant(u"a"), Variant(u"a"), 0},
      {Variant(1), Variant(u"1"), 0},
      {Variant(2.5), Variant(2), 1},
      // Not comparable as values: numbers come before texts.
      {Variant(u"x"), Variant(5), 1},
      {Variant(5), Variant(u"x"), -1},
      {Variant(true), Variant(u"abc"), -1},
      // NaN comes right after Null.
      {Variant(std::nan("")), Variant(-1e300), -1},
      {Variant(1), Variant(std::nan("")), 1},
      {Variant(std::nan("")), Variant(std::nan("")), 0},
      {Null(), Variant(std::nan("")), -1},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(CompareVariantValues(C.A, C.B), C.Expected) << "case " << (&C - Cases);
    EXPECT_EQ(VariantsEqual(C.A, C.B), C.Expected == 0) << "case " << (&C - Cases);
  }
}

// Values of different kinds, but no text that reads as a number: on these
// the order is total.
TEST(VariantComparison, IsATotalOrderOverMixedValuesWithoutNumericTexts) {
  const std::vector<Variant> Values = {
      Null(),        Variant(std::nan("")), Variant(-3),          Variant(1),
      Variant(2.5),  Variant(Currency(7)),  VarFromDateTime(45000), Variant(true),
      Variant(false), Variant(u"abc"),      Variant(u"xyz"),      Variant(u""),
      Variant(Word(9)), Variant(Int64(1000000000000)), VarFromRawByteString("bytes"),
      Null(),        Variant(u"abc"),
  };
  for (const Variant& A : Values)
    for (const Variant& B : Values) {
      const Integer AB = CompareVariantValues(A, B);
      EXPECT_EQ(Sign(AB), -Sign(CompareVariantValues(B, A)));
      for (const Variant& C : Values)
        if (AB <= 0 && CompareVariantValues(B, C) <= 0) {
          EXPECT_LE(CompareVariantValues(A, C), 0);
        }
    }
  std::vector<Variant> Sorted = Values;
  std::sort(Sorted.begin(), Sorted.end(),
            [](const Variant& A, const Variant& B) { return CompareVariantValues(A, B) < 0; });
  for (size_t I = 1; I < Sorted.size(); ++I) EXPECT_LE(CompareVariantValues(Sorted[I - 1], Sorted[I]), 0);
  EXPECT_TRUE(VarIsNull(Sorted[0]));
}

TEST(VariantComparison, Arrays) {
  EXPECT_LT(CompareVariantArrays(VarArrayOf({9, 9}), VarArrayOf({1, 1, 1})), 0);
  EXPECT_GT(CompareVariantArrays(VarArrayOf({1, 1, 1}), VarArrayOf({9, 9})), 0);
  EXPECT_EQ(CompareVariantArrays(VarArrayOf({1, u"a"}), VarArrayOf({1, u"a"})), 0);
  EXPECT_EQ(CompareVariantArrays(VarArrayOf({1, u"a"}), VarArrayOf({1, u"b"})), -1);
  EXPECT_EQ(CompareVariantArrays(VarArrayOf({}), VarArrayOf({})), 0);
  EXPECT_EQ(CompareVariantValues(VarArrayOf({1}), Variant(1)), 1);
  EXPECT_EQ(CompareVariantValues(Null(), VarArrayOf({1})), -1);
  EXPECT_EQ(CompareVariantArrays(Variant(1), Variant(2)), -1);
  // Arrays with other low bounds compare element by element all the same.
  Variant OneBased = VarArrayCreate(1, 2, varVariant);
  OneBased.PutElement(1, 1);
  OneBased.PutElement(2, 2);
  EXPECT_EQ(CompareVariantArrays(OneBased, VarArrayOf({1, 2})), 0);
  EXPECT_EQ(CompareVariantArrays(OneBased, VarArrayOf({1, 3})), -1);
}

TEST(VariantComparison, SameVariantValues) {
  EXPECT_TRUE(SameVariantValues(Variant(true), Variant(VarToStr(Variant(true)))));
  EXPECT_FALSE(SameVariantValues(Variant(true), Variant(u"true")));
  EXPECT_FALSE(SameVariantValues(Variant(true), Null()));
  EXPECT_TRUE(SameVariantValues(Variant(1), Variant(u"1")));
  EXPECT_FALSE(SameVariantValues(Variant(1), Variant(u"x")));
  EXPECT_TRUE(SameVariantValues(Null(), Null()));
}

TEST(VariantTests, KindsAndBlanks) {
  EXPECT_TRUE(IsBlankVariant(Null()));
  EXPECT_TRUE(IsBlankVariant(Variant(u"")));
  EXPECT_TRUE(IsBlankVariant(VarFromRawByteString("")));
  EXPECT_FALSE(IsBlankVariant(Unassigned()));
  EXPECT_FALSE(IsBlankVariant(Variant(u" ")));
  EXPECT_FALSE(IsBlankVariant(Variant(0)));

  EXPECT_TRUE(IsDateTimeVariant(VarFromDateTime(1)));
  EXPECT_TRUE(IsDateTimeVariant(VarSQLTimeStampCreate(TDateTime(40000))));
  EXPECT_FALSE(IsDateTimeVariant(Variant(1.0)));
  EXPECT_TRUE(IsDateTimeVarType(varDate));

  EXPECT_TRUE(IsNumericVariant(Variant(1)));
  EXPECT_TRUE(IsNumericVariant(Variant(Currency(1))));
  EXPECT_TRUE(IsNumericVariant(VarFMTBcdCreate(1.5)));
  EXPECT_FALSE(IsNumericVariant(Variant(u"1")));
}

TEST(VariantBuilders, PairsSinglesAndAppending) {
  const Variant Pair = MakeVariantPair(1, u"b");
  EXPECT_EQ(VarArrayLowBound(Pair), 0);
  EXPECT_EQ(VarArrayHighBound(Pair), 1);
  EXPECT_EQ(Pair[1].AsString(), u"b");
  const Variant Single = MakeSingleVariantArray(7);
  EXPECT_EQ(VarArrayHighBound(Single), 0);
  EXPECT_EQ(Single[0].AsInteger(), 7);

  Variant List = Unassigned();
  AppendVariantArrayItem(List, 1);
  AppendVariantArrayItem(List, u"two");
  AppendVariantArrayItem(List, Null());
  ASSERT_TRUE(VarIsArray(List));
  EXPECT_EQ(VarArrayLowBound(List), 0);
  EXPECT_EQ(VarArrayHighBound(List), 2);
  EXPECT_EQ(List[0].AsInteger(), 1);
  EXPECT_EQ(List[1].AsString(), u"two");
  EXPECT_TRUE(VarIsNull(List[2]));
}

// ---- Streams ---------------------------------------------------------------------

struct RoundTrip {
  Variant Value;
  Int64 Bytes;
  TVarType ReadType;
};

Variant WriteAndRead(const Variant& AValue, Int64& ABytes) {
  TMemoryStream Stream;
  WriteTaggedVariant(&Stream, AValue);
  ABytes = Stream.Size();
  Stream.SetPosition(0);
  Variant Result = ReadTaggedVariant(&Stream);
  EXPECT_EQ(Stream.Position(), Stream.Size());
  return Result;
}

TEST(TaggedVariantStream, RoundTripKeepsValuesAndKinds) {
  const RoundTrip Cases[] = {
      {Variant(127), 2, varShortInt},
      {Variant(-128), 2, varShortInt},
      {Variant(128), 3, varSmallint},
      {Variant(-129), 3, varSmallint},
      {Variant(255), 3, varSmallint},
      {Variant(256), 3, varSmallint},
      {Variant(32767), 3, varSmallint},
      {Variant(32768), 5, varInteger},
      {Variant(40000), 5, varInteger},
      {Variant(Byte(200)), 3, varSmallint},
      {Variant(Word(65535)), 3, varWord},
      {Variant(LongWord(4000000000u)), 5, varLongWord},
      {Variant(Int64(-9000000000000LL)), 9, varInt64},
      {Variant(0.1), 11, varDouble},
      {Variant(1.5f), 5, varSingle},
      {Variant(Currency::FromRaw(123456789)), 9, varCurrency},
      {VarFromDateTime(45123.25), 9, varDate},
      {Variant(true), 1, varBoolean},
      {Variant(false), 1, varBoolean},
      {Null(), 1, varNull},
      {Unassigned(), 1, varEmpty},
      {Variant(u"地质调查"), 13, varOleStr},
      {Variant(String(u"\U00020000")), 9, varOleStr},
      {VarFromRawByteString(RawByteString(255, 'a')), 257, varString},
      {VarFromRawByteString(RawByteString(256, 'a')), 261, varString},
      {VarFromRawByteString(""), 2, varString},
  };
  for (const RoundTrip& C : Cases) {
    Int64 Bytes = 0;
    const Variant Back = WriteAndRead(C.Value, Bytes);
    EXPECT_EQ(Bytes, C.Bytes) << "case " << (&C - Cases);
    EXPECT_EQ(VarType(Back), C.ReadType) << "case " << (&C - Cases);
    if (!VarIsNull(C.Value) && !VarIsEmpty(C.Value)) {
      EXPECT_EQ(CompareVariantValues(Back, C.Value), 0) << "case " << (&C - Cases);
    }
  }
}

TEST(TaggedVariantStream, DoublesAndArraysComeBackExactly) {
  const double Doubles[] = {0.0, -0.0, 1.0, -2.5, 0.1, 1e308, -1e-308, 4.9e-324,
                            std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                            std::numeric_limits<double>::infinity(), 123456789.123456789};
  for (double D : Doubles) {
    Int64 Bytes;
    const Variant Back = WriteAndRead(Variant(D), Bytes);
    EXPECT_EQ(Back.AsDouble(), D);
    EXPECT_EQ(std::signbit(Back.AsDouble()), std::signbit(D));
  }
  Int64 Bytes;
  EXPECT_TRUE(std::isnan(WriteAndRead(Variant(std::nan("")), Bytes).AsDouble()));

  const Variant Nested = VarArrayOf({1, VarArrayOf({u"a", Null()}), VarArrayOf({}), 2.5});
  const Variant Back = WriteAndRead(Nested, Bytes);
  EXPECT_EQ(CompareVariantValues(Back, Nested), 0);
  EXPECT_EQ(VarArrayHighBound(Back[1]), 1);
  EXPECT_EQ(VarArrayHighBound(Back[2]), -1);

  Byte One[10];
  DoubleToExtended(1.0, One);
  const Byte Expected[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(std::memcmp(One, Expected, 10), 0);
}

TEST(TaggedVariantStream, BadValuesAndDamagedStreamsRaise) {
  TMemoryStream Out;
  try {
    WriteTaggedVariant(&Out, VarArrayCreate({0, 1, 0, 1}, varVariant));
    FAIL() << "two dimensions written";
  } catch (const EWriteError& E) {
    EXPECT_EQ(E.Message, u"Stream write error");
  }

  auto Read = [](std::vector<Byte> ABytes) {
    TMemoryStream Stream;
    if (!ABytes.empty()) Stream.WriteBuffer(ABytes.data(), Integer(ABytes.size()));
    Stream.SetPosition(0);
    return ReadTaggedVariant(&Stream);
  };
  try {
    Read({7});
    FAIL() << "tag 7 read";
  } catch (const EReadError& E) {
    EXPECT_EQ(E.Message, u"Stream read error");
  }
  const std::vector<std::vector<Byte>> Damaged = {
      {},                                  // nothing at all
      {4, 1, 2},                           // integer cut short
      {12, 0xFF, 0xFF, 0xFF, 0xFF},        // negative length
      {12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'},   // length beyond the stream
      {18, 3, 0, 0, 0, 'a', 0},            // wide text cut short
      {18, 0, 0, 0, 0x40},                 // count beyond the stream
      {1, 4, 0xFF, 0xFF, 0xFF, 0x7F, 0},   // element count beyond the stream
      {1, 2, 0xFF},                        // negative element count
      {1, 13, 0},                          // count given as another kind
      {1, 2, 2, 0},                        // an element missing
      {6, 5, 'a', 'b'},                    // short text cut short
      {200},                               // unknown tag
  };
  for (const auto& Bytes : Damaged) EXPECT_THROW(Read(Bytes), EReadError) << "case " << (&Bytes - Damaged.data());

  // Arrays nested deeper than the reader accepts.
  std::vector<Byte> Deep;
  for (Integer I = 0; I < cxMaxTaggedVariantDepth + 1; ++I) Deep.insert(Deep.end(), {1, 2, 1});
  Deep.push_back(0);
  EXPECT_THROW(Read(Deep), EReadError);
  std::vector<Byte> Allowed;
  for (Integer I = 0; I < cxMaxTaggedVariantDepth; ++I) Allowed.insert(Allowed.end(), {1, 2, 1});
  Allowed.push_back(0);
  EXPECT_NO_THROW(Read(Allowed));
}

TEST(BinaryPrimitives, RoundTripAndChecks) {
  TMemoryStream Stream;
  WriteStreamBoolean(&Stream, true);
  WriteStreamSmallInt(&Stream, -2);
  WriteStreamWord(&Stream, 65000);
  WriteStreamInt32(&Stream, -70000);
  WriteStreamInt64(&Stream, Int64(1) << 40);
  WriteStreamCurrency(&Stream, Currency::FromRaw(-5));
  WriteStreamDateTime(&Stream, 2.75);
  WriteStreamAnsiString(&Stream, "bytes");
  WriteStreamWideString(&Stream, u"元数据");
  WriteStreamUTF8String(&Stream, u"标准");
  EXPECT_EQ(Stream.Size(), 1 + 2 + 2 + 4 + 8 + 8 + 8 + 9 + 10 + 10);
  Stream.SetPosition(0);
  EXPECT_TRUE(ReadStreamBoolean(&Stream));
  EXPECT_EQ(ReadStreamSmallInt(&Stream), -2);
  EXPECT_EQ(ReadStreamWord(&Stream), 65000);
  EXPECT_EQ(ReadStreamInt32(&Stream), -70000);
  EXPECT_EQ(ReadStreamInt64(&Stream), Int64(1) << 40);
  EXPECT_EQ(ReadStreamCurrency(&Stream).Raw(), -5);
  EXPECT_EQ(ReadStreamDateTime(&Stream), 2.75);
  EXPECT_EQ(ReadStreamAnsiString(&Stream), "bytes");
  EXPECT_EQ(ReadStreamWideString(&Stream), u"元数据");
  EXPECT_EQ(ReadStreamUTF8String(&Stream), u"标准");
  EXPECT_THROW(ReadStreamByte(&Stream), EReadError);
}

}  // namespace

// Numbers and numeric texts are not transitive (10 = '10', '10' < '9',
// 10 > '9'), yet sorting such a column must keep every record once.
TEST(VariantComparison, SortingNumbersMixedWithNumericTextsKeepsEveryRecord) {
  EXPECT_EQ(CompareVariantValues(Variant(10), Variant(u"10")), 0);
  EXPECT_LT(CompareVariantValues(Variant(u"10"), Variant(u"9")), 0);
  EXPECT_GT(CompareVariantValues(Variant(10), Variant(u"9")), 0);

  TTestControlDataController C({TcxVariantValueType::StaticClass()});
  std::mt19937 Random(4490);
  C.BeginUpdate();
  for (Integer I = 0; I < 400; ++I) {
    const Integer N = Integer(Random() % 120);
    C.AddRecord({Random() % 2 ? Variant(N) : Variant(IntToStr(N) + (Random() % 4 ? u"" : u".0"))});
  }
  C.EndUpdate();
  std::vector<Integer> All(400);
  std::iota(All.begin(), All.end(), 0);
  for (TcxDataSortOrder Order : {soAscending, soDescending}) {
    C.SetItemSortOrder(0, Order);
    std::vector<Integer> Rows = C.RowRecords();
    std::sort(Rows.begin(), Rows.end());
    EXPECT_EQ(Rows, All) << "order " << Order;
  }
}
