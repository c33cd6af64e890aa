// Random GIFs against a model of what the decoder must make of them: frame properties, every
// composed frame and its mask (cut to the screen, transparent pixels, disposal, interlacing),
// each frame as drawn, play counts and delays, and the frame shown at each tick of a randomly
// stepped clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "GifTestStreams.h"
#include "html/images/GifAnimation.h"
#include "html/images/GifFrames.h"

namespace {

using giftest::Bytes;
using giftest::Colors;

struct ModelFrame {
  giftest::ImageBlock block;
  Colors table;  // the table the frame uses, as written
  bool control = false;
  int disposal = 0, delay = 0, transparent = -1;
};

struct ModelGif {
  int width = 0, height = 0;
  std::vector<ModelFrame> frames;
  int loopCount = -1;
  Bytes bytes;
};

// Rows in the order an image of height rows stores them.
std::vector<int> StoredRowOrder(int rows, bool interlaced) {
  std::vector<int> order;
  if (!interlaced) {
    for (int r = 0; r < rows; ++r) order.push_back(r);
    return order;
  }
  for (auto [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
    for (int r = first; r < rows; r += step) order.push_back(r);
  return order;
}

Colors RandomTable(std::mt19937& random, int bits) {
  Colors table(size_t(1) << bits);
  for (uint32_t& c : table) c = random() & 0xFFFFFF;
  return table;
}

ModelGif RandomGif(std::mt19937& random) {
  ModelGif gif;
  gif.width = 1 + int(random() % 40);
  gif.height = 1 + int(random() % 40);
  const Colors global = random() % 4 ? RandomTable(random, 1 + int(random() % 8)) : Colors{};
  giftest::GifBuilder builder(gif.width, gif.height, global);
  const int frames = 1 + int(random() % 6);
  for (int i = 0; i < frames; ++i) {
    if (random() % 5 == 0) {
      gif.loopCount = int(random() % 4);
      builder.Netscape({1, uint8_t(gif.loopCount), 0});
    }
    ModelFrame frame;
    frame.control = random() % 4 != 0;
    if (frame.control) {
      frame.disposal = int(random() % 8);
      frame.delay = int(random() % 40);
      frame.transparent = random() % 2 ? int(random() % 20) : -1;
      builder.GraphicControl(frame.disposal, frame.delay, frame.transparent);
    }
    giftest::ImageBlock& block = frame.block;
    block.left = int(random() % uint32_t(gif.width + 4));
    block.top = int(random() % uint32_t(gif.height + 3));
    block.width = 1 + int(random() % uint32_t(gif.width + 6));
    block.height = 1 + int(random() % uint32_t(gif.height + 6));
    block.interlaced = random() % 3 == 0;
    if (global.empty() || random() % 3 == 0)
      block.localTable = RandomTable(random, 1 + int(random() % 8));
    frame.table = block.localTable.empty() ? global : block.localTable;
    int bits = 1;
    while ((size_t(1) << bits) < frame.table.size()) ++bits;
    // Sometimes codes beyond the table's colours.
    block.lzw.minCodeSize = std::max(2, std::min(8, bits + int(random() % 2)));
    const uint32_t limit =
        random() % 4 ? uint32_t(frame.table.size()) : 1u << block.lzw.minCodeSize;
    block.indices.resize(size_t(block.width) * size_t(block.height));
    for (uint8_t& k : block.indices) k = uint8_t(random() % limit);
    builder.Image(block);
    gif.frames.push_back(frame);
  }
  if (random() % 2) builder.Trailer();
  gif.bytes = builder.Data();
  return gif;
}

// One composed frame: 0xRRGGBB pixels and, with transparency, the mask (true: transparent).
struct Screen {
  std::vector<uint32_t> pixels;
  std::vector<bool> clear;
};

// The frames as the decoder must compose them, each onto the one before.
std::vector<Screen> Compose(const ModelGif& gif) {
  const bool transparent = std::any_of(gif.frames.begin(), gif.frames.end(),
                                       [](const ModelFrame& f) { return f.transparent >= 0; });
  const size_t size = size_t(gif.width) * size_t(gif.height);
  Screen screen{std::vector<uint32_t>(size, 0), std::vector<bool>(transparent ? size : 0, true)};
  std::vector<Screen> out;
  for (size_t i = 0; i < gif.frames.size(); ++i) {
    const ModelFrame& f = gif.frames[i];
    const giftest::ImageBlock& s = f.block;
    // The rows come in stored order, placed as for the image's own height; rows below the
    // screen are dropped.
    const int rows = std::min(s.height, gif.height);
    const std::vector<int> placed = StoredRowOrder(s.height, s.interlaced);
    std::vector<const uint8_t*> rowData(static_cast<size_t>(rows));
    for (int j = 0; j < s.height; ++j)
      if (placed[size_t(j)] < rows)
        rowData[size_t(placed[size_t(j)])] = s.indices.data() + size_t(j) * size_t(s.width);
    // Only what lies inside the screen counts.
    const auto inside = [&](int r, int c) {
      return s.top + r < gif.height && s.left + c < gif.width;
    };
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < s.width; ++c) {
        if (!inside(r, c)) continue;
        const size_t at = size_t(s.top + r) * size_t(gif.width) + size_t(s.left + c);
        const int k = rowData[size_t(r)][c];
        if (k != f.transparent) {
          screen.pixels[at] = size_t(k) < f.table.size() ? f.table[size_t(k)] : 0;
          if (transparent) screen.clear[at] = false;
        } else if (i == 0) {
          screen.pixels[at] = 0;
          screen.clear[at] = true;
        }
      }
    out.push_back(screen);
    if (transparent && (f.disposal & 3) >= 2)
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < s.width; ++c)
          if (inside(r, c))
            screen.clear[size_t(s.top + r) * size_t(gif.width) + size_t(s.left + c)] = true;
  }
  return out;
}

TEST(GifModel, RandomGifsDecodeAndComposeAsTheModelSays) {
  std::mt19937 random(1607);
  for (int n = 0; n < 300; ++n) {
    const ModelGif model = RandomGif(random);
    SCOPED_TRACE(testing::Message() << "gif " << n);
    html::TGif gif;
    plat::TReadOnlyMemoryStream stream(model.bytes.data(), int64_t(model.bytes.size()));
    ASSERT_NO_THROW(gif.LoadFromStream(stream));
    const int frames = int(model.frames.size());
    ASSERT_EQ(gif.GetImageCount(), frames);
    EXPECT_EQ(gif.LoopCount(), model.loopCount);
    for (int i = 0; i < frames; ++i) {
      const ModelFrame& f = model.frames[size_t(i)];
      EXPECT_EQ(gif.GetImageDelay(i), std::max(1, f.delay));
      EXPECT_EQ(gif.GetImageDisposal(i), f.disposal & 3);
      EXPECT_EQ(gif.GetTransparentIndex(i), f.transparent);
      EXPECT_EQ(gif.GetImageHeight(i), std::min(f.block.height, model.height));
    }

    std::unique_ptr<plat::TBitmap> mask;
    const std::unique_ptr<plat::TBitmap> strip = gif.BuildFramesBitmap(mask);
    const std::vector<Screen> screens = Compose(model);
    ASSERT_EQ(mask != nullptr, !screens.back().clear.empty());
    int wrong = 0;
    for (int i = 0; i < frames; ++i) {
      const plat::TRect cell = html::GifFrameCell(i, model.width, model.height, frames);
      for (int y = 0; y < model.height; ++y)
        for (int x = 0; x < model.width; ++x) {
          const size_t at = size_t(y) * size_t(model.width) + size_t(x);
          const Screen& s = screens[size_t(i)];
          wrong += (strip->PixelARGB(cell.Left + x, cell.Top + y) & 0xFFFFFF) != s.pixels[at];
          if (mask)
            wrong +=
                ((mask->PixelARGB(cell.Left + x, cell.Top + y) & 0xFFFFFF) != 0) != s.clear[at];
        }
    }
    EXPECT_EQ(wrong, 0);

    // The picture the page uses: play count, delays, frames, and its first frame.
    bool nonAnimated = false;
    stream.SetPosition(0);
    const std::unique_ptr<html::TGIFImage> image =
        html::LoadGifImageFromStream(nonAnimated, stream);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(nonAnimated, frames < 2);
    EXPECT_EQ(image->NumFrames(), frames);
    EXPECT_EQ(image->NumIterations(), model.loopCount < 0    ? 1
                                      : model.loopCount == 0 ? 0
                                                             : model.loopCount + 1);
    EXPECT_EQ(image->IsTransparent(), mask != nullptr);
    for (int i = 0; i < frames; ++i)
      EXPECT_EQ(image->Frames()[size_t(i)].Delay,
                std::max(30, 10 * std::max(1, model.frames[size_t(i)].delay)));
    plat::TBitmap* first = image->GetFrameBitmap();
    ASSERT_EQ(first->Width(), model.width);
    for (int y = 0; y < model.height; ++y)
      for (int x = 0; x < model.width; ++x)
        wrong += (first->PixelARGB(x, y) & 0xFFFFFF) !=
                 screens[0].pixels[size_t(y) * size_t(model.width) + size_t(x)];
    EXPECT_EQ(wrong, 0);

    // Each frame drawn at its size over grey: its pixels, and the grey where it is transparent.
    for (int i = 0; i < frames; ++i) {
      plat::TBitmap surface;
      surface.SetPixelFormat(plat::pf32bit);
      surface.SetSize(model.width, model.height);
      surface.Canvas().Brush().SetColor(0x808080);
      surface.Canvas().FillRect({0, 0, model.width, model.height});
      image->SetCurrentFrame(i + 1);
      image->Draw(surface.Canvas(), 0, 0, model.width, model.height);
      const Screen& s = screens[size_t(i)];
      for (int y = 0; y < model.height; ++y)
        for (int x = 0; x < model.width; ++x) {
          const size_t at = size_t(y) * size_t(model.width) + size_t(x);
          const uint32_t shown = !s.clear.empty() && s.clear[at] ? 0x808080 : s.pixels[at];
          wrong += (surface.PixelARGB(x, y) & 0xFFFFFF) != shown;
        }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(GifModel, FramesAdvanceAsTheModelClockSays) {
  std::mt19937 random(1611);
  uint32_t now = 0;
  html::SetAnimationClock([&] { return now; });
  for (int n = 0; n < 150; ++n) {
    ModelGif model = RandomGif(random);
    plat::TReadOnlyMemoryStream stream(model.bytes.data(), int64_t(model.bytes.size()));
    bool nonAnimated = false;
    const std::unique_ptr<html::TGIFImage> image =
        html::LoadGifImageFromStream(nonAnimated, stream);
    ASSERT_NE(image, nullptr);
    const int frames = image->NumFrames(), iterations = image->NumIterations();
    std::vector<uint32_t> delays;
    for (const ModelFrame& f : model.frames)
      delays.push_back(uint32_t(std::max(30, 10 * std::max(1, f.delay))));

    // Model state: frame shown, animating, play, time of the last change, interval.
    now = n % 3 == 0 ? 0xFFFFFFFFu - uint32_t(random() % 500) : uint32_t(random());
    int frame = 1, play = 1;
    bool animate = true;
    uint32_t last = 0, interval = 0;
    if (n % 7 == 0) {  // a frame pinned before the animation starts
      frame = 1 + int(random() % uint32_t(frames));
      image->SetCurrentFrame(frame);
    }
    image->SetAnimate(true);
    if (frames > 1) interval = std::max(delays[size_t(frame - 1)], 1u), last = now;
    for (int tick = 0; tick < 60; ++tick) {
      now += uint32_t(random() % 160);
      image->AdvanceFrameIfDue(nullptr);
      if (animate && now - last >= interval) {
        last = now;
        if (frame == frames && iterations >= 1 && iterations <= play) {
          animate = false;
        } else {
          if (frame == frames) ++play;
          frame = frame + 1 > frames ? 1 : frame + 1;
          interval = std::max(delays[size_t(frame - 1)], 1u);
        }
      }
      ASSERT_EQ(image->CurrentFrame(), frame) << "gif " << n << " tick " << tick;
      ASSERT_EQ(image->Animate(), animate) << "gif " << n << " tick " << tick;
      ASSERT_EQ(image->CurrentIteration(), play) << "gif " << n << " tick " << tick;
    }
  }
  html::SetAnimationClock(nullptr);
}

}  // namespace
