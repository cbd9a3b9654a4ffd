// TDateTime arithmetic, formatting and parsing.
#include "platform/rtl/datetime.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <mutex>

#include "platform/rtl/exceptions.h"

namespace {

constexpr Integer MinDay = -693593;  // 0001-01-01
constexpr Integer MaxDay = 2958465;  // 9999-12-31

// ---------------------------------------------------------------- calendar

Integer DayNumber(Integer year, Integer month, Integer day) {
  const bool leap = IsLeapYear(static_cast<Word>(year));
  Integer days = day;
  for (Integer m = 1; m < month; ++m) days += MonthDays[leap][m - 1];
  const Integer y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400 + days - DateDelta;
}

void DayToDate(Integer dayNumber, Word& year, Word& month, Word& day) {
  constexpr Integer D1 = 365, D4 = 1461, D100 = 36524, D400 = 146097;
  Integer t = dayNumber + DateDelta - 1;  // 0 is 0001-01-01
  Integer y = 1 + t / D400 * 400;
  t %= D400;
  Integer i = t / D100;
  t %= D100;
  if (i == 4) {  // the last day of a 400-year cycle
    --i;
    t += D100;
  }
  y += i * 100 + t / D4 * 4;
  t %= D4;
  i = t / D1;
  t %= D1;
  if (i == 4) {  // the last day of a leap cycle
    --i;
    t += D1;
  }
  y += i;
  const bool leap = IsLeapYear(static_cast<Word>(y));
  Integer m = 0;
  while (t >= MonthDays[leap][m]) t -= MonthDays[leap][m++];
  year = static_cast<Word>(y);
  month = static_cast<Word>(m + 1);
  day = static_cast<Word>(t + 1);
}

// Day number and milliseconds of the day, rounded to the millisecond (a
// time that rounds to midnight moves to the next day). False for values no
// calendar day can hold.
bool SplitRounded(TDateTime value, Integer& dayNumber, Integer& msec) {
  dayNumber = 0;
  msec = 0;
  if (!std::isfinite(value) || std::fabs(value) > MaxDay + 2.0) return false;
  const Int64 total = std::llround(std::fabs(value) * MSecsPerDay);
  const Int64 days = total / MSecsPerDay;
  msec = static_cast<Integer>(total % MSecsPerDay);
  dayNumber = static_cast<Integer>(value < 0 ? -days : days);
  return dayNumber >= MinDay && dayNumber <= MaxDay;
}

// A day and a time of day (0 <= time < 1) as one value.
TDateTime Combine(double day, double time) { return day >= 0 ? day + time : day - time; }

double FractionOf(TDateTime value) { return std::fabs(value - std::trunc(value)); }

// ---------------------------------------------------------------- clock

std::mutex& ClockMutex() {
  static std::mutex mutex;
  return mutex;
}

std::function<TDateTime()>& ClockSlot() {
  static std::function<TDateTime()> clock;
  return clock;
}

TDateTime SystemNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate d = now.date();
  return Combine(DayNumber(d.year(), d.month(), d.day()),
                 static_cast<double>(now.time().msecsSinceStartOfDay()) / MSecsPerDay);
}

// ---------------------------------------------------------------- formatting

Char LowerAscii(Char c) { return (c >= u'A' && c <= u'Z') ? Char(c + 32) : c; }
bool IsAsciiLetter(Char c) { return LowerAscii(c) >= u'a' && LowerAscii(c) <= u'z'; }

bool MatchesAt(const String& text, size_t pos, std::u16string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k) {
    if (LowerAscii(text[pos + k]) != LowerAscii(word[k])) return false;
  }
  return true;
}

