#include "data/cxDataControllerInfo.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <map>
#include <memory>
#include <numeric>

#include "data/cxCustomDataController.h"
#include "data/cxDataSummary.h"
#include "data/cxVariants.h"

// The order of records by a list of sort entries. When every entry compares
// stored data (no compare handler, no value or text comparison) the stored
// values of all records are located once, so that each comparison reads no
// values; texts, integers and floats are then compared in place, in the
// storage's own order (Null first, then a text not made yet, then values).
class TcxDataRecordComparer {
public:
  TcxDataRecordComparer(TcxCustomDataController* AController, const std::vector<TcxDataSortInfo>& AEntries)
      : FController(AController), FEntries(AEntries) {
    FController->PrepareCompare(FEntries);
    FEditing = FController->Provider()->EditingRecordIndex();
    bool Fast = !FController->OnCompare && !FController->Provider()->CustomDataSource();
    for (const auto& E : FEntries) Fast = Fast && E.Field->ValueDef() && !FController->NeedsValueCompare(E.Field);
    if (!Fast) return;
    const Integer Count = FController->GetRecordCount();
    TcxDataStorage* Storage = FController->DataStorage();
    FKeys.resize(FEntries.size());
    FValues.resize(size_t(Count) * FKeys.size());
    for (size_t K = 0; K < FEntries.size(); ++K) {
      TKey& Key = FKeys[K];
      Key.Index = K;
      Key.Def = FEntries[K].Field->ValueDef();
      Key.Descending = FEntries[K].SortOrder == soDescending;
      const TcxValueTypeClass Type = Key.Def->ValueTypeClass();
      if (Type == TcxWideStringValueType::StaticClass())
        Key.Kind = kText;
      else if (Type == TcxIntegerValueType::StaticClass())
        Key.Kind = kInteger;
      else if (Type == TcxFloatValueType::StaticClass())
        Key.Kind = kFloat;
      for (Integer R = 0; R < Count; ++R) {
        bool IsNull = true;
        const void* P = nullptr;
        Storage->LocateValue(R, Key.Def, IsNull, P);
        TValue& V = Value(Key, size_t(R));
        V.State = IsNull ? 0 : (P ? 2 : 1);
        if (V.State != 2) continue;
        switch (Key.Kind) {
          case kText:
            V.Text = static_cast<const TcxStoredWideText*>(P);
            break;
          case kInteger: {
            Integer N;
            std::memcpy(&N, P, sizeof N);
            V.Number = N;
            break;
          }
          case kFloat: std::memcpy(&V.Number, P, sizeof(double)); break;
          case kGeneric: V.Pointer = P; break;
        }
      }
      if (Key.Kind == kText) PrepareTexts(Key, Count);
    }
    FFast = true;
  }

  // Sorts records into the order of Less.
  void Sort(std::vector<Integer>& ARecords) const {
    if (IsTotalOrder())
      SortByHeads(ARecords);
    else
      std::stable_sort(ARecords.begin(), ARecords.end(), [this](Integer A, Integer B) { return Less(A, B); });
  }
  ~TcxDataRecordComparer() { FController->UnprepareCompare(); }

  // The order of two records by entry AIndex alone.
  Integer CompareEntry(Integer A, Integer B, size_t AIndex) const {
    if (FFast && A >= 0 && B >= 0) {
      const Integer R = FastCompare(FKeys[AIndex], Value(FKeys[AIndex], size_t(A)), Value(FKeys[AIndex], size_t(B)));
      return FKeys[AIndex].Descending ? -R : R;
    }
    return FController->CompareRecordsBySortEntry(A, B, FEntries[AIndex]);
  }

  // The full order: entries, then record index.
  bool Less(Integer A, Integer B) const {
    if (A == B) return false;
    if (!FFast || A == FEditing || B == FEditing) return FController->CompareRecords(A, B) < 0;
    // The keys of one record lie side by side: a tie on the first key finds
    // the next one in the same cache line.
    const TValue* X = &FValues[size_t(A) * FKeys.size()];
    const TValue* Y = &FValues[size_t(B) * FKeys.size()];
    for (const TKey& K : FKeys) {
      const Integer R = FastCompare(K, *X++, *Y++);
      if (R != 0) return K.Descending ? R > 0 : R < 0;
    }
    return A < B;
  }

private:
  enum TKind { kGeneric, kText, kInteger, kFloat };
  // One record's value of one key, kept together for the comparisons.
  struct TValue {
    UInt64 Prefix = 0;
    union {
      const TcxStoredWideText* Text;
      const void* Pointer;
      double Number;
    };
    Byte State = 0;   // 0 Null, 1 no value made yet, 2 a value
    Byte Length = 0;  // of a text: its length after the shared beginning, 5 for five or more
    TValue() : Pointer(nullptr) {}
  };
  struct TKey {
    TcxValueDef* Def = nullptr;
    bool Descending = false;
    TKind Kind = kGeneric;
    size_t Index = 0;  // of the key within a record's row of values
  };

  TValue& Value(const TKey& AKey, size_t ARecord) { return FValues[ARecord * FKeys.size() + AKey.Index]; }
  const TValue& Value(const TKey& AKey, size_t ARecord) const {
    return FValues[ARecord * FKeys.size() + AKey.Index];
  }

  // Every text's first four code units after the beginning all the texts
  // share, in order, for a quick first look without reading the text.
  void PrepareTexts(const TKey& AKey, Integer ACount) {
    std::u16string_view First;
    bool HasFirst = false;
    size_t Shared = 0;
    for (Integer R = 0; R < ACount; ++R) {
      const TValue& V = Value(AKey, size_t(R));
      if (V.State != 2) continue;
      const std::u16string_view Text = V.Text->View();
      if (!HasFirst) {
        First = Text;
        HasFirst = true;
        Shared = First.size();
        continue;
      }
      const size_t Limit = std::min(Shared, Text.size());
      size_t I = 0;
      while (I < Limit && Text[I] == First[I]) ++I;
      Shared = I;
    }
    for (Integer R = 0; R < ACount; ++R) {
      TValue& V = Value(AKey, size_t(R));
      if (V.State != 2) continue;
      const std::u16string_view Text = V.Text->View();
      const size_t Rest = Text.size() - Shared;
      V.Length = Rest > 4 ? 5 : Byte(Rest);
      for (size_t I = Shared; I < Shared + 4; ++I) V.Prefix = (V.Prefix << 16) | (I < Text.size() ? Text[I] : 0);
    }
  }

