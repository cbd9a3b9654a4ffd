#include "editors/cxCheckBox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "editors/cxEditPaintUtils.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/cxUltraFlatPainters.h"
#include "platform/gui/forms.h"
#include "platform/gui/messages.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

TColor Rgb(TColor AColor) { return ColorToRGB(AColor) & 0xFFFFFF; }

LPARAM MousePos(Integer X, Integer Y) { return LPARAM((Y << 16) | (X & 0xFFFF)); }

class cxCheckBox : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGuiRuntime();
    cxStandardPaintersRegister();
    cxUltraFlatPaintersRegister();
  }
};

// Counts OnClick of a check box.
struct TClickCounter {
  Integer Count = 0;
  explicit TClickCounter(TcxCheckBox& ABox) {
    ABox.OnClick = TNotifyEvent(this, [this](TObject*) { ++Count; });
  }
};

}  // namespace

TEST_F(cxCheckBox, ValueToState) {
  struct TCase {
    const char* Name;
    Variant Checked, Unchecked;  // Null: keep the default
    Variant Value;
    TcxCheckBoxState State;
  };
  const TCase cases[] = {
      {"true", Null(), Null(), Variant(true), cbsChecked},
      {"false", Null(), Null(), Variant(false), cbsUnchecked},
      {"1 against a Boolean compares as text", Null(), Null(), Variant(1), cbsGrayed},
      {"text True", Null(), Null(), Variant(u"True"), cbsChecked},
      {"text False", Null(), Null(), Variant(u"False"), cbsUnchecked},
      {"Null", Null(), Null(), Null(), cbsGrayed},
      {"other text", Null(), Null(), Variant(u"maybe"), cbsGrayed},
      {"integer values: 1", Variant(1), Variant(0), Variant(1), cbsChecked},
      {"integer values: 0", Variant(1), Variant(0), Variant(0), cbsUnchecked},
      {"integer values: text 1", Variant(1), Variant(0), Variant(u"1"), cbsChecked},
      {"integer values: 2", Variant(1), Variant(0), Variant(2), cbsGrayed},
      {"text values", Variant(u"Y"), Variant(u"N"), Variant(u"N"), cbsUnchecked},
  };
  for (const TCase& c : cases) {
    TcxCheckBoxProperties p(nullptr);
    if (!VarIsNull(c.Checked)) p.SetValueChecked(c.Checked);
    if (!VarIsNull(c.Unchecked)) p.SetValueUnchecked(c.Unchecked);
    EXPECT_EQ(p.GetState(c.Value), c.State) << c.Name;
    // The display text and the editor's equality follow the state.
    const String expected = c.State == cbsChecked     ? p.DisplayChecked()
                            : c.State == cbsUnchecked ? p.DisplayUnchecked()
                                                      : p.DisplayGrayed();
    EXPECT_EQ(p.GetDisplayTextOfValue(c.Value), expected) << c.Name;
    EXPECT_TRUE(p.AreEditValuesEqual(c.Value, p.GetValueByState(c.State))) << c.Name;
  }
}

TEST_F(cxCheckBox, ValueSettersKeepTheThreeValuesDistinct) {
  TcxCheckBoxProperties p(nullptr);
  Integer notices = 0;
  p.OnPropertiesChanged = TNotifyEvent(&notices, [&](TObject*) { ++notices; });
  p.SetValueChecked(Variant(false));  // the current unchecked value
  p.SetValueChecked(Null());
  p.SetValueUnchecked(Variant(true));
  p.SetValueUnchecked(Null());
  EXPECT_TRUE(VariantsEqualSameType(p.ValueChecked(), Variant(true)));
  EXPECT_TRUE(VariantsEqualSameType(p.ValueUnchecked(), Variant(false)));
  EXPECT_EQ(notices, 0);
  p.SetValueGrayed(Variant(2));
  EXPECT_TRUE(p.IsValueGrayedStored());
  p.SetValueGrayed(Null());  // Null is allowed for grayed
  EXPECT_TRUE(VarIsNull(p.ValueGrayed()));
  EXPECT_EQ(notices, 2);
  // Accepted edit values are exactly the three values, of the same type.
  Variant v = Variant(true);
  EXPECT_TRUE(p.AcceptsEditValue(v, false));
  v = Variant(u"True");
  EXPECT_FALSE(p.AcceptsEditValue(v, false));
  v = Null();
  EXPECT_TRUE(p.AcceptsEditValue(v, false));
  // Assign copies the values even when the two sets swap them.
  TcxCheckBoxProperties swapped(nullptr);
  swapped.SetValueGrayed(Variant(u"?"));
  swapped.SetValueChecked(Variant(u"N"));
  swapped.SetValueUnchecked(Variant(u"Y"));
  TcxCheckBoxProperties target(nullptr);
  target.SetValueChecked(Variant(u"Y"));
  target.SetValueUnchecked(Variant(u"N"));
  target.Assign(&swapped);
  EXPECT_EQ(target.GetState(Variant(u"Y")), cbsUnchecked);
  EXPECT_EQ(target.GetState(Variant(u"N")), cbsChecked);
}