String Number(Integer value, size_t width) {
  String digits;
  do {
    digits.insert(digits.begin(), Char(u'0' + value % 10));
    value /= 10;
  } while (value > 0);
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

// Length of the quoted literal starting at `pos`, quotes included; an
// unclosed quote runs to the end.
size_t QuotedLength(const String& f, size_t pos) {
  const size_t close = f.find(f[pos], pos + 1);
  return (close == String::npos ? f.size() : close + 1) - pos;
}

// The text inside the quoted literal starting at `pos`.
String QuotedText(const String& f, size_t pos) {
  const size_t close = f.find(f[pos], pos + 1);
  return f.substr(pos + 1, close == String::npos ? String::npos : close - pos - 1);
}

// True when the format holds an am/pm marker outside quoted text.
bool HasAmPmMarker(const String& f) {
  for (size_t i = 0; i < f.size();) {
    if (f[i] == u'"' || f[i] == u'\'') {
      i += QuotedLength(f, i);
      continue;
    }
    if (MatchesAt(f, i, u"am/pm") || MatchesAt(f, i, u"a/p") || MatchesAt(f, i, u"ampm")) {
      return true;
    }
    ++i;
  }
  return false;
}

class Formatter {
public:
  Formatter(TDateTime value, const TFormatSettings& settings) : FS(settings) {
    Integer day = 0, msec = 0;
    if (SplitRounded(value, day, msec)) DayToDate(day, Year, Month, Day);
    if (Year != 0) DayOfWeekIndex = static_cast<Word>(((day % 7) + 13) % 7);  // 0 = Sunday
    Hour = static_cast<Word>(msec / 3600000);
    Min = static_cast<Word>(msec / 60000 % 60);
    Sec = static_cast<Word>(msec / 1000 % 60);
    MSec = static_cast<Word>(msec % 1000);
  }

  // Nested formats (short date inside "c" and so on) go at most two levels
  // deep, so a format that names itself cannot recurse without end.
  void Run(const String& f, int depth) {
    if (depth > 2) return;
    const bool twelveHour = HasAmPmMarker(f);
    Char lastToken = 0;
    size_t i = 0;
    while (i < f.size()) {
      const Char c = f[i];
      if (c == u'"' || c == u'\'') {
        Out += QuotedText(f, i);
        i += QuotedLength(f, i);
      } else if (c == u'/') {
        if (FS.DateSeparator != 0) Out += FS.DateSeparator;
        ++i;
      } else if (c == u':') {
        if (FS.TimeSeparator != 0) Out += FS.TimeSeparator;
        ++i;
      } else if (!IsAsciiLetter(c)) {
        Out += c;
        ++i;
      } else if (LowerAscii(c) == u'a') {
        i += AmPm(f, i);
      } else {
        size_t run = 1;
        while (i + run < f.size() && LowerAscii(f[i + run]) == LowerAscii(c)) ++run;
        Token(f, i, run, lastToken, twelveHour, depth);
        lastToken = LowerAscii(c);
        i += run;
      }
    }
  }

  String Out;

private:
  size_t AmPm(const String& f, size_t i) {
    const bool am = Hour < 12;
    if (MatchesAt(f, i, u"am/pm")) {
      Out.append(f, am ? i : i + 3, 2);
      return 5;
    }
    if (MatchesAt(f, i, u"a/p")) {
      Out += f[am ? i : i + 2];
      return 3;
    }
    if (MatchesAt(f, i, u"ampm")) {
      Out += am ? FS.TimeAMString : FS.TimePMString;
      return 4;
    }
    Out += f[i];
    return 1;
  }

  void Token(const String& f, size_t i, size_t run, Char lastToken, bool twelveHour,
             int depth) {
    switch (LowerAscii(f[i])) {
      case u'y': Out += run <= 2 ? Number(Year % 100, 2) : Number(Year, 4); break;
      case u'm':
        if (lastToken == u'h' && run <= 2) Out += Number(Min, run == 1 ? 0 : 2);
        else MonthToken(run);
        break;
      case u'd': DayToken(run, depth); break;
      case u'h': {
        Word h = Hour;
        if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
        Out += Number(h, run == 1 ? 0 : 2);
        break;
      }
      case u'n': Out += Number(Min, run == 1 ? 0 : 2); break;
      case u's': Out += Number(Sec, run == 1 ? 0 : 2); break;
      case u'z': Out += Number(MSec, run < 3 && !AfterSecondsPoint(lastToken) ? 0 : 3); break;
      case u't': Run(run == 1 ? FS.ShortTimeFormat : FS.LongTimeFormat, depth + 1); break;
      case u'c':
        Run(FS.ShortDateFormat, depth + 1);
        if (Hour != 0 || Min != 0 || Sec != 0 || MSec != 0) {
          Out += u' ';
          Run(FS.LongTimeFormat, depth + 1);
        }
        break;
      case u'e': case u'g': break;  // era: this calendar has none to show
      default: Out.append(f, i, run); break;
    }
  }

  // Right after the seconds and a decimal point the milliseconds are the
  // fraction of a second: unpadded, 10 ms would read back as ".10" = 100 ms.
  bool AfterSecondsPoint(Char lastToken) const {
    return lastToken == u's' && !Out.empty() && (Out.back() == u'.' || Out.back() == FS.DecimalSeparator);
  }

  void MonthToken(size_t run) {
    const bool known = Month >= 1 && Month <= 12;
    if (run <= 2) Out += Number(Month, run);
    else if (known) Out += (run == 3 ? FS.ShortMonthNames : FS.LongMonthNames)[Month - 1];
  }

  void DayToken(size_t run, int depth) {
    if (run <= 2) Out += Number(Day, run);
    else if (run == 3 && Year != 0) Out += FS.ShortDayNames[DayOfWeekIndex];
    else if (run == 4 && Year != 0) Out += FS.LongDayNames[DayOfWeekIndex];
    else if (run == 5) Run(FS.ShortDateFormat, depth + 1);
    else if (run >= 6) Run(FS.LongDateFormat, depth + 1);
  }

  const TFormatSettings& FS;
  Word Year = 0, Month = 0, Day = 0, DayOfWeekIndex = 0;
  Word Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

// ---------------------------------------------------------------- parsing

enum class DateOrder { YMD, MDY, DMY };

DateOrder OrderOf(const String& shortDateFormat) {
  const String& f = shortDateFormat;
  for (size_t i = 0; i < f.size();) {
    if (f[i] == u'"' || f[i] == u'\'') {
      i += QuotedLength(f, i);
      continue;
    }
    switch (LowerAscii(f[i])) {
      case u'y': case u'e': return DateOrder::YMD;
      case u'm': return DateOrder::MDY;
      case u'd': return DateOrder::DMY;
      default: ++i;
    }
  }
  return DateOrder::MDY;
}

// Places a year written with one or two digits in the hundred years that
// start `window` years before the current year (window 0: this century).
Integer ExpandYear(Integer twoDigits, Word window) {
  Word year = 0, month = 0, day = 0;
  DecodeDate(Date(), year, month, day);
  if (window == 0) return year / 100 * 100 + twoDigits;
  const Integer pivot = year - window;
  Integer result = pivot / 100 * 100 + twoDigits;
  if (result < pivot) result += 100;
  return result;
}

bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

bool EndsWithDateSeparator(const String& format) {
  const size_t last = format.find_last_not_of(u' ');
  return last != String::npos && format[last] == u'/';
}

class Scanner {
public:
  Scanner(const String& text, const TFormatSettings& settings) : S(text), FS(settings) {}

  void SkipBlanks() {
    while (Pos < S.size() && (S[Pos] == u' ' || S[Pos] == u'\t')) ++Pos;
  }
  bool AtEnd() {
    SkipBlanks();
    return Pos == S.size();
  }

  bool ScanDate(TDateTime& value) {
    SkipBlanks();
    Integer n[3] = {0, 0, 0};
    size_t digits[3] = {0, 0, 0};
    size_t count = 0;
    if (!ReadNumber(n[0], digits[0])) return false;
    count = 1;
    while (count < 3) {
      const size_t before = Pos;
      if (!DateSeparator() || !ReadNumber(n[count], digits[count])) {
        Pos = before;  // a separator with no number after it is not ours
        break;
      }
      ++count;
    }
    if (count < 2) return false;
    if (EndsWithDateSeparator(FS.ShortDateFormat)) {  // "2024. 3. 5."
      const size_t before = Pos;
      SkipBlanks();
      if (!Take(FS.DateSeparator)) Pos = before;
    }
    Integer year = 0, month = 0, day = 0;
    size_t yearDigits = 0;
    const DateOrder order = OrderOf(FS.ShortDateFormat);
    if (count == 2) {
      const bool dayFirst = order == DateOrder::DMY;
      day = dayFirst ? n[0] : n[1];
      month = dayFirst ? n[1] : n[0];
      Word y = 0, m = 0, d = 0;
      DecodeDate(Date(), y, m, d);
      year = y;
      yearDigits = 4;
    } else if (order == DateOrder::YMD) {
      year = n[0], month = n[1], day = n[2], yearDigits = digits[0];
    } else if (order == DateOrder::MDY) {
      month = n[0], day = n[1], year = n[2], yearDigits = digits[2];
    } else {
      day = n[0], month = n[1], year = n[2], yearDigits = digits[2];
    }
    if (yearDigits <= 2) year = ExpandYear(year, FS.TwoDigitYearCenturyWindow);
    if (year > 9999 || month > 12 || day > 31) return false;
    return TryEncodeDate(static_cast<Word>(year), static_cast<Word>(month),
                         static_cast<Word>(day), value);
  }

  bool ScanTime(TDateTime& value) {
    SkipBlanks();
    Integer marker = ReadAmPm();  // 0 none, 1 AM, 2 PM
    SkipBlanks();
    Integer hour = 0, min = 0, sec = 0, msec = 0;
    size_t digits = 0;
    if (!ReadNumber(hour, digits)) return false;
    bool minutes = false;
    if (Take(FS.TimeSeparator)) {
      if (!ReadNumber(min, digits)) return false;
      minutes = true;
      if (Take(FS.TimeSeparator)) {
        if (!ReadNumber(sec, digits)) return false;
        // Milliseconds after the decimal separator or a point.
        if ((Take(FS.DecimalSeparator) || Take(u'.')) && !ReadMilliseconds(msec)) return false;
      }
    }
    if (marker == 0) {
      SkipBlanks();
      marker = ReadAmPm();
    }
    if (!minutes && marker == 0) return false;  // a bare number is not a time
    if (marker != 0) {
      if (hour > 12) return false;
      if (marker == 1 && hour == 12) hour = 0;
      if (marker == 2 && hour < 12) hour += 12;
    }
    if (hour > 23 || min > 59 || sec > 59) return false;
    return TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(min),
                         static_cast<Word>(sec), static_cast<Word>(msec), value);
  }

  size_t Pos = 0;

private:
  bool ReadNumber(Integer& value, size_t& digits) {
    const size_t start = Pos;
    value = 0;
    while (Pos < S.size() && IsDigit(S[Pos])) {
      if (value > 99999) return false;  // far too long for any date or time part
      value = value * 10 + (S[Pos++] - u'0');
    }
    digits = Pos - start;
    return digits > 0;
  }

  // Digits after the decimal separator, read as a fraction of a second.
  bool ReadMilliseconds(Integer& msec) {
    msec = 0;
    size_t count = 0;
    for (; Pos < S.size() && IsDigit(S[Pos]); ++Pos, ++count) {
      if (count < 3) msec = msec * 10 + (S[Pos] - u'0');
    }
    for (size_t k = count; k < 3; ++k) msec *= 10;
    return count > 0;
  }

  bool Take(Char c) {
    if (c == 0 || Pos >= S.size() || S[Pos] != c) return false;
    ++Pos;
    return true;
  }

  // The date separator, blanks allowed around it. Blanks alone separate too
  // when a date part follows (a number that does not start a time).
  bool DateSeparator() {
    const size_t start = Pos;
    SkipBlanks();
    if (Take(FS.DateSeparator)) {
      SkipBlanks();
      return true;
    }
    if (Pos > start && Pos < S.size() && IsDigit(S[Pos])) {
      size_t end = Pos;
      while (end < S.size() && IsDigit(S[end])) ++end;
      if (end == S.size() || S[end] != FS.TimeSeparator) return true;
    }
    Pos = start;
    return false;
  }

  Integer ReadAmPm() {
    struct Candidate {
      const String* Text;
      Integer Marker;
    };
    static const String am = u"AM", pm = u"PM", a = u"A", p = u"P";
    Candidate candidates[] = {{&FS.TimeAMString, 1}, {&FS.TimePMString, 2}, {&am, 1},
                              {&pm, 2},              {&a, 1},               {&p, 2}};
    std::stable_sort(std::begin(candidates), std::end(candidates),
                     [](const Candidate& x, const Candidate& y) {
                       return x.Text->size() > y.Text->size();
                     });
    for (const Candidate& c : candidates) {
      if (!c.Text->empty() && MatchesAt(S, Pos, *c.Text)) {
        Pos += c.Text->size();
        return c.Marker;
      }
    }
    return 0;
  }

  const String& S;
  const TFormatSettings& FS;
};

[[noreturn]] void RaiseNotValid(const String& s, const char16_t* what) {
  throw EConvertError(u"'" + s + u"' is not a valid " + what);
}

}  // namespace

