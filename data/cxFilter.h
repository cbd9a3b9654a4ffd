#pragma once
// Record filters: a tree of conditions joined by AND/OR (optionally
// negated) that is evaluated against one record at a time, rendered as a
// readable caption and as a filter text for a dataset, saved to and loaded
// from a binary stream; and the list of values a column's filter drop-down
// offers.
//
// Filter texts are safe to hand to a dataset: quotes inside text values are
// doubled, a field name that is not a plain name is written in brackets
// (with "]" doubled), and numbers are written so that they read back as the
// same number.
//
// A filter text selects the rows the criteria select in memory. In memory a
// condition is two-valued and Null is a value that sorts before every other
// one, while the dataset's filter language drops a Null from every test but
// IS NULL and keeps NOT two-valued. The texts therefore say what memory
// means:
// - a negated test is written NOT (test): "x <> 5", "x NOT IN (...)",
//   "x NOT LIKE ..." and "x NOT BETWEEN ..." would drop rows whose x is Null;
// - "less than" and "less than or equal to" pass Null, so they are written
//   "(x < 5) OR (x IS NULL)";
// - a Null inside a list or a range, and Null as the value of an ordering,
//   is written as the IS NULL test it amounts to; a LIKE pattern that
//   matches the empty text passes Null, too;
// - with fcoSoftNull an empty text is blank: "(x = NULL) OR (x = '')";
// - a group without conditions holds for every record and is written "()",
//   which the language reads as true; "NOT ()" stands for false.
// The caption leaves groups without conditions out.
//
// Values that no filter text can carry are refused when a condition is
// made or changed, with EcxFilterError (see cxCheckFilterValue).
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <type_traits>
#include <vector>

#include "data/cxLike.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TStream;
class TcxFilterCriteria;

// A condition whose value its operator cannot take.
KORVANE_EXCEPTION(EcxFilterError, Exception);
class TcxFilterCriteriaItem;
class TcxFilterCriteriaItemList;

// The operator kinds; the numbers are stored in streams.
enum TcxFilterOperatorKind : Byte {
  foEqual, foNotEqual, foLess, foLessEqual, foGreater, foGreaterEqual, foLike, foNotLike,
  foBetween, foNotBetween, foInList, foNotInList,
  foYesterday, foToday, foTomorrow, foLastWeek, foLastMonth, foLastYear,
  foThisWeek, foThisMonth, foThisYear, foNextWeek, foNextMonth, foNextYear,
};
inline constexpr Byte cxFilterOperatorKindCount = foNextYear + 1;

enum TcxFilterBoolOperatorKind : Byte { fboAnd, fboOr, fboNotAnd, fboNotOr };

enum TcxFilterCriteriaOption { fcoCaseInsensitive, fcoShowOperatorDescription, fcoSoftNull, fcoSoftCompare };
using TcxFilterCriteriaOptions = std::set<TcxFilterCriteriaOption>;

// A field name as a dataset filter text needs it: a plain name (letters,
// digits, "_", ".", "$", any character above U+007F, not starting with a
// digit, not a keyword of the filter language) and a name already in
// well-formed brackets stay as they are; anything else is put in brackets
// with every "]" doubled.
String cxFilterFieldNameText(const String& AFieldName);

// How deep groups nest below the root at most: the filter text of the
// deepest tree then stays far within the nesting the dataset's filter
// language accepts, and walking the tree stays shallow. Streams hold no
// deeper trees either.
inline constexpr Integer cxMaxFilterGroupDepth = 64;

// Raises EcxFilterError when a condition of that kind cannot take the value:
// a number that is not finite (a filter text has no way to write it); an
// array of more than one dimension or holding arrays; an array for an
// ordering or LIKE; a range that is not an array of two bounds; an empty
// list or an empty key.
void cxCheckFilterValue(TcxFilterOperatorKind AKind, const Variant& AValue);

// ---- Operators --------------------------------------------------------------------------

class TcxFilterOperator;

using TcxFilterOperatorMetaClass = TConstructorMetaClass<TcxFilterOperator, TcxFilterCriteriaItem*>;
using TcxFilterOperatorClass = const TcxFilterOperatorMetaClass*;

class TcxFilterOperator : public TObject {
public:
  using MetaClass = TcxFilterOperatorMetaClass;
  KORVANE_CLASS(TcxFilterOperator, TObject)

