#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "PngTestFiles.h"
#include "platform/runtime/Classes.h"
#include "readers/codecs/PngFilters.h"
#include "readers/pictures/PngGraphic.h"
#include "support/LargestAllocation.h"

namespace readers {
namespace {

using namespace testing;

// Display gamma 2.2 against the file's gamma, rounded half to even.
std::vector<uint8_t> GammaTable(double FileGamma) {
  const float file = static_cast<float>(std::lround(FileGamma * 100000)) / 100000.0f;
  std::vector<uint8_t> table(256);
  for (int i = 0; i < 256; ++i)
    table[i] = static_cast<uint8_t>(
        std::nearbyint(std::pow(i / 255.0, 1.0 / (double(file) * double(2.2f))) * 255));
  return table;
}

// A sample reduced to 8 bits as the bitmap shows it.
uint8_t Level(uint16_t Sample, int Depth) {
  if (Depth == 16) return static_cast<uint8_t>(Sample * 255u / 65535u);
  if (Depth == 8) return static_cast<uint8_t>(Sample);
  return static_cast<uint8_t>(Sample * 255u / ((1u << Depth) - 1));
}

// The alpha the file gives a pixel: its alpha sample, its palette entry's, or 0 when its samples
// equal the key (as stored, before any reduction or gamma).
uint32_t ExpectedAlpha(const PngSamples& Samples, int ColorType, int Depth,
                       const uint16_t* Sample) {
  switch (ColorType) {
    case 4:
    case 6:
      return Level(Sample[Samples.Channels - 1], Depth);
    case 3:
      return Sample[0] < Samples.PaletteAlpha.size() ? Samples.PaletteAlpha[Sample[0]] : 255;
    default:
      if (Samples.ColorKey.empty()) return 255;
      return std::equal(Samples.ColorKey.begin(), Samples.ColorKey.end(), Sample) ? 0 : 255;
  }
}

bool HasTransparency(const PngSamples& Samples, int ColorType) {
  return ColorType == 4 || ColorType == 6 || !Samples.ColorKey.empty() ||
         !Samples.PaletteAlpha.empty();
}

uint32_t ExpectedPixel(const PngSamples& Samples, int ColorType, int Depth, uint32_t X,
                       uint32_t Y) {
  const uint16_t* sample = Samples.Rows[Y].data() + size_t{X} * Samples.Channels;
  const uint32_t alpha = ExpectedAlpha(Samples, ColorType, Depth, sample);
  const std::vector<uint8_t> gamma =
      Samples.Gamma ? GammaTable(*Samples.Gamma) : std::vector<uint8_t>();
  const auto shown = [&](uint8_t Value) { return gamma.empty() ? Value : gamma[Value]; };
  const auto argb = [](uint32_t A, uint32_t R, uint32_t G, uint32_t B) {
    return A << 24 | R << 16 | G << 8 | B;
  };
  switch (ColorType) {
    case 0:
    case 4: {
      const uint8_t level = shown(Level(sample[0], Depth));
      return argb(alpha, level, level, level);
    }
    case 3: {
      if (3u * sample[0] >= Samples.Palette.size()) return argb(alpha, 0, 0, 0);
      const uint8_t* colour = Samples.Palette.data() + 3 * sample[0];
      return argb(alpha, shown(colour[0]), shown(colour[1]), shown(colour[2]));
    }
    default:
      return argb(alpha, shown(Level(sample[0], Depth)), shown(Level(sample[1], Depth)),
                  shown(Level(sample[2], Depth)));
  }
}

// Transparency of any kind needs 32 bits with alpha; the rest keeps its smallest format.
plat::TPixelFormat ExpectedFormat(const PngSamples& Samples, int ColorType, int Depth) {
  if (HasTransparency(Samples, ColorType)) return plat::pf32bit;
  if (ColorType == 2) return plat::pf24bit;
  return Depth == 1 ? plat::pf1bit : Depth <= 4 ? plat::pf4bit : plat::pf8bit;
}

void Load(TPNGGraphic& Graphic, const std::vector<uint8_t>& File) {
  Graphic.LoadFromMemory(File.data(), static_cast<int64_t>(File.size()));
}

// Every pixel of the graphic against libpng's samples of the same file.
void ExpectMatchesLibpng(const std::vector<uint8_t>& File, int ColorType, int Depth,
                         const std::string& Label) {
  const PngSamples samples = ReadPngSamples(File);
  TPNGGraphic graphic;
  ASSERT_NO_THROW(Load(graphic, File)) << Label;
  ASSERT_EQ(graphic.Width(), static_cast<int>(samples.Width)) << Label;
  ASSERT_EQ(graphic.Height(), static_cast<int>(samples.Height)) << Label;
  EXPECT_EQ(graphic.PixelFormat(), ExpectedFormat(samples, ColorType, Depth)) << Label;
  for (uint32_t y = 0; y < samples.Height; ++y)
    for (uint32_t x = 0; x < samples.Width; ++x)
      ASSERT_EQ(graphic.PixelARGB(static_cast<int>(x), static_cast<int>(y)),
                ExpectedPixel(samples, ColorType, Depth, x, y))
          << Label << " at " << x << ", " << y;
  // Transparency travels as alpha, never as a colour key.
  EXPECT_FALSE(graphic.Transparent()) << Label;
}

TEST(PngReaderPictures, EveryColourTypeDepthAndInterlacingMatchesLibpng) {
  const std::pair<int, std::vector<int>> types[] = {
      {0, {1, 2, 4, 8, 16}}, {2, {8, 16}}, {3, {1, 2, 4, 8}}, {4, {8, 16}}, {6, {8, 16}}};
  const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1}, {1, 9},  {9, 1},  {3, 5},
                                                 {8, 8}, {15, 7}, {33, 17}};
  uint32_t seed = 1;
  for (const auto& [colorType, depths] : types) {
    for (int depth : depths) {
      for (bool interlaced : {false, true}) {
        for (const auto& [width, height] : sizes) {
          PngSpec recipe;
          recipe.Width = width;
          recipe.Height = height;
          recipe.ColorType = colorType;
          recipe.Depth = depth;
          recipe.Interlaced = interlaced;
          recipe.Seed = ++seed;
          recipe.Filter = static_cast<int>(seed % 6) - 1;
          if (seed % 3 == 0) recipe.Gamma = 0.45455;
          if (seed % 4 == 1) recipe.Gamma = 1.0 / 1.7;
          recipe.ColorKey = seed % 2 == 0;
          recipe.Background = seed % 5 < 2;
          recipe.CompressionBuffer = seed % 7 == 0 ? 32 : 0;
          ExpectMatchesLibpng(WritePng(recipe), colorType, depth,
                              "type " + std::to_string(colorType) + " depth " +
                                  std::to_string(depth) + (interlaced ? " interlaced " : " ") +
                                  std::to_string(width) + "x" + std::to_string(height));
        }
      }
    }
  }
}

