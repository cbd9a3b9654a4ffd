// The combo box with its list closed: the arrow and page keys step through
// the items of a stand-alone combo box (an in-place one leaves them to its
// container).
#include <gtest/gtest.h>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

const char16_t* const kStrata[] = {u"寒武系", u"奥陶系", u"志留系", u"泥盆系", u"石炭系", u"二叠系"};

struct TClosedComboFixture : TTestForm {
  explicit TClosedComboFixture(TcxEditDropDownListStyle AStyle = lsEditList, bool AInplace = false)
      : TTestForm(360, 260) {
    Combo = Place<TcxComboBox>(20, 20, 180, 24, AInplace);
    Props()->SetDropDownListStyle(AStyle);
    Props()->SetDropDownRows(3);
    for (const char16_t* item : kStrata) Props()->Items()->Add(item);
    ShowForm(Combo);
  }
  TcxCustomComboBoxProperties* Props() { return static_cast<TcxCustomComboBoxProperties*>(Combo->Properties()); }
  TcxComboBox* Combo;

};

TEST(cxComboBoxClosed, KeysStepThroughTheItems) {
  struct TStepCase {
    const char* Name;
    TcxEditDropDownListStyle Style;
    Word Key;
    Cardinal Modifiers;
    const char16_t* Text;  // from the second item
  };
  const TStepCase cases[] = {
      {"Down", lsEditList, VK_DOWN, 0, kStrata[2]},
      {"Up", lsEditList, VK_UP, 0, kStrata[0]},
      {"Page Down: rows - 1", lsEditList, VK_NEXT, 0, kStrata[3]},
      {"Ctrl+Page Down: the last", lsEditList, VK_NEXT, tkCtrl, kStrata[5]},
      {"Ctrl+Page Up: the first", lsEditFixedList, VK_PRIOR, tkCtrl, kStrata[0]},
      {"End in a fixed list: the last", lsFixedList, VK_END, 0, kStrata[5]},
      {"End in a free list moves the caret only", lsEditList, VK_END, 0, kStrata[1]},
  };
  for (const TStepCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TClosedComboFixture f(c.Style);
    f.Combo->SetEditValue(String(kStrata[1]));
    f.Key(c.Key, c.Modifiers);
    EXPECT_FALSE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Combo->Text(), c.Text);
    EXPECT_EQ(f.Combo->ModifiedAfterEnter(), c.Text != kStrata[1]);
  }
}

TEST(cxComboBoxClosed, AnInplaceComboBoxLeavesTheKeysToItsContainer) {
  TClosedComboFixture f(lsEditList, true);
  f.Combo->SetEditValue(String(kStrata[1]));
  f.Key(VK_DOWN);
  EXPECT_EQ(f.Combo->Text(), kStrata[1]);
  EXPECT_FALSE(f.Combo->IsModified());
}

TEST(cxComboBoxClosed, AStepPostsAtOnceWithImmediatePost) {
  TClosedComboFixture f;
  f.Combo->SetEditValue(String(kStrata[0]));
  f.Props()->SetImmediatePost(true);
  f.Key(VK_DOWN);
  EXPECT_EQ(f.Combo->Text(), kStrata[1]);
  EXPECT_FALSE(f.Combo->IsModified());  // stored
  EXPECT_EQ(VarToStr(f.Combo->EditValue()), kStrata[1]);
  f.Props()->SetImmediatePost(false);
  f.Key(VK_DOWN);
  EXPECT_TRUE(f.Combo->IsModified());  // waits for the editor to be left
}

}  // namespace
