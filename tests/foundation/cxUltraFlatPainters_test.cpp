#include "foundation/cxUltraFlatPainters.h"

#include <gtest/gtest.h>

#include "foundation/cxLookAndFeels.h"
#include "foundation/cxPainterImages.h"
#include "foundation/cxStandardPainters.h"
#include "foundation/qzOffice11.h"
#include "tests/foundation/cxStandardPainters_test.h"

using namespace cxPainterTest;

namespace {

const TcxUltraFlatLookAndFeelPainter* UltraFlat() {
  return static_cast<const TcxUltraFlatLookAndFeelPainter*>(PainterOf(cxUltraFlatLookAndFeelPainter()));
}
const TcxOffice11LookAndFeelPainter* Office11() {
  return static_cast<const TcxOffice11LookAndFeelPainter*>(PainterOf(cxOffice11LookAndFeelPainter()));
}

bool DrawnRed(void* AData, TcxCanvas* ACanvas, const TRect& ABounds) {
  ++*static_cast<Integer*>(AData);
  TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, ABounds, clRed);
  return true;
}

TcxDrawBackgroundEvent RedBackground(Integer* ACount) {
  TcxDrawBackgroundEvent event;
  event.Code = &DrawnRed;
  event.Data = ACount;
  return event;
}

}  // namespace

class cxUltraFlatPainters : public ::testing::Test {
protected:
  void SetUp() override {
    SetSysColorTable(DistinctColors());
    Office11SchemeRefresh();
  }
  void TearDown() override {
    SetSysColorTable(DefaultSysColorTable());
    Office11SchemeRefresh();
    cxPainterImagesFinalize();
  }
};

// ---- Classes, registration, answers --------------------------------------------------------

TEST_F(cxUltraFlatPainters, PaintersAreRegisteredForTheirKinds) {
  EXPECT_EQ(LookAndFeelPainterOfKind(lfUltraFlat), cxUltraFlatLookAndFeelPainter());
  EXPECT_EQ(LookAndFeelPainterOfKind(lfOffice11), cxOffice11LookAndFeelPainter());
  TcxLookAndFeel lookAndFeel(nullptr);
  EXPECT_EQ(lookAndFeel.Painter(), cxUltraFlatLookAndFeelPainter());  // the default kind
  lookAndFeel.SetKind(lfOffice11);
  EXPECT_EQ(lookAndFeel.Painter(), cxOffice11LookAndFeelPainter());
  EXPECT_TRUE(cxOffice11LookAndFeelPainter()->InheritsFrom(cxUltraFlatLookAndFeelPainter()));
  EXPECT_EQ(UltraFlat()->Kind(), lfUltraFlat);
  EXPECT_EQ(Office11()->Kind(), lfOffice11);
}

TEST_F(cxUltraFlatPainters, MetricsOfBothPainters) {
  for (const TcxUltraFlatLookAndFeelPainter* p : {UltraFlat(), static_cast<const TcxUltraFlatLookAndFeelPainter*>(Office11())}) {
    SCOPED_TRACE(int(p->StyleCode()));
    EXPECT_EQ(p->BorderThickness(), 1);
    EXPECT_EQ(p->ButtonFrameWidth(cxbsDefault), 2);
    EXPECT_EQ(p->ButtonFrameWidth(cxbsHot), 1);
    EXPECT_EQ(p->FocusRectOfButton(Rect(0, 0, 20, 10)), Rect(3, 3, 17, 7));
    EXPECT_EQ(p->FocusRectOfButton(Rect(0, 0, 6, 20)), Rect(0, 0, 6, 20));
    EXPECT_EQ(p->ButtonGlyphState(cxbsPressed), cxbsNormal);
    EXPECT_EQ(p->ButtonContentMargin(), 2);
    EXPECT_EQ(p->PressedContentShift(), 0);
    EXPECT_EQ(p->ExpandGlyphSize(), 11);
    EXPECT_TRUE(p->HotTracksButtons());
    EXPECT_EQ(p->HeaderFrameWidth(), 1);
    EXPECT_EQ(p->SortMarkSize(), Point(7, 8));
    EXPECT_EQ(p->FooterVisibleBorders(), BorderBit(bRight) | BorderBit(bBottom));
    EXPECT_EQ(p->FooterFrameWidth(), 1);
    EXPECT_EQ(p->FooterCellFrameWidth(), 1);
    EXPECT_EQ(p->FooterCellSpacing(), 2);
    EXPECT_EQ(p->SmallBoxSize(), Point(12, 12));
    EXPECT_EQ(p->CloseButtonSize(), Point(16, 15));
    EXPECT_EQ(p->TabFrameWidth(), 1);
    EXPECT_EQ(p->CrossGlyphColor(), clNavy);
    // Margins of a button in a row of three: the outer ends get one more.
    EXPECT_EQ(p->ButtonGroupMargins(3, 0), Rect(2, 2, 1, 2));
    EXPECT_EQ(p->ButtonGroupMargins(3, 1), Rect(1, 2, 1, 2));
    EXPECT_EQ(p->ButtonGroupMargins(3, 2), Rect(1, 2, 2, 2));
    EXPECT_EQ(p->ButtonGroupMargins(1, 0), Rect(2, 2, 2, 2));
  }
  const TcxUltraFlatLookAndFeelPainter* u = UltraFlat();
  EXPECT_EQ(u->StyleCode(), 2);
  EXPECT_EQ(u->ThinBorderColor(), clBtnShadow);
  EXPECT_EQ(u->ExpandBoxSize(), 9);
  EXPECT_TRUE(u->ExpandGlyphPaintedFirst());
  EXPECT_FALSE(u->HotTracksHeaders());
  EXPECT_EQ(u->HeaderVisibleBorders(0), cxAllBorders);
  EXPECT_EQ(u->HeaderVisibleBorders(nLeft | nTop | nRight), BorderBit(bRight) | BorderBit(bBottom));
  EXPECT_EQ(u->ButtonFaceColor(cxbsHot), MixedLightHighlightColor());
  EXPECT_EQ(u->ButtonFaceColor(cxbsPressed), MixedHighlightColor());
  EXPECT_EQ(u->ButtonFaceColor(cxbsDisabled), clBtnFace);
  EXPECT_EQ(u->ButtonGlyphColor(cxbsPressed), clHighlightText);
  EXPECT_EQ(u->ButtonGlyphColor(cxbsDisabled), clBtnShadow);
  EXPECT_EQ(u->HotFrameColor(cxbsNormal), clBtnShadow);
  EXPECT_EQ(u->HotFrameColor(cxbsHot), clHighlight);
  EXPECT_EQ(u->HotFrameColor(cxbsDefault), clHighlight);

  const TcxOffice11LookAndFeelPainter* o = Office11();
  EXPECT_EQ(o->StyleCode(), 4);
  EXPECT_EQ(o->ExpandBoxSize(), 11);
  EXPECT_FALSE(o->ExpandGlyphPaintedFirst());
  EXPECT_TRUE(o->HotTracksHeaders());
  EXPECT_EQ(o->HeaderVisibleBorders(nLeft | nTop), cxAllBorders);
}

