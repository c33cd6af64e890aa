// A page with one form of every common control, shown in a viewer: the windows stand where the
// text puts them with the page's values, and clicks, keys, submission and reset behave as a
// reader expects.
#include <gtest/gtest.h>

#include <algorithm>

#include "FormPage.h"

namespace html::test {
namespace {

const char* const kPage =
    "<form action=\"/order\" method=\"post\" target=\"side\" enctype=\"text/plain\">"
    "<input type=hidden name=h value=1>"
    "<input name=user value=\"Ann\" size=10>"
    "<input type=password name=pw value=\"s3\"><br>"
    "<input type=checkbox name=c1 value=yes checked>"
    "<input type=checkbox name=c2>"
    "<input type=radio name=size value=small>"
    "<input type=radio name=SIZE value=large checked><br>"
    "<select name=s><option>One<option selected value=2>Two</select>"
    "<select name=m multiple><option selected>x<option>y<option selected>z</select>"
    "<textarea name=t rows=3>Hello\nworld</textarea><br>"
    "<input type=submit name=go value=Send>"
    "<input type=reset>"
    "</form>";

class FormInteraction : public FormPageTest {
 protected:
  void SetUp() override {
    FormPageTest::SetUp();
    Load(kPage);
    CatchSubmissions();
  }
  // Every window of the page, in source order.
  std::vector<plat::TWinControl*> Windows() {
    std::vector<plat::TWinControl*> result;
    for (const auto& control : Form().ControlList)
      if (control->TheControl()) result.push_back(control->TheControl());
    return result;
  }
};

TEST_F(FormInteraction, ControlsAreLiveWindowsWithThePagesValues) {
  ThtmlForm& form = Form();
  EXPECT_EQ(form.Action, "/order");
  EXPECT_EQ(form.Method, "post");
  EXPECT_EQ(form.Target, "side");
  EXPECT_EQ(form.EncType, "text/plain");
  EXPECT_EQ(form.ControlList.Count(), 12);
  EXPECT_EQ(form.NonHiddenCount, 11);

  auto& user = Control<TEditFormControlObj>("user");
  EXPECT_EQ(user.Edit().Text(), "Ann");
  EXPECT_EQ(user.Edit().PasswordChar(), 0);
  auto& pw = Control<TEditFormControlObj>("pw");
  EXPECT_EQ(pw.Edit().Text(), "s3");
  EXPECT_EQ(pw.Edit().PasswordChar(), '*');
  EXPECT_TRUE(Control<TCheckBoxFormControlObj>("c1").Box().Checked());
  EXPECT_FALSE(Control<TCheckBoxFormControlObj>("c2").Box().Checked());
  EXPECT_FALSE(Control<TRadioButtonFormControlObj>("size").Radio().Checked());
  EXPECT_TRUE(Control<TRadioButtonFormControlObj>("SIZE").Radio().Checked());
  auto& combo = Control<TComboFormControlObj>("s");
  EXPECT_EQ(combo.Combo().Items()->Count(), 2);
  EXPECT_EQ(combo.Combo().ItemIndex(), 1);
  auto& list = Control<TListBoxFormControlObj>("m");
  EXPECT_TRUE(list.List().MultiSelect());
  EXPECT_TRUE(list.List().Selected(0));
  EXPECT_FALSE(list.List().Selected(1));
  EXPECT_TRUE(list.List().Selected(2));
  EXPECT_EQ(Control<TTextAreaFormControlObj>("t").WindowText(), "Hello\r\nworld");
  EXPECT_EQ(Control<TButtonFormControlObj>("go").TheControl()->Caption(), "Send");
  EXPECT_EQ(Form().ControlList[11]->TheControl()->Caption(), "Reset");

  for (plat::TWinControl* window : Windows()) {
    EXPECT_EQ(window->Parent(), &viewer->PaintPanel());
    EXPECT_TRUE(window->Showing());
  }
}

TEST_F(FormInteraction, PaintingPutsTheWindowsWhereTheTextStandsThem) {
  const std::vector<plat::TWinControl*> windows = Windows();
  ASSERT_EQ(windows.size(), 11u);
  for (const auto& control : Form().ControlList)
    EXPECT_TRUE(!control->TheControl() || control->ShowIt);
  // Lines start at the page margin; controls of a line follow each other with their spaces.
  auto& user = Control<TEditFormControlObj>("user");
  auto& pw = Control<TEditFormControlObj>("pw");
  EXPECT_EQ(user.TheControl()->Left(), viewer->MarginWidth() + user.HSpaceL);
  EXPECT_EQ(pw.TheControl()->Left(),
            user.TheControl()->Left() + user.Width() + user.HSpaces() + pw.HSpaceL);
  // Bottom-aligned windows of one line end on one bottom line.
  EXPECT_EQ(user.TheControl()->Top() + user.Height(), pw.TheControl()->Top() + pw.Height());
  // Every line lies below the one before it.
  auto& c1 = Control<TCheckBoxFormControlObj>("c1");
  auto& combo = Control<TComboFormControlObj>("s");
  auto& go = Control<TButtonFormControlObj>("go");
  EXPECT_EQ(c1.TheControl()->Left(), viewer->MarginWidth() + c1.HSpaceL);
  EXPECT_GE(c1.TheControl()->Top(), user.TheControl()->Top() + user.Height());
  EXPECT_GE(combo.TheControl()->Top(), c1.TheControl()->Top() + c1.Height());
  EXPECT_GT(go.TheControl()->Top(), combo.TheControl()->Top());
  for (plat::TWinControl* window : windows) {
    EXPECT_GE(window->Left(), 0);
    EXPECT_LE(window->Left() + window->Width(), viewer->PaintPanel().Width());
  }
}

TEST_F(FormInteraction, ScrollingMovesTheWindowsWithTheText) {
  std::string tall = kPage;
  for (int i = 0; i < 60; ++i) tall += "<br>line";
  Load(tall);
  plat::TWinControl& go = *Control<TButtonFormControlObj>("go").TheControl();
  const int before = go.Top();
  viewer->ScrollTo(10);
  Settle();
  ASSERT_EQ(viewer->Position(), 10);
  EXPECT_EQ(go.Top(), before - 10);
  // Scrolled out of sight, a window waits off screen but stays shown for the Tab order.
  viewer->ScrollTo(before + 200);
  Settle();
  EXPECT_EQ(go.Left(), kParkedControlLeft);
  EXPECT_TRUE(go.Visible());
}

TEST_F(FormInteraction, SubmitHandsOverTheCheckedAndChosenValuesInOrder) {
  Click(*Control<TButtonFormControlObj>("go").TheControl());
  ASSERT_EQ(submissions.size(), 1u);
  const TSubmission& s = submissions[0];
  EXPECT_EQ(s.Action, "/order");
  EXPECT_EQ(s.Target, "side");
  EXPECT_EQ(s.EncType, "text/plain");
  EXPECT_EQ(s.Method, "post");
  const std::vector<std::string> expected{
      "h=1", "user=Ann", "pw=s3", "c1=yes",           "SIZE=large",
      "s=2", "m=x",      "m=z",   "t=Hello\r\nworld", "go=Send"};
  EXPECT_EQ(s.Lines, expected);
}

TEST_F(FormInteraction, UserChangesAreSubmittedAndResetRestoresThePage) {
  auto& user = Control<TEditFormControlObj>("user");
  auto& c1 = Control<TCheckBoxFormControlObj>("c1");
  auto& c2 = Control<TCheckBoxFormControlObj>("c2");
  auto& small = Control<TRadioButtonFormControlObj>("size");
  auto& large = Control<TRadioButtonFormControlObj>("SIZE");
  auto& list = Control<TListBoxFormControlObj>("m");
  user.Edit().SetText("Bob");
  Click(*c1.TheControl());
  Click(*c2.TheControl());
  Click(*small.TheControl());
  Control<TComboFormControlObj>("s").Combo().SetItemIndex(0);
  list.List().SetSelected(1, true);
  Control<TTextAreaFormControlObj>("t").Memo().SetText("Bye");

  Click(*Control<TButtonFormControlObj>("go").TheControl());
  ASSERT_EQ(submissions.size(), 1u);
  const std::vector<std::string> changed{"h=1", "user=Bob", "pw=s3", "c2=on", "size=small", "s=One",
                                         "m=x", "m=y",      "m=z",   "t=Bye", "go=Send"};
  EXPECT_EQ(submissions[0].Lines, changed);

  Click(*Form().ControlList[11]->TheControl());
  EXPECT_EQ(user.Edit().Text(), "Ann");
  EXPECT_TRUE(c1.Box().Checked());
  EXPECT_FALSE(c2.Box().Checked());
  EXPECT_FALSE(small.Radio().Checked());
  EXPECT_TRUE(large.Radio().Checked());
  EXPECT_EQ(Control<TComboFormControlObj>("s").Combo().ItemIndex(), 1);
  EXPECT_FALSE(list.List().Selected(1));
  EXPECT_EQ(Control<TTextAreaFormControlObj>("t").WindowText(), "Hello\r\nworld");
  // Reset submits nothing.
  EXPECT_EQ(submissions.size(), 1u);
}

TEST_F(FormInteraction, ARadioGroupKeepsOneButtonOn) {
  auto& small = Control<TRadioButtonFormControlObj>("size");
  auto& large = Control<TRadioButtonFormControlObj>("SIZE");
  // Names that differ only in case are one group; the checked button is the Tab stop.
  EXPECT_FALSE(small.Radio().TabStop());
  EXPECT_TRUE(large.Radio().TabStop());
  Click(*small.TheControl());
  EXPECT_TRUE(small.Radio().Checked());
  EXPECT_FALSE(large.Radio().Checked());
  EXPECT_TRUE(small.Radio().TabStop());
  EXPECT_FALSE(large.Radio().TabStop());
  // Clicking the checked button leaves it on.
  Click(*small.TheControl());
  EXPECT_TRUE(small.Radio().Checked());
  EXPECT_FALSE(large.Radio().Checked());
}

TEST_F(FormInteraction, TabDoesNotCheckARadioButtonAndArrowsStayInTheGroup) {
  auto& small = Control<TRadioButtonFormControlObj>("size");
  auto& large = Control<TRadioButtonFormControlObj>("SIZE");
  auto& c2 = Control<TCheckBoxFormControlObj>("c2");
  // A change arriving while Tab is down is refused.
  int clicks = 0;
  const plat::TKeyEvent formKeys = small.Radio().OnKeyDown;
  small.Radio().OnKeyDown = [&](plat::TObject*, uint16_t& key, plat::TShiftState) {
    if (key != plat::VK_TAB) return;
    small.Radio().SetChecked(true);
    ++clicks;
  };
  small.Radio().SetFocus();
  plat::SimulateKey(small.Radio(), plat::VK_TAB, "\t");
  small.Radio().OnKeyDown = formKeys;
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(small.Radio().Checked());
  EXPECT_TRUE(large.Radio().Checked());

  // Tab moves the focus from the check box onto the group's Tab stop without changing it.
  c2.Box().SetFocus();
  plat::Application().ProcessMessages();
  plat::SimulateKey(c2.Box(), plat::VK_TAB, "\t");
  plat::Application().ProcessMessages();
  EXPECT_TRUE(large.Radio().Focused());
  EXPECT_TRUE(large.Radio().Checked());
  EXPECT_FALSE(small.Radio().Checked());

  // Arrows move the focus within the group, and not past its ends.
  plat::SimulateKey(large.Radio(), plat::VK_RIGHT, "");
  plat::Application().ProcessMessages();
  EXPECT_TRUE(large.Radio().Focused());
  plat::SimulateKey(large.Radio(), plat::VK_LEFT, "");
  plat::Application().ProcessMessages();
  EXPECT_TRUE(small.Radio().Focused());
  plat::SimulateKey(small.Radio(), plat::VK_UP, "");
  plat::Application().ProcessMessages();
  EXPECT_TRUE(small.Radio().Focused());
  EXPECT_TRUE(large.Radio().Checked());
  // The page's radio buttons and check boxes ask for the arrow keys.
  EXPECT_EQ(small.Radio().Perform(plat::WM_GETDLGCODE), plat::DLGC_WANTARROWS);
  EXPECT_EQ(c2.Box().Perform(plat::WM_GETDLGCODE), plat::DLGC_WANTARROWS);
}

TEST_F(FormInteraction, KeysOnACheckBoxGoToTheViewerAndArrowsKeepTheFocus) {
  auto& c2 = Control<TCheckBoxFormControlObj>("c2");
  std::vector<uint16_t> viewerKeys;
  viewer->OnKeyDown = [&](plat::TObject*, uint16_t& key, plat::TShiftState) {
    viewerKeys.push_back(key);
  };
  c2.Box().SetFocus();
  plat::Application().ProcessMessages();
  plat::SimulateKey(c2.Box(), plat::VK_DOWN, "");
  plat::SimulateKey(c2.Box(), plat::VK_RIGHT, "");
  plat::Application().ProcessMessages();
  EXPECT_TRUE(c2.Box().Focused());
  EXPECT_FALSE(c2.Box().Checked());
  plat::SimulateKey(c2.Box(), plat::VK_SPACE, " ");
  plat::Application().ProcessMessages();
  EXPECT_TRUE(c2.Box().Checked());
  const std::vector<uint16_t> expected{plat::VK_DOWN, plat::VK_RIGHT, plat::VK_SPACE};
  EXPECT_EQ(viewerKeys, expected);
  // A radio button's arrows stay with its group.
  auto& large = Control<TRadioButtonFormControlObj>("SIZE");
  large.Radio().SetFocus();
  plat::SimulateKey(large.Radio(), plat::VK_LEFT, "");
  EXPECT_EQ(viewerKeys.size(), 3u);
}

TEST_F(FormInteraction, AFocusedCheckBoxIsMarkedOnThePage) {
  auto& c2 = Control<TCheckBoxFormControlObj>("c2");
  const plat::TWinControl& box = *c2.TheControl();
  // The row two pixels above the window, from two pixels left of it to 16 right of its corner.
  const auto row = [&] {
    const plat::TCapturedImage image = plat::CaptureControl(viewer->PaintPanel());
    std::vector<uint32_t> pixels;
    for (int x = box.Left() - 2; x < box.Left() + 16; ++x)
      pixels.push_back(image.Pixel(x, box.Top() - 2));
    return pixels;
  };
  const std::vector<uint32_t> unfocused = row();
  EXPECT_EQ(std::count(unfocused.begin(), unfocused.end(), unfocused[0]), 18);
  c2.Box().SetFocus();
  plat::Application().ProcessMessages();
  ASSERT_TRUE(c2.IsFocused);
  const std::vector<uint32_t> focused = row();
  EXPECT_GT(
      std::count_if(focused.begin(), focused.end(), [&](uint32_t p) { return p != unfocused[0]; }),
      4);
}

TEST_F(FormInteraction, EnterInAnEditSubmitsWithoutAButton) {
  auto& user = Control<TEditFormControlObj>("user");
  user.Edit().SetFocus();
  plat::Application().ProcessMessages();
  plat::SimulateKey(user.Edit(), plat::VK_RETURN, "\r");
  plat::Application().ProcessMessages();
  ASSERT_EQ(submissions.size(), 1u);
  EXPECT_EQ(submissions[0].Lines.back(), "t=Hello\r\nworld");

  // Without a hook nothing happens.
  viewer->Document().SubmitForm = nullptr;
  plat::SimulateKey(user.Edit(), plat::VK_RETURN, "\r");
  plat::Application().ProcessMessages();
  EXPECT_EQ(submissions.size(), 1u);
  EXPECT_EQ(user.Edit().Text(), "Ann");
}

TEST_F(FormInteraction, FocusBlurChangeAndClickReachTheDocumentsHooks) {
  Load(
      "<form><input name=a onfocus=\"F\" onblur=\"B\" onchange=\"C\">"
      "<input type=checkbox name=b onclick=\"K\"></form>");
  std::string log;
  TSectionList& document = viewer->Document();
  const auto record = [&](const char* what) {
    return [&log, what](plat::TObject*, plat::TObject* obj, const std::string& text) {
      log +=
          std::string(what) + ":" + dynamic_cast<TFormControlObj&>(*obj).FName + ":" + text + " ";
    };
  };
  document.ObjectFocus = record("focus");
  document.ObjectBlur = record("blur");
  document.ObjectChange = record("change");
  document.ObjectClick = record("click");
  auto& a = Control<TEditFormControlObj>("a");
  auto& b = Control<TCheckBoxFormControlObj>("b");
  a.Edit().SetFocus();
  plat::Application().ProcessMessages();
  EXPECT_TRUE(a.IsFocused);
  a.Edit().SetText("new");
  Click(*b.TheControl());
  EXPECT_FALSE(a.IsFocused);
  EXPECT_EQ(log, "focus:a:F change:a:C blur:a:B click:b:K ");
}

TEST_F(FormInteraction, ScreenshotOfTheFormPage) {
  plat::SaveScreenshot(form, plat::ScreenshotFolder() + "/html_form_page.png");
}

}  // namespace
}  // namespace html::test
