// The base of the library's drop-down windows.
#include "foundation/cxControlsPopup.h"

#include <algorithm>

#include "platform/gui/windowing.h"

// ---- Placement -----------------------------------------------------------------------------

namespace {

// The coordinate of the popup's leading edge on one axis. Before (0): the
// popup ends where the owner starts when it goes beside the owner on this
// axis, else it starts with the owner; after (2): it starts where the owner
// ends, else it ends with the owner; centred (1): centred on the owner.
Integer PlaceOnAxis(Integer AAlign, Integer ALow, Integer AHigh, Integer ASize, bool ABeside) {
  switch (AAlign) {
    case 0: return ABeside ? ALow - ASize : ALow;
    case 1: return (ALow + AHigh - ASize) / 2;
    default: return ABeside ? AHigh : AHigh - ASize;
  }
}

Integer AnchorOnAxis(Integer AAlign, Integer ALow, Integer AHigh) {
  switch (AAlign) {
    case 0: return ALow;
    case 1: return (ALow + AHigh) / 2;
    default: return AHigh;
  }
}

// Flips the side on the axis the popup goes beside the owner: from after to
// before when the popup passes the work area's end and there is more room
// before the owner; from before to after when it passes the work area's
// start and there is not more room before.
Integer FlipOnAxis(Integer AAlign, Integer APos, Integer ASize, Integer ALow, Integer AHigh, Integer AWorkLow,
                   Integer AWorkHigh) {
  bool moreRoomBefore = AWorkHigh - AHigh < ALow - AWorkLow;
  if (AAlign == 2 && APos + ASize > AWorkHigh && moreRoomBefore) return 0;
  if (AAlign == 0 && APos < AWorkLow && !moreRoomBefore) return 2;
  return AAlign;
}

Integer KeepInside(Integer APos, Integer ASize, Integer AWorkLow, Integer AWorkHigh) {
  return std::max(std::min(APos, AWorkHigh - ASize), AWorkLow);
}

}  // namespace

TPoint cxCalculatePopupPosition(const TRect& AOwner, Integer AWidth, Integer AHeight, TcxPopupAlignHorz AAlignHorz,
                                TcxPopupAlignVert AAlignVert, TcxPopupDirection ADirection,
                                const TcxWorkAreaFunc& AWorkArea) {
  Integer alignH = AAlignHorz, alignV = AAlignVert;
  bool vertical = ADirection == pdVertical;
  TPoint p{PlaceOnAxis(alignH, AOwner.Left, AOwner.Right, AWidth, !vertical),
           PlaceOnAxis(alignV, AOwner.Top, AOwner.Bottom, AHeight, vertical)};
  TPoint anchor{AnchorOnAxis(alignH, AOwner.Left, AOwner.Right), AnchorOnAxis(alignV, AOwner.Top, AOwner.Bottom)};
  TRect work = AWorkArea ? AWorkArea(anchor) : MonitorWorkAreaAt(anchor);
  if (vertical) {
    alignV = FlipOnAxis(alignV, p.Y, AHeight, AOwner.Top, AOwner.Bottom, work.Top, work.Bottom);
    p.Y = PlaceOnAxis(alignV, AOwner.Top, AOwner.Bottom, AHeight, true);
  } else {
    alignH = FlipOnAxis(alignH, p.X, AWidth, AOwner.Left, AOwner.Right, work.Left, work.Right);
    p.X = PlaceOnAxis(alignH, AOwner.Left, AOwner.Right, AWidth, true);
  }
  // Both axes stay inside: a popup with too little room on either side of
  // the owner is moved over it rather than opened off-screen.
  p.X = KeepInside(p.X, AWidth, work.Left, work.Right);
  p.Y = KeepInside(p.Y, AHeight, work.Top, work.Bottom);
  return p;
}

// ---- TcxPopupWindow ------------------------------------------------------------------------

TcxPopupWindow::TcxPopupWindow(TComponent* AOwner)
    : TForm(AOwner), FCanvas(std::make_unique<TControlCanvas>()), FcxCanvas(std::make_unique<TcxCanvas>(FCanvas.get())) {
  FCanvas->SetControl(this);
  SetBorderStyle(bsNone);
  SetDefaultMonitor(dmDesktop);
  SetFormStyle(fsStayOnTop);
}

TcxPopupWindow::~TcxPopupWindow() {
  if (FOwnerParent) FOwnerParent->RemoveFreeNotification(this);
}

void TcxPopupWindow::SetOwnerParent(TControl* Value) {
  if (FOwnerParent == Value) return;
  if (FOwnerParent) FOwnerParent->RemoveFreeNotification(this);
  FOwnerParent = Value;
  if (FOwnerParent) FOwnerParent->FreeNotification(this);
}

void TcxPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FOwnerParent) FOwnerParent = nullptr;
}

void TcxPopupWindow::SetFrameStyle(TcxPopupFrameStyle Value) {
  if (FFrameStyle == Value) return;
  UndoChildOffset();
  FFrameStyle = Value;
  Invalidate();
}

void TcxPopupWindow::SetFrameColor(TColor Value) {
  if (FFrameColor == Value) return;
  FFrameColor = Value;
  Invalidate();
}

Integer TcxPopupWindow::FrameLineWidth() {
  switch (FFrameStyle) {
    case pfsFlat:
    case pfsSingle: return 1;
    case pfsDouble: return 2;
    default: return 0;
  }
}

