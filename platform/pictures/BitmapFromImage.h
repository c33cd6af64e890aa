// A Qt picture taken over as a 32-bit bitmap.
#pragma once

#include <QImage>
#include <memory>

#include "platform/pictures/Bitmap.h"

namespace plat {

// A 32-bit bitmap with image's pixels; image must hold 32-bit B, G, R, A rows (Format_RGB32 or
// Format_ARGB32), whose bytes are the bitmap's own.
std::unique_ptr<TBitmap> BitmapFromImage(const QImage& image);

}  // namespace plat
