#include "editors/cxStandardMask.h"

#include <gtest/gtest.h>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"

namespace {

std::string Utf8(const String& s) { return StringToUTF8(s); }

// Separators of a fixed locale for the duration of a test.
struct TSeparatorsScope {
  TSeparatorsScope(Char ADate, Char ATime) {
    FormatSettings().DateSeparator = ADate;
    FormatSettings().TimeSeparator = ATime;
  }
  ~TSeparatorsScope() { FormatSettings() = Saved; }
  TFormatSettings Saved = FormatSettings();
};

// ---- Fitting, value and completeness --------------------------------------------------

struct TMaskCase {
  const char16_t* Mask;
  Char DateSeparator;
  const char16_t* Input;     // fitted with FitText
  const char16_t* Picture;   // the fitted text
  const char16_t* Value;     // ExtractValue of the picture
  bool Complete;             // IsComplete of the picture
};

const TMaskCase MaskCases[] = {
    // Telephone: literals kept in the value, underscores as blanks.
    {u"!(999) 000-0000;1;_", u'/', u"5551234567", u"(555) 123-4567", u"(555) 123-4567", true},
    {u"!(999) 000-0000;1;_", u'/', u"", u"(___) ___-____", u"(   )    -    ", false},
    {u"!(999) 000-0000;1;_", u'/', u"(555) 123-4567", u"(555) 123-4567", u"(555) 123-4567", true},
    // Date-style: "/" follows the locale; literals dropped from the value.
    {u"99/99/99;0;_", u'/', u"010203", u"01/02/03", u"010203", true},
    {u"99/99/99;0;_", u'.', u"010203", u"01.02.03", u"010203", true},
    {u"99/99/99;0;_", u'-', u"01", u"01-__-__", u"01    ", true},
    // Case conversion: ">" upper, "<" lower, "<>" stops converting.
    {u">LL", u'/', u"ab", u"AB", u"AB", true},
    {u">L<>L", u'/', u"ab", u"Ab", u"Ab", true},
    {u"<LL", u'/', u"AB", u"ab", u"ab", true},
    {u">LLL", u'/', u"mär", u"MÄR", u"MÄR", true},
    // Optional against required places.
    {u"99", u'/', u"", u"__", u"  ", true},
    {u"00", u'/', u"", u"__", u"  ", false},
    {u"00", u'/', u"12", u"12", u"12", true},
    {u"00", u'/', u"1a2", u"12", u"12", true},  // the letter fits nowhere
    {u"###", u'/', u"+1-x", u"+1-", u"+1-", true},
    // A blank character or space leaves the next free place blank.
    {u"00;1;*", u'/', u"1 2", u"1*", u"1 ", false},
    {u"99;1;*", u'/', u"*2", u"*2", u" 2", true},
    // Suffix forms: flag alone; ";" elsewhere is a literal; trailing "\" dropped.
    {u"00-0;0", u'/', u"123", u"12-3", u"123", true},
    {u"0;x0", u'/', u"12", u"1;x2", u"1;x2", true},
    {u"0\\", u'/', u"5", u"5", u"5", true},
    {u"\\0\\90", u'/', u"7", u"097", u"097", true},
    // Any script: letters and printable characters of Chinese text.
    {u"LL", u'/', u"中文", u"中文", u"中文", true},
    {u"CCc", u'/', u"地质", u"地质_", u"地质 ", true},
    {u"AAA", u'/', u"a1中", u"a1中", u"a1中", true},
    {u"LLL", u'/', u"a1,。b", u"ab_", u"ab ", false},
};

TEST(cxStandardMaskTable, FitExtractAndComplete) {
  for (const TMaskCase& Case : MaskCases) {
    SCOPED_TRACE(Utf8(Case.Mask) + " <- " + Utf8(Case.Input));
    TSeparatorsScope Scope(Case.DateSeparator, u':');
    TcxStandardMask Mask;
    Mask.SetMask(Case.Mask);
    String Picture = Case.Input;
    Mask.FitText(Picture);
    EXPECT_EQ(Utf8(Picture), Utf8(Case.Picture));
    String Value = Picture;
    Mask.ExtractValue(Value);
    EXPECT_EQ(Utf8(Value), Utf8(Case.Value));
    String Tested = Picture;
    EXPECT_EQ(Mask.IsComplete(Tested), Case.Complete);
  }
}

TEST(cxStandardMaskTable, EmptyPictureAndValueAndSettings) {
  TSeparatorsScope Scope(u'.', u'-');
  struct {
    const char16_t* Mask;
    const char16_t* Picture;
    const char16_t* Value;
    Char Blank;
    bool SaveLiterals;
    bool Exclamation;
  } Cases[] = {
      {u"!99/99 90:09;1;#", u"##.## ##-##", u"  .     -  ", u'#', true, true},
      {u"99/99 90:09;0;#", u"##.## ##-##", u"        ", u'#', false, false},
      {u"00;1", u"__", u"  ", u'_', true, false},
      {u"00;0", u"__", u"  ", u'_', false, false},
      {u"0;1;", u"_;1;", u" ;1;", u'_', true, false},  // two characters after ";": literals
      {u"", u"", u"", u'_', true, false},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Utf8(Case.Mask));
    TcxStandardMask Mask;
    Mask.SetMask(Case.Mask);
    EXPECT_EQ(Utf8(Mask.EmptyPicture()), Utf8(Case.Picture));
    EXPECT_EQ(Utf8(Mask.EmptyValue()), Utf8(Case.Value));
    EXPECT_EQ(Mask.Blank(), Case.Blank);
    EXPECT_EQ(Mask.SaveLiteralCharacters(), Case.SaveLiterals);
    EXPECT_EQ(Mask.LeadingExclamation(), Case.Exclamation);
  }
}

