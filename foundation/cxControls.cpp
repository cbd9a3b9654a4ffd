#include "foundation/cxControls.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"

namespace {

const TcxCustomLookAndFeelPainter* PainterObject(TcxCustomLookAndFeelPainterClass APainterClass) {
  const TcxCustomLookAndFeelPainter* painter = PainterOf(APainterClass);
  return painter ? painter : PainterOf(cxCustomLookAndFeelPainter());
}

}  // namespace

// ---- TcxControlScrollBar -----------------------------------------------------------------

TcxControlScrollBar::TcxControlScrollBar(TComponent* AOwner) : TcxScrollBar(AOwner) {
  SetColor(clBtnFace);
  SetTabStop(false);
  SetVisible(false);
  FControlStyle = (FControlStyle & ~csFramed) | csNoDesignVisible;
}

void TcxControlScrollBar::ApplyData() {
  if (Data.Visible && Data.Enabled) {
    SetScrollValues(Data.Min, Data.Max, true, Data.PageSize, Data.Position);
    SetSmallChange(Data.SmallChange);
    SetLargeChange(Data.LargeChange);
  }
  SetEnabled(Data.Enabled);
  SetVisible(Data.Visible);
}

void TcxControlScrollBar::FocusControlOnMouseDown() {
  if (FOwnerControl && FOwnerControl->WantsFocusOnClick()) {
    if (FOwnerControl->CanFocus()) FOwnerControl->SetFocus();
    return;
  }
  TWinControl* parent = Parent();
  if (parent && !dynamic_cast<TcxControl*>(parent) && parent->CanFocus()) parent->SetFocus();
}

void TcxControlScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) {
    TcxDestroyGuard guard(this);
    FocusControlOnMouseDown();
    if (!guard.Alive()) return;
  }
  TcxScrollBar::MouseDown(Button, Shift, X, Y);
}

void TcxControlScrollBar::Dispatch(TMessage& M) {
  if (M.Msg == CM_DESIGNHITTEST) {
    M.Result = 1;
    return;
  }
  TcxScrollBar::Dispatch(M);
}

// ---- TcxSizeGrip -------------------------------------------------------------------------

TcxSizeGrip::TcxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  SetVisible(false);
  FControlStyle |= csNoDesignVisible;
}

void TcxSizeGrip::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

// ---- TcxControl: life --------------------------------------------------------------------

TcxControl::TcxControl(TComponent* AOwner)
    : TCustomControl(AOwner), FLookAndFeel(std::make_unique<TcxLookAndFeel>(this)) {
  cxControlsInitialize();
  if (ProvidesDragImages()) FControlStyle |= csDisplayDragImage;
  FcxCanvas = std::make_unique<TcxCanvas>(Canvas());
  FDefaultCursor = Cursor();
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent(this, &TcxControl::LookAndFeelChanged);
  CreateScrollBars();
  SetTabStop(MayFocus());
  SetParentBackground(true);
}

TcxControl::~TcxControl() {
  DestroyScrollBars();
  FFontListeners.clear();
  FcxCanvas.reset();
  FLookAndFeel.reset();
  ClearObjectLinks(this);
}

void TcxControl::BeforeDestruction() {
  // The control counts as destroyed for every guard from here on.
  ClearObjectLinks(this);
  TCustomControl::BeforeDestruction();
}

void TcxControl::CreateScrollBars() {
  if (FHScrollBar || !UsesScrollBars()) return;
  FHScrollBar = new TcxControlScrollBar(nullptr);
  FHScrollBar->SetKind(sbHorizontal);
  FHScrollBar->SetHeight(GetSystemMetrics(SM_CYHSCROLL));
  FVScrollBar = new TcxControlScrollBar(nullptr);
  FVScrollBar->SetKind(sbVertical);
  FVScrollBar->SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 121);
  for (TcxControlScrollBar* bar : {FHScrollBar, FVScrollBar}) {
    bar->FOwnerControl = this;
    bar->LookAndFeel()->SetMaster(FLookAndFeel.get());
    bar->OnScroll = TScrollEvent(this, &TcxControl::BarScroll);
  }
  FSizeGrip = new TcxSizeGrip(nullptr);
  cxSettingsController()->AddListener(this);
}

void TcxControl::DestroyScrollBars() {
  if (!FHScrollBar) return;
  cxSettingsController()->RemoveListener(this);
  FSizeGrip->Free();
  FVScrollBar->Free();
  FHScrollBar->Free();
  FSizeGrip = nullptr;
  FVScrollBar = nullptr;
  FHScrollBar = nullptr;
}

void TcxControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd() {
  TCustomControl::CreateWnd();
  // A descendant's answer is known only once it is fully built.
  if (ProvidesDragImages()) FControlStyle |= csDisplayDragImage;
  if (!UsesScrollBars()) DestroyScrollBars();
  InitScrollBarsParent();
}

void TcxControl::InitScrollBarsParent() {
  if (!FHScrollBar) return;
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
}

bool TcxControl::IsOwnScrollControl(TControl* AControl) const {
  return AControl && (AControl == FHScrollBar || AControl == FVScrollBar || AControl == FSizeGrip);
}

// ---- Settings ----------------------------------------------------------------------------

void TcxControl::SetBorderStyle(TcxControlBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  SizeOrBorderChanged();
  Invalidate();
}

void TcxControl::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  SizeOrBorderChanged();
}

void TcxControl::SetPopupMenu(TComponent* Value) {
  TControl::SetPopupMenu(IsPopupMenuComponent(Value) ? Value : nullptr);
}

void TcxControl::SetDrawingBounds(const TRect& Value) {
  if (FDrawingBounds == Value) return;
  FDrawingBounds = Value;
  SizeOrBorderChanged();
  Invalidate();
}

void TcxControl::AddFontListener(IcxFontListener* AListener) {
  if (AListener && std::find(FFontListeners.begin(), FFontListeners.end(), AListener) == FFontListeners.end())
    FFontListeners.push_back(AListener);
}

