#include "editors/cxGroupBox.h"

#include <gtest/gtest.h>

namespace {

class cxGroupBox : public ::testing::Test {
protected:
  void SetUp() override { EnsureGuiRuntime(); }
};

}  // namespace

TEST_F(cxGroupBox, CaptionPositions) {
  struct TCase {
    TcxCaptionAlignment Alignment;
    bool Shadow;
    TRect Caption;
  };
  // A 200 x 100 box; the caption measures 40 x 13.
  const TCase cases[] = {
      {alTopLeft, false, {8, 0, 48, 13}},        {alTopCenter, false, {80, 0, 120, 13}},
      {alTopRight, false, {152, 0, 192, 13}},    {alBottomLeft, false, {8, 85, 48, 98}},
      {alBottomCenter, false, {80, 85, 120, 98}}, {alBottomRight, false, {152, 85, 192, 98}},
      {alLeftTop, false, {-1, 8, 12, 48}},       {alLeftCenter, false, {-1, 30, 12, 70}},
      {alLeftBottom, false, {-1, 52, 12, 92}},   {alRightTop, false, {188, 8, 201, 48}},
      {alRightCenter, false, {188, 30, 201, 70}}, {alRightBottom, false, {188, 52, 201, 92}},
      {alCenterCenter, false, {80, 43, 120, 56}},
      // The shadow takes 3 pixels from the right and the bottom.
      {alTopCenter, true, {78, 0, 118, 13}},     {alTopRight, true, {149, 0, 189, 13}},
      {alLeftCenter, true, {-1, 28, 12, 68}},    {alCenterCenter, true, {78, 42, 118, 55}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(cxGroupBoxCaptionRect(c.Alignment, TSize{200, 100}, TSize{40, 13}, c.Shadow), c.Caption)
        << c.Alignment << " shadow " << c.Shadow;
}

TEST_F(cxGroupBox, FrameAndClientMargins) {
  struct TCase {
    TcxCaptionAlignment Alignment;
    bool Inplace;
    TRect Frame, Margins;
  };
  // Caption sample 16 high, border 1: the caption-side edge stands at
  // 16 div 2 - 1 + 1 = 8; the caption band is 16 + 3.
  const TCase cases[] = {
      {alTopLeft, false, {0, 8, 200, 100}, {1, 19, 1, 1}},
      {alBottomRight, false, {0, 0, 200, 92}, {1, 1, 1, 19}},
      {alLeftCenter, false, {7, 0, 200, 100}, {19, 1, 1, 1}},
      {alRightTop, false, {0, 0, 193, 100}, {1, 1, 19, 1}},
      {alCenterCenter, false, {0, 0, 200, 100}, {1, 1, 1, 1}},
      {alTopLeft, true, {0, 8, 200, 100}, {0, 0, 0, 0}},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(cxGroupBoxFrameRect(c.Alignment, TSize{200, 100}, 16, 1), c.Frame) << c.Alignment;
    EXPECT_EQ(cxGroupBoxClientMargins(c.Alignment, 16, 1, c.Inplace), c.Margins) << c.Alignment;
  }
}

TEST_F(cxGroupBox, EffectiveColumnsAndRows) {
  struct TCase {
    Integer Columns, Items, Effective, Rows;
  };
  const TCase cases[] = {
      {4, 5, 3, 2},  // rebalanced: 2, 2, 1
      {3, 2, 2, 1},  {1, 3, 1, 3}, {2, 5, 2, 3},
      {4, 0, 1, 0},  // no items: one column, no rows, no division by zero
      {0, 4, 1, 4},  // stored as 1
      {-3, 2, 1, 2},
  };
  for (const TCase& c : cases) {
    TcxCustomButtonGroupProperties p(nullptr);
    p.SetColumns(c.Columns);
    EXPECT_GE(p.Columns(), 1);
    for (Integer i = 0; i < c.Items; ++i) p.Items()->Add();
    EXPECT_EQ(p.GetEffectiveColumns(), c.Effective) << c.Columns << "/" << c.Items;
    EXPECT_EQ(p.RowCount(), c.Rows) << c.Columns << "/" << c.Items;
  }
}

TEST_F(cxGroupBox, ItemPlacement) {
  TcxButtonGroupMetrics m;
  m.LeftOffset = 6;
  m.PlacementWidthAdjustment = -6;
  // Column width (200 - 6 - 4) div 2 = 95; area 79 high in 3 rows of 26,
  // the one pixel left over goes above the first row (1 div 2 = 0).
  const std::vector<TRect> five = cxButtonGroupItemRects(Rect(0, 0, 200, 100), Rect(2, 19, 2, 2), 5, 2, m);
  const std::vector<TRect> expected = {{8, 19, 103, 45},   {8, 45, 103, 71},   {8, 71, 103, 97},
                                       {103, 19, 198, 45}, {103, 45, 198, 71}};
  EXPECT_EQ(five, expected);
  // 23 pixels in 3 rows of 7: of the two left over, one goes above.
  const std::vector<TRect> three = cxButtonGroupItemRects(Rect(0, 0, 100, 23), Rect(0, 0, 0, 0), 3, 1, TcxButtonGroupMetrics{});
  EXPECT_EQ(three[0], Rect(0, 1, 100, 8));
  // No items, no cells; a box smaller than its margins gives empty cells.
  EXPECT_TRUE(cxButtonGroupItemRects(Rect(0, 0, 100, 50), Rect(1, 19, 1, 1), 0, 1, m).empty());
  for (const TRect& r : cxButtonGroupItemRects(Rect(0, 0, 30, 10), Rect(1, 19, 1, 1), 4, 1, m))
    EXPECT_EQ(r.Bottom - r.Top, 0);
}

TEST_F(cxGroupBox, ArrowKeysBetweenButtons) {
  struct TCase {
    Integer From;
    Word Key;
    Integer To;
  };
  // Five items in three rows: 0 1 2 in the first column, 3 4 in the second.
  const TCase cases[] = {
      {0, VK_RIGHT, 3}, {2, VK_RIGHT, 2}, {3, VK_LEFT, 0}, {0, VK_LEFT, 0}, {1, VK_UP, 0},
      {0, VK_UP, 0},    {3, VK_DOWN, 4},  {4, VK_DOWN, 4}, {2, VK_DOWN, 2}, {4, VK_LEFT, 1},
  };
  for (const TCase& c : cases) EXPECT_EQ(cxButtonGroupNavigate(c.From, c.Key, 5, 3), c.To) << c.From << " " << c.Key;
  EXPECT_EQ(cxButtonGroupNavigate(0, VK_DOWN, 0, 0), 0);
}

TEST_F(cxGroupBox, ItemChangesNotifyTheProperties) {
  TcxCustomButtonGroupProperties p(nullptr);
  Integer notices = 0;
  p.OnPropertiesChanged = TNotifyEvent(&notices, [&](TObject*) { ++notices; });
  TcxButtonGroupItem* item = p.Items()->Add();
  const Integer afterAdd = notices;
  EXPECT_GT(afterAdd, 0);
  item->SetCaption(u"A");
  item->SetCaption(u"A");  // no real change
  item->SetEnabled(false);
  EXPECT_EQ(notices, afterAdd + 2);
  TcxCustomButtonGroupProperties copy(nullptr);
  copy.Assign(&p);
  ASSERT_EQ(copy.Items()->Count(), 1);
  EXPECT_EQ(copy.Items()->Item(0)->Caption(), u"A");
  EXPECT_FALSE(copy.Items()->Item(0)->Enabled());
}
