#pragma once
// Points, sizes and rectangles in integer pixel coordinates. A rectangle
// holds its left and top edges and excludes its right and bottom edges.
#include <algorithm>

#include "platform/rtl/types.h"

struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;

  Integer Width() const { return Right - Left; }
  Integer Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(Integer x, Integer y) { return {x, y}; }
inline TRect Rect(Integer left, Integer top, Integer right, Integer bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(Integer left, Integer top, Integer width, Integer height) {
  return {left, top, left + width, top + height};
}

inline bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
inline bool PtInRect(const TRect& r, const TPoint& p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// Answers whether the intersection is non-empty; `dest` is emptied when it is.
inline bool IntersectRect(TRect& dest, const TRect& a, const TRect& b) {
  dest = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (IsRectEmpty(dest)) {
    dest = {};
    return false;
  }
  return true;
}

// Answers whether the union is non-empty; an empty rectangle adds nothing.
inline bool UnionRect(TRect& dest, const TRect& a, const TRect& b) {
  if (IsRectEmpty(a)) {
    dest = IsRectEmpty(b) ? TRect{} : b;
  } else if (IsRectEmpty(b)) {
    dest = a;
  } else {
    dest = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
  }
  return !IsRectEmpty(dest);
}

inline void OffsetRect(TRect& r, Integer dx, Integer dy) {
  r.Left += dx, r.Right += dx, r.Top += dy, r.Bottom += dy;
}
inline void InflateRect(TRect& r, Integer dx, Integer dy) {
  r.Left -= dx, r.Right += dx, r.Top -= dy, r.Bottom += dy;
}
