// Saving composes the picture a band of rows at a time; the file must hold exactly the bytes of
// the whole composition encoded at once, wherever layers cross the bands.
#include <gtest/gtest.h>

#include "RoadSupport.h"
#include "app/road/Background.h"
#include "app/road/Composition.h"
#include "app/road/PictureLayers.h"
#include "graphics/controls/Image.h"

namespace {

using namespace road_test;

class StripSaveTest : public testing::Test {
 protected:
  // A background taller than several bands and no multiple of their height.
  void Install(int width, int height) {
    gfx::TBitmap32 bg;
    MakeQuadrants(bg, width, height);
    bg.SaveToFile(folder.File("bg.bmp"));
    app::InstallBackground(view, pristine, app::ReadBackground(folder.File("bg.bmp")));
    around = {width, height, width, height};
  }

  gfx::TBitmapLayer& AddLayer(int x, int y, int opacity, int scale) {
    gfx::TBitmap32 layer;
    layer.SetSize(90, 70);
    for (int j = 0; j < 70; ++j)
      for (int i = 0; i < 90; ++i)
        layer.SetPixel(i, j, 0xFF000000u | uint32_t(i * 2) << 16 | uint32_t(j * 3) << 8 | 0x40);
    layer.SaveToFile(folder.File("layer.bmp"));
    app::TPictureLayerRequest request{folder.File("layer.bmp")};
    request.X = x;
    request.Y = y;
    gfx::TBitmapLayer& added = app::AddPictureLayer(view.Layers(), request, around);
    app::ApplyLayerOpacity(added, opacity);
    app::ApplyLayerScale(added, scale);
    return added;
  }

  void ExpectSavedEqualsWholeComposition() {
    const std::string written = app::SaveAsJpeg(view, folder.File("out.jpg"));
    ASSERT_EQ(written, folder.File("out.jpg"));
    const auto whole = app::ComposePicture(view);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(ReadBytes(written) == app::EncodeJpeg(*whole));
  }

  ScratchFolder folder;
  gfx::TImage32 view{nullptr};
  gfx::TBitmap32 pristine;
  app::TLayerSurroundings around;
};

TEST_F(StripSaveTest, LayersAcrossBandBordersAndTheLastShortBand) {
  Install(333, 700);
  AddLayer(20, 230, 128, 100);   // across the first border
  AddLayer(150, 480, 255, 150);  // enlarged, across the second
  AddLayer(250, 650, 77, 50);    // reduced, in the short last band and past the edge
  app::TRenderText text;
  text.FontName = "DejaVu Sans";
  text.Size = 40;
  text.TextColor = 0xFFF0FBFF;
  text.BackColor = 0x800000;
  text.Text = "Band";
  app::TTextLayerStyle style;
  style.TextTop = 240;
  app::AddTextLayer(view.Layers(), text, style, around);
  AddLayer(5, 5, 200, 100).SetVisible(false);
  view.SetScale(0.37f);
  ExpectSavedEqualsWholeComposition();
}

TEST_F(StripSaveTest, TranslucentBackgroundAndOneBandPicture) {
  Install(64, 40);
  AddLayer(-10, 10, 128, 100);
  ExpectSavedEqualsWholeComposition();

  Install(300, 600);
  view.Bitmap().SetDrawMode(gfx::dmBlend);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 300; x += 3) view.Bitmap().SetPixel(x, y, 0x40FF8000u);
  AddLayer(100, 250, 128, 100);
  ExpectSavedEqualsWholeComposition();
}

}  // namespace
