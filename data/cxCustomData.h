#pragma once
// The data controller's unit. This part holds the data fields and detail
// relations, and the bookkeeping of the row model: sorting and grouping
// lists, the group tree, the focused-row record, saved expansion states and
// the selection. These classes reach their data controller and its row-list
// builder only through the two abstract interfaces below, which the
// controller and its info implement.
#include <deque>
#include <type_traits>
#include <vector>

#include "data/cxDataControllerConsts.h"
#include "data/cxDataStorage.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TcxCustomDataField;
class TcxCustomDataFieldList;
class TcxCustomDataRelation;
class TcxCustomDataRelationList;
class TcxDetailObject;

// ---- What the bookkeeping classes ask of their controller -------------------------------
// Every answer but the storage has a neutral default, so a controller
// overrides what it supports.

class IcxCustomDataController {
public:
  virtual ~IcxCustomDataController() = default;

  // Fields.
  virtual TcxDataStorage* GetDataStorage() = 0;
  // The controller keeps its records itself (no outside record source).
  virtual bool OwnsRecords() { return true; }
  virtual bool IsProviderNotifyLocked() { return false; }
  // The provider reloads the controller's data.
  virtual void ProviderRequestReload(bool) {}
  // A field leaves the field list.
  virtual void FieldRemoved(TcxCustomDataField*) {}
  // A new field marked internal, added to the field list.
  virtual TcxCustomDataField* CreateInternalField() { return nullptr; }
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}

  // Detail relations.
  // Raises EcxInvalidDataControllerOperation for a record index out of range.
  virtual void CheckRecordIndex(Integer) {}
  // The controller itself, or for a detail controller the one its master
  // associates with the master relation's item.
  virtual IcxCustomDataController* GetDetailReferenceController() { return this; }
  // The relation list, or nullptr while none has been made.
  virtual TcxCustomDataRelationList* GetRelationsIfAny() { return nullptr; }
  virtual Integer GetDefaultActiveRelationIndex() { return 0; }
  virtual IcxCustomDataController* GetDetailDataController(TObject*) { return nullptr; }
  // A detail controller forgets its master record.
  virtual void ResetMasterLink() {}
  // Relations changed while the detail field exists: the details of the
  // records are laid out anew.
  virtual void DetailsChanged() {}
  virtual void RelationChanged(TcxCustomDataRelation*) {}
  // A relation leaves its list: the records drop its details.
  virtual void ClearRelationDetails(TcxCustomDataRelation*) {}
  // A relation goes: its detail controller is unlinked from the master.
  virtual void UnlinkDetail(TcxCustomDataRelation*) {}

  // Selection: the record is in the row list (it passes the filters).
  virtual bool IsRecordInRowList(Integer) { return true; }
};

// What the focus record asks of the row-list builder.
class IcxDataControllerInfo {
public:
  virtual ~IcxDataControllerInfo() = default;
  // A change of the sort order waits for the next rebuild.
  virtual bool IsSortingChangePending() = 0;
  // The record the controller wants focused (for a record source: its current record).
  virtual Integer GetSyncFocusedRecordIndex() = 0;
  virtual void GetRowInfo(Integer ARowIndex, bool& AExpanded, Integer& ALevel, Integer& ARecordIndex) = 0;
};

// ---- Data fields -----------------------------------------------------------------------------

class TcxCustomDataFieldMetaClass : public TMetaClass {
public:
  template <class Self>
  TcxCustomDataFieldMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TMetaClass(ASelf, AClassName, AClassParent) {
    if constexpr (!std::is_abstract_v<Self> && std::is_constructible_v<Self, TcxCustomDataFieldList*>)
      FCreateIn = [](TcxCustomDataFieldList* AList) -> TcxCustomDataField* { return new Self(AList); };
  }
  using TMetaClass::Create;
  // A field of the class for AFieldList (not yet added to it).
  TcxCustomDataField* Create(TcxCustomDataFieldList* AFieldList) const;

private:
  TcxCustomDataField* (*FCreateIn)(TcxCustomDataFieldList*) = nullptr;
};
using TcxCustomDataFieldClass = const TcxCustomDataFieldMetaClass*;

