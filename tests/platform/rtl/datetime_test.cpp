// Dates and times: calendar arithmetic, the test clock, formatting patterns
// and parsing under several format settings.
#include "platform/rtl/datetime.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

std::string U8(const String& s) { return StringToUTF8(s); }

struct Ymd {
  Word Year, Month, Day;
};

// Every test runs with the clock fixed at 2026-12-10 09:15:00 unless it sets
// another one, so two-digit years and dates without a year are predictable.
class DateTimeTest : public ::testing::Test {
protected:
  void SetUp() override {
    Fixed = EncodeDateTime(2026, 12, 10, 9, 15, 0, 0);
    SetClockForTesting([this] { return Fixed; });
  }
  void TearDown() override { ResetClockForTesting(); }

  TDateTime Fixed = 0;
  TFormatSettings US = TFormatSettings::Invariant();
};

// ------------------------------------------------------------ encode, decode

TEST_F(DateTimeTest, EncodeAndDecodeKnownDays) {
  struct Case {
    Ymd Date;
    double Serial;
  };
  const Case cases[] = {
      {{1899, 12, 30}, 0},        {{1899, 12, 29}, -1},     {{1899, 12, 31}, 1},
      {{1900, 1, 1}, 2},          {{1900, 3, 1}, 61},       {{1970, 1, 1}, 25569},
      {{2000, 2, 29}, 36585},     {{2000, 3, 1}, 36586},    {{2024, 2, 29}, 45351},
      {{2100, 3, 1}, 73110},      {{1, 1, 1}, -693593},     {{9999, 12, 31}, 2958465},
      {{1600, 2, 29}, -109512},   {{1800, 12, 31}, -36158},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Date.Year << "-" << c.Date.Month << "-" << c.Date.Day);
    EXPECT_EQ(EncodeDate(c.Date.Year, c.Date.Month, c.Date.Day), c.Serial);
    Word y = 0, m = 0, d = 0;
    DecodeDate(c.Serial, y, m, d);
    EXPECT_EQ(y, c.Date.Year);
    EXPECT_EQ(m, c.Date.Month);
    EXPECT_EQ(d, c.Date.Day);
  }
}

TEST_F(DateTimeTest, EveryDayOfFourHundredYearsRoundTrips) {
  // One full Gregorian cycle around the epoch: encode and decode agree and
  // consecutive days have consecutive serials.
  TDateTime expected = EncodeDate(1700, 1, 1);
  for (Word y = 1700; y < 2100; ++y) {
    for (Word m = 1; m <= 12; ++m) {
      for (Word d = 1; d <= DaysInAMonth(y, m); ++d) {
        ASSERT_EQ(EncodeDate(y, m, d), expected) << y << "-" << m << "-" << d;
        Word yy = 0, mm = 0, dd = 0;
        DecodeDate(expected, yy, mm, dd);
        ASSERT_TRUE(yy == y && mm == m && dd == d) << y << "-" << m << "-" << d;
        expected += 1;
      }
    }
  }
}

TEST_F(DateTimeTest, InvalidDatesAndTimesAreRefused) {
  const Ymd badDates[] = {{0, 1, 1},    {10000, 1, 1}, {2023, 2, 29}, {1900, 2, 29},
                          {2024, 13, 1}, {2024, 0, 1},  {2024, 4, 31}, {2024, 1, 0}};
  for (const Ymd& c : badDates) {
    SCOPED_TRACE(testing::Message() << c.Year << "-" << c.Month << "-" << c.Day);
    TDateTime untouched = 42;
    EXPECT_FALSE(TryEncodeDate(c.Year, c.Month, c.Day, untouched));
    EXPECT_EQ(untouched, 42);
    try {
      EncodeDate(c.Year, c.Month, c.Day);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, u"Invalid argument to date encode");
    }
    EXPECT_THROW(EncodeDateTime(c.Year, c.Month, c.Day, 0, 0, 0, 0), EConvertError);
  }
  const Word badTimes[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const auto& t : badTimes) {
    TDateTime untouched = 42;
    EXPECT_FALSE(TryEncodeTime(t[0], t[1], t[2], t[3], untouched));
    EXPECT_EQ(untouched, 42);
    try {
      EncodeTime(t[0], t[1], t[2], t[3]);
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, u"Invalid argument to time encode");
    }
  }
}

