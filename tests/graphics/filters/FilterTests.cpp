// The whole-bitmap filters against per-pixel expectations, their clipping, reports and errors.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/filters/Filters.h"

namespace {

using gfx::TColor32;
using gfx::TCustomBitmap32;
using gfx::TRect;

std::unique_ptr<TCustomBitmap32> MakeBitmap(int width, int height, std::vector<TColor32> pixels) {
  auto bitmap = std::make_unique<TCustomBitmap32>();
  bitmap->SetSize(width, height);
  for (int i = 0; i < width * height; ++i) bitmap->Bits()[i] = pixels[i];
  return bitmap;
}

std::unique_ptr<TCustomBitmap32> RandomBitmap(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<TColor32> pixels(size_t(width) * height);
  for (TColor32& p : pixels) p = random();
  return MakeBitmap(width, height, pixels);
}

std::vector<TColor32> PixelsOf(const TCustomBitmap32& bitmap) {
  return {bitmap.Bits(), bitmap.Bits() + size_t(bitmap.Width()) * bitmap.Height()};
}

// Records every area a bitmap reports.
struct Reports {
  std::vector<TRect> areas;
  explicit Reports(TCustomBitmap32& bitmap) {
    bitmap.OnAreaChanged = [this](plat::TObject*, const TRect& area, uint32_t info) {
      EXPECT_EQ(info, gfx::AreaInfoRect);
      areas.push_back(area);
    };
  }
};

void ExpectMessage(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no exception, expected " << message;
  } catch (const plat::Exception& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

TEST(ChannelFilters, IntensityToAlphaKeepsTheDestinationColours) {
  auto src = RandomBitmap(13, 7, 1);
  auto dst = RandomBitmap(13, 7, 2);
  const auto before = PixelsOf(*dst);
  gfx::IntensityToAlpha(dst.get(), src.get());
  for (size_t i = 0; i < before.size(); ++i) {
    const TColor32 s = src->Bits()[i];
    const TColor32 alpha = (((s >> 16) & 255) * 61 + ((s >> 8) & 255) * 174 + (s & 255) * 21) >> 8;
    ASSERT_EQ(dst->Bits()[i], (before[i] & 0x00FFFFFFu) | alpha << 24) << i;
  }
  auto known = MakeBitmap(2, 1, {0x00FFFFFFu, 0x0000FF00u});
  gfx::IntensityToAlpha(known.get(), known.get());
  EXPECT_EQ(known->Bits()[0], 0xFFFFFFFFu);
  EXPECT_EQ(known->Bits()[1], 0xAD00FF00u);  // 173
}

TEST(ChannelFilters, GrayscaleWithAndWithoutAlpha) {
  auto src = RandomBitmap(9, 4, 3);
  TCustomBitmap32 dst;
  gfx::ColorToGrayscale(&dst, src.get(), true);
  ASSERT_EQ(dst.Width(), 9);
  ASSERT_EQ(dst.Height(), 4);
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < 36; ++i) {
      const TColor32 s = src->Bits()[i];
      const TColor32 grey = (((s >> 16) & 255) * 61 + ((s >> 8) & 255) * 174 + (s & 255) * 21) >> 8;
      const TColor32 alpha = pass == 0 ? s >> 24 : 255;
      ASSERT_EQ(dst.Bits()[i], alpha << 24 | grey * 0x010101u) << i;
    }
    gfx::ColorToGrayscale(&dst, src.get(), false);
  }
}

TEST(ChannelFilters, ColorKeyClearsAlphaOfMatchingColours) {
  auto bitmap = MakeBitmap(4, 1, {0xFF00FF00u, 0x1200FF00u, 0xFF00FF01u, 0x00FF00FFu});
  gfx::ColorKeyToTransparent(bitmap.get(), 0xFF00FF00u);
  EXPECT_EQ(PixelsOf(*bitmap),
            (std::vector<TColor32>{0x0000FF00u, 0x0000FF00u, 0xFF00FF01u, 0x00FF00FFu}));
  // The key's own alpha does not count.
  gfx::ColorKeyToTransparent(bitmap.get(), 0x0000FF01u);
  EXPECT_EQ(bitmap->Bits()[2], 0x0000FF01u);
  ExpectMessage([] { gfx::ColorKeyToTransparent(nullptr, 0); }, "The bitmap is nil");
}