  explicit TcxFilterOperator(TcxFilterCriteriaItem* ACriteriaItem) : FCriteriaItem(ACriteriaItem) {}

  // The whole condition as filter text (used when UsesExpandedText).
  virtual String ExpandedText(const Variant& AValue);
  // A value as filter text: Null "NULL", dates and texts in single quotes
  // (quotes inside doubled), Booleans by the criteria, others as text; then
  // the criteria's AdjustValueText.
  virtual String ValueToFilterText(const Variant& AValue);
  virtual String AdjustDisplayValue(const String& AText);
  virtual void UpdateRange() {}
  // Answers true when it gives the value's text itself (base: false).
  virtual bool CustomValueText(const Variant& AValue, String& AText);
  // R (record value) against C (criteria value), both prepared.
  virtual bool Compare(const Variant& R, const Variant& C) = 0;
  // Whether CompareText answers what Compare would for a record text that
  // needs no preparing (the filter's fast way for stored texts).
  virtual bool ComparesText() const { return false; }
  // A record text against a text criteria value (base: Compare).
  virtual bool CompareText(std::u16string_view AText, const Variant& C) { return Compare(Variant(String(AText)), C); }
  // Around a pass comparing many record texts with the one criteria value C
  // (the operator and its criteria unchanged in between): CompareText may
  // then use what it prepared for C without checking that it is current.
  virtual void BeginTextPass(const Variant& C) { (void)C; }
  virtual void EndTextPass() {}
  virtual String Caption();
  virtual String Symbol() = 0;
  virtual bool AlwaysShowsCaption() { return false; }
  virtual bool UsesExpandedText() { return false; }

  TcxFilterCriteriaItem* CriteriaItem() const { return FCriteriaItem; }
  TcxFilterCriteria* Criteria() const;

protected:
  // The field name as filter text.
  String FieldText() const;
  // FieldText, the symbol and the value: "x = 5".
  String TestText(const String& ASymbol, const Variant& AValue);
  // An ordering as memory means it: Null sorts first, so "<" and "<="
  // pass rows whose field is Null; an ordering against Null itself comes
  // down to a null test, true or false.
  String OrderingText(const String& ASymbol, const Variant& AValue);

private:
  TcxFilterCriteriaItem* FCriteriaItem;
};

