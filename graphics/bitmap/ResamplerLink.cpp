#include "graphics/bitmap/ResamplerLink.h"

#include "graphics/core/Blend.h"

namespace gfx {
namespace {

// The portable four-pixel interpolation, until the resampling module binds its own.
TColor32 PortableInterpolate(uint32_t wx256, uint32_t wy256, const TColor32* c11,
                             const TColor32* c21) {
  const uint32_t wx = wx256 > 255 ? 255 : wx256;
  const uint32_t wy = wy256 > 255 ? 255 : wy256;
  return CombineReg(CombineReg(c11[0], c11[1], wx), CombineReg(c21[0], c21[1], wx), wy);
}

}  // namespace

void TResamplerDeleter::operator()(TCustomResampler* resampler) const {
  if (resampler != nullptr && ResamplerLink().FreeResampler)
    ResamplerLink().FreeResampler(resampler);
}

TResamplerLink& ResamplerLink() {
  static TResamplerLink link{.Interpolate = PortableInterpolate};
  return link;
}

}  // namespace gfx
