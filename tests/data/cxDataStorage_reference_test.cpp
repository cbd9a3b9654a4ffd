// The storage keeps records column by column, with slots that deleted
// records give back and short wide texts in place. Here random edits of
// every kind run against the storage and against a plain reference (a
// vector of records, each a vector of variants), and every value, text,
// comparison and order is checked against the reference's.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "data/cxDataStorage.h"
#include "data/cxVariants.h"
#include "platform/rtl/encoding.h"
#include "tests/data/datacontroller_test_double.h"

namespace {

// Texts around the length kept in place: empty, short, exactly in place,
// one past it, and long; with a shared beginning so that orders need more
// than the first units.
String RandomText(std::mt19937& ARandom) {
  static const size_t Lengths[] = {0, 1, 3, TcxStoredWideText::InlineLength - 1, TcxStoredWideText::InlineLength,
                                   TcxStoredWideText::InlineLength + 1, 30};
  const size_t Length = Lengths[ARandom() % std::size(Lengths)];
  String Text;
  for (size_t K = 0; K < Length; ++K) Text += K < 2 ? u'地' : Char(u'a' + ARandom() % 3);
  return Text;
}

// A value the column's type takes; a Null one time in six.
Variant RandomValue(TcxValueTypeClass AType, std::mt19937& ARandom) {
  if (ARandom() % 6 == 0) return Null();
  const Integer N = Integer(ARandom() % 2001) - 1000;
  if (AType == TcxStringValueType::StaticClass()) return VarFromRawByteString(StringToUTF8(RandomText(ARandom)));
  if (AType == TcxWideStringValueType::StaticClass()) return Variant(RandomText(ARandom));
  if (AType == TcxSmallintValueType::StaticClass()) return Variant(SmallInt(N));
  if (AType == TcxIntegerValueType::StaticClass()) return Variant(N * 1000);
  if (AType == TcxWordValueType::StaticClass()) return Variant(Word(N + 1000));
  if (AType == TcxBooleanValueType::StaticClass()) return Variant(N % 2 == 0);
  if (AType == TcxFloatValueType::StaticClass()) return Variant(N / 8.0);
  if (AType == TcxCurrencyValueType::StaticClass()) return Variant(Currency::FromRaw(N));
  if (AType == TcxDateTimeValueType::StaticClass()) return VarFromDateTime(40000 + N / 4.0);
  if (AType == TcxLargeIntValueType::StaticClass()) return Variant(Int64(N) << 33);
  if (AType == TcxFMTBcdValueType::StaticClass()) return Variant(N / 4.0);
  if (AType == TcxSQLTimeStampValueType::StaticClass()) return VarFromDateTime(40000 + N);
  // The variant type holds numbers of more than one type (texts mixed with
  // numbers have no single order).
  return N % 3 == 0 ? Variant(N / 2.0) : Variant(N);
}

// The value types whose values the storage keeps, all but object
// references (they free what they point to).
std::vector<TcxValueTypeClass> KeptTypes() {
  std::vector<TcxValueTypeClass> Result;
  for (Integer I = 0; I < cxValueTypeClassList()->Count(); ++I)
    if (cxValueTypeClassList()->Items(I) != TcxObjectValueType::StaticClass())
      Result.push_back(cxValueTypeClassList()->Items(I));
  return Result;
}

// What the storage holds after a value went in: the value read back through
// one area of the type, so that conversions are not what is compared.
Variant Held(TcxValueTypeClass AType, const Variant& AValue) {
  if (VarIsNull(AValue)) return Null();
  alignas(16) Byte Area[64] = {};
  AType->VariantToData(Area, AValue);
  const Variant Result = AType->DataToVariant(Area);
  AType->ReleaseData(Area);
  return Result;
}

String HeldText(TcxValueTypeClass AType, const Variant& AValue) {
  if (VarIsNull(AValue)) return String();
  alignas(16) Byte Area[64] = {};
  AType->VariantToData(Area, AValue);
  const String Result = AType->DataToText(Area);
  AType->ReleaseData(Area);
  return Result;
}

// The order the storage should give two held values of a column: texts by
// their code units (bytes for 8-bit texts), everything else as variants.
Integer ReferenceOrder(TcxValueTypeClass AType, const Variant& A, const Variant& B) {
  if (VarIsNull(A) || VarIsNull(B)) return Integer(!VarIsNull(A)) - Integer(!VarIsNull(B));
  Integer R;
  if (AType == TcxStringValueType::StaticClass())
    R = A.AsRawByteString().compare(B.AsRawByteString());
  else if (AType == TcxWideStringValueType::StaticClass())
    R = A.AsString().compare(B.AsString());
  else
    R = CompareVariantValues(A, B);
  return R < 0 ? -1 : (R > 0 ? 1 : 0);
}

// ---- The storage against its reference -----------------------------------------------------

struct TReferenceRecord {
  bool HasValues = false;  // a record that was never written holds nothing
  std::vector<Variant> Values;
  std::vector<String> Texts;
};

class StorageReference {
public:
  explicit StorageReference(std::mt19937& ARandom) : FRandom(ARandom) {
    for (TcxValueTypeClass Type : KeptTypes()) AddColumn(Type, FRandom() % 3 == 0);
    // A second wide-text column keeps display texts.
    AddColumn(TcxWideStringValueType::StaticClass(), true);
  }

