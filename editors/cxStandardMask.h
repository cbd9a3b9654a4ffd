#pragma once
// The fixed-length picture mask of the masked editors. Every character of
// the mask text becomes one position of the edited text: a literal that is
// shown and skipped, or an editable position that accepts a class of
// characters and may convert their case.
//
// Mask characters:
//   0  digit, required          9  digit, optional        #  digit or sign, optional
//   L  letter, required         l  letter, optional
//   A  letter or digit, required  a  letter or digit, optional
//   C  any printable character, required   c  the same, optional
//   >  upper case from here on  <  lower case  <>  case left alone
//   \x the character x as a literal
//   /  the locale's date separator   :  the locale's time separator
//   ;1;_ at the very end: keep literals in the value (1) or not (0), and
//        the blank character shown in empty places (here "_")
//   !  at the very start: accepted and otherwise without effect
// Any other character is a literal.
//
// Text is UTF-16 and the mask is meant for any script: a letter is a Latin
// letter or a letter of any other script (a Chinese character included), and
// the "any character" positions take every printable character.
#include <memory>
#include <vector>

#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

// Case conversion of an editable position.
enum TcxStandardMaskCaseControl { smccUpperCase, smccLowerCase, smccNone };

// ---- Positions ----------------------------------------------------------------------

class TcxStandardMaskCustomItem : public TObject {
  KORVANE_CLASS(TcxStandardMaskCustomItem, TObject)

  // Whether AChar may stand at this position. An editable position converts
  // AChar's case (by its case control) whether or not it accepts it; the
  // test is made on the character as it came in.
  virtual bool Accepts(Char& AChar) const = 0;
  virtual bool IsLiteral() const { return false; }
};

class TcxStandardMaskLiteralItem : public TcxStandardMaskCustomItem {
  KORVANE_CLASS(TcxStandardMaskLiteralItem, TcxStandardMaskCustomItem)

  explicit TcxStandardMaskLiteralItem(Char ALiteral) : FLiteral(ALiteral) {}
  bool Accepts(Char& AChar) const override { return AChar == FLiteral; }
  bool IsLiteral() const override { return true; }
  Char Literal() const { return FLiteral; }

private:
  Char FLiteral;
};

class TcxStandardMaskManyItem : public TcxStandardMaskCustomItem {
  KORVANE_CLASS(TcxStandardMaskManyItem, TcxStandardMaskCustomItem)

  TcxStandardMaskManyItem(TcxStandardMaskCaseControl ACaseControl, bool AOptional)
      : FCaseControl(ACaseControl), FOptional(AOptional) {}
  bool Accepts(Char& AChar) const override;
  TcxStandardMaskCaseControl CaseControl() const { return FCaseControl; }
  // Whether the position may stay blank in a complete text.
  bool Optional() const { return FOptional; }

protected:
  // The class test of the position.
  virtual bool IsValidChar(Char AChar) const = 0;

private:
  TcxStandardMaskCaseControl FCaseControl;
  bool FOptional;
};

// "0" (required) and "9" (optional): the digits 0 to 9.
class TcxStandardMaskNumericItem : public TcxStandardMaskManyItem {
  KORVANE_CLASS(TcxStandardMaskNumericItem, TcxStandardMaskManyItem)
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

protected:
  bool IsValidChar(Char AChar) const override;
};

// "#" (always optional): a digit, "+" or "-".
class TcxStandardMaskNumericSymbolItem : public TcxStandardMaskManyItem {
  KORVANE_CLASS(TcxStandardMaskNumericSymbolItem, TcxStandardMaskManyItem)
  explicit TcxStandardMaskNumericSymbolItem(TcxStandardMaskCaseControl ACaseControl)
      : TcxStandardMaskManyItem(ACaseControl, true) {}

protected:
  bool IsValidChar(Char AChar) const override;
};

// "L" (required) and "l" (optional): a letter of any script.
class TcxStandardMaskAlphaItem : public TcxStandardMaskManyItem {
  KORVANE_CLASS(TcxStandardMaskAlphaItem, TcxStandardMaskManyItem)
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

protected:
  bool IsValidChar(Char AChar) const override;
};

// "A" (required) and "a" (optional): a letter of any script or a digit.
class TcxStandardMaskAlphaNumericItem : public TcxStandardMaskManyItem {
  KORVANE_CLASS(TcxStandardMaskAlphaNumericItem, TcxStandardMaskManyItem)
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

protected:
  bool IsValidChar(Char AChar) const override;
};

// "C" (required) and "c" (optional): any printable character.
class TcxStandardMaskASCIIItem : public TcxStandardMaskManyItem {
  KORVANE_CLASS(TcxStandardMaskASCIIItem, TcxStandardMaskManyItem)
  using TcxStandardMaskManyItem::TcxStandardMaskManyItem;

protected:
  bool IsValidChar(Char AChar) const override;
};

// ---- The mask -----------------------------------------------------------------------

class TcxStandardMask : public TObject {
  KORVANE_CLASS(TcxStandardMask, TObject)

  TcxStandardMask() = default;

  // Resets every setting to its default and parses AMask. The date and time
  // separators are those of FormatSettings() at this moment.
  void SetMask(const String& AMask);
  const String& Mask() const { return FMask; }

  Integer Count() const { return static_cast<Integer>(FItems.size()); }
  // Raises EListError when AIndex is out of range.
  TcxStandardMaskCustomItem* Items(Integer AIndex) const;

  // One character per position: the literal, or the blank character.
  String EmptyPicture() const;
  // One character per position: a blank (" ") for an editable position; a
  // literal only when SaveLiteralCharacters is set.
  String EmptyValue() const;
  // Fits the characters of AText into the empty picture, in order, each into
  // the first free position that takes it; a blank character or space marks
  // the next free editable position as left blank; characters that fit
  // nowhere are dropped. With AKeepConvertedCase the case-converted
  // characters are placed, else the characters as typed.
  void FitText(String& AText, bool AKeepConvertedCase = true) const;
  // Turns a picture text into the value to store: blank characters become
  // spaces; literals stay only when SaveLiteralCharacters is set.
  void ExtractValue(String& AText) const;
  // Whether a picture text is complete: as long as the mask, every character
  // accepted by its position, or blank (blank character or space) at an
  // optional position. Accepted characters are case-converted in place.
  bool IsComplete(String& AText) const;

  Char Blank() const { return FBlank; }
  bool SaveLiteralCharacters() const { return FSaveLiteralCharacters; }
  // Whether the mask began with "!".
  bool LeadingExclamation() const { return FLeadingExclamation; }

private:
  void Clear();
  void Parse(const String& AMask);
  // Reads a ";0", ";1" or ";0;x"/";1;x" suffix at AIndex; false when the
  // ";" there is a literal.
  bool ReadSuffix(const String& AMask, size_t AIndex);
  void AddEditable(Char AMaskChar, TcxStandardMaskCaseControl ACaseControl);

  String FMask;
  std::vector<std::unique_ptr<TcxStandardMaskCustomItem>> FItems;
  bool FSaveLiteralCharacters = true;
  Char FBlank = u'_';
  bool FLeadingExclamation = false;
};

// Character classes shared by the masks: a printable character (no control
// character), and a letter of any script (Latin letters, accented and
// Cyrillic or Greek letters, Chinese, Japanese and Korean characters...).
bool cxIsPrintableChar(Char AChar);
bool cxIsLetterChar(Char AChar);
