// Glyph coverage as bytes: exactly what text output blends in, white text on black showing it
// one to one in every channel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Surface.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"

namespace {

using canvas_test::Surface;
using namespace plat;

struct CoverageCase {
  std::string what;
  TLogFont font;
  uint32_t align;
  int32_t x, y, width, height;
  std::u16string text;
};

TLogFont Font(int height, uint8_t quality, const char* face = "DejaVu Sans") {
  TLogFont f;
  f.FaceName = face;
  f.Height = height;
  f.Quality = quality;
  return f;
}

// White on black: each channel of a drawn pixel is 0 + 255 * c / 255, the coverage itself.
std::vector<uint8_t> DrawnCoverage(const CoverageCase& c) {
  Surface s(c.width, c.height, 0xFF000000);
  s.dc.SelectFont(c.font);
  s.dc.SetTextAlign(c.align);
  s.dc.SetBkMode(TRANSPARENT);
  s.dc.SetTextColor(0xFFFFFF);
  s.dc.TextOut(c.x, c.y, c.text);
  std::vector<uint8_t> bytes(s.pixels.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint32_t p = s.pixels[i];
    EXPECT_EQ(p >> 16 & 0xFF, p & 0xFF);
    bytes[i] = uint8_t(p & 0xFF);
  }
  return bytes;
}

std::vector<CoverageCase> Cases() {
  TLogFont italic = Font(-40, ANTIALIASED_QUALITY, "Liberation Serif");
  italic.Italic = true;
  TLogFont lined = Font(-24, NONANTIALIASED_QUALITY);
  lined.Underline = true;
  lined.StrikeOut = true;
  return {
      {"antialiased", Font(-20, ANTIALIASED_QUALITY), TA_LEFT | TA_TOP, 13, 9, 160, 60,
       u"Wag jQy!"},
      {"italic overhang", italic, TA_LEFT | TA_TOP, 4, 2, 200, 80, u"ffj"},
      {"underline and strike-out", lined, TA_LEFT | TA_TOP, 3, 1, 200, 40, u"a b c"},
      {"cut by every edge", Font(-60, ANTIALIASED_QUALITY), TA_LEFT | TA_TOP, -9, -14, 70, 30,
       u"MWgq"},
      {"centred on the baseline", Font(-30, ANTIALIASED_QUALITY), TA_CENTER | TA_BASELINE, 90, 40,
       180, 60, u"Stamp"},
      {"wholly outside", Font(-20, ANTIALIASED_QUALITY), TA_LEFT | TA_TOP, 500, 5, 100, 40,
       u"gone"},
      // Coverage over 8 MB is made a band of rows at a time.
      {"huge type in bands", Font(-2900, NONANTIALIASED_QUALITY), TA_LEFT | TA_TOP, 0, 0, 3000,
       3000, u"MW"},
  };
}

TEST(TextCoverage, EqualsWhatTextOutputBlendsIn) {
  for (const CoverageCase& c : Cases()) {
    DeviceContext context;  // no surface of its own
    context.SelectFont(c.font);
    context.SetTextAlign(c.align);
    std::vector<uint8_t> mask(size_t(c.width) * size_t(c.height), 0);
    context.TextCoverage(c.x, c.y, c.text, mask.data(), c.width, c.height);
    const std::vector<uint8_t> drawn = DrawnCoverage(c);
    ASSERT_EQ(mask.size(), drawn.size());
    size_t differences = 0, covered = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
      differences += mask[i] != drawn[i];
      covered += drawn[i] != 0;
    }
    EXPECT_EQ(differences, 0u) << c.what;
    EXPECT_EQ(covered == 0, c.what == "wholly outside") << c.what;
  }
}

TEST(TextCoverage, IgnoresTheContextsOwnSurfaceAndWritesOnlyUnderTheText) {
  const TLogFont font = Font(-20, ANTIALIASED_QUALITY);
  Surface small(5, 5, 0xFF000000);
  small.dc.SelectFont(font);
  std::vector<uint8_t> mask(size_t(120) * 40, 7);
  small.dc.TextCoverage(10, 8, u"Hi", mask.data(), 120, 40);
  EXPECT_EQ(small.pixels, std::vector<uint32_t>(25, 0xFF000000));
  const TSize extent = small.dc.GetTextExtent(u"Hi");
  int inked = 0;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 120; ++x) {
      const uint8_t b = mask[size_t(y) * 120 + size_t(x)];
      if (y < 8 || y >= 8 + extent.cy || x < 5 || x >= 15 + extent.cx) {
        ASSERT_EQ(b, 7) << x << "," << y;
      }
      inked += b != 7 && b != 0;
    }
  EXPECT_GT(inked, 20);
}

TEST(TextCoverage, MovesTheCurrentPositionAsTextOutputDoes) {
  DeviceContext context;
  context.SelectFont(Font(-20, ANTIALIASED_QUALITY));
  context.SetTextAlign(TA_UPDATECP);
  context.MoveTo({4, 3});
  std::vector<uint8_t> mask(size_t(200) * 30, 0);
  context.TextCoverage(0, 0, u"ab", mask.data(), 200, 30);
  const TSize extent = context.GetTextExtent(u"ab");
  EXPECT_EQ(context.MoveTo({0, 0}).X, 4 + extent.cx);
}

}  // namespace
