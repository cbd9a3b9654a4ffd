#pragma once
// Popup windows of the container controls, the thread hooks that close them,
// and the list box a container hosts as its inner control.
//
// TcxCustomPopupWindow is the drop-down window of an owner control. Popup
// shows it below (or beside) the owner and adds it to the process-wide list
// of shown popups; a popup that takes the focus runs a nested message loop
// inside Popup until it closes, so Popup returns only after that. A popup
// closes by ClosePopup (asking CloseQuery when wanted), by a non-zero
// ModalResult, by the posted CXM_CLOSEPOPUP (which gives the focus back to
// the owner), by Esc, when it is deactivated, or through the thread hooks:
//   - window-procedure hook: the owner's window is destroyed, closed,
//     hidden or moved out of sight, or the program loses the activation;
//     the owner's form keeps its active caption while a popup is open;
//   - message-queue hook: Alt keys are dropped while a popup without its
//     own loop is shown (navigation keys and F4 pass);
//   - mouse hook: a click in the owner's form outside the popup closes it
//     (a click on the owner's area marks the popup ClosedByOwnerClick).
// CXM_SHOWPOPUP (WParam: the window of the control to focus, 0 for none)
// opens a popup by message; a control freed before the message arrives is
// not focused (PostShowPopup posts it).
//
// TcxCustomInnerListBox is the library's own list box: strings drawn with
// the library canvas, single, multiple or extended selection, keyboard and
// wheel navigation, owner-drawn and virtual styles, the LB_ messages. Inside
// a container it forwards its input to the container and shows two
// library scroll bars (children of the container, laid over the list's
// right and bottom strips) in place of window scroll bars.
#include <memory>
#include <vector>

#include "foundation/cxContainer.h"
#include "foundation/cxControlsPopup.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxScrollBar.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/rtl/stringlist.h"

class TcxCustomPopupWindow;

// ---------------------------------------------------------------------------
// Popup windows

class TcxCustomPopupWindow : public TcxPopupWindow {
  KORVANE_CLASS(TcxCustomPopupWindow, TcxPopupWindow)
  // Hidden, normal form style, takes the focus, runs its own loop, previews
  // keys. AOwnerControl is the control the popup belongs to (its owner too).
  explicit TcxCustomPopupWindow(TWinControl* AOwnerControl);
  ~TcxCustomPopupWindow() override;
  void BeforeDestruction() override;

  // ---- Structure ----
  TWinControl* OwnerControl() const { return FOwnerControl; }
  TcxCustomContainerStyle* Style() const { return FStyle.get(); }
  void SetStyle(TcxCustomContainerStyle* Value) { FStyle->Assign(Value); }
  TcxContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }
  // The control focused when the popup opened (nullptr: none).
  TWinControl* FocusedControl() const { return FFocusedControl; }

  // ---- Settings ----
  bool TakesFocus() const { return FTakesFocus; }
  // Stores the flag, re-creates the window and, when shown, closes and
  // reopens the popup for the same focus control.
  void ChangeTakesFocus(bool Value);
  bool OwnLoop() const { return FOwnLoop; }
  void SetOwnLoop(bool Value) { FOwnLoop = Value; }
  bool OwnerTopmost() const { return FOwnerTopmost; }
  void ChangeOwnerTopmost(bool Value);

  // ---- State ----
  bool IsShown() const;
  // Set while the popup closes on a private message or a hook.
  bool ClosingByMessage() const { return FClosingByMessage; }
  // Set when a click on the owner's area closed the popup (the owner reads
  // and clears it).
  bool ClosedByOwnerClick() const { return FClosedByOwnerClick; }
  void SetClosedByOwnerClick(bool Value) { FClosedByOwnerClick = Value; }

  // ---- Operations ----
  // Shows the popup (nothing when it is shown already); a focus-taking
  // popup with OwnLoop returns only after it has closed.
  virtual void Popup(TWinControl* AFocusedControl);
  // Closes a shown popup; with AAsk, CloseQuery may refuse (ModalResult is
  // reset to 0 then).
  virtual void ClosePopup(bool AAsk);
  void ClosePopup() override { ClosePopup(false); }
  bool CanFocus() const override { return Visible(); }
  bool Focused() const override;

  // ---- Virtual operations ----
  virtual bool LimitToWorkArea() { return false; }
  // With LimitToWorkArea: moves ABounds (screen) inside the work area and
  // shrinks it to fit; a popup at the work area's top whose height shrank
  // moves down by the difference.
  virtual void AdjustToWorkArea(TRect& ABounds);
  virtual void NotifyClosed();   // OnAfterClose
  virtual void NotifyClosing();  // OnBeforeClose
  virtual void NotifyShown();    // OnAfterShow
  virtual bool ErasesBackground() { return false; }
  virtual void StyleChanged(TObject*) {}
  // Page Up, Page Down, End, Home, the arrows and F4.
  virtual bool LetsSystemKeyPass(Word AKey);
  virtual TcxContainerStyleClass StyleClass() const { return TcxContainerStyle::StaticClass(); }
  virtual TcxContainerViewInfoClass ViewInfoClass() const { return TcxContainerViewInfo::StaticClass(); }

  // ---- Events (Sender: the popup) ----
  TNotifyEvent OnBeforeShow;
  TNotifyEvent OnAfterShow;
  TNotifyEvent OnBeforeClose;
  TNotifyEvent OnAfterClose;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void Deactivate() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void Paint() override;
  void VisibleChanged() override;
  void WMActivateApp(TMessage& Message) override;

