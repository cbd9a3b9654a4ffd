#pragma once
// TJPEGImage: a JPEG picture. It keeps the compressed bytes (what is saved)
// and decodes them into a bitmap when it is drawn or measured; assigning a
// bitmap compresses it at CompressionQuality. libjpeg does both directions.
//
// Damaged data (a stream that is not JPEG, or one cut short) raises
// EInvalidGraphic and leaves the picture as it was: the decoder's warnings
// about corrupt data count as errors, because the image it would produce
// is partly made up.
#include <memory>

#include "platform/gui/bitmap.h"

// The quality range libjpeg accepts (higher: larger files, fewer artefacts).
inline constexpr Integer JPEGMinQuality = 1;
inline constexpr Integer JPEGMaxQuality = 100;
inline constexpr Integer JPEGDefaultQuality = 90;

class TJPEGImage : public TGraphic {
  KORVANE_CLASS(TJPEGImage, TGraphic)
  TJPEGImage();
  ~TJPEGImage() override;

  bool Empty() const override;
  Integer Width() const override;
  Integer Height() const override;
  // A JPEG's size comes from its pixels: these change nothing.
  void SetWidth(Integer) override {}
  void SetHeight(Integer) override {}

  // Clamped to JPEGMinQuality..JPEGMaxQuality; used by the next compression.
  Integer CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(Integer Value);
  // Compresses the bitmap assigned last (nothing to do when the bytes are current).
  void Compress();
  // Decodes the bytes into the bitmap when not done yet.
  void DIBNeeded();

  // From a JPEG: its bytes. From a bitmap: its pixels, compressed. From
  // another picture: drawn onto white, then compressed.
  void Assign(TPersistent* Source) override;
  // Into a bitmap: the decoded pixels.
  void AssignTo(TPersistent* Dest) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  RawByteString FData;              // the compressed picture ("" when empty)
  std::unique_ptr<TBitmap> FBitmap;  // decoded pixels, or the bitmap to compress
  Integer FWidth = 0;
  Integer FHeight = 0;
  Integer FQuality = JPEGDefaultQuality;
};

// Decodes JPEG bytes into Bitmap (24-bit); raises EInvalidGraphic for data
// that is not a whole JPEG picture, leaving Bitmap unchanged.
void DecodeJPEG(const RawByteString& Data, TBitmap& Bitmap);
// Compresses the bitmap's pixels at Quality.
RawByteString EncodeJPEG(const TBitmap& Bitmap, Integer Quality);