TEST_F(DateTimeTest, TimesEncodeAndDecodeToTheMillisecond) {
  const Word times[][4] = {{0, 0, 0, 0}, {6, 0, 0, 0}, {12, 0, 0, 0}, {23, 59, 59, 999},
                           {13, 7, 9, 45}, {0, 0, 0, 1}};
  for (const auto& t : times) {
    const TDateTime value = EncodeTime(t[0], t[1], t[2], t[3]);
    EXPECT_GE(value, 0.0);
    EXPECT_LT(value, 1.0);
    Word h = 0, n = 0, s = 0, z = 0;
    DecodeTime(value + 45000, h, n, s, z);  // any day: same time of day
    EXPECT_EQ(h, t[0]);
    EXPECT_EQ(n, t[1]);
    EXPECT_EQ(s, t[2]);
    EXPECT_EQ(z, t[3]);
  }
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
}

TEST_F(DateTimeTest, NegativeValuesKeepTheDayInTheIntegerPart) {
  // -1.25 is the day before the epoch at 06:00, not 18:00 two days before.
  const TDateTime value = EncodeDateTime(1899, 12, 29, 6, 0, 0, 0);
  EXPECT_EQ(value, -1.25);
  Word y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
  DecodeDateTime(-1.25, y, m, d, h, n, s, z);
  EXPECT_EQ((Ymd{y, m, d}).Day, 29);
  EXPECT_EQ(y, 1899);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(DateOf(-1.25), -1.0);
  EXPECT_EQ(TimeOf(-1.25), 0.25);
  // Between -1 and 0 the day is still the epoch.
  DecodeDateTime(-0.5, y, m, d, h, n, s, z);
  EXPECT_TRUE(y == 1899 && m == 12 && d == 30 && h == 12);
  EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn", EncodeDateTime(1850, 6, 15, 18, 30, 0, 0), US),
            u"1850-06-15 18:30");
}

TEST_F(DateTimeTest, DecodeRoundsToTheMillisecondAcrossMidnight) {
  // A hair before midnight shows as the next day at 00:00:00.000, never as
  // 24:00:00 of the day before.
  const TDateTime almost = EncodeDate(2024, 2, 28) + 0.99999999999;
  Word y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, z = 0;
  DecodeDateTime(almost, y, m, d, h, n, s, z);
  EXPECT_TRUE(y == 2024 && m == 2 && d == 29) << y << "-" << m << "-" << d;
  EXPECT_TRUE(h == 0 && n == 0 && s == 0 && z == 0);
  EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn:ss.zzz", almost, US), u"2024-02-29 00:00:00.000");
}

TEST_F(DateTimeTest, ValuesOutsideTheCalendarDecodeToZero) {
  const double values[] = {MaxDateTime + 2, MinDateTime - 2, 1e300, -1e300, NAN, INFINITY};
  for (double v : values) {
    Word y = 9, m = 9, d = 9, dow = 9;
    EXPECT_FALSE(DecodeDateFully(v, y, m, d, dow)) << v;
    EXPECT_TRUE(y == 0 && m == 0 && d == 0 && dow == 0) << v;
    EXPECT_EQ(DayOfWeek(v), 0) << v;
    EXPECT_NO_THROW(FormatDateTime(u"c dddd mmmm", v, US)) << v;
  }
  Word y = 0, m = 0, d = 0;
  DecodeDate(MaxDateTime, y, m, d);
  EXPECT_TRUE(y == 9999 && m == 12 && d == 31);
  DecodeDate(MinDateTime, y, m, d);
  EXPECT_TRUE(y == 1 && m == 1 && d == 1);
}

