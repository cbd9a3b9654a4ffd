#include "platform/gui/graphics.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QTextLayout>
#include <QTextOption>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>

#include "platform/gui/bitmap.h"
#include "platform/gui/translations.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

// ---- Runtime -----------------------------------------------------------------------------

void EnsureGuiRuntime() {
  if (QCoreApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "korvane";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives as long as the process
  LoadDesktopTranslations();  // the desktop's dialogs in the user's language
}

namespace {

// 0x00BBGGRR (system colours resolved) -> 0xFFRRGGBB.
Cardinal ToRgb(TColor c) {
  Cardinal v = static_cast<Cardinal>(ColorToRGB(c)) & 0xFFFFFFu;
  return 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

TColor FromRgb(Cardinal v) {
  return RGB(static_cast<Byte>((v >> 16) & 0xFF), static_cast<Byte>((v >> 8) & 0xFF), static_cast<Byte>(v & 0xFF));
}

QString ToQ(const String& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }
QString ToQ(const Char* s, Integer count) {
  return s && count > 0 ? QString::fromUtf16(s, count) : QString();
}

QRect ToQRect(const TRect& r) {
  if (IsRectEmpty(r)) return {};
  return QRect(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace

// ---- Pens, brushes, fonts -------------------------------------------------------------

void TGraphicsObject::Changed() { OnChange(this); }

void TPen::SetColor(TColor Value) {
  if (FColor != Value) FColor = Value, Changed();
}
void TPen::SetWidth(Integer Value) {
  Value = std::max<Integer>(Value, 0);
  if (FWidth != Value) FWidth = Value, Changed();
}
void TPen::SetStyle(TPenStyle Value) {
  if (FStyle != Value) FStyle = Value, Changed();
}
void TPen::SetMode(TPenMode Value) {
  if (FMode != Value) FMode = Value, Changed();
}
void TPen::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPen*>(Source)) {
    FColor = p->FColor, FWidth = p->FWidth, FStyle = p->FStyle, FMode = p->FMode;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

namespace {

TBrushPattern PatternOf(TBitmap* Bitmap) {
  TBrushPattern pattern;
  if (!Bitmap || Bitmap->Empty()) return pattern;
  pattern.Width = Bitmap->Width();
  pattern.Height = Bitmap->Height();
  pattern.Mono = Bitmap->Monochrome();
  Integer stride = 0;
  const Cardinal* bits = Bitmap->PixelData(stride);
  for (Integer y = 0; y < pattern.Height; ++y) {
    auto* row = reinterpret_cast<const Cardinal*>(reinterpret_cast<const Byte*>(bits) + y * stride);
    for (Integer x = 0; x < pattern.Width; ++x) {
      Cardinal v = row[x] & 0xFFFFFFu;
      pattern.Pixels.push_back(pattern.Mono ? (v == 0xFFFFFFu ? 1u : 0u) : static_cast<Cardinal>(FromRgb(v)));
    }
  }
  return pattern;
}

}  // namespace

HBRUSH CreateSolidBrush(TColor Color) {
  auto* b = new TBrushObject;
  b->Color = Color;
  return b;
}

HBRUSH CreatePatternBrush(TBitmap* Bitmap) {
  auto* b = new TBrushObject;
  b->Pattern = PatternOf(Bitmap);
  return b;
}

HBRUSH GetSysColorBrush(Integer Index) {
  static std::array<TBrushObject, SysColorCount> brushes = [] {
    std::array<TBrushObject, SysColorCount> a{};
    for (Integer i = 0; i < SysColorCount; ++i) {
      a[static_cast<size_t>(i)].Color = SysColor(i);
      a[static_cast<size_t>(i)].SystemOwned = true;
    }
    return a;
  }();
  if (Index < 0 || Index >= SysColorCount) return nullptr;
  return &brushes[static_cast<size_t>(Index)];
}

bool DeleteObject(HBRUSH Brush) {
  if (!Brush) return false;
  if (!Brush->SystemOwned) delete Brush;
  return true;
}

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::SetColor(TColor Value) {
  if (FData.Color == Value) return;
  FData.Color = Value;
  if (FData.Style == bsClear) FData.Style = bsSolid;
  FHandle.reset();
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (FData.Style == Value) return;
  FData.Style = Value;
  FHandle.reset();
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  FBitmap = Value;
  FData.Pattern = PatternOf(Value);
  FHandle.reset();
  Changed();
}

HBRUSH TBrush::Handle() {
  if (!FHandle) FHandle = std::make_unique<TBrushObject>(FData), FHandle->SystemOwned = true;
  return FHandle.get();
}

void TBrush::SetHandle(HBRUSH Value) {
  if (!Value) return;
  FData = *Value;
  FData.SystemOwned = false;
  FBitmap = nullptr;
  FHandle.reset();
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBrush*>(Source)) {
    FData = b->FData;
    FBitmap = b->FBitmap;
    FHandle.reset();
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

namespace {

const char* const kCjkFamily = "WenQuanYi Micro Hei";

String LowerAscii(String s) {
  for (Char& c : s)
    if (c >= u'A' && c <= u'Z') c = static_cast<Char>(c - u'A' + u'a');
  return s;
}

}  // namespace

String MapFontName(const String& Name) {
  struct TEntry {
    const char16_t* Name;
    const char16_t* Family;
  };
  static const TEntry kMap[] = {
      {u"宋体", u"WenQuanYi Micro Hei"},          {u"新宋体", u"WenQuanYi Micro Hei"},
      {u"黑体", u"WenQuanYi Micro Hei"},          {u"楷体", u"WenQuanYi Micro Hei"},
      {u"楷体_gb2312", u"WenQuanYi Micro Hei"},   {u"仿宋", u"WenQuanYi Micro Hei"},
      {u"仿宋_gb2312", u"WenQuanYi Micro Hei"},   {u"微软雅黑", u"WenQuanYi Micro Hei"},
      {u"simsun", u"WenQuanYi Micro Hei"},        {u"nsimsun", u"WenQuanYi Micro Hei"},
      {u"simhei", u"WenQuanYi Micro Hei"},        {u"microsoft yahei", u"WenQuanYi Micro Hei"},
      {u"ms sans serif", u"DejaVu Sans"},         {u"microsoft sans serif", u"DejaVu Sans"},
      {u"ms shell dlg", u"DejaVu Sans"},          {u"ms shell dlg 2", u"DejaVu Sans"},
      {u"tahoma", u"DejaVu Sans"},                {u"arial", u"DejaVu Sans"},
      {u"verdana", u"DejaVu Sans"},               {u"segoe ui", u"DejaVu Sans"},
      {u"system", u"DejaVu Sans"},                {u"ms serif", u"DejaVu Serif"},
      {u"times new roman", u"DejaVu Serif"},      {u"courier new", u"DejaVu Sans Mono"},
      {u"courier", u"DejaVu Sans Mono"},          {u"lucida console", u"DejaVu Sans Mono"},
      {u"fixedsys", u"DejaVu Sans Mono"},         {u"terminal", u"DejaVu Sans Mono"},
  };
  String key = LowerAscii(Name);
  for (const TEntry& e : kMap)
    if (key == e.Name) return e.Family;
  return Name.empty() ? String(u"DejaVu Sans") : Name;
}

void TFont::SetName(const String& Value) {
  if (FName != Value) FName = Value, Changed();
}
void TFont::SetHeight(Integer Value) {
  if (FHeight != Value) FHeight = Value, Changed();
}
Integer TFont::Size() const {
  return -static_cast<Integer>(std::lround(FHeight * 72.0 / PixelsPerInch));
}
void TFont::SetSize(Integer Value) { SetHeight(-static_cast<Integer>(std::lround(Value * PixelsPerInch / 72.0))); }
void TFont::SetStyle(TFontStyles Value) {
  if (FStyle != Value) FStyle = Value, Changed();
}
void TFont::SetColor(TColor Value) {
  if (FColor != Value) FColor = Value, Changed();
}
void TFont::SetCharset(TFontCharset Value) {
  if (FCharset != Value) FCharset = Value, Changed();
}
void TFont::SetPitch(TFontPitch Value) {
  if (FPitch != Value) FPitch = Value, Changed();
}
void TFont::SetOrientation(Integer Value) {
  if (FOrientation != Value) FOrientation = Value, Changed();
}
bool IsOutlineFont(const TFont& AFont) {
  const QString family = ToQ(MapFontName(AFont.Name()));
  return QFontDatabase::families().contains(family, Qt::CaseInsensitive) &&
         QFontDatabase::isSmoothlyScalable(family);
}

bool TFont::SameAs(const TFont& o) const {
  return FName == o.FName && FHeight == o.FHeight && FStyle == o.FStyle && FColor == o.FColor &&
         FCharset == o.FCharset && FPitch == o.FPitch && FOrientation == o.FOrientation;
}
void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    if (f == this) return;
    FName = f->FName, FHeight = f->FHeight, FStyle = f->FStyle, FColor = f->FColor;
    FCharset = f->FCharset, FPitch = f->FPitch, FOrientation = f->FOrientation;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

namespace {

QFont MakeQFont(const TFont& f) {
  EnsureGuiRuntime();
  QString family = ToQ(MapFontName(f.Name()));
  QFont q(family);
  q.setFamilies({family, QString::fromLatin1(kCjkFamily)});
  Integer h = std::abs(f.Height());
  if (f.Height() > 0) h = std::max<Integer>(1, h * 4 / 5);  // cell height -> character height
  q.setPixelSize(h == 0 ? 11 : h);
  q.setBold((f.Style() & fsBold) != 0);
  q.setItalic((f.Style() & fsItalic) != 0);
  q.setUnderline((f.Style() & fsUnderline) != 0);
  q.setStrikeOut((f.Style() & fsStrikeOut) != 0);
  q.setKerning(false);
  q.setHintingPreference(QFont::PreferFullHinting);
  if (f.Pitch() == fpFixed) q.setFixedPitch(true);
  return q;
}

}  // namespace

// ---- TGraphic ----------------------------------------------------------------------------

void TGraphic::SetTransparent(bool Value) {
  if (FTransparent != Value) FTransparent = Value, Changed();
}
void TGraphic::Changed() { OnChange(this); }
void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead);
  LoadFromStream(&stream);
}
void TGraphic::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

// ---- Canvas state ------------------------------------------------------------------------

struct TDCState {
  TColor TextColor = clBlack;
  TColor BkColor = clWhite;
  Integer BkMode = OPAQUE;
  Cardinal TextAlign = TA_LEFT | TA_TOP;
  QPoint WindowOrg;
  QPoint ViewportOrg;
  bool HasClip = false;
  QRegion Clip;  // device coordinates
};

class TCanvasState {
public:
  TBitmap* Target = nullptr;
  TDCState DC;
  std::vector<TDCState> Saved;
  Integer JustifyExtra = 0;
  Integer JustifyCount = 0;
  bool FontCached = false;
  QFont Font;
  // What Font was made from: a change of colour or angle alone keeps Font,
  // its metrics and the last shaped line.
  struct TFontLook {
    String Name;
    Integer Height = 0;
    TFontStyles Style = 0;
    TFontPitch Pitch = fpDefault;
    friend bool operator==(const TFontLook&, const TFontLook&) = default;
  };
  std::optional<TFontLook> FontMadeFrom;
  // The last line shaped in Font: measuring a line and drawing it shape it
  // once. Dropped with the font.
  std::unique_ptr<QTextLayout> Shaped;
  std::unique_ptr<QFontMetrics> Metrics;  // of Font
  // A painter kept open on the target's pixels from one text drawing call to
  // the next: opening a painter costs about as much as drawing a short line.
  // It is reopened when the pixels move or change shape, and closed with a
  // new target. The image wraps the bitmap's pixels without owning them and
  // is declared first, so that the painter ends before it goes.
  QImage TextImage;
  std::unique_ptr<QPainter> TextPainter;

  void CloseTextPainter() {
    TextPainter.reset();
    TextImage = QImage();
  }
  // The text painter on the surface's pixels, with the canvas's clip and
  // origin as SetupPainter gives a newly opened painter.
  QPainter& OpenTextPainter(const QImage& surface) {
    if (!TextPainter || TextImage.constBits() != surface.constBits() || TextImage.size() != surface.size() ||
        TextImage.bytesPerLine() != surface.bytesPerLine()) {
      CloseTextPainter();
      // An image of its own over the same pixels (a shared copy would be
      // detached by the painter, which would then draw into a copy).
      TextImage = QImage(const_cast<uchar*>(surface.constBits()), surface.width(), surface.height(),
                         surface.bytesPerLine(), surface.format());
      TextPainter = std::make_unique<QPainter>(&TextImage);
      TextPainter->setRenderHint(QPainter::Antialiasing, false);
    } else {
      // Only what a call left changed is reset: each change costs the
      // painter a fresh look at its state.
      if (TextPainter->hasClipping()) TextPainter->setClipping(false);
      if (!TextPainter->transform().isIdentity()) TextPainter->resetTransform();
    }
    if (DC.HasClip) TextPainter->setClipRegion(DC.Clip);
    if (!Offset().isNull()) TextPainter->translate(Offset());
    return *TextPainter;
  }

  QPoint Offset() const { return DC.ViewportOrg - DC.WindowOrg; }
  QPoint ToDevice(Integer x, Integer y) const { return QPoint(x, y) + Offset(); }
  QRect ToDevice(const TRect& r) const { return ToQRect(r).translated(Offset()); }
  QRect ImageRect() const {
    return Target && !Target->Empty() ? QRect(0, 0, Target->Width(), Target->Height()) : QRect();
  }
  // The pixels that may be drawn (device coordinates).
  QRegion DrawArea() const {
    QRegion r(ImageRect());
    return DC.HasClip ? r.intersected(DC.Clip) : r;
  }
};

struct TCanvasAccess {
  static TCanvasState* State(HDC DC) { return DC ? DC->FState.get() : nullptr; }
  static const QFont& Font(HDC DC) {
    TCanvasState* s = DC->FState.get();
    if (!s->FontCached) {
      const TFont& f = *DC->Font();
      TCanvasState::TFontLook look{f.Name(), f.Height(), f.Style(), f.Pitch()};
      if (s->FontMadeFrom != look) {
        s->Font = MakeQFont(f);
        s->Shaped.reset();
        s->Metrics = std::make_unique<QFontMetrics>(s->Font);
        s->FontMadeFrom = std::move(look);
      }
      s->FontCached = true;
    }
    return s->Font;
  }
  // Valid until the canvas font changes.
  static const QFontMetrics& Metrics(HDC DC) {
    Font(DC);
    return *DC->FState->Metrics;
  }
  static void Changing(HDC DC) { DC->Changing(); }
  static void Changed(HDC DC) { DC->Changed(); }
};

namespace {

// Whether a text is one run the shaper lays out as drawing it as a line
// does: no tabs, line breaks or other control characters, which the
// callers place themselves, and a font without lines through or under the
// text, which the layout draws at other heights than a drawn line.
bool IsPlainLine(const QFont& font, const QString& text) {
  if (font.underline() || font.strikeOut() || font.overline()) return false;
  for (QChar c : text)
    if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029) return false;
  return !text.isEmpty();
}

// The canvas font's shaping of a plain line (see IsPlainLine), left to right
// as the painter draws a line; kept until another line is shaped or the font
// changes, so that a line measured and then drawn is shaped once.
const QTextLayout& ShapedLine(HDC DC, const QString& text) {
  TCanvasState* s = TCanvasAccess::State(DC);
  const QFont& font = TCanvasAccess::Font(DC);
  if (!s->Shaped) {
    s->Shaped = std::make_unique<QTextLayout>(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    s->Shaped->setTextOption(option);
    s->Shaped->setCacheEnabled(true);
  } else if (s->Shaped->text() != text || s->Shaped->lineCount() == 0) {
    s->Shaped->setText(text);
  } else {
    return *s->Shaped;
  }
  s->Shaped->beginLayout();
  s->Shaped->createLine();
  s->Shaped->endLayout();
  return *s->Shaped;
}

// The advance of a plain line, as the font metrics give it for the text.
Integer ShapedWidth(const QTextLayout& layout) { return qRound(layout.lineAt(0).horizontalAdvance()); }

// Draws a shaped line with its baseline at the point.
void DrawShaped(QPainter& p, const QTextLayout& layout, QPoint baseline) {
  layout.draw(&p, QPointF(baseline.x(), baseline.y() - layout.lineAt(0).ascent()));
}

// The width of a line of text in the canvas font.
Integer LineAdvance(HDC DC, const QFontMetrics& fm, const QString& text) {
  return IsPlainLine(TCanvasAccess::Font(DC), text) ? ShapedWidth(ShapedLine(DC, text)) : fm.horizontalAdvance(text);
}

// A writable view of the canvas's bitmap for the length of one drawing call.
class TSurface {
public:
  explicit TSurface(HDC DC) : FDC(DC) {
    TCanvasState* s = TCanvasAccess::State(DC);
    if (!s || !s->Target || s->Target->Empty()) return;
    TCanvasAccess::Changing(DC);
    Integer stride = 0;
    Cardinal* bits = s->Target->BeginDraw(stride);
    if (!bits) return;
    Image = QImage(reinterpret_cast<uchar*>(bits), s->Target->Width(), s->Target->Height(), stride,
                   QImage::Format_RGB32);
    Area = s->DrawArea();
  }
  ~TSurface() {
    if (Image.isNull()) return;
    TCanvasAccess::State(FDC)->Target->EndDraw();
    TCanvasAccess::Changed(FDC);
  }
  TSurface(const TSurface&) = delete;
  TSurface& operator=(const TSurface&) = delete;
  bool Valid() const { return !Image.isNull(); }
  Cardinal* Pixel(int x, int y) { return reinterpret_cast<Cardinal*>(Image.scanLine(y)) + x; }

  QImage Image;
  QRegion Area;

private:
  HDC FDC;
};

// A painter on the surface with the canvas's clip and origin.
void SetupPainter(QPainter& p, TCanvasState* s) {
  if (s->DC.HasClip) p.setClipRegion(s->DC.Clip);
  p.translate(s->Offset());
  p.setRenderHint(QPainter::Antialiasing, false);
}

// Binary raster operation of a pen mode on pen colour P and destination D.
Cardinal Rop2(TPenMode mode, Cardinal P, Cardinal D) {
  switch (mode) {
    case pmBlack: return 0;
    case pmWhite: return 0xFFFFFF;
    case pmNop: return D;
    case pmNot: return ~D;
    case pmCopy: return P;
    case pmNotCopy: return ~P;
    case pmMergePenNot: return P | ~D;
    case pmMaskPenNot: return P & ~D;
    case pmMergeNotPen: return ~P | D;
    case pmMaskNotPen: return ~P & D;
    case pmMerge: return P | D;
    case pmNotMerge: return ~(P | D);
    case pmMask: return P & D;
    case pmNotMask: return ~(P & D);
    case pmXor: return P ^ D;
    case pmNotXor: return ~(P ^ D);
  }
  return P;
}

// Ternary raster operation: bit (p << 2 | s << 1 | d) of the code's third
// byte is the result for those input bits.
Cardinal Rop3(Cardinal rop, Cardinal P, Cardinal S, Cardinal D) {
  switch (rop) {
    case SRCCOPY: return S;
    case PATCOPY: return P;
    case DSTINVERT: return ~D;
    case BLACKNESS: return 0;
    case WHITENESS: return 0xFFFFFF;
    default: break;
  }
  Cardinal code = (rop >> 16) & 0xFF, r = 0;
  for (Cardinal i = 0; i < 8; ++i)
    if (code & (1u << i)) r |= ((i & 4) ? P : ~P) & ((i & 2) ? S : ~S) & ((i & 1) ? D : ~D);
  return r;
}

bool UsesPattern(Cardinal rop) { return (((rop >> 16) ^ (rop >> 20)) & 0x0F) != 0; }
bool UsesSource(Cardinal rop) { return (((rop >> 18) ^ (rop >> 16)) & 0x33) != 0; }

// What a brush paints at a device pixel.
struct TBrushSource {
  TBrushStyle Style = bsSolid;
  Cardinal Color = 0;
  const TBrushPattern* Pattern = nullptr;
  Cardinal Text = 0, Bk = 0xFFFFFF;
  bool OpaqueBk = true;

  TBrushSource(const TBrushObject& b, const TDCState& dc) {
    Style = b.Style;
    Color = ToRgb(b.Color) & 0xFFFFFF;
    Pattern = b.Pattern.Empty() ? nullptr : &b.Pattern;
    Text = ToRgb(dc.TextColor) & 0xFFFFFF;
    Bk = ToRgb(dc.BkColor) & 0xFFFFFF;
    OpaqueBk = dc.BkMode != TRANSPARENT;
  }
  bool Paints() const { return Style != bsClear || Pattern; }
  // False when the pixel is left as it is (hatch gaps over a transparent background).
  bool At(int x, int y, Cardinal& out) const {
    if (Pattern) {
      int px = ((x % Pattern->Width) + Pattern->Width) % Pattern->Width;
      int py = ((y % Pattern->Height) + Pattern->Height) % Pattern->Height;
      Cardinal v = Pattern->Pixels[static_cast<size_t>(py * Pattern->Width + px)];
      out = Pattern->Mono ? (v ? Bk : Text) : ToRgb(static_cast<TColor>(v)) & 0xFFFFFF;
      return true;
    }
    if (Style == bsSolid || Style == bsClear) {
      out = Color;
      return true;
    }
    int mx = ((x % 8) + 8) % 8, my = ((y % 8) + 8) % 8;
    bool h = my == 0, v = mx == 0, f = ((mx - my + 8) % 8) == 0, bd = ((mx + my) % 8) == 7;
    bool line = false;
    switch (Style) {
      case bsHorizontal: line = h; break;
      case bsVertical: line = v; break;
      case bsFDiagonal: line = f; break;
      case bsBDiagonal: line = bd; break;
      case bsCross: line = h || v; break;
      case bsDiagCross: line = f || bd; break;
      default: break;
    }
    if (line) {
      out = Color;
      return true;
    }
    out = Bk;
    return OpaqueBk;
  }
};

// Fills the device area with the brush combined by a pen mode.
void FillArea(TSurface& surf, const QRegion& area, const TBrushSource& brush, TPenMode mode) {
  QRegion target = area.intersected(surf.Area);
  if (!brush.Pattern && brush.Style == bsSolid && mode == pmCopy) {  // the common case, row by row
    for (const QRect& r : target)
      for (int y = r.top(); y <= r.bottom(); ++y) std::fill_n(surf.Pixel(r.left(), y), r.width(), 0xFF000000u | brush.Color);
    return;
  }
  for (const QRect& r : target) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      Cardinal* row = surf.Pixel(0, y);
      for (int x = r.left(); x <= r.right(); ++x) {
        Cardinal p;
        if (!brush.At(x, y, p)) continue;
        row[x] = 0xFF000000u | (Rop2(mode, p, row[x]) & 0xFFFFFF);
      }
    }
  }
}

// Lines of one-pixel pens, end point left out, with the pen's dash pattern.
class TLineDrawer {
public:
  TLineDrawer(TSurface& surf, TCanvasState* s, const TPen& pen) : FSurf(surf), FState(s) {
    FColor = ToRgb(pen.Color()) & 0xFFFFFF;
    FMode = pen.Mode();
    switch (pen.Style()) {
      case psDash: FDashes = {18, 6}; break;
      case psDot: FDashes = {3, 3}; break;
      case psDashDot: FDashes = {9, 6, 3, 6}; break;
      case psDashDotDot: FDashes = {9, 3, 3, 3, 3, 3}; break;
      default: break;
    }
  }
  void Plot(int x, int y) {
    bool on = true;
    if (!FDashes.empty()) {
      int total = 0;
      for (int d : FDashes) total += d;
      int pos = FStep % total, i = 0;
      while (pos >= FDashes[static_cast<size_t>(i)]) pos -= FDashes[static_cast<size_t>(i)], ++i;
      on = (i % 2) == 0;
    }
    ++FStep;
    QPoint d = QPoint(x, y) + FState->Offset();
    if (!on || !FSurf.Area.contains(d)) return;
    Cardinal* px = FSurf.Pixel(d.x(), d.y());
    *px = 0xFF000000u | (Rop2(FMode, FColor, *px) & 0xFFFFFF);
  }
  // Bresenham from (x0, y0) to (x1, y1), the last point excluded.
  void Line(int x0, int y0, int x1, int y1) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
    while (x0 != x1 || y0 != y1) {
      Plot(x0, y0);
      int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }

private:
  TSurface& FSurf;
  TCanvasState* FState;
  Cardinal FColor = 0;
  TPenMode FMode = pmCopy;
  std::vector<int> FDashes;
  int FStep = 0;
};

QPainter::CompositionMode CompositionOf(TPenMode mode) {
  switch (mode) {
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
  }
}

QColor QColorOf(Cardinal rgb) { return QColor::fromRgb(rgb | 0xFF000000u); }

// Painter pen and brush for shapes drawn through Qt (ellipses, polygons,
// rounded rectangles).
void SetupShapePainter(QPainter& p, TCanvasState* s, const TPen& pen, const TBrush& brushObj, bool fill) {
  SetupPainter(p, s);
  p.setCompositionMode(CompositionOf(pen.Mode()));
  Cardinal penColor = pen.Mode() == pmBlack ? 0 : pen.Mode() == pmWhite ? 0xFFFFFF : ToRgb(pen.Color());
  if (pen.Style() == psClear || pen.Mode() == pmNop) {
    p.setPen(Qt::NoPen);
  } else {
    QPen qp(QColorOf(penColor));
    qp.setWidth(std::max<Integer>(pen.Width(), 1) == 1 ? 0 : pen.Width());
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine};
    qp.setStyle(styles[pen.Style()]);
    p.setPen(qp);
  }
  const TBrushPattern& pat = brushObj.Pattern();
  if (!fill || (brushObj.Style() == bsClear && pat.Empty())) {
    p.setBrush(Qt::NoBrush);
    return;
  }
  if (!pat.Empty()) {
    TBrushObject obj;
    obj.Pattern = pat;
    TBrushSource src(obj, s->DC);
    QImage tile(pat.Width, pat.Height, QImage::Format_RGB32);
    for (int y = 0; y < pat.Height; ++y)
      for (int x = 0; x < pat.Width; ++x) {
        Cardinal v = 0;
        src.At(x, y, v);
        tile.setPixel(x, y, v | 0xFF000000u);
      }
    p.setBrush(QBrush(tile));
    p.setBrushOrigin(-s->Offset());
    return;
  }
  static const Qt::BrushStyle hatches[] = {Qt::SolidPattern, Qt::NoBrush,     Qt::HorPattern,  Qt::VerPattern,
                                           Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
  p.setBrush(QBrush(QColorOf(ToRgb(brushObj.Color())), hatches[brushObj.Style()]));
  if (brushObj.Style() != bsSolid && s->DC.BkMode == OPAQUE) {
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(QColorOf(ToRgb(s->DC.BkColor)));
  }
}

// Reads a source pixel for blits: monochrome sources give the destination's
// text colour for 0 and background colour for 1.
struct TSourceReader {
  const Cardinal* Bits = nullptr;
  Integer Stride = 0;
  Integer Width = 0, Height = 0;
  bool Mono = false;
  Cardinal Text = 0, Bk = 0xFFFFFF;

  Cardinal At(int x, int y) const {
    Cardinal v = reinterpret_cast<const Cardinal*>(reinterpret_cast<const Byte*>(Bits) + y * Stride)[x] & 0xFFFFFF;
    if (Mono) return v == 0xFFFFFF ? Bk : Text;
    return v;
  }
};

}  // namespace

// ---- TCanvas -----------------------------------------------------------------------------

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()),
      FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>()),
      FState(std::make_unique<TCanvasState>()) {
  FFont->OnChange = MakeEvent(this, &TCanvas::FontChanged);
  FBrush->OnChange = MakeEvent(this, &TCanvas::BrushChanged);
  FPen->OnChange = MakeEvent(this, &TCanvas::PenChanged);
}

