// Measuring and classifying the characters of a text section, shared by its layout and drawing.
#pragma once

#include <cstdint>

#include "html/FontRuns.h"
#include "platform/DeviceContext.h"
#include "platform/Graphics.h"

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

}  // namespace html