// ------------------------------------------------------------------ calendar

bool IsLeapYear(Word year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

Word DaysInAMonth(Word year, Word month) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return 0;
  return MonthDays[IsLeapYear(year)][month - 1];
}

Word DaysInMonth(TDateTime value) {
  Word year = 0, month = 0, day = 0;
  DecodeDate(value, year, month, day);
  return DaysInAMonth(year, month);
}

bool TryEncodeDate(Word year, Word month, Word day, TDateTime& result) {
  if (day < 1 || day > DaysInAMonth(year, month)) return false;
  result = DayNumber(year, month, day);
  return true;
}

TDateTime EncodeDate(Word year, Word month, Word day) {
  TDateTime result = 0;
  if (!TryEncodeDate(year, month, day, result)) {
    throw EConvertError(u"Invalid argument to date encode");
  }
  return result;
}

bool TryEncodeTime(Word hour, Word min, Word sec, Word msec, TDateTime& result) {
  if (hour >= HoursPerDay || min >= MinsPerHour || sec >= SecsPerMin || msec >= MSecsPerSec) {
    return false;
  }
  const Integer total = ((hour * 60 + min) * 60 + sec) * 1000 + msec;
  result = static_cast<double>(total) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(Word hour, Word min, Word sec, Word msec) {
  TDateTime result = 0;
  if (!TryEncodeTime(hour, min, sec, msec, result)) {
    throw EConvertError(u"Invalid argument to time encode");
  }
  return result;
}

bool TryEncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec,
                       Word msec, TDateTime& result) {
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, min, sec, msec, time)) {
    return false;
  }
  result = Combine(date, time);
  return true;
}

