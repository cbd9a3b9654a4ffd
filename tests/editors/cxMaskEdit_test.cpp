// The masked editor's edit model without a window: key sequences through
// the standard, regular-expression and extended regular-expression modes
// (text, caret, completeness, beeps), clipboard and input-method text
// through a mask, validation and mask errors.
#include "editors/cxMaskEdit.h"

#include <gtest/gtest.h>

#include "tests/editors/cxEditKeyScript.h"

namespace {

// The locale's separators fixed for the duration of a test.
struct TSeparatorsScope {
  TSeparatorsScope() {
    FormatSettings().DateSeparator = u'/';
    FormatSettings().TimeSeparator = u':';
  }
  ~TSeparatorsScope() { FormatSettings() = Saved; }
  TFormatSettings Saved = FormatSettings();
};

struct TScriptCase {
  TcxEditMaskKind Kind;
  const char16_t* Mask;
  const char16_t* Script;
  const char16_t* Text;
  Integer Caret;  // where the next character goes (SelStart)
  bool Complete;
  Integer Beeps;
};

void RunCases(std::initializer_list<TScriptCase> ACases) {
  TSeparatorsScope separators;
  for (const TScriptCase& c : ACases) {
    TcxMaskEditProperties properties(nullptr);
    properties.SetBeepOnError(true);
    properties.SetMaskKind(c.Kind);
    properties.SetEditMask(c.Mask);
    TcxMaskEditModel model(&properties);
    RunKeyScript(model, c.Script);
    SCOPED_TRACE(Utf8(c.Mask) + " <- " + Utf8(c.Script));
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.SelStart(), c.Caret);
    EXPECT_EQ(model.IsTextValid(), c.Complete);
    EXPECT_EQ(model.BeepCount(), c.Beeps);
  }
}

// ---- Standard mode ---------------------------------------------------------------------

TEST(MaskEditStandard, KeySequences) {
  RunCases({
      // telephone
      {emkStandard, u"(000)000-0000;1;_", u"", u"(___)___-____", 1, false, 0},
      {emkStandard, u"(000)000-0000;1;_", u"1234567890", u"(123)456-7890", 13, true, 0},
      {emkStandard, u"(000)000-0000;1;_", u"a1b2", u"(12_)___-____", 3, false, 2},
      {emkStandard, u"(000)000-0000;1;_", u"(123)456", u"(123)456-____", 9, false, 0},
      // time: the caret skips the literal, Backspace blanks the digit before it
      {emkStandard, u"00:00", u"1234", u"12:34", 5, true, 0},
      {emkStandard, u"00:00", u"123⌫", u"12:__", 3, false, 0},
      {emkStandard, u"00:00", u"12:34", u"12:34", 5, true, 0},
      {emkStandard, u"00:00", u"1234⇤5", u"52:34", 1, true, 0},
      {emkStandard, u"00:00", u"1234⇤⌦", u"_2:34", 0, false, 0},
      {emkStandard, u"00:00", u"12⇤→→", u"12:__", 3, false, 0},
      {emkStandard, u"00:00", u"12←←", u"12:__", 0, false, 0},
      {emkStandard, u"00:00", u"⌫", u"__:__", 0, false, 1},  // nothing before the caret
      {emkStandard, u"00:00", u"12345", u"12:34", 5, true, 1},
      // date
      {emkStandard, u"00/00/0000", u"01022024", u"01/02/2024", 10, true, 0},
      {emkStandard, u"00/00/0000", u"0102⌫⌫⌫", u"0_/__/____", 1, false, 0},
      // letters of any script; case conversion
      {emkStandard, u"LL", u"中文", u"中文", 2, true, 0},
      {emkStandard, u">LL", u"ab", u"AB", 2, true, 0},
      {emkStandard, u"00", u"中1", u"1_", 1, false, 1},
      {emkStandard, u"LL", u"\U00020000中", u"中_", 1, false, 1},  // a pair never goes into one position
  });
}

TEST(MaskEditStandard, ValueKeepsLiteralsByDefaultAndBlanksAsSpaces) {
  TSeparatorsScope separators;
  TcxMaskEditProperties properties(nullptr);
  properties.SetEditMask(u"00:00");
  TcxMaskEditModel model(&properties);
  RunKeyScript(model, u"123");
  EXPECT_EQ(Utf8(model.Value()), "12:3 ");
  properties.SetEditMask(u"00:00;0;_");
  model.PropertiesChanged();
  EXPECT_EQ(Utf8(model.Text()), "12:3_");
  EXPECT_EQ(Utf8(model.Value()), "123 ");
}