private:
  friend struct TcxPopupHooks;
  void RunOwnLoop();
  void FocusOnShow(TWinControl* AFocusedControl);
  void PlaceOnTop();
  void ReturnFocusToOwner();
  bool OwnerFormIsTopmost() const;
  void Reopen(TWinControl* AFocusedControl);
  void CloseByMessage();

  TWinControl* FOwnerControl;
  std::unique_ptr<TcxCustomContainerStyle> FStyle;
  std::unique_ptr<TcxContainerViewInfo> FViewInfo;
  TWinControl* FFocusedControl = nullptr;
  bool FTakesFocus = true;
  bool FOwnLoop = true;
  bool FOwnerTopmost = false;
  bool FClosingByMessage = false;
  bool FClosedByOwnerClick = false;
  bool FBeingDestroyed = false;
  HWND FNewActiveWindow = 0;
};

// Whether the popup is in the list of shown popups.
bool IsPopupShown(const TcxCustomPopupWindow* AWindow);
// The shown popups in the order they opened.
Integer ShownPopupCount();
TcxCustomPopupWindow* ShownPopup(Integer AIndex);
// Posts CXM_CLOSEPOPUP to the popup.
void PostClosePopup(TcxCustomPopupWindow* AWindow);
// Posts CXM_SHOWPOPUP to the popup for AFocusedControl (may be nullptr).
void PostShowPopup(TcxCustomPopupWindow* AWindow, TWinControl* AFocusedControl);
// Installs the three thread hooks (once; the popup constructor calls it)
// and removes them.
void cxContainerPopupInitialize();
void cxContainerPopupFinalize();
bool cxContainerPopupHooksInstalled();

// ---------------------------------------------------------------------------
// The inner list box

enum TListBoxStyle : Integer { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

using TOwnerDrawState = Cardinal;
enum : Cardinal { odSelected = 0x1, odGrayed = 0x2, odDisabled = 0x4, odChecked = 0x8, odFocused = 0x10,
                  odDefault = 0x20, odComboBoxEdit = 0x1000 };

class TcxCustomInnerListBox;
using TDrawItemEvent = TEvent<void(TWinControl* Control, Integer Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, Integer Index, Integer& Height)>;
// Virtual styles: the text (and object) of an item, and the search of one.
using TLBGetDataEvent = TEvent<void(TWinControl* Control, Integer Index, String& Data)>;
using TLBGetDataObjectEvent = TEvent<void(TWinControl* Control, Integer Index, TObject*& DataObject)>;
using TLBFindDataEvent = TEvent<Integer(TWinControl* Control, const String& FindString)>;

// The list box LB_ messages answer this on failure.
inline constexpr LRESULT LB_ERR = -1;
// LBN_ notification of a selection change (WM_COMMAND code to the parent).
inline constexpr Word LBN_SELCHANGE = 1;
inline constexpr Word LBN_DBLCLK = 2;

class TcxCustomInnerListBox : public TCustomControl, public IcxContainerInnerControl {
  KORVANE_CLASS(TcxCustomInnerListBox, TCustomControl)
  // No border, double clicks, own colour, parent font, hidden scroll bars.
  explicit TcxCustomInnerListBox(TComponent* AOwner);
  ~TcxCustomInnerListBox() override;
  void BeforeDestruction() override;

  // ---- Container ----
  TcxContainer* Container() const { return FContainer; }
  void SetContainer(TcxContainer* Value) { FContainer = Value; }
  TWinControl* GetControl() override { return this; }
  TcxContainer* GetControlContainer() override { return FContainer; }
  TcxCanvas* cxCanvas() const { return FcxCanvas.get(); }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  TcxScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxScrollBar* VScrollBar() const { return FVScrollBar; }

  // ---- Items ----
  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  // The number of items (Count for virtual styles).
  Integer ItemCount() const;
  // Virtual styles: the number of items the events answer for.
  void SetCount(Integer Value);
  // The text of an item (OnData for virtual styles).
  String ItemText(Integer Index) const;
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);

