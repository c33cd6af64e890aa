// The micro-tile tiers this processor runs, and binding the union routines to one of them.
#pragma once

#include <string>
#include <vector>

#include "graphics/layers/MicroTiles.h"
#include "graphics/layers/MicroTilesTiers.h"

namespace gfx::testing {

struct TileTier {
  std::string Name;
  TTileUnionProc Union;
  TTileSetMergeProc Merge;
};

inline std::vector<TileTier> TileTiers() {
  std::vector<TileTier> tiers{
      {"Portable", tiles::TileUnion_Portable, tiles::TileSetMerge_Portable}};
#if defined(__x86_64__) || defined(__i386__)
  tiers.push_back({"SSE2", tiles::TileUnion_SSE2, tiles::TileSetMerge_SSE2});
#endif
  return tiers;
}

class ScopedTileTier {
 public:
  explicit ScopedTileTier(const TileTier& Tier) : union_(TileUnion), merge_(TileSetMerge) {
    TileUnion = Tier.Union;
    TileSetMerge = Tier.Merge;
  }
  ~ScopedTileTier() {
    TileUnion = union_;
    TileSetMerge = merge_;
  }
  ScopedTileTier(const ScopedTileTier&) = delete;
  ScopedTileTier& operator=(const ScopedTileTier&) = delete;

 private:
  TTileUnionProc union_;
  TTileSetMergeProc merge_;
};

}  // namespace gfx::testing
