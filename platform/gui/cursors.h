#pragma once
// The drawn shape of a cursor, for code that places things next to the
// mouse pointer (a hint below it, say) without covering it.
//
// A cursor's shape is given the way a monochrome cursor keeps it: two
// planes of Width x Height bits, one after the other in Mask, each row
// padded to a 16-bit word (RowBytes). In the AND plane (first) a set bit
// is transparent, a clear bit is drawn; the XOR plane (second) then draws
// white (or inverts where the AND bit is set). A cursor drawn only by
// inverting the screen (an I-beam, say) thus has an AND plane that is
// transparent throughout and its shape in the XOR plane.
//
// The standard cursors come from our own table of shapes (a 32 x 32 cell
// each, their hot spots and the rows they draw); cursors drawn by the
// program from their pictures' transparent pixels.
#include <vector>

#include "platform/gui/windowing.h"
#include "platform/rtl/geometry.h"
#include "platform/rtl/types.h"

struct TCursorShape {
  Integer Width = 0;
  Integer Height = 0;
  TPoint HotSpot;
  // The AND plane, then the XOR plane: 2 x Height rows of RowBytes().
  std::vector<Byte> Mask;

  Integer RowBytes() const { return (Width + 15) / 16 * 2; }
  // Mask holds both planes.
  bool HasXorPlane() const { return static_cast<Integer>(Mask.size()) >= 2 * Height * RowBytes(); }
};

// The shape of Cursor; false for a handle that names no cursor.
bool GetCursorShape(HCURSOR Cursor, TCursorShape& Shape);

// The rows a shape draws below its hot spot, the hot spot's row included
// (0 for a shape that draws nothing there). The AND plane is scanned from
// its bottom row up for the last drawn byte; when it draws nothing at all,
// the XOR plane is scanned the same way for the last byte that sets a bit.
Integer CursorShapeHeightBelowHotSpot(const TCursorShape& Shape);

// The rows the current mouse cursor draws below its hot spot; the system's
// cursor height when there is no current cursor or its shape is unknown.
Integer CurrentCursorHeightBelowHotSpot();
