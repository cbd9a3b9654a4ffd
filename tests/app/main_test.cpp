#include "app/main.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gui/hints.h"
#include "platform/gui/timers.h"
#include "tests/app/maintestutil.h"

namespace {

using namespace app_test;

std::vector<TMenuItem*> RecordItems(Tfrm_main* M) { return {M->N3, M->N4, M->N10, M->N12}; }
std::vector<TSpeedButton*> RecordButtons(Tfrm_main* M) { return {M->spb_save, M->spb_preview, M->spb_check}; }

void ExpectRecordCommands(Tfrm_main* M, bool Enabled) {
  for (TMenuItem* item : RecordItems(M)) EXPECT_EQ(item->Enabled(), Enabled) << U8(item->Caption());
  for (TSpeedButton* button : RecordButtons(M)) EXPECT_EQ(button->Enabled(), Enabled) << U8(button->Hint());
  for (TMenuItem* item : {M->N1, M->N2, M->N21, M->N9, M->N7, M->N15, M->N6, M->N19, M->N20})
    EXPECT_TRUE(item->Enabled()) << U8(item->Caption());
  for (TSpeedButton* button : {M->spb_new, M->spb_opendata, M->spb_openfile, M->spb_help})
    EXPECT_TRUE(button->Enabled()) << U8(button->Hint());
}

TEST(MainWindow, MenuAndToolbarCarryTheirCaptionsImagesAndHints) {
  TMainFixture f;
  Tfrm_main* m = f.Main;
  EXPECT_EQ(m->Caption(), u"Editor — Korvane");
  EXPECT_EQ(m->FormStyle(), fsMDIForm);
  struct {
    TMenuItem* Parent;
    std::vector<std::pair<String, Integer>> Items;
  } menus[] = {
      {m->F1, {{u"新建(&N)...", 2}, {u"打开编辑文件(&O)...", 8}, {u"打开XML文件(&M)...", 4},
               {u"输出XML文件(&S)", 10}, {u"另存为(&A)...", 9}, {u"-", -1}, {u"退出(&X)", -1}}},
      {m->T1, {{u"检查结构(&K)", 0}, {u"-", -1}, {u"预览(&V)", 12}, {u"-", -1}, {u"查看日志(&S)", -1},
               {u"-", -1}, {u"清理数据库(&C)", -1}, {u"压缩数据库(&U)", -1}}},
      {m->H1, {{u"帮助主题(&H)", 6}, {u"关于(&A)", -1}}},
  };
  ASSERT_EQ(m->MainMenu1->Items()->Count(), 3);
  for (auto& menu : menus) {
    ASSERT_EQ(menu.Parent->Count(), Integer(menu.Items.size())) << U8(menu.Parent->Caption());
    for (Integer i = 0; i < menu.Parent->Count(); ++i) {
      EXPECT_EQ(menu.Parent->Items(i)->Caption(), menu.Items[i].first);
      EXPECT_EQ(menu.Parent->Items(i)->ImageIndex(), menu.Items[i].second) << U8(menu.Items[i].first);
    }
  }
  // Every image index of the menu has a picture.
  EXPECT_EQ(m->ImageList1->Count(), 13);
  // The buttons show the images of their menu commands.
  struct {
    TSpeedButton* Button;
    const char16_t* Hint;
    Integer Left;
    Integer Image;
  } buttons[] = {{m->spb_new, u"新建", 2, 2},         {m->spb_opendata, u"打开", 36, 8},
                 {m->spb_openfile, u"打开XML", 71, 4}, {m->spb_save, u"输出XML", 106, 10},
                 {m->spb_check, u"检查结构", 141, 0},  {m->spb_preview, u"预览", 176, 12},
                 {m->spb_help, u"帮助", 211, 6}};
  for (auto& b : buttons) {
    EXPECT_EQ(b.Button->Hint(), b.Hint);
    EXPECT_EQ(b.Button->Left(), b.Left);
    EXPECT_EQ(b.Button->Width(), 25);
    EXPECT_TRUE(b.Button->Flat());
    EXPECT_EQ(b.Button->Images(), m->ImageList1);
    EXPECT_EQ(b.Button->ImageIndex(), b.Image) << U8(b.Hint);
  }
  ExpectRecordCommands(m, false);
}

TEST(MainWindow, PictureShowsTheMenuBarAndTheToolbarGlyphs) {
  TMainFixture f;
  auto picture = Picture(f.Main, "main_window");
  TCoolBar* bar = f.Main->CoolBar1;
  // Each enabled button draws its glyph in colour; a disabled one (no
  // record is open) draws it greyed.
  auto colourful = [&](TSpeedButton* b) {
    TRect r = b->BoundsRect();
    OffsetRect(r, bar->Left(), bar->Top());
    Integer n = 0;
    for (Integer y = r.Top; y < r.Bottom; ++y)
      for (Integer x = r.Left; x < r.Right; ++x) {
        TColor c = picture->PixelColor(x, y);
        Integer red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
        n += std::max({red, green, blue}) - std::min({red, green, blue}) > 60;
      }
    return n;
  };
  for (TSpeedButton* b : {f.Main->spb_new, f.Main->spb_opendata, f.Main->spb_openfile, f.Main->spb_help})
    EXPECT_GT(colourful(b), 10) << U8(b->Hint());
  for (TSpeedButton* b : {f.Main->spb_save, f.Main->spb_check, f.Main->spb_preview})
    EXPECT_EQ(colourful(b), 0) << U8(b->Hint());
  // The menu bar above the toolbar shows its three captions.
  TRect menuBar{0, 0, 200, bar->Top()};
  ASSERT_GT(bar->Top(), 10);
  EXPECT_GT(CountNot(*picture, menuBar, clBtnFace), 60);
}

TEST(MainWindow, NewRecordOfEachKindCreatesItsRowsAndShowsIt) {
  struct {
    bool Core;
    const char* Kind;
    const char* TemplateRows;
  } cases[] = {{false, "元数据", "1"}, {true, "核心元数据", "is_core <> 0"}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.Kind);
    TMainFixture f;
    f.NewThroughToolbar(c.Core);
    ASSERT_NE(frm_meta_edit, nullptr);
    const std::string key = f.Key();
    EXPECT_EQ(key, "20240305070809");
    EXPECT_EQ(f.Count("t_metadata", "meta_id = '" + key + "'"), f.Count("templet", c.TemplateRows));
    EXPECT_EQ(f.One("select kind_name from t_metakind where meta_id = '" + key + "'"), c.Kind);
    EXPECT_EQ(frm_meta_edit->Caption(), u"未命名");
    EXPECT_EQ(frm_meta_edit->IsCore(), c.Core);
    EXPECT_EQ(frm_meta_edit->TreeDataSource(), dm->ds_metadata);
    EXPECT_TRUE(frm_meta_edit->RecordReady());
    EXPECT_EQ(frm_meta_edit->FormStyle(), fsMDIChild);
    ExpectRecordCommands(f.Main, true);
    // The description pane describes the focused element.
    ASSERT_EQ(frm_meta_edit->m_descr->Lines()->Count(), 2);
    EXPECT_EQ(U8(frm_meta_edit->m_descr->Lines()->Strings(0)).rfind("节点定义：", 0), 0u);
    EXPECT_EQ(U8(frm_meta_edit->m_descr->Lines()->Strings(1)).rfind("节点可选性（当父节点不空时）：", 0), 0u);
    EXPECT_TRUE(f.Script.Boxes.empty());
    // Closing the editing window turns the record commands off.
    f.Run([] { frm_meta_edit->Close(); });
    EXPECT_EQ(frm_meta_edit, nullptr);
    ExpectRecordCommands(f.Main, false);
  }
}