TEST_F(cxUltraFlatPainters, Office11ColoursComeFromTheScheme) {
  const TcxOffice11LookAndFeelPainter* o = Office11();
  EXPECT_EQ(o->ThinBorderColor(), Office11Color(36));
  EXPECT_EQ(o->HeaderColor(), Office11Color(o11BaseFace));
  EXPECT_EQ(o->FooterColor(), o->HeaderColor());
  EXPECT_EQ(o->FooterTextColor(), o->HeaderTextColor());
  EXPECT_EQ(o->BandBackgroundColor(), Office11DerivedColor(o11dSecondGroup1));
  EXPECT_EQ(o->HeaderLightColor(), Office11Color(o11PaleFace));
  EXPECT_EQ(o->HeaderDarkColor(), Office11Color(o11DarkEdge));
  EXPECT_EQ(o->HeaderEdgeColor(), Office11Color(o11WhiteEdge));
  EXPECT_EQ(o->HeaderMiddleColor(), Office11MixColors(Office11Color(o11MiddleFace), Office11Color(o11PaleFace), 50));
  EXPECT_EQ(o->FooterSeparatorColor(), o->HeaderDarkColor());
  EXPECT_EQ(o->HotFrameColor(cxbsNormal), o->HeaderDarkColor());
  EXPECT_EQ(o->HotFrameColor(cxbsPressed), Office11Color(o11Highlight));
  EXPECT_EQ(o->TabAreaColor(), o->HeaderDarkColor());
  EXPECT_EQ(o->SelectedTabColor(), clBtnText);
  EXPECT_EQ(o->HighlightFrameColor(), Office11Color(o11Highlight));
  struct TCase {
    TcxButtonState State;
    TColor Face, Glyph, Check;
  };
  // Without a themed scheme a pressed glyph is clHighlightText.
  ASSERT_FALSE(Office11SchemeThemed());
  const TCase states[] = {
      {cxbsNormal, Office11Color(o11BaseFace), Office11Color(o11Glyph), clWindow},
      {cxbsHot, Office11Color(23), Office11Color(o11Glyph), Office11Color(23)},
      {cxbsPressed, Office11Color(25), clHighlightText, Office11Color(25)},
      {cxbsDisabled, clBtnFace, Office11Color(o11DisabledGlyph), clBtnFace},
  };
  for (const TCase& c : states) {
    EXPECT_EQ(o->ButtonFaceColor(c.State), c.Face) << c.State;
    EXPECT_EQ(o->ButtonGlyphColor(c.State), c.Glyph) << c.State;
    EXPECT_EQ(o->CheckFaceColor(c.State), c.Check) << c.State;
  }
  // The unnamed colour answers.
  const std::pair<TcxPainterColor, TColor> colours[] = {
      {pcAfterStyleCode5, Office11DerivedColor(o11dSecondGroup1)},
      {pcAfterFooterText4, Office11DerivedColor(o11dSecondGroup1)},
      {pcAfterContentText1, Office11Color(17)},
      {pcAfterContentText2, clBtnHighlight},
      {pcAfterFooterText2, Office11Color(33)},
      {pcAfterFooterText5, Office11Color(o11MiddleFace)},
      {pcAfterInactiveText3, Office11Color(o11BaseFace)},
      {pcAfterInactiveText4, Office11Color(34)},
      {pcAfterInactiveText5, clWindowText},
      {pcAfterThinBorder1, Office11Color(35)},
      {pcAfterSelectionText2, Office11Color(o11LightFace)},
      {pcAfterSelectionText4, Office11Color(o11LightFace)},
      {pcAfterStyleCode1, 0xF0FBFF},  // base
  };
  for (const auto& [which, colour] : colours) EXPECT_EQ(o->PainterColor(which), colour) << which;
}

