// What the page hands to the viewer: form submissions (delivered after the click that made
// them, each with its own values), links and controls that take the keyboard focus, the titles
// of controls under the mouse, and the selection switch.
#include <memory>
#include <string>
#include <vector>

#include "InteractionFixture.h"
#include "html/layout/text/FontRuns.h"
#include "html/layout/text/InlineObjects.h"

namespace html::test {
namespace {

struct Submission {
  std::string action, target, encType, method, results;
};

std::unique_ptr<plat::TStringList> Lines(const std::string& text) {
  auto lines = std::make_unique<plat::TStringList>();
  lines->SetText(text);
  return lines;
}

TEST_F(ViewerInteraction, SubmissionsArriveAfterTheClickInTheirOwnOrder) {
  Load("<p>form</p>");
  EXPECT_FALSE(viewer->Document().SubmitForm);  // nobody listens: the page submits nothing
  std::vector<Submission> seen;
  viewer->SetOnFormSubmit([&](plat::TObject* sender, const std::string& action,
                              const std::string& target, const std::string& encType,
                              const std::string& method, plat::TStringList* results) {
    EXPECT_EQ(sender, viewer);
    seen.push_back({action, target, encType, method, results ? results->Text() : "(none)"});
  });
  ASSERT_TRUE(viewer->Document().SubmitForm);
  viewer->Document().SubmitForm("a.cgi", "_top", "", "get", Lines("x=1"));
  viewer->Document().SubmitForm("b.cgi", "", "multipart/form-data", "post", Lines("y=2\nz=3"));
  EXPECT_TRUE(seen.empty());
  plat::Application().ProcessMessages();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].action, "a.cgi");
  EXPECT_EQ(seen[0].target, "_top");
  EXPECT_EQ(seen[0].method, "get");
  EXPECT_EQ(seen[0].results, "x=1\n");
  EXPECT_EQ(seen[1].action, "b.cgi");
  EXPECT_EQ(seen[1].encType, "multipart/form-data");
  EXPECT_EQ(seen[1].results, "y=2\nz=3\n");

  // Nobody listens any more: the page submits nothing.
  viewer->SetOnFormSubmit(nullptr);
  EXPECT_FALSE(viewer->Document().SubmitForm);
  EXPECT_FALSE(viewer->OnFormSubmit());
  Load("<p>again</p>");
  EXPECT_FALSE(viewer->Document().SubmitForm);
  viewer->SetOnFormSubmit([&](plat::TObject*, const std::string& action, const std::string&,
                              const std::string&, const std::string&, plat::TStringList*) {
    seen.push_back({action, "", "", "", ""});
  });
  viewer->Document().SubmitForm("c.cgi", "", "", "get", nullptr);
  plat::Application().ProcessMessages();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2].action, "c.cgi");
}

TEST_F(ViewerInteraction, AFocusedLinkIsScrolledIntoView) {
  Load("<body><p><a href=\"#x\">first</a></p>" + TallPage(150) + "</body>");
  TFontObj* run = dynamic_cast<TFontObj*>(viewer->Document().LinkRuns.at(0));
  ASSERT_NE(run, nullptr);
  const int half = viewer->ClientHeight() / 2;
  // Below the view: to the middle of it. Within it: no move. Above it: to its top.
  run->SetLinkY(2000);
  viewer->Document().LinkFocused(*run);
  EXPECT_EQ(viewer->Position(), 2000 - half);
  run->SetLinkY(2000 - half + viewer->ClientHeight() - 30);
  viewer->Document().LinkFocused(*run);
  EXPECT_EQ(viewer->Position(), 2000 - half);
  run->SetLinkY(700);
  viewer->Document().LinkFocused(*run);
  EXPECT_EQ(viewer->Position(), 700);
}

TEST_F(ViewerInteraction, AFocusedControlOutsideTheViewComesToItsMiddle) {
  Load("<body>" + TallPage(100) + "<form><input type=text name=a></form>" + TallPage(60) +
       "</body>");
  TFormControlObj* control = nullptr;
  for (TPageWindowObj* window : viewer->Document().AllControls)
    if (auto* found = dynamic_cast<TFormControlObj*>(window)) control = found;
  ASSERT_NE(control, nullptr);
  ASSERT_GT(control->LinkY, 1000);
  control->TheControl()->SetFocus();
  plat::Application().ProcessMessages();
  const int32_t middle = control->LinkY - viewer->ClientHeight() / 2;
  EXPECT_EQ(viewer->Position(), middle);
  // Focus again while it is in view: nothing moves.
  viewer->SetFocus();
  viewer->ScrollTo(middle - 40);
  control->TheControl()->SetFocus();
  plat::Application().ProcessMessages();
  EXPECT_EQ(viewer->Position(), middle - 40);
}

