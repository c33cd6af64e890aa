// Metafile headers: picture sizes from both kinds, the picture table, saving, refusal of damaged
// files, and the alpha a metafile gets when the engine loads it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "MetafileBuilder.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/pictures/Picture.h"

using namespace plat;
using namespace mftest;

namespace {

constexpr uint16_t kSetWindowOrg = 0x020B, kSetWindowExt = 0x020C, kRectangle = 0x041B;
constexpr uint16_t kPolygon = 0x0324, kPolyPolygon = 0x0538, kTextOut = 0x0521;
constexpr uint32_t kEmrPolygon = 3, kEmrExtTextOutW = 84, kEmrRectangle = 43;

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("pixstamp-metafile-" + name)).string();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  TFileStream file(path, fmCreate);
  file.WriteBuffer(bytes);
}

}  // namespace

TEST(MetafileSize, PlaceableStandardAndEnhancedHeaders) {
  // Placeable: bounds over units per inch, at 96 pixels per inch, whatever the origin.
  auto m = Load(Wmf().Placeable(0, 0, 1440, 720, 1440));
  EXPECT_FALSE(m->Enhanced());
  EXPECT_EQ(m->Width(), 96);
  EXPECT_EQ(m->Height(), 48);
  m = Load(Wmf().Placeable(-10, 5, 90, 55, 96));
  EXPECT_EQ(m->Width(), 100);
  EXPECT_EQ(m->Height(), 50);
  // 100 units at 1000 per inch are 9.6 pixels: rounded to 10.
  m = Load(Wmf().Placeable(0, 0, 100, 100, 1000));
  EXPECT_EQ(m->Width(), 10);

  // Standard: the first window the file sets, in pixels.
  m = Load(Wmf()
               .Rec(kSetWindowOrg, {7, 3})
               .Rec(kSetWindowExt, {30, 40})
               .Rec(kSetWindowExt, {5, 5})
               .Standard());
  EXPECT_EQ(m->Width(), 40);
  EXPECT_EQ(m->Height(), 30);

  // Enhanced: the frame in hundredths of a millimetre at 96 dpi (2540 of them to the inch).
  m = Load(Emf().Build(0, 0, 2540, 1270));
  EXPECT_TRUE(m->Enhanced());
  EXPECT_EQ(m->Width(), 96);
  EXPECT_EQ(m->Height(), 48);
  m = Load(Emf().Build(100, 100, 1099, 354));  // 999 x 254: 37.76 and 9.6 pixels
  EXPECT_EQ(m->Width(), 38);
  EXPECT_EQ(m->Height(), 10);
  // The recording device's resolution does not change the size, only the drawing's scale.
  m = Load(Emf().Build(0, 0, 2540, 2540, 600, 600, 100, 100));
  EXPECT_EQ(m->Width(), 96);
}

TEST(MetafileSize, PictureTableOpensBothKindsAndSavesTheBytes) {
  EXPECT_EQ(TPicture::FindFileFormat("wmf"), &TMetafile::StaticClass());
  EXPECT_EQ(TPicture::FindFileFormat("EMF"), &TMetafile::StaticClass());

  const std::string wmf = Wmf().Rec(kRectangle, {20, 20, 0, 0}).Placeable(0, 0, 20, 20, 96);
  const std::string emf = Emf().Rec(kEmrRectangle, {0, 0, 10, 10}).Build(0, 0, 1270, 2540);
  for (const auto& [name, bytes, w, h] : {std::tuple{std::string("a.wmf"), wmf, 20, 20},
                                          std::tuple{std::string("b.EMF"), emf, 48, 96}}) {
    const std::string path = TempPath(name);
    WriteFile(path, bytes);
    TPicture picture;
    picture.LoadFromFile(path);
    ASSERT_NE(dynamic_cast<TMetafile*>(picture.Graphic()), nullptr) << name;
    EXPECT_EQ(picture.Width(), w) << name;
    EXPECT_EQ(picture.Height(), h) << name;
    TMemoryStream saved;
    picture.Graphic()->SaveToStream(saved);
    EXPECT_EQ(std::string(static_cast<const char*>(saved.Memory()), size_t(saved.Size())), bytes);

    TMetafile copy;
    copy.Assign(*picture.Graphic());
    EXPECT_EQ(copy.Width(), w);
    EXPECT_EQ(Render(copy).px, Render(*static_cast<TMetafile*>(picture.Graphic())).px);
    std::remove(path.c_str());
  }
}

