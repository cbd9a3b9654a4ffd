#pragma once
// The lookup edit core (unit cxLookupEdit): an editor that stores a key and
// shows the text of the list row that carries that key. The list lives in
// the drop-down, over a data controller; this core does not know where the
// rows come from (cxDBLookupEdit.h binds it to a dataset, and
// cxDBLookupComboBox.h gives it its list control).
//
// Three parts work together:
// - the properties know the list: which column's text is shown
//   (GetListFieldIndex), how a key becomes a text (GetDisplayTextByKey) and
//   a text a row (Locate), the null key, and the hooks that size, position
//   and connect the list control;
// - the lookup data is what the editor's typing talks to: the current key,
//   completion of typed text from the list (FindCompletion), filtering the
//   open list while typing, keyboard movement in the list (MoveInList);
// - the editor turns its text into the stored key (DisplayValueToEditValue)
//   and the stored key into its text (UpdateDisplayValue).
//
// Texts match case-insensitively; completion is by prefix. In the list
// styles (lsEditFixedList, lsFixedList) a text that names no row is not
// taken: the editor keeps its value and shows its text again. A key that no
// row carries shows an empty text, and leaving the editor with that empty
// text keeps the key: the stored value is replaced only by a row the user
// chose or a text the user typed, never by whatever row the list happens to
// have focused.
#include <memory>

#include "data/cxCustomDataController.h"
#include "editors/cxDropDownEdit.h"

class TcxCustomLookupEdit;
class TcxCustomLookupEditLookupData;
class TcxLookAndFeel;

// The close-up event of a list: accept tells whether a row was taken.
using TcxLookupListCloseUpEvent = TEvent<void(TObject* Sender, bool AAccept)>;

// ---------------------------------------------------------------------------
// TcxCustomLookupEditProperties

class TcxCustomLookupEditProperties : public TcxCustomComboBoxProperties {
  KORVANE_CLASS(TcxCustomLookupEditProperties, TcxCustomComboBoxProperties)
  // Incremental filtering on, list style lsEditFixedList, popup size from
  // the list's rows.
  explicit TcxCustomLookupEditProperties(TPersistent* AOwner);
  ~TcxCustomLookupEditProperties() override;
  // Copies the combo box settings, the list field index (unless the target
  // is defined by a lookup field) and IncrementalFiltering, in one change.
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  bool IncrementalFiltering() const { return FIncrementalFiltering; }
  void SetIncrementalFiltering(bool Value) { SetValue(FIncrementalFiltering, Value); }
  // 0: the list's preferred size (its columns' widths, DropDownRows rows).
  Integer DropDownHeight() const { return PopupHeight(); }
  void SetDropDownHeight(Integer Value) { SetPopupHeight(Value); }
  Integer DropDownWidth() const { return PopupWidth(); }
  void SetDropDownWidth(Integer Value) { SetPopupWidth(Value); }
  bool DropDownSizeable() const { return PopupSizeable(); }
  void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
  // The stored index; the list shows GetListFieldIndex.
  Integer ListFieldIndex() { return GetStoredListFieldIndex(); }

  // ---- The list (a descendant supplies it) ----
  virtual TWinControl* GetListControl() { return nullptr; }
  virtual TcxCustomDataController* GetListDataController() { return nullptr; }
  virtual Integer GetListColumnCount() { return 0; }
  virtual Integer GetListPreferredWidth() { return 0; }
  virtual bool SnapsPopupHeightToRows() const { return true; }
  virtual Integer SnapHeightToRows(Integer AHeight) { return AHeight; }
  virtual Integer GetListHeightForRows(Integer) { return 0; }
  // P in the list's client coordinates.
  virtual bool IsPointOverListRow(const TPoint&) { return false; }
  virtual void ListPopupOpening() {}
  virtual void ListPopupClosed() {}
  // Connects (or, with empty events, disconnects) the list's click and
  // close-up events.
  virtual void SetListEvents(TNotifyEvent, TcxLookupListCloseUpEvent) {}
  virtual void SetListAppearance(TcxLookAndFeel*, TColor, TFont*) {}
  virtual void LockListMouseMove() {}
  // Also releases the mouse capture.
  virtual void UnlockListMouse() {}
  virtual void MakeFocusedRowVisible() {}
  // The control that takes the focus inside the list.
  virtual TWinControl* GetListFocusControl() { return GetListControl(); }

  // ---- Keys and texts ----
  // The record whose text in list column AListIndex equals AText (ignoring
  // case), or starts with it when APartial; an empty text matches only an
  // empty record text. -1: none.
  virtual Integer Locate(Integer AListIndex, const String& AText, bool APartial);
  // The text of the row with the key; empty when no row has it.
  virtual String GetDisplayTextByKey(const Variant&) { return String(); }
  virtual bool IsIncrementalFilteringActive() const { return FIncrementalFiltering; }
  virtual Integer GetStoredListFieldIndex() { return FListFieldIndex; }
  // The stored index when there is such a column, else the last column
  // (-1 with no columns).
  Integer GetListFieldIndex();
  // Clamped to the columns (at least 0); a different index is stored and
  // reported as a change.
  virtual void SetListFieldIndex(Integer Value);
  // The key stored for a text that matches no row.
  virtual Variant GetNullKey() { return Null(); }
  // The list column shows the key itself: the text is the value.
  virtual bool IsKeyFieldListField() { return false; }
  virtual bool IsBoundToLookupField() { return false; }
  bool IsDefinedByLookupField() { return IsBoundToLookupField(); }
  // Whether a text names a row (the fixed-list test).
  bool IsTextInList(const String& AText);

