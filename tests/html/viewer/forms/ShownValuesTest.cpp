// What the controls of a form hold against what the page gave them and what the reader typed:
// typing limits, widths in characters, resets, restored values, and the line ends and wrapped
// lines of text areas, each as the form then submits it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormPage.h"

namespace html::test {
namespace {

class ShownValues : public FormPageTest {
 protected:
  void Type(plat::TWinControl& control, const std::string& text) {
    for (char ch : text)
      plat::SimulateKey(control, uint16_t(std::toupper(uint8_t(ch))), std::string(1, ch));
    plat::Application().ProcessMessages();
  }
  std::vector<std::string> Submit() {
    submissions.clear();
    Form().SubmitTheForm("");
    return submissions.at(0).Lines;
  }
};

TEST_F(ShownValues, MaxLengthLimitsTypingButKeepsThePagesValue) {
  Load(
      "<form><input name=a value=\"abcdef\" maxlength=3><input name=b maxlength=3>"
      "<input type=reset></form>");
  CatchSubmissions();
  auto& a = Control<TEditFormControlObj>("a");
  auto& b = Control<TEditFormControlObj>("b");
  EXPECT_EQ(a.Edit().Text(), "abcdef");
  plat::SimulateKey(a.Edit(), plat::VK_END, "");
  Type(a.Edit(), "x");
  EXPECT_EQ(a.Edit().Text(), "abcdef");
  // Shortening is allowed; what would lengthen it past the limit again is not.
  plat::SimulateKey(a.Edit(), plat::VK_BACK, "\b");
  Type(a.Edit(), "y");
  EXPECT_EQ(a.Edit().Text(), "abcde");
  Type(b.Edit(), "wxyz");
  EXPECT_EQ(b.Edit().Text(), "wxy");
  EXPECT_EQ(Submit(), (std::vector<std::string>{"a=abcde", "b=wxy"}));
  Click(*Form().ControlList[2]->TheControl());
  EXPECT_EQ(Submit(), (std::vector<std::string>{"a=abcdef", "b="}));
}

TEST_F(ShownValues, EditSizeReadsItsNumberAsTheOtherAttributesDo) {
  Load(
      "<input name=a size=40><input name=b size=\"40.4\"><input name=c size=\" 40\">"
      "<input name=d size=\"+40\">");
  const int width = Control<TEditFormControlObj>("a").Width();
  for (const char* name : {"b", "c", "d"}) {
    EXPECT_EQ(Control<TEditFormControlObj>(name).EditSize, 40) << name;
    EXPECT_EQ(Control<TEditFormControlObj>(name).Width(), width) << name;
  }
}

TEST_F(ShownValues, AFileInputHoldsOnlyWhatTheReaderChoseAfterAResetToo) {
  Load("<form><input type=file name=f value=\"secret.txt\"><input type=reset></form>");
  CatchSubmissions();
  auto& file = Control<TEditFormControlObj>("f");
  Type(file.Edit(), "mine");
  EXPECT_EQ(Submit(), std::vector<std::string>{"f=mine"});
  Click(*Form().ControlList[2]->TheControl());
  EXPECT_EQ(file.Edit().Text(), "");
  EXPECT_EQ(Submit(), std::vector<std::string>{"f="});
}

TEST_F(ShownValues, ARadioGroupIsReachedByTabAfterAReset) {
  Load(
      "<form><input name=a><input type=radio name=r value=1><input type=radio name=R value=2>"
      "<input type=reset></form>");
  auto& edit = Control<TEditFormControlObj>("a");
  auto& first = Control<TRadioButtonFormControlObj>("r");
  auto& second = Control<TRadioButtonFormControlObj>("R");
  Click(*second.TheControl());
  ASSERT_TRUE(second.Radio().Checked());
  Click(*Form().ControlList[3]->TheControl());
  EXPECT_FALSE(second.Radio().Checked());
  // As when the page was loaded: the group's first button takes Tab.
  edit.Edit().SetFocus();
  plat::Application().ProcessMessages();
  plat::SimulateKey(edit.Edit(), plat::VK_TAB, "\t");
  plat::Application().ProcessMessages();
  EXPECT_TRUE(first.Radio().Focused());
  EXPECT_FALSE(first.Radio().Checked());
  EXPECT_FALSE(second.Radio().TabStop());
}

TEST_F(ShownValues, RestoredDataGivesEachControlOfANameItsOwnValue) {
  const std::string page =
      "<form><input name=q><input name=q><textarea name=t></textarea><textarea name=t>"
      "</textarea><input type=radio name=r value=x checked><input type=radio name=r value=y>"
      "</form>";
  Load(page);
  Control<TEditFormControlObj>("q", 0).Edit().SetText("one");
  Control<TEditFormControlObj>("q", 1).Edit().SetText("two");
  Control<TTextAreaFormControlObj>("t", 0).Memo().SetText("A");
  Control<TTextAreaFormControlObj>("t", 1).Memo().SetText("B");
  Click(*Control<TRadioButtonFormControlObj>("r", 1).TheControl());
  std::unique_ptr<TFreeList<plat::TStringList>> data = viewer->Document().CollectFormData();
  ASSERT_TRUE(data);

  Load(page);
  CatchSubmissions();
  RestoreFormData(viewer->Document(), *data);
  EXPECT_EQ(Control<TEditFormControlObj>("q", 0).Edit().Text(), "one");
  EXPECT_EQ(Control<TEditFormControlObj>("q", 1).Edit().Text(), "two");
  // The button the page checked gives way to the restored one of its group.
  EXPECT_EQ(Submit(), (std::vector<std::string>{"q=one", "q=two", "t=A", "t=B", "r=y"}));
  EXPECT_FALSE(Control<TRadioButtonFormControlObj>("r", 0).Radio().TabStop());
}

TEST_F(ShownValues, RestoredTextGoesPastTheValuesOfOtherControlsOfItsName) {
  const std::string page =
      "<form><input type=hidden name=q value=h><select name=q><option>a<option>b</select>"
      "<input type=checkbox name=q value=c checked><input name=q value=e>"
      "<textarea name=q>t</textarea></form>";
  Load(page);
  Control<TComboFormControlObj>("q", 1).Combo().SetItemIndex(1);
  Control<TEditFormControlObj>("q", 3).Edit().SetText("typed");
  Control<TTextAreaFormControlObj>("q", 4).Memo().SetText("area");
  std::unique_ptr<TFreeList<plat::TStringList>> data = viewer->Document().CollectFormData();
  ASSERT_TRUE(data);

  Load(page);
  CatchSubmissions();
  RestoreFormData(viewer->Document(), *data);
  EXPECT_EQ(Submit(), (std::vector<std::string>{"q=h", "q=b", "q=c", "q=typed", "q=area"}));
}

TEST_F(ShownValues, ATextAreaKeepsTheLineEndAfterItsLastLine) {
  Load("<form><textarea name=a>abc\n</textarea><textarea name=b></textarea></form>");
  CatchSubmissions();
  auto& a = Control<TTextAreaFormControlObj>("a");
  EXPECT_EQ(plat::MemoShownLines(a.Memo()), (std::vector<std::string>{"abc", ""}));
  auto& b = Control<TTextAreaFormControlObj>("b");
  Type(b.Memo(), "ab");
  plat::SimulateKey(b.Memo(), plat::VK_RETURN, "\r");
  plat::Application().ProcessMessages();
  EXPECT_EQ(plat::MemoShownLines(b.Memo()), (std::vector<std::string>{"ab", ""}));
  EXPECT_EQ(Submit(), (std::vector<std::string>{"a=abc\r\n", "b=ab\r\n"}));
}

TEST_F(ShownValues, AHardWrappedTextAreaSubmitsTheLinesItShowsLongWordsBrokenToo) {
  Load("<form><textarea name=t wrap=hard cols=10 rows=4>" + std::string(60, 'x') +
       " and then some short words</textarea></form>");
  CatchSubmissions();
  const std::vector<std::string> shown =
      plat::MemoShownLines(Control<TTextAreaFormControlObj>("t").Memo());
  ASSERT_GT(shown.size(), 3u);
  EXPECT_LT(shown[0].size(), 60u);
  std::string expected = "t=";
  for (size_t i = 0; i < shown.size(); ++i) expected += (i > 0 ? "\r\n" : "") + shown[i];
  EXPECT_EQ(Submit(), std::vector<std::string>{expected});
}

}  // namespace
}  // namespace html::test
