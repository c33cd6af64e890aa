#include "graphics/controls/PictureSnapshot.h"

#include "graphics/core/LowLevel.h"

namespace gfx {

namespace {

// A copy of a buffer larger than a 4096 x 4096 one is not kept.
constexpr int64_t MaxSnapshotPixels = int64_t(1) << 24;

}  // namespace

bool TPictureSnapshot::DrawTo(TCustomBitmap32& Dest, TCustomBitmap32& Picture, const TRect& Place,
                              const TRect& Area) {
  if (int64_t(Dest.Width()) * Dest.Height() > MaxSnapshotPixels) return false;
  TRect target;
  IntersectRectangles(target, Dest.ClipRect(), Dest.BoundsRect());
  IntersectRectangles(target, target, Place);
  if (IsRectEmpty(target)) return true;  // the picture draws nothing there either
  TRect covered;
  IntersectRectangles(covered, target, Area);
  if (!(covered == target)) return false;

  const TKey key{Place,
                 Area,
                 Dest.Width(),
                 Dest.Height(),
                 Picture.Bits(),
                 Picture.Width(),
                 Picture.Height(),
                 Picture.Resampler(),
                 Picture.DrawMode(),
                 Picture.WrapMode(),
                 Picture.OuterColor(),
                 Picture.ClipRect()};
  if (!fresh_ || !(key_ == key)) {
    // The same drawing a rebuild of the whole buffer makes: same size, place and clip.
    fresh_ = false;
    drawn_.SetSize(Dest.Width(), Dest.Height());
    drawn_.SetClipRect(Area);
    Picture.DrawTo(drawn_, Place);
    key_ = key;
    fresh_ = true;
  }
  const int32_t w = target.Right - target.Left;
  for (int32_t y = target.Top; y < target.Bottom; ++y)
    MoveLongword(drawn_.PixelPtr(target.Left, y), Dest.PixelPtr(target.Left, y), w);
  Dest.AreaChanged(Place, AreaInfoRect);
  return true;
}

}  // namespace gfx
