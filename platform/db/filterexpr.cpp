#include "platform/db/filterexpr.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

// ---- Syntax tree -------------------------------------------------------------

enum class TFilterOp { Eq, Ne, Lt, Le, Gt, Ge, Like, In, Between, IsNull };

struct TFilterOperand {
  bool IsField = false;
  String Name;          // field name
  Integer Index = -1;   // bound value index
  Variant Literal;      // literal value (Null for NULL)
  bool IsText = false;  // literal written as text
};

struct TFilterNode {
  enum TKind { And, Or, Not, True, Test } Kind = True;
  std::vector<std::unique_ptr<TFilterNode>> Children;
  TFilterOp Op = TFilterOp::Eq;
  bool Negated = false;
  std::vector<TFilterOperand> Operands;  // left first
};

namespace {

// ---- Tokens --------------------------------------------------------------------

enum class TTok { End, Name, Text, Number, Date, Symbol, LParen, RParen, Comma };

struct TToken {
  TTok Kind = TTok::End;
  String Text;      // name, keyword (upper case in Upper), text, symbol
  String Upper;
  Integer Pos = 0;  // 1-based
};

bool IsNameStart(Char c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c >= 0x80; }
bool IsNameChar(Char c) { return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'.' || c == u'$'; }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

[[noreturn]] void SyntaxError(Integer pos, const String& what) {
  throw EDatabaseError(u"Filter expression error at position " + IntToStr(pos) + u": " + what);
}

class TLexer {
public:
  explicit TLexer(const String& text) : FText(text) {}

  TToken Next() {
    while (FPos < FText.size() && FText[FPos] <= u' ') ++FPos;
    TToken tok;
    tok.Pos = Integer(FPos) + 1;
    if (FPos >= FText.size()) return tok;
    Char c = FText[FPos];
    if (c == u'\'' || c == u'"') return Quoted(tok, c, TTok::Text);
    if (c == u'#') return Quoted(tok, u'#', TTok::Date);
    if (c == u'[') return Bracketed(tok);
    if (IsDigit(c) || (c == u'.' && FPos + 1 < FText.size() && IsDigit(FText[FPos + 1]))) return Number(tok);
    if (IsNameStart(c)) {
      size_t start = FPos;
      while (FPos < FText.size() && IsNameChar(FText[FPos])) ++FPos;
      tok.Kind = TTok::Name;
      tok.Text = FText.substr(start, FPos - start);
      tok.Upper = UpperCase(tok.Text);
      return tok;
    }
    ++FPos;
    switch (c) {
      case u'(': tok.Kind = TTok::LParen; return tok;
      case u')': tok.Kind = TTok::RParen; return tok;
      case u',': tok.Kind = TTok::Comma; return tok;
      case u'=': case u'-': return Symbol(tok, String(1, c));
      case u'<':
        if (Peek(u'>') || Peek(u'=')) return Symbol(tok, String{c, FText[FPos++]});
        return Symbol(tok, u"<");
      case u'>':
        if (Peek(u'=')) return Symbol(tok, String{c, FText[FPos++]});
        return Symbol(tok, u">");
      case u'!':
        if (Peek(u'=')) { ++FPos; return Symbol(tok, u"<>"); }
        break;
      default: break;
    }
    SyntaxError(tok.Pos, u"unexpected character '" + String(1, c) + u"'");
  }

private:
  bool Peek(Char c) const { return FPos < FText.size() && FText[FPos] == c; }

  TToken Symbol(TToken tok, const String& s) {
    tok.Kind = TTok::Symbol;
    tok.Text = s;
    return tok;
  }

  TToken Quoted(TToken tok, Char quote, TTok kind) {
    ++FPos;
    String value;
    for (;;) {
      if (FPos >= FText.size()) SyntaxError(tok.Pos, u"unterminated quoted text");
      Char c = FText[FPos++];
      if (c == quote) {
        if (quote != u'#' && Peek(quote)) { value += quote; ++FPos; continue; }
        break;
      }
      value += c;
    }
    tok.Kind = kind;
    tok.Text = value;
    return tok;
  }