#define KORVANE_FILTER_OPERATOR(Name, Parent)  \
  class Name : public Parent {                 \
    KORVANE_CLASS(Name, Parent)                \
    using Parent::Parent;

KORVANE_FILTER_OPERATOR(TcxFilterEqualOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  String ExpandedText(const Variant& AValue) override;
  bool UsesExpandedText() override;
};
KORVANE_FILTER_OPERATOR(TcxFilterNotEqualOperator, TcxFilterEqualOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool UsesExpandedText() override { return true; }
  String ExpandedText(const Variant& AValue) override;
};
KORVANE_FILTER_OPERATOR(TcxFilterLessOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool UsesExpandedText() override { return true; }
  String ExpandedText(const Variant& AValue) override;
};
KORVANE_FILTER_OPERATOR(TcxFilterLessEqualOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool UsesExpandedText() override { return true; }
  String ExpandedText(const Variant& AValue) override;
};
KORVANE_FILTER_OPERATOR(TcxFilterGreaterOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool UsesExpandedText() override { return true; }
  String ExpandedText(const Variant& AValue) override;
};
KORVANE_FILTER_OPERATOR(TcxFilterGreaterEqualOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool UsesExpandedText() override { return true; }
  String ExpandedText(const Variant& AValue) override;
};
KORVANE_FILTER_OPERATOR(TcxFilterLikeOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  bool ComparesText() const override { return true; }
  bool CompareText(std::u16string_view AText, const Variant& C) override;
  void BeginTextPass(const Variant& C) override { FPassMatcher = &Matcher(C); }
  void EndTextPass() override { FPassMatcher = nullptr; }
  String Caption() override;
  String Symbol() override;
  String AdjustDisplayValue(const String& AText) override;
  // The pattern with the criteria's wildcards turned into "%" and "_".
  String ValueToFilterText(const Variant& AValue) override;
  bool UsesExpandedText() override { return true; }
  // "x LIKE 'a%'", and "OR x IS NULL" when the pattern matches the empty
  // text (memory matches the text of Null, which is empty).
  String ExpandedText(const Variant& AValue) override;
protected:
  // 0 like, 1 begins with, 2 ends with, 3 contains.
  Integer WildcardMark();
private:
  // The pattern prepared once and kept while the pattern and the wildcards
  // stay the same: a filter compares every record with one pattern.
  const TLikeMatcher& Matcher(const Variant& APattern);
  std::unique_ptr<TLikeMatcher> FMatcher;
  String FMatcherPattern;
  Char FMatcherPercent = 0;
  Char FMatcherUnderscore = 0;
  // The matcher of the pass under way (nullptr outside a pass).
  const TLikeMatcher* FPassMatcher = nullptr;
};
KORVANE_FILTER_OPERATOR(TcxFilterNotLikeOperator, TcxFilterLikeOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  bool CompareText(std::u16string_view AText, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  String ExpandedText(const Variant& AValue) override;
};
KORVANE_FILTER_OPERATOR(TcxFilterBetweenOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool AlwaysShowsCaption() override { return true; }
  // With translation on, or a Null bound.
  bool UsesExpandedText() override;
  String ExpandedText(const Variant& AValue) override;
  String ValueToFilterText(const Variant& AValue) override;
  String AdjustDisplayValue(const String& AText) override;
protected:
  // The range test: "x BETWEEN 1 AND 5", or the two orderings.
  String RangeText(const Variant& AValue);
};
KORVANE_FILTER_OPERATOR(TcxFilterNotBetweenOperator, TcxFilterBetweenOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool UsesExpandedText() override { return true; }
  String ExpandedText(const Variant& AValue) override;
};
KORVANE_FILTER_OPERATOR(TcxFilterInListOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool AlwaysShowsCaption() override { return true; }
  // With translation on, or a Null in the list.
  bool UsesExpandedText() override;
  String ExpandedText(const Variant& AValue) override;
  String ValueToFilterText(const Variant& AValue) override;
  String AdjustDisplayValue(const String& AText) override;
protected:
  // The list test: "x IN (1, 2)" or "(x = 1) OR (x = 2)", and a Null in the
  // list as "x IS NULL".
  String ListText(const Variant& AValue);
};
KORVANE_FILTER_OPERATOR(TcxFilterNotInListOperator, TcxFilterInListOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool UsesExpandedText() override { return true; }
  String ExpandedText(const Variant& AValue) override;
};

// A range of days [Date1, Date2) computed from today.
KORVANE_FILTER_OPERATOR(TcxFilterDateOperator, TcxFilterOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  bool UsesExpandedText() override { return true; }
  String ExpandedText(const Variant& AValue) override;
  String AdjustDisplayValue(const String& AText) override;
  void UpdateRange() override;
  TDateTime Date1() const { return FDate1; }
  TDateTime Date2() const { return FDate2; }
protected:
  // Sets Date1 and Date2 from today and the first day of this week.
  virtual void GetRange(TDateTime AToday, TDateTime AWeekStart, TDateTime& ADate1, TDateTime& ADate2);
  virtual String DateCaption();
  TDateTime FDate1 = 0, FDate2 = 0;
};

#define KORVANE_DATE_OPERATOR(Name)                                                              \
  KORVANE_FILTER_OPERATOR(Name, TcxFilterDateOperator)                                           \
  protected:                                                                                     \
    void GetRange(TDateTime AToday, TDateTime AWeekStart, TDateTime& ADate1, TDateTime& ADate2) override; \
    String DateCaption() override;                                                               \
  };

KORVANE_DATE_OPERATOR(TcxFilterYesterdayOperator)
KORVANE_DATE_OPERATOR(TcxFilterTodayOperator)
KORVANE_DATE_OPERATOR(TcxFilterTomorrowOperator)
KORVANE_DATE_OPERATOR(TcxFilterLastWeekOperator)
KORVANE_DATE_OPERATOR(TcxFilterLastMonthOperator)
KORVANE_DATE_OPERATOR(TcxFilterLastYearOperator)
KORVANE_DATE_OPERATOR(TcxFilterThisWeekOperator)
KORVANE_DATE_OPERATOR(TcxFilterThisMonthOperator)
KORVANE_DATE_OPERATOR(TcxFilterThisYearOperator)
KORVANE_DATE_OPERATOR(TcxFilterNextWeekOperator)
KORVANE_DATE_OPERATOR(TcxFilterNextMonthOperator)
KORVANE_DATE_OPERATOR(TcxFilterNextYearOperator)
#undef KORVANE_DATE_OPERATOR

// True when the record value is null in the criteria's sense. Its filter
// text is "x = NULL" (the value is always written NULL: with fcoSoftNull
// it may be an empty text), and with fcoSoftNull "(x = NULL) OR (x = '')".
KORVANE_FILTER_OPERATOR(TcxFilterNullOperator, TcxFilterEqualOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  String AdjustDisplayValue(const String& AText) override;
  String ValueToFilterText(const Variant& AValue) override;
  bool UsesExpandedText() override;
  String ExpandedText(const Variant& AValue) override;
};
// "x <> NULL", and with fcoSoftNull "(x <> NULL) AND (x <> '')".
KORVANE_FILTER_OPERATOR(TcxFilterNotNullOperator, TcxFilterNullOperator)
  bool Compare(const Variant& R, const Variant& C) override;
  String Caption() override;
  String Symbol() override;
  String ExpandedText(const Variant& AValue) override;
};
#undef KORVANE_FILTER_OPERATOR

