// Small 8-bit text helpers of the CSS layer: ASCII case mapping and trimming, never locale
// dependent.
#pragma once

#include <string>
#include <string_view>

#include "platform/runtime/SysUtils.h"

namespace html {

// ASCII case folding and blanks as everywhere else in the program.
using plat::CompareText;
using plat::LowerCase;
using plat::SameText;
using plat::Trim;
using plat::UpperCase;

bool Contains(std::string_view s, std::string_view sub);
// Lower case, except what stands inside url(...): file names on this system keep their case.
std::string LowerCaseKeepingUrls(std::string_view s);
// A text of at least two characters enclosed in one pair of equal quotes loses them.
std::string RemoveQuotes(std::string_view s);

}  // namespace html
