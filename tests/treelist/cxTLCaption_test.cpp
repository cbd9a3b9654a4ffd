// Header captions of columns and bands: alignment, the glyph beside the
// text, which changes repaint, and what an assignment copies.
#include <gtest/gtest.h>

#include "platform/gui/testinput.h"
#include "tests/treelist/treelist_view_fixture.h"
#include "treelist/cxTLPainter.h"

namespace {

// Dark (text) pixels in the left and right halves of a rectangle.
std::pair<Integer, Integer> DarkHalves(TBitmap& APicture, const TRect& R) {
  Integer Left = 0, Right = 0;
  for (Integer Y = R.Top + 2; Y < R.Bottom - 2; ++Y)
    for (Integer X = R.Left + 2; X < R.Right - 2; ++X) {
      const TColor C = APicture.PixelColor(X, Y);
      if ((C & 0xFF) < 0x60 && ((C >> 8) & 0xFF) < 0x60 && ((C >> 16) & 0xFF) < 0x60) (X < (R.Left + R.Right) / 2 ? Left : Right)++;
    }
  return {Left, Right};
}

Integer CountColor(TBitmap& APicture, const TRect& R, TColor AColor) {
  Integer Count = 0;
  for (Integer Y = R.Top; Y < R.Bottom; ++Y)
    for (Integer X = R.Left; X < R.Right; ++X) Count += APicture.PixelColor(X, Y) == AColor;
  return Count;
}

}  // namespace

TEST(TreeListCaption, AlignmentAndGlyphShowInTheHeader) {
  TTreeViewFixture F;
  TcxTreeListCaption* Caption = F.Column(0)->CaptionSettings();
  EXPECT_EQ(Caption->Text(), u"Name");
  EXPECT_TRUE(Caption->ShowEndEllipsis());
  EXPECT_FALSE(Caption->MultiLine());
  const TRect Header = F.Layout()->ColumnHeader(F.Column(0))->DisplayRect();
  auto Halves = DarkHalves(*F.Shot(), Header);
  EXPECT_GT(Halves.first, 0);
  EXPECT_EQ(Halves.second, 0) << "left-justified by default";
  Caption->SetAlignHorz(taRightJustify);
  Halves = DarkHalves(*F.Shot(), F.Layout()->ColumnHeader(F.Column(0))->DisplayRect());
  EXPECT_EQ(Halves.first, 0);
  EXPECT_GT(Halves.second, 0);

  TBitmap Glyph(8, 8);
  Glyph.Canvas()->Brush()->SetColor(clRed);
  Glyph.Canvas()->FillRect(TRect{0, 0, 8, 8});
  Caption->SetGlyph(&Glyph);
  ASSERT_TRUE(Caption->HasGlyph());
  auto Picture = F.Shot();
  const TRect LeftQuarter{Header.Left, Header.Top, Header.Left + Header.Width() / 4, Header.Bottom};
  const TRect RightQuarter{Header.Right - Header.Width() / 4, Header.Top, Header.Right, Header.Bottom};
  EXPECT_EQ(CountColor(*Picture, LeftQuarter, clRed), 64);
  Caption->SetGlyphAlignHorz(taRightJustify);
  Picture = F.Shot();
  EXPECT_EQ(CountColor(*Picture, LeftQuarter, clRed), 0);
  EXPECT_EQ(CountColor(*Picture, RightQuarter, clRed), 64);
  Caption->SetGlyph(nullptr);
  EXPECT_FALSE(Caption->HasGlyph());
  EXPECT_EQ(CountColor(*F.Shot(), Header, clRed), 0);
}

