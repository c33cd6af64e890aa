#include "platform/metafile/MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/drawing/PixelOps.h"
#include "platform/metafile/MetafileBytes.h"
#include "platform/runtime/SysUtils.h"

namespace plat {

namespace {

// Coordinates beyond this many pixels are clamped, so the rasterizer's fixed-point range holds.
constexpr double kCoordinateLimit = double(1 << 24);
// Saved states and clip regions beyond these sizes are refused: they only come from damaged files.
constexpr size_t kMaxSavedStates = 4096;
constexpr size_t kMaxClipRects = 1024;
// A clip may have this many runs on each row of the picture (a circle has one).
constexpr size_t kMaxClipRunsPerRow = 4;
// Lines with a one-pixel pen that leave the picture by more than this are cut at that margin, so
// their pixel-by-pixel drawing stays short.
constexpr int32_t kLineMargin = 256;
constexpr int32_t kMaxFontPixels = 4096;
constexpr int32_t kMaxPenPixels = 1 << 16;

int32_t ToPixel(double v) {
  if (!std::isfinite(v)) return 0;
  return int32_t(std::floor(std::clamp(v, -kCoordinateLimit, kCoordinateLimit) + 0.5));
}

TPoint ToPoint(PointD p) {
  return {ToPixel(p.x), ToPixel(p.y)};
}

std::vector<TPoint> ToPoints(std::span<const PointD> points) {
  std::vector<TPoint> out;
  out.reserve(points.size());
  for (const PointD& p : points) out.push_back(ToPoint(p));
  return out;
}

TRect Normalized(TPoint a, TPoint b) {
  return {std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y)};
}

bool Finite(const MetafileXform& x) {
  return std::isfinite(x.m11) && std::isfinite(x.m12) && std::isfinite(x.m21) &&
         std::isfinite(x.m22) && std::isfinite(x.dx) && std::isfinite(x.dy);
}

// Cuts the segment a-b to the box; false when nothing of it lies inside (Liang-Barsky).
bool ClipSegment(PointD& a, PointD& b, const TRect& box) {
  double t0 = 0, t1 = 1;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - box.Left, box.Right - a.x, a.y - box.Top, box.Bottom - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const PointD start{a.x + t0 * dx, a.y + t0 * dy};
  b = {a.x + t1 * dx, a.y + t1 * dy};
  a = start;
  return true;
}

// The part of a closed polygon inside the box (Sutherland-Hodgman, one edge of the box at a
// time). Points inside keep their fill under both fill rules: what is cut away is replaced by
// runs along the box's edges.
std::vector<PointD> ClipPolygon(std::vector<PointD> points, const TRect& box) {
  const auto clipEdge = [&](const auto& inside, const auto& cross) {
    std::vector<PointD> out;
    out.reserve(points.size() + 4);
    for (size_t i = 0; i < points.size(); ++i) {
      const PointD a = points[i], b = points[(i + 1) % points.size()];
      if (inside(a)) out.push_back(a);
      if (inside(a) != inside(b)) out.push_back(cross(a, b));
    }
    points = std::move(out);
  };
  const auto atX = [](double x) {
    return [x](PointD a, PointD b) {
      return PointD{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)};
    };
  };
  const auto atY = [](double y) {
    return [y](PointD a, PointD b) {
      return PointD{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y};
    };
  };
  const double left = box.Left, top = box.Top, right = box.Right, bottom = box.Bottom;
  clipEdge([&](PointD p) { return p.x >= left; }, atX(left));
  clipEdge([&](PointD p) { return p.x <= right; }, atX(right));
  clipEdge([&](PointD p) { return p.y >= top; }, atY(top));
  clipEdge([&](PointD p) { return p.y <= bottom; }, atY(bottom));
  return points;
}

const MetafileBrush kStockBrushes[] = {
    {BS_SOLID, 0xFFFFFF, 0}, {BS_SOLID, 0xC0C0C0, 0}, {BS_SOLID, 0x808080, 0},
    {BS_SOLID, 0x404040, 0}, {BS_SOLID, 0x000000, 0}, {BS_NULL, 0, 0},
};

}  // namespace

void InvalidMetafile(const std::string& why) {
  throw EInvalidGraphic("Invalid metafile: " + why);
}

MetafileXform MetafileXform::After(const MetafileXform& f) const {
  return {m11 * f.m11 + m21 * f.m12, m12 * f.m11 + m22 * f.m12,    m11 * f.m21 + m21 * f.m22,
          m12 * f.m21 + m22 * f.m22, m11 * f.dx + m21 * f.dy + dx, m12 * f.dx + m22 * f.dy + dy};
}

MetafilePlayer::MetafilePlayer(DeviceContext* dc, const MetafileXform& base, const TRect& clip)
    : dc_(dc), base_(base) {
  if (!dc_) {
    bounds_ = TRegion(clip);
    return;
  }
  savedLevel_ = dc_->SaveDC();
  deviceOffset_ = dc_->LogicalToDevice({0, 0});
  bounds_ = TRegion(clip.Intersected(dc_->ClipBox()).Offset(deviceOffset_.X, deviceOffset_.Y));
  contextClip_ = dc_->ClipRegion();
  dc_->SetStretchBltMode(COLORONCOLOR);
  ApplyClip();
}

MetafilePlayer::~MetafilePlayer() {
  if (dc_) dc_->RestoreDC(savedLevel_);
}

// --- Mapping

void MetafilePlayer::FixViewport(double x, double y, double w, double h) {
  fixedViewport_ = std::array<double, 4>{x, y, w, h};
  state_.mapMode = MM_ANISOTROPIC;
}

void MetafilePlayer::SetDevicePixelsPerMm(double x, double y) {
  if (std::isfinite(x) && std::isfinite(y) && x > 0 && y > 0) pixelsPerMm_ = {x, y};
}

void MetafilePlayer::SetMapMode(int mode) {
  if (fixedViewport_ || mode < MM_TEXT || mode > MM_ANISOTROPIC) return;
  state_.mapMode = mode;
}

void MetafilePlayer::SetWindowOrg(double x, double y) {
  state_.windowOrg = {x, y};
}

void MetafilePlayer::SetWindowExt(double x, double y) {
  if (x != 0 && y != 0 && std::isfinite(x) && std::isfinite(y)) state_.windowExt = {x, y};
}

