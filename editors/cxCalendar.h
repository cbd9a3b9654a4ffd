#pragma once
// The month calendar of the date editor's drop-down.
//
// TcxCustomCalendar paints a header with the shown month (and year) between
// scroll arrows, a row of week-day letters, six weeks of day cells and, by
// kind, Today/Clear buttons below the grid (ckDate) or a time part beside
// it (ckDateTime: an analog clock and Today/Now/Clear/OK buttons). It keeps
// the first date (the first day of the shown month) and the selected date
// (NullDate when none).
//
// The grid always shows 42 days, starting at the first day of the week that
// holds the first date (a whole week earlier when the month starts on the
// first day of the week). Near the ends of the calendar (January of year 1,
// December of year 9999) some of those days lie outside 0001-01-01 ..
// 9999-12-31: such cells stay blank, DateAtPoint answers NullDate for them
// and no selection, key or scroll ever reaches them.
//
// The time part's time of day lives in its time editor (a circular
// TcxTimeEdit, the first tab stop of a date-time calendar); the clock and the
// date-time header follow every change of it.
//
// Timers: the arrows repeat every cxCalendarArrowRepeatInterval while held;
// the month list scrolls at an interval picked by the mouse's distance from
// it. Both are platform timers and follow the test clock.
#include <memory>

#include "editors/cxButtons.h"
#include "editors/cxDateUtils.h"
#include "editors/cxTimeEdit.h"
#include "foundation/cxContainerPopup.h"
#include "foundation/cxControls.h"
#include "platform/gui/timers.h"
#include "platform/rtl/resstr.h"

// Captions of the buttons.
inline constexpr TResourceString cxSDateTodayButton{65330, u"Today"};
inline constexpr TResourceString cxSDateNowButton{65331, u"Now"};
inline constexpr TResourceString cxSDateClearButton{65332, u"Clear"};
inline constexpr TResourceString cxSDateOKButton{65333, u"OK"};

// Held arrows scroll again after this many milliseconds, and then as often.
inline constexpr Cardinal cxCalendarArrowRepeatInterval = 200;
// Month-list scrolling by distance from the list (in item heights, 1..3 and
// more): the farther the mouse, the faster.
inline constexpr Cardinal cxMonthListScrollIntervals[4] = {500, 250, 100, 50};
// Items of a month list that shows years: three months before the shown one,
// the shown one, three after.
inline constexpr Integer cxMonthListYearItems = 7;
inline constexpr Integer cxMonthListCurrentItem = 3;

enum TcxCalendarKind : Integer { ckDate, ckDateTime };

enum TDateButton : Integer { btnClear, btnNow, btnToday };
using TDateButtons = Cardinal;
constexpr TDateButtons DateButtonBit(TDateButton AButton) { return TDateButtons(1u << AButton); }

// The part of the header the mouse is over.
enum TcxCalendarHotRegion : Integer { chrNone = 0, chrMonth = 1, chrYear = 2 };

// The header arrows, in the order they scroll.
enum TcxCalendarArrow : Integer { caPrevMonth, caNextMonth, caPrevYear, caNextYear, caNoArrow = -1 };

class TcxCustomCalendar;

// The letter a week day shows in the week-day row: the last character of the
// short day name for the Chinese (GB2312, Big5) and Arabic character sets,
// whose short names end in the day's own sign ("周一"), the first otherwise.
// The default character set stands for the system's: a far-east system
// counts as GB2312.
String cxCalendarWeekDayLetter(const String& AShortName, TFontCharset ACharset);

// ---------------------------------------------------------------------------
// TcxClock: the analog clock of the time part.

class TcxClock : public TcxControl {
  KORVANE_CLASS(TcxClock, TcxControl)
  explicit TcxClock(TComponent* AOwner);