// The operator class of a kind (the kinds' own classes, not the Null ones);
// nullptr for a kind out of range.
TcxFilterOperatorClass cxFilterOperatorClassOfKind(TcxFilterOperatorKind AKind);

// ---- Criteria tree -------------------------------------------------------------------------

class TcxCustomFilterCriteriaItem : public TObject {
  KORVANE_CLASS(TcxCustomFilterCriteriaItem, TObject)

  explicit TcxCustomFilterCriteriaItem(TcxFilterCriteriaItemList* AParent) : FParent(AParent) {}
  // Leaves its parent.
  ~TcxCustomFilterCriteriaItem() override;

  // Tells the criteria of a change.
  virtual void Changed();
  virtual TcxFilterCriteria* GetCriteria() const;
  virtual bool IsItemList() const { return false; }
  // Reads what follows the header in the binary form (base: nothing).
  virtual void ReadData(TStream* AStream);
  // Writes the binary form (base: the is-list byte).
  virtual void WriteData(TStream* AStream);

  TcxFilterCriteriaItemList* Parent() const { return FParent; }
  TcxFilterCriteria* Criteria() const { return GetCriteria(); }

protected:
  friend class TcxFilterCriteriaItemList;
  TcxFilterCriteriaItemList* FParent;
};

// A group of conditions and sub-groups.
class TcxFilterCriteriaItemList : public TcxCustomFilterCriteriaItem {
  KORVANE_CLASS(TcxFilterCriteriaItemList, TcxCustomFilterCriteriaItem)

  TcxFilterCriteriaItemList(TcxFilterCriteriaItemList* AParent, TcxFilterBoolOperatorKind ABoolOperator);
  // Frees the children, the last first.
  ~TcxFilterCriteriaItemList() override;

  TcxFilterCriteria* GetCriteria() const override;
  bool IsItemList() const override { return true; }
  void WriteData(TStream* AStream) override;

  // A condition made by the criteria's item class, appended.
  TcxFilterCriteriaItem* AddItem(TObject* AItemLink, TcxFilterOperatorKind AOperatorKind,
                                 const Variant& AValue, const String& ADisplayValue);
  TcxFilterCriteriaItemList* AddItemList(TcxFilterBoolOperatorKind ABoolOperator);
  // Frees every child, the last first, inside one update lock.
  void Clear();
  Integer Count() const { return Integer(FItems.size()); }
  // nullptr outside 0..Count()-1.
  TcxCustomFilterCriteriaItem* Items(Integer AIndex) const;
  Integer IndexOf(const TcxCustomFilterCriteriaItem* AItem) const;
  TcxFilterBoolOperatorKind BoolOperatorKind() const { return FBoolOperatorKind; }
  void SetBoolOperatorKind(TcxFilterBoolOperatorKind AValue);
  bool IsNegated() const { return FBoolOperatorKind == fboNotAnd || FBoolOperatorKind == fboNotOr; }
  // Takes the child out of the list (it is not freed).
  void Remove(TcxCustomFilterCriteriaItem* AItem);
  // Appends a child that belongs to no list. Raises EcxFilterError when a
  // group would end up nested deeper than cxMaxFilterGroupDepth.
  void Append(TcxCustomFilterCriteriaItem* AItem);
  // The number of groups above this one (0 for a root).
  Integer Depth() const;

private:
  friend class TcxFilterCriteria;
  TcxFilterBoolOperatorKind FBoolOperatorKind;
  std::vector<TcxCustomFilterCriteriaItem*> FItems;
  TcxFilterCriteria* FCriteria = nullptr;  // the root's owner
};

