#include "foundation/cxLookAndFeelPainters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/cxPainterImages.h"
#include "tests/foundation/cxStandardPainters_test.h"
#include "platform/rtl/encoding.h"

namespace {

// ---- Helpers ------------------------------------------------------------------------------

using namespace cxTest;

const TcxCustomLookAndFeelPainter* Base() { return PainterOf(TcxCustomLookAndFeelPainter::StaticClass()); }

constexpr TcxButtonState AllStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};

// A painter of the kind the concrete painters are: a few overrides, no fields.
class TFramedTestPainter : public TcxCustomLookAndFeelPainter {
  KORVANE_CLASS(TFramedTestPainter, TcxCustomLookAndFeelPainter)
  Byte StyleCode() const override { return 2; }
  Integer ButtonFrameWidth(TcxButtonState) const override { return 1; }
  TColor ButtonFaceColor(TcxButtonState AState) const override { return AState == cxbsHot ? clYellow : clSilver; }
  void PaintButtonFrame(TcxCanvas* ACanvas, const TRect& ARect, TcxButtonState) const override {
    FrameRectColor(ACanvas, ARect, clBlack);
  }
  Integer HeaderFrameWidth() const override { return 2; }
  TcxBorders HeaderVisibleBorders(TcxNeighbors ANeighbors) const override {
    return cxAllBorders & ~((ANeighbors & nLeft) ? BorderBit(bLeft) : 0u);
  }
  Integer FooterCellFrameWidth() const override { return 1; }
  TPoint SortMarkSize() const override { return Point(8, 7); }
  TColor PainterColor(TcxPainterColor AColor) const override {
    return AColor == pcAfterFooterText1 ? clTeal : inherited::PainterColor(AColor);
  }
};

class TDerivedTestPainter : public TFramedTestPainter {
  KORVANE_CLASS(TDerivedTestPainter, TFramedTestPainter)
};

bool DrawnRed(void* AData, TcxCanvas* ACanvas, const TRect& ABounds) {
  ++*static_cast<Integer*>(AData);
  TcxCustomLookAndFeelPainter::FillRectColor(ACanvas, ABounds, clRed);
  return true;
}

bool DeclinedToDraw(void* AData, TcxCanvas*, const TRect&) {
  ++*static_cast<Integer*>(AData);
  return false;
}

}  // namespace

// The shared images (and their palette notifier) are freed after each test,
// so that no notifier outlives the tests that made it.
class cxPainters : public ::testing::Test {
protected:
  void TearDown() override { cxPainterImagesFinalize(); }
};

// ---- Class references ----------------------------------------------------------------------

TEST_F(cxPainters, ClassReferenceHandsOutOneSharedPainterThatDispatchesVirtually) {
  TcxCustomLookAndFeelPainterClass framed = TFramedTestPainter::StaticClass();
  TcxCustomLookAndFeelPainterClass derived = TDerivedTestPainter::StaticClass();
  EXPECT_EQ(framed->Painter(), framed->Painter());
  EXPECT_NE(framed->Painter(), derived->Painter());
  EXPECT_EQ(derived->Painter()->PainterClass(), derived);
  EXPECT_EQ(derived->ClassName(), u"TDerivedTestPainter");
  EXPECT_TRUE(derived->InheritsFrom(TcxCustomLookAndFeelPainter::StaticClass()));
  EXPECT_EQ(PainterOf(nullptr), nullptr);

  // The base's PaintButton reaches the derived painter's face and frame; the
  // derived class inherits them.
  TImage image(10, 10);
  derived->Painter()->PaintButton(&image.Canvas, Rect(0, 0, 10, 10), cxbsHot);
  EXPECT_TRUE(image.Is(0, 0, clBlack));
  EXPECT_TRUE(image.Is(5, 5, clYellow));
  EXPECT_EQ(derived->Painter()->Kind(), lfUltraFlat);
}

TEST_F(cxPainters, PainterOfAKindFallsBackToTheBase) {
  const TcxCustomLookAndFeelPainterClass saved = LookAndFeelPainterOfKind(lfFlat);
  RegisterLookAndFeelPainter(lfFlat, TFramedTestPainter::StaticClass());
  EXPECT_EQ(PainterClassOfKind(lfFlat), TFramedTestPainter::StaticClass());
  RegisterLookAndFeelPainter(lfFlat, nullptr);
  EXPECT_EQ(PainterClassOfKind(lfFlat), TcxCustomLookAndFeelPainter::StaticClass());
  RegisterLookAndFeelPainter(lfFlat, saved);
}

