// The lookup items of the text editor and the combo box as a user meets
// them: which button a click names, what a pick and a step tell, what the
// list styles accept on validation and on leaving, Delete in the edit-list
// style, the wheel, an in-place activation by a key, and the settings that
// travel with the property set.
#include <gtest/gtest.h>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/exceptions.h"

namespace {

const char16_t* const kFruit[] = {u"Apple", u"Banana", u"Cherry"};

// A shown form with a combo box over three items and a text box to leave to;
// the events of the combo box's property set are written down.
struct TListFixture : TTestForm {
  explicit TListFixture(TcxEditDropDownListStyle AStyle = lsEditList) : TTestForm(360, 200) {
    Combo = Place<TcxComboBox>(20, 20, 180, 24);
    Other = Place<TcxTextEdit>(20, 80, 180, 24);
    Props()->SetDropDownListStyle(AStyle);
    for (const char16_t* item : kFruit) Props()->Items()->Add(item);
    Props()->OnChange = TNotifyEvent(Form, [this](TObject*) { Log.push_back("change"); });
    Props()->OnEditValueChanged = TNotifyEvent(Form, [this](TObject*) { Log.push_back("value"); });
    Props()->OnButtonClick =
        TcxEditButtonClickEvent(Form, [this](TObject*, Integer AIndex) { Clicks.push_back(AIndex); });
    ShowForm(Combo);
  }
  TcxCustomComboBoxProperties* Props() { return static_cast<TcxCustomComboBoxProperties*>(Combo->Properties()); }
  // A click in the middle of the view info's button AVisibleIndex.
  void ClickButton(Integer AVisibleIndex) {
    Combo->RefreshViewStateAtCursor();
    const TRect r = Combo->GetViewInfo()->Button(AVisibleIndex)->VisibleBounds;
    ClickOn(Combo, TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
  }
  TcxComboBox* Combo;
  TcxTextEdit* Other;
  std::vector<std::string> Log;
  std::vector<Integer> Clicks;
};

// ---- Buttons ------------------------------------------------------------------------------

TEST(cxTextEditListStyles, ButtonEventsNameTheButtonInButtonsNotAmongVisibleOnes) {
  TListFixture f;
  TcxEditButton* second = f.Props()->Buttons()->Add();
  second->SetKind(bkEllipsis);
  // The drop-down button (index 0) hidden: the ellipsis is the only one seen.
  f.Props()->Buttons()->GetButton(0)->SetVisible(false);
  Application->ProcessMessages();
  ASSERT_EQ(f.Combo->GetViewInfo()->ButtonCount(), 1);
  f.ClickButton(0);
  EXPECT_EQ(f.Clicks, (std::vector<Integer>{1}));
  EXPECT_FALSE(f.Combo->HasOpenPopup()) << "another button does not open the list";

  // Both seen: each click names its own button; only the drop-down one opens.
  f.Props()->Buttons()->GetButton(0)->SetVisible(true);
  Application->ProcessMessages();
  f.Clicks.clear();
  TcxCustomEditViewInfo* info = f.Combo->GetViewInfo();
  ASSERT_EQ(info->ButtonCount(), 2);
  const Integer ellipsisRank = info->Button(0)->ButtonIndex == 1 ? 0 : 1;
  f.ClickButton(ellipsisRank);
  EXPECT_EQ(f.Clicks, (std::vector<Integer>{1}));
  EXPECT_FALSE(f.Combo->HasOpenPopup());
  f.ClickButton(1 - ellipsisRank);
  Application->ProcessMessages();
  EXPECT_EQ(f.Clicks, (std::vector<Integer>{1, 0}));
  EXPECT_TRUE(f.Combo->HasOpenPopup());
}

// ---- Picks and steps tell their changes ----------------------------------------------------

TEST(cxTextEditListStyles, EveryWayOfChoosingAnItemFiresChangeAndValueChanged) {
  struct TCase {
    const char* Name;
    std::function<void(TListFixture&)> Choose;
  };
  const TCase cases[] = {
      {"a closed-list key step", [](TListFixture& f) { f.Key(VK_DOWN); }},
      {"Enter in the open list",
       [](TListFixture& f) {
         f.Key(VK_F4);
         f.Key(VK_DOWN);
         f.Key(VK_RETURN);
       }},
      {"a click on an item of the open list",
       [](TListFixture& f) {
         f.Key(VK_F4);
         ASSERT_TRUE(f.Combo->HasOpenPopup());
         const TRect r = f.Combo->ListBox()->ItemRect(1);
         const TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
         TestMousePress(f.Combo->ListBox()->Handle(), p);
         TestMouseRelease(f.Combo->ListBox()->Handle(), p);
         Application->ProcessMessages();
       }},
      {"a Revertable double click",
       [](TListFixture& f) {
         f.Props()->SetRevertable(true);
         TestDoubleClick(f.Combo->InnerEdit()->Handle(), TPoint{10, 8});
         Application->ProcessMessages();
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TListFixture f;
    f.Combo->SetEditValue(String(kFruit[0]));
    f.Log.clear();
    c.Choose(f);
    EXPECT_EQ(f.Combo->Text(), kFruit[1]);
    EXPECT_EQ(f.Log, (std::vector<std::string>{"change", "value"}));
    EXPECT_TRUE(f.Combo->IsModified());
  }
}

// ---- The list styles on validation and on leaving ------------------------------------------

TEST(cxTextEditListStyles, EditFixedListRefusesATextEditedIntoNoItem) {
  TListFixture f(lsEditFixedList);
  f.Combo->SetEditValue(String(u"Apple"));
  f.Key(VK_END);
  f.Key(VK_BACK);
  EXPECT_EQ(f.Combo->Text(), u"Appl");
  EXPECT_THROW(f.Combo->ValidateEdit(true), Exception);
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), u"Apple") << "the value stays what it was";

  // An item in any case is taken with the item's own text.
  f.Combo->SelectWholeText();
  f.Type(u"banana");
  EXPECT_TRUE(f.Combo->ValidateEdit(true));
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), u"Banana");
}

