#include "platform/rtl/sqltimst.h"

#include <cmath>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"
#include "platform/rtl/variant.h"

namespace {

[[noreturn]] void RaiseInvalid(const TSQLTimeStamp& v) {
  throw ESQLTimeStampException(u"Invalid SQL time stamp: " + IntToStr(Integer(v.Year)) + u"-" +
                               IntToStr(Integer(v.Month)) + u"-" + IntToStr(Integer(v.Day)) + u" " +
                               IntToStr(Integer(v.Hour)) + u":" + IntToStr(Integer(v.Minute)) + u":" +
                               IntToStr(Integer(v.Second)) + u"." + IntToStr(Int64(v.Fractions)));
}

bool TryToDateTime(const TSQLTimeStamp& v, TDateTime& result) {
  if (v == NullSQLTimeStamp) {
    result = 0;
    return true;
  }
  TDateTime date = 0;
  TDateTime time = 0;
  if (v.Year < 1 || v.Fractions > 999 ||
      !TryEncodeDate(Word(v.Year), v.Month, v.Day, date) ||
      !TryEncodeTime(v.Hour, v.Minute, v.Second, Word(v.Fractions), time)) {
    return false;
  }
  // Before 1899-12-30 the day is negative and the time of day still counts forward.
  result = date < 0 ? date - time : date + time;
  return true;
}

}  // namespace

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value) {
  Word year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDateTime(value, year, month, day, hour, minute, second, msec);
  // The decoded day (rounded to the millisecond) decides: a value whose day
  // lies outside the calendar, NaN included, decodes to year 0.
  if (!(value >= MinDateTime) || year == 0) {
    throw ESQLTimeStampException(u"Date and time out of range for an SQL time stamp: " +
                                 FloatToStr(value));
  }
  TSQLTimeStamp result;
  result.Year = SmallInt(year);
  result.Month = month;
  result.Day = day;
  result.Hour = hour;
  result.Minute = minute;
  result.Second = second;
  result.Fractions = msec;
  return result;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value) {
  TDateTime result = 0;
  if (!TryToDateTime(value, result)) RaiseInvalid(value);
  return result;
}

bool IsSQLTimeStampValid(const TSQLTimeStamp& value) {
  TDateTime ignored = 0;
  return TryToDateTime(value, ignored);
}

String SQLTimeStampToStr(const String& format, const TSQLTimeStamp& value) {
  return SQLTimeStampToStr(format, value, FormatSettings());
}

String SQLTimeStampToStr(const String& format, const TSQLTimeStamp& value,
                         const TFormatSettings& settings) {
  return FormatDateTime(format, SQLTimeStampToDateTime(value), settings);
}

bool TryStrToSQLTimeStamp(const String& text, TSQLTimeStamp& value) {
  return TryStrToSQLTimeStamp(text, value, FormatSettings());
}

bool TryStrToSQLTimeStamp(const String& text, TSQLTimeStamp& value,
                          const TFormatSettings& settings) {
  TDateTime dateTime = 0;
  if (!TryStrToDateTime(text, dateTime, settings)) return false;
  value = DateTimeToSQLTimeStamp(dateTime);
  return true;
}

TSQLTimeStamp StrToSQLTimeStamp(const String& text) {
  return StrToSQLTimeStamp(text, FormatSettings());
}

TSQLTimeStamp StrToSQLTimeStamp(const String& text, const TFormatSettings& settings) {
  TSQLTimeStamp result;
  if (!TryStrToSQLTimeStamp(text, result, settings)) {
    throw ESQLTimeStampException(u"'" + text + u"' is not a valid SQL time stamp");
  }
  return result;
}

Integer SQLTimeStampCompare(const TSQLTimeStamp& a, const TSQLTimeStamp& b) {
  const Int64 left[] = {a.Year, a.Month, a.Day, a.Hour, a.Minute, a.Second, a.Fractions};
  const Int64 right[] = {b.Year, b.Month, b.Day, b.Hour, b.Minute, b.Second, b.Fractions};
  for (size_t i = 0; i < 7; ++i) {
    if (left[i] != right[i]) return left[i] < right[i] ? -1 : 1;
  }
  return 0;
}

// ---- The time-stamp variant ---------------------------------------------------

Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value) {
  if (!IsSQLTimeStampValid(value)) RaiseInvalid(value);
  return Variant::MakeTimeStamp(value);
}

Variant VarSQLTimeStampCreate(TDateTime value) {
  return Variant::MakeTimeStamp(DateTimeToSQLTimeStamp(value));
}

Variant VarSQLTimeStampCreate(const String& text) {
  return Variant::MakeTimeStamp(StrToSQLTimeStamp(text));
}

bool VarIsSQLTimeStamp(const Variant& value) { return VarType(value) == VarSQLTimeStamp(); }

TSQLTimeStamp VarToSQLTimeStamp(const Variant& value) {
  if (VarIsSQLTimeStamp(value)) return value.RawTimeStamp();
  return VarAsType(value, VarSQLTimeStamp()).RawTimeStamp();
}
