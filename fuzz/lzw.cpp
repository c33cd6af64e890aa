// The GIF LZW decoder on raw code streams: a first byte whose low 7 bits are the code size and
// whose top bit asks for the codes in GIF sub-blocks, the wanted output size (two bytes,
// little-endian), then the data. The output must stay inside its buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "readers/codecs/Decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 3) return 0;
  const uint32_t wanted = Data[1] | Data[2] << 8;
  std::vector<uint8_t> output(wanted);
  const uint8_t* source = Data + 3;
  uint8_t* dest = output.data();
  readers::TGIFLZWDecoder decoder(Data[0] & 0x7F);
  if (Data[0] & 0x80)
    decoder.DecodeSubBlocks(source, Data + Size, dest, wanted);
  else
    decoder.Decode(source, dest, static_cast<uint32_t>(Size - 3), wanted);
  if (decoder.Written() > wanted) __builtin_trap();
  return 0;
}
