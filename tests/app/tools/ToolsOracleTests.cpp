// The layer and picture tools used at random from the keyboard and mouse, in their own modal runs,
// against a model of their lists and of what each pick does to the layer or the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "app/colors/ColorInteraction.h"
#include "app/layerbuilder/OverlayModel.h"
#include "app/tools/ToolsMenus.h"
#include "graphics/filters/BlendModes.h"
#include "platform/windows/Application.h"
#include "support/DialogUser.h"
#include "support/FileDialogAnswers.h"
#include "support/MainWindowFixture.h"

namespace {

// The lists as the menus must show them.
const std::vector<std::string> LayerModes = {
    "None",        "Add",          "Sub",         "Modulate",   "Min",          "Max",
    "Difference",  "Exclusion",    "Average",     "Division",   "Pattern",      "Multiply",
    "Screen",      "Overlay",      "Reflect",     "Soft Light", "Bright Light", "Hard Light",
    "Color Dodge", "Color Burn",   "Lighten",     "Darken",     "Additive",     "Subtractive",
    "Average 2",   "Difference 2", "Exclusion 2", "Negation",   "Glow",         "Heat",
    "Freeze",      "Red",          "Green",       "Blue",       "Hue",          "Saturation",
    "Lightness"};
const std::vector<std::string> PictureModes = {
    "None",         "Add",     "Sub",        "Modulate",     "Min",         "Max",
    "Difference",   "Average", "Division",   "Pattern",      "Multiply",    "Screen",
    "Overlay",      "Reflect", "Soft Light", "Bright Light", "Hard Light",  "Color Dodge",
    "Color Burn",   "Lighten", "Darken",     "Additive",     "Subtractive", "Average 2",
    "Difference 2", "---",     "Negation",   "Glow",         "Heat",        "Freeze",
    "Red",          "Green",   "Blue",       "---",          "Saturation",  "Lightness"};

// A picture as the model keeps it: the colours with every turn and flip applied, and what shows.
struct Sheet {
  int w = 0, h = 0;
  std::vector<uint32_t> colours, shown;
  bool inverted = false, grey = false;

  // Grey takes the colours only: transparent parts stay transparent.
  static uint32_t Grey(uint32_t c) {
    const uint32_t i = (((c >> 16) & 255) * 61 + ((c >> 8) & 255) * 174 + (c & 255) * 21) >> 8;
    return (c & 0xFF000000) | i << 16 | i << 8 | i;
  }
  // Function 0 flips sideways, 1 upside down, 2..4 turn by 90, 180 and 270 degrees clockwise.
  static std::vector<uint32_t> Turned(const std::vector<uint32_t>& p, int w, int h, int f) {
    std::vector<uint32_t> out(p.size());
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t c = p[size_t(y) * w + x];
        switch (f) {
          case 0:
            out[size_t(y) * w + (w - 1 - x)] = c;
            break;
          case 1:
            out[size_t(h - 1 - y) * w + x] = c;
            break;
          case 2:
            out[size_t(x) * h + (h - 1 - y)] = c;
            break;
          case 3:
            out[size_t(h - 1 - y) * w + (w - 1 - x)] = c;
            break;
          default:
            out[size_t(w - 1 - x) * h + y] = c;
            break;
        }
      }
    return out;
  }
  void Turn(int f) {
    colours = Turned(colours, w, h, f);
    shown = Turned(shown, w, h, f);
    if (f == 2 || f == 4) std::swap(w, h);
  }
  void Invert() {
    inverted = !inverted;
    for (uint32_t& c : shown) c ^= 0x00FFFFFF;
  }
  void Greyen() {
    if ((grey = !grey)) {
      for (uint32_t& c : shown) c = Grey(c);
    } else {
      // Grey off gives back the colours, with every turn since, inverted as the switch says.
      shown = colours;
      if (inverted)
        for (uint32_t& c : shown) c ^= 0x00FFFFFF;
    }
  }
};

class ToolsOracle : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    test_support::AnswerFileDialogs(answer);
    Start();
    form->Show();
    plat::Application().ProcessMessages();
  }
  Sheet Write(const std::string& name, int w, int h) {
    Sheet p{w, h, {}, {}};
    gfx::TBitmap32 b;
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        // Clear, opaque and in between, as a logo has them.
        const uint32_t alpha = std::array<uint32_t, 3>{0, 255, uint32_t(rng() % 256)}[rng() % 3];
        const uint32_t c = alpha << 24 | (uint32_t(rng()) & 0xFFFFFF);
        b.SetPixel(x, y, c);
        p.colours.push_back(c);
      }
    p.shown = p.colours;
    answer = home_ + "/" + name;
    b.SaveToFile(answer);
    return p;
  }
  // On the box itself, at the left of the control.
  static void Tick(plat::TControl& box) { test_support::Click(box, {8, box.Height() / 2}); }
  // Tab on to a group of the menu.
  static void Reach(app::TToolsMenuForm& menu, plat::TRadioGroup& group) {
    for (int i = 0; i < 8 && !group.Focused(); ++i) plat::PressKey(menu, plat::VK_TAB);
    ASSERT_TRUE(group.Focused());
  }
  static std::vector<uint32_t> PixelsOf(const gfx::TBitmap32& b) {
    return {b.Bits(), b.Bits() + size_t(b.Width()) * size_t(b.Height())};
  }
  // The bitmap combines as the mode's handler or blend mode does; mode 0 blends plainly, except
  // after a separator, which draws in custom mode through whatever was bound before.
  // A picture as opened is drawn opaque until a mode is chosen.
  void ExpectMode(const gfx::TBitmap32& b, int mode, bool separator = false, bool opened = false) {
    EXPECT_EQ(b.DrawMode(), separator || mode != 0 ? gfx::dmCustom
                            : opened               ? gfx::dmOpaque
                                                   : gfx::dmBlend);
    EXPECT_EQ(bool(b.OnPixelCombine), mode != 0);
    if (mode == 0 || !b.OnPixelCombine) return;
    for (int i = 0; i < 16; ++i) {
      const uint32_t F = rng(), under = rng();
      uint32_t got = under, want = under;
      b.OnPixelCombine(F, got, 255);
      if (mode == app::ColorModePattern) {
        if (got != under) ASSERT_EQ(got, F);
        continue;
      }
      if (mode <= app::ColorModeLastHandler)
        want = overlay_model::Interact(mode, F, under);
      else {
        gfx::TPixelCombineEvent blend;
        gfx::SelectBlendModeCombiner(mode - app::ColorModeLastHandler, blend);
        blend(F, want, 255);
      }
      ASSERT_EQ(got, want) << "mode " << mode;
    }
  }

  std::string answer;
  test_support::DialogUser<app::TToolsMenuForm> user{
      [] { return dynamic_cast<app::TToolsMenuForm*>(plat::Screen().ActiveForm()); }};
  std::mt19937 rng{164};
};

