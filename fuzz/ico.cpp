// Feeds arbitrary bytes to the icon reader.
#include <cstddef>
#include <cstdint>

#include "platform/pictures/Icon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::TReadOnlyMemoryStream stream(data, int64_t(size));
  plat::TIcon icon;
  try {
    icon.LoadFromStream(stream);
  } catch (const plat::Exception&) {
  }
  return 0;
}