// One item (column, editor) of the controller's owner, with the value
// definition that stores its values; or a field that shares the storage of
// another (its reference field).
class TcxCustomDataField : public TObject {
public:
  using MetaClass = TcxCustomDataFieldMetaClass;
  KORVANE_CLASS(TcxCustomDataField, TObject)

  explicit TcxCustomDataField(TcxCustomDataFieldList* AFieldList) : FFieldList(AFieldList) {}
  // Leaves its list, then frees its definition (unless it refers).
  ~TcxCustomDataField() override;

  // Takes the definition and value type of ASource, which loses both.
  virtual void Reassign(TcxCustomDataField* ASource);
  virtual void RemoveNotification(TComponent* AComponent);
  // It has a definition, or the controller keeps its own data.
  virtual bool HasValues();
  virtual bool IsSpecial();
  virtual bool IsInternal();

  TcxCustomDataFieldList* FieldList() const { return FFieldList; }
  IcxCustomDataController* DataController() const;
  TObject* Item() const { return FItem; }
  void SetItem(TObject* AValue) { FItem = AValue; }
  Integer Index() const;
  void SetIndex(Integer AValue);

  // Through the reference chain to the field that owns the storage.
  TcxValueDef* ValueDef() const;
  TcxValueTypeClass ValueTypeClass() const;
  bool TextStored() const;
  void SetValueTypeClass(TcxValueTypeClass AValue);
  void SetTextStored(bool AValue);
  bool Internal() const { return FInternal; }
  void SetInternal(bool AValue);
  TcxCustomDataField* ReferenceField() const { return FReferenceField; }
  // The item sorts and groups by its display text.
  bool SortByDisplayText() const { return FSortByDisplayText; }
  void SetSortByDisplayText(bool AValue) { FSortByDisplayText = AValue; }
  // Follows AValue's chain to its end; a chain that ends at this field is
  // refused.
  void SetReferenceField(TcxCustomDataField* AValue);
  bool IsReference() const { return FReferenceField != nullptr; }

  // Drops the definition on the first Begin; makes it anew on the last End.
  void BeginRecreate();
  void EndRecreate();
  // The provider reloads unless its notices are locked.
  void RequestReload();

protected:
  friend class TcxCustomDataFieldList;
  void DropValueDef();
  TcxCustomDataFieldList* FFieldList;
  TObject* FItem = nullptr;
  TcxValueDef* FValueDef = nullptr;
  TcxValueTypeClass FValueTypeClass = nullptr;
  TcxCustomDataField* FReferenceField = nullptr;
  bool FInternal = false;
  bool FTextStored = false;
  bool FSortByDisplayText = false;
  Integer FRecreateLock = 0;
};

class TcxCustomDataFieldList : public TObject {
  KORVANE_CLASS(TcxCustomDataFieldList, TObject)

  explicit TcxCustomDataFieldList(IcxCustomDataController* AController) : FController(AController) {}
  // Frees every field, the last first.
  ~TcxCustomDataFieldList() override;

  IcxCustomDataController* DataController() const { return FController; }
  TcxCustomDataField* FindByItem(TObject* AItem) const;
  // An internal field goes to the end; any other before the internal ones.
  void Add(TcxCustomDataField* AField);
  // The field leaves the list; fields that shared its storage keep it.
  void Remove(TcxCustomDataField* AField);
  void BroadcastComponentRemoved(TComponent* AComponent);
  Integer Count() const { return Integer(FItems.size()); }
  // Raises EListError outside the list.
  TcxCustomDataField* Items(Integer AIndex) const;
  Integer IndexOf(const TcxCustomDataField* AField) const;
  void Move(Integer ACurIndex, Integer ANewIndex);
  Integer InternalCount() const { return FInternalCount; }
  Integer ExternalCount() const { return Count() - FInternalCount; }
  bool FieldDestroyed() const { return FFieldDestroyed; }
  void SetFieldDestroyed(bool AValue) { FFieldDestroyed = AValue; }
  void RecountInternal();

private:
  IcxCustomDataController* FController;
  std::vector<TcxCustomDataField*> FItems;
  Integer FInternalCount = 0;
  bool FFieldDestroyed = false;
  bool FDestroying = false;
};

// ---- Details and relations ----------------------------------------------------------------

class TcxDetailInfoObject : public TObject {
  KORVANE_CLASS(TcxDetailInfoObject, TObject)

