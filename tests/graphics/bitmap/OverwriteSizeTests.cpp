// Sizing a bitmap that the caller fills completely: the size and the refusals are SetSize's, and
// later sizing clears new pixels as before (opaque black on plain memory, zero on the device).
#include <gtest/gtest.h>

#include "graphics/bitmap/Bitmap32.h"

namespace {

TEST(OverwriteSize, SizesLikeSetSizeAndRefusalsKeepTheBitmap) {
  gfx::TCustomBitmap32 b;
  b.SetSizeToOverwrite(7, 3);
  ASSERT_EQ(b.Width(), 7);
  ASSERT_EQ(b.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) b.SetPixel(x, y, 0x11223344);

  EXPECT_THROW(b.SetSizeToOverwrite(32768, 1), gfx::EBitmapException);
  EXPECT_EQ(b.Width(), 7);
  EXPECT_EQ(b.Pixel(6, 2), 0x11223344u);

  // New memory after the refusal is cleared to opaque black again.
  b.SetSize(0, 0);
  b.SetSize(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(b.Pixel(x, y), 0xFF000000u) << x << "," << y;
}

TEST(OverwriteSize, CopiesHoldEveryPixelOfTheSource) {
  gfx::TBitmap32 source, copy;
  source.SetSize(13, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x)
      source.SetPixel(x, y, 0x01000000u * uint32_t(x + y) + uint32_t(x * 31 + y));
  copy.SetSize(5, 5);
  copy.Assign(source);
  ASSERT_EQ(copy.Width(), 13);
  ASSERT_EQ(copy.Height(), 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x) ASSERT_EQ(copy.Pixel(x, y), source.Pixel(x, y)) << x << "," << y;
  copy.SetSize(0, 0);
  copy.SetSize(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(copy.Pixel(x, y), 0u) << x << "," << y;
}

}  // namespace