TEST(cxTextEditListStyles, LeavingAStandAloneListEditorWithNoItemClearsTheValue) {
  for (TcxEditDropDownListStyle style : {lsEditFixedList, lsEditList}) {
    SCOPED_TRACE(static_cast<int>(style));
    TListFixture f(style);
    f.Combo->SetEditValue(String(u"Cherry"));
    f.Key(VK_END);
    f.Key(VK_BACK);
    ASSERT_EQ(f.Combo->Text(), u"Cherr");
    f.Focus(f.Other);
    EXPECT_TRUE(f.Other->Focused());
    // The free style keeps what the user typed; the list style has no item
    // for it and clears.
    EXPECT_EQ(VarToStr(f.Combo->EditValue()), style == lsEditList ? u"Cherr" : u"");
  }
}

TEST(cxTextEditListStyles, DeleteInTheEditListStyleDeletesNothing) {
  for (TcxEditDropDownListStyle style : {lsEditFixedList, lsEditList}) {
    SCOPED_TRACE(static_cast<int>(style));
    TListFixture f(style);
    Integer keyDowns = 0;
    f.Combo->OnKeyDown = TKeyEvent(f.Form, [&](TObject*, Word& Key, TShiftState) { keyDowns += Key == VK_DELETE; });
    f.Combo->SetEditValue(String(u"Banana"));
    f.Key(VK_HOME);
    f.Key(VK_DELETE);
    EXPECT_EQ(keyDowns, 1) << "OnKeyDown hears it";
    EXPECT_EQ(f.Combo->Text(), style == lsEditFixedList ? u"Banana" : u"anana");
  }
}

// ---- In place ----------------------------------------------------------------------------

TEST(cxTextEditListStyles, AKeyThatActivatesAnInplaceEditorTypesOverItsText) {
  TTestForm form(300, 120);
  form.Form->Show();
  TcxTextEditProperties column(nullptr);
  TcxInplaceEditList list;
  auto* edit = static_cast<TcxTextEdit*>(list.GetEdit(&column));
  edit->SetParent(form.Form);
  edit->SetBounds(10, 10, 150, 22);
  edit->SetEditValue(String(u"old"));
  for (bool autoSelect : {true, false}) {
    SCOPED_TRACE(autoSelect);
    column.SetAutoSelect(autoSelect);
    list.GetEdit(&column);
    edit->SetEditValue(String(u"old"));
    TcxCustomEditData* data = nullptr;
    edit->ActivateByKey(u'k', data);
    Application->ProcessMessages();
    EXPECT_EQ(edit->Text(), autoSelect ? u"k" : u"oldk");
    edit->Hide();
  }
  list.Clear();
}

// ---- The closed fixed list draws its item --------------------------------------------------