TEST(MainWindow, TheRecordWindowIsNamedInTheTitleAndClosedFromTheMenuBarOrWithCtrlF4) {
  TMainFixture f;
  auto title = [&] { return GetNativeWindowState(f.Main->Handle()).Title; };
  EXPECT_EQ(title(), u"Editor — Korvane");
  // The main window is maximised by the window manager, title bar on the screen.
  f.Main->SetWindowState(wsMaximized);
  EXPECT_TRUE(GetNativeWindowState(f.Main->Handle()).Maximized);

  struct TCase {
    const char* How;
    std::function<void()> Close;
  } const cases[] = {
      {"the close button at the right end of the menu bar",
       [&] {
         TControl* button = MDIChildCloseButton(f.Main);
         ASSERT_NE(button, nullptr);
         TWinControl* bar = button->Parent();
         EXPECT_GT(button->Left(), bar->ClientWidth() - 30);
         TestClick(bar->Handle(), TPoint{button->Left() + button->Width() / 2, button->Top() + button->Height() / 2});
       }},
      {"Ctrl+F4 in the tree",
       [&] {
         frm_meta_edit->cxDBTreeList1->SetFocus();
         Application->ProcessMessages();
         TestKey(VK_F4, u"", tkCtrl);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.How);
    f.NewThroughToolbar(false);
    ASSERT_NE(frm_meta_edit, nullptr);
    EXPECT_EQ(title(), u"Editor — Korvane - [未命名]");
    EXPECT_EQ(f.Main->Caption(), u"Editor — Korvane");
    f.Run(c.Close);
    EXPECT_EQ(frm_meta_edit, nullptr);
    ExpectRecordCommands(f.Main, false);
    EXPECT_EQ(title(), u"Editor — Korvane");
    EXPECT_EQ(MDIChildCloseButton(f.Main), nullptr);
  }
}

TEST(MainWindow, AToolbarButtonShowsItsHintAfterThePause) {
  TMainFixture f;
  TTestClock clock;
  for (TSpeedButton* button : {f.Main->spb_new, f.Main->spb_save}) {  // enabled and disabled alike
    SCOPED_TRACE(U8(button->Hint()));
    TestMouseMove(f.Main->CoolBar1->Handle(), TPoint{button->Left() + 5, button->Top() + 5});
    Application->ProcessMessages();
    clock.Advance(Application->HintPause() + 10);
    Application->ProcessMessages();
    ASSERT_TRUE(Application->Hints()->HintShowing());
    EXPECT_EQ(Application->Hints()->HintWindow()->Caption(), button->Hint());
    clock.Advance(Application->HintHidePause() * 2);
    Application->ProcessMessages();
  }
  Application->CancelHint();
}

TEST(MainWindow, ACancelledKindDialogCreatesNothing) {
  TMainFixture f;
  TUserScript user;
  user.Kind(true, false);
  f.Run([&] { f.Main->N1->Click(); });
  EXPECT_EQ(user.Acted, 1);
  EXPECT_EQ(frm_meta_edit, nullptr);
  EXPECT_EQ(f.Count("t_metakind"), "0");
  EXPECT_EQ(f.Count("t_metadata"), "0");
}

TEST(MainWindow, OpenFromTheRecordListShowsTheChosenRecordWithItsKind) {
  TMainFixture f;
  const std::string full = f.AddRecord(false, "青藏高原冻土分布图");
  const std::string core = f.AddRecord(true, "黄河流域水文站网");
  dm->CurrentMetaId = u"";
  for (auto [key, isCore] : {std::pair{core, true}, std::pair{full, false}}) {
    TUserScript user;
    user.OpenFromList(key);
    f.Run([&] { ClickToolButton(f.Main, f.Main->spb_opendata); });
    ASSERT_EQ(user.Acted, 1);
    ASSERT_NE(frm_meta_edit, nullptr);
    EXPECT_EQ(f.Key(), key);
    EXPECT_EQ(frm_meta_edit->IsCore(), isCore);
    EXPECT_EQ(U8(dm->aq_metadata->FieldByName(u"meta_id")->AsString()), key);
    ExpectRecordCommands(f.Main, true);
  }
  // Leaving the list changes nothing.
  TUserScript user;
  user.OpenFromList("");
  f.Run([&] { f.Main->N2->Click(); });
  EXPECT_EQ(f.Key(), full);
  EXPECT_TRUE(f.Script.Boxes.empty());
}

// A create that fails tells why and leaves the record shown before as it
// was; with no record before, no editing window stays behind.
TEST(MainWindow, AFailedCreateLeavesTheCurrentRecordAsItWas) {
  for (bool recordBefore : {true, false}) {
    SCOPED_TRACE(recordBefore);
    TMainFixture f;
    std::string before;
    if (recordBefore) {
      f.NewThroughToolbar(false);
      before = f.Key();
    }
    ExecSql(f.DbPath, "CREATE TRIGGER refuse BEFORE INSERT ON t_metakind BEGIN SELECT RAISE(ABORT, 'list is locked'); END;");
    TUserScript user;
    user.Kind(true);
    f.Run([&] { f.Main->N1->Click(); });
    ASSERT_EQ(f.Script.Boxes.size(), 1u);
    const std::string text = U8(f.Script.Boxes[0].Text);
    EXPECT_EQ(text.rfind("插入标题失败,", 0), 0u) << text;
    EXPECT_NE(text.find("list is locked"), std::string::npos) << text;
    EXPECT_EQ(f.Key(), before);
    EXPECT_EQ(f.Count("t_metakind"), recordBefore ? "1" : "0");
    if (recordBefore) {
      ASSERT_NE(frm_meta_edit, nullptr);
      EXPECT_FALSE(frm_meta_edit->IsCore());
      EXPECT_EQ(frm_meta_edit->TreeDataSource(), dm->ds_metadata);
      EXPECT_TRUE(frm_meta_edit->RecordReady());
      EXPECT_EQ(U8(dm->aq_metadata->FieldByName(u"meta_id")->AsString()), before);
      ExpectRecordCommands(f.Main, true);
    } else {
      EXPECT_EQ(frm_meta_edit, nullptr);
      ExpectRecordCommands(f.Main, false);
    }
  }
}

// Types a content into the focused row without posting it, as an editor
// that has not yet written its value leaves the record.
void TypePending(const String& Text) {
  dm->aq_metadata->Locate(u"code", Variant(String(TitleElementCode)), {});
  dm->aq_metadata->Edit();
  dm->aq_metadata->FieldByName(u"content")->SetAsString(Text);
}

TEST(MainWindow, APendingEditIsWrittenBeforeEachCommandThatReplacesTheRecord) {
  using enum TRecordCommand;
  for (TRecordCommand command : {New, Open, Import, Clear, Compact, Exit}) {
    SCOPED_TRACE(static_cast<int>(command));
    TMainFixture f;
    f.NewThroughToolbar(false);
    const std::string key = f.Key();
    TypePending(u"typed title");
    TUserScript user;  // every dialog is left without a change
    if (command == New) user.Kind(false, false);
    if (command == Open) user.OpenFromList("");
    EXPECT_TRUE(f.RunRecordCommand(command));
    EXPECT_EQ(f.One("select content from t_metadata where meta_id = '" + key + "' and code = '010101'"), "typed title");
    EXPECT_EQ(f.One("select meta_name from t_metakind where meta_id = '" + key + "'"), "typed title");
  }
}

TEST(MainWindow, ARefusedPendingEditStopsTheCommandAndKeepsTheText) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  ExecSql(f.DbPath, "CREATE TRIGGER refuse BEFORE UPDATE ON t_metadata BEGIN SELECT RAISE(ABORT, 'row is locked'); END;");
  TypePending(u"typed title");
  TUserScript user;
  user.Kind(true);
  f.Run([&] { f.Main->N1->Click(); });
  EXPECT_EQ(user.Acted, 0);  // the kind was never asked
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_NE(U8(f.Script.Boxes[0].Text).find("row is locked"), std::string::npos);
  EXPECT_EQ(f.Count("t_metakind"), "1");
  EXPECT_EQ(dm->aq_metadata->FieldByName(u"content")->AsString(), u"typed title");
  bool canClose = true;
  f.Main->FormCloseQuery(f.Main, canClose);
  EXPECT_FALSE(canClose);
  dm->aq_metadata->Cancel();
}

