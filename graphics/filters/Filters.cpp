#include "graphics/filters/Filters.h"

#include <algorithm>
#include <cstdint>

#include "graphics/bitmap/Bitmap32.h"
#include "platform/runtime/SysUtils.h"

namespace gfx {

namespace {

// Brackets a pixel loop so that the update count is restored even when the loop fails.
class TUpdateScope {
 public:
  explicit TUpdateScope(TCustomBitmap32& Bitmap) : bitmap_(Bitmap) { bitmap_.BeginUpdate(); }
  ~TUpdateScope() { bitmap_.EndUpdate(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  TCustomBitmap32& bitmap_;
};

int64_t PixelCount(const TCustomBitmap32& Bitmap) {
  return Bitmap.Bits() ? int64_t(Bitmap.Width()) * Bitmap.Height() : 0;
}

void CheckBitmap(const TCustomBitmap32* Bitmap) {
  if (!Bitmap) throw plat::Exception("The bitmap is nil");
}

// Operation 1 XOR, 2 OR, 3 AND; false for any other number.
bool ChannelValueOperation(int32_t Operation, TMaskOperation& Result) {
  switch (Operation) {
    case 1:
      Result = maskXor;
      return true;
    case 2:
      Result = maskOr;
      return true;
    case 3:
      Result = maskAnd;
      return true;
    default:
      return false;
  }
}

// Combines Src with Mask into Dst: in place when they are the same bitmap, else into Dst
// resized to Src.
void ApplyMaskToBitmaps(TCustomBitmap32* Dst, TCustomBitmap32* Src, TColor32 Mask,
                        TMaskOperation Operation) {
  if (Dst == Src) {
    CheckFilterParams(Dst, Src, false);
    ApplyBitmask(Src, Src->BoundsRect(), Mask, Operation);
  } else {
    CheckFilterParams(Dst, Src, true);
    ApplyBitmask(Dst, 0, 0, Src, Src->BoundsRect(), Mask, Operation);
  }
}

}  // namespace

void CheckFilterParams(TCustomBitmap32* Dst, TCustomBitmap32* Src, bool ResizeDst) {
  if (!Src) throw plat::Exception("The source is nil");
  if (!Dst) throw plat::Exception("Destination is nil");
  if (ResizeDst) Dst->SetSize(Src->Width(), Src->Height());
}

void IntensityToAlpha(TCustomBitmap32* Dst, TCustomBitmap32* Src) {
  CheckFilterParams(Dst, Src, true);
  const TColor32* source = Src->Bits();
  TColor32* target = Dst->Bits();
  for (int64_t i = 0, n = PixelCount(*Src); i < n; ++i) {
    target[i] = (target[i] & 0x00FFFFFFu) | TColor32(Intensity(source[i])) << 24;
  }
  Dst->Changed();
}

void ColorToGrayscale(TCustomBitmap32* Dst, TCustomBitmap32* Src, bool PreserveAlpha) {
  CheckFilterParams(Dst, Src, true);
  const TColor32* source = Src->Bits();
  TColor32* target = Dst->Bits();
  for (int64_t i = 0, n = PixelCount(*Src); i < n; ++i) {
    const TColor32 c = source[i];
    target[i] = Gray32(Intensity(c), PreserveAlpha ? AlphaComponent(c) : 255);
  }
  Dst->Changed();
}

void ColorKeyToTransparent(TCustomBitmap32* Bitmap, TColor32 Key) {
  CheckBitmap(Bitmap);
  const TColor32 key = Key & 0x00FFFFFFu;
  TColor32* pixels = Bitmap->Bits();
  for (int64_t i = 0, n = PixelCount(*Bitmap); i < n; ++i) {
    if ((pixels[i] & 0x00FFFFFFu) == key) pixels[i] = key;
  }
  Bitmap->Changed();
}

void Invert(TCustomBitmap32* Dst, TCustomBitmap32* Src, TChannelSet Channels) {
  if ((Channels & AllChannelsSet) == 0) return;
  ApplyMaskToBitmaps(Dst, Src, ChannelsToMask(Channels), maskXor);
}

void InvertRGB(TCustomBitmap32* Src, TCustomBitmap32* Dst) {
  Invert(Dst, Src, RGBChannelsSet);
}

void ApplyChannelValue(TCustomBitmap32* Dst, TCustomBitmap32* Src, uint8_t Value,
                       TChannelSet Channels, int32_t Operation) {
  if ((Channels & AllChannelsSet) == 0) return;
  TMaskOperation operation;
  if (ChannelValueOperation(Operation, operation)) {
    ApplyMaskToBitmaps(Dst, Src, ValueToChannelMask(Value, Channels), operation);
  } else {
    CheckFilterParams(Dst, Src, Dst != Src);
  }
}

void ApplyChannelOperation(TCustomBitmap32* Src, TCustomBitmap32* Dst, int32_t Selector,
                           uint8_t Value, int32_t Operation) {
  const TChannelSet red = ChannelBit(chRed), green = ChannelBit(chGreen), blue = ChannelBit(chBlue);
  // Channel sets of selectors 1 to 7.
  const TChannelSet sets[] = {RGBChannelsSet, red,        green,       blue,
                              red | green,    red | blue, green | blue};
  if (Selector == 0) {
    Invert(Dst, Src, AllChannelsSet);
  } else if (Selector >= 1 && Selector <= 7) {
    ApplyChannelValue(Dst, Src, Value, sets[Selector - 1], Operation);
  }
}

void ApplyBitmask(TCustomBitmap32* Dst, int32_t DstX, int32_t DstY, TCustomBitmap32* Src,
                  TRect SrcRect, TColor32 Bitmask, TMaskOperation Operation) {
  CheckFilterParams(Dst, Src, false);
  TRect srcRect;
  IntersectRectangles(srcRect, SrcRect, Src->BoundsRect());
  // The destination is clipped from the position as given, and the source start moves by
  // what the clipping cut off, so the picture lands where it was asked to.
  const int64_t right =
      std::min<int64_t>(int64_t(DstX) + (srcRect.Right - srcRect.Left), INT32_MAX);
  const int64_t bottom =
      std::min<int64_t>(int64_t(DstY) + (srcRect.Bottom - srcRect.Top), INT32_MAX);
  TRect inBounds, dstRect;
  IntersectRectangles(inBounds, {DstX, DstY, int32_t(right), int32_t(bottom)}, Dst->BoundsRect());
  IntersectRectangles(dstRect, inBounds, Dst->ClipRect());
  const int32_t width = dstRect.Right - dstRect.Left, height = dstRect.Bottom - dstRect.Top;
  if (!Dst->MeasuringMode() && width > 0 && height > 0) {
    const int32_t srcX = srcRect.Left + (dstRect.Left - DstX);
    const int32_t srcY = srcRect.Top + (dstRect.Top - DstY);
    const TMaskLineCopy line = MaskLineCopyOf(Operation);
    TUpdateScope update(*Dst);
    for (int32_t i = 0; i < height; ++i) {
      line(Src->PixelPtr(srcX, srcY + i), Dst->PixelPtr(dstRect.Left, dstRect.Top + i), width,
           Bitmask);
    }
  }
  // A copy landing wholly outside reports the empty rectangle on the edge it was headed for.
  if (IsRectEmpty(dstRect)) {
    const TRect& c = Dst->ClipRect();
    auto onEdge = [](int64_t v, int32_t lo, int32_t hi) {
      return int32_t(std::clamp<int64_t>(v, lo, hi));
    };
    dstRect = {onEdge(DstX, c.Left, c.Right), onEdge(DstY, c.Top, c.Bottom),
               onEdge(right, c.Left, c.Right), onEdge(bottom, c.Top, c.Bottom)};
  }
  Dst->AreaChanged(dstRect, AreaInfoRect);
}

void ApplyBitmask(TCustomBitmap32* Bitmap, TRect Rect, TColor32 Bitmask, TMaskOperation Operation) {
  CheckBitmap(Bitmap);
  TRect inBounds, rect;
  IntersectRectangles(inBounds, Rect, Bitmap->BoundsRect());
  IntersectRectangles(rect, inBounds, Bitmap->ClipRect());
  const int32_t width = rect.Right - rect.Left, height = rect.Bottom - rect.Top;
  if (!Bitmap->MeasuringMode() && width > 0 && height > 0) {
    const TMaskLine line = MaskLineOf(Operation);
    TUpdateScope update(*Bitmap);
    if (width == Bitmap->Width()) {
      // Full-width rows are contiguous: one run.
      line(Bitmap->PixelPtr(rect.Left, rect.Top), Bitmask, width * height);
    } else {
      for (int32_t y = rect.Top; y < rect.Bottom; ++y) {
        line(Bitmap->PixelPtr(rect.Left, y), Bitmask, width);
      }
    }
  }
  Bitmap->AreaChanged(rect, AreaInfoRect);
}

}  // namespace gfx
