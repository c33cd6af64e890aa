// Colours of CSS and HTML attributes: names, rgb() and hexadecimal forms.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/drawing/Colors.h"

namespace html {

// Colours are COLORREF values (red in the low byte); system colours are 0xFF0000nn (nn the
// system colour index).
using plat::TColor;

// No colour: nothing is painted.
inline constexpr TColor clNone = 0x1FFFFFFF;
// The engine's value of a system colour.
constexpr TColor HtmlSystemColor(int index) {
  return TColor(0xFF000000u | uint32_t(index & 0xFF));
}

// Reads a colour name, an rgb(r, g, b) form or a "#" hexadecimal form (a bare hexadecimal
// number too unless `bareHexRefused`). False for anything else; `colour` is then unchanged.
bool ParseColor(std::string_view s, bool bareHexRefused, TColor& colour);
// Reads "(r, g, b)" with numbers 0 to 255 or percentages (what follows "rgb").
bool ParseRGB(std::string_view s, TColor& colour);

}  // namespace html
