#include "platform/drawing/FontEngine.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <tuple>

#include "platform/drawing/FontFamilies.h"
#include "platform/windows/QtRuntime.h"

namespace plat {
namespace {

constexpr int kDefaultEmPixels = 12;

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

QString CodePointText(char32_t cp) {
  const char32_t units[1] = {cp};
  return QString::fromUcs4(units, 1);
}

QFont MakeFont(const TLogFont& d, int pixelSize) {
  QFont font(QString::fromStdString(DrawnFontFamily(d.FaceName)));
  font.setPixelSize(std::max(1, pixelSize));
  font.setWeight(d.Weight >= 600 ? QFont::Bold : QFont::Normal);
  font.setItalic(d.Italic);
  font.setKerning(false);
  if (d.Pitch == FIXED_PITCH) font.setFixedPitch(true);
  // Underline and strike-out are drawn by the context over the whole cell.
  const bool antialiased = d.Quality != NONANTIALIASED_QUALITY;
  font.setStyleStrategy(QFont::StyleStrategy(
      (antialiased ? QFont::PreferAntialias | QFont::NoSubpixelAntialias : QFont::NoAntialias) |
      QFont::PreferNoShaping));
  return font;
}

int CellHeight(const QFont& font) {
  QFontMetrics fm(font);
  return fm.ascent() + fm.descent();
}

}  // namespace

FontInfo::FontInfo(const TLogFont& d) : antialiased_(d.Quality != NONANTIALIASED_QUALITY) {
  int em = kDefaultEmPixels;
  if (d.Height < 0) {
    em = -d.Height;
  } else if (d.Height > 0) {
    // A cell height: scale the em so that ascent + descent comes out at that height.
    const int cell = std::max(1, CellHeight(MakeFont(d, d.Height)));
    em = std::max(1, int(std::lround(double(d.Height) * d.Height / cell)));
  }
  font_ = MakeFont(d, em);
  if (d.Width > 0) {
    // The glyphs are stretched so that the average character comes out at the width asked for.
    const int natural = QFontMetrics(font_).averageCharWidth();
    if (natural > 0) {
      font_.setStretch(std::clamp(int(std::lround(100.0 * d.Width / natural)), 1, 4000));
    }
  }
  QFontMetrics fm(font_);
  metric_.Ascent = fm.ascent();
  metric_.Descent = fm.descent();
  metric_.Height = metric_.Ascent + metric_.Descent;
  metric_.InternalLeading = std::max(0, metric_.Height - em);
  metric_.ExternalLeading = std::max(0, fm.leading());
  metric_.AveCharWidth = fm.averageCharWidth();
  metric_.MaxCharWidth = fm.maxWidth();
  lineWidth_ = std::max(1, fm.lineWidth());
  underlineTop_ = std::min(fm.underlinePos(), metric_.Descent - lineWidth_);
  strikeOutTop_ = -fm.strikeOutPos();
}

int FontInfo::Advance(char32_t cp) const {
  std::lock_guard guard(mutex_);
  auto it = advances_.find(cp);
  if (it != advances_.end()) return it->second;
  const int advance = QFontMetrics(font_).horizontalAdvance(CodePointText(cp));
  advances_.emplace(cp, advance);
  return advance;
}

// Calls visit(index of the first unit, code point) for every character of text.
template <class Visit>
void ForEachCodePoint(std::u16string_view text, Visit visit) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      visit(i, 0x10000 + ((char32_t(text[i]) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else {
      visit(i, char32_t(text[i]));
    }
  }
}

std::vector<int32_t> FontInfo::Advances(std::u16string_view text) const {
  std::vector<int32_t> result(text.size(), 0);
  ForEachCodePoint(text, [&](size_t i, char32_t cp) { result[i] = Advance(cp); });
  return result;
}

std::pair<int32_t, int32_t> FontInfo::InkSpan(std::u16string_view text,
                                              const std::vector<int32_t>& offsets) const {
  std::pair<int32_t, int32_t> span{INT32_MAX, INT32_MIN};
  ForEachCodePoint(text, [&](size_t i, char32_t cp) {
    std::pair<int, int> ink;
    {
      std::lock_guard guard(mutex_);
      auto it = inks_.find(cp);
      if (it == inks_.end()) {
        const QRect r = QFontMetrics(font_).boundingRect(CodePointText(cp));
        it = inks_.emplace(cp, std::pair<int, int>{r.left(), r.left() + r.width()}).first;
      }
      ink = it->second;
    }
    if (ink.second <= ink.first) return;  // no ink, e.g. a space
    span.first = std::min(span.first, offsets[i] + ink.first);
    span.second = std::max(span.second, offsets[i] + ink.second);
  });
  return span.first <= span.second ? span : std::pair<int32_t, int32_t>{0, 0};
}

void FontInfo::RenderCoverage(QImage& coverage, std::u16string_view text,
                              const std::vector<QPoint>& positions, const QTransform& turn) const {
  QPainter painter(&coverage);
  painter.setTransform(turn);
  painter.setRenderHint(QPainter::TextAntialiasing, antialiased_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(font_);
  painter.setPen(QColor(255, 255, 255, 255));
  for (size_t i = 0; i < text.size(); ++i) {
    size_t length = 1;
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) length = 2;
    const QString glyph =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(text.data() + i), qsizetype(length));
    if (glyph != QStringLiteral(" ")) painter.drawText(positions[i], glyph);
    i += length - 1;
  }
}

std::shared_ptr<const FontInfo> FontFor(const TLogFont& d) {
  EnsureQtApplication();
  using Key = std::tuple<std::string, int32_t, int32_t, int32_t, bool, uint8_t, uint8_t>;
  static std::mutex cacheMutex;
  static std::map<Key, std::shared_ptr<const FontInfo>> cache;
  // Underline, strike-out, escapement and charset do not change the Qt font.
  const Key key{d.FaceName, d.Height, d.Width, d.Weight, d.Italic, d.Quality, d.Pitch};
  std::lock_guard guard(cacheMutex);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  if (cache.size() >= 256) cache.clear();  // fonts in use are kept alive by their holders
  auto info = std::make_shared<const FontInfo>(d);
  cache.emplace(key, info);
  return info;
}

}  // namespace plat
