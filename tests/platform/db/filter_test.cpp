#include <gtest/gtest.h>

#include "tests/platform/db/dbtestutil.h"

#include "platform/db/filterexpr.h"

namespace {

const char* Schema = R"(
CREATE TABLE t (id integer, name text(50), parent_id integer, born date, flag boolean, amount double,
  "my field" text(20));
INSERT INTO t VALUES
  (1, 'O''Brien', 0, '2020-01-15', 1, 1.5, 'x'),
  (2, '标题信息', 1, '2021-06-30', 0, NULL, 'y'),
  (3, '标识', 1, NULL, 1, 10, NULL),
  (4, 'abc_def', 2, '2019-12-31', NULL, -2, 'x'),
  (5, 'ABCXDEF', 2, '2020-01-15', 0, 0, 'z'),
  (6, NULL, 0, '2022-02-02', 1, 3, 'x');
)";

std::vector<Integer> MatchingIds(TDataSet* ds) {
  std::vector<Integer> ids;
  for (ds->First(); !ds->Eof(); ds->Next()) ids.push_back(ds->FieldByName(u"id")->AsInteger());
  return ids;
}

struct TFilterCase {
  const char16_t* Filter;
  std::vector<Integer> Ids;
};

TEST(DataSetFilter, GrammarSelectsTheRightRows) {
  TQueryFixture fx(Schema);
  fx.Open(u"select * from t order by id");
  TADOQuery* q = fx.Query;
  const TFilterCase cases[] = {
      {u"id = 3", {3}},
      {u"parent_id =1", {2, 3}},
      {u"id <> 3 and id < 3", {1, 2}},
      {u"id <= 2 or id >= 6", {1, 2, 6}},
      {u"(id > 1) AND (id < 5) AND NOT (parent_id = 1)", {4}},
      {u"NOT (id = 1 OR id = 2)", {3, 4, 5, 6}},
      {u"name = 'O''Brien'", {1}},
      {u"name LIKE '标%'", {2, 3}},
      {u"name LIKE '标_'", {3}},
      {u"name LIKE '%信息'", {2}},
      {u"name LIKE 'abc_def'", {4}},
      {u"name NOT LIKE 'abc%'", {1, 2, 3, 5}},
      {u"name like '%'", {1, 2, 3, 4, 5}},
      {u"id IN (1, 3, 5)", {1, 3, 5}},
      {u"id NOT IN (1,3,5)", {2, 4, 6}},
      {u"amount BETWEEN 0 AND 3", {1, 5, 6}},
      {u"amount NOT BETWEEN 0 AND 3", {3, 4}},
      {u"amount IS NULL", {2}},
      {u"amount is not null and amount < 0", {4}},
      {u"name = NULL", {6}},
      {u"name <> NULL", {1, 2, 3, 4, 5}},
      {u"amount > -1.5", {1, 3, 5, 6}},
      {u"born = '2020-01-15'", {1, 5}},
      {u"born > #2020-12-31#", {2, 6}},
      {u"(born >= '2020-01-01') AND (born < '2021-01-01')", {1, 5}},
      {u"flag = True", {1, 3, 6}},
      {u"flag = false", {2, 5}},
      {u"[my field] = 'x'", {1, 4, 6}},
      {u"t.name = 'ABCXDEF'", {5}},
      {u"name = 'abc*'", {4}},
      {u"()", {1, 2, 3, 4, 5, 6}},
      {u"", {1, 2, 3, 4, 5, 6}},
  };
  q->SetFiltered(true);
  for (const TFilterCase& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Filter));
    q->SetFilter(c.Filter);
    EXPECT_EQ(MatchingIds(q), c.Ids);
  }
  q->SetFilterOptions({foCaseInsensitive});
  q->SetFilter(u"name like 'abc%'");
  EXPECT_EQ(MatchingIds(q), (std::vector<Integer>{4, 5}));
  // Ordered as upper case, as LIKE sees them: "ABC_DEF" < "_" < "标识".
  q->SetFilter(u"name > '_'");
  EXPECT_EQ(MatchingIds(q), (std::vector<Integer>{2, 3}));
  q->SetFilterOptions({foNoPartialCompare});
  q->SetFilter(u"name = 'abc*'");
  EXPECT_TRUE(MatchingIds(q).empty());
  q->SetFiltered(false);
  EXPECT_EQ(q->RecordCount(), 6);
}

TEST(DataSetFilter, BadTextsNameThePositionAndKeepTheOldFilter) {
  struct {
    const char16_t* Text;
    const char16_t* Position;
  } cases[] = {
      {u"id = ", u"position 6"},           {u"id = 'abc", u"position 6"},
      {u"(id = 1", u"position 8"},         {u"id 5", u"position 4"},
      {u"id IN (1, 2", u"position 12"},    {u"id BETWEEN 1 2", u"position 14"},
      {u"name IS 5", u"position 9"},       {u"id = 1 and", u"position 11"},
      {u"id = 1 ) ", u"position 8"},       {u"id = @", u"position 6"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Text));
    try {
      TFilterExpression expr(c.Text);
      ADD_FAILURE() << "parsed";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(e.Message.find(c.Position), String::npos) << StringToUTF8(e.Message);
    }
  }
  TQueryFixture fx(Schema);
  fx.Open(u"select * from t order by id");
  fx.Query->SetFilter(u"id = 2");
  fx.Query->SetFiltered(true);
  EXPECT_THROW(fx.Query->SetFilter(u"id = = 3"), EDatabaseError);
  EXPECT_EQ(fx.Query->Filter(), u"id = 2");
  EXPECT_EQ(MatchingIds(fx.Query), (std::vector<Integer>{2}));
  // An unknown field is found when the filter is used.
  fx.Query->SetFiltered(false);
  fx.Query->SetFilter(u"nothing = 1");
  EXPECT_THROW(fx.Query->FindFirst(), EDatabaseError);
}

