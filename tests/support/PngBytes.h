// PNG through libpng, the tests' encoder and decoder that owe nothing to the program's readers.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// An 8-bit RGBA PNG of w x h straight 0xAARRGGBB pixels, row by row.
inline std::string PngBytes(int w, int h, const std::vector<uint32_t>& argb) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t length) {
        static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), length);
      },
      nullptr);
  png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGBA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(size_t(w) * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t p = argb[size_t(y) * size_t(w) + size_t(x)];
      row[size_t(4 * x)] = uint8_t(p >> 16), row[size_t(4 * x + 1)] = uint8_t(p >> 8);
      row[size_t(4 * x + 2)] = uint8_t(p), row[size_t(4 * x + 3)] = uint8_t(p >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A PNG's pixels as straight 0xAARRGGBB values, row by row; empty when libpng cannot read it.
struct PngPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;
};
inline PngPicture ReadPng(const std::string& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
  image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB
  PngPicture picture{int(image.width), int(image.height), {}};
  picture.argb.resize(size_t(image.width) * image.height);
  if (!png_image_finish_read(&image, nullptr, picture.argb.data(), 0, nullptr)) return {};
  return picture;
}

}  // namespace test_support
