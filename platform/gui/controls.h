#pragma once
// Controls: TControl (a rectangle inside a parent that takes mouse input and
// paints itself), TWinControl (a control with a window of its own, created
// on first need), TCustomControl (a windowed control with a canvas that
// paints in Paint) and TGraphicControl (a control without a window, painted
// and fed by its parent).
//
// Messages reach a control through WindowProc (replaceable: a caller may
// put its own method in and call the saved one), which is WndProc unless
// replaced; WndProc hands the message to Dispatch, where each class picks
// the numbers it handles (calling inherited::Dispatch for the rest);
// unhandled messages end in DefaultHandler (for a windowed control, the
// window system's default handling).
#include <memory>
#include <vector>

#include "platform/gui/graphics.h"
#include "platform/gui/messages.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/component.h"
#include "platform/rtl/events.h"
#include "platform/rtl/geometry.h"

class TControl;
class TWinControl;
class TCustomForm;
class TDragObject;
class TBasicAction;
class TBasicActionLink;
class TControlActionLink;
// The class of a control's action link (built with the control).
using TControlActionLinkClass = const TConstructorMetaClass<TBasicActionLink, TObject*>*;

// ---- Enumerations and sets ---------------------------------------------------------------

enum TAlign : Integer { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using TAnchors = Cardinal;
enum : Cardinal { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

using TShiftState = Cardinal;
enum : Cardinal { ssShift = 0x1, ssAlt = 0x2, ssCtrl = 0x4, ssLeft = 0x8, ssRight = 0x10, ssMiddle = 0x20, ssDouble = 0x40 };
enum TMouseButton : Integer { mbLeft, mbRight, mbMiddle };

// Cursors by number (Screen->Cursors).
using TCursor = Integer;
enum : TCursor {
  crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22, crSizeNESW = -6,
  crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
  crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
  crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22,
};

// Which scroll bars a scrolling control shows.
enum TScrollStyle : Integer { ssNone, ssHorizontal, ssVertical, ssBoth };

enum TDragMode : Integer { dmManual, dmAutomatic };
enum TDragState : Integer { dsDragEnter, dsDragLeave, dsDragMove };
enum TBorderStyle : Integer { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

using TControlStyle = Cardinal;
enum : Cardinal {
  csAcceptsControls = 0x1, csCaptureMouse = 0x2, csDesignInteractive = 0x4, csClickEvents = 0x8,
  csFramed = 0x10, csSetCaption = 0x20, csOpaque = 0x40, csDoubleClicks = 0x80, csFixedWidth = 0x100,
  csFixedHeight = 0x200, csNoDesignVisible = 0x400, csReplicatable = 0x800, csNoStdEvents = 0x1000,
  csDisplayDragImage = 0x2000, csReflector = 0x4000, csActionClient = 0x8000, csMenuEvents = 0x10000,
  csNeedsBorderPaint = 0x20000, csParentBackground = 0x40000,
};
using TControlState = Cardinal;
enum : Cardinal {
  csLButtonDown = 0x1, csClicked = 0x2, csPalette = 0x4, csReadingState = 0x8, csAlignmentNeeded = 0x10,
  csFocusing = 0x20, csCreating = 0x40, csPaintCopy = 0x80, csCustomPaint = 0x100,
  csDestroyingHandle = 0x200, csDocking = 0x400,
};

// ---- Events ------------------------------------------------------------------------------

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, Integer X, Integer Y)>;
using TKeyEvent = TEvent<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, Char& Key)>;
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, Integer WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = TEvent<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, Integer X, Integer Y)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, Integer X, Integer Y)>;
using TCanResizeEvent = TEvent<void(TObject* Sender, Integer& NewWidth, Integer& NewHeight, bool& Resize)>;

// Shift state from key flags of a mouse message / the keyboard state.
TShiftState KeysToShiftState(WPARAM Keys);
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState KeyboardStateToShiftState();

// Dialog characters: Alt+a letter (or a letter in a control that takes no
// characters) goes to the form as CM_DIALOGCHAR, which visits every control
// (through its parents) until one answers non-zero: the control whose
// caption marks that character ("&x"; "&&" is a literal "&") acts, a label
// by focusing its FocusControl. Case is ignored for ASCII letters.
bool IsAccel(Word VK, const String& Str);
WPARAM ShiftStateToKeys(TShiftState Shift);

// ---- Drag objects ------------------------------------------------------------------------

