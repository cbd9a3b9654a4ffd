#pragma once
// SQL time stamps: a date and time held as separate fields.
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/types.h"

class Variant;

struct TSQLTimeStamp {
  SmallInt Year = 0;
  Word Month = 0;
  Word Day = 0;
  Word Hour = 0;
  Word Minute = 0;
  Word Second = 0;
  LongWord Fractions = 0;  // milliseconds, 0..999

  bool operator==(const TSQLTimeStamp&) const = default;
};

// The all-zero stamp stands for "no date"; it converts to the date 0.
inline constexpr TSQLTimeStamp NullSQLTimeStamp{};

// Raises ESQLTimeStampException outside 0001-01-01 .. 9999-12-31 (and for NaN).
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value);
// Raises ESQLTimeStampException when a field is out of range.
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value);
// Checks every field (the zero stamp is valid).
bool IsSQLTimeStampValid(const TSQLTimeStamp& value);
// The stamp formatted with FormatDateTime's pattern language; an empty format
// shows the short date and, unless it is midnight, the long time.
String SQLTimeStampToStr(const String& format, const TSQLTimeStamp& value);
String SQLTimeStampToStr(const String& format, const TSQLTimeStamp& value,
                         const TFormatSettings& settings);
// Reads a date and time as StrToDateTime does. Raises ESQLTimeStampException
// on text that is not a valid date and time.
bool TryStrToSQLTimeStamp(const String& text, TSQLTimeStamp& value);
bool TryStrToSQLTimeStamp(const String& text, TSQLTimeStamp& value,
                          const TFormatSettings& settings);
TSQLTimeStamp StrToSQLTimeStamp(const String& text);
TSQLTimeStamp StrToSQLTimeStamp(const String& text, const TFormatSettings& settings);
// -1, 0 or 1, field by field from the year down.
Integer SQLTimeStampCompare(const TSQLTimeStamp& a, const TSQLTimeStamp& b);

// The variant holding a time stamp, of type VarSQLTimeStamp(). It converts to
// a date (and from there to numbers and text) and compares as its date.
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value);
Variant VarSQLTimeStampCreate(TDateTime value);
Variant VarSQLTimeStampCreate(const String& text);
bool VarIsSQLTimeStamp(const Variant& value);
// A time-stamp variant gives its stamp; dates, numbers and strings convert
// through a date. Raises EVariantTypeCastError on failure.
TSQLTimeStamp VarToSQLTimeStamp(const Variant& value);

#include "platform/rtl/variant.h"
