// Colour, length and font-size texts from arbitrary bytes: every reader must return a value
// without reading past the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "html/css/CssColors.h"
#include "html/css/CssLengths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  html::TColor colour;
  html::ParseColor(text, false, colour);
  html::ParseColor(text, true, colour);
  html::ParseRGB(text, colour);
  html::LengthConv(text, false, 300, 16, 8, -1);
  html::LengthConv(text, true, -100, 16, 8, -1);
  html::FontSizeConv(text, 12);
  return 0;
}
