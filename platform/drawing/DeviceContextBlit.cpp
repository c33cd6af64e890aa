// Block transfers of the device context: raster operations and nearest-neighbour stretching.
#include <algorithm>
#include <cstring>

#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/PixelOps.h"

namespace plat {
namespace {

// One axis of a transfer: destination [start, start + size) reads source
// [srcStart, srcStart + srcSize), both in device units with positive sizes.
struct Axis {
  int64_t start, size, srcStart, srcSize;
  bool flip = false;
};

// Makes a size positive, moving the start and flipping the direction for a negative one.
void Normalize(int64_t& start, int64_t& size, bool& flip) {
  if (size >= 0) return;
  start += size;
  size = -size;
  flip = !flip;
}

// The source index for destination indices [from, to): destination pixel i (counted from the
// axis start) reads srcStart + floor((2i + 1) * srcSize / (2 size)), mirrored when flipped; -1
// where that falls outside [0, limit).
std::vector<int32_t> IndexMap(const Axis& a, int32_t from, int32_t to, int32_t limit) {
  std::vector<int32_t> map;
  map.reserve(size_t(std::max(0, to - from)));
  for (int64_t d = from; d < to; ++d) {
    const int64_t i = d - a.start;
    const int64_t k = a.flip ? a.size - 1 - i : i;
    const int64_t s =
        a.srcStart + int64_t((__int128(2 * k + 1) * a.srcSize) / (__int128(2) * a.size));
    map.push_back(s >= 0 && s < limit ? int32_t(s) : -1);
  }
  return map;
}

}  // namespace

bool DeviceContext::Transfer(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src,
                             int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t rop,
                             const DeviceContext* mask, int64_t keyRgb) {
  const bool usesSource = RopUsesSource(rop);
  if (usesSource && (src == nullptr || !src->HasSurface())) return false;
  if (!HasSurface()) return true;
  const TPoint o = Offset();
  Axis ax{int64_t(x) + o.X, w, sx, sw}, ay{int64_t(y) + o.Y, h, sy, sh};
  Normalize(ax.start, ax.size, ax.flip);
  Normalize(ay.start, ay.size, ay.flip);
  if (ax.size == 0 || ay.size == 0) return true;
  const std::vector<TRect> visible =
      VisibleRects(ClampedRect(ax.start, ay.start, ax.start + ax.size, ay.start + ay.size));
  if (visible.empty()) return true;
  TRect box = visible.front();
  for (const TRect& v : visible) {
    box = {std::min(box.Left, v.Left), std::min(box.Top, v.Top), std::max(box.Right, v.Right),
           std::max(box.Bottom, v.Bottom)};
  }

  // Source columns and rows of the visible destination box, in source device units.
  std::vector<int32_t> columns, rows;
  std::vector<uint32_t> copy;  // the source block when it is this very surface
  const uint32_t* srcBits = nullptr;
  int64_t srcStride = 0;  // in pixels
  int32_t baseX = 0, baseY = 0;
  if (usesSource) {
    Normalize(ax.srcStart, ax.srcSize, ax.flip);
    Normalize(ay.srcStart, ay.srcSize, ay.flip);
    if (ax.srcSize == 0 || ay.srcSize == 0) return true;
    const TPoint so = src->Offset();
    ax.srcStart += so.X;
    ay.srcStart += so.Y;
    columns = IndexMap(ax, box.Left, box.Right, src->Width());
    rows = IndexMap(ay, box.Top, box.Bottom, src->Height());
    srcBits = src->Bits();
    srcStride = src->Stride() / 4;
    if (src == this) {
      // Overlapping copies read the picture as it was before the transfer.
      const auto [minX, maxX] = std::minmax_element(columns.begin(), columns.end());
      const auto [minY, maxY] = std::minmax_element(rows.begin(), rows.end());
      baseX = std::max(0, *minX);
      baseY = std::max(0, *minY);
      const int32_t cw = std::max(0, *maxX - baseX + 1), ch = std::max(0, *maxY - baseY + 1);
      copy.resize(size_t(cw) * size_t(ch));
      for (int32_t r = 0; r < ch; ++r) {
        std::memcpy(copy.data() + size_t(r) * size_t(cw), Row(baseY + r) + baseX, size_t(cw) * 4);
      }
      srcBits = copy.data();
      srcStride = cw;
    }
  }

  const TLogBrush& brush = state_.brush;
  const uint32_t patternAlpha = 0xFF000000;
  const uint32_t brushRgb = RefToRgb(brush.Color), bkRgb = RefToRgb(state_.bkColor);
  const bool copyOnly = rop == SRCCOPY && mask == nullptr && keyRgb < 0;
  for (const TRect& v : visible) {
    for (int32_t dy = v.Top; dy < v.Bottom; ++dy) {
      uint32_t* row = Row(dy);
      const int32_t sRow = usesSource ? rows[size_t(dy - box.Top)] : 0;
      if (sRow < 0) continue;
      const uint32_t* srcRow = usesSource ? srcBits + (sRow - baseY) * srcStride : nullptr;
      const uint32_t* maskRow = mask != nullptr && sRow < mask->Height()
                                    ? mask->Bits() + sRow * int64_t(mask->Stride() / 4)
                                    : nullptr;
      for (int32_t dx = v.Left; dx < v.Right; ++dx) {
        uint32_t s = 0;
        if (usesSource) {
          const int32_t sCol = columns[size_t(dx - box.Left)];
          if (sCol < 0) continue;
          s = srcRow[sCol - baseX];
          if (copyOnly) {
            row[dx] = s;
            continue;
          }
          if (keyRgb >= 0 && (s & kRgbMask) == uint32_t(keyRgb)) continue;
          if (mask != nullptr && (maskRow == nullptr || sCol >= mask->Width() ||
                                  (maskRow[sCol] & kRgbMask) == kRgbMask)) {
            continue;
          }
        }
        uint32_t p = 0;
        if (brush.Style == BS_SOLID) {
          p = patternAlpha | brushRgb;
        } else if (brush.Style == BS_HATCHED) {
          p = patternAlpha | (HatchCovers(brush.Hatch, dx, dy) ? brushRgb : bkRgb);
        }
        const uint32_t d = row[dx];
        const uint32_t r = Rop3(rop, p, s, d);
        row[dx] = usesSource ? r : (d & ~kRgbMask) | (r & kRgbMask);
      }
    }
  }
  return true;
}

bool DeviceContext::BitBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src,
                           int32_t sx, int32_t sy, uint32_t rop) {
  return Transfer(x, y, w, h, src, sx, sy, w, h, rop, nullptr, -1);
}

bool DeviceContext::PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop) {
  if (RopUsesSource(rop)) return false;
  return Transfer(x, y, w, h, nullptr, 0, 0, 0, 0, rop, nullptr, -1);
}

bool DeviceContext::StretchBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src,
                               int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t rop) {
  return Transfer(x, y, w, h, src, sx, sy, sw, sh, rop, nullptr, -1);
}

bool DeviceContext::TransparentBlt(int32_t x, int32_t y, int32_t w, int32_t h,
                                   const DeviceContext& src, int32_t sx, int32_t sy, int32_t sw,
                                   int32_t sh, TColorRef transparentColor) {
  return Transfer(x, y, w, h, &src, sx, sy, sw, sh, SRCCOPY, nullptr,
                  int64_t(RefToRgb(transparentColor)));
}

bool DeviceContext::MaskedStretchBlt(int32_t x, int32_t y, int32_t w, int32_t h,
                                     const DeviceContext& src, int32_t sx, int32_t sy, int32_t sw,
                                     int32_t sh, const DeviceContext& mask) {
  return Transfer(x, y, w, h, &src, sx, sy, sw, sh, SRCCOPY, &mask, -1);
}

}  // namespace plat
