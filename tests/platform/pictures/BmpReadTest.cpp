// BMP files built byte by byte and read back pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "PictureTestUtil.h"
#include "platform/pictures/Bitmap.h"

using namespace plat;
using namespace pictest;

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

// Four palette colours used by the indexed cases.
const uint32_t kColors[4] = {0xFF102030, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF};

Bytes Table(int entries, bool core = false) {
  Bytes t;
  for (int i = 0; i < entries; ++i) {
    uint32_t c = kColors[i % 4];
    t.U8(c & 0xFF).U8((c >> 8) & 0xFF).U8((c >> 16) & 0xFF);
    if (!core) t.U8(0);
  }
  return t;
}

// A 5 x 3 picture of indices; row 0 is the top.
const int kIdx[3][5] = {{0, 1, 2, 3, 1}, {3, 3, 0, 0, 2}, {1, 0, 1, 0, 1}};

Bytes IndexedRows(int bpp, bool topDown) {
  Bytes b;
  for (int r = 0; r < 3; ++r) {
    const int y = topDown ? r : 2 - r;
    std::vector<uint8_t> row((5 * bpp + 7) / 8, 0);
    for (int x = 0; x < 5; ++x) {
      const int bit = x * bpp;
      row[size_t(bit / 8)] |= uint8_t((kIdx[y][x] & ((1 << bpp) - 1)) << (8 - bpp - bit % 8));
    }
    for (uint8_t v : row) b.U8(v);
    PadRow(b, row.size());
  }
  return b;
}

std::vector<uint32_t> ExpectedIndexed() {
  std::vector<uint32_t> e;
  for (auto& row : kIdx) {
    for (int v : row) e.push_back(kColors[v]);
  }
  return e;
}

}  // namespace

TEST(BmpRead, IndexedDepthsInBothRowOrders) {
  struct Case {
    int bpp;
    TPixelFormat format;
  };
  for (Case c : {Case{1, pf1bit}, Case{4, pf4bit}, Case{8, pf8bit}}) {
    for (bool topDown : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.bpp << " bits, top-down " << topDown);
      const int entries = 1 << std::min(c.bpp, 2);
      Bytes header = InfoHeader(40, 5, topDown ? -3 : 3, uint16_t(c.bpp), kRgb, uint32_t(entries));
      TBitmap bitmap;
      LoadBmp(bitmap, BmpFile(header, Table(entries), IndexedRows(c.bpp, topDown)));
      EXPECT_EQ(bitmap.PixelFormat(), c.format);
      ASSERT_EQ(bitmap.Width(), 5);
      ASSERT_EQ(bitmap.Height(), 3);
      std::vector<uint32_t> expected = ExpectedIndexed();
      if (c.bpp == 1) {
        for (int i = 0; i < 15; ++i) expected[size_t(i)] = kColors[kIdx[i / 5][i % 5] & 1];
      }
      EXPECT_EQ(Pixels(bitmap), expected);
    }
  }
}

TEST(BmpRead, CoreHeaderWithThreeByteTable) {
  Bytes header;
  header.U32(12).U16(5).U16(3).U16(1).U16(8);
  TBitmap bitmap;
  LoadBmp(bitmap, BmpFile(header, Table(256, true), IndexedRows(8, false)));
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  EXPECT_EQ(Pixels(bitmap), ExpectedIndexed());
}

TEST(BmpRead, ShortTableReadsBlackBeyondItAndOffsetIsHonoured) {
  // Two table entries, indices 2 and 3 point past the table; 7 junk bytes sit before the pixels.
  Bytes header = InfoHeader(40, 5, 3, 8, kRgb, 2);
  TBitmap bitmap;
  LoadBmp(bitmap, BmpFile(header, Table(2), IndexedRows(8, false), 7));
  std::vector<uint32_t> expected;
  for (auto& row : kIdx) {
    for (int v : row) expected.push_back(v < 2 ? kColors[v] : 0xFF000000u);
  }
  EXPECT_EQ(Pixels(bitmap), expected);
}

