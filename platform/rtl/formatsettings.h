#pragma once
// Locale formats for numbers, currency, dates and times.
#include <array>

#include "platform/rtl/types.h"

struct TFormatSettings {
  Byte CurrencyFormat = 0;
  Byte NegCurrFormat = 1;
  Char ThousandSeparator = u',';
  Char DecimalSeparator = u'.';
  Byte CurrencyDecimals = 2;
  Char DateSeparator = u'/';
  Char TimeSeparator = u':';
  Char ListSeparator = u',';
  String CurrencyString = u"$";
  String ShortDateFormat = u"m/d/yyyy";
  String LongDateFormat = u"dddd, mmmm d, yyyy";
  String TimeAMString = u"AM";
  String TimePMString = u"PM";
  String ShortTimeFormat = u"h:nn ampm";
  String LongTimeFormat = u"h:nn:ss ampm";
  std::array<String, 12> ShortMonthNames;
  std::array<String, 12> LongMonthNames;
  std::array<String, 7> ShortDayNames;  // Sunday first
  std::array<String, 7> LongDayNames;   // Sunday first
  Word TwoDigitYearCenturyWindow = 50;
  Integer FirstDayOfWeek = 0;           // 0 Sunday .. 6 Saturday, as the locale says

  // English names, US-style formats: a fixed, predictable set for tests.
  static TFormatSettings Invariant();
};

// The process default. Filled from the system locale on first use; callers
// (and tests) may replace it.
TFormatSettings& FormatSettings();

// Reads the system locale's formats afresh. With the C locale (LANG=C) the
// invariant set is answered.
TFormatSettings GetLocaleFormatSettings();
// The formats of a named locale ("zh_CN", "de_DE"); an unknown name gives the
// invariant set, an empty one the system locale.
TFormatSettings GetLocaleFormatSettings(const String& localeName);

// Whether a locale writes a double-byte (far-east) script: Chinese, Japanese
// or Korean. An unknown name is not; an empty one is the system locale.
bool LocaleIsFarEast(const String& localeName);
// The process default: the system locale's answer, read on first use;
// callers (and tests) may replace it.
bool& SysLocaleFarEast();