TEST(PngReaderPictures, EachFilterAndShortPalettes) {
  for (int filter = 0; filter <= 4; ++filter) {
    for (int colorType : {2, 6}) {
      PngSpec recipe{.Width = 40, .Height = 30, .ColorType = colorType, .Depth = 8};
      recipe.Filter = filter;
      recipe.Seed = 100 + filter;
      ExpectMatchesLibpng(WritePng(recipe), colorType, 8, "filter " + std::to_string(filter));
    }
  }
  // Indices beyond a short palette show black.
  PngSpec recipe{.Width = 20, .Height = 10, .ColorType = 3, .Depth = 4};
  recipe.PaletteSize = 5;
  ExpectMatchesLibpng(WritePng(recipe), 3, 4, "short palette");
}

TEST(PngReaderPictures, InterlacedEqualsItsPlainTwin) {
  PngSpec recipe{.Width = 37, .Height = 23, .ColorType = 6, .Depth = 16};
  const auto plain = WritePng(recipe);
  recipe.Interlaced = true;
  const auto interlaced = WritePng(recipe);
  TPNGGraphic first, second;
  Load(first, plain);
  Load(second, interlaced);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(first.PixelARGB(x, y), second.PixelARGB(x, y));
  EXPECT_TRUE(second.ImageProperties().Interlaced);
}

