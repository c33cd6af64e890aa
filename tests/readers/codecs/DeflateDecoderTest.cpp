#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "readers/codecs/Decoders.h"

namespace readers {
namespace {

std::vector<uint8_t> Compress(const std::vector<uint8_t>& Data) {
  uLongf size = compressBound(Data.size());
  std::vector<uint8_t> packed(size);
  EXPECT_EQ(compress2(packed.data(), &size, Data.data(), Data.size(), 6), Z_OK);
  packed.resize(size);
  return packed;
}

std::vector<uint8_t> SampleData() {
  std::vector<uint8_t> data(100000);
  std::mt19937 random(5);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i % 251 ^ (random() & 7));
  return data;
}

TEST(DeflateDecoder, PiecesDecodeLikeOneCallAndPointersMove) {
  const auto data = SampleData();
  const auto packed = Compress(data);
  for (size_t inPiece : {size_t{1}, size_t{7}, size_t{4096}, packed.size()}) {
    TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
    decoder.DecodeInit();
    std::vector<uint8_t> out(data.size());
    const uint8_t* source = packed.data();
    uint8_t* dest = out.data();
    while (decoder.ZLibResult() == Z_OK && source < packed.data() + packed.size()) {
      const auto available = static_cast<uint32_t>(
          std::min(inPiece, static_cast<size_t>(packed.data() + packed.size() - source)));
      const uint8_t* before = source;
      decoder.Decode(source, dest, available,
                     static_cast<uint32_t>(out.data() + out.size() - dest));
      EXPECT_EQ(source - before, available - decoder.AvailableInput());
    }
    EXPECT_EQ(decoder.ZLibResult(), Z_STREAM_END) << inPiece;
    EXPECT_EQ(dest, out.data() + out.size());
    EXPECT_EQ(out, data);
    decoder.DecodeEnd();
  }
}

TEST(DeflateDecoder, NothingMoreAfterTheStreamEndsUnlessReset) {
  const std::vector<uint8_t> data(300, 9);
  const auto packed = Compress(data);
  for (bool autoReset : {false, true}) {
    TLZ77Decoder decoder(Z_PARTIAL_FLUSH, autoReset);
    decoder.DecodeInit();
    std::vector<uint8_t> out(600, 0);
    const uint8_t* source = packed.data();
    uint8_t* dest = out.data();
    decoder.Decode(source, dest, static_cast<uint32_t>(packed.size()), 300);
    ASSERT_EQ(decoder.ZLibResult(), Z_STREAM_END);
    source = packed.data();
    decoder.Decode(source, dest, static_cast<uint32_t>(packed.size()), 300);
    EXPECT_EQ(dest - out.data(), autoReset ? 600 : 300);
    EXPECT_EQ(out[450], autoReset ? 9 : 0);
    decoder.DecodeEnd();
  }
}

TEST(DeflateDecoder, CorruptDataIsReportedInTheResult) {
  auto packed = Compress(SampleData());
  packed[0] ^= 0xFF;  // a broken zlib header
  TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
  decoder.DecodeInit();
  std::vector<uint8_t> out(1000);
  const uint8_t* source = packed.data();
  uint8_t* dest = out.data();
  decoder.Decode(source, dest, static_cast<uint32_t>(packed.size()), 1000);
  EXPECT_EQ(decoder.ZLibResult(), Z_DATA_ERROR);
  // Ending a stream that failed is still clean.
  EXPECT_NO_THROW(decoder.DecodeEnd());
}

}  // namespace
}  // namespace readers
