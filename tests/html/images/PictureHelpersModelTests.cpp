// Models of the drawing helpers: CSS borders of the filled styles over random rings (each side
// a quadrilateral, one-pixel sides lines, 3-D styles darkened, double sides in thirds),
// darkened colours, and one-pixel strips enlarged for tiling.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <random>

#include "html/images/PictureHelpers.h"
#include "html/layout/sections/BorderDrawing.h"

namespace {

using html::TColor;

constexpr int kSide = 48;
constexpr TColor kPaper = 0x00F0F0F0;

// Red, green and blue times 3/4, a half rounded to even.
TColor ModelDarker(TColor c) {
  TColor out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t v = (c >> shift) & 0xFF, q = 3 * v / 4, r = 3 * v % 4;
    out |= (r > 2 || (r == 2 && q % 2 == 1) ? q + 1 : q) << shift;
  }
  return out;
}

struct Point {
  double x, y;
};
using Quad = std::array<Point, 4>;

// Corners from bottom left round to bottom right, as the sides take them.
Quad Corners(double l, double t, double r, double b) {
  return {{{l, b}, {l, t}, {r, t}, {r, b}}};
}

// Side k of the ring between two corner lists.
Quad SideOf(const Quad& o, const Quad& i, int k) {
  const int n = (k + 1) % 4;
  return {o[size_t(k)], o[size_t(n)], i[size_t(n)], i[size_t(k)]};
}

// 1 inside, 0 outside, -1 within reach of a slanted edge (the fill may go either way there).
int InQuad(const Quad& q, double px, double py) {
  int sign = 0;
  for (int k = 0; k < 4; ++k) {
    const Point a = q[size_t(k)], b = q[size_t((k + 1) % 4)];
    const double ex = b.x - a.x, ey = b.y - a.y, length = std::hypot(ex, ey);
    if (length == 0) continue;
    const double cross = (ex * (py - a.y) - ey * (px - a.x)) / length;
    if (ex != 0 && ey != 0 && std::abs(cross) < 0.75) return -1;
    if (cross == 0) return 0;
    const int s = cross > 0 ? 1 : -1;
    if (sign != 0 && s != sign) return 0;
    sign = s;
  }
  return 1;
}

// The expected picture: a colour, or nothing where the model cannot tell.
using Expected = std::array<std::optional<TColor>, kSide * kSide>;

// One side's quadrilateral as the helper paints it: filled when thicker than a pixel, else the
// one-pixel line between the corners the side picks.
void PaintSide(Expected& out, const Quad& p, TColor color, int side) {
  const bool vertical = side == 0 || side == 2;
  const double thickness = vertical ? std::abs(p[2].x - p[1].x) : std::abs(p[2].y - p[1].y);
  if (thickness < 1) return;
  if (thickness == 1) {
    Point from{}, to{};
    switch (side) {
      case 0:
        from = {p[0].x, p[1].y}, to = {p[0].x, p[3].y};
        break;
      case 1:
        from = {p[0].x, p[1].y}, to = {p[1].x, p[1].y};
        break;
      case 2:
        from = {p[2].x, p[0].y}, to = {p[2].x, p[1].y};
        break;
      default:
        from = {p[1].x, p[3].y}, to = {p[3].x, p[3].y};
        break;
    }
    // A line leaves out its end point.
    const int dx = to.x > from.x ? 1 : to.x < from.x ? -1 : 0;
    const int dy = to.y > from.y ? 1 : to.y < from.y ? -1 : 0;
    for (int x = int(from.x), y = int(from.y); x != int(to.x) || y != int(to.y); x += dx, y += dy)
      if (x >= 0 && y >= 0 && x < kSide && y < kSide) out[size_t(y * kSide + x)] = color;
    return;
  }
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      const int in = InQuad(p, x + 0.5, y + 0.5);
      if (in < 0) out[size_t(y * kSide + x)].reset();
      if (in > 0) out[size_t(y * kSide + x)] = color;
    }
}

