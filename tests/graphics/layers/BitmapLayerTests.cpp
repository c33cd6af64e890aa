// Bitmap layers: alpha hit testing, painting into the buffer and mapping bitmap changes to the
// view.
#include <gtest/gtest.h>

#include "LayerTestSupport.h"
#include "graphics/layers/Layers.h"
#include "graphics/resampling/Samplers.h"

namespace {

using namespace gfx;

TEST(BitmapLayerHit, AlphaHitReadsTheNearestPixelHalvesToEven) {
  TLayerCollection layers(nullptr);
  TBitmapLayer& layer = layers.Add<TBitmapLayer>();
  layer.Bitmap().SetSize(8, 8);
  layer.Bitmap().ClearWithColor(0xFF808080);
  for (int y = 0; y < 8; ++y) layer.Bitmap().SetPixel(1, y, 0x00808080);
  layer.SetLocation({0, 0, 16, 16});
  EXPECT_TRUE(layer.HitTest(2, 5));  // transparent column, but AlphaHit is off
  layer.SetAlphaHit(true);
  EXPECT_FALSE(layer.HitTest(2, 5));   // column 1
  EXPECT_TRUE(layer.HitTest(1, 5));    // 0.5 goes to column 0
  EXPECT_TRUE(layer.HitTest(3, 5));    // 1.5 goes to column 2
  EXPECT_FALSE(layer.HitTest(15, 5));  // 7.5 goes to column 8: outside, the outer colour
  layer.Bitmap().SetOuterColor(0xFF000000);
  EXPECT_TRUE(layer.HitTest(15, 5));
  EXPECT_FALSE(layer.HitTest(16, 5));  // outside the location
  layer.SetLocation({0, 0, 0.4f, 16});
  EXPECT_FALSE(layer.HitTest(0, 5));  // a width that rounds to 0 is never hit
}

class BitmapLayerPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    buffer.SetSize(40, 30);
    buffer.ClearWithColor(clBlack32);
    layer.Bitmap().SetSize(2, 2);
    layer.Bitmap().SetPixel(0, 0, 0xFF110000);
    layer.Bitmap().SetPixel(1, 0, 0xFF220000);
    layer.Bitmap().SetPixel(0, 1, 0xFF330000);
    layer.Bitmap().SetPixel(1, 1, 0xFF440000);
  }
  // The colour of the 2 x 2 picture stretched onto (4, 4, 8, 8), black elsewhere.
  static TColor32 Expected(int X, int Y) {
    if (X < 4 || X >= 8 || Y < 4 || Y >= 8) return clBlack32;
    return 0xFF000000u | uint32_t((X >= 6) + 1 + 2 * (Y >= 6)) * 0x110000u;
  }

  gfx::testing::ScopedNearestTransfer transfer;
  gfx::testing::TestImage image;
  TLayerCollection layers{&image};
  TBitmapLayer& layer = layers.Add<TBitmapLayer>();
  TBitmap32 buffer;
};

TEST_F(BitmapLayerPaint, TheBitmapIsStretchedIntoTheRoundedLocation) {
  layer.SetLocation({4.5f, 3.5f, 8.5f, 7.5f});  // rounds to (4, 4, 8, 8)
  layer.PaintLayer(buffer);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(buffer.Pixel(x, y), Expected(x, y)) << x << "," << y;
}

TEST_F(BitmapLayerPaint, CroppedLayersStayInsideThePictureUnlessRenderedElsewhere) {
  layer.SetLocation({4, 4, 8, 8});
  layer.SetCropped(true);
  image.BitmapRect = {0, 0, 6, 7};
  buffer.SetClipRect({0, 0, 40, 5});
  layer.PaintLayer(buffer);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(buffer.Pixel(x, y), x < 6 && y < 5 ? Expected(x, y) : clBlack32) << x << "," << y;
  image.Elsewhere = true;
  buffer.ClipToBounds();
  layer.PaintLayer(buffer);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(buffer.Pixel(x, y), Expected(x, y)) << x << "," << y;
}

TEST_F(BitmapLayerPaint, NothingIsDrawnOutsideTheClipOrFromAnEmptyBitmap) {
  layer.SetLocation({4, 4, 8, 8});
  buffer.SetClipRect({10, 10, 40, 30});
  layer.PaintLayer(buffer);
  buffer.ClipToBounds();
  layer.Bitmap().SetSize(0, 0);
  ResamplerLink().StretchTransfer = nullptr;  // an empty bitmap never reaches it
  layer.PaintLayer(buffer);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(buffer.Pixel(x, y), clBlack32);
}

TEST_F(BitmapLayerPaint, BitmapChangesAreReportedInViewCoordinates) {
  std::vector<TRect> areas;
  layers.OnAreaReport = [&areas](plat::TObject*, const TRect& Area, uint32_t) {
    areas.push_back(Area);
  };
  layer.Bitmap().SetSize(10, 10);
  layer.SetLocation({10, 20, 50, 60});  // four view pixels per bitmap pixel
  areas.clear();
  layer.Bitmap().FillRectS(1, 2, 3, 4, clWhite32);
  ASSERT_FALSE(areas.empty());
  const TCustomResampler* resampler = layer.Bitmap().Resampler();
  const int grow = (resampler ? int(resampler->GetWidth()) : 0) + 1;
  EXPECT_EQ(areas.back(), (TRect{14 - grow, 28 - grow, 22 + grow, 36 + grow}));

  layers.OnGetViewportScale = [](plat::TObject*, float& X, float& Y) { X = 0.5f, Y = 0.25f; };
  layer.SetScaled(true);  // the view shows the location at (5, 5, 25, 15)
  areas.clear();
  layer.Bitmap().FillRectS(1, 1, 2, 2, clWhite32);
  ASSERT_FALSE(areas.empty());
  EXPECT_EQ(areas.back(), (TRect{7 - grow, 6 - grow, 9 + grow, 7 + grow}));

  layer.SetLayerOptions(LayerOptionVisible | LayerOptionNoUpdate);
  areas.clear();
  layer.Bitmap().FillRectS(1, 1, 2, 2, clWhite32);
  EXPECT_TRUE(areas.empty());
}

}  // namespace
