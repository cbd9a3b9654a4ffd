// The drop-down editor around its open popup: the lookup taking its current
// item (CXM_CLOSEUPEVENT), a paste opening the popup, the mouse wheel with
// the popup open and closed, the descendants' answers for opening on a click
// into the text and posting when the popup has closed, the drop-down button
// pressed while the popup is open, the look and feel of the popup's
// controls, and the selection bar of a focused fixed list (pixels).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../foundation/foundation_test.h"
#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/forms.h"
#include "platform/gui/hints.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

const char16_t* const kItems[] = {u"花岗岩", u"玄武岩", u"石灰岩"};

// Records every store: the value and whether the popup was still open.
class TStoreBinding : public TcxEditDataBinding {
  KORVANE_CLASS(TStoreBinding, TcxEditDataBinding)
  using TcxEditDataBinding::TcxEditDataBinding;
  void StoreValue() override;
  std::vector<bool> PopupOpenAtStore;
};

// Properties whose answers the test sets.
class TAnswerProperties : public TcxCustomDropDownEditProperties {
  KORVANE_CLASS(TAnswerProperties, TcxCustomDropDownEditProperties)
  using TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties;
  bool DropDownOnClick() const override { return OnClick; }
  bool PostPopupValueOnClose() const override { return AtClose; }
  void Assign(TPersistent* Source) override {
    TcxCustomDropDownEditProperties::Assign(Source);
    if (auto* s = dynamic_cast<TAnswerProperties*>(Source)) OnClick = s->OnClick, AtClose = s->AtClose;
  }
  bool OnClick = false;
  bool AtClose = false;
};

// A drop-down editor over its lookup items whose popup holds nothing.
class TLookupDropDownEdit : public TcxCustomDropDownEdit {
  KORVANE_CLASS(TLookupDropDownEdit, TcxCustomDropDownEdit)
  using TcxCustomDropDownEdit::TcxCustomDropDownEdit;
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TAnswerProperties::StaticClass(); }
  TcxEditDataBindingClass GetDataBindingClass() const override { return TStoreBinding::StaticClass(); }
  bool CanDropDown() const override { return true; }
  TSize PopupContentSize() override { return TSize{120, 80}; }
  TAnswerProperties* Answers() { return static_cast<TAnswerProperties*>(Properties()); }
  TStoreBinding* Binding() { return static_cast<TStoreBinding*>(DataBinding()); }
  Integer LookAndFeelNotices = 0;

protected:
  void PopupControlsLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override { ++LookAndFeelNotices; }
};

void TStoreBinding::StoreValue() { PopupOpenAtStore.push_back(static_cast<TLookupDropDownEdit*>(Edit())->HasOpenPopup()); }