TEST(DataSetFilter, LikeMatchesWholeTextsWithoutBlowingUp) {
  EXPECT_TRUE(MatchLikePattern(u"abc", u"a%c", false));
  EXPECT_FALSE(MatchLikePattern(u"abcd", u"a%c", false));
  EXPECT_TRUE(MatchLikePattern(u"a𠀀c", u"a_c", false));  // one character outside the BMP
  EXPECT_TRUE(MatchLikePattern(u"ABC", u"a_c", true));
  String text(2000, u'a');
  EXPECT_FALSE(MatchLikePattern(text, u"%a%a%a%a%a%a%a%a%b", false));
}

TEST(DataSetFind, FindsUseTheFilterTextWhetherOrNotFiltered) {
  TQueryFixture fx(Schema);
  fx.Open(u"select * from t order by id");
  TADOQuery* q = fx.Query;
  q->SetFilter(u"parent_id = 2 or parent_id = 0");
  ASSERT_TRUE(q->FindFirst());
  EXPECT_EQ(q->FieldByName(u"id")->AsInteger(), 1);
  ASSERT_TRUE(q->FindNext());
  EXPECT_EQ(q->FieldByName(u"id")->AsInteger(), 4);
  ASSERT_TRUE(q->FindLast());
  EXPECT_EQ(q->FieldByName(u"id")->AsInteger(), 6);
  ASSERT_TRUE(q->FindPrior());
  EXPECT_EQ(q->FieldByName(u"id")->AsInteger(), 5);
  EXPECT_EQ(q->RecordCount(), 6);

  // Moving the children of one parent under another, as the record module
  // does: each find sees the edit of the previous one posted.
  q->SetFilter(u"parent_id = 1");
  std::vector<Integer> moved;
  bool found = q->FindFirst();
  while (found) {
    moved.push_back(q->FieldByName(u"id")->AsInteger());
    q->Edit();
    q->FieldByName(u"parent_id")->SetAsInteger(9);
    found = q->FindFirst();
  }
  EXPECT_FALSE(q->Found());
  EXPECT_EQ(moved, (std::vector<Integer>{2, 3}));
  EXPECT_EQ(fx.Db.Column("select id from t where parent_id = 9 order by id"),
            (std::vector<std::string>{"2", "3"}));
}

TEST(DataSetFilter, OnFilterRecordAndPostsThatLeaveTheFilter) {
  TQueryFixture fx(Schema);
  fx.Open(u"select * from t order by id");
  TADOQuery* q = fx.Query;
  q->OnFilterRecord = TFilterRecordEvent(q, [](TDataSet* ds, bool& accept) {
    accept = ds->FieldByName(u"id")->AsInteger() % 2 == 0;
  });
  q->SetFilter(u"id > 2");
  q->SetFiltered(true);
  EXPECT_EQ(MatchingIds(q), (std::vector<Integer>{4, 6}));
  q->First();
  q->Edit();
  q->FieldByName(u"id")->SetAsInteger(1);
  q->Post();
  EXPECT_EQ(q->RecordCount(), 1);
  EXPECT_EQ(q->FieldByName(u"id")->AsInteger(), 6);
}

// Deep nesting is refused before it reaches the end of the stack; long
// chains of AND or OR are no nesting at all.
TEST(DataSetFilter, DeepNestingIsRefusedAndLongChainsWork) {
  auto Repeat = [](const String& part, Integer count) {
    String text;
    for (Integer i = 0; i < count; ++i) text += part;
    return text;
  };
  auto Nested = [&](Integer depth) { return Repeat(u"(", depth) + u"id = 1" + Repeat(u")", depth); };
  struct {
    String Text;
    bool Accepted;
  } cases[] = {
      {Nested(16609), false},
      {Repeat(u"NOT ", 29290) + u"id = 1", false},
      {Nested(MaxFilterNesting + 1), false},
      {Repeat(u"NOT ", MaxFilterNesting + 1) + u"id = 1", false},
      {Nested(MaxFilterNesting), true},
      {Repeat(u"NOT ", MaxFilterNesting) + u"id = 1", true},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Text.size());
    if (c.Accepted) {
      EXPECT_NO_THROW(TFilterExpression expr(c.Text));
      continue;
    }
    try {
      TFilterExpression expr(c.Text);
      ADD_FAILURE() << "parsed";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(e.Message.find(u"Filter expression error"), String::npos) << StringToUTF8(e.Message);
      EXPECT_NE(e.Message.find(u"nested too deeply"), String::npos) << StringToUTF8(e.Message);
    }
  }

  // 75,143 tests joined by OR (and as many by AND) parse, bind, evaluate
  // and are freed; the value decides at the far end of the chain.
  constexpr Integer Count = 75143;
  const String ors = u"id = -1" + Repeat(u" OR id = -1", Count - 2) + u" OR id = 7";
  const String ands = u"id > 0" + Repeat(u" AND id > 0", Count - 2) + u" AND id = 7";
  for (const String& text : {ors, ands}) {
    TFilterExpression expr(text);
    expr.Bind([](const String&) { return Integer(0); });
    for (Integer id : {7, 8}) {
      const bool passes = expr.Evaluate([id](Integer) { return Variant(id); }, TFilterEvalOptions());
      EXPECT_EQ(passes, id == 7);
    }
  }
}

}  // namespace
