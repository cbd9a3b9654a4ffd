// Month arithmetic and the reading of typed dates, smart words included.
#include "editors/cxDateUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "editors/cxFormats.h"
#include "editors/cxStandardMask.h"
#include "foundation/cxClasses.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/variant.h"

namespace {

constexpr const TResourceString* SmartDateWords[cxSmartDateWordCount] = {
    &cxSDateToday,     &cxSDateYesterday, &cxSDateTomorrow, &cxSDateSunday, &cxSDateMonday,
    &cxSDateTuesday,   &cxSDateWednesday, &cxSDateThursday, &cxSDateFriday, &cxSDateSaturday,
    &cxSDateFirst,     &cxSDateSecond,    &cxSDateThird,    &cxSDateFourth, &cxSDateFifth,
    &cxSDateSixth,     &cxSDateSeventh,   &cxSDateBOM,      &cxSDateEOM,    &cxSDateNow};

// 0001-01-01 to 9999-12-31, any time of day.
bool InCalendar(TDateTime ADate) { return ADate > MinDateTime - 1 && ADate < std::floor(MaxDateTime) + 1; }

// A typed date must fall into the calendar and have a day (a time alone has
// none).
bool IsValidDate(TDateTime ADate) { return InCalendar(ADate) && std::trunc(ADate) != 0; }

// ---- Smart words ----------------------------------------------------------------------------

struct TSmartWord {
  String Text;
  Integer Index;
};

// The words longest first; equal lengths in descending alphabetical order
// (case-insensitive). Empty words (a text replaced by nothing) are left out:
// they would match every text.
std::vector<TSmartWord> SortedSmartWords() {
  std::vector<TSmartWord> Words;
  for (Integer I = 0; I < cxSmartDateWordCount; ++I) {
    String Word = GetSmartDateWord(I);
    if (!Word.empty()) Words.push_back({std::move(Word), I});
  }
  std::stable_sort(Words.begin(), Words.end(), [](const TSmartWord& A, const TSmartWord& B) {
    if (A.Text.size() != B.Text.size()) return A.Text.size() > B.Text.size();
    return AnsiCompareText(A.Text, B.Text) > 0;
  });
  return Words;
}

TDateTime SmartWordDate(Integer AIndex) {
  const TDateTime Today = Date();
  const Integer WeekDay = DayOfWeek(Today) - 1;  // 0 = Sunday
  Word Year = 0, Month = 0, Day = 0;
  DecodeDate(Today, Year, Month, Day);
  switch (AIndex) {
    case 0: return Today;
    case 1: return Today - 1;
    case 2: return Today + 1;
    case 17: return EncodeDate(Year, Month, 1);
    case 18: return EncodeDate(Year, Month, GetDaysInMonth(Year, Month));
    case cxSmartDateWordNow: return Now();
    default: break;
  }
  if (AIndex <= 9) return Today + (AIndex - 3 - WeekDay + 7) % 7;  // the next such day, today included
  return Today - WeekDay + (AIndex - 10);  // that day of this week, counted from Sunday
}

// "+n" or "-n" after a word: the days to add; 0 when the rest is anything else.
Integer SmartWordOffset(const String& ARest) {
  const String Rest = Trim(ARest);
  if (Rest.size() < 2 || (Rest[0] != u'+' && Rest[0] != u'-')) return 0;
  const String Number = Trim(Rest.substr(1));
  const bool Digits = !Number.empty() && std::all_of(Number.begin(), Number.end(),
                                                     [](Char C) { return C >= u'0' && C <= u'9'; });
  Integer Days = 0;
  if (!Digits || !TryStrToInt(Number, Days)) return 0;
  return Rest[0] == u'-' ? -Days : Days;
}

bool TrySmartWord(const String& AText, TDateTime& ADate) {
  for (const TSmartWord& W : SortedSmartWords()) {
    if (AText.size() < W.Text.size() || !AnsiSameText(AText.substr(0, W.Text.size()), W.Text)) continue;
    ADate = SmartWordDate(W.Index) + SmartWordOffset(AText.substr(W.Text.size()));
    return true;
  }
  return false;
}

// ---- Lenient reading ------------------------------------------------------------------------

// Replaces the longest month name (long or short, any case) found in AText
// by the month's number. False when the text holds no month name.
bool ReplaceMonthName(const String& AText, const TFormatSettings& S, String& AResult) {
  const String Upper = AnsiUpperCase(AText);
  size_t BestAt = String::npos, BestLength = 0;
  Integer BestMonth = 0;
  for (Integer M = 0; M < 12; ++M) {
    for (const String* Name : {&S.LongMonthNames[M], &S.ShortMonthNames[M]}) {
      // A name that is the month's number with a word ("1月") is read as a
      // number and a literal; taken as a name it would split "01月".
      const bool Numbered = !Name->empty() && (*Name)[0] >= u'0' && (*Name)[0] <= u'9';
      if (Name->size() <= BestLength || Numbered) continue;
      const size_t At = Upper.find(AnsiUpperCase(*Name));
      if (At == String::npos) continue;
      BestAt = At;
      BestLength = Name->size();
      BestMonth = M + 1;
    }
  }
  if (BestAt == String::npos) return false;
  // A blank keeps the number apart from a digit or letter beside it
  // ("2024年三月10日").
  const auto Joins = [](Char C) { return (C >= u'0' && C <= u'9') || cxIsLetterChar(C); };
  const size_t After = BestAt + BestLength;
  AResult = AText.substr(0, BestAt);
  if (BestAt > 0 && Joins(AText[BestAt - 1])) AResult += u' ';
  AResult += IntToStr(BestMonth);
  if (After < AText.size() && Joins(AText[After])) AResult += u' ';
  AResult += AText.substr(After);
  return true;
}

bool IsTimeField(TcxDateTimeFormatItemKind AKind) {
  return AKind == fikHour || AKind == fikMinute || AKind == fikSecond;
}

// Replaces the literal texts of the short date and long time formats ("年",
// " г", " ч. ") found in AText, with the blanks around them: a literal
// between two time fields ("时" in "h'时'n'分'") by the time separator, any
// other by a blank. False when there is none.
bool BlankFormatLiterals(String& AText, const TFormatSettings& S) {
  TcxDateTimeFormatInfo Info;
  ParseDateTimeFormat(S.ShortDateFormat + u" " + S.LongTimeFormat, S, Info);
  const auto& Items = Info.Items;
  bool Replaced = false;
  for (size_t I = 0; I < Items.size(); ++I) {
    const String Literal = Trim(Items[I].Text);
    if (Items[I].Kind != fikLiteral || Literal.empty()) continue;
    const bool BetweenTimeFields = I > 0 && I + 1 < Items.size() && IsTimeField(Items[I - 1].Kind) &&
                                   IsTimeField(Items[I + 1].Kind) && S.TimeSeparator != 0;
    const String By(1, BetweenTimeFields ? S.TimeSeparator : u' ');
    for (size_t At = AText.find(Literal); At != String::npos; At = AText.find(Literal, At + 1)) {
      size_t Start = At, End = At + Literal.size();
      while (Start > 0 && AText[Start - 1] == u' ') --Start;
      while (End < AText.size() && AText[End] == u' ') ++End;
      AText.replace(Start, End - Start, By);
      At = Start;
      Replaced = true;
    }
  }
  return Replaced;
}

// The reading of a typed date that is not a smart word. It follows the
// locale's short date format, the same form the date masks are built from:
// - up to three numbers in the order of the short date format (day, month
//   and year as it places them), separated by the date separator or blanks;
//   a missing year is the current one, a two-digit year is placed by the
//   locale's century window;
// - a month may be written as its long or short locale name, in any case
//   ("5 März 2024", "Mar/5/2024");
// - the literal text of the formats may be typed or left out
//   ("2024年6月10日" and "2024 6 10" alike for a format with those literals);
// - an optional time after blanks, in the locale's time format (with the
//   AM/PM strings of the locale, "AM"/"PM" or "A"/"P").
// A plain number is not a number of days: "5" alone is no date.
bool TryLenientDate(const String& AText, TDateTime& ADate) {
  const TFormatSettings& S = FormatSettings();
  if (TryStrToDateTime(AText, ADate, S)) return true;
  String Text;
  const bool Month = ReplaceMonthName(AText, S, Text);
  if (!Month) Text = AText;
  const bool Literals = BlankFormatLiterals(Text, S);
  return (Month || Literals) && TryStrToDateTime(Trim(Text), ADate, S);
}

String LocaleDateText(TDateTime ADate) {
  if (!InCalendar(ADate)) return String();
  const TFormatSettings& S = FormatSettings();
  String Result = FormatDateTime(S.ShortDateFormat, ADate, S);
  if (RemoveDatePart(ADate) != 0) Result += u" " + FormatDateTime(S.LongTimeFormat, ADate, S);
  return Result;
}

}  // namespace

