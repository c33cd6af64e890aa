// A set of pixels made of rectangles: clip regions and filled areas of the device context.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/drawing/Geometry.h"

namespace plat {

// Polygon fill rules: ALTERNATE is even-odd, WINDING is non-zero.
inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

// Ways of combining two regions.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

// Region kinds reported by clipping and combining calls.
inline constexpr int RGN_ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

class TRegion {
 public:
  TRegion();  // empty
  explicit TRegion(const TRect& r);
  ~TRegion();
  TRegion(const TRegion& other);
  TRegion& operator=(const TRegion& other);
  TRegion(TRegion&& other) noexcept;
  TRegion& operator=(TRegion&& other) noexcept;

  // The pixels whose centres lie inside the ellipse bounded by r.
  static TRegion Ellipse(const TRect& r);
  // The pixels whose centres lie inside the polygon under the fill rule ALTERNATE or WINDING.
  static TRegion Polygon(std::span<const TPoint> points, int fillMode);

  // The union of all parts, merged in pairs so that many small parts take n log n time.
  static TRegion Union(std::vector<TRegion> parts);

  // One of the RGN_* operations of this region with other (RGN_COPY copies this region).
  TRegion Combined(const TRegion& other, int mode) const;
  TRegion Offset(int32_t dx, int32_t dy) const;
  // Every pixel becomes factor x factor pixels (factor >= 1; coordinates stop at +-2^30).
  TRegion Scaled(int32_t factor) const;

  bool IsEmpty() const;
  bool Contains(TPoint p) const;
  TRect BoundingRect() const;
  // Disjoint rectangles that together make the region, top to bottom.
  std::vector<TRect> Rects() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Kind() const;
  bool operator==(const TRegion& other) const;

 private:
  struct Impl;
  explicit TRegion(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
