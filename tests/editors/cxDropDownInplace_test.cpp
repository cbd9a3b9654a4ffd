// An in-place drop-down editor: the popup size a user left is kept per cell
// (in the edit data) and comes back when that cell's editor is activated
// again; ImmediatePopup opens the popup on activation, once also when the
// activating click lands on the drop-down button.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "../platform/gui/guitestutil.h"
#include "editors/cxDropDownEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"

namespace {

struct TInplaceComboFixture : TTestForm {
  TInplaceComboFixture() : TTestForm(420, 320) {
    Combo = Place<TcxComboBox>(20, 20, 180, 24, true);
    for (const char16_t* item : {u"第四系", u"新近系", u"古近系"}) Props()->Items()->Add(item);
    Props()->OnPopup = TNotifyEvent(this, [this](TObject*) { ++Popups; });
    Props()->OnInitPopup = TNotifyEvent(this, [this](TObject*) { ++InitPopups; });
    ShowForm();
  }
  TcxCustomComboBoxProperties* Props() { return static_cast<TcxCustomComboBoxProperties*>(Combo->Properties()); }
  TcxCustomEditPopupWindow* Popup() { return Combo->PopupWindow(); }
  void Activate(std::unique_ptr<TcxCustomEditData>& AData) {
    TcxCustomEditData* data = AData.release();
    Combo->ActivateInplace(data);
    AData.reset(data);
    Application->ProcessMessages();
  }

  // Drags the grip by (DX, DY).
  void DragGrip(Integer DX, Integer DY) {
    const TRect g = Popup()->GetViewInfo()->SizeGripRect;
    const TPoint grip{(g.Left + g.Right) / 2, (g.Top + g.Bottom) / 2};
    HWND wnd = Popup()->Handle();
    TestMousePress(wnd, grip);
    TestMouseMove(wnd, TPoint{grip.X + DX, grip.Y + DY});
    TestMouseRelease(wnd, TPoint{grip.X + DX, grip.Y + DY});
    Application->ProcessMessages();
  }
  TcxComboBox* Combo;

  Integer Popups = 0;
  Integer InitPopups = 0;
};

TEST(cxDropDownEditInplace, TheSizeTheUserLeftIsKeptPerCell) {
  TInplaceComboFixture f;
  f.Props()->SetPopupAutoSize(false);
  f.Props()->SetPopupSizeable(true);
  f.Props()->SetPopupSysPanelStyle(true);
  f.Props()->SetPopupWidth(200);
  f.Props()->SetPopupHeight(150);
  std::unique_ptr<TcxCustomEditData> first, second;

  f.Activate(first);
  f.Key(VK_F4);
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  f.DragGrip(40, 30);
  // The list keeps whole rows, so the height may stop short of the mouse.
  const TSize resized{f.Popup()->Width(), f.Popup()->Height()};
  ASSERT_EQ(resized.cx, 240);
  ASSERT_GT(resized.cy, 150);
  ASSERT_LE(resized.cy, 180);
  f.Key(VK_ESCAPE);
  auto* kept = dynamic_cast<TcxCustomDropDownEditData*>(first.get());
  ASSERT_NE(kept, nullptr);
  EXPECT_TRUE(kept->SizeChanged);
  EXPECT_EQ(kept->Width, resized.cx);
  EXPECT_EQ(kept->Height, resized.cy);
  // The column's settings stay as they were.
  EXPECT_EQ(f.Props()->PopupWidth(), 200);

  struct TStep {
    const char* Name;
    std::unique_ptr<TcxCustomEditData>* Data;
    TSize Size;
  };
  const TStep steps[] = {
      {"another cell: the column's size", &second, {200, 150}},
      {"the resized cell again: its own size", &first, resized},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Name);
    f.Activate(*s.Data);
    f.Key(VK_F4);
    ASSERT_TRUE(f.Combo->HasOpenPopup());
    EXPECT_EQ(f.Popup()->Width(), s.Size.cx);
    EXPECT_EQ(f.Popup()->Height(), s.Size.cy);
    f.Key(VK_ESCAPE);
  }

  // Not sizeable any more: the kept size no longer applies.
  f.Props()->SetPopupSizeable(false);
  f.Activate(first);
  f.Key(VK_F4);
  ASSERT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.Popup()->Width(), 200);
}

