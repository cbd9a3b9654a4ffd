// The popup editor: it lends a control of the form to its popup and always
// gives it back (on close, when the show is called off, when the editor is
// destroyed with the popup open), refuses controls that hold the editor,
// and never keeps a pointer to a lent control or its parent once either is
// freed.
#include <gtest/gtest.h>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

// Asks the owner's list, so a freed AComponent is never touched.
bool Owns(TComponent* AOwner, TComponent* AComponent) {
  for (Integer i = 0; i < AOwner->ComponentCount(); ++i)
    if (AOwner->Components(i) == AComponent) return true;
  return false;
}

const TRect kPanelBounds{200, 100, 360, 220};  // 160 x 120 in the holder

// A shown form with a popup editor and a panel to lend it, inside a holder
// panel of the form.
struct TPopupEditFixture : TTestForm {
  explicit TPopupEditFixture(TAlign APanelAlign = alNone, bool APanelVisible = true) : TTestForm(500, 400) {
    Holder = Place<TPanel>(0, 100, 480, 260);
    Panel = new TPanel(Form);
    Panel->SetBoundsRect(kPanelBounds);
    Panel->SetAlign(APanelAlign);
    Panel->SetVisible(APanelVisible);
    Panel->SetParent(Holder);
    Edit = Place<TcxPopupEdit>(20, 40, 150, 24);
    Edit->ActivePopupProperties()->SetPopupControl(Panel);
    ShowForm(Edit);
    SavedBounds = Panel->BoundsRect();
  }
  void Open() {
    Edit->DropDown();
    Application->ProcessMessages();
  }
  // The panel sits where it was before the popup borrowed it.
  void ExpectPanelBack(TAlign AAlign, bool AVisible) {
    EXPECT_EQ(Panel->Parent(), Holder);
    EXPECT_EQ(Panel->Align(), AAlign);
    EXPECT_EQ(Panel->BoundsRect(), SavedBounds);
    EXPECT_EQ(Panel->Visible(), AVisible);
    EXPECT_EQ(Edit->HostedControl(), nullptr);
  }
  TPanel* Holder = nullptr;

  TPanel* Panel = nullptr;
  TcxPopupEdit* Edit = nullptr;
  TRect SavedBounds{};
};

TEST(cxPopupEditProperties, DefaultsAssignAndAFreedControlLeavesNoPointer) {
  TcxPopupEditProperties p(nullptr);
  EXPECT_EQ(p.PopupControl(), nullptr);
  EXPECT_TRUE(p.PopupAutoSize());
  EXPECT_TRUE(p.PopupSizeable());
  EXPECT_EQ(p.PopupWidth(), 250);
  EXPECT_EQ(p.PopupHeight(), 200);
  EXPECT_EQ(p.PopupMinWidth(), 100);
  EXPECT_EQ(p.PopupMinHeight(), 100);
  EXPECT_TRUE(p.ImmediateDropDown());
  EXPECT_TRUE(p.ImmediatePopup());
  EXPECT_FALSE(TcxCustomDropDownEditProperties(nullptr).ImmediatePopup());

  auto* panel = new TPanel(nullptr);
  p.SetPopupControl(panel);
  p.SetPopupWidth(300);
  TcxPopupEditProperties copy(nullptr);
  copy.Assign(&p);
  EXPECT_EQ(copy.PopupControl(), panel);
  EXPECT_EQ(copy.PopupWidth(), 300);
  // Both sets hear of the control's end.
  panel->Free();
  EXPECT_EQ(p.PopupControl(), nullptr);
  EXPECT_EQ(copy.PopupControl(), nullptr);
}

TEST(cxPopupEditProperties, TheKindRegistersWithItsEditor) {
  cxDropDownEditInitialize();
  cxDropDownEditInitialize();  // a second call adds nothing
  TcxRegisteredClasses* registry = GetEditPropertiesRegistry();
  auto cls = static_cast<TcxCustomEditPropertiesClass>(registry->FindByClassName(u"TcxPopupEditProperties"));
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(registry->Descriptions(registry->IndexOfClass(cls)),
            u"PopupEdit|Represents an edit control with a dropdown list");
  EXPECT_EQ(cls->GetEditorClass(), TcxPopupEdit::StaticClass());
  cxDropDownEditFinalize();
  EXPECT_EQ(registry->FindByClassName(u"TcxPopupEditProperties"), nullptr);
}

