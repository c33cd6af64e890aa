// Shared pieces of the layer suites: a plain nearest-neighbour transfer standing in for the
// resampling module, and an owner that plays the image control.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/bitmap/Bitmap32.h"
#include "graphics/bitmap/ResamplerLink.h"
#include "graphics/layers/Layers.h"

namespace gfx::testing {

// Source pixel floor((x - left) * srcWidth / dstWidth) for every destination pixel, blended by
// alpha times master alpha in dmBlend; while measuring only the destination rectangle is
// reported.
inline void NearestTransfer(TCustomBitmap32& Dst, const TRect& DstRect, const TRect& DstClip,
                            TCustomBitmap32& Src, const TRect& SrcRect, TCustomResampler*,
                            TDrawMode Mode, const TPixelCombineEvent&) {
  if (Dst.Empty() || Src.Empty() || (Mode == dmBlend && Src.MasterAlpha() == 0)) return;
  if (IsRectEmpty(DstRect) || IsRectEmpty(SrcRect)) return;
  if (!Dst.MeasuringMode()) {
    const int64_t dw = DstRect.Right - DstRect.Left, dh = DstRect.Bottom - DstRect.Top;
    const int64_t sw = SrcRect.Right - SrcRect.Left, sh = SrcRect.Bottom - SrcRect.Top;
    const int32_t x0 = std::max({DstRect.Left, DstClip.Left, 0});
    const int32_t x1 = std::min({DstRect.Right, DstClip.Right, Dst.Width()});
    const int32_t y0 = std::max({DstRect.Top, DstClip.Top, 0});
    const int32_t y1 = std::min({DstRect.Bottom, DstClip.Bottom, Dst.Height()});
    for (int32_t y = y0; y < y1; ++y)
      for (int32_t x = x0; x < x1; ++x) {
        const TColor32 s = Src.Pixel(int32_t(SrcRect.Left + (x - DstRect.Left) * sw / dw),
                                     int32_t(SrcRect.Top + (y - DstRect.Top) * sh / dh));
        TColor32& d = *Dst.PixelPtr(x, y);
        if (Mode != dmBlend) {
          d = s;
          continue;
        }
        const uint32_t a = AlphaComponent(s) * Src.MasterAlpha() / 255;
        auto mix = [a](uint32_t fg, uint32_t bg) { return (fg * a + bg * (255 - a)) / 255; };
        d = Color32(int32_t(mix(RedComponent(s), RedComponent(d))),
                    int32_t(mix(GreenComponent(s), GreenComponent(d))),
                    int32_t(mix(BlueComponent(s), BlueComponent(d))), 255);
      }
  }
  Dst.AreaChanged(DstRect, AreaInfoRect);
}

// Installs NearestTransfer for its lifetime.
class ScopedNearestTransfer {
 public:
  ScopedNearestTransfer() : saved_(ResamplerLink()) {
    ResamplerLink().StretchTransfer = NearestTransfer;
  }
  ~ScopedNearestTransfer() { ResamplerLink() = saved_; }
  // Puts the engine's own transfers back while the scope lasts.
  void UseEngineTransfers() { ResamplerLink() = saved_; }
  ScopedNearestTransfer(const ScopedNearestTransfer&) = delete;
  ScopedNearestTransfer& operator=(const ScopedNearestTransfer&) = delete;

 private:
  TResamplerLink saved_;
};

// Plays the image control that owns a layer collection.
class TestImage : public plat::TPersistent, public ILayerImageOwner {
 public:
  TRect GetBitmapRect() override { return BitmapRect; }
  bool RenderingElsewhere() const override { return Elsewhere; }

  TRect BitmapRect{0, 0, 0, 0};
  bool Elsewhere = false;
};

}  // namespace gfx::testing
