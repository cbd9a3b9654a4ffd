#include "treelist/cxHitTest.h"

#include <algorithm>
#include <cmath>

#include "platform/gui/bitmap.h"
#include "platform/gui/hooks.h"
#include "treelist/cxEditingControl.h"

// ---- Hit test -----------------------------------------------------------------------------

TcxCustomHitTestController::TcxCustomHitTestController(TcxCustomControlController* AController)
    : FController(AController) {}

TcxEditCellViewInfo* TcxCustomHitTestController::HitEditCell() const {
  return dynamic_cast<TcxEditCellViewInfo*>(FHitItem);
}

void TcxCustomHitTestController::HitTest(const TPoint& P) {
  FState &= htsMouseEvent;
  TcxEditingControl* Control = FController->EditingControl();
  if (Control->IsLocked()) return;
  FHitPoint = P;
  if (Control->ViewInfo()->IsDirty()) Control->ViewInfo()->Calculate();
  DoHitTest();
}

void TcxCustomHitTestController::HitTestAtPoint(Integer X, Integer Y, TShiftState AShift) {
  FShiftState = AShift;
  FState |= htsMouseEvent;
  struct TClear {
    Cardinal& State;
    ~TClear() { State &= ~Cardinal(htsMouseEvent); }
  } Clear{FState};
  HitTest(TPoint{X, Y});
}

bool TcxCustomHitTestController::DesignHitTest(Integer X, Integer Y, TShiftState AShift) {
  HitTestAtPoint(X, Y, AShift);
  return false;
}

bool TcxCustomHitTestController::IsPointInItem(TcxCustomViewInfoItem* AItem, const TPoint& P) {
  return AItem && AItem->Visible() && PtInRect(AItem->ClipRect(), P);
}

void TcxCustomHitTestController::DoHitTest() {
  for (TcxEditCellViewInfo* Cell : FController->EditingControl()->ViewInfo()->EditCells())
    if (IsPointInItem(Cell, FHitPoint)) return SetHitItem(Cell);
  SetHitItem(nullptr);
}

void TcxCustomHitTestController::SetHitItem(TcxCustomViewInfoItem* AItem) {
  TcxCustomViewInfoItem* Old = FHitItem;
  FHitItem = AItem;
  if (FState & htsMouseEvent) {
    TcxHotTrackController* HotTrack = FController->HotTrackController();
    HotTrack->SetHintsEnabled(FController->EditingControl()->OptionsBehavior()->CellHints);
    HotTrack->HotTrack(AItem, FHitPoint);
  }
  if (Old != AItem) HitItemChanged(Old);
}

void TcxCustomHitTestController::CellRemoved(TcxCustomViewInfoItem* ACell) {
  if (ACell == FHitItem) Reset();
  // The hot tracking may still hold a cell the hit test has already let go of.
  FController->HotTrackController()->ElementRemoved(ACell);
}

void TcxCustomHitTestController::Reset() {
  FHitItem = nullptr;
  FState = 0;
}

// ---- Sizing -------------------------------------------------------------------------------

Integer cxSizingSteps(Integer ADistance, Integer AIncrement) {
  if (AIncrement <= 0) AIncrement = 1;
  // The default rounding mode rounds halves to even.
  return Integer(std::nearbyint(double(ADistance) / AIncrement));
}

TcxSizingDragAndDropObject::TcxSizingDragAndDropObject(TcxControl* AControl) : TcxDragAndDropObject(AControl) {}

TcxSizingDragAndDropObject::~TcxSizingDragAndDropObject() = default;

TCursor TcxSizingDragAndDropObject::GetCursor(bool) {
  return FDirection == cxsdHorizontal ? crHSplit : crVSplit;
}

void TcxSizingDragAndDropObject::BeginSizing(IcxDragSizing* AElement, TcxSizingDirection ADirection,
                                             const TPoint& AStart) {
  FElement = AElement;
  FDirection = ADirection;
  FBounds = AElement->GetSizingBoundsRect(ADirection);
  FIncrement = std::max<Integer>(1, AElement->GetSizingIncrement(ADirection));
  FStartPos = AStart;
  FDragPos = AStart;
  FSizeDelta = 0;
  FDynamicUpdate = AElement->IsDynamicUpdate();
  FCancelled = false;
}

void TcxSizingDragAndDropObject::BeginDragAndDrop() {
  auto* Control = dynamic_cast<TcxEditingControl*>(this->Control());
  IcxDragSizing* Element = Control ? Control->Controller()->GetSizingElement() : nullptr;
  if (!Element) throw EAbort(u"");
  BeginSizing(Element, Control->Controller()->GetResizeDirection(), CurMousePos());
  TcxDragAndDropObject::BeginDragAndDrop();
}