TEST_F(DateTimeTest, WeekdaysAndLeapYears) {
  struct Case {
    Ymd Date;
    Word Dow;  // 1 = Sunday
  };
  const Case days[] = {{{1899, 12, 30}, 7}, {{1899, 12, 31}, 1}, {{1899, 12, 24}, 1},
                       {{2026, 12, 10}, 5}, {{2000, 1, 1}, 7},   {{1, 1, 1}, 2},
                       {{9999, 12, 31}, 6}, {{2024, 3, 4}, 2}};
  for (const Case& c : days) {
    const TDateTime date = EncodeDate(c.Date.Year, c.Date.Month, c.Date.Day);
    EXPECT_EQ(DayOfWeek(date), c.Dow) << c.Date.Year << "-" << c.Date.Month << "-" << c.Date.Day;
    EXPECT_EQ(DayOfWeek(EncodeDateTime(c.Date.Year, c.Date.Month, c.Date.Day, 18, 0, 0, 0)),
              c.Dow);
  }
  Word y = 0, m = 0, d = 0, dow = 0;
  EXPECT_TRUE(DecodeDateFully(EncodeDate(2024, 7, 1), y, m, d, dow));
  EXPECT_FALSE(DecodeDateFully(EncodeDate(2023, 7, 1), y, m, d, dow));

  const struct {
    Word Year;
    bool Leap;
  } years[] = {{1900, false}, {2000, true}, {2023, false}, {2024, true}, {2100, false},
               {1600, true},  {4, true},    {1, false}};
  for (const auto& c : years) {
    EXPECT_EQ(IsLeapYear(c.Year), c.Leap) << c.Year;
    EXPECT_EQ(DaysInAMonth(c.Year, 2), c.Leap ? 29 : 28) << c.Year;
  }
  EXPECT_EQ(DaysInAMonth(2024, 4), 30);
  EXPECT_EQ(DaysInAMonth(2024, 12), 31);
  EXPECT_EQ(DaysInAMonth(2024, 13), 0);
  EXPECT_EQ(DaysInMonth(EncodeDate(2000, 2, 10)), 29);
}

// ------------------------------------------------------------- day arithmetic

TEST_F(DateTimeTest, IncMonthClampsToTheEndOfTheMonth) {
  struct Case {
    Ymd From;
    Integer Months;
    Ymd To;
  };
  const Case cases[] = {
      {{2024, 1, 31}, 1, {2024, 2, 29}},   {{2023, 1, 31}, 1, {2023, 2, 28}},
      {{2024, 3, 31}, -1, {2024, 2, 29}},  {{2024, 12, 15}, 1, {2025, 1, 15}},
      {{2024, 1, 15}, -1, {2023, 12, 15}}, {{2024, 2, 29}, 12, {2025, 2, 28}},
      {{2024, 1, 31}, -25, {2021, 12, 31}}, {{2024, 10, 31}, 0, {2024, 10, 31}},
      {{2024, 5, 31}, 1, {2024, 6, 30}},   {{1899, 12, 30}, -1, {1899, 11, 30}},
      {{1, 1, 31}, 1, {1, 2, 28}},         {{9999, 11, 30}, 1, {9999, 12, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.From.Year << "-" << c.From.Month << "-" << c.From.Day
                                    << " + " << c.Months);
    EXPECT_EQ(IncMonth(EncodeDate(c.From.Year, c.From.Month, c.From.Day), c.Months),
              EncodeDate(c.To.Year, c.To.Month, c.To.Day));
  }
  // The time of day stays, on either side of the epoch.
  EXPECT_EQ(IncMonth(EncodeDateTime(2024, 1, 31, 18, 0, 0, 0)),
            EncodeDateTime(2024, 2, 29, 18, 0, 0, 0));
  EXPECT_EQ(IncMonth(EncodeDateTime(1899, 10, 31, 6, 0, 0, 0), 1),
            EncodeDateTime(1899, 11, 30, 6, 0, 0, 0));
  // Leaving the calendar is an error, not a wrapped year.
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(1, 1, 1), -1), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(2024, 1, 1), 2147483647), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(2024, 1, 1), -2147483647 - 1), EConvertError);
}

TEST_F(DateTimeTest, DateAndTimePartsAreReplaced) {
  const TDateTime positive = EncodeDateTime(2024, 3, 5, 14, 0, 0, 0);
  const TDateTime negative = EncodeDateTime(1850, 6, 15, 6, 0, 0, 0);
  EXPECT_EQ(DateOf(positive), EncodeDate(2024, 3, 5));
  EXPECT_NEAR(TimeOf(positive), EncodeTime(14, 0, 0, 0), 1e-10);
  EXPECT_EQ(DateOf(negative), EncodeDate(1850, 6, 15));
  EXPECT_EQ(TimeOf(negative), 0.25);

  TDateTime v = positive;
  ReplaceTime(v, EncodeTime(18, 0, 0, 0));
  EXPECT_EQ(v, EncodeDateTime(2024, 3, 5, 18, 0, 0, 0));
  v = negative;
  ReplaceTime(v, EncodeDateTime(2030, 1, 1, 18, 0, 0, 0));  // only its time counts
  EXPECT_EQ(v, EncodeDateTime(1850, 6, 15, 18, 0, 0, 0));
  ReplaceDate(v, EncodeDate(2024, 1, 2));
  EXPECT_EQ(v, EncodeDateTime(2024, 1, 2, 18, 0, 0, 0));
  ReplaceDate(v, EncodeDate(1800, 1, 2));
  EXPECT_EQ(v, EncodeDateTime(1800, 1, 2, 18, 0, 0, 0));
}

