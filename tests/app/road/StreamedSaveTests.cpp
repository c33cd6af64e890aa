// The saved picture goes to disk while it is compressed: a write that fails part-way must keep
// the old file, leave no temporary file behind and leave the view as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>

#include "RoadSupport.h"
#include "app/Background.h"
#include "app/Composition.h"
#include "graphics/Image.h"

namespace {

using namespace road_test;

// Files of this process may not grow past Bytes while it lives; writes past it fail instead of
// stopping the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*oldHandler_)(int) = nullptr;
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
  EXPECT_EQ(view.Bitmap().Pixel(7, 5), pristine.Pixel(7, 5));

  // Without the limit the same save goes through with the bytes of the whole picture.
  ASSERT_EQ(app::SaveAsJpeg(view, folder.File("out.jpg")), folder.File("out.jpg"));
  const std::string saved = ReadBytes(folder.File("out.jpg"));
  EXPECT_GT(saved.size(), 100000u);
  EXPECT_TRUE(saved == app::EncodeJpeg(noise));
}

}  // namespace