TEST_F(cxPainters, StyleCodesMapToKinds) {
  const struct {
    Byte Style;
    TcxLookAndFeelKind Kind;
  } cases[] = {{0, lfFlat}, {1, lfStandard}, {2, lfUltraFlat}, {3, lfStandard}, {4, lfOffice11}, {200, lfStandard}};
  for (const auto& c : cases) EXPECT_EQ(LookAndFeelStyleToKind(c.Style), c.Kind) << int(c.Style);
  EXPECT_EQ(Base()->StyleCode(), 1);
  EXPECT_EQ(Base()->Kind(), lfStandard);
}

// ---- Answers ---------------------------------------------------------------------------------

TEST_F(cxPainters, BaseColourAnswers) {
  const TcxCustomLookAndFeelPainter* p = Base();
  const struct {
    TColor Actual, Expected;
    const char* Name;
  } named[] = {
      {p->CrossGlyphColor(), clWindowText, "CrossGlyph"},   {p->ContentColor(), clWindow, "Content"},
      {p->ContentTextColor(), clWindowText, "ContentText"}, {p->FooterColor(), clBtnFace, "Footer"},
      {p->FooterTextColor(), clBtnText, "FooterText"},      {p->HeaderColor(), clBtnFace, "Header"},
      {p->HeaderTextColor(), clBtnText, "HeaderText"},      {p->BandBackgroundColor(), clBtnShadow, "Band"},
      {p->BandBackgroundTextColor(), clBtnFace, "BandText"}, {p->InactiveColor(), clBtnFace, "Inactive"},
      {p->InactiveTextColor(), clBtnText, "InactiveText"},  {p->ThinBorderColor(), TColor(0x0000FF), "ThinBorder"},
      {p->SelectionColor(), clHighlight, "Selection"},      {p->SelectionTextColor(), clHighlightText, "SelText"},
      {p->FooterSeparatorColor(), clBtnShadow, "FooterSeparator"},
  };
  for (const auto& c : named) EXPECT_EQ(c.Actual, c.Expected) << c.Name;

  const TColor unnamed[cxPainterColorCount] = {
      0xF0FBFF, clWindowText, 0xF0FBFF, clWindowText, clBtnShadow, clWindowText,      // after StyleCode
      clWindowText, clWindow, clWindow, clWindow, clWindowText,                     // after CrossGlyphColor
      clBtnShadow, clBtnHighlight, clBtnText,                                       // after ContentTextColor
      clBtnShadow, clBtnFace, clBtnText, clBtnShadow, clBtnFace,                    // after FooterTextColor
      0xFF0000, clBtnShadow, clBtnFace, clHighlight, clHighlightText, clWindow, clWindowText,  // after Inactive
      clBtnFace, 0xD5FFFF, clWindowText,                                            // after ThinBorderColor
      clBtnFace, clBtnFace, clBtnText, clBtnFace};                                  // after SelectionText
  for (Integer i = 0; i < cxPainterColorCount; ++i)
    EXPECT_EQ(p->PainterColor(static_cast<TcxPainterColor>(i)), unnamed[i]) << i;
  // The second answer after InactiveTextColor follows the first after
  // FooterTextColor of the same painter.
  EXPECT_EQ(TFramedTestPainter::StaticClass()->Painter()->PainterColor(pcAfterInactiveText2), clTeal);

  for (TcxButtonState s : AllStates) {
    EXPECT_EQ(p->ButtonGlyphColor(s), s == cxbsDisabled ? clBtnShadow : clBtnText) << s;
    EXPECT_EQ(p->CheckFaceColor(s), s == cxbsPressed || s == cxbsDisabled ? clBtnFace : clWindow) << s;
    EXPECT_EQ(p->ButtonGlyphState(s), s);
    EXPECT_EQ(p->ButtonFaceColor(s), clBtnFace);
  }
}

