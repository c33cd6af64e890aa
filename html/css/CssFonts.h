// The engine's fonts: a platform font that carries its metrics, background and letter spacing,
// plain font descriptions, and the choice of a family from a CSS font-family list.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "html/base/ValueShare.h"
#include "html/css/CssColors.h"
#include "html/css/CssValues.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"

namespace html {

class TMyFont : public plat::TFont {
 public:
  // A TMyFont source brings its own fields along; every source brings the font itself.
  void Assign(const plat::TPersistent& source) override;
  // Equal for fonts that look alike, their measured metrics included.
  std::string ShareKey() const;

  TColor BackgroundColor = clNone;
  int tmHeight = 0;
  int tmDescent = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int32_t tmCharset = 0;
  int LetterSpacing = 0;  // pixels added after every character
};

struct ThtFontInfo {
  std::string Name;
  double Size = 0;  // points
  plat::TFontStyles Style = 0;
  TColor Color = 0;
  TColor BackgroundColor = clNone;
  uint8_t Charset = 0;
  TCssValue LetterSpacing;  // as the style gave it
};

// The fonts of a link in its four states.
struct TFontInfoArray {
  enum : int { Link = 0, Visited = 1, Hover = 2, VisitedHover = 3 };
  std::array<ThtFontInfo, 4> Ar;
};

// Reads the metrics of the font's description into its tm fields; returns them all.
plat::TTextMetric MeasureFont(TMyFont& font);

// Fonts that look alike, held once: the runs of a page share them instead of a copy each.
using TFontShare = TValueShare<TMyFont>;

// The canvas draws with `font`, including its letter spacing.
void AssignCanvasFont(plat::TCanvas& canvas, const TMyFont& font);

// Takes the first family off a comma-separated list: trimmed, generic names mapped to a real
// family, quotes removed.
std::string NextFontFamily(std::string_view& list);
// The first family of the list that is installed, or empty.
std::string PickFontFamily(std::string_view list);

}  // namespace html
