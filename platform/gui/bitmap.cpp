#include "platform/gui/bitmap.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cstdint>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

QList<QRgb> Palette332() {
  QList<QRgb> table;
  for (int i = 0; i < 256; ++i) {
    int r = (i >> 5) & 7, g = (i >> 2) & 7, b = i & 3;
    table << qRgb(r * 255 / 7, g * 255 / 7, b * 255 / 3);
  }
  return table;
}

const QList<QRgb>& MonoPalette() {
  static const QList<QRgb> table{qRgb(0, 0, 0), qRgb(255, 255, 255)};
  return table;
}

TPixelFormat NormalFormat(TPixelFormat f) {
  switch (f) {
    case pf1bit: return pf1bit;
    case pf4bit:
    case pf8bit: return pf8bit;
    case pfDevice:
    case pf32bit:
    case pfCustom: return pf32bit;
    default: return pf24bit;
  }
}

QImage NewWhite(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(0xFFFFFFFFu);
  return img;
}

}  // namespace

// The pixels of a bitmap. Drawing always works on `Work` (32 bits per
// pixel); scan-line access in another format converts once into `Storage`
// and back before the next drawing. Monochrome and 8-bit images are brought
// back to their palette before their pixels are read.
class TBitmapImage {
public:
  QImage Work{NewWhite(0, 0)};
  TPixelFormat Format = pf24bit;
  QImage Storage;
  bool StorageActive = false;
  bool Dirty = false;

  QImage ToStorage() const {
    switch (Format) {
      case pf1bit: return Work.convertToFormat(QImage::Format_Mono, MonoPalette(), Qt::ThresholdDither);
      case pf8bit: {
        static const QList<QRgb> palette = Palette332();
        return Work.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
      }
      case pf24bit: return Work.convertToFormat(QImage::Format_BGR888);
      default: return Work;
    }
  }
  void LeaveStorage() {
    if (!StorageActive) return;
    Work = Storage.convertToFormat(QImage::Format_RGB32);
    Storage = QImage();
    StorageActive = false;
  }
  // The working image with the format's palette applied.
  void Settle() {
    LeaveStorage();
    if (Dirty && (Format == pf1bit || Format == pf8bit)) Work = ToStorage().convertToFormat(QImage::Format_RGB32);
    Dirty = false;
  }
  void Resize(int w, int h) {
    Settle();
    w = std::max(w, 0), h = std::max(h, 0);
    if (w == Work.width() && h == Work.height()) return;
    QImage next = NewWhite(w, h);
    if (next.isNull() && w > 0 && h > 0) throw EOutOfResources(u"Out of system resources");
    if (!Work.isNull() && w > 0 && h > 0) {
      QPainter p(&next);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(0, 0, Work);
    }
    Work = next;
  }
  void Adopt(const QImage& img) {
    StorageActive = false;
    Storage = QImage();
    Dirty = false;
    if (img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB)
      Format = pf1bit;
    else if (img.format() == QImage::Format_Indexed8)
      Format = pf8bit;
    else if (img.depth() == 32)
      Format = pf32bit;
    else
      Format = pf24bit;
    if (img.hasAlphaChannel()) {
      Work = NewWhite(img.width(), img.height());
      QPainter p(&Work);
      p.drawImage(0, 0, img);
    } else {
      Work = img.convertToFormat(QImage::Format_RGB32);
    }
    Dirty = true;
    Settle();
  }
};

TBitmap::TBitmap() : FImage(std::make_unique<TBitmapImage>()) {}

TBitmap::TBitmap(Integer AWidth, Integer AHeight, TPixelFormat AFormat) : TBitmap() {
  FImage->Format = NormalFormat(AFormat);
  FImage->Resize(AWidth, AHeight);
}

TBitmap::~TBitmap() = default;

bool TBitmap::Empty() const { return Width() == 0 || Height() == 0; }

Integer TBitmap::Width() const {
  return FImage->StorageActive ? FImage->Storage.width() : FImage->Work.width();
}

Integer TBitmap::Height() const {
  return FImage->StorageActive ? FImage->Storage.height() : FImage->Work.height();
}

void TBitmap::SetWidth(Integer Value) { SetSize(Value, Height()); }
void TBitmap::SetHeight(Integer Value) { SetSize(Width(), Value); }

void TBitmap::SetSize(Integer AWidth, Integer AHeight) {
  if (AWidth == Width() && AHeight == Height()) return;
  FImage->Resize(AWidth, AHeight);
  Changed();
}

TPixelFormat TBitmap::PixelFormat() const { return FImage->Format; }

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  TPixelFormat f = NormalFormat(Value);
  if (f == FImage->Format) return;
  FImage->Settle();
  FImage->Format = f;
  FImage->Dirty = true;
  FImage->Settle();
  Changed();
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value != Monochrome()) SetPixelFormat(Value ? pf1bit : pf24bit);
}

