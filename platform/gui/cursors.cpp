// Cursors by handle: the standard shapes and shapes drawn by the program.
#include "platform/gui/cursors.h"

#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <map>

#include "platform/gui/bitmap.h"
#include "platform/gui/sysmetrics.h"
#include "platform/gui/windowing.h"
#include "platform/gui/windowsystem_internal.h"

namespace {

struct TCursorRec {
  Integer Id = 0;
  QCursor Shape;
};
std::map<HCURSOR, TCursorRec> GCursors;
HCURSOR GNextCursor = 0x100;
HWND GCursorWnd = 0;
HCURSOR GCurrentCursor = 0;

}  // namespace

void SetCursorWindow(HWND Wnd) { GCursorWnd = Wnd; }

void ForgetCursorWindow(HWND Wnd) {
  if (GCursorWnd == Wnd) GCursorWnd = 0;
}

HCURSOR LoadCursor(Integer Id) {
  for (auto& [h, c] : GCursors)
    if (c.Id == Id) return h;
  Qt::CursorShape shape;
  switch (Id) {
    case IDC_ARROW: shape = Qt::ArrowCursor; break;
    case IDC_IBEAM: shape = Qt::IBeamCursor; break;
    case IDC_WAIT: case IDC_SQLWAIT: shape = Qt::WaitCursor; break;
    case IDC_CROSS: shape = Qt::CrossCursor; break;
    case IDC_UPARROW: shape = Qt::UpArrowCursor; break;
    case IDC_SIZENWSE: shape = Qt::SizeFDiagCursor; break;
    case IDC_SIZENESW: shape = Qt::SizeBDiagCursor; break;
    case IDC_SIZEWE: shape = Qt::SizeHorCursor; break;
    case IDC_SIZENS: shape = Qt::SizeVerCursor; break;
    case IDC_SIZEALL: shape = Qt::SizeAllCursor; break;
    case IDC_NO: case IDC_NODROP: shape = Qt::ForbiddenCursor; break;
    case IDC_HAND: shape = Qt::PointingHandCursor; break;
    case IDC_APPSTARTING: shape = Qt::BusyCursor; break;
    case IDC_HELP: shape = Qt::WhatsThisCursor; break;
    case IDC_DRAG: case IDC_MULTIDRAG: shape = Qt::DragMoveCursor; break;
    case IDC_HSPLIT: shape = Qt::SplitVCursor; break;
    case IDC_VSPLIT: shape = Qt::SplitHCursor; break;
    default: return 0;
  }
  HCURSOR h = GNextCursor++;
  GCursors[h] = TCursorRec{Id, QCursor(shape)};
  return h;
}

HCURSOR CreateCursorFromBitmap(TBitmap* Image, TBitmap* Mask, Integer HotX, Integer HotY) {
  if (!Image || Image->Empty()) return 0;
  EnsureGuiRuntime();
  Integer w = Image->Width(), h = Image->Height();
  QImage img(w, h, QImage::Format_ARGB32);
  TColor transparent = Image->TransparentColor();
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x) {
      TColor c = Image->PixelColor(x, y);
      bool clear = Mask ? (Mask->PixelColor(x, y) & 0xFFFFFF) == 0xFFFFFF : c == transparent;
      uint argb = clear ? 0u : (0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
      img.setPixel(x, y, argb);
    }
  HCURSOR hc = GNextCursor++;
  GCursors[hc] = TCursorRec{0, QCursor(QPixmap::fromImage(img), HotX, HotY)};
  return hc;
}

bool DestroyCursor(HCURSOR Cursor) {
  auto it = GCursors.find(Cursor);
  if (it == GCursors.end() || it->second.Id != 0) return false;
  GCursors.erase(it);
  return true;
}

HCURSOR SetCursor(HCURSOR Cursor) {
  HCURSOR old = GCurrentCursor;
  GCurrentCursor = Cursor;
  HWND w = GetCapture() ? GetCapture() : GCursorWnd;
  if (auto* widget = static_cast<QWidget*>(NativeWidgetOf(w))) {
    auto it = GCursors.find(Cursor);
    if (it == GCursors.end()) widget->setCursor(Qt::BlankCursor);
    else widget->setCursor(it->second.Shape);
  }
  return old;
}

HCURSOR GetCursor() { return GCurrentCursor; }

Integer CursorId(HCURSOR Cursor) {
  auto it = GCursors.find(Cursor);
  return it == GCursors.end() ? 0 : it->second.Id;
}


// ---- Shapes ---------------------------------------------------------------------------------

