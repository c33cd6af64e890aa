// Copy with the main window's button: the picture goes to the clipboard as its pixels, and the
// formats other programs take are made only when one asks, so Copy does no encoding and holds
// the pixels once beside the composition.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/windows/Application.h"
#include "support/LargestAllocation.h"
#include "support/MainWindowFixture.h"
#include "support/PngBytes.h"

namespace {

TEST_F(MainWindow, CopyHoldsThePixelsOnceAndMakesThePngOnlyWhenAsked) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  constexpr int kWidth = 1000, kHeight = 800;
  constexpr size_t kPixelBytes = size_t(kWidth) * kHeight * 4;
  // Noise, which no encoder makes small.
  gfx::TBitmap32 noise;
  noise.SetSize(kWidth, kHeight);
  std::mt19937 random(5);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) noise.SetPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
  noise.SaveToFile(home_ + "/noise.bmp");
  Start({home_ + "/noise.bmp"});
  form->TimerEllapsed(form->Timer1);
  form->TimerEllapsed(form->Timer1);
  form->Show();
  plat::Application().ProcessMessages();
  ASSERT_EQ(form->ImgView->Bitmap().Width(), kWidth);

  plat::TControl& copy = *form->CopyButton;
  const plat::TPoint middle{copy.Width() / 2, copy.Height() / 2};
  size_t held = 0;
  {
    const test_support::LargestAllocation watch;
    plat::SimulateMouse(copy, plat::TMouseAction::Press, plat::mbLeft, middle);
    plat::SimulateMouse(copy, plat::TMouseAction::Release, plat::mbLeft, middle);
    held = watch.PeakBytes();
  }
  // The composition and the clipboard's copy of it, and little besides.
  EXPECT_LT(held, 2 * kPixelBytes + kPixelBytes / 2);

  const test_support::PngPicture png = test_support::ReadPng(plat::ClipboardData("image/png"));
  ASSERT_EQ(png.width, kWidth);
  ASSERT_EQ(png.height, kHeight);
  EXPECT_TRUE(png.argb == std::vector<uint32_t>(noise.Bits(), noise.Bits() + kWidth * kHeight));
}

}  // namespace
