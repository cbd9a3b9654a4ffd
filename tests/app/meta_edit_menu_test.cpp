// The editing window's context menu: inserting what the template offers,
// deleting, moving and expanding.
#include <gtest/gtest.h>

#include <set>

#include "app/meta_edit.h"
#include "platform/gui/testinput.h"
#include "treelist/cxTLViewInfo.h"
#include "tests/app/maintestutil.h"

namespace {

using namespace app_test;

struct TMenuFixture : TMainFixture {
  TMenuFixture() {
    NewThroughToolbar(false);
    W = frm_meta_edit;
    Tree = W->cxDBTreeList1;
    Application->ProcessMessages();
  }
  TcxTreeListNode* Node(const String& Code, Integer Nth = 0) const {
    TcxTreeListNode* found = nullptr;
    for (TcxTreeListNode* n = Tree->Nodes()->Root()->GetFirstChild(); n; n = n->GetNext())
      if (VarToStr(n->Values(3)) == Code && Nth-- == 0) {
        found = n;
        break;
      }
    if (!found) throw std::runtime_error("no element " + U8(Code));
    return found;
  }
  void Focus(TcxTreeListNode* N) {
    N->MakeVisible();
    Tree->SetFocusedNode(N);
    Application->ProcessMessages();
  }
  // Opens the menu over the focused node as a right click does, and
  // closes it again.
  void PopUp() {
    TestQueueModalStep([] { TestKey(VK_ESCAPE); });
    W->pm_oper->Popup(10, 10);
    Application->ProcessMessages();
  }
  std::set<std::string> Offered() const {
    std::set<std::string> codes;
    for (Integer i = 0; i < W->N1->Count(); ++i)
      codes.insert(U8(static_cast<TMyMenuItem*>(W->N1->Items(i))->Code));
    return codes;
  }
  std::set<std::string> Codes(const std::string& Sql) const {
    std::set<std::string> codes;
    sqlite3* db = nullptr;
    sqlite3_open_v2(DbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, Sql.c_str(), -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) codes.insert(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return codes;
  }
  std::string Where() const { return "meta_id='" + Key() + "'"; }
  // Reads the record again after a change behind the window's back.
  void Reload() {
    String error;
    ASSERT_TRUE(dm->LoadRecord(error, dm->CurrentMetaId)) << U8(error);
    W->ExpandAll();
  }

  Tfrm_meta_edit* W = nullptr;
  TcxDBTreeList* Tree = nullptr;
};

// What the template offers under a parent: its repeatable children and
// those not yet present under the parent's row.
std::string OfferSql(const std::string& ParentCode, const std::string& ParentIdSql, const std::string& Where) {
  return "select code from templet where parent_code='" + ParentCode +
         "' and (max_times>1 or code not in (select code from t_metadata where " + Where +
         " and code is not null and parent_id=(" + ParentIdSql + ")))";
}

TEST(ContextMenu, InsertOffersTheInsertableChildrenAndARepeatableTarget) {
  TMenuFixture f;
  struct {
    const char16_t* Focused;
    std::string Target;  // the code whose children are offered
    bool TargetOffered;  // repeatable: a further copy beside it
  } cases[] = {
      {u"010102", "0101", false},   // a leaf: its parent's children
      {u"010103", "010103", true},  // a repeatable branch: itself and its children
  };
  for (auto& c : cases) {
    SCOPED_TRACE(U8(c.Focused));
    f.Focus(f.Node(c.Focused));
    f.PopUp();
    std::set<std::string> expected =
        f.Codes(OfferSql(c.Target, "select id from t_metadata where " + f.Where() + " and code='" + c.Target + "'",
                         f.Where()));
    if (c.TargetOffered) expected.insert(c.Target);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(f.Offered(), expected);
    EXPECT_TRUE(f.W->N1->Enabled());
  }
}

// A top-level leaf has the record's invisible root above it: the menu
// offers the template's top elements.
TEST(ContextMenu, ATopLevelLeafIsOfferedTheTopElements) {
  TMenuFixture f;
  ExecSql(f.DbPath, "update t_metadata set parent_id = (select parent_id from t_metadata where " + f.Where() +
                        " and code = '05') where " + f.Where() + " and code = '0601'");
  f.Reload();
  TcxTreeListNode* leaf = f.Node(u"0601");
  ASSERT_EQ(leaf->Parent(), f.Tree->Nodes()->Root());
  f.Focus(leaf);
  f.PopUp();
  const std::set<std::string> expected = f.Codes(
      "select code from templet where parent_code='' and (max_times>1 or code not in (select code from t_metadata "
      "where " + f.Where() + " and code is not null and parent_id=0))");
  EXPECT_EQ(f.Offered(), expected);
  EXPECT_TRUE(expected.count("01"));  // repeatable
  EXPECT_FALSE(expected.count("05"));  // present and not repeatable
}

// A branch left without children (an import brought none of them) offers
// its own children, so that its mandatory ones can be added; a leaf under
// it still offers its parent's.
TEST(ContextMenu, AnEmptyBranchOffersItsOwnChildren) {
  TMenuFixture f;
  ExecSql(f.DbPath, "delete from t_metadata where " + f.Where() + " and (code like '05_%' or code like '0101_%')");
  f.Reload();
  struct {
    const char16_t* Code;
    const char* Target;
  } cases[] = {{u"05", "05"}, {u"0101", "0101"}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.Target);
    TcxTreeListNode* branch = f.Node(c.Code);
    ASSERT_EQ(branch->Count(), 0);
    f.Focus(branch);
    f.PopUp();
    const std::set<std::string> children =
        f.Codes("select code from templet where parent_code = '" + std::string(c.Target) + "'");
    ASSERT_FALSE(children.empty());
    std::set<std::string> offered = f.Offered();
    offered.erase(c.Target);  // a repeatable branch is offered beside itself
    EXPECT_EQ(offered, children);
    EXPECT_TRUE(f.W->N1->Enabled());
  }
  // A child offered there goes under the branch.
  f.Focus(f.Node(u"05"));
  f.PopUp();
  static_cast<TMyMenuItem*>(f.W->N1->Items(0))->Click();
  Application->ProcessMessages();
  EXPECT_GT(f.Node(u"05")->Count(), 0);
  EXPECT_EQ(f.Tree->FocusedNode()->Parent(), f.Node(u"05"));
}

TEST(ContextMenu, InsertingABranchCopiesItUnderTheTargetAndFocusesIt) {
  TMenuFixture f;
  f.Focus(f.Node(u"010102"));
  f.PopUp();
  const std::string before = f.Count("t_metadata", f.Where() + " and code like '010107%'");
  TMyMenuItem* item = nullptr;
  for (Integer i = 0; i < f.W->N1->Count(); ++i)
    if (static_cast<TMyMenuItem*>(f.W->N1->Items(i))->Code == u"010107") item = static_cast<TMyMenuItem*>(f.W->N1->Items(i));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Caption(), u"引用负责方");
  item->Click();
  Application->ProcessMessages();
  EXPECT_EQ(std::stoi(f.Count("t_metadata", f.Where() + " and code like '010107%'")), 2 * std::stoi(before));
  EXPECT_EQ(VarToStr(f.Tree->FocusedNode()->Values(3)), u"010107");
  EXPECT_EQ(dm->aq_metadata->FieldByName(u"code")->AsString(), u"010107");
  EXPECT_TRUE(f.W->EditIdle());
}

