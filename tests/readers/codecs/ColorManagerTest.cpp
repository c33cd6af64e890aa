#include <gtest/gtest.h>

#include <cmath>

#include "readers/codecs/ColorManager.h"

namespace readers {
namespace {

// A manager set up for one conversion.
TColorManager Manager(uint8_t SourceScheme, uint8_t SourceBits, uint8_t TargetScheme,
                      uint8_t TargetBits, uint8_t SourceOptions = 0) {
  TColorManager manager;
  manager.SetSourceColorScheme(SourceScheme);
  manager.SetSourceBitsPerSample(SourceBits);
  manager.SetTargetColorScheme(TargetScheme);
  manager.SetTargetBitsPerSample(TargetBits);
  manager.SetSourceOptions(SourceOptions);
  return manager;
}

std::vector<uint8_t> Convert(TColorManager& Manager, const std::vector<uint8_t>& Source,
                             size_t TargetBytes, uint32_t Count, uint8_t Mask = 0xFF,
                             uint8_t Fill = 0xEE) {
  std::vector<uint8_t> target(TargetBytes, Fill);
  const void* sources[] = {Source.data()};
  Manager.ConvertRow(sources, target.data(), Count, Mask);
  return target;
}

std::vector<uint8_t> BigEndianWords(std::initializer_list<uint16_t> Words) {
  std::vector<uint8_t> bytes;
  for (uint16_t word : Words) {
    bytes.push_back(static_cast<uint8_t>(word >> 8));
    bytes.push_back(static_cast<uint8_t>(word));
  }
  return bytes;
}

TEST(ColorManagerRows, RGBFamilyOrderAndDepths) {
  auto rgbToBgr = Manager(SchemeRGB, 8, SchemeBGR, 8);
  EXPECT_EQ(Convert(rgbToBgr, {1, 2, 3, 4, 5, 6}, 6, 2), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
  auto rgbToRgb = Manager(SchemeRGB, 8, SchemeRGB, 8);
  EXPECT_EQ(Convert(rgbToRgb, {1, 2, 3}, 3, 1), (std::vector<uint8_t>{1, 2, 3}));
  auto bgrToRgb = Manager(SchemeBGR, 8, SchemeRGB, 8);
  EXPECT_EQ(Convert(bgrToRgb, {1, 2, 3}, 3, 1), (std::vector<uint8_t>{3, 2, 1}));

  // Big-endian 16-bit samples reduced to 8 bits: v * 255 div 65535.
  auto wide = Manager(SchemeRGB, 16, SchemeBGR, 8, OptionBigEndian);
  EXPECT_EQ(Convert(wide, BigEndianWords({0xFFFF, 0x8000, 0x0000}), 3, 1),
            (std::vector<uint8_t>{0, 127, 255}));

  // Alpha is copied only when both sides carry it; otherwise the target's byte stays.
  auto rgba = Manager(SchemeRGBA, 8, SchemeBGRA, 8);
  EXPECT_EQ(Convert(rgba, {10, 20, 30, 40}, 4, 1), (std::vector<uint8_t>{30, 20, 10, 40}));
  auto rgbToBgra = Manager(SchemeRGB, 8, SchemeBGRA, 8);
  EXPECT_EQ(Convert(rgbToBgra, {10, 20, 30}, 4, 1), (std::vector<uint8_t>{30, 20, 10, 0xEE}));
  auto rgbaWide = Manager(SchemeRGBA, 16, SchemeBGRA, 8, OptionBigEndian);
  EXPECT_EQ(Convert(rgbaWide, BigEndianWords({0x0101, 0x0202, 0x0303, 0xFFFF}), 4, 1),
            (std::vector<uint8_t>{3, 2, 1, 255}));

  // Three planes instead of interleaved samples.
  const std::vector<uint8_t> red{1, 2}, green{3, 4}, blue{5, 6};
  const void* planes[] = {red.data(), green.data(), blue.data()};
  std::vector<uint8_t> target(6);
  rgbToBgr.ConvertRow(planes, target.data(), 2, 0xFF);
  EXPECT_EQ(target, (std::vector<uint8_t>{5, 3, 1, 6, 4, 2}));
}

TEST(ColorManagerRows, MaskPlacesThePixelsOfAPass) {
  // Mask $80 over 16 pixels writes pixels 0 and 8 from the first two source pixels.
  auto manager = Manager(SchemeRGB, 8, SchemeBGR, 8);
  const auto target = Convert(manager, {1, 2, 3, 4, 5, 6, 7, 8, 9}, 48, 16, 0x80);
  for (int pixel = 0; pixel < 16; ++pixel) {
    const std::vector<uint8_t> got(target.begin() + 3 * pixel, target.begin() + 3 * pixel + 3);
    const std::vector<uint8_t> want = pixel == 0   ? std::vector<uint8_t>{3, 2, 1}
                                      : pixel == 8 ? std::vector<uint8_t>{6, 5, 4}
                                                   : std::vector<uint8_t>{0xEE, 0xEE, 0xEE};
    EXPECT_EQ(got, want) << pixel;
  }
  // The same mask on packed 4-bit indices leaves the neighbouring nibbles alone.
  auto packed = Manager(SchemeIndexed, 4, SchemeIndexed, 4);
  EXPECT_EQ(Convert(packed, {0x12, 0x12}, 8, 16, 0x88, 0xFF),
            (std::vector<uint8_t>{0x1F, 0xFF, 0x2F, 0xFF, 0x1F, 0xFF, 0x2F, 0xFF}));
}

TEST(ColorManagerRows, PackedIndicesAndGrayLevels) {
  // 2-bit indices 0..3 spread to 4 bits: 0, 5, 10, 15.
  auto spread = Manager(SchemeIndexed, 2, SchemeIndexed, 4);
  EXPECT_EQ(Convert(spread, {0x1B}, 2, 4), (std::vector<uint8_t>{0x05, 0xAF}));
  // Equal depths with a full mask: a plain copy of (Count * bits + 7) div 8 bytes.
  auto copy = Manager(SchemeIndexed, 1, SchemeIndexed, 1);
  EXPECT_EQ(Convert(copy, {0xA5, 0xC3}, 3, 10), (std::vector<uint8_t>{0xA5, 0xC3, 0xEE}));
  // 16-bit gray to 8 bits is v * 255 div 65535 for every value, that is v div 257.
  auto gray = Manager(SchemeGray, 16, SchemeGray, 8);
  std::vector<uint8_t> words(2 * 65536);
  for (uint32_t v = 0; v < 65536; ++v) {
    words[2 * v] = static_cast<uint8_t>(v);
    words[2 * v + 1] = static_cast<uint8_t>(v >> 8);
  }
  const auto levels = Convert(gray, words, 65536, 65536);
  for (uint32_t v = 0; v < 65536; ++v) ASSERT_EQ(levels[v], v / 257) << v;
  // Gray with alpha keeps the level and drops the alpha.
  auto grayAlpha = Manager(SchemeGrayAlpha, 8, SchemeIndexed, 8);
  EXPECT_EQ(Convert(grayAlpha, {7, 200, 9, 100}, 2, 2), (std::vector<uint8_t>{7, 9}));
  // 16-bit indices scaled to 4 bits, and 4-bit ones widened to 16.
  auto narrow = Manager(SchemeIndexed, 16, SchemeIndexed, 4, OptionBigEndian);
  EXPECT_EQ(Convert(narrow, BigEndianWords({0xFFFF, 0x1111}), 1, 2), (std::vector<uint8_t>{0xF1}));
  auto widen = Manager(SchemeIndexed, 4, SchemeIndexed, 16);
  const auto wide = Convert(widen, {0xF1}, 4, 2);
  EXPECT_EQ(wide[0] | wide[1] << 8, 0xFFFF);
  EXPECT_EQ(wide[2] | wide[3] << 8, 0x1111);
}

TEST(ColorManagerRows, OtherColorSpacesFollowTheirFormulas) {
  // CMYK: each channel is 255 - (ink + K - ink * K div 255).
  auto cmyk = Manager(SchemeCMYK, 8, SchemeBGR, 8);
  const uint8_t c = 10, m = 100, y = 200, k = 50;
  auto channel = [&](int ink) { return std::clamp(255 - (ink + k - ink * k / 255), 0, 255); };
  EXPECT_EQ(
      Convert(cmyk, {c, m, y, k}, 3, 1),
      (std::vector<uint8_t>{static_cast<uint8_t>(channel(y)), static_cast<uint8_t>(channel(m)),
                            static_cast<uint8_t>(channel(c))}));
  // L*a*b* white is white, black is black.
  auto lab = Manager(SchemeCIELab, 8, SchemeRGB, 8);
  EXPECT_EQ(Convert(lab, {100, 0, 0, 0, 0, 0}, 6, 2),
            (std::vector<uint8_t>{255, 255, 255, 0, 0, 0}));
  // YCbCr through the tables: red = Y + round((Cr - 128) * 1.402) and so on.
  auto ycc = Manager(SchemeYCbCr, 8, SchemeRGB, 8);
  const int luma = 100, cb = 90, cr = 200;
  const auto round = [](double v) { return static_cast<int>(std::nearbyint(v)); };
  const double kr = 0.299f, kg = 0.587f, kb = 0.114f;
  const int red = std::clamp(luma + round((cr - 128) * (2 - 2 * kr)), 0, 255);
  const int blue = std::clamp(luma + round((cb - 128) * (2 - 2 * kb)), 0, 255);
  const int green = std::clamp(luma - round((cb - 128) * kb * (2 - 2 * kb) / kg) -
                                   round((cr - 128) * kr * (2 - 2 * kr) / kg),
                               0, 255);
  EXPECT_EQ(Convert(ycc, {luma, cb, cr}, 3, 1),
            (std::vector<uint8_t>{static_cast<uint8_t>(red), static_cast<uint8_t>(green),
                                  static_cast<uint8_t>(blue)}));
}

TEST(ColorManagerGamma, TablesFollowThePowerLaw) {
  TColorManager manager;
  manager.SetGamma(0.45455f, 2.2f);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(manager.GammaTable()[i], i);
  manager.SetGamma(0, 0);
  EXPECT_FLOAT_EQ(manager.FileGamma(), 1.0f);
  EXPECT_FLOAT_EQ(manager.DisplayGamma(), 2.2f);
  for (int i = 0; i < 256; ++i) {
    const double want = std::pow(i / 255.0, 1 / (1.0 * 2.2f)) * 255;
    EXPECT_NEAR(manager.GammaTable()[i], want, 0.5 + 1e-6) << i;
  }
  // The gamma bit of the target routes 8-bit colours through the table.
  auto rgb = Manager(SchemeRGB, 8, SchemeBGR, 8);
  rgb.SetGamma(1.0f, 2.2f);
  rgb.SetTargetOptions(OptionGamma);
  const auto& table = rgb.GammaTable();
  EXPECT_EQ(Convert(rgb, {10, 128, 250}, 3, 1),
            (std::vector<uint8_t>{table[250], table[128], table[10]}));
}

TEST(ColorManagerPalettes, GrayRampsAndFilePalettes) {
  auto gray = Manager(SchemeGray, 4, SchemeGray, 4);
  gray.SetTargetSamplesPerPixel(1);
  const auto ramp = gray.CreateGrayscalePalette(false);
  ASSERT_EQ(ramp.Count(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ramp.Entry(i).peRed, 17 * i);
  const auto reversed = gray.CreateGrayscalePalette(true);
  EXPECT_EQ(reversed.Entry(0), (plat::TPaletteEntry{255, 255, 255, 0}));
  auto mono = Manager(SchemeGray, 1, SchemeGray, 1);
  mono.SetTargetSamplesPerPixel(1);
  EXPECT_EQ(mono.CreateGrayscalePalette(false).Count(), 2);

  // Four colours at 2 bits spread over a 4-bit palette: entry j is colour j * 3 div 15.
  auto indexed = Manager(SchemeIndexed, 2, SchemeIndexed, 4);
  const std::vector<uint8_t> colours{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const void* data[] = {colours.data()};
  const auto palette = indexed.CreateColorPalette(data, 0, 4, false);
  ASSERT_EQ(palette.Count(), 16);
  for (int j = 0; j < 16; ++j) {
    const int from = j * 3 / 15;
    EXPECT_EQ(palette.Entry(j), (plat::TPaletteEntry{colours[3 * from], colours[3 * from + 1],
                                                     colours[3 * from + 2], 0}))
        << j;
  }
  // A short palette chunk spreads from zero-filled entries, never from unread memory.
  const auto shortPalette = indexed.CreateColorPalette(data, 0, 1, false);
  EXPECT_EQ(shortPalette.Entry(15), (plat::TPaletteEntry{}));
  // Reversed triples and 16-bit triples (blue first unless reversed).
  auto same = Manager(SchemeIndexed, 8, SchemeIndexed, 8);
  EXPECT_EQ(same.CreateColorPalette(data, 0, 1, true).Entry(0), (plat::TPaletteEntry{3, 2, 1, 0}));
  const std::vector<uint8_t> words{0x00, 0x01, 0x00,
                                   0x02, 0x00, 0x03};  // little-endian 256, 512, 768
  const void* wide[] = {words.data()};
  EXPECT_EQ(same.CreateColorPalette(wide, 4, 1, false).Entry(0),
            (plat::TPaletteEntry{768 / 257, 512 / 257, 256 / 257, 0}));
}

TEST(ColorManagerSettings, InvalidValuesAndPairsRaise) {
  TColorManager manager;
  EXPECT_THROW(manager.SetSourceBitsPerSample(3), EColorConversionError);
  EXPECT_EQ(manager.SourceBitsPerSample(), 8);
  EXPECT_NO_THROW(manager.SetSourceBitsPerSample(16));
  EXPECT_THROW(manager.SetTargetSamplesPerPixel(5), EColorConversionError);
  EXPECT_THROW(manager.SetSourceSamplesPerPixel(0), EColorConversionError);

  auto mixed = Manager(SchemeRGB, 8, SchemeIndexed, 8);
  std::vector<uint8_t> out(3);
  const std::vector<uint8_t> in(3);
  const void* sources[] = {in.data()};
  try {
    mixed.ConvertRow(sources, out.data(), 1, 0xFF);
    FAIL();
  } catch (const EColorConversionError& error) {
    EXPECT_STREQ(error.what(),
                 "Conversion between indexed and non-indexed pixel formats is not supported.");
  }
  auto unknown = Manager(12, 8, SchemeBGR, 8);
  try {
    unknown.ConvertRow(sources, out.data(), 1, 0xFF);
    FAIL();
  } catch (const EColorConversionError& error) {
    EXPECT_STREQ(error.what(), "Color conversion failed. Could not find a proper method.");
  }
  // Fewer planes than the scheme has samples: refused, not read past.
  for (uint8_t scheme : {uint8_t{SchemeRGB}, uint8_t{SchemeRGBA}, uint8_t{SchemeCMYK}}) {
    auto planar = Manager(scheme, 8, SchemeBGRA, 8);
    std::vector<uint8_t> pixel(4);
    const void* twoPlanes[] = {in.data(), in.data()};
    const void* threePlanes[] = {in.data(), in.data(), in.data()};
    EXPECT_THROW(planar.ConvertRow(twoPlanes, pixel.data(), 1, 0xFF), EColorConversionError);
    if (scheme == SchemeRGB) {
      EXPECT_NO_THROW(planar.ConvertRow(threePlanes, pixel.data(), 1, 0xFF));
    } else {
      EXPECT_THROW(planar.ConvertRow(threePlanes, pixel.data(), 1, 0xFF), EColorConversionError);
    }
  }
  EXPECT_EQ(manager.GetPixelFormat(1), plat::pf24bit);
  auto gray = Manager(SchemeGray, 2, SchemeGray, 4);
  gray.SetTargetSamplesPerPixel(1);
  EXPECT_EQ(gray.GetPixelFormat(1), plat::pf4bit);
}

}  // namespace
}  // namespace readers
