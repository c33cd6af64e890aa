// Gradient fills of enhanced metafiles: rectangles shaded across or down, and triangles shaded
// between their three corners.
#include <gtest/gtest.h>

#include "MetafileBuilder.h"

using namespace plat;
using namespace mftest;

namespace {

constexpr uint32_t kGradientFill = 118, kIntersectClipRect = 30, kSetWorldTransform = 35;

int Channel(uint32_t rgb, int shift) {
  return int((rgb >> shift) & 0xFF);
}

// Each channel of `rgb` within one step of `expected`.
void ExpectColour(uint32_t rgb, uint32_t expected, const char* where) {
  for (int shift : {16, 8, 0}) {
    EXPECT_NEAR(Channel(rgb, shift), Channel(expected, shift), 1)
        << where << std::hex << ": 0x" << rgb << " for 0x" << expected;
  }
}

}  // namespace

TEST(MetafileGradient, RectanglesShadeAcrossOrDown) {
  // Across from red to blue over 16 pixels, given right to left; down from black to white.
  Emf e;
  e.RecBytes(kGradientFill, Gradient(0, {{26, 18, kBlue}, {10, 10, kRed}}, {1, 0}, 1));
  e.RecBytes(kGradientFill, Gradient(1, {{40, 10, 0}, {48, 26, 0xFFFFFF}}, {0, 1}, 1));
  const Surface s = Render(*Load(e.Build(0, 0, 2540, 2540)));
  // Pixel x's centre lies (x + 0.5 - 10) / 16 of the way.
  for (int y : {10, 17}) {
    ExpectColour(s.At(10, y), 0xF70007, "left");
    ExpectColour(s.At(17, y), 0x870077, "middle");
    ExpectColour(s.At(25, y), 0x0700F7, "right");
  }
  EXPECT_EQ(s.At(9, 12), kGrey);
  EXPECT_EQ(s.At(26, 12), kGrey);
  EXPECT_EQ(s.At(12, 18), kGrey);
  EXPECT_EQ(s.At(12, 9), kGrey);
  for (int x : {40, 47}) {
    ExpectColour(s.At(x, 10), 0x070707, "top");
    ExpectColour(s.At(x, 21), 0xB7B7B7, "lower");
  }
  EXPECT_EQ(s.At(48, 12), kGrey);
  EXPECT_EQ(s.At(44, 26), kGrey);
}

TEST(MetafileGradient, TrianglesShadeBetweenTheirCornersUnderClipAndTransform) {
  // Red, green and blue corners; the second triangle, through a world transform that moves it
  // 50 right, is clipped below y = 60.
  Le move;
  move.F32(1).F32(0).F32(0).F32(1).F32(50).F32(0);
  const std::vector<GradientCorner> corners = {{10, 40, kRed}, {40, 40, kGreen}, {10, 70, kBlue}};
  Emf e;
  e.RecBytes(kGradientFill, Gradient(2, corners, {0, 1, 2}, 1));
  e.Rec(kIntersectClipRect, {0, 0, 96, 60}).RecBytes(kSetWorldTransform, move.d);
  e.RecBytes(kGradientFill, Gradient(2, corners, {2, 0, 1}, 1));
  const Surface s = Render(*Load(e.Build(0, 0, 2540, 2540)));
  // A pixel's centre (x + 0.5, y + 0.5) weighs the green corner by its way along the top side
  // and the blue one by its way down the left side.
  for (int dx : {0, 50}) {
    ExpectColour(s.At(10 + dx, 40), 0xF60404, "red corner");
    ExpectColour(s.At(38 + dx, 40), 0x08F204, "green corner");
    ExpectColour(s.At(20 + dx, 50), 0x4C5959, "middle");
    EXPECT_EQ(s.At(30 + dx, 58), kGrey);  // beyond the long side
  }
  ExpectColour(s.At(10, 68), 0x0804F2, "blue corner");
  EXPECT_EQ(s.At(60, 68), kGrey);  // clipped
  EXPECT_NE(s.At(60, 59), kGrey);
}

TEST(MetafileGradient, CornerNumbersOutsideTheRecordAreRefused) {
  Emf e;
  e.RecBytes(kGradientFill, Gradient(2, {{0, 0, kRed}, {9, 0, kRed}, {0, 9, kRed}}, {0, 1, 3}, 1));
  EXPECT_THROW(Render(*Load(e.Build(0, 0, 2540, 2540))), EInvalidGraphic);
  // More objects than the record holds.
  Emf f;
  f.RecBytes(kGradientFill, Gradient(2, {{0, 0, kRed}, {9, 0, kRed}, {0, 9, kRed}}, {0, 1, 2}, 2));
  EXPECT_THROW(Render(*Load(f.Build(0, 0, 2540, 2540))), EInvalidGraphic);
}