TPoint TcxSizingDragAndDropObject::SnapToIncrement(const TPoint& P) const {
  const bool Horz = FDirection == cxsdHorizontal;
  const Integer Min = Horz ? FBounds.Left : FBounds.Top;
  const Integer Max = Horz ? FBounds.Right : FBounds.Bottom;
  const Integer Start = Along(FStartPos);
  Integer Steps = cxSizingSteps(std::clamp(Along(P), std::min(Min, Max), std::max(Min, Max)) - Start, FIncrement);
  // A fast drag beyond the bounds stops at the last whole step inside them.
  while (Steps > 0 && Start + Steps * FIncrement > Max) --Steps;
  while (Steps < 0 && Start + Steps * FIncrement < Min) ++Steps;
  TPoint Result = FStartPos;
  (Horz ? Result.X : Result.Y) = Start + Steps * FIncrement;
  return Result;
}

void TcxSizingDragAndDropObject::DragAndDrop(const TPoint& P, bool& Accepted) {
  const TPoint Snapped = SnapToIncrement(P);
  const Integer Steps = (Along(Snapped) - Along(FStartPos)) / FIncrement;
  if (Along(Snapped) != Along(FDragPos)) {
    FDragPos = Snapped;
    if (FDynamicUpdate) {
      // Each step applies its own delta and the next one counts from the
      // snapped position, so the element never runs ahead of the mouse.
      FElement->SetSizeDelta(FDirection, Steps);
      FStartPos = Snapped;
      FSizeDelta = 0;
    } else {
      FSizeDelta = Steps;
    }
    SetDirty(true);
  }
  TcxDragAndDropObject::DragAndDrop(P, Accepted);
}

void TcxSizingDragAndDropObject::BeforeEndDragAndDrop() {
  TcxDragAndDropObject::BeforeEndDragAndDrop();
  FLine.reset();
  // The control ends a drag that Esc or a cancel-mode message cut short as
  // not accepted: nothing applies then.
  if (!EndAccepted()) FCancelled = true;
  if (!FDynamicUpdate && FSizeDelta != 0 && !FCancelled && FElement) FElement->SetSizeDelta(FDirection, FSizeDelta);
  FSizeDelta = 0;
}

TRect TcxSizingDragAndDropObject::GetSizingLineRect() const {
  TRect Result = FBounds;
  if (FDirection == cxsdHorizontal) {
    Result.Left = FDragPos.X - 1;
    Result.Right = FDragPos.X;
  } else {
    Result.Top = FDragPos.Y - 1;
    Result.Bottom = FDragPos.Y;
  }
  return Result;
}

void TcxSizingDragAndDropObject::DirtyChanged() {
  if (FDynamicUpdate || !Dirty()) return;
  ShowLine();
}

void TcxSizingDragAndDropObject::ShowLine() {
  TRect Line;
  if (!IntersectRect(Line, GetSizingLineRect(), Control()->ClientRect())) {
    if (FLine) FLine->Hide();
    return;
  }
  if (!FLine) {
    FLine = std::make_unique<TOverlayWindow>();
    FLine->SetColor(clBlack);
  }
  const TPoint Origin = Control()->ClientToScreen(TPoint{0, 0});
  OffsetRect(Line, Origin.X, Origin.Y);
  FLine->SetBounds(Line);
  FLine->Show();
}

// ---- Auto-scrolling -----------------------------------------------------------------------

TcxAutoScrollingObject::TcxAutoScrollingObject(TObject* AOwner)
    : FOwner(AOwner), FTimer(std::make_unique<TTimer>(nullptr)) {
  FTimer->SetEnabled(false);
  FTimer->SetInterval(cxAutoScrollInterval);
  FTimer->SetOnTimer(TNotifyEvent(this, [this](TObject*) { Scroll(); }));
}

TcxAutoScrollingObject::~TcxAutoScrollingObject() = default;

void TcxAutoScrollingObject::SetParams(const TRect& AArea, TScrollBarKind AKind, Integer AIncrement, bool AToEnd) {
  FArea = AArea;
  FKind = AKind;
  FToEnd = AToEnd;
  FIncrement = AToEnd ? AIncrement : -AIncrement;
}

bool TcxAutoScrollingObject::CheckPoint(const TPoint& P) {
  const bool Inside = PtInRect(FArea, P);
  if (Inside != FTimer->Enabled()) FTimer->SetEnabled(Inside);
  return Inside;
}

void TcxAutoScrollingObject::Stop() { FTimer->SetEnabled(false); }

bool TcxAutoScrollingObject::Active() const { return FTimer->Enabled(); }

TcxControlScrollBar* TcxAutoScrollingObject::GetScrollBar(TScrollBarKind AKind) const {
  TcxEditingControl* Control = GetControl();
  if (!Control) return nullptr;
  return AKind == sbHorizontal ? Control->HScrollBar() : Control->VScrollBar();
}