  // Only the time of day is kept; a change repaints.
  TDateTime Time() const { return FTime; }
  void SetTime(TDateTime Value);
  TColor MinuteDotColor() const { return FMinuteDotColor; }
  void SetMinuteDotColor(TColor Value);
  // Paints the face in ARect: the hour marks, the hands.
  void PaintClock(TcxCanvas* ACanvas, const TRect& ARect);

protected:
  void Paint() override;
  bool UsesScrollBars() override { return false; }

private:
  TDateTime FTime = 0;
  TColor FMinuteDotColor = clWindow;
};

// ---------------------------------------------------------------------------
// TMonthListBox: the popup list of months that scrolls the shown month fast.

class TMonthListBox : public TcxCustomPopupWindow {
  KORVANE_CLASS(TMonthListBox, TcxCustomPopupWindow)
  explicit TMonthListBox(TcxCustomCalendar* ACalendar);

  // Seven months with their years, or the twelve month names.
  bool ShowsYears() const;
  Integer ItemCount() const { return ShowsYears() ? cxMonthListYearItems : 12; }
  // The first month shown (a list with years).
  TDateTime TopDate() const { return FTopDate; }
  Integer ItemIndex() const { return FItemIndex; }
  Integer ItemHeight() const { return FItemHeight; }
  TTimer* ScrollTimer() const { return FTimer.get(); }
  // The text of item AIndex.
  String ItemText(Integer AIndex) const;

  // Sizes and places the list over the calendar's month text and shows it.
  void OpenList();
  // Hides the list; a list with years sets the calendar's first date to the
  // month at the item index (none for -1).
  void CloseList();
  // Paints the frame and the items.
  void PaintList(TcxCanvas* ACanvas);
  // The mouse at P (list coordinates), the button held: picks the item or
  // scrolls when the mouse is above or below the list.
  void TrackMouse(const TPoint& P);
  // The button released at P (list coordinates).
  void ReleaseMouse(const TPoint& P);

protected:
  void Paint() override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;

private:
  void ScrollTick(TObject* Sender);
  void StopScrolling();

  TcxCustomCalendar* FCalendar;
  std::unique_ptr<TTimer> FTimer;
  TDateTime FTopDate = 0;
  Integer FItemIndex = -1;
  Integer FItemHeight = 0;
  Integer FScrollSign = 0;
};

// ---------------------------------------------------------------------------
// TcxCustomCalendar

class TcxCustomCalendar : public TcxControl {
  KORVANE_CLASS(TcxCustomCalendar, TcxControl)
  explicit TcxCustomCalendar(TComponent* AOwner);
  ~TcxCustomCalendar() override;

