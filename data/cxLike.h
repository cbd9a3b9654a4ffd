#pragma once
// SQL LIKE matching of a text against a pattern, and the preparation of
// patterns for datasets.
//
// Matching works per character: a character outside the basic plane (a
// surrogate pair in UTF-16) counts as one character, both in the text and in
// the pattern, so the one-character wildcard matches any single character.
// The time taken grows with text length times pattern length, however many
// run wildcards the pattern holds.
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

// Replaces every pair of AChar by one, until no pair remains.
void CollapseDoubledChar(String& AText, Char AChar);

// Collapses doubled run wildcards, then removes a leading and a trailing one.
// Answers 0 (text shorter than 2 characters after collapsing; nothing else
// changes), otherwise 2 for a removed leading wildcard plus 1 for a removed
// trailing one: 1 "begins with", 2 "ends with", 3 "contains".
Integer StripOuterWildcards(String& APattern, Char APercent);