void TcxAutoScrollingObject::Scroll() { ScrollBar(FKind, FIncrement); }

void TcxAutoScrollingObject::ScrollBar(TScrollBarKind AKind, Integer ADelta) {
  TcxControlScrollBar* Bar = GetScrollBar(AKind);
  if (!Bar) return;
  const Integer Last = std::max(Bar->Min(), Bar->Max() - Bar->PageSize() + 1);
  Integer Position = std::clamp(Bar->Position() + ADelta, Bar->Min(), Last);
  if (!Bar->Visible() || Position == Bar->Position()) return;
  GetControl()->Controller()->ScrollContent(AKind, ADelta > 0 ? scLineDown : scLineUp, Position);
}

TcxEditingControl* TcxDragDropObjectAutoScrollingObject::GetControl() const {
  return dynamic_cast<TcxEditingControl*>(static_cast<TcxDragAndDropObject*>(Owner())->Control());
}

TcxControllerAutoScrollingObject::TcxControllerAutoScrollingObject(TcxCustomControlController* AOwner)
    : TcxAutoScrollingObject(AOwner) {}

TcxEditingControl* TcxControllerAutoScrollingObject::GetControl() const {
  return static_cast<TcxCustomControlController*>(Owner())->EditingControl();
}

void TcxControllerAutoScrollingObject::Scroll() {
  if (!FBoundsMode) return TcxAutoScrollingObject::Scroll();
  struct TStep {
    TcxAutoScrollDirection Direction;
    TScrollBarKind Kind;
    Integer Sign;
  };
  static constexpr TStep Steps[] = {
      {asdLeft, sbHorizontal, -1}, {asdUp, sbVertical, -1}, {asdRight, sbHorizontal, 1}, {asdDown, sbVertical, 1}};
  for (const TStep& Step : Steps)
    if (FDirections & cxAutoScrollDirection(Step.Direction)) ScrollBar(Step.Kind, Step.Sign * Amount());
}

// ---- Drag-and-drop objects of a control ---------------------------------------------------

TCursor TcxBaseDragAndDropObject::GetCursor(bool Accepted) { return Accepted ? Control()->DragCursor() : crNoDrop; }

TcxCustomControlDragAndDropObject::TcxCustomControlDragAndDropObject(TcxControl* AControl)
    : TcxBaseDragAndDropObject(AControl) {}

TcxCustomControlDragAndDropObject::~TcxCustomControlDragAndDropObject() = default;

TCursor TcxCustomControlDragAndDropObject::GetCursor(bool Accepted) { return Accepted ? crDefault : crcxNoDrop; }

void TcxCustomControlDragAndDropObject::BeginDragAndDrop() {
  TcxBaseDragAndDropObject::BeginDragAndDrop();
  BuildDragImage();
}

void TcxCustomControlDragAndDropObject::BuildDragImage() {
  const TRect Bounds = GetDragItemBounds();
  FPictureRect = TRect{0, 0, Bounds.Width(), Bounds.Height()};
  const TPoint Start = CurMousePos();
  FHotSpot = TPoint{Bounds.Left - Start.X, Bounds.Top - Start.Y};
  FDragImage = std::make_unique<TOverlayWindow>();
  if (IsRectEmpty(FPictureRect)) return;
  TBitmap Picture(FPictureRect.Width(), FPictureRect.Height());
  TcxCanvas Canvas(Picture.Canvas());
  TPoint Previous{};
  SetWindowOrgEx(Picture.Canvas()->Handle(), Bounds.Left, Bounds.Top, &Previous);
  try {
    PaintDragImage(&Canvas);
  } catch (...) {
    SetWindowOrgEx(Picture.Canvas()->Handle(), Previous.X, Previous.Y, nullptr);
    throw;
  }
  SetWindowOrgEx(Picture.Canvas()->Handle(), Previous.X, Previous.Y, nullptr);
  FDragImage->SetImage(&Picture);
  FDragImage->SetAlpha(cxDragImageAlpha);
  MoveDragImage(Start);
}

void TcxCustomControlDragAndDropObject::MoveDragImage(const TPoint& P) {
  if (!FDragImage || IsRectEmpty(FPictureRect)) return;
  const TPoint Origin = Control()->ClientToScreen(TPoint{0, 0});
  TRect R = FPictureRect;
  OffsetRect(R, Origin.X + P.X + FHotSpot.X, Origin.Y + P.Y + FHotSpot.Y);
  FDragImage->SetBounds(R);
  FDragImage->Show();
}

void TcxCustomControlDragAndDropObject::DragAndDrop(const TPoint& P, bool& Accepted) {
  MoveDragImage(P);
  for (auto& Scroller : FAutoScrollObjects) Scroller->CheckPoint(P);
  FAccepted = Accepted;
  TcxBaseDragAndDropObject::DragAndDrop(P, Accepted);
}

