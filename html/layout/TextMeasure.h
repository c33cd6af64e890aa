// Measuring and classifying the characters of a text section, shared by its layout and drawing.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

#include "html/layout/FontRuns.h"
#include "html/layout/TextSection.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"

namespace html {

// The canvas's context, or a measuring-only one when the canvas has none.
plat::DeviceContext& TextContext(plat::TCanvas& canvas);
// Selects the run's font with its letter spacing for measuring and drawing.
void SelectRunFont(plat::TCanvas& canvas, const TFontObj& run);

// Characters of far-eastern scripts: each may stand alone on a line. The second half of a
// surrogate pair is not one, so a pair is never split.
inline bool IsWideChar(char16_t ch) {
  return ch >= 0x3000 && !(ch >= 0xDC00 && ch <= 0xDFFF);
}

inline bool IsObjectChar(char16_t ch) {
  return ch == kObjectChar || ch == kControlChar;
}

// Characters after which a word may end.
inline bool IsBreakChar(char16_t ch) {
  return IsObjectChar(ch) || ch == kLineBreakChar || ch == u' ' || ch == u'-' || ch == u'?' ||
         IsWideChar(ch);
}

inline int32_t Clamped(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace html
