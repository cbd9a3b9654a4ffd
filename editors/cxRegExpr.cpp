#include "editors/cxRegExpr.h"

#include <algorithm>
#include <cstdint>

#include "foundation/cxClasses.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

// ---- Small text helpers ---------------------------------------------------------------

String DecimalText(Integer AValue) {
  const std::string s = std::to_string(AValue);
  return String(s.begin(), s.end());
}

// The message with its first "%s" replaced by AArg.
String MessageText(const TResourceString& ARes, const String& AArg = String()) {
  String s = LoadResourceText(ARes);
  const size_t p = s.find(u"%s");
  if (p != String::npos) s.replace(p, 2, AArg);
  return s;
}

bool IsWhitespace(Char c) { return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32; }
bool IsDigitChar(Char c) { return c >= u'0' && c <= u'9'; }

int HexValue(Char c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

}  // namespace

// ---- Matching items -------------------------------------------------------------------
// Each item decides for one input character.

class TcxRegExprItem {
public:
  virtual ~TcxRegExprItem() = default;
  // May overwrite AChar with the pattern's own case when case-insensitive.
  virtual bool Matches(Char& AChar, bool ACaseInsensitive) const = 0;
  virtual std::unique_ptr<TcxRegExprItem> Copy() const = 0;
  // True, with the character, when the item stands for exactly one character.
  virtual bool StandsFor(Char& /*AChar*/) const { return false; }
};

namespace {

class TcxRegExprSymbol : public TcxRegExprItem {
public:
  explicit TcxRegExprSymbol(Char AChar) : FChar(AChar) {}
  bool Matches(Char& AChar, bool ACaseInsensitive) const override {
    if (AChar == FChar) return true;
    if (!ACaseInsensitive || AnsiUpperCase(String(1, AChar)) != AnsiUpperCase(String(1, FChar))) return false;
    AChar = FChar;
    return true;
  }
  std::unique_ptr<TcxRegExprItem> Copy() const override { return std::make_unique<TcxRegExprSymbol>(FChar); }
  bool StandsFor(Char& AChar) const override {
    AChar = FChar;
    return true;
  }

private:
  Char FChar;
};

class TcxRegExprDateSeparator : public TcxRegExprItem {
public:
  bool Matches(Char& AChar, bool) const override { return AChar == FormatSettings().DateSeparator; }
  std::unique_ptr<TcxRegExprItem> Copy() const override { return std::make_unique<TcxRegExprDateSeparator>(); }
  bool StandsFor(Char& AChar) const override {
    AChar = FormatSettings().DateSeparator;
    return true;
  }
};

class TcxRegExprTimeSeparator : public TcxRegExprItem {
public:
  bool Matches(Char& AChar, bool) const override { return AChar == FormatSettings().TimeSeparator; }
  std::unique_ptr<TcxRegExprItem> Copy() const override { return std::make_unique<TcxRegExprTimeSeparator>(); }
  bool StandsFor(Char& AChar) const override {
    AChar = FormatSettings().TimeSeparator;
    return true;
  }
};

class TcxRegExprSubrange : public TcxRegExprItem {
public:
  TcxRegExprSubrange(Char AFirst, Char ALast) : FFirst(AFirst), FLast(ALast) {}
  bool Matches(Char& AChar, bool) const override { return AChar >= FFirst && AChar <= FLast; }
  std::unique_ptr<TcxRegExprItem> Copy() const override {
    return std::make_unique<TcxRegExprSubrange>(FFirst, FLast);
  }

private:
  Char FFirst, FLast;
};

class TcxRegExprEnumeration : public TcxRegExprItem {
public:
  explicit TcxRegExprEnumeration(bool AInverse) : Inverse(AInverse) {}
  bool Matches(Char& AChar, bool ACaseInsensitive) const override {
    if (!Inverse) return Contains(AChar, ACaseInsensitive);
    // A member that matches an inverted class must not change the character.
    Char Probe = AChar;
    return !Contains(Probe, ACaseInsensitive);
  }
  bool Inverse;

protected:
  virtual bool Contains(Char& AChar, bool ACaseInsensitive) const = 0;
};

class TcxRegExprUserEnumeration : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  std::unique_ptr<TcxRegExprItem> Copy() const override {
    auto Result = std::make_unique<TcxRegExprUserEnumeration>(Inverse);
    for (const auto& Member : Members) Result->Members.push_back(Member->Copy());
    return Result;
  }
  std::vector<std::unique_ptr<TcxRegExprItem>> Members;

protected:
  bool Contains(Char& AChar, bool ACaseInsensitive) const override {
    for (const auto& Member : Members)
      if (Member->Matches(AChar, ACaseInsensitive)) return true;
    return false;
  }
};

template <bool (*Test)(Char)>
class TcxRegExprCharClass : public TcxRegExprEnumeration {
public:
  using TcxRegExprEnumeration::TcxRegExprEnumeration;
  std::unique_ptr<TcxRegExprItem> Copy() const override { return std::make_unique<TcxRegExprCharClass>(Inverse); }

protected:
  bool Contains(Char& AChar, bool) const override { return Test(AChar); }
};

bool IsIdLetter(Char c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || IsDigitChar(c) || c == u'_';
}

using TcxRegExprDigit = TcxRegExprCharClass<IsDigitChar>;
using TcxRegExprIdLetter = TcxRegExprCharClass<IsIdLetter>;
using TcxRegExprSpace = TcxRegExprCharClass<IsWhitespace>;

