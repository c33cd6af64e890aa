#include <algorithm>
#include <array>
#include <vector>

#include "html/css/CssLengths.h"
#include "html/css/CssStyles.h"
#include "html/css/CssText.h"

namespace html {

namespace {

constexpr size_t kMostKeyParts = 10;

// One simple selector of a descendant key.
struct KeyPart {
  std::string tag, classes, id, pseudo;
  bool directParentOnly = false;  // the next part must be this element's parent
};

KeyPart SplitKeyPart(std::string text) {
  KeyPart part;
  if (const size_t colon = text.find(':'); colon != std::string::npos) {
    part.pseudo = text.substr(colon + 1);
    text.erase(colon);
  }
  if (const size_t hash = text.find('#'); hash != std::string::npos) {
    part.id = text.substr(hash + 1);
    text.erase(hash);
  }
  if (const size_t dot = text.find('.'); dot != std::string::npos) {
    part.classes = text.substr(dot + 1);
    text.erase(dot);
  }
  part.tag = std::move(text);
  return part;
}

// Subject first, then the ancestors from the nearest out; the count and sequence number in
// front of the nearest ancestor are dropped.
std::vector<KeyPart> SplitDescendantKey(std::string_view key) {
  std::vector<std::string> texts;
  size_t pos = 0;
  while (pos < key.size()) {
    if (key[pos] == ' ') {
      ++pos;
      continue;
    }
    const size_t blank = key.find(' ', pos);
    if (texts.size() + 1 == kMostKeyParts || blank == std::string_view::npos) {
      texts.push_back(Trim(key.substr(pos)));
      break;
    }
    texts.emplace_back(key.substr(pos, blank - pos));
    pos = blank + 1;
  }
  if (texts.size() > 1) {
    std::string& nearest = texts[1];
    size_t cut = 1;
    while (cut < nearest.size() && nearest[cut] >= '0' && nearest[cut] <= '9') ++cut;
    nearest.erase(0, cut);
  }
  std::vector<KeyPart> parts;
  for (std::string& text : texts) {
    const size_t mark = text.find('>');
    if (mark != std::string::npos) text.erase(mark, 1);
    parts.push_back(SplitKeyPart(std::move(text)));
    if (mark != std::string::npos && parts.size() > 1)
      parts[parts.size() - 2].directParentOnly = true;
  }
  return parts;
}

// Every class of `wanted` is among those of `have` (both separated by ".").
bool ClassesAmong(const std::string& wanted, const std::string& have) {
  auto split = [](const std::string& list) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t dot; (dot = list.find('.', start)) != std::string::npos; start = dot + 1)
      out.push_back(list.substr(start, dot - start));
    out.push_back(list.substr(start));
    return out;
  };
  const std::vector<std::string> haveList = split(have);
  for (const std::string& c : split(wanted))
    if (std::find(haveList.begin(), haveList.end(), c) == haveList.end()) return false;
  return true;
}