// Each use of a menu: the user picks one thing (the next or previous mode by the arrows, a turn or
// flip by Tab, the arrows and Space, Invert or Gray Scale by the mouse) or leaves with Esc. The
// layer's and the picture's pixels and interaction follow the model; the picture menu's modes are
// the layer menu's by their names.
TEST_F(ToolsOracle, RandomPicksChangeLayerAndPictureAsTheModelSays) {
  Sheet background = Write("bg.bmp", 31, 17);
  form->mnFileOpenClick(nullptr);
  Sheet layer = Write("layer.bmp", 13, 9);
  form->mnWaterMarkSelectClick(nullptr);
  auto* L = dynamic_cast<gfx::TBitmapLayer*>(form->SelectedLayer);
  ASSERT_NE(L, nullptr);
  int layerMode = 0, pictureMode = 0, bound = 0;
  bool opened = true;
  for (int round = 0; round < 120; ++round) {
    SCOPED_TRACE(round);
    const bool onLayer = rng() % 2;
    Sheet& p = onLayer ? layer : background;
    int& mode = onLayer ? layerMode : pictureMode;
    const std::vector<std::string>& modes = onLayer ? LayerModes : PictureModes;
    const int what = int(rng() % 5);
    std::string caption;
    user.Next([&](app::TToolsMenuForm& menu) {
      caption = menu.Caption();
      std::vector<std::string> items;
      for (int i = 0; i < menu.ColorRadioGroup->Items()->Count(); ++i)
        items.push_back((*menu.ColorRadioGroup->Items())[i]);
      EXPECT_EQ(items, modes);
      EXPECT_EQ(menu.ColorRadioGroup->ItemIndex(), mode);
      EXPECT_EQ(menu.InvertCheckBox->Checked(), p.inverted);
      EXPECT_EQ(menu.GrayCheckBox->Checked(), p.grey);
      EXPECT_EQ(menu.FunctionRadioGroup->ItemIndex(), -1);
      switch (what) {
        case 0: {
          Reach(menu, *menu.ColorRadioGroup);
          const bool down = mode == 0 || (mode + 1 < int(modes.size()) && rng() % 2);
          plat::PressKey(menu, down ? plat::VK_DOWN : plat::VK_UP);
          mode += down ? 1 : -1;
          break;
        }
        case 1: {
          const int f = int(rng() % 5);
          Reach(menu, *menu.FunctionRadioGroup);
          for (int i = 0; i < f; ++i) plat::PressKey(menu, plat::VK_DOWN);
          plat::PressKey(menu, plat::VK_SPACE, " ");
          p.Turn(f);
          break;
        }
        case 2:
          Tick(*menu.InvertCheckBox);
          p.Invert();
          break;
        case 3:
          Tick(*menu.GrayCheckBox);
          p.Greyen();
          break;
        default:
          plat::PressKey(menu, plat::VK_ESCAPE);
      }
    });
    plat::PressKey(*form, onLayer ? 'X' : 'Q', onLayer ? "x" : "q");
    EXPECT_TRUE(user.Acted()) << "no menu showed";
    EXPECT_EQ(caption, onLayer ? "Frame Menu" : "Picture Menu");
    const gfx::TBitmap32& b = onLayer ? L->Bitmap() : form->ImgView->Bitmap();
    ASSERT_EQ(b.Width(), p.w);
    ASSERT_EQ(b.Height(), p.h);
    ASSERT_EQ(PixelsOf(b), p.shown) << (onLayer ? "layer" : "picture");
    if (onLayer) {
      EXPECT_EQ(L->ColorMode, mode);
      ExpectMode(b, mode);
    } else {
      EXPECT_EQ(form->BackgroundColorMode, mode);
      // A separator binds nothing: the last interaction stays.
      const bool separator = modes[size_t(mode)] == "---";
      if (!separator)
        bound = int(std::find(LayerModes.begin(), LayerModes.end(), modes[size_t(mode)]) -
                    LayerModes.begin());
      opened = opened && what != 0;
      ExpectMode(b, bound, separator, opened);
    }
  }
}

}  // namespace
