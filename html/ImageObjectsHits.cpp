// Image objects under the mouse: the hover frames of ACTIVE GIFs and the point inside a picture.
#include "html/ImageObjects.h"

namespace html {

void TImageObj::SetHover(THoverState) {}

bool TImageObj::PointInside(int32_t, int32_t, int32_t&, int32_t&) const {
  return false;
}

}  // namespace html