Integer TBitmap::BytesPerScanLine() const {
  int bits = 32;
  switch (FImage->Format) {
    case pf1bit: bits = 1; break;
    case pf8bit: bits = 8; break;
    case pf24bit: bits = 24; break;
    default: break;
  }
  return ((Width() * bits + 31) / 32) * 4;
}

Byte* TBitmap::ScanLine(Integer Row) {
  if (Row < 0 || Row >= Height()) throw EInvalidGraphic(u"Scan line index out of range");
  TBitmapImage& img = *FImage;
  if (img.Format == pf32bit) {
    img.Settle();
    return img.Work.scanLine(Row);
  }
  if (!img.StorageActive) {
    img.Settle();
    img.Storage = img.ToStorage();
    img.StorageActive = true;
  }
  return img.Storage.scanLine(Row);
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(this);
  return FCanvas.get();
}

TColor TBitmap::TransparentColor() const {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  return PixelColor(0, Height() - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmFixed && FTransparentColor == clDefault) FTransparentColor = TransparentColor();
  FTransparentMode = Value;
  Changed();
}

std::unique_ptr<TBitmap> TBitmap::CreateMask(TColor TransparentColor) const {
  auto mask = std::make_unique<TBitmap>(Width(), Height(), pf1bit);
  if (Empty()) return mask;
  Cardinal key = 0xFF000000u | static_cast<Cardinal>(ColorToRGB(TransparentColor) & 0xFFFFFF);
  key = 0xFF000000u | ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
  Integer srcStride = 0, dstStride = 0;
  const Cardinal* src = PixelData(srcStride);
  Cardinal* dst = mask->BeginDraw(dstStride);
  for (Integer y = 0; y < Height(); ++y) {
    auto* s = reinterpret_cast<const Cardinal*>(reinterpret_cast<const Byte*>(src) + y * srcStride);
    auto* d = reinterpret_cast<Cardinal*>(reinterpret_cast<Byte*>(dst) + y * dstStride);
    for (Integer x = 0; x < Width(); ++x) d[x] = (s[x] | 0xFF000000u) == key ? 0xFFFFFFFFu : 0xFF000000u;
  }
  mask->EndDraw();
  return mask;
}

void TBitmap::Mask(TColor TransparentColor) {
  std::unique_ptr<TBitmap> mask = CreateMask(TransparentColor);
  FImage->Settle();
  FImage->Work = mask->FImage->Work;
  FImage->Format = pf1bit;
  Changed();
}

void TBitmap::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TBitmap*>(Source)) {
    if (src == this) return;
    src->FImage->Settle();
    FImage->StorageActive = false;
    FImage->Storage = QImage();
    FImage->Work = src->FImage->Work.copy();
    FImage->Format = src->FImage->Format;
    FImage->Dirty = false;
    FTransparentColor = src->FTransparentColor;
    FTransparentMode = src->FTransparentMode;
    SetTransparent(src->Transparent());
    Changed();
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {  // any other picture: drawn onto white
    FImage->Resize(0, 0);
    FImage->Resize(graphic->Width(), graphic->Height());
    if (!graphic->Empty()) graphic->Draw(Canvas(), {0, 0, graphic->Width(), graphic->Height()});
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

namespace {

Cardinal ReadLE(const QByteArray& data, qsizetype at, int bytes) {
  Cardinal v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[at + i]);
  return v;
}

// The toolkit's reader shows a cut-short uncompressed BMP with its missing
// rows made up; such a file is damaged and must not load. The header's
// fields are the file's word, not ours: an impossible size (no width, a
// height of INT32_MIN, a pixel depth the format does not have) refuses the
// file, and the size is checked without a product that could overflow.
bool BmpIsComplete(const QByteArray& data) {
  constexpr qsizetype InfoEnd = 34;  // file header (14) + the fields read below
  if (data.size() < InfoEnd) return false;
  constexpr Cardinal BiRgb = 0, BiBitfields = 3;
  Cardinal offBits = ReadLE(data, 10, 4), headerSize = ReadLE(data, 14, 4);
  if (headerSize < 40) return true;  // old headers: left to the reader
  auto width = static_cast<std::int32_t>(ReadLE(data, 18, 4));
  auto height = static_cast<std::int32_t>(ReadLE(data, 22, 4));  // below 0: rows top down
  Cardinal bits = ReadLE(data, 28, 2), compression = ReadLE(data, 30, 4);
  if (compression != BiRgb && compression != BiBitfields) return true;
  bool depthKnown = compression == BiRgb ? (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)
                                         : (bits == 16 || bits == 32);
  if (!depthKnown || width <= 0 || height == 0 || height == INT32_MIN) return false;
  // Both factors fit in 64 bits unsigned (a row is below 2^35 bytes, the rows
  // below 2^31); their product may not, so the rows are divided into the
  // bytes the file has instead.
  std::uint64_t rowBytes = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  std::uint64_t rows = height < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(height)) : static_cast<std::uint64_t>(height);
  auto size = static_cast<std::uint64_t>(data.size());
  if (offBits > size) return false;
  return rowBytes <= (size - offBits) / rows;
}

QImage DecodeImage(const QByteArray& data) {
  QBuffer buffer;
  buffer.setData(data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  QByteArray format = reader.format();
  QImage img;
  if ((format == "bmp" && BmpIsComplete(data)) || format == "png") img = reader.read();
  if (img.isNull()) throw EInvalidGraphic(u"Bitmap image is not valid");
  return img;
}

QByteArray EncodeImage(const QImage& img, const char* format) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (!img.save(&buffer, format)) throw EInvalidGraphic(u"The image cannot be written");
  return data;
}

bool EndsWithPng(const String& name) {
  if (name.size() < 4) return false;
  String tail = name.substr(name.size() - 4);
  for (Char& c : tail)
    if (c >= u'A' && c <= u'Z') c = static_cast<Char>(c - u'A' + u'a');
  return tail == u".png";
}

}  // namespace

