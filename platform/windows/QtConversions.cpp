#include "platform/windows/QtConversions.h"

#include <algorithm>

namespace plat {

QColor ToQColor(TColor color) {
  TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QFont ToQFont(const TFont& font) {
  QFont f(QString::fromStdString(font.Name()));
  int height = font.Height();
  // Negative heights are the em size in pixels; positive ones include the internal leading.
  f.setPixelSize(std::max(1, height < 0 ? -height : height * 4 / 5));
  f.setBold(font.Style() & fsBold);
  f.setItalic(font.Style() & fsItalic);
  f.setUnderline(font.Style() & fsUnderline);
  f.setStrikeOut(font.Style() & fsStrikeOut);
  return f;
}

QString ToQString(const std::string& text) {
  return QString::fromUtf8(text.data(), int(text.size()));
}

std::string FromQString(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace plat