TEST_F(cxPainters, BaseMetrics) {
  const TcxCustomLookAndFeelPainter* p = Base();
  const struct {
    Integer Actual, Expected;
    const char* Name;
  } ints[] = {
      {p->BorderThickness(), 0, "BorderThickness"},     {p->ButtonFrameWidth(cxbsDefault), 0, "ButtonFrameWidth"},
      {p->ButtonContentMargin(), 0, "ContentMargin"},   {p->PressedContentShift(), 0, "PressedShift"},
      {p->ExpandGlyphSize(), 0, "ExpandGlyphSize"},     {p->GroupExpandGlyphSize(), 15, "GroupExpandGlyphSize"},
      {p->ExpandBoxSize(), 9, "ExpandBoxSize"},         {p->CheckFrameWidth(), 2, "CheckFrameWidth"},
      {p->HeaderFrameWidth(), 0, "HeaderFrameWidth"},   {p->HeaderSectionFrameWidth(cxbsNormal), 1, "SectionFrame"},
      {p->FooterFrameWidth(), 0, "FooterFrameWidth"},   {p->FooterCellFrameWidth(), 0, "FooterCellFrameWidth"},
      {p->FooterCellSpacing(), 0, "FooterCellSpacing"}, {p->FooterSeparatorWidth(), 1, "FooterSeparatorWidth"},
      {p->TabsAreaMargin(), 0, "TabsAreaMargin"},       {p->TabSpacing(), 0, "TabSpacing"},
      {p->TabFrameWidth(), 0, "TabFrameWidth"},         {static_cast<Integer>(p->HeaderVisibleBorders(5)), 15, "Vis"},
      {static_cast<Integer>(p->FooterVisibleBorders()), 15, "FooterVisibleBorders"},
  };
  for (const auto& c : ints) EXPECT_EQ(c.Actual, c.Expected) << c.Name;

  const struct {
    TPoint Actual, Expected;
    const char* Name;
  } sizes[] = {
      {p->FilterCheckBoxSize(), Point(13, 13), "FilterCheckBox"}, {p->CloseButtonSize(), Point(16, 14), "Close"},
      {p->FilterDropDownSize(), Point(15, 0), "FilterDropDown"},  {p->SmallButtonSize(), Point(16, 14), "Small"},
      {p->SmallGlyphButtonSize(), Point(16, 14), "SmallGlyph"},   {p->SmallBoxSize(), Point(13, 13), "Box"},
      {p->PinButtonSize(), Point(16, 14), "Pin"},                 {p->PinAreaButtonSize(), Point(16, 14), "PinArea"},
      {p->SortMarkSize(), Point(0, 0), "SortMark"},               {p->SortMarkAreaSize(), Point(16, 0), "SortArea"},
  };
  for (const auto& c : sizes) EXPECT_EQ(c.Actual, c.Expected) << c.Name;

  EXPECT_TRUE(p->ExpandGlyphPaintedFirst());
  EXPECT_FALSE(p->HotTracksButtons());
  EXPECT_TRUE(p->HeaderBackgroundFillFirst());
  EXPECT_FALSE(p->HotTracksHeaders());
  EXPECT_TRUE(p->FooterCellFillsBackground());
  EXPECT_TRUE(p->FilterDropDownFlag());
  EXPECT_TRUE(p->IndicatorFlag());
  EXPECT_TRUE(p->PointInGroupExpandGlyph(Rect(0, 0, 15, 15), Point(14, 0)));
  EXPECT_FALSE(p->PointInGroupExpandGlyph(Rect(0, 0, 15, 15), Point(15, 0)));
  EXPECT_EQ(TFramedTestPainter::StaticClass()->Painter()->SortMarkAreaSize(), Point(16, 7));
}

TEST_F(cxPainters, RectangleAnswers) {
  const TcxCustomLookAndFeelPainter* p = Base();
  const TcxCustomLookAndFeelPainter* framed = TFramedTestPainter::StaticClass()->Painter();
  // A focus rect 4 pixels in; the whole rect when nothing would be left.
  EXPECT_EQ(p->FocusRectOfButton(Rect(0, 0, 20, 10)), Rect(4, 4, 16, 6));
  EXPECT_EQ(p->FocusRectOfButton(Rect(0, 0, 20, 8)), Rect(0, 0, 20, 8));
  EXPECT_EQ(p->FocusRectOfButton(Rect(0, 0, 8, 20)), Rect(0, 0, 8, 20));
  EXPECT_EQ(framed->ButtonGroupMargins(3, 1), Rect(1, 1, 1, 1));

  EXPECT_EQ(framed->FooterCellContentRect(Rect(0, 0, 20, 20)), Rect(1, 1, 19, 19));
  EXPECT_EQ(framed->FooterCellTextRect(Rect(0, 0, 20, 20)), Rect(3, 3, 17, 17));

  const TcxBorders leftTop = BorderBit(bLeft) | BorderBit(bTop);
  EXPECT_EQ(framed->HeaderContentRect(Rect(10, 10, 50, 30), leftTop), Rect(12, 12, 50, 30));
  // Grown only on the asked sides that the neighbours hide.
  EXPECT_EQ(framed->HeaderOuterRect(Rect(10, 10, 50, 30), nLeft, leftTop), Rect(8, 10, 50, 30));
  EXPECT_EQ(framed->HeaderOuterRect(Rect(10, 10, 50, 30), 0, leftTop), Rect(10, 10, 50, 30));
  EXPECT_EQ(framed->HeaderHeightForText(13), 13 + 4 + 4);
  EXPECT_EQ(p->HeaderSectionTextRect(Rect(0, 0, 9, 9), cxbsPressed), Rect(1, 1, 10, 10));
  EXPECT_EQ(p->HeaderSectionTextRect(Rect(0, 0, 9, 9), cxbsHot), Rect(0, 0, 9, 9));
  EXPECT_EQ(p->HeaderSectionContentRect(Rect(0, 0, 9, 9), cxbsNormal), Rect(1, 1, 8, 8));
}

