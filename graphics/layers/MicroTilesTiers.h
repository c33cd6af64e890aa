// The micro-tile union routines, one set per processor tier; MicroTiles.cpp registers them.
#pragma once

#include "graphics/layers/MicroTiles.h"

namespace gfx::tiles {

void TileUnion_Portable(TTileWord& Dst, TTileWord Src);
void TileSetMerge_Portable(TTileSet& Dst, const TTileSet& Src);
#if defined(__x86_64__) || defined(__i386__)
void TileUnion_SSE2(TTileWord& Dst, TTileWord Src);
void TileSetMerge_SSE2(TTileSet& Dst, const TTileSet& Src);
#endif

}  // namespace gfx::tiles
