// Text parsers of the runtime layer that read settings and command-line input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/drawing/Colors.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);

  int32_t value = 0;
  if (plat::TryStrToInt(text, value) && plat::StrToInt(plat::IntToStr(value)) != value)
    std::abort();

  try {
    plat::TColor color = plat::StringToColor(text);
    if (plat::StringToColor(plat::ColorToString(color)) != color) std::abort();
  } catch (const plat::EConvertError&) {
  }

  plat::TStringList lines;
  lines.SetText(text);
  plat::TStringList again;
  again.SetText(lines.Text());
  if (again.Text() != lines.Text()) std::abort();

  std::string path = "/" + text.substr(0, text.find('\0'));
  std::string expanded = plat::ExpandFileName(path);
  if (plat::ExpandFileName(expanded) != expanded) std::abort();
  plat::ChangeFileExt(plat::ExtractFileName(path), plat::ExtractFileExt(path));
  return 0;
}
