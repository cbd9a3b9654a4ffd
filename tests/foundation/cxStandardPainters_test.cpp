#include "foundation/cxStandardPainters.h"

#include <gtest/gtest.h>

#include "foundation/cxLookAndFeels.h"
#include "foundation/cxPainterImages.h"
#include "tests/foundation/cxStandardPainters_test.h"

using namespace cxPainterTest;

namespace {

const TcxCustomLookAndFeelPainter* Standard() { return PainterOf(cxStandardLookAndFeelPainter()); }
const TcxCustomLookAndFeelPainter* Flat() { return PainterOf(cxFlatLookAndFeelPainter()); }

// The standard painter through a painter that records its caption buttons.
class TRecordingFlatPainter : public TcxFlatLookAndFeelPainter {
  KORVANE_CLASS(TRecordingFlatPainter, TcxFlatLookAndFeelPainter)
  void PaintCaptionButton(TcxCanvas* ACanvas, const TRect& ARect, TColor, TColor AFaceColor, bool, TcxButtonState,
                          const String&) const override {
    FillRectColor(ACanvas, ARect, AFaceColor == clDefault ? clLime : AFaceColor);
  }
};

}  // namespace

class cxStandardPainters : public ::testing::Test {
protected:
  void SetUp() override { SetSysColorTable(DistinctColors()); }
  void TearDown() override {
    SetSysColorTable(DefaultSysColorTable());
    cxPainterImagesFinalize();
  }
};

// ---- Classes and registration ----------------------------------------------------------------

TEST_F(cxStandardPainters, PaintersAreRegisteredForTheirKinds) {
  EXPECT_EQ(LookAndFeelPainterOfKind(lfStandard), cxStandardLookAndFeelPainter());
  EXPECT_EQ(LookAndFeelPainterOfKind(lfFlat), cxFlatLookAndFeelPainter());
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.SetKind(lfFlat);
  EXPECT_EQ(lookAndFeel.Painter(), cxFlatLookAndFeelPainter());
  lookAndFeel.SetKind(lfStandard);
  EXPECT_EQ(lookAndFeel.Painter(), cxStandardLookAndFeelPainter());
  // Registering again (after a test cleared an entry) restores them.
  RegisterLookAndFeelPainter(lfFlat, nullptr);
  cxStandardPaintersRegister();
  EXPECT_EQ(LookAndFeelPainterOfKind(lfFlat), cxFlatLookAndFeelPainter());
  EXPECT_EQ(Standard()->Kind(), lfStandard);
  EXPECT_EQ(Flat()->Kind(), lfFlat);
}

TEST_F(cxStandardPainters, Metrics) {
  struct TCase {
    const TcxCustomLookAndFeelPainter* Painter;
    Integer StyleCode, Border, FrameDefault, FrameNormal, ExpandGlyph, SectionPressed, SectionNormal;
    TColor AfterThinBorder2;
  };
  const TCase cases[] = {
      {Standard(), 1, 2, 3, 2, 12, 1, 2, clWindow},
      {Flat(), 0, 1, 2, 1, 11, 1, 1, 0xD5FFFF},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.StyleCode);
    const TcxCustomLookAndFeelPainter* p = c.Painter;
    EXPECT_EQ(p->StyleCode(), c.StyleCode);
    EXPECT_EQ(p->BorderThickness(), c.Border);
    EXPECT_EQ(p->ButtonFrameWidth(cxbsDefault), c.FrameDefault);
    for (TcxButtonState state : {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled})
      EXPECT_EQ(p->ButtonFrameWidth(state), c.FrameNormal);
    EXPECT_EQ(p->ExpandGlyphSize(), c.ExpandGlyph);
    EXPECT_EQ(p->HeaderSectionFrameWidth(cxbsPressed), c.SectionPressed);
    EXPECT_EQ(p->HeaderSectionFrameWidth(cxbsNormal), c.SectionNormal);
    EXPECT_EQ(p->PainterColor(pcAfterThinBorder2), c.AfterThinBorder2);
    EXPECT_EQ(p->ButtonContentMargin(), 1);
    EXPECT_EQ(p->PressedContentShift(), 1);
    EXPECT_FALSE(p->HotTracksButtons());
    EXPECT_EQ(p->HeaderFrameWidth(), 1);
    EXPECT_EQ(p->SortMarkSize(), Point(8, 7));
    EXPECT_EQ(p->FooterFrameWidth(), 1);
    EXPECT_EQ(p->FooterCellFrameWidth(), 1);
    EXPECT_EQ(p->FooterCellSpacing(), 1);
    EXPECT_EQ(p->TabFrameWidth(), 1);
    // Untouched answers keep the base values.
    EXPECT_EQ(p->ButtonFaceColor(cxbsHot), clBtnFace);
    EXPECT_EQ(p->ThinBorderColor(), 0x0000FF);
  }
}

