// Micro tiles: the buffer is cut into 32 x 32 tiles and each tile keeps only the bounding box of
// the dirty pixels inside it, packed into one word. A tile set gathers changed areas cheaply and
// turns them into a short list of rectangles to repaint.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/core/Containers.h"
#include "graphics/core/Types.h"

namespace gfx {

// Left in bits 24-31, Top 16-23, Right 8-15, Bottom 0-7; each 0..32 inside the tile, Right and
// Bottom exclusive.
using TTileWord = uint32_t;

inline constexpr int32_t TileShift = 5;
inline constexpr int32_t TileSize = 1 << TileShift;
inline constexpr TTileWord TileEmpty = 0;
inline constexpr TTileWord TileFull = 0x00002020;

constexpr TTileWord PackTile(uint32_t L, uint32_t T, uint32_t R, uint32_t B) {
  return L << 24 | T << 16 | R << 8 | B;
}
constexpr int32_t TileLeft(TTileWord W) {
  return int32_t(W >> 24);
}
constexpr int32_t TileTop(TTileWord W) {
  return int32_t(W >> 16 & 0xFF);
}
constexpr int32_t TileRight(TTileWord W) {
  return int32_t(W >> 8 & 0xFF);
}
constexpr int32_t TileBottom(TTileWord W) {
  return int32_t(W & 0xFF);
}

struct TTileSet {
  TRect BoundsRect;
  int32_t TileColumns = 0;
  int32_t TileRows = 0;
  // Inclusive tile columns and rows touched since the last clear; inverted when none.
  TRect UsedTileBounds;
  int32_t Count = 0;
  std::vector<TTileWord> TileWords;  // row by row, TileColumns words per row

  TTileWord& Tile(int32_t Column, int32_t Row) {
    return TileWords[size_t(Row) * size_t(TileColumns) + size_t(Column)];
  }
  const TTileWord& Tile(int32_t Column, int32_t Row) const {
    return TileWords[size_t(Row) * size_t(TileColumns) + size_t(Column)];
  }
};

// ---- Bound routines ("MicroTiles bindings") ----

using TTileUnionProc = void (*)(TTileWord& Dst, TTileWord Src);
// Word-by-word union of Src's used tiles into Dst (same grid); Dst's used bounds stay as they are.
using TTileSetMergeProc = void (*)(TTileSet& Dst, const TTileSet& Src);
extern TTileUnionProc TileUnion;
extern TTileSetMergeProc TileSetMerge;
inline constexpr int32_t FID_TileUnion = 0;
inline constexpr int32_t FID_TileSetMerge = 1;

void StartMicroTiles();

// ---- Tile sets ----

void TileSetInit(TTileSet& Tiles);
void TileSetFree(TTileSet& Tiles);
// Covers DstRect (which starts at 0, 0) and clears every tile.
void TileSetResize(TTileSet& Tiles, const TRect& DstRect);
void TileSetFill(TTileSet& Tiles, TTileWord Value);
// Only the used tiles; afterwards none counts as used.
void TileSetFillUsed(TTileSet& Tiles, TTileWord Value);
void TileSetCopy(TTileSet& Dst, const TTileSet& Src);
// Marks every tile of the set as used (a full invalidation).
void TileSetMarkAll(TTileSet& Tiles);

void TileSetAddRect(TTileSet& Tiles, TRect Rect, bool RoundToWholeTiles);
void TileSetAddLine(TTileSet& Tiles, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                    int32_t LineWidth, bool RoundToWholeTiles);
void TileSetUnion(TTileSet& Dst, const TTileSet& Src, bool RoundToWholeTiles);
// Appends disjoint rectangles covering exactly the tiles' boxes inside BoundsRect (unless
// CountOnly) and returns how many there are.
int32_t TileSetToRects(const TTileSet& Tiles, TRectList* DstRects, bool CountOnly);

// Grows Area by Dx and Dy on each side; an inverted axis grows the other way, so it still grows.
void InflateArea(TRect& Area, int32_t Dx, int32_t Dy);

}  // namespace gfx
