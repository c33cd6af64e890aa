// Text on the device bitmap: output that leaves alpha alone, reports, and supersampled rendering.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <vector>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Graphics.h"

namespace {

using namespace gfx;
using bitmap_test::AreaReport;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;
using bitmap_test::Recorder;
using bitmap_test::Rect;

void UseTestFont(TBitmap32& b, int size) {
  b.Font().SetName("DejaVu Sans");
  b.Font().SetSize(size);
  b.Font().SetColor(0x2080F0);
}

TEST(BitmapText, TextOutChangesOnlyColourInsideItsCell) {
  TBitmap32 b;
  b.SetSize(120, 40);
  FillRandom(b, 17);
  UseTestFont(b, 14);
  const auto before = Pixels(b);
  Recorder recorder(b);
  b.TextOut(6, 4, "Stamp 42");
  const plat::TSize size = b.TextExtent("Stamp 42");
  ASSERT_GT(size.cx, 20);
  ASSERT_GT(size.cy, 10);
  EXPECT_EQ(recorder.reports,
            (std::vector<AreaReport>{Rect(6, 4, 6 + size.cx + 1, 4 + size.cy + 1)}));
  int changed = 0;
  for (int32_t y = 0; y < b.Height(); ++y) {
    for (int32_t x = 0; x < b.Width(); ++x) {
      const TColor32 old = before[y * b.Width() + x], now = b.Pixel(x, y);
      ASSERT_EQ(now >> 24, old >> 24) << x << "," << y;
      const bool inCell = x >= 6 && x < 6 + size.cx && y >= 4 && y < 4 + size.cy;
      if (!inCell) {
        ASSERT_EQ(now, old) << x << "," << y;
      }
      changed += now != old;
    }
  }
  EXPECT_GT(changed, 30);
}

TEST(BitmapText, ClippingAndMeasuring) {
  TBitmap32 b;
  b.SetSize(80, 30);
  FillRandom(b, 4);
  UseTestFont(b, 16);
  b.SetClipRect({10, 0, 30, 30});
  const auto before = Pixels(b);
  b.TextOut(0, 0, "WWWWWWWW");
  for (int32_t y = 0; y < b.Height(); ++y) {
    for (int32_t x = 0; x < b.Width(); ++x) {
      if (x < 10 || x >= 30) {
        ASSERT_EQ(b.Pixel(x, y), before[y * b.Width() + x]);
      }
    }
  }

  b.ClipToBounds();
  const auto drawn = Pixels(b);
  Recorder measured(b);
  b.StartMeasuring(measured.Handler());
  b.TextOut(3, 2, "Hello");
  b.StopMeasuring();
  const plat::TSize size = b.TextExtent("Hello");
  EXPECT_EQ(Pixels(b), drawn);
  EXPECT_EQ(measured.reports,
            (std::vector<AreaReport>{Rect(3, 2, 3 + size.cx + 1, 2 + size.cy + 1)}));

  // Without a surface the text is still measured.
  TBitmap32 none;
  UseTestFont(none, 16);
  none.SetSize(5, 0);
  EXPECT_EQ(none.TextExtent("Hello"), size);
}

// Text placed at the ends of the integer range draws nothing, and the area it reports is held
// at the end of the range instead of wrapping round to the other side.
TEST(BitmapText, TextFarOutReportsNoWrappedArea) {
  TBitmap32 b;
  b.SetSize(50, 20);
  FillRandom(b, 5);
  UseTestFont(b, 12);
  const auto before = Pixels(b);
  Recorder recorder(b);
  b.TextOut(INT32_MAX - 5, 0, "Hello");
  b.BackendAs<IBackendTextSupport>()->TextOut(0, INT32_MAX - 3, TRect{0, 0, 50, 20}, "Hello");
  b.TextOut(INT32_MIN, INT32_MIN, "Hello");
  EXPECT_EQ(Pixels(b), before);
  ASSERT_EQ(recorder.reports.size(), 3u);
  EXPECT_EQ(recorder.reports[0].area.Right, INT32_MAX);
  EXPECT_EQ(recorder.reports[1].area.Bottom, INT32_MAX);
  for (const AreaReport& r : recorder.reports) {
    EXPECT_GE(r.area.Right, r.area.Left);
    EXPECT_GE(r.area.Bottom, r.area.Top);
  }
}

TEST(BitmapText, WideAndUtf8TextDrawTheSame) {
  TBitmap32 utf8, wide;
  for (TBitmap32* b : {&utf8, &wide}) {
    b->SetSize(120, 30);
    b->Clear();
    UseTestFont(*b, 14);
  }
  utf8.TextOut(2, 2, "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC");
  auto* text = wide.BackendAs<IBackendTextSupport>();
  ASSERT_NE(text, nullptr);
  text->TextOut(2, 2, u"Gr\u00FC\u00DFe \u20AC");
  EXPECT_EQ(Pixels(wide), Pixels(utf8));
  EXPECT_NE(Pixels(wide), std::vector<TColor32>(120 * 30, 0xFF000000));

  // Formatted output reports the rectangle it was given.
  Recorder recorder(wide);
  TRect box{0, 0, 120, 30};
  text->TextOut(box, plat::DT_CENTER | plat::DT_VCENTER | plat::DT_SINGLELINE, u"x");
  EXPECT_EQ(recorder.reports, (std::vector<AreaReport>{Rect(0, 0, 120, 30)}));
}

TEST(BitmapText, MaskConversionsAreExact) {
  TCustomBitmap32 mask;
  mask.SetSize(3, 1);
  mask.SetPixel(0, 0, 0);
  mask.SetPixel(1, 0, 0x00FFFF80);
  mask.SetPixel(2, 0, 0x000000FF);
  TextMaskToAlpha(mask, 0x123456);
  EXPECT_EQ(Pixels(mask), (std::vector<TColor32>{0, 0x80123456, 0xFF123456}));

  // Rows 5 bytes apart, the last column and row beyond the blocks.
  std::vector<uint8_t> coverage(5 * 5, 255);
  for (int32_t i = 0; i < 16; ++i) coverage[size_t(i / 4 * 5 + i % 4)] = uint8_t(i * 16);
  TCustomBitmap32 small;
  small.SetSize(2, 2);
  DownsampleTextMask(small, coverage.data(), 5, 1, 0xABCDEF);
  // Blocks {0,1,4,5}, {2,3,6,7}, ... times 16, summed, divided by 4.
  EXPECT_EQ(Pixels(small), (std::vector<TColor32>{0x28ABCDEF, 0x48ABCDEF, 0xA8ABCDEF, 0xC8ABCDEF}));
}

// Random masks at every level, cut into strips of columns as long lines are: each pixel is the
// colour with the mean of its block, rounded down, as alpha.
TEST(BitmapText, DownsampledMasksAreBlockMeansForRandomCoverage) {
  std::mt19937 random(1107);
  for (int round = 0; round < 300; ++round) {
    const int32_t n = int32_t(random() % 4) + 1, block = 1 << n;
    const int32_t w = int32_t(random() % 9) + 1, h = int32_t(random() % 6) + 1;
    const int32_t strip = block * (int32_t(random() % 4) + 1);
    const int32_t rowBytes = strip + int32_t(random() % block);  // a partial block at the end
    std::vector<uint8_t> whole(size_t(w * block) * size_t(h * block));
    for (uint8_t& c : whole) c = uint8_t(random() % 4 == 0 ? 255 : random());
    const TColor32 rgb = random() & 0x00FFFFFF;
    TCustomBitmap32 mask;
    mask.SetSize(w, h);
    for (int32_t left = 0; left < w * block; left += strip) {
      std::vector<uint8_t> coverage(size_t(rowBytes) * size_t(h * block), 0);
      for (int32_t y = 0; y < h * block; ++y)
        for (int32_t x = 0; x < rowBytes && left + x < w * block; ++x)
          coverage[size_t(y * rowBytes + x)] = whole[size_t(y * w * block + left + x)];
      DownsampleTextMask(mask, coverage.data(), rowBytes, n, rgb, left >> n);
    }
    for (int32_t j = 0; j < h; ++j)
      for (int32_t i = 0; i < w; ++i) {
        double sum = 0;
        for (int32_t v = 0; v < block; ++v)
          for (int32_t u = 0; u < block; ++u)
            sum += whole[size_t((j * block + v) * w * block + i * block + u)];
        const auto mean = TColor32(std::floor(sum / (block * block)));
        ASSERT_EQ(mask.Pixel(i, j), (mean << 24) + rgb) << round << " at " << i << "," << j;
      }
  }
}

// What RenderText hands to the transfer: its mask bitmap's settings and pixels.
struct TransferRecord {
  TDrawMode drawMode;
  uint32_t masterAlpha;
  TCombineMode combineMode;
  int32_t width, height, x, y;
  std::vector<TColor32> pixels;
};
std::optional<TransferRecord> lastTransfer;

// A plain same-size block transfer in blend mode, recording what it was given.
void RecordingBlockTransfer(TCustomBitmap32& dst, int32_t dstX, int32_t dstY, const TRect&,
                            TCustomBitmap32& src, const TRect&, TDrawMode op,
                            const TPixelCombineEvent&) {
  lastTransfer = TransferRecord{
      op, src.MasterAlpha(), src.CombineMode(), src.Width(), src.Height(), dstX, dstY, Pixels(src)};
  for (int32_t y = 0; y < src.Height(); ++y)
    for (int32_t x = 0; x < src.Width(); ++x)
      if (x + dstX >= 0 && x + dstX < dst.Width() && y + dstY >= 0 && y + dstY < dst.Height())
        BlendMemEx(src.Pixel(x, y), *dst.PixelPtr(x + dstX, y + dstY), src.MasterAlpha());
  EMMS();
}

// The first and the last column with any coverage in the byte at channelShift.
std::pair<int32_t, int32_t> InkColumns(const std::vector<TColor32>& pixels, int32_t width,
                                       int channelShift) {
  int32_t first = width, last = -1;
  for (size_t i = 0; i < pixels.size(); ++i)
    if ((pixels[i] >> channelShift) & 0xFF) {
      const int32_t x = int32_t(i % size_t(width));
      first = std::min(first, x);
      last = std::max(last, x);
    }
  return {first, last};
}

class RenderTextTest : public testing::Test {
 protected:
  void SetUp() override {
    saved = ResamplerLink().BlockTransfer;
    ResamplerLink().BlockTransfer = RecordingBlockTransfer;
    lastTransfer.reset();
  }
  void TearDown() override { ResamplerLink().BlockTransfer = saved; }

