#pragma once
// The data controller behind every data-aware view: it owns the records,
// one data field per view item, the filter, the summaries, the incremental
// search and the row list the views show. Views address items by item
// index, records by record index and visible rows by row index, and learn
// of every change through notice objects handed to NotifyControl.
//
// Index spaces: record index (0 .. record count - 1; internal records of the
// storage are negative; cxNoRecordIndex means no record), record-list
// position (index into the filtered and sorted list) and row index (visible
// group and data rows; -1 means none).
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "data/cxCustomData.h"
#include "data/cxCustomDataProvider.h"
#include "data/cxDataControllerConsts.h"
#include "data/cxDataControllerInfo.h"
#include "data/cxDataStorage.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TcxCustomDataController;
class TcxDataControllerSearch;
class TcxDataFilterCriteria;
class TcxDataFilterList;
class TcxDataSummary;
class TcxDataSummaryItem;

// ---- Notices --------------------------------------------------------------------------

class TcxUpdateControlInfo : public TObject {
  KORVANE_CLASS(TcxUpdateControlInfo, TObject)
};

// Data-change kinds, from the narrowest to the widest.
enum TcxDataChangeKind : Byte { dcValue = 0, dcRecord = 1, dcAdded = 2, dcDeleted = 3, dcTotal = 4 };

// The record index is cxNoRecordIndex when the change names no record.
class TcxDataChangedInfo : public TcxUpdateControlInfo {
  KORVANE_CLASS(TcxDataChangedInfo, TcxUpdateControlInfo)
  TcxDataChangedInfo(TcxDataChangeKind AKind, Integer AItemIndex, Integer ARecordIndex)
      : Kind(AKind), ItemIndex(AItemIndex), RecordIndex(ARecordIndex) {}
  TcxDataChangeKind Kind;
  Integer ItemIndex;
  Integer RecordIndex;
};

class TcxLayoutChangedInfo : public TcxUpdateControlInfo {
  KORVANE_CLASS(TcxLayoutChangedInfo, TcxUpdateControlInfo)
};

class TcxUpdateRecordInfo : public TcxUpdateControlInfo {
  KORVANE_CLASS(TcxUpdateRecordInfo, TcxUpdateControlInfo)
  explicit TcxUpdateRecordInfo(Integer ARecordIndex) : RecordIndex(ARecordIndex) {}
  Integer RecordIndex;
};

class TcxFocusedRowChangedInfo : public TcxUpdateControlInfo {
  KORVANE_CLASS(TcxFocusedRowChangedInfo, TcxUpdateControlInfo)
  TcxFocusedRowChangedInfo(Integer APrev, Integer AFocused) : PrevFocusedRowIndex(APrev), FocusedRowIndex(AFocused) {}
  Integer PrevFocusedRowIndex;
  Integer FocusedRowIndex;
};

class TcxFocusedRecordChangedInfo : public TcxUpdateControlInfo {
  KORVANE_CLASS(TcxFocusedRecordChangedInfo, TcxUpdateControlInfo)
  TcxFocusedRecordChangedInfo(Integer APrevRecord, Integer ARecord, Integer APrevRow, Integer ARow,
                              bool ANewItemRowFocusingChanged)
      : PrevFocusedRecordIndex(APrevRecord), FocusedRecordIndex(ARecord), PrevFocusedRowIndex(APrevRow),
        FocusedRowIndex(ARow), NewItemRowFocusingChanged(ANewItemRowFocusingChanged) {}
  Integer PrevFocusedRecordIndex;
  Integer FocusedRecordIndex;
  Integer PrevFocusedRowIndex;
  Integer FocusedRowIndex;
  bool NewItemRowFocusingChanged;
};

// An empty list means that any row may have changed.
class TcxSelectionChangedInfo : public TcxUpdateControlInfo {
  KORVANE_CLASS(TcxSelectionChangedInfo, TcxUpdateControlInfo)
  TcxSelectionChangedInfo() = default;
  TcxSelectionChangedInfo(Integer ARow1, Integer ARow2);
  Integer Count() const { return Integer(FRowIndexes.size()); }
  Integer RowIndexes(Integer AIndex) const { return FRowIndexes.at(AIndex); }

private:
  std::vector<Integer> FRowIndexes;
};

class TcxSearchChangedInfo : public TcxUpdateControlInfo {
  KORVANE_CLASS(TcxSearchChangedInfo, TcxUpdateControlInfo)
};

class TcxBookmarkChangedInfo : public TcxUpdateControlInfo {
  KORVANE_CLASS(TcxBookmarkChangedInfo, TcxUpdateControlInfo)
};

// Controller change flags.
enum : Word {
  dccLayout = 0x0001,
  dccData = 0x0002,
  dccFocus = 0x0004,
  dccSelection = 0x0008,
  dccDetailLayout = 0x0010,
  dccSummary = 0x0020,
  dccSearch = 0x0040,
  dccSortingChanged = 0x0080,
  dccGroupingChanged = 0x0100,
  dccStructure = 0x0200,
  dccBookmark = 0x0400,
  dccUpdateRecord = 0x0800,
};