TCanvas::TCanvas(TBitmap* ATarget) : TCanvas() { FState->Target = ATarget; }

TCanvas::~TCanvas() = default;

TBitmap* TCanvas::Target() const { return FState->Target; }

void TCanvas::SetTarget(TBitmap* ATarget) {
  FState->CloseTextPainter();
  FState->Target = ATarget;
  FState->DC = TDCState{};
  FState->Saved.clear();
  FState->JustifyExtra = FState->JustifyCount = 0;
  FFontValid = FBrushValid = false;
}

void TCanvas::SetFont(TFont* Value) { FFont->Assign(Value); }
void TCanvas::SetPen(TPen* Value) { FPen->Assign(Value); }
void TCanvas::SetBrush(TBrush* Value) { FBrush->Assign(Value); }

void TCanvas::FontChanged(TObject*) {
  FState->FontCached = false;
  FFontValid = false;
}
void TCanvas::BrushChanged(TObject*) { FBrushValid = false; }
void TCanvas::PenChanged(TObject*) {}

void TCanvas::Changing() { OnChanging(this); }
void TCanvas::Changed() { OnChange(this); }

// The canvas's own text and fill calls take the font colour as text colour
// and the brush as background (transparent for a clear brush) when either
// changed since; calls through the handle use what the context holds.
void TCanvas::Realize() {
  if (!FFontValid) {
    FState->DC.TextColor = FFont->Color();
    FFontValid = true;
  }
  if (!FBrushValid) {
    FState->DC.BkColor = FBrush->Color();
    FState->DC.BkMode = FBrush->Style() == bsSolid ? OPAQUE : TRANSPARENT;
    FBrushValid = true;
  }
}

