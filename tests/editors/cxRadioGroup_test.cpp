#include "editors/cxRadioGroup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "foundation/cxPainterImages.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/cxUltraFlatPainters.h"
#include "editors/cxCheckBox.h"
#include "platform/gui/forms.h"
#include "platform/gui/messages.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

LPARAM MousePos(const TPoint& P) { return LPARAM((P.Y << 16) | (P.X & 0xFFFF)); }
TPoint CentreOf(const TRect& R) { return Point((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

class cxRadioGroup : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGuiRuntime();
    cxStandardPaintersRegister();
    cxUltraFlatPaintersRegister();
  }
  void TearDown() override { cxPainterImagesFinalize(); }

  // Items with the given captions and values (Null: no value).
  static void AddItems(TcxCustomRadioGroupProperties* AProperties, std::initializer_list<const char16_t*> ACaptions,
                       std::initializer_list<Variant> AValues = {}) {
    auto value = AValues.begin();
    for (const char16_t* caption : ACaptions) {
      TcxRadioGroupItem* item = AProperties->Items()->Add();
      item->SetCaption(caption);
      if (value != AValues.end()) item->SetValue(*value++);
    }
  }
};

struct TClickCounter {
  Integer Count = 0;
  explicit TClickCounter(TcxRadioGroup& AGroup) {
    AGroup.OnClick = TNotifyEvent(this, [this](TObject*) { ++Count; });
  }
};

}  // namespace

TEST_F(cxRadioGroup, ValueToIndexAndBack) {
  struct TCase {
    const char* Name;
    Variant Value;
    Integer Index;
  };
  // Items: "A" and "B" without values, "One" with 1, "Yes" with True, "" without.
  const TCase cases[] = {
      {"caption B", Variant(u"B"), 1},
      {"captions are case-sensitive", Variant(u"b"), -1},
      {"integer value", Variant(1), 2},
      {"text of the integer value", Variant(u"1"), 2},
      {"a Boolean compares as text: True against 1", Variant(true), 3},
      {"Null selects nothing, not the item with an empty caption", Null(), -1},
      {"unknown", Variant(7), -1},
  };
  TcxRadioGroupProperties p(nullptr);
  p.SetDefaultCaption(u"(none)");
  AddItems(&p, {u"A", u"B", u"One", u"Yes", u""}, {Null(), Null(), Variant(1), Variant(true), Null()});
  for (const TCase& c : cases) {
    EXPECT_EQ(p.GetIndexByValue(c.Value), c.Index) << c.Name;
    EXPECT_EQ(p.GetDisplayTextOfValue(c.Value), c.Index < 0 ? String(u"(none)") : p.Items()->Item(c.Index)->Caption())
        << c.Name;
    Variant normalized;
    p.NormalizeEditValue(c.Value, normalized, false);
    EXPECT_TRUE(VariantsEqualSameType(normalized, Variant(c.Index))) << c.Name;
  }
  // An item with Value 1 against a Boolean True: texts "1" and "True" differ.
  TcxRadioGroupProperties q(nullptr);
  AddItems(&q, {u"One"}, {Variant(1)});
  EXPECT_EQ(q.GetIndexByValue(Variant(true)), -1);

  // Index to value: DefaultValue, the item's value, or its caption.
  p.SetDefaultValue(Variant(0));
  EXPECT_TRUE(VariantsEqualSameType(p.GetValueByIndex(-1), Variant(0)));
  EXPECT_TRUE(VariantsEqualSameType(p.GetValueByIndex(2), Variant(1)));
  EXPECT_TRUE(VariantsEqualSameType(p.GetValueByIndex(1), Variant(u"B")));
  EXPECT_TRUE(VariantsEqualSameType(p.GetValueByIndex(99), Variant(0)));
  EXPECT_TRUE(p.AreEditValuesEqual(Variant(u"1"), Variant(1)));
  EXPECT_EQ(p.GetEditorFeatures(), cxRadioGroupEditorFeaturesWithItems);
  EXPECT_EQ(TcxRadioGroupProperties(nullptr).GetEditorFeatures(), cxRadioGroupEditorFeatures);
}