// ---------------------------------------------------------------------- clock

TEST_F(DateTimeTest, TheClockCanBeSetAndReset) {
  EXPECT_EQ(Now(), Fixed);
  EXPECT_EQ(Date(), EncodeDate(2026, 12, 10));
  EXPECT_NEAR(Time(), EncodeTime(9, 15, 0, 0), 1e-10);
  Fixed = EncodeDateTime(2030, 6, 1, 23, 59, 0, 0);  // the clock is read each call
  EXPECT_EQ(Date(), EncodeDate(2030, 6, 1));

  ResetClockForTesting();
  const TDateTime real = Now();
  EXPECT_NE(real, Fixed);
  EXPECT_GT(real, EncodeDate(2024, 1, 1));
  EXPECT_LT(real, EncodeDate(2200, 1, 1));
  EXPECT_EQ(Date(), std::trunc(Date()));
  EXPECT_LT(Time(), 1.0);

  SetClockForTesting([] { return 100.5; });
  EXPECT_EQ(Now(), 100.5);
  SetClockForTesting(nullptr);  // empty function: the real clock again
  EXPECT_GT(Now(), EncodeDate(2024, 1, 1));
}

// ------------------------------------------------------------------ formatting

TEST_F(DateTimeTest, FormatEveryPatternLetter) {
  // Tuesday 2024-03-05 14:07:09.045
  const TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
  struct Case {
    const char16_t* Format;
    const char16_t* Expected;
  };
  const Case cases[] = {
      {u"d", u"5"},
      {u"dd", u"05"},
      {u"ddd", u"Tue"},
      {u"dddd", u"Tuesday"},
      {u"ddddd", u"3/5/2024"},
      {u"dddddd", u"Tuesday, March 5, 2024"},
      {u"ddddddd", u"Tuesday, March 5, 2024"},
      {u"m", u"3"},
      {u"mm", u"03"},
      {u"mmm", u"Mar"},
      {u"mmmm", u"March"},
      {u"mmmmm", u"March"},
      {u"y", u"24"},
      {u"yy", u"24"},
      {u"yyy", u"2024"},
      {u"yyyy", u"2024"},
      {u"h", u"14"},
      {u"hh", u"14"},
      {u"n", u"7"},
      {u"nn", u"07"},
      {u"s", u"9"},
      {u"ss", u"09"},
      {u"z", u"45"},
      {u"zzz", u"045"},
      {u"t", u"2:07 PM"},
      {u"tt", u"2:07:09 PM"},
      {u"c", u"3/5/2024 2:07:09 PM"},
      {u"", u"3/5/2024 2:07:09 PM"},
      {u"e", u""},
      {u"ee", u""},
      {u"gg", u""},
      {u"h am/pm", u"2 pm"},
      {u"h AM/PM", u"2 PM"},
      {u"h Am/Pm", u"2 Pm"},
      {u"h a/p", u"2 p"},
      {u"h A/P", u"2 P"},
      {u"hh ampm", u"02 PM"},
      {u"hh:mm", u"14:07"},             // m after h is minutes
      {u"h:m:s", u"14:7:9"},
      {u"hh 'h' mm", u"14 h 07"},       // literals in between do not break that
      {u"mm hh", u"03 14"},             // m before h is the month
      {u"hhmmm", u"14Mar"},             // mmm is always the month name
      {u"YYYY-MM-DD HH:NN:SS", u"2024-03-05 14:07:09"},
      {u"yyyy-mm-dd hh:mm:ss", u"2024-03-05 14:07:09"},  // the log's stamp
      {u"yyyymmddhhmmss", u"20240305140709"},             // record keys
      {u"yyyy/mm/dd", u"2024/03/05"},
      {u"hh:nn", u"14:07"},
      {u"'yyyy' \"mm\" d", u"yyyy mm 5"},
      {u"\"it's\" d", u"it's 5"},
      {u"'unterminated d", u"unterminated d"},
      {u"dd.mm.yyyy", u"05.03.2024"},
      {u"x b q", u"x b q"},
      {u"a", u"a"},
      {u"d 日", u"5 日"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(U8(FormatDateTime(c.Format, v, US)), U8(c.Expected)) << U8(c.Format);
  }
}

TEST_F(DateTimeTest, TwelveHourClockAndMarkers) {
  struct Case {
    Word Hour;
    const char16_t* Expected;
  };
  const Case cases[] = {{0, u"12:30 AM a am"}, {1, u"1:30 AM a am"}, {11, u"11:30 AM a am"},
                        {12, u"12:30 PM p pm"}, {13, u"1:30 PM p pm"}, {23, u"11:30 PM p pm"}};
  for (const Case& c : cases) {
    const TDateTime v = EncodeTime(c.Hour, 30, 0, 0);
    EXPECT_EQ(FormatDateTime(u"h:nn ampm a/p am/pm", v, US), c.Expected) << c.Hour;
    // Without a marker the hour counts to 23.
    EXPECT_EQ(FormatDateTime(u"h", v, US), FormatDateTime(u"h", v, US));
    EXPECT_EQ(U8(FormatDateTime(u"h", v, US)), std::to_string(c.Hour));
  }
  // A marker before the hour counts as well, and the locale strings are used.
  TFormatSettings fs = US;
  fs.TimeAMString = u"上午";
  fs.TimePMString = u"下午";
  EXPECT_EQ(FormatDateTime(u"ampm h:nn", EncodeTime(15, 5, 0, 0), fs), u"下午 3:05");
  // A marker inside quotes is text, not a marker.
  EXPECT_EQ(FormatDateTime(u"h 'am/pm'", EncodeTime(15, 5, 0, 0), fs), u"15 am/pm");
}

TEST_F(DateTimeTest, SeparatorsComeFromTheSettings) {
  TFormatSettings fs = US;
  fs.DateSeparator = u'-';
  fs.TimeSeparator = u'.';
  const TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
  EXPECT_EQ(FormatDateTime(u"yyyy/mm/dd hh:nn:ss", v, fs), u"2024-03-05 14.07.09");
  EXPECT_EQ(FormatDateTime(u"yyyy'/'mm hh\":\"nn", v, fs), u"2024/03 14:07");
  fs.DateSeparator = 0;  // no separator at all
  EXPECT_EQ(FormatDateTime(u"yyyy/mm", v, fs), u"202403");
}

TEST_F(DateTimeTest, DateTimeToStrShowsTheTimeOnlyWhenThereIsOne) {
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5), US), u"3/5/2024");
  EXPECT_EQ(DateTimeToStr(EncodeDateTime(2024, 3, 5, 0, 0, 1, 0), US), u"3/5/2024 12:00:01 AM");
  EXPECT_EQ(DateToStr(EncodeDateTime(2024, 3, 5, 14, 0, 0, 0), US), u"3/5/2024");
  EXPECT_EQ(TimeToStr(EncodeDateTime(2024, 3, 5, 14, 0, 0, 0), US), u"2:00:00 PM");
  EXPECT_EQ(DateTimeToStr(-1.25, US), u"12/29/1899 6:00:00 AM");
  String out;
  DateTimeToString(out, u"yyyy", EncodeDate(1999, 1, 1), US);
  EXPECT_EQ(out, u"1999");
}