TEST(BmpRead, DirectColourDepths) {
  // 2 x 2 pictures; each case lists the stored pixel values (top row first) and the colours.
  auto expand = [](uint32_t v, int bits) {
    return (v * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1);
  };
  const uint16_t p555[4] = {0x7C00, 0x03E0, 0x001F, 0x4210};
  const uint16_t p565[4] = {0xF800, 0x07E0, 0x001F, 0x8410};

  {
    SCOPED_TRACE("16 bits, 5-5-5");
    Bytes px;
    for (int r : {1, 0}) px.U16(p555[2 * r]).U16(p555[2 * r + 1]);
    TBitmap bitmap;
    LoadBmp(bitmap, BmpFile(InfoHeader(40, 2, 2, 16, kRgb), Bytes(), px));
    EXPECT_EQ(bitmap.PixelFormat(), pf15bit);
    const uint32_t g = expand(16, 5);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                     0xFF000000 | g << 16 | g << 8 | g}));
  }
  {
    SCOPED_TRACE("16 bits, 5-6-5 bit fields");
    Bytes masks;
    masks.U32(0xF800).U32(0x07E0).U32(0x001F);
    Bytes px;
    for (int r : {1, 0}) px.U16(p565[2 * r]).U16(p565[2 * r + 1]);
    TBitmap bitmap;
    LoadBmp(bitmap, BmpFile(InfoHeader(40, 2, 2, 16, kBitFields), masks, px));
    EXPECT_EQ(bitmap.PixelFormat(), pf16bit);
    const uint32_t r = expand(16, 5), g = expand(32, 6);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                     0xFF000000 | r << 16 | g << 8 | r}));
  }
  {
    SCOPED_TRACE("16 bits, 4-4-4-4 with alpha in a V4 header");
    Bytes header = InfoHeader(108, 2, -1, 16, kBitFields);
    header.data.replace(40, 16, Bytes().U32(0x0F00).U32(0x00F0).U32(0x000F).U32(0xF000).data);
    Bytes px;
    px.U16(0x8F00).U16(0x0123);
    TBitmap bitmap;
    LoadBmp(bitmap, BmpFile(header, Bytes(), px));
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{expand(8, 4) << 24 | 0xFF0000,
                                                     0x00000000 | 0x11 << 16 | 0x22 << 8 | 0x33}));
  }
  {
    SCOPED_TRACE("24 bits, V5 header");
    Bytes px;
    px.U8(1).U8(2).U8(3).U8(4).U8(5).U8(6).Zeros(2);  // bottom row
    px.U8(7).U8(8).U8(9).U8(10).U8(11).U8(12).Zeros(2);
    TBitmap bitmap;
    LoadBmp(bitmap, BmpFile(InfoHeader(124, 2, 2, 24, kRgb), Bytes(), px));
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(Pixels(bitmap),
              (std::vector<uint32_t>{0xFF090807, 0xFF0C0B0A, 0xFF030201, 0xFF060504}));
  }
}

TEST(BmpRead, ThirtyTwoBitAlphaRules) {
  Bytes px;
  px.U32(0x80112233).U32(0x00445566);
  {
    SCOPED_TRACE("uncompressed: the fourth byte is alpha");
    TBitmap bitmap;
    LoadBmp(bitmap, BmpFile(InfoHeader(40, 2, 1, 32, kRgb), Bytes(), px));
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0x80112233, 0x00445566}));
  }
  {
    SCOPED_TRACE("uncompressed without any alpha: opaque");
    Bytes noAlpha;
    noAlpha.U32(0x00112233).U32(0x00445566);
    TBitmap bitmap;
    LoadBmp(bitmap, BmpFile(InfoHeader(40, 2, 1, 32, kRgb), Bytes(), noAlpha));
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0xFF112233, 0xFF445566}));
  }
  {
    SCOPED_TRACE("the engine's own files keep an alpha of 0 everywhere");
    Bytes invisible;
    invisible.U32(0x00112233).U32(0x00445566);
    std::string file = BmpFile(InfoHeader(40, 2, 1, 32, kRgb), Bytes(), invisible);
    file.replace(6, 4, "PSTA");
    TBitmap bitmap;
    LoadBmp(bitmap, file);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0x00112233, 0x00445566}));
  }
  {
    SCOPED_TRACE("bit fields without an alpha mask: 24 bits, the fourth byte is not alpha");
    Bytes masks;
    masks.U32(0xFF0000).U32(0xFF00).U32(0xFF);
    TBitmap bitmap;
    LoadBmp(bitmap, BmpFile(InfoHeader(40, 2, 1, 32, kBitFields), masks, px));
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0xFF112233, 0xFF445566}));
  }
  {
    SCOPED_TRACE("V5 bit fields in R, G, B, A byte order");
    Bytes header = InfoHeader(124, 1, 1, 32, kBitFields);
    header.data.replace(40, 16, Bytes().U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0xFF000000).data);
    Bytes one;
    one.U32(0x40332211);  // R = 0x11, G = 0x22, B = 0x33, A = 0x40
    TBitmap bitmap;
    LoadBmp(bitmap, BmpFile(header, Bytes(), one));
    EXPECT_EQ(bitmap.PixelFormat(), pf32bit);
    EXPECT_EQ(bitmap.PixelARGB(0, 0), 0x40112233u);
  }
}

