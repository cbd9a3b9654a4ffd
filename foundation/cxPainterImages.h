#pragma once
// The images the painters share: the radio-button glyphs of every
// look-and-feel kind and state (rendered by code from one measured pattern),
// the row-indicator images, the two pin-button bitmaps and the two 8 x 8
// checker bitmaps that fill scroll-bar tracks.
//
// Everything is created on first use and lives until cxPainterImagesFinalize
// (or the end of the program). While the shared images exist a system-palette
// notifier listens for system colour changes: the radio-button images are
// then cleared and built again before the next drawing, and the checker
// bitmaps are painted again in the new colours.
#include <array>
#include <memory>
#include <vector>

#include "foundation/cxGraphics.h"
#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/imagelist.h"
#include "platform/rtl/object.h"

// ---------------------------------------------------------------------------
// Radio-button glyphs

// The glyph cell and, inside it, the circle and the checked dot, measured
// once from the platform's radio-button glyph.
struct TcxRadioButtonGlyphGeometry {
  Integer Width = 0;   // glyph cell
  Integer Height = 0;
  Integer CircleLeft = 0;
  Integer CircleTop = 0;
  Integer CircleWidth = 0;
  Integer CircleHeight = 0;
  TRect Dot;  // in glyph coordinates
};
const TcxRadioButtonGlyphGeometry& RadioButtonGlyphGeometry();

// Cell codes of the glyph pattern.
enum : Byte {
  rbcOutside = 0,
  rbcOuterUpperLeft = 1,
  rbcOuterLowerRight = 2,
  rbcInnerUpperLeft = 3,
  rbcInnerLowerRight = 4,
  rbcBody = 5,
  rbcDot = 6,
};

class TcxRadioButtonImageList : public TObject {
  KORVANE_CLASS(TcxRadioButtonImageList, TObject)
  static constexpr Integer ImageCount = 128;

  TcxRadioButtonImageList();
  ~TcxRadioButtonImageList() override;

  // Draws the glyph of (kind, state, flags, checked) at (X, Y): masked when
  // ABkColor is clDefault, else as an opaque square of ABkColor. cxbsDefault
  // draws as cxbsNormal. The images are built first when they are not.
  void Draw(TcxCanvas* ACanvas, Integer X, Integer Y, TcxLookAndFeelKind AKind, TcxButtonState AState,
            bool AChecked, bool AFocused, bool ASelected, TColor ABkColor);
  // Clears the images; they are built again before the next drawing.
  void Reset();
  bool Built() const { return FImages->Count() > 0; }
  // Builds the 128 images now (when not built yet).
  void Build();

  // The colour of a cell code for (kind, state, flags, checked); state
  // cxbsNormal to cxbsDisabled.
  static TColor CodeColor(Byte ACode, TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked, bool AFocused,
                          bool ASelected);
  // The image index of (kind, state, flags, checked); -1 before Build.
  Integer ImageIndex(TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked, bool AFocused,
                     bool ASelected) const;
  // The index map's slot: state + kind x 8 + flag B x 32 + flag A x 64 +
  // checked x 4 - 1 (flag A = AFocused, flag B = ASelected).
  static Integer MapIndex(TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked, bool AFocused,
                          bool ASelected);

  TImageList* Images() const { return FImages.get(); }
  // Monochrome: white with a black ellipse of the glyph size.
  TBitmap* ButtonMask() const { return FButtonMask.get(); }
  // The pattern: Height rows of Width cell codes.
  Byte PatternCode(Integer X, Integer Y) const;

private:
  void BuildPattern();
  void BuildMask();
  std::unique_ptr<TBitmap> PaintImage(TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked, bool AFocused,
                                      bool ASelected) const;

  std::unique_ptr<TImageList> FImages;
  std::unique_ptr<TBitmap> FButtonMask;
  std::vector<Byte> FPattern;
  std::array<Integer, ImageCount> FIndexMap{};
};

// The shared radio-button images, created on first use.
TcxRadioButtonImageList* SharedRadioButtonImages();

// ---------------------------------------------------------------------------
// Indicator, pin and checker images

// Row indicators in the order of TcxIndicatorKind 1 to 5 (arrow, edit,
// insert, multi-dot, multi-arrow), white transparent.
TImageList* cxIndicatorImages();
// cxPinAutoHideOn (0) or cxPinAutoHideOff (1): 16 x 16, white transparent;
// nullptr for another index.
TBitmap* cxPinBitmap(Integer AIndex);
// 8 x 8 checkers: 0 clBtnHighlight where row and column parities differ and
// clBtnFace elsewhere; 1 cl3DDkShadow where they differ and black elsewhere;
// nullptr for another index.
TBitmap* cxCheckerBitmap(Integer AIndex);

// The system colours changed: what the palette notifier does (radio images
// cleared, checkers repainted).
void cxPainterImagesSystemPaletteChanged();
// Frees every shared image and the palette notifier.
void cxPainterImagesFinalize();