// The object that travels with a drag of the class library's drag and drop.
class TDragObject : public TObject {
  KORVANE_CLASS(TDragObject, TObject)
  TDragObject() = default;
  // The control or object over which the drag is, and the point (screen).
  TObject* DragTarget() const { return FDragTarget; }
  TPoint DragPos() const { return FDragPos; }
  TPoint DragTargetPos() const { return FDragTargetPos; }  // in the target's client coordinates
  bool Dropped() const { return FDropped; }
  bool Cancelling() const { return FCancelling; }
  // Whether the object frees itself when the drag ends (else the control
  // that started the drag does).
  virtual bool FreesItself() const { return false; }
  virtual TCursor GetDragCursor(bool Accepted, Integer X, Integer Y);
  // Called when the drag has ended (dropped or cancelled).
  virtual void Finished(TObject* Target, Integer X, Integer Y, bool Accepted);
  virtual void HideDragImage() {}
  virtual void ShowDragImage() {}

private:
  friend class TDragManager;
  TObject* FDragTarget = nullptr;
  TPoint FDragPos;
  TPoint FDragTargetPos;
  bool FDropped = false;
  bool FCancelling = false;
};

class TBaseDragControlObject : public TDragObject {
  KORVANE_CLASS(TBaseDragControlObject, TDragObject)
  explicit TBaseDragControlObject(TControl* AControl) : FControl(AControl) {}
  TControl* Control() const { return FControl; }
  void Finished(TObject* Target, Integer X, Integer Y, bool Accepted) override;

private:
  TControl* FControl;
};

class TDragControlObject : public TBaseDragControlObject {
  KORVANE_CLASS(TDragControlObject, TBaseDragControlObject)
  using TBaseDragControlObject::TBaseDragControlObject;
};

// The drag of the class library's drag and drop in progress (nullptr: none).
TDragObject* CurrentDragObject();
// Ends the running drag as not dropped.
void CancelDrag();

// ---- TControl ----------------------------------------------------------------------------

class TControl : public TComponent {
  KORVANE_CLASS(TControl, TComponent)
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // ---- Parent ----
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;
  // The form the control lies on (the innermost form, or the top one with
  // TopForm); nullptr when none.
  TCustomForm* GetParentForm(bool TopForm = true) const;

  // ---- Bounds (parent client coordinates) ----
  Integer Left() const { return FLeft; }
  Integer Top() const { return FTop; }
  Integer Width() const { return FWidth; }
  Integer Height() const { return FHeight; }
  void SetLeft(Integer Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(Integer Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(Integer Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(Integer Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  TRect BoundsRect() const { return TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  // (0, 0, client width, client height).
  virtual TRect ClientRect() const;
  Integer ClientWidth() const { return ClientRect().Right; }
  Integer ClientHeight() const { return ClientRect().Bottom; }
  void SetClientWidth(Integer Value);
  void SetClientHeight(Integer Value);
  // The client area's top-left in screen coordinates.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(const TPoint& Point) const;
  TPoint ScreenToClient(const TPoint& Point) const;
  TPoint ClientToParent(const TPoint& Point, TWinControl* AParent = nullptr) const;
  TPoint ParentToClient(const TPoint& Point, TWinControl* AParent = nullptr) const;
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value) { FAnchors = Value; }

  // ---- Appearance ----
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent visible (and, for windowed roots, shown).
  virtual bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  String Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  // The text (caption) of the control; CM_TEXTCHANGED on a change.
  String Text() const { return GetText(); }
  void SetText(const String& Value);
  String Caption() const { return GetText(); }
  void SetCaption(const String& Value) { SetText(Value); }
  // A menu component shown on a right click (its menu unit shows it, see
  // SetPopupMenuHandler); a freed menu is forgotten.
  TComponent* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TComponent* Value);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }

  // ---- Painting ----
  virtual void Invalidate();
  void InvalidateRect(const TRect& Rect);  // client coordinates
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // ---- Messages ----
  // The replaceable entry of the control's messages (WndProc at first).
  TWndMethod WindowProc;
  LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  // ---- Mouse ----
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);
  TDragMode DragMode() const { return FDragMode; }
  virtual void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  // Starts a drag of the class library's drag and drop: at once, or once
  // the mouse moved Threshold pixels (negative: Mouse->DragThreshold).
  void BeginDrag(bool Immediate, Integer Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const;
  virtual void DragDrop(TObject* Source, Integer X, Integer Y);

  // ---- Events ----
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  TCanResizeEvent OnCanResize;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- Action ----
  // The action whose caption, enabled, hint, visible and click the control
  // shows and runs (see actions.h); nullptr: none. A freed action is dropped.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }

  // Runs OnClick, or the action when OnClick is the action's own handler.
  virtual void Click();
  virtual void DblClick();

  // Updates the control under the mouse (CM_MOUSELEAVE / CM_MOUSEENTER).
  static void SetMouseControl(TControl* Control);
  static TControl* MouseControl();

protected:
  virtual String GetText() const { return FText; }
  virtual void SetTextBuf(const String& Value);
  virtual void Resize();
  virtual bool CanResize(Integer& NewWidth, Integer& NewHeight);
  virtual void ChangeScale(Integer, Integer) {}
  virtual void VisibleChanging() {}
  virtual void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
  // The action (Sender) changed, or was just linked: the control takes its
  // properties; with CheckDefaults only those the control still has at
  // their defaults.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual TControlActionLinkClass GetActionLinkClass() const;
  // Bounds changed: the base moves nothing (windowed controls move their window).
  virtual void UpdateBoundsRect(const TRect&) {}
  void RequestAlign();

  virtual void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual void MouseMove(TShiftState Shift, Integer X, Integer Y);
  virtual bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, const TPoint& MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, const TPoint& MousePos);
  virtual void DoContextPopup(const TPoint& MousePos, bool& Handled);
  virtual void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept);
  virtual void DoStartDrag(TDragObject*& DragObject);
  virtual void DoEndDrag(TObject* Target, Integer X, Integer Y);
  // Cancel-mode for the active control of the form other than Sender.
  void SendCancelMode(TControl* Sender);

