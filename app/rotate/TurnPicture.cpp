#include "app/rotate/TurnPicture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/core/Blend.h"

namespace app {
namespace {

struct TTurn {
  double Cos, Sin;
};

bool QuarterTurn(double Degrees) {
  const double quarters = Degrees / 90;
  return quarters == std::floor(quarters) && std::fabs(quarters) < 1e9;
}

// Quarter turns take their cosine and sine exactly, so that pixel centres map onto pixel centres.
TTurn TurnOf(double Degrees) {
  if (QuarterTurn(Degrees)) {
    const double quarters = Degrees / 90;
    static constexpr TTurn exact[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    return exact[((int64_t(quarters) % 4) + 4) % 4];
  }
  const double a = Degrees * std::numbers::pi / 180;
  return {std::cos(a), std::sin(a)};
}

// The picture at (U, V), pixel centres at whole numbers, transparent around it.
class TTurnSampler {
 public:
  explicit TTurnSampler(const gfx::TBitmap32& Picture)
      : bits_(Picture.Bits()), w_(Picture.Width()), h_(Picture.Height()) {}

  gfx::TColor32 At(double U, double V) const {
    const int64_t x = Floor(U), y = Floor(V);
    const double fx = U - double(x), fy = V - double(y);
    if (fx == 0 && fy == 0) return Pixel(x, y);
    gfx::TColor32 p[4];
    if (x >= 0 && y >= 0 && x + 1 < w_ && y + 1 < h_) {
      const gfx::TColor32* top = bits_ + y * w_ + x;
      p[0] = top[0], p[1] = top[1], p[2] = top[w_], p[3] = top[w_ + 1];
    } else {
      p[0] = Pixel(x, y), p[1] = Pixel(x + 1, y), p[2] = Pixel(x, y + 1),
      p[3] = Pixel(x + 1, y + 1);
    }
    const double w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
    double a = 0, c[3] = {0, 0, 0};
    for (int i = 0; i < 4; ++i) {
      const double wa = w[i] * double(p[i] >> 24);
      a += wa;
      for (int k = 0; k < 3; ++k) c[k] += wa * double((p[i] >> (8 * k)) & 0xFF);
    }
    // Rounded to the nearest; the colours are means of bytes, so they stay within 255.
    const auto alpha = gfx::TColor32(a + 0.5);
    if (alpha == 0) return 0;
    gfx::TColor32 result = alpha << 24;
    const double perAlpha = 1 / a;
    for (int k = 0; k < 3; ++k)
      result |= std::min<gfx::TColor32>(255, gfx::TColor32(c[k] * perAlpha + 0.5)) << (8 * k);
    return result;
  }

 private:
  // Positions stay well inside the 64-bit range: they lie near the canvas.
  static int64_t Floor(double v) {
    const auto t = int64_t(v);
    return double(t) > v ? t - 1 : t;
  }
  gfx::TColor32 Pixel(int64_t x, int64_t y) const {
    return x >= 0 && y >= 0 && x < w_ && y < h_ ? bits_[y * w_ + x] : 0;
  }
  const gfx::TColor32* bits_;
  const int64_t w_, h_;
};

// The canvas a Width x Height picture turned by Degrees fills, and where its top-left corner lies
// from the picture's (halves where the sides differ by an odd number).
struct TTurnedBox {
  int32_t Width = 0, Height = 0;
  double ShiftX = 0, ShiftY = 0;
};

TTurnedBox TurnedBox(int32_t Width, int32_t Height, double Degrees) {
  const TTurn t = TurnOf(Degrees);
  const double c = std::fabs(t.Cos), s = std::fabs(t.Sin);
  TTurnedBox box;
  if (QuarterTurn(Degrees)) {
    box.Width = int32_t(c * Width + s * Height);
    box.Height = int32_t(s * Width + c * Height);
  } else {
    // Sampling fades the picture out over half a pixel beyond each edge.
    const double w = Width + 1.0, h = Height + 1.0;
    box.Width = int32_t(std::ceil(c * w + s * h));
    box.Height = int32_t(std::ceil(s * w + c * h));
  }
  box.ShiftX = (Width - box.Width) / 2.0;
  box.ShiftY = (Height - box.Height) / 2.0;
  return box;
}

}  // namespace

int32_t TurnOffset(int32_t Side, int32_t Length) {
  const int64_t margin = int64_t(Side) - Length + 1;
  return int32_t(margin >= 0 ? margin / 2 : -((1 - margin) / 2));
}

void DrawTurned(gfx::TBitmap32& Canvas, const gfx::TBitmap32& Picture, double Left, double Top,
                double Degrees, bool Merged) {
  if (Canvas.Empty() || Picture.Empty()) return;
  const TTurn t = TurnOf(Degrees);
  const double cx = Left + Picture.Width() / 2.0, cy = Top + Picture.Height() / 2.0;
  // Canvas points d from the centre show the picture at the centre plus d turned back.
  auto back = [&](double dx, double dy, double& u, double& v) {
    u = cx + dx * t.Cos - dy * t.Sin - Left - 0.5;
    v = cy + dx * t.Sin + dy * t.Cos - Top - 0.5;
  };
  // The turned picture's box on the canvas, one pixel wider for the fading edges.
  double x0 = cx, x1 = cx, y0 = cy, y1 = cy;
  for (double px : {Left, Left + Picture.Width()})
    for (double py : {Top, Top + Picture.Height()}) {
      const double dx = px - cx, dy = py - cy;
      const double x = cx + dx * t.Cos + dy * t.Sin, y = cy - dx * t.Sin + dy * t.Cos;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  const int32_t left = int32_t(std::max(0.0, std::floor(x0) - 1));
  const int32_t right = int32_t(std::min(double(Canvas.Width()), std::ceil(x1) + 1));
  const int32_t top = int32_t(std::max(0.0, std::floor(y0) - 1));
  const int32_t bottom = int32_t(std::min(double(Canvas.Height()), std::ceil(y1) + 1));

  const TTurnSampler sampler(Picture);
  const gfx::TBlendMem merge = gfx::MergeMem;
  for (int32_t j = top; j < bottom; ++j) {
    gfx::TColor32* row = Canvas.PixelPtr(0, j);
    const double dy = j + 0.5 - cy;
    for (int32_t i = left; i < right; ++i) {
      double u, v;
      back(i + 0.5 - cx, dy, u, v);
      const gfx::TColor32 c = sampler.At(u, v);
      if (!Merged)
        row[i] = c;
      else if (c >> 24 != 0)
        merge(c, row[i]);
    }
  }
  gfx::EMMS();
}

std::unique_ptr<gfx::TBitmap32> TurnedPicture(const gfx::TBitmap32& Picture, double Degrees) {
  const TTurnedBox box = TurnedBox(Picture.Width(), Picture.Height(), Degrees);
  auto turned = std::make_unique<gfx::TBitmap32>();
  turned->SetSize(box.Width, box.Height);
  turned->ClearWithColor(0x00000000);
  // The picture's centre on the canvas centre, where the turn goes about.
  DrawTurned(*turned, Picture, -box.ShiftX, -box.ShiftY, Degrees, false);
  return turned;
}

TCanvasPart TurnedPart(const gfx::TBitmap32& Canvas, const plat::TRect& Picture) {
  plat::TRect r{std::max(Picture.Left, 0), std::max(Picture.Top, 0),
                std::min(Picture.Right, Canvas.Width()), std::min(Picture.Bottom, Canvas.Height())};
  for (int32_t y = 0; y < Canvas.Height(); ++y) {
    const gfx::TColor32* row = Canvas.RowPtr(y);
    for (int32_t x = 0; x < Canvas.Width(); ++x)
      if (row[x] >> 24 != 0) {
        r.Left = std::min(r.Left, x), r.Right = std::max(r.Right, x + 1);
        r.Top = std::min(r.Top, y), r.Bottom = std::max(r.Bottom, y + 1);
      }
  }
  TCanvasPart part{std::make_unique<gfx::TBitmap32>(), r};
  part.Picture->SetSize(r.Width(), r.Height());
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    std::copy_n(Canvas.PixelPtr(r.Left, y), r.Width(), part.Picture->RowPtr(y - r.Top));
  return part;
}

}  // namespace app
