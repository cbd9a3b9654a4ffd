#include "data/cxDataStorage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "data/cxVariants.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

struct TypeCase {
  TcxValueTypeClass Type;
  const char16_t* Caption;
  Integer AreaSize;
  TVarType VarType;
  Variant Small, Large;  // Small < Large
  const char16_t* SmallText;
};

std::vector<TypeCase> TypeCases() {
  const Integer P = Integer(sizeof(void*));
  return {
      {TcxStringValueType::StaticClass(), u"String", P, varString, VarFromRawByteString("abc"),
       VarFromRawByteString("abd"), u"abc"},
      {TcxWideStringValueType::StaticClass(), u"WideString", Integer(sizeof(TcxStoredWideText)), varOleStr, Variant(u"地质"), Variant(u"地震"),
       u"地质"},
      {TcxSmallintValueType::StaticClass(), u"Smallint", 2, varSmallint, Variant(SmallInt(-300)),
       Variant(SmallInt(12)), u"-300"},
      {TcxIntegerValueType::StaticClass(), u"Integer", 4, varInteger, Variant(-70000), Variant(70000), u"-70000"},
      {TcxWordValueType::StaticClass(), u"Word", 2, varWord, Variant(Word(5)), Variant(Word(65000)), u"5"},
      {TcxBooleanValueType::StaticClass(), u"Boolean", 1, varBoolean, Variant(false), Variant(true), u"False"},
      {TcxFloatValueType::StaticClass(), u"Float", 8, varDouble, Variant(-0.5), Variant(1e10), u"-0.5"},
      {TcxCurrencyValueType::StaticClass(), u"Currency", 8, varCurrency, Variant(Currency::FromRaw(-1)),
       Variant(Currency(3)), u"-0.0001"},
      {TcxDateTimeValueType::StaticClass(), u"DateTime", 8, varDate, VarFromDateTime(1), VarFromDateTime(45000.5),
       nullptr},
      {TcxLargeIntValueType::StaticClass(), u"LargeInt", 8, varInt64, Variant(Int64(-1) << 40),
       Variant(Int64(1) << 40), u"-1099511627776"},
      {TcxFMTBcdValueType::StaticClass(), u"FMTBcd", Integer(sizeof(TBcd)), VarFMTBcd(), Variant(1.25),
       Variant(2.5), u"1.25"},
      {TcxSQLTimeStampValueType::StaticClass(), u"SQLTimeStamp", Integer(sizeof(TSQLTimeStamp)),
       VarSQLTimeStamp(), VarFromDateTime(40000), VarFromDateTime(40001), nullptr},
      {TcxVariantValueType::StaticClass(), u"Variant", P, varVariant, Variant(1), Variant(u"z"), u"1"},
      {TcxObjectValueType::StaticClass(), u"Object", P, varInt64, Variant(Int64(0)), Variant(Int64(0)), u"0"},
  };
}

// A data area with room for any type, released at the end.
struct Area {
  TcxValueTypeClass Type;
  alignas(16) Byte Bytes[64] = {};
  explicit Area(TcxValueTypeClass AType) : Type(AType) {}
  ~Area() {
    if (Type != TcxObjectValueType::StaticClass()) Type->ReleaseData(Bytes + 1);
  }
  // Deliberately unaligned, as columns are.
  Byte* Data() { return Bytes + 1; }
};

TEST(ValueTypes, HoldConvertCompareShowAndStream) {
  for (const TypeCase& C : TypeCases()) {
    SCOPED_TRACE(StringToUTF8(C.Caption));
    EXPECT_EQ(C.Type->TypeCaption(), C.Caption);
    EXPECT_EQ(C.Type->DataAreaSize(), C.AreaSize);
    EXPECT_EQ(C.Type->VariantType(), C.VarType);

    Area A(C.Type), B(C.Type);
    C.Type->VariantToData(A.Data(), C.Small);
    C.Type->VariantToData(B.Data(), C.Large);
    EXPECT_EQ(CompareVariantValues(C.Type->DataToVariant(A.Data()), C.Small), 0);
    const bool Distinct = CompareVariantValues(C.Small, C.Large) != 0;
    EXPECT_EQ(C.Type->CompareDataAreas(A.Data(), B.Data()), Distinct ? -1 : 0);
    EXPECT_EQ(C.Type->CompareDataAreas(B.Data(), A.Data()), Distinct ? 1 : 0);
    EXPECT_EQ(C.Type->CompareDataAreas(A.Data(), A.Data()), 0);
    EXPECT_EQ(C.Type->DataToText(A.Data()), C.SmallText ? String(C.SmallText) : VarToStr(C.Small));

    TMemoryStream Stream;
    C.Type->SaveData(A.Data(), &Stream);
    Stream.SetPosition(0);
    Area Back(C.Type);
    C.Type->LoadData(Back.Data(), &Stream);
    EXPECT_EQ(Stream.Position(), Stream.Size());
    if (C.Type != TcxObjectValueType::StaticClass()) {
      EXPECT_EQ(C.Type->CompareDataAreas(Back.Data(), A.Data()), 0);
    } else {
      EXPECT_EQ(Stream.Size(), 0);  // objects are not streamed
    }
  }
}

