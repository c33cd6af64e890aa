// Font families: which ones can be drawn, and which family text asked in a family is drawn with.
#pragma once

#include <string>

namespace plat {

// Installed families, and the common Windows families that fontconfig stands metric-compatible
// families in for (Arial, Times New Roman, Courier New); case-insensitive.
bool FontFamilyInstalled(const std::string& family);

// The family text asked in `family` is drawn with: the family itself when it can be drawn, the
// default sans otherwise (and for an empty name or "Default"). What fontconfig would stand in
// for a missing family is sometimes a symbol font.
std::string DrawnFontFamily(const std::string& family);

}  // namespace plat
