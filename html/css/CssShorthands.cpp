#include "html/css/CssShorthands.h"

#include <algorithm>
#include <array>

#include "html/base/UrlHelpers.h"
#include "html/css/CssBoxes.h"
#include "html/css/CssColors.h"
#include "html/css/CssComputed.h"
#include "html/css/CssLengths.h"
#include "html/css/CssText.h"

namespace html {

namespace {

constexpr size_t kWordsOfLists = 6;
constexpr size_t kWordsOfSides = 3;
constexpr size_t kMostGroups = 7;

constexpr std::array<std::string_view, 16> kFontKeywords = {
    "italic",  "oblique",  "normal",  "bolder", "lighter", "bold",  "small-caps", "larger",
    "smaller", "xx-small", "x-small", "small",  "medium",  "large", "x-large",    "xx-large"};
constexpr std::array<std::string_view, 9> kBorderStyles = {
    "none", "solid", "dashed", "dotted", "double", "groove", "inset", "outset", "ridge"};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsColor(const std::string& word) {
  TColor colour;
  return ParseColor(word, true, colour);
}

std::string MaybeResolved(const std::string& value, const std::string& linkPath) {
  return linkPath.empty() ? value : ResolveCssUrl(value, linkPath);
}

void ExpandSides(int firstProperty, const std::string& value, const TCssEmit& emit) {
  const std::vector<std::string> w = SplitCssValue(value, kWordsOfSides);
  if (w.empty()) return;
  // Top, right, bottom, left from one to four words.
  static constexpr std::array<std::array<size_t, 4>, 4> kWordOfSide = {
      {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}}};
  const auto& pick = kWordOfSide[w.size() - 1];
  for (int side = 0; side < 4; ++side)
    emit(PropertyName(firstProperty + side), w[pick[size_t(side)]]);
}

void ExpandBorder(const std::string& prefix, std::string value, const TCssEmit& emit) {
  for (const std::string& group : ExtractParenGroups(value))
    if (IsColor(group)) emit(prefix + "-color", group);
  for (const std::string& word : SplitCssValue(value, kWordsOfLists)) {
    if (IsColor(word)) {
      emit(prefix + "-color", word);
    } else if (std::find(kBorderStyles.begin(), kBorderStyles.end(), word) != kBorderStyles.end()) {
      emit(prefix + "-style", word);
    } else if (prefix == "border") {
      for (int side = piBorderTopWidth; side <= piBorderLeftWidth; ++side)
        emit(PropertyName(side), word);
    } else {
      emit(prefix + "-width", word);
    }
  }
}

void ExpandFont(const std::string& value, const TCssEmit& emit) {
  for (const std::string& word : SplitCssValue(value, kWordsOfLists)) {
    if (word[0] == '/') {
      emit("line-height", word.substr(1));
      continue;
    }
    const auto keyword = std::find(kFontKeywords.begin(), kFontKeywords.end(), word);
    const auto index = keyword - kFontKeywords.begin();
    if (keyword != kFontKeywords.end())
      emit(index <= 1   ? "font-style"
           : index <= 5 ? "font-weight"
           : index == 6 ? "font-variant"
                        : "font-size",
           word);
    else if (!IsDigit(word[0]))
      emit("font-family", word);
    else if (StrToIntDef(word, -1) < 100)
      emit("font-size", word);
  }
}

void ExpandBackground(std::string value, const std::string& linkPath, const TCssEmit& emit) {
  for (const std::string& group : ExtractParenGroups(value)) {
    if (Contains(group, "rgb(")) emit("background-color", group);
    if (Contains(group, "url(")) emit("background-image", MaybeResolved(group, linkPath));
  }
  std::vector<std::string> rest;
  for (const std::string& word : SplitCssValue(value, kWordsOfLists)) {
    if (IsColor(word)) {
      emit("background-color", word);
    } else if (word == "none") {
      emit("background-image", "none");
      emit("background-color", "transparent");
    } else if (Contains(word, "repeat")) {
      emit("background-repeat", word);
    } else if (word == "fixed" || word == "scroll") {
      emit("background-attachment", word);
    } else if (!word.empty()) {
      rest.push_back(word);
    }
  }
  if (rest.empty()) return;
  std::string position;
  for (size_t i = rest.size() >= 2 ? rest.size() - 2 : 0; i < rest.size(); ++i)
    position += rest[i] + " ";
  emit("background-position", position);
}

void ExpandListStyle(std::string value, const std::string& linkPath, const TCssEmit& emit) {
  // Pictures first, as for backgrounds: word splitting would cut a picture's path at its "/".
  for (const std::string& group : ExtractParenGroups(value))
    if (Contains(group, "url(")) emit("list-style-image", MaybeResolved(group, linkPath));
  for (const std::string& word : SplitCssValue(value, kWordsOfLists)) {
    if (Contains(word, "url("))
      emit("list-style-image", MaybeResolved(word, linkPath));
    else
      emit("list-style-type", word);
  }
}

}  // namespace

