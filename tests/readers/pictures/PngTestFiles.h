// PNG files for the tests: written by libpng, read back by libpng into raw samples, and put
// together chunk by chunk for the cases libpng refuses to write.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace readers::testing {

struct PngSpec {
  uint32_t Width = 1, Height = 1;
  int ColorType = 0, Depth = 8;
  bool Interlaced = false;
  int Filter = -1;  // 0..4 forces one filter; -1 lets libpng choose per row
  std::optional<double> Gamma{};
  // tRNS: gray and RGB name the colour of pixel (0, 0); palettes get random alphas (some 0, some
  // partial) for the first half of their entries.
  bool ColorKey = false;
  bool Background = false;
  int PaletteSize = 0;  // entries of the PLTE chunk for colour type 3 (0: 2^depth)
  std::vector<std::pair<std::string, std::string>> Texts{};
  size_t CompressionBuffer = 0;  // small values split the image data into many chunks
  uint32_t Seed = 1;
};

// Raw samples as libpng delivers them: one value per sample (16-bit values whole), rows of
// Width * Channels values, after de-interlacing.
struct PngSamples {
  uint32_t Width = 0, Height = 0;
  int Channels = 0;
  std::vector<std::vector<uint16_t>> Rows;
  std::vector<uint8_t> Palette;       // red, green, blue triples
  std::vector<uint16_t> ColorKey;     // tRNS samples of gray or RGB pictures
  std::vector<uint8_t> PaletteAlpha;  // tRNS of palette pictures
  std::optional<double> Gamma{};
};

// Random pixels (with runs, so every filter gets used) written by libpng.
std::vector<uint8_t> WritePng(const PngSpec& Recipe);
PngSamples ReadPngSamples(const std::vector<uint8_t>& File);

// A chunk with its length and CRC.
std::vector<uint8_t> PngChunk(const char* Type, const std::vector<uint8_t>& Data);
std::vector<uint8_t> PngHeaderData(uint32_t Width, uint32_t Height, int Depth, int ColorType,
                                   int Interlace, int Compression = 0);
// Signature, header, the given chunks in order and an end chunk.
std::vector<uint8_t> AssemblePng(const std::vector<uint8_t>& HeaderData,
                                 const std::vector<std::vector<uint8_t>>& Chunks,
                                 bool WithEnd = true);
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& Raw);

// Offsets of the chunks of a file: (offset of the length field, type).
std::vector<std::pair<size_t, std::string>> PngChunks(const std::vector<uint8_t>& File);
// Recomputes the CRC of the chunk starting at Offset (after the caller changed it).
void FixPngCrc(std::vector<uint8_t>& File, size_t Offset);

}  // namespace readers::testing
