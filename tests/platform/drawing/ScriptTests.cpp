// Text read right to left or written with joined letters comes out as the desktop draws it, and
// what the context measures is what it draws.
#include <gtest/gtest.h>

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Surface.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/FontEngine.h"
#include "platform/drawing/Graphics.h"
#include "platform/windows/TestSeams.h"
#include "support/InkProfile.h"

namespace {

using canvas_test::Surface;
using test_support::InkProfile;
using test_support::ProfileDistance;

struct Sample {
  const char* name;
  std::string text;
  bool rightToLeft;
};
const Sample kSamples[] = {
    {"Hebrew", "\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD", true},
    {"Latin then Hebrew", "abc \u05E9\u05DC\u05D5\u05DD", true},
    {"Arabic", "\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645", true},
    {"Hebrew, digits and Latin", "\u05E2\u05D1\u05E8\u05D9\u05EA 123 English", true},
    {"Latin with marks", "Cafe\u0301 na\u00EFve", false},
};

plat::TLogFont Font(uint8_t quality) {
  plat::TLogFont f;
  f.FaceName = "DejaVu Sans";
  f.Height = -32;
  f.Quality = quality;
  return f;
}

// White text on black drawn by the context at (x, 0): the coverage is any channel.
std::vector<uint8_t> Drawn(const plat::TLogFont& font, const std::string& text, int32_t x,
                           int32_t width, int32_t height) {
  Surface s(width, height);
  s.dc.SelectFont(font);
  s.dc.SetBkMode(plat::TRANSPARENT);
  s.dc.SetTextColor(0xFFFFFF);
  s.dc.TextOut(x, 0, plat::Utf8ToUtf16(text));
  std::vector<uint8_t> coverage;
  for (uint32_t p : s.pixels) coverage.push_back(uint8_t(p & 0xFF));
  return coverage;
}

TEST(ScriptText, ComesOutAsTheDesktopDrawsIt) {
  constexpr int32_t width = 600, height = 50;
  for (uint8_t quality : {plat::ANTIALIASED_QUALITY, plat::NONANTIALIASED_QUALITY}) {
    const plat::TLogFont font = Font(quality);
    for (const Sample& sample : kSamples) {
      const auto ours = InkProfile(Drawn(font, sample.text, 0, width, height), width, height);
      const auto desktop =
          InkProfile(plat::DesktopTextCoverage(font, sample.text, width, height), width, height);
      ASSERT_FALSE(desktop.empty()) << sample.name;
      EXPECT_NEAR(double(ours.size()), double(desktop.size()), 1) << sample.name;
      const double distance = ProfileDistance(ours, desktop);
      // Letters placed one by one stand at whole pixels, the desktop's at fractions.
      EXPECT_LT(distance, sample.rightToLeft ? 0.02 : 0.15) << sample.name << " " << int(quality);
      if (!sample.rightToLeft) continue;
      // Letters in the order they are stored would be far off.
      const std::string stored = "\u202D" + sample.text + "\u202C";
      const auto forced =
          InkProfile(plat::DesktopTextCoverage(font, stored, width, height), width, height);
      EXPECT_GT(ProfileDistance(ours, forced), 3 * distance) << sample.name;
    }
  }
}

TEST(ScriptText, MeasuringAgreesWithDrawing) {
  constexpr int32_t width = 700, height = 50, x = 40;
  const plat::TLogFont font = Font(plat::DEFAULT_QUALITY);
  plat::DeviceContext measure;
  measure.SelectFont(font);
  for (const Sample& sample : kSamples) {
    const std::u16string text = plat::Utf8ToUtf16(sample.text);
    std::vector<int32_t> partial;
    int32_t fit = -1;
    const plat::TSize extent = measure.GetTextExtentEx(text, 100, &fit, &partial);
    ASSERT_EQ(partial.size(), text.size());
    EXPECT_EQ(partial.back(), extent.cx) << sample.name;
    for (size_t i = 1; i < partial.size(); ++i) ASSERT_GE(partial[i], partial[i - 1]);
    ASSERT_GT(fit, 0);
    EXPECT_LE(partial[size_t(fit - 1)], 100);
    if (size_t(fit) < partial.size()) EXPECT_GT(partial[size_t(fit)], 100);

    // The ink lies in the measured cell, give or take the glyphs' overhang, and a piece measured
    // apart is as wide as it is drawn.
    const auto coverage = Drawn(font, sample.text, x, width, height);
    int32_t left = width, right = 0;
    for (int32_t yy = 0; yy < height; ++yy)
      for (int32_t xx = 0; xx < width; ++xx)
        if (coverage[size_t(yy * width + xx)] > 64) {
          left = std::min(left, xx);
          right = std::max(right, xx + 1);
        }
    EXPECT_GE(left, x - 2) << sample.name;
    EXPECT_LE(right, x + extent.cx + 2) << sample.name;
    EXPECT_GE(right - left, extent.cx - 16) << sample.name;
  }
}

// A shaped line's shares are the running sum, rounded, of what the layout gives when asked for
// each character alone: its glyphs' advances in their own fonts.
std::vector<int32_t> SharesAskedOneByOne(const plat::FontInfo& font, const std::u16string& text) {
  const std::unique_ptr<QTextLayout> layout = font.LayOut(text);
  std::vector<int32_t> shares(text.size(), 0);
  double reached = 0;
  int64_t placed = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    for (const QGlyphRun& run : layout->glyphRuns(int(i), pair ? 2 : 1))
      for (const QPointF& advance : run.rawFont().advancesForGlyphIndexes(run.glyphIndexes()))
        reached += advance.x();
    shares[i] = int32_t(std::llround(reached) - placed);
    placed = std::llround(reached);
    if (pair) ++i;
  }
  return shares;
}

