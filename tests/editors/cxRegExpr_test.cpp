#include "editors/cxRegExpr.h"

#include <gtest/gtest.h>

#include "foundation/cxClasses.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"

namespace {

std::string Utf8(const String& s) { return StringToUTF8(s); }

// The errors of compiling APattern (empty when it compiles).
TcxRegExprErrors CompileErrors(const String& APattern) {
  TcxRegExpr R;
  try {
    R.Compile(APattern);
  } catch (const EcxRegExprError& E) {
    EXPECT_FALSE(R.Compiled());
    EXPECT_EQ(E.Errors().Count(), R.Errors().Count());
    return E.Errors();
  }
  return TcxRegExprErrors();
}

// Feeds AKeys one by one: "+" for a key that fits, "-" for one refused.
String Feed(TcxRegExpr& R, const String& AKeys) {
  String Result;
  for (Char c : AKeys) Result += R.Advance(c) ? u'+' : u'-';
  return Result;
}

struct TFormatSettingsGuard {
  TFormatSettings Saved = FormatSettings();
  ~TFormatSettingsGuard() { FormatSettings() = Saved; }
};

// ---- Compile errors ----------------------------------------------------------------------

struct TErrorCase {
  const char16_t* Pattern;
  const char16_t* Message;  // of the first error
  Integer Line, Column;
};

TEST(cxRegExprCompile, FirstErrorWithMessageAndPosition) {
  const TErrorCase Cases[] = {
      {u"", u"The source stream is empty", 0, 0},
      {u" \t\r\n", u"The source stream is empty", 0, 0},
      {u"|a", u"The alternative should not be empty", 1, 1},
      {u"a|", u"The alternative should not be empty", 0, 0},
      {u"()", u"The block should not be empty", 1, 2},
      {u"(a", u"Missing ')'", 0, 0},
      {u"a)", u"Unnecessary ')'", 0, 0},
      {u")(", u"Illegal ')'", 1, 1},
      {u"*a", u"Illegal quantifier '*'", 1, 1},
      {u"?", u"Illegal quantifier '?'", 1, 1},
      {u"a**", u"The '*' quantifier cannot be applied here", 1, 3},
      {u"(a?)+", u"The '+' quantifier cannot be applied here", 1, 5},
      {u"a?{2}", u"The parameter quantifier cannot be applied here", 1, 3},
      {u"a{3,2}", u"Incorrect parameter quantifier", 1, 6},
      {u"a{,2}", u"Incorrect parameter quantifier", 1, 3},
      {u"{2}", u"Incorrect parameter quantifier", 1, 1},
      {u"a{2", u"Missing '}'", 1, 4},
      {u"a{2x}", u"Illegal 'x'", 1, 4},
      {u"a{'}", u"Illegal ' ' '", 1, 3},
      {u"[]", u"Can't create empty enumeration", 1, 2},
      {u"[z-a]", u"The starting character of the subrange must be less than the finishing one", 1, 4},
      {u"[a-a]", u"The starting character of the subrange must be less than the finishing one", 1, 4},
      {u"[a-c-e]", u"Illegal '-'", 1, 5},
      {u"[\\d-z]", u"Illegal '\\d'", 1, 2},
      {u"[a-\\W]", u"Illegal '\\W'", 1, 4},
      {u"[a", u"Missing ']'", 1, 3},
      {u"[a-", u"Missing ']'", 1, 4},
      {u"\\2(a)", u"Too big reference number", 1, 1},
      {u"(a)\\2", u"Too big reference number", 1, 4},
      {u"'abc", u"Missing ' ' '", 1, 5},
      {u"\\x4", u"Hexadecimal number expected", 1, 4},
      {u"\\x4g", u"Hexadecimal number expected but 'g' found", 1, 4},
      {u"\\ a", u"The space character is not allowed after '\\'", 1, 2},
      {u"12}{", u"Missing '}'", 1, 5},
      // A carriage return starts a new line, a line feed resets the column.
      {u"a\r\n**", u"The '*' quantifier cannot be applied here", 2, 2},
      // Limits against patterns that would exhaust memory or the stack.
      {u"a{1000000}", u"The regular expression is too complex", 1, 2},
      {u"(a{100}){100}", u"The regular expression is too complex", 1, 9},
      {u"a{0,300}", u"The regular expression is too complex", 1, 2},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(Utf8(C.Pattern));
    const TcxRegExprErrors Errors = CompileErrors(C.Pattern);
    ASSERT_GT(Errors.Count(), 0);
    EXPECT_EQ(Utf8(Errors[0].Message), Utf8(C.Message));
    EXPECT_EQ(Errors[0].Line, C.Line);
    EXPECT_EQ(Errors[0].Column, C.Column);
  }
}

TEST(cxRegExprCompile, CollectsEveryErrorOfAPhase) {
  const TcxRegExprErrors Errors = CompileErrors(u")(");
  ASSERT_EQ(Errors.Count(), 2);
  EXPECT_EQ(Utf8(Errors[1].Message), "The alternative should not be empty");

  // Lexer errors are all reported; the parser does not run after them.
  const TcxRegExprErrors LexErrors = CompileErrors(u"\\x4g{'}*");
  ASSERT_EQ(LexErrors.Count(), 2);
  EXPECT_EQ(Utf8(LexErrors[1].Message), "Illegal ' ' '");
}

TEST(cxRegExprCompile, DeeplyNestedPatternIsRefusedOnce) {
  const String Deep = String(5000, u'(') + u"a" + String(5000, u')');
  const TcxRegExprErrors Errors = CompileErrors(Deep);
  ASSERT_EQ(Errors.Count(), 1);
  EXPECT_EQ(Utf8(Errors[0].Message), "The regular expression is too complex");
  EXPECT_EQ(Errors[0].Column, cxRegExprMaxDepth + 1);
  EXPECT_EQ(CompileErrors(String(3000, u'a')).Count(), 1);
  EXPECT_EQ(CompileErrors(u"(" + String(cxRegExprMaxDepth - 1, u'(') + u"a" + String(cxRegExprMaxDepth, u')'))
                .Count(),
            0);
}

TEST(cxRegExprCompile, DescribeGivesPositionAndMessage) {
  EXPECT_EQ(Utf8(TcxRegExprError(1, 4, u"Oops").Describe()), "Line1, Char4: Oops");
  EXPECT_EQ(Utf8(TcxRegExprError(2, 0, u"Oops").Describe()), "Line2: Oops");
  EXPECT_EQ(Utf8(TcxRegExprError(0, 3, u"Oops").Describe()), "Oops");
}

TEST(cxRegExprCompile, MessagesGoThroughTheTextAccessor) {
  InstallTextReplacementTable({u"Missing '%s'", u"Line"}, {u"缺少 '%s'", u"行"});
  const TcxRegExprErrors Errors = CompileErrors(u"[a");
  UninstallTextReplacementTable();
  ASSERT_EQ(Errors.Count(), 1);
  EXPECT_EQ(Utf8(Errors[0].Message), "缺少 ']'");
  EXPECT_EQ(Utf8(Errors[0].Describe()), "Line1, Char3: 缺少 ']'");
}

TEST(cxRegExprCompile, ErrorsOutliveTheEngine) {
  std::unique_ptr<EcxRegExprError> Caught;
  {
    TcxRegExpr R;
    try {
      R.Compile(u"a**");
    } catch (const EcxRegExprError& E) {
      Caught = std::make_unique<EcxRegExprError>(E);
    }
  }
  ASSERT_TRUE(Caught);
  EXPECT_TRUE(Caught->Message.empty());
  ASSERT_EQ(Caught->Errors().Count(), 1);
  EXPECT_EQ(Caught->Errors()[0].Column, 3);
}

TEST(cxRegExprCompile, StreamSourceAndState) {
  TcxRegExpr R;
  EXPECT_THROW(R.Compile(static_cast<TStream*>(nullptr)), EcxRegExprError);
  ASSERT_EQ(R.Errors().Count(), 1);
  EXPECT_EQ(Utf8(R.Errors()[0].Message), "The source stream is not assigned");
  EXPECT_EQ(R.Errors()[0].Line, 0);

  TStringStream Stream(StringToUTF8(u"年\\d"));
  Stream.SetPosition(2);  // the whole stream counts, wherever it stands
  R.Compile(&Stream);
  EXPECT_TRUE(R.Compiled());
  EXPECT_EQ(Utf8(R.Source()), "年\\d");
  EXPECT_EQ(R.Errors().Count(), 0);
  EXPECT_EQ(Utf8(Feed(R, u"年5")), "++");

  // A failed compile leaves nothing compiled.
  EXPECT_THROW(R.Compile(u"a)"), EcxRegExprError);
  EXPECT_TRUE(R.Source().empty());
  R.Clear();
  EXPECT_EQ(R.Errors().Count(), 0);
}

TEST(cxRegExprCompile, SteppingNeedsACompiledPattern) {
  TcxRegExpr R;
  EXPECT_THROW(R.Compile(u"(a"), EcxRegExprError);
  Char c = u'a';
  const std::function<void()> Operations[] = {
      [&] { R.Advance(c); },     [&] { R.StepBack(); }, [&] { R.Restart(); },
      [&] { R.IsComplete(); },   [&] { R.AtStart(); },  [&] { R.FilterText(u"a"); },
  };
  for (const auto& Op : Operations) {
    try {
      Op();
      ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
      EXPECT_EQ(Utf8(E.Message), "Regular expression is not compiled");
    }
  }
  R.SetAutoAdvance(true);  // allowed while not compiled
}

// ---- Matching ------------------------------------------------------------------------------

struct TMatchCase {
  const char16_t* Pattern;
  const char16_t* Keys;
  const char16_t* Fits;  // "+" or "-" per key
  bool Complete;
};

TEST(cxRegExprMatch, KeysAcceptedAndCompleteness) {
  const TMatchCase Cases[] = {
      {u"\\d+", u"12a3", u"++-+", true},
      {u"\\d+", u"", u"", false},
      {u"a b", u"ab", u"++", true},          // blanks outside quotes are ignored
      {u"a b", u" ", u"-", false},
      {u"'a b'", u"a b", u"+++", true},      // and literal inside them
      {u"'it''s'", u"it's", u"++++", true},
      {u"x?", u"", u"", true},
      {u"(a|b)*c", u"abba", u"++++", false},
      {u"(a|b)*c", u"abbac", u"+++++", true},
      {u"(ab)\\1", u"aba", u"+++", false},
      {u"(ab)\\1", u"abab", u"++++", true},
      {u"(a)\\12", u"aa2", u"+++", true},    // reference 1, then the digit 2
      {u"(a){2}\\1", u"aaa", u"+++", true},  // the counted block can still be referred to
      {u"((a)b)\\2\\1", u"abaab", u"+++++", true},
      {u"a+*", u"aaa", u"+++", true},
      {u"a+?", u"", u"", true},
      {u"a\\d{2,4}", u"a1", u"++", false},
      {u"a\\d{2,4}", u"a12", u"+++", true},
      {u"a\\d{2,4}", u"a12345", u"+++++-", true},
      {u"a\\d{3,}", u"a1234567", u"++++++++", true},
      {u"a{0}b", u"b", u"+", true},
      {u"a{1,1}", u"aa", u"+-", true},
      // Quantified groups that can match empty: the pseudo-state loop ends.
      {u"(a?){1,}", u"", u"", true},
      {u"(a?){1,}", u"aaab", u"+++-", true},
      {u"(a?){2,}b", u"aaaab", u"+++++", true},
      {u"((a?)){3,}", u"aa", u"++", true},
      // An item that can match empty through its content ends a match too.
      {u"a\\d{0,2}", u"a", u"+", true},
      {u"a(b?)", u"a", u"+", true},
      {u"((a?))", u"", u"", true},
      {u"\\d+([.])?(\\d)?(\\d)?(\\d)?(\\d)?", u"123.45", u"++++++", true},
      {u"\\d+([.])?(\\d)?(\\d)?(\\d)?(\\d)?", u"1.23456", u"++++++-", true},
      {u"\\d+([.])?(\\d)?(\\d)?(\\d)?(\\d)?", u"1..", u"++-", true},
      // Classes and escapes.
      {u"[a-c]+", u"abcd", u"+++-", true},
      {u"[^a-c]", u"d", u"+", true},
      {u"[a-]+", u"-a", u"++", true},
      {u"[-a]", u"-", u"+", true},
      {u"[.(^]+", u".(^", u"+++", true},
      {u"\\w+", u"aZ9_-", u"++++-", true},
      {u"\\s\\s", u"\t\x0B", u"+-", false},  // vertical tab is no whitespace
      {u"\\S\\D\\W", u"xx-", u"+++", true},
      {u"\\x41\\t", u"A\t", u"++", true},
      {u"\\(\\)\\*\\0", u"()*0", u"++++", true},
      {u".", u"\n", u"+", true},
      // Chinese text is accepted wherever Latin text is.
      {u"中文\\d", u"中文5", u"+++", true},
      {u"...", u"地理学", u"+++", true},
      {u"[^a]\\W\\S\\D", u"元数据集", u"++++", true},
      {u"[一-龥]+", u"地理a", u"++-", true},
      {u"'标准'", u"标准", u"++", true},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(Utf8(C.Pattern) + " <- " + Utf8(C.Keys));
    TcxRegExpr R;
    R.Compile(C.Pattern);
    EXPECT_EQ(Utf8(Feed(R, C.Keys)), Utf8(C.Fits));
    EXPECT_EQ(R.IsComplete(), C.Complete);
  }
}

TEST(cxRegExprMatch, RefusedKeyChangesNothingAndStepBackRetraces) {
  TcxRegExpr R;
  R.Compile(u"ab|ac");
  EXPECT_TRUE(R.AtStart());
  EXPECT_FALSE(R.StepBack());
  EXPECT_EQ(Utf8(Feed(R, u"ax")), "+-");
  EXPECT_FALSE(R.AtStart());
  EXPECT_EQ(Utf8(Feed(R, u"c")), "+");
  EXPECT_TRUE(R.IsComplete());
  EXPECT_TRUE(R.StepBack());
  EXPECT_FALSE(R.IsComplete());
  EXPECT_EQ(Utf8(Feed(R, u"b")), "+");
  EXPECT_TRUE(R.IsComplete());
  EXPECT_TRUE(R.StepBack());
  EXPECT_TRUE(R.StepBack());
  EXPECT_TRUE(R.AtStart());
  EXPECT_FALSE(R.StepBack());

  Feed(R, u"ab");
  R.Restart();
  EXPECT_TRUE(R.AtStart());
  EXPECT_FALSE(R.StepBack());
}

TEST(cxRegExprMatch, SeparatorsFollowTheLocale) {
  TFormatSettingsGuard Guard;
  FormatSettings().DecimalSeparator = u',';
  TcxRegExpr R;
  R.Compile(u"\\d\\p\\d");  // the decimal separator of the moment of compiling
  FormatSettings().DecimalSeparator = u'.';
  EXPECT_EQ(Utf8(Feed(R, u"1.,2")), "+-++");

  R.Compile(u"\\d/\\d:\\d");  // date and time separators of the moment of matching
  FormatSettings().DateSeparator = u'-';
  FormatSettings().TimeSeparator = u'时';
  EXPECT_EQ(Utf8(Feed(R, u"1/-2:时3")), "+-++-++");
  EXPECT_TRUE(R.IsComplete());
}

TEST(cxRegExprMatch, CaseInsensitive) {
  TcxRegExpr R;
  R.SetCaseInsensitive(true);
  R.Compile(u"a");
  Char c = u'A';
  EXPECT_TRUE(R.Advance(c));
  EXPECT_EQ(c, u'a');

  R.Compile(u"ab");
  EXPECT_EQ(Utf8(R.FilterText(u"A1b")), "Ab");  // fitted characters as given
  EXPECT_TRUE(R.IsComplete());

  // Ranges do not fold; an inverted class that refuses a key leaves it alone.
  R.Compile(u"[a-c][^x]");
  c = u'B';
  EXPECT_FALSE(R.Advance(c));
  c = u'b';
  EXPECT_TRUE(R.Advance(c));
  c = u'X';
  EXPECT_FALSE(R.Advance(c));
  EXPECT_EQ(c, u'X');

  R.SetCaseInsensitive(false);
  R.Compile(u"a");
  c = u'A';
  EXPECT_FALSE(R.Advance(c));
}

TEST(cxRegExprMatch, FilterTextContinuesFromTheCurrentState) {
  TcxRegExpr R;
  R.Compile(u"\\d\\d-\\d\\d");
  EXPECT_EQ(Utf8(Feed(R, u"1")), "+");
  EXPECT_EQ(Utf8(R.FilterText(u"2x-34")), "2-34");
  EXPECT_TRUE(R.IsComplete());
}

// ---- Forced characters ---------------------------------------------------------------------

class cxRegExprForced : public ::testing::Test {
protected:
  void SetUp() override {
    R.OnForcedCharAdded = TcxRegExprForcedCharAddedEvent(this, [this](Char c) { Added += c; });
    R.OnForcedCharRemoved = TcxRegExprForcedCharRemovedEvent(this, [this] { ++Removed; });
    R.SetAutoAdvance(true);
  }
  TcxRegExpr R;
  String Added;
  int Removed = 0;
};

TEST_F(cxRegExprForced, InsertedAfterCompileAndAfterKeys) {
  struct {
    const char16_t* Pattern;
    const char16_t* Keys;
    const char16_t* Added;
    bool Complete;
  } const Cases[] = {
      {u"abc", u"", u"abc", true},
      {u"a|ab", u"", u"a", true},  // both alternatives begin with it; then complete
      {u"[a]", u"", u"", false},   // a class never forces
      {u"\\d\\d:\\d\\d", u"12", u":", false},
      {u"\\d\\d:\\d\\d", u"1234", u":", true},
      {u"(\\d)?-x", u"", u"", false},
      {u"(\\d)?-x", u"5", u"-x", true},
      {u"ab\\d", u"7", u"ab", true},
      {u"'中国'\\d", u"", u"中国", false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(Utf8(C.Pattern));
    Added.clear();
    R.Compile(C.Pattern);
    Feed(R, C.Keys);
    EXPECT_EQ(Utf8(Added), Utf8(C.Added));
    EXPECT_EQ(R.IsComplete(), C.Complete);
  }
}

TEST_F(cxRegExprForced, StepBackRemovesForcedCharsWithTheKeyBefore) {
  R.Compile(u"\\d\\d:\\d\\d");
  Feed(R, u"12");
  EXPECT_EQ(Utf8(Added), ":");
  EXPECT_TRUE(R.StepBack());  // the separator and the second digit
  EXPECT_EQ(Removed, 1);
  EXPECT_EQ(Utf8(Feed(R, u":")), "-");
  EXPECT_EQ(Utf8(Feed(R, u"3")), "+");
  EXPECT_EQ(Utf8(Added), "::");

  // A forced prefix goes back with the last step, which then reports false.
  Removed = 0;
  R.Compile(u"ab\\d");
  Feed(R, u"5");
  EXPECT_TRUE(R.StepBack());
  EXPECT_EQ(Removed, 0);
  EXPECT_FALSE(R.StepBack());
  EXPECT_EQ(Removed, 2);
  EXPECT_TRUE(R.AtStart());
}

TEST_F(cxRegExprForced, RestartAndSwitchingOn) {
  R.Compile(u"abc");
  R.Restart();
  EXPECT_TRUE(R.AtStart());
  EXPECT_FALSE(R.IsComplete());

  TcxRegExpr Plain;
  String Seen;
  Plain.OnForcedCharAdded = TcxRegExprForcedCharAddedEvent(&Seen, [&Seen](Char c) { Seen += c; });
  Plain.Compile(u"x-\\d");
  EXPECT_TRUE(Seen.empty());
  Plain.SetAutoAdvance(true);
  EXPECT_EQ(Utf8(Seen), "x-");
}

}  // namespace

namespace {

TEST(cxRegExprForcedHandlers, HandlerMayClearTheEngine) {
  TcxRegExpr R;
  R.OnForcedCharAdded = TcxRegExprForcedCharAddedEvent(&R, [&R](Char) { R.Clear(); });
  R.SetAutoAdvance(true);
  R.Compile(u"abc");
  EXPECT_FALSE(R.Compiled());

  R.OnForcedCharAdded = nullptr;
  R.Compile(u"\\d-\\d");
  Char c = u'1';
  ASSERT_TRUE(R.Advance(c));
  R.OnForcedCharRemoved = TcxRegExprForcedCharRemovedEvent(&R, [&R] { R.Clear(); });
  EXPECT_FALSE(R.StepBack());
  EXPECT_THROW(R.IsComplete(), Exception);
}

}  // namespace
