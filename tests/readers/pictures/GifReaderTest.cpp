#include <gtest/gtest.h>

#include <random>

#include "GifTestFiles.h"
#include "readers/pictures/GifGraphic.h"
#include "support/LargestAllocation.h"
#include "tests/readers/LzwTestEncoder.h"

namespace readers {
namespace {

using namespace testing;

void Load(TGIFGraphic& Graphic, const std::vector<uint8_t>& File) {
  Graphic.LoadFromMemory(File.data(), static_cast<int64_t>(File.size()));
}

std::vector<uint8_t> Row(const TGIFGraphic& Graphic, int Y) {
  const uint8_t* line = Graphic.ScanLine(Y);
  return std::vector<uint8_t>(line, line + Graphic.Width());
}

Rgb EntryColor(const TGIFGraphic& Graphic, int Index) {
  const plat::TPaletteEntry entry = Graphic.Palette().Entry(Index);
  return {entry.peRed, entry.peGreen, entry.peBlue};
}

TEST(GifReaderPictures, FirstImagesMatchGiflib) {
  uint32_t seed = 0;
  const std::pair<uint16_t, uint16_t> sizes[] = {{1, 1}, {10, 10}, {17, 5}, {64, 33}, {3, 100}};
  for (int colors : {2, 4, 16, 256}) {
    for (bool interlaced : {false, true}) {
      for (bool local : {false, true}) {
        for (const auto& [width, height] : sizes) {
          GifRecipe recipe{.Width = width, .Height = height, .ColorCount = colors};
          recipe.Interlaced = interlaced;
          recipe.LocalTable = local;
          recipe.Seed = ++seed;
          if (seed % 3 == 0) recipe.TransparentIndex = static_cast<uint8_t>(seed % colors);
          const GifPicture picture = WriteGif(recipe);
          const GifDecoded oracle = ReadGifWithGiflib(picture.File);
          ASSERT_EQ(oracle.Pixels, picture.Pixels);
          SCOPED_TRACE(std::to_string(colors) + " colours " + std::to_string(width) + "x" +
                       std::to_string(height) + (interlaced ? " interlaced" : "") +
                       (local ? " local table" : ""));
          TGIFGraphic graphic;
          Load(graphic, picture.File);
          ASSERT_EQ(graphic.Width(), width);
          ASSERT_EQ(graphic.Height(), height);
          EXPECT_EQ(graphic.PixelFormat(), plat::pf8bit);
          for (int y = 0; y < height; ++y)
            ASSERT_EQ(Row(graphic, y),
                      std::vector<uint8_t>(oracle.Pixels.begin() + y * width,
                                           oracle.Pixels.begin() + (y + 1) * width))
                << "row " << y;
          ASSERT_EQ(graphic.Palette().Count(), colors);
          for (int i = 0; i < colors; ++i)
            if (!recipe.TransparentIndex || i != *recipe.TransparentIndex) {
              EXPECT_EQ(EntryColor(graphic, i), oracle.Colors[i]) << "entry " << i;
            }
          EXPECT_EQ(graphic.Transparent(), recipe.TransparentIndex.has_value());
          EXPECT_EQ(graphic.ImageProperties().Interlaced, interlaced);
          EXPECT_EQ(graphic.ImageProperties().LocalColorTable, local);
        }
      }
    }
  }
}

TEST(GifReaderPictures, StreamsThatKeepGoingWhenTheTableIsFull) {
  std::mt19937 random(9);
  std::vector<uint8_t> pixels(300 * 200);
  for (auto& pixel : pixels) pixel = static_cast<uint8_t>(random() % 256);
  std::vector<Rgb> table(256);
  for (int i = 0; i < 256; ++i) table[i] = {static_cast<uint8_t>(i), 0, 0};
  for (bool clearWhenFull : {false, true}) {
    const auto file = AssembleGif({.ScreenWidth = 300,
                                   .ScreenHeight = 200,
                                   .GlobalTable = table,
                                   .ImageWidth = 300,
                                   .ImageHeight = 200,
                                   .CodeSize = 8,
                                   .Data = LzwEncode(pixels, 8, clearWhenFull)});
    EXPECT_EQ(ReadGifWithGiflib(file).Pixels, pixels);
    TGIFGraphic graphic;
    Load(graphic, file);
    for (int y = 0; y < 200; ++y)
      ASSERT_EQ(Row(graphic, y),
                std::vector<uint8_t>(pixels.begin() + y * 300, pixels.begin() + (y + 1) * 300));
  }
}

TEST(GifReaderPictures, MinimumCodeSizeOne) {
  // Two-colour pictures coded with 1-bit roots: string codes widen from 2 bits on, up to 12 bits
  // and a clear when the table is full.
  std::mt19937 random(4);
  for (const auto& [width, height] : {std::pair{16, 8}, std::pair{1, 1}, std::pair{300, 200}}) {
    std::vector<uint8_t> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = static_cast<uint8_t>(i % 50 < 20 ? (i / 7) % 2 : random() % 2);
    for (bool clearWhenFull : {true, false}) {
      TGIFGraphic graphic;
      Load(graphic, AssembleGif({.ScreenWidth = static_cast<uint16_t>(width),
                                 .ScreenHeight = static_cast<uint16_t>(height),
                                 .GlobalTable = {{0, 0, 0}, {255, 255, 255}},
                                 .ImageWidth = static_cast<uint16_t>(width),
                                 .ImageHeight = static_cast<uint16_t>(height),
                                 .CodeSize = 1,
                                 .Data = LzwEncode(pixels, 1, clearWhenFull)}));
      for (int y = 0; y < height; ++y)
        ASSERT_EQ(Row(graphic, y), std::vector<uint8_t>(pixels.begin() + y * width,
                                                        pixels.begin() + (y + 1) * width))
            << width << "x" << height << " row " << y;
    }
  }
}

GifParts SmallPicture() {
  // 4 x 2 pixels, indices 0..3, over a table whose entries 0 and 3 are both black.
  return {.ScreenWidth = 4,
          .ScreenHeight = 2,
          .GlobalTable = {{0, 0, 0}, {255, 0, 0}, {0, 0, 255}, {0, 0, 0}},
          .ImageWidth = 4,
          .ImageHeight = 2,
          .CodeSize = 2,
          .Data = LzwEncode({0, 1, 2, 3, 3, 2, 1, 0}, 2, true)};
}

TEST(GifReaderTransparency, TheKeyPicksExactlyTheTransparentIndex) {
  TGIFGraphic graphic;
  for (uint8_t index : {3, 0, 9}) {
    GifParts parts = SmallPicture();
    parts.Blocks = {GraphicControl(true, index)};
    Load(graphic, AssembleGif(parts));
    ASSERT_TRUE(graphic.Transparent());
    const uint32_t key = plat::ColorToARGB(graphic.TransparentColor());
    // Only pixels of the transparent index show the key colour.
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x)
        EXPECT_EQ(graphic.PixelARGB(x, y) == key, graphic.ScanLine(y)[x] == index)
            << int(index) << " at " << x << ", " << y;
    // The other entries keep their colours; a table too short for the index grows.
    for (int i = 0; i < 4; ++i) {
      if (i != index) {
        EXPECT_EQ(EntryColor(graphic, i), parts.GlobalTable[i]);
      }
    }
    EXPECT_EQ(graphic.Palette().Count(), index < 4 ? 4 : index + 1);
  }
  // With a local table the key comes from it.
  GifParts local = SmallPicture();
  local.LocalTable = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {100, 110, 120}};
  local.Blocks = {GraphicControl(true, 2)};
  Load(graphic, AssembleGif(local));
  EXPECT_EQ(graphic.TransparentColor(), plat::RGB(70, 80, 90));
  // A control block without the flag, or too short to hold an index, sets nothing.
  GifParts off = SmallPicture();
  off.Blocks = {GraphicControl(false, 1), GifExtension(0xF9, {1, 0})};
  Load(graphic, AssembleGif(off));
  EXPECT_FALSE(graphic.Transparent());
}

