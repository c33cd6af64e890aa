// The CSS of inline objects: alignment, float, title, spacing, border and requested size.
#include "html/CssStyles.h"
#include "html/ImageObjects.h"

namespace html {

void TFloatingObj::ApplyProperties(const TProperties&) {}

void TImageObj::ApplyProperties(const TProperties& prop) {
  TFloatingObj::ApplyProperties(prop);
  UpdatePointedTexts();
}

}  // namespace html
