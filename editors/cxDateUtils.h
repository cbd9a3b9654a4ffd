#pragma once
// Date routines of the editors: month arithmetic, day clamping, and turning
// typed text into a date, including the "smart" words ("today", "bom+3"...).
#include "platform/rtl/resstr.h"
#include "platform/rtl/types.h"

// The date-time value that stands for "no date".
inline constexpr TDateTime NullDate = -700000.0;

// ---- Smart date words -----------------------------------------------------------------
// Read through LoadResourceText each time they are used, so a replaced text
// takes effect at once.

inline constexpr TResourceString cxSDateToday{65300, u"today"};
inline constexpr TResourceString cxSDateYesterday{65301, u"yesterday"};
inline constexpr TResourceString cxSDateTomorrow{65302, u"tomorrow"};
inline constexpr TResourceString cxSDateSunday{65303, u"Sunday"};
inline constexpr TResourceString cxSDateMonday{65304, u"Monday"};
inline constexpr TResourceString cxSDateTuesday{65305, u"Tuesday"};
inline constexpr TResourceString cxSDateWednesday{65306, u"Wednesday"};
inline constexpr TResourceString cxSDateThursday{65307, u"Thursday"};
inline constexpr TResourceString cxSDateFriday{65308, u"Friday"};
inline constexpr TResourceString cxSDateSaturday{65309, u"Saturday"};
inline constexpr TResourceString cxSDateFirst{65310, u"first"};
inline constexpr TResourceString cxSDateSecond{65311, u"second"};
inline constexpr TResourceString cxSDateThird{65312, u"third"};
inline constexpr TResourceString cxSDateFourth{65313, u"fourth"};
inline constexpr TResourceString cxSDateFifth{65314, u"fifth"};
inline constexpr TResourceString cxSDateSixth{65315, u"sixth"};
inline constexpr TResourceString cxSDateSeventh{65316, u"seventh"};
inline constexpr TResourceString cxSDateBOM{65317, u"bom"};
inline constexpr TResourceString cxSDateEOM{65318, u"eom"};
inline constexpr TResourceString cxSDateNow{65319, u"now"};

// Indexes of the words: 0 today, 1 yesterday, 2 tomorrow, 3..9 Sunday to
// Saturday, 10..16 first to seventh (the days Sunday to Saturday of the
// current week), 17 bom, 18 eom (first and last day of the current month),
// 19 now.
inline constexpr Integer cxSmartDateWordCount = 20;
inline constexpr Integer cxSmartDateWordNow = 19;
// The word of that index as the message texts hold it now ("" outside
// 0..19).
String GetSmartDateWord(Integer AIndex);

// ---- Month arithmetic ---------------------------------------------------------------------

// January goes to December of the year before.
void StepMonthBack(Word& AYear, Word& AMonth);
// December goes to January of the next year.
void StepMonthForward(Word& AYear, Word& AMonth);
// Moves by ADelta months (either sign). Answers ADelta / 12 truncated
// towards zero (the whole years of the delta, not counting the carry).
Integer ShiftMonthBy(Word& AYear, Word& AMonth, Integer ADelta);

enum TcxDateElement { deYear, deMonth, deDay };
Word GetDateComponent(TcxDateElement AElement, TDateTime ADate);

// 28 to 31; 0 for a month outside 1..12.
Word GetDaysInMonth(Word AYear, Word AMonth);
// 1 for ADay <= 0, else ADay limited to the days of the month.
Integer ClampDayOfMonth(Word AYear, Word AMonth, Integer ADay);

// The whole-day part of AValue after adding 1e-11 in its own sign
// (2.99999999999 counts as day 3).
TDateTime TruncDateTimeToDay(TDateTime AValue);
// The time of day of AValue.
TDateTime RemoveDatePart(TDateTime AValue);

// ---- Text to date and back ------------------------------------------------------------------

// Reads a typed date: a smart word (case-insensitive, longest word first),
// optionally followed by "+n" or "-n" days, or else a date in the locale's
// short date order (see the .cpp for the exact rules). Never raises; a text
// that is no date answers false with NullDate. Dates lie in 0001-01-01 to
// 9999-12-31.
bool ParseDateText(const String& AText, TDateTime& ADate);

// The text an editor shows for ADate: empty for NullDate; with AMasked the
// format controller's display pattern (with or without the time); without
// it the locale's short date, and its long time when the value has one.
void FormatDateValueText(bool AMasked, bool AWithTime, String& AText, TDateTime ADate);

// The platform's conversion of text to a date and time: the variant
// conversion when AViaVariant is set, else StrToDateTime. Any failure stores
// NullDate and answers false.
bool TryTextToDateTime(const String& AText, bool AViaVariant, TDateTime& ADate);
