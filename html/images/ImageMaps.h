// Client-side image maps: the AREAs of one MAP element as shapes that answer which link lies
// under a point of the picture.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/base/PageUtils.h"
#include "platform/runtime/Classes.h"

namespace html {

class TMapItem : public plat::TObject {
 public:
  // Further AREAs of a map are ignored.
  static constexpr int kMaxAreas = 1000;
  // Coordinates read from one COORDS value.
  static constexpr int kMaxCoords = 301;

  enum class TShape { Rect, Circle, Poly };

  // A pixel belongs to an area when its centre lies inside the area's outline: the rectangle
  // from its first to its last corner pixel, the circle's bounding box of 2r + 1 pixels, or the
  // polygon under the non-zero winding rule. The outline is tested arithmetically, so no
  // coordinate a page gives can make it costly.
  struct TMapArea {
    std::string HRef;  // empty: the area is no link (also with NOHREF)
    std::string Target;
    std::string Title;
    TShape Shape = TShape::Rect;
    // Rect and Circle: the bounding box (left, top, right, bottom; right and bottom exclusive).
    // Poly: the vertices, x then y.
    std::vector<int64_t> Outline;

    bool Contains(int x, int y) const;
  };

  // Adds one AREA from its attributes (HREF, NOHREF, TARGET, TITLE, SHAPE, COORDS). An area with
  // too few coordinates for its shape is ignored.
  void AddArea(const TAttributeList& attributes);
  // The first area (in document order) that contains (x, y) decides: when it has a link, a new
  // link record with its HREF and TARGET and its TITLE are returned.
  bool HitTest(int x, int y, std::unique_ptr<TUrlTarget>& urlTarget, std::string& title) const;

  int Count() const { return int(areas_.size()); }
  const TMapArea& Areas(int index) const { return areas_.at(size_t(index)); }

  std::string MapName;  // the MAP's NAME in upper case

 private:
  std::vector<TMapArea> areas_;
};

// The numbers of a COORDS value: separated by a comma or by spaces (a comma and spaces together
// count once), at most TMapItem::kMaxCoords of them; a word that is not a number counts as 0.
std::vector<int32_t> ParseAreaCoords(std::string_view value);

}  // namespace html
