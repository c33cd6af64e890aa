// The tools menus used with the mouse and keys in a real modal run, as a user picks from them.
#include <gtest/gtest.h>

#include <functional>

#include "app/tools/ToolsMenus.h"
#include "platform/runtime/Timers.h"
#include "platform/windows/Application.h"
#include "platform/windows/TestSeams.h"

namespace {

// Runs the menu modally; Act runs once the menu shows.
plat::TModalResult RunWith(app::TToolsMenuForm& menu, std::function<void()> act) {
  plat::TTimer once(nullptr);
  once.SetInterval(20);
  once.OnTimer = [&](plat::TObject*) {
    once.SetEnabled(false);
    act();
  };
  once.SetEnabled(true);
  return menu.ShowModal();
}

void Click(plat::TControl& control, plat::TPoint at) {
  plat::SimulateMouse(control, plat::TMouseAction::Press, plat::mbLeft, at);
  plat::SimulateMouse(control, plat::TMouseAction::Release, plat::mbLeft, at);
}

TEST(ToolsMenuByHand, ClickingAFunctionOrABoxPicksItAndEndsTheRun) {
  app::TColorFunctionsForm menu(nullptr);
  menu.SetFrameFunction(-1);
  // The last of the ten function items sits at the bottom of its group.
  plat::TRadioGroup& functions = *menu.FunctionRadioGroup;
  const plat::TPoint erase{16, functions.Height() - 18};
  RunWith(menu, [&] { Click(functions, erase); });
  EXPECT_EQ(menu.FrameFunction(), app::ffErase);
  EXPECT_FALSE(menu.Visible());

  app::TBGPictFunctionsForm picture(nullptr);
  picture.SetGrayScale(false);
  RunWith(picture, [&] { Click(*picture.GrayCheckBox, {6, picture.GrayCheckBox->Height() / 2}); });
  EXPECT_TRUE(picture.GrayScale());
  EXPECT_EQ(picture.FrameFunction(), -1);
  EXPECT_FALSE(picture.Visible());
}

TEST(ToolsMenuByHand, EscapeCancelsAndEnterConfirms) {
  app::TColorFunctionsForm menu(nullptr);
  EXPECT_EQ(RunWith(menu, [&] { plat::SimulateKey(menu, 0x1B, "\x1b"); }), plat::mrCancel);
  EXPECT_EQ(RunWith(menu, [&] { plat::SimulateKey(menu, 0x0D, "\r"); }), plat::mrOk);
}

}  // namespace