TEST(PngReaderRows, PaethPredictorTies) {
  EXPECT_EQ(PaethPredictor(7, 7, 3), 7);
  EXPECT_EQ(PaethPredictor(3, 9, 5), 9);
  EXPECT_EQ(PaethPredictor(10, 5, 10), 5);
  // The filter's own loop against the predictor over every left and up at a few corners.
  for (int c : {0, 1, 127, 128, 255}) {
    std::vector<uint8_t> previous(2 * 256), row(2 * 256, 0);
    for (int left = 0; left < 256; ++left) {
      for (int up = 0; up < 256; ++up) {
        // The first byte reconstructs to left (its predictor is the byte above it).
        uint8_t line[2] = {static_cast<uint8_t>(left - c), 0};
        const uint8_t above[2] = {static_cast<uint8_t>(c), static_cast<uint8_t>(up)};
        ApplyFilter(4, line, above, 2, 1);
        ASSERT_EQ(line[1], PaethPredictor(left, up, c)) << left << " " << up << " " << c;
      }
    }
  }
}

TEST(PngReaderRows, FiltersMatchTheirDefinitionsForEveryPixelSize) {
  // The definitions, byte by byte: left and upper-left are 0 before the first pixel.
  const auto reference = [](int Type, std::vector<uint8_t> Row, const std::vector<uint8_t>& Up,
                            size_t Bpp) {
    for (size_t x = 0; x < Row.size(); ++x) {
      const int a = x >= Bpp ? Row[x - Bpp] : 0, b = Up[x], c = x >= Bpp ? Up[x - Bpp] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const int predictor[5] = {0, a, b, (a + b) / 2, paeth};
      if (Type <= 4) Row[x] = static_cast<uint8_t>(Row[x] + predictor[Type]);
    }
    return Row;
  };
  std::mt19937 random(17);
  for (size_t bpp = 1; bpp <= 8; ++bpp) {
    for (int type = 0; type <= 5; ++type) {
      for (size_t pixels : {size_t{1}, size_t{2}, size_t{7}, size_t{64}}) {
        std::vector<uint8_t> row(pixels * bpp), up(pixels * bpp);
        for (auto& byte : row) byte = static_cast<uint8_t>(random());
        for (auto& byte : up) byte = static_cast<uint8_t>(random() % 4 == 0 ? 255 : random());
        auto filtered = row;
        ApplyFilter(static_cast<uint8_t>(type), filtered.data(), up.data(), filtered.size(),
                    static_cast<uint32_t>(bpp));
        ASSERT_EQ(filtered, reference(type, row, up, bpp))
            << "filter " << type << " bpp " << bpp << " pixels " << pixels;
      }
    }
  }
}

