// Feeds arbitrary bytes to the metafile reader and plays what it accepts onto a small surface,
// at 1x or 2x.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/drawing/Graphics.h"
#include "platform/metafile/Metafile.h"
#include "platform/windows/QtRuntime.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = (plat::EnsureQtApplication(), true);
  (void)started;
  plat::TReadOnlyMemoryStream stream(data, int64_t(size));
  plat::TMetafile metafile;
  try {
    metafile.LoadFromStream(stream);
  } catch (const plat::Exception&) {
    return 0;
  }
  // Odd sizes play onto a context at twice the scale, as on a screen at 200 %.
  const int scale = 1 + int(size % 2);
  std::vector<uint32_t> pixels(size_t(32 * scale) * size_t(32 * scale), 0xFFFFFFFF);
  plat::DeviceContext dc(pixels.data(), 32 * scale, 32 * scale, 32 * scale * 4);
  dc.SetScale(scale);
  plat::TCanvas canvas(&dc);
  metafile.Draw(canvas, {0, 0, 32, 32});
  return 0;
}