TEST(MetafileSize, DamagedFilesAreRefusedAndTheOldPictureStays) {
  const std::string good = Wmf().Placeable(0, 0, 96, 48, 96);
  std::string tooShortRecord = Wmf().Rec(kRectangle, {1, 1, 0, 0}).Placeable(0, 0, 9, 9, 96);
  tooShortRecord[22 + 18] = 2;  // a record of two words cannot hold its own header
  std::string pastTheEnd = Wmf().Rec(kRectangle, {1, 1, 0, 0}).Standard();
  pastTheEnd[18] = 100;
  std::string emfRecordPastEnd = Emf().Rec(kEmrRectangle, {0, 0, 1, 1}).Build(0, 0, 100, 100);
  emfRecordPastEnd[88 + 4] = char(200);
  std::string emfOddSize = Emf().Rec(kEmrRectangle, {0, 0, 1, 1}).Build(0, 0, 100, 100);
  emfOddSize[88 + 4] = 26;
  std::string emfHeaderTooLong = Emf().Build(0, 0, 100, 100);
  emfHeaderTooLong[4] = char(0xF0);

  const std::pair<const char*, std::string> bad[] = {
      {"empty", ""},
      {"text", "hello, this is not a picture at all"},
      {"placeable without units", Wmf().Placeable(0, 0, 10, 10, 0)},
      {"empty bounds", Wmf().Placeable(5, 0, 5, 10, 96)},
      {"placeable without header", Wmf().Placeable(0, 0, 10, 10, 96).substr(0, 30)},
      {"bad header kind", "\x03\x00\x09\x00" + Wmf().Standard().substr(4)},
      {"record shorter than its header", tooShortRecord},
      {"record past the end", pastTheEnd},
      {"polygon count beyond the record",
       Wmf().Rec(kPolygon, {1000, 1, 1, 2, 2}).Placeable(0, 0, 9, 9, 96)},
      {"polypolygon counts beyond the record",
       Wmf().Rec(kPolyPolygon, {2, 3, 60000, 0, 0, 1, 1, 2, 2}).Placeable(0, 0, 9, 9, 96)},
      {"text beyond the record", Wmf().Rec(kTextOut, {5000, 0x4141}).Placeable(0, 0, 9, 9, 96)},
      {"standard without a window", Wmf().Rec(kRectangle, {1, 1, 0, 0}).Standard()},
      {"too large", Wmf().Placeable(0, 0, 32000, 10, 1)},
      {"enhanced record past the end", emfRecordPastEnd},
      {"enhanced record of odd size", emfOddSize},
      {"enhanced header longer than the file", emfHeaderTooLong},
      {"enhanced without frame or bounds", Emf().Build(0, 0, 0, 0)},
      {"enhanced polygon count",
       Emf().Rec(kEmrPolygon, {0, 0, 0, 0, 0x40000000, 1, 1}).Build(0, 0, 100, 100)},
      {"enhanced text offset",
       Emf()
           .Rec(kEmrExtTextOutW, {0, 0, 0, 0, 1, 0, 0, 0, 0, 4, 0x7FFFFFF0, 0, 0, 0, 0, 0, 0})
           .Build(0, 0, 100, 100)},
  };
  for (const auto& [why, bytes] : bad) {
    auto m = Load(good);
    const std::vector<uint32_t> before = Render(*m).px;
    EXPECT_THROW(LoadInto(*m, bytes), EInvalidGraphic) << why;
    EXPECT_EQ(m->Width(), 96) << why;
    EXPECT_EQ(m->Height(), 48) << why;
    EXPECT_EQ(Render(*m).px, before) << why;
  }
}

TEST(MetafileSize, NewerInterfaceOnlyPicturesAreRefusedAndDualOnesPlayTheirClassicHalf) {
  const auto picture = [](uint16_t headerFlags) {
    return Emf()
        .RecBytes(70, EmfPlusComment(headerFlags))
        .Rec(39, {1, BS_SOLID, kGreenRef, 0})
        .Rec(37, {1})
        .Rec(43, {10, 10, 20, 20})
        .Build(0, 0, 2540, 2540);
  };
  auto m = Load(Wmf().Placeable(0, 0, 96, 48, 96));
  try {
    LoadInto(*m, picture(0));
    ADD_FAILURE() << "loaded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "EMF+ pictures are not supported");
  }
  EXPECT_FALSE(m->Enhanced());
  EXPECT_EQ(m->Height(), 48);

  const Surface dual = Render(*Load(picture(1)));
  EXPECT_EQ(dual.At(15, 15), kGreen);
  EXPECT_EQ(dual.At(30, 30), kGrey);
}

