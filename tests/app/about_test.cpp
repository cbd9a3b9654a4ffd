#include "app/about.h"

#include <gtest/gtest.h>

#include "platform/gui/testinput.h"
#include "tests/app/apptestutil.h"

namespace {

using namespace app_test;

TEST(About, ShowsNameAndVersionAndClosesOnOk) {
  TProgramFixture f(true);
  auto* about = new Tfrm_about(nullptr);
  EXPECT_EQ(about->Caption(), u"关于");
  EXPECT_EQ(about->Label4->Caption(), u"Korvane");
  EXPECT_EQ(about->Label1->Caption(), u"Korvane");
  EXPECT_EQ(about->Label2->Caption(), u"版本：2.0");
  EXPECT_EQ(about->Label4->Font()->Name(), u"黑体");
  EXPECT_EQ(about->Label4->Font()->Height(), -19);
  EXPECT_EQ(about->Label1->Font()->Name(), u"宋体");
  EXPECT_GT(about->Image1->Picture()->Width(), 0);
  RunModal(about, [&] { TestClick(about->btn_ok->Handle(), Middle(about->btn_ok)); });
  EXPECT_FALSE(about->Visible());
  EXPECT_TRUE(f.Dialogs.Texts.empty());
  about->Free();
}

TEST(About, AMissingOrDamagedPictureLeavesTheImageEmpty) {
  for (bool damaged : {false, true}) {
    SCOPED_TRACE(damaged ? "damaged" : "missing");
    TProgramFixture f;
    if (damaged) {
      fs::create_directories(f.Folder / "images");
      ExecSql((f.Folder / "images" / "about.png").string(), "");  // an empty database, not a picture
    }
    Tfrm_about* about = nullptr;
    EXPECT_NO_THROW(about = new Tfrm_about(nullptr));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->Image1->Picture()->Graphic(), nullptr);
    EXPECT_TRUE(f.Dialogs.Texts.empty());
    about->Free();
  }
}

TEST(About, PictureShowsTheImageAndTheChineseLabels) {
  TProgramFixture f(true);
  auto* about = new Tfrm_about(nullptr);
  about->Show();
  Application->ProcessMessages();
  auto picture = Picture(about, "about");
  const TColor background = about->Color();
  EXPECT_GT(CountNot(*picture, about->Image1->BoundsRect(), background), 2000);
  for (TLabel* label : {about->Label4, about->Label1, about->Label2}) {
    EXPECT_GT(label->Width(), 20) << U8(label->Caption());
    EXPECT_GT(CountNot(*picture, label->BoundsRect(), background), 30) << U8(label->Caption());
  }
  // The large bold name is taller than the plain one.
  EXPECT_GT(about->Label4->Height(), about->Label1->Height());
  about->Hide();
  about->Free();
}

}  // namespace