class TcxRegExprAll : public TcxRegExprItem {
public:
  bool Matches(Char&, bool) const override { return true; }
  std::unique_ptr<TcxRegExprItem> Copy() const override { return std::make_unique<TcxRegExprAll>(); }
};

// ---- Quantifiers ----------------------------------------------------------------------

class TcxRegExprQuantifier {
public:
  virtual ~TcxRegExprQuantifier() = default;
  virtual bool AllowsZero() const = 0;
  virtual bool AllowsRepeat() const = 0;
  virtual std::unique_ptr<TcxRegExprQuantifier> Copy() const = 0;
};

template <bool Zero, bool Repeat>
class TcxRegExprQuantifierOf : public TcxRegExprQuantifier {
public:
  bool AllowsZero() const override { return Zero; }
  bool AllowsRepeat() const override { return Repeat; }
  std::unique_ptr<TcxRegExprQuantifier> Copy() const override {
    return std::make_unique<TcxRegExprQuantifierOf>();
  }
};

using TcxRegExprSimpleQuantifier = TcxRegExprQuantifierOf<false, false>;
using TcxRegExprQuestionQuantifier = TcxRegExprQuantifierOf<true, false>;
using TcxRegExprStarQuantifier = TcxRegExprQuantifierOf<true, true>;
using TcxRegExprPlusQuantifier = TcxRegExprQuantifierOf<false, true>;

}  // namespace

// ---- States -----------------------------------------------------------------------------

class TcxRegExprSimpleState;

// A state of the automaton with its follow links (referenced, not owned).
class TcxRegExprState {
public:
  virtual ~TcxRegExprState() = default;
  virtual TcxRegExprSimpleState* AsSimple() { return nullptr; }

  std::vector<TcxRegExprState*> Follow;
  // Stamp of the last walk that reached this state.
  std::uint64_t Mark = 0;
};

// One position of the pattern: a matching item (none for the start state).
class TcxRegExprSimpleState : public TcxRegExprState {
public:
  explicit TcxRegExprSimpleState(std::unique_ptr<TcxRegExprItem> AItem) : Item(std::move(AItem)) {}
  TcxRegExprSimpleState* AsSimple() override { return this; }

  std::unique_ptr<TcxRegExprItem> Item;
  bool Final = false;
};

// Entry or exit of a block: transparent, never part of a current set.
class TcxRegExprBlockState : public TcxRegExprState {};

// ---- Parse tree -------------------------------------------------------------------------

namespace {

class TcxRegExprParserItem;
using TcxRegExprParserItemPtr = std::unique_ptr<TcxRegExprParserItem>;

struct TcxRegExprParserAlt {
  std::vector<TcxRegExprParserItemPtr> Items;
};
using TcxRegExprParserAlts = std::vector<TcxRegExprParserAlt>;

class TcxRegExprParserItem {
public:
  explicit TcxRegExprParserItem(std::unique_ptr<TcxRegExprQuantifier> AQuantifier = nullptr)
      : Quantifier(AQuantifier ? std::move(AQuantifier) : std::make_unique<TcxRegExprSimpleQuantifier>()) {}
  virtual ~TcxRegExprParserItem() = default;

  virtual bool CanMatchEmpty() const = 0;
  // Deep copy without follow links.
  virtual TcxRegExprParserItemPtr Copy() const = 0;
  virtual void MarkFinal() = 0;
  virtual TcxRegExprState* EntryPoint() = 0;
  virtual TcxRegExprState* ExitPoint() = 0;
  // Number of character positions, and the nesting depth of blocks.
  virtual Integer Positions() const = 0;
  virtual Integer Height() const = 0;

  std::unique_ptr<TcxRegExprQuantifier> Quantifier;
};

bool AltCanMatchEmpty(const TcxRegExprParserAlt& AAlt) {
  return std::all_of(AAlt.Items.begin(), AAlt.Items.end(), [](const auto& I) { return I->CanMatchEmpty(); });
}

bool AltQuantifiersAllowZero(const TcxRegExprParserAlt& AAlt) {
  return std::all_of(AAlt.Items.begin(), AAlt.Items.end(),
                     [](const auto& I) { return I->Quantifier->AllowsZero(); });
}

// Marks the tail of each alternative: walking back from the last item, every
// item is marked until one that cannot match empty has been marked.
void MarkFinalAlts(TcxRegExprParserAlts& AAlts) {
  for (auto& Alt : AAlts)
    for (auto It = Alt.Items.rbegin(); It != Alt.Items.rend(); ++It) {
      (*It)->MarkFinal();
      if (!(*It)->CanMatchEmpty()) break;
    }
}

class TcxRegExprParserSimpleItem : public TcxRegExprParserItem {
public:
  explicit TcxRegExprParserSimpleItem(std::unique_ptr<TcxRegExprItem> AItem,
                                      std::unique_ptr<TcxRegExprQuantifier> AQuantifier = nullptr)
      : TcxRegExprParserItem(std::move(AQuantifier)), State(std::move(AItem)) {}

  bool CanMatchEmpty() const override { return Quantifier->AllowsZero(); }
  TcxRegExprParserItemPtr Copy() const override {
    return std::make_unique<TcxRegExprParserSimpleItem>(State.Item->Copy(), Quantifier->Copy());
  }
  void MarkFinal() override { State.Final = true; }
  TcxRegExprState* EntryPoint() override { return &State; }
  TcxRegExprState* ExitPoint() override { return &State; }
  Integer Positions() const override { return 1; }
  Integer Height() const override { return 0; }

  TcxRegExprSimpleState State;
};

class TcxRegExprParserBlockItem : public TcxRegExprParserItem {
public:
  using TcxRegExprParserItem::TcxRegExprParserItem;

