#include "foundation/cxScrollBar.h"

#include <algorithm>

#include "foundation/cxClasses.h"
#include "foundation/cxPainterImages.h"
#include "foundation/qzThemeManager.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

// Theme parts of the thumb's gripper.
constexpr Integer cxGripperHorzPart = 9;
constexpr Integer cxGripperVertPart = 8;

const TcxCustomLookAndFeelPainter* PainterObject(TcxCustomLookAndFeelPainterClass APainterClass) {
  const TcxCustomLookAndFeelPainter* painter = PainterOf(APainterClass);
  return painter ? painter : PainterOf(cxCustomLookAndFeelPainter());
}

}  // namespace

TcxScrollBar::TcxScrollBar(TComponent* AOwner)
    : TCustomControl(AOwner),
      FBitmap(std::make_unique<TBitmap>()),
      FLookAndFeel(std::make_unique<TcxLookAndFeel>(this)),
      FTimer(std::make_unique<TTimer>(nullptr)),
      FThemeNotificator(std::make_unique<TqzThemeChangedNotificator>()) {
  FBitmap->SetPixelFormat(pfDevice);
  FBitmapCanvas = std::make_unique<TcxCanvas>(FBitmap->Canvas());
  FTimer->SetEnabled(false);
  FTimer->SetInterval(cxScrollInitialInterval);
  FTimer->SetOnTimer(TNotifyEvent(this, &TcxScrollBar::TimerTick));
  FLookAndFeel->OnChanged = TcxLookAndFeelChangedEvent(this, &TcxScrollBar::LookAndFeelChanged);
  FThemeNotificator->OnThemeChanged = TqzThemeChangedEvent(this, &TcxScrollBar::ThemeChanged);
  FControlStyle = csCaptureMouse | csFramed | csOpaque;
  CalcMinThumbLength();
  SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
}

TcxScrollBar::~TcxScrollBar() {
  FTimer.reset();
  FThemeNotificator.reset();
  FLookAndFeel.reset();
  FBitmapCanvas.reset();
  FBitmap.reset();
}

void TcxScrollBar::BeforeDestruction() {
  ClearObjectLinks(this);
  TCustomControl::BeforeDestruction();
}

// ---- Values ------------------------------------------------------------------------------

void TcxScrollBar::SetScrollValues(Integer AMin, Integer AMax, bool ARepaint, Integer APageSize,
                                   Integer APosition) {
  if (AMax < AMin || AMax < APageSize) throw EInvalidOperation(LoadResourceText(scxScrollBarPropertyOutOfRange));
  APosition = std::clamp(APosition, AMin, AMax);
  if (AMin == FMin && AMax == FMax && APageSize == FPageSize && APosition == FPosition) return;
  FMin = AMin;
  FMax = AMax;
  FPageSize = APageSize;
  bool repaint = ARepaint && HandleAllocated();
  if (APosition == FPosition) {
    CalcThumb();
    if (repaint) Invalidate();
    return;
  }
  SetEnabled(true);
  FPosition = APosition;
  CalcThumb();
  if (repaint) Invalidate();
  Change();
}

void TcxScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (IsLoading()) CalcArrows();
  else CalcRects();
  Invalidate();
}

void TcxScrollBar::SetLookAndFeel(TcxLookAndFeel* Value) { FLookAndFeel->Assign(Value); }

TcxCustomLookAndFeelPainterClass TcxScrollBar::Painter() const {
  TcxCustomLookAndFeelPainterClass painter = FLookAndFeel->PainterForThemeClass(thcScrollBar);
  return painter ? painter : cxCustomLookAndFeelPainter();
}

void TcxScrollBar::Change() {
  Changed();
  if (OnChange) OnChange(this);
}