// ---- Buttons -------------------------------------------------------------------------------

TEST_F(cxUltraFlatPainters, ButtonFramesAndFacesByState) {
  struct TCase {
    const TcxCustomLookAndFeelPainter* Painter;
    TcxButtonState State;
    TColor Frame, SecondRing;
  };
  const TcxCustomLookAndFeelPainter* u = UltraFlat();
  const TcxCustomLookAndFeelPainter* o = Office11();
  const TCase cases[] = {
      {u, cxbsDefault, clWindowFrame, clWindowFrame},
      {u, cxbsNormal, clBtnText, clBtnFace},
      {u, cxbsHot, clHighlight, MixedLightHighlightColor()},
      {u, cxbsPressed, clHighlight, MixedHighlightColor()},
      {u, cxbsDisabled, clBtnShadow, clBtnFace},
      {o, cxbsDefault, clWindowFrame, clWindowFrame},
      {o, cxbsNormal, clBtnText, Office11Color(o11BaseFace)},
      {o, cxbsHot, Office11Color(o11Highlight), Office11Color(23)},
      {o, cxbsPressed, Office11Color(o11Highlight), Office11Color(25)},
      {o, cxbsDisabled, Office11Color(o11DisabledGlyph), clBtnFace},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int(c.Painter->StyleCode()) << " state " << c.State);
    TImage image(20, 16, clRed);
    c.Painter->PaintButton(&image.Canvas, Rect(0, 0, 20, 16), c.State);
    EXPECT_TRUE(image.Is(0, 0, c.Frame));
    EXPECT_TRUE(image.Is(19, 15, c.Frame));
    EXPECT_TRUE(image.Is(1, 1, c.SecondRing));
    EXPECT_TRUE(image.Is(10, 8, c.Painter->ButtonFaceColor(c.State)));
  }
}

TEST_F(cxUltraFlatPainters, PressedGlyphIsHighlightTextAndDoesNotMove) {
  TImage normal(16, 16), pressed(16, 16);
  UltraFlat()->PaintButtonArrow(&normal.Canvas, Rect(0, 0, 16, 16), adUp, cxbsNormal);
  UltraFlat()->PaintButtonArrow(&pressed.Canvas, Rect(0, 0, 16, 16), adUp, cxbsPressed);
  const TRect box = normal.Box(Rect(0, 0, 16, 16), clBtnText);
  ASSERT_FALSE(IsRectEmpty(box));
  EXPECT_EQ(pressed.Box(Rect(0, 0, 16, 16), clHighlightText), box);
  // The close cross is drawn for the normal state: it does not move either.
  TImage closeNormal(16, 16), closePressed(16, 16);
  UltraFlat()->PaintCloseButton(&closeNormal.Canvas, Rect(0, 0, 16, 16), cxbsNormal);
  UltraFlat()->PaintCloseButton(&closePressed.Canvas, Rect(0, 0, 16, 16), cxbsPressed);
  EXPECT_EQ(closePressed.Box(Rect(1, 1, 15, 15), clHighlightText), closeNormal.Box(Rect(1, 1, 15, 15), clBtnText));
}

