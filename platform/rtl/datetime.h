#pragma once
// Dates and times: TDateTime arithmetic, formatting with the pattern
// language of the format settings, and parsing of typed dates and times.
//
// A TDateTime counts days from 1899-12-30. For negative values the integer
// part is the day and the absolute value of the fraction is the time of day
// (-1.25 is 1899-12-29 06:00).
#include <functional>

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/types.h"

inline constexpr Integer HoursPerDay = 24;
inline constexpr Integer MinsPerHour = 60;
inline constexpr Integer SecsPerMin = 60;
inline constexpr Integer MSecsPerSec = 1000;
inline constexpr Integer MinsPerDay = HoursPerDay * MinsPerHour;
inline constexpr Integer SecsPerDay = MinsPerDay * SecsPerMin;
inline constexpr Integer MSecsPerDay = SecsPerDay * MSecsPerSec;
// Days from 0001-01-01 to 1899-12-30, and from 1899-12-30 to 1970-01-01.
inline constexpr Integer DateDelta = 693594;
inline constexpr Integer UnixDateDelta = 25569;
// 0001-01-01 00:00:00.000 and 9999-12-31 23:59:59.999.
inline constexpr TDateTime MinDateTime = -693593.0;
inline constexpr TDateTime MaxDateTime = 2958465.99999999;

// Days of each month; the first row for common years, the second for leap years.
inline constexpr Word MonthDays[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

bool IsLeapYear(Word year);
// Days of the given month (0 when year or month is out of range).
Word DaysInAMonth(Word year, Word month);
// Days of the month that holds the date.
Word DaysInMonth(TDateTime value);

// Years 1..9999, months 1..12, days within the month. Invalid arguments make
// Encode* raise EConvertError and Try* return false leaving `result` alone.
bool TryEncodeDate(Word year, Word month, Word day, TDateTime& result);
TDateTime EncodeDate(Word year, Word month, Word day);
// Hours 0..23, minutes and seconds 0..59, milliseconds 0..999.
bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& result);
TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec);
bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min,
                       Word sec, Word msec, TDateTime& result);
TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min,
                         Word sec, Word msec);

// Outside 0001-01-01 .. 9999-12-31 all parts become 0 (and DecodeDateFully
// answers false).
void DecodeDate(TDateTime value, Word& year, Word& month, Word& day);
// Also gives the weekday (1 = Sunday); answers whether the year is a leap year.
bool DecodeDateFully(TDateTime value, Word& year, Word& month, Word& day,
                     Word& dow);
// Time of day, rounded to the nearest millisecond.
void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec);
void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day,
                    Word& hour, Word& min, Word& sec, Word& msec);

// 1 = Sunday .. 7 = Saturday.
Word DayOfWeek(TDateTime value);
// The day part (time 00:00) and the time part (day 1899-12-30).
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);
// Keeps the day of `value` and takes the time of day of `newTime`.
void ReplaceTime(TDateTime& value, TDateTime newTime);
// Keeps the time of day of `value` and takes the day of `newDate`.
void ReplaceDate(TDateTime& value, TDateTime newDate);
// Moves by whole months; a day past the end of the target month becomes its
// last day (Jan 31 + 1 month = Feb 28/29). The time of day is kept.
TDateTime IncMonth(TDateTime value, Integer numberOfMonths = 1);

// The current local date and time, from the clock below.
TDateTime Now();
TDateTime Date();
TDateTime Time();
// Replaces the clock that Now, Date and Time read; an empty function (or
// ResetClockForTesting) brings back the real local clock.
void SetClockForTesting(std::function<TDateTime()> clock);
void ResetClockForTesting();

// Formatting. Pattern letters (case does not matter):
//   c       short date, then long time unless the time is midnight
//   d dd    day;  ddd dddd  short/long day name;  ddddd short date;  dddddd long date
//   m mm    month (minutes right after h/hh);  mmm mmmm short/long month name
//   yy yyyy year;  e ee g gg era (not used: nothing)
//   h hh    hour (12-hour when an am/pm marker is present);  n nn minute
//   s ss    second;  z zzz millisecond;  t tt short/long time
//           (z right after seconds and a point or the decimal separator is
//           written with three digits: there it is a fraction of a second)
//   am/pm a/p  marker in the case written;  ampm the settings' AM/PM strings
//   /       date separator;  :  time separator;  "..." '...'  literal text
// An empty format means "c".
String FormatDateTime(const String& format, TDateTime value);
String FormatDateTime(const String& format, TDateTime value,
                      const TFormatSettings& settings);
void DateTimeToString(String& result, const String& format, TDateTime value);
void DateTimeToString(String& result, const String& format, TDateTime value,
                      const TFormatSettings& settings);
// Short date; DateTimeToStr adds the long time unless it is midnight.
String DateToStr(TDateTime value);
String DateToStr(TDateTime value, const TFormatSettings& settings);
String TimeToStr(TDateTime value);
String TimeToStr(TDateTime value, const TFormatSettings& settings);
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Parsing. Dates are read as up to three numbers separated by the date
// separator, in the order of the short date format (y-m-d, m-d-y or d-m-y);
// a missing year is the current one; a two-digit year is placed by
// TwoDigitYearCenturyWindow; blanks may stand for the date separator. Times
// are h:n[:s[.z]] (the time separator between, the decimal separator or a
// point before the fraction of a second) with an optional AM/PM string (the
// settings' strings, "AM"/"PM" or "A"/"P", any case) before or after; with
// such a string the minutes may be left out ("5 PM"). A date and time is a
// date, blanks, then a time; either may come alone. The Try forms leave
// `value` alone on failure; the others raise EConvertError ("'text' is not a
// valid date", "... valid time", "... valid date and time").
bool TryStrToDate(const String& s, TDateTime& value);
bool TryStrToDate(const String& s, TDateTime& value,
                  const TFormatSettings& settings);
bool TryStrToTime(const String& s, TDateTime& value);
bool TryStrToTime(const String& s, TDateTime& value,
                  const TFormatSettings& settings);
bool TryStrToDateTime(const String& s, TDateTime& value);
bool TryStrToDateTime(const String& s, TDateTime& value,
                      const TFormatSettings& settings);
TDateTime StrToDate(const String& s);
TDateTime StrToDate(const String& s, const TFormatSettings& settings);
TDateTime StrToTime(const String& s);
TDateTime StrToTime(const String& s, const TFormatSettings& settings);
TDateTime StrToDateTime(const String& s);
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings);
TDateTime StrToDateDef(const String& s, TDateTime def);
TDateTime StrToDateDef(const String& s, TDateTime def,
                       const TFormatSettings& settings);
TDateTime StrToTimeDef(const String& s, TDateTime def);
TDateTime StrToTimeDef(const String& s, TDateTime def,
                       const TFormatSettings& settings);
TDateTime StrToDateTimeDef(const String& s, TDateTime def);
TDateTime StrToDateTimeDef(const String& s, TDateTime def,
                           const TFormatSettings& settings);
