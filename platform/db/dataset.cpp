#include "platform/db/dataset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/sysutils.h"

using namespace dbconsts;

namespace {

bool IsBlank(const Variant& v) { return VarIsNull(v) || VarIsEmpty(v); }

bool IsEditState(TDataSetState s) { return s == dsEdit || s == dsInsert || s == dsSetKey; }

// Total order of two values for sorting: Null first, then by value; values
// of kinds that do not compare order by their type code.
int CompareSortValues(const Variant& a, const Variant& b) {
  TVarType ta = a.Type(), tb = b.Type();
  if (ta == varOleStr && tb == varOleStr) {
    int c = a.RawString().compare(b.RawString());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if ((ta == varInteger || ta == varInt64) && (tb == varInteger || tb == varInt64))
    return a.RawInt() < b.RawInt() ? -1 : (a.RawInt() > b.RawInt() ? 1 : 0);
  bool an = ta == varEmpty || ta == varNull, bn = tb == varEmpty || tb == varNull;
  if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
  if (VarIsStr(a) && VarIsStr(b)) return AnsiCompareStr(a.AsString(), b.AsString());
  try {
    switch (VarCompareValue(a, b)) {
      case vrEqual: return 0;
      case vrLessThan: return -1;
      case vrGreaterThan: return 1;
      default: break;
    }
  } catch (const Exception&) {
  }
  return VarType(a) < VarType(b) ? -1 : (VarType(a) > VarType(b) ? 1 : 0);
}

// Text of one key value for the locate index: equal values give equal texts.
void AppendKeyText(String& key, const Variant& v) {
  if (IsBlank(v)) {
    key += u'\x01';
    return;
  }
  if (VarIsStr(v)) {
    key += u'S';
    key += v.AsString();
    key += u'\x02';
    return;
  }
  double d;
  try {
    d = v.AsDouble();
  } catch (const Exception&) {
    key += u'?';
    key += VarToStr(v);
    return;
  }
  if (d == 0) d = 0;  // one zero
  UInt64 bits;
  std::memcpy(&bits, &d, sizeof bits);
  key += u'N';
  for (int i = 0; i < 4; ++i) key += Char((bits >> (16 * i)) & 0xFFFF);
}

UInt64 ParseBookmark(const String& s) {
  UInt64 id = 0;
  if (s.empty() || s.size() > 19) return 0;
  for (Char c : s) {
    if (c < u'0' || c > u'9') return 0;
    id = id * 10 + (c - u'0');
  }
  return id;
}

}  // namespace

struct TDataSet::TKeyIndex {
  String Fields;
  std::vector<TField*> KeyFields;
  std::unordered_multimap<String, TRowHandle> Map;
};

// Makes a record the one fields read and write (and, with a state, the
// dataset's state) for as long as it lives.
class TDataSet::TTempRecord {
public:
  TTempRecord(TDataSet& DataSet, TRecordRef Record)
      : FDataSet(DataSet), FSavedRecord(DataSet.FTemp), FSavedState(DataSet.FState) {
    DataSet.FTemp = Record;
  }
  TTempRecord(TDataSet& DataSet, TRecordRef Record, TDataSetState State) : TTempRecord(DataSet, Record) {
    DataSet.FState = State;
  }
  ~TTempRecord() {
    FDataSet.FTemp = FSavedRecord;
    FDataSet.FState = FSavedState;
  }
  TTempRecord(const TTempRecord&) = delete;
  TTempRecord& operator=(const TTempRecord&) = delete;

private:
  TDataSet& FDataSet;
  TRecordRef FSavedRecord;
  TDataSetState FSavedState;
};

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
  // A quiet close: the descendant is already gone, so no events and no
  // InternalClose here (descendants close in their own destructors).
  if (FState != dsInactive) {
    FState = dsInactive;
    for (TDataSource* src : std::vector<TDataSource*>(FDataSources)) src->DataEvent(deUpdateState, 0);
  }
  for (TDataSource* src : std::vector<TDataSource*>(FDataSources)) src->SetDataSet(nullptr);
  std::vector<TField*> fields(FFields.begin(), FFields.end());
  FFields.Clear();
  for (TField* f : fields) {
    f->DataSetDestroying();
    if (f->DefaultField()) delete f;
  }
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
}

void TDataSet::CheckInactive() const {
  if (Active() && FState != dsOpening) DatabaseError(SDataSetOpen, this);
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(SDataSetClosed, this);
}

// ---- Fields -----------------------------------------------------------------------

void TDataSet::FieldAdded(TField* Field) { FFields.Add(Field); }

void TDataSet::FieldRemoved(TField* Field) {
  FFields.Remove(Field);
  if (FKeyIndex) FKeyIndex.reset();
}

TField* TDataSet::FieldByName(const String& FieldName) const { return FFields.FieldByName(FieldName); }

void TDataSet::GetFieldList(std::vector<TField*>& List, const String& FieldNames) const {
  for (const String& name : SplitFieldNames(FieldNames)) List.push_back(FieldByName(name));
}

void TDataSet::GetFieldNames(std::vector<String>& List) const {
  for (TField* f : FFields) List.push_back(f->FieldName());
}

