#pragma once
// The popup window of the drop-down editors: a frame of selectable style, an
// optional 3-pixel shadow, an optional client edge and an optional system
// panel with a close button and a size grip.
//
// Geometry lives in TcxCustomEditPopupWindowViewInfo (popup coordinates,
// origin at the popup's top-left). The frame extents are the margins between
// the popup's bounds and its client rectangle:
//   every side    border width + client edge width (when the edge is on)
//   right, bottom 3 more with the shadow
//   panel side    the panel height (+1 for the separator line of the native
//                 and single styles) at the top for grip corners 0 and 1,
//                 at the bottom for 2 and 3.
// Sizing: the user drags the grip (or the border band on the grip's sides)
// and the popup follows the mouse at once (live resizing; no frame is drawn
// on the screen, which not every display server allows). The edge opposite
// the grip never moves, the size never goes below the minimum size, the
// popup keeps at least one pixel of horizontal contact with its owner and
// stays inside the work area around the owner.
//
// The window talks to the editor that owns it only through
// IcxEditPopupWindowOwner, so any drop-down editor can plug in.
#include <memory>

#include "foundation/cxClasses.h"
#include "foundation/cxContainer.h"
#include "foundation/cxContainerPopup.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "editors/cxMaskEdit.h"
#include "platform/gui/controls.h"

// The frame of the popup: TcxEditPopupBorderStyle of the edit styles.

// The corner the size grip sits in.
enum TcxEditPopupGripCorner : Integer {
  epgcTopLeft = 0, epgcTopRight = 1, epgcBottomLeft = 2, epgcBottomRight = 3
};

// The shadow band at the right and the bottom.
inline constexpr Integer cxEditPopupShadowWidth = cxContainerShadowWidth;
// Room between the close button and the grip that a sizeable popup with a
// system panel always keeps, so both stay usable at the smallest size.
inline constexpr Integer cxEditPopupPanelSpacing = 10;

// Which edges move while sizing: H and V are -1 (left / top), 0 or 1
// (right / bottom). (0, 0): no sizing.
struct TcxEditPopupSizingDirection {
  Integer H = 0;
  Integer V = 0;
  friend bool operator==(const TcxEditPopupSizingDirection&, const TcxEditPopupSizingDirection&) = default;
};

// Border and client edge widths of a style (native style: 1 and 2 for any).
Integer EditPopupBorderWidth(TcxEditPopupBorderStyle AStyle, bool ANativeStyle);
Integer EditPopupClientEdgeWidth(TcxEditPopupBorderStyle AStyle, bool ANativeStyle);
// The edges the grip of a corner moves.
TcxEditPopupSizingDirection EditPopupGripDirection(TcxEditPopupGripCorner ACorner);
// The sizing cursor of a direction (crDefault for none).
TCursor EditPopupSizingCursor(const TcxEditPopupSizingDirection& ADirection);
// The grip corner of a popup placed at APopup beside AOwner (screen): away
// from the owner, at the bottom when the popup lies below it, on the right
// when the popup grows to the right (it starts at the owner's left edge
// when left-aligned, does not end at its right edge when right-aligned, or
// has at least as much room right of the owner as left when centred; also
// when the work area begins at or right of the owner's left edge).
TcxEditPopupGripCorner EditPopupGripCornerFor(const TRect& AOwner, const TRect& APopup, TcxPopupAlignHorz AAlign,
                                             const TRect& AWorkArea);

// ---------------------------------------------------------------------------
// View info

class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
  KORVANE_CLASS(TcxCustomEditPopupWindowViewInfo, TcxContainerViewInfo)
  TcxCustomEditPopupWindowViewInfo() = default;

  // ---- Settings (Bounds and Shadow come from the base) ----
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  bool ClientEdge = false;
  bool SysPanel = false;
  bool Sizeable = false;
  bool CloseButton = true;
  TcxButtonState CloseButtonState = cxbsNormal;
  TcxEditPopupGripCorner SizeGripCorner = epgcBottomRight;
  // 0: none; a larger value raises the panel height (editors whose panel
  // holds more buttons set it).
  Integer MinSysPanelHeight = 0;

  // ---- Computed by Calculate ----
  Integer SysPanelHeight = 0;   // 0 without the panel
  Integer SizingOffset = 0;     // the width of the sizing zones along the border
  TRect SizingRegion{};         // inside the borders, without the shadow
  TRect SysPanelRect{};         // empty without the panel
  TRect SizeGripRect{};         // empty unless sizeable with the panel
  TRect CloseButtonRect{};      // empty unless the panel has a close button

  // The panel height the metrics ask for (at least MinSysPanelHeight).
  Integer CalculateSysPanelHeight() const;
  // The margins (Left, Top, Right, Bottom) around the client rectangle.
  TRect GetFrameExtents() const;
  // The smallest popup: the frame extents, and with a sizeable popup with a
  // panel also room for the close button, the grip and the spacing.
  TSize GetMinSize() const;
  // Lays out ClientRect, the sizing region, the panel, the grip and the
  // close button from Bounds (moved to the origin) and the settings.
  void Calculate();
  // The edges a press at P (popup coordinates) would size; (0, 0) when the
  // popup is not sizeable or P is in no sizing zone.
  TcxEditPopupSizingDirection GetSizingDirection(const TPoint& P) const;

  void Render(TcxCanvas* ACanvas) override;

