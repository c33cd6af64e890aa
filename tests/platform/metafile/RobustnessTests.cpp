// Damaged variants of valid metafiles either load and draw, or raise EInvalidGraphic; absurd
// geometry draws in bounded time. The valid files double as the fuzz target's seeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "MetafileBuilder.h"
#include "Samples.h"

using namespace plat;
using namespace mftest;

namespace {

uint32_t Next(uint32_t& seed) {
  seed = seed * 1664525u + 1013904223u;
  return seed >> 8;
}

}  // namespace

TEST(MetafileRobustness, DamagedVariantsLoadOrFailCleanly) {
  int loaded = 0, refused = 0;
  uint32_t seed = 12345;
  for (const auto& [name, original] : MetafileSamples()) {
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

TEST(MetafileRobustness, BitmapsClaimingMoreThanTheirRecordHoldsAreSkipped) {
  // A core header of eight bits needs a 768-byte colour table; the record holds four bytes.
  Le core;
  core.U32(12).U16(2).U16(2).U16(1).U16(8).U32(0);
  Le stretch;  // rop, source h, w, y, x, destination h, w, y, x, then the bitmap
  stretch.U32(SRCCOPY).U16(2).U16(2).U16(0).U16(0).U16(10).U16(10).U16(0).U16(0).Raw(core.d);
  Le pattern;  // style, usage, then the bitmap
  pattern.U16(5).U16(0).Raw(core.d);
  const std::string wmf = Wmf()
                              .RecBytes(0x0B41, stretch.d)
                              .RecBytes(0x0142, pattern.d)
                              .Rec(0x02FC, {BS_SOLID, Lo(kRedRef), Hi(kRedRef), 0})
                              .Rec(0x02FA, {PS_NULL, 0, 0, 0, 0})
                              .Rec(0x012D, {1})
                              .Rec(0x012D, {2})
                              .Rec(0x041B, {20, 20, 15, 15})
                              .Placeable(0, 0, 20, 20, 96);
  const Surface w = Render(*Load(wmf));
  EXPECT_EQ(w.At(5, 5), kGrey);
  EXPECT_EQ(w.At(17, 17), kRed);  // the records after them play, in their object slots

  // An info block of 40 bytes whose header asks for 256 colours behind it.
  Le info;
  info.U32(40).U32(1).U32(1).U16(1).U16(8).U32(0).U32(0).U32(0).U32(0).U32(256).U32(0);
  Le dib;
  dib.U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(1).U32(1);
  dib.U32(80).U32(40).U32(120).U32(4).U32(0).U32(SRCCOPY).U32(10).U32(10).Raw(info.d).U32(0);
  const Surface e = Render(*Load(Emf().RecBytes(81, dib.d).Build(0, 0, 529, 529)));
  EXPECT_EQ(e.At(5, 5), kGrey);
}

TEST(MetafileRobustness, FarOutClipPathsAreCutToThePicture) {
  // A triangle 200 000 rows tall whose long side crosses the picture on its diagonal: only the
  // part over the picture becomes the clip (a region of all its rows would be empty, and slow to
  // build at a tenth of the size).
  const std::string emf = ClipPathFill({{{0, 0}, {0, 200000}, {200000, 200000}}});
  const Surface s = Render(*Load(emf));
  EXPECT_EQ(s.At(10, 50), kRed);
  EXPECT_EQ(s.At(80, 90), kRed);
  EXPECT_EQ(s.At(50, 10), kGrey);
  EXPECT_EQ(s.At(90, 80), kGrey);
}

// Writes the samples as the fuzz target's seed corpus:
//   metafile_tests --gtest_also_run_disabled_tests --gtest_filter=*WriteFuzzSeeds
// with PIXSTAMP_SEED_DIR naming fuzz/corpus/metafile.
TEST(MetafileRobustness, DISABLED_WriteFuzzSeeds) {
  const char* dir = std::getenv("PIXSTAMP_SEED_DIR");
  ASSERT_NE(dir, nullptr);
  std::filesystem::create_directories(dir);
  for (const auto& [name, bytes] : MetafileSamples()) {
    TFileStream file(std::string(dir) + "/" + name, fmCreate);
    file.WriteBuffer(bytes);
  }
}
