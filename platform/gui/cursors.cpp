// Cursors by handle: the standard shapes and shapes drawn by the program.
#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <map>

#include "platform/gui/bitmap.h"
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

