#include "editors/cxCalendar.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "editors/cxDateUtils.h"
#include "editors/cxFormats.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/cxUltraFlatPainters.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "tests/editors/cxEditKeyScript.h"
#include "tests/foundation/foundation_test.h"

namespace {

TPoint CentreOf(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

// A fixed "now" (2026-03-17 14:30), the invariant names and a chosen first
// day of the week; all restored afterwards.
class cxCalendar : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGuiRuntime();
    cxStandardPaintersRegister();
    cxUltraFlatPaintersRegister();
    FSavedSettings = FormatSettings();
    FormatSettings() = TFormatSettings::Invariant();
    FSavedFirstDay = GetFormatController()->FirstDayOfWeek;
    GetFormatController()->FirstDayOfWeek = 0;
    SetClockForTesting([] { return EncodeDateTime(2026, 3, 17, 14, 30, 0, 0); });
  }
  void TearDown() override {
    ResetClockForTesting();
    GetFormatController()->FirstDayOfWeek = FSavedFirstDay;
    FormatSettings() = FSavedSettings;
  }
  void SetFirstDayOfWeek(Byte ADay) { GetFormatController()->FirstDayOfWeek = ADay; }

  // The cell centre of the grid's row and column.
  static TPoint Cell(const TcxCustomCalendar& C, Integer ARow, Integer AColumn) {
    const TRect g = C.DayGridRect();
    return TPoint{g.Left + AColumn * C.ColumnWidth() + C.ColumnWidth() / 2, g.Top + ARow * C.RowHeight() + C.RowHeight() / 2};
  }

private:
  TFormatSettings FSavedSettings;
  Byte FSavedFirstDay = 0;
};

// The calendar painted on an image of its size.
std::unique_ptr<cxTest::TImage> Render(TcxCustomCalendar& C) {
  auto image = std::make_unique<cxTest::TImage>(C.Width(), C.Height());
  C.PaintCalendar(&image->Canvas);
  return image;
}

}  // namespace

// ---- Grid and hit test -------------------------------------------------------------------

TEST_F(cxCalendar, GridStartAndDateAtPointAcrossWeekStartsAndCalendarEnds) {
  struct TCase {
    Word Year, Month;
    Byte FirstDay;             // 0 Sunday, 1 Monday
    TDateTime FirstVisible;    // may lie before 0001-01-01
    TDateTime TopLeft;         // DateAtPoint of row 0, column 0 (NullDate when out of range)
    TDateTime BottomRight;     // row 5, column 6
  };
  const TDateTime y1 = EncodeDate(1, 1, 1);  // a Monday
  const TDateTime y9999 = EncodeDate(9999, 12, 1);  // a Wednesday
  const TCase cases[] = {
      // March 2026 starts on a Sunday: with Sunday first a whole week of
      // February shows first.
      {2026, 3, 0, EncodeDate(2026, 2, 22), EncodeDate(2026, 2, 22), EncodeDate(2026, 4, 4)},
      {2026, 3, 1, EncodeDate(2026, 2, 23), EncodeDate(2026, 2, 23), EncodeDate(2026, 4, 5)},
      // A month starting on Monday with Monday first: the previous week shows.
      {2026, 6, 1, EncodeDate(2026, 5, 25), EncodeDate(2026, 5, 25), EncodeDate(2026, 7, 5)},
      // January of year 1: the days before it are blank, not dates.
      {1, 1, 0, y1 - 1, NullDate, y1 + 40},
      {1, 1, 1, y1 - 7, NullDate, y1 + 34},
      // December 9999: the days after it are blank.
      {9999, 12, 0, y9999 - 3, y9999 - 3, NullDate},
      {9999, 12, 1, y9999 - 2, y9999 - 2, NullDate},
  };
  for (const TCase& c : cases) {
    SetFirstDayOfWeek(c.FirstDay);
    TcxCalendar cal(nullptr);
    cal.SetFirstDate(EncodeDate(c.Year, c.Month, 1));
    SCOPED_TRACE(testing::Message() << c.Year << "-" << c.Month << " first day " << int(c.FirstDay));
    EXPECT_EQ(cal.FirstVisibleDate(), c.FirstVisible);
    EXPECT_EQ(cal.LastVisibleDate(), c.FirstVisible + 41);
    EXPECT_EQ(cal.DateAtPoint(Cell(cal, 0, 0)), c.TopLeft);
    EXPECT_EQ(cal.DateAtPoint(Cell(cal, 5, 6)), c.BottomRight);
    // The first of the shown month is where its cell is.
    const TDateTime first = EncodeDate(c.Year, c.Month, 1);
    EXPECT_EQ(cal.DateAtPoint(CentreOf(cal.DayCellRect(first))), first);
    // Painting the edge months never raises; the cells of days outside the
    // calendar stay blank.
    std::unique_ptr<cxTest::TImage> b;
    ASSERT_NO_THROW(b = Render(cal));
    const TRect topLeft = cal.DayCellRect(c.FirstVisible), bottomRight = cal.DayCellRect(c.FirstVisible + 41);
    const Integer cell = topLeft.Width() * topLeft.Height();
    EXPECT_EQ(b->Count(topLeft, clWindow) == cell, c.TopLeft == NullDate);
    EXPECT_EQ(b->Count(bottomRight, clWindow) == cell, c.BottomRight == NullDate);
  }
}

