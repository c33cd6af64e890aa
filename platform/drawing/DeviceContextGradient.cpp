// Gradient fills of the device context: colours interpolated across triangles.
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/PixelOps.h"

namespace plat {

void DeviceContext::GradientTriangle(std::span<const TTriVertex, 3> corners) {
  if (!HasSurface()) return;
  std::array<TPoint, 3> p;
  for (size_t i = 0; i < 3; ++i) p[i] = LogicalToDevice(corners[i].Point);
  const double x0 = p[0].X, y0 = p[0].Y;
  const double ux = p[1].X - x0, uy = p[1].Y - y0, vx = p[2].X - x0, vy = p[2].Y - y0;
  const double area = ux * vy - uy * vx;
  if (area == 0) return;

  // Each channel is a plane over the triangle: c = c0 + gx (x - x0) + gy (y - y0).
  struct Plane {
    double c0, gx, gy;
  };
  const auto plane = [&](uint16_t TTriVertex::*channel) {
    const double c0 = corners[0].*channel, du = corners[1].*channel - c0,
                 dv = corners[2].*channel - c0;
    return Plane{c0, (du * vy - dv * uy) / area, (dv * ux - du * vx) / area};
  };
  const Plane planes[3] = {plane(&TTriVertex::Red), plane(&TTriVertex::Green),
                           plane(&TTriVertex::Blue)};

  const int64_t top = std::min({p[0].Y, p[1].Y, p[2].Y});
  const int64_t bottom = int64_t(std::max({p[0].Y, p[1].Y, p[2].Y})) + 1;
  const int64_t left = std::min({p[0].X, p[1].X, p[2].X});
  const int64_t right = int64_t(std::max({p[0].X, p[1].X, p[2].X})) + 1;
  for (const TRect& v : VisibleRects(ClampedRect(left, top, right, bottom))) {
    for (int32_t y = v.Top; y < v.Bottom; ++y) {
      // Where the row's centre line crosses the triangle's edges.
      const double cy = y + 0.5;
      double from = HUGE_VAL, to = -HUGE_VAL;
      for (size_t i = 0; i < 3; ++i) {
        const TPoint a = p[i], b = p[(i + 1) % 3];
        // Corners lie on whole rows and centre lines between them: no edge runs along one.
        if ((cy < a.Y && cy < b.Y) || (cy > a.Y && cy > b.Y)) continue;
        const double x = a.X + (cy - a.Y) * (b.X - a.X) / (b.Y - a.Y);
        from = std::min(from, x);
        to = std::max(to, x);
      }
      if (from > to) continue;
      // Pixels whose centres lie between the crossings.
      const int32_t first = int32_t(std::max<double>(v.Left, std::ceil(from - 0.5)));
      const int32_t last = int32_t(std::min<double>(v.Right - 1, std::floor(to - 0.5)));
      uint32_t* row = Row(y);
      for (int32_t x = first; x <= last; ++x) {
        uint32_t rgb = 0;
        for (const Plane& c : planes) {
          const double value = c.c0 + c.gx * (x + 0.5 - x0) + c.gy * (cy - y0);
          rgb = (rgb << 8) | uint32_t(std::clamp(value, 0.0, 65535.0)) >> 8;
        }
        row[x] = (row[x] & ~kRgbMask) | rgb;
      }
    }
  }
}

}  // namespace plat
