#pragma once
// The editor model (unit cxEdit): property sets, editor styles, view data
// and view info (in further files of the unit), the edit repository
// (editors/cxEditRepository.h), and here the editor control TcxCustomEdit,
// the base of every editor, with its data binding and the in-place editor
// cache.
//
// An editor keeps an edit value (a variant), tracks whether the user
// modified it, validates the display value and posts the edit value to its
// data binding. Its settings come from its own property set or, when a
// repository item is set, from the item's (ActiveProperties).
//
// Stand-alone, the editor posts on leaving and on Enter (ValidateOnEnter);
// Esc reverts to the value it had when it got the focus. In place, one
// hidden editor serves every cell of a column: the container takes it from
// its TcxInplaceEditList, activates it by a key or a click, and stores the
// value when the editor posts (OnPostEditValue). A store that fails keeps
// the editor open with the user's text, shows the error and PostEditValue
// answers false.
//
// Validation failures take the error road (RaiseEditError): the editor
// takes the focus back, selects its text, beeps when asked to and raises
// the error text; the user's text and the modified state survive, so the
// user can correct it or press Esc. No step runs a nested message loop.
//
// Construction: the own property set and the data binding are made on
// first use from the classes the editor's class names (a descendant's
// classes are known only after construction); CreateInplaceEditor builds an
// editor with the in-place flag set before its constructor runs.
//
// Changes of the value are told through the property sets' OnChange and
// OnEditValueChanged (the own set first, then the repository item's);
// LockChangeEvents collects them and fires each at most once at the end.
#include <memory>
#include <utility>
#include <vector>

#include "editors/cxEditProperties.h"
#include "editors/cxEditRepository.h"
#include "editors/cxEditStyles.h"
#include "editors/cxEditViewInfo.h"
#include "foundation/cxClasses.h"
#include "foundation/cxContainer.h"
#include "platform/gui/timers.h"
#include "platform/rtl/resstr.h"
#include "platform/rtl/variant.h"

class TcxCustomEdit;
class TcxEditDataBinding;
class TcxCustomEditData;
class TCustomForm;

using TcxCustomEditDefaultValuesProviderClass = TcxInterfacedPersistentClass;

inline constexpr TResourceString cxSEditRepositoryItemNotAcceptable{65075, u"The repository item is not acceptable"};

// The editors' mouse-wheel cursor in Screen->Cursors (a wheel between an up
// and a down arrow).
inline constexpr TCursor crcxEditMouseWheel = 4101;
// Registers crcxEditMouseWheel (once; TcxCustomEdit's constructor calls it).
void cxEditRegisterCursors();

// The class reference of editors: builds stand-alone editors (Create(AOwner))
// and in-place ones, and names the property set class of the kind.
class TcxCustomEditMetaClass : public TComponentMetaClass {
public:
  template <class Self>
  TcxCustomEditMetaClass(std::type_identity<Self> ASelf, const char16_t* AClassName, TClass AClassParent)
      : TComponentMetaClass(ASelf, AClassName, AClassParent), FGetPropertiesClass(&Self::GetPropertiesClass) {
    if constexpr (!std::is_abstract_v<Self> && std::is_constructible_v<Self, TComponent*, bool>)
      FCreateInplace = [](TComponent* AOwner, bool AIsInplace) -> TcxCustomEdit* {
        return new Self(AOwner, AIsInplace);
      };
  }
  // A new editor without owner whose in-place flag is set before its
  // constructor runs. Raises EInvalidOperation for an abstract class.
  TcxCustomEdit* CreateInplace() const;
  TcxCustomEditPropertiesClass GetPropertiesClass() const { return FGetPropertiesClass(); }

private:
  TcxCustomEditPropertiesClass (*FGetPropertiesClass)();
  TcxCustomEdit* (*FCreateInplace)(TComponent*, bool) = nullptr;
};

// See TcxCustomEditMetaClass::CreateInplace (AProperties is only checked to
// be of the editor's kind; the caller assigns it).
TcxCustomEdit* CreateInplaceEditor(TcxCustomEditClass AEditorClass, TcxCustomEditProperties* AProperties);

