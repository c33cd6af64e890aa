// The saved texts of the main window: choosing, deleting and adding them, and stamping the
// current text as a layer.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/mainwindow/EditorTexts.h"
#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/SavedTexts.h"
#include "app/mainwindow/TextHints.h"
#include "app/textdialog/FontDialog.h"
#include "graphics/layers/Layers.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/InkProfile.h"
#include "support/MainWindowFixture.h"

namespace {

std::vector<std::string> Entries(const plat::TStringList& list) {
  std::vector<std::string> entries;
  for (int i = 0; i < list.Count(); ++i) entries.push_back(list[i]);
  return entries;
}

class TextList : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start();
    plat::TestHooks().messageBox = [this](const std::string& text, const std::string&, uint32_t) {
      questions.push_back(text);
      return answer;
    };
    plat::TestHooks().inputQuery = [this](const std::string& caption, const std::string& prompt,
                                          const std::string& value) {
      prompts.push_back({caption, prompt, value});
      return typed;
    };
  }
  // Replaces both lists with the given texts, in this order.
  void SetTexts(const std::vector<std::string>& texts) {
    form->TextItems.Clear();
    form->TextList->Clear();
    for (const std::string& t : texts) {
      form->TextItems.Add(t);
      form->TextList->Items()->Add(t);
    }
  }
  int IndexInList(const std::string& text) {
    const plat::TStringList& items = *form->TextList->Items();
    for (int i = 0; i < items.Count(); ++i)
      if (items[i] == text) return i;
    return -1;
  }
  gfx::TBitmapLayer* Selected() { return dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer); }

  struct Prompt {
    std::string caption, prompt, value;
  };
  std::vector<std::string> questions;
  int answer = plat::IDNO;
  std::vector<Prompt> prompts;
  std::optional<std::string> typed;
};

TEST_F(TextList, ChoosingAnEntryMakesItTheCurrentTextAndHint) {
  SetTexts({"Zebra", "apple", "Mango"});
  // The list shows its entries sorted without regard to case.
  EXPECT_EQ(Entries(*form->TextList->Items()),
            (std::vector<std::string>{"apple", "Mango", "Zebra"}));
  form->TextList->SetItemIndex(IndexInList("Mango"));
  form->TextListClick(form->TextList);
  EXPECT_EQ(form->CurrentText, "Mango");
  EXPECT_EQ(form->CurrentTextHint, app::BuildTextHint("Mango", *form));
  EXPECT_NE(form->CurrentTextHint.find("Mango"), std::string::npos);
  EXPECT_EQ(form->WriteTextButton->Hint(), form->CurrentTextHint);
  EXPECT_EQ(form->TextOptionButton->Hint(), form->CurrentTextHint);

  // Another sender, or no entry chosen, changes nothing.
  form->TextList->SetItemIndex(IndexInList("Zebra"));
  form->TextListClick(form->WriteTextButton);
  EXPECT_EQ(form->CurrentText, "Mango");
  form->TextList->SetItemIndex(-1);
  form->TextListClick(form->TextList);
  EXPECT_EQ(form->CurrentText, "Mango");
  EXPECT_FALSE(form->TextList->MultiSelect());
}

// Clicks and double clicks on the shown list, as the window system delivers them.
class ShownTextList : public TextList {
 protected:
  void SetUp() override {
    TextList::SetUp();
    form->Show();
    // The text controls show once there is a picture.
    form->CreateNewImage(400, 300, 0xFF808080);
    form->EnableButton(nullptr);
    plat::Application().ProcessMessages();
    ASSERT_TRUE(form->TextList->Showing());
  }
  // A client point of the list over the entry showing text.
  plat::TPoint Over(const std::string& text) {
    const int index = IndexInList(text);
    for (int y = 0; y < form->TextList->Height(); ++y)
      if (form->TextList->ItemAtPos({10, y}, true) == index) return {10, y + 2};
    ADD_FAILURE() << text << " is not in view";
    return {};
  }
  void Click(const std::string& text) {
    const plat::TPoint at = Over(text);
    plat::SimulateMouse(*form->TextList, plat::TMouseAction::Press, plat::mbLeft, at);
    plat::SimulateMouse(*form->TextList, plat::TMouseAction::Release, plat::mbLeft, at);
  }
  void DoubleClick(const std::string& text) {
    const plat::TPoint at = Over(text);
    Click(text);
    plat::SimulateMouse(*form->TextList, plat::TMouseAction::DoubleClick, plat::mbLeft, at);
    plat::SimulateMouse(*form->TextList, plat::TMouseAction::Release, plat::mbLeft, at);
  }
  std::string Highlighted() {
    const int index = form->TextList->ItemIndex();
    return index < 0 ? std::string() : form->TextList->Items()->Strings(index);
  }
};