  bool CanMatchEmpty() const override {
    return Quantifier->AllowsZero() || std::any_of(Alts.begin(), Alts.end(), AltCanMatchEmpty);
  }
  TcxRegExprParserItemPtr Copy() const override {
    auto Result = std::make_unique<TcxRegExprParserBlockItem>(Quantifier->Copy());
    for (const auto& Alt : Alts) {
      TcxRegExprParserAlt& NewAlt = Result->Alts.emplace_back();
      for (const auto& Item : Alt.Items) NewAlt.Items.push_back(Item->Copy());
    }
    return Result;
  }
  void MarkFinal() override { MarkFinalAlts(Alts); }
  TcxRegExprState* EntryPoint() override { return &Entry; }
  TcxRegExprState* ExitPoint() override { return &Exit; }
  Integer Positions() const override {
    Integer Result = 0;
    for (const auto& Alt : Alts)
      for (const auto& Item : Alt.Items) Result += Item->Positions();
    return Result;
  }
  Integer Height() const override {
    Integer Result = 0;
    for (const auto& Alt : Alts)
      for (const auto& Item : Alt.Items) Result = std::max(Result, Item->Height());
    return Result + 1;
  }

  TcxRegExprParserAlts Alts;
  TcxRegExprBlockState Entry, Exit;
};

// ---- Linking ------------------------------------------------------------------------------

// Links AFrom to the entry points of the items after AIndex, up to and
// including the first one that must occur.
void LinkToFollowing(TcxRegExprState* AFrom, TcxRegExprParserAlt& AAlt, size_t AIndex) {
  for (size_t J = AIndex + 1; J < AAlt.Items.size(); ++J) {
    AFrom->Follow.push_back(AAlt.Items[J]->EntryPoint());
    if (!AAlt.Items[J]->Quantifier->AllowsZero()) break;
  }
}

// The entry points of an alternative's leading items.
void LinkToLeading(TcxRegExprState* AFrom, TcxRegExprParserAlt& AAlt) {
  for (auto& Item : AAlt.Items) {
    AFrom->Follow.push_back(Item->EntryPoint());
    if (!Item->Quantifier->AllowsZero()) break;
  }
}

void LinkAlts(TcxRegExprParserAlts& AAlts) {
  for (auto& Alt : AAlts)
    for (size_t I = 0; I < Alt.Items.size(); ++I) {
      TcxRegExprParserItem* Item = Alt.Items[I].get();
      LinkToFollowing(Item->ExitPoint(), Alt, I);
      if (Item->Quantifier->AllowsRepeat()) Item->ExitPoint()->Follow.push_back(Item->EntryPoint());
      auto* Block = dynamic_cast<TcxRegExprParserBlockItem*>(Item);
      if (!Block) continue;
      for (auto& Inner : Block->Alts) LinkToLeading(&Block->Entry, Inner);
      if (std::any_of(Block->Alts.begin(), Block->Alts.end(), AltQuantifiersAllowZero))
        Block->Entry.Follow.push_back(&Block->Exit);
      LinkAlts(Block->Alts);
      for (auto& Inner : Block->Alts)
        for (auto It = Inner.Items.rbegin(); It != Inner.Items.rend(); ++It) {
          (*It)->ExitPoint()->Follow.push_back(&Block->Exit);
          if (!(*It)->Quantifier->AllowsZero()) break;
        }
    }
}

// ---- Lexer ----------------------------------------------------------------------------

enum TcxLexemKind {
  lkSymbol,
  lkOperator,
  lkInteger,
  lkAnyChar,
  lkWordChar,
  lkNonWordChar,
  lkDigit,
  lkNonDigit,
  lkSpace,
  lkNonSpace,
  lkReference,
  lkDateSeparator,
  lkTimeSeparator
};

struct TcxLexem {
  Integer Column;
  TcxLexemKind Kind;
  Integer Line;
  String Text;

  bool IsOperator(Char AChar) const { return Kind == lkOperator && Text[0] == AChar; }
  bool IsEscapeClass() const { return Kind >= lkWordChar && Kind <= lkNonSpace; }
};

class TcxRegExprLexer {
public:
  TcxRegExprLexer(const String& ASource, TcxRegExprErrors& AErrors) : FSource(ASource), FErrors(AErrors) {}

  std::vector<TcxLexem> Run() {
    Integer Depth = 0;
    while (!Eof()) {
      const Char c = Read();
      if (IsWhitespace(c)) continue;
      switch (c) {
        case u'\'': Quoted(); break;
        case u'(': ++Depth; Emit(lkOperator, c); break;
        case u')': --Depth; Emit(lkOperator, c); break;
        case u'*': case u'+': case u'?': case u'|': Emit(lkOperator, c); break;
        case u'.': Emit(lkAnyChar, c); break;
        case u'/': Emit(lkDateSeparator, c); break;
        case u':': Emit(lkTimeSeparator, c); break;
        case u'[': Emit(lkOperator, c); ClassBody(); break;
        case u'{': Emit(lkOperator, c); Count(); break;
        case u'\\': Escape(); break;
        default: Emit(lkSymbol, c);
      }
    }
    if (Depth > 0) Error(0, 0, MessageText(scxRegExprMissing, u")"));
    if (Depth < 0) Error(0, 0, MessageText(scxRegExprUnnecessary, u")"));
    return std::move(FLexems);
  }

private:
  bool Eof() const { return FIndex >= FSource.size(); }
  Char Peek() const { return FSource[FIndex]; }
  Char Read() {
    const Char c = FSource[FIndex++];
    if (c == 13) ++FLine;
    if (c == 10)
      FColumn = 0;
    else
      ++FColumn;
    return c;
  }
  // Skips whitespace; false at the end of the source.
  bool SkipWhitespace() {
    while (!Eof() && IsWhitespace(Peek())) Read();
    return !Eof();
  }
  void Emit(TcxLexemKind AKind, Char AChar) { EmitAt(AKind, String(1, AChar), FLine, FColumn); }
  void EmitAt(TcxLexemKind AKind, const String& AText, Integer ALine, Integer AColumn) {
    FLexems.push_back({AColumn, AKind, ALine, AText});
  }
  void Error(Integer ALine, Integer AColumn, const String& AMessage) {
    FErrors.Add(TcxRegExprError(ALine, AColumn, AMessage));
  }
  void ErrorAfter(const String& AMissing) {
    Error(FLine, FColumn + 1, MessageText(scxRegExprMissing, AMissing));
  }

