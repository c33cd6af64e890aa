// The repaint optimizer over a scene of layers: the rectangles it hands out cover every pixel
// that changed, and rebuilding only them gives the picture a full rebuild gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "LayerTestSupport.h"
#include "graphics/layers/RepaintOptimizer.h"
#include "graphics/layers/RubberBand.h"
#include "tests/graphics/layers/microtiles/PixelMask.h"

namespace {

using namespace gfx;
using gfx::testing::PixelMask;

constexpr int32_t Width = 150, Height = 110;

// A picture with layers over it, a screen buffer and the optimizer between them, wired the way
// an image control in optimizer mode wires them.
class Scene : public ::testing::Test {
 protected:
  void SetUp() override {
    image.BitmapRect = {0, 0, Width, Height};
    layers.OnGetViewportScale = [](plat::TObject*, float& X, float& Y) { X = 1.25f, Y = 0.75f; };
    layers.OnGetViewportShift = [](plat::TObject*, float& X, float& Y) { X = 3, Y = -2; };
    screen.SetSize(Width, Height);
    picture.SetSize(Width, Height);
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) picture.SetPixel(x, y, Color32(x * 7, y * 5, x ^ y, 255));
    optimizer.RegisterLayerCollection(layers);
    optimizer.SetEnabled(true);
    optimizer.SetAdaptiveTiming(false);
  }
  void TearDown() override { optimizer.UnregisterLayerCollection(layers); }
  void RunRandomEdits();

  std::string resamplerClass;  // empty: the bitmap's default

  TBitmapLayer& AddPictureLayer(const TFloatRect& Where, TDrawMode Mode, int Seed) {
    TBitmapLayer& layer = layers.Add<TBitmapLayer>();
    layer.Bitmap().SetSize(7 + Seed % 5, 5 + Seed % 7);
    for (int y = 0; y < layer.Bitmap().Height(); ++y)
      for (int x = 0; x < layer.Bitmap().Width(); ++x)
        layer.Bitmap().SetPixel(
            x, y,
            Color32(40 * Seed + x * 20, y * 30, 200 - x * 9, (x + y + Seed) % 3 == 0 ? 90 : 255));
    layer.Bitmap().SetDrawMode(Mode);
    if (!resamplerClass.empty()) {
      layer.Bitmap().SetResamplerClassName(resamplerClass);
      EXPECT_EQ(layer.Bitmap().ResamplerClassName(), resamplerClass);
    }
    layer.SetCropped(Seed % 2 == 0);
    layer.SetScaled(Seed % 3 == 0);
    layer.SetLocation(Where);
    return layer;
  }

  // The whole scene drawn into Dst, clipped to Clip.
  void Render(TBitmap32& Dst, const TRect& Clip) {
    Dst.SetClipRect(Clip);
    const TRect c = Dst.ClipRect();
    for (int y = c.Top; y < c.Bottom; ++y)
      for (int x = c.Left; x < c.Right; ++x) Dst.SetPixel(x, y, picture.Pixel(x, y));
    for (int i = 0; i < layers.Count(); ++i)
      if (layers.Items(i)->Visible()) layers.Items(i)->PaintLayer(Dst);
    Dst.ClipToBounds();
  }

  // What a full rebuild shows now.
  TBitmap32& FullPicture() {
    full.SetSize(Width, Height);
    Render(full, full.BoundsRect());
    return full;
  }

  // One paint cycle of the paint box; returns the repainted area.
  PixelMask Repaint() {
    PixelMask repainted(Width, Height);
    if (!optimizer.HasPendingUpdates()) return repainted;
    optimizer.BufferPaintStarting();
    optimizer.BuildInvalidRects();
    if (invalid.Count() == 0) {
      Render(screen, screen.BoundsRect());
      repainted.Add(screen.BoundsRect());
    } else {
      for (int i = 0; i < invalid.Count(); ++i) {
        Render(screen, *invalid.Items(i));
        repainted.Add(*invalid.Items(i));
      }
    }
    optimizer.BufferPaintFinished();
    invalid.Clear();
    return repainted;
  }