TColor TCanvas::Pixels(Integer X, Integer Y) const {
  QPoint d = FState->ToDevice(X, Y);
  if (!FState->DrawArea().contains(d)) return -1;
  return FState->Target->PixelColor(d.x(), d.y());
}

void TCanvas::SetPixels(Integer X, Integer Y, TColor Color) { SetPixel(this, X, Y, Color); }

TRect TCanvas::ClipRect() const {
  TRect box;
  GetClipBox(const_cast<TCanvas*>(this), box);
  return box;
}

void TCanvas::FillRect(const TRect& Rect) {
  Realize();
  ::FillRect(this, Rect, FBrush->Handle());
}

void TCanvas::FrameRect(const TRect& Rect) {
  Realize();
  ::FrameRect(this, Rect, FBrush->Handle());
}

void TCanvas::Rectangle(const TRect& Rect) {
  if (IsRectEmpty(Rect)) return;
  Realize();
  TSurface surf(this);
  if (!surf.Valid()) return;
  bool pen = FPen->Style() != psClear && FPen->Mode() != pmNop;
  TBrushSource brush(*FBrush->Handle(), FState->DC);
  if (!pen || FPen->Width() <= 1) {
    QRect inside = pen ? FState->ToDevice({Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1})
                       : FState->ToDevice({Rect.Left, Rect.Top, Rect.Right - 1, Rect.Bottom - 1});
    if (brush.Paints() && !inside.isEmpty()) FillArea(surf, QRegion(inside), brush, FPen->Mode());
    if (pen) {
      TLineDrawer lines(surf, FState.get(), *FPen);
      int l = Rect.Left, t = Rect.Top, r = Rect.Right - 1, b = Rect.Bottom - 1;
      lines.Line(l, t, r, t);
      lines.Line(r, t, r, b);
      lines.Line(r, b, l, b);
      lines.Line(l, b, l, t);
      if (l == r || t == b) lines.Plot(r, b);
    }
    return;
  }
  QPainter p(&surf.Image);
  SetupShapePainter(p, FState.get(), *FPen, *FBrush, true);
  Integer w = FPen->Width();
  p.drawRect(QRectF(Rect.Left + w / 2.0, Rect.Top + w / 2.0, Rect.Width() - w, Rect.Height() - w));
}

void TCanvas::RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) {
  if (X2 <= X1 || Y2 <= Y1) return;
  TSurface surf(this);
  if (!surf.Valid()) return;
  QPainter p(&surf.Image);
  SetupShapePainter(p, FState.get(), *FPen, *FBrush, true);
  p.drawRoundedRect(QRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1), X3 / 2.0, Y3 / 2.0);
}

