#include "platform/gui/keymap.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyMap, CharactersOfKeysIncludeControlCharacters) {
  struct TCase {
    Word Vk;
    String Text;
    bool Ctrl;
    String Chars;
  };
  const TCase cases[] = {
      {'A', u"a", false, u"a"},          {'V', u"", true, u"\x16"},   {'X', u"", true, u"\x18"},
      {'Z', u"", true, u"\x1A"},         {'C', u"\x03", true, u"\x03"}, {VK_BACK, u"", false, u"\x08"},
      {VK_TAB, u"", false, u"\x09"},     {VK_RETURN, u"", false, u"\x0D"}, {VK_ESCAPE, u"", false, u"\x1B"},
      {VK_DELETE, u"\x7F", false, u""},  {VK_LEFT, u"", false, u""},   {'1', u"中", false, u"中"},
  };
  for (const TCase& c : cases) EXPECT_EQ(CharactersOfKey(c.Vk, c.Text, c.Ctrl), c.Chars) << c.Vk;
}

// The toolkit numbers punctuation by its character; read as key codes those
// numbers are navigation keys ("%" = Left, "(" = Down), which would move the
// caret instead of typing.
TEST(KeyMap, PunctuationNeverReadsAsANavigationKey) {
  struct TCase {
    Integer Key;
    Word Vk;
  };
  const TCase cases[] = {
      {0x25 /* % */, '5'}, {0x28 /* ( */, '9'}, {0x29 /* ) */, '0'}, {0x26 /* & */, '7'},
      {0x24 /* $ */, '4'}, {0x21 /* ! */, '1'}, {0x23 /* # */, '3'}, {0x40 /* @ */, '2'},
      {0x5E /* ^ */, '6'}, {0x2A /* * */, '8'}, {0xA5 /* yen */, 0},  {0x2C /* , */, VK_OEM_COMMA},
  };
  for (const TCase& c : cases) {
    const Word vk = VirtualKeyOfToolkitKey(c.Key, false);
    EXPECT_EQ(vk, c.Vk) << std::hex << c.Key;
    EXPECT_TRUE(vk < VK_PRIOR || vk > VK_DOWN) << std::hex << c.Key;
  }
}

}  // namespace