void TDataSet::GetFieldNames(TStrings* List) const {
  List->BeginUpdate();
  try {
    List->Clear();
    for (TField* f : FFields) List->Add(f->FieldName());
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

Variant TDataSet::FieldValues(const String& FieldNames) const {
  std::vector<TField*> fields;
  GetFieldList(fields, FieldNames);
  if (fields.empty()) return Null();
  if (fields.size() == 1) return fields[0]->Value();
  std::vector<Variant> values;
  for (TField* f : fields) values.push_back(f->Value());
  return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const String& FieldNames, const Variant& Value) {
  std::vector<TField*> fields;
  GetFieldList(fields, FieldNames);
  if (fields.size() == 1) {
    fields[0]->SetValue(VarIsArray(Value) ? Value.GetElement(VarArrayLowBound(Value)) : Value);
    return;
  }
  for (size_t i = 0; i < fields.size(); ++i) {
    Variant v = VarIsArray(Value) ? Value.GetElement(VarArrayLowBound(Value) + Integer(i)) : Null();
    fields[i]->SetValue(v);
  }
}

TField* TDataSet::FieldOfColumn(Integer Column) const {
  for (TField* f : FFields)
    if (f->FieldKind() == fkData && f->Slot() == Column) return f;
  return nullptr;
}

void TDataSet::CreateFields() {
  for (const TFieldDef& def : FFieldDefs) {
    TComponentClass cls = DefaultFieldClass(def.DataType);
    if (!cls) cls = TWideStringField::StaticClass();
    auto* field = static_cast<TField*>(cls->Create(this));
    field->SetFieldName(def.Name);
    if (def.Size > 0 || dynamic_cast<TStringField*>(field)) field->SetSize(def.Size);
    if (auto* f = dynamic_cast<TFloatField*>(field); f && def.Precision > 0) f->SetPrecision(def.Precision);
    if (auto* f = dynamic_cast<TBCDField*>(field); f && def.Precision > 0) f->SetPrecision(def.Precision);
    field->SetRequired(def.Required);
    if (def.ReadOnly) field->SetReadOnly(true);
    field->SetOrigin(def.Origin);
    field->SetDefaultField(true);
    field->SetDataSet(this);
  }
  FDefaultFields = true;
}

void TDataSet::BindFields() {
  FColumnCount = FFieldDefs.Count();
  Integer slot = FColumnCount;
  FHasCalcFields = false;
  for (TField* f : FFields) {
    switch (f->FieldKind()) {
      case fkData: {
        Integer i = FFieldDefs.IndexOf(f->FieldName());
        if (i < 0) DatabaseError(FormatDbMessage(SFieldNotFound, {f->FieldName()}), this);
        f->Bind(FFieldDefs[i].FieldNo, i);
        if (f->Origin().empty()) f->SetOrigin(FFieldDefs[i].Origin);
        break;
      }
      case fkCalculated:
      case fkInternalCalc:
        f->Bind(0, slot++);
        FHasCalcFields = true;
        break;
      default:
        f->Bind(0, -1);
        break;
    }
  }
  FSlotCount = slot;
}

void TDataSet::DestroyDefaultFields() {
  if (!FDefaultFields) return;
  std::vector<TField*> fields(FFields.begin(), FFields.end());
  FFields.Clear();
  for (TField* f : fields) {
    f->DataSetDestroying();
    delete f;
  }
  FDefaultFields = false;
}

// ---- Opening and closing --------------------------------------------------------------

void TDataSet::SetActive(bool Value) {
  if (Value)
    Open();
  else
    Close();
}

void TDataSet::Open() {
  if (Active()) return;
  Fire(BeforeOpen);
  FState = dsOpening;
  try {
    InternalOpen();
    if (FFields.Count() == 0) CreateFields();
    BindFields();
    FStore.Reset(FSlotCount);
    InternalLoad();
    if (FHasCalcFields && OnCalcFields)
      for (TRowHandle rec : FRecords) CalculateFields(rec);
    BuildView();
  } catch (...) {
    FState = dsInactive;
    CleanUpAfterClose();
    try {
      InternalClose();
    } catch (...) {
    }
    throw;
  }
  FCurrent = FView.empty() ? -1 : 0;
  FActiveView = -1;
  FBof = true;
  FEof = FView.empty();
  SetState(dsBrowse);
  Fire(AfterOpen);
  DoAfterScroll();
}

void TDataSet::CleanUpAfterClose() {
  FInsertRecord = NoRow;
  FEditValues.clear();
  FView.clear();
  FRecords.clear();
  FStore.Reset(0);
  FKeyIndex.reset();
  InvalidateIndexes();
  FCurrent = FActiveView = -1;
  FBof = FEof = true;
  FFilterBound = false;
  FSortKeys.clear();
  FModified = false;
  DestroyDefaultFields();
  FFieldDefs.Clear();
  for (TField* f : FFields) f->Bind(0, -1);
}

void TDataSet::Close() {
  if (!Active()) return;
  bool events = !IsDestroying();
  if (events) Fire(BeforeClose);
  SetState(dsInactive);
  try {
    InternalClose();
  } catch (...) {
    CleanUpAfterClose();
    throw;
  }
  CleanUpAfterClose();
  if (events) Fire(AfterClose);
}

TRowHandle TDataSet::AppendRecord(bool HasRowId, Int64 RowId) {
  auto kept = HasRowId && !FKeptIds.empty() ? FKeptIds.find(RowId) : FKeptIds.end();
  UInt64 id = kept != FKeptIds.end() ? kept->second : FNextId++;
  TRowHandle row = FStore.NewRow(id, HasRowId, RowId);
  FRecords.push_back(row);
  return row;
}

void TDataSet::AddRecord(std::vector<Variant>&& Values, bool HasRowId, Int64 RowId) {
  FStore.WriteRow(AppendRecord(HasRowId, RowId), Values);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  Reload(true);
}

void TDataSet::Reload(bool KeepPosition) {
  Integer index = KeepPosition ? FCurrent : 0;
  UInt64 currentId = KeepPosition && FCurrent >= 0 ? FStore.Id(FView[FCurrent]) : 0;
  FKeptIds.clear();
  for (TRowHandle rec : FRecords)
    if (FStore.HasRowId(rec)) FKeptIds.emplace(FStore.RowId(rec), FStore.Id(rec));
  FView.clear();
  // The rows stay until their successors are read: a file that cannot be
  // read just now leaves them as they were rather than no rows at all.
  std::vector<TRowHandle> previous = std::move(FRecords);
  TRecordStore previousStore = std::move(FStore);
  FRecords.clear();
  FStore = TRecordStore();
  FStore.Reset(FSlotCount);
  FKeyIndex.reset();
  InvalidateIndexes();
  try {
    InternalLoad();
  } catch (...) {
    FKeptIds.clear();
    FRecords = std::move(previous);
    FStore = std::move(previousStore);
    FKeyIndex.reset();
    InvalidateIndexes();
    BuildView();
    TRowHandle same = currentId ? FindRecordById(currentId) : NoRow;
    Integer pos = ViewIndexOf(same);
    FCurrent = FView.empty() ? -1 : std::max(pos, 0);
    Resync(false);
    throw;
  }
  FKeptIds.clear();
  previousStore = TRecordStore();
  if (FHasCalcFields && OnCalcFields)
    for (TRowHandle rec : FRecords) CalculateFields(rec);
  BuildView();
  TRowHandle same = currentId ? FindRecordById(currentId) : NoRow;
  Integer pos = ViewIndexOf(same);
  if (pos < 0) pos = std::min(index, ViewCount() - 1);
  FCurrent = FView.empty() ? -1 : std::max(pos, 0);
  FBof = FView.empty() || !KeepPosition;
  FEof = FView.empty();
  Resync(false);
}

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

// ---- Notification ------------------------------------------------------------------------

void TDataSet::AddDataSource(TDataSource* Source) {
  if (std::find(FDataSources.begin(), FDataSources.end(), Source) == FDataSources.end())
    FDataSources.push_back(Source);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
  FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), Source), FDataSources.end());
}

