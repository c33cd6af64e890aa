// Compressing 32-bit rows from a callback must give the very bytes libjpeg writes for the same
// colours given as packed RGB, whatever the alpha.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/JpegCodec.h"

namespace {

std::string PackedRgbJpeg(const std::vector<uint32_t>& argb, int width, int height, int quality) {
  std::vector<uint8_t> rgb;
  for (const uint32_t p : argb) {
    rgb.push_back(uint8_t(p >> 16));
    rgb.push_back(uint8_t(p >> 8));
    rgb.push_back(uint8_t(p));
  }
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = rgb.data() + size_t(cinfo.next_scanline) * size_t(width) * 3;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string data(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return data;
}

// Noise with random alpha, at a size that is no multiple of the 16 x 16 block.
std::vector<uint32_t> NoisyPicture(int width, int height) {
  std::mt19937 random(11);
  std::vector<uint32_t> argb(size_t(width) * size_t(height));
  for (uint32_t& p : argb) p = uint32_t(random());
  return argb;
}

TEST(JpegRows, MatchPackedRgbByteForByte) {
  constexpr int width = 37, height = 23;
  const std::vector<uint32_t> argb = NoisyPicture(width, height);
  std::vector<int> asked;
  for (const int quality : {100, 75}) {
    asked.clear();
    const std::string encoded = plat::EncodeJpegArgbRows(width, height, quality, [&](int32_t y) {
      asked.push_back(y);
      return &argb[size_t(y) * width];
    });
    EXPECT_EQ(encoded, PackedRgbJpeg(argb, width, height, quality)) << quality;
    ASSERT_EQ(asked.size(), size_t(height));
    for (int y = 0; y < height; ++y) EXPECT_EQ(asked[size_t(y)], y);
  }
}

TEST(JpegRows, BitmapEncoderGivesTheSameBytes) {
  constexpr int width = 37, height = 23;
  const std::vector<uint32_t> argb = NoisyPicture(width, height);
  plat::TBitmap bitmap;
  bitmap.SetPixelFormat(plat::pf32bit);
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y)
    std::memcpy(bitmap.ScanLine(y), &argb[size_t(y) * width], size_t(width) * 4);
  EXPECT_EQ(plat::EncodeJpeg(bitmap, 100), PackedRgbJpeg(argb, width, height, 100));
}

TEST(JpegRows, EmptyOrOversizedPicturesAreRefused) {
  const auto never = [](int32_t) -> const uint32_t* {
    ADD_FAILURE() << "no row may be asked for";
    return nullptr;
  };
  EXPECT_THROW(plat::EncodeJpegArgbRows(0, 5, 100, never), plat::EInvalidGraphic);
  EXPECT_THROW(plat::EncodeJpegArgbRows(5, 0, 100, never), plat::EInvalidGraphic);
  EXPECT_THROW(plat::EncodeJpegArgbRows(32768, 1, 100, never), plat::EInvalidGraphic);
}

}  // namespace
