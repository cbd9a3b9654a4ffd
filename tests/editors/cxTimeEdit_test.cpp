// The time editor: reading a time text (12- and 24-hour, blank and unknown
// designators), the text of a value, the part under the caret stepped in a
// shown editor, characters typed into each part, and the date part kept
// through a step.
#include "editors/cxTimeEdit.h"

#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/rtl/datetime.h"
#include "tests/editors/cxEditKeyScript.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

struct TTimeLocaleScope {
  TTimeLocaleScope() {
    FormatSettings().TimeSeparator = u':';
    FormatSettings().DateSeparator = u'-';
    FormatSettings().ShortDateFormat = u"yyyy-mm-dd";
    FormatSettings().TimeAMString = u"AM";
    FormatSettings().TimePMString = u"PM";
  }
  ~TTimeLocaleScope() { FormatSettings() = Saved; }
  TFormatSettings Saved = FormatSettings();
};

void SetUpForm(TcxTimeEditProperties& P, bool AUse24, TcxTimeEditTimeFormat AFormat = tfHourMinSec) {
  P.SetTimeFormat(AFormat);
  P.SetUse24HourFormat(AUse24);
}

TEST(TimeEditText, ReadingTable) {
  TTimeLocaleScope locale;
  struct {
    bool Use24;
    TcxTimeEditTimeFormat Format;
    const char16_t* Text;
    Integer Seconds;  // -1: unreadable
  } const cases[] = {
      {true, tfHourMinSec, u"10:59:30", 39570},
      {true, tfHourMinSec, u"23:59:59", 86399},
      {true, tfHourMinSec, u"24:00:00", -1},
      {true, tfHourMinSec, u"10:60:00", -1},
      {true, tfHourMinSec, u"10:  :00", -1},  // a blank digit is not 0
      {true, tfHourMin, u"07:05", 25500},
      {true, tfHour, u"07", 25200},
      {false, tfHourMinSec, u"09:00:00 PM", 75600},
      {false, tfHourMinSec, u"09:00:00 pm", 75600},
      {false, tfHourMinSec, u"12:00:00 AM", 0},
      {false, tfHourMinSec, u"12:30:00 PM", 45000},
      {false, tfHourMinSec, u"09:00:00", -1},     // a blank designator is not PM
      {false, tfHourMinSec, u"09:00:00 00", -1},  // the mask's blanks
      {false, tfHourMinSec, u"09:00:00 XM", -1},
      {false, tfHourMinSec, u"00:00:00 AM", -1},  // no hour 0 in the 12-hour form
      {false, tfHour, u"05 PM", 61200},
  };
  for (const auto& c : cases) {
    TcxTimeEditProperties properties(nullptr);
    SetUpForm(properties, c.Use24, c.Format);
    Integer seconds = -1;
    const bool read = properties.ReadSeconds(c.Text, seconds);
    SCOPED_TRACE(Utf8(c.Text));
    EXPECT_EQ(read, c.Seconds >= 0);
    if (read) {
      EXPECT_EQ(seconds, c.Seconds);
    }
    Variant display(c.Text);
    TCaption errorText;
    bool error = false;
    properties.CheckDisplayValue(display, errorText, error, nullptr);
    EXPECT_EQ(error, !read);
    if (error) {
      EXPECT_EQ(Utf8(errorText), "Could not convert to time");
    }
  }
}

