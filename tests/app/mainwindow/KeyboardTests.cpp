// Keys seen by the main window before its controls, the close question, the size buttons, the
// text list's hints, and a screenshot of the window after start.
#include <fstream>

#include "app/mainwindow/TextHints.h"
#include "platform/windows/Application.h"
#include "support/MainWindowFixture.h"

namespace {

// Starts with a loaded picture and the window showing.
class MainWindowKeys : public MainWindow {
 protected:
  void StartShown(bool withPicture, int width = 64, int height = 48) {
    if (withPicture) {
      Start({Picture("bg.bmp", width, height)});
      form->TimerEllapsed(form->Timer1);
      form->TimerEllapsed(form->Timer1);
    } else {
      Start();
    }
    form->Show();
    plat::Application().ProcessMessages();
  }
  // A typed character, sent to a control inside the window.
  void Type(uint16_t virtualKey, const std::string& text) {
    plat::SimulateKey(*form->CloseButton, virtualKey, text);
  }
  // A 32-bit picture under a preset's name; the loader reads it by its content.
  static void SavePreset(const std::string& path, int width, int height) {
    gfx::TBitmap32 b;
    b.SetSize(width, height);
    b.ClearWithColor(0xFFCC3300);
    b.SaveToFile(path);
  }
  int questions = 0;
  void AnswerQuestions(int answer) {
    plat::TestHooks().messageBox = [this, answer](const std::string&, const std::string&,
                                                  uint32_t flags) {
      ++questions;
      EXPECT_EQ(flags & 0x0F, plat::MB_YESNO);
      return answer;
    };
  }
};

TEST_F(MainWindowKeys, PlusAndMinusResizeThePictureOnlyWhenOneIsOpen) {
  StartShown(false);
  Type(plat::VK_ADD, "+");
  EXPECT_EQ(form->ScaleBar->Position(), 100);
  form.reset();

  StartShown(true);
  ASSERT_TRUE(form->ImageLoaded);
  Type(plat::VK_ADD, "+");
  Type(plat::VK_ADD, "+");
  EXPECT_EQ(form->ScaleBar->Position(), 110);
  Type(plat::VK_SUBTRACT, "-");
  EXPECT_EQ(form->ScaleBar->Position(), 105);
  Type('X', "X");  // other keys change nothing
  Type('7', "7");
  EXPECT_EQ(form->ScaleBar->Position(), 105);
}

TEST_F(MainWindowKeys, SizeButtonsStopAtTheGaugeEnds) {
  StartShown(true);
  form->ScaleBar->SetPosition(998);
  form->ButtonIncreazeSizeClick(nullptr);
  EXPECT_EQ(form->ScaleBar->Position(), 1000);
  form->ScaleBar->SetPosition(12);
  form->ButtonDecreazeSizeClick(nullptr);
  EXPECT_EQ(form->ScaleBar->Position(), 10);
  form->WMScale->SetPosition(497);
  form->ButtonIncreazeSizeLayerClick(nullptr);
  EXPECT_EQ(form->WMScale->Position(), 500);
  form->WMScale->SetPosition(3);
  form->ButtonDecreazeSizeLayerClick(nullptr);
  EXPECT_EQ(form->WMScale->Position(), 0);
}

TEST_F(MainWindowKeys, EscapeClosesAnUnchangedPictureWithoutAsking) {
  StartShown(true);
  AnswerQuestions(plat::IDYES);
  Type(plat::VK_ESCAPE, "\x1b");
  EXPECT_EQ(questions, 0);
  EXPECT_FALSE(form->Visible());
}

TEST_F(MainWindowKeys, AChangedPictureClosesOnlyOnAPlainNo) {
  StartShown(true);
  form->Modified = true;

  AnswerQuestions(plat::IDCANCEL);  // the question dismissed
  Type(plat::VK_ESCAPE, "\x1b");
  EXPECT_EQ(questions, 1);
  EXPECT_TRUE(form->Visible());

  AnswerQuestions(plat::IDYES);  // Yes, but the save dialog is cancelled
  plat::TestHooks().fileDialog = [](plat::TFileDialogRequest&) { return false; };
  form->Exit1Click(form->CloseButton);
  EXPECT_EQ(questions, 2);
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(form->Modified);

  AnswerQuestions(plat::IDNO);
  form->CloseButton->Click();
  EXPECT_FALSE(form->Visible());
}

TEST_F(MainWindowKeys, YesSavesAndKeepsTheWindowOpen) {
  StartShown(true);
  form->Modified = true;
  AnswerQuestions(plat::IDYES);
  const std::string out = home_ + "/saved.jpg";
  std::string offered;
  plat::TestHooks().fileDialog = [&](plat::TFileDialogRequest& r) {
    EXPECT_TRUE(r.save);
    offered = r.fileName;
    r.fileName = out;
    return true;
  };
  Type(plat::VK_ESCAPE, "\x1b");
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(offered, home_ + "/bg-stamped.jpg");
  EXPECT_TRUE(form->Visible());
  EXPECT_TRUE(form->Modified);
  // A 64 x 48 JPEG was written.
  gfx::TBitmap32 saved;
  saved.LoadFromFile(out);
  EXPECT_EQ(saved.Width(), 64);
  EXPECT_EQ(saved.Height(), 48);

  // The next close asks again; No closes.
  AnswerQuestions(plat::IDNO);
  Type(plat::VK_ESCAPE, "\x1b");
  EXPECT_EQ(questions, 2);
  EXPECT_FALSE(form->Visible());
}

TEST_F(MainWindowKeys, DigitsStampThePresetPictureOfTheLayerFolder) {
  StartShown(false);
  SavePreset(form->LayerFolder + "PRESET3.png", 300, 100);
  Type('3', "3");  // no picture open yet
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  form.reset();

  StartShown(true, 640, 480);
  const std::string preset = form->LayerFolder + "PRESET3.png";
  SavePreset(preset, 300, 100);
  Type('4', "4");  // no preset for this digit
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_FALSE(form->Modified);

  Type('3', "3");
  auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(form->ImgView->Layers().Count(), 2);  // the layer and its frame
  EXPECT_EQ(layer->SourceFile, preset);
  EXPECT_EQ(layer->OpacityValue, 125);
  EXPECT_EQ(layer->ScalePercent, 22);
  // Bottom-right: 640 - 33 - 135 and 480 - 11 - 35, 22 % of 300 x 100 in size.
  EXPECT_EQ(layer->Location(), (gfx::TFloatRect{472, 434, 538, 456}));
  EXPECT_EQ(layer->StepCount, 0);
  EXPECT_EQ(form->WMScale->Position(), 22);

  // A second press stamps another one; the stamped layers make closing ask.
  Type('3', "3");
  EXPECT_EQ(form->ImgView->Layers().Count(), 3);
  EXPECT_NE(form->SelectedLayer, layer);
  AnswerQuestions(plat::IDCANCEL);
  Type(plat::VK_ESCAPE, "\x1b");
  EXPECT_EQ(questions, 1);
  EXPECT_TRUE(form->Visible());
}

TEST_F(MainWindowKeys, AnUnreadablePresetIsReportedAndStampsNothing) {
  StartShown(true, 640, 480);
  std::ofstream(form->LayerFolder + "PRESET5.png") << "not a picture";
  std::vector<std::string> shown;
  plat::TestHooks().messageBox = [&](const std::string& text, const std::string&, uint32_t) {
    shown.push_back(text);
    return plat::IDOK;
  };
  Type('5', "5");
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(form->ImgView->Layers().Count(), 0);
  EXPECT_EQ(form->SelectedLayer, nullptr);
  EXPECT_FALSE(form->Modified);
  EXPECT_EQ(form->ImgView->Bitmap().Width(), 640);
}

TEST_F(MainWindowKeys, TheWindowsCloseBoxAsksTheSameQuestion) {
  StartShown(true);
  form->Modified = true;
  AnswerQuestions(plat::IDCANCEL);
  form->CloseFromWindow();
  EXPECT_EQ(questions, 1);
  EXPECT_TRUE(form->Visible());
  AnswerQuestions(plat::IDNO);
  form->CloseFromWindow();
  EXPECT_FALSE(form->Visible());
}

TEST_F(MainWindowKeys, TheTextListHintFollowsTheEntryUnderThePointer) {
  StartShown(true);
  ASSERT_EQ(form->TextList->Count(), 2);
  const int rowHeight = form->TextList->ItemHeight();
  form->TextListMouseMove(form->TextList, 0, 5, rowHeight + rowHeight / 2);
  EXPECT_TRUE(form->TextList->ShowHint());
  EXPECT_EQ(form->TextList->Hint(), app::BuildTextHint(form->TextList->Items()->Strings(1), *form));

  form->TextListMouseMove(form->TextList, 0, 5, 2 * rowHeight + 3);  // below the last entry
  EXPECT_FALSE(form->TextList->ShowHint());
}

TEST_F(MainWindowKeys, AScreenshotOfTheWindowAfterStart) {
  StartShown(true);
  form->TimerEllapsed(form->Timer1);
  plat::Application().ProcessMessages();
  const std::string file = plat::ScreenshotFolder() + "/editor-main-window.png";
  plat::SaveScreenshot(*form, file);
  const plat::TCapturedImage image = plat::CaptureControl(*form);
  ASSERT_GT(image.width, 130);
  // The side panel's right column and the view's grey surround are both on screen.
  EXPECT_EQ(form->SidePanel->Width(), 130);
  EXPECT_EQ(form->SidePanel->Left() + 130, form->ClientWidth());
  EXPECT_EQ(form->ImgView->Width(), form->ClientWidth() - 130);
}

}  // namespace
