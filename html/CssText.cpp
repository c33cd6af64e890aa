#include "html/CssText.h"

namespace html {

bool Contains(std::string_view s, std::string_view sub) {
  return s.find(sub) != std::string_view::npos;
}

std::string RemoveQuotes(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
    return std::string(s.substr(1, s.size() - 2));
  return std::string(s);
}

}  // namespace html