// ---- Buttons -------------------------------------------------------------------------------

TEST_F(cxStandardPainters, ButtonFramesByState) {
  // Expected colours at the outer corner, one pixel in, and the two
  // bottom-right pixels of the outer and the second ring.
  struct TCase {
    const TcxCustomLookAndFeelPainter* Painter;
    TcxButtonState State;
    TColor Outer, Inner, OuterBottomRight, InnerBottomRight;
  };
  const TCase cases[] = {
      {Standard(), cxbsNormal, clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow},
      {Standard(), cxbsHot, clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow},
      {Standard(), cxbsDisabled, clBtnHighlight, cl3DLight, cl3DDkShadow, clBtnShadow},
      {Standard(), cxbsDefault, clBlack, clBtnHighlight, clBlack, cl3DDkShadow},
      {Standard(), cxbsPressed, clBlack, clBtnShadow, clBlack, clBtnShadow},
      {Flat(), cxbsNormal, clBtnHighlight, clBtnFace, clBtnShadow, clBtnFace},
      {Flat(), cxbsDefault, clBlack, clBtnHighlight, clBlack, clBtnShadow},
      {Flat(), cxbsPressed, clBtnShadow, clBtnFace, clBtnHighlight, clBtnFace},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int(c.Painter->StyleCode()) << " state " << c.State);
    TImage image(20, 16);
    c.Painter->PaintButton(&image.Canvas, Rect(0, 0, 20, 16), c.State);
    EXPECT_TRUE(image.Is(0, 0, c.Outer));
    EXPECT_TRUE(image.Is(1, 1, c.Inner));
    EXPECT_TRUE(image.Is(19, 15, c.OuterBottomRight));
    EXPECT_TRUE(image.Is(18, 14, c.InnerBottomRight));
  }
}

TEST_F(cxStandardPainters, FaceStartsAtTheFrameWidthInEveryState) {
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()})
    for (TcxButtonState state : AllStates) {
      SCOPED_TRACE(testing::Message() << "style " << int(painter->StyleCode()) << " state " << state);
      TImage image(20, 16, clRed);
      painter->PaintButton(&image.Canvas, Rect(0, 0, 20, 16), state);
      const Integer w = painter->ButtonFrameWidth(state);
      EXPECT_TRUE(image.Is(w, w, clBtnFace));
      EXPECT_TRUE(image.Is(19 - w, 15 - w, clBtnFace));
      EXPECT_FALSE(image.Is(w - 1, w - 1, clBtnFace));
      EXPECT_EQ(image.Count(Rect(0, 0, 20, 16), clRed), 0);
    }
}

TEST_F(cxStandardPainters, ButtonArrowMovesWhenPressedAndIsEmbossedWhenDisabled) {
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()}) {
    TImage normal(16, 16), pressed(16, 16), disabled(16, 16);
    painter->PaintButtonArrow(&normal.Canvas, Rect(0, 0, 16, 16), adDown, cxbsNormal);
    painter->PaintButtonArrow(&pressed.Canvas, Rect(0, 0, 16, 16), adDown, cxbsPressed);
    painter->PaintButtonArrow(&disabled.Canvas, Rect(0, 0, 16, 16), adDown, cxbsDisabled);
    const TRect box = normal.Box(Rect(0, 0, 16, 16), clBtnText);
    ASSERT_FALSE(IsRectEmpty(box));
    EXPECT_EQ(pressed.Box(Rect(0, 0, 16, 16), clBtnText), Rect(box.Left + 1, box.Top + 1, box.Right + 1, box.Bottom + 1));
    EXPECT_EQ(disabled.Box(Rect(0, 0, 16, 16), clBtnShadow), box);
    EXPECT_GT(disabled.Count(Rect(0, 0, 16, 16), clBtnHighlight), 0);
  }
}

