// The rubber band: hit zones, drags and resizes, the child layer and the painted frame.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#include "graphics/layers/RubberBand.h"
#include "tests/graphics/layers/microtiles/PixelMask.h"

namespace {

using namespace gfx;

class RubberBandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    band.SetLocation({10, 10, 110, 60});
    band.OnUserChange = [this](plat::TObject*) { ++userChanges; };
  }
  void Drag(int FromX, int FromY, int ToX, int ToY) {
    layers.MouseDown(plat::mbLeft, 0, FromX, FromY);
    layers.MouseMove(0, ToX, ToY);
    layers.MouseUp(plat::mbLeft, 0, ToX, ToY);
  }

  TLayerCollection layers{nullptr};
  TRubberbandLayer& band = layers.Add<TRubberbandLayer>();
  int userChanges = 0;
};

TEST_F(RubberBandTest, HandlesAreFoundWithinTheTolerance) {
  // Frame pixels 10..109 by 10..59; handle size 3 gives a tolerance of 4.
  EXPECT_EQ(band.GetHandleAt(6, 34), DragSizeLeft);
  EXPECT_EQ(band.GetHandleAt(5, 34), DragNone);
  EXPECT_EQ(band.GetHandleAt(113, 34), DragSizeRight);
  EXPECT_EQ(band.GetHandleAt(59, 6), DragSizeTop);
  EXPECT_EQ(band.GetHandleAt(55, 63), DragSizeBottom);
  EXPECT_EQ(band.GetHandleAt(8, 8), DragSizeTopLeft);
  EXPECT_EQ(band.GetHandleAt(112, 9), DragSizeTopRight);
  EXPECT_EQ(band.GetHandleAt(7, 62), DragSizeBottomLeft);
  EXPECT_EQ(band.GetHandleAt(109, 59), DragSizeBottomRight);
  EXPECT_EQ(band.GetHandleAt(50, 30), DragMove);
  EXPECT_EQ(band.GetHandleAt(100, 20), DragMove);
  EXPECT_EQ(band.GetHandleAt(109, 20), DragNone);  // the last column is outside
  EXPECT_EQ(band.GetHandleAt(200, 30), DragNone);
  // Near a corner and a side at once, the corner wins.
  band.SetLocation({0, 0, 8, 8});
  EXPECT_EQ(band.GetHandleAt(1, 1), DragSizeTopLeft);
  EXPECT_EQ(band.GetHandleAt(6, 6), DragSizeBottomRight);
}

TEST_F(RubberBandTest, OptionsDecideWhichHandlesExist) {
  band.SetOptions(RubberbandOptionMove);
  EXPECT_EQ(band.GetHandleAt(6, 34), DragNone);
  EXPECT_EQ(band.GetHandleAt(10, 34), DragMove);
  EXPECT_EQ(band.GetHandleAt(8, 8), DragNone);
  band.SetOptions(RubberbandOptionSideHandles | RubberbandOptionCornerHandles |
                  RubberbandOptionNoLeft | RubberbandOptionNoBottomRight);
  EXPECT_EQ(band.GetHandleAt(6, 34), DragNone);
  EXPECT_EQ(band.GetHandleAt(109, 59), DragNone);
  EXPECT_EQ(band.GetHandleAt(113, 34), DragSizeRight);
  EXPECT_EQ(band.GetHandleAt(50, 30), DragNone);  // no moving either
  EXPECT_FALSE(band.HitTest(50, 30));
  band.SetHandleSize(-4);
  EXPECT_EQ(band.HandleSize(), 1);
  EXPECT_EQ(band.GetHandleAt(111, 34), DragSizeRight);
  EXPECT_EQ(band.GetHandleAt(112, 34), DragNone);
}

TEST_F(RubberBandTest, DraggingInsideMovesTheFrame) {
  Drag(50, 30, 70, 45);
  EXPECT_EQ(band.Location(), (TFloatRect{30, 25, 130, 75}));
  EXPECT_EQ(userChanges, 1);
  EXPECT_FALSE(band.IsDragging());
  Drag(50, 30, 50, 30);  // nowhere: no user change
  EXPECT_EQ(userChanges, 1);
}

TEST_F(RubberBandTest, ResizesKeepTheMinimumAndTheMaximum) {
  Drag(10, 34, 300, 34);  // the left edge past the right one
  EXPECT_EQ(band.Location(), (TFloatRect{100, 10, 110, 60}));
  band.SetLocation({10, 10, 110, 60});
  band.SetMaxWidth(50);
  Drag(10, 34, -100, 34);
  EXPECT_EQ(band.Location(), (TFloatRect{60, 10, 110, 60}));
  band.SetLocation({10, 10, 110, 60});
  band.SetMaxWidth(0);
  Drag(109, 59, 150, 90);
  EXPECT_EQ(band.Location(), (TFloatRect{10, 10, 150, 90}));
  band.SetLocation({10, 10, 110, 60});
  Drag(59, 10, 59, 58);  // the top edge down to the bottom: MinHeight 10
  EXPECT_EQ(band.Location(), (TFloatRect{10, 50, 110, 60}));
}

