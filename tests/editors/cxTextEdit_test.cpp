// The text editor's edit model without a window: maximum length, case,
// password echo, numeric texts in the locale's separators, the range check,
// thousand regrouping while typing, input-method commits, and completion and
// stepping over the lookup items.
#include "editors/cxTextEdit.h"

#include <gtest/gtest.h>

#include "tests/editors/cxEditKeyScript.h"

namespace {

// Numeric properties as the numeric editors declare them.
class TNumericProperties : public TcxCustomTextEditProperties {
  KORVANE_CLASS(TNumericProperties, TcxCustomTextEditProperties)
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  bool IsNumeric() const override { return true; }
  bool UsesThousandSeparators() const override { return Grouping; }
  bool Grouping = true;
};

// A list editor of the chosen editing style.
class TListProperties : public TcxCustomTextEditProperties {
  KORVANE_CLASS(TListProperties, TcxCustomTextEditProperties)
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  TcxEditEditingStyle EditingStyle() const override { return Style; }
  TcxEditEditingStyle Style = esEditing;
};

TFormatSettings CommaDecimalLocale() {
  TFormatSettings locale = TFormatSettings::Invariant();
  locale.ThousandSeparator = u'.';
  locale.DecimalSeparator = u',';
  return locale;
}

// ---- Insertion with a maximum length ---------------------------------------------------

TEST(TextEditModel, PasteAndTypingRespectMaxLengthWithoutSplittingPairs) {
  struct TCase {
    Integer MaxLength;
    const char16_t* Text;
    Integer SelStart, SelLength;
    const char16_t* Pasted;
    const char16_t* Expected;
    Integer Caret;
    bool Beeps;
  } cases[] = {
      {5, u"abc", 3, 0, u"defgh", u"abcde", 5, false},
      {5, u"abcde", 5, 0, u"x", u"abcde", 5, true},       // nothing fits: refused
      {5, u"abcde", 1, 2, u"XYZ", u"aXYde", 3, false},    // the selection makes room
      {0, u"ab", 1, 0, u"123", u"a123b", 4, false},       // 0: no limit
      {3, u"ab", 2, 0, u"\U0001F600", u"ab", 2, true},    // half a pair never fits
      {4, u"ab", 2, 0, u"\U0001F600x", u"ab\U0001F600", 4, false},
  };
  for (const TCase& c : cases) {
    TcxTextEditProperties properties(nullptr);
    properties.SetMaxLength(c.MaxLength);
    properties.SetBeepOnError(true);
    TcxTextEditModel model(&properties);
    model.SetText(c.Text);
    model.SetSelection(c.SelStart, c.SelLength);
    model.PasteText(c.Pasted);
    SCOPED_TRACE(Utf8(c.Text) + " + " + Utf8(c.Pasted));
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Expected));
    EXPECT_EQ(model.SelStart(), c.Caret);
    EXPECT_EQ(model.BeepCount(), c.Beeps ? 1 : 0);
  }
}

TEST(TextEditModel, NegativeMaxLengthIsNoLimit) {
  TcxTextEditProperties properties(nullptr);
  properties.SetMaxLength(-4);
  EXPECT_EQ(properties.MaxLength(), 0);
  EXPECT_TRUE(properties.IsMaxLengthAssigned());
}

TEST(TextEditModel, KeyScriptsEditTheText) {
  struct TCase {
    const char16_t* Script;
    const char16_t* Text;
    Integer Caret;
  } cases[] = {
      {u"abc", u"abc", 3},
      {u"abc⌫", u"ab", 2},
      {u"abc⇤⌦", u"bc", 0},
      {u"abc←←x", u"axbc", 2},
      {u"abc⇤→⌫⇥d", u"bcd", 3},
      {u"a\U0001F600b←⌫", u"ab", 1},  // a pair is stepped over and deleted whole
      {u"a\U0001F600←⌦", u"a", 1},
  };
  for (const TCase& c : cases) {
    TcxTextEditProperties properties(nullptr);
    TcxTextEditModel model(&properties);
    model.CommitText(String());
    RunKeyScript(model, c.Script);
    SCOPED_TRACE(Utf8(c.Script));
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.SelStart() + model.SelLength(), c.Caret);
  }
}

TEST(TextEditModel, ViewStylesOtherThanNormalHideTheCursorAndRefuseTyping) {
  struct TCase {
    TcxTextEditViewStyle Style;
    bool Editable;
  } cases[] = {{vsNormal, true}, {vsHideCursor, false}, {vsButtonsOnly, false}, {vsButtonsAutoWidth, false}};
  for (const TCase& c : cases) {
    TcxTextEditProperties properties(nullptr);
    properties.SetViewStyle(c.Style);
    EXPECT_EQ(properties.ViewStyle(), c.Style);
    EXPECT_EQ(properties.HideCursor(), !c.Editable);
    TcxTextEditModel model(&properties);
    model.PasteText(u"x");
    RunKeyScript(model, u"y");
    EXPECT_EQ(Utf8(model.Text()), c.Editable ? "xy" : "");
  }
}