// ---- Borders -------------------------------------------------------------------------------

TEST_F(cxStandardPainters, Borders) {
  TImage standard(10, 10, clRed), flat(10, 10, clRed);
  Standard()->PaintBorder(&standard.Canvas, Rect(0, 0, 10, 10));
  Flat()->PaintBorder(&flat.Canvas, Rect(0, 0, 10, 10));
  EXPECT_TRUE(standard.Is(0, 0, clBtnShadow));
  EXPECT_TRUE(standard.Is(9, 9, clBtnHighlight));
  EXPECT_TRUE(standard.Is(1, 1, cl3DDkShadow));
  EXPECT_TRUE(standard.Is(8, 8, cl3DLight));
  EXPECT_TRUE(standard.Is(2, 2, clRed));
  EXPECT_TRUE(flat.Is(0, 0, clBtnShadow));
  EXPECT_TRUE(flat.Is(9, 9, clBtnHighlight));
  EXPECT_TRUE(flat.Is(1, 1, clRed));
  // The thin border is the border.
  TImage thin(10, 10, clRed);
  Standard()->PaintThinBorder(&thin.Canvas, Rect(0, 0, 10, 10));
  EXPECT_TRUE(thin.SameAs(standard));
}

// ---- Expand glyphs -------------------------------------------------------------------------

TEST_F(cxStandardPainters, StandardExpandGlyphIsARaisedBoxThatLeavesTheClip) {
  TImage image(20, 20, clRed);
  Standard()->PaintExpandGlyph(&image.Canvas, Rect(2, 2, 14, 14), clDefault, false);
  EXPECT_TRUE(image.Is(2, 2, cl3DLight));     // raised outer ring, lit side
  EXPECT_TRUE(image.Is(13, 13, cl3DDkShadow));  // raised outer ring, dark side
  EXPECT_TRUE(image.Is(12, 12, clBtnShadow));   // inner ring, dark side
  EXPECT_TRUE(image.Is(4, 4, clBtnFace));       // the face
  EXPECT_GT(image.Count(Rect(3, 3, 12, 12), clBtnText), 8);  // a plus sign
  // The glyph is excluded from the clip: a fill over everything leaves it.
  TcxCustomLookAndFeelPainter::FillRectColor(&image.Canvas, Rect(0, 0, 20, 20), clLime);
  EXPECT_TRUE(image.Is(2, 2, cl3DLight));
  EXPECT_TRUE(image.Is(1, 1, clLime));
  EXPECT_TRUE(image.Is(14, 14, clLime));

  TImage expanded(20, 20, clRed), filled(20, 20, clRed);
  Standard()->PaintExpandGlyph(&expanded.Canvas, Rect(2, 2, 14, 14), clDefault, true);
  Standard()->PaintExpandGlyph(&filled.Canvas, Rect(2, 2, 14, 14), clYellow, true);
  EXPECT_LT(expanded.Count(Rect(3, 3, 12, 12), clBtnText), image.Count(Rect(3, 3, 12, 12), clBtnText));
  EXPECT_TRUE(filled.Is(4, 4, clYellow));
}

TEST_F(cxStandardPainters, FlatExpandGlyphPaintsThroughItsOwnCaptionButton) {
  TImage flat(20, 20, clRed);
  Flat()->PaintExpandGlyph(&flat.Canvas, Rect(0, 0, 11, 11), clYellow, false);
  EXPECT_TRUE(flat.Is(0, 0, clBtnHighlight));
  EXPECT_TRUE(flat.Is(10, 10, clBtnShadow));
  EXPECT_TRUE(flat.Is(2, 2, clYellow));
  EXPECT_TRUE(flat.Is(5, 5, clBtnText));

  TImage recorded(20, 20, clRed);
  PainterOf(TRecordingFlatPainter::StaticClass())->PaintExpandGlyph(&recorded.Canvas, Rect(0, 0, 11, 11), clDefault,
                                                                    false);
  EXPECT_TRUE(recorded.Is(0, 0, clLime));  // the overriding caption button drew the box
  EXPECT_TRUE(recorded.Is(5, 5, clBtnText));
}

