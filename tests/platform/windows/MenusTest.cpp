// Popup menus: shown by a right click after the control's own mouse events, by the parent's menu
// when a control has none, built from their items, read from stored layouts, and clicked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/windows/Application.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/FormReader.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

class Menus : public test_support::ShownFormTest {
 protected:
  Menus() : ShownFormTest({30, 30, 430, 330}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    panel = Add<TPanel>(20, 20, 200, 150);
    menu = form.Make<TPopupMenu>();
    Application().ProcessMessages();
  }
  TMenuItem* Item(TMenuItem* parent, const std::string& caption) {
    auto* item = form.Make<TMenuItem>();
    item->SetCaption(caption);
    item->OnClick = [this, caption](TObject* sender) {
      EXPECT_NE(dynamic_cast<TMenuItem*>(sender), nullptr);
      log += "click " + caption + ";";
    };
    parent->Add(item);
    return item;
  }
  // What the next menu shows, and the entry to click in it.
  void Answer(std::vector<int> path) {
    TestHooks().popupMenu = [this, path](const std::vector<TShownMenuEntry>& entries, TPoint at) {
      shown = entries;
      shownAt = at;
      log += "menu;";
      return path;
    };
  }
  void RightClick(TControl& control, TPoint at) {
    SimulateMouse(control, TMouseAction::Press, mbRight, at);
    SimulateMouse(control, TMouseAction::Release, mbRight, at);
  }

  TTestHooksScope hooks;
  TPanel* panel = nullptr;
  TPopupMenu* menu = nullptr;
  std::string log;
  std::vector<TShownMenuEntry> shown;
  TPoint shownAt{};
};

TEST_F(Menus, ARightClickShowsTheMenuAfterTheControlsOwnEvents) {
  Item(menu->Items(), "&Copy");
  Item(menu->Items(), "-");
  Item(menu->Items(), "Wrap")->SetChecked(true);
  Item(menu->Items(), "Save")->SetEnabled(false);
  Item(menu->Items(), "Hidden")->SetVisible(false);
  TMenuItem* more = Item(menu->Items(), "More");
  Item(more, "Inner && outer");
  panel->SetPopupMenu(menu);
  panel->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int, int) {
    if (b == mbRight) log += "down;";
  };
  panel->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int, int) {
    if (b == mbRight) log += "up;";
  };
  Answer({0});
  RightClick(*panel, {40, 30});
  EXPECT_EQ(log, "down;up;menu;click &Copy;");
  EXPECT_EQ(menu->PopupComponent(), panel);
  EXPECT_EQ(shownAt, panel->ClientToScreen({40, 30}));
  ASSERT_EQ(shown.size(), 5u);  // the hidden item is left out
  EXPECT_EQ(shown[0].Caption, "&Copy");
  EXPECT_TRUE(shown[1].Separator);
  EXPECT_TRUE(shown[2].Checked);
  EXPECT_FALSE(shown[0].Checked);
  EXPECT_FALSE(shown[3].Enabled);
  ASSERT_EQ(shown[4].Entries.size(), 1u);
  EXPECT_EQ(shown[4].Entries[0].Caption, "Inner && outer");

  // Into the submenu; a disabled entry, a separator or a submenu itself click nothing.
  for (const std::vector<int>& path :
       std::vector<std::vector<int>>{{4, 0}, {3}, {1}, {4}, {}, {9}}) {
    log.clear();
    Answer(path);
    RightClick(*panel, {40, 30});
    const bool inner = path == std::vector<int>{4, 0};
    EXPECT_EQ(log, inner ? "down;up;menu;click Inner && outer;" : "down;up;menu;");
  }
}

TEST_F(Menus, AControlWithoutAMenuShowsItsParents) {
  form.SetPopupMenu(menu);
  Item(menu->Items(), "Form item");
  Answer({0});
  RightClick(*panel, {10, 10});
  EXPECT_EQ(log, "menu;click Form item;");
  EXPECT_EQ(menu->PopupComponent(), &form);

  // A left click shows nothing; a freed menu is forgotten.
  log.clear();
  SimulateMouse(*panel, TMouseAction::Press, mbLeft, {10, 10});
  SimulateMouse(*panel, TMouseAction::Release, mbLeft, {10, 10});
  form.DestroyComponent(menu);
  EXPECT_EQ(form.PopupMenu(), nullptr);
  RightClick(*panel, {10, 10});
  EXPECT_EQ(log, "");
}

