#include "foundation/cxPainterImages.h"

#include <algorithm>
#include <optional>

#include "foundation/qzOffice11.h"
#include "platform/gui/sysmetrics.h"

namespace {

// ---------------------------------------------------------------------------
// Small pictures: '#' black, '+' the button shadow grey, '.' white (left out).

constexpr Integer IndicatorWidth = 8, IndicatorHeight = 11;

const char* const IndicatorArt[5][IndicatorHeight] = {
    {// arrow
     "........", ".#......", ".##.....", ".###....", ".####...", ".#####..", ".####...", ".###....", ".##.....",
     ".#......", "........"},
    {// edit: an I-beam
     "........", ".##.##..", "...#....", "...#....", "...#....", "...#....", "...#....", "...#....", "...#....",
     ".##.##..", "........"},
    {// insert: an asterisk
     "........", "........", "........", "...#....", ".#.#.#..", "..###...", ".#.#.#..", "...#....", "........",
     "........", "........"},
    {// several rows: a square dot
     "........", "........", "........", "........", "..###...", "..###...", "..###...", "........", "........",
     "........", "........"},
    {// several rows with the current one: arrow and dot
     "........", "#.......", "##......", "###.....", "####.##.", "#####.##", "####.##.", "###.....", "##......",
     "#.......", "........"},
};

// The pin standing upright (pinned, auto-hide off); the other pin is it
// turned a quarter clockwise (lying, auto-hide on).
const char* const PinArt[16] = {
    "................", "................", ".....######.....", ".....#...+#.....", ".....#...+#.....",
    ".....#...+#.....", ".....#...+#.....", ".....#...+#.....", "....########....", ".......#........",
    ".......#........", ".......#........", ".......#........", "................", "................",
    "................",
};

TColor ArtColor(char c) {
  switch (c) {
    case '#': return clBlack;
    case '+': return clBtnShadow;
    default: return clWhite;
  }
}

std::unique_ptr<TBitmap> BitmapFromArt(const char* const* AArt, Integer AWidth, Integer AHeight, bool ATurn) {
  auto bitmap = std::make_unique<TBitmap>(AWidth, AHeight, pf24bit);
  TCanvas* canvas = bitmap->Canvas();
  for (Integer y = 0; y < AHeight; ++y)
    for (Integer x = 0; x < AWidth; ++x) {
      // Turned a quarter clockwise: the source's column x is read upwards.
      const char c = ATurn ? AArt[AHeight - 1 - x][y] : AArt[y][x];
      canvas->SetPixels(x, y, ArtColor(c));
    }
  bitmap->SetTransparentColor(clWhite);
  bitmap->SetTransparent(true);
  return bitmap;
}

void PaintChecker(TBitmap* ABitmap, TColor ADiffer, TColor ASame) {
  TCanvas* canvas = ABitmap->Canvas();
  for (Integer y = 0; y < 8; ++y)
    for (Integer x = 0; x < 8; ++x) canvas->SetPixels(x, y, (x % 2 != y % 2) ? ADiffer : ASame);
}

// ---------------------------------------------------------------------------
// Shared state

struct TPainterImages {
  std::unique_ptr<TImageList> Indicators;
  std::array<std::unique_ptr<TBitmap>, 2> Pins;
  std::array<std::unique_ptr<TBitmap>, 2> Checkers;
  std::unique_ptr<TcxRadioButtonImageList> RadioButtons;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> Notifier;
};

// Kept until the program ends (never destroyed with the statics, which may
// already have torn down the windowing the palette notifier leans on);
// cxPainterImagesFinalize frees its contents.
TPainterImages& Images() {
  static TPainterImages* images = new TPainterImages;
  return *images;
}

void PaintCheckers() {
  TPainterImages& images = Images();
  if (images.Checkers[0]) PaintChecker(images.Checkers[0].get(), clBtnHighlight, clBtnFace);
  if (images.Checkers[1]) PaintChecker(images.Checkers[1].get(), cl3DDkShadow, clBlack);
}

// The notifier lives while any shared image does.
void EnsureNotifier() {
  TPainterImages& images = Images();
  if (images.Notifier) return;
  images.Notifier = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  images.Notifier->OnSystemPaletteChanged = TcxSystemPaletteChangedEvent(&cxPainterImagesSystemPaletteChanged);
}

// ---------------------------------------------------------------------------
// Measuring the platform's radio glyph

TcxRadioButtonGlyphGeometry MeasureGlyph() {
  TcxRadioButtonGlyphGeometry g;
  g.Width = GetSystemMetrics(SM_CXMENUCHECK);
  g.Height = GetSystemMetrics(SM_CYMENUCHECK);
  if (g.Width <= 0) g.Width = 13;
  if (g.Height <= 0) g.Height = 13;
  // A colour the glyph never uses marks the pixels it leaves alone.
  constexpr TColor sentinel = 0x00010203;
  auto draw = [&](Cardinal AState) {
    auto bitmap = std::make_unique<TBitmap>(g.Width, g.Height, pf32bit);
    bitmap->Canvas()->Brush()->SetColor(sentinel);
    bitmap->Canvas()->FillRect(Rect(0, 0, g.Width, g.Height));
    DrawGlyph(bitmap->Canvas()->Handle(), Rect(0, 0, g.Width, g.Height), gkRadioButton, AState);
    return bitmap;
  };
  const auto checked = draw(gsFlat | gsChecked);
  const auto unchecked = draw(gsFlat);
  TRect circle{g.Width, g.Height, -1, -1}, dot{g.Width, g.Height, -1, -1};
  auto include = [](TRect& r, Integer x, Integer y) {
    r.Left = std::min(r.Left, x);
    r.Top = std::min(r.Top, y);
    r.Right = std::max(r.Right, x + 1);
    r.Bottom = std::max(r.Bottom, y + 1);
  };
  for (Integer y = 0; y < g.Height; ++y)
    for (Integer x = 0; x < g.Width; ++x) {
      if (checked->PixelColor(x, y) != sentinel) include(circle, x, y);
      if (checked->PixelColor(x, y) != unchecked->PixelColor(x, y)) include(dot, x, y);
    }
  if (IsRectEmpty(circle)) circle = Rect(0, 0, g.Width, g.Height);
  if (IsRectEmpty(dot)) dot = CenteredRect(circle, 4, 4);
  g.CircleLeft = circle.Left;
  g.CircleTop = circle.Top;
  g.CircleWidth = circle.Width();
  g.CircleHeight = circle.Height();
  g.Dot = dot;
  return g;
}

// ---------------------------------------------------------------------------
// Colours

TColor BodyColor(TcxLookAndFeelKind AKind, TcxButtonState AState) {
  if (AKind == lfOffice11)
    return AState == cxbsNormal ? clWindow
                                : PainterOf(PainterClassOfKind(lfOffice11))->ButtonFaceColor(AState);
  if (AState == cxbsDisabled) return clBtnFace;
  if (AKind == lfUltraFlat) {
    if (AState == cxbsHot) return MixedLightHighlightColor();
    if (AState == cxbsPressed) return MixedHighlightColor();
    return clWindow;
  }
  return AState == cxbsPressed ? clBtnFace : clWindow;
}

// Whether the centre of cell (X, Y) lies inside the ellipse inscribed in R.
bool InEllipse(const TRect& R, Integer X, Integer Y) {
  const double rx = R.Width() / 2.0, ry = R.Height() / 2.0;
  if (rx <= 0 || ry <= 0) return false;
  const double dx = (X + 0.5 - R.Left - rx) / rx, dy = (Y + 0.5 - R.Top - ry) / ry;
  return dx * dx + dy * dy <= 1.0;
}

TcxButtonState DrawnState(TcxButtonState AState) {
  return AState < cxbsNormal || AState > cxbsDisabled ? cxbsNormal : AState;
}

}  // namespace

