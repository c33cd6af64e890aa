// Malformed, truncated and lying BMP files end in EInvalidGraphic and leave the bitmap as it was.
#include <gtest/gtest.h>

#include "PictureTestUtil.h"
#include "platform/pictures/Bitmap.h"
#include "support/LargestAllocation.h"

using namespace plat;
using namespace pictest;

namespace {

// A bitmap with known content that every failed load must leave alone.
void MakeWitness(TBitmap& bitmap) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int i = 0; i < 9; ++i) bitmap.ScanLine(y)[i] = uint8_t(10 * y + i + 1);
  }
}

void ExpectRejected(const std::string& file, const std::string& what) {
  SCOPED_TRACE(what);
  TBitmap bitmap;
  MakeWitness(bitmap);
  const std::vector<uint32_t> before = Pixels(bitmap);
  EXPECT_THROW(LoadBmp(bitmap, file), EInvalidGraphic);
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(Pixels(bitmap), before);
}

std::string EightBit(int32_t width, int32_t height, uint32_t compression = 0) {
  Bytes table;
  for (int i = 0; i < 4; ++i) table.U32(0x00FFFFFFu * uint32_t(i & 1));
  Bytes pixels;
  pixels.Zeros(size_t((width + 3) / 4 * 4) * size_t(height < 0 ? -height : height));
  return BmpFile(InfoHeader(40, width, height, 8, compression, 4), table, pixels);
}

std::string Patched(std::string file, size_t offset, uint32_t value, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) file[offset + size_t(i)] = char((value >> (8 * i)) & 0xFF);
  return file;
}

}  // namespace

TEST(BmpReject, EveryTruncation) {
  Bytes masks;
  masks.U32(0xF800).U32(0x07E0).U32(0x001F);
  Bytes px16;
  px16.Zeros(8);
  Bytes rle;
  rle.U8(2).U8(1).U8(0).U8(0).U8(0).U8(3).U8(1).U8(2).U8(3).U8(0).U8(0).U8(1);
  Bytes table;
  table.Zeros(16);
  const std::string samples[] = {
      EightBit(5, 3),
      BmpFile(InfoHeader(40, 2, 2, 16, 3), masks, px16),
      BmpFile(InfoHeader(40, 3, 2, 8, 1, 4), table, rle),
  };
  for (const std::string& file : samples) {
    LoadBmp(*std::make_unique<TBitmap>(), file);  // the whole file loads
    for (size_t cut = 0; cut < file.size(); ++cut) {
      ExpectRejected(file.substr(0, cut), "cut at " + std::to_string(cut));
    }
  }
}

TEST(BmpReject, LyingHeaders) {
  const std::string good = EightBit(5, 3);
  ExpectRejected(Patched(good, 0, 'X', 1), "signature");
  ExpectRejected(Patched(good, 14, 41), "unknown header size");
  ExpectRejected(Patched(good, 14, 0xFFFFFFF0u), "huge header size");
  ExpectRejected(Patched(good, 18, 0), "zero width");
  ExpectRejected(Patched(good, 18, uint32_t(-5)), "negative width");
  ExpectRejected(Patched(good, 22, 0), "zero height");
  ExpectRejected(Patched(good, 22, 0x80000000u), "most negative height");
  ExpectRejected(Patched(good, 18, 32768), "side above the limit");
  ExpectRejected(Patched(Patched(good, 18, 20000), 22, 20000), "too many pixels");
  ExpectRejected(Patched(good, 26, 2, 2), "two planes");
  ExpectRejected(Patched(good, 28, 7, 2), "seven bits per pixel");
  ExpectRejected(Patched(good, 30, 4), "embedded JPEG compression");
  ExpectRejected(Patched(good, 30, 2), "4-bit run-length coding on 8 bits");
  ExpectRejected(Patched(good, 46, 1000), "colour table of 1000 entries");
  ExpectRejected(Patched(good, 10, 20), "pixel offset inside the header");
  ExpectRejected(Patched(good, 10, 1u << 30), "pixel offset past the end");
  ExpectRejected(EightBit(5, -3, 1), "top-down run-length data");

  Bytes px;
  px.Zeros(8);
  auto fields = [&](uint32_t r, uint32_t g, uint32_t b) {
    Bytes masks;
    masks.U32(r).U32(g).U32(b);
    return BmpFile(InfoHeader(40, 2, 1, 32, 3), masks, px);
  };
  ExpectRejected(fields(0xFF0000, 0xFF00, 0), "empty blue mask");
  ExpectRejected(fields(0xFF0000, 0xFF00, 0x1FF), "overlapping masks");
  ExpectRejected(fields(0xF0F000, 0xF00, 0xF), "mask with a gap");
  Bytes px16;
  px16.Zeros(4);
  Bytes wide;
  wide.U32(0xF0000).U32(0xF0).U32(0xF);
  ExpectRejected(BmpFile(InfoHeader(40, 2, 1, 16, 3), wide, px16), "mask beyond 16 bits");
}