  // After an apostrophe: literal characters up to the closing one.
  void Quoted() {
    for (;;) {
      if (Eof()) return ErrorAfter(u" ' ");
      const Char c = Read();
      if (c == u'\'') {
        if (Eof() || Peek() != u'\'') return;
        Read();
      }
      Emit(lkSymbol, c);
    }
  }

  // After a backslash; the lexem takes the backslash's position.
  void Escape() {
    const Integer Line = FLine, Column = FColumn;
    if (Eof()) return;
    const Char c = Read();
    auto Put = [&](TcxLexemKind AKind, Char AChar) { EmitAt(AKind, String(1, AChar), Line, Column); };
    if (c >= u'1' && c <= u'9') return Put(lkReference, c);
    if (IsWhitespace(c)) return Error(FLine, FColumn, LoadResourceText(scxRegExprSpaceAfterBackslash));
    switch (c) {
      case u'd': return Put(lkDigit, c);
      case u'D': return Put(lkNonDigit, c);
      case u'w': return Put(lkWordChar, c);
      case u'W': return Put(lkNonWordChar, c);
      case u's': return Put(lkSpace, c);
      case u'S': return Put(lkNonSpace, c);
      case u'a': return Put(lkSymbol, 7);
      case u'e': return Put(lkSymbol, 27);
      case u'f': return Put(lkSymbol, 12);
      case u'n': return Put(lkSymbol, 10);
      case u'r': return Put(lkSymbol, 13);
      case u't': return Put(lkSymbol, 9);
      case u'p': return Put(lkSymbol, FormatSettings().DecimalSeparator);
      case u'x': {
        int Code = 0;
        for (int I = 0; I < 2; ++I) {
          if (Eof()) return Error(FLine, FColumn + 1, LoadResourceText(scxRegExprHexNumberExpected));
          const Char h = Read();
          if (HexValue(h) < 0)
            return Error(FLine, FColumn, MessageText(scxRegExprHexNumberExpectedFound, String(1, h)));
          Code = Code * 16 + HexValue(h);
        }
        return Put(lkSymbol, static_cast<Char>(Code));
      }
      default: return Put(lkSymbol, c);
    }
  }

  // After "[": members up to "]".
  void ClassBody() {
    for (bool First = true;; First = false) {
      if (!SkipWhitespace()) return ErrorAfter(u"]");
      const Char c = Read();
      switch (c) {
        case u'\'': Quoted(); break;
        case u'/': Emit(lkDateSeparator, c); break;
        case u':': Emit(lkTimeSeparator, c); break;
        case u'\\': Escape(); break;
        case u']': Emit(lkOperator, c); return;
        case u'^': Emit(First ? lkOperator : lkSymbol, c); break;
        case u'-': {
          if (First) {
            Emit(lkSymbol, c);
            break;
          }
          const Integer Line = FLine, Column = FColumn;
          if (!SkipWhitespace()) {
            EmitAt(lkOperator, u"-", Line, Column);
            return ErrorAfter(u"]");
          }
          EmitAt(Peek() == u']' ? lkSymbol : lkOperator, u"-", Line, Column);
          break;
        }
        default: Emit(lkSymbol, c);
      }
    }
  }

  // After "{": integers and commas up to "}".
  void Count() {
    for (;;) {
      if (!SkipWhitespace()) return ErrorAfter(u"}");
      const Char c = Read();
      if (IsDigitChar(c)) {
        const Integer Line = FLine, Column = FColumn;
        String Digits(1, c);
        while (!Eof() && IsDigitChar(Peek())) Digits += Read();
        EmitAt(lkInteger, Digits, Line, Column);
      } else if (c == u',') {
        Emit(lkOperator, c);
      } else if (c == u'}') {
        Emit(lkOperator, c);
        return;
      } else {
        Error(FLine, FColumn, MessageText(scxRegExprIllegal, c == u'\'' ? String(u" ' ") : String(1, c)));
      }
    }
  }

  const String& FSource;
  TcxRegExprErrors& FErrors;
  std::vector<TcxLexem> FLexems;
  size_t FIndex = 0;
  Integer FLine = 1;
  Integer FColumn = 0;
};

// ---- Parser -------------------------------------------------------------------------------

class TcxRegExprParser {
public:
  TcxRegExprParser(const std::vector<TcxLexem>& ALexems, TcxRegExprErrors& AErrors)
      : FLexems(ALexems), FErrors(AErrors) {}

  TcxRegExprParserAlts Run() {
    TcxRegExprParserAlts Result;
    ParseAlts(Result, false);
    return Result;
  }

private:
  enum TAltEnd { aeEnd, aeBar, aeClose };
  static constexpr Int64 CountLimit = 1000000;

