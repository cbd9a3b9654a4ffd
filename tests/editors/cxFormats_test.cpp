#include "editors/cxFormats.h"

#include <gtest/gtest.h>

#include "editors/cxDateUtils.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxRegExpr.h"
#include "editors/cxStandardMask.h"
#include "foundation/cxClasses.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/sysutils.h"

namespace {

std::string Utf8(const String& s) { return StringToUTF8(s); }

// The items of a format info in short: kind, then the text in brackets.
std::string Describe(const TcxDateTimeFormatInfo& AInfo) {
  static const char* const Names[] = {"L", "Y", "M", "D", "H", "N", "S", "Z", "AP", "/", ":"};
  std::string Result;
  for (const auto& Item : AInfo.Items) {
    if (!Result.empty()) Result += ' ';
    Result += Names[Item.Kind];
    if (Item.Kind != fikDateSeparator && Item.Kind != fikTimeSeparator) Result += "(" + Utf8(Item.Text) + ")";
  }
  return Result;
}

// Whether the regular expression takes AText whole: every character fits
// and the text is a complete match.
testing::AssertionResult MaskTakes(const String& AMask, const String& AText) {
  TcxRegExpr R;
  try {
    R.Compile(AMask);
  } catch (const EcxRegExprError& E) {
    return testing::AssertionFailure() << "does not compile: " << Utf8(E.Errors()[0].Describe());
  }
  for (size_t I = 0; I < AText.size(); ++I) {
    Char C = AText[I];
    if (!R.Advance(C)) return testing::AssertionFailure() << "refuses character " << I + 1 << " of " << Utf8(AText);
  }
  if (!R.IsComplete()) return testing::AssertionFailure() << Utf8(AText) << " is not complete";
  return testing::AssertionSuccess();
}

// Runs each test with chosen format settings; the controller follows them.
class cxFormatsTest : public ::testing::Test {
protected:
  void SetUp() override { UseLocale(TFormatSettings::Invariant()); }
  void TearDown() override {
    UninstallTextReplacementTable();
    FormatSettings() = FSaved;
    GetFormatController()->UpdateFormats();
  }
  static TcxFormatController* UseLocale(const TFormatSettings& ASettings) {
    FormatSettings() = ASettings;
    GetFormatController()->UpdateFormats();
    return GetFormatController();
  }