TEST_F(cxCalendar, DateAtPointOutsideTheDayGridIsNull) {
  TcxCalendar cal(nullptr);
  const TRect g = cal.DayGridRect();
  const TPoint outside[] = {{-1, g.Top + 2},         {g.Left - 1, g.Top + 2},   {g.Right, g.Top + 2},
                            {g.Left + 2, g.Top - 1}, {g.Left + 2, g.Bottom},    CentreOf(cal.HeaderRect()),
                            {cal.Width(), cal.Height()}};
  for (const TPoint& p : outside) EXPECT_EQ(cal.DateAtPoint(p), NullDate) << p.X << "," << p.Y;
  EXPECT_EQ(cal.DateAtPoint(TPoint{g.Left, g.Top}), cal.FirstVisibleDate());
  EXPECT_EQ(cal.DateAtPoint(TPoint{g.Right - 1, g.Bottom - 1}), cal.LastVisibleDate());
}

TEST_F(cxCalendar, LayoutFollowsTheFontAndTheKind) {
  TcxCalendar cal(nullptr);
  const Integer col = cal.ColumnWidth();
  ASSERT_GT(col, 0);
  EXPECT_EQ(cal.SideWidth() * 3, col * 2);
  EXPECT_EQ(cal.DaysOfWeekHeight(), cal.RowHeight() + 1);
  EXPECT_EQ(cal.HeaderHeight(), cal.RowHeight() + 3);
  // Date kind: the date region and the grid below the week-day row.
  EXPECT_EQ(cal.Width(), 2 * cal.SideWidth() + 7 * col);
  EXPECT_EQ(cal.Height(), cal.DaysOfWeekHeight() + 6 * cal.RowHeight() + cal.HeaderHeight() + 1 +
                              cal.ButtonsRegionHeight() + 1);
  EXPECT_EQ(cal.DayGridRect().Top, cal.HeaderRect().Bottom + cal.DaysOfWeekHeight());
  EXPECT_EQ(cal.DayGridRect().Width(), 7 * col);
  // Four arrows by default, in order, inside the header; two without year arrows.
  for (Integer i = 0; i < 4; ++i) EXPECT_FALSE(IsRectEmpty(cal.ArrowRect(TcxCalendarArrow(i))));
  EXPECT_LT(cal.ArrowRect(caPrevMonth).Left, cal.MonthTextRect().Left);
  EXPECT_LE(cal.MonthTextRect().Right, cal.ArrowRect(caNextMonth).Left);
  EXPECT_LE(cal.ArrowRect(caPrevYear).Right, cal.YearTextRect().Left);
  EXPECT_LE(cal.ArrowRect(caNextYear).Right, cal.HeaderRect().Right);
  cal.SetArrowsForYear(false);
  EXPECT_TRUE(IsRectEmpty(cal.ArrowRect(caPrevYear)));
  EXPECT_EQ(cal.ArrowRect(caNextMonth).Right, cal.HeaderRect().Right);
  // No buttons: the buttons region is not kept.
  const Integer withButtons = cal.Height();
  cal.SetButtons(0);
  EXPECT_EQ(cal.Height(), withButtons - cal.ButtonsRegionHeight());
  // A larger font grows the cells.
  cal.Font()->SetSize(cal.Font()->Size() * 2);
  EXPECT_GT(cal.ColumnWidth(), col);
  // Date-time kind: wider (the clock beside the grid), the OK button shows.
  const Integer dateWidth = cal.Width();
  cal.SetButtons(DateButtonBit(btnClear) | DateButtonBit(btnToday) | DateButtonBit(btnNow));
  cal.SetKind(ckDateTime);
  EXPECT_GT(cal.Width(), dateWidth);
  EXPECT_TRUE(cal.OKButton()->Visible());
  EXPECT_TRUE(cal.NowButton()->Visible());
  EXPECT_FALSE(IsRectEmpty(cal.ClockRect()));
  EXPECT_GE(cal.ClockRect().Left, cal.DayGridRect().Right);
  EXPECT_LE(cal.ClockRect().Right, cal.Width());
  EXPECT_FALSE(cal.Keys() & dkTab);
  // The four buttons lie in order inside the calendar without overlapping.
  TcxButton* order[] = {cal.TodayButton(), cal.NowButton(), cal.ClearButton(), cal.OKButton()};
  for (Integer i = 0; i < 3; ++i) EXPECT_LE(order[i]->Left() + order[i]->Width(), order[i + 1]->Left()) << i;
  EXPECT_LE(cal.OKButton()->Left() + cal.OKButton()->Width(), cal.Width());
}