TEST_F(Menus, AHandlerMayFreeTheMenuAndTheControl) {
  panel->SetPopupMenu(menu);
  TMenuItem* item = Item(menu->Items(), "Close");
  item->OnClick = [this](TObject*) {
    form.DestroyComponent(panel);
    form.DestroyComponent(menu);
    log += "freed;";
  };
  Answer({0});
  RightClick(*panel, {10, 10});
  EXPECT_EQ(log, "menu;freed;");
  Application().ProcessMessages();
}

TEST_F(Menus, TheShownMenuIsClickedWithTheMouse) {
  Item(menu->Items(), "First");
  Item(menu->Items(), "Second");
  panel->SetPopupMenu(menu);
  RightClick(*panel, {40, 30});
  Application().ProcessMessages();
  EXPECT_EQ(log, "");  // nothing chosen yet
  ASSERT_TRUE(ClickPopupMenuEntry(1));
  Application().ProcessMessages();
  EXPECT_EQ(log, "click Second;");
  EXPECT_FALSE(ClickPopupMenuEntry(0));  // the menu closed with the click

  // Changing the items while the menu shows closes it.
  menu->Popup(100, 100);
  Item(menu->Items(), "Third");
  EXPECT_FALSE(ClickPopupMenuEntry(0));
}

TEST_F(Menus, ItemsMoveBetweenMenusAndCannotHoldThemselves) {
  TMenuItem* a = Item(menu->Items(), "A");
  TMenuItem* b = Item(a, "B");
  EXPECT_THROW(b->Add(a), EMenuError);
  EXPECT_THROW(a->Add(a), EMenuError);
  menu->Items()->Insert(0, b);
  EXPECT_EQ(a->Count(), 0);
  EXPECT_EQ(menu->Items()->IndexOf(b), 0);
  EXPECT_EQ(b->GetParentMenu(), menu);
  form.DestroyComponent(b);
  EXPECT_EQ(menu->Items()->Count(), 1);
  form.DestroyComponent(menu);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(a->GetParentMenu(), nullptr);
}

struct MenuHost {
  void CopyClick(TObject*) { ++copies; }
  int copies = 0;
};

TEST_F(Menus, LayoutsNestItemsAndNameTheMenuOfAControl) {
  TForm host{nullptr};
  MenuHost handlers;
  TFormBindings bindings;
  bindings.Handler("CopyClick", &handlers, &MenuHost::CopyClick);
  ReadLayoutText(host,
                 "TForm Host {\n"
                 "  TPanel Area { PopupMenu = AreaMenu }\n"
                 "  TPopupMenu AreaMenu {\n"
                 "    TMenuItem CopyItem { Caption = \"&Copy\" OnClick = CopyClick }\n"
                 "    TMenuItem ViewItem {\n"
                 "      Caption = \"View\"\n"
                 "      TMenuItem ZoomItem { Caption = \"Zoom\" Checked = True Enabled = False }\n"
                 "    }\n"
                 "  }\n"
                 "}\n",
                 "host.form", bindings);
  auto* area = dynamic_cast<TPanel*>(host.FindComponent("Area"));
  auto* areaMenu = dynamic_cast<TPopupMenu*>(host.FindComponent("AreaMenu"));
  ASSERT_NE(area, nullptr);
  ASSERT_EQ(area->PopupMenu(), areaMenu);
  ASSERT_EQ(areaMenu->Items()->Count(), 2);
  TMenuItem* view = areaMenu->Items()->Items(1);
  ASSERT_EQ(view->Count(), 1);
  EXPECT_TRUE(view->Items(0)->Checked());
  EXPECT_FALSE(view->Items(0)->Enabled());
  areaMenu->Items()->Items(0)->Click();
  EXPECT_EQ(handlers.copies, 1);
  EXPECT_THROW(ReadLayoutText(host, "TForm Host { TMenuItem Stray { } }\n", "bad.form", bindings),
               EReadError);
}

}  // namespace
}  // namespace plat