TEST(ValueTypes, StreamFormsOfTextAndNumbers) {
  struct FormCase {
    TcxValueTypeClass Type;
    Variant Value;
    Int64 Bytes;
  };
  const FormCase Cases[] = {
      {TcxStringValueType::StaticClass(), VarFromRawByteString("abc"), 4 + 3},
      // UTF-16 as it is: one unit per character, nothing lost.
      {TcxWideStringValueType::StaticClass(), Variant(u"元数据\U00020000"), 4 + 2 * 5},
      {TcxFloatValueType::StaticClass(), Variant(0.1), 10},
      {TcxCurrencyValueType::StaticClass(), Variant(Currency(1)), 8},
      {TcxLargeIntValueType::StaticClass(), Variant(Int64(1)), 8},
      {TcxVariantValueType::StaticClass(), Variant(Word(7)), 3},
  };
  for (const FormCase& C : Cases) {
    Area A(C.Type);
    C.Type->VariantToData(A.Data(), C.Value);
    TMemoryStream Stream;
    C.Type->SaveData(A.Data(), &Stream);
    EXPECT_EQ(Stream.Size(), C.Bytes) << "case " << (&C - Cases);
    Stream.SetPosition(0);
    Area Back(C.Type);
    C.Type->LoadData(Back.Data(), &Stream);
    const Variant V = C.Type->DataToVariant(Back.Data());
    EXPECT_EQ(VarType(V), VarType(C.Value)) << "case " << (&C - Cases);
    EXPECT_EQ(CompareVariantValues(V, C.Value), 0) << "case " << (&C - Cases);
  }
}

TEST(ValueTypes, AcceptsVariantConvertsInPlace) {
  Variant V(u"42");
  EXPECT_TRUE(TcxIntegerValueType::StaticClass()->AcceptsVariant(V));
  EXPECT_EQ(VarType(V), varInteger);
  Variant Bad(u"forty-two");
  EXPECT_FALSE(TcxIntegerValueType::StaticClass()->AcceptsVariant(Bad));
  Variant N = Null();
  EXPECT_TRUE(TcxIntegerValueType::StaticClass()->AcceptsVariant(N));
  Variant Any(u"x");
  EXPECT_TRUE(TcxVariantValueType::StaticClass()->AcceptsVariant(Any));
  EXPECT_EQ(VarType(Any), varOleStr);
  Variant Bcd(u"1.5");
  EXPECT_TRUE(TcxFMTBcdValueType::StaticClass()->AcceptsVariant(Bcd));
  EXPECT_EQ(VarType(Bcd), VarFMTBcd());
}

// A date the time stamp cannot hold is refused as a variant error, both when
// offered and when read from a stream, never with a time-stamp exception
// from inside the check.
TEST(ValueTypes, TimeStampRefusesDatesOutsideItsCalendar) {
  const TcxValueTypeClass Type = TcxSQLTimeStampValueType::StaticClass();
  for (const TDateTime Bad : {TDateTime(NAN), TDateTime(INFINITY), EncodeDate(9999, 12, 31) + 1.0}) {
    SCOPED_TRACE(Bad);
    Variant V = VarFromDateTime(Bad);
    EXPECT_FALSE(Type->AcceptsVariant(V));
    TMemoryStream Stream;
    WriteTaggedVariant(&Stream, VarFromDateTime(Bad));
    Stream.SetPosition(0);
    std::vector<Byte> Area(size_t(Type->DataAreaSize()));
    EXPECT_THROW(Type->LoadData(Area.data(), &Stream), EVariantError);
  }
}

