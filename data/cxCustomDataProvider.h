#pragma once
// The record source behind a data controller: it keeps the editing state of
// the one record being edited or inserted and runs the steps of edit,
// insert, append, post, cancel and delete against its controller.
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
// is told the provider that makes it. The base answers as "no records".
class TcxCustomDataSource : public TObject {
  KORVANE_CLASS(TcxCustomDataSource, TObject)

  TcxCustomDataSource() = default;
  ~TcxCustomDataSource() override;

  virtual void DataChanged(TcxCustomDataProvider*) {}
  virtual Integer GetRecordCount(TcxCustomDataProvider*) { return 0; }
  virtual bool GetFlag(TcxCustomDataProvider*) { return false; }
  virtual Integer AppendRecord(TcxCustomDataProvider*) { return -1; }
  virtual void DeleteRecord(TcxCustomDataProvider*, Integer) {}
  virtual Integer InsertRecord(TcxCustomDataProvider* AProvider, Integer) { return AppendRecord(AProvider); }
  virtual Variant GetValue(TcxCustomDataProvider*, Integer, TcxCustomDataField*) { return Null(); }
  virtual void SetValue(TcxCustomDataProvider*, Integer, TcxCustomDataField*, const Variant&) {}
  virtual String GetDisplayText(TcxCustomDataProvider* AProvider, Integer ARecordIndex, TcxCustomDataField* AField);
  virtual Variant GetRecordId(TcxCustomDataProvider*, Integer) { return Null(); }

  // The providers linked to this source.
  Integer ProviderCount() const { return Integer(FProviders.size()); }

private:
  friend class TcxCustomDataProvider;
  std::vector<TcxCustomDataProvider*> FProviders;
};

class TcxCustomDataProvider : public TObject {
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
  virtual bool IsChanging() { return FChanging; }
  virtual bool IsEditing() { return FEditingRecordIndex != cxNoRecordIndex; }
  virtual bool IsInserting() { return IsEditing() && FInserting; }
  virtual bool IsModified() { return FModified; }
  bool IsReadOnly() { return !CanModify(); }
  virtual bool CanAppend() { return CanModify(); }
  virtual bool CanInsert() { return CanModify(); }
  virtual bool CanModify() { return true; }
  virtual bool CanDelete();

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

  void SetChanging() { FChanging = true; }
  void ResetChanging() { FChanging = false; }
  void SetModified() { FModified = true; }
  void ResetModified() { FModified = false; }
  void BeginLocate() { ++FLocateCount; }
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
  Integer FLocateCount = 0;
  Integer FLockCount = 0;
};
