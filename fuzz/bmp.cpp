// Feeds arbitrary bytes to the platform bitmap's BMP reader and turns what it reads into a 32-bit
// device bitmap, as the editor does with every picture: that conversion is where a small file
// that declares a huge picture costs its memory.
#include <cstddef>
#include <cstdint>

#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/pictures/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gfx::StartEngine();
  plat::TReadOnlyMemoryStream stream(data, int64_t(size));
  plat::TBitmap bitmap;
  try {
    bitmap.LoadFromStream(stream);
    gfx::TBitmap32 picture;
    picture.Assign(bitmap);
    uint32_t sum = 0;
    for (int32_t y = 0; y < picture.Height(); ++y) sum += picture.Pixel(picture.Width() - 1, y);
    (void)sum;
  } catch (const plat::Exception&) {
  }
  return 0;
}