// ---- Options and edit bits -------------------------------------------------------------

using TcxDataControllerOptions = Word;
enum : Word {
  dcoCompareLocaleAware = 0x0001,
  dcoCompareIgnoreCase = 0x0002,
  dcoCopyGroupValuesToNewRecord = 0x0004,
  dcoCopyMasterKeysToNewRecord = 0x0008,
  dcoKeepExpansionAndSelection = 0x0010,
  dcoCompareDisplayTexts = 0x0020,
  dcoFocusFirstRowAfterReorder = 0x0040,
  dcoAllGroupsExpanded = 0x0080,
  dcoPostEachValue = 0x0100,
  dcoInsertOnNewRowFocus = 0x0200,
};
inline constexpr TcxDataControllerOptions cxDataControllerDefaultOptions = 0x001C;

enum : Integer { dceInsert = 1, dceEdit = 2, dceChanging = 4, dceModified = 8 };
enum : Integer { dceopAppend = 1, dceopDelete = 2, dceopEdit = 4, dceopInsert = 8, dceopItemsEditable = 16 };

// Value kinds of GetItemEditValue / SetItemEditValue.
enum TcxDataEditValueSource { evsValue, evsText, evsKey };

// What a controller is in a master-detail relation: none, the pattern of a
// relation's details, or a clone bound to one master record.
enum class TcxDetailMode { None, Pattern, Clone };

// How many rows were selected when the last selection notice went out.
enum class TcxSelectedCount { None, One, Several };

// How a field's records are compared during one sort pass.
enum class TcxCompareMode { NotPrepared, StoredData, Values, DisplayTexts };

// ---- Events -----------------------------------------------------------------------------

using TcxDataControllerCompareEvent =
    TEvent<void(TcxCustomDataController* ADataController, Integer ARecordIndex1, Integer ARecordIndex2,
                Integer AItemIndex, const Variant& V1, const Variant& V2, Integer& Compare)>;
using TcxDataFilterRecordEvent =
    TEvent<void(TcxCustomDataController* ADataController, Integer ARecordIndex, bool& Accept)>;
using TcxDataRecordNotifyEvent = TEvent<void(TcxCustomDataController* ADataController, Integer ARecordIndex)>;
using TcxDataControllerNotifyEvent = TEvent<void(TcxCustomDataController* ADataController)>;
using TcxDataRecordChangedEvent =
    TEvent<void(TcxCustomDataController* ADataController, Integer ARecordIndex, Integer AItemIndex)>;
using TcxUpdateControlEvent = TEvent<void(TcxUpdateControlInfo* AInfo)>;
using TcxDataDetailExpandingEvent =
    TEvent<void(TcxCustomDataController* ADataController, Integer ARecordIndex, bool& AAllow)>;
using TcxDataControllerEachRowProc =
    std::function<void(Integer ARowIndex, const TcxRowInfo& ARowInfo)>;

// ---- Controller --------------------------------------------------------------------------

class TcxCustomDataController : public TPersistent, public IcxCustomDataController {
  KORVANE_CLASS(TcxCustomDataController, TPersistent)

  explicit TcxCustomDataController(TComponent* AOwner);
  ~TcxCustomDataController() override;

  TComponent* Owner() const { return FOwner; }
  TPersistent* GetOwner() const override { return FOwner; }
  void Assign(TPersistent* ASource) override;

  // ---- Parts ----
  TcxDataStorage* DataStorage() const { return FDataStorage.get(); }
  TcxCustomDataFieldList* Fields() const { return FFields.get(); }
  TcxCustomDataProvider* Provider() const { return FProvider.get(); }
  TcxCustomDataControllerInfo* DataControllerInfo() const { return FInfo.get(); }
  TcxDataControllerGroups* Groups() const { return FGroups.get(); }
  TcxDataFilterCriteria* Filter() const { return FFilter.get(); }
  TcxDataSummary* Summary() const { return FSummary.get(); }
  TcxDataControllerSearch* Search() const { return FSearch.get(); }
  // An extra criteria, freed with the controller (or by the caller).
  virtual TcxDataFilterCriteria* CreateFilter();
  void RemoveExtraFilter(TcxDataFilterCriteria* ACriteria);
  // The extra criteria made by CreateFilter.
  TcxDataFilterList* FilterList() const { return FFilterList.get(); }
  // The classes of the provider and the summary. A constructor cannot reach
  // a subclass's answers, so a subclass that answers other classes calls
  // RecreateProvider / RecreateSummary from its own constructor.
  virtual TcxCustomDataProviderClass ProviderClass() const { return TcxCustomDataProvider::StaticClass(); }
  virtual TClass SummaryClass() const;