TEST_F(cxCalendar, WeekDayLetterByCharacterSet) {
  const bool savedFarEast = SysLocaleFarEast();
  struct TCase {
    const char16_t* Name;
    TFontCharset Charset;
    bool FarEastSystem;
    const char16_t* Letter;
  };
  const TCase cases[] = {
      {u"Mon", ANSI_CHARSET, false, u"M"},
      {u"\u5468\u4e00", GB2312_CHARSET, false, u"\u4e00"},
      {u"\u9031\u4e00", 136, false, u"\u4e00"},  // Big5
      {u"\u5468\u4e00", DEFAULT_CHARSET, true, u"\u4e00"},
      {u"Mon", DEFAULT_CHARSET, false, u"M"},
      {u"", GB2312_CHARSET, false, u""},
  };
  for (const TCase& c : cases) {
    SysLocaleFarEast() = c.FarEastSystem;
    EXPECT_TRUE(cxCalendarWeekDayLetter(c.Name, c.Charset) == c.Letter) << int(c.Charset) << " " << c.FarEastSystem;
  }
  SysLocaleFarEast() = savedFarEast;
}

// ---- Selection and keys ------------------------------------------------------------------

TEST_F(cxCalendar, SelectingADateShowsItsMonthAndIgnoresDaysOutsideTheCalendar) {
  TcxCalendar cal(nullptr);
  EXPECT_EQ(cal.SelectDate(), EncodeDate(2026, 3, 17));
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 3, 1));
  cal.SetSelectDate(EncodeDate(2026, 4, 2));  // visible in the March grid: the month stays
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 3, 1));
  cal.SetSelectDate(EncodeDate(2027, 8, 9));
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2027, 8, 1));
  cal.SetSelectDate(NullDate);
  EXPECT_EQ(cal.SelectDate(), NullDate);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2027, 8, 1));
  cal.SetSelectDate(MinDateTime - 1);
  cal.SetSelectDate(2958466.0);  // 10000-01-01
  EXPECT_EQ(cal.SelectDate(), NullDate);
  cal.SetFirstDate(MinDateTime - 40);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2027, 8, 1));
}

TEST_F(cxCalendar, KeyboardNavigation) {
  struct TCase {
    TDateTime From;
    Word Key;
    TShiftState Shift;
    TDateTime To;
  };
  const TDateTime mar17 = EncodeDate(2026, 3, 17);  // a Tuesday
  const TCase cases[] = {
      {mar17, VK_LEFT, 0, mar17 - 1},
      {mar17, VK_RIGHT, 0, mar17 + 1},
      {mar17, VK_UP, 0, mar17 - 7},
      {mar17, VK_DOWN, 0, mar17 + 7},
      {mar17, VK_UP, ssAlt, mar17},  // Alt+Up belongs to the popup
      {mar17, VK_DOWN, ssAlt, mar17},
      {mar17, VK_UP, ssAlt | ssShift, mar17 - 7},
      {EncodeDate(2026, 1, 31), VK_NEXT, 0, EncodeDate(2026, 2, 28)},
      {EncodeDate(2024, 1, 31), VK_NEXT, 0, EncodeDate(2024, 2, 29)},
      {EncodeDate(2026, 3, 31), VK_PRIOR, 0, EncodeDate(2026, 2, 28)},
      {EncodeDate(2026, 1, 15), VK_PRIOR, 0, EncodeDate(2025, 12, 15)},
      {EncodeDate(2026, 12, 15), VK_NEXT, ssCtrl, EncodeDate(2027, 1, 15)},
      {mar17, VK_HOME, 0, EncodeDate(2026, 3, 15)},  // Sunday of its week
      {mar17, VK_END, 0, EncodeDate(2026, 3, 21)},   // Saturday
      {mar17, VK_HOME, ssCtrl, EncodeDate(2026, 3, 1)},
      {mar17, VK_END, ssCtrl, EncodeDate(2026, 3, 31)},
      {mar17, VK_HOME, ssCtrl | ssShift, EncodeDate(2026, 3, 15)},  // Ctrl not alone: the week
      // The ends of the calendar: no step leaves 0001-01-01 .. 9999-12-31.
      {EncodeDate(1, 1, 1), VK_LEFT, 0, EncodeDate(1, 1, 1)},
      {EncodeDate(1, 1, 3), VK_UP, 0, EncodeDate(1, 1, 3)},
      {EncodeDate(1, 1, 20), VK_PRIOR, 0, EncodeDate(1, 1, 20)},
      {EncodeDate(1, 1, 3), VK_HOME, 0, EncodeDate(1, 1, 3)},  // its Sunday lies before year 1
      {EncodeDate(9999, 12, 31), VK_RIGHT, 0, EncodeDate(9999, 12, 31)},
      {EncodeDate(9999, 12, 20), VK_NEXT, 0, EncodeDate(9999, 12, 20)},
      {EncodeDate(9999, 12, 31), VK_END, 0, EncodeDate(9999, 12, 31)},
  };
  for (const TCase& c : cases) {
    TcxCalendar cal(nullptr);
    cal.SetSelectDate(c.From);
    Word key = c.Key;
    cal.KeyDown(key, c.Shift);
    EXPECT_EQ(cal.SelectDate(), c.To) << c.From << " key " << c.Key << " shift " << c.Shift;
    EXPECT_FALSE(IsRectEmpty(cal.DayCellRect(c.To))) << "the selected day is shown";
  }
}

