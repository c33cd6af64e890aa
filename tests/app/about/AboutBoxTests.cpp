#include "app/AboutBox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "html/InlineObjects.h"
#include "platform/Application.h"
#include "platform/TestSeams.h"

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

// A page control as the viewer hands it over: its window and its VALUE.
class PageControl : public html::TFormControlObj {
 public:
  PageControl(plat::TWinControl* control, std::string value) : control_(control) {
    Value = std::move(value);
  }
  plat::TWinControl* TheControl() const override { return control_; }
  void ShowAt(int32_t, int32_t) override {}

 private:
  plat::TWinControl* control_;
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

TEST_F(AboutBoxTest, DisplayCheckBoxesAddAndRemoveTheirValue) {
  Open();
  plat::TCheckBox first(box.get()), second(box.get());
  PageControl a(&first, "anna@example.org"), b(&second, "bob@example.org");
  plat::TStringList& lines = *box->Added_Addressee->Lines();
  ASSERT_EQ(lines.Count(), 0);

  first.SetChecked(true);
  box->About_ObjectClick(nullptr, &a, "display");
  second.SetChecked(true);
  box->About_ObjectClick(nullptr, &b, "display");
  box->About_ObjectClick(nullptr, &a, "display");
  ASSERT_EQ(lines.Count(), 3);

  // Unchecking removes every line equal to the value and keeps the others.
  first.SetChecked(false);
  box->About_ObjectClick(nullptr, &a, "display");
  ASSERT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines[0], "bob@example.org");

  // Other click texts, other controls and objects that are no page control do nothing.
  second.SetChecked(false);
  box->About_ObjectClick(nullptr, &b, "Display");
  plat::TEdit edit(box.get());
  PageControl e(&edit, "eve@example.org");
  box->About_ObjectClick(nullptr, &e, "display");
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