using TcxEditEditingEvent = TEvent<void(TObject* Sender, bool& CanEdit)>;

// ---------------------------------------------------------------------------
// TcxEditChangeEventsCatcher: collects the change notices while locked.

class TcxEditChangeEventsCatcher : public TObject {
  KORVANE_CLASS(TcxEditChangeEventsCatcher, TObject)
  explicit TcxEditChangeEventsCatcher(TcxCustomEdit* AEdit) : FEdit(AEdit) {}
  // ALock: the first lock forgets old pending notices. Unlock: the last one
  // fires what is pending when AFire (OnChange first), unless the editor is
  // loading or being destroyed.
  void Lock(bool ALock, bool AFire = true);
  bool IsLocked() const { return FLockCount > 0; }
  // While locked: remembers the notice and answers true.
  bool CatchChange();
  bool CatchEditValueChanged();

private:
  TcxCustomEdit* FEdit;
  Integer FLockCount = 0;
  bool FOnChangePending = false;
  bool FOnEditValueChangedPending = false;
};

// ---------------------------------------------------------------------------
// TcxEditDataBinding: the binding of a stand-alone editor bound to no data.
// A descendant binds the editor to a data source (GetDataBindingClass).

class TcxEditDataBinding : public TPersistent {
public:
  using MetaClass = TConstructorMetaClass<TcxEditDataBinding, TcxCustomEdit*>;
  KORVANE_CLASS(TcxEditDataBinding, TPersistent)
  explicit TcxEditDataBinding(TcxCustomEdit* AEdit);
  ~TcxEditDataBinding() override;

  TcxCustomEdit* Edit() const { return FEdit; }
  // Made on first use from GetDefaultValuesProviderClass.
  IcxEditDefaultValuesProvider* DefaultValuesProvider() const;

  // The editor's modified flag.
  virtual bool IsEditing() const;
  virtual bool CanModify() const { return true; }
  // Asked before the first change of a value; false refuses the change.
  virtual bool ExecuteEditRequest() { return true; }
  virtual bool IsDataAware() const { return false; }
  virtual Variant GetDisplayValue() const;
  // The value the binding holds (the editor's edit value here).
  virtual Variant GetStoredValue() const;
  virtual void Reset();
  virtual void SetDisplayValue(const Variant& Value);
  // Stores the editor's edit value; may raise.
  virtual void StoreValue() {}
  virtual void UpdateDisplayValue();
  // Tells the editor its active property set again.
  virtual void RefreshProperties();
  // Takes the stored value into the editor (a bound editor on entering).
  virtual void Refresh() {}
  virtual TcxCustomEditDefaultValuesProviderClass GetDefaultValuesProviderClass() const;

private:
  TcxCustomEdit* FEdit;
  mutable std::unique_ptr<TcxCustomEditDefaultValuesProvider> FDefaultValuesProvider;
};
using TcxEditDataBindingClass = const TcxEditDataBinding::MetaClass*;

// Inside a catch block: shows why a value was refused in a message box,
// whatever the application's error hook does with errors (EAbort is silent).
void cxShowEditError();

// ---------------------------------------------------------------------------
// TcxCustomEditData: what an in-place editor keeps per cell (see
// GetEditDataClass). The caller owns it; it forgets a freed editor.

class TcxCustomEditData : public TObject {
public:
  using MetaClass = TConstructorMetaClass<TcxCustomEditData, TcxCustomEdit*>;
  KORVANE_CLASS(TcxCustomEditData, TObject)
  explicit TcxCustomEditData(TcxCustomEdit* AEdit);
  ~TcxCustomEditData() override;
  TcxCustomEdit* Edit() const { return FEdit; }
  bool Cleared() const { return FCleared; }

private:
  friend class TcxCustomEdit;
  void EditRemoved(TObject* Sender, TComponent* AComponent);
  TcxCustomEdit* FEdit;
  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
  bool FCleared = true;
};
using TcxCustomEditDataClass = const TcxCustomEditData::MetaClass*;

// ---------------------------------------------------------------------------
// TcxEditRepositoryItemListenerEditHelper: the editor as a listener of its
// repository item.