// ---- Case and echo ---------------------------------------------------------------------

TEST(TextEditModel, CharCaseConvertsTypedPastedAndShownText) {
  TcxTextEditProperties properties(nullptr);
  properties.SetCharCase(ecUpperCase);
  TcxTextEditModel model(&properties);
  RunKeyScript(model, u"abc");
  model.PasteText(u"äx");
  EXPECT_EQ(Utf8(model.Text()), Utf8(u"ABCÄX"));
  properties.SetCharCase(ecLowerCase);
  EXPECT_EQ(Utf8(properties.ApplyEchoAndCase(u"MiXeD")), "mixed");
}

TEST(TextEditModel, PasswordEchoShowsOneCharacterPerCharacterAndHidesTheClipboard) {
  TcxTextEditProperties properties(nullptr);
  properties.SetEchoMode(eemPassword);
  TcxTextEditModel model(&properties);
  model.CommitText(u"a\U0001F600中");
  EXPECT_EQ(Utf8(model.DisplayText()), "***");  // PasswordChar #0 means "*"
  properties.SetPasswordChar(u'#');
  EXPECT_EQ(Utf8(model.DisplayText()), "###");
  model.SelectAll();
  EXPECT_EQ(Utf8(model.CopyText()), "");
  EXPECT_EQ(Utf8(model.CutText()), "");
  EXPECT_EQ(Utf8(model.Text()), Utf8(u"a\U0001F600中"));  // a cut takes nothing away
}

// ---- Input-method commits -------------------------------------------------------------

TEST(TextEditModel, InputMethodCommitTypesEachCharacterAndKeepsWhatFits) {
  TcxTextEditProperties properties(nullptr);
  properties.SetBeepOnError(true);
  properties.SetMaxLength(3);
  TcxTextEditModel model(&properties);
  model.CommitText(u"中文输入");
  EXPECT_EQ(Utf8(model.Text()), Utf8(u"中文输"));
  EXPECT_EQ(model.SelStart(), 3);
  EXPECT_EQ(model.BeepCount(), 1);  // the refused fourth character
}

// ---- Numeric texts ---------------------------------------------------------------------

TEST(TextEditNumeric, ValuesBecomeTextsInTheLocalesSeparators) {
  const TFormatSettings locale = CommaDecimalLocale();
  TNumericProperties properties(nullptr);
  properties.SetLocale(&locale);
  struct TCase {
    Variant Value;
    bool Editing;
    const char16_t* DisplayFormat;
    const char16_t* Expected;
  } cases[] = {
      {Variant(1234567.5), true, u"", u"1.234.567,5"},
      {Variant(1234567.5), false, u"", u"1234567,5"},
      {Variant(1234567.5), false, u"#,##0.00", u"1.234.567,50"},
      {Variant(String(u"1.234,5")), true, u"", u"1.234,5"},
      {Variant(-42), true, u"", u"-42"},
      {Null(), true, u"", u""},
      {Variant(String()), false, u"0.00", u""},
  };
  for (const TCase& c : cases) {
    properties.SetDisplayFormat(c.DisplayFormat);
    SCOPED_TRACE(Utf8(c.Expected));
    EXPECT_EQ(Utf8(properties.FormatEditValue(c.Value, c.Editing)), Utf8(c.Expected));
  }
  try {
    properties.FormatEditValue(Variant(String(u"twelve")), true);
    FAIL() << "a text that is no number converted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(Utf8(e.Message), "Could not convert to numeric value");
  }
}

TEST(TextEditNumeric, RangeIsCheckedOnlyWhenMaxExceedsMin) {
  TNumericProperties properties(nullptr);
  struct TCase {
    double Min, Max;
    const char16_t* Text;
    bool Error;
  } cases[] = {
      {10, 20, u"25", true}, {10, 20, u"9.5", true}, {10, 20, u"15", false},
      {10, 20, u"20", false}, {0, 0, u"1000", false},  // no range set
      {10, 20, u"", false},                             // an empty value is not out of range
  };
  for (const TCase& c : cases) {
    properties.RestoreAssignedValues();
    properties.SetMinValue(c.Min);
    properties.SetMaxValue(c.Max);
    Variant value{String(c.Text)};
    TCaption errorText;
    bool error = false;
    properties.CheckDisplayValue(value, errorText, error, nullptr);
    SCOPED_TRACE(Utf8(c.Text));
    EXPECT_EQ(error, c.Error);
    if (c.Error) {
      EXPECT_EQ(Utf8(errorText), "Value out of bounds");
    }
  }
  properties.SetMaxValue(20);
  properties.SetMinValue(10);
  EXPECT_DOUBLE_EQ(properties.ClampToValueRange(Variant(25.0)).AsDouble(), 20.0);
  EXPECT_DOUBLE_EQ(properties.ClampToValueRange(Variant(3.0)).AsDouble(), 10.0);
}

