// The interaction handlers combine whole rows in the engine's drawing loops. Every loop must leave
// exactly the pixels, and the pattern counter, that calling the handler pixel by pixel leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/colors/ColorInteraction.h"
#include "graphics/filters/RowCombiner.h"
#include "graphics/filters/RowCombinerLines.h"
#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "tests/graphics/resampling/Helpers.h"

namespace {

using namespace gfx;
using namespace resampling_test;

struct StartEngine : ::testing::Environment {
  // The line routines before any tier scope, so that the scopes rebind them too.
  void SetUp() override {
    gfx::StartEngine();
    gfx::StartColorLines();
  }
};
const auto* const startEngine = ::testing::AddGlobalTestEnvironment(new StartEngine);

// The same handler, hidden from the loops' search for a row combiner.
TPixelCombineEvent PixelByPixel(TPixelCombineEvent Handler) {
  return [Handler](TColor32 F, TColor32& B, TColor32 M) { Handler(F, B, M); };
}

int32_t Between(std::mt19937& Random, int32_t Lo, int32_t Hi) {
  return std::uniform_int_distribution<int32_t>(Lo, Hi)(Random);
}

TRect RandomRect(std::mt19937& Random, int32_t W, int32_t H) {
  const int32_t left = Between(Random, -3, W), top = Between(Random, -3, H);
  return {left, top, left + Between(Random, 1, W + 3), top + Between(Random, 1, H + 3)};
}

// Where one drawing goes: offsets and rectangles for the transfers, a mapping for Transform.
struct Placement {
  int32_t x = 0, y = 0;
  TRect clip{-5, -5, 100, 100}, dstRect{0, 0, 0, 0}, srcRect{0, 0, 0, 0};
  float angle = 0, scale = 1, shift = 0;
};

// Sizes from one pixel up, often odd; rectangles stick out of the bitmaps.
Placement RandomPlacement(std::mt19937& Random, const TCustomBitmap32& Dst,
                          const TCustomBitmap32& Src) {
  auto real = [&Random](float Lo, float Hi) {
    return std::uniform_real_distribution<float>(Lo, Hi)(Random);
  };
  Placement p;
  p.x = Between(Random, -4, Dst.Width());
  p.y = Between(Random, -4, Dst.Height());
  p.clip = RandomRect(Random, Dst.Width(), Dst.Height());
  p.dstRect = RandomRect(Random, Dst.Width(), Dst.Height());
  p.srcRect = RandomRect(Random, Src.Width(), Src.Height());
  p.angle = real(-180, 180);
  p.scale = real(0.5f, 2);
  p.shift = real(-5, 10);
  return p;
}

// Draws Src onto Dst with Callback through one of the engine's loops.
using Drawing = std::function<void(TCustomBitmap32& Dst, TCustomBitmap32& Src,
                                   const TPixelCombineEvent& Callback, const Placement& P)>;

void Block(TCustomBitmap32& Dst, TCustomBitmap32& Src, const TPixelCombineEvent& Callback,
           const Placement& P) {
  BlockTransfer(Dst, P.x, P.y, P.clip, Src, P.srcRect, dmCustom, Callback);
}

Drawing Stretch(const char* ResamplerClass) {
  return [ResamplerClass](TCustomBitmap32& Dst, TCustomBitmap32& Src,
                          const TPixelCombineEvent& Callback, const Placement& P) {
    Src.SetResamplerClassName(ResamplerClass);
    StretchTransfer(Dst, P.dstRect, P.clip, Src, P.srcRect, Src.Resampler(), dmCustom, Callback);
  };
}

// Rotated and scaled, so the rasterizer's rows are cut to the picture's bounds.
Drawing Transformed(const char* ResamplerClass) {
  return [ResamplerClass](TCustomBitmap32& Dst, TCustomBitmap32& Src,
                          const TPixelCombineEvent& Callback, const Placement& P) {
    Src.SetResamplerClassName(ResamplerClass);
    Src.SetDrawMode(dmCustom);
    Src.OnPixelCombine = Callback;
    TAffineTransformation mapping;
    mapping.SetSrcRect(FloatRect(Src.BoundsRect()));
    mapping.Rotate(float(Src.Width()) / 2, float(Src.Height()) / 2, P.angle);
    mapping.Scale(P.scale, P.scale);
    mapping.Translate(P.shift, P.shift);
    TRegularRasterizer rasterizer;
    Transform(Dst, Src, mapping, P.clip, rasterizer);
  };
}

const struct {
  const char* name;
  Drawing draw;
} drawings[] = {
    {"block", Block},
    {"nearest", Stretch("TNearestResampler")},
    {"linear", Stretch("TLinearResampler")},
    {"draft", Stretch("TDraftResampler")},
    {"kernel", Stretch("TKernelResampler")},
    {"transform linear", Transformed("TLinearResampler")},
    {"transform nearest", Transformed("TNearestResampler")},
};

std::string TierName(TImplementationTier Tier) {
  return Tier == tierPortable ? "portable" : "best";
}

TEST(RowCombining, EveryModeAndLoopEqualsPixelByPixelCalls) {
  for (const TImplementationTier tier : {tierPortable, Tiers().back()}) {
    TierScope scope(tier);
    for (int32_t mode = 1; mode <= app::ColorModeLastHandler; ++mode)
      for (const auto& drawing : drawings) {
        const std::string where =
            TierName(tier) + " mode " + std::to_string(mode) + " " + drawing.name;
        // One pair of sets for all rounds: the pattern phase carries over from draw to draw.
        app::TColorInteraction rows, pixels;
        const TPixelCombineEvent byRow = rows.Handler(mode);
        ASSERT_NE(FindRowCombiner(byRow), nullptr) << where;
        const TPixelCombineEvent byPixel = PixelByPixel(pixels.Handler(mode));
        std::mt19937 random(unsigned(mode * 100));
        for (int round = 0; round < 40; ++round) {
          TCustomBitmap32 src, dst, expected;
          FillRandom(src, Between(random, 1, 17), Between(random, 1, 13), random());
          FillRandom(dst, Between(random, 1, 19), Between(random, 1, 15), random());
          expected.Assign(dst);
          const Placement placement = RandomPlacement(random, dst, src);
          drawing.draw(dst, src, byRow, placement);
          drawing.draw(expected, src, byPixel, placement);
          ASSERT_EQ(Pixels(dst), Pixels(expected)) << where << " round " << round;
          ASSERT_EQ(rows.PatternCounter(), pixels.PatternCounter()) << where << " round " << round;
        }
      }
  }
}

// Drawing a picture onto itself one to three pixels along reads pixels the same row has just
// written: four-at-a-time arithmetic must not read them early.
TEST(RowCombining, DrawingOntoItselfEqualsPixelByPixelCalls) {
  std::mt19937 random(3);
  for (int32_t mode = 1; mode <= app::ColorModeLastHandler; ++mode)
    for (int32_t dx = -4; dx <= 4; ++dx)
      for (int32_t dy : {0, 1, -1}) {
        app::TColorInteraction rows, pixels;
        TCustomBitmap32 picture, expected;
        FillRandom(picture, 23, 5, random());
        expected.Assign(picture);
        BlockTransfer(picture, dx, dy, picture.BoundsRect(), picture, picture.BoundsRect(),
                      dmCustom, rows.Handler(mode));
        BlockTransfer(expected, dx, dy, expected.BoundsRect(), expected, expected.BoundsRect(),
                      dmCustom, PixelByPixel(pixels.Handler(mode)));
        ASSERT_EQ(Pixels(picture), Pixels(expected)) << mode << " " << dx << "," << dy;
      }
}

// Five pixels on a fresh set take F at the second and fourth; the next five continue the phase
// and take it at their first, third and fifth.
TEST(RowCombining, PatternPhaseContinuesAcrossDraws) {
  app::TColorInteraction set;
  TCustomBitmap32 layer, picture;
  Fill(layer, 5, 1, [](int32_t x, int32_t) { return 0xF0000000u + TColor32(x); });
  Fill(picture, 5, 2, [](int32_t x, int32_t y) { return TColor32(y * 16 + x); });
  const TPixelCombineEvent pattern = set.Handler(app::ColorModePattern);
  BlockTransfer(picture, 0, 0, picture.BoundsRect(), layer, layer.BoundsRect(), dmCustom, pattern);
  BlockTransfer(picture, 0, 1, picture.BoundsRect(), layer, layer.BoundsRect(), dmCustom, pattern);
  const std::vector<TColor32> expected = {0x00, 0xF0000001, 0x02, 0xF0000003, 0x04, 0xF0000000,
                                          0x11, 0xF0000002, 0x13, 0xF0000004};
  EXPECT_EQ(Pixels(picture), expected);
  EXPECT_EQ(set.PatternCounter(), 0);
}

// Anything else bound to a bitmap is still called once per covered pixel, in row order.
TEST(RowCombining, OtherCallbacksAreCalledPerPixel) {
  for (const auto& drawing : drawings) {
    TCustomBitmap32 src, dst;
    FillRandom(src, 7, 5, 1);
    FillRandom(dst, 9, 6, 2);
    std::vector<const TColor32*> visited;
    const TPixelCombineEvent record = [&visited](TColor32, TColor32& B, TColor32) {
      visited.push_back(&B);
      B = 0;
    };
    // Stretched to the whole destination and turned a little.
    drawing.draw(dst, src, record, {0, 0, dst.BoundsRect(), {-1, 0, 8, 6}, src.BoundsRect(), 10});
    EXPECT_FALSE(visited.empty()) << drawing.name;
    const std::vector<TColor32> after = Pixels(dst);
    EXPECT_EQ(visited.size(), size_t(std::count(after.begin(), after.end(), 0u))) << drawing.name;
    for (size_t i = 1; i < visited.size(); ++i)
      ASSERT_LT(visited[i - 1], visited[i]) << drawing.name << " call " << i;
  }
}

// A combiner gets whole rows from the loops that have them; its pixel routine is not called there.
TEST(RowCombining, RowLoopsHandCombinersWholeRows) {
  struct Counts {
    int pixels = 0, rows = 0, rowPixels = 0;
  } counts;
  const TRowCombiner spy{[](void* c, TColor32 F, TColor32& B, TColor32) {
                           ++static_cast<Counts*>(c)->pixels;
                           B = F;
                         },
                         [](void* c, const TColor32* F, TColor32* B, int32_t Count, TColor32) {
                           auto& counts = *static_cast<Counts*>(c);
                           ++counts.rows;
                           counts.rowPixels += Count;
                           std::copy(F, F + Count, B);
                         },
                         &counts};
  for (const char* name : {"block", "nearest", "transform linear"}) {
    const auto& drawing =
        *std::find_if(std::begin(drawings), std::end(drawings),
                      [name](const auto& d) { return std::string(d.name) == name; });
    TCustomBitmap32 src, dst;
    FillRandom(src, 9, 8, 1);
    dst.SetSize(10, 12);
    dst.ClearWithColor(0);
    counts = {};
    drawing.draw(dst, src, spy, {0, 0, dst.BoundsRect(), dst.BoundsRect(), src.BoundsRect(), 0});
    const std::vector<TColor32> after = Pixels(dst);
    EXPECT_EQ(counts.pixels, 0) << name;
    EXPECT_GT(counts.rows, 0) << name;
    EXPECT_EQ(counts.rowPixels,
              dst.Width() * dst.Height() - std::count(after.begin(), after.end(), 0u))
        << name;
  }
}

}  // namespace