// A change tells the owner; a glyph alignment without a glyph does not;
// assignment copies every property; the band's best fit leaves room for a
// glyph beside its text.
TEST(TreeListCaption, ChangesAssignmentAndBandFit) {
  TTreeViewFixture F;
  Integer Layouts = 0;
  F.Tree->OnLayoutChanged = TcxTreeListControlNotifyEvent(nullptr, [&Layouts](TcxCustomTreeListControl*) { ++Layouts; });
  TcxTreeListCaption* Caption = F.Column(1)->CaptionSettings();
  Caption->SetGlyphAlignVert(vaBottom);
  EXPECT_EQ(Layouts, 0);
  Caption->SetMultiLine(true);
  EXPECT_GT(Layouts, 0);
  TBitmap Glyph(20, 10);
  Caption->SetGlyph(&Glyph);
  Caption->SetAlignVert(vaCenter);
  Caption->SetShowEndEllipsis(false);
  TcxTreeListCaption Copy;
  Copy.Assign(Caption);
  EXPECT_EQ(Copy.Text(), u"Note");
  EXPECT_TRUE(Copy.MultiLine());
  EXPECT_FALSE(Copy.ShowEndEllipsis());
  EXPECT_EQ(Copy.AlignVert(), vaCenter);
  EXPECT_EQ(Copy.GlyphAlignVert(), vaBottom);
  ASSERT_TRUE(Copy.HasGlyph());
  EXPECT_NE(Copy.Glyph(), Caption->Glyph()) << "the copy owns its own glyph";
  EXPECT_EQ(Copy.Glyph()->Width(), 20);

  F.View()->SetBands(true);
  TcxTreeListBand* Band = F.Tree->Bands()->Items(0);
  Band->SetCaption(u"A band caption far wider than its columns together");
  F.Tree->LayoutChanged();
  Band->ApplyBestFit();
  const Integer Plain = Band->Width();
  TBitmap BandGlyph(30, 10);
  Band->CaptionSettings()->SetGlyph(&BandGlyph);
  Band->ApplyBestFit();
  EXPECT_EQ(Band->Width(), Plain + 30);
  Band->CaptionSettings()->SetGlyphAlignHorz(taCenter);
  Band->ApplyBestFit();
  EXPECT_EQ(Band->Width(), Plain) << "a centred glyph takes no room beside the text";
}

// The glyph stands at its whole size where its alignments put it in the
// text area, and the text gives it room beside it (none when centred).
TEST(TreeListCaption, TheGlyphTakesItsPlaceAndTheTextKeepsTheRest) {
  TTreeViewFixture F;
  TcxTreeListCaption* Caption = F.Column(0)->CaptionSettings();
  TBitmap Glyph(8, 8);
  Caption->SetGlyph(&Glyph);
  const TRect D = F.Layout()->ColumnHeader(F.Column(0))->DisplayRect();
  // The text area without a glyph: the frame, then a pixel each side.
  const TRect Plain{D.Left + 3, D.Top + 2, D.Right - 3, D.Bottom - 2};
  struct TCase {
    TAlignment Horz;
    TcxAlignmentVert Vert;
    TPoint Glyph;
    Integer TextLeft, TextRight;
  };
  const TCase Cases[] = {
      {taLeftJustify, vaTop, {Plain.Left, Plain.Top}, Plain.Left + 8 + 2, Plain.Right},
      {taRightJustify, vaBottom, {Plain.Right - 8, Plain.Bottom - 8}, Plain.Left, Plain.Right - 8 - 2},
      {taCenter, vaCenter, {(Plain.Left + Plain.Right - 8) / 2, (Plain.Top + Plain.Bottom - 8) / 2}, Plain.Left,
       Plain.Right},
  };
  for (const TCase& C : Cases) {
    Caption->SetGlyphAlignHorz(C.Horz);
    Caption->SetGlyphAlignVert(C.Vert);
    TcxTreeListHeaderViewInfo* Header = F.Layout()->ColumnHeader(F.Column(0));
    EXPECT_EQ(Header->GlyphRect, (TRect{C.Glyph.X, C.Glyph.Y, C.Glyph.X + 8, C.Glyph.Y + 8})) << C.Horz;
    EXPECT_EQ(Header->TextArea.Left, C.TextLeft) << C.Horz;
    EXPECT_EQ(Header->TextArea.Right, C.TextRight) << C.Horz;
    EXPECT_FALSE(Header->GlyphClipped) << C.Horz;
  }
}

