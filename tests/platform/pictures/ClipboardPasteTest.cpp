// Pictures other programs offer on the clipboard, under any name: each is read as the kind its
// bytes show, by the program's own reader or by the desktop's decoder of that kind once the size
// it declares is weighed against the densest data of that kind.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Clipboard.h"
#include "platform/pictures/Jpeg.h"
#include "platform/pictures/Picture.h"
#include "platform/windows/TestSeams.h"
#include "support/LargestAllocation.h"

using namespace plat;

namespace {

// A grey picture as the program's JPEG class writes it.
std::string JpegBytes(int width, int height) {
  TBitmap grey;
  grey.SetPixelFormat(pf24bit);
  grey.SetSize(width, height);
  grey.Canvas().Brush().SetColor(0x808080);
  grey.Canvas().FillRect(BoundsRect(0, 0, width, height));
  TJPEGImage jpeg;
  jpeg.Assign(grey);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  return {static_cast<const char*>(stream.Memory()), size_t(stream.Size())};
}

// The same JPEG declaring another size.
std::string DeclaringSize(std::string jpeg, int width, int height) {
  const size_t frame = jpeg.find("\xFF\xC0");
  EXPECT_NE(frame, std::string::npos);
  jpeg[frame + 5] = char(height >> 8), jpeg[frame + 6] = char(height & 0xFF);
  jpeg[frame + 7] = char(width >> 8), jpeg[frame + 8] = char(width & 0xFF);
  return jpeg;
}

class ClipboardPaste : public testing::Test {
 protected:
  void SetUp() override { RegisterDefaultPictureFormats(); }
  // The picture of the clipboard once another program offers Bytes under Type; empty with the
  // reason in Refusal when it is refused.
  std::unique_ptr<TBitmap> Paste(const std::string& type, const std::string& bytes) {
    refusal.clear();
    PutClipboardData(type, bytes);
    EXPECT_TRUE(Clipboard().HasFormat(CF_BITMAP)) << type;
    try {
      return Clipboard().GetBitmap();
    } catch (const Exception& e) {
      refusal = e.Message();
    }
    return nullptr;
  }
  // Refused with the reason given, having cost at most a few megabytes.
  void ExpectRefusedCheaply(const std::string& type, const std::string& bytes,
                            const std::string& reason) {
    SCOPED_TRACE(type + " " + bytes.substr(0, 40));
    test_support::LargestAllocation watch;
    EXPECT_EQ(Paste(type, bytes), nullptr);
    EXPECT_EQ(refusal.substr(0, reason.size()), reason);
    EXPECT_LT(watch.PeakBytes(), 16u << 20);
  }
  std::string refusal;
};

TEST_F(ClipboardPaste, APictureIsReadAsTheKindItsBytesShowWhateverItsName) {
  const std::string jpeg = JpegBytes(8, 6);
  for (const char* type :
       {"image/jpeg", "image/ico", "image/cur", "image/x-anything", "IMAGE/PBM"}) {
    SCOPED_TRACE(type);
    const std::unique_ptr<TBitmap> pasted = Paste(type, jpeg);
    ASSERT_NE(pasted, nullptr) << refusal;
    EXPECT_EQ(pasted->Width(), 8);
    EXPECT_EQ(pasted->Height(), 6);
  }
  // Bits set are black, the first pixel in the lowest bit.
  const std::string xbm =
      "#define m_width 16\n#define m_height 2\nstatic char m_bits[] = {0xff,0x00,0x0f,0xf0};\n";
  for (const char* type : {"image/x-xbitmap", "image/xbm", "image/png", "image/ico"}) {
    SCOPED_TRACE(type);
    const std::unique_ptr<TBitmap> pasted = Paste(type, xbm);
    ASSERT_NE(pasted, nullptr) << refusal;
    ASSERT_EQ(pasted->Width(), 16);
    ASSERT_EQ(pasted->Height(), 2);
    EXPECT_EQ(pasted->PixelARGB(7, 0), 0xFF000000u);
    EXPECT_EQ(pasted->PixelARGB(8, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pasted->PixelARGB(4, 1), 0xFFFFFFFFu);
    EXPECT_EQ(pasted->PixelARGB(12, 1), 0xFF000000u);
  }
  // Data of no kind the program knows is refused, whatever its name says.
  ExpectRefusedCheaply("image/ico", "not a picture", "Cannot load image");
  ExpectRefusedCheaply("image/x-xbitmap", "not a picture", "Cannot load image");
}

TEST_F(ClipboardPaste, AHugeSizeOverLittleDataIsRefusedUnderAnyName) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  const std::string huge = DeclaringSize(JpegBytes(8, 8), 4000, 4000);
  for (const char* type : {"image/jpg", "image/ico", "image/cur", "image/x-portable-pixmap"})
    ExpectRefusedCheaply(type, huge, "");
}

// Each kind only the desktop's decoders read holds its pixels in the densest form it has, or is
// refused before the decoder takes the memory of its size (and makes up the pixels it lacks).
TEST_F(ClipboardPaste, EachKindTheDesktopReadsIsWeighedByItsDensestForm) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  const std::string xbmHeader =
      "#define m_width 4000\n#define m_height 4000\nstatic char m_bits[] = {";
  ExpectRefusedCheaply("image/x-xbitmap", xbmHeader + "0xff};\n" + std::string(15000, ' '),
                       "The XBM picture declares 4000 x 4000 pixels, more than its");
  // Eight pixels in four characters hold their pixels (the decoder wants lines of some end).
  std::string dense = "#define m_width 64\n#define m_height 64\nstatic char m_bits[] = {";
  for (int row = 0; row < 64; ++row) dense += "0xff0xff0xff0xff0xff0xff0xff0xff\n";
  const std::unique_ptr<TBitmap> xbm = Paste("image/x-xbitmap", dense + "};");
  ASSERT_NE(xbm, nullptr) << refusal;
  EXPECT_EQ(xbm->PixelARGB(63, 63), 0xFF000000u);