// The class reference of conditions; its virtual constructor takes the
// group, the item link, the operator kind, the value and the display value.
class TcxFilterCriteriaItemMetaClass : public TMetaClass {
public:
  template <class Self>
  TcxFilterCriteriaItemMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent) {
    if constexpr (!std::is_abstract_v<Self> &&
                  std::is_constructible_v<Self, TcxFilterCriteriaItemList*, TObject*, TcxFilterOperatorKind,
                                          const Variant&, const String&>)
      FCreateIn = [](TcxFilterCriteriaItemList* AParent, TObject* ALink, TcxFilterOperatorKind AKind,
                     const Variant& AValue, const String& ADisplay) -> TcxFilterCriteriaItem* {
        return new Self(AParent, ALink, AKind, AValue, ADisplay);
      };
  }
  using TMetaClass::Create;
  TcxFilterCriteriaItem* Create(TcxFilterCriteriaItemList* AParent, TObject* AItemLink,
                                TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                const String& ADisplayValue) const;

private:
  TcxFilterCriteriaItem* (*FCreateIn)(TcxFilterCriteriaItemList*, TObject*, TcxFilterOperatorKind, const Variant&,
                                      const String&) = nullptr;
};
using TcxFilterCriteriaItemClass = const TcxFilterCriteriaItemMetaClass*;

// One condition: the item link (a column or field of the owner), the
// operator, the value and the display value shown to the user.
class TcxFilterCriteriaItem : public TcxCustomFilterCriteriaItem {
public:
  using MetaClass = TcxFilterCriteriaItemMetaClass;
  KORVANE_CLASS(TcxFilterCriteriaItem, TcxCustomFilterCriteriaItem)

  // Callers add conditions to their group (see AddItem); the list takes the
  // new condition.
  TcxFilterCriteriaItem(TcxFilterCriteriaItemList* AParent, TObject* AItemLink, TcxFilterOperatorKind AOperatorKind,
                        const Variant& AValue, const String& ADisplayValue);
  ~TcxFilterCriteriaItem() override;

  void ReadData(TStream* AStream) override;
  void WriteData(TStream* AStream) override;

  // The record's value of the item (base: Null).
  virtual Variant GetDataValue(Integer ARecordIndex);
  // The record's value when it is a text held in place, read without a copy;
  // none otherwise (base), and the filter then asks GetDataValue.
  virtual std::optional<std::u16string_view> GetDataTextView(Integer) { return std::nullopt; }
  virtual String GetFieldCaption();  // base: ""
  virtual String GetFieldName();     // base: ""
  // The condition as caption text.
  virtual String GetDisplayText();
  // The value as filter text.
  virtual String GetValueText();
  // The operator class for the kind and value: Null or NotNull for an
  // (in)equality or (not-)like with a null value, else the kind's class.
  virtual TcxFilterOperatorClass GetFilterOperatorClass();
  virtual TObject* GetItemLink() const { return FItemLink; }
  virtual void RecreateOperator();
  virtual bool IsNullValue(const Variant& AValue);

  TObject* ItemLink() const { return GetItemLink(); }
  void SetItemLink(TObject* AValue);
  TcxFilterOperator* Operator() const { return FOperator; }
  TcxFilterOperatorKind OperatorKind() const { return FOperatorKind; }
  void SetOperatorKind(TcxFilterOperatorKind AValue);
  const Variant& Value() const { return FValue; }
  void SetValue(const Variant& AValue);
  const String& DisplayValue() const { return FDisplayValue; }
  void SetDisplayValue(const String& AValue);

protected:
  // Makes the operator for the kind and value (without telling anyone).
  void MakeOperator();
  String FDisplayValue;
  TObject* FItemLink;
  TcxFilterOperator* FOperator = nullptr;
  TcxFilterOperatorKind FOperatorKind;
  Variant FValue;
};

