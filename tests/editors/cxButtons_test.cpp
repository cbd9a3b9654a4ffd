#include "editors/cxButtons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "foundation/cxStandardPainters.h"
#include "foundation/cxUltraFlatPainters.h"
#include "platform/rtl/encoding.h"

namespace {

TColor Rgb(TColor AColor) { return ColorToRGB(AColor) & 0xFFFFFF; }

// A strip of ACells cells of AHeight x AHeight, cell i filled with AColors[i]
// and a one-pixel olive border (the transparent colour).
std::unique_ptr<TBitmap> Strip(Integer ACells, Integer AHeight, const TColor* AColors) {
  auto b = std::make_unique<TBitmap>(ACells * AHeight, AHeight, pf24bit);
  for (Integer i = 0; i < ACells; ++i) {
    b->Canvas()->Brush()->SetColor(clOlive);
    b->Canvas()->FillRect(Rect(i * AHeight, 0, (i + 1) * AHeight, AHeight));
    b->Canvas()->Brush()->SetColor(AColors[i]);
    b->Canvas()->FillRect(Rect(i * AHeight + 1, 1, (i + 1) * AHeight - 1, AHeight - 1));
  }
  b->SetTransparentColor(clOlive);
  return b;
}

class cxButtons : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureGuiRuntime();
    cxStandardPaintersRegister();
    cxUltraFlatPaintersRegister();
  }
};

}  // namespace

TEST_F(cxButtons, GlyphCountFollowsTheStripAndStaysWithinOneToFour) {
  struct TCase {
    Integer Width, Height, Before, After;
  };
  const TCase cases[] = {
      {64, 16, 1, 4},  // four square cells
      {80, 16, 1, 1},  // five cells: too many, one
      {50, 16, 2, 2},  // not a multiple: unchanged
      {16, 16, 3, 1},
  };
  for (const TCase& c : cases) {
    TcxButtonGlyph glyph;
    glyph.SetNumGlyphs(c.Before);
    TBitmap b(c.Width, c.Height);
    glyph.SetGlyph(&b);
    EXPECT_EQ(glyph.NumGlyphs(), c.After) << c.Width << "x" << c.Height;
  }

  TcxButtonGlyph glyph;
  const Integer requested[] = {0, -3, 9, 3, 4, 5};
  const Integer stored[] = {1, 1, 4, 3, 4, 4};
  for (size_t i = 0; i < std::size(requested); ++i) {
    glyph.SetNumGlyphs(requested[i]);
    EXPECT_EQ(glyph.NumGlyphs(), stored[i]) << requested[i];
  }
  // nullptr empties the bitmap; nothing is drawn, nothing divides by zero.
  glyph.SetGlyph(nullptr);
  EXPECT_TRUE(glyph.Glyph()->Empty());
  EXPECT_EQ(glyph.ImageForState(cxbsNormal), nullptr);
  EXPECT_EQ(glyph.CellSize().cx, 0);
}

TEST_F(cxButtons, EachStateShowsACellOfTheStrip) {
  // Rows: NumGlyphs 1..4; columns: normal, hot, pressed, disabled, default.
  const TcxButtonState states[] = {cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled, cxbsDefault};
  const Integer expected[4][5] = {
      {0, 0, 0, 0, 0},
      {0, 0, 0, 1, 0},  // pressed shows the up image below 3 cells
      {0, 0, 2, 1, 0},
      {0, 0, 2, 1, 0},
  };
  const TColor colors[] = {clRed, clBlue, clLime, clYellow};
  for (Integer n = 1; n <= 4; ++n) {
    TcxButtonGlyph glyph;
    auto strip = Strip(n, 12, colors);
    glyph.SetGlyph(strip.get());
    ASSERT_EQ(glyph.NumGlyphs(), n);
    for (size_t s = 0; s < std::size(states); ++s) {
      const Integer cell = glyph.CellOfImage(glyph.ImageOfState(states[s]));
      EXPECT_EQ(cell, expected[n - 1][s]) << n << " cells, state " << states[s];
      EXPECT_LT(cell, n);
      TBitmap* image = glyph.ImageForState(states[s]);
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(image->Width(), 12);
      // The middle pixel is the colour of the cell shown (the disabled cell
      // of a 1-cell strip is embossed in the shadow colour).
      const TColor middle = image->PixelColor(6, 6);
      if (states[s] == cxbsDisabled && n == 1)
        EXPECT_EQ(middle, Rgb(clBtnShadow));
      else
        EXPECT_EQ(middle, Rgb(colors[cell])) << n << " cells, state " << states[s];
    }
  }
  // A count raised by hand over a one-cell bitmap never reads past it.
  TcxButtonGlyph glyph;
  auto strip = Strip(1, 12, colors);
  glyph.SetGlyph(strip.get());
  glyph.SetNumGlyphs(4);
  EXPECT_EQ(glyph.CellSize().cx, 3);
  EXPECT_LE((glyph.CellOfImage(glyph.ImageOfState(cxbsPressed)) + 1) * glyph.CellSize().cx, 12);
}