protected:
  Integer BorderWidthValue() const { return EditPopupBorderWidth(PopupBorderStyle, NativeStyle); }
  Integer ClientEdgeWidthValue() const;
  bool HasSeparator() const { return SysPanel && (NativeStyle || PopupBorderStyle == epbsSingle); }
  // The popup without the shadow.
  TRect FrameRect() const;
  virtual void DrawFrame(TcxCanvas* ACanvas, TRect& R);
  // The two inner lines of the 3-D frame.
  virtual void DrawFrame3DInner(TcxCanvas* ACanvas, TRect& R);
  void DrawClientEdge(TcxCanvas* ACanvas);
  void DrawSysPanel(TcxCanvas* ACanvas);
  void DrawSizeGrip(TcxCanvas* ACanvas);
};

// The view info of the popup editor: its 3-D frame has two edge lines, then
// the inactive-border and the button-face lines.
class TcxPopupEditPopupWindowViewInfo : public TcxCustomEditPopupWindowViewInfo {
  KORVANE_CLASS(TcxPopupEditPopupWindowViewInfo, TcxCustomEditPopupWindowViewInfo)
  TcxPopupEditPopupWindowViewInfo() = default;

protected:
  void DrawFrame3DInner(TcxCanvas* ACanvas, TRect& R) override;
};

// ---------------------------------------------------------------------------
// The owner editor as the popup sees it

class IcxEditPopupWindowOwner {
public:
  virtual ~IcxEditPopupWindowOwner() = default;
  // Closes the popup (the close button: without accepting).
  virtual void ClosePopup(bool AAccept) = 0;
  // The user changed the popup's size (told on every change while sizing).
  virtual void PopupResizedByUser() = 0;
  // The client rectangle (popup coordinates) after a layout or a resize.
  virtual void PopupClientRectChanged(const TRect& AClientRect) = 0;
  // The size of the content of an auto-sized popup.
  virtual TSize PopupContentSize() { return TSize{0, 0}; }
  // Editors showing lookup data may adjust the client size a resize asks
  // for (AAvailableHeight: room down to the work area's bottom); false
  // refuses the new size.
  virtual bool AdjustPopupClientSize(TSize& AClientSize, Integer AAvailableHeight) {
    (void)AClientSize;
    (void)AAvailableHeight;
    return true;
  }
  // Whether the popup is kept inside the work area.
  virtual bool PopupLimitedToWorkArea() { return true; }
};

// ---------------------------------------------------------------------------
// The popup window

class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
  KORVANE_CLASS(TcxCustomEditPopupWindow, TcxCustomPopupWindow)
  // AOwnerControl is the editor's control, AOwner the editor (both outlive
  // the popup: the editor owns it). AViewInfo: nullptr for the default.
  TcxCustomEditPopupWindow(TWinControl* AOwnerControl, IcxEditPopupWindowOwner* AOwner,
                           std::unique_ptr<TcxCustomEditPopupWindowViewInfo> AViewInfo = nullptr);
  ~TcxCustomEditPopupWindow() override;

  IcxEditPopupWindowOwner* EditOwner() const { return FEditOwner; }
  TWinControl* GetOwnerControl() const { return OwnerControl(); }
  TcxCustomEditPopupWindowViewInfo* GetViewInfo() const { return FEditViewInfo.get(); }

  // ---- Settings ----
  TcxEditPopupBorderStyle PopupBorderStyle() const { return FEditViewInfo->PopupBorderStyle; }
  void SetPopupBorderStyle(TcxEditPopupBorderStyle Value) { FEditViewInfo->PopupBorderStyle = Value; }
  bool NativeStyle() const { return FEditViewInfo->NativeStyle; }
  void SetNativeStyle(bool Value) { FEditViewInfo->NativeStyle = Value; }
  bool Shadow() const { return FEditViewInfo->Shadow; }
  void SetShadow(bool Value) { FEditViewInfo->Shadow = Value; }
  bool ClientEdge() const { return FEditViewInfo->ClientEdge; }
  void SetClientEdge(bool Value) { FEditViewInfo->ClientEdge = Value; }
  bool SysPanelStyle() const { return FEditViewInfo->SysPanel; }
  void SetSysPanelStyle(bool Value) { FEditViewInfo->SysPanel = Value; }
  bool Sizeable() const { return FEditViewInfo->Sizeable; }
  void SetSizeable(bool Value) { FEditViewInfo->Sizeable = Value; }
  Integer GetSysPanelHeight() const { return FEditViewInfo->MinSysPanelHeight; }
  void SetSysPanelHeight(Integer Value) { FEditViewInfo->MinSysPanelHeight = Value < 0 ? 0 : Value; }
  bool PopupAutoSize() const { return FAutoSize; }
  void SetPopupAutoSize(bool Value) { FAutoSize = Value; }
  // Requested size (0: the owner's width / the minimal height).
  Integer PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(Integer Value) { FPopupWidth = Value < 0 ? 0 : Value; }
  Integer PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(Integer Value) { FPopupHeight = Value < 0 ? 0 : Value; }
  Integer MinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value) { FMinWidth = Value < 0 ? 0 : Value; }
  Integer MinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer Value) { FMinHeight = Value < 0 ? 0 : Value; }

  // ---- State ----
  bool IsSizing() const { return FSizing; }

  // ---- Operations ----
  // The popup's size for an owner AOwnerWidth wide (the grip corner is set
  // to the bottom right first).
  TSize CalculateSize(Integer AOwnerWidth);
  // Raises a new size to the minimum sizes and lets the owner adjust its
  // client part; false keeps the old size.
  virtual bool AcceptNewSize(Integer& AWidth, Integer& AHeight);
  // Recalculates the view info from the current size and tells the owner
  // the client rectangle.
  void RecalculateViewInfo();

  bool LimitToWorkArea() override;
  // The base placement, then the grip corner away from the owner; a popup
  // with a shadow opening above its owner moves down by the shadow.
  void CalculatePosition(TPoint& P) override;

