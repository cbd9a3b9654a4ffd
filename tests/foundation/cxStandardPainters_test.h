#pragma once
// Shared by the painter tests: a gallery of every element in every state
// saved as a PNG (the general helpers are in foundation_test.h).
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/cxLookAndFeelPainters.h"
#include "platform/gui/bitmap.h"
#include "tests/foundation/foundation_test.h"

namespace cxPainterTest {

using namespace cxTest;

constexpr TcxButtonState AllStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};

// The gallery: one row per element, one column per state (AllStates), each
// cell 24 x 20 on a light background.
constexpr Integer kGalleryCellWidth = 24, kGalleryCellHeight = 20, kGalleryGap = 2;
constexpr TColor kGalleryBackground = RGB(236, 233, 216);

inline TRect GalleryCell(Integer ARow, Integer AColumn) {
  return Bounds(1 + AColumn * (kGalleryCellWidth + kGalleryGap), 1 + ARow * (kGalleryCellHeight + kGalleryGap),
                kGalleryCellWidth, kGalleryCellHeight);
}

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
  const Integer rows = static_cast<Integer>(elements.size());
  auto result = std::make_unique<TImage>(GalleryCell(0, 5).Left + 1, GalleryCell(rows, 0).Top + 1, kGalleryBackground);
  for (Integer row = 0; row < rows; ++row)
    for (Integer col = 0; col < 5; ++col) elements[row](&result->Canvas, GalleryCell(row, col), AllStates[col]);
  return result;
}

// The pixels of one cell, row by row.
inline std::vector<TColor> CellPixels(const TImage& AImage, const TRect& ACell) {
  std::vector<TColor> pixels;
  for (Integer y = ACell.Top; y < ACell.Bottom; ++y)
    for (Integer x = ACell.Left; x < ACell.Right; ++x) pixels.push_back(AImage.At(x, y));
  return pixels;
}

// Renders and saves the gallery, and checks that every element drew in every
// state and that a pressed button and a checked box look unlike normal ones.
inline void PaintGallery(const TcxCustomLookAndFeelPainter* APainter, const std::string& AName) {
  std::unique_ptr<TImage> image = RenderGallery(APainter);
  SavePicture(image->Bitmap, AName);
  const Integer rows = (image->Bitmap.Height() - 1) / (kGalleryCellHeight + kGalleryGap);
  constexpr Integer thumbRow = 17, disabled = 4;  // a disabled bar shows no thumb
  for (Integer row = 0; row < rows; ++row)
    for (Integer col = 0; col < 5; ++col) {
      if (row == thumbRow && col == disabled) continue;
      const TRect cell = GalleryCell(row, col);
      EXPECT_LT(image->Count(cell, kGalleryBackground), cell.Width() * cell.Height())
          << AName << ": element " << row << " drew nothing in state " << col;
    }
  constexpr Integer buttonRow = 0, checkBoxRow = 4, normal = 1, pressed = 3;
  for (Integer row : {buttonRow, checkBoxRow})
    EXPECT_NE(CellPixels(*image, GalleryCell(row, normal)), CellPixels(*image, GalleryCell(row, pressed)))
        << AName << ": element " << row << " looks the same pressed";
}

}  // namespace cxPainterTest
