#include "data/cxFilter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "data/cxDataUtils.h"
#include "data/cxFilterConsts.h"
#include "data/cxLike.h"
#include "data/cxVariants.h"
#include "foundation/cxClasses.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

// ---- Field names -------------------------------------------------------------------------

namespace {

bool IsNameStart(Char C) { return (C >= u'A' && C <= u'Z') || (C >= u'a' && C <= u'z') || C == u'_' || C >= 0x80; }
bool IsNameChar(Char C) { return IsNameStart(C) || (C >= u'0' && C <= u'9') || C == u'.' || C == u'$'; }

bool IsKeyword(const String& AName) {
  static const char16_t* const Keywords[] = {u"AND", u"OR", u"NOT", u"NULL", u"TRUE", u"FALSE",
                                             u"LIKE", u"IN", u"BETWEEN", u"IS"};
  const String Upper = UpperCase(AName);
  for (const char16_t* Keyword : Keywords)
    if (Upper == Keyword) return true;
  return false;
}

bool IsPlainName(const String& AName) {
  if (AName.empty() || !IsNameStart(AName[0])) return false;
  for (Char C : AName)
    if (!IsNameChar(C)) return false;
  return !IsKeyword(AName);
}

// "[...]" with every inner "]" doubled.
bool IsBracketedName(const String& AName) {
  if (AName.size() < 2 || AName.front() != u'[' || AName.back() != u']') return false;
  for (size_t I = 1; I + 1 < AName.size(); ++I) {
    if (AName[I] != u']') continue;
    if (I + 2 >= AName.size() || AName[I + 1] != u']') return false;
    ++I;
  }
  return true;
}

String QuoteText(const String& AText) { return AnsiQuotedStr(AText, u'\''); }

// Numbers in filter texts always take "." as the decimal separator, which
// is what the filter language reads, whatever the locale.
// Floating-point numbers take the shortest of 15 and 17 digits that reads
// back as the same number.
String NumberText(const Variant& AValue) {
  const TFormatSettings Invariant = TFormatSettings::Invariant();
  const TVarType Type = VarType(AValue);
  if (Type == varSingle || Type == varDouble) {
    const double Value = AValue.AsDouble();
    const String Short = FloatToStrF(Value, ffGeneral, 15, 0, Invariant);
    double Back;
    if (TryStrToFloat(Short, Back, Invariant) && Back == Value) return Short;
    return FloatToStrF(Value, ffGeneral, 17, 0, Invariant);
  }
  if (Type == varCurrency) return CurrToStr(AValue.AsCurrency(), Invariant);
  if (Type == VarFMTBcd()) return BcdToStr(VarToBcd(AValue), Invariant);
  return VarToStr(AValue);
}

String FilterWord(const TResourceString& AText) { return cxGetFilterText(AText); }

// Words of the filter language for conditions that hold always or never:
// an empty group holds for every record.
const char16_t* const TrueText = u"()";
const char16_t* const FalseText = u"NOT ()";

String Negation(const String& AText) { return u"NOT (" + AText + u")"; }
String Either(const String& A, const String& B) { return u"(" + A + u") OR (" + B + u")"; }
String Both(const String& A, const String& B) { return u"(" + A + u") AND (" + B + u")"; }
String IsNullText(const String& AField) { return AField + u" IS NULL"; }

bool IsNonFiniteNumber(const Variant& AValue) {
  const TVarType Type = VarType(AValue);
  return (Type == varSingle || Type == varDouble || Type == varDate) && !std::isfinite(AValue.RawDouble());
}

[[noreturn]] void RefuseValue(const char16_t* AWhy) {
  throw EcxFilterError(String(u"Invalid filter value: ") + AWhy);
}

// The trimmed parts of a ";"-separated text; one empty part for an empty text.
std::vector<String> SplitParts(const String& AText) {
  std::vector<String> Parts;
  size_t Start = 0;
  for (;;) {
    const size_t At = AText.find(u';', Start);
    Parts.push_back(Trim(AText.substr(Start, At == String::npos ? String::npos : At - Start)));
    if (At == String::npos) break;
    Start = At + 1;
  }
  return Parts;
}

// The elements of an array value (a plain value is one element).
std::vector<Variant> Elements(const Variant& AValue) {
  std::vector<Variant> Result;
  if (!VarIsArray(AValue) || VarArrayDimCount(AValue) != 1) {
    Result.push_back(AValue);
    return Result;
  }
  for (Integer I = VarArrayLowBound(AValue); I <= VarArrayHighBound(AValue); ++I)
    Result.push_back(AValue.GetElement(I));
  return Result;
}

bool HasNullElement(const Variant& AValue) {
  for (const Variant& Element : Elements(AValue))
    if (VarIsNull(Element)) return true;
  return false;
}

}  // namespace

void cxCheckFilterValue(TcxFilterOperatorKind AKind, const Variant& AValue) {
  if (AKind >= foYesterday) return;  // the date ranges take no value
  const bool IsArray = VarIsArray(AValue);
  if (IsArray && VarArrayDimCount(AValue) != 1) RefuseValue(u"an array of more than one dimension");
  const std::vector<Variant> Items = Elements(AValue);
  for (const Variant& Item : Items) {
    if (VarIsArray(Item)) RefuseValue(u"an array inside an array");
    if (IsNonFiniteNumber(Item)) RefuseValue(u"a number that is not finite");
  }
  switch (AKind) {
    case foBetween:
    case foNotBetween:
      if (!IsArray || Items.size() != 2) RefuseValue(u"a range needs an array of two bounds");
      break;
    case foEqual:
    case foNotEqual:
    case foInList:
    case foNotInList:
      if (IsArray && Items.empty()) RefuseValue(u"an empty list");
      break;
    default:
      if (IsArray) RefuseValue(u"an array where one value is compared");
  }
}

String cxFilterFieldNameText(const String& AFieldName) {
  if (AFieldName.empty() || IsPlainName(AFieldName) || IsBracketedName(AFieldName)) return AFieldName;
  String Result = u"[";
  for (Char C : AFieldName) {
    Result += C;
    if (C == u']') Result += C;
  }
  return Result + u"]";
}

// ---- Operators --------------------------------------------------------------------------


TcxFilterCriteria* TcxFilterOperator::Criteria() const {
  return FCriteriaItem ? FCriteriaItem->Criteria() : nullptr;
}

String TcxFilterOperator::FieldText() const {
  return cxFilterFieldNameText(FCriteriaItem ? FCriteriaItem->GetFieldName() : String());
}

String TcxFilterOperator::ExpandedText(const Variant& AValue) { return ValueToFilterText(AValue); }

String TcxFilterOperator::TestText(const String& ASymbol, const Variant& AValue) {
  return FieldText() + u" " + ASymbol + u" " + ValueToFilterText(AValue);
}

String TcxFilterOperator::OrderingText(const String& ASymbol, const Variant& AValue) {
  const bool NullPasses = ASymbol == u"<" || ASymbol == u"<=";
  if (VarIsNull(AValue)) {
    if (ASymbol == u"<") return FalseText;
    if (ASymbol == u"<=") return IsNullText(FieldText());
    if (ASymbol == u">") return FieldText() + u" IS NOT NULL";
    return TrueText;
  }
  const String Test = TestText(ASymbol, AValue);
  return NullPasses ? Either(Test, IsNullText(FieldText())) : Test;
}

String TcxFilterOperator::ValueToFilterText(const Variant& AValue) {
  String Result;
  if (!CustomValueText(AValue, Result)) {
    TcxFilterCriteria* C = Criteria();
    if (VarIsNull(AValue))
      Result = u"NULL";
    else if (VarIsArray(AValue)) {
      for (const Variant& Element : Elements(AValue))
        Result += (Result.empty() ? u"(" : u", ") + ValueToFilterText(Element);
      Result += Result.empty() ? u"()" : u")";
      return Result;
    } else if (IsDateTimeVariant(AValue))
      Result = QuoteText(C ? C->DateText(AValue) : VarToStr(AValue));
    else if (VarIsStr(AValue))
      Result = QuoteText(VarToStr(AValue));
    else if (VarType(AValue) == varBoolean)
      Result = C ? C->BooleanText(AValue) : VarToStr(AValue);
    else
      Result = NumberText(AValue);
  }
  if (TcxFilterCriteria* C = Criteria()) C->AdjustValueText(FCriteriaItem, AValue, Result);
  return Result;
}

