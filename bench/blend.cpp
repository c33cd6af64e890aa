// The blend, merge, combine and colour-add line routines on 1 M pixels, per processor tier, against
// pixman's OVER and ADD on a8r8g8b8 in the same run.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <random>
#include <string>
#include <vector>

#include "bench/support/BenchMain.h"
#include "graphics/Engine.h"
#include "graphics/core/Blend.h"
#include "graphics/core/System.h"
#include "tests/support/TierScope.h"

namespace {

constexpr int kSide = 1024, kPixels = kSide * kSide;

std::vector<uint32_t> RandomPixels(unsigned seed, bool opaque) {
  std::mt19937 random(seed);
  std::vector<uint32_t> pixels(kPixels);
  for (auto& p : pixels) p = opaque ? random() | 0xFF000000 : random();
  return pixels;
}

// The same pixels premultiplied, as pixman expects them.
std::vector<uint32_t> Premultiplied(const std::vector<uint32_t>& pixels) {
  std::vector<uint32_t> result(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) {
    const uint32_t a = pixels[i] >> 24;
    uint32_t p = a << 24;
    for (int s = 0; s < 24; s += 8) p |= (((pixels[i] >> s) & 0xFF) * a / 255) << s;
    result[i] = p;
  }
  return result;
}

const std::vector<uint32_t>& Source() {
  static const std::vector<uint32_t> pixels = RandomPixels(1, false);
  return pixels;
}

template <class Line>
void RunLine(benchmark::State& state, gfx::TImplementationTier tier, Line line) {
  gfx::StartEngine();
  test_support::TierScope binding(tier);
  std::vector<uint32_t> target = RandomPixels(2, true);
  for (auto _ : state) {
    line(Source().data(), target.data());
    gfx::EMMS();
    benchmark::DoNotOptimize(target.data());
  }
  state.SetItemsProcessed(state.iterations() * kPixels);
}

void RunPixman(benchmark::State& state, pixman_op_t op, bool halfMask) {
  std::vector<uint32_t> source = Premultiplied(Source()), target = RandomPixels(2, true);
  pixman_image_t* src =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, source.data(), kSide * 4);
  pixman_image_t* dst =
      pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, target.data(), kSide * 4);
  const pixman_color_t half = {0x8080, 0x8080, 0x8080, 0x8080};
  pixman_image_t* mask = halfMask ? pixman_image_create_solid_fill(&half) : nullptr;
  for (auto _ : state) {
    pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, kSide, kSide);
    benchmark::DoNotOptimize(target.data());
  }
  if (mask) pixman_image_unref(mask);
  pixman_image_unref(dst);
  pixman_image_unref(src);
  state.SetItemsProcessed(state.iterations() * kPixels);
}

const char* const tierNames[] = {"Portable", "Integer", "MMX", "SSE2"};

void RegisterTierBenchmarks() {
  for (gfx::TImplementationTier tier :
       {gfx::tierPortable, gfx::tierInteger, gfx::tierMMX, gfx::tierSSE2}) {
    const std::string suffix = std::string("/") + tierNames[tier];
    benchmark::RegisterBenchmark(("BM_BlendLine" + suffix).c_str(), [tier](benchmark::State& s) {
      RunLine(s, tier,
              [](const uint32_t* src, uint32_t* dst) { gfx::BlendLine(src, dst, kPixels); });
    });
    benchmark::RegisterBenchmark(("BM_BlendLineEx" + suffix).c_str(), [tier](benchmark::State& s) {
      RunLine(s, tier,
              [](const uint32_t* src, uint32_t* dst) { gfx::BlendLineEx(src, dst, kPixels, 128); });
    });
    benchmark::RegisterBenchmark(("BM_MergeLine" + suffix).c_str(), [tier](benchmark::State& s) {
      RunLine(s, tier,
              [](const uint32_t* src, uint32_t* dst) { gfx::MergeLine(src, dst, kPixels); });
    });
    benchmark::RegisterBenchmark(("BM_CombineLine" + suffix).c_str(), [tier](benchmark::State& s) {
      RunLine(s, tier,
              [](const uint32_t* src, uint32_t* dst) { gfx::CombineLine(src, dst, kPixels, 100); });
    });
    // The editor's combine handlers call the bound variable once per pixel.
    benchmark::RegisterBenchmark(("BM_ColorAdd" + suffix).c_str(), [tier](benchmark::State& s) {
      RunLine(s, tier, [](const uint32_t* src, uint32_t* dst) {
        for (int i = 0; i < kPixels; ++i) dst[i] = gfx::ColorAdd(src[i], dst[i]);
      });
    });
  }
}

const int registered = (RegisterTierBenchmarks(), 0);

void BM_PixmanOver(benchmark::State& state) {
  RunPixman(state, PIXMAN_OP_OVER, false);
}
BENCHMARK(BM_PixmanOver);
void BM_PixmanOverHalfMask(benchmark::State& state) {
  RunPixman(state, PIXMAN_OP_OVER, true);
}
BENCHMARK(BM_PixmanOverHalfMask);
void BM_PixmanAdd(benchmark::State& state) {
  RunPixman(state, PIXMAN_OP_ADD, false);
}
BENCHMARK(BM_PixmanAdd);

const bench::PeerComparison blendLine("BlendLine_SSE2", "BM_BlendLine/SSE2", "BM_PixmanOver",
                                      "1.0");
const bench::PeerComparison blendLineInt("BlendLine_Integer", "BM_BlendLine/Integer",
                                         "BM_PixmanOver");
const bench::PeerComparison blendLinePas("BlendLine_Portable", "BM_BlendLine/Portable",
                                         "BM_PixmanOver");
const bench::PeerComparison blendLineMMX("BlendLine_MMX", "BM_BlendLine/MMX", "BM_PixmanOver");
const bench::PeerComparison blendLineEx("BlendLineEx_SSE2", "BM_BlendLineEx/SSE2",
                                        "BM_PixmanOverHalfMask");
const bench::PeerComparison blendLineExPas("BlendLineEx_Portable", "BM_BlendLineEx/Portable",
                                           "BM_PixmanOverHalfMask");
const bench::PeerComparison mergeLine("MergeLine", "BM_MergeLine/SSE2", "BM_PixmanOver");
const bench::PeerComparison combineLine("CombineLine_SSE2", "BM_CombineLine/SSE2", "BM_PixmanOver");
const bench::PeerComparison combineLinePas("CombineLine_Portable", "BM_CombineLine/Portable",
                                           "BM_PixmanOver");
const bench::PeerComparison colorAdd("ColorAdd_SSE2", "BM_ColorAdd/SSE2", "BM_PixmanAdd");

}  // namespace