TEST(BmpRead, RunLengthEncoded) {
  // 6 x 4, bottom row first in the data.
  Bytes rle8;
  rle8.U8(3).U8(1).U8(0).U8(3).U8(2).U8(3).U8(1).U8(0);  // row 3: 1 1 1, then literal 2 3 1 (+pad)
  rle8.U8(0).U8(0);                                      // end of line
  rle8.U8(0).U8(2).U8(2).U8(1);                          // move right 2, up 1 (to row 1)
  rle8.U8(2).U8(3);                                      // row 1, x 2..3: 3 3
  rle8.U8(9).U8(1);                                      // a run past the right edge is clipped
  rle8.U8(0).U8(1);                                      // end of picture
  TBitmap bitmap;
  LoadBmp(bitmap,
          BmpFile(InfoHeader(40, 6, 4, 8, kRle8, 4, uint32_t(rle8.Size())), Table(4), rle8));
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  const int expected[4][6] = {
      {0, 0, 0, 0, 0, 0}, {0, 0, 3, 3, 1, 1}, {0, 0, 0, 0, 0, 0}, {1, 1, 1, 2, 3, 1}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(bitmap.PixelARGB(x, y), kColors[expected[y][x]]) << x << "," << y;
    }
  }

  Bytes rle4;
  rle4.U8(5).U8(0x12);                 // 1 2 1 2 1
  rle4.U8(0).U8(3).U8(0x30).U8(0x20);  // literal 3 0 2 (2 bytes, already even)
  rle4.U8(0).U8(0);
  rle4.U8(0).U8(5).U8(0x31).U8(0x23).U8(0x10).U8(0);  // literal 3 1 2 3 1 (3 bytes + 1 pad)
  rle4.U8(2).U8(0x22);                                // 2 2
  rle4.U8(0).U8(1);
  TBitmap four;
  LoadBmp(four, BmpFile(InfoHeader(40, 8, 2, 4, kRle4, 4), Table(4), rle4));
  EXPECT_EQ(four.PixelFormat(), pf4bit);
  const int rows[2][8] = {{3, 1, 2, 3, 1, 2, 2, 0}, {1, 2, 1, 2, 1, 3, 0, 2}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(four.PixelARGB(x, y), kColors[rows[y][x]]) << x;
  }
}

// A stream of a given size whose bytes after Head are zeros; counts what is read from it.
class TailedStream final : public TStream {
 public:
  TailedStream(std::string head, int64_t size) : head_(std::move(head)), size_(size) {}
  int64_t Read(void* buffer, int64_t count) override {
    count = std::max<int64_t>(0, std::min(count, size_ - position_));
    auto* out = static_cast<char*>(buffer);
    for (int64_t i = 0; i < count; ++i, ++position_)
      out[i] = position_ < int64_t(head_.size()) ? head_[size_t(position_)] : '\0';
    read += count;
    return count;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    position_ = origin == soBeginning ? offset
                : origin == soCurrent ? position_ + offset
                                      : size_ + offset;
    return position_;
  }
  int64_t read = 0;

 private:
  std::string head_;
  int64_t size_;
  int64_t position_ = 0;
};

TEST(BmpRead, ReadsOnlyWhatTheHeadersDeclare) {
  Bytes rle;
  rle.U8(2).U8(1).U8(0).U8(0).U8(2).U8(2).U8(0).U8(1);
  const std::string files[] = {
      BmpFile(InfoHeader(40, 2, 2, 24, kRgb), Bytes(), Bytes().Zeros(16)),
      BmpFile(InfoHeader(40, 2, 2, 8, kRle8, 4), Table(4), rle),  // no size of its data
  };
  for (const std::string& file : files) {
    TailedStream stream(file, int64_t{1} << 30);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(stream.Position(), int64_t(file.size()));
    EXPECT_LT(stream.read, 4096);
  }
}

TEST(BmpRead, StreamPositionEndsAfterTheFile) {
  const std::string file =
      BmpFile(InfoHeader(40, 5, 3, 8, kRgb, 4), Table(4), IndexedRows(8, false));
  const std::string data = "prefix" + file + "suffix";
  TReadOnlyMemoryStream stream(data.data(), int64_t(data.size()));
  stream.SetPosition(6);
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), int64_t(6 + file.size()));
  EXPECT_EQ(Pixels(bitmap), ExpectedIndexed());
}