void TcxControl::RemoveFontListener(IcxFontListener* AListener) {
  FFontListeners.erase(std::remove(FFontListeners.begin(), FFontListeners.end(), AListener), FFontListeners.end());
}

void TcxControl::SetMouseCaptureObject(TObject* Value) {
  if (FMouseCaptureObject == Value) return;
  TObject* old = FMouseCaptureObject;
  FMouseCaptureObject = Value;
  if (auto* cancel = dynamic_cast<IcxMouseCaptureObject*>(old)) cancel->DoCancelMode();
  bool hadCapture = MouseCapture();
  SetMouseCapture(Value != nullptr);
  if (!Value && hadCapture && FDragAndDropState == ddsStarting) Perform(WM_CANCELMODE);
}

TcxDragAndDropObjectClass TcxControl::DragAndDropObjectClass() {
  return FDragAndDropObjectClass ? FDragAndDropObjectClass : TcxDragAndDropObject::StaticClass();
}

TcxDragAndDropObject* TcxControl::GetDragAndDropObject() {
  if (!FDragAndDropObject) FDragAndDropObject.reset(DragAndDropObjectClass()->Create(this));
  return FDragAndDropObject.get();
}

void TcxControl::SetDragAndDropPhase(TcxDragAndDropState Value) {
  if (FDragAndDropState == Value) return;
  FDragAndDropState = Value;
  if (Value == ddsNone && !FFinishingDragAndDrop) EndMouseOperation();
}

void TcxControl::StartDragAndDrop(const TPoint&) {
  TcxDestroyGuard guard(this);
  GetDragAndDropObject()->DoBeginDragAndDrop();
  if (!guard.Alive()) return;
  SetMouseCapture(true);
  FDragAndDropPrevCursor = Screen ? Screen->Cursor() : crDefault;
  SetDragAndDropPhase(ddsInProcess);
}

void TcxControl::DoDragAndDrop(const TPoint& P, bool& Accepted) { GetDragAndDropObject()->DoDragAndDrop(P, Accepted); }

void TcxControl::EndDragAndDrop(bool Accepted) {
  TcxDestroyGuard guard(this);
  SetDragAndDropPhase(ddsNone);
  if (Screen) Screen->SetCursor(FDragAndDropPrevCursor);
  SetMouseCapture(false);
  if (!guard.Alive()) return;
  SetMouseCaptureObject(nullptr);
  if (!guard.Alive()) return;
  if (FDragAndDropObject) FDragAndDropObject->DoEndDragAndDrop(Accepted);
}

void TcxControl::FinishDragAndDrop(bool Accepted) {
  if (FFinishingDragAndDrop) return;
  FFinishingDragAndDrop = true;
  TcxDestroyGuard guard(this);
  try {
    if (FDragAndDropState == ddsInProcess) EndDragAndDrop(Accepted);
    else SetDragAndDropPhase(ddsNone);
  } catch (...) {
    if (guard.Alive()) {
      FDragAndDropState = ddsNone;
      FDragAndDropObject.reset();
      FFinishingDragAndDrop = false;
    }
    throw;
  }
  if (!guard.Alive()) return;
  FDragAndDropObject.reset();
  FFinishingDragAndDrop = false;
}

void TcxControl::DragAndDropMouseDown(TMouseButton Button, TShiftState Shift, const TPoint& P) {
  if (Button == mbLeft && !(Shift & ssDouble) && StartsDragAndDropAt(P)) {
    if (GetDragAndDropObject()->StartsImmediately()) StartDragAndDrop(P);
    else SetDragAndDropPhase(ddsStarting);
  } else {
    FinishDragAndDrop(false);
  }
}

void TcxControl::DragAndDropMouseMove(TShiftState, const TPoint& P) {
  TcxDestroyGuard guard(this);
  if (FDragAndDropState == ddsStarting && !WithinDragThreshold(FMouseDownPos, P.X, P.Y)) StartDragAndDrop(P);
  if (!guard.Alive() || FDragAndDropState != ddsInProcess) return;
  bool accepted = false;
  DoDragAndDrop(P, accepted);
}

// ---- Class-library drag and drop ---------------------------------------------------------

TcxDragControlObjectClass TcxControl::DragControlObjectClass() { return TcxDragControlObject::StaticClass(); }

TComponentClass TcxControl::DragImageListClass() { return TcxDragImageList::StaticClass(); }

void TcxControl::BuildDragImages(TcxDragImageList* AList) {
  cxBuildDragImages(AList, DragImageSize(), [this](TcxCanvas* C, const TRect& R) { DrawDragImage(C, R); });
}

TcxDragImageList* TcxControl::GetDragImages() {
  if (!ProvidesDragImages()) return nullptr;
  if (!FDragImages) {
    std::unique_ptr<TComponent> made(DragImageListClass()->Create(nullptr));
    auto* list = dynamic_cast<TcxDragImageList*>(made.get());
    if (!list) return nullptr;
    made.release();
    FDragImages.reset(list);
    BuildDragImages(list);
  }
  return FDragImages.get();
}

void TcxControl::DoStartDrag(TDragObject*& DragObject) {
  TcxDestroyGuard guard(this);
  TCustomControl::DoStartDrag(DragObject);
  if (!guard.Alive()) return;
  bool own = DragObject == nullptr;
  if (own) DragObject = DragControlObjectClass()->Create(this);
  if (!AcceptsStartDrag(DragObject)) {
    if (own) delete DragObject;
    DragObject = nullptr;
    CancelDrag();
    return;
  }
  if (auto* obj = dynamic_cast<TcxDragControlObject*>(DragObject); obj && own) obj->SetDragImages(GetDragImages());
}

void TcxControl::DoEndDrag(TObject* Target, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  TCustomControl::DoEndDrag(Target, X, Y);
  if (guard.Alive()) FDragImages.reset();
}

bool TcxControl::StillInDragArea(Integer X, Integer Y) {
  return DragMode() == dmManual || WithinDragThreshold(FMouseDownPos, X, Y);
}

// ---- Geometry ----------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass TcxControl::PainterClass() const {
  TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->GetPainterClass();
  return painter ? painter : cxCustomLookAndFeelPainter();
}

