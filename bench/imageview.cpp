// Dragging a 512 x 512 layer in 50 steps over a 6000 x 4000 picture reduced into a 1600 x 1000
// image view: the repaint through the micro-tile optimizer against a forced full repaint of the
// same scene, and the pixels the optimizer repaints per step against the area that changed. Then
// the same drag in a view filling a maximised window on a 1920 x 1080 screen, each step painted
// through the window as a person sees it, against full repaints of that window.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "bench/support/BenchMain.h"
#include "graphics/Engine.h"
#include "graphics/controls/ImgView.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"

namespace {

constexpr int kSteps = 50, kLayerSide = 512, kStepX = 5, kStepY = 3;

// The view's paint cycle without a window: collect the invalid rectangles, rebuild the buffer.
class BenchView : public gfx::TImgView32 {
 public:
  using TImgView32::TImgView32;
  // Returns the number of buffer pixels rebuilt.
  int64_t RepaintCycle(bool full) {
    if (full) ForceFullInvalidate();
    RepaintOptimizer().PaintStarting();
    HasInvalidRects();
    int64_t pixels = 0;
    for (int32_t i = 0; i < InvalidRects().Count(); ++i) {
      const gfx::TRect& r = *InvalidRects().Items(i);
      pixels += int64_t(r.Right - r.Left) * (r.Bottom - r.Top);
    }
    if (InvalidRects().Count() == 0) pixels = int64_t(Buffer().Width()) * Buffer().Height();
    DoPaintBuffer();
    RepaintOptimizer().PaintFinished();
    InvalidRects().Clear();
    SetForceFullRepaint(false);
    return pixels;
  }
};

// The off-screen platform on one 1920 x 1080 screen, started once for every scene.
void Start() {
  static const bool started = [] {
    const std::string config = "/tmp/pixstamp-bench-screen.json";
    std::ofstream(config) << R"({"screens": [{"name": "Bench", "x": 0, "y": 0, "width": 1920,)"
                             R"( "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96,)"
                             R"( "dpr": 1}]})";
    setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    plat::Application().Initialize();
    gfx::StartEngine();
    return true;
  }();
  (void)started;
}

struct Scene {
  // shown: the view fills a maximised window; otherwise it stands alone, 1600 x 1000 beside its
  // scroll bars.
  explicit Scene(bool shown) {
    Start();
    if (shown) {
      form = std::make_unique<plat::TForm>(nullptr);
      form->SetWindowState(plat::wsMaximized);
      view = std::make_unique<BenchView>(form.get());
      view->SetParent(form.get());
      view->SetAlign(plat::alClient);
      form->Show();
      plat::Application().ProcessMessages();
    } else {
      view = std::make_unique<BenchView>(nullptr);
      view->SetBounds(0, 0, 1600 + 16, 1000 + 16);
    }
    view->SetRepaintMode(gfx::rmOptimizer);
    if (auto* o = dynamic_cast<gfx::TMicroTilesRepaintOptimizer*>(&view->RepaintOptimizer()))
      o->SetAdaptiveTiming(false);
    gfx::TBitmap32& picture = view->Bitmap();
    picture.SetSize(6000, 4000);
    for (int y = 0; y < 4000; ++y) {
      gfx::TColor32* row = picture.RowPtr(y);
      for (int x = 0; x < 6000; ++x)
        row[x] = 0xFF000000u | uint32_t(x * 255 / 6000) << 16 | uint32_t(y * 255 / 4000) << 8 |
                 uint32_t((x ^ y) & 0xFF);
    }
    picture.SetResamplerClassName("TDraftResampler");
    view->SetScaleMode(gfx::smResize);
    layer = &view->Layers().Add<gfx::TBitmapLayer>();
    layer->Bitmap().SetSize(kLayerSide, kLayerSide);
    layer->Bitmap().ClearWithColor(0xFFE0C020);
    layer->Bitmap().SetDrawMode(gfx::dmBlend);
    layer->Bitmap().SetMasterAlpha(128);
    view->RepaintCycle(true);
  }
  void Place(int step) {
    float x = float(100 + kStepX * step), y = float(100 + kStepY * step);
    layer->SetLocation({x, y, x + kLayerSide, y + kLayerSide});
  }
  ~Scene() {
    view.reset();
    form.reset();
    plat::Application().ProcessMessages();  // the window goes before the platform does
  }
  // Moves the layer to the step's place and paints the window through its paint event.
  void PaintStep(int step, bool full) {
    Place(step);
    if (full) view->ForceFullInvalidate();
    view->Update();
  }
  std::unique_ptr<plat::TForm> form;
  std::unique_ptr<BenchView> view;
  gfx::TBitmapLayer* layer = nullptr;
};

Scene& TheScene() {
  static Scene scene(false);
  return scene;
}

Scene& TheShownScene() {
  static Scene scene(true);
  return scene;
}

// Repainted pixels per changed pixel, reported after the run.
double pixelRatio = 0;

void BM_DragOptimizer(benchmark::State& state) {
  Scene& s = TheScene();
  int64_t repainted = 0, steps = 0;
  for (auto _ : state) {
    for (int step = 0; step < kSteps; ++step) {
      s.Place(step);
      repainted += s.view->RepaintCycle(false);
      ++steps;
    }
    state.PauseTiming();
    s.Place(-1);
    s.view->RepaintCycle(true);
    state.ResumeTiming();
  }
  // Old and new place of the layer together: 2 * 512^2 less the overlap of (512 - 5) x (512 - 3).
  const double changed =
      2.0 * kLayerSide * kLayerSide - double(kLayerSide - kStepX) * double(kLayerSide - kStepY);
  pixelRatio = double(repainted) / double(steps) / changed;
  state.counters["repainted_per_changed"] = pixelRatio;
}

void BM_DragFullRepaint(benchmark::State& state) {
  Scene& s = TheScene();
  for (auto _ : state) {
    for (int step = 0; step < kSteps; ++step) {
      s.Place(step);
      s.view->RepaintCycle(true);
    }
  }
}

void DragInWindow(benchmark::State& state, bool full) {
  Scene& s = TheShownScene();
  for (auto _ : state)
    for (int step = 0; step < kSteps; ++step) s.PaintStep(step, full);
  state.counters["view_pixels"] = double(s.view->Width()) * s.view->Height();
}
void BM_DragInWindow(benchmark::State& state) {
  DragInWindow(state, false);
}
void BM_DragInWindowFullRepaint(benchmark::State& state) {
  DragInWindow(state, true);
}

BENCHMARK(BM_DragOptimizer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragFullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragInWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragInWindowFullRepaint)->Unit(benchmark::kMillisecond);

const bench::PeerComparison kDrag("drag_repaint_vs_full", "BM_DragOptimizer", "BM_DragFullRepaint",
                                  "0.2");
const bench::PeerComparison kWindowDrag("drag_in_window_vs_full", "BM_DragInWindow",
                                        "BM_DragInWindowFullRepaint", "0.2");

// Printed after the peer ratios, in the same form.
struct PixelReport {
  ~PixelReport() {
    if (pixelRatio > 0) std::printf("ratio drag_repainted_per_changed %.3f 2.0\n", pixelRatio);
  }
} pixelReport;

}  // namespace
