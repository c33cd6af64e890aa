// Colour reduction: palettes, lookups, error diffusion against a whole-picture reference, the
// octree and the choice made for the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "html/HtmlEngine.h"
#include "html/images/ColorReduction.h"
#include "html/images/ColorReductionLookup.h"
#include "html/images/ColorReductionOctree.h"

namespace {

using Rgb = std::array<int, 3>;

std::unique_ptr<plat::TBitmap> Picture(int width, int height, const std::vector<Rgb>& pixels,
                                       plat::TPixelFormat format = plat::pf24bit) {
  auto bitmap = std::make_unique<plat::TBitmap>();
  bitmap->SetPixelFormat(format);
  bitmap->SetSize(width, height);
  const size_t bytes = format == plat::pf24bit ? 3 : 4;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const Rgb& p = pixels[size_t(y * width + x)];
      uint8_t* pixel = bitmap->ScanLine(y) + size_t(x) * bytes;
      pixel[0] = uint8_t(p[2]);
      pixel[1] = uint8_t(p[1]);
      pixel[2] = uint8_t(p[0]);
    }
  return bitmap;
}

std::vector<Rgb> RandomPixels(size_t count, uint32_t seed) {
  std::vector<Rgb> out;
  for (size_t i = 0; i < count; ++i) {
    Rgb p;
    for (int& c : p) {
      seed = seed * 1664525u + 1013904223u;
      c = int(seed >> 24);
    }
    out.push_back(p);
  }
  return out;
}

std::vector<uint8_t> Indices(const plat::TBitmap& bitmap) {
  std::vector<uint8_t> out;
  for (int y = 0; y < bitmap.Height(); ++y)
    out.insert(out.end(), bitmap.ScanLine(y), bitmap.ScanLine(y) + bitmap.Width());
  return out;
}

// Error diffusion over the whole picture at once: every pixel's accumulated error in sixteenths,
// rows alternately left to right and right to left; the nearest colour by channel distances,
// remembered per 5-bit-per-channel key (the first colour looked up decides for its key).
std::vector<uint8_t> ReferenceDither(int width, int height, const std::vector<Rgb>& pixels,
                                     const plat::TPalette& palette, bool diffuse) {
  std::map<int, int> remembered;
  for (int i = 0; i < palette.Count(); ++i) {
    const plat::TPaletteEntry e = palette.Entry(i);
    remembered.emplace((e.peRed >> 3) | (e.peGreen >> 3) << 5 | (e.peBlue >> 3) << 10, i);
  }
  auto nearest = [&](const Rgb& c) {
    const int key = (c[0] >> 3) | (c[1] >> 3) << 5 | (c[2] >> 3) << 10;
    if (auto found = remembered.find(key); found != remembered.end()) return found->second;
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < palette.Count(); ++i) {
      const plat::TPaletteEntry e = palette.Entry(i);
      const int d =
          std::abs(e.peRed - c[0]) + std::abs(e.peGreen - c[1]) + std::abs(e.peBlue - c[2]);
      if (d < bestDistance) bestDistance = d, best = i;
    }
    return remembered[key] = best;
  };
  std::vector<Rgb> error(pixels.size(), Rgb{0, 0, 0});
  auto spread = [&](int x, int y, const Rgb& e, int weight) {
    if (x < 0 || x >= width || y >= height) return;
    for (size_t c = 0; c < 3; ++c) error[size_t(y * width + x)][c] += weight * e[c];
  };
  std::vector<uint8_t> out(pixels.size());
  for (int y = 0; y < height; ++y) {
    const int d = y % 2 == 0 ? 1 : -1;
    for (int i = 0; i < width; ++i) {
      const int x = d == 1 ? i : width - 1 - i;
      const size_t at = size_t(y * width + x);
      Rgb value = pixels[at];
      if (diffuse)
        for (size_t c = 0; c < 3; ++c)
          value[c] = std::clamp(value[c] + (error[at][c] + 8) / 16, 0, 255);
      const int index = nearest(value);
      out[at] = uint8_t(index);
      if (!diffuse) continue;
      const plat::TPaletteEntry chosen = palette.Entry(index);
      const Rgb e = {value[0] - chosen.peRed, value[1] - chosen.peGreen, value[2] - chosen.peBlue};
      spread(x + d, y, e, 7);
      spread(x - d, y + 1, e, 3);
      spread(x, y + 1, e, 5);
      spread(x + d, y + 1, e, 1);
    }
  }
  return out;
}