Integer TcxControl::BorderThickness() {
  return FBorderStyle == cxcbsNone ? 0 : PainterObject(PainterClass())->BorderThickness();
}

TRect TcxControl::DrawingBounds() {
  if (!IsRectEmpty(FDrawingBounds)) return FDrawingBounds;
  if (HandleAllocated()) return ClientRect();
  return Rect(0, 0, Width(), Height());
}

TRect TcxControl::ContentBounds() {
  TRect r = DrawingBounds();
  Integer border = BorderThickness();
  InflateRect(r, -border, -border);
  if (IsHScrollBarVisible()) r.Bottom -= FHScrollBar->Height();
  if (IsVScrollBarVisible()) r.Right -= FVScrollBar->Width();
  return r;
}

TRect TcxControl::HScrollBarBounds() {
  TRect c = ContentBounds();
  return Rect(c.Left, c.Bottom, c.Right, c.Bottom + (FHScrollBar ? FHScrollBar->Height() : 0));
}

TRect TcxControl::VScrollBarBounds() {
  TRect c = ContentBounds();
  return Rect(c.Right, c.Top, c.Right + (FVScrollBar ? FVScrollBar->Width() : 0), c.Bottom);
}

TRect TcxControl::SizeGripBounds() {
  TRect h = HScrollBarBounds();
  TRect v = VScrollBarBounds();
  return Rect(v.Left, h.Top, v.Right, h.Bottom);
}

TCursor TcxControl::CursorAt(Integer, Integer) { return FDefaultCursor; }

Integer TcxControl::WheelScrollBarKind() {
  return IsVScrollBarVisible() ? cxWheelScrollVertical : cxWheelScrollNone;
}

void TcxControl::InvalidateArea(const TRect& R, bool Erase) {
  if (HandleAllocated()) ::InvalidateRect(Handle(), &R, Erase);
}

// ---- Scroll bars -------------------------------------------------------------------------

void TcxControl::SetScrollBarParams(TScrollBarKind Kind, Integer AMin, Integer AMax, Integer APosition,
                                    Integer APageSize, Integer ASmallChange, bool AAllowShow, bool AAllowHide) {
  TcxControlScrollBar* bar = Kind == sbHorizontal ? FHScrollBar : FVScrollBar;
  if (!bar) return;
  TcxScrollBarData& d = bar->Data;
  TScrollStyle own = Kind == sbHorizontal ? ssHorizontal : ssVertical;
  d.MayShow = AAllowShow && (FScrollBars == ssBoth || FScrollBars == own);
  d.AllowHide = AAllowHide;
  if (!d.MayShow) {
    d.Visible = false;
    return;
  }
  if (AMax < AMin || APageSize >= AMax - AMin + 1 || APosition < AMin) {
    d.Visible = !AAllowHide;
    d.Enabled = false;
    return;
  }
  d.Visible = true;
  d.Enabled = true;
  d.Min = AMin;
  d.Max = AMax;
  d.Position = APosition;
  d.PageSize = APageSize;
  d.SmallChange = ASmallChange;
  d.LargeChange = APageSize;
}

bool TcxControl::IsHScrollBarVisible() const {
  if (!FHScrollBar) return false;
  return FCalculatingScrollBarsParams ? FHScrollBar->Data.Visible : FHScrollBar->Visible();
}

bool TcxControl::IsVScrollBarVisible() const {
  if (!FVScrollBar) return false;
  return FCalculatingScrollBarsParams ? FVScrollBar->Data.Visible : FVScrollBar->Visible();
}

void TcxControl::ComputeScrollBarParamsUntilStable() {
  FCalculatingScrollBarsParams = true;
  struct TLeave {
    bool& Flag;
    ~TLeave() { Flag = false; }
  } leave{FCalculatingScrollBarsParams};
  FHScrollBar->Data.Visible = false;
  FVScrollBar->Data.Visible = false;
  // Each pass may show a bar that narrows the content; four passes reach
  // every combination of the two bars.
  for (Integer pass = 0; pass < 4; ++pass) {
    bool h = FHScrollBar->Data.Visible, v = FVScrollBar->Data.Visible;
    ComputeScrollBarParams();
    if (h == FHScrollBar->Data.Visible && v == FVScrollBar->Data.Visible) break;
  }
}

void TcxControl::ReclaimScrollBarSpace() {
  TcxScrollBarData& h = FHScrollBar->Data;
  TcxScrollBarData& v = FVScrollBar->Data;
  if (!(h.Visible && h.Enabled && h.AllowHide && v.Visible && v.Enabled && v.AllowHide)) return;
  bool hMark = CanReclaimScrollBarSpace(sbHorizontal) && h.PageSize + FVScrollBar->Width() >= h.Max - h.Min + 1;
  bool vMark = CanReclaimScrollBarSpace(sbVertical) && v.PageSize + FHScrollBar->Height() >= v.Max - v.Min + 1;
  if (!hMark || !vMark) return;
  TcxScrollBarData oldH = h, oldV = v;
  SetScrollBarParams(sbHorizontal, oldH.Min, oldH.Max, oldH.Position, oldH.PageSize + FVScrollBar->Width(),
                     oldH.SmallChange, true, true);
  SetScrollBarParams(sbVertical, oldV.Min, oldV.Max, oldV.Position, oldV.PageSize + FHScrollBar->Height(),
                     oldV.SmallChange, true, true);
}

bool TcxControl::ApplyPendingScrollBarParams(bool ANested) {
  bool hWas = FHScrollBar->Visible(), vWas = FVScrollBar->Visible();
  bool backToInitial = FHScrollBar->Data.Visible == FInitialHScrollBarVisible &&
                       FVScrollBar->Data.Visible == FInitialVScrollBarVisible;
  // A nested pass that would bring back the visibility the outer pass began
  // with would show and hide the bars for ever: the bar that changed stays
  // shown, disabled.
  if (ANested && (backToInitial || FScrollBarsNesting > 4)) {
    FInitialScrollBarsParams = true;
    for (auto [bar, initial] : {std::pair{FHScrollBar, FInitialHScrollBarVisible},
                                std::pair{FVScrollBar, FInitialVScrollBarVisible}}) {
      if (bar->Visible() != initial) {
        bar->SetEnabled(false);
        bar->SetVisible(true);
      }
    }
  } else {
    FHScrollBar->ApplyData();
    FVScrollBar->ApplyData();
  }
  return hWas != FHScrollBar->Visible() || vWas != FVScrollBar->Visible();
}

