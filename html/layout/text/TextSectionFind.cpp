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

}  // namespace

int32_t SectionFindStringForward(const TSection& section, std::u16string_view text, int32_t from,
                                 bool matchCase) {
  const int64_t length = int64_t(section.Text.size());
  if (text.empty() || length == 0 || int64_t(from) >= section.FirstPos + length) return -1;
  const SearchTexts search = Prepare(section.Text, text, matchCase);
  const size_t start = size_t(std::max<int64_t>(int64_t(from) - section.FirstPos, 0));
  const size_t hit = search.Haystack.find(search.Needle, start);
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
  const size_t hit = search.Haystack.rfind(search.Needle);
  return hit == std::u16string::npos ? -1 : section.FirstPos + int32_t(hit);
}

}  // namespace html
