// GIF pictures of pages: loading, frame timing on a hand-stepped clock, copies, first-frame
// bitmaps and drawing through the mask.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "GifTestStreams.h"
#include "html/HtmlEngine.h"
#include "html/images/GifAnimation.h"
#include "html/images/ImageLoading.h"
#include "support/LargestAllocation.h"

namespace {

using giftest::Bytes;
using giftest::GifBuilder;
using giftest::ImageBlock;

constexpr uint32_t kRgb = 0xFFFFFF;
constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, Grey = 0x808080;
const giftest::Colors kTable = {R, G, B, 0xFFFFFF};

ImageBlock Row(Bytes indices) {
  ImageBlock image;
  image.width = int(indices.size());
  image.height = 1;
  image.indices = std::move(indices);
  image.lzw.minCodeSize = 2;
  return image;
}

// Frames of two pixels, one per entry of delays (hundredths), filled with red, green, blue, ...
Bytes Frames(const std::vector<int>& delays, const Bytes& loopBlock = {}) {
  GifBuilder gif(2, 1, kTable);
  if (!loopBlock.empty()) gif.Netscape(loopBlock);
  for (size_t i = 0; i < delays.size(); ++i) {
    gif.GraphicControl(0, delays[i]);
    gif.Image(Row({uint8_t(i % 3), uint8_t(i % 3)}));
  }
  return gif.Data();
}

std::unique_ptr<html::TGIFImage> Load(const Bytes& bytes, bool* nonAnimated = nullptr) {
  plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  bool flag = false;
  auto image = html::LoadGifImageFromStream(flag, stream);
  if (nonAnimated) *nonAnimated = flag;
  return image;
}

// A clock the test moves by hand.
class ManualClock : public testing::Test {
 protected:
  void SetUp() override {
    html::SetAnimationClock([this] { return now; });
  }
  void TearDown() override { html::SetAnimationClock(nullptr); }

  // Moves the clock to t and gives the image its tick; returns the frame shown afterwards.
  int TickAt(html::TGIFImage& image, uint32_t t) {
    now = t;
    image.AdvanceFrameIfDue(nullptr);
    return image.CurrentFrame();
  }

  uint32_t now = 0;
};

// A 32-bit surface filled with grey.
struct Surface {
  explicit Surface(int width, int height) {
    bitmap.SetPixelFormat(plat::pf32bit);
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush().SetColor(plat::ARGBToColor(Grey));
    bitmap.Canvas().FillRect({0, 0, width, height});
  }
  std::vector<uint32_t> Rgb() const {
    std::vector<uint32_t> out;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.PixelARGB(x, y) & kRgb);
    return out;
  }
  plat::TBitmap bitmap;
};

TEST(GifLoading, FramesDelaysAndPlayCounts) {
  bool nonAnimated = true;
  auto image = Load(Frames({0, 1, 2, 3, 10, 123}), &nonAnimated);
  ASSERT_NE(image, nullptr);
  EXPECT_FALSE(nonAnimated);
  EXPECT_TRUE(image->IsAnimated());
  EXPECT_EQ(image->NumFrames(), 6);
  EXPECT_EQ(image->Width(), 2);
  EXPECT_EQ(image->Height(), 1);
  EXPECT_FALSE(image->IsTransparent());
  EXPECT_FALSE(image->Animate());
  EXPECT_EQ(image->CurrentFrame(), 1);
  std::vector<int> delays;
  for (const html::TgfFrame& frame : image->Frames()) delays.push_back(frame.Delay);
  EXPECT_EQ(delays, (std::vector<int>{30, 30, 30, 30, 100, 1230}));

  EXPECT_EQ(Load(Frames({5, 5}))->NumIterations(), 1);
  EXPECT_EQ(Load(Frames({5, 5}, {1, 0, 0}))->NumIterations(), 0);
  EXPECT_EQ(Load(Frames({5, 5}, {1, 2, 0}))->NumIterations(), 3);

  image = Load(Frames({5}), &nonAnimated);
  EXPECT_TRUE(nonAnimated);
  EXPECT_FALSE(image->IsAnimated());
}

TEST(GifLoading, FailuresGiveNoPicture) {
  bool nonAnimated = false;
  EXPECT_EQ(Load({'G', 'I', 'F', '9', '0', 'a'}, &nonAnimated), nullptr);
  EXPECT_TRUE(nonAnimated);
  EXPECT_EQ(Load(GifBuilder(2, 1, kTable).Trailer().Data()), nullptr);

  const auto path = std::filesystem::temp_directory_path() /
                    ("gif-animation-" + std::to_string(getpid()) + ".gif");
  EXPECT_EQ(html::LoadGifImageFromFile(path.string(), nonAnimated), nullptr);
  const Bytes bytes = Frames({5, 5, 5});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  nonAnimated = true;
  auto image = html::LoadGifImageFromFile(path.string(), nonAnimated);
  std::filesystem::remove(path);
  ASSERT_NE(image, nullptr);
  EXPECT_FALSE(nonAnimated);
  EXPECT_EQ(image->NumFrames(), 3);
}