void MetafilePlayer::SetViewportOrg(double x, double y) {
  state_.viewportOrg = {x, y};
}

void MetafilePlayer::SetViewportExt(double x, double y) {
  if (x != 0 && y != 0 && std::isfinite(x) && std::isfinite(y)) state_.viewportExt = {x, y};
}

void MetafilePlayer::OffsetWindowOrg(double dx, double dy) {
  state_.windowOrg = {state_.windowOrg.x + dx, state_.windowOrg.y + dy};
}

void MetafilePlayer::OffsetViewportOrg(double dx, double dy) {
  state_.viewportOrg = {state_.viewportOrg.x + dx, state_.viewportOrg.y + dy};
}

void MetafilePlayer::ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  SetWindowExt(state_.windowExt.x * xNum / xDenom, state_.windowExt.y * yNum / yDenom);
}

void MetafilePlayer::ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  SetViewportExt(state_.viewportExt.x * xNum / xDenom, state_.viewportExt.y * yNum / yDenom);
}

void MetafilePlayer::SetWorldTransform(const MetafileXform& xform) {
  if (Finite(xform)) state_.world = xform;
}

void MetafilePlayer::ModifyWorldTransform(const MetafileXform& xform, uint32_t mode) {
  MetafileXform world = state_.world;
  if (mode == 1) world = {};
  if (mode == 2) world = state_.world.After(xform);
  if (mode == 3) world = xform.After(state_.world);
  if (mode == 4) world = xform;
  // Products of extreme factors overflow; such a transform is refused like a damaged one.
  if (Finite(world)) state_.world = world;
}

MetafileXform MetafilePlayer::Page() const {
  double sx = 1, sy = 1;
  PointD windowOrg = state_.windowOrg, viewportOrg = state_.viewportOrg;
  if (fixedViewport_) {
    const auto& v = *fixedViewport_;
    sx = v[2] / state_.windowExt.x;
    sy = v[3] / state_.windowExt.y;
    viewportOrg = {v[0], v[1]};
  } else {
    switch (state_.mapMode) {
      case MM_TEXT:
        break;
      case MM_ISOTROPIC:
      case MM_ANISOTROPIC:
        sx = state_.viewportExt.x / state_.windowExt.x;
        sy = state_.viewportExt.y / state_.windowExt.y;
        if (state_.mapMode == MM_ISOTROPIC) {
          const double m = std::min(std::abs(sx), std::abs(sy));
          sx = std::copysign(m, sx);
          sy = std::copysign(m, sy);
        }
        break;
      default: {
        // Units per millimetre of the metric modes; their y axis points up.
        static constexpr double kUnitsPerMm[] = {10, 100, 100 / 25.4, 1000 / 25.4, 1440 / 25.4};
        const double units = kUnitsPerMm[state_.mapMode - MM_LOMETRIC];
        sx = pixelsPerMm_.x / units;
        sy = -pixelsPerMm_.y / units;
      }
    }
  }
  return {sx, 0, 0, sy, viewportOrg.x - windowOrg.x * sx, viewportOrg.y - windowOrg.y * sy};
}

MetafileXform MetafilePlayer::Transform() const {
  return base_.After(Page().After(state_.world));
}

int32_t MetafilePlayer::TextTurn() const {
  // The direction of the logical x axis on the screen, with the page's own mirroring undone.
  const MetafileXform t = Transform();
  const double flip = Page().m11 < 0 ? -1 : 1;
  const double angle = std::atan2(-t.m12 * flip, t.m11 * flip);
  return std::isfinite(angle) ? int32_t(std::lround(angle * 1800 / std::numbers::pi)) : 0;
}

double MetafilePlayer::TextScaleX() const {
  const MetafileXform t = Transform();
  const double scale = std::hypot(t.m11, t.m12);
  return std::isfinite(scale) ? scale : 1;
}

double MetafilePlayer::TextScaleY() const {
  const MetafileXform t = Transform();
  const double scale = std::hypot(t.m21, t.m22);
  return std::isfinite(scale) ? scale : 1;
}

PointD MetafilePlayer::Map(PointD p) const {
  return Transform().Apply(p);
}

bool MetafilePlayer::MapRect(double left, double top, double right, double bottom,
                             TRect& out) const {
  if (!Transform().AxisAligned()) return false;
  out = Normalized(ToPoint(Map({left, top})), ToPoint(Map({right, bottom})));
  return true;
}

// --- Objects

void MetafilePlayer::CreateObject(uint32_t index, MetafileObject object) {
  if (objects_.size() >= (size_t(1) << 16) && !objects_.contains(index)) {
    InvalidMetafile("too many objects");
  }
  objects_[index] = std::move(object);
}

void MetafilePlayer::AddObject(MetafileObject object) {
  while (objects_.contains(nextFree_)) ++nextFree_;
  CreateObject(nextFree_, std::move(object));
}

void MetafilePlayer::SelectObject(uint32_t index) {
  const auto it = objects_.find(index);
  if (it == objects_.end()) return;
  std::visit(
      [&](const auto& object) {
        using T = std::decay_t<decltype(object)>;
        if constexpr (std::is_same_v<T, MetafilePen>) state_.pen = object;
        if constexpr (std::is_same_v<T, MetafileBrush>) state_.brush = object;
        if constexpr (std::is_same_v<T, MetafileFont>) state_.font = object;
        if constexpr (std::is_same_v<T, MetafilePalette>) state_.palette = index;
        if constexpr (std::is_same_v<T, MetafileRegion>) SelectClipRegion(&object);
      },
      it->second);
}

void MetafilePlayer::SelectStockObject(uint32_t stock) {
  if (const std::optional<MetafileBrush> brush = StockBrush(stock)) {
    state_.brush = *brush;
  } else if (stock >= 6 && stock <= 8) {
    state_.pen = {stock == 8 ? PS_NULL : PS_SOLID, 0, true, stock == 6 ? 0xFFFFFFu : 0u};
  } else if ((stock >= 10 && stock <= 14) || stock == 16 || stock == 17) {
    state_.font = {};
  } else if (stock == 15) {
    state_.palette.reset();
  } else if (stock == 19) {
    state_.pen = {};
  }
}

void MetafilePlayer::DeleteObject(uint32_t index) {
  if (objects_.erase(index)) nextFree_ = std::min(nextFree_, index);
}

