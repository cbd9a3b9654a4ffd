// The dataset-bound tree list shown in a window: the first screen of a
// table read in code order.
#include <gtest/gtest.h>

#include "editors/cxTextEdit.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/testinput.h"
#include "platform/gui/forms.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "tests/platform/db/dbtestutil.h"
#include "treelist/cxDBTL.h"
#include "treelist/cxTLViewInfo.h"

namespace {

// Cells show their value as text.
class TCellTextProperties : public TcxTextEditProperties {
  KORVANE_CLASS(TCellTextProperties, TcxTextEditProperties)
  using TcxTextEditProperties::TcxTextEditProperties;
  String GetDisplayTextOfValue(const Variant& AValue) const override { return VarToStr(AValue); }
};

// A form with the tree list bound to a five-row table read in code order,
// every node expanded.
struct TShownTree {
  TShownTree()
      : Fixture("CREATE TABLE node (id INTEGER PRIMARY KEY, parent_id INTEGER, code TEXT, name TEXT);"
                "INSERT INTO node VALUES (1, -1, 'z', '元数据'), (2, 1, 'b', '标识信息'), (3, 2, 'a', '引用'),"
                " (4, 1, 'c', '数据质量'), (5, -1, 'y', '分发信息');") {
    EnsureGuiRuntime();
    Fixture.Query->SQL()->SetText(u"SELECT * FROM node ORDER BY code");
    auto* Source = new TDataSource(Fixture.Owner);
    Source->SetDataSet(Fixture.Query);
    Form = new TForm(nullptr);
    Form->SetBounds(50, 50, 400, 300);
    Tree = new TcxDBTreeList(Form);
    Tree->SetBorderStyle(cxcbsNone);
    Tree->SetBounds(0, 0, 360, 200);
    Tree->SetParent(Form);
    for (auto [Field, Caption] : {std::pair{u"name", u"名称"}, std::pair{u"code", u"代码"}}) {
      TcxDBTreeListColumn* Column = Tree->CreateDBColumn(Field);
      Column->SetCaption(Caption);
      Column->SetPropertiesClass(TCellTextProperties::StaticClass());
    }
    Tree->DBDataController()->SetKeyField(u"id");
    Tree->DBDataController()->SetParentField(u"parent_id");
    Tree->DBDataController()->SetDataSource(Source);
    Fixture.Query->Open();
    Tree->ExpandAllNodes();
    Form->Show();
    Tree->SetFocus();
    Application->ProcessMessages();
    Tree->LayoutChanged();
  }
  ~TShownTree() {
    Form->Free();
    Application->ProcessMessages();
  }
  TcxTreeListViewInfo* Layout() const {
    TcxTreeListViewInfo* View = Tree->TreeListViewInfo();
    if (View->IsDirty()) View->Calculate();
    return View;
  }

