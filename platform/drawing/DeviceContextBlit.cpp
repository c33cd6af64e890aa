// Block transfers of the device context: raster operations and nearest-neighbour stretching.
#include <algorithm>
#include <cmath>
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

// The source, premultiplied when it brings its own alpha, over the destination at the constant
// alpha; every byte, alpha included.
uint32_t BlendPixel(uint32_t s, uint32_t d, const TBlend& blend) {
  const uint32_t ca = blend.constantAlpha;
  const uint32_t sourceAlpha = blend.sourceAlpha ? ((s >> 24) * ca + 127) / 255 : ca;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t sc = (((s >> shift) & 0xFF) * ca + 127) / 255;
    const uint32_t dc = (((d >> shift) & 0xFF) * (255 - sourceAlpha) + 127) / 255;
    out |= std::min<uint32_t>(255, sc + dc) << shift;
  }
  return out;
}

// The box of the visible rectangles.
TRect Hull(const std::vector<TRect>& rects) {
  TRect box = rects.front();
  for (const TRect& v : rects) {
    box = {std::min(box.Left, v.Left), std::min(box.Top, v.Top), std::max(box.Right, v.Right),
           std::max(box.Bottom, v.Bottom)};
  }
  return box;
}

bool MaskWhite(const DeviceContext* mask, int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= mask->Width() || y >= mask->Height()) return true;
  const uint32_t* row = mask->Bits() + int64_t(y) * (mask->Stride() / 4);
  return (row[x] & kRgbMask) == kRgbMask;
}

bool ReadsSource(const TBlitMode& mode) {
  return mode.blend || RopUsesSource(mode.rop) || (mode.mask && RopUsesSource(mode.maskRop));
}

}  // namespace

void DeviceContext::CombineTransferPixel(uint32_t& d, uint32_t s, bool maskWhite, int32_t x,
                                         int32_t y, const TBlitMode& mode) const {
  if (mode.keyRgb >= 0 && (s & kRgbMask) == uint32_t(mode.keyRgb)) return;
  if (mode.blend) {
    d = BlendPixel(s, d, *mode.blend);
    return;
  }
  const uint32_t rop = maskWhite ? mode.maskRop : mode.rop;
  uint32_t p = 0;
  if (RopUsesPattern(rop)) {
    bool gap = false;
    if (state_.brush.Style != BS_NULL) p = 0xFF000000 | BrushPixel(state_.brush, x, y, gap);
  }
  const uint32_t r = Rop3(rop, p, s, d);
  d = RopUsesSource(rop) ? r : (d & ~kRgbMask) | (r & kRgbMask);
}

bool DeviceContext::Transfer(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src,
                             int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                             const TBlitMode& mode) {
  const bool usesSource = ReadsSource(mode);
  if (usesSource && (src == nullptr || !src->HasSurface())) return false;
  if (!HasSurface()) return true;
  // Both rectangles in pixels: a context at a larger scale shows the other's pixels larger.
  const TPoint o = Offset();
  const int64_t ss = src ? src->scale_ : 1;
  Axis ax{int64_t(x) * scale_ + o.X, int64_t(w) * scale_, sx * ss, sw * ss};
  Axis ay{int64_t(y) * scale_ + o.Y, int64_t(h) * scale_, sy * ss, sh * ss};
  Normalize(ax.start, ax.size, ax.flip);
  Normalize(ay.start, ay.size, ay.flip);
  if (ax.size == 0 || ay.size == 0) return true;
  const std::vector<TRect> visible =
      VisibleRects(ClampedRect(ax.start, ay.start, ax.start + ax.size, ay.start + ay.size));
  if (visible.empty()) return true;
  const TRect box = Hull(visible);

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

  const bool copyOnly =
      mode.rop == SRCCOPY && mode.mask == nullptr && mode.keyRgb < 0 && !mode.blend;
  for (const TRect& v : visible) {
    for (int32_t dy = v.Top; dy < v.Bottom; ++dy) {
      uint32_t* row = Row(dy);
      const int32_t sRow = usesSource ? rows[size_t(dy - box.Top)] : 0;
      if (sRow < 0) continue;
      const uint32_t* srcRow = usesSource ? srcBits + (sRow - baseY) * srcStride : nullptr;
      for (int32_t dx = v.Left; dx < v.Right; ++dx) {
        uint32_t s = 0;
        int32_t sCol = 0;
        if (usesSource) {
          sCol = columns[size_t(dx - box.Left)];
          if (sCol < 0) continue;
          s = srcRow[sCol - baseX];
          if (copyOnly) {
            row[dx] = s;
            continue;
          }
        }
        CombineTransferPixel(row[dx], s, mode.mask && MaskWhite(mode.mask, sCol, sRow), dx, dy,
                             mode);
      }
    }
  }
  return true;
}