TEST_F(cxRadioGroup, ItemIndexIsClampedAndDrivesTheValue) {
  struct TCase {
    Integer Set, Stored;
  };
  const TCase cases[] = {{7, 2}, {-5, -1}, {1, 1}, {0, 0}, {-1, -1}};
  for (const TCase& c : cases) {
    TcxRadioGroup group(nullptr);
    AddItems(group.Properties(), {u"A", u"B", u"C"});
    group.Properties()->SetDefaultValue(Variant(0));
    TClickCounter clicks(group);
    group.SetItemIndex(c.Set);
    EXPECT_EQ(group.ItemIndex(), c.Stored) << c.Set;
    if (c.Stored >= 0) {  // from -1 to -1 nothing changes
      EXPECT_TRUE(VariantsEqualSameType(group.EditValue(), group.Properties()->GetValueByIndex(c.Stored))) << c.Set;
    }
    EXPECT_EQ(clicks.Count, c.Stored >= 0 ? 1 : 0) << c.Set;
  }
  // Setting the value selects; clearing goes back to DefaultValue.
  TcxRadioGroup group(nullptr);
  AddItems(group.Properties(), {u"A", u"B", u"B"});
  group.Properties()->SetDefaultValue(Variant(0));
  group.SetEditValue(Variant(u"B"));
  EXPECT_EQ(group.ItemIndex(), 1);
  group.SetItemIndex(2);  // shares its value with item 1: still item 2
  EXPECT_EQ(group.ItemIndex(), 2);
  group.ClearEditValue();
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_TRUE(VariantsEqualSameType(group.EditValue(), Variant(0)));
  // Setting the same index again clears the modified flags.
  group.SetItemIndex(0);
  group.SetModified(true);
  group.SetItemIndex(0);
  EXPECT_FALSE(group.IsModified());
}

TEST_F(cxRadioGroup, ColumnsAreNotRebalanced) {
  TcxRadioGroupProperties p(nullptr);
  EXPECT_EQ(p.GetEffectiveColumns(), 1);
  AddItems(&p, {u"1", u"2", u"3", u"4", u"5"});
  p.SetColumns(4);
  EXPECT_EQ(p.GetEffectiveColumns(), 4);
  EXPECT_EQ(p.RowCount(), 2);
  p.SetColumns(9);
  EXPECT_EQ(p.GetEffectiveColumns(), 5);
}

// The child buttons follow the items: one per item in item order, each in
// its item's cell with its caption; an item added or deleted alone creates
// or frees the button at its own index (the others stay the same
// controls); a button is enabled when both the group and its item are.
TEST_F(cxRadioGroup, ChildButtonsFollowTheItems) {
  TcxRadioGroup group(nullptr);
  group.SetBounds(0, 0, 185, 105);
  group.SetCaption(u"Kind");
  AddItems(group.Properties(), {u"A", u"B", u"C", u"D"});
  group.Properties()->SetColumns(2);
  ASSERT_EQ(group.ButtonCount(), 4);
  auto check = [&](const char* AStep) {
    const std::vector<TRect> cells = group.ItemRects();
    TcxRadioGroupItems* items = group.Properties()->Items();
    ASSERT_EQ(group.ButtonCount(), items->Count()) << AStep;
    const Integer rows = group.Properties()->RowCount();
    for (Integer i = 0; i < group.ButtonCount(); ++i) {
      TcxCustomRadioGroupButton* button = group.RadioButtons(i);
      EXPECT_EQ(button->Parent(), &group) << AStep << " " << i;
      EXPECT_EQ(button->BoundsRect(), cells[i]) << AStep << " " << i;
      EXPECT_EQ(button->Caption(), items->Item(i)->Caption()) << AStep << " " << i;
      EXPECT_EQ(button->Column(), i / rows) << AStep << " " << i;
      EXPECT_EQ(button->Row(), i % rows) << AStep << " " << i;
      EXPECT_EQ(button->Enabled(), group.Enabled() && items->Item(i)->Enabled()) << AStep << " " << i;
      EXPECT_EQ(button->Checked(), i == group.ItemIndex()) << AStep << " " << i;
    }
  };
  check("four items");
  TWinControl* a = group.Buttons(0);
  TWinControl* c = group.Buttons(2);
  TWinControl* d = group.Buttons(3);
  group.Properties()->Items()->Delete(1);
  check("B deleted");
  EXPECT_EQ(group.Buttons(0), a);
  EXPECT_EQ(group.Buttons(1), c);
  EXPECT_EQ(group.Buttons(2), d);
  group.Properties()->Items()->Item(1)->SetEnabled(false);
  group.SetItemIndex(2);
  check("C disabled, D selected");
  group.SetEnabled(false);
  check("group disabled");
  group.SetEnabled(true);
  group.Properties()->Items()->Add()->SetCaption(u"E");
  check("E added");
  EXPECT_EQ(group.Buttons(0), a);
  group.SetAlignment(alLeftCenter);
  check("caption on the left");
  group.SetCaption(u"");
  check("no caption");
  group.Properties()->Items()->Clear();
  check("no items");
}

// A group that drags itself is dragged from its buttons: a press on a
// button starts dragging the group, not the button, and selects nothing.
TEST_F(cxRadioGroup, PressOnAButtonDragsAnAutomaticallyDraggedGroup) {
  TTestForm window(300, 200);
  auto* group = window.Place<TcxRadioGroup>(10, 10, 185, 105);
  AddItems(group->Properties(), {u"A", u"B"});
  group->SetDragMode(dmAutomatic);
  window.ShowForm();
  ASSERT_EQ(group->Buttons(1)->DragMode(), dmAutomatic);
  const Integer selected = group->ItemIndex();
  ASSERT_NE(selected, 1);
  group->Buttons(1)->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MousePos(Point(5, 5)));
  EXPECT_TRUE(group->Dragging());
  EXPECT_FALSE(group->Buttons(1)->Dragging());
  group->EndDrag(false);
  EXPECT_EQ(group->ItemIndex(), selected);
}