TEST(MainWindow, ClearingTheDatabaseAsksFirst) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  // Declined: nothing changes.
  f.Script.Answers = {IDNO};
  f.Run([&] { f.Main->N15->Click(); });
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_EQ(f.Script.Boxes[0].Text, u"清理数据库将删除你所有正在编辑及已经编辑的元数据内容，确定要清理数据库吗?");
  EXPECT_EQ(f.Script.Boxes[0].Caption, u"清理数据库确认");
  EXPECT_EQ(f.Script.Boxes[0].Flags, Cardinal(MB_YESNO | MB_ICONQUESTION));
  EXPECT_NE(frm_meta_edit, nullptr);
  EXPECT_EQ(f.Count("t_metakind"), "1");
  // Accepted: the editing window closes first, then every record goes.
  f.Script.Answers = {IDYES};
  f.Run([&] { f.Main->N15->Click(); });
  EXPECT_EQ(frm_meta_edit, nullptr);
  ExpectRecordCommands(f.Main, false);
  EXPECT_EQ(f.Count("t_metakind"), "0");
  EXPECT_EQ(f.Count("t_metadata"), "0");
  ASSERT_EQ(f.Script.Boxes.size(), 3u);
  EXPECT_EQ(f.Script.Boxes[2].Text, u"数据库清理完毕");
  EXPECT_EQ(f.Script.Boxes[2].Flags, Cardinal(MB_OK | MB_ICONINFORMATION));
}