  // Whether Less is a total order over the records that reads only the
  // prepared keys, so that any sort gives the one order a stable sort would.
  // The record being edited keeps its place beside a neighbour, which is no
  // such order, and a compare handler may answer anything.
  bool IsTotalOrder() const { return FFast && FEditing == cxNoRecordIndex; }

  // A record's place in the sort array: the first two keys' states and
  // leading bits in the keys' directions, so that most comparisons read
  // neither the record's values nor its texts. Heads order their records as
  // Less does as far as they tell; where they cannot, Less decides.
  static constexpr size_t HeadKeys = 2;
  struct THead {
    UInt64 Bits[HeadKeys] = {};
    Integer Record = 0;
    // Per key: state rank << 4 | length rank << 1 | whole (the bits and the
    // length are the whole value).
    Byte Meta[HeadKeys] = {};
  };

  THead HeadOf(Integer ARecord) const {
    THead H;
    H.Record = ARecord;
    for (size_t I = 0; I < std::min(HeadKeys, FKeys.size()); ++I) {
      const TKey& K = FKeys[I];
      const TValue& V = Value(K, size_t(ARecord));
      UInt64 Bits = 0;
      Byte Rank = V.State, Length = 0;
      bool Whole = V.State != 2;  // equal states without a value are equal
      if (V.State == 2 && K.Kind == kText) {
        Bits = V.Prefix;
        Length = V.Length;
        Whole = V.Length <= 4;
      } else if (V.State == 2 && K.Kind == kInteger) {  // the sign bit flipped: unsigned order is signed order
        Bits = UInt64(Int64(V.Number)) ^ (UInt64(1) << 63);
        Whole = true;
      }
      if (K.Descending) {
        Rank = Byte(2 - Rank);
        Length = Byte(5 - Length);
        Bits = ~Bits;
      }
      H.Bits[I] = Bits;
      H.Meta[I] = Byte(Rank << 4 | Length << 1 | (Whole ? 1 : 0));
    }
    return H;
  }

  // A text whose prefix equals a longer one's is that text's beginning, so
  // after equal bits the shorter comes first even when one is not whole.
  bool HeadLess(const THead& A, const THead& B) const {
    const size_t Count = std::min(HeadKeys, FKeys.size());
    for (size_t I = 0; I < Count; ++I) {
      const Byte MA = A.Meta[I], MB = B.Meta[I];
      if ((MA >> 4) != (MB >> 4)) return (MA >> 4) < (MB >> 4);
      if (A.Bits[I] != B.Bits[I]) return A.Bits[I] < B.Bits[I];
      if ((MA & 0xE) != (MB & 0xE)) return (MA & 0xE) < (MB & 0xE);
      if (!(MA & MB & 1)) return Less(A.Record, B.Record);
    }
    return Count < FKeys.size() ? Less(A.Record, B.Record) : A.Record < B.Record;
  }

  void SortByHeads(std::vector<Integer>& ARecords) const {
    std::vector<THead> Heads(ARecords.size());
    for (size_t I = 0; I < ARecords.size(); ++I) Heads[I] = HeadOf(ARecords[I]);
    std::sort(Heads.begin(), Heads.end(), [this](const THead& A, const THead& B) { return HeadLess(A, B); });
    for (size_t I = 0; I < ARecords.size(); ++I) ARecords[I] = Heads[I].Record;
  }

  static Integer FastCompare(const TKey& K, const TValue& X, const TValue& Y) {
    if (X.State != 2 || Y.State != 2) return X.State < Y.State ? -1 : (X.State > Y.State ? 1 : 0);
    switch (K.Kind) {
      case kText: {
        if (X.Prefix != Y.Prefix) return X.Prefix < Y.Prefix ? -1 : 1;
        // Texts of at most four code units after the shared beginning are
        // whole in their prefixes.
        if (X.Length <= 4 && Y.Length <= 4) return X.Length < Y.Length ? -1 : (X.Length > Y.Length ? 1 : 0);
        const Integer R = X.Text->View().compare(Y.Text->View());
        return R < 0 ? -1 : (R > 0 ? 1 : 0);
      }
      case kInteger:
      case kFloat:
        return X.Number < Y.Number ? -1 : (Y.Number < X.Number ? 1 : 0);
      case kGeneric:
        break;
    }
    return K.Def->CompareWithNullFlags(false, false, X.Pointer, Y.Pointer);
  }

  TcxCustomDataController* FController;
  std::vector<TcxDataSortInfo> FEntries;
  std::vector<TKey> FKeys;
  std::vector<TValue> FValues;  // by record, then key
  Integer FEditing = cxNoRecordIndex;
  bool FFast = false;
};


TcxCustomDataControllerInfo::TcxCustomDataControllerInfo(TcxCustomDataController* ADataController)
    : FDataController(ADataController) {
  FSortingFields = new TcxSortingFieldList();
  FSortingFields->OnChanged = TcxDataChangeEvent(this, &TcxCustomDataControllerInfo::SortingListChanged);
  FGroupingFields = new TcxGroupingFieldList();
  FGroupingFields->OnChanged = TcxDataChangeEvent(this, &TcxCustomDataControllerInfo::GroupingListChanged);
  FTotalSortingFields = new TcxSortingFieldList();
  FDataGroups = new TcxDataGroups();
  FExpandingInfos = new TcxDataExpandingInfos();
  FFocusingInfo = new TcxDataFocusingInfo(this);
  FPrevFocusingInfo = new TcxDataFocusingInfo(this);
  FSelection = static_cast<TcxDataSelection*>(
      FDataController->SelectionClass()->Create(static_cast<IcxCustomDataController*>(FDataController)));
  FSelection->OnChanged = TcxDataChangeEvent(this, &TcxCustomDataControllerInfo::SelectionChanged);
}

TcxCustomDataControllerInfo::~TcxCustomDataControllerInfo() {
  delete FSelection;
  delete FPrevFocusingInfo;
  delete FFocusingInfo;
  delete FExpandingInfos;
  delete FDataGroups;
  delete FTotalSortingFields;
  delete FGroupingFields;
  delete FSortingFields;
}

Integer TcxCustomDataControllerInfo::GetSyncFocusedRecordIndex() { return FDataController->GetSyncFocusedRecordIndex(); }

