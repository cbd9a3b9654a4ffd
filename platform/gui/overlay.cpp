#include "platform/gui/overlay.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

class TOverlayWindowImpl : public QWidget {
public:
  TOverlayWindowImpl()
      : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TranslucentBackground, true);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    setFocusPolicy(Qt::NoFocus);
  }
  QImage Picture;  // what is shown, ARGB premultiplied, as large as the window

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, Picture);
  }
};

namespace {
QRgb ToArgb(TColor C, Byte Alpha) {
  Cardinal v = static_cast<Cardinal>(ColorToRGB(C)) & 0xFFFFFF;
  return qPremultiply(qRgba(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                            static_cast<int>((v >> 16) & 0xFF), Alpha));
}
}  // namespace

TOverlayWindow::TOverlayWindow() {
  EnsureGuiRuntime();
  FImpl = std::make_unique<TOverlayWindowImpl>();
}

TOverlayWindow::~TOverlayWindow() = default;

TRect TOverlayWindow::BoundsRect() const {
  QRect g = FImpl->geometry();
  return TRect{g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

void TOverlayWindow::SetBounds(const TRect& Rect) {
  Integer w = std::max(1, Rect.Right - Rect.Left), h = std::max(1, Rect.Bottom - Rect.Top);
  bool resized = w != FImpl->width() || h != FImpl->height() || FImpl->Picture.isNull();
  FImpl->setGeometry(Rect.Left, Rect.Top, w, h);
  if (resized) {
    FImpl->Picture = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    FImpl->Picture.fill(ToArgb(FColor, FAlpha));
  }
  FImpl->update();
}

void TOverlayWindow::SetImage(TBitmap* Image) {
  if (FImpl->Picture.isNull()) SetBounds(BoundsRect());
  QImage& pic = FImpl->Picture;
  Integer w = pic.width(), h = pic.height();
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      TColor c = FColor;
      if (Image && !Image->Empty()) {
        Integer sx = x * Image->Width() / w, sy = y * Image->Height() / h;
        c = Image->PixelColor(sx, sy);
      }
      bool clear = FTransparentColor != clNone && (c & 0xFFFFFF) == (ColorToRGB(FTransparentColor) & 0xFFFFFF);
      pic.setPixel(x, y, clear ? 0u : ToArgb(c, FAlpha));
    }
  FImpl->update();
}

void TOverlayWindow::SetColor(TColor Value) {
  FColor = Value;
  SetImage(nullptr);
}

void TOverlayWindow::SetTransparentColor(TColor Value) { FTransparentColor = Value; }

void TOverlayWindow::SetAlpha(Byte Value) {
  if (FAlpha == Value) return;
  // Re-apply the new opacity to the picture.
  QImage& pic = FImpl->Picture;
  for (Integer y = 0; y < pic.height(); ++y)
    for (Integer x = 0; x < pic.width(); ++x) {
      QRgb p = qUnpremultiply(pic.pixel(x, y));
      if (qAlpha(p) == 0) continue;
      pic.setPixel(x, y, qPremultiply(qRgba(qRed(p), qGreen(p), qBlue(p), Value)));
    }
  FAlpha = Value;
  FImpl->setWindowOpacity(1.0);
  FImpl->update();
}

void TOverlayWindow::Show() { FImpl->show(); }
void TOverlayWindow::Hide() { FImpl->hide(); }
bool TOverlayWindow::Visible() const { return FImpl->isVisible(); }

Cardinal TOverlayWindow::PixelAt(Integer X, Integer Y) const {
  const QImage& pic = FImpl->Picture;
  if (pic.isNull() || X < 0 || Y < 0 || X >= pic.width() || Y >= pic.height()) return 0;
  return qUnpremultiply(pic.pixel(X, Y));
}