TEST_F(ShownTextList, AClickOnTheHighlightedEntryMakesItTheCurrentTextAgain) {
  SetTexts({"Alpha", "Beta", "Gamma"});
  Click("Beta");
  EXPECT_EQ(form->CurrentText, "Beta");
  EXPECT_EQ(Highlighted(), "Beta");

  // Text Options makes another text current; the list still highlights Beta.
  plat::TestHooks().modal = [](plat::TCustomForm& f) {
    dynamic_cast<app::TFontForm&>(f).SetTextToAdd("Aardvark");
    return plat::mrOk;
  };
  form->TextOptionButton->Click();
  ASSERT_EQ(form->CurrentText, "Aardvark");
  EXPECT_EQ(Highlighted(), "Beta");  // the entry, though the new text sorted in before it
  Click("Beta");
  EXPECT_EQ(form->CurrentText, "Beta");
  EXPECT_EQ(form->WriteTextButton->Hint(), app::BuildTextHint("Beta", *form));

  // Stamping then stamps the text the user picked.
  const auto stampedWidth = [this] {
    form->WriteTextButton->Click();
    return Selected() ? Selected()->Bitmap().Width() : -1;
  };
  form->CurrentText = "Beta";
  const int beta = stampedWidth();
  form->CurrentText = "Aardvark";
  ASSERT_NE(stampedWidth(), beta);
  Click("Beta");
  EXPECT_EQ(stampedWidth(), beta);
}

TEST_F(ShownTextList, AfterADeletionTheHighlightAndTheCurrentTextAgree) {
  SetTexts({"Alpha", "Beta", "Gamma", "Delta"});
  answer = plat::IDYES;
  DoubleClick("Beta");
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(IndexInList("Beta"), -1);
  // The double click's first press chose Beta; no other entry takes its place, not even the one
  // that moved up under the pointer.
  EXPECT_EQ(form->CurrentText, "Beta");
  EXPECT_EQ(Highlighted(), "");

  // An entry deleted before the chosen one leaves the choice on its entry.
  Click("Gamma");
  form->TextList->Items()->Delete(IndexInList("Alpha"));
  form->TextList->SyncItems();
  EXPECT_EQ(Highlighted(), "Gamma");
  EXPECT_EQ(form->CurrentText, "Gamma");
}

// Stamped texts in scripts read right to left or written joined look as the desktop draws them.
TEST_F(ShownTextList, ScriptTextsAreStampedAsTheDesktopDrawsThem) {
  form->FontName = "DejaVu Sans";
  form->FontSizeText = "4";
  form->FontColor = plat::clWhite;
  form->BackColor = plat::clBlack;
  const std::string texts[] = {
      "\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD", "abc \u05E9\u05DC\u05D5\u05DD",
      "\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645"};
  for (const std::string& text : texts) {
    form->CurrentText = text;
    plat::SimulateMouse(*form->WriteTextButton, plat::TMouseAction::Press, plat::mbLeft, {5, 5});
    plat::SimulateMouse(*form->WriteTextButton, plat::TMouseAction::Release, plat::mbLeft, {5, 5});
    ASSERT_NE(Selected(), nullptr);
    const gfx::TBitmap32& b = Selected()->Bitmap();
    std::vector<uint8_t> stamped;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) stamped.push_back(uint8_t(b.Pixel(x, y) & 0xFF));
    const auto ours = test_support::InkProfile(stamped, b.Width(), b.Height());

    plat::TFont font;
    font.SetName(form->FontName);
    font.SetSize(40);
    const auto desktop = [&](const std::string& drawn) {
      return test_support::InkProfile(
          plat::DesktopTextCoverage(font.LogFont(), drawn, b.Width(), b.Height()), b.Width(),
          b.Height());
    };
    const double distance = test_support::ProfileDistance(ours, desktop(text));
    // Drawn larger and scaled down, the letters come out a little apart from the desktop's.
    EXPECT_LT(distance, 0.2) << text;
    const double width = double(desktop(text).size());
    EXPECT_NEAR(double(ours.size()), width, 2 + width / 100) << text;
    // The letters in the order they are stored, each alone, would be far off.
    EXPECT_GT(test_support::ProfileDistance(ours, desktop("\u202D" + text + "\u202C")),
              2.5 * distance)
        << text;
  }
}