String TcxFilterOperator::AdjustDisplayValue(const String& AText) { return AText; }

bool TcxFilterOperator::CustomValueText(const Variant&, String&) { return false; }

String TcxFilterOperator::Caption() { return Symbol(); }

// Equal and NotEqual ------------------------------------------------------------------------

bool TcxFilterEqualOperator::Compare(const Variant& R, const Variant& C) { return CompareVariantValues(R, C) == 0; }
String TcxFilterEqualOperator::Caption() { return FilterWord(cxSFilterOperatorEqual); }
String TcxFilterEqualOperator::Symbol() { return u"="; }
bool TcxFilterEqualOperator::UsesExpandedText() { return CriteriaItem() && VarIsArray(CriteriaItem()->Value()); }

String TcxFilterEqualOperator::ExpandedText(const Variant& AValue) {
  // A key of several fields: one comparison per field, in list order.
  const std::vector<String> Names = SplitParts(CriteriaItem() ? CriteriaItem()->GetFieldName() : String());
  const std::vector<Variant> Values = Elements(AValue);
  String Result;
  for (size_t I = 0; I < Values.size(); ++I) {
    const String Name = cxFilterFieldNameText(I < Names.size() ? Names[I] : Names.back());
    if (I > 0) Result += u" AND ";
    Result += u"(" + Name + u" = " + TcxFilterOperator::ValueToFilterText(Values[I]) + u")";
  }
  return Result;
}

bool TcxFilterNotEqualOperator::Compare(const Variant& R, const Variant& C) {
  return !TcxFilterEqualOperator::Compare(R, C);
}
String TcxFilterNotEqualOperator::Caption() { return FilterWord(cxSFilterOperatorNotEqual); }
String TcxFilterNotEqualOperator::Symbol() { return u"<>"; }
String TcxFilterNotEqualOperator::ExpandedText(const Variant& AValue) {
  return Negation(VarIsArray(AValue) ? TcxFilterEqualOperator::ExpandedText(AValue) : TestText(u"=", AValue));
}

// Orderings -------------------------------------------------------------------------------------

bool TcxFilterLessOperator::Compare(const Variant& R, const Variant& C) { return CompareVariantValues(R, C) < 0; }
String TcxFilterLessOperator::Caption() { return FilterWord(cxSFilterOperatorLess); }
String TcxFilterLessOperator::Symbol() { return u"<"; }
String TcxFilterLessOperator::ExpandedText(const Variant& AValue) { return OrderingText(Symbol(), AValue); }

bool TcxFilterLessEqualOperator::Compare(const Variant& R, const Variant& C) { return CompareVariantValues(R, C) < 1; }
String TcxFilterLessEqualOperator::Caption() { return FilterWord(cxSFilterOperatorLessEqual); }
String TcxFilterLessEqualOperator::Symbol() { return u"<="; }
String TcxFilterLessEqualOperator::ExpandedText(const Variant& AValue) { return OrderingText(Symbol(), AValue); }

bool TcxFilterGreaterOperator::Compare(const Variant& R, const Variant& C) { return CompareVariantValues(R, C) > 0; }
String TcxFilterGreaterOperator::Caption() { return FilterWord(cxSFilterOperatorGreater); }
String TcxFilterGreaterOperator::Symbol() { return u">"; }
String TcxFilterGreaterOperator::ExpandedText(const Variant& AValue) { return OrderingText(Symbol(), AValue); }

bool TcxFilterGreaterEqualOperator::Compare(const Variant& R, const Variant& C) {
  return CompareVariantValues(R, C) >= 0;
}
String TcxFilterGreaterEqualOperator::Caption() { return FilterWord(cxSFilterOperatorGreaterEqual); }
String TcxFilterGreaterEqualOperator::Symbol() { return u">="; }
String TcxFilterGreaterEqualOperator::ExpandedText(const Variant& AValue) { return OrderingText(Symbol(), AValue); }

// Like -------------------------------------------------------------------------------------------

const TLikeMatcher& TcxFilterLikeOperator::Matcher(const Variant& APattern) {
  TcxFilterCriteria* Owner = Criteria();
  const Char Percent = Owner ? Owner->PercentWildcard() : u'%';
  const Char Underscore = Owner ? Owner->UnderscoreWildcard() : u'_';
  const bool IsText = VarType(APattern) == varOleStr;
  if (FMatcher && Percent == FMatcherPercent && Underscore == FMatcherUnderscore &&
      (IsText ? APattern.RawString() == FMatcherPattern : VarToStr(APattern) == FMatcherPattern))
    return *FMatcher;
  FMatcherPattern = IsText ? APattern.RawString() : VarToStr(APattern);
  FMatcherPercent = Percent;
  FMatcherUnderscore = Underscore;
  FMatcher = std::make_unique<TLikeMatcher>(FMatcherPattern.data(), Integer(FMatcherPattern.size()), Char(0),
                                            Underscore, Percent);
  return *FMatcher;
}

bool TcxFilterLikeOperator::Compare(const Variant& R, const Variant& C) {
  // Not the virtual CompareText: a negating subclass negates Compare already.
  if (VarType(R) == varOleStr) return TcxFilterLikeOperator::CompareText(R.RawString(), C);
  return TcxFilterLikeOperator::CompareText(VarToStr(R), C);
}

bool TcxFilterLikeOperator::CompareText(std::u16string_view AText, const Variant& C) {
  return (FPassMatcher ? *FPassMatcher : Matcher(C)).Matches(AText.data(), Integer(AText.size()));
}

Integer TcxFilterLikeOperator::WildcardMark() {
  String Pattern = CriteriaItem() ? VarToStr(CriteriaItem()->Value()) : String();
  return StripOuterWildcards(Pattern, Criteria() ? Criteria()->PercentWildcard() : u'%');
}

String TcxFilterLikeOperator::Caption() {
  static const TResourceString* const Captions[] = {&cxSFilterOperatorLike, &cxSFilterOperatorBeginsWith,
                                                     &cxSFilterOperatorEndsWith, &cxSFilterOperatorContains};
  return FilterWord(*Captions[WildcardMark()]);
}
String TcxFilterLikeOperator::Symbol() { return u"LIKE"; }

String TcxFilterLikeOperator::ValueToFilterText(const Variant& AValue) {
  if (!VarIsStr(AValue)) return TcxFilterOperator::ValueToFilterText(AValue);
  TcxFilterCriteria* Owner = Criteria();
  const Char Percent = Owner ? Owner->PercentWildcard() : u'%';
  const Char Underscore = Owner ? Owner->UnderscoreWildcard() : u'_';
  String Pattern = VarToStr(AValue);
  for (Char& C : Pattern) {
    if (C == Percent)
      C = u'%';
    else if (C == Underscore)
      C = u'_';
  }
  // In memory a run wildcard that more pattern follows needs a character
  // left in the text, so a pattern that ends in two or more run wildcards
  // needs one character where they start: "a%%" matches what "a_%" does.
  size_t Run = 0;
  while (Run < Pattern.size() && Pattern[Pattern.size() - 1 - Run] == u'%') ++Run;
  if (Run >= 2) Pattern.replace(Pattern.size() - Run, Run, u"_%");
  return TcxFilterOperator::ValueToFilterText(Variant(Pattern));
}

String TcxFilterLikeOperator::ExpandedText(const Variant& AValue) {
  TcxFilterCriteria* Owner = Criteria();
  const String Test = TestText(u"LIKE", AValue);
  const bool MatchesEmpty = MatchLike(String(), VarToStr(AValue), Owner ? Owner->PercentWildcard() : u'%',
                                      Owner ? Owner->UnderscoreWildcard() : u'_');
  return MatchesEmpty ? Either(Test, IsNullText(FieldText())) : Test;
}