TEST(TextEditNumeric, MinAndMaxSettersKeepTheRangeOrdered) {
  TNumericProperties properties(nullptr);
  properties.SetMaxValue(5);
  properties.SetMinValue(10);
  EXPECT_DOUBLE_EQ(properties.MinValue(), 5);
  properties.SetMaxValue(1);
  EXPECT_DOUBLE_EQ(properties.MaxValue(), 5);
}

TEST(TextEditNumeric, RegroupingPutsSeparatorsOnlyIntoTheIntegralDigits) {
  const TFormatSettings invariant = TFormatSettings::Invariant();
  struct TCase {
    const char16_t* Text;
    const char16_t* Expected;  // nullptr: refused
  } cases[] = {
      {u"1234567", u"1,234,567"},          {u"-123", u"-123"},
      {u"-1234", u"-1,234"},               {u" 12345.678e3 ", u" 12,345.678e3 "},
      {u"1,2,3,4", u"1,234"},              {u"abc", nullptr},
      {u"", nullptr},                      {u"1.2.3", nullptr},
  };
  for (const TCase& c : cases) {
    String text = c.Text;
    SCOPED_TRACE(Utf8(c.Text));
    ASSERT_EQ(cxRegroupThousands(text, invariant), c.Expected != nullptr);
    if (c.Expected) {
      EXPECT_EQ(Utf8(text), Utf8(c.Expected));
    }
  }
}

TEST(TextEditNumeric, TypingRegroupsAndKeepsTheCaretAmongTheSameDigits) {
  const TFormatSettings invariant = TFormatSettings::Invariant(), comma = CommaDecimalLocale();
  struct TCase {
    const TFormatSettings* Locale;
    const char16_t* Script;
    const char16_t* Text;
    Integer Caret;
  } cases[] = {
      {&invariant, u"1234567", u"1,234,567", 9},
      {&invariant, u"-123", u"-123", 4},
      {&invariant, u"12345⇤→9", u"192,345", 2},
      {&invariant, u"1234⌫", u"123", 3},
      {&invariant, u"1234.56", u"1,234.56", 8},
      {&comma, u"1234,5", u"1.234,5", 7},
  };
  for (const TCase& c : cases) {
    TNumericProperties properties(nullptr);
    properties.SetLocale(c.Locale);
    TcxTextEditModel model(&properties);
    RunKeyScript(model, c.Script);
    SCOPED_TRACE(Utf8(c.Script));
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.SelStart(), c.Caret);
  }
}

TEST(TextEditNumeric, AnUnfocusedEditorIsNotRegrouped) {
  TNumericProperties properties(nullptr);
  TcxTextEditModel model(&properties);
  model.SetFocused(false);
  RunKeyScript(model, u"12345");
  EXPECT_EQ(Utf8(model.Text()), "12345");
}

// ---- Lookup items ----------------------------------------------------------------------

void SetItems(TcxCustomTextEditProperties& AProperties, std::initializer_list<const char16_t*> AItems) {
  AProperties.LookupItems()->Clear();
  for (const char16_t* item : AItems) AProperties.LookupItems()->Add(item);
}

TEST(TextEditLookup, TypingCompletesFromTheItemsInTheItemsCase) {
  struct TCase {
    TcxEditEditingStyle Style;
    const char16_t* Script;
    const char16_t* Text;
    Integer SelStart, SelLength;
  } cases[] = {
      {esEditing, u"a", u"Apple", 1, 4},
      {esEditing, u"apr", u"apricot", 3, 4},
      {esEditing, u"AP", u"Apple", 2, 3},
      {esEditing, u"x", u"x", 1, 0},           // free editing keeps any text
      {esEditing, u"apx", u"Apx", 3, 0},       // typed over the completion
      {esEditing, u"apr⌫", u"Apple", 2, 3},    // Backspace searches the shorter text again
      {esEditing, u"中", u"中国", 1, 1},
      {esFixedList, u"z", u"", 0, 0},          // a character that starts no item is swallowed
      {esFixedList, u"b", u"Banana", 1, 5},
      {esFixedList, u"bz", u"Banana", 1, 5},
      {esEditList, u"az", u"Apple", 1, 4},
  };
  for (const TCase& c : cases) {
    TListProperties properties(nullptr);
    properties.Style = c.Style;
    SetItems(properties, {u"Apple", u"apricot", u"Banana", u"中国"});
    TcxTextEditModel model(&properties);
    RunKeyScript(model, c.Script);
    SCOPED_TRACE(Utf8(c.Script));
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.SelStart(), c.SelStart);
    EXPECT_EQ(model.SelLength(), c.SelLength);
  }
}

