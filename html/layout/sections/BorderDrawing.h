// CSS borders of every style, shared by blocks, cells, inline elements, images and form controls,
// and the darkened colours of 3-D styles.
#pragma once

#include <array>
#include <cstdint>

#include "html/css/CssColors.h"
#include "platform/drawing/Geometry.h"
#include "platform/drawing/Graphics.h"

namespace html {

// Border style codes, one byte per side; 16 and above are ignored.
enum TBorderStyleCode : uint8_t {
  bssNone,
  bssSolid,
  bssInset,
  bssOutset,
  bssGroove,
  bssRidge,
  bssDashed,
  bssDotted,
  bssDouble
};

// Sides are always left, top, right, bottom.
enum TBorderSide : int { bsLeft, bsTop, bsRight, bsBottom };
using TSideColors = std::array<TColor, 4>;
using TQuad = std::array<plat::TPoint, 4>;

// Left in the lowest byte.
constexpr uint32_t PackBorderSides(uint8_t left, uint8_t top, uint8_t right, uint8_t bottom) {
  return uint32_t(left) | uint32_t(top) << 8 | uint32_t(right) << 16 | uint32_t(bottom) << 24;
}
constexpr TSideColors SetRectRec(TColor left, TColor top, TColor right, TColor bottom) {
  return {left, top, right, bottom};
}

// Paints the ring between outer and inner; background (clNone: none) shows between the strokes
// of dashed, dotted and double sides.
void DrawCssBorder(plat::TCanvas& canvas, plat::TRect outer, plat::TRect inner, TColor background,
                   uint32_t styles, const TSideColors& colors);
// One side's quadrilateral (outer corner, next outer corner, next inner corner, inner corner).
void DrawBorderSide(plat::TCanvas& canvas, const TQuad& corners, TColor color, TBorderSide side);
// Red, green and blue times 0.75, rounded half to even; a system colour is resolved first.
TColor DarkerColor(TColor color);

}  // namespace html