void TcxScrollBar::Scroll(TScrollCode ScrollCode, Integer& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TcxScrollBar::ScrollBy(TScrollCode ScrollCode) {
  Integer pos = FPosition;
  switch (ScrollCode) {
    case scLineUp: pos -= FSmallChange; break;
    case scLineDown: pos += FSmallChange; break;
    case scPageUp: pos -= FLargeChange; break;
    case scPageDown: pos += FLargeChange; break;
    case scTop: pos = FMin; break;
    case scBottom: pos = FMax; break;
    default: break;
  }
  pos = std::clamp(pos, FMin, FMax);
  TcxDestroyGuard guard(this);
  Scroll(ScrollCode, pos);
  if (!guard.Alive()) return;
  pos = std::clamp(pos, FMin, FMax);
  if (pos == FPosition) return;
  if (ScrollCode == scTrack) {
    FPosition = pos;
    Invalidate();
  } else {
    SetPosition(pos);
  }
}

// ---- Layout ------------------------------------------------------------------------------

TRect TcxScrollBar::PartBounds(TcxScrollBarPart APart) const { return FRects[APart]; }

Integer TcxScrollBar::TrackStart() const {
  return FKind == sbHorizontal ? FRects[sbpLineUp].Right : FRects[sbpLineUp].Bottom;
}

Integer TcxScrollBar::TrackEnd() const {
  return FKind == sbHorizontal ? FRects[sbpLineDown].Left : FRects[sbpLineDown].Top;
}

Integer TcxScrollBar::ThumbStart() const {
  return FKind == sbHorizontal ? FRects[sbpThumbnail].Left : FRects[sbpThumbnail].Top;
}

Integer TcxScrollBar::ThumbLength() const {
  return FKind == sbHorizontal ? FRects[sbpThumbnail].Width() : FRects[sbpThumbnail].Height();
}

void TcxScrollBar::SetThumbStart(Integer AStart) {
  Integer length = ThumbLength();
  if (FKind == sbHorizontal) FRects[sbpThumbnail] = Rect(AStart, 0, AStart + length, Height());
  else FRects[sbpThumbnail] = Rect(0, AStart, Width(), AStart + length);
}

void TcxScrollBar::CalcRects() {
  CalcArrows();
  CalcThumb();
}

void TcxScrollBar::CalcArrows() {
  bool horz = FKind == sbHorizontal;
  Integer length = horz ? Width() : Height();
  Integer arrow = std::min(GetSystemMetrics(horz ? SM_CYHSCROLL : SM_CXVSCROLL), length / 2);
  arrow = std::max(arrow, 0);
  if (horz) {
    FRects[sbpLineUp] = Rect(0, 0, arrow, Height());
    FRects[sbpLineDown] = Rect(Width() - arrow, 0, Width(), Height());
  } else {
    FRects[sbpLineUp] = Rect(0, 0, Width(), arrow);
    FRects[sbpLineDown] = Rect(0, Height() - arrow, Width(), Height());
  }
}

void TcxScrollBar::CalcThumb() {
  FRects[sbpThumbnail] = TRect{};
  bool horz = FKind == sbHorizontal;
  Integer track = TrackEnd() - TrackStart();
  Integer length = 0;
  Integer offset = 0;
  bool visible = Enabled();
  if (visible && FPageSize > 0) {
    length = std::min(track, MulDiv(FPageSize, track, FMax - FMin + 1));
    if (track < FMinThumbLength || FMax == FMin) visible = false;
    length = std::max(length, FMinThumbLength);
    // A page as large as the whole range leaves no room to move: the thumb
    // then fills the track from its start.
    Integer range = FMax - FMin - FPageSize + 1;
    if (range > 0) offset = MulDiv(track - length, std::min(FPosition - FMin, range), range);
  } else if (visible) {
    // An empty range has nothing to scroll: no thumb, as with a
    // proportional one.
    length = GetSystemMetrics(horz ? SM_CXHTHUMB : SM_CYVTHUMB);
    if (track < length || FMax == FMin) visible = false;
    if (track - length > 0 && FMax != FMin) offset = MulDiv(track - length, FPosition - FMin, FMax - FMin);
  }
  if (visible) {
    Integer start = TrackStart() + std::max(offset, 0);
    if (horz) FRects[sbpThumbnail] = Rect(start, 0, start + length, Height());
    else FRects[sbpThumbnail] = Rect(0, start, Width(), start + length);
  }
  CalcPageAreas();
}

void TcxScrollBar::CalcPageAreas() {
  const TRect& thumb = FRects[sbpThumbnail];
  if (IsRectEmpty(thumb)) {
    FRects[sbpPageUp] = FRects[sbpPageDown] = TRect{};
    return;
  }
  if (FKind == sbHorizontal) {
    FRects[sbpPageUp] = Rect(TrackStart(), 0, thumb.Left, Height());
    FRects[sbpPageDown] = Rect(thumb.Right, 0, TrackEnd(), Height());
  } else {
    FRects[sbpPageUp] = Rect(0, TrackStart(), Width(), thumb.Top);
    FRects[sbpPageDown] = Rect(0, thumb.Bottom, Width(), TrackEnd());
  }
}

void TcxScrollBar::CalcMinThumbLength() {
  FMinThumbLength = cxScrollMinThumbLength;
  TcxCustomLookAndFeelPainterClass native = NativeLookAndFeelPainter();
  if (!native || Painter() != native) return;
  HTHEME theme = OpenThemeClass(thcScrollBar);
  if (!theme) return;
  bool horz = FKind == sbHorizontal;
  Integer part = horz ? cxGripperHorzPart : cxGripperVertPart;
  TSize minSize, trueSize;
  if (GetThemePartSize(theme, nullptr, part, 1, TS_MIN, minSize) != S_OK) return;
  Integer result = horz ? minSize.cx : minSize.cy;
  if (GetThemePartSize(theme, nullptr, part, 1, TS_TRUE, trueSize) == S_OK)
    result = std::max((horz ? trueSize.cx : trueSize.cy) + 4, result);
  if (result > 7) FMinThumbLength = result;
}

Integer TcxScrollBar::PositionFromThumb() const {
  Integer range = FMax - FMin;
  if (FPageSize > 0) range -= FPageSize - 1;
  Integer room = TrackEnd() - TrackStart() - ThumbLength();
  if (room <= 0) return FMin;
  return FMin + MulDiv(range, ThumbStart() - TrackStart(), room);
}

TcxScrollBarPart TcxScrollBar::HitTest(const TPoint& P) const {
  if (!PtInRect(ClientRect(), P)) return sbpNone;
  if (PtInRect(FRects[sbpLineUp], P)) return sbpLineUp;
  if (PtInRect(FRects[sbpLineDown], P)) return sbpLineDown;
  if (IsRectEmpty(FRects[sbpThumbnail])) return sbpNone;
  for (TcxScrollBarPart part : {sbpThumbnail, sbpPageUp, sbpPageDown})
    if (PtInRect(FRects[part], P)) return part;
  return sbpNone;
}

void TcxScrollBar::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  bool resized = AWidth != Width() || AHeight != Height();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if ((resized || FBitmap->Empty()) && Width() > 0 && Height() > 0) {
    FBitmap->SetSize(Width(), Height());
    CalcRects();
  }
}

