// The main window's text options: the dialog's result becomes the current text and its look.
#include <gtest/gtest.h>

#include <string>

#include "app/mainwindow/MainUnit.h"
#include "app/mainwindow/TextHints.h"
#include "app/textdialog/FontDialog.h"
#include "platform/windows/TestSeams.h"
#include "support/MainWindowFixture.h"

namespace {

class TextOptions : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    Start();
    form->FontName = "DejaVu Sans";
    form->FontSizeText = "5";
    form->FontColor = 0x0000FF;
    form->BackColor = 0x00FF00;
    form->TextColorMode = 7;
    form->TextBold = false;
    form->TextItalic = true;
    form->FontTransparent = false;
    form->BackTransparent = true;
    form->CurrentText = "Old text";
  }
  int Occurrences(const std::string& text) {
    int n = 0;
    for (int i = 0; i < form->TextItems.Count(); ++i) n += form->TextItems[i] == text;
    return n;
  }
};

TEST_F(TextOptions, OkTakesTheDialogsValuesAndListsTheNewText) {
  const int before = form->TextList->Count();
  int runs = 0;
  plat::TestHooks().modal = [&runs](plat::TCustomForm& f) {
    auto& d = dynamic_cast<app::TFontForm&>(f);
    if (runs++ > 0) return plat::mrOk;
    // What the window handed over.
    EXPECT_EQ(d.GetFontName(), "DejaVu Sans");
    EXPECT_EQ(d.FontSize(), 5);
    EXPECT_EQ(d.FontColor(), 0x0000FF);
    EXPECT_EQ(d.BackColor(), 0x00FF00);
    EXPECT_EQ(d.ColorMode(), 0);
    EXPECT_TRUE(d.GetItalic());
    EXPECT_TRUE(d.BackTransparent());
    EXPECT_EQ(d.GetTextToAdd(), "Old text");
    d.SetFontName("Georgia");
    d.SetFontSize(9);
    d.SetFontColor(0x336699);
    d.SetBold(true);
    d.SetItalic(false);
    d.FontTransparentCheckBox->SetChecked(true);
    d.SetTextToAdd("Proof copy");
    d.btOk->Click();
    return plat::mrNone;
  };
  form->TextOptionButton->Click();
  EXPECT_EQ(form->FontName, "Georgia");
  EXPECT_EQ(form->FontSizeText, "9");
  EXPECT_EQ(form->FontColor, 0);  // the transparent colour
  EXPECT_EQ(form->BackColor, 0x00FF00);
  EXPECT_TRUE(form->TextBold);
  EXPECT_FALSE(form->TextItalic);
  EXPECT_TRUE(form->FontTransparent);
  EXPECT_FALSE(form->BackTransparent);
  EXPECT_EQ(form->TextColorMode, 0);
  EXPECT_EQ(form->CurrentText, "Proof copy");
  EXPECT_EQ(Occurrences("Proof copy"), 1);
  EXPECT_EQ(form->TextList->Count(), before + 1);
  EXPECT_EQ(form->CurrentTextHint, app::BuildTextHint("Proof copy", *form));
  EXPECT_EQ(form->WriteTextButton->Hint(), form->CurrentTextHint);
  EXPECT_EQ(form->TextOptionButton->Hint(), form->CurrentTextHint);

  // The same text again is not listed twice.
  form->TextOptionButton->Click();
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(Occurrences("Proof copy"), 1);
  EXPECT_EQ(form->TextList->Count(), before + 1);
}

TEST_F(TextOptions, CancelChangesNothing) {
  const int before = form->TextList->Count();
  const int components = form->ComponentCount();
  plat::TestHooks().modal = [](plat::TCustomForm& f) {
    auto& d = dynamic_cast<app::TFontForm&>(f);
    d.SetFontName("Impact");
    d.SetFontSize(3);
    d.SetTextToAdd("Not wanted");
    d.btCancel->Click();
    return plat::mrNone;
  };
  form->TextOptionButton->Click();
  EXPECT_EQ(form->FontName, "DejaVu Sans");
  EXPECT_EQ(form->FontSizeText, "5");
  EXPECT_EQ(form->FontColor, 0x0000FF);
  EXPECT_EQ(form->TextColorMode, 7);
  EXPECT_TRUE(form->BackTransparent);
  EXPECT_EQ(form->CurrentText, "Old text");
  EXPECT_EQ(Occurrences("Not wanted"), 0);
  EXPECT_EQ(form->TextList->Count(), before);
  // The dialog is gone after its run.
  EXPECT_EQ(form->ComponentCount(), components);
}

}  // namespace
