#include "platform/gui/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <algorithm>

#include "platform/rtl/streams.h"
#include "platform/rtl/sysutils.h"

namespace {

struct TFileFormat {
  const char16_t* Extension;
  const char16_t* Description;
  TGraphicClass (*Kind)();
};

// The kinds a picture file may have, in the order dialogs list them.
const TFileFormat GFormats[] = {
    {u"bmp", u"Bitmaps", [] { return TBitmap::StaticClass(); }},
    {u"png", u"PNG images", [] { return TBitmap::StaticClass(); }},
    {u"ico", u"Icons", [] { return TIcon::StaticClass(); }},
    {u"emf", u"Enhanced Metafiles", [] { return TMetafile::StaticClass(); }},
    {u"wmf", u"Metafiles", [] { return TMetafile::StaticClass(); }},
    {u"jpg", u"JPEG Image File", [] { return TJPEGImage::StaticClass(); }},
    {u"jpeg", u"JPEG Image File", [] { return TJPEGImage::StaticClass(); }},
};

String Lower(String S) {
  for (Char& c : S)
    if (c >= u'A' && c <= u'Z') c = static_cast<Char>(c - u'A' + u'a');
  return S;
}

String ExtensionOf(const String& FileName) {
  size_t dot = FileName.find_last_of(u'.');
  size_t slash = FileName.find_last_of(u'/');
  if (dot == String::npos || (slash != String::npos && dot < slash)) return {};
  return FileName.substr(dot);
}

RawByteString ReadRest(TStream* Stream) {
  Int64 count = std::max<Int64>(0, Stream->Size() - Stream->Position());
  RawByteString data(static_cast<size_t>(count), '\0');
  if (count > 0) Stream->ReadBuffer(data.data(), static_cast<Integer>(count));
  return data;
}

bool StartsWith(const RawByteString& Data, std::string_view Sig, size_t At = 0) {
  return Data.size() >= At + Sig.size() && std::string_view(Data).substr(At, Sig.size()) == Sig;
}

// The bytes of an enhanced metafile's header signature (" EMF" at offset 40).
constexpr size_t EmfSignatureOffset = 40;

}  // namespace

TGraphicClass GraphicClassOfContent(const RawByteString& Head) {
  using namespace std::string_view_literals;
  if (StartsWith(Head, "BM"sv) || StartsWith(Head, "\x89PNG\r\n\x1a\n"sv)) return TBitmap::StaticClass();
  if (StartsWith(Head, "\0\0\1\0"sv)) return TIcon::StaticClass();
  if (StartsWith(Head, "\xFF\xD8\xFF"sv)) return TJPEGImage::StaticClass();
  if (StartsWith(Head, "\xD7\xCD\xC6\x9A"sv) || StartsWith(Head, "\1\0\x09\0"sv) || StartsWith(Head, "\2\0\x09\0"sv) ||
      (StartsWith(Head, "\1\0\0\0"sv) && StartsWith(Head, " EMF"sv, EmfSignatureOffset)))
    return TMetafile::StaticClass();
  return nullptr;
}

TGraphicClass GraphicClassOfExtension(const String& Extension) {
  String ext = Lower(!Extension.empty() && Extension[0] == u'.' ? Extension.substr(1) : Extension);
  for (const TFileFormat& f : GFormats)
    if (ext == f.Extension) return f.Kind();
  return nullptr;
}

String GraphicExtension(TGraphicClass Kind) {
  for (const TFileFormat& f : GFormats)
    if (Kind && f.Kind() == Kind) return f.Extension;
  return {};
}

String GraphicFilter(TGraphicClass Kind) {
  bool all = !Kind || Kind == TGraphic::StaticClass();
  String patterns, entries;
  Integer count = 0;
  for (const TFileFormat& f : GFormats) {
    if (!all && !f.Kind()->InheritsFrom(Kind)) continue;
    String mask = u"*." + String(f.Extension);
    patterns += (count++ ? u";" : u"") + mask;
    entries += u"|" + String(f.Description) + u" (" + mask + u")|" + mask;
  }
  if (count == 0) return {};
  if (count == 1) return entries.substr(1);
  return u"All (" + patterns + u")|" + patterns + entries;
}

// ---- TIcon -------------------------------------------------------------------------------

TIcon::TIcon() = default;
TIcon::~TIcon() = default;

bool TIcon::Empty() const { return !FImage || FImage->Empty(); }
Integer TIcon::Width() const { return FImage ? FImage->Width() : 0; }
Integer TIcon::Height() const { return FImage ? FImage->Height() : 0; }

