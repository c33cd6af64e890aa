// Opening and scaling the background: failed opens keep everything, scaling draws every edge
// pixel and refuses sizes past the limits, the scale label.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "RoadSupport.h"
#include "app/road/Background.h"
#include "app/road/Composition.h"
#include "app/road/PictureLayers.h"
#include "graphics/controls/Image.h"
#include "graphics/resampling/Resamplers.h"

namespace {

using namespace road_test;

class BackgroundTest : public testing::Test {
 protected:
  ScratchFolder folder;
  gfx::TImage32 view{nullptr};
  gfx::TBitmap32 pristine;
};

TEST_F(BackgroundTest, OpeningReplacesPictureAndLayersAndKeepsAnExactCopy) {
  gfx::TBitmap32 first;
  MakeQuadrants(first, 40, 30);
  first.SaveToFile(folder.File("first.bmp"));
  app::InstallBackground(view, pristine, app::ReadBackground(folder.File("first.bmp")));
  app::AddPictureLayer(view.Layers(), {folder.File("first.bmp")}, {40, 30, 40, 30});
  ASSERT_EQ(view.Layers().Count(), 1);

  gfx::TBitmap32 second;
  second.SetSize(7, 5);
  second.ClearWithColor(0xFF123456);
  second.SaveToFile(folder.File("second.bmp"));
  app::InstallBackground(view, pristine, app::ReadBackground(folder.File("second.bmp")));
  EXPECT_EQ(view.Layers().Count(), 0);
  ASSERT_EQ(view.Bitmap().Width(), 7);
  EXPECT_EQ(view.Bitmap().Pixel(6, 4), 0xFF123456u);
  app::KeepLoadedPicture(view, pristine);
  EXPECT_EQ(pristine.Width(), 7);
  EXPECT_EQ(pristine.Pixel(3, 2), 0xFF123456u);
  EXPECT_EQ(view.Bitmap().ResamplerClassName(), "TDraftResampler");
  EXPECT_EQ(pristine.ResamplerClassName(), "TLinearResampler");
}

// The copy is made only when asked for, yet holds the picture and its settings as they were put
// in: later changes to the view do not reach it, and the next picture replaces it.
TEST_F(BackgroundTest, TheLoadedPictureIsKeptAsItWasInstalled) {
  gfx::TBitmap32 first;
  MakeQuadrants(first, 40, 30);
  first.SaveToFile(folder.File("first.bmp"));
  app::InstallBackground(view, pristine, app::ReadBackground(folder.File("first.bmp")));
  EXPECT_TRUE(pristine.Empty());
  EXPECT_EQ(pristine.ResamplerClassName(), "TLinearResampler");

  view.Bitmap().SetMasterAlpha(77);
  app::KeepLoadedPicture(view, pristine);
  ASSERT_EQ(pristine.Width(), 40);
  ASSERT_EQ(pristine.Height(), 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(pristine.Pixel(x, y), first.Pixel(x, y));
  EXPECT_EQ(pristine.MasterAlpha(), 255u);

  view.Bitmap().ClearWithColor(0xFF000000);
  view.Bitmap().SetSize(3, 3);
  app::KeepLoadedPicture(view, pristine);
  EXPECT_EQ(pristine.Width(), 40);
  EXPECT_EQ(pristine.Pixel(39, 29), kBottomRight);

  gfx::TBitmap32 second;
  second.SetSize(7, 5);
  second.ClearWithColor(0xFF123456);
  second.SaveToFile(folder.File("second.bmp"));
  app::InstallBackground(view, pristine, app::ReadBackground(folder.File("second.bmp")));
  EXPECT_TRUE(pristine.Empty());
  app::KeepLoadedPicture(view, pristine);
  ASSERT_EQ(pristine.Width(), 7);
  EXPECT_EQ(pristine.Pixel(6, 4), 0xFF123456u);
}

TEST_F(BackgroundTest, JpegBackgroundsReadAsTheGeneralLoaderReadsThem) {
  gfx::TBitmap32 photo;
  photo.SetSize(97, 61);
  for (int y = 0; y < 61; ++y)
    for (int x = 0; x < 97; ++x)
      photo.SetPixel(
          x, y,
          0xFF000000u | uint32_t(x * 2) << 16 | uint32_t(y * 4) << 8 | uint32_t((x * y) & 0xFF));
  app::WriteJpegFile(photo, folder.File("photo.jpg"));
  std::filesystem::copy_file(folder.File("photo.jpg"), folder.File("photo-named.bmp"));
  gfx::TBitmap32 general;
  general.LoadFromFile(folder.File("photo.jpg"));
  for (const char* name : {"photo.jpg", "photo-named.bmp"}) {
    const auto read = app::ReadBackground(folder.File(name));
    ASSERT_EQ(read->Width(), 97);
    ASSERT_EQ(read->Height(), 61);
    for (int y = 0; y < 61; ++y)
      for (int x = 0; x < 97; ++x)
        ASSERT_EQ(read->Pixel(x, y), general.Pixel(x, y)) << x << "," << y;
  }
}

TEST_F(BackgroundTest, FailedOpenKeepsPictureAndLayers) {
  gfx::TBitmap32 first;
  MakeQuadrants(first, 40, 30);
  first.SaveToFile(folder.File("first.bmp"));
  app::InstallBackground(view, pristine, app::ReadBackground(folder.File("first.bmp")));
  app::AddPictureLayer(view.Layers(), {folder.File("first.bmp")}, {40, 30, 40, 30});

  std::ofstream(folder.File("damaged.png")) << "\x89PNG\r\n\x1a\n truncated";
  std::ofstream(folder.File("notes.txt")) << "text";
  std::ofstream(folder.File("damaged.jpg")) << "\xFF\xD8\xFF\xE0 cut short";
  for (const char* name : {"damaged.png", "notes.txt", "absent.jpg", "damaged.jpg"}) {
    std::unique_ptr<gfx::TBitmap32> picture;
    EXPECT_THROW(picture = app::ReadBackground(folder.File(name)), std::exception) << name;
  }
  EXPECT_EQ(view.Layers().Count(), 1);
  EXPECT_EQ(view.Bitmap().Width(), 40);
  EXPECT_EQ(view.Bitmap().Pixel(39, 29), kBottomRight);
}

TEST_F(BackgroundTest, ScaledSizesFollowTheRoundingOfEachDirection) {
  const struct {
    int w, h, p, sw, sh;
  } cases[] = {{400, 300, 100, 400, 300}, {400, 300, 10, 40, 30},       {401, 301, 10, 40, 30},
               {400, 300, 55, 219, 164},  {400, 300, 1000, 4000, 3000}, {5, 3, 150, 8, 4},
               {7, 3, 250, 18, 8}};
  for (const auto& c : cases) {
    // Round half to even of the exact products: P < 100 scales one pixel less.
    const double shrink = c.p < 100 ? 1 : 0;
    EXPECT_EQ(std::nearbyint((c.w - shrink) * c.p / 100.0), c.sw);
    const plat::TSize s = app::ScaledBackgroundSize(c.w, c.h, c.p);
    EXPECT_EQ(s.cx, c.sw) << c.w << " at " << c.p;
    EXPECT_EQ(s.cy, c.sh) << c.h << " at " << c.p;
  }
}

TEST_F(BackgroundTest, EnlargingDrawsTheLastRowAndColumnAnd100IsExact) {
  MakeQuadrants(pristine, 40, 30);
  gfx::TCustomResampler::Create<gfx::TLinearResampler>(pristine);
  gfx::TBitmap32 dest;
  for (int p : {101, 150, 200, 333}) {
    app::ScaleBackground(pristine, p, dest);
    const plat::TSize s = app::ScaledBackgroundSize(40, 30, p);
    ASSERT_EQ(dest.Width(), s.cx);
    ASSERT_EQ(dest.Height(), s.cy);
    for (int x = 0; x < dest.Width(); ++x)
      ASSERT_LE(MaxChannelDifference(dest.Pixel(x, dest.Height() - 1),
                                     x < dest.Width() / 2 - 2   ? kBottomLeft
                                     : x > dest.Width() / 2 + 2 ? kBottomRight
                                                                : dest.Pixel(x, dest.Height() - 1)),
                1)
          << p << " column " << x;
    for (int y = 0; y < dest.Height(); ++y)
      ASSERT_LE(MaxChannelDifference(dest.Pixel(dest.Width() - 1, y),
                                     y < dest.Height() / 2 - 2   ? kTopRight
                                     : y > dest.Height() / 2 + 2 ? kBottomRight
                                                                 : dest.Pixel(dest.Width() - 1, y)),
                1)
          << p << " row " << y;
  }
  app::ScaleBackground(pristine, 100, dest);
  ASSERT_EQ(dest.Width(), 40);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(dest.Pixel(x, y), pristine.Pixel(x, y));
  app::ScaleBackground(pristine, 10, dest);
  EXPECT_EQ(dest.Width(), 4);
  EXPECT_EQ(dest.Height(), 3);
}

TEST_F(BackgroundTest, SizesPastTheLimitsAreRefusedAndKeepTheView) {
  pristine.SetSize(4000, 10);
  pristine.ClearWithColor(0xFF808080);
  gfx::TBitmap32 dest;
  dest.SetSize(3, 3);
  dest.ClearWithColor(0xFF010203);
  EXPECT_THROW(app::ScaleBackground(pristine, 1000, dest), gfx::EBitmapException);
  pristine.SetSize(10, 3300);
  EXPECT_THROW(app::ScaleBackground(pristine, 1000, dest), gfx::EBitmapException);
  EXPECT_EQ(dest.Width(), 3);
  EXPECT_EQ(dest.Pixel(2, 2), 0xFF010203u);
}

TEST_F(BackgroundTest, ScaleLabelReadsAsAFactor) {
  const struct {
    int p;
    const char* label;
  } cases[] = {{100, "1.00"},   {55, "0.55"},  {10, "0.10"},
               {1000, "10.00"}, {999, "9.99"}, {105, "1.05"}};
  for (const auto& c : cases) EXPECT_EQ(app::ScaleLabel(c.p), c.label) << c.p;
}

}  // namespace