TEST(PngReaderRows, CraftedRowsAndChunkLayouts) {
  // Filter type 5 leaves the raw bytes; interlace byte 2 reads plain rows.
  const std::vector<uint8_t> raw = {5, 10, 20, 30, 2, 1, 2, 3};
  TPNGGraphic graphic;
  Load(graphic, AssemblePng(PngHeaderData(3, 2, 8, 0, 2), {PngChunk("IDAT", Deflate(raw))}));
  EXPECT_TRUE(graphic.ImageProperties().Interlaced);
  EXPECT_EQ(graphic.ScanLine(0)[0], 10);
  EXPECT_EQ(graphic.ScanLine(0)[2], 30);
  EXPECT_EQ(graphic.ScanLine(1)[2], 33);  // Up over 10, 20, 30

  // Data split over several chunks, one of them empty and one spelled in lower case; an
  // unknown ancillary chunk, and a text chunk after the data.
  const auto packed = Deflate(raw);
  const std::vector<uint8_t> front(packed.begin(), packed.begin() + 3),
      back(packed.begin() + 3, packed.end());
  const auto split = AssemblePng(
      PngHeaderData(3, 2, 8, 0, 0),
      {PngChunk("abCd", {1, 2}), PngChunk("IDAT", front), PngChunk("IDAT", {}),
       PngChunk("idat", back), PngChunk("tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'})});
  Load(graphic, split);
  EXPECT_EQ(graphic.ScanLine(1)[2], 33);

  // Critical chunks the reader does not know, a second header, a second palette.
  const auto refused = [&](std::vector<std::vector<uint8_t>> Chunks) {
    try {
      Load(graphic, AssemblePng(PngHeaderData(3, 2, 8, 0, 0), Chunks));
      return std::string("loaded");
    } catch (const plat::EInvalidGraphic& error) {
      return std::string(error.what());
    }
  };
  const std::string critical = "Cannot load PNG image. Unexpected but critical chunk detected.";
  EXPECT_EQ(refused({PngChunk("ABCD", {}), PngChunk("IDAT", packed)}), critical);
  EXPECT_EQ(refused({PngChunk("IHDR", PngHeaderData(3, 2, 8, 0, 0)), PngChunk("IDAT", packed)}),
            critical);
  EXPECT_EQ(refused({PngChunk("IDAT", front), PngChunk("tEXt", {'a', 0}), PngChunk("IDAT", back)}),
            critical);
  const auto palette = PngChunk("PLTE", {1, 2, 3});
  EXPECT_EQ(refused({palette, PngChunk("IDAT", packed)}), "loaded");  // ignored for gray
  EXPECT_EQ(refused({palette, palette, PngChunk("IDAT", packed)}), critical);
  EXPECT_EQ(refused({PngChunk("PLTE", {1, 2})}),
            "Cannot load image. Palette in PNG file is invalid.");
  EXPECT_EQ(refused({}), "Cannot load image. Invalid or unexpected PNG image format.");
  // The stream ending before the rows are complete.
  EXPECT_EQ(refused({PngChunk("IDAT", Deflate({0, 1, 2}))}),
            "Cannot load image. Extra compressed data found in PNG file.");
  EXPECT_EQ(refused({PngChunk("IDAT", {1, 2, 3, 4, 5})}),
            "Cannot load image. Compression error found in PNG file.");
  // Image data that runs out without a stream end is no error: the rows keep what they hold.
  EXPECT_EQ(refused({PngChunk("IDAT", front)}), "loaded");
}

TEST(PngReaderProperties, HeaderGammaAndComments) {
  PngSpec recipe{.Width = 5, .Height = 4, .ColorType = 6, .Depth = 16};
  recipe.Gamma = 0.5;
  recipe.Interlaced = true;
  recipe.Texts = {
      {"Comment", "first"}, {"comment", "ignored"}, {"Title", "no"}, {"Comment", "caf\xE9"}};
  const auto file = WritePng(recipe);
  TPNGGraphic graphic;
  ASSERT_TRUE(graphic.ReadImageProperties(file.data(), static_cast<int64_t>(file.size()), 0));
  const TImageProperties& properties = graphic.ImageProperties();
  EXPECT_EQ(properties.Width, 5u);
  EXPECT_EQ(properties.Height, 4u);
  EXPECT_EQ(properties.BitsPerSample, 16);
  EXPECT_EQ(properties.SamplesPerPixel, 4);
  EXPECT_EQ(properties.BitsPerPixel, 64);
  EXPECT_EQ(properties.ColorScheme, SchemeRGBA);
  EXPECT_EQ(properties.Compression, CompressionDeflate);
  EXPECT_TRUE(properties.Interlaced);
  EXPECT_TRUE(properties.HasAlpha);
  EXPECT_EQ(properties.Options, PropertyHeaderFirst);
  EXPECT_FLOAT_EQ(properties.FileGamma, 0.5f);
  EXPECT_EQ(properties.Comment, "firstcaf\xC3\xA9");
  EXPECT_FALSE(graphic.ReadImageProperties(file.data(), 7, 0));
  EXPECT_TRUE(TPNGGraphic::CanLoad(file.data(), 18));
  EXPECT_FALSE(TPNGGraphic::CanLoad(file.data(), 17));

  // From a stream: the position is where it was before.
  plat::TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(11);
  EXPECT_TRUE(graphic.ReadImagePropertiesFromStream(stream));
  EXPECT_EQ(stream.Position(), 11);
  // Loading from a memory stream starts at its first byte whatever the position.
  graphic.LoadFromStream(stream);
  EXPECT_EQ(graphic.Width(), 5);
  EXPECT_TRUE(graphic.ImageProperties().Options & PropertyGammaApplied);
}

TEST(PngReaderProperties, ZeroSizesAndCutChunks) {
  // A zero width keeps the height; the rest stays clear, so the load names the compression.
  TPNGGraphic graphic;
  const auto zeroWide = AssemblePng(PngHeaderData(0, 5, 8, 2, 0), {});
  ASSERT_TRUE(
      graphic.ReadImageProperties(zeroWide.data(), static_cast<int64_t>(zeroWide.size()), 0));
  EXPECT_EQ(graphic.ImageProperties().Width, 0u);
  EXPECT_EQ(graphic.ImageProperties().Height, 5u);
  EXPECT_EQ(graphic.ImageProperties().ColorScheme, SchemeNone);
  EXPECT_EQ(graphic.ImageProperties().Compression, CompressionNone);
  EXPECT_EQ(graphic.ImageProperties().Options, PropertyHeaderFirst);

  // A chunk cut short by the end of the data ends the walk with what came before it.
  PngSpec recipe{.Width = 3, .Height = 2, .ColorType = 2};
  recipe.Gamma = 0.5;
  recipe.Texts = {{"Comment", "abc"}};
  const auto file = WritePng(recipe);
  size_t text = 0;
  for (const auto& [offset, type] : PngChunks(file))
    if (type == "tEXt") text = offset;
  ASSERT_GT(text, 0u);
  const std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(text) + 12);
  ASSERT_TRUE(graphic.ReadImageProperties(cut.data(), static_cast<int64_t>(cut.size()), 0));
  EXPECT_EQ(graphic.ImageProperties().Width, 3u);
  EXPECT_FLOAT_EQ(graphic.ImageProperties().FileGamma, 0.5f);
  EXPECT_EQ(graphic.ImageProperties().Comment, "");
}

// Loads File, expects the failure Message, and checks that the earlier picture is intact.
void ExpectRefused(const std::vector<uint8_t>& File, const std::string& Message) {
  static const auto earlier = WritePng({.Width = 4, .Height = 3, .ColorType = 2, .Depth = 8});
  TPNGGraphic graphic;
  Load(graphic, earlier);
  const uint32_t corner = graphic.PixelARGB(3, 2);
  try {
    Load(graphic, File);
    ADD_FAILURE() << "loaded; expected " << Message;
  } catch (const plat::EInvalidGraphic& error) {
    if (!Message.empty()) {
      EXPECT_EQ(error.what(), Message);
    }
  }
  EXPECT_EQ(graphic.Width(), 4);
  EXPECT_EQ(graphic.PixelFormat(), plat::pf24bit);
  EXPECT_EQ(graphic.PixelARGB(3, 2), corner);
}

TEST(PngReaderFailures, BrokenFilesRaiseAndKeepThePicture) {
  PngSpec recipe{.Width = 6, .Height = 5, .ColorType = 3, .Depth = 2};
  recipe.Gamma = 0.45;
  recipe.Texts = {{"Comment", "x"}};
  const auto file = WritePng(recipe);
  const std::string invalid = "Cannot load image. Invalid or unexpected PNG image format.";
  const auto chunks = PngChunks(file);
  const auto length = [&](size_t Offset) {
    return uint32_t(file[Offset]) << 24 | uint32_t(file[Offset + 1]) << 16 |
           uint32_t(file[Offset + 2]) << 8 | file[Offset + 3];
  };
  // Every truncation while rows are missing; once the image data is whole, the end of the file
  // only ends the walk (IEND or whatever follows may be missing).
  size_t imageEnd = 0;
  for (const auto& [offset, type] : chunks)
    if (type == "IDAT") imageEnd = offset + 12 + length(offset);
  ASSERT_LT(imageEnd, file.size());
  TPNGGraphic whole;
  Load(whole, file);
  for (size_t size = 0; size < file.size(); ++size) {
    const std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(size));
    if (size < imageEnd) {
      ExpectRefused(cut, "");
      continue;
    }
    TPNGGraphic graphic;
    ASSERT_NO_THROW(Load(graphic, cut)) << size;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) ASSERT_EQ(graphic.PixelARGB(x, y), whole.PixelARGB(x, y));
  }
  for (const auto& [offset, type] : chunks) {
    if (type == "tEXt" || type == "IEND") continue;  // chunks the load skips are not checked
    auto corrupt = file;
    corrupt[offset + 8 + length(offset) + 3] ^= 0x5A;
    SCOPED_TRACE(type);
    ExpectRefused(corrupt, "Cannot load image. CRC error found in PNG file.");
  }
  // Without its image data.
  std::vector<std::vector<uint8_t>> kept;
  for (const auto& [offset, type] : chunks)
    if (type != "IDAT" && type != "IHDR" && type != "IEND")
      kept.emplace_back(file.begin() + offset, file.begin() + offset + 12 + length(offset));
  ExpectRefused(AssemblePng(PngHeaderData(6, 5, 2, 3, 0), kept), invalid);
  // Indexed pixels without a palette.
  ExpectRefused(AssemblePng(PngHeaderData(1, 1, 8, 3, 0), {PngChunk("IDAT", Deflate({0, 0}))}),
                invalid);
  // Sizes the data cannot fill, and sizes beyond the picture limits.
  ExpectRefused(
      AssemblePng(PngHeaderData(10000, 10000, 8, 6, 0), {PngChunk("IDAT", Deflate({0, 0}))}),
      invalid);
  ExpectRefused(AssemblePng(PngHeaderData(40000, 2, 8, 0, 0), {PngChunk("IDAT", Deflate({0, 0}))}),
                "");
  ExpectRefused(AssemblePng(PngHeaderData(0x80000000u, 1, 8, 0, 0), {}), "");
  // A lying chunk length.
  auto lying = file;
  lying[chunks[1].first] = 0x7F;
  ExpectRefused(lying, invalid);
  // Header fields outside the format.
  ExpectRefused(AssemblePng(PngHeaderData(2, 2, 8, 0, 0, 1), {}),
                "Cannot load image. The compression scheme is not supported for PNG files.");
  ExpectRefused(AssemblePng(PngHeaderData(2, 2, 4, 2, 0), {PngChunk("IDAT", Deflate({0, 0, 0}))}),
                "Invalid color format in PNG file.");
  ExpectRefused(AssemblePng(PngHeaderData(0, 2, 8, 0, 0), {}),
                "Cannot load image. The compression scheme is not supported for PNG files.");
  auto shortHeader = AssemblePng(PngHeaderData(2, 2, 8, 0, 0), {});
  ExpectRefused(std::vector<uint8_t>(shortHeader.begin(), shortHeader.begin() + 8), invalid);
  // An indexed depth outside the format names the colour format, palette or not.
  ExpectRefused(AssemblePng(PngHeaderData(2, 2, 16, 3, 0),
                            {PngChunk("IDAT", Deflate(std::vector<uint8_t>(9)))}),
                "Invalid color format in PNG file.");
  // An empty palette is no palette.
  for (int depth : {1, 8})
    ExpectRefused(AssemblePng(PngHeaderData(2, 1, depth, 3, 0),
                              {PngChunk("PLTE", {}), PngChunk("IDAT", Deflate({0, 0x40, 0xC8}))}),
                  "Cannot load image. Palette in PNG file is invalid.");
}

