#pragma once
// The container control and its styles.
//
// TcxContainer is the base of every editor and list box: a TcxControl that
// may host one inner window control (an edit or list box window) and paints
// its own border, background and shadow from a computed view info.
//
// Its look in each state (normal, focused, disabled, hot) comes from four
// styles (TcxContainerStyles). Each value of a style resolves as: the
// style's own assigned value, else the same value of the style controller's
// style for the same state (controllers may chain), else a default derived
// from the look-and-feel and the master (normal-state) style. A style in
// direct mode only holds what it is given and answers fixed values for the
// rest.
//
// The container keeps its state (normal, active, disabled, hot-tracked) up to
// date from focus, enabling and the mouse, recomputes the view info, places
// and colours the inner control, sets its window region and repaints.
//
// Class references: a descendant that answers other classes from
// StyleClass, StateStyleClass, StylesClass or ViewInfoClass calls
// RecreateStylesAndViewInfo at the start of its constructor body (virtual
// calls made by the base constructor reach the base's answers only).
#include <memory>
#include <vector>

#include "foundation/cxControls.h"
#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/gui/controls.h"
#include "platform/gui/regions.h"
#include "platform/rtl/component.h"
#include "platform/rtl/object.h"

class TcxContainer;
class TcxCustomContainerStyle;
class TcxContainerStyles;
class TcxStyleController;
class TcxContainerViewInfo;

// ---------------------------------------------------------------------------
// Values

enum TcxContainerBorderStyle : Integer { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };

// Style values: numbers 0 to 31; a set holds bit (1 << value).
using TcxContainerStyleValue = Integer;
enum : TcxContainerStyleValue {
  csvBorderColor = 0,
  csvBorderStyle = 1,
  csvColor = 2,
  csvEdges = 3,
  csvFont = 4,
  csvHotTrack = 5,
  csvShadow = 6,
  csvTextColor = 7,
  csvTextStyle = 8,
  csvTransparentBorder = 9,
};
inline constexpr Integer cxContainerStyleValueCount = 10;
using TcxContainerStyleValues = Cardinal;
constexpr TcxContainerStyleValues StyleValueBit(TcxContainerStyleValue AValue) {
  return TcxContainerStyleValues(1) << AValue;
}

// The state a style is for (index into TcxContainerStyles).
enum TcxContainerStateIndex : Integer { cxsiNormal = 0, cxsiFocused = 1, cxsiDisabled = 2, cxsiHot = 3 };
inline constexpr Integer cxContainerStateCount = 4;

// The container's state set (ViewState).
using TcxContainerState = Cardinal;
enum : TcxContainerState { csNormal = 1, csActive = 2, csDisabled = 4, csHotTrack = 8 };

// Hot stage: 0 no hot tracking, 1 hot tracking possible, 2 hot (active or hot-tracked).
using TcxContainerHotState = Integer;

// The width of the shadow at the right and the bottom.
inline constexpr Integer cxContainerShadowWidth = 3;

// ---------------------------------------------------------------------------
// Class references

using TcxContainerStyleMetaClass = TConstructorMetaClass<TcxCustomContainerStyle, TPersistent*, bool>;
using TcxContainerStyleClass = const TcxContainerStyleMetaClass*;

using TcxContainerStylesMetaClass =
    TConstructorMetaClass<TcxContainerStyles, TPersistent*, TcxContainerStyleClass, TcxContainerStyleClass>;
using TcxContainerStylesClass = const TcxContainerStylesMetaClass*;

using TcxContainerViewInfoClass = const TMetaClass*;

// ---------------------------------------------------------------------------
// TcxCustomContainerStyle

class TcxCustomContainerStyle : public TPersistent {
public:
  using MetaClass = TcxContainerStyleMetaClass;
  KORVANE_CLASS(TcxCustomContainerStyle, TPersistent)

  // AOwner: a container, a style controller, a popup window (or nullptr).
  // In direct mode the style holds only what it is given (no font of its
  // own, no look-and-feel, no notices).
  TcxCustomContainerStyle(TPersistent* AOwner, bool ADirectAccessMode);
  ~TcxCustomContainerStyle() override;