  TToken Bracketed(TToken tok) {
    ++FPos;
    String value;
    for (;;) {
      if (FPos >= FText.size()) SyntaxError(tok.Pos, u"missing ']'");
      Char c = FText[FPos++];
      if (c == u']') {
        if (Peek(u']')) { value += c; ++FPos; continue; }
        break;
      }
      value += c;
    }
    if (value.empty()) SyntaxError(tok.Pos, u"empty field name");
    tok.Kind = TTok::Name;
    tok.Text = value;
    tok.Upper = u"[]";  // never a keyword
    return tok;
  }

  TToken Number(TToken tok) {
    size_t start = FPos;
    while (FPos < FText.size() && (IsDigit(FText[FPos]) || FText[FPos] == u'.')) ++FPos;
    if (FPos < FText.size() && (FText[FPos] == u'e' || FText[FPos] == u'E')) {
      size_t save = FPos++;
      if (FPos < FText.size() && (FText[FPos] == u'+' || FText[FPos] == u'-')) ++FPos;
      if (FPos < FText.size() && IsDigit(FText[FPos])) {
        while (FPos < FText.size() && IsDigit(FText[FPos])) ++FPos;
      } else {
        FPos = save;
      }
    }
    if (FPos < FText.size() && IsNameStart(FText[FPos])) SyntaxError(tok.Pos, u"invalid number");
    tok.Kind = TTok::Number;
    tok.Text = FText.substr(start, FPos - start);
    return tok;
  }

  const String& FText;
  size_t FPos = 0;
};

// ---- Parser -----------------------------------------------------------------------

class TParser {
public:
  explicit TParser(const String& text) : FLexer(text) { Advance(); }

  std::unique_ptr<TFilterNode> ParseAll() {
    auto node = Condition();
    if (FTok.Kind != TTok::End) SyntaxError(FTok.Pos, u"unexpected '" + Describe() + u"'");
    return node;
  }

private:
  void Advance() { FTok = FLexer.Next(); }
  bool IsKeyword(const char16_t* word) const { return FTok.Kind == TTok::Name && FTok.Upper == word; }
  bool IsSymbol(const char16_t* s) const { return FTok.Kind == TTok::Symbol && FTok.Text == s; }

  String Describe() const {
    switch (FTok.Kind) {
      case TTok::End: return u"end of text";
      case TTok::LParen: return u"(";
      case TTok::RParen: return u")";
      case TTok::Comma: return u",";
      default: return FTok.Text;
    }
  }

  void Expect(TTok kind, const char16_t* what) {
    if (FTok.Kind != kind) SyntaxError(FTok.Pos, String(u"expected ") + what + u" but found '" + Describe() + u"'");
    Advance();
  }

  // A chain of tests joined by one operator is one node with a child per
  // test, so that a long chain is parsed, bound, evaluated and freed
  // without going one level deeper per test.
  template <class TNext>
  std::unique_ptr<TFilterNode> Chain(TFilterNode::TKind kind, const char16_t* word, TNext next) {
    auto first = (this->*next)();
    if (!IsKeyword(word)) return first;
    auto node = std::make_unique<TFilterNode>();
    node->Kind = kind;
    node->Children.push_back(std::move(first));
    while (IsKeyword(word)) {
      Advance();
      node->Children.push_back((this->*next)());
    }
    return node;
  }

  std::unique_ptr<TFilterNode> Condition() { return Chain(TFilterNode::Or, u"OR", &TParser::Term); }

  std::unique_ptr<TFilterNode> Term() { return Chain(TFilterNode::And, u"AND", &TParser::Factor); }

  // Counts one level of NOT or parentheses for as long as the caller runs.
  class TNesting {
  public:
    TNesting(Integer& depth, Integer pos) : FDepth(depth) {
      if (++FDepth > MaxFilterNesting) {
        --FDepth;
        SyntaxError(pos, u"expression nested too deeply (more than " + IntToStr(MaxFilterNesting) + u" levels)");
      }
    }
    ~TNesting() { --FDepth; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;

  private:
    Integer& FDepth;
  };