TEST_F(cxCheckBox, ToggleCycle) {
  struct TCase {
    bool AllowGrayed;
    TcxCheckBoxState From, To;
  };
  const TCase cases[] = {
      {false, cbsUnchecked, cbsChecked}, {false, cbsChecked, cbsUnchecked}, {false, cbsGrayed, cbsChecked},
      {true, cbsUnchecked, cbsGrayed},   {true, cbsGrayed, cbsChecked},     {true, cbsChecked, cbsUnchecked},
  };
  for (const TCase& c : cases) {
    TcxCheckBox box(nullptr);
    box.Properties()->SetAllowGrayed(c.AllowGrayed);
    box.SetState(c.From);
    TClickCounter clicks(box);
    box.Toggle();
    EXPECT_EQ(box.State(), c.To) << c.AllowGrayed << " " << c.From;
    EXPECT_EQ(clicks.Count, 1);
    EXPECT_TRUE(box.IsModified());
  }
}

TEST_F(cxCheckBox, SpaceAndMouseToggle) {
  TcxCheckBox box(nullptr);
  box.SetBounds(0, 0, 121, 21);
  TClickCounter clicks(box);
  // Space held: pressed, not toggled until the key goes up.
  box.Perform(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(box.DrawState(), cxcdsPressed);
  EXPECT_EQ(box.State(), cbsUnchecked);
  box.Perform(WM_KEYDOWN, VK_SPACE, 0);  // auto-repeat
  box.Perform(WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(box.State(), cbsChecked);
  EXPECT_EQ(box.DrawState(), cxcdsNormal);
  EXPECT_EQ(clicks.Count, 1);

  // A press and release over the box toggles once (no platform click too).
  box.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
  EXPECT_EQ(box.DrawState(), cxcdsPressed);
  box.Perform(WM_LBUTTONUP, 0, MousePos(5, 5));
  EXPECT_EQ(box.State(), cbsUnchecked);
  EXPECT_EQ(clicks.Count, 2);
  // Released outside: no toggle.
  box.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
  box.Perform(WM_LBUTTONUP, 0, MousePos(500, 5));
  EXPECT_EQ(box.State(), cbsUnchecked);
  EXPECT_EQ(clicks.Count, 2);

  // Read-only: neither road changes the value.
  box.Properties()->SetReadOnly(true);
  box.Perform(WM_KEYDOWN, VK_SPACE, 0);
  box.Perform(WM_KEYUP, VK_SPACE, 0);
  box.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
  box.Perform(WM_LBUTTONUP, 0, MousePos(5, 5));
  EXPECT_EQ(box.State(), cbsUnchecked);
  EXPECT_EQ(clicks.Count, 2);
}

TEST_F(cxCheckBox, ValueSettingAndClearing) {
  TcxCheckBox box(nullptr);
  TClickCounter clicks(box);
  EXPECT_TRUE(VariantsEqualSameType(box.EditValue(), Variant(false)));
  box.SetEditValue(Variant(u"True"));
  EXPECT_TRUE(box.Checked());
  box.SetEditValue(Variant(true));  // same state: no click
  EXPECT_EQ(clicks.Count, 1);
  box.SetEditValue(Null());
  EXPECT_EQ(box.State(), cbsGrayed);
  // A cleared check box holds ValueUnchecked, not Null.
  box.ClearEditValue();
  EXPECT_TRUE(VariantsEqualSameType(box.EditValue(), Variant(false)));
  EXPECT_EQ(clicks.Count, 3);
  // Changing the values changes the state the held value shows.
  box.Properties()->SetValueChecked(Variant(0));
  box.Properties()->SetValueUnchecked(Variant(1));
  EXPECT_EQ(box.State(), cbsGrayed);
  EXPECT_EQ(clicks.Count, 4);
}

TEST_F(cxCheckBox, GlyphIndexAndThemeState) {
  struct TGlyphCase {
    TcxCheckBoxState State;
    TcxCheckBoxDrawState Draw;
    Integer Count, Index;
  };
  const TGlyphCase glyphs[] = {
      {cbsChecked, cxcdsNormal, 6, 1},  {cbsChecked, cxcdsPressed, 6, 4}, {cbsGrayed, cxcdsPressed, 6, 5},
      {cbsChecked, cxcdsPressed, 3, 1}, {cbsGrayed, cxcdsPressed, 3, 2},  {cbsGrayed, cxcdsPressed, 4, 2},
      {cbsGrayed, cxcdsNormal, 2, 0},   {cbsChecked, cxcdsPressed, 1, 0},
  };
  for (const TGlyphCase& c : glyphs) {
    const Integer index = cxCheckBoxGlyphIndex(c.State, c.Draw, c.Count);
    EXPECT_EQ(index, c.Index) << c.State << " " << c.Draw << " " << c.Count;
    EXPECT_LT(index, c.Count);
  }
  struct TThemeCase {
    TcxCheckBoxState State;
    TcxCheckBoxDrawState Draw;
    TcxCheckBoxNullValueShowingStyle Null;
    Integer Theme;
  };
  const TThemeCase themes[] = {
      {cbsUnchecked, cxcdsNormal, nssGrayedChecked, 1}, {cbsUnchecked, cxcdsDisabled, nssGrayedChecked, 4},
      {cbsChecked, cxcdsHot, nssGrayedChecked, 6},      {cbsGrayed, cxcdsPressed, nssGrayedChecked, 11},
      {cbsGrayed, cxcdsHot, nssUnchecked, 2},           {cbsGrayed, cxcdsHot, nssInactive, 4},
  };
  for (const TThemeCase& c : themes) EXPECT_EQ(cxCheckBoxThemeState(c.State, c.Draw, c.Null), c.Theme);
}

TEST_F(cxCheckBox, Layout) {
  struct TCase {
    const char* Name;
    TAlignment Alignment;
    bool Inplace, Enabled;
    TRect Box, Text;
  };
  const TRect bounds = Rect(0, 0, 100, 21);
  const TCase cases[] = {
      {"left", taLeftJustify, false, true, {2, 4, 15, 17}, {18, 1, 98, 18}},
      {"right", taRightJustify, false, true, {85, 4, 98, 17}, {2, 1, 82, 18}},
      {"centre", taCenter, false, true, {43, 4, 56, 17}, {2, 1, 98, 18}},
      {"in place is centred", taLeftJustify, true, true, {43, 4, 56, 17}, {0, 0, 100, 21}},
      {"disabled widens the text", taLeftJustify, false, false, {2, 4, 15, 17}, {18, 1, 99, 19}},
  };
  for (const TCase& c : cases) {
    const TcxCheckBoxLayout l = cxCalcCheckBoxLayout(bounds, TSize{13, 13}, c.Alignment, c.Inplace, false, c.Enabled);
    EXPECT_EQ(l.CheckBoxRect, c.Box) << c.Name;
    EXPECT_EQ(l.TextRect, c.Text) << c.Name;
  }
  // A box that does not fit leaves no room for the caption.
  const TcxCheckBoxLayout tight = cxCalcCheckBoxLayout(Rect(0, 0, 10, 21), TSize{13, 13}, taLeftJustify, false,
                                                       false, true);
  EXPECT_TRUE(IsRectEmpty(tight.TextRect));
}

TEST_F(cxCheckBox, Registration) {
  cxCheckBoxRegister();
  const Integer i = GetEditPropertiesRegistry()->IndexOfClass(TcxCheckBoxProperties::StaticClass());
  ASSERT_GE(i, 0);
  EXPECT_EQ(GetEditPropertiesRegistry()->Descriptions(i),
            u"CheckBox|Represents a check box control that allows selecting an option");
  EXPECT_EQ(TcxCheckBoxProperties::StaticClass()->GetEditorClass(), TcxCheckBox::StaticClass());
  cxCheckBoxUnregister();
  EXPECT_LT(GetEditPropertiesRegistry()->IndexOfClass(TcxCheckBoxProperties::StaticClass()), 0);
}

TEST_F(cxCheckBox, PictureInEachLookAndState) {
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  struct TColumn {
    TcxCheckBoxState State;
    TcxCheckBoxNullValueShowingStyle Null;
    TcxCheckBoxDrawState Draw;
  };
  const TColumn columns[] = {
      {cbsUnchecked, nssGrayedChecked, cxcdsNormal}, {cbsChecked, nssGrayedChecked, cxcdsNormal},
      {cbsGrayed, nssGrayedChecked, cxcdsNormal},    {cbsGrayed, nssInactive, cxcdsNormal},
      {cbsGrayed, nssUnchecked, cxcdsNormal},        {cbsChecked, nssGrayedChecked, cxcdsHot},
      {cbsChecked, nssGrayedChecked, cxcdsPressed},  {cbsChecked, nssGrayedChecked, cxcdsDisabled},
  };
  constexpr Integer W = 80, H = 21, Gap = 4;
  TBitmap picture(std::size(columns) * (W + Gap) + Gap, std::size(kinds) * (H + Gap) + Gap, pf24bit);
  picture.Canvas()->Brush()->SetColor(clAppWorkSpace);
  picture.Canvas()->FillRect(Rect(0, 0, picture.Width(), picture.Height()));

  for (size_t k = 0; k < std::size(kinds); ++k) {
    std::vector<Cardinal> unchecked;
    for (size_t c = 0; c < std::size(columns); ++c) {
      TcxCheckBox box(nullptr);
      box.SetBounds(0, 0, W, H);
      box.Style()->LookAndFeel()->SetKind(kinds[k]);
      box.Properties()->SetCaption(u"Option");
      box.Properties()->SetNullStyle(columns[c].Null);
      box.SetState(columns[c].State);
      if (columns[c].Draw == cxcdsDisabled) box.SetEnabled(false);
      TBitmap cell(W, H, pf24bit);
      TcxCanvas canvas(cell.Canvas());
      box.PaintCheckBox(&canvas, columns[c].Draw);
      picture.Canvas()->Draw(Gap + c * (W + Gap), Gap + k * (H + Gap), &cell);

      // What the face shows: a black mark, a dimmed mark or none.
      TRect face = box.Layout().CheckBoxRect;
      InflateRect(face, -2, -2);
      bool dark = false, dim = false;
      for (Integer y = face.Top; y < face.Bottom; ++y)
        for (Integer x = face.Left; x < face.Right; ++x) {
          dark |= cell.PixelColor(x, y) == Rgb(clBtnText);
          dim |= cell.PixelColor(x, y) == Rgb(clBtnShadow);
        }
      const bool checkedLook = columns[c].State == cbsChecked && columns[c].Draw != cxcdsDisabled;
      const bool dimmedLook = (columns[c].State == cbsGrayed && columns[c].Null == nssGrayedChecked) ||
                              (columns[c].State == cbsChecked && columns[c].Draw == cxcdsDisabled);
      EXPECT_EQ(dark, checkedLook) << "look " << kinds[k] << " column " << c;
      EXPECT_EQ(dim, dimmedLook) << "look " << kinds[k] << " column " << c;
      // Grayed under nssUnchecked is drawn exactly as unchecked.
      if (c == 0) unchecked = cell.Pixels32();
      if (columns[c].State == cbsGrayed && columns[c].Null == nssUnchecked) {
        EXPECT_EQ(cell.Pixels32(), unchecked) << "look " << kinds[k];
      }
    }
  }
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "korvane_checkboxes.png";
  picture.SaveToFile(UTF8ToString(file.string()));
  EXPECT_TRUE(std::filesystem::exists(file));
}

// Alt+the caption's accelerator reaches the box through the form's
// dialog-character routing: it takes the focus and toggles; another
// character is not its.
TEST_F(cxCheckBox, CaptionAcceleratorFocusesAndToggles) {
  TTestForm window(240, 80);
  auto* other = window.Place<TcxCheckBox>(10, 40, 120, 21);
  auto* box = window.Place<TcxCheckBox>(10, 10, 120, 21);
  box->SetCaption(u"&Option");
  window.ShowForm(other);
  EXPECT_EQ(window.Form->Perform(CM_DIALOGCHAR, u'x', 0), 0);
  EXPECT_FALSE(box->Checked());
  EXPECT_NE(window.Form->Perform(CM_DIALOGCHAR, u'o', 0), 0);
  EXPECT_TRUE(box->Focused());
  EXPECT_TRUE(box->Checked());
  EXPECT_NE(box->Perform(CM_DIALOGCHAR, u'O', 0), 0);  // case ignored
  EXPECT_FALSE(box->Checked());
  // A box that cannot take the focus does not answer.
  box->SetEnabled(false);
  EXPECT_EQ(box->Perform(CM_DIALOGCHAR, u'o', 0), 0);
  EXPECT_FALSE(box->Checked());
}

// The control paints through the same view info a cell paints with: the
// view info of the box as it stands holds its caption, state and layout.
TEST_F(cxCheckBox, ControlPaintsThroughItsViewInfo) {
  TcxCheckBox box(nullptr);
  box.SetBounds(0, 0, 120, 21);
  box.SetCaption(u"Option");
  box.SetChecked(true);
  TBitmap cell(120, 21, pf24bit);
  TcxCanvas canvas(cell.Canvas());
  std::unique_ptr<TcxCustomCheckBoxViewInfo> info = box.CreateCheckBoxViewInfo(&canvas, cxcdsHot);
  EXPECT_EQ(info->Caption, u"Option");
  EXPECT_EQ(info->State, cbsChecked);
  EXPECT_EQ(info->DrawState, cxcdsHot);
  EXPECT_EQ(info->CheckBoxRect, box.Layout().CheckBoxRect);
  EXPECT_EQ(info->TextRect, box.Layout().TextRect);
}

// The box's frame by border style, probed pixel by pixel: the outer ring
// (left and right edge), the ring inside it and the face. The frame of the
// box follows the edit style's border style (single and thick in the
// border colour, flat and 3D as sunken rings, ultra-flat and Office 11 in
// the button shadow, button text or highlight colour by state); a native
// look without a theme to draw falls back to the same frame.
TEST_F(cxCheckBox, BoxFrameOfEachBorderStyle) {
  constexpr TColor Border = clRed, Background = clYellow;
  const TColor office11Hot = GetHighlightBorderColor(true);
  struct TCase {
    const char* Name;
    TcxEditBorderStyle Border;
    TcxCheckBoxDrawState Draw;
    bool Native;
    TColor OuterLeft, OuterRight, InnerLeft, InnerRight, Face;
  };
  const TCase cases[] = {
      {"none", ebsNone, cxcdsNormal, false, Background, Background, Background, Background, clWindow},
      {"single", ebsSingle, cxcdsNormal, false, Border, Border, Background, Background, clWindow},
      {"thick", ebsThick, cxcdsNormal, false, Border, Border, Border, Border, clWindow},
      {"flat", ebsFlat, cxcdsNormal, false, clBtnShadow, clBtnHighlight, clBtnFace, clBtnFace, clWindow},
      {"3D", ebs3D, cxcdsNormal, false, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight, clWindow},
      {"3D pressed", ebs3D, cxcdsPressed, false, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight, clBtnFace},
      {"ultra-flat", ebsUltraFlat, cxcdsNormal, false, clBtnShadow, clBtnShadow, Background, Background, clWindow},
      {"ultra-flat hot", ebsUltraFlat, cxcdsHot, false, clHighlight, clHighlight, Background, Background,
       clNone},
      {"ultra-flat disabled", ebsUltraFlat, cxcdsDisabled, false, clBtnShadow, clBtnShadow, Background, Background,
       clBtnFace},
      {"Office 11", ebsOffice11, cxcdsNormal, false, clBtnText, clBtnText, Background, Background, clWindow},
      {"Office 11 hot", ebsOffice11, cxcdsHot, false, office11Hot, office11Hot, Background, Background, clNone},
      {"native without a theme: 3D", ebs3D, cxcdsNormal, true, clBtnShadow, clBtnHighlight, cl3DDkShadow,
       cl3DLight, clWindow},
      {"native without a theme: flat", ebsFlat, cxcdsNormal, true, clBtnShadow, clBtnHighlight, clBtnFace,
       clBtnFace, clWindow},
  };
  constexpr Integer W = 80, H = 21;
  for (const TCase& c : cases) {
    // A disabled box takes the disabled style's colour.
    const TColor background = c.Draw == cxcdsDisabled ? TColor(clBtnFace) : Background;
    TcxCheckBox box(nullptr);
    box.SetBounds(0, 0, W, H);
    box.Style()->SetBorderStyle(c.Border);
    box.Style()->SetBorderColor(Border);
    box.Style()->SetColor(Background);
    box.Style()->LookAndFeel()->SetNativeStyle(c.Native);
    box.Properties()->SetCaption(u"Option");
    if (c.Draw == cxcdsDisabled) box.SetEnabled(false);
    TBitmap cell(W, H, pf24bit);
    TcxCanvas canvas(cell.Canvas());
    box.PaintCheckBox(&canvas, c.Draw);
    const TRect b = box.Layout().CheckBoxRect;
    const Integer middle = (b.Top + b.Bottom) / 2;
    auto expected = [&](TColor AColor) { return Rgb(AColor == Background ? background : AColor); };
    EXPECT_EQ(cell.PixelColor(b.Left, middle), expected(c.OuterLeft)) << c.Name;
    EXPECT_EQ(cell.PixelColor(b.Right - 1, middle), expected(c.OuterRight)) << c.Name;
    EXPECT_EQ(cell.PixelColor(b.Left + 1, middle), expected(c.InnerLeft)) << c.Name;
    EXPECT_EQ(cell.PixelColor(b.Right - 2, middle), expected(c.InnerRight)) << c.Name;
    if (c.Face != clNone) {
      EXPECT_EQ(cell.PixelColor(b.Left + 2, b.Top + 2), Rgb(c.Face)) << c.Name;
    } else {
      // Hot: the painter family's hot face, neither the window colour nor
      // the background.
      const TColor face = cell.PixelColor(b.Left + 2, b.Top + 2);
      EXPECT_NE(face, Rgb(clWindow)) << c.Name;
      EXPECT_NE(face, Rgb(Background)) << c.Name;
    }
    // Outside the box: the background.
    EXPECT_EQ(cell.PixelColor(b.Left - 1, middle), Rgb(background)) << c.Name;
  }
}

// ---- Action link ------------------------------------------------------------------------

namespace {

// Counts OnExecute of an action and the action's Checked it ran with.
struct TActionRuns {
  Integer Count = 0;
  bool CheckedSeen = false;
  explicit TActionRuns(TAction& AAction) {
    AAction.OnExecute = TNotifyEvent(this, [this, &AAction](TObject*) {
      ++Count;
      CheckedSeen = AAction.Checked();
    });
  }
};

}  // namespace

// The action's caption, enabled and checked reach the box; changing the
// action's Checked moves the box without running the action.
TEST_F(cxCheckBox, ActionDrivesTheBox) {
  TAction action(nullptr);
  action.SetCaption(u"Show grid");
  action.SetChecked(true);
  TActionRuns runs(action);
  TcxCheckBox box(nullptr), other(nullptr);
  box.SetAction(&action);
  other.SetAction(&action);
  EXPECT_EQ(box.Caption(), u"Show grid");
  EXPECT_TRUE(box.Checked());
  EXPECT_TRUE(other.Checked());

  action.SetChecked(false);
  EXPECT_FALSE(box.Checked());
  EXPECT_FALSE(other.Checked());
  action.SetEnabled(false);
  EXPECT_FALSE(box.Enabled());
  action.SetCaption(u"Grid");
  EXPECT_EQ(box.Caption(), u"Grid");
  EXPECT_EQ(runs.Count, 0);
  EXPECT_FALSE(box.IsStateStored());
  box.SetEditValue(Null());  // grayed: stored, whatever the action says
  EXPECT_TRUE(box.IsStateStored());
}

// The user's toggle (mouse or space) gives the action the new Checked,
// runs the action once, and the other linked boxes follow; a grayed step
// leaves the action alone.
TEST_F(cxCheckBox, UserToggleChecksAndRunsTheAction) {
  TAction action(nullptr);
  TActionRuns runs(action);
  TcxCheckBox box(nullptr), other(nullptr);
  box.SetBounds(0, 0, 121, 21);
  box.SetAction(&action);
  other.SetAction(&action);

  box.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MousePos(5, 5));
  box.Perform(WM_LBUTTONUP, 0, MousePos(5, 5));
  EXPECT_TRUE(box.Checked());
  EXPECT_TRUE(action.Checked());
  EXPECT_TRUE(other.Checked());
  EXPECT_EQ(runs.Count, 1);
  EXPECT_TRUE(runs.CheckedSeen);

  box.Perform(WM_KEYDOWN, VK_SPACE, 0);
  box.Perform(WM_KEYUP, VK_SPACE, 0);
  EXPECT_FALSE(action.Checked());
  EXPECT_FALSE(other.Checked());
  EXPECT_EQ(runs.Count, 2);

  box.Properties()->SetAllowGrayed(true);
  box.Toggle();  // unchecked -> grayed
  EXPECT_EQ(box.State(), cbsGrayed);
  EXPECT_FALSE(action.Checked());
  EXPECT_EQ(other.State(), cbsUnchecked);
  EXPECT_EQ(runs.Count, 3);
  // A grayed box is not in step, so its link passes the new value by; the
  // action's change notice then sets it as every client's.
  action.SetChecked(true);
  EXPECT_EQ(runs.Count, 3);
  EXPECT_TRUE(other.Checked());
  EXPECT_TRUE(box.Checked());
}

// Either the action or the box may be freed first.
TEST_F(cxCheckBox, ActionOrBoxFreedFirst) {
  auto* action = new TAction(nullptr);
  auto* box = new TcxCheckBox(nullptr);
  box->SetAction(action);
  action->Free();
  EXPECT_EQ(box->Action(), nullptr);
  box->Toggle();
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(box->IsStateStored());

  action = new TAction(nullptr);
  box->SetAction(action);
  box->Free();
  EXPECT_EQ(action->ClientCount(), 0);
  action->SetChecked(true);
  action->Free();
}

// Linking to an action that is still loading only fills a box left
// unchecked; a state waiting for the box's own loading to end wins.
TEST_F(cxCheckBox, LinkingKeepsAStateTheBoxWasGiven) {
  struct TCase {
    const char* Name;
    Variant BoxValue;  // Null: grayed
    bool ActionLoading, ActionChecked, PendingGrayed;
    TcxCheckBoxState Expected;
  };
  const TCase cases[] = {
      {"defaults only: unchecked follows", Variant(false), true, true, false, cbsChecked},
      {"defaults only: checked stays", Variant(true), true, false, false, cbsChecked},
      {"defaults only: grayed stays", Null(), true, true, false, cbsGrayed},
      {"linked: checked follows", Variant(true), false, false, false, cbsUnchecked},
      {"linked: grayed follows", Null(), false, true, false, cbsChecked},
      {"pending state of a loading box", Variant(false), false, true, true, cbsGrayed},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TAction action(nullptr);
    action.SetChecked(c.ActionChecked);
    TcxCheckBox box(nullptr);
    box.SetEditValue(c.BoxValue);
    if (c.PendingGrayed) {
      box.SetLoading(true);
      box.SetState(cbsGrayed);
    }
    action.SetLoading(c.ActionLoading);
    box.SetAction(&action);
    action.SetLoading(false);
    if (c.PendingGrayed) box.SetLoading(false);
    EXPECT_EQ(box.State(), c.Expected);
  }
}
