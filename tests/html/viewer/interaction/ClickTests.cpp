// Clicks on a page: following links (and what stops it), selecting by dragging and by double
// clicks, right clicks, and links taken with the Enter key.
#include <string>
#include <vector>

#include "InteractionFixture.h"
#include "html/layout/text/FontRuns.h"
#include "platform/htmlservices/HtmlText.h"
#include "platform/runtime/SysUtils.h"
#include "platform/windows/Menus.h"

namespace html::test {
namespace {

const std::string kPage =
    "<body><p>alpha beta gamma</p>"
    "<p><a href=\"#Far\" title=\"jump\">jump down</a> and "
    "<a href=\"#nowhere\">lost link</a></p>" +
    TallPage(60) + "<p id=\"far\">far away</p>" + TallPage(30) + "</body>";

class Clicks : public ViewerInteraction {
 protected:
  void SetUp() override {
    ViewerInteraction::SetUp();
    viewer->SetHistoryMaxCount(3);
    Load(kPage, "/pages/index.html");
    viewer->OnHotSpotClick = [this](plat::TObject*, const std::string& url, bool& handled) {
      clicked.push_back(url);
      handled = handleClicks;
    };
  }
  int32_t TextTop(const std::u16string& text) { return TextPoint(text).Y - 6; }

  std::vector<std::string> clicked;
  bool handleClicks = false;
};

TEST_F(Clicks, AnIDLinkScrollsTheNamedPlaceToTheTopAndRecordsIt) {
  Click(LinkPoint("#Far"));
  EXPECT_EQ(clicked, std::vector<std::string>{"#Far"});
  EXPECT_GT(viewer->Position(), 0);
  const int32_t top = TextTop(u"far away");
  EXPECT_GE(top, 0);
  EXPECT_LT(top, 30);
  EXPECT_EQ(viewer->Visited().Count(), 1);
  EXPECT_TRUE(plat::SameText(viewer->Visited()[0], "/pages/index.html#FAR"));
  EXPECT_EQ(viewer->History().Count(), 1);
}

TEST_F(Clicks, AMissingNameAndAHandledClickChangeNothing) {
  Click(LinkPoint("#nowhere"));
  EXPECT_EQ(viewer->Position(), 0);
  EXPECT_EQ(viewer->Visited().Count(), 0);
  EXPECT_EQ(viewer->History().Count(), 0);

  handleClicks = true;
  Click(LinkPoint("#Far"));
  EXPECT_EQ(clicked, (std::vector<std::string>{"#nowhere", "#Far"}));
  EXPECT_EQ(viewer->Position(), 0);
  EXPECT_EQ(viewer->Visited().Count(), 0);
  EXPECT_EQ(viewer->History().Count(), 0);
}

TEST_F(Clicks, ADragThatEndsOnALinkSelectsAndFollowsNothing) {
  Press(TextPoint(u"beta"));
  const plat::TPoint link = LinkPoint("#Far");
  Move(link, plat::ssLeft);
  Release(link);
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(viewer->Position(), 0);
  const std::u16string selected = viewer->SelText();
  EXPECT_EQ(selected.substr(0, 10), u"beta gamma");
  EXPECT_NE(selected.find(u"jump"), std::u16string::npos);
  Move(link);
  plat::SaveScreenshot(*viewer, plat::ScreenshotFolder() + "/interaction-drag-selection.png");

  // A plain click takes the selection away again.
  Click(TextPoint(u"alpha"));
  EXPECT_EQ(viewer->SelText(), u"");
}

TEST_F(Clicks, AShiftClickEndsItsPressLikeAnyOtherRelease) {
  const plat::TPoint alpha = TextPoint(u"alpha"), gamma = TextPoint(u"gamma");
  Click(alpha);
  Press(alpha, plat::mbLeft, plat::ssShift);
  Release(alpha, plat::mbLeft, plat::ssShift);
  // The button is up: a move that claims it is down extends nothing.
  Move(gamma, plat::ssLeft);
  EXPECT_EQ(viewer->SelText(), u"");
  EXPECT_FALSE(viewer->AutoScrolling());
}

TEST_F(Clicks, AReleaseWhoseHandlerLoadsAnotherPageFollowsNothingThere) {
  const plat::TPoint alpha = TextPoint(u"alpha");
  int loads = 0;
  viewer->OnMouseUp = [&](plat::TObject*, plat::TMouseButton, plat::TShiftState, int, int) {
    if (loads++ == 0)
      viewer->LoadFromString("<p><a href=\"#new\">alpha beta gamma delta</a></p>", "");
  };
  Click(alpha);
  THitLink hit;
  ASSERT_TRUE(viewer->GetLinkAt(alpha.X, alpha.Y, hit) & hlLink);
  EXPECT_TRUE(clicked.empty());
  // The next click on the new page is its own.
  Click(alpha);
  EXPECT_EQ(clicked, std::vector<std::string>{"#new"});
}

TEST_F(Clicks, DoubleClickSelectsTheWordButNotRightAfterALinkWasFollowed) {
  int doubles = 0;
  viewer->OnMouseDouble = [&](plat::TObject*, plat::TMouseButton button, plat::TShiftState, int,
                              int) {
    EXPECT_EQ(button, plat::mbLeft);
    ++doubles;
  };
  const plat::TPoint beta = TextPoint(u"eta");  // inside the word, not at its start
  Click(beta);
  DoubleClick(beta);
  EXPECT_EQ(viewer->SelText(), u"beta");
  EXPECT_EQ(doubles, 1);

  handleClicks = true;  // stay on the page
  const plat::TPoint link = LinkPoint("#nowhere");
  Click(link);
  ASSERT_EQ(clicked.size(), 1u);
  DoubleClick(link);
  EXPECT_EQ(viewer->SelText(), u"");
  EXPECT_EQ(doubles, 1);

  // With selection off the word is not taken, but the event still comes.
  viewer->SetNoSelect(true);
  Click(beta);
  DoubleClick(beta);
  EXPECT_EQ(viewer->SelText(), u"");
  EXPECT_EQ(doubles, 2);
}

TEST_F(Clicks, RightClickHandsOverTheLinkAndTheWordUnderTheMouse) {
  std::vector<TRightClickParameters> seen;
  viewer->OnRightClick = [&](plat::TObject*, TRightClickParameters& parameters) {
    seen.push_back({parameters.URL, parameters.Target, parameters.Image, parameters.ImageX,
                    parameters.ImageY, parameters.ClickWord});
  };
  Click(TextPoint(u"ump"), plat::mbRight);
  Click(TextPoint(u"amma"), plat::mbRight);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].URL, "#Far");
  EXPECT_EQ(seen[0].ClickWord, u"jump");
  EXPECT_EQ(seen[1].URL, "");
  EXPECT_EQ(seen[1].ClickWord, u"gamma");
  EXPECT_TRUE(clicked.empty());  // a right click follows nothing
}

