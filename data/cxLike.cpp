#include "data/cxLike.h"

#include <string_view>

namespace {

bool IsHighSurrogate(Char C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(Char C) { return C >= 0xDC00 && C <= 0xDFFF; }
bool IsSurrogate(char32_t C) { return C >= 0xD800 && C <= 0xDFFF; }

// Reads one character (one code unit, or a whole surrogate pair) at I.
char32_t ReadChar(const Char* S, Integer Length, Integer& I) {
  const Char C = S[I++];
  if (IsHighSurrogate(C) && I < Length && IsLowSurrogate(S[I]))
    return 0x10000 + ((char32_t(C) - 0xD800) << 10) + (char32_t(S[I++]) - 0xDC00);
  return C;
}

void AppendChar(String& AText, char32_t C) {
  if (C < 0x10000) {
    AText.push_back(Char(C));
    return;
  }
  AText.push_back(Char(0xD800 + ((C - 0x10000) >> 10)));
  AText.push_back(Char(0xDC00 + ((C - 0x10000) & 0x3FF)));
}

}  // namespace

TLikeMatcher::TLikeMatcher(const Char* APattern, Integer APatternLength, Char AEscape, Char AUnderscore,
                           Char APercent) {
  const Integer Length = APatternLength < 0 ? 0 : APatternLength;
  bool Escaped = false;
  Integer I = 0;
  while (I < Length) {
    const Char Raw = APattern[I];
    if (AEscape != 0 && !Escaped && Raw == AEscape) {
      Escaped = true;
      ++I;
      continue;
    }
    if (!Escaped && Raw == APercent) {
      ++I;
      FTokens.push_back({I == Length ? TTokenKind::AnyRunAtEnd : TTokenKind::AnyRun, 0});
      continue;
    }
    if (!Escaped && Raw == AUnderscore) {
      ++I;
      FTokens.push_back({TTokenKind::AnyChar, 0});
      continue;
    }
    FTokens.push_back({TTokenKind::Literal, ReadChar(APattern, Length, I)});
    Escaped = false;
  }
  PrepareSimple();
}

// The simple form needs every run but a final one to be followed by a
// literal (then the run leaving a character for the rest holds by itself),
// the final run to take the rest of the text, no one-character wildcard, and
// no lone surrogate in a literal (so that a match on the code units starts
// and ends on whole characters).
void TLikeMatcher::PrepareSimple() {
  FPieces.clear();
  for (size_t T = 0; T < FTokens.size(); ++T) {
    const TToken& Token = FTokens[T];
    switch (Token.Kind) {
      case TTokenKind::AnyChar:
        return;
      case TTokenKind::AnyRun:
        if (T + 1 == FTokens.size() || FTokens[T + 1].Kind != TTokenKind::Literal) return;
        if (T == 0) FLeadingRun = true;
        FPieces.emplace_back();
        break;
      case TTokenKind::AnyRunAtEnd:
        if (T > 0 && FTokens[T - 1].Kind != TTokenKind::Literal) return;
        FTrailingRun = true;
        if (T == 0) FLeadingRun = true;
        break;
      case TTokenKind::Literal:
        if (IsSurrogate(Token.Ch)) return;
        if (FPieces.empty()) FPieces.emplace_back();
        AppendChar(FPieces.back(), Token.Ch);
        break;
    }
  }
  FSimple = true;
}

bool TLikeMatcher::MatchesSimple(const Char* AText, size_t ALength) const {
  if (FPieces.empty()) return FTrailingRun || ALength == 0;
  const std::u16string_view Text(AText, ALength);
  size_t Begin = 0, End = ALength;
  size_t First = 0, Last = FPieces.size();
  if (!FLeadingRun) {
    if (!Text.starts_with(FPieces[0])) return false;
    Begin = FPieces[0].size();
    First = 1;
  }
  if (!FTrailingRun) {
    if (First == Last) return Begin == ALength;
    const String& Tail = FPieces[Last - 1];
    if (End - Begin < Tail.size() || !Text.ends_with(Tail)) return false;
    End -= Tail.size();
    --Last;
  }
  const std::u16string_view Middle = Text.substr(0, End);
  for (size_t P = First; P < Last; ++P) {
    const size_t At = Middle.find(FPieces[P], Begin);
    if (At == std::u16string_view::npos) return false;
    Begin = At + FPieces[P].size();
  }
  return true;
}

bool TLikeMatcher::Matches(const Char* AText, Integer ATextLength) const {
  if (ATextLength < 0) ATextLength = 0;
  return FSimple ? MatchesSimple(AText, size_t(ATextLength)) : MatchesGeneral(AText, ATextLength);
}

bool TLikeMatcher::MatchesGeneral(const Char* AText, Integer ATextLength) const {
  FText.clear();
  for (Integer I = 0; I < ATextLength;) FText.push_back(ReadChar(AText, ATextLength, I));
  const size_t N = FText.size();

  // Next[j]: the tokens after the current one match Text[j..N).
  // Row[j]: the tokens from the current one on match Text[j..N).
  FNext.assign(N + 1, 0);
  FRow.assign(N + 1, 0);
  FNext[N] = 1;
  for (size_t T = FTokens.size(); T-- > 0;) {
    const TToken& Token = FTokens[T];
    for (size_t J = N + 1; J-- > 0;) {
      switch (Token.Kind) {
        case TTokenKind::AnyRunAtEnd:
          FRow[J] = 1;
          break;
        case TTokenKind::AnyRun:
          // Tries the rest at J, J+1, ... while a text character remains there.
          FRow[J] = J < N && (FNext[J] || FRow[J + 1]);
          break;
        case TTokenKind::AnyChar:
          FRow[J] = J < N && FNext[J + 1];
          break;
        case TTokenKind::Literal:
          FRow[J] = J < N && FText[J] == Token.Ch && FNext[J + 1];
          break;
      }
    }
    FNext.swap(FRow);
  }
  return FNext[0] != 0;
}

bool MatchLikePattern(const Char* AText, Integer ATextLength, const Char* APattern, Char AEscape,
                      Char AUnderscore, Char APercent, Integer APatternLength) {
  return TLikeMatcher(APattern, APatternLength, AEscape, AUnderscore, APercent).Matches(AText, ATextLength);
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
