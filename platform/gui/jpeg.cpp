#include "platform/gui/jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/rtl/streams.h"

namespace {

// libjpeg reports errors through a callback that must not return: it jumps
// back to the decoding or encoding function, which then raises. Nothing
// with a destructor lives in the frames the jump skips.
struct TJpegError {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr Info) {
  auto* e = reinterpret_cast<TJpegError*>(Info->err);
  Info->err->format_message(Info, e->Message);
  std::longjmp(e->Jump, 1);
}

// Warnings (level -1) mean corrupt or missing data: fail rather than show
// an image the decoder made up. Trace messages are ignored.
void EmitMessage(j_common_ptr Info, int Level) {
  if (Level < 0) ErrorExit(Info);
}

void InitError(TJpegError& E, j_common_ptr Info) {
  Info->err = jpeg_std_error(&E.Pub);
  E.Pub.error_exit = ErrorExit;
  E.Pub.emit_message = EmitMessage;
  E.Message[0] = 0;
}

String ErrorText(const char* Detail) {
  return u"JPEG image is not valid: " + UTF8ToString(Detail && *Detail ? Detail : "unknown error");
}

// Fills Rgb with the pixels (3 bytes each, rows top first); false with Why on failure.
bool DecodeRgb(const RawByteString& Data, std::vector<unsigned char>& Rgb, Integer& W, Integer& H,
               char (&Why)[JMSG_LENGTH_MAX]) {
  jpeg_decompress_struct info;
  TJpegError err;
  InitError(err, reinterpret_cast<j_common_ptr>(&info));
  if (setjmp(err.Jump)) {
    std::copy(std::begin(err.Message), std::end(err.Message), Why);
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(Data.data()), static_cast<unsigned long>(Data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  W = static_cast<Integer>(info.output_width);
  H = static_cast<Integer>(info.output_height);
  Rgb.resize(static_cast<size_t>(W) * static_cast<size_t>(H) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = Rgb.data() + static_cast<size_t>(info.output_scanline) * static_cast<size_t>(W) * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool EncodeRgb(const std::vector<unsigned char>& Rgb, Integer W, Integer H, Integer Quality,
               unsigned char*& Out, unsigned long& OutSize, char (&Why)[JMSG_LENGTH_MAX]) {
  jpeg_compress_struct info;
  TJpegError err;
  InitError(err, reinterpret_cast<j_common_ptr>(&info));
  if (setjmp(err.Jump)) {
    std::copy(std::begin(err.Message), std::end(err.Message), Why);
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &Out, &OutSize);
  info.image_width = static_cast<JDIMENSION>(W);
  info.image_height = static_cast<JDIMENSION>(H);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, Quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    auto* row = const_cast<JSAMPROW>(Rgb.data() + static_cast<size_t>(info.next_scanline) * static_cast<size_t>(W) * 3);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

RawByteString ReadRest(TStream* Stream) {
  Int64 count = std::max<Int64>(0, Stream->Size() - Stream->Position());
  RawByteString data(static_cast<size_t>(count), '\0');
  if (count > 0) Stream->ReadBuffer(data.data(), static_cast<Integer>(count));
  return data;
}

}  // namespace

void DecodeJPEG(const RawByteString& Data, TBitmap& Bitmap) {
  std::vector<unsigned char> rgb;
  Integer w = 0, h = 0;
  char why[JMSG_LENGTH_MAX] = {};
  if (Data.empty()) throw EInvalidGraphic(ErrorText("no data"));
  if (!DecodeRgb(Data, rgb, w, h, why)) throw EInvalidGraphic(ErrorText(why));
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(w, h);
  Integer stride = 0;
  Cardinal* px = Bitmap.BeginDraw(stride);
  for (Integer y = 0; y < h && px; ++y) {
    auto* line = reinterpret_cast<Cardinal*>(reinterpret_cast<Byte*>(px) + static_cast<size_t>(y) * stride);
    const unsigned char* src = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(w) * 3;
    for (Integer x = 0; x < w; ++x, src += 3) line[x] = 0xFF000000u | (Cardinal(src[0]) << 16) | (Cardinal(src[1]) << 8) | src[2];
  }
  Bitmap.EndDraw();
}

RawByteString EncodeJPEG(const TBitmap& Bitmap, Integer Quality) {
  Integer w = Bitmap.Width(), h = Bitmap.Height();
  if (w <= 0 || h <= 0) return {};
  std::vector<Cardinal> px = Bitmap.Pixels32();
  std::vector<unsigned char> rgb(px.size() * 3);
  for (size_t i = 0; i < px.size(); ++i) {
    rgb[i * 3] = static_cast<unsigned char>(px[i] >> 16);
    rgb[i * 3 + 1] = static_cast<unsigned char>(px[i] >> 8);
    rgb[i * 3 + 2] = static_cast<unsigned char>(px[i]);
  }
  unsigned char* out = nullptr;
  unsigned long size = 0;
  char why[JMSG_LENGTH_MAX] = {};
  bool ok = EncodeRgb(rgb, w, h, std::clamp(Quality, JPEGMinQuality, JPEGMaxQuality), out, size, why);
  RawByteString result = ok && out ? RawByteString(reinterpret_cast<const char*>(out), size) : RawByteString();
  std::free(out);
  if (!ok) throw EInvalidGraphic(u"The JPEG image cannot be written: " + UTF8ToString(why));
  return result;
}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

bool TJPEGImage::Empty() const { return FData.empty() && (!FBitmap || FBitmap->Empty()); }
Integer TJPEGImage::Width() const { return FWidth; }
Integer TJPEGImage::Height() const { return FHeight; }

void TJPEGImage::SetCompressionQuality(Integer Value) { FQuality = std::clamp(Value, JPEGMinQuality, JPEGMaxQuality); }

void TJPEGImage::Compress() {
  if (FData.empty() && FBitmap && !FBitmap->Empty()) FData = EncodeJPEG(*FBitmap, FQuality);
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.empty()) return;
  auto bmp = std::make_unique<TBitmap>();
  DecodeJPEG(FData, *bmp);
  FBitmap = std::move(bmp);
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
    if (j == this) return;
    FData = j->FData;
    FBitmap.reset();
    if (FData.empty() && j->FBitmap) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(j->FBitmap.get());
    }
    FWidth = j->FWidth;
    FHeight = j->FHeight;
    FQuality = j->FQuality;
    Changed();
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->Assign(g);
    RawByteString data = EncodeJPEG(*bmp, FQuality);
    FData = std::move(data);
    FWidth = bmp->Width();
    FHeight = bmp->Height();
    FBitmap = std::move(bmp);
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    DIBNeeded();
    if (FBitmap) b->Assign(FBitmap.get());
    else b->SetSize(0, 0);
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  RawByteString data = ReadRest(Stream);
  auto bmp = std::make_unique<TBitmap>();
  DecodeJPEG(data, *bmp);  // raises before anything changes
  FData = std::move(data);
  FWidth = bmp->Width();
  FHeight = bmp->Height();
  FBitmap = std::move(bmp);
  Changed();
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  Compress();
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Integer>(FData.size()));
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty()) return;
  DIBNeeded();
  if (FBitmap) ACanvas->StretchDraw(Rect, FBitmap.get());
}
