// Small 8-bit text helpers of the CSS layer: ASCII case mapping and trimming, never locale
// dependent.
#pragma once

#include <string>
#include <string_view>

namespace html {

std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);
// Without leading and trailing characters of code 32 and below.
std::string Trim(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
// Negative, zero or positive as a sorts before, with or after b, ignoring ASCII case.
int CompareText(std::string_view a, std::string_view b);
bool Contains(std::string_view s, std::string_view sub);
// A text of at least two characters enclosed in one pair of equal quotes loses them.
std::string RemoveQuotes(std::string_view s);

}  // namespace html
