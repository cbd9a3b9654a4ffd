// The editing window's tree of elements over the open record.
#include <gtest/gtest.h>

#include "app/meta_edit.h"
#include "treelist/cxTLViewInfo.h"
#include "tests/app/maintestutil.h"

namespace {

using namespace app_test;

TcxTreeListDataNode* NodeOfCode(const String& Code) {
  TcxDBTreeList* tree = frm_meta_edit->cxDBTreeList1;
  const Integer code = frm_meta_edit->cxDBTreeList1cxDBTreeListColumn3->ItemIndex();
  auto* node = tree->FindNode([&](TcxTreeListNode* N) { return N->Values(code).AsString() == Code; }, nullptr, true,
                              false);
  return dynamic_cast<TcxTreeListDataNode*>(node);
}

TEST(RecordTree, ShowsEveryRowOfTheRecordUnderItsParentWithTheShownColumns) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  Tfrm_meta_edit* w = frm_meta_edit;
  TcxDBTreeList* tree = w->cxDBTreeList1;
  EXPECT_EQ(w->TreeDataSource(), dm->ds_metadata);
  EXPECT_EQ(tree->AbsoluteNodeCount(), std::stoi(f.Count("t_metadata", "meta_id='" + f.Key() + "'")));
  // Top-level rows are those whose parent_id names no row; every other
  // node's parent is the node of its parent_id.
  const Integer id = w->cxDBTreeList1cxDBTreeListColumn1->ItemIndex();
  const Integer parent = w->cxDBTreeList1cxDBTreeListColumn5->ItemIndex();
  Integer checked = 0;
  for (TcxTreeListNode* n = tree->Nodes()->Root()->GetFirstChild(); n; n = n->GetNext(), ++checked) {
    if (n->Parent() == tree->Nodes()->Root()) {
      ASSERT_EQ(tree->FindNodeByKeyValue(n->Values(parent)), nullptr);
    } else {
      ASSERT_EQ(n->Values(parent).AsInteger(), n->Parent()->Values(id).AsInteger());
    }
  }
  EXPECT_EQ(checked, tree->AbsoluteNodeCount());
  // Item indexes follow the design order; three columns show.
  const TcxDBTreeListColumn* columns[] = {
      w->cxDBTreeList1cxDBTreeListColumn1, w->cxDBTreeList1cxDBTreeListColumn2, w->cxDBTreeList1cxDBTreeListColumn6,
      w->cxDBTreeList1cxDBTreeListColumn3, w->cxDBTreeList1cxDBTreeListColumn4, w->cxDBTreeList1cxDBTreeListColumn5,
      w->cxDBTreeList1cxDBTreeListColumn7, w->cxDBTreeList1cxDBTreeListColumn8, w->cxDBTreeList1cxDBTreeListColumn9,
      w->cxDBTreeList1cxDBTreeListColumn10};
  for (Integer i = 0; i < 10; ++i) EXPECT_EQ(columns[i]->ItemIndex(), i);
  const std::vector<TcxTreeListColumn*> shown = tree->VisibleColumns();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0]->Caption(), u"名称");
  EXPECT_EQ(shown[1]->Caption(), u"内容");
  EXPECT_EQ(shown[2]->Caption(), u"相对可选性");
  EXPECT_TRUE(shown[1]->Options()->Editing());
  EXPECT_FALSE(shown[0]->Options()->Editing());
  EXPECT_FALSE(shown[2]->Options()->Focusing);
}

TEST(RecordTree, EveryRowIsTwentyPixelsHigh) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  TcxDBTreeList* tree = frm_meta_edit->cxDBTreeList1;
  constexpr Integer height = 20;
  EXPECT_EQ(tree->DefaultRowHeight(), height);
  TcxTreeListViewInfo* info = tree->TreeListViewInfo();
  if (info->IsDirty()) info->Calculate();
  ASSERT_GT(info->FullRowCount(), 10);
  for (Integer i = 0; i < info->FullRowCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(info->Rows(i)->RowTop, info->NodesAreaRect().Top + i * height);
    EXPECT_EQ(info->Rows(i)->RowHeight, height);
  }
}

TEST(RecordTree, ExpandAllOpensEveryBranch) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  TcxDBTreeList* tree = frm_meta_edit->cxDBTreeList1;
  tree->CollapseAllNodes();
  frm_meta_edit->ExpandAll();
  for (TcxTreeListNode* n = tree->Nodes()->Root()->GetFirstChild(); n; n = n->GetNext())
    if (n->Count() > 0) {
      ASSERT_TRUE(n->Expanded());
    }
}

// Focusing a node moves the record query to its row (and the description
// pane follows); moving the record query focuses the row's node.
TEST(RecordTree, TheFocusAndTheRecordQueryFollowEachOther) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  Tfrm_meta_edit* w = frm_meta_edit;
  TcxTreeListDataNode* title = NodeOfCode(TitleElementCode);
  ASSERT_NE(title, nullptr);
  w->m_descr->Clear();
  w->cxDBTreeList1->SetFocusedNode(title);
  ASSERT_EQ(w->cxDBTreeList1->FocusedNode(), title);
  EXPECT_EQ(dm->aq_metadata->FieldByName(u"id")->Value().AsInteger(), title->KeyValue().AsInteger());
  ASSERT_EQ(w->m_descr->Lines()->Count(), 2);
  EXPECT_EQ(w->m_descr->Lines()->Strings(0), u"节点定义：" + dm->aq_moreINfo->FieldByName(u"descr")->AsString());

  dm->aq_metadata->First();
  auto* focused = dynamic_cast<TcxTreeListDataNode*>(w->cxDBTreeList1->FocusedNode());
  ASSERT_NE(focused, nullptr);
  EXPECT_EQ(focused->KeyValue().AsInteger(), dm->aq_metadata->FieldByName(u"id")->Value().AsInteger());
}

}  // namespace