String TcxFilterLikeOperator::AdjustDisplayValue(const String& AText) {
  TcxFilterCriteria* Owner = Criteria();
  if (!Owner || !Owner->HasOption(fcoShowOperatorDescription)) return AText;
  String Result = AText;
  StripOuterWildcards(Result, Owner->PercentWildcard());
  return Result;
}

bool TcxFilterNotLikeOperator::Compare(const Variant& R, const Variant& C) {
  return !TcxFilterLikeOperator::Compare(R, C);
}
bool TcxFilterNotLikeOperator::CompareText(std::u16string_view AText, const Variant& C) {
  return !TcxFilterLikeOperator::CompareText(AText, C);
}
String TcxFilterNotLikeOperator::Caption() {
  static const TResourceString* const Captions[] = {&cxSFilterOperatorNotLike, &cxSFilterOperatorDoesNotBeginWith,
                                                     &cxSFilterOperatorDoesNotEndWith,
                                                     &cxSFilterOperatorDoesNotContain};
  return FilterWord(*Captions[WildcardMark()]);
}
String TcxFilterNotLikeOperator::Symbol() { return u"NOT LIKE"; }
String TcxFilterNotLikeOperator::ExpandedText(const Variant& AValue) {
  return Negation(TcxFilterLikeOperator::ExpandedText(AValue));
}

// Between ----------------------------------------------------------------------------------------

bool TcxFilterBetweenOperator::Compare(const Variant& R, const Variant& C) {
  const std::vector<Variant> Bounds = Elements(C);
  if (!VarIsArray(C) || Bounds.size() != 2) return false;
  return CompareVariantValues(Bounds[0], R) <= 0 && CompareVariantValues(R, Bounds[1]) <= 0;
}
String TcxFilterBetweenOperator::Caption() { return FilterWord(cxSFilterOperatorBetween); }
String TcxFilterBetweenOperator::Symbol() { return u"BETWEEN"; }
bool TcxFilterBetweenOperator::UsesExpandedText() {
  return (Criteria() && Criteria()->TranslateBetween()) || (CriteriaItem() && HasNullElement(CriteriaItem()->Value()));
}

String TcxFilterBetweenOperator::ExpandedText(const Variant& AValue) { return RangeText(AValue); }

String TcxFilterBetweenOperator::RangeText(const Variant& AValue) {
  const std::vector<Variant> Bounds = Elements(AValue);
  const bool Translate = Criteria() && Criteria()->TranslateBetween();
  if (Bounds.size() != 2) return FalseText;  // refused when the condition is made
  // Between two values a Null field is out of range either way.
  if (!VarIsNull(Bounds[0]) && !VarIsNull(Bounds[1]))
    return Translate ? Both(TestText(u">=", Bounds[0]), TestText(u"<=", Bounds[1]))
                     : FieldText() + u" BETWEEN " + ValueToFilterText(AValue);
  return Both(OrderingText(u">=", Bounds[0]), OrderingText(u"<=", Bounds[1]));
}

String TcxFilterBetweenOperator::ValueToFilterText(const Variant& AValue) {
  if (!VarIsArray(AValue)) return TcxFilterOperator::ValueToFilterText(AValue);
  const std::vector<Variant> Bounds = Elements(AValue);
  if (Bounds.size() != 2) return String();
  return TcxFilterOperator::ValueToFilterText(Bounds.front()) + u" AND " +
         TcxFilterOperator::ValueToFilterText(Bounds.back());
}

String TcxFilterBetweenOperator::AdjustDisplayValue(const String& AText) {
  const std::vector<String> Parts = SplitParts(AText);
  return Parts[0] + u" " + FilterWord(cxSFilterAndCaption) + u" " + (Parts.size() > 1 ? Parts[1] : String());
}

bool TcxFilterNotBetweenOperator::Compare(const Variant& R, const Variant& C) {
  return !TcxFilterBetweenOperator::Compare(R, C);
}
String TcxFilterNotBetweenOperator::Caption() { return FilterWord(cxSFilterOperatorNotBetween); }
String TcxFilterNotBetweenOperator::Symbol() { return u"NOT BETWEEN"; }
String TcxFilterNotBetweenOperator::ExpandedText(const Variant& AValue) { return Negation(RangeText(AValue)); }

// In list ----------------------------------------------------------------------------------------

bool TcxFilterInListOperator::Compare(const Variant& R, const Variant& C) {
  for (const Variant& Element : Elements(C))
    if (VariantsEqual(Element, R)) return true;
  return false;
}
String TcxFilterInListOperator::Caption() { return FilterWord(cxSFilterOperatorInList); }
String TcxFilterInListOperator::Symbol() { return u"IN"; }
bool TcxFilterInListOperator::UsesExpandedText() {
  return (Criteria() && Criteria()->TranslateIn()) || (CriteriaItem() && HasNullElement(CriteriaItem()->Value()));
}

String TcxFilterInListOperator::ExpandedText(const Variant& AValue) { return ListText(AValue); }

String TcxFilterInListOperator::ListText(const Variant& AValue) {
  const String F = FieldText();
  std::vector<Variant> Values;
  for (const Variant& Element : Elements(AValue))
    if (!VarIsNull(Element)) Values.push_back(Element);
  const bool WithNull = Values.size() != Elements(AValue).size();
  String Result;
  if (Criteria() && Criteria()->TranslateIn()) {
    for (const Variant& Value : Values)
      Result += (Result.empty() ? u"(" : u" OR (") + F + u" = " + TcxFilterOperator::ValueToFilterText(Value) + u")";
    if (WithNull) Result += (Result.empty() ? u"(" : u" OR (") + IsNullText(F) + u")";
    return Result.empty() ? String(FalseText) : Result;
  }
  if (!Values.empty()) Result = F + u" IN " + ValueToFilterText(VarArrayOf(Values));
  if (!WithNull) return Result.empty() ? String(FalseText) : Result;
  return Result.empty() ? IsNullText(F) : Either(Result, IsNullText(F));
}

String TcxFilterInListOperator::ValueToFilterText(const Variant& AValue) {
  String Result;
  for (const Variant& Element : Elements(AValue))
    Result += (Result.empty() ? u"(" : u", ") + TcxFilterOperator::ValueToFilterText(Element);
  return Result.empty() ? String(u"()") : Result + u")";
}

String TcxFilterInListOperator::AdjustDisplayValue(const String& AText) {
  String Result;
  for (const String& Part : SplitParts(AText)) Result += (Result.empty() ? u"(" : u", ") + Part;
  return Result + u")";
}

bool TcxFilterNotInListOperator::Compare(const Variant& R, const Variant& C) {
  return !TcxFilterInListOperator::Compare(R, C);
}
String TcxFilterNotInListOperator::Caption() { return FilterWord(cxSFilterOperatorNotInList); }
String TcxFilterNotInListOperator::Symbol() { return u"NOT IN"; }
String TcxFilterNotInListOperator::ExpandedText(const Variant& AValue) { return Negation(ListText(AValue)); }

// Dates ------------------------------------------------------------------------------------------

bool TcxFilterDateOperator::Compare(const Variant& R, const Variant&) {
  if (VarIsNull(R)) return false;
  return CompareVariantValues(VarFromDateTime(FDate1), R) <= 0 && CompareVariantValues(R, VarFromDateTime(FDate2)) < 0;
}
String TcxFilterDateOperator::Caption() { return DateCaption(); }
String TcxFilterDateOperator::Symbol() { return DateCaption(); }
String TcxFilterDateOperator::DateCaption() { return String(); }
String TcxFilterDateOperator::AdjustDisplayValue(const String&) { return String(); }

String TcxFilterDateOperator::ExpandedText(const Variant&) {
  const String F = FieldText();
  return u"(" + F + u" >= " + TcxFilterOperator::ValueToFilterText(VarFromDateTime(FDate1)) + u") AND (" + F +
         u" < " + TcxFilterOperator::ValueToFilterText(VarFromDateTime(FDate2)) + u")";
}

void TcxFilterDateOperator::UpdateRange() {
  const TDateTime Today = Date();
  GetRange(Today, StartOfWeek(Today), FDate1, FDate2);
}

