// The viewer's own events for a page's controls: a submission reaches OnFormSubmit only after
// the click that made it has returned, and the mouse over a control shows its title.
#include <gtest/gtest.h>

#include "FormPage.h"

namespace html::test {
namespace {

using ViewerEvents = FormPageTest;

TEST_F(ViewerEvents, SubmissionArrivesAfterTheClickReturns) {
  std::vector<std::vector<std::string>> received;
  std::string action, method;
  viewer->SetOnFormSubmit([&](plat::TObject* sender, const std::string& a, const std::string&,
                              const std::string&, const std::string& m,
                              plat::TStringList* results) {
    EXPECT_EQ(sender, viewer);
    action = a;
    method = m;
    std::vector<std::string> lines;
    for (int i = 0; i < results->Count(); ++i) lines.push_back((*results)[i]);
    received.push_back(lines);
  });
  Load(
      "<form action=\"next.htm\"><input name=q value=\"cats\">"
      "<input type=checkbox name=all><input type=submit></form>");
  plat::TWinControl& submit = *Form().ControlList[2]->TheControl();
  bool insideClick = false;
  submit.OnMouseUp = [&](plat::TObject*, plat::TMouseButton, plat::TShiftState, int, int) {
    insideClick = true;
  };
  plat::SimulateMouse(submit, plat::TMouseAction::Press, plat::mbLeft, {5, 5});
  plat::SimulateMouse(submit, plat::TMouseAction::Release, plat::mbLeft, {5, 5});
  EXPECT_TRUE(insideClick);
  EXPECT_TRUE(received.empty());
  plat::Application().ProcessMessages();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0], std::vector<std::string>{"q=cats"});
  EXPECT_EQ(action, "next.htm");
  EXPECT_EQ(method, "Get");
}

TEST_F(ViewerEvents, AFormInsidePreformattedTextSubmitsWithItsAction) {
  std::vector<std::string> received;
  viewer->SetOnFormSubmit([&](plat::TObject*, const std::string& action, const std::string&,
                              const std::string&, const std::string& method,
                              plat::TStringList* results) {
    received.push_back(action + " " + method + " " + results->Text());
  });
  Load(
      "<pre>Search:\n<form action=\"search.cgi\" method=post><input name=q value=cats> "
      "<select name=in><option>all<option selected>titles</select> <input type=submit></form>"
      "</pre>");
  plat::TWinControl& submit = *Control<TButtonFormControlObj>("").TheControl();
  EXPECT_GT(submit.Left(), 0);  // placed in its line
  plat::SimulateMouse(submit, plat::TMouseAction::Press, plat::mbLeft, {5, 5});
  plat::SimulateMouse(submit, plat::TMouseAction::Release, plat::mbLeft, {5, 5});
  plat::Application().ProcessMessages();
  EXPECT_EQ(received, std::vector<std::string>{"search.cgi post q=cats\nin=titles\n"});
}

TEST_F(ViewerEvents, HandlersSetAfterALoadHearThePageShown) {
  Load("<input type=checkbox name=c onclick=\"tick()\"><input name=e onfocus=\"in()\">");
  std::vector<std::string> heard;
  viewer->SetOnObjectClick([&](plat::TObject* sender, plat::TObject*, const std::string& text) {
    EXPECT_EQ(sender, viewer);
    heard.push_back("click " + text);
  });
  viewer->SetOnObjectFocus([&](plat::TObject*, plat::TObject*, const std::string& text) {
    heard.push_back("focus " + text);
  });
  plat::TWinControl& box = *Control<TCheckBoxFormControlObj>("c").TheControl();
  plat::SimulateMouse(box, plat::TMouseAction::Press, plat::mbLeft, {4, 4});
  plat::SimulateMouse(box, plat::TMouseAction::Release, plat::mbLeft, {4, 4});
  Control<TEditFormControlObj>("e").TheControl()->SetFocus();
  EXPECT_EQ(heard, (std::vector<std::string>{"click tick()", "focus in()"}));

  // Taken away, they are silent at once too.
  viewer->SetOnObjectClick(nullptr);
  plat::SimulateMouse(box, plat::TMouseAction::Press, plat::mbLeft, {4, 4});
  plat::SimulateMouse(box, plat::TMouseAction::Release, plat::mbLeft, {4, 4});
  EXPECT_EQ(heard.size(), 2u);
}

TEST_F(ViewerEvents, TheMouseOverAControlShowsItsTitle) {
  Load("<input name=a title=\"Your name\"><input name=b>");
  std::vector<plat::TPoint> moves;
  viewer->OnMouseMove = [&](plat::TObject*, plat::TShiftState, int x, int y) {
    moves.push_back({x, y});
  };
  plat::TWinControl& a = *Control<TEditFormControlObj>("a").TheControl();
  plat::SimulateMouse(a, plat::TMouseAction::Move, plat::mbLeft, {6, 4});
  EXPECT_EQ(viewer->HoverTitle, "Your name");
  ASSERT_FALSE(moves.empty());
  plat::TWinControl& b = *Control<TEditFormControlObj>("b").TheControl();
  plat::SimulateMouse(b, plat::TMouseAction::Move, plat::mbLeft, {3, 3});
  EXPECT_EQ(viewer->HoverTitle, "");
}

}  // namespace
}  // namespace html::test