String GetSmartDateWord(Integer AIndex) {
  if (AIndex < 0 || AIndex >= cxSmartDateWordCount) return String();
  return LoadResourceText(*SmartDateWords[AIndex]);
}

// ---- Month arithmetic ---------------------------------------------------------------------------

void StepMonthBack(Word& AYear, Word& AMonth) {
  if (AMonth <= 1) {
    AMonth = 12;
    --AYear;
  } else {
    --AMonth;
  }
}

void StepMonthForward(Word& AYear, Word& AMonth) {
  if (AMonth >= 12) {
    AMonth = 1;
    ++AYear;
  } else {
    ++AMonth;
  }
}

Integer ShiftMonthBy(Word& AYear, Word& AMonth, Integer ADelta) {
  const Integer Years = ADelta / 12;
  Integer Month = AMonth + ADelta % 12;
  Integer Year = AYear + Years;
  if (Month < 1) {
    Month += 12;
    --Year;
  } else if (Month > 12) {
    Month -= 12;
    ++Year;
  }
  AYear = static_cast<Word>(Year);
  AMonth = static_cast<Word>(Month);
  return Years;
}

Word GetDateComponent(TcxDateElement AElement, TDateTime ADate) {
  Word Year = 0, Month = 0, Day = 0;
  DecodeDate(ADate, Year, Month, Day);
  switch (AElement) {
    case deYear: return Year;
    case deMonth: return Month;
    default: return Day;
  }
}

