// The date editor: the settings whose defaults follow the kind, the text of
// a value, and the validation matrix (kind x input kind x DateOnError x
// SaveTime, smart words at a fixed "now", clearing, bounds, OnValidate).
#include "editors/cxDateEdit.h"

#include <gtest/gtest.h>

#include <optional>

#include "../platform/gui/guitestutil.h"
#include "editors/cxFormats.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/datetime.h"
#include "tests/editors/cxEditKeyScript.h"
#include "tests/editors/isodatelocale.h"

namespace {

// An ISO-ordered locale and a fixed "now" (2026-03-17 14:30); all restored
// afterwards.
struct TDateLocaleScope : TIsoDateScope {
  TDateLocaleScope() { SetClockForTesting([] { return EncodeDateTime(2026, 3, 17, 14, 30, 0, 0); }); }
  ~TDateLocaleScope() { ResetClockForTesting(); }
};

TDateTime At(Word Y, Word M, Word D, Word H = 0, Word N = 0) { return EncodeDateTime(Y, M, D, H, N, 0, 0); }

// "null", "error" or "yyyy-mm-dd hh:nn".
std::string Shown(const Variant& V) {
  if (VarIsNull(V)) return "null";
  return StringToUTF8(FormatDateTime(u"yyyy-mm-dd hh:nn", V.AsDouble()));
}

TEST(DateEditProperties, DefaultsFollowTheKindUntilAssigned) {
  TDateLocaleScope locale;
  TcxDateEditProperties p(nullptr);
  EXPECT_EQ(p.Kind(), ckDate);
  EXPECT_EQ(p.DateButtons(), DateButtonBit(btnClear) | DateButtonBit(btnToday));
  EXPECT_EQ(p.InputKind(), ikRegExpr);
  EXPECT_EQ(p.MaskKind(), emkRegExprEx);
  EXPECT_TRUE(p.SaveTime());
  EXPECT_TRUE(p.ShowTime());
  EXPECT_EQ(p.DateOnError(), deNoChange);
  EXPECT_FALSE(p.ImmediateDropDown());
  EXPECT_FALSE(p.PopupSizeable());
  Integer notices = 0;
  p.OnPropertiesChanged = TNotifyEvent(&p, [&](TObject*) { ++notices; });
  p.SetKind(ckDateTime);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(p.DateButtons(), DateButtonBit(btnClear) | DateButtonBit(btnNow));
  EXPECT_EQ(p.InputKind(), ikMask);
  EXPECT_EQ(p.MaskKind(), emkStandard);
  EXPECT_EQ(StringToUTF8(p.EditMask()), StringToUTF8(GetFormatController()->StandardDateTimeMask));
  // Assigned values stay whatever the kind.
  p.SetInputKind(ikStandard);
  p.SetDateButtons(DateButtonBit(btnToday));
  EXPECT_EQ(notices, 3);
  EXPECT_TRUE(p.DateAssignedValues()->InputKind());
  p.SetKind(ckDate);
  EXPECT_EQ(p.InputKind(), ikStandard);
  EXPECT_FALSE(p.IsMasked());
  EXPECT_EQ(p.DateButtons(), DateButtonBit(btnToday));
  // Assign copies the assigned ones only; defaults follow the copy's kind.
  TcxDateEditProperties q(nullptr);
  q.SetKind(ckDateTime);
  q.SetSaveTime(false);
  p.Assign(&q);
  EXPECT_EQ(p.Kind(), ckDateTime);
  EXPECT_FALSE(p.SaveTime());
  EXPECT_FALSE(p.DateAssignedValues()->InputKind());
  EXPECT_EQ(p.InputKind(), ikMask);
  EXPECT_EQ(p.DateButtons(), DateButtonBit(btnClear) | DateButtonBit(btnNow));
  p.DateAssignedValues()->RestoreDefaults();
  EXPECT_FALSE(p.DateAssignedValues()->DateButtons());
}

TEST(DateEditProperties, TextOfAValue) {
  TDateLocaleScope locale;
  TcxDateEditProperties p(nullptr);
  const TDateTime value = At(2005, 3, 1, 14, 30);
  struct {
    const char* Name;
    TcxCalendarKind Kind;
    TcxInputKind Input;
    bool ShowTime;
    bool Editing;
    Variant Value;
    const char* Text;  // nullptr: "Could not convert to date"
  } const cases[] = {
      {"date, shown", ckDate, ikRegExpr, true, false, VarFromDateTime(value), "2005-03-01 14:30:00"},
      {"date, shown without time", ckDate, ikRegExpr, false, false, VarFromDateTime(value), "2005-03-01"},
      {"date, editing a mask", ckDate, ikRegExpr, true, true, VarFromDateTime(value), "2005-03-01"},
      {"date, editing free text", ckDate, ikStandard, true, true, VarFromDateTime(value), "2005-03-01 14:30:00"},
      {"date, editing free text, no time", ckDate, ikStandard, false, true, VarFromDateTime(value), "2005-03-01"},
      {"a string value", ckDate, ikStandard, true, false, Variant(String(u"2005-03-01")), "2005-03-01"},
      {"a number of days", ckDate, ikStandard, true, false, Variant(2.0), "1900-01-01"},
      {"date-time, editing free text", ckDateTime, ikStandard, true, true, VarFromDateTime(value),
       "2005-03-01 14:30:00"},
      {"date-time, editing free text, midnight", ckDateTime, ikStandard, true, true, VarFromDateTime(At(2005, 3, 1)),
       "2005-03-01"},
      {"null", ckDate, ikStandard, true, false, Null(), ""},
      {"an empty string", ckDate, ikStandard, true, false, Variant(String()), ""},
      // A blank value shown outside editing is empty, not the mask's picture.
      {"null, masked date, shown", ckDate, ikMask, true, false, Null(), ""},
      {"null, masked date-time, shown", ckDateTime, ikMask, true, false, Null(), ""},
      {"an empty string, masked, shown", ckDateTime, ikMask, true, false, Variant(String()), ""},
      {"a text that is no date", ckDate, ikStandard, true, false, Variant(String(u"garbage")), nullptr},
      {"the null date", ckDate, ikStandard, true, false, VarFromDateTime(NullDate), nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    p.SetKind(c.Kind);
    p.SetInputKind(c.Input);
    p.SetShowTime(c.ShowTime);
    if (!c.Text) {
      EXPECT_THROW(p.DateEditValueToText(c.Value, c.Editing), EConvertError);
      Variant v = c.Value;
      EXPECT_FALSE(p.AcceptsEditValue(v, false) && VarIsStr(c.Value));
      continue;
    }
    EXPECT_EQ(StringToUTF8(p.DateEditValueToText(c.Value, c.Editing)), c.Text);
  }
  // Masked date-time editing: the empty picture shows a zero time, a value
  // its full date and time.
  p.SetKind(ckDateTime);
  p.SetInputKind(ikMask);
  const String empty = p.DateEditValueToText(Null(), true);
  EXPECT_NE(empty, p.EmptyText());
  EXPECT_EQ(StringToUTF8(empty.substr(empty.size() - 8)), "00:00:00");
  EXPECT_NE(StringToUTF8(p.DateEditValueToText(VarFromDateTime(value), true)).find("14:30"), std::string::npos);
}

// Masked date-time entry, 24- and 12-hour: digits that would put a part out
// of range, and letters in the AM/PM part.
TEST(DateEditMaskedTime, DigitsAndDesignatorsTable) {
  TDateLocaleScope locale;
  struct TCase {
    const char* Name;
    bool TwelveHour;
    const char16_t* Start;
    Integer Caret;
    const char16_t* Typed;
    const char16_t* Text;
    Integer Beeps;
  } const cases[] = {
      {"7 into the first minute digit", false, u"2005-03-01 12:00:00", 14, u"7", u"2005-03-01 12:07:00", 0},
      {"3 into the first hour digit", false, u"2005-03-01 12:00:00", 11, u"3", u"2005-03-01 03:00:00", 0},
      {"2 into the first hour digit of 09", false, u"2005-03-01 09:00:00", 11, u"2", u"2005-03-01 20:00:00", 0},
      {"0 into the first hour digit of 29", false, u"2005-03-01 19:00:00", 11, u"0", u"2005-03-01 09:00:00", 0},
      {"7 after a 2 in the hours", false, u"2005-03-01 20:00:00", 12, u"7", u"2005-03-01 07:00:00", 0},
      {"a digit in range", false, u"2005-03-01 12:00:00", 14, u"3", u"2005-03-01 12:30:00", 0},
      {"seconds", false, u"2005-03-01 12:00:00", 17, u"9", u"2005-03-01 12:00:09", 0},
      {"P writes PM", true, u"2005-03-01 09:00:00 AM", 20, u"p", u"2005-03-01 09:00:00 PM", 0},
      {"A writes AM", true, u"2005-03-01 09:00:00 PM", 20, u"A", u"2005-03-01 09:00:00 AM", 0},
      {"another letter is refused", true, u"2005-03-01 09:00:00 AM", 20, u"x", u"2005-03-01 09:00:00 AM", 1},
      {"no hour 0 in 12-hour form", true, u"2005-03-01 10:00:00 AM", 11, u"0", u"2005-03-01 01:00:00 AM", 0},
      {"0 after a 0 is refused", true, u"2005-03-01 01:00:00 AM", 12, u"0", u"2005-03-01 01:00:00 AM", 1},
      {"2 into the first 12-hour digit", true, u"2005-03-01 09:00:00 AM", 11, u"2", u"2005-03-01 02:00:00 AM", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.TwelveHour) {
      FormatSettings().LongTimeFormat = u"hh:nn:ss AMPM";
      FormatSettings().TimeAMString = u"AM";
      FormatSettings().TimePMString = u"PM";
    } else {
      FormatSettings().LongTimeFormat = u"hh:nn:ss";
    }
    GetFormatController()->UpdateFormats();
    TcxDateEditProperties p(nullptr);
    p.SetKind(ckDateTime);
    p.SetBeepOnError(true);
    ASSERT_TRUE(p.UsesMaskedTimeEntry());
    TcxDateEditModel model(&p);
    model.SetText(c.Start);
    ASSERT_EQ(Utf8(model.Text()), Utf8(c.Start)) << "the picture";
    model.SelectionMovedByUser(c.Caret, 0);
    RunKeyScript(model, c.Typed);
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.BeepCount(), c.Beeps);
  }
  // Other editors have no time parts.
  TcxDateEditProperties date(nullptr);
  EXPECT_EQ(date.TimePartAt(12).Kind, fikLiteral);
}

// Deleting in a time part leaves 0, never a blank; clearing the whole
// masked date-time text (the empty picture with its zero time) is no date.
TEST(DateEditMaskedTime, DeletedTimeDigitsShowZeroAndAClearedTextIsNoDate) {
  TDateLocaleScope locale;
  TcxDateEditProperties p(nullptr);
  p.SetKind(ckDateTime);
  TcxDateEditModel model(&p);
  model.SetText(u"2005-03-01 12:34:56");
  model.SelectionMovedByUser(15, 0);
  RunKeyScript(model, String(1, kDel));
  EXPECT_EQ(Utf8(model.Text()), "2005-03-01 12:30:56");
  model.SelectionMovedByUser(12, 0);
  RunKeyScript(model, String(1, kBack));
  EXPECT_EQ(Utf8(model.Text()), "2005-03-01 02:30:56");
  model.SetSelection(0, model.Length());
  RunKeyScript(model, String(1, kDel));
  const String cleared = model.Text();
  EXPECT_EQ(Utf8(cleared.substr(cleared.size() - 8)), "00:00:00");
  EXPECT_TRUE(p.IsEmptyText(cleared));
  TDateTime date = 0;
  EXPECT_FALSE(p.TextToDate(cleared, date));
}

// A shown, focused date editor whose text is set as if typed, then
// validated as on leaving it. The editor is made under the test locale and
// freed before that ends.
struct TDateEditFixture : ::testing::Test, TTestForm {
  TDateEditFixture() : TTestForm(260, 80) {
    Edit = Place<TcxDateEdit>(10, 10, 200, 24);
    ShowForm(Edit);
  }
  ~TDateEditFixture() override { FreeForm(); }
  TcxDateEditProperties* Props() { return static_cast<TcxDateEditProperties*>(Edit->Properties()); }
  // Types ATypedText over the value (bypassing the mask, as a paste of a
  // whole text would) and validates. False on a validation error.
  bool TypeAndLeave(const String& ATypedText) {
    Edit->SetFocus();
    Edit->MaskModel()->ShowUnformatted(ATypedText);
    Edit->SetModified(true);
    return Edit->ValidateEdit(false);
  }
  TDateLocaleScope Locale;
  TcxDateEdit* Edit = nullptr;
};

// kind x input kind x DateOnError x SaveTime, from a value (or null) and a
// typed text.
TEST_F(TDateEditFixture, ValidationMatrix) {
  constexpr const char* kError = "error";
  const std::optional<TDateTime> none;
  struct TCase {
    const char* Name;
    TcxCalendarKind Kind;
    TcxInputKind Input;
    TDateOnError OnError;
    bool SaveTime;
    std::optional<TDateTime> Start;  // none: null
    const char16_t* Typed;           // nullptr: the empty text of the mask
    const char* Stored;              // "null", "error" (the value is kept) or the date
  };
  const TDateTime start = At(2005, 3, 1, 14, 30);
  const TCase cases[] = {
      // A date-only editor keeps the time of day of its value.
      {"typed date gets the kept time", ckDate, ikRegExpr, deNoChange, true, start, u"2005-03-02", "2005-03-02 14:30"},
      {"without SaveTime the day alone", ckDate, ikRegExpr, deNoChange, false, start, u"2005-03-02",
       "2005-03-02 00:00"},
      {"free text with a time keeps that", ckDate, ikStandard, deNoChange, true, start, u"2005-03-02 09:15:00",
       "2005-03-02 09:15"},
      // Clearing stores null, never the kept time on day 0.
      {"cleared, SaveTime", ckDate, ikRegExpr, deNoChange, true, start, nullptr, "null"},
      {"cleared free text, SaveTime", ckDate, ikStandard, deNoChange, true, start, u"", "null"},
      {"cleared, no SaveTime", ckDate, ikRegExpr, deNoChange, false, start, nullptr, "null"},
      {"cleared date-time", ckDateTime, ikMask, deNoChange, true, start, nullptr, "null"},
      // Unreadable text, by DateOnError.
      {"garbage, no change", ckDate, ikStandard, deNoChange, true, start, u"garbage", kError},
      {"garbage, today", ckDate, ikStandard, deToday, true, none, u"garbage", "2026-03-17 00:00"},
      {"garbage, today keeps the time", ckDate, ikStandard, deToday, true, start, u"garbage", "2026-03-17 14:30"},
      {"garbage, now", ckDateTime, ikStandard, deToday, true, none, u"garbage", "2026-03-17 14:30"},
      {"garbage, null", ckDate, ikStandard, deNull, true, start, u"garbage", "null"},
      {"garbage, null (date-time)", ckDateTime, ikMask, deNull, true, start, u"garbage", "null"},
      {"half a masked date, no change", ckDate, ikMask, deNoChange, false, none, u"2005-0 -  ", kError},
      // Smart words at the fixed "now".
      {"today", ckDate, ikStandard, deNoChange, false, none, u"today", "2026-03-17 00:00"},
      {"TODAY+3", ckDate, ikRegExpr, deNoChange, false, none, u"TODAY+3", "2026-03-20 00:00"},
      {"yesterday keeps the time", ckDate, ikStandard, deNoChange, true, start, u"yesterday", "2026-03-16 14:30"},
      {"now in a date-time editor", ckDateTime, ikStandard, deNoChange, true, none, u"now", "2026-03-17 14:30"},
      {"now in a free-text date editor", ckDate, ikStandard, deNoChange, false, none, u"now", "2026-03-17 14:30"},
      {"now in a masked date editor", ckDate, ikRegExpr, deNoChange, false, none, u"now", "2026-03-17 00:00"},
      // Date-time editors take the typed time.
      {"date-time masked", ckDateTime, ikMask, deNoChange, true, start, u"2005-03-02 08:15:00", "2005-03-02 08:15"},
      {"date-time free text", ckDateTime, ikStandard, deNoChange, false, none, u"2005-03-02 08:15",
       "2005-03-02 08:15"},
      {"date-time without a time", ckDateTime, ikRegExpr, deNoChange, true, start, u"2005-03-02", "2005-03-02 00:00"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Props()->SetKind(c.Kind);
    Props()->SetInputKind(c.Input);
    Props()->SetDateOnError(c.OnError);
    Props()->SetSaveTime(c.SaveTime);
    Edit->SetEditValue(c.Start ? VarFromDateTime(*c.Start) : Null());
    const Variant before = Edit->EditValue();
    const String typed = c.Typed ? String(c.Typed) : Props()->EmptyText();
    const bool valid = TypeAndLeave(typed);
    if (std::string(c.Stored) == kError) {
      EXPECT_FALSE(valid);
      EXPECT_EQ(Shown(Edit->EditValue()), Shown(before));
      EXPECT_EQ(Utf8(Edit->Text()), Utf8(typed)) << "the user's text stays";
      continue;
    }
    ASSERT_TRUE(valid);
    EXPECT_EQ(Shown(Edit->EditValue()), c.Stored);
    if (!VarIsNull(Edit->EditValue())) {
      EXPECT_EQ(Edit->EditValue().Type(), varDate);
    }
  }
}

// Bounds apply only when MaxDate > MinDate; an OnValidate handler sees the
// re-formatted text and may settle an error.
TEST_F(TDateEditFixture, BoundsAndTheValidateHandler) {
  Props()->SetInputKind(ikStandard);
  Props()->SetSaveTime(false);
  Props()->SetMinDate(At(2005, 1, 1));
  Props()->SetMaxDate(At(2005, 12, 31));
  EXPECT_FALSE(TypeAndLeave(u"2006-01-01"));
  EXPECT_TRUE(VarIsNull(Edit->EditValue()));
  EXPECT_TRUE(TypeAndLeave(u"2005-06-01"));
  EXPECT_EQ(Shown(Edit->EditValue()), "2005-06-01 00:00");
  Props()->SetMinDate(0);
  Props()->SetMaxDate(0);  // equal: no bounds
  EXPECT_TRUE(TypeAndLeave(u"1800-06-01"));

  std::vector<std::string> seen;
  Props()->OnValidate = TcxEditValidateEvent(Edit, [&](TObject*, Variant& ADisplayValue, TCaption& AErrorText,
                                                       bool& AError) {
    seen.push_back(Utf8(VarToStr(ADisplayValue)));
    if (AError) {
      EXPECT_EQ(Utf8(AErrorText), "Invalid Date");
      ADisplayValue = Variant(String(u"2001-02-03"));
      AError = false;
    }
  });
  EXPECT_TRUE(TypeAndLeave(u"today"));
  EXPECT_TRUE(TypeAndLeave(u"garbage"));
  EXPECT_EQ(Shown(Edit->EditValue()), "2001-02-03 00:00");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], "2026-03-17") << "the handler sees the text re-formatted";
  EXPECT_EQ(seen[1], "garbage");
}