  TFormatSettings FSaved = FormatSettings();
};

// A locale whose names, markers and separators hold apostrophes and dots.
TFormatSettings ApostropheLocale() {
  TFormatSettings S = TFormatSettings::Invariant();
  S.ShortDateFormat = u"dd/mmm/yyyy";
  S.DateSeparator = u'\'';
  S.ShortMonthNames[0] = u"jan'";
  S.ShortMonthNames[2] = u"m'rz";
  S.ShortMonthNames[5] = u"ju'n";
  S.LongTimeFormat = u"hh:nn ampm";
  S.TimeSeparator = u'.';
  S.TimeAMString = u"a'm";
  S.TimePMString = u"p.m.";
  return S;
}

// A short date format with literal text that holds an apostrophe.
TFormatSettings LiteralLocale() {
  TFormatSettings S = TFormatSettings::Invariant();
  S.ShortDateFormat = u"yyyy\"年'\"mm/dd";
  S.DateSeparator = u'-';
  S.LongTimeFormat = u"hh:nn:ss";
  return S;
}

// Literal text at the ends of the date and the time.
TFormatSettings EndLiteralLocale() {
  TFormatSettings S = TFormatSettings::Invariant();
  S.ShortDateFormat = u"d/mm/yyyy\" г.\"";
  S.DateSeparator = u'.';
  S.LongTimeFormat = u"h:nn:ss\" ч.\"";
  return S;
}

// ---- Parsing formats ------------------------------------------------------------------------

TEST_F(cxFormatsTest, ParseFormatIntoItems) {
  const struct {
    const char16_t* Format;
    const char* Items;
  } Cases[] = {
      {u"m/d/yyyy", "M(M) / D(D) / Y(YYYY)"},
      {u"h:nn:ss ampm", "H(12H) : N(NN) : S(SS) L( ) AP(AMPM)"},
      {u"hh:mm", "H(24HH) : N(NN)"},
      {u"hh'h'mm", "H(24HH) L(h) N(NN)"},          // "m" after "h" is minutes
      {u"ampm h", "AP(AMPM) L( ) H(12H)"},         // a marker before the hour counts too
      {u"H AM/PM", "H(12H) L( ) AP(AM/PM)"},
      {u"hhh a/p", "H(12HH) L( ) AP(a/p)"},
      {u"yyyy\"年\"m\"月\"d\"日\"", "Y(YYYY) L(年) M(M) L(月) D(D) L(日)"},
      {u"dddd, mmmm d", "D(DDDD) L(, ) M(MMMM) L( )"},  // a second day is ignored
      {u"aaaa aaa a", "D(DDDD) L(  a)"},
      {u"ddddd", "M(M) / D(D) / Y(YYYY)"},
      {u"dddddd", "D(DDDD) L(, ) M(MMMM) L( , ) Y(YYYY)"},
      {u"t", "H(12H) : N(NN) L( ) AP(AMPM)"},
      {u"", "M(M) / D(D) / Y(YYYY) L( ) H(12H) : N(NN) : S(SS) L( ) AP(AMPM)"},
      {u"c", "M(M) / D(D) / Y(YYYY) L( ) H(12H) : N(NN) : S(SS) L( ) AP(AMPM)"},
      {u"g/yy", ""},
      {u"yy/gg", ""},
      {u"yyyy ampm", "Y(YYYY) L( )"},  // a marker without an hour goes
      {u"yy mmmmm zzzz eee", "Y(YY) L( ) M(MMMM) L( ) Z(ZZZ) L( )"},
      {u"'it''s' xQ", "L(its xQ)"},
      {u"yyyy😀mm", "Y(YYYY) L(😀) M(MM)"},
  };
  for (const auto& Case : Cases) {
    TcxDateTimeFormatInfo Info;
    ParseDateTimeFormat(Case.Format, FormatSettings(), Info);
    EXPECT_EQ(Describe(Info), Case.Items) << Utf8(Case.Format);
  }
}

TEST_F(cxFormatsTest, FormatsThatInsertThemselvesEnd) {
  TFormatSettings S = TFormatSettings::Invariant();
  S.ShortDateFormat = u"c";
  S.LongTimeFormat = u"tt";
  S.ShortTimeFormat = u"c";
  TcxDateTimeFormatInfo Info;
  ParseDateTimeFormat(u"c", S, Info);
  EXPECT_EQ(Describe(Info), "L(   )");
  const TcxFormatController* C = UseLocale(S);
  EXPECT_TRUE(MaskTakes(C->RegExprDateMask, u"today"));
}

TEST_F(cxFormatsTest, ItemLengthsAndPositions) {
  TFormatSettings S = TFormatSettings::Invariant();
  S.TimeAMString = u"a.m.";
  S.TimePMString = u"pm";
  const TcxFormatController* C = UseLocale(S);
  TcxDateTimeFormatInfo Info;
  ParseDateTimeFormat(u"m/d/yyyy h:nn ampm", S, Info);
  EXPECT_EQ(C->GetDateTimeFormatTextLength(Info), 21);

  const struct {
    Integer Position;
    bool Found;
    TcxDateTimeFormatItemKind Kind;
    Integer Start, Length;
  } Cases[] = {
      {0, false, fikLiteral, 0, 0},       {1, true, fikMonth, 1, 2},   {2, true, fikMonth, 1, 2},
      {3, true, fikDateSeparator, 3, 1},  {7, true, fikYear, 7, 4},    {11, true, fikLiteral, 11, 1},
      {12, true, fikHour, 12, 2},         {14, true, fikTimeSeparator, 14, 1},
      {17, true, fikLiteral, 17, 1},      {18, true, fikAmPm, 18, 4},  {21, true, fikAmPm, 18, 4},
      {22, false, fikLiteral, 0, 0},
  };
  for (const auto& Case : Cases) {
    TcxDateTimeFormatItemKind Kind = fikLiteral;
    Integer Start = 0, Length = 0;
    TcxAmPmStyle Style = apsAP;
    ASSERT_EQ(FindDateTimeFormatItemAt(Info, Case.Position, Kind, Start, Length, Style), Case.Found)
        << Case.Position;
    if (!Case.Found) continue;
    EXPECT_EQ(Kind, Case.Kind) << Case.Position;
    EXPECT_EQ(Start, Case.Start) << Case.Position;
    EXPECT_EQ(Length, Case.Length) << Case.Position;
    if (Kind == fikAmPm) {
      EXPECT_EQ(Style, apsLocale);
    }
  }

  const struct {
    const char16_t* Format;
    Integer Length;
    TcxAmPmStyle Style;
  } Markers[] = {{u"h a/p", 1, apsAP}, {u"h AM/PM", 2, apsAMPM}, {u"h ampm", 4, apsLocale}};
  for (const auto& Marker : Markers) {
    ParseDateTimeFormat(Marker.Format, S, Info);
    TcxDateTimeFormatItemKind Kind = fikLiteral;
    Integer Start = 0, Length = 0;
    TcxAmPmStyle Style = apsAP;
    ASSERT_TRUE(FindDateTimeFormatItemAt(Info, 4, Kind, Start, Length, Style)) << Utf8(Marker.Format);
    EXPECT_EQ(Kind, fikAmPm);
    EXPECT_EQ(Length, Marker.Length);
    EXPECT_EQ(Style, Marker.Style);
    EXPECT_EQ(C->GetDateTimeFormatTextLength(Info), 3 + Marker.Length);
  }
  // Month and day names count 3, milliseconds nothing.
  ParseDateTimeFormat(u"dddd mmm zzz", S, Info);
  EXPECT_EQ(C->GetDateTimeFormatTextLength(Info), 8);
}

// ---- Formats derived from the locale ----------------------------------------------------------

struct TLocaleCase {
  const char* Name;
  TFormatSettings Settings;
  const char16_t* StandardDateMask;
  const char16_t* StandardDateTimeMask;
  const char16_t* DateDisplayPattern;
  const char16_t* DateTimeDisplayPattern;
  const char16_t* DateEntryFormat;
  std::vector<String> Dates;      // taken by the date mask
  // Taken by the date-time mask. The blank after the date and the literals
  // of the time format are required even where the time or the marker after
  // them is left out: the editor inserts them as forced characters.
  std::vector<String> DateTimes;
  std::vector<String> Refused;    // refused by the date-time mask
};

std::vector<TLocaleCase> LocaleCases() {
  return {
      {"US", TFormatSettings::Invariant(), u"!99/99/9999;1; ", u"!99/99/9999\\ 99:99:99\\ cc;1; ",
       u"mm/dd/yyyy", u"mm/dd/yyyy' 'hh:nn:ss' 'ampm", u"mm/dd/yyyy",
       {u"6/10/2024", u"12/31/2024", u"Jun/1/2024", u"today+3", u"bom", u"eom-1234"},
       {u"6/10/2024 ", u"6/10/2024 10:30:15 PM", u"6/10/2024 9:05:00 ", u"now-1", u"Monday"},
       {u"13/10/2024", u"6/32/2024", u"6/10/24", u"6/10/2024 13:00:00", u"today+12345", u"nowx"}},
      {"zh_CN", GetLocaleFormatSettings(u"zh_CN"), u"!9999/99/99;1; ", u"!9999/99/99\\ 99:99:99;1; ",
       u"yyyy/mm/dd", u"yyyy/mm/dd' 'hh:nn:ss", u"yyyy/mm/dd",
       {u"2024/6/10", u"2024/6月/10"},
       {u"2024/06/10 22:30:15", u"2024/6/10 "},
       {u"2024/6/10 24:00:00", u"2024年6月10日"}},
      {"de_DE", GetLocaleFormatSettings(u"de_DE"), u"!99/99/9999;1; ", u"!99/99/9999\\ 99:99:99;1; ",
       u"dd/mm/yyyy", u"dd/mm/yyyy' 'hh:nn:ss", u"dd/mm/yyyy",
       {u"10.6.2024", u"10.März.2024", u"10.Sept..2024"},
       {u"10.06.2024 22:30:15"},
       {u"10/06/2024", u"10.06.2024 22.30.15"}},
      {"apostrophes", ApostropheLocale(), u"!99/lll/9999;1; ", u"!99/lll/9999\\ 99:99\\ cccc;1; ",
       u"dd/mmm/yyyy", u"dd/mmm/yyyy' 'hh:nn' 'ampm", u"dd/mmm/yyyy",
       {u"10'ju'n'2024", u"10'm'rz'2024", u"1'jan''2024", u"10'6'2024"},
       {u"10'ju'n'2024 10.30 p.m.", u"10'6'2024 10.30 a'm"},
       {u"10'ju'n'2024 10:30"}},
      {"literal", LiteralLocale(), u"!9999\\年\\'99/99;1; ", u"!9999\\年\\'99/99\\ 99:99:99;1; ",
       u"yyyy'年'\"'\"mm/dd", u"yyyy'年'\"'\"mm/dd' 'hh:nn:ss", u"yyyy\"年'\"mm/dd",
       {u"2024年'6-10"},
       {u"2024年'06-10 22:30:15"},
       {u"2024年6-10", u"2024-6-10"}},
      {"literals at the ends", EndLiteralLocale(), u"!99/99/9999\\ \\г\\.;1; ",
       u"!99/99/9999\\ \\г\\.\\ 99:99:99\\ \\ч\\.;1; ", u"dd/mm/yyyy' г.'",
       u"dd/mm/yyyy' г. 'hh:nn:ss' ч.'", u"dd/mm/yyyy\" г.\"",
       {u"10.6.2024 г."},
       {u"10.06.2024 г. 22:30:00 ч."},
       {u"10.06.2024 г.' 22:30:00 ч.", u"10.06.2024 22:30:00"}},
  };
}

TEST_F(cxFormatsTest, LocaleToMasksAndPatterns) {
  const TDateTime Sample = EncodeDateTime(2024, 6, 10, 22, 30, 0, 0);
  for (const TLocaleCase& Case : LocaleCases()) {
    SCOPED_TRACE(Case.Name);
    const TcxFormatController* C = UseLocale(Case.Settings);
    EXPECT_EQ(Utf8(C->StandardDateMask), Utf8(Case.StandardDateMask));
    EXPECT_EQ(Utf8(C->StandardDateTimeMask), Utf8(Case.StandardDateTimeMask));
    EXPECT_EQ(Utf8(C->DateDisplayPattern), Utf8(Case.DateDisplayPattern));
    EXPECT_EQ(Utf8(C->DateTimeDisplayPattern), Utf8(Case.DateTimeDisplayPattern));
    EXPECT_EQ(Utf8(C->DateEntryFormat), Utf8(Case.DateEntryFormat));
    for (const String& Text : Case.Dates) EXPECT_TRUE(MaskTakes(C->RegExprDateMask, Text));
    for (const String& Text : Case.DateTimes) EXPECT_TRUE(MaskTakes(C->RegExprDateTimeMask, Text));
    for (const String& Text : Case.Refused) EXPECT_FALSE(MaskTakes(C->RegExprDateTimeMask, Text)) << Utf8(Text);

    // What the editors show is what their masks take, and it reads back.
    String Shown;
    FormatDateValueText(true, false, Shown, Sample);
    EXPECT_TRUE(MaskTakes(C->RegExprDateMask, Shown));
    TDateTime Back = 0;
    EXPECT_TRUE(ParseDateText(Shown, Back)) << Utf8(Shown);
    EXPECT_EQ(Back, DateOf(Sample)) << Utf8(Shown);
    FormatDateValueText(true, true, Shown, Sample);
    EXPECT_TRUE(MaskTakes(C->RegExprDateTimeMask, Shown));
    EXPECT_TRUE(ParseDateText(Shown, Back)) << Utf8(Shown);
    EXPECT_NEAR(Back, Sample, 1e-8) << Utf8(Shown);

    // The standard mask takes the shown date (month names aside: they get
    // three places, and a longer name cannot fit).
    TcxStandardMask Standard;
    Standard.SetMask(C->StandardDateMask);
    String Picture = FormatDateTime(C->DateDisplayPattern, Sample);
    if (C->StandardDateMask.find(u"lll") == String::npos) {
      EXPECT_TRUE(Standard.IsComplete(Picture)) << Utf8(Picture);
    }
  }
}

TEST_F(cxFormatsTest, ShortMonthNamesWithBlankSeparatorsTakeTheShownDate) {
  // Short month names between blanks: the masks take the text a date editor
  // shows ("25 Nov 2098"), typed one character after another.
  TFormatSettings S = TFormatSettings::Invariant();
  S.ShortDateFormat = u"dd/mmm/yyyy";
  S.DateSeparator = u' ';
  const TcxFormatController* C = UseLocale(S);
  const TDateTime Sample = EncodeDate(2098, 11, 25);
  String Shown;
  FormatDateValueText(true, false, Shown, Sample);
  EXPECT_EQ(Utf8(Shown), "25 Nov 2098");
  EXPECT_TRUE(MaskTakes(C->RegExprDateMask, Shown));
  FormatDateValueText(true, true, Shown, Sample + EncodeTime(10, 20, 30, 0));
  EXPECT_TRUE(MaskTakes(C->RegExprDateTimeMask, Shown));
  TDateTime Back = 0;
  EXPECT_TRUE(ParseDateText(u"25 Nov 2098", Back));
  EXPECT_EQ(Back, Sample);
  EXPECT_FALSE(MaskTakes(C->RegExprDateMask, u"25 November 2098")) << "three letters, as the format says";

  // Typed into a masked editor as a date editor uses the mask.
  for (TcxEditMaskKind Kind : {emkRegExpr, emkRegExprEx}) {
    SCOPED_TRACE(static_cast<int>(Kind));
    TcxMaskEditProperties Properties(nullptr);
    Properties.SetMaskKind(Kind);
    Properties.SetEditMask(C->RegExprDateMask);
    TcxMaskEditModel Model(&Properties);
    for (Char Ch : String(u"25 Nov 2098")) Model.KeyPress(Ch);
    EXPECT_EQ(Utf8(Model.Text()), "25 Nov 2098");
    EXPECT_TRUE(Model.IsTextValid());
  }
}

TEST_F(cxFormatsTest, HourExpressionFollowsTheMarker) {
  TFormatSettings S = TFormatSettings::Invariant();
  S.ShortDateFormat = u"d/M/yyyy";
  S.LongTimeFormat = u"h:nn:ss AM/PM";
  const TcxFormatController* C = UseLocale(S);
  EXPECT_EQ(Utf8(C->DateEntryFormat), "dd/MM/yyyy");
  EXPECT_EQ(Utf8(C->StandardDateMask), "!99/99/9999;1; ");
  EXPECT_EQ(Utf8(C->DateDisplayPattern), "dd/mm/yyyy");
  EXPECT_NE(C->RegExprDateTimeMask.find(u"' '((0?[1-9]|1[012])\\:"), String::npos) << Utf8(C->RegExprDateTimeMask);
  EXPECT_TRUE(MaskTakes(C->RegExprDateTimeMask, u"1/2/2024 12:00:00 pm"));
  EXPECT_TRUE(MaskTakes(C->RegExprDateTimeMask, u"1/2/2024 12:00:00 PM"));

  S.LongTimeFormat = u"h:nn:ss";
  C = UseLocale(S);
  EXPECT_NE(C->RegExprDateTimeMask.find(u"' '(([01]?\\d|2[0-3])\\:"), String::npos) << Utf8(C->RegExprDateTimeMask);
  EXPECT_TRUE(MaskTakes(C->RegExprDateTimeMask, u"1/2/2024 23:59:59"));
}

TEST_F(cxFormatsTest, FormatWithEraLeavesOnlyTheWords) {
  TFormatSettings S = TFormatSettings::Invariant();
  S.ShortDateFormat = u"gg yyyy/m/d";
  const TcxFormatController* C = UseLocale(S);
  EXPECT_EQ(C->StandardDateMask, String());
  EXPECT_EQ(C->StandardDateTimeMask, String());
  EXPECT_EQ(C->DateDisplayPattern, String());
  EXPECT_TRUE(C->DateFormatInfo.Items.empty());
  EXPECT_EQ(Utf8(C->RegExprDateMask),
            "('today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|'Friday'|"
            "'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom')"
            "((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
  EXPECT_TRUE(MaskTakes(C->RegExprDateMask, u"today+1"));
  EXPECT_TRUE(MaskTakes(C->RegExprDateTimeMask, u"now"));
  EXPECT_FALSE(MaskTakes(C->RegExprDateTimeMask, u"2024/1/1"));
}

TEST_F(cxFormatsTest, SmartWordsInMasksFollowTheirTexts) {
  InstallTextReplacementTable({u"today", u"bom"}, {u"aujourd'hui", u""});
  const TcxFormatController* C = UseLocale(TFormatSettings::Invariant());
  EXPECT_NE(C->RegExprDateMask.find(u"'aujourd''hui'"), String::npos);
  EXPECT_EQ(C->RegExprDateMask.find(u"'bom'"), String::npos);
  EXPECT_EQ(C->RegExprDateMask.find(u"''|"), String::npos);
  EXPECT_TRUE(MaskTakes(C->RegExprDateMask, u"aujourd'hui+2"));
  EXPECT_TRUE(MaskTakes(C->RegExprDateTimeMask, u"eom"));
}

TEST_F(cxFormatsTest, CurrencyFormatText) {
  const struct {
    const char16_t* Currency;
    Byte Format, NegFormat, Decimals;
    const char16_t* Text;
    const char16_t* Negative;  // -1234.5 formatted with it
  } Cases[] = {
      {u"$", 0, 0, 2, u"$,0.00;($,0.00)", u"($1,234.50)"},
      {u"€", 3, 8, 2, u",0.00 €;-,0.00 €", u"-1,234.50 €"},
      {u"лв.", 3, 15, 2, u",0.00 лв'.';(,0.00 лв'.')", u"(1,234.50 лв.)"},
      {u"¥", 0, 1, 0, u"¥,0.;-¥,0.", u"-¥1,235"},
      {u"kr", 2, 12, 1, u"kr ,0.0;kr -,0.0", u"kr -1,234.5"},
      {u"R$", 1, 13, 2, u",0.00R$;,0.00- R$", u"1,234.50- R$"},
      {u"a'b", 0, 9, 2, u"a\"'\"b,0.00;-a\"'\"b ,0.00", u"-a'b 1,234.50"},
      {u"", 0, 1, 2, u",0.00;-,0.00", u"-1,234.50"},  // the positive section stays formatted
  };
  for (const auto& Case : Cases) {
    TFormatSettings S = TFormatSettings::Invariant();
    S.CurrencyString = Case.Currency;
    S.CurrencyFormat = Case.Format;
    S.NegCurrFormat = Case.NegFormat;
    S.CurrencyDecimals = Case.Decimals;
    const TcxFormatController* C = UseLocale(S);
    EXPECT_EQ(Utf8(C->CurrencyFormatText), Utf8(Case.Text));
    EXPECT_EQ(Utf8(FormatFloat(C->CurrencyFormatText, -1234.5, S)), Utf8(Case.Negative)) << Utf8(Case.Text);
  }
  EXPECT_EQ(Utf8(UseLocale(GetLocaleFormatSettings(u"de_DE"))->CurrencyFormatText), ",0.00 €;-,0.00 €");
}

TEST_F(cxFormatsTest, FirstDayOfWeek) {
  EXPECT_EQ(GetFormatController()->FirstDayOfWeek, 0);
  EXPECT_EQ(UseLocale(GetLocaleFormatSettings(u"de_DE"))->FirstDayOfWeek, 1);
  TFormatSettings S = TFormatSettings::Invariant();
  S.FirstDayOfWeek = 6;
  EXPECT_EQ(UseLocale(S)->FirstDayOfWeek, 6);
}

// ---- Listeners --------------------------------------------------------------------------------

class TFormatsListener : public IcxFormatControllerListener {
public:
  void FormatsChanged() override {
    ++Changes;
    if (RemoveOnNotice) GetFormatController()->RemoveListener(RemoveOnNotice);
  }
  Integer Changes = 0;
  IcxFormatControllerListener* RemoveOnNotice = nullptr;
};

class TTimeListener : public TFormatsListener, public IcxFormatControllerTimeListener {
public:
  void SystemTimeChanged() override { ++TimeChanges; }
  Integer TimeChanges = 0;
};

TEST_F(cxFormatsTest, ListenersAreToldOnce) {
  TcxFormatController* C = GetFormatController();
  const Integer Before = C->ListenerCount();
  TFormatsListener A, B;
  TTimeListener T;
  C->AddListener(&A);
  C->AddListener(&A);
  C->AddListener(&T);
  C->AddListener(&B);
  C->AddListener(nullptr);
  EXPECT_EQ(C->ListenerCount(), Before + 3);

  // A removes itself while it is told: the next one is told all the same.
  A.RemoveOnNotice = &A;
  FormatSettings().ShortDateFormat = u"yyyy/mm/dd";
  C->UpdateFormats();
  EXPECT_EQ(Utf8(C->DateDisplayPattern), "yyyy/mm/dd");
  EXPECT_EQ(A.Changes, 1);
  EXPECT_EQ(T.Changes, 1);
  EXPECT_EQ(B.Changes, 1);
  EXPECT_EQ(C->ListenerCount(), Before + 2);

  // The time change goes to the listeners that hear it.
  TMessage Message{WM_TIMECHANGE, 0, 0, -1};
  C->HandleWindowMessage(Message);
  EXPECT_EQ(Message.Result, 0);
  EXPECT_EQ(T.TimeChanges, 1);

  // A settings change of another section is not a locale change.
  const String Other = u"fonts";
  Message = TMessage{WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(Other.c_str()), -1};
  C->HandleWindowMessage(Message);
  EXPECT_EQ(B.Changes, 1);
  EXPECT_EQ(Message.Result, -1);
  // The regional settings: the platform's settings are read afresh.
  const String Intl = u"Intl";
  Message = TMessage{WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(Intl.c_str()), -1};
  C->HandleWindowMessage(Message);
  EXPECT_EQ(Message.Result, 0);
  EXPECT_EQ(B.Changes, 2);
  EXPECT_EQ(T.Changes, 2);
  EXPECT_EQ(Utf8(FormatSettings().ShortDateFormat), Utf8(GetLocaleFormatSettings().ShortDateFormat));

  C->RemoveListener(&B);
  C->RemoveListener(&T);
  C->RemoveListener(&T);
  EXPECT_EQ(C->ListenerCount(), Before);
}

TEST(cxFormatsQuoting, RegularExpressionLiterals) {
  EXPECT_EQ(Utf8(cxRegExprQuotedText(u"it's")), "'it''s'");
  EXPECT_EQ(Utf8(cxRegExprQuotedText(u"")), "''");
  const struct {
    Char C;
    const char* Text;
  } Cases[] = {{u'/', "\\/"}, {u'.', "\\."}, {u'\'', "\\'"}, {u' ', "' '"},
               {u'd', "'d'"}, {u'1', "'1'"}, {u'年', "'年'"}, {Char(0), ""}};
  for (const auto& Case : Cases) {
    EXPECT_EQ(Utf8(cxRegExprLiteralChar(Case.C)), Case.Text) << int(Case.C);
    if (Case.C == 0) continue;
    EXPECT_TRUE(MaskTakes(u"x" + cxRegExprLiteralChar(Case.C) + u"y", u"x" + String(1, Case.C) + u"y")) << int(Case.C);
  }
}

}  // namespace
