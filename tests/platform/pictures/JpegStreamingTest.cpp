// Compressing into a byte sink and decoding from a stream, both a block at a time: the bytes and
// pixels must be those of the whole-buffer calls across block borders, and a failing sink or
// stream must stop the work and pass its own exception on.
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "LibjpegOracle.h"
#include "platform/pictures/JpegCodec.h"
#include "platform/runtime/Classes.h"

namespace {

using picture_test::LibjpegEncode;

// Large enough that its JPEG spans several of the codec's blocks.
constexpr int kWidth = 611, kHeight = 409;

std::vector<uint32_t> Noise() {
  std::mt19937 random(17);
  std::vector<uint32_t> argb(size_t(kWidth) * kHeight);
  for (uint32_t& p : argb) p = uint32_t(random());
  return argb;
}

std::string PackedRgbJpeg(const std::vector<uint32_t>& argb) {
  std::vector<uint8_t> rgb;
  for (const uint32_t p : argb) {
    rgb.push_back(uint8_t(p >> 16));
    rgb.push_back(uint8_t(p >> 8));
    rgb.push_back(uint8_t(p));
  }
  return LibjpegEncode(rgb, kWidth, kHeight, JCS_RGB, 3, 100);
}

struct SinkFull {};

TEST(JpegSink, BlocksJoinToLibjpegsBytesAndFailuresPassOn) {
  const std::vector<uint32_t> argb = Noise();
  const auto rows = [&](int32_t y) { return &argb[size_t(y) * kWidth]; };
  std::string joined;
  int blocks = 0;
  plat::EncodeJpegArgbRows(kWidth, kHeight, 100, rows, [&](const char* bytes, size_t count) {
    joined.append(bytes, count);
    ++blocks;
  });
  EXPECT_GT(blocks, 2);
  EXPECT_TRUE(joined == PackedRgbJpeg(argb));
  EXPECT_TRUE(joined == plat::EncodeJpegArgbRows(kWidth, kHeight, 100, rows));

  // The sink refuses its second block: no more rows are asked for once the failure is known.
  int asked = 0, offered = 0;
  EXPECT_THROW(plat::EncodeJpegArgbRows(
                   kWidth, kHeight, 100,
                   [&](int32_t y) {
                     ++asked;
                     return rows(y);
                   },
                   [&](const char*, size_t) {
                     if (++offered == 2) throw SinkFull{};
                   }),
               SinkFull);
  EXPECT_EQ(offered, 2);
  EXPECT_LT(asked, kHeight);

  // A row source that fails half-way stops the compression as well.
  struct RowsGone {};
  EXPECT_THROW(plat::EncodeJpegArgbRows(
                   kWidth, kHeight, 100,
                   [&](int32_t y) -> const uint32_t* {
                     if (y == kHeight / 2) throw RowsGone{};
                     return rows(y);
                   },
                   [](const char*, size_t) {}),
               RowsGone);
}

// Gives at most Chunk bytes a read, so reads end at awkward places; throws once Limit bytes are
// gone when Limit is set.
class TrickleStream : public plat::TStream {
 public:
  TrickleStream(std::string data, int64_t chunk, int64_t limit = -1)
      : data_(std::move(data)), chunk_(chunk), limit_(limit) {}
  int64_t Read(void* buffer, int64_t count) override {
    if (limit_ >= 0 && position_ >= limit_) throw plat::EReadError("the disk went away");
    const int64_t n = std::min({count, chunk_, int64_t(data_.size()) - position_});
    std::memcpy(buffer, data_.data() + position_, size_t(n));
    position_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, plat::TSeekOrigin origin) override {
    if (origin == plat::soBeginning) position_ = offset;
    if (origin == plat::soCurrent) position_ += offset;
    if (origin == plat::soEnd) position_ = int64_t(data_.size()) + offset;
    return position_;
  }