TEST_F(cxPainters, HeaderWidthForTextCountsTheFrameOnEachSide) {
  // Each framed side takes HeaderFrameWidth of room: with both sides the
  // width is the text, 4, and two frame widths.
  TImage image(10, 10);
  TFont font;
  const Integer text = [&] {
    image.Canvas.GetFont()->Assign(&font);
    return image.Canvas.GetTextWidth(u"Caption");
  }();
  const TcxCustomLookAndFeelPainter* framed = TFramedTestPainter::StaticClass()->Painter();
  const struct {
    TcxBorders Borders;
    Integer Extra;
  } cases[] = {{0, 4}, {BorderBit(bLeft), 6}, {BorderBit(bRight), 6}, {cxAllBorders, 8}};
  for (const auto& c : cases)
    EXPECT_EQ(framed->HeaderWidthForText(&image.Canvas, c.Borders, &font, u"Caption"), text + c.Extra) << c.Borders;
}

TEST_F(cxPainters, TextLayoutFlags) {
  const struct {
    TAlignment Horz;
    TcxAlignmentVert Vert;
    bool MultiLine, Ellipsis;
    TcxTextFlags Flags;
  } cases[] = {
      {taLeftJustify, vaTop, false, false, 1 | 8 | 64},
      {taRightJustify, vaBottom, true, false, 2 | 16 | 1024},
      {taCenter, vaCenter, false, true, 4 | 32 | 64 | 2048},
  };
  for (const auto& c : cases)
    EXPECT_EQ(cxHeaderTextFlags(c.Horz, c.Vert, c.MultiLine, c.Ellipsis), c.Flags) << int(c.Flags);
}

// ---- Geometry -----------------------------------------------------------------------------

TEST_F(cxPainters, ArrowGeometry) {
  using P = TcxCustomLookAndFeelPainter;
  const struct {
    TRect R;
    bool Square;
    TcxArrowDirection Direction;
    TcxArrowPoints Points;
  } cases[] = {
      // 16 high: size (15 / 2) = 7, depth 4, centred.
      {Rect(0, 0, 16, 16), false, adRight, {Point(6, 5), Point(6, 11), Point(9, 8)}},
      {Rect(0, 0, 16, 16), false, adLeft, {Point(9, 5), Point(9, 11), Point(6, 8)}},
      {Rect(0, 0, 16, 16), false, adDown, {Point(5, 6), Point(11, 6), Point(8, 9)}},
      {Rect(0, 0, 16, 16), false, adUp, {Point(5, 9), Point(11, 9), Point(8, 6)}},
      // Even size is made odd: width 9 gives (8 / 2) = 4, then 5.
      {Rect(0, 0, 9, 20), false, adDown, {Point(2, 8), Point(6, 8), Point(4, 10)}},
      // Squared: the 40-wide rect becomes 16 wide in its middle.
      {Rect(0, 0, 40, 16), true, adDown, {Point(17, 6), Point(23, 6), Point(20, 9)}},
  };
  for (const auto& c : cases) {
    const TcxArrowPoints points = P::ArrowGeometry(c.R, c.Square, c.Direction);
    for (size_t i = 0; i < 3; ++i)
      EXPECT_EQ(points[i], c.Points[i]) << c.Direction << " point " << i << ": " << points[i].X << "," << points[i].Y;
  }
}

TEST_F(cxPainters, DownArrowGlyphIsCentredAndOdd) {
  TImage image(20, 12);
  Base()->PaintDownArrowGlyph(&image.Canvas, Rect(0, 0, 20, 12), clBlack);
  // Width 20 / 2 = 10 made 11, height 6: left (20 - 11) / 2 = 4, top round(6 / 2) = 3.
  EXPECT_EQ(image.Box(Rect(0, 0, 20, 12), clBlack), Rect(4, 3, 15, 9));
  EXPECT_TRUE(image.Is(9, 8, clBlack));
  EXPECT_FALSE(image.Is(8, 8, clBlack));
}

// ---- Drawing in each state --------------------------------------------------------------------

