#pragma once
// The editing controller opens, places, feeds, closes and stores the one
// in-place editor of an editing control. Editors come from a cache with one
// hidden editor per property set, so moving from cell to cell reuses them.
//
// What an item's editors keep between activations (a popup's size and the
// like, the edit data) is owned here, per item, and outlives every cached
// editor that may refer to it; an item that leaves the control takes its
// data along, and the editors forget it first.
//
// Closing with accept validates and stores; an invalid value or a failed
// store leaves the editor open with the user's text and the error shown, so
// an edit is never lost silently. Only a focus move inside the program ends
// editing: switching to another application keeps the editor as it is.
//
// The hot-track controller follows the element under the mouse and shows
// its hint (cells whose text does not fit, for instance).
#include <map>
#include <memory>

#include "editors/cxEdit.h"
#include "platform/gui/hints.h"
#include "platform/gui/timers.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

class TcxEditingControl;
class TcxCustomControlController;
class TcxCustomInplaceEditContainer;
class TcxEditCellViewInfo;
class TcxCanvas;

class TcxEditingController : public TObject {
  KORVANE_CLASS(TcxEditingController, TObject)
  explicit TcxEditingController(TcxCustomControlController* AController);
  // Cached editors lose their parent before the cache frees them; the
  // edit data goes after them.
  ~TcxEditingController() override;

  TcxCustomControlController* Controller() const { return FController; }
  TcxEditingControl* EditingControl() const;
  TcxInplaceEditList* EditList() const { return FEditList.get(); }
  // The open editor (borrowed from the cache), nullptr when none.
  TcxCustomEdit* Edit() const { return FEdit; }
  TcxCustomInplaceEditContainer* EditingItem() const { return FEditingItem; }
  bool IsEditing() const { return FEditingItem != nullptr; }
  bool IsHiding() const { return FHiding; }
  bool HasDelayTimer() const { return FDelayTimer != nullptr; }

  // The properties of the edited cell (nullptr when nothing is edited).
  TcxCustomEditProperties* GetCellEditProperties();
  // Makes AItem the edited item (nullptr: ends editing without storing).
  void SwitchEditedItem(TcxCustomInplaceEditContainer* AItem);
  // AItem nullptr: the focused item.
  void ActivateCellEditor(TcxCustomInplaceEditContainer* AItem);
  void ActivateCellEditorByKey(TcxCustomInplaceEditContainer* AItem, Char AKey);
  void ActivateCellEditorByMouse(TcxCustomInplaceEditContainer* AItem, TShiftState AShift, const TPoint& P);
  // Opens AItem's editor once the double-click time has passed.
  void CellEditDelayTimer(TcxCustomInplaceEditContainer* AItem);
  void FreeDelayTimer();
  // Ends editing. With accept the value is validated and stored first; when
  // either fails the editor stays open (answer false) and the error has
  // been shown or is raised.
  virtual bool EndCellEdit(bool AAccept);
  void PlaceEditor();
  void PlaceCellEditor();
  void MarkEditorUpdateNeeded() { FUpdateNeeded = true; }
  // The editor was placed on its cell since it opened.
  bool EditorPlaced() const { return FPlaced; }
  // While editing, when the editor was not placed yet or its cell shows:
  // no placement is due any more and the editor goes far off the left.
  void MoveEditorOffScreen();
  void ResetEditorPlaced() { FPlaced = false; }
  void UpdateEditorIfNeeded();
  void LoadEditorValue();
  // Writes a changed editor value into the record; false when the store
  // failed (the editor keeps the user's text, the error was shown).
  bool StoreEditorValue();
  // The edit data kept for AItem (nullptr before its first activation).
  TcxCustomEditData* ItemEditData(const TcxCustomInplaceEditContainer* AItem) const;
  // Frees AItem's edit data (an item leaving the control, a change of its
  // editor kind); the cached editors forget it first.
  void FreeEditData(const TcxCustomInplaceEditContainer* AItem);
  // A property set goes away: its editor ends and leaves the cache.
  virtual void PropertiesRemoved(TcxCustomEditProperties* AProperties);
  virtual bool IsEditorUnfocused() const;
  virtual bool CanEndEditOnExit() const;
  virtual bool MustCloseEditorOnRecordChange() const;

protected:
  virtual bool BeginCellEdit(TcxCustomInplaceEditContainer* AItem, bool AByMouse);
  virtual void HookCellEditor();
  virtual void DetachCellEditor();
  // A key the editor left over (not one it handles itself): a navigation
  // key of the control controller goes to its KeyDown, as pressed on the
  // control (Up and Down move the focused row).
  virtual void EditAfterKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditorKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditorKeyPress(TObject* Sender, Char& Key);
  virtual void EditorKeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  virtual void EditorEnter(TObject* Sender);
  virtual void EditorExit(TObject* Sender);
  virtual void EditorPostValue(TObject* Sender);
  virtual void EditDblClick(TObject* Sender);
  // The editor's focus moved: nothing to do here (descendants may).
  virtual void EditFocusChanged(TObject*) {}
  virtual void EditChange(TObject* Sender);
  virtual void EditValueChanged(TObject* Sender);

private:
  // Keeps the edit data an activation made for AItem (freed at once when
  // the item went during the activation).
  void KeepEditData(TcxCustomInplaceEditContainer* AItem, TcxCustomEditData* AData);
  void DropEditData(std::unique_ptr<TcxCustomEditData> AData);
  void DelayTimerTick(TObject* Sender);
  void UnhookCellEditor();
  // The cell's font and colours become the editor's.
  void ApplyCellStyle(TcxEditCellViewInfo* ACell);
  TcxEditCellViewInfo* EditingCell() const;

