// Keys of the toolkit as the platform's virtual keys and characters.
#include "platform/gui/keymap.h"

#include <Qt>
#include <algorithm>

Word VirtualKeyOfToolkitKey(Integer Key, bool Keypad) {
  if (Key >= Qt::Key_A && Key <= Qt::Key_Z) return static_cast<Word>(Key);
  if (Key >= Qt::Key_0 && Key <= Qt::Key_9) {
    if (Keypad) return static_cast<Word>(VK_NUMPAD0 + (Key - Qt::Key_0));
    return static_cast<Word>(Key);
  }
  if (Key >= Qt::Key_F1 && Key <= Qt::Key_F24) return static_cast<Word>(VK_F1 + (Key - Qt::Key_F1));
  switch (Key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta: return VK_LWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_Asterisk: return Keypad ? Word(VK_MULTIPLY) : Word(0x38);
    case Qt::Key_Plus: return Keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return Keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return Keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Slash: return Keypad ? VK_DIVIDE : VK_OEM_2;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
    case Qt::Key_Underscore: return VK_OEM_MINUS;
    // Shifted digits of the common layout answer their digit key.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_ParenLeft: return '9';
    default: break;
  }
  // Any other printable key has no key code of its own: its toolkit code
  // would read as a navigation key ("%" is 0x25, the code of Left), so it
  // arrives as its character alone.
  return 0;
}

String CharactersOfKey(Word Vk, const String& Text, bool Ctrl) {
  String s = Text;
  s.erase(std::remove(s.begin(), s.end(), Char(0x7F)), s.end());
  if (!s.empty()) return s;
  if (Ctrl && Vk >= 'A' && Vk <= 'Z') return String(1, Char(Vk - 'A' + 1));
  switch (Vk) {
    case VK_BACK: return u"\x08";
    case VK_TAB: return u"\x09";
    case VK_RETURN: return u"\x0D";
    case VK_ESCAPE: return u"\x1B";
    default: return u"";
  }
}

