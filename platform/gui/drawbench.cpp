#include "platform/gui/drawbench.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

namespace {

QString ToQ(const String& s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

QFont PlainFont(const String& AFamily, const String& AFallbackFamily, Integer APixelSize, bool AUnderline) {
  QFont font(ToQ(AFamily));
  font.setFamilies({ToQ(AFamily), ToQ(AFallbackFamily)});
  font.setPixelSize(APixelSize);
  font.setKerning(false);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setUnderline(AUnderline);
  return font;
}

}  // namespace

void DrawLinesWithPlainPainter(Cardinal* ABits, Integer AWidth, Integer AHeight, Integer AStride,
                               const std::vector<String>& ALines, Integer AX, Integer ATop, Integer ALineHeight,
                               const String& AFamily, const String& AFallbackFamily, Integer APixelSize,
                               bool AUnderline) {
  QImage image(reinterpret_cast<uchar*>(ABits), AWidth, AHeight, AStride, QImage::Format_RGB32);
  QPainter p(&image);
  p.setFont(PlainFont(AFamily, AFallbackFamily, APixelSize, AUnderline));
  p.setPen(Qt::black);
  const int ascent = p.fontMetrics().ascent();
  for (size_t I = 0; I < ALines.size(); ++I)
    p.drawText(QPoint(AX, ATop + Integer(I) * ALineHeight + ascent), ToQ(ALines[I]));
}

Integer PlainLineWidth(const String& ALine, const String& AFamily, const String& AFallbackFamily, Integer APixelSize) {
  return QFontMetrics(PlainFont(AFamily, AFallbackFamily, APixelSize, false)).horizontalAdvance(ToQ(ALine));
}