void TDataSet::UpdateBufferCount() {}

bool TDataSet::IsLinkedTo(TDataSource* Source) const {
  for (TDataSource* master = MasterSource(); master; ) {
    if (master == Source) return true;
    TDataSet* ds = master->DataSet();
    master = ds ? ds->MasterSource() : nullptr;
  }
  return false;
}

void TDataSet::DataEvent(TDataEvent Event, NativeInt Info) {
  if (Event == deFieldChange) {
    auto* field = reinterpret_cast<TField*>(Info);
    if (field && (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc)) FModified = true;
    if (FHasCalcFields && OnCalcFields && IsEditState(FState)) {
      TTempRecord calculating(*this, {&FEditValues, NoRow}, dsCalcFields);
      for (TField* f : FFields)
        if (f->FieldKind() == fkCalculated && f->Slot() >= 0 && f->Slot() < Integer(FEditValues.size()))
          FEditValues[f->Slot()] = Null();
      OnCalcFields(this);
    }
  }
  bool pass = FDisableCount == 0 || Event == deDisabledStateChange ||
              (Event == deUpdateState && (FState == dsInactive || FDisableState == dsInactive));
  if (!pass) return;
  for (TDataSource* src : std::vector<TDataSource*>(FDataSources)) {
    if (std::find(FDataSources.begin(), FDataSources.end(), src) == FDataSources.end()) continue;
    src->DataEvent(Event, Info);
  }
}

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    DataEvent(deDisabledStateChange, 1);
  }
  ++FDisableCount;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount > 0) return;
  DataEvent(deDisabledStateChange, 0);
  if (FState != FDisableState) DataEvent(deUpdateState, 0);
  if (FState != dsInactive && FDisableState != dsInactive) DataEvent(deDataSetChange, 0);
}

void TDataSet::Resync(bool Center) {
  FActiveView = -1;
  FCenterRequested = Center;
  try {
    DataEvent(deDataSetChange, 0);
  } catch (...) {
    FCenterRequested = false;
    throw;
  }
  FCenterRequested = false;
}

void TDataSet::DoBeforeScroll() { Fire(BeforeScroll); }

void TDataSet::DoAfterScroll() { Fire(AfterScroll); }

// ---- Record access ------------------------------------------------------------------------

TDataSet::TRecordRef TDataSet::ActiveRecord() const {
  if (FTemp.IsSet()) return FTemp;
  Integer idx = FActiveView >= 0 ? FActiveView : FCurrent;
  if (idx < 0 || idx >= ViewCount()) return {};
  if (idx == FCurrent && (FState == dsEdit || FState == dsInsert))
    return {const_cast<std::vector<Variant>*>(&FEditValues), NoRow};
  return {nullptr, FView[idx]};
}

bool TDataSet::HasActiveRecord() const { return ActiveRecord().IsSet(); }

Variant TDataSet::GetSlotValue(const TField* Field) const {
  TRecordRef record = ActiveRecord();
  Integer slot = Field->Slot();
  if (!record.Buffer) return FStore.Get(record.Row, slot);
  if (slot < 0 || slot >= Integer(record.Buffer->size())) return Null();
  return (*record.Buffer)[slot];
}

Variant TDataSet::GetOldSlotValue(const TField* Field) const {
  if (FCurrent < 0 || (FState == dsInsert && FInsertRecord != NoRow && FView[FCurrent] == FInsertRecord))
    return Null();
  return FStore.Get(FView[FCurrent], Field->Slot());
}

void TDataSet::SetSlotValue(TField* Field, const Variant& Value) {
  Integer slot = Field->Slot();
  if (slot < 0) return;
  if (FTemp.Row != NoRow) {
    FStore.Set(FTemp.Row, slot, Value);
    return;
  }
  std::vector<Variant>* values = FTemp.Buffer;
  if (!values) {
    if (FState != dsEdit && FState != dsInsert) DatabaseError(SNotEditing, this);
    values = &FEditValues;
  }
  if (slot >= Integer(values->size())) values->resize(slot + 1, Null());
  (*values)[slot] = Value;
}

