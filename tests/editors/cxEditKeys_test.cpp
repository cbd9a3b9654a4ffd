// Tab out of an editor: the editor hears BeforeTabFocusMove while it still
// has the focus, then the focus moves on (Shift+Tab: back). Chinese typed into an editor
// arrives as characters.
#include <gtest/gtest.h>

#include "editors/cxMemo.h"
#include "editors/cxTextEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "tests/platform/gui/guitestutil.h"

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
    TTestForm form(300, 200);
    TTabEdit* edits[3];
    for (Integer i = 0; i < 3; ++i) {
      edits[i] = form.Place<TTabEdit>(10, 10 + 30 * i, 120, 24);
      edits[i]->SetTabOrder(i);
    }
    form.ShowForm(edits[1]);
    form.Key(VK_TAB, c.Modifiers);
    EXPECT_EQ(edits[1]->Calls, 1);
    EXPECT_TRUE(edits[1]->FocusedThen);
    EXPECT_TRUE(edits[c.Target]->Focused());
  }
}

TEST(cxCustomEdit, TypedChineseReachesTheEditor) {
  TTestForm form(300, 200);
  auto* edit = form.Place<TcxTextEdit>(10, 10, 120, 24);
  form.ShowForm(edit);
  form.Type(u"花岗岩 A1");
  EXPECT_EQ(edit->Text(), u"花岗岩 A1");
}

}  // namespace