// ---- Painting ----------------------------------------------------------------------------

bool TcxScrollBar::HotTracks() const { return PainterObject(Painter())->HotTracksButtons(); }

TcxButtonState TcxScrollBar::PartState(TcxScrollBarPart APart) const {
  if (!Enabled()) return cxbsDisabled;
  if (APart == sbpThumbnail && !HotTracks()) return cxbsNormal;
  if (FPressedPart != sbpNone) return APart == FPressedPart && APart == FHotPart ? cxbsPressed : cxbsNormal;
  return APart == FHotPart && !IsDesigning() ? cxbsHot : cxbsNormal;
}

void TcxScrollBar::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  if (FBitmap->Width() != Width() || FBitmap->Height() != Height()) {
    FBitmap->SetSize(Width(), Height());
    CalcRects();
  }
  const TcxCustomLookAndFeelPainter* painter = PainterObject(Painter());
  bool horz = FKind == sbHorizontal;
  TcxCanvas* canvas = FBitmapCanvas.get();
  if (IsRectEmpty(FRects[sbpThumbnail]))
    painter->PaintScrollBarPart(canvas, ClientRect(), sbpPageUp, cxbsNormal, horz);
  else
    painter->PaintScrollBarPart(canvas, FRects[sbpThumbnail], sbpThumbnail, PartState(sbpThumbnail), horz);
  for (TcxScrollBarPart part : {sbpLineUp, sbpLineDown, sbpPageUp, sbpPageDown})
    if (!IsRectEmpty(FRects[part])) painter->PaintScrollBarPart(canvas, FRects[part], part, PartState(part), horz);
  Canvas()->CopyRect(ClientRect(), FBitmap->Canvas(), ClientRect());
}

// ---- Mouse -------------------------------------------------------------------------------

void TcxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  TcxScrollBarPart part = HitTest(TPoint{X, Y});
  if (part == sbpNone) return;
  FPressedPart = part;
  FHotPart = part;
  TcxDestroyGuard guard(this);
  if (part == sbpThumbnail) {
    FDownPoint = TPoint{X, Y};
    FSavePosition = FPosition;
    FSaveThumbStart = ThumbStart();
    FThumbDragged = false;
    ScrollBy(scTrack);
    if (!guard.Alive()) return;
  } else {
    static constexpr TScrollCode codes[] = {scLineUp, scLineUp, scLineDown, scTrack, scPageUp, scPageDown};
    ScrollBy(codes[part]);
    if (!guard.Alive()) return;
    FTimer->SetInterval(cxScrollInitialInterval);
    FTimer->SetEnabled(true);
  }
  Repaint();
}

void TcxScrollBar::TimerTick(TObject*) {
  if (!MouseCapture() || !IsRepeatingPart(FPressedPart)) {
    StopTracking();
    return;
  }
  if (FTimer->Interval() == cxScrollInitialInterval) FTimer->SetInterval(cxScrollInterval);
  static constexpr TScrollCode codes[] = {scLineUp, scLineUp, scLineDown, scTrack, scPageUp, scPageDown};
  TcxDestroyGuard guard(this);
  ScrollBy(codes[FPressedPart]);
  if (!guard.Alive()) return;
  TPoint p;
  GetCursorPos(p);
  FTimer->SetEnabled(HitTest(ScreenToClient(p)) == FPressedPart);
}

