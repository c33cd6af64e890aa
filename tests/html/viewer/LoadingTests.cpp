// Loading pages: defaults handed over at the start of a load, the body's margins, refused nested
// work, recovery from a failing load, META refresh, clearing, and the values the setters keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ViewerTestPage.h"
#include "html/layout/blocks/PageItems.h"

namespace html::test {
namespace {

std::string DocumentFontName(TPageViewer& viewer) {
  const TProperties* defaults = viewer.Document().StyleSheet.DefaultProperties();
  return defaults ? defaults->DefaultFontName : std::string("(none)");
}

TEST(ViewerSetters, OutOfRangeValuesAreBroughtIntoRange) {
  TPageViewer viewer{nullptr};
  viewer.SetImageCacheCount(-3);
  EXPECT_EQ(viewer.ImageCacheCount(), 0);
  viewer.SetImageCacheCount(25);
  EXPECT_EQ(viewer.ImageCacheCount(), 20);
  viewer.SetPrintScale(5.0);
  EXPECT_EQ(viewer.PrintScale(), 4.0);
  viewer.SetPrintScale(0.1);
  EXPECT_EQ(viewer.PrintScale(), 0.25);
  viewer.SetCursor(2);
  EXPECT_EQ(viewer.Cursor(), plat::crIBeam);
  viewer.SetCursor(plat::crHandPoint);
  EXPECT_EQ(viewer.Cursor(), plat::crHandPoint);
  viewer.SetServerRoot("/srv/site//");
  EXPECT_EQ(viewer.ServerRoot(), "/srv/site/");
}

TEST(ViewerLoading, FontDefaultsActAtTheNextLoadOnly) {
  TPageViewer viewer{nullptr};
  viewer.LoadFromBuffer("", 0, "");
  EXPECT_EQ(DocumentFontName(viewer), "Times New Roman");
  viewer.SetDefFontName("Arial");
  viewer.SetDefFontSize(40);
  viewer.SetDefFontColor(plat::clRed);
  EXPECT_EQ(DocumentFontName(viewer), "Times New Roman");
  const std::string page = "<p>x</p>";
  viewer.LoadFromBuffer(page.data(), int64_t(page.size()), "");
  EXPECT_EQ(DocumentFontName(viewer), "Arial");
  EXPECT_EQ(viewer.DocumentSource(), page);
}

TEST(ViewerLoading, BackgroundCannotChangeWhileALoadRuns) {
  TPageViewer viewer{nullptr};
  viewer.SetDefBackground(plat::clYellow);
  int changes = 0;
  viewer.Document().BackColorChanged = [&](TSectionList*) { ++changes; };
  EXPECT_EQ(viewer.Document().BackColor, plat::clYellow);
  EXPECT_EQ(viewer.PaintPanel().Color(), plat::clYellow);
  viewer.SetDefBackground(plat::clAqua);
  EXPECT_EQ(changes, 0);  // written straight into the document

  viewer.OnParseEnd = [&](plat::TObject*) { viewer.SetDefBackground(plat::clRed); };
  viewer.LoadFromString("<p>x</p>", "");
  EXPECT_EQ(viewer.DefBackground(), plat::clAqua);
  EXPECT_EQ(viewer.Document().BackColor, plat::clAqua);
}

TEST(ViewerLoading, LoadsAreNotNestedAndReportTheirProgress) {
  TPageViewer viewer{nullptr};
  std::vector<std::pair<plat::TProgressStage, int>> progress;
  std::vector<bool> processing;
  int parses = 0;
  viewer.OnProgress = [&](plat::TObject* sender, plat::TProgressStage stage, int percent) {
    EXPECT_EQ(sender, &viewer);
    progress.emplace_back(stage, percent);
  };
  viewer.OnProcessing = [&](plat::TObject*, bool on) { processing.push_back(on); };
  viewer.OnParseBegin = [&](plat::TObject*, std::string&) { ++parses; };
  viewer.OnParseEnd = [&](plat::TObject*) {
    EXPECT_TRUE(viewer.Processing());
    viewer.LoadFromString("<p>again</p>", "");
    viewer.Clear();
  };
  viewer.LoadFromString("<p>x</p>", "");
  EXPECT_EQ(parses, 1);
  EXPECT_EQ(processing, (std::vector<bool>{true, false}));
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress.front(), std::make_pair(plat::psStarting, 0));
  EXPECT_EQ(progress.back(), std::make_pair(plat::psEnding, 100));
}

// Percentages of psRunning reports between the first and the last report.
std::vector<int> RunningPercentages(
    const std::vector<std::pair<plat::TProgressStage, int>>& progress) {
  std::vector<int> running;
  for (const auto& [stage, percent] : progress)
    if (stage == plat::psRunning) running.push_back(percent);
  return running;
}

TEST(ViewerLoading, ALargePageReportsRisingProgressFromTheParseAndTheLayout) {
  TPageViewer viewer{nullptr};
  viewer.SetBounds(0, 0, 400, 300);
  std::string page;
  for (int i = 0; page.size() < 100000; ++i)
    page += "<p>Paragraph " + std::to_string(i) + " of a long page.</p>\n";
  std::vector<std::pair<plat::TProgressStage, int>> progress;
  viewer.OnProgress = [&](plat::TObject* sender, plat::TProgressStage stage, int percent) {
    EXPECT_EQ(sender, &viewer);
    progress.emplace_back(stage, percent);
  };
  viewer.LoadFromString(page, "");
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress.front(), std::make_pair(plat::psStarting, 0));
  EXPECT_EQ(progress.back(), std::make_pair(plat::psEnding, 100));
  const std::vector<int> loading = RunningPercentages(progress);
  EXPECT_TRUE(std::is_sorted(loading.begin(), loading.end()));
  // The parse reports every 4 KB up to 75 percent, the layout every 50 paragraphs after it.
  const auto layoutStart =
      std::find_if(loading.begin(), loading.end(), [](int p) { return p > 75; });
  EXPECT_GE(layoutStart - loading.begin(), 20);
  EXPECT_GE(loading.end() - layoutStart, 20);
  EXPECT_GT(loading.front(), 0);
  EXPECT_LE(loading.back(), 100);