protected:
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void CMMouseLeave(TMessage& Message) override;
  // CXM_POPUPCHAR: the character in WParam goes to the focused window as
  // WM_CHAR while the popup is shown.
  void Dispatch(TMessage& Message) override;

private:
  void SetCloseButtonState(TcxButtonState AState);
  void UpdateCursor(const TPoint& P);
  void DoSizing(const TPoint& AScreenPos);
  // The owner rectangle (screen): OwnerBounds in OwnerParent, else the
  // owner control.
  TRect OwnerScreenRect() const;

  IcxEditPopupWindowOwner* FEditOwner;
  std::unique_ptr<TcxCustomEditPopupWindowViewInfo> FEditViewInfo;
  bool FAutoSize = false;
  Integer FPopupWidth = 0;
  Integer FPopupHeight = 0;
  Integer FMinWidth = 0;
  Integer FMinHeight = 0;
  // Sizing: the moving edges, the popup's screen rectangle and the mouse
  // position (screen) when it started.
  bool FSizing = false;
  TcxEditPopupSizingDirection FSizingDirection{};
  TRect FSizingStartBounds{};
  TPoint FSizingStartPos{};
};

// The popup window of the popup editor and of the editors built on it: the
// popup editor's 3-D frame.
class TcxPopupEditPopupWindow : public TcxCustomEditPopupWindow {
  KORVANE_CLASS(TcxPopupEditPopupWindow, TcxCustomEditPopupWindow)
  // AViewInfo: nullptr for a TcxPopupEditPopupWindowViewInfo.
  TcxPopupEditPopupWindow(TWinControl* AOwnerControl, IcxEditPopupWindowOwner* AOwner,
                          std::unique_ptr<TcxCustomEditPopupWindowViewInfo> AViewInfo = nullptr);
};

// ---------------------------------------------------------------------------
// The drop-down editor: a masked editor with one drop-down button that opens
// an edit popup window below (or above) itself. This base never drops down
// (CanDropDown); descendants enable it and fill the popup. Closing with
// accept takes the current lookup item as the text; closing without it
// leaves the value as it was. Alt+Down, Alt+Up and F4 open or accept, Enter
// accepts, Esc only closes. The popup opens by a posted show message that
// carries the focus control's window, so a control freed meanwhile is never
// touched.

class TcxCustomDropDownEdit;

// Makes the popup window of a drop-down editor; the editor is both its owner
// control and its owner. Descendants with their own popup window class pass
// one to the protected constructor of the editor.
using TcxEditPopupWindowFactory = TcxCustomEditPopupWindow* (*)(TcxCustomDropDownEdit* AEdit);

class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
  KORVANE_CLASS(TcxCustomDropDownEditProperties, TcxCustomMaskEditProperties)
  // One drop-down button.
  explicit TcxCustomDropDownEditProperties(TPersistent* AOwner);
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  bool ImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(bool Value) { FImmediateDropDown = Value; }
  // An in-place editor opens its popup as soon as it is activated.
  bool ImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(bool Value) { FImmediatePopup = Value; }
  TAlignment PopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TAlignment Value) { SetValue(FPopupAlignment, Value); }
  bool PopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(bool Value) { SetValue(FPopupAutoSize, Value); }
  bool PopupClientEdge() const { return FPopupClientEdge; }
  void SetPopupClientEdge(bool Value) { SetValue(FPopupClientEdge, Value); }
  bool PopupSizeable() const { return FPopupSizeable; }
  void SetPopupSizeable(bool Value) { SetValue(FPopupSizeable, Value); }
  bool PopupSysPanelStyle() const { return FPopupSysPanelStyle; }
  void SetPopupSysPanelStyle(bool Value) { SetValue(FPopupSysPanelStyle, Value); }
  bool PostPopupValueOnTab() const { return FPostPopupValueOnTab; }
  void SetPostPopupValueOnTab(bool Value) { FPostPopupValueOnTab = Value; }
  // 0: as wide as the editor. Negative becomes 0; a positive width below
  // PopupMinWidth is raised to it.
  Integer PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(Integer Value);
  // Raised to PopupMinHeight.
  Integer PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(Integer Value);
  // Negative becomes 0; the width (height) is applied again.
  Integer PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(Integer Value);
  Integer PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(Integer Value);

  // Whether the popup takes the focus (descendants whose popup holds a
  // focusable list answer true).
  virtual bool PopupWindowCapturesFocus() const { return false; }
  // A left click into the text opens the popup (descendants answer).
  virtual bool DropDownOnClick() const { return false; }
  // The value is posted when the popup has closed (with ImmediatePost)
  // instead of when it is accepted.
  virtual bool PostPopupValueOnClose() const { return false; }
  // The index of the drop-down button in Buttons.
  virtual Integer DropDownButtonIndex() const { return 0; }

  // The glyph of the button GlyphButtonIndex (nullptr when there is no such
  // button or it has no glyph). Setting a glyph makes that button a glyph
  // button; removing it (nullptr or an empty picture) makes a glyph button
  // a drop-down button again. Every change notice applies the same rule,
  // also to a glyph set on the button directly.
  TBitmap* ButtonGlyph() const;
  void SetButtonGlyph(TBitmap* Value);
  Integer GlyphButtonIndex() const { return FGlyphButtonIndex; }
  // The glyph moves to the button at Value (negative becomes 0).
  void SetGlyphButtonIndex(Integer Value);
  void NotifyChanged() override;
  // TcxCustomDropDownEditViewData.
  TcxCustomEditViewDataClass GetViewDataClass() const override;

  // Sender: the editor.
  TNotifyEvent OnInitPopup;
  TNotifyEvent OnPopup;
  TNotifyEvent OnCloseUp;
  TCloseQueryEvent OnCloseQuery;

