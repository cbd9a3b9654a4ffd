#include "platform/rtl/geometry.h"

#include <gtest/gtest.h>

TEST(Geometry, IntersectAndUnion) {
  TRect r;
  EXPECT_TRUE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
  EXPECT_EQ(r, Rect(5, 5, 10, 10));
  EXPECT_FALSE(IntersectRect(r, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));  // edges only touch
  EXPECT_EQ(r, TRect{});
  EXPECT_TRUE(UnionRect(r, Rect(0, 0, 0, 0), Rect(2, 2, 4, 4)));  // empty adds nothing
  EXPECT_EQ(r, Rect(2, 2, 4, 4));
  EXPECT_TRUE(UnionRect(r, Rect(0, 0, 1, 1), Rect(2, 2, 4, 4)));
  EXPECT_EQ(r, Rect(0, 0, 4, 4));
}

TEST(Geometry, PointsAndEdges) {
  const TRect r = Bounds(1, 2, 3, 4);
  EXPECT_EQ(r, Rect(1, 2, 4, 6));
  EXPECT_TRUE(PtInRect(r, Point(1, 2)));
  EXPECT_FALSE(PtInRect(r, Point(4, 2)));  // right edge excluded
  TRect s = r;
  InflateRect(s, 1, 1);
  OffsetRect(s, -1, 0);
  EXPECT_EQ(s, Rect(-1, 1, 4, 7));
}
