#include "data/cxFilter.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "data/cxVariants.h"
#include "platform/db/filterexpr.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"

namespace {

// A column of the test table: the item link of its conditions.
class Column : public TObject {
public:
  Column(Integer AIndex, const String& AName, const String& ACaption) : Index(AIndex), Name(AName), Caption(ACaption) {}
  Integer Index;
  String Name, Caption;
};

class TableCriteria;

class TableItem : public TcxFilterCriteriaItem {
  KORVANE_CLASS(TableItem, TcxFilterCriteriaItem)
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;
  Variant GetDataValue(Integer ARecordIndex) override;
  String GetFieldName() override { return ItemLink() ? static_cast<Column*>(ItemLink())->Name : String(); }
  String GetFieldCaption() override { return ItemLink() ? static_cast<Column*>(ItemLink())->Caption : String(); }
};

class TableCriteria : public TcxFilterCriteria {
  KORVANE_CLASS(TableCriteria, TcxFilterCriteria)

  std::vector<std::unique_ptr<Column>> Columns;
  std::vector<std::vector<Variant>> Rows;
  Integer Notices = 0;

  TableCriteria() { OnChanged = TNotifyEvent(this, [this](TObject*) { ++Notices; }); }
  Column* Add(const String& AName, const String& ACaption) {
    Columns.push_back(std::make_unique<Column>(Integer(Columns.size()), AName, ACaption));
    return Columns.back().get();
  }
  TcxFilterCriteriaItemClass ItemClass() override { return TableItem::StaticClass(); }
  Integer IdOfItemLink(TObject* ALink) override { return ALink ? static_cast<Column*>(ALink)->Index : -1; }
  TObject* ItemLinkOfId(Integer AId) override {
    return AId >= 0 && AId < Integer(Columns.size()) ? Columns[size_t(AId)].get() : nullptr;
  }
  // The rows that pass, as "0,2".
  String Passing() {
    String Result;
    for (Integer R = 0; R < Integer(Rows.size()); ++R)
      if (Evaluate(R)) Result += (Result.empty() ? u"" : u",") + String(1, Char(u'0' + R));
    return Result;
  }
};

Variant TableItem::GetDataValue(Integer ARecordIndex) {
  auto* Owner = static_cast<TableCriteria*>(Criteria());
  return Owner->Rows[size_t(ARecordIndex)][size_t(static_cast<Column*>(ItemLink())->Index)];
}

class FilterTest : public ::testing::Test {
public:
  TableCriteria Criteria;
  Column *Name, *Age, *Born, *Note, *Price, *Key, *Odd;
  TFormatSettings SavedSettings = FormatSettings();

