#include "platform/drawing/FontEngine.h"

#include <private/qtextengine_p.h>
#include <QFontMetrics>
#include <QPainter>
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

// Every cluster's share of a laid out line: the advances of the glyphs the layout draws for the
// cluster (a ligature, a letter with its marks, a surrogate pair) go to its first character and
// the rest of it gets none, so the shares add up to the line's width and a cluster is never cut.
// Read from the clusters in one pass, since each query of the layout costs the whole line.
// Characters past the line (after a line separator) have none.
class ClusterAdvances {
 public:
  ClusterAdvances(const QTextLayout& layout, const QTextLine& line, std::u16string_view text)
      : engine_(*layout.engine()), text_(text), sums_(text.size(), 0.0) {
    engine_.itemize();  // the layout lets go of its items once it is laid out
    const QScriptLine& scriptLine = engine_.lines[line.lineNumber()];
    lineStart_ = scriptLine.from;
    lineEnd_ = scriptLine.from + scriptLine.length + scriptLine.trailingSpaces;
    // A soft hyphen that ends the line's text shows as a hyphen.
    const int last = scriptLine.from + scriptLine.length - 1;
    if (last >= 0 && text_[size_t(last)] == 0x00AD) hyphenAt_ = last;
    const QScriptItemArray& items = engine_.layoutData->items;
    // Logical order: tabs reach from the width before them.
    for (qsizetype k = 0; k < items.size(); ++k)
      if (items[k].position < lineEnd_ && ItemEnd(int(k)) > lineStart_) AddItem(int(k));
  }

  // Exact: the advances are whole 64ths of a pixel.
  const std::vector<double>& Sums() const { return sums_; }

 private:
  int ItemEnd(int k) const {
    const QScriptItemArray& items = engine_.layoutData->items;
    return k + 1 < items.size() ? items[k + 1].position : int(engine_.layoutData->string.size());
  }

  // What is drawn for the cluster at unit i; the second half of a surrogate pair that the items
  // split counts for the pair.
  void Add(size_t i, QFixed advance) {
    sums_[i > 0 && IsPairAt(text_, i - 1) ? i - 1 : i] += advance.toReal();
    reached_ += advance;
  }

  void AddItem(int k) {
    const QScriptItem& item = engine_.layoutData->items[k];
    if (item.analysis.flags == QScriptAnalysis::Tab) {
      // A tab reaches to the next tab stop after what comes before it in the line.
      Add(size_t(item.position), engine_.calculateTabWidth(k, reached_));
      return;
    }
    if (item.analysis.flags >= QScriptAnalysis::TabOrObject) return;
    if (engine_.layoutData->items[k].num_glyphs == 0) engine_.shape(k);
    const int itemLength = ItemEnd(k) - item.position;
    const int start = std::max(item.position, lineStart_) - item.position;
    const int end = std::min(ItemEnd(k), lineEnd_) - item.position;
    const unsigned short* clusters = engine_.logClusters(&item);
    const QGlyphLayout glyphs = engine_.shapedGlyphs(&item);
    for (int c = start; c < end;) {
      int next = c + 1;
      while (next < itemLength && clusters[next] == clusters[c]) ++next;
      const int glyphEnd = next < itemLength ? clusters[next] : glyphs.numGlyphs;
      const bool hyphen = hyphenAt_ >= item.position + c && hyphenAt_ < item.position + next;
      QFixed sum = 0;
      for (int g = clusters[c]; g < glyphEnd; ++g)
        sum += hyphen ? glyphs.advances[g] : glyphs.effectiveAdvance(g);
      Add(size_t(item.position + c), sum);
      c = next;
    }
  }

  const QTextEngine& engine_;
  std::u16string_view text_;
  std::vector<double> sums_;
  int lineStart_ = 0, lineEnd_ = 0, hyphenAt_ = -1;
  QFixed reached_ = 0;  // the width of the line so far, in the order the layout reads it
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
  const std::vector<double> characterAdvances = ClusterAdvances(*layout, row, text).Sums();
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
  // Runs of a few glyphs each, so that drawing a part of a long line costs that part; each
  // with the box of its glyphs' ink (the layout gives the box of their advances).
  constexpr qsizetype kRunGlyphs = 256;
  for (const QGlyphRun& whole : layout->glyphRuns()) {
    const QList<quint32> glyphs = whole.glyphIndexes();
    const QList<QPointF> positions = whole.positions();
    for (qsizetype at = 0; at < glyphs.size(); at += kRunGlyphs) {
      QGlyphRun run = whole;
      QList<QPointF> placed = positions.mid(at, kRunGlyphs);
      for (QPointF& p : placed) p.ry() -= baseline;
      run.setGlyphIndexes(glyphs.mid(at, kRunGlyphs));
      run.setPositions(placed);
      run.setBoundingRect(QRectF());
      const QRectF box = run.boundingRect();
      if (!box.isEmpty()) {
        inkLeft = inked ? std::min(inkLeft, box.left()) : box.left();
        inkRight = inked ? std::max(inkRight, box.right()) : box.right();
        inked = true;
      }
      line->runs.push_back(run);
      line->inks.push_back(box);
    }
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
    if (positions.empty()) return;
    // A long line is drawn in many runs; only those whose ink meets the image cost anything.
    const QRectF image(0, 0, coverage.width(), coverage.height());
    for (size_t k = 0; k < shaped->inks.size(); ++k)
      if (turn.mapRect(shaped->inks[k].translated(positions[0]))
              .adjusted(-1, -1, 1, 1)
              .intersects(image))
        painter.drawGlyphRun(QPointF(positions[0]), shaped->runs[k]);
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