void TDataSet::SetActiveView(Integer ViewIndex) {
  FActiveView = ViewIndex == FCurrent ? -1 : ViewIndex;
}

Variant TDataSet::ValueOfRecord(TRowHandle Record, TField* Field) {
  if (Field->Slot() >= 0) return FStore.Get(Record, Field->Slot());
  TTempRecord reading(*this, {nullptr, Record});
  return Field->Value();
}

TRecordData TDataSet::RecordData(TRowHandle Record) const {
  TRecordData data;
  FStore.ReadRow(Record, data.Values);
  data.Id = FStore.Id(Record);
  data.HasRowId = FStore.HasRowId(Record);
  data.RowId = FStore.RowId(Record);
  return data;
}

void TDataSet::CalculateFields(TRowHandle Record) {
  if (!FHasCalcFields || !OnCalcFields) return;
  TTempRecord calculating(*this, {nullptr, Record}, dsCalcFields);
  for (TField* f : FFields)
    if (f->FieldKind() == fkCalculated && f->Slot() >= 0) FStore.Set(Record, f->Slot(), Null());
  OnCalcFields(this);
}

// ---- Positions and bookmarks ---------------------------------------------------------------

void TDataSet::InvalidateIndexes() {
  FViewIndexValid = false;
  FByIdValid = false;
}

Integer TDataSet::ViewIndexOf(TRowHandle Record) const {
  if (!FViewIndexValid) {
    FViewIndexById.assign(FNextId, -1);
    for (size_t i = 0; i < FView.size(); ++i) FViewIndexById[FStore.Id(FView[i])] = Integer(i);
    FViewIndexValid = true;
  }
  if (Record == NoRow) return -1;
  UInt64 id = FStore.Id(Record);
  return id < FViewIndexById.size() ? FViewIndexById[id] : -1;
}

TRowHandle TDataSet::FindRecordById(UInt64 Id) const {
  if (!FByIdValid) {
    FRowById.assign(FNextId, NoRow);
    for (TRowHandle rec : FRecords) FRowById[FStore.Id(rec)] = rec;
    if (FInsertRecord != NoRow) FRowById[FStore.Id(FInsertRecord)] = FInsertRecord;
    FByIdValid = true;
  }
  return Id < FRowById.size() ? FRowById[Id] : NoRow;
}

Integer TDataSet::StorageIndexOf(TRowHandle Record) const {
  auto it = std::find(FRecords.begin(), FRecords.end(), Record);
  return it == FRecords.end() ? -1 : Integer(it - FRecords.begin());
}

Integer TDataSet::RecordCount() const {
  if (!Active()) return 0;
  Integer n = ViewCount();
  if (FState == dsInsert && FInsertRecord != NoRow) --n;
  return n;
}

Integer TDataSet::RecNo() const {
  if (!Active() || FCurrent < 0) return -1;
  return FCurrent + 1;
}

void TDataSet::SetRecNo(Integer Value) {
  CheckActive();
  if (ViewCount() == 0) return;
  Value = std::clamp(Value, 1, ViewCount());
  if (Value != RecNo()) MoveBy(Value - RecNo());
}

String TDataSet::Bookmark() const {
  if (!Active() || FCurrent < 0) return String();
  return IntToStr(Int64(FStore.Id(FView[FCurrent])));
}

bool TDataSet::BookmarkAvailable() const { return Active() && FCurrent >= 0; }

bool TDataSet::BookmarkValid(const String& Value) const {
  if (!Active()) return false;
  UInt64 id = ParseBookmark(Value);
  return id && ViewIndexOf(FindRecordById(id)) >= 0;
}

void TDataSet::GotoBookmark(const String& Value) {
  CheckBrowseMode();
  UInt64 id = ParseBookmark(Value);
  Integer pos = id ? ViewIndexOf(FindRecordById(id)) : -1;
  if (pos < 0) DatabaseError(SRecordNotFound, this);
  DoBeforeScroll();
  FCurrent = pos;
  FBof = FEof = false;
  Resync(true);
  DoAfterScroll();
}

Integer TDataSet::CompareBookmarks(const String& A, const String& B) const {
  if (A.empty() || B.empty()) return A.empty() == B.empty() ? 0 : (A.empty() ? -1 : 1);
  UInt64 a = ParseBookmark(A), b = ParseBookmark(B);
  if (a == b) return 0;
  Integer pa = a ? ViewIndexOf(FindRecordById(a)) : -1;
  Integer pb = b ? ViewIndexOf(FindRecordById(b)) : -1;
  if (pa >= 0 && pb >= 0) return pa < pb ? -1 : 1;
  return a < b ? -1 : 1;
}

// ---- Navigation ------------------------------------------------------------------------------

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  FCurrent = FView.empty() ? -1 : 0;
  FBof = true;
  FEof = FView.empty();
  Resync(false);
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  FCurrent = ViewCount() - 1;
  FEof = true;
  FBof = FView.empty();
  Resync(false);
  DoAfterScroll();
}

