// A host's handler may load another page from inside a control's event: the old page's controls
// are freed while their own click, focus or change is still running, and must not be touched
// after the handler returns.
#include <gtest/gtest.h>

#include "FormPage.h"

namespace html::test {
namespace {

const char* const kNextPage = "<form><input name=next value=here></form>";

class HandlerLoadsPage : public FormPageTest {
 protected:
  // The handler the host runs: it replaces the page once.
  void LoadNext() {
    if (loads++ == 0) viewer->LoadFromString(kNextPage, "");
  }
  auto Loader() {
    return [this](plat::TObject*, plat::TObject*, const std::string&) { LoadNext(); };
  }
  // The next page is shown, built completely.
  void ExpectNextPage() {
    plat::Application().ProcessMessages();
    EXPECT_EQ(loads, 1);
    ASSERT_EQ(viewer->Document().Forms.Count(), 1);
    EXPECT_EQ(Control<TEditFormControlObj>("next").Edit().Text(), "here");
  }

  int loads = 0;
};

TEST_F(HandlerLoadsPage, FromAButtonsClickHook) {
  for (const char* type : {"submit", "reset"}) {
    SCOPED_TRACE(type);
    loads = 0;
    Load(std::string("<form><input name=e value=v><input type=") + type + " name=b></form>");
    CatchSubmissions();
    viewer->Document().ObjectClick = Loader();
    Click(*Control<TButtonFormControlObj>("b").TheControl());
    ExpectNextPage();
    // The old form is gone: it neither submits nor resets anything of the new page.
    EXPECT_TRUE(submissions.empty());
  }
}

TEST_F(HandlerLoadsPage, FromTheClickHookOfABoxThatResetOrRestoredValuesCheck) {
  const std::string page =
      "<form><input type=checkbox name=c checked><input type=checkbox name=d>"
      "<input type=reset name=r></form>";
  const auto loadOnBoxC = [this](plat::TObject*, plat::TObject* obj, const std::string&) {
    if (dynamic_cast<TFormControlObj&>(*obj).FName == "c") LoadNext();
  };
  // Reset checks c again, which raises its click.
  Load(page);
  Control<TCheckBoxFormControlObj>("c").Box().SetChecked(false);
  viewer->Document().ObjectClick = loadOnBoxC;
  Click(*Control<TButtonFormControlObj>("r").TheControl());
  ExpectNextPage();

  // So does giving the form values that check c.
  viewer->Document().ObjectClick = nullptr;
  loads = 0;
  Load(page);
  Control<TCheckBoxFormControlObj>("c").Box().SetChecked(false);
  viewer->Document().ObjectClick = loadOnBoxC;
  plat::TStringList values;
  values.Add("c=on");
  values.Add("d=on");
  EXPECT_FALSE(Form().SetFormData(values));
  ExpectNextPage();
}

TEST_F(HandlerLoadsPage, FromAnImageInputsClickHook) {
  Load("<form><input type=image name=go></form>");
  CatchSubmissions();
  viewer->Document().ObjectClick = Loader();
  auto& image = Control<TImageFormControlObj>("go");
  image.XTemp = 5;
  image.YTemp = 7;
  image.ImageControlClick();
  ExpectNextPage();
  EXPECT_TRUE(submissions.empty());
}

TEST_F(HandlerLoadsPage, FromTheFileBrowseHook) {
  Load("<form><input type=file name=f></form>");
  viewer->Document().FileBrowse = [this](plat::TObject*, plat::TObject*, std::string& name) {
    name = "chosen.txt";
    LoadNext();
  };
  auto& browse = dynamic_cast<TButtonFormControlObj&>(*Form().ControlList[1]);
  ASSERT_EQ(browse.ButtonKind, bkBrowse);
  Click(*browse.TheControl());
  ExpectNextPage();
}

TEST_F(HandlerLoadsPage, FromTheChangeHookOfARadioTurnedOff) {
  Load(
      "<form><input type=radio name=r value=a checked onchange=\"C\">"
      "<input type=radio name=r value=b onchange=\"C\"></form>");
  auto& a = Control<TRadioButtonFormControlObj>("r", 0);
  auto& b = Control<TRadioButtonFormControlObj>("r", 1);
  a.SaveCurrentValue();
  viewer->Document().ObjectChange = Loader();
  viewer->Document().ObjectClick = [](plat::TObject*, plat::TObject*, const std::string&) {
    ADD_FAILURE() << "the click of a freed radio button was reported";
  };
  Click(*b.TheControl());
  ExpectNextPage();
}

TEST_F(HandlerLoadsPage, FromTheFocusAndChangeHooksOfAnEdit) {
  // Focus, as the window reports it: the edit would save its value after the hook.
  Load("<form><input name=a onfocus=\"F\" onchange=\"C\"></form>");
  viewer->Document().ObjectFocus = Loader();
  Control<TEditFormControlObj>("a").FormControlEnter();
  ExpectNextPage();

  // Leaving a changed edit for a window beside the viewer: the blur hook would follow the
  // change hook.
  loads = 0;
  Load("<form><input name=a onchange=\"C\" onblur=\"B\"></form>");
  auto& a = Control<TEditFormControlObj>("a");
  a.Edit().SetFocus();
  plat::Application().ProcessMessages();
  viewer->Document().ObjectChange = Loader();
  viewer->Document().ObjectBlur = [](plat::TObject*, plat::TObject*, const std::string&) {
    ADD_FAILURE() << "the blur of a freed edit was reported";
  };
  a.Edit().SetText("changed");
  Add<plat::TEdit>(0, 445, 100, 20)->SetFocus();
  ExpectNextPage();
}

}  // namespace
}  // namespace html::test
