// Loading pages from files and turning a page's link names into local paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "ViewerTestPage.h"
#include "html/layout/blocks/PageItems.h"
#include "html/layout/text/TextSection.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Application.h"

namespace html::test {
namespace {

class ViewerFileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder =
        std::filesystem::temp_directory_path() / ("pixstamp-viewer-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "pages");
    page = (folder / "pages" / "page.htm").string();
    std::ofstream(page) << "<p>hello</p>";
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  std::string page;
  TPageViewer viewer{nullptr};
};

TEST_F(ViewerFileTest, MissingFileKeepsThePageShown) {
  viewer.SetBounds(0, 0, 200, 150);
  LoadBoxes(viewer, 20, OneBox(viewer, 50, 500));
  plat::Screen().SetCursor(plat::crCross);
  const std::string missing = (folder / "none.htm").string();
  try {
    viewer.LoadFromFile(missing + "#top");
    FAIL() << "no error";
  } catch (const plat::EInOutError& e) {
    EXPECT_EQ(std::string(e.what()), "Can't locate file: " + missing);
  }
  EXPECT_FALSE(viewer.Processing());
  EXPECT_FALSE(viewer.Busy());
  EXPECT_EQ(plat::Screen().Cursor(), plat::crCross);
  EXPECT_EQ(viewer.Document().Count(), 1);
  plat::Screen().SetCursor(plat::crDefault);
}

TEST_F(ViewerFileTest, FilesAreReadWholeAndBecomeTheCurrentFile) {
  int soundStops = 0;
  viewer.OnSoundRequest = [&](plat::TObject*, const std::string&, int, bool) { ++soundStops; };
  viewer.LoadFromFile(page + "#greeting");
  EXPECT_EQ(viewer.CurrentFile(), page);
  EXPECT_EQ(viewer.DocumentSource(), "<p>hello</p>");
  EXPECT_EQ(soundStops, 1);

  viewer.LoadFromFile(page, 1);
  EXPECT_EQ(viewer.DocumentSource(), "<p>hello</p>");
  EXPECT_EQ(soundStops, 1);  // only pages stop the sound

  viewer.LoadFromFile(page, 2);  // a picture shown alone has no source of its own
  EXPECT_EQ(viewer.DocumentSource(), "");
}

// A picture shown alone is an IMG of the file's name: the name must come through whole.
TEST_F(ViewerFileTest, PicturesShowWhateverTheirNamesHold) {
  viewer.SetBounds(0, 0, 200, 150);
  plat::TBitmap picture;
  picture.SetSize(40, 60);
  for (const std::string name :
       {"plain.bmp", "q\"x.bmp", "a&amp;b.bmp", "a&b .bmp", "tab\there.bmp", "line\nend\r.bmp",
        "<img src=x>.bmp", "50%.bmp", "a%20b.bmp", "\xC3\xA9t\xC3\xA9.bmp"}) {
    SCOPED_TRACE(name);
    const std::string file = (folder / name).string();
    picture.SaveToFile(file);
    viewer.LoadFromFile(file, 2);
    EXPECT_EQ(viewer.CurrentFile(), file);
    const auto& body = dynamic_cast<const TBlock&>(*viewer.Document().First());
    ASSERT_EQ(body.Content.Count(), 1);
    const auto& section = dynamic_cast<const TSection&>(*body.Content.Items(0));
    ASSERT_EQ(section.Images().Count(), 1);
    EXPECT_EQ(section.Images()[0]->ImageWidth, 40);
    EXPECT_EQ(section.Images()[0]->ImageHeight, 60);
  }
}

TEST_F(ViewerFileTest, RefreshHandlerMayLoadTheNextPage) {
  const std::string next = (folder / "pages" / "next.htm").string();
  std::ofstream(next) << "<p>next</p>";
  std::ofstream(page) << "<html><head><meta http-equiv=\"refresh\" content=\"0; url=next.htm\">"
                         "</head><body>x</body></html>";
  for (bool fromFile : {true, false}) {
    SCOPED_TRACE(fromFile);
    viewer.OnMetaRefresh = [&](plat::TObject*, int delay, const std::string& url) {
      EXPECT_EQ(delay, 1);
      EXPECT_FALSE(viewer.Processing());
      viewer.LoadFromFile(viewer.ExpandRelativeFileName(url));
    };
    if (fromFile) {
      viewer.LoadFromFile(page);
    } else {
      const std::string text = plat::ReadFileBytes(page, 1000);
      viewer.LoadFromBuffer(text.data(), int64_t(text.size()), page);
    }
    EXPECT_EQ(viewer.CurrentFile(), next);
    EXPECT_EQ(viewer.DocumentSource(), "<p>next</p>");
  }
}

TEST_F(ViewerFileTest, LinkNamesBecomeLocalPaths) {
  viewer.LoadFromFile(page);
  const std::string pages = (folder / "pages").string();
  EXPECT_EQ(viewer.ExpandRelativeFileName("pic.gif"), pages + "/pic.gif");
  EXPECT_EQ(viewer.ExpandRelativeFileName("  sub/../pic.gif "), pages + "/pic.gif");
  EXPECT_EQ(viewer.ExpandRelativeFileName("a%20b.gif"), pages + "/a b.gif");
  EXPECT_EQ(viewer.ExpandRelativeFileName("http://example.org/x.htm"), "http://example.org/x.htm");
  EXPECT_EQ(viewer.ExpandRelativeFileName("file:///srv/x.htm"), "/srv/x.htm");
  EXPECT_EQ(viewer.ExpandRelativeFileName("/img/a.gif"), "/img/a.gif");

  viewer.SetServerRoot(" /srv/site/ ");
  EXPECT_EQ(viewer.ServerRoot(), "/srv/site");
  EXPECT_EQ(viewer.ExpandRelativeFileName("/img/a.gif"), "/srv/site/img/a.gif");
  EXPECT_EQ(viewer.ExpandRelativeFileName("pic.gif"), pages + "/pic.gif");
}

TEST_F(ViewerFileTest, BaseOfThePageDecidesWhereRelativeNamesPoint) {
  viewer.LoadFromString(
      "<html><head><title>Home</title><base href=\"file:///srv/docs/"
      "index.htm\" target=\"main\"></head><body>x</body></html>",
      page);
  EXPECT_EQ(viewer.DocumentTitle(), "Home");
  EXPECT_EQ(viewer.Base(), "file:///srv/docs/index.htm");
  EXPECT_EQ(viewer.BaseTarget(), "main");
  EXPECT_EQ(viewer.ExpandRelativeFileName("pic.gif"), "/srv/docs/pic.gif");

  // The special base "DosPath" keeps relative names as they are.
  viewer.LoadFromString("<html><head><base href=\"DosPath\"></head></html>", page);
  EXPECT_EQ(viewer.ExpandRelativeFileName("sub/pic.gif"), "sub/pic.gif");
  EXPECT_EQ(viewer.DocumentTitle(), "");

  viewer.LoadFromString("x", page, 1);
  EXPECT_EQ(viewer.Base(), "");
}

}  // namespace
}  // namespace html::test