TEST_F(cxStandardPainters, StandardGroupExpandGlyphIsTheFlatOne) {
  for (TcxButtonState state : AllStates)
    for (bool expanded : {false, true}) {
      TImage standard(17, 17), flat(17, 17);
      Standard()->PaintGroupExpandGlyph(&standard.Canvas, Rect(1, 1, 16, 16), state, expanded);
      Flat()->PaintGroupExpandGlyph(&flat.Canvas, Rect(1, 1, 16, 16), state, expanded);
      EXPECT_TRUE(standard.SameAs(flat)) << state << expanded;
    }
}

// ---- Check boxes ---------------------------------------------------------------------------

TEST_F(cxStandardPainters, CheckBoxFramesFacesAndMarks) {
  for (TcxButtonState state : AllStates)
    for (bool checked : {false, true}) {
      SCOPED_TRACE(testing::Message() << "state " << state << " checked " << checked);
      const TColor face = Standard()->CheckFaceColor(state);
      const TColor mark = state == cxbsDisabled ? clGrayText : clBtnText;
      TImage standard(13, 13, clRed), flat(13, 13, clRed);
      Standard()->PaintCheckBox(&standard.Canvas, Rect(0, 0, 13, 13), checked, state);
      Flat()->PaintCheckBox(&flat.Canvas, Rect(0, 0, 13, 13), checked, state);
      // Standard: a sunken inner ring outside, a sunken outer ring inside.
      EXPECT_TRUE(standard.Is(0, 0, cl3DDkShadow));
      EXPECT_TRUE(standard.Is(12, 12, cl3DLight));
      EXPECT_TRUE(standard.Is(1, 1, clBtnShadow));
      EXPECT_TRUE(standard.Is(11, 11, clBtnHighlight));
      EXPECT_TRUE(standard.Is(2, 2, face));
      // Flat: the sunken outer ring, then a ring in the face colour.
      EXPECT_TRUE(flat.Is(0, 0, clBtnShadow));
      EXPECT_TRUE(flat.Is(12, 12, clBtnHighlight));
      EXPECT_TRUE(flat.Is(1, 1, face));
      EXPECT_TRUE(flat.Is(11, 11, face));
      EXPECT_EQ(standard.Count(Rect(2, 2, 11, 11), mark) > 0, checked);
      EXPECT_EQ(flat.Count(Rect(2, 2, 11, 11), mark) > 0, checked);
    }
}

// ---- Headers -------------------------------------------------------------------------------

TEST_F(cxStandardPainters, HeaderFrameSoftensTheCornersOfTheAskedSides) {
  struct TCase {
    TcxBorders Borders;
    TColor LeftTop1, LeftBottom2, RightTop, RightTop1;
  };
  const TcxBorders left = BorderBit(bLeft), right = BorderBit(bRight);
  const TCase cases[] = {
      {cxAllBorders, clBtnFace, clBtnFace, clBtnHighlight, clBtnFace},
      {cxAllBorders & ~left, clBtnHighlight, clBtnHighlight, clBtnHighlight, clBtnFace},
      {cxAllBorders & ~right, clBtnFace, clBtnFace, clBtnShadow, clBtnShadow},
  };
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()})
    for (const TCase& c : cases) {
      SCOPED_TRACE(c.Borders);
      TImage image(30, 18, clRed);
      painter->PaintHeaderFrame(&image.Canvas, Rect(0, 0, 30, 18), 0, c.Borders);
      EXPECT_TRUE(image.Is(0, 1, c.LeftTop1));
      EXPECT_TRUE(image.Is(0, 16, c.LeftBottom2));
      EXPECT_TRUE(image.Is(29, 0, c.RightTop));
      EXPECT_TRUE(image.Is(29, 1, c.RightTop1));
      EXPECT_TRUE(image.Is(5, 17, clBtnShadow));
      EXPECT_TRUE(image.Is(5, 5, clRed));
    }
}

