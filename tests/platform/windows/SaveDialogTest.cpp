// A save dialog with a default extension returns the name that gets written and asks about
// replacing that file, not the one typed.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/Timers.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/TestSeams.h"
#include "tests/support/ScratchFolder.h"

namespace plat {
namespace {

class SaveDialog : public testing::Test {
 protected:
  void SetUp() override {
    TestHooks().fileDialog = [this](TFileDialogRequest& request) {
      request.fileName = typed;
      return true;
    };
    TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      questions.push_back(text);
      return answer;
    };
    dialog.SetDefaultExt("jpg");
    dialog.SetOptions(dialog.Options() | ofOverwritePrompt);
  }
  void Write(const std::string& name) { std::ofstream(folder.File(name)) << "kept"; }

  TTestHooksScope hooks;
  test_support::ScratchFolder folder;
  TSavePictureDialog dialog{nullptr};
  std::string typed;
  std::vector<std::string> questions;
  int answer = IDNO;
};

TEST_F(SaveDialog, AnotherExtensionThatExistsIsNotAskedAbout) {
  Write("pic.gif");
  typed = folder.File("pic.gif");
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), folder.File("pic.jpg"));
  EXPECT_TRUE(questions.empty());
}

TEST_F(SaveDialog, TheFileReallyWrittenIsAskedAbout) {
  Write("pic.gif");
  Write("pic.jpg");
  dialog.SetFileName(folder.File("offered.jpg"));
  typed = folder.File("pic.gif");
  EXPECT_FALSE(dialog.Execute());
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find(folder.File("pic.jpg")), std::string::npos);
  EXPECT_EQ(questions[0].find("pic.gif"), std::string::npos);
  EXPECT_EQ(dialog.FileName(), folder.File("offered.jpg"));
  answer = IDYES;
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), folder.File("pic.jpg"));
  // Typed without an extension, or with it in capitals, the name still is that file's.
  typed = folder.File("pic");
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), folder.File("pic.jpg"));
  Write("PIC.JPG");
  typed = folder.File("PIC.JPG");
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), folder.File("PIC.JPG"));
  EXPECT_EQ(questions.size(), 4u);
}

TEST_F(SaveDialog, WithoutThePromptNothingIsAsked) {
  Write("pic.jpg");
  dialog.SetOptions(dialog.Options() & ~ofOverwritePrompt);
  typed = folder.File("pic.png");
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), folder.File("pic.jpg"));
  EXPECT_TRUE(questions.empty());
}

TEST_F(SaveDialog, OpenDialogsKeepTheNameChosen) {
  TOpenDialog open(nullptr);
  open.SetDefaultExt("jpg");
  Write("pic.gif");
  typed = folder.File("pic.gif");
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(open.FileName(), folder.File("pic.gif"));
  EXPECT_TRUE(questions.empty());
}

// The real dialog, typed into: with pic.gif there only, it asks nothing; once pic.jpg is there
// too, it asks about pic.jpg, and No keeps it open for another answer.
TEST(RealSaveDialog, AsksAboutTheFileItReturns) {
  TTestHooksScope hooks;
  TestHooks().showFileDialogs = true;
  TestHooks().showMessageBoxes = true;
  test_support::ScratchFolder folder;
  std::ofstream(folder.File("pic.gif")) << "kept";
  TSaveDialog dialog(nullptr);
  dialog.SetInitialDir(folder.Path().string());
  dialog.SetDefaultExt("jpg");
  dialog.SetOptions(dialog.Options() | ofOverwritePrompt);
  std::vector<std::string> names;
  std::vector<std::pair<uint16_t, std::string>> keys;
  std::vector<std::string> asked;
  // Two users: a question raised by Enter runs its own loop until the other one answers it.
  TTimer typist(nullptr), answerer(nullptr);
  typist.SetInterval(10);
  answerer.SetInterval(10);
  typist.OnTimer = [&](TObject*) {
    if (!names.empty() && TypeInFileDialog(names.front())) names.erase(names.begin());
  };
  // Each box is answered once: a key's button clicks a moment later.
  uint64_t answered = 0;
  answerer.OnTimer = [&](TObject*) {
    const uint64_t box = MessageBoxWindowId();
    if (keys.empty() || !box || box == answered) return;
    asked.push_back(MessageBoxText());
    answered = box;
    PressKeyOnMessageBox(keys.front().first, keys.front().second);
    keys.erase(keys.begin());
  };

  names = {"pic.gif"};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), folder.File("pic.jpg"));
  EXPECT_TRUE(asked.empty());

  std::ofstream(folder.File("pic.jpg")) << "kept";
  // As the program does, a name not yet there is offered.
  dialog.SetFileName(folder.File("offered.jpg"));
  names = {"pic.gif", "pic.gif"};
  keys = {{'N', "n"}, {'Y', "y"}};
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName(), folder.File("pic.jpg"));
  ASSERT_EQ(asked.size(), 2u);
  for (const std::string& question : asked) {
    EXPECT_NE(question.find(folder.File("pic.jpg")), std::string::npos) << question;
    EXPECT_EQ(question.find("pic.gif"), std::string::npos) << question;
  }
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(keys.empty());
}

}  // namespace
}  // namespace plat
