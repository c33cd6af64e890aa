// Damaged variants of valid metafiles either load and draw, or raise EInvalidGraphic; absurd
// geometry draws in bounded time. The valid files double as the fuzz target's seeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "MetafileBuilder.h"

using namespace plat;
using namespace mftest;

namespace {

// One file per record family: shapes, text, bitmaps and paths in both kinds.
std::vector<std::pair<std::string, std::string>> Samples() {
  std::string bits;
  const std::string info = Dib24(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}, &bits);
  Le stretch;
  stretch.U32(SRCCOPY).U16(2).U16(2).U16(0).U16(0).U16(20).U16(20).U16(1).U16(1).Raw(info + bits);
  Le text;
  text.U16(3).Raw("abc").U8(0).U16(5).U16(5);
  const std::string wmf = Wmf()
                              .Rec(0x02FA, {0, 2, 0, Lo(kBlueRef), Hi(kBlueRef)})
                              .Rec(0x02FC, {2, Lo(kRedRef), Hi(kRedRef), 3})
                              .Rec(0x012D, {0})
                              .Rec(0x012D, {1})
                              .Rec(0x041B, {18, 18, 2, 2})
                              .Rec(0x0817, {0, 10, 10, 20, 20, 20, 0, 0})
                              .Rec(0x0538, {2, 3, 3, 0, 0, 9, 0, 0, 9, 2, 2, 6, 2, 2, 6})
                              .RecBytes(0x0B41, stretch.d)
                              .RecBytes(0x0521, text.d)
                              .Placeable(0, 0, 20, 20, 96);
  std::string emfBits;
  const std::string emfInfo = Dib24(1, 1, {0x123456}, &emfBits);
  Le dib;
  dib.U32(0).U32(0).U32(0).U32(0).U32(1).U32(1).U32(0).U32(0).U32(1).U32(1);
  dib.U32(80).U32(uint32_t(emfInfo.size())).U32(uint32_t(80 + emfInfo.size()));
  dib.U32(uint32_t(emfBits.size())).U32(0).U32(SRCCOPY).U32(8).U32(8).Raw(emfInfo + emfBits);
  Le wide;
  wide.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1).U32(2).U32(2).U32(2).U32(76).U32(4);
  wide.U32(0).U32(0).U32(10).U32(10).U32(0).U16('h').U16('i');
  const std::string emf =
      Emf()
          .Rec(38, {1, PS_DASH, 1, 0, kBlueRef})
          .Rec(37, {1})
          .Rec(59, {})
          .Rec(27, {1, 1})
          .Rec(88, {0, 0, 0, 0, 3, (5 << 16) | 9, (12 << 16) | 3, (15 << 16) | 15})
          .Rec(61, {})
          .Rec(60, {})
          .Rec(63, {0, 0, 0, 0})
          .Rec(45, {2, 2, 18, 18, 18, 10, 10, 2})
          .RecBytes(81, dib.d)
          .RecBytes(84, wide.d)
          .Build(0, 0, 529, 529);
  return {{"shapes.wmf", wmf}, {"paths.emf", emf}};
}

uint32_t Next(uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 8;
}

}  // namespace

TEST(MetafileRobustness, DamagedVariantsLoadOrFailCleanly) {
  int loaded = 0, refused = 0;
  uint32_t seed = 12345;
  for (const auto& [name, original] : Samples()) {
    ASSERT_NO_THROW(Render(*Load(original))) << name;
    for (int round = 0; round < 600; ++round) {
      std::string bytes = original;
      const int kind = int(Next(seed) % 3);
      if (kind == 0) {
        bytes.resize(Next(seed) % bytes.size());
      } else {
        const int flips = 1 + int(Next(seed) % 4);
        for (int i = 0; i < flips; ++i) {
          const size_t at = Next(seed) % bytes.size();
          bytes[at] = kind == 1 ? char(Next(seed)) : char(bytes[at] ^ 0x80);
        }
      }
      TMetafile m;
      try {
        LoadInto(m, bytes);
      } catch (const EInvalidGraphic&) {
        ++refused;
        continue;
      }
      ++loaded;
      // Drawn small, so a damaged size cannot make the test slow.
      Render(m, 24, 24, {0, 0, 24, 24});
    }
  }
  EXPECT_GT(loaded, 100);
  EXPECT_GT(refused, 100);
}

TEST(MetafileRobustness, AbsurdGeometryIsClippedToThePicture) {
  // Lines and shapes far beyond the picture, huge pens and fonts, extreme transforms.
  Le xform;
  xform.F32(1e30f).F32(0).F32(0).F32(-1e30f).F32(0).F32(0);
  Le nan;
  const uint32_t nanBits = 0x7FC00000;
  nan.U32(nanBits).U32(0).U32(0).U32(nanBits).U32(0).U32(0);
  Le font;
  font.U32(5).U32(uint32_t(-2000000000)).U32(0).U32(0).U32(0).U32(400).U32(0).U32(0);
  const std::string emf = Emf()
                              .Rec(38, {1, PS_SOLID, 0, 0, kBlueRef})
                              .Rec(37, {1})
                              .Rec(27, {-2000000000, -2000000000})
                              .Rec(54, {2000000000, 2000000000})
                              .Rec(4, {0, 0, 0, 0, 3, -2000000000, 5, 2000000000, 5, 5, 2000000000})
                              .Rec(38, {2, PS_SOLID, 2000000000, 0, kRedRef})
                              .Rec(37, {2})
                              .Rec(42, {-2000000000, -2000000000, 2000000000, 2000000000})
                              .RecBytes(82, font.d)
                              .Rec(37, {5})
                              .RecBytes(35, xform.d)
                              .Rec(43, {0, 0, 10, 10})
                              .RecBytes(35, nan.d)
                              .Rec(47, {0, 0, 10, 10, 10, 5, 5, 0})
                              .Build(0, 0, 2540, 2540);
  const Surface s = Render(*Load(emf));
  EXPECT_EQ(s.w, 96);

  // Transforms multiplied until they overflow are refused; drawing goes on with the last good one.
  Le huge;
  huge.F32(3e38f).F32(0).F32(0).F32(3e38f).F32(0).F32(0).U32(2);
  Emf growing;
  growing.Rec(38, {1, PS_SOLID, 3, 0, kRedRef}).Rec(37, {1}).RecBytes(82, font.d).Rec(37, {5});
  for (int i = 0; i < 12; ++i) growing.RecBytes(36, huge.d);
  growing.Rec(43, {0, 0, 1, 1}).Rec(44, {0, 0, 1, 1, 1, 1}).Rec(47, {0, 0, 1, 1, 1, 0, 0, 1});
  Le text;
  text.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1).U32(0).U32(0).U32(1).U32(76).U32(0);
  text.U32(0).U32(0).U32(0).U32(0).U32(0).U16('x');
  growing.RecBytes(84, text.d);
  EXPECT_EQ(Render(*Load(growing.Build(0, 0, 2540, 2540))).w, 96);
}

// Writes the samples as the fuzz target's seed corpus:
//   metafile_tests --gtest_also_run_disabled_tests --gtest_filter=*WriteFuzzSeeds
// with PIXSTAMP_SEED_DIR naming fuzz/corpus/metafile.
TEST(MetafileRobustness, DISABLED_WriteFuzzSeeds) {
  const char* dir = std::getenv("PIXSTAMP_SEED_DIR");
  ASSERT_NE(dir, nullptr);
  std::filesystem::create_directories(dir);
  for (const auto& [name, bytes] : Samples()) {
    TFileStream file(std::string(dir) + "/" + name, fmCreate);
    file.WriteBuffer(bytes);
  }
}