  // The screen must equal a full rebuild, and every pixel that changed must have been repainted.
  void CheckCycle(const std::string& Step) {
    const PixelMask repainted = Repaint();
    TBitmap32& now = FullPicture();
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x) {
        if (now.Pixel(x, y) != before.Pixel(x, y)) {
          ASSERT_TRUE(repainted.At(x, y)) << Step << ": changed pixel " << x << "," << y;
        }
        ASSERT_EQ(screen.Pixel(x, y), now.Pixel(x, y)) << Step << ": stale pixel " << x << "," << y;
      }
    before.Assign(now);
  }

  gfx::testing::ScopedNearestTransfer transfer;
  gfx::testing::TestImage image;
  TLayerCollection layers{&image};
  TBitmap32 screen, picture, full, before;
  TRectList invalid;
  TMicroTilesRepaintOptimizer optimizer{screen, invalid};
};

void Scene::RunRandomEdits() {
  for (const TRBOptions bandOptions :
       {TRBOptions(15), RubberbandOptionFrame, TRBOptions(RubberbandOptionSideHandles | 1)}) {
    std::mt19937 rng(bandOptions);
    layers.Clear();
    std::uniform_real_distribution<float> place(-30, 160), size(1, 70);
    auto randomPlace = [&] {
      const float l = place(rng), t = place(rng);
      return TFloatRect{l, t, l + size(rng), t + size(rng)};
    };
    for (int i = 0; i < 4; ++i) AddPictureLayer(randomPlace(), i % 2 ? dmBlend : dmOpaque, i);
    TRubberbandLayer& band = layers.Add<TRubberbandLayer>();
    band.SetOptions(bandOptions);
    band.SetChildLayer(dynamic_cast<TPositionedLayer*>(layers.Items(1)));
    Render(screen, screen.BoundsRect());
    before.Assign(FullPicture());
    CheckCycle("start");

    std::uniform_int_distribution<int> action(0, 9), coord(-10, 160);
    for (int step = 0; step < 150; ++step) {
      std::vector<TBitmapLayer*> pictureLayers;
      for (int i = 0; i < layers.Count(); ++i)
        if (auto* p = dynamic_cast<TBitmapLayer*>(layers.Items(i))) pictureLayers.push_back(p);
      const int pictures = int(pictureLayers.size());
      TBitmapLayer* layer =
          pictureLayers[size_t(std::uniform_int_distribution<int>(0, pictures - 1)(rng))];
      std::string what;
      switch (action(rng)) {
        case 0:
          what = "move";
          layer->SetLocation(randomPlace());
          break;
        case 1:
          what = "opacity";
          layer->Bitmap().SetMasterAlpha(
              uint32_t(std::uniform_int_distribution<int>(0, 2)(rng) * 128));
          layer->Bitmap().SetDrawMode(dmBlend);
          break;
        case 2:
          what = "visibility";
          layer->SetVisible(!layer->Visible());
          break;
        case 3:
          what = "order";
          layer->SetIndex(std::uniform_int_distribution<int>(0, layers.Count() - 1)(rng));
          break;
        case 4: {
          what = "picture";
          TRect r{coord(rng), coord(rng), coord(rng), coord(rng)};
          picture.FillRectS(r, Color32(coord(rng), 20, 90, 255));
          if (r.Left > r.Right) std::swap(r.Left, r.Right);
          if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
          optimizer.AreaReported(&picture, r, AreaInfoRect);
          break;
        }
        case 5:
          what = "layer pixels";
          layer->Bitmap().FillRectS(0, 1, 3, 4, Color32(coord(rng), 255, 0, 255));
          break;
        case 6:
          if (pictures < 6) {
            what = "add";
            AddPictureLayer(randomPlace(), dmBlend, step);
          } else {
            what = "delete";
            layers.Delete(layer->Index());
          }
          break;
        case 7: {
          what = "drag band";
          const TRect at = RoundRect(band.GetAdjustedLocation());
          const int x = (at.Left + at.Right) / 2, y = (at.Top + at.Bottom) / 2;
          layers.MouseDown(plat::mbLeft, 0, x, y);
          layers.MouseMove(0, x + coord(rng) / 8, y + coord(rng) / 8);
          layers.MouseUp(plat::mbLeft, 0, x, y);
          break;
        }
        case 8:
          what = "scaled";
          layer->SetScaled(!layer->Scaled());
          break;
        default:
          what = "delete";
          if (pictures > 1) layers.Delete(layer->Index());
          break;
      }
      CheckCycle(what + " at step " + std::to_string(step));
      if (HasFatalFailure()) return;
    }
  }
}

