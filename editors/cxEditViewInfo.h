#pragma once
// The view data and view info of editors (unit cxEdit).
//
// An editor's look is computed in two steps that need no window. A view
// data (TcxCustomEditViewData), made by a property set for a style and an
// in-place flag, computes a view info (TcxCustomEditViewInfo) for a
// rectangle, a mouse point and a shift state: border, client and text
// rectangles, colours, and one TcxEditButtonViewInfo per visible button
// with its bounds, state and frame marks. The view info paints itself on a
// canvas and tells what changed against an older one. A stand-alone editor
// recomputes its view info on every state change; the tree list computes
// one per cell at the origin (CalcViewInfoAtOrigin) and paints it moved
// (PaintViewInfoAtOrigin).
#include <memory>
#include <vector>

#include "editors/cxEditProperties.h"
#include "editors/cxEditPaintUtils.h"
#include "editors/cxEditStyles.h"
#include "foundation/cxContainer.h"
#include "foundation/cxGraphics.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/rtl/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/variant.h"

// ---------------------------------------------------------------------------
// Values

// The state of one button as laid out.
using TcxEditButtonState = Integer;
enum : TcxEditButtonState { ebsDisabled = 0, ebsNormal = 1, ebsPressed = 2, ebsSelected = 3 };

// Hot-track paint mode of a view info (HotState): off, normal, selected.
enum : Integer { cxEditHotTrackOff = 0, cxEditHotTrackNormal = 1, cxEditHotTrackSelected = 2 };

// Container button codes (MouseButtonToContainerButton): 0 none, 1 left.
using TcxMouseButton = Integer;
inline constexpr TcxMouseButton cxmbNone = 0;
inline constexpr TcxMouseButton cxmbLeft = 1;

// The right edge of an unbounded rectangle (no buttons-only layout in place).
inline constexpr Integer cxMaxRectSize = 2147483647;

// The default marker of the selection colours.
inline constexpr TColor cxEditDefaultSelectionColor = clDefault;

// The size an editor may take: -1 (or 0) means no limit.
struct TcxEditSizeProperties {
  Integer Height = -1;
  Integer MaxLineCount = 0;
  Integer Width = -1;
};

using TcxEditGetDisplayTextEvent = TEvent<void(TObject* Sender, String& Text)>;

// ---------------------------------------------------------------------------
// What a view data needs of a live editor (the editor control implements
// it). Without one the view data computes for a cell or a measurement.

class IcxEditViewDataEditor {
public:
  virtual ~IcxEditViewDataEditor() = default;
  virtual bool IsFocusedEditor() = 0;
  // The button the editor captured the mouse with (-1: none).
  virtual Integer CapturedButtonIndex() = 0;
  // The editor (or its inner edit) holds the mouse capture.
  virtual bool HasMouseCapture() = 0;
  // The part of the editor that is visible, in view info coordinates.
  virtual TRect VisibleBounds() = 0;
};

// ---------------------------------------------------------------------------
// TcxEditButtonViewInfo

struct TcxEditButtonViewInfoData {
  String Caption;
  String VisibleCaption;
  bool Default = false;
  bool IsInplace = false;
  TcxEditButtonKind Kind = bkDown;
  bool LeftAlignment = false;
  TcxEditButtonState State = ebsNormal;
  TColor TextColor = clBtnText;
  bool Transparent = false;
  bool Stretchable = true;
  Integer Width = 0;
  TBitmap* Glyph = nullptr;  // the button's glyph (not owned; nullptr: none)
  Integer ThemePart = 0;
  Integer ThemeState = 0;
  bool IsSingleDownButton = false;
  bool Pressed = false;
  bool Hot = false;
  bool Enabled = true;  // the button's own Enabled
  friend bool operator==(const TcxEditButtonViewInfoData&, const TcxEditButtonViewInfoData&) = default;
};

class TcxEditButtonViewInfo;
using TcxEditButtonViewInfoClass = const TMetaClass*;

class TcxEditButtonViewInfo : public TPersistent {
  KORVANE_CLASS(TcxEditButtonViewInfo, TPersistent)
  TcxEditButtonViewInfo() = default;

