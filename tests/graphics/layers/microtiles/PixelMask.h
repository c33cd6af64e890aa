// A plain set of pixels: the brute-force model that tile sets and repaint lists are checked
// against.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "graphics/core/Containers.h"
#include "graphics/core/Types.h"

namespace gfx::testing {

class PixelMask {
 public:
  PixelMask(int32_t Width, int32_t Height)
      : width_(Width), height_(Height), bits_(size_t(Width) * size_t(Height), 0) {}

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool At(int32_t X, int32_t Y) const { return bits_[size_t(Y) * size_t(width_) + size_t(X)]; }
  void Set(int32_t X, int32_t Y) { bits_[size_t(Y) * size_t(width_) + size_t(X)] = 1; }

  // Any rectangle: inverted edges are ordered, parts outside are dropped.
  void Add(TRect R) {
    if (R.Left > R.Right) std::swap(R.Left, R.Right);
    if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
    for (int32_t y = std::max(R.Top, 0); y < std::min(R.Bottom, height_); ++y)
      for (int32_t x = std::max(R.Left, 0); x < std::min(R.Right, width_); ++x) Set(x, y);
  }

  // Every 32 x 32 tile replaced by the bounding box of its pixels.
  PixelMask TileBoxes() const { return PerTile(false); }
  // Every tile holding a pixel filled completely (inside the mask).
  PixelMask WholeTiles() const { return PerTile(true); }

  void Add(const PixelMask& Other) {
    for (size_t i = 0; i < bits_.size(); ++i) bits_[i] |= Other.bits_[i];
  }

  bool Contains(const PixelMask& Other) const {
    for (size_t i = 0; i < bits_.size(); ++i)
      if (Other.bits_[i] && !bits_[i]) return false;
    return true;
  }
  int64_t Count() const { return std::count(bits_.begin(), bits_.end(), 1); }
  bool operator==(const PixelMask& Other) const { return bits_ == Other.bits_; }

 private:
  PixelMask PerTile(bool Whole) const {
    PixelMask result(width_, height_);
    for (int32_t ty = 0; ty < height_; ty += 32)
      for (int32_t tx = 0; tx < width_; tx += 32) {
        TRect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (int32_t y = ty; y < std::min(ty + 32, height_); ++y)
          for (int32_t x = tx; x < std::min(tx + 32, width_); ++x)
            if (At(x, y))
              box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                     std::max(box.Bottom, y + 1)};
        if (box.Left == INT32_MAX) continue;
        result.Add(Whole ? TRect{tx, ty, tx + 32, ty + 32} : box);
      }
    return result;
  }

  int32_t width_, height_;
  std::vector<uint8_t> bits_;
};

// The rectangles must be non-empty, inside Bounds and pairwise disjoint; returns their union.
inline PixelMask DisjointUnion(TRectList& Rects, const TRect& Bounds) {
  PixelMask mask(Bounds.Right, Bounds.Bottom);
  for (int32_t i = 0; i < Rects.Count(); ++i) {
    const TRect r = *Rects.Items(i);
    EXPECT_FALSE(IsRectEmpty(r)) << "rect " << i;
    EXPECT_TRUE(r.Left >= Bounds.Left && r.Top >= Bounds.Top && r.Right <= Bounds.Right &&
                r.Bottom <= Bounds.Bottom)
        << "rect " << i << " leaves the bounds";
    for (int32_t j = 0; j < i; ++j) {
      TRect overlap;
      const TRect o = *Rects.Items(j);
      IntersectRectangles(overlap, r, o);
      EXPECT_TRUE(IsRectEmpty(overlap)) << "rects " << j << " and " << i << " overlap";
    }
    mask.Add(r);
  }
  return mask;
}

}  // namespace gfx::testing
