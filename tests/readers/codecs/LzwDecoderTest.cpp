#include <gtest/gtest.h>

#include <random>

#include "readers/codecs/Decoders.h"
#include "tests/readers/LzwTestEncoder.h"

namespace readers {
namespace {

using testing::LzwEncode;
using testing::TCodeWriter;

// Decodes into a buffer pre-filled with a sentinel so untouched bytes show.
std::vector<uint8_t> Expand(const std::vector<uint8_t>& Packed, uint8_t CodeSize, size_t Unpacked,
                            uint8_t Sentinel = 0xEE) {
  std::vector<uint8_t> out(Unpacked, Sentinel);
  const uint8_t* source = Packed.data();
  uint8_t* dest = out.data();
  TGIFLZWDecoder decoder(CodeSize);
  decoder.Decode(source, dest, static_cast<uint32_t>(Packed.size()),
                 static_cast<uint32_t>(Unpacked));
  EXPECT_EQ(source, Packed.data());
  EXPECT_EQ(dest, out.data());
  return out;
}

std::vector<uint8_t> Codes(std::initializer_list<std::pair<uint32_t, int>> CodesAndWidths) {
  TCodeWriter writer;
  for (auto [code, width] : CodesAndWidths) writer.Put(code, width);
  return writer.Finish();
}

TEST(GifLzwDecoder, CodeBeingDefinedAndWidthGrowth) {
  // Clear, 1, 1, then code 7: the entry being defined at that moment; afterwards codes are
  // 4 bits wide, so a 4-bit 6 ("1 1") follows.
  const auto packed = Codes({{4, 3}, {1, 3}, {1, 3}, {7, 3}, {6, 4}, {5, 4}});
  EXPECT_EQ(Expand(packed, 2, 8), (std::vector<uint8_t>{1, 1, 1, 1, 1, 1, 0xEE, 0xEE}));
}

TEST(GifLzwDecoder, RoundTripsEncoderOutputWithAndWithoutClearWhenFull) {
  std::mt19937 random(7);
  for (int codeSize = 0; codeSize <= 8; ++codeSize) {
    for (bool clearWhenFull : {true, false}) {
      // Few distinct runs fill the 4096-entry table quickly; noise keeps chains short.
      std::vector<uint8_t> pixels(60000);
      std::uniform_int_distribution<int> index(0, (1 << codeSize) - 1);
      for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (i / 300) % 2 ? static_cast<uint8_t>(index(random))
                                  : static_cast<uint8_t>((i / 7) % (1 << codeSize));
      const auto packed = LzwEncode(pixels, codeSize, clearWhenFull);
      EXPECT_EQ(Expand(packed, static_cast<uint8_t>(codeSize), pixels.size()), pixels)
          << "code size " << codeSize << (clearWhenFull ? " with clears" : " deferred clear");
    }
  }
}

TEST(GifLzwDecoder, OutputStopsAtTheWantedCount) {
  std::vector<uint8_t> pixels(5000, 3);  // long chains that cross the limit
  const auto packed = LzwEncode(pixels, 2, true);
  const auto out = Expand(packed, 2, 4001);
  EXPECT_EQ(out, std::vector<uint8_t>(4001, 3));
  EXPECT_EQ(Expand(packed, 2, 0), std::vector<uint8_t>{});
  std::vector<uint8_t> none;
  EXPECT_EQ(Expand(none, 2, 4), std::vector<uint8_t>(4, 0xEE));
}

TEST(GifLzwDecoder, MalformedStreamsStopWithoutTouchingTheRest) {
  // An end code in the middle ends decoding; the codes after it are not read.
  EXPECT_EQ(Expand(Codes({{4, 3}, {2, 3}, {5, 3}, {3, 3}, {3, 3}}), 2, 4),
            (std::vector<uint8_t>{2, 0xEE, 0xEE, 0xEE}));
  // A code beyond the next free one (6 is next; 7 is not defined yet).
  EXPECT_EQ(Expand(Codes({{4, 3}, {2, 3}, {7, 3}, {1, 3}}), 2, 4),
            (std::vector<uint8_t>{2, 0xEE, 0xEE, 0xEE}));
  // A first code that is not a root, at the start and after a clear.
  EXPECT_EQ(Expand(Codes({{4, 3}, {6, 3}, {1, 3}}), 2, 3), std::vector<uint8_t>(3, 0xEE));
  EXPECT_EQ(Expand(Codes({{4, 3}, {1, 3}, {4, 3}, {6, 3}, {1, 3}}), 2, 3),
            (std::vector<uint8_t>{1, 0xEE, 0xEE}));
  // Clear then end.
  EXPECT_EQ(Expand(Codes({{4, 3}, {5, 3}, {1, 3}}), 2, 2), std::vector<uint8_t>(2, 0xEE));
  // A stream that never clears starts with root codes all the same.
  EXPECT_EQ(Expand(Codes({{1, 3}, {2, 3}}), 2, 2), (std::vector<uint8_t>{1, 2}));
  // Minimum code sizes beyond the table decode nothing.
  EXPECT_EQ(Expand(Codes({{0, 13}, {1, 13}}), 12, 2), std::vector<uint8_t>(2, 0xEE));
  EXPECT_EQ(Expand(Codes({{0, 8}}), 255, 2), std::vector<uint8_t>(2, 0xEE));
}

TEST(GifLzwDecoder, FullTableKeepsItsLastEntry) {
  // Alternating roots 0 and 1 define one two-byte entry per code until all 4096 exist; then
  // code 4095 is sent 1000 times without a clear: each repeats entry 4095 ("1 0" or "0 1")
  // and defines nothing.
  TCodeWriter writer;
  uint32_t freeCode = 6;
  int width = 3;
  writer.Put(4, width);
  std::vector<uint8_t> expected;
  bool first = true;
  auto put = [&](uint32_t Code, std::vector<uint8_t> Text) {
    writer.Put(Code, width);
    expected.insert(expected.end(), Text.begin(), Text.end());
    if (!first && freeCode < 4096) {
      ++freeCode;
      if (freeCode == (1u << width) && width < 12) ++width;
    }
    first = false;
  };
  uint8_t root = 0;
  while (freeCode < 4096) {
    put(root, {root});
    root ^= 1;
  }
  // Entry 4095 was defined by the last root code: the root before it, then that root.
  const std::vector<uint8_t> last = {static_cast<uint8_t>(root), static_cast<uint8_t>(root ^ 1)};
  for (int i = 0; i < 1000; ++i) put(4095, last);
  writer.Put(5, width);
  EXPECT_EQ(Expand(writer.Finish(), 2, expected.size() + 10), [&] {
    auto withTail = expected;
    withTail.resize(expected.size() + 10, 0xEE);
    return withTail;
  }());
}

TEST(GifLzwDecoder, RandomGarbageNeverOverrunsTheOutput) {
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> garbage(1 + random() % 3000);
    for (auto& byte : garbage) byte = static_cast<uint8_t>(random());
    const auto codeSize = static_cast<uint8_t>(1 + random() % 11);
    const size_t wanted = random() % 20000;
    // The vector's own bounds are checked by the address sanitizer.
    EXPECT_EQ(Expand(garbage, codeSize, wanted).size(), wanted);
  }
}

}  // namespace
}  // namespace readers
