// The container control and its styles driven offscreen: value resolution
// through style controllers, the view info of each border style and state,
// hot tracking, the inner control, the window region, painting by pixels,
// the native look with a theme service of the test's own, and a gallery.
#include "foundation/cxContainer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/qzOffice11.h"
#include "foundation/qzThemeManager.h"
#include "foundation/qzUxTheme.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/testinput.h"
#include "platform/gui/timers.h"
#include "platform/gui/windowing.h"
#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "tests/foundation/foundation_test.h"

using namespace cxTest;

namespace {

constexpr TcxBorders AllEdges = cxAllBorders;
constexpr TcxContainerBorderStyle AllBorderStyles[] = {cbsNone, cbsSingle, cbsThick, cbsFlat,
                                                       cbs3D,   cbsUltraFlat, cbsOffice11};


// A plain window control to host.
class TInner : public TCustomControl {
public:
  explicit TInner(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
};

// A container whose style notices are counted.
class TProbe : public TcxContainer {
public:
  explicit TProbe(TComponent* AOwner) : TcxContainer(AOwner) {}
  Integer StyleChanges = 0;
  Integer InnerMessages = 0;
  bool ButtonFace = false;
  bool PreviewInnerMessage(TMessage& M) override {
    ++InnerMessages;
    return TcxContainer::PreviewInnerMessage(M);
  }
  void ContainerStyleChanged() override { ++StyleChanges; }
  bool DefaultColorIsButtonFace() const override { return ButtonFace; }
  bool OwnTabOrder = false;
  bool KeepsOwnTabOrder() const override { return OwnTabOrder; }
};

// A shown form with a container at (20, 20), 120 x 30.
struct TFormFixture {
  TFormFixture() {
    EnsureGuiRuntime();
    SetSysColorTable(DistinctColors());
    SetCursorPos(0, 0);  // away from the form
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 320, 240);
    Form->SetColor(clBtnFace);
    Other = new TInner(Form);
    Other->SetBounds(10, 150, 40, 20);
    Other->SetParent(Form);
    Container = new TProbe(Form);
    Container->SetBounds(20, 20, 120, 30);
    Container->SetParent(Form);
    Form->Show();
    Application->ProcessMessages();
  }
  ~TFormFixture() {
    ReleaseCapture();
    Form->Free();
    Application->ProcessMessages();
    SetSysColorTable(DefaultSysColorTable());
  }
  void MoveTo(TControl* AControl, TPoint P) {
    TPoint s = AControl->ClientToScreen(P);
    SetCursorPos(s.X, s.Y);
  }
  TcxContainerState State() const { return Container->ViewInfo()->ContainerState; }
  TForm* Form;
  TInner* Other;
  TProbe* Container;
};

// A container without a window (view info only).
struct TLooseContainer {
  TLooseContainer(Integer AWidth = 40, Integer AHeight = 20) {
    EnsureGuiRuntime();
    Container = std::make_unique<TcxContainer>(nullptr);
    Container->SetBounds(0, 0, AWidth, AHeight);
  }
  TcxContainerViewInfo* Info() {
    Container->RefreshContainer(TPoint{-100, -100}, 0, 0, false);
    return Container->ViewInfo();
  }
  std::unique_ptr<TcxContainer> Container;
};

}  // namespace

class cxContainerTest : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGuiRuntime();
    SetSysColorTable(DistinctColors());
  }
  void TearDown() override { SetSysColorTable(DefaultSysColorTable()); }
};

// ---- Routines ----------------------------------------------------------------------------

TEST_F(cxContainerTest, RectangleAndCodeRoutines) {
  const Integer widths[] = {0, 1, 2, 2, 2, 1, 1};
  for (TcxContainerBorderStyle s : AllBorderStyles) EXPECT_EQ(ContainerBorderWidth(s), widths[s]) << s;
  EXPECT_EQ(ContainerBorderWidth(static_cast<TcxContainerBorderStyle>(9)), 0);

  EXPECT_EQ(MouseButtonToContainerButton(mbLeft), 1);
  EXPECT_EQ(MouseButtonToContainerButton(mbRight), 2);
  EXPECT_EQ(MouseButtonToContainerButton(mbMiddle), 3);

  EXPECT_EQ(DeflateRectByMargins(Rect(10, 20, 110, 220), Rect(1, 2, 3, 4)), Rect(11, 22, 107, 216));
  struct TShrink {
    TcxBorders Sides;
    TRect Expected;
  };
  const TShrink shrinks[] = {
      {AllEdges, Rect(0, 0, 50, 40)},
      {0, Rect(2, 2, 48, 38)},
      {BorderBit(bLeft) | BorderBit(bTop), Rect(0, 0, 48, 38)},
      {BorderBit(bRight) | BorderBit(bBottom), Rect(2, 2, 50, 40)},
  };
  for (const TShrink& c : shrinks) EXPECT_EQ(ShrinkRectByBorders(Rect(0, 0, 50, 40), 2, c.Sides), c.Expected);

  struct TText {
    const char16_t *A, *B;
    bool CaseSensitive, Equal;
  };
  const TText texts[] = {
      {u"Abc", u"Abc", true, true},   {u"Abc", u"aBC", true, false}, {u"Abc", u"aBC", false, true},
      {u"Abc", u"Abd", false, false}, {u"", u"", true, true},        {u"数据", u"数据", false, true},
  };
  for (const TText& c : texts) EXPECT_EQ(CompareDisplayText(c.A, c.B, c.CaseSensitive), c.Equal);

  EXPECT_FALSE(ScrollBarInfoAvailable());
  EXPECT_EQ(InnerControlContainer(nullptr), nullptr);
}