struct TLookupFixture : TTestForm {
  TLookupFixture() : TTestForm(400, 300) {
    Edit = Place<TLookupDropDownEdit>(20, 20, 160, 24);
    Other = Place<TcxTextEdit>(20, 200, 100, 24);
    for (const char16_t* item : kItems) Edit->ActiveTextProperties()->LookupItems()->Add(item);
    ShowForm(Edit);
  }
  void Open() {
    Key(VK_F4);
    ASSERT_TRUE(Edit->HasOpenPopup());
  }
  TPoint ButtonCentre() {
    Edit->RefreshViewStateAtCursor();
    const TRect& r = Edit->GetViewInfo()->Button(0)->Bounds;
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TLookupDropDownEdit* Edit;
  TcxTextEdit* Other;
};

TEST(cxDropDownEditPopupState, TheLookupTakesItsCurrentItemOnlyWhileThePopupIsOpen) {
  struct TCase {
    const char* Name;
    bool Open;
    const char16_t* Text;
    Integer SelStart, SelLength;
  };
  // Typed "玄" with the caret at the end, the lookup's current item is the
  // second one.
  const TCase cases[] = {
      {"open: the completion after the caret is selected", true, u"玄武岩", 1, 2},
      {"closed: nothing is taken", false, u"玄", 1, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLookupFixture f;
    f.Edit->SetEditValue(String(u"玄"));
    f.Edit->SetSelection(1, 0);
    if (c.Open) f.Open();
    f.Edit->SetSelection(1, 0);
    f.Edit->Model()->LookupData()->SelectItemIndex(1);
    f.Edit->Perform(CXM_CLOSEUPEVENT);
    EXPECT_EQ(f.Edit->Text(), c.Text);
    EXPECT_EQ(f.Edit->SelStart(), c.SelStart);
    EXPECT_EQ(f.Edit->SelLength(), c.SelLength);
    EXPECT_EQ(f.Edit->IsModified(), c.Open);
  }

  // A fixed-list combo box selects the whole item.
  TTestForm form(300, 200);
  auto* combo = form.Place<TcxComboBox>(20, 20, 160, 24);
  auto* p = static_cast<TcxCustomComboBoxProperties*>(combo->Properties());
  for (const char16_t* item : kItems) p->Items()->Add(item);
  p->SetDropDownListStyle(lsFixedList);
  form.ShowForm(combo);
  form.Key(VK_F4);
  ASSERT_TRUE(combo->HasOpenPopup());
  combo->Model()->LookupData()->SelectItemIndex(2);
  combo->Perform(CXM_CLOSEUPEVENT);
  EXPECT_EQ(combo->Text(), u"石灰岩");
  // The edit holds the whole item selected; the control reports no selection
  // while the fixed list's select mode is off.
  EXPECT_EQ(combo->Model()->SelStart(), 0);
  EXPECT_EQ(combo->Model()->SelLength(), 3);
}

TEST(cxDropDownEditPopupState, APasteThatChangesTheTextOpensThePopupWithImmediateDropDown) {
  struct TCase {
    const char* Name;
    bool ImmediateDropDown;
    const char16_t* Pasted;
    bool Opens;
  };
  const TCase cases[] = {
      {"a new text", true, u"石", true},
      {"ImmediateDropDown off", false, u"石", false},
      {"nothing on the clipboard", true, u"", false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLookupFixture f;
    f.Edit->Answers()->SetImmediateDropDown(c.ImmediateDropDown);
    Clipboard()->SetAsText(c.Pasted);
    f.Edit->Perform(WM_PASTE);
    Application->ProcessMessages();
    EXPECT_EQ(f.Edit->HasOpenPopup(), c.Opens);
    EXPECT_EQ(f.Edit->Text(), c.Pasted);
  }
}

TEST(cxDropDownEditPopupState, TheWheelStepsAClosedEditorAndReachesAnOpenList) {
  {
    SCOPED_TRACE("stand-alone, closed: the wheel steps the items");
    TLookupFixture f;
    f.Edit->SetEditValue(String(kItems[0]));
    TestWheel(f.Edit->InnerEdit()->Handle(), TPoint{5, 5}, -1);
    Application->ProcessMessages();
    EXPECT_EQ(f.Edit->Text(), kItems[1]);
    EXPECT_TRUE(f.Edit->IsModified());
    EXPECT_FALSE(f.Edit->HasOpenPopup());
  }
  {
    SCOPED_TRACE("combo box, open: the wheel scrolls the list, the text stays");
    TTestForm form(300, 400);
    auto* combo = form.Place<TcxComboBox>(20, 20, 160, 24);
    auto* p = static_cast<TcxCustomComboBoxProperties*>(combo->Properties());
    for (Integer i = 0; i < 40; ++i) p->Items()->Add(u"岩层 " + IntToStr(i));
    p->SetDropDownRows(5);
    form.ShowForm(combo);
    combo->SetEditValue(String(u"岩层 0"));
    form.Key(VK_F4);
    ASSERT_TRUE(combo->HasOpenPopup());
    ASSERT_NE(combo->ListBox(), nullptr);
    const Integer top = combo->ListBox()->TopIndex();
    TestWheel(combo->InnerEdit()->Handle(), TPoint{5, 5}, -2);
    Application->ProcessMessages();
    EXPECT_TRUE(combo->HasOpenPopup());
    EXPECT_GT(combo->ListBox()->TopIndex(), top);
    EXPECT_EQ(combo->Text(), u"岩层 0");
    EXPECT_FALSE(combo->IsModified());
  }
  {
    SCOPED_TRACE("in place, closed: the wheel is left to the container");
    TTestForm form(300, 200);
    auto* combo = form.Place<TcxComboBox>(20, 20, 160, 24, true);
    auto* p = static_cast<TcxCustomComboBoxProperties*>(combo->Properties());
    for (const char16_t* item : kItems) p->Items()->Add(item);
    form.ShowForm();
    TcxCustomEditData* raw = nullptr;
    combo->ActivateInplace(raw);
    std::unique_ptr<TcxCustomEditData> data(raw);
    Application->ProcessMessages();
    combo->SetEditValue(String(kItems[0]));
    TestWheel(combo->InnerEdit()->Handle(), TPoint{5, 5}, -1);
    Application->ProcessMessages();
    EXPECT_EQ(combo->Text(), kItems[0]);
    EXPECT_FALSE(combo->HasOpenPopup());
  }
}

TEST(cxDropDownEditPopupState, AClickIntoTheTextOpensThePopupOnlyWhenTheKindSaysSo) {
  for (bool onClick : {false, true}) {
    SCOPED_TRACE(onClick ? "drops down on click" : "does not");
    TLookupFixture f;
    f.Edit->Answers()->OnClick = onClick;
    f.ClickOn(f.Edit->InnerEdit(), TPoint{5, 5});
    EXPECT_EQ(f.Edit->HasOpenPopup(), onClick);
    // A click on the button opens it either way.
    if (!onClick) {
      f.ClickOn(f.Edit, f.ButtonCentre());
      EXPECT_TRUE(f.Edit->HasOpenPopup());
    }
  }
}

TEST(cxDropDownEditPopupState, ImmediatePostStoresAtAcceptOrWhenThePopupHasClosed) {
  for (bool atClose : {false, true}) {
    SCOPED_TRACE(atClose ? "posts when closed" : "posts at accept");
    TLookupFixture f;
    f.Edit->Answers()->AtClose = atClose;
    f.Edit->Answers()->SetImmediatePost(true);
    f.Open();
    f.Edit->Model()->LookupData()->SelectItemIndex(2);
    f.Key(VK_RETURN);
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    EXPECT_EQ(f.Edit->Text(), kItems[2]);
    ASSERT_EQ(f.Edit->Binding()->PopupOpenAtStore.size(), 1u);
    EXPECT_EQ(f.Edit->Binding()->PopupOpenAtStore[0], !atClose);
    // Escape takes nothing, so nothing is posted at close either.
    f.Open();
    f.Key(VK_ESCAPE);
    EXPECT_EQ(f.Edit->Binding()->PopupOpenAtStore.size(), 1u);
  }
}

TEST(cxDropDownEditPopupState, ThePopupControlsLookAndFeelFollowsTheEditorsOnce) {
  TLookupFixture f;
  TcxEditPopupControlLookAndFeel* lf = f.Edit->PopupControlsLookAndFeel();
  ASSERT_NE(lf, nullptr);
  EXPECT_EQ(lf->Edit(), f.Edit);
  auto openAndClose = [&f] {
    f.Edit->DropDown();
    Application->ProcessMessages();
    EXPECT_TRUE(f.Edit->HasOpenPopup());
    f.Edit->ClosePopup(false);
    Application->ProcessMessages();
  };
  for (TcxLookAndFeelKind kind : {lfFlat, lfOffice11, lfStandard}) {
    SCOPED_TRACE(kind);
    const Integer notices = f.Edit->LookAndFeelNotices;
    f.Edit->Style()->LookAndFeel()->SetKind(kind);
    openAndClose();
    EXPECT_EQ(lf->Kind(), kind);
    EXPECT_EQ(lf->NativeStyle(), f.Edit->Style()->LookAndFeel()->NativeStyle());
    EXPECT_EQ(f.Edit->LookAndFeelNotices, notices + 1);
    // Nothing changed since: no further notice.
    f.Edit->RefreshViewStateAtCursor();
    openAndClose();
    EXPECT_EQ(f.Edit->LookAndFeelNotices, notices + 1);
  }
}

TEST(cxDropDownEditPopupState, PressingTheDropDownButtonOfAnOpenPopupOnlyClosesIt) {
  for (bool moved : {true, false}) {
    SCOPED_TRACE(moved ? "the mouse moved in between" : "two clicks on the same spot");
    TLookupFixture f;
    const TPoint button = f.ButtonCentre();
    f.ClickOn(f.Edit, button);
    ASSERT_TRUE(f.Edit->HasOpenPopup());
    if (moved) {
      TestMouseMove(f.Edit->Handle(), TPoint{button.X, button.Y + 1});
      Application->ProcessMessages();
    }
    EXPECT_TRUE(f.Edit->IsHotAndPopup());
    TestMousePress(f.Edit->Handle(), button);
    Application->ProcessMessages();
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    EXPECT_EQ(f.Edit->GetViewInfo()->PressedButton, -1);
    TestMouseRelease(f.Edit->Handle(), button);
    Application->ProcessMessages();
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    // The next press opens it again; Esc closes it, and a press then opens it.
    f.ClickOn(f.Edit, button);
    EXPECT_TRUE(f.Edit->HasOpenPopup());
    f.Key(VK_ESCAPE);
    ASSERT_FALSE(f.Edit->HasOpenPopup());
    f.ClickOn(f.Edit, button);
    EXPECT_TRUE(f.Edit->HasOpenPopup());
  }
}

// The number of pixels of AColor in the editor's text area when it paints
// itself through a fresh view data.
Integer ColourPixelsInText(TcxCustomDropDownEdit* AEdit, TColor AColor, const std::string& APicture) {
  TBitmap bitmap(AEdit->Width(), AEdit->Height());
  TcxCanvas canvas(bitmap.Canvas());
  AEdit->PaintThroughViewData(&canvas);
  cxTest::SavePicture(bitmap, APicture);
  const TRect text = AEdit->GetViewInfo()->ClientRect;
  Integer count = 0;
  const TColor rgb = ColorToRGB(AColor);
  for (Integer y = text.Top; y < text.Bottom; ++y)
    for (Integer x = text.Left; x < text.Right; ++x)
      if ((bitmap.PixelColor(x, y) & 0xFFFFFF) == rgb) ++count;
  return count;
}

Integer LightPixelsInText(TcxCustomDropDownEdit* AEdit) {
  TBitmap bitmap(AEdit->Width(), AEdit->Height());
  TcxCanvas canvas(bitmap.Canvas());
  AEdit->PaintThroughViewData(&canvas);
  const TRect text = AEdit->GetViewInfo()->ClientRect;
  Integer count = 0;
  for (Integer y = text.Top + 2; y < text.Bottom - 2; ++y)  // inside the focus frame
    for (Integer x = text.Left + 2; x < text.Right - 2; ++x) {
      const TColor c = bitmap.PixelColor(x, y);
      if ((c & 0xFF) > 0xB0 && ((c >> 8) & 0xFF) > 0xB0 && ((c >> 16) & 0xFF) > 0xB0) ++count;
    }
  return count;
}

TEST(cxDropDownEditPopupState, AFocusedFixedListDrawsItsTextOnTheSelectionBar) {
  struct TCase {
    const char* Name;
    TcxEditDropDownListStyle Style;
    bool Focused;
    bool Bar;
    const char* Picture;
  };
  const TCase cases[] = {
      {"fixed list, focused", lsFixedList, true, true, "dropdown_fixedlist_focused"},
      {"fixed list, not focused", lsFixedList, false, false, "dropdown_fixedlist_unfocused"},
      {"editable list, focused", lsEditList, true, false, "dropdown_editlist_focused"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestForm form(300, 200);
    auto* combo = form.Place<TcxComboBox>(20, 20, 160, 24);
    auto* other = form.Place<TcxTextEdit>(20, 100, 100, 24);
    auto* p = static_cast<TcxCustomComboBoxProperties*>(combo->Properties());
    for (const char16_t* item : kItems) p->Items()->Add(item);
    p->SetDropDownListStyle(c.Style);
    form.ShowForm(c.Focused ? static_cast<TWinControl*>(combo) : other);
    combo->SetEditValue(String(kItems[1]));
    combo->RefreshViewStateAtCursor();
    const Integer bar = ColourPixelsInText(combo, clHighlight, c.Picture);
    if (c.Bar) {
      EXPECT_GT(bar, 40);
      // The item's text stands out light on the dark bar.
      EXPECT_GT(LightPixelsInText(combo), 20);
    } else
      EXPECT_EQ(bar, 0);
  }
}

// The focused fixed list's bar, by what the user did last: a stepped item in
// the select mode shows as a selection, a typed completion keeps its tail
// on the bar in the swapped colours, an item set from outside is the bar.
TEST(cxDropDownEditPopupState, AFocusedFixedListShowsASteppedItemAndACompletionApart) {
  const char16_t* const rocks[] = {u"Granite", u"Basalt", u"Limestone"};
  struct TCase {
    const char* Name;
    std::function<void(TTestForm&)> Act;
    bool Bar;
    Integer SelStart, SelLength;
    TColor SelText, SelBackground;
    const char* Picture;
  };
  const TCase cases[] = {
      {"set from outside: the bar alone", [](TTestForm&) {}, true, -1, 0, clHighlightText, clHighlight,
       "dropdown_fixedlist_bar"},
      {"stepped: the selected item", [](TTestForm& f) { f.Key(VK_DOWN); }, false, 0, 9, clHighlightText,
       clHighlight, "dropdown_fixedlist_stepped"},
      {"typed: the completed tail in swapped colours", [](TTestForm& f) { f.Type(u"g"); }, true, 1, 6,
       clHighlight, clHighlightText, "dropdown_fixedlist_completion"},
  };
  Integer barOnlyLight = 0;
  std::vector<Integer> highlight;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestForm form(300, 200);
    auto* combo = form.Place<TcxComboBox>(20, 20, 200, 24);
    auto* p = static_cast<TcxCustomComboBoxProperties*>(combo->Properties());
    for (const char16_t* item : rocks) p->Items()->Add(item);
    p->SetDropDownListStyle(lsFixedList);
    p->SetImmediateDropDown(false);
    form.ShowForm(combo);
    combo->SetEditValue(String(rocks[1]));
    c.Act(form);
    ASSERT_FALSE(combo->HasOpenPopup());
    auto data = combo->CreateViewData();
    data->InnerEdit = nullptr;
    TcxCustomTextEditViewInfo info;
    data->ComputeViewInfo(combo->cxCanvas(), combo->ClientRect(), TPoint{-1, -1}, cxmbNone, 0, &info, false);
    EXPECT_EQ(info.DrawSelectionBar, c.Bar);
    EXPECT_EQ(info.SelStart, c.SelStart);
    if (c.SelStart >= 0) {
      EXPECT_EQ(info.SelLength, c.SelLength);
      EXPECT_EQ(info.SelTextColor, c.SelText);
      EXPECT_EQ(info.SelBackgroundColor, c.SelBackground);
    }
    // The swapped tail is drawn: its light ground adds to the light ink of
    // the text on the bar.
    const Integer light = LightPixelsInText(combo);
    if (c.SelStart < 0) barOnlyLight = light;
    if (c.SelText == clHighlight) EXPECT_GT(light, barOnlyLight + 3 * 6 * 8) << "six letters of ground, not ink";
    highlight.push_back(ColourPixelsInText(combo, clHighlight, c.Picture));
  }
  // The bar spans the content; a selected item only its text.
  EXPECT_GT(highlight[0], highlight[1]);
  EXPECT_GT(highlight[2], highlight[1]);
}

TEST(cxDropDownEditPopupState, AnOpenPopupKeepsTheEditorFocusedAndItsHintsAway) {
  TTestForm form(400, 300);
  auto* edit = form.Place<TcxPopupEdit>(20, 20, 160, 24);
  auto* lent = form.Place<TcxTextEdit>(20, 200, 100, 24);
  static_cast<TcxCustomPopupEditProperties*>(edit->Properties())->SetPopupControl(lent);
  edit->SetShowHint(true);
  edit->SetHint(u"岩性");
  form.ShowForm(edit);
  auto hintRefused = [](TControl* AControl) {
    THintInfo info;
    info.HintControl = AControl;
    info.HintStr = u"岩性";
    return AControl->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  };
  EXPECT_FALSE(hintRefused(edit));
  form.Key(VK_F4);
  ASSERT_TRUE(edit->HasOpenPopup());
  // The lent control in the popup has the focus; the editor still counts
  // as focused and shows no hint, nor does its inner edit.
  EXPECT_TRUE(lent->Focused());
  EXPECT_FALSE(edit->Focused());
  EXPECT_TRUE(edit->IsFocusedEditor());
  EXPECT_TRUE(hintRefused(edit));
  EXPECT_TRUE(hintRefused(edit->InnerEdit()));
  edit->ClosePopup(false);
  Application->ProcessMessages();
  EXPECT_FALSE(edit->HasOpenPopup());
  EXPECT_FALSE(hintRefused(edit));
}

TEST(cxDropDownEditPopupState, ReleasingAltAloneTakesBackAQueuedCharacter) {
  TLookupFixture f;
  f.Edit->SetEditValue(String(u"岩"));
  f.Edit->SetSelection(1, 0);
  HWND inner = f.Edit->InnerEdit()->Handle();
  PostMessage(inner, WM_CHAR, u'x', 0);
  SendMessage(inner, WM_SYSKEYUP, VK_MENU, 0);
  Application->ProcessMessages();
  EXPECT_EQ(f.Edit->Text(), u"岩");
  // Another key's release leaves the character.
  PostMessage(inner, WM_CHAR, u'x', 0);
  SendMessage(inner, WM_KEYUP, VK_SHIFT, 0);
  Application->ProcessMessages();
  EXPECT_EQ(f.Edit->Text(), u"岩x");
}

// A drop-down editor over lookup items whose popup takes the focus (its
// text editor gets it).
class TFocusPopupProperties : public TcxCustomDropDownEditProperties {
  KORVANE_CLASS(TFocusPopupProperties, TcxCustomDropDownEditProperties)
  using TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties;
  bool PopupWindowCapturesFocus() const override { return true; }
};

class TFocusLookupEdit : public TcxCustomDropDownEdit {
  KORVANE_CLASS(TFocusLookupEdit, TcxCustomDropDownEdit)
  TFocusLookupEdit(TComponent* AOwner, bool AIsInplace) : TcxCustomDropDownEdit(AOwner, AIsInplace) {
    Inner = new TcxTextEdit(PopupWindow());
    Inner->SetParent(PopupWindow());
    Inner->SetBounds(4, 4, 100, 24);
  }
  explicit TFocusLookupEdit(TComponent* AOwner) : TFocusLookupEdit(AOwner, false) {}
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TFocusPopupProperties::StaticClass(); }
  bool CanDropDown() const override { return true; }
  TSize PopupContentSize() override { return TSize{120, 80}; }
  TWinControl* PopupFocusedControl() override { return Inner; }
  TcxTextEdit* Inner = nullptr;
};

TEST(cxDropDownEditPopupState, TextPastedIntoAFocusTakingLookupEditorFindsItsItem) {
  struct TCase {
    const char* Name;
    bool Pasted;
    Integer Current;
    const char16_t* Text;
  };
  // A paste opens the popup (ImmediateDropDown) and the lookup starts at the
  // item the pasted text begins; a text set from outside and F4 start at no
  // item.
  const TCase cases[] = {
      {"pasted", true, 1, u"玄武岩"},
      {"set from outside", false, -1, u"玄"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestForm form(400, 300);
    auto* edit = form.Place<TFocusLookupEdit>(20, 20, 160, 24);
    for (const char16_t* item : kItems) edit->ActiveTextProperties()->LookupItems()->Add(item);
    form.ShowForm(edit);
    if (c.Pasted) {
      Clipboard()->SetAsText(u"玄");
      edit->Perform(WM_PASTE);
    } else {
      edit->SetEditValue(String(u"玄"));
      form.Key(VK_F4);
    }
    Application->ProcessMessages();
    ASSERT_TRUE(edit->HasOpenPopup());
    EXPECT_EQ(edit->Model()->LookupData()->CurrentIndex(), c.Current);
    EXPECT_EQ(edit->Text(), c.Text);
  }
}

}  // namespace
