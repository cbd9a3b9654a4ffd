#include "data/cxLike.h"

#include <vector>

namespace {

bool IsHighSurrogate(Char C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(Char C) { return C >= 0xDC00 && C <= 0xDFFF; }

// Reads one character (one code unit, or a whole surrogate pair) at I.
char32_t ReadChar(const Char* S, Integer Length, Integer& I) {
  const Char C = S[I++];
  if (IsHighSurrogate(C) && I < Length && IsLowSurrogate(S[I]))
    return 0x10000 + ((char32_t(C) - 0xD800) << 10) + (char32_t(S[I++]) - 0xDC00);
  return C;
}

enum class TLikeTokenKind { Literal, AnyChar, AnyRun, AnyRunAtEnd };

struct TLikeToken {
  TLikeTokenKind Kind;
  char32_t Ch;
};

std::vector<TLikeToken> Tokenize(const Char* APattern, Integer ALength, Char AEscape,
                                 Char AUnderscore, Char APercent) {
  std::vector<TLikeToken> Tokens;
  bool Escaped = false;
  Integer I = 0;
  while (I < ALength) {
    const Char Raw = APattern[I];
    if (AEscape != 0 && !Escaped && Raw == AEscape) {
      Escaped = true;
      ++I;
      continue;
    }
    if (!Escaped && Raw == APercent) {
      ++I;
      Tokens.push_back({I == ALength ? TLikeTokenKind::AnyRunAtEnd : TLikeTokenKind::AnyRun, 0});
      continue;
    }
    if (!Escaped && Raw == AUnderscore) {
      ++I;
      Tokens.push_back({TLikeTokenKind::AnyChar, 0});
      continue;
    }
    Tokens.push_back({TLikeTokenKind::Literal, ReadChar(APattern, ALength, I)});
    Escaped = false;
  }
  return Tokens;
}

}  // namespace

bool MatchLikePattern(const Char* AText, Integer ATextLength, const Char* APattern, Char AEscape,
                      Char AUnderscore, Char APercent, Integer APatternLength) {
  if (ATextLength < 0) ATextLength = 0;
  if (APatternLength < 0) APatternLength = 0;
  const std::vector<TLikeToken> Tokens =
      Tokenize(APattern, APatternLength, AEscape, AUnderscore, APercent);
  std::vector<char32_t> Text;
  Text.reserve(ATextLength);
  for (Integer I = 0; I < ATextLength;) Text.push_back(ReadChar(AText, ATextLength, I));
  const size_t N = Text.size();

  // Next[j]: the tokens after the current one match Text[j..N).
  // Row[j]: the tokens from the current one on match Text[j..N).
  std::vector<char> Next(N + 1, 0), Row(N + 1, 0);
  Next[N] = 1;
  for (size_t T = Tokens.size(); T-- > 0;) {
    const TLikeToken& Token = Tokens[T];
    for (size_t J = N + 1; J-- > 0;) {
      switch (Token.Kind) {
        case TLikeTokenKind::AnyRunAtEnd:
          Row[J] = 1;
          break;
        case TLikeTokenKind::AnyRun:
          // Tries the rest at J, J+1, ... while a text character remains there.
          Row[J] = J < N && (Next[J] || Row[J + 1]);
          break;
        case TLikeTokenKind::AnyChar:
          Row[J] = J < N && Next[J + 1];
          break;
        case TLikeTokenKind::Literal:
          Row[J] = J < N && Text[J] == Token.Ch && Next[J + 1];
          break;
      }
    }
    Next.swap(Row);
  }
  return Next[0] != 0;
}

bool MatchLike(const String& AText, const String& APattern, Char APercent, Char AUnderscore) {
  return MatchLikePattern(AText.data(), Integer(AText.size()), APattern.data(), 0, AUnderscore,
                          APercent, Integer(APattern.size()));
}

void CollapseDoubledChar(String& AText, Char AChar) {
  String Result;
  Result.reserve(AText.size());
  for (Char C : AText)
    if (!(C == AChar && !Result.empty() && Result.back() == AChar)) Result.push_back(C);
  AText = Result;
}

Integer StripOuterWildcards(String& APattern, Char APercent) {
  CollapseDoubledChar(APattern, APercent);
  if (APattern.size() < 2) return 0;
  Integer Result = 0;
  const bool Trailing = APattern.back() == APercent;
  if (APattern.front() == APercent) {
    APattern.erase(0, 1);
    Result += 2;
  }
  if (Trailing && !APattern.empty() && APattern.back() == APercent) {
    APattern.pop_back();
    Result += 1;
  }
  return Result;
}
