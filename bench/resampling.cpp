// Resampling and transformation beside pixman in the same run: kernel stretching with Lanczos
// (radius 3) against pixman's separable convolution, a 30-degree rotation with the linear
// resampler against pixman's bilinear affine transform, nearest and draft reduction against
// pixman's nearest and box filters. All pictures are opaque, where the two agree in meaning.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "app/rotate/TurnPicture.h"
#include "bench/support/BenchMain.h"
#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/resampling/Rasterizers.h"
#include "graphics/resampling/Resamplers.h"
#include "graphics/resampling/Transforms.h"

namespace {

using namespace gfx;

// An opaque picture with some structure, made once per size.
void MakePicture(TCustomBitmap32& B, int32_t W, int32_t H) {
  StartEngine();
  B.SetSize(W, H);
  std::mt19937 random(7);
  for (int32_t y = 0; y < H; ++y) {
    TColor32* row = B.RowPtr(y);
    for (int32_t x = 0; x < W; ++x)
      row[x] =
          0xFF000000u | ((x * 7 + y * 3) & 0xFF) << 16 | ((x ^ y) & 0xFF) << 8 | (random() & 0xFF);
  }
}

TCustomBitmap32& Picture(int32_t W, int32_t H) {
  static std::vector<std::unique_ptr<TCustomBitmap32>> cache;
  for (const auto& b : cache)
    if (b->Width() == W && b->Height() == H) return *b;
  cache.push_back(std::make_unique<TCustomBitmap32>());
  MakePicture(*cache.back(), W, H);
  return *cache.back();
}

// ---- Ours ----

void KernelResample(benchmark::State& state, int32_t sw, int32_t sh, int32_t dw, int32_t dh) {
  TCustomBitmap32& src = Picture(sw, sh);
  TCustomBitmap32 dst;
  dst.SetSize(dw, dh);
  TLanczosKernel lanczos;
  for (auto _ : state)
    Resample(dst, dst.BoundsRect(), dst.BoundsRect(), src, src.BoundsRect(), lanczos, dmOpaque, {});
  benchmark::DoNotOptimize(dst.Pixel(dw / 2, dh / 2));
}

void BM_KernelResampleDown(benchmark::State& state) {
  KernelResample(state, 4000, 3000, 1000, 750);
}
void BM_KernelResampleUp(benchmark::State& state) {
  KernelResample(state, 1000, 750, 4000, 3000);
}

void BM_TransformLinear(benchmark::State& state) {
  TCustomBitmap32& src = Picture(4000, 3000);
  src.SetResamplerClassName("TLinearResampler");
  TCustomBitmap32 dst;
  dst.SetSize(4000, 3000);
  TAffineTransformation t;
  t.SetSrcRect(FloatRect(src.BoundsRect()));
  t.Rotate(2000, 1500, 30);
  for (auto _ : state) Transform(dst, src, t);
  src.SetResamplerClassName("TNearestResampler");
  benchmark::DoNotOptimize(dst.Pixel(2000, 1500));
}

// The rotation dialog's turn, premultiplied bilinear like the peer, on the same geometry.
void BM_DialogTurn(benchmark::State& state) {
  TCustomBitmap32& picture = Picture(4000, 3000);
  TBitmap32 source, canvas;
  picture.CopyMapTo(source);
  canvas.SetSize(4000, 3000);
  for (auto _ : state) app::DrawTurned(canvas, source, 0, 0, 30, false);
  benchmark::DoNotOptimize(canvas.Pixel(2000, 1500));
}

void Stretch(benchmark::State& state, const char* resampler, int32_t sw, int32_t sh, int32_t dw,
             int32_t dh) {
  TCustomBitmap32& src = Picture(sw, sh);
  src.SetResamplerClassName(resampler);
  TCustomBitmap32 dst;
  dst.SetSize(dw, dh);
  for (auto _ : state)
    StretchTransfer(dst, dst.BoundsRect(), dst.BoundsRect(), src, src.BoundsRect(), src.Resampler(),
                    dmOpaque, {});
  src.SetResamplerClassName("TNearestResampler");
  benchmark::DoNotOptimize(dst.Pixel(dw / 2, dh / 2));
}

void BM_NearestStretch(benchmark::State& state) {
  Stretch(state, "TNearestResampler", 4000, 3000, 1600, 1200);
}
void BM_DraftReduce(benchmark::State& state) {
  Stretch(state, "TDraftResampler", 6000, 4000, 1600, 1067);
}

// ---- pixman ----

pixman_fixed_t ToFixed(double v) {
  return pixman_double_to_fixed(v);
}

// Composites the whole source scaled into the destination with a filter set up by Setup.
template <class Setup>
void PixmanScale(benchmark::State& state, int32_t sw, int32_t sh, int32_t dw, int32_t dh,
                 Setup setup) {
  TCustomBitmap32& picture = Picture(sw, sh);
  std::vector<uint32_t> target(size_t(dw) * dh);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, sw, sh, picture.Bits(), sw * 4);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, dw, dh, target.data(), dw * 4);
  pixman_transform_t transform;
  pixman_transform_init_scale(&transform, ToFixed(double(sw) / dw), ToFixed(double(sh) / dh));
  pixman_image_set_transform(src, &transform);
  setup(src, double(sw) / dw, double(sh) / dh);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, dw, dh);
  benchmark::DoNotOptimize(target[target.size() / 2]);
  pixman_image_unref(dst);
  pixman_image_unref(src);
}