  void RandomEdit() {
    const Integer Count = Integer(FRecords.size());
    switch (FRandom() % 12) {
      case 0:
        Storage.AddRecord();
        FRecords.push_back(EmptyRecord());
        break;
      case 1: {
        const Integer At = Integer(FRandom() % size_t(Count + 1));
        Storage.InsertRecordAt(At);
        FRecords.insert(FRecords.begin() + At, EmptyRecord());
        break;
      }
      case 2:
        if (Count == 0) break;
        DeleteAt(Integer(FRandom() % size_t(Count)));
        break;
      case 3:
        if (Count == 0) break;
        WriteText(Integer(FRandom() % size_t(Count)), Integer(FRandom() % FDefs.size()));
        break;
      case 4:
        if (FRandom() % 20 == 0) ToggleTextKeeping(Integer(FRandom() % FDefs.size()));
        break;
      default:
        if (Count == 0) break;
        WriteValue(Integer(FRandom() % size_t(Count)), Integer(FRandom() % FDefs.size()));
    }
  }

  // Deletes every record, and the reference's too.
  void DeleteAll() {
    while (!FRecords.empty()) DeleteAt(Integer(FRecords.size()) - 1);
  }

  void Check() const {
    ASSERT_EQ(Storage.RecordCount(), Integer(FRecords.size()));
    for (size_t C = 0; C < FDefs.size(); ++C) {
      SCOPED_TRACE(StringToUTF8(FTypes[C]->TypeCaption()) + " column " + std::to_string(C));
      for (size_t R = 0; R < FRecords.size(); ++R) CheckValue(Integer(R), C);
      CheckOrder(C);
    }
    CheckTextsInPlace(WideTextColumn());
  }

  TcxDataStorage Storage;

private:
  void AddColumn(TcxValueTypeClass AType, bool AKeepsText) {
    FDefs.push_back(Storage.ValueDefs()->Add(AType, true, nullptr, AKeepsText));
    FTypes.push_back(AType);
  }

  TReferenceRecord EmptyRecord() const {
    return TReferenceRecord{false, std::vector<Variant>(FDefs.size(), Null()), std::vector<String>(FDefs.size())};
  }

  void DeleteAt(Integer ARecord) {
    Storage.DeleteRecordAt(ARecord);
    FRecords.erase(FRecords.begin() + ARecord);
  }

  void WriteValue(Integer ARecord, Integer AColumn) {
    const Variant Value = RandomValue(FTypes[size_t(AColumn)], FRandom);
    Storage.WriteValue(ARecord, FDefs[size_t(AColumn)], Value);
    TReferenceRecord& Record = FRecords[size_t(ARecord)];
    Record.HasValues = true;
    Record.Values[size_t(AColumn)] = Held(FTypes[size_t(AColumn)], Value);
  }

  void WriteText(Integer ARecord, Integer AColumn) {
    if (!FDefs[size_t(AColumn)]->KeepsText()) return;
    const String Text = RandomText(FRandom);
    Storage.WriteText(ARecord, FDefs[size_t(AColumn)], Text);
    FRecords[size_t(ARecord)].HasValues = true;
    FRecords[size_t(ARecord)].Texts[size_t(AColumn)] = Text;
  }

  // Texts kept again start empty; the values stay.
  void ToggleTextKeeping(Integer AColumn) {
    TcxValueDef* Def = FDefs[size_t(AColumn)];
    Def->SetTextStored(!Def->TextStored());
    for (TReferenceRecord& Record : FRecords) Record.Texts[size_t(AColumn)] = String();
  }

  void CheckValue(Integer ARecord, size_t AColumn) const {
    const TReferenceRecord& Record = FRecords[size_t(ARecord)];
    const Variant& Expected = Record.Values[AColumn];
    const Variant Value = Storage.ReadValue(ARecord, FDefs[AColumn]);
    ASSERT_EQ(VarIsNull(Value), VarIsNull(Expected)) << "record " << ARecord;
    if (!VarIsNull(Value)) {
      EXPECT_EQ(VarType(Value), VarType(Expected)) << "record " << ARecord;
      EXPECT_EQ(ReferenceOrder(FTypes[AColumn], Value, Expected), 0) << "record " << ARecord;
    }
    const String Text = FDefs[AColumn]->KeepsText() ? Record.Texts[AColumn] : HeldText(FTypes[AColumn], Expected);
    EXPECT_EQ(StringToUTF8(Storage.ReadText(ARecord, FDefs[AColumn])), StringToUTF8(Text)) << "record " << ARecord;
  }

