// The spin editor: stepping (clamp, wrap and none; integer and float; steps
// wider than the range; the 64-bit ends), conversion to the value type,
// typed characters and validation of the typed text, and stepping a shown
// editor.
#include "editors/cxSpinEdit.h"

#include "editors/cxEditRepository.h"
#include "editors/cxEditRepositoryItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/messages.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "tests/editors/cxEditKeyScript.h"
#include "tests/foundation/foundation_test.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

constexpr Int64 kInt64Max = std::numeric_limits<Int64>::max();
constexpr Int64 kInt64Min = std::numeric_limits<Int64>::min();

struct TDecimalPointScope {
  TDecimalPointScope() {
    FormatSettings().DecimalSeparator = u'.';
    FormatSettings().ThousandSeparator = u',';
  }
  ~TDecimalPointScope() { FormatSettings() = Saved; }
  TFormatSettings Saved = FormatSettings();
};

struct TStepCase {
  const char* Name;
  TcxSpinEditValueType ValueType;
  double Min, Max;
  bool Circular;
  double Increment, LargeIncrement;
  double Current;
  Integer Kind;
  bool Steps;
  double Expected;
};

void SetUpStepping(TcxSpinEditProperties& P, const TStepCase& c) {
  P.SetValueType(c.ValueType);
  P.SetMinValue(c.Min);
  P.SetMaxValue(c.Max);
  P.SetCircular(c.Circular);
  P.SetIncrement(c.Increment);
  P.SetLargeIncrement(c.LargeIncrement);
}

TEST(SpinEditStepping, NewValueTable) {
  const TStepCase cases[] = {
      {"int step rounds the increment", vtInt, 0, 0, false, 0.6, 10, 5, skUp, true, 6},
      {"int page step", vtInt, 0, 0, false, 0.6, 10, 5, skFastUp, true, 15},
      {"no bounds: down below zero", vtInt, 0, 0, false, 1, 10, -5, skDown, true, -6},
      {"float step", vtFloat, 0, 0, false, 0.25, 10, 1.5, skUp, true, 1.75},
      // clamp (not circular)
      {"up at max stays", vtInt, 0, 59, false, 1, 10, 59, skUp, true, 59},
      {"page past max clamps", vtInt, 0, 59, false, 1, 10, 55, skFastUp, true, 59},
      {"page below min clamps", vtInt, 0, 59, false, 1, 10, 3, skFastDown, true, 0},
      {"above max, down goes to max", vtInt, 0, 59, false, 1, 10, 70, skDown, true, 59},
      {"above max, up gives no step", vtInt, 0, 59, false, 1, 10, 70, skUp, false, 0},
      {"below min, up goes to min", vtInt, 10, 59, false, 1, 10, 2, skUp, true, 10},
      {"below min, down gives no step", vtInt, 10, 59, false, 1, 10, 2, skDown, false, 0},
      // wrap
      {"wrap up at max", vtInt, 0, 59, true, 1, 10, 59, skUp, true, 0},
      {"wrap down at min", vtInt, 0, 59, true, 1, 10, 0, skDown, true, 59},
      {"wrap page up", vtInt, 0, 59, true, 1, 10, 55, skFastUp, true, 5},
      {"wrap below min, down goes to max", vtInt, 10, 59, true, 1, 10, 2, skDown, true, 59},
      {"wrap above max, up goes to min", vtInt, 0, 59, true, 1, 10, 70, skUp, true, 0},
      {"wrap step wider than the range up", vtInt, 0, 59, true, 1, 200, 55, skFastUp, true, 15},
      {"wrap step wider than the range down", vtInt, 0, 59, true, 1, 130, 3, skFastDown, true, 53},
      {"wrap step many periods wide", vtInt, 0, 9, true, 1, 1e6 + 3, 8, skFastUp, true, 1},
      {"wrap with a wider increment", vtInt, 0, 100, true, 5, 10, 100, skUp, true, 0},
      {"float wrap", vtFloat, 0, 1, true, 0.25, 10, 1, skUp, true, 0},
      {"float wrap wider than the range", vtFloat, 0, 1, true, 0.25, 10, 0.5, skFastDown, true, 0.5},
  };
  for (const TStepCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxSpinEditProperties properties(nullptr);
    SetUpStepping(properties, c);
    Variant result;
    const bool steps = properties.NewStepValue(Variant(c.Current), c.Kind, properties.StepOf(c.Kind), result);
    ASSERT_EQ(steps, c.Steps);
    if (!steps) continue;
    EXPECT_EQ(result.Type(), c.ValueType == vtInt ? varInt64 : varDouble);
    EXPECT_DOUBLE_EQ(result.AsDouble(), c.Expected);
    if (properties.HasBounds()) {
      EXPECT_GE(result.AsDouble(), c.Min);
      EXPECT_LE(result.AsDouble(), c.Max);
    }
  }
}