class TcxEditRepositoryItemListenerEditHelper : public TObject, public IcxEditRepositoryItemListener {
  KORVANE_CLASS(TcxEditRepositoryItemListenerEditHelper, TObject)
  explicit TcxEditRepositoryItemListenerEditHelper(TcxCustomEdit* AEdit) : FEdit(AEdit) {}
  // The editor goes back to its own property set, hooked as when the item
  // is set to nothing.
  void ItemRemoved(TcxEditRepositoryItem* Sender) override;
  // The editor applies the item's properties (not while loading or
  // destroying).
  void PropertiesChanged(TcxEditRepositoryItem* Sender) override;

private:
  TcxCustomEdit* FEdit;
};

// ---------------------------------------------------------------------------
// TcxCustomEdit

// What an editor asks of the room a host gives it (GetSizeRequest): whether
// its text keeps to one line, and the width it lays that text out in.
struct TcxEditSizeRequest {
  bool SingleLine = true;
  Integer Width = 0;
};

class TcxCustomEdit : public TcxContainer,
                     public IcxCustomEdit,
                     public IcxEditViewDataEditor,
                     public IcxEditStyleOwner {
public:
  using MetaClass = TcxCustomEditMetaClass;
  KORVANE_CLASS(TcxCustomEdit, TcxContainer)
  explicit TcxCustomEdit(TComponent* AOwner) : TcxCustomEdit(AOwner, false) {}
  TcxCustomEdit(TComponent* AOwner, bool AIsInplace);
  ~TcxCustomEdit() override;
  void BeforeDestruction() override;

  // ---- Class level ----
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxCustomEditProperties::StaticClass(); }
  // GetPropertiesClass of this object's own class.
  TcxCustomEditPropertiesClass PropertiesClass() const;

  // ---- Settings ----
  // The own property set.
  TcxCustomEditProperties* Properties();
  void SetProperties(TcxCustomEditProperties* Value) { Properties()->Assign(Value); }
  // The repository item's property set when an item is set, else the own.
  TcxCustomEditProperties* ActiveProperties();
  TcxCustomEditProperties* GetActiveProperties() { return ActiveProperties(); }
  TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
  // Raises Exception "The repository item is not acceptable" for an item of
  // another kind (the old item stays).
  void SetRepositoryItem(TcxEditRepositoryItem* Value);
  TcxEditDataBinding* DataBinding();
  bool AutoSize() const { return FAutoSize; }
  // Ignored in place.
  void SetAutoSize(bool Value);
  // The own property set and the binding exist (made on first use, once the
  // editor's class is whole): code that runs during construction asks this
  // before touching the properties.
  bool PropertiesCreated() const { return FCreated; }
  bool IsInplace() const { return FIsInplace; }
  bool IsInplaceEditor() const { return FIsInplace; }
  bool IsDataAware();
  TcxCustomEditStyle* Style() const { return static_cast<TcxCustomEditStyle*>(TcxContainer::Style()); }

  // ---- Value ----
  const Variant& EditValue() const { return FEditValue; }
  // Ignored while DoEditing runs; with the editing-required flag DoEditing
  // must allow it.
  void SetEditValue(const Variant& Value);
  bool ModifiedAfterEnter() const { return FModifiedAfterEnter; }
  bool IsModified() const { return FModified; }
  bool IsValidated() const { return FValidated; }
  bool IsPosting() const { return FPosting; }
  void SetModified(bool Value);
  void SetModifiedAfterEnter(bool Value);
  void PushModifiedState();
  void PopModifiedState();
  // True when the value passes (or needs no validation). On failure with
  // ARaiseOnError the error road runs and the error is raised.
  bool ValidateEdit(bool ARaiseOnError);
  // False when validation failed without raising, or when an in-place
  // store failed (the error is shown; the editor keeps the user's text and
  // modified state). A stand-alone store that fails runs the error road and
  // raises the store's error.
  bool PostEditValue(bool AValidateFirst = true);
  bool DoEditing();
  void LockChangeEvents(bool ALock, bool AFireOnUnlock = true);
  bool IsChangeEventsLocked() const { return FChangeEventsCatcher->IsLocked(); }
  bool IsModifiedForPost();
  // The user changed the text (the inner edit's change notice, typing):
  // when focused, marks the editor modified and tells the change.
  virtual void HandleInnerEditChange();

  // ---- In place ----
  // Fired when an in-place editor posts; the container stores the value
  // (and raises when it cannot).
  TNotifyEvent OnPostEditValue;
  // The edit data of the current or last activation; not owned (its owner
  // tells the editor when it goes, see ForgetEditData).
  TcxCustomEditData* EditData() const { return FEditData; }
  // AData goes: the editor no longer refers to it.
  void ForgetEditData(const TcxCustomEditData* AData);
  virtual void ActivateInplace(TcxCustomEditData*& AEditData);
  virtual void ActivateByKey(Char AKey, TcxCustomEditData*& AEditData);
  // X, Y: container client coordinates.
  virtual void ActivateByMouse(TShiftState Shift, Integer X, Integer Y, TcxCustomEditData*& AEditData);
  void FlushEditData(TcxCustomEditData* AEditData);
  bool AcceptsMouseActivation(TShiftState Shift);
  // A visible in-place editor stands for its container in the tab order:
  // the container leaves AList, so Tab reaches the open editor and Shift+Tab
  // from it goes past the container.
  void ExcludeInplaceFromTabOrder(std::vector<TWinControl*>& AList) const;
  void AdjustTabOrderList(std::vector<TWinControl*>& AList) const override {
    TcxContainer::AdjustTabOrderList(AList);
    ExcludeInplaceFromTabOrder(AList);
  }

  // A key the editor's own handling left over and that is not one it
  // handles itself (IsEditorKey) is told here last, so that its container
  // may act on it (a tree list moves its focus with the arrows). A handler
  // that takes the key sets it to 0.
  TKeyEvent OnAfterKeyDown;
  // Whether the editor handles Key itself: its container leaves such a key
  // alone. The base editor handles none beyond those its key handling
  // takes.
  virtual bool IsEditorKey(Word Key, TShiftState Shift);

  // ---- Events ----
  TcxEditEditingEvent OnEditing;
  TNotifyEvent OnFocusChanged;

  // ---- Queries ----
  Integer GetButtonAt(const TPoint& P);
  TcxCustomEditViewInfo* GetViewInfo() const { return FEditViewInfo.get(); }
  TcxCustomContainerStyle* GetCurrentStyle() { return GetActiveStyle(); }
  bool HasValidateHandler() override;
  void RunValidateHandlers(Variant& ADisplayValue, TCaption& AErrorText, bool& AError) override;
  String GetCurrentDisplayText() override { return String(); }
  // One line, as wide as the editor.
  virtual TcxEditSizeRequest GetSizeRequest() { return {true, Width()}; }
  bool IsFocusedEditor() override { return Focused(); }
  Integer CapturedButtonIndex() override { return FCapturedButtonIndex; }
  bool HasMouseCapture() override;
  TRect VisibleBounds() override;
  void RefreshViewStateAtCursor();

  // ---- Style owner ----
  // The style values this kind does not use (not written with its style):
  // the base editor has no buttons and no popup, so ButtonStyle,
  // ButtonTransparency and PopupBorderStyle.
  TcxEditStyleValues GetIgnoredStyleValues() override;
  // Every editor's normal style falls back to the global default edit
  // style controller when it has no StyleController of its own.
  bool UsesDefaultEditStyleController() override { return true; }

  // ---- Virtual operations ----
  virtual void ApplyEditValue(const Variant& Value);
  virtual bool CanModifyValue();
  virtual bool CanUseRepositoryItem(TcxEditRepositoryItem* AItem) const;
  virtual void ClearEditValue() { SetEditValue(Null()); }
  virtual void ClickDefaultButton();
  virtual void DoButtonClick(Integer AButtonIndex);
  virtual void ButtonDown(Integer) {}
  virtual void ButtonUp(Integer) {}
  virtual void FireChange();
  virtual void FireEditValueChanged();
  virtual TcxEditDataBindingClass GetDataBindingClass() const;
  virtual TcxCustomEditDataClass GetEditDataClass() const { return nullptr; }
  virtual bool HasOpenPopup() const { return false; }
  virtual bool IsClickKey(Word Key, TShiftState Shift);
  virtual bool IsCharAccepted(Char AChar);
  virtual bool IsValueChangingKey(Word, TShiftState) { return false; }
  virtual bool IsValueChangingChar(Char) { return false; }
  virtual bool AllowsTextEditing() const { return true; }
  virtual bool ForwardsActivationChar(Char) { return true; }
  virtual bool KeepsNavigationKeys() const { return false; }
  virtual bool RefreshesBindingOnEnter() const { return true; }
  virtual void PropertiesChanged(TObject* Sender);
  virtual void RepositoryItemChanged() {}
  virtual void BeforeRepositoryItemChange() {}
  virtual void Reset();
  virtual void SelectAllText() {}
  virtual void CopyToClipboard() {}
  virtual void CutToClipboard() {}
  virtual void PasteFromClipboard() {}
  virtual void SetDisplayValue(const Variant&) {}
  virtual void UpdateDisplayValue() {}
  virtual void UpdateDrawValue() {}
  virtual void SynchronizeValues() {}
  virtual bool ValidateAndMark();
  virtual void StoreEditData(TcxCustomEditData*) {}
  virtual Variant GetEditValue() const { return FEditValue; }
  // Copies the live state into a view data: enabled, focused, the editor,
  // its window and its inner edit (text editors add the shown text).
  virtual void PrepareViewData(TcxCustomEditViewData* AViewData);
  // A fresh view data of the active property set for the current style.
  std::unique_ptr<TcxCustomEditViewData> CreateViewData();
  // Paints, on ACanvas, a view info that a fresh view data computes for the
  // editor's client rectangle (the text drawn by the view, not the inner
  // edit).
  void PaintThroughViewData(TcxCanvas* ACanvas);
  // The editor is data aware and is asked to paint a copy of itself
  // (csPaintCopy): a fresh view data draws its value (no inner edit shows it).
  virtual bool PaintsOwnViewData();
  // Whether the editor has something to size itself to (AutoSize).
  virtual bool HasContentToShow() { return true; }
  // Automatic width: AutoSize, buttons only with automatic width, stand-alone.
  virtual bool HasAutoWidth();
  // With AutoSize the editor takes the size a fresh view data computes for
  // its value (the height; the width only with HasAutoWidth), as its Align
  // allows; then the inner edit is placed in the client area.
  void AdjustInnerEditBounds();