void TcxFilterDateOperator::GetRange(TDateTime, TDateTime, TDateTime& ADate1, TDateTime& ADate2) {
  ADate1 = ADate2 = 0;
}

namespace {

// The first day of the month AMonths months away from the month of ADate.
TDateTime MonthStart(TDateTime ADate, Integer AMonths) {
  Word Year, Month, Day;
  DecodeDate(ADate, Year, Month, Day);
  Integer Index = Integer(Year) * 12 + (Month - 1) + AMonths;
  return EncodeDate(Word(Index / 12), Word(Index % 12 + 1), 1);
}

TDateTime YearStart(TDateTime ADate, Integer AYears) {
  Word Year, Month, Day;
  DecodeDate(ADate, Year, Month, Day);
  return EncodeDate(Word(Year + AYears), 1, 1);
}

}  // namespace

#define KORVANE_DATE_RANGE(Name, Text, First, Second)                                                  \
  void Name::GetRange(TDateTime AToday, TDateTime AWeekStart, TDateTime& ADate1, TDateTime& ADate2) { \
    (void)AToday;                                                                                   \
    (void)AWeekStart;                                                                               \
    ADate1 = First;                                                                                 \
    ADate2 = Second;                                                                                \
  }                                                                                                 \
  String Name::DateCaption() { return FilterWord(Text); }

KORVANE_DATE_RANGE(TcxFilterYesterdayOperator, cxSFilterOperatorYesterday, AToday - 1, AToday)
KORVANE_DATE_RANGE(TcxFilterTodayOperator, cxSFilterOperatorToday, AToday, AToday + 1)
KORVANE_DATE_RANGE(TcxFilterTomorrowOperator, cxSFilterOperatorTomorrow, AToday + 1, AToday + 2)
KORVANE_DATE_RANGE(TcxFilterLastWeekOperator, cxSFilterOperatorLastWeek, AWeekStart - 7, AWeekStart)
KORVANE_DATE_RANGE(TcxFilterLastMonthOperator, cxSFilterOperatorLastMonth, MonthStart(AToday, -1),
                   MonthStart(AToday, 0))
KORVANE_DATE_RANGE(TcxFilterLastYearOperator, cxSFilterOperatorLastYear, YearStart(AToday, -1), YearStart(AToday, 0))
KORVANE_DATE_RANGE(TcxFilterThisWeekOperator, cxSFilterOperatorThisWeek, AWeekStart, AWeekStart + 7)
KORVANE_DATE_RANGE(TcxFilterThisMonthOperator, cxSFilterOperatorThisMonth, MonthStart(AToday, 0),
                   MonthStart(AToday, 1))
KORVANE_DATE_RANGE(TcxFilterThisYearOperator, cxSFilterOperatorThisYear, YearStart(AToday, 0), YearStart(AToday, 1))
KORVANE_DATE_RANGE(TcxFilterNextWeekOperator, cxSFilterOperatorNextWeek, AWeekStart + 7, AWeekStart + 14)
KORVANE_DATE_RANGE(TcxFilterNextMonthOperator, cxSFilterOperatorNextMonth, MonthStart(AToday, 1),
                   MonthStart(AToday, 2))
KORVANE_DATE_RANGE(TcxFilterNextYearOperator, cxSFilterOperatorNextYear, YearStart(AToday, 1), YearStart(AToday, 2))
#undef KORVANE_DATE_RANGE

// Null ---------------------------------------------------------------------------------------------

bool TcxFilterNullOperator::Compare(const Variant& R, const Variant&) {
  return CriteriaItem() ? CriteriaItem()->IsNullValue(R) : VarIsNull(R);
}
String TcxFilterNullOperator::Caption() { return FilterWord(cxSFilterOperatorIsNull); }
String TcxFilterNullOperator::Symbol() { return u"="; }
String TcxFilterNullOperator::AdjustDisplayValue(const String& AText) {
  return Criteria() && Criteria()->HasOption(fcoShowOperatorDescription) ? String() : AText;
}
String TcxFilterNullOperator::ValueToFilterText(const Variant&) { return TcxFilterOperator::ValueToFilterText(Null()); }
bool TcxFilterNullOperator::UsesExpandedText() { return Criteria() && Criteria()->HasOption(fcoSoftNull); }
String TcxFilterNullOperator::ExpandedText(const Variant& AValue) {
  return Either(TestText(Symbol(), AValue), FieldText() + u" = ''");
}

bool TcxFilterNotNullOperator::Compare(const Variant& R, const Variant& C) {
  return !TcxFilterNullOperator::Compare(R, C);
}
String TcxFilterNotNullOperator::Caption() { return FilterWord(cxSFilterOperatorIsNotNull); }
String TcxFilterNotNullOperator::Symbol() { return u"<>"; }
String TcxFilterNotNullOperator::ExpandedText(const Variant& AValue) {
  return Both(TestText(Symbol(), AValue), FieldText() + u" <> ''");
}

TcxFilterOperatorClass cxFilterOperatorClassOfKind(TcxFilterOperatorKind AKind) {
  static const TcxFilterOperatorClass Classes[] = {
      TcxFilterEqualOperator::StaticClass(),       TcxFilterNotEqualOperator::StaticClass(),
      TcxFilterLessOperator::StaticClass(),        TcxFilterLessEqualOperator::StaticClass(),
      TcxFilterGreaterOperator::StaticClass(),     TcxFilterGreaterEqualOperator::StaticClass(),
      TcxFilterLikeOperator::StaticClass(),        TcxFilterNotLikeOperator::StaticClass(),
      TcxFilterBetweenOperator::StaticClass(),     TcxFilterNotBetweenOperator::StaticClass(),
      TcxFilterInListOperator::StaticClass(),      TcxFilterNotInListOperator::StaticClass(),
      TcxFilterYesterdayOperator::StaticClass(),   TcxFilterTodayOperator::StaticClass(),
      TcxFilterTomorrowOperator::StaticClass(),    TcxFilterLastWeekOperator::StaticClass(),
      TcxFilterLastMonthOperator::StaticClass(),   TcxFilterLastYearOperator::StaticClass(),
      TcxFilterThisWeekOperator::StaticClass(),    TcxFilterThisMonthOperator::StaticClass(),
      TcxFilterThisYearOperator::StaticClass(),    TcxFilterNextWeekOperator::StaticClass(),
      TcxFilterNextMonthOperator::StaticClass(),   TcxFilterNextYearOperator::StaticClass(),
  };
  return AKind < cxFilterOperatorKindCount ? Classes[AKind] : nullptr;
}

// ---- Criteria tree -------------------------------------------------------------------------

namespace {

// Holds an update lock of a criteria for a scope (nothing without one).
class TCriteriaLock {
public:
  explicit TCriteriaLock(TcxFilterCriteria* ACriteria) : FCriteria(ACriteria) {
    if (FCriteria) FCriteria->BeginUpdate();
  }
  ~TCriteriaLock() {
    if (FCriteria) FCriteria->EndUpdate();
  }
  TCriteriaLock(const TCriteriaLock&) = delete;
  TCriteriaLock& operator=(const TCriteriaLock&) = delete;

private:
  TcxFilterCriteria* FCriteria;
};

}  // namespace

TcxCustomFilterCriteriaItem::~TcxCustomFilterCriteriaItem() {
  if (FParent) FParent->Remove(this);
}

void TcxCustomFilterCriteriaItem::Changed() {
  TcxFilterCriteria* Owner = GetCriteria();
  if (Owner && !Owner->Destroying()) Owner->Changed();
}

TcxFilterCriteria* TcxCustomFilterCriteriaItem::GetCriteria() const {
  return FParent ? FParent->GetCriteria() : nullptr;
}

void TcxCustomFilterCriteriaItem::ReadData(TStream*) {}

void TcxCustomFilterCriteriaItem::WriteData(TStream* AStream) { WriteStreamBoolean(AStream, IsItemList()); }

// Groups -------------------------------------------------------------------------------------------

TcxFilterCriteriaItemList::TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* AParent,
                                                     TcxFilterBoolOperatorKind ABoolOperator)
    : TcxCustomFilterCriteriaItem(nullptr), FBoolOperatorKind(ABoolOperator) {
  if (AParent) AParent->Append(this);
}

