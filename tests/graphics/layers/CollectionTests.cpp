// The layer collection: order, notifications, free watchers and viewport mapping.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "graphics/layers/Layers.h"

namespace {

using namespace gfx;

// Every notification of a collection, as short text.
struct Recorder {
  explicit Recorder(TLayerCollection& Layers) : layers(Layers) {
    Layers.OnChanging = [this](plat::TObject*) { Log.push_back("changing"); };
    Layers.OnChange = [this](plat::TObject*) { Log.push_back("change"); };
    Layers.OnGDIUpdate = [this](plat::TObject*) { Log.push_back("gdi"); };
    Layers.OnLayerListChange = [this](plat::TObject*, int32_t Action, TCustomLayer* Layer,
                                      int32_t Index) {
      Log.push_back("list " + std::to_string(Action) + " " + std::to_string(Index));
      LastListLayer = Layer;
    };
    Layers.OnLayerReport = [this](plat::TObject*, TCustomLayer* Layer) {
      Log.push_back("layer");
      LastReported = Layer;
    };
    Layers.OnAreaReport = [this](plat::TObject*, const TRect& Area, uint32_t Info) {
      Log.push_back("area " + std::to_string(Area.Left) + " " + std::to_string(Area.Top) + " " +
                    std::to_string(Area.Right) + " " + std::to_string(Area.Bottom));
      EXPECT_EQ(Info, AreaInfoRect);
    };
  }
  // The collection outlives the recorder in the tests.
  ~Recorder() {
    layers.OnChanging = layers.OnChange = layers.OnGDIUpdate = nullptr;
    layers.OnLayerListChange = nullptr;
    layers.OnLayerReport = nullptr;
    layers.OnAreaReport = nullptr;
  }
  int Count(const std::string& Entry) const {
    return int(std::count(Log.begin(), Log.end(), Entry));
  }

