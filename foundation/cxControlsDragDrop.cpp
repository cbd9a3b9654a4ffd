// Drag and drop inside the library's controls, drag detection, middle-button
// panning and drag images.
#include "foundation/cxControlsDragDrop.h"

#include <cstdlib>
#include <limits>

#include "foundation/cxControls.h"
#include "platform/gui/forms.h"
#include "platform/gui/regions.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"

// ---- TcxDragAndDropObject ------------------------------------------------------------------

TcxDragAndDropObject::TcxDragAndDropObject(TcxControl* AControl) : FControl(AControl) {}

TcxCanvas* TcxDragAndDropObject::Canvas() const { return FControl ? FControl->cxCanvas() : nullptr; }

void TcxDragAndDropObject::SetDirty(bool Value) {
  if (FDirty == Value) return;
  FDirty = Value;
  DirtyChanged();
}

void TcxDragAndDropObject::DoBeginDragAndDrop() {
  TPoint p = GetMouseCursorPos();
  if (FControl) p = FControl->ScreenToClient(p);
  FCurMousePos = p;
  FPrevMousePos = p;
  BeginDragAndDrop();
}

void TcxDragAndDropObject::DoDragAndDrop(const TPoint& P, bool& Accepted) {
  FPrevMousePos = FCurMousePos;
  FCurMousePos = P;
  DragAndDrop(P, Accepted);
}

void TcxDragAndDropObject::DoEndDragAndDrop(bool Accepted) {
  FEndAccepted = Accepted;
  BeforeEndDragAndDrop();
  EndDragAndDrop(Accepted);
}

TCursor TcxDragAndDropObject::GetCursor(bool Accepted) { return Accepted ? crDrag : crNoDrop; }

void TcxDragAndDropObject::BeginDragAndDrop() { DirtyChanged(); }

void TcxDragAndDropObject::DragAndDrop(const TPoint&, bool& Accepted) {
  SetDirty(false);
  if (Screen) Screen->SetCursor(GetCursor(Accepted));
}

void TcxDragAndDropObject::BeforeEndDragAndDrop() { SetDirty(true); }

// ---- Modal loops ---------------------------------------------------------------------------

namespace {

bool IsEscapeKey(const TMsg& Msg) {
  return (Msg.message == WM_KEYDOWN || Msg.message == WM_KEYUP) && Msg.wParam == VK_ESCAPE;
}

// The screen point of a mouse message.
TPoint MouseMessagePoint(const TMsg& Msg) {
  TPoint p = LParamToPoint(Msg.lParam);
  if (Msg.hwnd) ClientToScreen(Msg.hwnd, p);
  return p;
}

void TranslateAndDispatch(const TMsg& Msg) {
  TranslateMessage(Msg);
  DispatchMessage(Msg);
}

// Releases the capture when the window still holds it.
struct TCaptureScope {
  HWND Window;
  ~TCaptureScope() {
    if (GetCapture() == Window) ReleaseCapture();
  }
};

}  // namespace

TcxDragDetect DragDetectLoop(HWND AWindow) {
  Integer threshold = Mouse ? Mouse->DragThreshold() : 5;
  TPoint start = GetMouseCursorPos();
  TRect deadZone{start.X - threshold, start.Y - threshold, start.X + threshold, start.Y + threshold};
  SetCapture(AWindow);
  TCaptureScope capture{AWindow};
  while (GetCapture() == AWindow) {
    TMsg msg;
    if (!GetMessage(msg, 0, 0, 0)) {
      PostQuitMessage(static_cast<Integer>(msg.wParam));
      return cxddCancelled;
    }
    TcxDragDetect result = cxddCancelled;
    bool done = true;
    switch (msg.message) {
      case WM_MOUSEMOVE:
        result = cxddDrag;
        done = !PtInRect(deadZone, MouseMessagePoint(msg));
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        result = cxddReleased;
        break;
      default:
        done = IsEscapeKey(msg);
        break;
    }
    TranslateAndDispatch(msg);
    if (done) return result;
  }
  return cxddCancelled;
}

// ---- Panning -------------------------------------------------------------------------------

std::unique_ptr<TBitmap> cxCreatePanMark(TcxPanMarkKind AKind, TColor AKeyColor) {
  const Integer s = cxPanMarkSize, c = s / 2;
  auto bmp = std::make_unique<TBitmap>(s, s);
  TCanvas* cv = bmp->Canvas();
  cv->Brush()->SetColor(AKeyColor);
  cv->FillRect(TRect{0, 0, s, s});
  cv->Pen()->SetColor(clWindowText);
  cv->Brush()->SetColor(clWindow);
  cv->Ellipse(0, 0, s, s);
  cv->Brush()->SetColor(clWindowText);
  cv->FillRect(TRect{c - 2, c - 2, c + 2, c + 2});
  // Arrow heads four pixels deep, pointing away from the centre.
  auto arrow = [&](Integer dx, Integer dy) {
    for (Integer i = 0; i < 4; ++i) {
      Integer along = 4 + i;  // from the tip inwards
      Integer tipX = c + dx * (c - along), tipY = c + dy * (c - along);
      if (dx != 0) cv->FillRect(TRect{tipX, c - i, tipX + 1, c + i + 1});
      else cv->FillRect(TRect{c - i, tipY, c + i + 1, tipY + 1});
    }
  };
  if (AKind != cxpmHorizontal) arrow(0, -1), arrow(0, 1);
  if (AKind != cxpmVertical) arrow(-1, 0), arrow(1, 0);
  bmp->SetTransparentColor(AKeyColor);
  return bmp;
}

