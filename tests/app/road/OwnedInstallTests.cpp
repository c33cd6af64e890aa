// Handing the read picture over to the view installs its pixels and drawing properties in the view
// and in the kept copy, each with its own resampler, and drops the layers.
#include <gtest/gtest.h>

#include "RoadSupport.h"
#include "app/road/Background.h"
#include "app/road/PictureLayers.h"
#include "graphics/controls/Image.h"

namespace {

using namespace road_test;

std::unique_ptr<gfx::TBitmap32> Translucent() {
  auto picture = std::make_unique<gfx::TBitmap32>();
  MakeQuadrants(*picture, 31, 17);
  picture->SetPixel(3, 4, 0x40102030);
  picture->SetDrawMode(gfx::dmBlend);
  picture->SetMasterAlpha(99);
  return picture;
}

void ExpectSameBitmap(const gfx::TBitmap32& a, const gfx::TBitmap32& b) {
  ASSERT_EQ(a.Width(), b.Width());
  ASSERT_EQ(a.Height(), b.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << x << "," << y;
  EXPECT_EQ(a.DrawMode(), b.DrawMode());
  EXPECT_EQ(a.MasterAlpha(), b.MasterAlpha());
}

TEST(OwnedInstall, TakesThePictureOverAndKeepsACopy) {
  ScratchFolder folder;
  gfx::TBitmap32 layer;
  MakeQuadrants(layer, 8, 8);
  layer.SaveToFile(folder.File("layer.bmp"));

  gfx::TImage32 view{nullptr};
  gfx::TBitmap32 pristine;
  app::AddPictureLayer(view.Layers(), {folder.File("layer.bmp")}, {31, 17, 31, 17});

  app::InstallBackground(view, pristine, Translucent());

  const std::unique_ptr<gfx::TBitmap32> expected = Translucent();
  EXPECT_EQ(view.Layers().Count(), 0);
  ExpectSameBitmap(view.Bitmap(), *expected);
  app::KeepLoadedPicture(view, pristine);
  ExpectSameBitmap(pristine, *expected);
  EXPECT_EQ(pristine.Pixel(3, 4), 0x40102030u);
  EXPECT_NE(pristine.ResamplerClassName(), view.Bitmap().ResamplerClassName());
}

}  // namespace