TEST_F(cxCalendar, HomeAndEndFollowTheLocaleWeek) {
  SetFirstDayOfWeek(1);  // Monday
  TcxCalendar cal(nullptr);
  cal.SetSelectDate(EncodeDate(2026, 3, 15));  // a Sunday: the last day of its week
  Word key = VK_HOME;
  cal.KeyDown(key, 0);
  EXPECT_EQ(cal.SelectDate(), EncodeDate(2026, 3, 9));
  key = VK_END;
  cal.KeyDown(key, 0);
  EXPECT_EQ(cal.SelectDate(), EncodeDate(2026, 3, 15));
}

// ---- Mouse -------------------------------------------------------------------------------

TEST_F(cxCalendar, ArrowsScrollAndRepeatWhileHeld) {
  TTestClock clock;
  TcxCalendar cal(nullptr);
  const TPoint next = CentreOf(cal.ArrowRect(caNextMonth));
  cal.MouseDown(mbLeft, ssLeft, next.X, next.Y);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 4, 1));  // at once
  EXPECT_TRUE(cal.ArrowTimer()->Enabled());
  clock.Advance(cxCalendarArrowRepeatInterval - 1);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 4, 1));
  clock.Advance(1);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 5, 1));
  clock.Advance(2 * cxCalendarArrowRepeatInterval);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 7, 1));
  // Moving onto the year arrow while held: the ticks follow the mouse.
  const TPoint nextYear = CentreOf(cal.ArrowRect(caNextYear));
  cal.MouseMove(ssLeft, nextYear.X, nextYear.Y);
  clock.Advance(cxCalendarArrowRepeatInterval);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2027, 7, 1));
  // Off the arrows: ticks do nothing; the selection is not dragged either.
  const TPoint day = Cell(cal, 2, 2);
  cal.MouseMove(ssLeft, day.X, day.Y);
  clock.Advance(cxCalendarArrowRepeatInterval);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2027, 7, 1));
  EXPECT_EQ(cal.SelectDate(), EncodeDate(2026, 3, 17));
  // The release stops the repeat and chooses nothing.
  Integer chosen = 0;
  cal.OnDateChosen = TNotifyEvent(&cal, [&](TObject*) { ++chosen; });
  cal.MouseUp(mbLeft, 0, day.X, day.Y);
  EXPECT_FALSE(cal.ArrowTimer()->Enabled());
  clock.Advance(5 * cxCalendarArrowRepeatInterval);
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2027, 7, 1));
  EXPECT_EQ(chosen, 0);
}

TEST_F(cxCalendar, ScrollingStopsAtTheEndsOfTheCalendar) {
  struct TCase {
    TDateTime First;
    TcxCalendarArrow Arrow;
    TDateTime Expected;
  };
  const TCase cases[] = {
      {EncodeDate(1, 1, 1), caPrevMonth, EncodeDate(1, 1, 1)},
      {EncodeDate(1, 5, 1), caPrevYear, EncodeDate(1, 5, 1)},
      {EncodeDate(2, 1, 1), caPrevMonth, EncodeDate(1, 12, 1)},
      {EncodeDate(9999, 12, 1), caNextMonth, EncodeDate(9999, 12, 1)},
      {EncodeDate(9999, 2, 1), caNextYear, EncodeDate(9999, 2, 1)},
      {EncodeDate(9998, 12, 1), caNextMonth, EncodeDate(9999, 1, 1)},
      {EncodeDate(2026, 3, 1), caPrevYear, EncodeDate(2025, 3, 1)},
  };
  for (const TCase& c : cases) {
    TcxCalendar cal(nullptr);
    cal.SetFirstDate(c.First);
    const TPoint p = CentreOf(cal.ArrowRect(c.Arrow));
    cal.MouseDown(mbLeft, ssLeft, p.X, p.Y);
    cal.MouseUp(mbLeft, 0, p.X, p.Y);
    EXPECT_EQ(cal.FirstDate(), c.Expected) << c.First << " arrow " << c.Arrow;
  }
}

