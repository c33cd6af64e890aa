#include "html/images/ImageMaps.h"

#include <algorithm>
#include <optional>

#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

using TShape = TMapItem::TShape;

// The next word of rest (see ParseAreaCoords); rest loses it and the separators after it.
std::string_view NextToken(std::string_view& rest) {
  const size_t comma = rest.find(','), space = rest.find(' ');
  std::string_view token;
  if (comma != std::string_view::npos && (space == std::string_view::npos || comma < space)) {
    token = rest.substr(0, comma);
    rest.remove_prefix(comma + 1);
  } else if (space != std::string_view::npos) {
    token = rest.substr(0, space);
    rest.remove_prefix(space + 1);
  } else {
    token = rest;
    rest = {};
  }
  const size_t next = rest.find_first_not_of(", ");
  rest.remove_prefix(next == std::string_view::npos ? rest.size() : next);
  return token;
}

std::vector<int64_t> Box(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom)};
}

// The outline of the shape from its coordinates; none when there are too few of them.
std::optional<std::vector<int64_t>> AreaOutline(TShape shape, const std::vector<int32_t>& c) {
  switch (shape) {
    case TShape::Rect:
      if (c.size() < 4) return std::nullopt;
      return Box(c[0], c[1], int64_t(c[2]) + 1, int64_t(c[3]) + 1);
    case TShape::Circle: {
      if (c.size() < 3) return std::nullopt;
      const int64_t x = c[0], y = c[1], r = c[2];
      return Box(x - r, y - r, x + r + 1, y + r + 1);
    }
    case TShape::Poly:
      if (c.size() < 6) return std::nullopt;
      return std::vector<int64_t>(c.begin(), c.begin() + ptrdiff_t(c.size() / 2 * 2));
  }
  return std::nullopt;
}

bool InsideEllipse(const std::vector<int64_t>& box, double px, double py) {
  const double rx = double(box[2] - box[0]) / 2, ry = double(box[3] - box[1]) / 2;
  if (rx <= 0 || ry <= 0) return false;
  const double dx = (px - double(box[0]) - rx) / rx, dy = (py - double(box[1]) - ry) / ry;
  return dx * dx + dy * dy <= 1;
}

// Non-zero winding number of the closed polygon round the point.
bool InsidePolygon(const std::vector<int64_t>& v, double px, double py) {
  const size_t n = v.size() / 2;
  int winding = 0;
  for (size_t i = 0; i < n; ++i) {
    const size_t j = (i + 1) % n;
    const double x0 = double(v[2 * i]), y0 = double(v[2 * i + 1]);
    const double x1 = double(v[2 * j]), y1 = double(v[2 * j + 1]);
    // The point's centre never has a whole-number y, so no vertex lies on its scan line.
    if ((y0 <= py) == (y1 <= py)) continue;
    const double side = (x1 - x0) * (py - y0) - (px - x0) * (y1 - y0);
    if (y1 > y0 && side > 0) ++winding;
    if (y1 < y0 && side < 0) --winding;
  }
  return winding != 0;
}

}  // namespace

bool TMapItem::TMapArea::Contains(int x, int y) const {
  const double px = x + 0.5, py = y + 0.5;  // the pixel's centre
  switch (Shape) {
    case TShape::Rect:
      return x >= Outline[0] && x < Outline[2] && y >= Outline[1] && y < Outline[3];
    case TShape::Circle:
      return InsideEllipse(Outline, px, py);
    case TShape::Poly:
      return InsidePolygon(Outline, px, py);
  }
  return false;
}

std::vector<int32_t> ParseAreaCoords(std::string_view value) {
  const std::string trimmed = plat::Trim(value);
  std::string_view rest = trimmed;
  std::vector<int32_t> coords;
  for (std::string_view token = NextToken(rest);
       !token.empty() && int(coords.size()) < TMapItem::kMaxCoords; token = NextToken(rest)) {
    // A coordinate reads as every number of an attribute does; no number gives 0.
    int32_t coord = 0;
    AttributeNumber(token, coord);
    coords.push_back(coord);
  }
  return coords;
}

void TMapItem::AddArea(const TAttributeList& attributes) {
  if (Count() >= kMaxAreas) return;
  TMapArea area;
  std::vector<int32_t> coords;
  for (const auto& attribute : attributes) {
    switch (attribute->Which) {
      case HrefSy:
        area.HRef = attribute->Name;
        break;
      case NoHrefSy:
        area.HRef.clear();
        break;
      case TargetSy:
        area.Target = attribute->Name;
        break;
      case TitleSy:
        area.Title = attribute->Name;
        break;
      case ShapeSy: {
        const std::string kind = plat::LowerCase(attribute->Name).substr(0, 4);
        area.Shape = kind == "circ" ? TShape::Circle : kind == "poly" ? TShape::Poly : TShape::Rect;
        break;
      }
      case CoordsSy:
        coords = ParseAreaCoords(attribute->Name);
        break;
      default:
        break;
    }
  }
  std::optional<std::vector<int64_t>> outline = AreaOutline(area.Shape, coords);
  if (!outline) return;
  area.Outline = std::move(*outline);
  areas_.push_back(std::move(area));
}

bool TMapItem::HitTest(int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                       std::string& title) const {
  const auto hit = std::find_if(areas_.begin(), areas_.end(),
                                [&](const TMapArea& area) { return area.Contains(x, y); });
  if (hit == areas_.end() || hit->HRef.empty()) return false;
  urlTarget = std::make_unique<TUrlTarget>();
  urlTarget->URL = hit->HRef;
  urlTarget->Target = hit->Target;
  title = hit->Title;
  return true;
}

}  // namespace html