  // From another container style (see the data model); other sources:
  // inherited.
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }

  // ---- Structure ----
  TPersistent* Owner() const { return FOwner; }
  // The owner when it is a container, else nullptr.
  TcxContainer* OwnerContainer() const;
  // nullptr for the normal-state (master) style.
  TcxCustomContainerStyle* MasterStyle() const { return FMasterStyle; }
  // Makes the style a state style of Value (drops its own font and look-and-feel).
  void SetMasterStyle(TcxCustomContainerStyle* Value);
  bool IsMasterStyle() const { return FMasterStyle == nullptr; }
  TcxContainerStateIndex State() const { return FState; }
  void SetState(TcxContainerStateIndex Value) { FState = Value; }
  bool DirectAccessMode() const { return FDirectAccessMode; }

  // ---- Update bracket and notices ----
  void BeginUpdate() { ++FUpdateCount; }
  // The last EndUpdate notifies once when something changed meanwhile.
  void EndUpdate();
  bool IsDestroying() const { return FIsDestroying; }
  TNotifyEvent OnChanged;

  // ---- Values ----
  TcxContainerStyleValues AssignedValues() const;
  void SetAssignedValues(TcxContainerStyleValues Value);
  TColor BorderColor() const;
  void SetBorderColor(TColor Value);
  TcxContainerBorderStyle BorderStyle() const;
  void SetBorderStyle(TcxContainerBorderStyle Value);
  // The colour property (GetColor).
  TColor Color() const { return GetColor(); }
  void SetColor(TColor Value);
  TcxBorders Edges() const;
  void SetEdges(TcxBorders Value);
  // The resolved font (the master's for state styles).
  TFont* Font() const;
  void SetFont(TFont* Value);
  bool HotTrack() const;
  void SetHotTrack(bool Value);
  bool Shadow() const;
  void SetShadow(bool Value);
  TColor TextColor() const { return GetTextColor(); }
  void SetTextColor(TColor Value);
  TFontStyles TextStyle() const { return GetTextStyle(); }
  void SetTextStyle(TFontStyles Value);
  bool TransparentBorder() const;
  void SetTransparentBorder(bool Value);
  // The master's look-and-feel (nullptr in direct mode).
  TcxLookAndFeel* LookAndFeel() const;
  void SetLookAndFeel(TcxLookAndFeel* Value);
  // The font the style shows: the resolved font in TextColor and TextStyle.
  TFont* GetVisibleFont() const;

  // ---- Style controller ----
  // nullptr when the controller is the default one.
  TcxStyleController* StyleController() const;
  // nullptr means the default controller. A controller that would close a
  // loop is silently refused.
  void SetStyleController(TcxStyleController* Value);
  // The controller values come from (the master's; the default one when
  // none is set; nullptr when none).
  TcxStyleController* ActiveStyleController() const;

  // ---- Virtual operations ----
  virtual void Changed();
  // The controller's styles changed: the font is refreshed, then Changed.
  virtual void ControllerChanged();
  // The controller is being freed: dropped when it is the active one.
  virtual void ControllerFreed(TcxStyleController* AStyleController);
  virtual TColor DefaultBorderColor() const;
  virtual TcxContainerBorderStyle DefaultBorderStyle() const;
  virtual TColor DefaultColor() const;
  virtual TcxBorders DefaultEdges() const { return cxAllBorders; }
  virtual bool DefaultHotTrack() const { return true; }
  virtual bool DefaultShadow() const { return false; }
  virtual TColor DefaultTextColor() const;
  virtual TFontStyles DefaultTextStyle() const;
  virtual bool DefaultTransparentBorder() const { return true; }
  virtual void FontChanged(TObject* Sender);
  // The colour property: for a master in a container with ParentColor on
  // and a parent, the parent's colour.
  virtual TColor GetColor() const;
  virtual TcxStyleController* DefaultStyleController() const { return nullptr; }
  // The resolved colour; the parent's colour only for such a master that is
  // not in FullBoundsMode.
  virtual TColor EffectiveColor() const;
  virtual TColor GetTextColor() const;
  virtual TFontStyles GetTextStyle() const;
  virtual Integer StyleValueCount() const { return cxContainerStyleValueCount; }
  // Raises EListError above the last value.
  virtual String NameOfStyleValue(TcxContainerStyleValue AValue) const;
  virtual bool BorderAllowed() const;
  // Whether the value is assigned here or along the controller chain.
  virtual bool IsValueAssigned(TcxContainerStyleValue AValue) const;
  virtual void RestoreDefaults();