TEST(ChannelFilters, InversionAndChannelOperations) {
  auto run = [](int selector, uint8_t value, int operation) {
    auto b = MakeBitmap(1, 1, {0x80102030u});
    gfx::ApplyChannelOperation(b.get(), b.get(), selector, value, operation);
    return b->Bits()[0];
  };
  auto b = MakeBitmap(1, 1, {0x80102030u});
  gfx::InvertRGB(b.get(), b.get());
  EXPECT_EQ(b->Bits()[0], 0x80EFDFCFu);
  EXPECT_EQ(run(0, 0x55, 3), 0x7FEFDFCFu);  // alpha inverted too; value and operation ignored
  EXPECT_EQ(run(2, 0x0F, 2), 0x801F2030u);  // red OR
  EXPECT_EQ(run(2, 0x0F, 1), 0x801F2030u);  // red XOR
  EXPECT_EQ(run(2, 0x0F, 3), 0x00000000u);  // AND clears every channel outside the set
  EXPECT_EQ(run(1, 0xF0, 3), 0x00102030u);  // RGB AND keeps colours, clears alpha
  EXPECT_EQ(run(3, 0xFF, 1), 0x8010DF30u);  // green
  EXPECT_EQ(run(4, 0xFF, 1), 0x801020CFu);  // blue
  EXPECT_EQ(run(5, 0xFF, 1), 0x80EFDF30u);  // red and green
  EXPECT_EQ(run(6, 0xFF, 1), 0x80EF20CFu);  // red and blue
  EXPECT_EQ(run(7, 0xFF, 1), 0x8010DFCFu);  // green and blue
  EXPECT_EQ(run(8, 0xFF, 1), 0x80102030u);  // unknown selector
  EXPECT_EQ(run(2, 0xFF, 4), 0x80102030u);  // unknown operation
}

TEST(ChannelFilters, InvertIntoAnotherBitmapResizesItAndKeepsTheSource) {
  auto src = RandomBitmap(5, 3, 4);
  const auto original = PixelsOf(*src);
  TCustomBitmap32 dst;
  gfx::InvertRGB(src.get(), &dst);
  ASSERT_EQ(dst.Width(), 5);
  ASSERT_EQ(dst.Height(), 3);
  for (size_t i = 0; i < original.size(); ++i) {
    EXPECT_EQ(dst.Bits()[i], original[i] ^ 0x00FFFFFFu);
  }
  EXPECT_EQ(PixelsOf(*src), original);
  // Twice is the identity.
  gfx::Invert(&dst, &dst, gfx::AllChannelsSet);
  gfx::Invert(&dst, &dst, gfx::AllChannelsSet);
  for (size_t i = 0; i < original.size(); ++i) EXPECT_EQ(dst.Bits()[i], original[i] ^ 0x00FFFFFFu);
}

TEST(ChannelFilters, MissingBitmapsAreReportedBeforeAnythingChanges) {
  TCustomBitmap32 bitmap;
  gfx::Invert(nullptr, nullptr, 0);  // an empty set returns before the check
  gfx::ApplyChannelValue(nullptr, nullptr, 1, 0, 1);
  ExpectMessage([&] { gfx::Invert(&bitmap, nullptr); }, "The source is nil");
  ExpectMessage([&] { gfx::Invert(nullptr, &bitmap); }, "Destination is nil");
  ExpectMessage([&] { gfx::IntensityToAlpha(&bitmap, nullptr); }, "The source is nil");
  ExpectMessage([&] { gfx::ColorToGrayscale(nullptr, &bitmap); }, "Destination is nil");
  ExpectMessage(
      [&] {
        gfx::ApplyBitmask(nullptr, TRect{0, 0, 1, 1}, 0, gfx::maskXor);
      },
      "The bitmap is nil");
}

TEST(Bitmask, CopyingFormClipsAndKeepsTheSourceAligned) {
  auto src = MakeBitmap(4, 2, {1, 2, 3, 4, 5, 6, 7, 8});
  auto dst = MakeBitmap(4, 2, {0, 0, 0, 0, 0, 0, 0, 0});
  Reports reports(*dst);
  // Placed one pixel left of the destination: the first column is cut off.
  gfx::ApplyBitmask(dst.get(), -1, 0, src.get(), TRect{0, 0, 4, 2}, 0x100, gfx::maskOr);
  EXPECT_EQ(PixelsOf(*dst),
            (std::vector<TColor32>{0x102, 0x103, 0x104, 0, 0x106, 0x107, 0x108, 0}));
  ASSERT_EQ(reports.areas.size(), 1u);
  EXPECT_EQ(reports.areas[0], (TRect{0, 0, 3, 2}));

  // A clip rectangle that cuts the left and top edges.
  auto clipped = MakeBitmap(4, 2, {0, 0, 0, 0, 0, 0, 0, 0});
  clipped->SetClipRect(TRect{1, 1, 4, 2});
  gfx::ApplyBitmask(clipped.get(), 0, 0, src.get(), TRect{0, 0, 4, 2}, 0, gfx::maskXor);
  EXPECT_EQ(PixelsOf(*clipped), (std::vector<TColor32>{0, 0, 0, 0, 0, 6, 7, 8}));

  // A source rectangle partly outside the source.
  auto part = MakeBitmap(4, 2, {0, 0, 0, 0, 0, 0, 0, 0});
  gfx::ApplyBitmask(part.get(), 1, 0, src.get(), TRect{2, 1, 9, 9}, 0x100, gfx::maskOr);
  EXPECT_EQ(PixelsOf(*part), (std::vector<TColor32>{0, 0x107, 0x108, 0, 0, 0, 0, 0}));
  auto xorred = MakeBitmap(4, 2, {0, 0, 0, 0, 0, 0, 0, 0});
  gfx::ApplyBitmask(xorred.get(), 1, 1, src.get(), TRect{2, 0, 9, 9}, 0x10, gfx::maskXor);
  EXPECT_EQ(PixelsOf(*xorred), (std::vector<TColor32>{0, 0, 0, 0, 0, 0x13, 0x14, 0}));
}

