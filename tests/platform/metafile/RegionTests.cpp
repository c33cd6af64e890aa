// Region records of both metafile kinds: fills, frames, paints and inversions of regions in
// logical units, regions as clips and moved clips, and regions that claim more than their
// record holds or reach far beyond the picture.
#include <gtest/gtest.h>

#include "MetafileBuilder.h"

using namespace plat;
using namespace mftest;

namespace {

enum : uint16_t {
  kWmfSetRop2 = 0x0104,
  kWmfInvertRegion = 0x012A,
  kWmfPaintRegion = 0x012B,
  kWmfSelectClipRegion = 0x012C,
  kWmfSelectObject = 0x012D,
  kWmfOffsetClipRgn = 0x0220,
  kWmfFillRegion = 0x0228,
  kWmfCreatePen = 0x02FA,
  kWmfCreateBrush = 0x02FC,
  kWmfRectangle = 0x041B,
  kWmfFrameRegion = 0x0429,
  kWmfCreateRegion = 0x06FF,
};
enum : uint32_t {
  kEmfSetRop2 = 20,
  kEmfOffsetClipRgn = 26,
  kEmfSetWorldTransform = 35,
  kEmfSelectObject = 37,
  kEmfCreateBrush = 39,
  kEmfFillRgn = 71,
  kEmfFrameRgn = 72,
  kEmfInvertRgn = 73,
  kEmfPaintRgn = 74,
  kEmfExtSelectClipRgn = 75,
};
constexpr int64_t kStockBlackBrush = 0x80000004;
constexpr uint32_t kInvertedGrey = 0x7F7F7F, kBlack = 0x000000;

// A rectangle's region of a standard metafile: rows top to bottom, columns left to right.
std::string WmfRect(int left, int top, int right, int bottom) {
  return WmfRegion({{top, bottom, {left, right}}});
}

// An enhanced region record: bounds, size of the region data, the values between (brush, or
// brush and frame size), then the data.
std::string EmfRegionParams(const std::string& data, std::initializer_list<int64_t> between) {
  Le r;
  r.U32(0).U32(0).U32(0).U32(0).U32(uint32_t(data.size()));
  for (int64_t v : between) r.U32(uint32_t(v));
  return r.Raw(data).d;
}

void ExpectPixels(const Surface& s, std::initializer_list<std::pair<int, int>> points,
                  uint32_t color) {
  for (auto [x, y] : points) EXPECT_EQ(s.At(x, y), color) << x << "," << y;
}

}  // namespace

TEST(MetafileRegions, WmfRegionsFillFramePaintAndInvertInLogicalUnits) {
  // 50 logical units on 100 pixels: every unit is two pixels.
  Wmf w;
  w.Rec(kWmfCreateBrush, {BS_SOLID, Lo(kRedRef), Hi(kRedRef), 0});    // 0
  w.Rec(kWmfCreateBrush, {BS_SOLID, Lo(kBlueRef), Hi(kBlueRef), 0});  // 1
  // 2: an L of two bands, the upper one wider.
  w.RecBytes(kWmfCreateRegion, WmfRegion({{2, 12, {2, 22}}, {12, 22, {2, 12}}}));
  w.RecBytes(kWmfCreateRegion, WmfRect(28, 2, 48, 22));   // 3
  w.RecBytes(kWmfCreateRegion, WmfRect(2, 28, 22, 48));   // 4
  w.RecBytes(kWmfCreateRegion, WmfRect(28, 28, 48, 48));  // 5
  w.Rec(kWmfFillRegion, {2, 0});
  w.Rec(kWmfFrameRegion, {3, 1, 1, 2});  // region, brush, height, width
  w.Rec(kWmfSelectObject, {1}).Rec(kWmfSetRop2, {R2_MERGEPEN}).Rec(kWmfPaintRegion, {4});
  w.Rec(kWmfInvertRegion, {5});
  const Surface s = Render(*Load(w.Placeable(0, 0, 50, 50, 48)));
  ASSERT_EQ(s.w, 100);

  ExpectPixels(s, {{4, 4}, {43, 4}, {43, 23}, {4, 43}, {23, 43}}, kRed);
  ExpectPixels(s, {{3, 10}, {44, 10}, {10, 44}, {24, 30}, {34, 34}}, kGrey);

  // The frame: four pixels across the sides, two across the top and bottom.
  ExpectPixels(s, {{56, 20}, {59, 20}, {92, 20}, {95, 20}, {76, 4}, {76, 5}, {76, 42}, {76, 43}},
               kBlue);
  ExpectPixels(s, {{55, 20}, {60, 20}, {91, 20}, {96, 20}, {76, 6}, {76, 41}, {76, 44}}, kGrey);

  // Painted with the selected brush merged into the grey; inverted.
  EXPECT_EQ(s.At(20, 70), kGrey | kBlue);
  EXPECT_EQ(s.At(3, 70), kGrey);
  EXPECT_EQ(s.At(70, 70), kInvertedGrey);
  EXPECT_EQ(s.At(96, 70), kGrey);
}

