#include "app/meta_edit.h"

#include <gtest/gtest.h>

#include "tests/app/maintestutil.h"

namespace {

using namespace app_test;

TEST(EditingWindow, TheCaptionIsTheFileNameOrUnnamed) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  struct {
    const char16_t* Name;
    const char16_t* Caption;
  } cases[] = {{u"/data/冻土.xml", u"/data/冻土.xml"}, {u"", u"未命名"}};
  for (auto& c : cases) {
    frm_meta_edit->SetFileName(c.Name);
    EXPECT_EQ(frm_meta_edit->FileName(), c.Name);
    EXPECT_EQ(frm_meta_edit->Caption(), c.Caption);
  }
}

// The pane follows the focused element only while a record is ready, no
// insert, delete or move runs, and no row is being posted.
TEST(EditingWindow, TheDescriptionFollowsTheRecordOnlyWhenAllIsIdle) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  Tfrm_meta_edit* w = frm_meta_edit;
  struct {
    bool Ready, EditIdle, PostIdle, Shown;
  } cases[] = {{true, true, true, true},
               {false, true, true, false},
               {true, false, true, false},
               {true, true, false, false}};
  for (auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Ready << c.EditIdle << c.PostIdle);
    dm->SetDescriptionRefresh(true);
    w->SetRecordReady(true);
    dm->aq_metadata->First();
    w->m_descr->Clear();
    w->SetRecordReady(c.Ready);
    w->SetEditIdle(c.EditIdle);
    dm->SetDescriptionRefresh(c.PostIdle);
    ASSERT_TRUE(dm->aq_metadata->Locate(u"code", Variant(String(TitleElementCode)), {}));
    EXPECT_EQ(w->m_descr->Lines()->Count(), c.Shown ? 2 : 0);
    if (c.Shown) {
      EXPECT_EQ(w->m_descr->Lines()->Strings(0),
                u"节点定义：" + dm->aq_moreINfo->FieldByName(u"descr")->AsString());
    }
  }
  dm->SetDescriptionRefresh(true);
  w->SetEditIdle(true);
}

// A post in the middle of a command does not make the record ready again:
// the data module's post hooks use a flag of their own.
TEST(EditingWindow, APostDuringACommandLeavesTheRecordPaused) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  Tfrm_meta_edit* w = frm_meta_edit;
  w->SetRecordReady(false);  // as a command does
  ASSERT_TRUE(dm->aq_metadata->Locate(u"code", Variant(String(TitleElementCode)), {}));
  dm->aq_metadata->Edit();
  dm->aq_metadata->FieldByName(u"content")->SetAsString(u"title");
  dm->aq_metadata->Post();
  EXPECT_FALSE(w->RecordReady());
  EXPECT_TRUE(w->PostIdle());
  w->m_descr->Clear();
  dm->aq_metadata->First();
  EXPECT_EQ(w->m_descr->Lines()->Count(), 0);
}

TEST(EditingWindow, ClosingWritesAPendingEditOrStaysOpenWhenItIsRefused) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  const std::string key = f.Key();
  auto typeTitle = [](const String& Text) {
    ASSERT_TRUE(dm->aq_metadata->Locate(u"code", Variant(String(TitleElementCode)), {}));
    dm->aq_metadata->Edit();
    dm->aq_metadata->FieldByName(u"content")->SetAsString(Text);
  };
  ExecSql(f.DbPath, "CREATE TRIGGER refuse BEFORE UPDATE ON t_metadata WHEN new.content = 'locked' "
                    "BEGIN SELECT RAISE(ABORT, 'row is locked'); END;");
  typeTitle(u"locked");
  f.Run([] { frm_meta_edit->Close(); });
  ASSERT_NE(frm_meta_edit, nullptr);
  EXPECT_EQ(f.Script.Boxes.size(), 1u);
  EXPECT_TRUE(f.Main->RecordCommandsEnabled());
  dm->aq_metadata->Cancel();

  typeTitle(u"kept");
  f.Run([] { frm_meta_edit->Close(); });
  EXPECT_EQ(frm_meta_edit, nullptr);
  EXPECT_EQ(f.One("select content from t_metadata where meta_id = '" + key + "' and code = '010101'"), "kept");
}

TEST(EditingWindow, CodeListsThatCannotOpenCloseTheWindowWithAMessage) {
  TMainFixture f;
  ExecSql(f.DbPath, "ALTER TABLE " + U8(Tdm_list::ListTableName(Tdm_list::LastList)) + " RENAME TO gone");
  TUserScript user;
  user.Kind(false);
  f.Run([&] { f.Main->N1->Click(); });
  EXPECT_EQ(f.Script.Texts(), std::vector<String>{u"初始化错误"});
  EXPECT_EQ(frm_meta_edit, nullptr);
  EXPECT_FALSE(f.Main->RecordCommandsEnabled());
  EXPECT_EQ(f.Count("t_metakind"), "0");
}

TEST(EditingWindow, CheckAndOutputSayTheyAreNotAvailableYet) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  String text;
  EXPECT_FALSE(frm_meta_edit->CheckStructure(text));
  EXPECT_FALSE(text.empty());
  EXPECT_THROW(frm_meta_edit->WriteXml(U16((f.Folder / "x.xml").string())), Exception);
  EXPECT_FALSE(fs::exists(f.Folder / "x.xml"));
}

TEST(EditingWindow, PictureShowsTheTreeAreaAndTheDescriptionPane) {
  TMainFixture f;
  f.NewThroughToolbar(false);
  Application->ProcessMessages();
  // The frame, then the editing window in its client area below the toolbar.
  Tfrm_meta_edit* w = frm_meta_edit;
  ASSERT_TRUE(w->Visible());
  const Integer clientTop = f.Main->CoolBar1->Top() + f.Main->CoolBar1->Height();
  auto picture = std::make_unique<TBitmap>(f.Main->ClientWidth(), f.Main->ClientHeight(), pf24bit);
  f.Main->PaintTo(picture->Canvas(), 0, 0);
  w->PaintTo(picture->Canvas(), 0, clientTop);
  picture->SaveToFile(u"/tmp/korvane_main_with_record.png");
  EXPECT_EQ(w->Width(), f.Main->ClientWidth());
  EXPECT_EQ(w->Height(), f.Main->ClientHeight() - clientTop);
  // The description pane is at the bottom of the window, in the hint
  // colour, with its two lines of text.
  TPoint pane = w->m_descr->ClientToScreen(TPoint{0, 0});
  TPoint origin = w->ClientToScreen(TPoint{0, 0});
  TRect r{pane.X - origin.X, pane.Y - origin.Y + clientTop, pane.X - origin.X + w->m_descr->Width(),
          pane.Y - origin.Y + clientTop + w->m_descr->Height()};
  EXPECT_GT(r.Top, f.Main->ClientHeight() / 2);
  EXPECT_GT(CountOf(*picture, r, clInfoBk), r.Width() * r.Height() / 2);
  EXPECT_GT(CountNot(*picture, r, clInfoBk), 100);
  // The tree of elements fills the area above it.
  TRect tree{10, clientTop + 10, w->Width() - 10, r.Top - 20};
  EXPECT_GT(CountNot(*picture, tree, clWindow), tree.Width() * tree.Height() / 20);
  // The enabled record commands draw their glyphs.
  TRect save = f.Main->spb_save->BoundsRect();
  OffsetRect(save, f.Main->CoolBar1->Left(), f.Main->CoolBar1->Top());
  EXPECT_GT(CountNot(*picture, save, clBtnFace), 20);
}

}  // namespace
