#include "graphics/core/OrdinalMaps.h"

namespace gfx {

void TIntegerMap::ChangeSize(int32_t& Width, int32_t& Height, int32_t NewWidth, int32_t NewHeight) {
  values_.resize(size_t(NewWidth) * size_t(NewHeight));
  TCustomMap::ChangeSize(Width, Height, NewWidth, NewHeight);
}

}  // namespace gfx
