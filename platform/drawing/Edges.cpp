#include "platform/drawing/Edges.h"

#include <algorithm>

namespace plat {
namespace {

void Fill(TCanvas& canvas, const TRect& r, TColor color) {
  if (r.IsEmpty()) return;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  canvas.FillRect(r);
}

// One ring of an edge: top and left in `light`, bottom and right in `dark`.
void Ring(TCanvas& canvas, TRect& r, TColor light, TColor dark, uint32_t flags) {
  if (r.IsEmpty()) return;
  if (flags & BF_TOP) Fill(canvas, {r.Left, r.Top, r.Right, r.Top + 1}, light);
  if (flags & BF_LEFT) Fill(canvas, {r.Left, r.Top, r.Left + 1, r.Bottom}, light);
  if (flags & BF_BOTTOM) Fill(canvas, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, dark);
  if (flags & BF_RIGHT) Fill(canvas, {r.Right - 1, r.Top, r.Right, r.Bottom}, dark);
  if (flags & BF_TOP) ++r.Top;
  if (flags & BF_LEFT) ++r.Left;
  if (flags & BF_BOTTOM) --r.Bottom;
  if (flags & BF_RIGHT) --r.Right;
}

// A solid triangle pointing in one of the four directions, centred in r.
void Arrow(TCanvas& canvas, const TRect& r, uint32_t direction, TColor color) {
  int size = std::max(1, std::min(r.Width(), r.Height()) / 3);
  int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(color);
  for (int i = 0; i < size; ++i) {
    // Row i of the triangle: 2 * i + 1 pixels wide, from the tip outwards.
    int half = i, offset = i - size / 2;
    TRect line;
    switch (direction) {
      case DFCS_SCROLLUP:
        line = {cx - half, cy + offset, cx + half + 1, cy + offset + 1};
        break;
      case DFCS_SCROLLDOWN:
        line = {cx - half, cy - offset, cx + half + 1, cy - offset + 1};
        break;
      case DFCS_SCROLLLEFT:
        line = {cx + offset, cy - half, cx + offset + 1, cy + half + 1};
        break;
      default:
        line = {cx - offset, cy - half, cx - offset + 1, cy + half + 1};
        break;
    }
    canvas.FillRect(line);
  }
}

}  // namespace

void DrawEdge(TCanvas& canvas, TRect& rect, uint32_t edge, uint32_t flags) {
  TRect r = rect;
  if (flags & (BF_FLAT | BF_MONO)) {
    TColor c = flags & BF_MONO ? clWindowFrame : clBtnShadow;
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) Ring(canvas, r, c, c, flags);
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) Ring(canvas, r, clBtnFace, clBtnFace, flags);
  } else {
    if (edge & BDR_RAISEDOUTER)
      Ring(canvas, r, flags & BF_SOFT ? clBtnHighlight : cl3DLight, cl3DDkShadow, flags);
    else if (edge & BDR_SUNKENOUTER)
      Ring(canvas, r, flags & BF_SOFT ? cl3DDkShadow : clBtnShadow, clBtnHighlight, flags);
    if (edge & BDR_RAISEDINNER)
      Ring(canvas, r, flags & BF_SOFT ? cl3DLight : clBtnHighlight, clBtnShadow, flags);
    else if (edge & BDR_SUNKENINNER)
      Ring(canvas, r, flags & BF_SOFT ? clBtnShadow : cl3DDkShadow, cl3DLight, flags);
  }
  if (flags & BF_MIDDLE) Fill(canvas, r, clBtnFace);
  if (flags & BF_ADJUST) rect = r;
}

void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  for (int i = 0; i < width && !rect.IsEmpty(); ++i)
    Ring(canvas, rect, topColor, bottomColor, BF_RECT);
}

void DrawFrameControl(TCanvas& canvas, const TRect& rect, uint32_t type, uint32_t state) {
  TRect r = rect;
  if (type == DFC_SCROLL && (state & 0xFF) == DFCS_SCROLLSIZEGRIP) {
    Fill(canvas, r, clBtnFace);
    // Three pairs of diagonal lines towards the bottom-right corner.
    int n = std::min(r.Width(), r.Height());
    for (int k = 0; k < 3; ++k) {
      int d = 4 * k + 2;
      for (int i = 0; i + d < n; ++i) {
        int x = r.Right - 1 - i, y = r.Bottom - 1 - (n - 1 - d - i);
        if (y < r.Top || x < r.Left) continue;
        canvas.SetPixel(x, y, clBtnHighlight);
        if (x + 1 < r.Right) canvas.SetPixel(x + 1, y, clBtnShadow);
        if (x + 2 < r.Right) canvas.SetPixel(x + 2, y, clBtnShadow);
      }
    }
    return;
  }
  bool pushed = state & DFCS_PUSHED;
  if (state & DFCS_FLAT)
    DrawEdge(canvas, r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
             BF_RECT | BF_ADJUST | BF_MIDDLE);
  else
    DrawEdge(canvas, r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE);
  if (type != DFC_SCROLL) return;
  if (pushed) r = r.Offset(1, 1);
  uint32_t direction = state & 0x3;
  if (state & DFCS_INACTIVE) {
    Arrow(canvas, r.Offset(1, 1), direction, clBtnHighlight);
    Arrow(canvas, r, direction, clBtnShadow);
  } else {
    Arrow(canvas, r, direction, clBtnText);
  }
}

void FillDither(TCanvas& canvas, const TRect& rect, TColor a, TColor b) {
  if (ColorToRGB(a) == ColorToRGB(b)) return Fill(canvas, rect, a);
  for (int y = rect.Top; y < rect.Bottom; ++y)
    for (int x = rect.Left; x < rect.Right; ++x) canvas.SetPixel(x, y, ((x + y) & 1) ? b : a);
}

}  // namespace plat