protected:
  // ---- Steps descendants override ----
  virtual void InternalSetDisplayValue(const Variant&) {}
  virtual void InternalSetEditValue(const Variant& Value, bool AValidateFirst);
  virtual void SetDisplayValuePreservingModified(const Variant& Value);
  virtual void EditKeyDown(Word& Key, TShiftState Shift);
  virtual void HandleKeyPressed(Char& Key) { FilterKeyPress(Key); }
  virtual void BeforeTabFocusMove() {}
  virtual bool CanProcessKey(Word Key, TShiftState Shift);
  virtual void FilterKeyPress(Char& Key);
  // Fires the error text (empty: focus, select and beep only).
  virtual void RaiseEditError(const String& AText);
  virtual void EnterPostState() { FPosting = true; }
  virtual void LeavePostState() { FPosting = false; }
  virtual void FireButtonTransitions(TcxCustomEditViewInfo* AOld);
  // The end of the editor's handling of a key down: a key left over that
  // is not an editor key goes to OnAfterKeyDown.
  void DoAfterKeyDown(Word& Key, TShiftState Shift);
  // The change notice of typing and of a changed value.
  void DoChangeNotice();
  void DoEditValueChangedNotice();
  void PostOnExit(bool ARunPlatformExit);
  void RefreshViewState(const TPoint& P, TShiftState Shift, TcxMouseButton AButton, bool AKeepOld);

  // ---- Platform handlers ----
  TcxContainerStyleClass StyleClass() const override { return TcxEditStyle::StaticClass(); }
  TcxContainerStyleClass StateStyleClass() const override { return TcxEditStyleEx::StaticClass(); }
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DoEnter() override;
  void DoExit() override;
  void HandleFocusChange() override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  // The own property set and the binding exist once the window does.
  void CreateWnd() override;
  void Click() override;
  void DblClick() override;
  void Paint() override;
  void HandleStateChange(const TPoint& P, Integer AButton, bool ARefresh, TShiftState AShift) override;
  bool HandleInnerMessage(TMessage& Message) override;
  // A visible, enabled button whose caption has the character as its
  // accelerator is clicked, and the message is taken.
  void CMDialogChar(TMessage& Message) override;

