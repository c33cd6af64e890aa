// Scaled, alpha-blended drawing of imaging-layer pictures onto device contexts and images.
#include <algorithm>
#include <cmath>
#include <vector>

#include "html/images/GdiPlusLoader.h"

namespace html {

namespace {

// 32-bit pixels to draw on: an image's own pixels, or a copy of part of a device context.
struct Surface {
  uint32_t* bits;
  int width, height;
  int64_t stride;  // in pixels
  // Device contexts keep their alpha bytes: only the colours take the picture.
  bool keepAlpha;
  uint32_t& At(int x, int y) const { return bits[int64_t(y) * stride + x]; }
};

uint32_t Channel(uint32_t argb, int shift) {
  return (argb >> shift) & 0xFF;
}

uint32_t BlendOver(uint32_t src, uint32_t dst, bool keepAlpha) {
  const uint32_t a = src >> 24;
  if (a == 0) return dst;
  if (keepAlpha) {
    uint32_t out = dst & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t v = (Channel(src, shift) * a + Channel(dst, shift) * (255 - a) + 127) / 255;
      out |= v << shift;
    }
    return out;
  }
  // Straight alpha on both sides: the weights are a and the destination's remaining share.
  const uint32_t dstShare = (Channel(dst, 24) * (255 - a) + 127) / 255;
  const uint32_t outA = a + dstShare;
  uint32_t out = outA << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t v = (Channel(src, shift) * a + Channel(dst, shift) * dstShare + outA / 2) / outA;
    out |= v << shift;
  }
  return out;
}

// The part of the source rectangle that lies on the image; empty when none does.
struct SourceArea {
  int lo[2], hi[2];  // inclusive pixel bounds, x then y
  bool Empty() const { return hi[0] < lo[0] || hi[1] < lo[1]; }
};

// The source pixel for destination offset i of a side of dstLen pixels showing srcLen pixels from
// srcStart, by nearest neighbour: srcStart + floor((2i + 1) srcLen / (2 dstLen)).
int64_t NearestSource(int64_t i, int64_t srcStart, int64_t srcLen, int64_t dstLen) {
  return srcStart + (2 * i + 1) * srcLen / (2 * dstLen);
}

uint32_t SampleBilinear(const TGpImage& image, const SourceArea& area, double u, double v) {
  const double pos[2] = {u, v};
  int lo[2], hi[2];
  double frac[2];
  for (int k = 0; k < 2; ++k) {
    const double p = std::clamp(pos[k], double(area.lo[k]), double(area.hi[k]));
    lo[k] = int(std::floor(p));
    hi[k] = std::min(lo[k] + 1, area.hi[k]);
    frac[k] = p - lo[k];
  }
  double sum[4] = {0, 0, 0, 0};  // premultiplied blue, green, red, then alpha
  for (int corner = 0; corner < 4; ++corner) {
    const int x = corner & 1 ? hi[0] : lo[0], y = corner & 2 ? hi[1] : lo[1];
    const double w = (corner & 1 ? frac[0] : 1 - frac[0]) * (corner & 2 ? frac[1] : 1 - frac[1]);
    const uint32_t p = image.Pixel(x, y);
    const double a = Channel(p, 24) * w;
    for (int c = 0; c < 3; ++c) sum[c] += Channel(p, 8 * c) * a;
    sum[3] += a;
  }
  if (sum[3] <= 0) return 0;
  uint32_t out = uint32_t(std::lround(sum[3])) << 24;
  for (int c = 0; c < 3; ++c)
    out |= uint32_t(std::clamp(std::lround(sum[c] / sum[3]), 0L, 255L)) << (8 * c);
  return out;
}

// Draws the source rectangle of image into the destination rectangle (surface coordinates, may
// reach outside the surface).
void BlendScaled(const Surface& dst, int64_t dx, int64_t dy, int64_t dw, int64_t dh,
                 const TGpImage& image, int sx, int sy, int sw, int sh, TGpInterpolation mode) {
  if (dw < 1 || dh < 1 || sw < 1 || sh < 1) return;
  const SourceArea area{{std::max(sx, 0), std::max(sy, 0)},
                        {int(std::min<int64_t>(int64_t(sx) + sw, image.Width()) - 1),
                         int(std::min<int64_t>(int64_t(sy) + sh, image.Height()) - 1)}};
  if (area.Empty()) return;
  const int64_t x0 = std::max<int64_t>(dx, 0), x1 = std::min<int64_t>(dx + dw, dst.width);
  const int64_t y0 = std::max<int64_t>(dy, 0), y1 = std::min<int64_t>(dy + dh, dst.height);
  for (int64_t y = y0; y < y1; ++y) {
    const int64_t ny = NearestSource(y - dy, sy, sh, dh);
    const double v = sy + (double(y - dy) + 0.5) * sh / double(dh) - 0.5;
    for (int64_t x = x0; x < x1; ++x) {
      uint32_t src;
      if (mode == TGpInterpolation::NearestNeighbor) {
        const int64_t nx = NearestSource(x - dx, sx, sw, dw);
        if (nx < area.lo[0] || nx > area.hi[0] || ny < area.lo[1] || ny > area.hi[1]) continue;
        src = image.Pixel(int(nx), int(ny));
      } else {
        const double u = sx + (double(x - dx) + 0.5) * sw / double(dw) - 0.5;
        src = SampleBilinear(image, area, u, v);
      }
      uint32_t& d = dst.At(int(x), int(y));
      d = BlendOver(src, d, dst.keepAlpha);
    }
  }
}

}  // namespace

