// What hit tests ask of the pictures and panels that stand in a section's text. Their object
// classes derive from these alongside TFloatingObj; objects without them are never under a
// point.
#pragma once

#include <cstdint>
#include <string>

#include "html/images/ImageMaps.h"
#include "html/layout/sections/DocumentObjects.h"
#include "html/layout/text/InlineObjects.h"

namespace html {

class TPointedObject {
 public:
  virtual ~TPointedObject() = default;
  // Whether (x, y) (document coordinates) lies on the object, and the point inside it.
  virtual bool PointInside(int32_t x, int32_t y, int32_t& insideX, int32_t& insideY) const = 0;
};

// A picture: its texts, the input or map it belongs to, and its hover look.
class TPointedImage : public TPointedObject, public THoverImage {
 public:
  std::string Title;
  std::string Alt;
  TFormControlObj* ImageInput = nullptr;  // the image-type input it shows
  const TMapItem* Map = nullptr;          // its client-side map
  bool IsMap = false;                     // a server-side map
};

}  // namespace html