TEST(PngReaderRows, GammaChunksTakeEffectWhenFirstNeeded) {
  // A flood of gamma chunks before the data: the last one counts.
  const std::vector<uint8_t> raw = {0, 10, 20, 30, 0, 40, 50, 60};  // 3 x 2 gray, no filter
  const auto gama = [](double Gamma) {
    const auto value = static_cast<uint32_t>(std::lround(Gamma * 100000));
    return PngChunk(
        "gAMA", {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)});
  };
  std::vector<std::vector<uint8_t>> chunks;
  for (int i = 0; i < 20000; ++i) chunks.push_back(gama(0.2 + i * 0.00004));
  chunks.push_back(gama(0.45));
  chunks.push_back(PngChunk("IDAT", Deflate(raw)));
  TPNGGraphic graphic;
  Load(graphic, AssemblePng(PngHeaderData(3, 2, 8, 0, 0), chunks));
  const auto table = GammaTable(0.45);
  for (int i = 0; i < 6; ++i) {
    const uint8_t level = table[raw[1 + i / 3 * 4 + i % 3]];
    EXPECT_EQ(graphic.PixelARGB(i % 3, i / 3), 0xFF000000u | level * 0x010101u) << i;
  }
  // After the data nothing needs them: the rows keep their levels and no table is made. Nor
  // does a gamma chunk after the palette change the palette.
  Load(graphic, AssemblePng(PngHeaderData(3, 2, 8, 0, 0),
                            {PngChunk("IDAT", Deflate(raw)), gama(0.3), gama(0.7)}));
  EXPECT_EQ(graphic.PixelARGB(2, 1), 0xFF3C3C3Cu);
  EXPECT_EQ(graphic.ColorManager().FileGamma(), 1.0f);
  Load(graphic, AssemblePng(PngHeaderData(2, 1, 8, 3, 0),
                            {PngChunk("PLTE", {200, 100, 50, 7, 8, 9}), gama(0.3),
                             PngChunk("IDAT", Deflate({0, 1, 0}))}));
  EXPECT_EQ(graphic.PixelARGB(0, 0), 0xFF070809u);
  EXPECT_EQ(graphic.PixelARGB(1, 0), 0xFFC86432u);
}

