// The text dialog against a model of its rules, over random use by mouse and keys on the shown
// dialog: the font list, the size, the two colours and their Transparent boxes, Bold, Italic, the
// text and Reset; then Enter or Esc.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/textdialog/FontDialog.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"
#include "support/DialogUser.h"

namespace {

using plat::TColor;
using test_support::Click;

// What the dialog holds and shows, by its rules: every change of the look previews, and a preview
// of black on black makes the background dark grey first. Ticking a Transparent box clears the
// other one and takes black for its colour; unticking it gives back the colour from before the
// tick, unless one was chosen since (the program's choice: the rules would leave black), and the
// other colour too when the tick changed it and it still is as the tick left it. A box ticked or
// unticked by code (Reset, the other box) has nothing to give back.
struct Model {
  std::vector<std::string> fonts;
  int font = -1, size = 4, mode = 0;
  TColor fontColor = 0, backColor = 0;
  bool fontTransparent = false, backTransparent = false, bold = false, italic = false;
  std::optional<TColor> fontBefore, backBefore;
  // The other colour before and after a box's tick, until its untick.
  std::optional<std::pair<TColor, TColor>> backAroundFontTick, fontAroundBackTick;
  std::string text;

  void Preview() {
    if (fontColor == 0 && backColor == 0) backColor = 0x202020;
  }
  void SetFontName(const std::string& name) {
    auto at = std::find(fonts.begin(), fonts.end(), name);
    if (at == fonts.end()) at = fonts.insert(fonts.end(), name);
    font = int(at - fonts.begin());
    Preview();
  }
  void SetFontColor(TColor c) {
    fontColor = c;
    Preview();
  }
  void SetBackColor(TColor c) {
    backColor = c;
    Preview();
  }
  void SetSize(int n) {
    size = n;
    Preview();
  }
  void SetMode(int m) {
    mode = m;
    Preview();
  }
  void TickFont() {
    if ((fontTransparent = !fontTransparent)) {
      backTransparent = false;
      backBefore.reset();
      fontAroundBackTick.reset();
      fontBefore = fontColor;
      const TColor back = backColor;
      SetFontColor(0);
      backAroundFontTick = {back, backColor};
      return;
    }
    if (!backAroundFontTick) return;
    const TColor back = backColor;
    if (fontBefore) SetFontColor(*fontBefore);
    fontBefore.reset();
    if (back == backAroundFontTick->second) SetBackColor(backAroundFontTick->first);
    backAroundFontTick.reset();
  }
  void TickBack() {
    if ((backTransparent = !backTransparent)) {
      fontTransparent = false;
      fontBefore.reset();
      backAroundFontTick.reset();
      backBefore = backColor;
      const TColor font = fontColor;
      SetBackColor(0);
      fontAroundBackTick = {font, fontColor};
      return;
    }
    if (!fontAroundBackTick) return;
    const TColor font = fontColor;
    if (backBefore) SetBackColor(*backBefore);
    backBefore.reset();
    if (font == fontAroundBackTick->second) SetFontColor(fontAroundBackTick->first);
    fontAroundBackTick.reset();
  }
};

class FontDialogOracle : public testing::Test {
 protected:
  void TearDown() override { plat::TestHooks() = plat::TTestHooks{}; }
  // Everything the dialog shows and gives back agrees with the model.
  static void Agree(app::TFontForm& d, const Model& m) {
    ASSERT_EQ(d.GetFontName(), m.fonts[m.font]);
    EXPECT_EQ(d.FontListBox->Count(), int(m.fonts.size()));
    EXPECT_EQ(d.FontSize(), m.size);
    EXPECT_EQ(d.FontSizeEdit->Value(), m.size);
    EXPECT_EQ(d.FontColor(), m.fontColor);
    EXPECT_EQ(d.BackColor(), m.backColor);
    EXPECT_EQ(d.pnFontColor->Color(), m.fontColor);
    EXPECT_EQ(d.pnBackColor->Color(), m.backColor);
    EXPECT_EQ(d.FontTransparent(), m.fontTransparent);
    EXPECT_EQ(d.BackTransparent(), m.backTransparent);
    EXPECT_EQ(d.FontTransparentCheckBox->Checked(), m.fontTransparent);
    EXPECT_EQ(d.BackTransparentCheckBox->Checked(), m.backTransparent);
    EXPECT_EQ(d.GetBold(), m.bold);
    EXPECT_EQ(d.GetItalic(), m.italic);
    EXPECT_EQ(d.GetTextToAdd(), m.text);
    EXPECT_EQ(d.ColorMode(), m.mode);
    // The sample page shows it all through the viewer's defaults.
    EXPECT_EQ(d.FontViewer->DefFontName(), m.fonts[m.font]);
    EXPECT_EQ(d.FontViewer->DefFontSize(), 4 * m.size);
    EXPECT_EQ(d.FontViewer->DefFontColor(), m.fontColor);
    EXPECT_EQ(d.FontViewer->DefBackground(), m.backColor);
    EXPECT_EQ(d.FontViewer->DocumentSource(), app::PreviewPage(m.mode));
  }

