// A small GIF LZW encoder for the tests: plain streams, streams that keep sending 12-bit codes
// once the table is full (no clear code), and hand-made code sequences.
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

inline std::vector<uint8_t> LzwEncode(const std::vector<uint8_t>& Indices, int MinCodeSize,
                                      bool ClearWhenFull) {
  const uint32_t clear = 1u << MinCodeSize, end = clear + 1;
  std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
  uint32_t next = clear + 2;
  int width = MinCodeSize + 1;
  TCodeWriter writer;
  writer.Put(clear, width);
  // Every emitted code defines one entry (while there is room); the width follows the decoder.
  auto emitted = [&](uint32_t Code, uint32_t Prefix, uint8_t Byte, bool Define) {
    writer.Put(Code, width);
    if (next < 4096) {
      if (Define) table[{Prefix, Byte}] = next;
      ++next;
      if (next > (1u << width) && width < 12) ++width;
    } else if (ClearWhenFull && Define) {
      writer.Put(clear, width);
      table.clear();
      next = clear + 2;
      width = MinCodeSize + 1;
    }
  };
  if (!Indices.empty()) {
    uint32_t current = Indices[0];
    for (size_t i = 1; i < Indices.size(); ++i) {
      const uint8_t byte = Indices[i];
      auto found = table.find({current, byte});
      if (found != table.end()) {
        current = found->second;
        continue;
      }
      emitted(current, current, byte, true);
      current = byte;
    }
    emitted(current, 0, 0, false);
  }
  writer.Put(end, width);
  return writer.Finish();
}

}  // namespace readers::testing
