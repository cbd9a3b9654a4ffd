#pragma once
// TDataSet: records held in memory with a cursor, states, events, fields,
// bookmarks, location, filtering, finding and sorting. Descendants supply
// the records when the dataset opens (InternalOpen) and write each post
// and delete back (InternalPost, InternalDelete).
//
// Every move (First, Last, Next, Prior, MoveBy, RecNo, GotoBookmark),
// Locate and FindFirst/FindLast/FindNext/FindPrior first runs
// CheckBrowseMode: the data links write their pending values (UpdateData),
// then a modified record is posted and an unchanged one cancelled.
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/db/fields.h"
#include "platform/db/filterexpr.h"
#include "platform/db/recordstore.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"

class TDataSource;
class TDataLink;

// One record as handed to a descendant that writes it back: the values of
// the field slots, the identity used by bookmarks, and the storage row it
// came from. The dataset itself keeps its records in a TRecordStore.
struct TRecordData {
  std::vector<Variant> Values;
  UInt64 Id = 0;
  Int64 RowId = 0;
  bool HasRowId = false;
};

class TDataSet : public TComponent {
  KORVANE_CLASS(TDataSet, TComponent)
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  // ---- Opening ----
  void Open();
  void Close();
  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  TDataSetState State() const { return FState; }
  // Re-reads the records, keeping the current one when it is still there.
  void Refresh();

  // ---- Fields ----
  TFields* Fields() { return &FFields; }
  const TFields* Fields() const { return &FFields; }
  Integer FieldCount() const { return FFields.Count(); }
  TFieldDefs* FieldDefs() { return &FFieldDefs; }
  // Aggregate fields: this layer keeps none, the list is always empty.
  TFields* AggFields() { return &FAggFields; }
  TField* FindField(const String& FieldName) const { return FFields.FindField(FieldName); }
  // Raises EDatabaseError "Field 'x' not found".
  TField* FieldByName(const String& FieldName) const;
  // The fields of a ";"-separated list; raises for an unknown name.
  void GetFieldList(std::vector<TField*>& List, const String& FieldNames) const;
  void GetFieldNames(std::vector<String>& List) const;
  void GetFieldNames(TStrings* List) const;
  // One value, or a variant array for several ";"-separated names.
  Variant FieldValues(const String& FieldNames) const;
  void SetFieldValues(const String& FieldNames, const Variant& Value);
  // True when the fields were made in code rather than by opening.
  bool DefaultFields() const { return FDefaultFields; }

  // ---- Navigation ----
  void First();
  void Last();
  void Next();
  void Prior();
  // Moves by up to Distance records and answers how far it moved.
  Integer MoveBy(Integer Distance);
  bool Bof() const { return FBof; }
  bool Eof() const { return FEof; }
  bool IsEmpty() const { return ViewCount() == 0; }
  // Records the cursor can reach (the filter applied).
  Integer RecordCount() const;
  // 1-based position of the current record; -1 when there is none.
  Integer RecNo() const;
  void SetRecNo(Integer Value);
  bool IsSequenced() const { return true; }

  // ---- Bookmarks ----
  // A bookmark names one record for as long as it exists; "" for none.
  String Bookmark() const;
  void SetBookmark(const String& Value) { GotoBookmark(Value); }
  bool BookmarkAvailable() const;
  // Raises EDatabaseError "Record not found" for a record that is gone.
  void GotoBookmark(const String& Value);
  bool BookmarkValid(const String& Value) const;
  // -1, 0, 1 by the order of the records (an empty bookmark first).
  Integer CompareBookmarks(const String& A, const String& B) const;

