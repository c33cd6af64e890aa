// JPEG pictures checked against libjpeg called directly.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "LibjpegOracle.h"
#include "PictureTestUtil.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Jpeg.h"
#include "platform/runtime/Files.h"
#include "support/LargestAllocation.h"

using namespace plat;
using namespace pictest;

namespace {

// The oracle: libjpeg with its default decoding settings. Errors fail the test.
struct OracleImage {
  int width = 0, height = 0, components = 0;
  std::vector<uint8_t> samples;
};

struct OracleError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OracleExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<OracleError*>(cinfo->err)->jump, 1);
}

bool OracleDecode(const std::string& data, J_COLOR_SPACE space, int scaleDenominator,
                  OracleImage* out) {
  jpeg_decompress_struct cinfo{};
  OracleError error;
  cinfo.err = jpeg_std_error(&error.pub);
  error.pub.error_exit = OracleExit;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()), data.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = space;
  cinfo.scale_num = 1;
  cinfo.scale_denom = unsigned(scaleDenominator);
  jpeg_start_decompress(&cinfo);
  out->width = int(cinfo.output_width);
  out->height = int(cinfo.output_height);
  out->components = cinfo.output_components;
  out->samples.resize(size_t(out->width) * size_t(out->height) * size_t(out->components));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out->samples.data() +
                   size_t(cinfo.output_scanline) * size_t(out->width) * size_t(out->components);
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// A smooth 32-bit picture with varying alpha (which a JPEG must ignore).
TBitmap& Gradient(TBitmap& bitmap, int width, int height) {
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(bitmap.ScanLine(y));
    for (int x = 0; x < width; ++x) {
      row[x] = uint32_t((x * 7 + y) & 0xFF) << 24 | uint32_t(x * 255 / width) << 16 |
               uint32_t(y * 255 / height) << 8 | uint32_t((x + y) * 127 / (width + height));
    }
  }
  return bitmap;
}

void LoadJpeg(TJPEGImage& image, const std::string& data) {
  TReadOnlyMemoryStream stream(data.data(), int64_t(data.size()));
  image.LoadFromStream(stream);
}

// Our decoded picture equals libjpeg's RGB output sample by sample.
void ExpectMatchesOracle(const TBitmap& bitmap, const OracleImage& oracle) {
  ASSERT_EQ(bitmap.Width(), oracle.width);
  ASSERT_EQ(bitmap.Height(), oracle.height);
  for (int y = 0; y < oracle.height; ++y) {
    for (int x = 0; x < oracle.width; ++x) {
      const uint8_t* s = oracle.samples.data() + (size_t(y) * size_t(oracle.width) + size_t(x)) * 3;
      const uint32_t want = 0xFF000000u | uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2];
      ASSERT_EQ(bitmap.PixelARGB(x, y), want) << x << "," << y;
    }
  }
}

}  // namespace

TEST(Jpeg, QualityHundredRoundTripThroughFile) {
  TBitmap source;
  Gradient(source, 37, 21);
  TJPEGImage jpeg;
  jpeg.Assign(source);
  EXPECT_EQ(jpeg.Width(), 37);
  jpeg.SetCompressionQuality(100);
  jpeg.Compress();
  const std::string folder = WorkFolder();
  const std::string path = JoinPath(folder, "round-trip.jpg");
  jpeg.SaveToFile(path);

  const std::string data = ReadFileBytes(path, 1 << 20);
  EXPECT_EQ(data, jpeg.CompressedData());
  OracleImage oracle;
  ASSERT_TRUE(OracleDecode(data, JCS_RGB, 1, &oracle));
  // Quality 100 with chroma subsampling stays close to the source on a smooth picture.
  for (int y = 0; y < 21; ++y) {
    for (int x = 0; x < 37; ++x) {
      const uint32_t c = source.PixelARGB(x, y);
      const uint8_t* s = oracle.samples.data() + (size_t(y) * 37 + size_t(x)) * 3;
      EXPECT_NEAR(s[0], (c >> 16) & 0xFF, 6);
      EXPECT_NEAR(s[1], (c >> 8) & 0xFF, 6);
      EXPECT_NEAR(s[2], c & 0xFF, 6);
    }
  }

  TJPEGImage loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.Bitmap().PixelFormat(), pf24bit);
  ExpectMatchesOracle(loaded.Bitmap(), oracle);
  DeleteFile(path);
}