  std::unique_ptr<TFilterNode> Factor() {
    if (IsKeyword(u"NOT")) {
      TNesting level(FDepth, FTok.Pos);
      Advance();
      auto node = std::make_unique<TFilterNode>();
      node->Kind = TFilterNode::Not;
      node->Children.push_back(Factor());
      return node;
    }
    if (FTok.Kind == TTok::LParen) {
      TNesting level(FDepth, FTok.Pos);
      Advance();
      if (FTok.Kind == TTok::RParen) {  // an empty group holds for every record
        Advance();
        return std::make_unique<TFilterNode>();
      }
      auto node = Condition();
      Expect(TTok::RParen, u"')'");
      return node;
    }
    return Test();
  }

  TFilterOperand Operand() {
    TFilterOperand op;
    Integer pos = FTok.Pos;
    switch (FTok.Kind) {
      case TTok::Name:
        if (FTok.Upper == u"NULL") {
          op.Literal = Null();
        } else if (FTok.Upper == u"TRUE" || FTok.Upper == u"FALSE") {
          op.Literal = Variant(FTok.Upper == u"TRUE");
        } else if (IsReserved()) {
          SyntaxError(pos, u"expected a field or a value but found '" + FTok.Text + u"'");
        } else {
          op.IsField = true;
          op.Name = FTok.Text;
        }
        break;
      case TTok::Text:
        op.Literal = Variant(FTok.Text);
        op.IsText = true;
        break;
      case TTok::Date: {
        TDateTime d;
        if (!TryParseDateText(FTok.Text, d)) SyntaxError(pos, u"invalid date '" + FTok.Text + u"'");
        op.Literal = VarFromDateTime(d);
        break;
      }
      case TTok::Symbol:
        if (FTok.Text == u"-") {
          Advance();
          if (FTok.Kind != TTok::Number) SyntaxError(FTok.Pos, u"expected a number after '-'");
          op.Literal = NumberValue(u"-" + FTok.Text, pos);
          break;
        }
        SyntaxError(pos, u"expected a field or a value but found '" + FTok.Text + u"'");
      case TTok::Number:
        op.Literal = NumberValue(FTok.Text, pos);
        break;
      default:
        SyntaxError(pos, u"expected a field or a value but found '" + Describe() + u"'");
    }
    Advance();
    return op;
  }

  bool IsReserved() const {
    static const char16_t* words[] = {u"AND", u"OR", u"NOT", u"LIKE", u"IN", u"BETWEEN", u"IS"};
    for (auto w : words)
      if (FTok.Upper == w) return true;
    return false;
  }

  static Variant NumberValue(const String& text, Integer pos) {
    Int64 i;
    if (TryStrToInt64(text, i)) {
      if (i >= INT32_MIN && i <= INT32_MAX) return Variant(Integer(i));
      return Variant(i);
    }
    double d;
    if (TryStrToFloat(text, d, TFormatSettings::Invariant())) return Variant(d);
    SyntaxError(pos, u"invalid number '" + text + u"'");
  }