void TCanvas::Ellipse(const TRect& Rect) {
  if (IsRectEmpty(Rect)) return;
  TSurface surf(this);
  if (!surf.Valid()) return;
  QPainter p(&surf.Image);
  SetupShapePainter(p, FState.get(), *FPen, *FBrush, true);
  p.drawEllipse(QRect(Rect.Left, Rect.Top, Rect.Width() - 1, Rect.Height() - 1));
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (Points.size() < 2) return;
  TSurface surf(this);
  if (!surf.Valid()) return;
  QPolygon poly;
  for (const TPoint& pt : Points) poly << QPoint(pt.X, pt.Y);
  QPainter p(&surf.Image);
  SetupShapePainter(p, FState.get(), *FPen, *FBrush, true);
  p.drawPolygon(poly);
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  if (FPen->Width() > 1) {
    TSurface surf(this);
    if (!surf.Valid()) return;
    QPolygon poly;
    for (const TPoint& pt : Points) poly << QPoint(pt.X, pt.Y);
    QPainter p(&surf.Image);
    SetupShapePainter(p, FState.get(), *FPen, *FBrush, false);
    p.drawPolyline(poly);
  } else if (FPen->Style() != psClear) {
    TSurface surf(this);
    if (!surf.Valid()) return;
    TLineDrawer lines(surf, FState.get(), *FPen);
    for (size_t i = 1; i < Points.size(); ++i)
      lines.Line(Points[i - 1].X, Points[i - 1].Y, Points[i].X, Points[i].Y);
  }
  FPenPos = Points.back();
}

void TCanvas::MoveTo(Integer X, Integer Y) { FPenPos = {X, Y}; }

void TCanvas::LineTo(Integer X, Integer Y) {
  Polyline({FPenPos, {X, Y}});
  FPenPos = {X, Y};
}

void TCanvas::DrawFocusRect(const TRect& Rect) { ::DrawFocusRect(this, Rect); }

void TCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (Graphic && !Graphic->Empty()) Graphic->Draw(this, Rect);
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  Realize();
  StretchBlt(this, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas, Source.Left, Source.Top,
             Source.Width(), Source.Height(), FCopyMode);
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->Empty() || IsRectEmpty(Dest) || IsRectEmpty(Source)) return;
  TBitmap piece(Source.Width(), Source.Height(), pf32bit);
  BitBlt(piece.Canvas(), 0, 0, Source.Width(), Source.Height(), Bitmap->Canvas(), Source.Left, Source.Top, SRCCOPY);
  if (FBrush->Style() == bsClear && FBrush->Pattern().Empty()) {
    piece.SetTransparentColor(Color);
    piece.SetTransparent(true);
  } else {
    std::unique_ptr<TBitmap> mask = piece.CreateMask(Color);
    TBrushSource brush(*FBrush->Handle(), FState->DC);
    Integer stride = 0, mstride = 0;
    Cardinal* bits = piece.BeginDraw(stride);
    const Cardinal* mbits = mask->PixelData(mstride);
    QPoint origin = FState->ToDevice(Dest.Left, Dest.Top);
    for (Integer y = 0; y < piece.Height(); ++y)
      for (Integer x = 0; x < piece.Width(); ++x) {
        auto* m = reinterpret_cast<const Cardinal*>(reinterpret_cast<const Byte*>(mbits) + y * mstride);
        auto* d = reinterpret_cast<Cardinal*>(reinterpret_cast<Byte*>(bits) + y * stride);
        Cardinal v;
        if ((m[x] & 0xFFFFFF) == 0xFFFFFF && brush.At(origin.x() + x, origin.y() + y, v)) d[x] = 0xFF000000u | v;
      }
    piece.EndDraw();
  }
  TCopyMode saved = FCopyMode;
  FCopyMode = cmSrcCopy;
  piece.Draw(this, Dest);
  FCopyMode = saved;
}

void TCanvas::TextOut(Integer X, Integer Y, const String& Text) {
  Realize();
  ::ExtTextOut(this, X, Y, 0, nullptr, Text);
  FPenPos = {X + TextWidth(Text), Y};
}

void TCanvas::TextRect(const TRect& Rect, Integer X, Integer Y, const String& Text) {
  Realize();
  Cardinal options = ETO_CLIPPED;
  if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
  ::ExtTextOut(this, X, Y, options, &Rect, Text);
}

TSize TCanvas::TextExtent(const String& Text) {
  TSize size;
  GetTextExtentPoint32(this, Text, size);
  return size;
}

// ---- Screen canvases -------------------------------------------------------------------

TCanvas* ScreenCanvas() {
  static TCanvas* canvas = new TCanvas();  // lives as long as the process
  return canvas;
}

HDC GetScreenDC() { return new TCanvas(); }

void ReleaseScreenDC(HDC DC) { delete DC; }

// ---- Context state -----------------------------------------------------------------------

#define KORVANE_STATE_OR(DC, value)                  \
  TCanvasState* s = TCanvasAccess::State(DC);        \
  if (!s) return value

TColor SetTextColor(HDC DC, TColor Color) {
  KORVANE_STATE_OR(DC, clNone);
  return std::exchange(s->DC.TextColor, Color);
}
TColor GetTextColor(HDC DC) {
  KORVANE_STATE_OR(DC, clNone);
  return s->DC.TextColor;
}
TColor SetBkColor(HDC DC, TColor Color) {
  KORVANE_STATE_OR(DC, clNone);
  return std::exchange(s->DC.BkColor, Color);
}
TColor GetBkColor(HDC DC) {
  KORVANE_STATE_OR(DC, clNone);
  return s->DC.BkColor;
}
Integer SetBkMode(HDC DC, Integer Mode) {
  KORVANE_STATE_OR(DC, 0);
  if (Mode != TRANSPARENT && Mode != OPAQUE) return 0;
  return std::exchange(s->DC.BkMode, Mode);
}
Integer GetBkMode(HDC DC) {
  KORVANE_STATE_OR(DC, 0);
  return s->DC.BkMode;
}
Cardinal SetTextAlign(HDC DC, Cardinal Align) {
  KORVANE_STATE_OR(DC, 0);
  return std::exchange(s->DC.TextAlign, Align);
}
Cardinal GetTextAlign(HDC DC) {
  KORVANE_STATE_OR(DC, 0);
  return s->DC.TextAlign;
}
bool SetTextJustification(HDC DC, Integer Extra, Integer Count) {
  KORVANE_STATE_OR(DC, false);
  s->JustifyExtra = Count > 0 ? Extra : 0;
  s->JustifyCount = std::max<Integer>(Count, 0);
  return true;
}
TColor GetNearestColor(HDC, TColor Color) { return ColorToRGB(Color); }

Integer GetDeviceCaps(HDC DC, Integer Index) {
  switch (Index) {
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX:
    case LOGPIXELSY: return TFont::PixelsPerInch;
    case HORZRES: {
      TCanvasState* s = TCanvasAccess::State(DC);
      return s && s->Target ? s->Target->Width() : 1024;
    }
    case VERTRES: {
      TCanvasState* s = TCanvasAccess::State(DC);
      return s && s->Target ? s->Target->Height() : 768;
    }
    default: return 0;
  }
}

Integer SaveDC(HDC DC) {
  KORVANE_STATE_OR(DC, 0);
  s->Saved.push_back(s->DC);
  return static_cast<Integer>(s->Saved.size());
}

bool RestoreDC(HDC DC, Integer SavedDC) {
  KORVANE_STATE_OR(DC, false);
  Integer count = static_cast<Integer>(s->Saved.size());
  Integer index = SavedDC < 0 ? count + SavedDC + 1 : SavedDC;
  if (index < 1 || index > count) return false;
  s->DC = s->Saved[static_cast<size_t>(index - 1)];
  s->Saved.resize(static_cast<size_t>(index - 1));
  return true;
}

bool SetWindowOrgEx(HDC DC, Integer X, Integer Y, TPoint* Previous) {
  KORVANE_STATE_OR(DC, false);
  if (Previous) *Previous = {s->DC.WindowOrg.x(), s->DC.WindowOrg.y()};
  s->DC.WindowOrg = QPoint(X, Y);
  return true;
}
bool GetWindowOrgEx(HDC DC, TPoint& Origin) {
  KORVANE_STATE_OR(DC, false);
  Origin = {s->DC.WindowOrg.x(), s->DC.WindowOrg.y()};
  return true;
}
bool OffsetWindowOrgEx(HDC DC, Integer DX, Integer DY, TPoint* Previous) {
  KORVANE_STATE_OR(DC, false);
  return SetWindowOrgEx(DC, s->DC.WindowOrg.x() + DX, s->DC.WindowOrg.y() + DY, Previous);
}
bool SetViewportOrgEx(HDC DC, Integer X, Integer Y, TPoint* Previous) {
  KORVANE_STATE_OR(DC, false);
  if (Previous) *Previous = {s->DC.ViewportOrg.x(), s->DC.ViewportOrg.y()};
  s->DC.ViewportOrg = QPoint(X, Y);
  return true;
}
bool GetViewportOrgEx(HDC DC, TPoint& Origin) {
  KORVANE_STATE_OR(DC, false);
  Origin = {s->DC.ViewportOrg.x(), s->DC.ViewportOrg.y()};
  return true;
}

// ---- Clipping ----------------------------------------------------------------------------