TEST(cxDropDownEditInplace, ImmediatePopupOpensOnActivationOnce) {
  TInplaceComboFixture f;
  std::unique_ptr<TcxCustomEditData> data;
  f.Activate(data);
  EXPECT_FALSE(f.Combo->HasOpenPopup());  // off by default
  f.Props()->SetImmediatePopup(true);
  f.Combo->SetFocus();
  f.Combo->Hide();

  // Activated by a click on the drop-down button: the activation and the
  // click ask for one popup.
  const TRect button = f.Combo->GetViewInfo()->Button(0)->Bounds;
  const TPoint at{f.Combo->Left() + (button.Left + button.Right) / 2, f.Combo->Top() + (button.Top + button.Bottom) / 2};
  TcxCustomEditData* raw = data.release();
  f.Combo->ActivateByMouse(ssLeft, at.X, at.Y, raw);
  data.reset(raw);
  Application->ProcessMessages();
  EXPECT_TRUE(f.Combo->HasOpenPopup());
  EXPECT_EQ(f.InitPopups, 1);
  EXPECT_EQ(f.Popups, 1);
}

}  // namespace

TEST(cxDropDownEditInplace, AnOpenPopupKeepsEveryKeyButATypedCharacter) {
  struct TCase {
    const char* Name;
    Word Key;
    TShiftState Shift;
    bool Inplace;
    bool Open;
    bool EditorKey;
  };
  const TCase cases[] = {
      {"Down, open", VK_DOWN, 0, true, true, true},
      {"Page Down, open", VK_NEXT, 0, true, true, true},
      {"F2, open", VK_F2, 0, true, true, true},
      {"Insert, open", VK_INSERT, 0, true, true, true},
      {"a letter, open", 'K', 0, true, true, false},
      {"a capital letter, open", 'K', ssShift, true, true, false},
      {"a digit on the pad, open", VK_NUMPAD3, 0, true, true, false},
      {"the space bar, open", VK_SPACE, 0, true, true, false},
      {"a punctuation key, open", VK_OEM_COMMA, 0, true, true, false},
      {"Ctrl+letter, open", 'K', ssCtrl, true, true, true},
      {"Alt+digit, open", '1', ssAlt, true, true, true},
      {"Down, closed", VK_DOWN, 0, true, false, false},
      {"Down, stand-alone and open", VK_DOWN, 0, false, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestForm f(420, 320);
    auto* combo = f.Place<TcxComboBox>(20, 20, 180, 24, c.Inplace);
    static_cast<TcxCustomComboBoxProperties*>(combo->Properties())->Items()->Add(u"第四系");
    f.ShowForm();
    TcxCustomEditData* data = nullptr;
    if (c.Inplace) combo->ActivateInplace(data);
    std::unique_ptr<TcxCustomEditData> owned(data);
    f.Focus(combo);
    if (c.Open) {
      f.Key(VK_F4);
      ASSERT_TRUE(combo->HasOpenPopup());
    }
    EXPECT_EQ(combo->IsEditorKey(c.Key, c.Shift), c.EditorKey);
  }
}

TEST(cxDropDownEditInplace, OnlyKeysTheEditorLeavesOverAreToldAfterKeyDown) {
  struct TCase {
    const char* Name;
    bool Open;
    Word Key;
    std::vector<Word> Told;
    Integer ListIndex;  // the open list's row afterwards (-1: closed)
  };
  const TCase cases[] = {
      {"closed: Down is left over", false, VK_DOWN, {VK_DOWN}, -1},
      {"closed: Page Up is left over", false, VK_PRIOR, {VK_PRIOR}, -1},
      {"closed: Left moves the caret", false, VK_LEFT, {}, -1},
      {"closed: Home moves the caret", false, VK_HOME, {}, -1},
      {"open: Down moves the list", true, VK_DOWN, {}, 1},
      {"open: Page Down moves the list", true, VK_NEXT, {}, 2},
      {"open: Insert stays with the editor", true, VK_INSERT, {}, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TInplaceComboFixture f;
    std::unique_ptr<TcxCustomEditData> data;
    f.Combo->SetEditValue(String(u"第四系"));
    f.Activate(data);
    f.Focus(f.Combo);
    std::vector<Word> told;
    f.Combo->OnAfterKeyDown = TKeyEvent(f.Form, [&](TObject* Sender, Word& Key, TShiftState) {
      EXPECT_EQ(Sender, f.Combo);
      told.push_back(Key);
    });
    if (c.Open) {
      f.Key(VK_F4);
      ASSERT_TRUE(f.Combo->HasOpenPopup());
    }
    f.Key(c.Key);
    EXPECT_EQ(told, c.Told);
    EXPECT_EQ(f.Combo->HasOpenPopup() ? f.Combo->ListBox()->ItemIndex() : -1, c.ListIndex);
    EXPECT_EQ(f.Combo->Text(), u"第四系") << "in place and closed the keys step no item";
    f.Combo->OnAfterKeyDown = TKeyEvent();
  }
}
