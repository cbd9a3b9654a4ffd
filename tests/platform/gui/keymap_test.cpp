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

}  // namespace
