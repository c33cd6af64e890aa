// Copy of a 6000 x 4000 picture to the clipboard beside a plain copy of its pixels: the formats
// other programs take are made when they ask, so Copy costs about one copy of the pixels. The
// PNG that a program asking for it gets is measured against the copy too: the window waits for
// it, so it is held to fifteen copies' worth.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

#include "app/ProgramStart.h"
#include "app/road/ClipboardTransfer.h"
#include "bench/support/BenchMain.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/windows/TestSeams.h"

namespace {

constexpr int32_t kWidth = 6000, kHeight = 4000;
constexpr size_t kBytes = size_t(kWidth) * kHeight * 4;

// A photograph-like picture: gradients with noise, opaque as the copied composition is.
const gfx::TBitmap32& Picture() {
  static gfx::TBitmap32 picture;
  if (picture.Empty()) {
    app::StartProgram();
    // Stopped before the static objects go, as the program's end does.
    std::atexit([] { app::StopProgram(); });
    picture.SetSize(kWidth, kHeight);
    std::mt19937 random(7);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        const uint32_t r = (x * 255 / kWidth + random() % 16) & 0xFF;
        const uint32_t g = (y * 255 / kHeight + random() % 16) & 0xFF;
        picture.SetPixel(x, y, 0xFF000000u | r << 16 | g << 8 | ((r + g) / 2));
      }
  }
  return picture;
}

// A copy that outlives the call, as the clipboard's does: new memory each time.
void BM_CopyPixels(benchmark::State& state) {
  const gfx::TBitmap32& picture = Picture();
  for (auto _ : state) {
    const auto copy = std::make_unique_for_overwrite<uint32_t[]>(kBytes / 4);
    std::memcpy(copy.get(), picture.Bits(), kBytes);
    benchmark::DoNotOptimize(copy.get());
  }
}
BENCHMARK(BM_CopyPixels)->Unit(benchmark::kMillisecond);

void BM_CopyToClipboard(benchmark::State& state) {
  const gfx::TBitmap32& picture = Picture();
  for (auto _ : state) app::CopyPictureToClipboard(picture);
}
BENCHMARK(BM_CopyToClipboard)->Unit(benchmark::kMillisecond);

// What a program that asks for the PNG waits for, once per copy.
void BM_PngAskedFor(benchmark::State& state) {
  const gfx::TBitmap32& picture = Picture();
  for (auto _ : state) {
    state.PauseTiming();
    app::CopyPictureToClipboard(picture);
    state.ResumeTiming();
    benchmark::DoNotOptimize(plat::ClipboardData("image/png").size());
  }
}
BENCHMARK(BM_PngAskedFor)->Unit(benchmark::kMillisecond)->Iterations(2);

const bench::PeerComparison copy("clipboard_copy_vs_pixel_copy", "BM_CopyToClipboard",
                                 "BM_CopyPixels", "1.5");
const bench::PeerComparison png("clipboard_png_asked_vs_copy", "BM_PngAskedFor/iterations:2",
                                "BM_CopyToClipboard", "15");

}  // namespace