  std::unique_ptr<TFilterNode> Test() {
    auto node = std::make_unique<TFilterNode>();
    node->Kind = TFilterNode::Test;
    node->Operands.push_back(Operand());
    if (FTok.Kind == TTok::Symbol) {
      static const std::pair<const char16_t*, TFilterOp> ops[] = {
          {u"=", TFilterOp::Eq}, {u"<>", TFilterOp::Ne}, {u"<", TFilterOp::Lt},
          {u"<=", TFilterOp::Le}, {u">", TFilterOp::Gt}, {u">=", TFilterOp::Ge}};
      for (auto& [s, op] : ops)
        if (FTok.Text == s) node->Op = op;
      if (FTok.Text == u"-") SyntaxError(FTok.Pos, u"expected an operator but found '-'");
      Advance();
      node->Operands.push_back(Operand());
      return node;
    }
    if (IsKeyword(u"IS")) {
      Advance();
      if (IsKeyword(u"NOT")) {
        node->Negated = true;
        Advance();
      }
      if (!IsKeyword(u"NULL")) SyntaxError(FTok.Pos, u"expected NULL but found '" + Describe() + u"'");
      Advance();
      node->Op = TFilterOp::IsNull;
      return node;
    }
    if (IsKeyword(u"NOT")) {
      node->Negated = true;
      Advance();
    }
    if (IsKeyword(u"LIKE")) {
      Advance();
      node->Op = TFilterOp::Like;
      node->Operands.push_back(Operand());
    } else if (IsKeyword(u"BETWEEN")) {
      Advance();
      node->Op = TFilterOp::Between;
      node->Operands.push_back(Operand());
      if (!IsKeyword(u"AND")) SyntaxError(FTok.Pos, u"expected AND but found '" + Describe() + u"'");
      Advance();
      node->Operands.push_back(Operand());
    } else if (IsKeyword(u"IN")) {
      Advance();
      node->Op = TFilterOp::In;
      Expect(TTok::LParen, u"'('");
      node->Operands.push_back(Operand());
      while (FTok.Kind == TTok::Comma) {
        Advance();
        node->Operands.push_back(Operand());
      }
      Expect(TTok::RParen, u"')'");
    } else {
      SyntaxError(FTok.Pos, u"expected an operator but found '" + Describe() + u"'");
    }
    return node;
  }

  TLexer FLexer;
  TToken FTok;
  Integer FDepth = 0;  // NOTs and parentheses open at the current token
};

// ---- Evaluation --------------------------------------------------------------------

bool IsNullish(const Variant& v) { return VarIsNull(v) || VarIsEmpty(v); }

bool IsDateType(const Variant& v) {
  TVarType t = VarType(v);
  return t == varDate || t == varSQLTimeStampCode;
}

// Compares two non-null values: <0, 0, >0; false when they cannot be compared.
bool CompareValues(const Variant& a, const Variant& b, const TFilterEvalOptions& options, int& result) {
  if (VarIsStr(a) && VarIsStr(b)) {
    String sa = a.AsString(), sb = b.AsString();
    // Without regard to case, texts are ordered as their upper-case forms,
    // as LIKE matches them.
    result = options.CaseInsensitive ? AnsiCompareStr(AnsiUpperCase(sa), AnsiUpperCase(sb)) : AnsiCompareStr(sa, sb);
    return true;
  }
  try {
    if (IsDateType(a) && VarIsStr(b)) {
      TDateTime d;
      if (!TryParseDateText(b.AsString(), d)) return false;
      return CompareValues(a, VarFromDateTime(d), options, result);
    }
    if (VarIsStr(a) && IsDateType(b)) {
      if (!CompareValues(b, a, options, result)) return false;
      result = -result;
      return true;
    }
    switch (VarCompareValue(a, b)) {
      case vrEqual: result = 0; return true;
      case vrLessThan: result = -1; return true;
      case vrGreaterThan: result = 1; return true;
      default: return false;
    }
  } catch (const EVariantError&) {
    return false;
  } catch (const EConvertError&) {
    return false;
  }
}

bool PartialEquals(const Variant& value, const TFilterOperand& literal, const TFilterEvalOptions& options,
                   bool& matched) {
  if (!options.PartialCompare || !literal.IsText || !VarIsStr(value)) return false;
  const String& pattern = literal.Literal.RawString();
  if (pattern.empty() || pattern.back() != u'*') return false;
  String prefix = pattern.substr(0, pattern.size() - 1);
  String text = value.AsString().substr(0, prefix.size());
  matched = options.CaseInsensitive ? AnsiSameText(text, prefix) : text == prefix;
  return true;
}

class TEvaluator {
public:
  TEvaluator(const std::function<Variant(Integer)>& valueOf, const TFilterEvalOptions& options)
      : FValueOf(valueOf), FOptions(options) {}

