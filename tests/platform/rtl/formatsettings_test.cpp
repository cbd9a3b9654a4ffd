// Format settings: the invariant set, the process default, and settings
// read from named locales (fixed names, so the machine's locale does not
// matter).
#include "platform/rtl/formatsettings.h"

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"

namespace {

std::string U8(const String& s) { return StringToUTF8(s); }
std::string U8(Char c) { return StringToUTF8(String(1, c)); }

void ExpectSameSettings(const TFormatSettings& a, const TFormatSettings& b) {
  EXPECT_EQ(a.CurrencyFormat, b.CurrencyFormat);
  EXPECT_EQ(a.NegCurrFormat, b.NegCurrFormat);
  EXPECT_EQ(a.ThousandSeparator, b.ThousandSeparator);
  EXPECT_EQ(a.DecimalSeparator, b.DecimalSeparator);
  EXPECT_EQ(a.CurrencyDecimals, b.CurrencyDecimals);
  EXPECT_EQ(a.DateSeparator, b.DateSeparator);
  EXPECT_EQ(a.TimeSeparator, b.TimeSeparator);
  EXPECT_EQ(a.ListSeparator, b.ListSeparator);
  EXPECT_EQ(a.CurrencyString, b.CurrencyString);
  EXPECT_EQ(a.ShortDateFormat, b.ShortDateFormat);
  EXPECT_EQ(a.LongDateFormat, b.LongDateFormat);
  EXPECT_EQ(a.TimeAMString, b.TimeAMString);
  EXPECT_EQ(a.TimePMString, b.TimePMString);
  EXPECT_EQ(a.ShortTimeFormat, b.ShortTimeFormat);
  EXPECT_EQ(a.LongTimeFormat, b.LongTimeFormat);
  EXPECT_EQ(a.ShortMonthNames, b.ShortMonthNames);
  EXPECT_EQ(a.LongMonthNames, b.LongMonthNames);
  EXPECT_EQ(a.ShortDayNames, b.ShortDayNames);
  EXPECT_EQ(a.LongDayNames, b.LongDayNames);
  EXPECT_EQ(a.TwoDigitYearCenturyWindow, b.TwoDigitYearCenturyWindow);
  EXPECT_EQ(a.FirstDayOfWeek, b.FirstDayOfWeek);
}

TEST(FormatSettingsTest, InvariantIsEnglishWithUsFormats) {
  const TFormatSettings fs = TFormatSettings::Invariant();
  EXPECT_EQ(fs.ShortDateFormat, u"m/d/yyyy");
  EXPECT_EQ(fs.LongDateFormat, u"dddd, mmmm d, yyyy");
  EXPECT_EQ(fs.ShortTimeFormat, u"h:nn ampm");
  EXPECT_EQ(fs.LongTimeFormat, u"h:nn:ss ampm");
  EXPECT_EQ(fs.DateSeparator, u'/');
  EXPECT_EQ(fs.TimeSeparator, u':');
  EXPECT_EQ(fs.DecimalSeparator, u'.');
  EXPECT_EQ(fs.TimeAMString, u"AM");
  EXPECT_EQ(fs.TimePMString, u"PM");
  EXPECT_EQ(fs.ShortMonthNames[0], u"Jan");
  EXPECT_EQ(fs.LongMonthNames[8], u"September");
  EXPECT_EQ(fs.ShortDayNames[0], u"Sun");
  EXPECT_EQ(fs.LongDayNames[6], u"Saturday");
  for (const String& name : fs.ShortMonthNames) EXPECT_EQ(name.size(), 3u);
  for (const String& name : fs.LongDayNames) EXPECT_FALSE(name.empty());
  EXPECT_EQ(fs.TwoDigitYearCenturyWindow, 50);
}

TEST(FormatSettingsTest, TheCLocaleAndUnknownNamesGiveTheInvariantSet) {
  for (const char16_t* name : {u"C", u"xx_YY", u"not a locale"}) {
    SCOPED_TRACE(U8(name));
    ExpectSameSettings(GetLocaleFormatSettings(name), TFormatSettings::Invariant());
  }
}

TEST(FormatSettingsTest, ChineseLocale) {
  const TFormatSettings fs = GetLocaleFormatSettings(u"zh_CN");
  EXPECT_EQ(fs.DateSeparator, u'/');
  EXPECT_EQ(fs.TimeSeparator, u':');
  EXPECT_EQ(U8(fs.ShortDateFormat), "yyyy/m/d");
  EXPECT_EQ(U8(fs.LongDateFormat), "yyyy\"年\"m\"月\"d\"日\"dddd");
  EXPECT_EQ(U8(fs.ShortTimeFormat), "hh:nn");
  EXPECT_EQ(U8(fs.LongTimeFormat), "hh:nn:ss");
  EXPECT_EQ(U8(fs.TimeAMString), "上午");
  EXPECT_EQ(U8(fs.TimePMString), "下午");
  EXPECT_EQ(U8(fs.LongMonthNames[0]), "一月");
  EXPECT_EQ(U8(fs.LongMonthNames[11]), "十二月");
  EXPECT_EQ(U8(fs.ShortMonthNames[0]), "1月");
  EXPECT_EQ(U8(fs.LongDayNames[0]), "星期日");
  EXPECT_EQ(U8(fs.ShortDayNames[1]), "周一");
  EXPECT_EQ(U8(fs.CurrencyString), "¥");
  EXPECT_EQ(fs.CurrencyDecimals, 2);
  EXPECT_EQ(fs.CurrencyFormat, 0);
  EXPECT_EQ(fs.DecimalSeparator, u'.');

  const TDateTime v = EncodeDateTime(2024, 3, 5, 14, 7, 9, 0);
  EXPECT_EQ(U8(DateTimeToStr(v, fs)), "2024/3/5 14:07:09");
  EXPECT_EQ(U8(FormatDateTime(u"dddddd", v, fs)), "2024年3月5日星期二");
  EXPECT_EQ(U8(FormatDateTime(u"ampm h:nn", v, fs)), "下午 2:07");
  EXPECT_EQ(U8(FormatDateTime(u"mmmm ddd", v, fs)), "三月 周二");
  EXPECT_EQ(StrToDateTime(u"2024/3/5 下午2:07", fs), EncodeDateTime(2024, 3, 5, 14, 7, 0, 0));
  EXPECT_EQ(StrToDateTime(u"2024/3/5 14:07:09", fs), v);
}

TEST(FormatSettingsTest, LocalePatternsAreTranslated) {
  // Qt's "M" month, "mm" minute, "AP" marker, quoted text and time zones
  // become our "m", "nn", "ampm", double-quoted literals and nothing; the
  // short date always shows four-digit years.
  struct Case {
    const char16_t* Locale;
    Char DateSeparator;
    const char* ShortDate;
    const char* ShortTime;
    const char* LongTime;
    Char Decimal;
    Char Thousand;
    Char List;
  };
  const Case cases[] = {
      {u"en_US", u'/', "m/d/yyyy", "h:nn ampm", "h:nn:ss ampm", u'.', u',', u','},
      {u"de_DE", u'.', "dd/mm/yyyy", "hh:nn", "hh:nn:ss", u',', u'.', u';'},
      {u"en_GB", u'/', "dd/mm/yyyy", "hh:nn", "hh:nn:ss", u'.', u',', u','},
      {u"fr_FR", u'/', "dd/mm/yyyy", "hh:nn", "hh:nn:ss", u',', u' ', u';'},
      {u"ja_JP", u'/', "yyyy/mm/dd", "h:nn", "h:nn:ss", u'.', u',', u','},
      {u"ko_KR", u'.', "yyyy/ m/ d/", "ampm h:nn", "ampm h:nn:ss", u'.', u',', u','},
      // A separator after quoted text stays a separator, outside the quotes.
      {u"bg_BG", u'.', "d/mm/yyyy\" г\"/", "h:nn\" ч.\"", "h:nn:ss\" ч.\"", u',', u' ', u';'},
      // The day period "B" is a marker too.
      {u"zh_TW", u'/', "yyyy/m/d", "ampmh:nn", "ampmh:nn:ss", u'.', u',', u','},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.Locale));
    const TFormatSettings fs = GetLocaleFormatSettings(c.Locale);
    EXPECT_EQ(U8(fs.DateSeparator), U8(c.DateSeparator));
    EXPECT_EQ(U8(fs.ShortDateFormat), c.ShortDate);
    EXPECT_EQ(U8(fs.ShortTimeFormat), c.ShortTime);
    EXPECT_EQ(U8(fs.LongTimeFormat), c.LongTime);
    EXPECT_EQ(U8(fs.DecimalSeparator), U8(c.Decimal));
    EXPECT_EQ(U8(fs.ThousandSeparator), U8(c.Thousand));
    EXPECT_EQ(U8(fs.ListSeparator), U8(c.List));
  }
  const TFormatSettings de = GetLocaleFormatSettings(u"de_DE");
  EXPECT_EQ(U8(de.LongDateFormat), "dddd, d. mmmm yyyy");
  EXPECT_EQ(U8(FormatDateTime(u"dddddd", EncodeDate(2024, 3, 5), de)), "Dienstag, 5. März 2024");
  EXPECT_EQ(U8(DateToStr(EncodeDate(2024, 3, 5), de)), "05.03.2024");
  EXPECT_EQ(U8(DateToStr(EncodeDate(1949, 12, 28), GetLocaleFormatSettings(u"bg_BG"))), "28.12.1949 г.");
  EXPECT_EQ(de.FirstDayOfWeek, 1);  // Monday
  EXPECT_EQ(GetLocaleFormatSettings(u"en_US").FirstDayOfWeek, 0);  // Sunday
  // Direction marks around the separators are dropped.
  const TFormatSettings ar = GetLocaleFormatSettings(u"ar_EG");
  EXPECT_EQ(ar.DateSeparator, u'/');
  EXPECT_EQ(ar.ShortDateFormat, u"d/m/yyyy");
}