TEST_F(DateTimeTest, SelfReferringFormatsStop) {
  // Settings whose short date names "c" or itself must not recurse for ever.
  TFormatSettings fs = US;
  fs.ShortDateFormat = u"c ddddd";
  fs.LongDateFormat = u"dddddd";
  fs.LongTimeFormat = u"tt";
  const TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
  EXPECT_NO_THROW(FormatDateTime(u"c dddddd tt", v, fs));
  EXPECT_LT(FormatDateTime(u"c dddddd tt", v, fs).size(), 200u);
}

TEST_F(DateTimeTest, DefaultSettingsAreTheProcessDefault) {
  TFormatSettings saved = FormatSettings();
  FormatSettings() = US;
  FormatSettings().DateSeparator = u'.';
  FormatSettings().ShortDateFormat = u"dd/mm/yyyy";
  EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 5)), u"05.03.2024");
  EXPECT_EQ(FormatDateTime(u"yyyy/m", EncodeDate(2024, 3, 5)), u"2024.3");
  EXPECT_EQ(StrToDate(u"05.03.2024"), EncodeDate(2024, 3, 5));
  FormatSettings() = saved;
}

// --------------------------------------------------------------------- parsing

TFormatSettings IsoSettings() {
  TFormatSettings fs = TFormatSettings::Invariant();
  fs.DateSeparator = u'-';
  fs.ShortDateFormat = u"yyyy/mm/dd";
  fs.LongTimeFormat = u"hh:nn:ss";
  fs.ShortTimeFormat = u"hh:nn";
  return fs;
}