TEST(BorderModel, FilledStylesPaintTheRingAsTheModelSays) {
  std::mt19937 random(154);
  int checked = 0;
  for (int n = 0; n < 600; ++n) {
    const int l = int(random() % 12), t = int(random() % 12);
    const int r = kSide - int(random() % 12), b = kSide - int(random() % 12);
    int widths[4];
    for (int& w : widths) w = random() % 4 == 0 ? int(random() % 3) : int(random() % 11);
    const int il = l + widths[0], it = t + widths[1], ir = r - widths[2], ib = b - widths[3];
    uint8_t styles[4];
    TColor colors[4];
    for (int k = 0; k < 4; ++k) {
      const uint8_t pick[] = {html::bssNone,   html::bssSolid, html::bssInset,  html::bssOutset,
                              html::bssGroove, html::bssRidge, html::bssDouble, 17};
      styles[k] = pick[random() % std::size(pick)];
      colors[k] = random() & 0xFFFFFF;
    }
    const TColor background = random() % 2 ? TColor(random() & 0xFFFFFF) : html::clNone;

    plat::TBitmap bitmap;
    bitmap.SetSize(kSide, kSide);
    bitmap.Canvas().Brush().SetColor(kPaper);
    bitmap.Canvas().FillRect({0, 0, kSide, kSide});
    html::DrawCssBorder(bitmap.Canvas(), {l, t, r, b}, {il, it, ir, ib}, background,
                        html::PackBorderSides(styles[0], styles[1], styles[2], styles[3]),
                        html::SetRectRec(colors[0], colors[1], colors[2], colors[3]));

    Expected expected;
    expected.fill(kPaper);
    const bool anyDouble =
        std::find(std::begin(styles), std::end(styles), html::bssDouble) != std::end(styles);
    if (background != html::clNone && anyDouble)
      for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
          if (x < il || x >= ir || y < it || y >= ib) expected[size_t(y * kSide + x)] = background;
    const Quad o = Corners(l, t, r, b), i = Corners(il, it, ir, ib);
    // Halves toward zero; thirds with one more when two remain.
    const Quad m = Corners((l + il) / 2, (t + it) / 2, (r + ir) / 2, (b + ib) / 2);
    auto third = [](int w) { return w / 3 + (w % 3 == 2); };
    const Quad a = Corners(l + third(widths[0]), t + third(widths[1]), r - third(widths[2]),
                           b - third(widths[3]));
    const Quad bb = Corners(il - third(widths[0]), it - third(widths[1]), ir + third(widths[2]),
                            ib + third(widths[3]));
    for (int k = 0; k < 4; ++k) {
      const bool leftOrTop = k < 2;
      const TColor c = colors[k], dark = ModelDarker(c);
      switch (styles[k]) {
        case html::bssSolid:
          PaintSide(expected, SideOf(o, i, k), c, k);
          break;
        case html::bssInset:
          PaintSide(expected, SideOf(o, i, k), leftOrTop ? dark : c, k);
          break;
        case html::bssOutset:
          PaintSide(expected, SideOf(o, i, k), leftOrTop ? c : dark, k);
          break;
        case html::bssGroove:
          PaintSide(expected, SideOf(o, m, k), leftOrTop ? dark : c, k);
          PaintSide(expected, SideOf(m, i, k), leftOrTop ? c : dark, k);
          break;
        case html::bssRidge:
          PaintSide(expected, SideOf(o, m, k), leftOrTop ? c : dark, k);
          PaintSide(expected, SideOf(m, i, k), leftOrTop ? dark : c, k);
          break;
        case html::bssDouble:
          PaintSide(expected, SideOf(o, a, k), c, k);
          PaintSide(expected, SideOf(bb, i, k), c, k);
          break;
        default:
          break;
      }
    }
    int wrong = 0;
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const std::optional<TColor>& want = expected[size_t(y * kSide + x)];
        if (!want) continue;
        ++checked;
        if (bitmap.Pixel(x, y) != *want && ++wrong <= 3)
          ADD_FAILURE() << "border " << n << " pixel " << x << "," << y << ": " << std::hex
                        << bitmap.Pixel(x, y) << " not " << *want;
      }
    ASSERT_EQ(wrong, 0) << "outer " << l << "," << t << "," << r << "," << b << " widths "
                        << widths[0] << "," << widths[1] << "," << widths[2] << "," << widths[3]
                        << " styles " << int(styles[0]) << int(styles[1]) << int(styles[2])
                        << int(styles[3]);
  }
  EXPECT_GT(checked, 600 * kSide * kSide * 9 / 10);
}

TEST(BorderModel, DarkerColours) {
  std::mt19937 random(1541);
  for (int n = 0; n < 2000; ++n) {
    const TColor c = random() & 0xFFFFFF;
    ASSERT_EQ(html::DarkerColor(c), ModelDarker(c)) << std::hex << c;
  }
}

TEST(PictureHelpersModel, OnePixelSidesAreEnlargedForTiling) {
  std::mt19937 random(1542);
  for (int n = 0; n < 200; ++n) {
    const int w = random() % 2 ? 1 : 1 + int(random() % 5),
              h = random() % 2 ? 1 : 1 + int(random() % 5);
    plat::TBitmap picture;
    picture.SetPixelFormat(plat::pf32bit);
    picture.SetSize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) picture.Canvas().SetPixel(x, y, random() & 0xFFFFFF);
    const int wantW = int(random() % 300) - 20, wantH = int(random() % 300) - 20;
    const auto big = html::EnlargeImage(picture, wantW, wantH);
    const int bw = w == 1 ? std::clamp(wantW, 1, 100) : w,
              bh = h == 1 ? std::clamp(wantH, 1, 100) : h;
    ASSERT_EQ(big->Width(), bw);
    ASSERT_EQ(big->Height(), bh);
    EXPECT_EQ(html::GetImageWidth(*big), bw);
    EXPECT_EQ(html::GetImageHeight(*big), bh);
    // Stretched: every pixel of the enlarged picture comes from the pixel it stretches.
    int wrong = 0;
    for (int y = 0; y < bh; ++y)
      for (int x = 0; x < bw; ++x)
        wrong += big->Pixel(x, y) != picture.Pixel(x * w / bw, y * h / bh);
    EXPECT_EQ(wrong, 0) << w << "x" << h << " to " << bw << "x" << bh;
  }
  EXPECT_THROW(html::GetImageWidth(plat::TObject()), plat::Exception);
}

}  // namespace
