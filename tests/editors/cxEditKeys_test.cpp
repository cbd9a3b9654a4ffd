// Tab out of an editor: the editor hears BeforeTabFocusMove while it still
// has the focus, then the focus moves on (Shift+Tab: back). Chinese typed into an editor
// arrives as characters.
#include <gtest/gtest.h>

#include "editors/cxMemo.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"

namespace {

// Records the calls and whether it had the focus then.
class TTabEdit : public TcxTextEdit {
  KORVANE_CLASS(TTabEdit, TcxTextEdit)
  using TcxTextEdit::TcxTextEdit;
  Integer Calls = 0;
  bool FocusedThen = false;

protected:
  void BeforeTabFocusMove() override {
    ++Calls;
    FocusedThen = Focused();
  }
};

TEST(cxCustomEdit, TabTellsTheEditorBeforeTheFocusMoves) {
  struct TCase {
    const char* Name;
    Cardinal Modifiers;
    Integer Target;  // the index of the editor focused afterwards
  };
  const TCase cases[] = {{"Tab", 0, 2}, {"Shift+Tab", tkShift, 0}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EnsureGuiRuntime();
    TestSetApplicationActive(true);
    auto* form = new TForm(nullptr);
    form->SetBounds(100, 100, 300, 200);
    TTabEdit* edits[3];
    for (Integer i = 0; i < 3; ++i) {
      edits[i] = new TTabEdit(form);
      edits[i]->SetBounds(10, 10 + 30 * i, 120, 24);
      edits[i]->SetParent(form);
      edits[i]->SetTabOrder(i);
    }
    form->Show();
    Application->ProcessMessages();
    edits[1]->SetFocus();
    Application->ProcessMessages();
    TestKey(VK_TAB, u"", c.Modifiers);
    Application->ProcessMessages();
    EXPECT_EQ(edits[1]->Calls, 1);
    EXPECT_TRUE(edits[1]->FocusedThen);
    EXPECT_TRUE(edits[c.Target]->Focused());
    form->Free();
    Application->ProcessMessages();
  }
}

TEST(cxCustomEdit, TypedChineseReachesTheEditor) {
  EnsureGuiRuntime();
  TestSetApplicationActive(true);
  auto* form = new TForm(nullptr);
  form->SetBounds(100, 100, 300, 200);
  auto* edit = new TcxTextEdit(form);
  edit->SetBounds(10, 10, 120, 24);
  edit->SetParent(form);
  form->Show();
  Application->ProcessMessages();
  edit->SetFocus();
  Application->ProcessMessages();
  TestTypeText(u"花岗岩 A1");
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), u"花岗岩 A1");
  form->Free();
  Application->ProcessMessages();
}

}  // namespace
