// The text and font dialog on its own: values in and out, the colour rules, Reset and the page
// it previews.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/textdialog/FontDialog.h"
#include "platform/drawing/Graphics.h"
#include "platform/runtime/Files.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/DialogUser.h"
#include "support/InkProfile.h"

namespace {

constexpr char Remark[] = "Remark: text colors will depend on the loaded image";

class FontDialog : public testing::Test {
 protected:
  void TearDown() override { plat::TestHooks() = plat::TTestHooks{}; }
  // The main window's order of setters.
  void Fill(const std::string& font, plat::TColor fontColor, int size, plat::TColor backColor,
            bool fontTransparent, bool backTransparent) {
    dialog.SetFontName(font);
    dialog.SetFontColor(fontColor);
    dialog.SetFontSize(size);
    dialog.SetBackColor(backColor);
    dialog.SetColorMode(0);
    dialog.SetBold(true);
    dialog.SetItalic(false);
    dialog.SetFontTransparent(fontTransparent);
    dialog.SetBackTransparent(backTransparent);
    dialog.SetTextToAdd("Sample ü");
  }
  app::TFontForm dialog{nullptr};
};

TEST_F(FontDialog, ValuesGoInAndComeBackUnchanged) {
  Fill("DejaVu Sans", 0x0000FF, 7, 0x00FFFF, true, false);
  EXPECT_EQ(dialog.GetFontName(), "DejaVu Sans");
  EXPECT_EQ(dialog.FontColor(), 0x0000FF);
  EXPECT_EQ(dialog.FontSize(), 7);
  EXPECT_EQ(dialog.BackColor(), 0x00FFFF);
  EXPECT_EQ(dialog.ColorMode(), 0);
  EXPECT_TRUE(dialog.GetBold());
  EXPECT_FALSE(dialog.GetItalic());
  // A transparent flag from the caller keeps the caller's colour.
  EXPECT_TRUE(dialog.FontTransparent());
  EXPECT_FALSE(dialog.BackTransparent());
  EXPECT_EQ(dialog.GetTextToAdd(), "Sample ü");
  // The viewer shows what the dialog holds.
  EXPECT_EQ(dialog.FontViewer->DefFontName(), "DejaVu Sans");
  EXPECT_EQ(dialog.FontViewer->DefFontSize(), 28);
  EXPECT_EQ(dialog.FontViewer->DefFontColor(), 0x0000FF);
  EXPECT_EQ(dialog.FontViewer->DefBackground(), 0x00FFFF);
  EXPECT_EQ(dialog.FontSizeEdit->Value(), 7);
  EXPECT_EQ(dialog.pnFontColor->Color(), 0x0000FF);
  EXPECT_EQ(dialog.pnBackColor->Color(), 0x00FFFF);
}

TEST_F(FontDialog, AFontMissingFromTheListIsAddedSoPreviewAndResultAgree) {
  EXPECT_EQ(dialog.FontListBox->Count(), 15);
  EXPECT_EQ(dialog.FontListBox->Items()->Strings(0), "Arial");
  EXPECT_EQ(dialog.FontListBox->Items()->Strings(14), "Vrinda");
  dialog.SetFontName("Noto Serif Display");
  EXPECT_EQ(dialog.GetFontName(), "Noto Serif Display");
  EXPECT_EQ(dialog.FontViewer->DefFontName(), "Noto Serif Display");
  EXPECT_EQ(dialog.FontListBox->Count(), 16);
  // Choosing it again adds nothing; a listed name is picked in place.
  dialog.SetFontName("Noto Serif Display");
  dialog.SetFontName("Georgia");
  EXPECT_EQ(dialog.FontListBox->Count(), 16);
  EXPECT_EQ(dialog.GetFontName(), "Georgia");
  // A click on the list chooses the font.
  dialog.FontListBox->SetItemIndex(1);
  dialog.ColorListClick(dialog.FontListBox);
  EXPECT_EQ(dialog.GetFontName(), "Arial Black");
  EXPECT_EQ(dialog.FontViewer->DefFontName(), "Arial Black");
}

TEST_F(FontDialog, BlackOnBlackTurnsTheBackgroundDarkGrey) {
  dialog.SetBackColor(0xFFFFFF);
  dialog.SetFontColor(0);
  EXPECT_EQ(dialog.BackColor(), 0xFFFFFF);
  dialog.SetBackColor(0);
  EXPECT_EQ(dialog.BackColor(), 0x202020);
  EXPECT_EQ(dialog.FontViewer->DefBackground(), 0x202020);
  EXPECT_EQ(dialog.pnBackColor->Color(), 0x202020);
  dialog.SetBackColor(0x00FF00);
  dialog.SetFontColor(0);
  EXPECT_EQ(dialog.BackColor(), 0x00FF00);
}

TEST_F(FontDialog, TheTwoTransparentBoxesExcludeEachOther) {
  dialog.SetFontColor(0x00FF00);
  dialog.SetBackColor(0x0000FF);
  // A user's tick on the back box: the back colour becomes the grid's first colour (black).
  dialog.BackTransparentCheckBox->SetChecked(true);
  EXPECT_TRUE(dialog.BackTransparent());
  EXPECT_FALSE(dialog.FontTransparent());
  EXPECT_EQ(dialog.FontColor(), 0x00FF00);
  EXPECT_EQ(dialog.BackColor(), 0);
  dialog.FontTransparentCheckBox->SetChecked(true);
  EXPECT_TRUE(dialog.FontTransparent());
  EXPECT_FALSE(dialog.BackTransparent());
  EXPECT_FALSE(dialog.BackTransparentCheckBox->Checked());
  // Black on black is never shown.
  EXPECT_EQ(dialog.FontColor(), 0);
  EXPECT_EQ(dialog.BackColor(), 0x202020);
  // Unticking gives the font its colour back, and the background the black it had before.
  dialog.FontTransparentCheckBox->SetChecked(false);
  EXPECT_FALSE(dialog.FontTransparent());
  EXPECT_EQ(dialog.FontColor(), 0x00FF00);
  EXPECT_EQ(dialog.BackColor(), 0);
  // The setters keep the rule as well.
  dialog.SetFontTransparent(true);
  dialog.SetBackTransparent(true);
  EXPECT_FALSE(dialog.FontTransparent());
  EXPECT_FALSE(dialog.FontTransparentCheckBox->Checked());
  EXPECT_TRUE(dialog.BackTransparentCheckBox->Checked());
}

// Ticked and unticked with the mouse: the colour chosen before is not lost to the tick.
TEST_F(FontDialog, UntickingATransparentBoxGivesBackItsColour) {
  dialog.SetFontColor(0x00FFFF);
  dialog.SetBackColor(0x800000);
  dialog.Show();
  plat::Application().ProcessMessages();
  const auto click = [](plat::TControl& box) {
    const plat::TPoint at{6, box.Height() / 2};
    plat::SimulateMouse(box, plat::TMouseAction::Press, plat::mbLeft, at);
    plat::SimulateMouse(box, plat::TMouseAction::Release, plat::mbLeft, at);
  };
  for (const bool fontSide : {true, false}) {
    plat::TCheckBox& box =
        fontSide ? *dialog.FontTransparentCheckBox : *dialog.BackTransparentCheckBox;
    const auto color = [&] { return fontSide ? dialog.FontColor() : dialog.BackColor(); };
    const plat::TColor chosen = color();
    click(box);
    ASSERT_TRUE(box.Checked());
    EXPECT_EQ(color(), 0);  // the grid's first colour while it is see-through
    click(box);
    ASSERT_FALSE(box.Checked());
    EXPECT_EQ(color(), chosen);
  }
}

// The tick's black text on a black background turned the background dark grey; the untick gives
// back both colours as they were, unless the user chose one since.
TEST_F(FontDialog, TickAndUntickGiveBackTheBackgroundTheTickChanged) {
  Fill("DejaVu Sans", 0xFFFFFF, 4, 0x000000, false, false);
  dialog.Show();
  plat::Application().ProcessMessages();
  plat::TCheckBox& box = *dialog.FontTransparentCheckBox;
  const plat::TPoint at{6, box.Height() / 2};
  test_support::Click(box, at);
  ASSERT_TRUE(dialog.FontTransparent());
  EXPECT_EQ(dialog.FontColor(), 0);
  EXPECT_EQ(dialog.BackColor(), 0x202020);
  test_support::Click(box, at);
  EXPECT_EQ(dialog.FontColor(), 0xFFFFFF);
  EXPECT_EQ(dialog.BackColor(), 0);
  EXPECT_EQ(dialog.FontViewer->DefBackground(), 0);
  EXPECT_EQ(dialog.pnBackColor->Color(), 0);

  // A background chosen while the box is ticked stays.
  test_support::Click(box, at);
  plat::TestHooks().colorDialog = [](plat::TColor) { return plat::TColor(0x0000FF); };
  test_support::Click(*dialog.btBackSelect);
  test_support::Click(box, at);
  EXPECT_EQ(dialog.FontColor(), 0xFFFFFF);
  EXPECT_EQ(dialog.BackColor(), 0x0000FF);
}

// A box that code ticked or unticked (Reset, the caller's setters, the other box) has no tick of
// the user's to give back: unticking it after a Reset keeps the colours the Reset put back.
TEST_F(FontDialog, ResetForgetsTheTicksBeforeIt) {
  constexpr plat::TColor Green = 0x008000, Blue = 0xFF0000, White = 0xFFFFFF;
  plat::TestHooks().colorDialog = [](plat::TColor) { return Blue; };
  for (const bool otherBoxFirst : {false, true}) {
    SCOPED_TRACE(otherBoxFirst);
    app::TFontForm d(nullptr);
    d.SetFontColor(Green);
    d.SetBackColor(White);
    d.SetFontTransparent(true);
    d.Show();
    plat::Application().ProcessMessages();
    test_support::Click(*d.FontTransparentCheckBox);
    test_support::Click(*d.btFontSelect);
    test_support::Click(*d.FontTransparentCheckBox);
    ASSERT_TRUE(d.FontTransparent());
    // The back box's tick unticks the font box.
    if (otherBoxFirst) test_support::Click(*d.BackTransparentCheckBox);
    test_support::Click(*d.btReset);
    ASSERT_TRUE(d.FontTransparentCheckBox->Checked());
    ASSERT_EQ(d.FontColor(), Green);
    test_support::Click(*d.FontTransparentCheckBox);
    EXPECT_FALSE(d.FontTransparent());
    EXPECT_EQ(d.FontColor(), Green);
    EXPECT_EQ(d.BackColor(), White);
  }
}

TEST_F(FontDialog, TheSizeEditKeepsToTwoToEighteen) {
  dialog.SetFontSize(9);
  dialog.FontSizeEdit->SetValue(12);
  EXPECT_EQ(dialog.FontSize(), 12);
  EXPECT_EQ(dialog.FontViewer->DefFontSize(), 48);
  dialog.FontSizeEdit->SetValue(19);
  EXPECT_EQ(dialog.FontSize(), 18);
  dialog.FontSizeEdit->SetValue(1);
  EXPECT_EQ(dialog.FontSize(), 2);
  EXPECT_EQ(dialog.FontViewer->DefFontSize(), 8);
}

TEST_F(FontDialog, ColoursComeFromTheColourDialogOnlyWhenConfirmed) {
  dialog.SetFontColor(0x112233);
  std::optional<plat::TColor> answer = 0x445566;
  plat::TColor offered = -1;
  plat::TestHooks().colorDialog = [&](plat::TColor initial) {
    offered = initial;
    return answer;
  };
  dialog.btFontSelect->Click();
  EXPECT_EQ(offered, 0x112233);
  EXPECT_EQ(dialog.FontColor(), 0x445566);
  EXPECT_EQ(dialog.FontViewer->DefFontColor(), 0x445566);
  answer.reset();
  dialog.btBackSelect->Click();
  EXPECT_NE(dialog.BackColor(), 0x445566);
  answer = 0x778899;
  dialog.btBackSelect->Click();
  EXPECT_EQ(dialog.BackColor(), 0x778899);
  EXPECT_EQ(dialog.FontColor(), 0x445566);
}

TEST_F(FontDialog, TheHiddenColourListsPickByName) {
  ASSERT_GT(dialog.FontColorListBox->Count(), 4);
  EXPECT_EQ(dialog.FontColorListBox->Count(), dialog.BackColorListBox->Count());
  dialog.FontColorListBox->SetItemIndex(4);  // clNavy
  dialog.ColorListClick(dialog.FontColorListBox);
  EXPECT_EQ(dialog.FontColor(), 0x800000);
  dialog.BackColorListBox->SetItemIndex(1);  // clMaroon
  dialog.ColorListClick(dialog.BackColorListBox);
  EXPECT_EQ(dialog.BackColor(), 0x000080);
  EXPECT_EQ(dialog.FontColor(), 0x800000);
}

TEST_F(FontDialog, ResetPutsBackTheValuesOfTheShowing) {
  Fill("Noto Sans", 0x0000FF, 5, 0x00FFFF, false, true);
  plat::TestHooks().modal = [&](plat::TCustomForm&) {
    dialog.SetFontName("Impact");
    dialog.SetFontSize(16);
    dialog.SetFontColor(0x123456);
    dialog.SetBackColor(0x654321);
    dialog.SetColorMode(4);
    dialog.SetBold(false);
    dialog.SetItalic(true);
    dialog.SetFontTransparent(true);
    dialog.btReset->Click();
    return plat::mrNone;
  };
  EXPECT_EQ(dialog.ShowModal(), plat::mrCancel);
  EXPECT_EQ(dialog.GetFontName(), "Noto Sans");
  EXPECT_EQ(dialog.FontSize(), 5);
  EXPECT_EQ(dialog.FontColor(), 0x0000FF);
  EXPECT_EQ(dialog.BackColor(), 0x00FFFF);
  EXPECT_EQ(dialog.ColorMode(), 0);
  EXPECT_TRUE(dialog.GetBold());
  EXPECT_FALSE(dialog.GetItalic());
  EXPECT_FALSE(dialog.FontTransparent());
  EXPECT_TRUE(dialog.BackTransparent());
  EXPECT_EQ(dialog.FontViewer->DefFontName(), "Noto Sans");
}

TEST_F(FontDialog, ThePreviewCarriesTheRemarkOnlyWithAColourInteraction) {
  const std::string plain = app::PreviewPage(0);
  EXPECT_EQ(plain.rfind("<h1><center>Text</center><ul></h1>", 0), 0u);
  EXPECT_NE(plain.find("<b>Bold Text</b>"), std::string::npos);
  EXPECT_NE(plain.find("<i>Italicized Text</i>"), std::string::npos);
  EXPECT_EQ(plain.find(Remark), std::string::npos);
  const std::string remarked = app::PreviewPage(3);
  EXPECT_EQ(remarked.rfind("<P><FONT SIZE=\"-4\">Remark:", 0), 0u);
  EXPECT_EQ(remarked.substr(remarked.size() - plain.size()), plain);
  // The viewer is given the page that matches the mode.
  dialog.SetColorMode(3);
  EXPECT_EQ(dialog.FontViewer->DocumentSource(), remarked);
  dialog.ColorRadioGroup->SetItemIndex(0);
  EXPECT_EQ(dialog.ColorMode(), 0);
  EXPECT_EQ(dialog.FontViewer->DocumentSource(), plain);
}

TEST_F(FontDialog, ScreenshotOfTheDialog) {
  Fill("DejaVu Sans", 0x800000, 6, 0xF0FBFF, false, false);
  dialog.Show();
  plat::Application().ProcessMessages();
  const std::string file = plat::JoinPath(plat::ScreenshotFolder(), "text-dialog.png");
  plat::SaveScreenshot(dialog, file);
  EXPECT_TRUE(plat::FileExists(file));
  dialog.Hide();
}

// The preview's page engine draws a run of right-to-left or joined letters as the desktop does.
TEST_F(FontDialog, ThePreviewDrawsScriptTextAsTheDesktopDoes) {
  Fill("DejaVu Sans", plat::clWhite, 4, plat::clBlack, false, false);
  const std::string texts[] = {
      "\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD",
      "\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645"};
  plat::TLogFont font;
  font.FaceName = "DejaVu Sans";
  font.Height = -32;
  for (const std::string& text : texts) {
    // The page is read in the system code page: the letters go in as references.
    std::string letters;
    for (char16_t unit : plat::Utf8ToUtf16(text)) letters += "&#" + std::to_string(unit) + ";";
    const std::string page =
        "<p style=\"font-family:'DejaVu Sans';font-size:24pt\">" + letters + "</p>";
    dialog.FontViewer->LoadFromBuffer(page.data(), int(page.size()), "");
    const plat::TCapturedImage shown = plat::CaptureControl(dialog.FontViewer->PaintPanel());
    std::vector<uint8_t> coverage;
    for (uint32_t p : shown.pixels) coverage.push_back(uint8_t(p & 0xFF));
    const auto ours = test_support::InkProfile(coverage, shown.width, shown.height);
    const auto desktop =
        test_support::InkProfile(plat::DesktopTextCoverage(font, text, shown.width, shown.height),
                                 shown.width, shown.height);
    EXPECT_LT(test_support::ProfileDistance(ours, desktop), 0.05) << text;
  }
}

}  // namespace