  const TcxLexem* Next() {
    if (FAborted || FIndex >= FLexems.size()) return nullptr;
    FLast = &FLexems[FIndex++];
    return FLast;
  }
  void Error(const TcxLexem* ALexem, const String& AMessage) {
    FErrors.Add(ALexem ? TcxRegExprError(ALexem->Line, ALexem->Column, AMessage) : TcxRegExprError(0, 0, AMessage));
  }
  void Error(const TcxLexem* ALexem, const TResourceString& ARes, const String& AArg = String()) {
    Error(ALexem, MessageText(ARes, AArg));
  }
  // Checks that AddedPositions more positions and an item of AHeight inside
  // the open blocks stay within the limits; otherwise reports it.
  bool WithinLimits(const TcxLexem* ALexem, Int64 AAddedPositions, Int64 AHeight) {
    if (FPositions + AAddedPositions <= cxRegExprMaxPositions && FDepth + AHeight <= cxRegExprMaxDepth) {
      FPositions += static_cast<Integer>(AAddedPositions);
      return true;
    }
    Error(ALexem, scxRegExprTooComplex);
    return false;
  }
  // A limit passed by the pattern's own length or nesting: reported once,
  // and nothing more is parsed.
  bool Grow(const TcxLexem* ALexem, Int64 AAddedPositions, Int64 AHeight) {
    if (WithinLimits(ALexem, AAddedPositions, AHeight)) return true;
    FAborted = true;
    return false;
  }

  void ParseAlts(TcxRegExprParserAlts& AAlts, bool AInBlock) {
    for (;;) {
      TcxRegExprParserAlt Alt;
      const TAltEnd End = ParseAlt(Alt, AInBlock);
      AAlts.push_back(std::move(Alt));
      if (End != aeBar || FAborted) return;
    }
  }

  TAltEnd ParseAlt(TcxRegExprParserAlt& AAlt, bool AInBlock) {
    const TcxLexem* L = Next();
    if (!L) {
      if (!FAborted) Error(nullptr, scxRegExprEmptyAlternative);
      return aeEnd;
    }
    if (L->IsOperator(u'|')) {
      Error(L, scxRegExprEmptyAlternative);
      return aeBar;
    }
    if (AInBlock && L->IsOperator(u')')) {
      Error(L, scxRegExprEmptyBlock);
      return aeClose;
    }
    for (; L; L = Next()) {
      if (L->Kind != lkOperator) {
        AddItem(AAlt, L);
        continue;
      }
      switch (L->Text[0]) {
        case u'|': return aeBar;
        case u')':
          if (AInBlock) return aeClose;
          Error(L, scxRegExprIllegal, u")");
          break;
        case u'(': ParseBlock(AAlt, L); break;
        case u'[': ParseClass(AAlt, L); break;
        case u'*': ApplyRepeat(AAlt, L, std::make_unique<TcxRegExprStarQuantifier>(), scxRegExprStarQuantifierNotAllowed); break;
        case u'+': ApplyRepeat(AAlt, L, std::make_unique<TcxRegExprPlusQuantifier>(), scxRegExprPlusQuantifierNotAllowed); break;
        case u'?':
          if (AAlt.Items.empty())
            Error(L, scxRegExprIllegalQuantifier, u"?");
          else
            ApplyQuantifier(AAlt, L, std::make_unique<TcxRegExprQuestionQuantifier>());
          break;
        case u'{':
          if (AAlt.Items.empty())
            Error(L, scxRegExprIncorrectParameterQuantifier);
          else
            ParseCount(AAlt, L);
          break;
        case u']': case u'}': case u'-': Error(L, scxRegExprIllegal, L->Text); break;
        default: break;  // "^" and "," mean nothing here
      }
    }
    return aeEnd;
  }

  // A matching item for a lexem of a kind other than operator and integer.
  static std::unique_ptr<TcxRegExprItem> ItemFor(const TcxLexem& ALexem) {
    switch (ALexem.Kind) {
      case lkAnyChar: return std::make_unique<TcxRegExprAll>();
      case lkWordChar: return std::make_unique<TcxRegExprIdLetter>(false);
      case lkNonWordChar: return std::make_unique<TcxRegExprIdLetter>(true);
      case lkDigit: return std::make_unique<TcxRegExprDigit>(false);
      case lkNonDigit: return std::make_unique<TcxRegExprDigit>(true);
      case lkSpace: return std::make_unique<TcxRegExprSpace>(false);
      case lkNonSpace: return std::make_unique<TcxRegExprSpace>(true);
      case lkDateSeparator: return std::make_unique<TcxRegExprDateSeparator>();
      case lkTimeSeparator: return std::make_unique<TcxRegExprTimeSeparator>();
      default: return std::make_unique<TcxRegExprSymbol>(ALexem.Text[0]);
    }
  }

  void AddItem(TcxRegExprParserAlt& AAlt, const TcxLexem* L) {
    if (L->Kind == lkInteger) return Error(L, scxRegExprIllegalInteger);
    if (L->Kind == lkReference) return AddReference(AAlt, L);
    if (!Grow(L, 1, 0)) return;
    AAlt.Items.push_back(std::make_unique<TcxRegExprParserSimpleItem>(ItemFor(*L)));
  }

  void AddReference(TcxRegExprParserAlt& AAlt, const TcxLexem* L) {
    const size_t N = static_cast<size_t>(L->Text[0] - u'0');
    if (N > FBlocks.size()) return Error(L, scxRegExprTooBigReference);
    const TcxRegExprParserBlockItem* Block = FBlocks[N - 1];
    if (!WithinLimits(L, Block->Positions(), Block->Height())) return;
    AAlt.Items.push_back(Block->Copy());
  }

