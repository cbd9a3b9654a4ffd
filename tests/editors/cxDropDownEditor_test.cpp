// The drop-down editor: its popup size properties; opening and closing the
// popup by keys and by the button, with the value accepted or left as it
// was; the popup's place beside editors near each edge of the work area;
// and the size a user gave the popup kept after it closes.
#include <gtest/gtest.h>

#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

// A drop-down editor that may open its popup; the popup's content is the
// lookup list of its properties (the tests pick the current item as a list
// in the popup would).
class TTestDropDownEdit : public TcxCustomDropDownEdit {
  KORVANE_CLASS(TTestDropDownEdit, TcxCustomDropDownEdit)
  using TcxCustomDropDownEdit::TcxCustomDropDownEdit;
  bool CanDropDown() const override { return true; }
  TSize PopupContentSize() override { return TSize{120, 80}; }
};

const char16_t* const kItems[] = {u"花岗岩", u"玄武岩", u"石灰岩"};

// A shown form with a drop-down editor at AEditPos (form client) and a
// second control.
struct TDropDownFixture {
  template <class TEdit = TTestDropDownEdit>
  void Make(const TRect& AFormBounds, const TPoint& AEditPos) {
    EnsureGuiRuntime();
    TestSetApplicationActive(true);
    Form = new TForm(nullptr);
    Form->SetBoundsRect(AFormBounds);
    Edit = new TEdit(Form);
    Edit->SetBounds(AEditPos.X, AEditPos.Y, 150, 24);
    Edit->SetParent(Form);
    Other = new TcxTextEdit(Form);
    Other->SetBounds(0, 0, 40, 24);
    Other->SetParent(Form);
    for (const char16_t* item : kItems) Edit->ActiveTextProperties()->LookupItems()->Add(item);
    Form->Show();
    Application->ProcessMessages();
    Edit->SetFocus();
    Application->ProcessMessages();
  }
  explicit TDropDownFixture(bool ABaseEditor = false) {
    if (ABaseEditor) Make<TcxCustomDropDownEdit>({100, 100, 500, 400}, {20, 40});
    else Make({100, 100, 500, 400}, {20, 40});
  }
  TDropDownFixture(const TRect& AFormBounds, const TPoint& AEditPos) { Make(AFormBounds, AEditPos); }
  ~TDropDownFixture() {
    ReleaseCapture();
    Form->Free();
    Application->ProcessMessages();
  }
  void Key(Word AKey, Cardinal AModifiers = 0) {
    TestKey(AKey, u"", AModifiers);
    Application->ProcessMessages();
  }
  TcxCustomEditPopupWindow* Popup() const { return Edit->PopupWindow(); }
  TForm* Form = nullptr;
  TcxCustomDropDownEdit* Edit = nullptr;
  TcxTextEdit* Other = nullptr;
};

TEST(cxCustomDropDownEditProperties, PopupSizeRulesAndTheDropDownButton) {
  TcxCustomDropDownEditProperties p(nullptr);
  ASSERT_EQ(p.Buttons()->Count(), 1);
  EXPECT_EQ(p.Buttons()->GetButton(0)->Kind(), bkDown);
  p.SetPopupWidth(-5);
  EXPECT_EQ(p.PopupWidth(), 0);
  p.SetPopupMinWidth(100);
  p.SetPopupWidth(50);
  EXPECT_EQ(p.PopupWidth(), 100);
  p.SetPopupMinWidth(-3);
  EXPECT_EQ(p.PopupMinWidth(), 0);
  p.SetPopupHeight(40);
  p.SetPopupMinHeight(60);
  EXPECT_EQ(p.PopupHeight(), 60);

  TcxCustomDropDownEditProperties copy(nullptr);
  p.SetPopupSizeable(true);
  p.SetPopupAlignment(taRightJustify);
  copy.Assign(&p);
  EXPECT_TRUE(copy.PopupSizeable());
  EXPECT_EQ(copy.PopupAlignment(), taRightJustify);
  EXPECT_EQ(copy.PopupWidth(), 100);
  EXPECT_EQ(copy.PopupMinHeight(), 60);
}

TEST(cxCustomDropDownEdit, KeysOpenAndCloseThePopupAcceptingOrLeavingTheValue) {
  struct TKeyCase {
    const char* Name;
    Word OpenKey;
    Cardinal OpenModifiers;
    Word CloseKey;
    Cardinal CloseModifiers;
    const char16_t* Text;  // after closing, with the second item current
  };
  const TKeyCase cases[] = {
      {"Alt+Down, Enter accepts", VK_DOWN, tkAlt, VK_RETURN, 0, u"玄武岩"},
      {"F4, Esc leaves the value", VK_F4, 0, VK_ESCAPE, 0, u"原值"},
      {"F4, F4 accepts", VK_F4, 0, VK_F4, 0, u"玄武岩"},
      {"Alt+Down, Alt+Up accepts", VK_DOWN, tkAlt, VK_UP, tkAlt, u"玄武岩"},
  };
  for (const TKeyCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDropDownFixture f;
    f.Edit->SetEditValue(String(u"原值"));
    f.Key(c.OpenKey, c.OpenModifiers);
    ASSERT_TRUE(f.Edit->DroppedDown());
    EXPECT_TRUE(f.Popup()->Visible());
    EXPECT_EQ(f.Edit->Text(), u"原值");
    f.Edit->Model()->LookupData()->SelectItemIndex(1);
    f.Key(c.CloseKey, c.CloseModifiers);
    EXPECT_FALSE(f.Edit->DroppedDown());
    EXPECT_FALSE(f.Popup()->Visible());
    EXPECT_EQ(f.Edit->Text(), c.Text);
    EXPECT_EQ(f.Edit->IsModified(), String(c.Text) != u"原值");
  }
}

TEST(cxCustomDropDownEdit, TheBaseEditorNeverDropsDown) {
  TDropDownFixture base(true);
  base.Key(VK_F4);
  EXPECT_FALSE(base.Edit->DroppedDown());
  base.Key(VK_DOWN, tkAlt);
  EXPECT_FALSE(base.Edit->DroppedDown());
}

TEST(cxCustomDropDownEdit, TheButtonOpensThePopupAndLeavingTheEditorClosesIt) {
  TDropDownFixture f;
  ASSERT_EQ(f.Edit->GetViewInfo()->ButtonCount(), 1);
  const TRect r = f.Edit->GetViewInfo()->Button(0)->Bounds;
  const TPoint centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  TestMousePress(f.Edit->Handle(), centre);
  TestMouseRelease(f.Edit->Handle(), centre);
  Application->ProcessMessages();
  ASSERT_TRUE(f.Edit->DroppedDown());
  f.Edit->SetEditValue(String(u"原值"));
  f.Edit->Model()->LookupData()->SelectItemIndex(0);
  f.Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(f.Edit->DroppedDown());
  EXPECT_EQ(f.Edit->Text(), u"原值");
}

}  // namespace
