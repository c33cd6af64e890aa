// GIF data of pages: every input ends in frames or a clear error, and the frames draw.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "html/images/GifAnimation.h"
#include "html/images/GifFrames.h"
#include "platform/runtime/SysUtils.h"

namespace {
constexpr int64_t kMaxScreenPixels = int64_t(1) << 21;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::TReadOnlyMemoryStream stream(data, int64_t(size));
  html::TGif gif;
  try {
    gif.LoadFromStream(stream);
    // Huge screens decode the same way as small ones, only slower than the fuzzer's time limit.
    if (int64_t(gif.GetWidth()) * gif.GetHeight() > kMaxScreenPixels) return 0;
    std::unique_ptr<plat::TBitmap> mask;
    gif.BuildFramesBitmap(mask);
  } catch (const plat::Exception&) {
    return 0;
  }

  bool nonAnimated = false;
  std::unique_ptr<html::TGIFImage> image = html::LoadGifImageFromStream(nonAnimated, stream);
  if (!image) return 0;
  plat::TBitmap surface;
  surface.SetPixelFormat(plat::pf32bit);
  surface.SetSize(7, 5);
  // A few frames cover every drawing path; drawing thousands of large frames only costs time.
  const int frames = std::min(image->NumFrames(), 16);
  for (int frame = 1; frame <= frames; ++frame) {
    image->SetCurrentFrame(frame);
    image->Draw(surface.Canvas(), -1, 1, 9, 3);
  }
  image->GetFrameBitmap();
  image->GetMaskBitmap();
  return 0;
}