  // Records in the storage's order of the column (ties in record order)
  // against the reference's: no values first, then Null, then the values.
  void CheckOrder(size_t AColumn) const {
    std::vector<Integer> ByStorage(FRecords.size());
    std::iota(ByStorage.begin(), ByStorage.end(), 0);
    std::vector<Integer> ByReference = ByStorage;
    std::stable_sort(ByStorage.begin(), ByStorage.end(), [&](Integer A, Integer B) {
      return Storage.CompareRecordValues(A, B, FDefs[AColumn]) < 0;
    });
    std::stable_sort(ByReference.begin(), ByReference.end(), [&](Integer A, Integer B) {
      const TReferenceRecord &X = FRecords[size_t(A)], &Y = FRecords[size_t(B)];
      if (!X.HasValues || !Y.HasValues) return !X.HasValues && Y.HasValues;
      return ReferenceOrder(FTypes[AColumn], X.Values[AColumn], Y.Values[AColumn]) < 0;
    });
    EXPECT_EQ(ByStorage, ByReference);
  }

  // The texts read in place, record by record and in one pass.
  void CheckTextsInPlace(size_t AColumn) const {
    std::vector<std::optional<String>> Seen;
    EXPECT_TRUE(Storage.ForEachStoredText(FDefs[AColumn], [&](Integer R, const std::u16string_view* AText) {
      EXPECT_EQ(R, Integer(Seen.size()));
      Seen.push_back(AText ? std::optional<String>(String(*AText)) : std::nullopt);
    }));
    ASSERT_EQ(Seen.size(), FRecords.size());
    for (size_t R = 0; R < FRecords.size(); ++R) {
      const Variant& Expected = FRecords[R].Values[AColumn];
      ASSERT_EQ(Seen[R].has_value(), !VarIsNull(Expected)) << "record " << R;
      if (!Seen[R]) continue;
      EXPECT_EQ(StringToUTF8(*Seen[R]), StringToUTF8(Expected.AsString())) << "record " << R;
      bool IsNull = true;
      const void* Pointer = nullptr;
      Storage.LocateValue(Integer(R), FDefs[AColumn], IsNull, Pointer);
      ASSERT_FALSE(IsNull);
      EXPECT_EQ(String(TcxStoredWideText::AtValuePointer(Pointer)), *Seen[R]) << "record " << R;
    }
  }

  size_t WideTextColumn() const {
    return size_t(std::find(FTypes.begin(), FTypes.end(), TcxWideStringValueType::StaticClass()) - FTypes.begin());
  }

