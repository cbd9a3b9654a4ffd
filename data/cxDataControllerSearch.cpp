#include "data/cxDataControllerSearch.h"

#include "data/cxCustomDataController.h"
#include "data/cxDataUtils.h"

bool TcxDataControllerSearch::Matches(Integer APosition, Integer AItemIndex, const String& AText) const {
  const Integer Record = FDataController->GetFilteredRecordIndex(APosition);
  return SameTextOrPrefix(FDataController->GetSearchDisplayText(Record, AItemIndex), AText, true);
}

void TcxDataControllerSearch::FocusHit(Integer APosition) {
  const bool Old = FLocked;
  FLocked = true;
  try {
    FDataController->FocusRecord(FDataController->GetFilteredRecordIndex(APosition));
    FDataController->SelectFocusedOnly();
  } catch (...) {
    FLocked = Old;
    throw;
  }
  FLocked = Old;
}

bool TcxDataControllerSearch::Locate(Integer AItemIndex, const String& AText) {
  const Integer Count = FDataController->GetFilteredRecordCount();
  if (AText.empty() || Count == 0) return false;
  FDataController->CheckItemRange(AItemIndex);
  FDataController->FSearchField = FDataController->GetItemField(AItemIndex);
  if (FDataController->IsGridMode()) {
    // The dataset binding looks the text up in its source.
    bool Found;
    {
      const bool Old = FLocked;
      FLocked = true;
      try {
        Found = FDataController->GridModeLocateByText(AText, true, false);
      } catch (...) {
        FLocked = Old;
        throw;
      }
      FLocked = Old;
    }
    if (!Found) return false;
  } else {
    const Integer Focused = FDataController->GetFocusedRecordIndex();
    Integer Start = Focused == -1 ? 0 : FDataController->GetFilteredIndexByRecordIndex(Focused);
    if (Start < 0) Start = 0;
    Integer Hit = -1;
    for (Integer I = 0; I < Count && Hit == -1; ++I) {
      const Integer P = (Start + I) % Count;
      if (Matches(P, AItemIndex, AText)) Hit = P;
    }
    if (Hit == -1) return false;
    FocusHit(Hit);
  }
  FDataController->FSearching = true;
  FDataController->FSearchText = AText;
  FDataController->Change(dccSearch);
  FDataController->SyncSelected();
  return true;
}

bool TcxDataControllerSearch::LocateNext(bool AForward) {
  TcxCustomDataController* C = FDataController;
  if (!C->FSearching || C->FSearchText.empty() || !C->FSearchField || C->GetFilteredRecordCount() == 0)
    return false;
  if (C->IsGridMode()) {
    const bool Old = FLocked;
    FLocked = true;
    bool Found;
    try {
      Found = C->GridModeLocateByText(C->FSearchText, AForward, true);
    } catch (...) {
      FLocked = Old;
      throw;
    }
    FLocked = Old;
    if (Found) C->SyncSelected();
    return Found;
  }
  const Integer Focused = C->GetFocusedRecordIndex();
  const Integer B = Focused == -1 ? -1 : C->GetFilteredIndexByRecordIndex(Focused);
  if (B < 0) return false;
  const Integer Item = C->GetItemIndexOfField(C->FSearchField);
  const Integer Count = C->GetFilteredRecordCount();
  // Forward scans to the last record, backward down to the first; neither
  // direction wraps around.
  for (Integer P = AForward ? B + 1 : B - 1; AForward ? P < Count : P >= 0; P += AForward ? 1 : -1)
    if (Matches(P, Item, C->FSearchText)) {
      FocusHit(P);
      C->SyncSelected();
      return true;
    }
  return false;
}

void TcxDataControllerSearch::Cancel() {
  if (FLocked || !FDataController->FSearching) return;
  FDataController->FSearchText.clear();
  FDataController->FSearching = false;
  FDataController->Change(dccSearch);
}

Integer TcxDataControllerSearch::GetItemIndex() const {
  return FDataController->GetItemIndexOfField(FDataController->FSearchField);
}
bool TcxDataControllerSearch::GetSearching() const { return FDataController->FSearching; }
String TcxDataControllerSearch::GetSearchText() const { return FDataController->FSearchText; }