TcxPanMotion cxPanMotionAt(Integer ADX, Integer ADY, bool AHasHorzBar, bool AHasVertBar) {
  const Integer half = cxPanMarkSize / 2;
  TcxPanMotion m;
  bool outsideX = AHasHorzBar && (ADX < -half || ADX >= cxPanMarkSize - half);
  bool outsideY = AHasVertBar && (ADY < -half || ADY >= cxPanMarkSize - half);
  if (!outsideX && !outsideY) return m;
  m.OutsideNeutralZone = true;
  bool vertical = !AHasHorzBar || (AHasVertBar && std::abs(ADY) >= std::abs(ADX));
  Integer distance = vertical ? std::abs(ADY) : std::abs(ADX);
  if (vertical) m.Direction = ADY < 0 ? dirUp : dirDown;
  else m.Direction = ADX < 0 ? dirLeft : dirRight;
  m.Speed = std::min<Integer>(std::max<Integer>((distance - half) / 5 + 1, 1), 12);
  return m;
}

TCursor cxPanCursor(Integer ADirection, bool AHasHorzBar, bool AHasVertBar) {
  switch (ADirection) {
    case dirLeft: return crcxLeftScroll;
    case dirRight: return crcxRightScroll;
    case dirUp: return crcxUpScroll;
    case dirDown: return crcxDownScroll;
    default:
      if (AHasHorzBar && AHasVertBar) return crcxFullScroll;
      return AHasHorzBar ? crcxHorScroll : crcxVerScroll;
  }
}

bool cxPanTickScrolls(Integer ATick, Integer ASpeed) {
  if (ASpeed <= 0) return false;
  return ATick % (13 - std::min<Integer>(ASpeed, 12)) == 0;
}

namespace {

// One panning session: the mark, the timer, the motion.
class TPanning {
public:
  TPanning(TcxControl* AControl, bool AHorz, bool AVert)
      : FControl(AControl), FWnd(AControl->Handle()), FHorz(AHorz), FVert(AVert), FStart(GetMouseCursorPos()) {}

  ~TPanning() {
    if (GetCapture() == FWnd) ReleaseCapture();
    if (FTimer) KillTimer(0, FTimer);
    FMark.reset();
    if (Screen) Screen->SetCursor(FSavedCursor);
  }

  void Run() {
    ShowMark();
    if (Screen) {
      FSavedCursor = Screen->Cursor();
      Screen->SetCursor(cxPanCursor(dirNone, FHorz, FVert));
    }
    FTimer = SetTimer(0, 0, cxPanTimerInterval);
    SetCapture(FWnd);
    // The control may be freed by a message it handles meanwhile.
    TcxDestroyGuard guard(FControl);
    while (guard.Alive() && GetCapture() == FWnd) {
      TMsg msg;
      if (!GetMessage(msg, 0, 0, 0)) {
        PostQuitMessage(static_cast<Integer>(msg.wParam));
        return;
      }
      if (!Handle(msg)) return;
    }
  }

private:
  void ShowMark() {
    const TColor key = static_cast<TColor>(0x00FE00FF);
    TcxPanMarkKind kind = FHorz && FVert ? cxpmFull : FHorz ? cxpmHorizontal : cxpmVertical;
    std::unique_ptr<TBitmap> picture = cxCreatePanMark(kind, key);
    FMark = std::make_unique<TOverlayWindow>();
    const Integer half = cxPanMarkSize / 2;
    FMark->SetBounds(TRect{FStart.X - half, FStart.Y - half, FStart.X - half + cxPanMarkSize,
                           FStart.Y - half + cxPanMarkSize});
    FMark->SetTransparentColor(key);
    FMark->SetImage(picture.get());
    FMark->Show();
  }

  // Answers false when the message ends panning.
  bool Handle(const TMsg& Msg) {
    switch (Msg.message) {
      case WM_TIMER:
        if (Msg.hwnd == 0 && Msg.wParam == FTimer) {
          Tick();
          return true;
        }
        break;
      case WM_MOUSEMOVE:
        Move(MouseMessagePoint(Msg));
        return true;
      case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_MOUSEWHEEL:
        return false;
      case WM_MBUTTONUP:
        // A middle click without moving leaves panning on until the next click.
        if (!FLeftZone) return true;
        TranslateAndDispatch(Msg);
        return false;
      default:
        break;
    }
    TranslateAndDispatch(Msg);
    return !IsEscapeKey(Msg);
  }

  void Tick() {
    ++FTickCount;
    if (FMotion.Direction != dirNone && cxPanTickScrolls(FTickCount, FMotion.Speed))
      FControl->ScrollOneStep(static_cast<TcxDirection>(FMotion.Direction));
  }

