#pragma once
// TDataSource joins a dataset to the data links of the controls that show
// it; TDataLink hears the dataset's data events and keeps its own window of
// records (BufferCount records around the current one).
//
// The events a link sees: opening or closing sends ActiveChanged; a change
// of editing sends EditingChanged; First, Last, Locate, posts, cancels,
// deletes, refreshes and the end of DisableControls send DataSetChanged;
// Next, Prior and MoveBy send DataSetScrolled(rows the link's window
// moved); a field change sends RecordChanged(field) (RecordChanged(nullptr)
// when editing starts); UpdateRecord sends UpdateData; CheckBrowseMode is
// sent before every post, cancel, delete and move.
#include <vector>

#include "platform/db/dbtypes.h"

class TDataLink;

class TDataSource : public TComponent {
  KORVANE_CLASS(TDataSource, TComponent)
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  // Raises EDatabaseError "Circular datalinks are not allowed" when the
  // dataset is a detail of this source.
  void SetDataSet(TDataSet* Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  // The dataset's state, dsInactive without one or when disabled.
  TDataSetState State() const { return FState; }
  // Puts the dataset into edit state when AutoEdit is set and it browses.
  void Edit();
  bool IsLinkedTo(TDataSet* DataSet) const;

  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  TNotifyEvent OnUpdateData;

  // ---- For datasets and links ----
  void DataEvent(TDataEvent Event, NativeInt Info);
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);
  const std::vector<TDataLink*>& DataLinks() const { return FDataLinks; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void SetState(TDataSetState Value);
  void UpdateState();

  TDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  bool FAutoEdit = true;
  TDataSetState FState = dsInactive;
  std::vector<TDataLink*> FDataLinks;
};

class TDataLink : public TPersistent {
  KORVANE_CLASS(TDataLink, TPersistent)
  TDataLink();
  ~TDataLink() override;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const;
  // The source's dataset is open.
  bool Active() const { return FActive; }
  // The dataset is in edit or insert state and the link may change it.
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }

  // The window of records: the current record is ActiveRecord within it.
  Integer BufferCount() const { return FBufferCount; }
  void SetBufferCount(Integer Value);
  // Setting it makes the dataset's fields read that record of the window
  // (restore it after use).
  Integer ActiveRecord() const;
  void SetActiveRecord(Integer Value);
  // Records in the window (0 when inactive).
  Integer RecordCount() const;
  bool Bof() const;
  bool Eof() const;

  // Puts the dataset into edit state (through the source's AutoEdit).
  bool Edit();
  // Asks this link to write its pending value (UpdateData) once.
  void UpdateRecord();

  // Dispatches a dataset event to the notices below.
  virtual void DataEvent(TDataEvent Event, NativeInt Info);

  // The dataset's absolute position of the window's first record.
  Integer FirstRecord() const { return FFirstRecord; }

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(Integer Distance) {
    (void)Distance;
    DataSetChanged();
  }
  virtual void EditingChanged() {}
  virtual void FocusControl(TFieldRef Field) { (void)Field; }
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) { (void)Field; }
  virtual void UpdateData() {}

private:
  friend class TDataSource;
  void UpdateActive();
  void UpdateEditing();
  Integer AdjustWindow(bool Center);

  TDataSource* FDataSource = nullptr;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
  bool FVisualControl = false;
  Integer FBufferCount = 1;
  Integer FFirstRecord = 0;
};