class ScreenDepth : public testing::Test {
 protected:
  void TearDown() override { html::SetScreenDepth(32); }
};

TEST(Lookups, CubeLookupRoundsEachChannel) {
  html::TNetscapeColorLookup lookup;
  EXPECT_EQ(lookup.Colors(), 216);
  uint8_t r, g, b;
  EXPECT_EQ(lookup.Lookup(48, 47, 255, r, g, b), 41);
  EXPECT_EQ((Rgb{r, g, b}), (Rgb{51, 0, 255}));
  EXPECT_EQ(lookup.Lookup(47, 0, 0, r, g, b), 0);
  // The index always names the cube palette's entry of the colour returned.
  const plat::TPalette cube = html::CreateColorCubePalette();
  ASSERT_EQ(cube.Count(), 216);
  for (int v = 0; v < 256; v += 3) {
    const uint8_t index = lookup.Lookup(uint8_t(v), uint8_t(255 - v), uint8_t(v / 2), r, g, b);
    EXPECT_EQ(cube.Entry(index), (plat::TPaletteEntry{r, g, b, 0})) << v;
  }
}

TEST(Lookups, FastLookupRemembersTheFirstAnswerOfAKey) {
  const plat::TPalette palette({{0, 0, 0, 0}, {16, 0, 0, 0}, {200, 100, 50, 0}});
  uint8_t r, g, b;
  {
    html::TFastColorLookup lookup(palette);
    EXPECT_EQ(lookup.Colors(), 3);
    EXPECT_EQ(lookup.Lookup(190, 110, 40, r, g, b), 2);
    EXPECT_EQ((Rgb{r, g, b}), (Rgb{200, 100, 50}));
    // (15, 0, 0) is nearest to entry 1; (8, 0, 0) shares its key and gets the same answer,
    // although it lies as near to entry 0.
    EXPECT_EQ(lookup.Lookup(15, 0, 0, r, g, b), 1);
    EXPECT_EQ(lookup.Lookup(8, 0, 0, r, g, b), 1);
  }
  {
    html::TFastColorLookup lookup(palette);
    // Asked first, (8, 0, 0) ties and takes the first entry; (15, 0, 0) follows it.
    EXPECT_EQ(lookup.Lookup(8, 0, 0, r, g, b), 0);
    EXPECT_EQ(lookup.Lookup(15, 0, 0, r, g, b), 0);
  }
  // Palette colours sharing a key: the first entry owns it, even for the second's own colour.
  html::TFastColorLookup shared(plat::TPalette({{8, 0, 0, 0}, {15, 0, 0, 0}}));
  EXPECT_EQ(shared.Lookup(15, 0, 0, r, g, b), 0);
  EXPECT_EQ(r, 8);
}

TEST(Dithering, MatchesTheWholePictureReference) {
  const int width = 17, height = 9;
  const std::vector<Rgb> pixels = RandomPixels(size_t(width * height), 3);
  auto picture = Picture(width, height, pixels);
  for (bool diffuse : {false, true}) {
    auto result = html::ReduceColors(*picture, html::rmSystemPalette,
                                     diffuse ? html::dmFloydSteinberg : html::dmNearest);
    EXPECT_EQ(result->PixelFormat(), plat::pf8bit);
    EXPECT_EQ(result->Palette(), html::SystemPalette());
    EXPECT_EQ(Indices(*result),
              ReferenceDither(width, height, pixels, html::SystemPalette(), diffuse))
        << diffuse;
  }
}