TcxFilterCriteriaItemList::~TcxFilterCriteriaItemList() {
  TcxFilterCriteria* Owner = GetCriteria();
  TCriteriaLock Lock(Owner && !Owner->Destroying() ? Owner : nullptr);
  if (FParent) FParent->Remove(this);
  while (!FItems.empty()) delete FItems.back();
}

TcxFilterCriteria* TcxFilterCriteriaItemList::GetCriteria() const {
  return FCriteria ? FCriteria : TcxCustomFilterCriteriaItem::GetCriteria();
}

void TcxFilterCriteriaItemList::WriteData(TStream* AStream) {
  TcxCustomFilterCriteriaItem::WriteData(AStream);
  WriteStreamByte(AStream, FBoolOperatorKind);
  WriteStreamInt32(AStream, Count());
  for (TcxCustomFilterCriteriaItem* Item : FItems) Item->WriteData(AStream);
}

TcxFilterCriteriaItem* TcxFilterCriteriaItemList::AddItem(TObject* AItemLink, TcxFilterOperatorKind AOperatorKind,
                                                          const Variant& AValue, const String& ADisplayValue) {
  TcxFilterCriteria* Owner = GetCriteria();
  TCriteriaLock Lock(Owner);
  TcxFilterCriteriaItemClass Class = Owner ? Owner->ItemClass() : TcxFilterCriteriaItem::StaticClass();
  TcxFilterCriteriaItem* Item = Class->Create(this, AItemLink, AOperatorKind, AValue, ADisplayValue);
  // The constructor could not ask a derived class for its operator class.
  if (Item->Operator() == nullptr || Item->GetFilterOperatorClass() != Item->Operator()->ClassType())
    Item->RecreateOperator();
  return Item;
}

TcxFilterCriteriaItemList* TcxFilterCriteriaItemList::AddItemList(TcxFilterBoolOperatorKind ABoolOperator) {
  return new TcxFilterCriteriaItemList(this, ABoolOperator);
}

void TcxFilterCriteriaItemList::Clear() {
  TCriteriaLock Lock(GetCriteria());
  while (!FItems.empty()) delete FItems.back();
}

TcxCustomFilterCriteriaItem* TcxFilterCriteriaItemList::Items(Integer AIndex) const {
  return AIndex >= 0 && AIndex < Count() ? FItems[size_t(AIndex)] : nullptr;
}

Integer TcxFilterCriteriaItemList::IndexOf(const TcxCustomFilterCriteriaItem* AItem) const {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I] == AItem) return Integer(I);
  return -1;
}

void TcxFilterCriteriaItemList::SetBoolOperatorKind(TcxFilterBoolOperatorKind AValue) {
  if (FBoolOperatorKind == AValue) return;
  FBoolOperatorKind = AValue;
  Changed();
}

void TcxFilterCriteriaItemList::Remove(TcxCustomFilterCriteriaItem* AItem) {
  const Integer Index = IndexOf(AItem);
  if (Index < 0) return;
  FItems.erase(FItems.begin() + Index);
  AItem->FParent = nullptr;
  Changed();
}

Integer TcxFilterCriteriaItemList::Depth() const {
  Integer Result = 0;
  for (const TcxFilterCriteriaItemList* L = FParent; L; L = L->FParent) ++Result;
  return Result;
}

namespace {

// How many levels of groups a group holds below itself.
Integer GroupHeight(TcxFilterCriteriaItemList* AList) {
  Integer Height = 0;
  std::vector<std::pair<TcxFilterCriteriaItemList*, Integer>> Pending{{AList, 0}};
  while (!Pending.empty()) {
    const auto [List, Level] = Pending.back();
    Pending.pop_back();
    Height = std::max(Height, Level);
    for (Integer I = 0; I < List->Count(); ++I)
      if (List->Items(I)->IsItemList())
        Pending.push_back({static_cast<TcxFilterCriteriaItemList*>(List->Items(I)), Level + 1});
  }
  return Height;
}

}  // namespace

void TcxFilterCriteriaItemList::Append(TcxCustomFilterCriteriaItem* AItem) {
  if (!AItem || AItem->FParent) return;
  if (AItem->IsItemList() &&
      Depth() + 1 + GroupHeight(static_cast<TcxFilterCriteriaItemList*>(AItem)) > cxMaxFilterGroupDepth)
    throw EcxFilterError(u"Filter groups nested more than " + IntToStr(cxMaxFilterGroupDepth) + u" levels deep");
  AItem->FParent = this;
  FItems.push_back(AItem);
  Changed();
}

// Conditions --------------------------------------------------------------------------------------

TcxFilterCriteriaItem* TcxFilterCriteriaItemMetaClass::Create(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                                              TcxFilterOperatorKind AOperatorKind,
                                                              const Variant& AValue,
                                                              const String& ADisplayValue) const {
  if (!FCreateIn) CannotCreate();
  return FCreateIn(AParent, AItemLink, AOperatorKind, AValue, ADisplayValue);
}

TcxFilterCriteriaItem::TcxFilterCriteriaItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                             TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                             const String& ADisplayValue)
    : TcxCustomFilterCriteriaItem(AParent),
      FDisplayValue(ADisplayValue),
      FItemLink(AItemLink),
      FOperatorKind(AOperatorKind),
      FValue(AValue) {
  cxCheckFilterValue(AOperatorKind, AValue);
  // The operator is made before the condition joins its group (the parent
  // is known meanwhile only to reach the criteria), so that no one is told
  // of a condition without an operator.
  MakeOperator();
  FParent = nullptr;
  if (AParent) AParent->Append(this);
}

TcxFilterCriteriaItem::~TcxFilterCriteriaItem() {
  if (FParent) FParent->Remove(this);
  delete FOperator;
  FOperator = nullptr;
}

void TcxFilterCriteriaItem::ReadData(TStream*) {}

void TcxFilterCriteriaItem::WriteData(TStream* AStream) {
  TcxCustomFilterCriteriaItem::WriteData(AStream);
  WriteStreamByte(AStream, FOperatorKind);
  WriteStreamUTF8String(AStream, FDisplayValue);
  TcxFilterCriteria* Owner = GetCriteria();
  WriteStreamInt32(AStream, Owner ? Owner->IdOfItemLink(ItemLink()) : -1);
  WriteTaggedVariant(AStream, FValue);
}

Variant TcxFilterCriteriaItem::GetDataValue(Integer) { return Null(); }
String TcxFilterCriteriaItem::GetFieldCaption() { return String(); }
String TcxFilterCriteriaItem::GetFieldName() { return String(); }

String TcxFilterCriteriaItem::GetDisplayText() {
  TcxFilterCriteria* Owner = GetCriteria();
  return Owner ? Owner->ItemText(this, true) : String();
}

String TcxFilterCriteriaItem::GetValueText() {
  TcxFilterCriteria* Owner = GetCriteria();
  return Owner ? Owner->ValueText(this, false) : String();
}

TcxFilterOperatorClass TcxFilterCriteriaItem::GetFilterOperatorClass() {
  if (IsNullValue(FValue)) {
    if (FOperatorKind == foEqual || FOperatorKind == foLike) return TcxFilterNullOperator::StaticClass();
    if (FOperatorKind == foNotEqual || FOperatorKind == foNotLike) return TcxFilterNotNullOperator::StaticClass();
  }
  TcxFilterOperatorClass Result = cxFilterOperatorClassOfKind(FOperatorKind);
  return Result ? Result : TcxFilterEqualOperator::StaticClass();
}

void TcxFilterCriteriaItem::MakeOperator() {
  TcxFilterOperator* Operator = GetFilterOperatorClass()->Create(this);
  Operator->UpdateRange();
  delete FOperator;
  FOperator = Operator;
  if (FDisplayValue.empty() && FOperator->InheritsFrom(TcxFilterNullOperator::StaticClass()))
    FDisplayValue = cxGetFilterText(cxSFilterBlankCaption);
}

void TcxFilterCriteriaItem::RecreateOperator() {
  MakeOperator();
  Changed();
}

