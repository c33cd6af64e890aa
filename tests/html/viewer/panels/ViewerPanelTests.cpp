// Panels in a shown viewer: the host fills them, painting puts them where the text puts them,
// scrolling moves them, and the next page frees them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "html/viewer/PageViewer.h"
#include "html/viewer/Panels.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace paneltest {
namespace {

using html::ThvPanel;

constexpr html::TColor kBack = 0xFFFFFF;
constexpr html::TColor kHostColor = 0x0000C0;  // dark red
constexpr uint32_t kHostArgb = 0xFFC00000;

class ViewerPanels : public test_support::ShownFormTest {
 protected:
  ViewerPanels() : ShownFormTest({100, 100, 500, 380}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    viewer = Add<html::TPageViewer>(10, 10, 380, 260);
    viewer->SetBorderStyle(html::htNone);
    viewer->SetDefBackground(kBack);
    viewer->SetDefFontColor(0);
    viewer->SetDefFontName("DejaVu Sans");
    viewer->SetDefFontSize(12);
    viewer->SetScrollBars(plat::ssVertical);
    viewer->SetOnPanelCreate([this](plat::TObject* sender, const std::string& name,
                                    const std::string& type, const std::string& src,
                                    ThvPanel* panel) {
      senders.push_back(sender);
      calls.push_back(name + "|" + type + "|" + src);
      panels.push_back(panel);
      // The host's own control fills the panel.
      auto* child = form.Make<plat::TPanel>();
      child->SetParent(panel);
      child->SetBevelOuter(plat::bvNone);
      child->SetColor(kHostColor);
      child->SetAlign(plat::alClient);
      children.push_back(child);
    });
    viewer->SetOnPanelDestroy([this](plat::TObject* sender, ThvPanel* panel) {
      senders.push_back(sender);
      destroyed.push_back(panel);
    });
  }
  // The viewer goes while the hooks' recordings still exist.
  void TearDown() override { form.DestroyComponent(viewer); }
  void Load(const std::string& page) { viewer->LoadFromString(page, ""); }
  plat::TCapturedImage Capture() { return plat::CaptureControl(viewer->PaintPanel()); }

  // The smallest rectangle of the pixels left of column `right` that pass the test.
  template <class Test>
  static plat::TRect Bounds(const plat::TCapturedImage& image, Test test, int right = 1 << 30) {
    plat::TRect r{image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < std::min(right, image.width); ++x)
        if (test(image.Pixel(x, y))) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r;
  }
  static bool IsHost(uint32_t pixel) { return pixel == kHostArgb; }
  // Dark grey to black: the text.
  static bool IsInk(uint32_t pixel) {
    return (pixel & 0xFF) < 0x60 && ((pixel >> 8) & 0xFF) < 0x60 && ((pixel >> 16) & 0xFF) < 0x60;
  }

