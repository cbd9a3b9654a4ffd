#pragma once
// The library's own scroll bar: a window of its own, painted entirely by the
// look-and-feel painter so that it matches the control that hosts it.
//
// The bar has five parts (TcxScrollBarPart): the two arrow buttons, the
// thumb and the two page areas beside it. A left press on an arrow or a page
// area scrolls once at once, again after 400 ms and then every 60 ms while
// the button stays down over that part. A press on the thumb tracks it: the
// thumb follows the mouse while the cursor stays within a band around the
// bar (34 pixels along it, 136 across) and snaps back to where it was when
// the cursor leaves the band, unless UnlimitedTracking is set.
//
// Scrolling is reported with the scroll codes of TScrollCode through Scroll
// (OnScroll); position changes made by the bar itself call Change (OnChange),
// except while the thumb is dragged.
#include <memory>

#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/gui/timers.h"
#include "platform/rtl/resstr.h"

class TqzThemeChangedNotificator;

enum TScrollBarKind : Integer { sbHorizontal, sbVertical };

// The scroll codes (the SB_* numbers of WM_HSCROLL / WM_VSCROLL).
enum TScrollCode : Integer {
  scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll
};

using TScrollEvent = TEvent<void(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos)>;

// The library text of an invalid range.
inline constexpr TResourceString scxScrollBarPropertyOutOfRange{64990, u"Scrollbar property out of range"};

// Timing of the auto-repeat and the tracking band.
inline constexpr Cardinal cxScrollInitialInterval = 400;
inline constexpr Cardinal cxScrollInterval = 60;
inline constexpr Integer cxScrollTrackBandAlong = 34;
inline constexpr Integer cxScrollTrackBandAcross = 136;
inline constexpr Integer cxScrollMinThumbLength = 8;

class TcxScrollBar : public TCustomControl {
  KORVANE_CLASS(TcxScrollBar, TCustomControl)
  // 121 pixels wide and SM_CYHSCROLL tall, horizontal, range 0..100.
  explicit TcxScrollBar(TComponent* AOwner);
  ~TcxScrollBar() override;
  // Guards running in the bar's handlers see it as destroyed from here on
  // (a scroll handler may free the bar, or the control that owns it).
  void BeforeDestruction() override;

  // ---- Values ----
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  Integer Min() const { return FMin; }
  Integer Max() const { return FMax; }
  Integer PageSize() const { return FPageSize; }
  Integer Position() const { return FPosition; }
  void SetMin(Integer Value) { SetScrollValues(Value, FMax, true, FPageSize, FPosition); }
  void SetMax(Integer Value) { SetScrollValues(FMin, Value, true, FPageSize, FPosition); }
  void SetPageSize(Integer Value) { SetScrollValues(FMin, FMax, true, Value, FPosition); }
  void SetPosition(Integer Value) { SetScrollValues(FMin, FMax, true, FPageSize, Value); }
  Integer SmallChange() const { return FSmallChange; }
  void SetSmallChange(Integer Value) { FSmallChange = Value; }
  Integer LargeChange() const { return FLargeChange; }
  void SetLargeChange(Integer Value) { FLargeChange = Value; }
  bool UnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool Value) { FUnlimitedTracking = Value; }
  // Raises EInvalidOperation "Scrollbar property out of range" when
  // AMax < AMin or AMax < APageSize (nothing changes then); the position is
  // clamped into AMin..AMax. A changed position enables the bar and calls
  // Change.
  void SetScrollValues(Integer AMin, Integer AMax, bool ARepaint, Integer APageSize, Integer APosition);

  // ---- Look ----
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TcxLookAndFeel* Value);
  // The painter the bar draws with (the look-and-feel's for the "ScrollBar"
  // theme class).
  TcxCustomLookAndFeelPainterClass Painter() const;

  // ---- Layout and state (client coordinates) ----
  TRect PartBounds(TcxScrollBarPart APart) const;
  TcxScrollBarPart HitTest(const TPoint& P) const;
  Integer MinThumbLength() const { return FMinThumbLength; }
  TcxScrollBarPart PressedPart() const { return FPressedPart; }
  TcxScrollBarPart HotPart() const { return FHotPart; }
  // Whether the repeat timer runs, and its interval.
  bool RepeatTimerEnabled() const { return FTimer->Enabled(); }
  Cardinal RepeatTimerInterval() const { return FTimer->Interval(); }

  // Scrolls by one scroll code: the new position is computed, offered to
  // Scroll (which may change it), clamped and applied when it differs.
  void ScrollBy(TScrollCode ScrollCode);

  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

protected:
  // The class library's Changed, then OnChange.
  virtual void Change();
  // Calls OnScroll.
  virtual void Scroll(TScrollCode ScrollCode, Integer& ScrollPos);

  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void WMCancelMode(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMSysColorChange(TMessage& Message) override;

  // Recomputes every part from the size, kind, range and state.
  void CalcRects();
  // Ends a press: reports the final thumb position, stops the timer and
  // sends the end-scroll code.
  void StopTracking();

private:
  void CalcArrows();
  void CalcThumb();
  void CalcPageAreas();
  void CalcMinThumbLength();
  void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  void ThemeChanged();
  void TimerTick(TObject* Sender);
  void ThumbDragged(const TPoint& P);
  bool InsideTrackingBand(const TPoint& P) const;
  Integer PositionFromThumb() const;
  TcxButtonState PartState(TcxScrollBarPart APart) const;
  bool HotTracks() const;
  bool IsRepeatingPart(TcxScrollBarPart APart) const { return APart != sbpNone && APart != sbpThumbnail; }
  Integer TrackStart() const;
  Integer TrackEnd() const;
  Integer ThumbStart() const;
  Integer ThumbLength() const;
  void SetThumbStart(Integer AStart);

  TScrollBarKind FKind = sbHorizontal;
  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPageSize = 0;
  Integer FPosition = 0;
  Integer FSmallChange = 1;
  Integer FLargeChange = 1;
  bool FUnlimitedTracking = false;

  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TcxCanvas> FBitmapCanvas;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  std::unique_ptr<TTimer> FTimer;
  std::unique_ptr<TqzThemeChangedNotificator> FThemeNotificator;
  TRect FRects[6]{};
  Integer FMinThumbLength = cxScrollMinThumbLength;
  TcxScrollBarPart FPressedPart = sbpNone;
  TcxScrollBarPart FHotPart = sbpNone;
  TPoint FDownPoint;
  Integer FSavePosition = 0;
  Integer FSaveThumbStart = 0;
  bool FThumbDragged = false;
};
