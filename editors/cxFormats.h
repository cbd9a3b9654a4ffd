#pragma once
// The format controller: one shared object that turns the locale's format
// settings (FormatSettings()) into the formats the editors use: standard
// and regular-expression edit masks for dates and date-times, display
// patterns that show a date the way the masks accept it, the currency
// format and the first day of the week. Listeners hear when the formats
// were rebuilt and when the system time changed.
//
// Nothing on Linux tells the program that the regional settings changed;
// whoever learns of it calls LocaleChanged (or sends the controller the
// settings-change message through HandleWindowMessage).
#include <array>
#include <vector>

#include "platform/gui/messages.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

// ---- Parsed date-time formats -----------------------------------------------------------

enum TcxDateTimeFormatItemKind {
  fikLiteral,        // the literal characters
  fikYear,           // "YY" or "YYYY"
  fikMonth,          // "M" to "MMMM"
  fikDay,            // "D" to "DDDD"
  fikHour,           // "12H", "12HH", "24H" or "24HH"
  fikMinute,         // "N" or "NN"
  fikSecond,         // "S" or "SS"
  fikMillisecond,    // "Z" to "ZZZ"
  fikAmPm,           // "AM/PM" or "A/P" as typed, or "AMPM" (the locale strings)
  fikDateSeparator,  // no text
  fikTimeSeparator,  // no text
};
inline constexpr Integer cxDateTimeFormatItemKindCount = 11;

struct TcxDateTimeFormatItem {
  TcxDateTimeFormatItemKind Kind = fikLiteral;
  String Text;
};

struct TcxDateTimeFormatInfo {
  // Which kinds were seen.
  std::array<bool, cxDateTimeFormatItemKindCount> Defined{};
  std::vector<TcxDateTimeFormatItem> Items;
};

// Style of an AM/PM item.
enum TcxAmPmStyle { apsAP, apsAMPM, apsLocale };

// Parses a date-time format of the platform's pattern language. An empty
// format counts as "c". A format holding "g" (era) gives an empty info.
// Kinds other than literals and separators occur at most once (a second one
// is ignored); adjacent literals are merged; the hour's text is prefixed
// with "12" when the format has an AM/PM marker, else "24"; an AM/PM marker
// without an hour is dropped. ASettings supplies the formats that "c", "t",
// "ddddd" and "dddddd" insert.
void ParseDateTimeFormat(const String& AFormat, const TFormatSettings& ASettings,
                         TcxDateTimeFormatInfo& AInfo);

// Length of the text an item produces, as the editors count it: a literal
// its length; a year 2 or 4; a month or day 3 when written with more than
// two letters (a name), else 2; hour, minute and second 2; "A/P" 1, "AM/PM"
// 2, the locale marker the longer of ASettings' AM and PM strings;
// separators 1; milliseconds 0.
Integer GetDateTimeFormatItemTextLength(const TcxDateTimeFormatItem& AItem,
                                        const TFormatSettings& ASettings);

// For a 1-based text position: the kind, 1-based start and length of the
// item that covers it, and for an AM/PM item its style (apsAP for other
// items). False for position 0 or a position past the end. Lengths as
// GetDateTimeFormatItemTextLength with the controller's AM/PM strings.
bool FindDateTimeFormatItemAt(const TcxDateTimeFormatInfo& AInfo, Integer APosition,
                              TcxDateTimeFormatItemKind& AKind, Integer& AStart, Integer& ALength,
                              TcxAmPmStyle& AAmPmStyle);

// ---- Listeners ------------------------------------------------------------------------------

class IcxFormatControllerListener {
public:
  virtual ~IcxFormatControllerListener() = default;
  // The formats were rebuilt.
  virtual void FormatsChanged() = 0;
};

// A listener may also support this one.
class IcxFormatControllerTimeListener {
public:
  virtual ~IcxFormatControllerTimeListener() = default;
  virtual void SystemTimeChanged() = 0;
};

// ---- The controller ---------------------------------------------------------------------------

class TcxFormatController : public TObject {
  KORVANE_CLASS(TcxFormatController, TObject)

  // Reads the formats from FormatSettings() at once.
  TcxFormatController();
  ~TcxFormatController() override;

  // WM_WININICHANGE with WParam 0 and LParam pointing to the zero-ended
  // UTF-16 section name "intl" (any case): LocaleChanged. WM_TIMECHANGE:
  // SystemTimeChanged. Result 0 for these; other messages are left alone.
  // Exceptions pass on to the caller (the window system's catch boundary
  // hands them to the application).
  virtual void HandleWindowMessage(TMessage& AMessage);
  // Adds a listener once (nullptr is ignored). While it has listeners the
  // controller keeps a hidden window of its own, which takes the system's
  // settings-change and time-change messages to HandleWindowMessage.
  virtual void AddListener(IcxFormatControllerListener* AListener);
  virtual void RemoveListener(IcxFormatControllerListener* AListener);
  Integer ListenerCount() const { return static_cast<Integer>(FListeners.size()); }

  // The regional settings changed: the platform re-reads its format
  // settings (FormatSettings() = GetLocaleFormatSettings()), then
  // UpdateFormats.
  void LocaleChanged();
  // Rebuilds every format from FormatSettings() and tells each listener
  // FormatsChanged.
  void UpdateFormats();
  // Tells every listener that supports the time interface.
  void SystemTimeChanged();

  Integer GetDateTimeFormatTextLength(const TcxDateTimeFormatInfo& AInfo) const;

  // The derived formats.
  String CurrencyFormatText;
  String DateEntryFormat;
  String StandardDateMask;
  String StandardDateTimeMask;
  String RegExprDateMask;
  String RegExprDateTimeMask;
  String DateDisplayPattern;
  String DateTimeDisplayPattern;
  TcxDateTimeFormatInfo DateFormatInfo;
  TcxDateTimeFormatInfo TimeFormatInfo;
  TcxDateTimeFormatInfo DateTimeFormatInfo;
  Byte FirstDayOfWeek = 0;  // 0 Sunday .. 6 Saturday
  // The locale AM and PM strings the formats were built with.
  String TimeAMString;
  String TimePMString;

private:
  void ReadLocale();
  template <class Notice>
  void NotifyListeners(Notice ANotice);

  std::vector<IcxFormatControllerListener*> FListeners;
  bool FDestroying = false;
  HWND FWindow = 0;  // while there are listeners
};

// The one controller, created (and reading the locale) on first use; freed
// at program end.
TcxFormatController* GetFormatController();

// ---- Building blocks of the derived formats ---------------------------------------------
// Exposed for the editors that build masks of their own.

// AText as quoted text of the regular-expression syntax: in apostrophes,
// an apostrophe doubled.
String cxRegExprQuotedText(const String& AText);
// One literal character in the regular-expression syntax: backslash and the
// character for ASCII punctuation, "' '" for a blank, quoted text otherwise.
String cxRegExprLiteralChar(Char AChar);

// The derived formats of one set of format settings.
String cxCurrencyFormatText(const TFormatSettings& ASettings);
String cxDateEntryFormat(const String& AShortDateFormat);
String cxStandardMaskOf(const TcxDateTimeFormatInfo& AInfo, const TFormatSettings& ASettings);
String cxDisplayPatternOf(const TcxDateTimeFormatInfo& AInfo);
String cxRegExprDateMaskOf(const TcxDateTimeFormatInfo& ADateInfo, const TFormatSettings& ASettings);
String cxRegExprDateTimeMaskOf(const TcxDateTimeFormatInfo& ADateInfo,
                               const TcxDateTimeFormatInfo& ATimeInfo, const TFormatSettings& ASettings);
