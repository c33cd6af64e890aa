#include "html/base/TextBuffers.h"

#include <cstring>

#include "platform/htmlservices/HtmlText.h"

namespace html {

namespace {
constexpr int32_t kInitialCapacity = 300;
constexpr int32_t kGrowth = 50;
}  // namespace

TCharCollection::TCharCollection()
    : Chars(size_t(kInitialCapacity), '\0'), Positions(size_t(kInitialCapacity)) {}

void TCharCollection::Add(char ch, int32_t position) {
  if (size_t(Count) == Chars.size()) {
    Chars.resize(Chars.size() + kGrowth);
    Positions.resize(Chars.size());
  }
  Chars[size_t(Count)] = ch;
  Positions[size_t(Count)] = position;
  ++Count;
}

void TCharCollection::Append(const TCharCollection& other) {
  const size_t newCount = size_t(Count) + size_t(other.Count);
  if (newCount >= Chars.size()) {
    Chars.resize(newCount + kGrowth);
    Positions.resize(Chars.size());
  }
  std::memcpy(Chars.data() + Count, other.Chars.data(), size_t(other.Count));
  std::memcpy(Positions.data() + Count, other.Positions.data(),
              size_t(other.Count) * sizeof(int32_t));
  Count = int32_t(newCount);
}

void TCharCollection::Clear() {
  Count = 0;
  Chars.clear();
  Positions.clear();
}

TokenObj::TokenObj()
    : Chars(size_t(kInitialCapacity)),
      Positions(size_t(kInitialCapacity)),
      Capacity(kInitialCapacity) {}

void TokenObj::AddUnicodeChar(char16_t ch, int32_t position) {
  if (Capacity <= Count) {
    Capacity += kGrowth;
    Chars.resize(size_t(Capacity));
    Positions.resize(size_t(Capacity));
  }
  Chars[size_t(Count)] = ch;
  Positions[size_t(Count)] = position;
  ++Count;
  CacheValid = false;
}

void TokenObj::AddConverted(const TCharCollection& source, int codePage) {
  std::u16string wide;
  std::vector<int32_t> starts;
  plat::DecodeCodePage(codePage, std::string_view(source.Chars.data(), size_t(source.Count)), wide,
                       &starts);
  for (size_t i = 0; i < wide.size(); ++i)
    AddUnicodeChar(wide[i], source.Positions[size_t(starts[i])]);
}

void TokenObj::Clear() {
  Count = 0;
  CachedString.clear();
  CacheValid = true;
}

const std::u16string& TokenObj::GetString() {
  if (!CacheValid) {
    CachedString.assign(Chars.data(), size_t(Count));
    CacheValid = true;
  }
  return CachedString;
}

std::u16string MultibyteToWide(int codePage, std::string_view s) {
  std::u16string result;
  plat::DecodeCodePage(codePage, s, result);
  return result;
}

std::string WideToMultibyte(int codePage, std::u16string_view w) {
  return plat::EncodeCodePage(codePage, w);
}

int MultibyteCharLength(int codePage, const char* p) {
  const uint8_t lead = uint8_t(*p);
  if (lead == 0) return 0;
  if (codePage == plat::CP_UTF8) {
    if (lead >= 192 && lead <= 223) return 2;
    if (lead >= 224 && lead <= 239) return 3;
    if (lead >= 240 && lead <= 247) return 4;
    return 1;
  }
  // A character has at most 4 bytes; the terminating zero ends the text.
  const std::string_view text(p, strnlen(p, 4));
  std::u16string wide;
  std::vector<int32_t> starts;
  plat::DecodeCodePage(codePage, text, wide, &starts);
  for (int32_t start : starts)
    if (start > 0) return start;
  return int(text.size());
}

}  // namespace html