TEST_F(cxButtons, ColorsAssignAndUnassign) {
  TcxButtonColors colors(nullptr);
  colors.SetColor(cxbsHot, clRed);
  EXPECT_EQ(colors.AssignedColors(), cxButtonStateBit(cxbsHot));
  EXPECT_TRUE(colors.IsStored());
  colors.SetColor(cxbsHot, clNone);
  EXPECT_EQ(colors.AssignedColors(), 0);
  EXPECT_EQ(colors.Color(cxbsHot), clDefault);
  colors.SetColor(cxbsPressed, clBlue);
  colors.SetColor(cxbsNormal, clGreen);
  // Removing a bit restores its colour; a bit over a default colour drops.
  colors.SetAssignedColors(cxButtonStateBit(cxbsNormal) | cxButtonStateBit(cxbsDisabled));
  EXPECT_EQ(colors.AssignedColors(), cxButtonStateBit(cxbsNormal));
  EXPECT_EQ(colors.Color(cxbsPressed), clDefault);
  TcxButtonColors copy(nullptr);
  copy.Assign(&colors);
  EXPECT_EQ(copy.Color(cxbsNormal), clGreen);
  EXPECT_EQ(copy.AssignedColors(), colors.AssignedColors());
}

TEST_F(cxButtons, GlyphAndCaptionLayout) {
  struct TCase {
    const char* Name;
    TSize Client, Glyph, Caption;
    TButtonLayout Layout;
    Integer Margin, Spacing;
    bool RightToLeft;
    Integer Shift;
    TPoint GlyphPos;
    TRect Text;
  };
  const TCase cases[] = {
      // (75 - 47) div 3 = 9 for margin and spacing.
      {"auto both", {75, 25}, {16, 16}, {31, 13}, blGlyphLeft, -1, -1, false, 0, {9, 4}, {34, 5, 65, 18}},
      {"auto margin", {75, 25}, {16, 16}, {31, 13}, blGlyphLeft, -1, 4, false, 0, {12, 4}, {32, 5, 63, 18}},
      {"auto spacing", {75, 25}, {16, 16}, {31, 13}, blGlyphLeft, 2, -1, false, 0, {2, 4}, {31, 5, 62, 18}},
      {"right", {75, 25}, {16, 16}, {31, 13}, blGlyphRight, 2, 4, false, 0, {57, 4}, {22, 5, 53, 18}},
      {"right to left swaps", {75, 25}, {16, 16}, {31, 13}, blGlyphLeft, 2, 4, true, 0, {57, 4}, {22, 5, 53, 18}},
      {"top", {60, 50}, {16, 16}, {31, 13}, blGlyphTop, -1, 4, false, 0, {22, 8}, {14, 28, 45, 41}},
      {"bottom", {60, 50}, {16, 16}, {31, 13}, blGlyphBottom, 3, 4, false, 0, {22, 31}, {14, 14, 45, 27}},
      {"no caption: no spacing", {40, 20}, {16, 16}, {0, 0}, blGlyphLeft, -1, 4, false, 0, {12, 2}, {28, 9, 28, 9}},
      {"no glyph", {75, 25}, {0, 0}, {31, 13}, blGlyphLeft, -1, 4, false, 0, {22, 12}, {22, 5, 53, 18}},
      {"pressed shift", {75, 25}, {16, 16}, {31, 13}, blGlyphLeft, -1, -1, false, 1, {10, 5}, {35, 6, 66, 19}},
  };
  for (const TCase& c : cases) {
    const TcxButtonContentLayout l = cxCalcButtonContentLayout(c.Client, c.Glyph, c.Caption, c.Layout, c.Margin,
                                                               c.Spacing, c.RightToLeft, c.Shift);
    EXPECT_EQ(l.GlyphPos, c.GlyphPos) << c.Name;
    EXPECT_EQ(l.TextRect, c.Text) << c.Name;
  }
}

TEST_F(cxButtons, DropDownMenuPoint) {
  const TPoint origin{100, 200};
  const TSize button{80, 24};
  EXPECT_EQ(cxDropDownMenuPoint(origin, button, paLeft, 50, 1000), Point(100, 224));
  EXPECT_EQ(cxDropDownMenuPoint(origin, button, paRight, 50, 1000), Point(180, 224));
  EXPECT_EQ(cxDropDownMenuPoint(origin, button, paCenter, 50, 1000), Point(140, 224));
  // Crossing the bottom of the work area: above the button.
  EXPECT_EQ(cxDropDownMenuPoint(origin, button, paLeft, 100, 300), Point(100, 224 - 100 - 24 - 2));
}

