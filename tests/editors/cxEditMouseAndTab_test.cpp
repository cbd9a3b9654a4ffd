// The editor control's mouse and keyboard edges: a double click over a
// button is its second press, not a double click of the editor; the click
// key clicks the default button without typing its character; a shown
// in-place editor stands for its container in the tab order; and the
// editors' mouse-wheel cursor is in the screen's cursor table.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "editors/cxCheckBox.h"
#include "editors/cxMaskEdit.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

struct TClickCounts {
  Integer Buttons = 0;
  Integer Clicks = 0;
  Integer DoubleClicks = 0;
  void ButtonClick(TObject*, Integer) { ++Buttons; }
  void Click(TObject*) { ++Clicks; }
  void DoubleClick(TObject*) { ++DoubleClicks; }
};

// A shown button editor whose events are counted.
struct TButtonEditFixture : TTestForm {
  TButtonEditFixture() : TTestForm(320, 160) {
    Edit = Place<TcxButtonEdit>(10, 10, 180, 24);
    Edit->Properties()->OnButtonClick = TcxEditButtonClickEvent(&Counts, &TClickCounts::ButtonClick);
    Edit->OnClick = TNotifyEvent(&Counts, &TClickCounts::Click);
    Edit->OnDblClick = TNotifyEvent(&Counts, &TClickCounts::DoubleClick);
    ShowForm(Edit);
    Edit->RefreshViewStateAtCursor();
  }
  // The middle of the editor's first button (editor client coordinates).
  TPoint ButtonCentre() const {
    const TRect& r = Edit->GetViewInfo()->Button(0)->Bounds;
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TcxButtonEdit* Edit;
  TClickCounts Counts;
};

TEST(cxCustomEditMouse, ADoubleClickOverAButtonIsASecondPressAndClick) {
  TButtonEditFixture f;
  ASSERT_EQ(f.Edit->GetViewInfo()->ButtonCount(), 1);
  TestDoubleClick(f.Edit->Handle(), f.ButtonCentre());
  Application->ProcessMessages();
  EXPECT_EQ(f.Counts.Buttons, 2);
  EXPECT_EQ(f.Counts.Clicks, 2);
  EXPECT_EQ(f.Counts.DoubleClicks, 0);
  EXPECT_EQ(f.Edit->GetViewInfo()->PressedButton, -1);
}

TEST(cxCustomEditKeys, TheClickKeyClicksTheDefaultButtonAndTypesNothing) {
  struct TCase {
    const char* Name;
    Word Key;
    Cardinal Modifiers;
    const char16_t* Character;
    TShortCut ClickKey;
  };
  const TCase cases[] = {
      {"a letter", 'Q', 0, u"q", ShortCut('Q', TShiftState{})},
      {"Ctrl+Enter (the default)", VK_RETURN, tkCtrl, u"\r", ShortCut(VK_RETURN, ssCtrl)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TButtonEditFixture f;
    f.Edit->Properties()->SetClickKey(c.ClickKey);
    f.Edit->Properties()->Buttons()->GetButton(0)->SetDefault(true);
    f.Edit->SetEditValue(String(u"岩石"));
    TestKey(c.Key, c.Character, c.Modifiers);
    Application->ProcessMessages();
    EXPECT_EQ(f.Counts.Buttons, 1);
    EXPECT_EQ(f.Edit->Text(), u"岩石");
    EXPECT_FALSE(f.Edit->IsModified());
  }
}

// A form with a text editor, a container control holding a shown in-place
// check box (which has no inner edit and moves the focus on Tab itself),
// and a second text editor, in that tab order.
struct TInplaceTabFixture : TTestForm {
  TInplaceTabFixture() : TTestForm(400, 200) {
    Before = Place<TcxTextEdit>(10, 10, 100, 24);
    Container = Place<TRecorder>(10, 50, 200, 60);
    Container->SetTabStop(true);
    After = Place<TcxTextEdit>(10, 130, 100, 24);
    Before->SetTabOrder(0);
    Container->SetTabOrder(1);
    After->SetTabOrder(2);
    Editor.reset(CreateInplaceEditor(TcxCheckBox::StaticClass(), &Properties));
    Editor->SetParent(Container);
    Editor->SetBounds(5, 5, 100, 20);
    ShowForm();
  }
  ~TInplaceTabFixture() {
    if (Editor) Editor->SetParent(nullptr);
  }
  TcxCheckBoxProperties Properties{nullptr};
  TcxTextEdit* Before;
  TRecorder* Container;
  TcxTextEdit* After;
  std::unique_ptr<TcxCustomEdit> Editor;
};

TEST(cxCustomEditKeys, AShownInplaceEditorStandsForItsContainerInTheTabOrder) {
  using F = TInplaceTabFixture;
  struct TCase {
    const char* Name;
    Cardinal Modifiers;
    TcxTextEdit* F::*To;
  };
  const TCase cases[] = {
      {"Shift+Tab from the editor passes the container", tkShift, &F::Before},
      {"Tab from the editor", 0, &F::After},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    F f;
    f.Editor->Show();
    f.Focus(f.Editor.get());
    ASSERT_TRUE(f.Editor->Focused());
    f.Key(VK_TAB, c.Modifiers);
    EXPECT_TRUE((f.*c.To)->Focused());
    EXPECT_FALSE(f.Container->Focused());
  }

  // The lists themselves: the container leaves only while its in-place
  // editor is shown; a stand-alone editor leaves its parent alone.
  F f;
  std::vector<TWinControl*> list;
  f.Editor->Hide();
  cxGetTabOrderList(f.Form, list);
  EXPECT_NE(std::find(list.begin(), list.end(), f.Container), list.end());
  f.Editor->Show();
  list.clear();
  cxGetTabOrderList(f.Form, list);
  EXPECT_EQ(std::find(list.begin(), list.end(), f.Container), list.end());
  EXPECT_NE(std::find(list.begin(), list.end(), f.Editor.get()), list.end());
  auto* standAlone = new TcxCheckBox(f.Form);
  standAlone->SetParent(f.Container);
  f.Editor->Hide();
  list.clear();
  cxGetTabOrderList(f.Form, list);
  EXPECT_NE(std::find(list.begin(), list.end(), f.Container), list.end());
}

// The form's own Tab handling and the editors' own moves on one form: a
// plain edit, a container control whose in-place text editor may be open, a
// stand-alone text editor and a second plain edit, in that tab order.
struct TMixedTabFixture : TTestForm {
  enum TWhich { Plain, Container, Editor, StandAlone, LastPlain };
  TMixedTabFixture() : TTestForm(400, 260) {
    Controls[Plain] = Place<TEdit>(10, 10, 100, 24);
    auto* container = Place<TRecorder>(10, 50, 200, 60);
    container->SetTabStop(true);
    Controls[Container] = container;
    Controls[StandAlone] = Place<TcxTextEdit>(10, 130, 100, 24);
    Controls[LastPlain] = Place<TEdit>(10, 170, 100, 24);
    InplaceEditor.reset(CreateInplaceEditor(TcxTextEdit::StaticClass(), &Properties));
    Controls[Editor] = InplaceEditor.get();
    InplaceEditor->SetParent(container);
    InplaceEditor->SetBounds(5, 5, 100, 20);
    ShowForm();
  }
  ~TMixedTabFixture() {
    if (InplaceEditor) InplaceEditor->SetParent(nullptr);
  }
  // The one control holding the focus (an editor holds it in its inner edit).
  TWinControl* FocusedOne() const {
    TWinControl* found = nullptr;
    for (TWinControl* c : Controls)
      if (c->Focused()) {
        if (found) return nullptr;
        found = c;
      }
    return found;
  }
  TcxTextEditProperties Properties{nullptr};
  std::unique_ptr<TcxCustomEdit> InplaceEditor;
  TWinControl* Controls[5];
};

TEST(cxCustomEditKeys, TheFormsTabMovesAndTheEditorsAgreeOnTheInplaceEditor) {
  using F = TMixedTabFixture;
  struct TCase {
    const char* Name;
    bool Open;  // the in-place editor is shown
    F::TWhich From;
    Cardinal Modifiers;
    F::TWhich To;
  };
  const TCase cases[] = {
      {"open: plain edit, Tab reaches the open editor", true, F::Plain, 0, F::Editor},
      {"open: the open editor, Tab", true, F::Editor, 0, F::StandAlone},
      {"open: stand-alone editor, Shift+Tab reaches the open editor", true, F::StandAlone, tkShift, F::Editor},
      {"open: the open editor, Shift+Tab passes its container", true, F::Editor, tkShift, F::Plain},
      {"open: stand-alone editor, Tab", true, F::StandAlone, 0, F::LastPlain},
      {"open: plain edit, Shift+Tab", true, F::LastPlain, tkShift, F::StandAlone},
      {"open: plain edit, Shift+Tab goes round", true, F::Plain, tkShift, F::LastPlain},
      {"closed: plain edit, Tab reaches the container", false, F::Plain, 0, F::Container},
      {"closed: the container, Tab", false, F::Container, 0, F::StandAlone},
      {"closed: stand-alone editor, Shift+Tab reaches the container", false, F::StandAlone, tkShift, F::Container},
      {"closed: the container, Shift+Tab", false, F::Container, tkShift, F::Plain},
      {"closed: plain edit, Tab goes round", false, F::LastPlain, 0, F::Plain},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    F f;
    f.InplaceEditor->SetVisible(c.Open);
    f.Focus(f.Controls[c.From]);
    ASSERT_EQ(f.FocusedOne(), f.Controls[c.From]);
    f.Key(VK_TAB, c.Modifiers);
    EXPECT_EQ(f.FocusedOne(), f.Controls[c.To]);
  }
}

TEST(cxCustomEditKeys, TheFormsWalkFromAnEditorsInnerEditPassesTheEditor) {
  // The inner edit holding the focus stands in the editor's place, so going
  // back from it leaves the editor instead of landing on it again.
  using F = TMixedTabFixture;
  for (const bool forward : {false, true}) {
    SCOPED_TRACE(forward ? "forward" : "backward");
    F f;
    f.InplaceEditor->Hide();
    f.Focus(f.Controls[F::StandAlone]);
    TWinControl* inner = f.Form->ActiveControl();
    ASSERT_NE(inner, f.Controls[F::StandAlone]);
    f.Form->SelectNext(inner, forward, true);
    Application->ProcessMessages();
    EXPECT_EQ(f.FocusedOne(), f.Controls[forward ? F::LastPlain : F::Container]);
  }
}

// An editor alone on its form: Tab finds nowhere else to go and the focus
// stays where typing goes, in the inner edit, both ways.
TEST(cxCustomEditKeys, TabWithNowhereElseToGoLeavesTheFocusInTheInnerEdit) {
  for (const Cardinal modifiers : {Cardinal(0), Cardinal(tkShift)}) {
    SCOPED_TRACE(modifiers ? "Shift+Tab" : "Tab");
    TTestForm f(300, 120);
    auto* edit = f.Place<TcxTextEdit>(10, 10, 120, 24);
    f.ShowForm(edit);
    ASSERT_NE(edit->InnerControl(), nullptr);
    ASSERT_TRUE(edit->InnerControl()->Focused());
    f.Key(VK_TAB, modifiers);
    EXPECT_TRUE(edit->InnerControl()->Focused());
    f.Type(u"x");
    EXPECT_EQ(edit->Text(), u"x");
  }
}

TEST(cxCustomEditCursors, TheMouseWheelCursorIsInTheScreensTable) {
  EnsureGuiRuntime();
  std::unique_ptr<TcxTextEdit> edit(new TcxTextEdit(nullptr));
  ASSERT_NE(Screen, nullptr);
  const HCURSOR wheel = Screen->Cursors(crcxEditMouseWheel);
  EXPECT_NE(wheel, 0u);
  EXPECT_NE(wheel, Screen->Cursors(crDefault));
  // A second editor registers nothing new.
  std::unique_ptr<TcxTextEdit> second(new TcxTextEdit(nullptr));
  EXPECT_EQ(Screen->Cursors(crcxEditMouseWheel), wheel);
}

}  // namespace
