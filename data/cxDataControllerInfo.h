#pragma once
// The row list of a data controller: the records that pass the filters in
// sort order, the groups built over them, the focused row, the expansion of
// groups and the selection. Every change only sets a bit of the change
// mask; the rebuild runs when no update lock is held. The bookkeeping
// containers (sort lists, group tree, focus records, expansion states,
// selection) are those of cxCustomData.
#include <memory>
#include <vector>

#include "data/cxCustomData.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TcxCustomDataController;
class TcxDataRecordComparer;

// Change mask bits of the row list.
enum : Word {
  dciRecordList = 0x001,   // rebuild the record list (identity, then filters)
  dciGrouping = 0x002,     // regroup (sort first)
  dciSorting = 0x004,      // re-sort
  dciFocusedRow = 0x008,   // the focused row changed
  dciField = 0x010,        // a field changed (layout)
  dciExpanding = 0x020,    // a group was expanded or collapsed
  dciSyncFocus = 0x040,    // the focused record comes from the record source
  dciSelection = 0x080,    // the selection changed
  dciSummary = 0x100,      // summaries must be recalculated
  dciFocusedRecord = 0x200 // the focused record changed
};

// What a row shows. GroupIndex is the group of a group row, -1 for a data row.
struct TcxRowInfo {
  bool Expanded = false;
  Integer Level = 0;
  Integer RecordIndex = -1;
  Integer GroupIndex = -1;
};

class TcxCustomDataControllerInfo : public TObject, public IcxDataControllerInfo {
  KORVANE_CLASS(TcxCustomDataControllerInfo, TObject)

  explicit TcxCustomDataControllerInfo(TcxCustomDataController* ADataController);
  ~TcxCustomDataControllerInfo() override;

  TcxCustomDataController* DataController() const { return FDataController; }

  // ---- IcxDataControllerInfo ----
  bool IsSortingChangePending() override { return (FChanges & dciSorting) != 0; }
  Integer GetSyncFocusedRecordIndex() override;
  void GetRowInfo(Integer ARowIndex, bool& AExpanded, Integer& ALevel, Integer& ARecordIndex) override;

  // ---- Lock and change mask ----
  void Lock() { ++FLockCount; }
  void Unlock();
  Integer LockCount() const { return FLockCount; }
  void CheckUpdate();
  void AddChange(Word AMask) { FChanges |= AMask; }
  Word Changes() const { return FChanges; }
  void DataChanged();
  void FocusedRecordChanged(bool APrevFocusChanged);
  void CheckFocusedRecord();
  void FieldChanged(TcxCustomDataField* AField);
  void ForgetField(TcxCustomDataField* AField);
  void RequestSummary(bool AFieldsChanged) { AddChange(AFieldsChanged ? dciField : dciSummary); }

  // ---- Rows ----
  Integer GetRowCount() const;
  // "RowIndex out of range" outside the rows.
  TcxRowInfo GetRowInfo(Integer ARowIndex) const;
  Integer GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible);
  Integer GetNearestRowIndex(Integer ARowIndex) const;
  bool IsGrouped() const { return FGroupingFields->Count() > 0; }
  Integer GetRecordListCount() const { return Integer(FRecordList.size()); }
  Integer GetRecordListItem(Integer APosition) const { return FRecordList[size_t(APosition)]; }
  // Linear search; -1 when the record is not in the list.
  Integer GetRecordListPosition(Integer ARecordIndex) const;
  const std::vector<Integer>& RecordList() const { return FRecordList; }
  void CheckRowIndex(Integer ARowIndex) const;

  // ---- Focus ----
  void ChangeFocusedRow(Integer ARowIndex, bool AForced);
  void FocusRowAndUpdate(Integer ARowIndex) {
    ChangeFocusedRow(ARowIndex, false);
    CheckUpdate();
  }
  Integer GetFocusedRowIndex() const { return FFocusingInfo->RowIndex(); }
  // A focus change is running.
  bool IsFocusing() const { return FFocusing; }
  Integer GetFocusedRecordIndex() const;
  TcxDataFocusingInfo* FocusingInfo() const { return FFocusingInfo; }
  TcxDataFocusingInfo* PrevFocusingInfo() const { return FPrevFocusingInfo; }
  // The current focus becomes the previous one (after delivery).
  void TakeFocusAsPrevious();

  // ---- Sorting and grouping ----
  void ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder AOrder);
  void ClearSorting(bool AKeepGrouping);
  // A negative index removes the field from the grouping; otherwise it is
  // placed at that level (MoveField of the grouping list).
  void ChangeGrouping(TcxCustomDataField* AField, Integer AGroupIndex);
  TcxDataSortOrder SortOrderOf(TcxCustomDataField* AField) const;
  Integer GroupIndexOf(TcxCustomDataField* AField) const { return FGroupingFields->Find(AField); }
  TcxSortingFieldList* SortingFields() const { return FSortingFields; }
  TcxGroupingFieldList* GroupingFields() const { return FGroupingFields; }
  TcxSortingFieldList* TotalSortingFields() const { return FTotalSortingFields; }

  // ---- Groups ----
  TcxDataGroups* DataGroups() const { return FDataGroups; }
  Integer LevelCount() const { return FGroupingFields->Count(); }
  Integer GroupIndexOfRow(Integer ARowIndex) const;
  // The deepest group holding a record-list position (-1 when ungrouped).
  Integer GroupOfPosition(Integer APosition) const;
  // The first and last record-list positions beneath a group.
  void GroupPositions(Integer AGroupIndex, Integer& AFirst, Integer& ALast) const;
  void ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive);
  void FullExpand() { SetAllExpanded(true); }
  void FullCollapse() { SetAllExpanded(false); }
  // Records of a group in list order (appended to AList).
  void GetRecordsOfGroup(Integer AGroupIndex, std::vector<Integer>& AList) const;

  // ---- Selection ----
  TcxDataSelection* Selection() const { return FSelection; }
  void ChangeRowSelection(Integer ARowIndex, bool ASelect);
  void ClearSelection();
  Integer SelectedCount() const { return FSelection->Count(); }
  Integer SelectedRowIndex(Integer AIndex) const { return FSelection->Items(AIndex).RowIndex; }
  bool IsRowSelected(Integer ARowIndex) const;
  bool IsRecordSelected(Integer ARecordIndex) const { return FSelection->IsRecordSelected(ARecordIndex); }
  // Drops selected records beyond the record count (all with no records).
  void CheckSelection();
  // The records of the selection entries were set anew: their rows are
  // looked up at the next update.
  void SelectionRecordsChanged();
  // Records from ARecordIndex on moved by ADelta (+1 inserted, -1 deleted):
  // the focused record and the selected records follow them.
  void RecordsShifted(Integer ARecordIndex, Integer ADelta);

