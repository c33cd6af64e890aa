// An opaque picture drawn once into a bitmap of the image control's buffer size, as a rebuild of
// the whole buffer would draw it. Partial rebuilds (a layer dragged over the picture) copy from it
// instead of resampling the picture again, for as long as the picture, its settings and those of
// its resampler, its place and the buffer are those it was drawn with; any change the picture
// reports, and any invalidation of the control, makes the control forget it.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "graphics/bitmap/Bitmap32.h"

namespace gfx {

class TPictureSnapshot {
 public:
  // Draws the part of Dest's clip rectangle inside Place as Picture drawn opaque into Place,
  // clipped to Area, gives it there. The drawing is made on first use and kept. False, with
  // nothing written, when the clip reaches out of Area or Dest is too large to keep a copy of.
  bool DrawTo(TCustomBitmap32& Dest, TCustomBitmap32& Picture, const TRect& Place,
              const TRect& Area);
  // The picture changed: the next use draws it again. The memory is kept for that.
  void Forget() { fresh_ = false; }

 private:
  // What the drawn pixels depend on besides the picture's own pixels, whose changes are reported.
  struct TKey {
    TRect Place{}, Area{};
    int32_t DestWidth = 0, DestHeight = 0;
    const TColor32* Bits = nullptr;
    int32_t Width = 0, Height = 0;
    const void* Resampler = nullptr;
    TDrawMode DrawMode = dmOpaque;
    TWrapMode WrapMode = wmClamp;
    TColor32 OuterColor = 0;
    TRect ClipRect{};
    // The resampler's published settings and those of the objects it publishes (its kernel):
    // not every one of them reports its changes.
    std::vector<std::variant<int64_t, double, std::string, const void*>> Settings;
    bool operator==(const TKey&) const = default;
  };

  TCustomBitmap32 drawn_;
  TKey key_{};
  bool fresh_ = false;
};

}  // namespace gfx