TEST(MaskEditStandard, ValidationNeedsACompleteTextUnlessBlanksAreIgnored) {
  struct TCase {
    bool IgnoreMaskBlank;
    const char16_t* Text;
    bool Error;
  } cases[] = {
      {false, u"12_", true}, {false, u"123", false}, {false, u"___", true},
      {true, u"___", false}, {true, u"12_", true},
  };
  for (const TCase& c : cases) {
    TcxMaskEditProperties properties(nullptr);
    properties.SetEditMask(u"000");
    properties.SetIgnoreMaskBlank(c.IgnoreMaskBlank);
    Variant value{String(c.Text)};
    TCaption errorText;
    bool error = false;
    properties.CheckDisplayValue(value, errorText, error, nullptr);
    SCOPED_TRACE(Utf8(c.Text));
    EXPECT_EQ(error, c.Error);
    if (c.Error) {
      EXPECT_EQ(Utf8(errorText), "The edit value is invalid");
    }
  }
}

// ---- Regular-expression modes ----------------------------------------------------------

TEST(MaskEditRegExpr, KeySequencesInsertAtHeadAndTail) {
  RunCases({
      {emkRegExpr, u"\\d+", u"a", u"", 0, true, 1},
      {emkRegExpr, u"\\d+", u"12⇤x", u"12", 0, true, 1},
      {emkRegExpr, u"\\d+", u"12⇤3", u"312", 1, true, 0},
      {emkRegExpr, u"\\d+", u"123←⌫", u"13", 1, true, 0},
      {emkRegExpr, u"\\d\\d-\\d\\d", u"12-3", u"12-3", 4, false, 0},
      {emkRegExpr, u"\\d\\d-\\d\\d", u"12-34", u"12-34", 5, true, 0},
      {emkRegExpr, u"\\d\\d-\\d\\d", u"12-34⇤⌦", u"", 0, true, 0},  // the rest no longer fits: cut off
      {emkRegExpr, u"\\d\\d-\\d\\d", u"12-34←←←9", u"12-34", 2, true, 1},
      {emkRegExpr, u"ab+", u"ABB", u"abb", 3, true, 0},  // the pattern's case
      {emkRegExpr, u".+", u"中文", u"中文", 2, true, 0},
      {emkRegExpr, u"\\d+", u"1中2", u"12", 2, true, 1},
  });
}

TEST(MaskEditRegExprEx, ForcedCharactersAreTypedAndRemovedWithTheirCharacter) {
  RunCases({
      {emkRegExprEx, u"\\d\\d-\\d\\d", u"12", u"12-", 3, false, 0},
      {emkRegExprEx, u"\\d\\d-\\d\\d", u"12⌫", u"1", 1, false, 0},
      {emkRegExprEx, u"\\d\\d-\\d\\d", u"1234", u"12-34", 5, true, 0},
      {emkRegExprEx, u"\\d\\d-\\d\\d", u"12-34", u"12-34", 5, true, 0},  // the typed hyphen is the forced one
      {emkRegExprEx, u"\\d\\d-\\d\\d", u"1234←←←", u"12-34", 2, true, 0},  // the hyphen is one step
      {emkRegExprEx, u"'AB'\\d", u"", u"AB", 2, true, 0},                  // the forced prefix
      {emkRegExprEx, u"'AB'\\d", u"1⌫", u"AB", 2, true, 0},
      {emkRegExprEx, u"'AB'\\d", u"1⌫⌫", u"AB", 2, true, 1},              // the prefix stays
      {emkRegExprEx, u"'AB'\\d", u"⇤⌦", u"AB", 0, true, 1},
      {emkRegExprEx, u"'AB'\\d", u"⇤7", u"AB7", 3, true, 0},              // typed behind the prefix
  });
}

TEST(MaskEditRegExprEx, TypingOverASelectionFromTheStartKeepsTheForcedPrefix) {
  TcxMaskEditProperties properties(nullptr);
  properties.SetMaskKind(emkRegExprEx);
  properties.SetEditMask(u"'AB'\\d\\d");
  TcxMaskEditModel model(&properties);
  RunKeyScript(model, u"12");
  model.SelectAll();
  RunKeyScript(model, u"9");
  EXPECT_EQ(Utf8(model.Text()), "AB9");
  EXPECT_EQ(model.SelStart(), 3);
}

// ---- Clipboard and input-method text through a mask -----------------------------------