TEST_F(cxPainters, ButtonsAndArrowsInEachState) {
  const TcxCustomLookAndFeelPainter* p = Base();
  for (TcxButtonState s : AllStates) {
    TImage image(16, 16, clWhite);
    p->PaintArrowButton(&image.Canvas, Rect(0, 0, 16, 16), true, adRight, s);
    EXPECT_TRUE(image.Is(0, 0, clBtnFace)) << s;
    EXPECT_TRUE(image.Is(7, 8, p->ButtonGlyphColor(s))) << s;

    TImage arrow(16, 16, clLime);
    p->PaintButtonArrow(&arrow.Canvas, Rect(0, 0, 16, 16), adDown, s);
    if (s == cxbsDisabled) {
      // Embossed: the highlight shows one pixel below the shadow's tip.
      EXPECT_TRUE(arrow.Is(8, 9, clBtnShadow));
      EXPECT_TRUE(arrow.Is(9, 10, clBtnHighlight));
    } else {
      EXPECT_TRUE(arrow.Is(8, 9, clBtnText)) << s;
      EXPECT_EQ(arrow.Count(Rect(0, 0, 16, 16), clBtnHighlight), 0) << s;
    }

    TImage plain(16, 16, clWhite);
    p->PaintArrowButton(&plain.Canvas, Rect(0, 0, 16, 16), false, adUp, s);
    EXPECT_TRUE(plain.Is(0, 0, clBtnFace)) << s;
  }
}

TEST_F(cxPainters, CaptionButtonTakesTheStateColoursForDefaults) {
  const TcxCustomLookAndFeelPainter* framed = TFramedTestPainter::StaticClass()->Painter();
  TImage empty(40, 20, clWhite);
  framed->PaintCaptionButton(&empty.Canvas, Rect(0, 0, 40, 20), clDefault, clDefault, true, cxbsHot, u"");
  // Frame, then the hot face over all the inside; no text.
  EXPECT_TRUE(empty.Is(0, 0, clBlack));
  EXPECT_EQ(empty.Count(Rect(1, 1, 39, 19), clYellow), 38 * 18);

  for (TcxButtonState s : {cxbsNormal, cxbsDisabled}) {
    TImage image(40, 20, clWhite);
    framed->PaintCaptionButton(&image.Canvas, Rect(0, 0, 40, 20), clDefault, clDefault, false, s, u"OK");
    EXPECT_TRUE(image.Is(0, 0, clSilver)) << s;  // no frame asked
    EXPECT_LT(image.Count(Rect(0, 0, 40, 20), clSilver), 40 * 20) << s;
    if (s == cxbsDisabled) {
      EXPECT_GT(image.Count(Rect(0, 0, 40, 20), clBtnHighlight), 0);
    }
  }

  TImage given(40, 20, clWhite);
  framed->PaintCaptionButton(&given.Canvas, Rect(0, 0, 40, 20), clRed, clLime, false, cxbsNormal, u"OK");
  EXPECT_TRUE(given.Is(0, 0, clLime));
  // The text's ink is reddish (smoothed text blends with the face).
  Integer reddish = 0;
  for (Integer y = 0; y < 20; ++y)
    for (Integer x = 0; x < 40; ++x) {
      const TColor c = given.At(x, y);
      reddish += (GetRValue(c) > 128 && GetGValue(c) < 128) ? 1 : 0;
    }
  EXPECT_GT(reddish, 0);
}

TEST_F(cxPainters, CheckBoxFaceAndMarkInEachState) {
  const TcxCustomLookAndFeelPainter* p = Base();
  for (TcxButtonState s : AllStates)
    for (bool checked : {false, true}) {
      TImage image(13, 13, clLime);
      p->PaintCheckBox(&image.Canvas, Rect(0, 0, 13, 13), checked, s);
      // The base has no frame: the two frame pixels stay; the face fills the rest.
      EXPECT_TRUE(image.Is(1, 1, clLime)) << s;
      EXPECT_TRUE(image.Is(2, 2, p->CheckFaceColor(s))) << s;
      const TColor mark = s == cxbsDisabled ? clGrayText : clBtnText;
      const TRect box = image.Box(Rect(2, 2, 11, 11), mark);
      if (!checked) {
        EXPECT_TRUE(IsRectEmpty(box)) << s;
        continue;
      }
      // Three strokes, the mark inside the face with its lowest point left of centre.
      EXPECT_EQ(box, Rect(3, 4, 10, 9)) << s;
      EXPECT_TRUE(image.Is(5, 8, mark)) << s;
      EXPECT_FALSE(image.Is(9, 8, mark)) << s;
    }
}

