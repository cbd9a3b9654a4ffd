#include "foundation/cxNativePainter.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/cxLookAndFeels.h"
#include "foundation/cxPainterImages.h"
#include "foundation/qzThemeManager.h"
#include "tests/foundation/cxStandardPainters_test.h"

using namespace cxPainterTest;

namespace {

const TcxCustomLookAndFeelPainter* Native() { return PainterOf(cxWinXPLookAndFeelPainter()); }
const TcxCustomLookAndFeelPainter* Standard() { return PainterOf(cxStandardLookAndFeelPainter()); }

// ---- A theme library that records what it is asked to draw --------------------------------

struct TDrawCall {
  std::string Class;
  Integer Part = 0, State = 0;
  TRect Rect;
};

struct TFakeTheme {
  std::map<HTHEME, std::string> Classes;
  std::vector<TDrawCall> Draws;
  std::vector<Cardinal> TextFlags;
  HTHEME Next = 100;
} GFake;

HTHEME FakeOpen(HWND, const Char* AClassList) {
  const HTHEME theme = GFake.Next++;
  GFake.Classes[theme] = StringToUTF8(AClassList);
  return theme;
}
HRESULT FakeClose(HTHEME) { return S_OK; }
bool FakeActive() { return true; }
HRESULT FakeDrawBackground(HTHEME ATheme, HDC DC, Integer APart, Integer AState, const TRect* ARect, const TRect*) {
  GFake.Draws.push_back({GFake.Classes[ATheme], APart, AState, *ARect});
  // A recognisable fill: red for the part, green for the state.
  TcxCanvas canvas(DC);
  TcxCustomLookAndFeelPainter::FillRectColor(&canvas, *ARect, RGB(Byte(APart * 10), Byte(AState * 10), 200));
  return S_OK;
}
HRESULT FakeContentRect(HTHEME, HDC, Integer, Integer, const TRect* ABounds, TRect* AContent) {
  *AContent = Rect(ABounds->Left + 3, ABounds->Top + 2, ABounds->Right - 3, ABounds->Bottom - 2);
  return S_OK;
}
HRESULT FakePartSize(HTHEME, HDC, Integer, Integer, const TRect*, THEMESIZE, TSize* ASize) {
  *ASize = TSize{13, 13};
  return S_OK;
}
HRESULT FakeColor(HTHEME, Integer, Integer AState, Integer AProp, TColor* AColor) {
  *AColor = RGB(Byte(AState), Byte(AProp / 100), 1);
  return S_OK;
}
HRESULT FakeText(HTHEME, HDC, Integer, Integer, const Char*, Integer, Cardinal AFlags, Cardinal, const TRect*) {
  GFake.TextFlags.push_back(AFlags);
  return S_OK;
}
bool FakeTransparent(HTHEME, Integer, Integer) { return true; }

std::unique_ptr<TqzThemeLibrary> FakeLibrary() {
  auto library = std::make_unique<TqzThemeLibrary>();
  library->AddProc("OpenThemeData", &FakeOpen);
  library->AddProc("CloseThemeData", &FakeClose);
  library->AddProc("IsThemeActive", &FakeActive);
  library->AddProc("DrawThemeBackground", &FakeDrawBackground);
  library->AddProc("GetThemeBackgroundContentRect", &FakeContentRect);
  library->AddProc("GetThemePartSize", &FakePartSize);
  library->AddProc("GetThemeColor", &FakeColor);
  library->AddProc("DrawThemeText", &FakeText);
  library->AddProc("IsThemeBackgroundPartiallyTransparent", &FakeTransparent);
  return library;
}

}  // namespace

class cxNativePainter : public ::testing::Test {
protected:
  void SetUp() override { GFake = TFakeTheme{}; }
  void TearDown() override {
    qzThemeManagerFinalize();
    qzUxThemeFinalize();
    cxPainterImagesFinalize();
  }
  static void StartThemed() {
    qzThemeManagerFinalize();
    qzUxThemeInitialize(5, 1, FakeLibrary());
    qzThemeManagerInitialize();
  }
  static void StartUnthemed() {
    qzThemeManagerFinalize();
    qzUxThemeInitialize();
    qzThemeManagerInitialize();
  }
};

// ---- Without a theme -----------------------------------------------------------------------