  void ParseBlock(TcxRegExprParserAlt& AAlt, const TcxLexem* L) {
    if (!Grow(L, 0, 1)) return;
    auto Block = std::make_unique<TcxRegExprParserBlockItem>();
    FBlocks.push_back(Block.get());
    ++FDepth;
    ParseAlts(Block->Alts, true);
    --FDepth;
    AAlt.Items.push_back(std::move(Block));
  }

  void ParseClass(TcxRegExprParserAlt& AAlt, const TcxLexem* AOpen) {
    auto Enumeration = std::make_unique<TcxRegExprUserEnumeration>(false);
    const TcxLexem* P = Next();
    if (P && P->IsOperator(u'^')) {
      Enumeration->Inverse = true;
      P = Next();
    }
    if (P && P->IsOperator(u']')) return Error(P, scxRegExprEmptyEnumeration);
    while (P && !P->IsOperator(u']')) {
      const TcxLexem* Q = Next();
      if (Q && Q->IsOperator(u'-')) {
        const TcxLexem* R = Next();
        AddSubrange(*Enumeration, P, R);
        P = Next();
        while (P && P->IsOperator(u'-')) {
          Error(P, scxRegExprIllegal, u"-");
          P = Next();
        }
      } else {
        Enumeration->Members.push_back(ItemFor(*P));
        P = Q;
      }
    }
    if (!Grow(AOpen, 1, 0)) return;
    AAlt.Items.push_back(std::make_unique<TcxRegExprParserSimpleItem>(std::move(Enumeration)));
  }

  void AddSubrange(TcxRegExprUserEnumeration& AEnumeration, const TcxLexem* P, const TcxLexem* R) {
    if (!R) return;
    // A class such as "\d" has no place in a range: it is not one character.
    for (const TcxLexem* Bound : {P, R})
      if (Bound->IsEscapeClass()) return Error(Bound, scxRegExprIllegal, u"\\" + Bound->Text);
    if (P->Text[0] < R->Text[0])
      AEnumeration.Members.push_back(std::make_unique<TcxRegExprSubrange>(P->Text[0], R->Text[0]));
    else
      Error(R, scxRegExprSubrangeOrder);
  }

  void ApplyRepeat(TcxRegExprParserAlt& AAlt, const TcxLexem* L, std::unique_ptr<TcxRegExprQuantifier> AQuantifier,
                   const TResourceString& ANotAllowed) {
    if (AAlt.Items.empty()) return Error(L, scxRegExprIllegalQuantifier, L->Text);
    if (AAlt.Items.back()->CanMatchEmpty()) return Error(L, ANotAllowed);
    ApplyQuantifier(AAlt, L, std::move(AQuantifier));
  }

  // Gives the last item the quantifier, wrapping it in a block when it
  // already has one other than the simple quantifier.
  void ApplyQuantifier(TcxRegExprParserAlt& AAlt, const TcxLexem* L, std::unique_ptr<TcxRegExprQuantifier> AQuantifier) {
    TcxRegExprParserItemPtr& Last = AAlt.Items.back();
    if (!Last->Quantifier->AllowsZero() && !Last->Quantifier->AllowsRepeat()) {
      Last->Quantifier = std::move(AQuantifier);
      return;
    }
    if (!WithinLimits(L, 0, Last->Height() + 1)) return;
    auto Block = std::make_unique<TcxRegExprParserBlockItem>(std::move(AQuantifier));
    Block->Alts.emplace_back().Items.push_back(std::move(Last));
    Last = std::move(Block);
  }

  // Reads "n}", "n,m}" or "n,}" after "{"; false (reported) otherwise.
  bool ReadCount(Int64& AMin, Int64& AMax, bool& AUnbounded) {
    auto Number = [](const TcxLexem* L) {
      Int64 Value = 0;
      for (Char c : L->Text) Value = std::min<Int64>(Value * 10 + (c - u'0'), CountLimit);
      return Value;
    };
    auto Fail = [&] {
      Error(FLast, scxRegExprIncorrectParameterQuantifier);
      return false;
    };
    const TcxLexem* L = Next();
    if (!L || L->Kind != lkInteger) return Fail();
    AMin = AMax = Number(L);
    AUnbounded = false;
    L = Next();
    if (L && L->IsOperator(u'}')) return true;
    if (!L || !L->IsOperator(u',')) return Fail();
    L = Next();
    if (L && L->IsOperator(u'}')) return AUnbounded = true;
    if (!L || L->Kind != lkInteger) return Fail();
    AMax = Number(L);
    L = Next();
    if (!L || !L->IsOperator(u'}') || AMax < AMin) return Fail();
    return true;
  }

  void ParseCount(TcxRegExprParserAlt& AAlt, const TcxLexem* AOpen) {
    Int64 Min, Max;
    bool Unbounded;
    if (!ReadCount(Min, Max, Unbounded)) return;
    TcxRegExprParserItemPtr& Last = AAlt.Items.back();
    if (Last->Quantifier->AllowsZero()) return Error(AOpen, scxRegExprParameterQuantifierNotAllowed);
    const Int64 Copies = Min + (Unbounded ? 1 : 0) + (Max - Min);
    const Int64 Height = 1 + Last->Height() + std::max<Int64>(0, Max - Min - 1);
    if (!WithinLimits(AOpen, Copies * Last->Positions() - Last->Positions(), Height)) return;

    auto Block = std::make_unique<TcxRegExprParserBlockItem>();
    TcxRegExprParserAlt& Alt = Block->Alts.emplace_back();
    for (Int64 I = 0; I < Min; ++I) Alt.Items.push_back(Last->Copy());
    if (Unbounded) Alt.Items.push_back(CopyWith<TcxRegExprStarQuantifier>(*Last));
    if (Max > Min) Alt.Items.push_back(Chain(*Last, Min, Max));
    // The replaced item stays alive: references to blocks inside it may follow.
    FRetired.push_back(std::move(Last));
    Last = std::move(Block);
  }