TEST_F(cxPainters, ExpandBoxSignAndFill) {
  const TcxCustomLookAndFeelPainter* p = Base();
  for (bool expanded : {false, true}) {
    TImage image(9, 9, clLime);
    p->PaintExpandBox(&image.Canvas, Rect(0, 0, 9, 9), clWindow, clBtnShadow, expanded);
    EXPECT_EQ(image.Count(Rect(0, 0, 9, 9), clBtnShadow), 32);
    EXPECT_EQ(image.Box(Rect(1, 1, 8, 8), clBtnText), expanded ? Rect(2, 4, 7, 5) : Rect(2, 2, 7, 7)) << expanded;
    EXPECT_TRUE(image.Is(1, 1, clWindow));
  }
  // clDefault fill leaves the inside as it was.
  TImage image(9, 9, clLime);
  p->PaintExpandBox(&image.Canvas, Rect(0, 0, 9, 9), clDefault, clBtnShadow, true);
  EXPECT_TRUE(image.Is(1, 1, clLime));
}

TEST_F(cxPainters, GroupExpandChevronsTurnWithTheFlag) {
  const TcxCustomLookAndFeelPainter* p = Base();
  for (bool expanded : {false, true}) {
    TImage image(15, 15, clWhite);
    p->PaintGroupExpandGlyph(&image.Canvas, Rect(0, 0, 15, 15), cxbsNormal, expanded);
    const TRect box = image.Box(Rect(0, 0, 15, 15), clBtnText);
    EXPECT_EQ(box, Rect(4, 3, 11, 12)) << expanded;
    // The apex sits in the middle column: on top when expanded, at the bottom when not.
    EXPECT_EQ(image.Is(7, 3, clBtnText), expanded);
    EXPECT_EQ(image.Is(7, 11, clBtnText), !expanded);
    EXPECT_TRUE(image.Is(0, 0, clBtnFace));
  }
}

TEST_F(cxPainters, HeaderContentBackgroundByTheCustomDrawEvent) {
  const TcxCustomLookAndFeelPainter* p = Base();
  Integer calls = 0;
  const struct {
    TcxDrawBackgroundEvent Event;
    TColor Background;
    Integer Calls;
  } cases[] = {
      {{}, clAqua, 0},
      // A code address below 0x10000 counts as absent.
      {{reinterpret_cast<TcxDrawBackgroundProc>(uintptr_t(0x8000)), &calls}, clAqua, 0},
      {{&DrawnRed, &calls}, clRed, 1},
      {{&DeclinedToDraw, &calls}, clAqua, 1},
  };
  for (const auto& c : cases) {
    calls = 0;
    TImage image(30, 16, clWhite);
    p->PaintHeaderContent(&image.Canvas, Rect(0, 0, 30, 16), Rect(0, 0, 30, 16), cxbsNormal, taLeftJustify, vaTop,
                          false, false, u"", nullptr, clBlack, clAqua, c.Event);
    EXPECT_EQ(calls, c.Calls);
    EXPECT_EQ(image.Count(Rect(0, 0, 30, 16), c.Background), 30 * 16);
  }

  // Text is drawn clear over the background in the text colour.
  TImage image(60, 16, clWhite);
  TFont font;
  p->PaintHeaderContent(&image.Canvas, Rect(0, 0, 60, 16), Rect(2, 0, 58, 16), cxbsNormal, taLeftJustify, vaCenter,
                        false, false, u"Name", &font, clNavy, clAqua, {});
  EXPECT_GT(image.Count(Rect(2, 0, 58, 16), clNavy), 0);
  EXPECT_EQ(image.Count(Rect(0, 0, 2, 16), clNavy), 0);
  EXPECT_EQ(image.Canvas.GetBrush()->Style(), bsSolid);
}

TEST_F(cxPainters, HeaderSectionTextIsEmbossedWhenDisabled) {
  const TcxCustomLookAndFeelPainter* p = Base();
  TFont font;
  for (TcxButtonState s : {cxbsNormal, cxbsPressed, cxbsDisabled}) {
    TImage image(60, 20, clLime);
    p->PaintHeaderSection(&image.Canvas, Rect(0, 0, 60, 20), s, clAqua, u"Title", &font, clNavy, taCenter, vaCenter,
                          false, false);
    const TRect all = Rect(0, 0, 60, 20);
    // No frame in the base: the content (1 pixel in) is filled; the ring stays.
    EXPECT_TRUE(image.Is(0, 0, clLime)) << s;
    EXPECT_TRUE(image.Is(1, 1, clAqua)) << s;
    EXPECT_EQ(image.Count(all, clNavy) > 0, s != cxbsDisabled) << s;
    EXPECT_EQ(image.Count(all, clBtnHighlight) > 0, s == cxbsDisabled) << s;
  }
}