void SeparableFilter(pixman_image_t* src, double sx, double sy, pixman_kernel_t reconstruct,
                     pixman_kernel_t sample) {
  int n = 0;
  pixman_fixed_t* params = pixman_filter_create_separable_convolution(
      &n, ToFixed(sx), ToFixed(sy), reconstruct, reconstruct, sample, sample, 4, 4);
  pixman_image_set_filter(src, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
  free(params);
}

void BM_PixmanLanczosDown(benchmark::State& state) {
  PixmanScale(state, 4000, 3000, 1000, 750, [](pixman_image_t* src, double sx, double sy) {
    SeparableFilter(src, sx, sy, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_LANCZOS3);
  });
}
void BM_PixmanLanczosUp(benchmark::State& state) {
  PixmanScale(state, 1000, 750, 4000, 3000, [](pixman_image_t* src, double sx, double sy) {
    SeparableFilter(src, sx, sy, PIXMAN_KERNEL_LANCZOS3, PIXMAN_KERNEL_IMPULSE);
  });
}
void BM_PixmanNearestScale(benchmark::State& state) {
  PixmanScale(state, 4000, 3000, 1600, 1200, [](pixman_image_t* src, double, double) {
    pixman_image_set_filter(src, PIXMAN_FILTER_NEAREST, nullptr, 0);
  });
}
void BM_PixmanBoxReduce(benchmark::State& state) {
  PixmanScale(state, 6000, 4000, 1600, 1067, [](pixman_image_t* src, double sx, double sy) {
    SeparableFilter(src, sx, sy, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_BOX);
  });
}

void BM_PixmanBilinearRotate(benchmark::State& state) {
  TCustomBitmap32& picture = Picture(4000, 3000);
  std::vector<uint32_t> target(size_t(4000) * 3000);
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, 4000, 3000, picture.Bits(), 4000 * 4);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, 4000, 3000, target.data(), 16000);
  // Destination to source: about the centre by -30 degrees (the inverse of ours).
  pixman_transform_t t;
  pixman_transform_init_translate(&t, ToFixed(-2000), ToFixed(-1500));
  const double a = -30 * std::numbers::pi / 180;
  pixman_transform_rotate(&t, nullptr, ToFixed(std::cos(a)), ToFixed(std::sin(a)));
  pixman_transform_translate(&t, nullptr, ToFixed(2000), ToFixed(1500));
  pixman_image_set_transform(src, &t);
  pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : state)
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, 4000, 3000);
  benchmark::DoNotOptimize(target[target.size() / 2]);
  pixman_image_unref(dst);
  pixman_image_unref(src);
}

BENCHMARK(BM_KernelResampleDown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanLanczosDown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KernelResampleUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanLanczosUp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransformLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanBilinearRotate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DialogTurn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NearestStretch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanNearestScale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DraftReduce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanBoxReduce)->Unit(benchmark::kMillisecond);

const bench::PeerComparison lanczosDown("KernelResample_Lanczos3_Down", "BM_KernelResampleDown",
                                        "BM_PixmanLanczosDown", "1.0");
const bench::PeerComparison lanczosUp("KernelResample_Lanczos3_Up", "BM_KernelResampleUp",
                                      "BM_PixmanLanczosUp", "1.0");
const bench::PeerComparison rotate("Transform_Linear_Rotate30", "BM_TransformLinear",
                                   "BM_PixmanBilinearRotate", "1.2");
const bench::PeerComparison dialogTurn("RotateDialog_Turn30", "BM_DialogTurn",
                                       "BM_PixmanBilinearRotate");
const bench::PeerComparison nearest("StretchNearest_4000x3000_to_1600x1200", "BM_NearestStretch",
                                    "BM_PixmanNearestScale", "1.0");
const bench::PeerComparison draft("DraftResample_6000x4000_to_1600x1067", "BM_DraftReduce",
                                  "BM_PixmanBoxReduce");

}  // namespace