TEST_F(cxContainerTest, FillFrameAreaFillsOnlyTheRing) {
  struct TCase {
    const char* Name;
    TRect Outer, Inner;
    Integer Filled;
  };
  const TCase cases[] = {
      {"ring", Rect(2, 2, 12, 10), Rect(4, 4, 10, 8), 80 - 24},
      {"inner empty: all", Rect(2, 2, 12, 10), Rect(0, 0, 0, 0), 80},
      {"equal: nothing", Rect(2, 2, 12, 10), Rect(2, 2, 12, 10), 0},
      {"outer empty: nothing", Rect(5, 5, 5, 9), Rect(0, 0, 0, 0), 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TImage image(16, 12, clLime);
    FillFrameArea(&image.Canvas, c.Outer, c.Inner, clRed);
    Integer filled = 0;
    for (Integer y = 0; y < 12; ++y)
      for (Integer x = 0; x < 16; ++x) filled += image.Is(x, y, clRed) ? 1 : 0;
    EXPECT_EQ(filled, c.Filled);
  }
}

TEST_F(cxContainerTest, ShadowBandsAreDrawnAndClippedOut) {
  TImage image(30, 30, clLime);
  const TRect r = Rect(2, 2, 20, 16);
  DrawContainerShadow(&image.Canvas, r);
  EXPECT_TRUE(image.Is(20, 5, clBtnShadow));   // right band from top + 3
  EXPECT_TRUE(image.Is(22, 18, clBtnShadow));  // the corner
  EXPECT_TRUE(image.Is(20, 4, clLime));
  EXPECT_TRUE(image.Is(5, 16, clBtnShadow));  // bottom band from left + 3
  EXPECT_TRUE(image.Is(4, 16, clLime));
  EXPECT_TRUE(image.Is(23, 10, clLime));
  // Both bands are out of the clip now.
  image.Canvas.GetBrush()->SetColor(clRed);
  image.Bitmap.Canvas()->FillRect(Rect(0, 0, 30, 30));
  EXPECT_TRUE(image.Is(21, 10, clBtnShadow));
  EXPECT_TRUE(image.Is(10, 17, clBtnShadow));
  EXPECT_TRUE(image.Is(10, 10, clRed));
}

// ---- Style values ------------------------------------------------------------------------

TEST_F(cxContainerTest, ValuesResolveOwnThenControllerThenDefault) {
  TcxStyleController controller(nullptr);
  TcxContainer container(nullptr);
  TcxCustomContainerStyle* style = container.Style();
  // Defaults.
  EXPECT_EQ(style->BorderColor(), clWindowFrame);
  EXPECT_EQ(style->BorderStyle(), cbsUltraFlat);
  EXPECT_EQ(style->Edges(), AllEdges);
  EXPECT_TRUE(style->HotTrack());
  EXPECT_FALSE(style->Shadow());
  EXPECT_TRUE(style->TransparentBorder());
  EXPECT_EQ(style->EffectiveColor(), clWindow);
  EXPECT_EQ(style->TextColor(), style->Font()->Color());
  EXPECT_EQ(style->AssignedValues(), 0u);

  // The controller's style of the same state fills what the style leaves.
  style->SetStyleController(&controller);
  EXPECT_EQ(style->StyleController(), &controller);
  controller.Style()->SetBorderColor(clRed);
  controller.Style()->SetShadow(true);
  controller.StyleFocused()->SetColor(clYellow);
  EXPECT_EQ(style->BorderColor(), clRed);
  EXPECT_TRUE(style->Shadow());
  EXPECT_EQ(container.StyleFocused()->Color(), clYellow);
  EXPECT_EQ(style->EffectiveColor(), clWindow);  // the controller's normal style assigns no colour
  EXPECT_TRUE(style->IsValueAssigned(csvBorderColor));
  EXPECT_TRUE(container.StyleFocused()->IsValueAssigned(csvColor));
  EXPECT_FALSE(style->IsValueAssigned(csvColor));
  EXPECT_EQ(style->AssignedValues(), 0u);

  // Own values win.
  style->SetBorderColor(clBlue);
  container.StyleFocused()->SetColor(clAqua);
  EXPECT_EQ(style->BorderColor(), clBlue);
  EXPECT_EQ(container.StyleFocused()->Color(), clAqua);
  EXPECT_EQ(style->AssignedValues(), StyleValueBit(csvBorderColor));

  // Controllers chain.
  TcxStyleController outer(nullptr);
  controller.Style()->SetStyleController(&outer);
  outer.Style()->SetEdges(BorderBit(bLeft));
  outer.StyleDisabled()->SetTextColor(clMaroon);
  EXPECT_EQ(style->Edges(), BorderBit(bLeft));
  EXPECT_EQ(container.StyleDisabled()->TextColor(), clMaroon);

  // Clearing the own set brings the controller's values back.
  style->SetAssignedValues(0);
  EXPECT_EQ(style->BorderColor(), clRed);
  EXPECT_FALSE(style->IsValueAssigned(csvTransparentBorder));
}

TEST_F(cxContainerTest, StateStylesDefaultToTheMaster) {
  TcxContainer container(nullptr);
  TcxCustomContainerStyle* normal = container.Style();
  normal->SetBorderColor(clRed);
  normal->SetColor(clYellow);
  normal->SetBorderStyle(cbsSingle);
  normal->SetTextStyle(fsBold);
  EXPECT_EQ(container.StyleFocused()->BorderColor(), clRed);
  EXPECT_EQ(container.StyleHot()->Color(), clYellow);
  EXPECT_EQ(container.StyleHot()->TextStyle(), fsBold);
  // The disabled style has defaults of its own.
  EXPECT_EQ(container.StyleDisabled()->BorderColor(), clBtnShadow);
  EXPECT_EQ(container.StyleDisabled()->Color(), clBtnFace);
  EXPECT_EQ(container.StyleDisabled()->TextColor(), clBtnShadow);
  EXPECT_EQ(container.StyleDisabled()->BorderStyle(), cbsSingle);

  // With hot tracking the focused and hot styles raise the frame.
  struct TCase {
    TcxContainerBorderStyle Normal, Raised;
  };
  const TCase raises[] = {{cbsNone, cbsFlat},      {cbsSingle, cbsThick}, {cbsFlat, cbs3D},
                          {cbsThick, cbsThick},    {cbs3D, cbs3D},        {cbsUltraFlat, cbsUltraFlat},
                          {cbsOffice11, cbsOffice11}};
  for (const TCase& c : raises) {
    normal->SetBorderStyle(c.Normal);
    normal->SetHotTrack(true);
    EXPECT_EQ(container.StyleFocused()->BorderStyle(), c.Raised) << c.Normal;
    EXPECT_EQ(container.StyleHot()->BorderStyle(), c.Raised) << c.Normal;
    EXPECT_EQ(container.StyleDisabled()->BorderStyle(), c.Normal);
    normal->SetHotTrack(false);
    EXPECT_EQ(container.StyleFocused()->BorderStyle(), c.Normal);
  }

  // Master-only values set on a state style go to the master.
  container.StyleHot()->SetShadow(true);
  container.StyleFocused()->SetEdges(BorderBit(bTop));
  EXPECT_TRUE(normal->Shadow());
  EXPECT_EQ(normal->Edges(), BorderBit(bTop));
  EXPECT_EQ(container.StyleHot()->AssignedValues() & StyleValueBit(csvShadow), 0u);
  EXPECT_EQ(container.StyleFocused()->Font(), normal->Font());
  EXPECT_EQ(container.StyleFocused()->LookAndFeel(), normal->LookAndFeel());
}

TEST_F(cxContainerTest, DefaultBorderStyleFollowsTheLookAndFeelKind) {
  TcxContainer container(nullptr);
  const TcxContainerBorderStyle expected[] = {cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};
  for (Integer kind = lfFlat; kind <= lfOffice11; ++kind) {
    container.Style()->LookAndFeel()->SetKind(static_cast<TcxLookAndFeelKind>(kind));
    EXPECT_EQ(container.Style()->BorderStyle(), expected[kind]) << kind;
  }
  // Through a controller the controller's look-and-feel counts.
  TcxStyleController controller(nullptr);
  container.Style()->LookAndFeel()->SetAssignedValues(0);
  container.Style()->SetStyleController(&controller);
  controller.Style()->LookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(container.Style()->BorderStyle(), cbs3D);
  EXPECT_EQ(container.LookAndFeel()->Kind(), lfStandard);
  container.Style()->SetStyleController(nullptr);
  EXPECT_NE(container.LookAndFeel()->Kind(), lfStandard);
}

TEST_F(cxContainerTest, DirectStylesAnswerFixedValues) {
  TFont font;
  font.SetStyle(fsItalic);
  TcxContainerStyle direct(nullptr, true);
  direct.SetFont(&font);
  direct.SetColor(clRed);
  direct.SetTextColor(clBlue);
  EXPECT_EQ(direct.Font(), &font);
  EXPECT_EQ(direct.Color(), clRed);
  EXPECT_EQ(direct.TextColor(), clBlue);
  EXPECT_EQ(direct.TextStyle(), fsItalic);
  EXPECT_EQ(direct.BorderColor(), clDefault);
  EXPECT_EQ(direct.Edges(), 0u);
  EXPECT_FALSE(direct.Shadow());
  EXPECT_TRUE(direct.TransparentBorder());
  EXPECT_TRUE(direct.HotTrack());
  EXPECT_EQ(direct.LookAndFeel(), nullptr);
  EXPECT_EQ(direct.AssignedValues(), (1u << cxContainerStyleValueCount) - 1);
  direct.SetHotTrack(false);
  EXPECT_FALSE(direct.HotTrack());
  // A direct style never notifies.
  Integer notices = 0;
  direct.OnChanged = TNotifyEvent(&direct, [&](TObject*) { ++notices; });
  direct.SetColor(clYellow);
  EXPECT_EQ(notices, 0);
}

TEST_F(cxContainerTest, NoticesAndNames) {
  TcxStyleController controller(nullptr);
  TcxCustomContainerStyle* style = controller.Style();
  Integer notices = 0;
  controller.OnStyleChanged = TNotifyEvent(&controller, [&](TObject*) { ++notices; });
  style->SetColor(clRed);
  EXPECT_EQ(notices, 1);
  style->SetColor(clRed);  // same value, already assigned
  style->SetTextColor(style->TextColor());
  EXPECT_EQ(notices, 2);  // the first assignment of the text colour counts
  style->BeginUpdate();
  style->SetBorderColor(clBlue);
  style->SetShadow(true);
  style->Font()->SetSize(14);
  EXPECT_EQ(notices, 2);
  style->EndUpdate();
  EXPECT_EQ(notices, 3);
  EXPECT_NE(style->AssignedValues() & StyleValueBit(csvFont), 0u);

  EXPECT_EQ(style->StyleValueCount(), 10);
  EXPECT_EQ(style->NameOfStyleValue(0), u"BorderColor");
  EXPECT_EQ(style->NameOfStyleValue(9), u"TransparentBorder");
  EXPECT_THROW(style->NameOfStyleValue(10), EListError);
}

TEST_F(cxContainerTest, ControllersThatWouldLoopAreRefused) {
  TcxStyleController a(nullptr), b(nullptr);
  // A controller's style cannot take its own controller.
  a.Style()->SetStyleController(&a);
  EXPECT_EQ(a.Style()->StyleController(), nullptr);
  // b follows a; a cannot then follow b.
  b.Style()->SetStyleController(&a);
  a.Style()->SetStyleController(&b);
  EXPECT_EQ(b.Style()->StyleController(), &a);
  EXPECT_EQ(a.Style()->StyleController(), nullptr);
  // A longer ring is refused too.
  TcxStyleController c(nullptr);
  c.Style()->SetStyleController(&b);
  a.Style()->SetStyleController(&c);
  EXPECT_EQ(a.Style()->StyleController(), nullptr);
  a.Style()->SetBorderColor(clRed);
  EXPECT_EQ(c.Style()->BorderColor(), clRed);
}

TEST_F(cxContainerTest, ControllerChangesAndDestructionReachTheContainers) {
  auto controller = std::make_unique<TcxStyleController>(nullptr);
  TProbe first(nullptr), second(nullptr);
  first.Style()->SetStyleController(controller.get());
  second.Style()->SetStyleController(controller.get());
  EXPECT_EQ(controller->ListenerCount(), 2);
  const Integer before = first.StyleChanges;
  controller->Style()->SetColor(clYellow);
  EXPECT_EQ(first.StyleChanges, before + 1);
  EXPECT_EQ(first.Color(), clYellow);
  EXPECT_EQ(second.Color(), clYellow);
  controller->Style()->Font()->SetName(u"黑体");
  EXPECT_EQ(first.Style()->Font()->Name(), u"黑体");
  EXPECT_EQ(first.Font()->Name(), u"黑体");
  // A font of its own is kept.
  second.Style()->Font()->SetSize(20);
  controller->Style()->Font()->SetSize(9);
  EXPECT_EQ(second.Style()->Font()->Size(), 20);
  EXPECT_EQ(first.Style()->Font()->Size(), 9);

  second.Style()->SetStyleController(nullptr);
  EXPECT_EQ(controller->ListenerCount(), 1);
  controller.reset();
  EXPECT_EQ(first.Style()->StyleController(), nullptr);
  EXPECT_EQ(first.Style()->EffectiveColor(), clWindow);
  EXPECT_EQ(first.Color(), clWindow);
}

TEST_F(cxContainerTest, AssignCopiesValuesAndRestoreDefaultsClearsThem) {
  TcxStyleController controller(nullptr);
  TcxContainer source(nullptr), target(nullptr);
  source.Style()->SetStyleController(&controller);
  source.Style()->SetBorderStyle(cbsThick);
  source.Style()->SetColor(clAqua);
  source.Style()->SetEdges(BorderBit(bBottom));
  source.Style()->Font()->SetStyle(fsUnderline);
  source.Style()->LookAndFeel()->SetKind(lfOffice11);
  target.SetStyle(source.Style());
  EXPECT_EQ(target.Style()->StyleController(), &controller);
  EXPECT_EQ(target.Style()->AssignedValues(), source.Style()->AssignedValues());
  EXPECT_EQ(target.Style()->BorderStyle(), cbsThick);
  EXPECT_EQ(target.Style()->Edges(), BorderBit(bBottom));
  EXPECT_EQ(target.Style()->Font()->Style(), fsUnderline);
  EXPECT_EQ(target.Style()->LookAndFeel()->Kind(), lfOffice11);
  EXPECT_EQ(target.Color(), clAqua);

  target.Style()->RestoreDefaults();
  EXPECT_EQ(target.Style()->AssignedValues(), 0u);
  EXPECT_EQ(target.Style()->LookAndFeel()->AssignedValues(), 0u);
  EXPECT_EQ(target.Style()->Edges(), AllEdges);
  EXPECT_FALSE(target.ParentColor());
  EXPECT_TRUE(target.ParentFont());
  EXPECT_EQ(target.Color(), clWindow);

  // A container whose default colour is the button face follows its parent.
  TProbe face(nullptr);
  face.ButtonFace = true;
  face.Style()->RestoreDefaults();
  EXPECT_TRUE(face.ParentColor());
  EXPECT_EQ(face.Style()->Color(), clBtnFace);
}

namespace {

// A descendant with style and view-info classes of its own.
class TRedFrameStyle : public TcxContainerStyle {
public:
  KORVANE_CLASS(TRedFrameStyle, TcxContainerStyle)
  using TcxContainerStyle::TcxContainerStyle;
  TColor DefaultBorderColor() const override { return IsMasterStyle() ? clRed : TcxContainerStyle::DefaultBorderColor(); }
};

class TCountingViewInfo : public TcxContainerViewInfo {
public:
  KORVANE_CLASS(TCountingViewInfo, TcxContainerViewInfo)
  Integer Renders = 0;
  void Render(TcxCanvas* ACanvas) override {
    ++Renders;
    TcxContainerViewInfo::Render(ACanvas);
  }
};

class TOwnClassesContainer : public TcxContainer {
public:
  explicit TOwnClassesContainer(TComponent* AOwner) : TcxContainer(AOwner) { RecreateStylesAndViewInfo(); }
  TcxContainerStyleClass StyleClass() const override { return TRedFrameStyle::StaticClass(); }
  TcxContainerViewInfoClass ViewInfoClass() const override { return TCountingViewInfo::StaticClass(); }
};

}  // namespace

TEST_F(cxContainerTest, DescendantsChooseTheirStyleAndViewInfoClasses) {
  TOwnClassesContainer c(nullptr);
  c.SetBounds(0, 0, 40, 20);
  EXPECT_TRUE(c.Style()->InheritsFrom(TRedFrameStyle::StaticClass()));
  EXPECT_TRUE(c.StyleHot()->InheritsFrom(TcxContainerStyleEx::StaticClass()));
  EXPECT_EQ(c.StyleHot()->MasterStyle(), c.Style());
  c.Style()->SetBorderStyle(cbsSingle);
  c.Style()->SetTransparentBorder(false);
  auto* info = dynamic_cast<TCountingViewInfo*>(c.ViewInfo());
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->BorderColor, clRed);
  EXPECT_EQ(c.StyleFocused()->BorderColor(), clRed);  // state styles take the master's
  TImage image(40, 20, clLime);
  info->Render(&image.Canvas);
  EXPECT_EQ(info->Renders, 1);
  EXPECT_TRUE(image.Is(0, 5, clRed));
  // The styles changed after the swap still reach the container.
  c.Style()->SetColor(clYellow);
  EXPECT_EQ(c.Color(), clYellow);
  EXPECT_EQ(c.LookAndFeel()->Master(), c.Style()->LookAndFeel());
}

