// Searching a text section's characters forwards and backwards, optionally ignoring case.
#include <algorithm>
#include <string>

#include "html/layout/text/TextSectionQueries.h"

namespace html {

namespace {

// The text to search and the string to look for, both lower-cased unless case matters.
struct SearchTexts {
  std::u16string Haystack;
  std::u16string Needle;
};

SearchTexts Prepare(std::u16string_view haystack, std::u16string_view needle, bool matchCase) {
  if (matchCase) return {std::u16string(haystack), std::u16string(needle)};
  return {WideLowerCaseStr(haystack), WideLowerCaseStr(needle)};
}

// A match never runs on past the closing space of a PRE line: each line reads as a section of
// its own.
bool RunsPastLineEnd(const TSection& section, size_t hit, size_t length) {
  const auto flags = section.BreakFlags.begin() + std::ptrdiff_t(hit);
  return std::find(flags, flags + std::ptrdiff_t(length) - 1, kBreakLineEnd) !=
         flags + std::ptrdiff_t(length) - 1;
}

}  // namespace

int32_t SectionFindStringForward(const TSection& section, std::u16string_view text, int32_t from,
                                 bool matchCase) {
  const int64_t length = int64_t(section.Text.size());
  if (text.empty() || length == 0 || int64_t(from) >= section.FirstPos + length) return -1;
  const SearchTexts search = Prepare(section.Text, text, matchCase);
  const size_t start = size_t(std::max<int64_t>(int64_t(from) - section.FirstPos, 0));
  size_t hit = search.Haystack.find(search.Needle, start);
  while (hit != std::u16string::npos && RunsPastLineEnd(section, hit, search.Needle.size()))
    hit = search.Haystack.find(search.Needle, hit + 1);
  return hit == std::u16string::npos ? -1 : section.FirstPos + int32_t(hit);
}

int32_t SectionFindStringBackward(const TSection& section, std::u16string_view text, int32_t from,
                                  bool matchCase) {
  const int64_t length = int64_t(section.Text.size());
  if (text.empty() || length == 0 || from < section.FirstPos) return -1;
  // Only text wholly before the start counts.
  const size_t before = size_t(std::min<int64_t>(int64_t(from) - section.FirstPos, length));
  if (text.size() > before) return -1;
  const SearchTexts search =
      Prepare(std::u16string_view(section.Text).substr(0, before), text, matchCase);
  size_t hit = search.Haystack.rfind(search.Needle);
  while (hit != std::u16string::npos && RunsPastLineEnd(section, hit, search.Needle.size()))
    hit = hit == 0 ? std::u16string::npos : search.Haystack.rfind(search.Needle, hit - 1);
  return hit == std::u16string::npos ? -1 : section.FirstPos + int32_t(hit);
}

}  // namespace html