// Integers at the 64-bit ends saturate instead of wrapping round.
TEST(SpinEditStepping, IntegerEndsSaturate) {
  TcxSpinEditProperties properties(nullptr);
  properties.SetValueType(vtInt);
  properties.SetLargeIncrement(1e30);  // itself beyond the 64-bit range
  struct {
    Int64 Current;
    Integer Kind;
    Int64 Expected;
  } const cases[] = {
      {kInt64Max, skUp, kInt64Max},
      {kInt64Min, skDown, kInt64Min},
      {0, skFastUp, kInt64Max},
      {0, skFastDown, kInt64Min},
      {kInt64Max - 1, skUp, kInt64Max},
  };
  for (const auto& c : cases) {
    Variant result;
    ASSERT_TRUE(properties.NewStepValue(Variant(c.Current), c.Kind, properties.StepOf(c.Kind), result));
    EXPECT_EQ(result.AsInt64(), c.Expected) << c.Current << " kind " << c.Kind;
  }
  // Bounds beyond the 64-bit range are taken at the nearest end, not at the
  // opposite one: stepping inside them still works.
  properties.SetMinValue(-1e30);
  properties.SetMaxValue(1e30);
  EXPECT_EQ(properties.MaxValueOfType().AsInt64(), kInt64Max);
  EXPECT_EQ(properties.MinValueOfType().AsInt64(), kInt64Min);
  Variant result;
  ASSERT_TRUE(properties.NewStepValue(Variant(Int64(5)), skUp, properties.StepOf(skUp), result));
  EXPECT_EQ(result.AsInt64(), 6);
  // Wrapping over the whole 64-bit range does not overflow.
  properties.SetCircular(true);
  ASSERT_TRUE(properties.NewStepValue(Variant(kInt64Max), skUp, properties.StepOf(skUp), result));
  EXPECT_EQ(result.AsInt64(), kInt64Min);
}

TEST(SpinEditValues, ConversionToValueType) {
  TDecimalPointScope locale;
  TcxSpinEditProperties properties(nullptr);
  struct {
    TcxSpinEditValueType Type;
    Variant Value;
    double Expected;
  } const cases[] = {
      {vtInt, Null(), 0},
      {vtInt, Variant(u"abc"), 0},
      {vtInt, Variant(u"12"), 12},
      {vtInt, Variant(u"1e30"), 9223372036854775807.0},
      {vtInt, Variant(2.4), 2},
      {vtInt, Variant(1e30), 9223372036854775807.0},
      {vtInt, Variant(-1e30), -9223372036854775808.0},
      {vtInt, Variant(std::numeric_limits<double>::quiet_NaN()), 0},
      {vtFloat, Variant(u"1.5"), 1.5},
      {vtFloat, Unassigned(), 0},
      {vtFloat, Variant(std::numeric_limits<double>::infinity()), 1.7e308},
  };
  for (const auto& c : cases) {
    properties.SetValueType(c.Type);
    const Variant v = properties.ToValueType(c.Value);
    SCOPED_TRACE(Utf8(VarToStr(c.Value)));
    EXPECT_EQ(v.Type(), c.Type == vtInt ? varInt64 : varDouble);
    EXPECT_DOUBLE_EQ(v.AsDouble(), c.Expected);
  }
  // The largest integer comes through exactly.
  properties.SetValueType(vtInt);
  EXPECT_EQ(properties.ToValueType(Variant(kInt64Max)).AsInt64(), kInt64Max);
}

struct TTypingCase {
  TcxSpinEditValueType Type;
  bool CanEdit;
  bool WithGetValue;
  const char16_t* Script;
  const char16_t* Text;
  Integer Beeps;
};

