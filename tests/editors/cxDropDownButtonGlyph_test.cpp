// The drop-down button's glyph: setting one makes the button a glyph
// button, removing it makes it a drop-down button again, and moving the
// glyph to another button takes the picture along.
#include <gtest/gtest.h>

#include <memory>

#include "editors/cxDropDownEdit.h"
#include "platform/gui/bitmap.h"

namespace {

std::unique_ptr<TBitmap> Picture(Integer W, Integer H) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(W, H);
  return b;
}

TEST(cxCustomDropDownEditProperties, ButtonGlyphDecidesTheButtonKind) {
  TcxCustomDropDownEditProperties p(nullptr);
  EXPECT_EQ(p.ButtonGlyph(), nullptr);
  auto glyph = Picture(12, 10);
  p.SetButtonGlyph(glyph.get());
  ASSERT_NE(p.ButtonGlyph(), nullptr);
  EXPECT_EQ(p.ButtonGlyph()->Width(), 12);
  EXPECT_EQ(p.Buttons()->GetButton(0)->Kind(), bkGlyph);

  // Copied with the other settings.
  TcxCustomDropDownEditProperties copy(nullptr);
  copy.Assign(&p);
  ASSERT_NE(copy.ButtonGlyph(), nullptr);
  EXPECT_EQ(copy.Buttons()->GetButton(0)->Kind(), bkGlyph);

  struct TRemoval {
    const char* Name;
    TBitmap* Glyph;
  };
  auto empty = Picture(0, 0);
  for (const TRemoval& r : {TRemoval{"nullptr", nullptr}, TRemoval{"an empty picture", empty.get()}}) {
    SCOPED_TRACE(r.Name);
    p.SetButtonGlyph(glyph.get());
    p.SetButtonGlyph(r.Glyph);
    EXPECT_EQ(p.ButtonGlyph(), nullptr);
    EXPECT_EQ(p.Buttons()->GetButton(0)->Kind(), bkDown);
  }

  // A picture given to the button itself follows the same rule.
  p.Buttons()->GetButton(0)->SetGlyph(glyph.get());
  EXPECT_EQ(p.Buttons()->GetButton(0)->Kind(), bkGlyph);
}

TEST(cxCustomDropDownEditProperties, MovingTheGlyphToAnotherButton) {
  TcxCustomDropDownEditProperties p(nullptr);
  TcxEditButton* second = p.Buttons()->Add();
  second->SetKind(bkEllipsis);
  auto glyph = Picture(8, 8);
  p.SetButtonGlyph(glyph.get());
  p.SetGlyphButtonIndex(1);
  EXPECT_EQ(p.GlyphButtonIndex(), 1);
  EXPECT_FALSE(p.Buttons()->GetButton(0)->HasGlyph());
  EXPECT_EQ(p.Buttons()->GetButton(0)->Kind(), bkDown);
  ASSERT_NE(p.ButtonGlyph(), nullptr);
  EXPECT_EQ(p.ButtonGlyph()->Width(), 8);
  EXPECT_EQ(second->Kind(), bkGlyph);
  // Past the buttons: no glyph to read or set, and the picture is not lost.
  p.SetGlyphButtonIndex(5);
  EXPECT_EQ(p.ButtonGlyph(), nullptr);
  p.SetButtonGlyph(glyph.get());
  EXPECT_EQ(p.ButtonGlyph(), nullptr);
  EXPECT_TRUE(second->HasGlyph());
  EXPECT_EQ(second->Kind(), bkGlyph);
}

}  // namespace