TEST_F(cxButtons, ClicksByKind) {
  struct TCase {
    TcxButtonKind Kind;
    bool MouseFlag;
    Integer Clicks, MenuRequests;
  };
  const TCase cases[] = {
      {cxbkStandard, false, 1, 0},
      {cxbkDropDown, false, 0, 1},  // a keyboard click opens the menu
      {cxbkDropDown, true, 0, 0},   // the click of the press that opened the menu is swallowed
      {cxbkDropDownButton, false, 1, 0},
  };
  for (const TCase& c : cases) {
    TcxButton button(nullptr);
    button.SetKind(c.Kind);
    Integer clicks = 0, requests = 0;
    button.OnClick = TNotifyEvent(&clicks, [&](TObject*) { ++clicks; });
    button.OnDropDownMenuPopup = TcxButtonDropDownMenuPopupEvent(&requests, [&](TObject*, TPopupMenu*&, bool& AHandled) {
      ++requests;
      AHandled = true;
    });
    if (c.MouseFlag) {
      // A left press on the whole drop-down button opens the menu and marks
      // the press; the click that follows is swallowed.
      button.Perform(WM_LBUTTONDOWN, 0, 0);
      requests = 0;
    }
    button.Click();
    EXPECT_EQ(clicks, c.Clicks) << c.Kind << " " << c.MouseFlag;
    EXPECT_EQ(requests, c.MenuRequests) << c.Kind << " " << c.MouseFlag;
    EXPECT_FALSE(button.MenuVisible());
  }
}

TEST_F(cxButtons, ColorsAndDrawParamsReachThePicture) {
  TcxButton button(nullptr);
  button.SetBounds(0, 0, 80, 24);
  button.SetCaption(u"WWW");
  button.LookAndFeel()->SetKind(lfStandard);
  button.Colors()->SetColor(cxbsHot, clYellow);
  button.OnGetDrawParams =
      TcxButtonGetDrawParamsEvent(&button, [](TObject*, TcxButtonState AState, TFont* AFont, TColor&) {
        if (AState == cxbsHot) AFont->SetColor(clRed);
      });
  auto count = [&](TcxButtonState AState, TColor AColor) {
    TBitmap cell(80, 24, pf24bit);
    TcxCanvas canvas(cell.Canvas());
    button.PaintButton(&canvas, AState);
    Integer n = 0;
    for (Integer y = 0; y < 24; ++y)
      for (Integer x = 0; x < 80; ++x) n += cell.PixelColor(x, y) == Rgb(AColor);
    return n;
  };
  EXPECT_GT(count(cxbsHot, clYellow), 80 * 24 / 2);  // the face
  EXPECT_GT(count(cxbsHot, clRed), 0);               // the caption
  EXPECT_EQ(count(cxbsNormal, clYellow), 0);
  EXPECT_EQ(count(cxbsNormal, clRed), 0);
}

TEST_F(cxButtons, PictureInEachLook) {
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  const TcxButtonState states[] = {cxbsNormal, cxbsHot, cxbsPressed, cxbsDefault, cxbsDisabled};
  const TcxButtonKind buttonKinds[] = {cxbkStandard, cxbkStandard, cxbkStandard, cxbkStandard, cxbkDropDownButton};
  constexpr Integer W = 90, H = 28, Gap = 6;
  TBitmap picture(std::size(states) * (W + Gap) + Gap, std::size(kinds) * (H + Gap) + Gap, pf24bit);
  picture.Canvas()->Brush()->SetColor(clBtnFace);
  picture.Canvas()->FillRect(Rect(0, 0, picture.Width(), picture.Height()));
  const TColor colors[] = {clRed, clBlue};
  auto strip = Strip(2, 16, colors);

  for (size_t k = 0; k < std::size(kinds); ++k)
    for (size_t s = 0; s < std::size(states); ++s) {
      TcxButton button(nullptr);
      button.SetBounds(0, 0, W, H);
      button.SetCaption(u"&Save");
      button.SetGlyph(strip.get());
      button.SetKind(buttonKinds[s]);
      button.LookAndFeel()->SetKind(kinds[k]);
      TBitmap cell(W, H, pf24bit);
      TcxCanvas canvas(cell.Canvas());
      button.PaintButton(&canvas, states[s]);
      // The glyph stands at its laid-out place: red (up cell) in every
      // state but disabled, which shows the strip's second (blue) cell.
      const TColor expected = states[s] == cxbsDisabled ? clBlue : clRed;
      bool found = false;
      for (Integer y = 0; y < H && !found; ++y)
        for (Integer x = 0; x < W / 2 && !found; ++x) found = cell.PixelColor(x, y) == Rgb(expected);
      EXPECT_TRUE(found) << "look " << kinds[k] << " state " << states[s];
      picture.Canvas()->Draw(Gap + s * (W + Gap), Gap + k * (H + Gap), &cell);
    }
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "korvane_buttons.png";
  picture.SaveToFile(UTF8ToString(file.string()));
  EXPECT_TRUE(std::filesystem::exists(file));
}
