#include "platform/gui/translations.h"

#include <gtest/gtest.h>

#include "platform/gui/graphics.h"
#include "platform/rtl/encoding.h"

namespace {

// The file dialog's own texts as the user reads them, by the locale loaded.
TEST(DesktopTranslations, TheDesktopsDialogsSpeakTheLoadedLanguage) {
  EnsureGuiRuntime();
  struct {
    const char16_t* Locale;
    bool Found;
    const char16_t* Open;  // QFileDialog's "Open"
  } cases[] = {
      {u"zh_CN", true, u"打开"},
      {u"zh_CN", true, u"打开"},   // loaded again: replaces, does not stack
      {u"xx_XX", false, u"Open"},  // unknown: the earlier one goes too
  };
  for (auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Locale));
    EXPECT_EQ(LoadDesktopTranslations(c.Locale), c.Found);
    EXPECT_EQ(DesktopTranslation("QFileDialog", "Open"), c.Open);
  }
  LoadDesktopTranslations();  // back to the environment's locale
}

}  // namespace