TEST(Bitmask, EmptyResultsChangeNothingButStillReport) {
  auto src = RandomBitmap(4, 4, 5);
  auto dst = RandomBitmap(4, 4, 6);
  const auto before = PixelsOf(*dst);
  Reports reports(*dst);
  gfx::ApplyBitmask(dst.get(), 0, 0, src.get(), TRect{10, 10, 20, 20}, 0xFFFFFFFF, gfx::maskXor);
  gfx::ApplyBitmask(dst.get(), 9, 9, src.get(), TRect{0, 0, 4, 4}, 0xFFFFFFFF, gfx::maskXor);
  gfx::ApplyBitmask(dst.get(), 0, 9, src.get(), TRect{0, 0, 4, 4}, 0xFFFFFFFF, gfx::maskXor);
  gfx::ApplyBitmask(dst.get(), TRect{5, 5, 9, 9}, 0xFFFFFFFF, gfx::maskXor);
  EXPECT_EQ(PixelsOf(*dst), before);
  // A copy landing outside reports the empty rectangle on the edge it was headed for.
  EXPECT_EQ(reports.areas,
            (std::vector<TRect>{{0, 0, 0, 0}, {4, 4, 4, 4}, {0, 4, 4, 4}, {0, 0, 0, 0}}));
}

TEST(Bitmask, InPlaceFormHonoursTheClipRectangle) {
  auto bitmap = RandomBitmap(6, 5, 7);
  const auto before = PixelsOf(*bitmap);
  bitmap->SetClipRect(TRect{1, 1, 5, 4});
  Reports reports(*bitmap);
  gfx::ApplyBitmask(bitmap.get(), TRect{-3, 2, 9, 9}, 0x00FF00FFu, gfx::maskXor);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 5 && y >= 2 && y < 4;
      EXPECT_EQ(bitmap->Pixel(x, y), before[y * 6 + x] ^ (inside ? 0x00FF00FFu : 0)) << x << y;
    }
  }
  ASSERT_EQ(reports.areas.size(), 1u);
  EXPECT_EQ(reports.areas[0], (TRect{1, 2, 5, 4}));
}

// Counts how often the bound in-place XOR routine is called.
int xorCalls = 0;
void CountingXor(TColor32* Dst, TColor32 Mask, int32_t Count) {
  ++xorCalls;
  for (int32_t i = 0; i < Count; ++i) Dst[i] ^= Mask;
}

TEST(Bitmask, FullWidthRectangleIsOneRun) {
  const gfx::TMaskLine bound = gfx::MaskLineXor;
  gfx::MaskLineXor = CountingXor;
  auto bitmap = RandomBitmap(8, 6, 8);
  xorCalls = 0;
  gfx::ApplyBitmask(bitmap.get(), TRect{0, 1, 8, 5}, 1, gfx::maskXor);
  EXPECT_EQ(xorCalls, 1);
  xorCalls = 0;
  gfx::ApplyBitmask(bitmap.get(), TRect{1, 1, 8, 5}, 1, gfx::maskXor);
  EXPECT_EQ(xorCalls, 4);
  gfx::MaskLineXor = bound;
}

TEST(Bitmask, MeasuringReportsWithoutTouchingPixels) {
  auto bitmap = RandomBitmap(4, 4, 9);
  const auto before = PixelsOf(*bitmap);
  std::vector<TRect> measured;
  bitmap->StartMeasuring(
      [&](plat::TObject*, const TRect& area, uint32_t) { measured.push_back(area); });
  gfx::ApplyBitmask(bitmap.get(), TRect{0, 0, 2, 2}, 0xFFFFFFFF, gfx::maskXor);
  gfx::ApplyBitmask(bitmap.get(), 1, 1, bitmap.get(), TRect{0, 0, 4, 4}, 0, gfx::maskOr);
  bitmap->StopMeasuring();
  EXPECT_EQ(PixelsOf(*bitmap), before);
  EXPECT_EQ(measured, (std::vector<TRect>{{0, 0, 2, 2}, {1, 1, 4, 4}}));
}

// A mask routine that fails halfway.
void FailingAnd(TColor32*, TColor32, int32_t) {
  throw plat::Exception("mask failed");
}

TEST(Bitmask, UpdateCountIsRestoredWhenTheRoutineFails) {
  const gfx::TMaskLine bound = gfx::MaskLineAnd;
  gfx::MaskLineAnd = FailingAnd;
  auto bitmap = RandomBitmap(4, 4, 10);
  const int before = bitmap->UpdateCount();
  EXPECT_THROW(gfx::ApplyBitmask(bitmap.get(), TRect{0, 0, 4, 4}, 0, gfx::maskAnd),
               plat::Exception);
  EXPECT_EQ(bitmap->UpdateCount(), before);
  gfx::MaskLineAnd = bound;
}

}  // namespace