namespace {

Integer ClipKind(const TCanvasState* s) {
  if (!s->DC.HasClip) return SIMPLEREGION;
  if (s->DC.Clip.isEmpty()) return NULLREGION;
  return s->DC.Clip.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRegion RegionOf(HRGN Rgn) {
  QRegion r;
  for (const TRect& rect : GetRegionRects(Rgn)) r += ToQRect(rect);
  return r;
}

// The clip region, or the whole image (or a huge area without one) when unclipped.
QRegion CurrentClip(const TCanvasState* s) {
  if (s->DC.HasClip) return s->DC.Clip;
  QRect image = s->ImageRect();
  return QRegion(image.isEmpty() ? QRect(0, 0, 107374182, 107374182) : image);
}

}  // namespace

Integer GetClipRgn(HDC DC, HRGN Rgn) {
  KORVANE_STATE_OR(DC, -1);
  if (!Rgn) return -1;
  if (!s->DC.HasClip) return 0;
  std::vector<TRect> rects;
  for (const QRect& r : s->DC.Clip) rects.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  HRGN copy = CreateRegionFromRects(rects);
  CombineRgn(Rgn, copy, nullptr, RGN_COPY);
  DeleteObject(copy);
  return 1;
}

Integer SelectClipRgn(HDC DC, HRGN Rgn) { return ExtSelectClipRgn(DC, Rgn, RGN_COPY); }

Integer ExtSelectClipRgn(HDC DC, HRGN Rgn, Integer Mode) {
  KORVANE_STATE_OR(DC, RGN_ERROR);
  if (!Rgn) {
    if (Mode != RGN_COPY) return RGN_ERROR;
    s->DC.HasClip = false;
    s->DC.Clip = QRegion();
    return SIMPLEREGION;
  }
  QRegion given = RegionOf(Rgn);
  QRegion current = CurrentClip(s);
  switch (Mode) {
    case RGN_COPY: s->DC.Clip = given; break;
    case RGN_AND: s->DC.Clip = current.intersected(given); break;
    case RGN_OR: s->DC.Clip = current.united(given); break;
    case RGN_XOR: s->DC.Clip = current.xored(given); break;
    case RGN_DIFF: s->DC.Clip = current.subtracted(given); break;
    default: return RGN_ERROR;
  }
  s->DC.HasClip = true;
  return ClipKind(s);
}

Integer IntersectClipRect(HDC DC, Integer Left, Integer Top, Integer Right, Integer Bottom) {
  KORVANE_STATE_OR(DC, RGN_ERROR);
  s->DC.Clip = CurrentClip(s).intersected(s->ToDevice({Left, Top, Right, Bottom}));
  s->DC.HasClip = true;
  return ClipKind(s);
}

Integer ExcludeClipRect(HDC DC, Integer Left, Integer Top, Integer Right, Integer Bottom) {
  KORVANE_STATE_OR(DC, RGN_ERROR);
  s->DC.Clip = CurrentClip(s).subtracted(s->ToDevice({Left, Top, Right, Bottom}));
  s->DC.HasClip = true;
  return ClipKind(s);
}

Integer OffsetClipRgn(HDC DC, Integer DX, Integer DY) {
  KORVANE_STATE_OR(DC, RGN_ERROR);
  if (s->DC.HasClip) s->DC.Clip.translate(DX, DY);
  return ClipKind(s);
}

Integer GetClipBox(HDC DC, TRect& Box) {
  Box = {};
  KORVANE_STATE_OR(DC, RGN_ERROR);
  QRegion area = s->ImageRect().isEmpty() ? CurrentClip(s) : s->DrawArea();
  if (area.isEmpty()) return NULLREGION;
  QRect b = area.boundingRect().translated(-s->Offset());
  Box = {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
  return area.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool RectVisible(HDC DC, const TRect& Rect) {
  KORVANE_STATE_OR(DC, false);
  QRect r = s->ToDevice(Rect);
  return !r.isEmpty() && CurrentClip(s).intersects(r);
}

bool PtVisible(HDC DC, Integer X, Integer Y) {
  KORVANE_STATE_OR(DC, false);
  return CurrentClip(s).contains(s->ToDevice(X, Y));
}

// ---- Fills and raster operations -------------------------------------------------------

Integer FillRect(HDC DC, const TRect& Rect, HBRUSH Brush) {
  if (!Brush || IsRectEmpty(Rect)) return 0;
  TSurface surf(DC);
  if (!surf.Valid()) return 0;
  TCanvasState* s = TCanvasAccess::State(DC);
  TBrushSource brush(*Brush, s->DC);
  if (brush.Paints()) FillArea(surf, QRegion(s->ToDevice(Rect)), brush, pmCopy);
  return 1;
}

Integer FrameRect(HDC DC, const TRect& Rect, HBRUSH Brush) {
  if (!Brush || IsRectEmpty(Rect)) return 0;
  TSurface surf(DC);
  if (!surf.Valid()) return 0;
  TCanvasState* s = TCanvasAccess::State(DC);
  QRect outer = s->ToDevice(Rect);
  QRegion frame = QRegion(outer).subtracted(outer.adjusted(1, 1, -1, -1));
  TBrushSource brush(*Brush, s->DC);
  if (brush.Paints()) FillArea(surf, frame, brush, pmCopy);
  return 1;
}

bool FillRgn(HDC DC, HRGN Rgn, HBRUSH Brush) {
  if (!Rgn || !Brush) return false;
  TSurface surf(DC);
  if (!surf.Valid()) return false;
  TCanvasState* s = TCanvasAccess::State(DC);
  TBrushSource brush(*Brush, s->DC);
  if (brush.Paints()) FillArea(surf, RegionOf(Rgn).translated(s->Offset()), brush, pmCopy);
  return true;
}

bool FrameRgn(HDC DC, HRGN Rgn, HBRUSH Brush, Integer Width, Integer Height) {
  if (!Rgn || !Brush || Width <= 0 || Height <= 0) return false;
  QRegion r = RegionOf(Rgn);
  // The inside: pixels whose neighbours Width/Height away on every side are in the region.
  QRegion inner = r;
  inner &= r.translated(Width, 0);
  inner &= r.translated(-Width, 0);
  inner &= r.translated(0, Height);
  inner &= r.translated(0, -Height);
  TSurface surf(DC);
  if (!surf.Valid()) return false;
  TCanvasState* s = TCanvasAccess::State(DC);
  TBrushSource brush(*Brush, s->DC);
  if (brush.Paints()) FillArea(surf, r.subtracted(inner).translated(s->Offset()), brush, pmCopy);
  return true;
}

namespace {

void InvertArea(HDC DC, const QRegion& deviceArea) {
  TSurface surf(DC);
  if (!surf.Valid()) return;
  for (const QRect& r : deviceArea.intersected(surf.Area))
    for (int y = r.top(); y <= r.bottom(); ++y) {
      Cardinal* row = surf.Pixel(0, y);
      for (int x = r.left(); x <= r.right(); ++x) row[x] ^= 0xFFFFFFu;
    }
}

}  // namespace

bool InvertRect(HDC DC, const TRect& Rect) {
  KORVANE_STATE_OR(DC, false);
  if (!IsRectEmpty(Rect)) InvertArea(DC, QRegion(s->ToDevice(Rect)));
  return true;
}

bool InvertRgn(HDC DC, HRGN Rgn) {
  KORVANE_STATE_OR(DC, false);
  if (!Rgn) return false;
  InvertArea(DC, RegionOf(Rgn).translated(s->Offset()));
  return true;
}

bool DrawFocusRect(HDC DC, const TRect& Rect) {
  KORVANE_STATE_OR(DC, false);
  if (IsRectEmpty(Rect)) return false;
  TSurface surf(DC);
  if (!surf.Valid()) return false;
  QRect r = s->ToDevice(Rect);
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0 && surf.Area.contains(QPoint(x, y))) *surf.Pixel(x, y) ^= 0xFFFFFFu;
  };
  for (int x = r.left(); x <= r.right(); ++x) {
    dot(x, r.top());
    if (r.bottom() != r.top()) dot(x, r.bottom());
  }
  for (int y = r.top() + 1; y < r.bottom(); ++y) {
    dot(r.left(), y);
    if (r.right() != r.left()) dot(r.right(), y);
  }
  return true;
}

namespace {

// The blit engine: Dest rectangle (logical) <- Source rectangle of Src
// (logical), stretched by nearest pixel, combined by the raster operation.
bool Blit(HDC Dest, const TRect& DestRect, HDC Src, const TRect& SrcRect, Cardinal Rop) {
  TCanvasState* d = TCanvasAccess::State(Dest);
  if (!d || IsRectEmpty(DestRect)) return false;
  bool needSource = UsesSource(Rop);
  TCanvasState* s = TCanvasAccess::State(Src);
  TSourceReader reader;
  std::unique_ptr<TBitmap> copy;
  QRect srcDevice;
  if (needSource) {
    if (!s || !s->Target || s->Target->Empty() || IsRectEmpty(SrcRect)) return false;
    srcDevice = s->ToDevice(SrcRect);
    if (s->Target == d->Target) {  // copying within one image: read from a copy
      copy = std::make_unique<TBitmap>();
      copy->Assign(s->Target);
    }
    TBitmap* bmp = copy ? copy.get() : s->Target;
    reader.Bits = bmp->PixelData(reader.Stride);
    reader.Width = bmp->Width(), reader.Height = bmp->Height();
    reader.Mono = bmp->Monochrome() && !(d->Target && d->Target->Monochrome());  // mono to mono copies bits
    reader.Text = ToRgb(d->DC.TextColor) & 0xFFFFFF;
    reader.Bk = ToRgb(d->DC.BkColor) & 0xFFFFFF;
  }
  bool destMono = d->Target && d->Target->Monochrome();
  Cardinal srcBk = s ? ToRgb(s->DC.BkColor) & 0xFFFFFF : 0xFFFFFF;
  TSurface surf(Dest);
  if (!surf.Valid()) return false;
  TBrushSource brush(*Dest->Brush()->Handle(), d->DC);
  bool needPattern = UsesPattern(Rop);
  QRect dst = d->ToDevice(DestRect);
  for (const QRect& r : QRegion(dst).intersected(surf.Area)) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      Cardinal* row = surf.Pixel(0, y);
      for (int x = r.left(); x <= r.right(); ++x) {
        Cardinal S = 0, P = 0;
        if (needSource) {
          int sx = srcDevice.left() + static_cast<int>((Int64(x - dst.left()) * srcDevice.width()) / dst.width());
          int sy = srcDevice.top() + static_cast<int>((Int64(y - dst.top()) * srcDevice.height()) / dst.height());
          if (sx < 0 || sy < 0 || sx >= reader.Width || sy >= reader.Height) continue;
          S = reader.At(sx, sy);
          if (destMono && !reader.Mono) S = S == srcBk ? 0xFFFFFF : 0;
        }
        if (needPattern && !brush.At(x, y, P)) P = row[x] & 0xFFFFFF;
        row[x] = 0xFF000000u | (Rop3(Rop, P, S, row[x] & 0xFFFFFF) & 0xFFFFFF);
      }
    }
  }
  return true;
}

}  // namespace

bool PatBlt(HDC DC, Integer X, Integer Y, Integer Width, Integer Height, Cardinal Rop) {
  return Blit(DC, Bounds(X, Y, Width, Height), nullptr, {}, Rop);
}

bool BitBlt(HDC Dest, Integer X, Integer Y, Integer Width, Integer Height, HDC Src, Integer XSrc, Integer YSrc,
            Cardinal Rop) {
  return Blit(Dest, Bounds(X, Y, Width, Height), Src, Bounds(XSrc, YSrc, Width, Height), Rop);
}

bool StretchBlt(HDC Dest, Integer X, Integer Y, Integer Width, Integer Height, HDC Src, Integer XSrc,
                Integer YSrc, Integer WidthSrc, Integer HeightSrc, Cardinal Rop) {
  return Blit(Dest, Bounds(X, Y, Width, Height), Src, Bounds(XSrc, YSrc, WidthSrc, HeightSrc), Rop);
}