TEST_F(cxPainters, FooterCellAndSeparator) {
  const TcxCustomLookAndFeelPainter* framed = TFramedTestPainter::StaticClass()->Painter();
  TImage image(40, 20, clWhite);
  TFont font;
  framed->PaintFooterCell(&image.Canvas, Rect(0, 0, 40, 20), taRightJustify, vaCenter, false, false, u"12", &font,
                          clNavy, clAqua);
  // The content is 1 pixel in (the cell frame width); the text 2 more.
  EXPECT_TRUE(image.Is(0, 0, clWhite));
  EXPECT_TRUE(image.Is(1, 1, clAqua));
  const TRect text = image.Box(Rect(0, 0, 40, 20), clNavy);
  EXPECT_FALSE(IsRectEmpty(text));
  EXPECT_LE(text.Right, 37);
  EXPECT_GT(text.Left, 20);

  TImage separator(4, 10, clWhite);
  framed->PaintFooterSeparator(&separator.Canvas, Rect(1, 0, 2, 10));
  EXPECT_EQ(separator.Count(Rect(0, 0, 4, 10), clBtnShadow), 10);
}

TEST_F(cxPainters, CloseGlyphAndPinButtons) {
  const TcxCustomLookAndFeelPainter* framed = TFramedTestPainter::StaticClass()->Painter();
  for (TcxButtonState s : AllStates) {
    TImage image(16, 14, clWhite);
    framed->PaintCloseButton(&image.Canvas, Rect(0, 0, 16, 14), s);
    EXPECT_TRUE(image.Is(0, 0, clBlack)) << s;
    // A cross of odd side 7 (16 - 2 = 14 wide inside, half made odd), two pixels wide.
    const TRect cross = image.Box(Rect(1, 1, 15, 13), framed->ButtonGlyphColor(s));
    const Integer shift = s == cxbsPressed ? 1 : 0;
    EXPECT_EQ(cross, Rect(3 + shift, 3 + shift, 12 + shift, 10 + shift)) << s;
  }
  for (TcxButtonState s : {cxbsNormal, cxbsDisabled}) {
    TImage image(16, 14, clWhite);
    framed->PaintGlyphButton(&image.Canvas, Rect(0, 0, 16, 14), s);
    // A plus through the middle of the inside less 1.
    const TColor color = s == cxbsDisabled ? clBtnShadow : framed->CrossGlyphColor();
    EXPECT_TRUE(image.Is(2, 6, color)) << s;
    EXPECT_TRUE(image.Is(7, 2, color)) << s;
    EXPECT_EQ(image.Count(Rect(0, 0, 16, 14), clBtnHighlight) > 0, s == cxbsDisabled) << s;
  }
  for (Integer pin : {cxPinAutoHideOn, cxPinAutoHideOff}) {
    TImage image(20, 20, clWhite);
    framed->PaintPinButton(&image.Canvas, Rect(0, 0, 20, 20), pin, cxbsNormal);
    TImage pressed(20, 20, clWhite);
    framed->PaintPinButton(&pressed.Canvas, Rect(0, 0, 20, 20), pin, cxbsPressed);
    const TRect box = image.Box(Rect(1, 1, 19, 19), clBlack);
    EXPECT_FALSE(IsRectEmpty(box)) << pin;
    EXPECT_EQ(pressed.Box(Rect(1, 1, 19, 19), clBlack), Rect(box.Left + 1, box.Top + 1, box.Right + 1, box.Bottom + 1));
    // The white of the pin bitmap is left out: the face shows.
    EXPECT_TRUE(image.Is(3, 3, clSilver));
  }
}

TEST_F(cxPainters, IndicatorCellsAndHeaders) {
  const TcxCustomLookAndFeelPainter* p = Base();
  TImage none(12, 18, clWhite);
  p->PaintIndicatorCell(&none.Canvas, Rect(0, 0, 12, 18), clBtnFace, ikNone);
  EXPECT_EQ(none.Count(Rect(0, 0, 12, 18), clBtnFace), 12 * 18);

  // Kind 3 draws the insert image centred; it matches the image list's own picture.
  TImage insert(12, 18, clBtnFace);
  p->PaintIndicatorCell(&insert.Canvas, Rect(0, 0, 12, 18), clBtnFace, ikInsert);
  TImage expected(12, 18, clBtnFace);
  TImageList* images = cxIndicatorImages();
  images->Draw(expected.Bitmap.Canvas(), (12 - images->Width()) / 2, (18 - images->Height()) / 2, ikInsert - 1);
  EXPECT_EQ(insert.Bitmap.Pixels32(), expected.Bitmap.Pixels32());
  EXPECT_GT(insert.Count(Rect(0, 0, 12, 18), clBlack), 0);

  TImage header(12, 18, clWhite);
  p->PaintIndicatorHeader(&header.Canvas, Rect(0, 0, 12, 18), clBtnFace, ikArrow);
  EXPECT_GT(header.Count(Rect(0, 0, 12, 18), clBlack), 0);
  EXPECT_TRUE(header.Is(0, 0, clBtnFace));
}

