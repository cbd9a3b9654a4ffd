#pragma once
// Footer summaries over all filtered records and group summaries for every
// group of every grouping level, with their formatted texts.
#include <type_traits>
#include <set>
#include <vector>

#include "platform/rtl/collection.h"
#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TcxCustomDataController;
class TcxCustomDataField;
class TcxDataSummary;
class TcxDataSummaryItem;
class TcxDataSummaryItems;
class TcxValueDef;

enum TcxSummaryKind : Byte { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TcxSummaryPosition : Byte { spGroup, spFooter };
enum TcxSummaryOption { soNullIgnore, soSelectedRecords };
using TcxSummaryOptions = std::set<TcxSummaryOption>;

using TcxDataSummaryValues = std::vector<Variant>;
using TcxDataSummaryCountValues = std::vector<Integer>;

struct TcxSummaryEventArguments {
  Integer RecordIndex;
  TcxDataSummaryItem* SummaryItem;
};
struct TcxSummaryEventOutArguments {
  Variant Value;         // the record's source value
  Variant SummaryValue;  // the running value (Unassigned before the first)
  Integer CountValue;    // the running count
  bool Done;
};

using TcxDataSummaryItemGetTextEvent =
    TEvent<void(TcxDataSummaryItem* Sender, const Variant& AValue, bool AIsFooter, String& AText)>;
using TcxSummaryEvent = TEvent<void(TcxDataSummaryItems* ASender, const TcxSummaryEventArguments& Arguments,
                                    TcxSummaryEventOutArguments& OutArguments)>;
using TcxAfterSummaryEvent = TEvent<void(TcxDataSummary* ASender)>;

class TcxCustomDataSummaryItem : public TCollectionItem {
  KORVANE_CLASS(TcxCustomDataSummaryItem, TCollectionItem)
  using TCollectionItem::TCollectionItem;

  virtual TcxCustomDataController* GetDataController() const;
  TcxCustomDataField* Field() const { return FField; }
  // Links the item object (a view item with a data field) or a data field.
  void SetItemLink(TObject* AItemLink);
  TObject* ItemLink() const;
  void SetField(TcxCustomDataField* AField);

protected:
  virtual void LinkChanging(TcxCustomDataField*) {}
  TcxCustomDataField* FField = nullptr;
};

class TcxDataSummaryItem : public TcxCustomDataSummaryItem {
  KORVANE_CLASS(TcxDataSummaryItem, TcxCustomDataSummaryItem)
  explicit TcxDataSummaryItem(TCollection* ACollection) : TcxCustomDataSummaryItem(ACollection) {}
  ~TcxDataSummaryItem() override;

  void Assign(TPersistent* ASource) override;
  virtual bool IsCalculable() const;
  virtual TcxCustomDataField* SourceField() const { return FField; }
  virtual String FormatValue(const Variant& AValue, bool AIsFooter);

  const String& Format() const { return FFormat; }
  void SetFormat(const String& AValue);
  TcxSummaryKind Kind() const { return FKind; }
  void SetKind(TcxSummaryKind AValue);
  TcxSummaryPosition Position() const;
  // The position as set on the item (the collection may override it).
  TcxSummaryPosition StoredPosition() const { return FPosition; }
  void SetPosition(TcxSummaryPosition AValue);
  TcxDataSummaryItems* SummaryItems() const;

  TcxDataSummaryItemGetTextEvent OnGetText;

private:
  String FFormat;
  TcxSummaryKind FKind = skNone;
  TcxSummaryPosition FPosition = spGroup;
};

class TcxDataSummaryItems : public TCollection {
  KORVANE_CLASS(TcxDataSummaryItems, TCollection)
  TcxDataSummaryItems(TcxDataSummary* ASummary, TCollectionItemClass AItemClass);

  TcxDataSummary* Summary() const { return FSummary; }
  TcxDataSummaryItem* Add() { return static_cast<TcxDataSummaryItem*>(TCollection::Add()); }
  // A new item linked to AItemLink with the given kind and position.
  TcxDataSummaryItem* Add(TObject* AItemLink, TcxSummaryPosition APosition, TcxSummaryKind AKind,
                          const String& AFormat = String());
  TcxDataSummaryItem* Items(Integer AIndex) const { return static_cast<TcxDataSummaryItem*>(TCollection::Items(AIndex)); }
  virtual TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem* AItem) const;
  virtual String DefaultFormatText(TVarType AVarType, TcxSummaryKind AKind, bool AIsFooter) const;
  virtual String GetGroupText(const Variant&) { return String(); }
  Integer IndexOfItemLink(TObject* AItemLink) const;
  Integer IndexOfItem(const TcxDataSummaryItem* AItem) const;
  TcxDataSummaryItem* ItemOfField(TcxCustomDataField* AField) const;
  TcxDataSummaryItem* FindItemForPosition(Integer AItemIndex, TcxSummaryPosition APosition) const;
  bool AcceptsRecord(const TcxSummaryOptions& AOptions, bool AIsNull, bool ANotSelected) const;