TEST(MainWindow, CompactingAsksOnlyWhileARecordIsOpen) {
  TMainFixture f;
  f.Run([&] { f.Main->N6->Click(); });
  EXPECT_EQ(f.Script.Texts(), std::vector<String>{u"数据库压缩完毕"});

  f.NewThroughToolbar(false);
  f.Script.Boxes.clear();
  f.Script.Answers = {IDNO};
  f.Run([&] { f.Main->N6->Click(); });
  EXPECT_EQ(f.Script.Texts(), std::vector<String>{u"压缩数据库将关闭你正在编辑的元数据文件，确定要压缩数据库吗?"});
  EXPECT_EQ(f.Script.Boxes[0].Caption, u"压缩数据库确认");
  EXPECT_NE(frm_meta_edit, nullptr);

  f.Script.Boxes.clear();
  f.Script.Answers = {IDYES};
  f.Run([&] { f.Main->N6->Click(); });
  EXPECT_EQ(frm_meta_edit, nullptr);
  ASSERT_EQ(f.Script.Boxes.size(), 2u);
  EXPECT_EQ(f.Script.Boxes[1].Text, u"数据库压缩完毕");
  EXPECT_EQ(f.Count("t_metakind"), "1");  // the record is kept
}

TEST(MainWindow, TheLogViewerOpensTheLogOrSaysThereIsNone) {
  TMainFixture f;
  f.Run([&] { f.Main->N7->Click(); });
  EXPECT_EQ(f.Script.Texts(), std::vector<String>{u"目前没有错误"});
  EXPECT_TRUE(f.Opened.empty());

  WriteLogLine(u"something went wrong");
  f.Run([&] { f.Main->N7->Click(); });
  EXPECT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_EQ(f.Opened, std::vector<String>{LogFileName()});
}

