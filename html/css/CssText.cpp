#include "html/css/CssText.h"

#include <algorithm>

namespace html {

bool Contains(std::string_view s, std::string_view sub) {
  return s.find(sub) != std::string_view::npos;
}

std::string LowerCaseKeepingUrls(std::string_view s) {
  std::string result = LowerCase(s);
  for (size_t start = result.find("url("); start != std::string::npos;
       start = result.find("url(", start)) {
    start += 4;
    const size_t end = std::min(result.find(')', start), result.size());
    result.replace(start, end - start, s.substr(start, end - start));
    start = end;
  }
  return result;
}

std::string RemoveQuotes(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
    return std::string(s.substr(1, s.size() - 2));
  return std::string(s);
}

}  // namespace html
