// Where a page's background picture starts and which tiles of it cover an area.
#pragma once

#include <cstdint>
#include <memory>

#include "html/css/CssBoxes.h"
#include "platform/pictures/Bitmap.h"

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

// A picture one pixel wide or high (and its mask, when given) stretched for tiling area, so that
// it takes far fewer tiles: only along the axes that repeat, up to the area's size; an axis that
// does not repeat keeps its single pixel. Empty for other pictures.
struct TStretchedStrip {
  std::unique_ptr<plat::TBitmap> Picture, Mask;
};
TStretchedStrip StretchStrip(const plat::TObject& picture, int pictureWidth, int pictureHeight,
                             const plat::TBitmap* mask, const plat::TRect& area,
                             const TBackgroundPos& pos);

}  // namespace html