  TQueryFixture Fixture;
  TForm* Form = nullptr;
  TcxDBTreeList* Tree = nullptr;
};

TEST(DBTreeListView, FirstScreenShowsTheTableAsATree) {
  TShownTree S;
  TcxTreeListViewInfo* View = S.Layout();
  TcxDBTreeList* Tree = S.Tree;
  TBitmap Picture(Tree->ClientWidth(), Tree->ClientHeight(), pf32bit);
  Tree->PaintTo(Picture.Canvas()->Handle(), 0, 0);
  Picture.SaveToFile(u"/tmp/korvane_dbtreelist_view.png");
  // Rows in tree order: the top level in code order, children below their parent.
  std::vector<std::string> Rows;
  for (TcxTreeListNode* N = Tree->Nodes()->Root()->GetFirstChild(); N; N = N->GetNextVisible()) {
    ASSERT_NE(View->RowOfNode(N), nullptr);
    Rows.push_back(StringToUTF8(VarToStr(N->Values(0))));
  }
  EXPECT_EQ(Rows, (std::vector<std::string>{"分发信息", "元数据", "标识信息", "引用", "数据质量"}));
  // The focus is on the dataset's current row, the first by code.
  EXPECT_EQ(Tree->FocusedNode(), Tree->FindNodeByKeyValue(3));
  // Each row's name cell has text drawn in it: dark pixels, or light ones
  // on the focused row's highlight.
  for (TcxTreeListNode* N = Tree->Nodes()->Root()->GetFirstChild(); N; N = N->GetNextVisible()) {
    const TRect R = View->RowOfNode(N)->CellOfColumn(Tree->GetColumn(0))->DisplayRect();
    const bool Highlighted = N == Tree->FocusedNode();
    Integer Text = 0;
    for (Integer Y = R.Top; Y < R.Bottom; ++Y)
      for (Integer X = R.Left; X < R.Right; ++X) {
        const TColor C = Picture.PixelColor(X, Y);
        const bool Dark = (C & 0xFF) < 0x60 && ((C >> 8) & 0xFF) < 0x60 && ((C >> 16) & 0xFF) < 0x60;
        const bool Light = (C & 0xFF) > 0xC0 && ((C >> 8) & 0xFF) > 0xC0 && ((C >> 16) & 0xFF) > 0xC0;
        Text += Highlighted ? Light : Dark;
      }
    EXPECT_GT(Text, 10) << StringToUTF8(VarToStr(N->Values(0)));
  }
}

TEST(DBTreeListView, TypingIntoACellPostsToTheTable) {
  TShownTree S;
  TcxTreeListNode* Node = S.Tree->FindNodeByKeyValue(4);
  S.Tree->Controller()->FocusRecordAndItem(Node->RecordIndex(), S.Tree->GetColumn(0));
  TestKey(VK_F2);
  Application->ProcessMessages();
  ASSERT_TRUE(S.Tree->Controller()->IsEditing());
  TestTypeText(u" v2");
  Application->ProcessMessages();
  TestKey(VK_RETURN);
  Application->ProcessMessages();
  EXPECT_FALSE(S.Tree->Controller()->IsEditing());
  EXPECT_EQ(S.Fixture.Db.Value("SELECT name FROM node WHERE id = 4"), "数据质量 v2");
  EXPECT_EQ(StringToUTF8(VarToStr(S.Tree->FindNodeByKeyValue(4)->Values(0))), "数据质量 v2");
  EXPECT_EQ(S.Fixture.Db.Value("SELECT count(*) FROM node"), "5");
}

TEST(DBTreeListView, TypingANewParentIntoACellMovesTheNode) {
  TShownTree S;
  TcxDBTreeListColumn* Parent = S.Tree->CreateDBColumn(u"parent_id");
  Parent->SetPropertiesClass(TCellTextProperties::StaticClass());
  S.Tree->ExpandAllNodes();
  TcxTreeListNode* Node = S.Tree->FindNodeByKeyValue(3);
  S.Tree->Controller()->FocusRecordAndItem(Node->RecordIndex(), Parent);
  TestKey(VK_F2);
  Application->ProcessMessages();
  ASSERT_TRUE(S.Tree->Controller()->IsEditing());
  TestKey(VK_BACK);
  TestTypeText(u"4");
  Application->ProcessMessages();
  TestKey(VK_RETURN);
  Application->ProcessMessages();
  EXPECT_FALSE(S.Tree->Controller()->IsEditing());
  EXPECT_EQ(S.Fixture.Db.Value("SELECT parent_id FROM node WHERE id = 3"), "4");
  Node = S.Tree->FindNodeByKeyValue(3);
  ASSERT_NE(Node, nullptr);
  EXPECT_EQ(Node->Parent(), S.Tree->FindNodeByKeyValue(4));
  EXPECT_EQ(S.Tree->FocusedNode(), Node);
  EXPECT_TRUE(Node->IsVisible());
  EXPECT_TRUE(S.Tree->FindNodeByKeyValue(1)->Expanded());
  EXPECT_NE(S.Layout()->RowOfNode(Node), nullptr) << "the moved node has a row on the screen";
  // The next edit goes on from the moved node.
  TestKey(VK_F2);
  Application->ProcessMessages();
  EXPECT_TRUE(S.Tree->Controller()->IsEditing());
  TestKey(VK_ESCAPE);
  Application->ProcessMessages();
}

}  // namespace

