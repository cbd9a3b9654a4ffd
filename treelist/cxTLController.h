#pragma once
// The tree list's cell navigator: rows are the shown nodes (by visible
// index), cells the visible columns. The controller's own keys, mouse and
// incremental search are in cxTLController.cpp with the controller declared
// beside the control.
#include "treelist/cxTLControl.h"

class TcxTreeListCellNavigator : public TcxCustomCellNavigator {
  KORVANE_CLASS(TcxTreeListCellNavigator, TcxCustomCellNavigator)
  using TcxCustomCellNavigator::TcxCustomCellNavigator;
  TcxCustomTreeListControl* TreeList() const;

  // Without cell selection, or with Shift or Ctrl, Up and Down move the
  // focused node and Left and Right scroll; otherwise the cell navigation.
  void KeyDown(Word& Key, TShiftState Shift) override;
  // Up (-1) or Down (1) with cell selection in a band of several band rows:
  // first through the focused node's other band rows, then into the next
  // node's nearest band row, keeping the place in the row. False when the
  // band has one band row (the cell navigation of the base applies).
  bool MoveVertically(Integer ADelta);

protected:
  void GetFocusedCell(Integer& ARowIndex, Integer& ACellIndex) override;
  Integer GetCellCount(Integer ARowIndex) override;
  TcxCustomInplaceEditContainer* GetCellItem(Integer ARowIndex, Integer ACellIndex) override;
  Integer RowCount() override;
  void SetFocusedCell(Integer ARowIndex, Integer ACellIndex, TShiftState AShift) override;
  // Down from the last row inserts a node when inserting is allowed; the
  // new node's own row is focused (never a row past the end).
  bool FindFocusableCell(Integer& ARowIndex, Integer& ACellIndex, Integer ADirection, bool AByRow) override;
};
