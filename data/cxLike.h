#pragma once
// SQL LIKE matching of a text against a pattern, and the preparation of
// patterns for datasets.
//
// Matching works per character: a character outside the basic plane (a
// surrogate pair in UTF-16) counts as one character, both in the text and in
// the pattern, so the one-character wildcard matches any single character.
// The time taken grows with text length times pattern length, however many
// run wildcards the pattern holds.
#include <vector>

#include "platform/rtl/types.h"

// The whole text against the whole pattern, without an escape character.
bool MatchLike(const String& AText, const String& APattern, Char APercent, Char AUnderscore);

// AText[0..ATextLength) against APattern[0..APatternLength). AEscape = 0 means
// no escape character. Rules:
// - an escaped character matches only itself; an escape at the very end of
//   the pattern is ignored;
// - a run wildcard that is the last pattern character takes the rest of the
//   text (possibly none);
// - a run wildcard followed by more pattern takes zero or more characters but
//   leaves at least one text character for the rest of the pattern;
// - the one-character wildcard matches exactly one character;
// - every other character matches only itself, in the same case.
bool MatchLikePattern(const Char* AText, Integer ATextLength, const Char* APattern, Char AEscape,
                      Char AUnderscore, Char APercent, Integer APatternLength);

// A pattern prepared once for matching many texts (a filter runs one pattern
// over every record). Matching follows the rules of MatchLikePattern. A
// pattern made only of literal pieces and run wildcards, none of them
// adjacent and none left dangling at the end, is matched piece by piece on
// the code units; any other pattern goes through the general per-character
// matcher, whose working rows are kept between calls so that matching a
// record allocates nothing once they have grown to the longest text.
// Not for use from two threads at once.
class TLikeMatcher {
public:
  TLikeMatcher(const Char* APattern, Integer APatternLength, Char AEscape, Char AUnderscore, Char APercent);

  bool Matches(const Char* AText, Integer ATextLength) const;
  // Always the general matcher: the reference the shortcut is checked against.
  bool MatchesGeneral(const Char* AText, Integer ATextLength) const;
  bool IsSimple() const { return FSimple; }

private:
  enum class TTokenKind { Literal, AnyChar, AnyRun, AnyRunAtEnd };
  struct TToken {
    TTokenKind Kind;
    char32_t Ch;
  };
  void PrepareSimple();
  bool MatchesSimple(const Char* AText, size_t ALength) const;

  std::vector<TToken> FTokens;
  // The simple form: [run] piece run piece ... [run].
  bool FSimple = false;
  bool FLeadingRun = false;
  bool FTrailingRun = false;
  std::vector<String> FPieces;
  // Working rows of the general matcher.
  mutable std::vector<char32_t> FText;
  mutable std::vector<char> FNext, FRow;
};

// Replaces every pair of AChar by one, until no pair remains.
void CollapseDoubledChar(String& AText, Char AChar);

// Collapses doubled run wildcards, then removes a leading and a trailing one.
// Answers 0 (text shorter than 2 characters after collapsing; nothing else
// changes), otherwise 2 for a removed leading wildcard plus 1 for a removed
// trailing one: 1 "begins with", 2 "ends with", 3 "contains".
Integer StripOuterWildcards(String& APattern, Char APercent);