TDateTime EncodeDateTime(Word year, Word month, Word day, Word hour, Word min, Word sec,
                         Word msec) {
  TDateTime result = 0;
  if (!TryEncodeDateTime(year, month, day, hour, min, sec, msec, result)) {
    throw EConvertError(u"Invalid argument to date encode");
  }
  return result;
}

void DecodeDate(TDateTime value, Word& year, Word& month, Word& day) {
  Word dow = 0;
  DecodeDateFully(value, year, month, day, dow);
}

bool DecodeDateFully(TDateTime value, Word& year, Word& month, Word& day, Word& dow) {
  year = month = day = dow = 0;
  Integer dayNumber = 0, msec = 0;
  if (!SplitRounded(value, dayNumber, msec)) return false;
  DayToDate(dayNumber, year, month, day);
  dow = static_cast<Word>(((dayNumber % 7) + 13) % 7 + 1);
  return IsLeapYear(year);
}

void DecodeTime(TDateTime value, Word& hour, Word& min, Word& sec, Word& msec) {
  Integer dayNumber = 0, total = 0;
  SplitRounded(value, dayNumber, total);
  hour = static_cast<Word>(total / 3600000);
  min = static_cast<Word>(total / 60000 % 60);
  sec = static_cast<Word>(total / 1000 % 60);
  msec = static_cast<Word>(total % 1000);
}

