#pragma once
// The library's base window control and what surrounds it.
//
// TcxControl is the base of every grid-like or editor control of the
// library. It owns a TcxCanvas over its canvas, a look-and-feel, two painted
// scroll bars and a size grip that it lays out itself, a border drawn by the
// painter, the rules for taking the focus on a click, keyboard routing to
// popup menus and mouse-wheel scrolling. Every message it handles runs under
// a destroy guard: a control freed inside its own handler is not touched
// afterwards.
//
// Scroll bars: a descendant answers ComputeScrollBarParams by calling
// SetScrollBarParams for both bars; RecalcScrollBars (run on every size,
// border and scroll-bar setting change) repeats that calculation until the
// visibility of the bars settles, shows and places them, and stops a
// show/hide oscillation between nested passes by showing the bar disabled.
// The bars' scrolling arrives in ScrollContent.
//
// Drag and drop: a left press where StartsDragAndDropAt answers true starts
// the control's own operation (at once, or once the mouse left the drag
// threshold), carried out by the object of DragAndDropObjectClass and ended
// on release (accepted), Esc or a lost capture (not accepted). In automatic
// drag mode a press that the drag detection sees moving starts a drag of the
// class library with a TcxDragControlObject carrying the control's drag
// images. A middle press pans the content while IsScrollingContent.
//
// The unit also holds the settings controller (system metric changes reach
// the controls as CXM_NCSIZECHANGED), the mouse-tracking timers (a control
// learns every 10 ms whether the mouse left an area), popup-menu routines and
// the library's cursors 2100 to 2113.
#include <memory>
#include <vector>

#include "foundation/cxClasses.h"
#include "foundation/cxControlsDragDrop.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "foundation/cxScrollBar.h"
#include "platform/gui/controls.h"
#include "platform/gui/timers.h"

class TcxControl;

// ---------------------------------------------------------------------------
// Values

enum TcxControlBorderStyle : Integer { cxcbsNone, cxcbsDefault };

// The keys a control asks its dialog for (WM_GETDLGCODE).
using TcxControlDialogKeys = Cardinal;
enum : Cardinal { dkAll = 0x1, dkArrows = 0x2, dkChars = 0x4, dkTab = 0x8 };

// The bar the wheel scrolls (TcxControl::WheelScrollBarKind).
enum : Integer { cxWheelScrollNone = 0, cxWheelScrollHorizontal = 1, cxWheelScrollVertical = 2 };

// Directions of TcxControl::ScrollOneStep.
enum TcxDirection : Integer { dirNone = 0, dirLeft = 1, dirRight = 2, dirUp = 3, dirDown = 4 };

// Phase of the control's internal drag and drop.
enum TcxDragAndDropState : Integer { ddsNone, ddsStarting, ddsInProcess };

// The library's cursors (Screen->Cursors).
enum : TCursor {
  crcxDragCopy = 2100,
  crcxFullScroll = 2101,
  crcxHorScroll = 2102,
  crcxVerScroll = 2103,
  crcxUpScroll = 2104,
  crcxRightScroll = 2105,
  crcxDownScroll = 2106,
  crcxLeftScroll = 2107,
  crcxRemove = 2108,
  crcxVertSize = 2109,
  crcxHorzSize = 2110,
  crcxMultiDrag = 2111,
  crcxNoDrop = 2112,
  crcxDrag = 2113,
};

// ---------------------------------------------------------------------------
// Interfaces a component or an object may offer (found with dynamic_cast).

// A menu component of the library's own kind.
class IcxPopupMenu {
public:
  virtual ~IcxPopupMenu() = default;
  // Shows the menu at a screen point.
  virtual void Popup(Integer X, Integer Y) = 0;
  // Whether the key message (CN_KEYDOWN) is one of the menu's shortcuts;
  // a shortcut runs its item.
  virtual bool IsShortCutKey(TMessage& Message) = 0;
};

// A mouse-capture object that is told when it loses the capture.
class IcxMouseCaptureObject {
public:
  virtual ~IcxMouseCaptureObject() = default;
  virtual void DoCancelMode() = 0;
};

// What BeginMouseTracking calls when the mouse left the tracked area. A
// caller that is freed ends its tracking (it is not called afterwards).
class IcxMouseTrackingCaller {
public:
  virtual ~IcxMouseTrackingCaller();
  virtual void MouseLeave() = 0;
};