void TIcon::Assign(TPersistent* Source) {
  if (auto* i = dynamic_cast<TIcon*>(Source)) {
    if (i == this) return;
    FData = i->FData;
    FAlpha = i->FAlpha;
    FImage.reset();
    if (i->FImage) {
      FImage = std::make_unique<TBitmap>();
      FImage->Assign(i->FImage.get());
    }
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

void TIcon::LoadFromStream(TStream* Stream) {
  RawByteString data = ReadRest(Stream);
  QByteArray bytes(data.data(), static_cast<qsizetype>(data.size()));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "ico");
  QImage best;
  Integer count = std::max(1, reader.imageCount());
  for (Integer i = 0; i < count; ++i) {
    if (i > 0 && !reader.jumpToImage(i)) break;
    QImage img = reader.read();
    if (!img.isNull() && img.width() * img.height() > best.width() * best.height()) best = img;
  }
  if (GraphicClassOfContent(data) != TIcon::StaticClass() || best.isNull())
    throw EInvalidGraphic(u"Icon image is not valid");
  best = best.convertToFormat(QImage::Format_ARGB32);
  auto image = std::make_unique<TBitmap>(best.width(), best.height(), pf24bit);
  std::vector<Byte> alpha(static_cast<size_t>(best.width()) * static_cast<size_t>(best.height()));
  Integer stride = 0;
  Cardinal* px = image->BeginDraw(stride);
  for (Integer y = 0; y < best.height(); ++y) {
    auto* line = reinterpret_cast<const QRgb*>(best.constScanLine(y));
    auto* out = reinterpret_cast<Cardinal*>(reinterpret_cast<Byte*>(px) + static_cast<size_t>(y) * stride);
    for (Integer x = 0; x < best.width(); ++x) {
      out[x] = 0xFF000000u | (line[x] & 0xFFFFFFu);
      alpha[static_cast<size_t>(y) * static_cast<size_t>(best.width()) + static_cast<size_t>(x)] =
          static_cast<Byte>(qAlpha(line[x]));
    }
  }
  image->EndDraw();
  FData = std::move(data);
  FImage = std::move(image);
  FAlpha = std::move(alpha);
  Changed();
}

void TIcon::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty() || !ACanvas) return;
  Integer w = Rect.Right - Rect.Left, h = Rect.Bottom - Rect.Top;
  if (w <= 0 || h <= 0) return;
  constexpr Byte HalfOpaque = 128;
  for (Integer y = 0; y < h; ++y) {
    Integer sy = y * Height() / h;
    for (Integer x = 0; x < w; ++x) {
      Integer sx = x * Width() / w;
      if (FAlpha[static_cast<size_t>(sy) * static_cast<size_t>(Width()) + static_cast<size_t>(sx)] < HalfOpaque) continue;
      ACanvas->SetPixels(Rect.Left + x, Rect.Top + y, FImage->PixelColor(sx, sy));
    }
  }
}

// ---- TMetafile ---------------------------------------------------------------------------

void TMetafile::LoadFromStream(TStream*) {
  throw EInvalidGraphic(u"Metafile pictures cannot be shown on this system; save the picture as BMP, PNG or JPEG");
}

// ---- TPicture ----------------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::Adopt(std::unique_ptr<TGraphic> Graphic) {
  FGraphic = std::move(Graphic);
  if (FGraphic) FGraphic->OnChange = MakeEvent(this, &TPicture::Changed);
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic.get()) return;
  if (!Value) {
    Adopt(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy(static_cast<TGraphic*>(Value->ClassType()->Create()));
  copy->Assign(Value);
  Adopt(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(FGraphic.get())) Adopt(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(FGraphic.get())) Adopt(std::make_unique<TIcon>());
  return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::LoadAs(TGraphicClass Kind, TStream* Stream) {
  std::unique_ptr<TGraphic> g(static_cast<TGraphic*>(Kind->Create()));
  g->LoadFromStream(Stream);  // a failure leaves FGraphic alone
  Adopt(std::move(g));
}

void TPicture::LoadFromFile(const String& FileName) {
  TMemoryStream stream;
  stream.LoadFromFile(FileName);
  RawByteString head(static_cast<size_t>(std::min<Int64>(stream.Size(), 64)), '\0');
  if (!head.empty()) std::copy_n(static_cast<const char*>(stream.Memory()), head.size(), head.data());
  TGraphicClass kind = GraphicClassOfContent(head);
  if (!kind) kind = GraphicClassOfExtension(ExtensionOf(FileName));
  if (!kind) throw EInvalidGraphic(u"Unknown picture file extension (" + ExtensionOf(FileName) + u")");
  LoadAs(kind, &stream);
}

void TPicture::SaveToFile(const String& FileName) {
  if (!FGraphic) throw EInvalidGraphic(u"There is no picture to save");
  FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromStream(TStream* Stream) {
  TMemoryStream copy;
  copy.CopyFrom(Stream, std::max<Int64>(0, Stream->Size() - Stream->Position()));
  copy.SetPosition(0);
  RawByteString head(static_cast<size_t>(std::min<Int64>(copy.Size(), 64)), '\0');
  if (!head.empty()) std::copy_n(static_cast<const char*>(copy.Memory()), head.size(), head.data());
  TGraphicClass kind = GraphicClassOfContent(head);
  if (!kind) throw EInvalidGraphic(u"The stream holds no picture of a known kind");
  LoadAs(kind, &copy);
}

void TPicture::SaveToStream(TStream* Stream) {
  if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    Adopt(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    if (p != this) SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TPersistent::Assign(Source);
  }
}