TEST(MainWindow, AboutShowsTheBoxModally) {
  TMainFixture f;
  String caption;
  TUserScript user;
  user.Steps.push_back([&] {
    Tfrm_about* about = ShowingModal<Tfrm_about>();
    if (!about) return false;
    caption = about->Caption();
    TestClick(about->btn_ok->Handle(), Middle(about->btn_ok));
    return true;
  });
  f.Run([&] { f.Main->N20->Click(); });
  EXPECT_EQ(caption, u"关于");
  EXPECT_EQ(ShowingModal<Tfrm_about>(), nullptr);
}

TEST(MainWindow, HelpOpensTheHelpPagesInTheBrowser) {
  TMainFixture f;
  fs::copy(BuiltProgramFolder() / "help", f.Folder / "help", fs::copy_options::recursive);
  f.Run([&] { ClickToolButton(f.Main, f.Main->spb_help); });
  f.Run([&] { f.Main->N19->Click(); });
  ASSERT_EQ(f.Shell.Opened.size(), 2u);
  EXPECT_NE(U8(f.Shell.Opened[0]).find("help/index.html"), std::string::npos) << U8(f.Shell.Opened[0]);
  EXPECT_TRUE(f.Script.Boxes.empty());
  // Without the pages the user is told.
  fs::remove_all(f.Folder / "help");
  f.Run([&] { f.Main->N19->Click(); });
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_NE(U8(f.Script.Boxes[0].Text).find("help/index.html"), std::string::npos);
}