  // ---- Location ----
  // KeyValues: one value, or a variant array for several ";"-separated fields.
  bool Locate(const String& KeyFields, const Variant& KeyValues, const TLocateOptions& Options);
  // The result fields of the first matching record without moving; Null
  // when none matches.
  Variant Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields);

  // ---- Filtering, finding, sorting ----
  const String& Filter() const { return FFilterText; }
  // Raises EDatabaseError for a text that does not parse.
  void SetFilter(const String& Value);
  bool Filtered() const { return FFiltered; }
  void SetFiltered(bool Value);
  const TFilterOptions& FilterOptions() const { return FFilterOptions; }
  void SetFilterOptions(const TFilterOptions& Value);
  TFilterRecordEvent OnFilterRecord;
  // Find the first/last/next/prior record that passes the filter text and
  // OnFilterRecord, whether or not Filtered is set.
  bool FindFirst();
  bool FindLast();
  bool FindNext();
  bool FindPrior();
  bool Found() const { return FFound; }
  // "field [ASC|DESC], ..." (";" separates as well); "" keeps the read order.
  const String& Sort() const { return FSortText; }
  void SetSort(const String& Value);

  // ---- Editing ----
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  void CheckBrowseMode();
  // Asks the data links to write pending values into the record.
  void UpdateRecord();
  virtual bool CanModify() const { return Active() && !FReadOnly; }
  bool Modified() const { return FModified; }
  void ClearFields();

  // ---- Controls ----
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount > 0; }

  // ---- Events ----
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent OnNewRecord, OnCalcFields;
  TDataSetErrorEvent OnPostError, OnDeleteError, OnEditError;

  // ---- For fields, data sources and links ----
  // The value of a field slot in the active record.
  Variant GetSlotValue(const TField* Field) const;
  // Stores a value already converted to the field's kind.
  void SetSlotValue(TField* Field, const Variant& Value);
  Variant GetOldSlotValue(const TField* Field) const;
  bool HasActiveRecord() const;
  void DataEvent(TDataEvent Event, NativeInt Info);
  void AddDataSource(TDataSource* Source);
  void RemoveDataSource(TDataSource* Source);
  // The record a data link reads: its position in the cursor's order, or
  // -1 for the current record.
  void SetActiveView(Integer ViewIndex);
  Integer ActiveView() const { return FActiveView; }
  Integer CurrentView() const { return FCurrent; }
  Integer ViewCount() const { return Integer(FView.size()); }
  // Told when a link's window changes; every record is in memory, so
  // there is nothing to fetch.
  void UpdateBufferCount();
  // True when Source is this dataset's master source, or the master source
  // of a master further up (a link to it would make a loop).
  bool IsLinkedTo(TDataSource* Source) const;
  void FieldAdded(TField* Field);
  void FieldRemoved(TField* Field);
  void CheckInactive() const;
  void CheckActive() const;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // A detail of a master data source re-queries from here.
  virtual void MasterChanged() {}
  virtual TDataSource* MasterSource() const { return nullptr; }

  // True while a link's window should center the current record (Locate,
  // GotoBookmark, finds).
  bool CenterRequested() const { return FCenterRequested; }

protected:
  // ---- Descendants ----
  // Prepares the records' source and fills FieldDefs; then the fields are
  // made or bound, and InternalLoad adds the records through AddRecord.
  virtual void InternalOpen() {}
  virtual void InternalLoad() {}
  virtual void InternalClose() {}
  // Writes a record back; raises on failure. Record holds the values read
  // (Record.Values) and NewValues the edited ones, which the descendant may
  // complete (values assigned by the database). Inserting: a new record.
  virtual void InternalPost(TRecordData& Record, std::vector<Variant>& NewValues, bool Inserting);
  virtual void InternalDelete(TRecordData& Record);
  // Whether this dataset can write back at all.
  void SetReadOnlyData(bool Value) { FReadOnly = Value; }
  // Appends a record while loading; Values in FieldDefs order. A record
  // with a row id keeps the bookmark its row had before a refresh.
  void AddRecord(std::vector<Variant>&& Values, bool HasRowId = false, Int64 RowId = 0);
  // Appends a record of Null values while loading and answers its row,
  // whose cells the descendant then writes through Records().
  TRowHandle AppendRecord(bool HasRowId = false, Int64 RowId = 0);
  TRecordStore& Records() { return FStore; }
  void ReserveRecords(size_t Count) { FRecords.reserve(Count); }
  // The field bound to a column (FieldDefs index), or nullptr.
  TField* FieldOfColumn(Integer Column) const;
  Integer ColumnCount() const { return FColumnCount; }
  // Value slots of a record: the columns, then the calculated fields.
  Integer SlotCount() const { return FSlotCount; }
  void SetState(TDataSetState Value);
  // Reads the records again; KeepPosition keeps the current record (by
  // its row id), otherwise the cursor goes to the first record.
  void Reload(bool KeepPosition);
  void DoBeforeScroll();
  void DoAfterScroll();

