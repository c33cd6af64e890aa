// Colours, lengths and font sizes against models of their rules, over random texts: numbers with
// signs, fractions and blanks, every unit and keyword, colour names in any case, hexadecimal
// forms of every length and rgb() forms with numbers, percentages and junk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>

#include "html/css/CssColors.h"
#include "html/css/CssLengths.h"

#include "platform/runtime/SysUtils.h"

using namespace html;

namespace {

std::string TrimBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? "" : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

struct Measure {
  bool number = false;
  double value = 0;
  std::string unit;
};

// The longest leading sign, digits and fraction; no exponent.
Measure Split(const std::string& text) {
  const std::string s = TrimBlanks(text);
  size_t i = s.size() && (s[0] == '+' || s[0] == '-') ? 1 : 0;
  const size_t start = i;
  while (i < s.size() && isdigit(uint8_t(s[i]))) ++i;
  size_t digits = i - start;
  if (i < s.size() && s[i] == '.') {
    const size_t f = ++i;
    while (i < s.size() && isdigit(uint8_t(s[i]))) ++i;
    digits += i - f;
  }
  Measure m;
  if (digits == 0) i = 0;
  m.number = digits > 0;
  m.value = m.number ? std::strtod(s.substr(0, i).c_str(), nullptr) : 0;
  m.unit = plat::LowerCase(TrimBlanks(s.substr(i)));
  return m;
}

std::string RandomMeasure(std::mt19937& random) {
  static const char* const units[] = {"in", "cm", "mm", "pt", "px", "pc", "em", "ex",
                                      "%",  "",   "PX", "Em", "q",  "e2", "abc"};
  static const char* const words[] = {"smaller", "larger", "xx-small", "x-small",  "small",
                                      "medium",  "large",  "x-large",  "xx-large", "Medium"};
  std::string s = random() % 4 == 0 ? " " : "";
  if (random() % 8 == 0) return s + words[random() % std::size(words)];
  if (random() % 3 == 0) s += random() % 2 ? "-" : "+";
  if (random() % 8) s += std::to_string(random() % 100000);
  if (random() % 3 == 0) s += "." + std::to_string(random() % 1000);
  if (random() % 4 == 0) s += " ";
  return s + units[random() % std::size(units)] + (random() % 4 == 0 ? "  " : "");
}

TEST(ConversionModel, LengthsAndFontSizes) {
  std::mt19937 random(123);
  const double ppi = 96;
  for (int i = 0; i < 20000; ++i) {
    const std::string text = RandomMeasure(random);
    const Measure m = Split(text);
    const double v = m.value, base = double(int(random() % 2000) - 500);
    const int em = int(random() % 40), ex = int(random() % 20), fallback = -7;
    const bool relative = random() % 2;
    const std::string& u = m.unit;
    std::optional<double> px;
    if (u == "in") px = ppi * v;
    if (u == "cm") px = ppi * v / 2.54;
    if (u == "mm") px = ppi * v / 25.4;
    if (u == "pt") px = v * ppi / 72;
    if (u == "px") px = v;
    if (u == "pc") px = v * ppi / 6;
    if (u == "em") px = em * v;
    if (u == "ex") px = ex * v;
    if (u == "%") px = base * v / 100;
    if (u.empty()) px = relative ? base * v : v;
    const int32_t expected =
        px ? int32_t(std::nearbyint(std::clamp(*px, -16777216.0, 16777216.0))) : fallback;
    SCOPED_TRACE("'" + text + "'");
    EXPECT_EQ(LengthConv(text, relative, int32_t(base), em, ex, fallback), expected);

    const double b = 12.5, d = DefaultPointSize();
    double pt = d;
    if (!m.number) {
      const std::pair<const char*, double> keywords[] = {
          {"smaller", 0.75 * b}, {"larger", 1.25 * b}, {"xx-small", d / 1.5},
          {"x-small", d / 1.2},  {"small", d},         {"medium", 1.2 * d},
          {"large", 1.5 * d},    {"x-large", 2 * d},   {"xx-large", 3 * d}};
      for (const auto& [word, size] : keywords)
        if (u == word) pt = size;
    }
    if (u == "in") pt = 72 * v;
    if (u == "cm") pt = 72 * v / 2.54;
    if (u == "mm") pt = 72 * v / 25.4;
    if (u == "pt") pt = v;
    if (u == "px" || u.empty()) pt = v * 72 / ppi;
    if (u == "pc") pt = 12 * v;
    if (u == "em") pt = v * b;
    if (u == "ex") pt = v * b / 2;
    if (u == "%") pt = v * b / 100;
    EXPECT_DOUBLE_EQ(FontSizeConv(text, b), std::clamp(pt, 0.0, kLargestPointSize));
  }
}

// A colour's hexadecimal digits as a colour value: red in the low byte.
TColor Swapped(uint32_t rgb) {
  return TColor(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

std::optional<TColor> ModelColour(const std::string& input, bool bareHexRefused) {
  const std::string s = plat::LowerCase(TrimBlanks(input));
  if (s.empty()) return std::nullopt;
  static const std::pair<const char*, uint32_t> names[] = {
      {"red", 0x0000FF},           {"navy", 0x800000},
      {"gold", 0x00D7FF},          {"lightslategrey", 0x998877},
      {"transparent", 0x1FFFFFFF}, {"white", 0xFFFFFF},
      {"windowtext", 0xFF000008},  {"buttonface", 0xFF00000F}};
  if (s[0] != '#' && s.find("rgb(") == std::string::npos) {
    for (const auto& [name, value] : names)
      if (s == name) return TColor(value);
  }
  if (const size_t at = s.find("rgb"); at != std::string::npos) {
    const std::string rest = s.substr(at + 3);
    const size_t open = rest.find('('), close = rest.find(')');
    if (open == std::string::npos || close == std::string::npos) return std::nullopt;
    std::string inner = rest.substr(open + 1, close - open - 1);
    int channels[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
      const size_t comma = c < 2 ? inner.find(',') : std::string::npos;
      std::string part = TrimBlanks(comma == std::string::npos ? inner : inner.substr(0, comma));
      inner = comma == std::string::npos ? "" : inner.substr(comma + 1);
      if (const size_t percent = part.find('%'); percent != std::string::npos) {
        part = TrimBlanks(part.erase(percent, 1));
        char* end = nullptr;
        const double v = std::strtod(part.c_str(), &end);
        if (part.empty() || *end) return std::nullopt;
        // v x 2.55, with halves to even, computed exactly.
        channels[c] = int(std::nearbyint(v * 255 / 100));
      } else {
        char* end = nullptr;
        const long v = std::strtol(part.c_str(), &end, 10);
        channels[c] = part.empty() || *end ? 0 : int(std::clamp(v, -1000L, 1000L));
      }
      channels[c] = std::clamp(channels[c], 0, 255);
    }
    return TColor(channels[0] + channels[1] * 256 + channels[2] * 65536);
  }
  if (s.find('#') == std::string::npos && bareHexRefused) return std::nullopt;
  std::string hex = TrimBlanks(s.substr(s.rfind('#') == std::string::npos ? 0 : s.rfind('#') + 1));
  if (hex.size() >= 1 && hex.size() <= 3) {
    std::string doubled;
    for (char c : hex) doubled += std::string(2, c);
    hex = doubled;
  }
  if (hex.empty() || hex.size() > 6 ||
      hex.find_first_not_of("0123456789abcdef") != std::string::npos)
    return std::nullopt;
  return Swapped(uint32_t(std::stoul(hex, nullptr, 16)));
}

TEST(ConversionModel, Colours) {
  std::mt19937 random(123);
  auto pick = [&](std::initializer_list<const char*> list) {
    return std::string(list.begin()[random() % list.size()]);
  };
  auto mixCase = [&](std::string s) {
    for (char& c : s)
      if (random() % 3 == 0) c = char(std::toupper(uint8_t(c)));
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    switch (random() % 4) {
      case 0:
        text = pick({"red", "navy", "gold", "lightslategrey", "transparent", "white", "windowtext",
                     "buttonface", "redd", "grey10"});
        break;
      case 1: {
        text = random() % 4 ? "#" : "";
        const int digits = int(random() % 9);
        for (int d = 0; d < digits; ++d) text += "0123456789abcdefg"[random() % 17];
        break;
      }
      case 2: {
        auto channel = [&] {
          std::string c = pick({"", " "}) + std::to_string(int(random() % 320) - 20);
          if (random() % 3 == 0) c += pick({"%", ".5%", "x%", "", ".5"});
          return c + pick({"", " "});
        };
        text = "rgb(" + channel() + "," + channel() + pick({",", ""}) + channel() +
               pick({")", "", ") "});
        break;
      }
      default:
        text = pick({"#", "x#", "rgb", "#12#34", " #abc ", "r g b"});
    }
    text = mixCase(random() % 4 == 0 ? "  " + text : text);
    const bool refused = random() % 2;
    TColor got = 0x12345678;
    const std::optional<TColor> expected = ModelColour(text, refused);
    SCOPED_TRACE("'" + text + "'");
    EXPECT_EQ(ParseColor(text, refused, got), expected.has_value());
    if (expected) EXPECT_EQ(uint32_t(got), uint32_t(*expected));
  }
}

}  // namespace