TEST_F(cxCalendar, ClickDragAndReleaseOnDays) {
  TcxCalendar cal(nullptr);
  std::vector<TDateTime> chosen;
  cal.OnDateChosen = TNotifyEvent(&cal, [&](TObject*) { chosen.push_back(cal.SelectDate()); });
  const TPoint a = Cell(cal, 1, 1), b = Cell(cal, 3, 4);
  cal.MouseDown(mbLeft, ssLeft, a.X, a.Y);
  EXPECT_EQ(cal.SelectDate(), cal.FirstVisibleDate() + 8);
  cal.MouseMove(ssLeft, b.X, b.Y);
  EXPECT_EQ(cal.SelectDate(), cal.FirstVisibleDate() + 25);
  cal.MouseUp(mbLeft, 0, b.X, b.Y);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0], cal.FirstVisibleDate() + 25);
  // A release on the week-day row chooses nothing.
  const TPoint weekDays{a.X, cal.HeaderRect().Bottom + 2};
  cal.MouseDown(mbLeft, ssLeft, weekDays.X, weekDays.Y);
  cal.MouseUp(mbLeft, 0, weekDays.X, weekDays.Y);
  EXPECT_EQ(chosen.size(), 1u);
  // Date-time kind: a single click only selects.
  cal.SetKind(ckDateTime);
  const TPoint c = Cell(cal, 2, 2);
  cal.MouseDown(mbLeft, ssLeft, c.X, c.Y);
  cal.MouseUp(mbLeft, 0, c.X, c.Y);
  EXPECT_EQ(chosen.size(), 1u);
  EXPECT_EQ(cal.SelectDate(), cal.FirstVisibleDate() + 16);
}

// ---- Buttons -----------------------------------------------------------------------------

TEST_F(cxCalendar, ButtonsChooseTheirDate) {
  struct TCase {
    TcxButton* (TcxCustomCalendar::*Button)() const;
    TDateTime Expected;
  };
  const TDateTime clockTime = EncodeTime(8, 15, 0, 0);
  const TCase cases[] = {
      {&TcxCustomCalendar::TodayButton, EncodeDate(2026, 3, 17) + clockTime},
      {&TcxCustomCalendar::NowButton, EncodeDateTime(2026, 3, 17, 14, 30, 0, 0)},
      {&TcxCustomCalendar::ClearButton, NullDate},
      {&TcxCustomCalendar::OKButton, EncodeDate(2026, 5, 2) + clockTime},
  };
  for (const TCase& c : cases) {
    TcxCalendar cal(nullptr);
    cal.SetKind(ckDateTime);
    cal.SetButtons(DateButtonBit(btnClear) | DateButtonBit(btnToday) | DateButtonBit(btnNow));
    cal.SetSelectDate(EncodeDate(2026, 5, 2));
    cal.SetTime(clockTime);
    Integer chosen = 0;
    cal.OnDateChosen = TNotifyEvent(&cal, [&](TObject*) { ++chosen; });
    (cal.*c.Button)()->Click();
    EXPECT_NEAR(cal.SelectDate(), c.Expected, 1e-9);
    EXPECT_EQ(chosen, 1);
  }
}

// ---- Time part ---------------------------------------------------------------------------