private:
  TcxEditButton* GlyphButton() const;
  // The glyph button's kind follows whether it has a picture.
  void ApplyGlyphKind();

  Integer FGlyphButtonIndex = 0;
  bool FApplyingGlyphKind = false;
  bool FImmediateDropDown = true;
  bool FImmediatePopup = false;
  TAlignment FPopupAlignment = taLeftJustify;
  bool FPopupAutoSize = true;
  bool FPopupClientEdge = false;
  bool FPopupSizeable = false;
  bool FPopupSysPanelStyle = false;
  bool FPostPopupValueOnTab = false;
  Integer FPopupWidth = 0;
  Integer FPopupHeight = 0;
  Integer FPopupMinWidth = 0;
  Integer FPopupMinHeight = 0;
};

// What an in-place drop-down editor keeps per cell between activations: the
// popup size the user left (SizeChanged), starting from the properties'
// PopupWidth and PopupHeight.
class TcxCustomDropDownEditData : public TcxCustomEditData {
  KORVANE_CLASS(TcxCustomDropDownEditData, TcxCustomEditData)
  explicit TcxCustomDropDownEditData(TcxCustomEdit* AEdit) : TcxCustomEditData(AEdit) {}
  bool SizeChanged = false;
  Integer Width = 0;
  Integer Height = 0;
};

// The look and feel the popup's controls draw with: it follows the
// editor's, the kind and native style of the editor's current style (Refresh
// takes them over, one change notice for each that differs).
class TcxEditPopupControlLookAndFeel : public TcxLookAndFeel {
  KORVANE_CLASS(TcxEditPopupControlLookAndFeel, TcxLookAndFeel)
  explicit TcxEditPopupControlLookAndFeel(TcxCustomDropDownEdit* AEdit);
  TcxCustomDropDownEdit* Edit() const { return FEdit; }
  void Refresh();

private:
  TcxCustomDropDownEdit* FEdit;
};

// The view of a drop-down editor: a focused fixed-list editor draws its text
// on a selection bar; pressing the drop-down button while the popup is open
// (the press closes the popup) does not show the button pressed.
class TcxCustomDropDownEditViewData : public TcxCustomTextEditViewData {
  KORVANE_CLASS(TcxCustomDropDownEditViewData, TcxCustomTextEditViewData)
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  TcxCustomDropDownEditProperties* GetProperties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(Properties());
  }
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  bool IsButtonPressedByMouse(TcxCustomEditViewInfo* AViewInfo, Integer AIndex) override;
};

class TcxCustomDropDownEdit : public TcxCustomMaskEdit, public IcxEditPopupWindowOwner {
public:
  KORVANE_CLASS(TcxCustomDropDownEdit, TcxCustomMaskEdit)
  explicit TcxCustomDropDownEdit(TComponent* AOwner) : TcxCustomDropDownEdit(AOwner, false) {}
  TcxCustomDropDownEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomDropDownEdit(AOwner, AIsInplace, nullptr) {}
  ~TcxCustomDropDownEdit() override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxCustomDropDownEditProperties::StaticClass(); }
  TcxCustomDropDownEditProperties* ActiveDropDownProperties();
  TcxCustomEditPopupWindow* PopupWindow() const { return FPopupWindow; }
  bool HasOpenPopup() const override;

  virtual bool CanDropDown() const { return false; }
  // Lays the popup out and posts the message that shows it.
  void DropDown();
  // The popup's size the user left after sizing (0 x 0: none remembered).
  TSize RememberedPopupSize() const { return FRememberedSize; }
  // The look and feel for the popup's controls (follows the editor's).
  TcxEditPopupControlLookAndFeel* PopupControlsLookAndFeel() const { return FPopupControlsLookAndFeel.get(); }
  // The popup was open while the editor's view was last worked out for the
  // mouse: a press on the drop-down button then only closes the popup.
  bool IsHotAndPopup() const { return FIsHotAndPopup; }
  // The editor counts as focused while its popup is open (the popup may
  // hold the focus).
  bool IsFocusedEditor() override { return TcxCustomMaskEdit::IsFocusedEditor() || HasOpenPopup(); }
  // While an in-place editor's popup is open every key but a printable one
  // without Ctrl or Alt is the editor's own (its popup's): the container
  // does not move on with the arrows meanwhile.
  bool IsEditorKey(Word Key, TShiftState Shift) override;

  // ---- IcxEditPopupWindowOwner ----
  // With AAccept the current lookup item becomes the text.
  void ClosePopup(bool AAccept) override;
  void PopupResizedByUser() override { FPopupSizeChanged = true; }
  void PopupClientRectChanged(const TRect& AClientRect) override { (void)AClientRect; }
  bool PopupLimitedToWorkArea() override { return true; }

  void PropertiesChanged(TObject* Sender) override;
  // Typing (or an input method's text) marks the editor as just typed into:
  // a popup that takes the focus then starts its lookup at that text.
  void HandleInnerEditChange() override;
  // The wheel steps the items of a stand-alone editor with its popup closed
  // (an in-place one leaves the wheel to its container then).
  bool LookupWheelAllowed() override { return !IsDestroying() && !IsInplace() && InnerEdit(); }
  // Buttons and a popup: every style value is used.
  TcxEditStyleValues GetIgnoredStyleValues() override { return 0; }
  // An in-place editor takes the popup size kept in AEditData (with
  // PopupSizeable) and, with ImmediatePopup, opens the popup at once.
  void ActivateInplace(TcxCustomEditData*& AEditData) override;

