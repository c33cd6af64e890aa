// Composing GIF frames side by side and in rows: placement, transparency, disposal and the size
// limits.
#include <gtest/gtest.h>

#include "GifTestStreams.h"
#include "html/images/GifFrames.h"
#include "platform/runtime/SysUtils.h"
#include "support/LargestAllocation.h"

namespace {

using giftest::Bytes;
using giftest::GifBuilder;
using giftest::ImageBlock;

constexpr uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF, K = 0xFF000000;
const giftest::Colors kTable = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

ImageBlock At(int left, int top, int width, int height, Bytes indices) {
  ImageBlock image;
  image.left = left;
  image.top = top;
  image.width = width;
  image.height = height;
  image.indices = std::move(indices);
  image.lzw.minCodeSize = 2;
  return image;
}

struct Composed {
  std::unique_ptr<plat::TBitmap> frames, mask;
};

Composed Compose(const Bytes& bytes) {
  html::TGif gif;
  plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  gif.LoadFromStream(stream);
  Composed result;
  result.frames = gif.BuildFramesBitmap(result.mask);
  return result;
}

// Every pixel of a bitmap, row by row, as 0xAARRGGBB.
std::vector<uint32_t> Pixels(const plat::TBitmap& bitmap) {
  std::vector<uint32_t> out;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.PixelARGB(x, y));
  return out;
}

TEST(GifCompose, OneFrameLiesOnBlack) {
  ImageBlock local = At(1, 1, 3, 1, {1, 0, 3});
  local.localTable = {0x123456, 0x654321};  // index 3 is beyond the table's colours
  Composed c = Compose(GifBuilder(4, 3, kTable).Image(local).Data());
  EXPECT_EQ(c.frames->PixelFormat(), plat::pf24bit);
  EXPECT_EQ(c.mask, nullptr);
  EXPECT_EQ(Pixels(*c.frames), (std::vector<uint32_t>{K, K, K, K,                    //
                                                      K, 0xFF654321, 0xFF123456, K,  //
                                                      K, K, K, K}));
}

TEST(GifCompose, PixelsRightOfTheScreenAreDropped) {
  Composed c = Compose(GifBuilder(2, 1, kTable)
                           .Image(At(0, 0, 3, 1, {0, 1, 2}))
                           .Image(At(1, 0, 3, 1, {2, 2, 2}))
                           .Data());
  EXPECT_EQ(Pixels(*c.frames), (std::vector<uint32_t>{R, G, R, B}));
  c = Compose(GifBuilder(2, 1, kTable).Image(At(5, 0, 1, 1, {1})).Data());
  EXPECT_EQ(Pixels(*c.frames), (std::vector<uint32_t>{K, K}));
}

TEST(GifCompose, TransparentPixelsShowTheFrameBefore) {
  Composed c = Compose(GifBuilder(2, 2, kTable)
                           .GraphicControl(0, 0, 1)
                           .Image(At(0, 0, 2, 2, {0, 1, 2, 3}))
                           .GraphicControl(0, 0, 3)
                           .Image(At(0, 0, 2, 2, {3, 3, 0, 3}))
                           .Data());
  ASSERT_NE(c.mask, nullptr);
  EXPECT_TRUE(c.mask->Monochrome());
  // The first frame's transparent pixel is black under a white mask; the second frame keeps
  // what the first showed wherever it is transparent.
  EXPECT_EQ(Pixels(*c.frames), (std::vector<uint32_t>{R, K, R, K,  //
                                                      B, W, R, W}));
  EXPECT_EQ(Pixels(*c.mask), (std::vector<uint32_t>{K, W, K, W,  //
                                                    K, K, K, K}));
}

TEST(GifCompose, RestoringDisposalClearsTheMaskOfTheNextFrame) {
  for (int disposal : {2, 3}) {
    Composed c = Compose(GifBuilder(2, 2, kTable)
                             .GraphicControl(disposal, 0)
                             .Image(At(0, 0, 1, 2, {0, 0}))
                             .GraphicControl(0, 0, 3)
                             .Image(At(1, 0, 1, 1, {1}))
                             .Data());
    ASSERT_NE(c.mask, nullptr);
    // The pixels stay; only the mask of the first frame's rectangle turns white.
    EXPECT_EQ(Pixels(*c.frames), (std::vector<uint32_t>{R, K, R, G,  //
                                                        R, K, R, K}));
    EXPECT_EQ(Pixels(*c.mask), (std::vector<uint32_t>{K, W, W, K,  //
                                                      K, W, W, W}))
        << disposal;
  }
  // Disposal 1 keeps the frame; without any transparency disposal is not looked at.
  Composed c = Compose(GifBuilder(2, 1, kTable)
                           .GraphicControl(1, 0)
                           .Image(At(0, 0, 1, 1, {0}))
                           .GraphicControl(0, 0, 3)
                           .Image(At(1, 0, 1, 1, {1}))
                           .Data());
  EXPECT_EQ(Pixels(*c.mask), (std::vector<uint32_t>{K, W, K, K}));
  c = Compose(GifBuilder(2, 1, kTable)
                  .GraphicControl(2, 0)
                  .Image(At(0, 0, 1, 1, {0}))
                  .Image(At(1, 0, 1, 1, {1}))
                  .Data());
  EXPECT_EQ(c.mask, nullptr);
  EXPECT_EQ(Pixels(*c.frames), (std::vector<uint32_t>{R, K, R, G}));
}