TEST_F(Scene, RandomEditsRepaintEveryChangedPixelAndNothingStale) {
  RunRandomEdits();
}

TEST_F(Scene, RandomEditsWithTheEnginesResamplingStayExact) {
  transfer.UseEngineTransfers();
  ASSERT_NE(ResamplerLink().StretchTransfer, nullptr);
  for (const char* name : {"TNearestResampler", "TLinearResampler", "TDraftResampler"}) {
    SCOPED_TRACE(name);
    resamplerClass = name;
    RunRandomEdits();
    if (HasFatalFailure()) return;
  }
}

TEST_F(Scene, AMoveInvalidatesTheOldAndTheNewPlace) {
  TBitmapLayer& layer = AddPictureLayer({10, 10, 50, 60}, dmOpaque, 1);
  Repaint();
  layer.SetLocation({13, 12, 53, 62});
  ASSERT_TRUE(optimizer.HasPendingUpdates());
  optimizer.BuildInvalidRects();
  ASSERT_EQ(invalid.Count(), 1);
  EXPECT_EQ(*invalid.Items(0), (TRect{10, 10, 53, 62}));
  invalid.Clear();

  optimizer.BufferPaintFinished();
  layers.Delete(layer.Index());
  optimizer.BuildInvalidRects();
  ASSERT_EQ(invalid.Count(), 1);
  EXPECT_EQ(*invalid.Items(0), (TRect{13, 12, 53, 62}));
}

TEST_F(Scene, AResetInvalidatesTheWholeBufferOnce) {
  AddPictureLayer({10, 10, 50, 60}, dmOpaque, 1);
  Repaint();
  EXPECT_FALSE(optimizer.HasPendingUpdates());
  optimizer.Reset();
  ASSERT_TRUE(optimizer.HasPendingUpdates());
  optimizer.BuildInvalidRects();
  ASSERT_EQ(invalid.Count(), 1);
  EXPECT_EQ(*invalid.Items(0), (TRect{0, 0, Width, Height}));
  invalid.Clear();
  optimizer.BufferPaintFinished();
  EXPECT_FALSE(optimizer.HasPendingUpdates());
}

// A forced rebuild (after a resize, say) resets the optimizer and asks it for no rectangles; the
// next move still repaints only the layer's old and new places.
TEST_F(Scene, AFullRebuildIsFollowedByPartialRepaints) {
  TBitmapLayer& layer = AddPictureLayer({10, 10, 50, 60}, dmOpaque, 1);
  Repaint();
  optimizer.Reset();
  layer.SetLocation({30, 30, 70, 80});
  optimizer.BufferPaintStarting();
  Render(screen, screen.BoundsRect());
  optimizer.BufferPaintFinished();
  before.Assign(FullPicture());

  layer.SetLocation({33, 32, 73, 82});
  ASSERT_TRUE(optimizer.HasPendingUpdates());
  optimizer.BufferPaintStarting();
  optimizer.BuildInvalidRects();
  ASSERT_GT(invalid.Count(), 0);
  PixelMask repainted(Width, Height);
  for (int i = 0; i < invalid.Count(); ++i) {
    const TRect& r = *invalid.Items(i);
    EXPECT_TRUE(r.Left >= 30 && r.Top >= 30 && r.Right <= 73 && r.Bottom <= 82) << i;
    repainted.Add(r);
    Render(screen, r);
  }
  optimizer.BufferPaintFinished();
  invalid.Clear();
  for (int y = 30; y < 82; ++y)
    for (int x = 30; x < 73; ++x)
      if ((x < 70 && y < 80) || (x >= 33 && y >= 32))
        ASSERT_TRUE(repainted.At(x, y)) << x << "," << y;
  EXPECT_EQ(screen.Pixel(31, 31), picture.Pixel(31, 31));
  const TBitmap32& now = FullPicture();
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) ASSERT_EQ(screen.Pixel(x, y), now.Pixel(x, y)) << x << "," << y;
}

