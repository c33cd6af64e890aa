#include "app/about/AboutBox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "html/layout/sections/DocumentObjects.h"
#include "html/viewer/PageViewer.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"

namespace {

using app::TAboutBox;

const std::string Page =
    "<html><body><p><a href=\"mailto:someone@example.org\" title=\"Write\">mail</a></p>"
    "<p><a href=\"#end\" title=\"Down\">down</a></p><p id=\"end\">end</p></body></html>";

class AboutBoxTest : public testing::Test {
 protected:
  void SetUp() override { plat::TestHooks().screenSize = plat::TSize{1280, 1024}; }
  void TearDown() override {
    box.reset();
    plat::TestHooks() = plat::TTestHooks{};
  }
  void Open() { box = std::make_unique<TAboutBox>(nullptr, Page); }

  std::unique_ptr<TAboutBox> box;
};

TEST_F(AboutBoxTest, MailAndWebLinksOpenInTheShellAndOtherTargetsStayWithTheViewer) {
  Open();
  std::vector<std::string> opened;
  plat::TestHooks().openedLinks = &opened;
  for (const std::string target :
       {"mailto:someone@example.org", "HTTPS://www.example.org/", "Http://example.org/a"}) {
    bool handled = false;
    box->HotSpotClickAbout(nullptr, target, handled);
    EXPECT_TRUE(handled) << target;
  }
  // Anchors, local pages and targets that only carry a scheme word further on are not opened.
  for (const std::string target : {"#end", "help.html", "page.html#http:", " mailto:x@y.org"}) {
    bool handled = true;
    box->HotSpotClickAbout(nullptr, target, handled);
    EXPECT_FALSE(handled) << target;
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"mailto:someone@example.org",
                                              "HTTPS://www.example.org/", "Http://example.org/a"}));
}

// Check boxes of the page whose click text is "display" add their value to the address box
// when ticked and take every copy of it away when cleared.
TEST_F(AboutBoxTest, DisplayCheckBoxesAddAndRemoveTheirValue) {
  box = std::make_unique<TAboutBox>(
      nullptr,
      "<p><input type=checkbox value=\"anna@example.org\" onclick=\"display\">"
      "<input type=checkbox value=\"bob@example.org\" onclick=\"display\">"
      "<input type=checkbox value=\"carl@example.org\" onclick=\"Display\">"
      "<input type=text value=\"eve@example.org\" onclick=\"display\"></p>");
  box->Show();
  plat::Application().ProcessMessages();
  std::vector<plat::TWinControl*> windows;
  for (html::TPageWindowObj* control : box->Viewer->Document().AllControls)
    windows.push_back(control->WindowControl());
  ASSERT_EQ(windows.size(), 4u);
  const auto click = [&](int index) {
    plat::SimulateMouse(*windows[index], plat::TMouseAction::Press, plat::mbLeft, {4, 4});
    plat::SimulateMouse(*windows[index], plat::TMouseAction::Release, plat::mbLeft, {4, 4});
    plat::Application().ProcessMessages();
  };
  plat::TStringList& lines = *box->Added_Addressee->Lines();
  ASSERT_EQ(lines.Count(), 0);

  click(0);
  click(1);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines[0], "anna@example.org");
  click(0);
  ASSERT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines[0], "bob@example.org");

  // Other click texts, other controls and objects that are no page control do nothing.
  click(2);
  click(3);
  box->About_ObjectClick(nullptr, box.get(), "display");
  box->About_ObjectClick(nullptr, nullptr, "display");
  ASSERT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines[0], "bob@example.org");
}

// The hint machine, ticked by hand with the pointer and the title under it set directly.
class LinkHintTest : public AboutBoxTest {
 protected:
  void SetUp() override {
    AboutBoxTest::SetUp();
    Open();
    box->Show();
    inside = box->Viewer->ClientToScreen({20, 20});
    plat::TestHooks().cursorPos = inside;
  }
  void Tick(int times = 1) {
    for (int i = 0; i < times; ++i) box->Timer1Timer(nullptr);
  }
  void Hover(const std::string& title) { box->Viewer->HoverTitle = title; }

  plat::TPoint inside;
};