bool AlphaBlend(HDC Dest, Integer X, Integer Y, Integer Width, Integer Height, HDC Src, Integer XSrc,
                Integer YSrc, Integer WidthSrc, Integer HeightSrc, const BLENDFUNCTION& Blend) {
  TCanvasState* d = TCanvasAccess::State(Dest);
  TCanvasState* s = TCanvasAccess::State(Src);
  if (!d || !s || !s->Target || s->Target->Empty() || Width <= 0 || Height <= 0 || WidthSrc <= 0 ||
      HeightSrc <= 0)
    return false;
  TBitmap source;
  source.Assign(s->Target);
  TSourceReader reader;
  reader.Bits = source.PixelData(reader.Stride);
  reader.Width = source.Width(), reader.Height = source.Height();
  QRect srcDevice = s->ToDevice(Bounds(XSrc, YSrc, WidthSrc, HeightSrc));
  QRect dst = d->ToDevice(Bounds(X, Y, Width, Height));
  Cardinal a = Blend.SourceConstantAlpha;
  TSurface surf(Dest);
  if (!surf.Valid()) return false;
  for (const QRect& r : QRegion(dst).intersected(surf.Area))
    for (int y = r.top(); y <= r.bottom(); ++y) {
      Cardinal* row = surf.Pixel(0, y);
      for (int x = r.left(); x <= r.right(); ++x) {
        int sx = srcDevice.left() + static_cast<int>((Int64(x - dst.left()) * srcDevice.width()) / dst.width());
        int sy = srcDevice.top() + static_cast<int>((Int64(y - dst.top()) * srcDevice.height()) / dst.height());
        if (sx < 0 || sy < 0 || sx >= reader.Width || sy >= reader.Height) continue;
        Cardinal S = reader.At(sx, sy), D = row[x], out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
          Cardinal sc = (S >> shift) & 0xFF, dc = (D >> shift) & 0xFF;
          out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
        }
        row[x] = out;
      }
    }
  return true;
}

TColor SetPixel(HDC DC, Integer X, Integer Y, TColor Color) {
  KORVANE_STATE_OR(DC, -1);
  TSurface surf(DC);
  if (!surf.Valid()) return -1;
  QPoint d = s->ToDevice(X, Y);
  if (!surf.Area.contains(d)) return -1;
  *surf.Pixel(d.x(), d.y()) = ToRgb(Color);
  return ColorToRGB(Color) & 0xFFFFFF;
}

TColor GetPixel(HDC DC, Integer X, Integer Y) { return DC ? DC->Pixels(X, Y) : -1; }

// ---- Text --------------------------------------------------------------------------------

namespace {

Integer AveCharWidth(const QFontMetrics& fm) { return std::max(1, fm.averageCharWidth()); }

Integer LineHeight(const QFontMetrics& fm) { return fm.ascent() + fm.descent(); }

// Advances of each UTF-16 unit (the second unit of a pair has 0).
std::vector<Integer> Advances(const QFontMetrics& fm, const QString& text) {
  std::vector<Integer> adv(static_cast<size_t>(text.size()), 0);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size()) {
      adv[static_cast<size_t>(i)] = fm.horizontalAdvance(text.mid(i, 2));
      ++i;
    } else {
      adv[static_cast<size_t>(i)] = fm.horizontalAdvance(text[i]);
    }
  }
  return adv;
}

// Width of a text with tabs at the stops (relative positions, repeated by
// the last interval; none: every 8 average widths).
Integer TabStop(Integer x, const QFontMetrics& fm, Integer TabCount, const Integer* Tabs) {
  if (TabCount <= 0 || !Tabs) {
    Integer step = 8 * AveCharWidth(fm);
    return (x / step + 1) * step;
  }
  if (TabCount == 1) {
    Integer step = std::max<Integer>(Tabs[0], 1);
    return (x / step + 1) * step;
  }
  for (Integer i = 0; i < TabCount; ++i)
    if (Tabs[i] > x) return Tabs[i];
  return x + AveCharWidth(fm);
}

Integer TabbedWidth(const QFontMetrics& fm, const QString& text, Integer TabCount, const Integer* Tabs) {
  Integer x = 0;
  std::vector<Integer> adv = Advances(fm, text);
  for (qsizetype i = 0; i < text.size(); ++i)
    x = text[i] == u'\t' ? TabStop(x, fm, TabCount, Tabs) : x + adv[static_cast<size_t>(i)];
  return x;
}

// Draws a run of text at the top-left point with the context's colours.
// Positions: optional x of every unit (relative); Clip: optional device clip.
void PaintText(HDC DC, QPoint topLeft, const QString& text, const std::vector<Integer>* positions,
               const QRect* clip, const QRect* opaque, Integer underlineIndex = -1) {
  TCanvasState* s = TCanvasAccess::State(DC);
  TSurface surf(DC);
  if (!surf.Valid()) return;
  const QFont& font = TCanvasAccess::Font(DC);
  const QFontMetrics& fm = TCanvasAccess::Metrics(DC);
  QPainter& p = s->OpenTextPainter(surf.Image);
  if (clip) p.setClipRect(*clip, Qt::IntersectClip);
  if (opaque) p.fillRect(*opaque, QColorOf(ToRgb(s->DC.BkColor)));
  Integer orientation = DC->Font()->Orientation();
  if (orientation != 0) {
    p.translate(topLeft);
    p.rotate(-orientation / 10.0);
    p.translate(-topLeft);
  }
  if (s->DC.BkMode == OPAQUE && !opaque) {
    Integer width = positions && !positions->empty() ? positions->back() : LineAdvance(DC, fm, text);
    p.fillRect(QRect(topLeft.x(), topLeft.y(), width, LineHeight(fm)), QColorOf(ToRgb(s->DC.BkColor)));
  }
  const QColor textColor = QColorOf(ToRgb(s->DC.TextColor));
  if (p.pen().color() != textColor || p.pen().style() != Qt::SolidLine) p.setPen(textColor);
  int baseline = topLeft.y() + fm.ascent();
  if (!positions && IsPlainLine(font, text)) {
    DrawShaped(p, ShapedLine(DC, text), QPoint(topLeft.x(), baseline));  // in the layout's own font
  } else if (!positions) {
    p.setFont(font);
    p.drawText(QPoint(topLeft.x(), baseline), text);
  } else {
    p.setFont(font);
    for (qsizetype i = 0; i < text.size(); ++i) {
      qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
      if (text[i] != u'\t') p.drawText(QPoint(topLeft.x() + (*positions)[static_cast<size_t>(i)], baseline), text.mid(i, n));
      i += n - 1;
    }
  }
  if (underlineIndex >= 0 && underlineIndex < text.size()) {
    Integer x0 = fm.horizontalAdvance(text.left(underlineIndex));
    Integer x1 = x0 + fm.horizontalAdvance(text.mid(underlineIndex, 1));
    p.fillRect(QRect(topLeft.x() + x0, baseline + 1, x1 - x0, 1), QColorOf(ToRgb(s->DC.TextColor)));
  }
}

// Positions (start x of every unit and the end as last entry) for Dx,
// justification or tabs; empty when the text can be drawn as one run.
std::vector<Integer> RunPositions(HDC DC, const QFontMetrics& fm, const QString& text, const Integer* Dx,
                                  bool tabs, Integer TabCount, const Integer* Tabs, Integer tabOrigin = 0) {
  TCanvasState* s = TCanvasAccess::State(DC);
  bool justify = s->JustifyCount > 0 && s->JustifyExtra != 0;
  std::vector<Integer> pos;
  if (!Dx && !justify && !(tabs && text.contains(u'\t'))) return pos;
  std::vector<Integer> adv = Advances(fm, text);
  Integer x = 0, breaks = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    pos.push_back(x);
    if (Dx) {
      x += Dx[i];
      continue;
    }
    if (tabs && text[i] == u'\t') {
      x = TabStop(x + tabOrigin, fm, TabCount, Tabs) - tabOrigin;
      continue;
    }
    x += adv[static_cast<size_t>(i)];
    if (justify && text[i] == u' ' && breaks < s->JustifyCount) {
      Integer share = s->JustifyExtra / s->JustifyCount + (breaks < s->JustifyExtra % s->JustifyCount ? 1 : 0);
      x += share;
      ++breaks;
    }
  }
  pos.push_back(x);
  return pos;
}

QPoint AlignedOrigin(HDC DC, const QFontMetrics& fm, Integer X, Integer Y, Integer width) {
  Cardinal align = TCanvasAccess::State(DC)->DC.TextAlign;
  if ((align & TA_CENTER) == TA_CENTER)
    X -= width / 2;
  else if (align & TA_RIGHT)
    X -= width;
  if ((align & TA_BASELINE) == TA_BASELINE)
    Y -= fm.ascent();
  else if (align & TA_BOTTOM)
    Y -= LineHeight(fm);
  return QPoint(X, Y);
}

}  // namespace

bool ExtTextOut(HDC DC, Integer X, Integer Y, Cardinal Options, const TRect* Rect, const Char* Text, Integer Count,
                const Integer* Dx) {
  KORVANE_STATE_OR(DC, false);
  QString text = ToQ(Text, Count);
  const QFontMetrics& fm = TCanvasAccess::Metrics(DC);
  std::vector<Integer> pos = RunPositions(DC, fm, text, Dx, false, 0, nullptr);
  Integer width = pos.empty() ? LineAdvance(DC, fm, text) : pos.back();
  QPoint origin = AlignedOrigin(DC, fm, X, Y, width);
  QRect rect = Rect ? ToQRect(*Rect) : QRect();
  bool clipped = Rect && (Options & ETO_CLIPPED);
  bool opaque = Rect && (Options & ETO_OPAQUE);
  if (clipped && rect.isEmpty()) return true;
  if (text.isEmpty()) {
    if (opaque && !rect.isEmpty()) {
      TSurface surf(DC);
      if (surf.Valid()) {
        QPainter p(&surf.Image);
        SetupPainter(p, s);
        p.fillRect(rect, QColorOf(ToRgb(s->DC.BkColor)));
      }
    }
    return true;
  }
  PaintText(DC, origin, text, pos.empty() ? nullptr : &pos, clipped ? &rect : nullptr,
            opaque && !rect.isEmpty() ? &rect : nullptr);
  return true;
}

bool ExtTextOut(HDC DC, Integer X, Integer Y, Cardinal Options, const TRect* Rect, const String& Text) {
  return ExtTextOut(DC, X, Y, Options, Rect, Text.data(), static_cast<Integer>(Text.size()), nullptr);
}

bool TextOut(HDC DC, Integer X, Integer Y, const String& Text) { return ExtTextOut(DC, X, Y, 0, nullptr, Text); }

Cardinal TabbedTextOut(HDC DC, Integer X, Integer Y, const Char* Text, Integer Count, Integer TabCount,
                       const Integer* Tabs, Integer TabOrigin) {
  KORVANE_STATE_OR(DC, 0);
  QString text = ToQ(Text, Count);
  const QFontMetrics& fm = TCanvasAccess::Metrics(DC);
  std::vector<Integer> pos = RunPositions(DC, fm, text, nullptr, true, TabCount, Tabs, X - TabOrigin);
  Integer width = pos.empty() ? fm.horizontalAdvance(text) : pos.back();
  if (!text.isEmpty()) PaintText(DC, AlignedOrigin(DC, fm, X, Y, width), text, pos.empty() ? nullptr : &pos, nullptr, nullptr);
  return (static_cast<Cardinal>(LineHeight(fm)) << 16) | static_cast<Cardinal>(width & 0xFFFF);
}