TFormatSettings GermanSettings() {
  TFormatSettings fs = TFormatSettings::Invariant();
  fs.DateSeparator = u'.';
  fs.DecimalSeparator = u',';
  fs.ShortDateFormat = u"d/m/yyyy";
  fs.LongTimeFormat = u"hh:nn:ss";
  fs.ShortTimeFormat = u"hh:nn";
  return fs;
}

TEST_F(DateTimeTest, FormattedValuesParseBackUnderEverySetting) {
  const std::pair<const char*, TFormatSettings> settings[] = {
      {"US", TFormatSettings::Invariant()},
      {"ISO", IsoSettings()},
      {"German", GermanSettings()},
      {"zh_CN", GetLocaleFormatSettings(u"zh_CN")},
  };
  const TDateTime values[] = {
      EncodeDateTime(2024, 2, 29, 23, 59, 59, 0), EncodeDate(1999, 12, 31),
      EncodeDateTime(2000, 1, 1, 12, 0, 0, 0),    EncodeDateTime(2000, 1, 1, 0, 30, 0, 0),
      EncodeDateTime(1, 1, 1, 0, 0, 1, 0),        EncodeDateTime(9999, 12, 31, 23, 59, 59, 0),
      EncodeDateTime(1850, 6, 15, 6, 30, 0, 0),   EncodeDate(1920, 7, 4),
  };
  for (const auto& [name, fs] : settings) {
    for (TDateTime v : values) {
      const String text = DateTimeToStr(v, fs);
      SCOPED_TRACE(std::string(name) + ": " + U8(text));
      TDateTime parsed = -1;
      ASSERT_TRUE(TryStrToDateTime(text, parsed, fs));
      EXPECT_EQ(parsed, v);
      EXPECT_EQ(StrToDate(DateToStr(v, fs), fs), DateOf(v));
      EXPECT_NEAR(StrToTime(TimeToStr(v, fs), fs), TimeOf(v), 1e-9);
      const String stamp = FormatDateTime(u"ddddd hh:nn:ss.zzz", v, fs);
      EXPECT_EQ(StrToDateTime(stamp, fs), v) << U8(stamp);
    }
  }
}

// Unpadded milliseconds after a decimal point are a fraction of a second
// when read back, so they are written with their leading zeros there.
TEST_F(DateTimeTest, UnpaddedMillisecondsAfterAPointReadBack) {
  const std::pair<const char16_t*, TFormatSettings> formats[] = {
      {u"hh:nn:ss.z", TFormatSettings::Invariant()},
      {u"hh:nn:ss.zz", TFormatSettings::Invariant()},
      {u"hh:nn:ss,z", GermanSettings()},
  };
  for (const auto& [format, fs] : formats) {
    for (Word msec : {0, 5, 10, 45, 100, 999}) {
      const TDateTime v = EncodeTime(14, 7, 9, msec);
      const String text = FormatDateTime(format, v, fs);
      SCOPED_TRACE(U8(format) + " " + U8(text));
      TDateTime parsed = -1;
      ASSERT_TRUE(TryStrToTime(text, parsed, fs));
      EXPECT_EQ(parsed, v);
    }
  }
  // Elsewhere "z" stays the bare number.
  EXPECT_EQ(FormatDateTime(u"z' ms'", EncodeTime(0, 0, 0, 10)), u"10 ms");
}