// A tracking caller that tests the area itself (control coordinates).
class IcxMouseTrackingAreaCaller {
public:
  virtual ~IcxMouseTrackingAreaCaller() = default;
  virtual bool PtInCaller(const TPoint& P) = 0;
};

// Told when the control's font changes.
class IcxFontListener {
public:
  virtual ~IcxFontListener() = default;
  virtual void Changed(TObject* Sender, TFont* AFont) = 0;
};

// ---------------------------------------------------------------------------
// The control's scroll bars and size grip

// The values a scroll-bar calculation leaves for one bar, applied to the bar
// once the calculation settles.
struct TcxScrollBarData {
  Integer Min = 0;
  Integer Max = 100;
  Integer Position = 0;
  Integer PageSize = 0;
  Integer SmallChange = 1;
  Integer LargeChange = 1;
  bool Enabled = true;
  bool Visible = false;
  bool MayShow = true;
  bool AllowHide = true;
};

class TcxControlScrollBar : public TcxScrollBar {
  KORVANE_CLASS(TcxControlScrollBar, TcxScrollBar)
  // clBtnFace, no tab stop, hidden, not framed.
  explicit TcxControlScrollBar(TComponent* AOwner);
  // The pending values of the running calculation.
  TcxScrollBarData Data;
  // Takes the pending values (range, changes, Enabled, Visible).
  void ApplyData();
  bool GetVisible() const { return Visible(); }
  // The control the bar scrolls (set by the control).
  TcxControl* OwnerControl() const { return FOwnerControl; }

protected:
  // A left press focuses the owning control when it wants the focus on a
  // click, else a focusable parent that is not a TcxControl.
  virtual void FocusControlOnMouseDown();
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Dispatch(TMessage& Message) override;

private:
  friend class TcxControl;
  TcxControl* FOwnerControl = nullptr;
};

class TcxSizeGrip : public TCustomControl {
  KORVANE_CLASS(TcxSizeGrip, TCustomControl)
  explicit TcxSizeGrip(TComponent* AOwner);

protected:
  void Paint() override;
};

// ---------------------------------------------------------------------------
// TcxControl

using TcxFocusChangedEvent = TNotifyEvent;

class TcxControl : public TCustomControl {
  KORVANE_CLASS(TcxControl, TCustomControl)
  explicit TcxControl(TComponent* AOwner);
  ~TcxControl() override;
  void BeforeDestruction() override;

