// Fonts behind the device context: Qt fonts from descriptions, metrics, whole-pixel advances
// and glyph coverage. Internal to the platform layer.
#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QTransform>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/drawing/DeviceContext.h"

namespace plat {

class FontInfo {
 public:
  explicit FontInfo(const TLogFont& description);

  const QFont& Font() const { return font_; }
  const TTextMetric& Metric() const { return metric_; }
  bool Antialiased() const { return antialiased_; }
  int UnderlineTop() const { return underlineTop_; }  // rows below the baseline
  int StrikeOutTop() const { return strikeOutTop_; }  // rows below the baseline (negative)
  int LineWidth() const { return lineWidth_; }

  // Whole-pixel advance of one character (a surrogate pair counts as one).
  int Advance(char32_t codePoint) const;
  // Advances of every code unit, without character extra; the second unit of a surrogate pair
  // gets 0.
  std::vector<int32_t> Advances(std::u16string_view text) const;

  // The horizontal extent [first, second) of the glyphs' ink when unit i starts at offsets[i];
  // italic and overhanging glyphs reach beyond their advances.
  std::pair<int32_t, int32_t> InkSpan(std::u16string_view text,
                                      const std::vector<int32_t>& offsets) const;

  // Draws the glyphs of text into an 8-bit coverage image: unit i has its pen position on the
  // baseline at positions[i], and turn maps those positions into the image.
  void RenderCoverage(QImage& coverage, std::u16string_view text,
                      const std::vector<QPoint>& positions, const QTransform& turn) const;

 private:
  QFont font_;
  TTextMetric metric_;
  bool antialiased_ = true;
  int underlineTop_ = 0, strikeOutTop_ = 0, lineWidth_ = 1;
  mutable std::mutex mutex_;
  mutable std::unordered_map<char32_t, int> advances_;
  mutable std::unordered_map<char32_t, std::pair<int, int>> inks_;  // left, right of the origin
};

// The shared font for a description (created on first use; needs no surface).
std::shared_ptr<const FontInfo> FontFor(const TLogFont& description);

}  // namespace plat