TEST_F(ViewerInteraction, TurningSelectionOffDropsTheSelectionAndStopsDragging) {
  Load("<p>alpha beta gamma</p>");
  const plat::TPoint alpha = TextPoint(u"alpha"), gamma = TextPoint(u"gamma");
  Press(alpha);
  Move(gamma, plat::ssLeft);
  Release(gamma);
  ASSERT_FALSE(viewer->SelText().empty());
  viewer->SetNoSelect(true);
  EXPECT_EQ(viewer->SelText(), u"");
  Press(alpha);
  Move(gamma, plat::ssLeft);
  Release(gamma);
  EXPECT_EQ(viewer->SelText(), u"");
  // The caret still follows the mouse.
  EXPECT_GT(viewer->CaretPos(), 0);
}

TEST_F(ViewerInteraction, AControlUnderTheMouseShowsItsTitleOrTheOneAroundIt) {
  Load(
      "<form><table><tr><td title=\"Cell tip\"><input type=text title=\"Your name\"> "
      "<input type=text name=plain></td></tr></table></form>");
  std::vector<TFormControlObj*> controls;
  for (TPageWindowObj* window : viewer->Document().AllControls)
    if (auto* control = dynamic_cast<TFormControlObj*>(window)) controls.push_back(control);
  ASSERT_EQ(controls.size(), 2u);
  std::vector<plat::TPoint> moves;
  viewer->OnMouseMove = [&](plat::TObject* sender, plat::TShiftState, int x, int y) {
    EXPECT_EQ(sender, viewer);
    moves.push_back({x, y});
  };
  plat::SimulateMouse(*controls[0]->TheControl(), plat::TMouseAction::Move, plat::mbLeft, {3, 4});
  EXPECT_EQ(viewer->HoverTitle, "Your name");
  plat::SimulateMouse(*controls[1]->TheControl(), plat::TMouseAction::Move, plat::mbLeft, {5, 2});
  EXPECT_EQ(viewer->HoverTitle, "Cell tip");
  EXPECT_EQ(moves, (std::vector<plat::TPoint>{{3, 4}, {5, 2}}));
}

// Handlers of the embedding program may load another page while the page's own windows and
// runs are still on the call stack; the viewer must go on with the new page only.
TEST_F(ViewerInteraction, HandlersThatLoadAnotherPageLeaveNothingOfTheOldOne) {
  Load("<p><a href=\"#x\">first</a> text</p>");
  auto* run = dynamic_cast<TFontObj*>(viewer->Document().LinkRuns.at(0));
  ASSERT_NE(run, nullptr);
  ASSERT_TRUE(run->FocusControl());
  run->FocusControl()->SetFocus();
  plat::Application().ProcessMessages();
  int keys = 0;
  viewer->OnKeyDown = [&](plat::TObject*, uint16_t&, plat::TShiftState) {
    if (keys++ == 0) viewer->LoadFromString("<p>second page</p>", "");
  };
  // As the window system hands the key to the link's window.
  run->FocusControl()->Perform(plat::WM_KEYDOWN, plat::VK_DOWN, 0);
  plat::Application().ProcessMessages();
  EXPECT_EQ(keys, 1);
  EXPECT_TRUE(viewer->Document().LinkRuns.empty());

  // The link under a drag is covered; its handler replaces the page before the drag goes on.
  Load("<p>words <a href=\"#y\">link</a></p>");
  std::vector<std::string> covered;
  viewer->OnHotSpotCovered = [&](plat::TObject*, const std::string& url) {
    covered.push_back(url);
    if (covered.size() == 1) viewer->LoadFromString("<p>third page</p>", "");
  };
  const plat::TPoint words = TextPoint(u"words"), link = LinkPoint("#y");
  Press(words);
  Move(link, plat::ssLeft);
  Release(link);
  EXPECT_EQ(covered, std::vector<std::string>{"#y"});
  EXPECT_EQ(viewer->SelText(), u"");
  EXPECT_EQ(viewer->Document().LinkRuns.size(), 0u);
}

}  // namespace
}  // namespace html::test
