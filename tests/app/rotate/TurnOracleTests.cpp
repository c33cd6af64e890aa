// The dialog's turn against the geometry worked out here in double precision: the picture centred
// on the square canvas to the whole pixel, turned clockwise on the screen by the gauge's angle
// about its own centre, each canvas pixel showing the picture at its centre by bilinear
// weights over colour times transparency, with transparency around the picture.
#include <cmath>
#include <random>

#include "RotateSupport.h"

namespace {

using namespace rotate_test;

struct Turned {
  bool exact;          // on a pixel centre: that pixel (or nothing) as it is
  uint32_t pixel;      // when exact
  double alpha, c[3];  // otherwise
};

Turned Expected(const gfx::TBitmap32& p, double u, double v) {
  const int w = p.Width(), h = p.Height();
  auto at = [&](long x, long y) -> uint32_t {
    return x >= 0 && y >= 0 && x < w && y < h ? p.Pixel(int(x), int(y)) : 0;
  };
  if (u == std::floor(u) && v == std::floor(v)) return {true, at(long(u), long(v)), 0, {}};
  Turned t{false, 0, 0, {0, 0, 0}};
  const long x = long(std::floor(u)), y = long(std::floor(v));
  for (int dy = 0; dy <= 1; ++dy)
    for (int dx = 0; dx <= 1; ++dx) {
      const double w = (dx ? u - x : 1 - (u - x)) * (dy ? v - y : 1 - (v - y));
      const uint32_t c = at(x + dx, y + dy);
      t.alpha += w * double(c >> 24);
      for (int k = 0; k < 3; ++k) t.c[k] += w * double(c >> 24) * double((c >> (8 * k)) & 255);
    }
  for (double& c : t.c) c = t.alpha > 0 ? c / t.alpha : 0;
  return t;
}

TEST_F(RotateDialogTest, EveryTurnFollowsTheGeometryAndQuarterTurnsMoveWholePixels) {
  std::mt19937 random(2024);
  int checked = 0;
  for (int n = 0; n < 90; ++n) {
    // Single pixels, lines and sizes of both parities first, then random ones.
    const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {2, 3}, {40, 17}, {17, 40}};
    int w = 1 + int(random() % 40), h = 1 + int(random() % 40);
    if (n < 6) w = sizes[n][0], h = sizes[n][1];
    gfx::TBitmap32 picture;
    picture.SetSize(w, h);
    const int kind = n % 3;  // opaque, any alpha, or alpha 0 and 255 only
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t c = random();
        if (kind == 0) c |= 0xFF000000;
        if (kind == 2) c = (c & 0x00FFFFFF) | (random() % 2 ? 0xFF000000 : 0);
        picture.SetPixel(x, y, c);
      }
    Values values;
    values.rotatedBefore = n % 4 == 3;
    Open(picture, values);
    const int side = std::max(w, h);
    const double room = values.rotatedBefore ? 1.05 : 1.45;
    const int d = int(std::nearbyint(side * room));
    ASSERT_EQ(Canvas().Width(), d);
    // The picture's place before the turn: centred, the odd pixel of the margin before it.
    const int left = (d - w + 1) / 2, top = (d - h + 1) / 2;

    int degrees = int(random() % 361) - 180;
    if (n % 5 == 0) degrees = 90 * (int(random() % 5) - 2);
    if (n < 6) degrees = n % 2 ? 90 : 0;
    dialog->Angle->SetPosition(degrees);
    const double a = degrees * M_PI / 180;
    double cs = std::cos(a), sn = std::sin(a);
    if (degrees % 90 == 0) cs = std::round(cs), sn = std::round(sn);

    for (int j = 0; j < d; ++j)
      for (int i = 0; i < d; ++i) {
        // Turned back counter-clockwise about the picture's centre.
        const double cx = left + w / 2.0, cy = top + h / 2.0;
        const double qx = i + 0.5 - cx, qy = j + 0.5 - cy;
        const double u = cx + qx * cs + qy * sn - left - 0.5;
        const double v = cy - qx * sn + qy * cs - top - 0.5;
        const Turned e = Expected(picture, u, v);
        const uint32_t got = Canvas().Pixel(i, j);
        const auto info = [&] {
          return testing::Message() << w << "x" << h << " at " << degrees << "°, pixel " << i << ","
                                    << j << ": " << std::hex << got;
        };
        if (e.exact) {
          ASSERT_EQ(got, e.pixel) << info();
          continue;
        }
        ASSERT_NEAR(double(got >> 24), e.alpha, 0.5 + 1e-9) << info();
        if ((got >> 24) < 2) continue;
        for (int k = 0; k < 3; ++k)
          ASSERT_NEAR(double((got >> (8 * k)) & 255), e.c[k], 0.5 + 1e-6) << info() << " " << k;
        ++checked;
      }
  }
  EXPECT_GT(checked, 20000);
}

}  // namespace