TEST(cxPopupEdit, HostsThePanelAndGivesItBackOnClose) {
  struct TCase {
    const char* Name;
    TAlign Align;
    bool Visible;
    bool CloseByEsc;  // else the editor closes it with accept
  };
  const TCase cases[] = {
      {"visible, unaligned, Esc", alNone, true, true},
      {"hidden, unaligned, accept", alNone, false, false},
      {"aligned to the bottom, Esc", alBottom, true, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPopupEditFixture f(c.Align, c.Visible);
    f.Open();
    ASSERT_TRUE(f.Edit->HasOpenPopup());
    TcxCustomEditPopupWindow* popup = f.Edit->PopupWindow();
    EXPECT_TRUE(popup->InheritsFrom(TcxPopupEditPopupWindow::StaticClass()));
    EXPECT_EQ(f.Edit->HostedControl(), f.Panel);
    EXPECT_EQ(f.Panel->Parent(), popup);
    EXPECT_TRUE(f.Panel->Visible());
    EXPECT_EQ(f.Panel->Align(), alClient);
    EXPECT_EQ(f.Panel->BoundsRect(), popup->GetViewInfo()->ClientRect);
    if (c.Align == alNone) {
      // Sized by its control: the client part is the panel's own size.
      EXPECT_EQ(popup->GetViewInfo()->ClientRect.Width(), kPanelBounds.Width());
      EXPECT_EQ(popup->GetViewInfo()->ClientRect.Height(), kPanelBounds.Height());
    }
    if (c.CloseByEsc) {
      TestKey(VK_ESCAPE, u"", 0);
      Application->ProcessMessages();
    } else {
      f.Edit->ClosePopup(true);
    }
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    f.ExpectPanelBack(c.Align, c.Visible);

    // A second round trip behaves the same.
    f.Open();
    EXPECT_EQ(f.Panel->Parent(), popup);
    f.Edit->ClosePopup(false);
    f.ExpectPanelBack(c.Align, c.Visible);
  }
}

TEST(cxPopupEdit, DestroyingTheEditorWhileOpenGivesThePanelBack) {
  TPopupEditFixture f;
  f.Open();
  ASSERT_EQ(f.Panel->Parent(), f.Edit->PopupWindow());
  f.Edit->Free();
  f.Edit = nullptr;
  Application->ProcessMessages();
  // Alive (its owner still lists it) and back in its place.
  ASSERT_TRUE(Owns(f.Form, f.Panel));
  EXPECT_EQ(f.Panel->Parent(), f.Holder);
  EXPECT_EQ(f.Panel->BoundsRect(), f.SavedBounds);
  EXPECT_TRUE(f.Panel->Visible());
}

TEST(cxPopupEdit, DestroyingTheFormWhileOpenFreesEverythingOnce) {
  // The form takes the editor down first (its child), then the panel it
  // got back: nothing is freed twice and nothing is left behind.
  TPopupEditFixture f;
  f.Open();
  ASSERT_TRUE(f.Edit->HasOpenPopup());
  // The fixture's destructor frees the form with the popup open.
}

TEST(cxPopupEdit, AFreedParentOrControlIsNotTouchedWhenThePopupCloses) {
  {
    SCOPED_TRACE("the panel's parent is freed while the panel is lent");
    TPopupEditFixture f;
    f.Open();
    f.Holder->Free();
    f.Holder = nullptr;
    f.Edit->ClosePopup(false);
    EXPECT_EQ(f.Panel->Parent(), nullptr);  // not taken down with the popup
    EXPECT_EQ(f.Panel->BoundsRect(), f.SavedBounds);
    EXPECT_EQ(f.Edit->HostedControl(), nullptr);
    f.Edit->Free();  // the popup window goes; the panel stays
    f.Edit = nullptr;
    EXPECT_TRUE(Owns(f.Form, f.Panel));
  }
  {
    SCOPED_TRACE("the lent panel is freed while the popup is open");
    TPopupEditFixture f;
    f.Open();
    f.Panel->Free();
    f.Panel = nullptr;
    EXPECT_EQ(f.Edit->HostedControl(), nullptr);
    EXPECT_EQ(f.Edit->ActivePopupProperties()->PopupControl(), nullptr);
    f.Edit->ClosePopup(false);
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    // Nothing to lend any more: the popup stays closed.
    f.Edit->DropDown();
    Application->ProcessMessages();
    EXPECT_FALSE(f.Edit->HasOpenPopup());
  }
}

TEST(cxPopupEdit, AControlHoldingTheEditorIsRefusedAndStaysWhereItIs) {
  TPopupEditFixture f;
  // The editor moves into the holder, so the holder and the form hold it.
  f.Edit->SetParent(f.Holder);
  struct TCase {
    const char* Name;
    TControl* Control;
  };
  const TCase cases[] = {
      {"the editor", f.Edit},
      {"its parent panel", f.Holder},
      {"the form", f.Form},
      {"the popup window", f.Edit->PopupWindow()},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TWinControl* parent = c.Control->Parent();
    const TRect bounds = c.Control->BoundsRect();
    f.Edit->ActivePopupProperties()->SetPopupControl(c.Control);
    try {
      f.Edit->DropDown();
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message, u"Circular referencing is not allowed");
    }
    Application->ProcessMessages();
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    EXPECT_EQ(f.Edit->HostedControl(), nullptr);
    EXPECT_EQ(c.Control->Parent(), parent);
    EXPECT_EQ(c.Control->BoundsRect(), bounds);
  }
}