// ---------------------------------------------------------------------------
// Geometry

const TcxRadioButtonGlyphGeometry& RadioButtonGlyphGeometry() {
  static const TcxRadioButtonGlyphGeometry geometry = MeasureGlyph();
  return geometry;
}

// ---------------------------------------------------------------------------
// TcxRadioButtonImageList

TcxRadioButtonImageList::TcxRadioButtonImageList() {
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  FImages = TImageList::CreateSize(g.Width, g.Height);
  FIndexMap.fill(-1);
  BuildPattern();
  BuildMask();
}

TcxRadioButtonImageList::~TcxRadioButtonImageList() = default;

Byte TcxRadioButtonImageList::PatternCode(Integer X, Integer Y) const {
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  if (X < 0 || Y < 0 || X >= g.Width || Y >= g.Height) return rbcOutside;
  return FPattern[static_cast<size_t>(Y * g.Width + X)];
}

void TcxRadioButtonImageList::BuildPattern() {
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  const Integer w = g.Width, h = g.Height;
  FPattern.assign(static_cast<size_t>(w * h), rbcOutside);
  auto at = [&](Integer x, Integer y) -> Byte& { return FPattern[static_cast<size_t>(y * w + x)]; };
  // Below the diagonal from the top-right to the bottom-left corner.
  auto lower = [&](Integer x, Integer y) { return (h - 1) * (w - x - 1) < y * (w - 1); };
  auto onDiagonal = [&](Integer x, Integer y) { return (h - 1) * (w - x - 1) == y * (w - 1); };

  // The outline: the cells of the ellipse over the whole glyph that touch
  // its outside (rasterised here so that the ring is closed and symmetric).
  Integer firstRow = h, lastRow = -1;
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      if (!InEllipse(Rect(0, 0, w, h), x, y)) continue;
      const bool edge = !InEllipse(Rect(0, 0, w, h), x - 1, y) || !InEllipse(Rect(0, 0, w, h), x + 1, y) ||
                        !InEllipse(Rect(0, 0, w, h), x, y - 1) || !InEllipse(Rect(0, 0, w, h), x, y + 1);
      if (!edge) continue;
      at(x, y) = lower(x, y) ? rbcOuterLowerRight : rbcOuterUpperLeft;
      firstRow = std::min(firstRow, y);
      lastRow = std::max(lastRow, y);
    }

  // The body: from the centre outwards to the outline on every row.
  const Integer cx = w / 2;
  for (Integer y = firstRow + 1; y < lastRow; ++y) {
    if (at(cx, y) != rbcOutside) continue;
    for (Integer x = cx; x < w && at(x, y) == rbcOutside; ++x) at(x, y) = rbcBody;
    for (Integer x = cx - 1; x >= 0 && at(x, y) == rbcOutside; --x) at(x, y) = rbcBody;
  }

  // The inner ring: the body cells next to the outline on each row and
  // column, and the whole first and last body row and column.
  auto ring = [&](Integer x, Integer y) {
    if (at(x, y) != rbcBody && at(x, y) != rbcInnerUpperLeft && at(x, y) != rbcInnerLowerRight) return;
    const bool low = onDiagonal(x, y) ? x > cx : lower(x, y);
    at(x, y) = low ? rbcInnerLowerRight : rbcInnerUpperLeft;
  };
  auto isInside = [&](Integer x, Integer y) { return at(x, y) >= rbcInnerUpperLeft; };
  std::vector<std::pair<Integer, Integer>> marks;
  Integer firstBodyRow = h, lastBodyRow = -1, firstBodyCol = w, lastBodyCol = -1;
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (isInside(x, y)) {
        firstBodyRow = std::min(firstBodyRow, y);
        lastBodyRow = std::max(lastBodyRow, y);
        firstBodyCol = std::min(firstBodyCol, x);
        lastBodyCol = std::max(lastBodyCol, x);
        const bool edgeRow = x == 0 || x == w - 1 || !isInside(x - 1, y) || !isInside(x + 1, y);
        const bool edgeCol = y == 0 || y == h - 1 || !isInside(x, y - 1) || !isInside(x, y + 1);
        if (edgeRow || edgeCol) marks.emplace_back(x, y);
      }
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (isInside(x, y) && (y == firstBodyRow || y == lastBodyRow || x == firstBodyCol || x == lastBodyCol))
        marks.emplace_back(x, y);
  for (const auto& [x, y] : marks) ring(x, y);

  // The dot: the ellipse over the measured dot rectangle.
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (InEllipse(g.Dot, x, y) && isInside(x, y)) at(x, y) = rbcDot;
}