TEST(MetafileRegions, WmfRegionsClipAndMove) {
  Wmf w;
  w.Rec(kWmfCreateBrush, {BS_SOLID, Lo(kRedRef), Hi(kRedRef), 0});      // 0
  w.Rec(kWmfCreateBrush, {BS_SOLID, Lo(kBlueRef), Hi(kBlueRef), 0});    // 1
  w.Rec(kWmfCreateBrush, {BS_SOLID, Lo(kGreenRef), Hi(kGreenRef), 0});  // 2
  w.Rec(kWmfCreatePen, {PS_NULL, 0, 0, 0, 0});                          // 3
  w.RecBytes(kWmfCreateRegion, WmfRect(0, 0, 10, 10));                  // 4
  w.Rec(kWmfSelectObject, {3}).Rec(kWmfSelectObject, {0});
  w.Rec(kWmfSelectClipRegion, {4}).Rec(kWmfRectangle, {50, 50, 0, 0});
  // Twenty units to the right, drawn in blue.
  w.Rec(kWmfOffsetClipRgn, {0, 20}).Rec(kWmfSelectObject, {1}).Rec(kWmfRectangle, {50, 50, 0, 0});
  // Selecting the region object makes it the clip again, where it was made.
  w.Rec(kWmfSelectObject, {4}).Rec(kWmfSelectObject, {2}).Rec(kWmfRectangle, {12, 50, 0, 0});
  // A slot without a region removes the clip.
  w.Rec(kWmfSelectClipRegion, {9}).Rec(kWmfRectangle, {50, 50, 30, 0});
  const Surface s = Render(*Load(w.Placeable(0, 0, 50, 50, 48)));

  ExpectPixels(s, {{10, 10}, {19, 19}}, kGreen);
  ExpectPixels(s, {{40, 10}, {59, 19}}, kBlue);
  ExpectPixels(s, {{10, 22}, {20, 10}, {39, 10}, {60, 10}, {70, 40}}, kGrey);
  ExpectPixels(s, {{10, 60}, {90, 95}}, kGreen);
}

TEST(MetafileRegions, EmfRegionsFillFramePaintAndInvert) {
  Emf e;
  e.Rec(kEmfCreateBrush, {1, BS_SOLID, kRedRef, 0});
  e.Rec(kEmfCreateBrush, {2, BS_SOLID, kBlueRef, 0});
  // Two squares in logical units under a world transform that doubles them, in stock black.
  Le twice;
  twice.F32(2).F32(0).F32(0).F32(2).F32(0).F32(0);
  Le identity;
  identity.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0);
  e.RecBytes(kEmfSetWorldTransform, twice.d);
  e.RecBytes(kEmfFillRgn,
             EmfRegionParams(EmfRegionData({{2, 2, 12, 12}, {20, 2, 30, 12}}), {kStockBlackBrush}));
  e.RecBytes(kEmfSetWorldTransform, identity.d);
  e.RecBytes(kEmfFrameRgn, EmfRegionParams(EmfRegionData({{0, 40, 30, 70}}), {1, 3, 2}));
  e.RecBytes(kEmfInvertRgn, EmfRegionParams(EmfRegionData({{40, 40, 60, 60}}), {}));
  e.Rec(kEmfSelectObject, {2}).Rec(kEmfSetRop2, {R2_XORPEN});
  e.RecBytes(kEmfPaintRgn, EmfRegionParams(EmfRegionData({{70, 40, 90, 60}}), {}));
  // A brush slot that holds nothing draws nothing.
  e.RecBytes(kEmfFillRgn, EmfRegionParams(EmfRegionData({{0, 80, 96, 96}}), {7}));
  const Surface s = Render(*Load(e.Build(0, 0, 2540, 2540)));

  ExpectPixels(s, {{4, 4}, {23, 23}, {40, 4}, {59, 23}}, kBlack);
  ExpectPixels(s, {{3, 10}, {24, 10}, {30, 10}, {60, 10}, {10, 24}}, kGrey);
  ExpectPixels(s, {{0, 55}, {2, 55}, {27, 55}, {29, 55}, {15, 40}, {15, 41}, {15, 68}, {15, 69}},
               kRed);
  ExpectPixels(s, {{3, 55}, {26, 55}, {30, 55}, {15, 42}, {15, 67}, {15, 70}}, kGrey);
  EXPECT_EQ(s.At(50, 50), kInvertedGrey);
  EXPECT_EQ(s.At(80, 50), kGrey ^ kBlue);
  EXPECT_EQ(s.At(91, 50), kGrey);
  EXPECT_EQ(s.At(50, 90), kGrey);
}