void TcxControl::RecalcScrollBars() {
  if (!UsesScrollBars() || !FHScrollBar || IsDestroying()) return;
  bool outer = !FUpdatingScrollBars;
  if (outer) {
    FInitialHScrollBarVisible = FHScrollBar->Visible();
    FInitialVScrollBarVisible = FVScrollBar->Visible();
    FUpdatingScrollBars = true;
  }
  ++FScrollBarsNesting;
  struct TLeave {
    TcxControl* C;
    bool Outer;
    ~TLeave() {
      --C->FScrollBarsNesting;
      if (Outer) {
        C->FUpdatingScrollBars = false;
        C->FInitialScrollBarsParams = false;
      }
    }
  } leave{this, outer};
  TcxDestroyGuard guard(this);
  bool visibilityChanged = false;
  if (!FInitialScrollBarsParams) {
    ComputeScrollBarParamsUntilStable();
    if (!guard.Alive()) return;
    ReclaimScrollBarSpace();
    visibilityChanged = ApplyPendingScrollBarParams(!outer);
    if (!guard.Alive()) return;
  }
  if (visibilityChanged) {
    SizeOrBorderChanged();
    return;
  }
  FSizeGrip->SetVisible(FHScrollBar->Visible() && FVScrollBar->Visible());
  PlaceScrollBars();
  for (TControl* c : {static_cast<TControl*>(FHScrollBar), static_cast<TControl*>(FVScrollBar),
                      static_cast<TControl*>(FSizeGrip)})
    if (c->Parent()) c->BringToFront();
}

void TcxControl::PlaceScrollBars() {
  if (!FHScrollBar) return;
  if (FHScrollBar->Visible()) FHScrollBar->SetBoundsRect(HScrollBarBounds());
  if (FVScrollBar->Visible()) FVScrollBar->SetBoundsRect(VScrollBarBounds());
  if (FSizeGrip->Visible()) FSizeGrip->SetBoundsRect(SizeGripBounds());
}

void TcxControl::BarScroll(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos) {
  auto* bar = dynamic_cast<TcxScrollBar*>(Sender);
  if (bar) ScrollContent(bar->Kind(), ScrollCode, ScrollPos);
}

void TcxControl::ScrollOneStep(TcxDirection Direction) {
  if (!UsesScrollBars() || !FHScrollBar || Direction == dirNone) return;
  bool vertical = Direction == dirUp || Direction == dirDown;
  TScrollCode code = Direction == dirLeft || Direction == dirUp ? scLineUp : scLineDown;
  Integer pos = vertical ? FVScrollBar->Position() : FHScrollBar->Position();
  ScrollContent(vertical ? sbVertical : sbHorizontal, code, pos);
}

void TcxControl::HandleNCSizeChanged() {
  if (!UsesScrollBars() || !FHScrollBar) return;
  bool changed = false;
  if (FHScrollBar->Height() != GetSystemMetrics(SM_CYHSCROLL)) {
    FHScrollBar->SetHeight(GetSystemMetrics(SM_CYHSCROLL));
    changed = true;
  }
  if (FVScrollBar->Width() != GetSystemMetrics(SM_CXVSCROLL)) {
    FVScrollBar->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
    changed = true;
  }
  if (changed) SizeOrBorderChanged();
}

void TcxControl::Resize() {
  TCustomControl::Resize();
  SizeOrBorderChanged();
}

// ---- Painting ----------------------------------------------------------------------------

void TcxControl::Paint() {
  if (FBorderStyle == cxcbsDefault) PainterObject(PainterClass())->PaintBorder(FcxCanvas.get(), DrawingBounds());
  FcxCanvas->ClipToRect(ContentBounds());
  TCustomControl::Paint();
}

// ---- Messages ----------------------------------------------------------------------------

TPoint TcxControl::MessagePoint(const TMessage& Message) {
  if (Width() > 32768 || Height() > 32768) {
    TPoint p;
    GetCursorPos(p);
    return ScreenToClient(p);
  }
  return LParamToPoint(Message.LParam);
}

void TcxControl::WndProc(TMessage& M) {
  TcxDestroyGuard guard(this);
  try {
    bool leftPress = M.Msg == WM_LBUTTONDOWN || M.Msg == WM_LBUTTONDBLCLK;
    bool special = false;
    if (leftPress && !Dragging()) {
      TPoint p = MessagePoint(M);
      special = InDesignMode() ? HitTestAtDesignTime(p.X, p.Y, ssLeft) : DragMode() == dmAutomatic;
      TControl* child = special ? ControlAtPos(p, false) : nullptr;
      if (child && !dynamic_cast<TWinControl*>(child)) special = false;
    }
    if (M.Msg == WM_PAINT) {
      PaintWithDragImageHidden(M);
    } else if (special) {
      // Handled here so that the class library does not start a drag of
      // its own; the control decides after the press (PrepareMouseDown).
      FControlState |= csLButtonDown;
      Dispatch(M);
      if (guard.Alive()) FControlState &= ~csLButtonDown;
    } else {
      TCustomControl::WndProc(M);
    }
  } catch (...) {
    if (guard.Alive()) AfterMessage(M);
    throw;
  }
  if (guard.Alive()) AfterMessage(M);
}

void TcxControl::PaintWithDragImageHidden(TMessage& M) {
  // The image of a running drag is hidden while the control paints, so that
  // neither covers the other.
  TDragObject* drag = CurrentDragObject();
  if (drag) drag->HideDragImage();
  try {
    TCustomControl::WndProc(M);
  } catch (...) {
    if (drag && CurrentDragObject() == drag) drag->ShowDragImage();
    throw;
  }
  if (drag && CurrentDragObject() == drag) drag->ShowDragImage();
}

