#include "readers/pictures/TextEncoding.h"

namespace readers {

std::string Latin1ToUtf8(std::string_view Text) {
  std::string result;
  result.reserve(Text.size());
  for (const char c : Text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x80) {
      result += c;
    } else {
      result += static_cast<char>(0xC0 | (code >> 6));
      result += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return result;
}

}  // namespace readers