TEST_F(DateTimeTest, ParseDatesByTheShortDateOrder) {
  // Clock: 2026-12-10. Window 50: two-digit years fall in 1976..2075.
  struct Case {
    const char* Settings;
    const char16_t* Text;
    bool Valid;
    Ymd Date;
  };
  const Case cases[] = {
      {"US", u"12/31/2020", true, {2020, 12, 31}},
      {"US", u"  1/2/2020  ", true, {2020, 1, 2}},
      {"US", u"1 / 2 / 2020", true, {2020, 1, 2}},
      {"US", u"2/29/2024", true, {2024, 2, 29}},
      {"US", u"2/29/2023", false, {}},
      {"US", u"13/1/2020", false, {}},
      {"US", u"0/1/2020", false, {}},
      {"US", u"12/31", true, {2026, 12, 31}},
      {"US", u"1/1/20", true, {2020, 1, 1}},
      {"US", u"1/1/76", true, {1976, 1, 1}},
      {"US", u"1/1/75", true, {2075, 1, 1}},
      {"US", u"1/1/0020", true, {20, 1, 1}},  // four digits are taken as written
      {"US", u"1/1/10000", false, {}},
      {"US", u"12", false, {}},
      {"US", u"1/2/3/4", false, {}},
      {"US", u"12/31/2020x", false, {}},
      {"US", u"12/31/", false, {}},
      {"US", u"12/31/2020/", false, {}},
      {"US", u"12-31-2020", false, {}},
      {"US", u"", false, {}},
      {"US", u"   ", false, {}},
      {"US", u"abc", false, {}},
      {"US", u"-1/2/2020", false, {}},
      {"US", u"99999999999999999999/1/2020", false, {}},
      {"ISO", u"2020-12-31", true, {2020, 12, 31}},
      {"ISO", u"20-1-5", true, {2020, 1, 5}},
      {"ISO", u"12-31", true, {2026, 12, 31}},
      {"ISO", u"2020/12/31", false, {}},
      {"German", u"31.12.2020", true, {2020, 12, 31}},
      {"German", u"5.3", true, {2026, 3, 5}},
      {"German", u"5 3 2020", true, {2020, 3, 5}},  // blanks separate as well
      {"German", u"31.2.2020", false, {}},
  };
  for (const Case& c : cases) {
    const std::string settingsName = c.Settings;
    const TFormatSettings fs = settingsName == "US"    ? US
                               : settingsName == "ISO" ? IsoSettings()
                                                       : GermanSettings();
    SCOPED_TRACE(settingsName + ": '" + U8(c.Text) + "'");
    TDateTime value = -7;
    EXPECT_EQ(TryStrToDate(c.Text, value, fs), c.Valid);
    if (c.Valid) {
      EXPECT_EQ(value, EncodeDate(c.Date.Year, c.Date.Month, c.Date.Day));
    } else {
      EXPECT_EQ(value, -7);  // left alone
      EXPECT_EQ(StrToDateDef(c.Text, -7, fs), -7);
      try {
        StrToDate(c.Text, fs);
        ADD_FAILURE() << "no exception";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, u"'" + String(c.Text) + u"' is not a valid date");
      }
    }
  }
}

TEST_F(DateTimeTest, TwoDigitYearsFollowTheWindowAndTheClock) {
  TFormatSettings fs = US;
  struct Case {
    Word Window;
    Word ClockYear;
    const char16_t* Text;
    Word Year;
  };
  const Case cases[] = {{50, 2026, u"1/1/75", 2075}, {50, 2026, u"1/1/76", 1976},
                        {0, 2026, u"1/1/99", 2099},  {0, 2026, u"1/1/5", 2005},
                        {10, 2026, u"1/1/15", 2115}, {10, 2026, u"1/1/16", 2016},
                        {50, 1990, u"1/1/39", 2039}, {50, 1990, u"1/1/41", 1941}};
  for (const Case& c : cases) {
    fs.TwoDigitYearCenturyWindow = c.Window;
    Fixed = EncodeDate(c.ClockYear, 6, 1);
    EXPECT_EQ(StrToDate(c.Text, fs), EncodeDate(c.Year, 1, 1))
        << c.Window << " " << c.ClockYear << " " << U8(c.Text);
  }
}

