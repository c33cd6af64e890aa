#include "html/css/CssValues.h"

#include <charconv>

#include "html/css/CssLengths.h"
#include "html/css/CssText.h"

namespace html {

int32_t VarToInt(const TCssValue& v, int32_t fallback) {
  if (const auto* i = std::get_if<int32_t>(&v)) return *i;
  if (const auto* b = std::get_if<uint8_t>(&v)) return *b;
  if (const auto* d = std::get_if<double>(&v)) return RoundClamped(*d, 2147483647.0);
  if (const auto* s = std::get_if<std::string>(&v)) return StrToIntDef(*s, fallback);
  return fallback;
}

double VarToDouble(const TCssValue& v, double fallback) {
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* i = std::get_if<int32_t>(&v)) return *i;
  if (const auto* b = std::get_if<uint8_t>(&v)) return *b;
  if (const auto* s = std::get_if<std::string>(&v)) {
    const std::string text = Trim(*s);
    double value = 0;
    if (!text.empty() && ReadNumber(text, value) == text.size()) return value;
  }
  return fallback;
}

std::string VarToStr(const TCssValue& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  if (const auto* i = std::get_if<int32_t>(&v)) return std::to_string(*i);
  if (const auto* b = std::get_if<uint8_t>(&v)) return std::to_string(*b);
  if (const auto* d = std::get_if<double>(&v)) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, *d);
    return std::string(buffer, result.ptr);
  }
  return {};
}

}  // namespace html
