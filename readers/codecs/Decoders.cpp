#include "readers/codecs/Decoders.h"

#include <algorithm>

#include "readers/pictures/ReaderStrings.h"

namespace readers {

namespace {
constexpr int MaxGifCodeSize = 12;
}

namespace {

// Contiguous input bytes.
struct TPlainBytes {
  const uint8_t* At;
  const uint8_t* End;
  bool Next(uint8_t& Byte) {
    if (At == End) return false;
    Byte = *At++;
    return true;
  }
};

// The bytes of a chain of GIF data sub-blocks: a size byte, that many bytes, and so on. A size
// byte 0, the end of the data, or a block that would reach past it ends the chain.
struct TSubBlockBytes {
  const uint8_t* At;
  const uint8_t* End;
  const uint8_t* BlockEnd = At;
  bool Next(uint8_t& Byte) {
    if (At == BlockEnd) {
      if (At == End || *At == 0 || End - At - 1 < *At) return false;
      BlockEnd = At + 1 + *At;
      ++At;
    }
    Byte = *At++;
    return true;
  }
};

}  // namespace

template <typename Input>
void TGIFLZWDecoder::Expand(Input& In, uint8_t* Dest, uint32_t UnpackedSize) {
  Written_ = 0;
  if (InitialCodeSize > MaxCodeSize) return;
  uint8_t* out = Dest;
  uint64_t remaining = UnpackedSize;

  const uint32_t clearCode = 1u << InitialCodeSize;
  const uint32_t endCode = clearCode + 1;
  for (uint32_t i = 0; i < clearCode && i < TableSize; ++i) {
    Prefix[i] = 0;
    Suffix[i] = FirstByte[i] = static_cast<uint8_t>(i);
    Length[i] = 1;
  }
  int codeSize = InitialCodeSize + 1;
  uint32_t freeCode = clearCode + 2;
  uint32_t oldCode = 0;
  bool haveOld = false;
  uint64_t bitBuffer = 0;
  int bits = 0;

  // Writes the string of a code, cut to the bytes still wanted.
  auto emit = [&](uint32_t code) {
    const uint32_t length = Length[code];
    const uint32_t count = static_cast<uint32_t>(std::min<uint64_t>(length, remaining));
    for (uint32_t skip = length - count; skip > 0; --skip) code = Prefix[code];
    for (uint32_t k = count; k > 0; --k) {
      out[k - 1] = Suffix[code];
      code = Prefix[code];
    }
    out += count;
    remaining -= count;
  };

  uint8_t byte = 0;
  while (remaining > 0) {
    while (bits < codeSize && In.Next(byte)) {
      bitBuffer |= static_cast<uint64_t>(byte) << bits;
      bits += 8;
    }
    if (bits < codeSize) break;  // a trailing partial code is never decoded
    const uint32_t code = static_cast<uint32_t>(bitBuffer & ((1u << codeSize) - 1));
    bitBuffer >>= codeSize;
    bits -= codeSize;

    if (code == clearCode) {
      codeSize = InitialCodeSize + 1;
      freeCode = clearCode + 2;
      haveOld = false;
      continue;
    }
    if (code == endCode) break;
    if (!haveOld) {
      // The first code after a clear or at the start must be a root.
      if (code >= clearCode) break;
      emit(code);
      oldCode = code;
      haveOld = true;
      continue;
    }
    if (code > freeCode || (code == freeCode && freeCode >= TableSize)) break;
    const bool defining = code == freeCode;
    if (freeCode < TableSize) {
      // The new entry is the old string plus the first byte of the current one; for the code
      // being defined right now that first byte is the old string's own.
      Prefix[freeCode] = static_cast<uint16_t>(oldCode);
      Suffix[freeCode] = defining ? FirstByte[oldCode] : FirstByte[code];
      FirstByte[freeCode] = FirstByte[oldCode];
      Length[freeCode] = static_cast<uint16_t>(Length[oldCode] + 1);
      ++freeCode;
      // Codes are as wide as the next free code needs. With a minimum code size of 0 or 1 the
      // first free code is already at the limit, so the width grows at or past it, not at it.
      while (freeCode >= (1u << codeSize) && codeSize < MaxGifCodeSize) ++codeSize;
    }
    emit(code);
    oldCode = code;
  }
  Written_ = static_cast<uint32_t>(out - Dest);
}

void TGIFLZWDecoder::Decode(const uint8_t*& Source, uint8_t*& Dest, uint32_t PackedSize,
                            uint32_t UnpackedSize) {
  TPlainBytes input{Source, Source + PackedSize};
  Expand(input, Dest, UnpackedSize);
}

void TGIFLZWDecoder::DecodeSubBlocks(const uint8_t* Blocks, const uint8_t* End, uint8_t* Dest,
                                     uint32_t UnpackedSize) {
  TSubBlockBytes input{Blocks, End};
  Expand(input, Dest, UnpackedSize);
}

TLZ77Decoder::~TLZ77Decoder() {
  if (Initialized) inflateEnd(&Stream);
}

void TLZ77Decoder::DecodeInit() {
  if (Initialized) inflateEnd(&Stream);
  Stream = z_stream{};
  Initialized = false;
  ZLibResult_ = inflateInit(&Stream);
  if (ZLibResult_ < 0) throw EGraphicCompression(std::string(gesLZ77Error));
  Initialized = true;
}

void TLZ77Decoder::Decode(const uint8_t*& Source, uint8_t*& Dest, uint32_t PackedSize,
                          uint32_t UnpackedSize) {
  if (!Initialized) return;
  Stream.next_in = const_cast<Bytef*>(Source);
  Stream.avail_in = PackedSize;
  if (AutoReset) ZLibResult_ = inflateReset(&Stream);
  // After the stream end or an error nothing more is inflated unless the stream is reset.
  if (ZLibResult_ != Z_OK) return;
  Stream.next_out = Dest;
  Stream.avail_out = UnpackedSize;
  ZLibResult_ = inflate(&Stream, FlushMode);
  Source = Stream.next_in;
  Dest = Stream.next_out;
}

void TLZ77Decoder::DecodeEnd() {
  if (!Initialized) return;
  Initialized = false;
  if (inflateEnd(&Stream) < 0) throw EGraphicCompression(std::string(gesLZ77Error));
}

}  // namespace readers
