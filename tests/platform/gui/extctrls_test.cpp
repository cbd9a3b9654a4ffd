// Panels, splitters, pictures on forms, the toolbar band and speed buttons.
#include <gtest/gtest.h>

#include "platform/gui/buttons.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/testinput.h"
#include "platform/gui/windowing.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

struct TBareForm {
  TBareForm() {
    EnsureGuiRuntime();
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    Form->Show();
  }
  ~TBareForm() {
    Form->Free();
    Application->ProcessMessages();
  }
  TForm* Form;
};

TEST(Panel, AlignedChildrenStayInsideBevelsAndBorder) {
  TBareForm f;
  auto* panel = new TPanel(f.Form);
  panel->SetParent(f.Form);
  panel->SetBounds(0, 0, 200, 100);
  auto* inner = new TPanel(f.Form);
  inner->SetParent(panel);
  inner->SetAlign(alClient);
  EXPECT_EQ(inner->BoundsRect(), (TRect{1, 1, 199, 99}));
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  panel->SetBorderWidth(3);
  EXPECT_EQ(inner->BoundsRect(), (TRect{7, 7, 193, 93}));
  panel->SetBevelOuter(bvNone);
  panel->SetBevelInner(bvNone);
  panel->SetBorderWidth(0);
  EXPECT_EQ(inner->BoundsRect(), (TRect{0, 0, 200, 100}));
}

TEST(Splitter, DraggingResizesTheControlBesideItWithinLimits) {
  TBareForm f;
  auto* left = new TPanel(f.Form);
  left->SetParent(f.Form);
  left->SetAlign(alLeft);
  left->SetWidth(100);
  auto* splitter = new TSplitter(f.Form);
  splitter->SetParent(f.Form);
  splitter->SetLeft(150);  // aligned to the right of the panel
  splitter->SetMinSize(40);
  auto* rest = new TPanel(f.Form);
  rest->SetParent(f.Form);
  rest->SetAlign(alClient);
  ASSERT_EQ(splitter->FindControl(), left);
  Integer moved = 0;
  splitter->OnMoved = TNotifyEvent(&f, [&](TObject*) { ++moved; });
  HWND h = f.Form->Handle();
  Integer x = splitter->Left() + 1;
  struct TCase {
    Integer Delta;
    Integer Width;
  } cases[] = {{40, 140}, {-200, 40}, {1000, 400 - 3 - (f.Form->Width() - f.Form->ClientWidth())}};
  for (const TCase& c : cases) {
    x = splitter->Left() + 1;
    Integer start = left->Width();
    TestMousePress(h, TPoint{x, 50});
    TestMouseMove(h, TPoint{x + c.Delta, 50}, 0);
    TestMouseRelease(h, TPoint{x + c.Delta, 50});
    EXPECT_EQ(left->Width(), c.Width) << "from " << start << " by " << c.Delta;
    EXPECT_EQ(splitter->Left(), left->Width());
  }
  EXPECT_EQ(moved, 3);
}

TEST(SpeedButton, FlatButtonsClickToggleInGroupsAndShowTheirGlyph) {
  TBareForm f;
  auto* bar = new TCoolBar(f.Form);
  bar->SetParent(f.Form);
  auto images = TImageList::CreateSize(16, 16);
  TBitmap glyph(16, 16, pf24bit);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(TRect{0, 0, 16, 16});
  images->Add(&glyph, nullptr);
  auto* a = new TSpeedButton(f.Form);
  auto* b = new TSpeedButton(f.Form);
  for (TSpeedButton* s : {a, b}) {
    s->SetParent(bar);
    s->SetFlat(true);
    s->SetImages(images.get());
    s->SetImageIndex(0);
    s->SetGroupIndex(1);
    s->SetBounds(s == a ? 2 : 36, 2, 25, 25);
  }
  a->SetHint(u"新建");
  Integer clicks = 0;
  a->OnClick = TNotifyEvent(&f, [&](TObject*) { ++clicks; });
  TestClick(bar->Handle(), TPoint{10, 10});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(a->Down());
  TestClick(bar->Handle(), TPoint{45, 10});
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  TestMouseMove(bar->Handle(), TPoint{10, 10});
  EXPECT_TRUE(a->MouseInControl());
  UpdateWindow(bar->Handle());
  TBitmap* shown = GetWindowBuffer(bar->Handle());
  ASSERT_NE(shown, nullptr);
  TRect area = GetClientArea(bar->Handle());
  EXPECT_EQ(shown->PixelColor(area.Left + 2 + 12, area.Top + 2 + 12), clRed);
  images.reset();  // a freed image list is forgotten
  EXPECT_EQ(a->Images(), nullptr);
}

TEST(Image, AutoSizeStretchAndCentre) {
  TBareForm f;
  auto* image = new TImage(f.Form);
  image->SetParent(f.Form);
  TBitmap pic(40, 20, pf24bit);
  image->SetAutoSize(true);
  image->Picture()->Assign(&pic);
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 20);
  image->SetAutoSize(false);
  image->SetBounds(0, 0, 100, 100);
  image->SetStretch(true);
  image->SetProportional(true);
  image->SetCenter(true);
  EXPECT_EQ(image->DestRect(), (TRect{0, 25, 100, 75}));
  image->SetStretch(false);
  EXPECT_EQ(image->DestRect(), (TRect{30, 40, 70, 60}));
}

}  // namespace