// Free text is typed key by key through the editor (no key is refused for
// not reading as a date yet) and read on leaving.
TEST_F(TDateEditFixture, FreeTextIsTypedKeyByKey) {
  Props()->SetInputKind(ikStandard);
  Props()->SetSaveTime(false);
  Edit->SetFocus();
  Application->ProcessMessages();
  TestTypeText(u"tod");
  Application->ProcessMessages();
  EXPECT_EQ(Utf8(Edit->Text()), "tod");
  TestTypeText(u"ay+1");
  Application->ProcessMessages();
  ASSERT_TRUE(Edit->ValidateEdit(false));
  EXPECT_EQ(Shown(Edit->EditValue()), "2026-03-18 00:00");
}

// Date and SetDate: the kept time, NullDate, the typed text of a focused
// editor.
TEST_F(TDateEditFixture, DateAndSetDate) {
  Props()->SetInputKind(ikStandard);
  Edit->SetEditValue(VarFromDateTime(At(2005, 3, 1, 14, 30)));
  EXPECT_NEAR(Edit->SavedTime(), 14.5 / 24, 1e-9);
  Edit->SetDate(At(2006, 7, 8));
  EXPECT_EQ(Shown(Edit->EditValue()), "2006-07-08 14:30");
  Edit->SetDate(NullDate);
  EXPECT_TRUE(VarIsNull(Edit->EditValue()));
  EXPECT_EQ(Edit->Date(), NullDate);
  Edit->ClearEditValue();
  EXPECT_TRUE(VarIsNull(Edit->EditValue()));
  Edit->SetEditValue(Variant(String(u"2004-02-29")));
  EXPECT_EQ(Shown(VarFromDateTime(Edit->Date())), "2004-02-29 00:00");
}

