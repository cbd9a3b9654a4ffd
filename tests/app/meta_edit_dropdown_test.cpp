// The editing window's code-list drop-down and the edit buttons of its cells.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/meta_edit.h"
#include "editors/cxDBLookupComboBox.h"
#include "editors/cxLookupGrid.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/testinput.h"
#include "treelist/cxTLViewInfo.h"
#include "tests/app/maintestutil.h"

namespace {

using namespace app_test;

// The date-type element: a code list of three codes, the row below a date.
constexpr const char16_t* kDateTypeCode = u"01010302";

struct TDropDownFixture : ::testing::Test {
  TMainFixture F;
  Tfrm_meta_edit* W = nullptr;
  TcxDBTreeList* Tree = nullptr;

  void SetUp() override {
    F.NewThroughToolbar(false);
    W = frm_meta_edit;
    Tree = W->cxDBTreeList1;
    const Integer code = W->cxDBTreeList1cxDBTreeListColumn3->ItemIndex();
    TcxTreeListNode* node = Tree->FindNode(
        [&](TcxTreeListNode* N) { return N->Values(code).AsString() == kDateTypeCode; }, nullptr, true, false);
    ASSERT_NE(node, nullptr);
    node->MakeVisible();
    Tree->SetFocusedNode(node);
    Tree->SetFocus();
    Application->ProcessMessages();
  }
};

TEST_F(TDropDownFixture, CodeListOpensBelowTheCellWithAllItsRows) {
  Tree->EditingController()->ActivateCellEditor(W->cxDBTreeList1cxDBTreeListColumn6);
  Application->ProcessMessages();
  auto* editor = dynamic_cast<TcxCustomLookupComboBox*>(Tree->EditingController()->Edit());
  ASSERT_NE(editor, nullptr);
  TestKey(VK_F4);
  Application->ProcessMessages();
  ASSERT_TRUE(editor->HasOpenPopup());

  TWinControl* popup = editor->PopupWindow();
  const TPoint cell = editor->ClientToScreen(TPoint{0, 0});
  const TPoint at = popup->ClientToScreen(TPoint{0, 0});
  const TRect work = MonitorWorkAreaAt(cell);
  // The editor fills the cell of the content column.
  TcxTreeListNodeViewInfo* row = Tree->TreeListViewInfo()->RowOfNode(Tree->FocusedNode());
  ASSERT_NE(row, nullptr);
  const TRect edit = row->CellOfColumn(W->cxDBTreeList1cxDBTreeListColumn6)->EditRect();
  EXPECT_EQ(cell, Tree->ClientToScreen(TPoint{edit.Left, edit.Top}));
  // Right below the cell and at its left edge: narrow enough that nothing
  // pushes it left or above, and inside the window and the work area.
  EXPECT_EQ(at.Y, cell.Y + editor->Height());
  EXPECT_EQ(at.X, cell.X);
  const Integer windowRight = F.Main->ClientToScreen(TPoint{F.Main->ClientWidth(), 0}).X;
  EXPECT_LE(at.X + popup->Width(), std::min(windowRight, Integer(work.Right)));
  EXPECT_LE(at.Y + popup->Height(), work.Bottom);
  // Tall enough for every row it has (three codes, fewer than DropDownRows).
  auto* list = dynamic_cast<TcxCustomLookupGrid*>(editor->ActiveComboBoxProperties()->GetListControl());
  ASSERT_NE(list, nullptr);
  const Integer rows = std::min(list->RowCount(), editor->ActiveComboBoxProperties()->DropDownRows());
  EXPECT_EQ(rows, 3);
  EXPECT_GE(list->ClientHeight(), list->GetHeightForRows(rows));
  TestKey(VK_ESCAPE);
  Application->ProcessMessages();
}

// A code that the list lacks (a file of another tool wrote "creation"
// where the list has "001") shows as itself in the cell and in the
// drop-down's text, and opening and leaving the editor keeps it; a code of
// the list shows its name.
TEST_F(TDropDownFixture, ACodeTheListLacksShowsAsItself) {
  struct {
    const char* Stored;
    const char* Shown;  // nullptr: the code's name
  } cases[] = {{"creation", "creation"}, {"zho", "zho"}, {"001", nullptr}};
  const std::string where = " where meta_id = '" + F.Key() + "' and code = '01010302'";
  const Integer code = W->cxDBTreeList1cxDBTreeListColumn3->ItemIndex();
  for (auto& c : cases) {
    SCOPED_TRACE(c.Stored);
    ExecSql(F.DbPath, std::string("update t_metadata set content = '") + c.Stored + "'" + where);
    String error;
    W->SetTreeDataSource(nullptr);
    ASSERT_TRUE(dm->LoadRecord(error, dm->CurrentMetaId));
    W->SetTreeDataSource(dm->ds_metadata);
    W->ExpandAll();
    TcxTreeListNode* node = Tree->FindNode(
        [&](TcxTreeListNode* N) { return N->Values(code).AsString() == kDateTypeCode; }, nullptr, true, false);
    ASSERT_NE(node, nullptr);
    node->MakeVisible();
    Tree->SetFocusedNode(node);
    Tree->LayoutChanged();
    Application->ProcessMessages();
    const std::string shown = c.Shown ? c.Shown : F.One("select cname from CI_DateTypeCode where code = '001'");
    TcxTreeListEditCellViewInfo* cell =
        Tree->TreeListViewInfo()->RowOfNode(node)->CellOfColumn(W->cxDBTreeList1cxDBTreeListColumn6);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(U8(cell->GetDisplayText()), shown);
    Tree->EditingController()->ActivateCellEditor(W->cxDBTreeList1cxDBTreeListColumn6);
    Application->ProcessMessages();
    auto* editor = dynamic_cast<TcxCustomLookupComboBox*>(Tree->EditingController()->Edit());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(U8(editor->Text()), shown);
    // Leaving the editor and the row keeps the stored code.
    TestKey(VK_RETURN);
    Application->ProcessMessages();
    Tree->SetFocusedNode(node->GetNext());
    Application->ProcessMessages();
    EXPECT_EQ(F.One("select content from t_metadata" + where), c.Stored);
  }
}

TEST_F(TDropDownFixture, EveryCodeListIsNoWiderThanTheContentCell) {
  // The code column is fixed; the names column takes what the cell leaves.
  const Integer cellWidth = W->cxDBTreeList1cxDBTreeListColumn6->Width();
  Integer lists = 0;
  for (Integer i = 0; i < W->cxEditRepository1->Count(); ++i) {
    auto* lookup = dynamic_cast<TcxLookupComboBoxProperties*>(W->cxEditRepository1->Items(i)->Properties());
    if (!lookup) continue;
    ++lists;
    SCOPED_TRACE(StringToUTF8(W->cxEditRepository1->Items(i)->Name()));
    ASSERT_EQ(lookup->ListColumns()->Count(), 2);
    EXPECT_TRUE(lookup->ListColumns()->Items(0)->Fixed());
    EXPECT_LE(lookup->GetListPreferredWidth() + GetSystemMetrics(SM_CXVSCROLL), cellWidth);
  }
  EXPECT_EQ(lists, 21);
}

TEST_F(TDropDownFixture, EditButtonsShowOnlyInTheFocusedCell) {
  W->cxDBTreeList1cxDBTreeListColumn6->SetItemFocused(true);
  Application->ProcessMessages();
  TcxTreeListViewInfo* info = Tree->TreeListViewInfo();
  ASSERT_NE(info, nullptr);
  Integer withButtons = 0, withoutButtons = 0;
  for (Integer i = 0; i < info->RowCount(); ++i) {
    TcxTreeListNodeViewInfo* row = info->Rows(i);
    TcxTreeListEditCellViewInfo* cell = row->CellOfColumn(W->cxDBTreeList1cxDBTreeListColumn6);
    if (!cell || !cell->EditViewInfo()) continue;
    SCOPED_TRACE(i);
    const bool focused = row->Node == Tree->FocusedNode();
    // The focused code-list cell has its drop-down button; no other row has one.
    if (focused) EXPECT_GT(cell->EditViewInfo()->ButtonCount(), 0);
    else EXPECT_EQ(cell->EditViewInfo()->ButtonCount(), 0);
    (cell->EditViewInfo()->ButtonCount() > 0 ? withButtons : withoutButtons)++;
  }
  EXPECT_EQ(withButtons, 1);
  EXPECT_GT(withoutButtons, 3);
}

}  // namespace
