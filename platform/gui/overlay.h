#pragma once
// Overlay windows: frameless, translucent, stay-on-top windows that never
// take activation or mouse input. They show what would otherwise be drawn
// straight onto the screen: drag images, drop arrows, sizing lines.
#include <memory>

#include "platform/gui/bitmap.h"
#include "platform/rtl/colors.h"
#include "platform/rtl/geometry.h"

class TOverlayWindowImpl;

class TOverlayWindow {
public:
  TOverlayWindow();
  ~TOverlayWindow();
  TOverlayWindow(const TOverlayWindow&) = delete;
  TOverlayWindow& operator=(const TOverlayWindow&) = delete;

  // Screen rectangle.
  TRect BoundsRect() const;
  void SetBounds(const TRect& Rect);
  // The picture shown (copied), stretched to the bounds; without one the
  // window is filled with Color.
  void SetImage(TBitmap* Image);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  // Pixels of this colour are fully transparent (clNone: none).
  void SetTransparentColor(TColor Value);
  TColor TransparentColor() const { return FTransparentColor; }
  // Opacity of the whole window, 0..255.
  Byte Alpha() const { return FAlpha; }
  void SetAlpha(Byte Value);
  void Show();
  void Hide();
  bool Visible() const;
  // The picture as it is shown, opacity applied (tests): 0xAARRGGBB.
  Cardinal PixelAt(Integer X, Integer Y) const;

private:
  std::unique_ptr<TOverlayWindowImpl> FImpl;
  TColor FColor = clBlack;
  TColor FTransparentColor = clNone;
  Byte FAlpha = 255;
};
