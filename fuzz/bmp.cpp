// Feeds arbitrary bytes to the platform bitmap's BMP reader.
#include <cstddef>
#include <cstdint>

#include "platform/pictures/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::TReadOnlyMemoryStream stream(data, int64_t(size));
  plat::TBitmap bitmap;
  try {
    bitmap.LoadFromStream(stream);
    for (int y = 0; y < bitmap.Height(); ++y) bitmap.PixelARGB(bitmap.Width() - 1, y);
  } catch (const plat::Exception&) {
  }
  return 0;
}