// A text wider than the supersampled mask may be keeps its antialiased edges to its end.
TEST_F(ShownTextList, AVeryLongTextKeepsItsSmoothEdges) {
  std::string text;
  while (text.size() < 700) text += "Watermark ";
  form->CurrentText = text;
  form->FontSizeText = "4";
  plat::SimulateMouse(*form->WriteTextButton, plat::TMouseAction::Press, plat::mbLeft, {5, 5});
  plat::SimulateMouse(*form->WriteTextButton, plat::TMouseAction::Release, plat::mbLeft, {5, 5});
  ASSERT_NE(Selected(), nullptr);
  const gfx::TBitmap32& b = Selected()->Bitmap();
  ASSERT_GT(b.Width(), 16384);
  const gfx::TColor32 back = gfx::Color32(form->BackColor), letters = gfx::Color32(form->FontColor);
  // Pixels between the letters' colour and the box's in each eighth of the line.
  for (int part = 0; part < 8; ++part) {
    int between = 0;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = b.Width() * part / 8; x < b.Width() * (part + 1) / 8; ++x)
        between += b.Pixel(x, y) != back && b.Pixel(x, y) != letters;
    EXPECT_GT(between, b.Width() / 16) << "in eighth " << part;
  }
}

TEST_F(TextList, DeletingAsksFirstAndRemovesTheLastEqualSavedText) {
  SetTexts({"Alpha", "Beta", "Alpha"});
  form->TextList->SetItemIndex(-1);
  form->TextListDoubleClick(form->TextList);
  EXPECT_TRUE(questions.empty());

  form->TextList->SetItemIndex(IndexInList("Beta"));
  answer = plat::IDNO;
  form->TextListDoubleClick(form->TextList);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("\n\n[Beta]"), std::string::npos);
  EXPECT_EQ(form->TextList->Count(), 3);
  EXPECT_EQ(Entries(form->TextItems), (std::vector<std::string>{"Alpha", "Beta", "Alpha"}));

  // The list box's two Alpha entries are one sorted pair; the saved list loses its last one.
  form->TextItems.Clear();
  for (const char* t : {"Alpha", "Beta", "Alpha", "Gamma"}) form->TextItems.Add(t);
  form->TextList->SetItemIndex(IndexInList("Alpha"));
  answer = plat::IDYES;
  form->TextListDoubleClick(form->TextList);
  EXPECT_EQ(Entries(*form->TextList->Items()), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_EQ(Entries(form->TextItems), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));

  // A list entry without a saved twin goes from the list only.
  form->TextList->Items()->Add("Delta");
  form->TextList->SetItemIndex(IndexInList("Delta"));
  form->TextListDoubleClick(form->TextList);
  EXPECT_EQ(IndexInList("Delta"), -1);
  EXPECT_EQ(Entries(form->TextItems), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
}

TEST_F(TextList, AddingKeepsOneEntryPerExactText) {
  SetTexts({"Stamp"});
  app::AddSavedText(form->TextItems, *form->TextList, "Stamp");
  EXPECT_EQ(Entries(form->TextItems), (std::vector<std::string>{"Stamp"}));
  EXPECT_EQ(form->TextList->Count(), 1);
  app::AddSavedText(form->TextItems, *form->TextList, "STAMP");
  app::AddSavedText(form->TextItems, *form->TextList, "a stamp");
  EXPECT_EQ(Entries(form->TextItems), (std::vector<std::string>{"Stamp", "STAMP", "a stamp"}));
  EXPECT_EQ(Entries(*form->TextList->Items()),
            (std::vector<std::string>{"a stamp", "Stamp", "STAMP"}));
  EXPECT_TRUE(form->TextList->Sorted());
}

TEST_F(TextList, StampingTheCurrentTextAddsASelectedTextLayer) {
  form->CreateNewImage(400, 300, 0xFF808080);
  form->CurrentText = "Hello";
  form->FontColor = 0x0000FF;  // red as 0x00BBGGRR
  form->BackColor = plat::clNavy;
  form->Modified = false;
  const int layers = form->ImgView->Layers().Count();
  form->WriteTextClick(nullptr);
  EXPECT_TRUE(prompts.empty());
  gfx::TBitmapLayer* layer = Selected();
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(form->ImgView->Layers().Count(), layers + 2);  // the layer and its frame
  EXPECT_TRUE(form->Modified);
  EXPECT_EQ(layer->AngleCode, 10000);
  EXPECT_EQ(layer->StepCount, 12);
  EXPECT_EQ(layer->StepAngle, 30);
  EXPECT_EQ(layer->OpacityValue, 255);
  // Letters in the chosen colour on the navy box: red must not turn into blue.
  const gfx::TBitmap32& b = layer->Bitmap();
  bool red = false, blue = false;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      red = red || b.Pixel(x, y) == 0xFFFF0000u;
      blue = blue || b.Pixel(x, y) == 0xFF0000FFu;
    }
  EXPECT_TRUE(red);
  EXPECT_FALSE(blue);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF000080u);

  // The next stamp is a layer of its own.
  form->WriteTextClick(nullptr);
  EXPECT_NE(Selected(), layer);
}