void TBitmap::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead);
  LoadFromStream(&stream);
}

void TBitmap::SaveToFile(const String& FileName) {
  FImage->Settle();
  QByteArray data = EncodeImage(FImage->ToStorage(), EndsWithPng(FileName) ? "PNG" : "BMP");
  TFileStream stream(FileName, fmCreate);
  stream.WriteBuffer(data.constData(), static_cast<Integer>(data.size()));
}

void TBitmap::LoadFromStream(TStream* Stream) {
  Int64 count = Stream->Size() - Stream->Position();
  QByteArray data(static_cast<qsizetype>(std::max<Int64>(count, 0)), '\0');
  if (count > 0) Stream->ReadBuffer(data.data(), static_cast<Integer>(count));
  QImage img = DecodeImage(data);
  FImage->Adopt(img);
  Changed();
}

void TBitmap::SaveToStream(TStream* Stream) {
  FImage->Settle();
  QByteArray data = EncodeImage(FImage->ToStorage(), "BMP");
  Stream->WriteBuffer(data.constData(), static_cast<Integer>(data.size()));
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!ACanvas || Empty()) return;
  if (Transparent()) {
    std::unique_ptr<TBitmap> mask = CreateMask(TransparentColor());
    // Leave out the transparent pixels: AND with the mask, then OR with the
    // image whose transparent pixels were made black.
    TBitmap image;
    image.Assign(this);
    image.SetTransparent(false);
    image.Canvas()->SetCopyMode(cmSrcCopy);
    {
      TBitmap inverted(Width(), Height(), pf32bit);
      BitBlt(inverted.Canvas(), 0, 0, Width(), Height(), mask->Canvas(), 0, 0, NOTSRCCOPY);
      BitBlt(image.Canvas(), 0, 0, Width(), Height(), inverted.Canvas(), 0, 0, SRCAND);
    }
    HDC dc = ACanvas->Handle();
    TColor oldText = SetTextColor(dc, clBlack), oldBk = SetBkColor(dc, clWhite);
    StretchBlt(dc, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), mask->Canvas(), 0, 0, Width(), Height(), SRCAND);
    StretchBlt(dc, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), image.Canvas(), 0, 0, Width(), Height(),
               SRCPAINT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    return;
  }
  StretchBlt(ACanvas->Handle(), Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Canvas(), 0, 0, Width(),
             Height(), ACanvas->CopyMode());
}

TColor TBitmap::PixelColor(Integer X, Integer Y) const {
  if (X < 0 || Y < 0 || X >= Width() || Y >= Height()) return -1;
  FImage->Settle();
  QRgb c = FImage->Work.pixel(X, Y);
  return RGB(static_cast<Byte>(qRed(c)), static_cast<Byte>(qGreen(c)), static_cast<Byte>(qBlue(c)));
}

std::vector<Cardinal> TBitmap::Pixels32() const {
  FImage->Settle();
  std::vector<Cardinal> result;
  result.reserve(static_cast<size_t>(Width()) * static_cast<size_t>(Height()));
  for (int y = 0; y < FImage->Work.height(); ++y) {
    auto* row = reinterpret_cast<const Cardinal*>(FImage->Work.constScanLine(y));
    for (int x = 0; x < FImage->Work.width(); ++x) result.push_back(row[x] & 0xFFFFFFu);
  }
  return result;
}

Cardinal* TBitmap::BeginDraw(Integer& Stride) {
  FImage->Settle();
  Stride = static_cast<Integer>(FImage->Work.bytesPerLine());
  if (FImage->Work.isNull()) return nullptr;
  return reinterpret_cast<Cardinal*>(FImage->Work.bits());
}

void TBitmap::EndDraw() {
  FImage->Dirty = true;
  Changed();
}

const Cardinal* TBitmap::PixelData(Integer& Stride) const {
  FImage->Settle();
  Stride = static_cast<Integer>(FImage->Work.bytesPerLine());
  if (FImage->Work.isNull()) return nullptr;
  return reinterpret_cast<const Cardinal*>(FImage->Work.constBits());
}