TEST_F(cxStandardPainters, HeaderDrawsFrameAndContentInside) {
  TImage image(40, 18, clRed);
  Standard()->PaintHeader(&image.Canvas, Rect(0, 0, 40, 18), Rect(2, 2, 38, 16), 0, cxAllBorders, cxbsNormal,
                          taLeftJustify, vaCenter, false, false, u"", nullptr, clBtnText, clYellow,
                          TcxDrawBackgroundEvent());
  EXPECT_TRUE(image.Is(5, 0, clBtnHighlight));
  EXPECT_TRUE(image.Is(1, 1, clYellow));
  EXPECT_TRUE(image.Is(38, 16, clYellow));
  EXPECT_EQ(image.Count(Rect(0, 0, 40, 18), clRed), 0);
}

TEST_F(cxStandardPainters, HeaderSectionFramesByState) {
  struct TCase {
    const TcxCustomLookAndFeelPainter* Painter;
    TcxButtonState State;
    TColor TopLeft, BottomRight, Inner;
  };
  const TCase cases[] = {
      {Standard(), cxbsNormal, clBtnHighlight, cl3DDkShadow, cl3DLight},
      {Standard(), cxbsPressed, clBtnShadow, clBtnShadow, clYellow},
      {Flat(), cxbsNormal, clBtnHighlight, clBtnShadow, clYellow},
      {Flat(), cxbsPressed, clBtnShadow, clBtnHighlight, clYellow},
  };
  for (const TCase& c : cases) {
    TImage image(30, 18, clRed);
    c.Painter->PaintHeaderSection(&image.Canvas, Rect(0, 0, 30, 18), c.State, clYellow, u"", nullptr, clBtnText,
                                  taLeftJustify, vaCenter, false, false);
    EXPECT_TRUE(image.Is(0, 0, c.TopLeft)) << c.State;
    EXPECT_TRUE(image.Is(29, 17, c.BottomRight)) << c.State;
    EXPECT_TRUE(image.Is(1, 1, c.Inner)) << c.State;
    EXPECT_EQ(image.Count(Rect(0, 0, 30, 18), clRed), 0) << c.State;
  }
}

TEST_F(cxStandardPainters, SortMarkIsA3DTriangleThatTurns) {
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()}) {
    TImage up(16, 16, clRed), down(16, 16, clRed);
    painter->PaintSortMark(&up.Canvas, Rect(0, 0, 16, 16), true);
    painter->PaintSortMark(&down.Canvas, Rect(0, 0, 16, 16), false);
    const TRect upLight = up.Box(Rect(0, 0, 16, 16), clBtnHighlight);
    const TRect upDark = up.Box(Rect(0, 0, 16, 16), clBtnShadow);
    // Within the 8 x 7 mark; ascending has a lit base at the bottom.
    EXPECT_EQ(Rect(upDark.Left, upDark.Top, upLight.Right, upLight.Bottom), Rect(4, 4, 12, 11));
    EXPECT_EQ(up.Count(Rect(4, 10, 12, 11), clBtnHighlight), 7);  // the base; its left end is shaded
    EXPECT_EQ(down.Count(Rect(4, 4, 12, 5), clBtnShadow), 8);
  }
}

// ---- Footers, filter buttons, cross glyphs ------------------------------------------------

TEST_F(cxStandardPainters, FooterFramesAndCells) {
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()}) {
    TImage frame(20, 12, clRed), cell(20, 12, clRed);
    painter->PaintFooterFrame(&frame.Canvas, Rect(0, 0, 20, 12));
    EXPECT_TRUE(frame.Is(0, 0, clBtnHighlight));
    EXPECT_TRUE(frame.Is(19, 11, clBtnShadow));
    painter->PaintFooterCell(&cell.Canvas, Rect(0, 0, 20, 12), taLeftJustify, vaCenter, false, false, u"", nullptr,
                             clBtnText, clYellow);
    EXPECT_TRUE(cell.Is(0, 0, clBtnShadow));
    EXPECT_TRUE(cell.Is(19, 11, clBtnHighlight));
    EXPECT_TRUE(cell.Is(1, 1, clYellow));
  }
}