  // ---- Options ----
  TcxDataControllerOptions GetOptions() const { return FOptions; }
  void SetOptions(TcxDataControllerOptions AValue);
  bool HasOption(TcxDataControllerOptions AOption) const { return (FOptions & AOption) != 0; }
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool AValue);

  // ---- Bookkeeping callbacks (IcxCustomDataController) ----
  TcxDataStorage* GetDataStorage() override { return FDataStorage.get(); }
  bool IsProviderNotifyLocked() override { return FProvider && FProvider->IsNotifyLocked(); }
  void FieldRemoved(TcxCustomDataField* AField) override;
  TcxCustomDataField* CreateInternalField() override;
  void CheckRecordIndex(Integer ARecordIndex) override { CheckRecordRange(ARecordIndex); }
  bool IsRecordInRowList(Integer ARecordIndex) override;
  // The provider keeps the records and no record source is attached.
  bool OwnsRecords() override;
  void ProviderRequestReload(bool AFlag) override { FProvider->RequestReload(AFlag); }
  IcxCustomDataController* GetDetailReferenceController() override;
  TcxCustomDataRelationList* GetRelationsIfAny() override { return FRelations.get(); }
  Integer GetDefaultActiveRelationIndex() override { return 0; }
  // The detail controller of a link object made by CreateDetailLinkObject
  // (nullptr in the base).
  TcxCustomDataController* GetDetailDataController(TObject*) override { return nullptr; }
  void ResetMasterLink() override;
  void DetailsChanged() override;
  void RelationChanged(TcxCustomDataRelation* ARelation) override;
  void ClearRelationDetails(TcxCustomDataRelation* ARelation) override;
  void UnlinkDetail(TcxCustomDataRelation* ARelation) override;
  virtual TcxDataSelectionClass SelectionClass() const { return TcxDataSelection::StaticClass(); }

  // ---- Update brackets and notices ----
  void BeginUpdate() override;
  void EndUpdate() override;
  bool IsUpdating() const;
  void Change(Word AFlags);
  Word ChangeFlags() const { return FChanges; }
  // A data change (kind, item, record); record cxNoRecordIndex: none.
  virtual void DataChanged(Integer AKind, Integer AItemIndex, Integer ARecordIndex);
  // Hands a notice to the view (OnUpdateControl). The caller frees it.
  virtual void NotifyControl(TcxUpdateControlInfo* AUpdateControlInfo);
  bool InNotify() const { return FInNotify; }
  void AddDataChangedListener(TObject* AOwner, TNotifyEvent AHandler);
  void RemoveDataChangedListener(TObject* AOwner, TNotifyEvent AHandler);
  void LockChangeHandling() { ++FChangeHandlingLock; }
  void UnlockChangeHandling() { --FChangeHandlingLock; }
  bool IsChangeHandlingLocked() const { return FChangeHandlingLock > 0; }
  void BeginLocate();
  void EndLocate();
  bool IsLocating() const { return FLocateCount > 0; }
  // Called by the row list when it finished an update with this mask.
  void InfoUpdated(Word AMask);

  // ---- Loading from a record source ----
  // Reloads the fields (when forced) and the storage from the record source;
  // under an update lock the storage work waits for the last EndUpdate.
  void RefreshData(bool AForce = false);
  virtual void ReloadData();
  virtual void RecreateStorage();
  virtual void RestructureStorage();
  virtual void RecreateFields() {}
  virtual void RefreshFocusFromSource();
  virtual void StructureChanged();
  virtual void AfterStructureChanged() {}
  virtual bool NeedsReloadOnActivate();
  virtual bool HasRecordSource();
  virtual bool IsAppendThroughSource() { return false; }
  virtual bool IsInsertThroughSource() { return false; }
  virtual bool IsGridReloadPending() { return false; }
  virtual bool RecordIDsSupported() { return false; }
  virtual void InitField(TcxCustomDataField*) {}
  virtual void ValueTypeChanged(Integer) {}
  virtual void BroadcastComponentRemoved(TComponent* AComponent);
  // The record source's load bracket of the storage.
  virtual void BeginLoadFromSource() { FDataStorage->PrepareLoad(); }
  virtual void EndLoadFromSource() {}
  // Appends a storage record with the reader's values; answers it.
  virtual Integer AppendFromReader(TcxValueDefReader* AReader);
  virtual void RecordLoaded(Integer) {}
  // Appends a record through the record source; answers it.
  virtual Integer LoadRecordFromSource();
  virtual void ReadRecordFromSource(Integer, Integer) {}
  virtual void DeleteRecordInSource(Integer ARecordIndex);
  virtual void WriteValueToSource(TcxValueDef*, Integer, Integer) {}
  void ProviderBeginLoad() { FProvider->BeginLoad(); }
  void ProviderEndLoad() { FProvider->EndLoad(); }
  // Hands the record source to the provider, which detaches the previous
  // one and reloads.
  void SetRecordSource(TcxCustomDataSource* ASource);
  TcxCustomDataSource* RecordSource() const { return FProvider->CustomDataSource(); }
  // The internal field that holds each record's handle into the record
  // source (nullptr while no source is attached).
  TcxCustomDataField* RecordHandleField() const { return FRecordHandleField; }
  bool Active() const { return FActive; }
  virtual void SetActive(bool AValue);
  // The record source moved its current record.
  virtual void SyncFocusedRecord();
  virtual Integer GetSyncFocusedRecordIndex();
  virtual bool SourceKeepsSelection();
  virtual void RefreshSource() {}
  // Adds the key fields to AList (the base adds none).
  virtual void GetKeyFields(std::vector<TcxCustomDataField*>& AList);
  bool InLoadStorage() const { return FInLoadStorage; }
  // A link object of a detail is being made.
  bool CreatingLinkObject() const { return FCreatingLinkObject; }
  bool IsRefreshing() const { return FRefreshing; }
  bool StructureReloadPending() const { return FStructureReloadPending; }
  // While locked, a recreation of the fields only waits; the last unlock
  // carries it out.
  void LockGridModeNotify() { ++FGridModeNotifyLock; }
  void UnlockGridModeNotify();
  bool FieldsRecreatePending() const { return FFieldsRecreatePending; }

  // ---- Master-detail ----
  // Made on first use.
  TcxCustomDataRelationList* Relations();
  TcxCustomDataController* GetMasterDataController() const;
  Integer GetMasterRecordIndex() const { return FMasterRecordIndex; }
  TcxCustomDataRelation* GetMasterRelation() const { return FMasterRelation; }
  virtual bool IsDetailMode() const { return FMasterRelation != nullptr; }
  TcxDetailMode DetailMode() const;
  bool IsPattern() const { return DetailMode() == TcxDetailMode::Pattern; }
  // Raises "!" on a detail controller that already has data-change references.
  void SetIsPattern(bool AValue);
  Integer DataChangeRefCount() const { return FDataChangeRefCount; }
  void SetDataChangeRefCount(Integer AValue) { FDataChangeRefCount = AValue; }
  // Binds this controller as the detail of a relation: ARecordIndex -1
  // makes it the relation's pattern, otherwise a clone for that record.
  virtual void SetMasterRelation(TcxCustomDataRelation* ARelation, Integer ARecordIndex);
  virtual TObject* CreateDetailLinkObject(TcxCustomDataRelation*, Integer) { return nullptr; }
  // The link object of a record's relation, made on first use (nullptr
  // while no relation has a detail controller).
  TObject* GetDetailLinkObject(Integer ARecordIndex, Integer ARelationIndex);
  bool IsDetailExpanded(Integer ARecordIndex);
  virtual bool ChangeDetailExpanding(Integer ARecordIndex, bool AExpanded);
  Integer GetDetailActiveRelationIndex(Integer ARecordIndex);
  void ChangeActiveRelationIndex(Integer ARecordIndex, Integer ARelationIndex);
  void CollapseAllDetails();
  // Every record drops its detail object.
  void ResetDetails();
  virtual bool DoDetailExpanding(Integer ARecordIndex);
  virtual void DoDetailExpanded(Integer ARecordIndex) { OnDetailExpanded(this, ARecordIndex); }
  virtual bool DoDetailCollapsing(Integer ARecordIndex);
  virtual void DoDetailCollapsed(Integer ARecordIndex) { OnDetailCollapsed(this, ARecordIndex); }
  virtual void CheckDetailsBeforeChange() {}
  virtual void DetailsRecordInserted(Integer ARecordIndex);
  virtual void DetailsRecordDeleted(Integer ARecordIndex);
  // A detail's data changed: the master takes the changes of its details.
  virtual void DetailDataChanged();

  // ---- Grid mode ----
  // The provider's answer (the dataset binding keeps a window of records).
  bool IsGridMode() const { return FProvider && FProvider->IsGridMode(); }
  virtual bool GridModeLocateByText(const String&, bool, bool) { return false; }
  void ScrollGridModeBuffer(Integer ADistance);

  // ---- Items ----
  virtual TObject* GetItem(Integer AIndex) const = 0;
  virtual Integer GetItemCount() const;
  virtual Integer GetItemID(TObject* AItem) const;
  virtual Integer FindItemByID(Integer AID) const;
  void CheckItemRange(Integer AItemIndex) const;
  // A data field for the item object; "Item already exists" when it has one.
  TcxCustomDataField* AddItemField(TObject* AItem);
  void RemoveItem(TObject* AItem);
  void UpdateItemIndexes();
  TcxCustomDataField* GetItemField(Integer AItemIndex) const;
  Integer GetItemIndexOfField(TcxCustomDataField* AField) const;
  Integer GetItemIndexOf(TObject* AItem) const;
  TcxValueTypeClass GetItemValueTypeClass(Integer AItemIndex) const;
  virtual void SetItemValueTypeClass(Integer AItemIndex, TcxValueTypeClass AValue);
  virtual bool CanEditItem(Integer AItemIndex) const;

  // ---- Records and values ----
  Integer GetRecordCount() const;
  void CheckRecordRange(Integer ARecordIndex);
  Integer AppendRecord();
  Integer InsertRecord(Integer ARecordIndex);
  void DeleteRecord(Integer ARecordIndex);
  void SetRecordCount(Integer AValue);
  Variant GetValue(Integer ARecordIndex, Integer AItemIndex);
  void SetValue(Integer ARecordIndex, Integer AItemIndex, const Variant& AValue);
  String GetDisplayText(Integer ARecordIndex, Integer AItemIndex);
  void SetDisplayText(Integer ARecordIndex, Integer AItemIndex, const String& AText);
  virtual Variant GetRecordValue(Integer ARecordIndex, TcxCustomDataField* AField);
  virtual String GetRecordDisplayText(Integer ARecordIndex, TcxCustomDataField* AField);
  // One field: its value; more: a variant array in list order.
  Variant GetRecordValues(Integer ARecordIndex, const std::vector<TcxCustomDataField*>& AFields);
  std::vector<Variant> GetGroupingValues(Integer ARecordIndex);
  // Copies the values of every field from one record into another.
  void CopyRecordValues(Integer AFromRecordIndex, Integer AToRecordIndex);
  // The internal record of the new item row, made on first use.
  Integer NewItemRecordIndex();

  // ---- Rows and focus ----
  Integer GetRowCount() const;
  TcxRowInfo GetRowInfo(Integer ARowIndex) const;
  Integer GetFilteredRecordCount() const;
  Integer GetFilteredRecordIndex(Integer APosition) const;
  Integer GetFilteredIndexByRecordIndex(Integer ARecordIndex) const;
  Integer GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible);
  bool FocusRow(Integer ARowIndex);
  void FocusRecord(Integer ARecordIndex);
  Integer GetFocusedRowIndex() const;
  virtual Integer GetFocusedRecordIndex() const;
  void FocusFirstRow();
  void FocusLastRow();
  void FocusNextRow();
  void FocusPriorRow();
  void MoveFocusBy(Integer ADistance);
  bool IsFirstRowFocused() const;
  bool IsLastRowFocused() const;
  virtual bool FocusDetailsOnFocus() { return false; }
  // The detail controllers of the record take their sources' current records.
  void FocusDetails(Integer ARecordIndex);
  void CheckFocusAfterClear();
  // Called before every focus change: posts a pending edit of another record.
  virtual bool LeaveRecord(Integer ARecordIndex);
  virtual bool CanFocusRecord(Integer) { return true; }
  virtual void FocusedRowChanging(Integer) {}
  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);
  void FullExpand();
  void FullCollapse();

  // ---- Sorting and grouping ----
  void SetItemSortOrder(Integer AItemIndex, TcxDataSortOrder AOrder);
  TcxDataSortOrder GetItemSortOrder(Integer AItemIndex) const;
  void ClearSorting(bool AKeepGrouping);
  // A negative index ungroups the item.
  void SetItemGroupIndex(Integer AItemIndex, Integer AGroupIndex);
  Integer GetItemGroupIndex(Integer AItemIndex) const;
  void ClearGrouping();
  void CheckItemResort(Integer AItemIndex);
  void RefreshRows();
  // The item's sort-by-display-text setting.
  virtual bool GetItemSortByDisplayText(Integer AItemIndex) const;
  virtual void SetItemSortByDisplayText(Integer AItemIndex, bool AValue);
  // Whether the item sorts (and groups) by display text: its setting.
  virtual bool IsItemDisplayTextSorted(Integer AItemIndex, bool ACompareDisplayTexts) const;
  bool IsGrouped() const;

  // ---- Comparison used by sorting, grouping and locating ----
  virtual Integer CompareRecordsByField(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField);
  Integer CompareRecordsBySortEntry(Integer ARecordIndex1, Integer ARecordIndex2, const TcxDataSortInfo& AEntry);
  virtual Integer CompareRecordIndexes(Integer ARecordIndex1, Integer ARecordIndex2) { return ARecordIndex1 - ARecordIndex2; }
  // The full record order of the row list (sort entries, then record index).
  Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2);
  virtual Variant GetGroupValue(Integer ARecordIndex, TcxCustomDataField* AField);
  bool NeedsValueCompare(TcxCustomDataField* AField) const;
  bool StringCompareApplies(TcxCustomDataField* AField) const;
  bool ComparesDisplayText(TcxCustomDataField* AField) const;
  // Prepares (or clears) the per-field compare modes of a sort pass.
  void PrepareCompare(const std::vector<TcxDataSortInfo>& AEntries);
  void UnprepareCompare();
  bool InternalFind() const { return FInternalFind; }
  void SetInternalFind(bool AValue) { FInternalFind = AValue; }

  // ---- Selection ----
  bool IsFocusedRowOnlySelection() const { return !FMultiSelect; }
  Integer GetSelectedCount() const;
  Integer GetSelectedRowIndex(Integer AIndex) const;
  bool IsRowSelected(Integer ARowIndex) const;
  bool FocusedSelected() const { return FFocusedSelected; }
  void SetFocusedSelected(bool AValue);
  void ChangeRowSelection(Integer ARowIndex, bool ASelect);
  void ClearSelection();
  void SelectRows(Integer AFrom, Integer ATo);
  void SelectAll();
  void SetSelectionAnchor(Integer ARowIndex);
  void ClearSelectionAnchor();
  Integer GetSelectionAnchorRowIndex() const;
  bool IsSelectionAnchorSet() const { return GetSelectionAnchorRowIndex() != -1; }
  void SelectFromAnchor(Integer ARowIndex, bool AKeepSelection);
  void SyncSelected();
  void SelectFocusedOnly();
  virtual bool CanSelectRow(Integer) { return true; }
  void ForEachRow(bool ASelectedOnly, const TcxDataControllerEachRowProc& AProc);
  bool FocusSelectedRow(Integer ASelectedIndex);

  // ---- Editing ----
  virtual Integer GetEditState();
  virtual Integer GetEditOperations();
  void Append();
  void Insert();
  void Edit();
  void PostRecord();
  void CancelRecord();
  void FlushPendingEdits();
  void DeleteFocused();
  void DeleteSelection();
  void DeleteRecords(std::vector<Integer> AList);
  bool BeginRecordEdit(Integer AItemIndex);
  Variant GetItemEditValue(Integer AItemIndex, TcxDataEditValueSource AKind = evsValue);
  bool SetItemEditValue(Integer AItemIndex, const Variant& AValue, TcxDataEditValueSource AKind = evsValue);
  bool PostsEachValue();
  virtual bool GetCanModifyItem(Integer) { return false; }
  // The view writes its open editor's value into the record.
  virtual void UpdateControlData() {}
  virtual Integer GetEditingRecordIndex();
  Integer GetEditingRecordIndexOrFocused();
  // A view that shows a new item row keeps the record typed there in an
  // internal record until it is posted.
  bool NewItemRowInUse() const { return FNewItemRowInUse; }
  void SetNewItemRowInUse(bool AValue) { FNewItemRowInUse = AValue; }
  // The internal record of the new item row when one is made (0: none).
  Integer NewItemRecordIndexIfAny() const { return FNewItemRecordIndex; }
  bool NewItemRowFocused() const { return FNewItemRowFocused; }
  // The row list focused a row: the new item row loses the focus.
  void ResetNewItemRowFocused() { FNewItemRowFocused = false; }
  void SetNewItemRowFocused(bool AValue);
  Integer NearestRecordIndex() const { return FNearestRecordIndex; }
  void SetNearestRecordIndex(Integer AValue) { FNearestRecordIndex = AValue; }
  bool InDeleteSelection() const { return FInDeleteSelection; }

  // ---- Event firers ----
  virtual void DoRecordChanged(Integer ARecordIndex, Integer AItemIndex) { OnRecordChanged(this, ARecordIndex, AItemIndex); }
  virtual void DoAfterCancel() { OnAfterCancel(this); }
  virtual void DoAfterDelete() { OnAfterDelete(this); }
  virtual void DoAfterInsert() { OnAfterInsert(this); }
  virtual void DoAfterPost() { OnAfterPost(this); }
  virtual void DoBeforeCancel() { OnBeforeCancel(this); }
  virtual void DoBeforeDelete(Integer ARecordIndex) { OnBeforeDelete(this, ARecordIndex); }
  virtual void DoBeforeInsert() { OnBeforeInsert(this); }
  virtual void DoBeforePost() { OnBeforePost(this); }
  virtual void DoNewRecord(Integer ARecordIndex) { OnNewRecord(this, ARecordIndex); }
  virtual bool DoFilterRecord(Integer ARecordIndex);
  virtual void DoDataChanged();

  // ---- Filtering ----
  void FilterChanged();
  bool IsFiltering() const;
  // True when the record passes every active test (handler, incremental
  // filter, main filter).
  bool RecordPassesFilters(Integer ARecordIndex);
  Integer ApplyIncrementalFilter(Integer AItemIndex, const String& AText);
  bool SetIncrementalFilterText(const String& AText);
  bool IsIncrementalFilterActive() const;
  void ResetIncrementalFilter();
  String GetIncrementalFilterText() const { return FIncrementalFilterText; }
  virtual bool IncrementalFilterAccepts(Integer ARecordIndex);
  virtual Variant GetFilterItemValue(Integer ARecordIndex, TcxCustomDataField* AField);
  // The text GetFilterItemValue would give, read in place from the storage;
  // none when it is not a stored text (Null, another type, a value of the
  // record source). Valid until a value is written.
  virtual std::optional<std::u16string_view> GetFilterItemTextView(Integer ARecordIndex,
                                                                   TcxCustomDataField* AField);
  // Whether GetFilterItemTextView reads the field's texts from the
  // storage (for a record of the source when ASourceRecord).
  virtual bool FilterReadsStoredTexts(TcxCustomDataField* AField, bool ASourceRecord);
  // When nothing but one text condition on stored texts filters: writes the
  // records that pass (and AKeep, passing or not), in order, to the front of
  // ARecords and answers how many, reading the texts in place in one pass.
  // -1 when the filter must go record by record through RecordPassesFilters.
  Integer FilterByStoredTexts(std::vector<Integer>& ARecords, Integer AKeep);
  virtual String GetFilterDisplayText(Integer ARecordIndex, Integer AItemIndex);
  virtual String GetFilterItemCaption(Integer) { return String(); }
  virtual String GetSearchDisplayText(Integer ARecordIndex, Integer AItemIndex);
  bool CheckFocusingAfterFilter() const { return FCheckFocusingAfterFilter; }
  bool FilterChangedFlag() const { return FFilterChanged; }
  void SetFilterChangedFlag(bool AValue) { FFilterChanged = AValue; }
  void SetCheckFocusingAfterFilter(bool AValue) { FCheckFocusingAfterFilter = AValue; }

  // ---- Finding records ----
  Integer FindRecordIndexByText(Integer AStartPosition, Integer AItemIndex, const String& AText, bool APartial,
                                bool AForward, bool AWrap);
  // A record whose listed fields equal those of AFindRecordIndex (an
  // internal record holding the searched values); -1 when none.
  Integer FindRecordByFields(Integer AFindRecordIndex, const std::vector<TcxCustomDataField*>& AFields);
  Integer FindGroupRecord(Integer AFindRecordIndex, Integer ALevelCount);

  // ---- Summaries ----
  void RequestSummaryRecalculation(bool AFieldsChanged);
  // With one grouping level the groups are ordered by this group summary
  // item's value (nullptr: by their grouping values).
  TcxDataSummaryItem* SortBySummaryItem() const { return FSortBySummaryItem; }
  TcxDataSortOrder SortBySummaryOrder() const { return FSortBySummaryOrder == soNone ? soAscending : FSortBySummaryOrder; }
  void SetSortBySummary(TcxDataSummaryItem* AItem, TcxDataSortOrder AOrder);
  bool HasSortBySummary() const;

  // ---- Bookmark ----
  void SetBookmarkToFocused();
  void FocusBookmarkedRecord();
  void ClearBookmark();
  bool IsBookmarkAvailable() const { return FBookmarkRecordIndex != -1; }
  bool IsBookmarkRow(Integer ARowIndex) const;
  Integer BookmarkRecordIndex() const { return FBookmarkRecordIndex; }
  // A bookmark whose record left the filtered list is cleared.
  void CheckBookmarkValid();

  // ---- Actions and whole-state brackets ----
  virtual bool ExecuteAction(TObject*) { return false; }
  virtual bool UpdateAction(TObject*) { return false; }
  void BeginFullUpdate();
  void EndFullUpdate();
  // The storage's record ID, Null when record IDs are not in use.
  virtual Variant GetRecordId(Integer ARecordIndex);
  bool GetItemTextStored(Integer AItemIndex) const { return GetItemField(AItemIndex)->TextStored(); }
  void SetItemTextStored(Integer AItemIndex, bool AValue);

  // ---- Search state ----
  TcxCustomDataField* IncrementalSearchField() const { return FSearchField; }
  const String& IncrementalSearchText() const { return FSearchText; }
  bool IncrementalSearching() const { return FSearching; }

  // ---- State ----
  bool IsDestroying() const { return FDestroying; }
  bool IsOwnerLoading() const;
  bool IsOwnerReading() const;
  bool IsOwnerDestroying() const;
  bool SortingChangedFlag() const { return FSortingChanged; }
  bool GroupingChangedFlag() const { return FGroupingChanged; }
  bool LoadedStorageFlag() const { return FLoadedStorage; }
  void ClearLoadedStorageFlag() { FLoadedStorage = false; }
  void ClearReorderFlags();
  void Loaded();

  // ---- Events ----
  TcxDataControllerNotifyEvent OnAfterCancel, OnAfterDelete, OnAfterInsert, OnAfterPost;
  TcxDataControllerNotifyEvent OnBeforeCancel, OnBeforeInsert, OnBeforePost;
  TcxDataRecordNotifyEvent OnBeforeDelete, OnNewRecord;
  TcxDataFilterRecordEvent OnFilterRecord;
  TcxDataControllerCompareEvent OnCompare;
  TNotifyEvent OnDataChanged;
  TcxDataRecordChangedEvent OnRecordChanged;
  TcxDataDetailExpandingEvent OnDetailExpanding, OnDetailCollapsing;
  TcxDataRecordNotifyEvent OnDetailExpanded, OnDetailCollapsed;
  TNotifyEvent OnGroupingChanged;
  TNotifyEvent OnSortingChanged;
  TcxUpdateControlEvent OnUpdateControl;

