// Folder graphics/filters: channel filters, the blend modes and the row combiners of the colour
// arithmetic. Uses graphics/core and graphics/bitmap.
//
// Whole-bitmap channel filters: intensity to alpha, grey scale, colour key, inversion and
// the bit-mask operations behind inversion.
#pragma once

#include <cstdint>

#include "graphics/core/Types.h"

namespace gfx {

class TCustomBitmap32;

// A set of channels; as a bit mask blue 1, green 2, red 4, alpha 8.
enum TChannel : uint8_t { chBlue, chGreen, chRed, chAlpha };
using TChannelSet = uint8_t;
constexpr TChannelSet ChannelBit(TChannel C) {
  return TChannelSet(1u << C);
}
inline constexpr TChannelSet AllChannelsSet = 0x0F;
inline constexpr TChannelSet RGBChannelsSet =
    ChannelBit(chRed) | ChannelBit(chGreen) | ChannelBit(chBlue);

// 0xFF in each chosen channel.
constexpr TColor32 ChannelsToMask(TChannelSet Channels) {
  TColor32 mask = 0;
  for (int c = 0; c < 4; ++c) {
    if (Channels & (1u << c)) mask |= TColor32(0xFF) << (8 * c);
  }
  return mask;
}

// The byte Value in each chosen channel, 0 elsewhere.
constexpr TColor32 ValueToChannelMask(uint8_t Value, TChannelSet Channels) {
  return ChannelsToMask(Channels) & (TColor32(Value) * 0x01010101u);
}

enum TMaskOperation : uint8_t { maskXor, maskAnd, maskOr };

// Bound mask line routines ("Filters bindings"); each does nothing for Count <= 0.
using TMaskLine = void (*)(TColor32* Dst, TColor32 Mask, int32_t Count);
using TMaskLineCopy = void (*)(const TColor32* Src, TColor32* Dst, int32_t Count, TColor32 Mask);

extern TMaskLine MaskLineAnd, MaskLineOr, MaskLineXor;
extern TMaskLineCopy MaskLineAndCopy, MaskLineOrCopy, MaskLineXorCopy;

inline constexpr int32_t MaskLineAndID = 0, MaskLineOrID = 1, MaskLineXorID = 2,
                         MaskLineAndCopyID = 3, MaskLineOrCopyID = 4, MaskLineXorCopyID = 5;

// The bound routine of an operation, in place and copying.
TMaskLine MaskLineOf(TMaskOperation Operation);
TMaskLineCopy MaskLineCopyOf(TMaskOperation Operation);

// Creates the "Filters bindings" registry and binds the mask line routines.
void StartFilters();

// Failures carry the messages "The source is nil", "Destination is nil", "The bitmap is nil".
void CheckFilterParams(TCustomBitmap32* Dst, TCustomBitmap32* Src, bool ResizeDst);

// Dst alpha := (61 r + 174 g + 21 b) >> 8 of Src; Dst colour channels are kept.
void IntensityToAlpha(TCustomBitmap32* Dst, TCustomBitmap32* Src);
void ColorToGrayscale(TCustomBitmap32* Dst, TCustomBitmap32* Src, bool PreserveAlpha = false);
// Clears the alpha of every pixel whose colour equals Key's colour.
void ColorKeyToTransparent(TCustomBitmap32* Bitmap, TColor32 Key);

void Invert(TCustomBitmap32* Dst, TCustomBitmap32* Src, TChannelSet Channels = AllChannelsSet);
// Source first, destination second; alpha is kept.
void InvertRGB(TCustomBitmap32* Src, TCustomBitmap32* Dst);
// Operation 1 XOR, 2 OR, 3 AND of Value into the chosen channels (0 in the others).
void ApplyChannelValue(TCustomBitmap32* Dst, TCustomBitmap32* Src, uint8_t Value,
                       TChannelSet Channels, int32_t Operation);
// Selector 0 inverts all four channels; 1..7 pick RGB, R, G, B, RG, RB, GB for
// ApplyChannelValue; anything else does nothing.
void ApplyChannelOperation(TCustomBitmap32* Src, TCustomBitmap32* Dst, int32_t Selector,
                           uint8_t Value, int32_t Operation);

// Copying form: Src's SrcRect combined with Bitmask lands at (DstX, DstY) in Dst.
void ApplyBitmask(TCustomBitmap32* Dst, int32_t DstX, int32_t DstY, TCustomBitmap32* Src,
                  TRect SrcRect, TColor32 Bitmask, TMaskOperation Operation);
// In-place form over Rect.
void ApplyBitmask(TCustomBitmap32* Bitmap, TRect Rect, TColor32 Bitmask, TMaskOperation Operation);

}  // namespace gfx
