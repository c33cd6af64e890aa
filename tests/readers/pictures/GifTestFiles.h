// GIF files for the tests: written by giflib, decoded by giflib, or put together byte by byte
// with the test's own LZW encoder for streams giflib never writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace readers::testing {

struct Rgb {
  uint8_t Red = 0, Green = 0, Blue = 0;
  bool operator==(const Rgb&) const = default;
};

struct GifRecipe {
  uint16_t Width = 1, Height = 1;
  int ColorCount = 2;  // a power of two
  bool Interlaced = false;
  bool LocalTable = false;  // the image's own table instead of the global one
  std::optional<uint8_t> TransparentIndex{};
  std::vector<std::string> Comments{};
  uint32_t Seed = 1;
};

struct GifPicture {
  std::vector<uint8_t> File;
  std::vector<uint8_t> Pixels;  // the indices written, row by row
  std::vector<Rgb> Colors;
};

GifPicture WriteGif(const GifRecipe& Recipe);

// giflib's first image: indices in display order, and its colour table.
struct GifDecoded {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Pixels;
  std::vector<Rgb> Colors;
};
GifDecoded ReadGifWithGiflib(const std::vector<uint8_t>& File);

// Assembles a file from parts; Blocks go between the screen and the image unchanged.
struct GifParts {
  std::string Signature = "GIF89a";
  uint16_t ScreenWidth = 1, ScreenHeight = 1;
  std::vector<Rgb> GlobalTable{};  // a power-of-two count, or empty
  std::vector<std::vector<uint8_t>> Blocks{};
  bool WithImage = true;
  uint16_t ImageWidth = 1, ImageHeight = 1;
  bool Interlaced = false;
  std::vector<Rgb> LocalTable{};
  uint8_t CodeSize = 2;
  std::vector<uint8_t> Data{};  // LZW codes, cut into sub-blocks here
  bool WithTrailer = true;
};
std::vector<uint8_t> AssembleGif(const GifParts& Parts);
// An extension block: "!", the label, the data in sub-blocks of at most 255 bytes, terminator.
std::vector<uint8_t> GifExtension(uint8_t Label, const std::vector<uint8_t>& Data);
std::vector<uint8_t> GraphicControl(bool Transparent, uint8_t Index);

}  // namespace readers::testing
