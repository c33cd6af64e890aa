// Modal runs through the test hook and through a real nested loop, closing rules, dialogs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/runtime/Shell.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/Forms.h"
#include "platform/windows/StdCtrls.h"
#include "platform/windows/TestSeams.h"

namespace plat {
namespace {

class TDialogForm : public TForm {
 public:
  explicit TDialogForm(TComponent* owner) : TForm(owner) {
    Edit = Make<TEdit>();
    Edit->SetParent(this);
    Ok = Make<TButton>();
    Ok->SetParent(this);
    Ok->SetModalResult(mrOk);
    Ok->OnClick = [this](TObject*) { ++okClicks; };
    OnShow = [this](TObject*) { ++shows; };
  }
  TEdit* Edit;
  TButton* Ok;
  int shows = 0, okClicks = 0;
};

TEST(ModalRun, TheHookAnswersWithoutALoopAfterTheResultIsReset) {
  TTestHooksScope hooks;
  TDialogForm dialog(nullptr);
  dialog.SetModalResult(mrYes);  // left over from an earlier run
  TestHooks().modal = [](TCustomForm& form) {
    static_cast<TDialogForm&>(form).Edit->SetText("typed");
    return mrNone;  // as if the window was closed: nothing chosen
  };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_EQ(dialog.shows, 1);
  EXPECT_EQ(dialog.Edit->Text(), "typed");
  EXPECT_FALSE(dialog.Visible());

  TestHooks().modal = [](TCustomForm& form) {
    static_cast<TDialogForm&>(form).Ok->Click();
    return mrNone;
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(dialog.okClicks, 1);
}

TEST(ModalRun, ARunNobodyAnswersIsReportedAndCancelledAtItsLimit) {
  std::vector<std::string> reports;
  LimitModalRuns(1, [&](const std::string& what) { reports.push_back(what); });
  TDialogForm dialog(nullptr);
  dialog.SetCaption("Nobody answers");
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("TDialogForm \"Nobody answers\""), std::string::npos) << reports[0];

  TTestHooksScope hooks;
  TestHooks().showMessageBoxes = true;
  ShowMessage("Still waiting.");
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_NE(reports[1].find("saying \"Still waiting.\""), std::string::npos) << reports[1];
  LimitModalRuns(0, nullptr);
}

TEST(ModalRun, ANestedLoopRunsTimersUntilAButtonSetsTheResult) {
  TDialogForm dialog(nullptr);
  TTimer timer(nullptr);
  timer.SetInterval(5);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    ++ticks;
    // The first tick finds the dialog running; the second presses OK.
    EXPECT_TRUE(dialog.Modal());
    if (ticks == 2) dialog.Ok->Click();
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(ticks, 2);
  EXPECT_FALSE(dialog.Modal());
  EXPECT_FALSE(dialog.Visible());
}

TEST(ModalRun, ARefusedCloseKeepsTheLoopGoing) {
  TDialogForm dialog(nullptr);
  int asked = 0;
  dialog.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
  TTimer timer(nullptr);
  timer.SetInterval(5);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    ++ticks;
    dialog.SetModalResult(mrOk);
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ticks, 2);
}

TEST(ModalRun, TheCloseBoxCancelsWithoutRunningAButton) {
  TDialogForm dialog(nullptr);
  TTimer timer(nullptr);
  timer.SetInterval(5);
  timer.OnTimer = [&](TObject*) { dialog.CloseFromWindow(); };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_EQ(dialog.okClicks, 0);
  // Close on a form that is not shown does nothing.
  dialog.Close();
  EXPECT_FALSE(dialog.Visible());
}

TEST(ModalRun, AnExceptionInAHandlerIsShownAndTheLoopGoesOn) {
  TTestHooksScope hooks;
  std::vector<std::string> shown;
  TestHooks().messageBox = [&](const std::string& text, const std::string&, uint32_t) {
    shown.push_back(text);
    return IDOK;
  };
  TDialogForm dialog(nullptr);
  TTimer timer(nullptr);
  timer.SetInterval(5);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    if (++ticks == 1) throw EInvalidGraphic("Bad picture");
    dialog.SetModalResult(mrCancel);
  };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_EQ(shown, (std::vector<std::string>{"Bad picture"}));
}

TEST(Dialogs, HooksAnswerMessageBoxesPromptsAndPickers) {
  TTestHooksScope hooks;
  std::string asked;
  TestHooks().messageBox = [&](const std::string& text, const std::string& caption,
                               uint32_t flags) {
    asked = caption + ": " + text;
    return (flags & 0x0F) == MB_YESNO ? IDNO : IDOK;
  };
  EXPECT_EQ(MessageDlg("Save?", mtConfirmation, MB_YESNO), mrNo);
  EXPECT_EQ(asked, "Confirm: Save?");
  EXPECT_EQ(Application().MessageBox("Done", "Stamp"), IDOK);

  TestHooks().inputQuery = [](const std::string&, const std::string&, const std::string& value) {
    return std::optional<std::string>(value + "!");
  };
  std::string text = "hello";
  EXPECT_TRUE(InputQuery("Text", "Enter:", text));
  EXPECT_EQ(text, "hello!");
  TestHooks().inputQuery = [](auto&, auto&, auto&) { return std::optional<std::string>(); };
  EXPECT_FALSE(InputQuery("Text", "Enter:", text));
  EXPECT_EQ(text, "hello!");

  TColorDialog color(nullptr);
  color.SetColor(clNavy);
  TColor offered = 0;
  TestHooks().colorDialog = [&](TColor initial) {
    offered = initial;
    return std::optional<TColor>();
  };
  EXPECT_FALSE(color.Execute());
  EXPECT_EQ(offered, clNavy);
  EXPECT_EQ(color.Color(), clNavy);
  TestHooks().colorDialog = [](TColor) { return std::optional<TColor>(clRed); };
  EXPECT_TRUE(color.Execute());
  EXPECT_EQ(color.Color(), clRed);
}

