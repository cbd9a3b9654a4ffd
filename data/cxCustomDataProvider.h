#pragma once
// The record source behind a data controller: it keeps the editing state of
// the one record being edited or inserted and runs the steps of edit,
// insert, append, post, cancel and delete against its controller.
#include <type_traits>
#include <vector>

#include "data/cxDataControllerConsts.h"
#include "data/cxDataStorage.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

class TcxCustomDataController;
class TcxCustomDataField;
class TcxCustomDataProvider;

// An outside record source that a provider may be attached to. Every call
// is told the provider that makes it. A record of the source is known to
// the controller by a handle (an integer of the source's choosing) that the
// controller keeps in its record-handle field; the Integer parameters below
// are such handles. The base answers as "no records".
class TcxCustomDataSource : public TObject {
  KORVANE_CLASS(TcxCustomDataSource, TObject)

  TcxCustomDataSource() = default;
  ~TcxCustomDataSource() override;

  virtual void DataChanged(TcxCustomDataProvider*) {}
  virtual Integer GetRecordCount(TcxCustomDataProvider*) { return 0; }
  virtual bool GetFlag(TcxCustomDataProvider*) { return false; }
  // Adds a record; answers its handle.
  virtual Integer AppendRecord(TcxCustomDataProvider*) { return -1; }
  virtual void DeleteRecord(TcxCustomDataProvider*, Integer) {}
  // Adds a record before the one with the handle; answers the new handle.
  virtual Integer InsertRecord(TcxCustomDataProvider* AProvider, Integer) { return AppendRecord(AProvider); }
  virtual Variant GetValue(TcxCustomDataProvider*, Integer, TcxCustomDataField*) { return Null(); }
  virtual void SetValue(TcxCustomDataProvider*, Integer, TcxCustomDataField*, const Variant&) {}
  virtual String GetDisplayText(TcxCustomDataProvider* AProvider, Integer ARecordIndex, TcxCustomDataField* AField);
  virtual Variant GetRecordId(TcxCustomDataProvider*, Integer) { return Null(); }
  // The handle of the source's record at a position (0 .. count - 1); the
  // base uses the position itself.
  virtual Integer GetRecordHandle(TcxCustomDataProvider*, Integer APosition) { return APosition; }
  // Whether the source answers the query (a, b); its meaning is the source's.
  virtual bool Query(TcxCustomDataProvider*, Integer, Integer) { return false; }
  virtual void Notify(TcxCustomDataProvider*, Integer) {}
  // Compares two records (handles) on a field: negative, 0 or positive.
  virtual Integer Compare(TcxCustomDataProvider* AProvider, Integer AHandle1, Integer AHandle2,
                          TcxCustomDataField* AField);

  // The providers linked to this source.
  Integer ProviderCount() const { return Integer(FProviders.size()); }

private:
  friend class TcxCustomDataProvider;
  std::vector<TcxCustomDataProvider*> FProviders;
};

using TcxCustomDataProviderMetaClass = TConstructorMetaClass<TcxCustomDataProvider, TcxCustomDataController*>;
using TcxCustomDataProviderClass = const TcxCustomDataProviderMetaClass*;

class TcxCustomDataProvider : public TObject {
public:
  using MetaClass = TcxCustomDataProviderMetaClass;
  KORVANE_CLASS(TcxCustomDataProvider, TObject)

  explicit TcxCustomDataProvider(TcxCustomDataController* AOwner);
  ~TcxCustomDataProvider() override;

  TcxCustomDataController* DataController() const { return FOwner; }

