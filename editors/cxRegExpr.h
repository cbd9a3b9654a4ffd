#pragma once
// The regular-expression engine of the masked editors. A pattern always
// describes the whole input from its first character; the compiled pattern is
// a position automaton that is stepped one typed character at a time and
// answers whether the text so far can still become a match and whether it is
// one already. Characters the pattern leaves no choice about ("forced"
// characters) can be inserted and removed by the engine itself.
//
// Pattern language: literal characters (blanks outside quotes are ignored),
// 'quoted text' (two apostrophes for one), "." any character, "\d \D \w \W
// \s \S" classes, "\a \e \f \n \r \t" control characters, "\p" the decimal
// separator, "\xHH" a character by code, "/" and ":" the locale's date and
// time separators, "[...]" and "[^...]" classes with "a-z" ranges, "( )"
// blocks, "|" alternatives, "* + ?" and "{n}", "{n,}", "{n,m}" quantifiers,
// and "\1".."\9" repeating the pattern of an earlier block.
#include <memory>
#include <vector>

#include "platform/rtl/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/types.h"

class TStream;

// ---- Message texts ------------------------------------------------------------------

inline constexpr TResourceString scxRegExprParameterQuantifierNotAllowed{
    65008, u"The parameter quantifier cannot be applied here"};
inline constexpr TResourceString scxRegExprStarQuantifierNotAllowed{
    65024, u"The '*' quantifier cannot be applied here"};
inline constexpr TResourceString scxRegExprEmptyAlternative{65025, u"The alternative should not be empty"};
inline constexpr TResourceString scxRegExprEmptyBlock{65026, u"The block should not be empty"};
inline constexpr TResourceString scxRegExprIllegal{65027, u"Illegal '%s'"};
inline constexpr TResourceString scxRegExprIllegalQuantifier{65028, u"Illegal quantifier '%s'"};
inline constexpr TResourceString scxRegExprIllegalInteger{65029, u"Illegal integer value"};
inline constexpr TResourceString scxRegExprTooBigReference{65030, u"Too big reference number"};
inline constexpr TResourceString scxRegExprEmptyEnumeration{65031, u"Can't create empty enumeration"};
inline constexpr TResourceString scxRegExprSubrangeOrder{
    65032, u"The starting character of the subrange must be less than the finishing one"};
inline constexpr TResourceString scxRegExprHexNumberExpected{65033, u"Hexadecimal number expected"};
inline constexpr TResourceString scxRegExprHexNumberExpectedFound{
    65034, u"Hexadecimal number expected but '%s' found"};
inline constexpr TResourceString scxRegExprMissing{65035, u"Missing '%s'"};
inline constexpr TResourceString scxRegExprUnnecessary{65036, u"Unnecessary '%s'"};
inline constexpr TResourceString scxRegExprSpaceAfterBackslash{
    65037, u"The space character is not allowed after '\\'"};
inline constexpr TResourceString scxRegExprNotCompiled{65038, u"Regular expression is not compiled"};
inline constexpr TResourceString scxRegExprIncorrectParameterQuantifier{65039, u"Incorrect parameter quantifier"};
// Reported when a pattern would grow beyond the engine's limits (see
// cxRegExprMaxPositions and cxRegExprMaxDepth).
inline constexpr TResourceString scxRegExprTooComplex{65050, u"The regular expression is too complex"};
inline constexpr TResourceString scxRegExprLine{65051, u"Line"};
inline constexpr TResourceString scxRegExprChar{65052, u"Char"};
inline constexpr TResourceString scxRegExprStreamNotAssigned{65053, u"The source stream is not assigned"};
inline constexpr TResourceString scxRegExprStreamEmpty{65054, u"The source stream is empty"};
inline constexpr TResourceString scxRegExprPlusQuantifierNotAllowed{
    65055, u"The '+' quantifier cannot be applied here"};

// Limits that keep a hostile pattern from exhausting memory or the stack:
// the number of character positions after counts and references are
// expanded, and the nesting depth of blocks.
inline constexpr Integer cxRegExprMaxPositions = 2000;
inline constexpr Integer cxRegExprMaxDepth = 200;