// A glyph higher than its header keeps its size and is cut at the header:
// nothing of it shows above or below.
TEST(TreeListCaption, AGlyphThatDoesNotFitIsClippedToItsHeader) {
  TTreeViewFixture F;
  TBitmap Glyph(6, 200);
  Glyph.Canvas()->Brush()->SetColor(clRed);
  Glyph.Canvas()->FillRect(TRect{0, 0, 6, 200});
  TcxTreeListCaption* Caption = F.Column(1)->CaptionSettings();
  Caption->SetGlyph(&Glyph);
  Caption->SetGlyphAlignVert(vaCenter);
  TcxTreeListHeaderViewInfo* Header = F.Layout()->ColumnHeader(F.Column(1));
  EXPECT_EQ(Header->GlyphRect.Height(), 200);
  EXPECT_TRUE(Header->GlyphClipped);
  auto Picture = F.Shot();
  const TRect Clip = Header->ClipRect();
  const TRect Column{Header->GlyphRect.Left, 0, Header->GlyphRect.Right, F.Tree->ClientHeight()};
  EXPECT_GT(CountColor(*Picture, Clip, clRed), 0);
  EXPECT_EQ(CountColor(*Picture, Column, clRed), CountColor(*Picture, Clip, clRed)) << "red only inside the header";
}

// A caption cut by its header shows whole in a hint while the mouse rests
// on its text; one that fits, a wrapped one that fits, and the sizing edge
// show none.
TEST(TreeListCaption, ACutCaptionShowsWholeInAHint) {
  TTreeViewFixture F;
  F.Tree->OptionsBehavior()->CellHints = true;
  TcxHotTrackController* Hints = F.Tree->Controller()->HotTrackController();
  auto Hover = [&](const TPoint& P) {
    TestMouseMove(F.Tree->Handle(), TPoint{P.X + 1, P.Y});
    Application->ProcessMessages();
    TestMouseMove(F.Tree->Handle(), P);
    Application->ProcessMessages();
  };
  auto TextCentre = [&](Integer AColumn) {
    const TRect T = F.Layout()->ColumnHeader(F.Column(AColumn))->TextArea;
    return TPoint{(T.Left + T.Right) / 2, (T.Top + T.Bottom) / 2};
  };
  const String Long = u"A caption far too long for eighty pixels";
  struct TCase {
    const char* Name;
    String Caption;
    bool MultiLine;
    bool Hint;
  };
  const TCase Cases[] = {
      {"fits", u"Note", false, false},
      {"cut", Long, false, true},
      {"wrapped past the header", Long, true, true},
  };
  for (const TCase& C : Cases) {
    F.Column(1)->CaptionSettings()->SetMultiLine(C.MultiLine);
    F.Column(1)->SetCaption(C.Caption);
    F.Layout();
    Hover(TextCentre(0));
    Hover(TextCentre(1));
    EXPECT_EQ(Hints->HintVisible(), C.Hint) << C.Name;
    if (C.Hint) {
      EXPECT_EQ(Hints->HintText(), C.Caption) << C.Name;
    }
  }
  // On the sizing edge the mouse sizes the column: no hint.
  Hover(TextCentre(0));
  const TRect Clip = F.Layout()->ColumnHeader(F.Column(1))->ClipRect();
  Hover(TPoint{Clip.Right - 1, (Clip.Top + Clip.Bottom) / 2});
  EXPECT_FALSE(Hints->HintVisible());
  // Hints off: none.
  F.Tree->OptionsBehavior()->CellHints = false;
  Hover(TextCentre(0));
  Hover(TextCentre(1));
  EXPECT_FALSE(Hints->HintVisible());
}