TEST_F(cxContainerTest, FreedContainersLeaveTheirController) {
  TcxStyleController controller(nullptr);
  {
    TcxContainer c(nullptr);
    c.Style()->SetStyleController(&controller);
    c.StyleHot()->SetStyleController(&controller);  // goes to the master: listed once
    EXPECT_EQ(controller.ListenerCount(), 1);
    EXPECT_EQ(c.StyleDisabled()->StyleController(), &controller);
  }
  EXPECT_EQ(controller.ListenerCount(), 0);
  controller.Style()->SetColor(clRed);  // nobody stale is told
}

// ---- Geometry ----------------------------------------------------------------------------

TEST_F(cxContainerTest, BorderWidthsAndInnerRectPerStyle) {
  for (TcxContainerBorderStyle s : AllBorderStyles) {
    SCOPED_TRACE(s);
    TLooseContainer c(60, 24);
    c.Container->Style()->SetBorderStyle(s);
    c.Container->Style()->SetTransparentBorder(false);
    TcxContainerViewInfo* info = c.Info();
    // Ultra-flat and Office 11 frames draw as single ones.
    const TcxContainerBorderStyle drawn = s == cbsUltraFlat || s == cbsOffice11 ? cbsSingle : s;
    const Integer w = ContainerBorderWidth(s);
    EXPECT_EQ(info->BorderStyle, drawn);
    EXPECT_EQ(info->BorderWidth, w);
    EXPECT_EQ(info->ClientRect, Rect(w, w, 60 - w, 24 - w));
    EXPECT_EQ(c.Container->ContentBounds(), info->ClientRect);
    EXPECT_EQ(c.Container->TrackingRect(), Rect(0, 0, 60, 24));
    EXPECT_EQ(c.Container->GetWindowRegionRect(), Rect(0, 0, 60, 24));
    // A transparent border keeps two pixels whatever the frame.
    c.Container->Style()->SetTransparentBorder(true);
    info = c.Info();
    EXPECT_EQ(info->ClientRect, Rect(2, 2, 58, 22));
    EXPECT_EQ(c.Container->TrackingRect(), Rect(2 - w, 2 - w, 58 + w, 22 + w));
    EXPECT_EQ(c.Container->GetWindowRegionRect(), Rect(2 - w, 2 - w, 58 + w, 22 + w));
  }
}

