// Drawing a layer onto a picture through per-pixel combine callbacks, beside pixman's
// compositing operators on the same opaque pictures.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <memory>
#include <random>

#include "app/colors/ColorInteraction.h"
#include "bench/support/BenchMain.h"
#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/filters/BlendModes.h"

namespace {

constexpr int Width = 4000, Height = 3000;

void FillOpaque(gfx::TColor32* pixels, unsigned seed) {
  std::mt19937 random(seed);
  for (int64_t i = 0; i < int64_t(Width) * Height; ++i) pixels[i] = random() | 0xFF000000u;
}

// The layer and the picture, made once for every benchmark of the program.
struct Pictures {
  gfx::TCustomBitmap32 layer, picture;
  Pictures() {
    gfx::StartEngine();
    layer.SetSize(Width, Height);
    picture.SetSize(Width, Height);
    FillOpaque(layer.Bits(), 1);
    FillOpaque(picture.Bits(), 2);
    layer.SetDrawMode(gfx::dmCustom);
  }
};

Pictures& Shared() {
  static Pictures pictures;
  return pictures;
}

void DrawWith(benchmark::State& state, gfx::TPixelCombineEvent combine) {
  Pictures& p = Shared();
  p.layer.OnPixelCombine = std::move(combine);
  for (auto _ : state) {
    p.layer.DrawTo(p.picture, 0, 0);
    benchmark::DoNotOptimize(p.picture.Bits());
  }
  state.SetItemsProcessed(state.iterations() * int64_t(Width) * Height);
}

void DrawBlendMode(benchmark::State& state, int mode) {
  gfx::TPixelCombineEvent combine;
  gfx::SelectBlendModeCombiner(mode, combine);
  DrawWith(state, std::move(combine));
}

void BM_Multiply(benchmark::State& state) {
  DrawBlendMode(state, 1);
}
void BM_Screen(benchmark::State& state) {
  DrawBlendMode(state, 2);
}
void BM_Overlay(benchmark::State& state) {
  DrawBlendMode(state, 3);
}
void BM_AddHandler(benchmark::State& state) {
  DrawWith(state, app::MainWindowInteraction().Handler(app::ColorModeAdd));
}

// pixman on its own copies of the same pixels.
struct PixmanPictures {
  std::unique_ptr<uint32_t[]> srcBits{new uint32_t[size_t(Width) * Height]};
  std::unique_ptr<uint32_t[]> dstBits{new uint32_t[size_t(Width) * Height]};
  pixman_image_t* src;
  pixman_image_t* dst;
  PixmanPictures() {
    FillOpaque(srcBits.get(), 1);
    FillOpaque(dstBits.get(), 2);
    src = pixman_image_create_bits(PIXMAN_a8r8g8b8, Width, Height, srcBits.get(), Width * 4);
    dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, Width, Height, dstBits.get(), Width * 4);
  }
  ~PixmanPictures() {
    pixman_image_unref(src);
    pixman_image_unref(dst);
  }
};

void Composite(benchmark::State& state, pixman_op_t op) {
  static PixmanPictures p;
  for (auto _ : state) {
    pixman_image_composite32(op, p.src, nullptr, p.dst, 0, 0, 0, 0, 0, 0, Width, Height);
    benchmark::DoNotOptimize(p.dstBits.get());
  }
  state.SetItemsProcessed(state.iterations() * int64_t(Width) * Height);
}

void BM_PixmanMultiply(benchmark::State& state) {
  Composite(state, PIXMAN_OP_MULTIPLY);
}
void BM_PixmanScreen(benchmark::State& state) {
  Composite(state, PIXMAN_OP_SCREEN);
}
void BM_PixmanOverlay(benchmark::State& state) {
  Composite(state, PIXMAN_OP_OVERLAY);
}
void BM_PixmanAdd(benchmark::State& state) {
  Composite(state, PIXMAN_OP_ADD);
}

BENCHMARK(BM_Multiply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanMultiply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Screen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Overlay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanOverlay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddHandler)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanAdd)->Unit(benchmark::kMillisecond);

static bench::PeerComparison multiply("blendmode_multiply", "BM_Multiply", "BM_PixmanMultiply",
                                      "2.0");
static bench::PeerComparison screen("blendmode_screen", "BM_Screen", "BM_PixmanScreen", "2.0");
static bench::PeerComparison overlay("blendmode_overlay", "BM_Overlay", "BM_PixmanOverlay", "2.0");
static bench::PeerComparison add("handler_add", "BM_AddHandler", "BM_PixmanAdd", "2.0");

}  // namespace
