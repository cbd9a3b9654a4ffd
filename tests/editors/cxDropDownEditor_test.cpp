// The drop-down editor: its popup size properties; opening and closing the
// popup by keys and by the button, with the value accepted or left as it
// was; the popup's place beside editors near each edge of the work area;
// and the size a user gave the popup kept after it closes.
#include <gtest/gtest.h>

#include "../platform/gui/guitestutil.h"
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

// Its properties let the popup take the focus.
class TFocusPopupProperties : public TcxCustomDropDownEditProperties {
  KORVANE_CLASS(TFocusPopupProperties, TcxCustomDropDownEditProperties)
  using TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties;
  bool PopupWindowCapturesFocus() const override { return true; }
};

// A drop-down editor whose focus-taking popup holds a text editor.
class TFocusPopupEdit : public TTestDropDownEdit {
  KORVANE_CLASS(TFocusPopupEdit, TTestDropDownEdit)
  TFocusPopupEdit(TComponent* AOwner, bool AIsInplace) : TTestDropDownEdit(AOwner, AIsInplace) {
    Inner = new TcxTextEdit(PopupWindow());
    Inner->SetParent(PopupWindow());
    Inner->SetBounds(4, 4, 100, 24);
  }
  explicit TFocusPopupEdit(TComponent* AOwner) : TFocusPopupEdit(AOwner, false) {}
  static TcxCustomEditPropertiesClass GetPropertiesClass() { return TFocusPopupProperties::StaticClass(); }
  TWinControl* PopupFocusedControl() override { return Inner; }
  TcxTextEdit* Inner = nullptr;
};

const char16_t* const kItems[] = {u"花岗岩", u"玄武岩", u"石灰岩"};

// A shown form with a drop-down editor at AEditPos (form client) and a
// second control.
struct TDropDownFixture : TTestForm {
  template <class TEdit = TTestDropDownEdit>
  void Make(const TRect& AFormBounds, const TPoint& AEditPos) {
    TestSetApplicationActive(true);
    MakeForm(AFormBounds);
    Edit = Place<TEdit>(AEditPos.X, AEditPos.Y, 150, 24);
    Other = Place<TcxTextEdit>(0, 0, 40, 24);
    for (const char16_t* item : kItems) Edit->ActiveTextProperties()->LookupItems()->Add(item);
    ShowForm(Edit);
  }
  explicit TDropDownFixture(bool ABaseEditor = false) {
    if (ABaseEditor) Make<TcxCustomDropDownEdit>({100, 100, 500, 400}, {20, 40});
    else Make({100, 100, 500, 400}, {20, 40});
  }
  TDropDownFixture(const TRect& AFormBounds, const TPoint& AEditPos) { Make(AFormBounds, AEditPos); }
  TcxCustomEditPopupWindow* Popup() const { return Edit->PopupWindow(); }
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
    ASSERT_TRUE(f.Edit->HasOpenPopup());
    EXPECT_TRUE(f.Popup()->Visible());
    EXPECT_EQ(f.Edit->Text(), u"原值");
    f.Edit->Model()->LookupData()->SelectItemIndex(1);
    f.Key(c.CloseKey, c.CloseModifiers);
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    EXPECT_FALSE(f.Popup()->Visible());
    EXPECT_EQ(f.Edit->Text(), c.Text);
    EXPECT_EQ(f.Edit->IsModified(), String(c.Text) != u"原值");
  }
}

TEST(cxCustomDropDownEdit, TabTakesThePopupValueOnlyWhenAskedTo) {
  for (bool post : {false, true}) {
    SCOPED_TRACE(post);
    TDropDownFixture f;
    static_cast<TcxCustomDropDownEditProperties*>(f.Edit->Properties())->SetPostPopupValueOnTab(post);
    f.Edit->SetEditValue(String(u"原值"));
    f.Key(VK_F4);
    ASSERT_TRUE(f.Edit->HasOpenPopup());
    f.Edit->Model()->LookupData()->SelectItemIndex(2);
    f.Key(VK_TAB);
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    EXPECT_FALSE(f.Edit->Focused());
    EXPECT_EQ(f.Edit->Text(), post ? kItems[2] : u"原值");
  }
}

