// The real about page under the mouse: a click on its mail link goes to the shell, and resting
// on a link with a title brings up the hint.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/about/AboutBox.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"

namespace {

class AboutPageMouse : public testing::Test {
 protected:
  void SetUp() override {
    plat::TestHooks().screenSize = plat::TSize{1280, 1024};
    Open(app::BuildAboutPage("", ""));
  }
  void Open(const std::string& page) {
    box = std::make_unique<app::TAboutBox>(nullptr, page);
    box->Show();
    plat::Application().ProcessMessages();
  }
  void TearDown() override {
    box.reset();
    plat::TestHooks() = plat::TTestHooks{};
  }
  plat::TControl& Panel() { return box->Viewer->PaintPanel(); }

  // A point well inside the link with this URL on the panel.
  plat::TPoint LinkPoint(const std::string& url) {
    std::vector<plat::TPoint> hits;
    for (int y = 0; y < Panel().Height(); y += 2)
      for (int x = 0; x < Panel().Width(); x += 2) {
        html::THitLink hit;
        if ((box->Viewer->GetLinkAt(x, y, hit) & html::hlLink) && hit.UrlTarget->URL == url)
          hits.push_back({x, y});
      }
    EXPECT_FALSE(hits.empty()) << url;
    return hits.empty() ? plat::TPoint{-100, -100} : hits[hits.size() / 2];
  }
  void Mouse(plat::TMouseAction action, plat::TPoint at) {
    plat::TestHooks().cursorPos = Panel().ClientToScreen(at);
    plat::SimulateMouse(Panel(), action, plat::mbLeft, at);
  }

  std::unique_ptr<app::TAboutBox> box;
};

TEST_F(AboutPageMouse, ClickingTheMailLinkOpensItInTheShell) {
  std::vector<std::string> opened;
  plat::TestHooks().openedLinks = &opened;
  const plat::TPoint mail = LinkPoint("mailto:pixstamp@example.org");
  Mouse(plat::TMouseAction::Press, mail);
  Mouse(plat::TMouseAction::Release, mail);
  EXPECT_EQ(opened, std::vector<std::string>{"mailto:pixstamp@example.org"});
  // The shell took it: the page stays as it was.
  EXPECT_EQ(box->Viewer->DocumentTitle(), "About PixStamp");
  EXPECT_EQ(box->Viewer->Visited().Count(), 0);
}

TEST_F(AboutPageMouse, ALinkThatNothingOpensSaysSoWithItsAddress) {
  // An address no mail program or browser can take: nothing is launched.
  const std::string broken = "http://[no-host";
  Open("<html><body><p><a href=\"" + broken + "\">home</a></p></body></html>");
  std::vector<std::string> messages;
  plat::TestHooks().messageBox = [&messages](const std::string& text, const std::string&,
                                             uint32_t) {
    messages.push_back(text);
    return plat::IDOK;
  };
  const plat::TPoint link = LinkPoint(broken);
  Mouse(plat::TMouseAction::Press, link);
  Mouse(plat::TMouseAction::Release, link);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(broken), std::string::npos) << messages[0];
  EXPECT_EQ(box->Viewer->Visited().Count(), 0);
}

TEST_F(AboutPageMouse, RestingOnATitledLinkShowsItsTitleAsAHint) {
  box->HideLinkHint();
  box->SetActiveControl(box->BitBtn1);
  plat::Application().ProcessMessages();
  ASSERT_TRUE(box->BitBtn1->Focused());
  const plat::TPoint home = LinkPoint("https://www.example.org/pixstamp/");
  Mouse(plat::TMouseAction::Move, home);
  Mouse(plat::TMouseAction::Move, {home.X + 1, home.Y});
  EXPECT_EQ(box->Viewer->HoverTitle, "The program's home page");
  EXPECT_EQ(box->HintedTitle(), "The program's home page");
  ASSERT_TRUE(box->Timer1->Enabled());
  for (int tick = 0; tick < 3; ++tick) box->Timer1Timer(nullptr);
  EXPECT_TRUE(box->HintShown());
}

}  // namespace