  // ---- Locks ----
  // While locked, changes of the list's data are not passed on (the
  // lookup's own work on the list causes them).
  bool IsLocked() const { return FLockCount > 0; }
  void Lock() { ++FLockCount; }
  void Unlock() { --FLockCount; }
  bool IsListChangeHandlingLocked();
  // The list's change handling is locked between the two.
  virtual void BeginListLocate();
  virtual void EndListLocate();

  // ---- List data listener ----
  void AddListDataListener();
  void RemoveListDataListener();
  // A change of the list's data: the properties report themselves changed
  // (every editor shows its text again) unless locked.
  void ListDataChanged(TObject* Sender);

  // ---- Keys that move in the list ----
  // Page Up, Page Down, Up and Down without Alt; Home and End with Ctrl.
  bool IsListNavigationKey(Word Key, TShiftState Shift) const;

  // ---- Editor properties ----
  // Text when the list column is the key, else the value.
  Integer GetValueKind(bool AIsEditing) const override;
  TcxEditEditorFeatures GetEditorFeatures() const override;
  bool AcceptsEditValue(Variant&, bool) const override { return true; }
  // Keys are compared as keys (element by element for several fields),
  // never by their texts: two keys with the same text differ.
  bool AreEditValuesEqual(const Variant& A, const Variant& B) const override;
  // The text a cell shows for a key (never moves the list's data).
  String GetDisplayTextOfValue(const Variant& AValue) const override;
  // The display text of a key.
  void NormalizeEditValue(const Variant& AValue, Variant& ANormalized, bool AIsEditing) const override;
  // In the list styles a non-empty text must name a row; it takes the
  // row's own text.
  bool IsDisplayValueAcceptable(String& AText) const override;
  // The value is a key: a text that names no row is handled by the lookup
  // editor's own validation (the value stays and its text comes back).
  bool RefusesTextOutsideItems() const override { return false; }
  TAlignment GetDefaultHorzAlignment() const override { return taLeftJustify; }

private:
  Integer FListFieldIndex = 0;
  Integer FLockCount = 0;
  bool FNotifying = false;
  bool FIncrementalFiltering = true;
};

// Holds the properties' lock for a scope.
class TcxLookupPropertiesLock {
public:
  explicit TcxLookupPropertiesLock(TcxCustomLookupEditProperties* AProperties) : FProperties(AProperties) {
    FProperties->Lock();
  }
  ~TcxLookupPropertiesLock() { FProperties->Unlock(); }
  TcxLookupPropertiesLock(const TcxLookupPropertiesLock&) = delete;
  TcxLookupPropertiesLock& operator=(const TcxLookupPropertiesLock&) = delete;

private:
  TcxCustomLookupEditProperties* FProperties;
};

// Takes the list's locate bracket for a scope.
class TcxListLocateScope {
public:
  explicit TcxListLocateScope(TcxCustomLookupEditProperties* AProperties) : FProperties(AProperties) {
    FProperties->BeginListLocate();
  }
  ~TcxListLocateScope() { FProperties->EndListLocate(); }
  TcxListLocateScope(const TcxListLocateScope&) = delete;
  TcxListLocateScope& operator=(const TcxListLocateScope&) = delete;

private:
  TcxCustomLookupEditProperties* FProperties;
};

// ---------------------------------------------------------------------------
// TcxCustomLookupEditLookupData: the current key and the list as typing
// sees it.

class TcxCustomLookupEditLookupData : public TObject {
  KORVANE_CLASS(TcxCustomLookupEditLookupData, TObject)
  explicit TcxCustomLookupEditLookupData(TcxCustomLookupEdit* AOwner) : FOwner(AOwner) {}
  ~TcxCustomLookupEditLookupData() override;

  TcxCustomLookupEdit* Owner() const { return FOwner; }
  // The owner's active properties.
  TcxCustomLookupEditProperties* Properties() const;
  TcxCustomDataController* ListDataController() const { return Properties()->GetListDataController(); }

  const Variant& CurrentKey() const { return FCurrentKey; }
  // Stores the key without touching the list.
  void SetCurrentKey(const Variant& AKey) { FCurrentKey = AKey; }
  // Stores the key and positions the list on its row.
  void AssignCurrentKey(const Variant& AKey);
  String GetDisplayText(const Variant& AKey) { return Properties()->GetDisplayTextByKey(AKey); }
  // True while the drop-down is open.
  bool Visible() const { return FVisible; }
  // No list column, no list data controller, or no rows.
  bool IsEmpty();
  // The list's width and the height of DropDownRows rows (fewer when the
  // list has fewer, at least one).
  TSize GetPreferredSize();
  // Snaps a height of the list to whole rows.
  Integer AdjustHeight(Integer AHeight);
  // P in screen coordinates.
  bool IsMouseOverListRow(const TPoint& P);

