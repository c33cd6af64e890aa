// The style sheet's rule look-up against a model of it: random sheets of simple and descendant
// rules (with ">" marks and pseudo classes), random element stacks, and the values each element
// ends with. Every rule gives its own number to a few properties that are not inherited, so the
// last rule merged into each property shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "CssTestSupport.h"
#include "html/css/CssStyles.h"

using namespace html;

namespace {

const int kProps[] = {piBackgroundImage, piFloat,          piPosition,       piOverflow,
                      piDisplay,         piPageBreakAfter, piBorderCollapse, piClear};

struct Element {
  std::string tag, classes, id, pseudo;
};

struct Part {
  std::string tag, classes, id, pseudo;
  bool directParentOnly = false;
};

Part SplitPart(std::string text) {
  Part part;
  auto cut = [&](char mark, std::string& into) {
    const size_t at = text.find(mark);
    if (at == std::string::npos) return;
    into = text.substr(at + 1);
    text.erase(at);
  };
  cut(':', part.pseudo);
  cut('#', part.id);
  cut('.', part.classes);
  part.tag = text;
  return part;
}

// The parts of a descendant key: subject first, then the ancestors from the nearest out.
std::vector<Part> KeyParts(const std::string& key) {
  std::vector<std::string> texts;
  size_t pos = 0;
  while (pos < key.size()) {
    const size_t blank = key.find(' ', pos);
    if (texts.size() == 9 || blank == std::string::npos) {
      texts.push_back(plat::Trim(key.substr(pos)));
      break;
    }
    if (blank > pos) texts.push_back(key.substr(pos, blank - pos));
    pos = blank + 1;
  }
  if (texts.size() > 1) {
    size_t cut = 1;
    while (cut < texts[1].size() && isdigit(uint8_t(texts[1][cut]))) ++cut;
    texts[1].erase(0, cut);
  }
  std::vector<Part> parts;
  for (std::string& text : texts) {
    const size_t mark = text.find('>');
    if (mark != std::string::npos) text.erase(mark, 1);
    parts.push_back(SplitPart(text));
    if (mark != std::string::npos && parts.size() > 1)
      parts[parts.size() - 2].directParentOnly = true;
  }
  return parts;
}

bool ClassesAmong(const std::string& wanted, const std::string& have) {
  auto split = [](std::string list) {
    std::vector<std::string> out;
    for (size_t dot; (dot = list.find('.')) != std::string::npos; list.erase(0, dot + 1))
      out.push_back(list.substr(0, dot));
    out.push_back(list);
    return out;
  };
  const auto haveList = split(have);
  for (const std::string& c : split(wanted))
    if (std::find(haveList.begin(), haveList.end(), c) == haveList.end()) return false;
  return true;
}

using Values = std::map<int, std::string>;

struct Model {
  std::map<std::string, Values> rules;  // by key
  std::vector<std::string> order;       // keys in sorted order

  void Merge(const std::string& key, Values& into) const {
    const auto it = rules.find(key);
    if (it != rules.end())
      for (const auto& [p, v] : it->second) into[p] = v;
  }