TEST(cxPopupEdit, AShowCalledOffGivesThePanelBackAndThePopupNeverOpens) {
  struct TCase {
    const char* Name;
    void (*CallOff)(TPopupEditFixture& f);
  };
  const TCase cases[] = {
      {"the focus leaves the editor",
       [](TPopupEditFixture& f) {
         auto* other = new TcxTextEdit(f.Form);
         other->SetParent(f.Form);
         other->SetFocus();
       }},
      {"the editor closes the popup", [](TPopupEditFixture& f) { f.Edit->ClosePopup(false); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPopupEditFixture f;
    f.Edit->DropDown();  // laid out, the show message still queued
    EXPECT_EQ(f.Panel->Parent(), f.Edit->PopupWindow());
    c.CallOff(f);  // before the message arrives
    Application->ProcessMessages();
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    f.ExpectPanelBack(alNone, true);
  }
}

TEST(cxPopupEdit, ALentTextEditorTakesTheFocusAndTypedCharacters) {
  TPopupEditFixture f;
  auto* inner = new TcxTextEdit(f.Form);
  inner->SetBounds(0, 0, 120, 24);
  inner->SetParent(f.Holder);
  f.Edit->ActivePopupProperties()->SetPopupControl(inner);
  f.Open();
  ASSERT_TRUE(f.Edit->HasOpenPopup());
  EXPECT_TRUE(inner->Focused());
  TestTypeText(u"abc");
  Application->ProcessMessages();
  EXPECT_EQ(inner->Text(), u"abc");
  EXPECT_EQ(f.Edit->Text(), u"");
  f.Edit->ClosePopup(false);
  EXPECT_EQ(inner->Parent(), f.Holder);
}

TEST(cxPopupEdit, GoingIntoThePopupAndBackIsNoExitAndTheValueIsKept) {
  struct TCase {
    const char* Name;
    bool BackToTheEditor;  // else the focus goes from the popup to another control
  };
  for (const TCase& c : {TCase{"back to the editor, then away", true}, TCase{"away from the popup", false}}) {
    SCOPED_TRACE(c.Name);
    TPopupEditFixture f;
    auto* inner = new TcxTextEdit(f.Form);
    inner->SetBounds(0, 0, 120, 24);
    inner->SetParent(f.Holder);
    auto* other = new TcxTextEdit(f.Form);
    other->SetBounds(300, 10, 80, 24);
    other->SetParent(f.Form);
    f.Edit->ActivePopupProperties()->SetPopupControl(inner);
    for (const char16_t* item : {u"甲", u"乙"}) f.Edit->ActiveTextProperties()->LookupItems()->Add(item);
    f.Edit->SetEditValue(String(u"甲"));
    Integer exits = 0;
    f.Edit->OnExit = TNotifyEvent(f.Form, [&](TObject*) { ++exits; });

    if (!c.BackToTheEditor) {
      // Typed, not yet validated, when the popup opens.
      f.Edit->ActivePopupProperties()->SetImmediateDropDown(false);
      f.Edit->SelectWholeText();
      TestTypeText(u"乙");
      Application->ProcessMessages();
      ASSERT_TRUE(f.Edit->IsModified());
    }
    f.Open();
    ASSERT_TRUE(inner->Focused());
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(VarToStr(f.Edit->EditValue()), u"甲");
    if (c.BackToTheEditor) {
      f.Edit->Model()->LookupData()->SelectItemIndex(1);
      f.Edit->ClosePopup(true);
      Application->ProcessMessages();
      EXPECT_TRUE(f.Edit->Focused());
      EXPECT_EQ(exits, 0);
      EXPECT_TRUE(f.Edit->IsModified());  // the popup's value waits to be posted
      other->SetFocus();
    } else {
      other->SetFocus();  // the popup closes as the focus leaves it
      Application->ProcessMessages();
      EXPECT_TRUE(other->Focused());
    }
    Application->ProcessMessages();
    EXPECT_FALSE(f.Edit->HasOpenPopup());
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(VarToStr(f.Edit->EditValue()), u"乙");
  }
}

}  // namespace