  TcxDetailInfoObject() = default;
  // Frees the link object.
  ~TcxDetailInfoObject() override;
  TObject* LinkObject() const { return FLinkObject; }
  // Frees a former link object.
  void SetLinkObject(TObject* AValue);
  bool HasChanges() const { return FChanged; }
  void SetChanged(bool AValue) { FChanged = AValue; }

private:
  TObject* FLinkObject = nullptr;
  bool FChanged = false;
};

// The detail state of one master record: the active relation and one info
// slot per relation (a slot may be empty).
class TcxDetailObject : public TObject {
  KORVANE_CLASS(TcxDetailObject, TObject)

  TcxDetailObject() = default;
  ~TcxDetailObject() override;

  void ClearInfos();
  // True when an info has changed; the flags are cleared.
  bool TakeChanges();
  void FreeInfo(Integer AIndex);
  // Grows to ACount slots (never shrinks) and keeps the active index within
  // the slots (-1 without any).
  void SetInfoCount(Integer ACount);
  Integer InfoCount() const { return Integer(FInfos.size()); }
  TcxDetailInfoObject* InfoAt(Integer AIndex) const;
  TObject* LinkObjectAt(Integer AIndex) const;
  bool HasNoLinks() const;
  void SetLinkObject(Integer AIndex, TObject* AValue);
  Integer ActiveRelationIndex() const { return FActiveRelationIndex; }
  void SetActiveRelationIndex(Integer AValue) { FActiveRelationIndex = AValue; }
  // The record's details are shown.
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool AValue) { FExpanded = AValue; }

private:
  Integer FActiveRelationIndex = -1;
  bool FExpanded = false;
  std::vector<TcxDetailInfoObject*> FInfos;
};

class TcxCustomDataRelation : public TObject {
  KORVANE_CLASS(TcxCustomDataRelation, TObject)

  TcxCustomDataRelation(TcxCustomDataRelationList* ARelationList, TObject* AItem);
  // Unlinks its detail controller and leaves its list.
  ~TcxCustomDataRelation() override;

  virtual void RemoveDataField(TcxCustomDataField* AField);

  TObject* Item() const { return FItem; }
  TcxCustomDataRelationList* RelationList() const { return FRelationList; }
  IcxCustomDataController* DetailDataController() const { return FDetailDataController; }
  void SetDetailDataController(IcxCustomDataController* AValue) { FDetailDataController = AValue; }
  Integer Index() const;
  void Changed();

private:
  friend class TcxCustomDataRelationList;
  TObject* FItem;
  TcxCustomDataRelationList* FRelationList;
  IcxCustomDataController* FDetailDataController = nullptr;
};

class TcxCustomDataRelationList : public TObject {
  KORVANE_CLASS(TcxCustomDataRelationList, TObject)

  explicit TcxCustomDataRelationList(IcxCustomDataController* AController) : FController(AController) {}
  // Frees the relations, the last first, without reporting.
  ~TcxCustomDataRelationList() override;

  void BeginUpdate();
  // The last End reports a change without a relation.
  void EndUpdate();
  void Clear();
  TcxCustomDataRelation* FindByItem(TObject* AItem) const;
  void Add(TcxCustomDataRelation* ARelation);
  void Remove(TcxCustomDataRelation* ARelation);
  Integer Count() const { return Integer(FItems.size()); }
  // Raises EListError outside the list.
  TcxCustomDataRelation* Items(Integer AIndex) const;
  Integer IndexOf(const TcxCustomDataRelation* ARelation) const;
  IcxCustomDataController* DataController() const { return FController; }
  TcxCustomDataField* DetailField() const { return FDetailField; }

  // The record's detail object, nullptr when it has none.
  TcxDetailObject* DetailObjectOf(Integer ARecordIndex);
  // The record's detail object, made while some relation has a detail
  // controller, dropped when none has.
  TcxDetailObject* GetDetailObject(Integer ARecordIndex);
  // ARelationIndex -1: any relation.
  bool IsDetailLinked(Integer ARecordIndex, Integer ARelationIndex);
  bool ClearDetails(Integer ARecordIndex, Integer ARelationIndex);
  void RemoveDataField(TcxCustomDataField* AField);
  // A relation (nullptr: the list as a whole) changed.
  void Changed(TcxCustomDataRelation* ARelation);

private:
  void StoreDetailObject(Integer ARecordIndex, TcxDetailObject* AObject);
  IcxCustomDataController* FController;
  std::vector<TcxCustomDataRelation*> FItems;
  Integer FLockCount = 0;
  TcxCustomDataField* FDetailField = nullptr;
  bool FDestroying = false;
};