TEST_F(cxStandardPainters, FilterDropDownButtonShowsAnActiveFilterInBlue) {
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()})
    for (TcxButtonState state : {cxbsNormal, cxbsPressed})
      for (bool active : {false, true}) {
        TImage image(15, 18, clRed);
        painter->PaintFilterDropDownButton(&image.Canvas, Rect(0, 0, 15, 18), state, active);
        EXPECT_TRUE(image.Is(0, 0, state == cxbsPressed ? clBtnShadow : clBtnHighlight));
        EXPECT_TRUE(image.Is(1, 1, clBtnFace));
        EXPECT_EQ(image.Count(Rect(1, 1, 14, 17), clBlue) > 0, active);
        EXPECT_EQ(image.Count(Rect(1, 1, 14, 17), clBtnText) > 0, !active);
      }
}

TEST_F(cxStandardPainters, CrossGlyphIsOnePixelSmallerAndMovesWhenPressed) {
  TImage base(16, 16), normal(16, 16), pressed(16, 16);
  PainterOf(TcxCustomLookAndFeelPainter::StaticClass())->PaintCrossGlyph(&base.Canvas, Rect(0, 0, 15, 15), cxbsNormal);
  Standard()->PaintCrossGlyph(&normal.Canvas, Rect(0, 0, 16, 16), cxbsNormal);
  Flat()->PaintCrossGlyph(&pressed.Canvas, Rect(0, 0, 16, 16), cxbsPressed);
  EXPECT_TRUE(normal.SameAs(base));
  const TRect box = normal.Box(Rect(0, 0, 16, 16), clWindowText);
  EXPECT_EQ(pressed.Box(Rect(0, 0, 16, 16), clWindowText),
            Rect(box.Left + 1, box.Top + 1, box.Right + 1, box.Bottom + 1));
}

// ---- Scroll bars ---------------------------------------------------------------------------

TEST_F(cxStandardPainters, ScrollBarPartsPaintNothingForAnEmptyRectOrADisabledThumb) {
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()}) {
    TImage image(20, 20, clRed);
    painter->PaintScrollBarPart(&image.Canvas, Rect(0, 0, 16, 16), sbpThumbnail, cxbsDisabled, false);
    painter->PaintScrollBarPart(&image.Canvas, Rect(5, 5, 5, 16), sbpLineUp, cxbsNormal, false);
    EXPECT_EQ(image.Count(Rect(0, 0, 20, 20), clRed), 400);
    painter->PaintScrollBarPart(&image.Canvas, Rect(0, 0, 16, 16), sbpThumbnail, cxbsNormal, false);
    EXPECT_EQ(image.Count(Rect(0, 0, 16, 16), clRed), 0);
  }
}

