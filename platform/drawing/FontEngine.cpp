#include "platform/drawing/FontEngine.h"

#include <private/qfontengine_p.h>
#include <private/qrawfont_p.h>
#include <private/qtextengine_p.h>
#include <QFontMetrics>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <QTextLayout>
#include <algorithm>
#include <array>
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
  // Laid out whole, text is shaped and kerned as the desktop's own text is.
  layoutFont_ = font_;
  layoutFont_.setKerning(true);
  layoutFont_.setStyleStrategy(
      QFont::StyleStrategy(font_.styleStrategy() & ~QFont::PreferNoShaping));
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

namespace {

// Directions that take a line out of plain left-to-right order.
constexpr std::array kReorderingDirections{
    QChar::DirR,   QChar::DirAL,  QChar::DirAN,  QChar::DirRLE, QChar::DirRLO, QChar::DirRLI,
    QChar::DirLRE, QChar::DirLRO, QChar::DirLRI, QChar::DirFSI, QChar::DirPDF, QChar::DirPDI};
// Scripts whose letters keep one shape whatever stands beside them.
constexpr std::array kLetterByLetterScripts{
    QChar::Script_Common,   QChar::Script_Inherited, QChar::Script_Latin,    QChar::Script_Greek,
    QChar::Script_Cyrillic, QChar::Script_Armenian,  QChar::Script_Georgian, QChar::Script_Han,
    QChar::Script_Hiragana, QChar::Script_Katakana,  QChar::Script_Bopomofo, QChar::Script_Hangul,
    QChar::Script_Yi};

template <class T, size_t N>
bool OneOf(T value, const std::array<T, N>& values) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

bool IsPairAt(std::u16string_view text, size_t i) {
  return IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
}

// For every character of a laid out line, what a query of the layout for that character alone
// gives: the advances of its glyphs, from the first glyph of its cluster up to the glyph before
// the next character's cluster (at least that first one), undrawn glyphs left out, added up in
// the order the layout hands them out. Read from the clusters in one pass, since each query of
// the layout costs the whole line. Characters past the line (after a line separator) and the
// spaces that end it have none.
class CharacterAdvances {
 public:
  CharacterAdvances(const QTextLayout& layout, const QTextLine& line, std::u16string_view text)
      : engine_(*layout.engine()), text_(text), sums_(text.size(), 0.0) {
    engine_.itemize();  // the layout lets go of its items once it is laid out
    const QScriptLine& scriptLine = engine_.lines[line.lineNumber()];
    lineStart_ = scriptLine.from;
    lineEnd_ = scriptLine.from + scriptLine.length;
    // The line's items are visited in the order they are drawn.
    const QScriptItemArray& items = engine_.layoutData->items;
    std::vector<int> lineItems;
    std::vector<quint8> levels;
    for (qsizetype k = 0; k < items.size(); ++k) {
      if (items[k].position < lineEnd_ && ItemEnd(int(k)) > lineStart_) {
        lineItems.push_back(int(k));
        levels.push_back(quint8(items[k].analysis.bidiLevel));
      }
    }
    std::vector<int> visual(lineItems.size());
    QTextEngine::bidiReorder(int(lineItems.size()), levels.data(), visual.data());
    for (int v : visual) AddItem(lineItems[size_t(v)]);
  }

  const std::vector<double>& Sums() const { return sums_; }

 private:
  int ItemEnd(int k) const {
    const QScriptItemArray& items = engine_.layoutData->items;
    return k + 1 < items.size() ? items[k + 1].position : int(engine_.layoutData->string.size());
  }

  const QRawFont& RawFont(QFontEngine* fontEngine) {
    auto [it, added] = rawFonts_.try_emplace(fontEngine);
    if (added) QRawFontPrivate::get(it->second)->setFontEngine(fontEngine);
    return it->second;
  }

  void AddItem(int k) {
    if (engine_.layoutData->items[k].analysis.flags >= QScriptAnalysis::TabOrObject) return;
    if (engine_.layoutData->items[k].num_glyphs == 0) engine_.shape(k);
    const QScriptItem& item = engine_.layoutData->items[k];
    const int itemLength = ItemEnd(k) - item.position;
    const int start = std::max(item.position, lineStart_);
    const int end = std::min(ItemEnd(k), lineEnd_);
    const unsigned short* clusters = engine_.logClusters(&item);
    const QGlyphLayout glyphs = engine_.shapedGlyphs(&item);
    // A font with fallbacks tells the font of each glyph by the glyph's high byte; right to
    // left, the glyphs of one font are handed out from the last font's on.
    QFontEngine* fontEngine = engine_.fontEngine(item);
    const bool multi = fontEngine->type() == QFontEngine::Multi;
    const bool rightToLeft = item.analysis.bidiLevel % 2 != 0;
    auto fontOf = [&](int g) { return multi ? int(glyphs.glyphs[g] >> 24) : 0; };
    // A soft hyphen that ends the line shows as a hyphen.
    const int hyphenAt =
        lineEnd_ > start && lineEnd_ <= end && text_[size_t(lineEnd_ - 1)] == 0x00AD
            ? clusters[lineEnd_ - 1 - item.position]
            : -1;
    auto add = [&](double& sum, int from, int to) {
      for (int g = from; g < to; ++g) {
        glyph_t glyph = glyphs.glyphs[g];
        if (g == hyphenAt) {
          glyph = fontEngine->glyphIndex('-');
        } else if (glyphs.attributes[g].dontPrint) {
          continue;
        }
        QFontEngine* drawing =
            multi ? static_cast<QFontEngineMulti*>(fontEngine)->engine(int(glyph >> 24))
                  : fontEngine;
        const quint32 index = multi ? (glyph & 0xFFFFFF) : glyph;
        sum += RawFont(drawing).advancesForGlyphIndexes({index}).value(0).x();
      }
    };
    // A surrogate pair that the items split counts for the character it starts.
    size_t i = size_t(start);
    if (i > 0 && IsPairAt(text_, i - 1)) --i;
    while (i < size_t(end)) {
      const size_t units = IsPairAt(text_, i) ? 2 : 1;
      const int from = std::max(int(i), start) - item.position;
      const int to = std::min(int(i + units), end) - 1 - item.position;
      const int first = clusters[from];
      int last = clusters[to];
      const int next = to < itemLength - 1 ? clusters[to + 1] : glyphs.numGlyphs;
      if (next - 1 > last) last = next - 1;
      last = std::min(last, glyphs.numGlyphs - 1);
      double& sum = sums_[i];
      if (!rightToLeft) {
        add(sum, first, last + 1);
      } else {
        for (int runEnd = last + 1; runEnd > first;) {
          int runStart = runEnd - 1;
          while (runStart > first && fontOf(runStart - 1) == fontOf(runEnd - 1)) --runStart;
          add(sum, runStart, runEnd);
          runEnd = runStart;
        }
      }
      i += units;
    }
  }

