// Open and save dialog components over a dialog service that answers like a user.
#include <gtest/gtest.h>

#include "platform/gui/filedialogs.h"

namespace {

// Answers every file dialog with Answer and keeps the last request.
class TScriptedDialogs : public TDialogService {
public:
  TFileDialogResult Answer;
  TFileDialogRequest Last;
  bool LastWasSave = false;
  Integer MessageBox(HWND, const String&, const String&, Cardinal) override { return IDOK; }
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest& R) override { return Remember(R, false); }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest& R) override { return Remember(R, true); }

private:
  TFileDialogResult Remember(const TFileDialogRequest& R, bool Save) {
    Last = R;
    LastWasSave = Save;
    return Answer;
  }
};

struct TDialogFixture {
  TDialogFixture() { Old = SetDialogService(&Service); }
  ~TDialogFixture() { SetDialogService(Old); }
  TScriptedDialogs Service;
  TDialogService* Old;
};

TEST(FileDialogs, SaveDialogPassesItsSettingsAndAddsTheDefaultExtension) {
  TDialogFixture f;
  TSaveDialog dialog(nullptr);
  dialog.SetFilter(u"*.xml|*.xml");
  dialog.SetDefaultExt(u"xml");
  dialog.SetFileName(u"记录");
  dialog.SetOptions(ofOverwritePrompt);
  f.Service.Answer = {true, {u"/data/记录"}, 1};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_TRUE(f.Service.LastWasSave);
  EXPECT_EQ(f.Service.Last.Filter, u"*.xml|*.xml");
  EXPECT_EQ(f.Service.Last.FileName, u"记录");
  EXPECT_TRUE(f.Service.Last.OverwritePrompt);
  EXPECT_EQ(dialog.FileName(), u"/data/记录.xml");
  // A name with an extension of its own keeps it; a dot in a folder name does not count.
  f.Service.Answer = {true, {u"/data/a.txt"}, 1};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), u"/data/a.txt");
  f.Service.Answer = {true, {u"/data.d/b"}, 1};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), u"/data.d/b.xml");
}

TEST(FileDialogs, CancelAnswersFalseAndNeverAnEarlierChoice) {
  TDialogFixture f;
  TOpenDialog dialog(nullptr);
  dialog.SetOptions(ofAllowMultiSelect | ofFileMustExist);
  f.Service.Answer = {true, {u"/a.xml", u"/b.xml"}, 2};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_FALSE(f.Service.LastWasSave);
  EXPECT_TRUE(f.Service.Last.AllowMultiSelect);
  EXPECT_TRUE(f.Service.Last.FileMustExist);
  EXPECT_EQ(dialog.Files()->Count(), 2);
  EXPECT_EQ(dialog.FilterIndex(), 2);
  dialog.SetFileName(u"proposed.xml");
  f.Service.Answer = {};  // cancelled
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), u"proposed.xml");
  EXPECT_EQ(dialog.Files()->Count(), 0);
  // "Accepted" without any name is a cancel too.
  f.Service.Answer = {true, {}, 1};
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), u"proposed.xml");
}

}  // namespace