  // ---- State ----
  virtual bool CanUseRecordSource() { return true; }
  virtual bool IsGridMode() { return false; }
  virtual bool IsSourceActive() { return false; }
  virtual bool IsOtherInserting() { return false; }
  virtual bool IsSyncMode() { return false; }
  virtual bool IsActive() { return FCustomSource != nullptr; }
  virtual bool HasStructure() { return false; }
  virtual bool IsSourceIdle() { return true; }
  virtual bool IsSourceInSync() { return true; }
  virtual bool IsGridModeUpdating() { return false; }
  // The record the source's cursor stands on (the focused record here).
  virtual Integer CurrentRecordIndex();
  virtual bool IsChanging() { return FChanging; }
  virtual bool IsEditing() { return FEditingRecordIndex != cxNoRecordIndex; }
  virtual bool IsInserting() { return IsEditing() && FInserting; }
  virtual bool IsModified() { return FModified; }
  bool IsReadOnly() { return !CanModify(); }
  virtual bool CanAppend() { return CanModify(); }
  virtual bool CanInsert() { return CanModify(); }
  virtual bool CanModify() { return true; }
  virtual bool CanDelete();

  // ---- Cursor hooks (a record source with a cursor of its own) ----
  // The record index found by a locate may be corrected.
  virtual void CorrectRecordIndex(Integer&) {}
  // Clears the fields-recreated flag.
  virtual void First() { FFieldsRecreated = false; }
  virtual void Prior() {}
  virtual void Next() {}
  virtual void Last() {}
  virtual void MoveBy(Integer) {}
  // Grid mode: the buffer window moves by the distance.
  virtual void Scroll(Integer) {}
  virtual void SavePosition() {}
  virtual void RestorePosition() {}
  // The cursor stands before the first / after the last record.
  virtual bool IsBOF() { return true; }
  virtual bool IsEOF() { return true; }
  // Set by a provider that recreated its fields inside First.
  bool FieldsRecreated() const { return FFieldsRecreated; }
  void SetFieldsRecreated(bool AValue) { FFieldsRecreated = AValue; }
  // Grid mode: fills the buffer window (inside the storage load bracket).
  virtual void LoadDataBuffer() {}