  TcxCustomControlController* FController;
  // Owned. The edit data is declared before the cache, so the editors that
  // refer to it are freed first.
  std::map<const TcxCustomInplaceEditContainer*, std::unique_ptr<TcxCustomEditData>> FEditData;
  std::unique_ptr<TcxInplaceEditList> FEditList;
  std::unique_ptr<TTimer> FDelayTimer;
  TcxCustomEdit* FEdit = nullptr;
  TcxCustomInplaceEditContainer* FEditingItem = nullptr;
  TcxCustomInplaceEditContainer* FDelayItem = nullptr;
  TNotifyEvent FPrevOnChange;
  TNotifyEvent FPrevOnEditValueChanged;
  bool FSwitching = false;
  bool FPreparing = false;
  bool FHiding = false;
  bool FPlaced = false;
  bool FUpdateNeeded = false;
};

// ---- Cell hints ---------------------------------------------------------------------------

// An element under the mouse that may show a hint.
class IcxHintHotTrackItem {
public:
  virtual ~IcxHintHotTrackItem() = default;
  // Where the hint goes, in client coordinates.
  virtual TPoint GetHintPoint() const = 0;
  // True when a hint is wanted at P, with its text; AIsHintBelowCursor moves
  // the hint down from the hint point past the rows the mouse cursor draws
  // below its hot spot (an element that wants its hint under the cursor
  // answers the mouse point it was asked at as its hint point). The
  // element measures on ACanvas, whose font the hint then shows in.
  virtual bool NeedShowHint(TcxCanvas* ACanvas, const TPoint& P, String& AText, bool& AIsHintBelowCursor,
                            TRect& ATextRect) = 0;
  // The mouse is at P (a point outside every element when it left).
  virtual void UpdateHotTrackState(const TPoint&) {}
};

// Milliseconds before a hint shows and before it hides again.
inline constexpr Cardinal cxHintShowPause = 1000;
inline constexpr Cardinal cxHintHidePause = 5000;

class TcxHotTrackController : public TObject {
  KORVANE_CLASS(TcxHotTrackController, TObject)
  explicit TcxHotTrackController(TcxEditingControl* AControl);
  ~TcxHotTrackController() override;

  // The hit test found AElement (nullptr: none) at P.
  void HotTrack(TObject* AElement, const TPoint& P);
  void SetHintsEnabled(bool AValue) { FHintsEnabled = AValue; }
  void ShowHint();
  void HideHint();
  // AElement goes away: it is forgotten and the hint hides.
  void ElementRemoved(TObject* AElement);
  void Reset();
  bool HintVisible() const { return FHintVisible; }
  const String& HintText() const { return FHintText; }
  // Screen rectangle of the hint.
  TRect HintRect() const { return FHintRect; }
  const TTimer* HintTimer() const { return FTimer.get(); }
  // The window that shows the hint (nullptr before the first hint).
  THintWindow* HintWindow() const { return FHintWindow.get(); }

  // The screen point of a hint whose element names AHintPoint (client
  // coordinates): moved down past the current cursor's drawn rows when the
  // element asks for the hint below the cursor, and one pixel left and up
  // for a cell, whose hint text then stands on the cell's text.
  TPoint HintPosition(const TPoint& AHintPoint, bool ABelowCursor, bool AIsEditCell) const;

protected:
  virtual bool NeedHint(TObject* AElement);
  virtual void BeforeShowHint() {}
  virtual void BeforeHideHint() {}

private:
  // Hints show while the program is active over a control of the active
  // form, of a frame of child windows, or of the frame's active child.
  bool FormShowsHints() const;
  void TimerShow(TObject*) { ShowHint(); }
  void TimerHide(TObject*) { HideHint(); }

  TcxEditingControl* FControl;
  std::unique_ptr<TTimer> FTimer;
  std::unique_ptr<THintWindow> FHintWindow;
  TObject* FPrevElement = nullptr;
  TPoint FPrevPoint{-1, -1};
  TObject* FHintElement = nullptr;
  String FHintText;
  TRect FHintRect{};
  bool FHintVisible = false;
  bool FHintsEnabled = false;
};