TEST(TimeEditText, ValueToTextNeverShowsTheCurrentTime) {
  TTimeLocaleScope locale;
  TcxTimeEditProperties properties(nullptr);
  const TDateTime morning = EncodeDate(2005, 3, 1) + 8 / 24.0;
  struct {
    Variant Value;
    bool Editing;
    const char* Text;
  } const cases[] = {
      {Null(), true, "00:00:00"},
      {Null(), false, ""},
      {Variant(u"not a time"), true, ""},
      {Variant(u"not a time"), false, ""},
      {VarFromDateTime(morning), true, "08:00:00"},
      {VarFromDateTime(morning), false, "08:00:00"},
      {Variant(0.75), false, "18:00:00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8(properties.EditValueToText(c.Value, c.Editing)), c.Text) << Utf8(VarToStr(c.Value));
  }
  properties.SetUse24HourFormat(false);
  EXPECT_EQ(Utf8(properties.EditValueToText(Variant(0.75), true)), "06:00:00 PM");
  EXPECT_EQ(Utf8(properties.EditMask()), "00:00:00 cc;1;0");
}

struct TTypeCase {
  const char* Name;
  bool Use24;
  const char16_t* Start;
  Integer Caret;
  const char16_t* Script;
  const char16_t* Text;
  Integer Beeps;
};

TEST(TimeEditTyping, PartUnderTheCaret) {
  TTimeLocaleScope locale;
  const TTypeCase cases[] = {
      {"first minute digit 6 refused", true, u"10:00:00", 3, u"6", u"10:00:00", 1},
      {"first minute digit 5", true, u"10:00:00", 3, u"5", u"10:50:00", 0},
      {"first second digit 7 refused", true, u"10:00:00", 6, u"7", u"10:00:00", 1},
      {"hour 24 refused at the 4", true, u"00:00:00", 0, u"24", u"20:00:00", 1},
      {"hour 23", true, u"00:00:00", 0, u"23", u"23:00:00", 0},
      {"letters in the hour", true, u"10:00:00", 0, u"a", u"10:00:00", 1},
      {"12-hour: hour 19 refused", false, u"09:00:00 AM", 0, u"1", u"09:00:00 AM", 1},
      {"12-hour: hour 12", false, u"01:00:00 AM", 0, u"12", u"12:00:00 AM", 0},
      {"12-hour: p switches to PM", false, u"09:00:00 AM", 9, u"p", u"09:00:00 PM", 1},
      {"12-hour: a keeps AM", false, u"09:00:00 AM", 9, u"a", u"09:00:00 AM", 0},
      {"12-hour: other letters refused", false, u"09:00:00 AM", 9, u"x", u"09:00:00 AM", 1},
      {"12-hour: a blank designator typed", false, u"09:00:00 00", 9, u"pm", u"09:00:00 PM", 0},
      {"12-hour: Backspace in the designator moves left", false, u"09:00:00 AM", 10, u"\u232B", u"09:00:00 AM", 0},
  };
  for (const TTypeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxTimeEditProperties properties(nullptr);
    properties.SetBeepOnError(true);
    SetUpForm(properties, c.Use24);
    TcxTimeEditModel model(&properties);
    model.SetText(c.Start);
    model.SelectionMovedByUser(c.Caret, 0);
    RunKeyScript(model, c.Script);
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.BeepCount(), c.Beeps);
  }
}

struct TStepCase {
  const char* Name;
  bool Use24;
  TcxTimeEditTimeFormat Format;
  bool Circular;
  double Time;  // fraction of a day
  Integer Caret;
  Integer Kind;
  const char16_t* Text;
  Integer SelStart;
};

// A shown, focused time editor, made under the test locale and freed before
// that ends.
struct TTimeEditFixture
 : ::testing::Test, TTestForm {
  TTimeEditFixture() : TTestForm(220, 80) {
    Edit = Place<TcxTimeEdit>(10, 10, 150, 24);
    ShowForm(Edit);
  }
  ~TTimeEditFixture() override { FreeForm(); }
  TcxTimeEditProperties* Props() { return static_cast<TcxTimeEditProperties*>(Edit->Properties()); }
  TTimeLocaleScope Locale;
  TcxTimeEdit* Edit = nullptr;

};

double At(Integer H, Integer M, Integer S) { return (H * 3600 + M * 60 + S) / 86400.0; }