Cardinal GetTabbedTextExtent(HDC DC, const Char* Text, Integer Count, Integer TabCount, const Integer* Tabs) {
  KORVANE_STATE_OR(DC, 0);
  const QFontMetrics& fm = TCanvasAccess::Metrics(DC);
  Integer width = TabbedWidth(fm, ToQ(Text, Count), TabCount, Tabs);
  return (static_cast<Cardinal>(LineHeight(fm)) << 16) | static_cast<Cardinal>(width & 0xFFFF);
}

bool GetTextExtentPoint32(HDC DC, const Char* Text, Integer Count, TSize& Size) {
  Size = {};
  KORVANE_STATE_OR(DC, false);
  if (!Text || Count <= 0) return true;
  const QFontMetrics& fm = TCanvasAccess::Metrics(DC);
  Size = {LineAdvance(DC, fm, ToQ(Text, Count)), LineHeight(fm)};
  return true;
}

bool GetTextExtentPoint32(HDC DC, const String& Text, TSize& Size) {
  return GetTextExtentPoint32(DC, Text.data(), static_cast<Integer>(Text.size()), Size);
}

bool GetTextExtentExPoint(HDC DC, const Char* Text, Integer Count, Integer MaxExtent, Integer* Fit, Integer* Dx,
                          TSize& Size) {
  Size = {};
  if (Fit) *Fit = 0;
  KORVANE_STATE_OR(DC, false);
  const QFontMetrics& fm = TCanvasAccess::Metrics(DC);
  QString text = ToQ(Text, Count);
  std::vector<Integer> adv = Advances(fm, text);
  Integer x = 0, fit = 0;
  bool fits = true;
  for (qsizetype i = 0; i < text.size(); ++i) {
    x += adv[static_cast<size_t>(i)];
    if (Dx) Dx[i] = x;
    if (fits && x <= MaxExtent) fit = static_cast<Integer>(i + 1);
    else fits = false;
  }
  if (Fit) *Fit = fit;
  Size = {text.isEmpty() ? 0 : fm.horizontalAdvance(text), text.isEmpty() ? 0 : LineHeight(fm)};
  return true;
}

bool GetTextMetrics(HDC DC, TTextMetric& Metrics) {
  Metrics = {};
  KORVANE_STATE_OR(DC, false);
  const QFont& font = TCanvasAccess::Font(DC);
  QFontMetrics fm(font);
  Metrics.tmAscent = fm.ascent();
  Metrics.tmDescent = fm.descent();
  Metrics.tmHeight = LineHeight(fm);
  Metrics.tmInternalLeading = std::max(0, Metrics.tmHeight - font.pixelSize());
  Metrics.tmExternalLeading = std::max(0, fm.leading());
  Metrics.tmAveCharWidth = AveCharWidth(fm);
  Metrics.tmMaxCharWidth = std::max(fm.maxWidth(), Metrics.tmAveCharWidth);
  Metrics.tmWeight = font.bold() ? 700 : 400;
  Metrics.tmItalic = font.italic() ? 1 : 0;
  Metrics.tmUnderlined = font.underline() ? 1 : 0;
  Metrics.tmStruckOut = font.strikeOut() ? 1 : 0;
  Metrics.tmCharSet = DC->Font()->Charset();
  return true;
}

// ---- DrawText ----------------------------------------------------------------------------

namespace {

bool IsWide(char16_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x3000 && c <= 0x303F);
}

// Characters that must not begin a line.
bool IsClosing(char16_t c) {
  static const char16_t kClosing[] = u"，。、；：？！）》」』】〕…,.;:?!)]}%";
  for (const char16_t* p = kClosing; *p; ++p)
    if (*p == c) return true;
  return false;
}

struct TTextLine {
  QString Text;
  Integer Width = 0;
  Integer Underline = -1;  // index of the accelerator character
};

class TTextLayout {
public:
  TTextLayout(HDC dc, const QFontMetrics& fm, Cardinal format) : DC(dc), FM(fm), Format(format) {
    if (format & DT_TABSTOP) FTabChars = std::max<Integer>(1, (format >> 8) & 0xFF);
  }

  Integer Width(const QString& s) const {
    if (!(Format & DT_EXPANDTABS) || !s.contains(u'\t')) return LineAdvance(DC, FM, s);
    Integer step = FTabChars * AveCharWidth(FM);
    return TabbedWidth(FM, s, 1, &step);
  }

  // Splits a paragraph into lines no wider than the width where it can.
  void Wrap(const QString& para, Integer width, std::vector<TTextLine>& out) const {
    if (!(Format & DT_WORDBREAK) || para.isEmpty()) {
      out.push_back({para, Width(para)});
      return;
    }
    std::vector<Integer> adv = Advances(FM, para);
    Integer tabStep = FTabChars * AveCharWidth(FM);
    qsizetype start = 0;
    while (start < para.size()) {
      qsizetype lastBreak = -1, i = start, end = para.size();
      bool overflow = false;
      Integer x = 0;
      for (; i < para.size(); ++i) {
        if (i > start && CanBreakBefore(para, i)) lastBreak = i;
        qsizetype n = para[i].isHighSurrogate() && i + 1 < para.size() ? 2 : 1;
        Integer next = para[i] == u'\t' && (Format & DT_EXPANDTABS) ? TabStop(x, FM, 1, &tabStep)
                                                                    : x + adv[static_cast<size_t>(i)];
        if (para[i] != u' ' && next > width) {
          overflow = true;
          break;
        }
        x = next;
        i += n - 1;
      }
      if (overflow) {
        if (lastBreak > start)
          end = lastBreak;
        else if (Format & DT_EDITCONTROL)
          end = i > start ? i : start + (para[start].isHighSurrogate() && start + 1 < para.size() ? 2 : 1);
        else {  // a word longer than the line runs on to its end
          // A first character wider than the line is the line's own.
          const qsizetype first = start + (para[start].isHighSurrogate() && start + 1 < para.size() ? 2 : 1);
          end = std::max(i, first);
          while (end < para.size() && !CanBreakBefore(para, end)) ++end;
        }
      }
      QString line = para.mid(start, end - start);
      while (line.endsWith(u' ')) line.chop(1);
      out.push_back({line, Width(line)});
      start = end;
      while (start < para.size() && para[start] == u' ') ++start;
    }
  }

  static bool CanBreakBefore(const QString& s, qsizetype i) {
    char16_t c = s[i].unicode(), prev = s[i - 1].unicode();
    if (IsClosing(c)) return false;
    if (prev == u' ' && c != u' ') return true;
    return (IsWide(c) || IsWide(prev)) && c != u' ';
  }

  // Cuts the line to the width and ends it with "...".
  void EndEllipsis(TTextLine& line, Integer width) const {
    static const QString dots = QStringLiteral("...");
    if (line.Width <= width) return;
    Integer room = width - FM.horizontalAdvance(dots);
    QString t = line.Text;
    // Cut where the running width passes the room, then make sure.
    std::vector<Integer> adv = Advances(FM, t);
    Integer x = 0;
    qsizetype keep = 0;
    while (keep < t.size() && x + adv[static_cast<size_t>(keep)] <= room) x += adv[static_cast<size_t>(keep++)];
    if (keep > 0 && keep < t.size() && t[keep - 1].isHighSurrogate()) --keep;
    t.truncate(keep);
    while (!t.isEmpty() && Width(t) > room) t.chop(t.size() > 1 && t[t.size() - 1].isLowSurrogate() ? 2 : 1);
    line.Text = t + dots;
    line.Width = Width(line.Text);
    if (line.Underline >= t.size()) line.Underline = -1;
  }

  // Keeps the end after the last path separator and shortens the part before it.
  void PathEllipsis(TTextLine& line, Integer width) const {
    static const QString dots = QStringLiteral("...");
    if (line.Width <= width) return;
    qsizetype sep = std::max(line.Text.lastIndexOf(u'\\'), line.Text.lastIndexOf(u'/'));
    if (sep <= 0) {
      EndEllipsis(line, width);
      return;
    }
    QString head = line.Text.left(sep), tail = line.Text.mid(sep);
    while (!head.isEmpty() && Width(head + dots + tail) > width) head.chop(1);
    line.Text = head + dots + tail;
    line.Width = Width(line.Text);
    line.Underline = -1;
  }

  HDC DC;
  const QFontMetrics& FM;
  Cardinal Format;

private:
  Integer FTabChars = 8;
};

// Removes '&' marks; answers the index of the underlined character.
QString StripPrefix(const QString& s, Cardinal format, Integer& underline) {
  underline = -1;
  if (format & DT_NOPREFIX) return s;
  QString out;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == u'&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != u'&' && underline < 0 && !(format & DT_HIDEPREFIX)) underline = static_cast<Integer>(out.size());
    } else if (s[i] == u'&') {
      continue;
    }
    out += s[i];
  }
  return out;
}

}  // namespace