  bool Eval(const TFilterNode& node) const {
    switch (node.Kind) {
      case TFilterNode::True: return true;
      case TFilterNode::Not: return !Eval(*node.Children[0]);
      case TFilterNode::And:
        for (const auto& child : node.Children)
          if (!Eval(*child)) return false;
        return true;
      case TFilterNode::Or:
        for (const auto& child : node.Children)
          if (Eval(*child)) return true;
        return false;
      case TFilterNode::Test: {
        bool result = Test(node);
        return node.Negated ? !result && !NullLeft(node) : result;
      }
    }
    return false;
  }

private:
  Variant ValueOf(const TFilterOperand& op) const { return op.IsField ? FValueOf(op.Index) : op.Literal; }

  // A null tested by LIKE, IN or BETWEEN is false whether negated or not.
  bool NullLeft(const TFilterNode& node) const {
    return node.Op != TFilterOp::IsNull && IsNullish(ValueOf(node.Operands[0]));
  }

  bool Test(const TFilterNode& node) const {
    Variant left = ValueOf(node.Operands[0]);
    switch (node.Op) {
      case TFilterOp::IsNull: return IsNullish(left);
      case TFilterOp::Like: {
        Variant pattern = ValueOf(node.Operands[1]);
        if (IsNullish(left) || IsNullish(pattern)) return false;
        return MatchLikePattern(VarToStr(left), VarToStr(pattern), FOptions.CaseInsensitive);
      }
      case TFilterOp::In:
        for (size_t i = 1; i < node.Operands.size(); ++i)
          if (Relation(left, node.Operands[i], TFilterOp::Eq)) return true;
        return false;
      case TFilterOp::Between:
        return Relation(left, node.Operands[1], TFilterOp::Ge) && Relation(left, node.Operands[2], TFilterOp::Le);
      default:
        return Comparison(node);
    }
  }

  bool Comparison(const TFilterNode& node) const {
    const TFilterOperand& a = node.Operands[0];
    const TFilterOperand& b = node.Operands[1];
    bool aNullLiteral = !a.IsField && VarIsNull(a.Literal);
    bool bNullLiteral = !b.IsField && VarIsNull(b.Literal);
    if ((aNullLiteral || bNullLiteral) && (node.Op == TFilterOp::Eq || node.Op == TFilterOp::Ne)) {
      bool isNull = IsNullish(ValueOf(aNullLiteral ? b : a));
      return node.Op == TFilterOp::Eq ? isNull : !isNull;
    }
    return Relation(ValueOf(a), b, node.Op);
  }

  bool Relation(const Variant& left, const TFilterOperand& rightOp, TFilterOp op) const {
    Variant right = ValueOf(rightOp);
    if (IsNullish(left) || IsNullish(right)) return false;
    if (op == TFilterOp::Eq || op == TFilterOp::Ne) {
      bool matched;
      if (!rightOp.IsField && PartialEquals(left, rightOp, FOptions, matched))
        return op == TFilterOp::Eq ? matched : !matched;
    }
    int c;
    if (!CompareValues(left, right, FOptions, c)) return op == TFilterOp::Ne;
    switch (op) {
      case TFilterOp::Eq: return c == 0;
      case TFilterOp::Ne: return c != 0;
      case TFilterOp::Lt: return c < 0;
      case TFilterOp::Le: return c <= 0;
      case TFilterOp::Gt: return c > 0;
      case TFilterOp::Ge: return c >= 0;
      default: return false;
    }
  }

