// Pictures through the clipboard: the composition and a layer's own bitmap come back through the
// paste file as they went out, within JPEG quality 100.
#include <gtest/gtest.h>

#include <filesystem>

#include "RoadSupport.h"
#include "app/road/ClipboardTransfer.h"
#include "app/road/Composition.h"
#include "app/road/PictureLayers.h"
#include "graphics/controls/Image.h"
#include "platform/runtime/Files.h"

namespace {

using namespace road_test;

void ExpectFlatQuadrants(const gfx::TBitmap32& b, int w, int h) {
  ASSERT_EQ(b.Width(), w);
  ASSERT_EQ(b.Height(), h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (std::abs(x - w / 2) < 4 || std::abs(y - h / 2) < 4) continue;
      const uint32_t want =
          y < h / 2 ? (x < w / 2 ? kTopLeft : kTopRight) : (x < w / 2 ? kBottomLeft : kBottomRight);
      ASSERT_LE(MaxChannelDifference(b.Pixel(x, y), want), 6) << x << "," << y;
    }
}

// One test, because the clipboard is one for the whole process: its order matters.
TEST(ClipboardTransfer, RoundTripsThroughThePasteFile) {
  ScratchFolder folder;
  const std::string paste = app::PasteFilePath(app::TPasteFormat::Jpeg);
  EXPECT_EQ(plat::ExtractFileDir(paste),
            plat::ExtractFileDir(plat::JoinPath(plat::WorkFolder(), "x")));

  // Nothing copied yet: no picture, no file.
  std::filesystem::remove(paste);
  EXPECT_EQ(app::SaveClipboardPicture(paste, app::TPasteFormat::Jpeg).Outcome,
            app::TPasteOutcome::NoPicture);
  EXPECT_FALSE(std::filesystem::exists(paste));

  // The composition: background with a layer that lies outside the checked areas.
  gfx::TImage32 view{nullptr};
  MakeQuadrants(view.Bitmap(), 64, 48);
  gfx::TBitmap32 layerPicture;
  layerPicture.SetSize(120, 80);
  layerPicture.ClearWithColor(0xFF00FF00);
  layerPicture.SetPixel(119, 79, 0xFFFF0000);
  layerPicture.SaveToFile(folder.File("layer.bmp"));
  gfx::TBitmapLayer& layer =
      app::AddPictureLayer(view.Layers(), {folder.File("layer.bmp")}, {64, 48, 64, 48});
  layer.SetVisible(false);
  const auto composed = app::ComposePicture(view);
  app::CopyPictureToClipboard(*composed);
  ASSERT_EQ(app::SaveClipboardPicture(paste, app::TPasteFormat::Jpeg).Outcome,
            app::TPasteOutcome::Written);
  gfx::TBitmap32 back;
  back.LoadFromFile(paste);
  ExpectFlatQuadrants(back, 64, 48);
  EXPECT_EQ(back.Pixel(0, 0) >> 24, 255u);

  // A layer goes at its own full size, whatever its scale and opacity.
  layer.SetVisible(true);
  app::ApplyLayerScale(layer, 25);
  app::ApplyLayerOpacity(layer, 40);
  app::CopyPictureToClipboard(layer.Bitmap());
  ASSERT_EQ(app::SaveClipboardPicture(paste, app::TPasteFormat::Jpeg).Outcome,
            app::TPasteOutcome::Written);
  back.LoadFromFile(paste);
  ASSERT_EQ(back.Width(), 120);
  ASSERT_EQ(back.Height(), 80);
  EXPECT_LE(MaxChannelDifference(back.Pixel(60, 40), 0xFF00FF00), 3);

  // An empty picture leaves the clipboard as it was.
  app::CopyPictureToClipboard(gfx::TBitmap32());
  ASSERT_EQ(app::SaveClipboardPicture(folder.File("again.jpg"), app::TPasteFormat::Jpeg).Outcome,
            app::TPasteOutcome::Written);
  back.LoadFromFile(folder.File("again.jpg"));
  EXPECT_EQ(back.Width(), 120);

  // A paste file that cannot be written is a failure, not a crash.
  EXPECT_EQ(
      app::SaveClipboardPicture(folder.File("missing/pasted.jpg"), app::TPasteFormat::Jpeg).Outcome,
      app::TPasteOutcome::Failed);
}

}  // namespace