  void Move(const TPoint& P) {
    if (P == FLastPoint) return;
    FLastPoint = P;
    FMotion = cxPanMotionAt(P.X - FStart.X, P.Y - FStart.Y, FHorz, FVert);
    if (FMotion.OutsideNeutralZone) FLeftZone = true;
    if (Screen) Screen->SetCursor(cxPanCursor(FMotion.Direction, FHorz, FVert));
  }

  TcxControl* FControl;
  HWND FWnd;
  bool FHorz, FVert;
  TPoint FStart;
  TPoint FLastPoint{std::numeric_limits<Integer>::min(), 0};
  std::unique_ptr<TOverlayWindow> FMark;
  WPARAM FTimer = 0;
  TCursor FSavedCursor = crDefault;
  TcxPanMotion FMotion;
  Integer FTickCount = 0;
  bool FLeftZone = false;
};

}  // namespace

bool cxPanContent(TcxControl* AControl) {
  if (!AControl) return false;
  bool horz = AControl->IsHScrollBarVisible(), vert = AControl->IsVScrollBarVisible();
  if (!horz && !vert) return false;
  TPanning panning(AControl, horz, vert);
  panning.Run();
  return true;
}

// ---- TcxDragControlObject ------------------------------------------------------------------

TCursor TcxDragControlObject::GetDragCursor(bool Accepted, Integer X, Integer Y) {
  if (FDragImages) {
    if (FDragImages->Dragging()) FDragImages->DragMove(TPoint{X, Y});
    else FDragImages->BeginDrag(TPoint{X, Y});
  }
  if (Accepted && IsCtrlKeyDown()) return crcxDragCopy;
  return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

void TcxDragControlObject::HideDragImage() {
  if (FDragImages) FDragImages->HideDragImage();
}

void TcxDragControlObject::ShowDragImage() {
  if (FDragImages) FDragImages->ShowDragImage();
}

void TcxDragControlObject::Finished(TObject* Target, Integer X, Integer Y, bool Accepted) {
  // The control frees its drag images when told that the drag ended.
  if (FDragImages) FDragImages->EndDrag();
  FDragImages = nullptr;
  TDragControlObject::Finished(Target, X, Y, Accepted);
  delete this;
}

// ---- TcxDragImageList ----------------------------------------------------------------------

namespace {
constexpr TColor kDragKeyColor = static_cast<TColor>(0x00FE00FF);
}

TcxDragImageList::TcxDragImageList(TComponent* AOwner) : TImageList(AOwner) {}

TcxDragImageList::~TcxDragImageList() = default;

bool TcxDragImageList::SetDragImage(Integer Index, Integer HotSpotX, Integer HotSpotY) {
  if (Index < 0 || Index >= Count()) return false;
  FDragIndex = Index;
  FHotSpot = TPoint{HotSpotX, HotSpotY};
  return true;
}

void TcxDragImageList::PlaceWindow(const TPoint& ScreenPos) {
  Integer x = ScreenPos.X - FHotSpot.X, y = ScreenPos.Y - FHotSpot.Y;
  FWindow->SetBounds(TRect{x, y, x + Width(), y + Height()});
}

bool TcxDragImageList::BeginDrag(const TPoint& ScreenPos) {
  if (FDragIndex < 0 || FDragIndex >= Count()) return false;
  TBitmap image(Width(), Height());
  image.Canvas()->Brush()->SetColor(kDragKeyColor);
  image.Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  Draw(image.Canvas(), 0, 0, FDragIndex);
  FWindow = std::make_unique<TOverlayWindow>();
  PlaceWindow(ScreenPos);  // sizes the window's picture first
  FWindow->SetTransparentColor(kDragKeyColor);
  FWindow->SetImage(&image);
  FDragging = true;
  FHidden = false;
  FWindow->Show();
  return true;
}

bool TcxDragImageList::DragMove(const TPoint& ScreenPos) {
  if (!FDragging) return false;
  PlaceWindow(ScreenPos);
  return true;
}

void TcxDragImageList::HideDragImage() {
  if (!FDragging) return;
  FHidden = true;
  FWindow->Hide();
}

void TcxDragImageList::ShowDragImage() {
  if (!FDragging || !FHidden) return;
  FHidden = false;
  FWindow->Show();
}

bool TcxDragImageList::EndDrag() {
  if (!FDragging) return false;
  FDragging = false;
  FHidden = false;
  FWindow.reset();
  return true;
}

bool cxBuildDragImages(TcxDragImageList* AList, const TSize& ASize,
                       const std::function<void(TcxCanvas*, const TRect&)>& ADraw) {
  if (!AList) return false;
  AList->Clear();
  if (ASize.cx <= 0 || ASize.cy <= 0) return false;
  AList->SetWidth(ASize.cx);
  AList->SetHeight(ASize.cy);
  TBitmap image(ASize.cx, ASize.cy);
  {
    TcxCanvas canvas(image.Canvas());
    if (ADraw) ADraw(&canvas, TRect{0, 0, ASize.cx, ASize.cy});
  }
  return AList->AddMasked(&image, image.TransparentColor()) >= 0;
}
