// A small GIF LZW encoder for the tests: plain streams, streams that keep sending 12-bit codes
// once the table is full (no clear code), and hand-made code sequences. Code widths come from
// the format's rule, not from the decoder.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace readers::testing {

// Packs codes least significant bit first, each with its own width.
class TCodeWriter {
 public:
  void Put(uint32_t Code, int Width) {
    buffer_ |= uint64_t{Code} << bits_;
    bits_ += Width;
    while (bits_ >= 8) {
      bytes_.push_back(static_cast<uint8_t>(buffer_));
      buffer_ >>= 8;
      bits_ -= 8;
    }
  }
  std::vector<uint8_t> Finish() {
    if (bits_ > 0) bytes_.push_back(static_cast<uint8_t>(buffer_));
    bits_ = 0;
    buffer_ = 0;
    return std::move(bytes_);
  }

 private:
  std::vector<uint8_t> bytes_;
  uint64_t buffer_ = 0;
  int bits_ = 0;
};

// The width of the K-th code after a clear (K from 0), from the rule of the format: each code
// after the first defines the next table entry, and once that makes the next free code reach
// 2^width, the codes after it are one bit wider, up to 12.
inline int CodeWidth(int MinCodeSize, uint64_t K) {
  const int initial = MinCodeSize + 1;
  if (K < 2) return initial;
  const uint64_t nextFree = (uint64_t{1} << MinCodeSize) + 2 + (K - 1);
  int width = initial;
  while (width < 12 && nextFree >= (uint64_t{1} << width)) ++width;
  return width;
}

inline std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& Indices, int MinCodeSize,
                                      bool ClearWhenFull) {
  const uint32_t clear = 1u << MinCodeSize, end = clear + 1;
  std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
  uint32_t next = clear + 2;
  uint64_t sent = 0;  // codes since the last clear
  TCodeWriter writer;
  writer.Put(clear, CodeWidth(MinCodeSize, 0));
  // Every emitted code defines one entry (while there is room).
  auto emitted = [&](uint32_t Code, uint32_t Prefix, uint8_t Byte, bool Define) {
    writer.Put(Code, CodeWidth(MinCodeSize, sent++));
    if (next < 4096) {
      if (Define) table[{Prefix, Byte}] = next;
      ++next;
    } else if (ClearWhenFull && Define) {
      writer.Put(clear, CodeWidth(MinCodeSize, sent));
      table.clear();
      next = clear + 2;
      sent = 0;
    }
  };
  if (!Indices.empty()) {
    uint32_t current = Indices[0];
    for (size_t i = 1; i < Indices.size(); ++i) {
      const uint8_t byte = Indices[i];
      // A string is only extended into an entry the next code is wide enough to name (with 1-bit
      // roots, entry 4 right after the first code is not).
      auto found = table.find({current, byte});
      if (found != table.end() && found->second < (1u << CodeWidth(MinCodeSize, sent))) {
        current = found->second;
        continue;
      }
      emitted(current, current, byte, true);
      current = byte;
    }
    emitted(current, 0, 0, false);
  }
  writer.Put(end, CodeWidth(MinCodeSize, sent));
  return writer.Finish();
}

}  // namespace readers::testing