Word GetDaysInMonth(Word AYear, Word AMonth) {
  if (AMonth < 1 || AMonth > 12) return 0;
  const bool Leap = AYear % 4 == 0 && (AYear % 100 != 0 || AYear % 400 == 0);
  return MonthDays[Leap ? 1 : 0][AMonth - 1];
}

Integer ClampDayOfMonth(Word AYear, Word AMonth, Integer ADay) {
  if (ADay <= 0) return 1;
  return std::min<Integer>(ADay, GetDaysInMonth(AYear, AMonth));
}

TDateTime TruncDateTimeToDay(TDateTime AValue) {
  return std::trunc(AValue + (AValue < 0 ? -1e-11 : 1e-11));
}

TDateTime RemoveDatePart(TDateTime AValue) { return std::fabs(AValue - std::trunc(AValue)); }

// ---- Text to date and back -------------------------------------------------------------------------

bool ParseDateText(const String& AText, TDateTime& ADate) {
  String Text = Trim(AText);
  ADate = NullDate;
  if (Text.empty()) return false;
  try {
    if (FormatSettings().DateSeparator == u'.') {
      for (Integer Count = 0; Count < 2; ++Count) {
        const size_t Dot = Text.find(u'.');
        if (Dot == String::npos) break;
        Text[Dot] = u' ';
      }
      Text = Trim(Text);  // "12.3." ends in a blank now
    }
    TDateTime Result = 0;
    if (!TrySmartWord(Text, Result) && !TryLenientDate(Text, Result)) return false;
    // A word too far away ("today+9999999") is no date either.
    if (!IsValidDate(Result)) return false;
    ADate = Result;
    return true;
  } catch (const Exception&) {
    ADate = NullDate;
    return false;
  }
}

void FormatDateValueText(bool AMasked, bool AWithTime, String& AText, TDateTime ADate) {
  if (ADate == NullDate) {
    AText.clear();
  } else if (!AMasked) {
    AText = LocaleDateText(ADate);
  } else {
    const TcxFormatController* Controller = GetFormatController();
    AText = AWithTime ? FormatDateTime(Controller->DateTimeDisplayPattern, ADate)
                      : FormatDateTime(Controller->DateDisplayPattern, TruncDateTimeToDay(ADate));
  }
}

bool TryTextToDateTime(const String& AText, bool AViaVariant, TDateTime& ADate) {
  try {
    ADate = AViaVariant ? Variant(AText).AsDateTime() : StrToDateTime(AText);
    return true;
  } catch (const Exception&) {
    ADate = NullDate;
    return false;
  }
}