protected:
  // ACreatePopupWindow: nullptr for a TcxCustomEditPopupWindow.
  TcxCustomDropDownEdit(TComponent* AOwner, bool AIsInplace, TcxEditPopupWindowFactory ACreatePopupWindow);

  virtual void DoInitPopup();
  virtual void DoPopup();
  virtual void DoCloseUp();
  // Readies the popup's content before DropDown asks CanDropDown; an
  // exception keeps the popup closed.
  virtual void PreparePopup() {}
  // The control to focus when the popup opens (the inner edit).
  virtual TWinControl* PopupFocusedControl();
  // Copies the properties into the popup.
  virtual void SetupPopupWindow();
  // Sizes and places the popup beside the editor (screen).
  virtual void LayoutPopupWindow();
  // The popup's OnAfterShow and OnAfterClose; descendants call these last.
  virtual void PopupWindowShowed(TObject* Sender);
  virtual void PopupWindowClosed(TObject* Sender);
  // A show message still queued is taken back (the popup will not open).
  void CancelPendingPopup();
  void SetRememberedPopupSize(const TSize& Value) { FRememberedSize = Value; }
  // Told when a laid-out popup will not show after all.
  virtual void PopupShowCancelled() {}
  // The editor's bounds in its parent, wider by the shadow when it has one.
  TRect GetPopupOwnerBounds();
  // The popup controls' look and feel changed (the editor's followed).
  virtual void PopupControlsLookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged) {
    (void)Sender;
    (void)AChanged;
  }
  // After the editor's view is worked out: a press beside the buttons
  // closes an open popup without its value; the popup controls' look and
  // feel follows the editor's.
  void HandleStateChange(const TPoint& P, Integer AButton, bool ARefresh, TShiftState AShift) override;

  // A stand-alone editor steps through its lookup items by the arrow and
  // page keys while the popup is closed; an in-place one leaves those keys
  // to its container.
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  TcxCustomEditDataClass GetEditDataClass() const override { return TcxCustomDropDownEditData::StaticClass(); }
  void StoreEditData(TcxCustomEditData* AEditData) override;
  void EditKeyDown(Word& Key, TShiftState Shift) override;
  void HandleKeyPressed(Char& Key) override;
  void ButtonDown(Integer AButtonIndex) override;
  // With DropDownOnClick a left click into the text opens the popup.
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  // With ImmediateDropDown a paste that changed the text while the popup is
  // closed opens it, and the lookup takes the current item (CXM_CLOSEUPEVENT).
  void PasteFromClipboard() override;
  // Tab with PostPopupValueOnTab: the popup closes with its value before
  // the focus moves.
  void BeforeTabFocusMove() override;
  void DoExit() override;
  void Dispatch(TMessage& Message) override;
  // Alt+Up and Alt+Down reach the inner edit as system keys: they open and
  // close the popup like F4; the release of Alt alone takes back a
  // character still queued for the inner edit. An open popup keeps the
  // inner edit's hint from showing. With PostPopupValueOnTab the editor wants Tab
  // while the popup is open.
  bool PreviewInnerMessage(TMessage& Message) override;
  // Takes the current lookup item as the text (marking the editor modified
  // when it differs).
  void TakeLookupItem();
  // The control of the open popup that takes the wheel (the combo box's
  // list); nullptr: the wheel is not passed on.
  virtual TWinControl* PopupWheelControl() { return nullptr; }
  // With the popup open the wheel goes to PopupWheelControl and counts as
  // handled; otherwise the text editor's wheel.
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) override;

private:
  void PopupCloseQuery(TObject* Sender, bool& CanClose);
  static bool IsLookupStepKey(Word Key);
  // An arrow or page key with the popup closed: the text editor steps from
  // the item the editor shows; a step to another item marks the editor
  // modified and posts with ImmediatePost.
  bool StepLookupByKey(TMessage& Message);

  std::unique_ptr<TcxEditPopupControlLookAndFeel> FPopupControlsLookAndFeel;
  // Owned (a component of this editor, freed first by the destructor).
  TcxCustomEditPopupWindow* FPopupWindow = nullptr;
  bool FIsHotAndPopup = false;
  // Typed into since the popup last showed.
  bool FTypedInto = false;
  bool FPopupSizeChanged = false;
  // The show message is posted and the popup has not shown yet.
  bool FShowPending = false;
  TSize FRememberedSize{0, 0};
};

class TcxDropDownEditProperties : public TcxCustomDropDownEditProperties {
  KORVANE_CLASS(TcxDropDownEditProperties, TcxCustomDropDownEditProperties)
  using TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties;
};