TEST_F(cxStandardPainters, StandardScrollBarButtonsAndThumb) {
  struct TCase {
    TcxScrollBarPart Part;
    TcxButtonState State;
    TColor Outer, Inner, OuterBottomRight, InnerBottomRight;
  };
  const TCase cases[] = {
      {sbpLineUp, cxbsNormal, clBtnFace, cl3DLight, cl3DDkShadow, clBtnShadow},
      {sbpLineUp, cxbsHot, clBtnFace, cl3DLight, cl3DDkShadow, clBtnShadow},
      {sbpLineDown, cxbsPressed, clBtnShadow, clBtnFace, clBtnShadow, clBtnFace},
      {sbpLineDown, cxbsDisabled, clBtnFace, cl3DLight, cl3DDkShadow, clBtnShadow},
      {sbpThumbnail, cxbsNormal, clBtnFace, cl3DLight, cl3DDkShadow, clBtnShadow},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Part << " " << c.State);
    TImage image(16, 16, clRed);
    Standard()->PaintScrollBarPart(&image.Canvas, Rect(0, 0, 16, 16), c.Part, c.State, false);
    EXPECT_TRUE(image.Is(0, 0, c.Outer));
    EXPECT_TRUE(image.Is(1, 1, c.Inner));
    EXPECT_TRUE(image.Is(15, 15, c.OuterBottomRight));
    EXPECT_TRUE(image.Is(14, 14, c.InnerBottomRight));
    EXPECT_EQ(image.Count(Rect(0, 0, 16, 16), clRed), 0);
  }
  // The arrow points by orientation and part.
  TImage up(16, 16), right(16, 16);
  Standard()->PaintScrollBarPart(&up.Canvas, Rect(0, 0, 16, 16), sbpLineUp, cxbsNormal, false);
  Standard()->PaintScrollBarPart(&right.Canvas, Rect(0, 0, 16, 16), sbpLineDown, cxbsNormal, true);
  const TRect upBox = up.Box(Rect(2, 2, 14, 14), clBtnText), rightBox = right.Box(Rect(2, 2, 14, 14), clBtnText);
  EXPECT_GT(upBox.Width(), upBox.Height());
  EXPECT_GT(rightBox.Height(), rightBox.Width());
  EXPECT_EQ(up.Count(Rect(upBox.Left, upBox.Top, upBox.Right, upBox.Top + 1), clBtnText), 1);  // the tip on top
}

TEST_F(cxStandardPainters, FlatScrollBarButtonsAreCaptionButtonsWithArrows) {
  TImage normal(16, 16, clRed), pressed(16, 16, clRed);
  Flat()->PaintScrollBarPart(&normal.Canvas, Rect(0, 0, 16, 16), sbpLineDown, cxbsNormal, false);
  Flat()->PaintScrollBarPart(&pressed.Canvas, Rect(0, 0, 16, 16), sbpLineDown, cxbsPressed, false);
  EXPECT_TRUE(normal.Is(0, 0, clBtnHighlight));
  EXPECT_TRUE(normal.Is(15, 15, clBtnShadow));
  EXPECT_TRUE(pressed.Is(0, 0, clBtnShadow));
  const TRect box = normal.Box(Rect(1, 1, 15, 15), clBtnText);
  ASSERT_FALSE(IsRectEmpty(box));
  EXPECT_EQ(pressed.Box(Rect(1, 1, 15, 15), clBtnText), Rect(box.Left + 1, box.Top + 1, box.Right + 1, box.Bottom + 1));
  TImage thumb(16, 16, clRed);
  Flat()->PaintScrollBarPart(&thumb.Canvas, Rect(0, 0, 16, 16), sbpThumbnail, cxbsNormal, false);
  EXPECT_EQ(thumb.Count(Rect(1, 1, 15, 15), clBtnFace), 14 * 14);
}

TEST_F(cxStandardPainters, TracksUseTheCheckerOfTheState) {
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()}) {
    TImage normal(8, 8, clRed), pressed(8, 8, clRed);
    painter->PaintScrollBarPart(&normal.Canvas, Rect(0, 0, 8, 8), sbpPageUp, cxbsNormal, false);
    painter->PaintScrollBarPart(&pressed.Canvas, Rect(0, 0, 8, 8), sbpPageDown, cxbsPressed, true);
    EXPECT_EQ(normal.Count(Rect(0, 0, 8, 8), clBtnHighlight), 32);
    EXPECT_EQ(normal.Count(Rect(0, 0, 8, 8), clBtnFace), 32);
    EXPECT_EQ(pressed.Count(Rect(0, 0, 8, 8), cl3DDkShadow), 32);
    EXPECT_EQ(pressed.Count(Rect(0, 0, 8, 8), clBlack), 32);
  }
}

// ---- Arrows headers, splitters, tabs -------------------------------------------------------