namespace {

// Drags the node with key AFrom onto the name cell of the node with key
// ATo with the mouse (the drag detection's move is posted by the press).
void DragNodeOnto(TShownTree& S, Integer AFrom, Integer ATo, Cardinal AModifiers) {
  auto Center = [&S](Integer AKey) {
    const TRect R = S.Layout()->RowOfNode(S.Tree->FindNodeByKeyValue(AKey))->CellOfColumn(S.Tree->GetColumn(0))
                        ->DisplayRect();
    return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
  };
  const TPoint From = Center(AFrom);
  const TPoint To = Center(ATo);
  const HWND Handle = S.Tree->Handle();
  S.Tree->SetFocusedNode(S.Tree->FindNodeByKeyValue(AFrom));
  S.Tree->OnMouseDown = TMouseEvent(nullptr, [Handle, From](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    PostMessage(Handle, WM_MOUSEMOVE, MK_LBUTTON, PointToLParam(TPoint{From.X + 20, From.Y + 20}));
  });
  TestMousePress(Handle, From);
  S.Tree->OnMouseDown = TMouseEvent();
  TestMouseMove(Handle, To, AModifiers);
  TestMouseRelease(Handle, To, tbLeft, AModifiers);
  Application->ProcessMessages();
  SetKeyState(VK_CONTROL, false);
}

}  // namespace

// A node dragged onto another's cell becomes its child in the table too; with
// Ctrl (and AutoDragCopy) the dragged rows are copied under it instead.
TEST(DBTreeListView, DraggingANodeWritesItsNewParentOrACopy) {
  TShownTree S;
  S.Tree->SetDragMode(dmAutomatic);
  S.Tree->OptionsBehavior()->SetAutoDragCopy(true);
  // 分发信息 (5) onto 数据质量 (4).
  DragNodeOnto(S, 5, 4, 0);
  EXPECT_EQ(S.Fixture.Db.Value("SELECT parent_id FROM node WHERE id = 5"), "4");
  EXPECT_EQ(S.Tree->FindNodeByKeyValue(5)->Parent(), S.Tree->FindNodeByKeyValue(4));
  // 引用 (3) copied onto 元数据 (1): a new row under 1, the old one stays under 2.
  DragNodeOnto(S, 3, 1, tkCtrl);
  EXPECT_EQ(S.Fixture.Db.Value("SELECT parent_id FROM node WHERE id = 3"), "2");
  EXPECT_EQ(S.Fixture.Db.Value("SELECT count(*) FROM node WHERE name = '引用'"), "2");
  EXPECT_EQ(S.Fixture.Db.Value("SELECT parent_id FROM node WHERE name = '引用' AND id <> 3"), "1");
}

TEST(DBTreeListView, AReloadKeepsTheTopRowAndShowsTheFocusedNode) {
  TShownTree S;
  std::string Rows;
  for (int Id = 10; Id < 70; ++Id) {
    const std::string Key = std::to_string(Id);
    Rows += std::string(Rows.empty() ? "" : ", ") + "(" + Key + ", -1, 'n" + Key + "', 'x')";
  }
  S.Fixture.Connection->Execute(UTF8ToString("INSERT INTO node VALUES " + Rows));
  S.Fixture.Query->Close();
  S.Fixture.Query->Open();
  S.Tree->ExpandAllNodes();
  S.Layout();
  const Integer Rows0 = S.Tree->VisibleRowCount();
  ASSERT_GT(S.Tree->Nodes()->ShownNodeCount(), 20 + Rows0);
  // The dataset's row is the focused node's.
  ASSERT_TRUE(S.Fixture.Query->Locate(u"code", Variant(u"n32"), {}));
  S.Tree->SetTopVisibleIndex(20);
  TcxTreeListNode* Focused = S.Tree->FocusedNode();
  ASSERT_NE(Focused, nullptr);
  ASSERT_EQ(VarToStr(Focused->Values(1)), u"n32");
  ASSERT_EQ(Focused->VisibleIndex(), 22);
  S.Tree->Reload();
  EXPECT_EQ(S.Tree->TopVisibleIndex(), 20);
  ASSERT_NE(S.Tree->FocusedNode(), nullptr);
  EXPECT_EQ(VarToStr(S.Tree->FocusedNode()->Values(1)), u"n32");
  // A focused node below the kept rows is scrolled into view.
  ASSERT_TRUE(S.Fixture.Query->Locate(u"code", Variant(u"a"), {}));
  S.Tree->SetTopVisibleIndex(0);
  S.Tree->Reload();
  ASSERT_NE(S.Tree->FocusedNode(), nullptr);
  EXPECT_EQ(VarToStr(S.Tree->FocusedNode()->Values(1)), u"a");
  EXPECT_NE(S.Layout()->RowOfNode(S.Tree->FocusedNode()), nullptr);
}