  // ---- Editing steps ----
  virtual bool Edit();
  virtual void Append();
  virtual void Insert();
  virtual void Post();
  virtual void Cancel();
  virtual void UpdateData();
  virtual void FlushEdits();
  virtual void DeleteFocused();
  // Record indexes ascending, without duplicates.
  virtual void DeleteRecords(const std::vector<Integer>& AList);
  virtual void DeleteSelection();
  virtual Variant ReadFieldValue(Integer ARecordIndex, TcxCustomDataField* AField);
  // Stores AValue (Null for an empty text when AIsText) and marks the
  // record modified.
  virtual bool WriteFieldValue(Integer ARecordIndex, TcxCustomDataField* AField, bool AIsText,
                               const Variant& AValue);
  virtual void FindNearestRecord();
  virtual void InitInsertedRecord(Integer ARecordIndex, const std::vector<Variant>& AGroupValues);
  virtual void StartEditing() { BeginEditing(); }
  // The controller's SetValue for the field's item.
  virtual void StoreValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue);
  virtual void ClearNearestRecord();
  // Grid mode: the buffered value and text of a record.
  virtual String DisplayTextOf(Integer, TcxCustomDataField*) { return String(); }
  virtual Variant ValueOf(Integer, TcxCustomDataField*) { return Null(); }
  // The class of the reader that loads records (a TcxValueDefReader).
  virtual TClass ReaderClass() { return TcxValueDefReader::StaticClass(); }
  // The item index of a field that identifies records (-1: none).
  virtual Integer RecordIdField() { return -1; }
  // Resets the grid-mode window (nothing here).
  virtual void ResetWindow() {}

  // ---- Notices from the record source ----
  // The source became active or inactive.
  virtual void ActiveChanged(bool AActive);
  // The source moved its current record.
  virtual void FocusMoved();
  // The controller reloads its data.
  virtual void RequestReload(bool AFlag);
  // The controller's load bracket (ProviderBeginLoad / ProviderEndLoad).
  void BeginLoad() { ++FLoadCount; }
  void EndLoad() { --FLoadCount; }
  bool IsLoading() const { return FLoadCount > 0; }

  void SetChanging() { FChanging = true; }
  void ResetChanging() { FChanging = false; }
  void SetModified() { FModified = true; }
  void ResetModified() { FModified = false; }
  virtual void BeginLocate() { ++FLocateCount; }
  void EndLocate() { --FLocateCount; }
  Integer LocateCount() const { return FLocateCount; }
  // Suspends the change notices of the source; a pending edit is posted
  // first so that a reload under the lock cannot drop it.
  virtual void LockNotify();
  virtual void UnlockNotify();
  bool IsNotifyLocked() const { return FLockCount > 0; }
  // The record source reports a change (kind, item, record).
  void DataChanged(Integer AKind, Integer AItemIndex, Integer ARecordIndex);

  // ---- Record source ----
  TcxCustomDataSource* CustomDataSource() const { return FCustomSource; }
  void SetCustomDataSource(TcxCustomDataSource* AValue);
  Integer SourceRecordCount();
  Variant SourceValue(Integer ARecordIndex, TcxCustomDataField* AField);
  void SourceSetValue(Integer ARecordIndex, TcxCustomDataField* AField, const Variant& AValue);
  String SourceDisplayText(Integer ARecordIndex, TcxCustomDataField* AField);
  Integer SourceAppend();
  void SourceDelete(Integer ARecordIndex);
  Integer SourceInsert(Integer ARecordIndex);
  bool SourceFlag();
  // Tells the attached source that it is linked to this provider and that
  // its data changed.
  void NotifySourceChanged();
  bool SourceQuery(Integer A, Integer B);
  void SourceNotify(Integer A);
  Variant SourceRecordId(Integer ARecordIndex);
  Integer SourceCompare(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField);
  // Two records on a field: internal records in the storage, source records
  // through the source.
  Integer CompareRecords(Integer ARecordIndex1, Integer ARecordIndex2, TcxCustomDataField* AField);
  // The handle of a record (its record-handle field as an integer; the
  // record index itself while the controller keeps no handles).
  Integer GetRecordHandle(Integer ARecordIndex);
  // The record that carries the handle; -1 when none.
  Integer GetRecordIndexByHandle(Integer AHandle);
  // The source fills the controller's storage: one record per source
  // record, each with its handle.
  void LoadRecordHandles();
  // Appends a record through the source with the reader's values; answers
  // its record index (-1 without a source).
  Integer ReaderAppend(TcxValueDefReader* AReader);

  // ---- Editing bookkeeping ----
  Integer EditingRecordIndex() const { return FEditingRecordIndex; }
  // Called by the controller when the record it deletes is the edited one.
  void ForgetEditingRecord();
  // cxNoRecordIndex when none.
  Integer InsertedRecordIndex() const { return FInsertedRecordIndex; }
  void ClearInsertedRecordIndex() { FInsertedRecordIndex = cxNoRecordIndex; }
  // The neighbour records taken when editing began (cxNoRecordIndex: none).
  Integer EditingPrevRecordIndex() const { return FEditingPrevRecordIndex; }
  Integer EditingNextRecordIndex() const { return FEditingNextRecordIndex; }
  bool InsertAppends() const { return FInsertAppends; }
  // The internal record holding the values before the edit (0: none).
  Integer SavedRecordIndex() const { return FSavedRecordIndex; }
  void ClearSavedRecordIndex() { FSavedRecordIndex = 0; }
  bool IsDataChangedLocked() const { return FDataChangedLocked; }

protected:
  virtual void PrepareEditing();
  virtual void BeginEditing() { PrepareEditing(); }
  void InsertRecordAt(bool AAppend);
  // The focused new item row takes inserts.
  bool UsesNewItemRow() const;
  void EndEditing();
  void SaveRecord(Integer ARecordIndex);
  void ReleaseSavedRecord();
  void RestoreSavedRecord(Integer ARecordIndex);
  void Refocus();

  TcxCustomDataController* FOwner;
  TcxCustomDataSource* FCustomSource = nullptr;
  Integer FEditingRecordIndex = cxNoRecordIndex;
  Integer FEditingPrevRecordIndex = cxNoRecordIndex;
  Integer FEditingNextRecordIndex = cxNoRecordIndex;
  Integer FInsertedRecordIndex = cxNoRecordIndex;
  Integer FSavedRecordIndex = 0;
  bool FChanging = false;
  bool FModified = false;
  bool FInserting = false;
  bool FInsertAppends = false;
  bool FInUpdate = false;
  bool FDataChangedLocked = false;
  bool FFieldsRecreated = false;
  Integer FLocateCount = 0;
  Integer FLockCount = 0;
  Integer FLoadCount = 0;

