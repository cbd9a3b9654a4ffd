#include "platform/gui/regions.h"

#include <QPolygon>
#include <QRegion>

class TRegionObject {
public:
  QRegion R;
};

namespace {

QRect ToQRect(Integer Left, Integer Top, Integer Right, Integer Bottom) {
  if (Right <= Left || Bottom <= Top) return {};
  return QRect(Left, Top, Right - Left, Bottom - Top);
}

HRGN Make(const QRegion& R) {
  auto* rgn = new TRegionObject;
  rgn->R = R;
  return rgn;
}

Integer KindOf(const QRegion& R) {
  if (R.isEmpty()) return NULLREGION;
  return R.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

HRGN CreateRectRgn(Integer Left, Integer Top, Integer Right, Integer Bottom) {
  return Make(QRegion(ToQRect(Left, Top, Right, Bottom)));
}

HRGN CreateRectRgnIndirect(const TRect& R) { return CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom); }

HRGN CreateEllipticRgn(Integer Left, Integer Top, Integer Right, Integer Bottom) {
  QRect box = ToQRect(Left, Top, Right, Bottom);
  return Make(box.isEmpty() ? QRegion() : QRegion(box, QRegion::Ellipse));
}

HRGN CreateEllipticRgnIndirect(const TRect& R) { return CreateEllipticRgn(R.Left, R.Top, R.Right, R.Bottom); }

HRGN CreatePolygonRgn(const TPoint* Points, Integer Count, Integer FillMode) {
  QPolygon poly;
  for (Integer i = 0; Points && i < Count; ++i) poly << QPoint(Points[i].X, Points[i].Y);
  if (poly.size() < 3) return Make(QRegion());
  return Make(QRegion(poly, FillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

HRGN CreatePolygonRgn(const std::vector<TPoint>& Points, Integer FillMode) {
  return CreatePolygonRgn(Points.data(), static_cast<Integer>(Points.size()), FillMode);
}

HRGN CreateRegionFromRects(const std::vector<TRect>& Rects) {
  QRegion r;
  for (const TRect& rect : Rects) r += ToQRect(rect.Left, rect.Top, rect.Right, rect.Bottom);
  return Make(r);
}

bool DeleteObject(HRGN Rgn) {
  if (!Rgn) return false;
  delete Rgn;
  return true;
}

Integer CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, Integer Mode) {
  if (!Dest || !Src1) return RGN_ERROR;
  if (Mode == RGN_COPY) {
    Dest->R = Src1->R;
    return KindOf(Dest->R);
  }
  if (!Src2) return RGN_ERROR;
  const QRegion& a = Src1->R;
  const QRegion& b = Src2->R;
  switch (Mode) {
    case RGN_AND: Dest->R = a.intersected(b); break;
    case RGN_OR: Dest->R = a.united(b); break;
    case RGN_XOR: Dest->R = a.xored(b); break;
    case RGN_DIFF: Dest->R = a.subtracted(b); break;
    default: return RGN_ERROR;
  }
  return KindOf(Dest->R);
}

Integer OffsetRgn(HRGN Rgn, Integer DX, Integer DY) {
  if (!Rgn) return RGN_ERROR;
  Rgn->R.translate(DX, DY);
  return KindOf(Rgn->R);
}

bool SetRectRgn(HRGN Rgn, Integer Left, Integer Top, Integer Right, Integer Bottom) {
  if (!Rgn) return false;
  Rgn->R = QRegion(ToQRect(Left, Top, Right, Bottom));
  return true;
}

bool EqualRgn(HRGN A, HRGN B) {
  if (!A || !B) return false;
  return A->R.xored(B->R).isEmpty();
}

bool PtInRegion(HRGN Rgn, Integer X, Integer Y) { return Rgn && Rgn->R.contains(QPoint(X, Y)); }

bool RectInRegion(HRGN Rgn, const TRect& R) {
  QRect rect = ToQRect(R.Left, R.Top, R.Right, R.Bottom);
  return Rgn && !rect.isEmpty() && Rgn->R.intersects(rect);
}

Integer GetRgnBox(HRGN Rgn, TRect& Box) {
  Box = {};
  if (!Rgn) return RGN_ERROR;
  if (!Rgn->R.isEmpty()) {
    QRect b = Rgn->R.boundingRect();
    Box = {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  }
  return KindOf(Rgn->R);
}

std::vector<TRect> GetRegionRects(HRGN Rgn) {
  std::vector<TRect> result;
  if (!Rgn) return result;
  for (const QRect& r : Rgn->R) result.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  return result;
}

Integer RegionKind(HRGN Rgn) { return Rgn ? KindOf(Rgn->R) : RGN_ERROR; }