// ---------------------------------------------------------------------------
// The combo box: a drop-down editor over its lookup items, shown in a list
// in the popup. While the list is open the arrow and page keys move the
// list's selection only; Enter, F4, Alt+Up/Down or a click on an item take
// it, Esc leaves the value.

// How typing relates to the items.
enum TcxEditDropDownListStyle : Integer { lsEditFixedList, lsEditList, lsFixedList };

// Rows the list shows without scrolling unless DropDownRows says otherwise.
inline constexpr Integer cxComboBoxDefaultDropDownRows = 8;

class TcxCustomComboBox;

// Custom drawing and height of one item of the combo box's list (ACanvas:
// the list's canvas, brush and font set for the item's state).
using TcxEditDrawItemEvent = TEvent<void(TcxCustomComboBox* AControl, TcxCanvas* ACanvas, Integer AIndex,
                                         const TRect& ARect, TOwnerDrawState AState)>;
using TcxEditMeasureItemEvent =
    TEvent<void(TcxCustomComboBox* AControl, Integer AIndex, TcxCanvas* ACanvas, Integer& AHeight)>;

class TcxCustomComboBoxProperties : public TcxCustomDropDownEditProperties {
  KORVANE_CLASS(TcxCustomComboBoxProperties, TcxCustomDropDownEditProperties)
  explicit TcxCustomComboBoxProperties(TPersistent* AOwner) : TcxCustomDropDownEditProperties(AOwner) {}
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  TStringList* Items() const { return LookupItems(); }
  // TcxCustomComboBoxViewData.
  TcxCustomEditViewDataClass GetViewDataClass() const override;

  TcxEditDropDownListStyle DropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(TcxEditDropDownListStyle Value) { SetValue(FDropDownListStyle, Value); }
  Integer DropDownRows() const { return FDropDownRows; }
  // 0 or less is ignored.
  void SetDropDownRows(Integer Value) {
    if (Value > 0) SetValue(FDropDownRows, Value);
  }
  // 0: the list's own row height.
  Integer ItemHeight() const { return FItemHeight; }
  void SetItemHeight(Integer Value) { SetValue(FItemHeight, Value < 0 ? 0 : Value); }

  bool Sorted() const { return LookupItemsSorted(); }
  void SetSorted(bool Value) { SetLookupItemsSorted(Value); }
  // A double click on the closed editor steps to the next item, wrapping.
  bool Revertable() const { return FRevertable; }
  void SetRevertable(bool Value) { FRevertable = Value; }
  // The drop-down editor's popup width rules under the combo box's names.
  bool DropDownAutoWidth() const { return PopupAutoSize(); }
  void SetDropDownAutoWidth(bool Value) { SetPopupAutoSize(Value); }
  bool DropDownSizeable() const { return PopupSizeable(); }
  void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
  Integer DropDownWidth() const { return PopupWidth(); }
  void SetDropDownWidth(Integer Value) { SetPopupWidth(Value); }

  TcxEditEditingStyle EditingStyle() const override;
  Integer LookupPageSize() const override { return FDropDownRows; }
  // A combo box always has lookup data: TcxComboBoxLookupData.
  TcxCustomTextEditLookupDataClass GetLookupDataClass() const override;

  // Fired for these properties first, then for the repository item's.
  TcxEditDrawItemEvent OnDrawItem;
  TcxEditMeasureItemEvent OnMeasureItem;

private:
  bool FRevertable = false;
  TcxEditDropDownListStyle FDropDownListStyle = lsEditList;
  Integer FDropDownRows = cxComboBoxDefaultDropDownRows;
  Integer FItemHeight = 0;
};

class TcxComboBoxProperties : public TcxCustomComboBoxProperties {
  KORVANE_CLASS(TcxComboBoxProperties, TcxCustomComboBoxProperties)
  using TcxCustomComboBoxProperties::TcxCustomComboBoxProperties;
};

// The view of a combo box: the closed fixed-list editor whose item an
// OnDrawItem handler draws (on the properties or on the repository item's)
// leaves the item to the handler: the view draws neither the text nor the
// selection bar under it. Otherwise, and for a view drawn without an
// editor (a cell), the drop-down editor's view.
class TcxCustomComboBoxViewData : public TcxCustomDropDownEditViewData {
  KORVANE_CLASS(TcxCustomComboBoxViewData, TcxCustomDropDownEditViewData)
  using TcxCustomDropDownEditViewData::TcxCustomDropDownEditViewData;
  // Whether the handler draws the item of the closed editor.
  bool DrawsItemByHandler() const;
  void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                       TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
};

// The height the list of a combo box may take: the larger of the room
// above the editor (from the work area's top, less the popup's frame, and
// cxEditPopupShadowWidth more for a popup without a shadow) and the room
// below it (to the work area's bottom, less the frame). AEditor: the
// editor's screen rectangle; AFrameHeight: the popup's top and bottom
// frame extents together.
Integer cxComboBoxPopupFreeHeight(const TRect& AEditor, const TRect& AWorkArea, Integer AFrameHeight, bool AShadow);

// The list in the popup. It never takes the focus (the editor keeps it);
// a left-button release over an item picks it. It finds its editor through
// the popup window that holds it.
class TcxComboBoxListBox : public TcxCustomEditListBox {
  KORVANE_CLASS(TcxComboBoxListBox, TcxCustomEditListBox)
  // AOwner: the popup window of the combo box.
  explicit TcxComboBoxListBox(TComponent* AOwner) : TcxCustomEditListBox(AOwner) {}