TEST_F(cxContainerTest, EdgesAndShadowShapeTheMargins) {
  TLooseContainer c(60, 24);
  TcxCustomContainerStyle* style = c.Container->Style();
  style->SetBorderStyle(cbsThick);
  style->SetTransparentBorder(false);
  style->SetEdges(BorderBit(bLeft) | BorderBit(bBottom));
  TcxContainerViewInfo* info = c.Info();
  EXPECT_EQ(info->ClientRect, Rect(2, 0, 60, 22));
  EXPECT_EQ(info->Edges, BorderBit(bLeft) | BorderBit(bBottom));
  // The region: the frame on the sides with edges only.
  EXPECT_EQ(c.Container->GetWindowRegionRect(), Rect(0, 0, 60, 24));

  style->SetEdges(AllEdges);
  style->SetShadow(true);
  info = c.Info();
  EXPECT_TRUE(info->Shadow);
  EXPECT_EQ(info->ClientRect, Rect(2, 2, 55, 19));
  EXPECT_EQ(c.Container->ContentMargins(), Rect(2, 2, 5, 5));
  EXPECT_EQ(c.Container->TrackingRect(), Rect(0, 0, 57, 21));
  EXPECT_EQ(c.Container->GetWindowRegionRect(), Rect(0, 0, 57, 21));
}

