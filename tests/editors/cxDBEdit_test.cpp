// Editor defaults from dataset fields: the answers of the field-backed
// provider for real fields of a query over a temporary database, its
// fallback to the base answers, following fields that are freed or datasets
// that close, change or go away, and a property set reading through it.
#include "editors/cxDBEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/db/dataset.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/db/dbtestutil.h"

namespace {

const std::string ItemSchema =
    "create table item (id integer primary key, code varchar(20), name varchar(50), note memo, pic graphic,"
    " data blob, amount real, price currency, rate decimal(10,2), qty integer, big bigint, created datetime);"
    "insert into item values (1, 'A', 'Alpha', 'text', NULL, NULL, 1.5, 2.25, 3.75, 4, 5, '2024/01/02 03:04:05');"
    "create table kind (code varchar(20) primary key, title varchar(50));"
    "insert into kind values ('A', 'Kind A');";

// Every answer of a provider, to compare providers as a whole.
struct TAnswers {
  TAlignment Alignment;
  Integer BlobKind;
  bool CanModify;
  String DisplayFormat, EditFormat, EditMask;
  bool IsFloat;
  Integer MaxLength;
  double MaxValue, MinValue;
  Integer Precision;
  bool ReadOnly, Required, ProvidesDataValues, IsBlob, IsCurrency;
  bool HasDisplayFormat, HasCurrencyDisplayFormat, HasEmptyDisplayFormat;
  bool AcceptsLetter, AcceptsDigit;
  bool operator==(const TAnswers&) const = default;
};

TAnswers AnswersOf(IcxEditDefaultValuesProvider& P) {
  return TAnswers{P.ProvideAlignment(),     P.ProvideBlobKind(),     P.ProvideCanModify(),
                  P.ProvideDisplayFormat(), P.ProvideEditFormat(),   P.ProvideEditMask(),
                  P.ProvideIsFloat(),       P.ProvideMaxLength(),    P.ProvideMaxValue(),
                  P.ProvideMinValue(),      P.ProvidePrecision(),    P.ProvideReadOnly(),
                  P.ProvideRequired(),      P.ProvidesDataValues(),  P.ProvideIsBlob(),
                  P.ProvideIsCurrency(),    P.HasDisplayFormat(false), P.HasDisplayFormat(true),
                  P.HasEmptyDisplayFormat(), P.AcceptsChar(u'x'),    P.AcceptsChar(u'5')};
}

// The base provider's answers with the two that a field-backed provider
// without a usable field answers differently.
TAnswers UnusableAnswers() {
  TcxCustomEditDefaultValuesProvider base(nullptr);
  TAnswers answers = AnswersOf(base);
  answers.CanModify = false;
  answers.IsBlob = false;
  answers.ProvidesDataValues = true;
  return answers;
}

class DBEditDefaults : public ::testing::Test {
protected:
  DBEditDefaults() : Fx(ItemSchema) {}
  void OpenItems() { Fx.Open(u"select * from item"); }
  TField* Field(const char16_t* Name) { return Fx.Query->FieldByName(Name); }
  // The provider on a field of the open item query.
  TcxCustomDBEditDefaultValuesProvider& On(TField* AField) {
    Provider.SetField(AField);
    return Provider;
  }