TEST(ScriptText, SharesAreWhatTheLayoutGivesForEachCharacter) {
  // Letters and marks of joined and right-to-left scripts, ligatures, fallback fonts, controls,
  // separators, soft hyphens, spaces, tabs, surrogate pairs whole and halved.
  const std::u16string pieces[] = {u"\u05D0",
                                   u"\u05E9",
                                   u"\u05B8",
                                   u"\u05C1",
                                   u"\u0627",
                                   u"\u0644",
                                   u"\u0628",
                                   u"\u064E",
                                   u"\u0651",
                                   u"a",
                                   u"f",
                                   u"i",
                                   u"e\u0301",
                                   u"1",
                                   u" ",
                                   u"(",
                                   u")",
                                   u"-",
                                   u"\u202B",
                                   u"\u202C",
                                   u"\u2067",
                                   u"\u2069",
                                   u"\u200D",
                                   u"\u200F",
                                   u"\u00AD",
                                   u"\t",
                                   u"\n",
                                   u"\u3000",
                                   u"\u4E00",
                                   u"\u0915",
                                   u"\u093F",
                                   u"\u0E31",
                                   u"\U0001F600",
                                   u"\U0001F1E9\U0001F1EA",
                                   std::u16string(1, char16_t(0xD800)),
                                   std::u16string(1, char16_t(0xDC00))};
  const char* faces[] = {"DejaVu Sans", "Liberation Serif", "DejaVu Sans Mono"};
  std::mt19937 random(5);
  for (int round = 0; round < 160; ++round) {
    plat::TLogFont description;
    description.FaceName = faces[round % 3];
    description.Height = -int32_t(8 + random() % 30);
    description.Italic = round % 4 == 0;
    const auto font = plat::FontFor(description);
    std::u16string text = u"\u05D0";  // so that it is laid out whole
    const size_t length = 1 + random() % 120;
    while (text.size() < length) {
      // Every third line mostly spaces and marks, which gather at its end.
      const bool spacey = round % 3 == 2 && random() % 2 == 0;
      text += spacey ? (random() % 2 ? u" " : u"\u05B8") : pieces[random() % std::size(pieces)];
    }
    ASSERT_TRUE(plat::FontInfo::NeedsLayout(text));
    ASSERT_EQ(font->Shape(text)->advances, SharesAskedOneByOne(*font, text)) << round;
  }
}

}  // namespace
