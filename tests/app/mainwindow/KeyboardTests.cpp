// Keys seen by the main window before its controls, the close question, the size buttons, the
// text list's hints, and a screenshot of the window after start.
#include <fstream>
#include <random>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/TextHints.h"
#include "app/road/RoadTexts.h"
#include "platform/windows/Application.h"
#include "support/FileDialogAnswers.h"
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

// Yes saves and then closes, without asking again.
TEST_F(MainWindowKeys, YesSavesAndCloses) {
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
  EXPECT_FALSE(form->Visible());
  // A 64 x 48 JPEG was written.
  gfx::TBitmap32 saved;
  saved.LoadFromFile(out);
  EXPECT_EQ(saved.Width(), 64);
  EXPECT_EQ(saved.Height(), 48);
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

// Round with halves to the even neighbour, of num / den in whole numbers.
int64_t RoundHalfEven(int64_t num, int64_t den) {
  const int64_t q = num / den, twice = 2 * (num % den);
  return twice > den || (twice == den && q % 2) ? q + 1 : q;
}

// Opening random pictures, then the picture scale as the user steps it: "+" and "-" typed and the
// two size buttons clicked move the gauge by 5 within 10..1000, and the background is redrawn from
// the picture as loaded at Round(W x P / 100), or Round((W - 1) x P / 100) below 100 % (one pixel
// at least); a size past the picture limits is refused with a message and the gauge goes back. The
// layer's buttons step its scale within 0..500 and size it W x P / 100 from its top-left corner.
TEST_F(MainWindowKeys, RandomSizeStepsGiveTheBackgroundAndLayerSizesOfTheRules) {
  StartShown(true);
  std::string answer;
  test_support::AnswerFileDialogs(answer);
  int messages = 0;
  plat::TestHooks().messageBox = [&](const std::string& text, const std::string&, uint32_t) {
    // Each new picture lets the scaled one go.
    if (text == app::SaveQuestionText) return plat::IDNO;
    ++messages;
    return plat::IDOK;
  };
  std::mt19937 rng(125);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int sizes[][2] = {{1, 1}, {2, 3}, {3300, 2}, {2, 3300}, {199, 1}, {0, 0}, {0, 0}};
  for (int round = 0; round < 14; ++round) {
    SCOPED_TRACE(round);
    int W = sizes[round % 7][0], H = sizes[round % 7][1];
    if (W == 0) W = pick(1, 240), H = pick(1, 180);
    answer = Picture("bg" + std::to_string(round) + ".bmp", W, H);
    form->PictOpacityGaugeBar->SetPosition(pick(0, 255));
    form->LoadButton->Click();
    // Opened: as it is, fitted only when larger than the view, the gauges back at their start.
    ASSERT_EQ(form->ImgView->Bitmap().Width(), W);
    const bool larger = W > form->ImgView->Width() || H > form->ImgView->Height();
    EXPECT_EQ(form->ImgView->ScaleMode(), larger ? gfx::smResize : gfx::smNormal);
    EXPECT_FLOAT_EQ(form->ImgView->Scale(), 1.0f);
    EXPECT_EQ(form->ScaleBar->Position(), 100);
    EXPECT_EQ(form->PictOpacityGaugeBar->Position(), 255);
    EXPECT_EQ(form->Caption(), form->MainCaption + " - [" + answer + "] " + std::to_string(W) +
                                   " x " + std::to_string(H) + " pixels");
    // The user drags the gauge somewhere first; a long side is tried at the limit.
    const bool longSide = W == 3300 || H == 3300;
    int P = longSide ? 985 : pick(0, 1) ? pick(10, 1000) : 100, expectedMessages = messages;
    form->ScaleBar->SetPosition(P);
    for (int step = 0; step < (longSide ? 8 : 30); ++step) {
      const bool up = pick(0, 1);
      switch (pick(0, 1)) {
        case 0:
          plat::TypeText(*form, up ? "+" : "-");
          break;
        default: {
          plat::TSpeedButton& b = up ? *form->ButtonIncreazeSize : *form->ButtonDecreazeSize;
          const plat::TPoint middle{b.Width() / 2, b.Height() / 2};
          plat::SimulateMouse(b, plat::TMouseAction::Press, plat::mbLeft, middle);
          plat::SimulateMouse(b, plat::TMouseAction::Release, plat::mbLeft, middle);
        }
      }
      const int next = std::clamp(P + (up ? 5 : -5), 10, 1000);
      auto side = [&](int n) {
        return std::max<int64_t>(1, next >= 100 ? RoundHalfEven(int64_t(n) * next, 100)
                                                : RoundHalfEven(int64_t(n - 1) * next, 100));
      };
      const int64_t w = side(W), h = side(H);
      if (next != P && (w > 32767 || h > 32767 || w * h > (int64_t(1) << 28)))
        ++expectedMessages;
      else
        P = next;
      ASSERT_EQ(form->ScaleBar->Position(), P);
      ASSERT_EQ(messages, expectedMessages);
      const int64_t bw =
          P >= 100 ? RoundHalfEven(int64_t(W) * P, 100) : RoundHalfEven(int64_t(W - 1) * P, 100);
      const int64_t bh =
          P >= 100 ? RoundHalfEven(int64_t(H) * P, 100) : RoundHalfEven(int64_t(H - 1) * P, 100);
      EXPECT_EQ(form->ImgView->Bitmap().Width(), std::max<int64_t>(1, bw));
      EXPECT_EQ(form->ImgView->Bitmap().Height(), std::max<int64_t>(1, bh));
      EXPECT_EQ(form->BackgroundWidth, form->ImgView->Bitmap().Width());
      std::string label = std::to_string(P);
      if (P < 100) label.insert(0, 3 - label.size(), '0');
      label = P == 1000 ? "10.00" : label.substr(0, 1) + "." + label.substr(1);
      EXPECT_EQ(form->Label1->Caption(), "Scale: " + label);
      const std::string size = std::to_string(form->ImgView->Bitmap().Width()) + " x " +
                               std::to_string(form->ImgView->Bitmap().Height()) + " pixels";
      EXPECT_NE(form->Caption().find(size), std::string::npos) << form->Caption();
    }
  }

  // The layer's scale, on a preset stamped by its digit.
  SavePreset(form->LayerFolder + std::string(app::PresetMark2) + "1.png", 333, 77);
  Type('1', "1");
  auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(layer, nullptr);
  int P = 22;
  for (int step = 0; step < 150; ++step) {
    const bool up = pick(0, 3) != 0;
    plat::TSpeedButton& b = up ? *form->ButtonIncreazeSizeLayer : *form->ButtonDecreazeSizeLayer;
    const gfx::TFloatRect before = layer->Location();
    plat::SimulateMouse(b, plat::TMouseAction::Press, plat::mbLeft, {3, 3});
    plat::SimulateMouse(b, plat::TMouseAction::Release, plat::mbLeft, {3, 3});
    P = std::clamp(P + (up ? 5 : -5), 0, 500);
    ASSERT_EQ(form->WMScale->Position(), P);
    const gfx::TFloatRect r = layer->Location();
    EXPECT_EQ(r.Left, before.Left);
    EXPECT_EQ(r.Top, before.Top);
    EXPECT_NEAR(r.Right - r.Left, 333 * P / 100.0, 1e-3);
    EXPECT_NEAR(r.Bottom - r.Top, 77 * P / 100.0, 1e-3);
  }
}

// The digit keys stamp the layer folder's preset of that digit, when there is one, small near the
// bottom-right corner: at (width - Round(0.11 W) - 135, height - Round(0.11 H) - 35), 22 % of its
// W x H, at opacity 125.
TEST_F(MainWindowKeys, RandomDigitKeysStampTheirPresetsWhereTheRulesPutThem) {
  StartShown(true, 900, 700);
  std::mt19937 rng(123);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int present[10][2] = {};
  for (int d = 0; d < 10; ++d) {
    if (pick(0, 3) == 0) continue;
    const int w = d == 0 ? 50 : d == 1 ? 150 : pick(1, 1200), h = d == 2 ? 250 : pick(1, 800);
    SavePreset(form->LayerFolder + std::string(app::PresetMark2) + char('0' + d) + ".png", w, h);
    present[d][0] = w, present[d][1] = h;
  }
  int layers = 0;
  for (int press = 0; press < 60; ++press) {
    const int d = pick(0, 9);
    SCOPED_TRACE(d);
    plat::TypeText(*form, std::string(1, char('0' + d)));
    const auto [w, h] = present[d];
    if (w == 0) {
      EXPECT_EQ(form->ImgView->Layers().Count(), layers + (layers > 0));
      continue;
    }
    ++layers;
    ASSERT_EQ(form->ImgView->Layers().Count(), layers + 1);  // and the frame
    auto* layer = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
    ASSERT_NE(layer, nullptr);
    const float x = float(900 - RoundHalfEven(11 * int64_t(w), 100) - 135);
    const float y = float(700 - RoundHalfEven(11 * int64_t(h), 100) - 35);
    EXPECT_EQ(layer->Location().Left, x);
    EXPECT_EQ(layer->Location().Top, y);
    EXPECT_NEAR(layer->Location().Right, x + w * 0.22, 1e-3);
    EXPECT_NEAR(layer->Location().Bottom, y + h * 0.22, 1e-3);
    EXPECT_EQ(layer->OpacityValue, 125);
    EXPECT_EQ(layer->ScalePercent, 22);
    EXPECT_EQ(form->LayerOpacity->Position(), 125);
  }
  EXPECT_GT(layers, 20);
}

// The text list's hint over random lists, looks, scroll positions and pointer moves: over an entry
// it describes that entry with the current look, line by line; below the last entry it is off.
TEST_F(MainWindowKeys, TheHintUnderThePointerDescribesTheEntryThereWithTheCurrentLook) {
  std::mt19937 rng(105);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int scrolled = 0;
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    const char* const fonts[] = {"DejaVu Sans", "Liberation Serif", "DejaVu Sans Mono"};
    const char* const colours[][2] = {{"clNavy", "Navy"},
                                      {"$00123456", "0123456"},
                                      {"clCream", "Cream"},
                                      {"$02ABCDEF", "2ABCDEF"}};
    const std::string font = fonts[pick(0, 2)], size = std::to_string(pick(2, 18));
    const auto& fore = colours[pick(0, 3)];
    const auto& back = colours[pick(0, 3)];
    const bool bold = pick(0, 1), italic = pick(0, 1);
    std::string file = "FontName=" + font + "\nFontSize=" + size + "\nFontColor=" + fore[0] +
                       "\nBGFontColor=" + back[0] + "\n" + (bold ? "Bold=True\n" : "") +
                       (italic ? "Italic=True\n" : "");
    for (int i = pick(0, 30); i > 0; --i)
      file += "SavedText=entry " + std::to_string(pick(0, 999)) + " <&>\n";
    plat::ForceDirectories(home_ + "/config");
    std::ofstream(home_ + "/config/settings.ini") << file;
    StartShown(true);
    plat::TListBox& list = *form->TextList;
    const int h = list.ItemHeight();
    for (int move = 0; move < 60; ++move) {
      if (pick(0, 9) == 0) plat::SimulateWheel(list, pick(0, 1) ? 120 : -120, {5, 5});
      // Over the entries, not over the list's scroll bar.
      const plat::TPoint at{pick(2, list.ClientWidth() - 20), pick(0, list.ClientHeight() - 1)};
      plat::SimulateMouse(list, plat::TMouseAction::Move, plat::mbLeft, at);
      const int index = list.TopIndex() + at.Y / h;
      scrolled += list.TopIndex() > 0;
      if (index >= list.Count()) {
        EXPECT_FALSE(list.ShowHint());
        continue;
      }
      ASSERT_TRUE(list.ShowHint()) << at.Y;
      std::string hint = "\n  Text to stamp  \n\n  " + list.Items()->Strings(index) +
                         "  \n\n  Font: " + font + "  \n  Size (x10 pt): " + size +
                         "  \n  Color: " + fore[1] + "  \n  BGColor: " + back[1] + "  \n";
      if (bold) hint += "  Bold  \n";
      if (italic) hint += "  Italic  \n";
      EXPECT_EQ(list.Hint(), hint + "\n");
    }
    form.reset();
  }
  EXPECT_GT(scrolled, 10);
}

}  // namespace
