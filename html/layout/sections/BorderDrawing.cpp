#include "html/layout/sections/BorderDrawing.h"

#include <cmath>
#include <vector>

#include "html/HtmlEngine.h"
#include "html/base/SafeMath.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/drawing/Region.h"

namespace html {

namespace {

// Borders far outside the page stay within what device coordinates hold.
constexpr int32_t kTopLimit = -200;
constexpr int32_t kBottomLimit = 5000;
// Sideways only the limits of what regions and paths hold apply.
constexpr int32_t kSideLimit = 1 << 24;

void ClampSides(plat::TRect& r) {
  r.Left = std::clamp(r.Left, -kSideLimit, kSideLimit);
  r.Right = std::clamp(r.Right, -kSideLimit, kSideLimit);
}

plat::TColorRef ToColorRef(TColor color) {
  uint32_t value = uint32_t(color) | PaletteRelative();
  if (value & 0x80000000u) value = uint32_t(plat::GetSysColor(int(value & 0xFF)));
  return value & 0xFFFFFF;
}

TQuad Corners(const plat::TRect& r) {
  return {{{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}, {r.Right, r.Bottom}}};
}

TQuad SideQuad(const TQuad& outer, const TQuad& inner, int side) {
  const int next = (side + 1) % 4;
  return {outer[size_t(side)], outer[size_t(next)], inner[size_t(next)], inner[size_t(side)]};
}

uint8_t StyleOf(uint32_t styles, int side) {
  const uint8_t style = uint8_t(styles >> (8 * side));
  return style < 16 ? style : uint8_t(bssNone);
}

bool AnySide(const std::array<uint8_t, 4>& styles, std::initializer_list<uint8_t> wanted) {
  for (uint8_t style : styles)
    for (uint8_t w : wanted)
      if (style == w) return true;
  return false;
}

int32_t Mid(int32_t a, int32_t b) {
  return int32_t((int64_t(a) + b) / 2);
}

// A third of a width, rounded up when two thirds remain.
int32_t Third(int32_t width) {
  return width / 3 + (width % 3 == 2 ? 1 : 0);
}

// Strokes the dashed or dotted sides from `first` on along the middle rectangle while the sides
// match; returns the last side stroked.
int StrokeSides(plat::DeviceContext& dc, const TQuad& middle, const std::array<uint8_t, 4>& styles,
                const TSideColors& colors, const std::array<int32_t, 4>& widths, int first) {
  int last = first;
  while (last < 3 && styles[size_t(last + 1)] == styles[size_t(first)] &&
         colors[size_t(last + 1)] == colors[size_t(first)] &&
         widths[size_t(last + 1)] == widths[size_t(first)])
    ++last;
  if (widths[size_t(first)] < 1) return last;
  const int saved = dc.SaveDC();
  dc.SelectPen({styles[size_t(first)] == bssDashed ? plat::PS_DASH : plat::PS_DOT,
                widths[size_t(first)], ToColorRef(colors[size_t(first)]), plat::PS_ENDCAP_SQUARE,
                plat::PS_JOIN_MITER});
  if (first == 0 && last == 3) {
    dc.SelectBrush({plat::BS_NULL, 0, 0});
    dc.Polygon(middle);
  } else {
    std::vector<plat::TPoint> path;
    for (int side = first; side <= last + 1; ++side) path.push_back(middle[size_t(side % 4)]);
    dc.Polyline(path);
  }
  dc.RestoreDC(saved);
  return last;
}

}  // namespace

TColor DarkerColor(TColor color) {
  if (uint32_t(color) & 0x80000000u) color = plat::GetSysColor(int(uint32_t(color) & 0xFF));
  auto darker = [](uint8_t channel) { return uint8_t(std::nearbyint(channel * 0.75)); };
  return plat::RGB(darker(plat::GetRValue(color)), darker(plat::GetGValue(color)),
                   darker(plat::GetBValue(color)));
}

void DrawBorderSide(plat::TCanvas& canvas, const TQuad& p, TColor color, TBorderSide side) {
  plat::DeviceContext* dc = canvas.Handle();
  if (!dc) return;
  const bool vertical = side == bsLeft || side == bsRight;
  const int64_t thickness =
      vertical ? std::abs(int64_t(p[2].X) - p[1].X) : std::abs(int64_t(p[2].Y) - p[1].Y);
  if (thickness > 1) {
    dc->FillRgn(plat::TRegion::Polygon(p, plat::ALTERNATE), {plat::BS_SOLID, ToColorRef(color)});
    return;
  }
  if (thickness < 1) return;
  plat::TPoint from, to;
  switch (side) {
    case bsLeft:
      from = {p[0].X, p[1].Y}, to = {p[0].X, p[3].Y};
      break;
    case bsTop:
      from = {p[0].X, p[1].Y}, to = {p[1].X, p[1].Y};
      break;
    case bsRight:
      from = {p[2].X, p[0].Y}, to = {p[2].X, p[1].Y};
      break;
    case bsBottom:
      from = {p[1].X, p[3].Y}, to = {p[3].X, p[3].Y};
      break;
  }
  const int saved = dc->SaveDC();
  dc->SelectPen({plat::PS_SOLID, 1, ToColorRef(color)});
  dc->MoveTo(from);
  dc->LineTo(to);
  dc->RestoreDC(saved);
}

void DrawCssBorder(plat::TCanvas& canvas, plat::TRect outer, plat::TRect inner, TColor background,
                   uint32_t packedStyles, const TSideColors& colors) {
  plat::DeviceContext* dc = canvas.Handle();
  if (!dc) return;
  outer.Bottom = std::min(outer.Bottom, kBottomLimit);
  inner.Bottom = std::min(inner.Bottom, kBottomLimit);
  outer.Top = std::max(outer.Top, kTopLimit);
  inner.Top = std::max(inner.Top, kTopLimit);
  ClampSides(outer);
  ClampSides(inner);
  // A box wholly above or below the limits has nothing left to draw.
  if (outer.Bottom <= outer.Top) return;

  std::array<uint8_t, 4> styles{};
  for (int side = 0; side < 4; ++side) styles[size_t(side)] = StyleOf(packedStyles, side);
  const std::array<int32_t, 4> widths = {
      plat::SpanBetween(outer.Left, inner.Left), plat::SpanBetween(outer.Top, inner.Top),
      plat::SpanBetween(inner.Right, outer.Right), plat::SpanBetween(inner.Bottom, outer.Bottom)};
  const TQuad o = Corners(outer), i = Corners(inner);

  TQuad m{};
  if (AnySide(styles, {bssGroove, bssRidge, bssDashed, bssDotted})) {
    m = Corners({Mid(outer.Left, inner.Left), Mid(outer.Top, inner.Top),
                 Mid(outer.Right, inner.Right), Mid(outer.Bottom, inner.Bottom)});
  }
  TQuad a{}, b{};
  if (AnySide(styles, {bssDouble})) {
    const int32_t l = Third(widths[0]), t = Third(widths[1]), r = Third(widths[2]),
                  bt = Third(widths[3]);
    a = Corners({SaturatedSum(outer.Left, l), SaturatedSum(outer.Top, t),
                 SaturatedSum(outer.Right, -r), SaturatedSum(outer.Bottom, -bt)});
    b = Corners({SaturatedSum(inner.Left, -l), SaturatedSum(inner.Top, -t),
                 SaturatedSum(inner.Right, r), SaturatedSum(inner.Bottom, bt)});
  }
  if (background != clNone && AnySide(styles, {bssDashed, bssDotted, bssDouble})) {
    const plat::TRegion ring = plat::TRegion(outer).Combined(plat::TRegion(inner), plat::RGN_DIFF);
    dc->FillRgn(ring, {plat::BS_SOLID, ToColorRef(background)});
  }

  for (int side = 0; side < 4; ++side) {
    const TBorderSide s = TBorderSide(side);
    const TColor color = colors[size_t(side)];
    const bool leftOrTop = side == bsLeft || side == bsTop;
    auto shade = [&](bool dark) { return dark ? DarkerColor(color) : color; };
    switch (styles[size_t(side)]) {
      case bssSolid:
        DrawBorderSide(canvas, SideQuad(o, i, side), color, s);
        break;
      case bssInset:
      case bssOutset:
        DrawBorderSide(canvas, SideQuad(o, i, side),
                       shade(leftOrTop == (styles[size_t(side)] == bssInset)), s);
        break;
      case bssGroove:
      case bssRidge: {
        const bool groove = styles[size_t(side)] == bssGroove;
        DrawBorderSide(canvas, SideQuad(o, m, side), shade(leftOrTop == groove), s);
        DrawBorderSide(canvas, SideQuad(m, i, side), shade(leftOrTop != groove), s);
        break;
      }
      case bssDouble:
        DrawBorderSide(canvas, SideQuad(o, a, side), color, s);
        DrawBorderSide(canvas, SideQuad(b, i, side), color, s);
        break;
      case bssDashed:
      case bssDotted:
        side = StrokeSides(*dc, m, styles, colors, widths, side);
        break;
      default:
        break;
    }
  }
}

}  // namespace html
