// The data grid over a SQLite-backed query: edits reach the table.
#include <gtest/gtest.h>

#include "platform/gui/dbgrids.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/platform/db/dbtestutil.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

const char* Schema = R"(
CREATE TABLE meta (meta_id text(50), meta_name text(100), kind_name text(50), pages integer);
INSERT INTO meta VALUES ('a', '第一条', '数据集', 1), ('b', 'second', '服务', 2), ('c', 'third', '数据集', 3);
CREATE TRIGGER refuse BEFORE UPDATE ON meta WHEN NEW.meta_name = 'locked'
  BEGIN SELECT RAISE(ABORT, 'title is locked'); END;
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

TEST(DBGrid, WithoutAutoEditOnlyARecordInEditStateIsEdited) {
  TGridFixture f;
  f.Source->SetAutoEdit(false);
  f.ClickCell(1, 0);
  TestTypeText(u"gone");
  TestKey(VK_F2);
  EXPECT_FALSE(f.Grid->EditorMode());
  EXPECT_EQ(f.Query.Query->State(), dsBrowse);
  EXPECT_EQ(f.Stored("meta_name", "a"), "第一条");
  // Put into edit state by the program, the record is edited as usual.
  f.Query.Query->Edit();
  TestKey(VK_F2);
  ASSERT_TRUE(f.Grid->EditorMode());
  TestKey(VK_END);
  TestTypeText(u"!");
  TestKey(VK_RETURN, u"\r");
  EXPECT_EQ(f.Stored("meta_name", "a"), "第一条!");
  EXPECT_TRUE(f.Errors.empty());
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
  TestQueueModalStep([&] {
    EXPECT_EQ(MenuWindowItems(OpenMenuWindow()), std::vector<TMenuItem*>{remove});
    CloseMenus();
  });
  TestClick(f.Grid->Handle(), TPoint{r.Left + 3, r.Top + 3}, tbRight);
  EXPECT_EQ(TestPendingModalSteps(), 0);
}

// Message boxes written down instead of shown.
class TRecordedDialogs : public TDialogService {
public:
  std::vector<String> Texts;
  Integer MessageBox(HWND, const String& Text, const String&, Cardinal) override {
    Texts.push_back(Text);
    return IDOK;
  }
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest&) override { return {}; }
};

// The grid with an edit and a button beside it to take the focus, and the
// application's errors shown as message boxes (recorded).
struct TFocusFixture : TGridFixture {
  TFocusFixture() : OldDialogs(SetDialogService(&Dialogs)) {
    Application->OnException = TExceptionEvent();
    Other = new TEdit(Form);
    Other->SetParent(Form);
    Other->SetBounds(0, 210, 200, 24);
    Button = new TButton(Form);
    Button->SetParent(Form);
    Button->SetBounds(300, 210, 75, 25);
    Grid->SetFocus();
  }
  ~TFocusFixture() { SetDialogService(OldDialogs); }
  // The control that has the keyboard focus.
  TWinControl* FocusedControl() const { return TWinControl::FindControl(GetFocus()); }
  TField* Field(const String& Name) const { return Query.Query->FieldByName(Name); }

  TRecordedDialogs Dialogs;
  TDialogService* OldDialogs;
  TEdit* Other;
  TButton* Button;
};

