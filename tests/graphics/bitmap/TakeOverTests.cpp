// Taking another bitmap's pixels over: the very memory changes hands with the drawing settings
// and the font, the source is left empty, and both bitmaps stay usable afterwards.
#include <gtest/gtest.h>

#include <algorithm>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/drawing/Graphics.h"

namespace {

using namespace gfx;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;
using bitmap_test::Recorder;

TEST(BitmapTakeOver, MovesTheMemoryWithSettingsAndFontAndEmptiesTheSource) {
  TBitmap32 source;
  source.SetSize(23, 11);
  FillRandom(source, 7);
  source.SetDrawMode(dmBlend);
  source.SetMasterAlpha(77);
  source.SetOuterColor(0x12345678);
  source.Font().SetName("DejaVu Sans");
  source.Font().SetSize(31);
  const std::vector<TColor32> expected = Pixels(source);
  const TColor32* memory = source.Bits();

  TBitmap32 target;
  target.SetSize(5, 5);
  Recorder recorder(target);
  int resized = 0;
  target.OnResize = [&](plat::TObject*) { ++resized; };
  target.TakeOver(source);

  ASSERT_EQ(target.Width(), 23);
  ASSERT_EQ(target.Height(), 11);
  EXPECT_EQ(target.Bits(), memory);
  EXPECT_EQ(Pixels(target), expected);
  EXPECT_EQ(target.DrawMode(), dmBlend);
  EXPECT_EQ(target.MasterAlpha(), 77u);
  EXPECT_EQ(target.OuterColor(), 0x12345678u);
  EXPECT_EQ(target.Font().Name(), "DejaVu Sans");
  EXPECT_EQ(target.Font().Size(), 31);
  EXPECT_EQ(target.ClipRect(), (TRect{0, 0, 23, 11}));
  EXPECT_GT(resized, 0);
  EXPECT_GT(recorder.changes, 0);
  ASSERT_FALSE(recorder.reports.empty());
  EXPECT_EQ(recorder.reports.back(), bitmap_test::Rect(0, 0, 23, 11));

  EXPECT_EQ(source.Width(), 0);
  EXPECT_EQ(source.Height(), 0);
  EXPECT_TRUE(source.Empty());
  EXPECT_EQ(source.Bits(), nullptr);

  // Both live on independently: the source gets new zeroed memory, the target draws text on the
  // memory it took over.
  source.SetSize(4, 4);
  EXPECT_EQ(Pixels(source), std::vector<TColor32>(16, 0));
  EXPECT_EQ(Pixels(target), expected);
  target.Clear();
  target.Font().SetColor(plat::clWhite);
  target.TextOut(0, 0, "W");
  const std::vector<TColor32> drawn = Pixels(target);
  EXPECT_NE(std::count(drawn.begin(), drawn.end(), 0xFF000000u), std::ptrdiff_t(drawn.size()));
}

TEST(BitmapTakeOver, AnotherKindOfBackendIsCopiedAndTakingOneselfChangesNothing) {
  TCustomBitmap32 plain;
  plain.SetSize(6, 4);
  FillRandom(plain, 3);
  const std::vector<TColor32> expected = Pixels(plain);

  // The device bitmap keeps its device surface and its text services.
  TBitmap32 device;
  device.TakeOver(plain);
  EXPECT_EQ(Pixels(device), expected);
  EXPECT_NE(device.Bits(), nullptr);
  EXPECT_NO_THROW(device.Font());
  EXPECT_TRUE(plain.Empty());

  device.TakeOver(device);
  EXPECT_EQ(Pixels(device), expected);

  TBitmap32 empty;
  device.TakeOver(empty);
  EXPECT_TRUE(device.Empty());
  EXPECT_EQ(device.Bits(), nullptr);
}

}  // namespace
