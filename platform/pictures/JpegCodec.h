// libjpeg behind two plain calls. libjpeg reports errors by longjmp back into these calls; they
// surface as EInvalidGraphic, never as exit() or an exception thrown through libjpeg's frames.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"

namespace plat {

struct JpegDecodeOptions {
  int scaleDenominator = 1;  // 1, 2, 4 or 8
  bool grayscale = false;    // grey output even for colour data
  bool quantize = false;     // colour output reduced to 256 colours
};

// Decodes a whole JPEG stream: pf24bit for colour, pf8bit with a grey ramp for grey output,
// pf8bit with the quantised palette for quantised output. CMYK and YCCK data become RGB.
std::unique_ptr<TBitmap> DecodeJpeg(const std::string& data, const JpegDecodeOptions& options);

// Decodes a whole JPEG stream (colour, grey or CMYK) as opaque pixels straight into the target's
// memory, with the colours DecodeJpeg gives.
void DecodeJpegArgb(const std::string& data, const ArgbPictureTarget& target);

// As above, reading the stream from its position a block at a time, so the file is never held
// whole. A read error of the stream goes on as it was raised; more than MaxJpegBytes to read is
// refused (libjpeg would read through any amount of filler looking for data).
void DecodeJpegArgb(TStream& stream, const ArgbPictureTarget& target);

// The most JPEG data taken in: beyond any picture within the size limits.
inline constexpr int64_t MaxJpegBytes = int64_t(1) << 30;

// Compresses the bitmap's RGB (alpha ignored) with libjpeg's defaults and the given quality.
std::string EncodeJpeg(const TBitmap& bitmap, int quality);

// Gives row y as 0xAARRGGBB pixels; the row must stay readable until the next call.
using ArgbRowSource = std::function<const uint32_t*(int32_t y)>;

// As EncodeJpeg, for a width x height picture whose rows come from the source top to bottom, so
// 32-bit pictures need no whole converted copy. Alpha is ignored.
std::string EncodeJpegArgbRows(int32_t width, int32_t height, int quality,
                               const ArgbRowSource& rows);

// Receives the compressed stream in order, a block at a time; it may throw to stop.
using JpegByteSink = std::function<void(const char* bytes, size_t count)>;

// As above, handing the bytes to the sink as they are made, so no whole file is held in memory.
// An exception of the sink or the source ends the compression and goes on to the caller.
void EncodeJpegArgbRows(int32_t width, int32_t height, int quality, const ArgbRowSource& rows,
                        const JpegByteSink& sink);

}  // namespace plat