  std::mt19937& FRandom;
  std::vector<TcxValueDef*> FDefs;
  std::vector<TcxValueTypeClass> FTypes;
  std::vector<TReferenceRecord> FRecords;
};

TEST(StorageAgainstReference, RandomEditsOfEveryTypeKeepEveryValueTextAndOrder) {
  for (const unsigned Seed : {1u, 2u, 3u}) {
    SCOPED_TRACE("seed " + std::to_string(Seed));
    std::mt19937 Random(Seed);
    StorageReference Reference(Random);
    for (Integer Round = 0; Round < 12; ++Round) {
      for (Integer Edit = 0; Edit < 150; ++Edit) Reference.RandomEdit();
      ASSERT_NO_FATAL_FAILURE(Reference.Check());
    }
    // Slots given back by deleted records are taken again by new ones.
    Reference.DeleteAll();
    for (Integer Edit = 0; Edit < 300; ++Edit) Reference.RandomEdit();
    ASSERT_NO_FATAL_FAILURE(Reference.Check());
  }
}

// A text made in place of a long one and a long one made in place of a
// short one: each frees what it replaces (the sanitizer builds watch for
// leaks) and a failed conversion keeps what was there.
TEST(StoredWideText, ReplacingTextsOfEveryLengthKeepsTheLastOne) {
  TcxDataStorage Storage;
  TcxValueDef* Text = Storage.ValueDefs()->Add(TcxWideStringValueType::StaticClass(), true, nullptr, false);
  Storage.SetRecordCount(1);
  const String Long(40, u'长'), Exact(TcxStoredWideText::InlineLength, u'x'),
      OnePast(TcxStoredWideText::InlineLength + 1, u'y');
  for (const String& Value : {Long, String(), Exact, OnePast, Long, String(u"a"), OnePast, Exact}) {
    Storage.WriteValue(0, Text, Variant(Value));
    ASSERT_EQ(StringToUTF8(Storage.ReadValue(0, Text).AsString()), StringToUTF8(Value));
  }
  Storage.WriteValue(0, Text, Variant(Long));
  EXPECT_THROW(Storage.WriteValue(0, Text, VarArrayOf({1, 2})), EVariantError);
  EXPECT_EQ(Storage.ReadValue(0, Text).AsString(), Long);
  Storage.WriteValue(0, Text, Null());
  EXPECT_TRUE(VarIsNull(Storage.ReadValue(0, Text)));
  Storage.WriteValue(0, Text, Variant(String()));
  EXPECT_FALSE(VarIsNull(Storage.ReadValue(0, Text)));  // the empty text is no Null
  EXPECT_EQ(Storage.ReadValue(0, Text).AsString(), u"");
}

// ---- The controller's sorting and grouping against the reference ------------------------------

// Items: 0 integer, 1 wide text, 2 float.
TEST(ControllerAgainstReference, SortingAndGroupingOfRandomEditsFollowTheValues) {
  std::mt19937 Random(7);
  TTestControlDataController C(
      {TcxIntegerValueType::StaticClass(), TcxWideStringValueType::StaticClass(), TcxFloatValueType::StaticClass()});
  std::vector<std::vector<Variant>> Rows;  // the reference: each record's values
  auto RandomRow = [&] {
    return std::vector<Variant>{RandomValue(TcxIntegerValueType::StaticClass(), Random),
                                RandomValue(TcxWideStringValueType::StaticClass(), Random),
                                RandomValue(TcxFloatValueType::StaticClass(), Random)};
  };
  C.BeginUpdate();
  for (Integer Edit = 0; Edit < 600; ++Edit) {
    const Integer Count = Integer(Rows.size());
    const unsigned Kind = Random() % 5;
    if (Kind == 0 || Count == 0) {
      Rows.push_back(RandomRow());
      C.AddRecord(Rows.back());
    } else if (Kind == 1) {
      const Integer At = Integer(Random() % size_t(Count + 1));
      C.InsertRecord(At);
      Rows.insert(Rows.begin() + At, RandomRow());
      for (Integer I = 0; I < 3; ++I) C.SetValue(At, I, Rows[size_t(At)][size_t(I)]);
    } else if (Kind == 2) {
      const Integer At = Integer(Random() % size_t(Count));
      C.DeleteRecord(At);
      Rows.erase(Rows.begin() + At);
    } else {
      const Integer At = Integer(Random() % size_t(Count)), Item = Integer(Random() % 3);
      Rows[size_t(At)][size_t(Item)] = RandomRow()[size_t(Item)];
      C.SetValue(At, Item, Rows[size_t(At)][size_t(Item)]);
    }
  }
  C.EndUpdate();
  ASSERT_EQ(C.GetRecordCount(), Integer(Rows.size()));

  // Text ascending, then integer descending; ties in record order.
  C.BeginUpdate();
  C.SetItemSortOrder(1, soAscending);
  C.SetItemSortOrder(0, soDescending);
  C.EndUpdate();
  std::vector<Integer> Expected(Rows.size());
  std::iota(Expected.begin(), Expected.end(), 0);
  std::stable_sort(Expected.begin(), Expected.end(), [&](Integer A, Integer B) {
    const std::vector<Variant> &X = Rows[size_t(A)], &Y = Rows[size_t(B)];
    if (const Integer R = ReferenceOrder(TcxWideStringValueType::StaticClass(), X[1], Y[1])) return R < 0;
    return ReferenceOrder(TcxIntegerValueType::StaticClass(), X[0], Y[0]) > 0;
  });
  EXPECT_EQ(C.RowRecords(), Expected);

  // Grouped by the text: one group per distinct text (Null its own), in
  // text order, each with its records in the order above.
  C.SetItemGroupIndex(1, 0);
  std::map<std::optional<String>, std::vector<Integer>> Groups;
  for (Integer R : Expected)
    Groups[VarIsNull(Rows[size_t(R)][1]) ? std::nullopt : std::optional<String>(Rows[size_t(R)][1].AsString())]
        .push_back(R);
  ASSERT_EQ(C.Groups()->GetChildCount(-1), Integer(Groups.size()));
  Integer Index = 0;
  for (const auto& [Text, Records] : Groups) {
    std::vector<Integer> InGroup;
    C.Groups()->GetRecordsOfGroup(C.Groups()->GetChildIndex(-1, Index++), InGroup);
    EXPECT_EQ(InGroup, Records) << (Text ? StringToUTF8(*Text) : std::string("Null"));
  }
}

}  // namespace
