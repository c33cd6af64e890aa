// Dragging a control onto another with the mouse: the targets under the pointer are asked,
// the cursor says whether they accept, and the drop, Esc or a refusal end the drag.
#include <gtest/gtest.h>

#include <string>

#include "platform/windows/Application.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/FormReader.h"
#include "platform/windows/Forms.h"
#include "platform/windows/TestSeams.h"
#include "support/ShownForm.h"

namespace plat {
namespace {

const char* StateName(TDragState state) {
  return state == dsDragEnter ? "enter" : state == dsDragLeave ? "leave" : "move";
}

class Dragging : public test_support::ShownFormTest {
 protected:
  Dragging() : ShownFormTest({40, 40, 440, 340}) {}
  void SetUp() override {
    ShownFormTest::SetUp();
    source = Add<TPanel>(10, 10, 60, 60);
    target = Add<TPanel>(100, 10, 120, 100);
    other = Add<TPanel>(250, 10, 100, 100);
    source->SetName("source");
    target->SetName("target");
    source->OnStartDrag = [this](TObject*, TDragObject*&) { log += "start;"; };
    source->OnEndDrag = [this](TObject*, TObject* to, int x, int y) {
      log += "end " + Name(to) + " " + std::to_string(x) + "," + std::to_string(y) + ";";
    };
    source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
      log += "source down;";
    };
    source->OnClick = [this](TObject*) { log += "source click;"; };
    // The target takes drops on its left half only.
    target->OnDragOver = [this](TObject* sender, TObject* from, int x, int y, TDragState state,
                                bool& accept) {
      EXPECT_EQ(sender, target);
      accept = x < 60;
      log += std::string("over ") + StateName(state) + " " + Name(from) + " " + std::to_string(x) +
             "," + std::to_string(y) + ";";
    };
    target->OnDragDrop = [this](TObject*, TObject* from, int x, int y) {
      log += "drop " + Name(from) + " " + std::to_string(x) + "," + std::to_string(y) + ";";
    };
    Application().ProcessMessages();
  }
  static std::string Name(TObject* object) {
    auto* component = dynamic_cast<TComponent*>(object);
    return component ? component->Name() : object ? "object" : "none";
  }
  void At(TControl& control, TMouseAction action, TPoint p) {
    TestHooks().cursorPos = control.ClientToScreen(p);
    SimulateMouse(control, action, mbLeft, p);
  }

  TTestHooksScope hooks;
  TPanel* source = nullptr;
  TPanel* target = nullptr;
  TPanel* other = nullptr;
  std::string log;
};

TEST_F(Dragging, AnAutomaticDragAsksTheTargetsUnderThePointerAndDrops) {
  source->SetDragMode(dmAutomatic);
  At(*source, TMouseAction::Press, {20, 20});
  EXPECT_TRUE(source->Dragging());
  EXPECT_EQ(log, "start;");  // the press started the drag and is no press of the source
  EXPECT_EQ(DragCursorShown(), crNoDrop);  // over the source, which takes nothing

  log.clear();
  At(*target, TMouseAction::Move, {20, 30});
  EXPECT_EQ(DragCursorShown(), crDrag);
  At(*target, TMouseAction::Move, {25, 30});
  At(*target, TMouseAction::Move, {80, 30});
  EXPECT_EQ(DragCursorShown(), crNoDrop);
  At(*other, TMouseAction::Move, {5, 5});
  At(*target, TMouseAction::Move, {10, 12});
  EXPECT_EQ(log,
            "over enter source 20,30;over move source 25,30;over move source 80,30;"
            "over leave source 155,5;over enter source 10,12;");

  log.clear();
  At(*target, TMouseAction::Release, {10, 12});
  EXPECT_EQ(log, "over leave source 10,12;drop source 10,12;end target 10,12;");
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(DragCursorShown(), crDefault);
}

TEST_F(Dragging, AManualDragStartsPastItsThresholdSoThatAClickStaysAClick) {
  source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
    log += "source down;";
    source->BeginDrag(false);
  };
  At(*source, TMouseAction::Press, {20, 20});
  At(*source, TMouseAction::Release, {20, 20});
  EXPECT_EQ(log, "source down;start;end none 0,0;source click;");
  EXPECT_FALSE(source->Dragging());

