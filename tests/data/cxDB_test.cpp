// Field routines and the adapter registry of the dataset binding.
#include "data/cxDB.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/db/dataset.h"
#include "platform/db/fields.h"

namespace {

// A dataset with persistent fields and one record in memory.
class TMemoryDataSet : public TDataSet {
  KORVANE_CLASS(TMemoryDataSet, TDataSet)
  explicit TMemoryDataSet(TComponent* AOwner) : TDataSet(AOwner) {}
  std::vector<std::vector<Variant>> Rows;

protected:
  void InternalOpen() override {
    FieldDefs()->Clear();
    for (Integer I = 0; I < FieldCount(); ++I) {
      TField* F = Fields()->Fields(I);
      FieldDefs()->Add(F->FieldName(), F->DataType(), F->Size(), false);
    }
  }
  void InternalLoad() override {
    for (auto Row : Rows) AddRecord(std::move(Row));
  }
  void InternalPost(TRecordData&, std::vector<Variant>&, bool) override {}
  void InternalDelete(TRecordData&) override {}
};

class TDerivedDataSet : public TMemoryDataSet {
  KORVANE_CLASS(TDerivedDataSet, TMemoryDataSet)
  using TMemoryDataSet::TMemoryDataSet;
};

class TOtherAdapter : public TcxDBAdapterItem {
  KORVANE_CLASS(TOtherAdapter, TcxDBAdapterItem)
  TOtherAdapter() = default;
};

template <class T>
T* AddField(TDataSet* ADataSet, const String& AName) {
  auto* F = new T(ADataSet);
  F->SetFieldName(AName);
  F->SetDataSet(ADataSet);
  return F;
}

}  // namespace

TEST(cxDBFieldValues, SeveralFieldsTravelAsOneArrayInListOrder) {
  TComponent Owner(nullptr);
  auto* DS = new TMemoryDataSet(&Owner);
  TIntegerField* A = AddField<TIntegerField>(DS, u"a");
  TStringField* B = AddField<TStringField>(DS, u"b");
  TDateTimeField* D = AddField<TDateTimeField>(DS, u"d");
  DS->Rows.push_back({Variant(1), Variant(String(u"x")), Null()});
  DS->Open();

  EXPECT_TRUE(VarIsNull(GetFieldValues(DS, {})));
  EXPECT_EQ(GetFieldValues(DS, {A}).AsInteger(), 1);
  const Variant V = GetFieldValues(DS, {B, A});
  ASSERT_TRUE(VarIsArray(V));
  EXPECT_EQ(VarArrayLowBound(V), 0);
  EXPECT_EQ(VarArrayHighBound(V), 1);
  EXPECT_EQ(VarToStr(VarArrayGet(V, {0})), u"x");
  EXPECT_EQ(VarArrayGet(V, {1}).AsInteger(), 1);
  EXPECT_TRUE(VarIsNull(GetFieldVariant(D)));

  DS->Edit();
  SetFieldValues(DS, {B, A}, VarArrayOf({Variant(String(u"y")), Variant(7)}));
  EXPECT_EQ(A->AsInteger(), 7);
  EXPECT_EQ(B->AsString(), u"y");
  SetFieldValues(DS, {B, A}, V);
  EXPECT_EQ(A->AsInteger(), 1);
  EXPECT_EQ(B->AsString(), u"x");
  // A double written to a date-time field is taken as a date-time.
  WriteFieldVariant(D, Variant(45000.5));
  EXPECT_DOUBLE_EQ(double(D->AsDateTime()), 45000.5);
  DS->Cancel();
}

TEST(cxDBFieldNames, ListsQuotingAndFilterNames) {
  std::vector<String> Names;
  SplitFieldNames(u" a ; b;c ", Names);
  EXPECT_EQ(Names, (std::vector<String>{u"a", u"b", u"c"}));
  EXPECT_EQ(GetFieldNameCount(u"a;b"), 2);
  EXPECT_EQ(GetFieldNameCount(u""), 0);
  EXPECT_TRUE(HasSeveralFieldNames(u"a;b"));
  EXPECT_FALSE(HasSeveralFieldNames(u"a"));
  EXPECT_TRUE(SameFieldName(u"Meta_ID", u"META_id"));
  EXPECT_FALSE(SameFieldName(u"a", u"b"));

  struct {
    const char16_t* Name;
    const char16_t* Quoted;
  } Cases[] = {{u"name", u"name"}, {u"_x1", u"_x1"}, {u"first name", u"[first name]"},
               {u"1st", u"[1st]"}, {u"a-b", u"[a-b]"}, {u"", u"[]"}, {u"x]y", u"[x]]y]"}};
  for (auto& C : Cases) {
    String N = C.Name;
    QuoteFieldName(N);
    EXPECT_EQ(N, C.Quoted);
  }

  TComponent Owner(nullptr);
  auto* DS = new TMemoryDataSet(&Owner);
  TStringField* Blank = AddField<TStringField>(DS, u"first name");
  TStringField* WithOrigin = AddField<TStringField>(DS, u"title");
  WithOrigin->SetOrigin(u"md.title name");
  EXPECT_EQ(GetFilterFieldName(nullptr, false), u"");
  EXPECT_EQ(GetFilterFieldName(Blank, false), u"[first name]");
  EXPECT_EQ(GetFilterFieldName(WithOrigin, false), u"md.title name");
  EXPECT_EQ(GetFilterFieldName(WithOrigin, true), u"title");
}