  const QTextEngine& engine_;
  std::u16string_view text_;
  std::vector<double> sums_;
  int lineStart_ = 0, lineEnd_ = 0;
  std::unordered_map<QFontEngine*, QRawFont> rawFonts_;
};

}  // namespace

bool FontInfo::NeedsLayout(std::u16string_view text) {
  bool needs = false;
  ForEachCodePoint(text, [&](size_t, char32_t cp) {
    // Below the Hebrew block every script is placed letter by letter.
    if (!needs && cp >= 0x0590)
      needs = OneOf(QChar::direction(cp), kReorderingDirections) ||
              !OneOf(QChar::script(cp), kLetterByLetterScripts);
  });
  return needs;
}

std::unique_ptr<QTextLayout> FontInfo::LayOut(std::u16string_view text) const {
  auto layout = std::make_unique<QTextLayout>(
      QString::fromUtf16(text.data(), qsizetype(text.size())), layoutFont_);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  // The line starts at the left whatever its direction; the first strong character decides it.
  option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
  layout->setTextOption(option);
  layout->beginLayout();
  QTextLine row = layout->createLine();
  if (row.isValid()) {
    row.setLineWidth(0);
    row.setPosition(QPointF(0, 0));
  }
  layout->endLayout();
  return layout;
}

std::shared_ptr<const ShapedLine> FontInfo::Shape(std::u16string_view text) const {
  const std::u16string key(text);
  {
    std::lock_guard guard(mutex_);
    auto it = shaped_.find(key);
    if (it != shaped_.end()) return it->second;
  }
  auto line = std::make_shared<ShapedLine>();
  const std::unique_ptr<QTextLayout> layout = LayOut(text);
  if (layout->lineCount() == 0) return line;
  const QTextLine row = layout->lineAt(0);

  // Whole pixels from the running sum of the glyphs drawn for each character, so that the
  // shares add up to the line's rounded width.
  line->advances.assign(text.size(), 0);
  const std::vector<double> characterAdvances = CharacterAdvances(*layout, row, text).Sums();
  double reached = 0;
  int64_t placed = 0;
  ForEachCodePoint(text, [&](size_t i, char32_t) {
    reached += characterAdvances[i];
    const int64_t rounded = std::llround(reached);
    line->advances[i] = int32_t(rounded - placed);
    placed = rounded;
  });

  const double baseline = row.ascent();
  double inkLeft = 0, inkRight = 0;
  bool inked = false;
  for (QGlyphRun run : layout->glyphRuns()) {
    QList<QPointF> positions = run.positions();
    for (QPointF& p : positions) p.ry() -= baseline;
    run.setPositions(positions);
    const QRectF box = run.boundingRect();
    if (!box.isEmpty()) {
      inkLeft = inked ? std::min(inkLeft, box.left()) : box.left();
      inkRight = inked ? std::max(inkRight, box.right()) : box.right();
      inked = true;
    }
    line->runs.push_back(run);
  }
  if (inked) line->ink = {int32_t(std::floor(inkLeft)), int32_t(std::ceil(inkRight))};

  std::lock_guard guard(mutex_);
  if (shaped_.size() >= 256) shaped_.clear();  // lines in use are kept alive by their holders
  shaped_.emplace(key, line);
  return line;
}

std::vector<int32_t> FontInfo::Advances(std::u16string_view text) const {
  if (NeedsLayout(text)) return Shape(text)->advances;
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
                              const std::vector<QPoint>& positions, const QTransform& turn,
                              const ShapedLine* shaped) const {
  QPainter painter(&coverage);
  painter.setTransform(turn);
  painter.setRenderHint(QPainter::TextAntialiasing, antialiased_);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setFont(font_);
  painter.setPen(QColor(255, 255, 255, 255));
  if (shaped != nullptr) {
    if (!positions.empty())
      for (const QGlyphRun& run : shaped->runs) painter.drawGlyphRun(QPointF(positions[0]), run);
    return;
  }
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