protected:
  // The own bit of a value.
  bool HasOwnValue(TcxContainerStyleValue AValue) const { return (FAssignedValues & StyleValueBit(AValue)) != 0; }
  void IncludeValue(TcxContainerStyleValue AValue) { FAssignedValues |= StyleValueBit(AValue); }
  void ExcludeValue(TcxContainerStyleValue AValue) { FAssignedValues &= ~StyleValueBit(AValue); }
  // The controller's style for this style's state (nullptr: none).
  TcxCustomContainerStyle* ControllerStyle() const;
  // The master style (this one for the master).
  const TcxCustomContainerStyle* Master() const { return FMasterStyle ? FMasterStyle : this; }
  TcxCustomContainerStyle* Master() { return FMasterStyle ? FMasterStyle : this; }
  // Copies the controller's resolved font into the own font when the font
  // is not assigned here.
  void RefreshFont();

private:
  friend class TcxStyleController;
  friend class TcxContainer;
  template <class T>
  bool Resolve(TcxContainerStyleValue AValue, T TcxCustomContainerStyle::*AField, T& AResult) const;
  bool ResolveFont(TFont*& AResult) const;
  bool ParentColorApplies() const;
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged);
  bool LeadsToThis(TcxStyleController* AController) const;

  TPersistent* FOwner;
  TcxCustomContainerStyle* FMasterStyle = nullptr;
  TcxContainerStateIndex FState = cxsiNormal;
  bool FDirectAccessMode;
  TcxContainerStyleValues FAssignedValues = 0;
  TColor FBorderColor = clWindowFrame;
  TcxContainerBorderStyle FBorderStyle = cbsNone;
  TColor FColor = clWindow;
  TcxBorders FEdges = cxAllBorders;
  bool FHotTrack = true;
  bool FShadow = false;
  TColor FTextColor = clWindowText;
  TFontStyles FTextStyle = 0;
  bool FTransparentBorder = true;
  std::unique_ptr<TFont> FOwnFont;
  TFont* FFont = nullptr;  // the own font, or the borrowed one in direct mode
  std::unique_ptr<TFont> FVisibleFont;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  TcxStyleController* FStyleController = nullptr;
  Integer FUpdateCount = 0;
  bool FModified = false;
  bool FIsDestroying = false;
  Integer FFontRefreshLock = 0;
};

// The normal-state style of containers and controllers.
class TcxContainerStyle : public TcxCustomContainerStyle {
  KORVANE_CLASS(TcxContainerStyle, TcxCustomContainerStyle)
  using TcxCustomContainerStyle::TcxCustomContainerStyle;
};

// The focused, disabled and hot styles.
class TcxContainerStyleEx : public TcxCustomContainerStyle {
  KORVANE_CLASS(TcxContainerStyleEx, TcxCustomContainerStyle)
  using TcxCustomContainerStyle::TcxCustomContainerStyle;
};

// ---------------------------------------------------------------------------
// TcxContainerStyles: the four styles normal, focused, disabled, hot.

class TcxContainerStyles : public TObject {
public:
  using MetaClass = TcxContainerStylesMetaClass;
  KORVANE_CLASS(TcxContainerStyles, TObject)

  TcxContainerStyles(TPersistent* AOwner, TcxContainerStyleClass AStyleClass, TcxContainerStyleClass AStateStyleClass);
  ~TcxContainerStyles() override;

