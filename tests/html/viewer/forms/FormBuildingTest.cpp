// How the markup of forms becomes controls: which kind each element makes, what its attributes
// set, what its text holds, and how its sizes follow from SIZE, ROWS, COLS and CSS.
#include <gtest/gtest.h>

#include "FormPage.h"
#include "html/images/ImageObjects.h"

namespace html::test {
namespace {

using FormBuilding = FormPageTest;

TEST_F(FormBuilding, SelectIsAComboBoxUnlessItIsMultipleOrTaller) {
  Load(
      "<select name=a size=1><option>1</select>"
      "<select name=b size=3><option>1<option>2<option>3<option>4</select>"
      "<select name=c multiple>"
      "<option>1<option>2<option>3<option>4<option>5<option>6<option>7<option>8<option>9"
      "<option>10</select>"
      "<select name=d multiple><option>1<option>2</select>");
  EXPECT_NO_THROW(Control<TComboFormControlObj>("a"));
  auto& b = Control<TListBoxFormControlObj>("b");
  EXPECT_EQ(dynamic_cast<TComboFormControlObj*>(&b), nullptr);
  EXPECT_FALSE(b.List().MultiSelect());
  EXPECT_EQ(b.LBSize, 3);
  auto& c = Control<TListBoxFormControlObj>("c");
  EXPECT_EQ(c.LBSize, 8);
  EXPECT_EQ(c.List().Count(), 10);
  EXPECT_EQ(Control<TListBoxFormControlObj>("d").LBSize, 2);
  // The rows shown are the font's line height times the row count.
  const int rowHeight = b.List().ClientHeight() / 3;
  EXPECT_EQ(b.List().ClientHeight(), 3 * rowHeight);
  EXPECT_EQ(c.List().ClientHeight(), 8 * rowHeight);
}

TEST_F(FormBuilding, OptionsSubmitTheirValueOrTheirText) {
  Load(
      "<form><select name=s multiple>"
      "<option selected value=\"v1\">First"
      "<option selected>  Second  </option>"
      "<option selected>"
      "<option selected value=\"\">Fourth"
      "</select></form>");
  CatchSubmissions();
  Form().SubmitTheForm({});
  ASSERT_EQ(submissions.size(), 1u);
  const std::vector<std::string> expected{"s=v1", "s=Second", "s= ", "s=Fourth"};
  EXPECT_EQ(submissions[0].Lines, expected);
  auto& list = Control<TListBoxFormControlObj>("s");
  EXPECT_EQ(list.List().Items()->Strings(1), "Second");
  EXPECT_EQ(list.TheOptions.Value(7), "");
  EXPECT_FALSE(list.TheOptions.Selected(-1));
}

TEST_F(FormBuilding, ASelectEndsAtTheFirstSymbolThatCannotBeInIt) {
  Load("<form><select name=s><option>a<option selected>b<p>after</form>");
  auto& combo = Control<TComboFormControlObj>("s");
  EXPECT_EQ(combo.Combo().Items()->Count(), 2);
  EXPECT_EQ(combo.Combo().ItemIndex(), 1);
  CatchSubmissions();
  Form().SubmitTheForm({});
  EXPECT_EQ(submissions.at(0).Lines, std::vector<std::string>{"s=b"});
}

TEST_F(FormBuilding, HiddenInputsCountInTheFormButShowNothing) {
  Load("<form><input type=hidden name=k value=7><input name=e></form>");
  EXPECT_EQ(Form().ControlList.Count(), 2);
  EXPECT_EQ(Form().NonHiddenCount, 1);
  EXPECT_EQ(Control<THiddenFormControlObj>("k").TheControl(), nullptr);
  EXPECT_EQ(viewer->Document().AllControls.size(), 2u);
}

TEST_F(FormBuilding, DisabledUnlessSaidNoAndDisabledControlsAreNotSubmitted) {
  Load(
      "<form><input name=a disabled><input name=b disabled=\"no\"><input name=c disabled=0>"
      "<input name=d disabled=\"yes\" value=x><input name=e readonly value=r></form>");
  EXPECT_FALSE(Control<TEditFormControlObj>("a").TheControl()->Enabled());
  EXPECT_TRUE(Control<TEditFormControlObj>("b").TheControl()->Enabled());
  EXPECT_TRUE(Control<TEditFormControlObj>("c").TheControl()->Enabled());
  EXPECT_FALSE(Control<TEditFormControlObj>("d").TheControl()->Enabled());
  EXPECT_TRUE(Control<TEditFormControlObj>("e").Edit().ReadOnly());
  CatchSubmissions();
  Form().SubmitTheForm("go=1");
  const std::vector<std::string> expected{"b=", "c=", "e=r", "go=1"};
  EXPECT_EQ(submissions.at(0).Lines, expected);
}

TEST_F(FormBuilding, UnknownTypesAreTextEditsAndSizeReadsItsLeadingNumber) {
  Load(
      "<input type=colour name=a><input name=b size=40><input name=c size=\"25, 2\">"
      "<input name=d size=\"wide, 2\"><input name=e size=\" 5,\"><input name=f size=nine>"
      "<input name=g size=999999999><input name=h size=\"0, 2\">");
  EXPECT_EQ(Control<TEditFormControlObj>("a").EditSize, 15);
  EXPECT_EQ(Control<TEditFormControlObj>("b").EditSize, 40);
  EXPECT_EQ(Control<TEditFormControlObj>("c").EditSize, 25);
  EXPECT_EQ(Control<TEditFormControlObj>("d").EditSize, 20);
  EXPECT_EQ(Control<TEditFormControlObj>("e").EditSize, 5);  // the number, blanks aside
  EXPECT_EQ(Control<TEditFormControlObj>("f").EditSize, 15);
  EXPECT_EQ(Control<TEditFormControlObj>("g").EditSize, kMaxControlChars);
  // Each character of SIZE adds the same width to 23 pixels of frame.
  const int w15 = Control<TEditFormControlObj>("a").Width();
  const int w40 = Control<TEditFormControlObj>("b").Width();
  const int w25 = Control<TEditFormControlObj>("c").Width();
  EXPECT_GT(w25, w15);
  EXPECT_EQ((w40 - 23) * 15, (w15 - 23) * 40);
  EXPECT_EQ((w25 - 23) * 15, (w15 - 23) * 25);
  EXPECT_LE(Control<TEditFormControlObj>("g").Width(), kMaxControlPixels);
  // A leading 0 is a number too: no characters, only the frame.
  EXPECT_EQ(Control<TEditFormControlObj>("h").EditSize, 0);
  EXPECT_EQ(Control<TEditFormControlObj>("h").Width(), 23);
}

TEST_F(FormBuilding, CssSizesSpacesAndPercentWidths) {
  Load(
      "<input name=a style=\"width:80px;height:40px\">"
      "<input name=b style=\"margin-left:7px;margin-right:3px;vertical-align:top\">"
      "<input name=c style=\"width:50%\">"
      "<input name=d style=\"width:150%\">"
      "<input name=e style=\"border:2px solid;height:30px\">");
  auto& a = Control<TEditFormControlObj>("a");
  EXPECT_EQ(a.Width(), 80);
  EXPECT_EQ(a.Height(), 40);
  auto& b = Control<TEditFormControlObj>("b");
  EXPECT_EQ(b.HSpaceL, 7);
  EXPECT_EQ(b.HSpaceR, 3);
  EXPECT_EQ(b.FormAlign, aTop);
  EXPECT_EQ(b.VSpaceT, 1);
  EXPECT_EQ(b.VSpaceB, 1);
  auto& c = Control<TEditFormControlObj>("c");
  EXPECT_TRUE(c.PercentWidth);
  EXPECT_EQ(c.FWidth, 50);
  const int line = viewer->PaintPanel().Width() - 2 * viewer->MarginWidth();
  EXPECT_NEAR(c.Width(), line / 2, 1);
  auto& d = Control<TEditFormControlObj>("d");
  EXPECT_FALSE(d.PercentWidth);
  EXPECT_EQ(d.FWidth, 0);
  auto& e = Control<TEditFormControlObj>("e");
  EXPECT_EQ(e.HSpaceL, 2);
  EXPECT_EQ(e.VSpaceT, 3);
  EXPECT_EQ(e.BorderTop, 2);
  EXPECT_EQ(e.FHeight, 26);
}

TEST_F(FormBuilding, TextAreaKeepsItsTextAndTagsAndWrapsAsAsked) {
  Load(
      "<form><textarea name=a>x &amp; <b>y</b>\n<p>z</textarea>"
      "<textarea name=b wrap=off rows=2 cols=4></textarea>"
      "<textarea name=c wrap=hard cols=4>one two three four five six</textarea>"
      "<textarea name=d>unfinished");
  auto& a = Control<TTextAreaFormControlObj>("a");
  EXPECT_EQ(a.TheText, "x & <b>y</b>\r\n<p>z");
  EXPECT_EQ(a.WindowText(), "x & <b>y</b>\r\n<p>z");
  EXPECT_EQ(a.Wrap, wrapSoft);
  EXPECT_TRUE(a.Memo().WordWrap());
  auto& b = Control<TTextAreaFormControlObj>("b");
  EXPECT_EQ(b.Wrap, wrapOff);
  EXPECT_FALSE(b.Memo().WordWrap());
  EXPECT_EQ(b.Memo().ScrollBars(), plat::ssBoth);
  EXPECT_EQ(b.Rows, 2);
  EXPECT_EQ(b.Cols, 4);
  EXPECT_EQ(Control<TTextAreaFormControlObj>("d").TheText, "unfinished");

  // A hard-wrapped area submits its lines as the window wraps them.
  auto& c = Control<TTextAreaFormControlObj>("c");
  std::string joined;
  for (const std::string& line : c.Memo().WrappedLines())
    joined += (joined.empty() ? "" : "|") + line;
  EXPECT_GT(c.Memo().WrappedLines().size(), 1u);
  std::string item;
  ASSERT_TRUE(c.GetSubmissionItem(0, item));
  std::string expected = "c=" + joined;
  for (size_t at = expected.find('|'); at != std::string::npos; at = expected.find('|'))
    expected.replace(at, 1, "\r\n");
  EXPECT_EQ(item, expected);
}

TEST_F(FormBuilding, FileInputIsAnEditAndABrowseButton) {
  Load("<form><input type=file name=f id=pick value=\"ignored\"></form>");
  ASSERT_EQ(Form().ControlList.Count(), 2);
  auto& edit = dynamic_cast<TEditFormControlObj&>(*Form().ControlList[0]);
  auto& browse = dynamic_cast<TButtonFormControlObj&>(*Form().ControlList[1]);
  EXPECT_EQ(edit.Edit().Text(), "");
  EXPECT_EQ(browse.TheControl()->Caption(), "Browse...");
  EXPECT_EQ(browse.MyEdit, &edit);
  EXPECT_EQ(browse.FName, "");
  EXPECT_EQ(viewer->Document().Targets.Find("pick"), &edit);
  // Edit and button stay on one line.
  EXPECT_EQ(edit.TheControl()->Top() + edit.Height(), browse.TheControl()->Top() + browse.Height());

  std::string asked;
  viewer->Document().FileBrowse = [&](plat::TObject*, plat::TObject*, std::string& name) {
    asked = name;
    name = "/tmp/chosen.png";
  };
  edit.Edit().SetText("start");
  Click(*browse.TheControl());
  EXPECT_EQ(asked, "start");
  EXPECT_EQ(edit.Edit().Text(), "/tmp/chosen.png");
  CatchSubmissions();
  Click(*browse.TheControl());
  EXPECT_TRUE(submissions.empty());
}

TEST_F(FormBuilding, AnImageInputSubmitsTheClickedPointOnce) {
  Load(
      "<form action=a><input type=image name=go src=\"none.gif\" alt=Go>"
      "<input name=t value=v><input type=image src=\"none.gif\">"
      "<input type=image name=off disabled src=\"none.gif\"></form>");
  CatchSubmissions();
  auto& go = Control<TImageFormControlObj>("go");
  ASSERT_NE(go.MyImage, nullptr);
  EXPECT_EQ(go.MyImage->FormControl(), &go);
  EXPECT_EQ(go.TheControl()->Width(), 1);
  // The picture stands in the text, not the window.
  EXPECT_EQ(Form().NonHiddenCount, 4);
  go.XTemp = 5;
  go.YTemp = 7;
  go.ImageControlClick();
  ASSERT_EQ(submissions.size(), 1u);
  const std::vector<std::string> clicked{"go.x=5", "go.y=7", "t=v"};
  EXPECT_EQ(submissions[0].Lines, clicked);
  Form().SubmitTheForm({});
  EXPECT_EQ(submissions.at(1).Lines, std::vector<std::string>{"t=v"});

  auto& unnamed = dynamic_cast<TImageFormControlObj&>(*Form().ControlList[2]);
  unnamed.XTemp = 1;
  unnamed.YTemp = 2;
  unnamed.ImageControlClick();
  const std::vector<std::string> bare{"t=v", "x=1", "y=2"};
  EXPECT_EQ(submissions.at(2).Lines, bare);

  auto& off = Control<TImageFormControlObj>("off");
  off.ImageControlClick();
  EXPECT_EQ(submissions.size(), 3u);
}

TEST_F(FormBuilding, ControlsOutsideAFormGetOneMadeForThem) {
  Load(
      "<input name=a><form action=x><input name=b></form><input name=c>"
      "<form action=y><input name=d>");
  // After a form's end the next loose control starts a new form of its own.
  ASSERT_EQ(viewer->Document().Forms.Count(), 4);
  EXPECT_EQ(Control<TEditFormControlObj>("a").MyForm, &Form(0));
  EXPECT_EQ(Form(0).Action, "");
  EXPECT_EQ(Form(1).Action, "x");
  EXPECT_EQ(Control<TEditFormControlObj>("b").MyForm, &Form(1));
  EXPECT_EQ(Control<TEditFormControlObj>("c").MyForm, &Form(2));
  EXPECT_EQ(Form(2).Action, "");
  EXPECT_EQ(Form(3).Action, "y");
  EXPECT_EQ(Control<TEditFormControlObj>("d").MyForm, &Form(3));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Form(i).ControlList.Count(), 1);
}

TEST_F(FormBuilding, TabIndexOrdersTheWindows) {
  Load(
      "<input name=a tabindex=3><input name=b><input name=c tabindex=1>"
      "<input name=d tabindex=200000><input name=e tabindex=3>");
  EXPECT_LT(Control<TEditFormControlObj>("c").TheControl()->TabOrder(),
            Control<TEditFormControlObj>("a").TheControl()->TabOrder());
  EXPECT_LT(Control<TEditFormControlObj>("a").TheControl()->TabOrder(),
            Control<TEditFormControlObj>("e").TheControl()->TabOrder());
  EXPECT_LT(Control<TEditFormControlObj>("e").TheControl()->TabOrder(),
            Control<TEditFormControlObj>("d").TheControl()->TabOrder());
}

TEST_F(FormBuilding, CollectedValuesComeBackAfterTheSamePageLoadsAgain) {
  const std::string page =
      "<form><input name=a value=1><input type=checkbox name=b checked>"
      "<input type=radio name=r value=x checked><input type=radio name=r value=y>"
      "<select name=s><option>p<option>q</select>"
      "<select name=m multiple><option>u<option>v<option>w</select>"
      "<textarea name=t>old</textarea></form>";
  Load(page);
  Control<TEditFormControlObj>("a").Edit().SetText("2");
  Control<TCheckBoxFormControlObj>("b").Box().SetChecked(false);
  Control<TRadioButtonFormControlObj>("r", 1).Radio().SetChecked(true);
  Control<TComboFormControlObj>("s").Combo().SetItemIndex(1);
  Control<TListBoxFormControlObj>("m").List().SetSelected(0, true);
  Control<TListBoxFormControlObj>("m").List().SetSelected(2, true);
  Control<TTextAreaFormControlObj>("t").Memo().SetText("new");
  std::unique_ptr<TFreeList<plat::TStringList>> data = viewer->Document().CollectFormData();
  ASSERT_TRUE(data);

  Load(page);
  RestoreFormData(viewer->Document(), *data);
  EXPECT_EQ(Control<TEditFormControlObj>("a").Edit().Text(), "2");
  EXPECT_FALSE(Control<TCheckBoxFormControlObj>("b").Box().Checked());
  EXPECT_FALSE(Control<TRadioButtonFormControlObj>("r", 0).Radio().Checked());
  EXPECT_TRUE(Control<TRadioButtonFormControlObj>("r", 1).Radio().Checked());
  EXPECT_EQ(Control<TComboFormControlObj>("s").Combo().ItemIndex(), 1);
  auto& m = Control<TListBoxFormControlObj>("m");
  EXPECT_TRUE(m.List().Selected(0));
  EXPECT_FALSE(m.List().Selected(1));
  EXPECT_TRUE(m.List().Selected(2));
  EXPECT_EQ(Control<TTextAreaFormControlObj>("t").WindowText(), "new");

  Load("<p>no forms");
  EXPECT_EQ(viewer->Document().CollectFormData(), nullptr);
}

TEST_F(FormBuilding, AMultipleListMakesItsFirstItemCurrentWhenResetOrRestored) {
  Load(
      "<form><select name=m multiple size=3><option>u<option selected>v<option selected>w"
      "</select></form>");
  auto& m = Control<TListBoxFormControlObj>("m");
  plat::TListBox& list = m.List();
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_FALSE(list.Selected(0));  // current, not chosen
  EXPECT_TRUE(list.Selected(1));
  EXPECT_TRUE(list.Selected(2));
  list.SetItemIndex(2);
  list.SetSelected(0, true);
  EXPECT_TRUE(list.Selected(1));  // moving the current item keeps the choice
  m.ResetToInitialValue();
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_FALSE(list.Selected(0));
  EXPECT_TRUE(list.Selected(2));
  list.SetItemIndex(2);
  m.SetDataValue(0, "w");
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_FALSE(list.Selected(1));
  EXPECT_TRUE(list.Selected(2));
}

}  // namespace
}  // namespace html::test