// The date-time calendar's time editor: placed under the clock, the first
// tab stop, circular; a step in it moves the clock and the time a button
// applies. A date calendar hides it.
TEST_F(cxCalendar, TimeEditorDrivesTheClockAndTheButtons) {
  FormatSettings().TimeSeparator = u':';
  TForm form(nullptr);
  form.SetBounds(50, 50, 400, 320);
  auto* cal = new TcxCalendar(&form);
  cal->SetParent(&form);
  cal->SetKind(ckDateTime);
  form.Show();
  Application->ProcessMessages();
  TcxTimeEdit* edit = cal->TimeEdit();
  ASSERT_TRUE(edit->Visible());
  EXPECT_EQ(edit->Parent(), cal);
  EXPECT_TRUE(edit->TabStop());
  EXPECT_EQ(edit->TabOrder(), 0);
  EXPECT_TRUE(static_cast<TcxCustomTimeEditProperties*>(edit->Properties())->Circular());
  // Just above the buttons region, centred under the clock, as wide as a
  // zero time plus a digit.
  const TRect clock = cal->ClockRect(), r = cal->TimeEditRect();
  EXPECT_EQ(TRect(edit->BoundsRect()), r);
  EXPECT_NEAR((r.Left + r.Right) / 2.0, (clock.Left + clock.Right) / 2.0, 1.0);
  EXPECT_LE(clock.Bottom, r.Top);
  EXPECT_LE(r.Bottom, cal->OKButton()->Top());
  EXPECT_GE(r.Left, cal->DayGridRect().Right);
  EXPECT_LE(r.Right, cal->Width());

  cal->SetSelectDate(EncodeDate(2026, 5, 2));
  cal->SetTime(EncodeTime(23, 59, 59, 0));
  EXPECT_EQ(Utf8(edit->Text()), "23:59:59");
  // Up in the seconds wraps to midnight; the clock follows the editor.
  edit->SetFocus();
  edit->UpdateDisplayValue();
  edit->MaskModel()->SelectionMovedByUser(6, 0);
  ASSERT_TRUE(edit->DoStep(skUp));
  EXPECT_EQ(Utf8(edit->Text()), "00:00:00");
  EXPECT_NEAR(cal->Clock()->Time(), 0.0, 1e-9);
  edit->MaskModel()->SelectionMovedByUser(0, 0);
  ASSERT_TRUE(edit->DoStep(skFastUp));  // an hour
  EXPECT_NEAR(cal->Clock()->Time(), EncodeTime(1, 0, 0, 0), 1e-9);
  EXPECT_NEAR(cal->Time(), EncodeTime(1, 0, 0, 0), 1e-9);
  TDateTime chosen = 0;
  cal->OnDateChosen = TNotifyEvent(cal, [&](TObject*) { chosen = cal->SelectDate(); });
  cal->OKButton()->Click();
  EXPECT_NEAR(chosen, EncodeDate(2026, 5, 2) + EncodeTime(1, 0, 0, 0), 1e-9);

  // The time format lives in the editor's properties and re-lays out.
  const Integer wide = cal->TimeEditRect().Width();
  cal->SetTimeFormat(tfHourMin);
  EXPECT_EQ(static_cast<TcxCustomTimeEditProperties*>(edit->Properties())->TimeFormat(), tfHourMin);
  EXPECT_LT(cal->TimeEditRect().Width(), wide);
  cal->SetUse24HourFormat(false);
  EXPECT_FALSE(static_cast<TcxCustomTimeEditProperties*>(edit->Properties())->Use24HourFormat());

  cal->SetKind(ckDate);
  EXPECT_FALSE(edit->Visible());
  EXPECT_FALSE(edit->TabStop());
}

// ---- Month list --------------------------------------------------------------------------

TEST_F(cxCalendar, MonthListPicksAMonthAndScrollsByDistance) {
  TTestClock clock;
  TcxCalendar cal(nullptr);
  TMonthListBox* list = cal.MonthList();
  const TPoint month = CentreOf(cal.MonthTextRect());
  cal.MouseDown(mbLeft, ssLeft, month.X, month.Y);
  ASSERT_TRUE(list->Visible());
  EXPECT_EQ(list->ItemIndex(), cxMonthListCurrentItem);
  EXPECT_EQ(list->TopDate(), EncodeDate(2025, 12, 1));
  EXPECT_TRUE(list->ItemText(3) == u"March 2026");
  const Integer h = list->ItemHeight();
  ASSERT_GT(h, 0);
  // Below the list: the farther, the faster; each tick one month.
  struct TStep {
    Integer Y;
    Cardinal Interval;
  };
  const Integer bottom = h * cxMonthListYearItems;
  const TStep steps[] = {{bottom + 1, 500}, {bottom + h, 250}, {bottom + 2 * h, 100}, {bottom + 10 * h, 50}};
  for (const TStep& s : steps) {
    list->TrackMouse(TPoint{5, s.Y});
    EXPECT_EQ(list->ScrollTimer()->Interval(), s.Interval) << s.Y;
    EXPECT_TRUE(list->ScrollTimer()->Enabled());
    EXPECT_EQ(list->ItemIndex(), -1);
  }
  clock.Advance(100);
  EXPECT_EQ(list->TopDate(), EncodeDate(2026, 2, 1));  // two ticks of 50 ms
  // Back inside: the item under the mouse, scrolling stops.
  list->TrackMouse(TPoint{5, 5 * h + 1});
  EXPECT_EQ(list->ItemIndex(), 5);
  EXPECT_FALSE(list->ScrollTimer()->Enabled());
  list->ReleaseMouse(TPoint{5, 5 * h + 1});
  EXPECT_FALSE(list->Visible());
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 7, 1));
  // Released outside: nothing changes.
  cal.MouseDown(mbLeft, ssLeft, month.X, month.Y);
  list->TrackMouse(TPoint{-20, 2 * h});
  list->ReleaseMouse(TPoint{-20, 2 * h});
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 7, 1));
}

TEST_F(cxCalendar, MonthListNearYearOneStaysInsideTheCalendar) {
  TTestClock clock;
  TcxCalendar cal(nullptr);
  cal.SetFirstDate(EncodeDate(1, 2, 1));
  const TPoint month = CentreOf(cal.MonthTextRect());
  cal.MouseDown(mbLeft, ssLeft, month.X, month.Y);
  TMonthListBox* list = cal.MonthList();
  EXPECT_EQ(list->TopDate(), EncodeDate(1, 1, 1));
  list->TrackMouse(TPoint{5, -10 * list->ItemHeight()});
  clock.Advance(500);
  EXPECT_EQ(list->TopDate(), EncodeDate(1, 1, 1));
  list->TrackMouse(TPoint{5, 1});
  list->ReleaseMouse(TPoint{5, 1});
  EXPECT_EQ(cal.FirstDate(), EncodeDate(1, 1, 1));
}