  // ---- What typing asks ----
  // Completes AText from the first row whose text starts with it: AText
  // takes the row's letter case, ATail the rest of its text. With the list
  // open and incremental filtering, the list shows only the rows that
  // start with AText. False (and the text unchanged) when no row starts
  // with it.
  bool FindCompletion(String& AText, String& ATail);
  // Moves the list's focus (first, last, next, previous, page back, page
  // forward); the focused row's key becomes the current key.
  void MoveInList(TcxLookupStep ADirection, bool AWrap = false);
  // The editor's text changed: the row whose text it is becomes current.
  void TextChanged();
  // The row with exactly this text (ignoring case) becomes current.
  bool LocateText(const String& AText);
  // The focused row, when it is the one selected row, gives the key.
  void SelectFocusedRow();
  // Whether a row was chosen: the focused row is marked selected.
  bool HasChosenRow();

  // ---- Drop-down ----
  void Open();
  void Close();
  // The open popup follows the list's row count.
  void FitPopupToRows();

  TNotifyEvent OnItemSelected;

  virtual void SetCurrentKeyByRecord(Integer ARecordIndex);
  // The list focuses the row of the current key (no row when none has it).
  virtual void SyncListToKey();
  void ResetListFilter();

private:
  void ListClick(TObject* Sender);
  void ListCloseUp(TObject* Sender, bool AAccept);
  void MarkFocusedRow(bool ASelected);
  String FocusedRowText();

  TcxCustomLookupEdit* FOwner;
  Variant FCurrentKey = Null();
  bool FVisible = false;
};

// ---------------------------------------------------------------------------
// TcxCustomLookupEdit

class TcxCustomLookupEdit : public TcxCustomComboBox {
public:
  KORVANE_CLASS(TcxCustomLookupEdit, TcxCustomComboBox)
  explicit TcxCustomLookupEdit(TComponent* AOwner) : TcxCustomLookupEdit(AOwner, false) {}
  // Width 145.
  TcxCustomLookupEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomLookupEdit() override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() {
    return TcxCustomLookupEditProperties::StaticClass();
  }
  TcxCustomLookupEditProperties* ActiveLookupProperties();
  // Made on first use.
  TcxCustomLookupEditLookupData* LookupData();

  // The stored key for a text: the current key when the text is its text
  // (also the empty text of a key that is in no row), else the key of the
  // first row with that text, else the null key.
  Variant DisplayValueToEditValue(const Variant& ADisplayValue);

  bool CanDropDown() const override;
  TSize PopupContentSize() override;
  void PopupClientRectChanged(const TRect& AClientRect) override;
  bool AdjustPopupClientSize(TSize& AClientSize, Integer AAvailableHeight) override;
  // With accept, the chosen row's key becomes the text's key.
  void ClosePopup(bool AAccept) override;
  void HandleInnerEditChange() override;
  // The text of the edit value's row; the current key follows the value.
  void UpdateDisplayValue() override;
  void PropertiesChanged(TObject* Sender) override;
  // Forgets a popup height that the user did not set by sizing and lays
  // the open popup out again.
  void ResetPopupHeight();

protected:
  virtual std::unique_ptr<TcxCustomLookupEditLookupData> CreateLookupData();
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  void InternalSetDisplayValue(const Variant& Value) override;
  void EnterPostState() override;
  void LeavePostState() override;
  void DoPopup() override;
  void DoCloseUp() override;
  void EditKeyDown(Word& Key, TShiftState Shift) override;
  void SetupPopupWindow() override;

private:
  std::unique_ptr<TcxCustomLookupEditLookupData> FLookupData;
};

class TcxLookupEditModel : public TcxMaskEditModel {
public:
  TcxLookupEditModel(TcxCustomMaskEditProperties* AProperties, TcxCustomLookupEdit* AEdit)
      : TcxMaskEditModel(AProperties), FEdit(AEdit) {}
  // Typed characters complete from the list; Backspace takes back the
  // completed tail with one character.
  void KeyPress(Char& Key) override;
  // The list navigation keys move in the list (the text follows).
  void KeyDown(Word& Key, TShiftState Shift) override;
  // Text set by code and a caret placed by the user end a completion.
  void SetText(const String& AText) override {
    FCompleted = false;
    TcxMaskEditModel::SetText(AText);
  }
  void SelectionMovedByUser(Integer AStart, Integer ALength) override {
    FCompleted = false;
    TcxMaskEditModel::SelectionMovedByUser(AStart, ALength);
  }
  // Selects the completed tail again (after the popup moved the caret).
  void RestoreCompletion();

private:
  bool TypeChar(Char AChar);
  bool BackspaceCompletion();
  void ShowCompletion(const String& ATyped, const String& ATail);

  TcxCustomLookupEdit* FEdit;
  bool FCompleted = false;
  // The typed part of a completed text (the tail follows it).
  Integer FTypedLength = 0;
};