TEST_F(cxUltraFlatPainters, PlainButtonsOfARow) {
  // Two buttons side by side, 12 pixels each.
  for (TcxButtonState state : {cxbsNormal, cxbsDisabled}) {
    TImage image(24, 16, clRed);
    UltraFlat()->PaintPlainButton(&image.Canvas, Rect(0, 0, 12, 16), state, clLime, 0, 2);
    UltraFlat()->PaintPlainButton(&image.Canvas, Rect(12, 0, 24, 16), state, clDefault, 1, 2);
    EXPECT_TRUE(image.Is(5, 0, clRed));    // one pixel off at the top
    EXPECT_TRUE(image.Is(0, 5, clRed));    // and at the outer ends
    EXPECT_TRUE(image.Is(23, 5, clRed));
    EXPECT_TRUE(image.Is(1, 1, clLime));   // the given frame colour
    EXPECT_TRUE(image.Is(11, 5, clLime));  // the first button reaches its right edge
    EXPECT_TRUE(image.Is(12, 5, clBtnShadow));  // clDefault: the normal hot-frame colour
    EXPECT_TRUE(image.Is(5, 5, clBtnFace));
  }
  TImage hot(24, 16, clRed);
  UltraFlat()->PaintPlainButton(&hot.Canvas, Rect(0, 0, 12, 16), cxbsHot, clLime, 0, 2);
  UltraFlat()->PaintPlainButton(&hot.Canvas, Rect(12, 0, 24, 16), cxbsHot, clLime, 1, 2);
  EXPECT_TRUE(hot.Is(11, 5, clHighlight));  // separators towards the neighbour
  EXPECT_TRUE(hot.Is(12, 5, clHighlight));
  EXPECT_TRUE(hot.Is(1, 1, MixedLightHighlightColor()));  // no frame: the face
  EXPECT_EQ(hot.Count(Rect(0, 0, 24, 16), clLime), 0);
}

TEST_F(cxUltraFlatPainters, FlatFrameColours) {
  struct TCase {
    TcxButtonState State;
    bool Selected;
    TColor Frame;
  };
  const TCase cases[] = {{cxbsNormal, false, clBtnShadow}, {cxbsHot, false, clHighlight}, {cxbsHot, true, clBtnText}};
  for (const TCase& c : cases) {
    TImage image(10, 10, clRed);
    UltraFlat()->PaintFlatFrame(&image.Canvas, Rect(0, 0, 10, 10), c.State, c.Selected);
    EXPECT_TRUE(image.Is(0, 0, c.Frame));
    EXPECT_TRUE(image.Is(9, 9, c.Frame));
    EXPECT_TRUE(image.Is(1, 1, clRed));
  }
}

// ---- Expand glyphs and check boxes ---------------------------------------------------------

TEST_F(cxUltraFlatPainters, UltraFlatExpandGlyphIsAFramedBoxThatLeavesTheClip) {
  TImage image(15, 15, clRed);
  UltraFlat()->PaintExpandGlyph(&image.Canvas, Rect(2, 2, 13, 13), clDefault, false);
  EXPECT_TRUE(image.Is(2, 2, clBtnShadow));
  EXPECT_TRUE(image.Is(12, 12, clBtnShadow));
  EXPECT_TRUE(image.Is(3, 3, clBtnFace));
  EXPECT_TRUE(image.Is(7, 7, clBtnText));  // the centre of the plus
  EXPECT_TRUE(image.Is(7, 4, clBtnText));
  TcxCustomLookAndFeelPainter::FillRectColor(&image.Canvas, Rect(0, 0, 15, 15), clLime);
  EXPECT_TRUE(image.Is(3, 3, clBtnFace));
  EXPECT_TRUE(image.Is(1, 1, clLime));
}

TEST_F(cxUltraFlatPainters, Office11ExpandGlyphBlendsItsCornersWithTheBackground) {
  Office11SchemeAddRef();
  TBitmap* plus = Office11ExpandButtonBitmap(false);
  ASSERT_NE(plus, nullptr);
  const TColor centre = plus->PixelColor(5, 5), edge = plus->PixelColor(5, 0);
  Office11SchemeRelease();

  TImage onWhite(13, 13, clWhite), onBlack(13, 13, clBlack);
  Office11()->PaintExpandGlyph(&onWhite.Canvas, Rect(1, 1, 12, 12), clDefault, false);
  Office11()->PaintExpandGlyph(&onBlack.Canvas, Rect(1, 1, 12, 12), clDefault, false);
  EXPECT_EQ(onWhite.At(6, 6), centre);
  EXPECT_EQ(onWhite.At(6, 1), edge);
  EXPECT_EQ(onBlack.At(6, 1), edge);
  for (const TPoint& corner : {Point(1, 1), Point(11, 1), Point(1, 11), Point(11, 11)}) {
    EXPECT_NE(onWhite.At(corner.X, corner.Y), onBlack.At(corner.X, corner.Y)) << corner.X << "," << corner.Y;
  }
  EXPECT_EQ(onWhite.At(1, 1), Office11MixColors(Office11ExpandButtonCornerColor1, clWhite, 25));
  EXPECT_EQ(onWhite.At(11, 11), Office11MixColors(Office11ExpandButtonCornerColor2, clWhite, 25));
  EXPECT_TRUE(onWhite.Is(0, 0, clWhite));  // nothing outside the glyph
  // The expand box is the glyph; the shared bitmap keeps its own corners.
  TImage box(13, 13, clWhite), minus(13, 13, clWhite);
  Office11()->PaintExpandBox(&box.Canvas, Rect(1, 1, 12, 12), clYellow, clRed, false);
  EXPECT_TRUE(box.SameAs(onWhite));
  Office11()->PaintExpandBox(&minus.Canvas, Rect(1, 1, 12, 12), clYellow, clRed, true);
  EXPECT_FALSE(minus.SameAs(onWhite));
  Office11SchemeAddRef();
  EXPECT_EQ(Office11ExpandButtonBitmap(false)->PixelColor(0, 0), RGBOf(Office11ExpandButtonCornerColor1));
  Office11SchemeRelease();
}