  TQueryFixture Fx;
  TcxCustomDBEditDefaultValuesProvider Provider{nullptr};
};

// ---- Answers by field kind ----

TEST_F(DBEditDefaults, DefaultFieldsAnswerByTheirKind) {
  OpenItems();
  struct Case {
    const char16_t* Column;
    TClass FieldClass;
    Integer BlobKind;
    bool IsBlob;
    bool IsFloat;
    bool IsCurrency;
    Integer MaxLength;
    TAlignment Alignment;
  };
  const Case cases[] = {
      {u"name", TWideStringField::StaticClass(), 0, false, false, false, 50, taLeftJustify},
      {u"note", TMemoField::StaticClass(), 3, true, false, false, 0, taLeftJustify},
      {u"pic", TGraphicField::StaticClass(), 2, true, false, false, 0, taLeftJustify},
      {u"data", TBlobField::StaticClass(), 0, true, false, false, 0, taLeftJustify},
      {u"amount", TFloatField::StaticClass(), 0, false, true, false, 0, taRightJustify},
      {u"price", TCurrencyField::StaticClass(), 0, false, true, true, 0, taRightJustify},
      {u"rate", TBCDField::StaticClass(), 0, false, true, false, 0, taRightJustify},
      {u"qty", TIntegerField::StaticClass(), 0, false, false, false, 0, taRightJustify},
      {u"big", TLargeintField::StaticClass(), 0, false, false, false, 0, taRightJustify},
      {u"created", TDateTimeField::StaticClass(), 0, false, false, false, 0, taLeftJustify},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Column));
    TField* field = Field(c.Column);
    ASSERT_EQ(field->ClassType(), c.FieldClass);
    auto& p = On(field);
    EXPECT_TRUE(p.IsFieldUsable());
    EXPECT_EQ(p.ProvideBlobKind(), c.BlobKind);
    EXPECT_EQ(p.ProvideIsBlob(), c.IsBlob);
    EXPECT_EQ(p.ProvideIsFloat(), c.IsFloat);
    EXPECT_EQ(p.ProvideIsCurrency(), c.IsCurrency);
    EXPECT_EQ(p.ProvideMaxLength(), c.MaxLength);
    EXPECT_EQ(p.ProvideAlignment(), c.Alignment);
    EXPECT_TRUE(p.ProvideCanModify());
    EXPECT_TRUE(p.ProvidesDataValues());
  }
  // The declared precision of a decimal column; the general format's 15 for
  // a real column; the base answer for the rest.
  EXPECT_EQ(On(Field(u"rate")).ProvidePrecision(), 10);
  EXPECT_EQ(On(Field(u"amount")).ProvidePrecision(), 15);
  EXPECT_EQ(On(Field(u"qty")).ProvidePrecision(), 15);
}

TEST_F(DBEditDefaults, WideMemoIsAMemo) {
  auto* id = new TIntegerField(Fx.Query);
  id->SetFieldName(u"id");
  id->SetDataSet(Fx.Query);
  auto* note = new TWideMemoField(Fx.Query);
  note->SetFieldName(u"note");
  note->SetDataSet(Fx.Query);
  OpenItems();
  EXPECT_EQ(On(note).ProvideBlobKind(), 3);
  EXPECT_TRUE(Provider.ProvideIsBlob());
  EXPECT_EQ(Provider.ProvideMaxLength(), 0);
}

// ---- Formats, masks and ranges from the field's settings ----

