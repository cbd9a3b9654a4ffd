#pragma once
// The filter criteria bound to a data controller: conditions name the
// controller's data fields, are fed with record values, and the drop-down
// value lists are filled from the records. Locate objects hold searched
// values in an internal storage record so that records are compared with
// them by the controller's own comparison.
#include <vector>

#include "data/cxDataStorage.h"
#include "data/cxFilter.h"
#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TcxCustomDataController;
class TcxCustomDataField;
class TcxDataFilterValueList;

using TcxDataFilterGetValueListEvent =
    TEvent<void(TcxFilterCriteria* Sender, Integer AItemIndex, TcxDataFilterValueList* AValueList)>;

class TcxDataFilterCriteriaItem : public TcxFilterCriteriaItem {
  KORVANE_CLASS(TcxDataFilterCriteriaItem, TcxFilterCriteriaItem)
  using TcxFilterCriteriaItem::TcxFilterCriteriaItem;

  Variant GetDataValue(Integer ARecordIndex) override;
  std::optional<std::u16string_view> GetDataTextView(Integer ARecordIndex) override;
  String GetFieldCaption() override;
  TcxCustomDataField* Field() const;
  TcxCustomDataController* DataController() const;

private:
  // Looked up once per item link: the filter asks for every record.
  mutable TObject* FCachedLink = nullptr;
  mutable TcxCustomDataField* FCachedField = nullptr;
  mutable TcxCustomDataController* FCachedController = nullptr;
};

class TcxDataFilterCriteria : public TcxFilterCriteria {
  KORVANE_CLASS(TcxDataFilterCriteria, TcxFilterCriteria)

  explicit TcxDataFilterCriteria(TcxCustomDataController* ADataController);
  ~TcxDataFilterCriteria() override;

  TcxCustomDataController* DataController() const { return FDataController; }
  void Assign(TPersistent* ASource) override;
  void AssignEvents(TPersistent* ASource) override;
  TcxFilterCriteriaItemClass ItemClass() override;
  TcxFilterValueListClass ValueListClass() override;
  Integer IdOfItemLink(TObject* AItemLink) override;
  TObject* ItemLinkOfId(Integer AId) override;
  // The link may be a data field or the item object that owns one.
  TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* AList, TObject* AItemLink,
                                 TcxFilterOperatorKind AOperatorKind, const Variant& AValue,
                                 const String& ADisplayValue) override;
  TcxFilterCriteriaItem* FindItemByItemLink(TObject* AItemLink) override;
  void NotifyChanged() override;

  bool Active() const { return FActive; }
  void SetActive(bool AValue);
  // Active, not empty, and the controller not in grid mode. A binding that
  // hands the condition to its record source turns the in-memory filter off.
  virtual bool IsFiltering();
  bool IsExtra() const { return FExtra; }
  void SetExtra(bool AValue) { FExtra = AValue; }

  TcxDataFilterGetValueListEvent OnGetValueList;

private:
  TObject* FieldOfLink(TObject* AItemLink) const;
  TcxCustomDataController* FDataController;
  bool FActive = false;
  bool FExtra = false;
};

// The controller's extra criteria (made by CreateFilter); the list owns them.
class TcxDataFilterList : public TObject {
  KORVANE_CLASS(TcxDataFilterList, TObject)
  TcxDataFilterList() = default;
  ~TcxDataFilterList() override { Clear(); }

  void Add(TcxDataFilterCriteria* ACriteria);
  // Takes the criteria out of the list without freeing it.
  void Remove(TcxDataFilterCriteria* ACriteria);
  // Frees every criteria, the last first.
  void Clear();
  // A component went away: every criteria drops its conditions on it.
  void RemoveComponent(TObject* AComponent);
  Integer Count() const { return Integer(FItems.size()); }
  // Raises EListError outside the list.
  TcxDataFilterCriteria* Items(Integer AIndex) const;

private:
  std::vector<TcxDataFilterCriteria*> FItems;
};

class TcxDataFilterValueList : public TcxFilterValueList {
  KORVANE_CLASS(TcxDataFilterValueList, TcxFilterValueList)
  using TcxFilterValueList::TcxFilterValueList;

  // Fills the list with the values of an item over all records.
  void Load(Integer AItemIndex);
};

// Holds searched values in an internal storage record of the controller.
class TcxDataControllerLocateObject : public TObject {
  KORVANE_CLASS(TcxDataControllerLocateObject, TObject)

  explicit TcxDataControllerLocateObject(TcxCustomDataController* ADataController)
      : FDataController(ADataController) {}
  ~TcxDataControllerLocateObject() override;

  // The internal record, made on first use.
  Integer RecordIndex();
  void SetValue(TcxCustomDataField* AField, const Variant& AValue);
  virtual void ReleaseInternalRecord();
  virtual Integer FindRecordIndex() { return -1; }

protected:
  TcxCustomDataController* FDataController;
  Integer FRecordIndex = 0;
};

class TcxDataControllerKeyLocateObject : public TcxDataControllerLocateObject {
  KORVANE_CLASS(TcxDataControllerKeyLocateObject, TcxDataControllerLocateObject)
  using TcxDataControllerLocateObject::TcxDataControllerLocateObject;

  std::vector<TcxCustomDataField*>& Fields() { return FFields; }
  Integer FindRecordIndex() override;

private:
  std::vector<TcxCustomDataField*> FFields;
};

class TcxDataControllerGroupLocateObject : public TcxDataControllerLocateObject {
  KORVANE_CLASS(TcxDataControllerGroupLocateObject, TcxDataControllerLocateObject)
  using TcxDataControllerLocateObject::TcxDataControllerLocateObject;

  Integer Level() const { return FLevel; }
  void SetLevel(Integer AValue) { FLevel = AValue; }
  // The record of a group at Level whose grouping values (levels 0 ..
  // Level) equal the values set; -1 when none.
  Integer FindRecordIndex() override;

private:
  Integer FLevel = 0;
};

// Values held by value definition, for loading a record.
class TcxValueDefUnboundReader : public TcxValueDefReader {
  KORVANE_CLASS(TcxValueDefUnboundReader, TcxValueDefReader)

  TcxValueDefUnboundReader() = default;
  ~TcxValueDefUnboundReader() override;
  // Null when the definition holds no value; an internal definition stands
  // for its base definition.
  Variant GetValue(TcxValueDef* AValueDef) override;
  void SetValue(TcxValueDef* AValueDef, const Variant& AValue);
  // Keeps the first ACount values.
  void Truncate(Integer ACount);
  void Clear() { Truncate(0); }
  Integer Count() const { return Integer(FValueDefs.size()); }

private:
  Integer IndexOf(TcxValueDef* AValueDef) const;
  std::vector<TcxValueDef*> FValueDefs;
  std::vector<Variant*> FValues;
};

// Reads one record of a controller.
class TcxValueDefRecordReader : public TcxValueDefReader {
  KORVANE_CLASS(TcxValueDefRecordReader, TcxValueDefReader)

  TcxValueDefRecordReader(TcxCustomDataController* ADataController, Integer ARecordIndex)
      : FDataController(ADataController), FRecordIndex(ARecordIndex) {}
  Variant GetValue(TcxValueDef* AValueDef) override;
  // Empty for internal fields.
  String GetDisplayText(TcxValueDef* AValueDef) override;

private:
  TcxCustomDataField* FieldOf(TcxValueDef* AValueDef) const;
  TcxCustomDataController* FDataController;
  Integer FRecordIndex;
};
