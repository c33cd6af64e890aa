// Compressing 32-bit rows from a callback must give the very bytes libjpeg writes for the same
// colours given as packed RGB, whatever the alpha; decoding into 32-bit pixels must give the
// colours of the 24-bit and grey decoding.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "LibjpegOracle.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/JpegCodec.h"

namespace {

using picture_test::LibjpegEncode;

std::string PackedRgbJpeg(const std::vector<uint32_t>& argb, int width, int height, int quality) {
  std::vector<uint8_t> rgb;
  for (const uint32_t p : argb) {
    rgb.push_back(uint8_t(p >> 16));
    rgb.push_back(uint8_t(p >> 8));
    rgb.push_back(uint8_t(p));
  }
  return LibjpegEncode(rgb, width, height, JCS_RGB, 3, quality);
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

std::vector<uint32_t> DecodedArgb(const std::string& data) {
  std::vector<uint32_t> pixels;
  plat::DecodeJpegArgb(data, [&](int32_t width, int32_t height) {
    pixels.assign(size_t(width) * size_t(height), 0);
    return pixels.data();
  });
  return pixels;
}

std::vector<uint32_t> BitmapArgb(const plat::TBitmap& bitmap) {
  std::vector<uint32_t> pixels(size_t(bitmap.Width()) * size_t(bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y)
    bitmap.ReadRowARGB(y, &pixels[size_t(y) * size_t(bitmap.Width())]);
  for (uint32_t& p : pixels) p |= 0xFF000000u;
  return pixels;
}

TEST(JpegArgbDecoding, SameColoursAsBitmapDecoding) {
  constexpr int width = 37, height = 23;
  std::mt19937 random(5);
  std::vector<uint8_t> samples(size_t(width) * height * 4);
  for (uint8_t& s : samples) s = uint8_t(random());
  const struct {
    J_COLOR_SPACE space;
    int components;
  } kinds[] = {{JCS_RGB, 3}, {JCS_GRAYSCALE, 1}, {JCS_CMYK, 4}};
  for (const auto& kind : kinds) {
    const std::string data = LibjpegEncode(samples, width, height, kind.space, kind.components, 90);
    const std::vector<uint32_t> pixels = DecodedArgb(data);
    ASSERT_EQ(pixels.size(), size_t(width) * height) << kind.components;
    EXPECT_EQ(pixels, BitmapArgb(*plat::DecodeJpeg(data, {}))) << kind.components;
    for (const uint32_t p : pixels) ASSERT_EQ(p >> 24, 0xFFu);
  }
}

TEST(JpegArgbDecoding, BadDataThrowsAndRefusalPasses) {
  const std::string data =
      LibjpegEncode(std::vector<uint8_t>(16 * 16 * 3, 90), 16, 16, JCS_RGB, 3, 90);
  EXPECT_THROW(DecodedArgb(data.substr(0, data.size() / 2)), plat::EInvalidGraphic);
  EXPECT_THROW(DecodedArgb("not a picture"), plat::EInvalidGraphic);
  struct Refused {};
  EXPECT_THROW(plat::DecodeJpegArgb(data, [](int32_t, int32_t) -> uint32_t* { throw Refused{}; }),
               Refused);
}

}  // namespace
