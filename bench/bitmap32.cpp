// The bitmap's whole-picture operations against a plain copy of the same bytes, and antialiased
// text rendering against plain text output on the canvas.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/support/BenchMain.h"
#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "graphics/core/Blend.h"
#include "platform/drawing/Graphics.h"
#include "platform/runtime/Classes.h"

namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;
constexpr std::size_t kBytes = std::size_t{kWidth} * kHeight * 4;

gfx::TCustomBitmap32& Picture() {
  static gfx::TCustomBitmap32 picture;
  if (picture.Empty()) {
    gfx::StartEngine();
    picture.SetSize(kWidth, kHeight);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) picture.SetPixel(x, y, uint32_t(x * 2654435761u ^ y));
  }
  return picture;
}

void BM_MemcpyPicture(benchmark::State& state) {
  std::vector<uint8_t> source(kBytes, 1), target(kBytes);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kBytes);
    benchmark::DoNotOptimize(target.data());
  }
}
BENCHMARK(BM_MemcpyPicture)->Unit(benchmark::kMillisecond);

void BM_SaveToStream(benchmark::State& state) {
  plat::TMemoryStream stream;
  stream.SetSize(static_cast<int64_t>(kBytes + 54));
  for (auto _ : state) {
    stream.SetPosition(0);
    Picture().SaveToStream(stream, false);
  }
}
BENCHMARK(BM_SaveToStream)->Unit(benchmark::kMillisecond);

void BM_LoadFromStream(benchmark::State& state) {
  plat::TMemoryStream stream;
  Picture().SaveToStream(stream, false);
  gfx::TCustomBitmap32 loaded;
  loaded.SetSize(kWidth, kHeight);
  for (auto _ : state) {
    stream.SetPosition(0);
    loaded.LoadFromStream(stream);
  }
}
BENCHMARK(BM_LoadFromStream)->Unit(benchmark::kMillisecond);

void BM_SetAllAlpha(benchmark::State& state) {
  for (auto _ : state) Picture().SetAllAlpha(static_cast<uint8_t>(state.iterations()));
}
BENCHMARK(BM_SetAllAlpha)->Unit(benchmark::kMillisecond);

void BM_FlipHorz(benchmark::State& state) {
  for (auto _ : state) Picture().FlipHorz();
}
BENCHMARK(BM_FlipHorz)->Unit(benchmark::kMillisecond);

void BM_Rotate90(benchmark::State& state) {
  for (auto _ : state) Picture().Rotate90();
}
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);

const std::string kText = "Copyright 2026 Stamp";  // 20 characters

void PrepareTextTarget(gfx::TBitmap32& b) {
  b.SetSize(1000, 120);
  b.Clear();
  b.Font().SetName("DejaVu Sans");
  b.Font().SetSize(40);
}

// Until the resampling module registers its transfer: the blend of a whole source block, which
// is all RenderText asks of it.
void BlendBlockTransfer(gfx::TCustomBitmap32& dst, int32_t dstX, int32_t dstY, const gfx::TRect&,
                        gfx::TCustomBitmap32& src, const gfx::TRect&, gfx::TDrawMode,
                        const gfx::TPixelCombineEvent&) {
  const int32_t w = std::min(src.Width(), dst.Width() - dstX);
  for (int32_t y = 0; y < src.Height() && y + dstY < dst.Height(); ++y)
    gfx::BlendLineEx(src.RowPtr(y), dst.PixelPtr(dstX, y + dstY), w, src.MasterAlpha());
  gfx::EMMS();
}

void BM_RenderTextLevel4(benchmark::State& state) {
  gfx::StartEngine();
  if (!gfx::ResamplerLink().BlockTransfer) gfx::ResamplerLink().BlockTransfer = BlendBlockTransfer;
  gfx::TBitmap32 b;
  PrepareTextTarget(b);
  for (auto _ : state) b.RenderText(10, 10, kText, 4, 0xFF204080);
}
BENCHMARK(BM_RenderTextLevel4)->Unit(benchmark::kMillisecond);

void BM_CanvasTextOut(benchmark::State& state) {
  gfx::StartEngine();
  gfx::TBitmap32 b;
  PrepareTextTarget(b);
  b.Canvas().Font().Assign(b.Font());
  b.Canvas().Brush().SetStyle(plat::bsClear);
  for (auto _ : state) b.Canvas().TextOut(10, 10, kText);
}
BENCHMARK(BM_CanvasTextOut)->Unit(benchmark::kMillisecond);

bench::PeerComparison saveRatio("bitmap32_save", "BM_SaveToStream", "BM_MemcpyPicture", "-");
bench::PeerComparison loadRatio("bitmap32_load", "BM_LoadFromStream", "BM_MemcpyPicture", "-");
bench::PeerComparison alphaRatio("bitmap32_set_all_alpha", "BM_SetAllAlpha", "BM_MemcpyPicture",
                                 "-");
bench::PeerComparison flipRatio("bitmap32_flip_horz", "BM_FlipHorz", "BM_MemcpyPicture", "-");
bench::PeerComparison rotateRatio("bitmap32_rotate90", "BM_Rotate90", "BM_MemcpyPicture", "-");
bench::PeerComparison textRatio("bitmap32_render_text", "BM_RenderTextLevel4", "BM_CanvasTextOut",
                                "-");

}  // namespace
