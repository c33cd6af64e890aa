// Pictures opened the way the editor opens them: the engine's bitmap load, through the platform
// picture registry, into 32-bit pixels with alpha.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "GifTestFiles.h"
#include "PngTestFiles.h"
#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "tests/readers/LzwTestEncoder.h"

namespace readers {
namespace {

using namespace testing;

class EngineLoad : public ::testing::Test {
 protected:
  // The readers are started for the whole group; the engine only here.
  static void SetUpTestSuite() { gfx::StartEngine(); }

  void SetUp() override {
    char folder[] = "/tmp/readers-engine-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    Folder = folder;
  }
  void TearDown() override { std::filesystem::remove_all(Folder); }

  std::string Write(const std::string& Name, const std::vector<uint8_t>& Bytes) {
    const std::string path = Folder + "/" + Name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()),
               static_cast<std::streamsize>(Bytes.size()));
    return path;
  }

  std::string Folder;
};

TEST_F(EngineLoad, PngAlphaReachesTheBitmap) {
  const auto file = WritePng({.Width = 9, .Height = 6, .ColorType = 6, .Depth = 8, .Seed = 4});
  const PngSamples samples = ReadPngSamples(file);
  gfx::TBitmap32 bitmap;
  bitmap.LoadFromFile(Write("alpha.png", file));
  ASSERT_EQ(bitmap.Width(), 9);
  ASSERT_EQ(bitmap.Height(), 6);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 9; ++x) {
      const uint16_t* s = samples.Rows[y].data() + 4 * x;
      const uint32_t want =
          uint32_t(s[3]) << 24 | uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2];
      ASSERT_EQ(bitmap.Pixel(x, y), want) << x << ", " << y;
    }
  }
}

TEST_F(EngineLoad, TransparentGifIndexBecomesAlphaZero) {
  // Entries 0 and 2 share black; only index 2 is transparent.
  const std::vector<uint8_t> indices = {0, 1, 2, 3, 2, 2, 1, 0};
  GifParts parts{.ScreenWidth = 4,
                 .ScreenHeight = 2,
                 .GlobalTable = {{0, 0, 0}, {200, 10, 10}, {0, 0, 0}, {10, 10, 200}},
                 .Blocks = {GraphicControl(true, 2)},
                 .ImageWidth = 4,
                 .ImageHeight = 2,
                 .CodeSize = 2};
  parts.Data = LzwEncode(indices, 2, true);

  gfx::TBitmap32 bitmap;
  bitmap.LoadFromFile(Write("key.GIF", AssembleGif(parts)));
  ASSERT_EQ(bitmap.Width(), 4);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const uint8_t index = indices[y * 4 + x];
      EXPECT_EQ(bitmap.Pixel(x, y) >> 24, index == 2 ? 0u : 255u) << x << ", " << y;
      if (index != 2) {
        const auto& colour = parts.GlobalTable[index];
        EXPECT_EQ(bitmap.Pixel(x, y) & 0xFFFFFF,
                  uint32_t(colour.Red) << 16 | uint32_t(colour.Green) << 8 | colour.Blue);
      }
    }
  }
}

}  // namespace
}  // namespace readers