  // A new width lays the page out again, which alone makes the whole 0 to 100.
  progress.clear();
  viewer.SetWidth(500);
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress.front(), std::make_pair(plat::psStarting, 0));
  EXPECT_EQ(progress.back(), std::make_pair(plat::psEnding, 100));
  const std::vector<int> relayout = RunningPercentages(progress);
  ASSERT_GE(relayout.size(), 20u);
  EXPECT_TRUE(std::is_sorted(relayout.begin(), relayout.end()));
  EXPECT_LT(relayout.front(), 10);
  EXPECT_GE(relayout.back(), 95);
}

TEST(ViewerLoading, TheLayoutCountsTheSectionsOfThePageBeingLoaded) {
  TPageViewer viewer{nullptr};
  viewer.SetBounds(0, 0, 400, 300);
  auto paragraphs = [](int count) {
    std::string page;
    for (int i = 0; i < count; ++i) page += "<p>paragraph " + std::to_string(i) + "</p>";
    return page;
  };
  std::vector<std::pair<plat::TProgressStage, int>> progress;
  viewer.OnProgress = [&](plat::TObject*, plat::TProgressStage stage, int percent) {
    progress.emplace_back(stage, percent);
  };
  viewer.LoadFromString(paragraphs(30), "");
  progress.clear();
  viewer.LoadFromString(paragraphs(60), "");
  // Each layout pass reports section 50 of 60, at 75 + 25 * 50 / 60 percent.
  std::vector<int> layout = RunningPercentages(progress);
  std::erase_if(layout, [](int percent) { return percent <= 75; });
  EXPECT_FALSE(layout.empty());
  EXPECT_EQ(layout, std::vector<int>(layout.size(), 95));
}

TEST(ViewerLoading, FailingLoadLeavesTheViewerUsable) {
  TPageViewer viewer{nullptr};
  viewer.SetBounds(0, 0, 200, 150);
  std::vector<plat::TProgressStage> stages;
  viewer.OnProgress = [&](plat::TObject*, plat::TProgressStage stage, int) {
    stages.push_back(stage);
  };
  viewer.OnParseBegin = [](plat::TObject*, std::string&) { throw std::runtime_error("bad"); };
  EXPECT_THROW(viewer.LoadFromString("<p>x</p>", ""), std::runtime_error);
  EXPECT_FALSE(viewer.Processing());
  EXPECT_FALSE(viewer.Busy());
  EXPECT_EQ(stages.back(), plat::psEnding);

  // A handler failing at the end does not hide the error that ended the load.
  viewer.OnProgress = [](plat::TObject*, plat::TProgressStage stage, int) {
    if (stage == plat::psEnding) throw std::logic_error("late");
  };
  EXPECT_THROW(viewer.LoadFromString("<p>x</p>", ""), std::runtime_error);
  EXPECT_FALSE(viewer.Processing());
  viewer.OnParseBegin = nullptr;
  EXPECT_THROW(viewer.LoadFromString("<p>x</p>", ""), std::logic_error);
  EXPECT_FALSE(viewer.Processing());
  viewer.OnProgress = nullptr;

  TBoxItem* box = LoadBoxes(viewer, 20, OneBox(viewer, 50, 500));
  EXPECT_FALSE(box->LaidOutAt.empty());
  EXPECT_TRUE(viewer.VScrollBar().Visible());
}

