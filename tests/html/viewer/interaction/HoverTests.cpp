// The mouse over a page: the cursor the panel shows, the TITLE of what is under the mouse, and
// the covered-link event as the mouse enters and leaves links.
#include <string>
#include <vector>

#include "InteractionFixture.h"
#include "html/HtmlEngine.h"
#include "support/Waiting.h"

namespace html::test {
namespace {

const std::string kPage =
    "<body><p>plain words here</p>"
    "<p><a href=\"next.html\" title=\"Go on\">next page</a></p>"
    "<p><a href=\"#end\">to the end</a></p>"
    "<p id=\"end\">end</p></body>";

class Hover : public ViewerInteraction {
 protected:
  void SetUp() override {
    ViewerInteraction::SetUp();
    Load(kPage);
    viewer->OnHotSpotCovered = [this](plat::TObject* sender, const std::string& url) {
      EXPECT_EQ(sender, viewer);
      covered.push_back(url);
    };
  }
  std::vector<std::string> covered;
};

TEST_F(Hover, CursorAndTitleFollowWhatIsUnderTheMouse) {
  Move(LinkPoint("next.html"));
  EXPECT_EQ(Panel().Cursor(), HandCursor);
  EXPECT_EQ(viewer->HoverTitle, "Go on");
  EXPECT_EQ(viewer->TitleAttr(), "Go on");
  EXPECT_EQ(viewer->LinkURL(), "next.html");
  EXPECT_EQ(viewer->LinkText(), u"next page");

  // Text takes the viewer's own cursor, empty space the arrow; neither has a title.
  Move(TextPoint(u"words"));
  EXPECT_EQ(Panel().Cursor(), plat::crIBeam);
  EXPECT_EQ(viewer->HoverTitle, "");
  Move({Panel().Width() - 3, Panel().Height() - 3});
  EXPECT_EQ(Panel().Cursor(), plat::crArrow);

  viewer->SetCursor(plat::crCross);
  Move(TextPoint(u"words"));
  EXPECT_EQ(Panel().Cursor(), plat::crCross);
  // A link without a title leaves the title empty.
  Move(LinkPoint("#end"));
  EXPECT_EQ(Panel().Cursor(), HandCursor);
  EXPECT_EQ(viewer->HoverTitle, "");
}

TEST_F(Hover, APageScrolledSidewaysIsHitWhereItIsDrawn) {
  Load("<pre>" + std::string(200, 'w') + " <a href=\"#r\">right</a></pre>");
  viewer->SetHorzPosition(viewer->HScrollBar().Max());
  ASSERT_GT(viewer->HScrollBar().Position(), 0);
  Move(TextPoint(u"right"));
  EXPECT_EQ(viewer->LinkURL(), "#r");
  EXPECT_EQ(Panel().Cursor(), HandCursor);
}

TEST_F(Hover, CoveredFiresOnEnteringAndLeavingALinkOnly) {
  const plat::TPoint link = LinkPoint("next.html");
  Move(link);
  Move({link.X + 1, link.Y});  // still the same link
  Move(TextPoint(u"plain"));
  Move(TextPoint(u"words"));
  Move(LinkPoint("#end"));
  Move(LinkPoint("next.html"));  // straight from one link to the next
  EXPECT_EQ(covered, (std::vector<std::string>{"next.html", "", "#end", "next.html"}));
}

TEST_F(Hover, TimerDropsTheLinkOnceThePointerHasLeftThePanel) {
  Move(LinkPoint("#end"));
  ASSERT_EQ(covered, std::vector<std::string>{"#end"});
  // The timer runs while the hand shows; a tick with the pointer still over the panel keeps it.
  PointerAt(LinkPoint("#end"));
  plat::Application().ProcessMessages();
  EXPECT_EQ(viewer->LinkURL(), "#end");

  // Away from the panel: the next tick (200 ms) forgets the link and says so once.
  PointerAt({-40, -40});
  test_support::WaitUntil("the hover timer to forget the link",
                          [&] { return viewer->LinkURL().empty(); });
  EXPECT_EQ(viewer->LinkURL(), "");
  EXPECT_EQ(covered, (std::vector<std::string>{"#end", ""}));
}

TEST_F(Hover, TimerDropsTheLinkWhenAnotherWindowCoversThePointer) {
  const plat::TPoint link = LinkPoint("#end");
  Move(link);
  ASSERT_EQ(covered, std::vector<std::string>{"#end"});
  // A window of the program opens over the link; the pointer stays where it was.
  plat::TForm cover(nullptr);
  const plat::TPoint at = Panel().ClientToScreen(link);
  cover.SetBounds(at.X - 30, at.Y - 20, 60, 40);
  cover.Show();
  plat::Application().ProcessMessages();
  test_support::WaitUntil("the hover timer to see the window over the link",
                          [&] { return viewer->LinkURL().empty(); });
  EXPECT_EQ(viewer->LinkURL(), "");
  EXPECT_EQ(covered, (std::vector<std::string>{"#end", ""}));
}

TEST_F(Hover, TimerDropsTheLinkWhenAPageControlLiesUnderThePointer) {
  Load("<p><a href=\"#end\">to the end</a></p><p><input name=q></p><p id=end>end</p>");
  Move(LinkPoint("#end"));
  ASSERT_EQ(covered, std::vector<std::string>{"#end"});
  // The pointer moves on to the edit: the panel hears no move, the timer sees the edit's window.
  plat::TControl* edit = nullptr;
  for (int i = 0; i < viewer->PaintPanel().ControlCount() && !edit; ++i)
    if (viewer->PaintPanel().Controls(i)->Showing()) edit = viewer->PaintPanel().Controls(i);
  ASSERT_NE(edit, nullptr);
  plat::TestHooks().cursorPos = edit->ClientToScreen({2, 2});
  test_support::WaitUntil("the hover timer to see the edit under the pointer",
                          [&] { return viewer->LinkURL().empty(); });
  EXPECT_EQ(covered, (std::vector<std::string>{"#end", ""}));
}

}  // namespace
}  // namespace html::test