TEST(Jpeg, ScaledGreyAndQuantisedDecoding) {
  TBitmap source;
  TJPEGImage writer;
  writer.Assign(Gradient(source, 40, 30));
  writer.Compress();
  const std::string data = writer.CompressedData();

  TJPEGImage jpeg;
  LoadJpeg(jpeg, data);
  for (auto [scale, denominator] : {std::pair{jsHalf, 2}, {jsQuarter, 4}, {jsEighth, 8}}) {
    jpeg.SetScale(scale);
    OracleImage oracle;
    ASSERT_TRUE(OracleDecode(data, JCS_RGB, denominator, &oracle));
    EXPECT_EQ(jpeg.Width(), (40 + denominator - 1) / denominator);
    ExpectMatchesOracle(jpeg.Bitmap(), oracle);
  }
  jpeg.SetScale(jsFullSize);

  jpeg.SetGrayscale(true);
  OracleImage grey;
  ASSERT_TRUE(OracleDecode(data, JCS_GRAYSCALE, 1, &grey));
  EXPECT_EQ(jpeg.Bitmap().PixelFormat(), pf8bit);
  for (int i = 0; i < 40 * 30; ++i) {
    ASSERT_EQ(jpeg.Bitmap().ScanLine(i / 40)[i % 40], grey.samples[size_t(i)]) << i;
  }
  jpeg.SetGrayscale(false);

  jpeg.SetPixelFormat(jf8Bit);
  EXPECT_EQ(jpeg.Bitmap().PixelFormat(), pf8bit);
  EXPECT_LE(jpeg.Bitmap().Palette().Count(), 256);
  EXPECT_GT(jpeg.Bitmap().Palette().Count(), 16);
}

TEST(Jpeg, GreyAndCmykFiles) {
  std::vector<uint8_t> greySamples(16 * 8);
  for (size_t i = 0; i < greySamples.size(); ++i) greySamples[i] = uint8_t(i * 2);
  const std::string greyFile =
      picture_test::LibjpegEncode(greySamples, 16, 8, JCS_GRAYSCALE, 1, 90);
  TJPEGImage grey;
  LoadJpeg(grey, greyFile);
  OracleImage greyOracle;
  ASSERT_TRUE(OracleDecode(greyFile, JCS_GRAYSCALE, 1, &greyOracle));
  EXPECT_EQ(grey.Bitmap().PixelFormat(), pf8bit);
  for (int i = 0; i < 16 * 8; ++i) {
    const uint32_t v = greyOracle.samples[size_t(i)];
    ASSERT_EQ(grey.Bitmap().PixelARGB(i % 16, i / 16), 0xFF000000u | v * 0x010101u) << i;
  }

  // libjpeg marks CMYK files as Adobe's, whose inks are stored inverted: R = C * K / 255.
  std::vector<uint8_t> cmyk(8 * 8 * 4);
  for (size_t i = 0; i < cmyk.size(); ++i) cmyk[i] = uint8_t(40 + (i * 37) % 200);
  const std::string cmykFile = picture_test::LibjpegEncode(cmyk, 8, 8, JCS_CMYK, 4, 90);
  TJPEGImage colour;
  LoadJpeg(colour, cmykFile);
  OracleImage inks;
  ASSERT_TRUE(OracleDecode(cmykFile, JCS_CMYK, 1, &inks));
  for (int i = 0; i < 64; ++i) {
    const uint8_t* s = inks.samples.data() + size_t(i) * 4;
    auto mul = [](int a, int b) { return uint32_t((a * b + 127) / 255); };
    const uint32_t want =
        0xFF000000u | mul(s[0], s[3]) << 16 | mul(s[1], s[3]) << 8 | mul(s[2], s[3]);
    ASSERT_EQ(colour.Bitmap().PixelARGB(i % 8, i / 8), want) << i;
  }
}