TEST(ValueTypeRegistry, HoldsTheFourteenTypesInOrder) {
  TcxValueTypeClassList* List = cxValueTypeClassList();
  const std::vector<TypeCase> Cases = TypeCases();
  ASSERT_EQ(List->Count(), Integer(Cases.size()));
  for (size_t I = 0; I < Cases.size(); ++I) EXPECT_EQ(List->Items(Integer(I)), Cases[I].Type);
  EXPECT_EQ(List->ItemByCaption(u"WideString"), TcxWideStringValueType::StaticClass());
  EXPECT_EQ(List->ItemByCaption(u"Nothing"), nullptr);
  List->RegisterItem(TcxIntegerValueType::StaticClass());
  EXPECT_EQ(List->Count(), Integer(Cases.size()));
  EXPECT_THROW(List->Items(99), EListError);
}

// ---- Storage ---------------------------------------------------------------------------

class StorageTest : public ::testing::Test {
protected:
  TcxDataStorage Storage;
  std::vector<TcxValueDef*> Defs;

  void AddEveryType() {
    for (const TypeCase& C : TypeCases()) Defs.push_back(Storage.ValueDefs()->Add(C.Type, true, nullptr, false));
  }
};

TEST_F(StorageTest, StoresEveryTypeWithNulls) {
  AddEveryType();
  const std::vector<TypeCase> Cases = TypeCases();
  Storage.SetRecordCount(3);
  for (size_t I = 0; I < Cases.size(); ++I) {
    Storage.WriteValue(0, Defs[I], Cases[I].Small);
    Storage.WriteValue(1, Defs[I], Cases[I].Large);
  }
  // Record 2 was never written: every column reads Null and shows nothing.
  for (size_t I = 0; I < Cases.size(); ++I) {
    SCOPED_TRACE(StringToUTF8(Cases[I].Caption));
    EXPECT_EQ(CompareVariantValues(Storage.ReadValue(0, Defs[I]), Cases[I].Small), 0);
    EXPECT_EQ(CompareVariantValues(Storage.ReadValue(1, Defs[I]), Cases[I].Large), 0);
    EXPECT_TRUE(VarIsNull(Storage.ReadValue(2, Defs[I])));
    EXPECT_EQ(Storage.ReadText(2, Defs[I]), u"");
    EXPECT_EQ(Storage.CompareRecordValues(2, 0, Defs[I]), -1);
    EXPECT_EQ(Storage.CompareRecordValues(2, 2, Defs[I]), 0);
    const bool Distinct = CompareVariantValues(Cases[I].Small, Cases[I].Large) != 0;
    EXPECT_EQ(Storage.CompareRecordValues(0, 1, Defs[I]), Distinct ? -1 : 0);
    // Null sorts first and two Nulls are equal.
    Storage.WriteValue(1, Defs[I], Null());
    EXPECT_TRUE(VarIsNull(Storage.ReadValue(1, Defs[I])));
    EXPECT_EQ(Storage.CompareRecordValues(1, 0, Defs[I]), -1);
    EXPECT_EQ(Storage.CompareRecordValues(0, 1, Defs[I]), 1);
    bool IsNull = false;
    const void* Pointer = nullptr;
    Storage.LocateValue(0, Defs[I], IsNull, Pointer);
    EXPECT_FALSE(IsNull);
    Storage.LocateValue(1, Defs[I], IsNull, Pointer);
    EXPECT_TRUE(IsNull);
  }
  EXPECT_EQ(Storage.ReadText(0, Defs[1]), u"地质");
}

TEST_F(StorageTest, FailedConversionKeepsTheColumn) {
  TcxValueDef* Number = Storage.ValueDefs()->Add(TcxIntegerValueType::StaticClass(), true, nullptr, false);
  TcxValueDef* Date = Storage.ValueDefs()->Add(TcxDateTimeValueType::StaticClass(), true, nullptr, false);
  Storage.SetRecordCount(1);
  EXPECT_THROW(Storage.WriteValue(0, Number, Variant(u"abc")), EVariantError);
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(0, Number)));
  EXPECT_EQ(Storage.ReadText(0, Number), u"");
  Storage.WriteValue(0, Number, 5);
  EXPECT_THROW(Storage.WriteValue(0, Number, Variant(u"abc")), EVariantError);
  EXPECT_EQ(Storage.ReadValue(0, Number).AsInteger(), 5);
  EXPECT_THROW(Storage.WriteValue(0, Date, Variant(u"not a date")), EVariantError);
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(0, Date)));
}