void TcxControl::AfterMessage(TMessage& M) {
  switch (M.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      HandleFocusChange();
      break;
    case WM_PAINT:
      if (ParentBackground() != FLastParentBackground) {
        FLastParentBackground = ParentBackground();
        ParentBackgroundChanged();
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      TPoint p = MessagePoint(M);
      TMouseButton button = M.Msg == WM_LBUTTONDOWN ? mbLeft : M.Msg == WM_RBUTTONDOWN ? mbRight : mbMiddle;
      PrepareMouseDown(button, p.X, p.Y);
      break;
    }
    default:
      break;
  }
}

void TcxControl::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case WM_GETDLGCODE: {
      LRESULT code = 0;
      if (FKeys & dkAll) code += DLGC_WANTALLKEYS;
      if (FKeys & dkArrows) code += DLGC_WANTARROWS;
      if (FKeys & dkChars) code += DLGC_WANTCHARS;
      if (FKeys & dkTab) code += DLGC_WANTTAB;
      M.Result = code;
      return;
    }
    case WM_ERASEBKGND:
      if (ErasesBackground()) TCustomControl::Dispatch(M);
      else M.Result = 1;
      return;
    case WM_NCCALCSIZE:
      TCustomControl::Dispatch(M);
      if (HandleAllocated()) PostMessage(Handle(), CXM_NCSIZECHANGED, 0, 0);
      return;
    case CXM_NCSIZECHANGED:
      HandleNCSizeChanged();
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (!InDesignMode() && HandlePopupMenuKey(M)) {
        M.Result = 1;
        return;
      }
      TCustomControl::Dispatch(M);
      return;
    case CM_DESIGNHITTEST: {
      TCustomControl::Dispatch(M);
      if (M.Result == 0) {
        TPoint p = LParamToPoint(M.LParam);
        M.Result = HitTestAtDesignTime(p.X, p.Y, KeysToShiftState(M.WParam)) ? 1 : 0;
      }
      return;
    }
    default:
      TCustomControl::Dispatch(M);
  }
}

bool TcxControl::HandlePopupMenuKey(TMessage& M) {
  for (TWinControl* c = this; c; c = c->Parent()) {
    auto* control = dynamic_cast<TcxControl*>(c);
    if (control && control->PopupMenu() && HandlePopupMenuShortCut(control->PopupMenu(), M)) return true;
  }
  return false;
}

void TcxControl::WMContextMenu(TMessage& M) {
  if (M.Result != 0) return;
  if (!InDesignMode()) {
    TPoint pt = LParamToPoint(M.LParam);
    bool keyboard = pt.X == -1 && pt.Y == -1;
    if (!keyboard && !PtInRect(ClientRect(), ScreenToClient(pt))) {
      DefaultHandler(M);
      return;
    }
  }
  TCustomControl::WMContextMenu(M);
}

void TcxControl::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  TCustomControl::DoContextPopup(MousePos, Handled);
  if (Handled || !PopupMenu()) return;
  bool keyboard = MousePos.X == -1 && MousePos.Y == -1;
  TPoint screen = ClientToScreen(keyboard ? TPoint{0, 0} : MousePos);
  Handled = ShowPopupMenu(PopupMenu(), screen.X, screen.Y);
}

bool TcxControl::ShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) { return ShowPopupMenuAt(this, AMenu, X, Y); }

void TcxControl::WMCancelMode(TMessage& M) {
  TcxDestroyGuard guard(this);
  TCustomControl::WMCancelMode(M);
  if (!guard.Alive()) return;
  FinishDragAndDrop(false);
  if (guard.Alive()) EndMouseOperation();
}

void TcxControl::WMSetCursor(TMessage& M) {
  TWMSetCursor s(M);
  if (InDesignMode() && FDragAndDropState == ddsNone && s.CursorWnd() == Handle() && s.HitTest() == HTCLIENT) {
    TPoint p = GetMouseCursorPos();
    p = ScreenToClient(p);
    if (HitTestAtDesignTime(p.X, p.Y, ssLeft) && Screen) {
      ::SetCursor(Screen->Cursors(CursorAt(p.X, p.Y)));
      M.Result = 1;
      return;
    }
  }
  TCustomControl::WMSetCursor(M);
}

void TcxControl::CMColorChanged(TMessage& M) {
  TCustomControl::CMColorChanged(M);
  HandleColorChange();
}

void TcxControl::CMVisibleChanged(TMessage& M) {
  TCustomControl::CMVisibleChanged(M);
  HandleVisibleChange();
}

void TcxControl::CMFontChanged(TMessage& M) {
  TCustomControl::CMFontChanged(M);
  HandleFontChange();
}

void TcxControl::CMTextChanged(TMessage& M) {
  TCustomControl::CMTextChanged(M);
  HandleTextChange();
}

void TcxControl::CMCursorChanged(TMessage& M) {
  TCustomControl::CMCursorChanged(M);
  if (!FSettingCursor) HandleCursorChange();
}

void TcxControl::CMMouseEnter(TMessage& M) {
  auto* control = M.LParam ? reinterpret_cast<TControl*>(M.LParam) : this;
  TcxDestroyGuard guard(this);
  HandleMouseEnter(control);
  if (guard.Alive() && Parent()) Parent()->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
}

void TcxControl::CMMouseLeave(TMessage& M) {
  auto* control = M.LParam ? reinterpret_cast<TControl*>(M.LParam) : this;
  TcxDestroyGuard guard(this);
  HandleMouseLeave(control);
  if (guard.Alive() && Parent()) Parent()->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
}

void TcxControl::HandleMouseEnter(TControl* AControl) {
  if (OnMouseEnter) OnMouseEnter(AControl);
}

void TcxControl::HandleMouseLeave(TControl* AControl) {
  if (OnMouseLeave) OnMouseLeave(AControl);
}

void TcxControl::HandleCursorChange() { FDefaultCursor = Cursor(); }

