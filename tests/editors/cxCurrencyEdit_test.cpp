// The currency editor: typed characters (decimal places, signs, exponent,
// thousand separators, an edit format), the value of a text and the text of
// a value (null text, Nullable), validation of pasted text, and a shown
// editor that keeps its value when non-numeric text is pasted.
#include "editors/cxCurrencyEdit.h"

#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "tests/editors/cxEditKeyScript.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

struct TLocaleScope {
  explicit TLocaleScope(Char AThousand = u',') {
    FormatSettings().DecimalSeparator = u'.';
    FormatSettings().ThousandSeparator = AThousand;
  }
  ~TLocaleScope() { FormatSettings() = Saved; }
  TFormatSettings Saved = FormatSettings();
};

struct TTypingCase {
  const char* Name;
  Char Thousand;
  bool UseThousandSeparator;
  const char16_t* EditFormat;
  const char16_t* Script;
  const char16_t* Text;
  Integer Beeps;
};

TEST(CurrencyEditTyping, Characters) {
  const TTypingCase cases[] = {
      {"two decimals", u',', false, u"", u"1.234", u"1.23", 1},
      {"a comma is the decimal separator", u',', false, u"", u"1,5", u"1.5", 0},
      {"a minus into an empty text", u',', false, u"", u"-", u"-", 0},
      {"negative amount", u',', false, u"", u"-12.50", u"-12.50", 0},
      {"an exponent that does not read is refused", u',', false, u"", u"1.5E", u"1.5", 1},
      {"a second decimal separator", u',', false, u"", u"1.2.3", u"1.23", 1},
      {"letters", u',', false, u"", u"12a", u"12", 1},
      {"thousand separator off", u'\'', false, u"", u"1'000", u"1000", 1},
      {"thousand separator on, regrouped", u',', true, u"", u"1234.5", u"1,234.5", 0},
      {"thousand separator typed", u'\'', true, u"", u"1'234", u"1'234", 0},
      {"an edit format lets any character in", u',', false, u"0.00", u"ab", u"ab", 0},
  };
  for (const TTypingCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLocaleScope locale(c.Thousand);
    TcxCurrencyEditProperties properties(nullptr);
    properties.SetBeepOnError(true);
    properties.SetUseThousandSeparator(c.UseThousandSeparator);
    properties.SetEditFormat(c.EditFormat);
    TcxCurrencyEditModel model(&properties);
    RunKeyScript(model, c.Script);
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.BeepCount(), c.Beeps);
  }
}

TEST(CurrencyEditValues, TextToValueAndBack) {
  TLocaleScope locale;
  struct {
    bool Nullable;
    const char16_t* Text;
    bool IsNull;
    double Value;
  } const toValue[] = {
      {true, u"", true, 0},        {false, u"", false, 0},          {true, u"(none)", true, 0},
      {false, u"(none)", false, 0}, {true, u"1,234.5", false, 1234.5}, {true, u"-0.25", false, -0.25},
  };
  TcxCurrencyEditProperties properties(nullptr);
  properties.SetNullString(u"(none)");
  properties.SetDisplayFormat(u"0.00");
  for (const auto& c : toValue) {
    properties.SetNullable(c.Nullable);
    const Variant v = properties.DisplayToEditValue(c.Text);
    SCOPED_TRACE(Utf8(c.Text) + (c.Nullable ? " nullable" : ""));
    ASSERT_EQ(VarIsNull(v), c.IsNull);
    if (!c.IsNull) {
      EXPECT_DOUBLE_EQ(v.AsDouble(), c.Value);
    }
  }
  struct {
    bool Nullable;
    Variant Value;
    bool Editing;
    const char* Text;
  } const toText[] = {
      {true, Null(), false, "(none)"}, {false, Null(), false, "0.00"}, {true, Null(), true, ""},
      {true, Variant(u""), false, "(none)"}, {true, Variant(12.5), false, "12.50"}, {true, Variant(12.5), true, "12.5"},
      {true, Variant(u"abc"), false, "abc"}, {true, Variant(u"abc"), true, ""},
  };
  for (const auto& c : toText) {
    properties.SetNullable(c.Nullable);
    EXPECT_EQ(Utf8(properties.EditValueToText(c.Value, c.Editing)), c.Text) << Utf8(VarToStr(c.Value));
  }
}

TEST(CurrencyEditValidation, NonNumericTextIsRefused) {
  TLocaleScope locale;
  struct {
    const char16_t* Text;
    double Min, Max;
    const char* ErrorText;  // nullptr: no error
  } const cases[] = {
      {u"abc", 0, 0, "Could not convert to numeric value"},
      {u"12abc", 0, 0, "Could not convert to numeric value"},
      {u"nan", 0, 0, "Could not convert to numeric value"},
      {u"1e400", 0, 0, "Could not convert to numeric value"},
      {u"", 0, 0, nullptr},
      {u"(none)", 0, 0, nullptr},
      {u"1,234.5", 0, 0, nullptr},
      {u"150", 0, 100, "Value out of bounds"},
  };
  for (const auto& c : cases) {
    TcxCurrencyEditProperties properties(nullptr);
    properties.SetNullString(u"(none)");
    properties.SetMinValue(c.Min);
    properties.SetMaxValue(c.Max);
    Variant display(c.Text);
    TCaption errorText;
    bool error = true;  // the check starts from a cleared flag
    properties.CheckDisplayValue(display, errorText, error, nullptr);
    SCOPED_TRACE(Utf8(c.Text));
    EXPECT_EQ(error, c.ErrorText != nullptr);
    if (c.ErrorText) {
      EXPECT_EQ(Utf8(errorText), c.ErrorText);
    }
  }
}

// Pasted text that is no number keeps the old value; clearing stores null.
TEST(CurrencyEditControl, PastedTextIsValidatedNotStoredAsNull) {
  TLocaleScope locale;
  TTestForm window(200, 80);
  TForm* form = window.Form;
  auto* edit = window.Place<TcxCurrencyEdit>(10, 10, 120, 24);
  form->Show();
  edit->SetEditValue(Variant(5.0));
  edit->SetFocus();
  Application->ProcessMessages();

  edit->SelectWholeText();
  edit->Model()->PasteText(u"abc");
  EXPECT_FALSE(edit->ValidateEdit(false));
  EXPECT_EQ(Utf8(edit->Text()), "abc");
  EXPECT_EQ(edit->EditValue().AsDouble(), 5.0);

  edit->SelectWholeText();
  edit->Model()->PasteText(u"7.25");
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_EQ(edit->EditValue().Type(), varDouble);
  EXPECT_EQ(edit->EditValue().AsDouble(), 7.25);

  edit->SelectWholeText();
  Char back = 8;
  edit->Model()->KeyPress(back);
  ASSERT_TRUE(edit->ValidateEdit(false));
  EXPECT_TRUE(VarIsNull(edit->EditValue()));
}

}  // namespace