TEST(GifCompose, OversizedStripsAreRefused) {
  auto composeError = [](const Bytes& bytes) -> std::string {
    try {
      Compose(bytes);
    } catch (const plat::EInvalidGraphicOperation& e) {
      return e.Message();
    }
    return "";
  };
  const ImageBlock dot = At(0, 0, 1, 1, {0});
  // 2,100 rows of 96,000 bytes: over 200,000,000.
  EXPECT_EQ(composeError(GifBuilder(32000, 2100, kTable).Image(dot).Data()),
            "TGif: Animated GIF too large");
  // With a mask the limit is half: 2,100 rows of 48,000 bytes.
  EXPECT_EQ(composeError(GifBuilder(16000, 2100, kTable).GraphicControl(0, 0, 3).Image(dot).Data()),
            "TGif: Animated GIF too large");
  // 2,000 frames of 200 x 200: about 240,000,000 bytes.
  GifBuilder many(200, 200, kTable);
  for (int i = 0; i < 2000; ++i) many.Image(dot);
  EXPECT_EQ(composeError(many.Data()), "TGif: Animated GIF too large");
}

TEST(GifCompose, FramesThatCouldNeverBeComposedTakeNoMemory) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  ImageBlock whole = At(0, 0, 16384, 16384, {0});
  whole.indices.assign(16, 0);  // the decoder zero-fills what the data leaves out
  const Bytes bytes = GifBuilder(16384, 16384, kTable).Image(whole).Data();
  test_support::LargestAllocation watch;
  html::TGif gif;
  plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  EXPECT_THROW(gif.LoadFromStream(stream), plat::EInvalidGraphicOperation);
  EXPECT_LT(watch.PeakBytes(), size_t(1) << 20);
}

// Two frames of 12,000 pixels fill a row of the bitmap: the third starts the next row, from the
// second frame, with the second frame's disposal.
TEST(GifCompose, FramesThatWouldPassAPicturesSideStandInRows) {
  EXPECT_EQ(html::GifFramesPerRow(12000, 3), 2);
  EXPECT_EQ(html::GifFramesPerRow(640, 52), 51);
  EXPECT_EQ(html::GifFramesPerRow(40000, 2), 1);
  EXPECT_EQ(html::GifFramesPerRow(10, 4), 4);
  Composed c = Compose(GifBuilder(12000, 1, kTable)
                           .GraphicControl(0, 0, 3)
                           .Image(At(0, 0, 1, 1, {0}))
                           .GraphicControl(2, 0, 3)
                           .Image(At(1, 0, 1, 1, {1}))
                           .GraphicControl(0, 0, 3)
                           .Image(At(2, 0, 1, 1, {3}))
                           .Data());
  ASSERT_EQ(c.frames->Width(), 24000);
  ASSERT_EQ(c.frames->Height(), 2);
  ASSERT_NE(c.mask, nullptr);
  ASSERT_EQ(c.mask->Width(), 24000);
  ASSERT_EQ(c.mask->Height(), 2);
  const auto at = [&](int x, int y) {
    return std::pair{c.frames->PixelARGB(x, y), c.mask->PixelARGB(x, y)};
  };
  using P = std::pair<uint32_t, uint32_t>;
  EXPECT_EQ(at(0, 0), (P{R, K}));
  EXPECT_EQ(at(1, 0), (P{K, W}));
  EXPECT_EQ(at(12000, 0), (P{R, K}));
  EXPECT_EQ(at(12001, 0), (P{G, K}));
  EXPECT_EQ(at(0, 1), (P{R, K}));
  EXPECT_EQ(at(1, 1), (P{G, W}));  // the second frame's rectangle is disposed of
  EXPECT_EQ(at(2, 1), (P{K, W}));
  EXPECT_EQ(at(12000, 1), (P{K, W}));  // no fourth frame
}

}  // namespace
