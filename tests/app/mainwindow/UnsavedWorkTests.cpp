// Unsaved work and the question that protects it, as the user meets it: the main window's buttons
// clicked, the question answered with keys on the real message box, the files chosen in the file
// dialogs.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/mainwindow/EditorTexts.h"
#include "app/newpicture/NewImageDialog.h"
#include "graphics/layers/Layers.h"
#include "platform/runtime/Timers.h"
#include "support/DialogUser.h"
#include "support/MainWindowFixture.h"
#include "support/PngBytes.h"

namespace {

using test_support::Click;

enum class Answer { Yes, No, Cancel };

class UnsavedWork : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    StartShowing(Picture("bg.bmp", 64, 48));
    layer_ = Picture("layer.bmp", 20, 10);
    plat::TestHooks().showMessageBoxes = true;
    plat::TestHooks().fileDialog = [this](plat::TFileDialogRequest& r) {
      std::string& answer = r.save ? saveAs : openAnswer;
      r.fileName = answer;
      return !answer.empty();
    };
    reader_.SetInterval(20);
    reader_.OnTimer = [this](plat::TObject*) { AnswerQuestion(); };
    reader_.SetEnabled(true);
  }
  void TearDown() override {
    reader_.SetEnabled(false);
    MainWindow::TearDown();
  }

  // The user's answers to the questions to come, in turn.
  void WillAnswer(std::vector<Answer> answers) { answers_.assign(answers.begin(), answers.end()); }

  // A layer added through the Load Layer button: work the picture does not hold yet.
  void AddLayer() {
    openAnswer = layer_;
    Click(*form->LoadWatButton);
    ASSERT_TRUE(form->Modified);
  }
  int Layers() const { return form->ImgView->Layers().Count(); }
  int PictureWidth() const { return form->ImgView->Bitmap().Width(); }

  // Replacements of the picture, each through its button: a new 30 x 20 picture, the 40 x 30
  // file, the 50 x 40 clipboard picture; the new picture's width.
  struct Replacement {
    const char* name;
    std::function<void()> run;
    int width;
  };
  std::vector<Replacement> Replacements() {
    return {{"new",
             [this] {
               form->NewImageWidth = 30;
               form->NewImageHeight = 20;
               newPicture_.Next([](app::TNewImageForm& d) {
                 d.ImageHeight->SetFocus();
                 plat::PressKey(d, plat::VK_RETURN, "\r");
               });
               Click(*form->NewButton);
               EXPECT_TRUE(newPicture_.Acted());
             },
             30},
            {"load",
             [this] {
               openAnswer = Picture("other.bmp", 40, 30);
               Click(*form->LoadButton);
             },
             40},
            {"paste",
             [this] {
               plat::PutClipboardData(
                   "image/png", test_support::PngBytes(50, 40, std::vector<uint32_t>(2000, ~0u)));
               Click(*form->Button1);
             },
             50}};
  }

  std::string openAnswer, saveAs;
  std::vector<std::string> questions;

 private:
  void AnswerQuestion() {
    const uint64_t box = plat::MessageBoxWindowId();
    if (!box || box == answered_) return;
    if (answers_.empty()) {
      ADD_FAILURE() << "an unexpected message: " << plat::MessageBoxText();
      plat::PressKeyOnMessageBox(plat::VK_ESCAPE);
      answered_ = box;
      return;
    }
    const std::string text = plat::MessageBoxText();
    const Answer a = answers_.front();
    const bool pressed = a == Answer::Yes  ? plat::PressKeyOnMessageBox('Y', "y")
                         : a == Answer::No ? plat::PressKeyOnMessageBox('N', "n")
                                           : plat::PressKeyOnMessageBox(plat::VK_ESCAPE);
    if (!pressed) return;
    // A button answers a moment after its key: a question gets one answer.
    answered_ = box;
    answers_.pop_front();
    questions.push_back(text);
  }

  std::string layer_;
  std::deque<Answer> answers_;
  uint64_t answered_ = 0;
  plat::TTimer reader_{nullptr};
  test_support::DialogUser<app::TNewImageForm> newPicture_{[this] { return form->NewImageForm; }};
};

// New, Load and Paste ask before unsaved work goes: Cancel, and Yes with the save cancelled, keep
// the picture and its layers; Yes saves the picture first; No lets it go.
TEST_F(UnsavedWork, NewLoadAndPasteAskFirstAndKeepTheWorkUnlessLetGo) {
  const std::string question(app::SaveQuestionText);
  for (const Replacement& replace : Replacements()) {
    SCOPED_TRACE(replace.name);
    AddLayer();
    const int width = PictureWidth(), layers = Layers();

    questions.clear();
    WillAnswer({Answer::Cancel});
    replace.run();
    EXPECT_EQ(questions, std::vector<std::string>{question});
    EXPECT_EQ(PictureWidth(), width);
    EXPECT_EQ(Layers(), layers);

    saveAs.clear();
    WillAnswer({Answer::Yes});
    replace.run();
    EXPECT_EQ(PictureWidth(), width);
    EXPECT_EQ(Layers(), layers);
    EXPECT_TRUE(form->Modified);

    saveAs = home_ + "/" + replace.name + "-kept.jpg";
    WillAnswer({Answer::Yes});
    replace.run();
    gfx::TBitmap32 saved;
    ASSERT_TRUE(std::filesystem::exists(saveAs));
    saved.LoadFromFile(saveAs);
    EXPECT_EQ(saved.Width(), width);
    EXPECT_EQ(PictureWidth(), replace.width);
    EXPECT_EQ(Layers(), 0);

    AddLayer();
    WillAnswer({Answer::No});
    replace.run();
    EXPECT_EQ(PictureWidth(), replace.width);
    EXPECT_EQ(Layers(), 0);
    EXPECT_EQ(questions.size(), 4u);
  }
}

// A picture just made new or loaded, untouched since, closes without a question; a picture
// pasted as the background is in no file of the user's, so closing asks about it.
TEST_F(UnsavedWork, AFreshPictureIsNotChangedAndAPastedOneIs) {
  for (const Replacement& replace : Replacements()) {
    SCOPED_TRACE(replace.name);
    form->Show();
    AddLayer();
    WillAnswer({Answer::No});
    replace.run();
    ASSERT_EQ(PictureWidth(), replace.width);
    const bool pasted = std::string(replace.name) == "paste";
    if (pasted) WillAnswer({Answer::Cancel});
    questions.clear();
    Click(*form->CloseButton);
    EXPECT_EQ(questions.size(), pasted ? 1u : 0u);
    EXPECT_EQ(form->Visible(), pasted);
  }
}

}  // namespace
