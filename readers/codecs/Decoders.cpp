#include "readers/codecs/Decoders.h"

#include <algorithm>

#include "readers/pictures/ReaderStrings.h"

namespace readers {

namespace {
constexpr int MaxGifCodeSize = 12;
}

void TGIFLZWDecoder::Decode(const uint8_t*& Source, uint8_t*& Dest, uint32_t PackedSize,
                            uint32_t UnpackedSize) {
  if (InitialCodeSize > MaxCodeSize) return;
  const uint8_t* in = Source;
  const uint8_t* const inEnd = in + PackedSize;
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

  while (remaining > 0) {
    while (bits < codeSize && in < inEnd) {
      bitBuffer |= static_cast<uint64_t>(*in++) << bits;
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
      if (freeCode == (1u << codeSize) && codeSize < MaxGifCodeSize) ++codeSize;
    }
    emit(code);
    oldCode = code;
  }
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
