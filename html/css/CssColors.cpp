#include "html/css/CssColors.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "html/HtmlEngine.h"
#include "html/css/CssLengths.h"
#include "html/css/CssText.h"

namespace html {

namespace {

struct NamedColor {
  std::string_view name;
  TColor value;
};

// CSS colour names with their COLORREF values, then the system colours by their index. The
// misspelt "hightlighttext" stays for pages written against it.
constexpr NamedColor kColorNames[] = {
    {"transparent", TColor(0x1FFFFFFFu)},
    {"black", TColor(0x000000u)},
    {"maroon", TColor(0x000080u)},
    {"green", TColor(0x008000u)},
    {"olive", TColor(0x008080u)},
    {"navy", TColor(0x800000u)},
    {"purple", TColor(0x800080u)},
    {"teal", TColor(0x808000u)},
    {"gray", TColor(0x808080u)},
    {"silver", TColor(0xC0C0C0u)},
    {"red", TColor(0x0000FFu)},
    {"lime", TColor(0x00FF00u)},
    {"yellow", TColor(0x00FFFFu)},
    {"blue", TColor(0xFF0000u)},
    {"fuchsia", TColor(0xFF00FFu)},
    {"aqua", TColor(0xFFFF00u)},
    {"white", TColor(0xFFFFFFu)},
    {"aliceblue", TColor(0xFFF8F0u)},
    {"antiquewhite", TColor(0xD7EBFAu)},
    {"aquamarine", TColor(0xD4FF7Fu)},
    {"azure", TColor(0xFFFFF0u)},
    {"beige", TColor(0xDCF5F5u)},
    {"bisque", TColor(0xC4E4FFu)},
    {"blanchedalmond", TColor(0xCDEBFFu)},
    {"blueviolet", TColor(0xE22B8Au)},
    {"brown", TColor(0x2A2AA5u)},
    {"burlywood", TColor(0x87B8DEu)},
    {"cadetblue", TColor(0xA09E5Fu)},
    {"chartreuse", TColor(0x00FF7Fu)},
    {"chocolate", TColor(0x1E69D2u)},
    {"coral", TColor(0x507FFFu)},
    {"cornflowerblue", TColor(0xED9564u)},
    {"cornsilk", TColor(0xDCF8FFu)},
    {"crimson", TColor(0x3614DCu)},
    {"cyan", TColor(0xFFFF00u)},
    {"darkblue", TColor(0x8B0000u)},
    {"darkcyan", TColor(0x8B8B00u)},
    {"darkgoldenrod", TColor(0x0B86B8u)},
    {"darkgray", TColor(0xA9A9A9u)},
    {"darkgreen", TColor(0x006400u)},
    {"darkkhaki", TColor(0x6BB7BDu)},
    {"darkmagenta", TColor(0x8B008Bu)},
    {"darkolivegreen", TColor(0x2F6B55u)},
    {"darkorange", TColor(0x008CFFu)},
    {"darkorchid", TColor(0xCC3299u)},
    {"darkred", TColor(0x00008Bu)},
    {"darksalmon", TColor(0x7A96E9u)},
    {"darkseagreen", TColor(0x8FBC8Fu)},
    {"darkslateblue", TColor(0x8B3D48u)},
    {"darkslategray", TColor(0x4F4F2Fu)},
    {"darkturquoise", TColor(0xD1CE00u)},
    {"darkviolet", TColor(0xD30094u)},
    {"deeppink", TColor(0x9314FFu)},
    {"deepskyblue", TColor(0xFFBF00u)},
    {"dimgray", TColor(0x696969u)},
    {"dodgerblue", TColor(0xFF901Eu)},
    {"firebrick", TColor(0x2222B2u)},
    {"floralwhite", TColor(0xF0FAFFu)},
    {"forestgreen", TColor(0x228B22u)},
    {"gainsboro", TColor(0xDCDCDCu)},
    {"ghostwhite", TColor(0xFFF8F8u)},
    {"gold", TColor(0x00D7FFu)},
    {"goldenrod", TColor(0x20A5DAu)},
    {"greenyellow", TColor(0x2FFFADu)},
    {"honeydew", TColor(0xF0FFF0u)},
    {"hotpink", TColor(0xB469FFu)},
    {"indianred", TColor(0x5C5CCDu)},
    {"indigo", TColor(0x82004Bu)},
    {"ivory", TColor(0xF0FFFFu)},
    {"khaki", TColor(0x8CE6F0u)},
    {"lavender", TColor(0xFAE6E6u)},
    {"lavenderblush", TColor(0xF5F0FFu)},
    {"lawngreen", TColor(0x00FC7Cu)},
    {"lemonchiffon", TColor(0xCDFAFFu)},
    {"lightblue", TColor(0xE6D8ADu)},
    {"lightcoral", TColor(0x8080F0u)},
    {"lightcyan", TColor(0xFFFFE0u)},
    {"lightgoldenrodyellow", TColor(0xD2FAFAu)},
    {"lightgreen", TColor(0x90EE90u)},
    {"lightgray", TColor(0xD3D3D3u)},
    {"lightpink", TColor(0xC1B6FFu)},
    {"lightsalmon", TColor(0x7AA0FFu)},
    {"lightseagreen", TColor(0xAAB220u)},
    {"lightskyblue", TColor(0xFACE87u)},
    {"lightslategray", TColor(0x998877u)},
    {"lightsteelblue", TColor(0xDEC4B0u)},
    {"lightyellow", TColor(0xE0FFFFu)},
    {"limegreen", TColor(0x32CD32u)},
    {"linen", TColor(0xE6F0FAu)},
    {"magenta", TColor(0xFF00FFu)},
    {"mediumaquamarine", TColor(0xAACD66u)},
    {"mediumblue", TColor(0xCD0000u)},
    {"mediumorchid", TColor(0xD355BAu)},
    {"mediumpurple", TColor(0xDB7093u)},
    {"mediumseagreen", TColor(0x71B33Cu)},
    {"mediumslateblue", TColor(0xEE687Bu)},
    {"mediumspringgreen", TColor(0x9AFA00u)},
    {"mediumturquoise", TColor(0xCCD148u)},
    {"mediumvioletred", TColor(0x8515C7u)},
    {"midnightblue", TColor(0x701919u)},
    {"mintcream", TColor(0xFAFFF5u)},
    {"mistyrose", TColor(0xE1E4FFu)},
    {"moccasin", TColor(0xB5E4FFu)},
    {"navajowhite", TColor(0xADDEFFu)},
    {"oldlace", TColor(0xE6F5FDu)},
    {"olivedrab", TColor(0x238E6Bu)},
    {"orange", TColor(0x00A5FFu)},
    {"orangered", TColor(0x0045FFu)},
    {"orchid", TColor(0xD670DAu)},
    {"palegoldenrod", TColor(0xAAE8EEu)},
    {"palegreen", TColor(0x98FB98u)},
    {"paleturquoise", TColor(0xEEEEAFu)},
    {"palevioletred", TColor(0x9370DBu)},
    {"papayawhip", TColor(0xD5EFFFu)},
    {"peachpuff", TColor(0xB9DAFFu)},
    {"peru", TColor(0x3F85CDu)},
    {"pink", TColor(0xCBC0FFu)},
    {"plum", TColor(0xDDA0DDu)},
    {"powderblue", TColor(0xE6E0B0u)},
    {"rosybrown", TColor(0x8F8FBCu)},
    {"royalblue", TColor(0xE16941u)},
    {"saddlebrown", TColor(0x13458Bu)},
    {"salmon", TColor(0x7280FAu)},
    {"sandybrown", TColor(0x60A4F4u)},
    {"seagreen", TColor(0x578B2Eu)},
    {"seashell", TColor(0xEEF5FFu)},
    {"sienna", TColor(0x2D52A0u)},
    {"skyblue", TColor(0xEBCE87u)},
    {"slateblue", TColor(0xCD5A6Au)},
    {"slategray", TColor(0x908070u)},
    {"snow", TColor(0xFAFAFFu)},
    {"springgreen", TColor(0x7FFF00u)},
    {"steelblue", TColor(0xB48246u)},
    {"tan", TColor(0x8CB4D2u)},
    {"thistle", TColor(0xD8BFD8u)},
    {"tomato", TColor(0x4763FFu)},
    {"turquoise", TColor(0xD0E040u)},
    {"violet", TColor(0xEE82EEu)},
    {"wheat", TColor(0xB3DEF5u)},
    {"whitesmoke", TColor(0xF5F5F5u)},
    {"yellowgreen", TColor(0x32CD9Au)},
    {"grey", TColor(0x808080u)},
    {"darkgrey", TColor(0xA9A9A9u)},
    {"darkslategrey", TColor(0x4F4F2Fu)},
    {"dimgrey", TColor(0x696969u)},
    {"lightgrey", TColor(0xD3D3D3u)},
    {"lightslategrey", TColor(0x998877u)},
    {"slategrey", TColor(0x908070u)},
    {"background", HtmlSystemColor(0x01)},
    {"activecaption", HtmlSystemColor(0x02)},
    {"inactivecaption", HtmlSystemColor(0x03)},
    {"menu", HtmlSystemColor(0x04)},
    {"window", HtmlSystemColor(0x05)},
    {"windowframe", HtmlSystemColor(0x06)},
    {"menutext", HtmlSystemColor(0x07)},
    {"windowtext", HtmlSystemColor(0x08)},
    {"captiontext", HtmlSystemColor(0x09)},
    {"activeborder", HtmlSystemColor(0x0A)},
    {"inactiveborder", HtmlSystemColor(0x0B)},
    {"appworkSpace", HtmlSystemColor(0x0C)},
    {"highlight", HtmlSystemColor(0x0D)},
    {"highlighttext", HtmlSystemColor(0x0E)},
    {"hightlighttext", HtmlSystemColor(0x0E)},
    {"buttonface", HtmlSystemColor(0x0F)},
    {"buttonshadow", HtmlSystemColor(0x10)},
    {"graytext", HtmlSystemColor(0x11)},
    {"buttontext", HtmlSystemColor(0x12)},
    {"inactivecaptiontext", HtmlSystemColor(0x13)},
    {"buttonhighlight", HtmlSystemColor(0x14)},
    {"threeddarkshadow", HtmlSystemColor(0x15)},
    {"threedlightshadow", HtmlSystemColor(0x16)},
    {"infotext", HtmlSystemColor(0x17)},
    {"infobackground", HtmlSystemColor(0x18)},
    {"scrollbar", HtmlSystemColor(0x00)},
    {"threedface", HtmlSystemColor(0x0F)},
    {"threedhighlight", HtmlSystemColor(0x14)},
    {"threedshadow", HtmlSystemColor(0x10)},
};

// The table in case-insensitive order for bisection, made on first use.
const std::vector<NamedColor>& SortedColorNames() {
  static const std::vector<NamedColor> sorted = [] {
    std::vector<NamedColor> list(std::begin(kColorNames), std::end(kColorNames));
    std::sort(list.begin(), list.end(), [](const NamedColor& a, const NamedColor& b) {
      return CompareText(a.name, b.name) < 0;
    });
    return list;
  }();
  return sorted;
}

bool FindColorName(std::string_view name, TColor& colour) {
  const auto& list = SortedColorNames();
  const auto it = std::lower_bound(list.begin(), list.end(), name,
                                   [](const NamedColor& entry, std::string_view key) {
                                     return CompareText(entry.name, key) < 0;
                                   });
  if (it == list.end() || CompareText(it->name, name) != 0) return false;
  colour = it->value;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// "#" forms and bare hexadecimal numbers: one to six digits, one to three of them doubled.
bool ParseHexColor(std::string_view text, TColor& colour) {
  const size_t hash = text.rfind('#');
  std::string digits = Trim(hash == std::string_view::npos ? text : text.substr(hash + 1));
  if (digits.size() <= 3) {
    std::string doubled;
    for (char c : digits) doubled.append(2, c);
    digits = doubled;
  }
  if (digits.empty() || digits.size() > 6) return false;
  uint32_t value = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    value = value * 16 + uint32_t(digit);
  }
  colour = TColor(((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF) |
                  PaletteRelative());
  return true;
}

// The last colour read, so that a colour written many times is converted once.
struct LastColor {
  bool valid = false;
  bool bareHexRefused = false;
  std::string text;
  TColor colour = 0;
};
LastColor lastColor;

// A percentage is 255ths of 100; reading stops at the first unreadable component.
bool ReadRgbComponent(std::string_view text, int& component) {
  std::string s = Trim(text);
  const size_t percent = s.find('%');
  double value = 0;
  if (percent != std::string::npos) {
    s.erase(percent, 1);
    s = Trim(s);
    if (s.empty() || ReadNumber(s, value) != s.size()) return false;
    value = value * 255 / 100;
  } else {
    value = StrToIntDef(s, 0);
  }
  component = RoundClamped(std::clamp(value, 0.0, 255.0));
  return true;
}

}  // namespace

bool ParseRGB(std::string_view s, TColor& colour) {
  const size_t open = s.find('(');
  if (open == std::string_view::npos) return false;
  const size_t close = s.find(')', open);
  if (close == std::string_view::npos) return false;
  std::string_view inside = s.substr(open + 1, close - open - 1);
  std::array<std::string_view, 3> parts;
  for (size_t k = 0; k < 2; ++k) {
    const size_t comma = inside.find(',');
    parts[k] = inside.substr(0, comma);
    inside = comma == std::string_view::npos ? std::string_view() : inside.substr(comma + 1);
  }
  parts[2] = inside;
  std::array<int, 3> rgb{};
  for (size_t k = 0; k < 3; ++k)
    if (!ReadRgbComponent(parts[k], rgb[k])) return false;
  colour = TColor(rgb[0] + rgb[1] * 256 + rgb[2] * 65536);
  return true;
}

bool ParseColor(std::string_view s, bool bareHexRefused, TColor& colour) {
  const std::string text = LowerCase(Trim(s));
  if (text.empty()) return false;
  if (lastColor.valid && lastColor.text == text && lastColor.bareHexRefused == bareHexRefused) {
    colour = lastColor.colour;
    return true;
  }
  TColor found = 0;
  bool ok;
  if (text[0] != '#' && !Contains(text, "rgb(") && FindColorName(text, found))
    ok = true;
  else if (Contains(text, "rgb"))
    ok = ParseRGB(text.substr(text.find("rgb") + 3), found);
  else if (!Contains(text, "#") && bareHexRefused)
    ok = false;
  else
    ok = ParseHexColor(text, found);
  if (!ok) return false;
  lastColor = {true, bareHexRefused, text, found};
  colour = found;
  return true;
}

}  // namespace html
