#pragma once
// Resource strings: a message text with its numeric identifier. Each unit
// declares the texts it shows as constants of this type.
#include "platform/rtl/types.h"

struct TResourceString {
  Integer Identifier;
  const char16_t* Text;
};

inline String LoadResString(const TResourceString& res) { return res.Text ? String(res.Text) : String(); }