Integer TDataSet::MoveBy(Integer Distance) {
  CheckBrowseMode();
  Integer result = 0;
  DoBeforeScroll();
  if ((Distance > 0 && !FEof) || (Distance < 0 && !FBof)) {
    FBof = FEof = false;
    Integer n = ViewCount();
    Int64 target = Int64(FCurrent) + Distance;
    if (target >= n) {
      result = n - 1 - FCurrent;
      FCurrent = n - 1;
      FEof = true;
    } else if (target < 0) {
      result = -FCurrent;
      FCurrent = 0;
      FBof = true;
    } else {
      result = Distance;
      FCurrent = Integer(target);
    }
    FActiveView = -1;
    DataEvent(deDataSetScroll, result);
    DoAfterScroll();
  }
  return result;
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

// ---- Editing ---------------------------------------------------------------------------------

void TDataSet::RunWithErrorHandler(const TDataSetErrorEvent& Handler, const std::function<void()>& Operation) {
  for (;;) {
    try {
      Operation();
      return;
    } catch (EDatabaseError& e) {
      TDataAction action = daFail;
      if (Handler) Handler(this, &e, action);
      if (action == daFail) throw;
      if (action == daAbort) Abort();
    }
  }
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  CheckActive();
  if (FView.empty()) {
    Insert();
    return;
  }
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
  Fire(BeforeEdit);
  RunWithErrorHandler(OnEditError, [] {});
  FStore.ReadRow(FView[FCurrent], FEditValues);
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  Fire(AfterEdit);
}

void TDataSet::BeginInsertAppend(bool Append) {
  CheckBrowseMode();
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
  Fire(BeforeInsert);
  DoBeforeScroll();
  FInsertRecord = FStore.NewRow(FNextId++, false, 0);
  Integer pos = Append || FCurrent < 0 ? ViewCount() : FCurrent;
  FView.insert(FView.begin() + pos, FInsertRecord);
  InvalidateIndexes();
  FKeyIndex.reset();
  FCurrent = pos;
  FActiveView = -1;
  FBof = FEof = false;
  FEditValues.assign(size_t(FSlotCount), Null());
  SetState(dsInsert);
  try {
    if (OnNewRecord) OnNewRecord(this);
  } catch (...) {
    DropInsertRecord();
    SetState(dsBrowse);
    Resync(false);
    throw;
  }
  FModified = false;
  Resync(false);
  Fire(AfterInsert);
  DoAfterScroll();
}

void TDataSet::Insert() { BeginInsertAppend(false); }

void TDataSet::Append() { BeginInsertAppend(true); }

void TDataSet::DropInsertRecord() {
  if (FInsertRecord == NoRow) return;
  auto it = std::find(FView.begin(), FView.end(), FInsertRecord);
  if (it != FView.end()) FView.erase(it);
  FStore.FreeRow(FInsertRecord);
  FInsertRecord = NoRow;
  InvalidateIndexes();
  FKeyIndex.reset();
  FEditValues.clear();
  if (FCurrent >= ViewCount()) FCurrent = ViewCount() - 1;
  FBof = FEof = FView.empty();
}

void TDataSet::UpdateRecord() {
  if (!IsEditState(FState)) DatabaseError(SNotEditing, this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::CheckRequiredFields() {
  for (TField* f : FFields) {
    if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull()) {
      f->FocusControl();
      DatabaseError(FormatDbMessage(SFieldRequired, {f->DisplayName()}), this);
    }
  }
}

void TDataSet::InternalPost(TRecordData&, std::vector<Variant>&, bool) {}

void TDataSet::InternalDelete(TRecordData&) {}

void TDataSet::Post() {
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  Fire(BeforePost);
  bool inserting = FState == dsInsert;
  TRowHandle rec = FView[FCurrent];
  TRecordData data = RecordData(rec);
  RunWithErrorHandler(OnPostError, [&] {
    CheckRequiredFields();
    InternalPost(data, FEditValues, inserting);
  });
  FStore.SetRowId(rec, data.HasRowId, data.RowId);
  FinishPost();
  Fire(AfterPost);
}

void TDataSet::FinishPost() {
  TRowHandle rec = FView[FCurrent];
  FStore.WriteRow(rec, FEditValues);
  FEditValues.clear();
  if (FState == dsInsert && FInsertRecord != NoRow) {
    // A new record takes its place in storage before the record that
    // follows it in the cursor's order.
    Integer next = FCurrent + 1 < ViewCount() ? StorageIndexOf(FView[FCurrent + 1]) : -1;
    auto where = next < 0 ? FRecords.end() : FRecords.begin() + next;
    FRecords.insert(where, FInsertRecord);
    FInsertRecord = NoRow;
  }
  CalculateFields(rec);
  FKeyIndex.reset();
  InvalidateIndexes();
  SetState(dsBrowse);
  RepositionAfterPost(rec);
  Resync(false);
}

void TDataSet::RepositionAfterPost(TRowHandle Record) {
  Integer pos = FCurrent;
  if (FFiltered && !PassesActiveFilter(Record)) {
    FView.erase(FView.begin() + pos);
    InvalidateIndexes();
    FCurrent = std::min(pos, ViewCount() - 1);
    FBof = FEof = FView.empty();
    return;
  }
  if (FSortKeys.empty()) return;
  FView.erase(FView.begin() + pos);
  auto it = std::upper_bound(FView.begin(), FView.end(), Record,
                             [this](TRowHandle a, TRowHandle b) { return CompareRecords(a, b) < 0; });
  FCurrent = Integer(it - FView.begin());
  FView.insert(it, Record);
  InvalidateIndexes();
}

void TDataSet::Cancel() {
  if (!IsEditState(FState)) return;
  DataEvent(deCheckBrowseMode, 0);
  Fire(BeforeCancel);
  if (FState == dsInsert) DropInsertRecord();
  FEditValues.clear();
  SetState(dsBrowse);
  Resync(false);
  Fire(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  if (FView.empty()) DatabaseError(SDataSetEmpty, this);
  DataEvent(deCheckBrowseMode, 0);
  Fire(BeforeDelete);
  DoBeforeScroll();
  TRowHandle rec = FView[FCurrent];
  TRecordData data = RecordData(rec);
  RunWithErrorHandler(OnDeleteError, [&] { InternalDelete(data); });
  FView.erase(FView.begin() + FCurrent);
  Integer storage = StorageIndexOf(rec);
  if (storage >= 0) FRecords.erase(FRecords.begin() + storage);
  FStore.FreeRow(rec);
  InvalidateIndexes();
  FKeyIndex.reset();
  FEditValues.clear();
  if (FCurrent >= ViewCount()) FCurrent = ViewCount() - 1;
  FBof = FEof = FView.empty();
  SetState(dsBrowse);
  Resync(false);
  Fire(AfterDelete);
  DoAfterScroll();
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  if (FState == dsEdit || FState == dsInsert) {
    UpdateRecord();
    if (FModified)
      Post();
    else
      Cancel();
  } else if (FState == dsSetKey) {
    SetState(dsBrowse);
  }
}

void TDataSet::ClearFields() {
  if (FState != dsEdit && FState != dsInsert) DatabaseError(SNotEditing, this);
  for (TField* f : FFields)
    if (f->FieldKind() == fkData && f->Slot() >= 0) FEditValues[f->Slot()] = Null();
  FModified = true;
  DataEvent(deDataSetChange, 0);
}

// ---- Location -------------------------------------------------------------------------------

bool TDataSet::MatchKey(const Variant& RecordValue, const Variant& Key, const TLocateOptions& Options) const {
  if (IsBlank(Key)) return IsBlank(RecordValue);
  if (IsBlank(RecordValue)) return false;
  bool partial = Options.count(loPartialKey) > 0;
  bool noCase = Options.count(loCaseInsensitive) > 0;
  if (VarIsStr(RecordValue) || partial) {
    String a = VarToStr(RecordValue), b = VarToStr(Key);
    if (noCase) {
      a = AnsiUpperCase(a);
      b = AnsiUpperCase(b);
    }
    return partial ? a.compare(0, b.size(), b) == 0 && a.size() >= b.size() : a == b;
  }
  return VarSameValue(RecordValue, Key);
}

String TDataSet::KeyText(const std::vector<Variant>& Values) const {
  String key;
  for (const Variant& v : Values) AppendKeyText(key, v);
  return key;
}

bool TDataSet::LocateRecord(const String& KeyFields, const Variant& KeyValues, const TLocateOptions& Options,
                            Integer& ViewIndex) {
  // Repeated locates on the indexed fields skip looking the names up.
  std::vector<TField*> named;
  bool sameIndex = Options.empty() && FKeyIndex && FKeyIndex->Fields == KeyFields;
  if (!sameIndex) GetFieldList(named, KeyFields);
  const std::vector<TField*>& fields = sameIndex ? FKeyIndex->KeyFields : named;
  if (fields.empty()) return false;
  std::vector<Variant> keys;
  keys.reserve(fields.size());
  for (size_t i = 0; i < fields.size(); ++i) {
    Variant v;
    if (VarIsArray(KeyValues)) {
      Integer idx = VarArrayLowBound(KeyValues) + Integer(i);
      v = idx <= VarArrayHighBound(KeyValues) ? KeyValues.GetElement(idx) : Null();
    } else {
      v = i == 0 ? KeyValues : Null();
    }
    // The key takes the field's own kind ("5" locates the integer 5).
    keys.push_back(Options.count(loPartialKey) ? v : fields[i]->ReadStoredValue(v));
  }
  bool indexable = Options.empty() && std::all_of(fields.begin(), fields.end(), [](TField* f) { return f->Slot() >= 0; });
  if (indexable) {
    if (!FKeyIndex || FKeyIndex->Fields != KeyFields) {
      FKeyIndex = std::make_unique<TKeyIndex>();
      FKeyIndex->Fields = KeyFields;
      FKeyIndex->KeyFields = fields;
      FKeyIndex->Map.reserve(FView.size());
      for (TRowHandle rec : FView) {
        if (rec == FInsertRecord) continue;
        String key;
        for (TField* f : fields) AppendKeyText(key, FStore.Get(rec, f->Slot()));
        FKeyIndex->Map.emplace(std::move(key), rec);
      }
    }
    auto [lo, hi] = FKeyIndex->Map.equal_range(KeyText(keys));
    Integer best = -1;
    for (auto it = lo; it != hi; ++it) {
      Integer pos = ViewIndexOf(it->second);
      if (pos < 0) continue;
      bool same = true;
      for (size_t i = 0; i < fields.size() && same; ++i)
        same = MatchKey(FStore.Get(it->second, fields[i]->Slot()), keys[i], Options);
      if (same && (best < 0 || pos < best)) best = pos;
    }
    ViewIndex = best;
    return best >= 0;
  }
  for (Integer pos = 0; pos < ViewCount(); ++pos) {
    TRowHandle rec = FView[pos];
    bool same = true;
    for (size_t i = 0; i < fields.size() && same; ++i) same = MatchKey(ValueOfRecord(rec, fields[i]), keys[i], Options);
    if (same) {
      ViewIndex = pos;
      return true;
    }
  }
  return false;
}

bool TDataSet::Locate(const String& KeyFields, const Variant& KeyValues, const TLocateOptions& Options) {
  CheckActive();
  DoBeforeScroll();
  CheckBrowseMode();
  Integer pos;
  if (!LocateRecord(KeyFields, KeyValues, Options, pos)) return false;
  FCurrent = pos;
  FBof = FEof = false;
  Resync(true);
  DoAfterScroll();
  return true;
}

Variant TDataSet::Lookup(const String& KeyFields, const Variant& KeyValues, const String& ResultFields) {
  if (!Active()) return Null();
  Integer pos;
  if (!LocateRecord(KeyFields, KeyValues, {}, pos)) return Null();
  std::vector<TField*> fields;
  GetFieldList(fields, ResultFields);
  TRowHandle rec = FView[pos];
  if (fields.size() == 1) return ValueOfRecord(rec, fields[0]);
  std::vector<Variant> values;
  for (TField* f : fields) values.push_back(ValueOfRecord(rec, f));
  return VarArrayOf(values);
}

// ---- Filtering ------------------------------------------------------------------------------

void TDataSet::BindFilter() {
  if (FFilterBound) return;
  FFilterExpr.Bind([this](const String& name) -> Integer {
    TField* f = FindField(name);
    if (!f) {
      // An origin written as "table.column" names the column.
      size_t dot = name.rfind(u'.');
      if (dot != String::npos) f = FindField(name.substr(dot + 1));
    }
    return f ? FFields.IndexOf(f) : -1;
  });
  FFilterBound = true;
}

bool TDataSet::PassesFilter(TRowHandle Record, const TFilterExpression* Expr) {
  TFilterEvalOptions options;
  options.CaseInsensitive = FFilterOptions.count(foCaseInsensitive) > 0;
  options.PartialCompare = FFilterOptions.count(foNoPartialCompare) == 0;
  TTempRecord filtering(*this, {nullptr, Record}, dsFilter);
  bool accept = true;
  if (Expr) accept = Expr->Evaluate([&](Integer i) { return ValueOfRecord(Record, FFields.Fields(i)); }, options);
  if (accept && OnFilterRecord) OnFilterRecord(this, accept);
  return accept;
}

bool TDataSet::PassesActiveFilter(TRowHandle Record) {
  if (!FFiltered) return true;
  BindFilter();
  return PassesFilter(Record, &FFilterExpr);
}

void TDataSet::BuildView() {
  FView.clear();
  FView.reserve(FRecords.size());
  if (FFiltered && (!FFilterExpr.IsEmpty() || OnFilterRecord)) {
    BindFilter();
    for (TRowHandle rec : FRecords)
      if (PassesFilter(rec, &FFilterExpr)) FView.push_back(rec);
  } else {
    FView = FRecords;
  }
  SortView();
  InvalidateIndexes();
  FKeyIndex.reset();
}

// Rebuilds the cursor's order after a change of filter or sort, keeping the
// current record when it is still there.
void TDataSet::SetFilter(const String& Value) {
  TFilterExpression expr(Value);
  if (Active() && FFiltered) CheckBrowseMode();
  FFilterExpr = std::move(expr);
  FFilterText = Value;
  FFilterBound = false;
  if (Active() && FFiltered) {
    TRowHandle current = FCurrent >= 0 ? FView[FCurrent] : NoRow;
    BuildView();
    Integer pos = ViewIndexOf(current);
    FCurrent = pos >= 0 ? pos : (FView.empty() ? -1 : 0);
    FBof = pos < 0;
    FEof = FView.empty();
    Resync(false);
  }
}

void TDataSet::SetFiltered(bool Value) {
  if (Value == FFiltered) return;
  if (Active()) CheckBrowseMode();
  FFiltered = Value;
  if (Active()) {
    TRowHandle current = FCurrent >= 0 ? FView[FCurrent] : NoRow;
    try {
      BuildView();
    } catch (...) {
      FFiltered = !Value;
      BuildView();
      throw;
    }
    Integer pos = ViewIndexOf(current);
    FCurrent = pos >= 0 ? pos : (FView.empty() ? -1 : 0);
    FBof = pos < 0;
    FEof = FView.empty();
    Resync(false);
  }
}

void TDataSet::SetFilterOptions(const TFilterOptions& Value) {
  if (Value == FFilterOptions) return;
  if (Active() && FFiltered) CheckBrowseMode();
  FFilterOptions = Value;
  if (Active() && FFiltered) {
    BuildView();
    FCurrent = FView.empty() ? -1 : 0;
    FBof = true;
    FEof = FView.empty();
    Resync(false);
  }
}

bool TDataSet::FindRecord(bool Restart, bool GoForward) {
  CheckBrowseMode();
  DoBeforeScroll();
  BindFilter();
  Integer n = ViewCount();
  Integer step = GoForward ? 1 : -1;
  Integer pos = Restart ? (GoForward ? 0 : n - 1) : FCurrent + step;
  FFound = false;
  for (; pos >= 0 && pos < n; pos += step) {
    if (PassesFilter(FView[pos], &FFilterExpr)) {
      FFound = true;
      break;
    }
  }
  if (FFound) {
    FCurrent = pos;
    FBof = FEof = false;
    Resync(true);
    DoAfterScroll();
  }
  return FFound;
}

bool TDataSet::FindFirst() { return FindRecord(true, true); }

bool TDataSet::FindLast() { return FindRecord(true, false); }

bool TDataSet::FindNext() { return FindRecord(false, true); }

bool TDataSet::FindPrior() { return FindRecord(false, false); }

// ---- Sorting ----------------------------------------------------------------------------------

void TDataSet::ParseSort(const String& Value) {
  std::vector<TSortKey> keys;
  String text = Value;
  for (Char& c : text)
    if (c == u';') c = u',';
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(u',', start);
    String part = Trim(text.substr(start, comma == String::npos ? String::npos : comma - start));
    start = comma == String::npos ? text.size() + 1 : comma + 1;
    if (part.empty()) continue;
    bool desc = false;
    String upper = UpperCase(part);
    auto endsWith = [&](const char16_t* word) {
      String w = word;
      return upper.size() > w.size() && upper.compare(upper.size() - w.size(), w.size(), w) == 0 &&
             upper[upper.size() - w.size() - 1] <= u' ';
    };
    if (endsWith(u"DESC")) {
      desc = true;
      part = Trim(part.substr(0, part.size() - 4));
    } else if (endsWith(u"ASC")) {
      part = Trim(part.substr(0, part.size() - 3));
    }
    if (part.size() >= 2 && part.front() == u'[' && part.back() == u']') part = part.substr(1, part.size() - 2);
    TField* f = FieldByName(part);
    if (f->Slot() < 0) DatabaseError(FormatDbMessage(SInvalidSort, {Value}), this);
    keys.push_back({f->Slot(), desc});
  }
  FSortKeys = std::move(keys);
}

// The order of CompareSortValues, read from the cells: texts and integers
// compare in place, every other pair as the values they hold.
Integer TDataSet::CompareSlots(TRowHandle A, TRowHandle B, Integer Slot) const {
  using K = TRecordStore::TCellKind;
  K ka = FStore.KindOf(A, Slot), kb = FStore.KindOf(B, Slot);
  bool ta = ka == K::ShortText || ka == K::Text, tb = kb == K::ShortText || kb == K::Text;
  if (ta && tb) {
    int c = FStore.TextOf(A, Slot).compare(FStore.TextOf(B, Slot));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if (ka == K::Integer && kb == K::Integer) {
    TVarType xa = FStore.TypeOf(A, Slot), xb = FStore.TypeOf(B, Slot);
    if ((xa == varInteger || xa == varInt64) && (xb == varInteger || xb == varInt64)) {
      Int64 a = FStore.IntOf(A, Slot), b = FStore.IntOf(B, Slot);
      return a < b ? -1 : (a > b ? 1 : 0);
    }
  }
  bool na = ka == K::Null || ka == K::Empty, nb = kb == K::Null || kb == K::Empty;
  if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
  return CompareSortValues(FStore.Get(A, Slot), FStore.Get(B, Slot));
}

Integer TDataSet::CompareRecords(TRowHandle A, TRowHandle B) const {
  for (const TSortKey& key : FSortKeys) {
    int c = CompareSlots(A, B, key.Slot);
    if (c != 0) return key.Descending ? -c : c;
  }
  UInt64 a = FStore.Id(A), b = FStore.Id(B);
  return a < b ? -1 : (a > b ? 1 : 0);
}

namespace {

// How the first sort key of the records compares: texts and integers by an
// order-keeping image of their start kept beside the record, which spares
// most comparisons a step through memory; other kinds as values.
enum class TSortPath { General, Text, Integer };

struct TSortItem {
  UInt64 Hi = 0, Lo = 0;  // Text: the first eight code units; Integer: the value
  bool Blank = false;     // Null or Empty: before every value
  TRowHandle Record = NoRow;
};

TSortPath SortPathOf(const TRecordStore& Store, const std::vector<TRowHandle>& View, Integer Slot) {
  bool text = true, integer = true;
  for (TRowHandle rec : View) {
    TVarType t = Store.TypeOf(rec, Slot);
    if (t == varNull || t == varEmpty) continue;
    text &= t == varOleStr;
    integer &= t == varInteger || t == varInt64;
    if (!text && !integer) break;
  }
  return text ? TSortPath::Text : integer ? TSortPath::Integer : TSortPath::General;
}

void FillSortImage(TSortItem& Item, const TRecordStore& Store, Integer Slot, TSortPath Path) {
  TVarType t = Store.TypeOf(Item.Record, Slot);
  Item.Blank = t == varNull || t == varEmpty;
  if (Item.Blank) return;
  if (Path == TSortPath::Integer) {
    Item.Hi = UInt64(Store.IntOf(Item.Record, Slot)) ^ (UInt64(1) << 63);
  } else if (Path == TSortPath::Text) {
    std::u16string_view text = Store.TextOf(Item.Record, Slot);
    for (size_t i = 0; i < 8; ++i) {
      UInt64 unit = i < text.size() ? text[i] : 0;
      (i < 4 ? Item.Hi : Item.Lo) |= unit << (16 * (3 - i % 4));
    }
  }
}

}  // namespace

void TDataSet::SortView() {
  if (FSortText.empty()) {
    FSortKeys.clear();
    return;
  }
  if (FSortKeys.empty()) ParseSort(FSortText);
  const TSortKey first = FSortKeys.front();
  TSortPath path = SortPathOf(FStore, FView, first.Slot);
  std::vector<TSortItem> items(FView.size());
  for (size_t i = 0; i < FView.size(); ++i) {
    items[i].Record = FView[i];
    FillSortImage(items[i], FStore, first.Slot, path);
  }
  auto compareFirst = [this, first, path](const TSortItem& a, const TSortItem& b) -> int {
    if (path == TSortPath::General) return CompareSlots(a.Record, b.Record, first.Slot);
    if (a.Blank || b.Blank) return a.Blank == b.Blank ? 0 : (a.Blank ? -1 : 1);
    if (a.Hi != b.Hi) return a.Hi < b.Hi ? -1 : 1;
    if (a.Lo != b.Lo) return a.Lo < b.Lo ? -1 : 1;
    if (path == TSortPath::Integer) return 0;
    int c = FStore.TextOf(a.Record, first.Slot).compare(FStore.TextOf(b.Record, first.Slot));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  };
  std::sort(items.begin(), items.end(), [&](const TSortItem& a, const TSortItem& b) {
    int c = compareFirst(a, b);
    if (c != 0) return first.Descending ? c > 0 : c < 0;
    return CompareRecords(a.Record, b.Record) < 0;
  });
  for (size_t i = 0; i < items.size(); ++i) FView[i] = items[i].Record;
}

void TDataSet::SetSort(const String& Value) {
  if (!Active()) {
    FSortText = Value;
    FSortKeys.clear();
    return;
  }
  CheckBrowseMode();
  String old = FSortText;
  FSortText = Value;
  FSortKeys.clear();
  TRowHandle current = FCurrent >= 0 ? FView[FCurrent] : NoRow;
  try {
    BuildView();
  } catch (...) {
    FSortText = old;
    FSortKeys.clear();
    BuildView();
    throw;
  }
  Integer pos = ViewIndexOf(current);
  FCurrent = pos >= 0 ? pos : (FView.empty() ? -1 : 0);
  FBof = FView.empty();
  FEof = FView.empty();
  Resync(false);
}