private:
  void Update();
  void UpdatePass(Word AMask);
  void BuildRecordList();
  void Sort();
  void BuildGroups();
  void RebuildRowAids();
  void SortGroupsBySummary();
  void SetAllExpanded(bool AExpanded);
  void SaveStates(Word AMask);
  void RestoreStates();
  void RemapSelection();
  void RestoreFocus();
  void FocusFirstRowAfterReorder();
  Integer RowOfPosition(Integer APosition, bool AMakeVisible);
  Integer ParentOf(Integer AGroupIndex) const { return FParents[size_t(AGroupIndex)]; }
  Variant GroupValue(Integer AGroupIndex, Integer ALevel) const;
  TcxRowInfo RowInfoOf(Integer ARowIndex) const;
  void SelectionChanged();
  void SortingListChanged();
  void GroupingListChanged();
  void Expanded();

  TcxCustomDataController* FDataController;
  Word FChanges = 0;
  Integer FLockCount = 0;
  std::vector<Integer> FRecordList;
  TcxSortingFieldList* FSortingFields;
  TcxGroupingFieldList* FGroupingFields;
  TcxSortingFieldList* FTotalSortingFields;
  TcxDataGroups* FDataGroups;
  TcxDataExpandingInfos* FExpandingInfos;
  TcxDataFocusingInfo* FFocusingInfo;
  TcxDataFocusingInfo* FPrevFocusingInfo;
  TcxDataSelection* FSelection;
  // Aids over the group tree: the parent of each group and the groups of
  // the deepest level in list order.
  std::vector<Integer> FParents;
  std::vector<Integer> FDeepest;
  bool FExpanding = false;
  bool FInUpdate = false;
  bool FRemapSelection = false;
  bool FFocusing = false;
  bool FFocusedRecordGone = false;
  // The record-list position where a record was last looked up (a hint).
  Integer FFocusedPositionHint = -1;
  // The record order of the sort pass under way (reused by grouping).
  std::unique_ptr<TcxDataRecordComparer> FComparer;
};

// A read-only view of the groups, used by views and the provider.
class TcxDataControllerGroups : public TObject {
  KORVANE_CLASS(TcxDataControllerGroups, TObject)

  explicit TcxDataControllerGroups(TcxCustomDataController* ADataController) : FDataController(ADataController) {}
  Integer GetLevelCount() const;
  Integer GetGroupingItemIndex(Integer ALevel) const;
  Integer GetLevel(Integer AGroupIndex) const;
  // -1: the number of top-level groups.
  Integer GetChildCount(Integer AGroupIndex) const;
  Integer GetChildIndex(Integer AGroupIndex, Integer AIndex) const;
  Integer GetChildRecordIndex(Integer AGroupIndex, Integer AIndex) const;
  Integer GetGroupIndexOfRow(Integer ARowIndex) const;
  void GetRecordsOfGroup(Integer AGroupIndex, std::vector<Integer>& AList) const;
  void GetRecordsOfRow(Integer ARowIndex, std::vector<Integer>& AList) const;

private:
  TcxCustomDataControllerInfo* Info() const;
  TcxCustomDataController* FDataController;
};
