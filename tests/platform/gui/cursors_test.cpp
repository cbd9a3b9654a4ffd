// Cursor shapes: the rows a cursor draws below its hot spot, which a hint
// below the mouse must leave free.
#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"
#include "platform/gui/cursors.h"
#include "platform/gui/graphics.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"

namespace {

// A 16 x 16 shape (two bytes a row) drawing the given rows: through the AND
// plane, or, when inverting, only through the XOR plane.
TCursorShape RowsShape(Integer FirstRow, Integer LastRow, Integer HotY, bool Inverts, Integer DrawnByte = 0) {
  TCursorShape Shape;
  Shape.Width = Shape.Height = 16;
  Shape.HotSpot = TPoint{0, HotY};
  const Integer Row = Shape.RowBytes();
  Shape.Mask.assign(static_cast<std::size_t>(2 * 16 * Row), 0);
  for (Integer I = 0; I < 16 * Row; ++I) Shape.Mask[static_cast<std::size_t>(I)] = 0xFF;
  for (Integer Y = FirstRow; Y <= LastRow && Y >= 0; ++Y) {
    const std::size_t At = static_cast<std::size_t>(Y * Row + DrawnByte);
    if (Inverts)
      Shape.Mask[At + static_cast<std::size_t>(16 * Row)] = 0x80;
    else
      Shape.Mask[At] = 0x7F;
  }
  return Shape;
}

}  // namespace

TEST(CursorShapes, RowsDrawnBelowTheHotSpot) {
  struct TCase {
    const char* Name;
    TCursorShape Shape;
    Integer Expected;
  };
  TCursorShape AndOnly = RowsShape(0, 9, 0, false);
  AndOnly.Mask.resize(AndOnly.Mask.size() / 2);  // no XOR plane
  TCursorShape Empty;
  const TCase Cases[] = {
      {"arrow-like, hot spot on top", RowsShape(0, 11, 0, false), 12},
      {"hot spot inside", RowsShape(2, 11, 5, false), 7},
      {"last row drawn in its first byte counts whole", RowsShape(0, 11, 0, false, 0), 12},
      {"last row drawn in its last byte", RowsShape(0, 11, 0, false, 1), 12},
      {"drawn to the bottom row", RowsShape(4, 15, 8, false), 8},
      {"inverting shape: read from the XOR plane", RowsShape(3, 12, 7, true), 6},
      {"nothing drawn below the hot spot", RowsShape(0, 4, 9, false), 0},
      {"nothing drawn at all", RowsShape(-1, -1, 0, false), 0},
      {"no XOR plane", AndOnly, 10},
      {"no mask", Empty, 0},
  };
  for (const TCase& C : Cases) EXPECT_EQ(CursorShapeHeightBelowHotSpot(C.Shape), C.Expected) << C.Name;
}

TEST(CursorShapes, StandardAndDrawnCursors) {
  EnsureGuiRuntime();
  TCursorShape Shape;
  // The arrow: hot spot at its tip, twenty rows drawn.
  ASSERT_TRUE(GetCursorShape(LoadCursor(IDC_ARROW), Shape));
  EXPECT_EQ(Shape.Width, 32);
  EXPECT_EQ(Shape.HotSpot, (TPoint{0, 0}));
  EXPECT_EQ(CursorShapeHeightBelowHotSpot(Shape), 20);
  // The I-beam inverts the screen; its hot spot is in its middle.
  ASSERT_TRUE(GetCursorShape(LoadCursor(IDC_IBEAM), Shape));
  EXPECT_EQ(Shape.HotSpot, (TPoint{15, 15}));
  EXPECT_EQ(CursorShapeHeightBelowHotSpot(Shape), 10);
  // A drawn cursor: its picture's transparent pixels draw nothing.
  TBitmap Image(24, 24);
  Image.Canvas()->Brush()->SetColor(clFuchsia);
  Image.Canvas()->FillRect(TRect{0, 0, 24, 24});
  Image.Canvas()->Brush()->SetColor(clBlack);
  Image.Canvas()->FillRect(TRect{4, 3, 12, 17});  // rows 3 to 16
  Image.SetTransparentColor(clFuchsia);
  const HCURSOR Drawn = CreateCursorFromBitmap(&Image, nullptr, 6, 5);
  ASSERT_TRUE(GetCursorShape(Drawn, Shape));
  EXPECT_EQ(Shape.Height, 24);
  EXPECT_EQ(Shape.HotSpot, (TPoint{6, 5}));
  EXPECT_EQ(CursorShapeHeightBelowHotSpot(Shape), 12);
  // Unknown handles have no shape.
  EXPECT_FALSE(GetCursorShape(0, Shape));
  EXPECT_TRUE(DestroyCursor(Drawn));
  EXPECT_FALSE(GetCursorShape(Drawn, Shape));
}

TEST(CursorShapes, TheCurrentCursorsHeight) {
  EnsureGuiRuntime();
  const HCURSOR Old = SetCursor(LoadCursor(IDC_IBEAM));
  EXPECT_EQ(CurrentCursorHeightBelowHotSpot(), 10);
  SetCursor(LoadCursor(IDC_ARROW));
  EXPECT_EQ(CurrentCursorHeightBelowHotSpot(), 20);
  SetCursor(0);
  EXPECT_EQ(CurrentCursorHeightBelowHotSpot(), GetSystemMetrics(SM_CYCURSOR)) << "no cursor: the system's height";
  SetCursor(Old);
}
