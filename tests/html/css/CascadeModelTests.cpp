// The cascade against a model of it: random sheets of tag, class and ID rules with relative font
// sizes, z-indexes and colours, applied to random elements with several classes and STYLE
// attributes. The model keeps the last declaration merged for each property and converts a
// relative size once, against the parent's.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>

#include "CssTestSupport.h"
#include "html/css/CssStyles.h"

using namespace html;

namespace {

struct Declarations {
  std::optional<std::string> size, z, colour;
  std::string Text() const {
    std::string text;
    if (size) text += "font-size:" + *size + ";";
    if (z) text += "z-index:" + *z + ";";
    if (colour) text += "color:" + *colour + ";";
    return text;
  }
};

struct Computed {
  double size;
  int z;
  TColor colour;
};

const char* const kSizes[] = {"2em",    "150%",    "0.5em",   "9pt",        "20px",
                              "larger", "smaller", "x-large", "999999999%", "0%"};
const char* const kZs[] = {"3", "-2", "12", "auto"};
const char* const kColours[] = {"red", "#00ff00", "bogus", "navy"};

std::optional<TColor> ColourOf(const std::string& text) {
  if (text == "red") return 0x0000FF;
  if (text == "#00ff00") return 0x00FF00;
  if (text == "navy") return 0x800000;
  return std::nullopt;
}

// A size of 0 is no base: the document's size stands in.
double PointsOf(const std::string& text, double parentSize) {
  const double parent = parentSize > 0 ? parentSize : 12;
  const double v = std::atof(text.c_str());
  double points = parent;
  if (text.ends_with("em")) points = v * parent;
  if (text.ends_with("%")) points = v * parent / 100;
  if (text.ends_with("pt")) points = v;
  if (text.ends_with("px")) points = v * 72 / 96;
  if (text == "larger") points = 1.25 * parent;
  if (text == "smaller") points = 0.75 * parent;
  if (text == "x-large") points = 24;
  return std::clamp(points, 0.0, 1500.0);
}

TEST(CascadeModel, LastDeclarationWinsAndSizesConvertOnceAgainstTheParent) {
  std::mt19937 random(34);
  auto pick = [&](auto& list) { return std::string(list[random() % std::size(list)]); };
  auto maybe = [&](auto& list) {
    return random() % 2 ? std::optional<std::string>(pick(list)) : std::nullopt;
  };
  const char* const tags[] = {"p", "span", "code"};
  const char* const classes[] = {"a", "b", "c"};
  for (int sheetRound = 0; sheetRound < 60; ++sheetRound) {
    TStyleList styles;
    styles.Initialize("Arial", "Courier New", 12, 0, 0xFF0000, 0x800080, 0xFF, true, 0, 5, 6);
    // Author rules for these keys; of the built-in ones only "code" gives a size.
    std::vector<std::string> keys = {"#n", ".a.b", ".b.c"};
    for (const char* tag : tags) {
      keys.push_back(tag);
      for (const char* c : classes) keys.push_back(std::string(tag) + "." + c);
    }
    for (const char* c : classes) keys.push_back(std::string(".") + c);
    std::map<std::string, Declarations> rules;
    rules["code"].size = "0.833em";
    std::string sheet;
    for (int i = 0; i < 14; ++i) {
      const std::string key = keys[random() % keys.size()];
      const Declarations d{maybe(kSizes), maybe(kZs), maybe(kColours)};
      sheet += key + " {" + d.Text() + "}\n";
      Declarations& kept = rules[key];
      if (d.size) kept.size = d.size;
      if (d.z) kept.z = d.z;
      if (d.colour && ColourOf(*d.colour)) kept.colour = d.colour;
    }
    csstest::ParseSheet(styles, sheet);

    TPropStack stack;
    stack.Add(std::make_unique<TProperties>()).CopyFrom(*styles.DefaultProperties());
    Computed parent{12, 0, 0};
    for (int depth = 0; depth < 4; ++depth) {
      const std::string tag = pick(tags);
      std::vector<std::string> own;
      for (const char* c : classes)
        if (random() % 2) own.push_back(c);
      std::string classList;
      for (const std::string& c : own) classList += (classList.empty() ? "" : ".") + c;
      const std::string id = random() % 3 == 0 ? "n" : "";
      std::shared_ptr<TProperties> inlineStyle;
      Declarations inlineDecl;
      if (random() % 2) {
        inlineDecl = {maybe(kSizes), maybe(kZs), maybe(kColours)};
        inlineStyle = std::make_shared<TProperties>();
        ParseInlineStyle(inlineDecl.Text(), *inlineStyle);
      }

      // Runs: each class but the last alone, the last with the STYLE attribute, the whole list
      // with it; in each, the tag, class, tag-and-class and ID rules, then the attribute.
      std::vector<std::pair<std::string, bool>> runs;
      for (size_t i = 0; i + 1 < own.size(); ++i) runs.push_back({own[i], false});
      if (own.size() > 1) runs.push_back({own.back(), true});
      runs.push_back({classList, true});
      Declarations last;
      auto merge = [&](const Declarations& d) {
        if (d.size) last.size = d.size;
        if (d.z) last.z = d.z;
        if (d.colour && ColourOf(*d.colour)) last.colour = d.colour;
      };
      for (const auto& [k, withInline] : runs) {
        std::vector<std::string> order = {tag};
        if (!k.empty()) order.insert(order.end(), {"." + k, tag + "." + k});
        if (!id.empty()) order.insert(order.end(), {"#" + id, tag + "#" + id});
        for (const std::string& key : order)
          if (rules.count(key)) merge(rules[key]);
        if (withInline) merge(inlineDecl);
      }
      Computed expected = parent;
      if (last.size) expected.size = PointsOf(*last.size, parent.size);
      if (last.z) expected.z = *last.z == "auto" ? 0 : std::stoi(*last.z);
      if (last.colour) expected.colour = *ColourOf(*last.colour);

      TProperties& props = stack.Add(std::make_unique<TProperties>());
      props.Inherit(tag, stack.Items(stack.Count() - 2));
      props.CombineCascade(styles, &stack, tag, classList, id, "", "", inlineStyle);
      SCOPED_TRACE(sheet + " element " + tag + "." + classList + "#" + id + " style " +
                   inlineDecl.Text());
      EXPECT_NEAR(VarToDouble(props.Values[piFontSize]), expected.size, 1e-9 * expected.size);
      EXPECT_EQ(props.GetZIndex(), expected.z);
      EXPECT_EQ(VarToInt(props.Values[piColor]), expected.colour);
      parent = expected;
    }
  }
}

}  // namespace