// A file larger than any picture of a page (a sparse file, a wrong name) gives no picture, and
// none of it is read.
TEST(GifLoading, AFileLargerThanAnyPictureIsNotRead) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("gif-too-large-" + std::to_string(getpid()) + ".gif");
  const Bytes bytes = Frames({5, 5});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  std::filesystem::resize_file(path, std::uintmax_t(html::kMaxImageFileBytes) + 1);
  bool nonAnimated = false;
  test_support::LargestAllocation watch;
  const auto image = html::LoadGifImageFromFile(path.string(), nonAnimated);
  const size_t largest = watch.Bytes();
  std::filesystem::remove(path);
  EXPECT_EQ(image, nullptr);
  if (test_support::LargestAllocation::Available()) EXPECT_LT(largest, 1u << 20);
}

TEST_F(ManualClock, WithoutALoopBlockTheSequencePlaysOnce) {
  auto image = Load(Frames({10, 20, 30}));
  now = 1000;
  image->SetAnimate(true);
  EXPECT_EQ(TickAt(*image, 1099), 1);
  EXPECT_EQ(TickAt(*image, 1100), 2);
  EXPECT_EQ(TickAt(*image, 1299), 2);
  EXPECT_EQ(TickAt(*image, 1300), 3);
  EXPECT_EQ(TickAt(*image, 1599), 3);
  EXPECT_TRUE(image->Animate());
  EXPECT_EQ(TickAt(*image, 1600), 3);
  EXPECT_FALSE(image->Animate());
  EXPECT_EQ(TickAt(*image, 5000), 3);
}

TEST_F(ManualClock, LoopCountsRepeatTheSequence) {
  auto playedFrames = [this](const Bytes& bytes, int ticks) {
    auto image = Load(bytes);
    image->SetAnimate(true);
    std::vector<int> shown;
    for (int i = 0; i < ticks && image->Animate(); ++i) shown.push_back(TickAt(*image, now + 1000));
    return shown;
  };
  // A count of 2 plays three times, then the last tick finds the last frame and stops.
  EXPECT_EQ(playedFrames(Frames({1, 1, 1}, {1, 2, 0}), 100),
            (std::vector<int>{2, 3, 1, 2, 3, 1, 2, 3, 3}));
  // 0 plays for ever.
  EXPECT_EQ(playedFrames(Frames({1, 1}, {1, 0, 0}), 50).size(), 50u);
}

TEST_F(ManualClock, TheClockMayWrap) {
  auto image = Load(Frames({10, 10}));
  now = 0xFFFFFFF0u;
  image->SetAnimate(true);
  EXPECT_EQ(TickAt(*image, 0x50), 1);  // 96 ms later
  EXPECT_EQ(TickAt(*image, 0x54), 2);  // 100 ms later
}

TEST_F(ManualClock, OneFrameStopsAtTheFirstTick) {
  auto image = Load(Frames({10}));
  image->SetAnimate(true);
  EXPECT_TRUE(image->Animate());
  EXPECT_EQ(TickAt(*image, 0), 1);
  EXPECT_FALSE(image->Animate());
  // An image without frames has nothing to step.
  html::TGIFImage empty;
  empty.SetAnimate(true);
  EXPECT_EQ(TickAt(empty, 100), 1);
}

TEST(GifFrames, SettingTheCurrentFrameWraps) {
  auto image = Load(Frames({1, 1, 1, 1, 1}));
  image->SetCurrentFrame(0);
  EXPECT_EQ(image->CurrentFrame(), 5);
  image->SetCurrentFrame(6);
  EXPECT_EQ(image->CurrentFrame(), 1);
  image->SetCurrentFrame(3);
  EXPECT_EQ(image->CurrentFrame(), 3);
}

TEST(GifFrames, TheFrameBitmapIsAlwaysTheFirstFrame) {
  auto image = Load(Frames({1, 1, 1}));
  image->SetCurrentFrame(3);
  plat::TBitmap* first = image->GetFrameBitmap();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Width(), 2);
  EXPECT_EQ(first->Height(), 1);
  EXPECT_EQ(first->PixelARGB(1, 0) & kRgb, R);
  EXPECT_FALSE(first->Transparent());
  EXPECT_EQ(image->GetBitmap(), first);
  EXPECT_EQ(image->GetMaskBitmap(), nullptr);

  auto transparent = Load(GifBuilder(2, 1, kTable)
                              .GraphicControl(0, 0, 3)
                              .Image(Row({3, 1}))
                              .Image(Row({2, 2}))
                              .Data());
  plat::TBitmap* mask = transparent->GetMaskBitmap();
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(mask->Width(), 2);
  EXPECT_EQ(mask->PixelARGB(0, 0) & kRgb, 0xFFFFFFu);
  EXPECT_EQ(mask->PixelARGB(1, 0) & kRgb, 0u);
}