// ---- The popup ---------------------------------------------------------------------------

TPoint CentreOf(const TRect& R) { return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

// A shown, focused date editor for the calendar popup, made under the test
// locale and freed before that ends.
struct TDatePopupFixture
 : ::testing::Test, TTestForm {
  TDatePopupFixture() : TTestForm(420, 360) {
    Edit = Place<TcxDateEdit>(20, 20, 180, 24);
    ShowForm(Edit);
  }
  ~TDatePopupFixture() override { FreeForm(); }
  TcxDateEditProperties* Props() { return static_cast<TcxDateEditProperties*>(Edit->Properties()); }
  void Open() {
    Key(VK_F4);
    ASSERT_TRUE(Edit->HasOpenPopup());
  }
  TDateLocaleScope Locale;
  TcxDateEdit* Edit = nullptr;

};

// The calendar drops down on the editor's day; a click on a day takes it
// (with the kept time), closes the popup and marks the editor modified; Esc
// in the editor goes back to the value it had.
TEST_F(TDatePopupFixture, AClickOnADayTakesItAndEscRevertsIt) {
  const TDateTime start = At(2005, 3, 1, 14, 30);
  Edit->SetEditValue(VarFromDateTime(start));
  Open();
  TcxPopupCalendar* cal = Edit->Calendar();
  EXPECT_EQ(cal->Parent(), Edit->PopupWindow());
  EXPECT_TRUE(cal->Visible());
  EXPECT_EQ(cal->Kind(), ckDate);
  EXPECT_EQ(cal->SelectDate(), At(2005, 3, 1));
  EXPECT_EQ(cal->FirstDate(), At(2005, 3, 1));
  EXPECT_EQ(cal->Buttons(), DateButtonBit(btnClear) | DateButtonBit(btnToday));
  EXPECT_GE(Edit->PopupWindow()->Width(), cal->Width());
  EXPECT_TRUE(cal->EditorPopupOpen());

  ClickOn(cal, CentreOf(cal->DayCellRect(At(2005, 3, 10))));
  EXPECT_FALSE(Edit->HasOpenPopup());
  EXPECT_FALSE(cal->EditorPopupOpen());
  EXPECT_EQ(Shown(Edit->EditValue()), "2005-03-10 14:30");
  EXPECT_EQ(Utf8(Edit->Text()), "2005-03-10");
  EXPECT_TRUE(Edit->ModifiedAfterEnter());
  Edit->SetFocus();
  Application->ProcessMessages();
  Key(VK_ESCAPE);
  EXPECT_EQ(Shown(Edit->EditValue()), "2005-03-01 14:30");
}

// Keys of the dropped-down calendar: arrows move the selection, Enter takes
// it, Esc and Alt+Up close without taking it.
TEST_F(TDatePopupFixture, KeysMoveTakeAndClose) {
  Props()->SetSaveTime(false);
  Edit->SetEditValue(VarFromDateTime(At(2005, 3, 1)));
  struct {
    const char* Name;
    Word Key;
    Cardinal Modifiers;
    const char* Stored;
  } const closers[] = {
      {"Enter takes the day", VK_RETURN, 0, "2005-03-09 00:00"},
      {"Esc leaves the value", VK_ESCAPE, 0, "2005-03-01 00:00"},
      {"Alt+Up leaves the value", VK_UP, tkAlt, "2005-03-01 00:00"},
      {"F4 leaves the value", VK_F4, 0, "2005-03-01 00:00"},
  };
  for (const auto& c : closers) {
    SCOPED_TRACE(c.Name);
    Edit->SetEditValue(VarFromDateTime(At(2005, 3, 1)));
    Edit->SetFocus();
    Application->ProcessMessages();
    Open();
    Key(VK_DOWN);   // a week on
    Key(VK_RIGHT);  // and a day
    EXPECT_EQ(Edit->Calendar()->SelectDate(), At(2005, 3, 9));
    Key(c.Key, c.Modifiers);
    EXPECT_FALSE(Edit->HasOpenPopup());
    EXPECT_EQ(Shown(Edit->EditValue()), c.Stored);
  }
}

// With PostPopupValueOnTab, Tab in a date popup takes the selected day and
// moves the focus on from the editor.
TEST_F(TDatePopupFixture, TabTakesTheDayAndMovesOn) {
  auto* next = new TcxDateEdit(Form);
  next->SetBounds(20, 200, 180, 24);
  next->SetParent(Form);
  Props()->SetPostPopupValueOnTab(true);
  Props()->SetSaveTime(false);
  Edit->SetEditValue(VarFromDateTime(At(2005, 3, 1)));
  Open();
  Key(VK_RIGHT);
  Key(VK_TAB);
  EXPECT_FALSE(Edit->HasOpenPopup());
  EXPECT_EQ(Shown(Edit->EditValue()), "2005-03-02 00:00");
  EXPECT_TRUE(next->Focused());
}

// A date-time popup: the time editor shows the value's time; OK takes the
// selected day with that time; Clear stores null; Esc on a button closes.
TEST_F(TDatePopupFixture, DateTimePopupTakesTheTimeEditorsTime) {
  Props()->SetKind(ckDateTime);
  Edit->Style()->LookAndFeel()->SetKind(lfStandard);
  Edit->SetEditValue(VarFromDateTime(At(2005, 3, 1, 8, 15)));
  Open();
  TcxPopupCalendar* cal = Edit->Calendar();
  EXPECT_EQ(cal->Kind(), ckDateTime);
  // The editor's look reaches the calendar, its buttons and time editor.
  EXPECT_FALSE(cal->Flat());
  EXPECT_EQ(cal->OKButton()->LookAndFeel()->Kind(), lfStandard);
  EXPECT_EQ(cal->TimeEdit()->Style()->LookAndFeel()->Kind(), lfStandard);
  EXPECT_EQ(Utf8(cal->TimeEdit()->Text()), "08:15:00");
  EXPECT_NEAR(cal->Clock()->Time(), EncodeTime(8, 15, 0, 0), 1e-9);
  EXPECT_TRUE(cal->NowButton()->Visible());
  // A single click only selects in a date-time popup.
  ClickOn(cal, CentreOf(cal->DayCellRect(At(2005, 3, 4))));
  EXPECT_TRUE(Edit->HasOpenPopup());
  EXPECT_EQ(cal->SelectDate(), At(2005, 3, 4));
  cal->TimeEdit()->SetTime(EncodeTime(9, 45, 0, 0));
  cal->OKButton()->Click();
  Application->ProcessMessages();
  EXPECT_FALSE(Edit->HasOpenPopup());
  EXPECT_EQ(Shown(Edit->EditValue()), "2005-03-04 09:45");

  Open();
  cal->ClearButton()->Click();
  Application->ProcessMessages();
  EXPECT_FALSE(Edit->HasOpenPopup());
  EXPECT_TRUE(VarIsNull(Edit->EditValue()));

  Open();
  cal->OKButton()->SetFocus();
  Application->ProcessMessages();
  Key(VK_ESCAPE);
  EXPECT_FALSE(Edit->HasOpenPopup());
  EXPECT_TRUE(VarIsNull(Edit->EditValue()));
}

// The system's regional settings change while the program runs: the window
// system's news reaches the format controller, which re-reads the system's
// formats, and a date editor's mask is rebuilt from them.
TEST(DateEditKind, ASystemSettingsChangeRebuildsTheMask) {
  Application->Initialize();
  const TFormatSettings Saved = FormatSettings();
  TFormatSettings Odd = TFormatSettings::Invariant();  // no system's: day first, dots
  Odd.ShortDateFormat = u"dd.mm.yyyy";
  Odd.DateSeparator = u'.';
  Odd.LongTimeFormat = u"hh:nn:ss";
  FormatSettings() = Odd;
  GetFormatController()->UpdateFormats();
  {
    TcxDateEditProperties p(nullptr);
    p.SetKind(ckDateTime);
    const String before = p.EditMask();
    ASSERT_FALSE(before.empty());
    TestSystemSettingsChange();
    const TFormatSettings System = GetLocaleFormatSettings();
    EXPECT_EQ(FormatSettings().ShortDateFormat, System.ShortDateFormat);
    EXPECT_NE(Utf8(p.EditMask()), Utf8(before));
    TcxDateEditProperties fresh(nullptr);  // built from the system's formats from the start
    fresh.SetKind(ckDateTime);
    EXPECT_EQ(Utf8(p.EditMask()), Utf8(fresh.EditMask()));
  }
  FormatSettings() = Saved;
  GetFormatController()->UpdateFormats();
}

TEST(DateEditKind, RegistersWithItsEditor) {
  cxDateEditInitialize();
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(u"TcxDateEditProperties"));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(Utf8(registry->Descriptions(registry->IndexOfClass(cls))),
            "DateEdit|Represents an edit control with a dropdown calendar");
  EXPECT_EQ(cls->GetEditorClass(), TcxDateEdit::StaticClass());
  cxDateEditFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxDateEditProperties"), nullptr);
}