TEST(BmpReject, RunLengthWithoutEndStops) {
  // Runs that never end the picture: the data runs out and the load fails cleanly.
  Bytes table;
  table.Zeros(16);
  Bytes rle;
  for (int i = 0; i < 50; ++i) rle.U8(0).U8(2).U8(255).U8(255);
  ExpectRejected(BmpFile(InfoHeader(40, 4, 4, 8, 1, 4), table, rle), "deltas far outside");
}

TEST(BmpReject, BlankPicturePartsAreBoundedByTheData) {
  // Only what runs and literals write counts; the 4 data bytes here (a run of one pixel and the
  // end code) allow 4096 blank pixels.
  Bytes table;
  table.U32(0).U32(0xFFFFFF).U32(0).U32(0);
  Bytes one;
  one.U8(1).U8(1).U8(0).U8(1);
  TBitmap edge;
  LoadBmp(edge, BmpFile(InfoHeader(40, 4097, 1, 8, 1, 4), table, one));
  EXPECT_EQ(edge.PixelARGB(0, 0), 0xFFFFFFFFu);  // the run
  EXPECT_EQ(edge.PixelARGB(4096, 0), 0xFF000000u);

  // Pictures of millions of pixels that a few bytes skip over are refused before any allocation,
  // whether moves, ends of line or the end of the data leave them blank.
  Bytes deltas, lineEnds, runs, threeDeltas;
  for (int i = 0; i < 65; ++i) deltas.U8(0).U8(2).U8(0).U8(255);
  deltas.U8(0).U8(1);
  for (int i = 0; i < 16384; ++i) lineEnds.U8(0).U8(0);
  lineEnds.U8(0).U8(1);
  for (int i = 0; i < 6; ++i) runs.U8(255).U8(1);
  runs.U8(0).U8(1);
  for (int i = 0; i < 3; ++i) threeDeltas.U8(0).U8(2).U8(0).U8(255);
  threeDeltas.U8(1).U8(1).U8(0).U8(1);
  const std::string hostile[] = {
      BmpFile(InfoHeader(40, 4098, 1, 8, 1, 4), table, one),
      BmpFile(InfoHeader(40, 16384, 16384, 8, 1, 256), Bytes().Zeros(1024), deltas),
      BmpFile(InfoHeader(40, 16384, 16384, 8, 1, 4), table, lineEnds),
      BmpFile(InfoHeader(40, 16384, 8192, 8, 1, 4), table, lineEnds),
      BmpFile(InfoHeader(40, 1000, 766, 8, 1, 4), table, threeDeltas),
      BmpFile(InfoHeader(40, 16128, 10240, 8, 1, 4), table, runs),
      BmpFile(InfoHeader(40, 8450, 8436, 4, 2, 4), table, runs),
      BmpFile(InfoHeader(40, 8450, 8436, 4, 2, 4, 2), table, threeDeltas),  // the size field counts
  };
  for (const std::string& file : hostile) {
    test_support::LargestAllocation largest;
    ExpectRejected(file, std::to_string(file.size()) + " bytes");
    if (test_support::LargestAllocation::Available())
      EXPECT_LT(largest.Bytes(), size_t{1} << 20) << file.size();
  }
}
