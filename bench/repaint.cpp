// A 16 x 16 repaint through the window of a control as large as a maximised view, against the
// same repaint of a 64 x 64 control: a repaint costs its area, not the control's.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "bench/support/BenchMain.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"

namespace {

class FillingControl : public plat::TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    Canvas()->Brush().SetColor(plat::clRed);
    Canvas()->FillRect(kArea);
  }

 public:
  static constexpr plat::TRect kArea{8, 8, 24, 24};
};

void Repaint(benchmark::State& state, int width, int height) {
  static const bool started =
      (setenv("QT_QPA_PLATFORM", "offscreen", 0), plat::Application().Initialize(), true);
  (void)started;
  {
    plat::TForm form(nullptr);
    form.SetClientWidth(width);
    form.SetClientHeight(height);
    auto* control = form.Make<FillingControl>();
    control->SetParent(&form);
    control->SetBounds(0, 0, width, height);
    form.Show();
    plat::Application().ProcessMessages();
    for (auto _ : state) control->RepaintRect(FillingControl::kArea);
    state.counters["control_pixels"] = double(control->Width()) * control->Height();
  }
  plat::Application().ProcessMessages();  // the form's window goes before the platform does
}

void BM_RepaintOfLargeControl(benchmark::State& state) {
  Repaint(state, 1900, 1000);
}
void BM_RepaintOfSmallControl(benchmark::State& state) {
  Repaint(state, 64, 64);
}

BENCHMARK(BM_RepaintOfLargeControl)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintOfSmallControl)->Unit(benchmark::kMicrosecond);

const bench::PeerComparison kRepaint("repaint_16px_large_vs_small_control",
                                     "BM_RepaintOfLargeControl", "BM_RepaintOfSmallControl", "2.0");

}  // namespace