// The editing window's date-time item: an in-place editor of the item takes
// its kind.
TEST_F(TDateEditFixture, RepositoryItemSettingsReachTheEditor) {
  TcxEditRepository repository(nullptr);
  auto* item = static_cast<TcxEditRepositoryDateItem*>(repository.CreateItem(TcxEditRepositoryDateItem::StaticClass()));
  ASSERT_NE(item->DateProperties(), nullptr);
  item->DateProperties()->SetKind(ckDateTime);
  Edit->SetRepositoryItem(item);
  EXPECT_EQ(Edit->ActiveDateProperties()->Kind(), ckDateTime);
  EXPECT_EQ(Edit->ActiveDateProperties()->InputKind(), ikMask);
  Edit->SetEditValue(VarFromDateTime(At(2005, 3, 1, 8, 15)));
  EXPECT_TRUE(TypeAndLeave(u"2005-03-02 09:30:00"));
  EXPECT_EQ(Shown(Edit->EditValue()), "2005-03-02 09:30");
  Edit->SetRepositoryItem(nullptr);
}

// Pictures of a date editor with its calendar dropped down, date and
// date-time kinds: the editor's day is highlighted in the grid, the
// date-time kind shows its time editor.
TEST_F(TDatePopupFixture, PictureOfBothKindsDroppedDown) {
  for (const TcxCalendarKind kind : {ckDate, ckDateTime}) {
    SCOPED_TRACE(kind == ckDate ? "date" : "date-time");
    Props()->SetKind(kind);
    Edit->SetEditValue(VarFromDateTime(At(2026, 3, 5, 10, 10)));
    Edit->SetFocus();
    Application->ProcessMessages();
    Open();
    Application->ProcessMessages();
    TcxCustomEditPopupWindow* popup = Edit->PopupWindow();
    TcxPopupCalendar* cal = Edit->Calendar();
    const TPoint formOrigin = Form->ClientToScreen(TPoint{0, 0});
    const TRect pr = popup->BoundsRect();
    TBitmap picture(Form->ClientWidth(), Form->ClientHeight(), pf24bit);
    Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
    const TPoint at{pr.Left - formOrigin.X, pr.Top - formOrigin.Y};
    popup->PaintTo(picture.Canvas()->Handle(), at.X, at.Y);
    SavePicture(&picture, kind == ckDate ? "dateedit_date_open.png" : "dateedit_datetime_open.png");
    const TPoint calAt{at.X + cal->Left(), at.Y + cal->Top()};
    const TRect day = cal->DayCellRect(At(2026, 3, 5));
    EXPECT_EQ(picture.PixelColor(calAt.X + day.Left + 1, calAt.Y + day.Top + 1), ColorToRGB(clHighlight) & 0xFFFFFF);
    EXPECT_GE(at.Y, Edit->Top() + Edit->Height() - 1) << "the popup opens below the editor";
    if (kind == ckDateTime) {
      // The time editor's text fits its inner edit.
      TcxTimeEdit* te = cal->TimeEdit();
      TcxScreenCanvas* sc = SharedScreenCanvas();
      sc->GetFont()->Assign(te->InnerEdit()->Font());
      EXPECT_GT(te->InnerEdit()->Width(), sc->GetTextWidth(te->Text()));
      const TRect r = cal->TimeEditRect();
      bool ink = false;
      for (Integer x = r.Left + 2; x < r.Right - 2 && !ink; ++x)
        ink = picture.PixelColor(calAt.X + x, calAt.Y + (r.Top + r.Bottom) / 2) != (ColorToRGB(clWindow) & 0xFFFFFF);
      EXPECT_TRUE(ink) << "the time editor's text";
    }
    Key(VK_ESCAPE);
    ASSERT_FALSE(Edit->HasOpenPopup());
  }
}

}  // namespace

