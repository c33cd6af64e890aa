// 32-bit BMP files and the "Data" block: exact bytes, round trips and hostile input.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/pictures/Bitmap.h"
#include "platform/pictures/Jpeg.h"
#include "platform/runtime/Classes.h"

namespace {

using namespace gfx;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;
using Bytes = std::string;

Bytes Saved(const TCustomBitmap32& b, bool bottomUp) {
  plat::TMemoryStream stream;
  b.SaveToStream(stream, bottomUp);
  return Bytes(static_cast<const char*>(stream.Memory()), stream.Size());
}

void Put32(Bytes& bytes, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}
void Put16(Bytes& bytes, std::size_t at, uint32_t v) {
  bytes[at] = static_cast<char>(v);
  bytes[at + 1] = static_cast<char>(v >> 8);
}

// A BMP built by hand: header of InfoSize bytes, Gap bytes, then the rows as given.
Bytes HandMadeBmp(int32_t width, int32_t height, uint32_t infoSize, uint32_t gap, uint16_t bitCount,
                  const Bytes& rows) {
  Bytes b(14 + infoSize + gap, '\0');
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<uint32_t>(b.size() + rows.size()));
  Put32(b, 10, 14 + infoSize + gap);
  Put32(b, 14, infoSize);
  Put32(b, 18, static_cast<uint32_t>(width));
  Put32(b, 22, static_cast<uint32_t>(height));
  Put16(b, 26, 1);
  Put16(b, 28, bitCount);
  return b + rows;
}

void Load(TCustomBitmap32& b, const Bytes& bytes) {
  plat::TReadOnlyMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
  b.LoadFromStream(stream);
}

TEST(BitmapFiles, WritesTheExactHeaderAndPixels) {
  TCustomBitmap32 b;
  b.SetSize(2, 1);
  b.SetPixel(0, 0, 0x11223344);
  b.SetPixel(1, 0, 0x8899AABB);
  const Bytes expected = Bytes("BM", 2) +
                         Bytes(
                             "\x3E\0\0\0"
                             "PSTA"
                             "\x36\0\0\0"
                             "\x28\0\0\0",
                             16) +
                         Bytes(
                             "\x02\0\0\0"
                             "\xFF\xFF\xFF\xFF"
                             "\x01\0"
                             "\x20\0"
                             "\0\0\0\0"
                             "\x08\0\0\0",
                             20) +
                         Bytes(16, '\0') +
                         Bytes(
                             "\x44\x33\x22\x11"
                             "\xBB\xAA\x99\x88",
                             8);
  EXPECT_EQ(Saved(b, false), expected);
  // Bottom-up: positive height, last row first.
  b.SetSize(1, 2);
  b.SetPixel(0, 0, 0x01020304);
  b.SetPixel(0, 1, 0x05060708);
  const Bytes bottomUp = Saved(b, true);
  EXPECT_EQ(bottomUp.substr(22, 4), Bytes("\x02\0\0\0", 4));
  EXPECT_EQ(bottomUp.substr(54), Bytes("\x08\x07\x06\x05"
                                       "\x04\x03\x02\x01",
                                       8));
}

TEST(BitmapFiles, RoundTripsBothRowOrders) {
  for (auto [w, h] : {std::pair{1, 1}, {3, 5}, {17, 1}, {0, 3}}) {
    for (bool bottomUp : {false, true}) {
      TCustomBitmap32 source, loaded;
      source.SetSize(w, h);
      FillRandom(source, w + h);
      loaded.SetSize(9, 9);
      Load(loaded, Saved(source, bottomUp));
      EXPECT_EQ(loaded.Width(), w);
      EXPECT_EQ(loaded.Height(), h);
      EXPECT_EQ(Pixels(loaded), Pixels(source)) << w << "x" << h << " " << bottomUp;
    }
  }
}

// All 32 bits, also for a wholly transparent picture (a layer copied to the clipboard).
TEST(BitmapFiles, PlatformReaderAgreesWithOurFiles) {
  TCustomBitmap32 source;
  source.SetSize(5, 3);
  for (bool invisible : {false, true}) {
    FillRandom(source, 12);
    if (invisible) source.SetAllAlpha(0);
    for (bool bottomUp : {false, true}) {
      plat::TBitmap platformBitmap;
      const Bytes file = Saved(source, bottomUp);
      plat::TReadOnlyMemoryStream stream(file.data(), static_cast<int64_t>(file.size()));
      platformBitmap.LoadFromStream(stream);
      ASSERT_EQ(platformBitmap.Width(), 5);
      ASSERT_EQ(platformBitmap.Height(), 3);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
          EXPECT_EQ(platformBitmap.PixelARGB(x, y), source.Pixel(x, y)) << invisible;
    }
  }
}