private:
  void CreateFields();
  void BindFields();
  void DestroyDefaultFields();
  // The record fields read and write: an edit buffer or a stored row.
  struct TRecordRef {
    std::vector<Variant>* Buffer = nullptr;
    TRowHandle Row = NoRow;
    bool IsSet() const { return Buffer || Row != NoRow; }
  };
  class TTempRecord;
  void BuildView();
  bool PassesFilter(TRowHandle Record, const TFilterExpression* Expr);
  bool PassesActiveFilter(TRowHandle Record);
  void SortView();
  Integer CompareSlots(TRowHandle A, TRowHandle B, Integer Slot) const;
  Integer CompareRecords(TRowHandle A, TRowHandle B) const;
  void ParseSort(const String& Value);
  void InvalidateIndexes();
  Integer ViewIndexOf(TRowHandle Record) const;
  TRowHandle FindRecordById(UInt64 Id) const;
  TRecordRef ActiveRecord() const;
  Variant ValueOfRecord(TRowHandle Record, TField* Field);
  TRecordData RecordData(TRowHandle Record) const;
  bool MatchKey(const Variant& RecordValue, const Variant& Key, const TLocateOptions& Options) const;
  String KeyText(const std::vector<Variant>& Values) const;
  void BindFilter();
  void RepositionAfterPost(TRowHandle Record);
  Integer StorageIndexOf(TRowHandle Record) const;
  void CalculateFields(TRowHandle Record);
  void CheckRequiredFields();
  void Resync(bool Center);
  void BeginInsertAppend(bool Append);
  void FinishPost();
  void DropInsertRecord();
  void RunWithErrorHandler(const TDataSetErrorEvent& Handler, const std::function<void()>& Operation);
  void CleanUpAfterClose();
  bool LocateRecord(const String& KeyFields, const Variant& KeyValues, const TLocateOptions& Options,
                    Integer& ViewIndex);
  bool FindRecord(bool Restart, bool GoForward);
  void Fire(const TDataSetNotifyEvent& Event) { if (Event) Event(this); }

  // Records and the cursor.
  TRecordStore FStore;
  std::vector<TRowHandle> FRecords;             // storage order
  std::vector<TRowHandle> FView;                // cursor order
  TRowHandle FInsertRecord = NoRow;             // while inserting
  mutable std::vector<Integer> FViewIndexById;  // lazily built
  mutable bool FViewIndexValid = false;
  mutable std::vector<TRowHandle> FRowById;     // lazily built
  mutable bool FByIdValid = false;
  TRecordRef FTemp;  // record under calculation or filter
  std::unordered_map<Int64, UInt64> FKeptIds;     // row id -> bookmark during a refresh
  bool FCenterRequested = false;
  Integer FCurrent = -1;
  Integer FActiveView = -1;
  bool FBof = true;
  bool FEof = true;
  UInt64 FNextId = 1;
  std::vector<Variant> FEditValues;
  bool FModified = false;
  bool FReadOnly = false;

  // Fields.
  TFields FFields{this};
  TFieldDefs FFieldDefs;
  TFields FAggFields{this};
  bool FDefaultFields = false;
  Integer FColumnCount = 0;
  Integer FSlotCount = 0;
  bool FHasCalcFields = false;

  // State and notification.
  TDataSetState FState = dsInactive;
  std::vector<TDataSource*> FDataSources;
  Integer FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;

  // Filter and sort.
  String FFilterText;
  TFilterExpression FFilterExpr;
  bool FFilterBound = false;
  bool FFiltered = false;
  TFilterOptions FFilterOptions;
  bool FFound = false;
  String FSortText;
  struct TSortKey {
    Integer Slot;
    bool Descending;
  };
  std::vector<TSortKey> FSortKeys;

  // Index for repeated exact key locates: key text -> records.
  struct TKeyIndex;
  mutable std::unique_ptr<TKeyIndex> FKeyIndex;
};