TGpGraphics::TGpGraphics(plat::DeviceContext& dc) : dc_(&dc) {}

TGpGraphics::TGpGraphics(TGpImage& image) : image_(&image) {}

std::unique_ptr<TGpGraphics> TGpGraphics::CreateFromImage(TGpImage& image) {
  return std::make_unique<TGpGraphics>(image);
}

void TGpGraphics::DrawImageRectRect(const TGpImage& image, int dx, int dy, int dw, int dh, int sx,
                                    int sy, int sw, int sh) {
  if (image_) {
    if (image_->Empty()) return;
    const Surface surface{image_->Row(0), image_->Width(), image_->Height(), image_->Width(),
                          false};
    BlendScaled(surface, dx, dy, dw, dh, image, sx, sy, sw, sh, interpolation_);
    return;
  }
  if (!dc_->HasSurface() || dw < 1 || dh < 1) return;
  // Blend into a copy of the visible part, then copy it back so the context's origin and clip
  // region decide what changes.
  const plat::TRect box = dc_->ClipBox();
  const int64_t left = std::max<int64_t>(dx, box.Left), top = std::max<int64_t>(dy, box.Top);
  const int64_t right = std::min<int64_t>(int64_t(dx) + dw, box.Right);
  const int64_t bottom = std::min<int64_t>(int64_t(dy) + dh, box.Bottom);
  if (right <= left || bottom <= top) return;
  const int w = int(right - left), h = int(bottom - top);
  std::vector<uint32_t> copy(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const plat::TPoint p = dc_->LogicalToDevice({int32_t(left + x), int32_t(top + y)});
      if (p.X >= 0 && p.Y >= 0 && p.X < dc_->Width() && p.Y < dc_->Height())
        copy[size_t(y) * size_t(w) + size_t(x)] =
            dc_->Bits()[int64_t(p.Y) * (dc_->Stride() / 4) + p.X];
    }
  }
  const Surface surface{copy.data(), w, h, w, true};
  BlendScaled(surface, dx - left, dy - top, dw, dh, image, sx, sy, sw, sh, interpolation_);
  plat::DeviceContext source(copy.data(), w, h, w * 4);
  dc_->BitBlt(int32_t(left), int32_t(top), w, h, &source, 0, 0, plat::SRCCOPY);
}

void TGpGraphics::DrawImageRect(const TGpImage& image, int x, int y, int w, int h) {
  const bool enlargesThinWidth = image.Width() <= 10 && w > image.Width();
  const bool enlargesThinHeight = image.Height() <= 10 && h > image.Height();
  if (enlargesThinWidth || enlargesThinHeight)
    StretchSmallImage(image, x, y, w, h);
  else
    DrawImageRectRect(image, x, y, w, h, 0, 0, image.Width(), image.Height());
}

void TGpGraphics::DrawImage(const TGpImage& image, int x, int y) {
  DrawImageRectRect(image, x, y, image.Width(), image.Height(), 0, 0, image.Width(),
                    image.Height());
}

void TGpGraphics::DrawImagePart(const TGpImage& image, int x, int y, int sx, int sy, int sw,
                                int sh) {
  DrawImageRectRect(image, x, y, sw, sh, sx, sy, sw, sh);
}

void TGpGraphics::Clear(uint32_t argb) {
  if (image_) {
    for (int y = 0; y < image_->Height(); ++y) std::fill_n(image_->Row(y), image_->Width(), argb);
    return;
  }
  plat::TLogBrush brush;
  brush.Color = plat::ARGBToColor(argb);
  dc_->FillRect(dc_->ClipBox(), brush);
}

// Bilinear sampling would fade a picture of a few pixels towards its edges; nearest-neighbour
// sampling of this layer never reads past the picture's last row or column, so the enlarged
// picture keeps its own colours right up to the border.
void TGpGraphics::StretchSmallImage(const TGpImage& image, int x, int y, int w, int h) {
  const TGpInterpolation saved = interpolation_;
  interpolation_ = TGpInterpolation::NearestNeighbor;
  DrawImageRectRect(image, x, y, w, h, 0, 0, image.Width(), image.Height());
  interpolation_ = saved;
}

}  // namespace html