  const struct {
    const char* type;
    std::string header, data, name;
  } kinds[] = {
      {"image/x-xpixmap", "/* XPM */\nstatic char *m[] = {\"4000 4000 1 1\",\"a c #000000\",\"",
       "a", "XPM"},
      {"image/x-portable-bitmap", "P1\n4000 4000\n", "0 1 ", "PBM"},
      {"image/x-portable-graymap", "P2\n2000 2000\n255\n", "0 ", "PGM"},
      {"image/x-portable-pixmap", "P3\n1000 1000\n255\n", "0 ", "PPM"},
      {"image/x-portable-bitmap", "P4\n4000 4000\n", "\x55", "PBM"},
      {"image/x-portable-graymap", "P5\n4000 4000\n255\n", "\x55", "PGM"},
      {"image/x-portable-pixmap", "P6\n2000 2000\n255\n", "\x55", "PPM"},
  };
  for (const auto& kind : kinds) {
    std::string data;
    while (data.size() < 300000) data += kind.data;
    ExpectRefusedCheaply(kind.type, kind.header + data, "The " + kind.name + " picture declares");
  }

  // Raw maps hold a byte a sample: one short of that is refused.
  const std::string grey = "P5\n100 100\n255\n";
  const std::unique_ptr<TBitmap> full =
      Paste("image/x-portable-graymap", grey + std::string(10000, 'A'));
  ASSERT_NE(full, nullptr) << refusal;
  EXPECT_EQ(full->PixelARGB(99, 99), 0xFF414141u);
  ExpectRefusedCheaply("image/x-portable-graymap", grey + std::string(9999 - grey.size(), 'A'),
                       "The PGM picture declares 100 x 100 pixels, more than its 9999 bytes hold");
}

}  // namespace
