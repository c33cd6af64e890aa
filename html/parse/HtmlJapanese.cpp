// Japanese documents are read as Shift_JIS: ISO-2022-JP and EUC-JP text is converted first.
#include <algorithm>

#include "html/parse/HtmlReader.h"

namespace html {

namespace {

constexpr char kEsc = 0x1B;

// One JIS X 0208 pair (both bytes 7-bit) as its Shift_JIS pair.
void AppendShiftJis(int j1, int j2, std::string& out) {
  int s1 = ((j1 - 0x21) >> 1) + 0x81;
  if (s1 > 0x9F) s1 += 0x40;
  int s2;
  if (j1 & 1) {
    s2 = j2 + 0x1F;
    if (s2 >= 0x7F) ++s2;
  } else {
    s2 = j2 + 0x7E;
  }
  out.push_back(char(uint8_t(s1)));
  out.push_back(char(uint8_t(s2)));
}

}  // namespace

bool IsIso2022Jp(std::string_view document) {
  const size_t at = document.find("\x1b$@");
  const size_t b = document.find("\x1b$B");
  size_t first;
  if (at == std::string_view::npos && b == std::string_view::npos) return false;
  if (at == std::string_view::npos)
    first = b;
  else if (b == std::string_view::npos)
    first = at;
  else
    first = std::max(at, b);
  const std::string_view rest = document.substr(first);
  return rest.find("\x1b(J") != std::string_view::npos ||
         rest.find("\x1b(B") != std::string_view::npos;
}

std::string Iso2022JpToShiftJis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool doubleByte = false;
  size_t i = 0;
  while (i < text.size()) {
    const int b = uint8_t(text[i]) & 0x7F;
    if (b == kEsc && i + 2 < text.size()) {
      const int b1 = uint8_t(text[i + 1]) & 0x7F, b2 = uint8_t(text[i + 2]) & 0x7F;
      if (b1 == '(' && (b2 == 'B' || b2 == 'J')) {
        doubleByte = false;
        i += 3;
        continue;
      }
      if (b1 == '$' && (b2 == '@' || b2 == 'B')) {
        doubleByte = true;
        i += 3;
        continue;
      }
    }
    if (doubleByte && i + 1 < text.size()) {
      AppendShiftJis(b, uint8_t(text[i + 1]) & 0x7F, out);
      i += 2;
    } else {
      // A last byte without its partner is kept as it is.
      out.push_back(char(b));
      ++i;
    }
  }
  return out;
}

std::string EucJpToShiftJis(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const uint8_t b = uint8_t(text[i]);
    if (b >= 0xA1 && i + 1 < text.size() && uint8_t(text[i + 1]) >= 0xA1) {
      AppendShiftJis(b & 0x7F, uint8_t(text[i + 1]) & 0x7F, out);
      i += 2;
    } else {
      // Single bytes, and a lead byte without its partner, stay: the length must not change.
      out.push_back(char(b));
      ++i;
    }
  }
  return out;
}

}  // namespace html