TEST(SpinEditTyping, Characters) {
  TDecimalPointScope locale;
  const TTypingCase cases[] = {
      {vtFloat, true, false, u"1,5", u"1.5", 0},  // a comma becomes the decimal separator
      {vtFloat, true, false, u"-2.5e3", u"-2.5e3", 0},
      {vtInt, true, false, u"1.5", u"15", 1},     // no decimals in an integer editor
      {vtFloat, true, false, u"1a2 ", u"12", 2},
      {vtFloat, true, false, u"12\u232B3", u"13", 0},
      {vtFloat, false, false, u"12", u"", 2},     // CanEdit off: nothing is typed
      {vtFloat, true, true, u"ten", u"ten", 0},   // an OnGetValue handler reads any text
  };
  for (const TTypingCase& c : cases) {
    TcxSpinEditProperties properties(nullptr);
    properties.SetBeepOnError(true);
    properties.SetValueType(c.Type);
    properties.SetCanEdit(c.CanEdit);
    if (c.WithGetValue) properties.OnGetValue = [](TObject*, const TCaption&, Variant&, TCaption&, bool&) {};
    TcxSpinEditModel model(&properties);
    RunKeyScript(model, c.Script);
    SCOPED_TRACE(Utf8(c.Script));
    EXPECT_EQ(Utf8(model.Text()), Utf8(c.Text));
    EXPECT_EQ(model.BeepCount(), c.Beeps);
  }
}

TEST(SpinEditTyping, PastedTextMeetsTheCharacterRules) {
  TDecimalPointScope locale;
  TcxSpinEditProperties properties(nullptr);
  properties.SetValueType(vtInt);
  TcxSpinEditModel model(&properties);
  model.PasteText(u"12ab3");
  EXPECT_EQ(Utf8(model.Text()), "123");
}

struct TCheckCase {
  const char* Name;
  TcxSpinEditValueType Type;
  double Min, Max;
  const char16_t* Text;
  bool Error;
  const char16_t* ErrorText;  // nullptr: the framework's own error text
  const char16_t* Shown;  // the display value after the check (no error)
};

TEST(SpinEditValidation, TypedTextTable) {
  TDecimalPointScope locale;
  const TCheckCase cases[] = {
      {"empty is 0", vtFloat, 0, 0, u"", false, u"", u"0"},
      {"float", vtFloat, 0, 0, u" 2.5 ", false, u"", u"2.5"},
      {"int rounds", vtInt, 0, 0, u"12.4", false, u"", u"12"},
      {"largest integer", vtInt, 0, 0, u"9223372036854775807", false, u"", u"9223372036854775807"},
      {"beyond the 64-bit range", vtInt, 0, 0, u"1e19", true, nullptr, nullptr},
      {"beyond the float range", vtFloat, 0, 0, u"1e309", true, nullptr, nullptr},
      {"outside the bounds", vtInt, 0, 10, u"11", true, u"Value out of bounds", nullptr},
      {"not a number", vtFloat, 0, 0, u"abc", true, nullptr, nullptr},
  };
  for (const TCheckCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxSpinEditProperties properties(nullptr);
    properties.SetValueType(c.Type);
    properties.SetMinValue(c.Min);
    properties.SetMaxValue(c.Max);
    Variant display(c.Text);
    TCaption errorText;
    bool error = false;
    properties.CheckDisplayValue(display, errorText, error, nullptr);
    EXPECT_EQ(error, c.Error);
    if (c.Error && c.ErrorText) {
      EXPECT_EQ(Utf8(errorText), Utf8(c.ErrorText));
    }
    if (c.Shown) {
      EXPECT_EQ(Utf8(VarToStr(display)), Utf8(c.Shown));
    }
  }
}

TEST(SpinEditValidation, UnreadableTextRaisesOrAsksTheHandler) {
  TDecimalPointScope locale;
  TcxSpinEditProperties properties(nullptr);
  properties.SetExceptionOnInvalidInput(true);
  Variant display(u"abc");
  TCaption errorText;
  bool error = false;
  EXPECT_THROW(properties.CheckDisplayValue(display, errorText, error, nullptr), Exception);

  String offered;
  properties.OnGetValue = [&](TObject*, const TCaption& AText, Variant& AValue, TCaption&, bool& AError) {
    offered = AText;
    AValue = Variant(10.0);
    AError = false;
  };
  display = Variant(u"ten");
  error = false;
  properties.CheckDisplayValue(display, errorText, error, nullptr);
  EXPECT_EQ(Utf8(offered), "ten");
  EXPECT_FALSE(error);
  EXPECT_EQ(Utf8(VarToStr(display)), "10");
}

