// libjpeg behind two plain calls. libjpeg reports errors by longjmp back into these calls; they
// surface as EInvalidGraphic, never as exit() or an exception thrown through libjpeg's frames.
#pragma once

#include <memory>
#include <string>

#include "platform/Bitmap.h"

namespace plat {

struct JpegDecodeOptions {
  int scaleDenominator = 1;  // 1, 2, 4 or 8
  bool grayscale = false;    // grey output even for colour data
  bool quantize = false;     // colour output reduced to 256 colours
};

// Decodes a whole JPEG stream: pf24bit for colour, pf8bit with a grey ramp for grey output,
// pf8bit with the quantised palette for quantised output. CMYK and YCCK data become RGB.
std::unique_ptr<TBitmap> DecodeJpeg(const std::string& data, const JpegDecodeOptions& options);

// Compresses the bitmap's RGB (alpha ignored) with libjpeg's defaults and the given quality.
std::string EncodeJpeg(const TBitmap& bitmap, int quality);

}  // namespace plat
