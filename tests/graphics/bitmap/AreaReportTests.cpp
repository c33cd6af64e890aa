// What the bitmap reports as changed, with and without measuring mode.
#include <gtest/gtest.h>

#include "Helpers.h"
#include "graphics/Bitmap32.h"

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
  // The right edge of the report is the last pixel, not one past it.
  EXPECT_EQ(recorder.reports, (Reports{Rect(2, 0, 5, 1)}));
  recorder.reports.clear();
  bitmap.VertLineBlendClipped(3, -4, 20, 0xFF000001);
  EXPECT_EQ(recorder.reports, (Reports{Rect(3, 0, 4, 9)}));
  recorder.reports.clear();
  bitmap.HorzLineBlendClipped(0, 10, 9, 0xFF000001);  // below the clip rectangle
  EXPECT_TRUE(recorder.reports.empty());
}

TEST_F(AreaReports, FramesReportTheirSides) {
  Recorder recorder(bitmap);
  bitmap.FrameRectBlendClipped(1, 1, 5, 4, 0xFF000001);
  EXPECT_EQ(recorder.reports,
            (Reports{Rect(1, 1, 4, 2), Rect(1, 3, 4, 4), Rect(1, 2, 2, 2), Rect(4, 2, 5, 2)}));
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
  bitmap.SetAllAlpha(7);
  bitmap.StopMeasuring();
  EXPECT_EQ(Pixels(bitmap), before);
  EXPECT_EQ(measured.reports,
            (Reports{Rect(0, 0, 5, 5), Rect(1, 1, 3, 3), Rect(0, 0, 10, 10), Rect(9, 1, 0, 2),
                     Rect(1, 0, 2, 9), Rect(0, 3, 9, 4), Rect(0, 0, 8, 1), Rect(9, 0, 10, 8),
                     Rect(9, 9, 1, 10), Rect(0, 9, 1, 1), Rect(0, 0, 10, 10)}));
  EXPECT_EQ(owner.changes, 0);
  EXPECT_TRUE(owner.reports.empty());
  // The owner's handler is back.
  bitmap.Changed();
  EXPECT_EQ(owner.reports, (Reports{Rect(0, 0, 10, 10)}));
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
