#pragma once
// Filter texts of datasets: a parser for the condition language that the
// data layer writes and an evaluator over one record at a time.
//
//   condition := term { OR term }
//   term      := factor { AND factor }
//   factor    := NOT factor | "(" [condition] ")" | test
//   test      := operand ( op operand | [NOT] LIKE operand
//                        | [NOT] IN "(" operand { "," operand } ")"
//                        | [NOT] BETWEEN operand AND operand | IS [NOT] NULL )
//   op        := "=" | "<>" | "!=" | "<" | "<=" | ">" | ">="
//   operand   := name | [bracketed name] | 'text' ('' for a quote) | "text"
//              | number | -number | #date# | NULL | TRUE | FALSE
//
// Keywords are matched without regard to case. LIKE patterns match the
// whole text with % for any run and _ for one character. A comparison with
// NULL by "=" or "<>" tests for null; any other comparison with a null value
// is false; NOT of a test that is false for a null value is true. Text is
// compared with a date value as a date ("yyyy-mm-dd[ hh:nn[:ss[.zzz]]]" or
// the locale's format). Without regard to case, texts are ordered as their
// upper-case forms, the same forms LIKE matches. A text that does not parse raises
// EDatabaseError naming the 1-based position; so does a text that nests
// NOTs and parentheses more than MaxFilterNesting levels deep. Chains of
// tests joined by AND or OR may be of any length.
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

struct TFilterNode;

// The deepest nesting of NOTs and parentheses a filter text may have. Parsing,
// binding and evaluating go one level down the stack per level; the limit
// keeps that far from the end of the stack (a thread of a few hundred
// kilobytes included) and far above what a condition written by a person
// or built from nested filter groups needs.
inline constexpr Integer MaxFilterNesting = 256;

struct TFilterEvalOptions {
  bool CaseInsensitive = false;
  // With partial compare, "= 'abc*'" matches every text that begins with "abc".
  bool PartialCompare = true;
};

class TFilterExpression {
public:
  TFilterExpression();
  explicit TFilterExpression(const String& text);
  ~TFilterExpression();
  TFilterExpression(TFilterExpression&&) noexcept;
  TFilterExpression& operator=(TFilterExpression&&) noexcept;

  bool IsEmpty() const { return !FRoot; }
  const String& Text() const { return FText; }

  // Ties every name to a value index; the resolver answers -1 for an unknown
  // name, which raises EDatabaseError "Field 'name' not found".
  void Bind(const std::function<Integer(const String& name)>& resolver);

  // Whether the record whose values `valueOf` gives passes. An empty
  // expression passes every record.
  bool Evaluate(const std::function<Variant(Integer index)>& valueOf,
                const TFilterEvalOptions& options) const;

private:
  String FText;
  std::unique_ptr<TFilterNode> FRoot;
};

// SQL LIKE: the whole text must match; % matches any run, _ one character.
bool MatchLikePattern(const String& text, const String& pattern, bool caseInsensitive);

// Reads "yyyy-mm-dd[ hh:nn[:ss[.zzz]]]" (also with "T"), then the locale's
// date-time format.
bool TryParseDateText(const String& text, TDateTime& value);