// The check's and the output's errors reach the user and the log, and the
// description pane comes back however they end.
TEST(MainWindow, CheckAndOutputErrorsAreShownAndLoggedAndTheFlagComesBack) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  f.Run([&] { f.Main->N12->Click(); });
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_EQ(f.Script.Boxes[0].Flags, Cardinal(MB_OK | MB_ICONWARNING));
  EXPECT_FALSE(f.Script.Boxes[0].Text.empty());
  EXPECT_TRUE(frm_meta_edit->RecordReady());

  // A record with a file name is written there without a dialog; the
  // failed check asks first, and a file that cannot be written is an error.
  ExecSql(f.DbPath, "update t_metadata set content = 'title' where code = '010101'");
  String error;
  ASSERT_TRUE(dm->LoadRecord(error, dm->CurrentMetaId));
  frm_meta_edit->SetFileName(U16((f.Folder / "no-such-folder" / "out.xml").string()));
  f.Script.Answers = {IDYES};
  f.Run([&] { ClickToolButton(f.Main, f.Main->spb_save); });
  EXPECT_EQ(f.Script.SaveAsked, 0);
  ASSERT_EQ(f.Script.Boxes.size(), 3u);
  EXPECT_EQ(f.Script.Boxes[1].Flags, Cardinal(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(f.Script.Boxes[2].Flags, Cardinal(MB_OK | MB_ICONWARNING));
  EXPECT_TRUE(frm_meta_edit->RecordReady());
  std::ifstream log(U8(LogFileName()));
  std::string logText((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(logText.find(U8(f.Script.Boxes[0].Text)), std::string::npos) << logText;
  EXPECT_NE(logText.find("未知错误:" + U8(f.Script.Boxes[2].Text)), std::string::npos) << logText;
}

// Without a file name the output asks for one: ".xml" is added unless the
// name ends in it (any letter case), and an existing file is replaced only
// on Yes.
TEST(MainWindow, OutputAsksForANameAndBeforeReplacingAFile) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  f.WriteFile("taken.xml", "<old/>");
  f.WriteFile("upper.XML", "<old/>");
  struct {
    std::string Chosen;
    bool Asked;  // whether it asked to replace the file
    Cardinal Flags;
    std::function<void()> Command;
  } cases[] = {
      {"taken", true, MB_YESNO | MB_ICONQUESTION, [&] { f.Main->N3->Click(); }},
      {"upper.XML", true, MB_YESNO | MB_ICONQUESTION, [&] { ClickToolButton(f.Main, f.Main->spb_save); }},
      {"taken", true, MB_YESNO, [&] { f.Main->N4->Click(); }},
      {"fresh", false, 0, [&] { f.Main->N4->Click(); }},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Chosen);
    f.Script.Boxes.clear();
    f.Script.SaveNames = {U16((f.Folder / c.Chosen).string())};
    f.Run(c.Command);
    ASSERT_FALSE(f.Script.Boxes.empty());
    if (c.Asked) {
      // Declined: nothing is written, so nothing fails either.
      EXPECT_EQ(f.Script.Boxes.size(), 1u);
      EXPECT_EQ(f.Script.Boxes[0].Text, u"XML文件已存在，是否覆盖？");
      EXPECT_EQ(f.Script.Boxes[0].Caption, u"确认");
      EXPECT_EQ(f.Script.Boxes[0].Flags, c.Flags);
    } else {
      // Not asked: the writing was tried, and the empty record's failed
      // check asks whether to go on.
      EXPECT_EQ(f.Script.Boxes[0].Flags, Cardinal(MB_YESNO | MB_ICONQUESTION));
      EXPECT_EQ(f.Script.Boxes[0].Text.rfind(u"异常信息：", 0), 0u);
    }
    EXPECT_EQ(f.One("select 1"), "1");
  }
  EXPECT_EQ(f.Script.SaveAsked, 4);
  // A cancelled dialog does nothing.
  f.Script.Boxes.clear();
  f.Run([&] { f.Main->N3->Click(); });
  EXPECT_TRUE(f.Script.Boxes.empty());
}

TEST(MainWindow, PreviewWithoutItsStyleSheetSaysWhereToPutIt) {
  TMainFixture f;
  f.NewThroughToolbar(true);
  fs::remove(f.Folder / "core.xsl");
  f.Run([&] { ClickToolButton(f.Main, f.Main->spb_preview); });
  const String folder = U16(f.Folder.string()) + u"/";
  EXPECT_EQ(f.Script.Texts(), std::vector<String>{u"样式单文件：\n\r" + folder + u"core.xsl\n\r没有找到，请将样式单文件放到系统文件的同级目录下：\n\r" + folder});
  EXPECT_TRUE(frm_meta_edit->RecordReady());
  // With the sheet there, the failure to write the record is shown; the
  // record keeps its caption.
  f.Script.Boxes.clear();
  f.Run([&] { f.Main->N10->Click(); });
  ASSERT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_EQ(f.Script.Boxes[0].Flags, Cardinal(MB_OK | MB_ICONWARNING));
  EXPECT_EQ(frm_meta_edit->Caption(), u"未命名");
  EXPECT_TRUE(frm_meta_edit->RecordReady());
  EXPECT_TRUE(f.Shell.Opened.empty());
}

TEST(MainWindow, AnUnhandledErrorIsLoggedOnly) {
  TMainFixture f;
  Exception error(u"boom");
  Application->OnException(Application, &error);
  EXPECT_TRUE(f.Script.Boxes.empty());
  std::ifstream log(U8(LogFileName()));
  std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("未知错误:boom"), std::string::npos) << text;
}

