#pragma once
// Conversions between UTF-16 text and the byte encodings the program meets.
#include <string>
#include <string_view>

#include "platform/rtl/types.h"

// Malformed input never fails: each bad sequence becomes U+FFFD.
String UTF8ToString(std::string_view utf8);
std::string StringToUTF8(std::u16string_view text);

// GB2312 (EUC-CN) bytes. Characters GB2312 cannot hold become '?';
// `lossless` (when given) tells whether every character was kept.
String GB2312ToString(std::string_view bytes);
std::string StringToGB2312(std::u16string_view text, bool* lossless = nullptr);

// Latin-1 style widening and narrowing (each byte is one character).
String Latin1ToString(std::string_view bytes);