void TcxRadioButtonImageList::BuildMask() {
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  FButtonMask = std::make_unique<TBitmap>(g.Width, g.Height, pf1bit);
  TCanvas* canvas = FButtonMask->Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(Rect(0, 0, g.Width, g.Height));
  // Every cell of the pattern is drawn; the rest is left out.
  for (Integer y = 0; y < g.Height; ++y)
    for (Integer x = 0; x < g.Width; ++x)
      if (PatternCode(x, y) != rbcOutside) canvas->SetPixels(x, y, clBlack);
}

TColor TcxRadioButtonImageList::CodeColor(Byte ACode, TcxLookAndFeelKind AKind, TcxButtonState AState,
                                          bool AChecked, bool AFocused, bool ASelected) {
  AState = DrawnState(AState);
  const TColor body = BodyColor(AKind, AState);
  const bool emphasised = AFocused || AState == cxbsHot || AState == cxbsPressed;
  switch (ACode) {
    case rbcOuterUpperLeft:
    case rbcOuterLowerRight:
      switch (AKind) {
        case lfUltraFlat:
          return emphasised || (ASelected && AState != cxbsDisabled) ? clHighlight : clBtnShadow;
        case lfOffice11:
          if (AState == cxbsDisabled) return Office11Color(o11DisabledGlyph);
          return emphasised || ASelected ? Office11Color(o11Highlight) : clBtnText;
        default:
          return ACode == rbcOuterUpperLeft ? clBtnShadow : clBtnHighlight;
      }
    case rbcInnerUpperLeft:
    case rbcInnerLowerRight:
      switch (AKind) {
        case lfFlat: return cl3DLight;
        case lfStandard: return ACode == rbcInnerUpperLeft ? cl3DDkShadow : cl3DLight;
        default: return body;
      }
    case rbcBody: return body;
    case rbcDot:
      if (!AChecked) return body;
      if (AState == cxbsDisabled) return AKind == lfOffice11 ? Office11Color(o11DisabledGlyph) : clBtnShadow;
      return clBtnText;
    default: return clBlack;
  }
}

