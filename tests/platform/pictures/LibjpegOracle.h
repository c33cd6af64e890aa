// Writes JPEG files with libjpeg called directly, for the tests to read back.
#pragma once

#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace picture_test {

// Packed samples of `components` bytes a pixel in the given colour space.
inline std::string LibjpegEncode(const std::vector<uint8_t>& samples, int width, int height,
                                 J_COLOR_SPACE space, int components, int quality) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(samples.data()) +
                   size_t(cinfo.next_scanline) * size_t(width) * size_t(components);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string data(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return data;
}

}  // namespace picture_test