// ---- Errors ---------------------------------------------------------------------------

class TcxRegExprError {
public:
  TcxRegExprError(Integer ALine, Integer AColumn, const String& AMessage)
      : Line(ALine), Column(AColumn), Message(AMessage) {}

  // "Line<n>, Char<m>: <message>"; the column part is left out when the
  // column is 0, the whole position when the line is 0.
  String Describe() const;

  Integer Line;
  Integer Column;
  String Message;
};

class TcxRegExprErrors {
public:
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError when AIndex is out of range.
  const TcxRegExprError& Items(Integer AIndex) const;
  const TcxRegExprError& operator[](Integer AIndex) const { return Items(AIndex); }
  void Add(const TcxRegExprError& AError) { FItems.push_back(AError); }
  void Clear() { FItems.clear(); }

private:
  std::vector<TcxRegExprError> FItems;
};

// Raised by TcxRegExpr::Compile. Its own message is empty; the errors (with
// their lines and columns) travel with the exception as a copy, so they stay
// readable even when the engine that raised it is gone.
class EcxRegExprError : public Exception {
public:
  explicit EcxRegExprError(const TcxRegExprErrors& AErrors) : Exception(String()), FErrors(AErrors) {}
  const TcxRegExprErrors& Errors() const { return FErrors; }

private:
  TcxRegExprErrors FErrors;
};

// ---- The engine -----------------------------------------------------------------------

class TcxRegExprAutomat;

using TcxRegExprForcedCharAddedEvent = TEvent<void(Char AChar)>;
using TcxRegExprForcedCharRemovedEvent = TEvent<void()>;

class TcxRegExpr {
public:
  TcxRegExpr();
  ~TcxRegExpr();
  TcxRegExpr(const TcxRegExpr&) = delete;
  TcxRegExpr& operator=(const TcxRegExpr&) = delete;

  // Compiles ASource; raises EcxRegExprError carrying every error found.
  // With AutoAdvance on, forced characters are advanced over at once.
  void Compile(const String& ASource);
  // Compiles the whole content of AStream, read from its start as UTF-8.
  // nullptr reports "The source stream is not assigned".
  void Compile(TStream* AStream);
  // Forgets the pattern, its errors and the automaton.
  void Clear();

  bool Compiled() const { return FCompiled; }
  // The compiled source, empty when nothing is compiled.
  String Source() const { return FCompiled ? FSource : String(); }
  // The errors of the last compile (empty after a success or Clear).
  const TcxRegExprErrors& Errors() const { return FErrors; }

  // Each of the following raises Exception "Regular expression is not
  // compiled" when no compile has succeeded.

  // One typed character; true when it fits. With CaseInsensitive the
  // character may come back in the pattern's own case.
  bool Advance(Char& AChar);
  // Takes back the last character (with AutoAdvance, together with the
  // forced characters that followed it); false at the start.
  bool StepBack();
  // Back to the start, without inserting forced characters.
  void Restart();
  // True when the characters consumed so far form a whole match.
  bool IsComplete();
  bool AtStart();
  // Feeds AText from the current state; answers the characters that fitted,
  // as they were given.
  String FilterText(const String& AText);

  bool AutoAdvance() const { return FAutoAdvance; }
  // Switching it on while compiled advances over forced characters at once.
  void SetAutoAdvance(bool AValue);
  bool CaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool AValue) { FCaseInsensitive = AValue; }

  // Fired for every forced character the engine advances over.
  TcxRegExprForcedCharAddedEvent OnForcedCharAdded;
  // Fired for every forced character the engine steps back over.
  TcxRegExprForcedCharRemovedEvent OnForcedCharRemoved;

private:
  void CheckCompiled() const;
  [[noreturn]] void RaiseErrors();
  void AdvanceOverForced();

  String FSource;
  TcxRegExprErrors FErrors;
  std::unique_ptr<TcxRegExprAutomat> FAutomat;
  bool FCompiled = false;
  bool FAutoAdvance = false;
  bool FCaseInsensitive = false;
};
