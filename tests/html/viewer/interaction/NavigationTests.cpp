// Links to other files: pages and pictures are loaded, other files are left alone, and the
// history and the visited list keep what was shown.
#include <fstream>
#include <string>
#include <vector>

#include "InteractionFixture.h"
#include "html/layout/text/FontRuns.h"
#include "platform/pictures/Bitmap.h"
#include "support/ScratchFolder.h"

namespace html::test {
namespace {

class Navigation : public ViewerInteraction {
 protected:
  void SetUp() override {
    ViewerInteraction::SetUp();
    Write("index.html",
          "<title>Index</title><p><a href=\"second.html\">second</a> "
          "<a href=\"pic.bmp\">picture</a> <a href=\"notes.txt\">notes</a> "
          "<a href=\"gone.html\">gone</a></p>");
    Write("second.html", "<title>Second</title><p><a href=\"index.html\">back</a></p>");
    Write("notes.txt", "notes");
    plat::TBitmap picture;
    picture.SetSize(4, 4);
    picture.SaveToFile(folder.File("pic.bmp"));
    viewer->OnHistoryChange = [this](plat::TObject*) { ++historyChanges; };
  }
  void Write(const std::string& name, const std::string& text) {
    std::ofstream(folder.File(name), std::ios::binary) << text;
  }
  void Open(const std::string& name) {
    viewer->LoadFromFile(folder.File(name));
    plat::Application().ProcessMessages();
  }
  std::vector<std::string> History() {
    std::vector<std::string> names;
    for (int i = 0; i < viewer->History().Count(); ++i) names.push_back(viewer->History()[i]);
    return names;
  }
  TFontObj* Run(const std::string& url) {
    for (TLinkRun* link : viewer->Document().LinkRuns)
      if (auto* run = dynamic_cast<TFontObj*>(link); run && run->GetURL() == url) return run;
    return nullptr;
  }

