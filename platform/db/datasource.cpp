#include "platform/db/datasource.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"

using namespace dbconsts;

// ---- TDataSource ---------------------------------------------------------------------

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  Destroying();  // no events from here on
  for (TDataLink* link : std::vector<TDataLink*>(FDataLinks)) link->SetDataSource(nullptr);
  SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (Value && Value->IsLinkedTo(this)) DatabaseError(SCircularDataLink, this);
  if (FDataSet) {
    FDataSet->RemoveDataSource(this);
    FDataSet->RemoveFreeNotification(this);
  }
  FDataSet = Value;
  if (FDataSet) {
    FDataSet->FreeNotification(this);
    FDataSet->AddDataSource(this);
  }
  UpdateState();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) {
    FDataSet = nullptr;
    SetState(dsInactive);
  }
}

void TDataSource::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateState();
}

void TDataSource::UpdateState() { SetState(FEnabled && FDataSet ? FDataSet->State() : dsInactive); }

void TDataSource::SetState(TDataSetState Value) {
  if (Value == FState) return;
  TDataSetState prior = FState;
  FState = Value;
  for (TDataLink* link : std::vector<TDataLink*>(FDataLinks)) link->DataEvent(deUpdateState, 0);
  if (IsDestroying()) return;
  if (OnStateChange) OnStateChange(this);
  if (prior == dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse && FDataSet) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* DataSet) const {
  return DataSet && DataSet->IsLinkedTo(const_cast<TDataSource*>(this));
}

void TDataSource::AddDataLink(TDataLink* Link) {
  if (std::find(FDataLinks.begin(), FDataLinks.end(), Link) == FDataLinks.end()) FDataLinks.push_back(Link);
  if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
  FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), Link), FDataLinks.end());
}

void TDataSource::DataEvent(TDataEvent Event, NativeInt Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (FState == dsInactive) return;
  // Links of other datasets (details) hear first, then the controls.
  std::vector<TDataLink*> links(FDataLinks);
  for (int visual = 0; visual < 2; ++visual) {
    for (TDataLink* link : links) {
      if (link->VisualControl() != (visual == 1)) continue;
      if (std::find(FDataLinks.begin(), FDataLinks.end(), link) == FDataLinks.end()) continue;
      link->DataEvent(Event, Info);
      if (Event == deFocusControl && *reinterpret_cast<TFieldRef>(Info) == nullptr) return;
    }
  }
  switch (Event) {
    case deFieldChange:
      if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(Info));
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (OnDataChange) OnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default:
      break;
  }
}

// ---- TDataLink ----------------------------------------------------------------------------

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  if (FDataSource) FDataSource->RemoveDataLink(this);
  FDataSource = nullptr;
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource) FDataSource->RemoveDataLink(this);
  FDataSource = Value;
  if (FDataSource) FDataSource->AddDataLink(this);
  UpdateActive();
  UpdateEditing();
}

void TDataLink::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  UpdateEditing();
}

void TDataLink::UpdateActive() {
  bool active = FDataSource && FDataSource->State() != dsInactive && DataSet();
  if (active == FActive) return;
  FActive = active;
  FFirstRecord = 0;
  if (FActive) AdjustWindow(false);
  ActiveChanged();
}

void TDataLink::UpdateEditing() {
  TDataSetState state = FDataSource ? FDataSource->State() : dsInactive;
  bool editing = FActive && (state == dsEdit || state == dsInsert) && !FReadOnly;
  if (editing == FEditing) return;
  FEditing = editing;
  EditingChanged();
}

Integer TDataLink::AdjustWindow(bool Center) {
  TDataSet* ds = DataSet();
  if (!ds) return 0;
  Integer n = ds->ViewCount();
  Integer c = ds->CurrentView();
  Integer old = FFirstRecord;
  Integer first = old;
  if (c < 0) {
    first = 0;
  } else if (Center) {
    first = c - (FBufferCount - 1) / 2;
  } else {
    if (c < first) first = c;
    if (c >= first + FBufferCount) first = c - FBufferCount + 1;
  }
  first = std::clamp(first, 0, std::max(0, n - FBufferCount));
  FFirstRecord = first;
  return first - old;
}

void TDataLink::SetBufferCount(Integer Value) {
  if (Value < 1) Value = 1;
  if (Value == FBufferCount) return;
  FBufferCount = Value;
  if (FActive) AdjustWindow(false);
  if (TDataSet* ds = DataSet()) ds->UpdateBufferCount();
}

Integer TDataLink::ActiveRecord() const {
  TDataSet* ds = DataSet();
  if (!FActive || !ds) return 0;
  Integer idx = ds->ActiveView() >= 0 ? ds->ActiveView() : ds->CurrentView();
  return idx < 0 ? 0 : idx - FFirstRecord;
}

void TDataLink::SetActiveRecord(Integer Value) {
  TDataSet* ds = DataSet();
  if (FActive && ds) ds->SetActiveView(FFirstRecord + Value);
}

Integer TDataLink::RecordCount() const {
  TDataSet* ds = DataSet();
  if (!FActive || !ds) return 0;
  return std::clamp(ds->ViewCount() - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::Bof() const {
  TDataSet* ds = DataSet();
  return ds ? ds->Bof() : true;
}

bool TDataLink::Eof() const {
  TDataSet* ds = DataSet();
  return ds ? ds->Eof() : true;
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent Event, NativeInt Info) {
  if (Event == deUpdateState) {
    UpdateActive();
    UpdateEditing();
    return;
  }
  if (!FActive) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      TDataSet* ds = DataSet();
      Integer distance = AdjustWindow(ds && ds->CenterRequested());
      if (Event == deDataSetChange)
        DataSetChanged();
      else if (Event == deDataSetScroll)
        DataSetScrolled(distance);
      else
        LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl:
      FocusControl(reinterpret_cast<TFieldRef>(Info));
      break;
    default:
      break;
  }
}
