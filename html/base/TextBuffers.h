// Character buffers that keep the source position of every character, and the conversions
// between code pages and wide text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace html {

// 8-bit text with positions. Both buffers grow by 50 entries at a time.
class TCharCollection {
 public:
  TCharCollection();

  void Add(char ch, int32_t position);
  void Append(const TCharCollection& other);
  void Clear();
  std::string AsString() const { return Chars.substr(0, size_t(Count)); }
  int32_t Size() const { return Count; }

  std::string Chars;               // its length is the capacity
  std::vector<int32_t> Positions;  // as many entries as Chars
  int32_t Count = 0;
};

// Wide text with positions, as a text section takes it over; its string is built when asked.
class TokenObj {
 public:
  TokenObj();

  void AddUnicodeChar(char16_t ch, int32_t position);
  // Decodes source in the code page; every wide character gets the position of the first byte
  // of the character it came from.
  void AddConverted(const TCharCollection& source, int codePage);
  void Clear();
  const std::u16string& GetString();

  std::u16string CachedString;
  bool CacheValid = true;
  std::vector<char16_t> Chars;     // Capacity entries, Count in use
  std::vector<int32_t> Positions;  // Capacity entries, Count in use
  int32_t Capacity = 0;
  int32_t Count = 0;
};

// Code page 65001 is UTF-8; a code page the system lacks converts as code page 0.
std::u16string MultibyteToWide(int codePage, std::string_view s);
std::string WideToMultibyte(int codePage, std::u16string_view w);
// Bytes of the character at p (zero-terminated text); 0 at the terminating zero.
int MultibyteCharLength(int codePage, const char* p);

}  // namespace html