TEST(Dithering, HandComputedSixteenthsOnTheCube) {
  // Greys of 30: 30 -> 0 (error 30); 30 + (7 x 30 + 8) / 16 = 43 -> 0 (error 43); the second row
  // runs right to left: 30 + (5 x 43 + 30 + 8) / 16 = 45 -> 0 (error 45); the last pixel gathers
  // 5 x 30 + 3 x 43 + 7 x 45 = 594: 30 + 602 / 16 = 67 -> 51, cube index 43.
  auto greys = html::ReduceColors(*Picture(2, 2, std::vector<Rgb>(4, Rgb{30, 30, 30})),
                                  html::rmNetscapePalette, html::dmFloydSteinberg);
  EXPECT_EQ(Indices(*greys), (std::vector<uint8_t>{0, 0, 43, 0}));
  // 48 -> 51 leaves -3; the next pixel gets (7 x -3 + 8) / 16, which truncates to 0 (rounding
  // down would give 47 and index 0).
  auto small = html::ReduceColors(*Picture(2, 1, std::vector<Rgb>(2, Rgb{48, 48, 48})),
                                  html::rmNetscapePalette, html::dmFloydSteinberg);
  EXPECT_EQ(Indices(*small), (std::vector<uint8_t>{43, 43}));
}

TEST(Dithering, PaletteColoursComeBackUnchanged) {
  const plat::TPalette system = html::SystemPalette();
  std::vector<Rgb> pixels;
  std::vector<uint8_t> expected;
  for (int i = 0; i < 60; ++i) {
    const int index = (i * 7) % 20;
    const plat::TPaletteEntry e = system.Entry(index);
    pixels.push_back({e.peRed, e.peGreen, e.peBlue});
    expected.push_back(uint8_t(index));
  }
  auto result =
      html::ReduceColors(*Picture(12, 5, pixels), html::rmSystemPalette, html::dmFloydSteinberg);
  EXPECT_EQ(Indices(*result), expected);
}

TEST(Modes, CopiesCubesAndBlankResults) {
  const std::vector<Rgb> pixels = {{48, 47, 255}, {47, 0, 0}, {255, 255, 255}, {10, 20, 48}};
  auto picture = Picture(2, 2, pixels);

  auto copy = html::ReduceColors(*picture, html::rmNone, html::dmFloydSteinberg);
  EXPECT_EQ(copy->PixelFormat(), plat::pf24bit);
  EXPECT_EQ(copy->PixelARGB(1, 1), 0xFF0A1430u);

  auto cube = html::ReduceColors(*picture, html::rmNetscapePalette, html::dmNearest);
  EXPECT_EQ(cube->Palette().Count(), 216);
  EXPECT_EQ(Indices(*cube), (std::vector<uint8_t>{41, 0, 215, 1}));

  auto unknownMode = html::ReduceColors(*picture, 2, html::dmNearest);
  EXPECT_EQ(unknownMode->PixelFormat(), plat::pf8bit);
  EXPECT_TRUE(unknownMode->Palette().Empty());
  EXPECT_EQ(Indices(*unknownMode), std::vector<uint8_t>(4, 0));

  auto unknownDither = html::ReduceColors(*picture, html::rmSystemPalette, 7);
  EXPECT_EQ(unknownDither->Palette().Count(), 20);
  EXPECT_EQ(Indices(*unknownDither), std::vector<uint8_t>(4, 0));

  // No viewer palette on a true-colour screen: nothing to choose from.
  auto noPalette = html::ReduceColors(*picture, html::rmViewerPalette, html::dmFloydSteinberg);
  EXPECT_EQ(noPalette->Width(), 2);
  EXPECT_EQ(Indices(*noPalette), std::vector<uint8_t>(4, 0));
}

