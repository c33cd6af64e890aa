#include "html/css/CssLengths.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "html/css/CssText.h"
#include "platform/drawing/Graphics.h"

namespace html {

namespace {

double defaultPointSize = 12;

constexpr double kPixelsPerInch = plat::kFontPixelsPerInch;
constexpr double kLargestNumber = 1e9;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A measure split into its number and its unit (lower case, blanks around it removed).
struct Measure {
  bool hasNumber = false;
  double value = 0;
  std::string unit;
};

Measure SplitMeasure(std::string_view text) {
  Measure m;
  const std::string s = Trim(text);
  const size_t used = ReadNumber(s, m.value);
  m.hasNumber = used > 0;
  m.unit = LowerCase(Trim(std::string_view(s).substr(used)));
  return m;
}

}  // namespace

double DefaultPointSize() {
  return defaultPointSize;
}

void SetDefaultPointSize(double points) {
  defaultPointSize = points;
}

size_t ReadNumber(std::string_view s, double& value) {
  value = 0;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const size_t digitsStart = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  size_t digits = i - digitsStart;
  if (i < s.size() && s[i] == '.') {
    const size_t fractionStart = ++i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    digits += i - fractionStart;
  }
  if (digits == 0) return 0;
  const bool negative = s[0] == '-';
  size_t firstSignificant = digitsStart;
  while (firstSignificant < i && s[firstSignificant] == '0') ++firstSignificant;
  size_t integerEnd = firstSignificant;
  while (integerEnd < i && IsDigit(s[integerEnd])) ++integerEnd;
  double parsed = kLargestNumber;
  if (integerEnd - firstSignificant <= 9) {
    // A value too small for a double is 0.
    const auto result = std::from_chars(s.data() + digitsStart, s.data() + i, parsed);
    if (result.ec != std::errc()) parsed = 0;
    if (parsed > kLargestNumber) parsed = kLargestNumber;
  }
  if (negative) parsed = -parsed;
  value = parsed;
  return i;
}

int32_t StrToIntDef(std::string_view s, int32_t fallback) {
  const std::string text = Trim(s);
  const char* begin = text.data();
  if (!text.empty() && text[0] == '+') ++begin;
  int32_t value = 0;
  const auto result = std::from_chars(begin, text.data() + text.size(), value);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size())
    return fallback;
  return value;
}

int32_t RoundClamped(double v, double limit) {
  if (std::isnan(v)) return 0;
  if (v > limit) v = limit;
  if (v < -limit) v = -limit;
  return int32_t(std::nearbyint(v));
}

namespace {

double UnboundedFontSize(std::string_view s, double baseSize) {
  const Measure m = SplitMeasure(s);
  const double v = m.value;
  const double d = defaultPointSize;
  if (!m.hasNumber) {
    if (m.unit == "smaller") return 0.75 * baseSize;
    if (m.unit == "larger") return 1.25 * baseSize;
    if (m.unit == "xx-small") return d / 1.5;
    if (m.unit == "x-small") return d / 1.2;
    if (m.unit == "small") return d;
    if (m.unit == "medium") return 1.2 * d;
    if (m.unit == "large") return 1.5 * d;
    if (m.unit == "x-large") return 2 * d;
    if (m.unit == "xx-large") return 3 * d;
  }
  if (m.unit == "in") return 72 * v;
  if (m.unit == "cm") return 72 * v / 2.54;
  if (m.unit == "mm") return 72 * v / 25.4;
  if (m.unit == "pt") return v;
  if (m.unit == "px" || m.unit.empty()) return v * 72 / kPixelsPerInch;
  if (m.unit == "pc") return 12 * v;
  if (m.unit == "em") return v * baseSize;
  if (m.unit == "ex") return v * baseSize / 2;
  if (m.unit == "%") return v * baseSize / 100;
  return d;
}

}  // namespace

double BoundedPointSize(double points) {
  if (std::isnan(points)) return defaultPointSize;
  return std::clamp(points, 0.0, kLargestPointSize);
}

double FontSizeConv(std::string_view s, double baseSize) {
  return BoundedPointSize(UnboundedFontSize(s, baseSize));
}

int32_t LengthConv(std::string_view s, bool relative, int32_t base, int32_t emPixels,
                   int32_t exPixels, int32_t fallback) {
  const Measure m = SplitMeasure(s);
  const double v = m.value;
  double pixels;
  if (m.unit == "in")
    pixels = kPixelsPerInch * v;
  else if (m.unit == "cm")
    pixels = kPixelsPerInch * v / 2.54;
  else if (m.unit == "mm")
    pixels = kPixelsPerInch * v / 25.4;
  else if (m.unit == "pt")
    pixels = v * kPixelsPerInch / 72;
  else if (m.unit == "px")
    pixels = v;
  else if (m.unit == "pc")
    pixels = v * kPixelsPerInch / 6;
  else if (m.unit == "em")
    pixels = emPixels * v;
  else if (m.unit == "ex")
    pixels = exPixels * v;
  else if (m.unit == "%")
    pixels = base * v / 100;
  else if (!m.unit.empty())
    return fallback;
  else
    pixels = relative ? base * v : v;
  return RoundClamped(pixels);
}

}  // namespace html
