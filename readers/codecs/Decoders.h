// Folder readers/codecs: the LZW and deflate decoders, the PNG row filters and the colour manager
// that turns stored rows into bitmap rows.
//
// Decompressors of picture data: GIF's variable-width LZW and PNG's deflate stream (zlib).
#pragma once

#include <zlib.h>

#include <array>
#include <cstdint>

#include "platform/runtime/SysUtils.h"

namespace readers {

class EGraphicCompression : public plat::Exception {
 public:
  using Exception::Exception;
};

class TDecoder {
 public:
  virtual ~TDecoder() = default;
  // PackedSize bytes are available at Source; UnpackedSize bytes are wanted at Dest.
  virtual void Decode(const uint8_t*& Source, uint8_t*& Dest, uint32_t PackedSize,
                      uint32_t UnpackedSize) = 0;
  virtual void DecodeInit() {}
  virtual void DecodeEnd() {}
};

// Decodes one whole GIF image in one call. The caller's pointers are not moved. Decoding stops at
// an end code, at an invalid code, when the input runs out or when UnpackedSize bytes are out;
// bytes the data does not reach keep what the caller's buffer held.
class TGIFLZWDecoder : public TDecoder {
 public:
  static constexpr int MaxCodeSize = 11;  // larger minimum code sizes decode nothing

  explicit TGIFLZWDecoder(uint8_t InitialCodeSize) : InitialCodeSize(InitialCodeSize) {}
  void Decode(const uint8_t*& Source, uint8_t*& Dest, uint32_t PackedSize,
              uint32_t UnpackedSize) override;
  // As Decode, reading the codes straight out of a GIF image's data sub-blocks, which start at
  // Blocks: a size byte, that many bytes, and so on up to a size byte 0. The end of the data, or a
  // block that would reach past End, also ends them.
  void DecodeSubBlocks(const uint8_t* Blocks, const uint8_t* End, uint8_t* Dest,
                       uint32_t UnpackedSize);
  // Bytes the last decode wrote.
  uint32_t Written() const { return Written_; }

 private:
  static constexpr int TableSize = 4096;
  template <typename Input>
  void Expand(Input& In, uint8_t* Dest, uint32_t UnpackedSize);

  uint8_t InitialCodeSize;
  uint32_t Written_ = 0;
  std::array<uint16_t, TableSize> Prefix{};
  std::array<uint16_t, TableSize> Length{};  // bytes in the string of each code
  std::array<uint8_t, TableSize> Suffix{};
  std::array<uint8_t, TableSize> FirstByte{};
};

// Inflates a zlib stream that may arrive in any number of pieces.
class TLZ77Decoder : public TDecoder {
 public:
  TLZ77Decoder(int FlushMode, bool AutoReset) : FlushMode(FlushMode), AutoReset(AutoReset) {}
  ~TLZ77Decoder() override;
  TLZ77Decoder(const TLZ77Decoder&) = delete;
  TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

  void Decode(const uint8_t*& Source, uint8_t*& Dest, uint32_t PackedSize,
              uint32_t UnpackedSize) override;
  void DecodeInit() override;
  void DecodeEnd() override;

  int ZLibResult() const { return ZLibResult_; }
  uint32_t AvailableInput() const { return Stream.avail_in; }
  uint32_t AvailableOutput() const { return Stream.avail_out; }

 private:
  z_stream Stream{};
  int ZLibResult_ = Z_OK;
  int FlushMode;
  bool AutoReset;
  bool Initialized = false;
};

}  // namespace readers