// A text given from outside a free-typing (ikStandard) editor is taken only
// when it reads as a date (or is no text at all); the masked kinds leave
// the check to their masks.
TEST_F(TDateEditFixture, OutsideTextOfAFreeTypingEditorMustReadAsADate) {
  struct {
    TcxInputKind Input;
    const char16_t* Text;
    bool Acceptable;
  } const cases[] = {
      {ikStandard, u"2005-03-02", true}, {ikStandard, u"", true},       {ikStandard, u"  ", true},
      {ikStandard, u"today", true},      {ikStandard, u"2005-13-45", false}, {ikStandard, u"abc", false},
      {ikRegExpr, u"abc", true},
  };
  for (const auto& c : cases) {
    Props()->SetInputKind(c.Input);
    EXPECT_EQ(Props()->IsDateTextAcceptable(c.Text), c.Acceptable) << Utf8(c.Text);
  }
  // Through the editor: an unreadable outside text leaves the value alone.
  Props()->SetInputKind(ikStandard);
  Edit->SetEditValue(VarFromDateTime(At(2005, 3, 1)));
  Edit->DataBinding()->SetDisplayValue(Variant(String(u"abc")));
  EXPECT_EQ(Shown(Edit->EditValue()), "2005-03-01 00:00");
}

// New bounds bring a modified editor's date within them at once; no bounds
// (MinDate = MaxDate) leave it.
TEST_F(TDateEditFixture, ModifiedDateIsKeptWithinNewBounds) {
  struct {
    const char16_t* Typed;
    TDateTime Min, Max;
    const char* Expected;
  } const cases[] = {
      {u"2010-01-01", At(2000, 1, 1), At(2005, 12, 31), "2005-12-31 00:00"},
      {u"1990-06-01", At(2000, 1, 1), At(2005, 12, 31), "2000-01-01 00:00"},
      {u"2003-06-01", At(2000, 1, 1), At(2005, 12, 31), "2003-06-01 00:00"},  // within: as typed
      {u"2010-01-01", 0, 0, "2010-01-01 00:00"},
  };
  Props()->SetInputKind(ikStandard);
  for (const auto& c : cases) {
    Props()->SetMinDate(0);
    Props()->SetMaxDate(0);
    Edit->SetEditValue(Null());
    Edit->SetFocus();
    Edit->MaskModel()->ShowUnformatted(c.Typed);
    Edit->SetModified(true);
    Props()->BeginUpdate();
    Props()->SetMaxDate(c.Max);  // (a minimum above the maximum is not taken)
    Props()->SetMinDate(c.Min);
    Props()->EndUpdate();
    EXPECT_EQ(Shown(Edit->Date() == NullDate ? Null() : VarFromDateTime(Edit->Date())), c.Expected);
    EXPECT_TRUE(Edit->IsModified());
  }
}
