// GIF files from outside: every input ends in a picture or a clear error.
#include <cstddef>
#include <cstdint>

#include "platform/runtime/SysUtils.h"
#include "readers/pictures/GifGraphic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  readers::TGIFGraphic graphic;
  try {
    graphic.ReadImageProperties(Data, static_cast<int64_t>(Size), 0);
    graphic.LoadFromMemory(Data, static_cast<int64_t>(Size));
  } catch (const plat::Exception&) {
  }
  return 0;
}
