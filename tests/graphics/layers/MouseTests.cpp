// Mouse events go to the topmost layer under the pointer, which keeps them until the last
// button is released.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/layers/Layers.h"
#include "platform/windows/Application.h"

namespace {

using namespace gfx;

class MouseTest : public ::testing::Test {
 protected:
  TPositionedLayer& AddLayer(const TFloatRect& Where, const std::string& Name) {
    TPositionedLayer& layer = layers.Add<TPositionedLayer>();
    layer.SetLocation(Where);
    layer.OnMouseDown = [this, Name](plat::TObject*, plat::TMouseButton B, plat::TShiftState, int X,
                                     int Y) { Log(Name + " down " + std::to_string(B), X, Y); };
    layer.OnMouseMove = [this, Name](plat::TObject*, plat::TShiftState, int X, int Y) {
      Log(Name + " move", X, Y);
    };
    layer.OnMouseUp = [this, Name](plat::TObject*, plat::TMouseButton B, plat::TShiftState, int X,
                                   int Y) { Log(Name + " up " + std::to_string(B), X, Y); };
    return layer;
  }
  void Log(const std::string& What, int X, int Y) {
    events.push_back(What + " " + std::to_string(X) + "," + std::to_string(Y));
  }

  TLayerCollection layers{nullptr};
  std::vector<std::string> events;
};

TEST_F(MouseTest, ThePressedLayerHoldsTheMouseUntilTheLastButtonIsUp) {
  TPositionedLayer& low = AddLayer({0, 0, 100, 100}, "low");
  TPositionedLayer& high = AddLayer({50, 50, 150, 150}, "high");
  EXPECT_EQ(layers.MouseDown(plat::mbLeft, 0, 60, 60), &high);
  EXPECT_EQ(layers.MouseListener(), &high);
  EXPECT_EQ(high.ButtonStates(), 1);
  // Outside every layer, or over another one: still the listener.
  EXPECT_EQ(layers.MouseMove(0, 10, 10), &high);
  EXPECT_EQ(layers.MouseDown(plat::mbRight, 0, 500, 500), &high);
  EXPECT_EQ(high.ButtonStates(), 3);
  EXPECT_EQ(layers.MouseUp(plat::mbLeft, 0, 10, 10), &high);
  EXPECT_EQ(layers.MouseListener(), &high);
  EXPECT_EQ(layers.MouseUp(plat::mbRight, 0, 10, 10), &high);
  EXPECT_EQ(layers.MouseListener(), nullptr);
  EXPECT_EQ(high.ButtonStates(), 0);
  // Free again: the pointer finds the lower layer.
  EXPECT_EQ(layers.MouseMove(0, 10, 10), &low);
  EXPECT_EQ(events,
            (std::vector<std::string>{"high down 0 60,60", "high move 10,10", "high down 1 500,500",
                                      "high up 0 10,10", "high up 1 10,10", "low move 10,10"}));
}

// A layer freed by its own press, move or release handler is not handed on.
TEST_F(MouseTest, ALayerFreedByItsOwnHandlerIsNotHandedOn) {
  for (int handler = 0; handler < 3; ++handler) {
    TPositionedLayer& layer = AddLayer({0, 0, 100, 100}, "doomed");
    auto free = [this, &layer](auto&&...) { layers.Delete(layer.Index()); };
    if (handler == 0) layer.OnMouseDown = free;
    if (handler == 1) layer.OnMouseMove = free;
    if (handler == 2) layer.OnMouseUp = free;
    EXPECT_EQ(layers.MouseDown(plat::mbLeft, 0, 10, 10), handler == 0 ? nullptr : &layer);
    if (handler > 0) EXPECT_EQ(layers.MouseMove(0, 20, 20), handler == 1 ? nullptr : &layer);
    if (handler > 1) EXPECT_EQ(layers.MouseUp(plat::mbLeft, 0, 20, 20), nullptr);
    EXPECT_EQ(layers.Count(), 0);
    EXPECT_EQ(layers.MouseListener(), nullptr);
  }
}

TEST_F(MouseTest, LayersWithoutCaptureOrMouseEventsAreSkipped) {
  TPositionedLayer& low = AddLayer({0, 0, 100, 100}, "low");
  TPositionedLayer& high = AddLayer({0, 0, 100, 100}, "high");
  high.SetLayerOptions(LayerOptionVisible | LayerOptionMouseEvents | LayerOptionNoCapture);
  EXPECT_EQ(layers.MouseDown(plat::mbLeft, 0, 5, 5), &high);
  EXPECT_EQ(layers.MouseListener(), nullptr);
  EXPECT_TRUE(events.empty());  // a layer that does not capture gets no press
  EXPECT_EQ(layers.MouseUp(plat::mbLeft, 0, 5, 5), &high);
  EXPECT_EQ(events, std::vector<std::string>{"high up 0 5,5"});
  high.SetLayerOptions(LayerOptionVisible);
  EXPECT_EQ(layers.MouseDown(plat::mbMiddle, 0, 5, 5), &low);
  EXPECT_EQ(low.ButtonStates(), 4);
  EXPECT_EQ(layers.MouseDown(plat::mbLeft, 0, 500, 5), &low);
  EXPECT_EQ(layers.MouseUp(plat::mbMiddle, 0, 5, 5), &low);
  EXPECT_EQ(layers.MouseListener(), &low);
}

TEST_F(MouseTest, RemovingTheListenerReleasesTheMouse) {
  AddLayer({0, 0, 100, 100}, "low");
  AddLayer({0, 0, 100, 100}, "high");
  layers.MouseDown(plat::mbLeft, 0, 5, 5);
  ASSERT_EQ(layers.MouseListener(), layers.Items(1));
  layers.Delete(1);
  EXPECT_EQ(layers.MouseListener(), nullptr);
  EXPECT_EQ(layers.MouseUp(plat::mbLeft, 0, 5, 5), layers.Items(0));
}

TEST_F(MouseTest, TheScreenCursorFollowsTheLayerUnderThePointer) {
  TPositionedLayer& layer = AddLayer({0, 0, 10, 10}, "layer");
  layer.SetCursor(plat::crHandPoint);
  layers.MouseMove(0, 5, 5);
  EXPECT_EQ(plat::Screen().Cursor(), plat::crHandPoint);
  layers.MouseDown(plat::mbLeft, 0, 5, 5);
  layer.SetCursor(plat::crCross);  // the listener's cursor shows at once
  EXPECT_EQ(plat::Screen().Cursor(), plat::crCross);
  layers.MouseUp(plat::mbLeft, 0, 5, 5);
  EXPECT_EQ(plat::Screen().Cursor(), plat::crDefault);
}

}  // namespace