  std::vector<TColor32> Render(int32_t level, TColor32 color, int fontSize = 12,
                               const std::string& text = "Watermark") {
    TBitmap32 b;
    b.SetSize(150, 40);
    b.Clear();
    UseTestFont(b, fontSize);
    b.RenderText(4, 3, text, level, color);
    return Pixels(b);
  }
  decltype(TResamplerLink::BlockTransfer) saved = nullptr;
};

TEST_F(RenderTextTest, LevelsOutsideTheRangeActAsItsEnds) {
  EXPECT_EQ(Render(9, 0xFFFF0000), Render(4, 0xFFFF0000));
  EXPECT_EQ(Render(-7, 0xFFFF0000), Render(-1, 0xFFFF0000));
  EXPECT_NE(Render(4, 0xFFFF0000), Render(0, 0xFFFF0000));
}

TEST_F(RenderTextTest, ColourAlphaBecomesTheMasksMasterAlpha) {
  for (int32_t level : {-1, 0, 2, 4}) {
    const auto drawn = Render(level, 0x80FF0000);
    ASSERT_TRUE(lastTransfer.has_value());
    EXPECT_EQ(lastTransfer->drawMode, dmBlend);
    EXPECT_EQ(lastTransfer->masterAlpha, 0x80u);
    EXPECT_EQ(lastTransfer->x, 4);
    EXPECT_EQ(lastTransfer->y, 3);
    bool covered = false;
    for (TColor32 p : lastTransfer->pixels) {
      if (p == 0) continue;
      ASSERT_EQ(p & 0xFFFFFF, 0xFF0000u) << level;
      covered = covered || (p >> 24) == 255;
    }
    EXPECT_TRUE(covered) << level;
    // Half opacity over black: no red channel above 128.
    for (TColor32 p : drawn) ASSERT_LE((p >> 16) & 255, 128u);
  }
}

TEST_F(RenderTextTest, PlatformLevelsKeepTheMaskInsideTheTarget) {
  TBitmap32 b;
  b.SetSize(30, 10);
  UseTestFont(b, 40);
  b.RenderText(0, 0, "Much too tall", 0, 0xFF00FF00);
  ASSERT_TRUE(lastTransfer.has_value());
  EXPECT_LE(lastTransfer->width, 30);
  EXPECT_LE(lastTransfer->height, 10);
}

// Each mask pixel is about the mean of a 2^Level square of the text drawn white on black without
// antialiasing, at 2^Level times the size with the line's own advances and baseline magnified,
// with a margin of 2^Level. The glyphs' outlines are the same; their hinting at the two sizes
// differs a little, so the ink matches closely at the highest level and in its box and mass at
// all levels.
TEST_F(RenderTextTest, MaskIsTheMeanOfTheLineDrawnLarger) {
  const struct {
    int32_t level;
    bool italic;
    const char* text;
  } cases[] = {
      {1, false, "Watermark"}, {2, true, "fjord Wy"}, {4, false, "PixStamp"}, {4, true, "Qg"}};
  for (const auto& c : cases) {
    TBitmap32 b;
    b.SetSize(150, 40);
    b.Clear();
    UseTestFont(b, 12);
    b.Font().SetStyle(c.italic ? plat::fsItalic : 0);
    b.RenderText(4, 3, c.text, c.level, 0xFF102030);
    ASSERT_TRUE(lastTransfer.has_value());

    // The line at its own size: its extent, advances and baseline.
    const std::u16string wide = plat::Utf8ToUtf16(c.text);
    plat::DeviceContext own;
    own.SelectFont(b.Font().LogFont());
    const plat::TSize extent = own.GetTextExtent(plat::Utf8ToUtf16(std::string(c.text) + " "));
    std::vector<int32_t> partial;
    own.GetTextExtentEx(wide, 0, nullptr, &partial);
    const int32_t block = 1 << c.level;
    std::vector<int32_t> advances;
    for (size_t i = 0; i < partial.size(); ++i)
      advances.push_back(block * (partial[i] - (i ? partial[i - 1] : 0)));

    TBitmap32 large;
    large.Font().Assign(b.Font());
    large.Font().SetSize(12 << c.level);
    large.Font().SetColor(plat::clWhite);
    large.Font().SetQuality(plat::fqNonAntialiased);
    large.SetSize((extent.cx + 1) * block, (extent.cy + 1) * block);
    large.ClearWithColor(0);
    large.TextExtent("x");  // selects the font into the context
    large.Handle()->SetTextAlign(plat::TA_BASELINE);
    large.Handle()->ExtTextOut(0, own.GetTextMetrics().Ascent * block, 0, nullptr, wide, advances);
    ASSERT_EQ(lastTransfer->width, extent.cx + 1) << c.text;
    ASSERT_EQ(lastTransfer->height, extent.cy + 1) << c.text;
    std::vector<TColor32> expected(lastTransfer->pixels.size());
    int64_t mass = 0, expectedMass = 0;
    int largest = 0;
    for (int32_t j = 0; j < lastTransfer->height; ++j)
      for (int32_t i = 0; i < lastTransfer->width; ++i) {
        uint32_t sum = 0;
        for (int32_t v = 0; v < block; ++v)
          for (int32_t u = 0; u < block; ++u)
            sum += large.Pixel(i * block + u, j * block + v) & 0xFF;
        const size_t at = size_t(j * lastTransfer->width + i);
        expected[at] = (sum / uint32_t(block * block)) << 24;
        ASSERT_EQ(lastTransfer->pixels[at] & 0xFFFFFF, 0x102030u);
        mass += lastTransfer->pixels[at] >> 24;
        expectedMass += expected[at] >> 24;
        largest = std::max(largest,
                           std::abs(int(lastTransfer->pixels[at] >> 24) - int(expected[at] >> 24)));
      }
    EXPECT_GT(expectedMass, 20 * 255) << c.text;
    EXPECT_NEAR(double(mass), double(expectedMass), 0.1 * double(expectedMass)) << c.text;
    if (c.level == 4) {
      EXPECT_LE(largest, 16) << c.text;
    }
    const auto columns = InkColumns(lastTransfer->pixels, lastTransfer->width, 24);
    const auto expectedColumns = InkColumns(expected, lastTransfer->width, 24);
    EXPECT_NEAR(columns.first, expectedColumns.first, 1) << c.text;
    EXPECT_NEAR(columns.second, expectedColumns.second, 1) << c.text;
  }
}

// A line whose supersampled mask is wider than a picture may be is covered in strips: it keeps
// its level, so it starts as a short line does, and a run of equal letters repeats exactly with
// every letter (the line's own advances are whole mask pixels) across the strips' seams.
TEST_F(RenderTextTest, LongTextKeepsItsLevelAcrossStrips) {
  const auto mask = [](const std::string& text) {
    TBitmap32 b;
    b.SetSize(200, 30);
    UseTestFont(b, 9);
    lastTransfer.reset();
    b.RenderText(0, 0, text, 4, 0xFFFFFFFF);
    EXPECT_TRUE(lastTransfer.has_value());
    return lastTransfer.value_or(TransferRecord{});
  };
  const TransferRecord shortLine = mask(std::string(20, 'M'));
  const TransferRecord longLine = mask(std::string(400, 'M'));
  TBitmap32 measure;
  UseTestFont(measure, 9);
  const int32_t period = measure.TextExtent("M").cx;
  ASSERT_GT(longLine.width * 16, 32767);
  ASSERT_EQ(longLine.height, shortLine.height);
  const auto at = [](const TransferRecord& r, int32_t x, int32_t y) {
    return r.pixels[size_t(y * r.width + x)];
  };
  int partial = 0;
  for (int32_t y = 0; y < longLine.height; ++y) {
    for (int32_t x = 0; x < shortLine.width - 12; ++x)
      ASSERT_EQ(at(longLine, x, y), at(shortLine, x, y)) << x << "," << y;
    for (int32_t x = period + 2; x < longLine.width - period; ++x) {
      ASSERT_EQ(at(longLine, x, y), at(longLine, x - period, y)) << x << "," << y;
      const uint32_t alpha = at(longLine, x, y) >> 24;
      partial += alpha > 0 && alpha < 255;
    }
  }
  EXPECT_GT(partial, longLine.width);
}

// A text layer is sized from the line's extent at its own size: the supersampled line keeps to
// that extent, its ink where the same line drawn at its own size has it, even when it is long.
TEST_F(RenderTextTest, LongLinesKeepToTheExtentTheyWereMeasuredWith) {
  std::mt19937 random(35);
  const struct {
    const char* font;
    int size, letters;
  } cases[] = {{"DejaVu Sans", 40, 700}, {"Liberation Serif", 13, 2000}, {"DejaVu Sans", 11, 9}};
  for (const auto& c : cases) {
    std::string text;
    std::uniform_int_distribution<int> letter(0, 25);
    for (int i = 0; i < c.letters; ++i) text += char((i % 7 == 6) ? ' ' : 'a' + letter(random));
    text += "W";
    TBitmap32 plain;
    plain.Font().SetName(c.font);
    plain.Font().SetSize(c.size);
    const plat::TSize extent = plain.TextExtent(text);
    plain.SetSize(extent.cx, extent.cy);
    plain.ClearWithColor(0);
    plain.Font().SetColor(plat::clWhite);
    plain.TextOut(0, 0, text);
    const auto [plainFirst, plainLast] = InkColumns(Pixels(plain), extent.cx, 0);
    ASSERT_LT(plainLast, extent.cx);

    TBitmap32 layer;
    layer.Font().SetName(c.font);
    layer.Font().SetSize(c.size);
    layer.SetSize(extent.cx, extent.cy);
    layer.Clear();
    layer.RenderText(0, 0, text, 4, 0xFFFFFFFF);
    ASSERT_TRUE(lastTransfer.has_value());
    const auto [first, last] = InkColumns(lastTransfer->pixels, lastTransfer->width, 24);
    EXPECT_LT(last, extent.cx) << c.font << " " << c.letters;
    EXPECT_NEAR(last, plainLast, 1) << c.font << " " << c.letters;
    EXPECT_NEAR(first, plainFirst, 1) << c.font << " " << c.letters;
  }
}

}  // namespace