TEST_F(Clicks, ARightClickOpensTheViewersMenuAfterItsRightClickEvent) {
  plat::TTestHooksScope hooks;
  auto* menu = form.Make<plat::TPopupMenu>();
  auto* copy = form.Make<plat::TMenuItem>();
  copy->SetCaption("&Copy");
  menu->Items()->Add(copy);
  viewer->SetPopupMenu(menu);
  std::vector<std::string> order;
  viewer->OnMouseUp = [&](plat::TObject*, plat::TMouseButton, plat::TShiftState, int, int) {
    order.push_back("mouse up");
  };
  viewer->OnRightClick = [&](plat::TObject*, TRightClickParameters& parameters) {
    order.push_back("right click on " + plat::EncodeCodePage(plat::CP_UTF8, parameters.ClickWord));
  };
  copy->OnClick = [&](plat::TObject*) { order.push_back("copy"); };
  std::vector<plat::TShownMenuEntry> shown;
  plat::TestHooks().popupMenu = [&](const std::vector<plat::TShownMenuEntry>& entries,
                                    plat::TPoint) {
    shown = entries;
    order.push_back("menu");
    return std::vector<int>{0};
  };
  Click(TextPoint(u"beta"), plat::mbRight);
  EXPECT_EQ(order, (std::vector<std::string>{"mouse up", "right click on beta", "menu", "copy"}));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Caption, "&Copy");
  EXPECT_EQ(menu->PopupComponent(), viewer);
  // A left click opens nothing.
  order.clear();
  Click(TextPoint(u"beta"));
  EXPECT_EQ(order, std::vector<std::string>{"mouse up"});
}

TEST_F(Clicks, EnterOnAFocusedLinkFollowsItAfterTheKeyEvent) {
  TFontObj* jump = nullptr;
  for (TLinkRun* link : viewer->Document().LinkRuns)
    if (auto* run = dynamic_cast<TFontObj*>(link); run && run->GetURL() == "#Far") jump = run;
  ASSERT_NE(jump, nullptr);
  uint16_t key = plat::VK_RETURN;
  viewer->Document().LinkKeyDown(*jump, key, 0);
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(viewer->LinkText(), u"jump down");
  plat::Application().ProcessMessages();
  EXPECT_EQ(clicked, std::vector<std::string>{"#Far"});
  EXPECT_GT(viewer->Position(), 0);

  // Other keys are the viewer's.
  key = plat::VK_HOME;
  viewer->Document().LinkKeyDown(*jump, key, 0);
  EXPECT_EQ(viewer->Position(), 0);
}

}  // namespace
}  // namespace html::test