TEST_F(StorageTest, RecordIDs) {
  Defs.push_back(Storage.ValueDefs()->Add(TcxIntegerValueType::StaticClass(), true, nullptr, false));
  Storage.SetRecordCount(2);
  EXPECT_EQ(Storage.RecordIdOf(0), 0);
  Storage.SetUseRecordIDs(true);
  EXPECT_EQ(Storage.RecordIdOf(0), 1);
  EXPECT_EQ(Storage.RecordIdOf(1), 2);
  EXPECT_EQ(Storage.AddRecord(), 2);
  EXPECT_EQ(Storage.RecordIdOf(2), 3);
  Storage.InsertRecordAt(0);
  EXPECT_EQ(Storage.RecordIdOf(0), 4);
  Storage.WriteValue(1, Defs[0], 11);
  EXPECT_EQ(Storage.RecordIdOf(1), 1);
  Storage.DeleteRecordAt(0);
  EXPECT_EQ(Storage.RecordIdOf(0), 1);
  Storage.SetRecordCount(0);
  Storage.AddRecord();
  EXPECT_EQ(Storage.RecordIdOf(0), 1);  // the counter starts again when no record is left
  // Switching the mode clears the values and numbers the records afresh.
  Storage.WriteValue(0, Defs[0], 3);
  Storage.SetUseRecordIDs(false);
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(0, Defs[0])));
  EXPECT_EQ(Storage.RecordCount(), 1);
}

TEST_F(StorageTest, InternalRecords) {
  TcxValueDef* Name = Storage.ValueDefs()->Add(TcxWideStringValueType::StaticClass(), false, nullptr, true);
  Storage.SetRecordCount(1);
  Integer Cleared = 0;
  Storage.OnClearInternalRecords = TNotifyEvent(&Cleared, [&Cleared](TObject*) { ++Cleared; });

  EXPECT_EQ(Storage.AcquireInternalRecord(), -1);
  EXPECT_EQ(Storage.AcquireInternalRecord(), -2);
  Storage.WriteValue(-1, Name, Variant(u"内部"));
  Storage.WriteText(-1, Name, u"shown");
  EXPECT_EQ(Storage.ReadValue(-1, Name).AsString(), u"内部");
  EXPECT_EQ(Storage.ReadText(-1, Name), u"shown");
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(0, Name)));
  // The twin stands for the normal definition in both kinds of records.
  TcxValueDef* Twin = Storage.InternalValueDefs()->FindByLinkObject(Name);
  ASSERT_NE(Twin, nullptr);
  EXPECT_EQ(Storage.ReadValue(-1, Twin).AsString(), u"内部");
  Storage.WriteValue(0, Name, Variant(u"normal"));
  EXPECT_EQ(Storage.CompareRecordValues(-1, 0, Name), 1);

  Storage.DeleteRecordAt(-1);
  EXPECT_EQ(Storage.InternalRecordCount(), 2);
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(-1, Name)));
  EXPECT_EQ(Storage.AcquireInternalRecord(), -1);
  EXPECT_EQ(Storage.AcquireInternalRecord(), -3);

  Storage.Reset(true);
  EXPECT_EQ(Storage.RecordCount(), 0);
  EXPECT_EQ(Storage.InternalRecordCount(), 3);
  EXPECT_EQ(Cleared, 0);
  Storage.Reset(false);
  EXPECT_EQ(Storage.InternalRecordCount(), 0);
  EXPECT_EQ(Cleared, 1);
  EXPECT_THROW(Storage.ReadValue(-1, Name), EListError);
}

TEST_F(StorageTest, DisplayTexts) {
  TcxValueDef* Plain = Storage.ValueDefs()->Add(TcxFloatValueType::StaticClass(), true, nullptr, false);
  TcxValueDef* WithText = Storage.ValueDefs()->Add(TcxFloatValueType::StaticClass(), true, nullptr, true);
  Storage.SetRecordCount(1);
  Storage.WriteValue(0, Plain, 1.5);
  Storage.WriteValue(0, WithText, 1.5);
  Storage.WriteText(0, Plain, u"ignored");
  Storage.WriteText(0, WithText, u"一点五");
  EXPECT_EQ(Storage.ReadText(0, Plain), u"1.5");
  EXPECT_EQ(Storage.ReadText(0, WithText), u"一点五");
  // Turning text keeping on and off keeps the values.
  Plain->SetTextStored(true);
  Storage.WriteText(0, Plain, u"text");
  WithText->SetTextStored(false);
  EXPECT_EQ(Storage.ReadValue(0, Plain).AsDouble(), 1.5);
  EXPECT_EQ(Storage.ReadText(0, Plain), u"text");
  EXPECT_EQ(Storage.ReadValue(0, WithText).AsDouble(), 1.5);
  EXPECT_EQ(Storage.ReadText(0, WithText), u"1.5");
}

