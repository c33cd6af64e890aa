// Sheets and properties made from CSS text for the tests of this group.
#pragma once

#include <string>

#include "html/css/CssParser.h"
#include "html/css/CssStyles.h"

namespace csstest {

// Reads `text` as a sheet; returns the character where reading stopped.
inline char ParseSheet(html::TStyleList& styles, const std::string& text, bool untilEnd = true,
                       const std::string& linkPath = "") {
  size_t next = 1;
  char ch = text.empty() ? '\0' : text[0];
  html::ParseStyleSheet(
      styles, ch, [&] { return next < text.size() ? text[next++] : '\0'; },
      [&] { return next < text.size() ? text[next] : '\0'; }, untilEnd, linkPath);
  return ch;
}

// The value a rule of the sheet holds for a property; empty when there is no such rule.
inline html::TCssValue RuleValue(const html::TStyleList& styles, const std::string& key,
                                 int property) {
  const html::TStyleRule* rule = styles.FindRule(key);
  return rule ? rule->Value(property) : html::TCssValue();
}

inline std::string RuleText(const html::TStyleList& styles, const std::string& key, int property) {
  return html::VarToStr(RuleValue(styles, key, property));
}

}  // namespace csstest
