// Copy with the main window's button: the picture goes to the clipboard as its pixels, and the
// formats other programs take are made only when one asks, so Copy does no encoding and holds
// the pixels once beside the composition. The window waits while the PNG is made, so it is made
// at the quickest compression.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "support/LargestAllocation.h"
#include "support/MainWindowFixture.h"
#include "support/PngBytes.h"

namespace {

// The second byte of the zlib stream in the PNG's first IDAT chunk, whose top two bits tell how
// hard the stream was compressed (0: the quickest); -1 without such a chunk.
int FirstIdatZlibFlags(const std::string& png) {
  auto be32 = [&png](size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | uint8_t(png[at + i]);
    return v;
  };
  for (size_t at = 8; at + 8 <= png.size();) {
    const uint32_t length = be32(at);
    if (png.compare(at + 4, 4, "IDAT") == 0 && length >= 2 && at + 10 <= png.size())
      return uint8_t(png[at + 9]);
    at += 12 + size_t(length);
  }
  return -1;
}

class CopyButton : public MainWindow {
 protected:
  // The window started with Picture as its background, showing.
  void StartWith(const gfx::TBitmap32& picture) {
    picture.SaveToFile(home_ + "/picture.bmp");
    StartShowing(home_ + "/picture.bmp");
  }
  void Click() {
    plat::TControl& copy = *form->CopyButton;
    const plat::TPoint middle{copy.Width() / 2, copy.Height() / 2};
    plat::SimulateMouse(copy, plat::TMouseAction::Press, plat::mbLeft, middle);
    plat::SimulateMouse(copy, plat::TMouseAction::Release, plat::mbLeft, middle);
  }
};

TEST_F(CopyButton, CopyHoldsThePixelsOnceAndMakesThePngOnlyWhenAsked) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  constexpr int kWidth = 1000, kHeight = 800;
  constexpr size_t kPixelBytes = size_t(kWidth) * kHeight * 4;
  // Noise, which no encoder makes small.
  gfx::TBitmap32 noise;
  noise.SetSize(kWidth, kHeight);
  std::mt19937 random(5);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) noise.SetPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
  StartWith(noise);
  ASSERT_EQ(form->ImgView->Bitmap().Width(), kWidth);

  size_t held = 0;
  {
    const test_support::LargestAllocation watch;
    Click();
    held = watch.PeakBytes();
  }
  // The composition and the clipboard's copy of it, and little besides.
  EXPECT_LT(held, 2 * kPixelBytes + kPixelBytes / 2);

  const test_support::PngPicture png = test_support::ReadPng(plat::ClipboardData("image/png"));
  ASSERT_EQ(png.width, kWidth);
  ASSERT_EQ(png.height, kHeight);
  EXPECT_TRUE(png.argb == std::vector<uint32_t>(noise.Bits(), noise.Bits() + kWidth * kHeight));
}

// The PNG made when another program asks is compressed the quickest way, which still makes a
// photograph well smaller than its colours, and it is exact.
TEST_F(CopyButton, ThePngAskedForIsMadeTheQuickestWayAndStillCompressed) {
  constexpr int kWidth = 600, kHeight = 400;
  // Gradients with a little noise, as photographs are.
  gfx::TBitmap32 photo;
  photo.SetSize(kWidth, kHeight);
  std::mt19937 random(7);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const uint32_t r = (x * 255 / kWidth + random() % 8) & 0xFF;
      const uint32_t g = (y * 255 / kHeight + random() % 8) & 0xFF;
      photo.SetPixel(x, y, 0xFF000000u | r << 16 | g << 8 | ((r + g) / 2));
    }
  StartWith(photo);
  Click();
  const std::string png = plat::ClipboardData("image/png");
  EXPECT_EQ(FirstIdatZlibFlags(png) >> 6, 0);
  EXPECT_LT(png.size(), size_t(kWidth) * kHeight * 3 / 2);
  const test_support::PngPicture read = test_support::ReadPng(png);
  ASSERT_EQ(read.width, kWidth);
  EXPECT_TRUE(read.argb == std::vector<uint32_t>(photo.Bits(), photo.Bits() + kWidth * kHeight));
}

}  // namespace