  TcxSummaryEvent OnSummary;

protected:
  void Update(TCollectionItem* AItem) override;

private:
  TcxDataSummary* FSummary;
};

class TcxDataFooterSummaryItems : public TcxDataSummaryItems {
  KORVANE_CLASS(TcxDataFooterSummaryItems, TcxDataSummaryItems)
  using TcxDataSummaryItems::TcxDataSummaryItems;
  TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem*) const override { return spFooter; }
};

class TcxDataGroupSummaryItems : public TcxDataSummaryItems {
  KORVANE_CLASS(TcxDataGroupSummaryItems, TcxDataSummaryItems)
  using TcxDataSummaryItems::TcxDataSummaryItems;

  // The spGroup items' values joined by Separator and wrapped in BeginText
  // and EndText, as in "(SUM=10.00, MIN=2.00)".
  String GetGroupText(const Variant& AValues) override;
  const String& BeginText() const { return FBeginText; }
  void SetBeginText(const String& AValue);
  const String& EndText() const { return FEndText; }
  void SetEndText(const String& AValue);
  const String& Separator() const { return FSeparator; }
  void SetSeparator(const String& AValue);

private:
  void TextChanged();
  String FBeginText = u"(";
  String FEndText = u")";
  String FSeparator = u",";
};

// Links a grouping item to a summary group.
class TcxDataSummaryGroupItemLink : public TcxCustomDataSummaryItem {
  KORVANE_CLASS(TcxDataSummaryGroupItemLink, TcxCustomDataSummaryItem)
  using TcxCustomDataSummaryItem::TcxCustomDataSummaryItem;
  TcxCustomDataController* GetDataController() const override;

protected:
  void LinkChanging(TcxCustomDataField* AField) override;
};

class TcxDataSummaryGroup;

class TcxDataSummaryGroupItemLinks : public TCollection {
  KORVANE_CLASS(TcxDataSummaryGroupItemLinks, TCollection)
  TcxDataSummaryGroupItemLinks(TcxDataSummaryGroup* AGroup, TCollectionItemClass AItemClass)
      : TCollection(AItemClass), FGroup(AGroup) {}
  TcxDataSummaryGroup* SummaryGroup() const { return FGroup; }
  TcxDataSummaryGroupItemLink* Add() { return static_cast<TcxDataSummaryGroupItemLink*>(TCollection::Add()); }
  TcxDataSummaryGroupItemLink* Items(Integer AIndex) const {
    return static_cast<TcxDataSummaryGroupItemLink*>(TCollection::Items(AIndex));
  }

protected:
  void Update(TCollectionItem* AItem) override;

private:
  TcxDataSummaryGroup* FGroup;
};

class TcxDataSummaryGroup : public TCollectionItem {
  KORVANE_CLASS(TcxDataSummaryGroup, TCollectionItem)
  explicit TcxDataSummaryGroup(TCollection* ACollection);
  ~TcxDataSummaryGroup() override;

  TcxDataSummary* Summary() const;
  TcxDataSummaryGroupItemLinks* Links() const { return FLinks; }
  TcxDataGroupSummaryItems* SummaryItems() const { return FSummaryItems; }

private:
  TcxDataSummaryGroupItemLinks* FLinks;
  TcxDataGroupSummaryItems* FSummaryItems;
};

class TcxDataSummaryGroups : public TCollection {
  KORVANE_CLASS(TcxDataSummaryGroups, TCollection)
  explicit TcxDataSummaryGroups(TcxDataSummary* ASummary)
      : TCollection(TcxDataSummaryGroup::StaticClass()), FSummary(ASummary) {}
  TcxDataSummary* Summary() const { return FSummary; }
  TcxDataSummaryGroup* Add() { return static_cast<TcxDataSummaryGroup*>(TCollection::Add()); }
  TcxDataSummaryGroup* Items(Integer AIndex) const {
    return static_cast<TcxDataSummaryGroup*>(TCollection::Items(AIndex));
  }
  // The first group whose links hold that item (object or field).
  TcxDataSummaryGroup* FindByItemLink(TObject* AItemLink) const;

protected:
  void Update(TCollectionItem* AItem) override;

private:
  TcxDataSummary* FSummary;
};