TEST_F(TextList, TheSampleEntryAsksEachTimeProposingTheLastTypedText) {
  form->CreateNewImage(400, 300, 0xFF808080);
  form->CurrentText = std::string(app::SampleText);
  const int layers = form->ImgView->Layers().Count();
  typed = "First";
  form->WriteTextClick(nullptr);
  ASSERT_EQ(prompts.size(), 1u);
  EXPECT_EQ(prompts[0].value, "");
  EXPECT_EQ(prompts[0].prompt, "");
  EXPECT_FALSE(prompts[0].caption.empty());
  ASSERT_NE(Selected(), nullptr);
  const int afterFirst = form->ImgView->Layers().Count();
  EXPECT_EQ(afterFirst, layers + 2);
  gfx::TBitmapLayer* first = Selected();

  typed.reset();
  form->WriteTextClick(nullptr);
  ASSERT_EQ(prompts.size(), 2u);
  EXPECT_EQ(prompts[1].value, "First");
  EXPECT_EQ(form->ImgView->Layers().Count(), afterFirst);

  // Cancel keeps the proposal; the stamped text is the one typed.
  typed = "Second, longer text";
  form->WriteTextClick(nullptr);
  ASSERT_EQ(prompts.size(), 3u);
  EXPECT_EQ(prompts[2].value, "First");
  ASSERT_NE(Selected(), nullptr);
  EXPECT_GT(Selected()->Bitmap().Width(), first->Bitmap().Width());
  EXPECT_EQ(form->EnteredText, "Second, longer text");
  EXPECT_EQ(form->CurrentText, app::SampleText);
}

TEST_F(TextList, TheCornerTextIsStampedAtSizeFortyWhateverTheChosenSize) {
  form->CreateNewImage(800, 600, 0xFF808080);
  const auto stampSize = [this](const std::string& text, const char* size) {
    form->CurrentText = text;
    form->FontSizeText = size;
    form->WriteTextClick(nullptr);
    const gfx::TBitmap32& b = Selected()->Bitmap();
    return std::pair(b.Width(), b.Height());
  };
  const auto corner4 = stampSize(std::string(app::CornerText), "4");
  const auto corner9 = stampSize(std::string(app::CornerText), "9");
  EXPECT_EQ(corner4, corner9);
  EXPECT_EQ(form->WMScale->Position(), 32);
  // Any other text follows the chosen size.
  const auto plain4 = stampSize("(c) PixStamp.", "4");
  const auto plain9 = stampSize("(c) PixStamp.", "9");
  EXPECT_GT(plain9.first, plain4.first * 2);
  EXPECT_GT(plain9.second, plain4.second * 2);
  EXPECT_GT(plain4.second, 0);
}

// The pointer resting on an entry shows its hint as it is built: the entry's blanks and each
// line's indent included; the same for the text buttons, and none below the last entry.
TEST_F(ShownTextList, TheHintShownOverAnEntryKeepsItsBlanksAndIndents) {
  SetTexts({"A    B", "  lead"});
  const plat::TPoint at = Over("A    B");
  plat::SimulateMouse(*form->TextList, plat::TMouseAction::Move, plat::mbLeft, at);
  const std::string shown = plat::HintShownAt(*form->TextList, at);
  EXPECT_EQ(shown, app::BuildTextHint("A    B", *form));
  EXPECT_NE(shown.find("\n  A    B  \n"), std::string::npos);

  Click("  lead");
  const plat::TControl& button = *form->WriteTextButton;
  EXPECT_EQ(plat::HintShownAt(*form->WriteTextButton, {button.Width() / 2, button.Height() / 2}),
            app::BuildTextHint("  lead", *form));

  const plat::TPoint below{10, form->TextList->ClientHeight() - 2};
  ASSERT_EQ(form->TextList->ItemAtPos(below, true), -1);
  plat::SimulateMouse(*form->TextList, plat::TMouseAction::Move, plat::mbLeft, below);
  EXPECT_EQ(plat::HintShownAt(*form->TextList, below), "");
}

}  // namespace