  TLayerCollection& layers;
  std::vector<std::string> Log;
  TCustomLayer* LastListLayer = nullptr;
  TCustomLayer* LastReported = nullptr;
};

TEST(LayerCollection, AddAnnouncesTheLayerTwiceAndPutsItOnTop) {
  TLayerCollection layers(nullptr);
  TCustomLayer& bottom = layers.Add<TCustomLayer>();
  Recorder events(layers);
  TPositionedLayer& top = layers.Add<TPositionedLayer>();
  EXPECT_EQ(events.Count("list 0 1"), 2);
  EXPECT_EQ(events.LastListLayer, &top);
  EXPECT_EQ(layers.Count(), 2);
  EXPECT_EQ(layers.Items(0), &bottom);
  EXPECT_EQ(top.Index(), 1);
  EXPECT_EQ(top.LayerCollection(), &layers);
  EXPECT_EQ(bottom.LayerOptions(), LayerOptionVisible);
  EXPECT_EQ(top.LayerOptions(), LayerOptionVisible | LayerOptionMouseEvents);
}

TEST(LayerCollection, IndexChangesAreClampedAndTheTopLayerStaysSilent) {
  TLayerCollection layers(nullptr);
  TCustomLayer& a = layers.Add<TCustomLayer>();
  TCustomLayer& b = layers.Add<TCustomLayer>();
  TCustomLayer& c = layers.Add<TCustomLayer>();
  Recorder events(layers);
  c.BringToFront();
  EXPECT_TRUE(events.Log.empty());
  a.SetIndex(99);
  EXPECT_EQ(layers.Items(0), &b);
  EXPECT_EQ(layers.Items(1), &c);
  EXPECT_EQ(layers.Items(2), &a);
  // A visible layer that moves in the stack is repainted.
  EXPECT_EQ(events.Count("layer"), 1);
  EXPECT_EQ(events.LastReported, &a);
  a.SetIndex(-5);
  EXPECT_EQ(layers.Items(0), &a);
  EXPECT_EQ(a.Index(), 0);
  TCustomLayer loose;
  loose.SetIndex(3);
  EXPECT_EQ(loose.Index(), -1);
}

TEST(LayerCollection, HiddenLayersReportOnlyWhatTheirOptionsAsk) {
  TLayerCollection layers(nullptr);
  TCustomLayer& layer = layers.Add<TCustomLayer>();
  Recorder events(layers);
  layer.SetLayerOptions(0);  // hiding it repaints where it was
  EXPECT_EQ(events.Count("layer"), 1);
  events.Log.clear();
  layer.Changed();
  EXPECT_TRUE(events.Log.empty());
  layer.SetLayerOptions(LayerOptionGDIOverlay);
  events.Log.clear();
  layer.Changed();
  EXPECT_EQ(events.Log, std::vector<std::string>{"gdi"});
  layer.SetLayerOptions(LayerOptionAlwaysNotify);
  events.Log.clear();
  layer.Changed();
  EXPECT_EQ(events.Log, (std::vector<std::string>{"layer", "change"}));
  // An area is reported whatever the visibility, and the layer is measured again.
  events.Log.clear();
  layer.Changed(TRect{1, 2, 3, 4});
  EXPECT_EQ(events.Count("area 1 2 3 4"), 1);
  EXPECT_EQ(events.Count("layer"), 1);
  layer.SetLayerOptions(LayerOptionVisible | LayerOptionNoUpdate);
  events.Log.clear();
  layer.Changed();
  layer.Changed(TRect{1, 2, 3, 4});
  EXPECT_TRUE(events.Log.empty());
}

TEST(LayerCollection, VisibleChangesReportTheLayerAndUpdateBrackets) {
  TLayerCollection layers(nullptr);
  TPositionedLayer& layer = layers.Add<TPositionedLayer>();
  Recorder events(layers);
  layer.SetLocation({1, 2, 30, 40});
  EXPECT_EQ(events.Log, (std::vector<std::string>{"changing", "layer", "change", "change"}));
  events.Log.clear();
  layer.SetScaled(false);
  EXPECT_TRUE(events.Log.empty());
  layer.BeginUpdate();
  layer.SetLocation({0, 0, 1, 1});
  EXPECT_TRUE(events.Log.empty());
  layer.EndUpdate();
  EXPECT_TRUE(events.Log.empty());
}

TEST(LayerCollection, RemovingAndClearingAnnounceEveryLayer) {
  TLayerCollection layers(nullptr);
  layers.Add<TCustomLayer>();
  TCustomLayer& middle = layers.Add<TCustomLayer>();
  layers.Add<TCustomLayer>();
  Recorder events(layers);
  bool destroyed = false;
  middle.OnDestroy = [&destroyed](plat::TObject*) { destroyed = true; };
  layers.Delete(1);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(events.Count("list 2 1"), 1);
  events.Log.clear();
  layers.Clear();
  EXPECT_EQ(events.Log,
            (std::vector<std::string>{"changing", "list 2 1", "list 2 0", "list 3 0", "change"}));
  EXPECT_EQ(layers.Count(), 0);
  EXPECT_THROW(layers.Delete(0), plat::EListError);
  EXPECT_THROW(layers.Items(-1), plat::EListError);
}

TEST(LayerCollection, DetachedLayersChangeOwnerAndCollectionsMove) {
  TLayerCollection first(nullptr), second(nullptr);
  TCustomLayer& layer = first.Add<TCustomLayer>();
  EXPECT_EQ(layer.SetLayerCollection(&second), nullptr);
  EXPECT_EQ(first.Count(), 0);
  EXPECT_EQ(second.Items(0), &layer);
  std::unique_ptr<TCustomLayer> owned = layer.SetLayerCollection(nullptr);
  ASSERT_EQ(owned.get(), &layer);
  EXPECT_EQ(second.Count(), 0);
  EXPECT_EQ(layer.LayerCollection(), nullptr);
  first.AttachLayer(std::move(owned));
  EXPECT_EQ(first.Items(0), &layer);
}

class Watcher : public TCustomLayer {
 public:
  void Notification(TCustomLayer* ALayer) override { Told.push_back(ALayer); }
  std::vector<TCustomLayer*> Told;
};

TEST(LayerCollection, FreeWatchersHearOfTheDestructionOnce) {
  TLayerCollection layers(nullptr);
  Watcher& watcher = layers.Add<Watcher>();
  TCustomLayer& watched = layers.Add<TCustomLayer>();
  watched.AddFreeWatcher(&watcher);
  watched.AddFreeWatcher(&watcher);
  layers.Delete(1);
  EXPECT_EQ(watcher.Told, std::vector<TCustomLayer*>{&watched});

  TCustomLayer& second = layers.Add<TCustomLayer>();
  second.AddFreeWatcher(&watcher);
  second.RemoveFreeWatcher(&watcher);
  layers.Delete(1);
  EXPECT_EQ(watcher.Told.size(), 1u);
}

// Layers freed from their own destroy event, or a collection cleared from one, end safely: the
// call that began a layer's destruction frees it, once.
TEST(LayerCollection, ALayerFreedFromItsOwnDestroyEventIsFreedOnce) {
  TLayerCollection layers(nullptr);
  for (int way = 0; way < 3; ++way) {
    layers.Add<TCustomLayer>();
    TCustomLayer& doomed = layers.Add<TCustomLayer>();
    layers.Add<TCustomLayer>();
    int destroyEvents = 0;
    doomed.OnDestroy = [&](plat::TObject*) {
      ++destroyEvents;
      if (way == 0) layers.Delete(doomed.Index());
      if (way == 1) layers.Clear();
      if (way == 2) EXPECT_EQ(doomed.SetLayerCollection(nullptr), nullptr);
    };
    layers.Delete(doomed.Index());
    EXPECT_EQ(destroyEvents, 1) << way;
    EXPECT_EQ(layers.IndexOf(&doomed), -1) << way;
    EXPECT_EQ(layers.Count(), way == 1 ? 0 : 2) << way;
    layers.Clear();
  }
}

// Copying a collection makes the copies apart first: a layer that cannot be copied leaves the
// target as it was, its update bracket closed.
TEST(LayerCollection, AssignLeavesTheTargetAsItWasWhenALayerCannotBeCopied) {
  TLayerCollection source(nullptr), target(nullptr);
  source.Add<TPositionedLayer>();
  TCustomLayer& first = target.Add<TCustomLayer>();
  TCustomLayer& second = target.Add<TPositionedLayer>();
  Recorder recorder(target);
  EXPECT_THROW(target.Assign(source), plat::EConvertError);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target.Items(0), &first);
  EXPECT_EQ(target.Items(1), &second);
  EXPECT_TRUE(recorder.Log.empty());
  target.Add<TCustomLayer>();
  EXPECT_EQ(recorder.Count("change"), 1);  // not stuck inside an update
  TLayerCollection empty(nullptr);
  target.Assign(empty);
  EXPECT_EQ(target.Count(), 0);
}