// ---- Value list ---------------------------------------------------------------------------

enum TcxFilterValueItemKind : Byte {
  fviAll, fviCustom, fviBlanks, fviNonBlanks, fviUser, fviValue, fviHeadItem, fviHeadSeparator
};

struct TcxFilterValueItem {
  TcxFilterValueItemKind Kind;
  Variant Value;
  String DisplayText;
};

class TcxFilterValueList;

using TcxFilterValueListMetaClass = TConstructorMetaClass<TcxFilterValueList, TcxFilterCriteria*>;
using TcxFilterValueListClass = const TcxFilterValueListMetaClass*;

// The values a column's filter drop-down offers: fixed head entries, then
// the distinct values in order.
class TcxFilterValueList : public TObject {
public:
  using MetaClass = TcxFilterValueListMetaClass;
  KORVANE_CLASS(TcxFilterValueList, TObject)

  explicit TcxFilterValueList(TcxFilterCriteria* ACriteria) : FCriteria(ACriteria) {}
  ~TcxFilterValueList() override;

  // Item AIndex against (AValue, AText): by text when SortByDisplayText,
  // else by value.
  virtual Integer CompareItem(Integer AIndex, const Variant& AValue, const String& AText);
  virtual void AddItem(TcxFilterValueItemKind AKind, const Variant& AValue, bool AUnsorted, const String& AText);
  virtual void Clear();
  // Head entries by a linear scan, then the values by bisection (the first
  // equal one); AIndex is the match or where the value would go.
  virtual bool FindValue(const Variant& AValue, const String& AText, Integer& AIndex);
  // The entry that stands for a condition (-1 for none).
  virtual Integer IndexOfCriteriaItem(TcxFilterCriteriaItem* AItem);

  TcxFilterCriteria* Criteria() const { return FCriteria; }
  Integer Count() const { return Integer(FItems.size()); }
  // Raises EListError outside the list.
  const TcxFilterValueItem& Items(Integer AIndex) const;
  Integer IndexOfKind(TcxFilterValueItemKind AKind) const;
  bool SortByDisplayText() const { return FSortByDisplayText; }
  void SetSortByDisplayText(bool AValue) { FSortByDisplayText = AValue; }

private:
  void InsertItem(Integer AIndex, TcxFilterValueItemKind AKind, const Variant& AValue, const String& AText);
  TcxFilterCriteria* FCriteria;
  std::vector<TcxFilterValueItem*> FItems;
  bool FSortByDisplayText = false;
};

// ---- Criteria ---------------------------------------------------------------------------------

class TcxFilterCriteria : public TPersistent {
  KORVANE_CLASS(TcxFilterCriteria, TPersistent)

  TcxFilterCriteria();
  ~TcxFilterCriteria() override;