TEST(Jpeg, BadDataKeepsThePicture) {
  TBitmap source;
  TJPEGImage jpeg;
  jpeg.Assign(Gradient(source, 16, 16));
  jpeg.Compress();
  const std::string good = jpeg.CompressedData();
  LoadJpeg(jpeg, good);
  const std::vector<uint32_t> before = Pixels(jpeg.Bitmap());

  std::string wrongMarker = good;
  wrongMarker[1] = 0x00;  // no start-of-image marker
  std::string badFrame = good;
  const size_t sof = good.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  badFrame[sof + 9] = 7;  // seven components
  std::string wide = good;
  wide[sof + 7] = char(0x9C), wide[sof + 8] = char(0x40);  // 40000 pixels wide
  const size_t scan = good.find("\xFF\xDA");
  ASSERT_NE(scan, std::string::npos);
  const std::string cutInData = good.substr(0, scan + 20);  // libjpeg would make up the rest
  for (const std::string& bad : {std::string(), wrongMarker, good.substr(0, 100), cutInData,
                                 badFrame, wide, std::string("\xFF\xD8\xFF\xD9", 4)}) {
    EXPECT_THROW(LoadJpeg(jpeg, bad), EInvalidGraphic);
    EXPECT_EQ(Pixels(jpeg.Bitmap()), before);
    EXPECT_EQ(jpeg.CompressedData(), good);
  }
  TJPEGImage empty;
  EXPECT_THROW(empty.Compress(), EInvalidGraphic);
}

// A few bytes may declare a picture their data runs out of long before: refused before its
// pixels are allocated, from memory and from a stream alike. Real pictures, flat ones included,
// always hold enough data.
TEST(Jpeg, AHugeSizeOverLittleDataIsRefusedBeforeItsPixels) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  const std::string flat = picture_test::LibjpegEncode(std::vector<uint8_t>(2000 * 1000, 0x80),
                                                       2000, 1000, JCS_GRAYSCALE, 1, 100);
  TJPEGImage jpeg;
  LoadJpeg(jpeg, flat);
  EXPECT_EQ(jpeg.Width(), 2000);

  std::string huge = flat;
  const size_t sof = huge.find("\xFF\xC0");
  const size_t scan = huge.find("\xFF\xDA");
  ASSERT_NE(sof, std::string::npos);
  ASSERT_NE(scan, std::string::npos);
  huge[sof + 5] = char(0x3E), huge[sof + 6] = char(0x80);  // 16000 high
  huge[sof + 7] = char(0x3E), huge[sof + 8] = char(0x80);  // 16000 wide
  huge.resize(scan + 200);
  test_support::LargestAllocation watch;
  EXPECT_THROW(LoadJpeg(jpeg, huge), EInvalidGraphic);
  TReadOnlyMemoryStream stream(huge.data(), int64_t(huge.size()));
  std::vector<uint32_t> pixels;
  EXPECT_THROW(jpeg.LoadFromStreamInto(stream,
                                       [&](int32_t width, int32_t height) {
                                         pixels.resize(size_t(width) * size_t(height));
                                         return pixels.data();
                                       }),
               EInvalidGraphic);
  EXPECT_LT(watch.PeakBytes(), 16u << 20);
}

TEST(Jpeg, DrawIsOpaqueAndAssignToBitmapCopies) {
  TBitmap source;
  TJPEGImage jpeg;
  jpeg.Assign(Gradient(source, 5, 4));
  jpeg.Compress();
  TJPEGImage loaded;
  LoadJpeg(loaded, jpeg.CompressedData());
  TBitmap copy;
  copy.Assign(loaded);
  EXPECT_EQ(copy.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixels(copy), Pixels(loaded.Bitmap()));
  for (uint32_t c : Pixels(copy)) EXPECT_EQ(c >> 24, 0xFFu);
}