Integer DrawText(HDC DC, const String& Text, TRect& Rect, Cardinal Format) {
  KORVANE_STATE_OR(DC, 0);
  const QFontMetrics& fm = TCanvasAccess::Metrics(DC);
  TTextLayout layout(DC, fm, Format);
  Integer lineHeight = LineHeight(fm) + ((Format & DT_EXTERNALLEADING) ? std::max(0, fm.leading()) : 0);
  Integer width = Rect.Width();
  bool calc = (Format & DT_CALCRECT) != 0;
  if (Text.empty()) {
    if (calc) Rect.Right = Rect.Left, Rect.Bottom = Rect.Top;
    return 0;
  }
  // Paragraphs, then lines.
  QString all = ToQ(Text);
  std::vector<TTextLine> lines;
  std::vector<Integer> underlines;
  if (Format & DT_SINGLELINE) {
    all.replace(u'\r', u' ').replace(u'\n', u' ');
    Integer underline;
    QString t = StripPrefix(all, Format, underline);
    lines.push_back({t, layout.Width(t), underline});
  } else {
    all.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& para : all.split(u'\n')) {
      Integer underline;
      QString t = StripPrefix(para, Format, underline);
      size_t first = lines.size();
      layout.Wrap(t, width, lines);
      if (underline >= 0 && first < lines.size() && underline < lines[first].Text.size())
        lines[first].Underline = underline;
    }
  }
  // Lines that fit in the height when partial lines are not shown.
  if ((Format & DT_EDITCONTROL) && !calc && !(Format & DT_SINGLELINE)) {
    size_t fit = static_cast<size_t>(std::max<Integer>(1, Rect.Height() / std::max(lineHeight, 1)));
    if (lines.size() > fit) {
      lines.resize(fit);
      if (Format & DT_END_ELLIPSIS) lines.back().Width = width + 1;  // text was cut: force the ellipsis
    }
  }
  if (Format & DT_END_ELLIPSIS) {
    if (Format & DT_WORDBREAK) {
      if (!lines.empty()) layout.EndEllipsis(lines.back(), width);
    } else {
      for (TTextLine& line : lines) layout.EndEllipsis(line, width);
    }
  } else if (Format & DT_PATH_ELLIPSIS) {
    for (TTextLine& line : lines) layout.PathEllipsis(line, width);
  }
  Integer textHeight = static_cast<Integer>(lines.size()) * lineHeight;
  Integer maxWidth = 0;
  for (const TTextLine& line : lines) maxWidth = std::max(maxWidth, line.Width);
  if (calc) {
    Rect.Right = Rect.Left + maxWidth;
    Rect.Bottom = Rect.Top + textHeight;
    return textHeight;
  }
  Integer top = Rect.Top;
  if (Format & DT_SINGLELINE) {
    if (Format & DT_VCENTER)
      top = (Rect.Top + Rect.Bottom - lineHeight) / 2;
    else if (Format & DT_BOTTOM)
      top = Rect.Bottom - lineHeight;
  }
  QRect clip = ToQRect(Rect);
  bool noClip = (Format & DT_NOCLIP) != 0;
  bool expand = (Format & DT_EXPANDTABS) != 0;
  Integer step = [&] {
    Integer chars = (Format & DT_TABSTOP) ? std::max<Integer>(1, (Format >> 8) & 0xFF) : 8;
    return chars * AveCharWidth(fm);
  }();
  Cardinal savedAlign = std::exchange(s->DC.TextAlign, TA_LEFT | TA_TOP);
  Integer y = top;
  for (const TTextLine& line : lines) {
    Integer x = Rect.Left;
    if (Format & DT_CENTER)
      x = Rect.Left + (width - line.Width) / 2;
    else if (Format & DT_RIGHT)
      x = Rect.Right - line.Width;
    if (!line.Text.isEmpty() && (noClip || clip.isValid())) {
      std::vector<Integer> pos = RunPositions(DC, fm, line.Text, nullptr, expand, 1, &step);
      PaintText(DC, QPoint(x, y), line.Text, pos.empty() ? nullptr : &pos,
                noClip ? nullptr : &clip, nullptr, line.Underline);
    }
    y += lineHeight;
  }
  s->DC.TextAlign = savedAlign;
  if ((Format & DT_SINGLELINE) && (Format & (DT_VCENTER | DT_BOTTOM))) return top - Rect.Top + textHeight;
  return textHeight;
}

// ---- Edges and glyphs --------------------------------------------------------------------

namespace {

void FillSolid(HDC DC, const TRect& r, TColor color) {
  if (IsRectEmpty(r)) return;
  TBrushObject brush;
  brush.Color = color;
  FillRect(DC, r, &brush);
}

// A one-pixel ring: left and top in the first colour, then right and bottom
// (over the corners) in the second.
void Ring(HDC DC, const TRect& r, TColor topLeft, TColor bottomRight, Cardinal sides) {
  if (sides & BF_LEFT) FillSolid(DC, {r.Left, r.Top, r.Left + 1, r.Bottom}, topLeft);
  if (sides & BF_TOP) FillSolid(DC, {r.Left, r.Top, r.Right, r.Top + 1}, topLeft);
  if (sides & BF_RIGHT) FillSolid(DC, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
  if (sides & BF_BOTTOM) FillSolid(DC, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
}

void Shrink(TRect& r, Cardinal sides) {
  if (sides & BF_LEFT) ++r.Left;
  if (sides & BF_TOP) ++r.Top;
  if (sides & BF_RIGHT) --r.Right;
  if (sides & BF_BOTTOM) --r.Bottom;
}

}  // namespace

bool DrawEdge(HDC DC, TRect& Rect, Cardinal Edge, Cardinal Flags) {
  if (!DC) return false;
  TRect r = Rect;
  Cardinal sides = Flags & BF_RECT;
  Cardinal outer = Edge & BDR_OUTER, inner = Edge & BDR_INNER;
  TColor middle = clBtnFace;
  if (Flags & (BF_FLAT | BF_MONO)) {
    TColor frame = (Flags & BF_MONO) ? clWindowFrame : clBtnShadow;
    TColor in = (Flags & BF_MONO) ? clWindow : clBtnFace;
    if (Flags & BF_MONO) middle = clWindow;
    if (outer) Ring(DC, r, frame, frame, sides), Shrink(r, sides);
    if (inner) Ring(DC, r, in, in, sides), Shrink(r, sides);
  } else {
    if (outer == BDR_RAISEDOUTER) Ring(DC, r, cl3DLight, cl3DDkShadow, sides), Shrink(r, sides);
    else if (outer == BDR_SUNKENOUTER) Ring(DC, r, clBtnShadow, clBtnHighlight, sides), Shrink(r, sides);
    if (inner == BDR_RAISEDINNER) Ring(DC, r, clBtnHighlight, clBtnShadow, sides), Shrink(r, sides);
    else if (inner == BDR_SUNKENINNER) Ring(DC, r, cl3DDkShadow, cl3DLight, sides), Shrink(r, sides);
  }
  if (Flags & BF_MIDDLE) FillSolid(DC, r, middle);
  if (Flags & BF_ADJUST) Rect = r;
  return true;
}

namespace {

// A filled triangle pointing in a direction, made of one-pixel lines that
// shrink by two per step, centred in the rectangle.
void Arrow(HDC DC, const TRect& r, TGlyphKind kind, TColor color) {
  Integer side = std::min(r.Width(), r.Height());
  Integer half = std::max<Integer>(1, (side + 2) / 4);  // rows of the triangle
  Integer base = 2 * half - 1;
  bool vertical = kind == gkArrowUp || kind == gkArrowDown;
  Integer cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  for (Integer i = 0; i < half; ++i) {
    Integer len = base - 2 * i;
    if (vertical) {
      Integer y = kind == gkArrowDown ? cy - half / 2 + i : cy + half / 2 - i;
      FillSolid(DC, {cx - len / 2, y, cx - len / 2 + len, y + 1}, color);
    } else {
      Integer x = kind == gkArrowRight ? cx - half / 2 + i : cx + half / 2 - i;
      FillSolid(DC, {x, cy - len / 2, x + 1, cy - len / 2 + len}, color);
    }
  }
}

TGlyphKind BareArrow(TGlyphKind kind) {
  switch (kind) {
    case gkScrollUp: return gkArrowUp;
    case gkScrollDown: return gkArrowDown;
    case gkScrollLeft: return gkArrowLeft;
    case gkScrollRight: return gkArrowRight;
    default: return kind;
  }
}

void CheckBoxGlyph(HDC DC, const TRect& rect, Cardinal state) {
  TRect r = rect;
  bool mono = state & gsMono;
  if (mono || (state & gsFlat)) {
    Ring(DC, r, mono ? clWindowFrame : clBtnShadow, mono ? clWindowFrame : clBtnShadow, BF_RECT);
    Shrink(r, BF_RECT);
  } else {
    DrawEdge(DC, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  bool face = (state & (gsPushed | gsInactive)) || (state & gsGrayed);
  FillSolid(DC, r, face ? clBtnFace : clWindow);
  if (!(state & (gsChecked | gsGrayed))) return;
  TColor mark = (state & (gsInactive | gsGrayed)) ? clBtnShadow : clWindowText;
  // A 7 x 7 check mark of three-pixel-high strokes, centred.
  static const char* const kMark[7] = {"......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X...."};
  Integer left = r.Left + (r.Width() - 7) / 2, top = r.Top + (r.Height() - 7) / 2;
  for (Integer y = 0; y < 7; ++y)
    for (Integer x = 0; x < 7; ++x)
      if (kMark[y][x] == 'X') FillSolid(DC, {left + x, top + y, left + x + 1, top + y + 1}, mark);
}

void RadioGlyph(HDC DC, const TRect& rect, Cardinal state) {
  // Rings by distance from the centre: the outer and inner ring are shaded
  // dark towards the top left and light towards the bottom right.
  Integer side = std::min(rect.Width(), rect.Height());
  Integer left = rect.Left + (rect.Width() - side) / 2, top = rect.Top + (rect.Height() - side) / 2;
  double radius = side / 2.0, centre = (side - 1) / 2.0, dot = std::max(1.5, side / 6.0);
  bool mono = state & gsMono, flat = state & gsFlat;
  TColor face = (state & (gsPushed | gsInactive)) ? clBtnFace : clWindow;
  TColor mark = (state & gsInactive) ? clBtnShadow : clWindowText;
  for (Integer y = 0; y < side; ++y)
    for (Integer x = 0; x < side; ++x) {
      double d = std::hypot(x - centre, y - centre);
      if (d >= radius) continue;
      bool upper = x + y < side - 1;
      TColor c = face;
      if (d >= radius - 1)
        c = mono ? clWindowFrame : flat ? clBtnShadow : upper ? clBtnShadow : clBtnHighlight;
      else if (d >= radius - 2 && !mono && !flat)
        c = upper ? cl3DDkShadow : cl3DLight;
      else if ((state & gsChecked) && d < dot)
        c = mark;
      FillSolid(DC, {left + x, top + y, left + x + 1, top + y + 1}, c);
    }
}

void ScrollArrowGlyph(HDC DC, const TRect& rect, TGlyphKind kind, Cardinal state) {
  TRect r = rect;
  if (state & gsFlat) {
    Ring(DC, r, clBtnShadow, clBtnShadow, BF_RECT);
    Shrink(r, BF_RECT);
    FillSolid(DC, r, clBtnFace);
  } else {
    DrawEdge(DC, r, (state & gsPushed) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  }
  TRect a = rect;
  if (state & gsPushed) OffsetRect(a, 1, 1);
  if (state & gsInactive) {
    TRect shade = a;
    OffsetRect(shade, 1, 1);
    Arrow(DC, shade, BareArrow(kind), clBtnHighlight);
    Arrow(DC, a, BareArrow(kind), clBtnShadow);
  } else {
    Arrow(DC, a, BareArrow(kind), clBtnText);
  }
}

}  // namespace

void DrawGlyph(HDC DC, const TRect& Rect, TGlyphKind Kind, Cardinal State) {
  if (!DC || IsRectEmpty(Rect)) return;
  switch (Kind) {
    case gkCheckBox: CheckBoxGlyph(DC, Rect, State); break;
    case gkRadioButton: RadioGlyph(DC, Rect, State); break;
    case gkScrollUp:
    case gkScrollDown:
    case gkScrollLeft:
    case gkScrollRight: ScrollArrowGlyph(DC, Rect, Kind, State); break;
    default: Arrow(DC, Rect, Kind, (State & gsInactive) ? clBtnShadow : clBtnText); break;
  }
}
