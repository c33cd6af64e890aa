// The settings file: any text reads into usable values, and what the program writes from them
// reads back to the same file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/mainwindow/Settings.h"
#include "platform/runtime/SysUtils.h"

namespace {

bool UsableFontSize(const std::string& text) {
  int32_t size = 0;
  return plat::TryStrToInt(text, size) && size >= 2 && size <= 18;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  app::TSettingsValues values;
  std::vector<std::string> texts;
  const bool textRead = app::ParseSettingsText(text, values, texts);
  if (textRead != !texts.empty()) std::abort();
  if (!UsableFontSize(values.FontSizeText)) std::abort();
  if (values.TextColorMode < 0 || values.TextColorMode > 10) std::abort();

  // Written once, the file is stable: reading and writing it again changes nothing.
  const std::string written = app::SettingsText(values, texts);
  app::TSettingsValues again;
  std::vector<std::string> textsAgain;
  app::ParseSettingsText(written, again, textsAgain);
  if (textsAgain.size() > size_t(app::MaxSavedTexts)) std::abort();
  if (app::SettingsText(again, textsAgain) != written) std::abort();
  return 0;
}
