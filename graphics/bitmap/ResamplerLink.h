// How a bitmap reaches the resampling module without depending on it: the module fills this table
// at engine start-up. Until it does, bitmaps have no resampler and cannot be drawn onto each other.
#pragma once

#include <memory>
#include <string>

#include "graphics/core/Types.h"

namespace gfx {

class TCustomBitmap32;
class TCustomResampler;

// Frees a resampler through the module that made it.
struct TResamplerDeleter {
  void operator()(TCustomResampler* resampler) const;
};
using TResamplerPtr = std::unique_ptr<TCustomResampler, TResamplerDeleter>;

struct TResamplerLink {
  // Makes a resampler of the registered class of that name for the bitmap, which installs it
  // through SetResampler; false when no class has that name.
  bool (*CreateResampler)(const std::string& className, TCustomBitmap32& bitmap) = nullptr;
  void (*FreeResampler)(TCustomResampler* resampler) = nullptr;
  std::string (*ResamplerClassName)(const TCustomResampler& resampler) = nullptr;
  // Copies the settings (published properties) of Source into Dest.
  void (*AssignResampler)(TCustomResampler& dest, const TCustomResampler& source) = nullptr;

  void (*BlockTransfer)(TCustomBitmap32& dst, int32_t dstX, int32_t dstY, const TRect& dstClip,
                        TCustomBitmap32& src, const TRect& srcRect, TDrawMode combineOp,
                        const TPixelCombineEvent& combineCallBack) = nullptr;
  void (*StretchTransfer)(TCustomBitmap32& dst, const TRect& dstRect, const TRect& dstClip,
                          TCustomBitmap32& src, const TRect& srcRect, TCustomResampler* resampler,
                          TDrawMode combineOp, const TPixelCombineEvent& combineCallBack) = nullptr;

  // The bound four-pixel interpolation: C11 and the pixel after it, C21 and the pixel after it.
  TColor32 (*Interpolate)(uint32_t wx256, uint32_t wy256, const TColor32* c11,
                          const TColor32* c21) = nullptr;
};

// The one table of the program.
TResamplerLink& ResamplerLink();

// Name of the class every new bitmap gets.
inline constexpr const char* kDefaultResamplerClassName = "TNearestResampler";

}  // namespace gfx