template <class T>
const T* MetafilePlayer::Object(uint32_t index) const {
  const auto it = objects_.find(index);
  return it == objects_.end() ? nullptr : std::get_if<T>(&it->second);
}

void MetafilePlayer::SelectPalette(uint32_t index) {
  if (Object<MetafilePalette>(index)) state_.palette = index;
}

std::optional<MetafileBrush> MetafilePlayer::ObjectBrush(uint32_t index) const {
  const MetafileBrush* brush = Object<MetafileBrush>(index);
  return brush ? std::optional<MetafileBrush>(*brush) : std::nullopt;
}

std::optional<MetafileBrush> MetafilePlayer::StockBrush(uint32_t stock) {
  if (stock < std::size(kStockBrushes)) return kStockBrushes[stock];
  if (stock == 18) return kStockBrushes[0];  // the context's own brush, white until set
  return {};
}

const MetafileRegion* MetafilePlayer::RegionObject(uint32_t index) const {
  return Object<MetafileRegion>(index);
}

const MetafilePalette* MetafilePlayer::SelectedPalette() const {
  return state_.palette ? Object<MetafilePalette>(*state_.palette) : nullptr;
}

TColorRef MetafilePlayer::Resolve(uint32_t color) const {
  if ((color >> 24) == 1) {
    // An index into the selected palette.
    const MetafilePalette* palette = SelectedPalette();
    if (palette && (color & 0xFFFF) < palette->colors.size()) {
      return palette->colors[color & 0xFFFF] & 0xFFFFFF;
    }
    return 0;
  }
  return color & 0xFFFFFF;
}

std::optional<DecodedDib> MetafilePlayer::Decode(const MetafileDib& dib, bool keepAlpha,
                                                 bool monochrome) const {
  if (!monochrome) {
    if (dib.table == DibTable::Colors) return DecodeMetafileDib(dib, keepAlpha);
    if (dib.table == DibTable::None) return std::nullopt;
  }
  const MetafilePalette* palette = SelectedPalette();
  const std::optional<std::vector<uint8_t>> info =
      WithColorTable(dib, [&](size_t i, uint32_t recorded) -> uint32_t {
        if (monochrome) return i == 0 ? 0 : 0xFFFFFF;
        return palette && recorded < palette->colors.size() ? palette->colors[recorded] : 0;
      });
  if (!info) return std::nullopt;
  return DecodeMetafileDib({*info, dib.bits}, keepAlpha);
}

MetafileBrush MetafilePlayer::PatternBrush(const MetafileDib& dib, bool monochrome) const {
  // The check pass draws nothing with it.
  if (!dc_) return {BS_SOLID, 0, 0};
  const std::optional<DecodedDib> decoded = Decode(dib, false, monochrome);
  if (!decoded) return {BS_SOLID, 0, 0};
  auto pattern = std::make_shared<TBrushPattern>();
  pattern->Width = decoded->width;
  pattern->Height = decoded->height;
  pattern->Monochrome = monochrome;
  pattern->Pixels.reserve(decoded->pixels.size());
  for (uint32_t p : decoded->pixels) {
    pattern->Pixels.push_back(monochrome ? uint32_t((p & 0xFFFFFF) == 0xFFFFFF) : p & 0xFFFFFF);
  }
  return {BS_PATTERN, 0, 0, std::move(pattern)};
}

TPoint MetafilePlayer::DevicePoint(PointD p) const {
  const TPoint mapped = ToPoint(base_.Apply(p));
  return {Clamp32(int64_t(mapped.X) + deviceOffset_.X),
          Clamp32(int64_t(mapped.Y) + deviceOffset_.Y)};
}

// --- Other state

void MetafilePlayer::SaveDC() {
  if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
}

void MetafilePlayer::RestoreDC(int32_t level) {
  const int64_t count = int64_t(saved_.size());
  const int64_t target = level < 0 ? count + level + 1 : level;
  if (target < 1 || target > count) return;
  state_ = saved_[size_t(target - 1)];
  saved_.resize(size_t(target - 1));
  ApplyClip();
}

void MetafilePlayer::SetBkMode(int mode) {
  if (mode == TRANSPARENT || mode == OPAQUE) state_.bkMode = mode;
}

void MetafilePlayer::SetPolyFillMode(int mode) {
  if (mode == ALTERNATE || mode == WINDING) state_.polyFillMode = mode;
}

void MetafilePlayer::SetROP2(int rop2) {
  if (rop2 >= R2_BLACK && rop2 <= R2_WHITE) state_.rop2 = rop2;
}

void MetafilePlayer::SetArcDirection(int direction) {
  if (direction == AD_COUNTERCLOCKWISE || direction == AD_CLOCKWISE) {
    state_.arcDirection = direction;
  }
}

// --- Clipping

void MetafilePlayer::ApplyClip() {
  if (!dc_) return;
  TRegion visible = state_.clip ? state_.clip->Combined(bounds_, RGN_AND) : bounds_;
  // A context at a larger scale (a screen at 200 %) has scale x scale pixels a unit.
  if (const int scale = dc_->Scale(); scale != 1) {
    visible = visible.Offset(-deviceOffset_.X, -deviceOffset_.Y)
                  .Scaled(scale)
                  .Offset(deviceOffset_.X, deviceOffset_.Y);
  }
  if (contextClip_) visible = visible.Combined(*contextClip_, RGN_AND);
  dc_->SelectClipRgn(&visible);
}

void MetafilePlayer::CombineClip(const TRegion& deviceRegion, int mode) {
  if (mode < RGN_AND || mode > RGN_COPY) return;
  const TRegion current = state_.clip ? *state_.clip : bounds_;
  TRegion combined = mode == RGN_COPY ? deviceRegion : current.Combined(deviceRegion, mode);
  const size_t rows = size_t(std::max(0, bounds_.BoundingRect().Height()));
  if (combined.Rects().size() > std::max(kMaxClipRects, kMaxClipRunsPerRow * rows)) return;
  state_.clip = std::move(combined);
  ApplyClip();
}

void MetafilePlayer::IntersectClipRect(double left, double top, double right, double bottom) {
  const TRect r = Normalized(ToPoint(Map({left, top})), ToPoint(Map({right, bottom})));
  CombineClip(TRegion(r.Offset(deviceOffset_.X, deviceOffset_.Y)), RGN_AND);
}