  TcxCustomContainerStyle* GetStyleByState(TcxContainerStateIndex AState) const { return FStyles[AState]; }
  TcxCustomContainerStyle* Style() const { return FStyles[cxsiNormal]; }
  TcxCustomContainerStyle* StyleFocused() const { return FStyles[cxsiFocused]; }
  TcxCustomContainerStyle* StyleDisabled() const { return FStyles[cxsiDisabled]; }
  TcxCustomContainerStyle* StyleHot() const { return FStyles[cxsiHot]; }
  // The setters assign into the existing styles.
  void SetStyle(TcxCustomContainerStyle* Value) { FStyles[cxsiNormal]->Assign(Value); }
  void SetStyleFocused(TcxCustomContainerStyle* Value) { FStyles[cxsiFocused]->Assign(Value); }
  void SetStyleDisabled(TcxCustomContainerStyle* Value) { FStyles[cxsiDisabled]->Assign(Value); }
  void SetStyleHot(TcxCustomContainerStyle* Value) { FStyles[cxsiHot]->Assign(Value); }
  // Sets the change handler of all four.
  void SetOnChanged(const TNotifyEvent& Value);

private:
  TcxCustomContainerStyle* FStyles[cxContainerStateCount] = {};
};

// ---------------------------------------------------------------------------
// TcxStyleController: styles shared by many containers.

class TcxStyleController : public TComponent {
  KORVANE_CLASS(TcxStyleController, TComponent)
  explicit TcxStyleController(TComponent* AOwner);
  // Tells every listener ControllerFreed.
  ~TcxStyleController() override;
  void BeforeDestruction() override;
  void Loaded() override;

  // Adds a style once; the controller's normal look-and-feel becomes the
  // master of the style's look-and-feel.
  void AddListener(TcxCustomContainerStyle* AStyle);
  // Removes a listed style and clears that master.
  void RemoveListener(TcxCustomContainerStyle* AStyle);
  Integer ListenerCount() const { return static_cast<Integer>(FListeners.size()); }
  bool HasListener(const TcxCustomContainerStyle* AStyle) const;

  TcxContainerStyles* Styles() const { return FStyles.get(); }
  TcxCustomContainerStyle* Style() const { return FStyles->Style(); }
  TcxCustomContainerStyle* StyleFocused() const { return FStyles->StyleFocused(); }
  TcxCustomContainerStyle* StyleDisabled() const { return FStyles->StyleDisabled(); }
  TcxCustomContainerStyle* StyleHot() const { return FStyles->StyleHot(); }
  void SetStyle(TcxCustomContainerStyle* Value) { FStyles->SetStyle(Value); }
  void SetStyleFocused(TcxCustomContainerStyle* Value) { FStyles->SetStyleFocused(Value); }
  void SetStyleDisabled(TcxCustomContainerStyle* Value) { FStyles->SetStyleDisabled(Value); }
  void SetStyleHot(TcxCustomContainerStyle* Value) { FStyles->SetStyleHot(Value); }
  bool IsDestroyingController() const { return FIsDestroying; }

  TNotifyEvent OnStyleChanged;

  virtual TcxContainerStyleClass StyleClass() const { return TcxContainerStyle::StaticClass(); }
  virtual TcxContainerStyleClass StateStyleClass() const { return TcxContainerStyleEx::StaticClass(); }

protected:
  // Recreates the styles from StyleClass and StateStyleClass (descendants
  // with other classes call it in their constructor).
  void RecreateStyles();
  // OnStyleChanged, then (unless destroying) ControllerChanged on every
  // listener.
  virtual void StyleChanged(TObject* Sender);

private:
  void NotifyListenersFreed();
  std::vector<TcxCustomContainerStyle*> FListeners;
  std::unique_ptr<TcxContainerStyles> FStyles;
  bool FIsDestroying = false;
};

// ---------------------------------------------------------------------------
// TcxContainerViewInfo: what the container paints.

class TcxContainerViewInfo : public TObject {
  KORVANE_CLASS(TcxContainerViewInfo, TObject)
  TcxContainerViewInfo() = default;

  TColor BackgroundColor = clWindow;  // the fill colour
  TColor BorderColor = clWindowFrame;  // the frame colour
  Integer BorderWidth = 0;             // the frame width
  TcxContainerBorderStyle BorderStyle = cbsNone;  // the frame style
  TRect Bounds{};
  TRect BorderRect{};  // inside the border
  TRect ClientRect{};
  TcxContainerState ContainerState = csNormal;  // the ViewState
  TcxContainerHotState HotState = 0;           // the HotStage
  TcxBorders Edges = cxAllBorders;             // sides
  bool Shadow = false;
  bool NativeStyle = false;
  Integer ThemeClass = 0;
  Integer ThemePart = 0;
  Integer ThemeState = 0;

