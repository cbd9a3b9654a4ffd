// drawimages OUTDIR: draws the program's window images as PNG files: the
// toolbar and menu glyphs (16 x 16, with a 32 x 32 "@2x" copy), the tree's
// node images, the window icon and the About picture.
//
// Every glyph is drawn on a 16-unit grid and scaled, so both sizes are the
// same drawing. The files are committed under assets/images; run this again
// after changing a drawing. Nothing is drawn with fonts, so no display or
// application object is needed.
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using TDraw = std::function<void(QPainter&)>;

const QColor Ink(40, 52, 70);
const QColor Paper(252, 252, 248);
const QColor Blue(58, 110, 165);
const QColor LightBlue(150, 190, 230);
const QColor Green(46, 139, 87);
const QColor Red(200, 50, 45);
const QColor Amber(230, 170, 40);
const QColor Earth(170, 120, 70);

QPen Pen(const QColor& Color, double Width = 1.0) {
  return QPen(Color, Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet of paper with a folded corner, the base of the file glyphs.
void Sheet(QPainter& P, const QColor& Fill = Paper) {
  QPainterPath page;
  page.moveTo(3.5, 1.5);
  page.lineTo(10, 1.5);
  page.lineTo(13.5, 5);
  page.lineTo(13.5, 14.5);
  page.lineTo(3.5, 14.5);
  page.closeSubpath();
  P.setPen(Pen(Ink));
  P.setBrush(Fill);
  P.drawPath(page);
  P.drawPolyline(QPolygonF({{10, 1.5}, {10, 5}, {13.5, 5}}));
}

void TextLines(QPainter& P, double From, double To, double Left = 5.5, double Right = 11.5) {
  P.setPen(Pen(LightBlue.darker(130)));
  for (double y = From; y <= To; y += 2) P.drawLine(QPointF(Left, y), QPointF(Right, y));
}

void Arrow(QPainter& P, QPointF From, QPointF To, const QColor& Color, double Width = 1.6) {
  P.setPen(Pen(Color, Width));
  P.drawLine(From, To);
  QPointF d = To - From;
  double length = std::hypot(d.x(), d.y());
  QPointF u = d / length, n(-u.y(), u.x());
  P.setBrush(Color);
  P.setPen(Pen(Color, 1));
  P.drawPolygon(QPolygonF({To + u * 1.5, To - u * 2.5 + n * 2.5, To - u * 2.5 - n * 2.5}));
}

void Folder(QPainter& P) {
  QPainterPath back;
  back.moveTo(1.5, 4);
  back.lineTo(6, 4);
  back.lineTo(7.5, 5.5);
  back.lineTo(14.5, 5.5);
  back.lineTo(14.5, 13.5);
  back.lineTo(1.5, 13.5);
  back.closeSubpath();
  P.setPen(Pen(Ink));
  P.setBrush(Amber);
  P.drawPath(back);
  QPainterPath front;
  front.moveTo(1.5, 13.5);
  front.lineTo(3.5, 7.5);
  front.lineTo(15.5, 7.5);
  front.lineTo(14.5, 13.5);
  front.closeSubpath();
  P.setBrush(Amber.lighter(130));
  P.drawPath(front);
}

void XmlMark(QPainter& P, QPointF At, const QColor& Color) {
  P.setPen(Pen(Color, 1.3));
  P.drawPolyline(QPolygonF({At + QPointF(1.5, -2), At, At + QPointF(1.5, 2)}));
  P.drawPolyline(QPolygonF({At + QPointF(4.5, -2), At + QPointF(6, 0), At + QPointF(4.5, 2)}));
  P.drawLine(At + QPointF(3.6, -2.2), At + QPointF(2.4, 2.2));
}

void Disk(QPainter& P) {
  P.setPen(Pen(Ink));
  P.setBrush(Blue);
  QPainterPath body;
  body.moveTo(1.5, 1.5);
  body.lineTo(12.5, 1.5);
  body.lineTo(14.5, 3.5);
  body.lineTo(14.5, 14.5);
  body.lineTo(1.5, 14.5);
  body.closeSubpath();
  P.drawPath(body);
  P.setBrush(Paper);
  P.drawRect(QRectF(4, 1.5, 8, 5));
  P.setBrush(LightBlue);
  P.drawRect(QRectF(3.5, 9, 9, 5.5));
}

void Magnifier(QPainter& P, QPointF Centre, double Radius) {
  P.setPen(Pen(Ink, 1.4));
  P.setBrush(QColor(220, 235, 250, 200));
  P.drawEllipse(Centre, Radius, Radius);
  P.setPen(Pen(Ink, 2.2));
  QPointF handle = Centre + QPointF(Radius, Radius) * 0.72;
  P.drawLine(handle, handle + QPointF(3, 3));
}

void Tick(QPainter& P, const QColor& Color = Green) {
  P.setPen(Pen(Color, 2.2));
  P.setBrush(Qt::NoBrush);
  P.drawPolyline(QPolygonF({{7, 11}, {9.5, 13.5}, {14.5, 7.5}}));
}

void Node(QPainter& P, const QColor& Fill) {
  P.setPen(Pen(Ink));
  P.setBrush(Fill);
  P.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
}

// The strata of the program's emblem: layers of earth under a sky.
void Strata(QPainter& P) {
  QPainterPath frame;
  frame.addRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
  P.save();
  P.setClipPath(frame);
  P.setPen(Qt::NoPen);
  P.setBrush(QColor(120, 170, 220));
  P.drawPath(frame);
  const QColor layers[] = {QColor(196, 160, 100), Earth, QColor(130, 90, 60), QColor(90, 70, 60)};
  for (int i = 0; i < 4; ++i) {
    QPainterPath layer;
    double top = 6 + i * 2.4;
    layer.moveTo(0.5, top + 0.8);
    layer.cubicTo(5, top - 0.8, 10, top + 1.6, 15.5, top);
    layer.lineTo(15.5, 15.5);
    layer.lineTo(0.5, 15.5);
    layer.closeSubpath();
    P.setBrush(layers[i]);
    P.drawPath(layer);
  }
  P.restore();
  P.setPen(Pen(Ink, 0.8));
  P.setBrush(Qt::NoBrush);
  P.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
}

void Emblem(QPainter& P) {
  Strata(P);
  // A record card standing on the strata.
  P.setPen(Pen(Ink, 0.8));
  P.setBrush(Paper);
  P.drawRect(QRectF(8.5, 2, 6, 7.5));
  P.setPen(Pen(Blue, 0.8));
  for (double y = 4; y <= 8; y += 1.5) P.drawLine(QPointF(9.8, y), QPointF(13.2, y));
  P.setPen(Pen(Paper, 1));
  P.setBrush(QColor(255, 240, 170));
  P.drawEllipse(QPointF(4, 3.8), 1.8, 1.8);
}

struct TImage {
  const char* Name;
  int Size;  // pixels of the 1x image; the 16-unit drawing is scaled to it
  bool Double;  // also write Name@2x.png
  TDraw Draw;
};

std::vector<TImage> Images() {
  return {
      {"new", 16, true, [](QPainter& P) {
         Sheet(P);
         P.setPen(Pen(Amber.darker(120), 1.4));
         P.drawLine(QPointF(12, 9.5), QPointF(12, 14.5));
         P.drawLine(QPointF(9.5, 12), QPointF(14.5, 12));
       }},
      {"open", 16, true, [](QPainter& P) { Folder(P); }},
      {"import", 16, true, [](QPainter& P) {
         Folder(P);
         P.setPen(Pen(Paper));
         P.setBrush(Paper);
         P.drawRoundedRect(QRectF(5, 8.5, 9, 4.5), 1, 1);
         XmlMark(P, QPointF(6.5, 10.8), Blue);
       }},
      {"save", 16, true, [](QPainter& P) {
         Disk(P);
         XmlMark(P, QPointF(5, 11.8), Ink);
       }},
      {"saveas", 16, true, [](QPainter& P) {
         Disk(P);
         P.setPen(Pen(Red, 1.6));
         P.drawLine(QPointF(8, 13), QPointF(14.5, 6.5));
       }},
      {"check", 16, true, [](QPainter& P) {
         Sheet(P);
         TextLines(P, 6, 12, 5.5, 10);
         Tick(P);
       }},
      {"preview", 16, true, [](QPainter& P) {
         Sheet(P);
         TextLines(P, 4, 12);
         Magnifier(P, QPointF(8, 8), 3.6);
       }},
      {"help", 16, true, [](QPainter& P) {
         P.setPen(Pen(Ink));
         P.setBrush(Blue);
         P.drawEllipse(QPointF(8, 8), 6.8, 6.8);
         P.setPen(Pen(Paper, 1.8));
         P.setBrush(Qt::NoBrush);
         QPainterPath hook;
         hook.moveTo(5.6, 6.2);
         hook.cubicTo(5.6, 3.4, 10.6, 3.4, 10.4, 6.2);
         hook.cubicTo(10.3, 7.8, 8, 8, 8, 10);
         P.drawPath(hook);
         P.setBrush(Paper);
         P.setPen(Qt::NoPen);
         P.drawEllipse(QPointF(8, 12.4), 1.1, 1.1);
       }},
      {"exit", 16, true, [](QPainter& P) {
         P.setPen(Pen(Ink));
         P.setBrush(Earth.lighter(140));
         P.drawRect(QRectF(2.5, 1.5, 8, 13));
         P.setBrush(Ink);
         P.drawEllipse(QPointF(8.5, 8), 0.7, 0.7);
         Arrow(P, QPointF(7, 8), QPointF(13.5, 8), Red);
       }},
      {"insert", 16, true, [](QPainter& P) {
         Node(P, Paper);
         P.setPen(Pen(Green, 2));
         P.drawLine(QPointF(8, 4.8), QPointF(8, 11.2));
         P.drawLine(QPointF(4.8, 8), QPointF(11.2, 8));
       }},
      {"delete", 16, true, [](QPainter& P) {
         P.setPen(Pen(Red, 2.4));
         P.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
         P.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
       }},
      {"moveup", 16, true, [](QPainter& P) { Arrow(P, QPointF(8, 14), QPointF(8, 3.5), Blue, 2.2); }},
      {"movedown", 16, true, [](QPainter& P) { Arrow(P, QPointF(8, 2), QPointF(8, 12.5), Blue, 2.2); }},
      {"expand", 16, true, [](QPainter& P) {
         P.setPen(Pen(Ink));
         P.setBrush(Paper);
         P.drawRect(QRectF(2.5, 2.5, 11, 11));
         P.setPen(Pen(Blue, 1.6));
         P.drawLine(QPointF(8, 5), QPointF(8, 11));
         P.drawLine(QPointF(5, 8), QPointF(11, 8));
       }},
      {"collapse", 16, true, [](QPainter& P) {
         P.setPen(Pen(Ink));
         P.setBrush(Paper);
         P.drawRect(QRectF(2.5, 2.5, 11, 11));
         P.setPen(Pen(Blue, 1.6));
         P.drawLine(QPointF(5, 8), QPointF(11, 8));
       }},
      {"log", 16, true, [](QPainter& P) {
         Sheet(P, QColor(255, 250, 225));
         TextLines(P, 5, 13, 5.5, 11.5);
         P.setPen(Pen(Red, 1.4));
         P.drawLine(QPointF(5, 5), QPointF(6, 5));
       }},
      {"node_branch", 16, true, [](QPainter& P) {
         Node(P, LightBlue);
         P.setPen(Pen(Ink, 1.1));
         P.drawLine(QPointF(5.5, 5.5), QPointF(5.5, 10.5));
         P.drawLine(QPointF(5.5, 7), QPointF(10.5, 7));
         P.drawLine(QPointF(5.5, 10.5), QPointF(10.5, 10.5));
       }},
      {"node_leaf", 16, true, [](QPainter& P) {
         P.setPen(Pen(Green.darker(130)));
         P.setBrush(Green.lighter(150));
         QPainterPath leaf;
         leaf.moveTo(3, 13);
         leaf.cubicTo(3, 5, 8, 2.5, 13.5, 2.5);
         leaf.cubicTo(13.5, 9, 10, 13, 3, 13);
         P.drawPath(leaf);
         P.drawLine(QPointF(3, 13), QPointF(10, 6));
       }},
      {"node_codelist", 16, true, [](QPainter& P) {
         Node(P, QColor(255, 240, 200));
         P.setPen(Pen(Ink, 1));
         for (double y = 5.5; y <= 10.5; y += 2.5) {
           P.drawLine(QPointF(4.8, y), QPointF(5.8, y));
           P.drawLine(QPointF(7.3, y), QPointF(11.3, y));
         }
       }},
      {"korvane", 32, false, Emblem},
      {"korvane48", 48, false, Emblem},
      {"about", 128, false, [](QPainter& P) {
         Emblem(P);
         // The record card's magnifier: looking into the strata.
         P.setPen(Pen(Ink, 0.5));
         P.setBrush(QColor(230, 242, 255, 150));
         P.drawEllipse(QPointF(5, 10.5), 2.4, 2.4);
         P.setPen(Pen(Ink, 0.9));
         P.drawLine(QPointF(6.8, 12.3), QPointF(8.4, 13.9));
       }},
  };
}

bool Write(const TImage& Image, int Scale, const std::string& FileName) {
  int pixels = Image.Size * Scale;
  QImage picture(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(pixels / 16.0, pixels / 16.0);
  Image.Draw(painter);
  painter.end();
  return picture.save(QString::fromStdString(FileName), "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: drawimages OUTDIR\n");
    return 2;
  }
  std::string folder = argv[1];
  for (const TImage& image : Images()) {
    std::string base = folder + "/" + image.Name;
    if (!Write(image, 1, base + ".png") || (image.Double && !Write(image, 2, base + "@2x.png"))) {
      std::fprintf(stderr, "drawimages: cannot write %s\n", base.c_str());
      return 1;
    }
  }
  return 0;
}