TEST(GifDrawing, TheCurrentFrameIsStretchedThroughTheMask) {
  auto image = Load(GifBuilder(2, 1, kTable)
                        .GraphicControl(0, 0, 3)
                        .Image(Row({0, 3}))
                        .Image(Row({1, 1}))
                        .GraphicControl(0, 0, 3)
                        .Image(Row({2, 3}))
                        .Data());
  ASSERT_TRUE(image->IsTransparent());
  Surface surface(4, 2);
  image->Draw(surface.bitmap.Canvas(), 0, 0, 4, 2);
  EXPECT_EQ(surface.Rgb(), (std::vector<uint32_t>{R, R, Grey, Grey, R, R, Grey, Grey}));
  EXPECT_EQ(image->DestRect(), (plat::TRect{0, 0, 4, 2}));

  Surface second(2, 1);
  image->SetCurrentFrame(2);
  image->Draw(second.bitmap.Canvas(), 0, 0, 2, 1);
  EXPECT_EQ(second.Rgb(), (std::vector<uint32_t>{G, G}));
  // The third frame's transparent pixel shows the second frame.
  image->SetCurrentFrame(3);
  Surface third(2, 1);
  image->Draw(third.bitmap.Canvas(), 0, 0, 2, 1);
  EXPECT_EQ(third.Rgb(), (std::vector<uint32_t>{B, G}));

  // The strip draws itself whole, through its mask, wherever a canvas draws a graphic.
  Surface whole(6, 1);
  whole.bitmap.Canvas().StretchDraw({0, 0, 6, 1}, *image->Strip());
  EXPECT_EQ(whole.Rgb(), (std::vector<uint32_t>{R, Grey, G, G, B, G}));

  image->SetVisible(false);
  Surface hidden(2, 1);
  image->Draw(hidden.bitmap.Canvas(), 1, 0, 1, 1);
  EXPECT_EQ(hidden.Rgb(), (std::vector<uint32_t>{Grey, Grey}));
  EXPECT_EQ(image->DestRect(), (plat::TRect{1, 0, 2, 1}));
}

// 60 frames of 640 pixels pass a picture's side: they stand in two rows of the strip.
TEST(GifDrawing, EveryFrameOfAnAnimationInRowsDraws) {
  GifBuilder gif(640, 1, kTable);
  for (int i = 0; i < 60; ++i) gif.Image(Row(Bytes(640, uint8_t(i % 3))));
  auto image = Load(gif.Data());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->NumFrames(), 60);
  EXPECT_EQ(image->FrameRect(52), (plat::TRect{0, 1, 640, 2}));
  const uint32_t colours[] = {R, G, B};
  for (int frame : {1, 2, 51, 52, 53, 60}) {
    image->SetCurrentFrame(frame);
    Surface surface(4, 1);
    image->Draw(surface.bitmap.Canvas(), 0, 0, 4, 1);
    const uint32_t c = colours[(frame - 1) % 3];
    EXPECT_EQ(surface.Rgb(), (std::vector<uint32_t>{c, c, c, c})) << frame;
  }
  plat::TBitmap* first = image->GetFrameBitmap();
  EXPECT_EQ(first->Width(), 640);
  EXPECT_EQ(first->Height(), 1);
  EXPECT_EQ(first->PixelARGB(639, 0) & kRgb, R);
}

TEST(GifDrawing, PaletteScreensStretchWithHalftoning) {
  auto image = Load(Frames({1}));
  Surface surface(2, 1);
  image->Draw(surface.bitmap.Canvas(), 0, 0, 2, 1);
  EXPECT_EQ(surface.bitmap.Canvas().Handle()->StretchBltMode(), plat::COLORONCOLOR);
  html::SetScreenDepth(4);
  image->Draw(surface.bitmap.Canvas(), 0, 0, 2, 1);
  EXPECT_EQ(surface.bitmap.Canvas().Handle()->StretchBltMode(), plat::HALFTONE);
  html::SetScreenDepth(32);
  EXPECT_EQ(surface.Rgb(), (std::vector<uint32_t>{R, R}));
}

TEST(GifCopies, ACopySharesTheStripAndKeepsItsOwnFrame) {
  auto source = Load(Frames({1, 1, 1}));
  source->SetCurrentFrame(3);
  source->SetAnimate(true);
  auto copy = html::TGIFImage::CreateCopy(*source);
  EXPECT_TRUE(copy->IsCopy());
  EXPECT_EQ(copy->Strip(), source->Strip());
  EXPECT_EQ(copy->CurrentFrame(), 1);
  EXPECT_FALSE(copy->Animate());
  EXPECT_EQ(copy->NumFrames(), 3);
  EXPECT_EQ(copy->Frames().size(), 3u);
  // The copy still draws after the picture it came from is gone.
  source.reset();
  copy->SetCurrentFrame(2);
  Surface surface(2, 1);
  copy->Draw(surface.bitmap.Canvas(), 0, 0, 2, 1);
  EXPECT_EQ(surface.Rgb(), (std::vector<uint32_t>{G, G}));
}

}  // namespace
