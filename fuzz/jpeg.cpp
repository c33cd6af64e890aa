// Feeds arbitrary bytes to the JPEG picture. Decoding at an eighth keeps large declared sizes
// fast; the stream itself is decoded in full either way.
#include <cstddef>
#include <cstdint>

#include "platform/pictures/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::TReadOnlyMemoryStream stream(data, int64_t(size));
  plat::TJPEGImage jpeg;
  jpeg.SetScale(plat::jsEighth);
  try {
    jpeg.LoadFromStream(stream);
    jpeg.SetGrayscale(true);
  } catch (const plat::Exception&) {
  }
  return 0;
}