 private:
  std::string data_;
  int64_t chunk_, limit_, position_ = 0;
};

// An application marker of Size payload bytes right after the start marker: the decoder skips
// it, here across block borders.
std::string WithMarker(const std::string& jpeg, size_t size, char fill) {
  const size_t length = size + 2;
  std::string marker = {char(0xFF), char(0xE9), char(length >> 8), char(length & 0xFF)};
  marker.append(size, fill);
  return jpeg.substr(0, 2) + marker + jpeg.substr(2);
}

std::vector<uint32_t> Decoded(const std::string& data) {
  std::vector<uint32_t> pixels;
  plat::DecodeJpegArgb(data, [&](int32_t width, int32_t height) {
    pixels.assign(size_t(width) * size_t(height), 0);
    return pixels.data();
  });
  return pixels;
}

std::vector<uint32_t> Decoded(plat::TStream& stream) {
  std::vector<uint32_t> pixels;
  plat::DecodeJpegArgb(stream, [&](int32_t width, int32_t height) {
    pixels.assign(size_t(width) * size_t(height), 0);
    return pixels.data();
  });
  return pixels;
}

TEST(JpegStreamDecoding, SamePixelsAsFromMemoryFromTheStreamsPosition) {
  const std::string jpeg = WithMarker(WithMarker(PackedRgbJpeg(Noise()), 65000, 'a'), 65000, 'b');
  const std::vector<uint32_t> expected = Decoded(jpeg);
  ASSERT_EQ(expected.size(), size_t(kWidth) * kHeight);
  for (const int64_t chunk : {int64_t(1) << 20, int64_t(4093)}) {
    TrickleStream stream("junk!" + jpeg, chunk);
    stream.Seek(5, plat::soBeginning);
    EXPECT_TRUE(Decoded(stream) == expected) << chunk;
  }
}

TEST(JpegStreamDecoding, TruncatedDataIsInvalidAndReadErrorsPassOn) {
  const std::string jpeg = PackedRgbJpeg(Noise());
  TrickleStream truncated(jpeg.substr(0, jpeg.size() * 2 / 3), 1 << 16);
  EXPECT_THROW(Decoded(truncated), plat::EInvalidGraphic);

  TrickleStream headerOnly(jpeg.substr(0, 40), 1 << 16);
  EXPECT_THROW(Decoded(headerOnly), plat::EInvalidGraphic);

  TrickleStream failing(jpeg, 1000, int64_t(jpeg.size() / 2));
  EXPECT_THROW(Decoded(failing), plat::EReadError);

  TrickleStream failingAtOnce(jpeg, 1000, 0);
  EXPECT_THROW(Decoded(failingAtOnce), plat::EReadError);
}

// A start marker and then 3 GiB of filler, as a device or a file grown past any picture gives;
// with Sized it tells how much there is, as a file does.
class FillerStream : public plat::TStream {
 public:
  explicit FillerStream(bool sized) : sized_(sized) {}
  int64_t Read(void* buffer, int64_t count) override {
    count = std::clamp<int64_t>(kSize - position_, 0, count);
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, size_t(count));
    for (int64_t i = 0; i < count && position_ + i < 3; ++i) out[i] = kStart[position_ + i];
    position_ += count;
    read_ += count;
    return count;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, plat::TSeekOrigin origin) override {
    if (!sized_ && origin != plat::soCurrent) return -1;
    if (origin == plat::soBeginning) position_ = offset;
    if (origin == plat::soCurrent) position_ += offset;
    if (origin == plat::soEnd) position_ = kSize + offset;
    return position_;
  }
  int64_t BytesRead() const { return read_; }

 private:
  static constexpr uint8_t kStart[3] = {0xFF, 0xD8, 0xFF};
  static constexpr int64_t kSize = int64_t(3) << 30;
  bool sized_;
  int64_t position_ = 0, read_ = 0;
};

TEST(JpegStreamDecoding, MoreDataThanAnyPictureHasIsRefused) {
  // A file of known size is refused before a byte of it is read.
  FillerStream file(true);
  try {
    Decoded(file);
    FAIL() << "decoded";
  } catch (const plat::EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "JPEG picture is too large");
  }
  EXPECT_EQ(file.BytesRead(), 0);
  // Without a size, reading stops at the limit.
  FillerStream unsized(false);
  EXPECT_THROW(Decoded(unsized), plat::EInvalidGraphic);
  EXPECT_LE(unsized.BytesRead(), plat::MaxJpegBytes + (1 << 16));
}

}  // namespace
