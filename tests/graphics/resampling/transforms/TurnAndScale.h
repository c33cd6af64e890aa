// The turn and enlargement that the transform oracles draw through: set up as Transform sees it
// and undone in double precision.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

#include "graphics/resampling/Rasterizers.h"

namespace resampling_test {

struct TurnAndScale {
  double angle = 23, scale = 1.3, cx = 20, cy = 15, tx = 30, ty = 25;

  // About (cx, cy) of the source, which lands on (tx, ty) of the destination.
  void Apply(gfx::TAffineTransformation& t, const gfx::TRect& srcBounds) const {
    t.SetSrcRect(gfx::FloatRect(srcBounds));
    t.Translate(float(-cx), float(-cy));
    t.Rotate(0, 0, float(angle));
    t.Scale(float(scale), float(scale));
    t.Translate(float(tx), float(ty));
  }
  // The source position (pixel centres at whole numbers) that destination pixel (X, Y) shows.
  void SourceOf(int32_t x, int32_t y, double& u, double& v) const {
    const double a = angle * std::numbers::pi / 180;
    const double px = (x + 0.5 - tx) / scale, py = (y + 0.5 - ty) / scale;
    u = px * std::cos(a) - py * std::sin(a) + cx - 0.5;
    v = px * std::sin(a) + py * std::cos(a) + cy - 0.5;
  }
};

}  // namespace resampling_test