  // Bounds, style, state and data (with the marks, index and rectangles).
  void Assign(TPersistent* Source) override;
  // Empty when style, data (state and theme state included) are equal,
  // else a region of the bounds. Owned by the caller.
  TcxRegion* GetUpdateRegion(TcxEditButtonViewInfo* AOld) const;
  bool Differs(const TcxEditButtonViewInfo* AOld) const;

  TRect Bounds{};
  // The bounds cut to the space that was left for the button.
  TRect VisibleBounds{};
  TRect ContentRect{};
  // The frame marks (see the hot-flat frame).
  bool LeftEndMark = false;
  bool RightEndMark = false;
  // Index of the button in the property set's Buttons.
  Integer ButtonIndex = -1;
  TcxEditButtonStyle ButtonStyle = btsDefault;
  TcxEditButtonViewInfoData Data;
};

// ---------------------------------------------------------------------------
// TcxCustomEditViewInfo

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
  KORVANE_CLASS(TcxCustomEditViewInfo, TcxContainerViewInfo)
  TcxCustomEditViewInfo() = default;
  ~TcxCustomEditViewInfo() override;

  // ---- State (BackgroundColor, BorderColor, Bounds, BorderRect,
  // ClientRect, ContainerState, Edges, Shadow, NativeStyle, HotState,
  // ThemePart and ThemeState are the container's) ----
  Integer Left = 0;  // the origin CalcViewInfoAtOrigin kept
  Integer Top = 0;
  TRect InnerEditRect{};
  TRect ShadowRect{};
  TColor TextColor = clWindowText;
  // The border style drawn, and the style's own (for the colour choice).
  TcxEditBorderStyle EditBorderStyle = ebsNone;
  TcxEditBorderStyle StyleBorderStyle = ebsNone;
  Integer NativeState = 0;
  bool Enabled = true;
  bool Focused = false;
  bool IsHot = false;
  bool IsInplace = false;
  bool IsDesigning = false;
  bool IsSelected = false;
  bool IsInnerEditVisible = true;
  // The editor paints the client rectangle itself.
  bool PaintsOwnContent = false;
  bool HasContentOffsets = false;
  Cardinal PaintOptions = 0;
  TFont* Font = nullptr;  // not owned
  HWND WindowHandle = 0;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  Integer PressedButton = -1;
  Integer HotButton = -1;
  bool IsButtonReallyPressed = false;

  // ---- Buttons ----
  Integer ButtonCount() const { return static_cast<Integer>(FButtons.size()); }
  TcxEditButtonViewInfo* Button(Integer AIndex) const { return FButtons.at(static_cast<size_t>(AIndex)).get(); }
  // Frees surplus button view infos and creates missing ones.
  void SetButtonCount(Integer ACount);
  // The button whose visible rectangle holds P (-1: none).
  Integer GetButtonIndexAt(const TPoint& P) const;

  // ---- Virtual operations ----
  virtual TcxEditButtonViewInfoClass GetButtonViewInfoClass() const { return TcxEditButtonViewInfo::StaticClass(); }
  virtual bool NeedsRepaintOnStateChange() const { return true; }
  // Frame, then content; a simple-style button that is hot or pressed is
  // drawn flat.
  virtual void DrawButton(TcxCanvas* ACanvas, Integer AIndex);
  virtual void DrawButtonFrame(TcxCanvas* ACanvas, Integer AIndex, TRect& AContentRect);
  virtual void DrawButtonContent(TcxCanvas* ACanvas, Integer AIndex, const TRect& AContentRect);
  virtual bool HasHotButton() const { return HotButton >= 0; }
  virtual bool IsPointOverButton(const TPoint& P) const { return GetButtonIndexAt(P) >= 0; }
  // Clears AText, then asks QueryHintWithRect.
  virtual bool QueryHint(const TPoint& P, String& AText);
  // Base: no hint, empty rectangle.
  virtual bool QueryHintWithRect(const TPoint& P, String& AText, TRect& ARect);
  // Called before text buttons are measured.
  virtual void PrepareMeasureCanvas(TcxCanvas*) {}
  // Invalidates in AControl's window what changed against AOld, leaving out
  // AInnerRect; true when something was invalidated.
  virtual bool InvalidateChanges(TWinControl* AControl, TcxCustomEditViewInfo* AOld, const TRect& AInnerRect);
  // DrawEditBackgroundAndButtons.
  virtual void DrawBackground(TcxCanvas* ACanvas);
  // The region to repaint against AOld (owned by the caller).
  virtual TcxRegion* GetChangedRegion(TcxCustomEditViewInfo* AOld);
  virtual void OffsetBy(Integer DX, Integer DY);

  // ---- Container view info ----
  TcxContainerBorderStyle GetBorderStyle() const override {
    return static_cast<TcxContainerBorderStyle>(EditBorderStyle);
  }
  void PaintBackground(TcxCanvas* ACanvas) override { DrawBackground(ACanvas); }
  // Colours, border, states and the button view infos.
  void Assign(TObject* Source) override;
  TcxRegion* CreateRepaintRegion(TcxContainerViewInfo* AOther) override;
  void MoveBy(Integer DX, Integer DY) override { OffsetBy(DX, DY); }