// ---- A container on a form ---------------------------------------------------------------

TEST_F(cxContainerTest, WindowRegionIncludesTheShadow) {
  TFormFixture f;
  f.Container->Style()->SetBorderStyle(cbsSingle);
  f.Container->Style()->SetTransparentBorder(false);
  f.Container->Style()->SetShadow(true);
  HRGN region = f.Container->CurrentWindowRegion();
  ASSERT_NE(region, nullptr);
  // Frame rect (0, 0, 117, 27) plus the same moved by (3, 3).
  EXPECT_TRUE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 119, 29));
  EXPECT_FALSE(PtInRegion(region, 118, 1));
  EXPECT_FALSE(PtInRegion(region, 1, 28));
  EXPECT_EQ(f.Container->ViewInfo()->ClientRect, Rect(1, 1, 116, 26));
  // The transparent border leaves the outer pixel out.
  f.Container->Style()->SetShadow(false);
  f.Container->Style()->SetTransparentBorder(true);
  region = f.Container->CurrentWindowRegion();
  ASSERT_NE(region, nullptr);
  TRect box;
  GetRgnBox(region, box);
  EXPECT_EQ(box, Rect(1, 1, 119, 29));

  // A container styled before it has a window gets its region with the window.
  auto* late = new TcxContainer(f.Form);
  late->Style()->SetBorderStyle(cbsThick);
  late->Style()->SetShadow(true);
  late->SetBounds(10, 80, 60, 30);
  late->SetParent(f.Form);
  late->HandleNeeded();
  ASSERT_NE(late->CurrentWindowRegion(), nullptr);
  GetRgnBox(late->CurrentWindowRegion(), box);
  EXPECT_EQ(box, Rect(0, 0, 60, 30));
  EXPECT_FALSE(PtInRegion(late->CurrentWindowRegion(), 59, 0));
}

TEST_F(cxContainerTest, InnerControlIsPlacedColouredAndForgottenWhenFreed) {
  TFormFixture f;
  auto* inner = new TInner(f.Form);
  inner->SetParent(f.Container);
  f.Container->Style()->SetTransparentBorder(false);
  f.Container->Style()->SetBorderStyle(cbsThick);
  f.Container->Style()->SetColor(clYellow);
  f.Container->Style()->SetTextColor(clRed);
  f.Container->SetInnerControl(inner);
  EXPECT_EQ(inner->BoundsRect(), Rect(2, 2, 118, 28));
  EXPECT_EQ(inner->Color(), clYellow);
  EXPECT_EQ(inner->Font()->Color(), clRed);
  f.Container->SetBounds(20, 20, 80, 40);
  EXPECT_EQ(inner->BoundsRect(), Rect(2, 2, 78, 38));
  f.Container->StyleDisabled()->SetColor(clSilver);
  f.Container->SetEnabled(false);
  EXPECT_EQ(inner->Color(), clSilver);
  EXPECT_EQ(InnerControlContainer(f.Container), f.Container);
  EXPECT_EQ(InnerControlContainer(inner), nullptr);
  inner->Free();
  EXPECT_EQ(f.Container->InnerControl(), nullptr);
  f.Container->SetEnabled(true);  // no stale pointer is touched
}

TEST_F(cxContainerTest, FocusAndEnablingChooseTheActiveStyle) {
  TFormFixture f;
  TcxContainer* c = f.Container;
  EXPECT_EQ(f.State(), csNormal);
  EXPECT_EQ(c->GetActiveStyle(), c->Style());
  c->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(c->Focused());
  EXPECT_EQ(f.State(), csActive);
  EXPECT_EQ(c->GetActiveStyle(), c->StyleFocused());
  EXPECT_EQ(c->ViewInfo()->HotState, 2);
  f.Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(f.State(), csNormal);
  EXPECT_EQ(c->ViewInfo()->HotState, 1);
  c->SetEnabled(false);
  EXPECT_EQ(f.State(), csDisabled);
  EXPECT_EQ(c->GetActiveStyle(), c->StyleDisabled());
  EXPECT_EQ(c->ViewInfo()->BackgroundColor, clBtnFace);
  c->SetEnabled(true);
  EXPECT_EQ(f.State(), csNormal);
  c->Style()->SetHotTrack(false);
  EXPECT_EQ(c->ViewInfo()->HotState, 0);
}

