#include <algorithm>

#include "graphics/layers/MicroTilesTiers.h"

namespace gfx::tiles {

void TileUnion_Portable(TTileWord& Dst, TTileWord Src) {
  if (Dst == TileFull) return;
  // Covers an empty Src as well.
  if (TileRight(Src) <= TileLeft(Src) || TileBottom(Src) <= TileTop(Src)) return;
  if (Dst == TileEmpty || Src == TileFull) {
    Dst = Src;
    return;
  }
  Dst = PackTile(uint32_t(std::min(TileLeft(Dst), TileLeft(Src))),
                 uint32_t(std::min(TileTop(Dst), TileTop(Src))),
                 uint32_t(std::max(TileRight(Dst), TileRight(Src))),
                 uint32_t(std::max(TileBottom(Dst), TileBottom(Src))));
}

void TileSetMerge_Portable(TTileSet& Dst, const TTileSet& Src) {
  const TRect& used = Src.UsedTileBounds;
  for (int32_t y = used.Top; y <= used.Bottom; ++y)
    for (int32_t x = used.Left; x <= used.Right; ++x)
      TileUnion_Portable(Dst.Tile(x, y), Src.Tile(x, y));
}

}  // namespace gfx::tiles