TEST_F(DateTimeTest, ParseTimes) {
  TFormatSettings zh = US;
  zh.TimeAMString = u"上午";
  zh.TimePMString = u"下午";
  struct Case {
    const char16_t* Text;
    bool Valid;
    Word H = 0, N = 0, S = 0, Z = 0;
  };
  const Case cases[] = {
      {u"10:30", true, 10, 30, 0, 0},       {u"0:00", true, 0, 0, 0, 0},
      {u"23:59:59", true, 23, 59, 59, 0},   {u"10:30:15.5", true, 10, 30, 15, 500},
      {u"10:30:15.123", true, 10, 30, 15, 123}, {u"10:30:15.1239", true, 10, 30, 15, 123},
      {u"10:30 PM", true, 22, 30, 0, 0},    {u"10:30pm", true, 22, 30, 0, 0},
      {u"10:30 a", true, 10, 30, 0, 0},     {u"10:30 P", true, 22, 30, 0, 0},
      {u"5 PM", true, 17, 0, 0, 0},         {u"12 AM", true, 0, 0, 0, 0},
      {u"12:00 PM", true, 12, 0, 0, 0},     {u"12:15 am", true, 0, 15, 0, 0},
      {u"PM 3:05", true, 15, 5, 0, 0},      {u"下午3:05", true, 15, 5, 0, 0},
      {u"上午 11:05:06", true, 11, 5, 6, 0}, {u"3:05 下午", true, 15, 5, 0, 0},
      {u"13:00 PM", false},                 {u"24:00", false},
      {u"10:60", false},                    {u"10:30:60", false},
      {u"10", false},                       {u"10:", false},
      {u"10:30:", false},                   {u"10:30:15.", false},
      {u"", false},                         {u"PM", false},
      {u"10:30 XM", false},                 {u"10:30 PM PM", false},
      {u"1:2:3:4", false},                  {u"99999:00", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + U8(c.Text) + "'");
    TDateTime value = -7;
    EXPECT_EQ(TryStrToTime(c.Text, value, zh), c.Valid);
    if (c.Valid) {
      EXPECT_NEAR(value, EncodeTime(c.H, c.N, c.S, c.Z), 1e-12);
    } else {
      EXPECT_EQ(value, -7);
      EXPECT_EQ(StrToTimeDef(c.Text, -7, zh), -7);
      try {
        StrToTime(c.Text, zh);
        ADD_FAILURE() << "no exception";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, u"'" + String(c.Text) + u"' is not a valid time");
      }
    }
  }
}

TEST_F(DateTimeTest, ParseDateTimes) {
  struct Case {
    const char16_t* Text;
    bool Valid;
    TDateTime Value;
  };
  const Case cases[] = {
      {u"12/31/2020 10:30 PM", true, EncodeDateTime(2020, 12, 31, 22, 30, 0, 0)},
      {u"12/31/2020", true, EncodeDate(2020, 12, 31)},
      {u"12/31/2020   23:00:01", true, EncodeDateTime(2020, 12, 31, 23, 0, 1, 0)},
      {u"12/31 10:30", true, EncodeDateTime(2026, 12, 31, 10, 30, 0, 0)},
      {u"10:30", true, EncodeTime(10, 30, 0, 0)},  // a time alone is day 0
      {u"12/29/1899 6:00 AM", true, -1.25},
      {u"12/31/2020 25:00", false, 0},
      {u"12/31/2020 10:30 x", false, 0},
      {u"12/31/2020 10", false, 0},
      {u"2/30/2020 10:30", false, 0},
      {u"junk", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("'" + U8(c.Text) + "'");
    TDateTime value = -7;
    EXPECT_EQ(TryStrToDateTime(c.Text, value, US), c.Valid);
    if (c.Valid) {
      EXPECT_NEAR(value, c.Value, 1e-9);
      EXPECT_NEAR(StrToDateTime(c.Text, US), c.Value, 1e-9);
    } else {
      EXPECT_EQ(value, -7);
      EXPECT_EQ(StrToDateTimeDef(c.Text, -7, US), -7);
      try {
        StrToDateTime(c.Text, US);
        ADD_FAILURE() << "no exception";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, u"'" + String(c.Text) + u"' is not a valid date and time");
      }
    }
  }
}

}  // namespace