void MetafilePlayer::ExcludeClipRect(double left, double top, double right, double bottom) {
  const TRect r = Normalized(ToPoint(Map({left, top})), ToPoint(Map({right, bottom})));
  CombineClip(TRegion(r.Offset(deviceOffset_.X, deviceOffset_.Y)), RGN_DIFF);
}

void MetafilePlayer::SelectClipRects(const std::optional<std::vector<TRect>>& deviceRects,
                                     int mode) {
  if (!deviceRects) {
    if (mode == RGN_COPY) {
      state_.clip.reset();
      ApplyClip();
    }
    return;
  }
  if (deviceRects->size() > kMaxClipRects) return;
  TRegion region;
  for (const TRect& r : *deviceRects) {
    const TRect mapped = Normalized(ToPoint(base_.Apply({double(r.Left), double(r.Top)})),
                                    ToPoint(base_.Apply({double(r.Right), double(r.Bottom)})));
    region = region.Combined(TRegion(mapped.Offset(deviceOffset_.X, deviceOffset_.Y)), RGN_OR);
  }
  CombineClip(region, mode);
}

void MetafilePlayer::SelectClipPath(int mode) {
  const std::vector<Figure> figures = std::move(path_);
  path_.clear();
  inPath_ = false;
  // The check pass has no clip to set.
  if (dc_) CombineClip(FiguresRegion(figures), mode);
}

void MetafilePlayer::SelectClipRegion(const MetafileRegion* region) {
  if (!region) {
    state_.clip.reset();
    ApplyClip();
    return;
  }
  if (dc_) {
    CombineClip(MapRegion(region->rects, 2).Offset(deviceOffset_.X, deviceOffset_.Y), RGN_COPY);
  }
}

void MetafilePlayer::OffsetClipRgn(double dx, double dy) {
  if (!state_.clip) return;
  const MetafileXform t = Transform();
  const TPoint d = ToPoint({t.m11 * dx + t.m21 * dy, t.m12 * dx + t.m22 * dy});
  // Cut to the picture, so that moves repeated without end keep the coordinates in range.
  state_.clip = state_.clip->Offset(d.X, d.Y).Combined(bounds_, RGN_AND);
  ApplyClip();
}

TRect MetafilePlayer::LogicalBounds(int32_t margin) const {
  const TRect box = bounds_.BoundingRect().Offset(-deviceOffset_.X, -deviceOffset_.Y);
  return {box.Left - margin, box.Top - margin, box.Right + margin, box.Bottom + margin};
}

TRegion MetafilePlayer::MapRegion(std::span<const TRect> rects, int32_t margin) const {
  // A region's size, and the time to build it, follow the picture and not the file.
  const TRect box = LogicalBounds(margin);
  const MetafileXform t = Transform();
  const auto map = [&](double x, double y) { return t.Apply({x, y}); };
  std::vector<TRegion> parts;
  for (const TRect& r : rects) {
    const double left = r.Left, top = r.Top, right = r.Right, bottom = r.Bottom;
    if (t.AxisAligned()) {
      const TRect cut =
          Normalized(ToPoint(map(left, top)), ToPoint(map(right, bottom))).Intersected(box);
      if (!cut.IsEmpty()) parts.emplace_back(cut);
      continue;
    }
    const std::vector<TPoint> corners = ToPoints(
        ClipPolygon({map(left, top), map(right, top), map(right, bottom), map(left, bottom)}, box));
    if (corners.size() >= 3) parts.push_back(TRegion::Polygon(corners, WINDING));
  }
  return TRegion::Union(std::move(parts));
}

TRegion MetafilePlayer::FiguresRegion(const std::vector<Figure>& figures) const {
  // The clip is always cut to the picture, so the figures are cut to it first: building a region
  // takes time in proportion to the rows the polygon spans.
  const TRect box = LogicalBounds(2);
  TRegion region;
  for (const Figure& f : figures) {
    if (f.points.size() < 3) continue;
    std::vector<TPoint> points = ToPoints(ClipPolygon(f.points, box));
    if (points.size() < 3) continue;
    for (TPoint& p : points) p = {p.X + deviceOffset_.X, p.Y + deviceOffset_.Y};
    region = region.Combined(TRegion::Polygon(points, state_.polyFillMode),
                             state_.polyFillMode == WINDING ? RGN_OR : RGN_XOR);
  }
  return region;
}

// --- Drawing state into the device context

bool MetafilePlayer::Prepare() {
  if (!dc_) return false;
  const MetafileXform t = Transform();
  const double determinant = std::abs(t.Determinant());
  const double scale = std::isfinite(determinant) ? std::sqrt(determinant) : 1;
  const MetafilePen& pen = state_.pen;
  int width = 1;
  if (!pen.cosmetic && pen.width > 0) {
    width = int(std::clamp(std::round(pen.width * scale), 1.0, double(kMaxPenPixels)));
  }
  dc_->SelectPen({pen.style, width, Resolve(pen.color), pen.endCap, pen.join});
  const MetafileBrush& brush = state_.brush;
  dc_->SelectBrush(
      {brush.style, Resolve(brush.color), std::clamp(brush.hatch, 0, HS_DIAGCROSS), brush.pattern});
  dc_->SetBrushOrg(DevicePoint(state_.brushOrg));

  TLogFont font = state_.font.font;
  const double xScale = TextScaleX();
  const double yScale = TextScaleY();
  if (font.Height != 0) {
    const double pixels =
        std::clamp(std::round(std::abs(font.Height) * yScale), 1.0, double(kMaxFontPixels));
    font.Height = font.Height < 0 ? -int32_t(pixels) : int32_t(pixels);
  }
  if (font.Width != 0) {
    font.Width = int32_t(
        std::clamp(std::round(std::abs(double(font.Width)) * xScale), 1.0, double(kMaxFontPixels)));
  }
  font.Escapement = int32_t((int64_t(font.Escapement) + TextTurn()) % 3600);
  if (!(dc_->Font() == font)) dc_->SelectFont(font);
  dc_->SetTextCharacterExtra(int(std::clamp(std::round(state_.charExtra * xScale),
                                            -double(kMaxFontPixels), double(kMaxFontPixels))));
  dc_->SetTextColor(Resolve(state_.textColor));
  dc_->SetBkColor(Resolve(state_.bkColor));
  dc_->SetBkMode(state_.bkMode);
  dc_->SetPolyFillMode(state_.polyFillMode);
  dc_->SetROP2(state_.rop2);
  return true;
}