  void SetUp() override {
    // Tuesday 10 December 2024, weeks starting on Monday.
    SetClockForTesting([] { return EncodeDate(2024, 12, 10) + 0.5; });
    FormatSettings().FirstDayOfWeek = 1;
    Name = Criteria.Add(u"Name", u"Full name");
    Age = Criteria.Add(u"Age", u"Age");
    Born = Criteria.Add(u"Born", u"Birth date");
    Note = Criteria.Add(u"Note", u"Note");
    Price = Criteria.Add(u"Unit Price", u"Price");
    Key = Criteria.Add(u"Id;Code", u"Key");
    Odd = Criteria.Add(u"a]b", u"Odd");
    Criteria.Rows = {
        {Variant(u"Alice"), Variant(30), VarFromDateTime(EncodeDate(2024, 12, 10) + 0.25), Null(),
         Variant(Currency::FromRaw(95000)), Null(), Null()},
        {Variant(u"bob"), Variant(17), VarFromDateTime(EncodeDate(2024, 12, 9)), Variant(u""), Variant(Currency(100)),
         Null(), Null()},
        {Variant(u"O'Brien"), Variant(45), VarFromDateTime(EncodeDate(2025, 1, 20)), Variant(u"x"),
         Variant(Currency(3)), Null(), Null()},
        {Variant(u"地质调查"), Null(), VarFromDateTime(EncodeDate(2023, 5, 1)), Variant(u"note"), Null(), Null(),
         Null()},
    };
  }
  void TearDown() override {
    ResetClockForTesting();
    FormatSettings() = SavedSettings;
  }
  TcxFilterCriteriaItem* Add(Column* AColumn, TcxFilterOperatorKind AKind, const Variant& AValue,
                             const String& ADisplay = String()) {
    return Criteria.AddItem(nullptr, AColumn, AKind, AValue, ADisplay);
  }
};

TEST_F(FilterTest, EvaluatesEveryOperatorKind) {
  struct Case {
    Column* FilterTest::*Field;
    TcxFilterOperatorKind Kind;
    Variant Value;
    const char16_t* Expected;
  };
  const Case Cases[] = {
      {&FilterTest::Age, foEqual, 30, u"0"},
      {&FilterTest::Age, foNotEqual, 30, u"1,2,3"},
      {&FilterTest::Age, foLess, 30, u"1,3"},
      {&FilterTest::Age, foLessEqual, 30, u"0,1,3"},
      {&FilterTest::Age, foGreater, 30, u"2"},
      {&FilterTest::Age, foGreaterEqual, 30, u"0,2"},
      {&FilterTest::Name, foLike, u"A%", u"0"},
      {&FilterTest::Name, foLike, u"%b%", u"1"},
      {&FilterTest::Name, foLike, u"_____", u"0"},
      {&FilterTest::Name, foLike, u"地_调%", u"3"},
      {&FilterTest::Name, foNotLike, u"A%", u"1,2,3"},
      {&FilterTest::Age, foBetween, MakeVariantPair(17, 30), u"0,1"},
      {&FilterTest::Age, foNotBetween, MakeVariantPair(17, 30), u"2,3"},
      {&FilterTest::Age, foInList, VarArrayOf({17, 45}), u"1,2"},
      {&FilterTest::Age, foNotInList, VarArrayOf({17, 45}), u"0,3"},
      {&FilterTest::Born, foYesterday, Null(), u"1"},
      {&FilterTest::Born, foToday, Null(), u"0"},
      {&FilterTest::Born, foTomorrow, Null(), u""},
      {&FilterTest::Born, foLastWeek, Null(), u""},
      {&FilterTest::Born, foLastMonth, Null(), u""},
      {&FilterTest::Born, foLastYear, Null(), u"3"},
      {&FilterTest::Born, foThisWeek, Null(), u"0,1"},
      {&FilterTest::Born, foThisMonth, Null(), u"0,1"},
      {&FilterTest::Born, foThisYear, Null(), u"0,1"},
      {&FilterTest::Born, foNextWeek, Null(), u""},
      {&FilterTest::Born, foNextMonth, Null(), u"2"},
      {&FilterTest::Born, foNextYear, Null(), u"2"},
      {&FilterTest::Note, foEqual, Null(), u"0"},
      {&FilterTest::Note, foNotEqual, Null(), u"1,2,3"},
      {&FilterTest::Note, foLike, Null(), u"0"},
      {&FilterTest::Price, foEqual, 9.5, u"0"},
      {&FilterTest::Price, foGreater, Variant(Currency(50)), u"1"},
  };
  for (const Case& C : Cases) {
    Criteria.Clear();
    Add(this->*C.Field, C.Kind, C.Value);
    EXPECT_EQ(Criteria.Passing(), C.Expected) << "case " << (&C - Cases);
  }
  Criteria.Clear();
  EXPECT_EQ(Criteria.Passing(), u"0,1,2,3");
}

TEST_F(FilterTest, NullAndCaseOptions) {
  Add(Note, foEqual, Null());
  EXPECT_EQ(Criteria.Passing(), u"0");
  Criteria.SetOptions({fcoSoftNull});
  Criteria.Clear();
  Add(Note, foEqual, Variant(u""));  // an empty text is blank, too
  EXPECT_TRUE(Criteria.Root()->Items(0)->InheritsFrom(TcxFilterCriteriaItem::StaticClass()));
  EXPECT_TRUE(static_cast<TcxFilterCriteriaItem*>(Criteria.Root()->Items(0))
                  ->Operator()
                  ->InheritsFrom(TcxFilterNullOperator::StaticClass()));
  EXPECT_EQ(Criteria.Passing(), u"0,1");

  struct Case {
    TcxFilterOperatorKind Kind;
    Variant Value;
    const char16_t *Sensitive, *Insensitive;
  };
  const Case Cases[] = {
      {foEqual, u"ALICE", u"", u"0"},
      {foLike, u"a%", u"", u"0"},
      {foInList, VarArrayOf({u"ALICE", u"BOB"}), u"", u"0,1"},
      {foBetween, MakeVariantPair(u"a", u"b"), u"", u"0"},
      {foNotInList, VarArrayOf({u"alice"}), u"0,1,2,3", u"1,2,3"},
  };
  for (const Case& C : Cases) {
    Criteria.SetOptions({});
    Criteria.Clear();
    Add(Name, C.Kind, C.Value);
    EXPECT_EQ(Criteria.Passing(), C.Sensitive) << "case " << (&C - Cases);
    Criteria.SetOptions({fcoCaseInsensitive});
    EXPECT_EQ(Criteria.Passing(), C.Insensitive) << "case " << (&C - Cases);
  }
}

TEST_F(FilterTest, GroupsAndNegation) {
  struct Case {
    TcxFilterBoolOperatorKind Kind;
    const char16_t* Expected;
  };
  // Age > 20 passes 0,2; Name LIKE '%b%' passes 1.
  const Case Cases[] = {{fboAnd, u""}, {fboOr, u"0,1,2"}, {fboNotAnd, u"0,1,2,3"}, {fboNotOr, u"3"}};
  for (const Case& C : Cases) {
    Criteria.Clear();
    Criteria.Root()->SetBoolOperatorKind(C.Kind);
    Add(Age, foGreater, 20);
    Add(Name, foLike, u"%b%");
    EXPECT_EQ(Criteria.Passing(), C.Expected) << "case " << (&C - Cases);
  }
  Criteria.Clear();
  TcxFilterCriteriaItemList* Group = Criteria.Root()->AddItemList(fboNotOr);
  EXPECT_EQ(Criteria.Passing(), u"0,1,2,3");  // an empty group lets everything pass
  Criteria.AddItem(Group, Age, foEqual, 30, u"30");
  EXPECT_EQ(Criteria.Passing(), u"1,2,3");
}

// The pattern is prepared once and kept between records: a change of the
// pattern or of the wildcards must still be seen by the next evaluation.
TEST_F(FilterTest, LikeFollowsChangesOfPatternAndWildcards) {
  TcxFilterCriteriaItem* Item = Add(Name, foLike, u"%b%");
  EXPECT_EQ(Criteria.Passing(), u"1");
  Item->SetValue(u"A%");
  EXPECT_EQ(Criteria.Passing(), u"0");
  Item->SetValue(u"%i%");
  EXPECT_EQ(Criteria.Passing(), u"0,2");
  Criteria.SetPercentWildcard(u'*');
  EXPECT_EQ(Criteria.Passing(), u"");
  Item->SetValue(u"*i*");
  EXPECT_EQ(Criteria.Passing(), u"0,2");
  Item->SetOperatorKind(foNotLike);
  EXPECT_EQ(Criteria.Passing(), u"1,3");
}

TEST_F(FilterTest, FilterTextAndCaptionOfEveryOperatorKind) {
  struct Case {
    Column* FilterTest::*Field;
    TcxFilterOperatorKind Kind;
    Variant Value;
    const char16_t* Display;
    const char16_t* Text;
    const char16_t* Caption;
  };
  const Case Cases[] = {
      {&FilterTest::Name, foEqual, u"Alice", u"Alice", u"(Name = 'Alice')", u"(Full name = Alice)"},
      {&FilterTest::Name, foEqual, u"O'Brien", u"O'Brien", u"(Name = 'O''Brien')", u"(Full name = O'Brien)"},
      {&FilterTest::Name, foEqual, u"x') OR (1=1", u"", u"(Name = 'x'') OR (1=1')", u"(Full name =)"},
      {&FilterTest::Age, foNotEqual, 30, u"30", u"(NOT (Age = 30))", u"(Age <> 30)"},
      {&FilterTest::Age, foLess, 30, u"30", u"((Age < 30) OR (Age IS NULL))", u"(Age < 30)"},
      {&FilterTest::Age, foLessEqual, 30, u"30", u"((Age <= 30) OR (Age IS NULL))", u"(Age <= 30)"},
      {&FilterTest::Age, foGreater, 30, u"30", u"(Age > 30)", u"(Age > 30)"},
      {&FilterTest::Age, foGreaterEqual, 30, u"30", u"(Age >= 30)", u"(Age >= 30)"},
      {&FilterTest::Name, foLike, u"A%", u"A%", u"(Name LIKE 'A%')", u"(Full name LIKE A%)"},
      {&FilterTest::Name, foNotLike, u"A%", u"A%", u"(NOT (Name LIKE 'A%'))", u"(Full name NOT LIKE A%)"},
      {&FilterTest::Age, foBetween, MakeVariantPair(17, 30), u"17;30", u"(Age BETWEEN 17 AND 30)",
       u"(Age between 17 and 30)"},
      {&FilterTest::Age, foNotBetween, MakeVariantPair(17, 30), u"17; 30", u"(NOT (Age BETWEEN 17 AND 30))",
       u"(Age not between 17 and 30)"},
      {&FilterTest::Age, foInList, VarArrayOf({17, 45}), u"17;45", u"(Age IN (17, 45))", u"(Age in (17, 45))"},
      {&FilterTest::Age, foNotInList, VarArrayOf({u"a'b", 45}), u"a'b;45", u"(NOT (Age IN ('a''b', 45)))",
       u"(Age not in (a'b, 45))"},
      {&FilterTest::Born, foToday, Null(), u"", u"((Born >= '2024-12-10') AND (Born < '2024-12-11'))",
       u"(Birth date is today)"},
      {&FilterTest::Born, foNextMonth, Null(), u"", u"((Born >= '2025-01-01') AND (Born < '2025-02-01'))",
       u"(Birth date is next month)"},
      {&FilterTest::Born, foLastWeek, Null(), u"", u"((Born >= '2024-12-02') AND (Born < '2024-12-09'))",
       u"(Birth date is last week)"},
      {&FilterTest::Born, foEqual, VarFromDateTime(EncodeDate(2024, 1, 2)), u"2024-01-02", u"(Born = '2024-01-02')",
       u"(Birth date = 2024-01-02)"},
      {&FilterTest::Note, foEqual, Null(), u"", u"(Note = NULL)", u"(Note = blank)"},
      {&FilterTest::Note, foNotEqual, Null(), u"", u"(Note <> NULL)", u"(Note <> blank)"},
      {&FilterTest::Price, foGreater, 5, u"5", u"([Unit Price] > 5)", u"(Price > 5)"},
      {&FilterTest::Odd, foEqual, true, u"yes", u"([a]]b] = True)", u"(Odd = yes)"},
      {&FilterTest::Key, foEqual, MakeVariantPair(1, u"a"), u"1;a", u"((Id = 1) AND (Code = 'a'))",
       u"(Key = 1;a)"},
      {&FilterTest::Key, foNotEqual, MakeVariantPair(1, u"a"), u"1;a", u"(NOT ((Id = 1) AND (Code = 'a')))",
       u"(Key <> 1;a)"},
  };
  Criteria.SetDateTimeFormat(u"yyyy-mm-dd");
  for (const Case& C : Cases) {
    Criteria.Clear();
    Add(this->*C.Field, C.Kind, C.Value, C.Display);
    EXPECT_EQ(StringToUTF8(Criteria.FilterText()), StringToUTF8(C.Text)) << "case " << (&C - Cases);
    EXPECT_EQ(StringToUTF8(Criteria.FilterCaption()), StringToUTF8(C.Caption)) << "case " << (&C - Cases);
  }
}

TEST_F(FilterTest, NumbersInFilterTextsIgnoreTheLocale) {
  FormatSettings().DecimalSeparator = u',';
  Add(Price, foInList, VarArrayOf({2.5, Variant(Currency::FromRaw(15000)), VarFMTBcdCreate(u"0,125", 4, 3), -3}));
  EXPECT_EQ(Criteria.FilterText(), u"([Unit Price] IN (2.5, 1.5, 0.125, -3))");
}

TEST_F(FilterTest, TranslatedRangesAndLists) {
  Criteria.SetTranslateBetween(true);
  Criteria.SetTranslateIn(true);
  struct Case {
    TcxFilterOperatorKind Kind;
    Variant Value;
    const char16_t* Text;
  };
  const Case Cases[] = {
      {foBetween, MakeVariantPair(17, 30), u"((Age >= 17) AND (Age <= 30))"},
      {foNotBetween, MakeVariantPair(17, 30), u"(NOT ((Age >= 17) AND (Age <= 30)))"},
      {foInList, VarArrayOf({17, 45, 50}), u"((Age = 17) OR (Age = 45) OR (Age = 50))"},
      {foNotInList, VarArrayOf({17}), u"(NOT ((Age = 17)))"},
  };
  for (const Case& C : Cases) {
    Criteria.Clear();
    Add(Age, C.Kind, C.Value);
    EXPECT_EQ(StringToUTF8(Criteria.FilterText()), StringToUTF8(C.Text)) << "case " << (&C - Cases);
  }
}

TEST_F(FilterTest, OperatorDescriptions) {
  Criteria.SetOptions({fcoShowOperatorDescription});
  struct Case {
    Column* FilterTest::*Field;
    TcxFilterOperatorKind Kind;
    Variant Value;
    const char16_t* Display;
    const char16_t* Caption;
  };
  const Case Cases[] = {
      {&FilterTest::Name, foLike, u"A%", u"A%", u"(Full name begins with A)"},
      {&FilterTest::Name, foLike, u"%z", u"%z", u"(Full name ends with z)"},
      {&FilterTest::Name, foLike, u"%%b%%", u"%b%", u"(Full name contains b)"},
      {&FilterTest::Name, foLike, u"%", u"%", u"(Full name like %)"},
      {&FilterTest::Name, foLike, u"a_c", u"a_c", u"(Full name like a_c)"},
      {&FilterTest::Name, foNotLike, u"A%", u"A%", u"(Full name does not begin with A)"},
      {&FilterTest::Name, foNotLike, u"%z", u"%z", u"(Full name does not end with z)"},
      {&FilterTest::Name, foNotLike, u"%b%", u"%b%", u"(Full name does not contain b)"},
      {&FilterTest::Name, foNotLike, u"b", u"b", u"(Full name not like b)"},
      {&FilterTest::Name, foEqual, u"x", u"x", u"(Full name equals x)"},
      {&FilterTest::Age, foLessEqual, 3, u"3", u"(Age is less than or equal to 3)"},
      {&FilterTest::Note, foEqual, Null(), u"", u"(Note is blank)"},
      {&FilterTest::Note, foNotLike, Null(), u"", u"(Note is not blank)"},
      {&FilterTest::Born, foThisWeek, Null(), u"", u"(Birth date is this week)"},
  };
  for (const Case& C : Cases) {
    Criteria.Clear();
    Add(this->*C.Field, C.Kind, C.Value, C.Display);
    EXPECT_EQ(StringToUTF8(Criteria.FilterCaption()), StringToUTF8(C.Caption)) << "case " << (&C - Cases);
  }
}

TEST_F(FilterTest, FieldNamesAreEscaped) {
  struct Case {
    const char16_t *Name, *Text;
  };
  const Case Cases[] = {
      {u"Name", u"Name"},        {u"名称", u"名称"},         {u"t.field", u"t.field"},
      {u"[Quoted]", u"[Quoted]"}, {u"my field", u"[my field]"}, {u"a]b", u"[a]]b]"},
      {u"and", u"[and]"},        {u"Null", u"[Null]"},       {u"1st", u"[1st]"},
      {u"x'y", u"[x'y]"},        {u"[a]b]", u"[[a]]b]]]"},   {u"", u""},
  };
  for (const Case& C : Cases) EXPECT_EQ(cxFilterFieldNameText(C.Name), C.Text) << "case " << (&C - Cases);
}

TEST_F(FilterTest, GroupTexts) {
  Criteria.Root()->SetBoolOperatorKind(fboNotAnd);
  EXPECT_EQ(Criteria.FilterText(), u"");  // an empty negated group is left out
  EXPECT_EQ(Criteria.FilterCaption(), u"");
  EXPECT_TRUE(Criteria.HasCriteria());
  EXPECT_TRUE(Criteria.IsEmpty());

  Add(Age, foGreater, 17, u"17");
  Add(Name, foEqual, u"a", u"a");
  EXPECT_EQ(Criteria.FilterText(), u"NOT ((Age > 17) AND (Name = 'a'))");
  EXPECT_EQ(Criteria.FilterCaption(), u"not ((Age > 17) and (Full name = a))");

  Criteria.Clear();
  EXPECT_FALSE(Criteria.HasCriteria());
  Add(Age, foGreater, 17, u"17");
  TcxFilterCriteriaItemList* Or = Criteria.Root()->AddItemList(fboOr);
  Criteria.AddItem(Or, Name, foEqual, u"a", u"a");
  Criteria.AddItem(Or, Name, foEqual, u"b", u"b");
  Criteria.Root()->AddItemList(fboAnd);
  TcxFilterCriteriaItemList* EmptyNot = Criteria.Root()->AddItemList(fboNotOr);
  EmptyNot->AddItemList(fboAnd);
  // Empty groups hold for every record: the negated one makes the whole
  // filter false, in memory and in the text.
  EXPECT_EQ(Criteria.FilterText(), u"(Age > 17) AND ((Name = 'a') OR (Name = 'b')) AND () AND (NOT (()))");
  EXPECT_EQ(Criteria.FilterCaption(), u"(Age > 17) and ((Full name = a) or (Full name = b))");
  EXPECT_EQ(Criteria.Passing(), u"");
}

TEST_F(FilterTest, RemovingItemsKeepsNegation) {
  Add(Age, foGreater, 17);
  TcxFilterCriteriaItemList* Not = Criteria.Root()->AddItemList(fboNotAnd);
  Criteria.AddItem(Not, Name, foEqual, u"O'Brien", u"");
  Criteria.AddItem(Not, Age, foLess, 40, u"");
  EXPECT_EQ(Criteria.Passing(), u"0,2");
  Criteria.RemoveItemByItemLink(Name);
  EXPECT_EQ(Criteria.FilterText(), u"(Age > 17) AND (NOT (((Age < 40) OR (Age IS NULL))))");
  EXPECT_EQ(Criteria.Passing(), u"2");

  Criteria.Clear();
  Add(Name, foEqual, u"x");
  TcxFilterCriteriaItemList* Or = Criteria.Root()->AddItemList(fboOr);
  Criteria.AddItem(Or, Age, foEqual, 17, u"");
  Criteria.AddItem(Or, Name, foEqual, u"y", u"");
  TcxFilterCriteriaItemList* Lonely = Criteria.Root()->AddItemList(fboAnd);
  Criteria.AddItem(Lonely, Name, foEqual, u"z", u"");
  const Integer Before = Criteria.Notices;
  Criteria.RemoveItemByItemLink(Name);
  EXPECT_EQ(Criteria.Notices, Before + 1);  // one notice for the whole removal
  EXPECT_EQ(Criteria.FilterText(), u"(Age = 17)");
  EXPECT_EQ(Criteria.Root()->Count(), 1);
  EXPECT_EQ(Criteria.FindItemByItemLink(Name), nullptr);
  Criteria.RemoveItemByItemLink(Name);
  EXPECT_EQ(Criteria.Notices, Before + 1);  // nothing removed, nothing reported
}

TEST_F(FilterTest, ChangesAreReportedOncePerLock) {
  Criteria.Notices = 0;
  Criteria.BeginUpdate();
  Add(Age, foGreater, 1);
  Criteria.SetPercentWildcard(u'*');
  Criteria.Root()->SetBoolOperatorKind(fboOr);
  EXPECT_EQ(Criteria.Notices, 0);
  Criteria.EndUpdate();
  EXPECT_EQ(Criteria.Notices, 1);
  Criteria.SetPercentWildcard(u'*');
  Criteria.SetOptions({});
  EXPECT_EQ(Criteria.Notices, 1);
  Criteria.BeginUpdate();
  Criteria.SetMaxValueListCount(3);
  Criteria.CancelUpdate();
  EXPECT_EQ(Criteria.Notices, 1);
  Criteria.RestoreDefaults();
  EXPECT_EQ(Criteria.Notices, 2);
  EXPECT_EQ(Criteria.PercentWildcard(), u'%');
  EXPECT_EQ(Criteria.MaxValueListCount(), 3);
}

TEST_F(FilterTest, ListenersSeeWholeConditions) {
  // A listener that reads the filter on every notice.
  std::vector<String> Seen;
  Criteria.OnChanged = TNotifyEvent(&Seen, [&](TObject*) {
    Seen.push_back(Criteria.FilterText());
    Criteria.Passing();
  });
  Add(Age, foGreater, 17);
  TcxFilterCriteriaItemList* Group = Criteria.Root()->AddItemList(fboOr);
  Criteria.AddItem(Group, Note, foEqual, Null(), u"");
  delete Group;
  const std::vector<String> Expected = {u"(Age > 17)", u"(Age > 17) AND ()", u"(Age > 17) AND ((Note = NULL))",
                                        u"(Age > 17)"};
  EXPECT_EQ(Seen, Expected);
}

TEST_F(FilterTest, SoftCompare) {
  // A LIKE on a value that cannot be shown as text raises a variant error.
  Criteria.Rows[0][size_t(Note->Index)] = VarArrayCreate({0, 1, 0, 1}, varVariant);
  Add(Note, foLike, u"x%");
  EXPECT_THROW(Criteria.Evaluate(0), EVariantError);
  Criteria.SetOptions({fcoSoftCompare});
  EXPECT_FALSE(Criteria.Evaluate(0));
  EXPECT_FALSE(Criteria.Evaluate(1));
}

TEST_F(FilterTest, StreamRoundTrip) {
  Criteria.Root()->SetBoolOperatorKind(fboNotOr);
  Add(Name, foLike, u"地%", u"地%");
  TcxFilterCriteriaItemList* Group = Criteria.Root()->AddItemList(fboAnd);
  Criteria.AddItem(Group, Age, foBetween, MakeVariantPair(17, 30), u"17;30");
  Criteria.AddItem(Group, Note, foEqual, Null(), u"");
  Criteria.AddItem(Group, Price, foInList, VarArrayOf({Variant(Currency(3)), 2.5, Variant(Word(7))}), u"");
  Criteria.Root()->AddItemList(fboNotAnd);
  const String Text = Criteria.FilterText(), Caption = Criteria.FilterCaption();

  TMemoryStream Stream;
  Criteria.WriteData(&Stream);
  TableCriteria Copy;
  for (const auto& C : Criteria.Columns) Copy.Add(C->Name, C->Caption);
  Stream.SetPosition(0);
  Copy.ReadData(&Stream);
  EXPECT_EQ(Stream.Position(), Stream.Size());
  EXPECT_EQ(Copy.FilterText(), Text);
  EXPECT_EQ(Copy.FilterCaption(), Caption);
  EXPECT_EQ(Copy.Root()->BoolOperatorKind(), fboNotOr);
  EXPECT_EQ(Copy.Root()->Count(), 3);
  EXPECT_EQ(Copy.FindItemByItemLink(Copy.Columns[size_t(Price->Index)].get())->Value()[2].Type(), varWord);

  // Assign goes through the same form.
  TableCriteria Assigned;
  for (const auto& C : Criteria.Columns) Assigned.Add(C->Name, C->Caption);
  Criteria.SetOptions({fcoCaseInsensitive});
  Assigned.Assign(&Criteria);
  EXPECT_EQ(Assigned.FilterText(), Text);
  EXPECT_TRUE(Assigned.HasOption(fcoCaseInsensitive));

  // Settings and tree together.
  Criteria.SetPercentWildcard(u'*');
  Criteria.SetMaxValueListCount(12);
  TMemoryStream Whole;
  Criteria.SaveToStream(&Whole);
  TableCriteria Loaded;
  for (const auto& C : Criteria.Columns) Loaded.Add(C->Name, C->Caption);
  Whole.SetPosition(0);
  Loaded.LoadFromStream(&Whole);
  EXPECT_EQ(Loaded.PercentWildcard(), u'*');
  EXPECT_EQ(Loaded.MaxValueListCount(), 12);
  EXPECT_TRUE(Loaded.HasOption(fcoCaseInsensitive));
  EXPECT_EQ(Loaded.Root()->Count(), 3);
}

TEST_F(FilterTest, OlderStreamFormAndDamagedStreams) {
  auto Stream = [](std::vector<Byte> ABytes) {
    auto Result = std::make_unique<TMemoryStream>();
    if (!ABytes.empty()) Result->WriteBuffer(ABytes.data(), Integer(ABytes.size()));
    Result->SetPosition(0);
    return Result;
  };
  // The older form starts with the root's child count; the root stays AND.
  auto Old = Stream({2, 0, 0, 0,                                       //
                     0, foEqual, 1, 0, 0, 0, 'x', 0, 0, 0, 0, 6, 1, 'x',  // Name = 'x'
                     0, foGreater, 0, 0, 0, 0, 1, 0, 0, 0, 2, 5});       // Age > 5
  Criteria.ReadData(Old.get());
  EXPECT_EQ(Criteria.Root()->BoolOperatorKind(), fboAnd);
  EXPECT_EQ(Criteria.FilterText(), u"(Name = 'x') AND (Age > 5)");

  Add(Note, foEqual, Null());
  const String Before = Criteria.FilterText();
  const std::vector<std::vector<Byte>> Damaged = {
      {},                                                   // nothing
      {0xFF, 0xFF, 0xFF, 0xFF, 9, 0, 0, 0, 0},              // root kind out of range
      {0xFF, 0xFF, 0xFF, 0xFF, 0, 0xFE, 0xFF, 0xFF, 0xFF},  // negative count
      {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0x40},           // count beyond the stream
      {1, 0, 0, 0, 7},                                      // neither a group nor a condition
      {1, 0, 0, 0, 0, 40},                                  // operator kind out of range
      {1, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0},                 // display value beyond the stream
      {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 7},        // value with an unknown tag
      {1, 0, 0, 0, 1, 0, 2, 0, 0, 0, 1, 0},                 // group with a child missing
      {1, 0, 0, 0, 0, foBetween, 0, 0, 0, 0, 1, 0, 0, 0, 2, 5},  // a range of one value
  };
  for (const auto& Bytes : Damaged) {
    auto S = Stream(Bytes);
    EXPECT_THROW(Criteria.ReadData(S.get()), EReadError) << "case " << (&Bytes - Damaged.data());
    EXPECT_EQ(Criteria.FilterText(), Before) << "case " << (&Bytes - Damaged.data());
  }
  std::vector<Byte> Deep = {0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 0, 0};
  for (Integer I = 0; I < 100; ++I) Deep.insert(Deep.end(), {1, 0, 1, 0, 0, 0});
  auto S = Stream(Deep);
  EXPECT_THROW(Criteria.ReadData(S.get()), EReadError);
  EXPECT_EQ(Criteria.FilterText(), Before);
}

// Values that no filter text can carry are refused when the condition is
// made or changed, and the criteria stay as they were.
TEST_F(FilterTest, ValuesNoFilterTextCanCarryAreRefused) {
  const double Inf = std::numeric_limits<double>::infinity();
  Variant TwoDimensions = VarArrayCreate(std::vector<Integer>{0, 1, 0, 1}, varVariant);
  struct Case {
    TcxFilterOperatorKind Kind;
    Variant Value;
  };
  const Case Cases[] = {
      {foBetween, 5},
      {foBetween, Null()},
      {foNotBetween, VarArrayOf({1, 2, 3})},
      {foBetween, VarArrayOf(std::vector<Variant>())},
      {foInList, VarArrayOf(std::vector<Variant>())},
      {foNotInList, VarArrayOf(std::vector<Variant>())},
      {foEqual, VarArrayOf(std::vector<Variant>())},
      {foLess, VarArrayOf({1, 2})},
      {foGreaterEqual, MakeVariantPair(1, 2)},
      {foLike, VarArrayOf({u"a%"})},
      {foEqual, Inf},
      {foEqual, -Inf},
      {foNotEqual, std::nan("")},
      {foInList, VarArrayOf({1, std::nan("")})},
      {foBetween, MakeVariantPair(0, Inf)},
      {foInList, VarArrayOf({1, VarArrayOf({2})})},
      {foEqual, TwoDimensions},
  };
  Criteria.SetTranslateBetween(true);
  Add(Age, foEqual, 30, u"30");
  const String Before = Criteria.FilterText();
  for (const Case& C : Cases) {
    EXPECT_THROW(Add(Age, C.Kind, C.Value), EcxFilterError) << "case " << (&C - Cases);
    EXPECT_EQ(Criteria.Root()->Count(), 1) << "case " << (&C - Cases);
    EXPECT_EQ(Criteria.FilterText(), Before) << "case " << (&C - Cases);
  }
  auto* Item = static_cast<TcxFilterCriteriaItem*>(Criteria.Root()->Items(0));
  EXPECT_THROW(Item->SetValue(Variant(Inf)), EcxFilterError);
  EXPECT_THROW(Item->SetOperatorKind(foBetween), EcxFilterError);
  EXPECT_EQ(Item->OperatorKind(), foEqual);
  EXPECT_EQ(Criteria.FilterText(), Before);
  // The date ranges take no value at all.
  EXPECT_NO_THROW(Add(Born, foToday, Variant(Inf)));
}

// Groups nest to a named depth; the filter text of the deepest tree, with
// the longest text a condition makes, is one the dataset's parser reads.
TEST_F(FilterTest, GroupsNestToALimitAndTheDeepestTextParses) {
  TcxFilterCriteriaItemList* Deepest = Criteria.Root();
  for (Integer Level = 0; Level < cxMaxFilterGroupDepth; ++Level) Deepest = Deepest->AddItemList(fboNotOr);
  EXPECT_EQ(Deepest->Depth(), cxMaxFilterGroupDepth);
  Criteria.AddItem(Deepest, Age, foNotBetween, MakeVariantPair(Null(), 5), u"");
  TFilterExpression Expression(Criteria.FilterText());
  Expression.Bind([](const String&) { return Integer(0); });
  for (Integer Record = 0; Record < 4; ++Record) {
    const Variant Age = Criteria.Rows[size_t(Record)][1];
    EXPECT_EQ(Expression.Evaluate([&](Integer) { return Age; }, TFilterEvalOptions()), Criteria.Evaluate(Record))
        << "record " << Record;
  }

  const String Before = Criteria.FilterText();
  EXPECT_THROW(Deepest->AddItemList(fboAnd), EcxFilterError);
  EXPECT_EQ(Deepest->Count(), 1);
  // A detached pair of groups appended one level too deep.
  auto* Detached = new TcxFilterCriteriaItemList(nullptr, fboAnd);
  Detached->AddItemList(fboOr);
  EXPECT_THROW(Deepest->Parent()->Append(Detached), EcxFilterError);
  EXPECT_EQ(Detached->Parent(), nullptr);
  delete Detached;
  EXPECT_EQ(Criteria.FilterText(), Before);
}

TEST_F(FilterTest, ValueList) {
  std::unique_ptr<TcxFilterValueList> List(Criteria.ValueListClass()->Create(&Criteria));
  List->AddItem(fviAll, Null(), false, u"(All)");
  List->AddItem(fviCustom, Null(), false, u"(Custom...)");
  for (Integer V : {30, 10, 20, 10}) List->AddItem(fviValue, V, false, u"v");
  List->AddItem(fviBlanks, Null(), false, u"(Blanks)");
  List->AddItem(fviNonBlanks, Null(), false, u"(NonBlanks)");
  List->AddItem(fviHeadItem, 99, false, u"head");
  ASSERT_EQ(List->Count(), 9);
  const TcxFilterValueItemKind Kinds[] = {fviHeadItem, fviHeadSeparator, fviAll,   fviCustom, fviBlanks,
                                          fviNonBlanks, fviValue,        fviValue, fviValue};
  for (Integer I = 0; I < 9; ++I) EXPECT_EQ(List->Items(I).Kind, Kinds[I]) << I;
  EXPECT_EQ(List->Items(6).Value.AsInteger(), 10);
  EXPECT_EQ(List->Items(8).Value.AsInteger(), 30);
  Integer Index;
  EXPECT_TRUE(List->FindValue(20, u"", Index));
  EXPECT_EQ(Index, 7);
  EXPECT_FALSE(List->FindValue(25, u"", Index));
  EXPECT_EQ(Index, 8);
  EXPECT_TRUE(List->FindValue(99, u"", Index));
  EXPECT_EQ(Index, 0);

  TcxFilterCriteriaItem* Equal = Add(Age, foEqual, 20);
  EXPECT_EQ(List->IndexOfCriteriaItem(Equal), 7);
  EXPECT_EQ(List->IndexOfCriteriaItem(Add(Age, foEqual, 21)), List->IndexOfKind(fviAll));
  EXPECT_EQ(List->IndexOfCriteriaItem(Add(Age, foGreater, 20)), List->IndexOfKind(fviCustom));
  EXPECT_EQ(List->IndexOfCriteriaItem(Add(Note, foEqual, Null())), List->IndexOfKind(fviBlanks));
  EXPECT_EQ(List->IndexOfCriteriaItem(Add(Note, foNotEqual, Null())), List->IndexOfKind(fviNonBlanks));
  EXPECT_EQ(List->IndexOfCriteriaItem(nullptr), -1);

  // A limit on the number of entries; texts compared case-insensitively.
  Criteria.SetMaxValueListCount(3);
  Criteria.SetOptions({fcoCaseInsensitive});
  List->Clear();
  List->SetSortByDisplayText(true);
  for (const char16_t* T : {u"b", u"A", u"a", u"c", u"d"}) List->AddItem(fviValue, Null(), false, T);
  ASSERT_EQ(List->Count(), 3);
  EXPECT_EQ(List->Items(0).DisplayText, u"A");
  EXPECT_EQ(List->Items(2).DisplayText, u"c");
  List->AddItem(fviValue, Null(), true, u"unsorted");
  EXPECT_EQ(List->Count(), 4);
}

}  // namespace