TEST_F(cxUltraFlatPainters, CheckBoxes) {
  for (const TcxCustomLookAndFeelPainter* p : {static_cast<const TcxCustomLookAndFeelPainter*>(UltraFlat()),
                                               static_cast<const TcxCustomLookAndFeelPainter*>(Office11())})
    for (TcxButtonState state : AllStates) {
      TImage image(13, 13, clRed);
      p->PaintCheckBox(&image.Canvas, Rect(0, 0, 13, 13), true, state);
      EXPECT_TRUE(image.Is(0, 0, clBtnText)) << state;
      EXPECT_TRUE(image.Is(1, 1, p->CheckFaceColor(state))) << state;
      EXPECT_TRUE(image.Is(2, 2, p->CheckFaceColor(state))) << state;
      EXPECT_GT(image.Count(Rect(2, 2, 11, 11), state == cxbsDisabled ? clGrayText : clBtnText), 5) << state;
    }
}

// ---- Headers -------------------------------------------------------------------------------

TEST_F(cxUltraFlatPainters, UltraFlatHeaderFrameDrawsLeftAndTopOnlyWhenAsked) {
  struct TCase {
    TcxBorders Borders;
    bool Left, Top;
  };
  const TCase cases[] = {{cxAllBorders, true, true},
                         {BorderBit(bRight) | BorderBit(bBottom), false, false},
                         {BorderBit(bTop), false, true}};
  for (const TCase& c : cases) {
    TImage image(20, 12, clRed);
    UltraFlat()->PaintHeaderFrame(&image.Canvas, Rect(0, 0, 20, 12), 0, c.Borders);
    EXPECT_EQ(image.Is(0, 5, clBtnText), c.Left) << c.Borders;
    EXPECT_EQ(image.Is(5, 0, clBtnText), c.Top) << c.Borders;
    EXPECT_TRUE(image.Is(19, 5, clBtnText)) << c.Borders;
    EXPECT_TRUE(image.Is(5, 11, clBtnText)) << c.Borders;
  }
}

TEST_F(cxUltraFlatPainters, UltraFlatPlainHeaderLeavesAnOuterPixel) {
  TImage image(20, 14, clRed);
  UltraFlat()->PaintHeaderPlain(&image.Canvas, Rect(0, 0, 20, 14), Rect(0, 0, 20, 14), 0, cxAllBorders, cxbsNormal,
                                taLeftJustify, vaCenter, false, false, u"", nullptr, clBtnText, clYellow,
                                TcxDrawBackgroundEvent());
  EXPECT_TRUE(image.Is(0, 0, clRed));
  EXPECT_TRUE(image.Is(1, 5, clBtnText));
  EXPECT_TRUE(image.Is(18, 12, clBtnText));
  EXPECT_TRUE(image.Is(2, 2, clYellow));
}

TEST_F(cxUltraFlatPainters, Office11HeaderBackground) {
  const TcxOffice11LookAndFeelPainter* o = Office11();
  const TRect r = Rect(0, 0, 30, 20);
  // Normal: the middle colour down to the last rows, then a gradient to the light colour.
  TImage normal(30, 22, clRed);
  o->PaintHeaderContent(&normal.Canvas, r, r, cxbsNormal, taLeftJustify, vaCenter, false, false, u"", nullptr,
                        clBtnText, clYellow, TcxDrawBackgroundEvent());
  EXPECT_TRUE(normal.Is(5, 0, o->HeaderMiddleColor()));
  EXPECT_TRUE(normal.Is(5, 15, o->HeaderMiddleColor()));
  EXPECT_TRUE(normal.Is(5, 19, o->HeaderLightColor()));
  EXPECT_EQ(normal.Count(r, clYellow), 0);  // the caller's colour is not used
  EXPECT_TRUE(normal.Is(5, 20, clRed));
  // Plain: one colour everywhere.
  TImage plain(30, 22, clRed);
  o->PaintHeaderContent(&plain.Canvas, r, r, cxbsNormal, taLeftJustify, vaCenter, false, false, u"", nullptr,
                        clBtnText, clYellow, TcxDrawBackgroundEvent(), true);
  EXPECT_EQ(plain.Count(r, o->HeaderMiddleColor()), 600);
  // Hot: the middle face, and a bright line from entry 23 to entry 24 over
  // the last two rows and the row below.
  TImage hot(32, 24, clRed);
  const TRect hr = Rect(1, 1, 31, 21);
  o->PaintHeaderContent(&hot.Canvas, hr, hr, cxbsHot, taLeftJustify, vaCenter, false, false, u"", nullptr,
                        clBtnText, clYellow, TcxDrawBackgroundEvent());
  EXPECT_TRUE(hot.Is(5, 2, Office11Color(o11MiddleFace)));
  EXPECT_TRUE(hot.Is(5, 19, Office11Color(23)));
  EXPECT_TRUE(hot.Is(5, 21, Office11Color(24)));
  EXPECT_TRUE(hot.Is(0, 20, Office11Color(23)) || hot.Is(0, 20, Office11MixColors(Office11Color(23), Office11Color(24), 50)));
  EXPECT_TRUE(hot.Is(31, 20, clRed));
  // A custom draw replaces the background, the text still comes.
  Integer calls = 0;
  TImage custom(30, 22, clWhite);
  o->PaintHeaderContent(&custom.Canvas, r, r, cxbsNormal, taLeftJustify, vaCenter, false, false, u"W", nullptr,
                        clBlue, clYellow, RedBackground(&calls));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(custom.Count(r, o->HeaderMiddleColor()), 0);
  EXPECT_LT(custom.Count(r, clRed), 600 - 5);  // the text over the custom background
  // PaintHeader drops the caller's event.
  TImage header(30, 22, clWhite);
  o->PaintHeader(&header.Canvas, r, r, 0, cxAllBorders, cxbsNormal, taLeftJustify, vaCenter, false, false, u"",
                 nullptr, clBtnText, clYellow, RedBackground(&calls));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(header.Count(r, clRed), 0);
}