TEST_F(LinkHintTest, ShowsOnTheSecondTickAtRestBelowThePointer) {
  ASSERT_TRUE(box->Timer1->Enabled());
  Hover("Write");
  Tick();  // a new title: counting starts
  EXPECT_EQ(box->HintedTitle(), "Write");
  Tick();
  EXPECT_FALSE(box->HintShown());
  Tick();
  ASSERT_TRUE(box->HintShown());
  EXPECT_TRUE(box->HintWindow().Visible());
  EXPECT_EQ(box->HintWindow().Left(), inside.X);
  EXPECT_EQ(box->HintWindow().Top(), inside.Y + 18);
  EXPECT_LE(box->HintWindow().Width(), 300);

  // Another title hides it and counts again from the start.
  Hover("Down");
  Tick();
  EXPECT_FALSE(box->HintShown());
  EXPECT_FALSE(box->HintWindow().Visible());
  EXPECT_EQ(box->HintedTitle(), "Down");
  Tick(2);
  EXPECT_TRUE(box->HintShown());
  EXPECT_TRUE(box->Timer1->Enabled());
}

TEST_F(LinkHintTest, HidesAndStopsWhenTheTitleGoesOrThePointerLeavesOrAfterTwentySeconds) {
  Hover("Write");
  Tick(3);
  ASSERT_TRUE(box->HintShown());
  Hover("");
  Tick();
  EXPECT_FALSE(box->HintShown());
  EXPECT_FALSE(box->HintWindow().Visible());
  EXPECT_FALSE(box->Timer1->Enabled());
  EXPECT_EQ(box->HintedTitle(), "");

  box->Timer1->SetEnabled(true);
  Hover("Write");
  Tick(3);
  ASSERT_TRUE(box->HintShown());
  plat::TestHooks().cursorPos = box->Viewer->ClientToScreen({-5, 20});
  Tick();
  EXPECT_FALSE(box->HintShown());
  EXPECT_FALSE(box->Timer1->Enabled());

  box->Timer1->SetEnabled(true);
  plat::TestHooks().cursorPos = inside;
  Tick();  // counter 0 with the title taken
  Tick(100);
  EXPECT_TRUE(box->HintShown());
  EXPECT_TRUE(box->Timer1->Enabled());
  Tick();
  EXPECT_FALSE(box->HintShown());
  EXPECT_FALSE(box->Timer1->Enabled());
}

TEST_F(LinkHintTest, MouseMovesStartTheTimerOnlyWhenItIsOffAndTheBoxHasTheFocus) {
  Hover("Write");
  box->ViewerMouseMove(nullptr, 0, 20, 20);  // the timer runs: nothing taken
  EXPECT_EQ(box->HintedTitle(), "");

  box->HideLinkHint();
  box->SetActiveControl(nullptr);
  box->ViewerMouseMove(nullptr, 0, 20, 20);
  EXPECT_FALSE(box->Timer1->Enabled());

  box->SetActiveControl(box->BitBtn1);
  plat::Application().ProcessMessages();
  ASSERT_TRUE(box->BitBtn1->Focused());
  box->ViewerMouseMove(nullptr, 0, 20, 20);
  EXPECT_TRUE(box->Timer1->Enabled());
  EXPECT_EQ(box->HintedTitle(), "Write");
}

TEST_F(AboutBoxTest, EveryBoxIsFittedToALowScreenOnItsFirstTick) {
  plat::TestHooks().screenSize = plat::TSize{1024, 768};
  for (int run = 0; run < 2; ++run) {
    Open();
    box->Timer1Timer(nullptr);
    EXPECT_EQ(box->Height(), 758) << run;
    EXPECT_EQ(box->Top(), 5) << run;
    // Later ticks leave the size the user chose.
    box->SetHeight(500);
    box->Timer1Timer(nullptr);
    EXPECT_EQ(box->Height(), 500) << run;
    box.reset();
  }
  plat::TestHooks().screenSize = plat::TSize{1280, 800};
  Open();
  const int height = box->Height(), top = box->Top();
  box->Timer1Timer(nullptr);
  EXPECT_EQ(box->Height(), height);
  EXPECT_EQ(box->Top(), top);
}

}  // namespace
