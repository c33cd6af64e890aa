// What the page fuzzers share: the page engine on Qt's off-screen platform, and a document laid
// out and painted at widths from nothing to very wide.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "html/HtmlEngine.h"
#include "html/layout/sections/PageSections.h"
#include "platform/drawing/DeviceContext.h"
#include "platform/windows/Application.h"
#include "platform/windows/QtRuntime.h"

namespace page_fuzzing {

inline void StartPageEngine() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  plat::EnsureQtApplication();
  html::StartHtmlEngine();
}

// Freed controls leave their windows to be deleted by the event loop; none runs here, so an
// input's windows would pile up for the whole run. Declared first in an input, it delivers the
// pending messages, and so frees those windows, when the input ends.
struct FreeWindowsAtEnd {
  FreeWindowsAtEnd() = default;
  FreeWindowsAtEnd(const FreeWindowsAtEnd&) = delete;
  FreeWindowsAtEnd& operator=(const FreeWindowsAtEnd&) = delete;
  ~FreeWindowsAtEnd() { plat::Application().ProcessMessages(); }
};

// The defaults a viewer hands a document before it is built.
inline void ApplyViewerDefaults(html::TSectionList& document) {
  document.ApplyDefaults("DejaVu Sans", "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0xFF,
                         0xFFFFFF, true, true, 0, 8, 10);
}

// Lays the document out and paints it at each width; scrolled by a quarter of the width when
// asked.
inline void LayOutAndPaint(html::TSectionList& document, bool scroll) {
  std::vector<uint32_t> pixels(200 * 100, 0xFFFFFFFFu);
  plat::DeviceContext dc(pixels.data(), 200, 100, 200 * 4);
  plat::TCanvas canvas(&dc);
  for (int32_t width : {0, 37, 200, 1000}) {
    int32_t scrollWidth = 0, pos = 0;
    document.Layout(canvas, 0, width, 100, 0, scrollWidth, pos);
    if (scroll) document.SetScrollY(width / 4);
    document.Draw(canvas, {0, 0, 200, 100}, 200, 0, 0, 0, 0);
  }
}

}  // namespace page_fuzzing