TEST(cxCustomDropDownEdit, TheBaseEditorNeverDropsDown) {
  TDropDownFixture base(true);
  base.Key(VK_F4);
  EXPECT_FALSE(base.Edit->HasOpenPopup());
  base.Key(VK_DOWN, tkAlt);
  EXPECT_FALSE(base.Edit->HasOpenPopup());
}

TEST(cxCustomDropDownEdit, TheButtonOpensThePopupAndLeavingTheEditorClosesIt) {
  TDropDownFixture f;
  ASSERT_EQ(f.Edit->GetViewInfo()->ButtonCount(), 1);
  const TRect r = f.Edit->GetViewInfo()->Button(0)->Bounds;
  const TPoint centre{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  TestMousePress(f.Edit->Handle(), centre);
  TestMouseRelease(f.Edit->Handle(), centre);
  Application->ProcessMessages();
  ASSERT_TRUE(f.Edit->HasOpenPopup());
  f.Edit->SetEditValue(String(u"原值"));
  f.Edit->Model()->LookupData()->SelectItemIndex(0);
  f.Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(f.Edit->HasOpenPopup());
  EXPECT_EQ(f.Edit->Text(), u"原值");
}

TEST(cxCustomDropDownEdit, ThePopupOpensBelowOrAboveTheEditorInsideTheWorkArea) {
  const TRect work = MonitorWorkAreaAt(TPoint{0, 0});
  struct TPlaceCase {
    const char* Name;
    TPoint FormPos;  // relative to the work area's top-left; negative: from its right / bottom
    bool Wide;       // a 300 x 200 popup instead of the auto-sized 120 x 80 one
    bool Below;
  };
  const TPlaceCase cases[] = {
      {"middle", {200, 150}, false, true},
      {"top edge", {200, 0}, true, true},
      {"bottom edge: above", {200, -100}, false, false},
      {"bottom edge, wide: above", {200, -100}, true, false},
      {"right edge, wide: moved left", {-190, 150}, true, true},
      {"left edge, partly outside: moved right", {-10000, 150}, true, true},
      {"bottom-right corner, wide", {-190, -100}, true, false},
  };
  for (const TPlaceCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const Integer x = c.FormPos.X == -10000 ? work.Left - 60
                      : c.FormPos.X < 0     ? work.Right + c.FormPos.X
                                            : work.Left + c.FormPos.X;
    const Integer y = c.FormPos.Y < 0 ? work.Bottom + c.FormPos.Y : work.Top + c.FormPos.Y;
    TDropDownFixture f(Bounds(x, y, 200, 100), {20, 40});
    auto* p = static_cast<TcxCustomDropDownEditProperties*>(f.Edit->Properties());
    if (c.Wide) {
      p->SetPopupAutoSize(false);
      p->SetPopupWidth(300);
      p->SetPopupHeight(200);
    }
    const TPoint origin = f.Edit->ClientToScreen(TPoint{0, 0});
    const TRect edit = Bounds(origin.X, origin.Y, f.Edit->Width(), f.Edit->Height());
    f.Key(VK_F4);
    ASSERT_TRUE(f.Edit->HasOpenPopup());
    const TRect popup = f.Popup()->BoundsRect();
    EXPECT_EQ(popup.Width(), c.Wide ? 300 : 120);
    EXPECT_EQ(popup.Height(), c.Wide ? 200 : 80);
    EXPECT_GE(popup.Left, work.Left);
    EXPECT_LE(popup.Right, work.Right);
    EXPECT_GE(popup.Top, work.Top);
    EXPECT_LE(popup.Bottom, work.Bottom);
    if (c.Below) EXPECT_EQ(popup.Top, edit.Bottom);
    else EXPECT_EQ(popup.Bottom, edit.Top);
    // Left-aligned with the editor unless the work area pushed it.
    if (popup.Left != edit.Left) {
      EXPECT_TRUE(popup.Right == work.Right || popup.Left == work.Left);
    }
  }
}

TEST(cxCustomDropDownEdit, TheSizeTheUserGaveThePopupIsKept) {
  TDropDownFixture f;
  auto* p = static_cast<TcxCustomDropDownEditProperties*>(f.Edit->Properties());
  p->SetPopupAutoSize(false);
  p->SetPopupSizeable(true);
  p->SetPopupSysPanelStyle(true);
  p->SetPopupWidth(200);
  p->SetPopupHeight(150);
  f.Key(VK_F4);
  ASSERT_TRUE(f.Edit->HasOpenPopup());
  const TRect start = f.Popup()->BoundsRect();
  ASSERT_EQ(start.Width(), 200);
  const TRect g = f.Popup()->GetViewInfo()->SizeGripRect;
  const TPoint grip{(g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2};
  HWND wnd = f.Popup()->Handle();
  TestMousePress(wnd, grip);
  TestMouseMove(wnd, TPoint{grip.X + 40, grip.Y + 30});
  TestMouseRelease(wnd, TPoint{grip.X + 40, grip.Y + 30});
  Application->ProcessMessages();
  ASSERT_EQ(f.Popup()->Width(), 240);
  f.Key(VK_ESCAPE);
  ASSERT_FALSE(f.Edit->HasOpenPopup());
  EXPECT_EQ(p->PopupWidth(), 240);
  EXPECT_EQ(p->PopupHeight(), 180);
  f.Key(VK_F4);
  EXPECT_EQ(f.Popup()->BoundsRect(), Bounds(start.Left, start.Top, 240, 180));
  f.Key(VK_ESCAPE);

  // Not sizeable: the kept size is forgotten, the properties' size rules.
  p->SetPopupSizeable(false);
  EXPECT_EQ(f.Edit->RememberedPopupSize(), (TSize{0, 0}));
}

TEST(cxCustomDropDownEdit, ACharacterTypedIntoAClosedEditorOpensThePopupAndArrivesThere) {
  TDropDownFixture f;
  f.Form->Free();
  f.Make<TFocusPopupEdit>({100, 100, 500, 400}, {20, 40});
  auto* edit = static_cast<TFocusPopupEdit*>(f.Edit);
  f.Edit->SetEditValue(String(u"原值"));
  TestTypeText(u"g");
  Application->ProcessMessages();
  ASSERT_TRUE(f.Edit->HasOpenPopup());
  EXPECT_EQ(f.Popup()->FocusedControl(), edit->Inner);
  EXPECT_EQ(edit->Inner->Text(), u"g");
  EXPECT_EQ(f.Edit->Text(), u"原值");
  // Typed while open: also to the popup.
  TestTypeText(u"b");
  Application->ProcessMessages();
  EXPECT_EQ(edit->Inner->Text(), u"gb");
}

TEST(cxCustomDropDownEdit, AControlOrEditorFreedBeforeTheShowMessageIsNotTouched) {
  TDropDownFixture f;
  f.Form->Free();
  f.Make<TFocusPopupEdit>({100, 100, 500, 400}, {20, 40});
  auto* edit = static_cast<TFocusPopupEdit*>(f.Edit);
  edit->DropDown();
  edit->Inner->Free();
  edit->Inner = nullptr;
  Application->ProcessMessages();
  ASSERT_TRUE(edit->HasOpenPopup());
  EXPECT_EQ(f.Popup()->FocusedControl(), nullptr);
  f.Key(VK_ESCAPE);

  // The editor goes while its popup is open.
  f.Key(VK_F4);
  ASSERT_TRUE(edit->HasOpenPopup());
  TcxCustomEditPopupWindow* popup = f.Popup();
  edit->Free();
  Application->ProcessMessages();
  EXPECT_FALSE(IsPopupShown(popup));
  EXPECT_EQ(ShownPopupCount(), 0);
  f.Form->Free();
  f.Make<TFocusPopupEdit>({100, 100, 500, 400}, {20, 40});
  edit = static_cast<TFocusPopupEdit*>(f.Edit);

  // The editor (and its popup) goes while the show message waits.
  edit->DropDown();
  f.Edit = nullptr;
  edit->Free();
  Application->ProcessMessages();
  EXPECT_EQ(ShownPopupCount(), 0);
}

}  // namespace