Integer TcxRadioButtonImageList::MapIndex(TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked,
                                          bool AFocused, bool ASelected) {
  const Integer kind = std::clamp<Integer>(AKind, lfFlat, lfOffice11);
  return DrawnState(AState) + kind * 8 + (ASelected ? 32 : 0) + (AFocused ? 64 : 0) + (AChecked ? 4 : 0) - 1;
}

Integer TcxRadioButtonImageList::ImageIndex(TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked,
                                            bool AFocused, bool ASelected) const {
  return FIndexMap[static_cast<size_t>(MapIndex(AKind, AState, AChecked, AFocused, ASelected))];
}

std::unique_ptr<TBitmap> TcxRadioButtonImageList::PaintImage(TcxLookAndFeelKind AKind, TcxButtonState AState,
                                                             bool AChecked, bool AFocused, bool ASelected) const {
  const TcxRadioButtonGlyphGeometry& g = RadioButtonGlyphGeometry();
  auto image = std::make_unique<TBitmap>(g.Width, g.Height, pf32bit);
  TCanvas* canvas = image->Canvas();
  TColor colors[rbcDot + 1];
  for (Byte code = 0; code <= rbcDot; ++code)
    colors[code] = ColorToRGB(CodeColor(code, AKind, AState, AChecked, AFocused, ASelected));
  for (Integer y = 0; y < g.Height; ++y)
    for (Integer x = 0; x < g.Width; ++x) canvas->SetPixels(x, y, colors[PatternCode(x, y)]);
  return image;
}