void TcxCustomControlDragAndDropObject::BeforeEndDragAndDrop() {
  for (auto& Scroller : FAutoScrollObjects) Scroller->Stop();
  HideDragImage();
  TcxBaseDragAndDropObject::BeforeEndDragAndDrop();
}

void TcxCustomControlDragAndDropObject::ShowDragImage() {
  if (FDragImage && !IsRectEmpty(FPictureRect)) FDragImage->Show();
}

void TcxCustomControlDragAndDropObject::HideDragImage() {
  if (FDragImage) FDragImage->Hide();
}

std::unique_ptr<TcxAutoScrollingObject> TcxCustomControlDragAndDropObject::CreateAutoScrollingObject() {
  return std::make_unique<TcxDragDropObjectAutoScrollingObject>(this);
}

TcxAutoScrollingObject* TcxCustomControlDragAndDropObject::AddAutoScrollingObject(const TRect& AArea,
                                                                                 TScrollBarKind AKind, bool AToEnd) {
  FAutoScrollObjects.push_back(CreateAutoScrollingObject());
  TcxAutoScrollingObject* Result = FAutoScrollObjects.back().get();
  Result->SetParams(AArea, AKind, AKind == sbVertical ? GetVertScrollIncrement() : GetHorzScrollIncrement(), AToEnd);
  return Result;
}

// ---- Drag picture -------------------------------------------------------------------------

TcxDragImageHelper::TcxDragImageHelper(TcxEditingControl* AControl, const TPoint& ADragStart)
    : FControl(AControl), FDragStart(ADragStart) {}

TcxDragImageHelper::~TcxDragImageHelper() = default;

void TcxDragImageHelper::InitImage() {
  FBounds = FControl->GetDragImageBounds();
  FHotSpot = TPoint{FBounds.Left - FDragStart.X, FBounds.Top - FDragStart.Y};
  FWindow = std::make_unique<TOverlayWindow>();
  if (IsRectEmpty(FBounds)) return;
  TBitmap Picture(FBounds.Width(), FBounds.Height());
  TCanvas* Canvas = Picture.Canvas();
  TPoint Previous{};
  SetWindowOrgEx(Canvas->Handle(), FBounds.Left, FBounds.Top, &Previous);
  try {
    FControl->DrawDragPicture(Canvas);
  } catch (...) {
    SetWindowOrgEx(Canvas->Handle(), Previous.X, Previous.Y, nullptr);
    throw;
  }
  SetWindowOrgEx(Canvas->Handle(), Previous.X, Previous.Y, nullptr);
  FWindow->SetImage(&Picture);
  FWindow->SetAlpha(cxDragImageAlpha);
}

void TcxDragImageHelper::MoveTo(const TPoint& AScreenPoint) {
  if (!FWindow) InitImage();
  if (IsRectEmpty(FBounds)) return;
  TRect R{0, 0, FBounds.Width(), FBounds.Height()};
  OffsetRect(R, AScreenPoint.X + FHotSpot.X, AScreenPoint.Y + FHotSpot.Y);
  FWindow->SetBounds(R);
  FWindow->Show();
}

void TcxDragImageHelper::Hide() {
  if (FWindow) FWindow->Hide();
}

void TcxDragImageHelper::Show() {
  if (FWindow && !IsRectEmpty(FBounds)) FWindow->Show();
}

bool TcxDragImageHelper::Visible() const { return FWindow && FWindow->Visible(); }

// ---- Drag mouse hook ----------------------------------------------------------------------

namespace {

HHOOK GDragMouseHook = 0;
TcxEditingControl* GDragMouseHookControl = nullptr;

LRESULT DragMouseHookProc(Integer Code, WPARAM WParam, LPARAM LParam) {
  const LRESULT Result = CallNextHookEx(GDragMouseHook, Code, WParam, LParam);
  TcxEditingControl* Control = GDragMouseHookControl;
  if (Code != HC_ACTION || !Control || !Control->DragImage()) return Result;
  const auto* Mouse = reinterpret_cast<const TMouseHookStruct*>(LParam);
  switch (WParam) {
    case WM_MOUSEMOVE: Control->DragImage()->MoveTo(Mouse->pt); break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      RemoveDragMouseHook();
      Control->EndDragImage();
      break;
    default: break;
  }
  return Result;
}

}  // namespace

void InstallDragMouseHook(TcxEditingControl* AControl) {
  GDragMouseHookControl = AControl;
  if (!GDragMouseHook) GDragMouseHook = SetWindowsHookEx(WH_MOUSE, DragMouseHookProc);
}

void RemoveDragMouseHook() {
  if (GDragMouseHook) UnhookWindowsHookEx(GDragMouseHook);
  GDragMouseHook = 0;
  GDragMouseHookControl = nullptr;
}

TcxEditingControl* DragMouseHookControl() { return GDragMouseHookControl; }