// ---- Sorting and grouping lists -------------------------------------------------------------

enum TcxDataSortOrder : Byte { soNone, soAscending, soDescending };

struct TcxDataSortInfo {
  TcxCustomDataField* Field;
  TcxDataSortOrder SortOrder;
};

using TcxDataChangeEvent = TEvent<void()>;

class TcxSortingFieldList : public TObject {
  KORVANE_CLASS(TcxSortingFieldList, TObject)

  TcxSortingFieldList() = default;
  ~TcxSortingFieldList() override;

  // A present field takes the order (soNone removes it); an absent one is
  // appended unless the order is soNone.
  virtual void ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder);

  void AddMissing(const TcxSortingFieldList* AList);
  // Reports a change when the field is present.
  void CheckField(TcxCustomDataField* AField);
  void Clear();
  Integer Find(const TcxCustomDataField* AField) const;
  TcxDataSortOrder OrderOf(const TcxCustomDataField* AField) const;
  void Add(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder);
  void InsertAt(Integer AIndex, TcxCustomDataField* AField, TcxDataSortOrder ASortOrder);
  void Delete(Integer AIndex);
  void Move(Integer ACurIndex, Integer ANewIndex);
  void Remove(TcxCustomDataField* AField);
  void SetOrder(Integer AIndex, TcxDataSortOrder ASortOrder);
  // A negative index removes the field; an absent field is inserted
  // ascending; a present one moves (indexes are clamped).
  void MoveField(TcxCustomDataField* AField, Integer AIndex);
  Integer Count() const { return Integer(FItems.size()); }
  // Raises EListError outside the list.
  const TcxDataSortInfo& Items(Integer AIndex) const;

  TcxDataChangeEvent OnChanged;

protected:
  void Changed();

private:
  std::vector<TcxDataSortInfo*> FItems;
};

// Grouping fields are always sorted: soNone counts as soAscending.
class TcxGroupingFieldList : public TcxSortingFieldList {
  KORVANE_CLASS(TcxGroupingFieldList, TcxSortingFieldList)

  void ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder ASortOrder) override;
  // Every grouping field takes its order from ASortingList (soAscending
  // when it is not there).
  void SyncOrders(const TcxSortingFieldList* ASortingList);
};

// ---- Group tree ---------------------------------------------------------------------------

// One group. For the deepest level First and Last are record-list positions
// of its records; for upper levels the list indexes of its first and last
// descendant groups.
struct TcxDataGroupInfo {
  Integer RowIndex = 0;
  bool Expanded = false;
  Integer Level = 0;
  Integer FirstIndex = 0;
  Integer LastIndex = 0;
  // The summary values: an array in SummaryValues, or, when SummaryCount > 0,
  // SummaryCount values from SummaryOffset on in the group list's summary
  // table (so that a regrouping makes no array per group). Read them with
  // TcxDataGroups::SummaryValuesOf / SummaryValueOf.
  Variant SummaryValues;
  Integer SummaryOffset = 0;
  Integer SummaryCount = 0;
};

class TcxDataGroups : public TObject {
  KORVANE_CLASS(TcxDataGroups, TObject)

  TcxDataGroups() = default;
  ~TcxDataGroups() override;

  void AddField(TcxCustomDataField* AField);
  // A zeroed group, appended; answers it.
  TcxDataGroupInfo* AddGroup();
  void Clear();
  Integer Count() const { return Integer(FGroups.size()); }
  // Raises EListError outside the list.
  TcxDataGroupInfo* Items(Integer AIndex) const;
  Integer FieldCount() const { return Integer(FFields.size()); }
  TcxCustomDataField* Fields(Integer ALevel) const;