namespace {

// Every standard cursor is drawn in a cell of this size.
constexpr Integer StandardCursorSize = 32;

// Our own shapes of the standard cursors: where the hot spot lies and which
// rows the shape draws. An inverting shape draws through the XOR plane only.
struct TStandardShape {
  Integer Id;
  Integer HotX, HotY;
  Integer FirstRow, LastRow;
  bool Inverts;
};

constexpr TStandardShape StandardShapes[] = {
    {IDC_ARROW, 0, 0, 0, 19, false},      {IDC_IBEAM, 15, 15, 6, 24, true},
    {IDC_WAIT, 15, 15, 4, 27, false},     {IDC_SQLWAIT, 15, 15, 4, 27, false},
    {IDC_CROSS, 15, 15, 4, 26, true},     {IDC_UPARROW, 15, 0, 0, 22, false},
    {IDC_SIZENWSE, 15, 15, 5, 25, false}, {IDC_SIZENESW, 15, 15, 5, 25, false},
    {IDC_SIZEWE, 15, 15, 10, 20, false},  {IDC_SIZENS, 15, 15, 4, 26, false},
    {IDC_SIZEALL, 15, 15, 4, 26, false},  {IDC_NO, 15, 15, 5, 25, false},
    {IDC_NODROP, 15, 15, 5, 25, false},   {IDC_HAND, 5, 0, 0, 21, false},
    {IDC_APPSTARTING, 0, 0, 0, 24, false}, {IDC_HELP, 0, 0, 0, 24, false},
    {IDC_DRAG, 0, 0, 0, 28, false},       {IDC_MULTIDRAG, 0, 0, 0, 28, false},
    {IDC_HSPLIT, 15, 15, 6, 24, false},   {IDC_VSPLIT, 15, 15, 8, 22, false},
};

void SetMaskBit(TCursorShape& Shape, Integer Plane, Integer X, Integer Y, bool Value) {
  const std::size_t At = static_cast<std::size_t>((Plane * Shape.Height + Y) * Shape.RowBytes() + X / 8);
  const Byte Bit = static_cast<Byte>(0x80 >> (X % 8));
  Shape.Mask[At] = Value ? static_cast<Byte>(Shape.Mask[At] | Bit) : static_cast<Byte>(Shape.Mask[At] & ~Bit);
}

// Both planes, transparent throughout.
void ClearShape(TCursorShape& Shape, Integer Width, Integer Height, TPoint HotSpot) {
  Shape.Width = Width;
  Shape.Height = Height;
  Shape.HotSpot = HotSpot;
  const std::size_t Plane = static_cast<std::size_t>(Height * Shape.RowBytes());
  Shape.Mask.assign(2 * Plane, 0);
  std::fill(Shape.Mask.begin(), Shape.Mask.begin() + static_cast<std::ptrdiff_t>(Plane), Byte(0xFF));
}

bool StandardShape(Integer Id, TCursorShape& Shape) {
  for (const TStandardShape& S : StandardShapes) {
    if (S.Id != Id) continue;
    ClearShape(Shape, StandardCursorSize, StandardCursorSize, TPoint{S.HotX, S.HotY});
    // A stroke down the hot spot's column stands for the drawn rows.
    for (Integer Y = S.FirstRow; Y <= S.LastRow; ++Y) {
      if (S.Inverts)
        SetMaskBit(Shape, 1, S.HotX, Y, true);
      else
        SetMaskBit(Shape, 0, S.HotX, Y, false);
    }
    return true;
  }
  return false;
}

// A drawn cursor: transparent where its picture is; light drawn pixels set
// the XOR plane.
void PictureShape(const QCursor& Cursor, TCursorShape& Shape) {
  const QImage Image = Cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  ClearShape(Shape, Image.width(), Image.height(), TPoint{Cursor.hotSpot().x(), Cursor.hotSpot().y()});
  constexpr Integer LightSum = 3 * 128;
  for (Integer Y = 0; Y < Image.height(); ++Y)
    for (Integer X = 0; X < Image.width(); ++X) {
      const QRgb Pixel = Image.pixel(X, Y);
      if (qAlpha(Pixel) == 0) continue;
      SetMaskBit(Shape, 0, X, Y, false);
      if (qRed(Pixel) + qGreen(Pixel) + qBlue(Pixel) >= LightSum) SetMaskBit(Shape, 1, X, Y, true);
    }
}

// Bytes of one plane up to its last byte that differs from Blank, scanning
// from its end.
Integer BytesToLastDrawn(const TCursorShape& Shape, Integer Plane, Byte Blank) {
  const Integer Size = Shape.Height * Shape.RowBytes();
  const Byte* Start = Shape.Mask.data() + static_cast<std::ptrdiff_t>(Plane) * Size;
  Integer Count = Size;
  while (Count > 0 && Start[Count - 1] == Blank) --Count;
  return Count;
}

}  // namespace

bool GetCursorShape(HCURSOR Cursor, TCursorShape& Shape) {
  auto It = GCursors.find(Cursor);
  if (It == GCursors.end()) return false;
  if (It->second.Id != 0) return StandardShape(It->second.Id, Shape);
  PictureShape(It->second.Shape, Shape);
  return true;
}

Integer CursorShapeHeightBelowHotSpot(const TCursorShape& Shape) {
  const Integer Row = Shape.RowBytes();
  if (Shape.Width <= 0 || Shape.Height <= 0 || static_cast<Integer>(Shape.Mask.size()) < Shape.Height * Row) return 0;
  Integer Bytes = BytesToLastDrawn(Shape, 0, 0xFF);
  if (Bytes == 0 && Shape.HasXorPlane()) Bytes = BytesToLastDrawn(Shape, 1, 0x00);
  // Rows from the top down to the last drawn one, that row counted whole.
  const Integer Rows = (Bytes + Row - 1) / Row;
  return std::max<Integer>(0, Rows - Shape.HotSpot.Y);
}

Integer CurrentCursorHeightBelowHotSpot() {
  TCursorShape Shape;
  if (!GetCursorShape(GetCursor(), Shape)) return GetSystemMetrics(SM_CYCURSOR);
  return CursorShapeHeightBelowHotSpot(Shape);
}