  // ---- Settings (each re-lays out the calendar) ----
  bool ArrowsForYear() const { return FArrowsForYear; }
  void SetArrowsForYear(bool Value);
  TDateButtons Buttons() const { return FButtons; }
  void SetButtons(TDateButtons Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  TcxCalendarKind Kind() const { return FKind; }
  void SetKind(TcxCalendarKind Value);
  bool YearsInMonthList() const { return FYearsInMonthList; }
  void SetYearsInMonthList(bool Value);
  // The time editor's format and 12/24-hour form (kept in its properties).
  TcxTimeEditTimeFormat TimeFormat() const;
  void SetTimeFormat(TcxTimeEditTimeFormat Value);
  bool Use24HourFormat() const;
  void SetUse24HourFormat(bool Value);

  // ---- Dates ----
  TDateTime FirstDate() const { return FFirstDate; }
  TDateTime SelectDate() const { return FSelectDate; }
  // The first day of the given date's month (a date outside the calendar's
  // range is ignored); repaints when it changed.
  virtual void SetFirstDate(TDateTime Value);
  // Stores the date (its day; a day outside the calendar's range is
  // ignored) and shows its month when it is not visible. NullDate clears
  // the selection.
  virtual void SetSelectDate(TDateTime Value);
  // The time of day of the time editor (ckDateTime); the clock shows it. A
  // text the time editor cannot read leaves the clock's last time.
  TDateTime Time() const;
  // Sets the time editor and the clock (only the time of day counts).
  void SetTime(TDateTime Value);

  // 0 for the first day of the week (the locale's) .. 6.
  static Integer WeekDayIndex(TDateTime ADate);
  virtual TDateTime FirstVisibleDate() const;
  virtual TDateTime LastVisibleDate() const;
  virtual TDateTime LastDateOfMonth() const;
  // The day under P (client coordinates), NullDate outside the day grid or
  // on a day outside the calendar's range.
  virtual TDateTime DateAtPoint(const TPoint& P) const;
  // The arrow under P, caNoArrow when none.
  TcxCalendarArrow ArrowAtPoint(const TPoint& P) const;
  // Steps the shown month by an arrow, never before January of year 1 nor
  // after December of year 9999.
  void Scroll(TcxCalendarArrow AArrow);

  // ---- Layout ----
  virtual void RecalcLayout();
  // The size the layout needs (the calendar takes it).
  virtual TSize CalcSize();
  Integer ColumnWidth() const { return FColWidth; }
  Integer SideWidth() const { return FSideWidth; }
  Integer RowHeight() const { return FRowHeight; }
  Integer HeaderHeight() const { return FHeaderHeight; }
  Integer DaysOfWeekHeight() const { return FDaysOfWeekHeight; }
  Integer ButtonsRegionHeight() const { return FButtonsRegionHeight; }
  Integer ArrowCount() const { return FArrowsForYear ? 4 : 2; }
  TRect ArrowRect(TcxCalendarArrow AArrow) const { return FArrowRects[AArrow]; }
  TRect HeaderRect() const { return FHeaderRect; }
  TRect MonthTextRect() const { return FMonthTextRect; }
  TRect YearTextRect() const { return FYearTextRect; }
  TRect DayGridRect() const { return FDayGridRect; }
  TRect ClockRect() const { return FClockRect; }
  // The cell of a visible day (empty for a day not shown).
  TRect DayCellRect(TDateTime ADate) const;
  // The time editor's size: the text of a zero time plus a digit wide.
  virtual TSize TimeEditorSize();
  // Horizontal and vertical margins of the time part.
  virtual Integer TimeMargin();
  virtual Integer TimeBottomGap();

  // ---- Parts ----
  TcxButton* TodayButton() const { return FTodayButton; }
  TcxButton* NowButton() const { return FNowButton; }
  TcxButton* ClearButton() const { return FClearButton; }
  TcxButton* OKButton() const { return FOKButton; }
  TcxClock* Clock() const { return FClock; }
  TcxTimeEdit* TimeEdit() const { return FTimeEdit; }
  TRect TimeEditRect() const { return FTimeEditRect; }
  TMonthListBox* MonthList() const { return FMonthList.get(); }
  TTimer* ArrowTimer() const { return FArrowTimer.get(); }
  TcxCalendarHotRegion HotRegion() const { return FHotRegion; }
  virtual void HideMonthListAndTimers();

  // ---- Painting ----
  // Paints the whole calendar (buttons included) on ACanvas.
  void PaintCalendar(TcxCanvas* ACanvas);

  // A chosen date: a button, Enter in a popup, a release over a date.
  TNotifyEvent OnDateChosen;

  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, const TPoint& MousePos) override;

protected:
  void Paint() override;
  void CreateWnd() override;
  bool UsesScrollBars() override { return false; }
  void HandleFontChange() override;
  void HandleMouseLeave(TControl* AControl) override;
  void DateChosen();
  virtual void UpdateHotRegion(const TPoint& P);
  void SetHotRegion(TcxCalendarHotRegion Value);

private:
  void ArrowTimerTick(TObject* Sender);
  void ButtonClick(TObject* Sender);
  // The time editor's text changed: the clock and the header follow.
  void TimeEditChanged(TObject* Sender);
  void UpdateButtons();
  void LayoutHeader(const TRect& AHeader, Integer AInset);
  void LayoutButtons(const TRect& ARegion);
  void PaintHeader(TcxCanvas* ACanvas);
  void PaintDays(TcxCanvas* ACanvas);
  void PaintTimePart(TcxCanvas* ACanvas);
  // The date moved by a key, NullDate when the key does nothing.
  TDateTime KeyTarget(Word Key, TShiftState Shift, TDateTime ADate) const;
  bool InRange(TDateTime ADate) const;
  TcxCustomTimeEditProperties* TimeProperties() const;