TEST_F(TTimeEditFixture, StepsThePartUnderTheCaret) {
  const TStepCase cases[] = {
      {"minutes up", true, tfHourMinSec, false, At(10, 59, 30), 3, skUp, u"11:00:30", 4},
      {"seconds up wraps", true, tfHourMinSec, true, At(23, 59, 59), 6, skUp, u"00:00:00", 7},
      {"seconds up stops", true, tfHourMinSec, false, At(23, 59, 59), 6, skUp, u"23:59:59", 6},
      {"page up in the minutes", true, tfHourMinSec, false, At(10, 0, 0), 4, skFastUp, u"10:10:00", 4},
      {"page up in the hours", true, tfHourMinSec, false, At(10, 0, 0), 0, skFastUp, u"11:00:00", 1},
      {"page down in the seconds", true, tfHourMinSec, false, At(10, 0, 20), 7, skFastDown, u"10:00:10", 7},
      {"hour down stops at 0", true, tfHourMinSec, false, At(0, 30, 0), 0, skDown, u"00:30:00", 0},
      {"hour-minute form", true, tfHourMin, false, At(10, 30, 0), 3, skUp, u"10:31", 4},
      {"12-hour: AM to PM", false, tfHourMinSec, false, At(9, 0, 0), 9, skUp, u"09:00:00 PM", 9},
      {"12-hour: PM to AM", false, tfHourMinSec, false, At(21, 0, 0), 9, skUp, u"09:00:00 AM", 9},
      // Up switches halves within the day; a down step switches them across
      // the day's end (AM to the day before's PM, PM to the next day's AM),
      // so only a circular editor takes it.
      {"12-hour: down from AM stays", false, tfHourMinSec, false, At(9, 0, 0), 10, skDown, u"09:00:00 AM", 10},
      {"12-hour: down from PM stays", false, tfHourMinSec, false, At(21, 0, 0), 10, skDown, u"09:00:00 PM", 10},
      {"12-hour: circular down from AM", false, tfHourMinSec, true, At(9, 0, 0), 10, skDown, u"09:00:00 PM", 9},
      {"12-hour: circular down from PM", false, tfHourMinSec, true, At(21, 0, 0), 10, skDown, u"09:00:00 AM", 9},
      {"12-hour: hour past noon", false, tfHourMinSec, false, At(11, 0, 0), 1, skUp, u"12:00:00 PM", 1},
  };
  for (const TStepCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Props()->SetUse24HourFormat(c.Use24);
    Props()->SetTimeFormat(c.Format);
    Props()->SetCircular(c.Circular);
    Edit->SetEditValue(VarFromDateTime(c.Time));
    Edit->SetFocus();
    Edit->UpdateDisplayValue();
    Edit->MaskModel()->SelectionMovedByUser(c.Caret, 0);
    Edit->DoStep(c.Kind);
    EXPECT_EQ(Utf8(Edit->Text()), Utf8(c.Text));
    EXPECT_EQ(Edit->SelStart(), c.SelStart);
  }
}

TEST_F(TTimeEditFixture, KeepsTheDateAndRefusesUnreadableText) {
  const TDateTime day = EncodeDate(2005, 3, 1);
  Edit->SetEditValue(VarFromDateTime(day + 8 / 24.0));
  Edit->SetFocus();
  Edit->UpdateDisplayValue();
  EXPECT_EQ(Utf8(Edit->Text()), "08:00:00");
  Edit->MaskModel()->SelectionMovedByUser(0, 0);
  ASSERT_TRUE(Edit->DoStep(skUp));
  ASSERT_TRUE(Edit->PostEditValue());
  EXPECT_EQ(Edit->EditValue().Type(), varDate);
  EXPECT_DOUBLE_EQ(Edit->EditValue().AsDouble(), day + 9 / 24.0);

  // A 12-hour text with a blank designator: no step, no value, an error.
  Props()->SetUse24HourFormat(false);
  Edit->SetFocus();
  Edit->MaskModel()->ShowUserText(u"09:00:00 00", 0);
  EXPECT_TRUE(VarIsNull(Edit->Time()));
  EXPECT_FALSE(Edit->DoStep(skUp));
  EXPECT_EQ(Utf8(Edit->Text()), "09:00:00 00");
  EXPECT_FALSE(Edit->ValidateEdit(false));
  EXPECT_DOUBLE_EQ(Edit->EditValue().AsDouble(), day + 9 / 24.0);
}

}  // namespace