TEST(Dialogs, FileDialogsStartInTheFolderOfTheLastName) {
  TTestHooksScope hooks;
  TFileDialogRequest seen;
  TestHooks().fileDialog = [&](TFileDialogRequest& request) {
    seen = request;
    request.fileName = "/pictures/b.png";
    return true;
  };
  TOpenPictureDialog open(nullptr);
  open.SetInitialDir("/home/user");
  open.SetFileName("/data/x:y/*.*");
  open.SetTitle("Open Background Picture");
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(seen.initialDir, "/data/x:y/");
  EXPECT_FALSE(seen.save);
  EXPECT_EQ(open.FileName(), "/pictures/b.png");

  TSavePictureDialog save(nullptr);
  save.SetInitialDir("/out");
  save.SetFileName("result.jpg");
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(seen.initialDir, "/out");
  EXPECT_TRUE(seen.save);

  TestHooks().fileDialog = [](TFileDialogRequest&) { return false; };
  EXPECT_FALSE(save.Execute());
  EXPECT_EQ(save.FileName(), "/pictures/b.png");
}

TEST(Dialogs, FiltersTakeQtsForm) {
  EXPECT_EQ(FilterToQt("All (*.jpg)|*.jpg|JPEG Image File (*.jpg)|*.jpg"),
            "All (*.jpg);;JPEG Image File (*.jpg)");
  EXPECT_EQ(FilterToQt("Pictures|*.png;*.gif"), "Pictures (*.png *.gif)");
  EXPECT_EQ(FilterToQt("Pictures (*.png *.gif);;All (*)"), "Pictures (*.png *.gif);;All (*)");
}

TEST(Shell, LinksAreRecordedUnderTest) {
  TTestHooksScope hooks;
  std::vector<std::string> links;
  TestHooks().openedLinks = &links;
  EXPECT_TRUE(OpenLink("mailto:someone@example.org"));
  EXPECT_EQ(links, (std::vector<std::string>{"mailto:someone@example.org"}));
}

TEST(FormPlacement, CentredFormsUseTheScreenOrTheMainForm) {
  TTestHooksScope hooks;
  TestHooks().screenSize = TSize{1000, 800};
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  form.SetPosition(poScreenCenter);
  TestHooks().modal = [](TCustomForm&) { return mrOk; };
  form.ShowModal();
  EXPECT_EQ(form.BoundsRect(), (TRect{400, 350, 600, 450}));
}

TEST(ScreenAndMouse, OverridesReplaceTheOffscreenValues) {
  TTestHooksScope hooks;
  TestHooks().screenSize = TSize{1366, 950};
  TestHooks().cursorPos = TPoint{12, 34};
  EXPECT_EQ(Screen().Width(), 1366);
  EXPECT_EQ(Screen().Height(), 950);
  EXPECT_EQ(Mouse().CursorPos(), (TPoint{12, 34}));
  // The wait cursor is one app-wide value, and the default removes it whatever came before.
  Screen().SetCursor(crHourGlass);
  Screen().SetCursor(crSizeAll);
  EXPECT_EQ(Screen().Cursor(), crSizeAll);
  Screen().SetCursor(crDefault);
  EXPECT_EQ(Screen().Cursor(), crDefault);
  EXPECT_GT(Screen().Fonts().Count(), 0);
}

// A Yes/No question shown for real and answered from the keyboard: Esc and the close box dismiss
// it, which is neither Yes nor No; the buttons' keys answer.
TEST(Dialogs, AYesNoBoxDismissedIsNeitherYesNorNo) {
  TTestHooksScope hooks;
  TestHooks().showMessageBoxes = true;
  std::function<bool()> answer;
  TTimer user(nullptr);
  user.SetInterval(10);
  // Each box is answered once: a key's button clicks a moment later.
  user.OnTimer = [&](TObject*) {
    if (answer && answer()) answer = nullptr;
  };
  const auto ask = [&](std::function<bool()> how, uint32_t buttons = MB_YESNO) {
    answer = std::move(how);
    return ShowMessageBox("Save the picture?", "Stamp", buttons | MB_ICONQUESTION);
  };
  EXPECT_EQ(ask([] { return PressKeyOnMessageBox(VK_ESCAPE); }), IDCANCEL);
  EXPECT_EQ(ask([] { return CloseMessageBox(); }), IDCANCEL);
  EXPECT_EQ(ask([] { return PressKeyOnMessageBox('N', "n"); }), IDNO);
  EXPECT_EQ(ask([] { return PressKeyOnMessageBox('Y', "y"); }), IDYES);
  EXPECT_EQ(ask([] { return PressKeyOnMessageBox(VK_ESCAPE); }, MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(ask([] { return PressKeyOnMessageBox(VK_ESCAPE); }, MB_OK), IDOK);
  EXPECT_FALSE(PressKeyOnMessageBox(VK_ESCAPE));
}

}  // namespace
}  // namespace plat
