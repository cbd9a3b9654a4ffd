#pragma once
// Incremental search: while the user types, the view asks its controller to
// find and focus the next record whose text in one item begins with what
// was typed. The state (item, text, searching) lives in the controller.
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TcxCustomDataController;

class TcxDataControllerSearch : public TObject {
  KORVANE_CLASS(TcxDataControllerSearch, TObject)

  explicit TcxDataControllerSearch(TcxCustomDataController* ADataController) : FDataController(ADataController) {}

  // Finds the first record from the focused one on (wrapping once to the
  // top) whose text begins with AText, case-insensitively, and focuses it.
  bool Locate(Integer AItemIndex, const String& AText);
  // The next (or previous) match after the focused record; no wrap-around.
  bool LocateNext(bool AForward);
  void Cancel();
  Integer GetItemIndex() const;
  bool GetSearching() const;
  String GetSearchText() const;
  bool Locked() const { return FLocked; }

private:
  bool Matches(Integer APosition, Integer AItemIndex, const String& AText) const;
  void FocusHit(Integer APosition);

  TcxCustomDataController* FDataController;
  bool FLocked = false;
};