TEST(GifReaderBlocks, ExtensionsCommentsAndLayouts) {
  // Unknown extensions are skipped whole, even when their data holds "," or ";".
  GifParts parts = SmallPicture();
  parts.Signature = "gif87a";
  parts.Blocks = {GifExtension(0xFE, {'o', 'n', 'e', 0, 'x'}),
                  GifExtension(0x77, {',', ';', ',', 0x21}),
                  GifExtension(0x01, std::vector<uint8_t>(300, ',')),
                  GifExtension(0xFF, {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'}),
                  GifExtension(0xFE, {'t', 'w', 'o', 0xE9})};
  const auto file = AssembleGif(parts);
  TGIFGraphic graphic;
  Load(graphic, file);
  EXPECT_EQ(Row(graphic, 1), (std::vector<uint8_t>{3, 2, 1, 0}));
  EXPECT_EQ(graphic.ImageProperties().Comment, "onetwo\xC3\xA9");
  EXPECT_EQ(graphic.ImageProperties().Version, 87);
  EXPECT_EQ(graphic.ImageProperties().BitsPerSample, 2);
  EXPECT_EQ(graphic.ImageProperties().Compression, CompressionLZW);
  EXPECT_TRUE(TGIFGraphic::CanLoad(file.data(), 23));

  // Width 0 takes the screen's; a two-colour table still gives an 8-bit bitmap.
  GifParts wide = {.ScreenWidth = 5,
                   .ScreenHeight = 1,
                   .GlobalTable = {{0, 0, 0}, {9, 9, 9}},
                   .ImageWidth = 0,
                   .ImageHeight = 1,
                   .CodeSize = 2,
                   .Data = LzwEncode({1, 0, 1, 0, 1}, 2, true)};
  Load(graphic, AssembleGif(wide));
  EXPECT_EQ(Row(graphic, 0), (std::vector<uint8_t>{1, 0, 1, 0, 1}));
  EXPECT_EQ(graphic.Palette().Count(), 2);

  // An interlaced 10-row image places decoded rows 0..9 at 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
  std::vector<uint8_t> rows;
  for (uint8_t row = 0; row < 10; ++row) rows.push_back(row);
  std::vector<Rgb> table(16);
  Load(graphic, AssembleGif({.ScreenWidth = 1,
                             .ScreenHeight = 10,
                             .GlobalTable = table,
                             .ImageWidth = 1,
                             .ImageHeight = 10,
                             .Interlaced = true,
                             .CodeSize = 4,
                             .Data = LzwEncode(rows, 4, true)}));
  const int placed[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(graphic.ScanLine(placed[i])[0], i);

  // A file whose first block is the trailer: an empty picture with the global palette.
  GifParts empty = SmallPicture();
  empty.WithImage = false;
  Load(graphic, AssembleGif(empty));
  EXPECT_TRUE(graphic.Empty());
  EXPECT_EQ(graphic.Palette().Count(), 4);

  // Comments after the image are not read.
  GifParts after = SmallPicture();
  after.WithTrailer = false;
  auto withLate = AssembleGif(after);
  const auto late = GifExtension(0xFE, {'l', 'a', 't', 'e'});
  withLate.insert(withLate.end(), late.begin(), late.end());
  withLate.push_back(';');
  Load(graphic, withLate);
  EXPECT_EQ(graphic.ImageProperties().Comment, "");
}

TEST(GifReaderFailures, BrokenFilesRaiseAndKeepThePicture) {
  GifParts parts = SmallPicture();
  parts.Blocks = {GraphicControl(true, 1), GifExtension(0xFE, {'c'})};
  const auto file = AssembleGif(parts);
  const auto earlier = WriteGif({.Width = 3, .Height = 3, .ColorCount = 4});
  const auto expectKept = [&](const std::vector<uint8_t>& Broken) {
    TGIFGraphic graphic;
    Load(graphic, earlier.File);
    try {
      Load(graphic, Broken);
      return true;  // accepted
    } catch (const plat::Exception&) {
      EXPECT_EQ(graphic.Width(), 3);
      EXPECT_EQ(Row(graphic, 2),
                std::vector<uint8_t>(earlier.Pixels.begin() + 6, earlier.Pixels.end()));
      return false;
    }
  };
  // Cut anywhere: refused, or (cut between blocks before the image) an empty picture; once the
  // data is whole, the trailer and the data's terminator may be missing.
  for (size_t size = 0; size < file.size(); ++size) {
    const std::vector<uint8_t> cut(file.begin(), file.begin() + size);
    if (expectKept(cut)) {
      TGIFGraphic graphic;
      Load(graphic, cut);
      if (!graphic.Empty()) {
        EXPECT_GE(size, file.size() - 2);
        EXPECT_EQ(Row(graphic, 1), (std::vector<uint8_t>{3, 2, 1, 0})) << size;
      }
    }
  }
  const std::string invalid = "Cannot load image. Invalid or unexpected GIF image format.";
  const auto message = [&](const std::vector<uint8_t>& Broken) {
    try {
      TGIFGraphic graphic;
      Load(graphic, Broken);
      return std::string("loaded");
    } catch (const plat::Exception& error) {
      return std::string(error.what());
    }
  };
  EXPECT_EQ(message({'P', 'N', 'G', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0}), invalid);
  GifParts bigCode = SmallPicture();
  bigCode.CodeSize = 9;
  EXPECT_EQ(message(AssembleGif(bigCode)), invalid);
  // Sizes the data cannot fill, and sizes beyond the picture limits.
  GifParts lying = SmallPicture();
  lying.ImageWidth = lying.ImageHeight = 16000;
  EXPECT_EQ(message(AssembleGif(lying)), invalid);
  lying.ImageWidth = lying.ImageHeight = 65535;
  EXPECT_NE(message(AssembleGif(lying)), "loaded");
  EXPECT_FALSE(expectKept(AssembleGif(lying)));
  GifParts sizeless = SmallPicture();
  sizeless.ScreenWidth = sizeless.ImageWidth = 0;
  EXPECT_EQ(message(AssembleGif(sizeless)), invalid);
  // A version that is not a number fails the number conversion.
  GifParts version = SmallPicture();
  version.Signature = "GIFxxa";
  TGIFGraphic graphic;
  const auto bad = AssembleGif(version);
  EXPECT_THROW(Load(graphic, bad), plat::EConvertError);
}

// A flat picture coded as tightly as the format allows: with 2-bit roots every code is the
// entry being defined (strings of 2, 3, ... 4091 pixels), then, with the table full and no clear,
// entry 4095 again and again.
std::vector<uint8_t> FlatCodes(uint64_t Pixels) {
  TCodeWriter writer;
  uint64_t sent = 0, produced = 1;
  const auto put = [&](uint32_t Code) { writer.Put(Code, CodeWidth(2, sent++)); };
  writer.Put(4, CodeWidth(2, 0));
  put(0);
  for (uint32_t code = 6; code < 4096 && produced < Pixels; ++code) {
    put(code);
    produced += code - 4;
  }
  for (; produced < Pixels; produced += 4091) put(4095);
  put(5);
  return writer.Finish();
}

TEST(GifReaderFailures, SizeGuardFollowsWhatTheCodesCanYield) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  const std::string invalid = "Cannot load image. Invalid or unexpected GIF image format.";
  // No 12-bit code yields more than 4096 pixels: a data byte, at most 2,731.
  const uint64_t perByte = (8 * 4096 + 11) / 12;
  GifParts flat{.ScreenWidth = 8192,
                .ScreenHeight = 4096,
                .GlobalTable = {{10, 20, 30}, {0, 0, 0}},
                .ImageWidth = 8192,
                .ImageHeight = 4096,
                .CodeSize = 2,
                .Data = FlatCodes(8192 * 4096)};
  // An honest picture near that bound loads.
  ASSERT_GT(8192 * 4096 / flat.Data.size(), 2000u);
  TGIFGraphic graphic;
  Load(graphic, AssembleGif(flat));
  ASSERT_EQ(graphic.Height(), 4096);
  EXPECT_EQ(Row(graphic, 4095), std::vector<uint8_t>(8192, 0));

  // Data that no coding could stretch over the declared size is refused before the picture's
  // memory is asked for: the same picture cut short, and 25 KB of garbage declaring 32767 x 8192.
  GifParts cut = flat;
  cut.Data.resize((8192 * 4096 - 4096) / perByte - 1);
  GifParts garbage = flat;
  garbage.ScreenWidth = garbage.ImageWidth = 32767;
  garbage.ScreenHeight = garbage.ImageHeight = 8192;
  garbage.Data.assign(24600, 0);
  for (const GifParts& parts : {cut, garbage}) {
    const auto file = AssembleGif(parts);
    test_support::LargestAllocation largest;
    TGIFGraphic refused;
    EXPECT_THROW(Load(refused, file), plat::EInvalidGraphic);
    EXPECT_LT(largest.Bytes(), size_t{1} << 20);
  }
}

TEST(GifReaderBlocks, CompletePictureWithoutItsLastTerminator) {
  // Several sub-blocks of data, then neither the 0 terminator nor (or only) the trailer.
  std::mt19937 random(3);
  std::vector<uint8_t> pixels(60 * 30);
  for (auto& pixel : pixels) pixel = static_cast<uint8_t>(random() % 4);
  GifParts parts = SmallPicture();
  parts.ImageWidth = 60;
  parts.ImageHeight = 30;
  parts.Data = LzwEncode(pixels, 2, true);
  ASSERT_GT(parts.Data.size(), 255u);
  parts.WithTrailer = false;
  auto whole = AssembleGif(parts);
  whole.pop_back();  // the terminator
  auto withTrailer = whole;
  withTrailer.push_back(';');
  for (const auto& file : {whole, withTrailer}) {
    TGIFGraphic graphic;
    Load(graphic, file);
    for (int y = 0; y < 30; ++y)
      ASSERT_EQ(Row(graphic, y),
                std::vector<uint8_t>(pixels.begin() + y * 60, pixels.begin() + (y + 1) * 60));
  }
  // Pixels missing: the last block cut short is refused.
  TGIFGraphic graphic;
  EXPECT_THROW(Load(graphic, std::vector<uint8_t>(whole.begin(), whole.end() - 5)),
               plat::EInvalidGraphic);
}

TEST(GifReaderFailures, GarbageNeverEscapesTheBuffers) {
  // Random bytes after a valid start: every outcome is a picture or a clear error.
  const auto base = AssembleGif(SmallPicture());
  std::mt19937 random(21);
  for (int round = 0; round < 500; ++round) {
    auto file = base;
    for (int flips = 0; flips < 4; ++flips)
      file[6 + random() % (file.size() - 6)] = static_cast<uint8_t>(random());
    TGIFGraphic graphic;
    try {
      Load(graphic, file);
    } catch (const plat::Exception&) {
    }
  }
}

}  // namespace
}  // namespace readers