bool TcxFilterCriteriaItem::IsNullValue(const Variant& AValue) {
  TcxFilterCriteria* Owner = GetCriteria();
  return Owner ? Owner->IsNullValue(AValue) : VarIsNull(AValue);
}

void TcxFilterCriteriaItem::SetItemLink(TObject* AValue) {
  if (FItemLink == AValue) return;
  FItemLink = AValue;
  Changed();
}

void TcxFilterCriteriaItem::SetOperatorKind(TcxFilterOperatorKind AValue) {
  if (FOperatorKind == AValue) return;
  cxCheckFilterValue(AValue, FValue);
  FOperatorKind = AValue;
  RecreateOperator();
}

void TcxFilterCriteriaItem::SetValue(const Variant& AValue) {
  cxCheckFilterValue(FOperatorKind, AValue);
  FValue = AValue;
  RecreateOperator();
}

void TcxFilterCriteriaItem::SetDisplayValue(const String& AValue) {
  if (FDisplayValue == AValue) return;
  FDisplayValue = AValue;
  Changed();
}

// ---- Value list ---------------------------------------------------------------------------


TcxFilterValueList::~TcxFilterValueList() { Clear(); }

void TcxFilterValueList::Clear() {
  for (TcxFilterValueItem* Item : FItems) delete Item;
  FItems.clear();
}

const TcxFilterValueItem& TcxFilterValueList::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) TList::Error(AIndex);
  return *FItems[size_t(AIndex)];
}

Integer TcxFilterValueList::IndexOfKind(TcxFilterValueItemKind AKind) const {
  for (size_t I = 0; I < FItems.size(); ++I)
    if (FItems[I]->Kind == AKind) return Integer(I);
  return -1;
}

void TcxFilterValueList::InsertItem(Integer AIndex, TcxFilterValueItemKind AKind, const Variant& AValue,
                                    const String& AText) {
  FItems.insert(FItems.begin() + AIndex, new TcxFilterValueItem{AKind, AValue, AText});
}

Integer TcxFilterValueList::CompareItem(Integer AIndex, const Variant& AValue, const String& AText) {
  const TcxFilterValueItem& Item = Items(AIndex);
  if (FSortByDisplayText) {
    if (FCriteria && FCriteria->HasOption(fcoCaseInsensitive))
      return AnsiCompareStr(AnsiUpperCase(Item.DisplayText), AnsiUpperCase(AText));
    return AnsiCompareStr(Item.DisplayText, AText);
  }
  if (!FCriteria) return CompareVariantValues(Item.Value, AValue);
  return CompareVariantValues(FCriteria->PrepareValue(Item.Value), FCriteria->PrepareValue(AValue));
}

void TcxFilterValueList::AddItem(TcxFilterValueItemKind AKind, const Variant& AValue, bool AUnsorted,
                                 const String& AText) {
  if (AKind == fviHeadItem) {
    Integer Separator = -1;
    for (Integer I = 0; I < Count() && (FItems[size_t(I)]->Kind == fviHeadItem ||
                                        FItems[size_t(I)]->Kind == fviHeadSeparator);
         ++I)
      if (FItems[size_t(I)]->Kind == fviHeadSeparator) {
        Separator = I;
        break;
      }
    if (Separator < 0) {
      InsertItem(0, fviHeadSeparator, Null(), String());
      Separator = 0;
    }
    InsertItem(Separator, AKind, AValue, AText);
    return;
  }
  if (AKind != fviValue) {
    const Integer FirstValue = IndexOfKind(fviValue);
    InsertItem(FirstValue < 0 ? Count() : FirstValue, AKind, AValue, AText);
    return;
  }
  if (AUnsorted) {
    InsertItem(Count(), AKind, AValue, AText);
    return;
  }
  const Integer Limit = FCriteria ? FCriteria->MaxValueListCount() : 0;
  if (Limit != 0 && Count() >= Limit) return;
  Integer Index;
  if (!FindValue(AValue, AText, Index)) InsertItem(Index, AKind, AValue, AText);
}

bool TcxFilterValueList::FindValue(const Variant& AValue, const String& AText, Integer& AIndex) {
  for (Integer I = 0; I < Count() && FItems[size_t(I)]->Kind == fviHeadItem; ++I)
    if (CompareItem(I, AValue, AText) == 0) {
      AIndex = I;
      return true;
    }
  Integer Low = IndexOfKind(fviValue);
  if (Low < 0) {
    AIndex = Count();
    return false;
  }
  Integer High = Count() - 1;
  bool Found = false;
  while (Low <= High) {
    const Integer Middle = (Low + High) / 2;
    const Integer Compare = CompareItem(Middle, AValue, AText);
    if (Compare < 0) {
      Low = Middle + 1;
    } else {
      if (Compare == 0) Found = true;
      High = Middle - 1;
    }
  }
  AIndex = Low;
  return Found;
}

Integer TcxFilterValueList::IndexOfCriteriaItem(TcxFilterCriteriaItem* AItem) {
  if (!AItem) return -1;
  if (AItem->IsNullValue(AItem->Value())) {
    if (AItem->OperatorKind() == foEqual) return IndexOfKind(fviBlanks);
    if (AItem->OperatorKind() == foNotEqual) return IndexOfKind(fviNonBlanks);
  }
  if (!FCriteria || AItem->Parent() != FCriteria->Root() || AItem->OperatorKind() != foEqual)
    return IndexOfKind(fviCustom);
  Integer Index;
  if (FindValue(AItem->Value(), AItem->DisplayValue(), Index)) return Index;
  return IndexOfKind(fviAll);
}

// ---- Criteria ---------------------------------------------------------------------------------

TcxFilterCriteria::TcxFilterCriteria() {
  FRoot = new TcxFilterCriteriaItemList(nullptr, fboAnd);
  FRoot->FCriteria = this;
}

TcxFilterCriteria::~TcxFilterCriteria() {
  FDestroying = true;
  delete FRoot;
}

void TcxFilterCriteria::Assign(TPersistent* ASource) {
  auto* Source = dynamic_cast<TcxFilterCriteria*>(ASource);
  if (!Source) {
    TPersistent::Assign(ASource);
    return;
  }
  TCriteriaLock Lock(this);
  SetDateTimeFormat(Source->DateTimeFormat());
  SetMaxValueListCount(Source->MaxValueListCount());
  SetOptions(Source->Options());
  SetPercentWildcard(Source->PercentWildcard());
  SetTranslateBetween(Source->TranslateBetween());
  SetTranslateIn(Source->TranslateIn());
  SetSupportedLike(Source->SupportedLike());
  SetUnderscoreWildcard(Source->UnderscoreWildcard());
  AssignItems(Source);
  AssignEvents(Source);
}

void TcxFilterCriteria::ProcessChange() {
  if (!FChanged || FLockCount > 0 || FDestroying) return;
  FChanged = false;
  RefreshDateRanges();
  NotifyChanged();
}

String TcxFilterCriteria::BooleanText(const Variant& AValue) { return VarToStr(AValue); }

String TcxFilterCriteria::DateText(const Variant& AValue) {
  if (FDateTimeFormat.empty()) {
    // The locale's form has no milliseconds; a time that has them is
    // written in the form every dataset reads, so that it stays the same
    // time.
    const TDateTime Value = VarToDateTime(AValue);
    Word Hour, Minute, Second, MilliSecond;
    DecodeTime(Value, Hour, Minute, Second, MilliSecond);
    if (MilliSecond != 0) return FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz", Value, TFormatSettings::Invariant());
    return VarToStr(AValue);
  }
  return FormatDateTime(FDateTimeFormat, VarToDateTime(AValue));
}

void TcxFilterCriteria::AdjustValueText(TcxFilterCriteriaItem*, const Variant&, String&) {}

String TcxFilterCriteria::FilterCaption() { return BuildText(true); }

String TcxFilterCriteria::BuildText(bool ADisplay) { return GroupText(FRoot, ADisplay); }

String TcxFilterCriteria::FilterText() { return BuildText(false); }