TEST_F(cxUltraFlatPainters, Office11HeaderFrameByNeighbours) {
  const TcxOffice11LookAndFeelPainter* o = Office11();
  const TColor middle = o->HeaderMiddleColor(), light = o->HeaderLightColor(), dark = o->HeaderDarkColor();
  const TColor edge = o->HeaderEdgeColor();
  const TRect r = Rect(0, 0, 20, 16);  // bottom - 2 = 14
  TImage alone(20, 16, clRed);
  o->PaintHeaderFrame(&alone.Canvas, r, 0, cxAllBorders);
  EXPECT_TRUE(alone.Is(5, 0, middle));
  EXPECT_TRUE(alone.Is(5, 15, dark));
  EXPECT_TRUE(alone.Is(0, 1, edge));
  EXPECT_TRUE(alone.Is(0, 13, edge));
  EXPECT_TRUE(alone.Is(0, 14, light));
  EXPECT_TRUE(alone.Is(19, 0, Office11MixColors(middle, dark, 50)));
  EXPECT_TRUE(alone.Is(19, 13, dark));
  EXPECT_TRUE(alone.Is(19, 14, Office11MixColors(light, dark, 50)));
  EXPECT_TRUE(alone.Is(5, 5, clRed));

  TImage between(20, 16, clRed);
  o->PaintHeaderFrame(&between.Canvas, r, nLeft | nRight, BorderBit(bLeft) | BorderBit(bRight));
  for (Integer x : {0, 19}) {
    SCOPED_TRACE(x);
    EXPECT_TRUE(between.Is(x, 0, clRed));
    EXPECT_TRUE(between.Is(x, 1, middle));
    EXPECT_TRUE(between.Is(x, 2, x == 0 ? edge : dark));
    EXPECT_TRUE(between.Is(x, 12, x == 0 ? edge : dark));
    EXPECT_TRUE(between.Is(x, 13, Office11MixColors(middle, light, 25)));
    EXPECT_TRUE(between.Is(x, 14, light));
    EXPECT_TRUE(between.Is(x, 15, clRed));
  }
  EXPECT_TRUE(between.Is(5, 0, clRed));  // top and bottom were not asked
  EXPECT_TRUE(between.Is(5, 15, clRed));
}

TEST_F(cxUltraFlatPainters, HeaderSections) {
  // Ultra-flat: black frame (shadow when disabled); above normal the face colour.
  struct TCase {
    TcxButtonState State;
    TColor Frame, Inside;
  };
  const TCase cases[] = {{cxbsNormal, clBlack, clYellow},
                         {cxbsHot, clBlack, MixedLightHighlightColor()},
                         {cxbsPressed, clBlack, MixedHighlightColor()},
                         {cxbsDisabled, clBtnShadow, clBtnFace}};
  for (const TCase& c : cases) {
    TImage image(30, 18, clRed);
    UltraFlat()->PaintHeaderSection(&image.Canvas, Rect(0, 0, 30, 18), c.State, clYellow, u"", nullptr, clBtnText,
                                    taCenter, vaCenter, false, false);
    EXPECT_TRUE(image.Is(0, 0, c.Frame)) << c.State;
    EXPECT_TRUE(image.Is(29, 17, c.Frame)) << c.State;
    EXPECT_TRUE(image.Is(5, 5, c.Inside)) << c.State;
  }
  // Office 11: a header; pressed, the same header inverted.
  TImage normal(30, 18), pressed(30, 18);
  Office11()->PaintHeaderSection(&normal.Canvas, Rect(0, 0, 30, 18), cxbsNormal, clYellow, u"", nullptr, clBtnText,
                                 taCenter, vaCenter, false, false);
  Office11()->PaintHeaderSection(&pressed.Canvas, Rect(0, 0, 30, 18), cxbsPressed, clYellow, u"", nullptr, clBtnText,
                                 taCenter, vaCenter, false, false);
  EXPECT_TRUE(normal.Is(5, 5, Office11()->HeaderMiddleColor()));
  EXPECT_EQ(pressed.At(5, 5), normal.At(5, 5) ^ 0xFFFFFF);
  EXPECT_EQ(pressed.At(0, 0), normal.At(0, 0) ^ 0xFFFFFF);
}

