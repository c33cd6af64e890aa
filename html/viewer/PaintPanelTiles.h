// Where a page's background picture starts and which tiles of it cover an area.
#pragma once

#include <cstdint>

#include "html/css/CssBoxes.h"

namespace html {

// The picture's origin along one axis of an area, with the scroll offset taken off.
int64_t BackgroundOrigin(const TBackgroundPosRec& pos, int64_t area, int64_t picture,
                         int64_t offset);

// Tiles First, First + Size, ... below End cover [nearEdge, farEdge); Count 0 when none do.
struct TTileSpan {
  int64_t First = 0;
  int64_t Count = 0;
};
TTileSpan BackgroundTiles(int64_t origin, int64_t size, int64_t nearEdge, int64_t farEdge,
                          bool repeats);

}  // namespace html