std::vector<std::string> SplitCssValue(std::string_view value, size_t maxIndex) {
  // Runs of blanks become one, and a blank after a comma goes.
  std::string s;
  for (char c : Trim(value))
    if (c != ' ' || s.empty() || (s.back() != ' ' && s.back() != ',')) s += c;
  std::vector<std::string> words;
  size_t i = 0;
  while (words.size() < maxIndex + 1 && i < s.size()) {
    std::string word;
    while (i < s.size() && s[i] != ' ') {
      if (s[i] == '"' || s[i] == '\'') {
        const size_t close = s.find(s[i], i + 1);
        const size_t end = close == std::string::npos ? s.size() : close + 1;
        word.append(s, i, end - i);
        i = end;
      } else {
        word += s[i++];
      }
    }
    ++i;
    const size_t slash = word.find('/');
    if (slash != std::string::npos && slash >= 1) {
      words.push_back(word.substr(0, slash));
      if (words.size() < maxIndex + 1) words.push_back(word.substr(slash));
    } else if (!word.empty()) {
      words.push_back(word);
    }
  }
  return words;
}

std::vector<std::string> ExtractParenGroups(std::string& value) {
  std::vector<std::string> groups;
  while (!value.empty() && groups.size() < kMostGroups) {
    size_t start = value.find("url(");
    if (start == std::string::npos) start = value.find("rgb(");
    const size_t close = value.find(')');
    if (start == std::string::npos || close == std::string::npos || close < start) break;
    groups.push_back(value.substr(start, close + 1 - start));
    value.erase(start, close + 1 - start);
  }
  return groups;
}

std::string ResolveCssUrl(const std::string& value, const std::string& linkPath) {
  std::string address = ExtractCssUrl(value);
  if (Contains(linkPath, "://")) {
    if (!UrlHasProtocol(address)) address = CombineUrl(linkPath, address);
  } else {
    address = UrlToDosPath(address);
    if (address.empty() || address[0] != '/') address = linkPath + address;
  }
  return "url(" + address + ")";
}

bool ExpandShorthand(std::string_view name, const std::string& value, const std::string& linkPath,
                     const TCssEmit& emit) {
  if (name == "margin")
    ExpandSides(piMarginTop, value, emit);
  else if (name == "padding")
    ExpandSides(piPaddingTop, value, emit);
  else if (name == "border-width")
    ExpandSides(piBorderTopWidth, value, emit);
  else if (name == "border-color")
    ExpandSides(piBorderTopColor, value, emit);
  else if (name == "border-style")
    ExpandSides(piBorderTopStyle, value, emit);
  else if (name == "border" || name == "border-top" || name == "border-right" ||
           name == "border-bottom" || name == "border-left")
    ExpandBorder(std::string(name), value, emit);
  else if (name == "font")
    ExpandFont(value, emit);
  else if (name == "background")
    ExpandBackground(value, linkPath, emit);
  else if (name == "list-style")
    ExpandListStyle(value, linkPath, emit);
  else
    return false;
  return true;
}

}  // namespace html
