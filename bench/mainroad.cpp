// The editor's whole job - open a 6000 x 4000 JPEG, add a 1000 x 500 PNG layer with alpha at
// opacity 128 and a text layer, save as JPEG quality 100 - beside ImageMagick, libvips and a
// decode-and-encode floor. The peers run as child processes, so every figure is CPU time of the
// process that did the work (ours: this process; peers: the child and its children).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ProgramStart.h"
#include "app/road/Background.h"
#include "app/road/Composition.h"
#include "app/road/PictureLayers.h"
#include "bench/support/BenchMain.h"
#include "bench/support/PngWriter.h"
#include "graphics/controls/Image.h"

extern char** environ;

namespace {

constexpr int BgWidth = 6000, BgHeight = 4000, WmWidth = 1000, WmHeight = 500;

struct Figures {
  double cpuSeconds = 0;
  long peakKilobytes = 0;
};

// Prints the comparisons once every benchmark has run: the library's own ratio lines read the
// benchmark thread's CPU time, which a child process does not add to.
class JobReport {
 public:
  ~JobReport() {
    const auto ours = figures_.find("ours");
    if (ours == figures_.end()) return;
    const struct {
      const char* peer;
      const char* name;
      const char* target;
    } pairs[] = {{"imagemagick", "mainroad_vs_imagemagick", "0.5"},
                 {"libvips", "mainroad_vs_libvips", "1.0"},
                 {"floor", "mainroad_vs_djpeg_cjpeg", "1.3"}};
    for (const auto& p : pairs) {
      const auto peer = figures_.find(p.peer);
      if (peer == figures_.end() || peer->second.cpuSeconds <= 0) continue;
      std::printf("ratio %s %.3f %s\n", p.name, ours->second.cpuSeconds / peer->second.cpuSeconds,
                  p.target);
    }
    for (const auto& [name, f] : figures_)
      std::printf("job %s cpu %.3f s peak %ld MB\n", name.c_str(), f.cpuSeconds,
                  f.peakKilobytes / 1024);
    const auto im = figures_.find("imagemagick");
    if (im != figures_.end() && im->second.peakKilobytes > 0)
      std::printf("ratio mainroad_peak_memory_vs_imagemagick %.3f 1.0\n",
                  double(ours->second.peakKilobytes) / double(im->second.peakKilobytes));
  }
  void Record(const std::string& name, const Figures& f) { figures_[name] = f; }