private:
  // Adds a storage record (at AIndex, or at the end for -1) holding AHandle.
  Integer AddHandleRecord(Integer AIndex, Integer AHandle);
};

// ---- Saving selection and expanded details by key ----------------------------------------

// One saved key: the key value of a record (the controller's record values
// of the key fields). Subclasses of TcxKeys keep more with it.
struct TcxKeyRecord {
  virtual ~TcxKeyRecord() = default;
  Variant KeyValue;
};

// Keys of records saved before a large change and looked up afterwards.
class TcxKeys : public TObject {
  KORVANE_CLASS(TcxKeys, TObject)

  TcxKeys() = default;
  ~TcxKeys() override;

  virtual void RestoreKeys() {}
  virtual void SaveKeys() {}
  virtual void DisposeKey(TcxKeyRecord* AKey) { delete AKey; }
  virtual void Clear();

  // Clears, takes the key fields, saves, then sorts the keys by value.
  void Save(TcxCustomDataController* ADataController);
  // Takes the key fields; when keys are held, restores them and clears.
  void Restore(TcxCustomDataController* ADataController);
  void Delete(Integer AIndex);
  // The first saved key equal to the record's key value.
  bool FindRecord(Integer ARecordIndex, Integer& AKeyIndex);

  TcxCustomDataController* DataController() const { return FDataController; }
  const std::vector<TcxCustomDataField*>& KeyFields() const { return FKeyFields; }
  Integer Count() const { return Integer(FKeys.size()); }
  TcxKeyRecord* Items(Integer AIndex) const { return FKeys.at(size_t(AIndex)); }

protected:
  void AddKey(TcxKeyRecord* AKey) { FKeys.push_back(AKey); }
  Variant KeyOf(Integer ARecordIndex);

private:
  void TakeKeyFields(TcxCustomDataController* ADataController);
  TcxCustomDataController* FDataController = nullptr;
  std::vector<TcxCustomDataField*> FKeyFields;
  std::vector<TcxKeyRecord*> FKeys;
};

class TcxSaveObject;

// The records whose details are expanded, with their active relation and
// the saved state of a detail controller of the same class.
class TcxDetailKeys : public TcxKeys {
  KORVANE_CLASS(TcxDetailKeys, TcxKeys)
  TcxDetailKeys() = default;
  ~TcxDetailKeys() override { Clear(); }
  void RestoreKeys() override;
  void SaveKeys() override;
};

// The selected records and their positions in the selection.
class TcxSelectedKeys : public TcxKeys {
  KORVANE_CLASS(TcxSelectedKeys, TcxKeys)
  TcxSelectedKeys() = default;
  ~TcxSelectedKeys() override { Clear(); }
  void RestoreKeys() override;
  void SaveKeys() override;
};

// The state of a controller kept across a full update: expanded details
// and selection, both by key.
class TcxSaveObject : public TObject {
  KORVANE_CLASS(TcxSaveObject, TObject)
  TcxSaveObject() = default;
  // Skips a controller that is making its link object, whose owner is
  // being destroyed, or that does not keep its selection through its
  // record source.
  void Save(TcxCustomDataController* ADataController);
  // Such a skipped controller has its details collapsed instead.
  void Restore(TcxCustomDataController* ADataController);
  TcxDetailKeys* DetailKeys() { return &FDetailKeys; }
  TcxSelectedKeys* SelectedKeys() { return &FSelectedKeys; }

private:
  static bool CanSave(TcxCustomDataController* ADataController);
  TcxDetailKeys FDetailKeys;
  TcxSelectedKeys FSelectedKeys;
};
