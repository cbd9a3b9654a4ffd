#include "data/cxDataUtils.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/sysutils.h"

String GetCurrencyDisplayFormat() {
  const TFormatSettings& Settings = FormatSettings();
  const String Number = u",0." + String(Settings.CurrencyDecimals, u'0');
  String Symbol;
  for (Char C : Settings.CurrencyString) {
    if (C == u',' || C == u'.')
      Symbol += String(u"'") + C + u"'";
    else
      Symbol += C;
  }
  if (Symbol.empty()) return Number;
  switch (Settings.CurrencyFormat) {
    case 0:
      return Symbol + Number;
    case 1:
      return Number + Symbol;
    case 2:
      return Symbol + u" " + Number;
    default:
      return Number + u" " + Symbol;
  }
}

TDateTime DateOfDateTime(TDateTime AValue) { return DateOf(AValue); }

TDateTime TimeOfDateTime(TDateTime AValue) { return TimeOf(AValue); }

Integer LocaleFirstDayOfWeek() {
  const Integer Day = FormatSettings().FirstDayOfWeek;
  return Day >= 0 && Day <= 6 ? Day : 0;
}

TDateTime StartOfWeek(TDateTime ADate) {
  const TDateTime Day = DateOf(ADate);
  const Integer WeekDay = DayOfWeek(Day) - 1;  // 0 Sunday
  return Day - (WeekDay - LocaleFirstDayOfWeek() + 7) % 7;
}

bool SameTextOrPrefix(const String& AText, const String& APattern, bool APartial) {
  const String Text = AnsiUpperCase(AText), Pattern = AnsiUpperCase(APattern);
  if (Pattern.empty()) return Text.empty();
  if (!APartial) return Text == Pattern;
  return Text.size() >= Pattern.size() && Text.compare(0, Pattern.size(), Pattern) == 0;
}

// ---- TcxCustomDataBinding ---------------------------------------------------------

TcxCustomDataBinding::TcxCustomDataBinding(TComponent* AOwner, TObject* AData)
    : FOwner(AOwner), FData(AData) {}

void TcxCustomDataBinding::ValueToControl(Integer AParam1, Integer AParam2) {
  if (OnValueToControl) OnValueToControl(AParam1, AParam2);
}

void TcxCustomDataBinding::DataChanged(Integer AParam1, Integer AParam2) {
  if (OnDataChanged) OnDataChanged(AParam1, AParam2);
}

void TcxCustomDataBinding::ControlToValue(Integer AParam1, Integer AParam2) {
  if (OnControlToValue) OnControlToValue(AParam1, AParam2);
}

bool TcxCustomDataBinding::ExecuteAction(TObject*) { return false; }
bool TcxCustomDataBinding::UpdateAction(TObject*) { return false; }
bool TcxCustomDataBinding::CanModify() { return true; }
Variant TcxCustomDataBinding::GetDisplayValue(bool) { return Null(); }
bool TcxCustomDataBinding::CanGiveValue() { return true; }
void TcxCustomDataBinding::Reset() {}
bool TcxCustomDataBinding::CanEdit() { return true; }
void TcxCustomDataBinding::StoreValue(const Variant&) {}
void TcxCustomDataBinding::UpdateData() {}