TEST(cxDBFieldTests, EditingAndTextFormatting) {
  TComponent Owner(nullptr);
  auto* DS = new TMemoryDataSet(&Owner);
  TStringField* S = AddField<TStringField>(DS, u"s");
  TMemoField* M = AddField<TMemoField>(DS, u"m");
  TFloatField* F = AddField<TFloatField>(DS, u"f");
  TIntegerField* I = AddField<TIntegerField>(DS, u"i");
  TBooleanField* B = AddField<TBooleanField>(DS, u"b");
  TDateTimeField* D = AddField<TDateTimeField>(DS, u"d");
  DS->Open();

  EXPECT_TRUE(FieldCanBeEdited(S, false));
  EXPECT_FALSE(FieldCanBeEdited(M, false));
  EXPECT_TRUE(FieldCanBeEdited(M, true));
  S->SetReadOnly(true);
  EXPECT_FALSE(FieldCanBeEdited(S, true));

  EXPECT_FALSE(FieldHasTextFormatting(I, false));
  EXPECT_FALSE(FieldHasTextFormatting(F, false));
  F->SetCurrency(true);
  EXPECT_TRUE(FieldHasTextFormatting(F, false));
  I->SetDisplayFormat(u"#,##0");
  EXPECT_TRUE(FieldHasTextFormatting(I, false));
  EXPECT_TRUE(FieldHasTextFormatting(B, true));
  EXPECT_FALSE(FieldHasTextFormatting(B, false));
  EXPECT_TRUE(FieldHasTextFormatting(M, true));
  EXPECT_FALSE(FieldHasTextFormatting(D, false));
  D->SetDisplayFormat(u"yyyy");
  EXPECT_TRUE(FieldHasTextFormatting(D, false));
  S->SetEditMask(u"000");
  EXPECT_TRUE(FieldHasTextFormatting(S, false));
}

TEST(cxDBAdapterList, DerivedClassesComeAfterTheirBase) {
  TcxDBAdapterList List;
  List.Register(TDataSet::StaticClass(), TcxDBAdapterItem::StaticClass());
  Integer Index = -1;
  ASSERT_TRUE(List.Find(TDerivedDataSet::StaticClass(), Index));
  EXPECT_EQ(Index, 0);

  // A class registered before its base stays after the base's new item.
  List.Register(TDerivedDataSet::StaticClass(), TOtherAdapter::StaticClass());
  List.Register(TMemoryDataSet::StaticClass(), TOtherAdapter::StaticClass());
  ASSERT_EQ(List.Count(), 3);
  EXPECT_EQ(List.Items(0)->DataSetClass(), TDataSet::StaticClass());
  EXPECT_EQ(List.Items(1)->DataSetClass(), TMemoryDataSet::StaticClass());
  EXPECT_EQ(List.Items(2)->DataSetClass(), TDerivedDataSet::StaticClass());
  ASSERT_TRUE(List.Find(TDerivedDataSet::StaticClass(), Index));
  EXPECT_EQ(Index, 2);
  ASSERT_TRUE(List.Find(TMemoryDataSet::StaticClass(), Index));
  EXPECT_EQ(Index, 1);

  List.Unregister(TDerivedDataSet::StaticClass(), TcxDBAdapterItem::StaticClass());  // not that class
  EXPECT_EQ(List.Count(), 3);
  List.Unregister(TDerivedDataSet::StaticClass(), TOtherAdapter::StaticClass());
  EXPECT_EQ(List.Count(), 2);
  EXPECT_FALSE(List.Find(TComponent::StaticClass(), Index));
  EXPECT_EQ(Index, 0);  // the most general item that derives from it
  EXPECT_THROW(List.Items(5), EListError);
  EXPECT_THROW(List.Register(TDataSet::StaticClass(), TComponent::StaticClass()), EInvalidOperation);
}