  virtual void PaintContainerBorder(TcxCanvas* ACanvas, const TRect& ARect);
  virtual TcxContainerBorderStyle GetBorderStyle() const { return BorderStyle; }
  virtual void PaintBackground(TcxCanvas* ACanvas);
  virtual void SetBackgroundColor(TColor Value) { BackgroundColor = Value; }
  // Copies the client rect of another view info.
  virtual void Assign(TObject* Source);
  // A new empty region (owned by the caller).
  virtual TcxRegion* CreateRepaintRegion(TcxContainerViewInfo* AOther);
  virtual void MoveBy(Integer DX, Integer DY);
  virtual void Render(TcxCanvas* ACanvas) { PaintBackground(ACanvas); }

protected:
  void PaintNativeBackground(TcxCanvas* ACanvas);
};

// ---------------------------------------------------------------------------
// A window control that lives inside a container tells which one.

class IcxContainerInnerControl {
public:
  virtual ~IcxContainerInnerControl() = default;
  virtual TWinControl* GetControl() = 0;
  virtual TcxContainer* GetControlContainer() = 0;
};

// ---------------------------------------------------------------------------
// TcxContainer

// ARoot's windowed children in tab order (all levels), with each control in
// the list allowed to adjust it (AdjustTabOrderList).
void cxGetTabOrderList(const TWinControl* ARoot, std::vector<TWinControl*>& AList);
// Focuses the tab stop after (AForward) or before ACurrent in ARoot's
// adjusted tab order, going round at the ends; false when there is none
// other than ACurrent.
bool cxSelectNextControl(TWinControl* ARoot, TWinControl* ACurrent, bool AForward);

class TcxContainer : public TcxControl {
  KORVANE_CLASS(TcxContainer, TcxControl)
  explicit TcxContainer(TComponent* AOwner);
  ~TcxContainer() override;
  void BeforeDestruction() override;

