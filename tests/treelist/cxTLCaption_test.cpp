// Header captions of columns and bands: alignment, the glyph beside the
// text, which changes repaint, and what an assignment copies.
#include <gtest/gtest.h>

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
