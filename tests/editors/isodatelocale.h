#pragma once
// Dates and times read and written as yyyy-mm-dd and hh:nn:ss while a test
// runs; the locale the test found is put back afterwards.
#include "editors/cxFormats.h"
#include "platform/rtl/formatsettings.h"

struct TIsoDateScope {
  TIsoDateScope() {
    TFormatSettings Settings = TFormatSettings::Invariant();
    Settings.ShortDateFormat = u"yyyy-mm-dd";
    Settings.DateSeparator = u'-';
    Settings.TimeSeparator = u':';
    Settings.LongTimeFormat = u"hh:nn:ss";
    Settings.ShortTimeFormat = u"hh:nn";
    FormatSettings() = Settings;
    GetFormatController()->UpdateFormats();
  }
  ~TIsoDateScope() {
    FormatSettings() = Saved;
    GetFormatController()->UpdateFormats();
  }
  TIsoDateScope(const TIsoDateScope&) = delete;
  TIsoDateScope& operator=(const TIsoDateScope&) = delete;
  TFormatSettings Saved = FormatSettings();
};