  // ---- Look ----
  TListBoxStyle ListStyle() const { return FListStyle; }
  void SetListStyle(TListBoxStyle Value);
  // 0: the font's height.
  Integer ItemHeight() const;
  void SetItemHeight(Integer Value);
  // The height of one item (OnMeasureItem for owner-draw variable).
  Integer ItemHeightOf(Integer Index) const;
  Integer Columns() const { return FColumns; }
  void SetColumns(Integer Value) { FColumns = Value < 0 ? 0 : Value; }
  Integer TabWidth() const { return FTabWidth; }
  void SetTabWidth(Integer Value) { FTabWidth = Value < 0 ? 0 : Value; Invalidate(); }
  // The scrollable width (horizontal extent); 0: no horizontal scrolling.
  Integer ScrollWidth() const { return FScrollWidth; }
  void SetScrollWidth(Integer Value);
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }

  // ---- Selection ----
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value) { FExtendedSelect = Value; }
  // The focused item when multi-selecting, else the selected one (-1: none).
  Integer ItemIndex() const;
  void SetItemIndex(Integer Value);
  bool Selected(Integer Index) const;
  void SetSelected(Integer Index, bool Value);
  Integer SelCount() const;
  void ClearSelection();
  void SelectAll();

  // ---- Scrolling and geometry (client coordinates) ----
  Integer TopIndex() const { return FTopIndex; }
  void SetTopIndex(Integer Value);
  Integer HorzOffset() const { return FHorzOffset; }
  void SetHorzOffset(Integer Value);
  // The area items are drawn in (the client rect less the scroll-bar strips).
  TRect ItemsArea() const;
  TRect ItemRect(Integer Index) const;
  // The item at a point; -1 (or the nearest when not Existing) outside items.
  Integer ItemAtPos(const TPoint& Pos, bool Existing) const;
  // The number of whole rows shown from TopIndex on (at least 1).
  Integer VisibleItemCount() const;
  void MakeVisible(Integer Index);
  bool NeedsVScrollBar() const;
  bool NeedsHScrollBar() const;
  Integer ScrollBarSize(TScrollBarKind AKind) const;
  // The corner between both bars, in client coordinates (empty: none).
  TRect GetSizeGripRect() const;

  // ---- Events ----
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;
  TLBGetDataObjectEvent OnDataObject;
  TLBFindDataEvent OnDataFind;

  // ---- Virtual operations ----
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged);
  // Shows, places and sets the two library scroll bars from the list's
  // scroll state.
  virtual void UpdateScrollBars();
  // Draws one item (default: highlight when selected, text, focus rect).
  virtual void DrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState);
  // Whether the owner draws items itself (owner-draw styles with OnDrawItem).
  virtual bool DoDrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState);
  virtual void MeasureItem(Integer Index, Integer& AHeight) const;

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void Click() override;
  void DblClick() override;
  // Dropping on the list drops on the container (container coordinates).
  void DragDrop(TObject* Source, Integer X, Integer Y) override;

protected:
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(Char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DoEnter() override;
  void DoExit() override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void Resize() override;
  // The list's own handling of a press (selection, capture), of a key
  // (navigation) and of a typed character (auto-complete).
  virtual void ListMouseDown(TShiftState Shift, Integer X, Integer Y);
  virtual void ListKeyDown(Word& Key, TShiftState Shift);
  virtual void ListKeyPress(Char& Key);
  // Asked before a press may change the selection (the list box of the
  // container refuses while its binding refuses editing).
  virtual bool CanChangeSelectionByMouse() { return true; }
  // A selection change made by the user: tells the parent (WM_COMMAND with
  // LBN_SELCHANGE) and the container.
  virtual void SelectionChangedByUser();
  TPoint ToContainer(Integer X, Integer Y) const;

private:
  void ItemsChanged(TObject* Sender);
  void SyncSelectionSize();
  void LayoutChanged();
  void MoveFocusTo(Integer AIndex, TShiftState AShift, bool AByMouse);
  void SelectRange(Integer AFrom, Integer ATo, bool AValue);
  void BarScroll(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos);
  void PlaceBar(TcxScrollBar* ABar, bool AVisible, const TRect& ABounds);
  Integer ItemTop(Integer Index) const;
  Integer MaxTopIndex() const;
  Integer ContentHeight() const;
  LRESULT HandleListMessage(TMessage& Message, bool& AHandled);
  void DrawItemText(Integer Index, const TRect& ARect);

  TcxContainer* FContainer = nullptr;
  std::unique_ptr<TControlCanvas> FDrawCanvas;
  std::unique_ptr<TcxCanvas> FcxCanvas;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  TcxScrollBar* FHScrollBar = nullptr;
  TcxScrollBar* FVScrollBar = nullptr;
  std::unique_ptr<TStringList> FItems;
  std::vector<bool> FSelection;
  Integer FVirtualCount = 0;
  TListBoxStyle FListStyle = lbStandard;
  Integer FItemHeight = 16;
  Integer FColumns = 0;
  Integer FTabWidth = 0;
  Integer FScrollWidth = 0;
  bool FAutoComplete = true;
  String FAutoCompleteText;
  bool FSorted = false;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  Integer FItemIndex = -1;  // the selected (single) or focused (multi) item
  Integer FAnchor = -1;     // extended selection anchor
  Integer FTopIndex = 0;
  Integer FHorzOffset = 0;
  Integer FScrollBarLock = 0;
  bool FCalculating = false;
  bool FTracking = false;
};
