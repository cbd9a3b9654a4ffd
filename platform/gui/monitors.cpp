// Monitors: screen rectangles and work areas.
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/gui/graphics.h"
#include "platform/gui/windowing.h"

namespace {
QPoint ToQ(const TPoint& P) { return QPoint(P.X, P.Y); }
}  // namespace

// ---- Monitors ------------------------------------------------------------------------------

namespace {
QScreen* ScreenNear(const TPoint& P) {
  EnsureGuiRuntime();
  QScreen* s = QGuiApplication::screenAt(ToQ(P));
  if (s) return s;
  QScreen* best = QGuiApplication::primaryScreen();
  qint64 bestDist = -1;
  for (QScreen* c : QGuiApplication::screens()) {
    QRect g = c->geometry();
    qint64 dx = std::max({0, g.left() - P.X, P.X - g.right()});
    qint64 dy = std::max({0, g.top() - P.Y, P.Y - g.bottom()});
    qint64 d = dx * dx + dy * dy;
    if (bestDist < 0 || d < bestDist) bestDist = d, best = c;
  }
  return best;
}
TRect FromQRect(const QRect& R) { return TRect{R.x(), R.y(), R.x() + R.width(), R.y() + R.height()}; }
}  // namespace

TRect MonitorRectAt(const TPoint& Point) {
  QScreen* s = ScreenNear(Point);
  return s ? FromQRect(s->geometry()) : TRect{0, 0, 1024, 768};
}

TRect MonitorWorkAreaAt(const TPoint& Point) {
  QScreen* s = ScreenNear(Point);
  return s ? FromQRect(s->availableGeometry()) : TRect{0, 0, 1024, 768};
}

TRect DesktopWorkArea() {
  EnsureGuiRuntime();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? FromQRect(s->availableGeometry()) : TRect{0, 0, 1024, 768};
}
