// Pages with PANEL and OBJECT tags from arbitrary bytes, with a host that sizes its panels and
// keeps or refuses objects: the first byte says how the host answers (one bit per object, then
// the panel size); the rest is the page, laid out at a few widths and painted. An include
// directive reads as the values of its parameters, so objects stand in included text too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "PageFuzzing.h"
#include "html/parse/DocumentBuilder.h"
#include "html/viewer/Panels.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  page_fuzzing::StartPageEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  const page_fuzzing::FreeWindowsAtEnd freeWindows;
  const uint8_t answers = data[0];
  const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
  html::TSectionList document(nullptr, nullptr);
  page_fuzzing::ApplyViewerDefaults(document);
  int objects = 0;
  document.ObjectTag = [&](plat::TObject*, html::ThvPanel*, const plat::TStringList&,
                           const plat::TStringList&,
                           bool& want) { want = (answers >> (objects++ % 4)) & 1; };
  document.PanelCreate = [&](plat::TObject*, const std::string&, const std::string&,
                             const std::string&, html::ThvPanel* panel) {
    panel->SetBounds(0, 0, (answers >> 4) * 9, (answers >> 6) * 7);
  };
  const auto include = [](plat::TObject*, const std::string&,
                          std::unique_ptr<plat::TStringList> params, std::string& text) {
    for (int i = 0; i < params->Count(); ++i) {
      const std::string& param = params->Strings(i);
      text += param.substr(param.find('=') + 1);
    }
  };
  try {
    html::ParseHtmlDocument(page, document, include);
  } catch (const html::EParseError&) {
    return 0;
  }
  page_fuzzing::LayOutAndPaint(document, true);
  return 0;
}