// --- Figures in target units

void MetafilePlayer::DrawShape(std::vector<PointD> targetPoints, bool closed, bool fill) {
  if (inPath_) {
    AddFigure(std::move(targetPoints), closed);
    return;
  }
  PaintFigures({Figure{std::move(targetPoints), closed}}, fill, true);
}

void MetafilePlayer::PaintFigures(const std::vector<Figure>& figures, bool fill, bool stroke) {
  if (!Prepare()) return;
  const TLogPen pen = dc_->Pen();
  const TLogBrush brush = dc_->Brush();
  if (fill && brush.Style != BS_NULL) {
    // One polygon for all figures: each figure is reached from the first point and left the
    // same way back, and those doubled edges cancel out under both fill rules.
    std::vector<PointD> all;
    for (const Figure& f : figures) {
      if (f.points.empty()) continue;
      const size_t anchor = all.empty() ? 0 : all.size();
      all.insert(all.end(), f.points.begin(), f.points.end());
      all.push_back(f.points.front());
      if (anchor != 0) all.push_back(all.front());
    }
    if (all.size() > 2) {
      dc_->SelectPen({PS_NULL, 1, 0});
      const std::vector<TPoint> points = ToPoints(all);
      dc_->Polygon(points);
      dc_->SelectPen(pen);
    }
  }
  if (!stroke || pen.Style == PS_NULL) return;
  dc_->SelectBrush({BS_NULL, 0, 0});
  const TRect guard = LogicalBounds(kLineMargin);
  for (const Figure& f : figures) {
    if (f.points.size() < 2) continue;
    const bool inside = std::all_of(f.points.begin(), f.points.end(), [&](PointD p) {
      return p.x >= guard.Left && p.x <= guard.Right && p.y >= guard.Top && p.y <= guard.Bottom;
    });
    if (inside || pen.Width > 1) {
      const std::vector<TPoint> points = ToPoints(f.points);
      if (f.closed) {
        dc_->Polygon(points);
      } else {
        dc_->Polyline(points);
      }
      continue;
    }
    // A one-pixel pen is drawn pixel by pixel: draw only what comes near the picture.
    const size_t n = f.points.size();
    for (size_t i = 0; i + 1 < n + (f.closed ? 1 : 0); ++i) {
      PointD a = f.points[i], b = f.points[(i + 1) % n];
      if (!ClipSegment(a, b, guard)) continue;
      const TPoint segment[] = {ToPoint(a), ToPoint(b)};
      dc_->Polyline(segment);
    }
  }
  dc_->SelectBrush(brush);
}

void MetafilePlayer::AddFigure(std::vector<PointD> points, bool closed) {
  if (!points.empty()) path_.push_back({std::move(points), closed});
  figureOpen_ = false;
}

void MetafilePlayer::ExtendFigure(std::span<const PointD> targetPoints) {
  // A figure starts at the current position, which the caller moves only afterwards.
  if (!figureOpen_) {
    path_.push_back({{Map(state_.position)}, false});
    figureOpen_ = true;
  }
  auto& points = path_.back().points;
  points.insert(points.end(), targetPoints.begin(), targetPoints.end());
}

void MetafilePlayer::PaintPath(bool fill, bool stroke) {
  const std::vector<Figure> figures = std::move(path_);
  path_.clear();
  inPath_ = false;
  figureOpen_ = false;
  PaintFigures(figures, fill, stroke);
}

void MetafilePlayer::BeginPath() {
  path_.clear();
  inPath_ = true;
  figureOpen_ = false;
}

void MetafilePlayer::AbortPath() {
  path_.clear();
  inPath_ = false;
  figureOpen_ = false;
}

void MetafilePlayer::CloseFigure() {
  if (!path_.empty() && figureOpen_) path_.back().closed = true;
  figureOpen_ = false;
}

// --- Lines

void MetafilePlayer::MoveTo(double x, double y) {
  state_.position = {x, y};
  figureOpen_ = false;
}

void MetafilePlayer::LineTo(double x, double y) {
  const PointD p{x, y};
  PolylineTo({&p, 1});
}

void MetafilePlayer::PolylineTo(std::span<const PointD> points) {
  if (points.empty()) return;
  std::vector<PointD> mapped;
  mapped.reserve(points.size() + 1);
  if (!inPath_) mapped.push_back(Map(state_.position));
  for (const PointD& p : points) mapped.push_back(Map(p));
  if (inPath_) {
    ExtendFigure(mapped);
  } else {
    PaintFigures({Figure{std::move(mapped), false}}, false, true);
  }
  state_.position = points.back();
}

void MetafilePlayer::Polyline(std::span<const PointD> points) {
  if (points.size() >= 2) DrawShape(MapAll(points), false, false);
}

void MetafilePlayer::Polygon(std::span<const PointD> points) {
  if (points.size() >= 2) DrawShape(MapAll(points), true, true);
}

void MetafilePlayer::PolyPolygon(std::span<const PointD> points, std::span<const uint32_t> counts) {
  std::vector<Figure> figures;
  size_t at = 0;
  for (uint32_t count : counts) {
    if (count > points.size() - at) InvalidMetafile("a polygon has more points than its record");
    if (count >= 2) figures.push_back({MapAll(points.subspan(at, count)), true});
    at += count;
  }
  if (inPath_) {
    for (Figure& f : figures) AddFigure(std::move(f.points), true);
  } else {
    PaintFigures(figures, true, true);
  }
}

void MetafilePlayer::PolyPolyline(std::span<const PointD> points,
                                  std::span<const uint32_t> counts) {
  size_t at = 0;
  for (uint32_t count : counts) {
    if (count > points.size() - at) InvalidMetafile("a polyline has more points than its record");
    Polyline(points.subspan(at, count));
    at += count;
  }
}