void DecodeDateTime(TDateTime value, Word& year, Word& month, Word& day, Word& hour,
                    Word& min, Word& sec, Word& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
}

Word DayOfWeek(TDateTime value) {
  Word year = 0, month = 0, day = 0, dow = 0;
  DecodeDateFully(value, year, month, day, dow);
  return dow;
}

TDateTime DateOf(TDateTime value) { return std::trunc(value); }

TDateTime TimeOf(TDateTime value) { return FractionOf(value); }

void ReplaceTime(TDateTime& value, TDateTime newTime) {
  value = Combine(std::trunc(value), FractionOf(newTime));
}

void ReplaceDate(TDateTime& value, TDateTime newDate) {
  value = Combine(std::trunc(newDate), FractionOf(value));
}

TDateTime IncMonth(TDateTime value, Integer numberOfMonths) {
  Word year = 0, month = 0, day = 0;
  DecodeDate(std::trunc(value), year, month, day);
  if (year == 0) throw EConvertError(u"Invalid argument to date encode");
  const Int64 months = Int64(year) * 12 + (month - 1) + numberOfMonths;
  const Int64 newYear = months >= 0 ? months / 12 : -1;
  if (newYear < 1 || newYear > 9999) throw EConvertError(u"Invalid argument to date encode");
  const Word y = static_cast<Word>(newYear);
  const Word m = static_cast<Word>(months % 12 + 1);
  const Word d = std::min(day, DaysInAMonth(y, m));
  return Combine(EncodeDate(y, m, d), FractionOf(value));
}

// --------------------------------------------------------------------- clock

TDateTime Now() {
  std::function<TDateTime()> clock;
  {
    std::lock_guard<std::mutex> lock(ClockMutex());
    clock = ClockSlot();
  }
  return clock ? clock() : SystemNow();
}

