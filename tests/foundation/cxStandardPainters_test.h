#pragma once
// Shared by the painter tests: an image with pixel queries, distinct system
// colours, and a gallery of every element in every state saved as a PNG.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/cxLookAndFeelPainters.h"
#include "platform/gui/bitmap.h"
#include "platform/rtl/encoding.h"

namespace cxPainterTest {

// ---- Helpers ------------------------------------------------------------------------------

inline TColor RGBOf(TColor AColor) { return ColorToRGB(AColor) & 0xFFFFFF; }

// A bitmap filled with one colour and a TcxCanvas over it.
struct TImage {
  TBitmap Bitmap;
  TcxCanvas Canvas;
  TImage(Integer AWidth, Integer AHeight, TColor AColor = clWhite)
      : Bitmap(AWidth, AHeight, pf32bit), Canvas(Bitmap.Canvas()) {
    Canvas.GetBrush()->SetColor(AColor);
    Bitmap.Canvas()->FillRect(Rect(0, 0, AWidth, AHeight));
  }
  TColor At(Integer X, Integer Y) const { return Bitmap.PixelColor(X, Y); }
  bool Is(Integer X, Integer Y, TColor AColor) const { return At(X, Y) == RGBOf(AColor); }
  Integer Count(const TRect& R, TColor AColor) const {
    Integer n = 0;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x) n += Is(x, y, AColor) ? 1 : 0;
    return n;
  }
  TRect Box(const TRect& R, TColor AColor) const {
    TRect box{0x7FFFFFFF, 0x7FFFFFFF, -1, -1};
    bool any = false;
    for (Integer y = R.Top; y < R.Bottom; ++y)
      for (Integer x = R.Left; x < R.Right; ++x)
        if (Is(x, y, AColor)) {
          any = true;
          box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
        }
    return any ? box : TRect{};
  }
  bool SameAs(const TImage& AOther) const { return Bitmap.Pixels32() == AOther.Bitmap.Pixels32(); }
};

inline void SavePicture(TBitmap& ABitmap, const std::string& AName, Integer AScale = 3) {
  std::filesystem::path dir = std::filesystem::path(KORVANE_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(dir);
  TBitmap large(ABitmap.Width() * AScale, ABitmap.Height() * AScale, pf24bit);
  large.Canvas()->StretchDraw(Rect(0, 0, large.Width(), large.Height()), &ABitmap);
  large.SaveToFile(UTF8ToString((dir / (AName + ".png")).string()));
}

constexpr TcxButtonState AllStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};

// System colours that all differ, so that every edge can be told apart.
inline TSysColorTable DistinctColors() {
  TSysColorTable table = DefaultSysColorTable();
  table[COLOR_BTNFACE] = RGB(200, 200, 200);
  table[COLOR_BTNSHADOW] = RGB(128, 128, 128);
  table[COLOR_BTNHIGHLIGHT] = RGB(255, 255, 255);
  table[COLOR_3DDKSHADOW] = RGB(64, 64, 64);
  table[COLOR_3DLIGHT] = RGB(224, 224, 160);
  table[COLOR_BTNTEXT] = RGB(0, 0, 96);
  table[COLOR_WINDOW] = RGB(250, 250, 230);
  table[COLOR_WINDOWTEXT] = RGB(10, 10, 10);
  table[COLOR_GRAYTEXT] = RGB(150, 100, 100);
  table[COLOR_HIGHLIGHT] = RGB(10, 36, 106);
  table[COLOR_HIGHLIGHTTEXT] = RGB(240, 255, 240);
  return table;
}

