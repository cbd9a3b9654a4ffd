#include "data/cxLike.h"

#include <chrono>
#include <random>
#include <gtest/gtest.h>

namespace {

struct LikeCase {
  const char16_t* Text;
  const char16_t* Pattern;
  bool Expected;
};

TEST(LikeMatching, PercentAndUnderscore) {
  const LikeCase Cases[] = {
      {u"abc", u"ab%", true},        {u"ab", u"ab%", true},
      {u"xab", u"ab%", false},       {u"wxyz", u"%z", true},
      {u"z", u"%z", true},           {u"zy", u"%z", false},
      {u"abc", u"a_c", true},        {u"ac", u"a_c", false},
      {u"abbc", u"a_c", false},      {u"ABC", u"abc", false},
      {u"abc", u"abc", true},        {u"a", u"a%%", false},
      {u"ab", u"a%%", true},         {u"", u"", true},
      {u"a", u"", false},            {u"", u"%", true},
      {u"", u"_", false},            {u"abc", u"%", true},
      {u"abc", u"%b%", true},        {u"abc", u"%d%", false},
      {u"mississippi", u"%iss%ipp%", true},
      {u"mississippi", u"m%s_s%i", true},
      {u"", u"%a", false},
      // A run wildcard followed by more pattern never matches at the very end.
      {u"a", u"a%_", false},
  };
  for (const LikeCase& C : Cases)
    EXPECT_EQ(MatchLike(C.Text, C.Pattern, u'%', u'_'), C.Expected)
        << "case " << (&C - Cases);
}

TEST(LikeMatching, WorksPerCharacterNotPerByte) {
  EXPECT_TRUE(MatchLike(u"地质", u"地_", u'%', u'_'));
  EXPECT_TRUE(MatchLike(u"元数据标准", u"元_据%", u'%', u'_'));
  EXPECT_FALSE(MatchLike(u"地质", u"_", u'%', u'_'));
  EXPECT_TRUE(MatchLike(u"中国地质调查", u"%地质%", u'%', u'_'));
  // A character outside the basic plane is one character as well.
  const String Wide = u"a\U00020000b";
  EXPECT_TRUE(MatchLike(Wide, u"a_b", u'%', u'_'));
  EXPECT_TRUE(MatchLike(Wide, u"a\U00020000%", u'%', u'_'));
  EXPECT_FALSE(MatchLike(Wide, u"a__b", u'%', u'_'));
}

TEST(LikeMatching, OtherWildcardCharacters) {
  EXPECT_TRUE(MatchLike(u"abc", u"a*", u'*', u'?'));
  EXPECT_TRUE(MatchLike(u"abc", u"a?c", u'*', u'?'));
  EXPECT_FALSE(MatchLike(u"abc", u"a%", u'*', u'?'));
  EXPECT_TRUE(MatchLike(u"a%", u"a%", u'*', u'?'));
}

TEST(LikeMatching, EscapeCharacter) {
  auto Match = [](const String& T, const String& P) {
    return MatchLikePattern(T.data(), Integer(T.size()), P.data(), u'\\', u'_', u'%',
                            Integer(P.size()));
  };
  EXPECT_TRUE(Match(u"50%", u"50\\%"));
  EXPECT_FALSE(Match(u"500", u"50\\%"));
  EXPECT_TRUE(Match(u"a_b", u"a\\_b"));
  EXPECT_FALSE(Match(u"axb", u"a\\_b"));
  EXPECT_TRUE(Match(u"a\\b", u"a\\\\b"));
  // An escape at the end of the pattern is ignored.
  EXPECT_TRUE(Match(u"ab", u"ab\\"));
  EXPECT_FALSE(Match(u"abc", u"ab\\"));
}

TEST(LikeMatching, ManyRunWildcardsStayFast) {
  const String Text(5000, u'a');
  String Pattern;
  for (int I = 0; I < 200; ++I) Pattern += u"%a";
  Pattern += u"%b";
  const auto Start = std::chrono::steady_clock::now();
  EXPECT_FALSE(MatchLike(Text, Pattern, u'%', u'_'));
  EXPECT_TRUE(MatchLike(Text + u"b", Pattern, u'%', u'_'));
  const auto Elapsed = std::chrono::steady_clock::now() - Start;
  EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(Elapsed).count(), 5);
}

// The piecewise shortcut against the general matcher on random patterns and
// texts, surrogate pairs and lone surrogate halves included.
TEST(LikeMatching, ShortcutAgreesWithGeneralMatcher) {
  const std::vector<String> TextParts = {u"a", u"b", u"山", u"\U00020000", String(1, Char(0xD840)),
                                         String(1, Char(0xDC00))};
  std::vector<String> PatternParts = TextParts;
  for (const char16_t* Wild : {u"%", u"%", u"_", u"\\"}) PatternParts.push_back(Wild);
  std::mt19937 Random(20261210);
  auto Build = [&Random](const std::vector<String>& AParts, size_t AMaxLength) {
    String Result;
    const size_t Length = Random() % (AMaxLength + 1);
    for (size_t I = 0; I < Length; ++I) Result += AParts[Random() % AParts.size()];
    return Result;
  };
  Integer Simple = 0, Matched = 0;
  for (int Round = 0; Round < 3000; ++Round) {
    const String Pattern = Build(PatternParts, 6);
    const Char Escape = Round % 2 ? u'\\' : Char(0);
    const TLikeMatcher Matcher(Pattern.data(), Integer(Pattern.size()), Escape, u'_', u'%');
    Simple += Matcher.IsSimple();
    for (int T = 0; T < 20; ++T) {
      const String Text = Build(TextParts, 8);
      const bool Expected = Matcher.MatchesGeneral(Text.data(), Integer(Text.size()));
      Matched += Expected;
      ASSERT_EQ(Matcher.Matches(Text.data(), Integer(Text.size())), Expected)
          << "round " << Round << " text " << T;
    }
  }
  // Both paths and both outcomes were exercised.
  EXPECT_GT(Simple, 300);
  EXPECT_GT(Matched, 1000);
}

TEST(LikeMatching, PatternPreparation) {
  String S = u"a%%%%b";
  CollapseDoubledChar(S, u'%');
  EXPECT_EQ(S, u"a%b");
  S = u"%%%%";
  CollapseDoubledChar(S, u'%');
  EXPECT_EQ(S, u"%");

  struct StripCase {
    const char16_t* Pattern;
    Integer Mark;
    const char16_t* Rest;
  };
  const StripCase Cases[] = {
      {u"%word%", 3, u"word"}, {u"word%", 1, u"word"},   {u"%word", 2, u"word"},
      {u"%", 0, u"%"},         {u"word", 0, u"word"},    {u"%%word%%%", 3, u"word"},
      {u"%%", 0, u"%"},        {u"a", 0, u"a"},          {u"%_%", 3, u"_"},
  };
  for (const StripCase& C : Cases) {
    String P = C.Pattern;
    EXPECT_EQ(StripOuterWildcards(P, u'%'), C.Mark) << (&C - Cases);
    EXPECT_EQ(P, String(C.Rest)) << (&C - Cases);
  }
}

}  // namespace