  void SetAllExpanded(bool AValue);
  // AGroup -1: the level-0 groups.
  Integer ChildCount(Integer AGroup) const;
  Integer ChildGroup(Integer AGroup, Integer AIndex) const;
  Integer ChildRecordPosition(Integer AGroup, Integer AIndex) const;
  Integer Level0Count() const;
  Integer Level0Group(Integer AIndex) const;
  Integer LevelOf(Integer AGroup) const;
  // The group of a row, moved to ALevel (-1: as found); -1 without groups.
  Integer GroupOfRow(Integer ARowIndex, Integer ALevel = -1) const;
  bool IsRowOwner(Integer AGroup) const;
  // Expands every ancestor (and the group itself when asked); answers
  // whether anything changed.
  bool MakeVisible(Integer AGroup, bool AExpandSelf);
  Integer RowCount() const;
  // Level, expansion and record position of a row.
  void RowInfo(Integer ARowIndex, bool& AExpanded, Integer& ALevel, Integer& ARecordPosition) const;
  // Numbers the rows after the expansion of every group.
  void Renumber();
  // With one grouping level: orders the groups by their summary value.
  void SortBySummary();
  Integer SummaryItemIndex() const { return FSummaryItemIndex; }
  TcxDataSortOrder SummarySortOrder() const { return FSummarySortOrder; }
  void SetSummarySort(Integer AItemIndex, TcxDataSortOrder ASortOrder);
  // A group's summary values as an array (see TcxDataGroupInfo).
  Variant SummaryValuesOf(const TcxDataGroupInfo* AGroup) const;
  // One of them by item index; Null outside.
  Variant SummaryValueOf(const TcxDataGroupInfo* AGroup, Integer AIndex) const;
  // The values of the groups that keep theirs in the table; emptied by Clear.
  std::vector<Variant>& SummaryTable() { return FSummaryTable; }

private:
  std::vector<Variant> FSummaryTable;
  bool IsValid(Integer AGroup) const { return AGroup >= 0 && AGroup < Count(); }
  bool IsDeepest(Integer AGroup) const { return FGroups[size_t(AGroup)]->Level == FieldCount() - 1; }
  Integer ParentOf(Integer AGroup) const;
  Integer FindRowOwner(Integer ARowIndex) const;
  // Numbers the rows of the groups AFirst .. AEnd - 1, the first of them at
  // row AFirstRow; answers the row after them.
  Integer RenumberRange(Integer AFirst, Integer AEnd, Integer AFirstRow);
  // After a visible group (keeping its row) or its descendants expanded.
  void RenumberExpanded(Integer AGroup);
  std::vector<TcxCustomDataField*> FFields;
  std::vector<TcxDataGroupInfo*> FGroups;
  // The groups themselves, allocated in blocks (a regrouping makes hundreds
  // of thousands); FGroups points into it and carries the order.
  std::deque<TcxDataGroupInfo> FGroupStore;
  Integer FSummaryItemIndex = -1;
  TcxDataSortOrder FSummarySortOrder = soNone;
};

// ---- Focus, expansion and selection ----------------------------------------------------------

class TcxDataFocusingInfo : public TObject {
  KORVANE_CLASS(TcxDataFocusingInfo, TObject)

  explicit TcxDataFocusingInfo(IcxDataControllerInfo* AInfo) : FInfo(AInfo) {}

  // Copies level, previous record, record and row; clears both flags.
  void Assign(const TcxDataFocusingInfo* ASource);
  void Clear();
  // Same record and level; also the same row while a sorting change waits.
  bool SameAs(const TcxDataFocusingInfo* AOther) const;
  void TakeControllerRecord();
  void UpdateFromRow(Integer ARowIndex);

  Integer Level() const { return FLevel; }
  void SetLevel(Integer AValue) { FLevel = AValue; }
  Integer PrevRecordIndex() const { return FPrevRecordIndex; }
  Integer RecordIndex() const { return FRecordIndex; }
  // The previous record index follows.
  void SetRecordIndex(Integer AValue);
  Integer RowIndex() const { return FRowIndex; }
  void SetRowIndex(Integer AValue) { FRowIndex = AValue; }
  bool Changed() const { return FChanged; }
  void SetChanged(bool AValue) { FChanged = AValue; }
  bool PrevNewItemRowFocused() const { return FPrevNewItemRowFocused; }
  void SetPrevNewItemRowFocused(bool AValue) { FPrevNewItemRowFocused = AValue; }

private:
  IcxDataControllerInfo* FInfo;
  Integer FLevel = -1;
  Integer FPrevRecordIndex = -1;
  Integer FRecordIndex = -1;
  Integer FRowIndex = -1;
  bool FChanged = false;
  bool FPrevNewItemRowFocused = false;
};

