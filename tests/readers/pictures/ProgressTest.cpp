#include <gtest/gtest.h>

#include "GifTestFiles.h"
#include "PngTestFiles.h"
#include "readers/pictures/GifGraphic.h"
#include "readers/pictures/PngGraphic.h"
#include "tests/readers/LzwTestEncoder.h"

namespace readers {
namespace {

using namespace testing;

struct Report {
  plat::TProgressStage Stage;
  int Percent;
  bool Redraw;
  plat::TRect Rect;
  std::string Message;
  bool operator==(const Report&) const = default;
};

std::vector<Report> Record(TReaderGraphic& Graphic, const std::vector<uint8_t>& File) {
  std::vector<Report> reports;
  Graphic.OnProgress = [&](plat::TObject* Sender, plat::TProgressStage Stage, uint8_t Percent,
                           bool Redraw, const plat::TRect& Rect, const std::string& Message) {
    EXPECT_EQ(Sender, &Graphic);
    reports.push_back({Stage, Percent, Redraw, Rect, Message});
  };
  Graphic.LoadFromMemory(File.data(), static_cast<int64_t>(File.size()));
  return reports;
}

TEST(ReaderProgress, StagesAndRowsOfAPlainPng) {
  TPNGGraphic graphic;
  const auto reports = Record(graphic, WritePng({.Width = 5, .Height = 3, .ColorType = 2}));
  const std::vector<Report> expected = {
      {plat::psStarting, 0, false, {0, 0, 5, 1}, "Preparing..."},
      {plat::psEnding, 0, false, {0, 0, 5, 1}, ""},
      {plat::psStarting, 0, false, {0, 0, 5, 1}, "Transfering..."},
      {plat::psRunning, 0, true, {0, 0, 5, 1}, ""},
      {plat::psRunning, 33, true, {0, 1, 5, 2}, ""},
      {plat::psRunning, 67, true, {0, 2, 5, 3}, ""},
      {plat::psEnding, 0, false, {0, 3, 5, 4}, ""}};
  EXPECT_EQ(reports, expected);
}

TEST(ReaderProgress, InterlacedPicturesReportTheirLastPassOnly) {
  // Adam7 pass 7 holds rows 1, 3, 5; each report names the row a step further (3, 5, 7).
  TPNGGraphic png;
  auto recipe = PngSpec{.Width = 4, .Height = 6, .ColorType = 0};
  recipe.Interlaced = true;
  std::vector<int> percents;
  for (const Report& report : Record(png, WritePng(recipe)))
    if (report.Stage == plat::psRunning) percents.push_back(report.Percent);
  EXPECT_EQ(percents, (std::vector<int>{50, 83, 117}));

  // GIF: preparing, loading, transferring; an interlaced image reports during its fourth pass.
  TGIFGraphic gif;
  GifParts parts{.ScreenWidth = 2,
                 .ScreenHeight = 4,
                 .GlobalTable = {{0, 0, 0}, {1, 1, 1}},
                 .ImageWidth = 2,
                 .ImageHeight = 4,
                 .Interlaced = true,
                 .CodeSize = 2,
                 .Data = LzwEncode(std::vector<uint8_t>(8, 1), 2, true)};
  std::vector<std::string> stages;
  percents.clear();
  for (const Report& report : Record(gif, AssembleGif(parts))) {
    if (report.Stage == plat::psStarting) stages.push_back(report.Message);
    if (report.Stage == plat::psRunning) percents.push_back(report.Percent);
  }
  EXPECT_EQ(stages,
            (std::vector<std::string>{"Preparing...", "Loading data...", "Transfering..."}));
  EXPECT_EQ(percents, (std::vector<int>{75, 125}));
}

TEST(ReaderProgress, AssignCopiesPixelsAndProperties) {
  PngSpec recipe{.Width = 3, .Height = 2, .ColorType = 6};
  recipe.Texts = {{"Comment", "kept"}};
  TPNGGraphic source, copy;
  const auto file = WritePng(recipe);
  source.LoadFromMemory(file.data(), static_cast<int64_t>(file.size()));
  copy.Assign(source);
  EXPECT_EQ(copy.ImageProperties().Comment, "kept");
  EXPECT_EQ(copy.PixelFormat(), plat::pf32bit);
  EXPECT_EQ(copy.PixelARGB(2, 1), source.PixelARGB(2, 1));
}

}  // namespace
}  // namespace readers