  // ---- Settings ----
  TcxControlBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TcxControlBorderStyle Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TcxControlDialogKeys Keys() const { return FKeys; }
  void SetKeys(TcxControlDialogKeys Value) { FKeys = Value; }
  bool FocusOnClick() const { return FFocusOnClick; }
  void SetFocusOnClick(bool Value) { FFocusOnClick = Value; }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }
  // Accepts nullptr, a standard popup menu or a component with IcxPopupMenu
  // (anything else becomes nullptr); a freed menu is forgotten.
  void SetPopupMenu(TComponent* Value);
  // Explicit drawing bounds (empty: the client rectangle).
  TRect ExplicitDrawingBounds() const { return FDrawingBounds; }
  void SetDrawingBounds(const TRect& Value);
  TCursor DefaultCursor() const { return FDefaultCursor; }

  // ---- Canvas ----
  TcxCanvas* cxCanvas() const { return FcxCanvas.get(); }

  // ---- Scroll bars ----
  // The bars and the grip are made with the control and become its children
  // when its window is created; a descendant whose UsesScrollBars answers
  // false loses them then (all three are nullptr from there on).
  TcxControlScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxControlScrollBar* VScrollBar() const { return FVScrollBar; }
  TcxSizeGrip* SizeGrip() const { return FSizeGrip; }
  // Records pending values of one bar during ComputeScrollBarParams.
  void SetScrollBarParams(TScrollBarKind Kind, Integer AMin, Integer AMax, Integer APosition, Integer APageSize,
                          Integer ASmallChange, bool AAllowShow, bool AAllowHide);
  bool IsHScrollBarVisible() const;
  bool IsVScrollBarVisible() const;
  // One line in a direction through ScrollContent.
  void ScrollOneStep(TcxDirection Direction);
  void InvalidateArea(const TRect& R, bool Erase);

  // ---- Mouse capture object ----
  TObject* MouseCaptureObject() const { return FMouseCaptureObject; }
  void SetMouseCaptureObject(TObject* Value);
  bool MouseButtonPressed() const { return FMouseButtonPressed; }
  TPoint MouseDownPos() const { return FMouseDownPos; }

  // ---- Font listeners ----
  void AddFontListener(IcxFontListener* AListener);
  void RemoveFontListener(IcxFontListener* AListener);

  // ---- Drag and drop ----
  TcxDragAndDropState DragAndDropState() const { return FDragAndDropState; }
  // Ends the control's own drag and drop (accepted or not); guarded against
  // re-entry.
  virtual void FinishDragAndDrop(bool Accepted);
  // The drag-and-drop steps of a press and a move: MouseDown calls the
  // first before BeforeMouseDown (the base ends any drag and drop as not
  // accepted), MouseMove the second after setting the cursor (the base does
  // nothing). The drag-and-drop unit starts and follows the operation here.
  virtual void DragAndDropMouseDown(TMouseButton Button, TShiftState Shift, const TPoint& P);
  virtual void DragAndDropMouseMove(TShiftState Shift, const TPoint& P);
  // Whether the control draws images for the class library's drags.
  virtual bool ProvidesDragImages() { return false; }
  // The class of the drag-and-drop object: the one a descendant set, else
  // TcxDragAndDropObject.
  virtual TcxDragAndDropObjectClass DragAndDropObjectClass();
  void SetDragAndDropObjectClass(TcxDragAndDropObjectClass Value) { FDragAndDropObjectClass = Value; }
  // The object of the running drag and drop, made on first use (the control
  // owns it; it is freed when drag and drop finishes).
  TcxDragAndDropObject* GetDragAndDropObject();
  TcxDragAndDropObject* DragAndDropObject() const { return FDragAndDropObject.get(); }
  // Whether a left press at P (control coordinates) may start drag and drop
  // (false in the base).
  virtual bool StartsDragAndDropAt(const TPoint&) { return false; }
  // Begins the operation: the object begins, the mouse is captured, the
  // screen cursor is saved, the phase becomes in process.
  virtual void StartDragAndDrop(const TPoint& P);
  // One move of the running operation (forwards to the object).
  virtual void DoDragAndDrop(const TPoint& P, bool& Accepted);
  // Ends the running operation: idle, cursor given back, capture released,
  // the object ends.
  virtual void EndDragAndDrop(bool Accepted);
  // A change to idle outside FinishDragAndDrop ends the mouse operation.
  virtual void SetDragAndDropPhase(TcxDragAndDropState Value);
  // The cursor saved when the operation began.
  TCursor DragAndDropPrevCursor() const { return FDragAndDropPrevCursor; }

  // ---- Class-library drag and drop ----
  virtual TcxDragControlObjectClass DragControlObjectClass();
  virtual bool AcceptsStartDrag(TDragObject* /*DragObject*/) { return true; }
  virtual TComponentClass DragImageListClass();
  virtual TSize DragImageSize() { return TSize{0, 0}; }
  virtual void DrawDragImage(TcxCanvas* /*ACanvas*/, const TRect& /*R*/) {}
  // Fills the list with one image of DragImageSize drawn by DrawDragImage.
  virtual void BuildDragImages(TcxDragImageList* AList);
  // With ProvidesDragImages: the list, built once until the drag ends;
  // else nullptr.
  TcxDragImageList* GetDragImages();

  bool IsDestroying() const { return TComponent::IsDestroying(); }
  bool IsScrollingContent() const { return FScrollingContent; }

  // ---- Virtual operations ----
  virtual bool ShowPopupMenu(TComponent* AMenu, Integer X, Integer Y);
  virtual void ParentBackgroundChanged() {}
  virtual void PrepareMouseDown(TMouseButton Button, Integer X, Integer Y);
  virtual bool AllowsDesignTimeDrag(Integer, Integer, TShiftState) { return true; }
  virtual void BeforeMouseDown(TMouseButton, TShiftState, Integer, Integer) {}
  virtual void AfterMouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y);
  virtual bool FocusWhenClicked();
  virtual bool WantsFocusOnClick() { return FocusWhenClicked(); }
  virtual Integer BorderThickness();
  virtual TRect DrawingBounds();
  virtual TRect ContentBounds();
  virtual TCursor CursorAt(Integer X, Integer Y);
  virtual bool InDesignMode() const { return IsDesigning(); }
  virtual bool HasFocus() { return Focused(); }
  virtual Integer WheelScrollBarKind();
  virtual bool ErasesBackground() { return false; }
  virtual void InitScrollBarsParent();
  virtual bool IsOwnScrollControl(TControl* AControl) const;
  virtual TcxCustomLookAndFeelPainterClass PainterClass() const;
  virtual void ApplyLookAndFeelChange(TcxLookAndFeel* /*Sender*/, TcxLookAndFeelValues /*AChanged*/) {}
  virtual TRect HScrollBarBounds();
  virtual TRect SizeGripBounds();
  virtual TRect VScrollBarBounds();
  virtual void ComputeScrollBarParams() {}
  virtual bool CanReclaimScrollBarSpace(TScrollBarKind) { return false; }
  virtual bool UsesScrollBars() { return true; }
  virtual void ScrollContent(TScrollBarKind /*AKind*/, TScrollCode /*AScrollCode*/, Integer& /*AScrollPos*/) {}
  virtual void PlaceScrollBars();
  virtual void RecalcScrollBars();
  virtual bool CanFocusNow();
  virtual bool StillInDragArea(Integer X, Integer Y);

  // ---- Message-like operations ----
  virtual void HandleColorChange() {}
  virtual void HandleVisibleChange() {}
  virtual void AddChildComponent(TComponent*) {}
  virtual void RemoveChildComponent(TComponent*) {}
  virtual bool AllowsClickWithoutFocus() { return false; }
  virtual void SizeOrBorderChanged() { RecalcScrollBars(); }
  virtual bool CanStartAutoDrag() { return FDragAndDropState == ddsNone; }
  virtual void HandleCursorChange();
  virtual void EndMouseOperation();
  virtual void HandleFocusChange();
  virtual void HandleFontChange();
  virtual bool HitTestAtDesignTime(Integer X, Integer Y, TShiftState Shift);
  virtual bool MayFocus() { return true; }
  virtual void HandleMouseEnter(TControl* AControl);
  virtual void HandleMouseLeave(TControl* AControl);
  virtual void HandleTextChange() {}

  // ---- Events ----
  TcxFocusChangedEvent OnFocusChanged;

  void WndProc(TMessage& Message) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Resize() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) override;
  void DoContextPopup(const TPoint& MousePos, bool& Handled) override;
  void WMContextMenu(TMessage& Message) override;
  // The key and button-up steps of the class library, guarded: nothing runs
  // on once a handler freed the control.
  void WMKeyDown(TMessage& Message) override;
  void WMKeyUp(TMessage& Message) override;
  void WMChar(TMessage& Message) override;
  void WMMouseUp(TMessage& Message, TMouseButton Button) override;
  void WMCancelMode(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMCursorChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

  virtual void CreateScrollBars();
  virtual void DestroyScrollBars();
  void SetDragAndDropState(TcxDragAndDropState Value) { SetDragAndDropPhase(Value); }
  // Supplies the library's drag object (with the drag images) when none was
  // given; a refused start frees it and cancels the drag.
  void DoStartDrag(TDragObject*& DragObject) override;
  // Frees the drag images.
  void DoEndDrag(TObject* Target, Integer X, Integer Y) override;

private:
  void AfterMessage(TMessage& Message);
  void PaintWithDragImageHidden(TMessage& Message);
  void BarScroll(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos);
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged);
  void HandleNCSizeChanged();
  bool HandlePopupMenuKey(TMessage& Message);
  void ComputeScrollBarParamsUntilStable();
  void ReclaimScrollBarSpace();
  bool ApplyPendingScrollBarParams(bool ANested);
  TPoint MessagePoint(const TMessage& Message);

  std::unique_ptr<TcxCanvas> FcxCanvas;
  TcxControlBorderStyle FBorderStyle = cxcbsNone;
  TRect FDrawingBounds{};
  TCursor FDefaultCursor = crDefault;
  bool FSettingCursor = false;
  TcxDragAndDropState FDragAndDropState = ddsNone;
  bool FFinishingDragAndDrop = false;
  bool FFocusOnClick = true;
  std::vector<IcxFontListener*> FFontListeners;
  TcxControlScrollBar* FHScrollBar = nullptr;
  TcxControlScrollBar* FVScrollBar = nullptr;
  TcxSizeGrip* FSizeGrip = nullptr;
  TcxControlDialogKeys FKeys = 0;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  TObject* FMouseCaptureObject = nullptr;
  TPoint FMouseDownPos;
  bool FMouseButtonPressed = false;
  TScrollStyle FScrollBars = ssBoth;
  bool FLastParentBackground = true;
  bool FCalculatingScrollBarsParams = false;
  bool FUpdatingScrollBars = false;
  bool FInitialScrollBarsParams = false;
  bool FInitialHScrollBarVisible = false;
  bool FInitialVScrollBarVisible = false;
  Integer FScrollBarsNesting = 0;
  bool FScrollingContent = false;
  std::unique_ptr<TcxDragAndDropObject> FDragAndDropObject;
  TcxDragAndDropObjectClass FDragAndDropObjectClass = nullptr;
  TCursor FDragAndDropPrevCursor = crDefault;
  std::unique_ptr<TcxDragImageList> FDragImages;
};

