// Laying out one long paragraph of a page: the cost should follow its length, for plain words and
// for words in many font runs. Painting one screen of a very long unbreakable line should cost
// what that screen shows.
#include <benchmark/benchmark.h>

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

void StartOnce() {
  static const bool started = (setenv("QT_QPA_PLATFORM", "offscreen", 0),
                               plat::Application().Initialize(), html::StartHtmlEngine(), true);
  (void)started;
}

std::string Repeated(const std::string& piece, size_t bytes) {
  std::string text;
  while (text.size() < bytes) text += piece;
  return text;
}

std::unique_ptr<html::TSectionList> Built(const std::string& page) {
  StartOnce();
  auto document = std::make_unique<html::TSectionList>(nullptr, nullptr);
  document->ApplyDefaults("DejaVu Sans", "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0xFF,
                          0xFFFFFF, true, true, 0, 8, 10);
  html::ParseHtmlDocument(page, *document);
  return document;
}

// Lays the page out at the screen's width on every iteration.
void LayOut(benchmark::State& state, const std::string& page) {
  const auto document = Built(page);
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  plat::DeviceContext dc(pixels.data(), kWidth, kHeight, kWidth * 4);
  plat::TCanvas canvas(&dc);
  int32_t height = 0;
  for (auto _ : state) {
    int32_t scrollWidth = 0, pos = 0;
    height = document->Layout(canvas, 0, kWidth, kHeight, 0, scrollWidth, pos);
  }
  state.counters["page_height"] = height;
}

void BM_Paragraph100KB(benchmark::State& state) {
  LayOut(state, "<p>" + Repeated("word ", 100'000) + "</p>");
}
void BM_Paragraph1MB(benchmark::State& state) {
  LayOut(state, "<p>" + Repeated("word ", 1'000'000) + "</p>");
}
// Hebrew is measured as the desktop lays it out: read right to left, in one piece. The byte-order
// mark makes the page UTF-8.
const std::string kHebrewWord = "\u05E9\u05DC\u05D5\u05DD";
const std::string kUtf8 = "\xEF\xBB\xBF";
void BM_HebrewParagraph1MB(benchmark::State& state) {
  LayOut(state, kUtf8 + "<p>" + Repeated(kHebrewWord + " ", 1'000'000) + "</p>");
}
// Four runs a piece: bold, plain space, italic, plain space.
void BM_Runs8000(benchmark::State& state) {
  LayOut(state, "<p>" + Repeated("<b>ab</b> <i>cd</i> ", 2'000 * 20) + "</p>");
}
// Four runs a piece: bold, plain space, italic, plain space.
void BM_Runs80000(benchmark::State& state) {
  LayOut(state, "<p>" + Repeated("<b>ab</b> <i>cd</i> ", 20'000 * 20) + "</p>");
}

// Paints the first screen of a page laid out once.
void Paint(benchmark::State& state, const std::string& page) {
  const auto document = Built(page);
  std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
  plat::DeviceContext dc(pixels.data(), kWidth, kHeight, kWidth * 4);
  plat::TCanvas canvas(&dc);
  int32_t scrollWidth = 0, pos = 0;
  document->Layout(canvas, 0, kWidth, kHeight, 0, scrollWidth, pos);
  for (auto _ : state) document->Draw(canvas, {0, 0, kWidth, kHeight}, kWidth, 0, 0, 0, 0);
}

void BM_PaintWord1MB(benchmark::State& state) {
  Paint(state, "<p>" + std::string(1'000'000, 'w') + "</p>");
}
void BM_PaintWord1KB(benchmark::State& state) {
  Paint(state, "<p>" + std::string(1'000, 'w') + "</p>");
}
// Drawn whole, since a part of it alone would be laid out otherwise.
void BM_PaintHebrewWord1MB(benchmark::State& state) {
  Paint(state, kUtf8 + "<p>" + Repeated(kHebrewWord, 1'000'000) + "</p>");
}
// Measures one long line of text with the context the engine draws with; every round measures a
// text of its own, so that no laid out line is reused.
void Measure(benchmark::State& state, const std::u16string& piece) {
  StartOnce();
  plat::DeviceContext dc;
  plat::TLogFont font;
  font.FaceName = "DejaVu Sans";
  font.Height = -16;
  dc.SelectFont(font);
  std::u16string text;
  while (text.size() < 100'000) text += piece;
  int32_t width = 0;
  uint32_t round = 0;
  for (auto _ : state) {
    for (size_t k = 0; k < 8; ++k) text[k] = char16_t(u'0' + (round >> (3 * k) & 7));
    ++round;
    width = dc.GetTextExtent(text).cx;
  }
  state.counters["width"] = width;
}

void BM_MeasureLine100K(benchmark::State& state) {
  Measure(state, u"word ");
}
void BM_MeasureHebrewLine100K(benchmark::State& state) {
  Measure(state, u"\u05E9\u05DC\u05D5\u05DD ");
}

BENCHMARK(BM_Paragraph100KB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paragraph1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HebrewParagraph1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Runs8000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Runs80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWord1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWord1KB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintHebrewWord1MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureLine100K)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureHebrewLine100K)->Unit(benchmark::kMillisecond);

const bench::PeerComparison kParagraph("paragraph_layout_1mb_vs_100kb", "BM_Paragraph1MB",
                                       "BM_Paragraph100KB", "12");
const bench::TimeLimit kParagraphSecond("paragraph_layout_1mb_seconds", "BM_Paragraph1MB", 1.0);
const bench::PeerComparison kHebrew("paragraph_layout_1mb_hebrew_vs_latin", "BM_HebrewParagraph1MB",
                                    "BM_Paragraph1MB");
const bench::PeerComparison kMeasure("measure_100k_line_hebrew_vs_latin",
                                     "BM_MeasureHebrewLine100K", "BM_MeasureLine100K");
const bench::PeerComparison kRuns("paragraph_layout_80000_vs_8000_runs", "BM_Runs80000",
                                  "BM_Runs8000");
const bench::PeerComparison kLongLine("paint_screen_of_1mb_word_vs_1kb_word", "BM_PaintWord1MB",
                                      "BM_PaintWord1KB", "2");
const bench::PeerComparison kHebrewLine("paint_screen_of_1mb_hebrew_word_vs_1mb_word",
                                        "BM_PaintHebrewWord1MB", "BM_PaintWord1MB");

}  // namespace
