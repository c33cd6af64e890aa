#include "platform/drawing/FontFamilies.h"

#include <string_view>

#include "platform/drawing/DeviceContext.h"
#include "platform/windows/Application.h"

namespace plat {

namespace {

struct FamilyAlias {
  std::string_view asked;
  std::string_view drawnWith;
};

// The families fontconfig substitutes with the same metrics.
constexpr FamilyAlias kAliases[] = {
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return out;
}

}  // namespace

bool FontFamilyInstalled(const std::string& family) {
  const TStringList& fonts = Screen().Fonts();
  if (fonts.IndexOf(family) >= 0) return true;
  const std::string lower = Lower(family);
  for (const FamilyAlias& alias : kAliases)
    if (alias.asked == lower) return fonts.IndexOf(std::string(alias.drawnWith)) >= 0;
  return false;
}

std::string DrawnFontFamily(const std::string& family) {
  if (family.empty() || family == "Default" || !FontFamilyInstalled(family))
    return kDefaultFontName;
  return family;
}

}  // namespace plat