TEST_F(StorageTest, DefinitionsAddedAndRemovedAroundData) {
  TcxValueDef* A = Storage.ValueDefs()->Add(TcxWideStringValueType::StaticClass(), true, nullptr, true);
  TcxValueDef* B = Storage.ValueDefs()->Add(TcxIntegerValueType::StaticClass(), true, nullptr, false);
  Storage.SetRecordCount(3);
  for (Integer R = 0; R < 2; ++R) {
    Storage.WriteValue(R, A, Variant(u"a" + String(1, Char(u'0' + R))));
    Storage.WriteText(R, A, u"t");
    Storage.WriteValue(R, B, R * 10);
  }
  const Integer Internal = Storage.AcquireInternalRecord();
  Storage.WriteValue(Internal, B, 99);

  TcxValueDef* C = Storage.ValueDefs()->Add(TcxVariantValueType::StaticClass(), true, nullptr, false);
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(0, C)));
  Storage.WriteValue(1, C, VarArrayOf({1, u"x"}));
  EXPECT_EQ(Storage.ReadValue(1, B).AsInteger(), 10);
  EXPECT_EQ(Storage.ReadValue(Internal, B).AsInteger(), 99);

  delete A;  // a column in the middle of others
  EXPECT_EQ(Storage.ValueDefs()->Count(), 2);
  EXPECT_EQ(Storage.InternalValueDefs()->Count(), 2);
  EXPECT_EQ(Storage.ReadValue(1, B).AsInteger(), 10);
  EXPECT_EQ(CompareVariantValues(Storage.ReadValue(1, C), VarArrayOf({1, u"x"})), 0);
  EXPECT_EQ(Storage.ReadValue(Internal, B).AsInteger(), 99);

  delete C;
  delete B;  // the only stored column left: every buffer goes, the records stay
  EXPECT_EQ(Storage.RecordCount(), 3);
  EXPECT_EQ(Storage.ValueDefs()->Count(), 0);
  // The internal record stays in use.
  EXPECT_EQ(Storage.AcquireInternalRecord(), Internal - 1);
}

TEST_F(StorageTest, StoredValuesOnly) {
  TcxValueDef* Kept = Storage.ValueDefs()->Add(TcxIntegerValueType::StaticClass(), true, nullptr, false);
  TcxValueDef* Loose = Storage.ValueDefs()->Add(TcxWideStringValueType::StaticClass(), false, nullptr, true);
  Storage.SetRecordCount(1);
  Storage.WriteValue(0, Loose, Variant(u"x"));
  EXPECT_EQ(Storage.ReadValue(0, Loose).AsString(), u"x");
  Storage.SetStoredValuesOnly(true);
  EXPECT_FALSE(Loose->IsStored());
  EXPECT_EQ(Storage.ValueDefs()->StoredCount(), 1);
  Storage.WriteValue(0, Loose, Variant(u"y"));
  Storage.WriteValue(0, Kept, 4);
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(0, Loose)));
  EXPECT_EQ(Storage.ReadValue(0, Kept).AsInteger(), 4);
  // Internal twins are always stored.
  const Integer Internal = Storage.AcquireInternalRecord();
  Storage.WriteValue(Internal, Loose, Variant(u"z"));
  EXPECT_EQ(Storage.ReadValue(Internal, Loose).AsString(), u"z");
  Loose->SetStored(true);
  Storage.WriteValue(0, Loose, Variant(u"w"));
  EXPECT_EQ(Storage.ReadValue(0, Loose).AsString(), u"w");
  EXPECT_EQ(Storage.ReadValue(0, Kept).AsInteger(), 4);
}

class Tracked : public TObject {
public:
  explicit Tracked(Integer& ACount) : Count(ACount) {}
  ~Tracked() override { ++Count; }
  Integer& Count;
};

