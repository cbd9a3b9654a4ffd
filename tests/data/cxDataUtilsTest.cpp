#include "data/cxDataUtils.h"

#include <gtest/gtest.h>

#include "data/cxFilterConsts.h"
#include "foundation/cxClasses.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"

namespace {

// Replaces the process format settings for one test.
class SettingsScope {
public:
  SettingsScope() : FSaved(FormatSettings()) {}
  ~SettingsScope() { FormatSettings() = FSaved; }

private:
  TFormatSettings FSaved;
};

TEST(DataUtils, CurrencyDisplayFormat) {
  struct Case {
    Byte Decimals;
    const char16_t* Symbol;
    Byte Placement;
    const char16_t* Expected;
  };
  const Case Cases[] = {
      {2, u"", 0, u",0.00"},         {2, u"$", 0, u"$,0.00"},      {2, u"$", 1, u",0.00$"},
      {2, u"¥", 2, u"¥ ,0.00"},      {3, u"kr", 3, u",0.000 kr"},  {0, u"€", 1, u",0.€"},
      {2, u"Rs.", 0, u"Rs'.',0.00"}, {1, u"a,b", 1, u",0.0a','b"},
  };
  SettingsScope Scope;
  for (const Case& C : Cases) {
    FormatSettings().CurrencyDecimals = C.Decimals;
    FormatSettings().CurrencyString = C.Symbol;
    FormatSettings().CurrencyFormat = C.Placement;
    EXPECT_EQ(GetCurrencyDisplayFormat(), C.Expected) << "case " << (&C - Cases);
  }
}

TEST(DataUtils, WeeksAndDays) {
  SettingsScope Scope;
  const TDateTime Monday = EncodeDate(2024, 12, 9), Sunday = EncodeDate(2024, 12, 15);
  FormatSettings().FirstDayOfWeek = 1;
  EXPECT_EQ(LocaleFirstDayOfWeek(), 1);
  EXPECT_EQ(StartOfWeek(Monday), Monday);
  EXPECT_EQ(StartOfWeek(Sunday + 0.75), Monday);
  FormatSettings().FirstDayOfWeek = 0;
  EXPECT_EQ(LocaleFirstDayOfWeek(), 0);
  EXPECT_EQ(StartOfWeek(Monday), Monday - 1);
  EXPECT_EQ(StartOfWeek(Sunday), Sunday);
  FormatSettings().FirstDayOfWeek = 6;
  EXPECT_EQ(StartOfWeek(Sunday), Sunday - 1);

  EXPECT_EQ(DateOfDateTime(45000.75), 45000);
  EXPECT_DOUBLE_EQ(TimeOfDateTime(45000.75), 0.75);
}

TEST(DataUtils, SameTextOrPrefix) {
  struct Case {
    const char16_t *Text, *Pattern;
    bool Partial, Expected;
  };
  const Case Cases[] = {
      {u"Geology", u"geo", true, true},  {u"Geology", u"geo", false, false},
      {u"Geology", u"GEOLOGY", false, true}, {u"", u"", true, true},
      {u"", u"", false, true},           {u"a", u"", true, false},
      {u"ge", u"geo", true, false},      {u"Éclair", u"éc", true, true},
      {u"地质调查", u"地质", true, true},  {u"地质调查", u"地质", false, false},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(SameTextOrPrefix(C.Text, C.Pattern, C.Partial), C.Expected) << "case " << (&C - Cases);
}

TEST(DataUtils, DataBindingDefaultsAndHandlers) {
  TcxCustomDataBinding Binding(nullptr, nullptr);
  Integer Calls = 0, Last1 = 0, Last2 = 0;
  Binding.OnValueToControl = TcxCustomDataBinding::TcxDataBindingNotifyEvent(
      &Calls, [&](Integer A, Integer B) { ++Calls, Last1 = A, Last2 = B; });
  Binding.ValueToControl(3, 4);
  Binding.DataChanged(1, 1);     // no handler: nothing
  Binding.ControlToValue(1, 1);  // no handler: nothing
  EXPECT_EQ(Calls, 1);
  EXPECT_EQ(Last1, 3);
  EXPECT_EQ(Last2, 4);
  EXPECT_TRUE(VarIsNull(Binding.GetDisplayValue(true)));
  EXPECT_TRUE(Binding.CanEdit());
  EXPECT_TRUE(Binding.CanModify());
  EXPECT_FALSE(Binding.ExecuteAction(nullptr));
}

String Shouting(const TResourceString& AText) { return String(u"!") + AText.Text; }

TEST(FilterTexts, ComeThroughTheLibraryAccessorOrAHook) {
  EXPECT_EQ(cxGetFilterText(cxSFilterOperatorEqual), u"equals");
  InstallTextReplacementTable({u"equals"}, {u"等于"});
  EXPECT_EQ(cxGetFilterText(cxSFilterOperatorEqual), u"等于");
  UninstallTextReplacementTable();
  SetFilterTextHook(&Shouting);
  String Text;
  LoadFilterText(cxSFilterBoxAllCaption, Text);
  EXPECT_EQ(Text, u"!(All)");
  SetFilterTextHook(nullptr);
  EXPECT_EQ(cxGetFilterText(cxSFilterBoxAllCaption), u"(All)");
}

}  // namespace
