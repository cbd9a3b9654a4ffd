#include "app/openFile.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "app/about.h"
#include "app/kind.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "tests/app/apptestutil.h"

namespace {

using namespace app_test;

// The record list over a database with a full and a core record.
struct TListFixture : TProgramFixture {
  TListFixture() {
    FullKey = AddRecord(false, "青藏高原冻土分布图");
    CoreKey = AddRecord(true, "黄河流域水文站网");
    dm->CurrentMetaId = u"";  // no record loaded
    List = new Tfrm_openFile(nullptr);
  }
  ~TListFixture() { List->Free(); }
  void Select(const std::string& Key) {
    ASSERT_TRUE(dm->aq_fileList->Locate(u"meta_id", Variant(U16(Key)), {})) << Key;
  }
  std::string Rows(const std::string& Key) {
    return One("select count(*) from t_metadata where meta_id = '" + Key + "'");
  }
  std::string Listed(const std::string& Key) {
    return One("select count(*) from t_metakind where meta_id = '" + Key + "'");
  }
  std::string FullKey, CoreKey;
  Tfrm_openFile* List = nullptr;
};

TEST(RecordList, ShowsEveryRecordInThreeTitledColumns) {
  TListFixture f;
  RunModal(f.List, [&] {
    EXPECT_EQ(dm->aq_fileList->RecordCount(), 2);
    f.List->btn_exit->Click();
  });
  TDBGridColumns* columns = f.List->dg_datasetLst->Columns();
  ASSERT_EQ(columns->Count(), 3);
  const std::vector<std::pair<String, String>> expected = {
      {u"meta_id", u"建立时间"}, {u"meta_name", u"标题"}, {u"kind_name", u"元数据类型"}};
  for (Integer i = 0; i < 3; ++i) {
    EXPECT_EQ(columns->Items(i)->FieldName(), expected[i].first);
    EXPECT_EQ(columns->Items(i)->Title()->Caption(), expected[i].second);
  }
  EXPECT_TRUE(columns->Items(0)->ReadOnly());
  EXPECT_FALSE(columns->Items(1)->ReadOnly());
  EXPECT_TRUE(columns->Items(2)->ReadOnly());
  // Closing the list closes its dataset.
  EXPECT_FALSE(dm->aq_fileList->Active());
}

TEST(RecordList, TheDialogsTitleBarsOfferOnlyClose) {
  // The window manager shows the buttons it is asked for: a dialog asks for
  // close only, whatever its border.
  TListFixture f;
  auto* about = new Tfrm_about(nullptr);
  auto* kind = new Tfrm_kind(nullptr);
  for (TForm* form : std::initializer_list<TForm*>{f.List, about, kind}) {
    SCOPED_TRACE(StringToUTF8(form->Caption()));
    form->HandleNeeded();
    const TNativeWindowState st = GetNativeWindowState(form->Handle());
    EXPECT_FALSE(st.Frameless);
    EXPECT_TRUE(st.CloseBox);
    EXPECT_FALSE(st.MinimizeBox);
    EXPECT_FALSE(st.MaximizeBox);
  }
  kind->Free();
  about->Free();
}

TEST(RecordList, OpenAnswersTheSelectedKeyAndKind) {
  TListFixture f;
  struct {
    std::string* Key;
    bool Core;
  } cases[] = {{&f.FullKey, false}, {&f.CoreKey, true}};
  for (auto& c : cases) {
    EXPECT_EQ(RunModal(f.List,
                       [&] {
                         f.Select(*c.Key);
                         TestClick(f.List->btn_open->Handle(), Middle(f.List->btn_open));
                       }),
              mrOk);
    EXPECT_EQ(U8(f.List->SelectedMetaId()), *c.Key);
    EXPECT_EQ(f.List->SelectedIsCore(), c.Core);
  }
  EXPECT_TRUE(f.Dialogs.Texts.empty());
}

TEST(RecordList, DoubleClickOnARowOpensThatRecord) {
  TListFixture f;
  EXPECT_EQ(RunModal(f.List,
                     [&] {
                       f.Select(f.FullKey);
                       TDBGrid* grid = f.List->dg_datasetLst;
                       TRect second = grid->CellRect(0, 1);
                       TestDoubleClick(grid->Handle(), TPoint{second.Left + 20, (second.Top + second.Bottom) / 2});
                       Application->ProcessMessages();
                       if (f.List->ModalResult() == mrNone) f.List->btn_exit->Click();
                     }),
            mrOk);
  EXPECT_EQ(U8(f.List->SelectedMetaId()), f.CoreKey);
  EXPECT_TRUE(f.List->SelectedIsCore());
}

TEST(RecordList, OpenWithoutARecordWarnsAndStays) {
  TProgramFixture f;  // no records at all
  auto* list = new Tfrm_openFile(nullptr);
  bool stayed = false;
  EXPECT_EQ(RunModal(list,
                     [&] {
                       list->btn_open->Click();
                       stayed = list->ModalResult() == mrNone;
                       list->btn_exit->Click();
                     }),
            mrCancel);
  EXPECT_TRUE(stayed);
  EXPECT_EQ(f.Dialogs.Texts, std::vector<String>{u"请选择需要打开的数据"});
  // Deleting from the empty list does nothing and says nothing.
  RunModal(list, [&] {
    list->N1->Click();
    list->btn_exit->Click();
  });
  EXPECT_EQ(f.Dialogs.Texts.size(), 1u);
  list->Free();
}

TEST(RecordList, TheRecordOpenForEditingIsDeletedOnlyAfterTheWindowCloses) {
  TListFixture f;
  String error;
  ASSERT_TRUE(dm->LoadRecord(error, U16(f.FullKey))) << U8(error);
  bool editingWindowOpen = true;
  f.List->EditingWindowOpen = [&] { return editingWindowOpen; };
  RunModal(f.List, [&] {
    f.Select(f.FullKey);
    f.List->N1->Click();
    f.List->btn_exit->Click();
  });
  EXPECT_EQ(f.Dialogs.Texts, std::vector<String>{u"当前数据集正打开着,不能删除"});
  EXPECT_NE(f.Rows(f.FullKey), "0");
  EXPECT_EQ(f.Listed(f.FullKey), "1");

  editingWindowOpen = false;
  Integer listedAfter = -1;
  RunModal(f.List, [&] {
    f.Select(f.FullKey);
    f.List->N1->Click();
    listedAfter = dm->aq_fileList->RecordCount();
    f.List->btn_exit->Click();
  });
  EXPECT_EQ(f.Dialogs.Texts.size(), 1u);
  EXPECT_EQ(listedAfter, 1);
  EXPECT_EQ(f.Rows(f.FullKey), "0");
  EXPECT_EQ(f.Listed(f.FullKey), "0");
  // The other record is untouched.
  EXPECT_NE(f.Rows(f.CoreKey), "0");
  EXPECT_EQ(f.Listed(f.CoreKey), "1");
}

// A refused statement on either table leaves the record whole: its rows and
// its list entry both stay, and the reason is shown.
TEST(RecordList, AFailedDeleteWarnsAndKeepsTheRecordWhole) {
  for (const char* table : {"t_metadata", "t_metakind"}) {
    SCOPED_TRACE(table);
    TListFixture f;
    ExecSql(f.DbPath, std::string("CREATE TRIGGER refuse BEFORE DELETE ON ") + table +
                          " BEGIN SELECT RAISE(ABORT, 'record is locked'); END;");
    const std::string rowsBefore = f.Rows(f.CoreKey);
    RunModal(f.List, [&] {
      f.Select(f.CoreKey);
      f.List->N1->Click();
      EXPECT_EQ(dm->aq_fileList->RecordCount(), 2);
      f.List->btn_exit->Click();
    });
    ASSERT_EQ(f.Dialogs.Texts.size(), 1u);
    const std::string text = U8(f.Dialogs.Texts[0]);
    EXPECT_EQ(text.rfind("删除失败,错误信息:", 0), 0u) << text;
    EXPECT_NE(text.find("record is locked"), std::string::npos) << text;
    EXPECT_EQ(f.Rows(f.CoreKey), rowsBefore);
    EXPECT_EQ(f.Listed(f.CoreKey), "1");
  }
}

// Types a title into the first row's title cell, leaving the editor open.
void TypeTitle(Tfrm_openFile* List, const String& Title) {
  TDBGrid* grid = List->dg_datasetLst;
  TRect cell = grid->CellRect(1, 0);
  TestClick(grid->Handle(), TPoint{cell.Left + 10, (cell.Top + cell.Bottom) / 2});
  Application->ProcessMessages();
  TestTypeText(Title);
  Application->ProcessMessages();
  ASSERT_TRUE(grid->EditorMode());
}

// However the list is left, a title typed and not yet entered is kept.
TEST(RecordList, ATypedTitleIsWrittenBeforeTheListCloses) {
  enum TLeave { ByOpen, ByExit, ByCloseBox, ByDelete };
  for (TLeave leave : {ByOpen, ByExit, ByCloseBox, ByDelete}) {
    SCOPED_TRACE(leave);
    TProgramFixture f;
    const std::string key = f.AddRecord(false, "old");
    auto* list = new Tfrm_openFile(nullptr);
    RunModal(list, [&] {
      TypeTitle(list, u"new");
      switch (leave) {
        case ByOpen: TestClick(list->btn_open->Handle(), Middle(list->btn_open)); break;
        case ByExit: TestClick(list->btn_exit->Handle(), Middle(list->btn_exit)); break;
        case ByCloseBox: PostMessage(list->Handle(), WM_CLOSE, 0, 0); break;
        case ByDelete:
          dm->CurrentMetaId = U16(key);
          list->EditingWindowOpen = [] { return true; };  // refused: the title stays to be read
          list->N1->Click();
          list->btn_exit->Click();
          break;
      }
      Application->ProcessMessages();
    });
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(f.One("select meta_name from t_metakind where meta_id = '" + key + "'"), "new");
    list->Free();
  }
}

TEST(RecordList, ARefusedTitleKeepsTheListOpenWithTheReason) {
  TProgramFixture f;
  const std::string key = f.AddRecord(false, "old");
  ExecSql(f.DbPath, "CREATE TRIGGER refuse BEFORE UPDATE ON t_metakind BEGIN SELECT RAISE(ABORT, 'title is locked'); END;");
  auto* list = new Tfrm_openFile(nullptr);
  // When the refusal shows, the editor is still open; then the user gives
  // the title up with Esc and leaves.
  bool editorOpenWhenTold = false;
  f.Dialogs.OnShown = [&] {
    editorOpenWhenTold = list->dg_datasetLst->EditorMode();
    PostMessage(list->Handle(), WM_USER + 1, 0, 0);
  };
  list->WindowProc = TWndMethod(list, [&](TMessage& m) {
    if (m.Msg == WM_USER + 1) {
      TestKey(VK_ESCAPE);
      Application->ProcessMessages();
      list->btn_exit->Click();
    }
    list->WndProc(m);
  });
  EXPECT_EQ(RunModal(list,
                     [&] {
                       TypeTitle(list, u"new");
                       list->btn_exit->Click();
                     }),
            mrCancel);
  EXPECT_TRUE(editorOpenWhenTold);
  ASSERT_EQ(f.Dialogs.Texts.size(), 1u);
  EXPECT_NE(U8(f.Dialogs.Texts[0]).find("title is locked"), std::string::npos) << U8(f.Dialogs.Texts[0]);
  EXPECT_EQ(f.One("select meta_name from t_metakind where meta_id = '" + key + "'"), "old");
  list->Free();
}

TEST(RecordList, AListThatCannotBeReadIsReported) {
  TListFixture f;
  ExecSql(f.DbPath, "ALTER TABLE t_metakind RENAME TO t_metakind_gone");
  RunModal(f.List, [&] {
    f.List->btn_open->Click();
    f.List->btn_exit->Click();
  });
  ASSERT_EQ(f.Dialogs.Texts.size(), 2u);
  EXPECT_EQ(U8(f.Dialogs.Texts[0]).rfind("打开数据集列表失败,错误信息:", 0), 0u) << U8(f.Dialogs.Texts[0]);
  EXPECT_EQ(f.Dialogs.Texts[1], u"请选择需要打开的数据");
}

TEST(RecordList, PictureShowsTheTitleRowAndTheRecords) {
  TListFixture f;
  f.List->Show();
  f.List->FormShow(f.List);
  Application->ProcessMessages();
  auto picture = Picture(f.List, "record_list");
  TDBGrid* grid = f.List->dg_datasetLst;
  // The title row in its colour, with blue Chinese titles in each column.
  TRect titles{grid->Left(), grid->Top(), grid->Left() + grid->Width(), grid->Top() + 18};
  EXPECT_GT(CountOf(*picture, titles, clMoneyGreen), 2000);
  for (Integer column = 0; column < 3; ++column) {
    TRect title = grid->CellRect(column, 0);
    OffsetRect(title, grid->Left(), grid->Top() - title.Top);
    title.Bottom = title.Top + 18;
    EXPECT_GT(CountBluish(*picture, title), 20) << column;
  }
  // Both records show their titles.
  for (Integer row = 0; row < 2; ++row) {
    TRect cell = grid->CellRect(1, row);
    OffsetRect(cell, grid->Left(), grid->Top());
    EXPECT_GT(CountNot(*picture, cell, clWindow), 50) << row;
  }
  // The two buttons drew their captions.
  for (TButton* button : {f.List->btn_open, f.List->btn_exit})
    EXPECT_GT(CountNot(*picture, button->BoundsRect(), clBtnFace), 30);
  f.List->Hide();
}

}  // namespace
