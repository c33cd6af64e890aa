// FillLongword, bound and per tier, against std::fill_n on short and long runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "bench/support/BenchMain.h"
#include "graphics/Engine.h"
#include "graphics/core/LowLevel.h"
#include "graphics/core/System.h"

namespace {

// 64-byte aligned, as pixel rows from the allocator usually are.
struct Words {
  explicit Words(int32_t n) : count(n), block(new uint32_t[size_t(n) + 16]) {}
  uint32_t* data() const {
    return reinterpret_cast<uint32_t*>((reinterpret_cast<uintptr_t>(block.get()) + 63) & ~63ull);
  }
  int32_t count;
  std::unique_ptr<uint32_t[]> block;
};

void BM_FillLongword(benchmark::State& state) {
  gfx::StartEngine();
  const Words words(int32_t(state.range(0)));
  uint32_t value = 0;
  for (auto _ : state) {
    gfx::FillLongword(words.data(), words.count, ++value);
    benchmark::DoNotOptimize(words.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(BM_FillLongword)->Arg(4096)->Arg(16 << 20);

void BM_FillN(benchmark::State& state) {
  const Words words(int32_t(state.range(0)));
  uint32_t value = 0;
  for (auto _ : state) {
    std::fill_n(words.data(), words.count, ++value);
    benchmark::DoNotOptimize(words.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0) * 4);
}
BENCHMARK(BM_FillN)->Arg(4096)->Arg(16 << 20);

const bench::PeerComparison small("FillLongword_4K", "BM_FillLongword/4096", "BM_FillN/4096",
                                  "1.05");
const bench::PeerComparison large("FillLongword_16M", "BM_FillLongword/16777216",
                                  "BM_FillN/16777216", "1.05");

}  // namespace