TEST_F(cxUltraFlatPainters, SortMarks) {
  TImage ultra(16, 16, clRed), office(16, 16, clRed);
  UltraFlat()->PaintSortMark(&ultra.Canvas, Rect(0, 0, 16, 16), true);
  Office11()->PaintSortMark(&office.Canvas, Rect(0, 0, 16, 16), false);
  EXPECT_GT(ultra.Count(Rect(0, 0, 16, 16), clBtnShadow), 10);
  EXPECT_EQ(ultra.Count(Rect(0, 0, 16, 16), clRed) + ultra.Count(Rect(0, 0, 16, 16), clBtnShadow), 256);
  const TRect box = ultra.Box(Rect(0, 0, 16, 16), clBtnShadow);
  EXPECT_EQ(ultra.Count(Rect(box.Left, box.Top, box.Right, box.Top + 1), clBtnShadow), 1);  // apex on top
  EXPECT_GT(office.Count(Rect(0, 0, 16, 16), Office11()->HeaderEdgeColor()), 0);
  EXPECT_GT(office.Count(Rect(0, 0, 16, 16), Office11()->HeaderDarkColor()), 0);
}

// ---- Footers, filter buttons, borders ------------------------------------------------------

TEST_F(cxUltraFlatPainters, FootersInTheSeparatorColour) {
  for (const TcxCustomLookAndFeelPainter* p : {static_cast<const TcxCustomLookAndFeelPainter*>(UltraFlat()),
                                               static_cast<const TcxCustomLookAndFeelPainter*>(Office11())}) {
    const TColor separator = p->FooterSeparatorColor();
    TImage frame(20, 12, clRed), cell(20, 12, clRed);
    p->PaintFooterFrame(&frame.Canvas, Rect(0, 0, 20, 12));
    EXPECT_TRUE(frame.Is(19, 5, separator));
    EXPECT_TRUE(frame.Is(5, 11, separator));
    EXPECT_TRUE(frame.Is(0, 5, clRed));
    EXPECT_TRUE(frame.Is(5, 0, clRed));
    p->PaintFooterCellFrame(&cell.Canvas, Rect(0, 0, 20, 12));
    EXPECT_TRUE(cell.Is(0, 0, separator));
    EXPECT_TRUE(cell.Is(19, 11, separator));
  }
}

TEST_F(cxUltraFlatPainters, FilterDropDownButton) {
  for (const TcxUltraFlatLookAndFeelPainter* p : {UltraFlat(), static_cast<const TcxUltraFlatLookAndFeelPainter*>(Office11())})
    for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed})
      for (bool active : {false, true}) {
        TImage image(15, 18, clRed);
        p->PaintFilterDropDownButton(&image.Canvas, Rect(0, 0, 15, 18), state, active);
        EXPECT_TRUE(image.Is(0, 0, p->HotFrameColor(state)));
        EXPECT_TRUE(image.Is(1, 1, p->ButtonFaceColor(state)));
        EXPECT_EQ(image.Count(Rect(1, 1, 14, 17), clBlue) > 0, active);
        EXPECT_EQ(image.Count(Rect(1, 1, 14, 17), p->ButtonGlyphColor(state)) > 0, !active);
      }
}

TEST_F(cxUltraFlatPainters, BordersAndSplitters) {
  TImage ultra(10, 10, clRed), office(10, 10, clRed), officeThin(10, 10, clRed), ultraThin(10, 10, clRed);
  UltraFlat()->PaintBorder(&ultra.Canvas, Rect(0, 0, 10, 10));
  Office11()->PaintBorder(&office.Canvas, Rect(0, 0, 10, 10));
  Office11()->PaintThinBorder(&officeThin.Canvas, Rect(0, 0, 10, 10));
  UltraFlat()->PaintThinBorder(&ultraThin.Canvas, Rect(0, 0, 10, 10));
  EXPECT_TRUE(ultra.Is(0, 0, clBtnShadow));
  EXPECT_TRUE(ultra.Is(1, 1, clRed));
  EXPECT_TRUE(office.Is(9, 9, Office11Color(19)));
  EXPECT_TRUE(officeThin.Is(9, 9, Office11Color(36)));
  EXPECT_TRUE(ultraThin.SameAs(ultra));
  for (bool horizontal : {true, false}) {
    TImage splitter(10, 10, clRed);
    splitter.Canvas.GetBrush()->SetColor(clYellow);
    Office11()->PaintSplitterBorder(&splitter.Canvas, Rect(0, 0, 10, 10), horizontal);
    auto at = [&](Integer d) { return horizontal ? splitter.At(5, d) : splitter.At(d, 5); };
    EXPECT_EQ(at(0), RGBOf(Office11Color(36)));
    EXPECT_EQ(at(9), RGBOf(Office11Color(36)));
    EXPECT_EQ(at(1), RGBOf(clYellow));
    EXPECT_EQ(at(8), RGBOf(clYellow));
  }
}