  // One look-up for the element at the top of `stack` with the given classes.
  void Apply(const std::vector<Element>& stack, const std::string& classes, Values& into) const {
    const Element& e = stack.back();
    const std::string& t = e.tag;
    const std::string& p = e.pseudo;
    const bool plain = p.empty() || (p != "hover" && p != "visited");
    if (t == "a" && !p.empty()) Merge("::" + p, into);
    if (plain) Merge(t, into);
    if (!p.empty()) Merge(":" + p, into);
    if (!classes.empty() && plain) {
      Merge("." + classes, into);
      Merge(t + "." + classes, into);
    }
    if (!p.empty()) Merge(t + ":" + p, into);
    if (!classes.empty() && !p.empty()) {
      Merge("." + classes + ":" + p, into);
      Merge(t + "." + classes + ":" + p, into);
    }
    if (!e.id.empty()) {
      Merge("#" + e.id, into);
      Merge(t + "#" + e.id, into);
      if (!classes.empty()) Merge("." + classes + "#" + e.id, into);
      if (!p.empty()) {
        Merge("#" + e.id + ":" + p, into);
        Merge(t + "#" + e.id + ":" + p, into);
      }
      if (!classes.empty()) Merge(t + "." + classes + "#" + e.id, into);
      Merge("." + classes + "#" + e.id + ":" + p, into);
      Merge(t + "." + classes + "#" + e.id + ":" + p, into);
    }
    for (const std::string& prefix : {t, "." + classes, ":" + p}) {
      for (const std::string& key : order) {
        if (!key.starts_with(prefix)) continue;
        const std::vector<Part> parts = KeyParts(key);
        const Part& s = parts[0];
        // Not a candidate: the scan goes on to the next key.
        if (s.tag != t && s.classes != classes && s.pseudo != p) continue;
        if (parts.size() == 1) continue;
        const bool fits = (s.tag.empty() || s.tag == t) &&
                          (s.classes.empty() || s.classes == classes) &&
                          (s.id.empty() || s.id == e.id) &&
                          (s.pseudo == p || (s.pseudo.empty() && (p.empty() || p == "link")));
        if (!fits) continue;
        bool directOnly = s.directParentOnly;
        size_t k = 1;
        for (int j = int(stack.size()) - 2; k < parts.size() && j >= 0; --j) {
          const Part& a = parts[k];
          const Element& entry = stack[size_t(j)];
          const bool match = (a.tag.empty() || a.tag == entry.tag) &&
                             (a.classes.empty() || ClassesAmong(a.classes, entry.classes)) &&
                             (a.id.empty() || a.id == entry.id) &&
                             (a.pseudo.empty() || a.pseudo == entry.pseudo);
          if (match) {
            if (k + 1 == parts.size()) Merge(key, into);
            directOnly = a.directParentOnly;
            ++k;
          } else if (directOnly) {
            break;
          }
        }
      }
    }
  }
};

TEST(RuleLookupModel, MergedRulesFollowTheLookupOrder) {
  std::mt19937 random(121);
  auto pick = [&](std::initializer_list<const char*> list) {
    return std::string(list.begin()[random() % list.size()]);
  };
  auto simple = [&](bool forSubject) {
    std::string s = random() % 4 ? pick({"p", "a", "div", "span"}) : "";
    if (random() % 3 == 0) s += pick({".x", ".y", ".x.y"});
    if (random() % 5 == 0) s += "#n";
    if (random() % (forSubject ? 4 : 8) == 0) s += pick({":link", ":hover", ":visited"});
    return s.empty() ? std::string("p") : s;
  };
  int merges = 0;
  for (int round = 0; round < 300; ++round) {
    Model model;
    int seqNo = 10;
    std::string sheet;
    for (int r = 0; r < 12; ++r) {
      std::string selector, key;
      if (random() % 2) {
        key = selector = simple(true);
      } else {
        const int count = 2 + int(random() % 2);
        std::vector<std::string> parts;
        for (int i = 0; i < count; ++i) parts.push_back(simple(i + 1 == count));
        std::string ancestors;
        for (int i = 0; i + 1 < count; ++i) {
          const bool direct = random() % 3 == 0;
          selector += parts[size_t(i)] + (direct ? " > " : " ");
          ancestors = parts[size_t(i)] + (direct ? ">" : "") + " " + ancestors;
        }
        selector += parts.back();
        const std::string head = parts.back() + " " + std::to_string(count - 1);
        // Every rule numbers its descendant selector afresh, written before or not.
        key = head + std::to_string(seqNo++) + ancestors;
      }
      Values values;
      std::string declarations;
      for (int p : kProps)
        if (random() % 3 == 0) {
          values[p] = "r" + std::to_string(r);
          declarations += std::string(PropertyName(p)) + ": r" + std::to_string(r) + "; ";
        }
      sheet += selector + " { " + declarations + "}\n";
      for (const std::string& k :
           key == "a" ? std::vector<std::string>{key, "::link"} : std::vector<std::string>{key})
        for (const auto& [p, v] : values) model.rules[k][p] = v;
    }
    for (const auto& [key, values] : model.rules) model.order.push_back(key);
    std::sort(
        model.order.begin(), model.order.end(),
        [](const std::string& a, const std::string& b) { return plat::CompareText(a, b) < 0; });
    TStyleList styles;
    csstest::ParseSheet(styles, sheet);

    TPropStack stack;
    stack.Add(std::make_unique<TProperties>());
    std::vector<Element> elements;
    std::vector<Values> modelValues;
    for (int depth = 0; depth < 5; ++depth) {
      Element e{pick({"p", "a", "div", "span"}), random() % 2 ? "" : pick({"x", "y", "x.y"}),
                random() % 4 ? "" : "n", random() % 4 ? "" : pick({"link", "hover", "visited"})};
      Values values;
      // A child of a span starts with everything the span has.
      if (!elements.empty() && elements.back().tag == "span") values = modelValues.back();
      elements.push_back(e);
      const size_t dot = e.classes.rfind('.');
      if (dot == std::string::npos) {
        model.Apply(elements, e.classes, values);
      } else {
        model.Apply(elements, e.classes.substr(0, dot), values);
        model.Apply(elements, e.classes.substr(dot + 1), values);
        model.Apply(elements, e.classes, values);
      }
      modelValues.push_back(values);

      TProperties& props = stack.Add(std::make_unique<TProperties>());
      props.Inherit(e.tag, stack.Items(stack.Count() - 2));
      props.CombineCascade(styles, &stack, e.tag, e.classes, e.id, e.pseudo, "", nullptr);
      for (int p : kProps) {
        SCOPED_TRACE(sheet + " element " + e.tag + "." + e.classes + "#" + e.id + ":" + e.pseudo +
                     " depth " + std::to_string(depth) + " property " +
                     std::string(PropertyName(p)));
        const auto it = values.find(p);
        EXPECT_EQ(VarToStr(props.Values[size_t(p)]), it == values.end() ? "" : it->second);
        merges += it != values.end();
      }
    }
  }
  EXPECT_GT(merges, 1000);
}

}  // namespace