TEST_F(RubberBandTest, KeepingTheAspectFollowsTheDraggedEdge) {
  band.SetDragOptions(DragOptionKeepAspect);
  Drag(109, 34, 210, 34);  // right edge: width 200, so height 100
  EXPECT_EQ(band.Location(), (TFloatRect{10, 10, 210, 110}));
  band.SetLocation({10, 10, 110, 60});
  Drag(109, 59, 60, 200);  // bottom-right: the height decides, 190 * 2
  EXPECT_EQ(band.Location(), (TFloatRect{10, 10, 390, 200}));
  band.SetLocation({10, 10, 110, 60});
  Drag(10, 34, 60, 34);  // left edge: width 50, the top follows
  EXPECT_EQ(band.Location(), (TFloatRect{60, 35, 110, 60}));
  // A frame without area has no aspect: the drag still gives a finite frame.
  band.SetLocation({10, 10, 10, 10});
  Drag(10, 10, 50, 50);
  EXPECT_EQ(band.Location(), (TFloatRect{10, 10, 50, 50}));
}

TEST_F(RubberBandTest, HooksMayLimitTheNewFrame) {
  band.SetDragOptions(DragOptionLimitFrame);
  band.OnLimitFrame = [](plat::TObject*, const TFloatRect&, TFloatRect& New, TRBDragState,
                         plat::TShiftState) { New.Left = std::max(New.Left, 0.0f); };
  band.OnFrameChanging = [](plat::TObject*, const TFloatRect& Start, TFloatRect& New,
                            TRBDragState State, plat::TShiftState) {
    EXPECT_EQ(Start, (TFloatRect{10, 10, 110, 60}));
    EXPECT_EQ(State, DragMove);
    New.Top = 7;
  };
  Drag(50, 30, 20, 40);
  EXPECT_EQ(band.Location(), (TFloatRect{0, 7, 80, 70}));
}

TEST_F(RubberBandTest, ScaledFramesAreDraggedInLayerCoordinates) {
  layers.OnGetViewportScale = [](plat::TObject*, float& X, float& Y) { X = 2, Y = 2; };
  layers.OnGetViewportShift = [](plat::TObject*, float& X, float& Y) { X = 5, Y = 5; };
  band.SetLocation({10, 10, 60, 40});
  band.SetScaled(true);  // shown at (25, 25, 125, 85)
  Drag(75, 55, 85, 65);
  EXPECT_EQ(band.Location(), (TFloatRect{15, 15, 65, 45}));
}

TEST_F(RubberBandTest, TheChildFollowsUntilItIsDestroyed) {
  TBitmapLayer& child = layers.Add<TBitmapLayer>();
  child.SetLocation({20, 20, 60, 50});
  band.BringToFront();
  band.SetChildLayer(&child);
  EXPECT_EQ(band.Location(), (TFloatRect{20, 20, 60, 50}));
  Drag(30, 30, 40, 35);
  EXPECT_EQ(child.Location(), (TFloatRect{30, 25, 70, 55}));
  layers.Delete(child.Index());
  EXPECT_EQ(band.ChildLayer(), nullptr);
  Drag(35, 30, 45, 30);
  EXPECT_EQ(band.Location(), (TFloatRect{40, 25, 80, 55}));
}

// A band that would carry itself, directly or through other bands, is refused.
TEST(RubberBandLifetime, BandsNeverCarryThemselves) {
  TLayerCollection layers(nullptr);
  auto& a = layers.Add<TRubberbandLayer>();
  auto& b = layers.Add<TRubberbandLayer>();
  auto& c = layers.Add<TRubberbandLayer>();
  a.SetChildLayer(&a);
  EXPECT_EQ(a.ChildLayer(), nullptr);
  a.SetChildLayer(&b);
  b.SetChildLayer(&c);
  c.SetChildLayer(&a);
  EXPECT_EQ(c.ChildLayer(), nullptr);
  a.SetLocation({1, 2, 30, 40});
  EXPECT_EQ(c.Location(), (TFloatRect{1, 2, 30, 40}));
}

TEST(RubberBandLifetime, AFreedBandLeavesNoWatcherBehind) {
  TLayerCollection layers(nullptr);
  TBitmapLayer& child = layers.Add<TBitmapLayer>();
  layers.Add<TRubberbandLayer>().SetChildLayer(&child);
  layers.Delete(1);  // the band first, as clearing does
  layers.Delete(0);  // telling a freed band would be caught by the address sanitizer
  EXPECT_EQ(layers.Count(), 0);
  TLayerCollection other(nullptr);
  TBitmapLayer& second = other.Add<TBitmapLayer>();
  other.Add<TRubberbandLayer>().SetChildLayer(&second);
  other.Clear();
  EXPECT_EQ(other.Count(), 0);
}