private:
  std::vector<std::unique_ptr<TcxEditButtonViewInfo>> FButtons;
};

// ---------------------------------------------------------------------------
// TcxCustomEditViewData

class TcxCustomEditViewData : public TPersistent {
public:
  using MetaClass = TcxCustomEditViewDataMetaClass;
  KORVANE_CLASS(TcxCustomEditViewData, TPersistent)
  TcxCustomEditViewData(TcxCustomEditProperties* AProperties, TcxCustomEditStyle* AStyle, bool AIsInplace);
  ~TcxCustomEditViewData() override;

  TcxCustomEditProperties* Properties() const { return FProperties; }
  TcxCustomEditStyle* GetStyle() const { return FStyle; }
  void SetStyle(TcxCustomEditStyle* Value) { FStyle = Value; }
  TcxCustomEditStyle* Style() const { return FStyle; }
  bool IsInplace() const { return FIsInplace; }

  // ---- State ----
  TRect Bounds{};
  TRect ContentOffset{};
  bool Enabled = true;
  bool Focused = false;
  bool IsDesigning = false;
  bool IsSelected = false;
  Cardinal PaintOptions = 0;
  TcxBorders Edges = cxAllBorders;
  bool NativeStyle = false;
  bool ButtonsOnlyStyle = false;
  Integer VisibleButtonCount = 0;
  bool IsValueSource = false;
  TAlignment HorzAlignment = taLeftJustify;
  TcxEditVertAlignment VertAlignment = taTopJustify;
  TColor SelTextColor = cxEditDefaultSelectionColor;
  TColor SelBackgroundColor = cxEditDefaultSelectionColor;
  // The live editor and its inner edit (nullptr for cells and measuring).
  IcxEditViewDataEditor* Edit = nullptr;
  TWinControl* InnerEdit = nullptr;
  // Scroll bars whose room is kept at the bottom and right when shown.
  TControl* HScrollBar = nullptr;
  TControl* VScrollBar = nullptr;
  HWND WindowHandle = 0;
  // The placed buttons at each end (view info indexes, -1: none).
  Integer LeftSideLeftmostButtonIndex = -1;
  Integer LeftSideRightmostButtonIndex = -1;
  Integer RightSideLeftmostButtonIndex = -1;
  Integer RightSideRightmostButtonIndex = -1;
  TcxEditGetDisplayTextEvent OnGetDisplayText;

