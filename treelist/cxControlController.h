#pragma once
// The control controller turns the keyboard and mouse input of an editing
// control into focus moves, editor openings and incremental search. It
// owns the editing controller, the hit test, the hot-track controller and a
// cell navigator; a descendant control substitutes its own classes through
// the Create* slots.
//
// The start of an input-method composition on the control opens the
// focused cell's editor, which then receives the composed text, so text of
// any script is typed straight into a cell.
#include <memory>

#include "platform/gui/messages.h"
#include "platform/rtl/types.h"
#include "treelist/cxEditingController.h"
#include "treelist/cxHitTest.h"

class TcxCustomCellNavigator;
class IcxDragSizing;

class TcxCustomControlController : public TObject {
  KORVANE_CLASS(TcxCustomControlController, TObject)
  explicit TcxCustomControlController(TcxEditingControl* AControl);
  ~TcxCustomControlController() override;
  // Makes the companion objects; called once by the control after
  // construction, so that a descendant's slots are in force.
  void CreateSubobjects();

  TcxEditingControl* EditingControl() const { return FControl; }
  TcxEditingController* EditingController() const { return FEditingController.get(); }
  TcxCustomHitTestController* HitTestController() const { return FHitTestController.get(); }
  TcxHotTrackController* HotTrackController() const { return FHotTrackController.get(); }
  TcxCustomCellNavigator* Navigator() const { return FNavigator.get(); }
  TcxCustomInplaceEditContainer* FocusedItem() const { return FFocusedItem; }
  bool IsEditing() const { return FEditingController->IsEditing(); }
  bool IsControlFocused() const { return FControlFocused; }
  bool IsEditorRefreshPending() const { return FEditorRefreshPending; }
  void ClearEditorRefreshPending() { FEditorRefreshPending = false; }
  bool KeyFromEditor() const { return FKeyFromEditor; }

  // ---- Mouse ----
  virtual void BeforeMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void HandleMouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void HandleMouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual void HandleMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseLeave();
  virtual void DblClick() {}

  // ---- Keyboard ----
  virtual void KeyDown(Word& Key, TShiftState Shift);
  // AFromEditor: the editing controller passes a key on from the editor.
  void KeyDownFromEditor(Word& Key, TShiftState Shift);
  virtual void KeyPress(Char& Key);
  virtual void KeyUp(Word&, TShiftState) {}
  virtual bool IsNavigationKey(Word Key, TShiftState Shift) const;
  virtual void BeforeEditKeyDown(Word&, TShiftState) {}
  // Answers true when the message was handled.
  virtual bool HandleMessage(TMessage& Message);

  // ---- Focus ----
  // Ends the editor, focuses the record and the item, opens the editor
  // again when it should stay shown.
  virtual void FocusRecordAndItem(Integer ARecordIndex, TcxCustomInplaceEditContainer* AItem);
  virtual bool ChangeFocusedRecord(Integer ARecordIndex);
  virtual void ChangeFocusedItem(TcxCustomInplaceEditContainer* AItem);
  virtual void FocusedItemChanged(TcxCustomInplaceEditContainer* APrevItem);
  virtual void FocusedRecordChanged();
  // The data controller tells that ARecordIndex was updated (nothing here).
  virtual void RecordUpdated(Integer) {}
  virtual bool CanFocusRecord(Integer) { return true; }
  virtual Integer GetFocusedRecordIndex() const;
  // The control or its open editor holds the focus.
  virtual void FocusChanged();
  virtual void FocusStateChanged();
  virtual void ControlExit();
  virtual void FocusControlFromEditor();
  virtual bool EditorHasFocus() const;
  void SetControlFocused(bool AValue) { FControlFocused = AValue; }

