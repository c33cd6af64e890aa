// Gathering changed areas: micro tiles (accumulate, unite, convert to rectangles) beside
// pixman's region operations on the same rectangles, and the tile union per tier.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <random>
#include <vector>

#include "bench/support/BenchMain.h"
#include "graphics/Engine.h"
#include "graphics/layers/MicroTiles.h"
#include "graphics/layers/MicroTilesTiers.h"

namespace {

constexpr int32_t Width = 1920, Height = 1080;

// Changed areas the size of layers, handles and text lines, partly off the screen.
std::vector<gfx::TRect> RandomRects(int Count, unsigned Seed) {
  std::mt19937 rng(Seed);
  std::uniform_int_distribution<int32_t> x(-50, Width), y(-50, Height), w(1, 300), h(1, 200);
  std::vector<gfx::TRect> rects;
  for (int i = 0; i < Count; ++i) {
    const int32_t l = x(rng), t = y(rng);
    rects.push_back({l, t, l + w(rng), t + h(rng)});
  }
  return rects;
}

void BM_TilesAccumulate(benchmark::State& state) {
  gfx::StartEngine();
  const auto rects = RandomRects(int(state.range(0)), 1);
  gfx::TTileSet tiles;
  gfx::TileSetResize(tiles, {0, 0, Width, Height});
  gfx::TRectList list;
  for (auto _ : state) {
    for (const gfx::TRect& r : rects) gfx::TileSetAddRect(tiles, r, false);
    list.Clear();
    benchmark::DoNotOptimize(gfx::TileSetToRects(tiles, &list, false));
    gfx::TileSetFillUsed(tiles, gfx::TileEmpty);
  }
}
BENCHMARK(BM_TilesAccumulate)->Arg(20)->Arg(1000);

void BM_PixmanAccumulate(benchmark::State& state) {
  const auto rects = RandomRects(int(state.range(0)), 1);
  for (auto _ : state) {
    pixman_region32_t region;
    pixman_region32_init(&region);
    for (const gfx::TRect& r : rects)
      pixman_region32_union_rect(&region, &region, r.Left, r.Top, uint32_t(r.Right - r.Left),
                                 uint32_t(r.Bottom - r.Top));
    pixman_region32_intersect_rect(&region, &region, 0, 0, Width, Height);
    int count = 0;
    benchmark::DoNotOptimize(pixman_region32_rectangles(&region, &count));
    benchmark::DoNotOptimize(count);
    pixman_region32_fini(&region);
  }
}
BENCHMARK(BM_PixmanAccumulate)->Arg(20)->Arg(1000);

gfx::TTileSet TilesOf(const std::vector<gfx::TRect>& Rects) {
  gfx::TTileSet tiles;
  gfx::TileSetResize(tiles, {0, 0, Width, Height});
  for (const gfx::TRect& r : Rects) gfx::TileSetAddRect(tiles, r, false);
  return tiles;
}

void BM_TilesUnion(benchmark::State& state) {
  gfx::StartEngine();
  const gfx::TTileSet a = TilesOf(RandomRects(500, 2)), b = TilesOf(RandomRects(500, 3));
  gfx::TTileSet out;
  for (auto _ : state) {
    gfx::TileSetCopy(out, a);
    gfx::TileSetUnion(out, b, false);
    benchmark::DoNotOptimize(out.TileWords.data());
  }
}
BENCHMARK(BM_TilesUnion);

void RegionOf(pixman_region32_t& Region, const std::vector<gfx::TRect>& Rects) {
  pixman_region32_init(&Region);
  for (const gfx::TRect& r : Rects)
    pixman_region32_union_rect(&Region, &Region, r.Left, r.Top, uint32_t(r.Right - r.Left),
                               uint32_t(r.Bottom - r.Top));
}

void BM_PixmanUnion(benchmark::State& state) {
  pixman_region32_t a, b;
  RegionOf(a, RandomRects(500, 2));
  RegionOf(b, RandomRects(500, 3));
  for (auto _ : state) {
    pixman_region32_t out;
    pixman_region32_init(&out);
    pixman_region32_union(&out, &a, &b);
    benchmark::DoNotOptimize(pixman_region32_n_rects(&out));
    pixman_region32_fini(&out);
  }
  pixman_region32_fini(&a);
  pixman_region32_fini(&b);
}
BENCHMARK(BM_PixmanUnion);

template <gfx::TTileSetMergeProc Merge>
void BM_TileSetMerge(benchmark::State& state) {
  gfx::TTileSet a = TilesOf(RandomRects(500, 2));
  const gfx::TTileSet b = TilesOf(RandomRects(500, 3));
  for (auto _ : state) {
    Merge(a, b);
    benchmark::DoNotOptimize(a.TileWords.data());
  }
}
BENCHMARK(BM_TileSetMerge<gfx::tiles::TileSetMerge_Portable>)->Name("BM_TileSetMerge_Portable");
#if defined(__x86_64__) || defined(__i386__)
BENCHMARK(BM_TileSetMerge<gfx::tiles::TileSetMerge_SSE2>)->Name("BM_TileSetMerge_SSE2");
const bench::PeerComparison merge("TileSetMerge_SSE2", "BM_TileSetMerge_SSE2",
                                  "BM_TileSetMerge_Portable", "1.0");
#endif

// A handful of areas costs micro tiles a scan of the touched grid that a region does not pay.
const bench::PeerComparison few("MicroTilesAccumulate_20", "BM_TilesAccumulate/20",
                                "BM_PixmanAccumulate/20", "2.0");
const bench::PeerComparison many("MicroTilesAccumulate_1000", "BM_TilesAccumulate/1000",
                                 "BM_PixmanAccumulate/1000", "1.0");
const bench::PeerComparison unite("MicroTilesUnion", "BM_TilesUnion", "BM_PixmanUnion", "1.0");

}  // namespace