TEST_F(cxPainters, ArrowsHeaderDrawsTheAskedArrows) {
  const TcxCustomLookAndFeelPainter* p = Base();
  const struct {
    TcxArrowDirections Arrows;
    bool Upper, Lower;
  } cases[] = {{0, false, false}, {cxArrowUp, true, true}, {cxArrowDown, true, true}, {cxArrowUp | cxArrowDown, true, true}};
  for (const auto& c : cases) {
    TImage image(20, 22, clWhite);
    p->PaintArrowsHeader(&image.Canvas, Rect(0, 0, 20, 22), 0, u"", nullptr, clBlack, clBtnFace, {}, cxAllBorders,
                         c.Arrows);
    const TRect box = image.Box(Rect(0, 0, 20, 22), clWindowText);
    EXPECT_EQ(!IsRectEmpty(box), c.Arrows != 0) << c.Arrows;
    if (c.Arrows == (cxArrowUp | cxArrowDown)) {
      // Up arrow in the upper half (apex on top), down arrow below.
      EXPECT_LT(box.Top, 11);
      EXPECT_GT(box.Bottom, 11);
    }
  }
}

// ---- Gallery -----------------------------------------------------------------------------------

TEST_F(cxPainters, Gallery) {
  // Every base element in every state, one row per state, for a look.
  const TcxCustomLookAndFeelPainter* p = TFramedTestPainter::StaticClass()->Painter();
  const TcxCustomLookAndFeelPainter* base = Base();
  TImage image(368, 5 * 24 + 4, clWhite);
  TFont font;
  for (TcxButtonState s : AllStates) {
    const Integer y = 2 + s * 24;
    TcxCanvas* c = &image.Canvas;
    p->PaintButton(c, Bounds(2, y, 20, 20), s);
    p->PaintArrowButton(c, Bounds(26, y, 20, 20), true, adDown, s);
    p->PaintButtonArrow(c, Bounds(50, y, 20, 20), adRight, s);
    base->PaintCheckBox(c, Bounds(74, y + 3, 13, 13), true, s);
    base->PaintExpandBox(c, Bounds(92, y + 5, 9, 9), clWindow, clBtnShadow, s % 2 == 0);
    p->PaintGroupExpandGlyph(c, Bounds(106, y + 2, 15, 15), s, s % 2 == 0);
    p->PaintCloseButton(c, Bounds(126, y + 3, 16, 14), s);
    p->PaintGlyphButton(c, Bounds(146, y + 3, 16, 14), s);
    p->PaintPinButton(c, Bounds(166, y + 2, 18, 18), s % 2, s);
    p->PaintCaptionButton(c, Bounds(188, y, 44, 20), clDefault, clDefault, true, s, u"Go");
    base->PaintHeaderSection(c, Bounds(236, y, 50, 20), s, clBtnFace, u"Head", &font, clBtnText, taCenter, vaCenter,
                             false, false);
    base->PaintIndicatorCell(c, Bounds(290, y, 12, 20), clBtnFace, 1 + s);
    for (Integer k = 0; k < 4; ++k)
      SharedRadioButtonImages()->Draw(c, 306 + k * 15, y + 3, static_cast<TcxLookAndFeelKind>(k),
                                      s, k % 2 == 0, false, false, clDefault);
  }
  SavePicture(image.Bitmap, "cxLookAndFeelPainters_gallery", 3);
  // Every element drew in every state ...
  const std::pair<Integer, Integer> columns[] = {{2, 22},    {26, 46},   {50, 70},   {74, 87},   {92, 101},
                                                 {106, 121}, {126, 142}, {146, 162}, {166, 184}, {188, 232},
                                                 {236, 286}, {290, 302}, {306, 366}};
  std::vector<std::vector<TColor>> rows;
  for (TcxButtonState s : AllStates) {
    const Integer y = 2 + s * 24;
    for (const auto& [left, right] : columns) {
      const TRect cell = Rect(left, y, right, y + 20);
      EXPECT_LT(image.Count(cell, clWhite), cell.Width() * cell.Height()) << "state " << s << ", x " << left;
    }
    std::vector<TColor> row;
    for (Integer x = 0; x < image.Bitmap.Width(); ++x)
      for (Integer dy = 0; dy < 20; ++dy) row.push_back(image.At(x, y + dy));
    rows.push_back(row);
  }
  // ... and the states look different from one another.
  for (size_t a = 0; a < rows.size(); ++a)
    for (size_t b = a + 1; b < rows.size(); ++b) EXPECT_NE(rows[a], rows[b]) << "states " << a << " and " << b;
}
