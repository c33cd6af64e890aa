// The CSS parser against a model of its shorthand expansion and selector keys: random
// declarations of the side lists, borders, fonts, backgrounds and list styles, with blanks,
// comments, quotes and "!important" about them, under selectors written in any token order.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "CssTestSupport.h"
#include "html/css/CssStyles.h"

using namespace html;

namespace {

const std::map<std::string, int32_t> kColours = {
    {"red", 0x0000FF}, {"#00ff00", 0x00FF00}, {"rgb(0,0,255)", 0xFF0000}};
const std::vector<std::string> kStyles = {"none", "solid", "dashed", "double", "ridge"};
const std::vector<std::string> kLengths = {"0", "1px", "2em", "50%", "thin", "auto"};
const std::vector<std::string> kFontWords = {"italic",     "oblique", "normal",  "bolder", "bold",
                                             "small-caps", "larger",  "x-small", "12px",   "9pt",
                                             "120",        "arial",   "'a b'",   "/1.5",   "10/2"};

// What one declaration stores, as the property's text or colour number.
using Stored = std::map<int, std::string>;

std::string Stores(int property, const std::string& word) {
  const auto colour = kColours.find(word);
  const bool colourSlot = property == piBorderColor || property == piBorderTopColor ||
                          property == piBorderRightColor || property == piBorderBottomColor ||
                          property == piBorderLeftColor || property == piColor ||
                          property == piBackgroundColor;
  return colourSlot && colour != kColours.end() ? std::to_string(colour->second) : word;
}

void Sides(int first, const std::vector<std::string>& w, Stored& out) {
  static const size_t kWordOfSide[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}};
  for (int side = 0; side < 4; ++side) {
    const std::string& word = w[kWordOfSide[w.size() - 1][side]];
    out[first + side] = Stores(first + side, word);
    if (first == piBorderTopStyle && word != "none") out[piBorderStyle] = word;
  }
}

std::string Join(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
  return text;
}

TEST(ParserModel, ShorthandsAndKeys) {
  std::mt19937 random(122);
  auto from = [&](const std::vector<std::string>& list) { return list[random() % list.size()]; };
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> w;
    const int count = 1 + int(random() % 4);
    std::string name;
    Stored expected;
    switch (random() % 6) {
      case 0: {
        static const std::pair<const char*, int> sides[] = {
            {"margin", piMarginTop}, {"padding", piPaddingTop}, {"border-width", piBorderTopWidth}};
        const auto& [shorthand, first] = sides[random() % 3];
        name = shorthand;
        for (int i = 0; i < count; ++i) w.push_back(from(kLengths));
        Sides(first, w, expected);
        break;
      }
      case 1:
        name = "border-style";
        for (int i = 0; i < count; ++i) w.push_back(from(kStyles));
        Sides(piBorderTopStyle, w, expected);
        break;
      case 2:
        name = "border-color";
        for (int i = 0; i < count; ++i) w.push_back(random() % 2 ? "red" : "#00ff00");
        Sides(piBorderTopColor, w, expected);
        break;
      case 3: {
        name = random() % 2 ? "border" : "border-left";
        // Colours, styles and widths in any order; the last of each kind stays.
        for (int i = 0; i < count; ++i) {
          const int kind = int(random() % 3);
          const std::string word = kind == 0   ? from({"red", "#00ff00"})
                                   : kind == 1 ? from(kStyles)
                                               : from({"1px", "thick", "3em"});
          w.push_back(word);
          if (kind == 0) {
            for (int p = name == "border" ? piBorderTopColor : piBorderLeftColor;
                 p <= piBorderLeftColor; ++p)
              expected[p] = Stores(p, word);
            if (name == "border") expected[piBorderColor] = Stores(piBorderColor, word);
          } else if (kind == 1) {
            const int first = name == "border" ? piBorderStyle : piBorderLeftStyle;
            expected[first] = word;
            if (name == "border")
              for (int p = piBorderTopStyle; p <= piBorderLeftStyle; ++p) expected[p] = word;
            else if (word != "none")
              expected[piBorderStyle] = word;
          } else {
            for (int p = name == "border" ? piBorderTopWidth : piBorderLeftWidth;
                 p <= piBorderLeftWidth; ++p)
              expected[p] = word;
          }
        }
        break;
      }
      case 4:
        name = "font";
        for (int i = 0; i < count + 2; ++i) w.push_back(from(kFontWords));
        // A value in one pair of quotes loses them; keep the quotes inside.
        if (w.front()[0] == '\'' && w.back().back() == '\'') w.push_back("arial");
        // At most seven words count; "10/2" is two words.
        {
          std::vector<std::string> words;
          for (const std::string& word : w) {
            const size_t slash = word.find('/');
            if (slash != std::string::npos && slash >= 1) {
              words.push_back(word.substr(0, slash));
              words.push_back(word.substr(slash));
            } else {
              words.push_back(word);
            }
          }
          words.resize(std::min<size_t>(words.size(), 7));
          for (const std::string& word : words) {
            if (word[0] == '/')
              expected[piLineHeight] = word.substr(1);
            else if (word == "italic" || word == "oblique")
              expected[piFontStyle] = word;
            else if (word == "normal" || word == "bolder" || word == "bold")
              expected[piFontWeight] = word;
            else if (word == "small-caps")
              expected[piFontVariant] = word;
            else if (word == "larger" || word == "x-small")
              expected[piFontSize] = word;
            else if (!isdigit(uint8_t(word[0])))
              expected[piFontFamily] = word;
            else if (word.find_first_not_of("0123456789") != std::string::npos ||
                     std::stoi(word) < 100)
              expected[piFontSize] = word;
          }
        }
        break;
      default:
        name = "list-style";
        for (int i = 0; i < count; ++i) {
          const std::string word = from({"square", "url(a.gif)", "disc", "none"});
          w.push_back(word);
          expected[word.starts_with("url") ? piListStyleImage : piListStyleType] = word;
        }
    }
    // Selectors in any token order name the same rule.
    std::vector<std::string> tokens = {".b", ".a", "#n", ":hover"};
    std::shuffle(tokens.begin(), tokens.end(), random);
    std::string selector = "p";
    const size_t used = 1 + random() % 4;
    for (size_t i = 0; i < used; ++i) selector += tokens[i];
    std::string key = "p";
    for (const char* kind : {".a", ".b", "#n", ":hover"})
      if (selector.find(kind) != std::string::npos) key += kind;
    const std::string value = Join(w);
    const std::string sheet = selector + " { /* c */ " + name + " :  " + value +
                              (random() % 3 == 0 ? " ! important" : "") + " ; }";
    TStyleList styles;
    csstest::ParseSheet(styles, sheet);
    SCOPED_TRACE(sheet + " key " + key);
    ASSERT_NE(styles.FindRule(key), nullptr);
    for (int p = 0; p < PropertyCount; ++p) {
      const auto it = expected.find(p);
      EXPECT_EQ(csstest::RuleText(styles, key, p), it == expected.end() ? "" : it->second)
          << PropertyName(p);
    }
  }
}

}  // namespace