// A stand-alone radio button that the focus reaches by the keyboard checks
// itself and fires OnClick once; a click on an unchecked one fires it once
// too (the press's focus does not check it a second time).
TEST_F(cxRadioGroup, StandAloneRadioButtonCheckedByFocus) {
  TTestForm window(300, 100);
  auto* first = window.Place<TcxRadioButton>(10, 10, 90, 21);
  auto* second = window.Place<TcxRadioButton>(110, 10, 90, 21);
  auto* third = window.Place<TcxRadioButton>(210, 10, 90, 21);
  first->SetChecked(true);
  Integer clicks = 0;
  second->OnClick = TNotifyEvent(this, [&](TObject*) { ++clicks; });
  third->OnClick = TNotifyEvent(this, [&](TObject*) { ++clicks; });
  window.ShowForm(first);
  second->SetTabStop(true);
  window.Key(VK_TAB);
  EXPECT_TRUE(second->Focused());
  EXPECT_TRUE(second->Checked());
  EXPECT_FALSE(first->Checked());
  EXPECT_EQ(clicks, 1);
  window.ClickOn(third, Point(5, 10));
  EXPECT_TRUE(third->Checked());
  EXPECT_FALSE(second->Checked());
  EXPECT_EQ(clicks, 2);
}

// What a user does with the mouse and the keyboard: Tab into a group
// without a selection enters (and so selects) its first item; the arrows
// move among the buttons by columns and rows, passing no disabled item;
// only the selected button is a tab stop, so Tab leaves the group and
// Shift+Tab comes back to the selected button, then leaves on the other
// side. A read-only group keeps its selection against clicks and Space.
TEST_F(cxRadioGroup, UserSelectsWithMouseArrowsAndTab) {
  TTestForm window(420, 200);
  auto* before = window.Place<TcxRadioGroup>(10, 10, 100, 60);
  AddItems(before->Properties(), {u"X"});
  before->SetItemIndex(0);
  auto* group = window.Place<TcxRadioGroup>(120, 10, 185, 105);
  group->SetCaption(u"Kind");
  AddItems(group->Properties(), {u"A", u"B", u"C", u"D"});
  group->Properties()->SetColumns(2);  // A B | C D
  group->Properties()->Items()->Item(2)->SetEnabled(false);
  auto* after = window.Place<TcxRadioGroup>(310, 10, 100, 60);
  AddItems(after->Properties(), {u"Y"});
  after->SetItemIndex(0);
  window.ShowForm(before->Buttons(0));
  ASSERT_TRUE(before->Buttons(0)->Focused());

  window.Key(VK_TAB);
  EXPECT_TRUE(group->Buttons(0)->Focused());
  EXPECT_TRUE(group->Focused());
  EXPECT_EQ(group->ItemIndex(), 0);
  EXPECT_TRUE(group->IsModified());

  struct TStep {
    Word Key;
    Integer Focused, Selected;
  } const steps[] = {
      {VK_RIGHT, 0, 0},  // C is disabled: nothing moves
      {VK_DOWN, 1, 1},   {VK_DOWN, 1, 1},  // the last row of the column
      {VK_RIGHT, 3, 3},  {VK_UP, 3, 3},    // D stands alone in its column's second row
      {VK_LEFT, 1, 1},   {VK_RIGHT, 3, 3},
  };
  for (const TStep& step : steps) {
    window.Key(step.Key);
    EXPECT_EQ(group->FocusedIndex(), step.Focused) << step.Key;
    EXPECT_EQ(group->ItemIndex(), step.Selected) << step.Key;
  }
  for (Integer i = 0; i < group->ButtonCount(); ++i) EXPECT_EQ(group->Buttons(i)->TabStop(), i == 3) << i;

  window.Key(VK_TAB);
  EXPECT_TRUE(after->Buttons(0)->Focused());
  window.Key(VK_TAB, tkShift);
  EXPECT_TRUE(group->Buttons(3)->Focused());
  window.Key(VK_TAB, tkShift);
  EXPECT_TRUE(before->Buttons(0)->Focused());
  EXPECT_EQ(group->ItemIndex(), 3);

  // The mouse: a click on B selects it and focuses its button.
  window.ClickOn(group->Buttons(1), Point(5, group->Buttons(1)->Height() / 2));
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->Buttons(1)->Focused());

  // Read-only: a click focuses A but selects nothing; Space and the arrows
  // change nothing either.
  group->Properties()->SetReadOnly(true);
  window.ClickOn(group->Buttons(0), Point(5, group->Buttons(0)->Height() / 2));
  EXPECT_EQ(group->ItemIndex(), 1);
  window.Key(VK_SPACE);
  window.Key(VK_DOWN);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->RadioButtons(1)->Checked());
  EXPECT_FALSE(group->RadioButtons(0)->Checked());

  // The focus message focuses a button in range only.
  group->Properties()->SetReadOnly(false);
  group->Perform(CM_FOCUSRADIOBUTTON, 3, 0);
  EXPECT_EQ(group->FocusedIndex(), 3);
  group->Perform(CM_FOCUSRADIOBUTTON, 9, 0);
  EXPECT_EQ(group->FocusedIndex(), 3);
}