// One row per element, one column per state (default, normal, hot, pressed,
// disabled), each cell 24 x 20 on a light background.
inline std::unique_ptr<TImage> RenderGallery(const TcxCustomLookAndFeelPainter* APainter) {
  using TElement = std::function<void(TcxCanvas*, const TRect&, TcxButtonState)>;
  const TcxCustomLookAndFeelPainter* p = APainter;
  const std::vector<TElement> elements = {
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintButton(c, r, s); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintCaptionButton(c, r, clDefault, clDefault, true, s, u"Ab"); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintArrowButton(c, r, true, adDown, s); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) {
        p->PaintButton(c, r, s);
        p->PaintButtonArrow(c, r, adRight, s);
      },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintCheckBox(c, Rect(r.Left + 4, r.Top + 3, r.Left + 17, r.Top + 16), s != cxbsNormal, s); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintRadioButton(c, r.Left + 4, r.Top + 3, s, s != cxbsNormal, false, false, clDefault); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) {
        TcxRegion* saved = c->CopyClipRegion();
        const Integer size = p->ExpandGlyphSize();
        p->PaintExpandGlyph(c, Rect(r.Left + 4, r.Top + 4, r.Left + 4 + size, r.Top + 4 + size), clDefault, s == cxbsPressed);
        c->ApplyClipRegion(saved, roCopy, true);
      },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintExpandBox(c, Rect(r.Left + 6, r.Top + 5, r.Left + 15, r.Top + 14), clDefault, clBtnShadow, s == cxbsPressed); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintGroupExpandGlyph(c, Rect(r.Left + 4, r.Top + 2, r.Left + 19, r.Top + 17), s, s == cxbsPressed); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) {
        p->PaintHeader(c, r, Rect(r.Left + 2, r.Top, r.Right - 2, r.Bottom), 0, cxAllBorders, s, taLeftJustify, vaCenter, false, false, u"H", nullptr, p->HeaderTextColor(), p->HeaderColor(), TcxDrawBackgroundEvent());
        p->PaintSortMark(c, Rect(r.Right - 10, r.Top, r.Right - 1, r.Bottom), s != cxbsPressed);
      },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintHeaderSection(c, r, s, p->HeaderColor(), u"S", nullptr, clBtnText, taCenter, vaCenter, false, false); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintFooterCell(c, r, taRightJustify, vaCenter, false, false, s == cxbsNormal ? u"1" : u"", nullptr, p->FooterTextColor(), p->FooterColor()); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintFilterDropDownButton(c, Rect(r.Left + 4, r.Top, r.Left + 19, r.Bottom), s, s == cxbsHot); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintCloseButton(c, Rect(r.Left + 4, r.Top + 3, r.Left + 20, r.Top + 17), s); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintGlyphButton(c, Rect(r.Left + 4, r.Top + 3, r.Left + 20, r.Top + 17), s); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintScrollBarPart(c, Rect(r.Left + 4, r.Top + 2, r.Left + 20, r.Top + 18), sbpLineUp, s, false); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintScrollBarPart(c, Rect(r.Left + 4, r.Top + 2, r.Left + 20, r.Top + 18), sbpLineDown, s, true); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintScrollBarPart(c, Rect(r.Left + 2, r.Top + 4, r.Left + 22, r.Top + 16), sbpThumbnail, s, true); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintScrollBarPart(c, Rect(r.Left + 2, r.Top + 2, r.Left + 22, r.Top + 18), sbpPageUp, s, false); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) {
        p->PaintIndicatorCell(c, Rect(r.Left + 4, r.Top, r.Left + 16, r.Bottom), p->HeaderColor(), s);
      },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) { p->PaintArrowsHeader(c, r, s == cxbsHot ? TcxNeighbors(nLeft) : TcxNeighbors(0), u"", nullptr, clBtnText, p->HeaderColor(), TcxDrawBackgroundEvent(), cxAllBorders, cxArrowUp | cxArrowDown); },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState) {
        p->PaintBorder(c, Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2));
        p->PaintFlatFrame(c, Rect(r.Left + 6, r.Top + 6, r.Right - 6, r.Bottom - 6), cxbsHot);
      },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) {
        c->GetBrush()->SetColor(clBtnFace);
        p->PaintSplitterBorder(c, Rect(r.Left + 2, r.Top + 6, r.Right - 2, r.Top + 13), s != cxbsPressed);
      },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) {
        p->PaintPlainButton(c, Rect(r.Left, r.Top + 2, r.Left + 12, r.Bottom - 2), s, clDefault, 0, 2);
        p->PaintPlainButton(c, Rect(r.Left + 12, r.Top + 2, r.Right, r.Bottom - 2), s, clDefault, 1, 2);
      },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) {
        p->PaintTabsArea(c, Rect(r.Left + 1, r.Top + 10, r.Right - 1, r.Bottom), cxAllBorders);
        p->PaintTabFrame(c, Rect(r.Left + 3, r.Top + 3, r.Left + 5, r.Top + 11), tpTop, 0, s == cxbsPressed);
        p->PaintTabFrame(c, Rect(r.Left + 12, r.Top + 3, r.Left + 14, r.Top + 11), tpBottom, 0, s != cxbsPressed);
      },
      [p](TcxCanvas* c, const TRect& r, TcxButtonState s) {
        p->PaintFooterFrame(c, r);
        p->PaintPinButton(c, Rect(r.Left + 3, r.Top + 2, r.Left + 21, r.Top + 18), s == cxbsHot ? 1 : 0, s);
      },
  };
  constexpr Integer cellW = 26, cellH = 22;
  auto result = std::make_unique<TImage>(cellW * 5 + 2, cellH * static_cast<Integer>(elements.size()) + 2,
                                         RGB(236, 233, 216));
  TImage& image = *result;
  for (size_t row = 0; row < elements.size(); ++row)
    for (Integer col = 0; col < 5; ++col) {
      const TRect cell = Rect(1 + col * cellW, 1 + static_cast<Integer>(row) * cellH, 1 + col * cellW + 24,
                              1 + static_cast<Integer>(row) * cellH + 20);
      elements[row](&image.Canvas, cell, AllStates[col]);
    }
  return result;
}

inline void PaintGallery(const TcxCustomLookAndFeelPainter* APainter, const std::string& AName) {
  SavePicture(RenderGallery(APainter)->Bitmap, AName);
}

}  // namespace cxPainterTest