std::vector<PointD> MetafilePlayer::BezierPoints(PointD p0, PointD p1, PointD p2, PointD p3) const {
  // Enough segments that each spans a few pixels of the control polygon, within bounds.
  const auto length = [](PointD a, PointD b) { return std::hypot(b.x - a.x, b.y - a.y); };
  const double span = length(p0, p1) + length(p1, p2) + length(p2, p3);
  const int n = std::isfinite(span) ? int(std::clamp(span / 4, 1.0, 64.0)) : 1;
  std::vector<PointD> out;
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n, u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    out.push_back(
        {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
  return out;
}

void MetafilePlayer::PolyBezier(std::span<const PointD> points) {
  if (points.size() < 4) return;
  std::vector<PointD> mapped{Map(points[0])};
  for (size_t i = 1; i + 2 < points.size(); i += 3) {
    const auto curve =
        BezierPoints(Map(points[i - 1]), Map(points[i]), Map(points[i + 1]), Map(points[i + 2]));
    mapped.insert(mapped.end(), curve.begin(), curve.end());
  }
  DrawShape(std::move(mapped), false, false);
}

void MetafilePlayer::PolyBezierTo(std::span<const PointD> points) {
  std::vector<PointD> mapped;
  for (size_t i = 0; i + 2 < points.size(); i += 3) {
    const PointD from = i == 0 ? state_.position : points[i - 1];
    const auto curve =
        BezierPoints(Map(from), Map(points[i]), Map(points[i + 1]), Map(points[i + 2]));
    mapped.insert(mapped.end(), curve.begin(), curve.end());
  }
  if (mapped.empty()) return;
  if (inPath_) {
    ExtendFigure(mapped);
  } else {
    mapped.insert(mapped.begin(), Map(state_.position));
    PaintFigures({Figure{std::move(mapped), false}}, false, true);
  }
  state_.position = points[(points.size() / 3) * 3 - 1];
}

void MetafilePlayer::PolyDraw(std::span<const PointD> points, std::span<const uint8_t> types) {
  // Collects figures in target units, then paints or adds them as a path would.
  std::vector<Figure> figures;
  PointD position = state_.position;
  const auto figure = [&]() -> Figure& {
    if (figures.empty() || figures.back().closed) figures.push_back({{Map(position)}, false});
    return figures.back();
  };
  for (size_t i = 0; i < points.size() && i < types.size(); ++i) {
    const uint8_t type = types[i] & 0x6;
    if (type == 0x6) {
      figures.push_back({{Map(points[i])}, false});
      position = points[i];
    } else if (type == 0x2) {
      figure().points.push_back(Map(points[i]));
      position = points[i];
    } else if (type == 0x4 && i + 2 < points.size()) {
      const auto curve =
          BezierPoints(Map(position), Map(points[i]), Map(points[i + 1]), Map(points[i + 2]));
      auto& f = figure();
      f.points.insert(f.points.end(), curve.begin(), curve.end());
      position = points[i + 2];
      i += 2;
    }
    if ((types[i] & 1) && !figures.empty()) figures.back().closed = true;
  }
  state_.position = position;
  if (inPath_) {
    for (Figure& f : figures) AddFigure(std::move(f.points), f.closed);
  } else {
    PaintFigures(figures, false, true);
  }
}

// --- Shapes

void MetafilePlayer::Rectangle(double left, double top, double right, double bottom) {
  TRect r;
  if (!inPath_ && MapRect(left, top, right, bottom, r)) {
    if (Prepare()) dc_->Rectangle(r);
    return;
  }
  const PointD corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  DrawShape(MapAll(corners), true, true);
}

void MetafilePlayer::RoundRect(double left, double top, double right, double bottom, double cornerW,
                               double cornerH) {
  TRect r;
  const MetafileXform t = Transform();
  if (!inPath_ && MapRect(left, top, right, bottom, r)) {
    if (Prepare()) {
      dc_->RoundRect(r, ToPixel(std::abs(cornerW * t.m11)), ToPixel(std::abs(cornerH * t.m22)));
    }
    return;
  }
  // Four quarter ellipses, corner by corner clockwise from the top left.
  const double x0 = std::min(left, right), x1 = std::max(left, right);
  const double y0 = std::min(top, bottom), y1 = std::max(top, bottom);
  const double rx = std::min(std::abs(cornerW), x1 - x0) / 2;
  const double ry = std::min(std::abs(cornerH), y1 - y0) / 2;
  const PointD centres[] = {
      {x0 + rx, y0 + ry}, {x1 - rx, y0 + ry}, {x1 - rx, y1 - ry}, {x0 + rx, y1 - ry}};
  std::vector<PointD> outline;
  constexpr int kSteps = 8;
  for (int c = 0; c < 4; ++c) {
    for (int i = 0; i <= kSteps; ++i) {
      const double a = std::numbers::pi * (1 + c / 2.0 + i / (2.0 * kSteps));
      outline.push_back({centres[c].x + rx * std::cos(a), centres[c].y + ry * std::sin(a)});
    }
  }
  std::vector<PointD> mapped = MapAll(outline);
  DrawShape(std::move(mapped), true, true);
}

void MetafilePlayer::Ellipse(double left, double top, double right, double bottom) {
  TRect r;
  if (!inPath_ && MapRect(left, top, right, bottom, r)) {
    if (Prepare()) dc_->Ellipse(r);
    return;
  }
  const PointD start{right, (top + bottom) / 2};
  DrawShape(MapAll(ArcPoints(left, top, right, bottom, start, start)), true, true);
}

std::vector<PointD> MetafilePlayer::ArcPoints(double left, double top, double right, double bottom,
                                              PointD start, PointD end) const {
  const double cx = (left + right) / 2, cy = (top + bottom) / 2;
  const double rx = std::abs(right - left) / 2, ry = std::abs(bottom - top) / 2;
  const auto angle = [&](PointD p) {
    return std::atan2(ry > 0 ? (p.y - cy) / ry : p.y - cy, rx > 0 ? (p.x - cx) / rx : p.x - cx);
  };
  const double from = angle(start), to = angle(end);
  // Counter-clockwise on the screen runs towards smaller angles with y pointing down; a mapping
  // that mirrors turns that round.
  const bool towardsSmaller =
      (state_.arcDirection == AD_COUNTERCLOCKWISE) == (Transform().Determinant() >= 0);
  double sweep = towardsSmaller ? from - to : to - from;
  sweep = std::fmod(sweep, 2 * std::numbers::pi);
  if (!std::isfinite(sweep)) sweep = 0;
  if (sweep <= 0) sweep += 2 * std::numbers::pi;
  const MetafileXform t = Transform();
  const double pixels = std::max(rx, ry) * std::sqrt(std::abs(t.Determinant())) * sweep;
  const int n = std::isfinite(pixels) ? int(std::clamp(pixels / 2, 4.0, 1024.0)) : 4;
  std::vector<PointD> out;
  for (int i = 0; i <= n; ++i) {
    const double a = from + (towardsSmaller ? -sweep : sweep) * i / n;
    out.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
  }
  return out;
}

std::vector<PointD> MetafilePlayer::MapAll(std::span<const PointD> points) const {
  const MetafileXform t = Transform();
  std::vector<PointD> out;
  out.reserve(points.size());
  for (const PointD& p : points) {
    out.push_back(t.Apply(p));
  }
  return out;
}

void MetafilePlayer::ArcShape(ArcKind kind, double left, double top, double right, double bottom,
                              PointD start, PointD end) {
  const std::vector<PointD> arc = ArcPoints(left, top, right, bottom, start, end);
  std::vector<PointD> points = MapAll(arc);
  switch (kind) {
    case ArcKind::Arc:
      DrawShape(std::move(points), false, false);
      break;
    case ArcKind::ArcTo:
      if (inPath_) {
        ExtendFigure(points);
      } else {
        points.insert(points.begin(), Map(state_.position));
        PaintFigures({Figure{std::move(points), false}}, false, true);
      }
      state_.position = arc.back();
      break;
    case ArcKind::Chord:
      DrawShape(std::move(points), true, true);
      break;
    case ArcKind::Pie:
      points.push_back(Map({(left + right) / 2, (top + bottom) / 2}));
      DrawShape(std::move(points), true, true);
      break;
  }
}

void MetafilePlayer::AngleArc(PointD centre, double radius, double startAngle, double sweepAngle) {
  if (!std::isfinite(startAngle) || !std::isfinite(sweepAngle)) return;
  const double start = startAngle * std::numbers::pi / 180;
  const double sweep = std::clamp(sweepAngle, -720.0, 720.0) * std::numbers::pi / 180;
  const double pixels = std::abs(radius * sweep) * std::sqrt(std::abs(Transform().Determinant()));
  const int n = std::isfinite(pixels) ? int(std::clamp(pixels / 2, 4.0, 1024.0)) : 4;
  std::vector<PointD> points;
  PointD last;
  for (int i = 0; i <= n; ++i) {
    const double a = start + sweep * i / n;
    last = {centre.x + radius * std::cos(a), centre.y - radius * std::sin(a)};
    points.push_back(Map(last));
  }
  if (inPath_) {
    ExtendFigure(points);
  } else {
    points.insert(points.begin(), Map(state_.position));
    PaintFigures({Figure{std::move(points), false}}, false, true);
  }
  state_.position = last;
}

void MetafilePlayer::SetPixel(double x, double y, uint32_t color) {
  if (!dc_) return;
  const TPoint p = ToPoint(Map({x, y}));
  dc_->SetPixel(p.X, p.Y, Resolve(color));
}

// --- Regions

void MetafilePlayer::DrawRegion(RegionPaint how, std::span<const TRect> rects,
                                const MetafileBrush* brush, PointD frame) {
  if (!dc_) return;
  // The brush given is put into dc the way the selected one would be.
  const MetafileBrush selected = state_.brush;
  if (brush) state_.brush = *brush;
  Prepare();
  state_.brush = selected;
  int32_t width = 0, height = 0, margin = 2;
  if (how == RegionPaint::Frame) {
    // A border wider than the picture looks no different from one as wide as it.
    const TRect box = bounds_.BoundingRect();
    const double widest = double(std::max(box.Width(), box.Height())) + 1;
    const auto pixels = [&](double units, double scale) {
      const double p = std::round(std::abs(units) * scale);
      return int32_t(std::isfinite(p) ? std::clamp(p, 1.0, widest) : 1);
    };
    const MetafileXform t = Transform();
    width = pixels(frame.x, std::hypot(t.m11, t.m12));
    height = pixels(frame.y, std::hypot(t.m21, t.m22));
    // The border that cutting the region would make runs outside the picture.
    margin += std::max(width, height);
  }
  const TRegion region = MapRegion(rects, margin);
  switch (how) {
    case RegionPaint::Fill:
      return dc_->FillRgn(region, dc_->Brush());
    case RegionPaint::Frame:
      return dc_->FrameRgn(region, dc_->Brush(), width, height);
    case RegionPaint::Paint:
      return dc_->PaintRgn(region);
    case RegionPaint::Invert:
      return dc_->InvertRgn(region);
  }
}

// --- Text

void MetafilePlayer::SetTextJustification(double extra, int count) {
  if (!dc_) return;
  const double pixels =
      std::clamp(std::round(extra * TextScaleX()), -double(kMaxFontPixels), double(kMaxFontPixels));
  dc_->SetTextJustification(int(pixels), count);
}

void MetafilePlayer::TextOut(double x, double y, std::u16string_view text, uint32_t options,
                             const std::optional<std::array<double, 4>>& rect,
                             std::span<const double> dx) {
  if (inPath_ || !Prepare()) return;
  const bool updateCp = state_.textAlign & TA_UPDATECP;
  const TPoint at = ToPoint(Map(updateCp ? state_.position : PointD{x, y}));
  dc_->SetTextAlign(state_.textAlign & (TA_CENTER | TA_BASELINE));
  TRect box;
  if (rect) {
    const auto& r = *rect;
    box = Normalized(ToPoint(Map({r[0], r[1]})), ToPoint(Map({r[2], r[3]})));
  }
  // The file's advances run along the line and its shifts across it, whichever way the line is
  // turned; they are summed in logical units, scaled and rounded sum by sum so that the
  // characters do not drift.
  const double alongScale = TextScaleX();
  const double acrossScale = (Page().m22 < 0 ? -1 : 1) * TextScaleY();
  std::vector<int32_t> advances;
  PointD logicalAdvance;
  const size_t step = (options & ETO_PDY) ? 2 : 1;
  if (!dx.empty()) {
    int64_t placedAlong = 0, placedAcross = 0;
    for (size_t i = 0; i < text.size() && step * i + step <= dx.size(); ++i) {
      logicalAdvance.x += dx[step * i];
      if (step == 2) logicalAdvance.y += dx[2 * i + 1];
      const int64_t a = ToPixel(logicalAdvance.x * alongScale);
      const int64_t c = ToPixel(logicalAdvance.y * acrossScale);
      advances.push_back(Clamp32(a - placedAlong));
      advances.push_back(Clamp32(c - placedAcross));
      placedAlong = a;
      placedAcross = c;
    }
  }
  const uint32_t drawOptions = (rect ? options & (ETO_OPAQUE | ETO_CLIPPED) : 0) | ETO_PDY;
  if (options & ETO_GLYPH_INDEX) {
    // Glyph numbers of the recording font mean nothing in the font drawn here: only the opaque
    // box is painted.
    if (rect) dc_->ExtTextOut(at.X, at.Y, options & ETO_OPAQUE, &box, u"");
  } else {
    dc_->ExtTextOut(at.X, at.Y, drawOptions, rect ? &box : nullptr, text, advances);
  }

  // The current position moves past left-aligned text and before right-aligned text.
  const uint32_t horizontal = state_.textAlign & TA_CENTER;
  if (!updateCp || horizontal == TA_CENTER) return;
  if (advances.empty()) {
    if (options & ETO_GLYPH_INDEX || alongScale == 0) return;  // no widths known
    logicalAdvance = {dc_->GetTextExtent(text).cx / alongScale, 0};
  }
  // Along the font's own escapement in logical units (a page with y up turns the other way).
  const double up = Page().m22 < 0 ? -1 : 1;
  const double e = state_.font.font.Escapement * std::numbers::pi / 1800;
  const double sign = horizontal == TA_RIGHT ? -1 : 1;
  const PointD moved{state_.position.x + sign * (logicalAdvance.x * std::cos(e) +
                                                 logicalAdvance.y * up * std::sin(e)),
                     state_.position.y + sign * (logicalAdvance.y * std::cos(e) -
                                                 logicalAdvance.x * up * std::sin(e))};
  if (std::isfinite(moved.x) && std::isfinite(moved.y)) state_.position = moved;
}

// --- Gradients

void MetafilePlayer::GradientFill(std::span<const MetafileTriangle> triangles) {
  if (!dc_) return;
  for (const MetafileTriangle& t : triangles) {
    std::array<TTriVertex, 3> corners;
    for (size_t i = 0; i < 3; ++i) {
      corners[i] = {ToPoint(Map(t[i].point)), t[i].red, t[i].green, t[i].blue};
    }
    dc_->GradientTriangle(corners);
  }
}

// --- Block transfers

void MetafilePlayer::Blit(const MetafileBlit& blit, const MetafileDib* dib,
                          const MetafileDib* mask) {
  if (!dc_) return;
  if (!dib) {
    const TRect r = Normalized(ToPoint(Map({blit.x, blit.y})),
                               ToPoint(Map({blit.x + blit.w, blit.y + blit.h})));
    if (Prepare()) dc_->PatBlt(r.Left, r.Top, r.Width(), r.Height(), blit.rop & 0x00FFFFFF);
    return;
  }
  const bool sourceAlpha = blit.blendFunction && ((*blit.blendFunction >> 24) & 1);
  std::optional<DecodedDib> source = Decode(*dib, sourceAlpha);
  if (!source || !Prepare()) return;
  int32_t sy = blit.sy;
  if (blit.sourceFromBottom && source->bottomUp) {
    sy = int32_t(std::clamp<int64_t>(int64_t(source->height) - sy - blit.sh, INT32_MIN, INT32_MAX));
  }
  DeviceContext src(source->pixels.data(), source->width, source->height, source->width * 4);

  TBlitMode mode{.rop = blit.rop & 0x00FFFFFF};
  std::vector<uint32_t> maskPixels;
  DeviceContext maskDc;
  if (const std::optional<DecodedDib> m = mask ? Decode(*mask, false) : std::nullopt) {
    // The mask laid over the source pixel by pixel; white (1) beyond its edges.
    maskPixels.assign(source->pixels.size(), 0xFFFFFFFF);
    for (int32_t y = 0; y < source->height; ++y) {
      const int64_t my = int64_t(y) - sy + blit.maskY;
      if (my < 0 || my >= m->height) continue;
      for (int32_t x = 0; x < source->width; ++x) {
        const int64_t mx = int64_t(x) - blit.sx + blit.maskX;
        if (mx < 0 || mx >= m->width) continue;
        maskPixels[size_t(y) * size_t(source->width) + size_t(x)] =
            m->pixels[size_t(my) * size_t(m->width) + size_t(mx)];
      }
    }
    maskDc.Attach(maskPixels.data(), source->width, source->height, source->width * 4);
    mode = {.rop = (blit.rop >> 8) & 0x00FF0000, .mask = &maskDc, .maskRop = blit.rop & 0x00FFFFFF};
  }
  if (blit.transparentColor) mode = {.keyRgb = int64_t(RefToRgb(Resolve(*blit.transparentColor)))};
  if (blit.blendFunction) {
    mode = {.blend = TBlend{uint8_t(*blit.blendFunction >> 16), sourceAlpha}};
  }

  if (!blit.corners && Transform().AxisAligned()) {
    const TPoint p0 = ToPoint(Map({blit.x, blit.y}));
    const TPoint p1 = ToPoint(Map({blit.x + blit.w, blit.y + blit.h}));
    dc_->StretchBlt(p0.X, p0.Y, p1.X - p0.X, p1.Y - p0.Y, &src, blit.sx, sy, blit.sw, blit.sh,
                    mode);
    return;
  }
  // A turning or shearing mapping, or a parallelogram of the file's: the source is mapped onto
  // where its corners go.
  const std::array<PointD, 3> logical =
      blit.corners ? *blit.corners
                   : std::array<PointD, 3>{PointD{blit.x, blit.y}, PointD{blit.x + blit.w, blit.y},
                                           PointD{blit.x, blit.y + blit.h}};
  const TPoint corners[3] = {ToPoint(Map(logical[0])), ToPoint(Map(logical[1])),
                             ToPoint(Map(logical[2]))};
  dc_->PlgBlt(corners, &src, blit.sx, sy, blit.sw, blit.sh, mode);
}

}  // namespace plat
