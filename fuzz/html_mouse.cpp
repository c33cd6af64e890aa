// A page from arbitrary bytes under the mouse: the first byte chooses the viewer's size, the
// second seeds a walk of the pointer across the page and past its edges, with moves, drags,
// clicks, double and right clicks, the wheel and sideways scrolling. Links to names in the page
// are followed (with history and visited list); links to files are taken by the program, so
// nothing is loaded.
#include <cstddef>
#include <cstdint>
#include <string>

#include "PageFuzzing.h"
#include "html/viewer/PageViewer.h"
#include "platform/windows/TestSeams.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  page_fuzzing::StartPageEngine();
  return 0;
}

namespace {

constexpr int kSteps = 32;

class TFuzzedViewer : public html::TPageViewer {
 public:
  using html::TPageViewer::TPageViewer;
  void Wheel(int delta) { DoMouseWheel(0, delta, {0, 0}); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const page_fuzzing::FreeWindowsAtEnd freeWindows;
  TFuzzedViewer viewer{nullptr};
  viewer.SetBounds(0, 0, 60 + (data[0] & 0x0F) * 20, 40 + (data[0] >> 4) * 15);
  viewer.SetHistoryMaxCount(3);
  viewer.OnHotSpotClick = [](plat::TObject*, const std::string& url, bool& handled) {
    handled = url.empty() || url[0] != '#';
  };
  viewer.OnRightClick = [](plat::TObject*, html::TRightClickParameters&) {};
  viewer.OnImageOver = [](plat::TObject*, plat::TObject*, plat::TShiftState, int, int) {};
  const std::string page(reinterpret_cast<const char*>(data + 2), size - 2);
  try {
    viewer.LoadFromString(page, "/fuzz/page.html");
  } catch (const plat::Exception&) {
    return 0;  // a parse error is a clear refusal
  }
  const uint32_t width = uint32_t(viewer.PaintPanel().Width()) + 40;
  const uint32_t height = uint32_t(viewer.PaintPanel().Height()) + 40;
  uint32_t walk = data[1];
  for (int step = 0; step < kSteps; ++step) {
    walk = walk * 1103515245u + 12345u;
    const int x = int((walk >> 8) % width) - 20;
    const int y = int((walk >> 18) % height) - 20;
    switch (walk & 7) {
      case 0:
      case 1:
        viewer.DocMouseMove(0, x, y);
        break;
      case 2:
        viewer.DocMouseMove(plat::ssLeft, x, y);
        break;
      case 3:
        viewer.DocMouseDown(plat::mbLeft, (walk & 0x10) ? plat::ssShift : 0, x, y);
        break;
      case 4:
        viewer.DocMouseUp(plat::mbLeft, 0, x, y);
        break;
      case 5:
        viewer.DocMouseDouble(plat::ssLeft | plat::ssDouble, x, y);
        break;
      case 6:
        viewer.DocMouseDown(plat::mbRight, 0, x, y);
        viewer.DocMouseUp(plat::mbRight, 0, x, y);
        break;
      default:
        if (walk & 0x20) {
          // Hit tests find what the last paint placed.
          viewer.SetHorzPosition(x * 7);
          plat::CaptureControl(viewer.PaintPanel());
        } else {
          viewer.Wheel((walk & 0x10) ? 120 : -120);
        }
        break;
    }
  }
  viewer.SelText();
  return 0;
}