// With AutoSize the group takes the automatic width of its items (the
// widest caption, the glyph and the gap in every column) and the rows'
// height, with its frame and caption band; every caption then fits its
// button beside the glyph.
TEST_F(cxRadioGroup, AutoSizeFitsTheItems) {
  TTestForm window(500, 300);
  auto* group = window.Place<TcxRadioGroup>(10, 10, 60, 40);
  group->SetCaption(u"Scale");
  AddItems(group->Properties(), {u"1:10 000", u"A much longer caption", u"Mid"});
  group->Properties()->SetColumns(2);
  window.ShowForm();
  group->SetAutoSize(true);
  Application->ProcessMessages();
  const TSize size = group->CalcAutoSize();
  EXPECT_EQ(group->Width(), size.cx);
  EXPECT_EQ(group->Height(), size.cy);
  TcxCanvas* canvas = group->cxCanvas();
  canvas->SetFont(group->Style()->GetVisibleFont());
  const TcxButtonGroupMetrics m = group->GetButtonMetrics();
  for (Integer i = 0; i < group->ButtonCount(); ++i) {
    TWinControl* button = group->Buttons(i);
    const Integer needed = m.GlyphWidth + m.GlyphTextGap + canvas->GetTextWidth(button->Caption());
    EXPECT_GE(button->Width(), needed) << i;
    EXPECT_LE(button->BoundsRect().Right, group->ClientWidth()) << i;
    EXPECT_GE(button->Height(), canvas->GetTextHeight(u"Zg")) << i;
    EXPECT_GE(button->Top(), group->ClientMargins().Top) << i;
  }
  // More items: the group grows with them.
  const Integer height = group->Height();
  AddItems(group->Properties(), {u"4", u"5"});
  Application->ProcessMessages();
  EXPECT_GT(group->Height(), height);
  EXPECT_EQ(group->Height(), group->CalcAutoSize().cy);
}

TEST_F(cxRadioGroup, Registration) {
  cxRadioGroupRegister();
  const Integer i = GetEditPropertiesRegistry()->IndexOfClass(TcxRadioGroupProperties::StaticClass());
  ASSERT_GE(i, 0);
  EXPECT_EQ(GetEditPropertiesRegistry()->Descriptions(i), u"RadioGroup|Represents a group of radio buttons");
  EXPECT_EQ(TcxRadioGroupProperties::StaticClass()->GetEditorClass(), TcxRadioGroup::StaticClass());
  cxRadioGroupUnregister();
  EXPECT_LT(GetEditPropertiesRegistry()->IndexOfClass(TcxRadioGroupProperties::StaticClass()), 0);
}