TEST(MetafileRegions, EmfClipRegionsMoveByLogicalUnits) {
  Emf e;
  e.Rec(kEmfCreateBrush, {1, BS_SOLID, kRedRef, 0});
  e.RecBytes(kEmfExtSelectClipRgn, [] {
    const std::string data = EmfRegionData({{0, 75, 10, 85}});  // device pixels
    Le r;
    r.U32(uint32_t(data.size())).U32(RGN_COPY).Raw(data);
    return r.d;
  }());
  // Under a world transform that doubles, (10, 3) units move the clip by (20, 6) pixels.
  Le twice;
  twice.F32(2).F32(0).F32(0).F32(2).F32(0).F32(0);
  e.RecBytes(kEmfSetWorldTransform, twice.d).Rec(kEmfOffsetClipRgn, {10, 3});
  e.RecBytes(kEmfFillRgn, EmfRegionParams(EmfRegionData({{0, 35, 48, 48}}), {1}));
  const Surface s = Render(*Load(e.Build(0, 0, 2540, 2540)));
  ExpectPixels(s, {{20, 81}, {29, 90}}, kRed);
  ExpectPixels(s, {{5, 85}, {19, 85}, {30, 85}, {25, 80}, {25, 91}}, kGrey);
}

TEST(MetafileRegions, RegionsClaimingMoreThanTheirRecordHoldsAreRefused) {
  const auto refused = [](const std::string& file) {
    try {
      Load(file);
    } catch (const EInvalidGraphic& e) {
      return std::string(e.what()).find("truncated") != std::string::npos;
    }
    return false;
  };
  // Three scans declared, one written.
  std::string scans = WmfRect(0, 0, 10, 10);
  scans[10] = 3;
  EXPECT_TRUE(refused(Wmf().RecBytes(kWmfCreateRegion, scans).Placeable(0, 0, 20, 20, 96)));
  // A scan with 200 ends.
  std::string ends = WmfRect(0, 0, 10, 10);
  ends[22] = char(200);
  EXPECT_TRUE(refused(Wmf().RecBytes(kWmfCreateRegion, ends).Placeable(0, 0, 20, 20, 96)));

  // Region data claiming five rectangles while it holds one, though the record has room after it.
  std::string data = EmfRegionData({{0, 0, 10, 10}});
  data[8] = 5;
  const std::string padded = EmfRegionParams(data, {kStockBlackBrush}) + std::string(64, '\0');
  EXPECT_TRUE(refused(Emf().RecBytes(kEmfFillRgn, padded).Build(0, 0, 2540, 2540)));
  // Region data larger than the record.
  std::string longer = EmfRegionParams(EmfRegionData({{0, 0, 10, 10}}), {});
  longer[16] = char(200);
  EXPECT_TRUE(refused(Emf().RecBytes(kEmfInvertRgn, longer).Build(0, 0, 2540, 2540)));
}

TEST(MetafileRegions, HugeRegionsAreCutToThePicture) {
  // Eight thousand bands across the whole coordinate range of a standard metafile, each with
  // runs far beyond the picture, as a clip and as a fill.
  std::vector<Scan> bands;
  for (int i = 0; i < 8000; ++i) {
    bands.push_back({-32000 + 8 * i, -31996 + 8 * i, {-32768, -20000, -100, 32767}});
  }
  Wmf w;
  w.Rec(kWmfCreateBrush, {BS_SOLID, Lo(kRedRef), Hi(kRedRef), 0});
  w.RecBytes(kWmfCreateRegion, WmfRegion(bands));
  w.Rec(kWmfSelectClipRegion, {1}).Rec(kWmfFillRegion, {1, 0});
  const Surface ws = Render(*Load(w.Placeable(0, 0, 96, 96, 96)));
  ExpectPixels(ws, {{50, 1}, {95, 9}, {0, 91}}, kRed);  // bands on rows 0-3, 8-11, ...
  ExpectPixels(ws, {{50, 5}, {95, 14}, {0, 95}}, kGrey);

  // Twenty thousand overlapping rectangles of the whole 32-bit range under a turning transform.
  std::vector<std::array<int, 4>> rects(20000, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  Le turn;
  turn.F32(0.6f).F32(0.8f).F32(-0.8f).F32(0.6f).F32(0).F32(0);
  Emf e;
  e.RecBytes(kEmfSetWorldTransform, turn.d);
  e.RecBytes(kEmfFillRgn, EmfRegionParams(EmfRegionData(rects), {kStockBlackBrush}));
  const Surface es = Render(*Load(e.Build(0, 0, 2540, 2540)));
  ExpectPixels(es, {{0, 0}, {95, 0}, {50, 50}, {95, 95}}, kBlack);
}