TEST_F(cxNativePainter, RegisteredAsTheNativePainter) {
  EXPECT_EQ(NativeLookAndFeelPainter(), cxWinXPLookAndFeelPainter());
  EXPECT_TRUE(cxWinXPLookAndFeelPainter()->InheritsFrom(cxStandardLookAndFeelPainter()));
  EXPECT_EQ(Native()->StyleCode(), 3);
  EXPECT_EQ(Native()->Kind(), lfStandard);
  // No theme on this platform: a look-and-feel asking for native style
  // still gets the painter of its kind.
  StartUnthemed();
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.SetKind(lfStandard);
  lookAndFeel.SetNativeStyle(true);
  EXPECT_EQ(lookAndFeel.Painter(), cxStandardLookAndFeelPainter());
  StartThemed();
  EXPECT_EQ(lookAndFeel.Painter(), cxWinXPLookAndFeelPainter());
}

TEST_F(cxNativePainter, WithoutAThemeEverythingIsTheStandardPainters) {
  StartUnthemed();
  EXPECT_TRUE(RenderGallery(Native())->SameAs(*RenderGallery(Standard())));
  const TcxCustomLookAndFeelPainter* n = Native();
  const TcxCustomLookAndFeelPainter* s = Standard();
  EXPECT_EQ(n->CrossGlyphColor(), s->CrossGlyphColor());
  EXPECT_EQ(n->ThinBorderColor(), s->ThinBorderColor());
  EXPECT_EQ(n->PainterColor(pcAfterThinBorder2), s->PainterColor(pcAfterThinBorder2));
  EXPECT_EQ(n->BorderThickness(), s->BorderThickness());
  for (TcxButtonState state : AllStates) {
    EXPECT_EQ(n->ButtonFrameWidth(state), s->ButtonFrameWidth(state));
    EXPECT_EQ(n->ButtonFaceColor(state), s->ButtonFaceColor(state));
    EXPECT_EQ(n->ButtonGlyphColor(state), s->ButtonGlyphColor(state));
    EXPECT_EQ(n->HeaderSectionFrameWidth(state), s->HeaderSectionFrameWidth(state));
  }
  EXPECT_EQ(n->FocusRectOfButton(Rect(0, 0, 30, 20)), s->FocusRectOfButton(Rect(0, 0, 30, 20)));
  EXPECT_EQ(n->ButtonGroupMargins(2, 0), s->ButtonGroupMargins(2, 0));
  EXPECT_EQ(n->ButtonContentMargin(), s->ButtonContentMargin());
  EXPECT_EQ(n->PressedContentShift(), s->PressedContentShift());
  EXPECT_EQ(n->ExpandGlyphPaintedFirst(), s->ExpandGlyphPaintedFirst());
  EXPECT_EQ(n->ExpandGlyphSize(), s->ExpandGlyphSize());
  EXPECT_EQ(n->GroupExpandGlyphSize(), s->GroupExpandGlyphSize());
  EXPECT_EQ(n->ExpandBoxSize(), s->ExpandBoxSize());
  EXPECT_EQ(n->HotTracksButtons(), s->HotTracksButtons());
  EXPECT_EQ(n->CheckFrameWidth(), s->CheckFrameWidth());
  EXPECT_EQ(n->HeaderFrameWidth(), s->HeaderFrameWidth());
  EXPECT_EQ(n->HeaderBackgroundFillFirst(), s->HeaderBackgroundFillFirst());
  EXPECT_EQ(n->HotTracksHeaders(), s->HotTracksHeaders());
  EXPECT_EQ(n->FooterFrameWidth(), s->FooterFrameWidth());
  EXPECT_EQ(n->FooterCellFrameWidth(), s->FooterCellFrameWidth());
  EXPECT_EQ(n->FooterCellSpacing(), s->FooterCellSpacing());
  EXPECT_EQ(n->FooterCellFillsBackground(), s->FooterCellFillsBackground());
  EXPECT_EQ(n->FilterCheckBoxSize(), s->FilterCheckBoxSize());
  EXPECT_EQ(n->CloseButtonSize(), s->CloseButtonSize());
  EXPECT_EQ(n->PinButtonSize(), s->PinButtonSize());
  EXPECT_EQ(n->TabFrameWidth(), s->TabFrameWidth());
  EXPECT_EQ(n->PointInGroupExpandGlyph(Rect(0, 0, 10, 10), Point(9, 9)), true);
  // The one size that grows also without a theme.
  EXPECT_EQ(n->SmallBoxSize(), Point(15, 15));
  // Header sections, indicator cells and the expand box without a fill.
  TImage nativeSection(30, 18), standardSection(30, 18);
  n->PaintHeaderSection(&nativeSection.Canvas, Rect(0, 0, 30, 18), cxbsPressed, clYellow, u"", nullptr, clBtnText,
                        taCenter, vaCenter, false, false);
  s->PaintHeaderSection(&standardSection.Canvas, Rect(0, 0, 30, 18), cxbsPressed, clYellow, u"", nullptr, clBtnText,
                        taCenter, vaCenter, false, false);
  EXPECT_TRUE(nativeSection.SameAs(standardSection));
  TImage box(12, 12, clRed);
  n->PaintExpandBox(&box.Canvas, Rect(0, 0, 9, 9), clYellow, clBlack, false);
  EXPECT_TRUE(box.Is(1, 1, clRed));  // the fill colour is not used
  EXPECT_TRUE(box.Is(0, 0, clBlack));
}