void TcxRadioButtonImageList::Build() {
  if (Built()) return;
  for (Integer a = 0; a < 2; ++a)
    for (Integer b = 0; b < 2; ++b)
      for (Integer kind = lfFlat; kind <= lfOffice11; ++kind)
        for (Integer checked = 0; checked < 2; ++checked)
          for (Integer state = cxbsNormal; state <= cxbsDisabled; ++state) {
            const auto k = static_cast<TcxLookAndFeelKind>(kind);
            const auto s = static_cast<TcxButtonState>(state);
            const auto image = PaintImage(k, s, checked != 0, a != 0, b != 0);
            const Integer index = FImages->Add(image.get(), FButtonMask.get());
            FIndexMap[static_cast<size_t>(MapIndex(k, s, checked != 0, a != 0, b != 0))] = index;
          }
}

void TcxRadioButtonImageList::Reset() {
  FImages->Clear();
  FIndexMap.fill(-1);
}

void TcxRadioButtonImageList::Draw(TcxCanvas* ACanvas, Integer X, Integer Y, TcxLookAndFeelKind AKind,
                                   TcxButtonState AState, bool AChecked, bool AFocused, bool ASelected,
                                   TColor ABkColor) {
  Build();
  const Integer index = ImageIndex(AKind, AState, AChecked, AFocused, ASelected);
  if (ABkColor == clDefault) {
    FImages->Draw(ACanvas->Canvas(), X, Y, index);
    return;
  }
  TBitmap square(FImages->Width(), FImages->Height(), pf32bit);
  square.Canvas()->Brush()->SetColor(ABkColor);
  square.Canvas()->FillRect(Rect(0, 0, square.Width(), square.Height()));
  FImages->Draw(square.Canvas(), 0, 0, index);
  ACanvas->DrawGraphic(X, Y, &square);
}

TcxRadioButtonImageList* SharedRadioButtonImages() {
  TPainterImages& images = Images();
  if (!images.RadioButtons) {
    images.RadioButtons = std::make_unique<TcxRadioButtonImageList>();
    EnsureNotifier();
  }
  return images.RadioButtons.get();
}

// ---------------------------------------------------------------------------
// Indicator, pin and checker images

TImageList* cxIndicatorImages() {
  TPainterImages& images = Images();
  if (!images.Indicators) {
    images.Indicators = TImageList::CreateSize(IndicatorWidth, IndicatorHeight);
    for (const auto& art : IndicatorArt) {
      const auto bitmap = BitmapFromArt(art, IndicatorWidth, IndicatorHeight, false);
      images.Indicators->AddMasked(bitmap.get(), clWhite);
    }
  }
  return images.Indicators.get();
}

TBitmap* cxPinBitmap(Integer AIndex) {
  if (AIndex != cxPinAutoHideOn && AIndex != cxPinAutoHideOff) return nullptr;
  TPainterImages& images = Images();
  auto& pin = images.Pins[static_cast<size_t>(AIndex)];
  if (!pin) pin = BitmapFromArt(PinArt, 16, 16, AIndex == cxPinAutoHideOn);
  return pin.get();
}

TBitmap* cxCheckerBitmap(Integer AIndex) {
  if (AIndex != 0 && AIndex != 1) return nullptr;
  TPainterImages& images = Images();
  auto& checker = images.Checkers[static_cast<size_t>(AIndex)];
  if (!checker) {
    checker = std::make_unique<TBitmap>(8, 8, pf24bit);
    PaintCheckers();
    EnsureNotifier();
  }
  return checker.get();
}

void cxPainterImagesSystemPaletteChanged() {
  TPainterImages& images = Images();
  if (images.RadioButtons) images.RadioButtons->Reset();
  PaintCheckers();
}

void cxPainterImagesFinalize() {
  TPainterImages& images = Images();
  images.Notifier.reset();
  images.RadioButtons.reset();
  for (auto& checker : images.Checkers) checker.reset();
  for (auto& pin : images.Pins) pin.reset();
  images.Indicators.reset();
}
