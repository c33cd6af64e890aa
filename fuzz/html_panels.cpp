// Pages with PANEL and OBJECT tags from arbitrary bytes, with a host that sizes its panels and
// keeps or refuses objects: the first byte says how the host answers (one bit per object, then
// the panel size); the rest is the page, laid out at a few widths and painted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "html/DocumentBuilder.h"
#include "html/HtmlEngine.h"
#include "html/Panels.h"
#include "platform/DeviceContext.h"
#include "platform/QtRuntime.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  plat::EnsureQtApplication();
  html::StartHtmlEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  const uint8_t answers = data[0];
  const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
  html::TSectionList document(nullptr, nullptr);
  document.ApplyDefaults("DejaVu Sans", "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0xFF,
                         0xFFFFFF, true, true, 0, 8, 10);
  int objects = 0;
  document.ObjectTag = [&](plat::TObject*, html::ThvPanel*, const plat::TStringList&,
                           const plat::TStringList&,
                           bool& want) { want = (answers >> (objects++ % 4)) & 1; };
  document.PanelCreate = [&](plat::TObject*, const std::string&, const std::string&,
                             const std::string&, html::ThvPanel* panel) {
    panel->SetBounds(0, 0, (answers >> 4) * 9, (answers >> 6) * 7);
  };
  try {
    html::ParseHtmlDocument(page, document);
  } catch (const html::EParseError&) {
    return 0;
  }
  std::vector<uint32_t> pixels(200 * 100, 0xFFFFFFFFu);
  plat::DeviceContext dc(pixels.data(), 200, 100, 200 * 4);
  plat::TCanvas canvas(&dc);
  for (int32_t width : {0, 37, 200, 1000}) {
    int32_t scrollWidth = 0, pos = 0;
    document.Layout(canvas, 0, width, 100, 0, scrollWidth, pos);
    document.SetScrollY(width / 4);
    document.Draw(canvas, {0, 0, 200, 100}, 200, 0, 0, 0, 0);
  }
  return 0;
}
