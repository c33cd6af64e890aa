// The value held by one CSS property slot, and the tolerant conversions read from it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace html {

// Empty (never given), a 32-bit integer (colours, markers, attribute numbers), a byte (small
// codes), a double (font sizes in points) or the CSS text as written.
using TCssValue = std::variant<std::monostate, int32_t, uint8_t, double, std::string>;

inline bool VarIsEmpty(const TCssValue& v) {
  return std::holds_alternative<std::monostate>(v);
}
inline bool VarIsInteger(const TCssValue& v) {
  return std::holds_alternative<int32_t>(v) || std::holds_alternative<uint8_t>(v);
}
inline bool VarIsString(const TCssValue& v) {
  return std::holds_alternative<std::string>(v);
}
inline bool VarIsDouble(const TCssValue& v) {
  return std::holds_alternative<double>(v);
}
// The text of a string slot, or nullptr.
inline const std::string* VarString(const TCssValue& v) {
  return std::get_if<std::string>(&v);
}
// Not of a value about to go away: the text would go with it.
const std::string* VarString(const TCssValue&& v) = delete;
// True when the slot holds exactly this text.
inline bool VarIs(const TCssValue& v, std::string_view text) {
  const std::string* s = VarString(v);
  return s && *s == text;
}

// Integers as they are, doubles rounded (half to even, clamped to 32 bits), strings read as
// decimal integers; anything else (and unreadable text) gives `fallback`.
int32_t VarToInt(const TCssValue& v, int32_t fallback = 0);
// Numbers as they are, strings read as decimal numbers; anything else gives `fallback`.
double VarToDouble(const TCssValue& v, double fallback = 0);
// Text of any value; empty for an empty slot.
std::string VarToStr(const TCssValue& v);

}  // namespace html
