// Random keys and wheel turns on pages taller and wider than the view, through the window's own
// events, against a model of where each one leaves the view.
#include <random>
#include <string>

#include "InteractionFixture.h"

namespace html::test {
namespace {

TEST_F(ViewerInteraction, KeysAndWheelMoveTheViewAsTheModelSays) {
  std::mt19937 random(102);
  const int lines = plat::Mouse().WheelScrollLines();
  ASSERT_GE(lines, 1);
  for (int page = 0; page < 4; ++page) {
    viewer->SetBounds(0, 0, 150 + int(random() % 250), 100 + int(random() % 200));
    std::string text = "<pre>";
    for (int line = 0; line < 40 + int(random() % 80); ++line)
      text += std::string(size_t(10 + random() % 150), 'w') + "\n";
    Load(text + "</pre>");
    viewer->SetFocus();
    const int32_t bottom = viewer->ScrollHeight() - Panel().Height();
    const int32_t right = viewer->HScrollBar().Max() - Panel().Width();
    const int32_t pageStep = viewer->VScrollBar().LargeChange();
    ASSERT_EQ(pageStep, Panel().Height() - 16);
    int32_t y = 0, x = 0;
    for (int step = 0; step < 120; ++step) {
      static const uint16_t keys[] = {plat::VK_PRIOR, plat::VK_NEXT, plat::VK_HOME, plat::VK_END,
                                      plat::VK_UP,    plat::VK_DOWN, plat::VK_LEFT, plat::VK_RIGHT};
      const int choice = int(random() % 10);
      if (choice < 8) {
        const uint16_t key = keys[choice];
        // With a modifier held the keys are the program's.
        const plat::TShiftState shift = random() % 6 == 0 ? plat::ssCtrl : 0;
        plat::SimulateKey(*viewer, key, "", shift);
        if (shift == 0) {
          switch (key) {
            case plat::VK_PRIOR:
              y -= pageStep;
              break;
            case plat::VK_NEXT:
              y += pageStep;
              break;
            case plat::VK_HOME:
              y = 0;
              break;
            case plat::VK_END:
              y = bottom;
              break;
            case plat::VK_UP:
              y -= 16;
              break;
            case plat::VK_DOWN:
              y += 16;
              break;
            case plat::VK_LEFT:
              x -= 15;
              break;
            default:
              x += 15;
              break;
          }
        }
      } else {
        const int delta = random() % 2 ? 120 : -120;
        plat::SimulateWheel(Panel(), delta, {20, 20});
        y += delta > 0 ? -lines * 16 : lines * 16;
      }
      y = std::clamp(y, 0, std::max(0, bottom));
      x = std::clamp(x, 0, std::max(0, right));
      ASSERT_EQ(viewer->Position(), y) << "page " << page << " step " << step;
      ASSERT_EQ(viewer->Document().ScrollY, y) << "page " << page << " step " << step;
      ASSERT_EQ(viewer->HScrollBar().Position(), x) << "page " << page << " step " << step;
    }
  }
}

}  // namespace
}  // namespace html::test
