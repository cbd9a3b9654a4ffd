// Locale formats: the fixed invariant set, the process default, and the
// system locale read through Qt and translated into our pattern language.
#include "platform/rtl/formatsettings.h"

#include <algorithm>

#include <QLocale>
#include <QString>

namespace {

QString ToQ(const String& s) {
  return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

String FromQ(const QString& s) {
  return String(reinterpret_cast<const Char*>(s.utf16()),
                static_cast<size_t>(s.size()));
}

bool IsAsciiLetter(Char c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The first character of a format that stands between fields (not a letter,
// a blank or a quote), or `fallback` when there is none.
Char FindSeparator(const QString& qtFormat, Char fallback) {
  bool quoted = false;
  for (QChar q : qtFormat) {
    const Char c = q.unicode();
    if (c == u'\'') {
      quoted = !quoted;
    } else if (!quoted && !q.isLetter() && !q.isSpace() && !q.isDigit() &&
               q.category() != QChar::Other_Format) {
      return c;
    }
  }
  return fallback;
}

// Literal text of a translated format: left bare when it holds only
// punctuation our patterns read literally, otherwise in double quotes.
void AppendLiteral(String& out, const String& text) {
  if (text.empty()) return;
  bool plain = true;
  for (Char c : text) {
    if (IsAsciiLetter(c) || c == u'"' || c == u'\'' || c > 0x7F) plain = false;
  }
  if (plain) {
    out += text;
  } else if (text.find(u'"') == String::npos) {
    out += u'"' + text + u'"';
  } else {
    out += u'\'' + text + u'\'';
  }
}

// Translates a Qt date/time pattern into ours. `separator` (when not 0) is
// the character written as '/' (dates) or ':' (times); `mark` is that symbol.
// Time-zone fields are dropped; a two-digit year becomes four digits when
// `fullYear` is set.
String TranslateQtFormat(const QString& qtFormat, Char separator, Char mark,
                         bool fullYear) {
  const String f = FromQ(qtFormat);
  String out;
  String literal;
  size_t i = 0;
  while (i < f.size()) {
    const Char c = f[i];
    if (c == u'\'') {  // quoted text; '' is one quote
      size_t j = i + 1;
      if (j < f.size() && f[j] == u'\'') {
        literal += u'\'';
        i = j + 1;
        continue;
      }
      while (j < f.size()) {
        if (f[j] == u'\'') {
          if (j + 1 < f.size() && f[j + 1] == u'\'') {
            literal += u'\'';
            j += 2;
            continue;
          }
          break;
        }
        literal += f[j++];
      }
      i = j + 1;
      continue;
    }
    size_t run = 1;
    while (i + run < f.size() && f[i + run] == c) ++run;
    String field;
    switch (c) {
      case u'd': field.assign(std::min<size_t>(run, 4), u'd'); break;
      case u'M': field.assign(std::min<size_t>(run, 4), u'm'); break;
      case u'y': field = (run <= 2 && !fullYear) ? u"yy" : u"yyyy"; break;
      case u'h': case u'H': field = run == 1 ? u"h" : u"hh"; break;
      case u'm': field = run == 1 ? u"n" : u"nn"; break;
      case u's': field = run == 1 ? u"s" : u"ss"; break;
      case u'z': field = run < 3 ? u"z" : u"zzz"; break;
      case u'A': case u'a': case u'B':
        // "AP", "ap", "A", "a", and the day period "B" that some locales
        // carry: the locale's AM/PM strings.
        field = u"ampm";
        if (i + 1 < f.size() && (f[i + 1] == u'P' || f[i + 1] == u'p')) run = 2;
        else run = 1;
        break;
      case u't':  // time zone: not part of our formats, nor its brackets
        i += run;
        if (!literal.empty() && i < f.size() &&
            ((literal.back() == u'(' && f[i] == u')') || (literal.back() == u'[' && f[i] == u']'))) {
          literal.pop_back();
          ++i;
        }
        // One blank beside it goes too: before it if there is one, else after.
        if (!literal.empty() && literal.back() == u' ') {
          while (!literal.empty() && literal.back() == u' ') literal.pop_back();
        } else {
          while (i < f.size() && f[i] == u' ') ++i;
        }
        continue;
      default:
        if (QChar(c).category() == QChar::Other_Format) {
          // direction marks: they would only get in the way of parsing
        } else if (separator != 0 && c == separator) {
          // The mark stands outside any quotes the literal before it gets:
          // quoted, it would be shown as itself ("1949 г/").
          AppendLiteral(out, literal);
          literal.clear();
          out.append(run, mark);
        } else {
          literal.append(run, c);
        }
        i += run;
        continue;
    }
    AppendLiteral(out, literal);
    literal.clear();
    out += field;
    i += run;
  }
  AppendLiteral(out, literal);
  // Blanks left at either end by a dropped time zone.
  const size_t first = out.find_first_not_of(u' ');
  if (first == String::npos) return String();
  const size_t last = out.find_last_not_of(u' ');
  return out.substr(first, last - first + 1);
}

// The long time as a time with seconds: the short time with ":ss" after its
// minutes. Locales' own long times often spell the fields out in words
// ("14时07分09秒"), which no typed time could be read back from. Empty when
// the short time has no minutes.
String WithSeconds(const String& shortTime) {
  bool quoted = false;
  Char quote = 0;
  for (size_t i = 0; i < shortTime.size(); ++i) {
    const Char c = shortTime[i];
    if (quoted) {
      quoted = c != quote;
    } else if (c == u'"' || c == u'\'') {
      quoted = true;
      quote = c;
    } else if (c == u's') {
      return shortTime;  // already has seconds
    } else if (c == u'n') {
      size_t end = i;
      while (end < shortTime.size() && shortTime[end] == u'n') ++end;
      if (shortTime.find(u's', end) != String::npos) return shortTime;
      return shortTime.substr(0, end) + u":ss" + shortTime.substr(end);
    }
  }
  return String();
}

// Number of digits after the decimal point in the locale's currency text.
Byte CurrencyDigits(const QLocale& locale) {
  const QString text = locale.toCurrencyString(1.0);
  const qsizetype point = text.lastIndexOf(locale.decimalPoint());
  if (point < 0) return 0;
  Byte digits = 0;
  for (qsizetype k = point + 1; k < text.size() && text[k].isDigit(); ++k) {
    ++digits;
  }
  return digits;
}

// Position of the symbol for positive amounts (0 $1, 1 1$, 2 $ 1, 3 1 $).
Byte PositiveCurrencyFormat(const String& text, const String& symbol) {
  if (symbol.empty()) return 0;
  const size_t at = text.find(symbol);
  if (at == String::npos) return 0;
  const bool before = at == 0;
  const bool spaced = before ? (symbol.size() < text.size() && text[symbol.size()] == u' ')
                             : text[at - 1] == u' ';
  return static_cast<Byte>((before ? 0 : 1) + (spaced ? 2 : 0));
}

// The negative arrangement (0..15) whose text matches the locale's.
Byte NegativeCurrencyFormat(const String& negative, const String& symbol,
                            const String& number) {
  const String& s = symbol;
  const String& n = number;
  const String candidates[16] = {
      u"(" + s + n + u")",      u"-" + s + n,        s + u"-" + n,
      s + n + u"-",             u"(" + n + s + u")", u"-" + n + s,
      n + u"-" + s,             n + s + u"-",        u"-" + n + u" " + s,
      u"-" + s + u" " + n,      n + u" " + s + u"-", s + u" " + n + u"-",
      s + u" -" + n,            n + u"- " + s,       u"(" + s + u" " + n + u")",
      u"(" + n + u" " + s + u")"};
  for (Byte k = 0; k < 16; ++k) {
    if (candidates[k] == negative) return k;
  }
  return 1;
}

String Normalize(const QString& text) {
  // Qt may use non-breaking or narrow blanks; our formats use plain blanks.
  String s = FromQ(text);
  for (Char& c : s) {
    if (c == 0x00A0 || c == 0x202F) c = u' ';
  }
  return s;
}

void ReadCurrency(const QLocale& locale, TFormatSettings& fs) {
  fs.CurrencyString = Normalize(locale.currencySymbol());
  fs.CurrencyDecimals = CurrencyDigits(locale);
  const String number = Normalize(locale.toString(1.0, 'f', fs.CurrencyDecimals));
  fs.CurrencyFormat =
      PositiveCurrencyFormat(Normalize(locale.toCurrencyString(1.0)), fs.CurrencyString);
  String negative = Normalize(locale.toCurrencyString(-1.0));
  for (Char& c : negative) {
    if (c == 0x2212) c = u'-';  // minus sign
  }
  fs.NegCurrFormat = NegativeCurrencyFormat(negative, fs.CurrencyString, number);
}

TFormatSettings FromLocale(const QLocale& locale) {
  if (locale.language() == QLocale::C) return TFormatSettings::Invariant();
  TFormatSettings fs = TFormatSettings::Invariant();

  const QString decimal = locale.decimalPoint();
  if (decimal.size() == 1) fs.DecimalSeparator = decimal[0].unicode();
  const QString group = locale.groupSeparator();
  if (group.size() == 1) {
    const Char g = group[0].unicode();
    fs.ThousandSeparator = (g == 0x00A0 || g == 0x202F) ? u' ' : g;
  }
  fs.ListSeparator = fs.DecimalSeparator == u',' ? u';' : u',';

  const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
  const QString longDate = locale.dateFormat(QLocale::LongFormat);
  const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
  // Used only when the short time has no minutes to add the seconds to.
  const QString longTime = locale.timeFormat(QLocale::LongFormat);
  fs.DateSeparator = FindSeparator(shortDate, u'/');
  fs.TimeSeparator = FindSeparator(shortTime, u':');
  fs.ShortDateFormat = TranslateQtFormat(shortDate, fs.DateSeparator, u'/', true);
  fs.LongDateFormat = TranslateQtFormat(longDate, 0, 0, false);
  fs.ShortTimeFormat = TranslateQtFormat(shortTime, fs.TimeSeparator, u':', false);
  fs.LongTimeFormat = WithSeconds(fs.ShortTimeFormat);
  if (fs.LongTimeFormat.empty()) {
    fs.LongTimeFormat = TranslateQtFormat(longTime, fs.TimeSeparator, u':', false);
  }

  fs.TimeAMString = Normalize(locale.amText());
  fs.TimePMString = Normalize(locale.pmText());
  for (int m = 1; m <= 12; ++m) {
    fs.ShortMonthNames[m - 1] = FromQ(locale.monthName(m, QLocale::ShortFormat));
    fs.LongMonthNames[m - 1] = FromQ(locale.monthName(m, QLocale::LongFormat));
  }
  for (int d = 1; d <= 7; ++d) {  // Qt counts Monday = 1 .. Sunday = 7
    const int index = d % 7;      // ours: Sunday = 0
    fs.ShortDayNames[index] = FromQ(locale.dayName(d, QLocale::ShortFormat));
    fs.LongDayNames[index] = FromQ(locale.dayName(d, QLocale::LongFormat));
  }
  fs.FirstDayOfWeek = static_cast<Integer>(locale.firstDayOfWeek()) % 7;
  ReadCurrency(locale, fs);
  return fs;
}

}  // namespace

TFormatSettings TFormatSettings::Invariant() {
  TFormatSettings fs;  // the member defaults are the invariant formats
  fs.ShortMonthNames = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                        u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
  fs.LongMonthNames = {u"January", u"February", u"March",     u"April",
                       u"May",     u"June",     u"July",      u"August",
                       u"September", u"October", u"November", u"December"};
  fs.ShortDayNames = {u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
  fs.LongDayNames = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                     u"Thursday", u"Friday", u"Saturday"};
  return fs;
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = GetLocaleFormatSettings();
  return settings;
}

TFormatSettings GetLocaleFormatSettings() { return FromLocale(QLocale::system()); }

TFormatSettings GetLocaleFormatSettings(const String& localeName) {
  if (localeName.empty()) return GetLocaleFormatSettings();
  return FromLocale(QLocale(ToQ(localeName)));
}