TEST_F(DBEditDefaults, FormatsMasksAndRangesFollowTheFieldSettings) {
  OpenItems();
  struct Case {
    const char* Name;
    const char16_t* Column;
    std::function<void(TField*)> Setup;
    String DisplayFormat, EditFormat, EditMask;
    double MinValue, MaxValue;
    bool HasDisplayFormat, HasCurrencyDisplayFormat, HasEmptyDisplayFormat;
  };
  const Case cases[] = {
      {"plain text", u"name", [](TField*) {}, u"", u"", u"", 0, 0, false, false, false},
      {"text with a mask", u"code", [](TField* f) { f->SetEditMask(u"LL-999;1;_"); }, u"", u"", u"LL-999;1;_", 0, 0,
       false, false, false},
      {"integer range", u"qty",
       [](TField* f) {
         auto* i = static_cast<TIntegerField*>(f);
         i->SetMinValue(-5);
         i->SetMaxValue(99);
       },
       u"", u"", u"", -5, 99, false, false, false},
      {"integer formats", u"qty",
       [](TField* f) {
         static_cast<TNumericField*>(f)->SetDisplayFormat(u"#,##0");
         static_cast<TNumericField*>(f)->SetEditFormat(u"0");
       },
       u"#,##0", u"0", u"", 0, 0, true, true, false},
      {"float range rounded to its precision", u"amount",
       [](TField* f) {
         auto* r = static_cast<TFloatField*>(f);
         r->SetPrecision(3);
         r->SetMinValue(-0.98765);
         r->SetMaxValue(1.23456);
       },
       u"", u"", u"", -0.988, 1.23, false, false, false},
      {"float range at full precision", u"amount",
       [](TField* f) {
         static_cast<TFloatField*>(f)->SetMinValue(-0.98765);
         static_cast<TFloatField*>(f)->SetMaxValue(1.23456);
       },
       u"", u"", u"", -0.98765, 1.23456, false, false, false},
      {"currency float", u"amount", [](TField* f) { static_cast<TFloatField*>(f)->SetCurrency(true); }, u"", u"",
       u"", 0, 0, false, true, false},
      {"currency float with a format", u"price",
       [](TField* f) { static_cast<TNumericField*>(f)->SetDisplayFormat(u"0.00"); }, u"0.00", u"", u"", 0, 0, true,
       true, false},
      {"decimal range", u"rate",
       [](TField* f) {
         auto* b = static_cast<TBCDField*>(f);
         b->SetMinValue(StrToCurr(u"-12.5"));
         b->SetMaxValue(StrToCurr(u"1234.5678"));
       },
       u"", u"", u"", -12.5, 1234.5678, false, false, false},
      {"currency decimal", u"rate", [](TField* f) { static_cast<TBCDField*>(f)->SetCurrency(true); }, u"", u"", u"",
       0, 0, false, true, false},
      {"large integer range is not offered", u"big",
       [](TField* f) { static_cast<TLargeintField*>(f)->SetMaxValue(1000); }, u"", u"", u"", 0, 0, false, false,
       false},
      // A date-time format counts as a display format but is not handed out.
      {"date-time format", u"created",
       [](TField* f) { static_cast<TDateTimeField*>(f)->SetDisplayFormat(u"yyyy-mm-dd"); }, u"", u"", u"", 0, 0, true,
       true, true},
      {"text shown by a handler", u"name",
       [](TField* f) { f->OnGetText = TFieldGetTextEvent(f, [](TField*, String& T, bool) { T = u"*"; }); }, u"", u"",
       u"", 0, 0, true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    OpenItems();  // fresh default fields for every case
    TField* field = Field(c.Column);
    c.Setup(field);
    auto& p = On(field);
    EXPECT_EQ(p.ProvideDisplayFormat(), c.DisplayFormat);
    EXPECT_EQ(p.ProvideEditFormat(), c.EditFormat);
    EXPECT_EQ(p.ProvideEditMask(), c.EditMask);
    EXPECT_NEAR(p.ProvideMinValue(), c.MinValue, 1e-12);
    EXPECT_NEAR(p.ProvideMaxValue(), c.MaxValue, 1e-12);
    EXPECT_EQ(p.HasDisplayFormat(false), c.HasDisplayFormat);
    EXPECT_EQ(p.HasDisplayFormat(true), c.HasCurrencyDisplayFormat);
    EXPECT_EQ(p.HasEmptyDisplayFormat(), c.HasEmptyDisplayFormat);
  }
}

TEST_F(DBEditDefaults, CharactersAreAcceptedByTheFieldUnlessAHandlerShowsIt) {
  OpenItems();
  auto& p = On(Field(u"qty"));
  EXPECT_TRUE(p.AcceptsChar(u'7'));
  EXPECT_TRUE(p.AcceptsChar(u'-'));
  EXPECT_FALSE(p.AcceptsChar(u'x'));
  EXPECT_TRUE(On(Field(u"name")).AcceptsChar(u'x'));
  Field(u"qty")->OnGetText = TFieldGetTextEvent(Fx.Owner, [](TField*, String& T, bool) { T = u"n/a"; });
  EXPECT_TRUE(On(Field(u"qty")).AcceptsChar(u'x'));
}

TEST_F(DBEditDefaults, AggregateAndFmtBcdFieldsGiveTheirSettings) {
  auto* id = new TIntegerField(Fx.Query);
  id->SetFieldName(u"id");
  id->SetDataSet(Fx.Query);
  auto* rate = new TFMTBCDField(Fx.Query);
  rate->SetFieldName(u"rate");
  rate->SetPrecision(12);
  rate->SetDataSet(Fx.Query);
  auto* total = new TAggregateField(Fx.Query);
  total->SetFieldName(u"total");
  total->SetPrecision(7);
  total->SetDataSet(Fx.Query);
  OpenItems();

  auto& p = On(rate);
  EXPECT_EQ(p.ProvidePrecision(), 12);
  EXPECT_FALSE(p.ProvideIsFloat());
  EXPECT_FALSE(p.ProvideIsCurrency());
  EXPECT_FALSE(p.HasDisplayFormat(true));
  rate->SetCurrency(true);
  EXPECT_TRUE(p.ProvideIsCurrency());
  EXPECT_TRUE(p.HasDisplayFormat(true));
  EXPECT_FALSE(p.HasDisplayFormat(false));

  On(total);
  EXPECT_EQ(p.ProvidePrecision(), 7);
  EXPECT_FALSE(p.HasDisplayFormat(true));
  total->SetCurrency(true);
  EXPECT_TRUE(p.ProvideIsCurrency());
  EXPECT_TRUE(p.HasDisplayFormat(true));
  EXPECT_FALSE(p.HasDisplayFormat(false));
  total->SetDisplayFormat(u"0.0");
  EXPECT_TRUE(p.HasDisplayFormat(false));
  // The aggregate's format is not a numeric field's: none is handed out.
  EXPECT_EQ(p.ProvideDisplayFormat(), u"");
  EXPECT_TRUE(p.HasEmptyDisplayFormat());
}

// ---- Read-only state ----

TEST_F(DBEditDefaults, ReadOnlyAndCanModifyFollowFieldAndDataSet) {
  struct Case {
    const char* Name;
    std::function<void(TADOQuery*)> BeforeOpen;
    const char16_t* SQL;
    std::function<void(TField*)> Setup;
    bool ReadOnly, Required, CanModify;
  };
  const Case cases[] = {
      {"plain field", [](TADOQuery*) {}, u"select * from item", [](TField*) {}, false, false, true},
      {"read-only field", [](TADOQuery*) {}, u"select * from item", [](TField* f) { f->SetReadOnly(true); }, true,
       false, false},
      {"required field", [](TADOQuery*) {}, u"select * from item", [](TField* f) { f->SetRequired(true); }, false,
       true, true},
      {"read-only lock", [](TADOQuery* q) { q->SetLockType(ltReadOnly); }, u"select * from item", [](TField*) {},
       false, false, false},
      {"result that cannot be written back", [](TADOQuery*) {},
       u"select item.name, kind.title from item join kind on kind.code = item.code", [](TField*) {}, false, false,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fx.Query->Close();
    Fx.Query->SetLockType(ltUnspecified);
    c.BeforeOpen(Fx.Query);
    Fx.Open(c.SQL);
    TField* field = Field(u"name");
    c.Setup(field);
    auto& p = On(field);
    EXPECT_EQ(p.ProvideReadOnly(), c.ReadOnly);
    EXPECT_EQ(p.ProvideRequired(), c.Required);
    EXPECT_EQ(p.ProvideCanModify(), c.CanModify);
  }
}

// A query with persistent fields: a code, a lookup of its kind's title and a
// calculated field.
class DBEditLookupDefaults : public DBEditDefaults {
protected:
  void SetUp() override {
    Kinds = new TADOQuery(Fx.Owner);
    Kinds->SetConnection(Fx.Connection);
    Kinds->SQL()->SetText(u"select * from kind");
    Kinds->Open();
    Code = Add(new TWideStringField(Fx.Query), u"code", fkData);
    Title = Add(new TWideStringField(Fx.Query), u"title", fkLookup);
    Title->SetKeyFields(u"code");
    Title->SetLookupDataSet(Kinds);
    Title->SetLookupKeyFields(u"code");
    Title->SetLookupResultField(u"title");
    Label = Add(new TWideStringField(Fx.Query), u"label", fkCalculated);
  }
  TField* Add(TField* F, const char16_t* Name, TFieldKind Kind) {
    F->SetFieldName(Name);
    F->SetFieldKind(Kind);
    F->SetDataSet(Fx.Query);
    return F;
  }
  TADOQuery* Kinds = nullptr;
  TField* Code = nullptr;
  TField* Title = nullptr;
  TField* Label = nullptr;
};

TEST_F(DBEditLookupDefaults, LookupFieldIsModifiableThroughItsKeyFields) {
  OpenItems();
  ASSERT_EQ(Title->AsString(), u"Kind A");
  auto& p = On(Title);
  EXPECT_TRUE(p.ProvideCanModify());
  // A read-only key field, a key naming no field and a read-only lookup
  // field each stop the change.
  Code->SetReadOnly(true);
  EXPECT_FALSE(p.ProvideCanModify());
  Code->SetReadOnly(false);
  Title->SetReadOnly(true);
  EXPECT_FALSE(p.ProvideCanModify());
  Title->SetReadOnly(false);
  Fx.Query->Close();
  Title->SetKeyFields(u"missing");
  OpenItems();
  EXPECT_FALSE(p.ProvideCanModify());
  // A calculated field is never modifiable.
  EXPECT_FALSE(On(Label).ProvideCanModify());
}

// ---- Without a usable field ----

TEST_F(DBEditLookupDefaults, WithoutAUsableFieldTheBaseAnswersHold) {
  auto* amount = Add(new TFloatField(Fx.Query), u"amount", fkData);
  static_cast<TFloatField*>(amount)->SetPrecision(6);
  static_cast<TFloatField*>(amount)->SetMaxValue(10);
  amount->SetReadOnly(true);
  amount->SetAlignment(taCenter);
  auto* loose = new TWideMemoField(Fx.Owner);  // belongs to no dataset
  loose->SetFieldName(u"loose");

  const TAnswers expected = UnusableAnswers();
  EXPECT_EQ(AnswersOf(Provider), expected) << "no field";
  EXPECT_FALSE(Provider.IsFieldUsable());
  EXPECT_EQ(AnswersOf(On(loose)), expected) << "field of no dataset";

  // The dataset is closed: only the precision is read from the field.
  TAnswers closed = expected;
  closed.Precision = 6;
  EXPECT_EQ(AnswersOf(On(amount)), closed) << "closed dataset";
  OpenItems();
  EXPECT_TRUE(Provider.IsFieldUsable());
  EXPECT_EQ(Provider.ProvideMaxValue(), 10);
  EXPECT_EQ(Provider.ProvideAlignment(), taCenter);
  Fx.Query->Close();
  EXPECT_EQ(AnswersOf(Provider), closed) << "closed again";
}

// ---- Following the field's life ----

TEST_F(DBEditDefaults, FreedFieldIsForgotten) {
  auto* id = new TIntegerField(Fx.Query);
  id->SetFieldName(u"id");
  id->SetDataSet(Fx.Query);
  auto* name = new TWideStringField(Fx.Query);
  name->SetFieldName(u"name");
  name->SetSize(50);
  name->SetDataSet(Fx.Query);
  OpenItems();
  auto& p = On(name);
  EXPECT_EQ(p.ProvideMaxLength(), 50);
  Fx.Query->Close();
  delete name;
  EXPECT_EQ(p.Field(), nullptr);
  OpenItems();
  EXPECT_EQ(AnswersOf(p), UnusableAnswers());
}

TEST_F(DBEditDefaults, DefaultFieldsFreedByClosingOrChangingTheQueryAreForgotten) {
  OpenItems();
  auto& p = On(Field(u"name"));
  EXPECT_EQ(p.ProvideMaxLength(), 50);
  Fx.Query->Close();  // default fields go with the closing
  EXPECT_EQ(p.Field(), nullptr);

  // The query now reads other columns: the provider is given a new field.
  Fx.Open(u"select code from item");
  On(Field(u"code"));
  EXPECT_EQ(p.ProvideMaxLength(), 20);
  Fx.Query->SQL()->SetText(u"select name from item");  // closes the query
  EXPECT_EQ(p.Field(), nullptr);
  Fx.Query->Open();
  EXPECT_EQ(AnswersOf(p), UnusableAnswers());
}

TEST_F(DBEditDefaults, FreedDataSetLeavesAPersistentFieldUnusable) {
  auto* ownerOfFields = new TComponent(Fx.Owner);
  auto* name = new TWideStringField(ownerOfFields);
  name->SetFieldName(u"name");
  name->SetDataSet(Fx.Query);
  OpenItems();
  auto& p = On(name);
  EXPECT_TRUE(p.IsFieldUsable());
  delete Fx.Query;
  Fx.Query = nullptr;
  EXPECT_EQ(p.Field(), name);
  EXPECT_FALSE(p.IsFieldUsable());
  EXPECT_EQ(AnswersOf(p), UnusableAnswers());
  delete ownerOfFields;
  EXPECT_EQ(p.Field(), nullptr);
}

TEST_F(DBEditDefaults, SwitchingFieldsWatchesOnlyTheCurrentOne) {
  OpenItems();
  auto* spare = new TWideStringField(Fx.Owner);
  auto& p = On(spare);
  On(Field(u"name"));
  On(Field(u"name"));  // the same field again changes nothing
  delete spare;        // no longer watched
  EXPECT_EQ(p.Field(), Field(u"name"));
  Fx.Query->Close();
  EXPECT_EQ(p.Field(), nullptr);
}

TEST_F(DBEditDefaults, ProviderFreedBeforeItsFieldLeavesNothingBehind) {
  OpenItems();
  TcxCustomEditProperties properties(nullptr);
  {
    TcxCustomDBEditDefaultValuesProvider provider(nullptr);
    provider.SetField(Field(u"name"));
    properties.SetDefaultValuesProvider(&provider);
    EXPECT_EQ(properties.DefaultValuesProvider(), &provider);
  }
  EXPECT_EQ(properties.DefaultValuesProvider(), nullptr);
  Fx.Query->Close();  // frees the field the provider watched
  EXPECT_FALSE(properties.ReadOnly());
}

// ---- A property set reading through the provider ----

TEST_F(DBEditDefaults, PropertySetTakesTheFieldSettingsUnlessItsOwnAreAssigned) {
  OpenItems();
  TField* qty = Field(u"qty");
  TcxCustomEditProperties properties(nullptr);
  properties.SetDefaultValuesProvider(&On(qty));

  EXPECT_EQ(properties.Alignment()->Horz(), taRightJustify);
  EXPECT_FALSE(properties.ReadOnly());
  EXPECT_TRUE(properties.IsEditable());
  // Changes of the field are seen at the next question.
  qty->SetReadOnly(true);
  EXPECT_TRUE(properties.ReadOnly());
  EXPECT_FALSE(properties.IsEditable());
  qty->SetReadOnly(false);
  qty->SetAlignment(taCenter);
  EXPECT_EQ(properties.Alignment()->Horz(), taCenter);
  Fx.Query->SetLockType(ltReadOnly);
  Fx.Query->Close();  // the default field goes; the property set keeps working
  Fx.Query->Open();
  EXPECT_EQ(Provider.Field(), nullptr);
  EXPECT_EQ(properties.Alignment()->Horz(), taLeftJustify);
  EXPECT_FALSE(properties.IsEditable());

  // Own settings win over the field's.
  properties.SetDefaultValuesProvider(&On(Field(u"qty")));
  EXPECT_FALSE(properties.IsEditable());  // the query is read-only
  properties.Alignment()->SetHorz(taLeftJustify);
  EXPECT_EQ(properties.Alignment()->Horz(), taLeftJustify);
  Field(u"qty")->SetReadOnly(true);
  properties.SetReadOnly(false);
  EXPECT_FALSE(properties.ReadOnly());
}

}  // namespace
