// The standard picture mask: parsing the mask text into positions, and the
// empty picture, fitting, value extraction and completeness on top of them.
#include "editors/cxStandardMask.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"

// ---- Character classes ------------------------------------------------------------------

bool cxIsPrintableChar(Char AChar) {
  return AChar >= 0x20 && !(AChar >= 0x7F && AChar <= 0x9F);
}

namespace {

bool IsAsciiLetter(Char c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsAsciiDigit(Char c) { return c >= u'0' && c <= u'9'; }

// Blocks of non-ASCII characters that are punctuation, symbols, digits or
// marks rather than letters. Every other printable character from U+00C0 on
// counts as a letter, so the letter positions take any script without a
// table of scripts.
struct TCharRange {
  Char First, Last;
};
constexpr TCharRange NonLetterRanges[] = {
    {0x00D7, 0x00D7}, {0x00F7, 0x00F7},  // multiplication and division signs
    {0x0300, 0x036F},                    // combining marks
    {0x2000, 0x2BFF},                    // punctuation, symbols, arrows, shapes
    {0x3000, 0x303F},                    // CJK punctuation (ideographic space, 。、「」)
    {0xE000, 0xF8FF},                    // private use
    {0xFE30, 0xFE4F},                    // CJK compatibility forms
    {0xFF00, 0xFF20},                    // full-width punctuation and digits
    {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65},  // more full-width punctuation
    {0xFFF0, 0xFFFF},                    // specials
};

// Case conversion of one character by Unicode rules that do not depend on
// the machine's locale; a character whose mapping is not one character
// stays as it is.
Char ConvertCase(Char c, TcxStandardMaskCaseControl ACaseControl) {
  if (ACaseControl == smccNone) return c;
  if (c < 0x80) {
    if (ACaseControl == smccUpperCase && c >= u'a' && c <= u'z') return static_cast<Char>(c - 32);
    if (ACaseControl == smccLowerCase && c >= u'A' && c <= u'Z') return static_cast<Char>(c + 32);
    return c;
  }
  const String one(1, c);
  const String converted = ACaseControl == smccUpperCase ? AnsiUpperCase(one) : AnsiLowerCase(one);
  return converted.size() == 1 ? converted[0] : c;
}

}  // namespace

bool cxIsLetterChar(Char AChar) {
  if (AChar < 0x80) return IsAsciiLetter(AChar);
  if (AChar < 0x00C0) return false;
  for (const TCharRange& Range : NonLetterRanges)
    if (AChar >= Range.First && AChar <= Range.Last) return false;
  return true;
}

// ---- Positions --------------------------------------------------------------------------

bool TcxStandardMaskManyItem::Accepts(Char& AChar) const {
  const bool Result = IsValidChar(AChar);
  AChar = ConvertCase(AChar, FCaseControl);
  return Result;
}

bool TcxStandardMaskNumericItem::IsValidChar(Char AChar) const { return IsAsciiDigit(AChar); }

bool TcxStandardMaskNumericSymbolItem::IsValidChar(Char AChar) const {
  return IsAsciiDigit(AChar) || AChar == u'+' || AChar == u'-';
}

bool TcxStandardMaskAlphaItem::IsValidChar(Char AChar) const { return cxIsLetterChar(AChar); }

bool TcxStandardMaskAlphaNumericItem::IsValidChar(Char AChar) const {
  return IsAsciiDigit(AChar) || cxIsLetterChar(AChar);
}

bool TcxStandardMaskASCIIItem::IsValidChar(Char AChar) const { return cxIsPrintableChar(AChar); }

// ---- Parsing ------------------------------------------------------------------------------

void TcxStandardMask::Clear() {
  FMask.clear();
  FItems.clear();
  FSaveLiteralCharacters = true;
  FBlank = u'_';
  FLeadingExclamation = false;
}

void TcxStandardMask::SetMask(const String& AMask) {
  Clear();
  FMask = AMask;
  Parse(AMask);
}

void TcxStandardMask::AddEditable(Char AMaskChar, TcxStandardMaskCaseControl ACaseControl) {
  const bool Optional = AMaskChar == u'9' || AMaskChar == u'l' || AMaskChar == u'a' || AMaskChar == u'c';
  std::unique_ptr<TcxStandardMaskCustomItem> Item;
  switch (AMaskChar) {
    case u'0': case u'9': Item = std::make_unique<TcxStandardMaskNumericItem>(ACaseControl, Optional); break;
    case u'#': Item = std::make_unique<TcxStandardMaskNumericSymbolItem>(ACaseControl); break;
    case u'L': case u'l': Item = std::make_unique<TcxStandardMaskAlphaItem>(ACaseControl, Optional); break;
    case u'A': case u'a': Item = std::make_unique<TcxStandardMaskAlphaNumericItem>(ACaseControl, Optional); break;
    default: Item = std::make_unique<TcxStandardMaskASCIIItem>(ACaseControl, Optional); break;
  }
  FItems.push_back(std::move(Item));
}

bool TcxStandardMask::ReadSuffix(const String& AMask, size_t AIndex) {
  const size_t Rest = AMask.size() - AIndex - 1;
  const Char Flag = Rest >= 1 ? AMask[AIndex + 1] : 0;
  if (Flag != u'0' && Flag != u'1') return false;
  if (Rest == 3 && AMask[AIndex + 2] == u';') {
    FBlank = AMask[AIndex + 3];
  } else if (Rest != 1) {
    return false;
  }
  FSaveLiteralCharacters = Flag == u'1';
  return true;
}

void TcxStandardMask::Parse(const String& AMask) {
  size_t I = 0;
  if (!AMask.empty() && AMask[0] == u'!') {
    FLeadingExclamation = true;
    I = 1;
  }
  TcxStandardMaskCaseControl CaseControl = smccNone;
  const TFormatSettings& Settings = FormatSettings();
  for (; I < AMask.size(); ++I) {
    const Char C = AMask[I];
    switch (C) {
      case u'>':
        CaseControl = smccUpperCase;
        break;
      case u'<':
        if (I + 1 < AMask.size() && AMask[I + 1] == u'>') {
          CaseControl = smccNone;
          ++I;
        } else {
          CaseControl = smccLowerCase;
        }
        break;
      case u'0': case u'9': case u'#': case u'L': case u'l':
      case u'A': case u'a': case u'C': case u'c':
        AddEditable(C, CaseControl);
        break;
      case u'\\':
        if (++I < AMask.size()) FItems.push_back(std::make_unique<TcxStandardMaskLiteralItem>(AMask[I]));
        break;
      case u'/':
        FItems.push_back(std::make_unique<TcxStandardMaskLiteralItem>(Settings.DateSeparator));
        break;
      case u':':
        FItems.push_back(std::make_unique<TcxStandardMaskLiteralItem>(Settings.TimeSeparator));
        break;
      case u';':
        if (ReadSuffix(AMask, I)) return;
        FItems.push_back(std::make_unique<TcxStandardMaskLiteralItem>(C));
        break;
      default:
        FItems.push_back(std::make_unique<TcxStandardMaskLiteralItem>(C));
        break;
    }
  }
}

// ---- Operations ------------------------------------------------------------------------------

TcxStandardMaskCustomItem* TcxStandardMask::Items(Integer AIndex) const {
  if (AIndex < 0 || AIndex >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(AIndex) + u")");
  return FItems[static_cast<size_t>(AIndex)].get();
}

String TcxStandardMask::EmptyPicture() const {
  String Result;
  for (const auto& Item : FItems)
    Result += Item->IsLiteral() ? static_cast<TcxStandardMaskLiteralItem*>(Item.get())->Literal() : FBlank;
  return Result;
}

String TcxStandardMask::EmptyValue() const {
  String Result;
  for (const auto& Item : FItems) {
    if (!Item->IsLiteral())
      Result += u' ';
    else if (FSaveLiteralCharacters)
      Result += static_cast<TcxStandardMaskLiteralItem*>(Item.get())->Literal();
  }
  return Result;
}

void TcxStandardMask::FitText(String& AText, bool AKeepConvertedCase) const {
  String Picture = EmptyPicture();
  std::vector<bool> Filled(FItems.size(), false);
  for (const Char Typed : AText) {
    for (size_t I = 0; I < FItems.size(); ++I) {
      if (Filled[I]) continue;
      Char Converted = Typed;
      if (FItems[I]->Accepts(Converted)) {
        Picture[I] = AKeepConvertedCase ? Converted : Typed;
        Filled[I] = true;
        break;
      }
      if ((Typed == FBlank || Typed == u' ') && !FItems[I]->IsLiteral()) {
        Filled[I] = true;
        break;
      }
    }
  }
  AText = Picture;
}

void TcxStandardMask::ExtractValue(String& AText) const {
  String Result;
  const size_t Length = std::min(AText.size(), FItems.size());
  for (size_t I = 0; I < Length; ++I) {
    if (FItems[I]->IsLiteral()) {
      if (FSaveLiteralCharacters) Result += AText[I];
    } else {
      Result += AText[I] == FBlank ? u' ' : AText[I];
    }
  }
  AText = Result;
}

bool TcxStandardMask::IsComplete(String& AText) const {
  if (AText.size() != FItems.size()) return false;
  for (size_t I = 0; I < FItems.size(); ++I) {
    const TcxStandardMaskCustomItem* Item = FItems[I].get();
    Char C = AText[I];
    const bool Accepted = Item->Accepts(C);
    if (Accepted) {
      AText[I] = C;
      continue;
    }
    const bool IsBlank = AText[I] == FBlank || AText[I] == u' ';
    const auto* Editable = dynamic_cast<const TcxStandardMaskManyItem*>(Item);
    if (!(IsBlank && Editable && Editable->Optional())) return false;
  }
  return true;
}
