// What DrawTo hands to the transfer routines.
#include <gtest/gtest.h>

#include <optional>

#include "graphics/bitmap/Bitmap32.h"

namespace {

using namespace gfx;

struct Call {
  TCustomBitmap32* dst;
  TCustomBitmap32* src;
  TRect dstRect, dstClip, srcRect;
  TDrawMode mode;
  bool hasCallback;
  TCustomResampler* resampler;
};
std::optional<Call> lastCall;

void RecordBlock(TCustomBitmap32& dst, int32_t x, int32_t y, const TRect& clip,
                 TCustomBitmap32& src, const TRect& srcRect, TDrawMode mode,
                 const TPixelCombineEvent& callback) {
  lastCall = Call{&dst, &src, {x, y, x, y}, clip, srcRect, mode, bool(callback), nullptr};
}

void RecordStretch(TCustomBitmap32& dst, const TRect& dstRect, const TRect& clip,
                   TCustomBitmap32& src, const TRect& srcRect, TCustomResampler* resampler,
                   TDrawMode mode, const TPixelCombineEvent& callback) {
  lastCall = Call{&dst, &src, dstRect, clip, srcRect, mode, bool(callback), resampler};
}

class DrawToTest : public testing::Test {
 protected:
  void SetUp() override {
    saved = ResamplerLink();
    lastCall.reset();
  }
  void TearDown() override { ResamplerLink() = saved; }
  TResamplerLink saved;
};

TEST_F(DrawToTest, PassesTheDestinationClipAndTheSourcesSettings) {
  ResamplerLink().BlockTransfer = RecordBlock;
  ResamplerLink().StretchTransfer = RecordStretch;
  TCustomBitmap32 source, target;
  source.SetSize(5, 4);
  target.SetSize(20, 10);
  target.SetClipRect({1, 2, 15, 9});
  source.SetDrawMode(dmCustom);
  source.OnPixelCombine = [](TColor32, TColor32&, TColor32) {};

  source.DrawTo(target, -3, 7);
  ASSERT_TRUE(lastCall.has_value());
  EXPECT_EQ(lastCall->dst, &target);
  EXPECT_EQ(lastCall->src, &source);
  EXPECT_EQ(lastCall->dstRect, (TRect{-3, 7, -3, 7}));
  EXPECT_EQ(lastCall->dstClip, (TRect{1, 2, 15, 9}));
  EXPECT_EQ(lastCall->srcRect, (TRect{0, 0, 5, 4}));
  EXPECT_EQ(lastCall->mode, dmCustom);
  EXPECT_TRUE(lastCall->hasCallback);

  source.DrawTo(target, TRect{2, 2, 12, 6});
  EXPECT_EQ(lastCall->dstRect, (TRect{2, 2, 12, 6}));
  EXPECT_EQ(lastCall->resampler, source.Resampler());
}

TEST_F(DrawToTest, WithoutTransfersItFailsClearly) {
  ResamplerLink().BlockTransfer = nullptr;
  ResamplerLink().StretchTransfer = nullptr;
  TCustomBitmap32 source, target;
  source.SetSize(2, 2);
  target.SetSize(2, 2);
  EXPECT_THROW(source.DrawTo(target, 0, 0), EBitmapException);
  EXPECT_THROW(source.DrawTo(target, TRect{0, 0, 4, 4}), EBitmapException);
}

}  // namespace