bool DeviceContext::PlgBlt(std::span<const TPoint, 3> corners, const DeviceContext* src, int32_t sx,
                           int32_t sy, int32_t sw, int32_t sh, const TBlitMode& mode) {
  if (src == nullptr || src == this || !src->HasSurface()) return false;
  if (!HasSurface() || sw == 0 || sh == 0) return true;
  // Pixel centres are solved for their place (u, v) along the two sides from the first corner.
  const TPoint o = Offset();
  const double x0 = double(corners[0].X) + o.X, y0 = double(corners[0].Y) + o.Y;
  const double ux = double(corners[1].X) - corners[0].X, uy = double(corners[1].Y) - corners[0].Y;
  const double vx = double(corners[2].X) - corners[0].X, vy = double(corners[2].Y) - corners[0].Y;
  const double det = ux * vy - uy * vx;
  if (det == 0) return true;
  const double xs[] = {x0, x0 + ux, x0 + vx, x0 + ux + vx};
  const double ys[] = {y0, y0 + uy, y0 + vy, y0 + uy + vy};
  const auto [left, right] = std::minmax_element(std::begin(xs), std::end(xs));
  const auto [top, bottom] = std::minmax_element(std::begin(ys), std::end(ys));
  const std::vector<TRect> visible =
      VisibleRects(ClampedRect(int64_t(std::floor(*left)), int64_t(std::floor(*top)),
                               int64_t(std::ceil(*right)), int64_t(std::ceil(*bottom))));
  const TPoint so = src->Offset();
  for (const TRect& v : visible) {
    for (int32_t dy = v.Top; dy < v.Bottom; ++dy) {
      uint32_t* row = Row(dy);
      const double cy = dy + 0.5 - y0;
      for (int32_t dx = v.Left; dx < v.Right; ++dx) {
        const double cx = dx + 0.5 - x0;
        const double u = (cx * vy - cy * vx) / det, w = (ux * cy - uy * cx) / det;
        if (u < 0 || u >= 1 || w < 0 || w >= 1) continue;
        const int64_t col = sx + int64_t(std::floor(u * sw)) + so.X;
        const int64_t line = sy + int64_t(std::floor(w * sh)) + so.Y;
        if (col < 0 || line < 0 || col >= src->Width() || line >= src->Height()) continue;
        const uint32_t s = src->Row(int32_t(line))[col];
        CombineTransferPixel(row[dx], s,
                             mode.mask && MaskWhite(mode.mask, int32_t(col), int32_t(line)), dx, dy,
                             mode);
      }
    }
  }
  return true;
}

bool DeviceContext::BitBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src,
                           int32_t sx, int32_t sy, uint32_t rop) {
  return Transfer(x, y, w, h, src, sx, sy, w, h, {.rop = rop});
}

bool DeviceContext::PatBlt(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rop) {
  if (RopUsesSource(rop)) return false;
  return Transfer(x, y, w, h, nullptr, 0, 0, 0, 0, {.rop = rop});
}

bool DeviceContext::StretchBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src,
                               int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t rop) {
  return Transfer(x, y, w, h, src, sx, sy, sw, sh, {.rop = rop});
}

bool DeviceContext::StretchBlt(int32_t x, int32_t y, int32_t w, int32_t h, const DeviceContext* src,
                               int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                               const TBlitMode& mode) {
  return Transfer(x, y, w, h, src, sx, sy, sw, sh, mode);
}

bool DeviceContext::TransparentBlt(int32_t x, int32_t y, int32_t w, int32_t h,
                                   const DeviceContext& src, int32_t sx, int32_t sy, int32_t sw,
                                   int32_t sh, TColorRef transparentColor) {
  return Transfer(x, y, w, h, &src, sx, sy, sw, sh,
                  {.keyRgb = int64_t(RefToRgb(transparentColor))});
}

bool DeviceContext::MaskedStretchBlt(int32_t x, int32_t y, int32_t w, int32_t h,
                                     const DeviceContext& src, int32_t sx, int32_t sy, int32_t sw,
                                     int32_t sh, const DeviceContext& mask) {
  return Transfer(x, y, w, h, &src, sx, sy, sw, sh, {.mask = &mask});
}

}  // namespace plat