TEST(TextEditLookup, StepsMoveByItemsAndPages) {
  struct TCase {
    Integer From;
    TcxLookupStep Step;
    bool Wrap;
    Integer To;
  } cases[] = {
      {0, lsPageForward, false, 7},  {15, lsPageForward, false, 19}, {-1, lsPageForward, false, 7},
      {3, lsPageBack, false, 0},     {12, lsPageBack, false, 5},     {0, lsPageBack, true, 19},
      {19, lsPageForward, true, 0},  {19, lsNext, false, 19},        {19, lsNext, true, 0},
      {0, lsPrevious, true, 19},     {5, lsFirst, false, 0},         {5, lsLast, false, 19},
  };
  TcxTextEditProperties properties(nullptr);
  for (Integer i = 0; i < 20; ++i) properties.LookupItems()->Add(u"item" + IntToStr(i));
  TcxCustomTextEditLookupData data(&properties);
  for (const TCase& c : cases) {
    data.SelectItemIndex(c.From);
    data.StepLookupItem(c.Step, c.Wrap);
    SCOPED_TRACE(std::to_string(c.From) + " step " + std::to_string(c.Step));
    EXPECT_EQ(data.CurrentIndex(), c.To);
  }
  data.SelectItemIndex(25);  // out of range: ignored
  EXPECT_EQ(data.CurrentIndex(), 19);
}

TEST(TextEditLookup, KeysStepThroughTheItemsWhenTheEditorAllowsIt) {
  TcxTextEditProperties properties(nullptr);
  SetItems(properties, {u"one", u"two", u"three"});
  TcxTextEditModel model(&properties);
  Word down = VK_DOWN;
  model.KeyDown(down, 0);
  EXPECT_EQ(Utf8(model.Text()), "");  // plain text editors do not step
  model.SetAllowsLookupStepping(true);
  for (Word key : {VK_DOWN, VK_DOWN}) model.KeyDown(key, 0);
  EXPECT_EQ(Utf8(model.Text()), "two");
  EXPECT_EQ(model.SelLength(), 3);
  Word last = VK_NEXT;
  model.KeyDown(last, ssCtrl);
  EXPECT_EQ(Utf8(model.Text()), "three");
  Word up = VK_UP;
  model.KeyDown(up, 0);
  EXPECT_EQ(Utf8(model.Text()), "two");
  EXPECT_EQ(up, 0);
}

TEST(TextEditLookup, ListStylesAcceptOnlyItems) {
  TListProperties properties(nullptr);
  properties.Style = esEditList;
  SetItems(properties, {u"Apple"});
  String text = u"APPLE";
  EXPECT_TRUE(properties.IsDisplayValueAcceptable(text));
  EXPECT_EQ(Utf8(text), "Apple");
  text = u"Pear";
  EXPECT_FALSE(properties.IsDisplayValueAcceptable(text));
  text = String();
  EXPECT_TRUE(properties.IsDisplayValueAcceptable(text));
  // A password editor gets the item's text back, not its echo.
  properties.SetEchoMode(eemPassword);
  text = u"apple";
  EXPECT_TRUE(properties.IsDisplayValueAcceptable(text));
  EXPECT_EQ(Utf8(text), "Apple");
}

TEST(TextEditLookup, ACopyKeepsTheItemsAndTheirOrderRule) {
  for (const bool sorted : {false, true}) {
    SCOPED_TRACE(sorted);
    TListProperties source(nullptr);
    source.SetLookupItemsSorted(sorted);
    SetItems(source, {u"Pear", u"Apple", u"Fig"});
    TListProperties copy(nullptr);
    copy.SetLookupItemsSorted(!sorted);
    copy.Assign(&source);
    EXPECT_EQ(copy.LookupItemsSorted(), sorted);
    ASSERT_EQ(copy.LookupItems()->Count(), 3);
    for (Integer i = 0; i < 3; ++i) EXPECT_EQ(Utf8(copy.LookupItems()->Strings(i)), Utf8(source.LookupItems()->Strings(i)));
  }
}

}  // namespace
