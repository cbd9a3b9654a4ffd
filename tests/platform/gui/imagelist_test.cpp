#include "platform/gui/imagelist.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/rtl/encoding.h"
#include "tests/platform/gui/guitestutil.h"

namespace {

class ImageListTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { EnsureGuiRuntime(); }

  // A strip of `count` 4 x 4 images on a fuchsia background: image i has a
  // 2 x 2 square of colours[i] at (1, 1).
  static std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> colours) {
    auto bmp = std::make_unique<TBitmap>(4 * static_cast<Integer>(colours.size()), 4, pf24bit);
    bmp->Canvas()->Brush()->SetColor(clFuchsia);
    bmp->Canvas()->FillRect({0, 0, bmp->Width(), 4});
    Integer i = 0;
    for (TColor c : colours) {
      bmp->Canvas()->Brush()->SetColor(c);
      bmp->Canvas()->FillRect({i * 4 + 1, 1, i * 4 + 3, 3});
      ++i;
    }
    return bmp;
  }

  static std::unique_ptr<TBitmap> Background(TColor color) {
    auto bmp = std::make_unique<TBitmap>(8, 8, pf32bit);
    bmp->Canvas()->Brush()->SetColor(color);
    bmp->Canvas()->FillRect({0, 0, 8, 8});
    return bmp;
  }
};

TEST_F(ImageListTest, AddCutsAStripIntoImagesOfTheListSize) {
  auto list = TImageList::CreateSize(4, 4);
  int changes = 0;
  list->OnChange = TNotifyEvent(&changes, [&changes](TObject*) { ++changes; });
  auto strip = Strip({clRed, clLime, clBlue});
  EXPECT_EQ(list->AddMasked(strip.get(), clDefault), 0);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Width(), 4);
  EXPECT_EQ(list->Height(), 4);
  EXPECT_EQ(list->Add(Strip({clNavy}).get(), nullptr), 3);
  EXPECT_EQ(list->Count(), 4);
  EXPECT_EQ(changes, 2);
  TBitmap empty;
  EXPECT_EQ(list->Add(&empty, nullptr), -1);

  TBitmap out;
  list->GetBitmap(1, &out);
  EXPECT_EQ(out.Width(), 4);
  EXPECT_EQ(out.PixelColor(1, 1), clLime);
  EXPECT_EQ(out.PixelColor(0, 0), clWhite) << "masked pixels come out white";
  EXPECT_THROW(list->GetBitmap(9, &out), EInvalidOperation);

  list->Delete(0);
  EXPECT_EQ(list->Count(), 3);
  list->GetBitmap(0, &out);
  EXPECT_EQ(out.PixelColor(1, 1), clLime);
  EXPECT_THROW(list->Delete(5), EInvalidOperation);
  list->SetWidth(8);  // a new size empties the list
  EXPECT_EQ(list->Count(), 0);
}

TEST_F(ImageListTest, DrawLeavesOutMaskedPixels) {
  auto list = TImageList::CreateSize(4, 4);
  list->AddMasked(Strip({clRed}).get(), clFuchsia);
  auto plainMask = Strip({clRed});  // no mask: every pixel drawn
  list->Add(plainMask.get(), nullptr);
  auto bg = Background(clYellow);
  list->Draw(bg->Canvas(), 2, 2, 0);
  EXPECT_EQ(bg->PixelColor(3, 3), clRed);
  EXPECT_EQ(bg->PixelColor(2, 2), clYellow);
  list->Draw(bg->Canvas(), 2, 2, 1);
  EXPECT_EQ(bg->PixelColor(2, 2), clFuchsia);
  list->Draw(bg->Canvas(), 0, 0, 7);  // a bad index draws nothing
  list->Draw(nullptr, 0, 0, 0);

  // A background colour shows under masked pixels.
  auto bg2 = Background(clYellow);
  list->SetBkColor(clAqua);
  list->Draw(bg2->Canvas(), 2, 2, 0);
  EXPECT_EQ(bg2->PixelColor(2, 2), clAqua);
  EXPECT_EQ(bg2->PixelColor(3, 3), clRed);
}

TEST_F(ImageListTest, DisabledDrawingIsEmbossedInShadowAndHighlight) {
  auto list = TImageList::CreateSize(4, 4);
  list->AddMasked(Strip({clRed}).get(), clFuchsia);
  auto bg = Background(ColorToRGB(clBtnFace));
  list->Draw(bg->Canvas(), 2, 2, 0, false);
  EXPECT_EQ(bg->PixelColor(3, 3), ColorToRGB(clBtnShadow));
  EXPECT_EQ(bg->PixelColor(4, 4), ColorToRGB(clBtnShadow));
  EXPECT_EQ(bg->PixelColor(5, 5), ColorToRGB(clBtnHighlight)) << "the highlight shows below right";
  EXPECT_EQ(bg->PixelColor(2, 2), ColorToRGB(clBtnFace));
  SavePicture(bg.get(), "imagelist_disabled.png");
}

}  // namespace
