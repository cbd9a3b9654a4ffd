#pragma once
// TBitmap: an image in memory with its own canvas. Its pixel format decides
// the layout of scan lines (1 bit: 8 pixels per byte, most significant bit
// first, 0 black and 1 white; 8 bits: an index into a fixed 3-3-2 colour
// palette; 24 bits: blue, green, red; 32 bits: blue, green, red, unused).
// Rows are stored top to bottom. Drawing works the same in every format.
#include <memory>

#include "platform/gui/graphics.h"

enum TPixelFormat : Integer { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode : Integer { tmAuto, tmFixed };

class TBitmapImage;

class TBitmap : public TGraphic {
  KORVANE_CLASS(TBitmap, TGraphic)
  TBitmap();
  TBitmap(Integer AWidth, Integer AHeight, TPixelFormat AFormat = pf24bit);
  ~TBitmap() override;

  bool Empty() const override;
  Integer Width() const override;
  Integer Height() const override;
  // Resizing keeps the pixels that stay inside and fills new ones white.
  void SetWidth(Integer Value) override;
  void SetHeight(Integer Value) override;
  void SetSize(Integer AWidth, Integer AHeight);

  // pfDevice reads as pf32bit; pf4bit, pf15bit and pf16bit are kept as
  // pf8bit, pf24bit and pf24bit. Changing it converts the pixels.
  TPixelFormat PixelFormat() const;
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return PixelFormat() == pf1bit; }
  void SetMonochrome(bool Value);
  // Bytes in one row, padded to a multiple of 4.
  Integer BytesPerScanLine() const;
  // The bytes of row Row in the pixel format; valid until the next drawing
  // or format change. Raises EInvalidGraphic for a row outside the image.
  Byte* ScanLine(Integer Row);

  // The bitmap's canvas, created on first use and owned by the bitmap.
  TCanvas* Canvas();

  // tmAuto: the colour of the bottom-left pixel; tmFixed: the colour set.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value);  // also sets tmFixed
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  // Turns the bitmap into a monochrome mask: pixels of TransparentColor
  // become white (1), every other pixel black (0).
  void Mask(TColor TransparentColor);
  // A new monochrome mask of this bitmap by the same rule; owned by the caller.
  std::unique_ptr<TBitmap> CreateMask(TColor TransparentColor) const;

  // From a bitmap: a copy of its pixels and settings. From another picture:
  // its size, and the picture drawn onto white.
  void Assign(TPersistent* Source) override;
  // Loads BMP or PNG (by content); raises EInvalidGraphic for anything else.
  void LoadFromFile(const String& FileName) override;
  // PNG when the name ends in ".png", else BMP.
  void SaveToFile(const String& FileName) override;
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;  // BMP
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

  // Pixel colour as 0x00BBGGRR (-1 outside the image), without a canvas.
  TColor PixelColor(Integer X, Integer Y) const;
  // The image as 32-bit pixels 0x00RRGGBB, row by row (for comparisons).
  std::vector<Cardinal> Pixels32() const;

  // The working pixels for drawing code (canvas, image list): 32-bit
  // 0xFFRRGGBB values, Stride bytes per row, top row first. BeginDraw
  // answers them writable (nullptr for an empty bitmap); EndDraw tells the
  // bitmap they changed. PixelData answers them for reading; the pointer is
  // valid until the next change of size, format or scan-line access.
  Cardinal* BeginDraw(Integer& Stride);
  void EndDraw();
  const Cardinal* PixelData(Integer& Stride) const;

private:
  std::unique_ptr<TBitmapImage> FImage;
  std::unique_ptr<TCanvas> FCanvas;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
};
