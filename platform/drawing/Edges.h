// Classic 3-D edges and frame controls, drawn from the four system edge colours (button
// highlight, 3-D light, button shadow, 3-D dark shadow). Themes are not available, so every
// control draws this way.
#pragma once

#include <cstdint>

#include "platform/drawing/Graphics.h"

namespace plat {

// Edge parts: outer and inner borders, raised or sunken.
inline constexpr uint32_t BDR_RAISEDOUTER = 0x0001;
inline constexpr uint32_t BDR_SUNKENOUTER = 0x0002;
inline constexpr uint32_t BDR_RAISEDINNER = 0x0004;
inline constexpr uint32_t BDR_SUNKENINNER = 0x0008;
inline constexpr uint32_t EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr uint32_t EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr uint32_t EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr uint32_t EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
// Which sides, and extras.
inline constexpr uint32_t BF_LEFT = 0x0001;
inline constexpr uint32_t BF_TOP = 0x0002;
inline constexpr uint32_t BF_RIGHT = 0x0004;
inline constexpr uint32_t BF_BOTTOM = 0x0008;
inline constexpr uint32_t BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr uint32_t BF_MIDDLE = 0x0800;  // fill the inside with the button face
inline constexpr uint32_t BF_SOFT = 0x1000;
inline constexpr uint32_t BF_ADJUST = 0x2000;  // shrink the rectangle by the drawn edges
inline constexpr uint32_t BF_FLAT = 0x4000;
inline constexpr uint32_t BF_MONO = 0x8000;

// Frame-control types and states.
inline constexpr uint32_t DFC_BUTTON = 4;
inline constexpr uint32_t DFC_SCROLL = 3;
inline constexpr uint32_t DFCS_SCROLLUP = 0x0000;
inline constexpr uint32_t DFCS_SCROLLDOWN = 0x0001;
inline constexpr uint32_t DFCS_SCROLLLEFT = 0x0002;
inline constexpr uint32_t DFCS_SCROLLRIGHT = 0x0003;
inline constexpr uint32_t DFCS_SCROLLSIZEGRIP = 0x0008;
inline constexpr uint32_t DFCS_BUTTONPUSH = 0x0010;
inline constexpr uint32_t DFCS_INACTIVE = 0x0100;
inline constexpr uint32_t DFCS_PUSHED = 0x0200;
inline constexpr uint32_t DFCS_FLAT = 0x4000;

// Draws the edges; with BF_ADJUST the rectangle becomes what is left inside.
void DrawEdge(TCanvas& canvas, TRect& rect, uint32_t edge, uint32_t flags);
// A frame `width` pixels wide: top-left in topColor, bottom-right in bottomColor; the rectangle
// shrinks by it.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);
// Scroll arrows, the size grip and push buttons.
void DrawFrameControl(TCanvas& canvas, const TRect& rect, uint32_t type, uint32_t state);
// A checker of two colours, pixel (x + y) even in `a`; equal colours give a solid fill.
void FillDither(TCanvas& canvas, const TRect& rect, TColor a, TColor b);

}  // namespace plat