  // ---- Styles ----
  TcxContainerStyles* Styles() const { return FStyles.get(); }
  TcxCustomContainerStyle* Style() const { return FStyles->Style(); }
  TcxCustomContainerStyle* StyleFocused() const { return FStyles->StyleFocused(); }
  TcxCustomContainerStyle* StyleDisabled() const { return FStyles->StyleDisabled(); }
  TcxCustomContainerStyle* StyleHot() const { return FStyles->StyleHot(); }
  void SetStyle(TcxCustomContainerStyle* Value) { FStyles->SetStyle(Value); }
  void SetStyleFocused(TcxCustomContainerStyle* Value) { FStyles->SetStyleFocused(Value); }
  void SetStyleDisabled(TcxCustomContainerStyle* Value) { FStyles->SetStyleDisabled(Value); }
  void SetStyleHot(TcxCustomContainerStyle* Value) { FStyles->SetStyleHot(Value); }
  TcxCustomContainerStyle* GetStyle() const { return Style(); }
  // The style of the current state: disabled, else focused, else hot, else
  // normal (cached until the state changes).
  TcxCustomContainerStyle* GetActiveStyle();
  TcxContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }

  // ---- Inner control ----
  TWinControl* InnerControl() const { return FInnerControl; }
  // The container does not own the inner control (its owner frees it); a
  // freed inner control is forgotten. The container puts its own method in
  // front of the inner control's WindowProc (PreviewInnerMessage first; its
  // focus changes refresh the container) and takes it out again when the
  // inner control is replaced.
  void SetInnerControl(TWinControl* Value);

  // ---- State ----
  // False at design time; true when the container or its inner control has
  // the focus.
  bool Focused() const override;
  // Button-less state update at the cursor position.
  void RefreshContainer();
  void RefreshContainer(const TPoint& P, Integer AButton, TShiftState AShift, bool AIsMouseEvent);
  void UpdateWindowRegion();
  // The region last given to the window (nullptr: none); owned by the container.
  HRGN CurrentWindowRegion() const { return FWindowRegion; }
  bool IsContainerDestroying() const { return FIsDestroying || IsDestroying(); }
  void SetFocus() override;
  void SetDragMode(TDragMode Value) override;
  // Lock of the context popup (while locked, context requests are dropped).
  void LockContextPopup() { ++FContextPopupLock; }
  void UnlockContextPopup() { --FContextPopupLock; }

  // ---- Virtual operations ----
  virtual void SyncInnerControl();
  virtual void Recalculate(const TPoint& P, bool AHotTrackingAllowed);
  virtual bool IsContextPopupPoint(const TPoint&) { return true; }
  virtual void ResetInnerRegion();
  virtual void ApplyStyle(TObject* Sender);
  virtual void ContainerStyleChanged() {}
  virtual void InnerControlChanged() {}
  virtual bool DefaultColorIsButtonFace() const { return false; }
  virtual void MouseTrackingLeave();
  virtual TRect ContentMargins();
  // The part of the inner control's local rect inside AArea (inner
  // coordinates); false when the inner control is not cut.
  virtual bool ClipInnerControlRect(const TRect& AArea, TRect& AClipRect);
  virtual TRect GetWindowRegionRect();
  virtual TcxContainerStyleClass StyleClass() const { return TcxContainerStyle::StaticClass(); }
  virtual TcxContainerStyleClass StateStyleClass() const { return TcxContainerStyleEx::StaticClass(); }
  virtual TcxContainerStylesClass StylesClass() const { return TcxContainerStyles::StaticClass(); }
  virtual TcxContainerViewInfoClass ViewInfoClass() const { return TcxContainerViewInfo::StaticClass(); }
  virtual TRect TrackingRect();
  virtual bool HasShadow();
  virtual TcxCustomContainerStyle* StyleForState(TcxContainerState AState);
  virtual bool InnerRegionChanged(bool AHasRegion, const TRect& AClipRect);
  virtual bool KeepsOwnTabOrder() const { return false; }
  virtual bool FullBoundsMode() const { return false; }
  virtual bool RefreshOnMove() { return false; }
  // AButton: the container button code of a pressed button (0: none).
  virtual void HandleStateChange(const TPoint& P, Integer AButton, bool ARefresh, TShiftState AShift);
  virtual void SaveInnerRegion(bool AHasRegion, const TRect& AClipRect);
  virtual void SyncScrollBars();
  virtual void PlaceInnerControl();
  virtual bool ClipToWindowRegion() { return false; }
  virtual bool KeepsTab() { return false; }
  // The inner control, while it is the form's active control, stands in the
  // container's place (unless KeepsOwnTabOrder): a move back from it must not
  // land on the container, which would hand the focus straight back.
  void AdjustTabOrderList(std::vector<TWinControl*>& AList) const override;
  virtual void SyncScrollBar(TScrollBarKind AKind);
  virtual Integer ThemeClass() { return 3; }  // "Edit"
  virtual Integer ThemePart() { return 1; }   // the edit text part
  virtual Integer ThemeState();
  virtual bool HandleInnerMessage(TMessage&) { return false; }
  // A message of the inner window before its own handling; true when the
  // container took it (HandleInnerMessage here).
  virtual bool PreviewInnerMessage(TMessage& Message) { return HandleInnerMessage(Message); }
  virtual bool ScrollBarInfoUsable();
  virtual bool IsNativeStyle();
  virtual void FocusInner();

  // ---- TcxControl ----
  bool AllowsDesignTimeDrag(Integer, Integer, TShiftState) override { return false; }
  bool FocusWhenClicked() override;
  TRect ContentBounds() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void HandleMouseEnter(TControl* AControl) override;
  void HandleMouseLeave(TControl* AControl) override;
  void HandleColorChange() override;
  void HandleFontChange() override;
  void HandleFocusChange() override;
  void HandleCursorChange() override;

  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

