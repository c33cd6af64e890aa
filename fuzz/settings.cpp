// The settings file: any text reads into usable values, and what the program writes from them
// reads back to the same file. The first byte repeats the rest up to 256 times, so that files of
// many lines, many texts and long values come up too.
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
  if (size == 0) return 0;
  const std::string piece(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string text;
  for (int i = 0; i <= data[0]; ++i) text += piece;
  app::TSettingsValues values;
  std::vector<std::string> texts;
  const bool textRead = app::ParseSettingsText(text, values, texts);
  if (textRead != !texts.empty()) std::abort();
  if (texts.size() > size_t(app::MaxSavedTexts)) std::abort();
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
