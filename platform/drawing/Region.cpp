#include "platform/drawing/Region.h"

#include <QPolygon>
#include <QRegion>
#include <algorithm>
#include <vector>

namespace plat {

struct TRegion::Impl {
  QRegion region;
};

namespace {

QRect ToQRect(const TRect& r) {
  return r.IsEmpty() ? QRect() : QRect(r.Left, r.Top, r.Width(), r.Height());
}

}  // namespace

TRegion::TRegion() : impl_(std::make_unique<Impl>()) {}
TRegion::TRegion(const TRect& r) : impl_(std::make_unique<Impl>(Impl{QRegion(ToQRect(r))})) {}
TRegion::TRegion(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TRegion::~TRegion() = default;
TRegion::TRegion(const TRegion& other) : impl_(std::make_unique<Impl>(*other.impl_)) {}
TRegion& TRegion::operator=(const TRegion& other) {
  if (this != &other) *impl_ = *other.impl_;
  return *this;
}
TRegion::TRegion(TRegion&& other) noexcept : impl_(std::make_unique<Impl>()) {
  impl_->region.swap(other.impl_->region);
}
TRegion& TRegion::operator=(TRegion&& other) noexcept {
  impl_->region.swap(other.impl_->region);
  return *this;
}

TRegion TRegion::Ellipse(const TRect& r) {
  return TRegion(std::make_unique<Impl>(Impl{QRegion(ToQRect(r), QRegion::Ellipse)}));
}

TRegion TRegion::Polygon(std::span<const TPoint> points, int fillMode) {
  QPolygon polygon;
  polygon.reserve(qsizetype(points.size()));
  for (const TPoint& p : points) polygon.append(QPoint(p.X, p.Y));
  const Qt::FillRule rule = fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
  return TRegion(std::make_unique<Impl>(Impl{QRegion(polygon, rule)}));
}

TRegion TRegion::Union(std::vector<TRegion> parts) {
  if (parts.empty()) return {};
  for (size_t step = 1; step < parts.size(); step *= 2) {
    for (size_t i = 0; i + step < parts.size(); i += 2 * step) {
      parts[i].impl_->region += parts[i + step].impl_->region;
    }
  }
  return std::move(parts.front());
}

TRegion TRegion::Combined(const TRegion& other, int mode) const {
  const QRegion& a = impl_->region;
  const QRegion& b = other.impl_->region;
  switch (mode) {
    case RGN_AND:
      return TRegion(std::make_unique<Impl>(Impl{a.intersected(b)}));
    case RGN_OR:
      return TRegion(std::make_unique<Impl>(Impl{a.united(b)}));
    case RGN_XOR:
      return TRegion(std::make_unique<Impl>(Impl{a.xored(b)}));
    case RGN_DIFF:
      return TRegion(std::make_unique<Impl>(Impl{a.subtracted(b)}));
    default:
      return *this;
  }
}

TRegion TRegion::Offset(int32_t dx, int32_t dy) const {
  return TRegion(std::make_unique<Impl>(Impl{impl_->region.translated(dx, dy)}));
}

TRegion TRegion::Scaled(int32_t factor) const {
  // Coordinates stop at +-2^30 so that widths still fit; scaled bands stay sorted and disjoint, so
  // they go in as they are.
  static constexpr int64_t kLimit = int64_t(1) << 30;
  const auto scale = [factor](int64_t v) { return std::clamp(v * factor, -kLimit, kLimit); };
  std::vector<QRect> rects;
  for (const QRect& r : impl_->region) {
    const int64_t left = scale(r.left()), top = scale(r.top());
    const int64_t right = scale(int64_t(r.left()) + r.width());
    const int64_t bottom = scale(int64_t(r.top()) + r.height());
    if (right > left && bottom > top)
      rects.emplace_back(int(left), int(top), int(right - left), int(bottom - top));
  }
  auto scaled = std::make_unique<Impl>();
  scaled->region.setRects(rects.data(), int(rects.size()));
  return TRegion(std::move(scaled));
}

bool TRegion::IsEmpty() const {
  return impl_->region.isEmpty();
}

bool TRegion::Contains(TPoint p) const {
  return impl_->region.contains(QPoint(p.X, p.Y));
}

TRect TRegion::BoundingRect() const {
  if (impl_->region.isEmpty()) return {};
  const QRect b = impl_->region.boundingRect();
  return {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

std::vector<TRect> TRegion::Rects() const {
  std::vector<TRect> rects;
  for (const QRect& q : impl_->region) {
    rects.push_back({q.left(), q.top(), q.left() + q.width(), q.top() + q.height()});
  }
  return rects;
}

int TRegion::Kind() const {
  if (impl_->region.isEmpty()) return NULLREGION;
  return impl_->region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool TRegion::operator==(const TRegion& other) const {
  return impl_->region == other.impl_->region;
}

}  // namespace plat
