// One page built with 100,000 style rules against the same page with 1,000: building the sheet
// and styling the page's elements grow with the rules, not with their square.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/support/BenchMain.h"
#include "html/HtmlEngine.h"
#include "html/layout/sections/PageSections.h"
#include "html/parse/DocumentBuilder.h"
#include "platform/windows/QtRuntime.h"

namespace {

// Half class rules in falling key order, a quarter descendant rules, a quarter ID rules, and one
// long list of the same descendant selector; then a fixed body of nested, classed elements.
std::string Page(int rules) {
  std::string page = "<style>";
  char buffer[128];
  for (int i = rules / 2; i > 0; --i) {
    std::snprintf(buffer, sizeof buffer, ".k%06d{color:red;z-index:%d}\n", i, i % 7);
    page += buffer;
  }
  for (int i = 0; i < rules / 8; ++i) {
    std::snprintf(buffer, sizeof buffer, "div .k%06d a, p.k%06d em{font-size:120%%}\n", i, i);
    page += buffer;
  }
  for (int i = 0; i < rules / 4; ++i) {
    std::snprintf(buffer, sizeof buffer, "#n%d{margin-left:%dpx}\n", i, i % 40);
    page += buffer;
  }
  for (int i = 0; i < rules; ++i) page += "a b,";
  page += "a b{color:blue}</style>";
  for (int i = 0; i < 500; ++i) {
    std::snprintf(buffer, sizeof buffer,
                  "<div class=k%06d id=n%d><p class=\"k%06d x\">a <a href=x><b>b</b></a> "
                  "<em>c</em></p></div>\n",
                  i + 1, i, i + 2);
    page += buffer;
  }
  return page;
}

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

void BuildPage(benchmark::State& state) {
  static const bool started = (setenv("QT_QPA_PLATFORM", "offscreen", 0),
                               plat::EnsureQtApplication(), html::StartHtmlEngine(), true);
  (void)started;
  const std::string page = Page(int(state.range(0)));
  size_t grown = 0;
  for (auto _ : state) {
    html::TSectionList document(nullptr, nullptr);
    document.ApplyDefaults("DejaVu Sans", "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0xFF,
                           0xFFFFFF, true, true, 0, 8, 10);
    const size_t before = HeapInUse();
    html::ParseHtmlDocument(page, document);
    grown = std::max(grown, HeapInUse() - before);
  }
  state.counters["rules"] = double(state.range(0));
  state.counters["heap_MB"] = double(grown) / (1 << 20);
}

BENCHMARK(BuildPage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

const bench::PeerComparison kStyleSheet("stylesheet_page_100k_vs_1k_rules", "BuildPage/100000",
                                        "BuildPage/1000", "100");

}  // namespace