bool TcxScrollBar::InsideTrackingBand(const TPoint& P) const {
  if (FUnlimitedTracking) return true;
  TRect band = FKind == sbHorizontal
                   ? Rect(-cxScrollTrackBandAlong, -cxScrollTrackBandAcross, Width() + cxScrollTrackBandAlong,
                          Height() + cxScrollTrackBandAcross)
                   : Rect(-cxScrollTrackBandAcross, -cxScrollTrackBandAlong, Width() + cxScrollTrackBandAcross,
                          Height() + cxScrollTrackBandAlong);
  return PtInRect(band, P);
}

void TcxScrollBar::ThumbDragged(const TPoint& P) {
  if (!InsideTrackingBand(P)) {
    FThumbDragged = false;
    TcxDestroyGuard guard(this);
    SetPosition(FSavePosition);
    if (guard.Alive()) ScrollBy(scTrack);
    return;
  }
  Integer delta = FKind == sbHorizontal ? P.X - FDownPoint.X : P.Y - FDownPoint.Y;
  Integer start = std::clamp(FSaveThumbStart + delta, TrackStart(), std::max(TrackStart(), TrackEnd() - ThumbLength()));
  SetThumbStart(start);
  CalcPageAreas();
  FThumbDragged = true;
  Repaint();
  Integer pos = PositionFromThumb();
  if (pos != FPosition) {
    FPosition = pos;
    ScrollBy(scTrack);
  }
}

void TcxScrollBar::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  TPoint p{X, Y};
  if (FPressedPart == sbpThumbnail) {
    ThumbDragged(p);
    return;
  }
  TcxScrollBarPart part = HitTest(p);
  if (FPressedPart != sbpNone) FTimer->SetEnabled(part == FPressedPart);
  if (part != FHotPart) {
    FHotPart = part;
    if (HotTracks() || FPressedPart != sbpNone) Repaint();
  }
}

void TcxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TcxDestroyGuard guard(this);
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (guard.Alive()) StopTracking();
  if (guard.Alive()) FHotPart = HitTest(TPoint{X, Y});
}

void TcxScrollBar::StopTracking() {
  if (FPressedPart == sbpNone) return;
  TcxDestroyGuard guard(this);
  if (FPressedPart == sbpThumbnail) {
    if (FThumbDragged) FPosition = PositionFromThumb();
    FThumbDragged = false;
    ScrollBy(scPosition);
    if (!guard.Alive()) return;
  }
  FTimer->SetEnabled(false);
  FPressedPart = sbpNone;
  FHotPart = sbpNone;
  ScrollBy(scEndScroll);
  if (!guard.Alive()) return;
  CalcThumb();
  Invalidate();
}

// ---- Messages ----------------------------------------------------------------------------

void TcxScrollBar::Dispatch(TMessage& M) {
  switch (M.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      ScrollBy(static_cast<TScrollCode>(TWMScroll(M).ScrollCode()));
      return;
    case WM_ERASEBKGND:
      M.Result = 1;
      return;
    case CN_CTLCOLORSCROLLBAR:
      cxPainterImagesSystemPaletteChanged();
      DefaultHandler(M);
      return;
    default:
      TCustomControl::Dispatch(M);
  }
}

void TcxScrollBar::WMCancelMode(TMessage& M) {
  StopTracking();
  TCustomControl::WMCancelMode(M);
}

void TcxScrollBar::CMEnabledChanged(TMessage& M) {
  TCustomControl::CMEnabledChanged(M);
  CalcRects();
  if (!Enabled()) StopTracking();
  Invalidate();
}

void TcxScrollBar::CMVisibleChanged(TMessage& M) {
  TCustomControl::CMVisibleChanged(M);
  if (!Visible()) StopTracking();
}

void TcxScrollBar::CMMouseEnter(TMessage& M) {
  TCustomControl::CMMouseEnter(M);
  if (M.LParam != 0 && M.LParam != reinterpret_cast<LPARAM>(this)) return;
  if (HotTracks() || IsRepeatingPart(FPressedPart)) Repaint();
}

void TcxScrollBar::CMMouseLeave(TMessage& M) {
  TCustomControl::CMMouseLeave(M);
  if (M.LParam != 0 && M.LParam != reinterpret_cast<LPARAM>(this)) return;
  if (HotTracks() || IsRepeatingPart(FPressedPart)) {
    if (FPressedPart != sbpThumbnail) FHotPart = sbpNone;
    Invalidate();
  }
}

void TcxScrollBar::CMSysColorChange(TMessage& M) {
  cxPainterImagesSystemPaletteChanged();
  TCustomControl::CMSysColorChange(M);
}

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  CalcMinThumbLength();
  CalcRects();
  Invalidate();
}

void TcxScrollBar::ThemeChanged() {
  CalcMinThumbLength();
  CalcRects();
  cxPainterImagesSystemPaletteChanged();
  Invalidate();
  if (Parent()) Parent()->Realign();
}