TEST(SpinEditProperties, FastButtonsAndAssign) {
  TcxSpinEditProperties properties(nullptr);
  EXPECT_EQ(properties.Buttons()->Count(), 2);
  properties.SpinButtons()->SetShowFastButtons(true);
  EXPECT_EQ(properties.Buttons()->Count(), 4);
  properties.SetCircular(true);
  properties.SetIncrement(5);
  properties.SetValueType(vtInt);

  TcxSpinEditProperties copy(nullptr);
  copy.Assign(&properties);
  EXPECT_TRUE(copy.SpinButtons()->ShowFastButtons());
  EXPECT_EQ(copy.Buttons()->Count(), 4);
  EXPECT_TRUE(copy.Circular());
  EXPECT_EQ(copy.Increment(), 5);
  EXPECT_EQ(copy.ValueType(), vtInt);
  properties.SpinButtons()->SetShowFastButtons(false);
  EXPECT_EQ(properties.Buttons()->Count(), 2);
}

// A shown editor: steps change the text, keep the caret at its end, and the
// posted value is a number of the value type.
TEST(SpinEditControl, StepsAndPostsANumber) {
  TDecimalPointScope locale;
  TTestForm window(200, 80);
  TForm* form = window.Form;
  auto* spin = window.Place<TcxSpinEdit>(10, 10, 120, 24);
  EXPECT_EQ(spin->EditValue().Type(), varInt64);  // starts at the integer 0
  EXPECT_EQ(spin->EditValue().AsInt64(), 0);
  auto* props = static_cast<TcxCustomSpinEditProperties*>(spin->Properties());
  props->SetValueType(vtInt);
  props->SetMinValue(0);
  props->SetMaxValue(59);
  props->SetCircular(true);
  form->Show();
  spin->SetFocus();
  Application->ProcessMessages();

  spin->SetValue(Variant(Int64(59)));
  spin->SetFocus();
  EXPECT_TRUE(spin->DoStep(skUp));
  EXPECT_EQ(Utf8(spin->Text()), "0");
  EXPECT_EQ(spin->SelStart(), 1);
  EXPECT_TRUE(spin->DoStep(skDown));
  EXPECT_EQ(Utf8(spin->Text()), "59");
  EXPECT_EQ(spin->Value().AsInt64(), 59);
  ASSERT_TRUE(spin->PostEditValue());
  EXPECT_EQ(spin->EditValue().Type(), varInt64);
  EXPECT_EQ(spin->EditValue().AsInt64(), 59);

  props->SetCircular(false);
  props->SetMaxValue(0);  // no bounds
  spin->SetValue(Variant(kInt64Max));
  spin->SetFocus();
  spin->DoStep(skUp);
  EXPECT_EQ(Utf8(spin->Text()), "9223372036854775807");
}

// Keys step through the real key path: arrows and page keys (the page keys
// by the large increment), only with Ctrl under UseCtrlIncrement, and the
// key's button shows pressed until the key is released.
TEST(SpinEditControl, KeysStep) {
  TDecimalPointScope locale;
  TTestForm window(200, 80);
  TForm* form = window.Form;
  auto* spin = window.Place<TcxSpinEdit>(10, 10, 120, 24);
  form->Show();
  spin->SetFocus();
  Application->ProcessMessages();
  struct {
    Word Key;
    Cardinal Modifiers;
    bool CtrlIncrement;
    const char* Text;
  } const cases[] = {
      {VK_UP, 0, false, "1"},   {VK_PRIOR, 0, false, "11"}, {VK_DOWN, 0, false, "10"},
      {VK_NEXT, 0, false, "0"}, {VK_UP, 0, true, "0"},      {VK_UP, tkCtrl, true, "1"},
  };
  for (const auto& c : cases) {
    static_cast<TcxCustomSpinEditProperties*>(spin->Properties())->SetUseCtrlIncrement(c.CtrlIncrement);
    TestKeyPress(c.Key, u"", c.Modifiers);
    Application->ProcessMessages();
    EXPECT_EQ(Utf8(spin->Text()), c.Text) << "key " << c.Key;
    TestKeyRelease(c.Key, u"", c.Modifiers);
    Application->ProcessMessages();
    EXPECT_EQ(spin->PressedState(), 0);
  }
}