  template <class Q>
  static TcxRegExprParserItemPtr CopyWith(const TcxRegExprParserItem& AItem) {
    TcxRegExprParserItemPtr Result = AItem.Copy();
    Result->Quantifier = std::make_unique<Q>();
    return Result;
  }

  // Optional copies number ADepth + 1 to AMax of AItem.
  static TcxRegExprParserItemPtr Chain(const TcxRegExprParserItem& AItem, Int64 ADepth, Int64 AMax) {
    if (ADepth == AMax - 1) return CopyWith<TcxRegExprQuestionQuantifier>(AItem);
    auto Block = std::make_unique<TcxRegExprParserBlockItem>(std::make_unique<TcxRegExprQuestionQuantifier>());
    TcxRegExprParserAlt& Alt = Block->Alts.emplace_back();
    Alt.Items.push_back(AItem.Copy());
    Alt.Items.push_back(Chain(AItem, ADepth + 1, AMax));
    return Block;
  }

  const std::vector<TcxLexem>& FLexems;
  TcxRegExprErrors& FErrors;
  size_t FIndex = 0;
  const TcxLexem* FLast = nullptr;
  // Blocks in the order of their opening parentheses (owned by the tree or
  // by FRetired).
  std::vector<const TcxRegExprParserBlockItem*> FBlocks;
  std::vector<TcxRegExprParserItemPtr> FRetired;
  Integer FPositions = 0;
  Integer FDepth = 0;
  bool FAborted = false;
};

}  // namespace

// ---- Automaton ----------------------------------------------------------------------------

// The current set of states and the history of earlier sets are kept in one
// array: every set is a segment of it, the current set is the last one.
class TcxRegExprAutomat {
public:
  explicit TcxRegExprAutomat(TcxRegExprParserAlts&& ATree) : FTree(std::move(ATree)), FStart(nullptr) {
    LinkAlts(FTree);
    MarkFinalAlts(FTree);
    for (auto& Alt : FTree) LinkToLeading(&FStart, Alt);
    FStart.Final = std::any_of(FTree.begin(), FTree.end(), AltCanMatchEmpty);
    Restart();
  }

  bool Advance(Char& AChar, bool ACaseInsensitive) {
    const size_t NewStart = FStore.size();
    ForEachFollower([&](TcxRegExprSimpleState* S) {
      if (S->Item->Matches(AChar, ACaseInsensitive)) FStore.push_back(S);
    });
    return Enter(NewStart);
  }

  bool StepBack() {
    if (FHistory.empty()) return false;
    FStore.resize(FCurrent);
    FCurrent = FHistory.back();
    FHistory.pop_back();
    return true;
  }

  void Restart() {
    FStore.assign(1, &FStart);
    FHistory.clear();
    FCurrent = 0;
  }

  bool IsComplete() const { return IsComplete(FCurrent, FStore.size()); }
  bool AtStart() const { return FStore[FCurrent] == &FStart; }

  // Advances over one forced character: answers it, or false when the next
  // position leaves a choice.
  bool AdvanceForced(Char& AChar) {
    const size_t NewStart = FStore.size();
    ForEachFollower([&](TcxRegExprSimpleState* S) { FStore.push_back(S); });
    if (!ForcedChar(NewStart, FStore.size(), AChar)) {
      FStore.resize(NewStart);
      return false;
    }
    return Enter(NewStart);
  }

  // True when the last character consumed was forced and the set before it
  // was incomplete with only that character to follow, so that stepping back
  // removes a character the engine inserted.
  bool CanStepBackOverForced() {
    Char c = 0;
    if (FHistory.empty() || !ForcedChar(FCurrent, FStore.size(), c)) return false;
    const size_t Previous = FHistory.back();
    if (IsComplete(Previous, FCurrent)) return false;
    const size_t Scratch = FStore.size();
    ForEachFollower(Previous, FCurrent, [&](TcxRegExprSimpleState* S) { FStore.push_back(S); });
    const bool Result = ForcedChar(Scratch, FStore.size(), c);
    FStore.resize(Scratch);
    return Result;
  }

private:
  bool IsComplete(size_t ABegin, size_t AEnd) const {
    return std::any_of(FStore.begin() + ABegin, FStore.begin() + AEnd,
                       [](TcxRegExprSimpleState* S) { return S->Final; });
  }

  // Calls AProc for every simple state that follows a state of the current
  // set, looking through block pseudo-states. Each state is reached at most
  // once per walk, so loops made only of pseudo-states end.
  template <class F>
  void ForEachFollower(F AProc) {
    ForEachFollower(FCurrent, FStore.size(), AProc);
  }
  template <class F>
  void ForEachFollower(size_t ABegin, size_t AEnd, F AProc) {
    const std::uint64_t Mark = ++FMark;
    for (size_t I = ABegin; I < AEnd; ++I) {
      const auto& Follow = FStore[I]->Follow;
      for (auto It = Follow.rbegin(); It != Follow.rend(); ++It) FStack.push_back(*It);
      while (!FStack.empty()) {
        TcxRegExprState* S = FStack.back();
        FStack.pop_back();
        if (S->Mark == Mark) continue;
        S->Mark = Mark;
        if (TcxRegExprSimpleState* Simple = S->AsSimple())
          AProc(Simple);
        else
          for (auto It = S->Follow.rbegin(); It != S->Follow.rend(); ++It) FStack.push_back(*It);
      }
    }
  }