// The program does not start over a database file that is missing or
// cannot be read: the user is told which file and why, and the file is
// neither created nor changed.
TEST(ProgramStart, AMissingOrDamagedDatabaseIsReportedAndLeftAlone) {
  struct {
    const char* Name;
    const char* Bytes;  // nullptr: no file
    const char* Reason;
  } cases[] = {{"missing", nullptr, "文件不存在"}, {"damaged", "this is not a database", "not a database"}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TProgramFixture f;
    TScriptedDialogs script;
    SetDialogService(&script);
    Tdm* keep = dm;
    fs::remove(f.DbPath);
    if (c.Bytes) std::ofstream(f.DbPath, std::ios::binary) << c.Bytes;
    dm = nullptr;
    EXPECT_FALSE(OpenRecordDatabase());
    EXPECT_EQ(dm, nullptr);
    ASSERT_EQ(script.Boxes.size(), 1u);
    const std::string text = U8(script.Boxes[0].Text);
    EXPECT_NE(text.find(f.DbPath), std::string::npos) << text;
    EXPECT_NE(text.find(c.Reason), std::string::npos) << text;
    if (c.Bytes) {
      EXPECT_EQ(fs::file_size(f.DbPath), std::strlen(c.Bytes));
    } else {
      EXPECT_FALSE(fs::exists(f.DbPath));
    }
    dm = keep;
    SetDialogService(&f.Dialogs);
  }
}

}  // namespace