TEST(Octree, FewColoursAreKeptExactly) {
  const std::vector<Rgb> colours = {
      {100, 50, 200}, {30, 200, 90}, {250, 120, 10}, {60, 60, 140}, {200, 200, 40}};
  std::vector<Rgb> pixels;
  for (int i = 0; i < 40; ++i) pixels.push_back(colours[size_t(i * 3) % colours.size()]);
  auto picture = Picture(8, 5, pixels);

  const plat::TPalette plain = html::CreateOptimizedPalette(*picture, 256, 8, false);
  ASSERT_EQ(plain.Count(), 256);
  std::set<Rgb> found;
  for (int i = 0; i < 5; ++i)
    found.insert({plain.Entry(i).peRed, plain.Entry(i).peGreen, plain.Entry(i).peBlue});
  EXPECT_EQ(found, std::set<Rgb>(colours.begin(), colours.end()));
  for (int i = 5; i < 256; ++i) EXPECT_EQ(plain.Entry(i), plat::TPaletteEntry{}) << i;

  const plat::TPalette withSystem = html::CreateOptimizedPalette(*picture, 256, 8, true);
  const plat::TPalette system = html::SystemPalette();
  ASSERT_EQ(withSystem.Count(), 256);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(withSystem.Entry(i), system.Entry(i));
    EXPECT_EQ(withSystem.Entry(246 + i), system.Entry(10 + i));
  }
  EXPECT_EQ(withSystem.Entry(10), plain.Entry(0));
  EXPECT_EQ(withSystem.Entry(15), plat::TPaletteEntry{});

  // Reduced to that palette, every pixel finds its own colour.
  auto reduced = html::ReduceColors(*picture, html::rmOptimizedPalette, html::dmFloydSteinberg);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 8; ++x) {
      const Rgb& p = pixels[size_t(y * 8 + x)];
      EXPECT_EQ(reduced->PixelARGB(x, y), 0xFF000000u | uint32_t(p[0] << 16 | p[1] << 8 | p[2]));
    }
}

TEST(Octree, TheNewestNodeOfTheDeepestLevelFoldsFirst) {
  // A and B differ only in the lowest bit of red, and so do C and D. With room for three
  // colours the fourth folds C and D, the newest pair, into their mean.
  html::TColorQuantizer quantizer(3, 8);
  quantizer.AddPixel(2, 0, 0);
  for (int i = 0; i < 3; ++i) quantizer.AddPixel(3, 0, 0);
  quantizer.AddPixel(254, 255, 255);
  quantizer.AddPixel(255, 255, 255);
  EXPECT_EQ(quantizer.LeafCount(), 3);
  EXPECT_EQ(quantizer.GetColorTable(),
            (std::vector<plat::TPaletteEntry>{{2, 0, 0, 0}, {3, 0, 0, 0}, {254, 255, 255, 0}}));
  // Down to one colour: the mean of everything, rounded down.
  html::TColorQuantizer one(1, 8);
  for (const Rgb& p : std::vector<Rgb>{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {1, 2, 3}})
    one.AddPixel(uint8_t(p[0]), uint8_t(p[1]), uint8_t(p[2]));
  EXPECT_EQ(one.GetColorTable(), (std::vector<plat::TPaletteEntry>{{127, 64, 64, 0}}));
}

TEST_F(ScreenDepth, TheScreenDecidesThePalette) {
  const std::vector<Rgb> pixels = RandomPixels(64, 5);
  auto picture = Picture(8, 8, pixels, plat::pf32bit);
  html::SetScreenDepth(4);
  auto sixteen = html::ReduceBitmapColors(picture.get());
  ASSERT_NE(sixteen, nullptr);
  EXPECT_EQ(sixteen->Palette(), html::SystemPalette());
  EXPECT_EQ(Indices(*sixteen), ReferenceDither(8, 8, pixels, html::SystemPalette(), true));
  html::SetScreenDepth(8);
  auto eight = html::ReduceBitmapColors(picture.get());
  EXPECT_EQ(eight->Palette(), *html::ViewerPalette());
  EXPECT_EQ(Indices(*eight), ReferenceDither(8, 8, pixels, *html::ViewerPalette(), true));
  // The caller's picture is left as it was.
  EXPECT_EQ(picture->PixelFormat(), plat::pf32bit);

  // Device pictures are copied as they are; anything else gives nothing.
  auto device = Picture(2, 1, {{1, 2, 3}, {4, 5, 6}}, plat::pfDevice);
  auto copied = html::ReduceBitmapColors(device.get());
  EXPECT_EQ(copied->PixelFormat(), plat::pfDevice);
  EXPECT_EQ(copied->PixelARGB(1, 0) & 0xFFFFFF, 0x040506u);
  plat::TBitmap empty;
  EXPECT_EQ(html::ReduceBitmapColors(&empty), nullptr);
  EXPECT_EQ(html::ReduceBitmapColors(nullptr), nullptr);
}

}  // namespace
