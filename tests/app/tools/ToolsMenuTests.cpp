// The layer and picture tools menus on their own: their lists against the colour modes, and how
// a run ends.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/colors/ColorInteraction.h"
#include "app/tools/ToolsMenus.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"

namespace {

std::vector<std::string> Items(const plat::TRadioGroup& group) {
  std::vector<std::string> items;
  for (int i = 0; i < group.Items()->Count(); ++i) items.push_back((*group.Items())[i]);
  return items;
}

class ToolsMenu : public testing::Test {
 protected:
  void TearDown() override { plat::TestHooks() = plat::TTestHooks{}; }
};

TEST_F(ToolsMenu, LayerListFollowsTheModeNumbers) {
  app::TColorFunctionsForm menu(nullptr);
  EXPECT_EQ(menu.Caption(), "Frame Menu");
  EXPECT_EQ(menu.Color(), plat::clSilver);
  const auto colors = Items(*menu.ColorRadioGroup);
  ASSERT_EQ(colors.size(), 37u);
  for (size_t mode = 0; mode < app::ColorInteractionNames.size(); ++mode)
    EXPECT_EQ(colors[mode], app::ColorInteractionNames[mode]) << mode;
  // Blend mode n sits at mode n + 10.
  EXPECT_EQ(colors[11], "Multiply");
  EXPECT_EQ(colors[26], "Exclusion 2");
  EXPECT_EQ(colors[34], "Hue");
  EXPECT_EQ(colors[36], "Lightness");
  EXPECT_EQ(menu.FunctionRadioGroup->Caption(), " Frame Functions ");
  const auto functions = Items(*menu.FunctionRadioGroup);
  ASSERT_EQ(functions.size(), 10u);
  EXPECT_EQ(functions[app::ffExtendedColor], "Extended RGB Options");
  EXPECT_EQ(functions[app::ffErase], "Erase");
}

TEST_F(ToolsMenu, PictureListMapsOntoTheLayerListsModes) {
  app::TColorFunctionsForm layerMenu(nullptr);
  app::TBGPictFunctionsForm menu(nullptr);
  EXPECT_EQ(menu.Caption(), "Picture Menu");
  EXPECT_EQ(menu.Color(), plat::clCream);
  const auto modes = Items(*layerMenu.ColorRadioGroup);
  const auto colors = Items(*menu.ColorRadioGroup);
  ASSERT_EQ(colors.size(), 36u);
  for (int i = 0; i < 36; ++i) {
    const int mode = app::PictureToolsColorMode(i);
    if (i == 25 || i == 33) {
      EXPECT_EQ(colors[size_t(i)], "---");
      EXPECT_EQ(mode, -1);
    } else {
      ASSERT_GE(mode, 0) << i;
      EXPECT_EQ(colors[size_t(i)], modes[size_t(mode)]) << i;
    }
  }
  EXPECT_EQ(menu.FunctionRadioGroup->Caption(), " Picture Functions ");
  const auto functions = Items(*menu.FunctionRadioGroup);
  ASSERT_EQ(functions.size(), 6u);
  EXPECT_EQ(functions[app::pfExtendedColor], "Extended RGB Options");
}

// The setters change the controls, whose handlers close the menu before it is shown; the run
// must still start afresh and wait for a choice.
TEST_F(ToolsMenu, SettersBeforeTheRunDoNotEndItAndCancelKeepsThem) {
  app::TColorFunctionsForm menu(nullptr);
  menu.SetColorMode(13);
  menu.SetInvertRGB(true);
  menu.SetGrayScale(true);
  menu.SetFrameFunction(-1);
  EXPECT_EQ(menu.ColorRadioGroup->ItemIndex(), 13);
  EXPECT_TRUE(menu.InvertCheckBox->Checked());
  EXPECT_TRUE(menu.GrayCheckBox->Checked());

  plat::TModalResult atStart = -1;
  plat::TestHooks().modal = [&](plat::TCustomForm& f) {
    atStart = f.ModalResult();
    menu.CancelButton->Click();
    return plat::mrNone;
  };
  EXPECT_EQ(menu.ShowModal(), plat::mrCancel);
  EXPECT_EQ(atStart, plat::mrNone);
  EXPECT_EQ(menu.ColorMode(), 13);
  EXPECT_EQ(menu.FrameFunction(), -1);
  EXPECT_TRUE(menu.InvertRGB());
  EXPECT_TRUE(menu.GrayScale());
}

TEST_F(ToolsMenu, EveryPickSetsItsValueAndEndsTheRunAtOnce) {
  struct Pick {
    const char* what;
    std::function<void(app::TToolsMenuForm&)> click;
  };
  const Pick picks[] = {
      {"grey", [](app::TToolsMenuForm& m) { m.GrayCheckBox->SetChecked(true); }},
      {"invert", [](app::TToolsMenuForm& m) { m.InvertCheckBox->SetChecked(false); }},
      {"mode", [](app::TToolsMenuForm& m) { m.ColorRadioGroup->SetItemIndex(21); }},
      {"function", [](app::TToolsMenuForm& m) { m.FunctionRadioGroup->SetItemIndex(4); }},
  };
  for (const Pick& pick : picks) {
    app::TBGPictFunctionsForm menu(nullptr);
    menu.SetColorMode(2);
    menu.SetFrameFunction(-1);
    menu.SetInvertRGB(true);
    menu.SetGrayScale(false);
    plat::TModalResult afterClick = plat::mrNone;
    plat::TestHooks().modal = [&](plat::TCustomForm& f) {
      pick.click(menu);
      afterClick = f.ModalResult();
      return plat::mrNone;
    };
    menu.ShowModal();
    EXPECT_NE(afterClick, plat::mrNone) << pick.what;
    const std::string what = pick.what;
    EXPECT_EQ(menu.GrayScale(), what == "grey") << what;
    EXPECT_EQ(menu.InvertRGB(), what != "invert") << what;
    EXPECT_EQ(menu.ColorMode(), what == "mode" ? 21 : 2) << what;
    EXPECT_EQ(menu.FrameFunction(), what == "function" ? 4 : -1) << what;
  }
}

// Without a test answer the menu runs its own loop; a pick made while it runs ends it.
TEST_F(ToolsMenu, APickEndsARealModalRun) {
  app::TColorFunctionsForm menu(nullptr);
  menu.SetFrameFunction(-1);
  plat::TTimer pick(nullptr);
  pick.SetInterval(10);
  pick.OnTimer = [&](plat::TObject*) {
    pick.SetEnabled(false);
    menu.FunctionRadioGroup->SetItemIndex(app::ffFlipVert);
  };
  pick.SetEnabled(true);
  EXPECT_EQ(menu.ShowModal(), plat::mrCancel);
  EXPECT_EQ(menu.FrameFunction(), app::ffFlipVert);
  EXPECT_FALSE(menu.Visible());
}

// From the keyboard alone: Tab to the functions, the arrows to an item further down, Space picks it
// and ends the run.
TEST_F(ToolsMenu, AFunctionFarDownThePictureMenuIsPickedWithKeys) {
  app::TBGPictFunctionsForm menu(nullptr);
  menu.SetFrameFunction(-1);
  bool reached = false;
  plat::TTimer keys(nullptr);
  keys.SetInterval(10);
  keys.OnTimer = [&](plat::TObject*) {
    keys.SetEnabled(false);
    for (int i = 0; i < 10 && !menu.FunctionRadioGroup->Focused(); ++i)
      plat::PressKey(menu, plat::VK_TAB);
    reached = menu.FunctionRadioGroup->Focused();
    for (int i = 0; i < app::pfExtendedColor; ++i) plat::PressKey(menu, plat::VK_DOWN);
    EXPECT_EQ(menu.FunctionRadioGroup->ItemIndex(), -1);
    plat::PressKey(menu, plat::VK_SPACE, " ");
  };
  keys.SetEnabled(true);
  menu.ShowModal();
  EXPECT_TRUE(reached);
  EXPECT_EQ(menu.FrameFunction(), app::pfExtendedColor);
  EXPECT_FALSE(menu.Visible());
}

TEST_F(ToolsMenu, ScreenshotsOfBothMenus) {
  const std::unique_ptr<app::TToolsMenuForm> menus[] = {
      std::make_unique<app::TColorFunctionsForm>(nullptr),
      std::make_unique<app::TBGPictFunctionsForm>(nullptr)};
  const char* names[] = {"tools-layer-menu.png", "tools-picture-menu.png"};
  for (int i = 0; i < 2; ++i) {
    app::TToolsMenuForm& menu = *menus[i];
    menu.SetInvertRGB(true);
    menu.Show();
    plat::Application().ProcessMessages();
    const std::string file = plat::JoinPath(plat::ScreenshotFolder(), names[i]);
    plat::SaveScreenshot(menu, file);
    EXPECT_TRUE(plat::FileExists(file));
    menu.Hide();
  }
}

}  // namespace