TEST(BitmapFiles, ReadsAtTheStreamPositionAndHonoursThePixelOffset) {
  TCustomBitmap32 source, loaded;
  source.SetSize(4, 2);
  FillRandom(source, 8);
  const Bytes file = Bytes("prefix") + Saved(source, false);
  plat::TReadOnlyMemoryStream stream(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(6);
  loaded.LoadFromStream(stream);
  EXPECT_EQ(Pixels(loaded), Pixels(source));

  // A V5 header with a gap before the pixels, bottom-up.
  Bytes rows;
  for (int y = 1; y >= 0; --y)
    for (int x = 0; x < 4; ++x) {
      const TColor32 p = source.Pixel(x, y);
      rows.append(reinterpret_cast<const char*>(&p), 4);
    }
  Load(loaded, HandMadeBmp(4, 2, 124, 12, 32, rows));
  EXPECT_EQ(Pixels(loaded), Pixels(source));
}

TEST(BitmapFiles, OtherBmpsGoThroughThePlatformBitmapOpaque) {
  // 2 x 1, 24 bits, rows padded to 4 bytes.
  const Bytes rows("\x10\x20\x30\x40\x50\x60\0\0", 8);
  TCustomBitmap32 loaded;
  Load(loaded, HandMadeBmp(2, 1, 40, 0, 24, rows));
  EXPECT_EQ(Pixels(loaded), (std::vector<TColor32>{0xFF302010, 0xFF605040}));
}

// Most programs write 32-bit BMPs with every alpha byte 0, meaning "no alpha": such files open
// opaque on both paths, while the files the bitmap writes itself keep their alpha, even 0.
TEST(BitmapFiles, AlphaThatIsZeroEverywhereMeansOpaqueExceptInOurOwnFiles) {
  const Bytes rows("\x10\x20\x30\0\x40\x50\x60\0", 8);
  const std::vector<TColor32> opaque = {0xFF302010, 0xFF605040};
  TCustomBitmap32 loaded;
  Load(loaded, HandMadeBmp(2, 1, 40, 0, 32, rows));
  EXPECT_EQ(Pixels(loaded), opaque);
  // A V5 header with bit fields goes through the platform bitmap.
  Bytes fields = HandMadeBmp(2, 1, 124, 0, 32, rows);
  Put32(fields, 30, 3);
  Put32(fields, 54, 0xFF0000);
  Put32(fields, 58, 0xFF00);
  Put32(fields, 62, 0xFF);
  Put32(fields, 66, 0xFF000000u);
  Load(loaded, fields);
  EXPECT_EQ(Pixels(loaded), opaque);
  // One pixel with alpha makes all of it real.
  Load(loaded, HandMadeBmp(2, 1, 40, 0, 32, Bytes("\x10\x20\x30\x01\x40\x50\x60\0", 8)));
  EXPECT_EQ(Pixels(loaded), (std::vector<TColor32>{0x01302010, 0x00605040}));

  TCustomBitmap32 invisible;
  invisible.SetSize(3, 2);
  invisible.ClearWithColor(0x00123456);
  for (bool bottomUp : {false, true}) {
    Load(loaded, Saved(invisible, bottomUp));
    EXPECT_EQ(Pixels(loaded), Pixels(invisible));
  }
}

TEST(BitmapFiles, HostileFilesFailClearlyAndLeaveTheBitmapAlone) {
  TCustomBitmap32 source;
  source.SetSize(3, 3);
  FillRandom(source, 1);
  const Bytes good = Saved(source, false);
  Bytes offsetInHeader = good;
  Put32(offsetInHeader, 10, 20);
  Bytes hugeWidth = good;
  Put32(hugeWidth, 18, 40000);
  Bytes minHeight = good;
  Put32(minHeight, 22, static_cast<uint32_t>(INT_MIN));
  Bytes negativeWidth = good;
  Put32(negativeWidth, 18, static_cast<uint32_t>(-3));
  Bytes manyPixels = good;  // 30000 x 30000 claimed, 36 bytes present
  Put32(manyPixels, 18, 30000);
  Put32(manyPixels, 22, 30000);
  Bytes offsetPastEnd = good;
  Put32(offsetPastEnd, 10, 1000);
  const Bytes hostile[] = {good.substr(0, good.size() - 1),
                           offsetInHeader,
                           hugeWidth,
                           minHeight,
                           negativeWidth,
                           manyPixels,
                           offsetPastEnd,
                           Bytes("BM\x10\0", 4),
                           Bytes("not a picture at all")};
  for (const Bytes& bytes : hostile) {
    TCustomBitmap32 target;
    target.SetSize(2, 2);
    FillRandom(target, 99);
    const auto before = Pixels(target);
    EXPECT_THROW(Load(target, bytes), plat::Exception) << bytes.size();
    EXPECT_EQ(target.Width(), 2);
    EXPECT_EQ(Pixels(target), before);
  }
}

TEST(BitmapFiles, DataBlockRoundTripsAndRejectsLies) {
  TCustomBitmap32 source, loaded;
  source.SetSize(3, 2);
  FillRandom(source, 3);
  plat::TMemoryStream stream;
  source.WriteData(stream);
  ASSERT_EQ(stream.Size(), 8 + 24);
  EXPECT_EQ(std::memcmp(static_cast<const char*>(stream.Memory()) + 8, source.Bits(), 24), 0);
  stream.SetPosition(0);
  loaded.ReadData(stream);
  EXPECT_EQ(loaded.Width(), 3);
  EXPECT_EQ(Pixels(loaded), Pixels(source));

  const Bytes data(static_cast<const char*>(stream.Memory()), stream.Size());
  Bytes huge = data;
  Put32(huge, 0, 20000);
  Put32(huge, 4, 20000);
  Bytes negative = data;
  Put32(negative, 4, static_cast<uint32_t>(-1));
  for (const Bytes& bytes : {data.substr(0, 20), data.substr(0, 5), huge, negative}) {
    plat::TReadOnlyMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
    EXPECT_THROW(loaded.ReadData(in), plat::Exception);
    EXPECT_EQ(Pixels(loaded), Pixels(source));
  }
}

TEST(BitmapFiles, DataIsWrittenOnlyWhenItDiffers) {
  TCustomBitmap32 a, b, empty;
  TBitmap32 device;
  EXPECT_FALSE(empty.DataNeedsWriting(nullptr));
  a.SetSize(2, 2);
  FillRandom(a, 5);
  EXPECT_TRUE(a.DataNeedsWriting(nullptr));
  b.Assign(a);
  EXPECT_FALSE(a.DataNeedsWriting(&b));
  b.SetPixel(1, 1, b.Pixel(1, 1) ^ 1);
  EXPECT_TRUE(a.DataNeedsWriting(&b));
  device.SetSize(2, 2);
  device.Assign(a);
  EXPECT_FALSE(a.Equal(device));  // another class
  plat::TStringList notABitmap;
  EXPECT_TRUE(a.DataNeedsWriting(&notABitmap));
  TCustomBitmap32 zeroByThree;
  zeroByThree.SetSize(0, 3);
  EXPECT_TRUE(empty.Equal(zeroByThree));
}

class BitmapFileSystem : public testing::Test {
 protected:
  BitmapFileSystem() {
    folder = std::filesystem::temp_directory_path() /
             ("bitmap-files-" + std::to_string(::getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
  }
  ~BitmapFileSystem() override { std::filesystem::remove_all(folder); }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::filesystem::path folder;
};

TEST_F(BitmapFileSystem, TheSignatureDecidesBeforeTheExtension) {
  TCustomBitmap32 source, loaded;
  source.SetSize(3, 2);
  FillRandom(source, 6);
  loaded.LoadFromFile(Write("work.jpg", Saved(source, false)));
  EXPECT_EQ(Pixels(loaded), Pixels(source));

  // Shorter than a BMP header and no "BM": the picture registry decides (by extension).
  const std::string tiny = Write("tiny.nosuchformat", Bytes("GIF89a tiny"));
  try {
    loaded.LoadFromFile(tiny);
    FAIL() << "an unknown extension loaded";
  } catch (const plat::EReadError&) {
    FAIL() << "rejected for its length";
  } catch (const plat::Exception& e) {
    EXPECT_NE(std::string(e.what()).find("nosuchformat"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Pixels(loaded), Pixels(source));
  EXPECT_THROW(loaded.LoadFromFile(Write("short.bmp", Bytes("BM\1\2"))), plat::Exception);
  EXPECT_THROW(loaded.LoadFromFile((folder / "missing.bmp").string()), plat::Exception);
  EXPECT_EQ(Pixels(loaded), Pixels(source));
}

TEST_F(BitmapFileSystem, JpegFilesArriveOpaque) {
  TCustomBitmap32 source, loaded;
  source.SetSize(8, 8);
  source.ClearWithColor(0x20406080);  // nearly transparent: the JPEG cannot keep it
  plat::TBitmap platformBitmap;
  platformBitmap.Assign(source);
  plat::TJPEGImage jpeg;
  jpeg.Assign(platformBitmap);
  jpeg.SetCompressionQuality(100);
  const std::string path = (folder / "photo.JPG").string();
  jpeg.SaveToFile(path);
  loaded.LoadFromFile(path);
  ASSERT_EQ(loaded.Width(), 8);
  for (TColor32 p : Pixels(loaded)) {
    EXPECT_EQ(p >> 24, 255u);
    EXPECT_NEAR(static_cast<int>((p >> 8) & 255), 0x60, 3);
  }
}

TEST_F(BitmapFileSystem, SavingReplacesTheFileWholly) {
  TCustomBitmap32 source, loaded;
  source.SetSize(4, 4);
  FillRandom(source, 10);
  const std::string path = Write("picture.bmp", Bytes(5000, 'x'));
  source.SaveToFile(path);
  EXPECT_EQ(std::filesystem::file_size(path), 54u + 64u);
  loaded.LoadFromFile(path);
  EXPECT_EQ(Pixels(loaded), Pixels(source));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
