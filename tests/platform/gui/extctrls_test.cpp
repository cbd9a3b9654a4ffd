// Panels, splitters, pictures on forms, the toolbar band and speed buttons.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

// A cool bar across the form with bands A and B in the first row and C in
// a second, each holding a panel 60 x 24.
struct TBandFixture : TBareForm {
  TBandFixture() {
    Bar = new TCoolBar(Form);
    Bar->SetParent(Form);
    Bar->SetAutoSize(true);
    for (const char16_t* name : {u"A", u"B", u"C"}) {
      auto* panel = new TPanel(Form);
      panel->SetBounds(0, 0, 60, 24);
      panel->SetCaption(name);
      Bar->AddBand(panel);
    }
    Bar->Bands(2)->SetBreak(true);
    Bar->OnChange = TNotifyEvent(Form, [this](TObject*) { ++Changes; });
  }
  // The rows by the captions of the bands' panels.
  std::vector<String> Rows() const {
    std::vector<String> rows;
    for (Integer i = 0; i < Bar->BandCount(); ++i) {
      TCoolBand* b = Bar->Bands(i);
      if (i == 0 || b->Break()) rows.emplace_back();
      rows.back() += static_cast<TPanel*>(b->Control())->Caption();
    }
    return rows;
  }
  TCoolBand* Band(Char Name) const {
    for (Integer i = 0; i < Bar->BandCount(); ++i)
      if (static_cast<TPanel*>(Bar->Bands(i)->Control())->Caption() == String(1, Name)) return Bar->Bands(i);
    return nullptr;
  }
  // Drags a band by the middle of its grip to a point of the bar's client area.
  void Drag(Char Name, const TPoint& To) {
    const TRect grip = Bar->GripRect(Band(Name));
    const TPoint from{(grip.Left + grip.Right) / 2, (grip.Top + grip.Bottom) / 2};
    TestMousePress(Bar->Handle(), from);
    TestMouseMove(Bar->Handle(), TPoint{(from.X + To.X) / 2, (from.Y + To.Y) / 2});
    TestMouseMove(Bar->Handle(), To);
    TestMouseRelease(Bar->Handle(), To);
  }
  TCoolBar* Bar;
  Integer Changes = 0;
};

TEST(CoolBar, BandsStandInRowsWithTheirControlsBesideTheGrips) {
  TBandFixture f;
  EXPECT_EQ(f.Rows(), (std::vector<String>{u"AB", u"C"}));
  const TRect a = f.Bar->BandRect(f.Band(u'A')), b = f.Bar->BandRect(f.Band(u'B')), c = f.Bar->BandRect(f.Band(u'C'));
  EXPECT_EQ(a.Left, 0);
  EXPECT_EQ(b.Left, a.Right);
  EXPECT_EQ(b.Right, f.Bar->ClientWidth()) << "the last band of a row takes the rest";
  EXPECT_EQ(c.Top, a.Bottom);
  EXPECT_EQ(f.Bar->Height(), c.Bottom + 2) << "the bar is as tall as its rows";
  for (Char n : {u'A', u'B', u'C'}) {
    TControl* panel = f.Band(n)->Control();
    const TRect band = f.Bar->BandRect(f.Band(n));
    EXPECT_EQ(panel->Left(), band.Left + TCoolBar::GripWidth + TCoolBar::BandMargin) << char(n);
    EXPECT_GE(panel->Top(), band.Top);
    EXPECT_LE(panel->Top() + panel->Height(), band.Bottom);
  }
  // A freed control leaves its band empty; a deleted band's row-mates keep their row.
  f.Band(u'C')->Control()->Free();
  EXPECT_EQ(f.Bar->Bands(2)->Control(), nullptr);
  f.Bar->DeleteBand(f.Bar->Bands(2));
  f.Bar->DeleteBand(f.Band(u'A'));
  EXPECT_EQ(f.Rows(), std::vector<String>{u"B"});
  EXPECT_EQ(f.Bar->BandRect(f.Band(u'B')).Left, 0);
}

TEST(CoolBar, TheUserDragsABandByItsGrip) {
  struct {
    const char* Name;
    Char Band;
    std::function<TPoint(TBandFixture&)> To;
    std::vector<String> Rows;
    bool FixedOrder = false;
  } const Cases[] = {
      {"before another band of its row", u'B', [](TBandFixture&) { return TPoint{5, 10}; }, {u"BA", u"C"}},
      {"after another band of its row", u'A', [](TBandFixture& f) { return TPoint{f.Bar->ClientWidth() - 5, 10}; },
       {u"BA", u"C"}},
      {"into another row", u'C', [](TBandFixture& f) {
         const TRect b = f.Bar->BandRect(f.Band(u'B'));
         return TPoint{b.Left + 5, b.Top + 5};
       }, {u"ACB"}},
      {"below the last row: a row of its own", u'A', [](TBandFixture& f) { return TPoint{20, f.Bar->Height() + 10}; },
       {u"B", u"C", u"A"}},
      {"above the first row: a row of its own", u'C', [](TBandFixture&) { return TPoint{20, -10}; },
       {u"C", u"AB"}},
      {"nowhere when the order is fixed", u'B', [](TBandFixture&) { return TPoint{5, 10}; }, {u"AB", u"C"}, true},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TBandFixture f;
    f.Bar->SetFixedOrder(Case.FixedOrder);
    f.Drag(Case.Band, Case.To(f));
    EXPECT_EQ(f.Rows(), Case.Rows);
    EXPECT_EQ(f.Changes, Case.FixedOrder ? 0 : 1);
    EXPECT_EQ(f.Bar->DraggedBand(), nullptr);
    // The controls follow their bands; the bar fits its rows.
    const TRect moved = f.Bar->BandRect(f.Band(Case.Band));
    EXPECT_EQ(f.Band(Case.Band)->Control()->Left(), moved.Left + TCoolBar::GripWidth + TCoolBar::BandMargin);
    EXPECT_EQ(f.Bar->Height(), 2 + 28 * static_cast<Integer>(Case.Rows.size()) + 2);
  }
}

TEST(CoolBar, AGripPressedAndReleasedInPlaceChangesNothing) {
  TBandFixture f;
  const TRect grip = f.Bar->GripRect(f.Band(u'B'));
  TestClick(f.Bar->Handle(), TPoint{grip.Left + 3, grip.Top + 5});
  // Moving the mouse afterwards drags nothing.
  TestMouseMove(f.Bar->Handle(), TPoint{5, 10});
  EXPECT_EQ(f.Rows(), (std::vector<String>{u"AB", u"C"}));
  EXPECT_EQ(f.Changes, 0);
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