// A component that belongs to a TcxControl: binding it to the control tells
// the control (AddChildComponent), destroying it unbinds it.
class TcxControlChildComponent : public TcxComponent {
  KORVANE_CLASS(TcxControlChildComponent, TcxComponent)
  explicit TcxControlChildComponent(TComponent* AOwner) : TcxComponent(AOwner) {}
  ~TcxControlChildComponent() override;
  TcxControl* Control() const { return FControl; }
  void SetControl(TcxControl* Value);
  TComponent* GetParentComponent() const override { return FControl; }
  bool HasParent() const override { return FControl != nullptr; }
  void SetParentComponent(TComponent* Value) override;

private:
  TcxControl* FControl = nullptr;
};

// ---------------------------------------------------------------------------
// Settings controller: a hidden window hears the change of the non-client
// metrics (WM_SETTINGCHANGE with SPI_SETNONCLIENTMETRICS) and sends
// CXM_NCSIZECHANGED to every listed control that has a window.

class TcxSettingsController : public TObject {
  KORVANE_CLASS(TcxSettingsController, TObject)
  TcxSettingsController() = default;
  ~TcxSettingsController() override;
  void AddListener(TWinControl* AListener);
  void RemoveListener(TWinControl* AListener);
  Integer ListenerCount() const { return static_cast<Integer>(FListeners.size()); }
  // The hidden window (0 while nothing listens).
  HWND Handle() const { return FWindow; }
  void WndProc(TMessage& Message);

private:
  std::vector<TWinControl*> FListeners;
  HWND FWindow = 0;
};

