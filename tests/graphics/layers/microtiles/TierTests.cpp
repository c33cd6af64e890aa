// Every tier of the tile unions gives the portable result, word for word.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "Tiers.h"
#include "graphics/core/System.h"
#include "graphics/layers/MicroTiles.h"

namespace {

using namespace gfx;

// Mostly well-formed words, plus empty, full, zero-size and odd ones.
TTileWord RandomWord(std::mt19937& Rng) {
  std::uniform_int_distribution<uint32_t> kind(0, 9), edge(0, 32), raw;
  switch (kind(Rng)) {
    case 0:
      return TileEmpty;
    case 1:
      return TileFull;
    case 2: {
      const uint32_t l = edge(Rng), t = edge(Rng);
      return PackTile(l, t, l, edge(Rng));  // zero width
    }
    case 3:
      return raw(Rng);
    default: {
      uint32_t l = edge(Rng), r = edge(Rng), t = edge(Rng), b = edge(Rng);
      if (l > r) std::swap(l, r);
      if (t > b) std::swap(t, b);
      return PackTile(l, t, r, b);
    }
  }
}

TEST(TileTiers, UnionMatchesThePortableRule) {
  std::mt19937 rng(3);
  for (const auto& tier : gfx::testing::TileTiers()) {
    for (int i = 0; i < 200000; ++i) {
      const TTileWord d = RandomWord(rng), s = RandomWord(rng);
      TTileWord expected = d, actual = d;
      tiles::TileUnion_Portable(expected, s);
      tier.Union(actual, s);
      ASSERT_EQ(actual, expected) << tier.Name << std::hex << " d=" << d << " s=" << s;
    }
  }
}

TEST(TileTiers, PortableRuleOnChosenWords) {
  TTileWord d = PackTile(4, 5, 10, 12);
  tiles::TileUnion_Portable(d, PackTile(2, 8, 6, 20));
  EXPECT_EQ(d, PackTile(2, 5, 10, 20));
  tiles::TileUnion_Portable(d, PackTile(0, 0, 0, 32));  // zero width adds nothing
  EXPECT_EQ(d, PackTile(2, 5, 10, 20));
  tiles::TileUnion_Portable(d, TileFull);
  EXPECT_EQ(d, TileFull);
  tiles::TileUnion_Portable(d, PackTile(1, 1, 2, 2));
  EXPECT_EQ(d, TileFull);
  TTileWord empty = TileEmpty;
  tiles::TileUnion_Portable(empty, PackTile(3, 4, 5, 6));
  EXPECT_EQ(empty, PackTile(3, 4, 5, 6));
}

TEST(TileTiers, MergeMatchesThePortableRuleAndLeavesUsedBounds) {
  std::mt19937 rng(5);
  for (const auto& tier : gfx::testing::TileTiers()) {
    for (int round = 0; round < 200; ++round) {
      TTileSet dst, src;
      TileSetResize(dst, {0, 0, 300, 200});
      TileSetResize(src, {0, 0, 300, 200});
      for (TTileWord& w : dst.TileWords) w = RandomWord(rng);
      for (TTileWord& w : src.TileWords) w = RandomWord(rng);
      std::uniform_int_distribution<int32_t> col(0, src.TileColumns - 1), row(0, src.TileRows - 1);
      const int32_t l = col(rng), t = row(rng);
      src.UsedTileBounds = {l, t,
                            std::uniform_int_distribution<int32_t>(l, src.TileColumns - 1)(rng),
                            std::uniform_int_distribution<int32_t>(t, src.TileRows - 1)(rng)};
      dst.UsedTileBounds = {1, 1, 2, 2};
      TTileSet expected = dst;
      tiles::TileSetMerge_Portable(expected, src);
      tier.Merge(dst, src);
      ASSERT_EQ(dst.TileWords, expected.TileWords) << tier.Name << " round " << round;
      EXPECT_EQ(dst.UsedTileBounds, (TRect{1, 1, 2, 2}));
    }
  }
}

TEST(TileTiers, StartUpBindsTheRegistry) {
  const TFunctionRegistry* found = nullptr;
  for (const auto& registry : Registries())
    if (registry->Name() == "MicroTiles bindings") found = registry.get();
  ASSERT_NE(found, nullptr);
  // Started after the resamplers and before the filters.
  std::vector<std::string> names;
  for (const auto& registry : Registries()) names.push_back(registry->Name());
  const auto at = [&names](const char* Name) {
    return std::find(names.begin(), names.end(), Name);
  };
  EXPECT_LT(at("Resamplers bindings"), at("MicroTiles bindings"));
  EXPECT_LT(at("MicroTiles bindings"), at("Filters bindings"));
  EXPECT_NE(at("Filters bindings"), names.end());
  EXPECT_EQ(found->FindFunction(FID_TileUnion), reinterpret_cast<TGenericProc>(TileUnion));
  EXPECT_EQ(found->FindFunction(FID_TileSetMerge), reinterpret_cast<TGenericProc>(TileSetMerge));
}

}  // namespace