  // The combo box owning the popup that holds the list (nullptr: none).
  TcxCustomTextEdit* GetEdit() const override;
  TcxCustomComboBox* GetComboBox() const;

  // The properties' drawing handlers draw a row when there are any, else
  // the list's own drawing.
  bool DoDrawItem(Integer Index, const TRect& ARect, TOwnerDrawState AState) override;
  // ItemHeight when above 0, else the default row height; then the
  // properties' measuring handlers.
  Integer GetItemHeight(Integer AIndex) const override;
  // The window is re-created the first time and afterwards only when the
  // measuring mode (a measuring handler assigned or not) or ItemHeight
  // changed since the last time.
  void RecreateWindow() override;

protected:
  // The row under the mouse also becomes the lookup's current item, so Enter
  // takes it and the keys step on from it.
  void HotTrack(Integer AIndex) override;
  // The properties' measuring handlers may change AHeight of a row.
  void ApplyMeasureHandlers(Integer AIndex, Integer& AHeight) const;

private:
  bool FFirstCreation = true;
  bool FMeasuring = false;
  Integer FLastItemHeight = 0;
};

// The combo box's lookup data: its items, and the size of the list that
// shows them in the popup.
class TcxComboBoxLookupData : public TcxCustomTextEditLookupData {
  KORVANE_CLASS(TcxComboBoxLookupData, TcxCustomTextEditLookupData)
  using TcxCustomTextEditLookupData::TcxCustomTextEditLookupData;

  // The size of AList (its frame included) within AAvailable, the room the
  // popup leaves for it: the smaller of LookupPageSize (DropDownRows) and
  // the item count in rows at their heights, fewer when they do not fit
  // (never below one); the widest item + 4 wide, which is also the list's
  // scroll width; plus a vertical scroll bar when there are more items than
  // rows, and, cut to the available width when wider, plus a horizontal
  // scroll bar.
  virtual TSize GetListSize(TcxComboBoxListBox* AList, const TSize& AAvailable);
};

class TcxCustomComboBox : public TcxCustomDropDownEdit {
public:
  KORVANE_CLASS(TcxCustomComboBox, TcxCustomDropDownEdit)
  explicit TcxCustomComboBox(TComponent* AOwner) : TcxCustomComboBox(AOwner, false) {}
  TcxCustomComboBox(TComponent* AOwner, bool AIsInplace);

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxComboBoxProperties::StaticClass(); }
  TcxCustomComboBoxProperties* ActiveComboProperties();
  // The list of the popup, made on first use by CreateListBox (nullptr
  // while the editor is being destroyed and has none).
  TcxComboBoxListBox* ListBox();
  TcxCustomTextEditLookupData* GetLookupData() { return Model()->LookupData(); }

  bool CanDropDown() const override;
  // The rows (at most DropDownRows) at the list's row height, as wide as
  // the editor or the widest item.
  TSize PopupContentSize() override;
  void PopupClientRectChanged(const TRect& AClientRect) override;
  // The list picked AIndex: it becomes current and the popup closes with it.
  void ListItemClicked(Integer AIndex);
  // Typing with the list open moves its selection to the matching item.
  void HandleInnerEditChange() override;
  // A resized list shows whole rows (at least one).
  bool AdjustPopupClientSize(TSize& AClientSize, Integer AAvailableHeight) override;
  // Forgets a popup height the user chose: per cell for an in-place editor
  // with a sizeable popup, else the properties' PopupHeight becomes 0.
  void ResetPopupHeight();
  // Revertable: a double click (on the text too) steps to the next item,
  // wrapping, while the popup is closed.
  void DblClick() override;

protected:
  // Makes the list of the popup (AOwner: the popup window); a descendant
  // answers its own list class.
  virtual TcxComboBoxListBox* CreateListBox(TComponent* AOwner);
  // The model's lookup data tells this editor of its changes.
  std::unique_ptr<TcxTextEditModel> CreateModel(TcxCustomTextEditProperties* AProperties) override;
  // The lookup data's current item changed: an open list shows it.
  virtual void LookupCurrentKeyChanged(TObject* Sender);
  // A row was chosen in the list: the popup closes taking it.
  virtual void LookupItemSelected(TObject* Sender);
  void DoPopup() override;
  // The list hears that it is shown (ListShown).
  void PopupWindowShowed(TObject* Sender) override;
  // The list is filled whether the popup sizes itself or not.
  void SetupPopupWindow() override;
  void EditKeyDown(Word& Key, TShiftState Shift) override;
  bool PreviewInnerMessage(TMessage& Message) override;
  // A drag from the editor (holding the mouse) into the open list presses
  // the list there: the list follows the mouse and the release picks.
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  TWinControl* PopupWheelControl() override { return ListBox(); }
  // In lsFixedList with an OnDrawItem handler the closed editor shows its
  // item drawn by the handler (focused state when focused): the inner edit
  // keeps the keys but takes no room.
  void PlaceInnerControl() override;
  void Paint() override;

public:
  // The closed editor draws its item through OnDrawItem.
  bool DrawsItemClosed();
  // Where the closed editor's item is drawn (the text area).
  TRect ClosedItemRect() const { return FItemRect; }

