// The data grid over a SQLite-backed query: edits reach the table.
#include <gtest/gtest.h>

#include "platform/gui/dbgrids.h"
#include "platform/gui/menus.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/platform/db/dbtestutil.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

const char* Schema = R"(
CREATE TABLE meta (meta_id text(50), meta_name text(100), kind_name text(50), pages integer);
INSERT INTO meta VALUES ('a', '第一条', '数据集', 1), ('b', 'second', '服务', 2), ('c', 'third', '数据集', 3);
)";

struct TGridFixture {
  TGridFixture() : Query(Schema) {
    EnsureGuiRuntime();
    Query.Open(u"select meta_id, meta_name, kind_name, pages from meta order by meta_id");
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 600, 300);
    Source = new TDataSource(Form);
    Source->SetDataSet(Query.Query);
    Grid = new TDBGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 580, 200);
    struct {
      const char16_t* Field;
      const char16_t* Title;
      Integer Width;
      bool ReadOnly;
    } columns[] = {{u"meta_id", u"建立时间", 107, true}, {u"meta_name", u"标题", 241, false},
                   {u"kind_name", u"元数据类型", 96, true}, {u"pages", u"页数", 60, false}};
    for (auto& c : columns) {
      TColumn* col = Grid->Columns()->Add();
      col->SetFieldName(c.Field);
      col->Title()->SetCaption(c.Title);
      col->Title()->SetAlignment(taCenter);
      col->Title()->Font()->SetColor(clBlue);
      col->Title()->SetColor(clMoneyGreen);
      col->SetWidth(c.Width);
      col->SetReadOnly(c.ReadOnly);
    }
    Grid->SetDataSource(Source);
    Form->Show();
    Grid->SetFocus();
    Application->OnException = TExceptionEvent(this, [this](TObject*, Exception* E) { Errors.push_back(E->Message); });
  }
  ~TGridFixture() {
    Application->OnException = TExceptionEvent();
    Form->Free();
    Application->ProcessMessages();
  }
  void ClickCell(Integer Column, Integer Row) {
    TRect r = Grid->CellRect(Column, Row);
    TestClick(Grid->Handle(), TPoint{r.Left + 3, r.Top + 3});
  }
  std::string Stored(const char* Column, const char* Id) {
    return Query.Db.Value(std::string("select ") + Column + " from meta where meta_id='" + Id + "'");
  }

  TQueryFixture Query;
  TForm* Form;
  TDataSource* Source;
  TDBGrid* Grid;
  std::vector<String> Errors;
};

TEST(DBGrid, TypedCellTextIsPostedToTheTable) {
  TGridFixture f;
  f.ClickCell(1, 1);
  EXPECT_EQ(f.Query.Query->FieldByName(u"meta_id")->AsString(), u"b");
  EXPECT_EQ(f.Grid->SelectedField()->FieldName(), u"meta_name");
  // The first character opens the editor with it; the rest of the same
  // commit follows it there.
  TestInputMethodCommit(u"新标");
  ASSERT_TRUE(f.Grid->EditorMode());
  TestInputMethodCommit(u"题");
  EXPECT_EQ(f.Grid->EditorText(), u"新标题");
  TestKey(VK_RETURN, u"\r");
  EXPECT_FALSE(f.Grid->EditorMode());
  EXPECT_EQ(f.Stored("meta_name", "b"), "新标题");
  // F2 edits the current text; Down writes and moves on.
  TestKey(VK_F2);
  ASSERT_TRUE(f.Grid->EditorMode());
  TestKey(VK_END);
  TestTypeText(u"!");
  TestKey(VK_DOWN);
  EXPECT_EQ(f.Stored("meta_name", "b"), "新标题!");
  EXPECT_EQ(f.Query.Query->FieldByName(u"meta_id")->AsString(), u"c");
}

TEST(DBGrid, EscapeCancelsAndReadOnlyColumnsDoNotEdit) {
  TGridFixture f;
  f.ClickCell(1, 0);
  TestTypeText(u"gone");
  TestKey(VK_ESCAPE);
  EXPECT_FALSE(f.Grid->EditorMode());
  EXPECT_EQ(f.Stored("meta_name", "a"), "第一条");
  EXPECT_EQ(f.Query.Query->FieldByName(u"meta_name")->AsString(), u"第一条");
  f.ClickCell(0, 0);
  TestTypeText(u"x");
  EXPECT_FALSE(f.Grid->EditorMode());
  f.Grid->SetReadOnly(true);
  f.ClickCell(1, 0);
  TestKey(VK_F2);
  EXPECT_FALSE(f.Grid->EditorMode());
  EXPECT_EQ(f.Stored("meta_id", "a"), "a");
}

TEST(DBGrid, RefusedTextKeepsTheEditorAndTheTable) {
  TGridFixture f;
  f.ClickCell(3, 2);
  TestTypeText(u"abc");
  TestKey(VK_RETURN, u"\r");
  ASSERT_EQ(f.Errors.size(), 1u);
  EXPECT_TRUE(f.Grid->EditorMode());
  EXPECT_EQ(f.Grid->EditorText(), u"abc");
  EXPECT_EQ(f.Stored("pages", "c"), "3");
  TestKey(VK_ESCAPE);
  f.Grid->SetFocus();
  TestTypeText(u"42");
  TestKey(VK_RETURN, u"\r");
  EXPECT_EQ(f.Stored("pages", "c"), "42");
}

TEST(DBGrid, KeysMoveThroughRecordsAndColumnsAndDoubleClickFires) {
  TGridFixture f;
  Integer doubles = 0;
  f.Grid->OnDblClick = TNotifyEvent(&f, [&](TObject*) { ++doubles; });
  struct TCase {
    Word Key;
    Cardinal Mods;
    Integer RecNo;
    Integer Column;
  } cases[] = {{VK_DOWN, 0, 2, 0}, {VK_RIGHT, 0, 2, 1}, {VK_END, tkCtrl, 3, 1}, {VK_END, 0, 3, 3},
               {VK_UP, 0, 2, 3},   {VK_HOME, 0, 2, 0},  {VK_HOME, tkCtrl, 1, 0}, {VK_LEFT, 0, 1, 0}};
  for (const TCase& c : cases) {
    TestKey(c.Key, u"", c.Mods);
    EXPECT_EQ(f.Query.Query->RecNo(), c.RecNo) << c.Key;
    EXPECT_EQ(f.Grid->SelectedIndex(), c.Column) << c.Key;
  }
  TRect r = f.Grid->CellRect(2, 1);
  TestDoubleClick(f.Grid->Handle(), TPoint{r.Left + 3, r.Top + 3});
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(f.Query.Query->RecNo(), 2);
  // A right click shows the grid's popup menu.
  auto* menu = new TPopupMenu(f.Form);
  auto* remove = new TMenuItem(f.Form);
  remove->SetCaption(u"删除");
  menu->Items()->Add(remove);
  f.Grid->SetPopupMenu(menu);
  TestClick(f.Grid->Handle(), TPoint{r.Left + 3, r.Top + 3}, tbRight);
  EXPECT_EQ(MenuWindowItems(OpenMenuWindow()), std::vector<TMenuItem*>{remove});
  CloseMenus();
}

}  // namespace
