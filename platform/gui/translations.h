#pragma once
// The desktop's own dialogs (the file dialogs, the toolkit's standard
// buttons and menus) speak the user's language, as the desktop's other
// programs do: the toolkit's translations for the locale are installed with
// the GUI runtime (see EnsureGuiRuntime). Our own windows carry their texts
// themselves and are not touched.
#include "platform/rtl/types.h"

// Installs the toolkit's translations for ALocale (a name such as "zh_CN";
// "" for the locale of the user's environment) in place of those installed
// before. Answers false when the desktop has none for it (English, or the
// translations are not installed): the dialogs then keep their built-in
// English texts. Needs the GUI runtime.
bool LoadDesktopTranslations(const String& ALocale = u"");
// A text of the toolkit's own (Context "QFileDialog", Text "Open") as the
// installed translations give it; the text itself when none does.
String DesktopTranslation(const char* AContext, const char* AText);
