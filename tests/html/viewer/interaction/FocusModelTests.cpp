// Tab through the links and edits of tall pages from random places, through the window's own
// events, against a model of where the view goes when each takes the focus: an edit outside the
// view comes to its middle; a link above it to its top, one below it to its middle.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "InteractionFixture.h"
#include "html/layout/text/FontRuns.h"
#include "html/viewer/FormControls.h"

namespace html::test {
namespace {

// What can take the focus: an edit, or a link through its focus window.
struct TabStop {
  TFormControlObj* control = nullptr;
  TFontObj* link = nullptr;
  plat::TWinControl& Window() const {
    return control ? *control->TheControl() : *link->FocusControl();
  }
  bool Focused() const { return control ? control->TheControl()->Focused() : link->IsFocused; }
  int32_t Y() const { return control ? control->LinkY : link->LinkY(); }
};

TEST_F(ViewerInteraction, TabbedLinksAndControlsComeIntoViewAsTheModelSays) {
  std::mt19937 random(1023);
  int moves = 0, stays = 0, links = 0;
  for (int page = 0; page < 3; ++page) {
    viewer->SetBounds(0, 0, 400, 120 + int(random() % 180));
    std::string text = "<form>";
    for (int k = 0; k < 20; ++k)
      text += TallPage(int(random() % 7)) +
              (random() % 2 ? "<input name=e" + std::to_string(k) + ">"
                            : "<a href=\"#l" + std::to_string(k) + "\">link</a>");
    Load(text + TallPage(int(random() % 12)) + "</form>");
    std::vector<TabStop> stops;
    for (TPageWindowObj* window : viewer->Document().AllControls)
      if (auto* control = dynamic_cast<TFormControlObj*>(window)) stops.push_back({control});
    for (TLinkRun* run : viewer->Document().LinkRuns)
      if (auto* link = dynamic_cast<TFontObj*>(run); link && link->FocusControl())
        stops.push_back({nullptr, link});
    ASSERT_EQ(stops.size(), 20u);
    const int32_t bottom = std::max(0, viewer->ScrollHeight() - Panel().Height());
    const int height = viewer->ClientHeight();
    stops[0].Window().SetFocus();
    plat::Application().ProcessMessages();
    const TabStop* focused = &stops[0];
    for (int tab = 0; tab < 18; ++tab) {
      if (random() % 2) viewer->ScrollTo(int32_t(random() % uint32_t(bottom + 1)));
      const int32_t top = viewer->Position();
      plat::SimulateKey(focused->Window(), plat::VK_TAB, "\t");
      plat::Application().ProcessMessages();
      const auto now = std::find_if(stops.begin(), stops.end(),
                                    [&](const TabStop& stop) { return stop.Focused(); });
      ASSERT_NE(now, stops.end()) << "tab " << tab;
      ASSERT_NE(&*now, focused) << "tab " << tab;
      focused = &*now;
      const int32_t y = focused->Y();
      int32_t expected = top;
      if (focused->control && (y < top || y > top + height - 20))
        expected = y - height / 2;
      else if (focused->link && y < top)
        expected = y;
      else if (focused->link && y > top + height - 30)
        expected = y - height / 2;
      expected = std::clamp(expected, 0, bottom);
      SCOPED_TRACE(testing::Message() << "page " << page << " tab " << tab << " y " << y);
      EXPECT_EQ(viewer->Position(), expected);
      EXPECT_EQ(viewer->Document().ScrollY, expected);
      ++(expected == top ? stays : moves);
      links += focused->link != nullptr;
    }
  }
  EXPECT_GT(moves, 5);
  EXPECT_GT(stays, 5);
  EXPECT_GT(links, 5);
}

// Freeing a focused window of a page hands the focus to the next one while the page is half
// gone: neither may answer for it.
TEST_F(ViewerInteraction, ANewPageWhileAWindowOfTheOldOneHasTheFocus) {
  for (const char* first : {"<input name=a>", "<a href=\"#x\">x</a>"})
    for (const char* second : {"<input name=b>", "<a href=\"#y\">y</a>", "<select name=c>"}) {
      Load(std::string("<form><input name=z>") + TallPage(30) + first + TallPage(40) + second +
           TallPage(30) + "</form>");
      TSectionList& document = viewer->Document();
      // The first of the two takes the focus.
      plat::TWinControl* window = nullptr;
      if (std::string(first).starts_with("<a"))
        window = dynamic_cast<TFontObj&>(*document.LinkRuns.at(0)).FocusControl();
      else
        window = dynamic_cast<TFormControlObj&>(*document.AllControls.at(1)).TheControl();
      ASSERT_NE(window, nullptr);
      window->SetFocus();
      plat::Application().ProcessMessages();
      ASSERT_GT(viewer->Position(), 0);
      Load("<p>next</p>");
      EXPECT_EQ(viewer->Position(), 0);
      EXPECT_TRUE(document.AllControls.empty());
    }
}

}  // namespace
}  // namespace html::test