void TcxCustomDataControllerInfo::GetRowInfo(Integer ARowIndex, bool& AExpanded, Integer& ALevel,
                                             Integer& ARecordIndex) {
  const TcxRowInfo Info = RowInfoOf(ARowIndex);
  AExpanded = Info.Expanded;
  ALevel = Info.Level;
  ARecordIndex = Info.RecordIndex;
}

void TcxCustomDataControllerInfo::SortingListChanged() { FChanges |= dciSorting; }
void TcxCustomDataControllerInfo::GroupingListChanged() { FChanges |= dciGrouping | dciSorting | dciSummary; }

void TcxCustomDataControllerInfo::SelectionChanged() {
  FChanges |= dciSelection;
  if (FDataController->Summary()->Options().count(soSelectedRecords)) FChanges |= dciSummary;
}

void TcxCustomDataControllerInfo::Expanded() {
  FExpanding = true;
  FChanges |= dciExpanding;
}

// ---- Lock and change mask --------------------------------------------------------------------

void TcxCustomDataControllerInfo::Unlock() {
  if (FLockCount > 0) --FLockCount;
  CheckUpdate();
}

void TcxCustomDataControllerInfo::CheckUpdate() {
  if (FChanges != 0 && FLockCount == 0 && !FInUpdate) Update();
}

void TcxCustomDataControllerInfo::DataChanged() {
  FChanges |= dciRecordList | dciSummary;
  if (FSortingFields->Count() > 0) FChanges |= dciSorting;
  if (FGroupingFields->Count() > 0) FChanges |= dciGrouping;
  CheckUpdate();
}

void TcxCustomDataControllerInfo::FocusedRecordChanged(bool APrevFocusChanged) {
  FChanges |= dciFocusedRecord;
  if (APrevFocusChanged) FFocusingInfo->SetChanged(true);
}

void TcxCustomDataControllerInfo::CheckFocusedRecord() {
  FChanges |= dciSyncFocus;
  FFocusingInfo->TakeControllerRecord();
}

