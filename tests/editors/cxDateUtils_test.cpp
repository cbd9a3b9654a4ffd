#include "editors/cxDateUtils.h"

#include <gtest/gtest.h>

#include "editors/cxFormats.h"
#include "foundation/cxClasses.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/formatsettings.h"

namespace {

std::string Utf8(const String& s) { return StringToUTF8(s); }

// ---- Month arithmetic ------------------------------------------------------------------

TEST(cxDateUtilsMonths, StepAndShift) {
  struct {
    Word Year, Month;
    Integer Delta;
    Word NewYear, NewMonth;
    Integer Result;
  } Cases[] = {
      {2004, 1, -1, 2003, 12, 0},  {2004, 11, 14, 2006, 1, 1}, {2004, 3, -15, 2002, 12, -1},
      {2004, 12, 1, 2005, 1, 0},   {2004, 6, 24, 2006, 6, 2},  {2004, 6, 0, 2004, 6, 0},
      {2004, 1, -12, 2003, 1, -1}, {2004, 12, -11, 2004, 1, 0}, {2004, 1, -13, 2002, 12, -1},
  };
  for (const auto& Case : Cases) {
    Word Year = Case.Year, Month = Case.Month;
    EXPECT_EQ(ShiftMonthBy(Year, Month, Case.Delta), Case.Result) << Case.Year << "-" << Case.Month << " " << Case.Delta;
    EXPECT_EQ(Year, Case.NewYear) << Case.Year << "-" << Case.Month << " " << Case.Delta;
    EXPECT_EQ(Month, Case.NewMonth) << Case.Year << "-" << Case.Month << " " << Case.Delta;
  }

  Word Year = 2004, Month = 1;
  StepMonthBack(Year, Month);
  EXPECT_EQ(Year, 2003);
  EXPECT_EQ(Month, 12);
  StepMonthForward(Year, Month);
  EXPECT_EQ(Year, 2004);
  EXPECT_EQ(Month, 1);
  Month = 7;
  StepMonthBack(Year, Month);
  EXPECT_EQ(Month, 6);
  StepMonthForward(Year, Month);
  StepMonthForward(Year, Month);
  EXPECT_EQ(Month, 8);
  EXPECT_EQ(Year, 2004);
}

TEST(cxDateUtilsMonths, DaysAndClamping) {
  struct {
    Word Year, Month, Days;
  } Cases[] = {{1900, 2, 28}, {2000, 2, 29}, {2004, 2, 29}, {2003, 2, 28}, {2003, 4, 30},
               {2003, 12, 31}, {2003, 1, 31}, {2003, 13, 0}, {2003, 0, 0}};
  for (const auto& Case : Cases)
    EXPECT_EQ(GetDaysInMonth(Case.Year, Case.Month), Case.Days) << Case.Year << "-" << Case.Month;

  EXPECT_EQ(ClampDayOfMonth(2003, 2, 31), 28);
  EXPECT_EQ(ClampDayOfMonth(2004, 2, 30), 29);
  EXPECT_EQ(ClampDayOfMonth(2003, 2, 0), 1);
  EXPECT_EQ(ClampDayOfMonth(2003, 2, -5), 1);
  EXPECT_EQ(ClampDayOfMonth(2003, 1, 15), 15);
}

TEST(cxDateUtilsMonths, DayAndTimeParts) {
  EXPECT_EQ(TruncDateTimeToDay(2.99999999999), 3.0);
  EXPECT_EQ(TruncDateTimeToDay(2.5), 2.0);
  EXPECT_EQ(TruncDateTimeToDay(-2.99999999999), -3.0);
  EXPECT_EQ(TruncDateTimeToDay(-2.5), -2.0);
  EXPECT_DOUBLE_EQ(RemoveDatePart(2.25), 0.25);
  EXPECT_DOUBLE_EQ(RemoveDatePart(-1.25), 0.25);

  const TDateTime D = EncodeDate(2024, 6, 10) + 0.5;
  EXPECT_EQ(GetDateComponent(deYear, D), 2024);
  EXPECT_EQ(GetDateComponent(deMonth, D), 6);
  EXPECT_EQ(GetDateComponent(deDay, D), 10);
}

// ---- Typed dates -------------------------------------------------------------------------

// Monday, 10 June 2024, 10:30, in a chosen locale.
class cxDateUtilsParse : public ::testing::Test {
protected:
  void SetUp() override {
    SetClockForTesting([] { return EncodeDateTime(2024, 6, 10, 10, 30, 0, 0); });
    UseLocale(TFormatSettings::Invariant());
  }
  void TearDown() override {
    ResetClockForTesting();
    UninstallTextReplacementTable();
    FormatSettings() = FSaved;
    GetFormatController()->UpdateFormats();
  }
  static void UseLocale(const TFormatSettings& ASettings) {
    FormatSettings() = ASettings;
    GetFormatController()->UpdateFormats();
  }
  // "yyyy-mm-dd" (and " hh:nn" when the value has a time), or "fails".
  static std::string Parsed(const String& AText) {
    TDateTime D = 0;
    if (!ParseDateText(AText, D)) {
      EXPECT_EQ(D, NullDate);
      return "fails";
    }
    return Utf8(FormatDateTime(RemoveDatePart(D) != 0 ? u"yyyy-mm-dd hh:nn" : u"yyyy-mm-dd", D));
  }

