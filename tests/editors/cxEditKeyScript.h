#pragma once
// Key scripts for the edit-model tests: a text in which every character is
// typed (a surrogate pair as one committed character), except the arrows and signs below, which stand for editing keys.
#include "editors/cxTextEdit.h"
#include "platform/gui/messages.h"
#include "platform/rtl/encoding.h"

inline constexpr Char kLeft = u'\u2190';   // ←
inline constexpr Char kRight = u'\u2192';  // →
inline constexpr Char kHome = u'\u21E4';   // ⇤
inline constexpr Char kEnd = u'\u21E5';    // ⇥
inline constexpr Char kDel = u'\u2326';    // ⌦ Delete
inline constexpr Char kBack = u'\u232B';   // ⌫ Backspace

inline void RunKeyScript(TcxTextEditModel& AModel, const String& AScript) {
  for (size_t i = 0; i < AScript.size(); ++i) {
    const Char c = AScript[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < AScript.size()) {
      AModel.CommitText(AScript.substr(i++, 2));  // a pair arrives as one committed character
      continue;
    }
    Word key = 0;
    switch (c) {
      case kLeft: key = VK_LEFT; break;
      case kRight: key = VK_RIGHT; break;
      case kHome: key = VK_HOME; break;
      case kEnd: key = VK_END; break;
      case kDel: key = VK_DELETE; break;
      case kBack: {
        Char back = 8;
        AModel.KeyPress(back);
        continue;
      }
      default: {
        Char typed = c;
        AModel.KeyPress(typed);
        continue;
      }
    }
    AModel.KeyDown(key, 0);
  }
}

inline std::string Utf8(const String& s) { return StringToUTF8(s); }
