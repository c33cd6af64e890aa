// Hostile pictures and pages for the viewer: GIFs of extreme screens and frame counts, a page
// with the largest image map under a moving mouse, and pages of thousands of form controls. Each
// is held to a second; the memory it took is reported beside it (for pictures the most held at
// once, for pages the heap they held while shown). Pages of many panels or check boxes are loaded
// and unloaded at two sizes, the larger held to linear time against the smaller.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/BenchMain.h"
#include "html/HtmlEngine.h"
#include "html/images/GifAnimation.h"
#include "html/viewer/PageViewer.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"

namespace {

void Start() {
  static const bool started = (setenv("QT_QPA_PLATFORM", "offscreen", 0),
                               plat::Application().Initialize(), html::StartHtmlEngine(), true);
  (void)started;
}

// The most resident memory since the last call, in megabytes, less what was resident then.
class PeakMemory {
 public:
  PeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
    start_ = Read("VmRSS:");
  }
  double Megabytes() const { return double(Read("VmHWM:") - start_) / 1024; }

 private:
  static long Read(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string word;
    long kilobytes = 0;
    while (status >> word)
      if (word == key) status >> kilobytes;
    return kilobytes;
  }
  long start_ = 0;
};

void Word(std::string& out, int value) {
  out += char(value & 0xFF);
  out += char((value >> 8) & 0xFF);
}

// A GIF of the screen size whose frames each show one colour over their rectangle (2-bit codes:
// clear, the index, end), with a transparent index when asked.
std::string Gif(int width, int height, int frames, int frameWidth, int frameHeight,
                bool transparent) {
  std::string gif = "GIF89a";
  Word(gif, width);
  Word(gif, height);
  gif += "\x81";
  gif += std::string("\0\0", 2);
  gif += std::string("\xFF\0\0\0\xFF\0\0\0\xFF\xFF\xFF\xFF", 12);
  for (int i = 0; i < frames; ++i) {
    gif += std::string("\x21\xF9\x04", 3);
    gif += char(transparent ? 0x09 : 0x08);  // restore to background
    gif += std::string("\x02\0\x03\0", 4);
    gif += '\x2C';
    Word(gif, 0);
    Word(gif, 0);
    Word(gif, frameWidth);
    Word(gif, frameHeight);
    gif += '\0';
    const int index = i % 3;
    gif += std::string("\x02\x02", 2);
    gif += char(4 | (index << 3) | ((5 & 3) << 6));
    gif += char(5 >> 2);
    gif += '\0';
  }
  return gif + ";";
}

void LoadGif(benchmark::State& state, const std::string& bytes, bool expectPicture) {
  Start();
  double peak = 0;
  for (auto _ : state) {
    PeakMemory memory;
    plat::TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
    bool nonAnimated = false;
    auto image = html::LoadGifImageFromStream(nonAnimated, stream);
    if ((image != nullptr) != expectPicture) state.SkipWithError("unexpected outcome");
    peak = memory.Megabytes();
  }
  state.counters["peak_MB"] = peak;
}

// A viewer on a shown form with the page loaded and painted, then the mouse moved across it.
// Returns the heap the page held while it was shown, in megabytes.
double ShowPage(const std::string& page, int moves) {
  const size_t before = mallinfo2().uordblks;
  double held = 0;
  {
    plat::TForm form(nullptr);
    form.SetBounds(0, 0, 800, 600);
    form.Show();
    auto* viewer = form.Make<html::TPageViewer>();
    viewer->SetParent(&form);
    viewer->SetBounds(0, 0, 800, 600);
    viewer->LoadFromString(page, "");
    plat::CaptureControl(viewer->PaintPanel());
    for (int i = 0; i < moves; ++i)
      plat::SimulateMouse(viewer->PaintPanel(), plat::TMouseAction::Move, plat::mbLeft,
                          {(i * 37) % 700, (i * 53) % 500});
    plat::Application().ProcessMessages();
    held = double(mallinfo2().uordblks - before) / (1 << 20);
  }
  // The form's windows go with the events their freeing left behind.
  plat::Application().ProcessMessages();
  return held;
}

void ViewPage(benchmark::State& state, const std::string& page, int moves) {
  Start();
  double held = 0;
  for (auto _ : state) held = ShowPage(page, moves);
  state.counters["held_MB"] = held;
}

std::string Repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// The largest map: 1000 polygons of 150 points over a picture, none of them under the mouse.
std::string MapPage() {
  std::string coords;
  for (int i = 0; i < 150; ++i)
    coords += std::to_string(2000 + (i * 37) % 400) + "," + std::to_string((i * 91) % 300) + ",";
  std::string page = "<map name=m>";
  for (int i = 0; i < 1000; ++i)
    page += "<area shape=poly href=\"#a" + std::to_string(i) + "\" coords=\"" + coords + "\">";
  return page + "</map><img usemap=#m width=700 height=500 src=none.gif>";
}

#define CASE(name, body, limit)                                       \
  void BM_##name(benchmark::State& state) {                           \
    body;                                                             \
  }                                                                   \
  BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->Iterations(2); \
  const bench::TimeLimit k##name("viewer_" #name "_seconds", "BM_" #name "/iterations:2", limit)

// Screens at the frames bitmap's limit, with and without a mask.
CASE(GifScreen8000, LoadGif(state, Gif(8000, 8000, 1, 1, 1, false), true), 1.0);
CASE(GifScreen5700Masked, LoadGif(state, Gif(5700, 5700, 1, 1, 1, true), true), 1.0);
CASE(GifScreenTooLarge, LoadGif(state, Gif(65535, 65535, 2, 1, 1, false), false), 1.0);
// Frames: many small ones, and frames whose index buffers reach the decoder's pixel limit.
CASE(GifFrames3000, LoadGif(state, Gif(64, 64, 3000, 64, 64, true), true), 1.0);
CASE(GifFramesAtPixelLimit, LoadGif(state, Gif(16384, 16384, 1, 16384, 16384, false), false), 1.0);
CASE(MapUnderTheMouse, ViewPage(state, MapPage(), 200), 1.0);
CASE(FormControls3000,
     ViewPage(state,
              "<form>" + Repeated("<input name=a value=b><input type=checkbox checked> ", 1500) +
                  "</form>",
              20),
     1.0);
CASE(SelectOptions20000,
     ViewPage(state,
              "<form><select name=s>" + Repeated("<option>choice", 20000) + "</select></form>", 20),
     1.0);
CASE(ListOptions20000,
     ViewPage(state,
              "<form><select multiple name=s>" + Repeated("<option selected>choice", 20000) +
                  "</select></form>",
              20),
     1.0);

// Four times the windows may cost five times the time of the smaller page, not sixteen.
#define WINDOWS_PAGE(name, piece)                                                   \
  CASE(name##4000, ViewPage(state, Repeated(piece, 4000), 0), 1.0);                 \
  void BM_##name##16000(benchmark::State & state) {                                 \
    ViewPage(state, Repeated(piece, 16000), 0);                                     \
  }                                                                                 \
  BENCHMARK(BM_##name##16000)->Unit(benchmark::kMillisecond)->Iterations(2);        \
  const bench::PeerComparison k##name##Linear("viewer_" #name "16000_against_4000", \
                                              "BM_" #name "16000/iterations:2",     \
                                              "BM_" #name "4000/iterations:2", "5")

WINDOWS_PAGE(Panels, "<panel width=5 height=5>");
WINDOWS_PAGE(CheckBoxes, "<input type=checkbox>");

}  // namespace
