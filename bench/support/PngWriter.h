// Test pictures for the benchmarks: 8-bit RGBA PNG files written by libpng.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

namespace bench {

// Rows come from Row(y), Width * 4 bytes of red, green, blue, alpha each. Level is zlib's
// compression level, or -1 for its default.
inline void WriteRgbaPng(const std::string& Path, int Width, int Height, int Level,
                         const std::function<const uint8_t*(int)>& Row) {
  FILE* out = std::fopen(Path.c_str(), "wb");
  if (!out) throw std::runtime_error("cannot write " + Path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
    throw std::runtime_error("libpng could not write " + Path);
  }
  png_init_io(png, out);
  png_set_IHDR(png, info, Width, Height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (Level >= 0) png_set_compression_level(png, Level);
  png_write_info(png, info);
  for (int y = 0; y < Height; ++y) png_write_row(png, Row(y));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(out);
}

}  // namespace bench