  // Message handlers (Dispatch calls them; override and call the inherited one).
  virtual void WMMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  virtual void WMMouseUp(TMessage& Message, TMouseButton Button);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMMouseWheel(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void WMCancelMode(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
  virtual void CMCursorChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMParentShowHintChanged(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);

  void FontChanged(TObject* Sender);
  // Bounds set without any side effect (for the window system's reports).
  void SetBoundsQuiet(const TRect& R);

  TWinControl* FParent = nullptr;
  Integer FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState FControlState = 0;
  String FText;

private:
  friend class TWinControl;
  friend class TDragManager;
  friend class TBaseDragControlObject;
  void MouseWheelHandler(TMessage& Message);
  void DoActionChange(TObject* Sender);

  std::unique_ptr<TControlActionLink> FActionLink;
  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  TCursor FCursor = crDefault;
  String FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TComponent* FPopupMenu = nullptr;
  TDragMode FDragMode = dmManual;
  TCursor FDragCursor = crDrag;
};

// Shows a control's popup menu at a screen point; the menu unit installs
// it. Answers whether a menu showed.
using TPopupMenuHandler = bool (*)(TComponent* Menu, TControl* Control, const TPoint& ScreenPos);
void SetPopupMenuHandler(TPopupMenuHandler Handler);

// ---- TWinControl -------------------------------------------------------------------------

class TWinControl : public TControl {
  KORVANE_CLASS(TWinControl, TControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  // The window goes before any destructor runs, so its last messages still
  // reach the whole object.
  void BeforeDestruction() override;

  // ---- Children ----
  Integer ControlCount() const { return static_cast<Integer>(FControls.size()); }
  TControl* Controls(Integer Index) const { return FControls.at(static_cast<size_t>(Index)); }
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The visible (or any) child at a client point, graphic or windowed;
  // AllLevels descends into windowed children.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false,
                         bool AllLevels = false) const;
  void GetChildren(TGetChildProc Proc, TComponent* Root) override;

  // ---- Window ----
  // The window, created on first use (creating the parents' windows first).
  HWND Handle();
  bool HandleAllocated() const { return FHandle != 0; }
  void HandleNeeded();
  // Destroys and creates the window again (keeping children, focus and state).
  void RecreateWnd();
  // A top-level control may be put into a window that is not a control.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);
  TBrush* Brush() const { return FBrush.get(); }
  bool ParentBackground() const { return (FControlStyle & csParentBackground) != 0; }
  void SetParentBackground(bool Value);
  // The control that owns a window (nullptr for windows of no control).
  static TWinControl* FindControl(HWND Wnd);

  // ---- Focus ----
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  Integer TabOrder() const;
  void SetTabOrder(Integer Value);
  // Windowed children in tab order (all levels), as they stand.
  void GetTabOrderList(std::vector<TWinControl*>& List) const;
  // The say of a control listed in a tab-order list that a focus move walks:
  // it may take controls out of the list (a control that stands for another)
  // or put one in another's place; nothing here.
  virtual void AdjustTabOrderList(std::vector<TWinControl*>& List) const { (void)List; }
  // GetTabOrderList with every listed control's adjustment applied: the
  // controls a focus move may land on.
  void GetAdjustedTabOrderList(std::vector<TWinControl*>& List) const;
  virtual bool CanFocus() const;
  virtual bool Focused() const;
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window"
  // when the control cannot take the focus.
  virtual void SetFocus();
  // The next (or previous) control in tab order after CurControl, among the
  // children of this control; nullptr when none. The walk follows the plain
  // order and lands only on controls of the adjusted list, so a control that
  // left that list still has its place to start from.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  bool ShowingHandle() const;
  bool Showing() const override;

  // ---- Alignment ----
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  void Realign();
  // Re-places the aligned children.
  virtual void AlignControls(TControl* AControl, TRect& Rect);

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void PaintTo(HDC DC, Integer X, Integer Y);

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  // Sends the message to every child control.
  void Broadcast(TMessage& Message);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

protected:
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateHandle();
  virtual void DestroyHandle();
  // The window's messages arrive here and go on to WindowProc, inside the
  // catch boundary.
  void MainWndProc(TMessage& Message);
  // Paints the window: WM_PAINT's canvas, then the graphic children.
  virtual void PaintHandler(TMessage& Message);
  virtual void PaintWindow(HDC DC);
  void PaintControls(HDC DC, TControl* First);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  virtual void KeyPress(Char& Key);
  // The key steps: true when the key was eaten (form preview or handler).
  bool DoKeyDown(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  void UpdateBoundsRect(const TRect& R) override;
  void SetZOrder(bool TopMost);
  void UpdateControlState();
  void ShowControl(TControl* AControl);
  // Mouse messages over a graphic child go to that child.
  bool IsControlMouseMsg(TMessage& Message);
  void UpdateShowing();
  void CMVisibleChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  virtual void CMDialogKey(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CNKeyDown(TMessage& Message);
  virtual void CNKeyUp(TMessage& Message);
  virtual void CNChar(TMessage& Message);
  virtual void WMKeyDown(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  virtual void WMWindowPosChanged(TMessage& Message);
  virtual void WMSetCursor(TMessage& Message);
  virtual void WMNCDestroy(TMessage& Message);
  virtual void WMMouseLeave(TMessage& Message);
  // WM_SYSCOLORCHANGE becomes CM_SYSCOLORCHANGE for the control and all its children.
  virtual void WMSysColorChange(TMessage& Message);
  void CMSysColorChange(TMessage& Message) override;

  HWND FHandle = 0;

private:
  friend class TControl;
  void ResetHandle();
  void DoAlign(TAlign AAlign, TRect& Rect);
  void UpdateChildBounds();

  std::vector<TControl*> FControls;   // z-order of graphic and windowed children, bottom first
  std::vector<TWinControl*> FTabList;  // windowed children in tab order
  std::unique_ptr<TBrush> FBrush;
  HWND FParentWindow = 0;
  bool FTabStop = false;
  Integer FAlignLevel = 0;
  bool FRecreating = false;
  bool FShowing = false;
};

// ---- TCustomControl and TGraphicControl --------------------------------------------------

// The canvas of a control: draws on the control's window (or, for a
// graphic control, on its parent's window at the control's place).
class TControlCanvas : public TCanvas {
  KORVANE_CLASS(TControlCanvas, TCanvas)
  TControlCanvas() = default;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* Value) { FControl = Value; }
  // Takes over the target, origin and clipping of a device context.
  void Attach(HDC DC);
  // Draws on the window outside painting (GetDC) until Release.
  void AttachToWindow();
  void Release();

private:
  TControl* FControl = nullptr;
  HWND FWindowDC = 0;
};

class TCustomControl : public TWinControl {
  KORVANE_CLASS(TCustomControl, TWinControl)
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  // The control's canvas: during Paint it draws on the part being painted.
  TCanvas* Canvas();

protected:
  virtual void Paint();
  void PaintWindow(HDC DC) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

class TGraphicControl : public TControl {
  KORVANE_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* Canvas();

protected:
  virtual void Paint();
  void Dispatch(TMessage& Message) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// ---- TMouse ------------------------------------------------------------------------------

class TMouse : public TObject {
  KORVANE_CLASS(TMouse, TObject)
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& Value);
  // The control holding the mouse capture (nullptr: none of ours).
  TControl* Capture() const;
  void SetCapture(TControl* Value);
  Integer WheelScrollLines() const { return FWheelScrollLines; }
  void SetWheelScrollLines(Integer Value) { FWheelScrollLines = Value; }
  Integer DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(Integer Value) { FDragThreshold = Value; }
  bool WheelPresent() const { return true; }
  bool MousePresent() const { return true; }

private:
  Integer FWheelScrollLines = 3;
  Integer FDragThreshold = 5;
};

extern TMouse* Mouse;

// The control holding the capture (graphic controls too).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control under a screen point (the deepest, graphic controls
// included); nullptr when none.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// The windowed control under a screen point.
TWinControl* FindWindowControl(const TPoint& Pos);
