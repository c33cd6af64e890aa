// What the bitmap reports as changed, with and without measuring mode.
#include <gtest/gtest.h>

#include <random>

#include "Helpers.h"
#include "graphics/bitmap/Bitmap32.h"

namespace {

using namespace gfx;
using bitmap_test::AreaReport;
using bitmap_test::FillRandom;
using bitmap_test::Pixels;
using bitmap_test::Recorder;
using bitmap_test::Rect;
using Reports = std::vector<AreaReport>;

class AreaReports : public testing::Test {
 protected:
  AreaReports() {
    bitmap.SetSize(10, 10);
    FillRandom(bitmap, 21);
  }
  TCustomBitmap32 bitmap;
};

TEST_F(AreaReports, FillsReportTheirRectangles) {
  Recorder recorder(bitmap);
  bitmap.SetClipRect({2, 2, 8, 8});
  // Clipped fills report the clipped rectangle twice (the fill itself, then the clipped call).
  bitmap.FillRectS(0, 0, 5, 5, 0xFF0000FF);
  EXPECT_EQ(recorder.reports, (Reports{Rect(2, 2, 5, 5), Rect(2, 2, 5, 5)}));
  recorder.reports.clear();
  // Entirely outside: nothing filled, the rectangle as given reported once.
  const auto before = Pixels(bitmap);
  bitmap.FillRectS(8, 8, 12, 12, 0xFF0000FF);
  EXPECT_EQ(recorder.reports, (Reports{Rect(8, 8, 12, 12)}));
  EXPECT_EQ(Pixels(bitmap), before);
  recorder.reports.clear();
  // A colour without alpha changes and reports nothing.
  bitmap.FillRectBlend(0, 0, 4, 4, 0x00FFFFFF);
  EXPECT_TRUE(recorder.reports.empty());
  EXPECT_EQ(Pixels(bitmap), before);
  // Clearing with a clip rectangle fills it and reports the bounds.
  bitmap.ClearWithColor(0xFF112233);
  EXPECT_EQ(recorder.reports.back(), Rect(0, 0, 10, 10));
  EXPECT_EQ(bitmap.Pixel(1, 1), before[11]);
  EXPECT_EQ(bitmap.Pixel(2, 2), 0xFF112233u);
}

TEST_F(AreaReports, ClippedLinesOrderAndClipTheirEnds) {
  Recorder recorder(bitmap);
  const auto before = Pixels(bitmap);
  bitmap.HorzLineBlendClipped(5, 0, 2, 0xFFABCDEF);
  for (int32_t x = 0; x < 10; ++x)
    EXPECT_EQ(bitmap.Pixel(x, 0), x >= 2 && x <= 5 ? 0xFFABCDEFu : before[x]);
  // The report ends one past the last pixel drawn.
  EXPECT_EQ(recorder.reports, (Reports{Rect(2, 0, 6, 1)}));
  recorder.reports.clear();
  bitmap.VertLineBlendClipped(3, -4, 20, 0xFF000001);
  EXPECT_EQ(recorder.reports, (Reports{Rect(3, 0, 4, 10)}));
  recorder.reports.clear();
  bitmap.HorzLineBlendClipped(0, 10, 9, 0xFF000001);  // below the clip rectangle
  EXPECT_TRUE(recorder.reports.empty());
}

TEST_F(AreaReports, FramesReportTheirSides) {
  Recorder recorder(bitmap);
  bitmap.FrameRectBlendClipped(1, 1, 5, 4, 0xFF000001);
  EXPECT_EQ(recorder.reports,
            (Reports{Rect(1, 1, 5, 2), Rect(1, 3, 5, 4), Rect(1, 2, 2, 3), Rect(4, 2, 5, 3)}));
  recorder.reports.clear();
  // Stippled sides run clockwise, descending ones included, and each covers its pixels.
  bitmap.SetStipplePattern({0xFFFFFFFF, 0xFF000000});
  bitmap.FrameRectStippled(2, 2, 6, 5);
  EXPECT_EQ(recorder.reports,
            (Reports{Rect(2, 2, 5, 3), Rect(5, 2, 6, 4), Rect(3, 4, 6, 5), Rect(2, 3, 3, 5)}));
}

TEST_F(AreaReports, MeasuringReportsWithoutDrawing) {
  Recorder measured(bitmap);  // only its handler is used
  Recorder owner(bitmap);
  const auto before = Pixels(bitmap);
  bitmap.StartMeasuring(measured.Handler());
  bitmap.SetClipRect({2, 2, 8, 8});
  bitmap.FillRectS(0, 0, 5, 5, 0xFF0000FF);
  bitmap.FillRectS(TRect{1, 1, 3, 3}, 0xFF0000FF);
  bitmap.ClearWithColor(0xFF00FF00);
  bitmap.HorzLineBlendClipped(9, 1, 0, 0xFF00FF00);
  bitmap.VertLineBlendClipped(1, 0, 9, 0xFF00FF00);
  bitmap.SetStipplePattern({0xFFFFFFFF, 0xFF000000});
  bitmap.HorzLineStippled(0, 3, 9);
  bitmap.FrameRectStippled(0, 0, 10, 10);
  bitmap.FrameRectStippled(4, 4, 5, 5);  // a single pixel
  bitmap.FrameRectBlendClipped(2, 2, 4, 3, 0xFF00FF00);
  bitmap.SetAllAlpha(7);
  bitmap.StopMeasuring();
  EXPECT_EQ(Pixels(bitmap), before);
  EXPECT_EQ(measured.reports,
            (Reports{Rect(0, 0, 5, 5), Rect(1, 1, 3, 3), Rect(0, 0, 10, 10), Rect(0, 1, 10, 2),
                     Rect(1, 0, 2, 10), Rect(0, 3, 10, 4), Rect(0, 0, 9, 1), Rect(9, 0, 10, 9),
                     Rect(1, 9, 10, 10), Rect(0, 1, 1, 10), Rect(4, 4, 5, 5), Rect(2, 2, 4, 3),
                     Rect(0, 0, 10, 10)}));
  EXPECT_EQ(owner.changes, 0);
  EXPECT_TRUE(owner.reports.empty());
  // The owner's handler is back.
  bitmap.Changed();
  EXPECT_EQ(owner.reports, (Reports{Rect(0, 0, 10, 10)}));
}

bool Covers(const Reports& reports, int32_t x, int32_t y) {
  for (const AreaReport& r : reports)
    if (x >= r.area.Left && x < r.area.Right && y >= r.area.Top && y < r.area.Bottom) return true;
  return false;
}

// Random lines and frames, blended and stippled, in any direction and under any clip rectangle:
// drawn, every changed pixel lies inside the clip and inside a report; measured, nothing changes
// and the reports still cover every pixel the drawing changes.
TEST(LineAreaReports, ReportsCoverEveryPixelDrawn) {
  std::mt19937 random(77);
  auto coordinate = [&](int32_t limit) {
    return std::uniform_int_distribution<int32_t>(-3, limit + 3)(random);
  };
  constexpr int32_t kSide = 12;
  for (uint32_t round = 0; round < 600; ++round) {
    const int32_t a = coordinate(kSide), b = coordinate(kSide), c = coordinate(kSide),
                  d = coordinate(kSide);
    const TRect clip{coordinate(kSide) / 2, coordinate(kSide) / 2, kSide / 2 + coordinate(kSide),
                     kSide / 2 + coordinate(kSide)};
    auto draw = [&](TCustomBitmap32& target) {
      const TColor32 value = 0xFF000000 | (round * 7919 + 1);
      switch (round % 6) {
        case 0:
          target.HorzLineBlendClipped(a, c, b, value);
          break;
        case 1:
          target.VertLineBlendClipped(a, c, d, value);
          break;
        case 2:
          target.FrameRectBlendClipped(a, c, b, d, value);
          break;
        case 3:
          target.HorzLineStippled(a, c, b);
          break;
        case 4:
          target.VertLineStippled(a, c, d);
          break;
        default:
          target.FrameRectStippled(a, c, a + round % 3, c + round / 6 % 3);
          break;
      }
    };
    TCustomBitmap32 drawn, measured;
    for (TCustomBitmap32* target : {&drawn, &measured}) {
      target->SetSize(kSide, kSide);
      target->Clear();
      target->SetClipRect(clip);
      target->SetStipplePattern({0xFFFFFFFF, 0xFF00FF00, 0xFFFF00FF});
    }
    Recorder drawing(drawn), measuring(measured);
    draw(drawn);
    measured.StartMeasuring(measuring.Handler());
    draw(measured);
    measured.StopMeasuring();
    for (const Reports* reports : {&drawing.reports, &measuring.reports})
      for (const AreaReport& r : *reports)
        ASSERT_TRUE(r.area.Left < r.area.Right && r.area.Top < r.area.Bottom) << round;
    for (int32_t y = 0; y < kSide; ++y) {
      for (int32_t x = 0; x < kSide; ++x) {
        ASSERT_EQ(measured.Pixel(x, y), 0xFF000000u) << round << " at " << x << "," << y;
        if (drawn.Pixel(x, y) == 0xFF000000u) continue;
        const TRect& k = drawn.ClipRect();
        ASSERT_TRUE(x >= k.Left && x < k.Right && y >= k.Top && y < k.Bottom)
            << round << " at " << x << "," << y;
        ASSERT_TRUE(Covers(drawing.reports, x, y)) << round << " at " << x << "," << y;
        ASSERT_TRUE(Covers(measuring.reports, x, y)) << round << " at " << x << "," << y;
      }
    }
  }
}

TEST_F(AreaReports, UpdateBracketHoldsEverythingBack) {
  Recorder recorder(bitmap);
  bitmap.BeginUpdate();
  bitmap.BeginUpdate();
  bitmap.FillRectS(0, 0, 3, 3, 0xFF000000);
  bitmap.Changed();
  bitmap.EndUpdate();
  bitmap.Changed();
  EXPECT_TRUE(recorder.reports.empty());
  bitmap.EndUpdate();
  EXPECT_TRUE(recorder.reports.empty());
  EXPECT_EQ(recorder.changes, 0);
  bitmap.Changed();
  EXPECT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.changes, 1);
}

TEST_F(AreaReports, EveryQuarterTurnInPlaceIsReported) {
  Recorder recorder(bitmap);
  bitmap.Rotate90();
  bitmap.Rotate270();
  bitmap.Rotate180();
  bitmap.FlipHorz();
  bitmap.FlipVert();
  EXPECT_EQ(recorder.reports, Reports(5, Rect(0, 0, 10, 10)));
  EXPECT_EQ(recorder.changes, 5);
}

}  // namespace