  TFormatSettings FSaved = FormatSettings();
};

TEST_F(cxDateUtilsParse, SmartWords) {
  const struct {
    const char16_t* Text;
    const char* Date;
  } Cases[] = {
      {u"today", "2024-06-10"},       {u"TODAY", "2024-06-10"},      {u"today+3", "2024-06-13"},
      {u"today + 3", "2024-06-13"},   {u"  today-10  ", "2024-05-31"}, {u"today+", "2024-06-10"},
      {u"today+x", "2024-06-10"},     {u"today 3", "2024-06-10"},    {u"today+-3", "2024-06-10"},
      {u"tomorrowx", "2024-06-11"},   {u"yesterday", "2024-06-09"},  {u"Tomorrow-1", "2024-06-10"},
      // Weekday names: the next such day, today included.
      {u"Monday", "2024-06-10"},      {u"sunday", "2024-06-16"},     {u"Saturday", "2024-06-15"},
      {u"Tuesday+7", "2024-06-18"},
      // first..seventh: Sunday..Saturday of this week, counted from Sunday.
      {u"first", "2024-06-09"},       {u"second", "2024-06-10"},     {u"seventh", "2024-06-15"},
      // The month's first and last days.
      {u"bom", "2024-06-01"},         {u"eom", "2024-06-30"},        {u"eom-1", "2024-06-29"},
      {u"bom+31", "2024-07-02"},      {u"now", "2024-06-10 10:30"},  {u"now+1", "2024-06-11 10:30"},
      // Out of the calendar's range: no date at all.
      {u"today+9999999", "fails"},    {u"today-999999", "fails"},
  };
  for (const auto& Case : Cases) EXPECT_EQ(Parsed(Case.Text), Case.Date) << Utf8(Case.Text);
}

TEST_F(cxDateUtilsParse, SmartWordsStayInTheCalendar) {
  SetClockForTesting([] { return EncodeDate(9999, 12, 31); });
  EXPECT_EQ(Parsed(u"today"), "9999-12-31");
  EXPECT_EQ(Parsed(u"eom"), "9999-12-31");
  EXPECT_EQ(Parsed(u"tomorrow"), "fails");
  EXPECT_EQ(Parsed(u"today+1"), "fails");
  SetClockForTesting([] { return EncodeDate(1, 1, 1); });
  EXPECT_EQ(Parsed(u"today"), "0001-01-01");
  EXPECT_EQ(Parsed(u"yesterday"), "fails");
}

TEST_F(cxDateUtilsParse, SmartWordsFollowTheirTexts) {
  // A replaced word takes effect at once; longer words are tried first, so
  // "tomorrow" still wins over a one-letter "t"; an emptied word matches
  // nothing (rather than every text).
  InstallTextReplacementTable({u"today", u"yesterday", u"eom"}, {u"t", u"今天", u""});
  EXPECT_EQ(Parsed(u"t+1"), "2024-06-11");
  EXPECT_EQ(Parsed(u"tomorrow"), "2024-06-11");
  EXPECT_EQ(Parsed(u"今天-1"), "2024-06-08");  // "yesterday" in Chinese, minus one
  EXPECT_EQ(Parsed(u"yesterday"), "fails");
  EXPECT_EQ(Parsed(u"eom"), "fails");
  EXPECT_EQ(Utf8(GetSmartDateWord(0)), "t");
  EXPECT_EQ(Utf8(GetSmartDateWord(cxSmartDateWordNow)), "now");
  EXPECT_EQ(GetSmartDateWord(20), String());
}

TEST_F(cxDateUtilsParse, LenientDatesFollowTheShortDateFormat) {
  const struct {
    const char16_t* Locale;  // nullptr: the invariant (US) formats
    const char16_t* Text;
    const char* Date;
  } Cases[] = {
      {nullptr, u"6/12/2024", "2024-06-12"},
      {nullptr, u"6 12 2024", "2024-06-12"},
      {nullptr, u"6/12", "2024-06-12"},  // this year
      {nullptr, u"Jun/12/2024", "2024-06-12"},
      {nullptr, u"december 24 2024", "2024-12-24"},
      {nullptr, u"6/12/2024 3:45 PM", "2024-06-12 15:45"},
      {nullptr, u"5", "fails"},  // a plain number is not a number of days
      {nullptr, u"", "fails"},
      {nullptr, u"   ", "fails"},
      {nullptr, u"13/45/2024", "fails"},
      {nullptr, u"12:30", "fails"},  // a time alone has no day
      {nullptr, u"1/1/10000", "fails"},
      {nullptr, u"foo", "fails"},
      {u"de_DE", u"12.03.2024", "2024-03-12"},
      {u"de_DE", u"12.3.", "2024-03-12"},
      {u"de_DE", u"12. März 2024", "2024-03-12"},
      {u"de_DE", u"12.03.2024 14:05:00", "2024-03-12 14:05"},
      {u"zh_CN", u"2024/3/12", "2024-03-12"},
      {u"zh_CN", u"2024 三月 12", "2024-03-12"},
      {u"zh_CN", u"2024/十二月/12", "2024-12-12"},
  };
  for (const auto& Case : Cases) {
    UseLocale(Case.Locale ? GetLocaleFormatSettings(Case.Locale) : TFormatSettings::Invariant());
    EXPECT_EQ(Parsed(Case.Text), Case.Date) << (Case.Locale ? Utf8(Case.Locale) : "US") << " " << Utf8(Case.Text);
  }
}

TEST_F(cxDateUtilsParse, FormatDateValueText) {
  const TDateTime Day = EncodeDate(2024, 6, 10);
  const TDateTime WithTime = Day + EncodeTime(22, 30, 5, 0);
  String Text = u"stale";
  FormatDateValueText(true, true, Text, NullDate);
  EXPECT_EQ(Text, String());
  FormatDateValueText(false, false, Text, Day);
  EXPECT_EQ(Utf8(Text), "6/10/2024");
  FormatDateValueText(false, false, Text, WithTime);
  EXPECT_EQ(Utf8(Text), "6/10/2024 10:30:05 PM");
  FormatDateValueText(true, false, Text, WithTime);  // the day only
  EXPECT_EQ(Utf8(Text), "06/10/2024");
  FormatDateValueText(true, true, Text, WithTime);
  EXPECT_EQ(Utf8(Text), "06/10/2024 10:30:05 PM");
  FormatDateValueText(false, false, Text, 1e9);  // beyond the calendar
  EXPECT_EQ(Text, String());

  UseLocale(GetLocaleFormatSettings(u"de_DE"));
  FormatDateValueText(true, true, Text, WithTime);
  EXPECT_EQ(Utf8(Text), "10.06.2024 22:30:05");
  // What is shown is read back.
  TDateTime Back = 0;
  ASSERT_TRUE(ParseDateText(Text, Back));
  EXPECT_NEAR(Back, WithTime, 1e-8);
}

// Whatever the date editor shows, masked or not, with or without the time,
// is read back as the value shown: in locales whose formats carry literal
// text and in user formats that spell the time out in words.
TEST_F(cxDateUtilsParse, EveryDisplayedTextReadsBack) {
  auto withFormats = [](const char16_t* Locale, const char16_t* ShortDate, const char16_t* LongTime) {
    TFormatSettings S = GetLocaleFormatSettings(Locale);
    if (ShortDate) S.ShortDateFormat = ShortDate;
    if (LongTime) S.LongTimeFormat = LongTime;
    return S;
  };
  const std::pair<const char*, TFormatSettings> Settings[] = {
      {"US", TFormatSettings::Invariant()},
      {"de_DE", GetLocaleFormatSettings(u"de_DE")},
      {"zh_CN", GetLocaleFormatSettings(u"zh_CN")},
      {"bg_BG", GetLocaleFormatSettings(u"bg_BG")},
      {"ko_KR", GetLocaleFormatSettings(u"ko_KR")},
      {"hu_HU", GetLocaleFormatSettings(u"hu_HU")},
      {"fr_CA", GetLocaleFormatSettings(u"fr_CA")},
      {"time in words", withFormats(u"zh_CN", nullptr, u"hh'时'nn'分'ss'秒'")},
      {"date and time in words", withFormats(u"zh_CN", u"yyyy'年'm'月'd'日'", u"h'时'n'分'ss'秒'")},
      {"Bulgarian in words", withFormats(u"bg_BG", nullptr, u"h 'ч'. n 'мин'. s 'сек'.")},
  };
  const TDateTime Values[] = {
      EncodeDateTime(2024, 6, 10, 22, 30, 5, 0), EncodeDate(1949, 12, 28),
      EncodeDateTime(2024, 1, 5, 9, 5, 7, 0),    EncodeDateTime(2001, 11, 30, 12, 0, 0, 0),
  };
  for (const auto& [Name, S] : Settings) {
    UseLocale(S);
    for (const TDateTime Value : Values) {
      for (const bool Masked : {false, true}) {
        for (const bool WithTime : {false, true}) {
          String Text;
          FormatDateValueText(Masked, WithTime, Text, Value);
          SCOPED_TRACE(std::string(Name) + (Masked ? " masked" : "") + (WithTime ? " with time: " : ": ") + Utf8(Text));
          const TDateTime Shown = Masked && !WithTime ? TruncDateTimeToDay(Value) : Value;
          TDateTime Back = 0;
          EXPECT_TRUE(ParseDateText(Text, Back));
          EXPECT_NEAR(Back, Shown, 1e-8);
        }
      }
    }
  }
}

TEST_F(cxDateUtilsParse, TryTextToDateTime) {
  TDateTime D = 0;
  EXPECT_TRUE(TryTextToDateTime(u"6/10/2024", false, D));
  EXPECT_EQ(D, EncodeDate(2024, 6, 10));
  EXPECT_TRUE(TryTextToDateTime(u"6/10/2024 1:00 PM", true, D));
  EXPECT_NEAR(D, EncodeDate(2024, 6, 10) + 13.0 / 24, 1e-9);
  EXPECT_FALSE(TryTextToDateTime(u"abc", false, D));
  EXPECT_EQ(D, NullDate);
  D = 0;
  EXPECT_FALSE(TryTextToDateTime(u"abc", true, D));
  EXPECT_EQ(D, NullDate);
}

}  // namespace