  // Whether the set from AStart to AEnd stands for one character only.
  bool ForcedChar(size_t AStart, size_t AEnd, Char& AChar) const {
    if (AStart >= AEnd) return false;
    for (size_t I = AStart; I < AEnd; ++I) {
      Char c = 0;
      if (!FStore[I]->Item || !FStore[I]->Item->StandsFor(c)) return false;
      if (I == AStart)
        AChar = c;
      else if (c != AChar)
        return false;
    }
    return true;
  }

  // Makes the set from ANewStart current (false and dropped when empty).
  bool Enter(size_t ANewStart) {
    if (FStore.size() == ANewStart) return false;
    FHistory.push_back(FCurrent);
    FCurrent = ANewStart;
    return true;
  }

  TcxRegExprParserAlts FTree;
  TcxRegExprSimpleState FStart;
  std::vector<TcxRegExprSimpleState*> FStore;
  std::vector<size_t> FHistory;  // start of each earlier set
  size_t FCurrent = 0;           // start of the current set
  std::vector<TcxRegExprState*> FStack;
  std::uint64_t FMark = 0;
};

// ---- Errors -------------------------------------------------------------------------------

String TcxRegExprError::Describe() const {
  if (Line <= 0) return Message;
  String Result = LoadResourceText(scxRegExprLine) + DecimalText(Line);
  if (Column > 0) Result += u", " + LoadResourceText(scxRegExprChar) + DecimalText(Column);
  return Result + u": " + Message;
}

const TcxRegExprError& TcxRegExprErrors::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw EListError(u"List index out of bounds (" + DecimalText(AIndex) + u")");
  return FItems[AIndex];
}

// ---- TcxRegExpr -----------------------------------------------------------------------------

TcxRegExpr::TcxRegExpr() = default;
TcxRegExpr::~TcxRegExpr() = default;

void TcxRegExpr::Clear() {
  FSource.clear();
  FErrors.Clear();
  FAutomat.reset();
  FCompiled = false;
}

void TcxRegExpr::RaiseErrors() { throw EcxRegExprError(FErrors); }

void TcxRegExpr::Compile(TStream* AStream) {
  Clear();
  if (!AStream) {
    FErrors.Add(TcxRegExprError(0, 0, LoadResourceText(scxRegExprStreamNotAssigned)));
    RaiseErrors();
  }
  AStream->SetPosition(0);
  std::string Bytes(static_cast<size_t>(AStream->Size()), '\0');
  if (!Bytes.empty()) AStream->ReadBuffer(Bytes.data(), static_cast<Integer>(Bytes.size()));
  Compile(UTF8ToString(Bytes));
}

void TcxRegExpr::Compile(const String& ASource) {
  Clear();
  FSource = ASource;
  if (std::all_of(FSource.begin(), FSource.end(), IsWhitespace)) {
    FErrors.Add(TcxRegExprError(0, 0, LoadResourceText(scxRegExprStreamEmpty)));
    RaiseErrors();
  }
  const std::vector<TcxLexem> Lexems = TcxRegExprLexer(FSource, FErrors).Run();
  if (FErrors.Count() > 0) RaiseErrors();
  TcxRegExprParserAlts Tree = TcxRegExprParser(Lexems, FErrors).Run();
  if (FErrors.Count() > 0) RaiseErrors();
  FAutomat = std::make_unique<TcxRegExprAutomat>(std::move(Tree));
  FCompiled = true;
  if (FAutoAdvance) AdvanceOverForced();
}

void TcxRegExpr::CheckCompiled() const {
  if (!FCompiled) throw Exception(LoadResourceText(scxRegExprNotCompiled));
}

void TcxRegExpr::AdvanceOverForced() {
  Char c = 0;
  // The automaton is looked up again after each event: a handler may clear
  // or recompile the engine.
  while (FAutomat && !FAutomat->IsComplete() && FAutomat->AdvanceForced(c)) OnForcedCharAdded(c);
}

bool TcxRegExpr::Advance(Char& AChar) {
  CheckCompiled();
  if (!FAutomat->Advance(AChar, FCaseInsensitive)) return false;
  if (FAutoAdvance) AdvanceOverForced();
  return true;
}

bool TcxRegExpr::StepBack() {
  CheckCompiled();
  if (FAutoAdvance)
    while (FAutomat->CanStepBackOverForced()) {
      OnForcedCharRemoved();
      if (!FAutomat) return false;  // cleared by the handler
      FAutomat->StepBack();
    }
  return FAutomat->StepBack();
}

void TcxRegExpr::Restart() {
  CheckCompiled();
  FAutomat->Restart();
}

bool TcxRegExpr::IsComplete() {
  CheckCompiled();
  return FAutomat->IsComplete();
}

bool TcxRegExpr::AtStart() {
  CheckCompiled();
  return FAutomat->AtStart();
}

String TcxRegExpr::FilterText(const String& AText) {
  CheckCompiled();
  String Result;
  for (Char c : AText) {
    Char Probe = c;
    if (FAutomat->Advance(Probe, FCaseInsensitive)) Result += c;
  }
  return Result;
}

void TcxRegExpr::SetAutoAdvance(bool AValue) {
  FAutoAdvance = AValue;
  if (FAutoAdvance && FCompiled) AdvanceOverForced();
}