void TcxControl::EndMouseOperation() {
  FMouseButtonPressed = false;
  SetMouseCaptureObject(nullptr);
}

void TcxControl::HandleFocusChange() {
  if (OnFocusChanged) OnFocusChanged(this);
}

void TcxControl::HandleFontChange() {
  TcxDestroyGuard guard(this);
  for (IcxFontListener* listener : std::vector<IcxFontListener*>(FFontListeners)) {
    if (std::find(FFontListeners.begin(), FFontListeners.end(), listener) == FFontListeners.end()) continue;
    listener->Changed(this, Font());
    if (!guard.Alive()) return;
  }
  Invalidate();
}

bool TcxControl::HitTestAtDesignTime(Integer, Integer, TShiftState) {
  return FDragAndDropState != ddsNone || FMouseButtonPressed;
}

void TcxControl::LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChanged) {
  ApplyLookAndFeelChange(Sender, AChanged);
}

// ---- Mouse and keys ----------------------------------------------------------------------

bool TcxControl::FocusWhenClicked() { return !InDesignMode() && FFocusOnClick && MayFocus() && CanFocus(); }

bool TcxControl::CanFocusNow() {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm();
  return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

void TcxControl::PrepareMouseDown(TMouseButton Button, Integer X, Integer Y) {
  if (Button == mbLeft) {
    if (DragMode() == dmAutomatic && MouseCapture() && (!InDesignMode() || AllowsDesignTimeDrag(X, Y, ssLeft)) &&
        CanStartAutoDrag() && DragDetectLoop(Handle()) == cxddDrag) {
      // The press now belongs to the drag, which also takes its release.
      FMouseButtonPressed = false;
      BeginDrag(true, -1);
    }
  } else if (Button == mbMiddle) {
    TcxDestroyGuard guard(this);
    FScrollingContent = true;
    try {
      cxPanContent(this);
    } catch (...) {
      if (guard.Alive()) FScrollingContent = false;
      throw;
    }
    if (guard.Alive()) FScrollingContent = false;
  }
}

void TcxControl::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  FMouseDownPos = TPoint{X, Y};
  if (FocusWhenClicked() && !(Shift & ssDouble)) {
    SetFocus();
    if (!guard.Alive()) return;
    TCustomForm* form = GetParentForm();
    if (form && form->ActiveControl() == this && !Focused()) ::SetFocus(Handle());
    if (!guard.Alive()) return;
    if (!Focused() && !AllowsClickWithoutFocus()) {
      FControlState &= ~csClicked;
      SetMouseCapture(false);
      return;
    }
  }
  DragAndDropMouseDown(Button, Shift, TPoint{X, Y});
  if (!guard.Alive()) return;
  BeforeMouseDown(Button, Shift, X, Y);
  if (!guard.Alive()) return;
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (guard.Alive() && MouseCapture()) FMouseButtonPressed = true;
}

void TcxControl::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  FSettingCursor = true;
  SetCursor(CursorAt(X, Y));
  FSettingCursor = false;
  DragAndDropMouseMove(Shift, TPoint{X, Y});
  if (guard.Alive()) TCustomControl::MouseMove(Shift, X, Y);
}

void TcxControl::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  FMouseButtonPressed = false;
  AfterMouseUp(Button, Shift, X, Y);
  if (guard.Alive()) TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TcxControl::AfterMouseUp(TMouseButton, TShiftState, Integer, Integer) {
  TcxDestroyGuard guard(this);
  FinishDragAndDrop(true);
  if (guard.Alive()) SetMouseCaptureObject(nullptr);
}

void TcxControl::WMKeyDown(TMessage& M) {
  TcxDestroyGuard guard(this);
  if (!DoKeyDown(M) && guard.Alive()) DefaultHandler(M);
}

void TcxControl::WMKeyUp(TMessage& M) {
  TcxDestroyGuard guard(this);
  if (!DoKeyUp(M) && guard.Alive()) DefaultHandler(M);
}

void TcxControl::WMChar(TMessage& M) {
  TcxDestroyGuard guard(this);
  if (!DoKeyPress(M) && guard.Alive()) DefaultHandler(M);
}

void TcxControl::WMMouseUp(TMessage& M, TMouseButton Button) {
  TcxDestroyGuard guard(this);
  TPoint p = MessagePoint(M);
  if (Button == mbLeft) {
    if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
    if (FControlState & csClicked) {
      FControlState &= ~csClicked;
      if (PtInRect(ClientRect(), p)) Click();
      if (!guard.Alive()) return;
    }
  }
  if (!(FControlStyle & csNoStdEvents)) MouseUp(Button, KeysToShiftState(M.WParam), p.X, p.Y);
  if (guard.Alive()) DefaultHandler(M);
}

void TcxControl::KeyDown(Word& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    TcxDestroyGuard guard(this);
    FinishDragAndDrop(false);
    if (!guard.Alive()) return;
  }
  TCustomControl::KeyDown(Key, Shift);
}

bool TcxControl::DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) {
  TcxDestroyGuard guard(this);
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!guard.Alive()) return true;
  Integer kind = WheelScrollBarKind();
  if (kind == cxWheelScrollNone) return false;
  TcxDirection direction = kind == cxWheelScrollVertical ? (WheelDelta > 0 ? dirUp : dirDown)
                                                         : (WheelDelta > 0 ? dirLeft : dirRight);
  Integer lines = Mouse ? Mouse->WheelScrollLines() : 3;
  for (Integer i = 0; i < lines && guard.Alive(); ++i) ScrollOneStep(direction);
  return true;
}

// ---- TcxControlChildComponent ------------------------------------------------------------

TcxControlChildComponent::~TcxControlChildComponent() { SetControl(nullptr); }

void TcxControlChildComponent::SetControl(TcxControl* Value) {
  if (FControl == Value) return;
  if (FControl) FControl->RemoveChildComponent(this);
  FControl = Value;
  if (FControl) FControl->AddChildComponent(this);
}