  // ---- Virtual operations ----
  virtual bool IsButtonPressedByMouse(TcxCustomEditViewInfo*, Integer) { return true; }
  virtual TColor ComputeBorderColor() const;
  virtual TcxEditBorderStyle ComputeBorderStyle() const;
  // Enabled, no content offsets; the alignment from the properties.
  virtual void InitState();
  virtual void CacheProperties();
  virtual void EditValueToDisplayText(const Variant&, String& AText) { AText.clear(); }
  // The parts of the look that depend on the value shown where no live
  // editor gives it (a tree-list cell): a container calls it after
  // ComputeViewInfo with the cell's value. The base takes nothing.
  virtual void EditValueToDrawValue(TcxCanvas*, const Variant&, TcxCustomEditViewInfo*) {}
  // The height the tallest glyph or text button needs beyond the text
  // height (in place or auto-size).
  virtual TSize CalcNonTextExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);
  virtual TSize CalcTextExtent(TcxCanvas*, const Variant&) { return TSize{0, 0}; }
  virtual bool IsButtonHeldPressed(TcxCustomEditViewInfo*, Integer) { return false; }
  virtual void ComputeButtonThemeState(TcxEditButtonViewInfo* AButtonViewInfo);
  virtual void ComputeViewInfo(TcxCanvas* ACanvas, const TRect& ABounds, const TPoint& P, TcxMouseButton AButton,
                               TShiftState AShift, TcxCustomEditViewInfo* AViewInfo, bool AIsMouseEvent);
  // Lays out view info button AIndex of AWidth at the left or right end of
  // AArea (which shrinks by the visible width).
  virtual void PlaceButton(TcxCustomEditViewInfo* AViewInfo, Integer AIndex, TRect& AArea, Integer AWidth);
  virtual void ComputeButtonsViewInfo(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, const TPoint& P,
                                      TcxMouseButton AButton, TShiftState AShift, bool AIsMouseEvent);
  // Copies button AButtonIndex of the properties into view info button AIndex.
  virtual void FillButtonViewInfo(TcxCustomEditViewInfo* AViewInfo, Integer AIndex, Integer AButtonIndex);
  virtual void ButtonsCalculated(TcxCustomEditViewInfo*) {}
  virtual TRect CalcBorderExtent() const;
  virtual TRect CalcThemedBorderExtent(TcxCanvas* ACanvas) const;
  virtual TRect CalcClientMargins(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo) const;
  // Border and buttons: (horizontal total, vertical total).
  virtual TSize CalcFrameExtent(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);
  virtual TSize CalcContentExtent(TcxCanvas* ACanvas, const Variant& AEditValue,
                                  const TcxEditSizeProperties& ALimits);
  // The style's Shadow on and native style off.
  virtual bool HasShadow() const;
  virtual bool IsNativeLookAndFeel(TcxLookAndFeel* ALookAndFeel) const;

  // ---- Other operations ----
  // The size an editor needs for AEditValue; ASize receives it, each
  // dimension at least what ASize held.
  void CalcEditorSize(TcxCanvas* ACanvas, const Variant& AEditValue, const TcxEditSizeProperties& ALimits,
                      TcxCustomEditViewInfo* AViewInfo, TSize& ASize);
  Integer GetCapturedButtonIndex() const { return Edit ? Edit->CapturedButtonIndex() : -1; }
  // EditValueToDisplayText, then OnGetDisplayText when assigned.
  void DoGetDisplayText(const Variant& AEditValue, String& AText);
  // The button style in force for the style and the look-and-feel.
  TcxEditButtonStyle ComputeButtonStyle() const;
  TcxEditPopupBorderStyle ComputePopupBorderStyle(TcxEditBorderStyle ABorderStyle) const;
  TcxLookAndFeelKind LookAndFeelKind() const;
  bool IsBounded() const { return Bounds.Right != cxMaxRectSize; }

private:
  void CalculateEditViewInfoRects(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo);
  void ComputeButtonStates(TcxCustomEditViewInfo* AViewInfo, const TPoint& P, TcxMouseButton AButton,
                           TShiftState AShift, bool AIsMouseEvent, const std::vector<TcxEditButtonState>& AOldStates,
                           Integer AOldPressed);
  void ComputeButtonMarks(TcxCanvas* ACanvas, TcxCustomEditViewInfo* AViewInfo, const std::vector<Integer>& AOrder);
  void StretchButtons(TcxCustomEditViewInfo* AViewInfo, std::vector<Integer>& AWidths, Integer AFree) const;

  TcxCustomEditProperties* FProperties;
  TcxCustomEditStyle* FStyle;
  bool FIsInplace;
};

// Computes for ARect moved to (0, 0) and P made relative; the view info
// keeps ARect's left and top as its origin.
void CalcViewInfoAtOrigin(TcxCustomEditViewData* AViewData, TcxCanvas* ACanvas, const TRect& ARect, const TPoint& P,
                          TcxMouseButton AButton, TShiftState AShift, TcxCustomEditViewInfo* AViewInfo,
                          bool AIsMouseEvent);
// Paints with the window origin shifted by the view info's origin, restored
// afterwards.
void PaintViewInfoAtOrigin(TcxCustomEditViewInfo* AViewInfo, TcxCanvas* ACanvas);