TEST_F(cxRadioGroup, PictureInEachLook) {
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  constexpr Integer W = 185, H = 105, Gap = 6;
  TBitmap picture(std::size(kinds) * (W + Gap) + Gap, H + 2 * Gap, pf24bit);
  picture.Canvas()->Brush()->SetColor(clAppWorkSpace);
  picture.Canvas()->FillRect(Rect(0, 0, picture.Width(), picture.Height()));
  const TcxRadioButtonGlyphGeometry& glyph = RadioButtonGlyphGeometry();
  const TPoint dot = CentreOf(glyph.Dot);

  for (size_t k = 0; k < std::size(kinds); ++k) {
    TcxRadioGroup group(nullptr);
    group.SetBounds(0, 0, W, H);
    group.SetCaption(u"&Scale");
    group.Style()->LookAndFeel()->SetKind(kinds[k]);
    AddItems(group.Properties(), {u"1:10 000", u"1:50 000", u"1:100 000", u"1:250 000", u"Other"});
    group.Properties()->SetColumns(2);
    group.Properties()->Items()->Item(4)->SetEnabled(false);
    group.SetItemIndex(1);
    TBitmap cell(W, H, pf24bit);
    TcxCanvas canvas(cell.Canvas());
    group.PaintGroupBoxWithItems(&canvas);
    picture.Canvas()->Draw(Gap + k * (W + Gap), Gap, &cell);

    // The selected item's glyph shows the dot; the others do not.
    const std::vector<TRect> cells = group.ItemRects();
    auto dotColor = [&](Integer AIndex) {
      const TRect& c = cells[AIndex];
      const Integer top = c.Top + (c.Bottom - c.Top - glyph.Height) / 2;
      return cell.PixelColor(c.Left + dot.X, top + dot.Y);
    };
    EXPECT_NE(dotColor(1), dotColor(0)) << "look " << kinds[k];
    EXPECT_EQ(dotColor(0), dotColor(2)) << "look " << kinds[k];
    // The frame's top edge lies below the caption band's top.
    EXPECT_GT(group.ClientMargins().Top, group.BorderWidth());
  }
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "korvane_radiogroups.png";
  picture.SaveToFile(UTF8ToString(file.string()));
  EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(cxRadioGroup, PictureOfCaptionPositions) {
  const TcxCaptionAlignment alignments[] = {alTopLeft,    alTopCenter,    alTopRight,    alBottomLeft, alBottomCenter,
                                            alBottomRight, alLeftTop,     alLeftCenter,  alLeftBottom, alRightTop,
                                            alRightCenter, alRightBottom, alCenterCenter};
  constexpr Integer W = 120, H = 90, Gap = 6, PerRow = 5;
  TBitmap picture(PerRow * (W + Gap) + Gap, 3 * (H + Gap) + Gap, pf24bit);
  picture.Canvas()->Brush()->SetColor(clAppWorkSpace);
  picture.Canvas()->FillRect(Rect(0, 0, picture.Width(), picture.Height()));
  for (size_t i = 0; i < std::size(alignments); ++i) {
    TcxRadioGroup group(nullptr);
    group.SetBounds(0, 0, W, H);
    group.SetCaption(u"Caption");
    group.SetAlignment(alignments[i]);
    group.Style()->LookAndFeel()->SetKind(lfStandard);
    TBitmap cell(W, H, pf24bit);
    TcxCanvas canvas(cell.Canvas());
    group.PaintGroupBox(&canvas);
    picture.Canvas()->Draw(Gap + (i % PerRow) * (W + Gap), Gap + (i / PerRow) * (H + Gap), &cell);
    // Some caption pixel is dark inside the caption rectangle.
    TRect caption = group.CaptionRect();
    IntersectRect(caption, caption, Rect(0, 0, W, H));
    bool text = false;
    for (Integer y = caption.Top; y < caption.Bottom && !text; ++y)
      for (Integer x = caption.Left; x < caption.Right && !text; ++x)
        text = (cell.PixelColor(x, y) & 0xFF) < 0x40;
    EXPECT_TRUE(text) << "alignment " << alignments[i];
  }
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "korvane_groupbox_captions.png";
  picture.SaveToFile(UTF8ToString(file.string()));
}

TEST_F(cxRadioGroup, StandAloneRadioButton) {
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  const TcxRadioButtonDrawState states[] = {rbdsNormal, rbdsHot, rbdsPressed, rbdsDisabled};
  constexpr Integer W = 90, H = 21, Gap = 4;
  TBitmap picture(2 * std::size(states) * (W + Gap) + Gap, std::size(kinds) * (H + Gap) + Gap, pf24bit);
  picture.Canvas()->Brush()->SetColor(clAppWorkSpace);
  picture.Canvas()->FillRect(Rect(0, 0, picture.Width(), picture.Height()));
  const TPoint dot = CentreOf(RadioButtonGlyphGeometry().Dot);
  for (size_t k = 0; k < std::size(kinds); ++k)
    for (Integer checked = 0; checked < 2; ++checked)
      for (size_t s = 0; s < std::size(states); ++s) {
        TcxRadioButton button(nullptr);
        button.SetBounds(0, 0, W, H);
        button.SetCaption(u"&Metres");
        button.LookAndFeel()->SetKind(kinds[k]);
        button.SetChecked(checked != 0);
        if (s % 2 == 1) button.SetAlignment(taLeftJustify);  // the glyph at the right
        TBitmap cell(W, H, pf24bit);
        TcxCanvas canvas(cell.Canvas());
        button.PaintRadioButton(&canvas, states[s]);
        picture.Canvas()->Draw(Gap + (checked * std::size(states) + s) * (W + Gap), Gap + k * (H + Gap), &cell);
        const TRect glyph = button.GlyphRect();
        EXPECT_EQ(glyph.Left < W / 2, s % 2 == 0);
        // The dot shows exactly when checked: the dot's pixel differs from
        // that of a twin in the other check state.
        TcxRadioButton twin(nullptr);
        twin.SetBounds(0, 0, W, H);
        twin.LookAndFeel()->SetKind(kinds[k]);
        twin.SetChecked(checked == 0);
        if (s % 2 == 1) twin.SetAlignment(taLeftJustify);
        TBitmap other(W, H, pf24bit);
        TcxCanvas otherCanvas(other.Canvas());
        twin.PaintRadioButton(&otherCanvas, states[s]);
        EXPECT_NE(cell.PixelColor(glyph.Left + dot.X, glyph.Top + dot.Y),
                  other.PixelColor(glyph.Left + dot.X, glyph.Top + dot.Y))
            << "look " << kinds[k] << " state " << states[s];
      }
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "korvane_radiobuttons.png";
  picture.SaveToFile(UTF8ToString(file.string()));

  // Draw states from the mouse.
  TcxRadioButton button(nullptr);
  button.SetBounds(0, 0, W, H);
  EXPECT_EQ(button.DrawStateAt(Point(5, 5), 0, false), rbdsHot);
  EXPECT_EQ(button.DrawStateAt(Point(5, 5), ssShift, false), rbdsNormal);
  EXPECT_EQ(button.DrawStateAt(Point(500, 5), 0, false), rbdsNormal);
  EXPECT_EQ(button.DrawStateAt(Point(5, 5), ssLeft, true), rbdsPressed);
  EXPECT_EQ(button.DrawStateAt(Point(500, 5), ssLeft, true), rbdsHot);
  button.SetEnabled(false);
  EXPECT_EQ(button.DrawStateAt(Point(5, 5), 0, false), rbdsDisabled);
}

// The caption's accelerator: a group box focuses its first child control in
// tab order; a radio group focuses its selected button, or its first one
// (entering a button selects it). A character that is not the accelerator
// is not taken.
TEST_F(cxRadioGroup, CaptionAcceleratorSelectsTheFirstChild) {
  TTestForm window(400, 240);
  auto* box = window.Place<TcxCustomGroupBox>(10, 10, 180, 100);
  box->SetCaption(u"&Group");
  auto* second = new TcxRadioGroup(window.Form);
  second->SetParent(box);
  second->SetBounds(10, 20, 80, 60);
  second->SetTabOrder(1);
  auto* first = new TcxCheckBox(window.Form);
  first->SetParent(box);
  first->SetBounds(100, 20, 70, 20);
  first->SetTabOrder(0);
  auto* group = window.Place<TcxRadioGroup>(200, 10, 180, 100);
  group->SetCaption(u"&Kind");
  AddItems(group->Properties(), {u"A", u"B"});
  auto* picked = window.Place<TcxRadioGroup>(200, 120, 180, 100);
  picked->SetCaption(u"&Picked");
  AddItems(picked->Properties(), {u"A", u"B"});
  picked->SetItemIndex(1);
  window.ShowForm(second);

  EXPECT_EQ(window.Form->Perform(CM_DIALOGCHAR, u'q', 0), 0);
  EXPECT_NE(window.Form->Perform(CM_DIALOGCHAR, u'g', 0), 0);
  EXPECT_TRUE(first->Focused());
  EXPECT_FALSE(first->Checked());  // selected, not toggled
  EXPECT_NE(window.Form->Perform(CM_DIALOGCHAR, u'K', 0), 0);
  EXPECT_TRUE(group->Focused());
  EXPECT_EQ(group->FocusedIndex(), 0);
  EXPECT_EQ(group->ItemIndex(), 0);
  EXPECT_NE(window.Form->Perform(CM_DIALOGCHAR, u'p', 0), 0);
  EXPECT_EQ(picked->FocusedIndex(), 1);
  EXPECT_EQ(picked->ItemIndex(), 1);
}

// An in-place group opened by the mouse: the button under the point gets
// the press (the focus arriving in it chooses its item) or, for an
// activation by the release, a whole click.
TEST_F(cxRadioGroup, InplaceMouseActivationReachesTheItemUnderThePoint) {
  TTestForm window(300, 200);
  auto* group = new TcxRadioGroup(window.Form, true);
  group->SetParent(window.Form);
  group->SetBounds(0, 0, 120, 80);
  AddItems(group->Properties(), {u"A", u"B", u"C"});
  window.ShowForm();
  const std::vector<TRect> cells = group->ItemRects();
  TcxCustomEditData* data = nullptr;
  const TPoint onB = CentreOf(cells[1]);
  group->ActivateByMouse(0, onB.X, onB.Y, data);
  Application->ProcessMessages();
  EXPECT_EQ(group->ItemIndex(), 1);
  const TPoint onC = CentreOf(cells[2]);
  group->ActivateByMouse(ssLeft, onC.X, onC.Y, data);
  Application->ProcessMessages();
  EXPECT_TRUE(group->Buttons(2)->Focused());
  EXPECT_EQ(group->ItemIndex(), 2);
  TWinControl* c = group->Buttons(2);
  c->Perform(WM_LBUTTONUP, 0, MousePos(Point(c->Width() / 2, c->Height() / 2)));
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_TRUE(c->Focused());
  delete data;
  delete group;
}

// The group box's state styles keep a flat border flat; a single border
// still turns thick while hot tracking, as other editors' do.
TEST_F(cxRadioGroup, GroupBoxStateStylesKeepAFlatBorder) {
  TcxRadioGroup group(nullptr);
  ASSERT_NE(dynamic_cast<TcxGroupBoxStyleEx*>(group.StyleFocused()), nullptr);
  struct {
    TcxContainerBorderStyle Normal, Focused;
  } const cases[] = {{cbsFlat, cbsFlat}, {cbsSingle, cbsThick}, {cbsNone, cbsFlat}};
  for (const auto& c : cases) {
    group.Style()->SetBorderStyle(static_cast<TcxEditBorderStyle>(c.Normal));
    group.Style()->SetHotTrack(true);
    EXPECT_EQ(group.StyleFocused()->BorderStyle(), c.Focused) << c.Normal;
    EXPECT_EQ(group.StyleHot()->BorderStyle(), c.Focused) << c.Normal;
  }
}

// A vertical caption turns its font; a font that cannot turn (a bitmap
// font, or a name no family answers to) is replaced by the substitute.
TEST_F(cxRadioGroup, VerticalCaptionFont) {
  struct {
    const char16_t* Name;
    TcxCaptionAlignment Alignment;
    const char16_t* Drawn;
    Integer Orientation;
  } const cases[] = {
      {u"DejaVu Sans", alLeftTop, u"DejaVu Sans", 900},
      {u"DejaVu Sans", alRightBottom, u"DejaVu Sans", 2700},
      {u"No Such Bitmap Font", alLeftCenter, cxGroupBoxVerticalCaptionFontName, 900},
      {u"No Such Bitmap Font", alTopLeft, u"No Such Bitmap Font", 0},  // horizontal: kept
  };
  for (const auto& c : cases) {
    TFont font;
    font.SetName(c.Name);
    cxGroupBoxPrepareCaptionFont(&font, c.Alignment);
    EXPECT_EQ(font.Name(), String(c.Drawn)) << StringToUTF8(c.Name) << " " << c.Alignment;
    EXPECT_EQ(font.Orientation(), c.Orientation);
  }
}

// The automatic width holds the widest caption, the glyph and the gap in
// every column; a given width gives the rows' height (taller rows for
// wrapped captions with WordWrap and auto height).
TEST_F(cxRadioGroup, ButtonGroupSize) {
  TcxRadioGroupProperties p(nullptr);
  TcxEditStyle style(nullptr, true);
  std::unique_ptr<TcxCustomEditViewData> data(p.CreateViewData(&style, false));
  auto* group = static_cast<TcxButtonGroupViewData*>(data.get());
  TBitmap bitmap(10, 10, pf24bit);
  TcxCanvas canvas(bitmap.Canvas());
  canvas.SetFont(style.GetVisibleFont());
  const Integer lineHeight = canvas.GetTextHeight(u"Zg");
  EXPECT_EQ(group->CalcButtonGroupSize(&canvas, 0).cx, 0);  // no items
  AddItems(&p, {u"Short", u"A much longer caption", u"Mid"});
  p.SetColumns(2);
  const TcxButtonGroupMetrics m = cxRadioGroupButtonMetrics(false);
  const Integer widest = canvas.GetTextWidth(u"A much longer caption");
  const TSize automatic = group->CalcButtonGroupSize(&canvas, 0);
  EXPECT_EQ(automatic.cx, (widest + m.GlyphTextGap + m.GlyphWidth) * 2 + m.AutoWidthExtra);
  const Integer rowHeight = std::max(m.GlyphHeight, lineHeight + 2);
  EXPECT_EQ(automatic.cy, rowHeight * 2);
  p.SetWordWrap(true);
  EXPECT_EQ(group->CalcButtonGroupSize(&canvas, 80, false).cy, rowHeight * 2);
  EXPECT_GT(group->CalcButtonGroupSize(&canvas, 80, true).cy, rowHeight * 2);
}

// A radio group and a group box of check boxes, each with the focus on one
// of its child buttons, in two looks: the picture of the window as the
// user sees it (pictures/radio_and_check_groups_focused.png). The focused
// button shows its focus frame, the same button unfocused does not.
TEST_F(cxRadioGroup, PictureOfFocusedGroupsInTwoLooks) {
  const TcxLookAndFeelKind kinds[] = {lfStandard, lfUltraFlat};
  constexpr Integer W = 390, H = 130;
  TBitmap picture(2 * W, std::size(kinds) * H, pf24bit);
  for (size_t k = 0; k < std::size(kinds); ++k) {
    TTestForm window(W, H);
    auto* group = window.Place<TcxRadioGroup>(8, 8, 185, 110);
    group->SetCaption(u"&Scale");
    group->Style()->LookAndFeel()->SetKind(kinds[k]);
    AddItems(group->Properties(), {u"1:10 000", u"1:50 000", u"1:100 000", u"Other"});
    group->Properties()->SetColumns(2);
    group->Properties()->Items()->Item(3)->SetEnabled(false);
    group->SetItemIndex(1);
    auto* box = window.Place<TcxCustomGroupBox>(200, 8, 180, 110);
    box->SetCaption(u"&Checks");
    box->Style()->LookAndFeel()->SetKind(kinds[k]);
    std::vector<TcxCheckBox*> checks;
    const char16_t* captions[] = {u"Mandatory", u"Optional", u"Repeated"};
    for (Integer i = 0; i < 3; ++i) {
      auto* check = new TcxCheckBox(window.Form);
      check->SetParent(box);
      check->SetBounds(10, 24 + 26 * i, 150, 21);
      check->Properties()->SetCaption(captions[i]);
      check->Style()->LookAndFeel()->SetKind(kinds[k]);
      check->SetState(i == 0 ? cbsChecked : i == 1 ? cbsGrayed : cbsUnchecked);
      check->SetTabOrder(i);
      checks.push_back(check);
    }
    window.ShowForm(group->Buttons(1));
    ASSERT_TRUE(group->Buttons(1)->Focused());
    TWinControl* focusedButton = group->Buttons(1);
    TBitmap focused(focusedButton->Width(), focusedButton->Height(), pf24bit);
    focusedButton->PaintTo(focused.Canvas()->Handle(), 0, 0);
    window.Form->PaintTo(picture.Canvas()->Handle(), 0, k * H);
    window.Focus(checks[0]);
    ASSERT_TRUE(checks[0]->Focused());
    TBitmap unfocused(focusedButton->Width(), focusedButton->Height(), pf24bit);
    focusedButton->PaintTo(unfocused.Canvas()->Handle(), 0, 0);
    EXPECT_NE(focused.Pixels32(), unfocused.Pixels32()) << "look " << kinds[k];
    EXPECT_EQ(group->ItemIndex(), 1);
    window.Form->PaintTo(picture.Canvas()->Handle(), W, k * H);
  }
  SavePicture(&picture, "radio_and_check_groups_focused.png", 2);
}

namespace {

// A menu of the library's own kind that records where it showed and the
// shortcut keys it was offered (Ctrl+M is its shortcut).
class TRecordingMenu : public TComponent, public IcxPopupMenu {
public:
  explicit TRecordingMenu(TComponent* AOwner) : TComponent(AOwner) {}
  std::vector<TPoint> Shown;
  std::vector<WPARAM> KeysOffered;
  void Popup(Integer X, Integer Y) override { Shown.push_back({X, Y}); }
  bool IsShortCutKey(TMessage& M) override {
    KeysOffered.push_back(M.WParam);
    return M.WParam == 'M';
  }
};

}  // namespace

// A stand-alone radio button takes only menus, shows its menu for a
// request inside it (from the keyboard at its top-left) and lets the
// menu's shortcuts act while it has the focus.
TEST_F(cxRadioGroup, StandAloneRadioButtonPopupMenu) {
  TTestForm window(240, 80);
  auto* button = window.Place<TcxRadioButton>(10, 10, 120, 21);
  auto* menu = new TRecordingMenu(window.Form);
  auto* notAMenu = new TComponent(window.Form);
  button->SetPopupMenu(notAMenu);
  EXPECT_EQ(button->PopupMenu(), nullptr);
  button->SetPopupMenu(menu);
  EXPECT_EQ(button->PopupMenu(), menu);
  window.ShowForm(button);

  const TPoint inside = button->ClientToScreen({30, 8});
  button->Perform(WM_CONTEXTMENU, button->Handle(), MousePos(inside));
  ASSERT_EQ(menu->Shown.size(), 1u);
  EXPECT_EQ(menu->Shown[0], inside);
  button->Perform(WM_CONTEXTMENU, button->Handle(), MousePos(button->ClientToScreen({300, 8})));
  EXPECT_EQ(menu->Shown.size(), 1u);
  button->Perform(WM_CONTEXTMENU, button->Handle(), MAKELPARAM(-1, -1));
  ASSERT_EQ(menu->Shown.size(), 2u);
  EXPECT_EQ(menu->Shown[1], button->ClientToScreen({0, 0}));

  EXPECT_NE(button->Perform(CN_KEYDOWN, 'M', 0), 0);
  EXPECT_NE(button->Perform(CN_SYSKEYDOWN, 'M', 0), 0);
  EXPECT_EQ(button->Perform(CN_KEYDOWN, 'Q', 0), 0);
  EXPECT_EQ(menu->KeysOffered, (std::vector<WPARAM>{'M', 'M', 'Q'}));

  // A freed menu is forgotten.
  menu->Free();
  EXPECT_EQ(button->PopupMenu(), nullptr);
  EXPECT_EQ(button->Perform(CN_KEYDOWN, 'M', 0), 0);
}

// The group's menu serves its buttons: a request on a button shows it and
// its shortcuts act while a button has the focus.
TEST_F(cxRadioGroup, ButtonsUseTheGroupsPopupMenu) {
  TTestForm window(240, 140);
  auto* group = window.Place<TcxRadioGroup>(10, 10, 185, 105);
  AddItems(group->Properties(), {u"A", u"B"});
  auto* menu = new TRecordingMenu(window.Form);
  group->SetPopupMenu(menu);
  window.ShowForm(group->Buttons(0));
  ASSERT_TRUE(group->Buttons(0)->Focused());

  TWinControl* button = group->Buttons(1);
  const TPoint inside = button->ClientToScreen({5, 5});
  button->Perform(WM_CONTEXTMENU, button->Handle(), MousePos(inside));
  ASSERT_EQ(menu->Shown.size(), 1u);
  EXPECT_EQ(menu->Shown[0], inside);

  EXPECT_NE(group->Buttons(0)->Perform(CN_KEYDOWN, 'M', 0), 0);
  EXPECT_EQ(menu->KeysOffered, (std::vector<WPARAM>{'M'}));
}