  std::mt19937 rng{162};
};

TEST_F(FontDialogOracle, RandomUseShowsAndGivesBackWhatTheRulesSay) {
  const std::string names[] = {"Arial", "DejaVu Sans", "Vrinda", "Times New Roman", "No Such Font",
                               "",      "Courier New"};
  // System colours and stray high bytes, as a hand-edited settings file may hold them, too.
  const TColor colors[] = {0,        0xFFFFFF, 0x202020,           0x0000FF,
                           0xF0FBFF, 0x123456, TColor(0x80000005), -1};
  std::optional<TColor> answer;
  plat::TestHooks().colorDialog = [&](TColor) { return answer; };
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    app::TFontForm d(nullptr);
    Model m;
    for (int i = 0; i < d.FontListBox->Count(); ++i)
      m.fonts.push_back(d.FontListBox->Items()->Strings(i));
    m.backColor = 0x202020;  // the empty dialog previews black on black
    // The caller's values, in the main window's order of setters.
    const std::string name = names[rng() % std::size(names)];
    const TColor fc = colors[rng() % std::size(colors)], bc = colors[rng() % std::size(colors)];
    const int size = int(rng() % 17) + 2;
    const bool bold = rng() % 2, italic = rng() % 2, ft = rng() % 2, bt = !ft && rng() % 2;
    d.SetFontName(name);
    m.SetFontName(name.empty() ? "Arial" : name);
    d.SetFontColor(fc);
    m.SetFontColor(fc);
    d.SetFontSize(size);
    m.SetSize(size);
    d.SetBackColor(bc);
    m.SetBackColor(bc);
    d.SetColorMode(0);
    m.SetMode(0);
    d.SetBold(m.bold = bold);
    d.SetItalic(m.italic = italic);
    d.SetFontTransparent(m.fontTransparent = ft);
    d.SetBackTransparent(m.backTransparent = bt);
    d.SetTextToAdd(m.text = "Text " + std::to_string(round));
    d.Show();
    plat::Application().ProcessMessages();
    const Model shown = m;
    Agree(d, m);

    for (int actions = int(rng() % 10) + 1; actions > 0; --actions) {
      switch (rng() % 9) {
        case 0: {  // the list by its arrows
          d.FontListBox->SetFocus();
          const bool down = rng() % 2;
          plat::PressKey(d, down ? plat::VK_DOWN : plat::VK_UP);
          const int next = std::clamp(m.font + (down ? 1 : -1), 0, int(m.fonts.size()) - 1);
          if (next != m.font) m.SetFontName(m.fonts[next]);
          break;
        }
        case 1: {  // the size by its arrows
          d.FontSizeEdit->SetFocus();
          const bool up = rng() % 2;
          plat::PressKey(d, up ? plat::VK_UP : plat::VK_DOWN);
          const int next = std::clamp(m.size + (up ? 1 : -1), 2, 18);
          if (next != m.size) m.SetSize(next);
          break;
        }
        case 2:
        case 3: {  // a colour chosen or not
          const bool font = rng() % 2;
          answer.reset();
          if (rng() % 4) answer = colors[rng() % std::size(colors)];
          Click(font ? *d.btFontSelect : *d.btBackSelect);
          if (!answer) break;
          if (font) {
            m.SetFontColor(*answer);
            m.fontBefore.reset();
          } else {
            m.SetBackColor(*answer);
            m.backBefore.reset();
          }
          break;
        }
        case 4:
          Click(*d.FontTransparentCheckBox);
          m.TickFont();
          break;
        case 5:
          Click(*d.BackTransparentCheckBox);
          m.TickBack();
          break;
        case 6: {
          const bool bold = rng() % 2;
          Click(bold ? *d.BoldButton : *d.ItalicButton);
          (bold ? m.bold : m.italic) ^= true;
          break;
        }
        case 7:
          d.Edit1->SetFocus();
          plat::TypeText(d, "ab");
          m.text += "ab";
          break;
        default: {  // Reset: the values of the showing, through the setters in their order
          Click(*d.btReset);
          const std::vector<std::string> fonts = m.fonts;
          const std::string font = shown.fonts[shown.font];
          m = shown;
          m.fonts = fonts;
          m.text = d.GetTextToAdd();
          m.SetFontName(font);
          m.SetSize(shown.size);
          m.SetFontColor(shown.fontColor);
          m.SetBackColor(shown.backColor);
          m.SetMode(shown.mode);
        }
      }
      plat::Application().ProcessMessages();  // the page drawn in those colours
      Agree(d, m);
      if (HasFailure()) return;
    }
    d.Edit1->SetFocus();
    const bool ok = rng() % 2;
    plat::PressKey(d, ok ? plat::VK_RETURN : plat::VK_ESCAPE, ok ? "\r" : "");
    EXPECT_EQ(d.ModalResult(), ok ? plat::mrOk : plat::mrCancel);
  }
}

}  // namespace
