// A page from arbitrary bytes in a viewer: the first two bytes choose the viewer's size, scroll
// bars and options; the rest is loaded as the page (META refresh included), laid out, scrolled,
// painted and used as a link name to expand.
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const page_fuzzing::FreeWindowsAtEnd freeWindows;
  const uint8_t shape = data[0], options = data[1];
  html::TPageViewer viewer{nullptr};
  viewer.SetBounds(0, 0, 8 + (shape & 0x0F) * 20, 8 + ((shape >> 4) & 0x0F) * 12);
  viewer.SetScrollBars(plat::TScrollStyle(options & 3));
  viewer.SetBorderStyle(html::THTMLBorderStyle((options >> 2) % 3));
  if (options & 0x10) viewer.SethtOptions(html::HtOption(html::htShowVScroll));
  viewer.OnMetaRefresh = [](plat::TObject*, int, const std::string&) {};
  const std::string page(reinterpret_cast<const char*>(data + 2), size - 2);
  try {
    viewer.LoadFromBuffer(page.data(), int64_t(page.size()), "");
  } catch (const plat::Exception&) {
    return 0;  // a parse error is a clear refusal
  }
  viewer.ScrollTo(int32_t(options) * 37);
  viewer.SetHorzPosition(int32_t(options) * 11);
  plat::CaptureControl(viewer.PaintPanel());
  viewer.ExpandRelativeFileName(page.substr(0, 200));
  viewer.SetBounds(0, 0, 7 + (shape & 0x0F) * 13, 50);
  return 0;
}
