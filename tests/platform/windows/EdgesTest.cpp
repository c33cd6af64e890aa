// Classic 3-D edges, frames and dithers drawn on a memory canvas.
#include <gtest/gtest.h>

#include <vector>

#include "platform/drawing/Edges.h"

namespace plat {
namespace {

// A 16 x 12 surface; the alpha byte starts at 0x5A so that a drawing that touches it shows.
struct Surface {
  static constexpr int W = 16, H = 12;
  std::vector<uint32_t> pixels = std::vector<uint32_t>(W * H, 0x5A000000u);
  DeviceContext dc{pixels.data(), W, H, W * 4};
  TCanvas canvas{&dc};
  uint32_t At(int x, int y) const { return pixels[size_t(y) * W + size_t(x)]; }
};

// The pixel a colour becomes on the surface: RGB from the colour, the old alpha kept.
uint32_t Drawn(TColor color) {
  TColor c = ColorToRGB(color);
  return 0x5A000000u | uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

TEST(Edges, ARaisedEdgeHasLightOutsideAndShadowInsideThenShrinksTheRectangle) {
  Surface s;
  TRect r{2, 2, 12, 10};
  DrawEdge(s.canvas, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  EXPECT_EQ(r, (TRect{4, 4, 10, 8}));
  EXPECT_EQ(s.At(5, 2), Drawn(cl3DLight));       // outer top
  EXPECT_EQ(s.At(2, 5), Drawn(cl3DLight));       // outer left
  EXPECT_EQ(s.At(5, 9), Drawn(cl3DDkShadow));    // outer bottom
  EXPECT_EQ(s.At(11, 5), Drawn(cl3DDkShadow));   // outer right
  EXPECT_EQ(s.At(5, 3), Drawn(clBtnHighlight));  // inner top
  EXPECT_EQ(s.At(10, 5), Drawn(clBtnShadow));    // inner right
  EXPECT_EQ(s.At(6, 6), Drawn(clBtnFace));       // middle
  EXPECT_EQ(s.At(1, 1), 0x5A000000u);            // outside untouched
  EXPECT_EQ(s.At(12, 10), 0x5A000000u);
}

TEST(Edges, ASunkenEdgeMirrorsTheColoursAndOnlyTheAskedSidesAreDrawn) {
  Surface s;
  TRect r{0, 0, 8, 8};
  DrawEdge(s.canvas, r, EDGE_SUNKEN, BF_TOP | BF_LEFT);
  EXPECT_EQ(r, (TRect{0, 0, 8, 8}));  // no BF_ADJUST
  EXPECT_EQ(s.At(4, 0), Drawn(clBtnShadow));
  EXPECT_EQ(s.At(0, 4), Drawn(clBtnShadow));
  EXPECT_EQ(s.At(4, 1), Drawn(cl3DDkShadow));
  EXPECT_EQ(s.At(4, 7), 0x5A000000u);
  EXPECT_EQ(s.At(7, 4), 0x5A000000u);
}

TEST(Edges, Frame3DDrawsItsWidthAndDithersAlternate) {
  Surface s;
  TRect r{0, 0, 6, 6};
  Frame3D(s.canvas, r, clWhite, clBlack, 2);
  EXPECT_EQ(r, (TRect{2, 2, 4, 4}));
  EXPECT_EQ(s.At(1, 3), Drawn(clWhite));
  EXPECT_EQ(s.At(4, 3), Drawn(clBlack));
  EXPECT_EQ(s.At(2, 2), 0x5A000000u);

  FillDither(s.canvas, {8, 0, 12, 2}, clRed, clBlue);
  EXPECT_EQ(s.At(8, 0), Drawn(clRed));
  EXPECT_EQ(s.At(9, 0), Drawn(clBlue));
  EXPECT_EQ(s.At(8, 1), Drawn(clBlue));
  EXPECT_EQ(s.At(9, 1), Drawn(clRed));
  // Two equal colours are a plain fill.
  FillDither(s.canvas, {8, 4, 12, 6}, clBtnFace, clBtnFace);
  for (int x = 8; x < 12; ++x) EXPECT_EQ(s.At(x, 5), Drawn(clBtnFace));
}

TEST(Edges, ScrollArrowsAreButtonsWithAGlyphGreyedWhenInactive) {
  Surface a, b;
  DrawFrameControl(a.canvas, {0, 0, 16, 12}, DFC_SCROLL, DFCS_SCROLLUP);
  DrawFrameControl(b.canvas, {0, 0, 16, 12}, DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE);
  EXPECT_EQ(a.At(0, 0), Drawn(cl3DLight));
  // Inside the two-pixel edge only the glyph differs from the face.
  int text = 0, grey = 0;
  for (int y = 2; y < Surface::H - 2; ++y)
    for (int x = 2; x < Surface::W - 2; ++x) {
      text += a.At(x, y) == Drawn(clBtnText);
      grey += b.At(x, y) == Drawn(clBtnText);
    }
  EXPECT_GT(text, 0);
  EXPECT_EQ(grey, 0);
}

}  // namespace
}  // namespace plat
