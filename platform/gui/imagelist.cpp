#include "platform/gui/imagelist.h"

#include "platform/rtl/exceptions.h"

struct TImageList::TEntry {
  std::unique_ptr<TBitmap> Image;  // Width x Height, 32 bits
  std::unique_ptr<TBitmap> Mask;   // monochrome: white where transparent
};

namespace {

// Where the mask is black, the destination takes the brush (pattern where
// source is black, destination where it is white).
constexpr Cardinal kPaintWhereBlack = 0x00B8074A;

// Draws Color through a monochrome mask (black = draw) at (X, Y).
void PaintMasked(TCanvas* Canvas, Integer X, Integer Y, TBitmap* Mask, TColor Color) {
  TBrush saved;
  saved.Assign(Canvas->Brush());
  Canvas->Brush()->SetBitmap(nullptr);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  HDC dc = Canvas->Handle();
  TColor text = ::SetTextColor(dc, clBlack), bk = ::SetBkColor(dc, clWhite);
  BitBlt(dc, X, Y, Mask->Width(), Mask->Height(), Mask->Canvas(), 0, 0, kPaintWhereBlack);
  SetTextColor(dc, text);
  SetBkColor(dc, bk);
  Canvas->Brush()->Assign(&saved);
}

// Copies the rows of Source from (SX, 0) into a new W x H bitmap.
std::unique_ptr<TBitmap> Piece(TBitmap* Source, Integer SX, Integer W, Integer H, TPixelFormat Format) {
  auto piece = std::make_unique<TBitmap>(W, H, Format);
  BitBlt(piece->Canvas(), 0, 0, W, H, Source->Canvas(), SX, 0, SRCCOPY);
  return piece;
}

}  // namespace

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}

std::unique_ptr<TImageList> TImageList::CreateSize(Integer AWidth, Integer AHeight) {
  auto list = std::make_unique<TImageList>(nullptr);
  list->FWidth = std::max<Integer>(AWidth, 1);
  list->FHeight = std::max<Integer>(AHeight, 1);
  return list;
}

TImageList::~TImageList() = default;

void TImageList::Changed() { OnChange(this); }

void TImageList::SetWidth(Integer Value) {
  Value = std::max<Integer>(Value, 1);
  if (Value == FWidth) return;
  FWidth = Value;
  Clear();
}

void TImageList::SetHeight(Integer Value) {
  Value = std::max<Integer>(Value, 1);
  if (Value == FHeight) return;
  FHeight = Value;
  Clear();
}

void TImageList::SetBkColor(TColor Value) {
  if (Value != FBkColor) FBkColor = Value, Changed();
}

Integer TImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Empty()) return -1;
  Integer first = Count();
  Integer pieces = std::max<Integer>(1, Image->Width() / FWidth);
  for (Integer i = 0; i < pieces; ++i) {
    auto entry = std::make_unique<TEntry>();
    entry->Image = Piece(Image, i * FWidth, FWidth, FHeight, pf32bit);
    if (Mask && !Mask->Empty()) {
      TBitmap mono(FWidth, FHeight, pf1bit);
      mono.Canvas()->Brush()->SetColor(clBlack);
      mono.Canvas()->FillRect({0, 0, FWidth, FHeight});
      BitBlt(mono.Canvas(), 0, 0, FWidth, FHeight, Mask->Canvas(), i * FWidth, 0, SRCCOPY);
      entry->Mask = std::make_unique<TBitmap>();
      entry->Mask->Assign(&mono);
    } else {
      entry->Mask = std::make_unique<TBitmap>(FWidth, FHeight, pf1bit);
      entry->Mask->Canvas()->Brush()->SetColor(clBlack);
      entry->Mask->Canvas()->FillRect({0, 0, FWidth, FHeight});
    }
    FImages.push_back(std::move(entry));
  }
  Changed();
  return first;
}

Integer TImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  TColor key = MaskColor == clDefault ? Image->PixelColor(0, Image->Height() - 1) : MaskColor;
  std::unique_ptr<TBitmap> mask = Image->CreateMask(key);
  return Add(Image, mask.get());
}

void TImageList::Replace(Integer Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(u"Invalid image list index");
  TImageList temp(nullptr);
  temp.FWidth = FWidth, temp.FHeight = FHeight;
  if (temp.Add(Image, Mask) < 0) return;
  FImages[static_cast<size_t>(Index)] = std::move(temp.FImages.front());
  Changed();
}

void TImageList::Delete(Integer Index) {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(u"Invalid image list index");
  FImages.erase(FImages.begin() + Index);
  Changed();
}

void TImageList::Clear() {
  if (FImages.empty()) return;
  FImages.clear();
  Changed();
}

void TImageList::GetBitmap(Integer Index, TBitmap* Image) {
  if (!Image) return;
  if (Index < 0 || Index >= Count()) throw EInvalidOperation(u"Invalid image list index");
  Image->SetSize(FWidth, FHeight);
  Image->Canvas()->Brush()->SetColor(FBkColor == clNone ? clWhite : FBkColor);
  Image->Canvas()->FillRect({0, 0, FWidth, FHeight});
  Draw(Image->Canvas(), 0, 0, Index, true);
}

void TImageList::Draw(TCanvas* Canvas, Integer X, Integer Y, Integer Index, bool Enabled) {
  if (!Canvas || Index < 0 || Index >= Count()) return;
  TEntry& e = *FImages[static_cast<size_t>(Index)];
  if (FBkColor != clNone) {
    TBrush saved;
    saved.Assign(Canvas->Brush());
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FBkColor);
    FillRect(Canvas->Handle(), Bounds(X, Y, FWidth, FHeight), Canvas->Brush()->Handle());
    Canvas->Brush()->Assign(&saved);
  }
  if (Enabled) {
    // Destination AND mask, then OR the image with its transparent pixels black.
    TBitmap image;
    image.Assign(e.Image.get());
    {
      TBitmap inverted(FWidth, FHeight, pf32bit);
      BitBlt(inverted.Canvas(), 0, 0, FWidth, FHeight, e.Mask->Canvas(), 0, 0, NOTSRCCOPY);
      BitBlt(image.Canvas(), 0, 0, FWidth, FHeight, inverted.Canvas(), 0, 0, SRCAND);
    }
    HDC dc = Canvas->Handle();
    TColor text = ::SetTextColor(dc, clBlack), bk = ::SetBkColor(dc, clWhite);
    BitBlt(dc, X, Y, FWidth, FHeight, e.Mask->Canvas(), 0, 0, SRCAND);
    BitBlt(dc, X, Y, FWidth, FHeight, image.Canvas(), 0, 0, SRCPAINT);
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, bk);
    return;
  }
  // Disabled: the shape (opaque pixels that are not white) embossed.
  TBitmap shape(FWidth, FHeight, pf1bit);
  for (Integer y = 0; y < FHeight; ++y)
    for (Integer x = 0; x < FWidth; ++x) {
      bool transparent = e.Mask->PixelColor(x, y) == clWhite;
      bool white = e.Image->PixelColor(x, y) == clWhite;
      shape.Canvas()->SetPixels(x, y, transparent || white ? clWhite : clBlack);
    }
  PaintMasked(Canvas, X + 1, Y + 1, &shape, clBtnHighlight);
  PaintMasked(Canvas, X, Y, &shape, clBtnShadow);
}