// However the focus leaves a cell being typed into, the text is written and
// posted, as Enter does, before the control that takes the focus acts.
TEST(DBGrid, TypedTextIsKeptWhenTheFocusLeavesTheEditor) {
  enum TLeave { ClickAnEdit, ClickAButton, FocusFromCode, FocusTheGridItself };
  for (TLeave leave : {ClickAnEdit, ClickAButton, FocusFromCode, FocusTheGridItself}) {
    SCOPED_TRACE(leave);
    TFocusFixture f;
    String seenByClick;
    f.Button->OnClick = TNotifyEvent(&f, [&](TObject*) { seenByClick = f.Field(u"meta_name")->AsString(); });
    f.ClickCell(1, 1);
    TestTypeText(u"kept");
    ASSERT_TRUE(f.Grid->EditorMode());
    TWinControl* expectedFocus = f.Other;
    switch (leave) {
      case ClickAnEdit: TestClick(f.Other->Handle(), TPoint{5, 5}); break;
      case ClickAButton:
        TestClick(f.Button->Handle(), TPoint{10, 10});
        expectedFocus = f.Button;
        break;
      case FocusFromCode: f.Other->SetFocus(); break;
      case FocusTheGridItself:
        f.Grid->SetFocus();
        expectedFocus = f.Grid;
        break;
    }
    Application->ProcessMessages();
    EXPECT_FALSE(f.Grid->EditorMode());
    EXPECT_EQ(f.FocusedControl(), expectedFocus);
    EXPECT_EQ(f.Field(u"meta_name")->AsString(), u"kept");
    EXPECT_EQ(f.Field(u"meta_id")->AsString(), u"b");
    EXPECT_EQ(f.Query.Query->State(), dsBrowse);
    EXPECT_EQ(f.Stored("meta_name", "b"), "kept");
    if (leave == ClickAButton) {
      EXPECT_EQ(seenByClick, u"kept");
    }
    EXPECT_TRUE(f.Dialogs.Texts.empty());
  }
}

// A text refused on the way out is reported once; the editor keeps it and
// has the focus back, nothing reaches the table, and Esc still gives it up.
TEST(DBGrid, RefusedTextKeepsTheEditorWhenTheFocusLeaves) {
  struct TCase {
    const char* Name;
    Integer Column, Row;
    const char* FieldName;
    const char* Id;
    String Typed;
    enum { Nothing, FieldReadOnly, NoAutoEdit } Change;  // made while the editor is open
    std::string Reason;                                  // a part of the message shown
  } cases[] = {
      {"not a number", 3, 2, "pages", "c", u"abc", TCase::Nothing, "abc"},
      {"read-only field", 1, 0, "meta_name", "a", u"changed", TCase::FieldReadOnly, "cannot be modified"},
      {"record not editable", 1, 0, "meta_name", "a", u"changed", TCase::NoAutoEdit, "not in edit"},
      {"refused by the table", 1, 1, "meta_name", "b", u"locked", TCase::Nothing, "title is locked"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFocusFixture f;
    f.ClickCell(c.Column, c.Row);
    const String before = f.Field(UTF8ToString(c.FieldName))->AsString();
    const std::string stored = f.Stored(c.FieldName, c.Id);
    TestTypeText(c.Typed);
    ASSERT_TRUE(f.Grid->EditorMode());
    if (c.Change == TCase::FieldReadOnly) f.Field(UTF8ToString(c.FieldName))->SetReadOnly(true);
    if (c.Change == TCase::NoAutoEdit) f.Source->SetAutoEdit(false);
    TestClick(f.Other->Handle(), TPoint{5, 5});
    Application->ProcessMessages();
    ASSERT_EQ(f.Dialogs.Texts.size(), 1u);
    EXPECT_NE(StringToUTF8(f.Dialogs.Texts[0]).find(c.Reason), std::string::npos) << StringToUTF8(f.Dialogs.Texts[0]);
    EXPECT_TRUE(f.Grid->EditorMode());
    EXPECT_EQ(f.Grid->EditorText(), c.Typed);
    ASSERT_NE(f.FocusedControl(), nullptr);
    EXPECT_EQ(f.FocusedControl()->Parent(), f.Grid);
    EXPECT_EQ(f.Stored(c.FieldName, c.Id), stored);

    TestKey(VK_ESCAPE);
    EXPECT_FALSE(f.Grid->EditorMode());
    EXPECT_EQ(f.FocusedControl(), f.Grid);
    EXPECT_EQ(f.Query.Query->State(), dsBrowse);
    EXPECT_EQ(f.Field(UTF8ToString(c.FieldName))->AsString(), before);
    EXPECT_EQ(f.Stored(c.FieldName, c.Id), stored);
    // Leaving now takes nothing along.
    f.Other->SetFocus();
    EXPECT_EQ(f.FocusedControl(), f.Other);
    EXPECT_EQ(f.Dialogs.Texts.size(), 1u);
  }
}

}  // namespace