void TcxCustomDataControllerInfo::FieldChanged(TcxCustomDataField* AField) {
  FChanges |= dciField;
  FSortingFields->CheckField(AField);
  if (GroupIndexOf(AField) >= 0) FSelection->Clear();
  FGroupingFields->CheckField(AField);
  FExpandingInfos->CheckField(AField);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ForgetField(TcxCustomDataField* AField) {
  FSortingFields->Remove(AField);
  if (GroupIndexOf(AField) >= 0) FSelection->Clear();
  FGroupingFields->Remove(AField);
  FGroupingFields->SyncOrders(FSortingFields);
  FExpandingInfos->CheckField(AField);
  CheckUpdate();
}

// ---- Update -----------------------------------------------------------------------------------

// Runs the rebuild steps of the pending mask. A step may ask for another
// rebuild (a post while leaving a record); such requests run in a further
// pass before the mask is reported, so that no change is lost.
void TcxCustomDataControllerInfo::Update() {
  const Word Rebuild = dciRecordList | dciGrouping | dciSorting;
  FInUpdate = true;
  ++FLockCount;
  Word Total = 0;
  auto Finish = [&]() -> std::exception_ptr {
    FExpandingInfos->Clear();
    if (FExpanding) RemapSelection();
    Total |= FChanges;
    FChanges = 0;
    --FLockCount;
    FInUpdate = false;
    // A failing summary handler does not cost the notices their flags.
    std::exception_ptr Failure;
    if ((Total & dciSummary) && !FDataController->IsOwnerReading() && !FDataController->IsOwnerDestroying()) {
      try {
        FDataController->Summary()->Calculate();
        SortGroupsBySummary();
      } catch (...) {
        Failure = std::current_exception();
      }
    }
    FDataController->InfoUpdated(Total);
    return Failure;
  };
  try {
    for (Integer Pass = 0; Pass < 4 && (Pass == 0 || (FChanges & Rebuild)); ++Pass) {
      const Word Mask = FChanges;
      Total |= Mask;
      UpdatePass(Mask);
      // What this pass asked for besides a rebuild is reported, not re-run.
      FChanges &= Word(~Mask) | Rebuild;
      Total |= FChanges & Word(~Rebuild);
      FChanges &= Rebuild;
      if ((FChanges & Rebuild) == (Mask & Rebuild) && Pass > 0) break;
    }
  } catch (...) {
    Finish();
    throw;
  }
  const std::exception_ptr Failure = Finish();
  FDataController->Change(0);
  if (Failure) std::rethrow_exception(Failure);
}

void TcxCustomDataControllerInfo::UpdatePass(Word AMask) {
  FChanges &= Word(~(dciRecordList | dciGrouping | dciSorting));
  FExpanding = false;
  SaveStates(AMask);
  if (AMask & dciRecordList) BuildRecordList();
  if (AMask & (dciGrouping | dciSorting)) Sort();
  if (AMask & dciGrouping) BuildGroups();
  FComparer.reset();
  if (AMask & (dciGrouping | dciSorting)) FocusFirstRowAfterReorder();
  RestoreStates();
  if ((AMask & (dciRecordList | dciGrouping | dciSorting | dciExpanding)) || FRemapSelection) RemapSelection();
  FRemapSelection = false;
  RestoreFocus();
  FDataController->CheckBookmarkValid();
}

// With one grouping level and a sort-by-summary item, the groups are ordered
// by that item's group value.
void TcxCustomDataControllerInfo::SortGroupsBySummary() {
  if (!FDataController->HasSortBySummary() || FDataGroups->Count() == 0) return;
  TcxDataGroupSummaryItems* Items = FDataController->Summary()->GetGroupSummaryItems(0);
  const Integer Index = Items ? Items->IndexOfItem(FDataController->SortBySummaryItem()) : -1;
  if (Index < 0) return;
  const Integer Focused = FFocusingInfo->RecordIndex();
  FDataGroups->SetSummarySort(Index, FDataController->SortBySummaryOrder());
  FDataGroups->SortBySummary();
  RebuildRowAids();
  RemapSelection();
  // The focused record keeps the focus on its new row.
  if (Focused >= 0) {
    FFocusingInfo->SetRowIndex(GetRowIndexByRecordIndex(Focused, false));
    FFocusingInfo->UpdateFromRow(FFocusingInfo->RowIndex());
  }
}

void TcxCustomDataControllerInfo::BuildRecordList() {
  const Integer Count = FDataController->GetRecordCount();
  FRecordList.resize(size_t(Count));
  std::iota(FRecordList.begin(), FRecordList.end(), 0);
  const bool Filtering = FDataController->OnFilterRecord || FDataController->IsIncrementalFilterActive() ||
                         FDataController->IsFiltering();
  if (!Filtering) return;
  TcxCustomDataProvider* Provider = FDataController->Provider();
  // The record being edited or inserted always stays.
  const Integer Editing = Provider->IsEditing() ? Provider->EditingRecordIndex() : cxNoRecordIndex;
  const Integer Passing = FDataController->FilterByStoredTexts(FRecordList, Editing);
  size_t Kept = Passing >= 0 ? size_t(Passing) : 0;
  if (Passing < 0)
    for (Integer R = 0; R < Count; ++R)
      if (R == Editing || FDataController->RecordPassesFilters(R)) FRecordList[Kept++] = R;
  if (Kept == FRecordList.size()) return;
  // Selected records filtered out leave the selection when it is re-mapped.
  FRecordList.resize(Kept);
  if (FDataController->CheckFocusingAfterFilter()) {
    FDataController->SetCheckFocusingAfterFilter(false);
    FDataController->SetFilterChangedFlag(true);
  }
}

void TcxCustomDataControllerInfo::Sort() {
  FTotalSortingFields->Clear();
  for (Integer I = 0; I < FGroupingFields->Count(); ++I)
    FTotalSortingFields->Add(FGroupingFields->Items(I).Field, FGroupingFields->Items(I).SortOrder);
  for (Integer I = 0; I < FSortingFields->Count(); ++I)
    if (GroupIndexOf(FSortingFields->Items(I).Field) < 0)
      FTotalSortingFields->Add(FSortingFields->Items(I).Field, FSortingFields->Items(I).SortOrder);
  if (FRecordList.empty()) return;
  if (FTotalSortingFields->Count() == 0) {
    std::sort(FRecordList.begin(), FRecordList.end());
    return;
  }
  std::vector<TcxDataSortInfo> Entries;
  for (Integer I = 0; I < FTotalSortingFields->Count(); ++I) Entries.push_back(FTotalSortingFields->Items(I));
  FComparer = std::make_unique<TcxDataRecordComparer>(FDataController, Entries);
  FComparer->Sort(FRecordList);
}

void TcxCustomDataControllerInfo::BuildGroups() {
  FDataGroups->Clear();
  const Integer Levels = LevelCount();
  for (Integer L = 0; L < Levels; ++L) FDataGroups->AddField(FGroupingFields->Items(L).Field);
  const Integer Count = GetRecordListCount();
  if (Levels > 0 && Count > 0) {
    // The sort just made compares the same leading entries.
    std::unique_ptr<TcxDataRecordComparer> Own;
    if (!FComparer) {
      std::vector<TcxDataSortInfo> Entries;
      for (Integer L = 0; L < Levels; ++L) Entries.push_back(FTotalSortingFields->Items(L));
      Own = std::make_unique<TcxDataRecordComparer>(FDataController, Entries);
    }
    TcxDataRecordComparer& Comparer = FComparer ? *FComparer : *Own;
    std::vector<Integer> Open(size_t(Levels), -1);
    std::vector<Integer> KeyRecord(size_t(Levels), -1);
    Integer Level0Ordinal = 0;
    auto OpenFrom = [&](Integer ALevel, Integer APosition) {
      for (Integer L = ALevel; L < Levels; ++L) {
        const Integer Index = FDataGroups->Count();
        TcxDataGroupInfo* G = FDataGroups->AddGroup();
        G->Level = L;
        G->Expanded = false;
        G->RowIndex = Level0Ordinal;
        G->FirstIndex = L < Levels - 1 ? Index + 1 : APosition;
        Open[size_t(L)] = Index;
        KeyRecord[size_t(L)] = FRecordList[size_t(APosition)];
      }
    };
    OpenFrom(0, 0);
    for (Integer P = 1; P < Count; ++P) {
      const Integer Record = FRecordList[size_t(P)];
      Integer Differs = -1;
      for (Integer L = 0; L < Levels && Differs < 0; ++L)
        if (Comparer.CompareEntry(KeyRecord[size_t(L)], Record, size_t(L)) != 0) Differs = L;
      if (Differs < 0) continue;
      for (Integer L = Levels - 1; L >= Differs; --L)
        FDataGroups->Items(Open[size_t(L)])->LastIndex = L == Levels - 1 ? P - 1 : FDataGroups->Count() - 1;
      if (Differs == 0) ++Level0Ordinal;
      OpenFrom(Differs, P);
    }
    for (Integer L = Levels - 1; L >= 0; --L)
      FDataGroups->Items(Open[size_t(L)])->LastIndex = L == Levels - 1 ? Count - 1 : FDataGroups->Count() - 1;
    if (FDataController->HasOption(dcoAllGroupsExpanded))
      for (Integer G = 0; G < FDataGroups->Count(); ++G) FDataGroups->Items(G)->Expanded = true;
  }
  RebuildRowAids();
  FDataGroups->Renumber();
}

void TcxCustomDataControllerInfo::RebuildRowAids() {
  FParents.assign(size_t(FDataGroups->Count()), -1);
  FDeepest.clear();
  // Groups ordered by a summary are no longer in record-list order.
  std::vector<Integer> Stack;
  const Integer Deepest = LevelCount() - 1;
  for (Integer G = 0; G < FDataGroups->Count(); ++G) {
    const Integer Level = FDataGroups->Items(G)->Level;
    Stack.resize(size_t(Level));
    FParents[size_t(G)] = Level > 0 && !Stack.empty() ? Stack.back() : -1;
    Stack.push_back(G);
    if (Level == Deepest) FDeepest.push_back(G);
  }
  // Built from the record list the deepest groups already come in position
  // order; only groups reordered by a summary need the sort.
  auto ByPosition = [&](Integer A, Integer B) {
    return FDataGroups->Items(A)->FirstIndex < FDataGroups->Items(B)->FirstIndex;
  };
  if (!std::is_sorted(FDeepest.begin(), FDeepest.end(), ByPosition))
    std::sort(FDeepest.begin(), FDeepest.end(), ByPosition);
}

Variant TcxCustomDataControllerInfo::GroupValue(Integer AGroupIndex, Integer ALevel) const {
  Integer First, Last;
  GroupPositions(AGroupIndex, First, Last);
  return FDataController->GetGroupValue(FRecordList[size_t(First)], FGroupingFields->Items(ALevel).Field);
}

// ---- Expansion and selection saving ---------------------------------------------------------

void TcxCustomDataControllerInfo::SaveStates(Word AMask) {
  Integer Bits = 0;
  if (FDataController->HasOption(dcoKeepExpansionAndSelection)) {
    if (AMask & (dciRecordList | dciGrouping)) Bits |= 1;
    if (FSelection->Count() > 0 && (AMask & (dciRecordList | dciGrouping | dciSorting | dciExpanding))) Bits |= 2;
  }
  if (Bits == FExpandingInfos->SaveStates()) return;
  bool Match = FDataGroups->FieldCount() == LevelCount() && !FRecordList.empty() && FDataGroups->Count() > 0;
  for (Integer L = 0; Match && L < LevelCount(); ++L) Match = FDataGroups->Fields(L) == FGroupingFields->Items(L).Field;
  FExpandingInfos->Clear();
  FExpandingInfos->SetSaveStates(Bits);
  if (Bits == 0 || !Match) return;
  for (Integer L = 0; L < LevelCount(); ++L) FExpandingInfos->AddField(FGroupingFields->Items(L).Field);
  const bool KeepExpanded = !FDataController->HasOption(dcoAllGroupsExpanded) && (Bits & 1);
  Integer HiddenBelow = -1;
  for (Integer G = 0; G < FDataGroups->Count(); ++G) {
    const TcxDataGroupInfo* Group = FDataGroups->Items(G);
    if (HiddenBelow >= 0 && Group->Level > HiddenBelow) continue;
    HiddenBelow = Group->Expanded ? -1 : Group->Level;
    Integer State = 0;
    if (Group->Expanded && KeepExpanded) State |= 1;
    if ((Bits & 2) && FSelection->FindGroupEntry(G) != -1) State |= 2;
    if (Group->Expanded || State != 0) FExpandingInfos->AddItem(Group->Level, GroupValue(G, Group->Level), State);
  }
}

namespace {
struct TPathLess {
  bool operator()(const std::vector<Variant>& A, const std::vector<Variant>& B) const {
    for (size_t I = 0; I < A.size() && I < B.size(); ++I) {
      const Integer R = CompareVariantValues(A[I], B[I]);
      if (R != 0) return R < 0;
    }
    return A.size() < B.size();
  }
};
}  // namespace

void TcxCustomDataControllerInfo::RestoreStates() {
  const Integer Bits = FExpandingInfos->SaveStates();
  if (Bits == 0) return;
  bool Same = FExpandingInfos->FieldCount() == LevelCount();
  for (Integer L = 0; Same && L < LevelCount(); ++L) Same = FExpandingInfos->Fields(L) == FGroupingFields->Items(L).Field;
  if (!Same) {
    if (Bits & 2) FSelection->Clear();
    FExpandingInfos->Clear();
    return;
  }
  // Group entries name groups of the old tree.
  for (Integer I = FSelection->Count() - 1; I >= 0; --I)
    if (FSelection->Items(I).Level < 0) FSelection->DeleteEntry(I);
  std::map<std::vector<Variant>, Integer, TPathLess> States;
  std::vector<Variant> Path;
  for (Integer I = 0; I < FExpandingInfos->Count(); ++I) {
    const TcxDataExpandingInfo& Item = FExpandingInfos->Items(I);
    Path.resize(size_t(Item.Level));
    Path.push_back(Item.Value);
    States[Path] = Item.State;
  }
  Path.clear();
  bool Changed = false;
  for (Integer G = 0; G < FDataGroups->Count(); ++G) {
    TcxDataGroupInfo* Group = FDataGroups->Items(G);
    Path.resize(size_t(Group->Level));
    Path.push_back(GroupValue(G, Group->Level));
    auto It = States.find(Path);
    if (It == States.end()) continue;
    if ((It->second & 1) && !Group->Expanded) Group->Expanded = Changed = true;
    if (It->second & 2) FSelection->InsertEntry(-1, -1, -1, G);
  }
  FExpandingInfos->Clear();
  if (Changed) FDataGroups->Renumber();
}

void TcxCustomDataControllerInfo::RemapSelection() {
  if (FSelection->Count() == 0) return;
  std::vector<Integer> PosOfRecord(size_t(FDataController->GetRecordCount()), -1);
  for (Integer P = 0; P < GetRecordListCount(); ++P)
    if (FRecordList[size_t(P)] < Integer(PosOfRecord.size())) PosOfRecord[size_t(FRecordList[size_t(P)])] = P;
  bool Dropped = false;
  for (Integer I = FSelection->Count() - 1; I >= 0; --I) {
    TcxDataSelectionInfo& E = FSelection->Items(I);
    Integer Row = -1;
    if (E.Level < 0) {
      if (E.Index < FDataGroups->Count() && FDataGroups->IsRowOwner(E.Index)) Row = FDataGroups->Items(E.Index)->RowIndex;
    } else if (E.Index >= 0 && E.Index < Integer(PosOfRecord.size()) && PosOfRecord[size_t(E.Index)] >= 0) {
      Row = IsGrouped() ? RowOfPosition(PosOfRecord[size_t(E.Index)], false) : PosOfRecord[size_t(E.Index)];
    }
    if (Row == -1) {
      FSelection->DeleteEntry(I);
      Dropped = true;
    } else {
      E.RowIndex = Row;
    }
  }
  FSelection->SortByRow();
  if (Dropped) SelectionChanged();
  if (FSelection->AnchorRowIndex() != -1 && !IsRowSelected(FSelection->AnchorRowIndex())) FSelection->ClearAnchor();
}

// ---- Rows -----------------------------------------------------------------------------------

Integer TcxCustomDataControllerInfo::GetRowCount() const {
  return IsGrouped() ? FDataGroups->RowCount() : GetRecordListCount();
}

void TcxCustomDataControllerInfo::CheckRowIndex(Integer ARowIndex) const {
  if (ARowIndex < 0 || ARowIndex >= GetRowCount()) cxDataControllerError(cxSDataRowIndexError);
}

TcxRowInfo TcxCustomDataControllerInfo::RowInfoOf(Integer ARowIndex) const {
  TcxRowInfo Result;
  if (ARowIndex < 0 || ARowIndex >= GetRowCount()) return Result;
  if (!IsGrouped()) {
    Result.RecordIndex = FRecordList[size_t(ARowIndex)];
    return Result;
  }
  Integer Position = -1;
  FDataGroups->RowInfo(ARowIndex, Result.Expanded, Result.Level, Position);
  Result.RecordIndex = Position >= 0 && Position < GetRecordListCount() ? FRecordList[size_t(Position)] : -1;
  if (Result.Level < LevelCount()) Result.GroupIndex = FDataGroups->GroupOfRow(ARowIndex);
  return Result;
}

TcxRowInfo TcxCustomDataControllerInfo::GetRowInfo(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  return RowInfoOf(ARowIndex);
}

Integer TcxCustomDataControllerInfo::GetRecordListPosition(Integer ARecordIndex) const {
  auto It = std::find(FRecordList.begin(), FRecordList.end(), ARecordIndex);
  return It == FRecordList.end() ? -1 : Integer(It - FRecordList.begin());
}

Integer TcxCustomDataControllerInfo::GroupOfPosition(Integer APosition) const {
  auto It = std::upper_bound(FDeepest.begin(), FDeepest.end(), APosition,
                             [&](Integer P, Integer G) { return P < FDataGroups->Items(G)->FirstIndex; });
  return It == FDeepest.begin() ? -1 : *(It - 1);
}

void TcxCustomDataControllerInfo::GroupPositions(Integer AGroupIndex, Integer& AFirst, Integer& ALast) const {
  const Integer Deepest = LevelCount() - 1;
  Integer G = AGroupIndex;
  while (FDataGroups->Items(G)->Level < Deepest) G = FDataGroups->Items(G)->FirstIndex;
  AFirst = FDataGroups->Items(G)->FirstIndex;
  G = AGroupIndex;
  while (FDataGroups->Items(G)->Level < Deepest) G = FDataGroups->Items(G)->LastIndex;
  ALast = FDataGroups->Items(G)->LastIndex;
}

Integer TcxCustomDataControllerInfo::RowOfPosition(Integer APosition, bool AMakeVisible) {
  const Integer G = GroupOfPosition(APosition);
  if (G < 0) return -1;
  bool Visible = FDataGroups->Items(G)->Expanded;
  for (Integer A = ParentOf(G); Visible && A != -1; A = ParentOf(A)) Visible = FDataGroups->Items(A)->Expanded;
  if (!Visible) {
    if (!AMakeVisible) return -1;
    FDataGroups->MakeVisible(G, true);
    Expanded();
  }
  const TcxDataGroupInfo* Group = FDataGroups->Items(G);
  return Group->RowIndex + APosition - Group->FirstIndex + 1;
}

Integer TcxCustomDataControllerInfo::GetRowIndexByRecordIndex(Integer ARecordIndex, bool AMakeVisible) {
  const Integer P = GetRecordListPosition(ARecordIndex);
  if (P < 0) return -1;
  FFocusedPositionHint = P;
  return IsGrouped() ? RowOfPosition(P, AMakeVisible) : P;
}

Integer TcxCustomDataControllerInfo::GetNearestRowIndex(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  const Integer Count = GetRowCount();
  if (!IsGrouped()) return ARowIndex + 1 < Count ? ARowIndex + 1 : ARowIndex - 1;
  const Integer Level = RowInfoOf(ARowIndex).Level;
  if (ARowIndex + 1 < Count && RowInfoOf(ARowIndex + 1).Level == Level) return ARowIndex + 1;
  if (ARowIndex > 0 && RowInfoOf(ARowIndex - 1).Level == Level) return ARowIndex - 1;
  if (ARowIndex + 1 >= Count) return ARowIndex > 0 ? ARowIndex - 1 : ARowIndex;
  return ARowIndex + 1;
}

Integer TcxCustomDataControllerInfo::GroupIndexOfRow(Integer ARowIndex) const {
  CheckRowIndex(ARowIndex);
  if (!IsGrouped()) return -1;
  bool Exp;
  Integer Level, Position;
  FDataGroups->RowInfo(ARowIndex, Exp, Level, Position);
  return Level < LevelCount() ? FDataGroups->GroupOfRow(ARowIndex) : GroupOfPosition(Position);
}

void TcxCustomDataControllerInfo::GetRecordsOfGroup(Integer AGroupIndex, std::vector<Integer>& AList) const {
  if (AGroupIndex < 0 || AGroupIndex >= FDataGroups->Count()) return;
  Integer First, Last;
  GroupPositions(AGroupIndex, First, Last);
  for (Integer P = First; P <= Last; ++P) AList.push_back(FRecordList[size_t(P)]);
}

void TcxCustomDataControllerInfo::ChangeExpanding(Integer ARowIndex, bool AExpanded, bool ARecursive) {
  CheckRowIndex(ARowIndex);
  const TcxRowInfo Info = RowInfoOf(ARowIndex);
  if (Info.GroupIndex < 0) return;
  bool Changed = false;
  const Integer Level = FDataGroups->Items(Info.GroupIndex)->Level;
  for (Integer G = Info.GroupIndex; G < FDataGroups->Count(); ++G) {
    TcxDataGroupInfo* Group = FDataGroups->Items(G);
    if (G > Info.GroupIndex && (Group->Level <= Level || !ARecursive)) break;
    if (Group->Expanded != AExpanded) {
      Group->Expanded = AExpanded;
      Changed = true;
    }
  }
  if (!Changed) return;
  FDataGroups->Renumber();
  Expanded();
  RemapSelection();
  CheckUpdate();
}

void TcxCustomDataControllerInfo::SetAllExpanded(bool AExpanded) {
  if (FDataGroups->Count() == 0) return;
  FDataGroups->SetAllExpanded(AExpanded);
  Expanded();
  RemapSelection();
  CheckUpdate();
}

// ---- Focus ------------------------------------------------------------------------------------

Integer TcxCustomDataControllerInfo::GetFocusedRecordIndex() const {
  const Integer Row = GetFocusedRowIndex();
  if (Row < 0 || Row >= GetRowCount()) return -1;
  return RowInfoOf(Row).RecordIndex;
}

void TcxCustomDataControllerInfo::TakeFocusAsPrevious() {
  FPrevFocusingInfo->Assign(FFocusingInfo);
  FFocusingInfo->SetChanged(false);
}

void TcxCustomDataControllerInfo::ChangeFocusedRow(Integer ARowIndex, bool AForced) {
  ARowIndex = std::clamp(ARowIndex, -1, GetRowCount() - 1);
  if (ARowIndex == FFocusingInfo->RowIndex()) return;
  struct TFocusingGuard {
    bool& Flag;
    bool Old;
    ~TFocusingGuard() { Flag = Old; }
  } Guard{FFocusing, FFocusing};
  FFocusing = true;
  if (!(FChanges & dciFocusedRow)) FPrevFocusingInfo->Assign(FFocusingInfo);
  bool Allowed = AForced;
  if (!AForced) {
    const Integer Record = ARowIndex == -1 ? -1 : RowInfoOf(ARowIndex).RecordIndex;
    // A post while leaving the record only marks the row list for rebuild.
    ++FLockCount;
    try {
      Allowed = FDataController->LeaveRecord(Record);
    } catch (...) {
      --FLockCount;
      throw;
    }
    --FLockCount;
    ARowIndex = std::clamp(ARowIndex, -1, GetRowCount() - 1);
  }
  if (Allowed) {
    FDataController->FocusedRowChanging(ARowIndex);
    FFocusingInfo->SetRowIndex(ARowIndex);
  }
  const Integer Rows = GetRowCount();
  if (FFocusingInfo->RowIndex() >= Rows) FFocusingInfo->SetRowIndex(-1);
  if (FPrevFocusingInfo->RowIndex() >= Rows) FPrevFocusingInfo->SetRowIndex(-1);
  FFocusingInfo->UpdateFromRow(FFocusingInfo->RowIndex());
  if (!FFocusingInfo->SameAs(FPrevFocusingInfo) || FFocusingInfo->RowIndex() != FPrevFocusingInfo->RowIndex()) {
    FChanges |= dciFocusedRow | dciFocusedRecord;
    if (FDataController->IsFocusedRowOnlySelection() &&
        FDataController->Summary()->Options().count(soSelectedRecords))
      FChanges |= dciSummary;
    if (FDataController->NewItemRowFocused() && FFocusingInfo->RowIndex() != -1) {
      FDataController->ResetNewItemRowFocused();
      FFocusingInfo->SetChanged(true);
    }
    if (FDataController->IsFocusedRowOnlySelection()) FDataController->SetFocusedSelected(true);
  }
}

void TcxCustomDataControllerInfo::RestoreFocus() {
  Integer Row = -1;
  const bool Gone = FFocusedRecordGone;
  FFocusedRecordGone = false;
  const Integer Current = FFocusingInfo->RowIndex();
  const Integer Record = FFocusingInfo->RecordIndex();
  const Integer Level = FFocusingInfo->Level();
  if (Gone) {
    // The focused record was deleted: the focus stays on its row.
    Row = std::min(Current, GetRowCount() - 1);
  } else if (Record >= 0) {
    // Where the record was last seen, before a search of the whole list.
    const bool HintHolds = FFocusedPositionHint >= 0 && FFocusedPositionHint < GetRecordListCount() &&
                           FRecordList[size_t(FFocusedPositionHint)] == Record;
    const Integer P = HintHolds ? FFocusedPositionHint : GetRecordListPosition(Record);
    FFocusedPositionHint = P;
    if (P >= 0 && !IsGrouped()) {
      Row = P;
    } else if (P >= 0) {
      Integer G = GroupOfPosition(P);
      while (G != -1 && Level >= 0 && FDataGroups->Items(G)->Level > Level) G = ParentOf(G);
      Integer First = -1, Last = -1;
      if (G != -1) GroupPositions(G, First, Last);
      if (G != -1 && Level >= 0 && Level < LevelCount() && First == P) {
        if (FDataGroups->MakeVisible(G, false)) Expanded();
        Row = FDataGroups->Items(G)->RowIndex;
      } else {
        Row = RowOfPosition(P, true);
      }
    }
  }
  const TcxRowInfo Now = RowInfoOf(Current);
  const bool RowHoldsRecord = Current >= 0 && Current < GetRowCount() && Now.RecordIndex == Record &&
                              (!IsGrouped() || Now.Level == Level);
  if (Gone || (Row != Current && !RowHoldsRecord)) {
    // The row is set anew even when its index stays: its record changed.
    FFocusingInfo->SetRowIndex(-2);
    if (!(FChanges & dciFocusedRow)) {
      FPrevFocusingInfo->Assign(FFocusingInfo);
      FPrevFocusingInfo->SetRowIndex(Current);
      FPrevFocusingInfo->SetRecordIndex(Gone ? -1 : Record);
      FChanges |= dciFocusedRow;
    }
    ChangeFocusedRow(Row, true);
    if (FFocusingInfo->RowIndex() == -2) {
      FFocusingInfo->SetRowIndex(-1);
      FFocusingInfo->UpdateFromRow(-1);
    }
  }
  if ((FChanges & dciFocusedRow) && FPrevFocusingInfo->RowIndex() >= GetRowCount()) FPrevFocusingInfo->SetRowIndex(-1);
  if (FDataController->FilterChangedFlag() && FFocusingInfo->RowIndex() == -1 && !FDataController->NewItemRowFocused()) {
    FDataController->SetFilterChangedFlag(false);
    if (!FDataController->IsLocating()) {
      FFocusingInfo->Clear();
      ChangeFocusedRow(0, false);
    }
  }
}

void TcxCustomDataControllerInfo::FocusFirstRowAfterReorder() {
  if (FDataController->InNotify() || !FDataController->HasOption(dcoFocusFirstRowAfterReorder)) return;
  if (!FDataController->GroupingChangedFlag() && !FDataController->SortingChangedFlag() &&
      !FDataController->LoadedStorageFlag())
    return;
  FDataController->ClearLoadedStorageFlag();
  FFocusingInfo->Clear();
  ChangeFocusedRow(0, false);
  if (FSelection->Count() > 0) FSelection->Clear();
}

void TcxCustomDataControllerInfo::RecordsShifted(Integer ARecordIndex, Integer ADelta) {
  auto Shift = [&](Integer R) {
    if (R < 0) return R;
    if (ADelta < 0 && R == ARecordIndex) return -1;
    if (R > ARecordIndex || (ADelta > 0 && R == ARecordIndex)) return R + ADelta;
    return R;
  };
  const Integer Focused = FFocusingInfo->RecordIndex();
  if (ADelta < 0 && Focused == ARecordIndex && Focused >= 0)
    FFocusedRecordGone = true;
  else
    FFocusingInfo->SetRecordIndex(Shift(Focused));
  FPrevFocusingInfo->SetRecordIndex(Shift(FPrevFocusingInfo->RecordIndex()));
  bool Dropped = false;
  for (Integer I = FSelection->Count() - 1; I >= 0; --I) {
    TcxDataSelectionInfo& E = FSelection->Items(I);
    if (E.Level < 0) continue;
    E.Index = Shift(E.Index);
    if (E.Index < 0) {
      FSelection->DeleteEntry(I);
      Dropped = true;
    }
  }
  if (Dropped) SelectionChanged();
}

// ---- Sorting and grouping ---------------------------------------------------------------------

TcxDataSortOrder TcxCustomDataControllerInfo::SortOrderOf(TcxCustomDataField* AField) const {
  const TcxDataSortOrder Order = FSortingFields->OrderOf(AField);
  return Order != soNone ? Order : FGroupingFields->OrderOf(AField);
}

void TcxCustomDataControllerInfo::ChangeSorting(TcxCustomDataField* AField, TcxDataSortOrder AOrder) {
  FSortingFields->ChangeSorting(AField, AOrder);
  FGroupingFields->SyncOrders(FSortingFields);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ClearSorting(bool AKeepGrouping) {
  if (AKeepGrouping) {
    for (Integer I = FSortingFields->Count() - 1; I >= 0; --I)
      if (GroupIndexOf(FSortingFields->Items(I).Field) < 0) FSortingFields->Delete(I);
  } else {
    FSortingFields->Clear();
  }
  FGroupingFields->SyncOrders(FSortingFields);
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ChangeGrouping(TcxCustomDataField* AField, Integer AGroupIndex) {
  if (AGroupIndex < 0 && GroupIndexOf(AField) >= 0) FSelection->Clear();
  FGroupingFields->MoveField(AField, AGroupIndex);
  FGroupingFields->SyncOrders(FSortingFields);
  CheckUpdate();
}

// ---- Selection --------------------------------------------------------------------------------

void TcxCustomDataControllerInfo::ChangeRowSelection(Integer ARowIndex, bool ASelect) {
  CheckRowIndex(ARowIndex);
  Integer Index = 0;
  const bool Found = FSelection->FindRow(ARowIndex, Index);
  if (Found && !ASelect) {
    FSelection->DeleteAt(Index);
  } else if (!Found && ASelect && FDataController->CanSelectRow(ARowIndex)) {
    const TcxRowInfo Info = RowInfoOf(ARowIndex);
    if (Info.GroupIndex >= 0)
      FSelection->Add(Index, ARowIndex, -1, Info.GroupIndex);
    else
      FSelection->Add(Index, ARowIndex, Info.Level, Info.RecordIndex);
  }
  CheckUpdate();
}

void TcxCustomDataControllerInfo::ClearSelection() {
  if (FSelection->Count() > 0) FSelection->Clear();
  FSelection->ClearAnchor();
  CheckUpdate();
}

bool TcxCustomDataControllerInfo::IsRowSelected(Integer ARowIndex) const {
  Integer Index = 0;
  return FSelection->FindRow(ARowIndex, Index);
}

void TcxCustomDataControllerInfo::SelectionRecordsChanged() {
  FRemapSelection = true;
  SelectionChanged();
  CheckUpdate();
}

void TcxCustomDataControllerInfo::CheckSelection() {
  if (FSelection->Count() == 0) return;
  const Integer Count = FDataController->GetRecordCount();
  if (Count == 0) {
    FSelection->Clear();
    return;
  }
  if (FDataController->InDeleteSelection() && !FDataController->InLoadStorage()) return;
  // A record source that keeps the selection itself keeps its entries.
  if (FDataController->SourceKeepsSelection() && !FDataController->IsInsertThroughSource()) return;
  bool Dropped = false;
  for (Integer I = FSelection->Count() - 1; I >= 0; --I)
    if (FSelection->Items(I).Level >= 0 && FSelection->Items(I).Index >= Count) {
      FSelection->DeleteEntry(I);
      Dropped = true;
    }
  if (Dropped) SelectionChanged();
}

// ---- Groups facade ----------------------------------------------------------------------------

TcxCustomDataControllerInfo* TcxDataControllerGroups::Info() const { return FDataController->DataControllerInfo(); }

Integer TcxDataControllerGroups::GetLevelCount() const { return Info()->LevelCount(); }

Integer TcxDataControllerGroups::GetGroupingItemIndex(Integer ALevel) const {
  if (ALevel < 0 || ALevel >= Info()->LevelCount()) return -1;
  return FDataController->GetItemIndexOfField(Info()->GroupingFields()->Items(ALevel).Field);
}

Integer TcxDataControllerGroups::GetLevel(Integer AGroupIndex) const { return Info()->DataGroups()->LevelOf(AGroupIndex); }

Integer TcxDataControllerGroups::GetChildCount(Integer AGroupIndex) const {
  return Info()->DataGroups()->ChildCount(AGroupIndex);
}

Integer TcxDataControllerGroups::GetChildIndex(Integer AGroupIndex, Integer AIndex) const {
  return Info()->DataGroups()->ChildGroup(AGroupIndex, AIndex);
}

Integer TcxDataControllerGroups::GetChildRecordIndex(Integer AGroupIndex, Integer AIndex) const {
  const Integer P = Info()->DataGroups()->ChildRecordPosition(AGroupIndex, AIndex);
  return P < 0 ? -1 : Info()->GetRecordListItem(P);
}

Integer TcxDataControllerGroups::GetGroupIndexOfRow(Integer ARowIndex) const { return Info()->GroupIndexOfRow(ARowIndex); }

void TcxDataControllerGroups::GetRecordsOfGroup(Integer AGroupIndex, std::vector<Integer>& AList) const {
  Info()->GetRecordsOfGroup(AGroupIndex, AList);
}

void TcxDataControllerGroups::GetRecordsOfRow(Integer ARowIndex, std::vector<Integer>& AList) const {
  const TcxRowInfo R = Info()->GetRowInfo(ARowIndex);
  if (R.GroupIndex >= 0)
    Info()->GetRecordsOfGroup(R.GroupIndex, AList);
  else
    AList.push_back(R.RecordIndex);
}
