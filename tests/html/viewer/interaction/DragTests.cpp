// Dragging a control of the host onto a page: the viewer's drag events answer for its drawing
// surface, with the viewer as sender and points of the surface.
#include <string>
#include <vector>

#include "InteractionFixture.h"
#include "platform/windows/ExtCtrls.h"

namespace html::test {
namespace {

class ViewerDrag : public ViewerInteraction {
 protected:
  void SetUp() override {
    ViewerInteraction::SetUp();
    Load("<p>drop here</p>");
    // A control of the host over a corner of the page, dragged by a press.
    source = Add<plat::TPanel>(340, 240, 40, 40);
    source->SetDragMode(plat::dmAutomatic);
    plat::Application().ProcessMessages();
  }
  void StartDrag() {
    plat::TestHooks().cursorPos = source->ClientToScreen({10, 10});
    plat::SimulateMouse(*source, plat::TMouseAction::Press, plat::mbLeft, {10, 10});
  }

  plat::TPanel* source = nullptr;
};

TEST_F(ViewerDrag, TheViewersEventsAnswerForThePage) {
  std::vector<std::string> heard;
  viewer->OnDragOver = [&](plat::TObject* sender, plat::TObject* from, int x, int y,
                           plat::TDragState state, bool& accept) {
    EXPECT_EQ(sender, viewer);
    EXPECT_EQ(from, source);
    EXPECT_TRUE(accept);  // accepted unless the handler says otherwise
    if (state == plat::dsDragMove)
      heard.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };
  viewer->OnDragDrop = [&](plat::TObject* sender, plat::TObject* from, int x, int y) {
    EXPECT_EQ(sender, viewer);
    EXPECT_EQ(from, source);
    heard.push_back("drop " + std::to_string(x) + "," + std::to_string(y));
  };
  StartDrag();
  Move({50, 20}, plat::ssLeft);
  Move({60, 25}, plat::ssLeft);
  EXPECT_EQ(plat::DragCursorShown(), plat::crDrag);
  Release({60, 25});
  EXPECT_EQ(heard, (std::vector<std::string>{"move 60,25", "drop 60,25"}));
  EXPECT_EQ(viewer->SelText(), u"");  // the drag selected nothing on the page

  // Without them the page takes no drop.
  heard.clear();
  viewer->OnDragOver = nullptr;
  StartDrag();
  Move({50, 20}, plat::ssLeft);
  EXPECT_EQ(plat::DragCursorShown(), plat::crNoDrop);
  Release({50, 20});
  EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace html::test