TEST_F(Scene, ALayerPaintedBeforeItsFirstChangeLeavesNoGhost) {
  Repaint();
  TBitmapLayer& layer = AddPictureLayer({20, 20, 40, 40}, dmOpaque, 2);
  before.Assign(FullPicture());
  Render(screen, screen.BoundsRect());  // a full paint shows it before any report of it
  optimizer.BuildInvalidRects();
  invalid.Clear();
  optimizer.BufferPaintFinished();
  layer.SetLocation({90, 60, 110, 80});
  CheckCycle("first move");
}

// A layer's paint that moves other layers while the optimizer measures it: the moves are
// measured too, and the cycle shows the picture a full rebuild shows.
TEST_F(Scene, LayersMovedByAPaintWhileMeasuredAreRepainted) {
  Repaint();
  before.Assign(FullPicture());
  std::vector<TBitmapLayer*> all;
  for (int i = 0; i < 40; ++i) {
    all.push_back(&AddPictureLayer({float(3 * i), float(2 * i), float(3 * i + 9), float(2 * i + 7)},
                                   dmOpaque, i));
    CheckCycle("add " + std::to_string(i));
  }
  bool armed = false;
  all[0]->OnPaint = [&](plat::TObject*, TBitmap32&) {
    if (!std::exchange(armed, false)) return;
    for (size_t i = 4; i < all.size(); ++i) {
      const TFloatRect r = all[i]->Location();
      all[i]->SetLocation({r.Left + 5, r.Top + 3, r.Right + 5, r.Bottom + 3});
    }
  };
  for (int step = 0; step < 3; ++step) {
    armed = true;
    for (int i = 0; i < 3; ++i) {
      const TFloatRect r = all[size_t(i)]->Location();
      all[size_t(i)]->SetLocation({r.Left + 1, r.Top, r.Right + 1, r.Bottom});
    }
    CheckCycle("step " + std::to_string(step));
    if (step == 1) {  // a layer leaves between measurements
      layers.Delete(all.back()->Index());
      all.pop_back();
    }
  }
}

TEST_F(Scene, CoarseLevelsRepaintWholeTiles) {
  TBitmapLayer& layer = AddPictureLayer({10, 10, 20, 20}, dmOpaque, 1);
  Repaint();
  optimizer.SetAdaptiveTiming(true);
  int64_t now = 0;
  optimizer.SetClock({[&now] { return now; }, [&now] { return now / 1000; }});
  // A full paint of 100 us, then a partial one of 200 us: whole tiles from then on.
  optimizer.Reset();
  optimizer.HasPendingUpdates();
  optimizer.BufferPaintStarting();
  optimizer.BuildInvalidRects();
  invalid.Clear();
  now += 100;
  optimizer.BufferPaintFinished();
  layer.SetLocation({12, 10, 22, 20});
  optimizer.BufferPaintStarting();
  optimizer.BuildInvalidRects();
  now += 200;
  optimizer.BufferPaintFinished();
  invalid.Clear();
  ASSERT_EQ(optimizer.CoarseLevel(), 1);
  optimizer.SetAdaptiveTiming(false);
  layer.SetLocation({14, 10, 24, 20});
  optimizer.BuildInvalidRects();
  ASSERT_EQ(invalid.Count(), 1);
  EXPECT_EQ(*invalid.Items(0), (TRect{0, 0, 32, 32}));
}

}  // namespace
