#include "platform/gui/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <memory>

#include "platform/gui/bitmap.h"
#include "platform/gui/picture.h"

namespace {

QClipboard* System() {
  EnsureGuiRuntime();
  return QGuiApplication::clipboard();
}

QImage ToQImage(TBitmap& Bitmap) {
  std::vector<Cardinal> px = Bitmap.Pixels32();
  QImage img(Bitmap.Width(), Bitmap.Height(), QImage::Format_RGB32);
  for (Integer y = 0; y < img.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (Integer x = 0; x < img.width(); ++x) line[x] = 0xFF000000u | px[static_cast<size_t>(y * img.width() + x)];
  }
  return img;
}

void FromQImage(const QImage& Source, TBitmap& Bitmap) {
  QImage img = Source.convertToFormat(QImage::Format_RGB32);
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(img.width(), img.height());
  Integer stride = 0;
  Cardinal* px = Bitmap.BeginDraw(stride);
  for (Integer y = 0; px && y < img.height(); ++y) {
    auto* out = reinterpret_cast<Cardinal*>(reinterpret_cast<Byte*>(px) + static_cast<size_t>(y) * stride);
    auto* in = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (Integer x = 0; x < img.width(); ++x) out[x] = 0xFF000000u | in[x];
  }
  Bitmap.EndDraw();
}

}  // namespace

String TClipboard::AsText() const {
  QString t = System()->text();
  return String(reinterpret_cast<const Char*>(t.utf16()), static_cast<size_t>(t.size()));
}

void TClipboard::SetAsText(const String& Value) {
  System()->setText(QString::fromUtf16(Value.data(), static_cast<qsizetype>(Value.size())));
}

bool TClipboard::HasFormat(Word Format) const {
  const QMimeData* data = System()->mimeData();
  if (!data) return false;
  switch (Format) {
    case CF_TEXT: case CF_UNICODETEXT: return data->hasText();
    case CF_BITMAP: case CF_PICTURE: return data->hasImage();
    default: return false;
  }
}

void TClipboard::Clear() { System()->clear(); }

void TClipboard::Assign(TPersistent* Source) {
  TGraphic* g = nullptr;
  if (auto* p = dynamic_cast<TPicture*>(Source)) g = p->Graphic();
  else g = dynamic_cast<TGraphic*>(Source);
  if (!g) {
    TPersistent::Assign(Source);
    return;
  }
  TBitmap bmp;
  bmp.Assign(g);
  System()->setImage(ToQImage(bmp));
}

void TClipboard::AssignTo(TPersistent* Dest) {
  auto* picture = dynamic_cast<TPicture*>(Dest);
  auto* bitmap = dynamic_cast<TBitmap*>(Dest);
  if (!picture && !bitmap) {
    TPersistent::AssignTo(Dest);
    return;
  }
  QImage img = System()->image();
  if (img.isNull()) throw EInvalidGraphic(u"The clipboard holds no picture");
  TBitmap taken;
  FromQImage(img, taken);
  if (bitmap) bitmap->Assign(&taken);
  else picture->SetGraphic(&taken);
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
