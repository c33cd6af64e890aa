// Whole pages from arbitrary bytes through the document builder, then laid out at a few widths
// and painted. The first byte picks HTML or plain text; only the parser's own error may escape.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "html/DocumentBuilder.h"
#include "html/HtmlEngine.h"
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
  const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
  html::TSectionList document(nullptr, nullptr);
  document.ApplyDefaults("DejaVu Sans", "DejaVu Sans Mono", 12, 0, 0xFF0000, 0x800080, 0xFF,
                         0xFFFFFF, true, true, 0, 8, 10);
  try {
    if (data[0] & 1)
      html::ParseTextDocument(page, document);
    else
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
    document.Draw(canvas, {0, 0, 200, 100}, 200, 0, 0, 0, 0);
  }
  return 0;
}