// Deleting the last child of a branch deletes the branch, up to the first
// ancestor with other children.
TEST(ContextMenu, DeleteClimbsSingleChildBranches) {
  TMenuFixture f;
  f.Focus(f.Node(u"01010302"));
  f.W->N2Click(f.W->N2);
  EXPECT_EQ(f.Count("t_metadata", f.Where() + " and code='01010302'"), "0");
  EXPECT_EQ(f.Count("t_metadata", f.Where() + " and code='010103'"), "1");
  f.Focus(f.Node(u"01010301"));
  f.W->N2Click(f.W->N2);
  EXPECT_EQ(f.Count("t_metadata", f.Where() + " and code like '010103%'"), "0");
  EXPECT_EQ(f.Count("t_metadata", f.Where() + " and code='0101'"), "1");
  // The focus goes to the deleted branch's next sibling.
  EXPECT_EQ(VarToStr(f.Tree->FocusedNode()->Values(3)), u"010104");
  EXPECT_TRUE(f.W->EditIdle());
}

// A delete the database refuses deletes nothing of the subtree and is told
// as the other commands tell their failures.
TEST(ContextMenu, ARefusedDeleteIsShownAndDeletesNothing) {
  TMenuFixture f;
  ExecSql(f.DbPath, "CREATE TRIGGER keep BEFORE DELETE ON t_metadata WHEN old.code = '01010302'"
                    " BEGIN SELECT RAISE(ABORT, 'element is locked'); END;");
  const std::string rows = f.Count("t_metadata", f.Where());
  f.Focus(f.Node(u"010103"));
  f.W->N2Click(f.W->N2);
  Application->ProcessMessages();
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_EQ(U8(f.Script.Boxes[0].Text).rfind("删除失败,错误信息：", 0), 0u) << U8(f.Script.Boxes[0].Text);
  EXPECT_NE(U8(f.Script.Boxes[0].Text).find("element is locked"), std::string::npos);
  EXPECT_EQ(f.Script.Boxes[0].Flags, Cardinal(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(f.Count("t_metadata", f.Where()), rows);
  EXPECT_EQ(f.Node(u"010103")->Count(), 2);
  EXPECT_TRUE(f.W->EditIdle());
}

// Ctrl+Delete in the tree, and in an editor open in it, asks in Chinese
// and then deletes as 删除 does: the branch left without children goes
// too. Declined, nothing changes.
TEST(ContextMenu, CtrlDeleteAsksAndDeletesAsTheMenuDoes) {
  enum TWhere { InTheTree, InAnOpenEditor };
  for (TWhere where : {InTheTree, InAnOpenEditor}) {
    SCOPED_TRACE(where);
    TMenuFixture f;
    f.Focus(f.Node(u"01010301"));
    f.W->N2Click(f.W->N2);  // 010103 keeps one child: 01010302
    f.Focus(f.Node(u"01010302"));
    f.Tree->SetFocus();
    if (where == InAnOpenEditor) {
      f.W->cxDBTreeList1cxDBTreeListColumn6->SetItemFocused(true);
      f.Tree->EditingController()->ActivateCellEditor(f.W->cxDBTreeList1cxDBTreeListColumn6);
      Application->ProcessMessages();
      ASSERT_TRUE(f.Tree->EditingController()->IsEditing());
    }
    for (Integer answer : {IDNO, IDYES}) {
      f.Script.Answers = {answer};
      TestKey(VK_DELETE, u"", tkCtrl);
      Application->ProcessMessages();
      ASSERT_FALSE(f.Script.Boxes.empty());
      EXPECT_EQ(f.Script.Boxes.back().Text, DeleteKeyConfirmation);
      EXPECT_EQ(f.Script.Boxes.back().Caption, DeleteKeyConfirmationCaption);
      EXPECT_EQ(f.Script.Boxes.back().Flags, Cardinal(MB_YESNO | MB_ICONQUESTION));
      const std::string left = answer == IDYES ? "0" : "1";
      EXPECT_EQ(f.Count("t_metadata", f.Where() + " and code='01010302'"), left);
      EXPECT_EQ(f.Count("t_metadata", f.Where() + " and code='010103'"), left);
    }
    EXPECT_EQ(f.Script.Boxes.size(), 2u);
    EXPECT_EQ(VarToStr(f.Tree->FocusedNode()->Values(3)), u"010104");
    EXPECT_TRUE(f.W->EditIdle());
  }
}

struct TMoveFixture : TMenuFixture {
  // Two copies of the repeatable leaf 致谢 (0104) holding 甲 and 乙.
  TMoveFixture() {
    ExecSql(DbPath, "insert into t_metadata (meta_id,id,code,cname,ename,content,parent_id,parent_code,max_times,"
                    "isEnd,tag) select meta_id,(select max(id)+1 from t_metadata),code,cname,ename,'乙',parent_id,"
                    "parent_code,max_times,isEnd,tag from t_metadata where " + Where() + " and code='0104'");
    ExecSql(DbPath, "update t_metadata set content='甲' where " + Where() +
                        " and code='0104' and id=(select min(id) from t_metadata where " + Where() +
                        " and code='0104')");
    Reload();
  }
  std::string ContentOf(Integer Nth) {
    return One("select content from t_metadata where " + Where() + " and code='0104' order by id limit 1 offset " +
               std::to_string(Nth));
  }
};

TEST(ContextMenu, MovingSwapsLeafContentsAndTheFocusFollows) {
  TMoveFixture f;
  f.Focus(f.Node(u"0104", 1));
  f.PopUp();
  EXPECT_TRUE(f.W->N9->Enabled());
  EXPECT_FALSE(f.W->N10->Enabled());
  f.W->N9Click(f.W->N9);
  EXPECT_EQ(f.ContentOf(0), "乙");
  EXPECT_EQ(f.ContentOf(1), "甲");
  EXPECT_EQ(f.Tree->FocusedNode(), f.Node(u"0104", 0));
  f.PopUp();
  EXPECT_FALSE(f.W->N9->Enabled());
  EXPECT_TRUE(f.W->N10->Enabled());
  EXPECT_TRUE(f.W->EditIdle());
}

TEST(ContextMenu, AFailedMoveLeavesTheRecordAsItWas) {
  TMoveFixture f;
  // The second of the two writes is refused.
  ExecSql(f.DbPath, "create trigger refuse before update of content on t_metadata when new.content='甲' "
                    "begin select raise(abort, 'locked'); end");
  f.Script.Boxes.clear();
  f.Focus(f.Node(u"0104", 1));
  f.W->N9Click(f.W->N9);
  EXPECT_EQ(f.ContentOf(0), "甲");
  EXPECT_EQ(f.ContentOf(1), "乙");
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_EQ(f.Script.Boxes[0].Caption, u"移动位置");
  EXPECT_NE(f.Script.Boxes[0].Text.find(u"locked"), String::npos) << U8(f.Script.Boxes[0].Text);
  EXPECT_EQ(f.Tree->FocusedNode(), f.Node(u"0104", 1));
  // The window shows the record as it is.
  EXPECT_EQ(VarToStr(f.Node(u"0104", 0)->Values(2)), u"甲");
  EXPECT_EQ(VarToStr(f.Node(u"0104", 1)->Values(2)), u"乙");
}

TEST(ContextMenu, BranchesSwapTheirChildrenAndABranchNeverSwapsWithALeaf) {
  TMenuFixture f;
  // A second 引用日期 (010103) with its own date.
  f.Focus(f.Node(u"010103"));
  f.PopUp();
  for (Integer i = 0; i < f.W->N1->Count(); ++i)
    if (static_cast<TMyMenuItem*>(f.W->N1->Items(i))->Code == u"010103") f.W->N1->Items(i)->Click();
  ASSERT_EQ(f.Count("t_metadata", f.Where() + " and code='010103'"), "2");
  const Integer upperChild = f.Node(u"01010301", 0)->Values(0).AsInteger();
  const Integer lowerChild = f.Node(u"01010301", 1)->Values(0).AsInteger();
  f.Focus(f.Node(u"010103", 1));
  f.W->N9Click(f.W->N9);
  // The upper branch now holds the lower one's children, and has the focus.
  EXPECT_EQ(f.Node(u"01010301", 0)->Values(0).AsInteger(), lowerChild);
  EXPECT_EQ(f.Node(u"01010301", 1)->Values(0).AsInteger(), upperChild);
  EXPECT_EQ(f.Tree->FocusedNode(), f.Node(u"010103", 0));

  String text;
  EXPECT_FALSE(f.W->SwapSiblings(text, f.Node(u"010103", 0), f.Node(u"010104")));
  EXPECT_EQ(text, BranchLeafSwapRefusal);
}

TEST(ContextMenu, ItOpensByItselfOnlyOverTheNameColumnAndExpandsAndCollapses) {
  TMenuFixture f;
  f.Tree->Controller()->ChangeFocusedItem(f.W->cxDBTreeList1cxDBTreeListColumn6);
  EXPECT_FALSE(f.W->pm_oper->AutoPopup());
  f.Tree->Controller()->ChangeFocusedItem(f.W->cxDBTreeList1cxDBTreeListColumn2);
  EXPECT_TRUE(f.W->pm_oper->AutoPopup());
  f.Tree->Controller()->ChangeFocusedItem(f.W->cxDBTreeList1cxDBTreeListColumn6);
  EXPECT_FALSE(f.W->pm_oper->AutoPopup());

  TcxTreeListNode* branch = f.Node(u"0101");
  f.Focus(branch);
  f.W->N4Click(f.W->N4);
  EXPECT_FALSE(branch->Expanded());
  f.W->N3Click(f.W->N3);
  EXPECT_TRUE(branch->Expanded());
  EXPECT_TRUE(f.Node(u"010103")->Expanded());
  f.W->N7Click(f.W->N7);
  EXPECT_FALSE(f.Tree->Nodes()->Root()->GetFirstChild()->Expanded());
  f.W->N6Click(f.W->N6);
  EXPECT_TRUE(f.Node(u"010103")->Expanded());
}

TEST(ContextMenu, ARightClickOnTheNameShowsTheMenuAndTheChoiceActsBeforeItReturns) {
  TMenuFixture f;
  TcxTreeListNode* branch = f.Node(u"010103");
  f.Focus(branch);
  f.Tree->SetFocus();
  f.Tree->Controller()->ChangeFocusedItem(f.W->cxDBTreeList1cxDBTreeListColumn2);
  ASSERT_TRUE(branch->Expanded());
  auto rightClickName = [&] {
    TcxTreeListViewInfo* view = f.Tree->TreeListViewInfo();
    if (view->IsDirty()) view->Calculate();
    TcxTreeListNodeViewInfo* row = view->RowOfNode(branch);
    ASSERT_NE(row, nullptr);
    const TRect cell = row->CellOfColumn(f.W->cxDBTreeList1cxDBTreeListColumn2)->DisplayRect();
    TestClick(f.Tree->Handle(), TPoint{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2}, tbRight);
  };
  // By keyboard: 插入, 删除, 展开, 折叠 (the separator is skipped), Enter.
  TestQueueModalStep([] {
    for (Integer i = 0; i < 4; ++i) TestKey(VK_DOWN);
    TestKey(VK_RETURN, u"\r");
  });
  rightClickName();
  EXPECT_EQ(TestPendingModalSteps(), 0);
  EXPECT_FALSE(branch->Expanded());
  // By mouse: 展开.
  TestQueueModalStep([&] {
    TWinControl* menu = OpenMenuWindow();
    ASSERT_NE(menu, nullptr);
    const TRect item = MenuWindowItemRect(menu, f.W->N3);
    TestClick(menu->Handle(), TPoint{item.Left + 10, (item.Top + item.Bottom) / 2});
  });
  rightClickName();
  EXPECT_EQ(TestPendingModalSteps(), 0);
  EXPECT_TRUE(branch->Expanded());
  EXPECT_EQ(OpenMenuWindow(), nullptr);
}

TEST(ContextMenu, PictureOfTheMenuWithItsInsertList) {
  TMenuFixture f;
  TcxTreeListNode* leaf = f.Node(u"01010302");
  f.Focus(leaf);
  TestQueueModalStep([&] {
    TWinControl* menu = OpenMenuWindow();
    ASSERT_NE(menu, nullptr);
    // Hovering "插入" opens the elements the leaf's branch may take.
    const TRect insert = MenuWindowItemRect(menu, f.W->N1);
    TestMouseMove(menu->Handle(), TPoint{insert.Left + 5, (insert.Top + insert.Bottom) / 2});
    Application->ProcessMessages();
    TWinControl* sub = OpenMenuWindow();
    ASSERT_NE(sub, nullptr);
    ASSERT_NE(sub, menu);
    std::vector<String> offered;
    for (TMenuItem* i : MenuWindowItems(sub)) offered.push_back(i->Caption());
    ASSERT_FALSE(offered.empty());

    f.Main->SetBounds(0, 0, 800, 600);
    auto picture = std::make_unique<TBitmap>(800, 600, pf24bit);
    f.Main->PaintTo(picture->Canvas(), 0, 0);
    const Integer clientTop = f.Main->CoolBar1->Top() + f.Main->CoolBar1->Height();
    f.W->PaintTo(picture->Canvas(), 0, clientTop);
    const TPoint origin = f.Main->ClientToScreen(TPoint{0, 0});
    for (TWinControl* m : {menu, sub}) {
      const TPoint at = m->ClientToScreen(TPoint{0, 0});
      m->PaintTo(picture->Canvas(), at.X - origin.X, at.Y - origin.Y);
    }
    picture->SaveToFile(u"/tmp/korvane_context_menu.png");

    // Both menus are drawn with text on them, the insert list beside the menu.
    for (TWinControl* m : {menu, sub}) {
      const TPoint at = m->ClientToScreen(TPoint{0, 0});
      const TRect r{at.X - origin.X + 2, at.Y - origin.Y + 2, at.X - origin.X + m->Width() - 2,
                    at.Y - origin.Y + m->Height() - 2};
      EXPECT_GT(CountNot(*picture, r, clMenu), 50);
    }
    EXPECT_GE(sub->ClientToScreen(TPoint{0, 0}).X, menu->ClientToScreen(TPoint{0, 0}).X + menu->Width() - 4);
    CloseMenus();
  });
  f.W->pm_oper->Popup(200, 200);
  EXPECT_EQ(TestPendingModalSteps(), 0);
  Application->ProcessMessages();
}

}  // namespace
