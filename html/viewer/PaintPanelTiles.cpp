#include "html/viewer/PaintPanelTiles.h"

#include "html/images/PictureHelpers.h"

namespace html {

int64_t BackgroundOrigin(const TBackgroundPosRec& pos, int64_t area, int64_t picture,
                         int64_t offset) {
  switch (pos.PosKind) {
    case bpCenter:
      return area / 2 - picture / 2 - offset;
    case bpBottom:
    case bpRight:
      return area - picture - offset;
    case bpPercent:
      return (area - picture) * pos.PosValue / 100 - offset;
    case bpPixels:
      return pos.PosValue - offset;
    default:  // top, left
      return -offset;
  }
}

TTileSpan BackgroundTiles(int64_t origin, int64_t size, int64_t nearEdge, int64_t farEdge,
                          bool repeats) {
  // A picture without pixels (a failed decode) has nothing to tile.
  if (size < 1 || farEdge <= nearEdge) return {};
  if (!repeats) {
    if (origin >= farEdge || origin + size <= nearEdge) return {};
    return {origin, 1};
  }
  if (origin < nearEdge)
    origin += (nearEdge - origin) / size * size;
  else if (origin > nearEdge)
    origin -= ((origin - nearEdge) / size + 1) * size;
  return {origin, (farEdge - origin + size - 1) / size};
}

TStretchedStrip StretchStrip(const plat::TObject& picture, int pictureWidth, int pictureHeight,
                             const plat::TBitmap* mask, const plat::TRect& area,
                             const TBackgroundPos& pos) {
  TStretchedStrip strip;
  if (pictureWidth < 1 || pictureHeight < 1 || (pictureWidth != 1 && pictureHeight != 1))
    return strip;
  const int width = pos[0].Repeats ? area.Width() : 1;
  const int height = pos[1].Repeats ? area.Height() : 1;
  strip.Picture = EnlargeImage(picture, width, height);
  if (mask) strip.Mask = EnlargeImage(*mask, width, height);
  return strip;
}

}  // namespace html