  test_support::ScratchFolder folder;
  int historyChanges = 0;
};

TEST_F(Navigation, WithoutAHistoryCountNoEntryIsMade) {
  ASSERT_EQ(viewer->HistoryMaxCount(), 0);
  Open("index.html");
  Click(LinkPoint("second.html"));
  EXPECT_EQ(viewer->CurrentFile(), folder.File("second.html"));
  EXPECT_EQ(viewer->DocumentTitle(), "Second");
  EXPECT_TRUE(History().empty());
  EXPECT_EQ(historyChanges, 0);
}

TEST_F(Navigation, HistoryKeepsTheNewestPagesUpToItsCount) {
  viewer->SetHistoryMaxCount(3);
  Open("index.html");
  const std::string index = folder.File("index.html"), second = folder.File("second.html");
  // The page loaded directly is not an entry: the history starts with the first link.
  Click(LinkPoint("second.html"));
  EXPECT_EQ(History(), std::vector<std::string>{second});
  Click(LinkPoint("index.html"));
  EXPECT_EQ(History(), (std::vector<std::string>{index, second}));
  EXPECT_EQ(viewer->TitleHistory()[1], "Second");
  Click(LinkPoint("second.html"));
  EXPECT_EQ(History(), (std::vector<std::string>{second, index, second}));
  EXPECT_EQ(viewer->PositionHistory().Count(), 3);
  EXPECT_EQ(viewer->HistoryIndex(), 0);
  EXPECT_EQ(historyChanges, 3);

  // Lowering the count clears it; raising it does not.
  viewer->SetHistoryMaxCount(5);
  EXPECT_EQ(History().size(), 3u);
  viewer->SetHistoryMaxCount(1);
  EXPECT_TRUE(History().empty());
  EXPECT_EQ(historyChanges, 4);
  viewer->SetHistoryMaxCount(-1);
  EXPECT_EQ(viewer->HistoryMaxCount(), 1);
}

TEST_F(Navigation, LeavingAPageKeepsItsFormValuesInItsEntry) {
  Write("start.html", "<p><a href=\"form.html\">form</a></p>");
  Write("form.html",
        "<title>Form</title><p><a href=\"second.html\">second</a></p>"
        "<form><input name=\"q\" value=\"abc\"></form>");
  viewer->SetHistoryMaxCount(3);
  Open("start.html");
  Click(LinkPoint("form.html"));
  ASSERT_EQ(History(), std::vector<std::string>{folder.File("form.html")});
  Click(LinkPoint("second.html"));
  ASSERT_EQ(History(),
            (std::vector<std::string>{folder.File("second.html"), folder.File("form.html")}));
  const PositionObj& left = *viewer->PositionHistory()[1];
  ASSERT_NE(left.FormData, nullptr);
  ASSERT_EQ(left.FormData->Count(), 1);
  const plat::TStringList& values = *(*left.FormData)[0];
  ASSERT_EQ(values.Count(), 1);
  EXPECT_EQ(values[0], "q=abc");
  EXPECT_EQ(viewer->PositionHistory()[0]->FormData, nullptr);
}

TEST_F(Navigation, ClearingTheHistoryKeepsThePageShownAndItsRelativeLinks) {
  std::vector<std::string> messages;
  plat::TestHooks().messageBox = [&](const std::string& text, const std::string&, uint32_t) {
    messages.push_back(text);
    return plat::IDOK;
  };
  viewer->SetHistoryMaxCount(3);
  Open("index.html");
  Click(LinkPoint("second.html"));
  ASSERT_EQ(History().size(), 1u);
  viewer->SetHistoryMaxCount(1);
  EXPECT_TRUE(History().empty());
  EXPECT_EQ(viewer->CurrentFile(), folder.File("second.html"));
  // "index.html" is still found beside the page shown.
  Click(LinkPoint("index.html"));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(viewer->CurrentFile(), folder.File("index.html"));
  EXPECT_EQ(History(), std::vector<std::string>{folder.File("index.html")});
}

TEST_F(Navigation, PicturesAreShownAloneAndOtherFilesAreLeftAlone) {
  Open("index.html");
  Click(LinkPoint("notes.txt"));
  EXPECT_EQ(viewer->CurrentFile(), folder.File("index.html"));
  Click(LinkPoint("pic.bmp"));
  EXPECT_EQ(viewer->CurrentFile(), folder.File("pic.bmp"));
  EXPECT_EQ(viewer->DocumentSource(), "");
}

TEST_F(Navigation, AMissingPageIsReportedAndTheViewerStaysUsable) {
  std::vector<std::string> messages;
  plat::TestHooks().messageBox = [&](const std::string& text, const std::string&, uint32_t) {
    messages.push_back(text);
    return plat::IDOK;
  };
  Open("index.html");
  Click(LinkPoint("gone.html"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Can't locate file: " + folder.File("gone.html"));
  EXPECT_FALSE(viewer->Processing());
  Open("second.html");
  EXPECT_EQ(viewer->DocumentTitle(), "Second");
}

TEST_F(Navigation, VisitedLinksAreMarkedOnEveryLoadUntilTheCountIsZero) {
  Open("index.html");
  ASSERT_NE(Run("second.html"), nullptr);
  EXPECT_FALSE(Run("second.html")->IsVisited);
  Click(LinkPoint("second.html"));
  EXPECT_EQ(viewer->Visited()[0], folder.File("second.html"));
  Click(LinkPoint("index.html"));
  ASSERT_EQ(viewer->Visited().Count(), 2);
  EXPECT_TRUE(Run("second.html")->IsVisited);
  EXPECT_FALSE(Run("notes.txt")->IsVisited);

  viewer->SetVisitedMaxCount(1);
  EXPECT_EQ(viewer->Visited().Count(), 1);
  viewer->SetVisitedMaxCount(-5);
  EXPECT_EQ(viewer->VisitedMaxCount(), 0);
  EXPECT_EQ(viewer->Visited().Count(), 0);
  EXPECT_FALSE(Run("second.html")->IsVisited);
  Click(LinkPoint("second.html"));
  EXPECT_EQ(viewer->Visited().Count(), 0);
}

// A jump to a name shows the line the name stands on at the top, wherever the text before it
// ended: an open paragraph, a line break or a closed paragraph.
TEST_F(Navigation, AJumpToANameLandsOnTheLineTheNameStandsOn) {
  for (const std::string named :
       {"<p>above<p id=n>target", "above<br><a name=n>target</a>", "<p>above</p><p id=n>target",
        "<p>above</p><a name=n></a><p>target</p>"}) {
    SCOPED_TRACE(named);
    Load(TallPage(40) + named + "<div style=\"height:2000px\"></div>");
    ASSERT_TRUE(viewer->PositionTo("#n"));
    // TextPoint gives a point 6 pixels below the top of the character's line, scrolled.
    EXPECT_LT(TextPoint(u"above").Y - 6, 0);
    EXPECT_GE(TextPoint(u"target").Y - 6, 0);
    EXPECT_LT(TextPoint(u"target").Y - 6, 10);
  }
}

// An empty list item gets a space so that its marker has a line; that space stands before the
// name that follows the item, so the jump still lands on the name's own line.
TEST_F(Navigation, AJumpPastAnEmptyListItemLandsOnTheNamesLine) {
  for (const std::string named :
       {"<ul><li><li><a name=n></a>target more</ul>", "<ul><li>x<li></ul><a name=n></a>target",
        "<dl><dt>x<dd></dl><a name=n></a>target", "<ul><li><li id=n>target</ul>"}) {
    SCOPED_TRACE(named);
    Load(TallPage(40) + "<p>above</p>" + named + "<div style=\"height:2000px\"></div>");
    ASSERT_TRUE(viewer->PositionTo("#n"));
    EXPECT_GE(TextPoint(u"target").Y - 6, 0);
    EXPECT_LT(TextPoint(u"target").Y - 6, 10);
  }
}

}  // namespace
}  // namespace html::test
