// Fonts behind the device context: Qt fonts from descriptions, metrics, whole-pixel advances
// and glyph coverage. Internal to the platform layer.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRectF>
#include <QTextLayout>
#include <QTransform>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/drawing/DeviceContext.h"

namespace plat {

// A line of text laid out as the desktop lays it out: reordered for its reading direction and
// shaped (joined letters, marks, ligatures) in one piece.
struct ShapedLine {
  // Every code unit's share of the line's width in whole pixels, in reading order: a cluster
  // (a ligature, a letter with its marks, a surrogate pair) gets the advance of the glyphs drawn
  // for it on its first unit, its other units none.
  std::vector<int32_t> advances;
  // The horizontal extent [first, second) of the glyphs' ink from the line's start.
  std::pair<int32_t, int32_t> ink{0, 0};
  // The glyphs, placed from the line's start on the baseline, and the box of each run's ink.
  QList<QGlyphRun> runs;
  std::vector<QRectF> inks;
};

class FontInfo {
 public:
  explicit FontInfo(const TLogFont& description);

  const QFont& Font() const { return font_; }
  const TTextMetric& Metric() const { return metric_; }
  bool Antialiased() const { return antialiased_; }
  int UnderlineTop() const { return underlineTop_; }  // rows below the baseline
  int StrikeOutTop() const { return strikeOutTop_; }  // rows below the baseline (negative)
  int LineWidth() const { return lineWidth_; }

  // Text that must be laid out as a whole: characters read right to left, direction controls,
  // scripts whose letters change with their neighbours. Other text is placed character by
  // character, each at its own whole-pixel advance.
  static bool NeedsLayout(std::u16string_view text);
  // The text laid out as one line in this font (remembered for the texts used last).
  std::shared_ptr<const ShapedLine> Shape(std::u16string_view text) const;
  // The layout that Shape reads: the text as one line, the first of the layout's lines (none
  // when the text cannot be laid out).
  std::unique_ptr<QTextLayout> LayOut(std::u16string_view text) const;

  // Whole-pixel advance of one character (a surrogate pair counts as one).
  int Advance(char32_t codePoint) const;
  // Advances of every code unit, without character extra; the second unit of a surrogate pair
  // gets 0. Text that needs layout gets its shaped line's shares.
  std::vector<int32_t> Advances(std::u16string_view text) const;

  // The horizontal extent [first, second) of the glyphs' ink when unit i starts at offsets[i];
  // italic and overhanging glyphs reach beyond their advances.
  std::pair<int32_t, int32_t> InkSpan(std::u16string_view text,
                                      const std::vector<int32_t>& offsets) const;

  // Draws the glyphs of text into an 8-bit coverage image: unit i has its pen position on the
  // baseline at positions[i], and turn maps those positions into the image. A shaped line is
  // drawn whole from positions[0].
  void RenderCoverage(QImage& coverage, std::u16string_view text,
                      const std::vector<QPoint>& positions, const QTransform& turn,
                      const ShapedLine* shaped = nullptr) const;

 private:
  QFont font_, layoutFont_;
  TTextMetric metric_;
  bool antialiased_ = true;
  int underlineTop_ = 0, strikeOutTop_ = 0, lineWidth_ = 1;
  mutable std::mutex mutex_;
  mutable std::unordered_map<char32_t, int> advances_;
  mutable std::unordered_map<char32_t, std::pair<int, int>> inks_;  // left, right of the origin
  mutable std::unordered_map<std::u16string, std::shared_ptr<const ShapedLine>> shaped_;
};

// The shared font for a description (created on first use; needs no surface).
std::shared_ptr<const FontInfo> FontFor(const TLogFont& description);

}  // namespace plat