void TcxControlChildComponent::SetParentComponent(TComponent* Value) {
  SetControl(dynamic_cast<TcxControl*>(Value));
}

// ---- Settings controller -----------------------------------------------------------------

namespace {
TcxSettingsController* GSettingsController = nullptr;
}

TcxSettingsController* cxSettingsController() {
  if (!GSettingsController) GSettingsController = new TcxSettingsController();
  return GSettingsController;
}

TcxSettingsController::~TcxSettingsController() {
  if (FWindow) DeallocateHWnd(FWindow);
}

void TcxSettingsController::AddListener(TWinControl* AListener) {
  if (!AListener || std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end()) return;
  FListeners.push_back(AListener);
  if (!FWindow) FWindow = AllocateHWnd(TWndMethod(this, &TcxSettingsController::WndProc));
}

void TcxSettingsController::RemoveListener(TWinControl* AListener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), AListener), FListeners.end());
  if (FListeners.empty() && FWindow) {
    DeallocateHWnd(FWindow);
    FWindow = 0;
  }
}

void TcxSettingsController::WndProc(TMessage& M) {
  try {
    if (M.Msg == WM_SETTINGCHANGE && M.WParam == SPI_SETNONCLIENTMETRICS) {
      for (TWinControl* control : std::vector<TWinControl*>(FListeners)) {
        // A control freed by an earlier one's handling has left the list.
        if (std::find(FListeners.begin(), FListeners.end(), control) == FListeners.end()) continue;
        if (control->HandleAllocated()) SendNotifyMessage(control->Handle(), CXM_NCSIZECHANGED, 0, 0);
      }
      M.Result = 0;
      return;
    }
    DefWindowProc(FWindow, M);
  } catch (...) {
    HandleBoundaryException();
  }
}

// ---- Mouse tracking ----------------------------------------------------------------------

namespace {

class TMouseTrackingTimer : public TTimer {
public:
  TMouseTrackingTimer(TWinControl* AControl, const TRect& ABounds, IcxMouseTrackingCaller* ACaller)
      : TTimer(nullptr), Control(AControl), Caller(ACaller) {
    TPoint topLeft = AControl->ClientToScreen(ABounds.TopLeft());
    ScreenBounds = Bounds(topLeft.X, topLeft.Y, ABounds.Width(), ABounds.Height());
    // A control freed while tracked ends its tracking.
    AControl->FreeNotification(this);
    SetInterval(10);
    SetOnTimer(TNotifyEvent(this, &TMouseTrackingTimer::Tick));
  }
  ~TMouseTrackingTimer() override {
    if (Control) Control->RemoveFreeNotification(this);
  }
  TWinControl* Control;
  IcxMouseTrackingCaller* Caller;
  TRect ScreenBounds;

protected:
  void Tick(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;
};

std::vector<TMouseTrackingTimer*> GTrackingTimers;
// The timer whose leave notices are running (already out of the list): a
// caller freed by the control's notice is not called afterwards.
TMouseTrackingTimer* GLeavingTimer = nullptr;

TMouseTrackingTimer* FindTrackingTimer(IcxMouseTrackingCaller* ACaller) {
  for (TMouseTrackingTimer* t : GTrackingTimers)
    if (t->Caller == ACaller) return t;
  return nullptr;
}

void TMouseTrackingTimer::Tick(TObject*) {
  TPoint cursor = GetMouseCursorPos();
  bool inside;
  if (auto* area = dynamic_cast<IcxMouseTrackingAreaCaller*>(Caller))
    inside = Control->HandleAllocated() && area->PtInCaller(Control->ScreenToClient(cursor));
  else
    inside = PtInRect(ScreenBounds, cursor);
  if (inside) return;
  TWinControl* control = Control;
  // Out of the list first: the notices below may start tracking again.
  SetEnabled(false);
  GTrackingTimers.erase(std::remove(GTrackingTimers.begin(), GTrackingTimers.end(), this), GTrackingTimers.end());
  struct TLeaving {
    TMouseTrackingTimer* Outer;
    ~TLeaving() { GLeavingTimer = Outer; }
  } leaving{std::exchange(GLeavingTimer, this)};
  std::unique_ptr<TMouseTrackingTimer> self(this);
  if (control->HandleAllocated() && !PtInRect(control->ClientRect(), control->ScreenToClient(cursor)))
    control->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  if (Caller) Caller->MouseLeave();
}

void TMouseTrackingTimer::Notification(TComponent* AComponent, TOperation Operation) {
  TTimer::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == Control) {
    Control = nullptr;
    EndMouseTracking(Caller);
  }
}

}  // namespace

void BeginMouseTracking(TWinControl* AControl, const TRect& Bounds, IcxMouseTrackingCaller* ACaller) {
  if (!AControl || !ACaller || FindTrackingTimer(ACaller)) return;
  GTrackingTimers.push_back(new TMouseTrackingTimer(AControl, Bounds, ACaller));
}

IcxMouseTrackingCaller::~IcxMouseTrackingCaller() { EndMouseTracking(this); }

void EndMouseTracking(IcxMouseTrackingCaller* ACaller) {
  if (GLeavingTimer && GLeavingTimer->Caller == ACaller) GLeavingTimer->Caller = nullptr;
  TMouseTrackingTimer* timer = FindTrackingTimer(ACaller);
  if (!timer) return;
  GTrackingTimers.erase(std::remove(GTrackingTimers.begin(), GTrackingTimers.end(), timer), GTrackingTimers.end());
  delete timer;
}

bool IsMouseTracking(IcxMouseTrackingCaller* ACaller) { return FindTrackingTimer(ACaller) != nullptr; }

Integer MouseTrackingCount() { return static_cast<Integer>(GTrackingTimers.size()); }

// ---- Routines ----------------------------------------------------------------------------

Cardinal GetDoubleClickInterval() { return GetDoubleClickTime(); }

TRect GetMonitorWorkArea(const TPoint& P) { return MonitorWorkAreaAt(P); }

TPoint GetMouseCursorPos() {
  TPoint p;
  GetCursorPos(p);
  return p;
}

bool IsCtrlKeyDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