String TcxFilterCriteria::GroupText(TcxFilterCriteriaItemList* AList, bool ADisplay) {
  const bool Or = AList->BoolOperatorKind() == fboOr || AList->BoolOperatorKind() == fboNotOr;
  const String Word = ADisplay ? cxGetFilterText(Or ? cxSFilterOrCaption : cxSFilterAndCaption)
                               : String(Or ? u"OR" : u"AND");
  String Result;
  for (Integer I = 0; I < AList->Count(); ++I) {
    TcxCustomFilterCriteriaItem* Child = AList->Items(I);
    const String Text = Child->IsItemList() ? GroupText(static_cast<TcxFilterCriteriaItemList*>(Child), ADisplay)
                                            : ItemText(static_cast<TcxFilterCriteriaItem*>(Child), ADisplay);
    // A group without conditions holds for every record: the filter text
    // keeps it as "()", which reads as true; the caption leaves it out.
    if (Text.empty() && (ADisplay || !Child->IsItemList())) continue;
    if (!Result.empty()) Result += u" " + Word + u" ";
    Result += u"(" + Text + u")";
  }
  if (!Result.empty() && AList->IsNegated())
    Result = (ADisplay ? cxGetFilterText(cxSFilterNotCaption) : String(u"NOT")) + u" (" + Result + u")";
  return Result;
}

Integer TcxFilterCriteria::IdOfItemLink(TObject*) { return -1; }

TObject* TcxFilterCriteria::ItemLinkOfId(Integer) { return nullptr; }

TcxFilterCriteriaItemClass TcxFilterCriteria::ItemClass() { return TcxFilterCriteriaItem::StaticClass(); }

String TcxFilterCriteria::ItemText(TcxFilterCriteriaItem* AItem, bool ADisplay) {
  TcxFilterOperator* Operator = AItem->Operator();
  if (!ADisplay && Operator->UsesExpandedText()) return Operator->ExpandedText(AItem->Value());
  String Result = FieldText(AItem, ADisplay) + u" " + OperatorText(AItem, ADisplay);
  const String Value = ValueText(AItem, ADisplay);
  if (!Value.empty()) Result += u" " + Value;
  return Result;
}

String TcxFilterCriteria::FieldText(TcxFilterCriteriaItem* AItem, bool ADisplay) {
  return ADisplay ? AItem->GetFieldCaption() : cxFilterFieldNameText(AItem->GetFieldName());
}

String TcxFilterCriteria::OperatorText(TcxFilterCriteriaItem* AItem, bool ADisplay) {
  TcxFilterOperator* Operator = AItem->Operator();
  if (ADisplay && (Operator->AlwaysShowsCaption() || HasOption(fcoShowOperatorDescription))) return Operator->Caption();
  return Operator->Symbol();
}

String TcxFilterCriteria::ValueText(TcxFilterCriteriaItem* AItem, bool ADisplay) {
  if (ADisplay) return AItem->Operator()->AdjustDisplayValue(AItem->DisplayValue());
  return AItem->Operator()->ValueToFilterText(AItem->Value());
}

TcxFilterValueListClass TcxFilterCriteria::ValueListClass() { return TcxFilterValueList::StaticClass(); }

namespace {

void ForEachCondition(TcxFilterCriteriaItemList* AList, const std::function<void(TcxFilterCriteriaItem*)>& AProc) {
  for (Integer I = 0; I < AList->Count(); ++I) {
    TcxCustomFilterCriteriaItem* Child = AList->Items(I);
    if (Child->IsItemList())
      ForEachCondition(static_cast<TcxFilterCriteriaItemList*>(Child), AProc);
    else
      AProc(static_cast<TcxFilterCriteriaItem*>(Child));
  }
}

}  // namespace

void TcxFilterCriteria::RefreshDateRanges() {
  ForEachCondition(FRoot, [](TcxFilterCriteriaItem* AItem) {
    if (AItem->Operator()) AItem->Operator()->UpdateRange();
  });
}

Variant TcxFilterCriteria::PrepareValue(const Variant& AValue) {
  if (VarIsArray(AValue) && VarArrayDimCount(AValue) == 1) {
    std::vector<Variant> Items;
    for (const Variant& Element : Elements(AValue)) Items.push_back(PrepareValue(Element));
    return VarArrayOf(Items);
  }
  if (VarType(AValue) == varCurrency) return Variant(AValue.AsDouble());
  if (VarIsStr(AValue) && HasOption(fcoCaseInsensitive)) return Variant(AnsiUpperCase(VarToStr(AValue)));
  return AValue;
}

void TcxFilterCriteria::NotifyChanged() {
  if (OnChanged) OnChanged(this);
}

void TcxFilterCriteria::AssignEvents(TPersistent* ASource) {
  if (auto* Source = dynamic_cast<TcxFilterCriteria*>(ASource)) OnChanged = Source->OnChanged;
}

void TcxFilterCriteria::AssignItems(TcxFilterCriteria* ASource) {
  TCriteriaLock Lock(this);
  Clear();
  TMemoryStream Stream;
  ASource->WriteData(&Stream);
  Stream.SetPosition(0);
  ReadData(&Stream);
}

TcxFilterCriteriaItem* TcxFilterCriteria::AddItem(TcxFilterCriteriaItemList* AList, TObject* AItemLink,
                                                  TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                                  const String& ADisplayValue) {
  return (AList ? AList : FRoot)->AddItem(AItemLink, AOperatorKind, AValue, ADisplayValue);
}

void TcxFilterCriteria::Changed() {
  if (FDestroying) return;
  FChanged = true;
  ProcessChange();
}

TcxFilterCriteriaItem* TcxFilterCriteria::FindItemByItemLink(TObject* AItemLink) {
  TcxFilterCriteriaItem* Result = nullptr;
  ForEachCondition(FRoot, [&](TcxFilterCriteriaItem* AItem) {
    if (!Result && AItem->ItemLink() == AItemLink) Result = AItem;
  });
  return Result;
}

bool TcxFilterCriteria::IsEmpty() { return FRoot->Count() == 0; }

namespace {

void WriteOptions(TStream* AStream, const TcxFilterCriteriaOptions& AOptions) {
  Byte Mask = 0;
  for (TcxFilterCriteriaOption Option : AOptions) Mask |= Byte(1u << Option);
  WriteStreamByte(AStream, Mask);
}

[[noreturn]] void DamagedCriteria(const TResourceString& AText) { throw EReadError(LoadResourceText(AText)); }

}  // namespace

void TcxFilterCriteria::SaveToStream(TStream* AStream) {
  WriteStreamInt32(AStream, FMaxValueListCount);
  WriteOptions(AStream, FOptions);
  WriteStreamWord(AStream, Word(FPercentWildcard));
  WriteStreamWord(AStream, Word(FUnderscoreWildcard));
  WriteData(AStream);
}

void TcxFilterCriteria::LoadFromStream(TStream* AStream) {
  const Integer MaxCount = ReadStreamInt32(AStream);
  const Byte Mask = ReadStreamByte(AStream);
  if (Mask > 0x0F) DamagedCriteria(cxSStreamReadError);
  const Char Percent = Char(ReadStreamWord(AStream));
  const Char Underscore = Char(ReadStreamWord(AStream));
  TCriteriaLock Lock(this);
  ReadData(AStream);
  TcxFilterCriteriaOptions Options;
  for (Integer Bit = 0; Bit < 4; ++Bit)
    if (Mask & (1u << Bit)) Options.insert(TcxFilterCriteriaOption(Bit));
  SetMaxValueListCount(MaxCount);
  SetOptions(Options);
  SetPercentWildcard(Percent);
  SetUnderscoreWildcard(Underscore);
}

void TcxFilterCriteria::RestoreDefaults() {
  TCriteriaLock Lock(this);
  SetOptions({});
  SetPercentWildcard(u'%');
  SetUnderscoreWildcard(u'_');
  SetSupportedLike(true);
  SetTranslateBetween(false);
  SetTranslateIn(false);
}

bool TcxFilterCriteria::IsNullValue(const Variant& AValue) {
  return HasOption(fcoSoftNull) ? IsBlankVariant(AValue) : VarIsNull(AValue);
}