  void Assign(TPersistent* ASource) override;
  // Reports a pending change when no update lock is held.
  virtual void ProcessChange();
  virtual String BooleanText(const Variant& AValue);
  // The text of a date: by DateTimeFormat when it is set; else in the
  // locale's form, or as "yyyy-mm-dd hh:nn:ss.zzz" when the time has
  // milliseconds (the locale's form drops them).
  virtual String DateText(const Variant& AValue);
  // A hook to change a value's filter text (base: nothing).
  virtual void AdjustValueText(TcxFilterCriteriaItem* AItem, const Variant& AValue, String& AText);
  // The tree as display text.
  virtual String FilterCaption();
  virtual String BuildText(bool ADisplay);
  // The tree as filter text for a dataset.
  virtual String FilterText();
  virtual Integer IdOfItemLink(TObject* AItemLink);  // base: -1
  virtual TObject* ItemLinkOfId(Integer AId);        // base: nullptr
  virtual TcxFilterCriteriaItemClass ItemClass();
  virtual String ItemText(TcxFilterCriteriaItem* AItem, bool ADisplay);
  virtual String FieldText(TcxFilterCriteriaItem* AItem, bool ADisplay);
  virtual String OperatorText(TcxFilterCriteriaItem* AItem, bool ADisplay);
  virtual String ValueText(TcxFilterCriteriaItem* AItem, bool ADisplay);
  virtual TcxFilterValueListClass ValueListClass();
  virtual void RefreshDateRanges();
  // A value as compared: currency as double; with fcoCaseInsensitive texts
  // (also inside arrays) upper-cased.
  virtual Variant PrepareValue(const Variant& AValue);
  virtual void NotifyChanged();
  virtual void AssignEvents(TPersistent* ASource);
  virtual void AssignItems(TcxFilterCriteria* ASource);
  // A condition appended to AList (nullptr: the root).
  virtual TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* AList, TObject* AItemLink,
                                         TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                         const String& ADisplayValue);
  virtual void Changed();
  // Depth first, the first condition with that link.
  virtual TcxFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink);
  virtual bool IsEmpty();
  // The criteria with their settings (options, wildcards, value list
  // limit) and the tree.
  virtual void LoadFromStream(TStream* AStream);
  virtual void SaveToStream(TStream* AStream);
  virtual void RestoreDefaults();
  virtual bool IsNullValue(const Variant& AValue);
  // The tree in its binary form. Reading checks what it reads; on damaged
  // input it raises EReadError and the tree is left as it was.
  virtual void ReadData(TStream* AStream);
  virtual void WriteData(TStream* AStream);

  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  bool IsUpdating() const { return FLockCount > 0; }
  void Clear();
  // Frees every condition with that link; groups left empty are freed and a
  // group left with one condition is dissolved into its parent (unless it
  // is negated).
  void RemoveItemByItemLink(TObject* AItemLink);
  bool HasCriteria();
  bool Evaluate(Integer ARecordIndex);
  // The one condition of the criteria when they are a single condition, not
  // negated, that compares the record's text with a text as it stands
  // (Evaluate then answers what its operator's CompareText does for a
  // record with a stored text); nullptr otherwise.
  TcxFilterCriteriaItem* SingleTextCondition();
  bool Destroying() const { return FDestroying; }

  TcxFilterCriteriaItemList* Root() const { return FRoot; }
  Integer MaxValueListCount() const { return FMaxValueListCount; }
  void SetMaxValueListCount(Integer AValue);
  const TcxFilterCriteriaOptions& Options() const { return FOptions; }
  void SetOptions(const TcxFilterCriteriaOptions& AValue);
  bool HasOption(TcxFilterCriteriaOption AOption) const { return FOptions.count(AOption) != 0; }
  Char PercentWildcard() const { return FPercentWildcard; }
  void SetPercentWildcard(Char AValue);
  Char UnderscoreWildcard() const { return FUnderscoreWildcard; }
  void SetUnderscoreWildcard(Char AValue);
  const String& DateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(const String& AValue);
  bool SupportedLike() const { return FSupportedLike; }
  void SetSupportedLike(bool AValue);
  bool TranslateBetween() const { return FTranslateBetween; }
  void SetTranslateBetween(bool AValue);
  bool TranslateIn() const { return FTranslateIn; }
  void SetTranslateIn(bool AValue);

  TNotifyEvent OnChanged;

protected:
  bool EvaluateItem(TcxCustomFilterCriteriaItem* AItem, Integer ARecordIndex);
  String GroupText(TcxFilterCriteriaItemList* AList, bool ADisplay);
  void ReadItems(TStream* AStream, TcxFilterCriteriaItemList* AList, Integer ADepth, Int64 ACount);
  bool FDestroying = false;

private:
  TcxFilterCriteriaItemList* FRoot;
  Integer FMaxValueListCount = 0;
  TcxFilterCriteriaOptions FOptions;
  Char FPercentWildcard = u'%';
  Char FUnderscoreWildcard = u'_';
  String FDateTimeFormat;
  bool FChanged = false;
  Integer FLockCount = 0;
  bool FSupportedLike = true;
  bool FTranslateBetween = false;
  bool FTranslateIn = false;
};

// A component with one property, Filter, through which a criteria is
// streamed as a component.
class TFilterWrapper : public TComponent {
  KORVANE_CLASS(TFilterWrapper, TComponent)

  explicit TFilterWrapper(TComponent* AOwner) : TComponent(AOwner) {}
  TcxFilterCriteria* Filter() const { return FFilter; }
  void SetFilter(TcxFilterCriteria* AValue) { FFilter = AValue; }

private:
  TcxFilterCriteria* FFilter = nullptr;
};
