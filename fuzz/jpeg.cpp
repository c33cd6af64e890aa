// Feeds arbitrary bytes to the JPEG picture. Decoding at an eighth keeps large declared sizes
// fast; the stream itself is decoded in full either way. Pictures of up to a million pixels are
// also read the engine's way, straight into 32-bit memory as a stream, which must give the
// pixels the full-size picture draws.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Jpeg.h"

namespace {

struct TooLarge {};

void CompareDirect(const uint8_t* data, size_t size) {
  std::vector<uint32_t> pixels;
  int32_t width = 0, height = 0;
  plat::TReadOnlyMemoryStream stream(data, int64_t(size));
  plat::TJPEGImage direct;
  try {
    direct.LoadFromStreamInto(stream, [&](int32_t w, int32_t h) {
      if (int64_t(w) * h > (int64_t(1) << 20)) throw TooLarge{};
      width = w;
      height = h;
      pixels.assign(size_t(w) * size_t(h), 0);
      return pixels.data();
    });
  } catch (const TooLarge&) {
    return;
  } catch (const plat::Exception&) {
    return;
  }
  plat::TReadOnlyMemoryStream again(data, int64_t(size));
  plat::TJPEGImage whole;
  try {
    whole.LoadFromStream(again);
  } catch (const plat::Exception&) {
    __builtin_trap();  // the same bytes decoded whole must load too
  }
  const plat::TBitmap& drawn = whole.Bitmap();
  if (drawn.Width() != width || drawn.Height() != height) __builtin_trap();
  std::vector<uint32_t> row(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    drawn.ReadRowARGB(y, row.data());
    if (std::memcmp(row.data(), &pixels[size_t(y) * size_t(width)], row.size() * 4) != 0)
      __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::TReadOnlyMemoryStream stream(data, int64_t(size));
  plat::TJPEGImage jpeg;
  jpeg.SetScale(plat::jsEighth);
  try {
    jpeg.LoadFromStream(stream);
    jpeg.SetGrayscale(true);
  } catch (const plat::Exception&) {
  }
  CompareDirect(data, size);
  return 0;
}