  // ---- Editor ----
  virtual void RefreshEditor();
  virtual void EditingItemChanged(TcxCustomInplaceEditContainer* AItem);
  // Every item's cell in the focused row takes its value and look anew;
  // when one changed its height the layout is computed again.
  virtual void RefreshFocusedCells();
  // A drag moves over the control: an open editor ends, its value kept.
  virtual void DragOver();
  // A drag from the control ended at (X, Y): the editor opens again on the
  // focused item when one was open at the press, or always shows.
  virtual void EndDrag(Integer X, Integer Y);
  virtual bool PostOnEndEdit() const { return false; }
  virtual bool CancelOnExitApplies() const;
  virtual bool OpensEditorOnMouseDown() const;
  virtual bool GetAlwaysShowEditor() const;
  virtual bool GetGoToNextCellOnEnter() const;
  virtual bool GetGoToNextCellOnTab() const;
  virtual bool GetFocusCellOnCycle() const;
  virtual TcxEditCellViewInfo* GetEditingCellViewInfo();
  // The cell of AItem in the focused row (nullptr when it shows none).
  virtual TcxEditCellViewInfo* GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* AItem) = 0;
  virtual void MakeFocusedCellVisible() = 0;
  virtual bool MakeFocusedRecordVisible() = 0;
  // The view infos are brought up to date (a descendant computes lazily).
  virtual void UpdateViewInfo() {}
  virtual void BeforePaint();
  virtual void AfterPaint();
  virtual void ResetMouseState();
  virtual void RecalcHitTest();
  virtual void HideHint();

  // ---- Scrolling ----
  // The content scrolls to APosition of a bar (nothing in the base).
  virtual void ScrollContent(TScrollBarKind, TScrollCode, Integer&) {}

  // ---- Sizing ----
  // The element a sizing drag resizes (nullptr: none) and its direction.
  virtual IcxDragSizing* GetSizingElement() { return nullptr; }
  virtual TcxSizingDirection GetResizeDirection() { return cxsdHorizontal; }

  // ---- Incremental search ----
  TcxCustomInplaceEditContainer* GetIncSearchingItem() const;
  TcxCustomInplaceEditContainer* SearchItem() const;
  bool IsIncSearching() const { return FIncSearchItem != nullptr; }
  const String& IncSearchText() const { return FIncSearchText; }
  void IncSearch(const String& AText);
  virtual void CancelIncSearch();
  virtual bool ProcessIncSearchKey(Word Key, TShiftState Shift);

protected:
  virtual std::unique_ptr<TcxEditingController> CreateEditingController();
  virtual std::unique_ptr<TcxCustomHitTestController> CreateHitTestController();
  virtual std::unique_ptr<TcxHotTrackController> CreateHotTrackController();
  // None in the base: the navigator needs the row model of a descendant.
  virtual std::unique_ptr<TcxCustomCellNavigator> CreateCellNavigator();
  virtual void ScrollPage(bool, TShiftState) {}

private:
  void RefreshFocusedCell(TcxCustomInplaceEditContainer* AItem);

  TcxEditingControl* FControl;
  // Owned, freed in reverse order of creation.
  std::unique_ptr<TcxEditingController> FEditingController;
  std::unique_ptr<TcxCustomHitTestController> FHitTestController;
  std::unique_ptr<TcxHotTrackController> FHotTrackController;
  std::unique_ptr<TcxCustomCellNavigator> FNavigator;
  TcxCustomInplaceEditContainer* FFocusedItem = nullptr;
  TcxCustomInplaceEditContainer* FIncSearchItem = nullptr;
  String FIncSearchText;
  bool FAllowEditorRefresh = true;
  bool FEditorRefreshPending = false;
  bool FControlFocused = false;
  bool FDblClick = false;
  bool FClickedFocusedCell = false;
  bool FSameCell = false;
  bool FEditingAtMouseDown = false;
  bool FKeyFromEditor = false;
  bool FEatKeyPress = false;

  friend class TcxEditingController;
};

// Walks the cells of the control by keys. A descendant supplies the row
// model (rows, cells of a row, the focused cell).
class TcxCustomCellNavigator : public TObject {
  KORVANE_CLASS(TcxCustomCellNavigator, TObject)
  explicit TcxCustomCellNavigator(TcxCustomControlController* AController) : FController(AController) {}
  TcxCustomControlController* Controller() const { return FController; }

  bool EnterMovesByRow = false;
  bool TabMovesByRow = false;
  bool EatKeyPress = false;

  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(Char& Key);
  // Opens the editor of the focused item with a typed character.
  virtual void OpenEditorByChar(Char AKey);
  virtual void SelectNextCell(bool AForward, bool AByRow, TShiftState AShift);
  virtual void Refresh() {}

protected:
  // The row and cell of the focused cell.
  virtual void GetFocusedCell(Integer& ARowIndex, Integer& ACellIndex) = 0;
  virtual Integer GetCellCount(Integer ARowIndex) = 0;
  virtual TcxCustomInplaceEditContainer* GetCellItem(Integer ARowIndex, Integer ACellIndex) = 0;
  virtual Integer RowCount() = 0;
  virtual void SetFocusedCell(Integer ARowIndex, Integer ACellIndex, TShiftState AShift) = 0;
  virtual bool AllowsEmptyRow() const { return false; }
  // From ACellIndex in ARowIndex, stepping by ADirection, the next cell
  // that can be focused and is a tab stop; false when there is none.
  virtual bool FindFocusableCell(Integer& ARowIndex, Integer& ACellIndex, Integer ADirection, bool AByRow);

private:
  TcxCustomControlController* FController;
};