bool WithinDragThreshold(const TPoint& Start, Integer X, Integer Y) {
  Integer threshold = Mouse ? Mouse->DragThreshold() : 5;
  return std::abs(X - Start.X) < threshold && std::abs(Y - Start.Y) < threshold;
}

TPoint MapPointBetweenWindows(const TPoint& P, HWND From, HWND To) {
  TPoint r = P;
  MapWindowPoints(From, To, &r, 1);
  return r;
}

TRect MapRectBetweenWindows(const TRect& R, HWND From, HWND To) {
  TPoint points[2] = {R.TopLeft(), R.BottomRight()};
  MapWindowPoints(From, To, points, 2);
  return Rect(points[0].X, points[0].Y, points[1].X, points[1].Y);
}

void MarkDesignerModified(TComponent*) {}

Word TranslateVirtualKey(Word AKey) { return AKey; }

bool IsComponentLoading(TComponent* AComponent) { return AComponent && AComponent->IsLoading(); }

bool IsPopupMenuComponent(TComponent* AComponent) {
  if (!AComponent) return false;
  if (dynamic_cast<IcxPopupMenu*>(AComponent)) return true;
  for (TClass c = AComponent->ClassType(); c; c = c->ClassParent())
    if (c->ClassName() == u"TPopupMenu") return true;
  return false;
}

bool ShowPopupMenuAt(TControl*, TComponent* AMenu, Integer X, Integer Y) {
  auto* menu = dynamic_cast<IcxPopupMenu*>(AMenu);
  if (!menu) return false;
  menu->Popup(X, Y);
  return true;
}

bool HandlePopupMenuShortCut(TComponent* AMenu, TMessage& Message) {
  auto* menu = dynamic_cast<IcxPopupMenu*>(AMenu);
  return menu && menu->IsShortCutKey(Message);
}

// ---- Cursors -----------------------------------------------------------------------------

namespace {

bool GCursorsRegistered = false;

// Draws one of the library's cursors on a 32 x 32 image (white is
// transparent) and answers its hot spot.
TPoint DrawLibraryCursor(TCursor Id, TCanvas* C) {
  auto arrow = [C](Integer cx, Integer cy, Integer dx, Integer dy) {
    // A filled triangle pointing (dx, dy) from the centre.
    Integer ex = cx + dx * 8, ey = cy + dy * 8;
    Integer px = -dy * 5, py = dx * 5;
    C->Polygon({TPoint{ex, ey}, TPoint{cx + dx * 3 + px, cy + dy * 3 + py}, TPoint{cx + dx * 3 - px, cy + dy * 3 - py}});
  };
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetColor(clBlack);
  switch (Id) {
    case crcxFullScroll:
      C->Ellipse(14, 14, 19, 19);
      arrow(16, 16, 0, -1), arrow(16, 16, 0, 1), arrow(16, 16, -1, 0), arrow(16, 16, 1, 0);
      return {16, 16};
    case crcxHorScroll:
      C->Ellipse(14, 14, 19, 19);
      arrow(16, 16, -1, 0), arrow(16, 16, 1, 0);
      return {16, 16};
    case crcxVerScroll:
      C->Ellipse(14, 14, 19, 19);
      arrow(16, 16, 0, -1), arrow(16, 16, 0, 1);
      return {16, 16};
    case crcxUpScroll: arrow(16, 20, 0, -1); return {16, 16};
    case crcxDownScroll: arrow(16, 12, 0, 1); return {16, 16};
    case crcxLeftScroll: arrow(20, 16, -1, 0); return {16, 16};
    case crcxRightScroll: arrow(12, 16, 1, 0); return {16, 16};
    case crcxVertSize:
      C->FillRect(Rect(15, 6, 17, 26));
      arrow(16, 10, 0, -1), arrow(16, 22, 0, 1);
      return {16, 16};
    case crcxHorzSize:
      C->FillRect(Rect(6, 15, 26, 17));
      arrow(10, 16, -1, 0), arrow(22, 16, 1, 0);
      return {16, 16};
    case crcxRemove:
      C->Pen()->SetWidth(3);
      C->MoveTo(8, 8), C->LineTo(24, 24), C->MoveTo(24, 8), C->LineTo(8, 24);
      return {16, 16};
    case crcxNoDrop:
      C->Pen()->SetWidth(2);
      C->Brush()->SetStyle(bsClear);
      C->Ellipse(6, 6, 26, 26);
      C->MoveTo(10, 22), C->LineTo(22, 10);
      return {16, 16};
    default: {
      // Drag, copy and multi-drag: the arrow pointer with a page (and a plus
      // sign for copying, a second page for several).
      C->Polygon({TPoint{0, 0}, TPoint{0, 16}, TPoint{4, 12}, TPoint{11, 11}});
      C->Brush()->SetStyle(bsClear);
      C->Rectangle(12, 16, 24, 28);
      if (Id == crcxMultiDrag) C->Rectangle(15, 13, 27, 25);
      if (Id == crcxDragCopy) C->MoveTo(15, 22), C->LineTo(22, 22), C->MoveTo(18, 19), C->LineTo(18, 26);
      return {0, 0};
    }
  }
}

}  // namespace

void cxControlsInitialize() {
  if (GCursorsRegistered) return;
  EnsureGuiRuntime();
  if (!Screen) return;
  GCursorsRegistered = true;
  for (TCursor id = crcxDragCopy; id <= crcxDrag; ++id) {
    TBitmap image(32, 32);
    image.Canvas()->Brush()->SetColor(clWhite);
    image.Canvas()->FillRect(Rect(0, 0, 32, 32));
    TPoint hot = DrawLibraryCursor(id, image.Canvas());
    image.SetTransparentColor(clWhite);
    Screen->SetCursors(id, CreateCursorFromBitmap(&image, nullptr, hot.X, hot.Y));
  }
}

void cxControlsFinalize() {
  delete GSettingsController;
  GSettingsController = nullptr;
  for (TMouseTrackingTimer* t : std::exchange(GTrackingTimers, {})) delete t;
}
