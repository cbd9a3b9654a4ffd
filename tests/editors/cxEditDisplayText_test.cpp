// The text a cell or a closed editor shows for a value, asked of the
// editor's settings alone (a tree-list cell has no editor window): every
// text-based kind gives its value's text, never an empty cell for a value it
// can show, and never raises for one it cannot.
#include <gtest/gtest.h>

#include "editors/cxCalc.h"
#include "editors/cxCurrencyEdit.h"
#include "editors/cxDateEdit.h"
#include "editors/cxSpinEdit.h"
#include "editors/cxTextEdit.h"
#include "editors/cxTimeEdit.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/encoding.h"

namespace {

struct TLocaleScope {
  TLocaleScope() {
    FormatSettings().DecimalSeparator = u'.';
    FormatSettings().ThousandSeparator = u',';
    FormatSettings().ShortDateFormat = u"yyyy-mm-dd";
    FormatSettings().DateSeparator = u'-';
  }
  ~TLocaleScope() { FormatSettings() = Saved; }
  TFormatSettings Saved = FormatSettings();
};

TEST(EditDisplayText, PlainTextKeepsItsValueWithEchoAndCase) {
  TcxTextEditProperties Text(nullptr);
  EXPECT_EQ(Text.GetDisplayTextOfValue(Variant(String(u"地质调查 EPSG:4490"))), u"地质调查 EPSG:4490");
  EXPECT_EQ(Text.GetDisplayTextOfValue(Null()), u"");
  Text.SetCharCase(ecUpperCase);
  EXPECT_EQ(Text.GetDisplayTextOfValue(Variant(String(u"abc"))), u"ABC");
  Text.SetCharCase(ecNormal);
  Text.SetEchoMode(eemPassword);
  EXPECT_EQ(Text.GetDisplayTextOfValue(Variant(String(u"abc"))).size(), 3u);
  EXPECT_NE(Text.GetDisplayTextOfValue(Variant(String(u"abc"))), u"abc");
}

TEST(EditDisplayText, NumericKindsFormatAndNeverRaise) {
  TLocaleScope Locale;
  TcxCurrencyEditProperties Currency(nullptr);
  const String Shown = Currency.GetDisplayTextOfValue(Variant(1234.5));
  EXPECT_NE(Shown.find(u"1,234.5"), String::npos) << StringToUTF8(Shown);
  // A text that is no number shows nothing rather than raising in a paint.
  TcxSpinEditProperties Spin(nullptr);
  EXPECT_EQ(Spin.GetDisplayTextOfValue(Variant(String(u"abc"))), u"");
  EXPECT_EQ(Spin.GetDisplayTextOfValue(Variant(7)), u"7");
  TcxCalcEditProperties Calc(nullptr);
  EXPECT_EQ(Calc.GetDisplayTextOfValue(Variant(42.0)), u"42");
}

TEST(EditDisplayText, DateAndTimeKindsShowTheirValue) {
  TLocaleScope Locale;
  TcxDateEditProperties Date(nullptr);
  const String Day = Date.GetDisplayTextOfValue(VarFromDateTime(EncodeDate(2026, 12, 10)));
  EXPECT_NE(Day.find(u"2026"), String::npos) << StringToUTF8(Day);
  EXPECT_NE(Day.find(u"12"), String::npos) << StringToUTF8(Day);
  EXPECT_EQ(Date.GetDisplayTextOfValue(Null()), u"");
  TcxTimeEditProperties Time(nullptr);
  const String Clock = Time.GetDisplayTextOfValue(VarFromDateTime(EncodeTime(13, 45, 0, 0)));
  EXPECT_NE(Clock.find(u"45"), String::npos) << StringToUTF8(Clock);
}

}  // namespace
