// Whole pages from arbitrary bytes through the document builder, then laid out at a few widths
// and painted. The first byte picks HTML or plain text and the host's hooks; only the parser's own
// error may escape.
#include <cstddef>
#include <cstdint>
#include <string>

#include "PageFuzzing.h"
#include "html/parse/DocumentBuilder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  page_fuzzing::StartPageEngine();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  const page_fuzzing::FreeWindowsAtEnd freeWindows;
  const std::string page(reinterpret_cast<const char*>(data) + 1, size - 1);
  html::TSectionList document(nullptr, nullptr);
  page_fuzzing::ApplyViewerDefaults(document);
  // Bits 1 and 2: a host that takes scripts, and one that hands over linked sheets.
  if (data[0] & 2)
    document.ScriptEvent = [](plat::TObject*, const std::string&, const std::string&,
                              const std::string&) {};
  plat::TMemoryStream sheet;
  const std::string rules = "p{color:red;background:url(x.gif)} b{font:bold 9pt serif}";
  sheet.Write(rules.data(), int64_t(rules.size()));
  if (data[0] & 4)
    document.StreamRequest = [&sheet](plat::TObject*, const std::string&,
                                      plat::TMemoryStream*& stream) { stream = &sheet; };
  try {
    if (data[0] & 1)
      html::ParseTextDocument(page, document);
    else
      html::ParseHtmlDocument(page, document);
  } catch (const html::EParseError&) {
    return 0;
  }
  page_fuzzing::LayOutAndPaint(document, false);
  return 0;
}
