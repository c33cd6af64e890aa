// PNG files from outside: every input ends in a picture or a clear error.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/runtime/SysUtils.h"
#include "readers/pictures/PngGraphic.h"

namespace {

uint32_t BigEndian32(const uint8_t* Bytes) {
  return uint32_t(Bytes[0]) << 24 | uint32_t(Bytes[1]) << 16 | uint32_t(Bytes[2]) << 8 | Bytes[3];
}

// Mutated chunks almost never keep a matching CRC, which stops the reader at the first one;
// a copy with every CRC recomputed lets the mutations reach the image data.
std::vector<uint8_t> WithCorrectCrcs(const uint8_t* Data, size_t Size) {
  std::vector<uint8_t> file(Data, Data + Size);
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint64_t length = BigEndian32(&file[at]);
    if (length > file.size() - at - 12) break;
    const uint32_t crc =
        static_cast<uint32_t>(crc32(0, &file[at + 4], static_cast<uInt>(length + 4)));
    for (int i = 0; i < 4; ++i)
      file[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
  return file;
}

void Load(const uint8_t* Data, size_t Size) {
  readers::TPNGGraphic graphic;
  try {
    graphic.ReadImageProperties(Data, static_cast<int64_t>(Size), 0);
    graphic.LoadFromMemory(Data, static_cast<int64_t>(Size));
  } catch (const plat::Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  Load(Data, Size);
  const std::vector<uint8_t> fixed = WithCorrectCrcs(Data, Size);
  Load(fixed.data(), fixed.size());
  return 0;
}