TEST_F(cxContainerTest, FocusGoesToTheInnerControl) {
  TFormFixture f;
  auto* inner = new TInner(f.Form);
  inner->SetParent(f.Container);
  f.Container->SetInnerControl(inner);
  f.Container->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(inner->Focused());
  EXPECT_TRUE(f.Container->Focused());
  EXPECT_EQ(f.State(), csActive);
  // Keys sent to the container reach the inner window.
  std::vector<Word> keys;
  inner->OnKeyDown = TKeyEvent(&f, [&](TObject*, Word& Key, TShiftState) { keys.push_back(Key); });
  SendMessage(f.Container->Handle(), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(keys, std::vector<Word>{'A'});
  // A click on the frame leaves the focus in the inner control.
  TestClick(f.Container->Handle(), {2, 2});
  Application->ProcessMessages();
  EXPECT_TRUE(inner->Focused());
  // The inner control's focus changes reach the container.
  f.Other->SetFocus();
  Application->ProcessMessages();
  EXPECT_EQ(f.State() & csActive, 0u);
  EXPECT_FALSE(f.Container->Focused());
  // Focus from elsewhere passes on to the inner control.
  SendMessage(f.Container->Handle(), WM_SETFOCUS, 0, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(inner->Focused());
  // The cursor is copied.
  f.Container->SetCursor(crHandPoint);
  EXPECT_EQ(inner->Cursor(), crHandPoint);
  // Replaced, the inner control gets its own window procedure back.
  const Integer seen = f.Container->InnerMessages;
  EXPECT_GT(seen, 0);
  f.Container->SetInnerControl(nullptr);
  inner->Perform(CM_TEXTCHANGED);
  EXPECT_EQ(f.Container->InnerMessages, seen);
}

TEST_F(cxContainerTest, AlignedChildrenFillTheClientRect) {
  TFormFixture f;
  f.Container->Style()->SetTransparentBorder(false);
  f.Container->Style()->SetBorderStyle(cbs3D);
  auto* child = new TInner(f.Form);
  child->SetParent(f.Container);
  child->SetAlign(alClient);
  f.Container->SetBounds(20, 20, 100, 40);
  EXPECT_EQ(f.Container->ViewInfo()->ClientRect, Rect(2, 2, 98, 38));
  EXPECT_EQ(child->BoundsRect(), Rect(2, 2, 98, 38));
}

TEST_F(cxContainerTest, HotTrackingFollowsTheMouse) {
  TFormFixture f;
  TTestClock clock;
  TcxContainer* c = f.Container;
  c->Style()->SetTransparentBorder(false);
  c->StyleHot()->SetColor(clAqua);
  TestMouseMove(c->Handle(), {50, 10});
  Application->ProcessMessages();
  EXPECT_EQ(f.State(), csNormal | csHotTrack);
  EXPECT_EQ(c->GetActiveStyle(), c->StyleHot());
  EXPECT_EQ(c->ViewInfo()->BackgroundColor, clAqua);
  EXPECT_EQ(c->ViewInfo()->HotState, 2);
  // The ultra-flat frame lights up while hot.
  EXPECT_EQ(c->ViewInfo()->BorderColor, clHighlight);

  // Leaving: the tracking timer notices once the cursor is out.
  f.MoveTo(f.Form, {250, 200});
  clock.Advance(20);
  Application->ProcessMessages();
  EXPECT_EQ(f.State(), csNormal);
  EXPECT_EQ(c->ViewInfo()->BorderColor, clBtnShadow);

  // A held button or key stops hot tracking; so does HotTrack off.
  TestMouseMove(c->Handle(), {50, 10}, tkShift);
  Application->ProcessMessages();
  EXPECT_EQ(f.State(), csNormal);
  c->Style()->SetHotTrack(false);
  TestMouseMove(c->Handle(), {52, 10});
  Application->ProcessMessages();
  EXPECT_EQ(f.State(), csNormal);
  c->Style()->SetHotTrack(true);
  TestMouseMove(c->Handle(), {54, 10});
  Application->ProcessMessages();
  EXPECT_EQ(f.State(), csNormal | csHotTrack);
  // Leaving through the window system's notice.
  TestMouseMove(f.Form->Handle(), {250, 200});
  Application->ProcessMessages();
  EXPECT_EQ(f.State(), csNormal);
}

TEST_F(cxContainerTest, ColourAndFontOfTheControlAndTheNormalStyleFollowEachOther) {
  TFormFixture f;
  TProbe* c = f.Container;
  c->Style()->SetColor(clYellow);
  EXPECT_EQ(c->Color(), clYellow);
  c->SetColor(clAqua);
  EXPECT_EQ(c->Style()->Color(), clAqua);
  EXPECT_NE(c->Style()->AssignedValues() & StyleValueBit(csvColor), 0u);
  EXPECT_EQ(c->ViewInfo()->BackgroundColor, clAqua);

  TFont font;
  font.SetName(u"宋体");
  font.SetSize(12);
  c->SetFont(&font);
  EXPECT_EQ(c->Style()->Font()->Name(), u"宋体");
  EXPECT_EQ(c->Style()->AssignedValues() & StyleValueBit(csvFont), 0u);

  // ParentColor on: the style follows the parent.
  c->SetParentColor(true);
  EXPECT_EQ(c->Color(), f.Form->Color());
  f.Form->SetColor(clTeal);
  EXPECT_EQ(c->Color(), clTeal);
  EXPECT_EQ(c->Style()->AssignedValues() & StyleValueBit(csvColor), 0u);
  EXPECT_EQ(c->ViewInfo()->BackgroundColor, clTeal);
}

TEST_F(cxContainerTest, TabMovesOnAndContextRequestsObeyTheLock) {
  TFormFixture f;
  TcxContainer* c = f.Container;
  c->SetKeys(dkTab);  // the container itself hears Tab
  f.Other->SetTabOrder(1);
  c->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(c->Focused());
  TestKey(VK_TAB);
  Application->ProcessMessages();
  EXPECT_TRUE(f.Other->Focused());

  Integer requests = 0;
  c->OnContextPopup = TContextPopupEvent(&f, [&](TObject*, TPoint, bool& Handled) {
    ++requests;
    Handled = true;
  });
  const TPoint inside = c->ClientToScreen(TPoint{30, 10});
  c->LockContextPopup();
  SendMessage(c->Handle(), WM_CONTEXTMENU, 0, PointToLParam(inside));
  EXPECT_EQ(requests, 0);
  c->UnlockContextPopup();
  SendMessage(c->Handle(), WM_CONTEXTMENU, 0, PointToLParam(inside));
  SendMessage(c->Handle(), WM_CONTEXTMENU, 0, PointToLParam(TPoint{-1, -1}));
  EXPECT_EQ(requests, 2);
}

TEST_F(cxContainerTest, TheFocusedInnerControlStandsInTheContainersPlace) {
  // Other, then the container with its inner control, in tab order. The
  // inner control hears Tab itself, so the form's own walk moves the focus.
  struct TCase {
    const char* Name;
    bool KeepsOwnTabOrder;
    bool InnerFocused;
    bool Backward;
    bool ContainerInList;  // in the adjusted list
    bool LandsOnOther;
  };
  const TCase cases[] = {
      {"Shift+Tab from the inner control leaves the container", false, true, true, false, true},
      {"Tab from the inner control", false, true, false, false, true},
      {"Tab from Other enters the container", false, false, false, true, false},
      {"a container that keeps its own order stays listed", true, true, true, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFormFixture f;
    auto* inner = new TInner(f.Form);
    inner->SetParent(f.Container);
    f.Container->SetInnerControl(inner);
    f.Container->OwnTabOrder = c.KeepsOwnTabOrder;
    f.Container->SetTabStop(true);
    f.Other->SetTabOrder(0);
    (c.InnerFocused ? static_cast<TWinControl*>(inner) : f.Other)->SetFocus();
    Application->ProcessMessages();

    std::vector<TWinControl*> list;
    cxGetTabOrderList(f.Form, list);
    const bool listed = std::find(list.begin(), list.end(), f.Container) != list.end();
    EXPECT_EQ(listed, c.ContainerInList);
    EXPECT_EQ(std::count(list.begin(), list.end(), inner), 1);
    if (!listed) EXPECT_EQ(list.at(1), inner);  // right after Other

    TestKey(VK_TAB, u"\t", c.Backward ? tkShift : 0);
    Application->ProcessMessages();
    EXPECT_EQ(f.Other->Focused(), c.LandsOnOther);
    EXPECT_EQ(inner->Focused(), !c.LandsOnOther);
  }
}

TEST_F(cxContainerTest, CursorOutsideTheClientRectIsTheArrow) {
  TFormFixture f;
  TcxContainer* c = f.Container;
  c->Style()->SetTransparentBorder(false);
  c->Style()->SetBorderStyle(cbsThick);
  c->SetCursor(crIBeam);
  auto cursorAt = [&](TPoint p) {
    f.MoveTo(c, p);
    SendMessage(c->Handle(), WM_SETCURSOR, c->Handle(), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return CursorId(GetCursor());
  };
  EXPECT_EQ(cursorAt({1, 10}), IDC_ARROW);
  EXPECT_EQ(cursorAt({30, 10}), IDC_IBEAM);
}

// ---- Painting ----------------------------------------------------------------------------

TEST_F(cxContainerTest, EachBorderStyleIsPainted) {
  struct TCase {
    TcxContainerBorderStyle Style;
    // Pixels along the middle row from the left (x = 0, 1, 2) and at the right (x = 39, 38).
    TColor L0, L1, L2, R0, R1;
  };
  const TColor fill = clWindow;
  const TCase cases[] = {
      {cbsNone, fill, fill, fill, fill, fill},
      {cbsSingle, clWindowFrame, fill, fill, clWindowFrame, fill},
      {cbsThick, clWindowFrame, clWindowFrame, fill, clWindowFrame, clWindowFrame},
      {cbsFlat, clBtnShadow, clBtnFace, fill, clBtnHighlight, clBtnFace},
      {cbs3D, clBtnShadow, cl3DDkShadow, fill, clBtnHighlight, cl3DLight},
      {cbsUltraFlat, clBtnShadow, fill, fill, clBtnShadow, fill},
      {cbsOffice11, clBtnShadow, fill, fill, clBtnShadow, fill},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Style);
    TLooseContainer lc(40, 20);
    lc.Container->Style()->SetBorderStyle(c.Style);
    lc.Container->Style()->SetTransparentBorder(false);
    TImage image(40, 20, clLime);
    lc.Info()->Render(&image.Canvas);
    EXPECT_TRUE(image.Is(0, 10, c.L0));
    EXPECT_TRUE(image.Is(1, 10, c.L1));
    EXPECT_TRUE(image.Is(2, 10, c.L2));
    EXPECT_TRUE(image.Is(39, 10, c.R0));
    EXPECT_TRUE(image.Is(38, 10, c.R1));
    EXPECT_TRUE(image.Is(20, 10, fill));
  }
}

TEST_F(cxContainerTest, LitFramesOfUltraFlatAndOffice11) {
  struct TCase {
    TcxContainerBorderStyle Style;
    TColor Lit;
  };
  const TCase cases[] = {{cbsUltraFlat, clHighlight}, {cbsOffice11, Office11Color(o11Highlight)}};
  for (const TCase& c : cases) {
    TFormFixture f;
    f.Container->Style()->SetBorderStyle(c.Style);
    f.Container->Style()->SetTransparentBorder(false);
    f.Container->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(f.Container->ViewInfo()->BorderColor, c.Lit);
    EXPECT_EQ(f.Container->ViewInfo()->BorderWidth, 1);
  }
}

TEST_F(cxContainerTest, FocusedSingleFrameWithHotTrackIsTwoPixelsOnScreen) {
  TFormFixture f;
  TcxContainer* c = f.Container;
  c->Style()->SetBorderStyle(cbsSingle);
  c->Style()->SetTransparentBorder(false);
  c->Style()->SetBorderColor(clRed);
  c->SetFocus();
  Application->ProcessMessages();
  c->Repaint();
  EXPECT_EQ(c->ViewInfo()->BorderStyle, cbsThick);
  TBitmap* buffer = GetWindowBuffer(c->Handle());
  ASSERT_NE(buffer, nullptr);
  TPoint origin = c->ClientOrigin();
  TRect windowRect;
  GetWindowRect(c->Handle(), windowRect);
  const Integer dx = origin.X - windowRect.Left, dy = origin.Y - windowRect.Top;
  auto at = [&](Integer x, Integer y) { return buffer->PixelColor(x + dx, y + dy); };
  EXPECT_EQ(at(0, 15), RGBOf(clRed));
  EXPECT_EQ(at(1, 15), RGBOf(clRed));
  EXPECT_EQ(at(2, 15), RGBOf(clWindow));
  EXPECT_EQ(at(119, 15), RGBOf(clRed));
  EXPECT_EQ(at(118, 15), RGBOf(clRed));
  // Unfocused: one pixel.
  f.Other->SetFocus();
  Application->ProcessMessages();
  c->Repaint();
  buffer = GetWindowBuffer(c->Handle());
  EXPECT_EQ(buffer->PixelColor(1 + dx, 15 + dy), RGBOf(clWindow));
  EXPECT_EQ(buffer->PixelColor(0 + dx, 15 + dy), RGBOf(clRed));
}

TEST_F(cxContainerTest, ShadowAndPartialEdgesArePainted) {
  TLooseContainer lc(40, 20);
  TcxCustomContainerStyle* style = lc.Container->Style();
  style->SetBorderStyle(cbsSingle);
  style->SetTransparentBorder(false);
  style->SetShadow(true);
  TImage image(40, 20, clLime);
  lc.Info()->Render(&image.Canvas);
  // Frame (0, 0, 37, 17), shadow to its right and below.
  EXPECT_TRUE(image.Is(36, 10, clWindowFrame));
  EXPECT_TRUE(image.Is(37, 10, clBtnShadow));
  EXPECT_TRUE(image.Is(39, 10, clBtnShadow));
  EXPECT_TRUE(image.Is(37, 1, clLime));  // the shadow starts 3 below the top
  EXPECT_TRUE(image.Is(10, 17, clBtnShadow));
  EXPECT_TRUE(image.Is(1, 17, clLime));

  // Without the right and top edges: no frame there, the fill reaches the side.
  style->SetShadow(false);
  style->SetEdges(BorderBit(bLeft) | BorderBit(bBottom));
  TImage edges(40, 20, clLime);
  lc.Info()->Render(&edges.Canvas);
  EXPECT_TRUE(edges.Is(0, 10, clWindowFrame));
  EXPECT_TRUE(edges.Is(20, 19, clWindowFrame));
  EXPECT_TRUE(edges.Is(39, 10, clWindow));
  EXPECT_TRUE(edges.Is(20, 0, clWindow));
}

// ---- Native look -------------------------------------------------------------------------

namespace {

HTHEME NativeOpen(HWND, const Char*) { return 77; }
HRESULT NativeClose(HTHEME) { return S_OK; }
bool NativeActive() { return true; }
HRESULT NativeColor(HTHEME, Integer, Integer AState, Integer AProp, TColor* AColor) {
  if (AProp == 3802 && AState == 4) *AColor = RGB(1, 2, 3);
  else if (AProp == 3801) *AColor = RGB(9, 99, 199);
  else return E_FAIL;
  return S_OK;
}
HRESULT NativeContent(HTHEME, HDC, Integer, Integer, const TRect* ABounds, TRect* AContent) {
  *AContent = *ABounds;
  InflateRect(*AContent, -1, -1);
  return S_OK;
}

}  // namespace

TEST_F(cxContainerTest, NativeLookTakesColoursFromTheTheme) {
  auto library = std::make_unique<TqzThemeLibrary>();
  library->AddProc("OpenThemeData", &NativeOpen);
  library->AddProc("CloseThemeData", &NativeClose);
  library->AddProc("IsThemeActive", &NativeActive);
  library->AddProc("GetThemeColor", &NativeColor);
  library->AddProc("GetThemeBackgroundContentRect", &NativeContent);
  qzThemeManagerFinalize();
  qzUxThemeInitialize(5, 1, std::move(library));
  qzThemeManagerInitialize();
  {
    TLooseContainer lc(40, 20);
    TcxCustomContainerStyle* style = lc.Container->Style();
    style->LookAndFeel()->SetNativeStyle(true);
    style->SetBorderStyle(cbsSingle);
    style->SetShadow(true);
    TcxContainerViewInfo* info = lc.Info();
    EXPECT_TRUE(info->NativeStyle);
    EXPECT_FALSE(info->Shadow);
    EXPECT_EQ(info->ClientRect, Rect(2, 2, 38, 18));
    EXPECT_EQ(info->ThemeClass, thcEdit);
    EXPECT_EQ(info->ThemeState, 1);
    TImage image(40, 20, clLime);
    info->Render(&image.Canvas);
    EXPECT_TRUE(image.Is(0, 10, RGB(9, 99, 199)));
    EXPECT_TRUE(image.Is(1, 10, clWindow));
    // Disabled: the theme's fill colour.
    lc.Container->SetEnabled(false);
    info = lc.Info();
    EXPECT_EQ(info->ThemeState, 4);
    EXPECT_EQ(info->BackgroundColor, RGB(1, 2, 3));
    // Without a frame the whole bounds are filled.
    style->SetBorderStyle(cbsNone);
    style->SetTransparentBorder(false);
    info = lc.Info();
    EXPECT_EQ(info->ClientRect, Rect(0, 0, 40, 20));
    TImage none(40, 20, clLime);
    info->Render(&none.Canvas);
    EXPECT_TRUE(none.Is(0, 0, RGB(1, 2, 3)));
  }
  qzThemeManagerFinalize();
  qzUxThemeFinalize();
}

// ---- Gallery -----------------------------------------------------------------------------

namespace {

// A container that counts as focused without a window.
class TFocusedContainer : public TcxContainer {
public:
  explicit TFocusedContainer(TComponent* AOwner) : TcxContainer(AOwner) {}
  bool FakeFocus = false;
  bool Focused() const override { return FakeFocus || TcxContainer::Focused(); }
};

}  // namespace

TEST_F(cxContainerTest, Gallery) {
  // Rows: the border styles; columns: normal, focused, hot, disabled, with shadow.
  const Integer cellW = 70, cellH = 26, columns = 5;
  TImage gallery(columns * cellW + 10, 7 * cellH + 10, clBtnFace);
  for (TcxContainerBorderStyle s : AllBorderStyles) {
    std::vector<Cardinal> cells[columns];
    for (Integer column = 0; column < columns; ++column) {
      TFocusedContainer c(nullptr);
      c.SetBounds(0, 0, 60, 20);
      c.Style()->SetBorderStyle(s);
      c.Style()->SetTransparentBorder(false);
      c.StyleHot()->SetColor(RGB(255, 240, 200));
      c.StyleFocused()->SetColor(RGB(230, 240, 255));
      if (column == 1) c.FakeFocus = true;
      if (column == 3) c.SetEnabled(false);
      if (column == 4) c.Style()->SetShadow(true);
      if (column == 2) c.RefreshContainer(TPoint{10, 10}, 0, 0, true);
      else c.RefreshContainer(TPoint{-100, -100}, 0, 0, false);
      TImage cell(60, 20, clBtnFace);
      c.ViewInfo()->Render(&cell.Canvas);
      gallery.Bitmap.Canvas()->Draw(5 + column * cellW, 5 + s * cellH, &cell.Bitmap);
      cells[column] = cell.Bitmap.Pixels32();
      // On a colour no style uses, the painted part shows.
      TImage probe(60, 20, clFuchsia);
      c.ViewInfo()->Render(&probe.Canvas);
      EXPECT_LT(probe.Count(Rect(0, 0, 60, 20), clFuchsia), 60 * 20 / 2) << "border " << s << ", column " << column;
    }
    // Every state looks different from every other.
    for (Integer a = 0; a < columns; ++a)
      for (Integer b = a + 1; b < columns; ++b)
        EXPECT_NE(cells[a], cells[b]) << "border " << s << ": columns " << a << " and " << b << " look the same";
  }
  SavePicture(gallery.Bitmap, "cxContainer_gallery");
}

TEST_F(cxContainerTest, GalleryOnAForm) {
  TFormFixture f;
  f.Container->Free();
  TcxContainer* containers[7] = {};
  for (TcxContainerBorderStyle s : AllBorderStyles) {
    auto* c = new TcxContainer(f.Form);
    c->SetBounds(10 + (s % 2) * 150, 10 + (s / 2) * 36, 130, 26);
    c->Style()->SetBorderStyle(s);
    c->Style()->SetShadow(s == cbsSingle);
    c->SetParent(f.Form);
    containers[s] = c;
  }
  containers[cbsOffice11]->SetFocus();
  Application->ProcessMessages();
  TBitmap picture(f.Form->ClientWidth(), f.Form->ClientHeight(), pf32bit);
  f.Form->PaintTo(picture.Canvas()->Handle(), 0, 0);
  // The transparent border shows the form around each frame.
  const TPoint corner = containers[cbsUltraFlat]->BoundsRect().TopLeft();
  EXPECT_EQ(picture.PixelColor(corner.X, corner.Y + 5), RGBOf(clBtnFace));
  EXPECT_EQ(picture.PixelColor(corner.X + 1, corner.Y + 5), RGBOf(clBtnShadow));
  EXPECT_EQ(picture.PixelColor(corner.X + 2, corner.Y + 5), RGBOf(clWindow));
  SavePicture(picture, "cxContainer_form", 2);
}