  bool FArrowsForYear = true;
  TDateButtons FButtons = DateButtonBit(btnClear) | DateButtonBit(btnToday);
  bool FFlat = true;
  TcxCalendarKind FKind = ckDate;
  bool FYearsInMonthList = true;
  TDateTime FFirstDate = 0;
  TDateTime FSelectDate = 0;
  TcxCalendarHotRegion FHotRegion = chrNone;
  TcxCalendarArrow FTimerArrow = caNoArrow;
  TPoint FMousePos{};

  Integer FColWidth = 0;
  Integer FSideWidth = 0;
  Integer FRowHeight = 0;
  Integer FHeaderHeight = 0;
  Integer FDaysOfWeekHeight = 0;
  Integer FButtonWidth = 0;
  Integer FButtonsHeight = 0;
  Integer FButtonsRegionHeight = 0;
  TRect FArrowRects[4]{};
  TRect FHeaderRect{};
  TRect FDateTimeHeaderRect{};
  TRect FMonthTextRect{};
  TRect FYearTextRect{};
  TRect FDayGridRect{};
  TRect FButtonsRegionRect{};
  TRect FClockRect{};
  TRect FTimeEditRect{};

  // Children are owned by the calendar as components.
  TcxButton* FTodayButton;
  TcxButton* FNowButton;
  TcxButton* FClearButton;
  TcxButton* FOKButton;
  TcxClock* FClock;
  TcxTimeEdit* FTimeEdit;
  std::unique_ptr<TTimer> FArrowTimer;
  std::unique_ptr<TMonthListBox> FMonthList;
};

// ---------------------------------------------------------------------------
// TcxPopupCalendar: the calendar inside the date editor's drop-down. The
// editor hooks itself in through the settings and events below.

class TcxPopupCalendar : public TcxCustomCalendar {
  KORVANE_CLASS(TcxPopupCalendar, TcxCustomCalendar)
  using TcxCustomCalendar::TcxCustomCalendar;

  // Whether the editor's drop-down is open: the header tracks the mouse only then.
  bool EditorPopupOpen() const { return FEditorPopupOpen; }
  void SetEditorPopupOpen(bool Value);
  // The editor's date: the selection goes back to it when the mouse leaves
  // the calendar with the button held.
  TDateTime EditorDate() const { return FEditorDate; }
  void SetEditorDate(TDateTime Value) { FEditorDate = Value; }
  // Tab in a date-only calendar applies the selected date first.
  bool PostPopupValueOnTab() const { return FPostPopupValueOnTab; }
  void SetPostPopupValueOnTab(bool Value) { FPostPopupValueOnTab = Value; }

  // Besides the list and timers, asks the editor to close the drop-down.
  void HideMonthListAndTimers() override;
  // Tab, Enter, Esc, Alt+Up, Alt+Down and F4 besides the calendar's keys.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

  // The calendar asks its editor to close the drop-down.
  TNotifyEvent OnCloseRequest;

protected:
  void UpdateHotRegion(const TPoint& P) override;

private:
  bool FEditorPopupOpen = false;
  bool FPostPopupValueOnTab = false;
  TDateTime FEditorDate = NullDate;
};

class TcxCalendar : public TcxCustomCalendar {
  KORVANE_CLASS(TcxCalendar, TcxCustomCalendar)
  using TcxCustomCalendar::TcxCustomCalendar;
};