TEST(cxTextEditListStyles, AClosedFixedListDrawsItsItemThroughOnDrawItem) {
  TListFixture f(lsFixedList);
  struct TCall {
    Integer Index;
    TOwnerDrawState State;
  };
  std::vector<TCall> calls;
  // The handler paints a coloured swatch per item and writes its name.
  const TColor swatches[] = {TColor(0x0000C0), TColor(0x00C0C0), TColor(0x8000C0)};
  f.Props()->OnDrawItem = TcxEditDrawItemEvent(
      f.Form, [&](TcxCustomComboBox*, TcxCanvas* ACanvas, Integer AIndex, const TRect& ARect, TOwnerDrawState AState) {
        calls.push_back({AIndex, AState});
        if (AIndex < 0) return;
        const TRect swatch{ARect.Left + 2, ARect.Top + 2, ARect.Left + 16, ARect.Bottom - 2};
        ACanvas->SetBrushColor(swatches[AIndex]);
        ACanvas->FillRectOrTileBitmap(swatch, nullptr);
        TRect text{swatch.Right + 4, ARect.Top, ARect.Right, ARect.Bottom};
        DrawTextInFontColor(ACanvas, kFruit[AIndex], text, cxtlSingleLine | cxtlAlignVCenter);
      });
  f.Combo->SetEditValue(String(u"Cherry"));
  f.Combo->Invalidate();
  Application->ProcessMessages();
  ASSERT_TRUE(f.Combo->DrawsItemClosed());
  f.Combo->PaintTo(TBitmap(4, 4, pf24bit).Canvas()->Handle(), 0, 0);
  EXPECT_EQ(f.Combo->InnerEdit()->Width(), 0) << "the inner edit takes no room; it keeps the keys";

  // Focused: the handler hears the item and the focused state.
  TBitmap focused(f.Combo->Width(), f.Combo->Height(), pf24bit);
  calls.clear();
  f.Combo->PaintTo(focused.Canvas()->Handle(), 0, 0);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().Index, 2);
  EXPECT_EQ(calls.back().State, TOwnerDrawState(odSelected | odFocused));
  const TRect item = f.Combo->ClosedItemRect();
  EXPECT_EQ(focused.PixelColor(item.Left + 8, (item.Top + item.Bottom) / 2), swatches[2]);
  EXPECT_EQ(focused.PixelColor(item.Right - 3, (item.Top + item.Bottom) / 2), ColorToRGB(clHighlight) & 0xFFFFFF);

  // A key still steps the item; unfocused the item is drawn plainly.
  f.Key(VK_UP);
  EXPECT_EQ(f.Combo->Text(), u"Banana");
  f.Focus(f.Other);
  TBitmap plain(f.Combo->Width(), f.Combo->Height(), pf24bit);
  calls.clear();
  f.Combo->PaintTo(plain.Canvas()->Handle(), 0, 0);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back().Index, 1);
  EXPECT_EQ(calls.back().State, TOwnerDrawState(0));
  EXPECT_EQ(plain.PixelColor(item.Left + 8, (item.Top + item.Bottom) / 2), swatches[1]);
  EXPECT_EQ(plain.PixelColor(item.Right - 3, (item.Top + item.Bottom) / 2), ColorToRGB(clWindow) & 0xFFFFFF);

  TBitmap picture(f.Combo->Width(), f.Combo->Height() * 2 + 4, pf24bit);
  picture.Canvas()->Draw(0, 0, &focused);
  picture.Canvas()->Draw(0, f.Combo->Height() + 4, &plain);
  SavePicture(&picture, "combobox_fixedlist_ondrawitem.png");

  // Another list style shows plain text through the inner edit.
  f.Props()->SetDropDownListStyle(lsEditList);
  Application->ProcessMessages();
  EXPECT_FALSE(f.Combo->DrawsItemClosed());
  EXPECT_GT(f.Combo->InnerEdit()->Width(), 0);
}

// ---- Settings ------------------------------------------------------------------------------

TEST(cxTextEditListStyles, AssignedValuesTravelWithTheirSetAndFallBackWhenCleared) {
  TcxTextEditProperties p(nullptr);
  TcxTextEditPropertiesValues* values = p.TextAssignedValues();
  EXPECT_FALSE(values->MaxLength() || values->DisplayFormat() || values->EditFormat() || values->MinValue() ||
               values->MaxValue());
  Integer changes = 0;
  p.OnPropertiesChanged = TNotifyEvent(&p, [&](TObject*) { ++changes; });
  p.SetMaxLength(7);
  p.SetDisplayFormat(u"0.00");
  p.SetEditFormat(u"0.0");
  p.SetMinValue(1);
  p.SetMaxValue(9);
  EXPECT_TRUE(values->MaxLength() && values->DisplayFormat() && values->EditFormat() && values->MinValue() &&
              values->MaxValue());
  EXPECT_EQ(changes, 5) << "one notice per setter";

  TcxTextEditProperties copy(nullptr);
  copy.Assign(&p);
  EXPECT_TRUE(copy.TextAssignedValues()->MaxLength());
  EXPECT_EQ(copy.MaxLength(), 7);
  copy.SetImeName(u"pinyin");
  copy.SetImeMode(2);
  copy.SetOEMConvert(true);
  copy.SetUpdateTextWhileListShown(true);
  TcxTextEditProperties back(nullptr);
  back.Assign(&copy);
  EXPECT_EQ(back.ImeName(), u"pinyin");
  EXPECT_EQ(back.ImeMode(), 2);
  EXPECT_TRUE(back.OEMConvert());
  EXPECT_TRUE(back.UpdateTextWhileListShown());

  changes = 0;
  values->RestoreDefaults();
  EXPECT_EQ(changes, 1) << "clearing the flags is one change";
  EXPECT_EQ(p.MaxLength(), 0) << "an unassigned length falls back";
  EXPECT_EQ(p.DisplayFormat(), u"");
  EXPECT_FALSE(values->MinValue() || values->MaxValue());
}

}  // namespace
