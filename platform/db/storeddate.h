#pragma once
// Dates as SQLite holds them, read straight from their UTF-8 bytes.
#include <string_view>

#include "platform/rtl/types.h"

// Reads "yyyy-mm-dd[ hh:nn[:ss[.zzz]]]" (also with "T"), blanks around it
// allowed, exactly as TryParseDateText reads that form, without building
// a String. False for every other text, including texts TryParseDateText
// reads by the locale's format: the caller then takes the general way.
bool TryReadStoredDate(std::string_view Bytes, TDateTime& Value);
