// URL texts from arbitrary bytes through every URL helper; the first half of the input is the
// base, the second the relative name.
#include <cstddef>
#include <cstdint>
#include <string>

#include "html/base/UrlHelpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string base = text.substr(0, size / 2), rel = text.substr(size / 2);
  html::GetUrlBase(text);
  html::CombineUrl(base, rel);
  html::UrlHasProtocol(text);
  html::GetProtocol(text);
  html::ParseURL(text);
  html::PosN(rel, base, int(size % 7) - 3);
  html::UrlToDosPath(text);
  html::CombineDosPath(base, rel);
  return 0;
}