TEST(MaskEditClipboard, PastedTextIsTypedThroughTheMask) {
  TSeparatorsScope separators;
  struct TCase {
    TcxEditMaskKind Kind;
    const char16_t* Mask;
    const char16_t* Pasted;
    const char16_t* Text;
    Integer Beeps;
  } cases[] = {
      {emkStandard, u"00:00", u"1234", u"12:34", 0},
      {emkStandard, u"00:00", u"12:34", u"12:34", 0},
      {emkStandard, u"00:00", u"1x2", u"12:__", 1},  // the refused character is dropped, the rest kept
      {emkRegExpr, u"\\d+", u"x1y2", u"12", 2},
      {emkRegExprEx, u"\\d\\d-\\d\\d", u"1234", u"12-34", 0},
  };
  for (const TCase& c : cases) {
    TcxMaskEditProperties properties(nullptr);
    properties.SetBeepOnError(true);
    properties.SetMaskKind(c.Kind);
    properties.SetEditMask(c.Mask);
    TcxMaskEditModel model(&properties);
    model.PasteText(c.Pasted);
    SCOPED_TRACE(Utf8(c.Mask) + " <- " + Utf8(c.Pasted));
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.BeepCount(), c.Beeps);
  }
}

TEST(MaskEditClipboard, CutBlanksAStandardMaskAndRemovesFromARegularExpression) {
  TSeparatorsScope separators;
  TcxMaskEditProperties properties(nullptr);
  properties.SetEditMask(u"00:00");
  TcxMaskEditModel model(&properties);
  RunKeyScript(model, u"1234");
  model.SetSelection(0, 2);
  EXPECT_EQ(Utf8(model.CutText()), "12");
  EXPECT_EQ(Utf8(model.Text()), "__:34");

  properties.SetMaskKind(emkRegExpr);
  properties.SetEditMask(u"\\d+");
  model.PropertiesChanged();
  model.SetText(u"1234");
  model.SetSelection(1, 2);
  EXPECT_EQ(Utf8(model.CutText()), "23");
  EXPECT_EQ(Utf8(model.Text()), "14");
}

TEST(MaskEditClipboard, InputMethodCommitKeepsTheAcceptedCharacters) {
  TcxMaskEditProperties properties(nullptr);
  properties.SetBeepOnError(true);
  properties.SetEditMask(u"LL-00");
  TcxMaskEditModel model(&properties);
  model.CommitText(u"北京x12");
  EXPECT_EQ(Utf8(model.Text()), Utf8(u"北京-12"));
  EXPECT_EQ(model.BeepCount(), 1);
  EXPECT_TRUE(model.IsTextValid());
}

// ---- Mask settings ---------------------------------------------------------------------

TEST(MaskEditProperties, ABadRegularExpressionRaisesAndKeepsTheOldMask) {
  struct TCase {
    const char16_t* Mask;
    const char* Line;
  } cases[] = {
      {u"\\d{2", "Missing '}'"},
      {u"*", "Illegal quantifier '*'"},
  };
  for (const TCase& c : cases) {
    TcxMaskEditProperties properties(nullptr);
    properties.SetMaskKind(emkRegExpr);
    properties.SetEditMask(u"\\d+");
    SCOPED_TRACE(Utf8(c.Mask));
    try {
      properties.SetEditMask(c.Mask);
      ADD_FAILURE() << "the mask was taken";
    } catch (const EcxMaskEditError& e) {
      const std::string text = Utf8(e.Message);
      EXPECT_EQ(text.rfind("Regular expression errors:\r\n", 0), 0u) << text;
      EXPECT_NE(text.find(c.Line), std::string::npos) << text;
    }
    EXPECT_EQ(Utf8(properties.EditMask()), "\\d+");
  }
}

TEST(MaskEditStandard, ACharacterTypedOverASelectionBlanksItOnlyWhenTaken) {
  TSeparatorsScope separators;
  struct TCase {
    Char Typed;
    const char16_t* Text;
    Integer Beeps;
  } cases[] = {
      {u'x', u"12:34", 1},  // refused: the selection stays as it was
      {u'5', u"5_:34", 0},  // taken: the rest of the selection is blanked
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(Utf8(String(1, c.Typed)));
    TcxMaskEditProperties properties(nullptr);
    properties.SetBeepOnError(true);
    properties.SetEditMask(u"00:00");
    TcxMaskEditModel model(&properties);
    RunKeyScript(model, u"1234");
    model.SetSelection(0, 2);
    Char key = c.Typed;
    model.KeyPress(key);
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.BeepCount(), c.Beeps);
  }
}

