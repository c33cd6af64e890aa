// Fuzzes the bitmap's readers: the first byte picks the BMP stream reader (direct 32-bit path or
// the platform bitmap) or the "Data" block reader; the rest is the input.
#include <cstddef>
#include <cstdint>

#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/runtime/Classes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  gfx::StartEngine();
  plat::TReadOnlyMemoryStream stream(data + 1, static_cast<int64_t>(size - 1));
  gfx::TCustomBitmap32 bitmap;
  bitmap.SetSize(3, 2);
  try {
    if (data[0] & 1) {
      bitmap.ReadData(stream);
    } else {
      bitmap.LoadFromStream(stream);
    }
    // Whatever was read must be whole: touch every pixel.
    uint32_t sum = 0;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
      for (int32_t x = 0; x < bitmap.Width(); ++x) sum += bitmap.Pixel(x, y);
    (void)sum;
  } catch (const plat::Exception&) {
  }
  return 0;
}
