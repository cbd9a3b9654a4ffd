// The page control: its tabs, the active sheet below them, a click on a tab
// bringing its sheet forward, hot tracking and the picture of the tabs.
#include "platform/gui/comctrls.h"

#include <gtest/gtest.h>

#include "platform/gui/extctrls.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

struct TPagesForm : TTestForm {
  TPagesForm() : TTestForm(320, 240) {
    Pages = Place<TPageControl>(10, 10, 300, 200);
    for (const char16_t* Caption : {u"    Bands    ", u"   Columns   "}) {
      auto* Sheet = new TTabSheet(Form);
      Sheet->SetCaption(Caption);
      Sheet->SetPageControl(Pages);
      auto* Inner = new TPanel(Form);
      Inner->SetParent(Sheet);
      Inner->SetAlign(alClient);
      Inner->SetBevelOuter(bvNone);
      Sheets.push_back(Sheet);
      Panels.push_back(Inner);
    }
    ShowForm();
  }
  TPoint TabCenter(Integer AIndex) {
    const TRect R = Pages->TabRect(AIndex);
    return TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
  }
  TPageControl* Pages = nullptr;
  std::vector<TTabSheet*> Sheets;
  std::vector<TPanel*> Panels;
};

}  // namespace

TEST(PageControl, TheFirstSheetShowsBelowTheTabsAndAClickBringsAnotherForward) {
  TPagesForm F;
  ASSERT_EQ(F.Pages->PageCount(), 2);
  EXPECT_EQ(F.Pages->ActivePage(), F.Sheets[0]);
  EXPECT_TRUE(F.Sheets[0]->Visible());
  EXPECT_FALSE(F.Sheets[1]->Visible());
  // The sheet fills the frame below the tabs; what it holds fills the sheet.
  const TRect Page = F.Pages->PageRect();
  EXPECT_EQ(F.Sheets[0]->BoundsRect(), Page);
  EXPECT_GE(Page.Top, F.Pages->TabHeight());
  EXPECT_EQ(F.Panels[0]->Width(), Page.Width());
  // Tabs stand side by side, each as wide as its caption.
  const TRect First = F.Pages->TabRect(0), Second = F.Pages->TabRect(1);
  EXPECT_LE(First.Right, Second.Left + TPageControl::SelectedTabRise);
  EXPECT_GT(Second.Width(), 20);
  Integer Changes = 0;
  F.Pages->OnChange = TNotifyEvent(F.Form, [&](TObject*) { ++Changes; });
  F.ClickOn(F.Pages, F.TabCenter(1));
  EXPECT_EQ(F.Pages->ActivePage(), F.Sheets[1]);
  EXPECT_TRUE(F.Sheets[1]->Visible());
  EXPECT_FALSE(F.Sheets[0]->Visible());
  EXPECT_EQ(Changes, 1);
  // A click on the active tab or beside the tabs changes nothing.
  F.ClickOn(F.Pages, F.TabCenter(1));
  F.ClickOn(F.Pages, TPoint{F.Pages->Width() - 5, 5});
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(F.Pages->IndexOfTabAt(F.Pages->Width() - 5, 5), -1);
  // A sheet that leaves takes its tab; the neighbour becomes active.
  F.Sheets[1]->SetPageControl(nullptr);
  EXPECT_EQ(F.Pages->PageCount(), 1);
  EXPECT_EQ(F.Pages->ActivePage(), F.Sheets[0]);
  EXPECT_TRUE(F.Sheets[0]->Visible());
}

TEST(PageControl, HotTrackingAndThePictureOfTheTabs) {
  TPagesForm F;
  F.Pages->SetHotTrack(true);
  TestMouseMove(F.Pages->Handle(), F.TabCenter(1));
  Application->ProcessMessages();
  EXPECT_EQ(F.Pages->HotTabIndex(), 1);
  TBitmap Picture(F.Pages->Width(), F.Pages->Height(), pf32bit);
  F.Pages->PaintTo(Picture.Canvas()->Handle(), 0, 0);
  SavePicture(&Picture, "pagecontrol_tabs.png", 2);
  // The hot caption is drawn in the highlight colour; the frame's top line
  // runs in the highlight colour of buttons beside the tabs.
  const TRect Hot = F.Pages->TabRect(1);
  Integer HotPixels = 0;
  for (Integer Y = Hot.Top; Y < Hot.Bottom; ++Y)
    for (Integer X = Hot.Left; X < Hot.Right; ++X) HotPixels += Picture.PixelColor(X, Y) == ColorToRGB(clHighlight);
  EXPECT_GT(HotPixels, 5);
  const Integer FrameTop = F.Pages->TabHeight();
  EXPECT_EQ(Picture.PixelColor(F.Pages->Width() - 10, FrameTop), ColorToRGB(clBtnHighlight));
  // Without hot tracking no tab is hot.
  F.Pages->SetHotTrack(false);
  EXPECT_EQ(F.Pages->HotTabIndex(), -1);
}
