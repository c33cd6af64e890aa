#include "html/viewer/FormControlsText.h"

#include "html/base/TextBuffers.h"
#include "platform/htmlservices/HtmlText.h"

namespace html {

std::string TextToUtf8(int32_t codePage, std::string_view text) {
  if (codePage == plat::CP_UTF8) return std::string(text);
  return WideToMultibyte(plat::CP_UTF8, MultibyteToWide(codePage, text));
}

std::string AttributeUtf8(const TAttribute& attribute) {
  return TextToUtf8(attribute.CodePage, attribute.Name);
}

std::string LineValue(const plat::TStringList& lines, std::string_view name, bool& found) {
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& line = lines[i];
    if (line.size() > name.size() && line[name.size()] == '=' &&
        plat::CompareText(line.substr(0, name.size()), std::string(name)) == 0) {
      found = true;
      return line.substr(name.size() + 1);
    }
  }
  found = false;
  return {};
}

}  // namespace html