TEST(PngReaderFailures, LyingLengthsAreRefusedBeforeThePictureIsAllocated) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  // 2^28 pixels of RGBA; the data chunks claim 2 GB but bring a few bytes.
  const auto packed = Deflate(std::vector<uint8_t>(4000));
  const auto lie = [](std::vector<uint8_t> Chunk) {
    Chunk[0] = 0x7F;
    Chunk[1] = Chunk[2] = 0xFF;
    return Chunk;
  };
  const auto header = PngHeaderData(16384, 16384, 8, 6, 0);
  const std::vector<std::vector<uint8_t>> files = {
      AssemblePng(header, {lie(PngChunk("IDAT", {packed.begin(), packed.begin() + 10}))}, false),
      AssemblePng(header, {PngChunk("IDAT", packed), lie(PngChunk("IDAT", packed))}, false),
      AssemblePng(header, {lie(PngChunk("IDAT", packed))}, true),
  };
  for (const auto& file : files) {
    test_support::LargestAllocation largest;
    ExpectRefused(file, "Cannot load image. Invalid or unexpected PNG image format.");
    EXPECT_LT(largest.Bytes(), size_t{1} << 20);
  }
}

TEST(PngReaderFailures, ASecondLoadStartsAfresh) {
  PngSpec keyed{.Width = 8, .Height = 8, .ColorType = 0, .Depth = 8};
  keyed.Gamma = 0.3;
  keyed.ColorKey = true;
  const auto plain = WritePng({.Width = 8, .Height = 8, .ColorType = 0, .Depth = 8});
  TPNGGraphic graphic;
  Load(graphic, WritePng(keyed));
  EXPECT_EQ(graphic.PixelFormat(), plat::pf32bit);
  const TColorManager& colors = graphic.ColorManager();
  Load(graphic, plain);
  EXPECT_EQ(colors.TargetOptions() & OptionGamma, 0);
  EXPECT_EQ(graphic.PixelFormat(), plat::pf8bit);
  EXPECT_EQ(graphic.ImageProperties().Options & PropertyGammaApplied, 0);
  const PngSamples samples = ReadPngSamples(plain);
  EXPECT_EQ(graphic.PixelARGB(5, 5), ExpectedPixel(samples, 0, 8, 5, 5));
}

}  // namespace
}  // namespace readers
