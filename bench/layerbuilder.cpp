// The layer builder's preview of a 3000 x 2000 layer masked by a 300 x 200 overlay at opacity
// 125, rebuilt on every control change, beside pixman doing the same work (copy the picture,
// scale the overlay over a fresh mask at that opacity, brightness into alpha); and the builder
// opened with both pictures remembered and all four filters on, held to half a second.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/layerbuilder/RGBALoaderDialog.h"
#include "bench/support/BenchMain.h"
#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/windows/Application.h"

namespace {

constexpr int kWidth = 3000, kHeight = 2000, kOverlayWidth = 300, kOverlayHeight = 200;

void Start() {
  static const bool started = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    plat::Application().Initialize();
    gfx::StartEngine();
    return true;
  }();
  (void)started;
}

void Fill(gfx::TBitmap32& b, int w, int h, uint32_t seed) {
  b.SetSize(w, h);
  uint32_t s = seed;
  for (int y = 0; y < h; ++y) {
    gfx::TColor32* row = b.RowPtr(y);
    for (int x = 0; x < w; ++x) row[x] = 0xFF000000u | ((s = s * 1664525u + 1013904223u) >> 8);
  }
}

// Made for each benchmark and gone before the program ends, while the platform still stands.
std::unique_ptr<app::TRGBALoaderForm> Builder() {
  Start();
  auto b = std::make_unique<app::TRGBALoaderForm>(nullptr);
  Fill(b->ImgRGB->Bitmap(), kWidth, kHeight, 1);
  Fill(b->ImgAlpha->Bitmap(), kOverlayWidth, kOverlayHeight, 2);
  b->RadioGroup->SetItemIndex(0);
  return b;
}

void BM_BuilderPreview(benchmark::State& state) {
  const auto builder = Builder();
  app::TRGBALoaderForm& b = *builder;
  int opacity = 125;
  for (auto _ : state) {
    opacity = opacity == 125 ? 124 : 125;
    b.OverlayGaugeBar->SetPosition(opacity);  // one preview
  }
  benchmark::DoNotOptimize(b.ResultLayer->Bitmap().Bits());
}
BENCHMARK(BM_BuilderPreview)->Unit(benchmark::kMillisecond);

void BM_PixmanPreview(benchmark::State& state) {
  gfx::TBitmap32 background, overlay;
  Fill(background, kWidth, kHeight, 1);
  Fill(overlay, kOverlayWidth, kOverlayHeight, 2);
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, background.Bits(), kWidth * 4);
  pixman_image_t* over = pixman_image_create_bits(PIXMAN_a8r8g8b8, kOverlayWidth, kOverlayHeight,
                                                  overlay.Bits(), kOverlayWidth * 4);
  pixman_transform_t scale;
  pixman_transform_init_scale(&scale, pixman_double_to_fixed(double(kOverlayWidth) / kWidth),
                              pixman_double_to_fixed(double(kOverlayHeight) / kHeight));
  pixman_image_set_transform(over, &scale);
  pixman_image_set_filter(over, PIXMAN_FILTER_NEAREST, nullptr, 0);
  const pixman_color_t opacity{0, 0, 0, 125 * 257};
  pixman_image_t* solid = pixman_image_create_solid_fill(&opacity);
  for (auto _ : state) {
    std::vector<uint32_t> layer(size_t(kWidth) * kHeight), mask(layer.size());
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, layer.data(), kWidth * 4);
    pixman_image_t* m =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, mask.data(), kWidth * 4);
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    pixman_image_composite32(PIXMAN_OP_OVER, over, solid, m, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    for (size_t i = 0; i < layer.size(); ++i) {
      const uint32_t c = mask[i];
      const uint32_t a = (61 * (c >> 16 & 255) + 174 * (c >> 8 & 255) + 21 * (c & 255)) >> 8;
      layer[i] = (layer[i] & 0xFFFFFF) | a << 24;
    }
    benchmark::DoNotOptimize(layer.data());
    pixman_image_unref(m);
    pixman_image_unref(dst);
  }
  pixman_image_unref(solid);
  pixman_image_unref(over);
  pixman_image_unref(src);
}
BENCHMARK(BM_PixmanPreview)->Unit(benchmark::kMillisecond);

// Opening with both pictures remembered and every filter on, as the main window prepares it.
void BM_BuilderOpen(benchmark::State& state) {
  const auto builder = Builder();
  app::TRGBALoaderForm& b = *builder;
  const std::string folder = "/tmp/pixstamp-bench-builder-";
  gfx::TBitmap32 picture;
  Fill(picture, kWidth, kHeight, 3);
  picture.SaveToFile(folder + "fill.bmp");
  Fill(picture, kOverlayWidth, kOverlayHeight, 4);
  picture.SaveToFile(folder + "mask.bmp");
  Fill(picture, 1600, 1000, 5);  // the main window's picture
  for (auto _ : state)
    b.PrepareForUse({&picture, folder + "fill.bmp", folder + "mask.bmp", {true, true, true, true}});
  std::remove((folder + "fill.bmp").c_str());
  std::remove((folder + "mask.bmp").c_str());
}
BENCHMARK(BM_BuilderOpen)->Unit(benchmark::kMillisecond);

const bench::PeerComparison preview("layerbuilder_preview", "BM_BuilderPreview", "BM_PixmanPreview",
                                    "3");
const bench::TimeLimit open("layerbuilder_open_6mp", "BM_BuilderOpen", 0.5);

}  // namespace
