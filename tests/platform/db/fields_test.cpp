#include <gtest/gtest.h>

#include "tests/platform/db/dbtestutil.h"

#include "platform/rtl/datetime.h"

namespace {

// Fields made in code over one row of every kind.
struct TFieldsTest : ::testing::Test {
  TFieldsTest()
      : Fx("CREATE TABLE v(i integer, f double, c double, n numeric(10,2), b boolean, d date, dt datetime, "
           "s text(5), m memo); INSERT INTO v VALUES (1234, 3.14159, 1234.5, 7.25, 1, '2024-03-05', "
           "'2024-03-05 14:07:09', 'abc', 'memo text');") {
    Saved = FormatSettings();
    FormatSettings() = TFormatSettings::Invariant();
    Q = Fx.Query;
    I = Make<TIntegerField>(u"i");
    F = Make<TFloatField>(u"f");
    C = Make<TFloatField>(u"c");
    N = Make<TBCDField>(u"n");
    B = Make<TBooleanField>(u"b");
    D = Make<TDateField>(u"d");
    DT = Make<TDateTimeField>(u"dt");
    S = Make<TWideStringField>(u"s");
    M = Make<TMemoField>(u"m");
  }
  ~TFieldsTest() override { FormatSettings() = Saved; }
  template <class T>
  T* Make(const char16_t* name) {
    T* f = new T(Q);
    f->SetFieldName(name);
    f->SetDataSet(Q);
    return f;
  }
  TQueryFixture Fx;
  TFormatSettings Saved;
  TADOQuery* Q;
  TIntegerField* I;
  TFloatField *F, *C;
  TBCDField* N;
  TBooleanField* B;
  TDateField* D;
  TDateTimeField* DT;
  TWideStringField* S;
  TMemoField* M;
};

TEST_F(TFieldsTest, DisplayAndEditTextFollowTheFormats) {
  I->SetDisplayFormat(u"#,##0");
  F->SetPrecision(3);
  C->SetCurrency(true);
  N->SetDisplayFormat(u"0.000");
  B->SetDisplayValues(u"是;否");
  DT->SetDisplayFormat(u"yyyy-mm-dd hh:nn");
  Q->SQL()->SetText(u"select * from v");
  Q->Open();
  struct {
    TField* Field;
    const char16_t* Display;
    const char16_t* Edit;
  } cases[] = {
      {I, u"1,234", u"1234"},
      {F, u"3.14", u"3.14"},
      {C, u"$1,234.50", u"1234.50"},
      {N, u"7.250", u"7.25"},
      {B, u"是", u"是"},
      {D, u"3/5/2024", u"3/5/2024"},
      {DT, u"2024-03-05 14:07", u"3/5/2024 2:07:09 PM"},
      {S, u"abc", u"abc"},
      {M, u"(MEMO)", u"(MEMO)"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Field->FieldName()));
    EXPECT_EQ(c.Field->DisplayText(), c.Display);
    EXPECT_EQ(c.Field->Text(), c.Edit);
  }
  EXPECT_EQ(M->AsString(), u"memo text");
  EXPECT_EQ(I->Alignment(), taRightJustify);
  EXPECT_EQ(S->Alignment(), taLeftJustify);
  EXPECT_TRUE(M->IsBlob());
  EXPECT_EQ(S->DisplayWidth(), 20);
  EXPECT_TRUE(I->IsValidChar(u'7') && !I->IsValidChar(u'.'));
  EXPECT_TRUE(F->IsValidChar(u'.') && F->IsValidChar(u'E') && !F->IsValidChar(u'x'));
  EXPECT_TRUE(S->IsValidChar(u'中'));
  // Text is written back through the same rules.
  Q->Edit();
  B->SetText(u"否");
  EXPECT_FALSE(B->AsBoolean());
  I->SetText(u"");
  EXPECT_TRUE(I->IsNull());
  S->SetText(u"");
  EXPECT_FALSE(S->IsNull());
  D->SetText(u"2024-12-31");
  EXPECT_EQ(D->AsDateTime(), EncodeDate(2024, 12, 31));
  Q->Cancel();
}

TEST_F(TFieldsTest, RangesOfIntegerAndFloatFields) {
  I->SetMinValue(1);
  I->SetMaxValue(2000);
  F->SetMinValue(-1);
  F->SetMaxValue(1);
  Q->SQL()->SetText(u"select * from v");
  Q->Open();
  Q->Edit();
  struct {
    TField* Field;
    const char16_t* Text;
    bool Ok;
  } cases[] = {{I, u"2000", true}, {I, u"2001", false}, {I, u"0", false}, {I, u"12x", false},
               {F, u"0.5", true},  {F, u"1.5", false},  {F, u"-1", true}};
  for (auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Text));
    if (c.Ok)
      EXPECT_NO_THROW(c.Field->SetAsString(c.Text));
    else
      EXPECT_THROW(c.Field->SetAsString(c.Text), EDatabaseError);
  }
  try {
    I->SetAsInteger(5000);
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message.find(u"5000 is not a valid value for field 'i'. The allowed range is 1 to 2000"),
              String::npos);
  }
  Q->Cancel();
}

TEST(Params, NamesComeFromTheTextOutsideQuotesAndKeepTheirValues) {
  EXPECT_EQ(ExtractParamNames(u"select * from t where a = :a and b = ':x' and c = :A -- :y\n and d = :d2 "
                              u"and e = [:z] and f = '12:30' /* :w */ and g = x::text"),
            (std::vector<String>{u"a", u"d2"}));
  TParams params;
  params.ParseSQL(u"select :code, :kind", true);
  params.ParamByName(u"code")->SetValue(Variant(u"01"));
  params.ParseSQL(u"select :kind, :code, :new", true);
  ASSERT_EQ(params.Count(), 3);
  EXPECT_EQ(params[0]->Name(), u"kind");
  EXPECT_EQ(params.ParamByName(u"CODE")->AsString(), u"01");
  EXPECT_TRUE(params.ParamByName(u"new")->IsNull());
  params.SetParamValues(u"kind;new", VarArrayOf({Variant(1), Variant(u"x")}));
  EXPECT_EQ(params.ParamValues(u"new").AsString(), u"x");
}

}  // namespace