void TcxFilterCriteria::ReadItems(TStream* AStream, TcxFilterCriteriaItemList* AList, Integer ADepth, Int64 ACount) {
  if (ADepth >= cxMaxFilterGroupDepth) DamagedCriteria(cxSStreamTooDeep);
  // Every child takes at least one byte.
  if (ACount < 0 || ACount > AStream->Size() - AStream->Position()) DamagedCriteria(cxSStreamBadCount);
  for (Int64 I = 0; I < ACount; ++I) {
    const Byte Marker = ReadStreamByte(AStream);
    if (Marker == 1) {
      const Byte Kind = ReadStreamByte(AStream);
      if (Kind > fboNotOr) DamagedCriteria(cxSStreamReadError);
      TcxFilterCriteriaItemList* Group = AList->AddItemList(TcxFilterBoolOperatorKind(Kind));
      ReadItems(AStream, Group, ADepth + 1, ReadStreamInt32(AStream));
    } else if (Marker == 0) {
      const Byte Kind = ReadStreamByte(AStream);
      if (Kind >= cxFilterOperatorKindCount) DamagedCriteria(cxSStreamReadError);
      const String DisplayValue = ReadStreamUTF8String(AStream);
      const Integer Id = ReadStreamInt32(AStream);
      const Variant Value = ReadTaggedVariant(AStream);
      TcxFilterCriteriaItem* Item;
      try {
        Item = AddItem(AList, ItemLinkOfId(Id), TcxFilterOperatorKind(Kind), Value, DisplayValue);
      } catch (const EcxFilterError& E) {
        throw EReadError(LoadResourceText(cxSStreamReadError) + u": " + E.Message);
      }
      Item->ReadData(AStream);
    } else {
      DamagedCriteria(cxSStreamReadError);
    }
  }
}

void TcxFilterCriteria::ReadData(TStream* AStream) {
  // The tree is read into a new root; the old one stays until the stream
  // has been read whole, and comes back when it turns out to be damaged.
  TCriteriaLock Lock(this);
  TcxFilterCriteriaItemList* Old = FRoot;
  const bool WasChanged = FChanged;
  FRoot = new TcxFilterCriteriaItemList(nullptr, fboAnd);
  FRoot->FCriteria = this;
  try {
    const Integer First = ReadStreamInt32(AStream);
    Int64 Count = First;
    if (First == -1) {
      const Byte Kind = ReadStreamByte(AStream);
      if (Kind > fboNotOr) DamagedCriteria(cxSStreamReadError);
      FRoot->SetBoolOperatorKind(TcxFilterBoolOperatorKind(Kind));
      Count = ReadStreamInt32(AStream);
    }
    ReadItems(AStream, FRoot, 0, Count);
  } catch (...) {
    delete FRoot;
    FRoot = Old;
    FChanged = WasChanged;
    throw;
  }
  delete Old;
  Changed();
}

void TcxFilterCriteria::WriteData(TStream* AStream) {
  WriteStreamInt32(AStream, -1);
  WriteStreamByte(AStream, FRoot->BoolOperatorKind());
  WriteStreamInt32(AStream, FRoot->Count());
  for (Integer I = 0; I < FRoot->Count(); ++I) FRoot->Items(I)->WriteData(AStream);
}

void TcxFilterCriteria::BeginUpdate() { ++FLockCount; }

void TcxFilterCriteria::EndUpdate() {
  if (FLockCount > 0) --FLockCount;
  ProcessChange();
}

void TcxFilterCriteria::CancelUpdate() {
  if (FLockCount > 0) --FLockCount;
}

void TcxFilterCriteria::Clear() {
  TCriteriaLock Lock(this);
  FRoot->Clear();
  FRoot->SetBoolOperatorKind(fboAnd);
}

void TcxFilterCriteria::RemoveItemByItemLink(TObject* AItemLink) {
  TCriteriaLock Lock(this);
  while (TcxFilterCriteriaItem* Item = FindItemByItemLink(AItemLink)) {
    TcxFilterCriteriaItemList* Group = Item->Parent();
    delete Item;
    if (!Group || Group == FRoot) continue;
    TcxFilterCriteriaItemList* Parent = Group->Parent();
    if (Group->Count() == 0) {
      delete Group;
    } else if (Group->Count() == 1 && !Group->IsNegated() && Parent) {
      // A group of one condition says no more than the condition itself; a
      // negated one keeps its group so that the negation stays.
      TcxCustomFilterCriteriaItem* Child = Group->Items(0);
      Group->Remove(Child);
      Parent->Append(Child);
      delete Group;
    }
  }
}

bool TcxFilterCriteria::HasCriteria() { return FRoot->BoolOperatorKind() != fboAnd || FRoot->Count() > 0; }

bool TcxFilterCriteria::Evaluate(Integer ARecordIndex) { return EvaluateItem(FRoot, ARecordIndex); }

TcxFilterCriteriaItem* TcxFilterCriteria::SingleTextCondition() {
  if (FRoot->Count() != 1 || FRoot->IsNegated() || FRoot->Items(0)->IsItemList()) return nullptr;
  auto* Item = static_cast<TcxFilterCriteriaItem*>(FRoot->Items(0));
  const bool ComparesText = Item->Operator() && Item->Operator()->ComparesText() &&
                            VarType(Item->Value()) == varOleStr && !HasOption(fcoCaseInsensitive);
  return ComparesText ? Item : nullptr;
}

bool TcxFilterCriteria::EvaluateItem(TcxCustomFilterCriteriaItem* AItem, Integer ARecordIndex) {
  if (!AItem->IsItemList()) {
    auto* Item = static_cast<TcxFilterCriteriaItem*>(AItem);
    try {
      TcxFilterOperator* Operator = Item->Operator();
      // Texts need preparing only when compared in any case: then they go
      // the general way.
      if (Operator->ComparesText() && VarType(Item->Value()) == varOleStr && !HasOption(fcoCaseInsensitive))
        if (const std::optional<std::u16string_view> Text = Item->GetDataTextView(ARecordIndex))
          return Operator->CompareText(*Text, Item->Value());
      return Operator->Compare(PrepareValue(Item->GetDataValue(ARecordIndex)), PrepareValue(Item->Value()));
    } catch (const EVariantError&) {
      if (HasOption(fcoSoftCompare)) return false;
      throw;
    }
  }
  auto* List = static_cast<TcxFilterCriteriaItemList*>(AItem);
  bool Result = true;
  for (Integer I = 0; I < List->Count(); ++I) {
    const bool Value = EvaluateItem(List->Items(I), ARecordIndex);
    if (I == 0) {
      Result = List->IsNegated() ? !Value : Value;
      continue;
    }
    switch (List->BoolOperatorKind()) {
      case fboAnd:
        Result = Result && Value;
        break;
      case fboOr:
        Result = Result || Value;
        break;
      case fboNotAnd:
        Result = Result || !Value;
        break;
      case fboNotOr:
        Result = Result && !Value;
        break;
    }
  }
  return Result;
}

#define KORVANE_CRITERIA_SETTER(Setter, Field, Type) \
  void TcxFilterCriteria::Setter(Type AValue) {     \
    if (Field == AValue) return;                    \
    Field = AValue;                                 \
    Changed();                                      \
  }

KORVANE_CRITERIA_SETTER(SetMaxValueListCount, FMaxValueListCount, Integer)
KORVANE_CRITERIA_SETTER(SetOptions, FOptions, const TcxFilterCriteriaOptions&)
KORVANE_CRITERIA_SETTER(SetPercentWildcard, FPercentWildcard, Char)
KORVANE_CRITERIA_SETTER(SetUnderscoreWildcard, FUnderscoreWildcard, Char)
KORVANE_CRITERIA_SETTER(SetDateTimeFormat, FDateTimeFormat, const String&)
KORVANE_CRITERIA_SETTER(SetSupportedLike, FSupportedLike, bool)
KORVANE_CRITERIA_SETTER(SetTranslateBetween, FTranslateBetween, bool)
KORVANE_CRITERIA_SETTER(SetTranslateIn, FTranslateIn, bool)
#undef KORVANE_CRITERIA_SETTER
