// The optimizer's adaptive timing, driven by a clock the test sets.
#include <gtest/gtest.h>

#include "graphics/layers/RepaintOptimizer.h"

namespace {

using namespace gfx;

class AdaptiveTiming : public ::testing::Test {
 protected:
  void SetUp() override {
    buffer.SetSize(200, 100);
    optimizer.SetClock({[this] { return micros; }, [this] { return millis; }});
    optimizer.RegisterLayerCollection(layers);
    optimizer.SetEnabled(true);
  }
  void TearDown() override { optimizer.UnregisterLayerCollection(layers); }

  // One buffer repaint that takes Duration microseconds and shows Rects rectangles (0: a full
  // repaint); returns how many rectangles the optimizer asked for.
  int Cycle(int64_t Duration, int Rects) {
    optimizer.BufferPaintStarting();
    optimizer.BuildInvalidRects();
    const int asked = invalid.Count();
    invalid.Clear();
    for (int i = 0; i < Rects; ++i) invalid.Add({i, 0, i + 1, 1});
    micros += Duration;
    optimizer.BufferPaintFinished();
    invalid.Clear();
    return asked;
  }

  int64_t micros = 0, millis = 0;
  TBitmap32 buffer;
  TRectList invalid;
  TLayerCollection layers{nullptr};
  TMicroTilesRepaintOptimizer optimizer{buffer, invalid};
};

TEST_F(AdaptiveTiming, SlowPartialRepaintsCoarsenAndDeadlinesRelax) {
  EXPECT_EQ(Cycle(100, 0), 1);  // the first paint is a full one
  EXPECT_EQ(optimizer.FullRepaintTime(), 100);
  EXPECT_EQ(optimizer.CoarseLevel(), 0);

  Cycle(150, 20);  // slower than a full repaint
  EXPECT_EQ(optimizer.CoarseLevel(), 1);
  Cycle(150, 20);
  EXPECT_EQ(optimizer.CoarseLevel(), 2);
  // Level 2 inside the check period: the next paint is a full one.
  layers.Add<TPositionedLayer>();
  EXPECT_EQ(Cycle(150, 20), 0);
  EXPECT_EQ(optimizer.CoarseLevel(), 2);

  millis = 5;      // past the deadline: one level down, and a check is due
  Cycle(150, 20);  // ... but slow again: back up, with a check period of 1000 ms
  EXPECT_EQ(optimizer.CoarseLevel(), 2);
  EXPECT_EQ(optimizer.CheckInterval(), 1000);
  EXPECT_FALSE(optimizer.CheckDue());

  millis = 2000;  // past 1005
  Cycle(50, 20);  // a fast repaint while the check is due: the short period again
  EXPECT_EQ(optimizer.CoarseLevel(), 1);
  EXPECT_FALSE(optimizer.CheckDue());
  EXPECT_EQ(optimizer.CheckInterval(), 1000);

  millis = 2500;  // inside the period, far fewer rectangles than at the raise: exact again
  Cycle(50, 3);
  EXPECT_EQ(optimizer.CoarseLevel(), 0);
}

TEST_F(AdaptiveTiming, RepeatedPenaltiesLengthenTheCheckPeriod) {
  Cycle(100, 0);
  Cycle(150, 20);  // level 1
  millis = 1;      // deadline 0 passed: level 0, check due
  Cycle(150, 20);  // raised with the check due: 1000 ms from now
  EXPECT_EQ(optimizer.CheckInterval(), 1000);
  millis = 1002;  // past 1001: down, due again
  Cycle(150, 20);
  EXPECT_EQ(optimizer.CheckInterval(), 1250);
  EXPECT_EQ(optimizer.CoarseLevel(), 1);
  millis = 3000;
  Cycle(100, 20);  // past 2252, then as fast as a full repaint and below the penalty: shorter
  EXPECT_EQ(optimizer.CoarseLevel(), 0);
  EXPECT_FALSE(optimizer.CheckDue());
  EXPECT_EQ(optimizer.CheckInterval(), 1000);
}

TEST_F(AdaptiveTiming, ClearingTheLayersStartsOver) {
  layers.Add<TPositionedLayer>();
  Cycle(100, 0);
  Cycle(150, 20);
  Cycle(150, 20);
  ASSERT_EQ(optimizer.CoarseLevel(), 2);
  layers.Clear();
  EXPECT_EQ(optimizer.CoarseLevel(), 0);
  EXPECT_EQ(optimizer.CheckInterval(), 1000);
}

TEST_F(AdaptiveTiming, WithoutAdaptiveTimingOnlyFullRepaintsAreTimed) {
  optimizer.SetAdaptiveTiming(false);
  Cycle(100, 0);
  Cycle(500, 20);
  EXPECT_EQ(optimizer.CoarseLevel(), 0);
  EXPECT_EQ(optimizer.FullRepaintTime(), 100);
}

}  // namespace
