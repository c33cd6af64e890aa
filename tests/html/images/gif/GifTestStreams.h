// GIF byte streams made by the tests: a block-by-block builder with a small LZW encoder, and
// giflib (as an independent decoder and encoder) to check them against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<uint8_t>;
// Colours as 0xRRGGBB.
using Colors = std::vector<uint32_t>;

struct LzwOptions {
  int minCodeSize = 8;
  // Start again with a clear code whenever the table is full (encoders usually do); when
  // false the stream keeps going with 12-bit codes and a full table.
  bool clearWhenFull = true;
};

// LZW codes of indices as GIF packs them (least significant bit first), without sub-blocks.
Bytes EncodeLzw(const Bytes& indices, const LzwOptions& options = {});
// Splits data into sub-blocks of at most 255 bytes and adds the 0 terminator.
Bytes SubBlocks(const Bytes& data);

struct ImageBlock {
  int left = 0, top = 0, width = 0, height = 0;
  Bytes indices;      // width x height, in the order they are stored in the stream
  Colors localTable;  // empty: use the global table
  bool interlaced = false;
  LzwOptions lzw;
};

class GifBuilder {
 public:
  // Header and logical screen; an empty table means no global table. Tables are padded with
  // black to a power of two.
  GifBuilder(int width, int height, const Colors& globalTable,
             const std::string& signature = "GIF89a");

  GifBuilder& GraphicControl(int disposal, int delay, int transparentIndex = -1);
  GifBuilder& Netscape(const Bytes& firstSubBlock);
  GifBuilder& Comment(const std::string& text);
  GifBuilder& Image(const ImageBlock& image);
  // The image descriptor and table of image, followed by lzwData as it stands.
  GifBuilder& ImageWithData(const ImageBlock& image, const Bytes& lzwData);
  GifBuilder& Raw(const Bytes& bytes);
  GifBuilder& Trailer() { return Raw({0x3B}); }
  const Bytes& Data() const { return bytes_; }

 private:
  void Word(int value);
  void Table(const Colors& colors);

  Bytes bytes_;
};

// Every image of a GIF decoded by giflib.
struct OracleImage {
  int left, top, width, height;
  Bytes indices;  // in row order (giflib undoes interlacing)
};
// false when giflib refuses the stream.
bool DecodeWithGiflib(const Bytes& gif, std::vector<OracleImage>& images);
// A one-image GIF written by giflib's encoder (grey global table of 2^bits entries).
Bytes EncodeWithGiflib(int width, int height, int bits, const Bytes& indices);

// Deterministic pseudo-random indices below limit; runs of equal values keep the LZW table busy.
Bytes RandomIndices(size_t count, int limit, uint32_t seed);

}  // namespace giftest