TEST_F(StorageTest, ObjectsArePointerSizedAndFreedWithTheirValue) {
  TcxValueDef* Def = Storage.ValueDefs()->Add(TcxObjectValueType::StaticClass(), true, nullptr, false);
  Storage.SetRecordCount(2);
  Integer Freed = 0;
  auto* First = new Tracked(Freed);
  auto* Second = new Tracked(Freed);
  Storage.WriteValue(0, Def, Variant(Int64(reinterpret_cast<std::intptr_t>(First))));
  Storage.WriteValue(1, Def, Variant(Int64(reinterpret_cast<std::intptr_t>(Second))));
  EXPECT_EQ(reinterpret_cast<Tracked*>(std::intptr_t(Storage.ReadValue(0, Def).AsInt64())), First);
  Storage.WriteValue(0, Def, Null());
  EXPECT_EQ(Freed, 1);
  Storage.DeleteRecordAt(1);
  EXPECT_EQ(Freed, 2);
}

TEST_F(StorageTest, LoadRecordFromAReader) {
  class Reader : public TcxValueDefReader {
  public:
    Variant GetValue(TcxValueDef* AValueDef) override {
      return AValueDef->ValueTypeClass() == TcxIntegerValueType::StaticClass() ? Variant(7) : Variant(u"seven");
    }
    String GetDisplayText(TcxValueDef*) override { return u"七"; }
    bool IsInternal(TcxValueDef* AValueDef) override { return AValueDef->LinkObject() == this; }
  } Source;
  TcxValueDef* Number = Storage.ValueDefs()->Add(TcxIntegerValueType::StaticClass(), true, nullptr, false);
  TcxValueDef* Text = Storage.ValueDefs()->Add(TcxWideStringValueType::StaticClass(), true, nullptr, true);
  TcxValueDef* Skipped = Storage.ValueDefs()->Add(TcxIntegerValueType::StaticClass(), true, &Source, false);
  Storage.SetRecordCount(1);
  Storage.LoadRecord(0, &Source, true);
  EXPECT_EQ(Storage.ReadValue(0, Number).AsInteger(), 7);
  EXPECT_EQ(Storage.ReadValue(0, Text).AsString(), u"seven");
  EXPECT_EQ(Storage.ReadText(0, Text), u"七");
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(0, Skipped)));
  Integer Visited = 0;
  Storage.ForEachDefinition(0, [&](TcxValueDef*, Integer ARecord, TcxValueDefReader*, void*) {
    EXPECT_EQ(ARecord, 0);
    ++Visited;
  }, nullptr, nullptr);
  EXPECT_EQ(Visited, 3);
}

TEST_F(StorageTest, IndexErrors) {
  TcxValueDef* Def = Storage.ValueDefs()->Add(TcxIntegerValueType::StaticClass(), true, nullptr, false);
  Storage.SetRecordCount(1);
  EXPECT_THROW(Storage.ReadValue(1, Def), EListError);
  EXPECT_THROW(Storage.WriteValue(-1, Def, 1), EListError);
  EXPECT_THROW(Storage.DeleteRecordAt(5), EListError);
  EXPECT_THROW(Storage.InsertRecordAt(2), EListError);
  EXPECT_THROW(Storage.ValueDefs()->Items(1), EListError);
  Storage.SetRecordCount(-4);
  EXPECT_EQ(Storage.RecordCount(), 0);
}

TEST(LookupList, KeepsValuesInOrder) {
  TcxLookupList List;
  Integer Index = -1;
  EXPECT_FALSE(List.Find(5, Index));
  EXPECT_EQ(Index, 0);
  for (Integer V : {30, 10, 20}) {
    ASSERT_FALSE(List.Find(V, Index));
    List.Insert(Index, V, u"#" + String(1, Char(u'0' + V / 10)));
  }
  EXPECT_TRUE(List.Find(20, Index));
  EXPECT_EQ(Index, 1);
  EXPECT_EQ(List.GetItem(1).DisplayText, u"#2");
  EXPECT_FALSE(List.Find(99, Index));
  EXPECT_EQ(Index, List.Count());
  EXPECT_FALSE(List.Find(Null(), Index));
  EXPECT_EQ(Index, 0);
  EXPECT_THROW(List.GetItem(3), EListError);
  List.Clear();
  EXPECT_EQ(List.Count(), 0);
}

}  // namespace