// ---- With a theme --------------------------------------------------------------------------

TEST_F(cxNativePainter, ThemeStateTables) {
  const Integer push[] = {5, 1, 2, 3, 4}, header[] = {1, 1, 2, 3, 1}, pin[] = {1, 1, 2, 3, 1};
  for (Integer i = 0; i < 5; ++i) {
    const TcxButtonState state = AllStates[i];
    EXPECT_EQ(cxPushButtonThemeState(state), push[i]);
    EXPECT_EQ(cxHeaderItemThemeState(state), header[i]);
    EXPECT_EQ(cxPinButtonThemeState(state), pin[i]);
    EXPECT_EQ(cxSmallButtonThemeState(state), i == 0 ? 1 : i);
    EXPECT_EQ(cxCheckBoxThemeState(state, false), i == 0 ? 1 : i);
    EXPECT_EQ(cxCheckBoxThemeState(state, true), (i == 0 ? 1 : i) + 4);
  }
  EXPECT_EQ(cxArrowButtonThemeState(adUp, cxbsDefault), 1);
  EXPECT_EQ(cxArrowButtonThemeState(adDown, cxbsHot), 6);
  EXPECT_EQ(cxArrowButtonThemeState(adLeft, cxbsPressed), 11);
  EXPECT_EQ(cxArrowButtonThemeState(adRight, cxbsDisabled), 16);
  // Theme text flags: layout tables plus no-prefix and edit-control.
  EXPECT_EQ(cxThemedTextFlags(taLeftJustify, vaTop, false, false), 0x2800u | 32u);
  EXPECT_EQ(cxThemedTextFlags(taCenter, vaCenter, false, true), 0x2800u | 1u | 4u | 32u | 32768u);
  EXPECT_EQ(cxThemedTextFlags(taRightJustify, vaBottom, true, false), 0x2800u | 2u | 8u | 16u);
}

TEST_F(cxNativePainter, ThemedButtonsCheckBoxesAndExpandGlyphs) {
  StartThemed();
  const TcxCustomLookAndFeelPainter* n = Native();
  for (TcxButtonState state : AllStates) {
    GFake.Draws.clear();
    TImage image(20, 16);
    n->PaintButton(&image.Canvas, Rect(0, 0, 20, 16), state);
    ASSERT_EQ(GFake.Draws.size(), 1u);
    EXPECT_EQ(GFake.Draws[0].Class, "Button");
    EXPECT_EQ(GFake.Draws[0].Part, 1);
    EXPECT_EQ(GFake.Draws[0].State, cxPushButtonThemeState(state));
  }
  // The check box has no frame of its own: the themed part fills the rect.
  EXPECT_EQ(n->CheckFrameWidth(), 0);
  GFake.Draws.clear();
  TImage check(13, 13, clRed);
  n->PaintCheckBox(&check.Canvas, Rect(0, 0, 13, 13), true, cxbsHot);
  ASSERT_EQ(GFake.Draws.size(), 1u);
  EXPECT_EQ(GFake.Draws[0].Part, 3);
  EXPECT_EQ(GFake.Draws[0].State, 6);
  EXPECT_EQ(GFake.Draws[0].Rect, Rect(0, 0, 13, 13));
  EXPECT_EQ(check.Count(Rect(0, 0, 13, 13), clRed), 0);
  // Metrics from the theme.
  EXPECT_EQ(n->ButtonFrameWidth(cxbsNormal), 3);
  EXPECT_EQ(n->ExpandGlyphSize(), 13);
  EXPECT_EQ(n->ExpandBoxSize(), 13);
  EXPECT_EQ(n->CloseButtonSize(), Point(17, 17));
  EXPECT_EQ(n->ButtonGroupMargins(), Rect(4, 3, 4, 3));  // partly transparent: one more each way
  EXPECT_EQ(n->FocusRectOfButton(Rect(0, 0, 30, 20)), Rect(3, 2, 27, 18));
  EXPECT_EQ(n->ButtonFaceColor(cxbsHot), RGB(2, 2, 1));
  EXPECT_EQ(n->ButtonGlyphColor(cxbsPressed), RGB(3, 38, 1));
  EXPECT_EQ(n->CrossGlyphColor(), clNavy);
  EXPECT_FALSE(n->ExpandGlyphPaintedFirst());
  EXPECT_TRUE(n->HotTracksButtons());
  EXPECT_TRUE(n->HotTracksHeaders());
  EXPECT_FALSE(n->HeaderBackgroundFillFirst());
  // Expand glyphs and boxes: the tree glyph, closed or opened.
  GFake.Draws.clear();
  TImage glyph(13, 13);
  n->PaintExpandBox(&glyph.Canvas, Rect(0, 0, 13, 13), clYellow, clBlack, true);
  n->PaintExpandGlyph(&glyph.Canvas, Rect(0, 0, 13, 13), clDefault, false);
  ASSERT_EQ(GFake.Draws.size(), 2u);
  EXPECT_EQ(GFake.Draws[0].Class, "TreeView");
  EXPECT_EQ(GFake.Draws[0].State, 2);
  EXPECT_EQ(GFake.Draws[1].State, 1);
}