TEST_F(cxCalendar, MonthNamesListWithoutYears) {
  TcxCalendar cal(nullptr);
  cal.SetYearsInMonthList(false);
  TMonthListBox* list = cal.MonthList();
  EXPECT_FALSE(list->ShowsYears());
  EXPECT_EQ(list->ItemCount(), 12);
  const TPoint month = CentreOf(cal.MonthTextRect());
  cal.MouseDown(mbLeft, ssLeft, month.X, month.Y);
  list->ReleaseMouse(TPoint{5, 10 * list->ItemHeight() + 1});
  EXPECT_EQ(cal.FirstDate(), EncodeDate(2026, 11, 1));
  // Without year arrows the list shows years again.
  cal.SetArrowsForYear(false);
  EXPECT_TRUE(list->ShowsYears());
}

// ---- Pictures ----------------------------------------------------------------------------

TEST_F(cxCalendar, PictureOfBothKinds) {
  TcxCalendar date(nullptr);
  date.SetSelectDate(EncodeDate(2026, 3, 5));
  TcxCalendar dateTime(nullptr);
  dateTime.SetKind(ckDateTime);
  dateTime.SetButtons(DateButtonBit(btnClear) | DateButtonBit(btnToday) | DateButtonBit(btnNow));
  dateTime.SetSelectDate(NullDate);  // today is highlighted
  dateTime.SetTime(EncodeTime(10, 10, 30, 0));
  struct TShot {
    TcxCustomCalendar* Calendar;
    TDateTime Highlighted;
  };
  const TShot shots[] = {{&date, EncodeDate(2026, 3, 5)}, {&dateTime, EncodeDate(2026, 3, 17)}};
  constexpr Integer Gap = 8;
  TBitmap picture(date.Width() + dateTime.Width() + 3 * Gap, std::max(date.Height(), dateTime.Height()) + 2 * Gap,
                  pf24bit);
  picture.Canvas()->Brush()->SetColor(clBtnFace);
  picture.Canvas()->FillRect(TRect{0, 0, picture.Width(), picture.Height()});
  Integer x = Gap;
  for (const TShot& s : shots) {
    auto b = Render(*s.Calendar);
    const TRect today = s.Calendar->DayCellRect(EncodeDate(2026, 3, 17));
    const TRect marked = s.Calendar->DayCellRect(s.Highlighted);
    // Today's frame in maroon, the highlighted cell in the highlight colour.
    EXPECT_EQ(b->Count(today, clMaroon), 2 * (today.Width() + today.Height()) - 4);
    EXPECT_GT(b->Count(marked, clHighlight), marked.Width() * marked.Height() / 2);
    // No other cell is highlighted.
    const TRect grid = s.Calendar->DayGridRect();
    EXPECT_LE(b->Count(grid, clHighlight), marked.Width() * marked.Height());
    picture.Canvas()->Draw(x, Gap, &b->Bitmap);
    x += s.Calendar->Width() + Gap;
  }
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "korvane_calendar.png";
  picture.SaveToFile(UTF8ToString(file.string()));
  EXPECT_TRUE(std::filesystem::exists(file));
}

// ---- The popup calendar ------------------------------------------------------------------

TEST_F(cxCalendar, PopupKeysCloseAndApply) {
  enum TListState { lsHidden, lsMonthsOnly, lsWithYears };
  struct TCase {
    TcxCalendarKind Kind;
    bool PostOnTab;
    TListState List;
    Word Key;
    TShiftState Shift;
    Integer Closes, Applies;
    bool ListShown;  // afterwards
  };
  const TCase cases[] = {
      {ckDate, false, lsHidden, VK_RETURN, 0, 1, 1, false},
      {ckDate, false, lsWithYears, VK_RETURN, 0, 0, 0, true},  // the list keeps Enter
      {ckDate, false, lsHidden, VK_ESCAPE, 0, 1, 0, false},
      {ckDate, false, lsMonthsOnly, VK_ESCAPE, 0, 0, 0, false},  // only the list closes
      {ckDate, false, lsWithYears, VK_ESCAPE, 0, 1, 0, false},
      {ckDate, false, lsHidden, VK_UP, ssAlt, 1, 0, false},
      {ckDate, false, lsHidden, VK_DOWN, ssAlt, 1, 0, false},
      {ckDate, false, lsHidden, VK_F4, 0, 1, 0, false},
      {ckDate, false, lsHidden, VK_F4, ssAlt, 0, 0, false},
      {ckDate, true, lsHidden, VK_TAB, 0, 0, 1, false},
      {ckDate, false, lsHidden, VK_TAB, 0, 0, 0, false},
      {ckDateTime, true, lsHidden, VK_TAB, 0, 0, 0, false},
      {ckDate, false, lsHidden, VK_RIGHT, 0, 0, 0, false},
  };
  for (const TCase& c : cases) {
    TcxPopupCalendar cal(nullptr);
    cal.SetKind(c.Kind);
    cal.SetPostPopupValueOnTab(c.PostOnTab);
    cal.SetYearsInMonthList(c.List != lsMonthsOnly);
    Integer closes = 0, applies = 0;
    cal.OnCloseRequest = TNotifyEvent(&cal, [&](TObject*) { ++closes; });
    cal.OnDateChosen = TNotifyEvent(&cal, [&](TObject*) { ++applies; });
    if (c.List != lsHidden) cal.MonthList()->OpenList();
    Word key = c.Key;
    cal.KeyDown(key, c.Shift);
    EXPECT_EQ(closes, c.Closes) << "case key " << c.Key << " shift " << c.Shift << " list " << c.List;
    EXPECT_EQ(applies, c.Applies) << "case key " << c.Key << " shift " << c.Shift << " list " << c.List;
    EXPECT_EQ(cal.MonthList()->Visible(), c.ListShown) << "case key " << c.Key << " list " << c.List;
    cal.MonthList()->CloseList();
  }
}