Integer TcxPopupWindow::SideFrameSize(Integer) { return FrameLineWidth() + FBorderSpace; }

void TcxPopupWindow::UndoChildOffset() {
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    auto fitted = std::find_if(FFittedChildren.begin(), FFittedChildren.end(),
                               [c](const TFittedChild& F) { return F.Control == c; });
    // A child placed anew since the fit (moved back, say) keeps its place.
    if (fitted != FFittedChildren.end() && c->Left() == fitted->FittedAt.X && c->Top() == fitted->FittedAt.Y)
      c->SetBounds(c->Left() - FFitOffset.X, c->Top() - FFitOffset.Y, c->Width(), c->Height());
  }
  FFittedChildren.clear();
  FFitOffset = TPoint{0, 0};
}

void TcxPopupWindow::FitToChildren() {
  if (!FAdjustable) return;
  UndoChildOffset();
  Integer left = SideFrameSize(cxPopupSideLeft), top = SideFrameSize(cxPopupSideTop);
  Integer maxRight = 0, maxBottom = 0;
  for (Integer i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    maxRight = std::max(maxRight, c->Left() + c->Width());
    maxBottom = std::max(maxBottom, c->Top() + c->Height());
    c->SetBounds(c->Left() + left, c->Top() + top, c->Width(), c->Height());
    FFittedChildren.push_back(TFittedChild{c, TPoint{c->Left(), c->Top()}});
  }
  FFitOffset = TPoint{left, top};
  if (ControlCount() > 0 || maxRight != 0)
    SetBounds(Left(), Top(), left + maxRight + SideFrameSize(cxPopupSideRight),
              top + maxBottom + SideFrameSize(cxPopupSideBottom));
}

void TcxPopupWindow::TakeOwnerFont() {
  if (FOwnerParent) SetFont(FOwnerParent->Font());
}

void TcxPopupWindow::CalculatePosition(TPoint& P) {
  TRect owner = FOwnerBounds;
  if (FOwnerParent) {
    TPoint tl = FOwnerParent->ClientToScreen(TPoint{owner.Left, owner.Top});
    TPoint br = FOwnerParent->ClientToScreen(TPoint{owner.Right, owner.Bottom});
    owner = TRect{tl.X, tl.Y, br.X, br.Y};
  }
  P = cxCalculatePopupPosition(owner, Width(), Height(), FAlignHorz, FAlignVert, FDirection, nullptr);
}

void TcxPopupWindow::ShowPopup() {
  TakeOwnerFont();
  FitToChildren();
  TPoint p;
  CalculatePosition(p);
  // Only a popup larger than the whole work area is shrunk to it.
  TRect work = MonitorWorkAreaAt(p);
  SetBounds(p.X, p.Y, std::min(Width(), work.Right - p.X), std::min(Height(), work.Bottom - p.Y));
  Show();
}

void TcxPopupWindow::ClosePopup() { Hide(); }

void TcxPopupWindow::DrawFrame() {
  TRect r{0, 0, Width(), Height()};
  switch (FFrameStyle) {
    case pfsFlat:
      FcxCanvas->DrawBorderBands(r, FFrameColor, cxAllBorders, 1);
      break;
    case pfsSingle:
      FcxCanvas->DrawEdgeRing(r, false, false, cxAllBorders);
      break;
    case pfsDouble:
      FcxCanvas->DrawEdgeRing(r, false, true, cxAllBorders);
      InflateRect(r, -1, -1);
      FcxCanvas->DrawEdgeRing(r, false, false, cxAllBorders);
      break;
    default:
      break;
  }
}

void TcxPopupWindow::PaintWindow(HDC DC) {
  TForm::PaintWindow(DC);
  FCanvas->Release();
  FCanvas->Attach(DC);
  struct TLeave {
    TControlCanvas* C;
    ~TLeave() { C->SetTarget(nullptr); }
  } leave{FCanvas.get()};
  Paint();
  DrawFrame();
}

void TcxPopupWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ACTIVATEAPP) {
    WMActivateApp(Message);
    return;
  }
  TForm::Dispatch(Message);
}

void TcxPopupWindow::WMActivate(TMessage& Message) {
  TForm::WMActivate(Message);
  TWMActivate a(Message);
  if (a.Active() == WA_INACTIVE) {
    // Activation moves on to a third window: the window the popup opened
    // from is no longer active and must not go on looking so.
    HWND prev = FPrevActiveWindow;
    FPrevActiveWindow = 0;
    if (prev && prev != a.ActiveWindow()) SendMessage(prev, WM_NCACTIVATE, 0, 0);
    return;
  }
  FPrevActiveWindow = a.ActiveWindow();
  // The window the popup opened from keeps its active caption.
  if (FPrevActiveWindow) SendMessage(FPrevActiveWindow, WM_NCACTIVATE, 1, 0);
}

void TcxPopupWindow::WMActivateApp(TMessage& Message) {
  TForm::Dispatch(Message);
  if (TWMActivateApp(Message).Active()) return;
  if (FPrevActiveWindow) SendMessage(FPrevActiveWindow, WM_NCACTIVATE, 0, 0);
  ClosePopup();
}

void TcxPopupWindow::Deactivate() {
  TForm::Deactivate();
  ClosePopup();
}

void TcxPopupWindow::CMVisibleChanged(TMessage& Message) {
  TForm::CMVisibleChanged(Message);
  VisibleChanged();
}
