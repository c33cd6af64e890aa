// Pattern brushes of both layouts repeated from the brush origin, monochrome patterns in the text
// and background colours, and bitmaps whose colour tables name entries of the selected palette.
#include <gtest/gtest.h>

#include "MetafileBuilder.h"

using namespace plat;
using namespace mftest;

namespace {

constexpr uint32_t kSetBrushOrg = 13, kSetTextColor = 24, kSetBkColor = 25, kSelectObject = 37;
constexpr uint32_t kRectangle = 43, kSelectPalette = 48, kCreatePalette = 49;
constexpr uint32_t kStretchDibits = 81, kCreateMonoBrush = 93, kCreateDibPatternBrush = 94;
constexpr uint32_t kNullPen = 0x80000008;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint16_t kDibPalColors = 1;

// Red, green / blue, white.
const std::vector<uint32_t> kFour = {kRed, kGreen, kBlue, kWhite};

}  // namespace

TEST(MetafilePattern, EnhancedPatternsRepeatFromTheBrushOrigin) {
  DibParts four, mono;
  four.info = Dib24(2, 2, kFour, &four.bits);
  // The table is upside down: a monochrome brush takes the text colour for 0 and the
  // background colour for 1 whatever the table says.
  mono.info = DibIndexed(1, 2, 1, {kWhite, 0}, {0, 1}, false, &mono.bits);
  Emf e;
  e.Rec(kSelectObject, {kNullPen});
  e.RecBytes(kCreateDibPatternBrush, EmfBrush(1, 0, four)).Rec(kSelectObject, {1});
  e.Rec(kRectangle, {10, 10, 30, 30});
  e.Rec(kSetBrushOrg, {1, 0}).Rec(kRectangle, {40, 10, 60, 30});
  e.Rec(kSetTextColor, {kRedRef}).Rec(kSetBkColor, {kBlueRef});
  e.RecBytes(kCreateMonoBrush, EmfBrush(2, 0, mono)).Rec(kSelectObject, {2});
  e.Rec(kRectangle, {10, 40, 30, 60});
  const Surface s = Render(*Load(e.Build(0, 0, 2540, 2540)));
  for (int y : {10, 20}) {
    EXPECT_EQ(s.At(10, y), kRed);
    EXPECT_EQ(s.At(11, y), kGreen);
    EXPECT_EQ(s.At(10, y + 1), kBlue);
    EXPECT_EQ(s.At(11, y + 1), kWhite);
    EXPECT_EQ(s.At(40, y), kGreen);  // one pixel on
    EXPECT_EQ(s.At(41, y), kRed);
  }
  EXPECT_EQ(s.At(30, 10), kGrey);
  EXPECT_EQ(s.At(11, 40), kRed);  // the origin stays where it was set
  EXPECT_EQ(s.At(12, 40), kBlue);
}

TEST(MetafilePattern, StandardPatternsIncludingMonochromeDeviceBitmaps) {
  // A 2 x 2 device bitmap of one bit a pixel, rows top first: 0 1 / 1 0.
  Le ddb;
  ddb.U16(0).U16(2).U16(2).U16(2).U8(1).U8(1).U32(0).Raw(std::string(18, '\0'));
  ddb.U8(0x40).U8(0).U8(0x80).U8(0);
  // A colour bitmap, and a one-bit bitmap recorded from a device bitmap (style BS_PATTERN), which
  // stays monochrome whatever its table says.
  DibParts four, mono;
  four.info = Dib24(2, 2, kFour, &four.bits);
  mono.info = DibIndexed(1, 2, 1, {kWhite, 0}, {0, 1}, false, &mono.bits);
  Wmf w;
  w.Rec(0x02FA, {PS_NULL, 0, 0, 0, 0}).Rec(0x012D, {0});
  w.Rec(0x0209, {Lo(kRedRef), Hi(kRedRef)}).Rec(0x0201, {Lo(kBlueRef), Hi(kBlueRef)});
  w.RecBytes(0x01F9, ddb.d).Rec(0x012D, {1}).Rec(0x041B, {30, 30, 10, 10});
  w.RecBytes(0x0142, Le().U16(5).U16(0).d + four.info + four.bits).Rec(0x012D, {2});
  w.Rec(0x041B, {30, 60, 10, 40});
  w.RecBytes(0x0142, Le().U16(BS_PATTERN).U16(0).d + mono.info + mono.bits).Rec(0x012D, {3});
  w.Rec(0x041B, {30, 90, 10, 70});
  const Surface s = Render(*Load(w.Placeable(0, 0, 96, 96, 96)));
  EXPECT_EQ(s.At(10, 10), kRed);
  EXPECT_EQ(s.At(11, 10), kBlue);
  EXPECT_EQ(s.At(10, 11), kBlue);
  EXPECT_EQ(s.At(11, 11), kRed);
  EXPECT_EQ(s.At(40, 10), kRed);
  EXPECT_EQ(s.At(41, 10), kGreen);
  EXPECT_EQ(s.At(40, 11), kBlue);
  EXPECT_EQ(s.At(41, 11), kWhite);
  EXPECT_EQ(s.At(70, 10), kRed);
  EXPECT_EQ(s.At(71, 10), kBlue);
  EXPECT_EQ(s.At(35, 20), kGrey);
}

TEST(MetafilePattern, PaletteIndexBitmapsTakeTheSelectedPalettesColours) {
  // Pixels 0 1 name table entries 0 and 1, which name palette entries 1 and 0: red, green.
  const DibParts dib = DibPaletteIndices(2, 1, {1, 0}, {0, 1});
  Emf e;
  e.RecBytes(kCreatePalette, Le().U32(3).d + PaletteEntries({kGreenRef, kRedRef}))
      .Rec(kSelectPalette, {3});
  e.Rec(kSelectObject, {kNullPen});
  e.RecBytes(kCreateDibPatternBrush, EmfBrush(1, kDibPalColors, dib)).Rec(kSelectObject, {1});
  e.Rec(kRectangle, {10, 10, 30, 30});
  e.RecBytes(kStretchDibits, EmfStretchDibits(40, 10, 0, 0, 2, 1, kDibPalColors, SRCCOPY, 20, 20,
                                              dib.info, dib.bits));
  const Surface es = Render(*Load(e.Build(0, 0, 2540, 2540)));

  Wmf w;
  w.RecBytes(0x00F7, PaletteEntries({kGreenRef, kRedRef})).Rec(0x0234, {0});
  w.Rec(0x02FA, {PS_NULL, 0, 0, 0, 0}).Rec(0x012D, {1});
  w.RecBytes(0x0142, Le().U16(5).U16(kDibPalColors).d + dib.info + dib.bits);
  w.Rec(0x012D, {2}).Rec(0x041B, {30, 30, 10, 10});
  w.RecBytes(0x0F43, Le().U32(SRCCOPY)
                             .U16(kDibPalColors)
                             .U16(1)
                             .U16(2)
                             .U16(0)
                             .U16(0)
                             .U16(20)
                             .U16(20)
                             .U16(10)
                             .U16(40)
                             .d +
                         dib.info + dib.bits);
  const Surface ws = Render(*Load(w.Placeable(0, 0, 96, 96, 96)));
  for (const Surface* s : {&es, &ws}) {
    EXPECT_EQ(s->At(10, 10), kRed);
    EXPECT_EQ(s->At(11, 10), kGreen);
    EXPECT_EQ(s->At(10, 11), kRed);
    EXPECT_EQ(s->At(45, 15), kRed);
    EXPECT_EQ(s->At(55, 15), kGreen);
    EXPECT_EQ(s->At(61, 15), kGrey);
  }
}