  log.clear();
  At(*source, TMouseAction::Press, {20, 20});
  At(*source, TMouseAction::Move, {23, 22});  // within the threshold: no drag yet
  EXPECT_EQ(DragCursorShown(), crDefault);
  At(*target, TMouseAction::Move, {30, 30});
  At(*target, TMouseAction::Release, {30, 30});
  EXPECT_EQ(log,
            "source down;start;over enter source 30,30;over leave source 30,30;"
            "drop source 30,30;end target 30,30;");
}

TEST_F(Dragging, EscAndARefusedDropEndWithoutADrop) {
  source->SetDragMode(dmAutomatic);
  At(*source, TMouseAction::Press, {20, 20});
  At(*target, TMouseAction::Move, {90, 30});  // the half that refuses
  log.clear();
  At(*target, TMouseAction::Release, {90, 30});
  EXPECT_EQ(log, "over leave source 90,30;end none 0,0;");

  log.clear();
  At(*source, TMouseAction::Press, {20, 20});
  At(*target, TMouseAction::Move, {20, 30});
  SimulateKey(*target, VK_ESCAPE, "\x1b");
  EXPECT_FALSE(source->Dragging());
  EXPECT_EQ(DragCursorShown(), crDefault);
  At(*target, TMouseAction::Move, {22, 30});
  At(*target, TMouseAction::Release, {22, 30});
  EXPECT_EQ(log, "start;over enter source 20,30;over leave source 20,30;end none 0,0;");
}

TEST_F(Dragging, TheObjectOfOnStartDragTravelsAndTheDragCursorShows) {
  TDragObject carried;
  source->SetDragMode(dmAutomatic);
  source->SetDragCursor(crHandPoint);
  source->OnStartDrag = [&](TObject*, TDragObject*& object) { object = &carried; };
  TObject* received = nullptr;
  target->OnDragDrop = [&](TObject*, TObject* from, int, int) { received = from; };
  At(*source, TMouseAction::Press, {20, 20});
  At(*target, TMouseAction::Move, {20, 30});
  EXPECT_EQ(DragCursorShown(), crHandPoint);
  At(*target, TMouseAction::Release, {20, 30});
  EXPECT_EQ(received, &carried);
}

TEST_F(Dragging, ControlsFreedDuringTheDragAreForgotten) {
  source->SetDragMode(dmAutomatic);
  // The target goes as the drag enters it; the next one is asked as usual.
  target->OnDragOver = [this](TObject*, TObject*, int, int, TDragState, bool& accept) {
    accept = true;
    form.DestroyComponent(target);
    target = nullptr;
  };
  At(*source, TMouseAction::Press, {20, 20});
  TPoint onTarget = form.ScreenToClient(target->ClientToScreen({20, 30}));
  At(form, TMouseAction::Move, onTarget);
  EXPECT_EQ(target, nullptr);
  At(form, TMouseAction::Move, {onTarget.X + 2, onTarget.Y});
  EXPECT_EQ(DragCursorShown(), crNoDrop);
  // The source goes while dragged: the drag ends without a word.
  log.clear();
  form.DestroyComponent(source);
  EXPECT_EQ(DragCursorShown(), crDefault);
  At(form, TMouseAction::Release, onTarget);
  EXPECT_EQ(log, "");
}

struct DragHost {
  void Over(TObject*, TObject*, int, int, TDragState, bool& accept) { accept = false; }
};

TEST_F(Dragging, LayoutsSetTheDragPropertiesAndEvents) {
  TForm host{nullptr};
  DragHost handlers;
  TFormBindings bindings;
  bindings.Handler("Over", &handlers, &DragHost::Over);
  ReadLayoutText(host,
                 "TForm Host {\n"
                 "  TPanel Area { DragMode = dmAutomatic DragCursor = crHandPoint "
                 "OnDragOver = Over }\n"
                 "}\n",
                 "host.form", bindings);
  auto* area = dynamic_cast<TPanel*>(host.FindComponent("Area"));
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(area->DragMode(), dmAutomatic);
  EXPECT_EQ(area->DragCursor(), crHandPoint);
  EXPECT_TRUE(area->OnDragOver);
}

}  // namespace
}  // namespace plat