TEST(MaskEditProperties, AKindUnderWhichTheMaskDoesNotCompileRaisesAndKeepsTheOldKind) {
  TSeparatorsScope separators;
  TcxMaskEditProperties properties(nullptr);
  properties.SetEditMask(u"00{2");  // a standard mask; no regular expression ("{" opens a count)
  EXPECT_THROW(properties.SetMaskKind(emkRegExpr), EcxMaskEditError);
  EXPECT_EQ(properties.MaskKind(), emkStandard);
  // Nothing stale is left behind: the mask still works and validates.
  TcxMaskEditModel model(&properties);
  RunKeyScript(model, u"12");
  EXPECT_EQ(Utf8(model.Text()), "12{2");
  Variant display(String(u"12{2"));
  TCaption error;
  bool failed = false;
  EXPECT_NO_THROW(properties.CheckDisplayValue(display, error, failed, nullptr));
  EXPECT_FALSE(failed);
  // A kind the mask compiles under is taken.
  properties.SetEditMask(u"\\d\\d");
  EXPECT_NO_THROW(properties.SetMaskKind(emkRegExpr));
  EXPECT_EQ(properties.MaskKind(), emkRegExpr);
}

TEST(MaskEditProperties, CaseInsensitiveIsForcedByCharCaseAndMasksHaveNoMaxLength) {
  TcxMaskEditProperties properties(nullptr);
  properties.SetCharCase(ecUpperCase);
  properties.SetCaseInsensitive(false);
  EXPECT_TRUE(properties.CaseInsensitive());
  properties.SetMaxLength(4);
  properties.SetEditMask(u"000000");
  EXPECT_EQ(properties.MaxLength(), 0);
  properties.SetMaskKind(emkRegExpr);
  properties.SetEditMask(u"  ");
  EXPECT_FALSE(properties.IsMasked());
}

// A data field's answers: its edit mask.
class TFieldProvider : public TcxCustomEditDefaultValuesProvider {
  KORVANE_CLASS(TFieldProvider, TcxCustomEditDefaultValuesProvider)
  TFieldProvider() : TcxCustomEditDefaultValuesProvider(nullptr) {}
  String ProvideEditMask() override { return u"000"; }
};

TEST(MaskEditProperties, ABlankStandardMaskTakesTheFieldsMaskButABlankRegularExpressionMeansNone) {
  TFieldProvider provider;
  TcxMaskEditProperties properties(nullptr);
  properties.SetDefaultValuesProvider(&provider);
  properties.SetEditMask(u" \t");
  EXPECT_EQ(Utf8(properties.EditMask()), "000");
  TcxMaskEditModel model(&properties);
  RunKeyScript(model, u"1a2");
  EXPECT_EQ(Utf8(model.Text()), "12_");
  properties.SetMaskKind(emkRegExpr);
  EXPECT_FALSE(properties.IsMasked());
  properties.SetDefaultValuesProvider(nullptr);
}

TEST(MaskEditProperties, ARegionalFormatChangeRereadsTheSeparatorsInTheMask) {
  TSeparatorsScope separators;
  TcxMaskEditProperties properties(nullptr);
  properties.SetEditMask(u"00:00");
  Integer changes = 0;
  properties.OnPropertiesChanged = TNotifyEvent(&changes, [&changes](TObject*) { ++changes; });
  EXPECT_EQ(Utf8(properties.FormatText(u"1234", true)), "12:34");
  FormatSettings().TimeSeparator = u'.';
  GetFormatController()->UpdateFormats();
  EXPECT_EQ(Utf8(properties.FormatText(u"1234", true)), "12.34");
  EXPECT_GE(changes, 1);
  properties.OnPropertiesChanged = nullptr;
}

TEST(MaskEditProperties, KindsRegisterWithTheirEditorsAndButtonEditStartsWithAnEllipsis) {
  cxTextAndMaskEditInitialize();
  cxTextAndMaskEditInitialize();  // a second call adds nothing
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  struct TCase {
    const char16_t* ClassName;
    const char* Text;
    TcxCustomEditClass Editor;
  } cases[] = {
      {u"TcxTextEditProperties", "TextEdit|Represents a single line text editor", TcxTextEdit::StaticClass()},
      {u"TcxMaskEditProperties", "MaskEdit|Represents a generic masked edit control.", TcxMaskEdit::StaticClass()},
      {u"TcxButtonEditProperties", "ButtonEdit|Represents an edit control with embedded buttons",
       TcxButtonEdit::StaticClass()},
  };
  for (const TCase& c : cases) {
    auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(c.ClassName));
    ASSERT_NE(cls, nullptr) << Utf8(c.ClassName);
    EXPECT_EQ(Utf8(registry->Descriptions(registry->IndexOfClass(cls))), c.Text);
    EXPECT_EQ(cls->GetEditorClass(), c.Editor);
  }
  cxTextAndMaskEditFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxMaskEditProperties"), nullptr);

  TcxButtonEditProperties properties(nullptr);
  ASSERT_EQ(properties.Buttons()->Count(), 1);
  EXPECT_EQ(properties.Buttons()->GetButton(0)->Kind(), bkEllipsis);
}

}  // namespace
