// Whether a font family asked for by a page can be drawn: installed families, and the common
// Windows families that fontconfig stands metric-compatible families in for.
#pragma once

#include <string>

namespace plat {

// Case-insensitive.
bool FontFamilyInstalled(const std::string& family);

}  // namespace plat
