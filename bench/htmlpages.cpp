// Hostile pages built, laid out and painted from scratch: deep nesting, huge tables, long
// paragraphs full of what the text tidying removes, many bordered or linked runs, long PRE and
// TEXTAREA texts. Each is held to a second, and the heap the built document holds to a bound of
// its own.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/BenchMain.h"
#include "html/HtmlEngine.h"
#include "html/layout/sections/PageSections.h"
#include "html/parse/DocumentBuilder.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/windows/Application.h"

namespace {

constexpr int kWidth = 600, kHeight = 400;

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  text.reserve(piece.size() * size_t(times));
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string Nested(const std::string& open, const std::string& inner, const std::string& close,
                   int depth) {
  return Repeated(open, depth) + inner + Repeated(close, depth);
}

std::string Table(int rows, int columns) {
  return "<table border=1>" + Repeated("<tr>" + Repeated("<td>cell</td>", columns), rows) +
         "</table>";
}

// Heap in use, the blocks the allocator maps on their own included.
size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void Page(benchmark::State& state, const std::string& name, const std::string& page,
          double heldLimitMB) {
  static const bool started = (setenv("QT_QPA_PLATFORM", "offscreen", 0),
                               plat::Application().Initialize(), html::StartHtmlEngine(), true);
  (void)started;
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  plat::DeviceContext dc(pixels.data(), kWidth, kHeight, kWidth * 4);
  plat::TCanvas canvas(&dc);
  size_t held = 0;
  for (auto _ : state) {
    // Walking the heap is the measurement's cost, not the page's.
    state.PauseTiming();
    const size_t before = HeapInUse();
    state.ResumeTiming();
    html::TSectionList document(nullptr, nullptr);
    document.ApplyDefaults("DejaVu Sans", "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0xFF,
                           0xFFFFFF, true, true, 0, 8, 10);
    html::ParseHtmlDocument(page, document);
    int32_t scrollWidth = 0, pos = 0;
    document.Layout(canvas, 0, kWidth, kHeight, 0, scrollWidth, pos);
    document.Draw(canvas, {0, 0, kWidth, kHeight}, kWidth, 0, 0, 0, 0);
    state.PauseTiming();
    held = HeapInUse() - before;
    state.ResumeTiming();
  }
  const double heldMB = double(held) / (1 << 20);
  state.counters["held_MB"] = heldMB;
  bench::ReportRatio("page_" + name + "_held_memory", heldMB / heldLimitMB, "1");
}

// A page, its time held to a second and the memory its document holds to heldLimitMB.
#define PAGE(name, heldLimitMB, page)                                 \
  void BM_##name(benchmark::State& state) {                           \
    Page(state, #name, page, heldLimitMB);                            \
  }                                                                   \
  BENCHMARK(BM_##name)->Unit(benchmark::kMillisecond)->Iterations(2); \
  const bench::TimeLimit k##name("page_" #name "_seconds", "BM_" #name "/iterations:2", 1.0)

// Lines of one character up to a megabyte of text.
std::string ShortLines(const std::string& open, const std::string& close) {
  return open + Repeated("x\n", 1 << 19) + close;
}

PAGE(Divs3000Deep, 64, Nested("<div style='margin-left:1px'>", "deep", "</div>", 3000));
PAGE(Tables60Deep, 64, Nested("<table><tr><td>", "deep", "</td></tr></table>", 60));
PAGE(Cells50000, 64, Table(500, 100));
PAGE(Rows20000, 64, Table(20000, 2));
PAGE(SpannedCells10000, 64,
     "<table>" +
         Repeated("<tr><td rowspan=3 colspan=2>a</td><td>b</td>" +
                      Repeated("<td colspan=3>c</td>", 20),
                  500) +
         "</table>");
PAGE(SoftHyphens200000, 64, "<p>" + Repeated("ab&shy;", 200000) + "</p>");
PAGE(Spaces1MB, 64, "<p>" + Repeated("a  <b> </b> ", 100000) + "</p>");
PAGE(BorderedSpans20000, 64,
     "<p>" + Repeated("<span style='border:1px solid red'>x</span> ", 20000) + "</p>");
PAGE(Links50000, 64, "<p>" + Repeated("<a href='#a'>link</a> ", 50000) + "</p>");
// One link of 100,000 runs in turns of two fonts: a link run held to the bound Links50000 gives.
PAGE(RunsOfOneLink50000, 128, "<p><a href='#a'>" + Repeated("<b>a</b>c ", 50000) + "</a></p>");
PAGE(Paragraphs100000, 64, Repeated("<p>para</p>", 100000));
PAGE(PreLines1MB, 64, ShortLines("<pre>", "</pre>"));
PAGE(TextAreaLines1MB, 64, ShortLines("<form><textarea>", "</textarea></form>"));

}  // namespace