private:
  friend class TcxEditRepositoryItemListenerEditHelper;
  friend class TcxEditChangeEventsCatcher;
  friend class TcxCustomEditData;
  void EnsureCreated();
  void HookOwnProperties();
  void UnhookOwnProperties();
  // The item went away: back to the own property set.
  void RepositoryItemRemoved();
  void DoFireChange();
  void DoFireEditValueChanged();
  void DblClickTimerFired(TObject* Sender);
  TCustomForm* ParentFormOf() const;
  bool IsClosingModalForm() const;
  void CMCloseQuery(TMessage& Message);
  // Inside a catch block: the caught error in a message box (EAbort is silent).
  void ShowStoreError();
  // Cut and paste change the value: only when the editor may be modified,
  // each asking DoEditing first; a refused cut copies.
  void WMCutOrPaste(TMessage& Message);

  // Owned, in destruction order (the last declared goes first).
  std::unique_ptr<TcxEditChangeEventsCatcher> FChangeEventsCatcher;
  std::unique_ptr<TcxCustomEditProperties> FProperties;
  std::unique_ptr<TcxEditDataBinding> FDataBinding;
  std::unique_ptr<TcxEditRepositoryItemListenerEditHelper> FListenerHelper;
  std::unique_ptr<TTimer> FDblClickTimer;
  std::unique_ptr<TcxCustomEditViewInfo> FEditViewInfo;

  const bool FIsInplace;
  bool FAutoSize;
  bool FCreated = false;
  Integer FCapturedButtonIndex = -1;
  Integer FValueSettingCount = 0;
  Integer FEditingCheckCount = 0;
  TcxCustomEditData* FEditData = nullptr;
  bool FFocused = false;
  bool FValidated = false;
  bool FEscHandled = false;
  bool FPosting = false;
  bool FEditingRequired = false;
  bool FRefocusing = false;
  bool FAdjustingBounds = false;
  bool FModifiedAfterEnter = false;
  bool FModified = false;
  Variant FValueAtFocusIn;
  // {modified after enter, modified}
  std::vector<std::pair<bool, bool>> FModifiedStack;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  Variant FEditValue = Null();
};

// ---------------------------------------------------------------------------
// TcxInplaceEditList: one hidden editor per property set.

class TcxInplaceEditList : public TObject {
  KORVANE_CLASS(TcxInplaceEditList, TObject)
  TcxInplaceEditList() = default;
  // Frees every editor, the last one first.
  ~TcxInplaceEditList() override;

  struct TItem {
    TcxCustomEdit* Edit;  // owned: freed by the list
    TcxCustomEditProperties* Properties;
  };
  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  const TItem& Items(Integer Index) const;
  // The editor of AProperties (made and hidden on first request); each
  // request assigns AProperties into it without change notices.
  TcxCustomEdit* GetEdit(TcxCustomEditProperties* AProperties);
  // Frees the editor of AProperties; nothing when there is none.
  void RemoveEdit(TcxCustomEditProperties* AProperties);
  // AData goes: no editor of the list refers to it any more.
  void ForgetEditData(const TcxCustomEditData* AData);
  void Clear();

protected:
  // An in-place editor of AProperties' editor class.
  virtual TcxCustomEdit* CreateEdit(TcxCustomEditProperties* AProperties);

private:
  std::vector<std::unique_ptr<TItem>> FItems;
};