TEST_F(cxNativePainter, ThemedHeadersAndScrollBars) {
  StartThemed();
  const TcxCustomLookAndFeelPainter* n = Native();
  TImage image(40, 20);
  n->PaintHeader(&image.Canvas, Rect(0, 0, 40, 20), Rect(2, 2, 38, 18), 0, cxAllBorders, cxbsDisabled, taCenter,
                 vaCenter, false, true, u"Name", nullptr, clBtnText, clBtnFace, TcxDrawBackgroundEvent());
  ASSERT_EQ(GFake.Draws.size(), 1u);
  EXPECT_EQ(GFake.Draws[0].Class, "Header");
  EXPECT_EQ(GFake.Draws[0].State, 1);
  ASSERT_EQ(GFake.TextFlags.size(), 1u);
  EXPECT_EQ(GFake.TextFlags[0], cxThemedTextFlags(taCenter, vaCenter, false, true));
  EXPECT_EQ(n->HeaderFrameWidth(), 3);

  struct TCase {
    TcxScrollBarPart Part;
    bool Horizontal;
    TcxButtonState State;
    std::vector<std::pair<Integer, Integer>> Parts;  // (part, state) drawn
  };
  const TCase cases[] = {
      {sbpLineUp, false, cxbsNormal, {{1, 1}}},
      {sbpLineDown, true, cxbsPressed, {{1, 15}}},
      {sbpThumbnail, true, cxbsHot, {{2, 2}, {8, 2}}},
      {sbpThumbnail, false, cxbsDisabled, {{3, 4}, {9, 4}}},
      {sbpPageUp, false, cxbsNormal, {{6, 1}}},
      {sbpPageDown, true, cxbsPressed, {{5, 3}}},
  };
  for (const TCase& c : cases) {
    GFake.Draws.clear();
    TImage bar(16, 16);
    n->PaintScrollBarPart(&bar.Canvas, Rect(0, 0, 16, 16), c.Part, c.State, c.Horizontal);
    std::vector<std::pair<Integer, Integer>> drawn;
    for (const TDrawCall& call : GFake.Draws) {
      EXPECT_EQ(call.Class, "ScrollBar");
      drawn.emplace_back(call.Part, call.State);
    }
    EXPECT_EQ(drawn, c.Parts) << c.Part << " " << c.State;
  }
  // The Office 11 painter borrows the themed scroll bar when it is available.
  GFake.Draws.clear();
  TImage bar(16, 16);
  PainterOf(LookAndFeelPainterOfKind(lfOffice11))->PaintScrollBarPart(&bar.Canvas, Rect(0, 0, 16, 16), sbpPageUp,
                                                                       cxbsNormal, true);
  ASSERT_EQ(GFake.Draws.size(), 1u);
  EXPECT_EQ(GFake.Draws[0].Part, 4);
}

TEST_F(cxNativePainter, ThemedBorderShowsOnlyAOnePixelRing) {
  StartThemed();
  TImage image(10, 10, clWhite);
  Native()->PaintBorder(&image.Canvas, Rect(0, 0, 10, 10));
  EXPECT_EQ(Native()->BorderThickness(), 1);
  EXPECT_FALSE(image.Is(0, 0, clWhite));
  EXPECT_FALSE(image.Is(9, 9, clWhite));
  EXPECT_EQ(image.Count(Rect(1, 1, 9, 9), clWhite), 64);
  // The clip is as before: later drawing reaches the inside.
  TcxCustomLookAndFeelPainter::FillRectColor(&image.Canvas, Rect(0, 0, 10, 10), clLime);
  EXPECT_EQ(image.Count(Rect(0, 0, 10, 10), clLime), 100);
}

TEST_F(cxNativePainter, Gallery) {
  StartUnthemed();
  PaintGallery(Native(), "cxNativePainter_unthemed");
}