  const std::function<Variant(Integer)>& FValueOf;
  const TFilterEvalOptions& FOptions;
};

void BindNode(TFilterNode& node, const std::function<Integer(const String&)>& resolver) {
  for (auto& child : node.Children) BindNode(*child, resolver);
  for (auto& op : node.Operands) {
    if (!op.IsField) continue;
    op.Index = resolver(op.Name);
    if (op.Index < 0) throw EDatabaseError(u"Field '" + op.Name + u"' not found");
  }
}

// One character of the text: a surrogate pair counts as one.
size_t CharLength(const String& s, size_t i) {
  return (i + 1 < s.size() && s[i] >= 0xD800 && s[i] <= 0xDBFF && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ? 2 : 1;
}

// Wildcard matching with one remembered run wildcard: linear in practice and
// never exponential.
bool LikeMatch(const String& t, const String& p) {
  size_t ti = 0, pi = 0, starP = String::npos, starT = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == u'_') {
      ti += CharLength(t, ti);
      ++pi;
    } else if (pi < p.size() && p[pi] == u'%') {
      starP = pi++;
      starT = ti;
    } else if (pi < p.size() && p[pi] == t[ti]) {
      ++ti;
      ++pi;
    } else if (starP != String::npos) {
      pi = starP + 1;
      starT += CharLength(t, starT);
      ti = starT;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == u'%') ++pi;
  return pi == p.size();
}

Integer ParseDigits(const String& s, size_t& i, size_t maxCount) {
  Integer value = 0;
  size_t start = i;
  while (i < s.size() && i - start < maxCount && IsDigit(s[i])) value = value * 10 + (s[i++] - u'0');
  return i == start ? -1 : value;
}

bool TryParseIsoDate(const String& s, TDateTime& value) {
  size_t i = 0;
  Integer y = ParseDigits(s, i, 4);
  if (y < 0 || i != 4 || i >= s.size() || s[i++] != u'-') return false;
  Integer m = ParseDigits(s, i, 2);
  if (m < 0 || i >= s.size() || s[i++] != u'-') return false;
  Integer d = ParseDigits(s, i, 2);
  TDateTime date;
  if (d < 0 || !TryEncodeDate(Word(y), Word(m), Word(d), date)) return false;
  Integer h = 0, n = 0, sec = 0, ms = 0;
  if (i < s.size()) {
    if (s[i] != u' ' && s[i] != u'T') return false;
    ++i;
    h = ParseDigits(s, i, 2);
    if (h < 0 || i >= s.size() || s[i++] != u':') return false;
    n = ParseDigits(s, i, 2);
    if (n < 0) return false;
    if (i < s.size() && s[i] == u':') {
      ++i;
      sec = ParseDigits(s, i, 2);
      if (sec < 0) return false;
      if (i < s.size() && s[i] == u'.') {
        ++i;
        size_t start = i;
        ms = ParseDigits(s, i, 3);
        if (ms < 0) return false;
        for (size_t k = i - start; k < 3; ++k) ms *= 10;
        while (i < s.size() && IsDigit(s[i])) ++i;
      }
    }
    if (i != s.size()) return false;
  }
  TDateTime time;
  if (!TryEncodeTime(Word(h), Word(n), Word(sec), Word(ms), time)) return false;
  value = date >= 0 ? date + time : date - time;
  return true;
}

}  // namespace

bool MatchLikePattern(const String& text, const String& pattern, bool caseInsensitive) {
  if (caseInsensitive) return LikeMatch(AnsiUpperCase(text), AnsiUpperCase(pattern));
  return LikeMatch(text, pattern);
}

bool TryParseDateText(const String& text, TDateTime& value) {
  String s = Trim(text);
  if (TryParseIsoDate(s, value)) return true;
  return TryStrToDateTime(s, value, FormatSettings());
}

// ---- TFilterExpression --------------------------------------------------------------

TFilterExpression::TFilterExpression() = default;
TFilterExpression::~TFilterExpression() = default;
TFilterExpression::TFilterExpression(TFilterExpression&&) noexcept = default;
TFilterExpression& TFilterExpression::operator=(TFilterExpression&&) noexcept = default;

TFilterExpression::TFilterExpression(const String& text) : FText(text) {
  if (Trim(text).empty()) return;
  FRoot = TParser(text).ParseAll();
}

void TFilterExpression::Bind(const std::function<Integer(const String&)>& resolver) {
  if (FRoot) BindNode(*FRoot, resolver);
}

bool TFilterExpression::Evaluate(const std::function<Variant(Integer)>& valueOf,
                                 const TFilterEvalOptions& options) const {
  if (!FRoot) return true;
  return TEvaluator(valueOf, options).Eval(*FRoot);
}