protected:
  virtual TcxCustomDataField* CreateField();
  void NotifyIfUnlocked();
  void DeliverChanges();
  void SendNotice(TcxUpdateControlInfo* AInfo);
  void StorageReset(TObject* Sender);
  bool IsSourceField(TcxCustomDataField* AField) const;
  void PostPendingEdit();
  void UpdateSelectionBookkeeping();
  // Frees the provider (summary) and makes one of ProviderClass (SummaryClass).
  void RecreateProvider();
  void RecreateSummary();
  void LoadStorage();
  void Reload(bool AForce);
  // Recreates the fields when forced or when the provider asks for it.
  void CheckRecreateFields(bool AForce);
  void SettleRecordIDs();
  // Applies a change to the detail object of a record (nullptr: none).
  TcxDetailObject* DetailObjectOf(Integer ARecordIndex);

  TComponent* FOwner;
  // Owned parts, declared in reverse order of destruction. The destructor
  // frees them one by one (each pointer is cleared before its part goes, as
  // callbacks during destruction test it): first what reads the records,
  // the provider last of these as it releases its saved record; then the
  // records' values while the fields that describe them still exist; then
  // the fields, the storage, the search and the groups.
  std::unique_ptr<TcxDataControllerGroups> FGroups;
  std::unique_ptr<TcxDataControllerSearch> FSearch;
  std::unique_ptr<TcxDataStorage> FDataStorage;
  std::unique_ptr<TcxCustomDataFieldList> FFields;
  std::unique_ptr<TcxCustomDataProvider> FProvider;
  std::unique_ptr<TcxDataFilterList> FFilterList;
  std::unique_ptr<TcxDataFilterCriteria> FFilter;
  std::unique_ptr<TcxDataSummary> FSummary;
  std::unique_ptr<TcxCustomDataControllerInfo> FInfo;
  // Made on first use.
  std::unique_ptr<TcxCustomDataRelationList> FRelations;
  // Held between BeginFullUpdate and EndFullUpdate.
  std::unique_ptr<TcxSaveObject> FSaveObject;

  struct TListener {
    TObject* Owner;
    TNotifyEvent Handler;
  };
  std::vector<TListener> FListeners;

  TcxDataControllerOptions FOptions = cxDataControllerDefaultOptions;
  bool FFocusedSelected = true;
  bool FMultiSelect = false;
  Integer FNearestRecordIndex = -1;
  Integer FBookmarkRecordIndex = -1;
  Integer FFullUpdateCount = 0;
  TcxDataSummaryItem* FSortBySummaryItem = nullptr;
  TcxDataSortOrder FSortBySummaryOrder = soNone;
  Integer FNewItemRecordIndex = 0;
  bool FNewItemRowFocused = false;
  bool FNewItemRowInUse = false;
  TcxCustomDataField* FIncrementalFilterField = nullptr;
  TcxCustomDataRelation* FMasterRelation = nullptr;
  Integer FMasterRecordIndex = -1;
  bool FIsPattern = false;
  Integer FDataChangeRefCount = 0;
  TcxCustomDataField* FRecordHandleField = nullptr;
  bool FActive = false;
  bool FInLoadStorage = false;
  bool FCreatingLinkObject = false;
  bool FRefreshing = false;
  bool FStructureReloadPending = false;
  bool FReloadPending = false;
  bool FFieldsRecreatePending = false;
  bool FInFocusDetails = false;
  Integer FGridModeNotifyLock = 0;
  // The data change being delivered (read by DoDataChanged).
  TcxDataChangeKind FDeliveredKind = dcTotal;
  Integer FDeliveredItem = -1;
  Integer FDeliveredRecord = cxNoRecordIndex;
  String FIncrementalFilterText;

  friend class TcxDataControllerSearch;
  TcxCustomDataField* FSearchField = nullptr;
  String FSearchText;
  bool FSearching = false;

  Word FChanges = 0;
  bool FDataChangePending = false;
  TcxDataChangeKind FPendingKind = dcTotal;
  Integer FPendingItem = -1;
  Integer FPendingRecord = cxNoRecordIndex;

  bool FDestroying = false;
  bool FInNotify = false;
  bool FInDeleteSelection = false;
  bool FGroupingChanged = false;
  bool FSortingChanged = false;
  bool FLoadedStorage = false;
  bool FFilterChanged = false;
  bool FCheckFocusingAfterFilter = false;
  bool FDataChangedPending = false;
  bool FInternalFind = false;
  bool FInSortingChangedEvent = false;
  Integer FChangeHandlingLock = 0;
  Integer FLocateCount = 0;

  // Previous selection for the selection notice.
  TcxSelectedCount FPrevSelectedCount = TcxSelectedCount::None;
  Integer FPrevSelectedRow = -1;

  // Compare modes prepared for a sort pass, by field.
  std::vector<std::pair<TcxCustomDataField*, TcxCompareMode>> FCompareModes;
  TcxCompareMode CompareModeOf(TcxCustomDataField* AField) const;
};