using TcxDataSummaryMetaClass = TConstructorMetaClass<TcxDataSummary, TcxCustomDataController*>;
using TcxDataSummaryClass = const TcxDataSummaryMetaClass*;

class TcxDataSummary : public TPersistent {
public:
  using MetaClass = TcxDataSummaryMetaClass;
  KORVANE_CLASS(TcxDataSummary, TPersistent)

  explicit TcxDataSummary(TcxCustomDataController* ADataController);
  ~TcxDataSummary() override;

  TcxCustomDataController* DataController() const { return FDataController; }
  void Assign(TPersistent* ASource) override;

  TcxDataGroupSummaryItems* DefaultGroupSummaryItems() const { return FDefaultGroupSummaryItems; }
  TcxDataFooterSummaryItems* FooterSummaryItems() const { return FFooterSummaryItems; }
  TcxDataSummaryGroups* SummaryGroups() const { return FSummaryGroups; }
  const TcxSummaryOptions& Options() const { return FOptions; }
  void SetOptions(const TcxSummaryOptions& AValue);

  // The summary items of a grouping level (nullptr outside the levels).
  TcxDataGroupSummaryItems* GetGroupSummaryItems(Integer ALevel) const;
  Variant FooterSummaryValues(Integer AIndex) const;
  String FooterSummaryTexts(Integer AIndex);
  // The values of a group (a variant array, one per item of its level).
  Variant GroupSummaryValues(Integer AGroupIndex) const;
  String GroupSummaryText(Integer AGroupIndex);

  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  void Calculate();
  void SummaryChanged(bool AFieldsChanged);
  void FieldRemoved(TcxCustomDataField* AField);
  void FireAfterSummaryIfPending();
  bool Destroying() const { return FDestroying; }

  TcxAfterSummaryEvent OnAfterSummary;

protected:
  virtual void PrepareValueArrays(TcxDataSummaryItems* AItems, TcxDataSummaryCountValues& ACounts,
                                  TcxDataSummaryValues& AValues);
  virtual void AccumulateRecords(TcxDataSummaryItems* AItems, Integer AFirstPosition, TcxDataSummaryValues& AValues,
                                 TcxDataSummaryCountValues& ACounts, Integer ALastPosition);
  virtual void AccumulateValue(TcxDataSummaryItem* AItem, Integer ARecordIndex, Integer& ACount, Variant& AValue);
  virtual Variant FinishValue(TcxDataSummaryItem* AItem, const Variant& AValue, Integer ACount);
  virtual Variant FinishAllValues(TcxDataSummaryItems* AItems, const TcxDataSummaryCountValues& ACounts,
                                  const TcxDataSummaryValues& AValues);
  virtual Integer RecordIndexOfPosition(Integer APosition);
  virtual void FireAfterSummary();
  void CalculateFooterSummary();
  void CalculateGroupSummaries();

  // The running count of one group and item, and for a plain number its
  // running sum (the other items run in a Variant kept beside it, made only
  // for levels that have such items).
  struct TRunning {
    enum TNumberState : Byte { nsNone, nsNullZero, nsNumber };
    Integer Count = 0;
    double Number = 0;
    TNumberState NumberState = nsNone;
  };
  // Sums, averages and counts of a stored float column take this way in
  // place of AccumulateValue when the group summaries are taken in storage
  // order (a subclass that changes AccumulateValue must change these too).
  TcxValueDef* PlainNumberSource(TcxDataSummaryItem* AItem) const;
  void AccumulatePlainNumber(TcxSummaryKind AKind, TcxValueDef* ADef, Integer ARecordIndex, TRunning& ASlot) const;
  static Variant PlainNumberValue(const TRunning& ASlot);

private:
  TcxCustomDataController* FDataController;
  TcxDataGroupSummaryItems* FDefaultGroupSummaryItems;
  TcxDataFooterSummaryItems* FFooterSummaryItems;
  TcxDataSummaryGroups* FSummaryGroups;
  TcxSummaryOptions FOptions;
  Variant FFooterSummaryValues;
  Integer FLockCount = 0;
  bool FDestroying = false;
  bool FInAfterSummary = false;
  bool FAfterSummaryPending = false;
  // The options as flags, taken when a calculation starts.
  bool FNullIgnore = false;
  bool FSelectedOnly = false;
};