  html::TPageViewer* viewer = nullptr;
  std::vector<plat::TObject*> senders;
  std::vector<std::string> calls;
  std::vector<ThvPanel*> panels;
  std::vector<plat::TPanel*> children;
  std::vector<ThvPanel*> destroyed;
};

// Letters without descenders, so the text's ink ends on the baseline.
const std::string kInline =
    "<p>Text before <panel name=clip type=demo src=\"a.bin\" width=80 "
    "height=40> later</p>";

TEST_F(ViewerPanels, TheHostsControlStandsOnTheLineWhereTheTextPutsIt) {
  Load(kInline);
  ASSERT_EQ(panels.size(), 1u);
  EXPECT_EQ(calls, std::vector<std::string>{"clip|demo|a.bin"});
  EXPECT_EQ(senders, std::vector<plat::TObject*>{viewer});
  const plat::TCapturedImage image = Capture();
  plat::SaveScreenshot(form, plat::ScreenshotFolder() + "/html_panels_inline.png");

  const ThvPanel& panel = *panels[0];
  EXPECT_TRUE(panel.Visible());
  EXPECT_EQ(panel.Width(), 80);
  EXPECT_EQ(panel.Height(), 40);
  // Inside the panel's one-pixel border the host's control shows.
  const plat::TRect host = Bounds(image, IsHost);
  EXPECT_EQ(host,
            (plat::TRect{panel.Left() + 1, panel.Top() + 1, panel.Left() + 79, panel.Top() + 39}));
  // Text to its left, a space between, and the panel's bottom on the text's baseline.
  const plat::TRect leftInk = Bounds(image, IsInk, panel.Left());
  EXPECT_EQ(leftInk.Left, 10);  // the body's margin
  EXPECT_GT(panel.Left(), leftInk.Right);
  EXPECT_LT(panel.Left(), leftInk.Right + 10);
  EXPECT_EQ(panel.Top() + panel.Height(), leftInk.Bottom);
  EXPECT_GT(Bounds(image, IsInk).Right, panel.Left() + panel.Width());  // "later"
}

TEST_F(ViewerPanels, ScrollingMovesThePanelAndHidesItOffThePage) {
  std::string page = "<p>filler line</p><p>filler line</p>" + kInline;
  for (int i = 0; i < 40; ++i) page += "<p>filler line</p>";
  Load(page);
  ASSERT_EQ(panels.size(), 1u);
  Capture();
  const int top = panels[0]->Top();
  const int left = panels[0]->Left();
  viewer->ScrollTo(12);
  const plat::TCapturedImage image = Capture();
  EXPECT_EQ(panels[0]->Top(), top - 12);
  EXPECT_EQ(panels[0]->Left(), left);
  EXPECT_EQ(Bounds(image, IsHost).Top, top - 12 + 1);
  EXPECT_TRUE(panels[0]->Visible());
  viewer->ScrollTo(600);
  const plat::TCapturedImage away = Capture();
  EXPECT_FALSE(panels[0]->Visible());
  EXPECT_EQ(Bounds(away, IsHost).Right, -1);
  viewer->ScrollTo(0);
  Capture();
  EXPECT_TRUE(panels[0]->Visible());
  EXPECT_EQ(panels[0]->Top(), top);
}

TEST_F(ViewerPanels, AFloatingPanelStandsAtTheMarginWithTextBesideIt) {
  Load("<p><panel align=left width=50 height=50>Beside the panel</p>");
  ASSERT_EQ(panels.size(), 1u);
  const plat::TCapturedImage image = Capture();
  plat::SaveScreenshot(form, plat::ScreenshotFolder() + "/html_panels_float.png");
  const ThvPanel& panel = *panels[0];
  EXPECT_EQ(panel.Left(), 10 + 3);  // the margin and its own space
  const plat::TRect ink = Bounds(image, IsInk);
  EXPECT_GE(ink.Left, 10 + 3 + 50 + 3);
  EXPECT_LT(ink.Top, panel.Top() + panel.Height());
}

TEST_F(ViewerPanels, APanelTheHostHidesStaysHidden) {
  viewer->SetOnPanelCreate([](plat::TObject*, const std::string&, const std::string&,
                              const std::string&, ThvPanel* panel) { panel->ShowPanel = 0; });
  Load(kInline);
  Capture();
  const auto* panel = dynamic_cast<html::TPanelObj*>(viewer->Document().Panels.at(0))->Panel.get();
  EXPECT_FALSE(panel->Visible());
  EXPECT_GT(panel->Left(), 0);  // placed all the same
}

TEST_F(ViewerPanels, TheNextPageFreesThePanels) {
  Load(kInline + "<p><panel name=second></p>");
  ASSERT_EQ(panels.size(), 2u);
  Capture();
  const int before = viewer->PaintPanel().ControlCount();
  senders.clear();
  Load("<p>no panels here</p>");
  EXPECT_EQ(destroyed, panels);
  EXPECT_EQ(senders, (std::vector<plat::TObject*>{viewer, viewer}));
  EXPECT_EQ(viewer->PaintPanel().ControlCount(), before - 2);
  EXPECT_TRUE(viewer->Document().Panels.empty());
  // The host's controls were parented to the panels: they stand alone now.
  EXPECT_EQ(children[0]->Parent(), nullptr);
  const plat::TCapturedImage image = Capture();
  EXPECT_EQ(Bounds(image, IsHost).Right, -1);
}

// A host that answers the loss of its panel by loading a page must not free the page being
// cleared (or the viewer being freed) a second time.
TEST_F(ViewerPanels, AHostLoadingAPageWhenItsPanelGoesIsRefusedDuringClear) {
  viewer->SetOnPanelDestroy([this](plat::TObject*, ThvPanel* panel) {
    destroyed.push_back(panel);
    Load("<p>reloaded <panel name=again></p>");
  });
  Load(kInline);
  ASSERT_EQ(panels.size(), 1u);
  viewer->Clear();
  EXPECT_EQ(destroyed, panels);
  EXPECT_EQ(panels.size(), 1u);  // the page the host asked for was not built
  EXPECT_TRUE(viewer->Document().Panels.empty());
  Capture();
  // Once cleared, loading works again; freeing the viewer refuses the host's load too.
  Load(kInline);
  EXPECT_EQ(panels.size(), 2u);
}

}  // namespace
}  // namespace paneltest