TEST(MetafileSize, EngineLoadMakesTheBackgroundTransparent) {
  // A red square on the right half; the left half is never drawn.
  const std::string path = TempPath("alpha.wmf");
  WriteFile(path, Wmf()
                      .Rec(0x02FC, {0, Lo(kRedRef), Hi(kRedRef), 0})  // solid brush
                      .Rec(0x02FA, {5, 0, 0, 0, 0})                   // null pen
                      .Rec(0x012D, {0})
                      .Rec(0x012D, {1})
                      .Rec(kRectangle, {20, 20, 0, 10})
                      .Placeable(0, 0, 20, 20, 96));
  gfx::TBitmap32 bitmap;
  bitmap.LoadFromFile(path);
  std::remove(path.c_str());
  ASSERT_EQ(bitmap.Width(), 20);
  ASSERT_EQ(bitmap.Height(), 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const uint32_t p = bitmap.Pixel(x, y);
      if (x < 10) {
        ASSERT_EQ(p >> 24, 0u) << x << "," << y;
      } else {
        ASSERT_EQ(p, 0xFFFF0000u) << x << "," << y;
      }
    }
  }
}

TEST(MetafileSize, EngineLoadKeepsTheCoverageOfSmoothEdges) {
  // Smoothed text: its edges cover pixels partly, and the loaded picture keeps that coverage as
  // alpha, so drawn over either background it looks as the file drawn there directly.
  Le font;
  font.U32(1).U32(uint32_t(-30)).U32(0).U32(0).U32(0).U32(700).U32(0).U32(0);
  const std::u16string face = u"DejaVu Sans";
  for (int i = 0; i < 32; ++i) font.U16(i < int(face.size()) ? face[size_t(i)] : 0);
  Le text;
  text.U32(0).U32(0).U32(0).U32(0).U32(1).F32(1).F32(1).U32(4).U32(4).U32(5).U32(76).U32(0);
  text.U32(0).U32(0).U32(0).U32(0).U32(0).U16('H').U16('E').U16('L').U16('L').U16('O');
  const std::string emf = Emf()
                              .RecBytes(82, font.d)
                              .Rec(37, {1})
                              .Rec(24, {0x206040})
                              .Rec(18, {TRANSPARENT})
                              .RecBytes(84, text.d)
                              .Build(0, 0, 3175, 1058);
  const std::string path = TempPath("smooth.emf");
  WriteFile(path, emf);
  gfx::TBitmap32 bitmap;
  bitmap.LoadFromFile(path);
  std::remove(path.c_str());
  const auto m = Load(emf);
  const Surface white = Render(*m, 0xFFFFFFFF), red = Render(*m, 0xFFFF0000);
  ASSERT_EQ(bitmap.Width(), white.w);
  ASSERT_EQ(bitmap.Height(), white.h);
  int partial = 0, opaque = 0;
  for (int y = 0; y < white.h; ++y) {
    for (int x = 0; x < white.w; ++x) {
      const uint32_t p = bitmap.Pixel(x, y);
      const int a = int(p >> 24);
      partial += a > 0 && a < 255;
      opaque += a == 255;
      for (int c = 0; c < 3; ++c) {
        const int colour = int(p >> (8 * c)) & 0xFF;
        const int overWhite = (colour * a + 255 * (255 - a) + 127) / 255;
        const int overRed = (colour * a + (c == 2 ? 255 : 0) * (255 - a) + 127) / 255;
        ASSERT_NEAR(overWhite, int(white.At(x, y) >> (8 * c)) & 0xFF, 2) << x << "," << y;
        ASSERT_NEAR(overRed, int(red.At(x, y) >> (8 * c)) & 0xFF, 2) << x << "," << y;
      }
    }
  }
  EXPECT_GT(partial, 100);
  EXPECT_GT(opaque, 100);
  EXPECT_EQ(bitmap.Pixel(0, 0), 0x00FFFFFFu);  // untouched: transparent as before
}