TEST_F(cxStandardPainters, ArrowsHeaderLeavesOutTheBandTowardsANeighbour) {
  struct TCase {
    TcxNeighbors Neighbors;
    bool LeftBand, RightBand;
  };
  const TCase cases[] = {{0, true, true}, {nRight, true, false}, {nLeft, false, true}, {nLeft | nRight, false, false}};
  for (const TCase& c : cases) {
    TImage image(30, 30, clRed);
    Standard()->PaintArrowsHeader(&image.Canvas, Rect(0, 0, 30, 30), c.Neighbors, u"", nullptr, clBtnText, clYellow,
                                  TcxDrawBackgroundEvent(), cxAllBorders, cxArrowUp | cxArrowDown);
    EXPECT_TRUE(image.Is(10, 0, clBlack)) << c.Neighbors;
    EXPECT_TRUE(image.Is(10, 29, clBlack)) << c.Neighbors;
    EXPECT_EQ(image.Is(0, 10, clBlack), c.LeftBand) << c.Neighbors;
    EXPECT_EQ(image.Is(29, 10, clBlack), c.RightBand) << c.Neighbors;
    EXPECT_TRUE(image.Is(c.LeftBand ? 1 : 0, 2, clYellow)) << c.Neighbors;
    EXPECT_GT(image.Count(Rect(1, 1, 29, 29), clWindowText), 10) << c.Neighbors;
  }
}

TEST_F(cxStandardPainters, SplitterBorders) {
  for (bool horizontal : {true, false}) {
    TImage standard(12, 12, clRed), flat(12, 12, clRed);
    standard.Canvas.GetBrush()->SetColor(clYellow);
    flat.Canvas.GetBrush()->SetColor(clYellow);
    const TRect r = Rect(2, 2, 10, 10);
    Standard()->PaintSplitterBorder(&standard.Canvas, r, horizontal);
    Flat()->PaintSplitterBorder(&flat.Canvas, r, horizontal);
    // Positions along the lines' normal: 2 (first), 3 (second), 8, 9; and 5 inside.
    auto at = [&](const TImage& image, Integer d) { return horizontal ? image.At(5, d) : image.At(d, 5); };
    EXPECT_EQ(at(standard, 2), RGBOf(clBtnFace));
    EXPECT_EQ(at(standard, 9), RGBOf(cl3DDkShadow));
    EXPECT_EQ(at(standard, 3), RGBOf(clBtnHighlight));
    EXPECT_EQ(at(standard, 8), RGBOf(clBtnShadow));
    EXPECT_EQ(at(standard, 5), RGBOf(clYellow));
    EXPECT_EQ(at(flat, 2), RGBOf(clBtnHighlight));
    EXPECT_EQ(at(flat, 9), RGBOf(clBtnShadow));
    EXPECT_EQ(at(flat, 3), RGBOf(clYellow));
  }
}

TEST_F(cxStandardPainters, TabsAreaIsARaisedInnerRingOnTheAskedSides) {
  for (const TcxCustomLookAndFeelPainter* painter : {Standard(), Flat()}) {
    TImage image(20, 20, clRed);
    painter->PaintTabsArea(&image.Canvas, Rect(0, 0, 20, 20), BorderBit(bTop) | BorderBit(bRight));
    EXPECT_TRUE(image.Is(5, 0, clBtnHighlight));
    EXPECT_TRUE(image.Is(19, 5, clBtnShadow));
    EXPECT_TRUE(image.Is(0, 5, clRed));
    EXPECT_TRUE(image.Is(5, 19, clRed));
    TImage tab(20, 20, clRed);
    painter->PaintTabFrame(&tab.Canvas, Rect(2, 4, 4, 16), tpTop, 0);
    EXPECT_TRUE(tab.Is(2, 3, clBtnHighlight));   // one pixel higher
    EXPECT_TRUE(tab.Is(2, 15, clRed));           // one pixel short at the bottom
    TImage bottom(20, 20, clRed);
    painter->PaintTabFrame(&bottom.Canvas, Rect(2, 4, 4, 16), tpBottom, 0);
    EXPECT_TRUE(bottom.Is(2, 4, clBtnShadow));
  }
}

// ---- Gallery -------------------------------------------------------------------------------

TEST_F(cxStandardPainters, Gallery) {
  SetSysColorTable(DefaultSysColorTable());
  PaintGallery(Standard(), "cxStandardPainters_standard");
  PaintGallery(Flat(), "cxStandardPainters_flat");
}