private:
  void SyncList();
  // The Revertable step; false when it does not apply.
  bool StepOnDoubleClick();
  // The list takes the items, the row height and the drawing handlers.
  void PrepareList();
  friend class TcxComboBoxListBox;
  // False when no property set has a drawing handler.
  bool DrawListItem(Integer Index, const TRect& ARect, TOwnerDrawState AState);
  void MeasureListItem(Integer Index, Integer& AHeight);
  // Calls AFire for the own properties and then the repository item's.
  template <class TFire>
  void ForEachComboProperties(TFire AFire);

  void ListSelectItem(TObject* Sender);

  TcxComboBoxListBox* FListBox = nullptr;  // owned by the popup window
  TRect FItemRect{};
  bool FPlacing = false;
};

class TcxComboBox : public TcxCustomComboBox {
  KORVANE_CLASS(TcxComboBox, TcxCustomComboBox)
  using TcxCustomComboBox::TcxCustomComboBox;
};

// ---------------------------------------------------------------------------
// The popup editor: its popup lends any control of the form (PopupControl).
// While the popup is open the control sits in the popup window and fills it;
// when the popup closes, when the show is called off and when the editor is
// destroyed with the control still lent, the control goes back to its
// parent with its Align, bounds, visibility and (for a form) border style.
// The editor watches the lent control and its parent: when either is freed
// meanwhile, nothing is given back to it (a control whose parent is gone is
// left without a parent, so the popup window does not take it down with it).

class TcxCustomPopupEditProperties : public TcxCustomDropDownEditProperties {
  KORVANE_CLASS(TcxCustomPopupEditProperties, TcxCustomDropDownEditProperties)
  // A sizeable popup of 250 x 200 (at least 100 x 100), sized by its control.
  explicit TcxCustomPopupEditProperties(TPersistent* AOwner);
  ~TcxCustomPopupEditProperties() override;
  void Assign(TPersistent* Source) override;
  static TcxCustomEditClass GetEditorClass();

  // The lent control; it becomes nullptr when the control is freed.
  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* Value);

  // The lent control takes the focus while the popup is open.
  bool PopupWindowCapturesFocus() const override { return true; }

protected:
  void ComponentFreed(TComponent* AComponent) override;

private:
  TControl* FPopupControl = nullptr;  // watched through the free notificator
};

// The published form opens its popup at once: on typing and on activation.
class TcxPopupEditProperties : public TcxCustomPopupEditProperties {
  KORVANE_CLASS(TcxPopupEditProperties, TcxCustomPopupEditProperties)
  explicit TcxPopupEditProperties(TPersistent* AOwner);
};

// "Circular referencing is not allowed": PopupControl is the popup window,
// the editor or a control that holds the editor.
inline constexpr TResourceString cxSEditPopupCircularReferencing{65078, u"Circular referencing is not allowed"};

class TcxCustomPopupEdit : public TcxCustomDropDownEdit {
public:
  KORVANE_CLASS(TcxCustomPopupEdit, TcxCustomDropDownEdit)
  explicit TcxCustomPopupEdit(TComponent* AOwner) : TcxCustomPopupEdit(AOwner, false) {}
  TcxCustomPopupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomPopupEdit(AOwner, AIsInplace, nullptr) {}
  ~TcxCustomPopupEdit() override;

  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TcxPopupEditProperties::StaticClass(); }
  TcxCustomPopupEditProperties* ActivePopupProperties();
  // The control the popup holds now (nullptr: none).
  TControl* HostedControl() const { return FHostedControl; }

  // There is popup content exactly when PopupControl is set.
  bool CanDropDown() const override;
  // PopupControl's width and height.
  TSize PopupContentSize() override;
  // The lent control takes the popup's client rectangle.
  void PopupClientRectChanged(const TRect& AClientRect) override;

protected:
  // ACreatePopupWindow: nullptr for a TcxPopupEditPopupWindow.
  TcxCustomPopupEdit(TComponent* AOwner, bool AIsInplace, TcxEditPopupWindowFactory ACreatePopupWindow);

  // Raises cxSEditPopupCircularReferencing (see above).
  void PreparePopup() override;
  // PopupControl when it is a windowed control.
  TWinControl* PopupFocusedControl() override;
  // Lends PopupControl to the popup (saving its placement), lays the popup
  // out and lets the control fill it.
  void LayoutPopupWindow() override;
  // The control goes back before the closing is handled.
  void PopupWindowClosed(TObject* Sender) override;
  void PopupShowCancelled() override { RestorePopupControl(); }
  // Remembers the lent control's placement (and starts watching it and its
  // parent); RestorePopupControl gives it back and stops watching.
  void SavePopupControlState(TControl* AControl);
  void RestorePopupControl();

private:
  void WatchedComponentFreed(TObject* Sender, TComponent* AComponent);

  std::unique_ptr<TcxFreeNotificator> FFreeNotificator;
  // The lent control and its saved placement; nullptr when none is lent.
  TControl* FHostedControl = nullptr;
  TWinControl* FSavedParent = nullptr;
  TAlign FSavedAlign = alNone;
  TRect FSavedBounds{};
  bool FSavedVisible = false;
  TBorderStyle FSavedBorderStyle = bsNone;
};

class TcxPopupEdit : public TcxCustomPopupEdit {
  KORVANE_CLASS(TcxPopupEdit, TcxCustomPopupEdit)
  using TcxCustomPopupEdit::TcxCustomPopupEdit;
};

// Registers the combo box and popup editor kinds in the editor kind registry
// (GetEditPropertiesRegistry); repeated calls do nothing. Finalize removes them.
void cxDropDownEditInitialize();
void cxDropDownEditFinalize();
