// The format controller: parsing of date-time formats into items, and the
// masks, display patterns and currency format derived from the locale.
#include "editors/cxFormats.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "editors/cxDateUtils.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/sysutils.h"

namespace {

bool IsAsciiLetter(Char c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
Char UpperAscii(Char c) { return (c >= u'a' && c <= u'z') ? static_cast<Char>(c - 32) : c; }
bool IsHighSurrogate(Char c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(Char c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Case-insensitive (ASCII) match of APattern at AIndex of AText.
bool MatchesAt(const String& AText, size_t AIndex, const String& APattern) {
  if (AIndex + APattern.size() > AText.size()) return false;
  for (size_t k = 0; k < APattern.size(); ++k)
    if (UpperAscii(AText[AIndex + k]) != UpperAscii(APattern[k])) return false;
  return true;
}

bool IsKindOnce(TcxDateTimeFormatItemKind AKind) { return AKind >= fikYear && AKind <= fikAmPm; }

// ---- Parsing a format into items ------------------------------------------------------------

class TFormatParser {
public:
  TFormatParser(const TFormatSettings& ASettings, TcxDateTimeFormatInfo& AInfo)
      : FSettings(ASettings), FInfo(AInfo) {}

  // False when the format holds an era ("g"): the whole parse fails.
  bool Parse(const String& F, int ADepth);

private:
  // Formats inserted by "c", "t", "ddddd"... are read at most two levels
  // deep, so a format that names itself cannot recurse without end.
  bool Insert(const String& F, int ADepth) { return ADepth + 1 > 2 || Parse(F, ADepth + 1); }
  void Add(TcxDateTimeFormatItemKind AKind, const String& AText);
  void AddLiteral(const String& AText);
  // The "a" family at F[I]; answers the characters taken.
  size_t ParseA(const String& F, size_t I, size_t ARun);

  const TFormatSettings& FSettings;
  TcxDateTimeFormatInfo& FInfo;
  // An "m" right after an "h" (non-letters between do not count) is minutes.
  bool FAfterHour = false;
};

void TFormatParser::Add(TcxDateTimeFormatItemKind AKind, const String& AText) {
  if (IsKindOnce(AKind) && FInfo.Defined[AKind]) return;
  FInfo.Defined[AKind] = true;
  FInfo.Items.push_back({AKind, AText});
}

void TFormatParser::AddLiteral(const String& AText) {
  if (AText.empty()) return;
  if (!FInfo.Items.empty() && FInfo.Items.back().Kind == fikLiteral)
    FInfo.Items.back().Text += AText;
  else
    Add(fikLiteral, AText);
}

size_t TFormatParser::ParseA(const String& F, size_t I, size_t ARun) {
  if (MatchesAt(F, I, u"AM/PM")) {
    Add(fikAmPm, F.substr(I, 5));
    return 5;
  }
  if (MatchesAt(F, I, u"A/P")) {
    Add(fikAmPm, F.substr(I, 3));
    return 3;
  }
  if (MatchesAt(F, I, u"AMPM")) {
    Add(fikAmPm, u"AMPM");
    return 4;
  }
  if (ARun >= 4) {
    Add(fikDay, u"DDDD");
    return 4;
  }
  if (ARun == 3) {
    Add(fikDay, u"DDD");
    return 3;
  }
  AddLiteral(F.substr(I, 1));
  return 1;
}

bool TFormatParser::Parse(const String& F, int ADepth) {
  size_t I = 0;
  while (I < F.size()) {
    const Char C = F[I];
    if (C == u'"' || C == u'\'') {
      const size_t Close = F.find(C, I + 1);
      AddLiteral(F.substr(I + 1, Close == String::npos ? String::npos : Close - I - 1));
      I = Close == String::npos ? F.size() : Close + 1;
      continue;
    }
    if (C == u'/' || C == u':') {
      Add(C == u'/' ? fikDateSeparator : fikTimeSeparator, String());
      ++I;
      continue;
    }
    if (!IsAsciiLetter(C)) {  // a character outside the BMP is taken whole
      const size_t N = IsHighSurrogate(C) && I + 1 < F.size() && IsLowSurrogate(F[I + 1]) ? 2 : 1;
      AddLiteral(F.substr(I, N));
      I += N;
      continue;
    }
    const Char U = UpperAscii(C);
    size_t Run = 1;
    while (I + Run < F.size() && UpperAscii(F[I + Run]) == U) ++Run;
    const bool AfterHour = FAfterHour;
    FAfterHour = false;
    switch (U) {
      case u'A':
        I += ParseA(F, I, Run);
        continue;
      case u'C':
        if (!Insert(FSettings.ShortDateFormat, ADepth)) return false;
        AddLiteral(u" ");
        if (!Insert(FSettings.LongTimeFormat, ADepth)) return false;
        I += 1;
        continue;
      case u'D':
        if (Run <= 4)
          Add(fikDay, String(Run, u'D'));
        else if (!Insert(Run == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat, ADepth))
          return false;
        break;
      case u'Y': case u'E':
        Add(fikYear, Run > 2 ? u"YYYY" : u"YY");
        break;
      case u'G':
        return false;
      case u'H':
        Add(fikHour, String(std::min<size_t>(Run, 2), u'H'));
        FAfterHour = true;
        break;
      case u'M':
        if (AfterHour)
          Add(fikMinute, String(std::min<size_t>(Run, 2), u'N'));
        else
          Add(fikMonth, String(std::min<size_t>(Run, 4), u'M'));
        break;
      case u'N':
        Add(fikMinute, String(std::min<size_t>(Run, 2), u'N'));
        break;
      case u'S':
        Add(fikSecond, String(std::min<size_t>(Run, 2), u'S'));
        break;
      case u'Z':
        Add(fikMillisecond, String(std::min<size_t>(Run, 3), u'Z'));
        break;
      case u'T':
        if (!Insert(Run == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, ADepth)) return false;
        break;
      default:
        AddLiteral(F.substr(I, Run));
        break;
    }
    I += Run;
  }
  return true;
}

// After the parse: the hour learns whether it counts 12 or 24 hours, and a
// marker without an hour goes (the literals around it are joined again).
void FinishInfo(TcxDateTimeFormatInfo& AInfo) {
  const bool HasAmPm = AInfo.Defined[fikAmPm];
  if (AInfo.Defined[fikHour]) {
    for (auto& Item : AInfo.Items)
      if (Item.Kind == fikHour) Item.Text = (HasAmPm ? u"12" : u"24") + Item.Text;
    return;
  }
  if (!HasAmPm) return;
  AInfo.Defined[fikAmPm] = false;
  std::vector<TcxDateTimeFormatItem> Items;
  for (auto& Item : AInfo.Items) {
    if (Item.Kind == fikAmPm) continue;
    if (Item.Kind == fikLiteral && !Items.empty() && Items.back().Kind == fikLiteral)
      Items.back().Text += Item.Text;
    else
      Items.push_back(std::move(Item));
  }
  AInfo.Items = std::move(Items);
}

TcxAmPmStyle AmPmStyleOf(const String& AText) {
  if (AText.size() == 3 && MatchesAt(AText, 0, u"A/P")) return apsAP;
  if (AText.size() == 5 && MatchesAt(AText, 0, u"AM/PM")) return apsAMPM;
  return apsLocale;
}

Integer ItemTextLength(const TcxDateTimeFormatItem& AItem, const String& AAm, const String& APm) {
  const auto Size = static_cast<Integer>(AItem.Text.size());
  switch (AItem.Kind) {
    case fikLiteral: case fikYear: return Size;
    case fikMonth: case fikDay: return Size > 2 ? 3 : 2;
    case fikHour: case fikMinute: case fikSecond: return 2;
    case fikMillisecond: return 0;
    case fikAmPm:
      switch (AmPmStyleOf(AItem.Text)) {
        case apsAP: return 1;
        case apsAMPM: return 2;
        default: return static_cast<Integer>(std::max(AAm.size(), APm.size()));
      }
    case fikDateSeparator: case fikTimeSeparator: return 1;
  }
  return 0;
}

String LongerAmPm(const TFormatSettings& S) {
  return S.TimeAMString.size() >= S.TimePMString.size() ? S.TimeAMString : S.TimePMString;
}

// Literal text of a display pattern. The pattern language quotes a run of
// text up to the next equal quote character, with no doubling, so
// apostrophes go between double quotes and everything else between
// apostrophes.
String DisplayLiteral(const String& AText) {
  String Result;
  size_t I = 0;
  while (I < AText.size()) {
    const bool Apostrophes = AText[I] == u'\'';
    size_t J = I;
    while (J < AText.size() && (AText[J] == u'\'') == Apostrophes) ++J;
    const Char Quote = Apostrophes ? u'"' : u'\'';
    Result += Quote + AText.substr(I, J - I) + Quote;
    I = J;
  }
  return Result;
}

// The alternatives of a regular expression, each as quoted text; empty
// texts are left out (they would make empty alternatives).
String QuotedAlternatives(const String* ATexts, size_t ACount) {
  String Result;
  for (size_t I = 0; I < ACount; ++I) {
    if (ATexts[I].empty()) continue;
    if (!Result.empty()) Result += u'|';
    Result += cxRegExprQuotedText(ATexts[I]);
  }
  return Result;
}

// Appends a piece to a regular expression. Two quoted texts written one
// right after the other would read as one with a doubled apostrophe inside
// ("'x''y'" is x'y), so a blank, which the syntax ignores outside quotes,
// keeps them apart.
void AppendPiece(String& AExpression, const String& APiece) {
  if (!AExpression.empty() && AExpression.back() == u'\'' && !APiece.empty() && APiece.front() == u'\'')
    AExpression += u' ';
  AExpression += APiece;
}

String MonthExpression(const TcxDateTimeFormatItem& AItem, const TFormatSettings& S) {
  const auto& Names = AItem.Text.size() == 4 ? S.LongMonthNames : S.ShortMonthNames;
  const String Alternatives = QuotedAlternatives(Names.data(), Names.size());
  String Result = u"((0?[1-9]|1[012])";
  if (!Alternatives.empty()) Result += u"|(" + Alternatives + u")";
  return Result + u")";
}

String AmPmExpression(const TcxDateTimeFormatItem& AItem, const TFormatSettings& S) {
  String Alternatives;
  switch (AmPmStyleOf(AItem.Text)) {
    // The display pattern writes these markers in lower case: both cases
    // are taken, so an editor accepts the text it shows.
    case apsAP: Alternatives = u"A|P|a|p"; break;
    case apsAMPM: Alternatives = u"AM|PM|am|pm"; break;
    default: {
      const String Strings[2] = {S.TimeAMString, S.TimePMString};
      Alternatives = QuotedAlternatives(Strings, 2);
    }
  }
  return Alternatives.empty() ? String() : u"(" + Alternatives + u")?";
}

String TimeExpression(const TcxDateTimeFormatInfo& AInfo, const TFormatSettings& S) {
  String Result;
  for (const auto& Item : AInfo.Items) {
    switch (Item.Kind) {
      case fikLiteral: AppendPiece(Result, cxRegExprQuotedText(Item.Text)); break;
      case fikHour:
        Result += Item.Text.starts_with(u"12") ? u"(0?[1-9]|1[012])" : u"([01]?\\d|2[0-3])";
        break;
      case fikMinute: case fikSecond: Result += u"[0-5]?\\d"; break;
      case fikAmPm: Result += AmPmExpression(Item, S); break;
      case fikTimeSeparator: AppendPiece(Result, cxRegExprLiteralChar(S.TimeSeparator)); break;
      default: break;
    }
  }
  return Result;
}

// The expression followed by the smart words as a second alternative; a
// word may be followed by a sign and one to four digits.
String WithSmartWords(const String& AExpression, Integer AWordCount) {
  std::vector<String> Words;
  for (Integer I = 0; I < AWordCount; ++I) Words.push_back(GetSmartDateWord(I));
  const String Alternatives = QuotedAlternatives(Words.data(), Words.size());
  if (Alternatives.empty()) return AExpression;
  String Result;
  if (!AExpression.empty()) Result = u"(" + AExpression + u")|";
  return Result + u"(" + Alternatives + u")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}

std::unique_ptr<TcxFormatController>& ControllerInstance() {
  static std::unique_ptr<TcxFormatController> Instance;
  return Instance;
}

}  // namespace

// ---- Format info ------------------------------------------------------------------------------

void ParseDateTimeFormat(const String& AFormat, const TFormatSettings& ASettings,
                         TcxDateTimeFormatInfo& AInfo) {
  AInfo = TcxDateTimeFormatInfo();
  TFormatParser Parser(ASettings, AInfo);
  if (!Parser.Parse(AFormat.empty() ? u"C" : AFormat, 0)) {
    AInfo = TcxDateTimeFormatInfo();
    return;
  }
  FinishInfo(AInfo);
}

Integer GetDateTimeFormatItemTextLength(const TcxDateTimeFormatItem& AItem,
                                        const TFormatSettings& ASettings) {
  return ItemTextLength(AItem, ASettings.TimeAMString, ASettings.TimePMString);
}

bool FindDateTimeFormatItemAt(const TcxDateTimeFormatInfo& AInfo, Integer APosition,
                              TcxDateTimeFormatItemKind& AKind, Integer& AStart, Integer& ALength,
                              TcxAmPmStyle& AAmPmStyle) {
  if (APosition <= 0) return false;
  const TcxFormatController* Controller = GetFormatController();
  Integer Start = 1;
  for (const auto& Item : AInfo.Items) {
    const Integer Length = ItemTextLength(Item, Controller->TimeAMString, Controller->TimePMString);
    if (APosition >= Start && APosition < Start + Length) {
      AKind = Item.Kind;
      AStart = Start;
      ALength = Length;
      AAmPmStyle = Item.Kind == fikAmPm ? AmPmStyleOf(Item.Text) : apsAP;
      return true;
    }
    Start += Length;
  }
  return false;
}

// ---- Building blocks ----------------------------------------------------------------------------

String cxRegExprQuotedText(const String& AText) {
  String Result = u"'";
  for (const Char C : AText) {
    Result += C;
    if (C == u'\'') Result += C;
  }
  return Result + u"'";
}

String cxRegExprLiteralChar(Char AChar) {
  if (AChar == 0) return String();
  if (AChar == u' ') return u"' '";
  // "\" before a letter or digit would make a class, a control character
  // or a reference of it; such characters (and all others outside ASCII
  // punctuation) go in quotes.
  const bool Punctuation = AChar > 0x20 && AChar < 0x7F && !IsAsciiLetter(AChar) && !(AChar >= u'0' && AChar <= u'9');
  return Punctuation ? u"\\" + String(1, AChar) : cxRegExprQuotedText(String(1, AChar));
}

String cxCurrencyFormatText(const TFormatSettings& S) {
  // The currency text as literal text of a number format: the characters
  // the format language reads ("," "." "0" "#" ";") in apostrophes, an
  // apostrophe or a double quote in the other kind of quote.
  String Currency;
  for (const Char C : S.CurrencyString) {
    if (C == u',' || C == u'.' || C == u'0' || C == u'#' || C == u';' || C == u'"')
      Currency += u"'" + String(1, C) + u"'";
    else if (C == u'\'')
      Currency += u"\"'\"";
    else
      Currency += C;
  }
  const String Number = u",0." + String(S.CurrencyDecimals, u'0');
  const String& C = Currency;
  const String& N = Number;
  String Positive;
  switch (S.CurrencyFormat) {
    case 1: Positive = N + C; break;
    case 2: Positive = C + u" " + N; break;
    case 3: Positive = N + u" " + C; break;
    default: Positive = C + N; break;
  }
  const String Negatives[16] = {
      u"(" + C + N + u")",     u"-" + C + N,        C + u"-" + N,          C + N + u"-",
      u"(" + N + C + u")",     u"-" + N + C,        N + u"-" + C,          N + C + u"-",
      u"-" + N + u" " + C,     u"-" + C + u" " + N, N + u" " + C + u"-",   C + u" " + N + u"-",
      C + u" " + u"-" + N,     N + u"-" + u" " + C, u"(" + C + u" " + N + u")", u"(" + N + u" " + C + u")"};
  return Positive + u";" + Negatives[S.NegCurrFormat < 16 ? S.NegCurrFormat : 1];
}

String cxDateEntryFormat(const String& AShortDateFormat) {
  const String& F = AShortDateFormat;
  String Result;
  for (size_t I = 0; I < F.size(); ++I) {
    const Char C = F[I];
    if (C == u'"' || C == u'\'') {  // quoted text stays as it is
      const size_t Close = std::min(F.find(C, I + 1), F.size() - 1);
      Result += F.substr(I, Close - I + 1);
      I = Close;
      continue;
    }
    Result += C;
    const Char U = UpperAscii(C);
    if (U != u'D' && U != u'M') continue;
    const bool Lonely = (I == 0 || UpperAscii(F[I - 1]) != U) && (I + 1 >= F.size() || UpperAscii(F[I + 1]) != U);
    if (Lonely) Result += C;
  }
  return Result;
}

String cxStandardMaskOf(const TcxDateTimeFormatInfo& AInfo, const TFormatSettings& S) {
  String Result;
  for (const auto& Item : AInfo.Items) {
    switch (Item.Kind) {
      case fikLiteral:
        for (const Char C : Item.Text) Result += u"\\" + String(1, C);
        break;
      case fikYear: Result += Item.Text.size() == 4 ? u"9999" : u"99"; break;
      case fikMonth: case fikDay: Result += Item.Text.size() > 2 ? u"lll" : u"99"; break;
      case fikHour: case fikMinute: case fikSecond: Result += u"99"; break;
      case fikAmPm:
        switch (AmPmStyleOf(Item.Text)) {
          case apsAP: Result += u"c"; break;
          case apsAMPM: Result += u"cc"; break;
          default: Result += String(LongerAmPm(S).size(), u'c'); break;
        }
        break;
      case fikDateSeparator: Result += u"/"; break;
      case fikTimeSeparator: Result += u":"; break;
      case fikMillisecond: break;
    }
  }
  return Result.empty() ? Result : u"!" + Result + u";1; ";
}

String cxDisplayPatternOf(const TcxDateTimeFormatInfo& AInfo) {
  String Result;
  for (const auto& Item : AInfo.Items) {
    switch (Item.Kind) {
      case fikLiteral: Result += DisplayLiteral(Item.Text); break;
      case fikYear: Result += LowerCase(Item.Text); break;
      case fikMonth: Result += Item.Text.size() > 2 ? u"mmm" : u"mm"; break;
      case fikDay: Result += Item.Text.size() > 2 ? u"ddd" : u"dd"; break;
      case fikHour: Result += u"hh"; break;
      case fikMinute: Result += u"nn"; break;
      case fikSecond: Result += u"ss"; break;
      case fikAmPm: Result += LowerCase(Item.Text); break;
      case fikDateSeparator: Result += u"/"; break;
      case fikTimeSeparator: Result += u":"; break;
      case fikMillisecond: break;
    }
  }
  return Result;
}

namespace {

String DateExpression(const TcxDateTimeFormatInfo& AInfo, const TFormatSettings& S) {
  String Result;
  for (const auto& Item : AInfo.Items) {
    switch (Item.Kind) {
      case fikLiteral: AppendPiece(Result, cxRegExprQuotedText(Item.Text)); break;
      case fikYear: Result += Item.Text.size() == 4 ? u"\\d\\d\\d\\d" : u"\\d\\d"; break;
      case fikMonth: Result += MonthExpression(Item, S); break;
      case fikDay: Result += u"([012]?[1-9]|[123]0|31)"; break;
      case fikDateSeparator: AppendPiece(Result, cxRegExprLiteralChar(S.DateSeparator)); break;
      default: break;
    }
  }
  return Result;
}

}  // namespace

String cxRegExprDateMaskOf(const TcxDateTimeFormatInfo& ADateInfo, const TFormatSettings& S) {
  // Every word but the last one, "now": a date has no time.
  return WithSmartWords(DateExpression(ADateInfo, S), cxSmartDateWordCount - 1);
}

String cxRegExprDateTimeMaskOf(const TcxDateTimeFormatInfo& ADateInfo,
                               const TcxDateTimeFormatInfo& ATimeInfo, const TFormatSettings& S) {
  String Expression = DateExpression(ADateInfo, S);
  const String Time = TimeExpression(ATimeInfo, S);
  // An empty time part would leave an empty block behind: the date alone.
  if (!Expression.empty() && !Time.empty()) AppendPiece(Expression, u"' '(" + Time + u")?");
  return WithSmartWords(Expression, cxSmartDateWordCount);
}

// ---- The controller -------------------------------------------------------------------------------

TcxFormatController::TcxFormatController() { ReadLocale(); }

TcxFormatController::~TcxFormatController() {
  FDestroying = true;
  FListeners.clear();
  if (FWindow && IsWindow(FWindow)) DeallocateHWnd(FWindow);
}

void TcxFormatController::ReadLocale() {
  const TFormatSettings& S = FormatSettings();
  CurrencyFormatText = cxCurrencyFormatText(S);
  FirstDayOfWeek = static_cast<Byte>(((S.FirstDayOfWeek % 7) + 7) % 7);
  TimeAMString = S.TimeAMString;
  TimePMString = S.TimePMString;
  ParseDateTimeFormat(S.ShortDateFormat, S, DateFormatInfo);
  ParseDateTimeFormat(S.LongTimeFormat, S, TimeFormatInfo);
  ParseDateTimeFormat(S.ShortDateFormat + u" " + S.LongTimeFormat, S, DateTimeFormatInfo);
  StandardDateMask = cxStandardMaskOf(DateFormatInfo, S);
  StandardDateTimeMask = cxStandardMaskOf(DateTimeFormatInfo, S);
  RegExprDateMask = cxRegExprDateMaskOf(DateFormatInfo, S);
  RegExprDateTimeMask = cxRegExprDateTimeMaskOf(DateFormatInfo, TimeFormatInfo, S);
  DateDisplayPattern = cxDisplayPatternOf(DateFormatInfo);
  DateTimeDisplayPattern = cxDisplayPatternOf(DateTimeFormatInfo);
  DateEntryFormat = cxDateEntryFormat(S.ShortDateFormat);
}

template <class Notice>
void TcxFormatController::NotifyListeners(Notice ANotice) {
  // A listener may add or remove listeners while it is told: the ones
  // registered at the start are told, unless they left meanwhile.
  const std::vector<IcxFormatControllerListener*> Listeners = FListeners;
  for (IcxFormatControllerListener* Listener : Listeners) {
    if (FDestroying) return;
    if (std::find(FListeners.begin(), FListeners.end(), Listener) != FListeners.end()) ANotice(Listener);
  }
}

void TcxFormatController::HandleWindowMessage(TMessage& AMessage) {
  if (AMessage.Msg == WM_WININICHANGE) {
    const auto* Section = reinterpret_cast<const Char*>(AMessage.LParam);
    if (AMessage.WParam == 0 && Section && SameText(String(Section), u"intl")) {
      LocaleChanged();
      AMessage.Result = 0;
    }
  } else if (AMessage.Msg == WM_TIMECHANGE) {
    SystemTimeChanged();
    AMessage.Result = 0;
  }
}

void TcxFormatController::AddListener(IcxFormatControllerListener* AListener) {
  if (!AListener || std::find(FListeners.begin(), FListeners.end(), AListener) != FListeners.end()) return;
  FListeners.push_back(AListener);
  if (!FWindow) FWindow = AllocateHWnd(TWndMethod(this, [this](TMessage& AMessage) { HandleWindowMessage(AMessage); }));
}

void TcxFormatController::RemoveListener(IcxFormatControllerListener* AListener) {
  const auto It = std::find(FListeners.begin(), FListeners.end(), AListener);
  if (It != FListeners.end()) FListeners.erase(It);
  if (FListeners.empty() && FWindow) DeallocateHWnd(std::exchange(FWindow, HWND(0)));
}

void TcxFormatController::LocaleChanged() {
  FormatSettings() = GetLocaleFormatSettings();
  UpdateFormats();
}

void TcxFormatController::UpdateFormats() {
  ReadLocale();
  NotifyListeners([](IcxFormatControllerListener* AListener) { AListener->FormatsChanged(); });
}

void TcxFormatController::SystemTimeChanged() {
  NotifyListeners([](IcxFormatControllerListener* AListener) {
    if (auto* TimeListener = dynamic_cast<IcxFormatControllerTimeListener*>(AListener))
      TimeListener->SystemTimeChanged();
  });
}

Integer TcxFormatController::GetDateTimeFormatTextLength(const TcxDateTimeFormatInfo& AInfo) const {
  Integer Result = 0;
  for (const auto& Item : AInfo.Items) Result += ItemTextLength(Item, TimeAMString, TimePMString);
  return Result;
}

TcxFormatController* GetFormatController() {
  auto& Instance = ControllerInstance();
  if (!Instance) Instance = std::make_unique<TcxFormatController>();
  return Instance.get();
}