protected:
  // Frees and creates the styles and the view info from the class
  // functions (see the note at the top).
  void RecreateStylesAndViewInfo();
  void CreateParams(TCreateParams& Params) override;
  // A new window starts without a region: the state is worked out again.
  void CreateWnd() override;
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DoContextPopup(const TPoint& MousePos, bool& Handled) override;
  void Resize() override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMParentFontChanged(TMessage& Message) override;
  void CMSysColorChange(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void WMSetCursor(TMessage& Message) override;

  bool IsInternalUpdate() const { return FInternalUpdate; }

private:
  class TMouseTrackingHelper;
  void CreateStylesAndViewInfo();
  void StylesChanged(TObject* Sender) { ApplyStyle(Sender); }
  void InvalidateAfterStateChange();
  bool InnerHasFocus() const;
  void PassToInner(TMessage& Message);
  void InnerWindowProc(TMessage& Message);
  void HookInnerControl();
  void UnhookInnerControl();
  TPoint CursorPoint();

  TWinControl* FInnerControl = nullptr;
  TWndMethod FSavedInnerWindowProc;
  std::unique_ptr<TMouseTrackingHelper> FMouseTracking;
  std::unique_ptr<TcxContainerStyles> FStyles;
  std::unique_ptr<TcxContainerViewInfo> FViewInfo;
  TcxCustomContainerStyle* FActiveStyle = nullptr;
  TcxContainerState FActiveStyleState = 0;
  bool FHasInnerRegion = false;
  TRect FInnerRegionRect{};
  HRGN FWindowRegion = nullptr;
  Integer FContextPopupLock = 0;
  bool FIsCreating = true;
  bool FIsDestroying = false;
  bool FPlacingInnerControl = false;
  bool FInternalUpdate = false;
  bool FInnerMouseDown = false;
};

// ---------------------------------------------------------------------------
// Routines

// mbLeft 1, mbRight 2, mbMiddle 3.
Integer MouseButtonToContainerButton(TMouseButton AButton);
// A 3-pixel band in clBtnShadow below (from left + 3) and right (from top +
// 3) of ARect; both bands are excluded from the clip afterwards.
void DrawContainerShadow(TcxCanvas* ACanvas, const TRect& ARect);
TRect DeflateRectByMargins(const TRect& R, const TRect& AMargins);
// 0, 1, 2, 2, 2, 1, 1 in TcxContainerBorderStyle order (0 outside).
Integer ContainerBorderWidth(TcxContainerBorderStyle AStyle);
TRect ControlLocalBounds(TControl* AControl);
// The control itself when it is a container, else the container its
// IcxContainerInnerControl names, else nullptr.
TcxContainer* InnerControlContainer(TWinControl* AControl);
bool WindowHasHandle(TWinControl* AControl, HWND AWnd);
// Each side not in ASides moves inward by AWidth.
TRect ShrinkRectByBorders(const TRect& R, Integer AWidth, TcxBorders ASides);
// Equality: exact when case-sensitive, else of upper-cased copies.
bool CompareDisplayText(const String& AText1, const String& AText2, bool ACaseSensitive);
TPoint QueryCursorPos();
TShiftState CurrentShiftState();
// Fills the part of AOuter outside AInner (nothing when AOuter is empty or
// equal to AInner; all of AOuter when AInner is empty).
void FillFrameArea(TcxCanvas* ACanvas, const TRect& AOuter, const TRect& AInner, TColor AColor);
// Invalidates the strips of AOuter around AInner (all of AOuter when AInner
// is empty).
void InvalidateFrameArea(HWND AWnd, const TRect& AOuter, const TRect& AInner, bool AErase);
void InvalidateControlArea(TWinControl* AControl, const TRect& R, bool AErase);
bool IsControlWindowVisible(TWinControl* AControl);
// The window lies in the control's window, in a child window control, or in
// a shown popup whose owner's form is the control.
bool WindowInsideControl(TControl* AControl, HWND AWnd);
TcxCanvas* ContainerScreenCanvas();
// Whether the system offers scroll-bar information of native scroll bars;
// this platform has none: false.
bool ScrollBarInfoAvailable();
bool NativeThemeAvailable(bool ANativeStyle, Integer AThemeClass);
// Sets the window's region to R (nullptr clears it) without repainting.
void SetControlRegion(TWinControl* AControl, const TRect* R);