TEST(RubberBandOptionsOnly, LayerOptionsNeverSilenceTheBand) {
  TLayerCollection layers(nullptr);
  TRubberbandLayer& band = layers.Add<TRubberbandLayer>();
  band.SetLayerOptions(LayerOptionVisible | LayerOptionMouseEvents | LayerOptionNoUpdate);
  EXPECT_EQ(band.LayerOptions(), LayerOptionVisible | LayerOptionMouseEvents);
}

class RubberBandPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    buffer.SetSize(60, 40);
    buffer.ClearWithColor(clBlack32);
    band.SetLocation({10, 10, 30, 25});
  }
  TLayerCollection layers{nullptr};
  TRubberbandLayer& band = layers.Add<TRubberbandLayer>();
  TBitmap32 buffer;
};

TEST_F(RubberBandPaint, HandlesAreFilledSquaresWithAFrame) {
  band.SetOptions(RubberbandOptionCornerHandles);
  band.SetHandleSize(2);
  band.SetHandleFill(clWhite32);
  band.SetHandleFrame(clRed32);
  band.PaintLayer(buffer);
  // A handle at (x, y) covers x - 2 .. x + 1 by y - 2 .. y + 1.
  auto expected = [](int X, int Y) {
    for (const auto& [cx, cy] : {std::pair{10, 10}, {30, 10}, {10, 25}, {30, 25}}) {
      if (X < cx - 2 || X >= cx + 2 || Y < cy - 2 || Y >= cy + 2) continue;
      const bool border = X == cx - 2 || X == cx + 1 || Y == cy - 2 || Y == cy + 1;
      return border ? clRed32 : clWhite32;
    }
    return clBlack32;
  };
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(buffer.Pixel(x, y), expected(x, y)) << x << "," << y;
}

TEST_F(RubberBandPaint, TheFrameRunsThroughTheOuterPixelsAndIsMeasuredWhole) {
  band.SetOptions(RubberbandOptionFrame);
  band.SetFrameStipple({clWhite32, clWhite32});
  band.PaintLayer(buffer);
  auto onFrame = [](int X, int Y) {
    const bool inside = X >= 10 && X < 30 && Y >= 10 && Y < 25;
    return inside && (X == 10 || X == 29 || Y == 10 || Y == 24);
  };
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(buffer.Pixel(x, y), onFrame(x, y) ? clWhite32 : clBlack32) << x << "," << y;

  gfx::testing::PixelMask measured(60, 40);
  buffer.ClearWithColor(clBlack32);
  buffer.StartMeasuring(
      [&measured](plat::TObject*, const TRect& Area, uint32_t) { measured.Add(Area); });
  band.PaintLayer(buffer);
  buffer.StopMeasuring();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      if (onFrame(x, y)) {
        EXPECT_TRUE(measured.At(x, y)) << x << "," << y;
      }
      ASSERT_EQ(buffer.Pixel(x, y), clBlack32);  // measuring draws nothing
    }
}

}  // namespace

// Extreme sizes, places and stipple values paint and hit-test without overflowing; a handle far
// larger than the buffer covers all of it.
TEST_F(RubberBandPaint, ExtremeValuesStaySafe) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  const float stippleValues[] = {nan, inf, -inf, 3.4e38f, -3.4e38f, 1e30f, -7.5f, 0.25f};
  const float places[] = {-3e9f, -1.1e9f, -5, 40, 1.07e9f, 3e9f};
  const int32_t sizes[] = {INT32_MAX, 1 << 30, (1 << 30) - 1, 1 << 20};
  uint32_t seed = 1;
  auto pick = [&seed](auto& values) {
    seed = seed * 1103515245u + 12345u;
    return values[(seed >> 16) % std::size(values)];
  };
  for (int round = 0; round < 200; ++round) {
    const float l = pick(places), t = pick(places);
    band.SetLocation({l, t, l + std::fabs(pick(places)), t + std::fabs(pick(places))});
    band.SetHandleSize(pick(sizes));
    band.SetFrameStippleStep(pick(stippleValues));
    band.SetFrameStippleCounter(pick(stippleValues));
    band.SetFrameStipple(round % 3 == 0 ? TArrayOfColor32{} : TArrayOfColor32{clRed32, 0xFF0000FF});
    band.PaintLayer(buffer);
    buffer.StartMeasuring([](plat::TObject*, const TRect&, uint32_t) {});
    band.PaintLayer(buffer);
    buffer.StopMeasuring();
    for (int x : {INT32_MIN, -1, 0, INT32_MAX}) band.GetHandleAt(x, x);
  }

  band.SetLocation({10, 10, 30, 25});
  band.SetOptions(RubberbandOptionCornerHandles | RubberbandOptionNoTopRight |
                  RubberbandOptionNoBottomLeft | RubberbandOptionNoBottomRight);
  band.SetHandleFill(clWhite32);
  band.SetHandleSize(INT32_MAX);
  buffer.ClearWithColor(clBlack32);
  band.PaintLayer(buffer);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(buffer.Pixel(x, y), clWhite32) << x << "," << y;
  EXPECT_EQ(band.GetHandleAt(-2'000'000'000, 2'000'000'000), DragSizeTopLeft);
}