TEST(cxStandardMaskTable, SetMaskStartsAfresh) {
  TcxStandardMask Mask;
  Mask.SetMask(u"!00;0;*");
  Mask.SetMask(u"00");
  EXPECT_EQ(Mask.Blank(), u'_');
  EXPECT_TRUE(Mask.SaveLiteralCharacters());
  EXPECT_FALSE(Mask.LeadingExclamation());
  EXPECT_EQ(Mask.Count(), 2);
}

struct TCompleteCase {
  const char16_t* Mask;
  const char16_t* Text;
  bool Complete;
  const char16_t* Converted;  // the text after the test
};

TEST(cxStandardMaskTable, CompletenessConvertsInPlace) {
  const TCompleteCase Cases[] = {
      {u">LL", u"ab", true, u"AB"},
      {u"<LL", u"aB", true, u"ab"},
      {u"99", u"1 ", true, u"1 "},     // a space in an optional place
      {u"99", u"1_", true, u"1_"},     // the blank character too
      {u"00", u"1 ", false, u"1 "},    // but not in a required one
      {u"00", u"123", false, u"123"},  // the length must match
      {u"00", u"1", false, u"1"},
      {u"(000)", u"(123)", true, u"(123)"},
      {u"(000)", u"x123)", false, u"x123)"},
      {u"(999)", u"_123)", false, u"_123)"},  // a literal place is never blank
      {u"#", u" ", true, u" "},               // "#" is always optional
      {u"C", u"\t", false, u"\t"},            // control characters are not printable
      {u"c", u"\t", false, u"\t"},
  };
  for (const TCompleteCase& Case : Cases) {
    SCOPED_TRACE(Utf8(Case.Mask) + " / " + Utf8(Case.Text));
    TcxStandardMask Mask;
    Mask.SetMask(Case.Mask);
    String Text = Case.Text;
    EXPECT_EQ(Mask.IsComplete(Text), Case.Complete);
    EXPECT_EQ(Utf8(Text), Utf8(Case.Converted));
  }
}

// ---- Positions -------------------------------------------------------------------------

TEST(cxStandardMaskItems, KindsOptionalityAndCaseConversion) {
  TcxStandardMask Mask;
  Mask.SetMask(u">0<9#L<>lAaCc\\L");
  ASSERT_EQ(Mask.Count(), 10);
  const bool Optional[] = {false, true, true, false, true, false, true, false, true};
  for (Integer I = 0; I < 9; ++I) {
    auto* Item = dynamic_cast<TcxStandardMaskManyItem*>(Mask.Items(I));
    ASSERT_NE(Item, nullptr) << I;
    EXPECT_EQ(Item->Optional(), Optional[I]) << I;
  }
  EXPECT_TRUE(Mask.Items(9)->IsLiteral());
  EXPECT_TRUE(Mask.Items(0)->InheritsFrom<TcxStandardMaskNumericItem>());
  EXPECT_TRUE(Mask.Items(2)->InheritsFrom<TcxStandardMaskNumericSymbolItem>());
  EXPECT_TRUE(Mask.Items(3)->InheritsFrom<TcxStandardMaskAlphaItem>());
  EXPECT_TRUE(Mask.Items(5)->InheritsFrom<TcxStandardMaskAlphaNumericItem>());
  EXPECT_TRUE(Mask.Items(7)->InheritsFrom<TcxStandardMaskASCIIItem>());

  // The case is converted whether or not the character is accepted, and the
  // class test sees the character as it came.
  Char C = u'a';
  EXPECT_FALSE(Mask.Items(0)->Accepts(C));  // upper-case digit place
  EXPECT_EQ(C, u'A');
  C = u'Q';
  EXPECT_TRUE(Mask.Items(3)->Accepts(C));  // lower-case letter place
  EXPECT_EQ(C, u'q');
  C = u'Q';
  EXPECT_TRUE(Mask.Items(4)->Accepts(C));  // "<>": unchanged
  EXPECT_EQ(C, u'Q');

  EXPECT_THROW(Mask.Items(10), EListError);
  EXPECT_THROW(Mask.Items(-1), EListError);
}

TEST(cxStandardMaskItems, FitKeepsTypedCaseWhenAsked) {
  TcxStandardMask Mask;
  Mask.SetMask(u">LL");
  String Text = u"ab";
  Mask.FitText(Text, false);
  EXPECT_EQ(Utf8(Text), "ab");
}

TEST(cxStandardMaskItems, SeparatorsAreTakenWhenTheMaskIsSet) {
  TSeparatorsScope Scope(u'-', u'.');
  TcxStandardMask Mask;
  Mask.SetMask(u"99/99 99:99");
  FormatSettings().DateSeparator = u'/';
  EXPECT_EQ(Utf8(Mask.EmptyPicture()), "__-__ __.__");
}

TEST(cxStandardMaskItems, CharacterClasses) {
  for (Char C : {u'a', u'Z', u'ä', u'Ж', u'中', u'あ', u'한'}) EXPECT_TRUE(cxIsLetterChar(C)) << int(C);
  for (Char C : {u'1', u' ', u'.', u'。', u'，', u'×', u'１', u'\t', Char(0x2014)})
    EXPECT_FALSE(cxIsLetterChar(C)) << int(C);
  for (Char C : {u' ', u'~', u'中', u'。', u'é'}) EXPECT_TRUE(cxIsPrintableChar(C)) << int(C);
  for (Char C : {Char(0), u'\t', u'\r', Char(0x7F), Char(0x85)}) EXPECT_FALSE(cxIsPrintableChar(C)) << int(C);
}

}  // namespace
