// Pictures opened the way the editor opens them: the engine's bitmap load, through the platform
// picture registry, into 32-bit pixels with alpha.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "GifTestFiles.h"
#include "PngTestFiles.h"
#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/pictures/BmpCodec.h"
#include "platform/pictures/JpegCodec.h"
#include "platform/pictures/PicturePreview.h"
#include "tests/platform/pictures/PictureTestUtil.h"
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

  // The open-picture dialogs preview a small picture pixel for pixel as it opens.
  static void ExpectPreviewShows(const std::string& Path, const gfx::TBitmap32& Opened) {
    const std::unique_ptr<plat::TBitmap> preview = plat::PicturePreview(Path, 160, 160);
    ASSERT_NE(preview, nullptr);
    ASSERT_EQ(preview->Width(), Opened.Width());
    ASSERT_EQ(preview->Height(), Opened.Height());
    for (int y = 0; y < Opened.Height(); ++y)
      for (int x = 0; x < Opened.Width(); ++x)
        EXPECT_EQ(preview->PixelARGB(x, y), Opened.Pixel(x, y)) << x << ", " << y;
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

// Transparent logos come as palette, gray-with-alpha or keyed PNGs: each keeps its alpha.
TEST_F(EngineLoad, EveryKindOfPngTransparencyReachesTheBitmap) {
  const auto chunk16 = [](std::initializer_list<uint16_t> Samples) {
    std::vector<uint8_t> data;
    for (uint16_t sample : Samples)
      data.insert(data.end(), {uint8_t(sample >> 8), uint8_t(sample)});
    return data;
  };
  // One row as stored (filter type 0); the expected pixels as 0xAARRGGBB.
  struct TCase {
    const char* Name;
    int ColorType, Depth;
    std::vector<uint8_t> Row;
    std::vector<std::vector<uint8_t>> Chunks;
    std::vector<uint32_t> Expected;
  };
  // Display gamma 2.2 over a file gamma of 1.0 turns 254 into 255; the key still tells them apart.
  const auto shown = [](int Level) {
    return static_cast<uint32_t>(std::nearbyint(std::pow(Level / 255.0, 1 / 2.2) * 255));
  };
  const auto gray = [](uint32_t Alpha, uint32_t Level) {
    return Alpha << 24 | Level << 16 | Level << 8 | Level;
  };
  const TCase cases[] = {
      {"gray key before gamma",
       0,
       8,
       {0, 128, 254, 255},
       {PngChunk("gAMA", {0x00, 0x01, 0x86, 0xA0}), PngChunk("tRNS", {0, 255})},
       {gray(255, 0), gray(255, shown(128)), gray(255, 255), gray(0, 255)}},
      {"2-bit gray key",
       0,
       2,
       {0b00011011},
       {PngChunk("tRNS", {0, 2})},
       {gray(255, 0), gray(255, 85), gray(0, 170), gray(255, 255)}},
      {"16-bit gray key against its 8-bit neighbours",
       0,
       16,
       chunk16({0x1234, 0x1235, 0x1236}),
       {PngChunk("tRNS", chunk16({0x1235}))},
       {gray(255, 0x12), gray(0, 0x12), gray(255, 0x12)}},
      {"16-bit colour key",
       2,
       16,
       chunk16({0x1000, 0x2000, 0x3000, 0x1000, 0x2000, 0x3001}),
       {PngChunk("tRNS", chunk16({0x1000, 0x2000, 0x3000}))},
       {0x000F1F2F, 0xFF0F1F2F}},
      {"8-bit colour key",
       2,
       8,
       {10, 20, 30, 10, 20, 31},
       {PngChunk("tRNS", {0, 10, 0, 20, 0, 30})},
       {0x000A141E, 0xFF0A141F}},
      {"palette alphas, the later entries opaque",
       3,
       4,
       {0x01, 0x23},
       {PngChunk("PLTE", {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}), PngChunk("tRNS", {0, 128})},
       {0x00FF0000, 0x8000FF00, 0xFF0000FF, 0xFF090909}},
      {"gray with alpha",
       4,
       8,
       {200, 0, 100, 77, 50, 255},
       {},
       {gray(0, 200), gray(77, 100), gray(255, 50)}},
      {"16-bit gray with alpha",
       4,
       16,
       chunk16({0xFFFF, 0x0000, 0x8000, 0x7FFF}),
       {},
       {gray(0, 255), gray(0x7F, 0x7F)}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto chunks = c.Chunks;
    std::vector<uint8_t> row = {0};
    row.insert(row.end(), c.Row.begin(), c.Row.end());
    chunks.push_back(PngChunk("IDAT", Deflate(row)));
    const auto file = AssemblePng(
        PngHeaderData(static_cast<uint32_t>(c.Expected.size()), 1, c.Depth, c.ColorType, 0),
        chunks);
    gfx::TBitmap32 bitmap;
    const std::string path = Write("logo.png", file);
    bitmap.LoadFromFile(path);
    ASSERT_EQ(bitmap.Width(), static_cast<int>(c.Expected.size()));
    for (int x = 0; x < bitmap.Width(); ++x) EXPECT_EQ(bitmap.Pixel(x, 0), c.Expected[x]) << x;
    ExpectPreviewShows(path, bitmap);
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
  const std::string path = Write("key.GIF", AssembleGif(parts));
  bitmap.LoadFromFile(path);
  ASSERT_EQ(bitmap.Width(), 4);
  ExpectPreviewShows(path, bitmap);
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

// One file of every kind the editor reads whole: PNG of every colour type (plain, interlaced,
// keyed, gamma), GIF (interlaced, local table, transparent), BMP of every depth, run-length and
// bit-field coded, and JPEG.
std::vector<std::pair<std::string, std::vector<uint8_t>>> PicturesOfEveryKind() {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  uint32_t seed = 0;
  const std::pair<int, std::vector<int>> types[] = {
      {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
  for (const auto& [colorType, depths] : types)
    for (int depth : depths)
      for (bool interlaced : {false, true}) {
        PngSpec recipe{.Width = 13, .Height = 9, .ColorType = colorType, .Depth = depth};
        recipe.Interlaced = interlaced;
        recipe.Seed = ++seed;
        recipe.ColorKey = seed % 3 == 0;
        if (seed % 4 == 0) recipe.Gamma = 0.6;
        files.emplace_back("p" + std::to_string(seed) + ".png", WritePng(recipe));
      }
  for (bool interlaced : {false, true})
    for (bool local : {false, true}) {
      GifRecipe recipe{.Width = 11, .Height = 10, .ColorCount = 16};
      recipe.Interlaced = interlaced;
      recipe.LocalTable = local;
      recipe.TransparentIndex = static_cast<uint8_t>(interlaced ? 3 : 0);
      recipe.Seed = ++seed;
      files.emplace_back("g" + std::to_string(seed) + ".gif", WriteGif(recipe).File);
    }
  const auto bytes = [](const std::string& Text) {
    return std::vector<uint8_t>(Text.begin(), Text.end());
  };
  for (plat::TPixelFormat format : {plat::pf1bit, plat::pf4bit, plat::pf8bit, plat::pf15bit,
                                    plat::pf16bit, plat::pf24bit, plat::pf32bit}) {
    plat::TBitmap bitmap;
    bitmap.SetPixelFormat(plat::pf32bit);
    bitmap.SetSize(7, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) {
        const uint32_t pixel = pictest::NextRandom(seed) | 0x10000000u;
        std::memcpy(bitmap.ScanLine(y) + 4 * x, &pixel, 4);
      }
    if (format <= plat::pf8bit)
      bitmap.SetPalette(plat::TPalette({{200, 0, 0, 0}, {0, 90, 0, 0}, {1, 2, 250, 0}}));
    bitmap.SetPixelFormat(format);
    plat::TMemoryStream stream;
    plat::WriteBmp(bitmap, stream);
    const auto* data = static_cast<const uint8_t*>(stream.Memory());
    files.emplace_back("b" + std::to_string(format) + ".bmp",
                       std::vector<uint8_t>(data, data + stream.Size()));
  }
  pictest::Bytes table, rle8, rle4, fields;
  for (uint32_t entry : {0x000000u, 0x0000FFu, 0x00FF00u, 0xFF0000u}) table.U32(entry);
  rle8.U8(3).U8(1).U8(0).U8(3).U8(2).U8(3).U8(1).U8(0).U8(0).U8(0).U8(0).U8(2).U8(2).U8(1);
  rle8.U8(2).U8(3).U8(9).U8(1).U8(0).U8(1);
  files.emplace_back("r8.rle",
                     bytes(pictest::BmpFile(pictest::InfoHeader(40, 6, 4, 8, 1, 4), table, rle8)));
  rle4.U8(5).U8(0x12).U8(0).U8(3).U8(0x30).U8(0x20).U8(0).U8(0).U8(2).U8(0x22).U8(0).U8(1);
  files.emplace_back("r4.bmp",
                     bytes(pictest::BmpFile(pictest::InfoHeader(40, 8, 2, 4, 2, 4), table, rle4)));
  pictest::Bytes masks;
  masks.U32(0x0000F800).U32(0x000007C0).U32(0x0000003E);  // 5-5-5 shifted by one: not raw
  for (int i = 0; i < 8; ++i) fields.U16(pictest::NextRandom(seed));  // rows padded to 8 bytes
  files.emplace_back("f.dib",
                     bytes(pictest::BmpFile(pictest::InfoHeader(40, 3, 2, 16, 3), masks, fields)));
  plat::TBitmap photo;
  photo.SetPixelFormat(plat::pf24bit);
  photo.SetSize(19, 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 19 * 3; ++x) photo.ScanLine(y)[x] = static_cast<uint8_t>(x * 13 + y * 29);
  files.emplace_back("j.jpg", bytes(plat::EncodeJpeg(photo, 90)));
  return files;
}

bool SamePixels(const gfx::TBitmap32& A, const gfx::TBitmap32& B) {
  return A.Width() == B.Width() && A.Height() == B.Height() &&
         std::equal(A.Bits(), A.Bits() + size_t(A.Width()) * A.Height(), B.Bits());
}

// The pixels go straight into the bitmap and come out as the platform picture draws them (the
// way the engine took pictures over before), into an empty bitmap or one holding a picture.
TEST_F(EngineLoad, PicturesGoStraightIntoThePixelsAsTheyWouldBeDrawn) {
  for (const auto& [name, bytes] : PicturesOfEveryKind()) {
    SCOPED_TRACE(name);
    const std::string path = Write(name, bytes);
    plat::TPicture picture;
    picture.LoadFromFile(path);
    gfx::TBitmap32 drawn;
    drawn.Assign(picture);
    ASSERT_FALSE(drawn.Empty());
    gfx::TBitmap32 direct, replaced;
    direct.LoadFromFile(path);
    EXPECT_TRUE(SamePixels(direct, drawn));
    replaced.SetSize(3, 30);
    replaced.LoadFromFile(path);
    EXPECT_TRUE(SamePixels(replaced, drawn));
  }
}

TEST_F(EngineLoad, AFailedLoadLeavesTheBitmapAsItWas) {
  for (const auto& [name, bytes] : PicturesOfEveryKind()) {
    SCOPED_TRACE(name);
    // Cut inside the pixel data, where the decoding has begun.
    const std::string path =
        Write(name, std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() * 3 / 4));
    gfx::TBitmap32 empty, held;
    EXPECT_THROW(empty.LoadFromFile(path), plat::Exception);
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_TRUE(empty.Empty());
    held.SetSize(5, 4);
    held.ClearWithColor(0x80123456);
    EXPECT_THROW(held.LoadFromFile(path), plat::Exception);
    ASSERT_EQ(held.Width(), 5);
    EXPECT_EQ(held.Pixel(4, 3), 0x80123456u);
  }
}

}  // namespace
}  // namespace readers
