#pragma once
// Translation of the toolkit's keys into the platform's virtual-key codes
// and the characters a key types.
#include "platform/gui/messages.h"
#include "platform/rtl/types.h"

// The virtual-key code of a toolkit key number (0: none). Keypad: the key
// came from the numeric keypad (digits and operators have keys of their own there).
Word VirtualKeyOfToolkitKey(Integer Key, bool Keypad);
// The characters a key types: the text the toolkit reported, else the
// control character the key stands for (Ctrl with a letter, Backspace, Tab,
// Enter, Esc). Delete types nothing.
String CharactersOfKey(Word Vk, const String& Text, bool Ctrl);
