// Integer points, sizes and rectangles of the platform layer (device and logical coordinates).
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

namespace plat {

struct TPoint {
  int32_t X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int32_t cx = 0, cy = 0;
  bool operator==(const TSize&) const = default;
};

// b - a, stopping at the ends of the 32-bit range.
inline int32_t SpanBetween(int32_t a, int32_t b) {
  return int32_t(std::clamp<int64_t>(int64_t(b) - a, INT32_MIN, INT32_MAX));
}

// Right and Bottom are exclusive, as everywhere in the layer.
struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TRect&) const = default;

  // Sizes of rectangles spanning more than the 32-bit range stop at its end.
  int32_t Width() const { return SpanBetween(Left, Right); }
  int32_t Height() const { return SpanBetween(Top, Bottom); }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  TRect Offset(int32_t dx, int32_t dy) const {
    return {Left + dx, Top + dy, Right + dx, Bottom + dy};
  }
  // The common part; an empty result is returned as the zero rectangle.
  TRect Intersected(const TRect& r) const {
    TRect i{std::max(Left, r.Left), std::max(Top, r.Top), std::min(Right, r.Right),
            std::min(Bottom, r.Bottom)};
    return i.IsEmpty() ? TRect{} : i;
  }
};

inline TRect BoundsRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  return {x, y, x + w, y + h};
}

}  // namespace plat