 private:
  std::map<std::string, Figures> figures_;
};
JobReport report;

// A photograph-like background: gradients with noise, so the encoder works as on a real one.
void WriteBackground(const std::string& path) {
  gfx::TBitmap32 b;
  b.SetSize(BgWidth, BgHeight);
  std::mt19937 random(3);
  for (int y = 0; y < BgHeight; ++y) {
    gfx::TColor32* row = b.RowPtr(y);
    for (int x = 0; x < BgWidth; ++x) {
      const int n = int(random() % 11) - 5;
      const int r = std::clamp(x * 255 / BgWidth + n, 0, 255);
      const int g = std::clamp(y * 255 / BgHeight - n, 0, 255);
      const int bl = std::clamp(int(128 + 100 * std::sin((x + y) / 300.0)) + n, 0, 255);
      row[x] = 0xFF000000u | gfx::TColor32(r) << 16 | gfx::TColor32(g) << 8 | gfx::TColor32(bl);
    }
  }
  app::WriteJpegFile(b, path);
}

// A logo-like PNG: an opaque disc fading out, on transparency.
void WriteWatermark(const std::string& path) {
  std::vector<uint8_t> pixels(size_t(WmWidth) * WmHeight * 4);
  for (int y = 0; y < WmHeight; ++y)
    for (int x = 0; x < WmWidth; ++x) {
      uint8_t* p = &pixels[(size_t(y) * WmWidth + x) * 4];
      const double d = std::hypot(x - WmWidth / 2.0, (y - WmHeight / 2.0) * 2) / (WmWidth / 2.0);
      p[0] = uint8_t(255 * x / WmWidth);
      p[1] = 200;
      p[2] = uint8_t(255 * y / WmHeight);
      p[3] = uint8_t(std::clamp(255 * (1.2 - d), 0.0, 255.0));
    }
  bench::WriteRgbaPng(path, WmWidth, WmHeight, -1,
                      [&pixels](int y) { return &pixels[size_t(y) * WmWidth * 4]; });
}

constexpr const char* PicturesVariable = "PIXSTAMP_MAINROAD_PICTURES";

struct FolderRemover {
  ~FolderRemover() {
    std::error_code ignored;
    if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
  }
  std::string folder;
} remover;

struct Pictures {
  std::string folder, bg, wm;
};

const Pictures& TestPictures() {
  static const Pictures pictures = [] {
    app::StartProgram();
    // Before the registries' own statics go away.
    std::atexit([] { app::StopProgram(); });
    // A child run for the memory figure finds the pictures made by its parent.
    const char* made = std::getenv(PicturesVariable);
    std::string pattern = (std::filesystem::temp_directory_path() / "mainroad-XXXXXX").string();
    Pictures p{made ? std::string(made) : std::string(mkdtemp(pattern.data())), "", ""};
    p.bg = p.folder + "/bg.jpg";
    p.wm = p.folder + "/wm.png";
    if (made) return p;
    WriteBackground(p.bg);
    WriteWatermark(p.wm);
    remover.folder = p.folder;
    return p;
  }();
  return pictures;
}

double CpuSeconds(const rusage& u) {
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Runs a shell command and gives the CPU time of its processes.
Figures RunCommand(const std::string& command) {
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    throw std::runtime_error("cannot start " + command);
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("failed: " + command);
  return {CpuSeconds(usage), 0};
}

// The largest resident size of Command's processes, measured by GNU time in a small process of
// its own, so this program's size does not count.
long PeakKilobytes(const Pictures& p, const std::string& command) {
  const std::string file = p.folder + "/peak.txt";
  RunCommand("cd '" + p.folder + "' && /usr/bin/time -f %M -o '" + file + "' " + command);
  std::ifstream in(file);
  long kilobytes = 0, value = 0;
  while (in >> value) kilobytes = value;
  return kilobytes;
}

void RunOurJob(const Pictures& p) {
  gfx::TImage32 view{nullptr};
  gfx::TBitmap32 pristine;
  app::InstallBackground(view, pristine, app::ReadBackground(p.bg));
  const app::TLayerSurroundings around{BgWidth, BgHeight, BgWidth, BgHeight};
  app::TPictureLayerRequest request{p.wm};
  request.X = 100;
  request.Y = 100;
  app::ApplyLayerOpacity(app::AddPictureLayer(view.Layers(), request, around), 128);
  app::TRenderText text;
  text.FontName = "DejaVu Sans";
  text.Size = 40;
  text.TextColor = 0xFFF0FBFF;
  text.BackColor = 0x800000;
  text.Text = "PixStamp";
  app::AddTextLayer(view.Layers(), text, {}, around);
  app::SaveAsJpeg(view, p.folder + "/ours.jpg");
}

void BM_MainRoad(benchmark::State& state) {
  const Pictures& p = TestPictures();
  double total = 0;
  for (auto _ : state) {
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    RunOurJob(p);
    getrusage(RUSAGE_SELF, &after);
    const double seconds = CpuSeconds(after) - CpuSeconds(before);
    state.SetIterationTime(seconds);
    total += seconds;
  }
  // One job in a child process of this program, which finds the pictures already made.
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const long peak =
      PeakKilobytes(p, std::string("env ") + PicturesVariable + "='" + p.folder + "' '" + self +
                           "' --benchmark_filter=BM_OneJob > /dev/null");
  report.Record("ours", {total / double(state.iterations()), peak});
}

// One run of the job, used by the memory figure above.
void BM_OneJob(benchmark::State& state) {
  const Pictures& p = TestPictures();
  for (auto _ : state) RunOurJob(p);
}

void RunPeer(benchmark::State& state, const std::string& name, const std::string& command) {
  const Pictures& p = TestPictures();
  const std::string line = "cd '" + p.folder + "' && " + command;
  double total = 0;
  for (auto _ : state) {
    const double seconds = RunCommand(line).cpuSeconds;
    state.SetIterationTime(seconds);
    total += seconds;
  }
  report.Record(
      name, {total / double(state.iterations()), PeakKilobytes(p, "sh -c \"" + command + "\"")});
}

void BM_ImageMagick(benchmark::State& state) {
  RunPeer(state, "imagemagick",
          "/usr/bin/convert bg.jpg wm.png -geometry +100+100 -compose over -composite "
          "-quality 100 im.jpg");
}

void BM_Libvips(benchmark::State& state) {
  RunPeer(state, "libvips", "vips composite2 bg.jpg wm.png 'vips.jpg[Q=100]' over --x 100 --y 100");
}

void BM_DjpegCjpeg(benchmark::State& state) {
  RunPeer(state, "floor", "djpeg bg.jpg | cjpeg -quality 100 > floor.jpg");
}

BENCHMARK(BM_OneJob)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainRoad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImageMagick)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Libvips)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DjpegCjpeg)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