TEST_F(cxUltraFlatPainters, TabsInTheAreaColours) {
  TImage area(20, 20, clRed);
  UltraFlat()->PaintTabsArea(&area.Canvas, Rect(0, 0, 20, 20), BorderBit(bLeft) | BorderBit(bBottom));
  EXPECT_TRUE(area.Is(0, 5, clBtnShadow));
  EXPECT_TRUE(area.Is(5, 19, clBtnShadow));
  EXPECT_TRUE(area.Is(19, 5, clRed));
  TImage tabs(20, 20, clRed);
  UltraFlat()->PaintTabFrame(&tabs.Canvas, Rect(0, 0, 2, 10), tpTop, cxAllBorders, false);
  UltraFlat()->PaintTabFrame(&tabs.Canvas, Rect(5, 0, 7, 10), tpTop, cxAllBorders, true);
  EXPECT_TRUE(tabs.Is(0, 8, clBtnShadow));
  EXPECT_TRUE(tabs.Is(0, 9, clRed));  // unselected top tabs stop one frame short
  EXPECT_TRUE(tabs.Is(5, 9, clBtnText));
}

// ---- Scroll bars and arrow headers ---------------------------------------------------------

TEST_F(cxUltraFlatPainters, ScrollBarParts) {
  // Ultra-flat: caption buttons in its own colours; the arrow is not moved.
  TImage hot(16, 16, clRed), pressed(16, 16, clRed), normal(16, 16, clRed);
  UltraFlat()->PaintScrollBarPart(&hot.Canvas, Rect(0, 0, 16, 16), sbpLineUp, cxbsHot, false);
  UltraFlat()->PaintScrollBarPart(&pressed.Canvas, Rect(0, 0, 16, 16), sbpLineUp, cxbsPressed, false);
  UltraFlat()->PaintScrollBarPart(&normal.Canvas, Rect(0, 0, 16, 16), sbpLineUp, cxbsNormal, false);
  EXPECT_TRUE(hot.Is(0, 0, clHighlight));
  EXPECT_TRUE(hot.Is(1, 1, MixedLightHighlightColor()));
  EXPECT_EQ(pressed.Box(Rect(1, 1, 15, 15), clHighlightText), normal.Box(Rect(1, 1, 15, 15), clBtnText));
  TImage disabledThumb(16, 16, clRed);
  UltraFlat()->PaintScrollBarPart(&disabledThumb.Canvas, Rect(0, 0, 16, 16), sbpThumbnail, cxbsDisabled, false);
  EXPECT_EQ(disabledThumb.Count(Rect(0, 0, 16, 16), clRed), 256);
  // Office 11 without scroll-bar themes: the standard painter's parts.
  for (TcxScrollBarPart part : {sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown})
    for (TcxButtonState state : AllStates) {
      TImage office(16, 16, clRed), standard(16, 16, clRed);
      Office11()->PaintScrollBarPart(&office.Canvas, Rect(0, 0, 16, 16), part, state, true);
      PainterOf(cxStandardLookAndFeelPainter())->PaintScrollBarPart(&standard.Canvas, Rect(0, 0, 16, 16), part, state, true);
      EXPECT_TRUE(office.SameAs(standard)) << part << " " << state;
    }
}

TEST_F(cxUltraFlatPainters, Office11ArrowsHeaderFillsInsideTheRect) {
  Integer calls = 0;
  TImage image(20, 30, clRed), custom(20, 30, clWhite);
  Office11()->PaintArrowsHeader(&image.Canvas, Rect(0, 0, 20, 30), 0, u"", nullptr, clBtnText, clYellow,
                                TcxDrawBackgroundEvent(), cxAllBorders, cxArrowDown);
  EXPECT_TRUE(image.Is(0, 0, clRed));
  EXPECT_TRUE(image.Is(1, 1, clYellow));
  EXPECT_GT(image.Count(Rect(1, 1, 19, 29), clWindowText), 5);
  Office11()->PaintArrowsHeader(&custom.Canvas, Rect(0, 0, 20, 30), 0, u"", nullptr, clBtnText, clYellow,
                                RedBackground(&calls), cxAllBorders, cxArrowUp);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(custom.Is(1, 1, clRed));
  EXPECT_TRUE(custom.Is(0, 0, clWhite));
}

TEST_F(cxUltraFlatPainters, Gallery) {
  SetSysColorTable(DefaultSysColorTable());
  Office11SchemeRefresh();
  PaintGallery(UltraFlat(), "cxUltraFlatPainters_ultraflat");
  PaintGallery(Office11(), "cxUltraFlatPainters_office11");
}
