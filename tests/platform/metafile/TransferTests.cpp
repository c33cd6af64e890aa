// Block transfers of enhanced metafiles beyond the plain ones: a colour left out, a mask that
// chooses between two raster operations, a parallelogram, bitmaps under a turning world
// transform, and alpha blends.
#include <gtest/gtest.h>

#include "MetafileBuilder.h"
#include "graphics/bitmap/Bitmap32.h"

using namespace plat;
using namespace mftest;

namespace {

constexpr uint32_t kSetWorldTransform = 35, kMaskBlt = 78, kPlgBlt = 79, kStretchDibits = 81;
constexpr uint32_t kAlphaBlend = 114, kTransparentBlt = 116;
constexpr uint32_t kMagenta = 0xFF00FF, kWhite = 0xFFFFFF, kInvertedGrey = 0x7F7F7F;

// Red, green / blue, white.
const std::vector<uint32_t> kFour = {kRed, kGreen, kBlue, kWhite};

std::string Picture(const Emf& e) {
  return e.Build(0, 0, 2540, 2540);
}

}  // namespace

TEST(MetafileTransfer, TransparentBlocksLeaveOutTheirColour) {
  std::string bits;
  const std::string info = Dib24(2, 2, {kRed, kMagenta, kMagenta, kBlue}, &bits);
  Emf e;
  e.RecBytes(kTransparentBlt, EmfStretching(10, 10, 20, 20, 0xFF00FF, info, bits, 2, 2));
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(12, 12), kRed);
  EXPECT_EQ(s.At(25, 12), kGrey);
  EXPECT_EQ(s.At(12, 25), kGrey);
  EXPECT_EQ(s.At(25, 25), kBlue);
}

TEST(MetafileTransfer, MasksChooseTheOperation) {
  // The mask is a column wider than the source and starts one pixel in: 1 on the diagonal.
  std::string bits, maskBits;
  const std::string info = Dib24(2, 2, kFour, &bits);
  const std::string maskInfo =
      DibIndexed(1, 3, 2, {0x000000, 0xFFFFFF}, {0, 1, 0, 0, 0, 1}, false, &maskBits);
  // The block copies as many source pixels as it covers logical units: drawn four times larger.
  // Where the mask is 1 the source, where 0 the inverted destination.
  Emf e;
  e.RecBytes(kMaskBlt,
             EmfMaskBlt(2, 2, 2, 2, 0x55CC0020, {info, bits}, {maskInfo, maskBits}, 1, 0));
  const Surface s = Render(*Load(e.Build(0, 0, 635, 635)), 96, 96, {0, 0, 96, 96});
  EXPECT_EQ(s.At(9, 9), kRed);
  EXPECT_EQ(s.At(14, 9), kInvertedGrey);
  EXPECT_EQ(s.At(9, 14), kInvertedGrey);
  EXPECT_EQ(s.At(14, 14), kWhite);
  EXPECT_EQ(s.At(17, 17), kGrey);
}

TEST(MetafileTransfer, ParallelogramsAndTurningTransformsTurnBitmaps) {
  // The source's top edge runs down from (70, 10), its left edge runs left: a quarter turn.
  std::string bits, maskBits;
  const std::string info = Dib24(2, 2, kFour, &bits);
  const std::string maskInfo =
      DibIndexed(1, 2, 2, {0x000000, 0xFFFFFF}, {1, 1, 1, 0}, false, &maskBits);
  // The same bitmap stretched onto 20 x 20 under a world transform that turns a quarter
  // clockwise and moves (40, 10) to (70, 60).
  Le turn;
  turn.F32(0).F32(1).F32(-1).F32(0).F32(80).F32(20);
  const std::string stretch = EmfStretchDibits(40, 10, 0, 0, 2, 2, 0, SRCCOPY, 20, 20, info, bits);
  Emf e;
  e.RecBytes(kPlgBlt,
             EmfPlgBlt({70, 10, 70, 30, 50, 10}, 2, 2, {info, bits}, {maskInfo, maskBits}));
  e.RecBytes(kSetWorldTransform, turn.d).RecBytes(kStretchDibits, stretch);
  const Surface s = Render(*Load(Picture(e)));
  EXPECT_EQ(s.At(68, 12), kRed);
  EXPECT_EQ(s.At(68, 28), kGreen);
  EXPECT_EQ(s.At(52, 12), kBlue);
  EXPECT_EQ(s.At(52, 28), kGrey);  // masked out
  EXPECT_EQ(s.At(71, 20), kGrey);
  // x runs down and y left: the picture turned, not mirrored.
  EXPECT_EQ(s.At(68, 62), kRed);
  EXPECT_EQ(s.At(68, 78), kGreen);
  EXPECT_EQ(s.At(52, 62), kBlue);
  EXPECT_EQ(s.At(52, 78), kWhite);
  EXPECT_EQ(s.At(48, 70), kGrey);
}

TEST(MetafileTransfer, AlphaBlendsLayTheBitmapOverAndLoadAsPartlyTransparent) {
  // Premultiplied: opaque red, half green / nothing, half white; then an opaque blue bitmap at a
  // constant quarter.
  DibParts wide, blue;
  wide.info = Dib32(2, 2, {0xFFFF0000, 0x80008000, 0x00000000, 0x80808080}, &wide.bits);
  blue.info = Dib24(1, 1, {kBlue}, &blue.bits);
  Emf e;
  e.RecBytes(kAlphaBlend, EmfStretching(10, 10, 20, 20, 0x01FF0000, wide.info, wide.bits, 2, 2));
  e.RecBytes(kAlphaBlend, EmfStretching(40, 10, 10, 10, 0x00400000, blue.info, blue.bits, 1, 1));
  const auto m = Load(Picture(e));
  const Surface s = Render(*m);
  EXPECT_EQ(s.At(12, 12), kRed);
  EXPECT_EQ(s.At(25, 12), 0x40C040u);
  EXPECT_EQ(s.At(12, 25), kGrey);
  EXPECT_EQ(s.At(25, 25), 0xC0C0C0u);
  EXPECT_EQ(s.At(45, 15), 0x6060A0u);

  // Loaded as a picture, the blends keep their coverage as alpha.
  gfx::TBitmap32 picture;
  picture.Assign(*m);
  EXPECT_EQ(picture.Pixel(12, 12), 0xFFFF0000u);
  EXPECT_EQ(picture.Pixel(12, 25) >> 24, 0u);
  const uint32_t halfGreen = picture.Pixel(25, 12);
  EXPECT_NEAR(int(halfGreen >> 24), 128, 2);
  EXPECT_EQ(halfGreen & 0xFFFFFF, 0x00FF00u);
  const uint32_t quarterBlue = picture.Pixel(45, 15);
  EXPECT_NEAR(int(quarterBlue >> 24), 64, 2);
  EXPECT_EQ(quarterBlue & 0xFFFFFF, 0x0000FFu);
}