// With CanEdit off the text cannot change by keys that type no character:
// Delete, Backspace and the cut and paste shortcuts are heard by OnKeyDown
// and change nothing; a cut copies.
TEST(SpinEditControl, CanEditOffKeepsTheTextAgainstDeleteCutAndPaste) {
  TDecimalPointScope locale;
  TTestForm window(200, 80);
  auto* spin = window.Place<TcxSpinEdit>(10, 10, 120, 24);
  auto* props = static_cast<TcxCustomSpinEditProperties*>(spin->Properties());
  props->SetCanEdit(false);
  Integer keyDowns = 0;
  spin->OnKeyDown = TKeyEvent(&keyDowns, [&](TObject*, Word&, TShiftState) { ++keyDowns; });
  window.Form->Show();
  spin->SetValue(Variant(Int64(123)));
  spin->SetFocus();
  Application->ProcessMessages();
  struct {
    const char* Name;
    Word Key;
    const char16_t* Text;
    Cardinal Modifiers;
  } const cases[] = {
      {"Delete", VK_DELETE, u"", 0},        {"Shift+Delete", VK_DELETE, u"", tkShift},
      {"Ctrl+X", 'X', u"\x18", tkCtrl},     {"Ctrl+V", 'V', u"\x16", tkCtrl},
      {"Shift+Insert", VK_INSERT, u"", tkShift}, {"Backspace", VK_BACK, u"\b", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Clipboard()->SetAsText(u"9");
    spin->SelectAllText();
    const Integer before = keyDowns;
    TestKey(c.Key, c.Text, c.Modifiers);
    Application->ProcessMessages();
    EXPECT_EQ(Utf8(spin->Text()), "123");
    EXPECT_FALSE(spin->IsModified());
    EXPECT_GT(keyDowns, before);
  }
  spin->SelectAllText();
  spin->CutToClipboard();
  EXPECT_EQ(Utf8(Clipboard()->AsText()), "123");
  EXPECT_EQ(Utf8(spin->Text()), "123");
}

// A text that is no number goes to OnGetValue of the editor's own property
// set first, then of its repository item's, each seeing what the one before
// left; the last word stands.
TEST(SpinEditControl, GetValueHandlersRunOwnFirstThenTheRepositoryItems) {
  TDecimalPointScope locale;
  TTestForm window(200, 80);
  auto* spin = window.Place<TcxSpinEdit>(10, 10, 120, 24);
  TcxEditRepository repository(nullptr);
  auto* item = repository.CreateItem(TcxEditRepositorySpinItem::StaticClass());
  std::vector<std::string> calls;
  static_cast<TcxCustomSpinEditProperties*>(spin->Properties())->OnGetValue =
      [&](TObject*, const TCaption& AText, Variant& AValue, TCaption&, bool& AError) {
        calls.push_back("own " + Utf8(AText));
        AValue = Variant(Int64(7));
        AError = false;
      };
  static_cast<TcxCustomSpinEditProperties*>(item->Properties())->OnGetValue =
      [&](TObject*, const TCaption&, Variant& AValue, TCaption&, bool& AError) {
        calls.push_back("item " + std::to_string(AValue.AsInt64()) + (AError ? " error" : ""));
        AValue = Variant(Int64(8));
      };
  spin->SetRepositoryItem(item);
  static_cast<TcxCustomSpinEditProperties*>(item->Properties())->SetValueType(vtInt);
  window.Form->Show();
  spin->SetFocus();
  Application->ProcessMessages();
  TestTypeText(u"ten");
  Application->ProcessMessages();
  ASSERT_TRUE(spin->ValidateEdit(false));
  EXPECT_EQ(calls, (std::vector<std::string>{"own ten", "item 7"}));
  EXPECT_EQ(Utf8(spin->Text()), "8");
  spin->SetRepositoryItem(nullptr);
}

// Validation takes the value the editor was stepped to when nothing was
// typed since (the text need not be read back), and a modified editor that
// is not bound to data is brought within new bounds at once.
TEST(SpinEditControl, LastValidValueAndNewBounds) {
  TDecimalPointScope locale;
  TTestForm window(200, 80);
  auto* spin = window.Place<TcxSpinEdit>(10, 10, 120, 24);
  auto* props = static_cast<TcxCustomSpinEditProperties*>(spin->Properties());
  props->SetValueType(vtFloat);
  props->SetIncrement(0.1);
  window.Form->Show();
  spin->SetFocus();
  Application->ProcessMessages();
  spin->SetValue(Variant(1.0 / 3.0));
  spin->SetFocus();
  spin->DoStep(skUp);
  EXPECT_FALSE(spin->TypedSinceLastValue());
  ASSERT_TRUE(spin->PostEditValue());
  EXPECT_DOUBLE_EQ(spin->EditValue().AsDouble(), 1.0 / 3.0 + 0.1);  // not the shown text read back

  struct {
    double Value, Min, Max, Expected;
  } const cases[] = {
      {50, 0, 10, 10}, {-5, 0, 10, 0}, {5, 0, 10, 5},
      {50, 0, 0, 50},  // no bounds
  };
  for (const auto& c : cases) {
    props->SetMinValue(0);
    props->SetMaxValue(0);
    spin->SetValue(Variant(c.Value));
    spin->SetModified(true);
    props->BeginUpdate();
    props->SetMaxValue(c.Max);
    props->SetMinValue(c.Min);
    props->EndUpdate();
    EXPECT_DOUBLE_EQ(spin->Value().AsDouble(), c.Expected) << c.Value << " in " << c.Min << ".." << c.Max;
    EXPECT_TRUE(spin->IsModified());
  }
}

// Holding the up button steps once, then after 400 ms and every 100 ms;
// releasing it stops the steps. A wheel turn steps once.
TEST(SpinEditControl, HeldButtonRepeatsAndTheWheelSteps) {
  TDecimalPointScope locale;
  EnsureGuiRuntime();
  TTestClock clock;
  TTestForm window(200, 80);
  TForm* form = window.Form;
  auto* spin = window.Place<TcxSpinEdit>(10, 10, 120, 24);
  form->Show();
  spin->SetFocus();
  Application->ProcessMessages();
  ASSERT_EQ(spin->GetViewInfo()->ButtonCount(), 2);
  const TRect r = spin->GetViewInfo()->Button(skUp)->Bounds;
  const TPoint centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  TestMousePress(spin->Handle(), centre);
  Application->ProcessMessages();
  EXPECT_EQ(Utf8(spin->Text()), "1");
  clock.Advance(399);
  EXPECT_EQ(Utf8(spin->Text()), "1");
  clock.Advance(1);
  EXPECT_EQ(Utf8(spin->Text()), "2");
  clock.Advance(300);
  EXPECT_EQ(Utf8(spin->Text()), "5");
  TestMouseRelease(spin->Handle(), centre);
  Application->ProcessMessages();
  clock.Advance(1000);
  EXPECT_EQ(Utf8(spin->Text()), "5");
  // The wheel steps by one notch each way.
  TestWheel(spin->InnerEdit()->Handle(), TPoint{5, 5}, 1);
  Application->ProcessMessages();
  EXPECT_EQ(Utf8(spin->Text()), "6");
  TestWheel(spin->InnerEdit()->Handle(), TPoint{5, 5}, -1);
  Application->ProcessMessages();
  EXPECT_EQ(Utf8(spin->Text()), "5");
}

// ---- The spin buttons' placement and arrows -------------------------------

// Which way the ink of AColor inside R points: the longest edge of its box
// is the arrow's base. -1 when there is no ink.
TcxSpinArrow InkArrow(const TBitmap& B, const TRect& R, TColor AColor) {
  auto count = [&](Integer X0, Integer Y0, Integer X1, Integer Y1) {
    Integer n = 0;
    for (Integer y = Y0; y < Y1; ++y)
      for (Integer x = X0; x < X1; ++x) n += B.PixelColor(x, y) == cxTest::RGBOf(AColor) ? 1 : 0;
    return n;
  };
  TRect box{R.Right, R.Bottom, R.Left, R.Top};
  for (Integer y = R.Top; y < R.Bottom; ++y)
    for (Integer x = R.Left; x < R.Right; ++x)
      if (B.PixelColor(x, y) == cxTest::RGBOf(AColor))
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
  if (box.Left >= box.Right) return TcxSpinArrow(-1);
  const Integer top = count(box.Left, box.Top, box.Right, box.Top + 1);
  const Integer bottom = count(box.Left, box.Bottom - 1, box.Right, box.Bottom);
  const Integer left = count(box.Left, box.Top, box.Left + 1, box.Bottom);
  const Integer right = count(box.Right - 1, box.Top, box.Right, box.Bottom);
  const Integer base = std::max({top, bottom, left, right});
  if (base == bottom && bottom > top) return saUp;
  if (base == top && top > bottom) return saDown;
  return left > right ? saRight : saLeft;
}

struct TSpinLookFixture : ::testing::Test, TTestForm {
  TSpinLookFixture() : TTestForm(260, 80) {
    Spin = Place<TcxSpinEdit>(10, 10, 200, 24);
    ShowForm();
  }
  TcxCustomSpinEditProperties* Props() { return static_cast<TcxCustomSpinEditProperties*>(Spin->Properties()); }
  void Show(TcxSpinEditButtonsPosition APosition, bool AFast) {
    Props()->SpinButtons()->SetPosition(APosition);
    Props()->SpinButtons()->SetShowFastButtons(AFast);
    Application->ProcessMessages();
  }
  TRect ButtonRect(Integer AKind) { return Spin->GetViewInfo()->Button(AKind)->Bounds; }
  std::unique_ptr<TBitmap> Paint() {
    auto b = std::make_unique<TBitmap>(Spin->Width(), Spin->Height(), pf24bit);
    Spin->PaintTo(b->Canvas()->Handle(), 0, 0);
    return b;
  }
  TcxSpinEdit* Spin = nullptr;

};

// Each position and both button counts: the buttons' order from left to
// right, the stacked pair, the fast buttons' width, the text area between
// the buttons, and the arrow each button shows.
TEST_F(TSpinLookFixture, ButtonPlacementAndArrowsTable) {
  struct TCase {
    const char* Name;
    TcxSpinEditButtonsPosition Position;
    bool Fast;
    std::vector<Integer> LeftToRight;  // button kinds; a stacked pair is listed up, down
    std::vector<TcxSpinArrow> Arrows;  // by button kind
  };
  const TCase cases[] = {
      {"vertical", sbpVert, false, {skUp, skDown}, {saDown, saUp}},
      {"vertical, fast", sbpVert, true, {skFastDown, skUp, skDown, skFastUp}, {saDown, saUp, saDoubleLeft, saDoubleRight}},
      {"right", sbpHorzRight, false, {skDown, skUp}, {saLeft, saRight}},
      {"right, fast", sbpHorzRight, true, {skFastDown, skDown, skUp, skFastUp}, {saLeft, saRight, saDoubleLeft, saDoubleRight}},
      {"both sides", sbpHorzLeftRight, false, {skDown, skUp}, {saLeft, saRight}},
      {"both sides, fast", sbpHorzLeftRight, true, {skFastDown, skDown, skUp, skFastUp},
       {saLeft, saRight, saDoubleLeft, saDoubleRight}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Show(c.Position, c.Fast);
    TcxCustomEditViewInfo* vi = Spin->GetViewInfo();
    ASSERT_EQ(vi->ButtonCount(), c.Fast ? 4 : 2);
    const Integer w = ButtonRect(skUp).Width();
    ASSERT_GT(w, 0);
    for (Integer k = 0; k < vi->ButtonCount(); ++k) {
      EXPECT_EQ(cxSpinButtonArrow(c.Position, k), c.Arrows[size_t(k)]) << "kind " << k;
      if (k >= skFastDown) {
        EXPECT_EQ(ButtonRect(k).Width(), (3 * w + 1) / 2) << "a fast button";
      }
    }
    // Order: each button ends where the next begins (the stacked pair
    // shares its column, up above down).
    for (size_t i = 0; i + 1 < c.LeftToRight.size(); ++i) {
      const TRect a = ButtonRect(c.LeftToRight[i]), b = ButtonRect(c.LeftToRight[i + 1]);
      if (c.Position == sbpVert && c.LeftToRight[i] == skUp && c.LeftToRight[i + 1] == skDown) {
        EXPECT_EQ(a.Left, b.Left);
        EXPECT_EQ(a.Bottom, b.Top);
        EXPECT_NEAR(a.Height(), b.Height(), 1);
      } else if (c.Position == sbpHorzLeftRight && c.LeftToRight[i] == skDown) {
        EXPECT_LT(a.Right, b.Left) << "the text lies between down and up";
        EXPECT_LE(a.Right, vi->ClientRect.Left);
        EXPECT_GE(b.Left, vi->ClientRect.Right);
      } else {
        EXPECT_LE(a.Right, b.Left) << i;
      }
    }
    // The text never runs under a button.
    for (Integer k = 0; k < vi->ButtonCount(); ++k) {
      TRect overlap{};
      EXPECT_FALSE(IntersectRect(overlap, ButtonRect(k), vi->ClientRect)) << "kind " << k;
    }
    // The arrows as painted (the spin button arrow colour is the button text).
    auto picture = Paint();
    for (Integer k = 0; k < vi->ButtonCount(); ++k) {
      const TRect content = vi->Button(k)->ContentRect;
      const TColor ink = vi->Button(k)->Data.TextColor;
      const TcxSpinArrow want = c.Arrows[size_t(k)];
      if (want == saDoubleLeft || want == saDoubleRight) {
        const Integer middle = (content.Left + content.Right) / 2;
        const TcxSpinArrow single = want == saDoubleLeft ? saLeft : saRight;
        EXPECT_EQ(InkArrow(*picture, TRect{content.Left, content.Top, middle, content.Bottom}, ink), single) << k;
        EXPECT_EQ(InkArrow(*picture, TRect{middle, content.Top, content.Right, content.Bottom}, ink), single) << k;
      } else {
        EXPECT_EQ(InkArrow(*picture, content, ink), want) << "kind " << k;
      }
    }
  }
}

// A key that steps shows its button pressed (the arrow shifted) until the
// key is released; a disabled editor embosses its arrows.
TEST_F(TSpinLookFixture, KeyHeldButtonLooksPressedAndDisabledArrowsAreEmbossed) {
  Show(sbpVert, false);
  Spin->SetFocus();
  Application->ProcessMessages();
  TestKeyPress(VK_UP, u"", 0);
  Application->ProcessMessages();
  EXPECT_EQ(Spin->GetViewInfo()->Button(skUp)->Data.State, ebsPressed);
  EXPECT_NE(Spin->GetViewInfo()->Button(skDown)->Data.State, ebsPressed);
  TestKeyRelease(VK_UP, u"", 0);
  Application->ProcessMessages();
  EXPECT_NE(Spin->GetViewInfo()->Button(skUp)->Data.State, ebsPressed);

  Spin->SetEnabled(false);
  Application->ProcessMessages();
  Spin->RefreshViewStateAtCursor();
  auto picture = Paint();
  const TRect content = Spin->GetViewInfo()->Button(skUp)->ContentRect;
  EXPECT_EQ(InkArrow(*picture, content, clBtnShadow), saUp);
  // The highlight copy lies one pixel down and right, under the shadow.
  cxTest::TImage image(picture->Width(), picture->Height());
  image.Canvas.Canvas()->Draw(0, 0, picture.get());
  const TRect shadow = image.Box(content, clBtnShadow), light = image.Box(content, clBtnHighlight);
  EXPECT_EQ(light.Right, shadow.Right + 1);
  EXPECT_EQ(light.Bottom, shadow.Bottom + 1);
}

TEST_F(TSpinLookFixture, PictureOfEachPlacement) {
  const TcxSpinEditButtonsPosition positions[] = {sbpVert, sbpHorzRight, sbpHorzLeftRight};
  constexpr Integer Gap = 6;
  const Integer w = Spin->Width(), h = Spin->Height();
  TBitmap picture(2 * (w + Gap) + Gap, 3 * (h + Gap) + Gap, pf24bit);
  picture.Canvas()->Brush()->SetColor(clBtnFace);
  picture.Canvas()->FillRect(TRect{0, 0, picture.Width(), picture.Height()});
  Spin->SetEditValue(Variant(Int64(42)));
  for (Integer p = 0; p < 3; ++p)
    for (Integer f = 0; f < 2; ++f) {
      Show(positions[p], f == 1);
      auto shot = Paint();
      picture.Canvas()->Draw(Gap + f * (w + Gap), Gap + p * (h + Gap), shot.get());
      // Something was drawn in every button.
      for (Integer k = 0; k < Spin->GetViewInfo()->ButtonCount(); ++k)
        EXPECT_NE(InkArrow(*shot, Spin->GetViewInfo()->Button(k)->ContentRect,
                           Spin->GetViewInfo()->Button(k)->Data.TextColor),
                  TcxSpinArrow(-1));
    }
  cxTest::SavePicture(picture, "spinedit_buttons");
}

}  // namespace
