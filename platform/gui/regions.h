#pragma once
// Regions: sets of pixels built from rectangles, ellipses and polygons, held
// by handle. A handle is created by one of the Create* functions and freed
// with DeleteObject; every other function leaves ownership where it was.
// Coordinates are integer pixels; a rectangle excludes its right and bottom
// edges. Functions given a null handle do nothing and answer RGN_ERROR (or
// false).
#include <vector>

#include "platform/rtl/geometry.h"

class TRegionObject;
using HRGN = TRegionObject*;

// Region kinds answered by CombineRgn, OffsetRgn, GetRgnBox and friends.
enum : Integer { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };

// Combination modes of CombineRgn.
enum : Integer { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };

// Polygon fill modes.
enum : Integer { ALTERNATE = 1, WINDING = 2 };

HRGN CreateRectRgn(Integer Left, Integer Top, Integer Right, Integer Bottom);
HRGN CreateRectRgnIndirect(const TRect& R);
// The ellipse inscribed in the rectangle.
HRGN CreateEllipticRgn(Integer Left, Integer Top, Integer Right, Integer Bottom);
HRGN CreateEllipticRgnIndirect(const TRect& R);
HRGN CreatePolygonRgn(const TPoint* Points, Integer Count, Integer FillMode);
HRGN CreatePolygonRgn(const std::vector<TPoint>& Points, Integer FillMode);
// A region made of the union of the rectangles.
HRGN CreateRegionFromRects(const std::vector<TRect>& Rects);
// Frees the region; false for a null handle.
bool DeleteObject(HRGN Rgn);

// Dest := Src1 <op> Src2 (RGN_COPY: Dest := Src1). Dest may be Src1 or Src2.
// Answers the kind of the resulting region.
Integer CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, Integer Mode);
Integer OffsetRgn(HRGN Rgn, Integer DX, Integer DY);
// Makes the region the rectangle.
bool SetRectRgn(HRGN Rgn, Integer Left, Integer Top, Integer Right, Integer Bottom);
// Two regions are equal when they hold the same pixels.
bool EqualRgn(HRGN A, HRGN B);
bool PtInRegion(HRGN Rgn, Integer X, Integer Y);
// True when any pixel of the rectangle lies in the region.
bool RectInRegion(HRGN Rgn, const TRect& R);
// The bounding box (all zero for an empty region); answers the kind.
Integer GetRgnBox(HRGN Rgn, TRect& Box);
// The region as disjoint rectangles, top to bottom, left to right.
std::vector<TRect> GetRegionRects(HRGN Rgn);
// The kind of a region: NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
Integer RegionKind(HRGN Rgn);