bool MatchesAncestor(const KeyPart& part, const TProperties& entry) {
  return (part.tag.empty() || part.tag == entry.Tag) &&
         (part.classes.empty() || part.classes == entry.Classes ||
          ClassesAmong(part.classes, entry.Classes)) &&
         (part.id.empty() || part.id == entry.Id) &&
         (part.pseudo.empty() || part.pseudo == entry.Pseudo);
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && CompareText(s.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace

// ---- The sheet

bool TStyleList::Find(std::string_view key, int& index) const {
  const auto it = std::lower_bound(
      items_.begin(), items_.end(), key,
      [](const Entry& entry, std::string_view k) { return CompareText(entry.key, k) < 0; });
  index = int(it - items_.begin());
  return it != items_.end() && CompareText(it->key, key) == 0;
}

void TStyleList::Clear() {
  items_.clear();
  seqNo_ = 10;
  defaultProperties_ = nullptr;
  hoverRules_ = false;
}

TProperties& TStyleList::AddObject(const std::string& key, std::unique_ptr<TProperties> rule) {
  // Equal keys stay in the order they were added.
  const auto it = std::upper_bound(
      items_.begin(), items_.end(), key,
      [](const std::string& k, const Entry& entry) { return CompareText(k, entry.key) < 0; });
  rule->Tag = key;
  return *items_.insert(it, Entry{key, std::move(rule)})->rule;
}

std::string TStyleList::GetSeqNo() {
  return std::to_string(seqNo_++);
}

TProperties& TStyleList::AddDuplicate(const std::string& key, const TProperties& source) {
  auto rule = std::make_unique<TProperties>();
  rule->CopyPropsFrom(source);
  return AddObject(key, std::move(rule));
}

void TStyleList::ModifyLinkColor(std::string_view pseudoName, TColor colour) {
  int index;
  if (Find("::" + std::string(pseudoName), index)) Rule(index).Values[piColor] = colour;
}

void TStyleList::AddOrModifyProperty(const std::string& selector, std::string_view propName,
                                     const std::string& value) {
  const int property = FindPropertyIndex(propName);
  if (property < 0) return;
  int index;
  std::unique_ptr<TProperties> added;
  TProperties* rule;
  if (Find(selector, index)) {
    rule = &Rule(index);
  } else {
    added = std::make_unique<TProperties>();
    rule = added.get();
  }
  if (property == piColor) {
    TColor colour;
    if (ParseColor(value, false, colour)) {
      rule->Values[piColor] = colour;
      if (selector == ":link") {
        ModifyLinkColor("hover", colour);
        ModifyLinkColor("visited", colour);
      } else if (selector == ":visited") {
        ModifyLinkColor("hover", colour);
      }
    }
  } else {
    rule->AddPropertyByIndex(property, value);
  }
  if (added) AddObject(selector, std::move(added));
  if (Contains(selector, ":hover")) hoverRules_ = true;
  if (selector == "a") AddOrModifyProperty("::link", propName, value);
}

// ---- Rule lookup

void TProperties::ApplyStyles(TStyleList& styles, const TPropStack* stack, std::string_view tag,
                              const std::string& classes, const std::string& id,
                              const std::string& pseudo, const TProperties* inlineStyle) {
  const TCssValue& size = Values[piFontSize];
  const double baseSize =
      VarIsDouble(size) && VarToDouble(size) > 0 ? VarToDouble(size) : DefaultPointSize();
  auto merge = [&](const std::string& key) {
    int index;
    if (!styles.Find(key, index)) return;
    MergeItems(styles.Rule(index));
    for (++index; index < styles.Count() && styles.Key(index) == key; ++index)
      MergeItems(styles.Rule(index));
  };
  const std::string t(tag);
  const bool plain = pseudo.empty() || (pseudo != "hover" && pseudo != "visited");
  if (t == "a" && !pseudo.empty()) merge("::" + pseudo);
  if (plain) merge(t);
  if (!pseudo.empty()) merge(":" + pseudo);
  if (!classes.empty() && plain) {
    merge("." + classes);
    merge(t + "." + classes);
  }
  if (!pseudo.empty()) merge(t + ":" + pseudo);
  if (!classes.empty() && !pseudo.empty()) {
    merge("." + classes + ":" + pseudo);
    merge(t + "." + classes + ":" + pseudo);
  }
  if (!id.empty()) {
    merge("#" + id);
    merge(t + "#" + id);
    if (!classes.empty()) merge("." + classes + "#" + id);
    if (!pseudo.empty()) {
      merge("#" + id + ":" + pseudo);
      merge(t + "#" + id + ":" + pseudo);
    }
    if (!classes.empty()) merge(t + "." + classes + "#" + id);
    merge("." + classes + "#" + id + ":" + pseudo);
    merge(t + "." + classes + "#" + id + ":" + pseudo);
  }

  // Descendant rules: a candidate that does not apply lets the scan go on.
  const int own = stack ? stack->IndexOf(this) : -1;
  const int nearestAncestor = stack ? (own >= 0 ? own - 1 : stack->Count() - 1) : 0;
  auto descendantMatch = [&](int n) {
    const std::vector<KeyPart> parts = SplitDescendantKey(styles.Key(n));
    if (parts.empty()) return false;
    const KeyPart& subject = parts[0];
    if (subject.tag != tag && subject.classes != classes && subject.pseudo != pseudo) return false;
    if (parts.size() == 1) return true;
    const bool subjectFits = (subject.tag.empty() || subject.tag == tag) &&
                             (subject.classes.empty() || subject.classes == classes) &&
                             (subject.id.empty() || subject.id == id) &&
                             (subject.pseudo == pseudo ||
                              (subject.pseudo.empty() && (pseudo.empty() || pseudo == "link")));
    if (!subjectFits) return true;
    bool directOnly = subject.directParentOnly;
    size_t k = 1;
    // The bottom entry holds the document defaults, not an element.
    for (int j = nearestAncestor; k < parts.size() && j >= 1; --j) {
      if (MatchesAncestor(parts[k], stack->Items(j))) {
        if (k + 1 == parts.size()) MergeItems(styles.Rule(n));
        directOnly = parts[k].directParentOnly;
        ++k;
      } else if (directOnly) {
        break;
      }
    }
    return true;
  };
  for (const std::string& prefix : {t, "." + classes, ":" + pseudo}) {
    int index;
    styles.Find(prefix, index);
    for (; index < styles.Count() && StartsWith(styles.Key(index), prefix); ++index)
      if (!descendantMatch(index)) break;
  }

  if (inlineStyle) MergeItems(*inlineStyle);
  if (const std::string* text = VarString(Values[piFontSize]))
    Values[piFontSize] = FontSizeConv(*text, baseSize);
}

}  // namespace html
