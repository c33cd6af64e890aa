// The saved picture goes to disk while it is compressed, band by band: bands that no layer reaches
// come straight from the background and must match the whole composition all the same, and a
// write that fails part-way must keep the old file, leave no temporary file behind and leave the
// view as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "RoadSupport.h"
#include "app/road/Background.h"
#include "app/road/Composition.h"
#include "app/road/PictureLayers.h"
#include "graphics/controls/Image.h"

namespace {

using namespace road_test;

// Files of this process may not grow past Bytes while it lives; writes past it fail instead of
// stopping the process, as the program's start arranged.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
};

TEST(StreamedSave, AWriteFailingPartWayKeepsTheOldFileAndLeavesNothingElse) {
  ScratchFolder folder;
  // Noise compresses badly: its file is far larger than the limit below.
  gfx::TBitmap32 noise;
  noise.SetSize(400, 300);
  std::mt19937 random(9);
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) noise.SetPixel(x, y, 0xFF000000u | (random() & 0xFFFFFF));
  noise.SaveToFile(folder.File("bg.bmp"));
  gfx::TImage32 view{nullptr};
  gfx::TBitmap32 pristine;
  app::InstallBackground(view, pristine, app::ReadBackground(folder.File("bg.bmp")));
  std::ofstream(folder.File("out.jpg")) << "old picture";

  {
    const FileSizeLimit limit(100000);
    EXPECT_THROW(app::SaveAsJpeg(view, folder.File("out.jpg")), std::exception);
  }
  EXPECT_EQ(ReadBytes(folder.File("out.jpg")), "old picture");
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder.Path())) (void)e, ++entries;
  EXPECT_EQ(entries, 2);  // bg.bmp, out.jpg
  EXPECT_EQ(view.Bitmap().Width(), 400);
  EXPECT_EQ(view.Bitmap().Pixel(7, 5), noise.Pixel(7, 5));

  // Without the limit the same save goes through with the bytes of the whole picture.
  ASSERT_EQ(app::SaveAsJpeg(view, folder.File("out.jpg")), folder.File("out.jpg"));
  const std::string saved = ReadBytes(folder.File("out.jpg"));
  EXPECT_GT(saved.size(), 100000u);
  EXPECT_TRUE(saved == app::EncodeJpeg(noise));
}

gfx::TBitmapLayer& AddLayerAt(gfx::TImage32& view, const ScratchFolder& folder,
                              const gfx::TFloatRect& place) {
  gfx::TBitmap32 red;
  red.SetSize(50, 40);
  red.ClearWithColor(0xFFFF0000);
  red.SaveToFile(folder.File("red.bmp"));
  gfx::TBitmapLayer& layer =
      app::AddPictureLayer(view.Layers(), {folder.File("red.bmp")}, {200, 1200, 200, 1200});
  layer.SetLocation(place);
  return layer;
}

void ExpectSavedEqualsWholeComposition(gfx::TImage32& view, const ScratchFolder& folder,
                                       const char* what) {
  ASSERT_EQ(app::SaveAsJpeg(view, folder.File("out.jpg")), folder.File("out.jpg"));
  const auto whole = app::ComposePicture(view);
  ASSERT_TRUE(whole);
  EXPECT_TRUE(ReadBytes(folder.File("out.jpg")) == app::EncodeJpeg(*whole)) << what;
}

TEST(StreamedSave, BandsNoLayerReachesMatchTheWholeComposition) {
  ScratchFolder folder;
  gfx::TBitmap32 bg;
  MakeQuadrants(bg, 200, 1200);
  bg.SaveToFile(folder.File("bg.bmp"));
  gfx::TImage32 view{nullptr};
  gfx::TBitmap32 pristine;
  app::InstallBackground(view, pristine, app::ReadBackground(folder.File("bg.bmp")));

  // Bands start at rows 256, 512, 768 and 1024; no layer comes near the last. The first layer's
  // rounded place reaches one row into the second band, the second layer's one row into the third:
  // nothing else touches those.
  AddLayerAt(view, folder, {10, 200, 60, 256.6f});
  AddLayerAt(view, folder, {70, 767.4f, 120, 850});
  AddLayerAt(view, folder, {10, 400, 60, 450}).SetVisible(false);
  ExpectSavedEqualsWholeComposition(view, folder, "layers near band borders");

  // A layer that paints through a handler may reach any band.
  AddLayerAt(view, folder, {0, 0, 1, 1}).OnPaint = [](plat::TObject*, gfx::TBitmap32& buffer) {
    buffer.FillRectS(0, 0, 200, 1200, 0xFF00FF00);
  };
  ExpectSavedEqualsWholeComposition(view, folder, "a layer painting through its handler");
}

}  // namespace