TEST(FormatSettingsTest, CurrencyArrangements) {
  struct Case {
    const char16_t* Locale;
    const char* Symbol;
    Byte Decimals;
    Byte Positive;
    Byte Negative;
  };
  const Case cases[] = {
      {u"en_US", "$", 2, 0, 0},   // $1.00, ($1.00)
      {u"de_DE", "€", 2, 3, 8},   // 1,00 €, -1,00 €
      {u"fr_FR", "€", 2, 3, 15},  // 1,00 €, (1,00 €)
      {u"ja_JP", "￥", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(U8(c.Locale));
    const TFormatSettings fs = GetLocaleFormatSettings(c.Locale);
    EXPECT_EQ(U8(fs.CurrencyString), c.Symbol);
    EXPECT_EQ(fs.CurrencyDecimals, c.Decimals);
    EXPECT_EQ(fs.CurrencyFormat, c.Positive);
    EXPECT_EQ(fs.NegCurrFormat, c.Negative);
  }
}

TEST(FormatSettingsTest, EveryLocaleReadsBackWhatItWrites) {
  const TDateTime values[] = {EncodeDateTime(2024, 3, 5, 14, 7, 9, 0),
                              EncodeDateTime(1998, 12, 31, 0, 0, 1, 0), EncodeDate(2031, 1, 2)};
  for (const char16_t* name : {u"zh_CN", u"zh_TW", u"en_US", u"de_DE", u"fr_FR", u"en_GB",
                               u"ja_JP", u"ko_KR", u"ar_EG", u"fa_IR", u"ru_RU", u"zh_HK",
                               u"zh_SG", u"es_ES", u"th_TH", u"nl_NL", u"sv_SE", u"fi_FI",
                               u"da_DK", u"C"}) {
    const TFormatSettings fs = GetLocaleFormatSettings(name);
    for (TDateTime v : values) {
      const String text = DateTimeToStr(v, fs);
      TDateTime parsed = 0;
      EXPECT_TRUE(TryStrToDateTime(text, parsed, fs) && parsed == v)
          << U8(name) << ": " << U8(text);
    }
  }
}

TEST(FormatSettingsTest, TheProcessDefaultIsSharedAndReplaceable) {
  TFormatSettings& first = FormatSettings();
  EXPECT_EQ(&first, &FormatSettings());
  const TFormatSettings saved = first;
  FormatSettings() = GetLocaleFormatSettings(u"zh_CN");
  EXPECT_EQ(U8(FormatSettings().TimeAMString), "上午");
  EXPECT_EQ(U8(DateToStr(EncodeDate(2024, 3, 5))), "2024/3/5");
  FormatSettings() = saved;
  ExpectSameSettings(FormatSettings(), saved);
  // Re-reading the system locale answers a complete set.
  const TFormatSettings system = GetLocaleFormatSettings();
  EXPECT_FALSE(system.ShortDateFormat.empty());
  EXPECT_FALSE(system.LongMonthNames[11].empty());
  ExpectSameSettings(GetLocaleFormatSettings(u""), system);
}

}  // namespace
