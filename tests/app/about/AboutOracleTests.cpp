// The about box against models of its rules: which link targets leave the program, and the link
// hint's timer over random ticks, mouse moves, titles, pointer positions and focus.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/about/AboutBox.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"

namespace {

using app::TAboutBox;

class AboutOracle : public testing::Test {
 protected:
  void SetUp() override {
    plat::TestHooks().screenSize = plat::TSize{1280, 1024};
    box = std::make_unique<TAboutBox>(nullptr, "<p><a href=\"#a\" title=\"A\">a</a></p>");
    box->Show();
    // The test ticks the hint's timer itself; the real one must not tick in between.
    box->Timer1->SetInterval(1000000);
    plat::Application().ProcessMessages();
  }
  void TearDown() override {
    box.reset();
    plat::TestHooks() = plat::TTestHooks{};
  }
  std::unique_ptr<TAboutBox> box;
  std::mt19937 rng{163};
};

// Mail and web targets go to the desktop by their scheme, whatever its case; everything else
// stays with the page. The scheme must open the target: a scheme word further on (a page's query,
// an anchor) does not count, where the rule as written would hand such a page to the desktop.
TEST_F(AboutOracle, TargetsLeaveByTheirSchemeInAnyCase) {
  const std::string pieces[] = {"mailto:", "http:", "https:",      "ftp:", "file:",        "#",
                                " ",       "x",     "javascript:", "//",   "page.html?u=", "@",
                                ":"};
  std::vector<std::string> opened;
  plat::TestHooks().openedLinks = &opened;
  for (int i = 0; i < 20000; ++i) {
    std::string target;
    for (int n = int(rng() % 4); n >= 0; --n) target += pieces[rng() % std::size(pieces)];
    for (char& c : target)
      if (rng() % 2) c = char(std::toupper(static_cast<unsigned char>(c)));
    std::string upper = target;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    const bool leaves = upper.rfind("MAILTO:", 0) == 0 || upper.rfind("HTTP:", 0) == 0 ||
                        upper.rfind("HTTPS:", 0) == 0;
    bool handled = !leaves;
    const size_t before = opened.size();
    box->HotSpotClickAbout(nullptr, target, handled);
    ASSERT_EQ(handled, leaves) << "'" << target << "'";
    ASSERT_EQ(opened.size(), before + (leaves ? 1 : 0)) << "'" << target << "'";
    if (leaves) ASSERT_EQ(opened.back(), target);
  }
}

// The hint's timer by its rules: a mouse move (timer off, focus in the box) takes a new title and
// starts counting; each tick counts, drops the hint when the title goes or the pointer leaves,
// starts again on another title, gives up after 100 ticks and shows the hint from the second tick
// on, 18 pixels below the pointer.
TEST_F(AboutOracle, TheLinkHintFollowsItsTimerOverRandomEvents) {
  struct {
    bool timer = true, shown = false;
    int ticks = 0;
    std::string hinted;
  } m;
  const plat::TPoint inside = box->Viewer->ClientToScreen({20, 20});
  const plat::TPoint outside = box->Viewer->ClientToScreen({-3, 20});
  plat::TPoint pointer = inside;
  const std::string titles[] = {"", "Write to us", "Our page"};
  for (int step = 0; step < 20000; ++step) {
    switch (rng() % 8) {
      case 0:
        box->Viewer->HoverTitle = titles[rng() % 3];
        break;
      case 1:
        pointer = rng() % 4 ? inside : outside;
        break;
      case 2: {
        const bool focused = rng() % 4;
        box->SetActiveControl(focused ? box->BitBtn1 : nullptr);
        plat::Application().ProcessMessages();
        box->ViewerMouseMove(nullptr, 0, 20, 20);
        const std::string& title = box->Viewer->HoverTitle;
        if (m.timer || !focused) break;
        if (title.empty()) {
          m.hinted.clear();
        } else if (title != m.hinted) {
          m.ticks = 0;
          m.timer = true;
          m.hinted = title;
        }
        break;
      }
      default: {
        // A tick runs only while the timer is on; many quiet ticks now and then.
        const int ticks = rng() % 10 ? 1 : 101;
        for (int t = 0; t < ticks && m.timer; ++t) {
          plat::TestHooks().cursorPos = pointer;
          box->Timer1Timer(nullptr);
          ++m.ticks;
          const std::string& title = box->Viewer->HoverTitle;
          if (title.empty() || pointer.X == outside.X) {
            m.hinted.clear();
            m.timer = m.shown = false;
          } else if (title != m.hinted) {
            m.ticks = 0;
            m.hinted = title;
            m.shown = false;
          } else if (m.ticks > 100) {
            m.timer = m.shown = false;
          } else if (m.ticks >= 2 && !m.shown) {
            m.shown = true;
            ASSERT_EQ(box->HintWindow().Left(), pointer.X);
            ASSERT_EQ(box->HintWindow().Top(), pointer.Y + 18);
          }
        }
      }
    }
    ASSERT_EQ(box->Timer1->Enabled(), m.timer) << step;
    ASSERT_EQ(box->HintShown(), m.shown) << step;
    ASSERT_EQ(box->HintWindow().Visible(), m.shown) << step;
    ASSERT_EQ(box->HintedTitle(), m.hinted) << step;
  }
}

}  // namespace