TEST_F(cxCalendar, PopupMouseClosesOnReleaseAndRestoresTheEditorDate) {
  TcxPopupCalendar cal(nullptr);
  const TDateTime editorDate = EncodeDate(2026, 3, 10);
  cal.SetEditorDate(editorDate);
  cal.SetSelectDate(editorDate);
  Integer closes = 0, applies = 0;
  cal.OnCloseRequest = TNotifyEvent(&cal, [&](TObject*) { ++closes; });
  cal.OnDateChosen = TNotifyEvent(&cal, [&](TObject*) { ++applies; });
  // Dragging out of the calendar gives the editor's date back.
  const TPoint day = Cell(cal, 4, 3);
  cal.MouseDown(mbLeft, ssLeft, day.X, day.Y);
  EXPECT_NE(cal.SelectDate(), editorDate);
  cal.MouseMove(ssLeft, -5, day.Y);
  EXPECT_EQ(cal.SelectDate(), editorDate);
  // A release on the week-day row closes without applying.
  const TPoint weekDays{day.X, cal.HeaderRect().Bottom + 2};
  cal.MouseUp(mbLeft, 0, weekDays.X, weekDays.Y);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(applies, 0);
  // A release on a day closes and applies.
  cal.MouseDown(mbLeft, ssLeft, day.X, day.Y);
  cal.MouseUp(mbLeft, 0, day.X, day.Y);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(applies, 1);
  // Date-time kind: a double-click applies.
  cal.SetKind(ckDateTime);
  const TPoint other = Cell(cal, 1, 1);
  cal.MouseDown(mbLeft, ssLeft, other.X, other.Y);
  cal.MouseUp(mbLeft, 0, other.X, other.Y);
  EXPECT_EQ(applies, 1);
  cal.DblClick();
  EXPECT_EQ(applies, 2);
  EXPECT_EQ(cal.SelectDate(), cal.FirstVisibleDate() + 8);
}

TEST_F(cxCalendar, HotRegionAndWheelOverTheHeaderTexts) {
  TcxPopupCalendar cal(nullptr);
  const TPoint month = CentreOf(cal.MonthTextRect()), year = CentreOf(cal.YearTextRect());
  cal.MouseMove(0, month.X, month.Y);
  EXPECT_EQ(cal.HotRegion(), chrNone);  // the drop-down is not open
  cal.SetEditorPopupOpen(true);
  struct TCase {
    TPoint P;
    TcxCalendarHotRegion Region;
    Integer WheelDelta;
    TDateTime FirstDate;  // after the wheel, from March 2026
  };
  const TCase cases[] = {
      {month, chrMonth, 120, EncodeDate(2026, 2, 1)},
      {month, chrMonth, -120, EncodeDate(2026, 4, 1)},
      {year, chrYear, 120, EncodeDate(2025, 3, 1)},
      {year, chrYear, -120, EncodeDate(2027, 3, 1)},
      {Cell(cal, 2, 2), chrNone, 120, EncodeDate(2026, 3, 1)},
  };
  for (const TCase& c : cases) {
    cal.SetFirstDate(EncodeDate(2026, 3, 1));
    cal.MouseMove(0, c.P.X, c.P.Y);
    EXPECT_EQ(cal.HotRegion(), c.Region) << c.P.X << "," << c.P.Y;
    cal.DoMouseWheel(0, c.WheelDelta, cal.ClientToScreen(c.P));
    EXPECT_EQ(cal.FirstDate(), c.FirstDate) << c.P.X << "," << c.P.Y << " delta " << c.WheelDelta;
  }
}
