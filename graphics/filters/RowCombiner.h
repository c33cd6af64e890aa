// A pixel-combine callback that can also combine a whole run of pixels in one call. The drawing
// loops look for one inside a TPixelCombineEvent and hand it whole runs; any other callback is
// still called pixel by pixel.
#pragma once

#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx {

using TPixelCombineProc = void (*)(void* Context, TColor32 F, TColor32& B, TColor32 M);
// Combines F[i] into B[i] for i = 0 .. Count - 1 and must leave exactly what Count calls of the
// pixel routine in ascending order leave, also when the rows overlap. Nothing for Count <= 0.
using TRowCombineProc = void (*)(void* Context, const TColor32* F, TColor32* B, int32_t Count,
                                 TColor32 M);

struct TRowCombiner {
  TPixelCombineProc Pixel = nullptr;
  TRowCombineProc Row = nullptr;
  void* Context = nullptr;  // not owned

  void operator()(TColor32 F, TColor32& B, TColor32 M) const { Pixel(Context, F, B, M); }
  void CombineRow(const TColor32* F, TColor32* B, int32_t Count, TColor32 M) const {
    Row(Context, F, B, Count, M);
  }
};

// The combiner that Event holds, or nullptr when it holds another callback or none.
inline const TRowCombiner* FindRowCombiner(const TPixelCombineEvent& Event) {
  return Event.target<TRowCombiner>();
}

}  // namespace gfx