// The controller, created on first use.
TcxSettingsController* cxSettingsController();

// ---------------------------------------------------------------------------
// Mouse tracking

// Starts a 10 ms timer that watches the cursor: once it leaves Bounds
// (control coordinates; or the caller's own test when it offers
// IcxMouseTrackingAreaCaller) the control is sent CM_MOUSELEAVE when the
// cursor is outside its client area, the caller's MouseLeave is called and
// tracking ends. Nothing when the caller is already tracked.
void BeginMouseTracking(TWinControl* AControl, const TRect& Bounds, IcxMouseTrackingCaller* ACaller);
void EndMouseTracking(IcxMouseTrackingCaller* ACaller);
bool IsMouseTracking(IcxMouseTrackingCaller* ACaller);
Integer MouseTrackingCount();

// ---------------------------------------------------------------------------
// Routines

Cardinal GetDoubleClickInterval();
TRect GetMonitorWorkArea(const TPoint& P);
TPoint GetMouseCursorPos();
bool IsCtrlKeyDown();
// True when both |X - Start.X| and |Y - Start.Y| are below Mouse->DragThreshold.
bool WithinDragThreshold(const TPoint& Start, Integer X, Integer Y);
TPoint MapPointBetweenWindows(const TPoint& P, HWND From, HWND To);
TRect MapRectBetweenWindows(const TRect& R, HWND From, HWND To);
// Forms are built in code here: there is no designer to tell.
void MarkDesignerModified(TComponent*);
Word TranslateVirtualKey(Word AKey);
bool IsComponentLoading(TComponent* AComponent);
// Whether the component is a menu this unit can show: one with IcxPopupMenu
// or a standard popup menu (a class named TPopupMenu or derived from one).
bool IsPopupMenuComponent(TComponent* AComponent);
// Shows a menu at a screen point through IcxPopupMenu; answers whether it
// showed. Standard menus are shown by the class library's menu unit.
bool ShowPopupMenuAt(TControl* AControl, TComponent* AMenu, Integer X, Integer Y);
// Offers a key message to the menu's shortcuts; answers whether one took it.
bool HandlePopupMenuShortCut(TComponent* AMenu, TMessage& Message);

// ---------------------------------------------------------------------------
// Unit start-up and finalisation

// Registers the library's cursors 2100 to 2113 in Screen->Cursors (once;
// TcxControl's constructor calls it).
void cxControlsInitialize();
// Ends any tracking still running (a caller left at shutdown is no fault
// of the user's) and frees the settings controller.
void cxControlsFinalize();
