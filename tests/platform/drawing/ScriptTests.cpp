// Text read right to left or written with joined letters comes out as the desktop draws it, and
// what the context measures is what it draws.
#include <gtest/gtest.h>

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <random>
#include <set>
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

// The glyphs the layout hands out for unit i, with their places: units of one cluster (a
// ligature, a letter with its marks) share some, units of different clusters none.
std::set<std::pair<quint32, std::pair<qreal, qreal>>> GlyphsOf(const QTextLayout& layout,
                                                               size_t i) {
  std::set<std::pair<quint32, std::pair<qreal, qreal>>> glyphs;
  for (const QGlyphRun& run : layout.glyphRuns(int(i), 1)) {
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    for (qsizetype g = 0; g < indexes.size(); ++g)
      glyphs.insert({indexes[g], {positions[g].x(), positions[g].y()}});
  }
  return glyphs;
}

bool ShareAGlyph(const QTextLayout& layout, size_t i, size_t j) {
  const auto a = GlyphsOf(layout, i), b = GlyphsOf(layout, j);
  return std::any_of(a.begin(), a.end(), [&](const auto& glyph) { return b.count(glyph) > 0; });
}

// The first column and the column past the last where coverage(x, y) shows any ink.
template <class Coverage>
std::pair<int32_t, int32_t> InkColumns(int32_t width, int32_t height, Coverage coverage) {
  int32_t left = width, right = 0;
  for (int32_t yy = 0; yy < height; ++yy)
    for (int32_t xx = 0; xx < width; ++xx)
      if (coverage(xx, yy) > 0) {
        left = std::min(left, xx);
        right = std::max(right, xx + 1);
      }
  return {left, right};
}

bool IsSecondOfPair(const std::u16string& text, size_t i) {
  return i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF && text[i] >= 0xDC00 &&
         text[i] <= 0xDFFF;
}

// Every cluster's width counts once, with its first character: the shares add up to the width
// the layout draws, the rest of a cluster gets none, and the ink lies in the measured cell.
TEST(ScriptText, ClustersCountOnceWithTheirFirstCharacter) {
  // Letters and marks of joined and right-to-left scripts, ligatures, fallback fonts, controls,
  // soft hyphens, spaces, tabs, digits, surrogate pairs whole and halved.
  const std::u16string rightToLeft[] = {
      u"\u05D0", u"\u05E9\u05B8\u05C1", u"\u05D1\u05BC", u"\u05DD", u"\u0644\u0627",
      u"\u0628", u"\u0628\u064E",       u"\u0644\u0651", u"\u0627", u" "};
  const std::u16string others[] = {u"a",      u"f",      u"i",         u"e\u0301", u"1",
                                   u"(",      u"-",      u"\u202B",    u"\u202C",  u"\u2067",
                                   u"\u2069", u"\u200D", u"\u200F",    u"\t",      u"\u4E00",
                                   u"\u0915", u"\u093F", u"\U0001F600"};
  const char* faces[] = {"DejaVu Sans", "Liberation Serif", "DejaVu Sans Mono", "Liberation Sans"};
  std::mt19937 random(5);
  for (int round = 0; round < 240; ++round) {
    plat::TLogFont description;
    description.FaceName = faces[round % 4];
    description.Height = -int32_t(8 + random() % 40);
    description.Italic = round % 5 == 0;
    description.Weight = round % 3 == 0 ? 700 : 400;
    const auto font = plat::FontFor(description);
    // Half of the lines in one direction, where the layout tells where each cluster starts.
    const bool oneWay = round % 2 == 0;
    std::u16string text = u"\u05D0";
    const size_t length = 1 + random() % 90;
    while (text.size() < length)
      text += oneWay || random() % 3 != 0 ? rightToLeft[random() % std::size(rightToLeft)]
                                          : others[random() % std::size(others)];
    if (round % 7 == 0) text.push_back(char16_t(0xD800 + random() % 0x800));  // a lone half
    // The layout widens a line by a hyphen that it does not draw for some soft hyphens inside it.
    if (round % 5 == 1) text.push_back(u'\u00AD');
    ASSERT_TRUE(plat::FontInfo::NeedsLayout(text));
    const std::vector<int32_t> shares = font->Shape(text)->advances;
    const std::unique_ptr<QTextLayout> layout = font->LayOut(text);
    const QTextLine line = layout->lineAt(0);
    ASSERT_EQ(std::accumulate(shares.begin(), shares.end(), int64_t(0)),
              std::llround(line.horizontalAdvance()))
        << round;
    int64_t reached = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const bool continues = IsSecondOfPair(text, i) || (i > 0 && ShareAGlyph(*layout, i, i - 1));
      if (continues) {
        ASSERT_EQ(shares[i], 0) << round << " at " << i;
      } else if (oneWay) {
        // Where a cluster starts, the shares before it reach as far as the characters before
        // it are drawn.
        ASSERT_EQ(reached, std::llround(std::abs(line.cursorToX(int(i)) - line.cursorToX(0))))
            << round << " at " << i;
      }
      reached += shares[i];
    }

    // Drawn at x, the ink reaches as far as the layout's own drawing (nothing is clipped), and
    // it stays in [x, x + the measured width] but for the glyphs' bearings.
    constexpr int32_t x = 30, height = 100;
    const int32_t width = int32_t(reached) + 2 * x;
    canvas_test::Surface s(width, height);
    s.dc.SelectFont(description);
    s.dc.SetBkMode(plat::TRANSPARENT);
    s.dc.SetTextColor(0xFFFFFF);
    s.dc.TextOut(x, 0, text);
    QImage desktop(width, height, QImage::Format_Alpha8);
    desktop.fill(0);
    {
      QPainter painter(&desktop);
      painter.setPen(QColor(255, 255, 255));
      layout->draw(&painter, QPointF(x, 0));
    }
    const auto [left, right] =
        InkColumns(width, height, [&](int32_t xx, int32_t yy) { return int(s.At(xx, yy) & 0xFF); });
    const auto [desktopLeft, desktopRight] = InkColumns(
        width, height, [&](int32_t xx, int32_t yy) { return int(desktop.constScanLine(yy)[xx]); });
    ASSERT_NEAR(left, desktopLeft, 1) << round;
    ASSERT_NEAR(right, desktopRight, 1) << round;
    const int32_t slack = description.Italic ? -description.Height / 4 + 1 : 2;
    ASSERT_GE(left, x - slack) << round;
    ASSERT_LE(right, x + reached + slack) << round;
  }
}

}  // namespace