TEST(ViewerLoading, MetaRefreshContent) {
  struct Case {
    const char* httpEq;
    const char* content;
    int delay;  // 0: no refresh
    const char* url;
  };
  const Case cases[] = {
      {"Refresh", "0; URL=next.htm", 1, "next.htm"},
      {"refresh", "15", 15, ""},
      {"REFRESH", " 3 ;url=a.htm", 3, "a.htm"},
      {"refresh", "soon; url=a.htm", 0, ""},
      {"refresh", "", 0, ""},
      {"refresh", "99999999999999999999", 0, ""},
      {"expires", "5; url=a.htm", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    TPageViewer viewer{nullptr};
    int delay = 0;
    std::string url;
    viewer.OnMetaRefresh = [&](plat::TObject*, int d, const std::string& u) {
      delay = d;
      url = u;
    };
    viewer.OnParseEnd = [&](plat::TObject*) { viewer.HandleMeta(c.httpEq, "", c.content); };
    viewer.LoadFromBuffer("x", 1, "");
    EXPECT_EQ(delay, c.delay);
    EXPECT_EQ(url, c.url);
  }
}

TEST(ViewerLoading, BareStringsAlwaysStartAtTheTop) {
  TPageViewer viewer{nullptr};
  viewer.SetBounds(0, 0, 200, 150);
  LoadBoxes(viewer, 20, OneBox(viewer, 50, 1000));
  viewer.ScrollTo(400);
  LoadBoxes(viewer, 20, OneBox(viewer, 50, 1000));
  EXPECT_EQ(viewer.Position(), 0);
}

TEST(ViewerLoading, BodyKeepsTheViewerMarginsUnlessItsAttributesGiveOthers) {
  TPageViewer viewer{nullptr};
  viewer.SetBounds(0, 0, 300, 200);
  viewer.SetMarginHeight(30);
  viewer.SetMarginWidth(40);
  struct {
    const char* page;
    int32_t left, right, top, bottom;
  } const cases[] = {
      {"x", 40, 40, 30, 30},
      {"<body>x", 40, 40, 30, 30},
      {"<body bgcolor=yellow>x", 40, 40, 30, 30},
      // Below the viewer's margin: no collapsing with the replaced body.
      {"<body topmargin=20>x", 40, 40, 20, 20},
      {"<body marginwidth=5 marginheight=0>x", 5, 5, 0, 0},
      {"<style>body { margin-left: 3px }</style><body leftmargin=9>x", 3, 9, 30, 30}};
  for (const auto& c : cases) {
    viewer.LoadFromString(c.page, "");
    const auto& body = dynamic_cast<const TBlock&>(*viewer.Document().First());
    EXPECT_EQ(body.Margins[piMarginLeft], c.left) << c.page;
    EXPECT_EQ(body.Margins[piMarginRight], c.right) << c.page;
    EXPECT_EQ(body.Margins[piMarginTop], c.top) << c.page;
    EXPECT_EQ(body.Margins[piMarginBottom], c.bottom) << c.page;
  }
}

TEST(ViewerLoading, ClearEmptiesThePageAndHidesTheBars) {
  TPageViewer viewer{nullptr};
  viewer.SetBounds(0, 0, 200, 150);
  LoadBoxes(viewer, 20, OneBox(viewer, 9000, 1000));
  ASSERT_TRUE(viewer.VScrollBar().Visible());
  ASSERT_TRUE(viewer.HScrollBar().Visible());
  bool soundStopped = false;
  viewer.OnSoundRequest = [&](plat::TObject*, const std::string& src, int, bool terminate) {
    soundStopped = src.empty() && terminate;
  };
  viewer.Clear();
  EXPECT_TRUE(viewer.Document().Empty());
  EXPECT_FALSE(viewer.VScrollBar().Visible());
  EXPECT_FALSE(viewer.HScrollBar().Visible());
  EXPECT_EQ(viewer.VScrollBar().Max(), 0);
  EXPECT_TRUE(soundStopped);
  EXPECT_EQ(DocumentFontName(viewer), "Times New Roman");
}

}  // namespace
}  // namespace html::test