struct TcxDataExpandingInfo {
  Integer Level;
  Variant Value;
  Integer State;
};

class TcxDataExpandingInfos : public TObject {
  KORVANE_CLASS(TcxDataExpandingInfos, TObject)

  TcxDataExpandingInfos() = default;
  ~TcxDataExpandingInfos() override;

  // Raises EcxInvalidDataControllerOperation "Item already exists" for a
  // saved field; otherwise appends it and clears the items.
  void AddField(TcxCustomDataField* AField);
  void AddItem(Integer ALevel, const Variant& AValue, Integer AState);
  // A saved field clears everything.
  void CheckField(TcxCustomDataField* AField);
  void Clear();
  Integer IndexOfField(const TcxCustomDataField* AField) const;
  Integer FieldCount() const { return Integer(FFields.size()); }
  TcxCustomDataField* Fields(Integer AIndex) const;
  Integer Count() const { return Integer(FItems.size()); }
  const TcxDataExpandingInfo& Items(Integer AIndex) const;
  // The saved kinds of state (1 expanded, 2 selected).
  Integer SaveStates() const { return FSaveStates; }
  void SetSaveStates(Integer AValue) { FSaveStates = AValue; }

private:
  std::vector<TcxCustomDataField*> FFields;
  std::vector<TcxDataExpandingInfo*> FItems;
  Integer FSaveStates = 0;
};

// A selected row: a data row (Level = number of grouping levels, Index =
// record index) or a group row (Level -1, Index = group index).
struct TcxDataSelectionInfo {
  Integer Level;
  Integer Index;
  Integer RowIndex;
};

using TcxDataSelectionMetaClass = TConstructorMetaClass<TObject, IcxCustomDataController*>;

class TcxDataSelection : public TObject {
public:
  using MetaClass = TcxDataSelectionMetaClass;
  KORVANE_CLASS(TcxDataSelection, TObject)

  explicit TcxDataSelection(IcxCustomDataController* AController) : FController(AController) {}
  ~TcxDataSelection() override;

  virtual void ClearAnchor();
  // APosition -1 appends.
  virtual void InsertEntry(Integer APosition, Integer ARowIndex, Integer ALevel, Integer ARecordIndex);
  virtual void ClearEntries();
  virtual void DeleteEntry(Integer AIndex);
  // Without a change notice: entries beyond ACount go, missing ones are
  // added as (level 0, record = row = index).
  virtual void SetInternalCount(Integer ACount);
  virtual void Add(Integer APosition, Integer ARowIndex, Integer ALevel, Integer ARecordIndex);
  // Bisection by row index: found, and the index or where it would go.
  virtual bool FindRow(Integer ARowIndex, Integer& AIndex) const;

  void DeleteAt(Integer AIndex);
  // Entries and fields.
  void Clear();
  // Also the anchor.
  void ClearAll();
  void SortByRow();
  Integer FindGroupEntry(Integer AGroupIndex) const;
  Integer FindRecordEntry(Integer ARecordIndex) const;
  bool IsRecordSelected(Integer ARecordIndex) const { return FindRecordEntry(ARecordIndex) != -1; }
  // Drops data-row entries whose records are no longer in the row list.
  void DropStaleEntries();

  IcxCustomDataController* DataController() const { return FController; }
  Integer Count() const { return Integer(FItems.size()); }
  // Raises EListError outside the list.
  TcxDataSelectionInfo& Items(Integer AIndex) const;
  std::vector<TcxCustomDataField*>& Fields() { return FFields; }
  Integer AnchorRowIndex() const { return FAnchorRowIndex; }
  void SetAnchorRowIndex(Integer AValue) { FAnchorRowIndex = AValue; }

  TcxDataChangeEvent OnChanged;

protected:
  void Changed();

private:
  IcxCustomDataController* FController;
  std::vector<TcxCustomDataField*> FFields;
  std::vector<TcxDataSelectionInfo*> FItems;
  Integer FAnchorRowIndex = -1;
};
using TcxDataSelectionClass = const TcxDataSelectionMetaClass*;