TEST(LayerCollection, TheTopmostMatchingLayerIsFound) {
  TLayerCollection layers(nullptr);
  TPositionedLayer& low = layers.Add<TPositionedLayer>();
  TPositionedLayer& high = layers.Add<TPositionedLayer>();
  low.SetLocation({0, 0, 50, 50});
  high.SetLocation({20, 20, 70, 70});
  EXPECT_EQ(layers.FindLayerAtPos(30, 30, LayerOptionMouseEvents), &high);
  EXPECT_EQ(layers.FindLayerAtPos(10, 10, LayerOptionMouseEvents), &low);
  EXPECT_EQ(layers.FindLayerAtPos(69, 69, LayerOptionMouseEvents), &high);
  EXPECT_EQ(layers.FindLayerAtPos(70, 69, LayerOptionMouseEvents), nullptr);
  EXPECT_EQ(layers.FindLayerAtPos(30, 30, LayerOptionGDIOverlay), nullptr);
  high.OnHitTest = [](plat::TObject*, int, int, bool& Passed) { Passed = false; };
  EXPECT_EQ(layers.FindLayerAtPos(30, 30, LayerOptionMouseEvents), &low);
}

TEST(LayerCollection, OnlyScaledLayersFollowTheViewport) {
  TLayerCollection layers(nullptr);
  layers.OnGetViewportScale = [](plat::TObject*, float& X, float& Y) { X = 2, Y = 0.5f; };
  layers.OnGetViewportShift = [](plat::TObject*, float& X, float& Y) { X = 10, Y = -4; };
  TPositionedLayer& layer = layers.Add<TPositionedLayer>();
  layer.SetLocation({1, 2, 3, 8});
  EXPECT_EQ(layer.GetAdjustedLocation(), (TFloatRect{1, 2, 3, 8}));
  layer.SetScaled(true);
  EXPECT_EQ(layer.GetAdjustedLocation(), (TFloatRect{12, -3, 16, 0}));
  EXPECT_TRUE(layer.HitTest(12, -3));
  EXPECT_FALSE(layer.HitTest(16, -1));
  TLayerCollection plain(nullptr);
  float sx, sy, dx, dy;
  plain.GetViewportScale(sx, sy);
  plain.GetViewportShift(dx, dy);
  EXPECT_EQ(sx, 1.0f);
  EXPECT_EQ(sy, 1.0f);
  EXPECT_EQ(dx, 0.0f);
  EXPECT_EQ(dy, 0.0f);
}

TEST(LayerCollection, AppearanceAndDisappearanceFlagsOnly) {
  TLayerCollection layers(nullptr);
  TCustomLayer& layer = layers.Add<TCustomLayer>();
  layer.SetBit26(true);
  EXPECT_TRUE(layer.GetBit26());
  EXPECT_EQ(layer.LayerOptions(), LayerOptionVisible | LayerOptionBit26);
  layer.SetBit26(false);
  layer.SetVisible(false);
  EXPECT_FALSE(layer.Visible());
  EXPECT_EQ(layer.LayerOptions(), 0u);
}

}  // namespace