TDateTime Date() { return DateOf(Now()); }

TDateTime Time() { return TimeOf(Now()); }

void SetClockForTesting(std::function<TDateTime()> clock) {
  std::lock_guard<std::mutex> lock(ClockMutex());
  ClockSlot() = std::move(clock);
}

void ResetClockForTesting() { SetClockForTesting(nullptr); }

// ---------------------------------------------------------------- formatting

String FormatDateTime(const String& format, TDateTime value) {
  return FormatDateTime(format, value, FormatSettings());
}

String FormatDateTime(const String& format, TDateTime value, const TFormatSettings& settings) {
  Formatter formatter(value, settings);
  formatter.Run(format.empty() ? String(u"c") : format, 0);
  return formatter.Out;
}

void DateTimeToString(String& result, const String& format, TDateTime value) {
  result = FormatDateTime(format, value);
}

void DateTimeToString(String& result, const String& format, TDateTime value,
                      const TFormatSettings& settings) {
  result = FormatDateTime(format, value, settings);
}

String DateToStr(TDateTime value) { return DateToStr(value, FormatSettings()); }
String DateToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(u"ddddd", value, settings);
}
String TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings()); }
String TimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(u"tt", value, settings);
}
String DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings()); }
String DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  return FormatDateTime(u"c", value, settings);
}

// ------------------------------------------------------------------- parsing

bool TryStrToDate(const String& s, TDateTime& value) {
  return TryStrToDate(s, value, FormatSettings());
}
bool TryStrToDate(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner scanner(s, settings);
  TDateTime date = 0;
  if (!scanner.ScanDate(date) || !scanner.AtEnd()) return false;
  value = date;
  return true;
}

bool TryStrToTime(const String& s, TDateTime& value) {
  return TryStrToTime(s, value, FormatSettings());
}
bool TryStrToTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner scanner(s, settings);
  TDateTime time = 0;
  if (!scanner.ScanTime(time) || !scanner.AtEnd()) return false;
  value = time;
  return true;
}

bool TryStrToDateTime(const String& s, TDateTime& value) {
  return TryStrToDateTime(s, value, FormatSettings());
}
bool TryStrToDateTime(const String& s, TDateTime& value, const TFormatSettings& settings) {
  Scanner scanner(s, settings);
  TDateTime date = 0, time = 0;
  if (scanner.ScanDate(date)) {
    if (!scanner.AtEnd() && (!scanner.ScanTime(time) || !scanner.AtEnd())) return false;
    value = Combine(date, time);
    return true;
  }
  return TryStrToTime(s, value, settings);
}

TDateTime StrToDate(const String& s) { return StrToDate(s, FormatSettings()); }
TDateTime StrToDate(const String& s, const TFormatSettings& settings) {
  TDateTime value = 0;
  if (!TryStrToDate(s, value, settings)) RaiseNotValid(s, u"date");
  return value;
}

TDateTime StrToTime(const String& s) { return StrToTime(s, FormatSettings()); }
TDateTime StrToTime(const String& s, const TFormatSettings& settings) {
  TDateTime value = 0;
  if (!TryStrToTime(s, value, settings)) RaiseNotValid(s, u"time");
  return value;
}

TDateTime StrToDateTime(const String& s) { return StrToDateTime(s, FormatSettings()); }
TDateTime StrToDateTime(const String& s, const TFormatSettings& settings) {
  TDateTime value = 0;
  if (!TryStrToDateTime(s, value, settings)) RaiseNotValid(s, u"date and time");
  return value;
}

TDateTime StrToDateDef(const String& s, TDateTime def) {
  return StrToDateDef(s, def, FormatSettings());
}
TDateTime StrToDateDef(const String& s, TDateTime def, const TFormatSettings& settings) {
  TryStrToDate(s, def, settings);
  return def;
}

TDateTime StrToTimeDef(const String& s, TDateTime def) {
  return StrToTimeDef(s, def, FormatSettings());
}
TDateTime StrToTimeDef(const String& s, TDateTime def, const TFormatSettings& settings) {
  TryStrToTime(s, def, settings);
  return def;
}

TDateTime StrToDateTimeDef(const String& s, TDateTime def) {
  return StrToDateTimeDef(s, def, FormatSettings());
}
TDateTime StrToDateTimeDef(const String& s, TDateTime def, const TFormatSettings& settings) {
  TryStrToDateTime(s, def, settings);
  return def;
}
