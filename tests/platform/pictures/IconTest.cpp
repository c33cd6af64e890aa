// Icon files with bitmap and PNG images, and icon drawing over a canvas.
#include <gtest/gtest.h>

#include "PictureTestUtil.h"
#include "platform/drawing/Graphics.h"
#include "platform/pictures/Icon.h"
#include "support/PngBytes.h"

using namespace plat;
using namespace pictest;

namespace {

struct Entry {
  int width, height, bpp;
  std::string image;
};

std::string IcoFile(const std::vector<Entry>& entries) {
  Bytes file;
  file.U16(0).U16(1).U16(uint32_t(entries.size()));
  size_t offset = 6 + 16 * entries.size();
  for (const Entry& e : entries) {
    file.U8(uint32_t(e.width & 0xFF)).U8(uint32_t(e.height & 0xFF)).U8(0).U8(0);
    file.U16(1).U16(uint32_t(e.bpp)).U32(uint32_t(e.image.size())).U32(uint32_t(offset));
    offset += e.image.size();
  }
  for (const Entry& e : entries) file.Raw(e.image);
  return file.data;
}

// An 8-bit image with a two-colour table and an AND mask; mask bit set where (x + y) % 3 == 0.
std::string IndexedImage(int w, int h) {
  Bytes b = InfoHeader(40, w, 2 * h, 8, 0, 2);
  b.U32(0x00FF0000).U32(0x000000FF);  // index 0 red, index 1 blue
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) b.U8(uint32_t(x & 1));
    PadRow(b, size_t(w));
  }
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(size_t((w + 31) / 32 * 4), 0);
    for (int x = 0; x < w; ++x) {
      if ((x + y) % 3 == 0) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    }
    for (uint8_t v : row) b.U8(v);
  }
  return b.data;
}

uint32_t IndexedExpected(int x, int y) {
  if ((x + y) % 3 == 0) return 0;
  return (x & 1) ? 0xFF0000FFu : 0xFFFF0000u;
}

// A 32-bit image carrying its own alpha; its mask (all set) must be ignored.
std::string AlphaImage(int w, int h, uint32_t (*pixel)(int, int)) {
  Bytes b = InfoHeader(40, w, 2 * h, 32, 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) b.U32(pixel(x, y));
  }
  b.data.append(size_t((w + 31) / 32 * 4 * h), '\xFF');
  return b.data;
}

uint32_t AlphaPixel(int x, int y) {
  return uint32_t(x * 60) << 24 | 0x00204060u | uint32_t(y);
}

uint32_t PngExpected(int x, int y) {
  return uint32_t((x + y) * 4) << 24 | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x99;
}

// An RGBA PNG written by libpng.
std::string PngImage(int w, int h) {
  std::vector<uint32_t> argb;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) argb.push_back(PngExpected(x, y));
  return test_support::PngBytes(w, h, argb);
}

void LoadIcon(TIcon& icon, const std::string& file) {
  TReadOnlyMemoryStream stream(file.data(), int64_t(file.size()));
  icon.LoadFromStream(stream);
}

void ExpectPixels(const TIcon& icon, int w, int h, uint32_t (*expected)(int, int)) {
  ASSERT_EQ(icon.Width(), w);
  ASSERT_EQ(icon.Height(), h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      ASSERT_EQ(icon.Pixels()[size_t(y * w + x)], expected(x, y)) << x << "," << y;
    }
  }
}

}  // namespace

TEST(Icon, BitmapImageWithMaskAndLargestEntryWins) {
  TIcon icon;
  LoadIcon(icon, IcoFile({{4, 4, 8, IndexedImage(4, 4)},
                          {9, 6, 8, IndexedImage(9, 6)},
                          {5, 5, 32, AlphaImage(5, 5, AlphaPixel)}}));
  ExpectPixels(icon, 9, 6, IndexedExpected);

  LoadIcon(icon, IcoFile({{3, 2, 32, AlphaImage(3, 2, AlphaPixel)}}));
  ExpectPixels(icon, 3, 2, AlphaPixel);

  TBitmap bitmap;
  bitmap.Assign(icon);
  EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
  EXPECT_EQ(bitmap.PixelARGB(2, 1), AlphaPixel(2, 1));
}

TEST(Icon, PngImage) {
  TIcon icon;
  LoadIcon(icon, IcoFile({{2, 2, 8, IndexedImage(2, 2)}, {0, 0, 32, PngImage(20, 12)}}));
  ExpectPixels(icon, 20, 12, PngExpected);
}

TEST(Icon, DrawCompositesOverTheCanvas) {
  TIcon icon;
  LoadIcon(icon, IcoFile({{3, 2, 32, AlphaImage(3, 2, AlphaPixel)}}));
  const uint32_t background = 0xFF808080;
  std::vector<uint32_t> surface(5 * 4, background);
  DeviceContext dc(surface.data(), 5, 4, 20);
  TCanvas canvas(&dc);
  icon.Draw(canvas, BoundsRect(1, 1, 3, 2));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      uint32_t want = background;
      if (x >= 1 && x < 4 && y >= 1 && y < 3) {
        const uint32_t s = AlphaPixel(x - 1, y - 1);
        const double a = (s >> 24) / 255.0;
        want = 0xFF000000u;  // over an opaque background the result is opaque
        for (int shift = 0; shift <= 16; shift += 8) {
          const double c = ((s >> shift) & 0xFF) * a + 0x80 * (1 - a);
          want |= uint32_t(c + 0.5) << shift;
        }
      }
      EXPECT_EQ(surface[size_t(y * 5 + x)], want) << x << "," << y;
    }
  }
}

TEST(Icon, BadFilesKeepTheIcon) {
  TIcon icon;
  const std::string good = IcoFile({{3, 2, 32, AlphaImage(3, 2, AlphaPixel)}});
  LoadIcon(icon, good);
  std::vector<std::string> bad;
  for (size_t cut = 0; cut < good.size() - 8; cut += 3) bad.push_back(good.substr(0, cut));
  std::string zeroCount = good;
  zeroCount[4] = 0;
  bad.push_back(zeroCount);
  std::string farOffset = good;
  farOffset[18 + 3] = 0x7F;  // image offset far past the end
  bad.push_back(farOffset);
  std::string cursorType = good;
  cursorType[2] = 3;
  bad.push_back(cursorType);
  std::string badPng = IcoFile({{0, 0, 32, PngImage(4, 4).substr(0, 40)}});
  bad.push_back(badPng);
  for (const std::string& file : bad) {
    EXPECT_THROW(LoadIcon(icon, file), EInvalidGraphic);
    ExpectPixels(icon, 3, 2, AlphaPixel);
  }
}
